// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/EscrituraSegura.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <stdexcept>

namespace tendora {

namespace {

QString EnCarpeta(const char* texto, const QFileInfo& info)
{
    return QString::fromUtf8(texto).arg(QDir::toNativeSeparators(info.absolutePath()));
}

// Why a write failed, from the system's error code seen right after the
// failing call (0 when none) and from what the name, its folder and its disk
// are now. Qt's own texts cannot tell it: they are translated once the
// program loads Qt's Spanish texts. textoSistema is the last resort.
QString CausaEnEspanol(int codigo, const QFileInfo& info, const QString& textoSistema)
{
    const QFileInfo carpeta(info.absolutePath());
    if (info.isDir())
        return QStringLiteral("ese nombre es el de una carpeta");
    if (!carpeta.isDir())
        return EnCarpeta("la carpeta «%1» no existe", info);
    const QStorageInfo disco(info.absolutePath());
    if (codigo == EROFS || (disco.isValid() && disco.isReadOnly()))
        return QStringLiteral("el disco es de solo lectura");
    switch (codigo) {
    case ENOSPC: return QStringLiteral("no queda espacio en el disco");
    case EDQUOT: return QStringLiteral("se ha agotado la cuota de disco");
    case EFBIG: return QStringLiteral("el fichero es demasiado grande para ese disco");
    case ENAMETOOLONG: return QStringLiteral("el nombre del fichero es demasiado largo");
    case EIO: return QStringLiteral("el disco ha dado un error de lectura o escritura");
    case EMFILE:
    case ENFILE: return QStringLiteral("hay demasiados ficheros abiertos");
    default: break;
    }
    // An existing file it may not replace, or a folder it may not write in.
    if (info.exists() && !info.isWritable())
        return QStringLiteral("el fichero existente está protegido contra escritura");
    if (codigo == EACCES || codigo == EPERM || !carpeta.isWritable())
        return EnCarpeta("no hay permiso para escribir en la carpeta «%1»", info);
    if (disco.isValid() && disco.bytesAvailable() == 0)
        return QStringLiteral("no queda espacio en el disco");
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

[[noreturn]] void Fallo(const QString& ruta, bool existia, int codigo, const QString& textoSistema)
{
    throw ErrorEscritura(Mensaje(ruta, existia, CausaEnEspanol(codigo, QFileInfo(ruta), textoSistema)).toStdString());
}

} // namespace

QString CausaCarpetaTemporal(int codigo)
{
    const QString carpeta = QDir::toNativeSeparators(QDir::tempPath());
    const QStorageInfo disco(QDir::tempPath());
    // Less than a few pages left is a full disk, whatever the failing call saw.
    if (codigo == ENOSPC || codigo == EDQUOT || (disco.isValid() && disco.bytesAvailable() < 65536))
        return QStringLiteral("no queda espacio en la carpeta temporal «%1», donde se prepara el fichero antes de "
                              "guardarlo. Libere espacio en ella, o elija otra con la variable TMPDIR, y vuelva a "
                              "intentarlo")
            .arg(carpeta);
    if (codigo == EROFS || (disco.isValid() && disco.isReadOnly()))
        return QStringLiteral("la carpeta temporal «%1», donde se prepara el fichero antes de guardarlo, está en un "
                              "disco de solo lectura. Elija otra con la variable TMPDIR y vuelva a intentarlo")
            .arg(carpeta);
    return QStringLiteral("no se puede escribir en la carpeta temporal «%1», donde se prepara el fichero antes de "
                          "guardarlo. Compruebe que existe y que hay permiso y espacio para escribir en ella, o "
                          "elija otra con la variable TMPDIR, y vuelva a intentarlo")
        .arg(carpeta);
}

QString MensajeEscritura(const QString& ruta, const QString& causa)
{
    return Mensaje(ruta, QFileInfo(ruta).isFile(), causa);
}

void EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos)
{
    const bool existia = QFileInfo(ruta).isFile();
    QSaveFile fichero(ruta);
    // Each failing call's errno is taken at once, before anything else runs.
    errno = 0;
    // Unbuffered: a buffered write that failed would go unnoticed and commit()
    // would still put an empty file in place of the old one.
    if (!fichero.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int codigo = errno;
        Fallo(ruta, existia, codigo, fichero.errorString());
    }
    qint64 escritos = 0;
    while (escritos < datos.size()) {
        errno = 0;
        const qint64 n = fichero.write(datos.constData() + escritos, datos.size() - escritos);
        if (n <= 0) {
            const int codigo = errno;
            const QString causa = fichero.errorString();
            fichero.cancelWriting();
            Fallo(ruta, existia, codigo, causa);
        }
        escritos += n;
    }
    errno = 0;
    if (!fichero.flush() || fichero.error() != QFileDevice::NoError) {
        const int codigo = errno;
        const QString causa = fichero.errorString();
        fichero.cancelWriting();
        Fallo(ruta, existia, codigo, causa);
    }
    // commit() syncs and renames; if either fails the temporary file is gone
    // and the old one untouched.
    errno = 0;
    if (!fichero.commit()) {
        const int codigo = errno;
        Fallo(ruta, existia, codigo, fichero.errorString());
    }
}

} // namespace tendora
