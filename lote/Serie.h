// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One file of tendora-lote: read as the window would read it, forecast by
// the core, and written as the rows of the output text. Every message is
// kept with its series, so the output is the same whatever the threads.
#include <QByteArray>
#include <QString>

#include <vector>

#include "models/Automatico.h"
#include "models/Registro.h"

namespace tendora::lote {

struct Peticion {
    int Horizonte = 12;
    int Modelo = -1; // the model selector's item; -1 for the automatic choice
    Criterio Crit = Criterio::MASE;
};

// A file that cannot be read or forecast: the message names the file and,
// when it can, the line or cell.
struct ErrorSerie {
    QString Mensaje;
};

// The records of a file: a .csv, .tsv, .xlsx or .ods through the import's
// detection (its first sheet with data), anything else as a data text.
// Warnings (a date that does not follow the one before) go to avisos, one
// line each. Throws ErrorSerie.
std::vector<Registro> LeerSerie(const QString& ruta, QStringList* avisos);

// The forecast rows of a history, without the header; nombre fills the
// first column. Throws ErrorSerie.
QByteArray PreverSerie(const QString& ruta, const QString& nombre, const std::vector<Registro>& registros,
                       const Peticion& p);

// The output's header line, with its line break.
QByteArray Cabecera();
// A number as the output writes it: point as decimal mark, the shortest text
// that reads back to the same double.
void AnadirNumero(QByteArray& b, double x);

} // namespace tendora::lote
