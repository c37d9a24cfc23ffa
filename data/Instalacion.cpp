// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Instalacion.h"

#include <QDir>
#include <QFileInfo>

namespace tendora {

namespace {

QString Buscar(const QString& dirPrograma, const QString& nombre, bool carpeta)
{
    for (const QString& dir : CarpetasDelPrograma(dirPrograma)) {
        const QFileInfo f(dir + nombre);
        if (carpeta ? f.isDir() : f.isFile())
            return f.absoluteFilePath();
    }
    return {};
}

} // namespace

QStringList CarpetasDelPrograma(const QString& dirPrograma)
{
    // The build system knows where the data folder lies relative to the
    // executable, so a relocated installation keeps finding it.
    return {dirPrograma, QDir::cleanPath(dirPrograma + QStringLiteral(TENDORA_DATOS_RELATIVO)) + QLatin1Char('/')};
}

QString BuscarFichero(const QString& dirPrograma, const QString& nombre)
{
    return Buscar(dirPrograma, nombre, false);
}

QString BuscarCarpeta(const QString& dirPrograma, const QString& nombre)
{
    return Buscar(dirPrograma, nombre, true);
}

} // namespace tendora
