// SPDX-License-Identifier: GPL-3.0-or-later
// Time of the window's chart drawing: the drawing after a Holt-Winters
// run on 144, 10 000 and 100 000 history rows (the filling, then the charts'
// layout, then one frame of each chart page), and 200 comparison series.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_bench_dibujar
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "Medir.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

using namespace tendora;

using namespace medir;

namespace {

QString Texto(int n)
{
    QString t;
    t.reserve(n * 20);
    int anio = 1900, mes = 1;
    for (int i = 1; i <= n; ++i) {
        const double v = 200.0 + 0.01 * i + 40.0 * std::sin(i * 3.14159265358979 / 6.0) + (i % 7);
        t += QString::number(anio) + QLatin1Char('\t') + QString::number(mes) + QLatin1Char('\t') +
             QString::number(v, 'f', 2) + QLatin1Char('\n');
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return t;
}

double Ms(QElapsedTimer& t)
{
    const double ms = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    return ms;
}

std::unique_ptr<TFormMain> Ventana()
{
    auto w = std::make_unique<TFormMain>();
    w->NombreSerie = QStringLiteral("bench");
    w->resize(1400, 900);
    w->show();
    Control<QTabWidget>(*w, "PageControl1")->setCurrentWidget(Control<QWidget>(*w, "TabSheetGrafico"));
    QCoreApplication::processEvents();
    return w;
}

void Asentar(TFormMain& w)
{
    for (Grafico* g : {Control<Grafico>(w, "ChartP"), Control<Grafico>(w, "ChartPA"), Control<Grafico>(w, "ChartPC"),
                       Control<Grafico>(w, "ChartCE")})
        g->ActualizarAhora();
}

// Holt-Winters with mild parameters; DST if it cannot fit this series.
const char* Calcular(TFormMain& w)
{
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.3);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.1);
    Control<QDoubleSpinBox>(w, "SEPhiHW")->setValue(0.3);
    w.SesionActual.SeleccionarModelo(ItemHW);
    try {
        w.EjecutarCalculo(true);
        return "H-W";
    } catch (const std::exception&) {
        w.SesionActual.SeleccionarModelo(ItemDST);
        w.EjecutarCalculo(true);
        return "DST";
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    std::printf("Drawing after H-W, horizon 12 (best of 5 drawings)\n");
    std::printf("%8s %12s %12s %12s %12s\n", "rows", "draw ms", "layout ms", "frames ms", "total ms");
    for (int n : {144, 10000, 100000}) {
        auto w = Ventana();
        Control<QPlainTextEdit>(*w, "Memo1")->setPlainText(Texto(n));
        w->CargarDatos();
        const char* modelo = Calcular(*w);
        Asentar(*w);
        QCoreApplication::processEvents();
        double mejorDibujo = 1e300, mejorLayout = 1e300, mejorFrames = 1e300, mejorTotal = 1e300;
        for (int r = 0; r < 5; ++r) {
            QElapsedTimer t;
            t.start();
            w->PrepararGraficos(w->Ws, true)();
            const double dibujo = Ms(t);
            Asentar(*w);
            QCoreApplication::processEvents();
            const double layout = Ms(t);
            for (Grafico* g : {Control<Grafico>(*w, "ChartP"), Control<Grafico>(*w, "ChartPA"),
                               Control<Grafico>(*w, "ChartPC"), Control<Grafico>(*w, "ChartCE")})
                (void)g->grab();
            const double frames = Ms(t);
            mejorDibujo = std::min(mejorDibujo, dibujo);
            mejorLayout = std::min(mejorLayout, layout);
            mejorFrames = std::min(mejorFrames, frames);
            mejorTotal = std::min(mejorTotal, dibujo + layout + frames);
        }
        std::printf("%8d %12.2f %12.2f %12.2f %12.2f  (%s)\n", n, mejorDibujo, mejorLayout, mejorFrames, mejorTotal,
                    modelo);
    }

    {
        auto w = Ventana();
        Control<QTabWidget>(*w, "PageControl1")->setCurrentWidget(Control<QWidget>(*w, "TabSheetGraficoComp"));
        Control<QPlainTextEdit>(*w, "Memo1")->setPlainText(Texto(144));
        w->CargarDatos();
        Calcular(*w);
        Asentar(*w);
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        for (int k = 0; k < 200; ++k)
            w->Compararmodelos1Click();
        const double anadir = Ms(t);
        Asentar(*w);
        QCoreApplication::processEvents();
        const double layout = Ms(t);
        (void)Control<Grafico>(*w, "ChartPC")->grab();
        const double frame = Ms(t);
        Control<QAction>(*w, "Mostrarajuste1")->trigger(); // hide the fit of all 200
        Asentar(*w);
        const double ocultar = Ms(t);
        Control<QAction>(*w, "Mostrarajuste1")->trigger();
        Asentar(*w);
        const double mostrar = Ms(t);
        Control<QAction>(*w, "Eliminarseriescomparativas1")->trigger();
        Asentar(*w);
        QCoreApplication::processEvents();
        const double eliminar = Ms(t);
        std::printf("\n200 comparison series of %d points on ChartPC\n",
                    int(Control<Grafico>(*w, "ChartP")->SerieEn(0)->count()));
        std::printf(
            "  add %.2f ms, layout %.2f ms, frame %.2f ms, hide fit %.2f ms, show fit %.2f ms, remove %.2f ms\n",
            anadir, layout, frame, ocultar, mostrar, eliminar);
    }
    return 0;
}
