// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic forecast: every model fitted and ranked by the session under
// the experiments' progress window, the winner (or a candidate picked on the
// ranking page) shown as a calculation is, and the ranking page.
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "ui/PaginaSeleccion.h"

#include <QTabWidget>
#include <string_view>

using namespace tendora;

void TFormMain::Previsionautomatica1Click()
{
    Proteger([this] {
        if (!Ws.DatosCargados) {
            MostrarInformacion(QStringLiteral("Cargue los datos antes de calcular."));
            return;
        }
        const ResultadoAutomatico& r = Experimentacion.PrevisionAutomatica(Seleccion->CriterioElegido());
        if (r.Cancelado) {
            // The session applied nothing; the page keeps the ranking it had.
            Estado->AutomaticaInterrumpida();
            return;
        }
        Seleccion->Mostrar(r);
        if (r.Ganador < 0) {
            Estado->Limpiar();
            PageControl1->setCurrentWidget(TabSheetSeleccion);
            MostrarInformacion(QStringLiteral("Ningún modelo se ha podido evaluar con este histórico: la columna "
                                              "«Motivo» de «Selección automática» dice por qué."));
            return;
        }
        MostrarCandidato(r.Ganador, true);
    });
}

void TFormMain::AplicarCandidato(int fila)
{
    Proteger([this, fila] {
        const ResultadoAutomatico& r = SesionActual.UltimaSeleccion();
        const int k = Seleccion->Candidato(r, fila);
        if (k < 0) {
            // An empty row, or a ranking the session no longer holds (a run cancelled since).
            if (!Seleccion->Grid()->Celda(PaginaSeleccion::ColModelo, fila).isEmpty())
                MostrarInformacion(QStringLiteral("Esta clasificación ya no está disponible: vuelva a calcular la "
                                                  "previsión automática."));
            return;
        }
        if (!r.Ranking[size_t(k)].Valido) {
            MostrarInformacion(QString::fromStdString(r.Ranking[size_t(k)].Motivo));
            return;
        }
        if (!SesionActual.AplicarCandidato(k))
            return;
        MostrarCandidato(k, k == r.Ganador);
    });
}

void TFormMain::MostrarCandidato(int k, bool ganador)
{
    const ResultadoAutomatico& r = SesionActual.UltimaSeleccion();
    // The session has calculated and logged the run: shown as Calcular shows one.
    AdvStringGridPrevision->viewport()->update();
    MostrarTablaPrevision();
    PrepararGraficos(Ws, true)();
    TablasErr.AutoajustarTablas();
    const std::string_view criterio = NombreCriterio(r.Crit);
    // A combination or an adjusted model is more than the model page's model: named as the ranking names it.
    Estado->Automatica(ganador, PaginaSeleccion::EtiquetaCandidato(r.Ranking[size_t(k)]),
                       QString::fromUtf8(criterio.data(), static_cast<qsizetype>(criterio.size())),
                       PaginaSeleccion::TextoMedida(r.Ranking[size_t(k)].Valor));
    PageControl1->setCurrentWidget(TabSheetSeleccion);
}
