// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers the model files share; not part of the core's interface.
#include "models/Modelos.h"

namespace tendora::detalle {

inline double Y(const Espacio& e, int i)
{
    return e.TablaPrev[i][ColDatos];
}
inline double T(const Espacio& e, int i)
{
    return e.TablaPrev[i][ColT];
}

inline double Suma(double a, double b)
{
    return Finito(a + b);
}
inline double Producto(double a, double b)
{
    return Finito(a * b);
}

// The model writes rows up to R: the table must hold them.
inline int UltimaFila(Espacio& e, int V)
{
    const int R = e.NumDatos + (V > 0 ? V : 0);
    AsegurarFilas(e, V);
    return R;
}

// The coefficient of each row's month, only after ComprobarMeses in the same
// run; raw pointers, as the vectors would be reloaded on every row.
struct Coeficientes {
    const unsigned char* mes;
    const RegistroCoef* coef;
    explicit Coeficientes(const Espacio& e) : mes(e.MesDeFila.data()), coef(e.CoefEstacional.data()) { }
    double operator()(int i) const { return coef[mes[i]].Coeficiente; }
};

// The seasonal models' common start: months checked, ratios, coefficients
// and, when asked, the deseasonalised history.
inline void Descomponer(Espacio& e, int R, bool desestacionalizar)
{
    ComprobarMeses(e, R);
    MediasMovilesCentradas(e);
    CalcularCoefEstacionales(e);
    if (desestacionalizar)
        Desestacionalizar(e);
}

} // namespace tendora::detalle
