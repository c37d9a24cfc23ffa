// SPDX-License-Identifier: GPL-3.0-or-later
#include "EscrituraSegura.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <stdexcept>

namespace tendora {

namespace {

// The system's own text is in English; each cause the user can act on gets
// a Spanish one. Qt builds its error texts from these same system texts.
QString CausaEnEspanol(const QString& textoSistema, const QFileInfo& info)
{
    struct Causa {
        int codigo;
        const char* texto;
    };
    static const Causa causas[] = {
        {ENOSPC, "no queda espacio en el disco"},
        {EDQUOT, "se ha agotado la cuota de disco"},
        {EFBIG, "el fichero es demasiado grande para ese disco"},
        {EROFS, "el disco es de solo lectura"},
        {EACCES, "no hay permiso para escribir en la carpeta «%1»"},
        {EPERM, "no hay permiso para escribir en la carpeta «%1»"},
        {ENOENT, "la carpeta «%1» no existe"},
        {ENOTDIR, "la carpeta «%1» no existe"},
        {EISDIR, "ese nombre es el de una carpeta"},
        {ENAMETOOLONG, "el nombre del fichero es demasiado largo"},
        {EIO, "el disco ha dado un error de lectura o escritura"},
        {EMFILE, "hay demasiados ficheros abiertos"},
        {ENFILE, "hay demasiados ficheros abiertos"},
    };
    for (const Causa& c : causas) {
        if (!textoSistema.contains(qt_error_string(c.codigo), Qt::CaseInsensitive))
            continue;
        QString texto = QString::fromUtf8(c.texto);
        texto.replace(QLatin1String("%1"), QDir::toNativeSeparators(info.absolutePath()));
        return texto;
    }
    // QSaveFile's own wordings: a name that is a folder, and an existing file
    // it may not replace, either on a read-only disk or protected itself.
    if (textoSistema.contains(QLatin1String("refers to a directory"), Qt::CaseInsensitive))
        return QStringLiteral("ese nombre es el de una carpeta");
    if (textoSistema.contains(QLatin1String("is not writable"), Qt::CaseInsensitive))
        return QStorageInfo(info.absolutePath()).isReadOnly()
                   ? CausaEnEspanol(qt_error_string(EROFS), info)
                   : QStringLiteral("el fichero existente está protegido contra escritura");
    return QStringLiteral("error del sistema (%1)").arg(textoSistema);
}

QString Mensaje(const QString& ruta, bool existia, const QString& causa)
{
    // The name alone: the user has just chosen the folder, and a whole path
    // would not fit the message dialog.
    QString texto = QStringLiteral("No se pudo guardar el fichero «%1»: %2.").arg(QFileInfo(ruta).fileName(), causa);
    texto += existia ? QStringLiteral(" El fichero anterior no se ha modificado.")
                     : QStringLiteral(" No se ha creado ningún fichero.");
    return texto;
}

[[noreturn]] void Fallo(const QString& ruta, bool existia, const QString& textoSistema)
{
    throw ErrorEscritura(Mensaje(ruta, existia, CausaEnEspanol(textoSistema, QFileInfo(ruta))).toStdString());
}

} // namespace

QString MensajeEscritura(const QString& ruta, const QString& causa)
{
    return Mensaje(ruta, QFileInfo(ruta).isFile(), causa);
}

void EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos)
{
    const bool existia = QFileInfo(ruta).isFile();
    QSaveFile fichero(ruta);
    // Unbuffered: a buffered write that failed would go unnoticed and commit()
    // would still put an empty file in place of the old one.
    if (!fichero.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        Fallo(ruta, existia, fichero.errorString());
    qint64 escritos = 0;
    while (escritos < datos.size()) {
        const qint64 n = fichero.write(datos.constData() + escritos, datos.size() - escritos);
        if (n <= 0) {
            const QString causa = fichero.errorString();
            fichero.cancelWriting();
            Fallo(ruta, existia, causa);
        }
        escritos += n;
    }
    if (!fichero.flush() || fichero.error() != QFileDevice::NoError) {
        const QString causa = fichero.errorString();
        fichero.cancelWriting();
        Fallo(ruta, existia, causa);
    }
    // commit() syncs and renames; if either fails the temporary file is gone
    // and the old one untouched.
    if (!fichero.commit())
        Fallo(ruta, existia, fichero.errorString());
}

} // namespace tendora
