// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three experiments: every model in turn, a grid of parameter values and
// a series of earlier forecast origins. Each step is an ordinary calculation
// of the window that logs its rows in the error tables.
#include <QString>
#include <array>
#include <initializer_list>
#include <optional>

#include "models/Espacio.h"
#include "models/Modelos.h"
#include "ui/PaginaModelo.h"
#include "ui/RejillaColumna.h"

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;
class QWidget;
class TFormRangoVar;
class TFormSimExAnte;

namespace tendora {

class TablasErrores;

// All an experiment asks of the window that runs it.
class VentanaExperimentos {
public:
    // The model page's edits a loop sets and reads.
    using Controles = PaginaModelo::Edits;
    virtual QWidget* Ventana() = 0; // owner of the progress indicator
    virtual const Espacio& Datos() const = 0;
    virtual Controles Edits() const = 0;
    virtual int ValorN() const = 0;
    virtual int ValoresPrever() const = 0;
    virtual int NumModelos() const = 0;
    virtual int ModeloSeleccionado() const = 0;
    virtual void SeleccionarModelo(int item) = 0;
    // The hold-out edit's change handler, for a value the edit already held.
    virtual void PuntosSinUsarCambiados() = 0;
    // The calculation sequence without its trap; throws when the run fails.
    virtual void Calcular(bool Mostrar) = 0;
    virtual void AnadirSerieComparativa() = 0;
    virtual void AutoajustarTablas() = 0;
    virtual void AplicarMostrarAjuste() = 0;
    virtual void MostrarInformacion(const QString& texto) = 0;
    // A run's parameters as the model page gives them, and the hold-out (the
    // window's own LeerParametros and PuntosSinUsar).
    virtual Parametros LeerParametros(int item) const = 0;
    virtual int PuntosSinUsar() const = 0;
    // The error tables, which also reach the workspace: a loop that does not
    // draw runs its steps on them directly.
    virtual TablasErrores& Tablas() = 0;
    // The two dialogs, created at first use by a window built without the program's start.
    virtual TFormRangoVar* DialogoRangos() = 0;
    virtual TFormSimExAnte* DialogoExAnte() = 0;

protected:
    ~VentanaExperimentos() = default;
};

class Experimentos {
public:
    explicit Experimentos(VentanaExperimentos& ventana);
    ~Experimentos();
    Experimentos(const Experimentos&) = delete;
    Experimentos& operator=(const Experimentos&) = delete;

    // The three commands after their dialogs' checks; the window runs them
    // under its error display.
    void AplicarTodos();
    void VariacionParametros();
    void SimulacionExAnte();

    // Parameter loops. Each sets pasos to 0, then per step sets the spin edits
    // of the model page, calculates (drawing and adding a comparison series
    // only when Mostrar) and counts the step, failed or not. A range runs
    // Desde + k × Inc up to Hasta included. A step that is not positive
    // throws std::invalid_argument before any step runs.
    void VariarN(long long desde, long long hasta, long long inc, bool Mostrar, long long& pasos);
    void VariarAlfaLE(double desde, double hasta, double inc, bool Mostrar, long long& pasos);
    void VariarAlfaTHT(double desde, double hasta, double inc, bool Mostrar, long long& pasos);
    void VariarAlfaCroston(double desde, double hasta, double inc, bool Mostrar, long long& pasos);
    void VariarHolt(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                    double incBeta, bool Mostrar, long long& pasos);
    void VariarHoltWinters(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                           double incBeta, double desdePhi, double hastaPhi, double incPhi, bool Mostrar,
                           long long& pasos);
    // The loop of the selected model with the ranges and CBGraficos of
    // the range dialog; the step count.
    long long VariarParametros();
    // One run per hold-out h = hasta .. desde through the hold-out edit.
    void SimularExAnte(int desde, int hasta);

    // ---- The one parameters value of the running step ----
    // A loop fixes the constants it varies in Paso_ and copies them into the
    // edits only when the window can be seen (a progress refresh, a message,
    // the loop's end): setting an edit lays out its text, which costs more
    // than the step's own calculation. The model page reads a run's
    // parameters through ValorParametro: the fixed values from here, the
    // rest from the edits as the user left them.
    double ValorParametro(const QDoubleSpinBox* s) const;
    QString TextoParametro(const QDoubleSpinBox* s) const; // as the labels write it
    // The values the selected model reads, in the page's order, joined by ";".
    QString ParametrosModelo(int item) const;
    // The label of an error-table row: the model, those values and the hold-out.
    EtiquetaCelda Etiqueta(int item, int puntosSinUsar) const;
    // The run a label keeps: the values its model reads (the others at their
    // defaults), the horizon and the negative-forecast switch.
    static Parametros ParametrosDe(const EtiquetaCelda& e);
    void SincronizarParametros();

    // Steps of the last experiment whose run failed; they show no message of
    // their own and are told once at the end.
    long long PasosFallidos = 0;
    // Milliseconds an experiment runs before its progress indicator appears.
    int EsperaProgresoMs = 1500;

    // What the last experiment's loop did, stopped or not; empty when the
    // last command ran no loop (a dialog cancelled, nothing loaded).
    struct Resumen {
        QString titulo;
        long long pasos = 0; // done, the one running when stopped included
        long long total = 0;
        long long fallidos = 0;
        double segundos = 0.0;
        bool interrumpido = false;
    };
    std::optional<Resumen> UltimoResumen;
    // "Interrumpido en el paso K de M." when the last loop was stopped; empty otherwise.
    QString TextoInterrupcion() const;

    // Whole part of x plus its fraction rounded to d decimals, halves to even.
    static double RedondearDecimales(int d, double x);
    // How many values Desde + k × Inc a smoothing-constant loop takes.
    static long long ContarValores(double desde, double hasta, double inc);

    // One level of a smoothing-constant loop: its edit, the field of the
    // parameters value it fixes, and its range.
    struct Constante {
        QDoubleSpinBox* spin;
        double Parametros::*campo;
        double desde, hasta, inc;
    };

private:
    struct Progreso;
    struct FijacionParametros;
    struct Nivel;
    struct Sesion;
    // A step of a loop that does not draw, on the core and the error tables
    // directly; false when it failed (counted, no message).
    bool PasoDirecto(Sesion& s);
    Parametros ParametrosDelPaso(const Sesion& s) const;
    // The workspace as the last run left it, after runs done in a batch.
    void PonerAlDia(Sesion& s);
    // The innermost level's values in batches of runs; false when they do not apply.
    bool PasosEnLote(Nivel& n, int nivel, FijacionParametros& fijados, long long& pasos);
    void RecorrerNiveles(Nivel* niveles, size_t cuantos, size_t k, FijacionParametros& fijados, bool Mostrar,
                         long long& pasos);
    // The calculation for one step; false when it failed (counted, no message).
    bool CalcularPaso(bool Mostrar);
    void PasoVariacion(bool Mostrar, long long& pasos);
    void VariarConstantes(std::initializer_list<Constante> constantes, bool Mostrar, long long& pasos);

    VentanaExperimentos& v_;
    Progreso* progresoActivo_ = nullptr;
    // Set from the progress indicator (Cancelar, Escape) while it lets events
    // through; the loops read it after each step.
    bool parar_ = false;
    Sesion* sesion_ = nullptr;
    Parametros paso_;
    struct Fijado {
        QDoubleSpinBox* spin = nullptr;
        double Parametros::*campo = nullptr;
        QString texto;
    };
    std::array<Fijado, 3> fijados_{};
    int numFijados_ = 0;
};

} // namespace tendora
