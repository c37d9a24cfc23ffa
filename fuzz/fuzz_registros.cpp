// SPDX-License-Identifier: GPL-3.0-or-later
// The data text, as "Abrir" decodes a file and "Cargar" reads it: records
// or the message of the first line that does not read, the first jump
// between months, and the months missing filled into the text.
#include "data/Carga.h"
#include "data/Huecos.h"
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
        if (const Huecos h = BuscarHuecos(registros); h.meses > 0) {
            (void)DescribirHuecos(registros, h, [](int k) { return QString::number(k + 1); });
            const Relleno modo = Relleno(tamano % 3);
            const Rellenado r = RellenarHuecos(registros, modo);
            for (const Registro& x : r.registros)
                fuzz::Finito(x.Valor, "filled value");
            // The filled text reads back as one record per month.
            const std::vector<Registro> otra = LeerRegistros(TextoRellenado(texto, r));
            if (otra.size() != r.registros.size() || BuscarHuecos(otra).meses != 0) {
                std::fprintf(stderr, "filled text does not read back month by month\n");
                std::abort();
            }
        }
    } catch (const ErrorLectura& e) {
        (void)InicioDeLinea(texto, e.Linea());
    }
    return 0;
}
