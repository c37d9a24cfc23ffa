// SPDX-License-Identifier: GPL-3.0-or-later
// Holt and Holt-Winters: HLT and H-W.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

void ModeloHLT(Espacio& e, double alfa, double beta, bool prevNeg, int V)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    const double B0 = Dividir(Finito(Y(e, n) - Y(e, 1)), n - 1);
    const double L0 = Finito(Y(e, 1) - B0 / 2.0);
    double Lp = L0, Bp = B0;
    for (int i = 1; i <= R; ++i) {
        double L, B;
        if (i <= n) {
            L = Suma(Producto(alfa, Y(e, i)), Producto(1.0 - alfa, Suma(Lp, Bp)));
            B = Suma(Producto(Finito(L - Lp), beta), Producto(1.0 - beta, Bp));
        } else {
            L = Lp;
            B = Bp;
        }
        const double h = i <= n ? 1.0 : i - n;
        e.Poner(i, ColNivelHLT, L);
        e.Poner(i, ColTendenciaHLT, B);
        e.Poner(i, ColPHLT, RecortarNegativa(Suma(Lp, Producto(h, Bp)), prevNeg));
        Lp = L;
        Bp = B;
    }
    e.ColPrev = ColPHLT;
    e.FilaInicioPrev = 0;
}

// The recursion of H-W from its start: levels, trends and forecasts in
// 9..11 of rows 1..R, the month's index updated as each history row passes.
// A failure clears these columns from the failing row on, as they were
// before the run, so a later run that skips the clearing leaves the same table.
static void RecursionHW(Espacio& e, double L0, double B0, double alfa, double beta, double phi, bool prevNeg, int R)
{
    const int n = e.NumDatos;
    // Level and trend carried in registers: reading them back from the row
    // just written puts a store-to-load delay on the recursion.
    double Lp = L0, Bp = B0;
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const unsigned char* mes = e.MesDeFila.data();
    RegistroCoef* coefs = e.CoefEstacional.data();
    int i = 1;
    try {
        for (; i <= R; ++i) {
            RegistroCoef& c = coefs[mes[i]];
            const double So = c.Coeficiente;
            double L, B, P;
            if (i <= n) {
                const double y = t[i][ColDatos];
                const double suave = Producto(1.0 - alfa, Suma(Lp, Bp));
                // (alfa × y) / So and (phi × y) / L, multiplied first as the model
                // reads: near a zero level the last bit decides the new index.
                L = So != 0.0 ? Suma(Dividir(Producto(alfa, y), So), suave) : suave;
                B = Suma(Producto(Finito(L - Lp), beta), Producto(1.0 - beta, Bp));
                c.Coeficiente = Suma(Dividir(Producto(phi, y), L), Producto(1.0 - phi, So));
                P = RecortarNegativa(Producto(Suma(Lp, Bp), So), prevNeg);
            } else {
                L = Lp;
                B = Bp;
                P = RecortarNegativa(Producto(Suma(Lp, Producto(i - n, Bp)), c.Coeficiente), prevNeg);
            }
            t[i][ColNivelHW] = L;
            t[i][ColTendenciaHW] = B;
            t[i][ColPHW] = P;
            f[i][ColNivelHW] = f[i][ColTendenciaHW] = f[i][ColPHW] = true;
            Lp = L;
            Bp = B;
        }
    } catch (...) {
        for (; i <= R; ++i)
            for (int col : {ColNivelHW, ColTendenciaHW, ColPHW})
                e.Limpiar(i, col);
        throw;
    }
    e.ColPrev = ColPHW;
    e.FilaInicioPrev = 0;
}

void ModeloHW(Espacio& e, double alfa, double beta, double phi, bool prevNeg, int V, InicioHW* inicio)
{
    const int n = e.NumDatos;
    const int R = UltimaFila(e, V);
    Descomponer(e, R, true);
    const double A1 = MediaColumna(e, ColDatos, 1, 12);
    const double A2 = MediaColumna(e, ColDatos, n - 11, n);
    const int K = (n / 12 - 1) * 12;
    const double B0 = Dividir(Finito(A2 - A1), K);
    const double L0 = Finito(A1 - Producto(6.0, B0));
    if (inicio) {
        for (int m = 0; m <= 12; ++m)
            inicio->Coef[size_t(m)] = e.CoefEstacional[size_t(m)].Coeficiente;
        inicio->L0 = L0;
        inicio->B0 = B0;
        inicio->n = n;
        inicio->R = R;
        inicio->Listo = true;
    }
    RecursionHW(e, L0, B0, alfa, beta, phi, prevNeg, R);
}

bool RepetirHW(Espacio& e, const InicioHW& inicio, double alfa, double beta, double phi, bool prevNeg)
{
    if (!inicio.Listo || e.NumDatos != inicio.n || e.Filas() <= inicio.R)
        return false;
    for (int m = 0; m <= 12; ++m)
        e.CoefEstacional[size_t(m)].Coeficiente = inicio.Coef[size_t(m)];
    RecursionHW(e, inicio.L0, inicio.B0, alfa, beta, phi, prevNeg, inicio.R);
    return true;
}

} // namespace tendora
