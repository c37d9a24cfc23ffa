// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A session file (.tendora): the data text and where it came from, the model
// page's settings, the log of runs, the comparison series and the automatic
// ranking, as JSON after a first line that names the format, its version and
// the SHA-256 of the rest:
//   TENDORA-SESION 1 <64 hex digits>
// A file whose sum does not match is damaged; one of a later version is
// refused. The manual describes every field.
#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <vector>

#include "models/Automatico.h"
#include "models/Modelos.h"
#include "models/RegistroCorridas.h"

namespace tendora {

constexpr int VersionSesion = 1;

// A session file that cannot be read: the Spanish message says why and where.
class ErrorSesion : public std::runtime_error {
public:
    explicit ErrorSesion(const QString& mensaje) : std::runtime_error(mensaje.toStdString()) { }
    QString Mensaje() const { return QString::fromUtf8(what()); }
};

struct PuntoSesion {
    double x = 0, y = 0;
    QString etiqueta;
    bool nulo = false;
    bool operator==(const PuntoSesion&) const = default;
};

struct SerieSesion {
    QString titulo;
    QString color; // "#rrggbb"
    double ancho = 2.0;
    bool visible = true;
    std::vector<PuntoSesion> puntos;
    bool operator==(const SerieSesion&) const = default;
};

// A candidate of the ranking as its page shows it.
struct FilaClasificacion {
    QString etiqueta;
    double valor = 0; // the criterion; NaN: not evaluated
    bool operator==(const FilaClasificacion&) const = default;
};

struct DatosSesion {
    // The data text, the file it was opened from, the series name, the text
    // last loaded (none: nothing loaded) and the text as last saved.
    QString texto, fichero, nombre, guardado;
    bool cargado = false;
    QString textoCargado;
    // The model page.
    int modelo = 0;
    Parametros param; // horizon and negative switch included
    int reserva = 0;
    bool intervalos = false;
    Criterio criterio = Criterio::MASE;
    // The forecast table showed a forecast; the ranking's candidate applied last (-1: none).
    bool prevision = false;
    int candidato = -1;
    // The log, and the entries each error table leaves out ("Borrar tabla").
    std::vector<Corrida> corridas;
    long long desdeAjuste = 0, desdeAcierto = 0;
    std::vector<SerieSesion> comparativas;
    bool conClasificacion = false;
    Criterio criterioClasificacion = Criterio::MASE;
    std::vector<FilaClasificacion> clasificacion;
};

QByteArray EscribirSesion(const DatosSesion& d);
// ErrorSesion for anything that is not a whole session file of this version or an earlier one.
DatosSesion LeerSesion(const QByteArray& bytes);

} // namespace tendora
