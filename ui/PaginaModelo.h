// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The model page: the model selector, the parameter edits of each model, the
// horizon, the hold-out, the negative-forecast and the prediction-interval
// boxes, mirroring the session.
// It shows the edits the selected model reads; the window connects its
// commands to the page's signals.
#include <QObject>

#include "models/Catalogo.h"
#include "models/Modelos.h"
#include "models/Sesion.h"

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
    // The controls go into pagina and mirror sesion: editing one sets the
    // session, and every change of the session (an experiment, an applied
    // run, a new history) shows in them.
    PaginaModelo(QWidget* pagina, Sesion& sesion, QObject* parent);

    // A whole-number edit's reading: text that is no number reads as the
    // edit's minimum; a smoothing edit's likewise (0).
    static int LeerEntero(const QSpinBox* s);
    static double ValorEdit(const QDoubleSpinBox* s);

    // Shows the edits the selected model reads, hides the others.
    void MostrarControlesDelModelo();

signals:
    void modeloElegido(); // the session's model changed
    void valoresPreverCambiados();
    void puntosSinUsarCambiados();
    void intervalosCambiados(); // the session's prediction-interval switch

private:
    // The session's state into the controls (what changed, Sesion::Cambio flags).
    void Reflejar(unsigned cambios);
    void MostrarPar(QLabel* l, QWidget* w, bool visible);
    QDoubleSpinBox* Constante(ValorModelo v) const;

    Sesion& sesion_;
    // Set while the controls take the session's values: their signals are ours.
    bool reflejando_ = false;
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
    QCheckBox* CBIntervalos = nullptr;
};

} // namespace tendora
