// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checked arithmetic: a failure is an exception at the place it happens, so no
// infinity or NaN ever reaches the table, a grid, a chart or a file.
#include <cmath>
#include <stdexcept>
#include <string>

namespace tendora {

class ErrorAritmetico : public std::runtime_error {
public:
    explicit ErrorAritmetico(const std::string& que) : std::runtime_error(que) { }
};

inline double Finito(double x, const char* que = "Desbordamiento en coma flotante")
{
    if (!std::isfinite(x))
        throw ErrorAritmetico(que);
    return x;
}

inline double Dividir(double a, double b)
{
    if (b == 0.0)
        throw ErrorAritmetico(a == 0.0 ? "Operación de coma flotante no válida" : "División por cero");
    return Finito(a / b);
}

inline double Raiz(double x)
{
    if (!(x >= 0.0))
        throw ErrorAritmetico("Operación de coma flotante no válida");
    return Finito(std::sqrt(x));
}

inline double Ln(double x)
{
    if (!(x > 0.0))
        throw ErrorAritmetico(x == 0.0 ? "Logaritmo de cero" : "Operación de coma flotante no válida");
    return Finito(std::log(x));
}

} // namespace tendora
