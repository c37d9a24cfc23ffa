// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Importing a monthly series from a CSV-like text or a workbook sheet: the
// table of cells, what is detected in it (separator, header, decimal mark,
// date form, columns) and its conversion into the lines of the data text.
// Qt Core only, so all of it is tested without widgets.
#include <QList>
#include <QString>
#include <stdexcept>
#include <vector>

namespace tendora {

// A file that cannot be imported, with the message the user sees (Spanish,
// naming the line or cell).
class ErrorImportacion : public std::runtime_error {
public:
    explicit ErrorImportacion(const QString& mensaje) : std::runtime_error(mensaje.toStdString()) { }
    QString Mensaje() const { return QString::fromUtf8(what()); }
};

struct Celda {
    enum Tipo { Vacia, Texto, Numero, Fecha };
    Tipo tipo = Vacia;
    QString texto; // as shown: the field of a text file, the shown text of a sheet cell
    double numero = 0.0; // Numero: the value; Fecha: days since 30/12/1899 (the spreadsheets' serial)
};

// The cells of one sheet or of one text file, row by row.
struct Tabla {
    QString nombre; // sheet name; empty for a text file
    bool libro = false;
    QChar separador; // text file: the field separator; null for one column
    QList<QList<Celda>> filas;
    QList<int> lineas; // text file: the line each row starts on (quoted fields may span lines)
    // Sheet: the sheet column of each column of the table, when a long run
    // of columns empty in every row was kept as one; empty when column i is
    // the sheet's column i.
    QList<int> columnasHoja;

    int Columnas() const;
    const Celda& En(int fila, int col) const; // an empty cell outside the table
    // "Línea 7, columna 3" for a text file, "Celda C7" for a sheet.
    QString Lugar(int fila, int col) const;
    // A column as the user knows it: "3" in a text file, "C" in a sheet.
    QString NombreColumna(int col) const;
};

// Column letters of a sheet: 0 → A, 25 → Z, 26 → AA.
QString LetraColumna(int col);

enum class FormaFecha {
    Ninguna, // no date: the months are numbered from a start the user gives
    AnioYMes, // year and month in two columns
    AnioMes, // 2020-01, 2020/01
    MesAnio, // 01/2020
    DiaMesAnio, // 31/1/2020, day first
    Iso, // 2020-01-31
    NombreMes, // ene-20, enero 2020, ene 2020
    Serie, // a sheet's date cells, or serial day numbers in the date column
};

struct Deteccion {
    int filasCabecera = 0; // leading rows that are not data (titles, headers, empty)
    QChar decimal = QLatin1Char('.');
    FormaFecha forma = FormaFecha::Ninguna;
    int colFecha = -1; // AnioYMes: the year's column; the month's is the next one
    int colValor = -1;
};

// The text of a file as a table: decoded (UTF-8/16 with BOM, UTF-8, else
// Latin-1), the separator (tab, semicolon or comma) found from the lines,
// quoted fields honoured. nombre names the file in messages. Empty or binary
// content raises ErrorImportacion.
Tabla LeerTextoDelimitado(const QByteArray& bytes, const QString& nombre);

// Everything found in a table; the first data row, the decimal mark, the date
// column and form and the value column. Raises ErrorImportacion when the
// table has no row of data.
Deteccion Detectar(const Tabla& t);
// The form of the dates in a column the user marks as the date: the one that
// fits every cell, else the one most cells fit, else dd/mm/aaaa, so that the
// cells that do not read are named when converting.
FormaFecha FormaDeColumna(const Tabla& t, const Deteccion& d, int col);
// One line for the user: separator, header, decimal mark, date form.
QString DescribirDeteccion(const Tabla& t, const Deteccion& d);
QString NombreForma(FormaFecha f);

struct Mes {
    int anio = 0; // 0 when the table has no date
    int mes = 0;
    double valor = 0.0;
    bool sinValor = false; // an empty value cell between values: to be filled before it is written
    int fila = -1; // the table's row it comes from
};

struct Importe {
    std::vector<Mes> meses;
    // One line for the user on the rows left out (after the data, rows that
    // are no dates: a total, notes, empty rows; at either end, rows without a
    // value); empty when none is.
    QString omitidas;
    int desde = -1, hasta = -1; // the rows taken (from the table's 0)
};

// The data rows as months, or ErrorImportacion naming the first cell that
// does not read (a text that is no number or no date, a row in the middle
// of the data that is no date). conHuecos: an empty value cell between
// values is a month marked sinValor, for the user to say how it is filled;
// otherwise it is an error too, and so are the empty values at either end.
Importe ConvertirImporte(const Tabla& t, const Deteccion& d, bool conHuecos = true);
// The months of ConvertirImporte without gaps in the values (where no one
// can be asked how to fill them).
std::vector<Mes> Convertir(const Tabla& t, const Deteccion& d);
// The data text: year TAB month TAB value per line, the value in the user's
// number format. Months without a date are numbered from anio/mes.
QString TextoDatos(const std::vector<Mes>& meses, int anio = 0, int mes = 0);

// Readers of single cells, with the table's decimal mark; exposed for tests.
bool LeerValor(const Celda& c, QChar decimal, double* valor);
bool LeerFecha(const Celda& c, FormaFecha f, int* anio, int* mes);

} // namespace tendora
