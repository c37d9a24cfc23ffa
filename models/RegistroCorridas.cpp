// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/RegistroCorridas.h"

#include "models/Catalogo.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

namespace tendora {

namespace {

constexpr int kSMAPE = ColErrsMAPE - ColErrMSE;

bool MismosBits(double a, double b)
{
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// The deviation kept apart for entry k (0 if none, which does not happen).
double DesvAparte(const std::vector<std::pair<long long, double>>& v, long long k)
{
    const auto it = std::lower_bound(v.begin(), v.end(), k, [](const auto& p, long long x) { return p.first < x; });
    return it != v.end() && it->first == k ? it->second : 0.0;
}

} // namespace

MedidasCorrida::MedidasCorrida(const Medidas& m) : desv_(m.DesvRelativa)
{
    const auto valores = m.Columnas();
    for (size_t k = 0; k < valores.size(); ++k)
        v_[k] = valores[k] ? *valores[k] : kSinValor;
}

MedidasCorrida::MedidasCorrida(const double* valores, double desv) : desv_(desv)
{
    std::copy(valores, valores + NumMedidas, v_.begin());
}

std::array<Medida, NumMedidas> MedidasCorrida::Columnas() const
{
    std::array<Medida, NumMedidas> r;
    for (int k = 0; k < NumMedidas; ++k)
        r[size_t(k)] = Valor(ColErrMSE + k);
    return r;
}

// The measures in eight bytes each: sMAPE is the relative deviation
// times 100, so the deviation takes its slot (NaN when sMAPE has no value and
// the deviation is 0). False when that does not hold: the slot keeps sMAPE
// and the deviation is kept apart.
bool RegistroCorridas::Empaquetar(const MedidasCorrida& m, double* valores)
{
    const double* d = m.Datos();
    std::copy(d, d + NumMedidas, valores);
    const double s = d[kSMAPE];
    const double desv = m.DesvRelativa();
    if (std::isnan(s))
        return !MismosBits(desv, 0.0);
    if (!MismosBits(desv * 100.0, s))
        return true;
    valores[kSMAPE] = desv;
    return false;
}

double RegistroCorridas::LeerMedida(const double* valores, bool desvAparte, int i)
{
    const double x = valores[i];
    if (i != kSMAPE || desvAparte || std::isnan(x))
        return x;
    return x * 100.0;
}

MedidasCorrida RegistroCorridas::Desempaquetar(const double* valores, bool desvAparte, const double* desv)
{
    double v[NumMedidas];
    for (int i = 0; i < NumMedidas; ++i)
        v[i] = LeerMedida(valores, desvAparte, i);
    const double s = valores[kSMAPE];
    return MedidasCorrida(v, desvAparte ? *desv : (std::isnan(s) ? 0.0 : s));
}

ClaveCorrida RegistroCorridas::ClaveDe(const Corrida& c)
{
    ClaveCorrida k;
    k.modelo = static_cast<int8_t>(c.Modelo);
    k.negativas = c.Param.PrevNeg ? 1u : 0u;
    k.horizonte = static_cast<uint16_t>(std::clamp(c.Param.V, 0, 0xFFFF));
    k.origen = c.Origen;
    int n = 0;
    for (ValorModelo v : ValoresDe(c.Modelo))
        if (n < 3)
            k.valores[n++] = Valor(c.Param, v);
    k.cuantos = static_cast<uint8_t>(n) & 0x3u;
    return k;
}

Corrida RegistroCorridas::operator[](long long k) const
{
    const Entrada& e = d_->entradas[size_t(k)];
    Corrida c;
    c.Modelo = e.clave.modelo;
    c.Origen = e.clave.origen;
    c.Param.V = e.clave.horizonte;
    c.Param.PrevNeg = e.clave.negativas != 0;
    int n = 0;
    for (ValorModelo v : ValoresDe(c.Modelo))
        if (n < e.clave.cuantos)
            PonerValor(c.Param, v, e.clave.valores[n++]);
    double desv = 0.0;
    if (e.clave.desvAparteAjuste)
        desv = DesvAparte(d_->desvAjuste, k);
    c.Ajuste = Desempaquetar(e.ajuste, e.clave.desvAparteAjuste, &desv);
    if (e.clave.conAcierto) {
        const auto it = std::lower_bound(d_->aciertos.begin(), d_->aciertos.end(), k,
                                         [](const FilaAcierto& a, long long x) { return a.entrada < x; });
        if (e.clave.desvAparteAcierto)
            desv = DesvAparte(d_->desvAcierto, k);
        c.Acierto = Desempaquetar(it->acierto, e.clave.desvAparteAcierto, &desv);
    }
    return c;
}

double RegistroCorridas::MedidaAjuste(long long k, int i) const
{
    const Entrada& e = d_->entradas[size_t(k)];
    return LeerMedida(e.ajuste, e.clave.desvAparteAjuste, i);
}

double RegistroCorridas::MedidaAcierto(long long j, int i) const
{
    const FilaAcierto& a = d_->aciertos[size_t(j)];
    return LeerMedida(a.acierto, d_->entradas[size_t(a.entrada)].clave.desvAparteAcierto, i);
}

Corrida& RegistroCorridas::Nueva()
{
    ultima_.Acierto.reset();
    return ultima_;
}

void RegistroCorridas::Anotar()
{
    const long long k = Tamano();
    Propio();
    Entrada& e = d_->entradas.emplace_back();
    e.clave = ClaveDe(ultima_);
    if (Empaquetar(ultima_.Ajuste, e.ajuste)) {
        e.clave.desvAparteAjuste = 1;
        d_->desvAjuste.emplace_back(k, ultima_.Ajuste.DesvRelativa());
    }
    if (ultima_.Acierto) {
        e.clave.conAcierto = 1;
        FilaAcierto& a = d_->aciertos.emplace_back();
        a.entrada = k;
        if (Empaquetar(*ultima_.Acierto, a.acierto)) {
            e.clave.desvAparteAcierto = 1;
            d_->desvAcierto.emplace_back(k, ultima_.Acierto->DesvRelativa());
        }
    }
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
    // The memory too (a million entries are 150 megabytes), unless undo keeps it.
    d_ = std::make_shared<Almacen>();
    if (borrado_)
        borrado_();
}

RegistroCorridas::Contenido RegistroCorridas::Copia() const
{
    Contenido c;
    c.d_ = d_;
    c.ultima_ = ultima_;
    return c;
}

void RegistroCorridas::Reponer(Contenido c)
{
    d_ = c.d_ ? std::move(c.d_) : std::make_shared<Almacen>();
    ultima_ = std::move(c.ultima_);
}

RegistroCorridas::Almacen& RegistroCorridas::Propio()
{
    if (d_.use_count() > 1)
        d_ = std::make_shared<Almacen>(*d_);
    return *d_;
}

void RegistroCorridas::Reservar(long long n, long long aciertos)
{
    // Only a hint: a loop of many steps may stop early or log few of them, and
    // room asked for beyond the memory would fail the loop before its first
    // step. Two million entries hold the largest grid of the dialog's values;
    // a longer log grows as it goes.
    constexpr long long Tope = 1LL << 21;
    n = std::min(n, Tope - Tamano());
    aciertos = std::min(aciertos, Tope - TamanoAciertos());
    try {
        if (n > 0 || aciertos > 0)
            Propio();
        if (n > 0)
            d_->entradas.reserve(d_->entradas.size() + static_cast<size_t>(n));
        if (aciertos > 0)
            d_->aciertos.reserve(d_->aciertos.size() + static_cast<size_t>(aciertos));
    } catch (const std::bad_alloc&) {
    }
}

std::optional<long long> RegistroCorridas::Mejor(int col, bool acierto, long long desde) const
{
    const int i = col - ColErrMSE;
    if (i < 0 || i >= NumMedidas)
        return std::nullopt;
    const Sentido sentido = SentidoDe(col);
    std::optional<long long> mejor;
    double valor = 0.0;
    const auto mirar = [&](long long k, double v) {
        if (std::isnan(v))
            return;
        if (sentido == Sentido::CercaDeCero)
            v = std::fabs(v);
        if (!mejor || (sentido == Sentido::Mayor ? v > valor : v < valor)) {
            mejor = k;
            valor = v;
        }
    };
    desde = std::max(desde, 0LL);
    if (!acierto) {
        for (long long k = desde; k < Tamano(); ++k)
            mirar(k, MedidaAjuste(k, i));
    } else {
        for (long long j = 0; j < TamanoAciertos(); ++j)
            if (d_->aciertos[size_t(j)].entrada >= desde)
                mirar(d_->aciertos[size_t(j)].entrada, MedidaAcierto(j, i));
    }
    return mejor;
}

} // namespace tendora
