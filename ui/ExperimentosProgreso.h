// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window of an experiment, for the files of Experimentos only.
#include "ui/Experimentos.h"

#include <QString>

#include <chrono>
#include <memory>

namespace tendora {

class DialogoProgreso;

// Shown only once an experiment has run for a while, and refreshed a few
// times a second at most: each refresh lets the window paint. Nested
// experiments (a loop inside "Aplicar todos") share the outermost one's.
struct Experimentos::Progreso {
    using Reloj = std::chrono::steady_clock;

    Progreso(Experimentos* dueno, const QString& titulo, long long total);
    ~Progreso();
    Progreso(const Progreso&) = delete;
    Progreso& operator=(const Progreso&) = delete;

    void Paso(long long hechos);

private:
    void Crear();
    // Brings the workspace and the tables up to date, then MostrarDialogo.
    void Mostrar(long long hechos);
    void MostrarDialogo(long long hechos);

    Experimentos* dueno_;
    QString titulo_;
    long long total_;
    long long hechos_ = 0;
    Progreso* anterior_;
    Reloj::time_point inicio_;
    Reloj::time_point ultima_;
    std::unique_ptr<DialogoProgreso> dialogo_;
};

} // namespace tendora
