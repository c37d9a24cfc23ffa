// SPDX-License-Identifier: GPL-3.0-or-later
// The computations the models share: the month check, the ratio-to-moving-
// average decomposition and the least-squares line.
#include "models/Comunes.h"

namespace tendora {

using namespace detalle;

// A seasonal model needs every month it reads inside 1..12; the months
// are kept for the rest of the run.
void ComprobarMeses(Espacio& e, int R)
{
    bool bien = true;
    unsigned char* mes = e.MesDeFila.data();
    for (int i = 1; i <= R; ++i) {
        const int m = MesFila(e, i);
        const bool valido = m >= 1 && m <= 12;
        bien &= valido;
        mes[i] = static_cast<unsigned char>(valido ? m : 0);
    }
    if (!bien)
        throw ErrorAritmetico("Un modelo estacional necesita el mes de cada dato, y el histórico tiene meses "
                              "fuera de 1..12. Corrija la columna del mes en el texto de Datos y vuelva a cargarlo.");
}

void MediasMovilesCentradas(Espacio& e)
{
    const int n = e.NumDatos;
    // Raw rows: through the vectors the compiler reloads their data on every
    // row. Each sum runs left to right as written; eight rows at a time only
    // lets their chains of additions overlap. An overflow stays non-finite
    // to the end of its sum, so one check per sum suffices.
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    int i = 7;
    for (; i + 7 <= n - 5; i += 8) {
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, s5 = 0.0, s6 = 0.0, s7 = 0.0;
        for (int j = i - 6; j <= i + 5; ++j) {
            s0 += t[j][ColDatos];
            s1 += t[j + 1][ColDatos];
            s2 += t[j + 2][ColDatos];
            s3 += t[j + 3][ColDatos];
            s4 += t[j + 4][ColDatos];
            s5 += t[j + 5][ColDatos];
            s6 += t[j + 6][ColDatos];
            s7 += t[j + 7][ColDatos];
        }
        const double s[8] = {s0, s1, s2, s3, s4, s5, s6, s7};
        for (int k = 0; k < 8; ++k) {
            t[i + k][ColMM12] = Finito(s[k]) / 12.0;
            f[i + k][ColMM12] = true;
        }
    }
    for (; i <= n - 5; ++i) {
        double s = 0.0;
        for (int j = i - 6; j <= i + 5; ++j)
            s += t[j][ColDatos];
        t[i][ColMM12] = Finito(s) / 12.0;
        f[i][ColMM12] = true;
    }
    for (i = 7; i <= n - 6; ++i) {
        const double c = Finito((t[i][ColMM12] + t[i + 1][ColMM12]) / 2.0);
        t[i][ColMM12C] = c;
        f[i][ColMM12C] = true;
        t[i][ColEI] = c != 0.0 ? Dividir(t[i][ColDatos], c) : 0.0;
        f[i][ColEI] = true;
    }
}

void CalcularCoefEstacionales(Espacio& e)
{
    const int n = e.NumDatos;
    const auto* t = e.TablaPrev.data();
    const unsigned char* mes = e.MesDeFila.data();
    RegistroCoef* c = e.CoefEstacional.data();
    for (int m = 1; m <= 12; ++m)
        c[m] = RegistroCoef{};
    for (int i = 7; i <= n - 6; ++i) {
        const int m = mes[i];
        c[m].Coeficiente = Suma(c[m].Coeficiente, t[i][ColEI]);
        c[m].Observaciones += 1.0;
    }
    double total = 0.0;
    for (int m = 1; m <= 12; ++m) {
        if (c[m].Observaciones != 0.0)
            c[m].Coeficiente = Dividir(c[m].Coeficiente, c[m].Observaciones);
        total = Suma(total, c[m].Coeficiente);
    }
    if (total == 0.0)
        throw ErrorAritmetico("Los coeficientes estacionales suman cero, porque el histórico es nulo en los meses "
                              "de los que salen. Elija un modelo sin estacionalidad o use un histórico con valores "
                              "distintos de cero.");
    for (int m = 1; m <= 12; ++m)
        c[m].Coeficiente = Producto(Dividir(c[m].Coeficiente, total), 12.0);
}

void Desestacionalizar(Espacio& e)
{
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    const Coeficientes S(e);
    for (int i = 1; i <= e.NumDatos; ++i) {
        const double s = S(i);
        t[i][ColD] = s != 0.0 ? Dividir(t[i][ColDatos], s) : 0.0;
        f[i][ColD] = true;
    }
}

Recta RectaRegresion(const Espacio& e, int col, int primera, int ultima)
{
    const double k = ultima - primera + 1;
    double St = 0, Sy = 0, Stt = 0, Sty = 0;
    for (int i = primera; i <= ultima; ++i) {
        const double t = T(e, i);
        const double y = e.TablaPrev[i][col];
        St = Suma(St, t);
        Sy = Suma(Sy, y);
        Stt = Suma(Stt, Producto(t, t));
        Sty = Suma(Sty, Producto(t, y));
    }
    if (k <= 1)
        throw ErrorAritmetico("Hacen falta al menos dos datos para la recta de tendencia. Cargue un histórico más "
                              "largo o reduzca los puntos sin usar.");
    const double tm = Dividir(St, k);
    const double ym = Dividir(Sy, k);
    Recta r;
    r.b = Dividir(Finito(Sty - Producto(tm, Sy)), Finito(Stt - Producto(tm, St)));
    r.a = Finito(ym - Producto(r.b, tm));
    return r;
}

} // namespace tendora
