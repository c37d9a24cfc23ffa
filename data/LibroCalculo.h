// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the sheets of an .xlsx or .ods workbook: the zip container through
// minizip, the XML inside through QXmlStreamReader.
#include <QList>
#include <QString>

#include "data/Importacion.h"

namespace tendora {

// Every sheet of the workbook at ruta, in its order, each as a table of
// cells (numbers as numbers, date cells as spreadsheet serials). Which
// format it is comes from the content, not the name. A file that is no
// readable workbook raises ErrorImportacion saying why.
QList<Tabla> LeerLibro(const QString& ruta);

// The tables of any file the import accepts: the sheets of a workbook
// (.xlsx, .ods), or the one table of a delimited text.
QList<Tabla> LeerParaImportar(const QString& ruta);

} // namespace tendora
