// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The accuracy measures of a run over a range of rows: twelve against the
// naive benchmark, two scaled by the naive forecast's errors in the fitting
// rows, and the bias. Pure computation: nothing is written anywhere.
#include <array>
#include <limits>
#include <optional>

#include "models/Espacio.h"

namespace tendora {

// A measure with no value: its computation met a division by zero, 0/0, the
// logarithm of zero or a non-finite number. Each measure stands on its own, so
// one without a value takes nothing else with it.
using Medida = std::optional<double>;

// The columns of an error table: the run's label, then the measures in the
// order Medidas::Columnas gives them. Up to ColErrLMR they are errors (smaller
// is better), ColErrPB..ColErrPBMSE shares of the benchmark (larger is
// better), MASE and RMSSE scaled errors (smaller is better) and ME the bias
// (nearer 0 is better). New columns go at the end: the log and the tables
// keep this order.
enum ColumnaError : int {
    ColErrEtiqueta = 0,
    ColErrMSE,
    ColErrRMSE,
    ColErrMAE,
    ColErrMAPE,
    ColErrsMAPE,
    ColErrMRAE,
    ColErrRelMAE,
    ColErrRelRMSE,
    ColErrLMR,
    ColErrPB,
    ColErrPBMAE,
    ColErrPBMSE,
    ColErrMASE,
    ColErrRMSSE,
    ColErrME,
    NumColumnasError
};

// Which values of a measure are better.
enum class Sentido { Menor, Mayor, CercaDeCero };
constexpr Sentido SentidoDe(int col)
{
    if (col >= ColErrPB && col <= ColErrPBMSE)
        return Sentido::Mayor;
    return col == ColErrME ? Sentido::CercaDeCero : Sentido::Menor;
}

struct Medidas {
    Medida MSE, RMSE, MAE, MAPE, sMAPE;
    Medida MSEReferencia, MAEReferencia;
    Medida MRAE, RelMAE, RelRMSE, LMR;
    Medida PB, PBMAE, PBMSE;
    Medida MASE, RMSSE, ME;
    // sMAPE as a fraction for the chart's band; 0 when sMAPE has no value.
    double DesvRelativa = 0;

    // The values in the order of the error-table columns ColErrMSE..ColErrME.
    std::array<Medida, NumColumnasError - ColErrMSE> Columnas() const
    {
        return {MSE, RMSE, MAE, MAPE, sMAPE, MRAE, RelMAE, RelRMSE, LMR, PB, PBMAE, PBMSE, MASE, RMSSE, ME};
    }
};

// The scale of MASE and RMSSE: the mean absolute and the mean squared
// in-sample error of the seasonal naive forecast (y(t) - y(t-12)) over the
// fitting rows 1..NumDatos, or of the plain naive one (y(t) - y(t-1)) when
// those rows are fewer than 13. NaN when there is none: fewer than two rows,
// or a sum that overflows. A zero scale (a constant series) stays 0, and the
// measures divided by it have no value.
struct EscalaIngenua {
    double Abs = std::numeric_limits<double>::quiet_NaN();
    double Cuad = std::numeric_limits<double>::quiet_NaN();
};
// Throws std::out_of_range when NumDatos lies outside the table.
EscalaIngenua EscalaDe(const Espacio& e);

// The running sums and counts of the measures over a range of rows, before
// the measures are taken from them.
struct SumasMedidas {
    double S1 = 0, S2 = 0, S3 = 0, S4 = 0, S5 = 0, S6 = 0, S7 = 0;
    double S8 = 0; // the signed errors, for ME
    EscalaIngenua Escala;
    long long W1 = 0, W2 = 0, W3 = 0;
    long long N = 0, NA = 0, NS = 0, NB = 0, NR = 0;
    bool infW = false, infW3 = false;
};
// The measures from their sums: every way of measuring ends here, so
// all give the same bits for the same sums.
Medidas MedidasDeSumas(const SumasMedidas& s);

// tipo 1: benchmark = previous value; any other tipo: benchmark = value of row
// primera - 1 for every row. A row has a benchmark only when its benchmark row
// is 1 or later (row 0 holds no data). MASE and RMSSE take their scale from
// the fitting rows 1..e.NumDatos whatever the range. Flags are not consulted.
// Never fails on the values; throws std::out_of_range when a non-empty range,
// NumDatos or ColPrev lies outside the table.
Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima);
// The same with the scale already taken (both ranges of a run share it).
Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima, const EscalaIngenua& escala);

} // namespace tendora
