// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window benchmarks share: finding a control, printing a line at
// once, and the process's memory.
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace medir {

// The best of several runs of f, in seconds: the least disturbed by a busy machine.
template <class F>
double Mejor(int veces, F f)
{
    double mejor = 1e300;
    for (int k = 0; k < veces; ++k) {
        QElapsedTimer reloj;
        reloj.start();
        f();
        mejor = std::min(mejor, static_cast<double>(reloj.nsecsElapsed()) / 1e9);
    }
    return mejor;
}

// A control of the window by its objectName, as automation finds it.
template <class T>
T* Control(const QObject& w, const char* nombre)
{
    return w.findChild<T*>(QLatin1String(nombre));
}

// Flushed, so a slow run shows its progress.
inline void Linea(const QString& texto)
{
    std::fputs(qPrintable(texto + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Peak resident memory so far.
inline double PicoMiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Resident memory now.
inline double ActualMiB()
{
    long paginas = 0, residentes = 0;
    std::ifstream f("/proc/self/statm");
    f >> paginas >> residentes;
    return static_cast<double>(residentes) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

} // namespace medir
