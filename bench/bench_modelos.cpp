// SPDX-License-Identifier: GPL-3.0-or-later
// Time of one run of each model, and of the fit measures over it, on a
// 144-value and a 100 000-value history with horizon 12.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "models/Catalogo.h"
#include "models/Medidas.h"

using namespace tendora;

// Counts heap allocations, to show that a run makes none.
static long long asignaciones = 0;
void* operator new(std::size_t n)
{
    ++asignaciones;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

static Espacio Historia(int n, int V)
{
    Espacio e;
    e.TotalDatos = e.NumDatos = n;
    DimensionarTabla(e, V);
    for (int i = 1; i <= n; ++i) {
        const int mes = (i - 1) % 12 + 1;
        e.Poner(i, 1, i);
        e.Poner(i, 2, 2000 + (i - 1) / 12);
        e.Poner(i, 3, mes);
        // Trend, season and a zero now and then.
        const double v = i % 11 == 0 ? 0.0 : (100.0 + 0.5 * i) * (1.0 + 0.2 * std::sin(mes * 0.52));
        e.Poner(i, 4, v);
    }
    e.DatosCargados = true;
    return e;
}

// Nanoseconds per run of the model (as the window runs it: table cleared and
// dated first), best of the batches.
static double NsPorEjecucion(Espacio& e, int item, const Parametros& p, int lotes, int veces)
{
    double mejor = 1e300;
    for (int lote = 0; lote < lotes; ++lote) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int k = 0; k < veces; ++k) {
            LimpiarColumnasModelo(e, p.V);
            PrepararFilasPrevision(e, p.V);
            EjecutarModelo(e, item, p);
        }
        const auto t1 = std::chrono::steady_clock::now();
        mejor = std::min(mejor, std::chrono::duration<double, std::nano>(t1 - t0).count() / veces);
    }
    return mejor;
}

int main()
{
    const int V = 12;
    Parametros p;
    p.V = V;
    p.AlfaHLT = 0.3;
    p.BetaHLT = 0.1;
    p.PhiHW = 0.3;
    std::printf("%-5s %14s %14s %16s %12s\n", "model", "144 run ns", "144 errors ns", "100000 run us", "allocs/run");
    for (int item = 0; item < NumModelos; ++item) {
        double ns144 = 0, nsErr = 0, us100k = 0;
        long long asignadas = 0;
        {
            // Best of several batches: on a shared virtual machine a batch
            // now and then runs at half speed.
            Espacio e = Historia(144, V);
            const long long antes = asignaciones;
            ns144 = NsPorEjecucion(e, item, p, 9, 4000);
            asignadas = asignaciones - antes;
            nsErr = 1e300;
            for (int lote = 0; lote < 9; ++lote) {
                const auto t0 = std::chrono::steady_clock::now();
                volatile double sumidero = 0;
                for (int k = 0; k < 4000; ++k)
                    sumidero = sumidero + CalcularMedidas(e, 1, e.FilaInicioPrev + 1, e.NumDatos).MSE.value_or(0.0);
                const auto t1 = std::chrono::steady_clock::now();
                nsErr = std::min(nsErr, std::chrono::duration<double, std::nano>(t1 - t0).count() / 4000);
            }
        }
        {
            Espacio e = Historia(100000, V);
            us100k = NsPorEjecucion(e, item, p, 5, 4) / 1000.0;
        }
        std::printf("%-5.*s %14.0f %14.0f %16.0f %12.3g\n", int(Catalogo[size_t(item)].Codigo.size()),
                    Catalogo[size_t(item)].Codigo.data(), ns144, nsErr, us100k,
                    static_cast<double>(asignadas) / (9.0 * 4000.0));
    }
    return 0;
}
