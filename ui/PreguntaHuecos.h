// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The question of how to fill the months missing from a series, asked by
// loading and by the import before anything changes.
#include <QString>
#include <optional>

#include "data/Huecos.h"

class QWidget;

namespace tendora {

// texto says what is missing and where; the answer is the filling chosen, or
// none when the user cancels (then nothing is to change).
std::optional<Relleno> PreguntarRelleno(QWidget* owner, const QString& texto);

} // namespace tendora
