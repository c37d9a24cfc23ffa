// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the parameter variation through the window's own path (the ranges
// of FormRangoVar, then the loop of the selected model) without its dialogs,
// on the 144 monthly values of AirPassengers, "Dibujar" unticked:
//   - HLT, alpha and beta 0 to 1 in steps of 0.01 (101 x 101 runs, both
//     ends included);
//   - H-W with the dialog's defaults (9 x 9 x 9 = 729 runs);
//   - with --completo, H-W over the whole two-decimal grid (101³ = 1 030 301 runs).
// Also one drawn grid (LES defaults, 9 runs with charts). Prints runs per
// second and the peak memory of the process.
//   QT_QPA_PLATFORM=offscreen ./bench_bench_experimentos [--completo]
// With --aplicar [N], instead: N monthly values (1 000 000 unless given)
// loaded through "Cargar", each of the twelve models alone through
// "Calcular", then "Aplicar todos los métodos", each until its charts are
// drawn and the window is idle again.
//   QT_QPA_PLATFORM=offscreen ./bench_bench_experimentos --aplicar [N]
#include "app/Aplicacion.h"
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/RangoVarUnit.h"
#include "ui/Rejilla.h"
#include "Medir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QTabWidget>
#include <QSpinBox>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

using namespace medir;

namespace {

struct Rango {
    double desde, hasta, inc;
};

void Medir(TFormMain* w, const char* nombre, int item, Rango alfa, Rango beta, Rango phi, bool dibujar)
{
    // "Borrar información sobre errores": the log and both tables start empty.
    w->Borrarinformacinsobreerrores1Click();
    w->SesionActual.SeleccionarModelo(item);
    TFormRangoVar* d = w->FormRangoVar;
    d->DesdeAlfa->setValue(alfa.desde);
    d->HastaAlfa->setValue(alfa.hasta);
    d->IncAlfa->setValue(alfa.inc);
    d->DesdeBeta->setValue(beta.desde);
    d->HastaBeta->setValue(beta.hasta);
    d->IncBeta->setValue(beta.inc);
    d->DesdePhi->setValue(phi.desde);
    d->HastaPhi->setValue(phi.hasta);
    d->IncPhi->setValue(phi.inc);
    d->CBGraficos->setChecked(dibujar);

    QElapsedTimer reloj;
    reloj.start();
    const long long pasos = w->Experimentacion.VariarParametros();
    const double s = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    Linea(QStringLiteral("%1: %2 runs in %3 s = %4 runs/s (%5 us/run); fit rows %6; peak RSS %7 MiB")
              .arg(QLatin1String(nombre))
              .arg(pasos)
              .arg(s, 0, 'f', 3)
              .arg(static_cast<double>(pasos) / s, 0, 'f', 0)
              .arg(s * 1e6 / static_cast<double>(pasos), 0, 'f', 1)
              .arg(Control<tendora::Rejilla>(*w, "AdvSGErrAjuste")->RowCount() - 1)
              .arg(PicoMiB(), 0, 'f', 0));
}

// A trending seasonal series with noise of whole tenths, every model fits it.
QString Serie(int n)
{
    QString t;
    t.reserve(qsizetype(n) * 20);
    int anio = 1900, mes = 1;
    for (int i = 1; i <= n; ++i) {
        const double v = 500.0 + 0.001 * i + 40.0 * std::sin(i * 3.14159265358979 / 6.0) + (i * 7919 % 13) / 10.0;
        t += QString::number(anio) + QLatin1Char('\t') + QString::number(mes) + QLatin1Char('\t') +
             QString::number(v, 'f', 1) + QLatin1Char('\n');
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return t;
}

double Segundos(QElapsedTimer& reloj)
{
    QCoreApplication::processEvents(); // the charts are laid out from the event loop
    const double s = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    reloj.restart();
    return s;
}

int AplicarTodos(TFormMain* w, int n)
{
    // A model that cannot fit the series says so in a message: closed at once.
    QTimer cerrar;
    cerrar.setInterval(50);
    QObject::connect(&cerrar, &QTimer::timeout, [] {
        if (QWidget* m = QApplication::activeModalWidget())
            if (auto* b = m->findChild<QAbstractButton*>(QStringLiteral("BBAceptar")))
                b->click();
    });
    cerrar.start();
    w->resize(1400, 900);
    QCoreApplication::processEvents();
    QElapsedTimer reloj;
    reloj.start();
    Control<QPlainTextEdit>(*w, "Memo1")->setPlainText(Serie(n));
    Control<QToolButton>(*w, "TBTransferir")->click();
    Linea(QStringLiteral("%1 values loaded in %2 s").arg(w->Ws.TotalDatos).arg(Segundos(reloj), 0, 'f', 2));
    double suma = 0.0;
    for (int i = 0; i < tendora::NumModelos; ++i) {
        // As the user runs one model: its button on the model page, then "Calcular".
        reloj.restart();
        Control<QRadioButton>(*w, qPrintable(QStringLiteral("RGModelo%1").arg(i)))->click();
        Control<QToolButton>(*w, "TBCalcular")->click();
        const double s = Segundos(reloj);
        suma += s;
        auto* ajuste = Control<tendora::Rejilla>(*w, "AdvSGErrAjuste");
        Linea(QStringLiteral("  Calcular %1: %2 s").arg(ajuste->Celda(0, ajuste->RowCount() - 1)).arg(s, 0, 'f', 2));
    }
    Linea(QStringLiteral("twelve models alone: %1 s").arg(suma, 0, 'f', 2));
    reloj.restart();
    Control<QAction>(*w, "Aplicartodoslosmtodos1")->trigger();
    const double todos = Segundos(reloj);
    Linea(QStringLiteral("Aplicar todos los métodos: %1 s (%2 comparison series); peak RSS %3 MiB")
              .arg(todos, 0, 'f', 2)
              .arg(Control<tendora::Grafico>(*w, "ChartPC")->NumSeries() - 1)
              .arg(PicoMiB(), 0, 'f', 0));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool completo = argc > 1 && std::strcmp(argv[1], "--completo") == 0;
    const bool aplicar = argc > 1 && std::strcmp(argv[1], "--aplicar") == 0;
    TAplicacion app(argc, argv);
    TFormMain* w = CrearVentanas();
    w->show();
    QCoreApplication::processEvents();
    if (aplicar) {
        const int n = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 1000000;
        const int r = AplicarTodos(w, n > 0 ? n : 1000000);
        delete w;
        return r;
    }
    // The build copies the sample files next to the executables.
    w->AbrirFichero(QCoreApplication::applicationDirPath() + QStringLiteral("/ejemplos/AirPassengers.txt"));
    w->CargarDatos();
    Linea(QStringLiteral("AirPassengers: %1 values; peak RSS at start %2 MiB")
              .arg(w->Ws.TotalDatos)
              .arg(PicoMiB(), 0, 'f', 0));

    const Rango fino{0.0, 1.0, 0.01};
    const Rango defecto{0.1, 0.9, 0.1};
    Medir(w, "LES defaults, drawn", tendora::ItemLES, defecto, defecto, defecto, true);
    Medir(w, "H-W defaults", tendora::ItemHW, defecto, defecto, defecto, false);
    Medir(w, "HLT 0..1 step 0.01", tendora::ItemHLT, fino, fino, defecto, false);
    if (completo) {
        Medir(w, "H-W 0..1 step 0.01", tendora::ItemHW, fino, fino, fino, false);
        // The user then looks at the million rows: the fit table shown, sorted
        // by its first measure, scrolled to the end, painted.
        QElapsedTimer reloj;
        reloj.start();
        Control<QTabWidget>(*w, "PageControl1")->setCurrentWidget(Control<QWidget>(*w, "TabSheetErrAjuste"));
        QCoreApplication::processEvents();
        const double mostrar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
        reloj.restart();
        Control<tendora::Rejilla>(*w, "AdvSGErrAjuste")->Ordenar(1, Qt::AscendingOrder);
        QCoreApplication::processEvents();
        const double ordenar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
        reloj.restart();
        Control<tendora::Rejilla>(*w, "AdvSGErrAjuste")->scrollToBottom();
        QCoreApplication::processEvents();
        const double bajar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
        Linea(QStringLiteral("fit table of %1 rows: shown in %2 s, sorted in %3 s, scrolled to the end in %4 s; "
                             "best %5; peak RSS %6 MiB")
                  .arg(Control<tendora::Rejilla>(*w, "AdvSGErrAjuste")->RowCount() - 1)
                  .arg(mostrar, 0, 'f', 3)
                  .arg(ordenar, 0, 'f', 3)
                  .arg(bajar, 0, 'f', 3)
                  .arg(Control<tendora::Rejilla>(*w, "AdvSGErrAjuste")->Celda(0, 1))
                  .arg(PicoMiB(), 0, 'f', 0));
    }
    delete w;
    return 0;
}
