// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log of runs: one entry per calculation, with the model, the values it
// read, the hold-out, its twelve fit measures and, when values were held
// back and forecast, its twelve accuracy measures. The error tables show it.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "models/Medidas.h"
#include "models/Modelos.h"

namespace tendora {

constexpr int NumMedidas = NumColumnasError - ColErrMSE;

// Twelve measures in the order of the error-table columns, kept as doubles
// with NaN standing for those without a value (a fraction of the memory of
// twelve optionals: an experiment logs millions of them). NaN never leaves:
// Valor gives no value, and a table that takes Datos() leaves such a cell empty.
class MedidasCorrida {
public:
    MedidasCorrida() { v_.fill(kSinValor); }
    explicit MedidasCorrida(const Medidas& m);

    // Measure of column col (ColErrMSE..ColErrPBMSE).
    Medida Valor(int col) const
    {
        const int k = col - ColErrMSE;
        if (k < 0 || k >= NumMedidas || v_[size_t(k)] != v_[size_t(k)])
            return std::nullopt;
        return v_[size_t(k)];
    }
    std::array<Medida, NumMedidas> Columnas() const;
    // The twelve in column order, NaN where a measure has no value.
    const double* Datos() const { return v_.data(); }
    // sMAPE as a fraction (the chart's band), 0 without a value.
    double DesvRelativa() const { return desv_; }

private:
    static constexpr double kSinValor = __builtin_nan("");
    std::array<double, NumMedidas> v_;
    double desv_ = 0.0;
};

struct Corrida {
    int Modelo = 0; // the model selector's item
    // The values the model read (the others at their defaults), the horizon
    // and the negative-forecast switch.
    Parametros Param;
    int Origen = 0; // values held back, 0 for none
    MedidasCorrida Ajuste;
    std::optional<MedidasCorrida> Acierto;
};

class RegistroCorridas {
public:
    using Oyente = std::function<void(const Corrida&)>;

    void Anadir(const Corrida& c);
    // The same in two steps, the entry filled in place: Nueva gives an empty
    // entry, Anotar adds it (a loop of a million runs copies nothing).
    Corrida& Nueva();
    void Anotar();
    void Borrar();
    // Room for n more entries (an experiment knows its size).
    void Reservar(long long n);

    long long Tamano() const { return static_cast<long long>(corridas_.size()); }
    bool Vacio() const { return corridas_.empty(); }
    const Corrida& operator[](long long k) const { return corridas_[static_cast<size_t>(k)]; }
    // The last entry added (also when entries are not kept); only after one.
    const Corrida& Ultima() const { return ultima_; }

    // The best entry from desde on by a measure (a ColumnaError): the
    // smallest error, or the largest share of the benchmark (PB, PBMAE,
    // PBMSE); of the fit or of the accuracy measures. The first of equals;
    // none when no entry has that measure.
    std::optional<long long> Mejor(int col, bool acierto = false, long long desde = 0) const;

    // Told of every entry as it is added (the error tables of the window).
    void Escuchar(Oyente oyente) { oyente_ = std::move(oyente); }
    // Whether entries are kept (the default). A listener that keeps its own
    // copy of each (the window's tables) turns it off, so that a million-run
    // grid is not held twice.
    void Conservar(bool si) { conservar_ = si; }

private:
    std::vector<Corrida> corridas_;
    Corrida ultima_;
    Oyente oyente_;
    bool conservar_ = true;
};

} // namespace tendora
