// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The twelve forecasting models and the computations they share.
// Each model reads history rows 1..NumDatos (column ColDatos), writes its
// columns for rows up to R = NumDatos + V with their flags, and sets
// FilaInicioPrev and ColPrev last. An arithmetic failure throws
// ErrorAritmetico and leaves what was written. Which model an item runs, and
// what the window shows of it, is in Catalogo.h.
#include "models/Aritmetica.h"
#include "models/Espacio.h"

namespace tendora {

// Parameter values as the model page holds them when a run starts.
struct Parametros {
    int N = 6; // SEN, already truncated
    double AlfaLE = 0.5; // SEAlfaLE
    double AlfaTHT = 0.5; // SEAlfaTHT
    double AlfaHLT = 0.5; // SEAlfaHLT
    double BetaHLT = 0.5; // SEBetaHLT
    double PhiHW = 0.5; // SEPhiHW
    double AlfaCroston = 0.5; // SEAlfaCroston; TSB's size constant too
    double BetaTSB = 0.1; // TSB's demand-probability constant (automatic forecast only)
    bool PrevNeg = false; // CBPrevNeg: negative forecasts allowed
    int V = 12; // horizon
};

// Model item indices of the model selector.
enum ItemModelo {
    ItemNVS = 0,
    ItemNVE,
    ItemMMS,
    ItemMMD,
    ItemLES,
    ItemLED,
    ItemDST,
    ItemTHT,
    ItemHLT,
    ItemHW,
    ItemCRT,
    ItemSB
};
constexpr int NumModelos = ItemSB + 1;
// Teunter–Syntetos–Babai: a candidate of the automatic forecast for
// intermittent demand, outside the model selector (Intermitente.h).
constexpr int ItemTSB = NumModelos;

// Columns the models write, named after their headers. Several models share a
// column number with different contents; each name says whose column it is.
enum ColumnaModelo : int {
    // Every seasonal model: the ratio-to-moving-average decomposition.
    ColMM12 = ColModelo,
    ColMM12C = ColModelo + 1,
    ColEI = ColModelo + 2, // E*I
    ColD = ColModelo + 3, // deseasonalised history
    // NVS, MMS and LES: the forecast alone.
    ColP = ColModelo,
    // MMS and LES: the history followed by the forecasts, which the recursion
    // reads back (not shown).
    ColSerie = ColModelo + 2,
    ColMMS = ColModelo, // MMD's first stage
    ColPMMD = ColModelo + 1,
    ColLES = ColModelo, // LED's first stage
    ColPLED = ColModelo + 1,
    ColPNVE = ColModelo + 4,
    ColTendenciaDST = ColModelo + 3,
    ColPDST = ColModelo + 4,
    ColLR = ColModelo + 4, // Theta's regression line
    ColL = ColModelo + 5, // Theta's smoothed line
    ColPTHT = ColModelo + 6,
    ColNivelHLT = ColModelo,
    ColTendenciaHLT = ColModelo + 1,
    ColPHLT = ColModelo + 2,
    ColNivelHW = ColModelo + 4,
    ColTendenciaHW = ColModelo + 5,
    ColPHW = ColModelo + 6,
    // Croston and S-B: interval q, smoothed size Z and interval W.
    ColQ = ColModelo,
    ColZ = ColModelo + 1,
    ColW = ColModelo + 2,
    ColPCroston = ColModelo + 3,
    ColSerieCroston = ColModelo + 4, // history, then the forecasts (not shown)
};

// ---------------------------------------------------------------- shared computations

// Inline: every model calls it once per row.
inline double RecortarNegativa(double x, bool prevNeg)
{
    if (prevNeg)
        return x;
    return x >= 0.0 ? x : 0.0;
}

// Refuses a month outside 1..12 in rows 1..R and keeps each row's month in
// MesDeFila; the coefficient and deseasonalising steps read it from there.
void ComprobarMeses(Espacio& e, int R);
// Ratio-to-moving-average decomposition: MM12 (5) on rows 7..n-5, the centred
// MM12C (6) and the ratio E*I = Y / MM12C (7) on rows 7..n-6.
void MediasMovilesCentradas(Espacio& e);
// The twelve monthly means of E*I, scaled to sum 12; a zero total throws.
void CalcularCoefEstacionales(Espacio& e); // after ComprobarMeses
// D (8) = Y / S(month) on rows 1..n.
void Desestacionalizar(Espacio& e); // after ComprobarMeses
struct Recta {
    double b = 0.0;
    double a = 0.0;
};
// Least-squares line of column col on t over rows primera..ultima.
Recta RectaRegresion(const Espacio& e, int col, int primera, int ultima);

// Mean of column col over rows primera..ultima, 0 for an empty range.
// Inline: the moving averages call it once per row.
inline double MediaColumna(const Espacio& e, int col, int primera, int ultima)
{
    if (ultima < primera)
        return 0.0;
    double s = 0.0;
    for (int i = primera; i <= ultima; ++i)
        s = Finito(s + e.TablaPrev[i][col]);
    return Dividir(s, ultima - primera + 1);
}

// ---------------------------------------------------------------- the models

// Naïve: each row forecasts the value before it; P (5). Past n + 1 the last
// forecast repeats.
void ModeloNVS(Espacio& e, bool prevNeg, int V);
// Seasonal naïve: the value before times the row's seasonal coefficient;
// decomposition in 5..8, P (9).
void ModeloNVE(Espacio& e, bool prevNeg, int V);

// Simple moving average of the N values before; P (5), the history extended
// with the forecasts in the working column 7.
void ModeloMMS(Espacio& e, int N, bool prevNeg, int V);
// Double moving average: the N-term average of the MMS series (5); P (6).
void ModeloMMD(Espacio& e, int N, bool prevNeg, int V);

// Simple exponential smoothing; P (5), working history in 7.
void ModeloLES(Espacio& e, double alfa, bool prevNeg, int V);
// Double exponential smoothing: LES (5) smoothed again; P (6).
void ModeloLED(Espacio& e, double alfa, bool prevNeg, int V);

// Classical multiplicative decomposition: the least-squares line of the
// centred moving average (T, 8) times the seasonal coefficient; P (9).
void ModeloDST(Espacio& e, bool prevNeg, int V);

// Theta method, Assimakopoulos & Nikolopoulos (2000): the mean of the
// regression line of the deseasonalised series (LR, 9) and the smoothed
// theta-2 line (L, 10), reseasonalised; P (11).
void ModeloTHT(Espacio& e, double alfa, bool prevNeg, int V);

// Holt (1957) linear trend: level N (5), trend T (6), P (7).
void ModeloHLT(Espacio& e, double alfa, double beta, bool prevNeg, int V);
// Winters (1960) multiplicative seasonal: decomposition in 5..8, level N (9),
// trend T (10), P (11); the coefficients are updated as it runs.
// What does not depend on the constants (the months, the decomposition, the
// starting level and trend) goes into inicio when given, once it is known.
struct InicioHW;
void ModeloHW(Espacio& e, double alfa, double beta, double phi, bool prevNeg, int V, InicioHW* inicio = nullptr);
struct InicioHW {
    std::array<double, 13> Coef{}; // the decomposition's coefficients
    double L0 = 0.0;
    double B0 = 0.0;
    int n = 0;
    int R = 0;
    bool Listo = false;
};
// H-W again with other constants on a table that a run of ModeloHW with this
// start left, history and horizon unchanged: only the recursion runs, and
// the table ends as a full run would leave it. False (nothing done) when
// the table no longer fits the start.
bool RepetirHW(Espacio& e, const InicioHW& inicio, double alfa, double beta, double phi, bool prevNeg);

// Croston (1972) for intermittent demand, variant 1; any other variant is the
// Syntetos & Boylan (2005) correction by 1 - alfa / 2. Interval q (5),
// smoothed size Z (6) and interval W (7), P (8); working history in 9.
void ModeloCroston(Espacio& e, int variante, double alfa, bool prevNeg, int V);
// Syntetos & Boylan (2005): ModeloCroston with variant 2.
void ModeloSB(Espacio& e, double alfa, bool prevNeg, int V);

// Runs the model of the given item with the given parameters (no dating),
// through the catalogue: the one path the window and the tests take.
void EjecutarModelo(Espacio& e, int item, const Parametros& p);

} // namespace tendora
