// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/RegistroCorridas.h"

#include <algorithm>
#include <new>

namespace tendora {

MedidasCorrida::MedidasCorrida(const Medidas& m) : desv_(m.DesvRelativa)
{
    const auto valores = m.Columnas();
    for (size_t k = 0; k < valores.size(); ++k)
        v_[k] = valores[k] ? *valores[k] : kSinValor;
}

std::array<Medida, NumMedidas> MedidasCorrida::Columnas() const
{
    std::array<Medida, NumMedidas> r;
    for (int k = 0; k < NumMedidas; ++k)
        r[size_t(k)] = Valor(ColErrMSE + k);
    return r;
}

Corrida& RegistroCorridas::Nueva()
{
    ultima_.Acierto.reset();
    return ultima_;
}

void RegistroCorridas::Anotar()
{
    if (conservar_)
        corridas_.push_back(ultima_);
    if (oyente_)
        oyente_(ultima_);
}

void RegistroCorridas::Anadir(const Corrida& c)
{
    ultima_ = c;
    Anotar();
}

void RegistroCorridas::Borrar()
{
    // The memory too: a million entries are a few hundred megabytes.
    std::vector<Corrida>().swap(corridas_);
}

void RegistroCorridas::Reservar(long long n)
{
    // Only a hint: a loop of many steps may stop early or log few of them, and
    // room asked for beyond the memory would fail the loop before its first
    // step. Two million entries hold the largest grid of the dialog's values;
    // a longer log grows as it goes.
    constexpr long long Tope = 1LL << 21;
    n = std::min(n, Tope - Tamano());
    if (!conservar_ || n <= 0)
        return;
    try {
        corridas_.reserve(corridas_.size() + static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
    }
}

std::optional<long long> RegistroCorridas::Mejor(int col, bool acierto, long long desde) const
{
    // Errors up to LMR: smaller is better; the shares of the benchmark after it: larger.
    const bool mayor = col > ColErrLMR;
    std::optional<long long> mejor;
    double valor = 0.0;
    for (long long k = desde < 0 ? 0 : desde; k < Tamano(); ++k) {
        const Corrida& c = corridas_[static_cast<size_t>(k)];
        const MedidasCorrida* m = acierto ? (c.Acierto ? &*c.Acierto : nullptr) : &c.Ajuste;
        if (!m)
            continue;
        const Medida v = m->Valor(col);
        if (!v)
            continue;
        if (!mejor || (mayor ? *v > valor : *v < valor)) {
            mejor = k;
            valor = *v;
        }
    }
    return mejor;
}

} // namespace tendora
