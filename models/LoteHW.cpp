// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/LoteHW.h"

#include <algorithm>
#include <cmath>

namespace tendora {

namespace {

using V2 = LoteHW::V2;
using M2 = LoteHW::M2;

// Values up to this size cannot overflow any term of the sums (an error, its
// square, a sum of two), so the lean sums need none of the marks the general
// code adds for infinite terms. Anything larger goes to the general code.
constexpr double kTope = 1e150;

inline V2 Abs(V2 x)
{
    return (V2)((M2)x & M2{0x7fffffffffffffffLL, 0x7fffffffffffffffLL});
}

// x where the lane's condition holds (also the cut at zero of a forecast:
// -0 >= 0 keeps its sign, as in RecortarNegativa), +0 elsewhere: adding +0 leaves a sum
// of non-negative terms as it was, as skipping the term would.
inline V2 Si(M2 condicion, V2 x)
{
    return (V2)((M2)x & condicion);
}

} // namespace

bool LoteHW::Preparar(const Espacio& e, const InicioHW& inicio, int V, bool prevNeg)
{
    if (!inicio.Listo || e.NumDatos != inicio.n || e.Filas() <= inicio.R ||
        static_cast<int>(e.MesDeFila.size()) <= inicio.R)
        return false;
    n_ = inicio.n;
    R_ = inicio.R;
    prevNeg_ = prevNeg;
    L0_ = inicio.L0;
    B0_ = inicio.B0;
    std::copy(inicio.Coef.begin(), inicio.Coef.end(), coef_);
    conAcierto_ = e.NumDatos < e.TotalDatos && V > 0;
    U_ = conAcierto_ ? std::min(e.TotalDatos, n_ + V) : n_;
    if (U_ > R_)
        return false;

    y_.assign(size_t(U_) + 1, 0.0);
    for (int i = 1; i <= U_; ++i) {
        y_[size_t(i)] = e.TablaPrev[size_t(i)][ColDatos];
        if (!(std::fabs(y_[size_t(i)]) <= kTope))
            return false;
    }
    mes_.assign(e.MesDeFila.begin(), e.MesDeFila.begin() + R_ + 1);

    // The benchmark of a fit row is the row before; of a held-back row, the last of the history.
    const auto fila = [this](int i, int base) {
        Fila f;
        f.A = y_[size_t(i)];
        f.conBase = base >= 1;
        if (f.conBase) {
            f.b = f.A - y_[size_t(base)];
            f.b2 = f.b * f.b;
            f.absb = std::fabs(f.b);
        }
        return f;
    };
    ajusteFilas_.assign(size_t(n_) + 1, Fila{});
    for (int i = 1; i <= n_; ++i)
        ajusteFilas_[size_t(i)] = fila(i, i - 1);
    aciertoFilas_.assign(size_t(U_) + 1, Fila{});
    for (int i = n_ + 1; i <= U_; ++i)
        aciertoFilas_[size_t(i)] = fila(i, n_);
    ajusteComun_ = Comun(ajusteFilas_, 1, n_);
    aciertoComun_ = Comun(aciertoFilas_, n_ + 1, U_);
    // The scale of MASE and RMSSE is the series', the one a lone run takes.
    ajusteComun_.Escala = aciertoComun_.Escala = EscalaDe(e);
    F_.assign(size_t(R_) + 1, Lote{});
    return true;
}

// The counts and the benchmark's sums, which no run's forecast changes: once
// per experiment, added in the rows' order as CalcularMedidas adds them.
SumasMedidas LoteHW::Comun(const std::vector<Fila>& filas, int primera, int ultima)
{
    SumasMedidas s;
    for (int i = primera; i <= ultima; ++i) {
        const Fila& f = filas[size_t(i)];
        s.N += 1;
        s.NA += f.A != 0.0;
        if (f.conBase) {
            s.NB += 1;
            s.S5 += f.b2;
            s.S6 += std::fabs(f.b);
            s.NR += f.b != 0.0;
        }
    }
    return s;
}

bool LoteHW::Calcular(const double* alfa, const double* beta, const double* phi, int cuantos)
{
    // Spare lanes repeat the last run: they fail only when it does.
    const auto carril = [cuantos](const double* x, int k) { return x[std::min(k, cuantos - 1)]; };
    Lote a, ca, b, cb, f, cf, Lp, Bp, coef[13];
    for (int g = 0; g < G; ++g) {
        a.v[g] = V2{carril(alfa, 2 * g), carril(alfa, 2 * g + 1)};
        b.v[g] = V2{carril(beta, 2 * g), carril(beta, 2 * g + 1)};
        f.v[g] = V2{carril(phi, 2 * g), carril(phi, 2 * g + 1)};
        ca.v[g] = 1.0 - a.v[g];
        cb.v[g] = 1.0 - b.v[g];
        cf.v[g] = 1.0 - f.v[g];
        Lp.v[g] = V2{L0_, L0_};
        Bp.v[g] = V2{B0_, B0_};
        for (int m = 0; m < 13; ++m)
            coef[m].v[g] = V2{coef_[m], coef_[m]};
    }

    // RecursionHW's operations in its order, for every lane; the forecasts
    // are kept before the cut at zero, for Medir to check. The model's
    // checks are not taken row by row: a level or trend that is not finite
    // leaves every later trend non-finite, an index every later index of its
    // month; a zero level makes the new index infinite or NaN, and a zero
    // index (where the model takes its other branch) the level. So the last
    // trend and indices tell of them all, and such a lane, failing or not,
    // is left to the one-run code.
    for (int i = 1; i <= n_; ++i) {
        const double y = y_[size_t(i)];
        Lote& c = coef[mes_[size_t(i)]];
        Lote& P = F_[size_t(i)];
        for (int g = 0; g < G; ++g) {
            const V2 So = c.v[g];
            const V2 s1 = Lp.v[g] + Bp.v[g];
            const V2 L = (a.v[g] * y) / So + ca.v[g] * s1;
            const V2 B = (L - Lp.v[g]) * b.v[g] + cb.v[g] * Bp.v[g];
            c.v[g] = (f.v[g] * y) / L + cf.v[g] * So;
            P.v[g] = s1 * So;
            Lp.v[g] = L;
            Bp.v[g] = B;
        }
    }
    for (int i = n_ + 1; i <= R_; ++i) {
        const double h = static_cast<double>(i - n_);
        const Lote& c = coef[mes_[size_t(i)]];
        Lote& P = F_[size_t(i)];
        for (int g = 0; g < G; ++g)
            P.v[g] = (Lp.v[g] + h * Bp.v[g]) * c.v[g];
    }
    // 0 × x is ±0 for a finite x and NaN otherwise.
    Lote marca;
    for (int g = 0; g < G; ++g) {
        marca.v[g] = Bp.v[g] * 0.0;
        for (int m = 0; m < 13; ++m)
            marca.v[g] += coef[m].v[g] * 0.0;
        // Forecasts past the measured rows are checked here, the others in Medir.
        for (int i = U_ + 1; i <= R_; ++i)
            marca.v[g] += F_[size_t(i)].v[g] * 0.0;
    }
    for (int g = 0; g < G; ++g)
        if (!(marca.v[g][0] == 0.0 && marca.v[g][1] == 0.0))
            return false;

    Sumas s;
    if (!Medir(1, n_, ajusteFilas_, s))
        return false;
    Terminar(s, ajusteComun_, cuantos, ajuste_);
    if (conAcierto_) {
        if (!Medir(n_ + 1, U_, aciertoFilas_, s))
            return false;
        Terminar(s, aciertoComun_, cuantos, acierto_);
    }
    return true;
}

// CalcularMedidas's sums that depend on the forecast, for every lane, in the
// rows' order, one register of lanes at a time so that its ten sums stay in
// registers. With every value within kTope no term is infinite, so the marks
// the general code adds are all ±0 (which change no sum) and its two flags
// stay down. False when a forecast before its cut at zero is beyond that
// (also infinite or NaN: the model would have failed).
bool LoteHW::Medir(int primera, int ultima, const std::vector<Fila>& filas, Sumas& s) const
{
    for (int g = 0; g < G; ++g) {
        V2 S1{}, S2{}, S3{}, S4{}, S7{}, S8{};
        M2 NS{}, W1{}, W2{}, W3{}; // a true comparison is -1: counted by subtracting it
        M2 bien{-1, -1};
        for (int i = primera; i <= ultima; ++i) {
            const Fila& r = filas[size_t(i)];
            const double A = r.A;
            const V2 Pp = F_[size_t(i)].v[g];
            bien &= Abs(Pp) <= kTope;
            const V2 F = prevNeg_ ? Pp : Si(Pp >= 0.0, Pp);
            const V2 err = A - F;
            const V2 err2 = err * err;
            S1 += err2;
            S2 += Abs(err);
            S8 += err;
            if (A != 0.0)
                S3 += Abs(err / A);
            const V2 AF = A + F;
            const M2 conAF = AF != 0.0;
            NS -= conAF;
            S4 += Si(conAF, 2.0 * Abs(err / AF));
            if (r.conBase) {
                if (r.b != 0.0)
                    S7 += Abs(err / r.b);
                W1 -= r.b > err;
                W2 -= Abs(err) < r.absb;
                W3 -= r.b2 > err2;
            }
        }
        if (bien[0] == 0 || bien[1] == 0)
            return false;
        s.S1.v[g] = S1;
        s.S2.v[g] = S2;
        s.S3.v[g] = S3;
        s.S4.v[g] = S4;
        s.S7.v[g] = S7;
        s.S8.v[g] = S8;
        s.NS[g] = NS;
        s.W1[g] = W1;
        s.W2[g] = W2;
        s.W3[g] = W3;
    }
    return true;
}

void LoteHW::Terminar(const Sumas& s, const SumasMedidas& comun, int cuantos, Medidas* m) const
{
    for (int k = 0; k < cuantos; ++k) {
        const int g = k / 2, j = k % 2;
        SumasMedidas x = comun;
        x.S1 = s.S1.v[g][j];
        x.S2 = s.S2.v[g][j];
        x.S3 = s.S3.v[g][j];
        x.S4 = s.S4.v[g][j];
        x.S7 = s.S7.v[g][j];
        x.S8 = s.S8.v[g][j];
        x.NS = s.NS[g][j];
        x.W1 = s.W1[g][j];
        x.W2 = s.W2[g][j];
        x.W3 = s.W3[g][j];
        m[k] = MedidasDeSumas(x);
    }
}

} // namespace tendora
