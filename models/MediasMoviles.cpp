// SPDX-License-Identifier: GPL-3.0-or-later
// The moving-average models: MMS and MMD.
#include "models/Comunes.h"

#include <algorithm>
#include <cmath>

namespace tendora {

using namespace detalle;

// A history of whole numbers (counts, units sold) sums exactly in a double
// while every sum stays below 2^53: then a window's sum got from the one
// before (plus the value that enters, less the one that leaves) is the very
// number the sum afresh gives, and MMS over the history is O(n), not O(n·N).
static bool SumasExactas(const Espacio& e, int N)
{
    double mayor = 0.0;
    for (int i = 1; i <= e.NumDatos; ++i) {
        const double y = Y(e, i);
        if (y != std::trunc(y))
            return false;
        mayor = std::max(mayor, std::fabs(y));
    }
    return mayor * (N + 1.0) < 9007199254740992.0;
}

// MMS without its closing act, so that MMD, which goes on from it, leaves
// ColPrev and FilaInicioPrev alone when its own stage fails.
static int SerieMMS(Espacio& e, int N, bool prevNeg, int V)
{
    if (N < 0)
        throw ErrorAritmetico("N, el número de periodos de la media móvil, es negativo. Ponga en N un número "
                              "entero positivo.");
    const int n = e.NumDatos;
    // A window reaching past the history would average forecast rows not yet written.
    if (N > n)
        throw ErrorAritmetico("N, el número de periodos de la media móvil, es mayor que el número de datos del "
                              "histórico. Ponga en N un número menor o cargue un histórico más largo.");
    const int R = UltimaFila(e, V);
    for (int i = 1; i <= n; ++i)
        e.TablaPrev[i][ColSerie] = Y(e, i);
    const bool exactas = N >= 1 && N < n && SumasExactas(e, N);
    double suma = 0.0;
    // 64-bit bounds: N has no upper limit of its own.
    for (long long j = N + 1LL; j <= R; ++j) {
        const int i = static_cast<int>(j);
        double media;
        if (exactas && i <= n + 1) {
            if (i == N + 1) {
                for (int k = 1; k <= N; ++k)
                    suma += Y(e, k);
            } else {
                suma = suma + Y(e, i - 1) - Y(e, i - 1 - N);
            }
            media = Dividir(suma, N);
        } else {
            media = MediaColumna(e, ColSerie, i - N, i - 1);
        }
        const double p = RecortarNegativa(media, prevNeg);
        e.Poner(i, ColMMS, p);
        if (i > n)
            e.TablaPrev[i][ColSerie] = p;
    }
    return R;
}

void ModeloMMS(Espacio& e, int N, bool prevNeg, int V)
{
    const int R = SerieMMS(e, N, prevNeg, V);
    e.ColPrev = ColP;
    e.FilaInicioPrev = N > R ? R : N; // past R there is no fitted row either way
}

void ModeloMMD(Espacio& e, int N, bool prevNeg, int V)
{
    const int R = SerieMMS(e, N, prevNeg, V);
    for (long long j = 2LL * N + 1; j <= R; ++j) {
        const int i = static_cast<int>(j);
        e.Poner(i, ColPMMD, RecortarNegativa(MediaColumna(e, ColMMS, i - N, i - 1), prevNeg));
    }
    e.ColPrev = ColPMMD;
    e.FilaInicioPrev = 2LL * N > R ? R : 2 * N;
}

} // namespace tendora
