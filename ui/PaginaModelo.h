// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The model page: the model selector, the parameter edits of each model, the
// horizon, the hold-out and the negative-forecast box. It shows the edits the
// selected model reads and reads them into one parameters value; the window
// connects its commands to the page's signals.
#include <QObject>

#include "models/Catalogo.h"
#include "models/Modelos.h"

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QWidget;

namespace tendora {

class PaginaModelo : public QObject {
    Q_OBJECT
public:
    // The controls go into pagina.
    PaginaModelo(QWidget* pagina, QObject* parent);

    int ModeloSeleccionado() const;
    void SeleccionarModelo(int item);
    // Values to forecast, 0..999; the hold-out; N of the moving averages as
    // the user left it. Text that is no number reads as the edit's minimum (N: 0).
    int ValoresPrever() const;
    int PuntosSinUsar() const;
    int ValorN() const;
    // A smoothing edit's value; an emptied box reads as its minimum, 0.
    static double ValorEdit(const QDoubleSpinBox* s);

    // The parameters model item reads, as the page holds them.
    Parametros Leer(int item) const { return Leer(item, &PaginaModelo::ValorEdit); }
    // The same with each smoothing edit's value taken from valor (a running
    // experiment fixes its values without setting the edits).
    template <class Valor>
    Parametros Leer(int item, Valor&& valor) const;

    void MostrarControlesN(bool visible);
    void MostrarControlesAlfaLE(bool visible);
    void MostrarControlesAlfaTHT(bool visible);
    void MostrarControlesAlfaCroston(bool visible);
    void MostrarControlesHolt(bool visible);
    void MostrarControlesHoltWinters(bool visible);
    // Shows the edits the selected model reads, hides the others.
    void MostrarControlesDelModelo();

    int NumModelos() const;
    bool PrevisionesNegativas() const; // CBPrevNeg
    // The hold-out's range becomes 0..maximo without a change signal of the edit.
    void LimitarPuntosSinUsar(int maximo);

    // Selects item and sets the edits to a run's values: those the model
    // reads, the horizon, the hold-out and the negative-forecast box. False,
    // changing nothing, when the hold-out is beyond the edit's range now, or
    // a value the model reads is outside what its edit takes (an N of 0
    // logged before N had a range).
    bool Aplicar(int item, const Parametros& p, int puntosSinUsar);

    // The edits an experiment sets and reads on every step.
    struct Edits {
        QSpinBox* N;
        QDoubleSpinBox* AlfaLE;
        QDoubleSpinBox* AlfaTHT;
        QDoubleSpinBox* AlfaHLT;
        QDoubleSpinBox* BetaHLT;
        QDoubleSpinBox* PhiHW;
        QDoubleSpinBox* AlfaCroston;
        QSpinBox* PuntosSinUsar;
        QCheckBox* PrevNeg;
        // The edit of a smoothing constant (N has the whole-number edit N).
        QDoubleSpinBox* Constante(ValorModelo v) const;
    };
    Edits EditsExperimento() const;

signals:
    void modeloElegido(); // a model button became checked
    void valoresPreverCambiados();
    // Also for a text that is no number: the split must follow what the edit now reads.
    void puntosSinUsarCambiados();

private:
    QGroupBox* RGModelo = nullptr;
    QButtonGroup* RGModeloBotones = nullptr;
    QLabel* LabelN = nullptr;
    QSpinBox* SEN = nullptr;
    QLabel* LabelAlfa = nullptr;
    QDoubleSpinBox* SEAlfaLE = nullptr;
    QLabel* LabelAlfaTHT = nullptr;
    QDoubleSpinBox* SEAlfaTHT = nullptr;
    QLabel* LabelAlfaHLT = nullptr;
    QDoubleSpinBox* SEAlfaHLT = nullptr;
    QLabel* LabelBetaHLT = nullptr;
    QDoubleSpinBox* SEBetaHLT = nullptr;
    QLabel* LabelPhiHW = nullptr;
    QDoubleSpinBox* SEPhiHW = nullptr;
    QLabel* LabelAlfaCroston = nullptr;
    QDoubleSpinBox* SEAlfaCroston = nullptr;
    QLabel* Label3 = nullptr;
    QSpinBox* SEValoresPrever = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* SEPuntosSinUsar = nullptr;
    QCheckBox* CBPrevNeg = nullptr;

    // What Leer reads besides the smoothing edits: N, the box and the horizon.
    Parametros LeerResto(int item) const;
};

// Only what the model reads is read: the others keep their defaults, which
// the model never looks at.
template <class Valor>
Parametros PaginaModelo::Leer(int item, Valor&& valor) const
{
    const FichaModelo& f = FichaDe(item);
    Parametros p = LeerResto(item);
    if (f.Usa(ParamAlfaLE))
        p.AlfaLE = valor(SEAlfaLE);
    if (f.Usa(ParamAlfaTHT))
        p.AlfaTHT = valor(SEAlfaTHT);
    if (f.Usa(ParamHolt)) {
        p.AlfaHLT = valor(SEAlfaHLT);
        p.BetaHLT = valor(SEBetaHLT);
    }
    if (f.Usa(ParamPhiHW))
        p.PhiHW = valor(SEPhiHW);
    if (f.Usa(ParamAlfaCroston))
        p.AlfaCroston = valor(SEAlfaCroston);
    return p;
}

} // namespace tendora
