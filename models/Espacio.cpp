#include "Espacio.h"

#include <algorithm>
#include <cmath>

namespace tendora {

void Espacio::Redimensionar(int filas)
{
    filas = std::max(filas, 0);
    std::array<double, NumCols> ceros{};
    std::array<bool, NumCols> falsos{};
    TablaPrev.resize(static_cast<size_t>(filas), ceros);
    CeldaValida.resize(static_cast<size_t>(filas), falsos);
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

static void LimpiarColumnas(Espacio& e, int V, int desde, int hasta)
{
    const int ultima = std::min(e.NumDatos + std::max(V, 0), e.Filas() - 1);
    for (int i = 0; i <= ultima; ++i)
        for (int c = desde; c <= hasta; ++c)
            e.Limpiar(i, c);
}

void LimpiarColumnasDatos(Espacio& e, int V)
{
    LimpiarColumnas(e, V, 0, 4);
}

void LimpiarColumnasModelo(Espacio& e, int V)
{
    LimpiarColumnas(e, V, 5, e.UltimaCol);
}

void PrepararFilasPrevision(Espacio& e, int V)
{
    AsegurarFilas(e, V);
    e.AnioActual = e.TablaPrev[e.NumDatos][2];
    e.MesActual = e.TablaPrev[e.NumDatos][3];
    for (int i = e.NumDatos + 1; i <= e.NumDatos + V; ++i) {
        e.MesActual += 1;
        if (e.MesActual == 13) {
            e.MesActual = 1;
            e.AnioActual += 1;
        }
        e.Poner(i, 1, i);
        e.Poner(i, 2, e.AnioActual);
        e.Poner(i, 3, e.MesActual);
    }
}

int MesFila(const Espacio& e, int fila)
{
    return static_cast<int>(std::nearbyint(e.TablaPrev[fila][3]));
}

} // namespace tendora
