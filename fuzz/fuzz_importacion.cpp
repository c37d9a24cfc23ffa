// SPDX-License-Identifier: GPL-3.0-or-later
// A delimited text (.csv, .tsv, .txt) as "Importar..." reads it: the table,
// what is detected in it (separator, header, decimal mark, date form and
// columns), the months and the data text; then each column marked as the date.
#include "data/Importacion.h"
#include "Objetivo.h"

using namespace tendora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    fuzz::Locale(tamano);
    try {
        const Tabla t = LeerTextoDelimitado(fuzz::Bytes(datos, tamano), QStringLiteral("datos.csv"));
        Deteccion d = Detectar(t);
        (void)DescribirDeteccion(t, d);
        try {
            const std::vector<Mes> meses = Convertir(t, d);
            for (const Mes& m : meses)
                fuzz::Finito(m.valor, "value");
            (void)TextoDatos(meses, 2000, 1);
        } catch (const ErrorImportacion&) {
        }
        // The user's choice of the date column, as the dialog offers it.
        for (int c = 0; c < std::min(t.Columnas(), 4); ++c) {
            d.colFecha = c;
            d.forma = FormaDeColumna(t, d, c);
            try {
                (void)Convertir(t, d);
            } catch (const ErrorImportacion&) {
            }
        }
    } catch (const ErrorImportacion&) {
    }
    return 0;
}
