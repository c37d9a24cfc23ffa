// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Months missing from a monthly series: found between the dates of the
// records (and, in an import, as records without a value) and filled, so that
// every month has its row and the seasonal models see each value in its month.
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "models/Registro.h"

namespace tendora {

enum class Relleno {
    Interpolar, // on the straight line between the values either side
    Cero, // no demand in those months (intermittent demand)
    Anterior, // the value of the month before
};

// More missing months than this are taken for a mistyped year, not a gap:
// the dates are then left as they are.
constexpr long long kMaxMesesRelleno = 100000;

struct Huecos {
    long long meses = 0; // months missing between dates
    int tramos = 0; // runs of missing months
    long long sinValor = 0; // records without a value
    int primero = -1; // index of the record right after the first run of missing months
    int primerSinValor = -1; // index of the first record without a value
    // Every date a whole month after the one before (and few enough months
    // missing): only then are months put in between.
    bool fechasEnOrden = true;
    bool Hay() const { return meses > 0 || sinValor > 0; }
};

// What there is to fill. sinValor[k]: record k has no value (may be shorter
// than the records, or empty).
Huecos BuscarHuecos(const std::vector<Registro>& registros, const std::vector<bool>& sinValor = {});

struct Rellenado {
    std::vector<Registro> registros; // one per month, in order
    std::vector<char> anadido; // per record: a month put in (not one of the records given)
    long long rellenados = 0; // values written: months put in plus records that had none
};

// The records with the missing months put in, dated, and every value missing
// filled as modo says. A run without a value on one side only takes the value
// of the other side (with Anterior too); with no value at all, 0. Dates that
// repeat or go back are left as they are: then only the values missing are
// filled, their neighbours taken in the order of the records.
Rellenado RellenarHuecos(const std::vector<Registro>& registros, Relleno modo, const std::vector<bool>& sinValor = {});

// One line of the data text: year TAB month TAB value, in the user's number format.
QString LineaDatos(double anio, double mes, double valor);
// The data text with the lines of the months put in written after the line
// of the record before them; every other line is kept as it was. texto is
// the text whose records r was made from.
QString TextoRellenado(const QString& texto, const Rellenado& r);
// Where a run of the filled records ends up: the (1-based) line that the row
// fila (1-based) of the filled records came from, or of the record after it.
int LineaOriginal(const Rellenado& r, int fila);

// "5/2020": a record's month and year as the messages write them.
QString FechaDe(const Registro& r);
// What is missing, for the question to the user: how many months, and where
// the first gap is. lugar(k) names record k ("la línea 5", "la celda A6").
QString DescribirHuecos(const std::vector<Registro>& registros, const Huecos& h,
                        const std::function<QString(int)>& lugar);

} // namespace tendora
