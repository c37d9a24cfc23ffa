// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three experiments on a session: every model in turn, a grid of
// parameter values and a series of earlier forecast origins. Each step is a
// calculation of the session, logged in its run log. They report through a
// small progress interface, so they run the same in the window, on the
// command line and in the tests.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "models/Catalogo.h"
#include "models/LoteHW.h"
#include "models/Sesion.h"

namespace tendora {

// What an experiment tells whoever runs it, and how it is stopped.
class InformeProgreso {
public:
    // The outermost loop starts: its title and how many steps it takes.
    virtual void Comenzar(std::string_view titulo, long long total) = 0;
    // After each step (or batch of steps): how many are done. Cheap; a
    // display refreshes when it sees fit.
    virtual void Avanzar(long long hechos) = 0;
    // Asked after each step: true ends the loop there.
    virtual bool Cancelado() const = 0;
    // Why a step failed; the step is counted and the loop goes on.
    virtual void Mensaje(std::string_view texto) = 0;
    // The outermost loop has ended, stopped or not.
    virtual void Terminar() = 0;

protected:
    ~InformeProgreso() = default;
};

class MotorExperimentos {
public:
    MotorExperimentos(Sesion& sesion, InformeProgreso& informe);
    MotorExperimentos(const MotorExperimentos&) = delete;
    MotorExperimentos& operator=(const MotorExperimentos&) = delete;

    // After each run that ended well in a loop that draws: the window shows
    // the run and adds its comparison series.
    std::function<void()> AlCalcular;

    // Every model in turn, each shown; a model that cannot take the history
    // is passed over. The selected model is the last one tried.
    void AplicarTodos();

    // One level of a parameter grid: the value it varies and its range,
    // Desde + k × Inc up to Hasta included. Each value is taken as the
    // value's edit takes it (ComoEdit). N's values are whole numbers.
    struct Rango {
        ValorModelo valor;
        double desde, hasta, inc;
    };
    // Every combination, the first level outermost; each step sets the
    // session's values and runs the selected model, shown only when
    // Mostrar. A step that is not positive, a count without end or an N
    // outside its range throws std::invalid_argument before any step runs.
    // The steps run, the failed one included.
    long long Variar(const std::vector<Rango>& niveles, bool Mostrar);
    // The ranges of the selected model's values, outermost first, from
    // the usual dialog's fields: N, or alfa, beta and phi as the model reads them.
    struct Rangos {
        long long desdeN = 1, hastaN = 1, incN = 1;
        double desde[3] = {0, 0, 0}, hasta[3] = {0, 0, 0}, inc[3] = {1, 1, 1}; // alfa, beta, phi
    };
    static std::vector<Rango> RangosDelModelo(int item, const Rangos& r);

    // One shown run per hold-out h = hasta .. desde (each brought into the
    // hold-out's range); nothing when desde < hasta.
    void SimularExAnte(int desde, int hasta);

    // The workspace as the last run left it (after runs done in a batch it
    // holds an earlier one until this): before anyone looks at it.
    void PonerAlDia();

    // More steps than this have no sensible end, as a level of more values has
    // not: a log of them would take hundreds of gigabytes.
    static constexpr long long MaximoPasos = 1000000000;
    // How many values Desde + k × Inc a smoothing-constant loop takes.
    static long long ContarValores(double desde, double hasta, double inc);
    // How many steps Variar would run over these levels (ranges it would
    // refuse count as they stand); saturates at MaximoPasos + 1.
    static long long PasosVariacion(const std::vector<Rango>& niveles);

    // What the last loop did.
    struct Resumen {
        std::string titulo;
        long long pasos = 0; // done, the one running when stopped included
        long long total = 0;
        long long fallidos = 0;
        double segundos = 0.0;
        bool interrumpido = false;
    };
    std::optional<Resumen> UltimoResumen;
    long long PasosFallidos = 0;

private:
    struct Bucle;
    // A level's values: kept when few, otherwise worked out as the loop
    // reaches them (a range of every N would take gigabytes kept whole).
    struct Nivel {
        Rango r;
        long long cuantos = 0;
        long long desdeN = 0, incN = 0; // N's whole numbers
        std::vector<double> valores;
        double Valor(long long k) const { return size_t(k) < valores.size() ? valores[size_t(k)] : Calcular(k); }
        double Calcular(long long k) const;
    };
    bool Paso(bool Mostrar);
    bool PasoDirecto();
    void Contar(long long& pasos);
    void Recorrer(std::vector<Nivel>& niveles, size_t k, bool Mostrar, long long& pasos);
    bool PasosEnLote(const Nivel& n, long long& pasos);

    Sesion& s_;
    InformeProgreso& informe_;
    Bucle* bucle_ = nullptr;
    bool parado_ = false;
    // A loop that does not draw: the H-W start of its first run, the batches.
    bool directo_ = false;
    InicioHW hw_;
    LoteHW lote_;
    int loteListo_ = -1; // not tried yet; then 0 or 1
    bool atrasado_ = false;
    double ultimo_[3] = {0.0, 0.0, 0.0};
};

} // namespace tendora
