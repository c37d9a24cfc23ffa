// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One column of the grid's cells. Most columns hold numbers of one format
// only (the measures of an error table) or labels only (its first column):
// those keep just the values, 8 bytes a cell with NaN for an empty one, or
// just the labels. A column that mixes kinds keeps a key per cell as well.
// So a million rows of an error table kept as cells take about 120 MiB
// instead of twice that.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tendora {

// A row label kept as its parts and written when shown: the code, " (", the
// values joined by ";", ")" and, when origen is above 0, " T-" and origen.
// Sorting compares the parts: code, then the values as numbers, then origen.
// The horizon and the negative-forecast switch are neither shown nor sorted
// on: they are kept so that the run can be repeated from its row. Packed to
// 32 bytes: a million-row label column keeps one per row.
struct EtiquetaCelda {
    int8_t codigo = 0; // index into the grid's code texts
    uint8_t cuantos = 0; // values used, up to 3; kSinEtiqueta marks an empty cell
    uint16_t enteros : 3 = 0; // bit k: value k is written as a whole number
    uint16_t negativas : 1 = 0; // negative forecasts were allowed
    uint16_t horizonte : 10 = 0; // values forecast, 0..999
    int32_t origen = 0;
    double valores[3] = {0.0, 0.0, 0.0};
};
static_assert(sizeof(EtiquetaCelda) == 32);
constexpr uint8_t kSinEtiqueta = 0xFF;

class ColumnaRejilla {
public:
    // A cell's key: a text slot of the model (>= 0) or one of these.
    static constexpr int32_t kVacia = -1;
    static constexpr int32_t kGeneral = -2;
    static constexpr int32_t kFijo2 = -3;
    static constexpr int32_t kEtiqueta = -4;

    int32_t Clave(int f) const
    {
        switch (modo_) {
        case Modo::Libre: return kVacia;
        case Modo::Numeros: return std::isnan(valor_[f]) ? kVacia : tag_;
        case Modo::Etiquetas: return etiq_[f].cuantos == kSinEtiqueta ? kVacia : kEtiqueta;
        case Modo::Mixta: break;
        }
        return clave_[f];
    }
    // The number of a numeric cell (only then).
    double Valor(int f) const { return valor_[f]; }
    const EtiquetaCelda& Etiqueta(int f) const { return etiq_[f]; }

    // A finite number with its format tag (kGeneral or kFijo2).
    void PonerNumero(int f, double v, int32_t tag)
    {
        if (modo_ == Modo::Libre) {
            modo_ = Modo::Numeros;
            tag_ = tag;
            Asignar(valor_, Nada());
        }
        if (modo_ == Modo::Numeros && tag_ != tag)
            AMixta();
        if (modo_ == Modo::Etiquetas)
            AMixta();
        valor_[f] = v;
        if (modo_ == Modo::Mixta)
            clave_[f] = tag;
    }
    void PonerTexto(int f, int32_t slot)
    {
        if (modo_ != Modo::Mixta)
            AMixta();
        valor_[f] = 0.0;
        clave_[f] = slot;
    }
    void PonerEtiqueta(int f, const EtiquetaCelda& e)
    {
        if (modo_ == Modo::Libre) {
            modo_ = Modo::Etiquetas;
            Asignar(etiq_, Vacia());
        }
        if (modo_ == Modo::Numeros)
            AMixta();
        if (modo_ == Modo::Mixta) {
            if (etiq_.size() != valor_.size())
                Asignar(etiq_, Vacia());
            valor_[f] = 0.0;
            clave_[f] = kEtiqueta;
        }
        etiq_[f] = e;
    }
    void PonerVacia(int f)
    {
        switch (modo_) {
        case Modo::Libre: break;
        case Modo::Numeros: valor_[f] = Nada(); break;
        case Modo::Etiquetas: etiq_[f] = Vacia(); break;
        case Modo::Mixta:
            valor_[f] = 0.0;
            clave_[f] = kVacia;
            break;
        }
    }

    // Rows added at the end are empty.
    void Redimensionar(int n)
    {
        filas_ = n;
        switch (modo_) {
        case Modo::Libre: break;
        case Modo::Numeros: valor_.resize(size_t(n), Nada()); break;
        case Modo::Etiquetas: etiq_.resize(size_t(n), Vacia()); break;
        case Modo::Mixta:
            valor_.resize(size_t(n), 0.0);
            clave_.resize(size_t(n), kVacia);
            if (!etiq_.empty())
                etiq_.resize(size_t(n), Vacia());
            break;
        }
    }
    // Room for n rows, also for the vectors a later first write creates: a
    // long experiment grows its table without copying it.
    void Reservar(int n)
    {
        reserva_ = std::max(reserva_, size_t(n));
        if (!valor_.empty())
            valor_.reserve(reserva_);
        if (!clave_.empty())
            clave_.reserve(reserva_);
        if (!etiq_.empty())
            etiq_.reserve(reserva_);
    }
    // Every cell empty and the memory given back.
    void Liberar(int n)
    {
        modo_ = Modo::Libre;
        reserva_ = 0;
        std::vector<double>().swap(valor_);
        std::vector<int32_t>().swap(clave_);
        std::vector<EtiquetaCelda>().swap(etiq_);
        filas_ = n;
    }

    // Scratch vectors a permutation of several columns shares: each column
    // leaves its old storage there for the next, so no fresh pages are touched.
    struct Borrador {
        std::vector<double> valor;
        std::vector<int32_t> clave;
        std::vector<EtiquetaCelda> etiq;
    };
    // Row i of the result is row nuevaAVieja[i] of now.
    void Permutar(const std::vector<int>& nuevaAVieja, Borrador& b)
    {
        Permutar(valor_, nuevaAVieja, b.valor);
        Permutar(clave_, nuevaAVieja, b.clave);
        Permutar(etiq_, nuevaAVieja, b.etiq);
    }
    // The same rotation on every vector in use.
    template <class Rotacion>
    void Rotar(Rotacion rotar)
    {
        if (!valor_.empty())
            rotar(valor_);
        if (!clave_.empty())
            rotar(clave_);
        if (!etiq_.empty())
            rotar(etiq_);
    }

private:
    enum class Modo : uint8_t { Libre, Numeros, Etiquetas, Mixta };

    static double Nada() { return std::numeric_limits<double>::quiet_NaN(); }
    static EtiquetaCelda Vacia()
    {
        EtiquetaCelda e;
        e.cuantos = kSinEtiqueta;
        return e;
    }
    template <class T>
    void Asignar(std::vector<T>& v, const T& x)
    {
        v.reserve(std::max(reserva_, size_t(filas_)));
        v.assign(size_t(filas_), x);
    }
    template <class T>
    static void Permutar(std::vector<T>& v, const std::vector<int>& nuevaAVieja, std::vector<T>& r)
    {
        if (v.empty())
            return;
        r.resize(v.size());
        for (size_t i = 0; i < v.size(); ++i)
            r[i] = v[size_t(nuevaAVieja[i])];
        v.swap(r);
    }
    void AMixta()
    {
        std::vector<int32_t> clave;
        clave.reserve(std::max(reserva_, size_t(filas_)));
        clave.resize(size_t(filas_));
        if (modo_ == Modo::Libre) {
            Asignar(valor_, 0.0);
            std::fill(clave.begin(), clave.end(), kVacia);
        } else if (modo_ == Modo::Numeros) {
            for (size_t f = 0; f < valor_.size(); ++f) {
                const bool vacia = std::isnan(valor_[f]);
                clave[f] = vacia ? kVacia : tag_;
                if (vacia)
                    valor_[f] = 0.0;
            }
        } else if (modo_ == Modo::Etiquetas) {
            Asignar(valor_, 0.0);
            for (size_t f = 0; f < etiq_.size(); ++f)
                clave[f] = etiq_[f].cuantos == kSinEtiqueta ? kVacia : kEtiqueta;
        }
        clave_.swap(clave);
        modo_ = Modo::Mixta;
    }

    Modo modo_ = Modo::Libre;
    int32_t tag_ = kVacia; // the format of every number while the column holds only numbers
    int filas_ = 0;
    size_t reserva_ = 0;
    std::vector<double> valor_;
    std::vector<int32_t> clave_;
    std::vector<EtiquetaCelda> etiq_;
};

} // namespace tendora
