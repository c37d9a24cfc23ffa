// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number texts of the whole program, under the default QLocale (the user's
// regional settings; tests switch it with QLocale::setDefault).
#include <QString>
#include <stdexcept>

namespace tendora {

// Conversion failure, with the toolkit-style message "'x' is not a valid floating point value".
// The text is shown readable: control characters escaped, cut to about 40 characters.
class ErrorConversion : public std::runtime_error {
public:
    explicit ErrorConversion(const QString& texto);

protected:
    explicit ErrorConversion(const std::string& mensaje) : std::runtime_error(mensaje) { }
};

// A text as a message can show it: control characters written as \t, \n, \r
// or \xHH (a NUL would end the message), cut to about maximo characters with "…".
QString TextoLegible(const QString& texto, int maximo = 40);

// General format: shortest text, up to 15 significant digits, no trailing zeros,
// whole numbers as plain digits, no thousands separator. Every text reads
// back: where 15 digits would round past the largest double, the shortest
// text that gives x back.
QString TextoGeneral(double x);
// Fixed format with two decimals (precision 15, no thousands separator).
QString TextoFijo2(double x);
// Whole number as decimal digits.
QString TextoEntero(long long n);

// The platform's number conversion under the default locale; ok=false on failure.
double ConvertirNumero(const QString& texto, bool* ok);
// As above, raising ErrorConversion on failure.
double TextoANumero(const QString& texto);
// A value field with either decimal mark (comma or point).
double TextoAReal(const QString& texto);
// The text with the other decimal mark: its first comma made a point, or
// else its first point made a comma (TextoAReal's second try).
QString OtraMarcaDecimal(QString texto);
// A number of an imported file, written with the given decimal mark and,
// optionally, the other mark (or a space) between groups of three digits
// ("1.135,46" with ',', "1,135.46" with '.'); a € or $ sign around it is
// allowed. ok=false when it is no finite number written that way.
double ConvertirConMarca(const QString& texto, QChar decimal, bool* ok);

} // namespace tendora
