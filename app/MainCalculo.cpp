// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation sequence, the forecast table view and the model's label.
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "models/Medidas.h"
#include "data/Numeros.h"
#include "ui/PaginaModelo.h"
#include "ui/PaginasGraficos.h"
#include "ui/Rejilla.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>
#include <string_view>

using namespace tendora;

namespace {

// Restores the cursor also when a step fails. Inside an experiment the wait
// cursor is already up: setting it again would be a round trip to the
// window system on every step.
struct CursorEspera {
    CursorEspera()
        : puesto(!QApplication::overrideCursor() || QApplication::overrideCursor()->shape() != Qt::WaitCursor)
    {
        if (puesto)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~CursorEspera()
    {
        if (puesto)
            QApplication::restoreOverrideCursor();
    }
    const bool puesto;
    CursorEspera(const CursorEspera&) = delete;
    CursorEspera& operator=(const CursorEspera&) = delete;
};

QString Utf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

// ---------------------------------------------------------------- calculation

const QString kNoApropiado = QStringLiteral("El histórico no es apropiado para el modelo de previsión seleccionado.");

void TFormMain::Caluclarprevisin1Click()
{
    const auto inicio = std::chrono::steady_clock::now();
    try {
        EjecutarCalculo(true);
    } catch (...) {
        Estado->Limpiar();
        MostrarInformacion(kNoApropiado);
        return;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
    if (Ws.DatosCargados) // else it only asked for data
        Estado->Calculado(EtiquetaModelo(), ms);
}

void TFormMain::AplicarConfiguracion(Rejilla* grid, int fila)
{
    if (grid != TablasErr.Ajuste() && grid != TablasErr.Acierto())
        return;
    const EtiquetaCelda* e = grid->Modelo()->Etiqueta(ColErrEtiqueta, fila);
    if (!e || e->codigo < 0 || e->codigo >= tendora::NumModelos)
        return;
    if (!Ws.DatosCargados) {
        Caluclarprevisin1Click(); // says what is missing
        return;
    }
    // The split follows the hold-out also when it held that value already.
    if (!SesionActual.Aplicar(TablasErrores::CorridaDe(*e))) {
        MostrarInformacion(kNoApropiado); // the history is now too short for that hold-out
        return;
    }
    AdvStringGridPrevision->viewport()->update();
    Caluclarprevisin1Click();
}

void TFormMain::EjecutarCalculo(bool Mostrar)
{
    if (!Ws.DatosCargados) {
        MostrarInformacion(QStringLiteral("Cargue los datos antes de calcular."));
        return;
    }
    CursorEspera espera;
    // The run and its rows in the error tables, through the session's log.
    SesionActual.Calcular();
    if (Mostrar) {
        MostrarTablaPrevision();
        PrepararGraficos(Ws, true)();
    }
}

// ---------------------------------------------------------------- table view

void TFormMain::MostrarTablaPrevision()
{
    const FichaModelo& f = FichaDe(SesionActual.ModeloSeleccionado());
    Rejilla* g = AdvStringGridPrevision;
    g->SetColCount(f.UltimaCol);
    for (int k = 0; k < f.NumCabeceras(); ++k)
        g->SetTexto(ColDatos + k, 0, Utf8(f.Cabeceras[size_t(k)])); // grid column = table column - 1
    if (f.Paginas != PaginasCE::SinCambio) {
        // Disabled, not hidden: the tabs to their right stay under the mouse.
        const bool ver = f.Paginas == PaginasCE::Visibles;
        for (QWidget* p : {TabSheetTablaCE, TabSheetGraficoCE}) {
            const int k = PageControl1->indexOf(p);
            PageControl1->setTabEnabled(k, ver);
            PageControl1->setTabToolTip(
                k, ver ? QString() : QStringLiteral("El modelo elegido no tiene coeficientes estacionales."));
        }
    }
    StringGridCE->SetTexto(0, 0, QStringLiteral("Mes"));
    StringGridCE->SetTexto(1, 0, QStringLiteral("C.E."));

    const int R = Ws.NumDatos + SesionActual.Horizonte();
    const int ultima = f.UltimaCol;
    g->ComenzarCarga();
    g->SetRowCount(R + 1);
    for (int i = 1; i <= R; ++i) {
        for (int c = ColT; c <= ColDatos; ++c) {
            if (Ws.Valida(i, c))
                g->SetNumero(c - 1, i, Ws.V(i, c), Formato::General);
            else
                g->Vaciar(c - 1, i);
        }
        for (int c = ColModelo; c <= ultima; ++c) {
            if (Ws.Valida(i, c))
                g->SetNumero(c - 1, i, Ws.V(i, c), Formato::Fijo2);
            else
                g->Vaciar(c - 1, i);
        }
    }
    g->TerminarCarga();
    TablaConPrevision = true;
    FilasHistoricoTabla = Ws.NumDatos;
    HorizonteTabla = SesionActual.Horizonte();
    ColumnasModeloTabla = f.UltimaCol;
    MostrarIntervalos(); // also fits the columns
    g->QuitarOrden(); // rows in time order again

    StringGridCE->ComenzarCarga();
    for (int m = 1; m <= 12; ++m) {
        StringGridCE->SetTexto(0, m, TextoEntero(m));
        StringGridCE->SetNumero(1, m, Ws.CoefEstacional[m].Coeficiente, Formato::Fijo2);
    }
    StringGridCE->TerminarCarga();
    StringGridCE->QuitarOrden();
}

void TFormMain::MostrarIntervalos()
{
    if (!TablaConPrevision)
        return;
    const int V = HorizonteTabla;
    const bool mismo = V > 0 && Ws.NumDatos == FilasHistoricoTabla;
    // An applied combination or adjusted model forecasts apart from the model page's model.
    const std::vector<double>& propia = SesionActual.PrevisionCandidato();
    const bool conPropia = mismo && propia.size() == size_t(V);
    const std::vector<Intervalo>& b = SesionActual.IntervalosPrevision();
    const bool con = mismo && SesionActual.Intervalos() && b.size() == size_t(V);
    Rejilla* g = AdvStringGridPrevision;
    // After the model's own columns (grid column = table column - 1).
    const int primera = ColumnasModeloTabla;
    const int bandas = primera + (conPropia ? 1 : 0);
    g->ComenzarCarga();
    g->SetColCount(bandas + (con ? 4 : 0));
    if (conPropia)
        g->SetTexto(primera, 0, QStringLiteral("Prev. automática"));
    if (con) {
        const QString cabeceras[4] = {QStringLiteral("Inf. 80"), QStringLiteral("Sup. 80"), QStringLiteral("Inf. 95"),
                                      QStringLiteral("Sup. 95")};
        for (int k = 0; k < 4; ++k)
            g->SetTexto(bandas + k, 0, cabeceras[k]);
    }
    if (conPropia || con) {
        // Rows are found by their time, not their place: the user may have sorted them.
        const ModeloRejilla* m = g->Modelo();
        for (int fila = 1; fila < g->RowCount(); ++fila) {
            if (m->Tipo(0, fila) != TipoCelda::Numero)
                continue;
            const double t = m->Numero(0, fila) - FilasHistoricoTabla;
            if (t < 1.0 || t > V || t != std::floor(t))
                continue;
            const size_t k = size_t(t) - 1;
            if (conPropia)
                g->SetFilaNumeros(fila, primera, &propia[k], 1, Formato::Fijo2);
            if (con) {
                const double v[4] = {b[k].Inf80, b[k].Sup80, b[k].Inf95, b[k].Sup95};
                g->SetFilaNumeros(fila, bandas, v, 4, Formato::Fijo2);
            }
        }
    }
    g->TerminarCarga();
    g->AutoajustarColumnas(true);
    Graficos->PonerIntervalos(FilasHistoricoTabla, con ? b : std::vector<Intervalo>(),
                              conPropia ? propia : std::vector<double>());
}

// ---------------------------------------------------------------- error tables

QString TFormMain::EtiquetaModelo() const
{
    const int item = SesionActual.ModeloSeleccionado();
    return TablasErrores::EtiquetaModelo(TablasErrores::CodigoModelo(item),
                                         TablasErrores::TextoParametros(item, SesionActual.ParametrosDe(item)),
                                         TablasErrores::SufijoOrigen(SesionActual.PuntosSinUsar()));
}

// ---------------------------------------------------------------- commands

void TFormMain::Borrarinformacinsobreerrores1Click()
{
    Deshacible(QStringLiteral("Borrar información sobre errores"), [this] {
        SesionActual.Corridas().Borrar();
        TablasErr.BorrarTablas();
    });
}
