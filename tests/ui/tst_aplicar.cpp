// SPDX-License-Identifier: GPL-3.0-or-later
// A logged run applied again from the error tables (double click or the
// pop-up item), the best row a parameter loop names in its closing message,
// and the label column that stays at the left of the error tables.
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

#include "AyudasExperimentos.h"
#include "models/Medidas.h"

using namespace tendora;
using namespace prueba;

namespace {

void MostrarPagina(TFormMain* w, const char* pagina, QSize tamano = QSize(1000, 700))
{
    w->resize(tamano);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, pagina));
    QTest::qWait(30);
}

QStringList Fila(const Rejilla* g, int fila)
{
    QStringList r;
    for (int c = 0; c < g->ColCount(); ++c)
        r << g->Celda(c, fila);
    return r;
}

// Where the user points at a grid row: a measure of the grid, or the label on
// the frozen column laid over it.
QPoint Punto(Rejilla* g, int fila, bool enFija, QWidget** destino)
{
    // The frozen view scrolls only up and down (the grid follows it).
    QTableView* vista = enFija ? g->VistaFija() : g;
    const QModelIndex celda = g->Modelo()->index(fila - 1, enFija ? ColErrEtiqueta : ColErrMSE);
    vista->scrollTo(celda);
    QTest::qWait(10);
    *destino = vista->viewport();
    return vista->visualRect(celda).center();
}

void DobleClic(Rejilla* g, int fila, bool enFija)
{
    QWidget* destino = nullptr;
    const QPoint p = Punto(g, fila, enFija, &destino);
    // As the window system sends it: press, release, double click, release.
    QTest::mouseClick(destino, Qt::LeftButton, {}, p);
    QTest::mouseDClick(destino, Qt::LeftButton, {}, p);
    QTest::mouseRelease(destino, Qt::LeftButton, {}, p);
}

// Right click on the row, then the item of the menu that opened.
void PorMenu(TFormMain* w, Rejilla* g, int fila, bool enFija)
{
    QWidget* destino = nullptr;
    const QPoint p = Punto(g, fila, enFija, &destino);
    QContextMenuEvent e(QContextMenuEvent::Mouse, p, destino->mapToGlobal(p));
    QApplication::sendEvent(destino, &e);
    auto* menu = Control<QMenu>(w, "PopupMenuTabla");
    auto* item = Control<QAction>(w, "Aplicarestaconfiguracin1");
    QVERIFY(menu->isVisible());
    QVERIFY(item->isVisible());
    menu->hide();
    item->trigger();
}

// Alfa, Beta and Phi from Desde to Hasta by 0.1.
void Rango(TFormRangoVar* r, double da, double ha, double db, double hb, double dp, double hp, bool dibujar)
{
    prueba::Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, da, ha, 0.1);
    prueba::Rango(r->DesdeBeta, r->HastaBeta, r->IncBeta, db, hb, 0.1);
    prueba::Rango(r->DesdePhi, r->HastaPhi, r->IncPhi, dp, hp, 0.1);
    r->CBGraficos->setChecked(dibujar);
}

double MSEMostrado(const Rejilla* g, int fila)
{
    bool ok = false;
    const double v = QLocale().toDouble(g->Celda(ColErrMSE, fila), &ok);
    return ok ? v : -1.0;
}

// A run applied again from a row: how the table was filled, where and how the
// user applies it, and what the page shows after: the model, its edits,
// horizon, hold-out and negatives.
struct Aplicado {
    QString caso, tabla;
    int fila;
    bool porMenu, enFija;
    int item;
    QStringList edits;
    QList<double> valores;
    int horizonte, reserva;
    bool negativas;
};

} // namespace

Q_DECLARE_METATYPE(Aplicado)

class TstAplicar : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void aplicar_data();
    void aplicar();
    void filaSinEtiqueta();
    void sinDatosOReservaQueNoCabe();
    void mejorMSE_data();
    void mejorMSE();
    void columnaFija();
};

void TstAplicar::aplicar_data()
{
    QTest::addColumn<Aplicado>("a");
    // Loop order: alfa outermost, phi innermost (0.1, 0.2 each), so row 3 is
    // (0.1; 0.2; 0.1); the loop leaves the edits at 0.2.
    const QStringList hw = {"SEAlfaHLT", "SEBetaHLT", "SEPhiHW"};
    QTest::newRow("H-W loop, double click")
        << Aplicado{"bucle", "AdvSGErrAjuste", 3, false, false, ItemHW, hw, {0.1, 0.2, 0.1}, 6, 0, false};
    QTest::newRow("H-W loop, menu on the frozen label")
        << Aplicado{"bucle", "AdvSGErrAjuste", 3, true, true, ItemHW, hw, {0.1, 0.2, 0.1}, 6, 0, false};
    // Sorted by the label, descending (two clicks on its header): (0.2; 0.2; 0.2), then (0.2; 0.2; 0.1).
    QTest::newRow("H-W loop sorted, double click on the frozen label")
        << Aplicado{"ordenado", "AdvSGErrAjuste", 2, false, true, ItemHW, hw, {0.2, 0.2, 0.1}, 6, 0, false};
    // Alfa 0.1..0.3 outer, beta 0.1..0.2 inner: row 2 is (0.1; 0.2), held back 6.
    QTest::newRow("HLT drawn loop, accuracy table, menu") << Aplicado{
        "dibujado", "AdvSGErrAcierto", 2, true, false, ItemHLT, {"SEAlfaHLT", "SEBetaHLT"}, {0.1, 0.2}, 12, 6, false};
    // Origins T-1 .. T-4 in that order: row 3 is T-3.
    QTest::newRow("ex-ante T-3, double click")
        << Aplicado{"exante", "AdvSGErrAjuste", 3, false, false, ItemLES, {"SEAlfaLE"}, {0.3}, 12, 3, false};
    QTest::newRow("ex-ante T-3, accuracy table, double click")
        << Aplicado{"exante", "AdvSGErrAcierto", 3, false, false, ItemLES, {"SEAlfaLE"}, {0.3}, 12, 3, false};
    // Row 1: MMS with N 4, horizon 5 and negatives allowed; row 2 changed all of them.
    QTest::newRow("ordinary calculation, menu")
        << Aplicado{"ordinario", "AdvSGErrAjuste", 1, true, false, ItemMMS, {"SEN"}, {4}, 5, 0, true};
}

void TstAplicar::aplicar()
{
    QFETCH(Aplicado, a);
    const QString& caso = a.caso;
    auto w = Cargada("es_ES", 60, caso == "dibujado" ? 6 : 0);
    MostrarPagina(w.get(), a.tabla == "AdvSGErrAjuste" ? "TabSheetErrAjuste" : "TabSheetErrAcierto");
    auto* g = Control<Rejilla>(w, qPrintable(a.tabla));
    Contestador c;
    if (caso == "bucle" || caso == "ordenado") {
        w->SesionActual.SeleccionarModelo(ItemHW);
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(6);
        c.rango = [](TFormRangoVar* r) {
            Rango(r, 0.1, 0.2, 0.1, 0.2, 0.1, 0.2, false);
            return true;
        };
        w->Variacindeparmetros1Click();
        if (caso == "ordenado") {
            QHeaderView* h = g->VistaFija()->horizontalHeader();
            for (int k = 0; k < 2; ++k)
                QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionSize(0) / 2, h->height() / 2));
            QCOMPARE(g->horizontalHeader()->sortIndicatorSection(), 0);
            QCOMPARE(g->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
            QCOMPARE(g->Celda(0, 1), QStringLiteral("H-W (0,2;0,2;0,2)"));
        }
    } else if (caso == "dibujado") {
        w->SesionActual.SeleccionarModelo(ItemHLT);
        c.rango = [](TFormRangoVar* r) {
            Rango(r, 0.1, 0.3, 0.1, 0.2, 0.1, 0.1, true);
            return true;
        };
        w->Variacindeparmetros1Click();
    } else if (caso == "exante") {
        w->SesionActual.SeleccionarModelo(ItemLES);
        Control<QDoubleSpinBox>(w, "SEAlfaLE")->setValue(0.3);
        c.exAnte = [](TFormSimExAnte* s) {
            s->SEDesde->setValue(4);
            s->SEHasta->setValue(1);
            return true;
        };
        w->Simulacinexante1Click();
        QCOMPARE(Etiquetas(g).value(2), QStringLiteral("LES (0,3) T-3"));
    } else {
        w->SesionActual.SeleccionarModelo(ItemMMS);
        Control<QSpinBox>(w, "SEN")->setValue(4);
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(5);
        Control<QCheckBox>(w, "CBPrevNeg")->setChecked(true);
        Control<QToolButton>(w, "TBCalcular")->click();
        Control<QSpinBox>(w, "SEN")->setValue(7);
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(12);
        Control<QCheckBox>(w, "CBPrevNeg")->setChecked(false);
        Control<QToolButton>(w, "TBCalcular")->click();
        QCOMPARE(Etiquetas(g), (QStringList{"MMS (4)", "MMS (7)"}));
    }

    const QStringList aplicada = Fila(g, a.fila);
    QVERIFY(!aplicada[ColErrEtiqueta].isEmpty());
    const int antes = Filas(g);
    const int mensajes = static_cast<int>(c.mensajes.size());
    if (a.porMenu)
        PorMenu(w.get(), g, a.fila, a.enFija);
    else
        DobleClic(g, a.fila, a.enFija);

    QCOMPARE(c.mensajes.size(), mensajes); // no message: the run went well
    QCOMPARE(w->SesionActual.ModeloSeleccionado(), a.item);
    QList<double> enPagina;
    for (const QString& e : a.edits) {
        if (auto* n = w->findChild<QSpinBox*>(e))
            enPagina << n->value();
        else
            enPagina << Control<QDoubleSpinBox>(w, qPrintable(e))->value();
    }
    QCOMPARE(enPagina, a.valores);
    QCOMPARE(Control<QSpinBox>(w, "SEValoresPrever")->value(), a.horizonte);
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), a.reserva);
    QCOMPARE(Control<QCheckBox>(w, "CBPrevNeg")->isChecked(), a.negativas);
    // One new row, at the end, equal to the applied one cell by cell.
    QCOMPARE(Filas(g), antes + 1);
    QCOMPARE(Fila(g, g->RowCount() - 1), aplicada);
    QCOMPARE(Ajuste(w)->Celda(ColErrEtiqueta, Ajuste(w)->RowCount() - 1), aplicada[ColErrEtiqueta]);
}

void TstAplicar::filaSinEtiqueta()
{
    auto w = Cargada("es_ES", 60);
    MostrarPagina(w.get(), "TabSheetErrAjuste");
    Rejilla* g = Ajuste(w);
    Contestador c;
    // A table with no data rows: its one empty row does nothing, nor does the pop-up item.
    DobleClic(g, 1, false);
    DobleClic(g, 1, true);
    PorMenu(w.get(), g, 1, false);
    QCOMPARE(Filas(g), 0);
    QCOMPARE(Acierto(w)->RowCount(), 2);
    QVERIFY(c.mensajes.isEmpty());
}

void TstAplicar::sinDatosOReservaQueNoCabe()
{
    auto w = Cargada("es_ES", 60, 5);
    MostrarPagina(w.get(), "TabSheetErrAjuste");
    Rejilla* g = Ajuste(w);
    w->SesionActual.SeleccionarModelo(ItemLES);
    Control<QToolButton>(w, "TBCalcular")->click();
    QCOMPARE(Etiquetas(g), QStringList{"LES (0,5) T-5"});
    Contestador c;

    // A row whose hold-out the history (60 values: 0..59) no longer reaches.
    EtiquetaCelda lejana = *g->Modelo()->Etiqueta(ColErrEtiqueta, 1);
    lejana.origen = 60;
    g->Modelo()->SetEtiqueta(ColErrEtiqueta, 1, lejana);
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(2);
    DobleClic(g, 1, false);
    QTRY_COMPARE(c.mensajes,
                 QStringList{QStringLiteral("El histórico no es apropiado para el modelo de previsión seleccionado.")});
    QCOMPARE(Filas(g), 1);
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), 2);

    // No data any more: the calculation's own message.
    w->Ws.DatosCargados = false;
    PorMenu(w.get(), g, 1, true);
    QTRY_COMPARE(c.mensajes.size(), 2);
    QCOMPARE(c.mensajes[1], QStringLiteral("Cargue los datos antes de calcular."));
    QCOMPARE(Filas(g), 1);
}

void TstAplicar::mejorMSE_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_ES") << "es_ES";
    QTest::newRow("C") << "C";
}

void TstAplicar::mejorMSE()
{
    QFETCH(QString, locale);
    auto w = Cargada(locale, 60);
    // The loop runs from the model page; the table is looked at afterwards.
    MostrarPagina(w.get(), "TabSheetModelo", QSize(700, 400));
    Rejilla* g = Ajuste(w);
    // An earlier run that fits this trend and season far better than any
    // level alone: it must not be the one named.
    w->SesionActual.SeleccionarModelo(ItemHW);
    Control<QToolButton>(w, "TBCalcular")->click();
    w->SesionActual.SeleccionarModelo(ItemLES);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        prueba::Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, 0.01, 0.99, 0.01);
        r->CBGraficos->setChecked(false);
        return true;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(Filas(g), 100);

    // The smallest MSE of the loop's rows, as the grid shows them (read back as numbers).
    int mejor = 2;
    for (int f = 3; f <= 100; ++f)
        if (MSEMostrado(g, f) < MSEMostrado(g, mejor))
            mejor = f;
    QVERIFY(MSEMostrado(g, 1) >= 0.0 && MSEMostrado(g, 1) < MSEMostrado(g, mejor));
    // A level following a steady rise lags it less the larger alfa: the last value, 0.99.
    QCOMPARE(g->Celda(0, mejor), L(QStringLiteral("LES (0,99)")));

    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = Lineas(c.mensajes[0]);
    QCOMPARE(lineas.size(), 4);
    QCOMPARE(lineas[3], L(QStringLiteral("Mejor MSE: LES (0,99)")));
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetErrAjuste"));
    QTest::qWait(30);
    // Selected and in view.
    const QModelIndexList sel = g->selectionModel()->selectedRows();
    QCOMPARE(sel.size(), 1);
    QCOMPARE(sel[0].row(), mejor - 1);
    QVERIFY(g->viewport()->rect().intersects(g->visualRect(g->Modelo()->index(mejor - 1, ColErrMSE))));
    // The frozen labels show the same rows.
    QTest::qWait(20);
    QCOMPARE(g->VistaFija()->verticalScrollBar()->value(), g->verticalScrollBar()->value());
    QCOMPARE(g->VistaFija()->rowAt(g->visualRect(g->Modelo()->index(mejor - 1, 0)).center().y()), mejor - 1);
}

void TstAplicar::columnaFija()
{
    auto w = Cargada("es_ES", 60, 3);
    MostrarPagina(w.get(), "TabSheetErrAjuste", QSize(420, 400));
    Rejilla* g = Ajuste(w);
    for (int item : {int(ItemHW), int(ItemLES), int(ItemMMS)}) {
        w->SesionActual.SeleccionarModelo(item);
        Control<QToolButton>(w, "TBCalcular")->click();
    }
    QTest::qWait(20);
    // "Autoajustar" from the menu; the frozen column follows the width.
    ClicDerecho(g);
    Control<QMenu>(w, "PopupMenuTabla")->hide();
    Control<QAction>(w, "Autoajustar1")->trigger();
    QTableView* fija = g->VistaFija();
    QVERIFY(fija);
    QCOMPARE(fija->columnWidth(0), g->columnWidth(0));

    // Far right: column 0 of the grid itself has scrolled away.
    // A measure the user widened: the table no longer fits the window.
    g->SetAnchoColumna(ColErrMSE, g->width());
    QTest::qWait(30);
    QScrollBar* barra = g->horizontalScrollBar();
    QVERIFY(barra->maximum() > 0);
    barra->setValue(barra->maximum());
    QTest::qWait(30);
    QVERIFY(g->columnViewportPosition(0) + g->columnWidth(0) <= 0);
    QVERIFY(fija->isVisible());
    QCOMPARE(fija->columnWidth(0), g->columnWidth(0));
    QCOMPARE(fija->geometry().left(), g->viewport()->geometry().left());
    const QRect celda = fija->visualRect(g->Modelo()->index(0, 0));
    QVERIFY(fija->viewport()->rect().contains(celda));
    // The label's text is painted there: dark pixels in the first row's cell.
    const QImage imagen = g->grab().toImage();
    const QRect enRejilla = celda.translated(fija->viewport()->mapTo(g, QPoint(0, 0)));
    QVERIFY(ContarColor(imagen, enRejilla, Qt::black, 120) > 20);

    // A click on the frozen label selects the row; Ctrl+C copies it.
    QWidget* destino = nullptr;
    const QPoint p = Punto(g, 2, true, &destino);
    QTest::mouseClick(destino, Qt::LeftButton, {}, p);
    QCOMPARE(g->selectionModel()->selectedRows().value(0).row(), 1);
    QApplication::clipboard()->clear();
    QTest::keySequence(g, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text().split(QLatin1Char('\n')).value(1).section(QLatin1Char('\t'), 0, 0),
             QStringLiteral("LES (0,5) T-3"));
    // Still scrolled to the right.
    QCOMPARE(barra->value(), barra->maximum());

    // Rows are moved by dragging their label, on the frozen column too: the
    // third row (MMS) dragged onto the first.
    const QStringList antes = Etiquetas(g);
    const QPoint tercera = Punto(g, 3, true, &destino);
    const QPoint primera = Punto(g, 1, true, &destino);
    QTest::mousePress(destino, Qt::LeftButton, {}, tercera);
    QTest::mouseMove(destino, tercera - QPoint(0, 20));
    QTest::mouseMove(destino, primera);
    // While dragging, the line where the row will go shows over the frozen label too.
    QTest::qWait(20);
    {
        const int y = fija->visualRect(g->Modelo()->index(0, 0)).top();
        const QRect linea =
            QRect(0, y - 2, fija->viewport()->width(), 5).translated(fija->viewport()->mapTo(g, QPoint(0, 0)));
        QVERIFY(ContarColor(g->grab().toImage(), linea, g->palette().color(QPalette::Highlight), 40) >
                fija->viewport()->width() / 2);
    }
    QTest::mouseRelease(destino, Qt::LeftButton, {}, primera);
    QCOMPARE(Etiquetas(g), (QStringList{antes[2], antes[0], antes[1]}));
    QCOMPARE(barra->value(), barra->maximum());
}

QTEST_MAIN(TstAplicar)
#include "tst_aplicar.moc"
