// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a file the user names (open, import, the command line, a drop).
// A name can point at anything: a pipe that never ends, a device, a folder,
// a file of gigabytes. What cannot be a data file is refused before it is
// opened, and no read costs more memory than the limits below.
#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace tendora {

// The largest file read: far beyond any monthly history (a million lines
// of year, month and value take some 15 MB), small enough that the text
// area holds it in well under a gigabyte.
constexpr qint64 kMaxBytesEntrada = 64LL * 1024 * 1024;
// The most lines the data text may have: one million months, some
// eighty thousand years. Opening one takes seconds; ten million took minutes
// and gigabytes.
constexpr qint64 kMaxLineasEntrada = 1000000;

// A file that is refused or cannot be read; the text says which, what
// happened and what to do, in Spanish.
class ErrorFicheroEntrada : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString Mensaje() const { return QString::fromUtf8(what()); }
};

// Refuses at once, without opening it, a name that is no regular file
// (a pipe, a device, a socket, a folder), does not exist, cannot be reached
// or read, and a file over kMaxBytesEntrada. Throws ErrorFicheroEntrada.
void ComprobarFicheroEntrada(const QString& ruta);

// The whole file, after ComprobarFicheroEntrada; the open itself never
// waits (a name that became a pipe in between is refused too), and a text
// with more than kMaxLineasEntrada lines is refused while it is read.
// Throws ErrorFicheroEntrada.
QByteArray LeerFicheroEntrada(const QString& ruta);

} // namespace tendora
