// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the files of the chart component share: the two layers drawn over the
// plot area, their stacking and the locale of the axis numbers. Not for use
// outside the component.
#include "ui/Grafico.h"
#include "data/Numeros.h"

#include <QGraphicsItem>
#include <QLocale>
#include <QPainter>
#include <QValueAxis>
#include <QCategoryAxis>

#include <algorithm>
#include <cmath>

namespace tendora {

// Qt Charts puts the grid at z 2, the axes at 3 and the lines at 4.
inline constexpr qreal ZBandas = 2.5;
inline constexpr qreal ZLinea = 3.5;
inline constexpr qreal ZMarcas = 4.5;
inline constexpr qreal ZLeyenda = 10.0;

// Axis and bar numbers: the regional decimal mark, never a thousands separator.
inline QLocale LocaleGrafico()
{
    QLocale l;
    l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
    return l;
}

// How labels write the power of ten Qt's values were multiplied by: "E-15"
// for 1e15, nothing for 1.
inline QString SufijoEscala(double escala)
{
    if (escala == 1.0)
        return QString();
    return QStringLiteral("E") + TextoEntero(-int(std::lround(std::log10(escala))));
}

// A layer the chart paints itself over an area it sets; it takes no mouse.
class Capa : public QGraphicsItem {
public:
    Capa(Grafico* grafico, QGraphicsItem* padre, qreal z) : QGraphicsItem(padre), m_grafico(grafico)
    {
        setZValue(z);
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

protected:
    Grafico* m_grafico;
    QRectF m_rect;
};

// Markers of every series, drawn in one pass over the plot area.
class CapaMarcas : public Capa {
public:
    CapaMarcas(Grafico* grafico, QGraphicsItem* padre) : Capa(grafico, padre, ZMarcas) { }
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
            const auto& pts = *s->m_puntos;
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
};

// Bands, filled below the axes and the lines so that both stay readable.
class CapaBandas : public Capa {
public:
    CapaBandas(Grafico* grafico, QGraphicsItem* padre) : Capa(grafico, padre, ZBandas) { }
    void paint(QPainter* pintor, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const Grafico& g = *m_grafico;
        if (g.m_barras || !g.m_ejeX || m_rect.isEmpty() || !(g.m_ejeX->max() > g.m_ejeX->min()))
            return;
        pintor->save();
        pintor->setClipRect(m_rect);
        pintor->setPen(Qt::NoPen);
        for (const SerieGrafico* s : g.m_series) {
            if (!s->m_visible || s->m_tipo != TipoSerie::Banda)
                continue;
            QPolygonF contorno;
            for (const PuntoGrafico& p : *s->m_puntos)
                if (!p.nulo)
                    contorno << g.APosicion(p.x, p.y);
            if (contorno.size() < 3)
                continue;
            pintor->setBrush(s->m_estilo.color);
            pintor->drawPolygon(contorno);
        }
        pintor->restore();
    }
};

// ---------------------------------------------------------------------------
// The legend: a check box, a sample of the line and the title in the series' colour.
// On a picture or paper (Grafico::m_leyendaLlana) the check boxes would only
// puzzle the reader: it lists, without them, only the series that show there.
class CapaLeyenda : public Capa {
public:
    CapaLeyenda(Grafico* grafico, QGraphicsItem* padre) : Capa(grafico, padre, ZLeyenda) { }

    // Whether a series gets an entry in the plain legend: shown, with a title
    // ("-" stands for none) and with a point drawn.
    static bool EnLeyendaLlana(const SerieGrafico& s)
    {
        const QString t = s.m_titulo.trimmed();
        if (!s.m_visible || t.isEmpty() || t == QLatin1String("-"))
            return false;
        return std::any_of(s.m_puntos->begin(), s.m_puntos->end(), [](const PuntoGrafico& p) { return !p.nulo; });
    }

    void paint(QPainter* pintor, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const Grafico& g = *m_grafico;
        if (!g.m_leyendaCabe)
            return;
        const bool llana = g.m_leyendaLlana;
        // The plain legend fills the same places from the first on; a single
        // column stays centred.
        std::vector<const SerieGrafico*> series;
        for (const auto& e : g.m_entradas)
            if (e.serie && (!llana || EnLeyendaLlana(*e.serie)))
                series.push_back(e.serie);
        qreal bajar = 0.0;
        if (llana && !g.m_entradas.empty() && g.m_entradas.back().rect.left() == g.m_entradas.front().rect.left())
            bajar = qreal(g.m_entradas.size() - series.size()) * g.m_entradas.front().rect.height() / 2.0;
        pintor->save();
        pintor->setFont(g.FuenteLeyenda());
        for (size_t i = 0; i < series.size(); ++i) {
            const SerieGrafico* s = series[i];
            const QRectF rect = llana ? g.m_entradas[i].rect.translated(0.0, bajar) : g.m_entradas[i].rect;
            const QColor color = s->m_estilo.color;
            const qreal cy = rect.center().y();
            qreal x0 = rect.left() + 2.0;
            if (!llana) {
                // Check box.
                const QRectF caja(rect.left() + 2.0, cy - 5.5, 11.0, 11.0);
                pintor->setPen(QPen(QColor(96, 96, 96), 1.0));
                pintor->setBrush(Qt::white);
                pintor->drawRect(caja);
                if (s->m_visible) {
                    QPen marca(Qt::black, 1.6);
                    marca.setCapStyle(Qt::RoundCap);
                    marca.setJoinStyle(Qt::RoundJoin);
                    pintor->setPen(marca);
                    const QPointF v[3] = {QPointF(caja.left() + 2.5, cy),
                                          QPointF(caja.left() + 4.5, caja.bottom() - 2.5),
                                          QPointF(caja.right() - 2.0, caja.top() + 2.0)};
                    pintor->drawPolyline(v, 3);
                }
                x0 = caja.right() + 4.0;
            }
            // Sample of the line, or of the bar.
            if (s->m_tipo == TipoSerie::Barras || s->m_tipo == TipoSerie::Banda) {
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
            // Title, opaque: a band's translucent colour would fade the text.
            pintor->setPen(QColor(color.rgb()));
            const QRectF texto(x0 + 22.0, rect.top(), rect.right() - x0 - 22.0, rect.height());
            pintor->drawText(texto, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, s->m_titulo);
        }
        pintor->restore();
    }
};

} // namespace tendora
