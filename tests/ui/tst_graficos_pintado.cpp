// SPDX-License-Identifier: GPL-3.0-or-later
// Series removed or replaced on a chart that is on screen and repainted.
// Runs offscreen and, through a second CTest entry, under Xvfb: a paint that
// reads a deleted series crashed only on a real X server, and the sanitizer
// build reports it on either.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <memory>

#include "ui/Grafico.h"
#include "app/MainUnit.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

std::vector<PuntoGrafico> Puntos(int n, double desfase)
{
    std::vector<PuntoGrafico> v;
    for (int t = 1; t <= n; ++t)
        v.push_back(PuntoGrafico{double(t), 50.0 + 30.0 * std::sin(t / 3.0 + desfase),
                                 QStringLiteral("%1-%2").arg(2000 + (t - 1) / 12).arg((t - 1) % 12 + 1), QColor(),
                                 false});
    return v;
}

// Paints now, before any queued work of the chart has run.
void PintarYa(Grafico& g)
{
    g.viewport()->repaint();
    (void)g.grab();
}

void Dejar(int ms = 30)
{
    QTest::qWait(ms);
}

bool Mostrar(QWidget& w, int ancho, int alto)
{
    w.resize(ancho, alto);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

void Pulsar(QObject* w, const char* boton)
{
    QTest::mouseClick(Control<QToolButton>(w, boton), Qt::LeftButton);
}

// The main window on screen after loading n months, a calculation and the
// given number of comparisons, with the comparison chart in front.
std::unique_ptr<TFormMain> Comparando(int n, int comparaciones)
{
    std::unique_ptr<TFormMain> w(CrearVentanas());
    if (!Mostrar(*w, 1200, 800))
        return nullptr;
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Mensual(n, [](int i) {
        const double v = 100.0 + 2.0 * i + 15.0 * std::sin(i * 3.14159265358979 / 6.0) + (i % 5);
        return QString::number(v, 'f', 2);
    }));
    Pulsar(w.get(), "TBTransferir");
    Pulsar(w.get(), "TBCalcular");
    for (int k = 0; k < comparaciones; ++k)
        Pulsar(w.get(), "TBComparar");
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGraficoComp"));
    Dejar(100);
    return w;
}

} // namespace

class TstGraficosPintado : public QObject {
    Q_OBJECT
private slots:
    void init() { PonerLocale(true); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void eliminarConLeyendaVisible_data();
    void eliminarConLeyendaVisible();
    void sustituirPuntosMientrasSePinta();
    void leyendaBajoElRatonTrasEliminar();
    void cargarConComparativaEnPantalla_data();
    void cargarConComparativaEnPantalla();
    void eliminarComparativasDesdeElMenu();
};

void TstGraficosPintado::eliminarConLeyendaVisible_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("desde");
    QTest::newRow("la última de tres") << 3 << 2;
    QTest::newRow("todas menos la primera de doce") << 12 << 1;
    QTest::newRow("todas") << 5 << 0;
}

void TstGraficosPintado::eliminarConLeyendaVisible()
{
    QFETCH(int, series);
    QFETCH(int, desde);
    Grafico g;
    QVERIFY(Mostrar(g, 900, 500));
    for (int k = 0; k < series; ++k) {
        SerieGrafico* s =
            g.CrearSerie(QStringLiteral("S%1").arg(k), QStringLiteral("Serie %1").arg(k), TipoSerie::Linea);
        g.PonerPuntos(s, Puntos(40, k));
    }
    Dejar();
    QVERIFY(g.LeyendaMostrada());
    QVERIFY(!g.RectEntradaLeyenda(g.SerieEn(series - 1)).isEmpty());

    g.EliminarSeriesDesde(desde);
    // The legend forgets the removed series at once, not at the next update.
    PintarYa(g);
    QCOMPARE(g.NumSeries(), desde);
    for (int k = 0; k < desde; ++k)
        QVERIFY(!g.RectEntradaLeyenda(g.SerieEn(k)).isEmpty());
    Dejar();

    // New series in the freed places paint as well.
    for (int k = desde; k < series; ++k) {
        SerieGrafico* s =
            g.CrearSerie(QStringLiteral("N%1").arg(k), QStringLiteral("Nueva %1").arg(k), TipoSerie::Linea);
        g.PonerPuntos(s, Puntos(40, -k));
        PintarYa(g);
    }
    Dejar();
    QCOMPARE(g.NumSeries(), series);
    QVERIFY(!g.RectEntradaLeyenda(g.SerieEn(series - 1)).isEmpty());
}

void TstGraficosPintado::sustituirPuntosMientrasSePinta()
{
    // Lines split by null points and refilled with fewer and more points,
    // painted between every change.
    Grafico g;
    QVERIFY(Mostrar(g, 900, 500));
    SerieGrafico* a = g.CrearSerie("A", "A", TipoSerie::LineaPuntos);
    SerieGrafico* b = g.CrearSerie("B", "B", TipoSerie::Linea);
    for (int n : {60, 5, 0, 120, 1, 30}) {
        auto p = Puntos(n, n);
        for (size_t i = 0; i < p.size(); i += 7)
            p[i].nulo = true;
        g.PonerPuntos(a, p);
        PintarYa(g);
        g.PonerPuntos(b, Puntos(n / 2, 0.5));
        PintarYa(g);
        Dejar(5);
        QCOMPARE(a->count(), n);
    }
}

void TstGraficosPintado::leyendaBajoElRatonTrasEliminar()
{
    // A click on the place where a removed series' legend entry stood toggles nothing.
    Grafico g;
    QVERIFY(Mostrar(g, 900, 500));
    SerieGrafico* a = g.CrearSerie("A", "Primera", TipoSerie::Linea);
    g.PonerPuntos(a, Puntos(30, 0));
    SerieGrafico* b = g.CrearSerie("B", "Segunda", TipoSerie::Linea);
    g.PonerPuntos(b, Puntos(30, 1));
    Dejar();
    const QPoint donde = g.RectEntradaLeyenda(b).center().toPoint();
    QVERIFY(!donde.isNull());
    g.EliminarSerie(b);
    QTest::mouseMove(g.viewport(), donde);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, donde);
    PintarYa(g);
    QCOMPARE(g.NumSeries(), 1);
    QVERIFY(a->isVisible());
}

void TstGraficosPintado::cargarConComparativaEnPantalla_data()
{
    QTest::addColumn<bool>("menu");
    QTest::addColumn<int>("comparaciones");
    QTest::newRow("botón Cargar, una comparación") << false << 1;
    QTest::newRow("botón Cargar, tres comparaciones") << false << 3;
    QTest::newRow("menú Cargar, doce comparaciones") << true << 12;
}

void TstGraficosPintado::cargarConComparativaEnPantalla()
{
    QFETCH(bool, menu);
    QFETCH(int, comparaciones);
    auto w = Comparando(48, comparaciones);
    QVERIFY(w);
    auto* chart = Control<Grafico>(w, "ChartPC");
    QCOMPARE(chart->NumSeries(), 1 + comparaciones);
    QVERIFY(chart->LeyendaMostrada());

    for (int vez = 0; vez < 3; ++vez) {
        if (menu)
            Control<QAction>(w, "Transferiratabladeprevisin1")->trigger();
        else
            Pulsar(w.get(), "TBTransferir");
        PintarYa(*chart);
        Dejar();
        QCOMPARE(chart->NumSeries(), 1);
        Pulsar(w.get(), "TBCalcular");
        Pulsar(w.get(), "TBComparar");
        PintarYa(*chart);
        Dejar();
        QCOMPARE(chart->NumSeries(), 2);
    }
}

void TstGraficosPintado::eliminarComparativasDesdeElMenu()
{
    auto w = Comparando(36, 4);
    QVERIFY(w);
    auto* chart = Control<Grafico>(w, "ChartPC");
    // The chart's own pop-up menu, opened where the user right-clicks.
    QMenu* menu = nullptr;
    QTimer::singleShot(50, [&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String("Eliminarseriescomparativas1"))
                a->trigger();
        menu->close();
    });
    chart->AbrirMenu(chart->mapToGlobal(chart->rect().center()));
    Dejar(120);
    QVERIFY(menu);
    PintarYa(*chart);
    Dejar();
    QCOMPARE(chart->NumSeries(), 1);
}

QTEST_MAIN(TstGraficosPintado)
#include "tst_graficos_pintado.moc"
