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

// ---------------------------------------------------------------- intervals for counts

namespace {

// The non-zero demands of the first t months, sorted, and their mean.
struct Tamanos {
    std::vector<double> S;
    double Media = 0;
};
Tamanos TamanosHasta(const std::vector<double>& y, int t)
{
    Tamanos r;
    for (int i = 0; i < std::min<int>(t, int(y.size())); ++i)
        if (y[size_t(i)] > 0)
            r.S.push_back(y[size_t(i)]);
    std::sort(r.S.begin(), r.S.end());
    if (!r.S.empty())
        r.Media = std::accumulate(r.S.begin(), r.S.end(), 0.0) / double(r.S.size());
    return r;
}

// A month's demand drawn as none with probability 1 - p and one of the sizes
// seen otherwise, p = f / their mean: the forecast is the draw's mean.
// Quantile at level a.
double CuantilDemanda(const Tamanos& t, double f, double a)
{
    if (t.S.empty() || !(f > 0) || !(t.Media > 0))
        return 0.0;
    const double p = std::min(1.0, f / t.Media);
    if (a <= 1.0 - p)
        return 0.0;
    const double b = (a - (1.0 - p)) / p;
    const size_t M = t.S.size();
    const size_t i = std::clamp<size_t>(size_t(std::ceil(b * double(M) - 1e-9)), 1, M);
    return t.S[i - 1];
}

// The interval of a nominal level c: equal tails, or from 0 when the lower
// tail falls on no demand (then all of c lies above 0).
std::pair<double, double> IntervaloDemanda(const Tamanos& t, double f, double c)
{
    const double inf = CuantilDemanda(t, f, (1.0 - c) / 2.0);
    if (inf > 0)
        return {inf, CuantilDemanda(t, f, (1.0 + c) / 2.0)};
    return {0.0, CuantilDemanda(t, f, c)};
}

// The origins' forecasts with the value that came, and each origin's sizes.
struct PuntosDemanda {
    std::vector<Tamanos> PorOrigen;
    struct Punto {
        int k;
        double f, y;
    };
    std::vector<Punto> P;
};
PuntosDemanda Reunir(const ErroresOrigen& err, const std::vector<double>& y)
{
    PuntosDemanda r;
    const int K = int(err.Plan.Origenes.size());
    for (int k = 0; k < K; ++k) {
        r.PorOrigen.push_back(TamanosHasta(y, err.Plan.Origenes[size_t(k)]));
        for (int h = 1; h <= err.Plan.Pasos; ++h) {
            const double e = err.E(k, h);
            const double real = err.Real[size_t(k) * size_t(err.Plan.Pasos) + size_t(h - 1)];
            if (e == e)
                r.P.push_back({k, real - e, real});
        }
    }
    return r;
}

// Nominal levels tried: 0.5, 0.505, ..., 0.995.
constexpr int NumNiveles = 100;
double NivelNominal(int i)
{
    return 0.5 + 0.005 * i;
}

// How many values each origin's intervals hold at every level tried.
struct Cuentas {
    std::vector<long long> Dentro; // [k * NumNiveles + i]
    std::vector<long long> Total; // per origin
};
Cuentas Contar(const PuntosDemanda& d)
{
    Cuentas c;
    const size_t K = d.PorOrigen.size();
    c.Dentro.assign(K * NumNiveles, 0);
    c.Total.assign(K, 0);
    for (const auto& q : d.P) {
        ++c.Total[size_t(q.k)];
        for (int i = 0; i < NumNiveles; ++i) {
            const auto [inf, sup] = IntervaloDemanda(d.PorOrigen[size_t(q.k)], q.f, NivelNominal(i));
            c.Dentro[size_t(q.k) * NumNiveles + size_t(i)] += q.y >= inf && q.y <= sup;
        }
    }
    return c;
}

// The nominal level for a coverage c at the origins (other than excluida):
// the draw ignores how uncertain p and the sizes are, so its own level covers
// too little. The 95 % level is the first whose intervals hold at least 95 %
// of the values: the upper bound is the one stock is set by. Counts jump with
// whole units, so the 80 % level is the one whose coverage is nearest 80 %.
double NivelCalibrado(const Cuentas& n, double c, bool alMenos, int excluida)
{
    double mejor = c, distancia = 2;
    bool hay = false;
    for (int i = 0; i < NumNiveles; ++i) {
        long long dentro = 0, total = 0;
        for (size_t k = 0; k < n.Total.size(); ++k) {
            if (int(k) == excluida)
                continue;
            const size_t j = k * NumNiveles + size_t(i);
            dentro += n.Dentro[j];
            total += n.Total[k];
        }
        if (total == 0)
            continue;
        hay = true;
        const double cob = double(dentro) / double(total);
        if (alMenos) {
            if (NivelNominal(i) >= c - 1e-9 && cob >= c)
                return NivelNominal(i);
        } else if (std::fabs(cob - c) < distancia - 1e-12) {
            distancia = std::fabs(cob - c);
            mejor = NivelNominal(i);
        }
    }
    return alMenos && hay ? NivelNominal(NumNiveles - 1) : mejor;
}

} // namespace

std::vector<Intervalo> IntervalosDemanda(const ErroresOrigen& err, const std::vector<double>& y,
                                         const std::vector<double>& f)
{
    const Cuentas cuentas = Contar(Reunir(err, y));
    const double n80 = NivelCalibrado(cuentas, 0.80, false, -1);
    const double n95 = NivelCalibrado(cuentas, 0.95, true, -1);
    const Tamanos t = TamanosHasta(y, int(y.size()));
    std::vector<Intervalo> out(f.size());
    for (size_t i = 0; i < f.size(); ++i) {
        const double x = std::isfinite(f[i]) ? std::max(0.0, f[i]) : 0.0;
        const auto [i80, s80] = IntervaloDemanda(t, x, n80);
        const auto [i95, s95] = IntervaloDemanda(t, x, n95);
        out[i] = {i80, s80, std::min(i95, i80), std::max(s95, s80)};
    }
    return out;
}

namespace {

// Drawn totals of months with these forecasts, sorted; a fixed generator, so
// that the figure never changes between runs.
std::vector<double> TotalesSorteados(const Tamanos& t, const double* f, int meses, int veces)
{
    unsigned long long x = 0x9E3779B97F4A7C15ULL;
    const auto azar = [&x] {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(x >> 11) * 0x1.0p-53;
    };
    std::vector<double> p(size_t(std::max(meses, 0)));
    for (size_t h = 0; h < p.size(); ++h)
        p[h] = std::isfinite(f[h]) && f[h] > 0 && t.Media > 0 ? std::min(1.0, f[h] / t.Media) : 0.0;
    std::vector<double> total(size_t(veces), 0.0);
    if (t.S.empty())
        return total;
    for (double& s : total)
        for (double ph : p)
            if (azar() < ph)
                s += t.S[std::min(t.S.size() - 1, size_t(azar() * double(t.S.size())))];
    std::sort(total.begin(), total.end());
    return total;
}

double CuantilSorteado(const std::vector<double>& v, double nivel)
{
    const size_t i = std::clamp<size_t>(size_t(std::ceil(nivel * double(v.size()) - 1e-9)), 1, v.size());
    return v[i - 1];
}

} // namespace

double DemandaMaxima(const ErroresOrigen& err, const std::vector<double>& y, const std::vector<double>& f)
{
    const Tamanos t = TamanosHasta(y, int(y.size()));
    if (t.S.empty() || f.empty())
        return 0.0;
    // The months of a part that stops or starts selling move together, which
    // independent draws miss: the level is raised until the totals of the
    // origins' steps stay under their bound at least 95 % of the time.
    const int K = int(err.Plan.Origenes.size());
    const int P = err.Plan.Pasos;
    std::vector<std::vector<double>> sorteos;
    std::vector<double> reales;
    for (int k = 0; k < K && P > 0; ++k) {
        std::vector<double> fk(static_cast<size_t>(P));
        double real = 0;
        bool bien = true;
        for (int h = 1; h <= P; ++h) {
            const double e = err.E(k, h);
            const double v = err.Real[size_t(k) * size_t(P) + size_t(h - 1)];
            bien = bien && e == e;
            fk[size_t(h - 1)] = v - e;
            real += v;
        }
        if (!bien)
            continue;
        sorteos.push_back(TotalesSorteados(TamanosHasta(y, err.Plan.Origenes[size_t(k)]), fk.data(), P, 1000));
        reales.push_back(real);
    }
    double nivel = 0.95;
    for (; nivel < 0.995 && !sorteos.empty(); nivel += 0.005) {
        size_t dentro = 0;
        for (size_t k = 0; k < sorteos.size(); ++k)
            dentro += reales[k] <= CuantilSorteado(sorteos[k], nivel);
        if (double(dentro) >= 0.95 * double(sorteos.size()))
            break;
    }
    const std::vector<double> total = TotalesSorteados(t, f.data(), int(f.size()), 4000);
    const double r = CuantilSorteado(total, std::min(nivel, 0.995));
    return std::isfinite(r) ? r : 0.0;
}

std::array<double, 2> CoberturaDemanda(const ErroresOrigen& err, const std::vector<double>& y)
{
    const int K = int(err.Plan.Origenes.size());
    if (K < MinimoOrigenes || err.Plan.Pasos < 1)
        return {kSinValor, kSinValor};
    const PuntosDemanda d = Reunir(err, y);
    const Cuentas cuentas = Contar(d);
    long long dentro80 = 0, dentro95 = 0, total = 0;
    for (int k = 0; k < K; ++k) {
        const double n80 = NivelCalibrado(cuentas, 0.80, false, k);
        const double n95 = NivelCalibrado(cuentas, 0.95, true, k);
        for (const auto& q : d.P) {
            if (q.k != k)
                continue;
            const Tamanos& t = d.PorOrigen[size_t(k)];
            const auto [i80, s80] = IntervaloDemanda(t, q.f, n80);
            const auto [i95, s95] = IntervaloDemanda(t, q.f, n95);
            ++total;
            dentro80 += q.y >= i80 && q.y <= s80;
            dentro95 += q.y >= std::min(i95, i80) && q.y <= std::max(s95, s80);
        }
    }
    if (total == 0)
        return {kSinValor, kSinValor};
    return {double(dentro80) / double(total), double(dentro95) / double(total)};
}

std::vector<Intervalo> IntervalosPrevision(const Evaluador& ev, const ErroresOrigen& err, const std::vector<double>& f,
                                           bool prevNeg)
{
    if (ev.Intermitente())
        return IntervalosDemanda(err, ev.Datos(), f);
    return IntervalosEmpiricos(err, f, NivelHasta(ev.Datos(), ev.Valores()), prevNeg);
}

std::array<double, 2> CoberturaPrevision(const Evaluador& ev, const ErroresOrigen& err)
{
    return ev.Intermitente() ? CoberturaDemanda(err, ev.Datos()) : CoberturaEmpirica(err);
}

} // namespace tendora
