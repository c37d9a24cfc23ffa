// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the session's menus, tool bar, pages and dialogs, and every command.
// Implemented across several files, one per concern (MainUnit.cpp: window,
// loading, charts and the point drag; MainCalculo.cpp: the calculation and
// the tables; MainExperimentos.cpp: experiments; MainAutomatico.cpp: the
// automatic forecast; MainArchivo.cpp: saving,
// export, pop-up menus and help; MainImportar.cpp: import). The pages, the
// error tables and the experiments live in ui/ (tendora::PaginaModelo,
// tendora::PaginasGraficos, tendora::MenusEmergentes, TablasErrores,
// Experimentos): callers use them directly. Every control is private, to the
// window or to the page that owns it: automation finds it by its objectName,
// a page by its type.
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "models/Catalogo.h"
#include "models/Espacio.h"
#include "ui/Experimentos.h"
#include "models/Modelos.h"
#include "models/Sesion.h"
#include "ui/TablasErrores.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QWidget;
class QDragEnterEvent;
class QDropEvent;
class QFileDialog;
namespace tendora {
class BarraEstado;
class TAboutBox;
class Rejilla;
class Grafico;
class PaginasGraficos;
class PaginaModelo;
class PaginaSeleccion;
class MenusEmergentes;
} // namespace tendora
class QSettings;
namespace tendora {
struct DatosSesion;
}
class TFormSimExAnte;
class TFormRangoVar;

class TFormMain : public QMainWindow, private tendora::VentanaExperimentos {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // ---- The session: the workspace, the settings and the run log; the
    // model page mirrors it, the experiments drive it ----
    tendora::Sesion SesionActual;
    tendora::Espacio& Ws = SesionActual.Ws;
    QString FicheroDatos;
    QString NombreSerie;
    QString DirPrograma;
    // Folder the open dialog starts in the first time (the sample files).
    QString DirEjemplos;
    // Point-drag state of the forecast chart.
    int PuntoArrastrado = -1;
    double ArrastreX = -1.0;
    double ArrastreY = -1.0;

    // Long-lived dialogs, created at start after the main window.
    tendora::TAboutBox* AboutBox = nullptr;
    TFormSimExAnte* FormSimExAnte = nullptr;
    TFormRangoVar* FormRangoVar = nullptr;
    // Stands in for the system's "open" of the manual (tests); empty: the system's.
    std::function<bool(const QString&)> AbrirAyuda;

    // The experiments' dialogs, progress and messages over the session's
    // loops; it reaches the window only through the VentanaExperimentos overrides.
    tendora::Experimentos Experimentacion{*this, this, SesionActual, TablasErr};
    int& EsperaProgresoMs = Experimentacion.EsperaProgresoMs;

    // ---- Loading ----
    // avisarSaltos: tell where the months stop following (not after a point
    // drag, which reloads the same dates and would tell it on every drag).
    void CargarDatos(bool avisarSaltos = true);
    void AbrirFichero(const QString& ruta); // the part of Abrir1Click after the dialog
    void ImportarFichero(const QString& ruta); // the part of Importar1Click after the file dialog (MainImportar.cpp)
    void AbrirTexto(const QString& ruta); // AbrirFichero, before undo keeps the state
    void ImportarTexto(const QString& ruta); // ImportarFichero, before undo keeps the state
    void AnadirAnioMes(int anio, int mes); // the part of AadircolumnasdeAoyMes1Click after its dialog

    // ---- Sessions and what is remembered between runs (MainSesion.cpp) ----
    // The whole work written to a .tendora file, and read back in its place
    // (a file that does not read changes nothing and says why).
    void GuardarSesion(const QString& ruta);
    void AbrirSesion(const QString& ruta);
    tendora::DatosSesion DatosDeSesion() const;
    // Where the program keeps "Recientes", the dialogs' folders and the window's size.
    static QSettings* Ajustes();
    // A file dialog starts in the folder it was last accepted in, else porDefecto.
    static void PonerCarpeta(QFileDialog* d, const QString& porDefecto);
    static void RecordarCarpeta(QFileDialog* d, const QString& fichero);
    QStringList Recientes() const;
    void AnadirReciente(const QString& ruta);
    // A recent file opened as its kind asks: a session, an import or a data text.
    void AbrirReciente(const QString& ruta);

    // ---- Calculation (MainCalculo.cpp) ----
    // The calculation sequence without its trap; throws when the run fails.
    void EjecutarCalculo(bool Mostrar);
    // The run an error-table row logged (grid row fila) set on the model page
    // and calculated again; a row without a label does nothing.
    void AplicarConfiguracion(tendora::Rejilla* grid, int fila);
    // The label of the selected model's run: code, parameters and hold-out.
    QString EtiquetaModelo() const;
    void MostrarInformacion(const QString& texto) override;
    bool Confirmar(const QString& texto) override;

    // ---- Automatic forecast (MainAutomatico.cpp) ----
    // The candidate grid row fila of "Selección automática" shows, applied
    // and shown as the winner is; a row without a candidate does nothing.
    void AplicarCandidato(int fila);

    // ---- Charts (drawn by the chart pages) ----
    // The drawing of e in two steps: every point is worked out now (this is
    // what can fail: an overflow in a running sum or the band), and the step
    // returned puts them on the charts, which cannot fail. Loading checks its
    // new table this way before anything changes.
    std::function<void()> PrepararGraficos(const tendora::Espacio& e, bool ConModelo);
    void AplicarMostrarAjuste() override;
    // The button released over the forecast chart: a dragged history point is
    // written into the data text, which is loaded and calculated again.
    void ChartPMouseUp();

public slots:
    void Abrir1Click();
    void Importar1Click();
    void Guardar1Click();
    void Transferiratabladeprevisin1Click();
    void Caluclarprevisin1Click();
    void Compararmodelos1Click();
    void Aplicartodoslosmtodos1Click();
    void Variacindeparmetros1Click();
    void Simulacinexante1Click();
    void Previsionautomatica1Click();
    void AadircolumnasdeAoyMes1Click();
    void Borrarinformacinsobreerrores1Click();
    void Deshacer1Click();
    void Rehacer1Click();
    void Guardarsesion1Click();
    void Abrirsesion1Click();
    void Manualdeusuario1Click();
    void Acercade1Click();

private:
    // What else the experiments ask of the window.
    void MostrarCorrida() override;
    TFormRangoVar* DialogoRangos() override;
    TFormSimExAnte* DialogoExAnte() override;

protected:
    // A data file dropped on the window (the data text included) opens as "Abrir" would.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;
    // Closing the window ("Salir", Ctrl+Q or the title bar) with a data text
    // changed since it was opened or saved asks whether to save it first.
    void closeEvent(QCloseEvent* e) override;

private:
    // The menus, and the tool bar that shows their actions.
    void CrearOrdenes();
    void CrearPaginas();
    void CrearRejillas();
    // Builds PopupMenuTabla and PopupMenuGraf with all their items, hangs them
    // on the four grids and the four charts and connects the items.
    void CrearMenusEmergentes();
    // The series, titles, marker lines and drag tool (drawing runs it if needed).
    void CrearSeriesGraficos();
    void PrepararSeriesModelo();
    void ReiniciarArrastre();
    void MostrarTablaPrevision();
    // What an automatic forecast adds to the forecast shown, in the table and
    // on the forecast chart: an applied combination's (or adjusted model's)
    // own forecast, and the intervals when the switch is on and the last
    // calculation gave them; otherwise none of it.
    void MostrarIntervalos();
    // The run a candidate made shown as Calcular shows one, the status line
    // naming it with its score, and the ranking page in front.
    void MostrarCandidato(int k, bool ganador);
    // The status line after an experiment's command, from the loop's summary.
    void AnunciarExperimento();
    // Runs a command; an error that escapes it reaches the standard error display.
    void Proteger(const std::function<void()>& orden);

    // ---- Undo (MainDeshacer.cpp) ----
    // What the commands that change or discard the user's work can lose: the
    // data text and its file, the session (history, model page, log and
    // ranking), the error tables' rows and the comparison series.
    struct Instantanea;
    std::unique_ptr<Instantanea> Capturar(const QString& orden) const;
    // Puts a captured state back and shows it as it was.
    void Reponer(Instantanea&& i);
    // Runs a command that can be undone (nombre as the Edición menu names it):
    // the state before it is kept when the command changed anything, also
    // when it failed half-way.
    void Deshacible(const QString& nombre, const std::function<void()>& orden);
    void ActualizarDeshacer();
    void Intercambiar(std::vector<std::unique_ptr<Instantanea>>& desde,
                      std::vector<std::unique_ptr<Instantanea>>& hacia, bool rehacer);
    // The forecast table, the charts, the ranking page and the status line
    // drawn again from the session as it is (after undo or opening a session).
    void MostrarSesion();
    std::vector<std::unique_ptr<Instantanea>> deshacer_, rehacer_;
    // Sessions: the work put in place of the window's; what opening could not
    // bring back as it was, for the status line.
    void PonerSesion(const tendora::DatosSesion& d);
    QString avisoSesion_;
    void LlenarRecientes();
    // The window's size and place, for the next start.
    void RecordarVentana();

    static constexpr int NivelesDeshacer = 30;
    // A whole new data text in Memo1, with the cursor at its start and no undo back.
    void PonerTextoDatos(const QString& texto);
    // Both save dialogs, made once.
    void PrepararDialogos();

    // ---- Controls (objectName = the names below) ----
    QToolBar* ToolBar1 = nullptr;
    QLabel* LabelFichero = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // What the status line says; it compares the data text with TextoCargado.
    std::unique_ptr<tendora::BarraEstado> Estado;
    QString TextoCargado; // the data text as last loaded
    QString TextoGuardado; // the data text as last opened, imported or saved
    // Saves the data text through the save dialog; false when cancelled or it failed.
    bool GuardarDatos();
    // "Tendora — serie.txt", with "*" while the data text differs from TextoGuardado.
    void ActualizarTitulo();
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
    QWidget* TabSheetSeleccion = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    tendora::Rejilla* AdvStringGridPrevision = nullptr;
    tendora::Rejilla* StringGridCE = nullptr;
    // The pages own their controls: the model page, the four charts, the
    // two error tables and the pop-up menus.
    tendora::TablasErrores TablasErr;
    tendora::PaginaModelo* Modelo = nullptr;
    tendora::PaginasGraficos* Graficos = nullptr;
    tendora::PaginaSeleccion* Seleccion = nullptr;
    // What the forecast table shows now (MostrarIntervalos adds to it): no
    // forecast after a load; else its history rows, horizon and model columns.
    bool TablaConPrevision = false;
    int FilasHistoricoTabla = 0;
    int HorizonteTabla = 0;
    int ColumnasModeloTabla = 0;
    tendora::MenusEmergentes* Menus = nullptr;

    QMenu* Archivo1 = nullptr;
    QMenu* Edicion1 = nullptr;
    QMenu* Recientes1 = nullptr;
    QAction* Guardarsesion1 = nullptr;
    QAction* Abrirsesion1 = nullptr;
    QAction* Deshacer1 = nullptr;
    QAction* Rehacer1 = nullptr;
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
    QAction* Previsionautomatica1 = nullptr;
    QAction* AadircolumnasdeAoyMes1 = nullptr;
    QAction* Borrarinformacinsobreerrores1 = nullptr;
    QAction* Manualdeusuario1 = nullptr;
    QAction* Acercade1 = nullptr;
    // The tool bar's "Comparar": "Comparar modelos", then "Mostrar ajuste"
    // applied to every comparison series.
    QAction* Comparar = nullptr;

    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
    QFileDialog* SavePictureDialog1 = nullptr;
};

// Program start after the QApplication exists: title, translations, then the
// windows in order (main window, About box, ex-ante dialog, parameter-range dialog).
TFormMain* CrearVentanas();
// Opens the file named on the command line (the desktop entry passes one) as
// "Abrir" would; argumentos as QCoreApplication::arguments() gives them.
void AbrirArgumentos(TFormMain* ventana, const QStringList& argumentos);
// Loads Qt's own Spanish translations.
void CargarTraducciones();
