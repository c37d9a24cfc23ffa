// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page of the automatic forecast: the criterion it ranks by, how the
// ranking was evaluated, and one row per candidate, best first. A double
// click on a row asks for that candidate.
#include <QObject>
#include <QString>

#include "models/Automatico.h"
#include "models/Sesion.h"

class QComboBox;
class QLabel;
class QWidget;

namespace tendora {

class Rejilla;

class PaginaSeleccion : public QObject {
    Q_OBJECT
public:
    // Grid columns.
    enum Columna {
        ColModelo,
        ColCriterio,
        ColMASE,
        ColRMSSE,
        ColSMAPE,
        ColME,
        ColSinError,
        ColCobertura80,
        ColCobertura95,
        ColMotivo
    };
    static constexpr int NumColumnas = ColMotivo + 1;

    // The controls go into pagina; the criterion box sets the session's.
    PaginaSeleccion(QWidget* pagina, Sesion& sesion, QObject* parent);

    // The criterion the session will rank by.
    Criterio CriterioElegido() const { return sesion_.CriterioAutomatico(); }
    // The ranking in the grid, with its plan and criterion.
    void Mostrar(const ResultadoAutomatico& r);
    // No ranking (a new history: the last one was of another).
    void Vaciar();
    // Index in r.Ranking of the candidate grid row fila shows (the grid may
    // have been sorted), or -1: an empty row, or a candidate r does not hold.
    int Candidato(const ResultadoAutomatico& r, int fila) const;

    // "Evaluada en N orígenes móviles, P meses por origen", after the refit on the whole history.
    static QString TextoPlan(const PlanOrigenes& p);
    // "Demanda intermitente (ADI 3,25; CV² 0,41)." under the user's decimal mark.
    static QString TextoDemanda(const Demanda& d);
    // "Demanda máxima 95 % en el horizonte: 7."; empty when not finite.
    static QString TextoDemandaMaxima(double v);
    // A measure as the page writes it: three decimals, or three significant
    // digits below 0.1; under the user's decimal mark.
    static QString TextoMedida(double v);
    // A candidate's label: its model as the error tables write it (user's
    // decimal mark), " desest." when run on the seasonally adjusted history,
    // "TSB (α;β)", or "Media (" and its models joined by " + " for a combination.
    static QString EtiquetaCandidato(const tendora::Candidato& c);

    Rejilla* Grid() const { return SGSeleccion; }

signals:
    // Grid row fila was double-clicked.
    void filaElegida(int fila);

private:
    Sesion& sesion_;
    QComboBox* CBCriterio = nullptr;
    QLabel* LabelPlan = nullptr;
    Rejilla* SGSeleccion = nullptr;
};

} // namespace tendora
