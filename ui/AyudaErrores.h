// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What each column of the error tables means: its header, name, formula and
// which values are better. The headers' tool tips are built from these texts,
// and the manual's table of measures repeats them word for word.
#include <QString>

namespace tendora {

struct AyudaColumnaError {
    const char* Cabecera; // the header text
    const char* Nombre;
    // Rich text (UTF-8): the formula as the measures compute it, or what the
    // label column holds.
    const char* Formula;
    const char* Mejor; // which values are better; nullptr for the label column
};

// The texts of an error-table column (a ColumnaError, 0..NumColumnasError-1).
const AyudaColumnaError& AyudaColumna(int col);

// The header's tool tip of that column, as rich text.
QString TextoAyudaColumna(int col);

} // namespace tendora
