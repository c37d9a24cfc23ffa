// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Widths of cell texts, for fitting a column to what it shows. Shaping a text
// costs microseconds and a long column has thousands of distinct numbers, but
// in the usual grid fonts every digit has the same advance and none is kerned
// against its neighbours: there a number is exactly as wide as the same text
// with every digit a zero, and one shaping serves every number of a pattern.
// The font is checked first; when it does not qualify each text is shaped.
#include <QFontMetrics>
#include <QHash>
#include <QString>

#include <functional>

namespace tendora {

// Whether, for the widths medir gives (fractional, of the shaped text), every
// digit has the advance of '0' and every pair of digits, or of a digit and one
// of the other characters numbers are written with, is as wide as with '0'.
bool DigitosUniformes(const std::function<qreal(const QString&)>& medir);

class MedidorAnchos {
public:
    explicit MedidorAnchos(const QFont& fuente);
    // QFontMetrics::horizontalAdvance of the text, measured once per text or pattern.
    int Ancho(const QString& texto);

private:
    QFontMetrics fm_;
    bool uniformes_;
    QHash<QString, int> medidos_;
};

} // namespace tendora
