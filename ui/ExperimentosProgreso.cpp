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

Experimentos::Progreso::Progreso(Experimentos* dueno, const QString& titulo, long long total)
    : dueno_(dueno), titulo_(titulo), total_(total), anterior_(dueno->progresoActivo_), inicio_(Reloj::now()),
      ultima_(inicio_)
{
    dueno_->progresoActivo_ = this;
    if (!anterior_)
        dueno_->parar_ = false;
    // One wait cursor for the whole experiment, not one per step.
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Experimentos::Progreso::~Progreso()
{
    QApplication::restoreOverrideCursor();
    dueno_->progresoActivo_ = anterior_;
    if (anterior_)
        return;
    // A stop asked for on the last step stopped nothing.
    dueno_->UltimoResumen = Resumen{titulo_,
                                    hechos_,
                                    total_,
                                    dueno_->PasosFallidos,
                                    std::chrono::duration<double>(Reloj::now() - inicio_).count(),
                                    dueno_->parar_ && hechos_ < total_};
}

void Experimentos::Progreso::Paso(long long hechos)
{
    hechos_ = hechos;
    const Reloj::time_point ahora = Reloj::now();
    if (!dialogo_) {
        if (ahora - inicio_ < std::chrono::milliseconds(dueno_->EsperaProgresoMs))
            return;
        Crear();
    } else if (ahora - ultima_ < std::chrono::milliseconds(250)) {
        return;
    }
    ultima_ = ahora;
    Mostrar(hechos);
}

void Experimentos::Progreso::Crear()
{
    dialogo_ = std::make_unique<DialogoProgreso>(dueno_->v_.Ventana(), &dueno_->parar_);
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

void Experimentos::Progreso::MostrarDialogo(long long hechos)
{
    dueno_->SincronizarParametros(); // the window is about to be painted
    dialogo_->setLabelText(QStringLiteral("Paso ") + TextoEntero(hechos) + QStringLiteral(" de ") +
                           TextoEntero(total_));
    const int milesimas =
        total_ > 0 ? static_cast<int>((1000.0 * static_cast<double>(hechos)) / static_cast<double>(total_)) : 0;
    dialogo_->setValue(std::min(milesimas, 1000));
    // A modal progress dialog lets pending events through as its value
    // changes; this also covers the first showing.
    QCoreApplication::processEvents();
}

} // namespace tendora
