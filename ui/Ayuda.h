// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user manual: an HTML file next to the executable or in the installed
// data folder, opened with the system's viewer.
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace tendora {

inline const QString FicheroAyuda = QStringLiteral("Tendora.html");

// "No se encuentra el fichero de ayuda "<fichero>". Debería estar ubicado en
// el directorio de instalación."
QString MensajeFaltaAyuda(const QString& fichero);

// Where the manual lies for a program in dirPrograma (ending with a
// separator); empty when it is nowhere to be found.
QString RutaManual(const QString& dirPrograma);

// Opens the manual with the system's viewer, or, when there is no such file
// or no viewer to open it with, hands the warning (saying where the manual is)
// to mostrarAviso. 'abrir' replaces the system's "open" (tests); empty means
// QDesktopServices::openUrl.
void AbrirManual(QWidget* ventana, const QString& dirPrograma, std::function<void(const QString&)> mostrarAviso,
                 std::function<bool(const QUrl&)> abrir = {});

// A tool tip of a few lines of rich text, as the explanations of models and
// measures show it: a block of fixed width, since Qt wraps a rich tip into
// a narrow column of its own choosing.
QString TextoAyudaEmergente(const QString& html);

} // namespace tendora
