// SPDX-License-Identifier: GPL-3.0-or-later
// The .xlsx export, written by libxlsxwriter.
#include "data/EscrituraSegura.h"
#include "ui/ExportarRejilla.h"
#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace tendora {

namespace {

constexpr int kFilasHoja = 1048576;
constexpr int kColumnasHoja = 16384;
constexpr int kTextoCelda = 32767; // characters in one cell

// The cause of a library failure, with the system's error code seen right
// after it (the library reports file failures through errno). The library
// puts the workbook together in files of the temporary folder, so most of its
// failures are failures there; its own texts are English.
QString CausaXlsx(lxw_error e, int codigo)
{
    switch (e) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("no hay memoria suficiente para preparar el libro. Cierre otros programas y vuelva a "
                              "exportar, o exporte en formato csv");
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: return CausaCarpetaTemporal(codigo);
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("una celda tiene más de %1 caracteres, más de los que admite el formato xlsx. Exporte "
                              "la tabla en formato csv o txt")
            .arg(TextoEntero(kTextoCelda));
    default:
        // The rest are faults of this program's use of the library.
        return QStringLiteral("error interno %1 al preparar el libro xlsx. Exporte la tabla en otro formato")
            .arg(TextoEntero(int(e)));
    }
}

[[noreturn]] void Fallo(lxw_error e)
{
    const int codigo = errno;
    throw ErrorPreparacion(CausaXlsx(e, codigo).toStdString());
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
        throw ErrorPreparacion(QStringLiteral("el formato xlsx admite %1 columnas como máximo y la tabla tiene %2. "
                                              "Exporte la tabla en formato csv o txt")
                                   .arg(TextoEntero(kColumnasHoja), TextoEntero(cols))
                                   .toStdString());
    const int datos = m.RowCount() - 1;
    const int porHoja = kFilasHoja - 1; // the header row opens every sheet
    const int hojas = std::max(1, (datos + porHoja - 1) / porHoja);

    // The library writes to a file; ours goes to the user's file whole, through
    // the one safe writer, so a temporary one stands in between.
    errno = 0;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        const int codigo = errno;
        throw ErrorPreparacion(CausaCarpetaTemporal(codigo).toStdString());
    }
    const QByteArray ruta = QFile::encodeName(dir.filePath(QStringLiteral("tabla.xlsx")));
    const QByteArray temporal = QFile::encodeName(dir.path());
    lxw_workbook_options opciones{};
    // Rows go out in order, so a million of them need not stay in memory.
    opciones.constant_memory = LXW_TRUE;
    opciones.tmpdir = const_cast<char*>(temporal.constData());
    opciones.use_zip64 = LXW_TRUE;
    errno = 0;
    lxw_workbook* libro = workbook_new_opt(ruta.constData(), &opciones);
    if (!libro)
        Fallo(errno == ENOMEM ? LXW_ERROR_MEMORY_MALLOC_FAILED : LXW_ERROR_CREATING_TMPFILE);
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
    errno = 0;
    Comprobar(cierre.Cerrar());
    QFile f(QFile::decodeName(ruta));
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        const int codigo = errno;
        throw ErrorPreparacion(CausaCarpetaTemporal(codigo).toStdString());
    }
    return f.readAll();
}

} // namespace tendora
