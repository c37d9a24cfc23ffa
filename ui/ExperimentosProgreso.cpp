// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ExperimentosProgreso.h"

#include "data/Numeros.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>

namespace tendora {

// Cancelar and Escape ask the loop to stop after its current step; the
// window's close button is ignored, as the loop cannot be left mid-step.
class DialogoProgreso : public QProgressDialog {
public:
    DialogoProgreso(QWidget* padre, bool* parar) : QProgressDialog(padre), parar_(parar)
    {
        // The dialog's own button, renamed: a button of ours would add a
        // second Escape shortcut, and two cancel each other out.
        setCancelButtonText(QStringLiteral("Cancelar"));
        if (auto* cancelar = findChild<QPushButton*>())
            cancelar->setObjectName("BBCancelar");
        // The indicator stays up until the loop has stopped.
        disconnect(this, &QProgressDialog::canceled, this, &QProgressDialog::cancel);
        connect(this, &QProgressDialog::canceled, this, [this] { *parar_ = true; });
    }
    void reject() override { *parar_ = true; }

protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }

private:
    bool* parar_;
};

Experimentos::Progreso::Progreso(Experimentos& dueno, QWidget* ventana) : dueno_(dueno), ventana_(ventana)
{
}

Experimentos::Progreso::~Progreso() = default;

void Experimentos::Progreso::Comenzar(std::string_view titulo, long long total)
{
    titulo_ = QString::fromUtf8(titulo.data(), static_cast<qsizetype>(titulo.size()));
    total_ = total;
    parar_ = false;
    estimando_ = false;
    inicio_ = ultima_ = Ahora();
    // Room for every row the loop logs, and the views told of them in blocks.
    const Sesion& s = dueno_.sesion_;
    const bool acierto = s.Datos().NumDatos < s.Datos().TotalDatos && s.Horizonte() > 0;
    bloque_.emplace(dueno_.tablas_, total, acierto ? total : 0);
    // One wait cursor for the whole experiment, not one per step.
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void Experimentos::Progreso::Terminar()
{
    dialogo_.reset();
    bloque_.reset();
    QApplication::restoreOverrideCursor();
}

Experimentos::Progreso::Reloj::time_point Experimentos::Progreso::Ahora() const
{
    return dueno_.RelojProgreso ? dueno_.RelojProgreso() : Reloj::now();
}

void Experimentos::Progreso::Avanzar(long long hechos)
{
    const Reloj::time_point ahora = Ahora();
    if (!dialogo_) {
        if (ahora - inicio_ < std::chrono::milliseconds(dueno_.EsperaProgresoMs))
            return;
        Crear();
    } else if (ahora - ultima_ < std::chrono::milliseconds(250)) {
        return;
    }
    ultima_ = ahora;
    Mostrar(hechos, ahora);
}

void Experimentos::Progreso::Crear()
{
    dialogo_ = std::make_unique<DialogoProgreso>(ventana_, &parar_);
    dialogo_->setObjectName("FormProgreso");
    dialogo_->setWindowTitle(titulo_);
    dialogo_->setWindowModality(Qt::ApplicationModal);
    dialogo_->setAutoClose(false);
    dialogo_->setAutoReset(false);
    dialogo_->setMinimumDuration(0);
    dialogo_->setRange(0, 1000); // counts beyond int are scaled
    dialogo_->setMinimumWidth(320);
    dialogo_->show();
}

// The window is about to be painted: the workspace as the last run left
// it, the tables' new rows and the model page's edits first.
void Experimentos::Progreso::Mostrar(long long hechos, Reloj::time_point ahora)
{
    dueno_.motor_.PonerAlDia();
    if (bloque_)
        bloque_->Anunciar();
    dueno_.sesion_.Avisar();
    QString texto = QStringLiteral("Paso ") + TextoEntero(hechos) + QStringLiteral(" de ") + TextoEntero(total_);
    // The steps so far, at their mean pace, tell how long the whole loop takes.
    if (hechos > 0 && total_ > 0) {
        const double pasado = std::chrono::duration<double>(ahora - inicio_).count();
        const double estimado = pasado / static_cast<double>(hechos) * static_cast<double>(total_);
        estimando_ = estimando_ || estimado > SegundosParaEstimar;
        if (estimando_)
            texto += QLatin1Char('\n') + TextoEstimacion(estimado, std::max(estimado - pasado, 0.0));
    }
    dialogo_->setLabelText(texto);
    const int milesimas =
        total_ > 0 ? static_cast<int>((1000.0 * static_cast<double>(hechos)) / static_cast<double>(total_)) : 0;
    dialogo_->setValue(std::min(milesimas, 1000));
    // A modal progress dialog lets pending events through as its value
    // changes; this also covers the first showing.
    QCoreApplication::processEvents();
}

} // namespace tendora
