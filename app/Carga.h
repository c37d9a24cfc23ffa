#pragma once
// Parsing of the data text: one record per line, TAB-separated year, month, value.
#include <QString>
#include <QStringList>
#include <vector>

namespace tendora {

struct Registro {
    double Anio = 0.0;
    double Mes = 0.0;
    double Valor = 0.0;
};

// Lines of a text with CR LF, LF or CR endings; a final empty line is not a record.
QStringList LineasDeTexto(const QString& texto);
// Field n (from 1) of a line framed by one tab at each end; past the end: empty.
QString ExtraerCampo(const QString& linea, int n);
// Every record of the text, or ErrorConversion naming the first text that does not convert.
std::vector<Registro> LeerRegistros(const QStringList& lineas);
// A file's bytes as text: UTF-8 when valid, otherwise the single-byte Latin-1 code page.
QString DecodificarTexto(const QByteArray& bytes);
// Series name: the file name (without directory) less its last four characters.
QString NombreSerieDe(const QString& ruta);

} // namespace tendora
