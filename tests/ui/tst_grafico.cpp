// SPDX-License-Identifier: GPL-3.0-or-later
// The chart component: legend checks, null points, bottom-axis labels, the
// point drag, zoom, marker line, bars, export, printing, editor and copies.
#include "Grafico.h"

#include <QApplication>
#include <QBarSet>
#include <QCheckBox>
#include <QChart>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <cmath>
#include <limits>
#include <map>
#include <memory>

using namespace tendora;

namespace {

const QColor Azul(0, 0, 255);
const QColor Rojo(255, 0, 0);
const QColor Lima(0, 255, 0);

QString Etiqueta(int t)
{
    return QStringLiteral("%1-%2").arg(2000 + (t - 1) / 12).arg((t - 1) % 12 + 1);
}

std::vector<PuntoGrafico> Puntos(int n, double (*f)(int), const QColor& color = Azul)
{
    std::vector<PuntoGrafico> v;
    for (int t = 1; t <= n; ++t)
        v.push_back(PuntoGrafico{double(t), f(t), Etiqueta(t), color, false});
    return v;
}

double Onda(int t)
{
    return 50.0 + 30.0 * std::sin(t / 3.0);
}

double Diez(int t)
{
    return 10.0 * t;
}

void Asentar(Grafico& g)
{
    g.ActualizarAhora();
    QCoreApplication::processEvents();
    // Axis items Qt removed wait for a deletion the test's event loop never reaches.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g.ActualizarAhora();
    QCoreApplication::processEvents();
}

// Where Qt Charts itself puts a value, in view coordinates.
QPoint EnVista(Grafico& g, SerieGrafico* s, double x, double y)
{
    QAbstractSeries* qs = s->SeriesQt().first();
    const QPointF c = g.chart()->mapToPosition(QPointF(x, y), qs);
    return g.mapFromScene(g.chart()->mapToScene(c));
}

std::unique_ptr<Grafico> NuevoGrafico(int ancho = 800, int alto = 500)
{
    auto g = std::make_unique<Grafico>();
    g->resize(ancho, alto);
    g->PonerZoomAnimado(false);
    g->show();
    if (!QTest::qWaitForWindowExposed(g.get()))
        qWarning("chart window not exposed");
    return g;
}

QStringList TextosEscena(Grafico& g)
{
    QStringList r;
    for (QGraphicsItem* it : g.scene()->items())
        if (auto* t = dynamic_cast<QGraphicsTextItem*>(it))
            if (t->isVisible())
                r << t->toPlainText();
    return r;
}

bool Parecido(const QColor& a, const QColor& b, int tol = 40)
{
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
           std::abs(a.blue() - b.blue()) <= tol;
}

int ContarColor(const QImage& im, const QRect& r, const QColor& c, int tol = 40)
{
    int n = 0;
    const QRect d = r & im.rect();
    for (int y = d.top(); y <= d.bottom(); ++y)
        for (int x = d.left(); x <= d.right(); ++x)
            if (Parecido(im.pixelColor(x, y), c, tol))
                ++n;
    return n;
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
    void arrastreVertical();
    void arrastreInactivoNoMueve();
    void pulsarSinMoverNoArrastra();
    void zoomYRestaurar();
    void zoomAnimadoLlegaAlDestino();
    void zoomSobreviveAlRedibujarElMismoTramo();
    void lineaVerticalDetrasDeLasSeries();
    void barrasColoresYEtiquetas_data();
    void barrasColoresYEtiquetas();
    void numerosDelEjeSegunRegion_data();
    void numerosDelEjeSegunRegion();
    void exportarBmp();
    void exportarBmpFalla();
    void exportarFormatos_data();
    void exportarFormatos();
    void imprimirRespetaMargenes();
    void imprimirIgualEnAltaResolucion();
    void vistaPreviaApaisada();
    void editorAplicaAlMomento_data();
    void editorAplicaAlMomento();
    void copiaComparativaCongelada();
    void muchasComparativas();
    void menuContextual();
};

void TstGrafico::init()
{
    QLocale::setDefault(QLocale::c());
}

void TstGrafico::leyendaConmutaSinPerderEntrada()
{
    auto g = NuevoGrafico();
    EstiloSerie e;
    e.color = Azul;
    SerieGrafico* datos =
        g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos, e);
    e.color = Rojo;
    SerieGrafico* prev =
        g->CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión"), TipoSerie::Linea, e);
    g->PonerPuntos(datos, Puntos(24, Onda));
    g->PonerPuntos(prev, Puntos(24, Diez, Rojo));
    Asentar(*g);
    QVERIFY(g->LeyendaMostrada());

    // The legend text is written in the series' colour.
    const QRectF r = g->RectEntradaLeyenda(prev);
    QVERIFY(!r.isEmpty());
    const QImage im = g->grab().toImage();
    QVERIFY(ContarColor(im, r.toRect(), Rojo, 60) > 10);

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
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SerieDesvPos"), QStringLiteral("Desv. +"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(10, Onda));
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
    QTest::newRow("sin nulos") << "....."
                               << "1,2,3,4,5";
    QTest::newRow("en medio") << "..n.."
                              << "1,2|4,5";
    QTest::newRow("al principio") << "n...."
                                  << "2,3,4,5";
    QTest::newRow("al final") << "....n"
                              << "1,2,3,4";
    QTest::newRow("dos seguidos") << "..nn.."
                                  << "1,2|5,6";
    QTest::newRow("alternos") << ".n.n."
                              << "1|3|5";
    QTest::newRow("todos") << "nnn"
                           << "";
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
    EstiloSerie e;
    e.color = Azul;
    e.ancho = 4;
    SerieGrafico* s = g->CrearSerie(QStringLiteral("S"), QString(), TipoSerie::Linea, e);
    SerieGrafico* fondo = g->CrearSerie(QStringLiteral("F"), QString(), TipoSerie::Linea);
    // A flat line at 10 with a hole at x = 3; a second series sets the y scale.
    std::vector<PuntoGrafico> v;
    for (int t = 1; t <= 5; ++t)
        v.push_back(PuntoGrafico{double(t), 10.0, Etiqueta(t), Azul, t == 3});
    g->PonerPuntos(s, v);
    g->PonerPuntos(fondo, {PuntoGrafico{1, 0, QString(), {}, false}, PuntoGrafico{5, 20, QString(), {}, false}});
    Asentar(*g);
    const QImage im = g->grab().toImage();
    const QPoint lleno = EnVista(*g, s, 1.5, 10.0);
    const QPoint hueco = EnVista(*g, s, 3.0, 10.0);
    QVERIFY(Parecido(im.pixelColor(lleno), Azul));
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
    unsigned semilla = 12345;
    double y = 0.0;
    for (int t = 1; t <= 20000; ++t) {
        semilla = semilla * 1103515245u + 12345u;
        y += double(int((semilla >> 16) % 201) - 100) / 10.0;
        v.push_back(PuntoGrafico{double(t), y, Etiqueta(t), {}, false});
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
        std::map<long long, std::pair<double, double>> extremos;
        for (const PuntoGrafico& p : v)
            if (p.x >= a && p.x <= b) {
                const long long c = (long long)std::floor((p.x - a) * columnas / (b - a));
                auto it = extremos.find(c);
                if (it == extremos.end())
                    extremos[c] = {p.y, p.y};
                else
                    it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
            }
        std::map<long long, std::pair<double, double>> vistos;
        for (const QPointF& q : qt)
            if (q.x() >= a && q.x() <= b) {
                const long long c = (long long)std::floor((q.x() - a) * columnas / (b - a));
                auto it = vistos.find(c);
                if (it == vistos.end())
                    vistos[c] = {q.y(), q.y()};
                else
                    it->second = {std::min(it->second.first, q.y()), std::max(it->second.second, q.y())};
            }
        QVERIFY2(vistos == extremos, caso);
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
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(puntos, Onda));
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
    // Qt writes "..." for a label it has no room for.
    for (const QString& t : TextosEscena(*g))
        QVERIFY2(!t.contains(QStringLiteral("...")) && !t.contains(QChar(0x2026)), qPrintable(t));
    // 24 labels on a wide chart all fit (about 60 px apart): none is left out.
    if (puntos == 24 && ancho == 1900)
        QCOMPARE(textos.size(), 24);
    if (puntos == 144 && ancho >= 1200)
        QVERIFY(textos.size() >= 144 / 6);
}

void TstGrafico::etiquetasSiguenAlRedimensionarYAmpliar()
{
    auto g = NuevoGrafico(1600, 500);
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(144, Onda));
    Asentar(*g);
    const int anchas = int(g->EtiquetasEjeX().size());
    g->resize(400, 500);
    Asentar(*g);
    const int estrechas = int(g->EtiquetasEjeX().size());
    QVERIFY(estrechas < anchas);
    QVERIFY(estrechas > 0);
    // Zooming into two years leaves room for more labels in that stretch.
    const QPoint a = EnVista(*g, s, 1, 80), b = EnVista(*g, s, 24, 20);
    g->Ampliar(QRectF(a, b));
    Asentar(*g);
    const QList<double> xs = g->PosicionesEtiquetasX();
    QVERIFY(!xs.isEmpty());
    for (double x : xs)
        QVERIFY(x >= g->MinimoX() && x <= g->MaximoX());
    QVERIFY(xs.size() > estrechas * 24 / 144);
    for (const QString& t : TextosEscena(*g))
        QVERIFY2(!t.contains(QStringLiteral("...")), qPrintable(t));
}

void TstGrafico::coloresPropiosEnMarcas()
{
    auto g = NuevoGrafico();
    EstiloSerie e;
    e.color = Azul;
    e.forma = FormaMarca::Cuadrado;
    e.tamanoMarca = 9;
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos, e);
    auto v = Puntos(12, Diez);
    v[3].color = Lima; // the one point with a colour of its own
    g->PonerPuntos(s, v);
    Asentar(*g);
    QVERIFY(s->ColorPropio(3));
    QVERIFY(!s->ColorPropio(2)); // blue is the series colour: no colour of its own
    const QImage im = g->grab().toImage();
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 4, 40) + QPoint(2, 2)), Lima));
    QVERIFY(Parecido(im.pixelColor(EnVista(*g, s, 3, 30) + QPoint(2, 2)), Qt::white));
}

void TstGrafico::arrastreVertical()
{
    auto g = NuevoGrafico();
    EstiloSerie e;
    e.color = Azul;
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos, e);
    g->PonerPuntos(s, Puntos(10, Diez));
    g->PonerSerieArrastre(s);
    g->ActivarArrastre(true);
    Asentar(*g);
    const double x0 = g->MinimoX(), x1 = g->MaximoX(), y0 = g->MinimoY(), y1 = g->MaximoY();

    QStringList orden;
    QSignalSpy inicio(g.get(), &Grafico::arrastreIniciado);
    QSignalSpy mueve(g.get(), &Grafico::puntoArrastrado);
    QSignalSpy fin(g.get(), &Grafico::arrastreTerminado);
    connect(g.get(), &Grafico::arrastreTerminado, this, [&orden] { orden << QStringLiteral("fin"); });
    connect(g.get(), &Grafico::ratonSoltado, this, [&orden](Qt::MouseButton b) {
        orden << (b == Qt::LeftButton ? QStringLiteral("soltado") : QStringLiteral("otro"));
    });

    // The hand shows over a point, not beside it.
    const QPoint sobre = EnVista(*g, s, 3, 30);
    QTest::mouseMove(g->viewport(), sobre);
    QCOMPARE(g->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(g->viewport(), sobre + QPoint(40, -60));
    QVERIFY(g->viewport()->cursor().shape() != Qt::PointingHandCursor);

    // Press on point 3 (index 2), drag up to where y = 55 and to the right.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, sobre);
    QVERIFY(g->Arrastrando());
    const QPoint destino = EnVista(*g, s, 6, 55);
    QTest::mouseMove(g->viewport(), (sobre + destino) / 2);
    QTest::mouseMove(g->viewport(), destino);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, destino);

    QCOMPARE(inicio.count(), 1);
    QCOMPARE(inicio.at(0).at(0).toInt(), 2);
    QCOMPARE(mueve.count(), 2);
    QCOMPARE(mueve.last().at(0).toInt(), 2);
    // One pixel of the plot is (y1 - y0) / height in y: the value under the mouse is 55 within that.
    const double porPixel = (y1 - y0) / g->chart()->plotArea().height();
    QVERIFY(std::fabs(mueve.last().at(1).toDouble() - 55.0) <= 1.5 * porPixel);
    QCOMPARE(fin.count(), 1);
    QCOMPARE(fin.at(0).at(1).toDouble(), s->Puntos()[2].y);
    QCOMPARE(orden, QStringList({QStringLiteral("fin"), QStringLiteral("soltado")}));
    // Only y moved, only that point, and no zoom started under the drag.
    QCOMPARE(s->Puntos()[2].x, 3.0);
    QCOMPARE(s->Puntos()[1].y, 20.0);
    QCOMPARE(s->Puntos()[3].y, 40.0);
    auto* l = qobject_cast<QLineSeries*>(s->SeriesQt().first());
    QCOMPARE(l->at(2).y(), s->Puntos()[2].y);
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
    QCOMPARE(g->MaximoX(), x1);
    Q_UNUSED(y1);
}

void TstGrafico::arrastreInactivoNoMueve()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
    g->PonerPuntos(s, Puntos(10, Diez));
    g->PonerSerieArrastre(s);
    Asentar(*g);
    QSignalSpy mueve(g.get(), &Grafico::puntoArrastrado);
    QSignalSpy soltado(g.get(), &Grafico::ratonSoltado);
    const QPoint sobre = EnVista(*g, s, 3, 30);
    QTest::mouseMove(g->viewport(), sobre);
    QVERIFY(g->viewport()->cursor().shape() != Qt::PointingHandCursor);
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, sobre);
    QVERIFY(!g->Arrastrando());
    QTest::mouseMove(g->viewport(), sobre + QPoint(0, -80));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -80));
    QCOMPARE(mueve.count(), 0);
    QCOMPARE(soltado.count(), 1);
    QCOMPARE(s->Puntos()[2].y, 30.0);
    // Switched off again after being on: still nothing moves.
    g->ActivarArrastre(true);
    g->ActivarArrastre(false);
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, sobre);
    QTest::mouseMove(g->viewport(), sobre + QPoint(0, -80));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -80));
    QCOMPARE(mueve.count(), 0);
    QCOMPARE(s->Puntos()[2].y, 30.0);
}

void TstGrafico::pulsarSinMoverNoArrastra()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
    g->PonerPuntos(s, Puntos(10, Diez));
    g->PonerSerieArrastre(s);
    g->ActivarArrastre(true);
    Asentar(*g);
    QSignalSpy inicio(g.get(), &Grafico::arrastreIniciado);
    QSignalSpy mueve(g.get(), &Grafico::puntoArrastrado);
    QSignalSpy fin(g.get(), &Grafico::arrastreTerminado);
    QSignalSpy soltado(g.get(), &Grafico::ratonSoltado);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, EnVista(*g, s, 5, 50));
    // A click on an empty spot of the plot.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, EnVista(*g, s, 5, 90));
    QCOMPARE(inicio.count() + mueve.count() + fin.count(), 0);
    QCOMPARE(soltado.count(), 2);
    QCOMPARE(s->Puntos()[4].y, 50.0);
}

void TstGrafico::zoomYRestaurar()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(100, Onda));
    Asentar(*g);
    const double x0 = g->MinimoX(), x1 = g->MaximoX(), y0 = g->MinimoY(), y1 = g->MaximoY();

    // A rectangle from (20, 70) to (40, 30) in values.
    const QPoint a = EnVista(*g, s, 20, 70), b = EnVista(*g, s, 40, 30);
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, a);
    QTest::mouseMove(g->viewport(), (a + b) / 2);
    QTest::mouseMove(g->viewport(), b);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, b);
    QVERIFY(g->Ampliado());
    const double unPixel = (x1 - x0) / g->chart()->plotArea().width();
    QVERIFY(std::fabs(g->MinimoX() - 20.0) <= 2 * unPixel);
    QVERIFY(std::fabs(g->MaximoX() - 40.0) <= 2 * unPixel);
    QVERIFY(g->MinimoY() > 25.0 && g->MaximoY() < 75.0);

    // Dragging leftwards shows the whole chart again.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, b);
    QTest::mouseMove(g->viewport(), a);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, a);
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
    QCOMPARE(g->MaximoX(), x1);
    QCOMPARE(g->MinimoY(), y0);
    QCOMPARE(g->MaximoY(), y1);

    // So does a double click, and the slot.
    g->Ampliar(QRectF(a, b));
    QVERIFY(g->Ampliado());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, (a + b) / 2);
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
    g->Ampliar(QRectF(a, b));
    g->RestaurarZoom();
    QCOMPARE(g->MaximoX(), x1);

    // A chart without zoom ignores the rectangle.
    g->PonerZoomPermitido(false);
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, a);
    QTest::mouseMove(g->viewport(), b);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, b);
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
}

void TstGrafico::zoomAnimadoLlegaAlDestino()
{
    auto g = NuevoGrafico();
    g->PonerZoomAnimado(true);
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(100, Onda));
    Asentar(*g);
    const double unPixel = (g->MaximoX() - g->MinimoX()) / g->chart()->plotArea().width();
    g->Ampliar(QRectF(EnVista(*g, s, 20, 70), EnVista(*g, s, 40, 30)));
    QVERIFY(g->Ampliado());
    QTRY_VERIFY(std::fabs(g->MinimoX() - 20.0) <= 2 * unPixel && std::fabs(g->MaximoX() - 40.0) <= 2 * unPixel);
}

void TstGrafico::zoomSobreviveAlRedibujarElMismoTramo()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(100, Onda));
    Asentar(*g);
    const double x1 = g->MaximoX();
    g->Ampliar(QRectF(EnVista(*g, s, 20, 70), EnVista(*g, s, 40, 30)));
    const double zx0 = g->MinimoX(), zx1 = g->MaximoX();
    // The same x values with other y (a dragged point reloaded): the zoom stays.
    auto v = Puntos(100, Onda);
    v[30].y = 95.0;
    g->PonerPuntos(s, v);
    Asentar(*g);
    QVERIFY(g->Ampliado());
    QCOMPARE(g->MinimoX(), zx0);
    QCOMPARE(g->MaximoX(), zx1);
    // Other data: the whole chart again.
    g->PonerPuntos(s, Puntos(50, Onda));
    Asentar(*g);
    QVERIFY(!g->Ampliado());
    QVERIFY(g->MaximoX() < x1);
    QVERIFY(g->MaximoX() >= 50.0);
}

void TstGrafico::lineaVerticalDetrasDeLasSeries()
{
    auto g = NuevoGrafico();
    EstiloSerie e;
    e.color = Azul;
    e.ancho = 3;
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea, e);
    // Flat at 50 from x = 1 to 20, the scale set by 0 and 100 of a hidden-from-legend helper.
    std::vector<PuntoGrafico> v;
    for (int t = 1; t <= 20; ++t)
        v.push_back(PuntoGrafico{double(t), 50.0, Etiqueta(t), Azul, false});
    g->PonerPuntos(s, v);
    SerieGrafico* escala = g->CrearSerie(QStringLiteral("E"), QString(), TipoSerie::Linea);
    g->PonerPuntos(escala, {PuntoGrafico{1, 0, QString(), {}, false}, PuntoGrafico{20, 100, QString(), {}, false}});
    g->PonerLineaVertical(12.5);
    Asentar(*g);
    QVERIFY(g->LineaVerticalActiva());
    QCOMPARE(g->LineaVerticalX(), 12.5);
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
    const QImage sin = g->grab().toImage();
    QCOMPARE(ContarColor(sin, QRect(arriba.x() - 1, arriba.y(), 3, 1), Lima, 30), 0);
}

void TstGrafico::barrasColoresYEtiquetas_data()
{
    // Bar values written with four significant digits: 1.15 and 0.85 by hand.
    QTest::addColumn<QLocale>("region");
    QTest::addColumn<QString>("alta");
    QTest::addColumn<QString>("baja");
    QTest::newRow("es") << QLocale(QLocale::Spanish, QLocale::Spain) << QStringLiteral("1,15")
                        << QStringLiteral("0,85");
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
    const QPointF c = g->chart()->mapToPosition(QPointF(2, 0.6), barras);
    QVERIFY(Parecido(im.pixelColor(g->mapFromScene(g->chart()->mapToScene(c))), alto, 10));
    const QPointF d = g->chart()->mapToPosition(QPointF(0, 0.4), barras);
    QVERIFY(Parecido(im.pixelColor(g->mapFromScene(g->chart()->mapToScene(d))), bajo, 10));
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
    QTest::newRow("es") << QLocale(QLocale::Spanish, QLocale::Spain) << QStringLiteral("0,5");
    QTest::newRow("C") << QLocale::c() << QStringLiteral("0.5");
}

void TstGrafico::numerosDelEjeSegunRegion()
{
    QFETCH(QLocale, region);
    QFETCH(QString, medio);
    QLocale::setDefault(region);
    auto g = NuevoGrafico();
    SerieGrafico* s = g->CrearSerie(QStringLiteral("S"), QStringLiteral("S"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(10, Diez));
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

void TstGrafico::exportarBmp()
{
    auto g = NuevoGrafico(640, 400);
    g->PonerTitulo(QStringLiteral("Previsión"));
    EstiloSerie e;
    e.color = Azul;
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea, e);
    g->PonerPuntos(s, Puntos(30, Onda));
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("grafico.bmp"));
    g->ExportarBMP(f);
    QImage im;
    QVERIFY(im.load(f, "BMP"));
    QCOMPARE(im.size(), g->size());
    // The maroon title and the blue line are both in the picture.
    QVERIFY(ContarColor(im, QRect(0, 0, im.width(), 50), QColor(128, 0, 0), 30) > 20);
    QVERIFY(ContarColor(im, im.rect(), Azul, 30) > 100);
}

void TstGrafico::exportarBmpFalla()
{
    auto g = NuevoGrafico(300, 200);
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, g->ExportarBMP(dir.filePath(QStringLiteral("no/existe/grafico.bmp"))));
}

void TstGrafico::exportarFormatos_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QByteArray>("inicio");
    QTest::newRow("png") << "g.png" << QByteArray("\x89PNG");
    QTest::newRow("PNG en mayúsculas") << "g.PNG" << QByteArray("\x89PNG");
    QTest::newRow("svg") << "g.svg" << QByteArray("<?xml");
    QTest::newRow("pdf") << "g.pdf" << QByteArray("%PDF-");
    QTest::newRow("otra extensión: bmp") << "g.dat" << QByteArray("BM");
}

void TstGrafico::exportarFormatos()
{
    QFETCH(QString, nombre);
    QFETCH(QByteArray, inicio);
    auto g = NuevoGrafico(640, 400);
    g->PonerTitulo(QStringLiteral("Previsión"));
    EstiloSerie e;
    e.color = Azul;
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea, e);
    g->PonerPuntos(s, Puntos(30, Onda));
    QTemporaryDir dir;
    const QString f = dir.filePath(nombre);
    g->Exportar(f);
    QFile leido(f);
    QVERIFY(leido.open(QIODevice::ReadOnly));
    const QByteArray bytes = leido.readAll();
    QVERIFY(bytes.startsWith(inicio));
    if (nombre.endsWith(QLatin1String(".svg"))) {
        // Vectors: the title and the legend are text, the series lines.
        QVERIFY(bytes.contains(QStringLiteral("Previsión").toUtf8()));
        QVERIFY(bytes.contains(">Datos<"));
        QVERIFY(bytes.contains("<polyline"));
    } else if (nombre.endsWith(QLatin1String(".pdf"))) {
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    } else {
        QImage im;
        QVERIFY(im.loadFromData(bytes));
        QCOMPARE(im.size(), g->size());
        QVERIFY(ContarColor(im, im.rect(), Azul, 30) > 100);
    }
}

void TstGrafico::imprimirRespetaMargenes()
{
    auto g = NuevoGrafico(800, 500);
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(30, Onda));
    g->PonerMargenesImpresion(QMarginsF(15, 22, 15, 22));
    // A landscape sheet in grey: the chart's white background shows where it was drawn.
    QImage hoja(1100, 850, QImage::Format_RGB32);
    const QColor gris(100, 100, 100);
    hoja.fill(gris);
    {
        QPainter p(&hoja);
        g->PintarPagina(&p, QRectF(0, 0, 1100, 850));
    }
    int x0 = hoja.width(), x1 = -1, y0 = hoja.height(), y1 = -1;
    for (int y = 0; y < hoja.height(); ++y)
        for (int x = 0; x < hoja.width(); ++x)
            if (hoja.pixelColor(x, y) != gris) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    // Margin box by hand: 165..935 across, 187..663 down.
    QVERIFY(x1 >= 0);
    QVERIFY2(x0 >= 164 && x1 <= 935 && y0 >= 186 && y1 <= 664,
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(x0).arg(x1).arg(y0).arg(y1)));
    // The chart keeps its shape and fills the box in one direction.
    QVERIFY2((x0 <= 167 && x1 >= 932) || (y0 <= 189 && y1 >= 660),
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(x0).arg(x1).arg(y0).arg(y1)));
}

void TstGrafico::imprimirIgualEnAltaResolucion()
{
    auto g = NuevoGrafico(800, 500);
    g->PonerTitulo(QStringLiteral("Previsión"));
    SerieGrafico* a = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
    SerieGrafico* b =
        g->CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión acumulada"), TipoSerie::Linea);
    g->PonerPuntos(a, Puntos(30, Onda));
    g->PonerPuntos(b, Puntos(30, Diez));
    // The same sheet as a screen (96 dpi) and as a printer (600 dpi) sees it:
    // texts sized in points would come out six times larger on the second.
    auto hoja = [&](int dpi) {
        QImage im(1100, 850, QImage::Format_RGB32);
        im.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        im.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
        im.fill(Qt::white);
        QPainter p(&im);
        g->PintarPagina(&p, QRectF(0, 0, 1100, 850));
        return im;
    };
    const QImage pantalla = hoja(96), impresora = hoja(600);
    const QRect leyenda = g->RectEntradaLeyenda(b).toRect();
    QVERIFY(!leyenda.isEmpty());
    int distintos = 0;
    for (int y = 0; y < pantalla.height(); ++y)
        for (int x = 0; x < pantalla.width(); ++x)
            if (!Parecido(pantalla.pixelColor(x, y), impresora.pixelColor(x, y), 80))
                ++distintos;
    // Text in points differs here by some 1800 pixels; drawn in pixels, by none.
    QVERIFY2(distintos < 50, qPrintable(QString::number(distintos)));
}

void TstGrafico::vistaPreviaApaisada()
{
    auto g = NuevoGrafico(600, 400);
    SerieGrafico* s = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::Linea);
    g->PonerPuntos(s, Puntos(30, Onda));
    int paginas = -1;
    bool apaisada = false;
    QTimer::singleShot(0, this, [&] {
        auto* d = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        if (auto* w = d->findChild<QPrintPreviewWidget*>()) {
            paginas = w->pageCount();
            apaisada = w->orientation() == QPageLayout::Landscape;
        }
        d->reject();
    });
    g->VistaPreviaImpresion(nullptr);
    QCOMPARE(paginas, 1);
    QVERIFY(apaisada);
}

void TstGrafico::editorAplicaAlMomento_data()
{
    QTest::addColumn<QLocale>("region");
    QTest::addColumn<QString>("maximoMostrado");
    QTest::addColumn<QString>("minimoEscrito");
    QTest::newRow("es") << QLocale(QLocale::Spanish, QLocale::Spain) << QStringLiteral("99,5") << QStringLiteral("2,5");
    QTest::newRow("C") << QLocale::c() << QStringLiteral("99.5") << QStringLiteral("2.5");
}

void TstGrafico::editorAplicaAlMomento()
{
    QFETCH(QLocale, region);
    QFETCH(QString, maximoMostrado);
    QFETCH(QString, minimoEscrito);
    QLocale::setDefault(region);
    auto g = NuevoGrafico();
    g->PonerTitulo(QStringLiteral("Previsión"));
    SerieGrafico* a = g->CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión"), TipoSerie::Linea);
    SerieGrafico* b = g->CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
    g->PonerPuntos(a, Puntos(20, Onda));
    g->PonerPuntos(b, Puntos(20, Onda));
    g->PonerRangoEjeY(0.5, 99.5);
    Asentar(*g);

    QStringList fallos;
    auto comprobar = [&fallos](bool ok, const char* que) {
        if (!ok)
            fallos << QString::fromUtf8(que);
    };
    const QColor nuevo(10, 120, 30);
    QTimer::singleShot(0, this, [&] {
        QWidget* d = QApplication::activeModalWidget();
        comprobar(d && d->objectName() == QLatin1String("EditorGrafico"), "editor no modal");
        if (!d)
            return;
        auto* titulo = d->findChild<QLineEdit*>(QStringLiteral("ETituloGrafico"));
        titulo->selectAll();
        QTest::keyClicks(titulo, QStringLiteral("Otro titulo"));
        comprobar(g->Titulo() == QLatin1String("Otro titulo"), "titulo");

        auto* leyenda = d->findChild<QCheckBox*>(QStringLiteral("CBLeyenda"));
        leyenda->click();
        comprobar(!g->LeyendaVisible() && !g->LeyendaMostrada(), "leyenda");

        auto* lista = d->findChild<QListWidget*>(QStringLiteral("LBSeries"));
        lista->item(0)->setCheckState(Qt::Unchecked);
        comprobar(!a->isVisible() && b->isVisible(), "visibilidad");

        lista->setCurrentRow(1);
        d->findChild<QSpinBox*>(QStringLiteral("SEGrosor"))->setValue(5);
        comprobar(b->Ancho() == 5.0, "grosor");
        auto* l = qobject_cast<QLineSeries*>(b->SeriesQt().first());
        comprobar(l->pen().widthF() == 5.0, "grosor en Qt");

        QTimer::singleShot(0, this, [&] {
            if (auto* c = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
                c->setCurrentColor(nuevo);
                c->accept();
            }
        });
        d->findChild<QPushButton*>(QStringLiteral("BColorSerie"))->click();
        comprobar(b->Color() == nuevo, "color");
        comprobar(l->pen().color() == nuevo, "color en Qt");

        auto* ejeY = d->findChild<QLineEdit*>(QStringLiteral("ETituloEjeY"));
        QTest::keyClicks(ejeY, QStringLiteral("Ventas"));
        comprobar(g->TituloEjeY() == QLatin1String("Ventas"), "titulo del eje");

        auto* minimo = d->findChild<QLineEdit*>(QStringLiteral("EMinimoY"));
        auto* maximo = d->findChild<QLineEdit*>(QStringLiteral("EMaximoY"));
        comprobar(maximo->text() == maximoMostrado, "maximo mostrado");
        comprobar(minimo->isEnabled(), "rango fijo editable");
        minimo->selectAll();
        QTest::keyClicks(minimo, minimoEscrito);
        comprobar(g->MinimoY() == 2.5 && g->MaximoY() == 99.5, "minimo escrito");
        minimo->selectAll();
        QTest::keyClicks(minimo, QStringLiteral("abc"));
        comprobar(g->MinimoY() == 2.5, "texto no numerico ignorado");

        auto* autoX = d->findChild<QCheckBox*>(QStringLiteral("CBAutoX"));
        comprobar(autoX->isChecked(), "x automatico");
        d->findChild<QPushButton*>(QStringLiteral("BCerrar"))->click();
    });
    g->EditarGrafico(nullptr);
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(QStringLiteral(", "))));
    QVERIFY(!QApplication::activeModalWidget());
    // A fixed range survives the next filling.
    g->PonerPuntos(b, Puntos(40, Diez));
    Asentar(*g);
    QCOMPARE(g->MinimoY(), 2.5);
    QVERIFY(!g->EjeYAutomatico());
}

void TstGrafico::copiaComparativaCongelada()
{
    auto g = NuevoGrafico();
    EstiloSerie e;
    e.color = Rojo;
    SerieGrafico* datos =
        g->CrearSerie(QStringLiteral("SeriesDatosComp"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
    SerieGrafico* prev =
        g->CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión"), TipoSerie::LineaPuntos, e);
    g->PonerPuntos(datos, Puntos(24, Onda));
    auto v = Puntos(24, Diez, Rojo);
    v[5].color = Lima;
    v[7].nulo = true;
    g->PonerPuntos(prev, v);

    const QColor navy(0, 0, 128);
    SerieGrafico* copia = g->CopiarSerie(prev, QStringLiteral("Comp1"), QStringLiteral("P HLT (0,5;0,1)"), navy);
    QCOMPARE(g->NumSeries(), 3);
    QCOMPARE(g->Posicion(copia), 2);
    QCOMPARE(copia->objectName(), QStringLiteral("Comp1"));
    QCOMPARE(copia->name(), QStringLiteral("P HLT (0,5;0,1)"));
    QCOMPARE(copia->Color(), navy);
    QVERIFY(!copia->Marcas());
    QCOMPARE(copia->count(), 24);
    for (size_t i = 0; i < v.size(); ++i) {
        QCOMPARE(copia->Puntos()[i].x, v[i].x);
        QCOMPARE(copia->Puntos()[i].y, v[i].y);
        QCOMPARE(copia->Puntos()[i].etiqueta, v[i].etiqueta);
        QCOMPARE(copia->Puntos()[i].color, v[i].color);
        QCOMPARE(copia->Puntos()[i].nulo, v[i].nulo);
    }
    QCOMPARE(copia->NumSegmentos(), 2);
    // Frozen: redrawing the original leaves the copy as it was.
    g->PonerPuntos(prev, Puntos(5, Onda));
    QCOMPARE(copia->count(), 24);
    QCOMPARE(copia->Puntos()[3].y, 40.0);

    // Hiding the fitted stretch (first 12 points) and showing it again in the series colour.
    g->PonerNulos(copia, 0, 11, true);
    g->ActualizarAhora();
    QCOMPARE(copia->NumSegmentos(), 1);
    QCOMPARE(qobject_cast<QLineSeries*>(copia->SeriesQt().first())->at(0).x(), 13.0);
    g->PonerNulos(copia, 0, 11, false);
    QCOMPARE(copia->NumSegmentos(), 1);
    QVERIFY(!copia->Puntos()[7].nulo);
    QCOMPARE(copia->Puntos()[5].color, navy);
    QVERIFY(!copia->ColorPropio(5));

    g->EliminarSeriesDesde(1);
    QCOMPARE(g->NumSeries(), 1);
    QCOMPARE(g->SerieEn(0), datos);
    QCOMPARE(g->chart()->series().size(), datos->SeriesQt().size());
    QVERIFY(!g->Serie(QStringLiteral("Comp1")));
}

void TstGrafico::muchasComparativas()
{
    auto g = NuevoGrafico(1000, 600);
    SerieGrafico* datos =
        g->CrearSerie(QStringLiteral("SeriesDatosComp"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
    SerieGrafico* prev =
        g->CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión"), TipoSerie::LineaPuntos);
    g->PonerPuntos(datos, Puntos(144, Onda));
    g->PonerPuntos(prev, Puntos(150, Onda, Rojo));
    Asentar(*g);
    QVERIFY(g->LeyendaMostrada());
    QElapsedTimer reloj;
    reloj.start();
    for (int i = 0; i < 200; ++i)
        g->CopiarSerie(prev, QStringLiteral("C%1").arg(i), QStringLiteral("P MMS (%1)").arg(i), QColor(i, 0, 255 - i));
    Asentar(*g);
    // Generous bound for a debug build under sanitizers; the benchmark measures it properly.
    QVERIFY2(reloj.elapsed() < 5000, qPrintable(QString::number(reloj.elapsed())));
    QCOMPARE(g->NumSeries(), 202);
    // 202 entries do not fit beside the plot: the legend is left out, the choice kept.
    QVERIFY(g->LeyendaVisible());
    QVERIFY(!g->LeyendaMostrada());
    g->EliminarSeriesDesde(1);
    Asentar(*g);
    QVERIFY(g->LeyendaMostrada());
}

void TstGrafico::menuContextual()
{
    auto g = NuevoGrafico();
    QMenu menu;
    menu.addAction(QStringLiteral("Exportar"));
    g->PonerMenu(&menu);
    QSignalSpy pedido(g.get(), &Grafico::menuSolicitado);
    const QPoint p(100, 100);
    QContextMenuEvent ev(QContextMenuEvent::Mouse, p, g->viewport()->mapToGlobal(p));
    QApplication::sendEvent(g->viewport(), &ev);
    QCOMPARE(pedido.count(), 1);
    QCOMPARE(pedido.at(0).at(0).value<Grafico*>(), g.get());
    QTRY_VERIFY(menu.isVisible());
    menu.close();
}

QTEST_MAIN(TstGrafico)
#include "tst_grafico.moc"
