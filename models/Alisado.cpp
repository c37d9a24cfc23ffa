// The exponential smoothing models: LES and LED.
#include "Comunes.h"

namespace tendora {

using namespace detalle;

// LES without its closing act, for the same reason as SerieMMS.
static int SerieLES(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    e.TablaPrev[1][5] = Y(e, 1);
    for (int i = 1; i <= n; ++i)
        e.TablaPrev[i][7] = Y(e, i);
    for (int i = 2; i <= R; ++i) {
        const double f = RecortarNegativa(
            Suma(Producto(alfa, e.TablaPrev[i - 1][7]), Producto(1.0 - alfa, e.TablaPrev[i - 1][5])), prevNeg);
        e.Poner(i, 5, f);
        if (i > n)
            e.TablaPrev[i][7] = f;
    }
    return R;
}

void ModeloLES(Espacio& e, double alfa, bool prevNeg, int V)
{
    SerieLES(e, alfa, prevNeg, V);
    e.ColPrev = 5;
    e.FilaInicioPrev = 0;
}

void ModeloLED(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int R = SerieLES(e, alfa, prevNeg, V);
    e.TablaPrev[1][6] = e.TablaPrev[1][5];
    for (int i = 2; i <= R; ++i)
        e.Poner(i, 6,
                RecortarNegativa(
                    Suma(Producto(alfa, e.TablaPrev[i - 1][5]), Producto(1.0 - alfa, e.TablaPrev[i - 1][6])), prevNeg));
    e.ColPrev = 6;
    e.FilaInicioPrev = 0;
}

} // namespace tendora
