// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checked arithmetic: a failure is an exception at the place it happens, so no
// infinity or NaN ever reaches the table, a grid, a chart or a file. Its text
// reaches the user: it says what happened and what to change.
#include <cmath>
#include <stdexcept>
#include <string>

namespace tendora {

class ErrorAritmetico : public std::runtime_error {
public:
    explicit ErrorAritmetico(const std::string& que) : std::runtime_error(que) { }
};

inline constexpr const char* kDesbordamiento =
    "Un resultado del modelo es demasiado grande para calcularlo (desbordamiento). Revise si el histórico tiene "
    "valores desmesurados, o pruebe otros parámetros u otro modelo.";
inline constexpr const char* kNoValida =
    "Un cálculo del modelo no tiene resultado (por ejemplo, la raíz cuadrada de un número negativo). Pruebe otros "
    "parámetros u otro modelo.";

// A value that is not there, where a result keeps NaN for "no value" until it is shown.
inline constexpr double kSinValor = __builtin_nan("");

inline double Finito(double x, const char* que = kDesbordamiento)
{
    if (!std::isfinite(x))
        throw ErrorAritmetico(que);
    return x;
}

inline double Dividir(double a, double b)
{
    if (b == 0.0)
        throw ErrorAritmetico(a == 0.0 ? "El modelo tendría que dividir cero entre cero, lo que suele deberse a ceros "
                                         "en el histórico. Elija otro modelo u otros parámetros, o use un histórico "
                                         "sin ceros."
                                       : "El modelo tendría que dividir por cero, lo que suele deberse a ceros en el "
                                         "histórico. Elija otro modelo u otros parámetros, o use un histórico sin "
                                         "ceros.");
    return Finito(a / b);
}

inline double Raiz(double x)
{
    if (!(x >= 0.0))
        throw ErrorAritmetico(kNoValida);
    return Finito(std::sqrt(x));
}

inline double Ln(double x)
{
    if (!(x > 0.0))
        throw ErrorAritmetico(x == 0.0 ? "El modelo tendría que calcular el logaritmo de cero: necesita valores "
                                         "positivos y el histórico tiene ceros. Elija otro modelo o use un histórico "
                                         "sin ceros."
                                       : "El modelo tendría que calcular el logaritmo de un número negativo, lo que "
                                         "suele deberse a valores negativos en el histórico. Elija otro modelo o use "
                                         "un histórico de valores positivos.");
    return Finito(std::log(x));
}

} // namespace tendora
