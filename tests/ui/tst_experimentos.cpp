// SPDX-License-Identifier: GPL-3.0-or-later
// The experiments driven through the real window with no data, every model
// in turn and the ex-ante simulation, their dialogs answered as a user would.
#include <QToolButton>
#include <algorithm>

#include "AyudasExperimentos.h"

using namespace tendora;
using namespace prueba;

namespace {

const QString SinDatos = QStringLiteral("Cargue los datos antes de calcular.");

// An ex-ante run: the model, SEN, the range asked for (Desde -1: the dialog's
// own values), the answer, and the rows, series and hold-out it leaves.
struct ExAnte {
    int item, n, desde, hasta;
    bool aceptar;
    QStringList ajuste, acierto;
    int fallos;
    QStringList series;
    int reservaFinal;
};

} // namespace

Q_DECLARE_METATYPE(ExAnte)

class TstExperimentos : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void sinDatos_data();
    void sinDatos();
    void todosLosModelos_data();
    void todosLosModelos();
    void todosLosModelosConFallos();
    void dialogoExAnte();
    void exAnte_data();
    void exAnte();
};

void TstExperimentos::sinDatos_data()
{
    QTest::addColumn<int>("orden");
    QTest::newRow("todos los métodos") << 0;
    QTest::newRow("variación de parámetros") << 1;
    QTest::newRow("simulación ex-ante") << 2;
}

void TstExperimentos::sinDatos()
{
    QFETCH(int, orden);
    auto w = Ventana("es_ES");
    w->SesionActual.SeleccionarModelo(ItemHLT);
    Contestador c;
    c.rango = [](TFormRangoVar*) { return true; };
    c.exAnte = [](TFormSimExAnte*) { return true; };
    if (orden == 0)
        w->Aplicartodoslosmtodos1Click();
    else if (orden == 1)
        w->Variacindeparmetros1Click();
    else
        w->Simulacinexante1Click();

    QCOMPARE(c.mensajes, QStringList{SinDatos});
    QCOMPARE(c.vecesRango + c.vecesExAnte, 0); // no dialog
    QCOMPARE(w->SesionActual.ModeloSeleccionado(), int(ItemHLT)); // not even the model changes
    QCOMPARE(Ajuste(w)->RowCount(), 2);
    QCOMPARE(Acierto(w)->RowCount(), 2);
    QCOMPARE(Filas(Ajuste(w)), 0);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
}

void TstExperimentos::todosLosModelos_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("reserva");
    for (const char* loc : {"es_ES", "C"}) {
        QTest::newRow(QByteArray(loc).append(" sin reserva").constData()) << loc << 0;
        QTest::newRow(QByteArray(loc).append(" T-12").constData()) << loc << 12;
    }
}

void TstExperimentos::todosLosModelos()
{
    QFETCH(QString, locale);
    QFETCH(int, reserva);
    auto w = Cargada(locale, 60, reserva);
    Contestador c;
    w->Aplicartodoslosmtodos1Click();

    // Labels from each model's code and the page's start values (N 6, constants 0.5).
    const QString sufijo = reserva > 0 ? QStringLiteral(" T-%1").arg(reserva) : QString();
    QStringList esperadas;
    for (const char* e : {"NVS ()", "NVE ()", "MMS (6)", "MMD (6)", "LES (0,5)", "LED (0,5)", "DST ()", "THT (0,5)",
                          "HLT (0,5;0,5)", "H-W (0,5;0,5;0,5)", "CRT (0,5)", "S-B (0,5)"})
        esperadas << L(QString::fromUtf8(e)) + sufijo;

    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(Etiquetas(Ajuste(w)), esperadas);
    QCOMPARE(Etiquetas(Acierto(w)), reserva > 0 ? esperadas : QStringList());
    for (int f = 1; f <= 12; ++f)
        QVERIFY2(!Ajuste(w)->Celda(1, f).isEmpty(), "every model reached its measures");
    QCOMPARE(Comparativas(w.get()), ConP(esperadas));
    QCOMPARE(w->SesionActual.ModeloSeleccionado(), int(ItemSB));
    QVERIFY(Control<QAction>(w, "Variacindeparmetros1")->isEnabled()); // the page followed the last selection
    QVERIFY(Control<QDoubleSpinBox>(w, "SEAlfaCroston")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    QVERIFY(!Control<QDoubleSpinBox>(w, "SEAlfaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), 6); // nothing varied
}

void TstExperimentos::todosLosModelosConFallos()
{
    auto w = Cargada("es_ES", 60);
    // An earlier run and its comparison series stay.
    w->SesionActual.SeleccionarModelo(ItemDST);
    w->Caluclarprevisin1Click();
    Control<QToolButton>(w, "TBComparar")->click();
    // MMS and MMD refuse a window longer than the 60 values.
    Control<QSpinBox>(w, "SEN")->setValue(61);
    Contestador c;
    w->Aplicartodoslosmtodos1Click();

    const QStringList esperadas = {"DST ()",   "NVS ()",    "NVE ()",        "LES (0,5)",         "LED (0,5)",
                                   "DST ()",   "THT (0,5)", "HLT (0,5;0,5)", "H-W (0,5;0,5;0,5)", "CRT (0,5)",
                                   "S-B (0,5)"};
    QCOMPARE(c.mensajes, QStringList()); // silent
    QCOMPARE(Etiquetas(Ajuste(w)), esperadas);
    QCOMPARE(Comparativas(w.get()), ConP(esperadas)); // none for the failed models
    QCOMPARE(w->SesionActual.ModeloSeleccionado(), int(ItemSB)); // the models after the failures ran
}

void TstExperimentos::dialogoExAnte()
{
    auto w = Ventana("es_ES");
    TFormSimExAnte* d = w->FormSimExAnte;
    QVERIFY(d);
    QCOMPARE(d->objectName(), QStringLiteral("FormSimExAnte"));
    QCOMPARE(d->parentWidget(), static_cast<QWidget*>(w.get()));
    QCOMPARE(d->windowTitle(), QStringLiteral("Simulación ex-ante"));
    QCOMPARE(d->Label1->text(), QStringLiteral("Seleccione el rango para la simulación:"));
    QCOMPARE(d->LabelDesde->text(), QStringLiteral("Desde T -"));
    QCOMPARE(d->LabelHasta->text(), QStringLiteral("Hasta T -"));
    QCOMPARE(d->SEDesde->value(), 6);
    QCOMPARE(d->SEHasta->value(), 0);
    QCOMPARE(d->BBAceptar->text(), QStringLiteral("Aceptar"));
    QCOMPARE(d->BBCancelar->text(), QStringLiteral("Cancelar"));

    // The limits follow the loaded data each time; the values are kept.
    Contestador c;
    QList<int> limites;
    c.exAnte = [&](TFormSimExAnte* s) {
        limites << s->SEDesde->maximum() << s->SEHasta->maximum();
        s->SEDesde->setValue(2);
        return false;
    };
    Cargar(w.get(), 30);
    w->Simulacinexante1Click();
    Cargar(w.get(), 40);
    w->Simulacinexante1Click();
    QCOMPARE(limites, (QList<int>{30, 30, 40, 40}));
    QCOMPARE(d->SEDesde->value(), 2);
    QCOMPARE(c.mensajes, QStringList());
}

void TstExperimentos::exAnte_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<ExAnte>("caso");
    const QStringList siete = ConSufijo(QStringLiteral("LES (0,5)"), 0, 6);
    const QStringList t3 = {"LES (0,5) T-3"};
    // 30 values: hold-outs 27, 28, 29 and 29 again (the spin edit stops at
    // T - 1). With one fitting value NVS has no fit row to measure: its
    // cells stay empty, and the step is still a run that got through.
    const QStringList hastaT = {"NVS () T-27", "NVS () T-28", "NVS () T-29", "NVS () T-29"};
    const QList<std::pair<const char*, ExAnte>> casos = {
        {"defaults", {ItemLES, 6, -1, -1, true, siete, siete.mid(1), 0, ConP(siete), 6}},
        {"one origin", {ItemLES, 6, 3, 3, true, t3, t3, 0, ConP(t3), 3}},
        {"Desde T", {ItemNVS, 6, 30, 27, true, hastaT, hastaT, 0, ConP(hastaT), 29}},
        {"Desde below Hasta", {ItemLES, 6, 2, 4, true, {}, {}, 0, {}, 0}},
        {"cancelled", {ItemLES, 6, -1, -1, false, {}, {}, 0, {}, 0}},
        // Every step fails in the model (a window longer than the 28 to 30
        // values): no rows, no series.
        {"all fail", {ItemMMS, 31, 2, 0, true, {}, {}, 3, {}, 2}}};
    for (const char* loc : {"es_ES", "C"})
        for (const auto& [nombre, caso] : casos)
            QTest::addRow("%s %s", loc, nombre) << loc << caso;
}

void TstExperimentos::exAnte()
{
    QFETCH(QString, locale);
    QFETCH(ExAnte, caso);
    auto w = Cargada(locale, 30);
    w->SesionActual.SeleccionarModelo(caso.item);
    Control<QSpinBox>(w, "SEN")->setValue(caso.n);
    // Odd widths, to see the tables fitted at the end whatever happened.
    for (Rejilla* g : {Ajuste(w), Acierto(w)}) {
        g->setColumnWidth(0, 222);
        g->setColumnWidth(1, 333);
    }
    Contestador c;
    c.exAnte = [&](TFormSimExAnte* s) {
        if (caso.desde >= 0) {
            s->SEDesde->setValue(caso.desde);
            s->SEHasta->setValue(caso.hasta);
        }
        return caso.aceptar;
    };
    w->Simulacinexante1Click();

    QCOMPARE(c.vecesExAnte, 1);
    // Failed steps say nothing of their own; one message tells them at the end.
    const int pasos = caso.desde >= 0 ? std::max(caso.desde - caso.hasta + 1, 0) : 7;
    QCOMPARE(c.mensajes,
             caso.fallos > 0
                 ? QStringList{QStringLiteral("Simulaciones fallidas: %1 de %2.").arg(caso.fallos).arg(pasos)}
                 : QStringList());
    QCOMPARE(Etiquetas(Ajuste(w)), L(caso.ajuste));
    QCOMPARE(Etiquetas(Acierto(w)), L(caso.acierto));
    QCOMPARE(Comparativas(w.get()), L(caso.series));
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), caso.reservaFinal);
    QCOMPARE(w->Ws.NumDatos, 30 - caso.reservaFinal);
    for (Rejilla* g : {Ajuste(w), Acierto(w)}) {
        // Both fitted, the label column too: to its longest label, not left at 222.
        int larga = g->fontMetrics().horizontalAdvance(g->Celda(0, 0));
        for (int r = 1; r < g->RowCount(); ++r)
            larga = std::max(larga, g->fontMetrics().horizontalAdvance(g->Celda(0, r)));
        QVERIFY(g->columnWidth(0) != 222 && g->columnWidth(0) > larga);
        QVERIFY(g->columnWidth(1) != 333);
    }
}

QTEST_MAIN(TstExperimentos)
#include "tst_experimentos.moc"
