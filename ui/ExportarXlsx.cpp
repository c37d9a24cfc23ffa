// SPDX-License-Identifier: GPL-3.0-or-later
// The .xlsx export, written by libxlsxwriter.
#include "ExportarRejilla.h"
#include "Numeros.h"
#include "Rejilla.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace tendora {

namespace {

constexpr int kFilasHoja = 1048576;
constexpr int kColumnasHoja = 16384;

[[noreturn]] void Fallo(lxw_error e)
{
    throw std::runtime_error(
        QStringLiteral("No se pudo generar el libro xlsx: %1.").arg(QString::fromUtf8(lxw_strerror(e))).toStdString());
}

void Comprobar(lxw_error e)
{
    if (e != LXW_NO_ERROR)
        Fallo(e);
}

} // namespace

QByteArray LibroXlsx(const ModeloRejilla& m)
{
    const int cols = m.ColCount();
    if (cols > kColumnasHoja)
        throw std::runtime_error(
            QStringLiteral("El formato xlsx admite %1 columnas como máximo.").arg(kColumnasHoja).toStdString());
    const int datos = m.RowCount() - 1;
    const int porHoja = kFilasHoja - 1; // the header row opens every sheet
    const int hojas = std::max(1, (datos + porHoja - 1) / porHoja);

    // The library writes to a file; ours goes to the user's file whole, through
    // the one safe writer, so a temporary one stands in between.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error(
            QStringLiteral("No se pudo generar el libro xlsx: no hay una carpeta temporal disponible.").toStdString());
    const QByteArray ruta = QFile::encodeName(dir.filePath(QStringLiteral("tabla.xlsx")));
    const QByteArray temporal = QFile::encodeName(dir.path());
    lxw_workbook_options opciones{};
    // Rows go out in order, so a million of them need not stay in memory.
    opciones.constant_memory = LXW_TRUE;
    opciones.tmpdir = const_cast<char*>(temporal.constData());
    opciones.use_zip64 = LXW_TRUE;
    lxw_workbook* libro = workbook_new_opt(ruta.constData(), &opciones);
    if (!libro)
        Fallo(LXW_ERROR_CREATING_TMPFILE);
    // Closing frees the workbook on every path.
    struct Cierre {
        lxw_workbook* libro;
        bool cerrado = false;
        lxw_error Cerrar()
        {
            cerrado = true;
            return workbook_close(libro);
        }
        ~Cierre()
        {
            if (!cerrado)
                workbook_close(libro);
        }
    } cierre{libro};

    lxw_format* negrita = workbook_add_format(libro);
    format_set_bold(negrita);
    lxw_format* fijo2 = workbook_add_format(libro);
    format_set_num_format(fijo2, "0.00");

    std::vector<double> anchos(cols, 0.0);
    for (int c = 0; c < cols; ++c)
        anchos[size_t(c)] = AnchoEnCeros(m.Celda(c, 0), true);
    for (int r = 1; r <= datos; ++r)
        for (int c = 0; c < cols; ++c)
            if (m.Tipo(c, r) != TipoCelda::Vacia)
                anchos[size_t(c)] = std::max(anchos[size_t(c)], AnchoEnCeros(m.Celda(c, r), false));

    for (int h = 0; h < hojas; ++h) {
        lxw_worksheet* hoja = workbook_add_worksheet(libro, nullptr);
        if (!hoja)
            Fallo(LXW_ERROR_MEMORY_MALLOC_FAILED);
        // Widths before any cell: in constant-memory mode they go out with the first row.
        for (int c = 0; c < cols; ++c)
            Comprobar(worksheet_set_column(hoja, lxw_col_t(c), lxw_col_t(c),
                                           std::clamp(std::ceil(anchos[size_t(c)]) + 2.0, 4.0, 255.0), nullptr));
        for (int c = 0; c < cols; ++c) {
            const QString t = m.Celda(c, 0);
            if (!t.isEmpty())
                Comprobar(worksheet_write_string(hoja, 0, lxw_col_t(c), t.toUtf8().constData(), negrita));
        }
        const int primera = 1 + h * porHoja;
        const int ultima = std::min(datos, primera + porHoja - 1);
        for (int r = primera; r <= ultima; ++r) {
            const lxw_row_t fila = lxw_row_t(r - primera + 1);
            for (int c = 0; c < cols; ++c) {
                const lxw_col_t col = lxw_col_t(c);
                switch (m.Tipo(c, r)) {
                case TipoCelda::Vacia: break;
                case TipoCelda::Numero:
                    Comprobar(worksheet_write_number(hoja, fila, col, m.Numero(c, r),
                                                     m.FormatoDe(c, r) == Formato::Fijo2 ? fijo2 : nullptr));
                    break;
                case TipoCelda::Texto: {
                    // Texts that read as numbers (the data column) go in as numbers.
                    const QString t = m.Celda(c, r);
                    bool numero = false;
                    const double v = ConvertirNumero(t, &numero);
                    if (numero && std::isfinite(v))
                        Comprobar(worksheet_write_number(hoja, fila, col, v, nullptr));
                    else
                        Comprobar(worksheet_write_string(hoja, fila, col, t.toUtf8().constData(), nullptr));
                    break;
                }
                }
            }
        }
    }
    Comprobar(cierre.Cerrar());
    QFile f(QFile::decodeName(ruta));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("No se pudo generar el libro xlsx: %1.").arg(f.errorString()).toStdString());
    return f.readAll();
}

} // namespace tendora
