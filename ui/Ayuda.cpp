// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Ayuda.h"

#include "data/Instalacion.h"

#include <QDesktopServices>
#include <QDir>

namespace tendora {

QString MensajeFaltaAyuda(const QString& fichero)
{
    return QStringLiteral("No se encuentra el fichero de ayuda \"") + fichero +
           QStringLiteral("\". Debería estar ubicado en el directorio de instalación.");
}

QString RutaManual(const QString& dirPrograma)
{
    return BuscarFichero(dirPrograma, FicheroAyuda);
}

void AbrirManual(QWidget* ventana, const QString& dirPrograma, std::function<void(const QString&)> mostrarAviso,
                 std::function<bool(const QUrl&)> abrir)
{
    // The viewer is a separate program; it needs no parent window here.
    (void)ventana;
    const QString ruta = RutaManual(dirPrograma);
    if (ruta.isEmpty()) {
        if (mostrarAviso)
            mostrarAviso(MensajeFaltaAyuda(FicheroAyuda));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(ruta);
    const bool abierto = abrir ? abrir(url) : QDesktopServices::openUrl(url);
    // Without a browser nothing would show: the user is told where the manual is.
    if (!abierto && mostrarAviso)
        mostrarAviso(QStringLiteral("No se ha podido abrir el manual: no hay ningún programa para ver páginas web. "
                                    "El manual está en «%1»; ábralo con un navegador.")
                         .arg(QDir::toNativeSeparators(ruta)));
}

QString TextoAyudaEmergente(const QString& html)
{
    return QStringLiteral("<table width=\"440\"><tr><td>") + html + QStringLiteral("</td></tr></table>");
}

} // namespace tendora
