// SPDX-License-Identifier: GPL-3.0-or-later
// Time of filling the chart component: one line series of 144, 10 000 and
// 100 000 points (fill, then layout, then one frame), and 200 comparison copies
// of a 150-point series. Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_grafico
#include "ui/Grafico.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace tendora;

namespace {

std::vector<PuntoGrafico> Serie(int n, const QColor& color)
{
    std::vector<PuntoGrafico> v;
    v.reserve(size_t(n));
    for (int t = 1; t <= n; ++t) {
        PuntoGrafico p;
        p.x = t;
        p.y = 100.0 + 40.0 * std::sin(t / 5.0) + (t % 13);
        p.etiqueta = QStringLiteral("%1-%2").arg(2000 + (t - 1) / 12).arg((t - 1) % 12 + 1);
        p.color = p.y <= 70.0 ? QColor(0, 255, 0) : color;
        v.push_back(std::move(p));
    }
    return v;
}

double Ms(QElapsedTimer& t)
{
    const double ms = t.nsecsElapsed() / 1e6;
    t.restart();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("%-34s %10s %10s %10s\n", "case", "fill ms", "layout ms", "frame ms");
    for (int n : {144, 10000, 100000}) {
        for (TipoSerie tipo : {TipoSerie::Linea, TipoSerie::LineaPuntos}) {
            Grafico g;
            g.resize(1200, 600);
            g.show();
            EstiloSerie e;
            e.color = QColor(0, 0, 255);
            e.forma = FormaMarca::Cuadrado;
            SerieGrafico* s = g.CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), tipo, e);
            g.PonerLineaVertical(n * 0.8);
            QCoreApplication::processEvents();
            const auto puntos = Serie(n, e.color);
            QElapsedTimer t;
            t.start();
            g.PonerPuntos(s, puntos);
            const double relleno = Ms(t);
            g.ActualizarAhora();
            QCoreApplication::processEvents();
            const double disposicion = Ms(t);
            const QPixmap px = g.grab();
            const double cuadro = Ms(t);
            // Refilling an existing series (the redraw after a calculation).
            g.PonerPuntos(s, puntos);
            g.ActualizarAhora();
            QCoreApplication::processEvents();
            const double otraVez = Ms(t);
            char nombre[64];
            std::snprintf(nombre, sizeof nombre, "%s %d", tipo == TipoSerie::Linea ? "line" : "line+markers", n);
            std::printf("%-34s %10.1f %10.1f %10.1f   (refill+layout %.1f ms)\n", nombre, relleno, disposicion, cuadro,
                        otraVez);
        }
    }

    // The forecast chart's six series refilled together, as a redraw after a calculation does.
    for (int n : {144, 10000, 100000}) {
        Grafico g;
        g.resize(1200, 600);
        g.show();
        EstiloSerie e;
        e.color = QColor(255, 0, 0);
        SerieGrafico* series[6] = {
            g.CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión"), TipoSerie::LineaPuntos, e),
            g.CrearSerie(QStringLiteral("SeriesMediaMovil"), QStringLiteral("Media Móvil"), TipoSerie::Linea),
            g.CrearSerie(QStringLiteral("SeriesTendencia"), QStringLiteral("Tendencia"), TipoSerie::Linea),
            g.CrearSerie(QStringLiteral("SeriesDatos"), QStringLiteral("Datos"), TipoSerie::LineaPuntos),
            g.CrearSerie(QStringLiteral("SerieDesvPos"), QStringLiteral("Desv. +"), TipoSerie::Linea),
            g.CrearSerie(QStringLiteral("SerieDesvNeg"), QStringLiteral("Desv. -"), TipoSerie::Linea)};
        series[4]->PonerVisible(false);
        series[5]->PonerVisible(false);
        const auto puntos = Serie(n, QColor(0, 0, 255));
        double total[2] = {0.0, 0.0};
        for (int vez = 0; vez < 2; ++vez) {
            QElapsedTimer t;
            t.start();
            for (SerieGrafico* s : series)
                g.PonerPuntos(s, puntos);
            g.PonerLineaVertical(n * 0.8);
            g.ActualizarAhora();
            QCoreApplication::processEvents();
            total[vez] = Ms(t);
        }
        char nombre[64];
        std::snprintf(nombre, sizeof nombre, "6 series of %d, fill+layout", n);
        std::printf("%-34s %10.1f   (first drawing %.1f ms)\n", nombre, total[1], total[0]);
    }

    {
        Grafico g;
        g.resize(1200, 600);
        g.show();
        SerieGrafico* datos =
            g.CrearSerie(QStringLiteral("SeriesDatosComp"), QStringLiteral("Datos"), TipoSerie::LineaPuntos);
        SerieGrafico* prev =
            g.CrearSerie(QStringLiteral("SeriesPrevision"), QStringLiteral("Previsión"), TipoSerie::LineaPuntos);
        g.PonerPuntos(datos, Serie(138, QColor(0, 0, 255)));
        g.PonerPuntos(prev, Serie(150, QColor(255, 0, 0)));
        g.ActualizarAhora();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 200; ++i)
            g.CopiarSerie(prev, QStringLiteral("C%1").arg(i), QStringLiteral("P HLT %1").arg(i),
                          QColor(i, 100, 255 - i));
        const double copias = Ms(t);
        g.ActualizarAhora();
        QCoreApplication::processEvents();
        const double disposicion = Ms(t);
        const QPixmap px = g.grab();
        const double cuadro = Ms(t);
        std::printf("%-34s %10.1f %10.1f %10.1f\n", "200 comparison copies of 150", copias, disposicion, cuadro);
        g.EliminarSeriesDesde(1);
        g.ActualizarAhora();
        QCoreApplication::processEvents();
        std::printf("%-34s %10.1f\n", "remove 200 copies + layout", Ms(t));
    }
    return 0;
}
