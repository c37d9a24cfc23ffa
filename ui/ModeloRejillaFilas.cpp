// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's rows changing places: a row dragged to another place, and a
// sort's new order, applied to every column at once.
#include "ui/Rejilla.h"

#include <algorithm>

namespace tendora {

void ModeloRejilla::InvalidarExtremos()
{
    for (auto& e : extremos_)
        e.sucio = true;
}

void ModeloRejilla::AplicarPermutacion(const std::vector<int>& nuevaAVieja)
{
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
    for (auto& c : columnas_)
        c.Rotar(rotar);
    InvalidarExtremos();
    if (senales) {
        endMoveRows();
        if (mostrarMinMax_ && filas_ > 0)
            emit dataChanged(index(0, 0), index(filas_ - 1, ColCount() - 1), {Qt::BackgroundRole});
    }
    return true;
}

} // namespace tendora
