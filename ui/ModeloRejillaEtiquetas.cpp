// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's label cells: written out when shown, measured without being
// written out, and put in order by their parts.
#include "ui/Rejilla.h"

#include "data/Numeros.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace tendora {

// Code (" (values joined by ;)") and " T-origin" when there is an origin.
QString ModeloRejilla::TextoEtiqueta(const EtiquetaCelda& e) const
{
    QString t = e.codigo >= 0 && e.codigo < codigos_.size() ? codigos_[e.codigo] : QString();
    t += QStringLiteral(" (");
    for (int k = 0; k < e.cuantos && k < 3; ++k) {
        if (k > 0)
            t += QLatin1Char(';');
        t += (e.enteros >> k) & 1u ? TextoEntero(static_cast<long long>(e.valores[k])) : TextoGeneral(e.valores[k]);
    }
    t += QLatin1Char(')');
    if (e.origen > 0)
        t += QStringLiteral(" T-") + TextoEntero(e.origen);
    return t;
}

int ModeloRejilla::LargoTexto(int col, int row, std::unordered_map<uint64_t, int>& memo) const
{
    if (!Valida(col, row) || row == 0 || ClaveDe(col, row - 1) != kEtiqueta)
        return static_cast<int>(Celda(col, row).size());
    const EtiquetaCelda e = EtiquetaDe(col, row - 1);
    qsizetype largo = (e.codigo >= 0 && e.codigo < codigos_.size() ? codigos_[e.codigo].size() : 0) + 3;
    const int cuantos = std::min<int>(e.cuantos, 3);
    for (int k = 0; k < cuantos; ++k) {
        const bool entero = (e.enteros >> k) & 1u;
        // By the value's bits: a whole number reads the same in both formats.
        uint64_t clave = 0;
        std::memcpy(&clave, &e.valores[k], sizeof clave);
        auto it = memo.find(clave);
        if (it == memo.end()) {
            const QString t = entero ? TextoEntero(static_cast<long long>(e.valores[k])) : TextoGeneral(e.valores[k]);
            it = memo.emplace(clave, static_cast<int>(t.size())).first;
        }
        largo += it->second + (k > 0 ? 1 : 0);
    }
    if (e.origen > 0)
        largo += 3 + TextoEntero(e.origen).size();
    return static_cast<int>(largo);
}

const EtiquetaCelda* ModeloRejilla::Etiqueta(int col, int row) const
{
    if (!Valida(col, row) || row == 0 || ClaveDe(col, row - 1) != kEtiqueta)
        return nullptr;
    if (fuente_) {
        etiquetaLeida_ = EtiquetaDe(col, row - 1);
        return &etiquetaLeida_;
    }
    return &columnas_[col].Etiqueta(row - 1);
}

void ModeloRejilla::SetCodigosEtiqueta(const QStringList& codigos)
{
    codigos_ = codigos;
}

void ModeloRejilla::SetEtiqueta(int col, int row, const EtiquetaCelda& etiqueta)
{
    if (!Valida(col, row) || row == 0)
        return;
    const int f = row - 1;
    Desvincular();
    Columna& c = columnas_[col];
    double antes = 0;
    // A label never reads as a number: only a number it replaces moves the extremes.
    if (ValorMostrado(col, f, &antes))
        extremos_[col].sucio = true;
    LiberarTexto(c.Clave(f));
    c.PonerEtiqueta(f, etiqueta);
    Cambiado(col, f);
}

// Labels in order of their code text (case-folded, as a text sorts), then
// of their values as numbers, then of their origin: MMS (2) before MMS (10),
// HLT (0,1;0,15) before HLT (0,15;0,1) and T-3 before T-12.
void ModeloRejilla::OrdenEtiquetas(int col, bool asc, std::vector<int>& filas) const
{
    if (filas.empty())
        return;
    std::vector<int> rango(static_cast<size_t>(codigos_.size()) + 1);
    {
        std::vector<int> orden(rango.size() - 1);
        std::iota(orden.begin(), orden.end(), 0);
        std::stable_sort(orden.begin(), orden.end(),
                         [this](int a, int b) { return codigos_[a].toCaseFolded() < codigos_[b].toCaseFolded(); });
        for (size_t k = 0; k < orden.size(); ++k)
            rango[size_t(orden[k])] = int(k);
        rango.back() = int(orden.size()); // a code the grid was not given
    }
    // Grouped by code and count first (one group in an experiment's table);
    // inside a group a 32-byte key with the row last, so an in-place sort
    // keeps the order of equal labels without the buffer of a stable sort.
    struct Clave {
        double v[3];
        int32_t origen;
        int32_t fila;
    };
    std::vector<std::pair<int, int>> grupos; // (rank × 4 + count, row)
    grupos.reserve(filas.size());
    for (int f : filas) {
        const EtiquetaCelda e = EtiquetaDe(col, f);
        const int r = e.codigo >= 0 && e.codigo < codigos_.size() ? rango[size_t(e.codigo)] : rango.back();
        grupos.emplace_back(r * 4 + std::min<int>(e.cuantos, 3), f);
    }
    std::sort(grupos.begin(), grupos.end());
    const auto menor = [](const Clave& a, const Clave& b) {
        for (int i = 0; i < 3; ++i)
            if (a.v[i] != b.v[i])
                return a.v[i] < b.v[i];
        return a.origen < b.origen;
    };
    std::vector<Clave> claves;
    size_t hecho = 0;
    for (size_t desde = 0; desde < grupos.size();) {
        // The groups in ascending order; descending takes them from the last.
        size_t hasta = desde;
        while (hasta < grupos.size() && grupos[hasta].first == grupos[desde].first)
            ++hasta;
        claves.clear();
        for (size_t k = desde; k < hasta; ++k) {
            const EtiquetaCelda e = EtiquetaDe(col, grupos[k].second);
            Clave q{{0.0, 0.0, 0.0}, e.origen, grupos[k].second};
            for (int i = 0; i < std::min<int>(e.cuantos, 3); ++i)
                q.v[i] = e.valores[i];
            claves.push_back(q);
        }
        if (asc)
            std::sort(claves.begin(), claves.end(),
                      [&](const Clave& a, const Clave& b) { return menor(a, b) || (!menor(b, a) && a.fila < b.fila); });
        else
            std::sort(claves.begin(), claves.end(),
                      [&](const Clave& a, const Clave& b) { return menor(b, a) || (!menor(a, b) && a.fila < b.fila); });
        const size_t n = hasta - desde;
        const size_t destino = asc ? hecho : filas.size() - hecho - n;
        for (size_t k = 0; k < n; ++k)
            filas[destino + k] = claves[k].fila;
        hecho += n;
        desde = hasta;
    }
}

} // namespace tendora
