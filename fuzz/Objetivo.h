// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: the user's number format, chosen per input,
// and a check that no number read is infinite or NaN.
#include <QByteArray>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace fuzz {

// es_ES (decimal comma) or C (decimal point), as the input's length says, so
// every input is read under one of them and both get their share.
inline void Locale(size_t tamano)
{
    static const QLocale es(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(tamano % 2 ? es : QLocale::c());
}

// A number that reached the data is finite, or the reader let one through.
inline void Finito(double x, const char* que)
{
    if (!std::isfinite(x)) {
        std::fprintf(stderr, "non-finite %s read\n", que);
        std::abort();
    }
}

inline QByteArray Bytes(const uint8_t* datos, size_t tamano)
{
    return QByteArray(reinterpret_cast<const char*>(datos), qsizetype(tamano));
}

} // namespace fuzz
