// SPDX-License-Identifier: GPL-3.0-or-later
// The exponential smoothing models: LES and LED.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

// LES without its closing act, for the same reason as SerieMMS.
static int SerieLES(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    e.TablaPrev[1][ColLES] = Y(e, 1);
    for (int i = 1; i <= n; ++i)
        e.TablaPrev[i][ColSerie] = Y(e, i);
    for (int i = 2; i <= R; ++i) {
        const double f = RecortarNegativa(
            Suma(Producto(alfa, e.TablaPrev[i - 1][ColSerie]), Producto(1.0 - alfa, e.TablaPrev[i - 1][ColLES])),
            prevNeg);
        e.Poner(i, ColLES, f);
        if (i > n)
            e.TablaPrev[i][ColSerie] = f;
    }
    return R;
}

void ModeloLES(Espacio& e, double alfa, bool prevNeg, int V)
{
    SerieLES(e, alfa, prevNeg, V);
    e.ColPrev = ColP;
    e.FilaInicioPrev = 0;
}

void ModeloLED(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int R = SerieLES(e, alfa, prevNeg, V);
    e.TablaPrev[1][ColPLED] = e.TablaPrev[1][ColLES];
    for (int i = 2; i <= R; ++i)
        e.Poner(i, ColPLED,
                RecortarNegativa(
                    Suma(Producto(alfa, e.TablaPrev[i - 1][ColLES]), Producto(1.0 - alfa, e.TablaPrev[i - 1][ColPLED])),
                    prevNeg));
    e.ColPrev = ColPLED;
    e.FilaInicioPrev = 0;
}

} // namespace tendora
