// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The forecasting workspace: the forecast table with its flags, the seasonal
// coefficients and the counters. Plain data, owned by the main window.
#include <array>
#include <vector>

namespace tendora {

// Columns of the forecast table. Unscoped constants: indexing with them
// compiles to the same code as the bare numbers.
enum ColumnaTabla : int {
    ColT = 1, // time index, equal to the row
    ColAnio = 2,
    ColMes = 3,
    ColDatos = 4, // the history value
    ColModelo = 5, // first column a model writes
};
constexpr int UltimaColTabla = 11;
constexpr int NumCols = UltimaColTabla + 1;

struct RegistroCoef {
    double Coeficiente = 0.0;
    double Observaciones = 0.0;
};

// What a workspace holds besides its table: small, copied freely.
struct EstadoEspacio {
    std::array<RegistroCoef, 13> CoefEstacional{}; // months 1..12, index 0 unused

    int TotalDatos = 0;
    int NumDatos = 0;
    int FilaInicioPrev = 0;
    int ColPrev = 0;
    int ColMediaMovil = 0;
    int ColTendencia = 0;
    int UltimaCol = UltimaColTabla;
    double AnioActual = 0.0;
    double MesActual = 0.0;
    double DesvRelativa = 0.0;
    bool DatosCargados = false;
};

struct Espacio : EstadoEspacio {
    // Row-major, (row, column) everywhere: TablaPrev[fila][columna]; columns 0..UltimaCol.
    std::vector<std::array<double, NumCols>> TablaPrev;
    std::vector<std::array<bool, NumCols>> CeldaValida;
    // Month of each row as the current seasonal run checked it, so its loops
    // index the coefficients without rounding the month column again.
    std::vector<unsigned char> MesDeFila;

    int Filas() const { return static_cast<int>(TablaPrev.size()); }

    // Both matrices together; contents kept, new cells 0 and false.
    void Redimensionar(int filas);

    double V(int fila, int col) const { return TablaPrev[fila][col]; }
    bool Valida(int fila, int col) const { return CeldaValida[fila][col]; }
    void Poner(int fila, int col, double valor, bool bandera = true)
    {
        TablaPrev[fila][col] = valor;
        CeldaValida[fila][col] = bandera;
    }
    void Limpiar(int fila, int col)
    {
        TablaPrev[fila][col] = 0.0;
        CeldaValida[fila][col] = false;
    }
};

// The workspace without its table, flags and months: for one about to be
// given a new history, where copying a long table would cost as much as
// reading the file.
Espacio CopiaSinTabla(const Espacio& e);

// Table operations of the workspace. V is the horizon.
// Size: never loses history rows 1..TotalDatos and always holds NumDatos + V.
int FilasNecesarias(const Espacio& e, int V);
void DimensionarTabla(Espacio& e, int V);
void AsegurarFilas(Espacio& e, int V); // grows only
void LimpiarColumnasDatos(Espacio& e, int V);
void LimpiarColumnasModelo(Espacio& e, int V);
void PrepararFilasPrevision(Espacio& e, int V);

// Month of a row as the models read it: nearest whole number, halves to even.
int MesRedondeado(double v);
inline int MesFila(const Espacio& e, int fila)
{
    const double v = e.TablaPrev[fila][ColMes];
    // Whole months are the rule; nearbyint is a slow library call.
    if (v >= 0.0 && v <= 13.0) {
        const int m = static_cast<int>(v);
        if (m == v)
            return m;
    }
    return MesRedondeado(v);
}

} // namespace tendora
