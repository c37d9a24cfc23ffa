// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation sequence, the forecast table view and the error tables' forwarders.
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "models/Medidas.h"
#include "data/Numeros.h"
#include "ui/PaginaModelo.h"
#include "ui/Rejilla.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <chrono>
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

void TFormMain::CalcularPrevision(bool Mostrar)
{
    const auto inicio = std::chrono::steady_clock::now();
    try {
        EjecutarCalculo(Mostrar);
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
        CalcularPrevision(true); // says what is missing
        return;
    }
    // The split follows the hold-out also when it held that value already.
    if (!SesionActual.Aplicar(TablasErrores::CorridaDe(*e))) {
        MostrarInformacion(kNoApropiado); // the history is now too short for that hold-out
        return;
    }
    SEPuntosSinUsarChange();
    CalcularPrevision(true);
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
        DibujarGraficos(true);
    }
}

void TFormMain::AplicarModelo()
{
    PrepararFilasPrevision();
    EjecutarModeloItem(ModeloSeleccionado());
}

double TFormMain::RecortarNegativa(double x) const
{
    return tendora::RecortarNegativa(x, SesionActual.PrevisionesNegativas());
}

// The page reads the run's parameters; a running experiment supplies the
// constants it has fixed for the step (ValorParametro), the page the rest.
Parametros TFormMain::LeerParametros(int item) const
{
    return SesionActual.ParametrosDe(item);
}

// The one dispatcher of the core, as the tests run it.
void TFormMain::EjecutarModeloItem(int item)
{
    tendora::EjecutarModelo(Ws, item, LeerParametros(item));
}

void TFormMain::ModeloNVS()
{
    EjecutarModeloItem(ItemNVS);
}
void TFormMain::ModeloNVE()
{
    EjecutarModeloItem(ItemNVE);
}
void TFormMain::ModeloMMS()
{
    EjecutarModeloItem(ItemMMS);
}
void TFormMain::ModeloMMD()
{
    EjecutarModeloItem(ItemMMD);
}
void TFormMain::ModeloLES()
{
    EjecutarModeloItem(ItemLES);
}
void TFormMain::ModeloLED()
{
    EjecutarModeloItem(ItemLED);
}
void TFormMain::ModeloDST()
{
    EjecutarModeloItem(ItemDST);
}
void TFormMain::ModeloTHT()
{
    EjecutarModeloItem(ItemTHT);
}
void TFormMain::ModeloHLT()
{
    EjecutarModeloItem(ItemHLT);
}
void TFormMain::ModeloHW()
{
    EjecutarModeloItem(ItemHW);
}
// Variant 1 is Croston's; any other applies the Syntetos-Boylan correction.
void TFormMain::ModeloCroston(int variante)
{
    EjecutarModeloItem(variante == 1 ? ItemCRT : ItemSB);
}
void TFormMain::ModeloSB()
{
    EjecutarModeloItem(ItemSB);
}

// ---------------------------------------------------------------- table view

int TFormMain::UltimaColModelo() const
{
    return FichaDe(ModeloSeleccionado()).UltimaCol;
}

bool TFormMain::MuestraMediaMovil() const
{
    return FichaDe(ModeloSeleccionado()).MediaMovil.Muestra();
}

bool TFormMain::MuestraTendencia() const
{
    return FichaDe(ModeloSeleccionado()).Tendencia.Muestra();
}

void TFormMain::EncabezadosTabla()
{
    const FichaModelo& f = FichaDe(ModeloSeleccionado());
    Rejilla* g = AdvStringGridPrevision;
    g->SetColCount(f.UltimaCol);
    for (int k = 0; k < f.NumCabeceras(); ++k)
        g->SetTexto(ColDatos + k, 0, Utf8(f.Cabeceras[size_t(k)])); // grid column = table column - 1
    if (f.Paginas != PaginasCE::SinCambio) {
        const bool ver = f.Paginas == PaginasCE::Visibles;
        PageControl1->setTabVisible(PageControl1->indexOf(TabSheetTablaCE), ver);
        PageControl1->setTabVisible(PageControl1->indexOf(TabSheetGraficoCE), ver);
    }
    StringGridCE->SetTexto(0, 0, QStringLiteral("Mes"));
    StringGridCE->SetTexto(1, 0, QStringLiteral("C.E."));
}

void TFormMain::MostrarTablaPrevision()
{
    EncabezadosTabla();
    Rejilla* g = AdvStringGridPrevision;
    const int R = Ws.NumDatos + ValoresPrever();
    const int ultima = UltimaColModelo();
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
    g->QuitarOrden(); // rows in time order again
    g->AutoajustarColumnas(true);

    StringGridCE->ComenzarCarga();
    for (int m = 1; m <= 12; ++m) {
        StringGridCE->SetTexto(0, m, TextoEntero(m));
        StringGridCE->SetNumero(1, m, Ws.CoefEstacional[m].Coeficiente, Formato::Fijo2);
    }
    StringGridCE->TerminarCarga();
    StringGridCE->QuitarOrden();
}

QColor TFormMain::AdvStringGridPrevisionGetCellColor(int fila, int col) const
{
    if (fila < 1 || (col != 3 && col != Ws.ColPrev - 1))
        return QColor();
    // By the row's own time, not its place: the user may have sorted or moved it.
    const ModeloRejilla* m = AdvStringGridPrevision->Modelo();
    if (m->Tipo(0, fila) != TipoCelda::Numero)
        return QColor();
    const double t = m->Numero(0, fila);
    if (col == 3)
        return t <= Ws.NumDatos ? QColor(Qt::blue) : QColor(192, 192, 192);
    if (t > Ws.NumDatos)
        return QColor(Qt::red);
    return QColor();
}

// ---------------------------------------------------------------- error tables

void TFormMain::AnadirFilaTabla(Rejilla* grid)
{
    TablasErrores::AnadirFilaTabla(grid);
}
void TFormMain::BorrarTabla(Rejilla* grid)
{
    TablasErrores::BorrarTabla(grid);
}
void TFormMain::AutoajustarTabla(Rejilla* grid)
{
    TablasErr.AutoajustarTabla(grid);
}
QColor TFormMain::ColorMinMax(int col, bool maximo)
{
    return TablasErrores::ColorMinMax(col, maximo);
}
QString TFormMain::CodigoModelo() const
{
    return TablasErrores::CodigoModelo(ModeloSeleccionado());
}
// The texts of the step's parameters belong with its value, in the experiments.
QString TFormMain::ParametrosModelo() const
{
    return TablasErrores::TextoParametros(ModeloSeleccionado(), LeerParametros(ModeloSeleccionado()));
}
QString TFormMain::SufijoOrigen() const
{
    return TablasErrores::SufijoOrigen(PuntosSinUsar());
}

QString TFormMain::EtiquetaModelo() const
{
    return TablasErrores::EtiquetaModelo(CodigoModelo(), ParametrosModelo(), SufijoOrigen());
}

// ---------------------------------------------------------------- commands

void TFormMain::Caluclarprevisin1Click()
{
    CalcularPrevision(true);
}

void TFormMain::TBCalcularClick()
{
    CalcularPrevision(true);
}

void TFormMain::Borrarinformacinsobreerrores1Click()
{
    SesionActual.Corridas().Borrar();
    TablasErr.BorrarTablas();
}
