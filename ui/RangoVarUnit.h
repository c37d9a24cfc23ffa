// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameter-range dialog of "Variación de parámetros". Created once at
// start; it keeps what the user entered from one use to the next.
#include <QDialog>
#include <QString>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TFormRangoVar : public QDialog {
    Q_OBJECT
public:
    explicit TFormRangoVar(QWidget* parent = nullptr);

    // Shows only the columns of the parameters of a model item (0..11) and
    // clears any earlier refusal; the command calls it before each use.
    void MostrarColumnas(int item);
    int Modelo() const { return modelo_; }

    // Which parameters the item varies.
    static bool UsaN(int item);
    static bool UsaAlfa(int item);
    static bool UsaBeta(int item);
    static bool UsaPhi(int item);

    // Empty when every range of the model can run to its end; otherwise why
    // it cannot (a step that is not positive would never get past "Hasta", an
    // N outside the values the model page's N takes).
    QString ComprobarRangos() const;

    // "Aceptar" is refused, with the reason shown in the dialog and every
    // value kept, while ComprobarRangos has something to say.
    void done(int resultado) override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LabelN = nullptr;
    QLabel* LabelAlfa = nullptr;
    QLabel* LabelBeta = nullptr;
    QLabel* LabelPhi = nullptr;
    QLabel* LabelDesde = nullptr;
    QLabel* LabelHasta = nullptr;
    QLabel* LabelIncremento = nullptr;
    QSpinBox* DesdeN = nullptr;
    QSpinBox* HastaN = nullptr;
    QSpinBox* IncN = nullptr;
    QDoubleSpinBox* DesdeAlfa = nullptr;
    QDoubleSpinBox* HastaAlfa = nullptr;
    QDoubleSpinBox* IncAlfa = nullptr;
    QDoubleSpinBox* DesdeBeta = nullptr;
    QDoubleSpinBox* HastaBeta = nullptr;
    QDoubleSpinBox* IncBeta = nullptr;
    QDoubleSpinBox* DesdePhi = nullptr;
    QDoubleSpinBox* HastaPhi = nullptr;
    QDoubleSpinBox* IncPhi = nullptr;
    QCheckBox* CBGraficos = nullptr;
    QLabel* LabelError = nullptr; // the reason "Aceptar" was refused
    QPushButton* BBAceptar = nullptr;
    QPushButton* BBCancelar = nullptr;

private:
    int modelo_ = -1;
};
