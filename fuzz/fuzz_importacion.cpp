// SPDX-License-Identifier: GPL-3.0-or-later
// A delimited text (.csv, .tsv, .txt) as "Importar..." reads it: the table,
// what is detected in it (separator, header, decimal mark, date form and
// columns), the months and the data text; then each column marked as the date.
#include "data/Huecos.h"
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
            const Importe imp = ConvertirImporte(t, d);
            for (const Mes& m : imp.meses)
                fuzz::Finito(m.valor, "value");
            (void)TextoDatos(imp.meses, 2000, 1);
            // The months missing and the values left empty, filled.
            std::vector<Registro> registros;
            std::vector<bool> sinValor;
            for (const Mes& m : imp.meses) {
                registros.push_back(Registro{double(m.anio), double(m.mes), m.valor});
                sinValor.push_back(m.sinValor);
            }
            for (const Registro& x : RellenarHuecos(registros, Relleno(tamano % 3), sinValor).registros)
                fuzz::Finito(x.Valor, "filled value");
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
