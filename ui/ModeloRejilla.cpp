// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's data: cells held as numbers or texts, sorting, and the colours
// every view, export and printout reads through the model's roles.
#include "ui/Rejilla.h"

#include "data/Numeros.h"

#include <algorithm>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <numeric>
#include <string_view>

namespace tendora {

namespace {

// A text read as a number with either decimal mark, without raising.
bool LeerNumero(const QString& t, double* v)
{
    // Labels are the common text: turn them away before any locale work.
    qsizetype i = 0;
    while (i < t.size() && t[i].isSpace())
        ++i;
    if (i == t.size())
        return false;
    const QChar c0 = t[i];
    if (!c0.isDigit() && c0 != QLatin1Char('-') && c0 != QLatin1Char('+') && c0 != QLatin1Char(',') &&
        c0 != QLatin1Char('.') && c0 != QChar(0x2212))
        return false;
    bool ok = false;
    double x = ConvertirNumero(t, &ok);
    if (!ok) {
        QString otro = t;
        const int coma = otro.indexOf(QLatin1Char(','));
        const int punto = otro.indexOf(QLatin1Char('.'));
        if (coma >= 0)
            otro[coma] = QLatin1Char('.');
        else if (punto >= 0)
            otro[punto] = QLatin1Char(',');
        else
            return false;
        x = ConvertirNumero(otro, &ok);
    }
    if (ok)
        *v = x;
    return ok;
}

// The value of a two-decimal cell as the user sees it.
double RedondeoFijo2(double v)
{
    // Fifteen significant digits: fewer real decimals from 1e13 on.
    const double a = std::fabs(v);
    if (a >= 1e15)
        return v;
    if (a >= 1e14)
        return std::round(v);
    if (a >= 1e13)
        return std::round(v * 10.0) / 10.0;
    return std::round(v * 100.0) / 100.0;
}

QColor MinMaxPorDefecto(int, bool maximo)
{
    return maximo ? QColor(235, 120, 152) : QColor(135, 237, 153);
}

} // namespace

ModeloRejilla::ModeloRejilla(QObject* parent) : QAbstractTableModel(parent), colorMinMax_(MinMaxPorDefecto)
{
}

bool ModeloRejilla::Valida(int col, int row) const
{
    return col >= 0 && col < ColCount() && row >= 0 && row < RowCount();
}

void ModeloRejilla::SetColCount(int n)
{
    n = std::max(n, 1);
    const int antes = ColCount();
    if (n == antes)
        return;
    if (n > antes) {
        beginInsertColumns(QModelIndex(), antes, n - 1);
        columnas_.resize(n);
        for (int c = antes; c < n; ++c)
            columnas_[c].Redimensionar(filas_);
        while (encabezados_.size() < n)
            encabezados_.append(QString());
        extremos_.resize(n);
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), n, antes - 1);
        for (int c = n; c < antes; ++c)
            for (int f = 0; f < filas_; ++f)
                LiberarTexto(columnas_[c].Clave(f));
        columnas_.resize(n);
        encabezados_.resize(n);
        ayudas_.resize(std::min<qsizetype>(ayudas_.size(), n));
        extremos_.resize(n);
        endRemoveColumns();
    }
}

void ModeloRejilla::SetRowCount(int n)
{
    if (fuente_ && std::max(n, 1) - 1 == filas_)
        return;
    Desvincular();
    const int nuevas = std::max(n, 1) - 1;
    if (nuevas == filas_)
        return;
    if (nuevas > filas_) {
        // In a bulk fill the views hear of new rows once, at its end.
        const bool anunciar = carga_ == 0;
        if (anunciar)
            beginInsertRows(QModelIndex(), filas_, nuevas - 1);
        for (auto& c : columnas_)
            c.Redimensionar(nuevas);
        filas_ = nuevas;
        if (anunciar) {
            vistas_ = filas_;
            endInsertRows();
        }
    } else {
        const bool anunciar = nuevas < vistas_;
        if (anunciar)
            beginRemoveRows(QModelIndex(), nuevas, vistas_ - 1);
        for (size_t c = 0; c < columnas_.size(); ++c) {
            auto& col = columnas_[c];
            for (int f = nuevas; f < filas_; ++f)
                LiberarTexto(col.Clave(f));
            col.Redimensionar(nuevas);
            Extremos& e = extremos_[c];
            if (e.min >= nuevas || e.max >= nuevas)
                e.sucio = true;
        }
        filas_ = nuevas;
        if (anunciar) {
            vistas_ = nuevas;
            endRemoveRows();
        }
    }
}

void ModeloRejilla::AnunciarFilas()
{
    if (filas_ <= vistas_)
        return;
    beginInsertRows(QModelIndex(), vistas_, filas_ - 1);
    vistas_ = filas_;
    endInsertRows();
}

void ModeloRejilla::ReservarFilas(int n)
{
    if (fuente_) {
        if (ordenado_)
            orden_.reserve(size_t(std::max(n - 1, 0)));
        return;
    }
    for (auto& c : columnas_)
        c.Reservar(std::max(n - 1, 0));
}

void ModeloRejilla::LiberarTexto(int32_t clave)
{
    if (clave >= 0) {
        textos_[clave] = QString();
        libres_.push_back(clave);
    }
}

int32_t ModeloRejilla::GuardarTexto(const QString& texto, int32_t claveAnterior)
{
    if (claveAnterior >= 0) {
        textos_[claveAnterior] = texto;
        return claveAnterior;
    }
    if (!libres_.empty()) {
        const int32_t k = libres_.back();
        libres_.pop_back();
        textos_[k] = texto;
        return k;
    }
    textos_.push_back(texto);
    return static_cast<int32_t>(textos_.size() - 1);
}

QString ModeloRejilla::Celda(int col, int row) const
{
    if (!Valida(col, row))
        return QString();
    if (row == 0)
        return encabezados_[col];
    const int f = row - 1;
    const int32_t k = ClaveDe(col, f);
    switch (k) {
    case kVacia: return QString();
    case kGeneral: return TextoGeneral(ValorDe(col, f));
    case kFijo2: return TextoFijo2(ValorDe(col, f));
    case kEtiqueta: return TextoEtiqueta(EtiquetaDe(col, f));
    default: return textos_[k];
    }
}

TipoCelda ModeloRejilla::Tipo(int col, int row) const
{
    if (!Valida(col, row))
        return TipoCelda::Vacia;
    if (row == 0)
        return encabezados_[col].isEmpty() ? TipoCelda::Vacia : TipoCelda::Texto;
    const int32_t k = ClaveDe(col, row - 1);
    if (k == kVacia)
        return TipoCelda::Vacia;
    return (k >= 0 || k == kEtiqueta) ? TipoCelda::Texto : TipoCelda::Numero;
}

double ModeloRejilla::Numero(int col, int row) const
{
    return Tipo(col, row) == TipoCelda::Numero ? ValorDe(col, row - 1) : 0.0;
}

Formato ModeloRejilla::FormatoDe(int col, int row) const
{
    if (Tipo(col, row) == TipoCelda::Numero && ClaveDe(col, row - 1) == kFijo2)
        return Formato::Fijo2;
    return Formato::General;
}

bool ModeloRejilla::ValorMostrado(int col, int f, double* v) const
{
    const int32_t k = ClaveDe(col, f);
    if (k == kVacia || k == kEtiqueta) // a label starts with its code, never a number
        return false;
    if (k == kGeneral) {
        *v = ValorDe(col, f);
        return true;
    }
    if (k == kFijo2) {
        *v = RedondeoFijo2(ValorDe(col, f));
        return true;
    }
    return LeerNumero(textos_[k], v);
}

void ModeloRejilla::Cambiado(int col, int f)
{
    if (carga_ > 0)
        return;
    if (mostrarMinMax_ && col >= 1) {
        // The highlight may move to another row of the column.
        emit dataChanged(index(0, col), index(vistas_ - 1, col));
    } else {
        const QModelIndex i = index(f, col);
        emit dataChanged(i, i);
    }
}

void ModeloRejilla::AnotarValor(int col, int f, double v, bool habiaValor)
{
    Extremos& e = extremos_[col];
    if (e.sucio)
        return;
    if (habiaValor) {
        e.sucio = true;
        return;
    }
    // A value in a cell that had none: topmost row still wins ties.
    if (e.min < 0) {
        e.min = e.max = f;
        e.vmin = e.vmax = v;
        return;
    }
    if (v < e.vmin || (v == e.vmin && f < e.min)) {
        e.vmin = v;
        e.min = f;
    }
    if (v > e.vmax || (v == e.vmax && f < e.max)) {
        e.vmax = v;
        e.max = f;
    }
}

void ModeloRejilla::SetTexto(int col, int row, const QString& texto)
{
    if (!Valida(col, row))
        return;
    if (row == 0) {
        encabezados_[col] = texto;
        if (carga_ == 0)
            emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    Desvincular();
    if (texto.isEmpty()) {
        Vaciar(col, row);
        return;
    }
    const int f = row - 1;
    double antes = 0, ahora = 0;
    const bool habia = ValorMostrado(col, f, &antes);
    Columna& c = columnas_[col];
    const int32_t anterior = c.Clave(f);
    c.PonerTexto(f, GuardarTexto(texto, anterior >= 0 ? anterior : kVacia));
    if (LeerNumero(texto, &ahora))
        AnotarValor(col, f, ahora, habia);
    else if (habia)
        extremos_[col].sucio = true;
    Cambiado(col, f);
}

void ModeloRejilla::SetNumero(int col, int row, double valor, Formato formato)
{
    if (!Valida(col, row))
        return;
    if (!std::isfinite(valor)) {
        // Nothing non-finite is ever shown.
        Vaciar(col, row);
        return;
    }
    if (row == 0) {
        SetTexto(col, 0, formato == Formato::Fijo2 ? TextoFijo2(valor) : TextoGeneral(valor));
        return;
    }
    Desvincular();
    EscribirNumero(col, row - 1, valor, formato);
    Cambiado(col, row - 1);
}

void ModeloRejilla::EscribirNumero(int col, int f, double valor, Formato formato)
{
    double antes = 0;
    const bool habia = ValorMostrado(col, f, &antes);
    Columna& c = columnas_[col];
    LiberarTexto(c.Clave(f));
    c.PonerNumero(f, valor == 0.0 ? 0.0 : valor, formato == Formato::Fijo2 ? kFijo2 : kGeneral);
    AnotarValor(col, f, formato == Formato::Fijo2 ? RedondeoFijo2(valor) : valor, habia);
}

bool ModeloRejilla::EscribirVacia(int col, int f)
{
    Columna& c = columnas_[col];
    const int32_t k = c.Clave(f);
    if (k == kVacia)
        return false;
    double antes = 0;
    if (ValorMostrado(col, f, &antes))
        extremos_[col].sucio = true;
    LiberarTexto(k);
    c.PonerVacia(f);
    return true;
}

void ModeloRejilla::Vaciar(int col, int row)
{
    if (!Valida(col, row))
        return;
    if (row == 0) {
        SetTexto(col, 0, QString());
        return;
    }
    Desvincular();
    if (EscribirVacia(col, row - 1))
        Cambiado(col, row - 1);
}

void ModeloRejilla::ComenzarCarga()
{
    ++carga_;
}

void ModeloRejilla::TerminarCarga()
{
    if (carga_ == 0 || --carga_ > 0)
        return;
    AnunciarFilas();
    if (filas_ > 0 && ColCount() > 0)
        emit dataChanged(index(0, 0), index(filas_ - 1, ColCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, ColCount() - 1);
}

void ModeloRejilla::SetColumnaNumeros(int col, int filaDesde, const double* valores, int n, Formato formato)
{
    if (col < 0 || col >= ColCount() || filaDesde < 1 || n <= 0)
        return;
    Desvincular();
    const int f0 = filaDesde - 1;
    const int fin = std::min(filas_, f0 + n);
    Columna& c = columnas_[col];
    const int32_t tag = formato == Formato::Fijo2 ? kFijo2 : kGeneral;
    for (int f = f0; f < fin; ++f) {
        LiberarTexto(c.Clave(f));
        const double v = valores[f - f0];
        if (std::isfinite(v))
            c.PonerNumero(f, v == 0.0 ? 0.0 : v, tag);
        else
            c.PonerVacia(f);
    }
    extremos_[col].sucio = true;
    if (carga_ == 0 && fin > f0)
        emit dataChanged(index(mostrarMinMax_ ? 0 : f0, col), index(mostrarMinMax_ ? filas_ - 1 : fin - 1, col));
}

namespace {
// A value of a row, if it is one that can be shown: nothing non-finite ever
// is. Read field by field: copying a just-written optional whole stalls.
bool Mostrable(double v, double* x)
{
    *x = v;
    return std::isfinite(v);
}
bool Mostrable(const std::optional<double>& v, double* x)
{
    if (!v.has_value())
        return false;
    *x = *v;
    return std::isfinite(*x);
}
} // namespace

void ModeloRejilla::SetFilaNumeros(int row, int colDesde, const double* valores, int n, Formato formato)
{
    EscribirFila(row, colDesde, valores, n, formato);
}

void ModeloRejilla::SetFilaNumeros(int row, int colDesde, const std::optional<double>* valores, int n, Formato formato)
{
    EscribirFila(row, colDesde, valores, n, formato);
}

template <class Valor>
void ModeloRejilla::EscribirFila(int row, int colDesde, const Valor* valores, int n, Formato formato)
{
    if (row < 1 || row > filas_ || colDesde < 0 || n <= 0)
        return;
    Desvincular();
    const int fin = std::min(ColCount(), colDesde + n);
    if (fin <= colDesde)
        return;
    const int f = row - 1;
    const int32_t tag = formato == Formato::Fijo2 ? kFijo2 : kGeneral;
    for (int col = colDesde; col < fin; ++col) {
        double v = 0.0;
        const bool hay = Mostrable(valores[col - colDesde], &v);
        Columna& c = columnas_[col];
        if (hay && c.Clave(f) == kVacia) {
            // An empty cell (a new row's): no text to free, no value before.
            c.PonerNumero(f, v == 0.0 ? 0.0 : v, tag);
            // Extremes to be found again anyway (as in a long fill) need no rounding.
            if (!extremos_[col].sucio)
                AnotarValor(col, f, formato == Formato::Fijo2 ? RedondeoFijo2(v) : v, false);
        } else if (hay) {
            EscribirNumero(col, f, v, formato);
        } else {
            EscribirVacia(col, f);
        }
    }
    if (carga_ > 0)
        return;
    // With the highlight on, the extremes may move anywhere in the columns.
    const bool columnas = mostrarMinMax_ && fin - 1 >= std::max(colDesde, 1);
    if (columnas)
        emit dataChanged(index(0, std::max(colDesde, 1)), index(filas_ - 1, fin - 1));
    if (!columnas || colDesde == 0)
        emit dataChanged(index(f, colDesde), index(f, fin - 1));
}

void ModeloRejilla::Borrar()
{
    // Every data cell is empty now, so the cells' memory and the text slots can all go.
    const bool anunciar = vistas_ > 1;
    if (anunciar)
        beginRemoveRows(QModelIndex(), 1, vistas_ - 1);
    const int antes = filas_;
    for (auto& c : columnas_)
        c.Liberar(1);
    filas_ = 1;
    if (vinculo_) {
        // The entries stay in the source; the view shows those added from now on.
        fuente_ = vinculo_;
        base_ = fuente_->Cuantas();
        ordenado_ = false;
        std::vector<int32_t>().swap(orden_);
    }
    if (anunciar) {
        vistas_ = 1;
        endRemoveRows();
    } else if (antes == 0 || vistas_ == 0) {
        beginInsertRows(QModelIndex(), 0, 0);
        vistas_ = 1;
        endInsertRows();
    }
    textos_.clear();
    textos_.shrink_to_fit();
    libres_.clear();
    libres_.shrink_to_fit();
#ifdef __GLIBC__
    // Freed blocks below the allocator's mapping threshold stay with the
    // process; a cleared million-row table should give its memory back.
    malloc_trim(0);
#endif
    InvalidarExtremos();
    if (carga_ == 0)
        emit dataChanged(index(0, 0), index(0, ColCount() - 1));
}

void ModeloRejilla::Ordenar(int col, Qt::SortOrder orden)
{
    if (col < 0 || col >= ColCount() || filas_ < 2)
        return;
    // Rows split by kind, keys taken once per row: numbers, labels (by their
    // parts), texts (case-folded) and empty cells, each sorted on its own and then joined.
    std::vector<std::pair<double, int>> numeros;
    std::vector<QString> plegados;
    std::vector<int> filasTexto, vacias, etiquetas;
    for (int f = 0; f < filas_; ++f) {
        const int32_t k = ClaveDe(col, f);
        double v = 0;
        if (k == kVacia) {
            vacias.push_back(f);
        } else if (k == kEtiqueta) {
            etiquetas.push_back(f);
        } else if (k < 0) {
            numeros.emplace_back(ValorDe(col, f), f);
        } else if (LeerNumero(textos_[k], &v)) {
            numeros.emplace_back(v, f);
        } else {
            plegados.push_back(textos_[k].toCaseFolded());
            filasTexto.push_back(f);
        }
    }
    const bool asc = orden == Qt::AscendingOrder;
    if (asc)
        std::stable_sort(numeros.begin(), numeros.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    else
        std::stable_sort(numeros.begin(), numeros.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
    // The key holds the characters themselves, so a comparison does not chase the QString.
    std::vector<std::pair<std::u16string_view, int>> textos;
    textos.reserve(plegados.size());
    for (size_t i = 0; i < plegados.size(); ++i)
        textos.emplace_back(std::u16string_view(reinterpret_cast<const char16_t*>(plegados[i].utf16()),
                                                static_cast<size_t>(plegados[i].size())),
                            filasTexto[i]);
    if (asc)
        std::stable_sort(textos.begin(), textos.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    else
        std::stable_sort(textos.begin(), textos.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    OrdenEtiquetas(col, asc, etiquetas);
    // Ascending: numbers, labels, texts; descending: texts, labels, numbers;
    // empty cells last either way.
    std::vector<int> perm;
    perm.reserve(filas_);
    auto ponerNumeros = [&] {
        for (const auto& n : numeros)
            perm.push_back(n.second);
    };
    auto ponerTextos = [&] {
        for (const auto& t : textos)
            perm.push_back(t.second);
    };
    if (asc) {
        ponerNumeros();
        perm.insert(perm.end(), etiquetas.begin(), etiquetas.end());
        ponerTextos();
    } else {
        ponerTextos();
        perm.insert(perm.end(), etiquetas.begin(), etiquetas.end());
        ponerNumeros();
    }
    perm.insert(perm.end(), vacias.begin(), vacias.end());

    const bool senales = carga_ == 0;
    if (senales)
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    AplicarPermutacion(perm);
    if (senales) {
        std::vector<int> viejaANueva(filas_);
        for (int i = 0; i < filas_; ++i)
            viejaANueva[perm[i]] = i;
        const QModelIndexList viejos = persistentIndexList();
        QModelIndexList nuevos;
        nuevos.reserve(viejos.size());
        for (const QModelIndex& p : viejos)
            nuevos.append(index(viejaANueva[p.row()], p.column()));
        changePersistentIndexList(viejos, nuevos);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
}

void ModeloRejilla::SetColorTexto(FuncionColor f)
{
    colorTexto_ = std::move(f);
}

void ModeloRejilla::SetColorFondo(FuncionColor f)
{
    colorFondo_ = std::move(f);
}

void ModeloRejilla::SetColorEncabezado(const QColor& c)
{
    colorEncabezado_ = c;
    emit headerDataChanged(Qt::Horizontal, 0, ColCount() - 1);
}

void ModeloRejilla::SetAyudaEncabezado(int col, const QString& texto)
{
    if (col < 0 || col >= ColCount())
        return;
    if (ayudas_.size() <= col)
        ayudas_.resize(col + 1);
    ayudas_[col] = texto;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void ModeloRejilla::SetColorFija(const QColor& c)
{
    colorFija_ = c;
}

void ModeloRejilla::SetMostrarMinMax(bool si)
{
    if (si == mostrarMinMax_)
        return;
    mostrarMinMax_ = si;
    if (filas_ > 0 && carga_ == 0)
        emit dataChanged(index(0, 0), index(filas_ - 1, ColCount() - 1), {Qt::BackgroundRole});
}

void ModeloRejilla::SetColorMinMax(FuncionColorMinMax f)
{
    colorMinMax_ = f ? std::move(f) : FuncionColorMinMax(MinMaxPorDefecto);
}

void ModeloRejilla::Recalcular(int col) const
{
    Extremos& e = extremos_[col];
    ++recalculos_;
    e = Extremos{};
    e.sucio = false;
    // The search starts at the first value, so no value is out of its reach.
    for (int f = 0; f < filas_; ++f) {
        double v;
        if (!ValorMostrado(col, f, &v))
            continue;
        if (e.min < 0) {
            e.min = e.max = f;
            e.vmin = e.vmax = v;
            continue;
        }
        if (v < e.vmin) {
            e.vmin = v;
            e.min = f;
        }
        if (v > e.vmax) {
            e.vmax = v;
            e.max = f;
        }
    }
}

int ModeloRejilla::FilaMinimo(int col) const
{
    if (col < 0 || col >= ColCount())
        return -1;
    if (extremos_[col].sucio)
        Recalcular(col);
    return extremos_[col].min < 0 ? -1 : extremos_[col].min + 1;
}

int ModeloRejilla::FilaMaximo(int col) const
{
    if (col < 0 || col >= ColCount())
        return -1;
    if (extremos_[col].sucio)
        Recalcular(col);
    return extremos_[col].max < 0 ? -1 : extremos_[col].max + 1;
}

int ModeloRejilla::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : vistas_;
}

int ModeloRejilla::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColCount();
}

QVariant ModeloRejilla::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= filas_ || index.column() >= ColCount())
        return QVariant();
    const int col = index.column();
    const int f = index.row();
    switch (role) {
    case Qt::DisplayRole: return Celda(col, f + 1);
    case Qt::UserRole: {
        const int32_t k = ClaveDe(col, f);
        return (k == kGeneral || k == kFijo2) ? QVariant(ValorDe(col, f)) : QVariant();
    }
    case Qt::TextAlignmentRole: {
        // Numbers to the right, so digits line up down a column.
        const int32_t k = ClaveDe(col, f);
        return (k == kGeneral || k == kFijo2) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    }
    case Qt::ForegroundRole:
        if (colorTexto_) {
            const QColor c = colorTexto_(f + 1, col);
            if (c.isValid())
                return QBrush(c);
        }
        return QVariant();
    case Qt::BackgroundRole: {
        if (mostrarMinMax_ && col >= 1 && filas_ >= 2 && ClaveDe(col, f) != kVacia) {
            if (extremos_[col].sucio)
                Recalcular(col);
            const Extremos& e = extremos_[col];
            // An invalid colour leaves the column without a highlight.
            const QColor c = f == e.max ? colorMinMax_(col, true) : f == e.min ? colorMinMax_(col, false) : QColor();
            if (c.isValid())
                return QBrush(c);
        }
        if (colorFondo_) {
            const QColor c = colorFondo_(f + 1, col);
            if (c.isValid())
                return QBrush(c);
        }
        if (col == 0 && colorFija_.isValid())
            return QBrush(colorFija_);
        return QVariant();
    }
    default: return QVariant();
    }
}

QVariant ModeloRejilla::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return QVariant();
    }
    if (section < 0 || section >= ColCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return encabezados_[section];
    if (role == Qt::ForegroundRole && colorEncabezado_.isValid())
        return QBrush(colorEncabezado_);
    if (role == Qt::ToolTipRole && !ayudas_.value(section).isEmpty())
        return ayudas_.value(section);
    return QVariant();
}

bool ModeloRejilla::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColCount() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    SetTexto(section, 0, value.toString());
    return true;
}

Qt::ItemFlags ModeloRejilla::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ModeloRejilla::sort(int column, Qt::SortOrder order)
{
    Ordenar(column, order);
}

} // namespace tendora
