// SPDX-License-Identifier: GPL-3.0-or-later
// A workbook (.xlsx or .ods, told by its content) as "Importar..." reads it:
// every sheet, and on each of the first ones the detection and the months.
// The reader takes a path, so each input is written to one file first.
#include "Importacion.h"
#include "LibroCalculo.h"
#include "Objetivo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tendora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    static QTemporaryDir dir;
    static const QString ruta = dir.filePath(QStringLiteral("libro.xlsx"));
    fuzz::Locale(tamano);
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(reinterpret_cast<const char*>(datos), qint64(tamano)) != qint64(tamano))
            std::abort(); // the temporary folder is gone: nothing here can be trusted
    }
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
