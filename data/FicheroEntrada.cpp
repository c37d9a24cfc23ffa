// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/FicheroEntrada.h"

#include "data/Numeros.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tendora {

namespace {

QString Nombre(const QString& ruta)
{
    return QDir::toNativeSeparators(ruta);
}

[[noreturn]] void Rechazar(const QString& texto)
{
    throw ErrorFicheroEntrada(texto.toStdString());
}

// Why a name could not be reached or read, from the system's error code:
// the system's own text is English.
[[noreturn]] void FalloSistema(const QString& ruta, int codigo, bool leyendo)
{
    QString causa;
    switch (codigo) {
    case ENOENT:
    case ENOTDIR: causa = QStringLiteral("no existe. Compruebe el nombre y la carpeta"); break;
    case EACCES:
    case EPERM:
        causa = QStringLiteral("no tiene permiso para leerlo. Pida ese permiso o copie el fichero a una carpeta suya");
        break;
    case ELOOP: causa = QStringLiteral("es un enlace que no lleva a ningún fichero. Elija el fichero mismo"); break;
    case ENAMETOOLONG:
        causa = QStringLiteral("el nombre es demasiado largo. Cópielo a una carpeta de nombre más corto");
        break;
    case EMFILE:
    case ENFILE:
        causa = QStringLiteral("hay demasiados ficheros abiertos. Cierre algún programa y vuelva a intentarlo");
        break;
    case ENOMEM:
        causa = QStringLiteral("no hay memoria suficiente. Cierre algún programa y vuelva a intentarlo");
        break;
    case EIO:
        causa = QStringLiteral("el disco ha dado un error de lectura. Copie el fichero a otro disco si puede");
        break;
    default:
        causa = QStringLiteral("el sistema ha dado el error %1 (%2). Compruebe el fichero y vuelva a intentarlo")
                    .arg(TextoEntero(codigo), qt_error_string(codigo));
        break;
    }
    Rechazar((leyendo ? QStringLiteral("Error de lectura en el fichero «%1»: %2.")
                      : QStringLiteral("No se puede abrir el fichero «%1»: %2."))
                 .arg(Nombre(ruta), causa));
}

[[noreturn]] void NoNormal(const QString& ruta, const QString& que)
{
    Rechazar(QStringLiteral("«%1» no es un fichero normal (%2): elija un fichero de texto con los datos.")
                 .arg(Nombre(ruta), que));
}

[[noreturn]] void DemasiadoGrande(const QString& ruta)
{
    Rechazar(QStringLiteral("«%1» ocupa más de 64 MB, mucho más que cualquier serie mensual, y no se abre: "
                            "elija el fichero con los datos, o divida este en partes más pequeñas.")
                 .arg(Nombre(ruta)));
}

[[noreturn]] void DemasiadasLineas(const QString& ruta)
{
    Rechazar(QStringLiteral("«%1» tiene más de un millón de líneas, más de las que el programa puede tratar, "
                            "y no se abre: elija un fichero con menos datos, o divida este en partes más pequeñas.")
                 .arg(Nombre(ruta)));
}

#ifdef Q_OS_UNIX
// What a name that is no regular file is, in the user's words.
QString Clase(mode_t modo)
{
    if (S_ISFIFO(modo))
        return QStringLiteral("es una tubería");
    if (S_ISDIR(modo))
        return QStringLiteral("es una carpeta");
    if (S_ISCHR(modo))
        return QStringLiteral("es un dispositivo");
    if (S_ISBLK(modo))
        return QStringLiteral("es un disco");
    if (S_ISSOCK(modo))
        return QStringLiteral("es un socket");
    return QStringLiteral("es un fichero especial del sistema");
}

void ComprobarEstado(const QString& ruta, const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        NoNormal(ruta, Clase(st.st_mode));
    if (st.st_size > kMaxBytesEntrada)
        DemasiadoGrande(ruta);
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
#endif

// Counts the lines as loading does (CR LF, LF or CR end one), across the
// pieces of a read.
struct ContadorLineas {
    qint64 saltos = 0;
    bool trasCR = false;
    bool resto = false; // text after the last break
    void Anadir(const char* p, qint64 n)
    {
        for (qint64 i = 0; i < n; ++i) {
            const char c = p[i];
            if (c == '\n') {
                if (!trasCR)
                    ++saltos;
                trasCR = false;
            } else if (c == '\r') {
                ++saltos;
                trasCR = true;
            } else {
                trasCR = false;
            }
        }
        if (n > 0)
            resto = p[n - 1] != '\n' && p[n - 1] != '\r';
    }
    // Lines of the text so far: a last line without a break counts too.
    qint64 Lineas() const { return saltos + (resto ? 1 : 0); }
};

} // namespace

void ComprobarFicheroEntrada(const QString& ruta)
{
    if (ruta.isEmpty())
        FalloSistema(ruta, ENOENT, false);
#ifdef Q_OS_UNIX
    struct stat st { };
    const QByteArray nombre = QFile::encodeName(ruta);
    if (::stat(nombre.constData(), &st) != 0)
        FalloSistema(ruta, errno, false);
    ComprobarEstado(ruta, st);
    // Whoever reads it next (a spreadsheet reader too) gets a file it may read.
    if (::access(nombre.constData(), R_OK) != 0)
        FalloSistema(ruta, errno, false);
#else
    const QFileInfo info(ruta);
    if (!info.exists())
        FalloSistema(ruta, ENOENT, false);
    if (info.isDir())
        NoNormal(ruta, QStringLiteral("es una carpeta"));
    if (!info.isFile())
        NoNormal(ruta, QStringLiteral("es un fichero especial del sistema"));
    if (info.size() > kMaxBytesEntrada)
        DemasiadoGrande(ruta);
#endif
}

QByteArray LeerFicheroEntrada(const QString& ruta)
{
    ComprobarFicheroEntrada(ruta);
    QByteArray bytes;
    ContadorLineas lineas;
#ifdef Q_OS_UNIX
    // Non-blocking: should the name have become a pipe since the check, the
    // open returns at once and the check below refuses it.
    Descriptor d{::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (d.fd < 0)
        FalloSistema(ruta, errno, false);
    struct stat st { };
    if (::fstat(d.fd, &st) != 0)
        FalloSistema(ruta, errno, false);
    ComprobarEstado(ruta, st);
    bytes.reserve(static_cast<qsizetype>(st.st_size) + (1 << 20));
    constexpr qint64 kPieza = 1 << 20;
    for (;;) {
        // A file that grows while it is read still stops at the limit.
        const qsizetype antes = bytes.size();
        bytes.resize(antes + kPieza);
        ssize_t n;
        do
            n = ::read(d.fd, bytes.data() + antes, size_t(kPieza));
        while (n < 0 && errno == EINTR);
        if (n < 0)
            FalloSistema(ruta, errno, true);
        bytes.resize(antes + n);
        if (n == 0)
            break;
        lineas.Anadir(bytes.constData() + antes, n);
        if (bytes.size() > kMaxBytesEntrada)
            DemasiadoGrande(ruta);
        if (lineas.saltos > kMaxLineasEntrada)
            DemasiadasLineas(ruta);
    }
#else
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        FalloSistema(ruta, EACCES, false);
    bytes = f.read(kMaxBytesEntrada + 1);
    if (f.error() != QFileDevice::NoError)
        FalloSistema(ruta, EIO, true);
    if (bytes.size() > kMaxBytesEntrada)
        DemasiadoGrande(ruta);
    lineas.Anadir(bytes.constData(), bytes.size());
#endif
    if (lineas.Lineas() > kMaxLineasEntrada)
        DemasiadasLineas(ruta);
    bytes.squeeze();
    return bytes;
}

} // namespace tendora
