// SPDX-License-Identifier: GPL-3.0-or-later
// The decomposition model DST.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

void ModeloDST(Espacio& e, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, false);
    const Recta r = RectaRegresion(e, ColMM12C, 7, n - 6);
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    for (int i = 1; i <= R; ++i) {
        const double tend = Suma(Producto(r.b, t[i][ColT]), r.a);
        t[i][ColTendenciaDST] = tend;
        f[i][ColTendenciaDST] = true;
        t[i][ColPDST] = RecortarNegativa(Producto(S(i), tend), prevNeg);
        f[i][ColPDST] = true;
    }
    e.ColPrev = ColPDST;
    e.FilaInicioPrev = 0;
}

} // namespace tendora
