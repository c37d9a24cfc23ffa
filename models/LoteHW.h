// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several Holt-Winters runs of one parameter grid at once, with their fit and
// accuracy measures: for a loop that only logs rows. Each run gives the very
// bits a run of its own gives (the same operations in the same order, one run
// per vector lane); a run that would fail, or that the lean code does not
// cover, sends the whole batch back to the one-run code.
#include <vector>

#include "models/Medidas.h"
#include "models/Modelos.h"

namespace tendora {

class LoteHW {
public:
    // Runs per batch: two pairs of doubles, enough independent work to hide
    // most of the latency of each run's level-trend recursion while its state
    // stays in registers.
    static constexpr int Carriles = 4;

    // Ready for runs on e as ModeloHW with this start left it, forecasting V
    // values. False when runs must go one at a time: a start that no longer
    // fits the table, or data too large for the lean sums.
    bool Preparar(const Espacio& e, const InicioHW& inicio, int V, bool prevNeg);

    // Runs k = 0..cuantos-1 (cuantos <= Carriles) with the constants
    // alfa[k], beta[k], phi[k]. True when all ended well: their measures are
    // then in Ajuste(k) and, with held-back values forecast, Acierto(k).
    // False when one would fail or needs the general code.
    bool Calcular(const double* alfa, const double* beta, const double* phi, int cuantos);

    bool ConAcierto() const { return conAcierto_; }
    const Medidas& Ajuste(int k) const { return ajuste_[size_t(k)]; }
    const Medidas& Acierto(int k) const { return acierto_[size_t(k)]; }

    // One SSE2 register: two runs side by side. Plain x86-64 has nothing
    // wider, and every operation stays the one a lone run does.
    using V2 = double __attribute__((vector_size(16)));
    // A comparison's lanes: all ones (-1) or zero.
    using M2 = long long __attribute__((vector_size(16)));

private:
    static constexpr int G = Carriles / 2;
    struct Lote {
        V2 v[G];
    };
    // The sums a range of rows gives, two runs a register.
    struct Sumas {
        Lote S1, S2, S3, S4, S7, S8;
        M2 NS[G], W1[G], W2[G], W3[G];
    };
    // What the benchmark of each measured row gives; the same for every run.
    struct Fila {
        double A = 0, b = 0, b2 = 0, absb = 0;
        bool conBase = false; // has a benchmark row
    };

    bool Medir(int primera, int ultima, const std::vector<Fila>& filas, Sumas& s) const;
    void Terminar(const Sumas& s, const SumasMedidas& comun, int cuantos, Medidas* m) const;
    static SumasMedidas Comun(const std::vector<Fila>& filas, int primera, int ultima);

    int n_ = 0, R_ = 0, U_ = 0;
    bool prevNeg_ = false;
    bool conAcierto_ = false;
    double L0_ = 0, B0_ = 0;
    double coef_[13] = {};
    std::vector<double> y_; // history, rows 0..n
    std::vector<unsigned char> mes_; // month of rows 0..R
    std::vector<Fila> ajusteFilas_, aciertoFilas_; // by row
    SumasMedidas ajusteComun_, aciertoComun_;
    std::vector<Lote> F_; // forecasts of rows 0..R, before their cut at zero
    Medidas ajuste_[Carriles], acierto_[Carriles];
};

} // namespace tendora
