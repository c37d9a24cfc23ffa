// SPDX-License-Identifier: GPL-3.0-or-later
// Croston and Syntetos-Boylan: CRT and S-B.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

void ModeloCroston(Espacio& e, int variante, double alfa, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    auto* t = e.TablaPrev.data();
    auto* fl = e.CeldaValida.data();
    for (int i = 1; i <= n; ++i)
        t[i][ColSerieCroston] = t[i][ColDatos];
    // Row 1 starts the state; its value has no flag.
    double q = 1.0, z = t[1][ColDatos], w = 1.0, p = t[1][ColDatos];
    const auto Escribir = [&](int i) {
        t[i][ColQ] = q;
        t[i][ColZ] = z;
        t[i][ColW] = w;
        t[i][ColPCroston] = p;
        fl[i][ColQ] = fl[i][ColZ] = fl[i][ColW] = fl[i][ColPCroston] = true;
    };
    Escribir(1);
    fl[1][ColPCroston] = false;
    // Rows up to n + 1 read the demand of the row before, all of it history.
    const int ultimaConDato = R < n + 1 ? R : n + 1;
    for (int i = 2; i <= ultimaConDato; ++i) {
        const double x = t[i - 1][ColDatos];
        if (x == 0.0) {
            q = q + 1.0;
        } else {
            z = Suma(z, Producto(Finito(x - z), alfa));
            w = Suma(w, Producto(q - w, alfa));
            q = 1.0;
        }
        double f = Dividir(z, w);
        if (variante != 1)
            f = Producto(f, 1.0 - alfa / 2.0);
        p = RecortarNegativa(f, prevNeg);
        Escribir(i);
        if (i > n)
            t[i][ColSerieCroston] = p;
    }
    // No demand is known past row n, so no forecast stands in for one: the
    // state and the value of row n + 1 hold for the whole horizon.
    for (int i = n + 2; i <= R; ++i) {
        Escribir(i);
        t[i][ColSerieCroston] = p;
    }
    e.ColPrev = ColPCroston;
    e.FilaInicioPrev = 0;
}

void ModeloSB(Espacio& e, double alfa, bool prevNeg, int V)
{
    ModeloCroston(e, 2, alfa, prevNeg, V);
}

} // namespace tendora
