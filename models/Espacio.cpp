// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Espacio.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tendora {

void Espacio::Redimensionar(int filas)
{
    filas = std::max(filas, 0);
    std::array<double, NumCols> ceros{};
    std::array<bool, NumCols> falsos{};
    TablaPrev.resize(static_cast<size_t>(filas), ceros);
    CeldaValida.resize(static_cast<size_t>(filas), falsos);
    MesDeFila.resize(static_cast<size_t>(filas), 0);
}

Espacio CopiaSinTabla(const Espacio& e)
{
    Espacio r;
    static_cast<EstadoEspacio&>(r) = e;
    return r;
}

int FilasNecesarias(const Espacio& e, int V)
{
    return std::max(e.TotalDatos, e.NumDatos + std::max(V, 0)) + 1;
}

void DimensionarTabla(Espacio& e, int V)
{
    e.Redimensionar(FilasNecesarias(e, V));
}

void AsegurarFilas(Espacio& e, int V)
{
    const int n = FilasNecesarias(e, V);
    if (e.Filas() < n)
        e.Redimensionar(n);
}

// Known column ranges get fixed-size stores: short runtime-length fills turn
// into string instructions that cost more than the row itself.
template <int Desde, int Hasta>
static void LimpiarFijas(Espacio& e, int ultima)
{
    constexpr size_t cuantas = Hasta - Desde + 1;
    static constexpr double ceros[cuantas] = {};
    static constexpr bool falsos[cuantas] = {};
    auto* t = e.TablaPrev.data();
    auto* f = e.CeldaValida.data();
    for (int i = 0; i <= ultima; ++i) {
        std::memcpy(t[i].data() + Desde, ceros, sizeof ceros);
        std::memcpy(f[i].data() + Desde, falsos, sizeof falsos);
    }
}

static void LimpiarColumnas(Espacio& e, int V, int desde, int hasta)
{
    const int ultima = std::min(e.NumDatos + std::max(V, 0), e.Filas() - 1);
    if (desde == 0 && hasta == ColDatos)
        return LimpiarFijas<0, ColDatos>(e, ultima);
    if (desde == ColModelo && hasta == UltimaColTabla)
        return LimpiarFijas<ColModelo, UltimaColTabla>(e, ultima);
    for (int i = 0; i <= ultima; ++i)
        for (int c = desde; c <= hasta; ++c)
            e.Limpiar(i, c);
}

void LimpiarColumnasDatos(Espacio& e, int V)
{
    LimpiarColumnas(e, V, 0, ColDatos);
}

void LimpiarColumnasModelo(Espacio& e, int V)
{
    LimpiarColumnas(e, V, ColModelo, e.UltimaCol);
}

void PrepararFilasPrevision(Espacio& e, int V)
{
    AsegurarFilas(e, V);
    e.AnioActual = e.TablaPrev[e.NumDatos][ColAnio];
    e.MesActual = e.TablaPrev[e.NumDatos][ColMes];
    for (int i = e.NumDatos + 1; i <= e.NumDatos + V; ++i) {
        e.MesActual += 1;
        if (e.MesActual == 13) {
            e.MesActual = 1;
            e.AnioActual += 1;
        }
        e.Poner(i, ColT, i);
        e.Poner(i, ColAnio, e.AnioActual);
        e.Poner(i, ColMes, e.MesActual);
    }
}

int MesRedondeado(double v)
{
    const double r = std::nearbyint(v);
    // Far outside any month: 0 fails the month check without overflowing an int.
    return std::fabs(r) < 1e9 ? static_cast<int>(r) : 0;
}

} // namespace tendora
