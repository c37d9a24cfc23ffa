// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's rows changing places: a row dragged to another place, and a
// sort's new order, applied to every column at once or, over a source, to
// the list of its entries; and the cells such a grid reads from its source.
#include "ui/Rejilla.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tendora {

void ModeloRejilla::InvalidarExtremos()
{
    for (auto& e : extremos_)
        e.sucio = true;
}

long long ModeloRejilla::EntradaDe(int f) const
{
    long long k = -1;
    if (ordenado_) {
        if (f >= 0 && size_t(f) < orden_.size())
            k = orden_[size_t(f)];
    } else if (f >= 0) {
        k = base_ + f;
    }
    // An entry the source no longer has (emptied before the view heard) shows nothing.
    return k >= 0 && k < fuente_->Cuantas() ? k : -1;
}

int32_t ModeloRejilla::ClaveDe(int col, int f) const
{
    if (!fuente_)
        return columnas_[size_t(col)].Clave(f);
    const long long k = EntradaDe(f);
    if (k < 0)
        return kVacia;
    if (col == 0)
        return kEtiqueta;
    return std::isfinite(fuente_->Numero(k, col)) ? kFijo2 : kVacia;
}

double ModeloRejilla::ValorDe(int col, int f) const
{
    if (!fuente_)
        return columnas_[size_t(col)].Valor(f);
    const long long k = EntradaDe(f);
    const double v = k < 0 || col == 0 ? 0.0 : fuente_->Numero(k, col);
    // As a cell keeps it: no negative zero.
    return v == 0.0 ? 0.0 : v;
}

EtiquetaCelda ModeloRejilla::EtiquetaDe(int col, int f) const
{
    if (!fuente_)
        return columnas_[size_t(col)].Etiqueta(f);
    const long long k = EntradaDe(f);
    if (k >= 0 && col == 0)
        return fuente_->Etiqueta(k);
    EtiquetaCelda e;
    e.cuantos = kSinEtiqueta;
    return e;
}

int ModeloRejilla::FilasFuente() const
{
    if (ordenado_)
        return static_cast<int>(orden_.size());
    return static_cast<int>(std::max(fuente_->Cuantas() - base_, 0LL));
}

void ModeloRejilla::MaterializarOrden()
{
    if (ordenado_)
        return;
    orden_.resize(size_t(FilasFuente()));
    std::iota(orden_.begin(), orden_.end(), static_cast<int32_t>(base_));
    ordenado_ = true;
}

void ModeloRejilla::SetFuente(FuenteFilas* fuente)
{
    // Rows removed and inserted rather than a reset, which would lose the
    // views' column widths.
    const bool quitar = vistas_ > 1;
    if (quitar)
        beginRemoveRows(QModelIndex(), 1, vistas_ - 1);
    for (auto& c : columnas_)
        c.Liberar(1);
    textos_.clear();
    libres_.clear();
    vinculo_ = fuente_ = fuente;
    base_ = 0;
    ordenado_ = false;
    std::vector<int32_t>().swap(orden_);
    const int antes = vistas_;
    filas_ = 1;
    vistas_ = std::min(vistas_, 1);
    if (quitar)
        endRemoveRows();
    if (antes == 0) {
        beginInsertRows(QModelIndex(), 0, 0);
        vistas_ = 1;
        endInsertRows();
    }
    InvalidarExtremos();
    const int n = fuente_ ? std::max(FilasFuente(), 1) : 1;
    if (n > 1) {
        beginInsertRows(QModelIndex(), 1, n - 1);
        filas_ = vistas_ = n;
        endInsertRows();
    }
    emit dataChanged(index(0, 0), index(filas_ - 1, std::max(ColCount() - 1, 0)));
}

ModeloRejilla::Filas ModeloRejilla::CopiarFilas() const
{
    return Filas{columnas_, textos_, libres_, filas_, fuente_, base_, ordenado_, orden_};
}

void ModeloRejilla::ReponerFilas(Filas f)
{
    // Rows removed and inserted, not a reset, which would lose the column widths.
    if (vistas_ > 1) {
        beginRemoveRows(QModelIndex(), 1, vistas_ - 1);
        vistas_ = 1;
        endRemoveRows();
    }
    columnas_ = std::move(f.columnas);
    textos_ = std::move(f.textos);
    libres_ = std::move(f.libres);
    fuente_ = f.fuente;
    base_ = f.base;
    ordenado_ = f.ordenado;
    orden_ = std::move(f.orden);
    filas_ = 1;
    if (vistas_ == 0) {
        beginInsertRows(QModelIndex(), 0, 0);
        vistas_ = 1;
        endInsertRows();
    }
    if (f.filas > 1) {
        beginInsertRows(QModelIndex(), 1, f.filas - 1);
        filas_ = vistas_ = f.filas;
        endInsertRows();
    }
    InvalidarExtremos();
    emit dataChanged(index(0, 0), index(filas_ - 1, std::max(ColCount() - 1, 0)));
}

void ModeloRejilla::Desvincular()
{
    if (!fuente_)
        return;
    // Same rows, same texts: the views need not hear of it.
    const int n = filas_;
    std::vector<long long> entradas(static_cast<size_t>(n));
    for (int f = 0; f < n; ++f)
        entradas[size_t(f)] = EntradaDe(f);
    const FuenteFilas* fuente = fuente_;
    fuente_ = nullptr;
    ordenado_ = false;
    std::vector<int32_t>().swap(orden_);
    for (int col = 0; col < ColCount(); ++col) {
        Columna& c = columnas_[size_t(col)];
        c.Liberar(n);
        for (int f = 0; f < n; ++f) {
            const long long k = entradas[size_t(f)];
            if (k < 0)
                continue;
            if (col == 0) {
                c.PonerEtiqueta(f, fuente->Etiqueta(k));
            } else {
                const double v = fuente->Numero(k, col);
                if (std::isfinite(v))
                    c.PonerNumero(f, v == 0.0 ? 0.0 : v, kFijo2);
            }
        }
    }
    InvalidarExtremos();
}

void ModeloRejilla::FilaAnadida()
{
    if (!fuente_)
        return;
    if (ordenado_ && fuente_->Cuantas() > 0)
        orden_.push_back(static_cast<int32_t>(fuente_->Cuantas() - 1));
    const int n = FilasFuente();
    const int nuevas = std::max(n, 1);
    if (nuevas > filas_) {
        // In a bulk fill the views hear of new rows once, at its end.
        const bool anunciar = carga_ == 0;
        if (anunciar)
            beginInsertRows(QModelIndex(), filas_, nuevas - 1);
        filas_ = nuevas;
        if (anunciar) {
            vistas_ = filas_;
            endInsertRows();
        }
    }
    const int f = n - 1;
    if (f < 0)
        return;
    for (int col = 1; col < ColCount(); ++col) {
        double v = 0;
        // Extremes to be found again anyway (as in a long fill) need nothing.
        if (!extremos_[size_t(col)].sucio && ValorMostrado(col, f, &v))
            AnotarValor(col, f, v, false);
    }
    if (carga_ > 0 || ColCount() == 0)
        return;
    // With the highlight on, the extremes may move anywhere in the columns.
    if (mostrarMinMax_ && ColCount() > 1)
        emit dataChanged(index(0, 1), index(filas_ - 1, ColCount() - 1));
    emit dataChanged(index(f, 0), index(f, ColCount() - 1));
}

void ModeloRejilla::AplicarPermutacion(const std::vector<int>& nuevaAVieja)
{
    if (fuente_) {
        MaterializarOrden();
        std::vector<int32_t> nuevo(orden_.size());
        for (size_t i = 0; i < nuevo.size(); ++i)
            nuevo[i] = orden_[size_t(nuevaAVieja[i])];
        orden_.swap(nuevo);
        InvalidarExtremos();
        return;
    }
    ColumnaRejilla::Borrador borrador;
    for (auto& c : columnas_)
        c.Permutar(nuevaAVieja, borrador);
    InvalidarExtremos();
}

bool ModeloRejilla::MoverFila(int desde, int hasta)
{
    const int s = desde - 1;
    const int h = hasta - 1;
    if (s < 0 || s >= filas_ || h < 0 || h >= filas_)
        return false;
    if (s == h)
        return true;
    return moveRows(QModelIndex(), s, 1, QModelIndex(), h > s ? h + 1 : h);
}

bool ModeloRejilla::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                             const QModelIndex& destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count < 1 || sourceRow < 0 ||
        sourceRow + count > filas_ || destinationChild < 0 || destinationChild > filas_)
        return false;
    if (destinationChild >= sourceRow && destinationChild <= sourceRow + count)
        return destinationChild == sourceRow || destinationChild == sourceRow + count;
    const bool senales = carga_ == 0;
    if (senales && !beginMoveRows(sourceParent, sourceRow, sourceRow + count - 1, destinationParent, destinationChild))
        return false;
    auto rotar = [&](auto& v) {
        if (destinationChild > sourceRow)
            std::rotate(v.begin() + sourceRow, v.begin() + sourceRow + count, v.begin() + destinationChild);
        else
            std::rotate(v.begin() + destinationChild, v.begin() + sourceRow, v.begin() + sourceRow + count);
    };
    if (fuente_) {
        MaterializarOrden();
        rotar(orden_);
    } else {
        for (auto& c : columnas_)
            c.Rotar(rotar);
    }
    InvalidarExtremos();
    if (senales) {
        endMoveRows();
        if (mostrarMinMax_ && filas_ > 0)
            emit dataChanged(index(0, 0), index(filas_ - 1, ColCount() - 1), {Qt::BackgroundRole});
    }
    return true;
}

} // namespace tendora
