// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Automatic forecasting: rolling-origin evaluation of a model, its constants
// fitted by that error, every candidate ranked, and empirical prediction
// intervals from the same errors. Standard C++ only: the window, the
// experiments and the command line share it.
#include <array>
#include <string>
#include <vector>

#include "models/Catalogo.h"
#include "models/Espacio.h"
#include "models/Intermitente.h"
#include "models/Modelos.h"

namespace tendora {

class InformeProgreso;

// ---------------------------------------------------------------- rolling origins

// Where the origins go for a history of n values and a horizon H. An origin o
// fits values 1..o and forecasts o+1..o+Pasos. The last origin is n - Pasos, so
// it leaves Pasos values to compare; the others step back one month each.
// Pasos is H unless the history is too short for MinimoOrigenes origins that
// each fit at least MinimoAjuste values: then it shrinks (not below 1).
struct PlanOrigenes {
    std::vector<int> Origenes; // ascending; empty when nothing can be evaluated
    int Pasos = 0; // forecast steps evaluated at every origin
    int Horizonte = 0; // the horizon asked for
    bool Valido() const { return !Origenes.empty() && Pasos > 0; }
};
constexpr int MinimoOrigenes = 3;
constexpr int MaximoOrigenes = 12;
// Values an origin fits at least: two years, or half a short history.
int MinimoAjuste(int n);
PlanOrigenes ColocarOrigenes(int n, int H);

// Errors (data minus forecast) of one model at each origin and step. NaN
// where the model failed at that origin.
struct ErroresOrigen {
    PlanOrigenes Plan;
    std::vector<double> Error; // [k * Pasos + (h - 1)]
    std::vector<double> Real; // the data compared, same index
    std::vector<double> Nivel; // per origin: mean |y| over the 12 values before it
    int Fallidos = 0; // origins where the model failed
    double E(int k, int h) const { return Error[size_t(k) * size_t(Plan.Pasos) + size_t(h - 1)]; }
};

// The history (rows 1..NumDatos of hist, column ColDatos, with year and month)
// evaluated with a model at the plan's origins. Uses a scratch workspace kept
// between calls, so a fit loop allocates nothing after its first run.
class Evaluador {
public:
    // The first n values of hist (its NumDatos when n < 0).
    explicit Evaluador(const Espacio& hist, int n = -1);
    int Valores() const { return n_; }
    // On: the models run on the history divided by its seasonal coefficients,
    // worked out at each origin from the values before it by the program's
    // ratio-to-moving-average decomposition, and their forecasts are
    // multiplied back. An origin with under 24 values, or a coefficient that
    // is not positive, fails. A history with months at 0 (and none below) is
    // adjusted the additive way: each month's mean difference from the moving
    // average is subtracted, then added back to the forecasts.
    void Desestacionalizar(bool si) { sa_ = si; }
    bool AjusteAditivo() const { return aditivo_; }
    // Errors of item with p at each origin; p.V is ignored.
    void Evaluar(int item, const Parametros& p, const PlanOrigenes& plan, ErroresOrigen& out);
    // Mean squared one-step error of the fitted rows of a run on values 1..o
    // (on the adjusted scale when adjusting); NaN when the model fails.
    double ErrorAjuste(int item, const Parametros& p, int o);
    // One run on the whole history with horizon V: the forecasts of rows n+1..n+V.
    // Empty when the model fails.
    std::vector<double> Prever(int item, const Parametros& p, int V);
    const std::vector<double>& Datos() const { return y_; } // y_[t-1] = value of month t
    // The history's demand class, and whether it is demand that comes now and
    // then (intermittent or irregular, or under two demands among zeros):
    // then only the intermittent methods are candidates and the intervals are
    // built for counts.
    const Demanda& DemandaSerie() const { return demanda_; }
    bool Intermitente() const { return intermitente_; }
    // The first failure's message since OlvidarFallo, to say why a candidate was passed over.
    const std::string& Fallo() const { return fallo_; }
    void OlvidarFallo() { fallo_.clear(); }

private:
    bool Correr(int item, const Parametros& p, int o, int V);
    const std::array<double, 13>* Coeficientes(int o);
    Espacio ws_;
    bool sa_ = false;
    bool aditivo_ = false;
    double Quitar(double y, double c) const { return aditivo_ ? y - c : y / c; }
    double Poner(double f, double c) const { return aditivo_ ? f + c : f * c; }
    std::vector<double> f_; // the last run's forecasts
    std::vector<int> origenCoef_;
    std::vector<std::array<double, 13>> coef_;
    std::vector<unsigned char> coefBien_;
    std::vector<double> y_, anio_, mes_;
    std::string fallo_;
    int n_ = 0;
    Demanda demanda_;
    bool intermitente_ = false;
};

// ---------------------------------------------------------------- intervals

struct Intervalo {
    double Inf80 = 0, Sup80 = 0, Inf95 = 0, Sup95 = 0;
};
// Intervals of the forecasts f (steps 1..f.size()) from a model's rolling-origin
// errors: each error divided by the level at its origin and by the spread of
// its step, the pooled ratios' empirical quantiles, then scaled back with the
// level at the end of the history. Steps past those evaluated widen with the
// square root of the step. Bounds are finite; below 0 only when negatives are
// allowed. Without usable errors the intervals are the forecasts themselves.
std::vector<Intervalo> IntervalosEmpiricos(const ErroresOrigen& err, const std::vector<double>& f, double nivelFinal,
                                           bool prevNeg);
// The level an interval scales with: mean |y| of the last 12 values up to t
// (fewer at the start); 1 when that is 0.
double NivelHasta(const std::vector<double>& y, int t);
// Share of errors inside their interval when each origin's intervals are
// built from the other origins' errors: {80 %, 95 %}; NaN without enough origins.
std::array<double, 2> CoberturaEmpirica(const ErroresOrigen& err);

// Intervals for demand that comes now and then: each month's demand drawn as
// none or one of the sizes seen, with the probability that makes the forecast
// its mean; the nominal levels raised until the intervals hold 80 % and 95 %
// of the values at the rolling origins. Bounds are 0 or sizes seen: never
// negative, never NaN, all 0 on a history without demand.
std::vector<Intervalo> IntervalosDemanda(const ErroresOrigen& err, const std::vector<double>& y,
                                         const std::vector<double>& f);
// The 95 % upper bound of the demand summed over the forecast months, the
// stock that covers the horizon: whole horizons drawn month by month as
// above, at the level that kept the origins' totals under it 95 % of the
// time. 0 without demand in y.
double DemandaMaxima(const ErroresOrigen& err, const std::vector<double>& y, const std::vector<double>& f);
// Their leave-one-origin-out coverage, as CoberturaEmpirica.
std::array<double, 2> CoberturaDemanda(const ErroresOrigen& err, const std::vector<double>& y);
// The intervals and coverage a candidate gets on the evaluator's history:
// the demand ones for intermittent demand, the empirical ones otherwise.
std::vector<Intervalo> IntervalosPrevision(const Evaluador& ev, const ErroresOrigen& err, const std::vector<double>& f,
                                           bool prevNeg);
std::array<double, 2> CoberturaPrevision(const Evaluador& ev, const ErroresOrigen& err);

// ---------------------------------------------------------------- scales

// The MASE/RMSSE scale of values y[0..n): mean |y_t - y_{t-12}| (or its
// squares), season 12; a series under 13 values uses the lag 1. NaN when no
// difference exists.
double EscalaMASE(const double* y, int n, bool cuadrados);

// ---------------------------------------------------------------- automatic forecast

enum class Criterio { MASE, sMAPE, RMSE };
// "MASE", "sMAPE", "RMSE".
std::string_view NombreCriterio(Criterio c);

// A model of a combination: its item and fitted values.
struct Componente {
    int Item = 0;
    Parametros Param;
    bool Desestacionalizado = false;
};

struct Candidato {
    // A combination's forecast is the mean of its components' (the best
    // single candidates); Item and Param are then its first component's.
    std::vector<Componente> Componentes;
    bool EsCombinacion() const { return !Componentes.empty(); }
    int Item = 0; // the model selector's item
    Parametros Param; // fitted values (the others at their defaults), V = horizon
    bool Desestacionalizado = false; // run on the seasonally adjusted history
    std::string Etiqueta; // as the error tables write it, with a point as decimal mark
    bool Valido = false; // evaluated and ranked
    double Valor = 0; // the criterion (valid candidates)
    double MASE = 0, RMSSE = 0, sMAPE = 0, ME = 0, RMSE = 0; // rolling-origin; NaN without a value
    // Share of the origins' months whose error is under half a unit: the
    // forecast rounded to whole units is right (counts of demand).
    double SinError = 0;
    double Cobertura80 = 0, Cobertura95 = 0; // 0..1; NaN without a value
    std::string Motivo; // why chosen or passed over, Spanish
    ErroresOrigen Errores; // its rolling-origin errors, for its intervals
};

struct ResultadoAutomatico {
    Criterio Crit = Criterio::MASE; // the one ranked by
    // sMAPE was asked on a history with months at 0, where it has no value: MASE ranked.
    bool CriterioSustituido = false;
    Demanda DemandaSerie; // the history's class
    bool Intermitente = false; // ranked among the intermittent methods, demand intervals
    PlanOrigenes Plan;
    std::vector<Candidato> Ranking; // best first; candidates that failed last
    int Ganador = -1; // index in Ranking, -1 when none could be evaluated
    bool Cancelado = false;
    // The winner refitted on the whole history: its forecast and intervals, rows n+1..n+V.
    std::vector<double> Prevision;
    std::vector<Intervalo> Intervalos;
    // The stock figure, when asked for (DemandaMaximaDe); NaN otherwise.
    double DemandaMaxima = kSinValor;
};

// Every candidate on the history (rows 1..n of hist, NumDatos when n < 0) with horizon V:
// each model's constants fitted by the criterion over the rolling origins,
// then ranked. The progress interface, when given, is told each candidate
// and may cancel. Throws nothing for a short or odd history: the candidates
// say why they were passed over.
ResultadoAutomatico PrevisionAutomatica(const Espacio& hist, int V, Criterio c, bool prevNeg,
                                        InformeProgreso* informe = nullptr, int n = -1);

// The 95 % upper bound of the horizon's total for a ranking's winner, ev on
// the same history: DemandaMaxima for intermittent demand, drawn at the
// highest rate any of the methods forecasts; otherwise the sum of the months'
// 95 % bounds (their errors move together). NaN without a winner. Apart from
// PrevisionAutomatica: the command line does not write it.
double DemandaMaximaDe(Evaluador& ev, const ResultadoAutomatico& r);

// The rolling-origin measures, coverage and criterion of a candidate whose errors are set.
void Puntuar(Candidato& c, const Evaluador& ev, Criterio crit);
// A candidate's forecasts of rows n+1..n+V on the whole history; empty when a model fails.
std::vector<double> PreverCandidato(Evaluador& ev, const Candidato& c, int V);

// A model's constants fitted alone (the command line's --modelo): the
// candidate of item as PrevisionAutomatica would rank it.
Candidato AjustarModelo(Evaluador& ev, int item, const PlanOrigenes& plan, int V, Criterio c, bool prevNeg,
                        bool desest = false);

// The label of a run as the error tables write it, point as decimal mark:
// "H-W (0.3;0.1;0.2)".
std::string EtiquetaPunto(int item, const Parametros& p);
// True when the lag-12 autocorrelation of y is significant at 90 %, as the
// Theta method's seasonal test (Assimakopoulos & Nikolopoulos 2000) does; false
// under three years.
bool EsEstacional(const std::vector<double>& y);
// Models that run on seasonally adjusted data when the series is seasonal.
bool AjustableDesestacionalizado(int item);

// The code of a candidate's model: the selector's, or "TSB".
std::string_view CodigoCandidato(int item);
// A candidate's: a combination's is "Media (" + its components' labels joined by " + " + ")".
std::string EtiquetaPunto(const Candidato& c);
// The combination of the components' forecasts for one month (reorders v).
double Combinacion(std::vector<double>& v);
// Components a combination takes: the best single candidates.
constexpr int ComponentesCombinacion = 5;
// A single candidate wins over the combination only when its criterion is
// lower by more than this share: the best of many singles looks better at the
// origins than it will forecast, since it was picked there.
constexpr double MargenCombinacion = 0.2;
// Interval quantiles widened for the same reason (set on development series).
constexpr double Ensanche80 = 1.05;
constexpr double Ensanche95 = 1.2;

} // namespace tendora
