// SPDX-License-Identifier: GPL-3.0-or-later
// A workbook (.xlsx or .ods, told by its content) as "Importar..." reads it:
// every sheet, and on each of the first ones the detection and the months.
// The reader takes a path, so each input is written to one file first.
// An input that starts as a zip does ("PK") is the workbook's bytes; any
// other is its parts, each after a line "==> name", zipped here (stored,
// with right checksums) so that changes to the XML reach the XML readers
// instead of failing the zip's checksum.
#include "data/Importacion.h"
#include "data/LibroCalculo.h"
#include "Objetivo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <minizip/zip.h>

using namespace tendora;

namespace {

void Escribir(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort(); // the temporary folder is gone: nothing here can be trusted
}

void Zipear(const QString& ruta, const QByteArray& partes)
{
    zipFile zip = zipOpen64(QFile::encodeName(ruta).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        std::abort();
    const QByteArray marca("==> ");
    qsizetype i = partes.startsWith(marca) ? 0 : partes.indexOf("\n" + marca);
    while (i >= 0) {
        const qsizetype nombre = i + (partes.at(i) == '\n' ? 1 : 0) + marca.size();
        const qsizetype finNombre = partes.indexOf('\n', nombre);
        if (finNombre < 0)
            break;
        const qsizetype siguiente = partes.indexOf("\n" + marca, finNombre);
        const QByteArray contenido = partes.mid(finNombre + 1, siguiente < 0 ? -1 : siguiente - finNombre - 1);
        zip_fileinfo info{};
        if (zipOpenNewFileInZip64(zip, partes.mid(nombre, finNombre - nombre).constData(), &info, nullptr, 0, nullptr,
                                  0, nullptr, 0, 0, 1) == ZIP_OK) {
            zipWriteInFileInZip(zip, contenido.constData(), unsigned(contenido.size()));
            zipCloseFileInZip(zip);
        }
        i = siguiente;
    }
    zipClose(zip, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    static QTemporaryDir dir;
    static const QString ruta = dir.filePath(QStringLiteral("libro.xlsx"));
    fuzz::Locale(tamano);
    const QByteArray bytes = fuzz::Bytes(datos, tamano);
    if (bytes.startsWith("PK"))
        Escribir(ruta, bytes);
    else
        Zipear(ruta, bytes);
    try {
        const QList<Tabla> hojas = LeerLibro(ruta);
        for (qsizetype i = 0; i < std::min<qsizetype>(hojas.size(), 4); ++i) {
            const Tabla& t = hojas[i];
            for (const QList<Celda>& fila : t.filas)
                for (const Celda& c : fila)
                    if (c.tipo == Celda::Numero)
                        fuzz::Finito(c.numero, "cell");
            try {
                const Deteccion d = Detectar(t);
                (void)DescribirDeteccion(t, d);
                const std::vector<Mes> meses = Convertir(t, d);
                (void)TextoDatos(meses, 2000, 1);
            } catch (const ErrorImportacion&) {
            }
        }
    } catch (const ErrorImportacion&) {
    }
    return 0;
}
