// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One record of a history as a data text or an import gives it.

namespace tendora {

struct Registro {
    double Anio = 0.0;
    double Mes = 0.0;
    double Valor = 0.0;
};

} // namespace tendora
