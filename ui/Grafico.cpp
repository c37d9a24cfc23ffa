#include "Grafico.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QRubberBand>
#include <QSet>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace tendora {

namespace {

// Qt Charts puts the grid at z 2, the axes at 3 and the lines at 4.
constexpr qreal ZLinea = 3.5;
constexpr qreal ZMarcas = 4.5;
constexpr qreal ZLeyenda = 10.0;

const QColor Granate(128, 0, 0);

const QColor PaletaAutomatica[] = {
    QColor(0, 128, 0),   QColor(255, 128, 0), QColor(128, 0, 128), QColor(0, 128, 128),
    QColor(128, 128, 0), QColor(0, 0, 128),   QColor(192, 0, 64),  QColor(64, 64, 64),
};

// A round step (1, 2, 2.5 or 5 times a power of ten) dividing span into about n parts.
double PasoRedondo(double span, int n)
{
    if (!(span > 0.0) || n < 1)
        return 1.0;
    const double bruto = span / n;
    const double magnitud = std::pow(10.0, std::floor(std::log10(bruto)));
    const double f = bruto / magnitud;
    const double redondo = f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 2.5 ? 2.5 : f <= 5.0 ? 5.0 : 10.0;
    return redondo * magnitud;
}

// Decimals needed to write every multiple of paso.
int Decimales(double paso)
{
    for (int d = 0; d < 10; ++d) {
        const double m = paso * std::pow(10.0, d);
        if (std::fabs(m - std::round(m)) < 1e-6)
            return d;
    }
    return 10;
}

// Next label step: every 1, 2, 3, 4 or 6 points, then whole years of months.
int SiguientePaso(int paso)
{
    static const int pasos[] = {1, 2, 3, 4, 6, 12, 24, 36, 48, 60, 120, 240, 360, 480, 600, 1200};
    for (int p : pasos)
        if (p > paso)
            return p;
    return paso * 2;
}

// Axis and bar numbers: the regional decimal mark, never a thousands separator.
QLocale LocaleGrafico()
{
    QLocale l;
    l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
    return l;
}

bool MismoColor(const QColor& a, const QColor& b)
{
    return a.isValid() && b.isValid() && a.rgba() == b.rgba();
}

} // namespace

// ---------------------------------------------------------------------------
// Markers of every series, drawn in one pass over the plot area.
class CapaMarcas : public QGraphicsItem {
public:
    CapaMarcas(Grafico* grafico, QGraphicsItem* padre) : QGraphicsItem(padre), m_grafico(grafico)
    {
        setZValue(ZMarcas);
        setAcceptedMouseButtons(Qt::NoButton);
    }
    QRectF boundingRect() const override { return m_rect; }
    void PonerRect(const QRectF& r)
    {
        if (r != m_rect) {
            prepareGeometryChange();
            m_rect = r;
        }
        update();
    }
    void paint(QPainter* pintor, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const Grafico& g = *m_grafico;
        if (g.m_barras || !g.m_ejeX || m_rect.isEmpty())
            return;
        const double a = g.m_ejeX->min(), b = g.m_ejeX->max();
        pintor->save();
        pintor->setClipRect(m_rect);
        for (const SerieGrafico* s : g.m_series) {
            if (!s->m_visible || !s->m_marcas)
                continue;
            const auto& pts = s->m_puntos;
            // Markers closer than two pixels only thicken the line into a band.
            int enVista = 0;
            for (const PuntoGrafico& p : pts)
                if (!p.nulo && p.x >= a && p.x <= b)
                    ++enVista;
            if (enVista == 0 || enVista > m_rect.width() / 2.0)
                continue;
            const qreal t = s->m_estilo.tamanoMarca;
            QPen pluma(s->m_estilo.color, 1.0);
            pluma.setCosmetic(true);
            pintor->setPen(pluma);
            const QBrush relleno(s->m_estilo.rellenoMarca);
            for (size_t i = 0; i < pts.size(); ++i) {
                const PuntoGrafico& p = pts[i];
                if (p.nulo || p.x < a || p.x > b)
                    continue;
                const QPointF c = g.APosicion(p.x, p.y);
                const QRectF r(c.x() - t / 2.0, c.y() - t / 2.0, t, t);
                pintor->setBrush(s->m_propio[i] ? QBrush(p.color) : relleno);
                if (s->m_estilo.forma == FormaMarca::Circulo)
                    pintor->drawEllipse(r);
                else
                    pintor->drawRect(r);
            }
        }
        pintor->restore();
    }

private:
    Grafico* m_grafico;
    QRectF m_rect;
};

// ---------------------------------------------------------------------------
// The legend: a check box, a sample of the line and the title in the series' colour.
class CapaLeyenda : public QGraphicsItem {
public:
    CapaLeyenda(Grafico* grafico, QGraphicsItem* padre) : QGraphicsItem(padre), m_grafico(grafico)
    {
        setZValue(ZLeyenda);
        setAcceptedMouseButtons(Qt::NoButton);
    }
    QRectF boundingRect() const override { return m_rect; }
    void PonerRect(const QRectF& r)
    {
        if (r != m_rect) {
            prepareGeometryChange();
            m_rect = r;
        }
        update();
    }
    void paint(QPainter* pintor, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const Grafico& g = *m_grafico;
        if (!g.m_leyendaCabe)
            return;
        pintor->save();
        pintor->setFont(g.FuenteLeyenda());
        for (const auto& e : g.m_entradas) {
            const SerieGrafico* s = e.serie;
            if (!s)
                continue;
            const QColor color = s->m_estilo.color;
            const qreal cy = e.rect.center().y();
            // Check box.
            const QRectF caja(e.rect.left() + 2.0, cy - 5.5, 11.0, 11.0);
            pintor->setPen(QPen(QColor(96, 96, 96), 1.0));
            pintor->setBrush(Qt::white);
            pintor->drawRect(caja);
            if (s->m_visible) {
                QPen marca(Qt::black, 1.6);
                marca.setCapStyle(Qt::RoundCap);
                marca.setJoinStyle(Qt::RoundJoin);
                pintor->setPen(marca);
                const QPointF v[3] = {QPointF(caja.left() + 2.5, cy), QPointF(caja.left() + 4.5, caja.bottom() - 2.5),
                                      QPointF(caja.right() - 2.0, caja.top() + 2.0)};
                pintor->drawPolyline(v, 3);
            }
            // Sample of the line, or of the bar.
            const qreal x0 = caja.right() + 4.0;
            if (s->m_tipo == TipoSerie::Barras) {
                pintor->setPen(Qt::NoPen);
                pintor->setBrush(color);
                pintor->drawRect(QRectF(x0 + 3.0, cy - 5.0, 12.0, 10.0));
            } else {
                QPen linea(color, std::min<qreal>(s->m_estilo.ancho, 3.0), s->m_estilo.trazo);
                pintor->setPen(linea);
                pintor->drawLine(QPointF(x0, cy), QPointF(x0 + 18.0, cy));
                if (s->m_marcas) {
                    pintor->setPen(QPen(color, 1.0));
                    pintor->setBrush(s->m_estilo.rellenoMarca);
                    const QRectF r(x0 + 9.0 - 3.5, cy - 3.5, 7.0, 7.0);
                    if (s->m_estilo.forma == FormaMarca::Circulo)
                        pintor->drawEllipse(r);
                    else
                        pintor->drawRect(r);
                }
            }
            // Title.
            pintor->setPen(color);
            const QRectF texto(x0 + 22.0, e.rect.top(), e.rect.right() - x0 - 22.0, e.rect.height());
            pintor->drawText(texto, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, s->m_titulo);
        }
        pintor->restore();
    }

private:
    Grafico* m_grafico;
    QRectF m_rect;
};

// ---------------------------------------------------------------------------
SerieGrafico::SerieGrafico(Grafico* grafico, TipoSerie tipo, const EstiloSerie& estilo)
    : QObject(grafico), m_grafico(grafico), m_tipo(tipo), m_estilo(estilo)
{
}

void SerieGrafico::setName(const QString& titulo)
{
    if (titulo == m_titulo)
        return;
    m_titulo = titulo;
    for (QLineSeries* l : m_segmentos)
        l->setName(titulo);
    if (m_barras)
        m_barras->setName(titulo);
    m_grafico->SerieCambiada(false);
}

void SerieGrafico::PonerVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    for (QLineSeries* l : m_segmentos)
        l->setVisible(visible);
    if (m_barras)
        m_barras->setVisible(visible);
    if (!visible && m_grafico->m_serieArrastre == this)
        m_grafico->m_indiceArrastre = -1;
    m_grafico->SerieCambiada(false);
}

void SerieGrafico::PonerColor(const QColor& color)
{
    if (!color.isValid())
        return;
    m_estilo.color = color;
    if (m_tipo == TipoSerie::Barras) {
        // A colour for the series paints every bar in it, until the next filling.
        for (PuntoGrafico& p : m_puntos)
            p.color = color;
        std::fill(m_propio.begin(), m_propio.end(), false);
        m_grafico->ReconstruirBarras(this);
    } else {
        m_grafico->AplicarEstilo(this);
    }
    m_grafico->SerieCambiada(false);
}

void SerieGrafico::PonerAncho(qreal ancho)
{
    if (!(ancho > 0.0))
        return;
    m_estilo.ancho = ancho;
    m_grafico->AplicarEstilo(this);
    m_grafico->SerieCambiada(false);
}

void SerieGrafico::PonerMarcas(bool marcas)
{
    if (marcas == m_marcas)
        return;
    m_marcas = marcas;
    m_grafico->SerieCambiada(false);
}

QList<QAbstractSeries*> SerieGrafico::SeriesQt() const
{
    QList<QAbstractSeries*> r;
    for (QLineSeries* l : m_segmentos)
        r.append(l);
    if (m_barras)
        r.append(m_barras);
    return r;
}

// ---------------------------------------------------------------------------
Grafico::Grafico(QWidget* parent) : QChartView(parent)
{
    QChart* c = chart();
    c->legend()->hide();
    c->setBackgroundRoundness(0);
    // The white background reaches the edges, on screen, in bitmaps and on paper.
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setBackgroundBrush(Qt::white);
    c->setDropShadowEnabled(false);
    c->setAnimationOptions(QChart::NoAnimation);
    QFont f = c->titleFont();
    f.setPixelSize(16);
    c->setTitleFont(f);
    c->setTitleBrush(Granate);
    c->setLocalizeNumbers(true);
    c->setLocale(LocaleGrafico());
    m_margenBase = c->margins();

    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    setBackgroundBrush(Qt::white);
    setDragMode(QGraphicsView::NoDrag);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    m_capaMarcas = new CapaMarcas(this, c);
    m_capaLeyenda = new CapaLeyenda(this, c);
    m_linea = new QGraphicsLineItem(c);
    m_linea->setZValue(ZLinea);
    m_linea->setPen(QPen(QColor(0, 255, 0), 2.0));
    m_linea->hide();

    m_banda = new QRubberBand(QRubberBand::Rectangle, viewport());
    m_banda->hide();

    m_animacion = new QVariantAnimation(this);
    m_animacion->setDuration(250);
    m_animacion->setStartValue(0.0);
    m_animacion->setEndValue(1.0);
    m_animacion->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animacion, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        const double t = v.toDouble();
        auto mezcla = [t](const Rango& a, const Rango& b) {
            return Rango{a.min + (b.min - a.min) * t, a.max + (b.max - a.max) * t};
        };
        AplicarRangos(mezcla(m_desdeX, m_hastaX), mezcla(m_desdeY, m_hastaY));
    });
    connect(m_animacion, &QVariantAnimation::finished, this, [this] { AplicarRangos(m_hastaX, m_hastaY); });

    connect(c, &QChart::plotAreaChanged, this, [this] { RecolocarAdornos(); });
    CrearEjes(false);
    Programar();
}

Grafico::~Grafico()
{
    m_animacion->stop();
    disconnect(chart(), nullptr, this, nullptr);
    for (QAbstractAxis* a : chart()->axes())
        disconnect(a, nullptr, this, nullptr);
}

void Grafico::PonerTitulo(const QString& titulo)
{
    chart()->setTitle(titulo);
}

QString Grafico::Titulo() const
{
    return chart()->title();
}

void Grafico::CrearEjes(bool barras)
{
    for (QAbstractAxis* a : chart()->axes()) {
        disconnect(a, nullptr, this, nullptr);
        chart()->removeAxis(a);
        delete a;
    }
    m_ejeX = nullptr;
    m_ejeBarras = nullptr;
    m_barras = barras;

    const QPen rejilla(QColor(215, 215, 215), 1.0);
    m_ejeY = new QValueAxis;
    m_ejeY->setGridLinePen(rejilla);
    m_ejeY->setTickType(QValueAxis::TicksDynamic);
    m_ejeY->setTickAnchor(0.0);
    m_ejeY->setTickInterval(0.2);
    m_ejeY->setRange(0.0, 1.0);
    chart()->addAxis(m_ejeY, Qt::AlignLeft);
    connect(m_ejeY, &QValueAxis::rangeChanged, this, [this] { RecolocarAdornos(); });
    if (barras) {
        m_ejeBarras = new QBarCategoryAxis;
        m_ejeBarras->setGridLineVisible(false);
        chart()->addAxis(m_ejeBarras, Qt::AlignBottom);
    } else {
        m_ejeX = new QCategoryAxis;
        m_ejeX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        m_ejeX->setLabelsAngle(-90);
        m_ejeX->setGridLinePen(rejilla);
        m_ejeX->setRange(0.0, 1.0);
        chart()->addAxis(m_ejeX, Qt::AlignBottom);
        connect(m_ejeX, &QValueAxis::rangeChanged, this, [this] { RecolocarAdornos(); });
    }
    m_posEtiquetas.clear();
    m_textoEtiquetas.clear();
}

QAbstractAxis* Grafico::EjeX() const
{
    if (m_barras)
        return m_ejeBarras;
    return m_ejeX;
}

QFont Grafico::FuenteLeyenda() const
{
    // Sized in pixels, which are scene units: a point size would grow with a
    // printer's resolution when the scene is drawn on paper.
    QFont f = font();
    if (f.pixelSize() <= 0)
        f.setPixelSize(std::max(1, int(std::lround(f.pointSizeF() * logicalDpiY() / 72.0))));
    return f;
}

QColor Grafico::ColorAutomatico()
{
    const int n = int(sizeof(PaletaAutomatica) / sizeof(PaletaAutomatica[0]));
    return PaletaAutomatica[(m_colorAuto++) % n];
}

SerieGrafico* Grafico::CrearSerie(const QString& nombre, const QString& titulo, TipoSerie tipo,
                                  const EstiloSerie& estilo)
{
    const bool barras = tipo == TipoSerie::Barras;
    if (barras != m_barras) {
        if (!m_series.isEmpty())
            throw std::logic_error("Un gráfico no mezcla barras y líneas");
        CrearEjes(barras);
    }
    auto* s = new SerieGrafico(this, tipo, estilo);
    s->setObjectName(nombre);
    s->m_titulo = titulo;
    if (!s->m_estilo.color.isValid())
        s->m_estilo.color = ColorAutomatico();
    s->m_marcas = tipo == TipoSerie::LineaPuntos;
    m_series.append(s);
    if (barras) {
        s->m_barras = new QStackedBarSeries;
        s->m_barras->setName(titulo);
        s->m_barras->setBarWidth(0.6);
        s->m_barras->setLabelsVisible(true);
        s->m_barras->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
        s->m_barras->setLabelsFormat(QStringLiteral("@value"));
        chart()->addSeries(s->m_barras);
        s->m_barras->attachAxis(m_ejeBarras);
        s->m_barras->attachAxis(m_ejeY);
    } else {
        NuevoSegmento(s);
    }
    SerieCambiada(true);
    return s;
}

QLineSeries* Grafico::NuevoSegmento(SerieGrafico* s)
{
    auto* l = new QLineSeries;
    l->setName(s->m_titulo);
    chart()->addSeries(l);
    l->attachAxis(m_ejeX);
    l->attachAxis(m_ejeY);
    // After addSeries: the chart's theme would overwrite an earlier pen.
    QPen pluma(s->m_estilo.color, s->m_estilo.ancho, s->m_estilo.trazo);
    l->setPen(pluma);
    l->setVisible(s->m_visible);
    s->m_segmentos.append(l);
    return l;
}

void Grafico::AplicarEstilo(SerieGrafico* s)
{
    const QPen pluma(s->m_estilo.color, s->m_estilo.ancho, s->m_estilo.trazo);
    for (QLineSeries* l : s->m_segmentos)
        l->setPen(pluma);
    if (s->m_tipo == TipoSerie::Barras)
        ReconstruirBarras(s);
}

SerieGrafico* Grafico::Serie(const QString& nombre) const
{
    for (SerieGrafico* s : m_series)
        if (s->objectName() == nombre)
            return s;
    return nullptr;
}

SerieGrafico* Grafico::SerieEn(int posicion) const
{
    if (posicion < 0 || posicion >= m_series.size())
        return nullptr;
    return m_series[posicion];
}

int Grafico::Posicion(const SerieGrafico* serie) const
{
    for (int i = 0; i < m_series.size(); ++i)
        if (m_series[i] == serie)
            return i;
    return -1;
}

void Grafico::PonerPuntos(SerieGrafico* serie, const std::vector<PuntoGrafico>& puntos)
{
    PonerPuntos(serie, std::vector<PuntoGrafico>(puntos));
}

void Grafico::PonerPuntos(SerieGrafico* serie, std::vector<PuntoGrafico>&& puntos)
{
    if (!serie || Posicion(serie) < 0)
        return;
    chart()->setAnimationOptions(QChart::NoAnimation);
    if (serie == m_serieArrastre)
        m_indiceArrastre = -1;
    serie->m_puntos = std::move(puntos);
    serie->m_propio.assign(serie->m_puntos.size(), false);
    for (size_t i = 0; i < serie->m_puntos.size(); ++i) {
        PuntoGrafico& p = serie->m_puntos[i];
        // Qt refuses NaN and infinities: such a point is simply not drawn.
        if (!std::isfinite(p.x)) {
            p.x = 0.0;
            p.etiqueta.clear();
            p.nulo = true;
        }
        if (!std::isfinite(p.y)) {
            p.y = 0.0;
            p.nulo = true;
        }
        serie->m_propio[i] = p.color.isValid() && !MismoColor(p.color, serie->m_estilo.color);
    }
    if (serie->m_tipo == TipoSerie::Barras)
        ReconstruirBarras(serie);
    else
        Reconstruir(serie);
    SerieCambiada(true);
}

void Grafico::Vaciar(SerieGrafico* serie)
{
    PonerPuntos(serie, std::vector<PuntoGrafico>());
}

void Grafico::Reconstruir(SerieGrafico* s)
{
    const auto& pts = s->m_puntos;
    const int n = int(pts.size());
    s->m_segmentoDe.assign(size_t(n), -1);
    s->m_tramos.clear();
    for (int i = 0; i < n; ++i) {
        if (pts[size_t(i)].nulo)
            continue;
        const bool sigue = i > 0 && !pts[size_t(i - 1)].nulo && !s->m_tramos.empty();
        if (!sigue) {
            s->m_tramos.push_back({i, i, true});
        } else {
            SerieGrafico::Tramo& t = s->m_tramos.back();
            if (pts[size_t(i)].x < pts[size_t(i - 1)].x)
                t.ordenado = false;
            t.hasta = i;
        }
        s->m_segmentoDe[size_t(i)] = int(s->m_tramos.size()) - 1;
    }
    const int hacen = std::max<int>(1, int(s->m_tramos.size()));
    while (s->m_segmentos.size() < hacen)
        NuevoSegmento(s);
    while (s->m_segmentos.size() > hacen) {
        QLineSeries* l = s->m_segmentos.takeLast();
        chart()->removeSeries(l);
        delete l;
    }
    // Qt gets the points once the axes are set, so that it lays them out once.
    s->m_qtPendiente = true;
}

int Grafico::Columnas() const
{
    const qreal ancho = chart()->plotArea().width();
    return ancho >= 1.0 ? int(std::ceil(ancho)) : 2000;
}

namespace {

// Per pixel column the lowest and the highest point, in their order: at the
// plot's resolution the line through them covers the pixels of the whole line.
void Reducir(const std::vector<PuntoGrafico>& p, int desde, int hasta, double a, double b, int columnas,
             QList<QPointF>& salida)
{
    auto antes = [](const PuntoGrafico& q, double v) { return q.x < v; };
    auto despues = [](double v, const PuntoGrafico& q) { return v < q.x; };
    int i0 = int(std::lower_bound(p.begin() + desde, p.begin() + hasta + 1, a, antes) - p.begin());
    int i1 = int(std::upper_bound(p.begin() + desde, p.begin() + hasta + 1, b, despues) - p.begin()) - 1;
    // One point beyond each edge, so the line runs out of the plot as it should.
    if (i0 > desde)
        --i0;
    if (i1 < hasta)
        ++i1;
    if (i1 < i0)
        return;
    salida.reserve(2 * (columnas + 2) + 2);
    const double escala = columnas / (b - a);
    long long columna = std::numeric_limits<long long>::min();
    int menor = i0, mayor = i0;
    int ultimo = -1; // last index written
    auto escribir = [&](int i) {
        if (i > ultimo) {
            salida.append(QPointF(p[size_t(i)].x, p[size_t(i)].y));
            ultimo = i;
        }
    };
    auto volcar = [&] {
        escribir(std::min(menor, mayor));
        escribir(std::max(menor, mayor));
    };
    // The ends of the line stay where they are.
    escribir(i0);
    for (int i = i0; i <= i1; ++i) {
        const PuntoGrafico& q = p[size_t(i)];
        const double c = std::floor((q.x - a) * escala);
        const long long col = c < -1.0 ? -1 : c > columnas ? columnas : (long long)c;
        if (col != columna) {
            if (columna != std::numeric_limits<long long>::min())
                volcar();
            columna = col;
            menor = mayor = i;
        } else {
            if (q.y < p[size_t(menor)].y)
                menor = i;
            if (q.y > p[size_t(mayor)].y)
                mayor = i;
        }
    }
    volcar();
    escribir(i1);
}

} // namespace

void Grafico::EnviarAQt(SerieGrafico* s)
{
    if (s->m_tipo == TipoSerie::Barras || !m_ejeX)
        return;
    const double a = m_ejeX->min(), b = m_ejeX->max();
    const int columnas = Columnas();
    // Below two points per pixel column there is nothing to gain.
    const int umbral = 2 * columnas;
    const auto& pts = s->m_puntos;
    for (int k = 0; k < s->m_segmentos.size(); ++k) {
        QLineSeries* l = s->m_segmentos[k];
        if (k >= int(s->m_tramos.size())) {
            if (l->count() > 0)
                l->clear();
            continue;
        }
        SerieGrafico::Tramo& t = s->m_tramos[size_t(k)];
        QList<QPointF> lista;
        const int n = t.hasta - t.desde + 1;
        t.reducido = t.ordenado && n > umbral && b > a;
        if (t.reducido) {
            Reducir(pts, t.desde, t.hasta, a, b, columnas, lista);
        } else {
            lista.reserve(n);
            for (int i = t.desde; i <= t.hasta; ++i)
                lista.append(QPointF(pts[size_t(i)].x, pts[size_t(i)].y));
        }
        // One replace per segment: appending point by point re-strokes the whole path each time.
        l->replace(lista);
    }
    s->m_qtPendiente = false;
    s->m_enviadoA = a;
    s->m_enviadoB = b;
    s->m_enviadoColumnas = columnas;
}

void Grafico::EnviarPendientes(bool tambienReducidas)
{
    if (!m_ejeX)
        return;
    const double a = m_ejeX->min(), b = m_ejeX->max();
    const int columnas = Columnas();
    for (SerieGrafico* s : m_series) {
        if (s->m_tipo == TipoSerie::Barras)
            continue;
        bool enviar = s->m_qtPendiente;
        if (!enviar && tambienReducidas &&
            (s->m_enviadoA != a || s->m_enviadoB != b || s->m_enviadoColumnas != columnas))
            for (const auto& t : s->m_tramos)
                if (t.reducido)
                    enviar = true;
        if (enviar)
            EnviarAQt(s);
    }
}

void Grafico::ReconstruirBarras(SerieGrafico* s)
{
    QStackedBarSeries* b = s->m_barras;
    if (!b)
        return;
    const auto& pts = s->m_puntos;
    const int n = int(pts.size());
    // Category texts must be unique.
    QStringList categorias;
    QSet<QString> vistas;
    for (const PuntoGrafico& p : pts) {
        QString t = p.etiqueta;
        while (vistas.contains(t))
            t += QLatin1Char(' ');
        vistas.insert(t);
        categorias << t;
    }
    // One stacked set per colour, holding 0 elsewhere: Qt colours whole sets, not bars.
    std::vector<QColor> colores;
    std::vector<int> conjuntoDe(size_t(n), -1);
    double mayor = 0.0;
    for (int i = 0; i < n; ++i) {
        const PuntoGrafico& p = pts[size_t(i)];
        if (p.nulo)
            continue;
        mayor = std::max(mayor, std::fabs(p.y));
        const QColor c = s->m_propio[size_t(i)] ? p.color : s->m_estilo.color;
        int k = -1;
        for (size_t j = 0; j < colores.size(); ++j)
            if (MismoColor(colores[j], c))
                k = int(j);
        if (k < 0) {
            k = int(colores.size());
            colores.push_back(c);
        }
        conjuntoDe[size_t(i)] = k;
    }
    b->clear();
    if (m_ejeBarras) {
        m_ejeBarras->clear();
        m_ejeBarras->append(categorias);
    }
    QList<QBarSet*> conjuntos;
    for (size_t k = 0; k < colores.size(); ++k) {
        auto* set = new QBarSet(s->m_titulo);
        QList<qreal> valores(n, 0.0);
        for (int i = 0; i < n; ++i)
            if (conjuntoDe[size_t(i)] == int(k))
                valores[i] = pts[size_t(i)].y;
        set->append(valores);
        set->setColor(colores[k]);
        set->setBorderColor(colores[k].darker(140));
        set->setLabelColor(Qt::black); // Qt writes bar values in white
        conjuntos.append(set);
    }
    // Enough significant digits for the integer digits and three decimals.
    const int enteras = mayor >= 1.0 ? int(std::floor(std::log10(mayor))) + 1 : 1;
    b->setLabelsPrecision(std::min(15, enteras + 3));
    if (!conjuntos.isEmpty())
        b->append(conjuntos);
}

void Grafico::PonerNulos(SerieGrafico* serie, int desde, int hasta, bool nulos)
{
    if (!serie || serie->m_puntos.empty())
        return;
    desde = std::max(desde, 0);
    hasta = std::min(hasta, serie->count() - 1);
    if (desde > hasta)
        return;
    for (int j = desde; j <= hasta; ++j) {
        PuntoGrafico& p = serie->m_puntos[size_t(j)];
        if (nulos) {
            p.nulo = true;
        } else {
            p.nulo = false;
            p.color = serie->m_estilo.color;
            serie->m_propio[size_t(j)] = false;
        }
    }
    if (serie == m_serieArrastre)
        m_indiceArrastre = -1;
    if (serie->m_tipo == TipoSerie::Barras)
        ReconstruirBarras(serie);
    else
        Reconstruir(serie);
    SerieCambiada(false);
}

void Grafico::MoverPunto(SerieGrafico* serie, int indice, double y)
{
    if (!serie || indice < 0 || indice >= serie->count() || !std::isfinite(y))
        return;
    PuntoGrafico& p = serie->m_puntos[size_t(indice)];
    if (p.nulo)
        return;
    p.y = y;
    if (serie->m_tipo == TipoSerie::Barras) {
        ReconstruirBarras(serie);
    } else {
        const int seg = serie->m_segmentoDe[size_t(indice)];
        if (seg >= 0 && seg < int(serie->m_tramos.size())) {
            const SerieGrafico::Tramo& t = serie->m_tramos[size_t(seg)];
            if (serie->m_qtPendiente || t.reducido)
                EnviarAQt(serie);
            else
                serie->m_segmentos[seg]->replace(indice - t.desde, QPointF(p.x, y));
        }
    }
    m_capaMarcas->update();
    // The axes stay put while the mouse holds the point, or it would run away from it.
    if (m_indiceArrastre < 0)
        Programar();
}

SerieGrafico* Grafico::CopiarSerie(const SerieGrafico* origen, const QString& nombre, const QString& titulo,
                                   const QColor& color)
{
    if (!origen || origen->m_tipo == TipoSerie::Barras)
        throw std::logic_error("Sólo se copian series de líneas");
    if (m_barras)
        throw std::logic_error("Un gráfico no mezcla barras y líneas");
    EstiloSerie estilo = origen->m_estilo;
    estilo.color = color.isValid() ? color : ColorAutomatico();
    SerieGrafico* s = CrearSerie(nombre, titulo, origen->m_tipo, estilo);
    s->m_marcas = false;
    PonerPuntos(s, origen->m_puntos);
    return s;
}

void Grafico::QuitarSerie(SerieGrafico* serie)
{
    const int i = Posicion(serie);
    if (i < 0)
        return;
    if (serie == m_serieArrastre) {
        m_indiceArrastre = -1;
        m_serieArrastre = nullptr;
    }
    // The legend is laid out later, from the event loop; a paint before that
    // must not find the series in it.
    std::erase_if(m_entradas, [serie](const EntradaLeyenda& e) { return e.serie == serie; });
    for (QLineSeries* l : serie->m_segmentos) {
        chart()->removeSeries(l);
        delete l;
    }
    serie->m_segmentos.clear();
    if (serie->m_barras) {
        chart()->removeSeries(serie->m_barras);
        delete serie->m_barras;
        serie->m_barras = nullptr;
    }
    m_series.removeAt(i);
    delete serie;
}

void Grafico::EliminarSerie(SerieGrafico* serie)
{
    if (Posicion(serie) < 0)
        return;
    QuitarSerie(serie);
    ActualizarLeyenda();
    SerieCambiada(true);
}

void Grafico::EliminarSeriesDesde(int posicion)
{
    posicion = std::max(posicion, 0);
    if (m_series.size() <= posicion)
        return;
    while (m_series.size() > posicion)
        QuitarSerie(m_series.last());
    ActualizarLeyenda();
    SerieCambiada(true);
}

// ---------------------------------------------------------------------------
void Grafico::SerieCambiada(bool etiquetas)
{
    if (etiquetas)
        m_etiquetasSucias = true;
    m_capaMarcas->update();
    m_capaLeyenda->update();
    Programar();
}

void Grafico::Programar()
{
    if (m_pendiente)
        return;
    m_pendiente = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_pendiente)
                ActualizarAhora();
        },
        Qt::QueuedConnection);
}

void Grafico::ActualizarAhora()
{
    m_pendiente = false;
    // Tests and the window may switch the default locale after construction.
    const QLocale region = LocaleGrafico();
    if (chart()->locale() != region || chart()->locale().numberOptions() != region.numberOptions())
        chart()->setLocale(region);
    if (m_etiquetasSucias)
        ReunirEtiquetas();
    // Axes first, then the points: Qt lays a series out again at every axis change.
    m_enRangos = true;
    RecalcularRangos();
    m_enRangos = false;
    EnviarPendientes(true);
    ActualizarLeyenda();
    RecolocarAdornos();
}

void Grafico::ReunirEtiquetas()
{
    m_etiquetasSucias = false;
    m_etiquetas.clear();
    if (m_barras)
        return;
    // Series usually come sorted by x and share most x values: merging them
    // costs far less than sorting everything together.
    auto porX = [](const auto& a, const auto& b) { return a.first < b.first; };
    auto mismaX = [](const auto& a, const auto& b) { return a.first == b.first; };
    std::vector<std::pair<double, QString>> propias, union_;
    for (const SerieGrafico* s : m_series) {
        propias.clear();
        propias.reserve(s->m_puntos.size());
        for (const PuntoGrafico& p : s->m_puntos)
            if (!p.etiqueta.isEmpty())
                propias.emplace_back(p.x, p.etiqueta);
        if (propias.empty())
            continue;
        if (!std::is_sorted(propias.begin(), propias.end(), porX))
            std::stable_sort(propias.begin(), propias.end(), porX);
        propias.erase(std::unique(propias.begin(), propias.end(), mismaX), propias.end());
        if (m_etiquetas.empty()) {
            m_etiquetas.swap(propias);
            continue;
        }
        // Equal x: the label of the earlier series stays.
        union_.clear();
        union_.reserve(m_etiquetas.size() + propias.size());
        std::set_union(std::make_move_iterator(m_etiquetas.begin()), std::make_move_iterator(m_etiquetas.end()),
                       std::make_move_iterator(propias.begin()), std::make_move_iterator(propias.end()),
                       std::back_inserter(union_), porX);
        m_etiquetas.swap(union_);
    }
}

bool Grafico::RangoCompletoX(Rango& r) const
{
    bool hay = false;
    double mn = 0.0, mx = 0.0;
    for (const SerieGrafico* s : m_series) {
        if (!s->m_visible)
            continue;
        for (const PuntoGrafico& p : s->m_puntos) {
            if (p.nulo)
                continue;
            if (!hay) {
                mn = mx = p.x;
                hay = true;
            } else {
                mn = std::min(mn, p.x);
                mx = std::max(mx, p.x);
            }
        }
    }
    if (!hay)
        return false;
    // A little room on both sides, so the end markers are not cut in half.
    const double margen = mx > mn ? (mx - mn) * 0.02 : 1.0;
    r = Rango{mn - margen, mx + margen};
    return true;
}

bool Grafico::RangoCompletoY(Rango& r) const
{
    bool hay = false;
    double mn = 0.0, mx = 0.0;
    for (const SerieGrafico* s : m_series) {
        if (!s->m_visible)
            continue;
        for (const PuntoGrafico& p : s->m_puntos) {
            if (p.nulo)
                continue;
            if (!hay) {
                mn = mx = p.y;
                hay = true;
            } else {
                mn = std::min(mn, p.y);
                mx = std::max(mx, p.y);
            }
        }
    }
    if (!hay)
        return false;
    if (m_barras) {
        // Bars stand on zero, and their value labels need room above them.
        mn = std::min(mn, 0.0);
        mx = std::max(mx, 0.0);
        const double span = mx > mn ? mx - mn : 1.0;
        mx += span * 0.12;
        if (mn < 0.0)
            mn -= span * 0.12;
    } else {
        const bool positivo = mn >= 0.0;
        if (mx == mn) {
            const double d = mn == 0.0 ? 1.0 : std::fabs(mn) * 0.1;
            mn -= d;
            mx += d;
        }
        const double span = mx - mn;
        mn -= span * 0.03;
        mx += span * 0.03;
        if (positivo && mn < 0.0)
            mn = 0.0;
    }
    const double area = chart()->plotArea().height();
    const int marcas = area > 0.0 ? std::clamp(int(area / 45.0), 3, 10) : 5;
    const double paso = PasoRedondo(mx - mn, marcas);
    r = Rango{std::floor(mn / paso) * paso, std::ceil(mx / paso) * paso};
    if (!(r.max > r.min))
        r.max = r.min + paso;
    return true;
}

void Grafico::RecalcularRangos()
{
    Rango fx{m_ejeX ? m_ejeX->min() : 0.0, m_ejeX ? m_ejeX->max() : 1.0};
    Rango fy{m_ejeY->min(), m_ejeY->max()};
    // Without points an axis keeps the range it has.
    bool hx = m_barras ? false : RangoCompletoX(fx);
    RangoCompletoY(fy);
    if (!m_ejeXAuto && !m_barras) {
        fx = m_manualX;
        hx = true;
    }
    if (!m_ejeYAuto)
        fy = m_manualY;
    if (m_ampliado) {
        // A zoom survives a redrawing of the same stretch of x, such as after a point drag.
        if (hx && m_hayCompletoX && fx == m_completoX)
            return;
        m_ampliado = false;
    }
    m_animacion->stop();
    if (hx) {
        m_completoX = fx;
        m_hayCompletoX = true;
    }
    AplicarRangos(fx, fy);
}

void Grafico::AplicarRangos(const Rango& x, const Rango& y)
{
    if (m_ejeX && x.max > x.min && (m_ejeX->min() != x.min || m_ejeX->max() != x.max))
        m_ejeX->setRange(x.min, x.max);
    AplicarRangoY(y);
}

void Grafico::AplicarRangoY(const Rango& y)
{
    if (!(y.max > y.min))
        return;
    const double area = chart()->plotArea().height();
    const int marcas = area > 0.0 ? std::clamp(int(area / 45.0), 3, 10) : 5;
    const double paso = PasoRedondo(y.max - y.min, marcas);
    // Qt lays the axis out at each change: a wide range with the old, fine
    // interval would mean thousands of ticks for a moment, so the coarser
    // of the two goes first.
    const bool pasoPrimero = paso > m_ejeY->tickInterval();
    if (pasoPrimero && m_ejeY->tickInterval() != paso)
        m_ejeY->setTickInterval(paso);
    if (m_ejeY->min() != y.min || m_ejeY->max() != y.max)
        m_ejeY->setRange(y.min, y.max);
    if (m_ejeY->tickType() != QValueAxis::TicksDynamic)
        m_ejeY->setTickType(QValueAxis::TicksDynamic);
    if (m_ejeY->tickAnchor() != 0.0)
        m_ejeY->setTickAnchor(0.0);
    if (m_ejeY->tickInterval() != paso)
        m_ejeY->setTickInterval(paso);
    const QString formato = QStringLiteral("%.%1f").arg(Decimales(paso));
    if (m_ejeY->labelFormat() != formato)
        m_ejeY->setLabelFormat(formato);
}

void Grafico::RecolocarAdornos()
{
    if (m_enAdornos)
        return;
    m_enAdornos = true;
    const QRectF area = chart()->plotArea();
    // The number of value ticks follows the height of the plot.
    AplicarRangoY(Rango{m_ejeY->min(), m_ejeY->max()});
    // Reduced segments depend on the stretch of x shown and the plot's width.
    if (!m_enRangos)
        EnviarPendientes(true);
    ActualizarEtiquetasX();
    ActualizarLineaVertical();
    m_capaMarcas->PonerRect(area);
    m_enAdornos = false;
}

void Grafico::ActualizarEtiquetasX()
{
    if (m_barras || !m_ejeX)
        return;
    const QRectF area = chart()->plotArea();
    const double a = m_ejeX->min(), b = m_ejeX->max();
    QList<double> pos;
    QStringList textos;
    if (area.width() > 0.0 && b > a && !m_etiquetas.empty()) {
        const double escala = area.width() / (b - a);
        // Labels stand on end, so each takes a line's height across the axis; Qt Charts
        // also wants its padding on both sides, or it writes "..." instead.
        const double separacion = QFontMetricsF(m_ejeX->labelsFont()).height() + 12.0;
        const size_t n = m_etiquetas.size();
        const double media = n > 1 ? (m_etiquetas.back().first - m_etiquetas.front().first) / double(n - 1) : 1.0;
        int paso = 1;
        while (media > 0.0 && paso * media * escala < separacion && paso < int(n))
            paso = SiguientePaso(paso);
        auto primero = std::lower_bound(m_etiquetas.begin(), m_etiquetas.end(), a,
                                        [](const auto& e, double v) { return e.first < v; });
        QSet<QString> usadas;
        double ultima = -std::numeric_limits<double>::infinity();
        for (auto it = primero; it != m_etiquetas.end() && it->first <= b; ++it) {
            const size_t indice = size_t(it - m_etiquetas.begin());
            if (indice % size_t(paso) != 0)
                continue;
            const double px = (it->first - a) * escala;
            // Uneven spacing is caught here: a label too close to the last one is left out.
            if (px - ultima < separacion || usadas.contains(it->second))
                continue;
            ultima = px;
            usadas.insert(it->second);
            pos.append(it->first);
            textos.append(it->second);
        }
    }
    if (pos == m_posEtiquetas && textos == m_textoEtiquetas)
        return;
    m_posEtiquetas = pos;
    m_textoEtiquetas = textos;
    const QStringList viejas = m_ejeX->categoriesLabels();
    for (const QString& t : viejas)
        m_ejeX->remove(t);
    m_ejeX->setStartValue(pos.isEmpty() ? a - 1.0 : std::min(a, pos.first()) - 1.0);
    for (int i = 0; i < pos.size(); ++i)
        m_ejeX->append(textos[i], pos[i]);
}

QStringList Grafico::EtiquetasEjeX() const
{
    if (m_barras)
        return m_ejeBarras ? m_ejeBarras->categories() : QStringList();
    return m_ejeX ? m_ejeX->categoriesLabels() : QStringList();
}

QList<double> Grafico::PosicionesEtiquetasX() const
{
    QList<double> r;
    if (!m_ejeX || m_barras)
        return r;
    for (const QString& t : m_ejeX->categoriesLabels())
        r.append(m_ejeX->endValue(t));
    return r;
}

// ---------------------------------------------------------------------------
void Grafico::PonerLeyendaVisible(bool visible)
{
    if (visible == m_leyendaVisible)
        return;
    m_leyendaVisible = visible;
    ActualizarLeyenda();
}

bool Grafico::LeyendaMostrada() const
{
    return m_leyendaCabe;
}

void Grafico::ActualizarLeyenda()
{
    m_entradas.clear();
    m_leyendaCabe = false;
    QMargins margenes = m_margenBase;
    std::vector<SerieGrafico*> con;
    for (SerieGrafico* s : m_series)
        if (!s->m_titulo.isEmpty())
            con.push_back(s);
    const QSizeF caja = chart()->size();
    if (m_leyendaVisible && !con.empty() && caja.width() > 0.0) {
        const QFontMetricsF fm(FuenteLeyenda());
        const qreal alto = std::max<qreal>(fm.height(), 13.0) + 4.0;
        qreal texto = 0.0;
        for (const SerieGrafico* s : con)
            texto = std::max(texto, fm.horizontalAdvance(s->m_titulo));
        const qreal anchoEntrada = 2.0 + 11.0 + 4.0 + 18.0 + 4.0 + texto + 8.0;
        const qreal disponible = caja.height() - m_margenBase.top() - m_margenBase.bottom() - 30.0;
        const int filas = int(disponible / alto);
        if (filas >= 1) {
            const int n = int(con.size());
            const int columnas = (n + filas - 1) / filas;
            const int usadas = (n + columnas - 1) / columnas;
            const qreal ancho = columnas * anchoEntrada;
            // Beyond this the plot would shrink to nothing; such a crowd is left out of the legend.
            if (ancho <= caja.width() * 0.4) {
                m_leyendaCabe = true;
                const qreal x0 = caja.width() - m_margenBase.right() - ancho;
                const qreal y0 = (caja.height() - usadas * alto) / 2.0;
                for (int i = 0; i < n; ++i) {
                    const int col = i / usadas, fila = i % usadas;
                    m_entradas.push_back(
                        {con[size_t(i)], QRectF(x0 + col * anchoEntrada, y0 + fila * alto, anchoEntrada, alto)});
                }
                margenes.setRight(m_margenBase.right() + int(std::ceil(ancho)) + 8);
            }
        }
    }
    QRectF rect;
    for (const auto& e : m_entradas)
        rect |= e.rect;
    m_capaLeyenda->PonerRect(rect);
    if (chart()->margins() != margenes)
        chart()->setMargins(margenes);
}

QRectF Grafico::RectEntradaLeyenda(const SerieGrafico* serie) const
{
    for (const auto& e : m_entradas)
        if (e.serie && e.serie == serie)
            return mapFromScene(chart()->mapToScene(e.rect)).boundingRect();
    return QRectF();
}

SerieGrafico* Grafico::EntradaBajo(const QPoint& vista) const
{
    if (!m_leyendaCabe)
        return nullptr;
    const QPointF c = AGrafico(vista);
    for (const auto& e : m_entradas)
        if (e.serie && e.rect.contains(c))
            return e.serie;
    return nullptr;
}

// ---------------------------------------------------------------------------
void Grafico::PonerLineaVertical(double x)
{
    if (!std::isfinite(x))
        return;
    m_lineaActiva = true;
    m_lineaX = x;
    ActualizarLineaVertical();
}

void Grafico::QuitarLineaVertical()
{
    m_lineaActiva = false;
    ActualizarLineaVertical();
}

void Grafico::PonerEstiloLineaVertical(const QColor& color, qreal ancho)
{
    m_linea->setPen(QPen(color, ancho));
}

void Grafico::ActualizarLineaVertical()
{
    if (!m_lineaActiva || m_barras || !m_ejeX) {
        m_linea->hide();
        return;
    }
    const QRectF area = chart()->plotArea();
    const double a = m_ejeX->min(), b = m_ejeX->max();
    if (area.isEmpty() || !(b > a) || m_lineaX < a || m_lineaX > b) {
        m_linea->hide();
        return;
    }
    const qreal px = area.left() + (m_lineaX - a) / (b - a) * area.width();
    m_linea->setLine(px, area.top(), px, area.bottom());
    m_linea->show();
}

// ---------------------------------------------------------------------------
void Grafico::PonerTituloEjeX(const QString& titulo)
{
    if (QAbstractAxis* e = EjeX())
        e->setTitleText(titulo);
}

void Grafico::PonerTituloEjeY(const QString& titulo)
{
    m_ejeY->setTitleText(titulo);
}

QString Grafico::TituloEjeX() const
{
    const QAbstractAxis* e = EjeX();
    return e ? e->titleText() : QString();
}

QString Grafico::TituloEjeY() const
{
    return m_ejeY->titleText();
}

void Grafico::PonerRangoEjeX(double minimo, double maximo)
{
    if (m_barras || !std::isfinite(minimo) || !std::isfinite(maximo) || !(maximo > minimo))
        return;
    m_ejeXAuto = false;
    m_manualX = Rango{minimo, maximo};
    m_ampliado = false;
    RecalcularRangos();
    RecolocarAdornos();
}

void Grafico::PonerRangoEjeY(double minimo, double maximo)
{
    if (!std::isfinite(minimo) || !std::isfinite(maximo) || !(maximo > minimo))
        return;
    m_ejeYAuto = false;
    m_manualY = Rango{minimo, maximo};
    m_ampliado = false;
    RecalcularRangos();
    RecolocarAdornos();
}

void Grafico::PonerEjeXAutomatico()
{
    m_ejeXAuto = true;
    m_ampliado = false;
    RecalcularRangos();
    RecolocarAdornos();
}

void Grafico::PonerEjeYAutomatico()
{
    m_ejeYAuto = true;
    m_ampliado = false;
    RecalcularRangos();
    RecolocarAdornos();
}

double Grafico::MinimoX() const
{
    return m_ejeX ? m_ejeX->min() : 0.0;
}

double Grafico::MaximoX() const
{
    return m_ejeX ? m_ejeX->max() : 0.0;
}

double Grafico::MinimoY() const
{
    return m_ejeY->min();
}

double Grafico::MaximoY() const
{
    return m_ejeY->max();
}

// ---------------------------------------------------------------------------
QPointF Grafico::AGrafico(const QPoint& vista) const
{
    return chart()->mapFromScene(mapToScene(vista));
}

QPointF Grafico::APosicion(double x, double y) const
{
    const QRectF area = chart()->plotArea();
    const double a = m_ejeX ? m_ejeX->min() : 0.0, b = m_ejeX ? m_ejeX->max() : 1.0;
    const double c = m_ejeY->min(), d = m_ejeY->max();
    return QPointF(area.left() + (x - a) / (b - a) * area.width(), area.bottom() - (y - c) / (d - c) * area.height());
}

QPointF Grafico::AValor(const QPointF& p) const
{
    const QRectF area = chart()->plotArea();
    const double a = m_ejeX ? m_ejeX->min() : 0.0, b = m_ejeX ? m_ejeX->max() : 1.0;
    const double c = m_ejeY->min(), d = m_ejeY->max();
    return QPointF(a + (p.x() - area.left()) / area.width() * (b - a),
                   c + (area.bottom() - p.y()) / area.height() * (d - c));
}

} // namespace tendora
