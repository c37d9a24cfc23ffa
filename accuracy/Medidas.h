#pragma once
// The twelve accuracy measures of a run over a range of rows, against the
// naive benchmark. Pure computation: nothing is written anywhere.
#include <array>
#include <string>

#include "Aritmetica.h"
#include "Espacio.h"

namespace tendora {

struct Medidas {
    double MSE = 0, RMSE = 0, MAE = 0, MAPE = 0, sMAPE = 0;
    double MSEReferencia = 0, MAEReferencia = 0;
    double MRAE = 0, RelMAE = 0, RelRMSE = 0, LMR = 0;
    double PB = 0, PBMAE = 0, PBMSE = 0;
    double DesvRelativa = 0;

    // The twelve values in the order of the error-table columns 1..12:
    // MSE RMSE MAE MAPE sMAPE MRAE RelMAE RelRMSE LMR PB PBMAE PBMSE.
    std::array<double, 12> Columnas() const
    {
        return {MSE, RMSE, MAE, MAPE, sMAPE, MRAE, RelMAE, RelRMSE, LMR, PB, PBMAE, PBMSE};
    }
};

// An arithmetic failure that also says which measure met it (the field name of
// Medidas, e.g. "MAPE" or "MSEReferencia"); its text is "<measure>: <failure>".
// Callers that trap ErrorAritmetico catch it as such.
class ErrorMedida : public ErrorAritmetico {
public:
    ErrorMedida(const char* medida, const std::string& fallo)
        : ErrorAritmetico(std::string(medida) + ": " + fallo), medida_(medida) {}
    const char* Medida() const { return medida_; }

private:
    const char* medida_;
};

// tipo 1: benchmark = previous value; any other tipo: benchmark = value of row
// primera - 1 for every row. A row has a benchmark only when its benchmark row
// is 1 or later (row 0 holds no data). Flags are not consulted.
// Throws ErrorMedida at the first measure that fails (an overflow while summing
// is met by the measure that sum feeds), and std::out_of_range when a non-empty
// range or ColPrev lies outside the table.
Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima);

} // namespace tendora
