// SPDX-License-Identifier: GPL-3.0-or-later
// How the parameter grid's loop runs in the real window: painting, progress,
// the values shown, empty levels, and each row against a step run alone.
#include <QProgressDialog>
#include <QPushButton>

#include "AyudasExperimentos.h"
#include "models/Medidas.h"
#include "data/Numeros.h"

using namespace tendora;
using namespace prueba;

class TstExperimentosBucle : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void sinRepintadoSinDibujar();
    void progreso();
    void parametrosALaVista();
    void nivelVacio();
};

// The speed switch: a step that does not draw must not paint anything, nor
// let the event loop run.
void TstExperimentosBucle::sinRepintadoSinDibujar()
{
    auto w = Cargada("es_ES", 60);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->SesionActual.SeleccionarModelo(ItemHLT);
    w->Caluclarprevisin1Click();
    QTest::qWait(50);

    struct Contador : QObject {
        int pintados = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint || e->type() == QEvent::UpdateRequest)
                ++pintados;
            return false;
        }
    } contador;
    const QString previsionAntes = Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(6, w->Ws.NumDatos + 1);
    qApp->installEventFilter(&contador);
    long long pasos = 0;
    w->Experimentacion.VariarHolt(0.0, 1.0, 0.1, 0.0, 1.0, 0.1, false, pasos);
    qApp->removeEventFilter(&contador);

    // 0, 0.1, ... 0.9999999999999999: eleven values per constant.
    QCOMPARE(pasos, 121LL);
    QCOMPARE(Filas(Ajuste(w)), 122);
    QCOMPARE(contador.pintados, 0);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(6, w->Ws.NumDatos + 1), previsionAntes);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
}

void TstExperimentosBucle::progreso()
{
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemHLT);
    w->EsperaProgresoMs = 0; // at once, so a short loop shows it

    QStringList textos;
    bool conBoton = false;
    int desfasados = 0;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, [&] {
        auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!p || !p->isVisible())
            return;
        if (textos.isEmpty() || textos.constLast() != p->labelText())
            textos << p->labelText();
        // Whenever the window can be seen, the edits hold the last step's values.
        const QStringList hechas = Etiquetas(Ajuste(w));
        if (!hechas.isEmpty() &&
            hechas.constLast() != QStringLiteral("HLT (") +
                                      TextoGeneral(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value()) +
                                      QLatin1Char(';') +
                                      TextoGeneral(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()) + QLatin1Char(')'))
            ++desfasados;
        conBoton = conBoton || p->findChild<QPushButton*>(QStringLiteral("BBCancelar"));
    });
    mirar.start();
    QElapsedTimer reloj;
    reloj.start();
    long long pasos = 0;
    w->Experimentacion.VariarHolt(0.0, 0.5, 0.1, 0.0, 0.5, 0.1, false, pasos);
    const qint64 ms = reloj.elapsed();
    mirar.stop();

    QCOMPARE(pasos, 36LL); // 0..0.5 in steps of 0.1: six values each
    QVERIFY(!textos.isEmpty());
    const QRegularExpression forma(QStringLiteral("^Paso (\\d+) de 36$"));
    for (const QString& t : textos)
        QVERIFY2(forma.match(t).hasMatch(), qPrintable(t));
    QVERIFY(conBoton); // the way to stop it
    QCOMPARE(desfasados, 0);
    // A few refreshes a second at most.
    QVERIFY2(textos.size() <= 2 + ms / 250, qPrintable(QString::number(textos.size())));
    QVERIFY(!QApplication::activeModalWidget()); // gone at the end
    QCOMPARE(Filas(Ajuste(w)), 36);
}

// A failing step's message is read against the window as that step left it:
// its parameter values in the edits and the ordinary cursor.
void TstExperimentosBucle::parametrosALaVista()
{
    auto w = Cargada("es_ES", 23); // too short for Holt-Winters: every step fails
    w->SesionActual.SeleccionarModelo(ItemHW);
    Contestador c;
    long long pasos = 0;
    w->Experimentacion.VariarHoltWinters(0.1, 0.2, 0.1, 0.3, 0.3, 0.1, 0.5, 0.6, 0.1, false, pasos);
    QCOMPARE(pasos, 4LL);
    // Failed steps raise no message; they are counted for the closing one.
    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(w->Experimentacion.PasosFallidos(), 4LL);
    // The edits show the last values run, and the cursor is back.
    QCOMPARE(TextoGeneral(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value()) + QLatin1Char(';') +
                 TextoGeneral(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()) + QLatin1Char(';') +
                 TextoGeneral(Control<QDoubleSpinBox>(w, "SEPhiHW")->value()),
             L(QStringLiteral("0,2;0,3;0,6")));
    QVERIFY(!QApplication::overrideCursor());
}

// A level with no values leaves the edits of the levels inside it untouched;
// the outer edit still takes each of its values.
void TstExperimentosBucle::nivelVacio()
{
    auto w = Cargada("C", 60);
    w->SesionActual.SeleccionarModelo(ItemHLT);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.37);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.63);
    long long pasos = -1;
    w->Experimentacion.VariarHolt(0.5, 0.4, 0.1, 0.1, 0.2, 0.1, false, pasos);
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), 0.37);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(), 0.63);
    w->Experimentacion.VariarHolt(0.1, 0.2, 0.1, 0.5, 0.4, 0.1, false, pasos);
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), 0.2);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(), 0.63);
    QCOMPARE(Filas(Ajuste(w)), 0);
}

QTEST_MAIN(TstExperimentosBucle)
#include "tst_experimentos_bucle.moc"
