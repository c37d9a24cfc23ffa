// The moving-average models: MMS and MMD.
#include "Comunes.h"

namespace tendora {

using namespace detalle;

// MMS without its closing act, so that MMD, which goes on from it, leaves
// ColPrev and FilaInicioPrev alone when its own stage fails.
static int SerieMMS(Espacio& e, int N, bool prevNeg, int V)
{
    if (N < 0)
        throw ErrorAritmetico("N negativo");
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    for (int i = 1; i <= n; ++i)
        e.TablaPrev[i][ColSerie] = Y(e, i);
    // 64-bit bounds: N has no upper limit of its own.
    for (long long j = N + 1LL; j <= R; ++j) {
        const int i = static_cast<int>(j);
        const double p = RecortarNegativa(MediaColumna(e, ColSerie, i - N, i - 1), prevNeg);
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
