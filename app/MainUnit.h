// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: owner of the forecasting workspace and of every command.
// Implemented across several files, one per concern (MainUnit.cpp: window,
// loading and the forwarders to the model and chart pages; MainCalculo.cpp:
// the calculation and the tables; MainExperimentos.cpp: experiments;
// MainArchivo.cpp: saving, export, pop-up menus and help). The pages live in
// ui/ (tendora::PaginaModelo, tendora::PaginasGraficos, tendora::MenusEmergentes),
// the error tables and the experiments in accuracy/ (TablasErrores,
// Experimentos); the window keeps their names as forwarders. Every control is
// private, to the window or to the page that owns it: automation finds it by
// its objectName.
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "models/Catalogo.h"
#include "models/Espacio.h"
#include "ui/Experimentos.h"
#include "models/Modelos.h"
#include "models/Sesion.h"
#include "ui/TablasErrores.h"

class QAction;
class QDoubleSpinBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWidget;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QFileDialog;
namespace tendora {
struct Registro;
class BarraEstado;
class TAboutBox;
class Rejilla;
class Grafico;
class PaginasGraficos;
class PaginaModelo;
class MenusEmergentes;
} // namespace tendora
class TFormSimExAnte;
class TFormRangoVar;

class TFormMain : public QMainWindow, private tendora::VentanaExperimentos {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // ---- The session: the workspace, the settings and the run log ----
    tendora::Sesion SesionActual;
    tendora::Espacio& Ws = SesionActual.Ws;
    QString FicheroDatos;
    QString NombreSerie;
    QString DirPrograma;
    // Point-drag state of the forecast chart.
    int PuntoArrastrado = -1;
    double ArrastreX = -1.0;
    double ArrastreY = -1.0;

    // Long-lived dialogs, created at start after the main window.
    tendora::TAboutBox* AboutBox = nullptr;
    TFormSimExAnte* FormSimExAnte = nullptr;
    TFormRangoVar* FormRangoVar = nullptr;

    int ValoresPrever() const;
    int PuntosSinUsar() const;
    // N of the moving averages: SEN as the user left it; text that is no number reads as 0.
    int ValorN() const;
    void DimensionarTabla();
    void LimpiarColumnasDatos();
    void LimpiarColumnasModelo();
    void PrepararFilasPrevision();

    // ---- Loading ----
    // avisarSaltos: tell where the months stop following (not after a point
    // drag, which reloads the same dates and would tell it on every drag).
    void CargarDatos(bool avisarSaltos = true);
    void MostrarHistorico();
    void AbrirFichero(const QString& ruta); // the part of Abrir1Click after the dialog
    void ImportarFichero(const QString& ruta); // the part of Importar1Click after the file dialog (MainImportar.cpp)

    // ---- Messages ----
    void MostrarAviso(const QString& texto);
    void MostrarInformacion(const QString& texto);

    // ---- Model page ----
    int ModeloSeleccionado() const;
    void SeleccionarModelo(int item); // selects an item; RGModeloClick follows

    // ---- Calculation (MainCalculo.cpp) ----
    void CalcularPrevision(bool Mostrar);
    // The run an error-table row logged (grid row fila) set on the model page
    // and calculated again; a row without a label does nothing.
    void AplicarConfiguracion(tendora::Rejilla* grid, int fila);
    void EjecutarCalculo(bool Mostrar);
    void AplicarModelo();
    // The parameters the model of an item reads, as the page holds them now
    // (or as a running experiment fixed them: Experimentacion owns the
    // step's value), and the run of that model.
    tendora::Parametros LeerParametros(int item) const;
    void EjecutarModeloItem(int item);
    double RecortarNegativa(double x) const;
    void ModeloNVS();
    void ModeloNVE();
    void ModeloMMS();
    void ModeloMMD();
    void ModeloLES();
    void ModeloLED();
    void ModeloDST();
    void ModeloTHT();
    void ModeloHLT();
    void ModeloHW();
    void ModeloCroston(int variante);
    void ModeloSB();

    // ---- Forecast table view ----
    int UltimaColModelo() const;
    bool MuestraMediaMovil() const;
    bool MuestraTendencia() const;
    void EncabezadosTabla();
    void MostrarTablaPrevision();
    QColor AdvStringGridPrevisionGetCellColor(int fila, int col) const;

    // ---- Error tables (TablasErr; these forward to it) ----
    void AnadirFilaTabla(tendora::Rejilla* grid);
    void BorrarTabla(tendora::Rejilla* grid);
    void AutoajustarTabla(tendora::Rejilla* grid);
    QString CodigoModelo() const;
    QString ParametrosModelo() const;
    QString SufijoOrigen() const;
    QString EtiquetaModelo() const;

    // ---- Charts (drawn by Graficos) ----
    void DibujarGraficos(bool ConModelo);
    // The drawing of e in two steps: every point is worked out now (this is
    // what can fail: an overflow in a running sum or the band), and the step
    // returned puts them on the charts, which cannot fail. Loading checks its
    // new table this way before anything changes.
    std::function<void()> PrepararGraficos(const tendora::Espacio& e, bool ConModelo);
    void AnadirSerieComparativa();
    void EliminarSeriesComparativas();
    void AplicarMostrarAjuste();
    void ReiniciarArrastre();

    // ---- Saving, dates, export, help (MainArchivo.cpp) ----
    void GuardarDatos();
    void AnadirAnioMes(int anio, int mes);

    // Folder the open dialog starts in the first time (the sample files).
    QString DirEjemplos;

public slots:
    void Abrir1Click();
    void Importar1Click();
    void Guardar1Click();
    void ToolButton8Click();
    void Salir1Click();
    void Transferiratabladeprevisin1Click();
    void TBTransferirClick();
    void Caluclarprevisin1Click();
    void TBCalcularClick();
    void Compararmodelos1Click();
    void TBCompararClick();
    void Aplicartodoslosmtodos1Click();
    void Variacindeparmetros1Click();
    void Simulacinexante1Click();
    void AadircolumnasdeAoyMes1Click();
    void Borrarinformacinsobreerrores1Click();
    void Manualdeusuario1Click();
    void Acercade1Click();
    void RGModeloClick();
    void SEPuntosSinUsarChange();

    // ---- Files, pop-up menus, help (MainArchivo.cpp) ----
public:
    // Builds PopupMenuTabla and PopupMenuGraf with all their items, hangs them
    // on the four grids and the four charts and connects the items (running
    // it again changes nothing).
    void CrearMenusEmergentes();
    // Runs as a menu opens on a control: the menu remembers it and shows the items it gets.
    void PopupMenuTablaPopup(tendora::Rejilla* grid);
    void PopupMenuGrafPopup(tendora::Grafico* chart);
    void ExportarTabla(tendora::Rejilla* grid);
    void ExportarGrafico(tendora::Grafico* chart);
    // Background of an error table's best/worst cell in column col (a tendora::ColumnaError).
    static QColor ColorMinMax(int col, bool maximo);

    // Stands in for the system's "open" of the manual (tests); empty: the system's.
    std::function<bool(const QString&)> AbrirAyuda;

public slots:
    void Exportartabla1Click();
    void Imprimirtabla1Click();
    void Autoajustar1Click();
    void Variartabla1Click();
    void Mostrarminmax1Click();
    void Exportargrfico1Click();
    void Imprimir1Click();
    void Editargrfico1Click();

    // ---- Chart series and point editing ----
public:
    // Series, titles, marker lines, the drag tool and the pop-up menus
    // (running it again changes nothing).
    void CrearElementosGraficos();
    // The series, titles, marker lines and drag tool alone (drawing runs it if needed).
    void CrearSeriesGraficos();
    void PrepararSeriesModelo();
    void RegistrarArrastre(int indice);
    void ChartPMouseUp();
    void ReescribirLinea(int t, double valor);
    // Colour of a new comparison series when ChartPC then holds k series (2..10); invalid otherwise.
    static QColor ColoresComparativa(int k);
    static QColor ColorPaleta(int k); // k >= 11
    // Bottom-axis label of a row: year and month joined by "-".
    static QString EtiquetaPunto(double anio, double mes);
public slots:
    void Modificarpuntosdehistrico1Click();
    void Mostrarajuste1Click();
    void Eliminarseriescomparativas1Click();

    // ---- Experiments (Experimentacion; these forward to it, MainExperimentos.cpp) ----
public:
    // The loops, their levels, the progress indicator and the parameters
    // value of the running step; it reaches the window only through the
    // VentanaExperimentos overrides below.
    tendora::Experimentos Experimentacion{*this, this, SesionActual, TablasErr};
    void VariarN(long long desde, long long hasta, long long inc, bool Mostrar, long long& pasos);
    void VariarAlfaLE(double desde, double hasta, double inc, bool Mostrar, long long& pasos);
    void VariarAlfaTHT(double desde, double hasta, double inc, bool Mostrar, long long& pasos);
    void VariarAlfaCroston(double desde, double hasta, double inc, bool Mostrar, long long& pasos);
    void VariarHolt(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                    double incBeta, bool Mostrar, long long& pasos);
    void VariarHoltWinters(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                           double incBeta, double desdePhi, double hastaPhi, double incPhi, bool Mostrar,
                           long long& pasos);
    long long VariarParametros();
    void SimularExAnte(int desde, int hasta);
    // The experiment's own counters, under the names the window always had.
    int& EsperaProgresoMs = Experimentacion.EsperaProgresoMs;

private:
    // What the experiments ask of the window (AplicarMostrarAjuste and
    // MostrarInformacion are the window's own).
    void MostrarCorrida() override;
    TFormRangoVar* DialogoRangos() override;
    TFormSimExAnte* DialogoExAnte() override;

protected:
    // A data file dropped on the window (the data text included) opens as "Abrir" would.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    // The one local file a drop carries; empty when it carries anything else.
    static QString FicheroSoltado(const QMimeData* datos);
    void CrearMenus();
    void CrearBarraHerramientas();
    void CrearBarraEstado();
    // The status line after an experiment's command, from the loop's summary.
    void AnunciarExperimento();
    void CrearPaginas();
    void CrearPaginaModelo(QWidget* pagina);
    void CrearRejillas();
    void CrearGraficos();
    void FormCreate();
    // Runs a command; an error that escapes it reaches the standard error display.
    void Proteger(const std::function<void()>& orden);
    // A whole new data text in Memo1, with the cursor at its start and no undo back.
    void PonerTextoDatos(const QString& texto);

    // ---- Controls (objectName = the names below) ----
    QToolBar* ToolBar1 = nullptr;
    QToolButton* TBAbrir = nullptr;
    QToolButton* ToolButton8 = nullptr; // "Guardar"
    QToolButton* TBTransferir = nullptr;
    QToolButton* TBCalcular = nullptr;
    QToolButton* TBComparar = nullptr;
    QLabel* LabelFichero = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // What the status line says; it compares the data text with TextoCargado.
    std::unique_ptr<tendora::BarraEstado> Estado;
    QString TextoCargado; // the data text as last loaded
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetDatos = nullptr;
    QWidget* TabSheetModelo = nullptr;
    QWidget* TabSheetTablaPrev = nullptr;
    QWidget* TabSheetTablaCE = nullptr;
    QWidget* TabSheetGrafico = nullptr;
    QWidget* TabSheetGraficoAcum = nullptr;
    QWidget* TabSheetGraficoComp = nullptr;
    QWidget* TabSheetGraficoCE = nullptr;
    QWidget* TabSheetErrAjuste = nullptr;
    QWidget* TabSheetErrAcierto = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    tendora::Rejilla* AdvStringGridPrevision = nullptr;
    tendora::Rejilla* StringGridCE = nullptr;
    // The pages own their controls: the model page, the four charts, the
    // two error tables and the pop-up menus.
    tendora::TablasErrores TablasErr;
    tendora::PaginaModelo* Modelo = nullptr;
    tendora::PaginasGraficos* Graficos = nullptr;
    tendora::MenusEmergentes* Menus = nullptr;

    QMenu* Archivo1 = nullptr;
    QMenu* Herramientas1 = nullptr;
    QMenu* Ayuda1 = nullptr;
    QAction* Abrir1 = nullptr;
    QAction* Guardar1 = nullptr;
    QAction* Salir1 = nullptr;
    QAction* Transferiratabladeprevisin1 = nullptr;
    QAction* Caluclarprevisin1 = nullptr;
    QAction* Compararmodelos1 = nullptr;
    QAction* Aplicartodoslosmtodos1 = nullptr;
    QAction* Variacindeparmetros1 = nullptr;
    QAction* Simulacinexante1 = nullptr;
    QAction* AadircolumnasdeAoyMes1 = nullptr;
    QAction* Borrarinformacinsobreerrores1 = nullptr;
    QAction* Manualdeusuario1 = nullptr;
    QAction* Acercade1 = nullptr;

    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
    QFileDialog* SavePictureDialog1 = nullptr;
    // Both save dialogs, made once.
    void PrepararDialogos();
};

// Program start after the QApplication exists: title, translations, then the
// windows in order (main window, About box, ex-ante dialog, parameter-range dialog).
TFormMain* CrearVentanas();
// Opens the file named on the command line (the desktop entry passes one) as
// "Abrir" would; argumentos as QCoreApplication::arguments() gives them.
void AbrirArgumentos(TFormMain* ventana, const QStringList& argumentos);
// Loads Qt's own Spanish translations.
void CargarTraducciones();
