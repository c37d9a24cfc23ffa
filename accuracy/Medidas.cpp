#include "Medidas.h"

#include <cmath>
#include <stdexcept>

namespace tendora {

namespace {

// Runs one checked step and, if it fails, names the measure that met the failure.
template <class Paso>
inline double En(const char* medida, Paso paso)
{
    try {
        return paso();
    } catch (const ErrorAritmetico& x) {
        throw ErrorMedida(medida, x.what());
    }
}

inline double Porcentaje(const char* medida, double suma, double cuenta)
{
    return En(medida, [&] { return Finito(Dividir(suma, cuenta) * 100.0); });
}

} // namespace

Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima)
{
    if (e.ColPrev < 0 || e.ColPrev >= NumCols)
        throw std::out_of_range("CalcularMedidas: columna del modelo fuera de la tabla");
    if (ultima >= primera && (primera < 0 || ultima >= e.Filas()))
        throw std::out_of_range("CalcularMedidas: filas fuera de la tabla");

    const int col = e.ColPrev;
    double S1 = 0, S2 = 0, S3 = 0, S4 = 0, S5 = 0, S6 = 0, S7 = 0;
    double W1 = 0, W2 = 0, W3 = 0;
    double N = 0, NA = 0, NS = 0, NB = 0, NR = 0;

    // One try for the whole pass: 'etapa' names the measure whose sum is being
    // built, so a failing term is reported by the measure it feeds.
    const char* etapa = "MSE";
    try {
        for (int i = primera; i <= ultima; ++i) {
            const double A = e.TablaPrev[i][4];
            const double F = e.TablaPrev[i][col];

            etapa = "MSE";
            const double err = Finito(A - F);
            N += 1;
            S1 = Finito(S1 + Finito(err * err));
            etapa = "MAE";
            S2 = Finito(S2 + std::fabs(err));
            if (A != 0.0) {
                etapa = "MAPE";
                NA += 1;
                S3 = Finito(S3 + std::fabs(Dividir(err, A)));
            }
            const double AF = A + F;
            if (AF != 0.0) {
                etapa = "sMAPE";
                NS += 1;
                S4 = Finito(S4 + Finito(2.0 * std::fabs(Dividir(err, Finito(AF)))));
            }

            // Benchmark row: the previous one for fit errors, the forecast origin otherwise.
            const int fb = tipo == 1 ? i - 1 : primera - 1;
            if (fb >= 1) {
                etapa = "MSEReferencia";
                const double b = Finito(A - e.TablaPrev[fb][4]);
                NB += 1;
                S5 = Finito(S5 + Finito(b * b));
                etapa = "MAEReferencia";
                S6 = Finito(S6 + std::fabs(b));
                if (b != 0.0) {
                    etapa = "MRAE";
                    NR += 1;
                    S7 = Finito(S7 + std::fabs(Dividir(err, b)));
                }
                // Signed errors for PB; both squares are finite by now.
                W1 += b > err ? 1 : 0;
                W2 += std::fabs(err) < std::fabs(b) ? 1 : 0;
                W3 += b * b > err * err ? 1 : 0;
            }
        }
    } catch (const ErrorAritmetico& x) {
        throw ErrorMedida(etapa, x.what());
    }

    Medidas m;
    m.MSE = En("MSE", [&] { return Dividir(S1, N); });
    m.RMSE = En("RMSE", [&] { return Raiz(m.MSE); });
    m.MAE = En("MAE", [&] { return Dividir(S2, N); });
    m.MAPE = Porcentaje("MAPE", S3, NA);
    m.sMAPE = Porcentaje("sMAPE", S4, NS);
    m.MSEReferencia = En("MSEReferencia", [&] { return Dividir(S5, NB); });
    m.MAEReferencia = En("MAEReferencia", [&] { return Dividir(S6, NB); });
    m.MRAE = En("MRAE", [&] { return Dividir(S7, NR); });
    m.RelMAE = En("RelMAE", [&] { return Dividir(m.MAE, m.MAEReferencia); });
    m.RelRMSE = En("RelRMSE", [&] { return Dividir(m.RMSE, Raiz(m.MSEReferencia)); });
    m.LMR = En("LMR", [&] { return Ln(m.RelRMSE); });
    m.PB = Porcentaje("PB", W1, NB);
    m.PBMSE = Porcentaje("PBMSE", W3, NB);
    m.PBMAE = Porcentaje("PBMAE", W2, NB);
    m.DesvRelativa = En("DesvRelativa", [&] { return Dividir(S4, NS); });
    return m;
}

} // namespace tendora
