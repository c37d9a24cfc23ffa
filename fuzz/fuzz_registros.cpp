// SPDX-License-Identifier: GPL-3.0-or-later
// The data text, as "Abrir" decodes a file and "Cargar" reads it: records
// or the message of the first line that does not read, and the first jump
// between months.
#include "data/Carga.h"
#include "Objetivo.h"

using namespace tendora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    fuzz::Locale(tamano);
    const QString texto = DecodificarTexto(fuzz::Bytes(datos, tamano));
    try {
        const std::vector<Registro> registros = LeerRegistros(texto);
        for (const Registro& r : registros) {
            fuzz::Finito(r.Anio, "year");
            fuzz::Finito(r.Mes, "month");
            fuzz::Finito(r.Valor, "value");
            // What the window does with a loaded date.
            (void)static_cast<int>(r.Anio);
            (void)static_cast<int>(r.Mes);
        }
        QString salto;
        if (const int linea = PrimerSalto(registros, &salto); linea > 0)
            (void)InicioDeLinea(texto, linea);
    } catch (const ErrorLectura& e) {
        (void)InicioDeLinea(texto, e.Linea());
    }
    return 0;
}
