// SPDX-License-Identifier: GPL-3.0-or-later
// The naïve models: NVS and the seasonal NVE.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

void ModeloNVS(Espacio& e, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    for (int i = 2; i <= R; ++i) {
        const double p = i <= n + 1 ? Y(e, i - 1) : RecortarNegativa(e.TablaPrev[i - 1][ColP], prevNeg);
        e.Poner(i, ColP, p);
    }
    e.ColPrev = ColP;
    e.FilaInicioPrev = 1;
}

void ModeloNVE(Espacio& e, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, true);
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    double base = R >= 2 ? t[1][ColDatos] : 0.0;
    for (int i = 2; i <= R; ++i) {
        const double p = RecortarNegativa(Producto(S(i), base), prevNeg);
        t[i][ColPNVE] = p;
        f[i][ColPNVE] = true;
        base = i <= n ? t[i][ColDatos] : p;
    }
    e.ColPrev = ColPNVE;
    e.FilaInicioPrev = 1;
}

} // namespace tendora
