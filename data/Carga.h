// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Parsing of the data text: one record per line, TAB-separated year, month, value.
#include <QString>
#include <QStringList>
#include <vector>

#include "data/Numeros.h"
#include "models/Registro.h"

namespace tendora {

// Lines of a text with CR LF, LF or CR endings; a final empty line is not a record.
QStringList LineasDeTexto(const QString& texto);
// Field n (from 1) of a line framed by one tab at each end; past the end: empty.
QString ExtraerCampo(const QString& linea, int n);
// A field of the data text that does not convert, or a year or month out of
// reach: the message and a second line with the record's line number (from 1).
class ErrorLectura : public ErrorConversion {
public:
    ErrorLectura(const ErrorConversion& error, int linea);
    // A field that converts but cannot be what it stands for (a year no date has).
    ErrorLectura(const QString& mensaje, int linea);
    int Linea() const { return m_linea; }

private:
    int m_linea;
};

// Every record of the text, one per line as LineasDeTexto splits it (without
// making that list), or ErrorLectura naming the first text that does not
// convert and its line.
std::vector<Registro> LeerRegistros(QStringView texto);
// The first record whose date does not follow the one before by one month (a
// month missing or repeated, a jump of years): its line (from 1), with what
// was expected and what was read in explicacion; 0 when every date follows.
int PrimerSalto(const std::vector<Registro>& registros, QString* explicacion);
// Where line n (from 1) starts in the text, counting line breaks as LineasDeTexto does.
int InicioDeLinea(const QString& texto, int n);
// A file's bytes as text: UTF-8 when valid, otherwise the single-byte Latin-1 code page.
QString DecodificarTexto(const QByteArray& bytes);
// Series name: the file name (without directory) less its last four characters.
QString NombreSerieDe(const QString& ruta);

} // namespace tendora
