// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse work on a Grafico: legend checks, the zoom rectangle, the point drag
// and the pop-up menu.
#include "ui/Grafico.h"

#include <QCategoryAxis>
#include <QChart>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QRubberBand>
#include <QVariantAnimation>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tendora {

namespace {

// Lines with more points than this jump to a zoom instead of animating it.
constexpr int MaxPuntosAnimados = 20000;

// Squared distance from p to the segment a-b.
qreal Distancia2(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a, ap = p - a;
    const qreal largo2 = QPointF::dotProduct(ab, ab);
    const qreal t = largo2 > 0.0 ? std::clamp(QPointF::dotProduct(ap, ab) / largo2, 0.0, 1.0) : 0.0;
    const QPointF d = ap - t * ab;
    return QPointF::dotProduct(d, d);
}

} // namespace

void Grafico::PonerZoomPermitido(bool permitido)
{
    m_zoomPermitido = permitido;
    if (!permitido && m_ampliado)
        RestaurarZoom();
}

void Grafico::Ampliar(const QRectF& rectVista)
{
    if (m_barras)
        return;
    const QRectF area = chart()->plotArea();
    const QRectF enGrafico =
        QRectF(AGrafico(rectVista.topLeft().toPoint()), AGrafico(rectVista.bottomRight().toPoint())).normalized() &
        area;
    if (enGrafico.width() < 2.0 || enGrafico.height() < 2.0)
        return;
    const QPointF p1 = AValor(enGrafico.topLeft()), p2 = AValor(enGrafico.bottomRight());
    const Rango x{std::min(p1.x(), p2.x()), std::max(p1.x(), p2.x())};
    const Rango y{std::min(p1.y(), p2.y()), std::max(p1.y(), p2.y())};
    if (!(x.max > x.min) || !(y.max > y.min))
        return;
    m_ampliado = true;
    AnimarHacia(x, y);
}

void Grafico::RestaurarZoom()
{
    m_ampliado = false;
    Rango fx{MinimoX(), MaximoX()}, fy{MinimoY(), MaximoY()};
    if (!m_barras && !RangoCompletoX(fx))
        fx = Rango{MinimoX(), MaximoX()};
    if (!m_ejeXAuto)
        fx = m_manualX;
    if (!RangoCompletoY(fy))
        fy = Rango{MinimoY(), MaximoY()};
    if (!m_ejeYAuto)
        fy = m_manualY;
    AnimarHacia(fx, fy);
}

void Grafico::AnimarHacia(const Rango& x, const Rango& y)
{
    m_animacion->stop();
    long long puntos = 0;
    for (const SerieGrafico* s : m_series)
        puntos += s->count();
    if (m_zoomAnimado && isVisible() && puntos <= MaxPuntosAnimados) {
        m_desdeX = Rango{MinimoX(), MaximoX()};
        m_desdeY = Rango{MinimoY(), MaximoY()};
        m_hastaX = x;
        m_hastaY = y;
        m_animacion->start();
    } else {
        AplicarRangos(x, y);
    }
}

// ---------------------------------------------------------------------------
void Grafico::PonerSerieArrastre(SerieGrafico* serie)
{
    m_indiceArrastre = -1;
    m_serieArrastre = serie;
}

void Grafico::ActivarArrastre(bool activo)
{
    m_arrastreActivo = activo;
    if (!activo) {
        m_indiceArrastre = -1;
        viewport()->unsetCursor();
    }
}

int Grafico::PuntoBajo(const QPoint& vista) const
{
    const SerieGrafico* s = m_serieArrastre;
    if (!s || !s->m_visible || m_barras)
        return -1;
    const QRectF area = chart()->plotArea();
    const QPointF c = AGrafico(vista);
    const qreal tolerancia = std::max<qreal>(5.0, s->m_estilo.tamanoMarca / 2.0 + 2.0);
    if (!area.adjusted(-tolerancia, -tolerancia, tolerancia, tolerancia).contains(c))
        return -1;
    int mejor = -1;
    qreal mejorD = tolerancia * tolerancia;
    for (size_t i = 0; i < s->m_puntos->size(); ++i) {
        const PuntoGrafico& p = (*s->m_puntos)[i];
        if (p.nulo)
            continue;
        const QPointF q = APosicion(p.x, p.y);
        const qreal dx = q.x() - c.x(), dy = q.y() - c.y();
        const qreal d = dx * dx + dy * dy;
        if (d <= mejorD && (mejor < 0 || d < mejorD)) {
            mejor = int(i);
            mejorD = d;
        }
    }
    return mejor;
}

void Grafico::AjustarCursor(const QPoint& vista)
{
    if (m_arrastreActivo && PuntoBajo(vista) >= 0)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

// ---------------------------------------------------------------------------
void Grafico::resizeEvent(QResizeEvent* evento)
{
    QChartView::resizeEvent(evento);
    ActualizarLeyenda();
    RecolocarAdornos();
}

void Grafico::mousePressEvent(QMouseEvent* evento)
{
    const QPoint pos = evento->position().toPoint();
    if (evento->button() == Qt::LeftButton) {
        if (SerieGrafico* s = EntradaBajo(pos)) {
            s->PonerVisible(!s->isVisible());
            emit serieConmutada(s, s->isVisible());
            evento->accept();
            return;
        }
        if (m_arrastreActivo) {
            const int i = PuntoBajo(pos);
            if (i >= 0) {
                // A held point keeps the zoom from starting.
                m_indiceArrastre = i;
                m_arrastreMovido = false;
                evento->accept();
                return;
            }
        }
        if (m_zoomPermitido && !m_barras && chart()->plotArea().contains(AGrafico(pos))) {
            m_pulsadoZoom = true;
            m_origenBanda = pos;
            m_banda->setGeometry(QRect(pos, QSize()));
            evento->accept();
            return;
        }
    }
    QGraphicsView::mousePressEvent(evento);
}

void Grafico::mouseMoveEvent(QMouseEvent* evento)
{
    const QPoint pos = evento->position().toPoint();
    if (m_indiceArrastre >= 0) {
        SerieGrafico* s = m_serieArrastre;
        const int i = m_indiceArrastre;
        if (!s || i >= s->count()) {
            m_indiceArrastre = -1;
            return;
        }
        const double y = AValor(AGrafico(pos)).y();
        if (!std::isfinite(y))
            return;
        if (!m_arrastreMovido) {
            m_arrastreMovido = true;
            emit arrastreIniciado(i);
        }
        MoverPunto(s, i, y);
        emit puntoArrastrado(i, y);
        evento->accept();
        return;
    }
    if (m_pulsadoZoom) {
        const QRect r = QRect(m_origenBanda, pos).normalized();
        if (r.width() > 2 || r.height() > 2) {
            m_banda->setGeometry(r);
            m_banda->show();
        }
        evento->accept();
        return;
    }
    AjustarCursor(pos);
    QGraphicsView::mouseMoveEvent(evento);
}

void Grafico::mouseReleaseEvent(QMouseEvent* evento)
{
    const QPoint pos = evento->position().toPoint();
    const Qt::MouseButton boton = evento->button();
    if (boton == Qt::LeftButton && m_indiceArrastre >= 0) {
        const int i = m_indiceArrastre;
        const bool movido = m_arrastreMovido;
        m_indiceArrastre = -1;
        m_arrastreMovido = false;
        SerieGrafico* s = m_serieArrastre;
        if (movido && s && i < s->count()) {
            Programar();
            emit arrastreTerminado(i, (*s->m_puntos)[size_t(i)].y);
        }
    } else if (boton == Qt::LeftButton && m_pulsadoZoom) {
        m_pulsadoZoom = false;
        m_banda->hide();
        const QPoint d = pos - m_origenBanda;
        if (d.x() < -3)
            RestaurarZoom(); // dragged leftwards: back to the whole chart
        else if (d.x() > 3 && std::abs(d.y()) > 3)
            Ampliar(QRectF(m_origenBanda, pos).normalized());
    } else {
        QGraphicsView::mouseReleaseEvent(evento);
    }
    evento->accept();
    // Last, since the window may reload the whole chart from here.
    emit ratonSoltado(boton);
}

void Grafico::mouseDoubleClickEvent(QMouseEvent* evento)
{
    // The second press of a double click arrives as this event alone: on a
    // legend check it is one more click.
    if (evento->button() == Qt::LeftButton) {
        if (SerieGrafico* s = EntradaBajo(evento->position().toPoint())) {
            s->PonerVisible(!s->isVisible());
            emit serieConmutada(s, s->isVisible());
            evento->accept();
            return;
        }
    }
    if (evento->button() == Qt::LeftButton && m_ampliado) {
        RestaurarZoom();
        evento->accept();
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(evento);
}

void Grafico::wheelEvent(QWheelEvent* evento)
{
    evento->ignore(); // nothing to scroll: the chart always fills the view
}

void Grafico::contextMenuEvent(QContextMenuEvent* evento)
{
    if (m_indiceArrastre >= 0 || m_pulsadoZoom) {
        evento->accept();
        return;
    }
    AbrirMenu(evento->globalPos());
    evento->accept();
}

void Grafico::PonerMenu(QMenu* menu)
{
    m_menu = menu;
}

QMenu* Grafico::Menu() const
{
    return m_menu.data();
}

SerieGrafico* Grafico::SerieBajo(const QPoint& vista) const
{
    if (SerieGrafico* s = EntradaBajo(vista))
        return s;
    if (m_barras || !m_ejeX || !(m_ejeX->max() > m_ejeX->min()) || !(MaximoY() > MinimoY()))
        return nullptr;
    constexpr qreal tolerancia = 5.0;
    const QPointF c = AGrafico(vista);
    if (!chart()->plotArea().adjusted(-tolerancia, -tolerancia, tolerancia, tolerancia).contains(c))
        return nullptr;
    SerieGrafico* mejor = nullptr;
    qreal mejorD = tolerancia * tolerancia;
    for (SerieGrafico* s : m_series) {
        if (!s->m_visible || s->m_tipo == TipoSerie::Banda)
            continue;
        bool hayAnterior = false; // a null point breaks the line
        QPointF anterior;
        for (const PuntoGrafico& p : *s->m_puntos) {
            if (p.nulo) {
                hayAnterior = false;
                continue;
            }
            const QPointF q = APosicion(p.x, p.y);
            const qreal d = Distancia2(c, hayAnterior ? anterior : q, q);
            // Later series are drawn over earlier ones: on a tie they win.
            if (d <= mejorD) {
                mejor = s;
                mejorD = d;
            }
            anterior = q;
            hayAnterior = true;
        }
    }
    return mejor;
}

void Grafico::AbrirMenu(const QPoint& global)
{
    emit menuSolicitado(this, global);
    if (m_menu)
        m_menu->popup(global);
}

} // namespace tendora
