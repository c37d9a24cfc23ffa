// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program finds the files it ships with (the manual, the sample
// files): next to the executable, as the build leaves them, or in the data
// folder of an installation (bin/../share/tendora).
#include <QString>
#include <QStringList>

namespace tendora {

// The folders looked in, in order; dirPrograma ends with a separator.
QStringList CarpetasDelPrograma(const QString& dirPrograma);
// The first file (or folder) called nombre in those folders; empty when none.
QString BuscarFichero(const QString& dirPrograma, const QString& nombre);
QString BuscarCarpeta(const QString& dirPrograma, const QString& nombre);

} // namespace tendora
