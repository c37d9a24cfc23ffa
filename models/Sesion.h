// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The forecasting session: the workspace, the horizon, the hold-out, the
// selected model with every model's parameters, and the log of runs. It
// loads a history, moves the split, runs the selected model and logs the
// run. The window's controls mirror it; the experiments and the command line
// drive it directly.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "models/Automatico.h"
#include "models/Catalogo.h"
#include "models/Espacio.h"
#include "models/Modelos.h"
#include "models/Registro.h"
#include "models/RegistroCorridas.h"

namespace tendora {

// A calculation asked for before any history was loaded.
class ErrorSinDatos : public std::runtime_error {
public:
    ErrorSinDatos() : std::runtime_error("Cargue los datos antes de calcular.") { }
};

class Sesion {
public:
    // Values to forecast, 0..999; the hold-out's range before any history.
    static constexpr int MaximoHorizonte = 999;
    static constexpr int LimiteInicialPuntos = 100;

    // What changed, for whoever mirrors the session.
    enum Cambio : unsigned {
        CambioModelo = 1u << 0,
        CambioValores = 1u << 1, // a parameter or the negative-forecast switch
        CambioHorizonte = 1u << 2,
        CambioPuntos = 1u << 3, // the hold-out or its range
        CambioDatos = 1u << 4, // a new history
        CambioIntervalos = 1u << 5, // the prediction-interval switch
    };
    using Observador = std::function<void(unsigned cambios)>;

    Sesion();

    // The workspace. The models write it; the split, the size and the history
    // change only through the session.
    Espacio Ws;
    const Espacio& Datos() const { return Ws; }
    bool DatosCargados() const { return Ws.DatosCargados; }

    // ---- settings
    int Horizonte() const { return param_.V; }
    // Brought into 0..999; the table keeps room for the history and the forecast.
    void PonerHorizonte(int V);
    int PuntosSinUsar() const { return puntos_; }
    int LimitePuntosSinUsar() const { return limitePuntos_; }
    // Brought into 0..LimitePuntosSinUsar(); with a history, the split moves
    // (also when the value stays: the table may have been resized since).
    void PonerPuntosSinUsar(int h);
    int ModeloSeleccionado() const { return modelo_; }
    void SeleccionarModelo(int item); // brought into 0..11
    // A parameter as the user left it (an edit's reading, not checked: a
    // model that cannot take it says so when it runs).
    double Valor(ValorModelo v) const { return tendora::Valor(param_, v); }
    void PonerValor(ValorModelo v, double x);
    bool PrevisionesNegativas() const { return param_.PrevNeg; }
    void PonerPrevisionesNegativas(bool si);
    // Every parameter, the horizon and the switch.
    const Parametros& Todos() const { return param_; }
    // What the model of item reads (the others at their defaults), the
    // horizon and the switch: what a run of it uses and its log entry keeps.
    Parametros ParametrosDe(int item) const;

    // Sets a logged run: its model, the values it read, its horizon, switch
    // and hold-out. False, changing nothing, when the hold-out is beyond the
    // current range or a value is outside what its parameter takes.
    bool Aplicar(const Corrida& c);

    // ---- history
    // The workspace the records make with the current horizon and hold-out,
    // for a caller that checks it before adopting it (the window draws it first).
    Espacio Preparar(const std::vector<Registro>& registros) const;
    // Takes a prepared workspace as the history: the hold-out's range becomes
    // 0..T-1 (a larger hold-out is brought into it) and the log is cleared.
    void Adoptar(Espacio&& nuevo);
    void CargarHistorico(const std::vector<Registro>& registros) { Adoptar(Preparar(registros)); }

    // ---- calculation
    // The selected model on the workspace with the session's parameters, its
    // fit measures and, with values held back and forecast, its accuracy
    // measures; the run is logged. ErrorSinDatos before a history; a model's
    // failure (ErrorAritmetico, std::invalid_argument, ...) logs nothing and
    // leaves what the model wrote.
    // With the interval switch on, the intervals are worked out too unless
    // the caller says not: an experiment's step shows its run, not a band,
    // and an applied candidate brings its own.
    const Corrida& Calcular(bool conIntervalos = true);
    // The same for a run whose model has already written the table (with
    // parameters p): measures it and logs it.
    const Corrida& Registrar(const Parametros& p);

    // ---- prediction intervals and the automatic forecast
    // When on, every calculation also evaluates the model at rolling origins
    // on the fitted values and gives its forecasts 80 % and 95 % intervals.
    bool Intervalos() const { return intervalos_; }
    void PonerIntervalos(bool si);
    // The intervals of the last calculation, one per forecast row
    // NumDatos+1..NumDatos+V; empty when the switch was off or the model could
    // not be evaluated at enough origins.
    const std::vector<Intervalo>& IntervalosPrevision() const { return bandas_; }

    // Every candidate on the whole history with the current horizon, ranked by
    // the criterion (kept as UltimaSeleccion); then its winner is applied as
    // AplicarCandidato does. Nothing is applied when no candidate could be
    // evaluated; a cancelled run changes nothing (the last ranking stays) and
    // gives a result marked Cancelado. ErrorSinDatos before a history.
    const ResultadoAutomatico& PrevisionAutomatica(Criterio c, InformeProgreso* informe = nullptr);
    // The criterion the next automatic forecast ranks by (the ranking page's choice).
    Criterio CriterioAutomatico() const { return criterio_; }
    void PonerCriterioAutomatico(Criterio c) { criterio_ = c; }
    const ResultadoAutomatico& UltimaSeleccion() const { return seleccion_; }
    // The demand class of the loaded history (all of it, the hold-out too).
    const Demanda& DemandaSerie() const { return demanda_; }
    // After AplicarCandidato of a combination, a seasonally adjusted or a TSB
    // candidate: its own forecasts of rows NumDatos+1..NumDatos+V, which the
    // model page's model (its first component) does not give alone; the
    // intervals are then around them. Empty otherwise, and emptied by the
    // next calculation.
    const std::vector<double>& PrevisionCandidato() const { return prevCandidato_; }
    // The label of the candidate applied last (point as decimal mark), empty
    // once another calculation ran.
    const std::string& EtiquetaCandidato() const { return etiquetaCandidato_; }
    // Candidate k of the last ranking: its model and constants on the model
    // page, the hold-out 0, the intervals on, and the forecast calculated and
    // logged. False (nothing changed) for a candidate that was not evaluated.
    bool AplicarCandidato(int k);

    // Everything above as it is now (the log too, apart from its listeners):
    // what undo keeps and puts back.
    struct Estado {
        Espacio ws;
        Parametros param;
        int modelo = 0;
        int puntos = 0;
        int limitePuntos = LimiteInicialPuntos;
        bool intervalos = false;
        Criterio criterio = Criterio::MASE;
        std::vector<Intervalo> bandas;
        std::vector<double> prevCandidato;
        std::string etiquetaCandidato;
        ResultadoAutomatico seleccion;
        Demanda demanda;
        RegistroCorridas::Contenido corridas;
    };
    Estado Guardar() const;
    // Puts a kept state back whole and tells every change; the log's
    // listeners are not told (its tables are put back by their owner).
    void Reponer(Estado e);

    RegistroCorridas& Corridas() { return registro_; }
    const RegistroCorridas& Corridas() const { return registro_; }

    // Told after every change of the settings or the history.
    void Observar(Observador o) { observador_ = std::move(o); }
    // Changes are kept and told together when the last Silencio ends (an
    // experiment changes values on every step).
    class Silencio {
    public:
        explicit Silencio(Sesion& s) : s_(s) { ++s_.silencio_; }
        ~Silencio();
        Silencio(const Silencio&) = delete;
        Silencio& operator=(const Silencio&) = delete;

    private:
        Sesion& s_;
    };
    // Tells the changes kept so far now (a progress refresh shows the window).
    void Avisar();

private:
    void Cambiado(unsigned cambios);
    void CalcularBandas(const Parametros& p);
    void MoverCorte();

    Parametros param_;
    int modelo_ = 0;
    int puntos_ = 0;
    int limitePuntos_ = LimiteInicialPuntos;
    RegistroCorridas registro_;
    bool intervalos_ = false;
    Criterio criterio_ = Criterio::MASE;
    std::vector<Intervalo> bandas_;
    std::vector<double> prevCandidato_;
    std::string etiquetaCandidato_;
    ResultadoAutomatico seleccion_;
    Demanda demanda_;
    ResultadoAutomatico cancelada_;
    Observador observador_;
    int silencio_ = 0;
    unsigned pendientes_ = 0;
};

} // namespace tendora
