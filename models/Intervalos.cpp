// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic forecast's scales, seasonal test and empirical intervals.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "models/Aritmetica.h"
#include "models/Automatico.h"

namespace tendora {

// ---------------------------------------------------------------- scales

double NivelHasta(const std::vector<double>& y, int t)
{
    t = std::min<int>(t, int(y.size()));
    const int desde = std::max(0, t - 12);
    double s = 0;
    for (int i = desde; i < t; ++i)
        s += std::fabs(y[size_t(i)]);
    const double m = t > desde ? s / (t - desde) : 0.0;
    return m > 0 && std::isfinite(m) ? m : 1.0;
}

bool EsEstacional(const std::vector<double>& y)
{
    const size_t n = y.size();
    if (n < 36)
        return false;
    const double media = std::accumulate(y.begin(), y.end(), 0.0) / double(n);
    double c0 = 0;
    for (double x : y)
        c0 += (x - media) * (x - media);
    if (!(c0 > 0))
        return false;
    std::array<double, 13> r{};
    for (size_t k = 1; k <= 12; ++k) {
        double c = 0;
        for (size_t t = k; t < n; ++t)
            c += (y[t] - media) * (y[t - k] - media);
        r[k] = c / c0;
    }
    double s = 1;
    for (size_t k = 1; k < 12; ++k)
        s += 2 * r[k] * r[k];
    return std::fabs(r[12]) / std::sqrt(s / double(n)) > 1.6448536269514722;
}

bool AjustableDesestacionalizado(int item)
{
    switch (item) {
    case ItemNVS:
    case ItemMMS:
    case ItemLES:
    case ItemLED:
    case ItemHLT: return true;
    default: return false;
    }
}

double EscalaMASE(const double* y, int n, bool cuadrados)
{
    const int m = n >= 13 ? 12 : 1;
    if (n <= m)
        return kSinValor;
    double s = 0;
    for (int t = m; t < n; ++t) {
        const double d = y[t] - y[t - m];
        s += cuadrados ? d * d : std::fabs(d);
    }
    const double r = s / (n - m);
    return std::isfinite(r) ? r : kSinValor;
}

// ---------------------------------------------------------------- intervals

namespace {

// Order statistic of sorted z for a two-sided level: the finite-sample conformal rank.
double Cuantil(const std::vector<double>& z, double nivel)
{
    const size_t M = z.size();
    if (M == 0)
        return 0.0;
    const double r = nivel * double(M + 1);
    size_t i = nivel > 0.5 ? size_t(std::ceil(r)) : size_t(std::max(1.0, std::floor(r)));
    i = std::clamp<size_t>(i, 1, M);
    return z[i - 1];
}

struct Reparto {
    std::vector<double> Spread; // per step, non-decreasing
    double q10 = 0, q90 = 0, q025 = 0, q975 = 0;
    bool Valido = false;
};

// The spread of each step and the pooled quantiles from the origins not excluded.
Reparto Repartir(const ErroresOrigen& err, int excluida)
{
    Reparto r;
    const int P = err.Plan.Pasos;
    const int K = int(err.Plan.Origenes.size());
    if (P < 1 || K < 1)
        return r;
    r.Spread.assign(size_t(P), 0.0);
    for (int h = 1; h <= P; ++h) {
        double s = 0;
        int c = 0;
        for (int k = 0; k < K; ++k) {
            if (k == excluida)
                continue;
            const double e = err.E(k, h);
            if (e == e) {
                const double x = e / err.Nivel[size_t(k)];
                s += x * x;
                ++c;
            }
        }
        r.Spread[size_t(h - 1)] = c > 0 ? std::sqrt(s / c) : 0.0;
        if (h > 1)
            r.Spread[size_t(h - 1)] = std::max(r.Spread[size_t(h - 1)], r.Spread[size_t(h - 2)]);
    }
    std::vector<double> z;
    for (int k = 0; k < K; ++k) {
        if (k == excluida)
            continue;
        for (int h = 1; h <= P; ++h) {
            const double e = err.E(k, h);
            const double s = r.Spread[size_t(h - 1)];
            if (e == e && s > 0)
                z.push_back(e / err.Nivel[size_t(k)] / s);
        }
    }
    if (z.empty())
        return r;
    std::sort(z.begin(), z.end());
    r.q10 = Cuantil(z, 0.10);
    r.q90 = Cuantil(z, 0.90);
    r.q025 = Cuantil(z, 0.025);
    r.q975 = Cuantil(z, 0.975);
    r.Valido = true;
    return r;
}

double SpreadPaso(const Reparto& r, int h)
{
    const int P = int(r.Spread.size());
    if (P == 0)
        return 0.0;
    if (h <= P)
        return r.Spread[size_t(h - 1)];
    return r.Spread[size_t(P - 1)] * std::sqrt(double(h) / P);
}

double Acotar(double x, bool prevNeg)
{
    if (!std::isfinite(x))
        return 0.0;
    return prevNeg ? x : std::max(0.0, x);
}

} // namespace

std::vector<Intervalo> IntervalosEmpiricos(const ErroresOrigen& err, const std::vector<double>& f, double nivelFinal,
                                           bool prevNeg)
{
    std::vector<Intervalo> out(f.size());
    const Reparto r = Repartir(err, -1);
    if (!std::isfinite(nivelFinal))
        nivelFinal = 1.0;
    for (size_t i = 0; i < f.size(); ++i) {
        const double x = std::isfinite(f[i]) ? f[i] : 0.0;
        Intervalo& b = out[i];
        if (!r.Valido) {
            b = {Acotar(x, prevNeg), Acotar(x, prevNeg), Acotar(x, prevNeg), Acotar(x, prevNeg)};
            continue;
        }
        const double s = nivelFinal * SpreadPaso(r, int(i) + 1);
        b.Inf80 = Acotar(x + s * r.q10 * Ensanche80, prevNeg);
        b.Sup80 = Acotar(x + s * r.q90 * Ensanche80, prevNeg);
        b.Inf95 = Acotar(x + s * r.q025 * Ensanche95, prevNeg);
        b.Sup95 = Acotar(x + s * r.q975 * Ensanche95, prevNeg);
        // Keep the nesting whatever rounding or clipping did.
        b.Inf95 = std::min(b.Inf95, b.Inf80);
        b.Sup95 = std::max(b.Sup95, b.Sup80);
    }
    return out;
}

std::array<double, 2> CoberturaEmpirica(const ErroresOrigen& err)
{
    const int K = int(err.Plan.Origenes.size());
    const int P = err.Plan.Pasos;
    if (K < MinimoOrigenes || P < 1)
        return {kSinValor, kSinValor};
    long long dentro80 = 0, dentro95 = 0, total = 0;
    for (int k = 0; k < K; ++k) {
        const Reparto r = Repartir(err, k);
        if (!r.Valido)
            continue;
        for (int h = 1; h <= P; ++h) {
            const double e = err.E(k, h);
            if (e != e)
                continue;
            const double x = e / err.Nivel[size_t(k)];
            const double s = SpreadPaso(r, h);
            ++total;
            dentro80 += x >= s * r.q10 * Ensanche80 && x <= s * r.q90 * Ensanche80;
            dentro95 += x >= s * r.q025 * Ensanche95 && x <= s * r.q975 * Ensanche95;
        }
    }
    if (total == 0)
        return {kSinValor, kSinValor};
    return {double(dentro80) / double(total), double(dentro95) / double(total)};
}

} // namespace tendora
