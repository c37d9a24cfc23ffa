// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log of runs: one entry per calculation, with the model, the values it
// read, the hold-out, its fifteen fit measures and, when values were held
// back and forecast, its fifteen accuracy measures. The error tables show it.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "models/Medidas.h"
#include "models/Modelos.h"

namespace tendora {

constexpr int NumMedidas = NumColumnasError - ColErrMSE;

// The measures in the order of the error-table columns, kept as doubles
// with NaN standing for those without a value (half the memory of as many
// optionals: an experiment logs millions of them). NaN never leaves:
// Valor gives no value, and a table that takes Datos() leaves such a cell empty.
class MedidasCorrida {
public:
    MedidasCorrida() { v_.fill(kSinValor); }
    explicit MedidasCorrida(const Medidas& m);
    // The measures in column order (NaN for none) and the relative deviation.
    MedidasCorrida(const double* valores, double desv);

    // Measure of column col (ColErrMSE..ColErrME).
    Medida Valor(int col) const
    {
        const int k = col - ColErrMSE;
        if (k < 0 || k >= NumMedidas || v_[size_t(k)] != v_[size_t(k)])
            return std::nullopt;
        return v_[size_t(k)];
    }
    std::array<Medida, NumMedidas> Columnas() const;
    // The measures in column order, NaN where one has no value.
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

// What a log entry keeps of a run besides its measures, packed to 32 bytes:
// the model, the values it read (in ValoresDe's order), the horizon, the
// negative-forecast switch and the origin.
struct ClaveCorrida {
    int8_t modelo = 0;
    uint8_t cuantos : 2 = 0; // values read, up to 3
    uint8_t negativas : 1 = 0;
    // The relative deviation does not follow from sMAPE (kept apart).
    uint8_t desvAparteAjuste : 1 = 0;
    uint8_t desvAparteAcierto : 1 = 0;
    uint8_t conAcierto : 1 = 0;
    uint16_t horizonte = 0;
    int32_t origen = 0;
    double valores[3] = {0.0, 0.0, 0.0};
};
static_assert(sizeof(ClaveCorrida) == 32);

class RegistroCorridas {
public:
    using Oyente = std::function<void(const Corrida&)>;

    // Every entry, apart from the listeners: what undo keeps of the log and
    // puts back as it was.
    class Contenido;
    Contenido Copia() const;
    // The entries of c replace the log's; no listener is told (the tables
    // that show it are put back by their owner).
    void Reponer(Contenido c);

    void Anadir(const Corrida& c);
    // The same in two steps, the entry filled in place: Nueva gives an empty
    // entry, Anotar adds it (a loop of a million runs copies nothing).
    Corrida& Nueva();
    void Anotar();
    void Borrar();
    // Room for n more entries, aciertos of them with accuracy measures (an
    // experiment knows its size and whether values are held back).
    void Reservar(long long n, long long aciertos = 0);

    long long Tamano() const { return static_cast<long long>(d_->entradas.size()); }
    bool Vacio() const { return d_->entradas.empty(); }
    // Entry k as it was added (rebuilt from its compact form).
    Corrida operator[](long long k) const;
    // The last entry added (also when entries are not kept); only after one.
    const Corrida& Ultima() const { return ultima_; }

    // The parts of entry k the error tables read without rebuilding it.
    const ClaveCorrida& Clave(long long k) const { return d_->entradas[size_t(k)].clave; }
    // Measure i (0..NumMedidas-1, in column order) of entry k; NaN when it has none.
    double MedidaAjuste(long long k, int i) const;
    // The entries with accuracy measures, in the order they were added: the
    // j-th of them is entry EntradaAcierto(j).
    long long TamanoAciertos() const { return static_cast<long long>(d_->aciertos.size()); }
    long long EntradaAcierto(long long j) const { return d_->aciertos[size_t(j)].entrada; }
    double MedidaAcierto(long long j, int i) const;

    // The best entry from desde on by a measure (a ColumnaError): the
    // smallest error, the largest share of the benchmark (PB, PBMAE, PBMSE)
    // or the bias nearest 0 (ME); of the fit or of the accuracy measures.
    // The first of equals; none when no entry has that measure.
    std::optional<long long> Mejor(int col, bool acierto = false, long long desde = 0) const;

    // Told of every entry as it is added (the error tables of the window).
    void Escuchar(Oyente oyente) { oyente_ = std::move(oyente); }
    // Told when the log is emptied (the tables that show it empty too).
    void EscucharBorrado(std::function<void()> oyente) { borrado_ = std::move(oyente); }

private:
    // 152 bytes an entry (32 of key, 8 a measure): a million-run grid is
    // held once, here; 128 more for one with accuracy measures.
    struct Entrada {
        ClaveCorrida clave;
        double ajuste[NumMedidas];
    };
    struct FilaAcierto {
        double acierto[NumMedidas];
        long long entrada;
    };
    static_assert(sizeof(Entrada) == 152 && sizeof(FilaAcierto) == 128);
    static bool Empaquetar(const MedidasCorrida& m, double* valores);
    static double LeerMedida(const double* valores, bool desvAparte, int i);
    static MedidasCorrida Desempaquetar(const double* valores, bool desvAparte, const double* desv);
    static ClaveCorrida ClaveDe(const Corrida& c);

    struct Almacen {
        std::vector<Entrada> entradas;
        std::vector<FilaAcierto> aciertos;
        // Relative deviations that sMAPE does not give back bit for bit, by entry.
        std::vector<std::pair<long long, double>> desvAjuste, desvAcierto;
    };
    // Shared with the copies undo keeps until either side changes: keeping
    // the log before a command costs nothing, and one that clears it (Cargar)
    // never copies it.
    std::shared_ptr<Almacen> d_ = std::make_shared<Almacen>();
    Almacen& Propio();
    Corrida ultima_;
    Oyente oyente_;
    std::function<void()> borrado_;
};

class RegistroCorridas::Contenido {
public:
    long long Tamano() const { return d_ ? static_cast<long long>(d_->entradas.size()) : 0; }

private:
    friend class RegistroCorridas;
    std::shared_ptr<Almacen> d_;
    Corrida ultima_;
};

} // namespace tendora
