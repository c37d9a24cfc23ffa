// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Medidas.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tendora {

namespace {

// The sums run in plain floating point: a failing term (an overflow, a
// quotient by an infinite benchmark error) turns its sum into inf or NaN, and
// only the measures built on that sum lose their value. NaN carries "no value"
// through the derived measures until it is turned into an empty optional.
inline double Valor(double x)
{
    return std::isfinite(x) ? x : std::numeric_limits<double>::quiet_NaN();
}

inline Medida Final(double x)
{
    return std::isfinite(x) ? Medida(x) : std::nullopt;
}

// 0 for a finite x, NaN for an infinite one: added to a sum, it marks the sum
// as having met a non-finite value even where the term itself would hide it
// (a quotient by infinity reads 0, a comparison with infinity reads false).
inline double Marca(double x)
{
    return 0.0 * x;
}

} // namespace

EscalaIngenua EscalaDe(const Espacio& e)
{
    const int n = e.NumDatos;
    if (n < 0 || (n > 0 && n >= e.Filas()))
        throw std::out_of_range("EscalaDe: filas de ajuste fuera de la tabla");
    // A season needs a year before it and one value to compare with.
    const int lag = n >= 13 ? 12 : 1;
    EscalaIngenua r;
    if (n <= lag)
        return r;
    double sa = 0, sc = 0;
    for (int t = lag + 1; t <= n; ++t) {
        const double d = e.TablaPrev[t][ColDatos] - e.TablaPrev[t - lag][ColDatos];
        sa += std::fabs(d);
        sc += d * d;
    }
    const double cuantos = static_cast<double>(n - lag);
    r.Abs = Valor(sa / cuantos);
    r.Cuad = Valor(sc / cuantos);
    return r;
}

Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima)
{
    return CalcularMedidas(e, tipo, primera, ultima, EscalaDe(e));
}

Medidas CalcularMedidas(const Espacio& e, int tipo, int primera, int ultima, const EscalaIngenua& escala)
{
    if (e.ColPrev < 0 || e.ColPrev >= NumCols)
        throw std::out_of_range("CalcularMedidas: columna del modelo fuera de la tabla");
    if (ultima >= primera && (primera < 0 || ultima >= e.Filas()))
        throw std::out_of_range("CalcularMedidas: filas fuera de la tabla");

    const int col = e.ColPrev;
    double S1 = 0, S2 = 0, S3 = 0, S4 = 0, S5 = 0, S6 = 0, S7 = 0, S8 = 0;
    // Counts as integers: exact, as counting in doubles was, and kept out of
    // the floating-point registers, which the eight sums need to themselves.
    long long W1 = 0, W2 = 0, W3 = 0;
    long long N = 0, NA = 0, NS = 0, NB = 0, NR = 0;
    // A comparison with an infinite error cannot count: its count has no value.
    bool infW = false, infW3 = false;

    for (int i = primera; i <= ultima; ++i) {
        const double A = e.TablaPrev[i][ColDatos];
        const double F = e.TablaPrev[i][col];
        const double err = A - F;
        const double err2 = err * err;
        N += 1;
        S1 += err2;
        S2 += std::fabs(err);
        S8 += err;
        if (A != 0.0) {
            NA += 1;
            S3 += std::fabs(err / A);
        }
        const double AF = A + F;
        if (AF != 0.0) {
            NS += 1;
            S4 += 2.0 * std::fabs(err / AF) + Marca(AF);
        }

        // Benchmark row: the previous one for fit errors, the forecast origin otherwise.
        const int fb = tipo == 1 ? i - 1 : primera - 1;
        if (fb >= 1) {
            const double b = A - e.TablaPrev[fb][ColDatos];
            const double b2 = b * b;
            NB += 1;
            S5 += b2;
            S6 += std::fabs(b);
            if (b != 0.0) {
                NR += 1;
                S7 += std::fabs(err / b) + Marca(b);
            }
            // Signed errors for PB.
            W1 += b > err;
            W2 += std::fabs(err) < std::fabs(b);
            W3 += b2 > err2;
            infW |= !(std::isfinite(err) && std::isfinite(b));
            infW3 |= !(std::isfinite(err2) && std::isfinite(b2));
        }
    }

    SumasMedidas s;
    s.S1 = S1, s.S2 = S2, s.S3 = S3, s.S4 = S4, s.S5 = S5, s.S6 = S6, s.S7 = S7, s.S8 = S8;
    s.Escala = escala;
    s.W1 = W1, s.W2 = W2, s.W3 = W3;
    s.N = N, s.NA = NA, s.NS = NS, s.NB = NB, s.NR = NR;
    s.infW = infW, s.infW3 = infW3;
    return MedidasDeSumas(s);
}

Medidas MedidasDeSumas(const SumasMedidas& s)
{
    const double S1 = s.S1, S2 = s.S2, S3 = s.S3, S4 = s.S4, S5 = s.S5, S6 = s.S6, S7 = s.S7;
    const long long W1 = s.W1, W2 = s.W2, W3 = s.W3, N = s.N, NA = s.NA, NS = s.NS, NB = s.NB, NR = s.NR;
    const bool infW = s.infW, infW3 = s.infW3;
    const double nada = std::numeric_limits<double>::quiet_NaN();
    const double dN = static_cast<double>(N), dNA = static_cast<double>(NA), dNS = static_cast<double>(NS);
    const double dNB = static_cast<double>(NB), dNR = static_cast<double>(NR);
    const double dW1 = infW ? nada : static_cast<double>(W1);
    const double dW2 = infW ? nada : static_cast<double>(W2);
    const double dW3 = infW3 ? nada : static_cast<double>(W3);

    // Each measure from its own sums: a count of 0 gives 0/0 or x/0, a
    // perfect fit the logarithm of 0, and all of those come out non-finite.
    const double MSE = Valor(S1 / dN);
    const double RMSE = Valor(std::sqrt(MSE));
    const double MAE = Valor(S2 / dN);
    const double MSERef = Valor(S5 / dNB);
    const double MAERef = Valor(S6 / dNB);
    const double RelRMSE = Valor(RMSE / Valor(std::sqrt(MSERef)));

    Medidas m;
    m.MSE = Final(MSE);
    m.RMSE = Final(RMSE);
    m.MAE = Final(MAE);
    m.MAPE = Final(S3 / dNA * 100.0);
    m.sMAPE = Final(S4 / dNS * 100.0);
    m.MSEReferencia = Final(MSERef);
    m.MAEReferencia = Final(MAERef);
    m.MRAE = Final(S7 / dNR);
    m.RelMAE = Final(MAE / MAERef);
    m.RelRMSE = Final(RelRMSE);
    m.LMR = Final(std::log(RelRMSE));
    m.PB = Final(dW1 / dNB * 100.0);
    m.PBMSE = Final(dW3 / dNB * 100.0);
    m.PBMAE = Final(dW2 / dNB * 100.0);
    // A scale that is 0 or has no value gives x/0, 0/0 or NaN: no value.
    m.MASE = Final(MAE / s.Escala.Abs);
    m.RMSSE = Final(std::sqrt(Valor(MSE / s.Escala.Cuad)));
    m.ME = Final(s.S8 / dN);
    m.DesvRelativa = m.sMAPE ? S4 / dNS : 0.0;
    return m;
}

} // namespace tendora
