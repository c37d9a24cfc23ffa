// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The twelve accuracy measures of a run over a range of rows, against the
// naive benchmark. Pure computation: nothing is written anywhere.
#include <array>
#include <optional>

#include "models/Espacio.h"

namespace tendora {

// A measure with no value: its computation met a division by zero, 0/0, the
// logarithm of zero or a non-finite number. Each measure stands on its own, so
// one without a value takes nothing else with it.
using Medida = std::optional<double>;

// The columns of an error table: the run's label, then the measures in the
// order Medidas::Columnas gives them. Up to ColErrLMR they are errors (smaller
// is better), from ColErrPB on shares of the benchmark (larger is better).
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
    NumColumnasError
};

struct Medidas {
    Medida MSE, RMSE, MAE, MAPE, sMAPE;
    Medida MSEReferencia, MAEReferencia;
    Medida MRAE, RelMAE, RelRMSE, LMR;
    Medida PB, PBMAE, PBMSE;
    // sMAPE as a fraction for the chart's band; 0 when sMAPE has no value.
    double DesvRelativa = 0;

    // The twelve values in the order of the error-table columns ColErrMSE..ColErrPBMSE.
    std::array<Medida, NumColumnasError - ColErrMSE> Columnas() const
    {
        return {MSE, RMSE, MAE, MAPE, sMAPE, MRAE, RelMAE, RelRMSE, LMR, PB, PBMAE, PBMSE};
    }
};

// The running sums and counts of the measures over a range of rows, before
// the measures are taken from them.
struct SumasMedidas {
    double S1 = 0, S2 = 0, S3 = 0, S4 = 0, S5 = 0, S6 = 0, S7 = 0;
    long long W1 = 0, W2 = 0, W3 = 0;
    long long N = 0, NA = 0, NS = 0, NB = 0, NR = 0;
    bool infW = false, infW3 = false;
};
// The twelve measures from their sums: every way of measuring ends here, so
// all give the same bits for the same sums.
Medidas MedidasDeSumas(const SumasMedidas& s);

// tipo 1: benchmark = previous value; any other tipo: benchmark = value of row
// primera - 1 for every row. A row has a benchmark only when its benchmark row
// is 1 or later (row 0 holds no data). Flags are not consulted.
// Never fails on the values; throws std::out_of_range when a non-empty range
// or ColPrev lies outside the table.
Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima);

} // namespace tendora
