// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Intermitente.h"

#include <algorithm>
#include <cmath>

namespace tendora {

Demanda ClasificarDemanda(const double* y, int n)
{
    Demanda d;
    int primera = -1, ultima = -1;
    double suma = 0;
    for (int t = 0; t < n; ++t)
        if (y[t] > 0) {
            if (primera < 0)
                primera = t;
            ultima = t;
            ++d.NoNulas;
            suma += y[t];
        }
    if (d.NoNulas < 2)
        return d;
    const double media = suma / d.NoNulas;
    double var = 0;
    for (int t = 0; t < n; ++t)
        if (y[t] > 0)
            var += (y[t] - media) * (y[t] - media);
    var /= d.NoNulas;
    d.ADI = double(ultima - primera) / double(d.NoNulas - 1);
    d.CV2 = media > 0 && std::isfinite(var / (media * media)) ? var / (media * media) : 0.0;
    const bool espaciada = d.ADI >= CorteADI;
    const bool variable = d.CV2 >= CorteCV2;
    d.Clase = espaciada ? (variable ? ClaseDemanda::Irregular : ClaseDemanda::Intermitente)
                        : (variable ? ClaseDemanda::Erratica : ClaseDemanda::Regular);
    return d;
}

std::string_view NombreClase(ClaseDemanda c)
{
    switch (c) {
    case ClaseDemanda::Regular: return "regular";
    case ClaseDemanda::Erratica: return "errática";
    case ClaseDemanda::Intermitente: return "intermitente";
    case ClaseDemanda::Irregular: return "irregular";
    case ClaseDemanda::PocosDatos: return "pocos datos";
    }
    return "pocos datos";
}

ResultadoTSB ModeloTSB(const double* y, int n, double alfa, double beta, int V)
{
    ResultadoTSB r;
    r.Ajuste.assign(size_t(std::max(n, 0)), 0.0);
    EstadoTSB e;
    for (int t = 0; t < n; ++t) {
        if (e.Iniciado)
            r.Ajuste[size_t(t)] = e.Prevision();
        e.Leer(y[t], alfa, beta);
    }
    r.P = e.P;
    r.Z = e.Z;
    const double f = std::isfinite(e.Prevision()) ? e.Prevision() : 0.0;
    r.Prevision.assign(size_t(std::max(V, 0)), f);
    return r;
}

} // namespace tendora
