// SPDX-License-Identifier: GPL-3.0-or-later
// The Theta model THT.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

void ModeloTHT(Espacio& e, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, true);
    const Recta r = RectaRegresion(e, ColD, 1, n);
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    double lrAnt = 0.0, lAnt = 0.0; // previous row's line and level, kept in registers
    for (int i = 1; i <= R; ++i) {
        const double lr = Suma(Producto(r.b, t[i][ColT]), r.a);
        t[i][ColLR] = lr;
        double l;
        if (i == 1) {
            l = Finito(Producto(2.0, t[1][ColD]) - lr);
        } else if (i <= n) {
            const double z = Finito(Producto(2.0, t[i - 1][ColD]) - lrAnt);
            l = Suma(Producto(alfa, z), Producto(1.0 - alfa, lAnt));
        } else {
            l = lAnt;
        }
        t[i][ColL] = l;
        const double p = RecortarNegativa(Producto(S(i), Suma(lr, l) / 2.0), prevNeg);
        f[i][ColLR] = true;
        f[i][ColL] = true;
        t[i][ColPTHT] = p;
        f[i][ColPTHT] = true;
        lrAnt = lr;
        lAnt = l;
    }
    e.ColPrev = ColPTHT;
    e.FilaInicioPrev = 0;
}

} // namespace tendora
