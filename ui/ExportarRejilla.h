// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a grid to the five export formats. Every format holds the whole
// grid: the header row, the fixed first column, the texts as shown.
#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>

namespace tendora {

// A workbook that could not be put together before it is written. The text
// is the cause and what to do, in Spanish, to follow "No se pudo guardar el
// fichero «x»: "; the export turns it into an ErrorEscritura for the file.
class ErrorPreparacion : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModeloRejilla;

// Plain text: one line per grid row, each column padded with blanks to its widest text.
QByteArray TextoTxt(const ModeloRejilla& m);
// Separator of the CSV export: ";" where the decimal mark is a comma (what
// spreadsheets there expect, and numbers need no quotes), "," otherwise.
QChar SeparadorCsv();
// Character-separated values in UTF-8 with a byte-order mark; a cell holding
// the separator, a double quote or a line break is enclosed in double quotes,
// its quotes doubled.
QByteArray TextoCsv(const ModeloRejilla& m);
// An RTF document holding the grid as a table (what Word and Writer open as ".doc").
QByteArray TextoRtf(const ModeloRejilla& m, const QList<int>& anchosPx);
// An HTML5 page, UTF-8, with the grid as a table.
QByteArray TextoHtml(const ModeloRejilla& m);
// A BIFF8 workbook in an OLE2 compound file: numbers as numbers, texts in the
// shared string table; more than 65 536 rows continue on further sheets, each
// starting with the header row. Column widths follow the longest text of each
// column in characters, not the screen's pixels. More than 256 columns
// throw ErrorPreparacion.
QByteArray LibroXls(const ModeloRejilla& m);

// An Office Open XML workbook (libxlsxwriter): numbers as numbers, those shown
// with two decimals formatted so; more than 1 048 576 rows continue on further
// sheets, each starting with the header row; column widths fit the texts.
// It is put together in the temporary folder; throws ErrorPreparacion.
QByteArray LibroXlsx(const ModeloRejilla& m);
// Width of a text in widths of the digit '0', the unit of a spreadsheet's column width.
double AnchoEnCeros(const QString& texto, bool negrita);

// filtroIndex 1..6: txt, csv, doc, html, xls, xlsx; any other index writes nothing.
// A file that cannot be written whole throws std::runtime_error and keeps
// any existing file as it was.
void ExportarRejillaArchivo(const ModeloRejilla& m, const QList<int>& anchosPx, const QString& ruta, int filtroIndex);

} // namespace tendora
