// SPDX-License-Identifier: GPL-3.0-or-later
// The time estimate of an experiment's progress window: shown once the loop
// would take more than ten seconds, refreshed as it goes. The window's clock
// is the test's, so no test waits for it.
#include <QProgressDialog>
#include <QRegularExpression>

#include <chrono>
#include <cmath>
#include <limits>

#include "AyudasExperimentos.h"
#include "data/Numeros.h"

using namespace tendora;
using namespace prueba;

class TstExperimentosEstimacion : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void duracion_data();
    void duracion();
    void ventana_data();
    void ventana();
};

void TstExperimentosEstimacion::duracion_data()
{
    QTest::addColumn<double>("segundos");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("locale");
    // Worked by hand: whole seconds to the nearest, then the two largest units.
    const struct {
        const char* nombre;
        double segundos;
        const char* texto;
    } casos[] = {
        {"nada", 0.0, "0 s"},
        {"9,4 s", 9.4, "9 s"},
        {"59,6 s redondea a un minuto", 59.6, "1 min"},
        {"150 s", 150.0, "2 min 30 s"},
        {"3599 s", 3599.0, "59 min 59 s"},
        {"una hora", 3600.0, "1 h"},
        {"4830 s: los 30 s no caben", 4830.0, "1 h 20 min"},
        {"90061 s = 1 d 1 h 1 min 1 s", 90061.0, "1 d 1 h"},
        // 123456789 = 1428 × 86400 + 77589, and 77589 = 21 × 3600 + 3989.
        {"123456789 s, sin separador de miles", 123456789.0, "1428 d 21 h"},
        {"negativo", -5.0, "0 s"},
        // 1e11 s = 1157407 × 86400 + 35200, and 35200 = 9 × 3600 + 2800.
        {"infinito, al tope", std::numeric_limits<double>::infinity(), "1157407 d 9 h"},
        {"NaN, al tope", std::numeric_limits<double>::quiet_NaN(), "1157407 d 9 h"},
    };
    for (const auto& c : casos)
        for (const char* locale : {"es_ES", "C"})
            QTest::newRow(QByteArray(c.nombre).append(", ").append(locale).constData())
                << c.segundos << QString::fromUtf8(c.texto) << QString::fromLatin1(locale);
}

void TstExperimentosEstimacion::duracion()
{
    QFETCH(double, segundos);
    QFETCH(QString, texto);
    QFETCH(QString, locale);
    PonerLocale(locale != QLatin1String("C"));
    QCOMPARE(Experimentos::TextoDuracion(segundos), texto);
}

enum Experimento { Todos, ExAnte, Variacion };

void TstExperimentosEstimacion::ventana_data()
{
    QTest::addColumn<int>("experimento");
    QTest::addColumn<double>("paso"); // seconds the test's clock moves per reading
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("enPaso"); // the step whose text is checked
    QTest::addColumn<QString>("estimacion"); // its second line; empty: none
    // Each experiment runs twelve steps (the twelve models; hold-outs 11..0;
    // N = 1..12), and the clock is read once at the start and once a step:
    // after step k, k × paso seconds have passed and the total is 12 × paso.
    // 12 × 0.8 = 9.6 s: under ten seconds, nothing new.
    QTest::newRow("todos, 9,6 s, es") << int(Todos) << 0.8 << "es_ES" << 5 << "";
    // 12 × 1 = 12 s; after step 3, 12 - 3 = 9 s left.
    QTest::newRow("todos, 12 s, C") << int(Todos) << 1.0 << "C" << 3 << "Tiempo estimado: 12 s (quedan 9 s)";
    // 12 × 12.5 = 150 s; after step 4, 150 - 50 = 100 s left.
    QTest::newRow("ex-ante, 150 s, es") << int(ExAnte) << 12.5 << "es_ES" << 4
                                        << "Tiempo estimado: 2 min 30 s (quedan 1 min 40 s)";
    QTest::newRow("ex-ante, 9,6 s, C") << int(ExAnte) << 0.8 << "C" << 11 << "";
    // 12 × 400 = 4800 s = 1 h 20 min; after step 9, 1200 s = 20 min left.
    QTest::newRow("variación, 1 h 20 min, C")
        << int(Variacion) << 400.0 << "C" << 9 << "Tiempo estimado: 1 h 20 min (quedan 20 min)";
    // 12 × 0.875 = 10.5 s: just over, written 11 s (halves round up); after
    // step 12 nothing is left.
    QTest::newRow("variación, 10,5 s, es")
        << int(Variacion) << 0.875 << "es_ES" << 12 << "Tiempo estimado: 11 s (quedan 0 s)";
}

void TstExperimentosEstimacion::ventana()
{
    QFETCH(int, experimento);
    QFETCH(double, paso);
    QFETCH(QString, locale);
    QFETCH(int, enPaso);
    QFETCH(QString, estimacion);
    auto w = Cargada(locale, 120);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->EsperaProgresoMs = 0; // shown at the first step
    long long lecturas = 0;
    const auto inicio = std::chrono::steady_clock::now();
    w->Experimentacion.RelojProgreso = [&lecturas, inicio, paso] {
        const auto d = std::chrono::duration<double>(paso * static_cast<double>(lecturas++));
        return inicio + std::chrono::duration_cast<std::chrono::steady_clock::duration>(d);
    };
    w->SesionActual.SeleccionarModelo(ItemMMS);

    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeN->setValue(1);
        r->HastaN->setValue(12);
        r->IncN->setValue(1);
        r->CBGraficos->setChecked(true);
        return true;
    };
    c.exAnte = [](TFormSimExAnte* s) {
        s->SEDesde->setValue(11);
        s->SEHasta->setValue(0);
        return true;
    };
    QStringList textos;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, [&] {
        auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (p && p->isVisible() && (textos.isEmpty() || textos.constLast() != p->labelText()))
            textos << p->labelText();
    });
    mirar.start();
    const char* accion = experimento == Todos    ? "Aplicartodoslosmtodos1"
                         : experimento == ExAnte ? "Simulacinexante1"
                                                 : "Variacindeparmetros1";
    Control<QAction>(w, accion)->trigger();
    mirar.stop();

    // Every step refreshed the window: a quarter of a second passed at least.
    QCOMPARE(lecturas, 13LL);
    QCOMPARE(textos.size(), 12);
    const QString paso_ = QStringLiteral("Paso ") + TextoEntero(enPaso) + QStringLiteral(" de 12");
    QCOMPARE(textos[enPaso - 1], estimacion.isEmpty() ? paso_ : paso_ + QLatin1Char('\n') + estimacion);
    // Shown from the first step or never, always in the same form.
    const QRegularExpression forma(estimacion.isEmpty()
                                       ? QStringLiteral("^Paso \\d+ de 12$")
                                       : QStringLiteral("^Paso \\d+ de 12\nTiempo estimado: .+ \\(quedan .+\\)$"));
    for (const QString& t : textos)
        QVERIFY2(forma.match(t).hasMatch(), qPrintable(t));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TstExperimentosEstimacion)
#include "tst_experimentos_estimacion.moc"
