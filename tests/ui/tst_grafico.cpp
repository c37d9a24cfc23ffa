// SPDX-License-Identifier: GPL-3.0-or-later
// The chart component as drawn: legend checks, null points, bottom-axis
// labels, marker colours, the marker line, bars and the axis numbers.
#include "ui/Grafico.h"

#include "Ayudas.h"
#include "AyudasGrafico.h"

#include <QBarSet>
#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QSignalSpy>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <limits>
#include <map>

using namespace tendora;
using namespace prueba;

namespace {

QStringList TextosEscena(Grafico& g)
{
    QStringList r;
    for (QGraphicsItem* it : g.scene()->items())
        if (auto* t = dynamic_cast<QGraphicsTextItem*>(it))
            if (t->isVisible())
                r << t->toPlainText();
    return r;
}

// Qt writes "..." for a label it has no room for.
void SinRecortar(Grafico& g)
{
    for (const QString& t : TextosEscena(g))
        QVERIFY2(!t.contains(QStringLiteral("...")) && !t.contains(QChar(0x2026)), qPrintable(t));
}

// n points at y on a line drawn in blue, null where hueco says.
std::vector<PuntoGrafico> Plana(int n, double y, int hueco = 0)
{
    std::vector<PuntoGrafico> v;
    for (int t = 1; t <= n; ++t)
        v.push_back(PuntoGrafico{double(t), y, Etiqueta(t), Azul, t == hueco});
    return v;
}

// A helper series from (x0, y0) to (x1, y1) that sets the y scale.
SerieGrafico* Escala(Grafico& g, double x0, double y0, double x1, double y1)
{
    SerieGrafico* s = g.CrearSerie(QStringLiteral("E"), QString(), TipoSerie::Linea);
    g.PonerPuntos(s, {PuntoGrafico{x0, y0, QString(), {}, false}, PuntoGrafico{x1, y1, QString(), {}, false}});
    return s;
}

// For each pixel column of [a, b] split into columnas, the lowest and highest y.
std::map<long long, std::pair<double, double>> Extremos(const QList<QPointF>& lista, double a, double b, int columnas)
{
    std::map<long long, std::pair<double, double>> r;
    for (const QPointF& p : lista)
        if (p.x() >= a && p.x() <= b) {
            const long long c = (long long)std::floor((p.x() - a) * columnas / (b - a));
            auto it = r.find(c);
            if (it == r.end())
                r[c] = {p.y(), p.y()};
            else
                it->second = {std::min(it->second.first, p.y()), std::max(it->second.second, p.y())};
        }
    return r;
}

} // namespace

class TstGrafico : public QObject {
    Q_OBJECT
private slots:
    void init();
    void leyendaConmutaSinPerderEntrada();
    void visibilidadPersisteAlRellenar();
    void nulosPartenSegmentos_data();
    void nulosPartenSegmentos();
    void nuloNoSeUneEnPantalla();
    void noFinitosSonNulos();
    void serieLargaReducidaPorColumna();
    void etiquetasSinSolape_data();
    void etiquetasSinSolape();
    void etiquetasSiguenAlRedimensionarYAmpliar();
    void coloresPropiosEnMarcas();
    void lineaVerticalDetrasDeLasSeries();
    void barrasColoresYEtiquetas_data();
    void barrasColoresYEtiquetas();
    void numerosDelEjeSegunRegion_data();
    void numerosDelEjeSegunRegion();
    void etiquetasAlAnadirYQuitarSeries();
    void ocultoEsperaAMostrarse();
    void ocultoNoEscalaConLaEscalaAnterior();
    void copiaCongelada();
    void bandaDetrasDeLasLineas_data();
    void bandaDetrasDeLasLineas();
};

void TstGrafico::init()
{
    QLocale::setDefault(QLocale::c());
}

void TstGrafico::leyendaConmutaSinPerderEntrada()
{
    auto g = NuevoGrafico();
    Datos(*g, TipoSerie::LineaPuntos, 24, Onda, Azul);
    SerieGrafico* prev = Serie(*g, "SeriesPrevision", "Previsión", TipoSerie::Linea, Puntos(24, Diez, Rojo), Rojo);
    Asentar(*g);
    QVERIFY(g->LeyendaMostrada());

    // The legend text is written in the series' colour.
    const QRectF r = g->RectEntradaLeyenda(prev);
    QVERIFY(!r.isEmpty());
    QVERIFY(ContarColor(g->grab().toImage(), r.toRect(), Rojo, 60) > 10);

    QSignalSpy conmutada(g.get(), &Grafico::serieConmutada);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    QCOMPARE(conmutada.count(), 1);
    QVERIFY(!prev->isVisible());
    for (QAbstractSeries* q : prev->SeriesQt())
        QVERIFY(!q->isVisible());
    // The entry stays where it was, so a second click brings the series back.
    Asentar(*g);
    QCOMPARE(g->RectEntradaLeyenda(prev), r);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    QVERIFY(prev->isVisible());
    QCOMPARE(conmutada.count(), 2);
    QCOMPARE(conmutada.at(1).at(1).toBool(), true);
    // A quick double click switches it off and on again. X11 delivers it as
    // press, release, double click, release; QTest sends the double click alone.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    QCOMPARE(conmutada.count(), 4);
    QVERIFY(prev->isVisible());
}

void TstGrafico::visibilidadPersisteAlRellenar()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = Serie(*g, "SerieDesvPos", "Desv. +", TipoSerie::Linea, Puntos(10, Onda));
    s->PonerVisible(false);
    // Refilling, even into more segments, keeps the user's choice.
    auto v = Puntos(30, Onda);
    v[10].nulo = true;
    g->PonerPuntos(s, v);
    QVERIFY(!s->isVisible());
    QCOMPARE(s->NumSegmentos(), 2);
    for (QAbstractSeries* q : s->SeriesQt())
        QVERIFY(!q->isVisible());
    s->PonerVisible(true);
    for (QAbstractSeries* q : s->SeriesQt())
        QVERIFY(q->isVisible());
}

void TstGrafico::nulosPartenSegmentos_data()
{
    // '.' an ordinary point, 'n' a null one; the expected x of each segment, counted by hand.
    QTest::addColumn<QString>("patron");
    QTest::addColumn<QString>("segmentos");
    const char* filas[][3] = {{"sin nulos", ".....", "1,2,3,4,5"},
                              {"en medio", "..n..", "1,2|4,5"},
                              {"al principio", "n....", "2,3,4,5"},
                              {"al final", "....n", "1,2,3,4"},
                              {"dos seguidos", "..nn..", "1,2|5,6"},
                              {"alternos", ".n.n.", "1|3|5"},
                              {"todos", "nnn", ""}};
    for (const auto& f : filas)
        QTest::newRow(f[0]) << QString::fromLatin1(f[1]) << QString::fromLatin1(f[2]);
}

void TstGrafico::nulosPartenSegmentos()
{
    QFETCH(QString, patron);
    QFETCH(QString, segmentos);
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("S"), QStringLiteral("S"), TipoSerie::Linea);
    auto v = Puntos(int(patron.size()), Diez);
    for (int i = 0; i < patron.size(); ++i)
        v[size_t(i)].nulo = patron[i] == QLatin1Char('n');
    g->PonerPuntos(s, v);
    g->ActualizarAhora();

    QStringList vistos;
    for (QAbstractSeries* q : s->SeriesQt()) {
        auto* l = qobject_cast<QLineSeries*>(q);
        QVERIFY(l);
        if (l->count() == 0)
            continue;
        QStringList xs;
        for (const QPointF& p : l->points())
            xs << QString::number(p.x());
        vistos << xs.join(QLatin1Char(','));
    }
    QCOMPARE(vistos.join(QLatin1Char('|')), segmentos);
    QCOMPARE(s->NumSegmentos(), segmentos.isEmpty() ? 0 : int(segmentos.count(QLatin1Char('|'))) + 1);
    // The series still holds every point, nulls included.
    QCOMPARE(s->count(), int(patron.size()));
}

void TstGrafico::nuloNoSeUneEnPantalla()
{
    auto g = NuevoGrafico();
    // A flat line at 10 with a hole at x = 3; a second series sets the y scale.
    SerieGrafico* s = Serie(*g, "S", nullptr, TipoSerie::Linea, Plana(5, 10.0, 3), {.color = Azul, .ancho = 4});
    Escala(*g, 1, 0, 5, 20);
    Asentar(*g);
    const QImage im = g->grab().toImage();
    const QPoint hueco = EnVista(*g, s, 3.0, 10.0);
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 1.5, 10.0)), Azul));
    QVERIFY(!Parecido(im.pixelColor(hueco), Azul));
    QVERIFY(!Parecido(im.pixelColor(hueco + QPoint(-8, 0)), Azul));
}

void TstGrafico::noFinitosSonNulos()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("S"), QStringLiteral("S"), TipoSerie::LineaPuntos);
    auto v = Puntos(6, Diez);
    v[1].y = std::numeric_limits<double>::quiet_NaN();
    v[4].y = std::numeric_limits<double>::infinity();
    QTest::failOnWarning(QRegularExpression(QStringLiteral("NaN|Inf")));
    g->PonerPuntos(s, v);
    Asentar(*g);
    QVERIFY(s->Puntos()[1].nulo);
    QVERIFY(s->Puntos()[4].nulo);
    // Segments {1}, {3,4} and {6}: nothing non-finite reaches Qt.
    QCOMPARE(s->NumSegmentos(), 3);
    for (QAbstractSeries* q : s->SeriesQt())
        for (const QPointF& p : qobject_cast<QLineSeries*>(q)->points())
            QVERIFY(std::isfinite(p.y()));
    QVERIFY(std::isfinite(g->MinimoY()) && std::isfinite(g->MaximoY()));
}

void TstGrafico::serieLargaReducidaPorColumna()
{
    auto g = NuevoGrafico(800, 500);
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    // A jagged walk of 20 000 points, far more than the plot has pixel columns.
    std::vector<PuntoGrafico> v;
    QList<QPointF> todos;
    unsigned semilla = 12345;
    double y = 0.0;
    for (int t = 1; t <= 20000; ++t) {
        semilla = semilla * 1103515245u + 12345u;
        y += double(int((semilla >> 16) % 201) - 100) / 10.0;
        v.push_back(PuntoGrafico{double(t), y, Etiqueta(t), {}, false});
        todos << QPointF(t, y);
    }
    g->PonerPuntos(s, v);
    Asentar(*g);

    auto comprobar = [&](const char* caso) {
        auto* l = qobject_cast<QLineSeries*>(s->SeriesQt().first());
        const QList<QPointF> qt = l->points();
        const double a = g->MinimoX(), b = g->MaximoX();
        const int columnas = int(std::ceil(g->chart()->plotArea().width()));
        QVERIFY2(qt.size() <= 2 * (columnas + 2) + 2, caso);
        // Every point handed to Qt is a real one, in order.
        for (int i = 0; i < qt.size(); ++i) {
            const int t = int(qt[i].x());
            QVERIFY2(qt[i].x() == double(t) && qt[i].y() == v[size_t(t - 1)].y, caso);
            if (i > 0)
                QVERIFY2(qt[i].x() > qt[i - 1].x(), caso);
        }
        // Each pixel column keeps its lowest and highest point (computed here from all points).
        QVERIFY2(Extremos(qt, a, b, columnas) == Extremos(todos, a, b, columnas), caso);
        // The line runs on beyond both edges of the plot.
        QVERIFY2(qt.first().x() <= std::max(a, 1.0) && qt.last().x() >= std::min(b, 20000.0), caso);
    };
    comprobar("todo");
    g->Ampliar(QRectF(EnVista(*g, s, 5000, g->MaximoY()), EnVista(*g, s, 5600, g->MinimoY())));
    Asentar(*g);
    QVERIFY(g->MaximoX() - g->MinimoX() < 700);
    comprobar("ampliado");
    g->resize(1300, 500);
    Asentar(*g);
    comprobar("mas ancho");
}

void TstGrafico::etiquetasSinSolape_data()
{
    QTest::addColumn<int>("ancho");
    QTest::addColumn<int>("puntos");
    QTest::newRow("estrecho 144") << 320 << 144;
    QTest::newRow("medio 144") << 640 << 144;
    QTest::newRow("ancho 144") << 1200 << 144;
    QTest::newRow("muy ancho 144") << 1900 << 144;
    QTest::newRow("estrecho 24") << 320 << 24;
    QTest::newRow("muy ancho 24") << 1900 << 24;
    QTest::newRow("2000 puntos") << 1000 << 2000;
}

void TstGrafico::etiquetasSinSolape()
{
    QFETCH(int, ancho);
    QFETCH(int, puntos);
    auto g = NuevoGrafico(ancho, 500);
    SerieGrafico* s = Datos(*g, TipoSerie::Linea, puntos, Onda);
    Asentar(*g);

    const QStringList textos = g->EtiquetasEjeX();
    const QList<double> xs = g->PosicionesEtiquetasX();
    QVERIFY(!textos.isEmpty());
    QCOMPARE(xs.size(), textos.size());
    QCOMPARE(QSet<QString>(textos.begin(), textos.end()).size(), textos.size());
    // A label stands on end: it is as thick as a line of its font.
    const qreal grosor = QFontMetricsF(g->EjeX()->labelsFont()).height();
    for (int i = 0; i < xs.size(); ++i) {
        QCOMPARE(textos[i], Etiqueta(int(xs[i])));
        if (i > 0) {
            const qreal dx = EnVista(*g, s, xs[i], 0).x() - EnVista(*g, s, xs[i - 1], 0).x();
            QVERIFY2(dx >= grosor,
                     qPrintable(QStringLiteral("%1 px between %2 and %3").arg(dx).arg(textos[i - 1], textos[i])));
        }
    }
    SinRecortar(*g);
    // 24 labels on a wide chart all fit (about 60 px apart): none is left out.
    if (puntos == 24 && ancho == 1900)
        QCOMPARE(textos.size(), 24);
    if (puntos == 144 && ancho >= 1200)
        QVERIFY(textos.size() >= 144 / 6);
}

void TstGrafico::etiquetasSiguenAlRedimensionarYAmpliar()
{
    auto g = NuevoGrafico(1600, 500);
    SerieGrafico* s = Datos(*g, TipoSerie::Linea, 144, Onda);
    Asentar(*g);
    const int anchas = int(g->EtiquetasEjeX().size());
    g->resize(400, 500);
    Asentar(*g);
    const int estrechas = int(g->EtiquetasEjeX().size());
    QVERIFY(estrechas < anchas);
    QVERIFY(estrechas > 0);
    // Zooming into two years leaves room for more labels in that stretch.
    g->Ampliar(QRectF(EnVista(*g, s, 1, 80), EnVista(*g, s, 24, 20)));
    Asentar(*g);
    const QList<double> xs = g->PosicionesEtiquetasX();
    QVERIFY(!xs.isEmpty());
    for (double x : xs)
        QVERIFY(x >= g->MinimoX() && x <= g->MaximoX());
    QVERIFY(xs.size() > estrechas * 24 / 144);
    SinRecortar(*g);
}

void TstGrafico::coloresPropiosEnMarcas()
{
    auto g = NuevoGrafico();
    auto v = Puntos(12, Diez);
    v[3].color = Lima; // the one point with a colour of its own
    SerieGrafico* s = Serie(*g, "SeriesDatos", "Datos", TipoSerie::LineaPuntos, v,
                            {.color = Azul, .forma = FormaMarca::Cuadrado, .tamanoMarca = 9});
    Asentar(*g);
    QVERIFY(s->ColorPropio(3));
    QVERIFY(!s->ColorPropio(2)); // blue is the series colour: no colour of its own
    const QImage im = g->grab().toImage();
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 4, 40) + QPoint(2, 2)), Lima));
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 3, 30) + QPoint(2, 2)), Qt::white));
}

void TstGrafico::lineaVerticalDetrasDeLasSeries()
{
    auto g = NuevoGrafico();
    // Flat at 50 from x = 1 to 20, the scale set by 0 and 100 of a hidden-from-legend helper.
    SerieGrafico* s = Serie(*g, "SeriesDatos", "Datos", TipoSerie::Linea, Plana(20, 50.0), {.color = Azul, .ancho = 3});
    SerieGrafico* escala = Escala(*g, 1, 0, 20, 100);
    g->PonerLineaVertical(12.5);
    Asentar(*g);
    const QImage im = g->grab().toImage();
    const QPoint arriba = EnVista(*g, s, 12.5, 90);
    const QPoint cruce = EnVista(*g, s, 12.5, 50);
    // The 2-pixel line may straddle pixel columns: look one pixel either side.
    QVERIFY(ContarColor(im, QRect(arriba.x() - 1, arriba.y(), 3, 1), Lima, 30) > 0);
    QVERIFY(Parecido(im.pixelColor(cruce), Azul)); // the series is drawn over the line
    // The line is not a series and not in the legend.
    QCOMPARE(g->NumSeries(), 2);
    QVERIFY(g->RectEntradaLeyenda(escala).isEmpty());
    g->QuitarLineaVertical();
    Asentar(*g);
    QCOMPARE(ContarColor(g->grab().toImage(), QRect(arriba.x() - 1, arriba.y(), 3, 1), Lima, 30), 0);
}

void TstGrafico::barrasColoresYEtiquetas_data()
{
    // Bar values written with four significant digits: 1.15 and 0.85 by hand.
    QTest::addColumn<QLocale>("region");
    QTest::addColumn<QString>("alta");
    QTest::addColumn<QString>("baja");
    QTest::newRow("es") << Espanol() << QStringLiteral("1,15") << QStringLiteral("0,85");
    QTest::newRow("C") << QLocale::c() << QStringLiteral("1.15") << QStringLiteral("0.85");
}

void TstGrafico::barrasColoresYEtiquetas()
{
    QFETCH(QLocale, region);
    QFETCH(QString, alta);
    QFETCH(QString, baja);
    QLocale::setDefault(region);
    auto g = NuevoGrafico(700, 450);
    g->PonerLeyendaVisible(false);
    g->PonerZoomPermitido(false);
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesCE"), QString(), TipoSerie::Barras);
    const QColor alto(171, 216, 202), bajo(244, 196, 151);
    std::vector<PuntoGrafico> v;
    for (int m = 1; m <= 12; ++m) {
        const double c = m % 3 == 0 ? 1.15 : 0.85;
        v.push_back(PuntoGrafico{double(m), c, QString::number(m), c > 1 ? alto : bajo, false});
    }
    g->PonerPuntos(s, v);
    Asentar(*g);
    auto* barras = qobject_cast<QStackedBarSeries*>(s->SeriesQt().first());
    QVERIFY(barras);
    QVERIFY(barras->isLabelsVisible());
    QCOMPARE(barras->labelsPosition(), QAbstractBarSeries::LabelsOutsideEnd);
    // Each month is in exactly one set, the one of its colour; the others hold 0 there.
    for (int m = 0; m < 12; ++m) {
        int conValor = 0;
        for (QBarSet* set : barras->barSets()) {
            QCOMPARE(set->labelColor(), QColor(Qt::black));
            if (set->at(m) != 0.0) {
                ++conValor;
                QCOMPARE(set->at(m), v[size_t(m)].y);
                QCOMPARE(set->color(), v[size_t(m)].color);
            }
        }
        QCOMPARE(conValor, 1);
    }
    QCOMPARE(g->EtiquetasEjeX().first(), QStringLiteral("1"));
    QCOMPARE(g->EtiquetasEjeX().size(), 12);
    // Room above the tallest bar for its label (12 % of the span, by design).
    QVERIFY(g->MaximoY() >= 1.15 * 1.12 - 1e-9);
    QCOMPARE(g->MinimoY(), 0.0);
    // The bar of month 3 is drawn in its colour.
    const QImage im = g->grab().toImage();
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 2, 0.6)), alto, 10));
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 0, 0.4)), bajo, 10));
    // Twelve value labels, in the regional decimal format; none for the zero parts.
    const QStringList textos = TextosEscena(*g);
    QCOMPARE(textos.count(alta), 4);
    QCOMPARE(textos.count(baja), 8);
    QVERIFY(!textos.contains(QStringLiteral("0")));
}

void TstGrafico::numerosDelEjeSegunRegion_data()
{
    QTest::addColumn<QLocale>("region");
    QTest::addColumn<QString>("medio");
    QTest::newRow("es") << Espanol() << QStringLiteral("0,5");
    QTest::newRow("C") << QLocale::c() << QStringLiteral("0.5");
}

void TstGrafico::numerosDelEjeSegunRegion()
{
    QFETCH(QLocale, region);
    QFETCH(QString, medio);
    QLocale::setDefault(region);
    auto g = NuevoGrafico();
    Serie(*g, "S", "S", TipoSerie::Linea, Puntos(10, Diez));
    g->PonerRangoEjeY(0.0, 2.5); // ticks every 0.5, worked by hand from the 1-2-2.5-5 steps
    Asentar(*g);
    QVERIFY2(TextosEscena(*g).contains(medio), qPrintable(TextosEscena(*g).join(QLatin1Char(' '))));
    // Thousands are written without a separator (ticks every 500 by hand).
    g->PonerRangoEjeY(0.0, 2500.0);
    Asentar(*g);
    const QStringList textos = TextosEscena(*g);
    QVERIFY2(textos.contains(QStringLiteral("1000")), qPrintable(textos.join(QLatin1Char(' '))));
    QVERIFY(!textos.contains(QStringLiteral("1.000")) && !textos.contains(QStringLiteral("1,000")));
}

namespace {

// Points at x desde..hasta labelled with the prefix and x.
std::vector<PuntoGrafico> Rotulados(const char* prefijo, int desde, int hasta)
{
    std::vector<PuntoGrafico> v;
    for (int x = desde; x <= hasta; ++x)
        v.push_back(PuntoGrafico{double(x), double(x), QString::fromLatin1(prefijo) + QString::number(x), {}, false});
    return v;
}

} // namespace

// The bottom axis writes each x's label once, from the earliest series that
// has one there, whatever order the series come, change and go in.
void TstGrafico::etiquetasAlAnadirYQuitarSeries()
{
    auto g = NuevoGrafico();
    SerieGrafico* a = Serie(*g, "A", "A", TipoSerie::Linea, Rotulados("a", 1, 6));
    Asentar(*g);
    QCOMPARE(g->EtiquetasEjeX(), (QStringList{"a1", "a2", "a3", "a4", "a5", "a6"}));
    // A later series adds the x it alone has.
    SerieGrafico* b = g->CopiarSerie(a, "B", "B", Rojo);
    g->PonerPuntos(b, Rotulados("b", 4, 10));
    Asentar(*g);
    QCOMPARE(g->EtiquetasEjeX(), (QStringList{"a1", "a2", "a3", "a4", "a5", "a6", "b7", "b8", "b9", "b10"}));
    // The first one refilled: its old labels go.
    g->PonerPuntos(a, Rotulados("c", 1, 3));
    Asentar(*g);
    QCOMPARE(g->EtiquetasEjeX(), (QStringList{"c1", "c2", "c3", "b4", "b5", "b6", "b7", "b8", "b9", "b10"}));
    // A third, then the first removed.
    Serie(*g, "C", "C", TipoSerie::Linea, Rotulados("d", 9, 12));
    Asentar(*g);
    QCOMPARE(g->EtiquetasEjeX(),
             (QStringList{"c1", "c2", "c3", "b4", "b5", "b6", "b7", "b8", "b9", "b10", "d11", "d12"}));
    g->EliminarSerie(a);
    Asentar(*g);
    QCOMPARE(g->EtiquetasEjeX(), (QStringList{"b4", "b5", "b6", "b7", "b8", "b9", "b10", "d11", "d12"}));
    g->EliminarSeriesDesde(1);
    Asentar(*g);
    QCOMPARE(g->EtiquetasEjeX(), (QStringList{"b4", "b5", "b6", "b7", "b8", "b9", "b10"}));
}

// A chart out of sight leaves its axes alone until it shows: a run that
// refills every chart pays only for the one in front.
void TstGrafico::ocultoEsperaAMostrarse()
{
    auto g = std::make_unique<Grafico>();
    g->resize(800, 500);
    Serie(*g, "A", "A", TipoSerie::Linea, Rotulados("a", 1, 6));
    QCoreApplication::processEvents();
    QCOMPARE(g->MaximoY(), 1.0); // as made
    QCOMPARE(g->EtiquetasEjeX(), QStringList());
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g.get()));
    QCoreApplication::processEvents();
    QVERIFY(g->MaximoY() >= 6.0);
    QCOMPARE(g->EtiquetasEjeX(), (QStringList{"a1", "a2", "a3", "a4", "a5", "a6"}));
}

// Tiny values scale the axis by 10^15; huge ones put while the chart is out
// of sight wait for their axes, also when its plot area changes meanwhile:
// sent at once they were scaled by the old factor into infinities.
void TstGrafico::ocultoNoEscalaConLaEscalaAnterior()
{
    auto g = std::make_unique<Grafico>();
    g->resize(800, 500);
    auto valores = [](double base) {
        std::vector<PuntoGrafico> v;
        for (int i = 1; i <= 6; ++i)
            v.push_back({double(i), base * (1 + i % 3), QString(), QColor(), false});
        return v;
    };
    SerieGrafico* s = g->CrearSerie(QStringLiteral("S"), QStringLiteral("S"), TipoSerie::Linea);
    g->PonerPuntos(s, valores(1e-15));
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g.get()));
    QCoreApplication::processEvents();
    g->hide();
    g->PonerPuntos(s, valores(1e300));
    // The plot area changes while hidden: a series and its legend entry go.
    g->EliminarSerie(g->CrearSerie(QStringLiteral("T"), QStringLiteral("T"), TipoSerie::Linea));
    g->PonerTitulo(QStringLiteral("Un título\nen dos líneas"));
    QCoreApplication::processEvents();
    const auto finitos = [s] {
        for (QAbstractSeries* q : s->SeriesQt())
            for (const QPointF& p : qobject_cast<QLineSeries*>(q)->points())
                if (!std::isfinite(p.y()))
                    return false;
        return true;
    };
    QVERIFY(finitos());
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g.get()));
    QCoreApplication::processEvents();
    QVERIFY(finitos());
    QVERIFY(g->MaximoY() >= 3e300);
}

// A copy keeps the points it was made with, and changing either one leaves
// the other as it was.
void TstGrafico::copiaCongelada()
{
    auto g = NuevoGrafico();
    SerieGrafico* a = Serie(*g, "A", "A", TipoSerie::Linea, Rotulados("a", 1, 6));
    SerieGrafico* b = g->CopiarSerie(a, "B", "B", Rojo);
    const std::vector<PuntoGrafico> antes = a->Puntos();
    QCOMPARE(Diferencia(b->Puntos(), antes, false), -1);
    g->MoverPunto(a, 2, 100.0);
    QCOMPARE(a->Puntos()[2].y, 100.0);
    QCOMPARE(b->Puntos()[2].y, 3.0);
    g->PonerNulos(b, 0, 1, true);
    QVERIFY(b->Puntos()[0].nulo && !a->Puntos()[0].nulo);
    g->PonerPuntos(a, Rotulados("c", 1, 2));
    QCOMPARE(b->count(), 6);
    QCOMPARE(b->Puntos()[5].etiqueta, QStringLiteral("a6"));
    Asentar(*g);
    QVERIFY(g->MaximoY() >= 6.0 && g->MaximoY() < 100.0); // the moved point went with a's refill
}

void TstGrafico::bandaDetrasDeLasLineas_data()
{
    QTest::addColumn<int>("alfa");
    QTest::addColumn<bool>("visible");
    QTest::newRow("translúcida") << 60 << true;
    QTest::newRow("opaca") << 255 << true;
    QTest::newRow("ocultada") << 60 << false;
}

// A band is filled between its edges in its colour, behind the lines, with an
// opaque title in the legend; it reaches the axis range with its lower edge
// too, and a plain colour given later keeps its translucency.
void TstGrafico::bandaDetrasDeLasLineas()
{
    QFETCH(int, alfa);
    QFETCH(bool, visible);
    auto g = NuevoGrafico();
    SerieGrafico* datos = Datos(*g, TipoSerie::Linea, 24, Diez, Azul);
    // From t = 5 to 15: 60 above the line and 80 below it, down to -30 at t = 5.
    std::vector<PuntoGrafico> contorno;
    for (int t = 5; t <= 15; ++t)
        contorno.push_back({double(t), Diez(t) + 60.0, QString(), {}, false});
    for (int t = 15; t >= 5; --t)
        contorno.push_back({double(t), Diez(t) - 80.0, QString(), {}, false});
    SerieGrafico* banda =
        Serie(*g, "SerieIntervalo80", "Intervalo 80 %", TipoSerie::Banda, contorno, QColor(255, 0, 0, alfa));
    banda->PonerVisible(visible);
    Asentar(*g);
    QVERIFY(banda->SeriesQt().isEmpty()); // painted by the chart itself
    QCOMPARE(banda->count(), 22);
    if (visible)
        QVERIFY(g->MinimoY() <= -30.0);

    const QImage im = g->grab().toImage();
    // Blended on white: red stays, green and blue fall with the opacity.
    const int resto = 255 - alfa;
    const QColor mezcla(255, resto, resto);
    const QPoint dentro = EnVista(*g, datos, 10.0, 100.0 + 30.0);
    const QRect cerca(dentro - QPoint(2, 2), QSize(5, 5));
    if (visible)
        QVERIFY2(ContarColor(im, cerca, mezcla, 20) >= 20, qPrintable(im.pixelColor(dentro).name()));
    else
        QVERIFY2(ContarColor(im, cerca, Qt::white, 20) >= 20, qPrintable(im.pixelColor(dentro).name()));
    // The line stays on top.
    const QPoint linea = EnVista(*g, datos, 10.0, 100.0);
    QVERIFY(ContarColor(im, QRect(linea - QPoint(1, 1), QSize(3, 3)), Azul, 70) > 0);

    // The legend entry: a sample and the title, in opaque red.
    const QRectF r = g->RectEntradaLeyenda(banda);
    QVERIFY(!r.isEmpty());
    QVERIFY(ContarColor(im, r.toRect(), Rojo, 40) > 10);

    banda->PonerColor(QColor(0, 128, 0));
    QCOMPARE(banda->Color().alpha(), alfa);
    QCOMPARE(banda->Color().green(), 128);
}

QTEST_MAIN(TstGrafico)
#include "tst_grafico.moc"
