// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start year/month dialog of "Añadir columnas de Año y Mes": created,
// shown and destroyed for each use, so it always opens on 2000 and 1.
#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

class TFormSelecAM : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelecAM(QWidget* owner);

    QLabel* LabelAnio = nullptr;
    QSpinBox* SEA = nullptr;
    QLabel* LabelMes = nullptr;
    QSpinBox* SEM = nullptr;
    QPushButton* BBAceptar = nullptr;
    QPushButton* BBCancelar = nullptr;
};
