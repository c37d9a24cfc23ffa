// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's side of the three experiments and of the automatic forecast:
// their dialogs, the progress indicator and the messages. The loops are the core's (MotorExperimentos),
// run on the window's session; each run reaches the error tables through the
// session's run log.
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "models/MotorExperimentos.h"
#include "models/Sesion.h"

class QWidget;
class TFormRangoVar;
class TFormSimExAnte;

namespace tendora {

class TablasErrores;

// What an experiment asks of the window that runs it.
class VentanaExperimentos {
public:
    // Shows the run the session just calculated: the table, the charts and
    // its comparison series.
    virtual void MostrarCorrida() = 0;
    virtual void AplicarMostrarAjuste() = 0;
    virtual void MostrarInformacion(const QString& texto) = 0;
    // A question with "Sí" and "No"; true for "Sí".
    virtual bool Confirmar(const QString& texto) = 0;
    // The two dialogs, created at first use by a window built without the program's start.
    virtual TFormRangoVar* DialogoRangos() = 0;
    virtual TFormSimExAnte* DialogoExAnte() = 0;

protected:
    ~VentanaExperimentos() = default;
};

class Experimentos {
public:
    Experimentos(VentanaExperimentos& ventana, QWidget* dueno, Sesion& sesion, TablasErrores& tablas);
    ~Experimentos();
    Experimentos(const Experimentos&) = delete;
    Experimentos& operator=(const Experimentos&) = delete;

    // The three commands after their dialogs' checks; the window runs them
    // under its error display.
    void AplicarTodos();
    void VariacionParametros();
    void SimulacionExAnte();
    // The session's automatic forecast under the same progress window
    // ("Cancelar" stops it after the model being fitted); the caller checks
    // that a history is loaded.
    const ResultadoAutomatico& PrevisionAutomatica(Criterio c);

    // Parameter loops. Each sets pasos to the steps run, failed or not; per
    // step the session takes the values as the model page's edits would,
    // calculates (drawing and adding a comparison series only when Mostrar).
    // A range runs Desde + k × Inc up to Hasta included. A step that is not
    // positive throws std::invalid_argument before any step runs.
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
    // More drawn steps than this ask first: each adds a comparison series.
    static constexpr long long MaximoSeriesDibujadas = 50;
    // One run per hold-out h = hasta .. desde.
    void SimularExAnte(int desde, int hasta);

    // Steps of the last experiment whose run failed; they show no message of
    // their own and are told once at the end.
    long long PasosFallidos() const { return motor_.PasosFallidos; }
    // Milliseconds an experiment runs before its progress indicator appears.
    int EsperaProgresoMs = 1500;
    // The progress window's clock, read once as a loop starts and once per
    // step reported; empty: the system's steady clock. Tests put their own.
    std::function<std::chrono::steady_clock::time_point()> RelojProgreso;
    // An experiment whose total, worked out from the steps done, passes this
    // many seconds shows the estimate in its progress window.
    static constexpr double SegundosParaEstimar = 10.0;
    // "Tiempo estimado: 2 min 30 s (quedan 1 min 10 s)".
    static QString TextoEstimacion(double total, double quedan);
    // A length of time, whole seconds: "45 s", "2 min 5 s", "1 h 20 min", "3 d 4 h".
    static QString TextoDuracion(double segundos);

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
    std::optional<Resumen> UltimoResumen() const;
    // "Interrumpido en el paso K de M." when the last loop was stopped; empty otherwise.
    QString TextoInterrupcion() const;

    // Whole part of x plus its fraction rounded to d decimals, halves to even.
    static double RedondearDecimales(int d, double x);

private:
    class Progreso;
    long long Variar(const std::vector<MotorExperimentos::Rango>& niveles, bool Mostrar);

    VentanaExperimentos& v_;
    Sesion& sesion_;
    TablasErrores& tablas_;
    std::unique_ptr<Progreso> progreso_;
    MotorExperimentos motor_;
};

} // namespace tendora
