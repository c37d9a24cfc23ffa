// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the chart component tests share: sample series, settling a chart
// and where Qt Charts puts a value.

#include "ui/Grafico.h"

#include <QAbstractSeries>
#include <QChart>
#include <QColor>
#include <QCoreApplication>
#include <QCursor>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <vector>

namespace prueba {

const QColor Azul(0, 0, 255);
const QColor Rojo(255, 0, 0);
const QColor Lima(0, 255, 0);

inline QString Etiqueta(int t)
{
    return QStringLiteral("%1-%2").arg(2000 + (t - 1) / 12).arg((t - 1) % 12 + 1);
}

inline std::vector<tendora::PuntoGrafico> Puntos(int n, double (*f)(int), const QColor& color = Azul)
{
    std::vector<tendora::PuntoGrafico> v;
    for (int t = 1; t <= n; ++t)
        v.push_back(tendora::PuntoGrafico{double(t), f(t), Etiqueta(t), color, false});
    return v;
}

// Where two point lists first differ in what a chart draws from them (x, y,
// label and, with todo, colour and null): -1 when alike.
inline int Diferencia(const std::vector<tendora::PuntoGrafico>& a, const std::vector<tendora::PuntoGrafico>& b,
                      bool todo = true)
{
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a[i].x != b[i].x || a[i].y != b[i].y || a[i].etiqueta != b[i].etiqueta ||
            (todo && (a[i].color != b[i].color || a[i].nulo != b[i].nulo)))
            return int(i);
    return -1;
}

// A new series filled with the points.
inline tendora::SerieGrafico* Serie(tendora::Grafico& g, const char* nombre, const char* titulo,
                                    tendora::TipoSerie tipo, const std::vector<tendora::PuntoGrafico>& puntos,
                                    const tendora::EstiloSerie& e)
{
    tendora::SerieGrafico* s = g.CrearSerie(QString::fromUtf8(nombre), QString::fromUtf8(titulo), tipo, e);
    g.PonerPuntos(s, puntos);
    return s;
}

// The same in a colour of its own; an invalid one leaves the chart's.
inline tendora::SerieGrafico* Serie(tendora::Grafico& g, const char* nombre, const char* titulo,
                                    tendora::TipoSerie tipo, const std::vector<tendora::PuntoGrafico>& puntos,
                                    const QColor& color = QColor())
{
    return Serie(g, nombre, titulo, tipo, puntos, tendora::EstiloSerie{.color = color});
}

// The "Datos" series of n points of f.
inline tendora::SerieGrafico* Datos(tendora::Grafico& g, tendora::TipoSerie tipo, int n, double (*f)(int),
                                    const QColor& color = QColor())
{
    return Serie(g, "SeriesDatos", "Datos", tipo, Puntos(n, f), color);
}

inline double Onda(int t)
{
    return 50.0 + 30.0 * std::sin(t / 3.0);
}

inline double Diez(int t)
{
    return 10.0 * t;
}

inline void Asentar(tendora::Grafico& g)
{
    g.ActualizarAhora();
    QCoreApplication::processEvents();
    // Axis items Qt removed wait for a deletion the test's event loop never reaches.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g.ActualizarAhora();
    QCoreApplication::processEvents();
}

// Where Qt Charts itself puts a value, in view coordinates.
inline QPoint EnVista(tendora::Grafico& g, tendora::SerieGrafico* s, double x, double y)
{
    QAbstractSeries* qs = s->SeriesQt().first();
    const QPointF c = g.chart()->mapToPosition(QPointF(x, y), qs);
    return g.mapFromScene(g.chart()->mapToScene(c));
}

// A left-button drag as the mouse delivers it: press at the first point, a move
// to each of the others, release at the last.
inline void Arrastrar(QWidget* vista, std::initializer_list<QPoint> camino)
{
    QTest::mousePress(vista, Qt::LeftButton, {}, *camino.begin());
    for (auto p = camino.begin() + 1; p != camino.end(); ++p)
        QTest::mouseMove(vista, *p);
    QTest::mouseRelease(vista, Qt::LeftButton, {}, *(camino.end() - 1));
}

// The pointer over p, the real one too: on an X server its own late motion
// would otherwise undo the hover.
inline void Cernerse(QWidget* vista, QPoint p)
{
    QCursor::setPos(vista->mapToGlobal(p));
    QTest::mouseMove(vista, p);
}

inline std::unique_ptr<tendora::Grafico> NuevoGrafico(int ancho = 800, int alto = 500)
{
    auto g = std::make_unique<tendora::Grafico>();
    g->resize(ancho, alto);
    g->PonerZoomAnimado(false);
    g->show();
    if (!QTest::qWaitForWindowExposed(g.get()))
        qWarning("chart window not exposed");
    return g;
}

} // namespace prueba
