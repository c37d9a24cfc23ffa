// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program writes a file: data text, table exports and chart
// pictures all go through here, so a failed write never costs the user the
// file that was there before.
#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace tendora {

// A file that could not be written; the text says which and why, in Spanish.
class ErrorEscritura : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the bytes as the whole file at ruta. They go to a temporary file in
// the same folder, unbuffered, and replace ruta only once every byte is on
// disk; on any failure the temporary file is removed, an existing file is left
// as it was, and ErrorEscritura carries a Spanish text naming the file and
// the cause.
void EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos);

// The text of an ErrorEscritura for ruta, for a cause already worded in
// Spanish: the file's name, the cause, and what became of the file there.
QString MensajeEscritura(const QString& ruta, const QString& causa);

// The cause, and what to do, when a file could not be prepared in the
// temporary folder (QDir::tempPath(), TMPDIR) before it is written where the
// user asked; codigo is the system's error code seen then (0 when none).
QString CausaCarpetaTemporal(int codigo);

} // namespace tendora
