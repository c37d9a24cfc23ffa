// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own small message dialog: a warning or an information message.
#include <QDialog>

class QLabel;
class QPushButton;

class TFormDialogo : public QDialog {
    Q_OBJECT
public:
    enum Tipo { Aviso, Informacion };
    explicit TFormDialogo(QWidget* owner);

    void Preparar(Tipo tipo, const QString& texto);

    QLabel* Atencion = nullptr;
    QLabel* ImagenInformacion = nullptr; // objectName "Informacion"
    QLabel* Mensaje = nullptr;
    QPushButton* BBAceptar = nullptr;
};

// Builds a fresh dialog owned by owner, shows it modally and destroys it.
void MostrarDialogo(QWidget* owner, TFormDialogo::Tipo tipo, const QString& texto);
