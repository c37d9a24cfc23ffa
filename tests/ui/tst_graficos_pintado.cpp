// SPDX-License-Identifier: GPL-3.0-or-later
// Series removed or replaced on a chart that is on screen and repainted.
// Runs offscreen and, through a second CTest entry, under Xvfb: a paint that
// reads a deleted series crashed only on a real X server, and the sanitizer
// build reports it on either.
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineF>
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
#include "models/Modelos.h"

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

// Where point i of a series is drawn, in view coordinates.
QPointF EnVista(Grafico& g, const SerieGrafico* s, int i)
{
    const PuntoGrafico& p = s->Puntos()[size_t(i)];
    const QPointF c = g.chart()->mapToPosition(QPointF(p.x, p.y), s->SeriesQt().constFirst());
    return g.mapFromScene(g.chart()->mapToScene(c));
}

// The chart's pop-up menu as a right click at pos opens it.
QMenu* MenuEn(Grafico& g, const QPoint& pos)
{
    QContextMenuEvent e(QContextMenuEvent::Mouse, pos, g.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(g.viewport(), &e);
    Dejar();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* Accion(QMenu* menu, const char* nombre)
{
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(nombre))
            return a;
    return nullptr;
}

// Three comparisons of different models (naïve, moving average, Holt), so
// that their forecasts part: red, navy and green.
std::unique_ptr<TFormMain> TresModelos()
{
    auto w = Comparando(48, 0);
    if (!w)
        return nullptr;
    for (int item : {ItemNVS, ItemMMS, ItemHLT}) {
        w->SesionActual.SeleccionarModelo(item);
        Pulsar(w.get(), "TBCalcular");
        Pulsar(w.get(), "TBComparar");
    }
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
    void eliminarEstaSerie_data();
    void eliminarEstaSerie();
    void eliminarEstaSerieFueraDeComparacion();
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

enum Donde { Leyenda, Linea, Vacio };

void TstGraficosPintado::eliminarEstaSerie_data()
{
    QTest::addColumn<int>("donde");
    QTest::addColumn<int>("posicion"); // the series right-clicked; 0 is the history
    QTest::addColumn<bool>("coma");
    QTest::newRow("leyenda de la segunda, es") << int(Leyenda) << 2 << true;
    QTest::newRow("leyenda de la primera, C") << int(Leyenda) << 1 << false;
    QTest::newRow("línea de la tercera, C") << int(Linea) << 3 << false;
    QTest::newRow("línea de la segunda, es") << int(Linea) << 2 << true;
    QTest::newRow("leyenda de los datos, es") << int(Leyenda) << 0 << true;
    QTest::newRow("sin serie, C") << int(Vacio) << -1 << false;
}

// "Eliminar esta serie" from the comparison chart's own menu, opened by a
// right click on a series: that one goes, the others stay as they were, and
// the chart repaints.
void TstGraficosPintado::eliminarEstaSerie()
{
    QFETCH(int, donde);
    QFETCH(int, posicion);
    QFETCH(bool, coma);
    PonerLocale(coma);
    auto w = TresModelos();
    QVERIFY(w);
    auto* chart = Control<Grafico>(w, "ChartPC");
    QCOMPARE(chart->NumSeries(), 4);
    QStringList titulos;
    QList<QRgb> colores;
    for (int k = 0; k < 4; ++k) {
        titulos << chart->SerieEn(k)->name();
        colores << chart->SerieEn(k)->Color().rgb();
    }
    // The colour table: red, navy, green.
    QCOMPARE(colores.mid(1), (QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 128), qRgb(0, 128, 0)}));

    QPoint pos;
    if (donde == Leyenda) {
        pos = chart->RectEntradaLeyenda(chart->SerieEn(posicion)).center().toPoint();
    } else if (donde == Linea) {
        // Half-way between two forecast points of that series, where every
        // other series is at least 12 pixels away.
        const SerieGrafico* s = chart->SerieEn(posicion);
        bool hallado = false;
        for (int i = s->count() - 2; i >= 0 && !hallado; --i) {
            const QPointF medio = (EnVista(*chart, s, i) + EnVista(*chart, s, i + 1)) / 2.0;
            bool lejos = true;
            for (int k = 0; k < 4; ++k)
                if (k != posicion)
                    for (int j = 0; j < chart->SerieEn(k)->count(); ++j)
                        if (QLineF(EnVista(*chart, chart->SerieEn(k), j), medio).length() < 12.0)
                            lejos = false;
            if (lejos) {
                pos = medio.toPoint();
                hallado = true;
            }
        }
        QVERIFY(hallado);
    } else {
        // The top-left corner of the plot: the data climb from bottom left.
        const QRectF area = chart->chart()->plotArea();
        pos = chart->mapFromScene(chart->chart()->mapToScene(area.topLeft() + QPointF(3.0, 3.0)));
    }

    QMenu* menu = MenuEn(*chart, pos);
    QVERIFY(menu);
    QAction* esta = Accion(menu, "Eliminarestaserie1");
    QVERIFY(esta);
    QVERIFY(esta->isVisible());
    const bool puede = posicion >= 1;
    QCOMPARE(esta->isEnabled(), puede);
    if (!puede) {
        QCOMPARE(esta->text(), QStringLiteral("Eliminar esta serie"));
        menu->close();
        Dejar();
        QCOMPARE(chart->NumSeries(), 4);
        return;
    }
    QCOMPARE(esta->text(), QStringLiteral("Eliminar esta serie «") + titulos[posicion] + QStringLiteral("»"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(esta).center());
    Dejar();
    PintarYa(*chart);
    Dejar();

    titulos.removeAt(posicion);
    colores.removeAt(posicion);
    QCOMPARE(chart->NumSeries(), 3);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(chart->SerieEn(k)->name(), titulos[k]);
        QCOMPARE(chart->SerieEn(k)->Color().rgb(), colores[k]);
        QVERIFY(!chart->RectEntradaLeyenda(chart->SerieEn(k)).isEmpty());
    }
    // The next comparison takes the colour that was freed, not one a
    // remaining series wears (k = 4 would be green again).
    const QRgb libre = posicion == 1 ? qRgb(255, 0, 0) : posicion == 2 ? qRgb(0, 0, 128) : qRgb(0, 128, 0);
    Pulsar(w.get(), "TBComparar");
    PintarYa(*chart);
    Dejar();
    QCOMPARE(chart->NumSeries(), 4);
    QCOMPARE(chart->SerieEn(3)->Color().rgb(), libre);
}

// On the other charts the item is not there; on ChartP a right click on
// its forecast line finds no comparison series to remove.
void TstGraficosPintado::eliminarEstaSerieFueraDeComparacion()
{
    auto w = TresModelos();
    QVERIFY(w);
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    Dejar(100);
    auto* chart = Control<Grafico>(w, "ChartP");
    const SerieGrafico* prev = chart->SerieEn(0);
    QMenu* menu = MenuEn(*chart, EnVista(*chart, prev, prev->count() - 1).toPoint());
    QVERIFY(menu);
    QVERIFY(!Accion(menu, "Eliminarestaserie1")->isVisible());
    QVERIFY(Accion(menu, "Modificarpuntosdehistrico1")->isVisible());
    menu->close();
    Dejar();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 4);
}

QTEST_MAIN(TstGraficosPintado)
#include "tst_graficos_pintado.moc"
