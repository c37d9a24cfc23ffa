// SPDX-License-Identifier: GPL-3.0-or-later
// Laying out a Grafico: the deferred refresh, the axis ranges and labels, the
// legend, the vertical line, axis titles and the conversions between view,
// scene and values.
#include "ui/Grafico.h"
#include "ui/GraficoComun.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tendora {

namespace {

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
        // Relative: below 1e-6 any step would pass for a whole number.
        const double m = paso * std::pow(10.0, d);
        const double entero = std::round(m);
        if (entero >= 1.0 && std::fabs(m - entero) < 1e-6 * entero)
            return d;
    }
    return 10;
}

// Below this span Qt Charts' pixel scale of an axis overflows, and it takes
// any span under 1e-12 for none: attaching a series then puts the series'
// own range in its place.
constexpr double TramoMinimo = 1e-300;

// Whether Qt can lay out ticks every paso from 0 over [a, b] by itself. It
// adds paso to a value until the value passes b: a range it may swap for
// another (a tiny one), many steps, or a step lost in the value's own
// rounding (at 1e17 a double moves in steps of 16) would never end.
bool TicksDinamicos(double a, double b, double paso)
{
    const double tramo = b - a;
    const double mayor = std::max(std::fabs(a), std::fabs(b));
    return paso > 0.0 && std::isfinite(tramo) && tramo > 1e-9 && tramo / paso <= 100.0 && paso >= mayor * 1e-13;
}

// A label format that tells the ticks apart: decimals for everyday
// magnitudes, otherwise scientific notation with the digits the step needs.
QString FormatoEtiquetas(double a, double b, double paso)
{
    const double mayor = std::max(std::fabs(a), std::fabs(b));
    const int decimales = Decimales(paso);
    if (decimales < 10 && mayor < 1e15)
        return QStringLiteral("%.%1f").arg(decimales);
    const int exponentePaso = int(std::floor(std::log10(paso)));
    const int exponenteMayor = mayor > 0.0 ? int(std::floor(std::log10(mayor))) : exponentePaso;
    const int cifras = exponenteMayor - exponentePaso + Decimales(paso / std::pow(10.0, exponentePaso));
    return QStringLiteral("%.%1e").arg(std::clamp(cifras, 1, 16));
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

} // namespace

// ---------------------------------------------------------------------------
void Grafico::SerieCambiada(bool etiquetas)
{
    if (etiquetas)
        m_etiquetasSucias = true;
    m_capaMarcas->update();
    m_capaBandas->update();
    m_capaLeyenda->update();
    Programar();
}

void Grafico::Programar()
{
    if (m_pendiente)
        return;
    m_pendiente = true;
    // A chart out of sight is laid out when it shows (or is printed, saved):
    // a run that refills every chart then pays only for the one in front.
    if (isVisible())
        ProgramarActualizacion();
}

void Grafico::ProgramarActualizacion()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_pendiente)
                ActualizarAhora();
        },
        Qt::QueuedConnection);
}

void Grafico::showEvent(QShowEvent* evento)
{
    QChartView::showEvent(evento);
    if (m_pendiente)
        ProgramarActualizacion();
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
    if (m_barras || m_etiquetasHasta <= 0 || m_etiquetasHasta > m_series.size()) {
        m_etiquetas.clear();
        m_etiquetasHasta = 0;
    }
    if (m_barras)
        return;
    // Series usually come sorted by x and share most x values: merging them
    // costs far less than sorting everything together.
    auto porX = [](const auto& a, const auto& b) { return a.first < b.first; };
    auto mismaX = [](const auto& a, const auto& b) { return a.first == b.first; };
    std::vector<std::pair<double, QString>>& propias = m_propias;
    std::vector<std::pair<double, QString>>& union_ = m_union;
    for (int k = m_etiquetasHasta; k < m_series.size(); ++k) {
        const SerieGrafico* s = m_series[k];
        propias.clear();
        propias.reserve(s->m_puntos->size());
        for (const PuntoGrafico& p : *s->m_puntos)
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
    propias.clear();
    union_.clear();
    m_etiquetasHasta = int(m_series.size());
}

bool Grafico::Extremos(double PuntoGrafico::*eje, double& mn, double& mx) const
{
    bool hay = false;
    const bool enX = eje == &PuntoGrafico::x;
    for (const SerieGrafico* s : m_series) {
        if (!s->m_visible)
            continue;
        if (!s->m_extremosListos)
            s->CalcularExtremos();
        if (!s->m_conPuntos)
            continue;
        const double a = enX ? s->m_minX : s->m_minY, b = enX ? s->m_maxX : s->m_maxY;
        if (!hay) {
            mn = a;
            mx = b;
            hay = true;
        } else {
            mn = std::min(mn, a);
            mx = std::max(mx, b);
        }
    }
    return hay;
}

bool Grafico::RangoCompletoX(Rango& r) const
{
    double mn = 0.0, mx = 0.0;
    if (!Extremos(&PuntoGrafico::x, mn, mx))
        return false;
    // A little room on both sides, so the end markers are not cut in half.
    const double margen = mx > mn ? (mx - mn) * 0.02 : 1.0;
    r = Rango{mn - margen, mx + margen};
    return true;
}

bool Grafico::RangoCompletoY(Rango& r) const
{
    double mn = 0.0, mx = 0.0;
    if (!Extremos(&PuntoGrafico::y, mn, mx))
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
        // Differences in the last digits of a double cannot be told apart on
        // labels, nor tiny ones below what Qt can scale: such data draws flat.
        const double tramoMinimo = std::max(TramoMinimo, std::max(std::fabs(mn), std::fabs(mx)) * 1e-12);
        if (mx - mn < tramoMinimo) {
            const double centro = mn / 2.0 + mx / 2.0;
            mn = centro - tramoMinimo / 2.0;
            mx = centro + tramoMinimo / 2.0;
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
    const double antes = m_escalaY;
    PonerEscalaY(y);
    AplicarRangoY(y);
    if (m_escalaY != antes && !m_enRangos)
        EnviarPendientes(false);
}

void Grafico::PonerEscalaY(const Rango& y)
{
    const double tramo = y.max - y.min;
    if (!(tramo > 0.0) || !std::isfinite(tramo))
        return;
    const double escala = tramo < 1e-6 ? std::pow(10.0, -std::floor(std::log10(tramo))) : 1.0;
    if (escala == m_escalaY || !std::isfinite(escala))
        return;
    m_escalaY = escala;
    for (SerieGrafico* s : m_series) {
        if (s->m_tipo == TipoSerie::Barras)
            ReconstruirBarras(s);
        else
            s->m_qtPendiente = true;
    }
}

void Grafico::AplicarRangoY(const Rango& rango)
{
    // In Qt's units from here on.
    const Rango y{rango.min * m_escalaY, rango.max * m_escalaY};
    if (!(y.max > y.min) || !std::isfinite(y.max - y.min))
        return;
    const double area = chart()->plotArea().height();
    const int marcas = area > 0.0 ? std::clamp(int(area / 45.0), 3, 10) : 5;
    const double paso = PasoRedondo(y.max - y.min, marcas);
    // Qt lays the axis out at each change. A moment with the new range and the
    // old interval, or the other way round, must still be a handful of ticks;
    // when neither order is, the change goes through fixed ticks, which are a
    // set number whatever the range.
    // The range read back through the scale may differ from it in the last digit.
    const double tolerancia = (y.max - y.min) * 1e-12;
    const bool cambiaRango =
        std::fabs(m_ejeY->min() - y.min) > tolerancia || std::fabs(m_ejeY->max() - y.max) > tolerancia;
    if (m_ejeY->tickType() == QValueAxis::TicksDynamic && (cambiaRango || m_ejeY->tickInterval() != paso)) {
        // The interval first where it can be: Qt lays the ticks and labels
        // out at once for a new range, but only later for a new interval.
        if (!TicksDinamicos(y.min, y.max, paso)) {
            m_ejeY->setTickType(QValueAxis::TicksFixed);
        } else if (cambiaRango && TicksDinamicos(m_ejeY->min(), m_ejeY->max(), paso)) {
            m_ejeY->setTickInterval(paso);
        } else if (!cambiaRango || TicksDinamicos(y.min, y.max, m_ejeY->tickInterval())) {
            // the range first
        } else {
            m_ejeY->setTickType(QValueAxis::TicksFixed);
        }
    }
    // The format before the range too: the labels Qt writes at once for the
    // new range are then the final ones.
    const QString formato = m_escalaY == 1.0
                                ? FormatoEtiquetas(y.min, y.max, paso)
                                : QStringLiteral("%.%1f").arg(std::min(Decimales(paso), 9)) + SufijoEscala(m_escalaY);
    if (m_ejeY->labelFormat() != formato)
        m_ejeY->setLabelFormat(formato);
    if (cambiaRango)
        m_ejeY->setRange(y.min, y.max);
    // What Qt made of the range: it keeps an end whose change it finds too small.
    const double a = m_ejeY->min(), b = m_ejeY->max();
    if (TicksDinamicos(a, b, paso)) {
        if (m_ejeY->tickAnchor() != 0.0)
            m_ejeY->setTickAnchor(0.0);
        if (m_ejeY->tickInterval() != paso)
            m_ejeY->setTickInterval(paso);
        if (m_ejeY->tickType() != QValueAxis::TicksDynamic)
            m_ejeY->setTickType(QValueAxis::TicksDynamic);
    } else {
        if (m_ejeY->tickType() != QValueAxis::TicksFixed)
            m_ejeY->setTickType(QValueAxis::TicksFixed);
        // On the multiples of paso when the range is made of them, as the automatic one is.
        const double k = (b - a) / paso;
        const int cuantas = k <= 20.0 && std::fabs(k - std::round(k)) < 1e-6 ? int(std::round(k)) + 1 : marcas + 1;
        if (m_ejeY->tickCount() != std::max(cuantas, 2))
            m_ejeY->setTickCount(std::max(cuantas, 2));
    }
}

void Grafico::RecolocarAdornos()
{
    if (m_enAdornos)
        return;
    m_enAdornos = true;
    const QRectF area = chart()->plotArea();
    // The number of value ticks follows the height of the plot.
    AplicarRangoY(Rango{MinimoY(), MaximoY()});
    // Reduced segments depend on the stretch of x shown and the plot's width.
    // New points wait for their axes (a hidden chart lays out when it shows):
    // sent now, they would be scaled for the points they replace.
    if (!m_enRangos && !m_pendiente)
        EnviarPendientes(true);
    ActualizarEtiquetasX();
    ActualizarLineaVertical();
    m_capaMarcas->PonerRect(area);
    m_capaBandas->PonerRect(area);
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
    return m_ejeY->min() / m_escalaY;
}

double Grafico::MaximoY() const
{
    return m_ejeY->max() / m_escalaY;
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
    const double c = MinimoY(), d = MaximoY();
    return QPointF(area.left() + (x - a) / (b - a) * area.width(), area.bottom() - (y - c) / (d - c) * area.height());
}

QPointF Grafico::AValor(const QPointF& p) const
{
    const QRectF area = chart()->plotArea();
    const double a = m_ejeX ? m_ejeX->min() : 0.0, b = m_ejeX ? m_ejeX->max() : 1.0;
    const double c = MinimoY(), d = MaximoY();
    return QPointF(a + (p.x() - area.left()) / area.width() * (b - a),
                   c + (area.bottom() - p.y()) / area.height() * (d - c));
}

} // namespace tendora
