// SPDX-License-Identifier: GPL-3.0-or-later
// The chart component: its series and their points, and how they reach Qt
// Charts (reduced to the width of the view, as bars, with gaps).
#include "ui/Grafico.h"
#include "ui/GraficoComun.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QLineSeries>
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

const QColor Granate(128, 0, 0);

const QColor PaletaAutomatica[] = {
    QColor(0, 128, 0),   QColor(255, 128, 0), QColor(128, 0, 128), QColor(0, 128, 128),
    QColor(128, 128, 0), QColor(0, 0, 128),   QColor(192, 0, 64),  QColor(64, 64, 64),
};

bool MismoColor(const QColor& a, const QColor& b)
{
    return a.isValid() && b.isValid() && a.rgba() == b.rgba();
}

} // namespace

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
    // A band keeps its translucency when given a plain colour (the editor's).
    const int alfa = m_tipo == TipoSerie::Banda && color.alpha() == 255 ? m_estilo.color.alpha() : color.alpha();
    m_estilo.color = color;
    m_estilo.color.setAlpha(alfa);
    if (m_tipo == TipoSerie::Barras) {
        // A colour for the series paints every bar in it, until the next filling.
        for (PuntoGrafico& p : PuntosPropios())
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

std::vector<PuntoGrafico>& SerieGrafico::PuntosPropios()
{
    if (m_puntos.use_count() > 1)
        m_puntos = std::make_shared<std::vector<PuntoGrafico>>(*m_puntos);
    return *m_puntos;
}

void SerieGrafico::CalcularExtremos() const
{
    m_extremosListos = true;
    m_conPuntos = false;
    for (const PuntoGrafico& p : *m_puntos) {
        if (p.nulo)
            continue;
        if (!m_conPuntos) {
            m_minX = m_maxX = p.x;
            m_minY = m_maxY = p.y;
            m_conPuntos = true;
        } else {
            m_minX = std::min(m_minX, p.x);
            m_maxX = std::max(m_maxX, p.x);
            m_minY = std::min(m_minY, p.y);
            m_maxY = std::max(m_maxY, p.y);
        }
    }
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

    m_capaBandas = new CapaBandas(this, c);
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
    m_etiquetasHasta = 0;
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
    } else if (tipo != TipoSerie::Banda) {
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
    serie->m_puntos = std::make_shared<std::vector<PuntoGrafico>>(std::move(puntos));
    for (PuntoGrafico& p : *serie->m_puntos) {
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
    }
    PuntosPuestos(serie);
}

void Grafico::PuntosPuestos(SerieGrafico* serie)
{
    serie->m_extremosListos = false;
    const int posicion = Posicion(serie);
    if (posicion < m_etiquetasHasta)
        m_etiquetasHasta = 0; // its old labels are among the merged ones
    const std::vector<PuntoGrafico>& pts = *serie->m_puntos;
    serie->m_propio.assign(pts.size(), false);
    const bool conColor = serie->m_estilo.color.isValid();
    const QRgb colorSerie = serie->m_estilo.color.rgba();
    for (size_t i = 0; i < pts.size(); ++i)
        serie->m_propio[i] = pts[i].color.isValid() && !(conColor && pts[i].color.rgba() == colorSerie);
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
    const auto& pts = *s->m_puntos;
    const int n = int(pts.size());
    s->m_segmentoDe.assign(size_t(n), -1);
    s->m_tramos.clear();
    if (s->m_tipo == TipoSerie::Banda) {
        // Painted by the chart from its points: nothing for Qt to hold.
        s->m_qtPendiente = false;
        return;
    }
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
void Reducir(const std::vector<PuntoGrafico>& p, int desde, int hasta, double a, double b, int columnas, double escalaY,
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
            salida.append(QPointF(p[size_t(i)].x, p[size_t(i)].y * escalaY));
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
    const auto& pts = *s->m_puntos;
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
            Reducir(pts, t.desde, t.hasta, a, b, columnas, m_escalaY, lista);
        } else {
            lista.reserve(n);
            for (int i = t.desde; i <= t.hasta; ++i)
                lista.append(QPointF(pts[size_t(i)].x, pts[size_t(i)].y * m_escalaY));
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
    const auto& pts = *s->m_puntos;
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
        mayor = std::max(mayor, std::fabs(p.y * m_escalaY));
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
                valores[i] = pts[size_t(i)].y * m_escalaY;
        set->append(valores);
        set->setColor(colores[k]);
        set->setBorderColor(colores[k].darker(140));
        set->setLabelColor(Qt::black); // Qt writes bar values in white
        conjuntos.append(set);
    }
    // Enough significant digits for the integer digits and three decimals.
    const int enteras = mayor >= 1.0 ? int(std::floor(std::log10(mayor))) + 1 : 1;
    b->setLabelsPrecision(std::min(15, enteras + 3));
    b->setLabelsFormat(QStringLiteral("@value") + SufijoEscala(m_escalaY));
    if (!conjuntos.isEmpty())
        b->append(conjuntos);
}

void Grafico::PonerNulos(SerieGrafico* serie, int desde, int hasta, bool nulos)
{
    if (!serie || serie->m_puntos->empty())
        return;
    desde = std::max(desde, 0);
    hasta = std::min(hasta, serie->count() - 1);
    if (desde > hasta)
        return;
    serie->m_extremosListos = false;
    std::vector<PuntoGrafico>& puntos = serie->PuntosPropios();
    for (int j = desde; j <= hasta; ++j) {
        PuntoGrafico& p = puntos[size_t(j)];
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
    if ((*serie->m_puntos)[size_t(indice)].nulo)
        return;
    PuntoGrafico& p = serie->PuntosPropios()[size_t(indice)];
    p.y = y;
    serie->m_extremosListos = false;
    if (serie->m_tipo == TipoSerie::Barras) {
        ReconstruirBarras(serie);
    } else {
        const int seg = serie->m_segmentoDe[size_t(indice)];
        if (seg >= 0 && seg < int(serie->m_tramos.size())) {
            const SerieGrafico::Tramo& t = serie->m_tramos[size_t(seg)];
            if (serie->m_qtPendiente || t.reducido)
                EnviarAQt(serie);
            else
                serie->m_segmentos[seg]->replace(indice - t.desde, QPointF(p.x, y * m_escalaY));
        }
    }
    m_capaMarcas->update();
    m_capaBandas->update();
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
    chart()->setAnimationOptions(QChart::NoAnimation);
    s->m_puntos = origen->m_puntos; // checked when the origin got them
    PuntosPuestos(s);
    return s;
}

Grafico::SerieGuardada Grafico::GuardarSerie(const SerieGrafico* serie)
{
    return SerieGuardada{serie->objectName(), serie->m_titulo, serie->m_tipo,  serie->m_estilo,
                         serie->m_visible,    serie->m_marcas, serie->m_puntos};
}

SerieGrafico* Grafico::ReponerSerie(const SerieGuardada& g)
{
    if (g.tipo == TipoSerie::Barras || m_barras)
        throw std::logic_error("Sólo se reponen series de líneas");
    SerieGrafico* s = CrearSerie(g.nombre, g.titulo, g.tipo, g.estilo);
    s->m_marcas = g.marcas;
    chart()->setAnimationOptions(QChart::NoAnimation);
    if (g.puntos)
        s->m_puntos = g.puntos;
    PuntosPuestos(s);
    if (!g.visible)
        s->PonerVisible(false);
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
    if (i < m_etiquetasHasta)
        m_etiquetasHasta = 0;
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

} // namespace tendora
