// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the chart component tests share: sample series, settling a chart
// and where Qt Charts puts a value.

#include "Grafico.h"

#include <QAbstractSeries>
#include <QChart>
#include <QColor>
#include <QCoreApplication>
#include <QTest>

#include <cmath>
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
