// The calculation sequence, the forecast table view and the error tables.
#include "MainUnit.h"

#include "Medidas.h"
#include "Numeros.h"
#include "Rejilla.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

using namespace tendora;

namespace {

// Restores the cursor also when a step fails. Inside an experiment the wait
// cursor is already up: setting it again would be a round trip to the
// window system on every step.
struct CursorEspera {
    CursorEspera() : puesto(!QApplication::overrideCursor() || QApplication::overrideCursor()->shape() != Qt::WaitCursor)
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

struct InfoModelo {
    const char* codigo;
    int ultimaCol;
    std::initializer_list<const char*> cabeceras;
    int paginasCE; // 1 shown, 0 hidden, -1 unchanged
    bool mediaYTendencia;
};

const InfoModelo Modelos[12] = {
    {"NVS", 5, {"P"}, 0, false},
    {"NVE", 9, {"MM12", "MM12C", "E*I", "D", "P"}, 1, true},
    {"MMS", 5, {"P"}, 0, false},
    {"MMD", 6, {"MMS", "P"}, 0, false},
    {"LES", 5, {"P"}, 0, false},
    {"LED", 6, {"LES", "P"}, 0, false},
    {"DST", 9, {"MM12", "MM12C", "E*I", "T", "P"}, 1, true},
    {"THT", 11, {"MM12", "MM12C", "E*I", "D", "LR", "L", "P"}, 1, true},
    {"HLT", 7, {"N", "T", "P"}, 0, true},
    {"H-W", 11, {"MM12", "MM12C", "E*I", "D", "N", "T", "P"}, 1, true},
    // Croston and S-B have no seasonal coefficients: they hide the C.E. pages
    // like every other model without them.
    {"CRT", 8, {"q", "Z", "W", "P"}, 0, false},
    {"S-B", 8, {"q", "Z", "W", "P"}, 0, false},
};

const InfoModelo& Info(int item)
{
    return Modelos[std::clamp(item, 0, 11)];
}

} // namespace

// ---------------------------------------------------------------- calculation

void TFormMain::CalcularPrevision(bool Mostrar)
{
    try {
        EjecutarCalculo(Mostrar);
    } catch (...) {
        MostrarInformacion(QStringLiteral("El histórico no es apropiado para el modelo de previsión seleccionado."));
    }
}

void TFormMain::EjecutarCalculo(bool Mostrar)
{
    if (!Ws.DatosCargados) {
        MostrarInformacion(QStringLiteral("Cargue los datos antes de calcular."));
        return;
    }
    CursorEspera espera;
    LimpiarColumnasModelo();
    AplicarModelo();
    if (Mostrar)
        MostrarTablaPrevision();
    AnadirErroresAjuste();
    // Values held back but no forecast to set against them: nothing to measure.
    if (Ws.NumDatos < Ws.TotalDatos && ValoresPrever() > 0)
        AnadirErroresAcierto();
    if (Mostrar)
        DibujarGraficos(true);
}

void TFormMain::AplicarModelo()
{
    PrepararFilasPrevision();
    switch (ModeloSeleccionado()) {
    case ItemNVS: ModeloNVS(); break;
    case ItemNVE: ModeloNVE(); break;
    case ItemMMS: ModeloMMS(); break;
    case ItemMMD: ModeloMMD(); break;
    case ItemLES: ModeloLES(); break;
    case ItemLED: ModeloLED(); break;
    case ItemDST: ModeloDST(); break;
    case ItemTHT: ModeloTHT(); break;
    case ItemHLT: ModeloHLT(); break;
    case ItemHW: ModeloHW(); break;
    case ItemCRT: ModeloCroston(1); break;
    case ItemSB: ModeloSB(); break;
    default: break;
    }
}

double TFormMain::RecortarNegativa(double x) const
{
    return tendora::RecortarNegativa(x, CBPrevNeg->isChecked());
}

// The window's models read their spin edits at the moment they run, or the
// value a running experiment fixed for the step.
void TFormMain::ModeloNVS() { tendora::ModeloNVS(Ws, CBPrevNeg->isChecked(), ValoresPrever()); }
void TFormMain::ModeloNVE() { tendora::ModeloNVE(Ws, CBPrevNeg->isChecked(), ValoresPrever()); }
void TFormMain::ModeloMMS() { tendora::ModeloMMS(Ws, ValorN(), CBPrevNeg->isChecked(), ValoresPrever()); }
void TFormMain::ModeloMMD() { tendora::ModeloMMD(Ws, ValorN(), CBPrevNeg->isChecked(), ValoresPrever()); }
void TFormMain::ModeloLES()
{
    tendora::ModeloLES(Ws, ValorParametro(SEAlfaLE), CBPrevNeg->isChecked(), ValoresPrever());
}
void TFormMain::ModeloLED()
{
    tendora::ModeloLED(Ws, ValorParametro(SEAlfaLE), CBPrevNeg->isChecked(), ValoresPrever());
}
void TFormMain::ModeloDST() { tendora::ModeloDST(Ws, CBPrevNeg->isChecked(), ValoresPrever()); }
void TFormMain::ModeloTHT()
{
    tendora::ModeloTHT(Ws, ValorParametro(SEAlfaTHT), CBPrevNeg->isChecked(), ValoresPrever());
}
void TFormMain::ModeloHLT()
{
    tendora::ModeloHLT(Ws, ValorParametro(SEAlfaHLT), ValorParametro(SEBetaHLT), CBPrevNeg->isChecked(),
                       ValoresPrever());
}
void TFormMain::ModeloHW()
{
    tendora::ModeloHW(Ws, ValorParametro(SEAlfaHLT), ValorParametro(SEBetaHLT), ValorParametro(SEPhiHW),
                      CBPrevNeg->isChecked(), ValoresPrever());
}
void TFormMain::ModeloCroston(int variante)
{
    tendora::ModeloCroston(Ws, variante, ValorParametro(SEAlfaCroston), CBPrevNeg->isChecked(), ValoresPrever());
}
void TFormMain::ModeloSB() { ModeloCroston(2); }

// ---------------------------------------------------------------- table view

int TFormMain::UltimaColModelo() const
{
    return Info(ModeloSeleccionado()).ultimaCol;
}

bool TFormMain::MuestraMediaMovil() const
{
    return Info(ModeloSeleccionado()).mediaYTendencia;
}

bool TFormMain::MuestraTendencia() const
{
    return Info(ModeloSeleccionado()).mediaYTendencia;
}

void TFormMain::EncabezadosTabla()
{
    const InfoModelo& info = Info(ModeloSeleccionado());
    Rejilla* g = AdvStringGridPrevision;
    g->SetColCount(info.ultimaCol);
    int c = 4;
    for (const char* cab : info.cabeceras)
        g->SetTexto(c++, 0, QString::fromUtf8(cab));
    if (info.paginasCE >= 0) {
        const bool ver = info.paginasCE == 1;
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
        for (int c = 1; c <= 4; ++c) {
            if (Ws.Valida(i, c))
                g->SetNumero(c - 1, i, Ws.V(i, c), Formato::General);
            else
                g->Vaciar(c - 1, i);
        }
        for (int c = 5; c <= ultima; ++c) {
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

void TFormMain::AnadirErroresAjuste()
{
    AnadirFilaTabla(AdvSGErrAjuste);
    AdvSGErrAjuste->SetTexto(0, AdvSGErrAjuste->RowCount() - 1, EtiquetaModelo());
    CalcularErrores(1, Ws.FilaInicioPrev + 1, Ws.NumDatos);
}

void TFormMain::AnadirErroresAcierto()
{
    AnadirFilaTabla(AdvSGErrAcierto);
    AdvSGErrAcierto->SetTexto(0, AdvSGErrAcierto->RowCount() - 1, EtiquetaModelo());
    // Only rows that hold a forecast of this run are measured.
    CalcularErrores(2, Ws.NumDatos + 1, std::min(Ws.TotalDatos, Ws.NumDatos + ValoresPrever()));
}

// A measure without a value leaves its own cell empty; the run itself goes on.
void TFormMain::CalcularErrores(int tipo, int primera, int ultima)
{
    const Medidas m = CalcularMedidas(Ws, tipo, primera, ultima);
    Ws.DesvRelativa = m.DesvRelativa;
    Rejilla* g = tipo == 1 ? AdvSGErrAjuste : AdvSGErrAcierto;
    const int fila = g->RowCount() - 1;
    const auto valores = m.Columnas();
    g->SetFilaNumeros(fila, 1, valores.data(), static_cast<int>(valores.size()), Formato::Fijo2);
}

void TFormMain::AnadirFilaTabla(Rejilla* grid)
{
    if (!grid->Celda(0, grid->RowCount() - 1).isEmpty())
        grid->SetRowCount(grid->RowCount() + 1);
}

void TFormMain::BorrarTabla(Rejilla* grid)
{
    grid->Borrar();
}

void TFormMain::AutoajustarTabla(Rejilla* grid)
{
    grid->AutoajustarColumnas();
}

QString TFormMain::CodigoModelo() const
{
    return QString::fromUtf8(Info(ModeloSeleccionado()).codigo);
}

QString TFormMain::ParametrosModelo() const
{
    switch (ModeloSeleccionado()) {
    case ItemMMS:
    case ItemMMD: return TextoEntero(ValorN());
    case ItemLES:
    case ItemLED: return TextoParametro(SEAlfaLE);
    case ItemTHT: return TextoParametro(SEAlfaTHT);
    case ItemHLT: return TextoParametro(SEAlfaHLT) + QLatin1Char(';') + TextoParametro(SEBetaHLT);
    case ItemHW:
        return TextoParametro(SEAlfaHLT) + QLatin1Char(';') + TextoParametro(SEBetaHLT) +
               QLatin1Char(';') + TextoParametro(SEPhiHW);
    case ItemCRT:
    case ItemSB: return TextoParametro(SEAlfaCroston);
    default: return QString();
    }
}

QString TFormMain::SufijoOrigen() const
{
    const int h = PuntosSinUsar();
    return h > 0 ? QStringLiteral(" T-") + TextoEntero(h) : QString();
}

QString TFormMain::EtiquetaModelo() const
{
    return CodigoModelo() + QStringLiteral(" (") + ParametrosModelo() + QLatin1Char(')') + SufijoOrigen();
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
    BorrarTabla(AdvSGErrAjuste);
    BorrarTabla(AdvSGErrAcierto);
}
