// SPDX-License-Identifier: GPL-3.0-or-later
// Stopping an experiment from its progress window: Cancelar and Escape stop
// it after the current step, what was made stays, and the message says where.
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

#include "AyudasExperimentos.h"
#include "data/Numeros.h"

using namespace tendora;
using namespace prueba;

class TstExperimentosParar : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void parar_data();
    void parar();
};

enum Caso { HWDirecto, HoltDibujando, NDirecto, Todos, ExAnte };

void TstExperimentosParar::parar_data()
{
    QTest::addColumn<int>("caso");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("locale");
    // Totals by hand: 0..1 step 0.01 is 101 values, three levels 101³;
    // 0..1 step 0.05 is 21 values, two levels 21²; N 1..60 is 60; the twelve
    // models of the catalogue; T-48..T-0 is 49 origins.
    QTest::addColumn<long long>("total");
    const struct {
        const char* nombre;
        Caso caso;
        long long total;
    } casos[] = {{"H-W sin dibujar", HWDirecto, 1030301},
                 {"Holt dibujando", HoltDibujando, 441},
                 {"N sin dibujar", NDirecto, 60},
                 {"todos los métodos", Todos, 12},
                 {"ex-ante", ExAnte, 49}};
    for (const auto& c : casos)
        for (bool escape : {false, true}) {
            const char* locale = escape ? "C" : "es_ES";
            QTest::newRow(QByteArray(c.nombre).append(escape ? ", Escape, C" : ", Cancelar, es_ES").constData())
                << int(c.caso) << escape << QString::fromLatin1(locale) << c.total;
        }
}

void TstExperimentosParar::parar()
{
    QFETCH(int, caso);
    QFETCH(bool, escape);
    QFETCH(QString, locale);
    QFETCH(long long, total);
    auto w = Cargada(locale, 120);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->EsperaProgresoMs = 0; // shown at the first step
    const int item = caso == HWDirecto ? ItemHW : caso == HoltDibujando ? ItemHLT : ItemMMS;
    w->SesionActual.SeleccionarModelo(item);

    Contestador c;
    c.confirmar = true; // 441 drawn series: yes, draw them
    c.rango = [caso](TFormRangoVar* r) {
        const double inc = caso == HWDirecto ? 0.01 : 0.05;
        Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, 0.0, 1.0, inc);
        Rango(r->DesdeBeta, r->HastaBeta, r->IncBeta, 0.0, 1.0, inc);
        Rango(r->DesdePhi, r->HastaPhi, r->IncPhi, 0.0, 1.0, inc);
        r->DesdeN->setValue(1);
        r->HastaN->setValue(60);
        r->IncN->setValue(1);
        r->CBGraficos->setChecked(caso == HoltDibujando);
        return true;
    };
    c.exAnte = [](TFormSimExAnte* s) {
        s->SEDesde->setValue(48);
        s->SEHasta->setValue(0);
        return true;
    };

    // The long loops are stopped at their second refresh, a quarter of a
    // second in, with many rows made; the short ones at the first. The
    // window's close button is tried first (and must be ignored).
    const bool largo = caso == HWDirecto || caso == HoltDibujando;
    bool pedido = false, cerrada = false;
    QString boton, primera;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, [&] {
        auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (pedido || !p || !p->isVisible())
            return;
        if (primera.isEmpty())
            primera = p->labelText();
        if (largo && p->labelText() == primera)
            return;
        pedido = true;
        QCOMPARE(p->objectName(), QStringLiteral("FormProgreso"));
        p->close();
        cerrada = !p->isVisible();
        auto* cancelar = Control<QPushButton>(p, "BBCancelar");
        boton = cancelar->text();
        if (escape)
            QTest::keyClick(p, Qt::Key_Escape);
        else
            cancelar->click();
    });
    mirar.start();
    const char* accion = caso == Todos    ? "Aplicartodoslosmtodos1"
                         : caso == ExAnte ? "Simulacinexante1"
                                          : "Variacindeparmetros1";
    Control<QAction>(w, accion)->trigger();
    mirar.stop();

    QVERIFY(pedido);
    QCOMPARE(c.preguntas.size(), caso == HoltDibujando ? 1 : 0);
    QVERIFY(!cerrada);
    QCOMPARE(boton, QStringLiteral("Cancelar"));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = Lineas(c.mensajes.constFirst());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Interrumpido en el paso (\\d+) de ") +
                                                         TextoEntero(total) + QStringLiteral("\\.$"))
                                          .match(lineas.constLast());
    QVERIFY2(m.hasMatch(), qPrintable(c.mensajes.constFirst()));
    const long long k = m.captured(1).toLongLong();
    QVERIFY(k >= (largo ? 2 : 1) && k < total);
    if (caso == HWDirecto || caso == NDirecto || caso == HoltDibujando)
        QCOMPARE(lineas.constFirst(), QStringLiteral("Variaciones calculadas."));

    // Every step run made its row, and no room was left empty.
    Rejilla* ajuste = Ajuste(w);
    QCOMPARE(Filas(ajuste), int(k));
    QCOMPARE(ajuste->RowCount(), int(k) + 1);
    const QString ultima = Etiquetas(ajuste).constLast();
    const auto valor = [&w](const char* nombre) { return TextoGeneral(Control<QDoubleSpinBox>(w, nombre)->value()); };
    // The edits hold the values of the last step run.
    switch (caso) {
    case HWDirecto:
        QCOMPARE(ultima,
                 QStringLiteral("H-W (%1;%2;%3)").arg(valor("SEAlfaHLT"), valor("SEBetaHLT"), valor("SEPhiHW")));
        break;
    case HoltDibujando:
        QCOMPARE(ultima, QStringLiteral("HLT (%1;%2)").arg(valor("SEAlfaHLT"), valor("SEBetaHLT")));
        QCOMPARE(Comparativas(w.get()).size(), int(k)); // one comparison series a step
        break;
    case NDirecto:
        QCOMPARE(ultima, QStringLiteral("MMS (%1)").arg(Control<QSpinBox>(w, "SEN")->value()));
        QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), int(k)); // N runs 1, 2, ...
        break;
    case Todos:
        QCOMPARE(w->SesionActual.ModeloSeleccionado(), int(k) - 1); // the models in catalogue order
        QCOMPARE(Comparativas(w.get()).size(), int(k));
        break;
    case ExAnte:
        // Origins from T-0 upwards: step k held back k - 1 values.
        QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), int(k) - 1);
        QCOMPARE(Comparativas(w.get()).size(), int(k));
        break;
    }
    QVERIFY(!QApplication::overrideCursor());
    const QString estado = Control<QLabel>(w, "LabelEstado")->text();
    QVERIFY2(estado.contains(QStringLiteral(": interrumpido en el paso ") + TextoEntero(k) + QStringLiteral(" de ") +
                             TextoEntero(total) + QLatin1Char(',')),
             qPrintable(estado));
}

QTEST_MAIN(TstExperimentosParar)
#include "tst_experimentos_parar.moc"
