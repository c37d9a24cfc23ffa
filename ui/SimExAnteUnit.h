// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The range dialog of "Simulación ex-ante". Created once at start; it keeps
// what the user entered from one use to the next.
#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

class TFormSimExAnte : public QDialog {
    Q_OBJECT
public:
    explicit TFormSimExAnte(QWidget* parent = nullptr);

    // Upper limit of both spin edits (the command sets TotalDatos each time).
    void PonerLimite(int maximo);

    QLabel* Label1 = nullptr;
    QLabel* LabelDesde = nullptr;
    QLabel* LabelHasta = nullptr;
    QSpinBox* SEDesde = nullptr; // most values held back: the earliest origin
    QSpinBox* SEHasta = nullptr; // fewest values held back: the latest origin
    QPushButton* BBAceptar = nullptr;
    QPushButton* BBCancelar = nullptr;
};
