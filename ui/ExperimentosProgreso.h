// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window of an experiment, for the files of Experimentos only.
#include "ui/Experimentos.h"
#include "ui/TablasErrores.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace tendora {

class DialogoProgreso;

// Shown only once an experiment has run for a while, and refreshed a few
// times a second at most: each refresh brings the workspace, the tables and
// the model page up to date and lets the window paint. The error tables
// take the loop's rows in one block.
class Experimentos::Progreso : public InformeProgreso {
public:
    using Reloj = std::chrono::steady_clock;

    Progreso(Experimentos& dueno, QWidget* ventana);
    ~Progreso();
    Progreso(const Progreso&) = delete;
    Progreso& operator=(const Progreso&) = delete;

    void Comenzar(std::string_view titulo, long long total) override;
    void Avanzar(long long hechos) override;
    bool Cancelado() const override { return parar_; }
    // The window tells the count of failed steps at the end, not each one.
    void Mensaje(std::string_view) override { }
    void Terminar() override;

private:
    void Crear();
    void Mostrar(long long hechos, Reloj::time_point ahora);
    Reloj::time_point Ahora() const;

    Experimentos& dueno_;
    QWidget* ventana_;
    QString titulo_;
    long long total_ = 0;
    Reloj::time_point inicio_;
    Reloj::time_point ultima_;
    std::unique_ptr<DialogoProgreso> dialogo_;
    std::optional<TablasErrores::Bloque> bloque_;
    // Set from the progress indicator (Cancelar, Escape) while it lets events through.
    bool parar_ = false;
    // The estimate, once it passed the threshold, stays until the end.
    bool estimando_ = false;
};

} // namespace tendora
