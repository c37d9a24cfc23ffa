// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainUnit.h"
#include "app/Instantanea.h"

#include "app/Aplicacion.h"
#include "models/Aritmetica.h"
#include "app/BarraEstado.h"
#include "data/Carga.h"
#include "data/Huecos.h"
#include "app/DialogoUnit.h"
#include "data/EscrituraSegura.h"
#include "data/Instalacion.h"
#include "ui/Grafico.h"
#include "ui/Modal.h"
#include "data/Numeros.h"
#include "ui/PaginaModelo.h"
#include "ui/PaginaSeleccion.h"
#include "ui/PaginasGraficos.h"
#include "ui/PreguntaHuecos.h"
#include "ui/Rejilla.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QApplication>
#include <QPushButton>
#include <QMessageBox>
#include <QFileInfo>
#include <QKeySequence>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

using namespace tendora;

namespace {

void MostrarHistorico(Rejilla* g, const Espacio& Ws)
{
    g->ComenzarCarga();
    g->SetRowCount(1); // empties every data cell
    g->SetRowCount(Ws.NumDatos + 1);
    // Row i shows the table's columns ColT..ColDatos, side by side in the row.
    static_assert(ColDatos - ColT == 3);
    for (int i = 1; i <= Ws.NumDatos; ++i)
        g->SetFilaNumeros(i, 0, Ws.TablaPrev[size_t(i)].data() + ColT, 4, Formato::General);
    g->TerminarCarga();
    g->QuitarOrden();
    g->AutoajustarColumnas(true);
}

// The value of row t, dragged on the chart, written into its line of the data text.
void ReescribirLinea(QPlainTextEdit* Memo1, const Espacio& Ws, int t, double valor)
{
    const QString texto = Memo1->toPlainText();
    // Lines counted as loading counts them.
    QStringList lineas = LineasDeTexto(texto);
    // The point's month as loaded, to tell the user which one it was.
    const bool enTabla = t >= 1 && t <= Ws.TotalDatos;
    const QString mesPunto =
        enTabla ? TextoGeneral(Ws.V(t, 3)) + QLatin1Char('/') + TextoGeneral(Ws.V(t, 2)) : QString();
    if (t < 1 || t > lineas.size())
        throw std::out_of_range(
            QStringLiteral("El punto arrastrado (%1) se cargó de la línea %2 del texto de Datos, pero ese texto "
                           "%3: no se ha cambiado nada. Pulse «Cargar» para cargar el texto como está ahora, o "
                           "deshaga la edición del texto y suelte otra vez el botón sobre el gráfico.")
                .arg(mesPunto, TextoEntero(t),
                     lineas.isEmpty()     ? QStringLiteral("está ahora vacío")
                     : lineas.size() == 1 ? QStringLiteral("tiene ahora una sola línea")
                                          : QStringLiteral("tiene ahora %1 líneas").arg(TextoEntero(lineas.size())))
                .toStdString());
    const QString& linea = lineas[t - 1];
    // Lines taken out or put in above it move another month onto line t:
    // the value would land in the wrong month. A date that does not read is
    // left for the reload to report.
    if (enTabla) {
        bool okA = false, okM = false;
        const double anio = ConvertirNumero(ExtraerCampo(linea, 1), &okA);
        const double mes = ConvertirNumero(ExtraerCampo(linea, 2), &okM);
        if (okA && okM && (anio != Ws.V(t, 2) || mes != Ws.V(t, 3)))
            throw std::out_of_range(
                QStringLiteral("El punto arrastrado (%1) se cargó de la línea %2 del texto de Datos, pero esa línea "
                               "es ahora la de %3, porque el texto se ha editado: no se ha cambiado nada. Pulse "
                               "«Cargar» para cargar el texto como está ahora y arrastre el punto otra vez.")
                    .arg(mesPunto, TextoEntero(t), TextoGeneral(mes) + QLatin1Char('/') + TextoGeneral(anio))
                    .toStdString());
    }
    const QString nueva =
        ExtraerCampo(linea, 1) + QLatin1Char('\t') + ExtraerCampo(linea, 2) + QLatin1Char('\t') + TextoFijo2(valor);

    QTextDocument* doc = Memo1->document();
    if (!texto.contains(QLatin1Char('\r')) && t <= doc->blockCount()) {
        // Only that line changes in the editor (one undo step, the rest untouched).
        QTextCursor c(doc->findBlockByNumber(t - 1));
        c.movePosition(QTextCursor::StartOfBlock);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(nueva);
    } else {
        // Bare carriage returns break lines for loading but not for the editor.
        lineas[t - 1] = nueva;
        QString r = lineas.join(QLatin1Char('\n'));
        if (texto.endsWith(QLatin1Char('\n')) || texto.endsWith(QLatin1Char('\r')))
            r += QLatin1Char('\n');
        Memo1->setPlainText(r);
    }
}

} // namespace

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("FormMain");
    setWindowTitle(QStringLiteral("Tendora"));
    // Maximised below; the size of the screen also holds where no window
    // manager honours that state.
    if (QScreen* pantalla = QGuiApplication::primaryScreen())
        resize(pantalla->availableGeometry().size());
    else
        resize(1200, 800);

    CrearPaginas();
    CrearOrdenes();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    setStatusBar(StatusBar1);
    Estado = std::make_unique<BarraEstado>(StatusBar1);
    // Calcular keeps using the loaded table; the line says when the text no longer matches it.
    // The length first: it costs nothing, and copying out a long text on every
    // keystroke would make typing in it sluggish.
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        const bool otroLargo = Memo1->document()->characterCount() != TextoCargado.size() + 1;
        Estado->TextoDatos(otroLargo || Memo1->toPlainText() != TextoCargado);
        ActualizarTitulo();
    });

    // The point-drag tool of the forecast chart starts inactive, nothing dragged.
    ReiniciarArrastre();
    Modelo->MostrarControlesDelModelo();
    DirPrograma = QCoreApplication::applicationDirPath();
    if (!DirPrograma.endsWith(QDir::separator()) && !DirPrograma.endsWith(QLatin1Char('/')))
        DirPrograma += QLatin1Char('/');
    // Sample files: beside the executable in a build, in the data folder when installed.
    DirEjemplos = tendora::BuscarCarpeta(DirPrograma, QStringLiteral("ejemplos"));

    CrearMenusEmergentes();
    CrearSeriesGraficos();
    // As it was left last time; maximized the first time.
    const QByteArray geometria = Ajustes()->value(QStringLiteral("ventana/geometria")).toByteArray();
    if (geometria.isEmpty() || !restoreGeometry(geometria) ||
        Ajustes()->value(QStringLiteral("ventana/maximizada"), true).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

TFormMain::~TFormMain()
{
    // The pages outlive this part of the window: a spin edit that settles an
    // emptied text while it is destroyed must not call a slot of it.
    for (QObject* hijo : findChildren<QObject*>())
        hijo->disconnect(this);
}

// ---------------------------------------------------------------- window

void TFormMain::CrearOrdenes()
{
    QMenuBar* barra = menuBar();
    barra->setObjectName("MainMenu1");

    Archivo1 = barra->addMenu(QStringLiteral("&Archivo"));
    Archivo1->setObjectName("Archivo1");
    Abrir1 = Archivo1->addAction(QStringLiteral("&Abrir"), this, &TFormMain::Abrir1Click);
    Abrir1->setObjectName("Abrir1");
    QAction* importar = Archivo1->addAction(QStringLiteral("&Importar..."), this, &TFormMain::Importar1Click);
    importar->setObjectName("Importar1");
    importar->setToolTip(QStringLiteral("Importa una hoja de cálculo o un fichero CSV"));
    Archivo1->setToolTipsVisible(true);
    Guardar1 = Archivo1->addAction(QStringLiteral("&Guardar"), this, &TFormMain::Guardar1Click);
    Guardar1->setObjectName("Guardar1");
    Archivo1->addSeparator();
    Abrirsesion1 = Archivo1->addAction(QStringLiteral("Abrir sesió&n..."), this, &TFormMain::Abrirsesion1Click);
    Abrirsesion1->setObjectName("Abrirsesion1");
    Guardarsesion1 = Archivo1->addAction(QStringLiteral("Guardar s&esión..."), this, &TFormMain::Guardarsesion1Click);
    Guardarsesion1->setObjectName("Guardarsesion1");
    Recientes1 = Archivo1->addMenu(QStringLiteral("&Recientes"));
    Recientes1->setObjectName("Recientes1");
    LlenarRecientes();
    Archivo1->addSeparator();
    Salir1 = Archivo1->addAction(QStringLiteral("&Salir"), this, &TFormMain::close);
    Salir1->setObjectName("Salir1");

    // Undo over the commands that change or discard the data or the logs; in
    // the data text the editor's own undo comes first.
    Edicion1 = barra->addMenu(QStringLiteral("&Edición"));
    Edicion1->setObjectName("Edicion1");
    Deshacer1 = Edicion1->addAction(QStringLiteral("&Deshacer"), this, &TFormMain::Deshacer1Click);
    Deshacer1->setObjectName("Deshacer1");
    Deshacer1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Rehacer1 = Edicion1->addAction(QStringLiteral("&Rehacer"), this, &TFormMain::Rehacer1Click);
    Rehacer1->setObjectName("Rehacer1");
    Rehacer1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    ActualizarDeshacer();

    Herramientas1 = barra->addMenu(QStringLiteral("&Herramientas"));
    Herramientas1->setObjectName("Herramientas1");
    Transferiratabladeprevisin1 = Herramientas1->addAction(QStringLiteral("C&argar datos a tabla de previsión"), this,
                                                           &TFormMain::Transferiratabladeprevisin1Click);
    Transferiratabladeprevisin1->setObjectName("Transferiratabladeprevisin1");
    Caluclarprevisin1 =
        Herramientas1->addAction(QStringLiteral("&Calcular previsión"), this, &TFormMain::Caluclarprevisin1Click);
    Caluclarprevisin1->setObjectName("Caluclarprevisin1");
    Compararmodelos1 =
        Herramientas1->addAction(QStringLiteral("C&omparar modelos"), this, &TFormMain::Compararmodelos1Click);
    Compararmodelos1->setObjectName("Compararmodelos1");
    Herramientas1->addSeparator();
    Aplicartodoslosmtodos1 = Herramientas1->addAction(QStringLiteral("Aplicar &todos los métodos"), this,
                                                      &TFormMain::Aplicartodoslosmtodos1Click);
    Aplicartodoslosmtodos1->setObjectName("Aplicartodoslosmtodos1");
    Variacindeparmetros1 = Herramientas1->addAction(QStringLiteral("&Variación de parámetros"), this,
                                                    &TFormMain::Variacindeparmetros1Click);
    Variacindeparmetros1->setObjectName("Variacindeparmetros1");
    Variacindeparmetros1->setEnabled(false);
    Simulacinexante1 =
        Herramientas1->addAction(QStringLiteral("&Simulación ex-ante"), this, &TFormMain::Simulacinexante1Click);
    Simulacinexante1->setObjectName("Simulacinexante1");
    Previsionautomatica1 = Herramientas1->addAction(QStringLiteral("&Previsión automática..."), this,
                                                    &TFormMain::Previsionautomatica1Click);
    Previsionautomatica1->setObjectName("Previsionautomatica1");
    Herramientas1->addSeparator();
    AadircolumnasdeAoyMes1 = Herramientas1->addAction(QStringLiteral("Añadir columnas de Año y &Mes"), this,
                                                      &TFormMain::AadircolumnasdeAoyMes1Click);
    AadircolumnasdeAoyMes1->setObjectName("AadircolumnasdeAoyMes1");
    Borrarinformacinsobreerrores1 = Herramientas1->addAction(QStringLiteral("&Borrar información sobre errores"), this,
                                                             &TFormMain::Borrarinformacinsobreerrores1Click);
    Borrarinformacinsobreerrores1->setObjectName("Borrarinformacinsobreerrores1");

    Ayuda1 = barra->addMenu(QStringLiteral("A&yuda"));
    Ayuda1->setObjectName("Ayuda1");
    Manualdeusuario1 =
        Ayuda1->addAction(QStringLiteral("&Manual de usuario..."), this, &TFormMain::Manualdeusuario1Click);
    Manualdeusuario1->setObjectName("Manualdeusuario1");
    Acercade1 = Ayuda1->addAction(QStringLiteral("A&cerca de..."), this, &TFormMain::Acercade1Click);
    Acercade1->setObjectName("Acercade1");

    // Explicit keys rather than the platform's standard ones, so they are
    // the same everywhere and what the manual says.
    Abrir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Guardar1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Salir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Transferiratabladeprevisin1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    Caluclarprevisin1->setShortcut(QKeySequence(Qt::Key_F9));
    Previsionautomatica1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    Manualdeusuario1->setShortcut(QKeySequence(Qt::Key_F1));

    ToolBar1 = addToolBar(QStringLiteral("Herramientas"));
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    // A button shows its menu item's action under a shorter caption, with an
    // image the menus leave out and a hint; it keeps a name of its own.
    auto boton = [this](QAction* a, const char* nombre, const QString& texto, const QString& hint,
                        QStyle::StandardPixmap icono) {
        a->setIconText(texto);
        a->setToolTip(hint);
        a->setIcon(style()->standardIcon(icono));
        a->setIconVisibleInMenu(false);
        ToolBar1->addAction(a);
        auto* b = static_cast<QToolButton*>(ToolBar1->widgetForAction(a));
        b->setObjectName(nombre);
        b->setIconSize(QSize(16, 16)); // small images in a bar as tall as its own size makes it
        b->setMinimumWidth(56);
        b->setFocusPolicy(Qt::TabFocus); // reachable with Tab, as any button
    };
    boton(Abrir1, "TBAbrir", QStringLiteral("Abrir"), QStringLiteral("Abre un documento de texto"),
          QStyle::SP_DialogOpenButton);
    boton(Guardar1, "ToolButton8", QStringLiteral("Guardar"), QStringLiteral("Guarda los datos actuales"),
          QStyle::SP_DialogSaveButton);
    ToolBar1->addSeparator();
    boton(Transferiratabladeprevisin1, "TBTransferir", QStringLiteral("Cargar"),
          QStringLiteral("Cargar los datos a tabla de previsión"), QStyle::SP_ArrowDown);
    boton(Caluclarprevisin1, "TBCalcular", QStringLiteral("Calcular"), QStringLiteral("Calcular previsión"),
          QStyle::SP_MediaPlay);
    // Fast forward beside Calcular's play: every model tried and the best one run.
    boton(Previsionautomatica1, "TBAutomatica", QStringLiteral("Automática"),
          QStringLiteral("Elige el modelo y sus constantes por su error en orígenes móviles y calcula su previsión "
                         "con intervalos"),
          QStyle::SP_MediaSeekForward);
    ToolBar1->addSeparator();
    // The tool bar's "Comparar" also applies "Mostrar ajuste" to the new
    // series; the menu's "Comparar modelos" leaves that to the next application.
    Comparar = new QAction(this);
    connect(Comparar, &QAction::triggered, this, [this] {
        Compararmodelos1Click();
        AplicarMostrarAjuste();
    });
    boton(Comparar, "TBComparar", QStringLiteral("Comparar"),
          QStringLiteral("Carga la previsión actual en la pestaña \"Gráfico Prev. comp.\""),
          QStyle::SP_FileDialogContentsView);
    LabelFichero = new QLabel(ToolBar1);
    LabelFichero->setObjectName("LabelFichero");
    ToolBar1->addWidget(LabelFichero);
    // Of the "Archivo" items only "Importar..." shows its hint: the others are the buttons'.
    Archivo1->installEventFilter(this);
}

void TFormMain::CrearPaginas()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    setCentralWidget(PageControl1);

    auto pagina = [this](const char* nombre, const QString& titulo) {
        auto* w = new QWidget(PageControl1);
        w->setObjectName(nombre);
        PageControl1->addTab(w, titulo);
        return w;
    };
    TabSheetDatos = pagina("TabSheetDatos", QStringLiteral("Datos"));
    TabSheetModelo = pagina("TabSheetModelo", QStringLiteral("Modelo"));
    TabSheetTablaPrev = pagina("TabSheetTablaPrev", QStringLiteral("Tabla Previsión"));
    TabSheetTablaCE = pagina("TabSheetTablaCE", QStringLiteral("Tabla C.E."));
    TabSheetGrafico = pagina("TabSheetGrafico", QStringLiteral("Gráfico Previsión"));
    TabSheetGraficoAcum = pagina("TabSheetGraficoAcum", QStringLiteral("Gráfico Prev. acum."));
    TabSheetGraficoComp = pagina("TabSheetGraficoComp", QStringLiteral("Gráfico Prev. comp."));
    TabSheetGraficoCE = pagina("TabSheetGraficoCE", QStringLiteral("Gráfico C.E."));
    TabSheetErrAjuste = pagina("TabSheetErrAjuste", QStringLiteral("Errores ajuste"));
    TabSheetErrAcierto = pagina("TabSheetErrAcierto", QStringLiteral("Errores acierto"));
    TabSheetSeleccion = pagina("TabSheetSeleccion", QStringLiteral("Selección automática"));

    Memo1 = new QPlainTextEdit(TabSheetDatos);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Room for a year and a tab between fields.
    Memo1->setTabStopDistance(Memo1->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    auto* ld = new QVBoxLayout(TabSheetDatos);
    ld->setContentsMargins(2, 2, 2, 2);
    ld->addWidget(Memo1);
    // The editor would paste a dropped file's path as text; a file opens instead.
    Memo1->viewport()->installEventFilter(this);
    setAcceptDrops(true);

    // The page mirrors the session; the window follows the session's changes through it.
    Modelo = new PaginaModelo(TabSheetModelo, SesionActual, this);
    connect(Modelo, &PaginaModelo::modeloElegido, this, [this] {
        Modelo->MostrarControlesDelModelo();
        // A model without parameters has nothing to vary.
        Variacindeparmetros1->setEnabled(FichaDe(SesionActual.ModeloSeleccionado()).Lee != 0);
    });
    // The session has moved the split; the table's colours follow it.
    connect(Modelo, &PaginaModelo::puntosSinUsarCambiados, this,
            [this] { AdvStringGridPrevision->viewport()->update(); });
    // The switch shows or hides the intervals of the forecast on display.
    connect(Modelo, &PaginaModelo::intervalosCambiados, this, [this] { MostrarIntervalos(); });

    CrearRejillas();

    Graficos = new PaginasGraficos(TabSheetGrafico, TabSheetGraficoAcum, TabSheetGraficoComp, TabSheetGraficoCE, this);
    connect(Graficos, &PaginasGraficos::puntoArrastrado, this, [this](int indice) { PuntoArrastrado = indice; });
    // The round trip reloads the chart that sends this; the chart expects it.
    connect(Graficos, &PaginasGraficos::ratonSoltado, this,
            [this] { Proteger([this] { Deshacible(QStringLiteral("Mover punto"), [this] { ChartPMouseUp(); }); }); });

    Seleccion = new PaginaSeleccion(TabSheetSeleccion, SesionActual, this);
    connect(Seleccion, &PaginaSeleccion::filaElegida, this, [this](int fila) { AplicarCandidato(fila); });
    PageControl1->setCurrentIndex(0);
}

void TFormMain::CrearRejillas()
{
    auto colocar = [](QWidget* pagina, QWidget* w) {
        auto* l = new QVBoxLayout(pagina);
        l->setContentsMargins(2, 2, 2, 2);
        l->addWidget(w);
    };
    AdvStringGridPrevision = new Rejilla(TabSheetTablaPrev);
    AdvStringGridPrevision->setObjectName("AdvStringGridPrevision");
    AdvStringGridPrevision->SetColCount(4);
    AdvStringGridPrevision->SetRowCount(2);
    AdvStringGridPrevision->SetTexto(0, 0, QStringLiteral("t"));
    AdvStringGridPrevision->SetTexto(1, 0, QStringLiteral("Año"));
    AdvStringGridPrevision->SetTexto(2, 0, QStringLiteral("Mes"));
    AdvStringGridPrevision->SetTexto(3, 0, QStringLiteral("Datos"));
    AdvStringGridPrevision->setColumnWidth(0, 30);
    for (int c = 1; c < 4; ++c)
        AdvStringGridPrevision->setColumnWidth(c, 50);
    // The history in blue, the forecast in red, the rows held back in grey; by
    // the row's own time, not its place: the user may have sorted or moved it.
    AdvStringGridPrevision->SetColorTexto([this](int fila, int col) {
        if (fila < 1 || (col != 3 && col != Ws.ColPrev - 1))
            return QColor();
        const ModeloRejilla* m = AdvStringGridPrevision->Modelo();
        if (m->Tipo(0, fila) != TipoCelda::Numero)
            return QColor();
        const double t = m->Numero(0, fila);
        if (col == 3)
            return t <= Ws.NumDatos ? QColor(Qt::blue) : QColor(192, 192, 192);
        if (t > Ws.NumDatos)
            return QColor(Qt::red);
        return QColor();
    });
    colocar(TabSheetTablaPrev, AdvStringGridPrevision);

    StringGridCE = new Rejilla(TabSheetTablaCE);
    StringGridCE->setObjectName("StringGridCE");
    StringGridCE->SetColCount(2);
    StringGridCE->SetRowCount(13);
    StringGridCE->SetTexto(0, 0, QStringLiteral("Mes"));
    StringGridCE->SetTexto(1, 0, QStringLiteral("C.E."));
    colocar(TabSheetTablaCE, StringGridCE);

    // The error tables build their grids; they go into their pages here.
    TablasErr.Crear(TabSheetErrAjuste, TabSheetErrAcierto);
    // The tables are views of the session's run log, the one store of the runs.
    TablasErr.Mostrar(&SesionActual.Corridas());
    colocar(TabSheetErrAjuste, TablasErr.Ajuste());
    colocar(TabSheetErrAcierto, TablasErr.Acierto());
    for (Rejilla* g : {TablasErr.Ajuste(), TablasErr.Acierto()})
        connect(g, &QAbstractItemView::doubleClicked, this,
                [this, g](const QModelIndex& i) { AplicarConfiguracion(g, i.row() + 1); });
}

void TFormMain::Proteger(const std::function<void()>& orden)
{
    try {
        orden();
    } catch (const ErrorEscritura& error) {
        // A failed write is the program's own finding, told as a warning.
        QApplication::restoreOverrideCursor();
        MostrarDialogo(this, TFormDialogo::Aviso, QString::fromUtf8(error.what()));
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        MostrarErrorEstandar(error);
    }
}

// ---------------------------------------------------------------- loading

void TFormMain::Abrir1Click()
{
    Proteger([this] {
        if (!OpenDialog1) {
            OpenDialog1 = new QFileDialog(this, QStringLiteral("Abrir"));
            OpenDialog1->setObjectName("OpenDialog1");
            OpenDialog1->setNameFilter(QStringLiteral("Fichero de texto (*.txt)"));
            OpenDialog1->setFileMode(QFileDialog::ExistingFile);
            OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
            OpenDialog1->setOption(QFileDialog::DontUseNativeDialog, true);
            PonerCarpeta(OpenDialog1, DirEjemplos);
        }
        if (EjecutarModal(OpenDialog1) != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
            return;
        RecordarCarpeta(OpenDialog1, OpenDialog1->selectedFiles().constFirst());
        AbrirFichero(OpenDialog1->selectedFiles().constFirst());
    });
}

void TFormMain::Transferiratabladeprevisin1Click()
{
    Proteger([this] { Deshacible(QStringLiteral("Cargar"), [this] { CargarDatos(); }); });
}

void TFormMain::CargarDatos(bool avisarSaltos)
{
    const QString texto = Memo1->toPlainText();
    if (texto.isEmpty()) {
        MostrarInformacion(QStringLiteral("No hay datos para cargar."));
        return;
    }
    // A load happens whole or not at all: everything that can fail (reading
    // the records, the running sums of the drawing) runs on a staged copy of
    // the workspace before anything the user sees changes.
    // The user lands on the line to mend.
    auto irALinea = [this, &texto](int linea) {
        QTextCursor c(Memo1->document());
        c.setPosition(std::min(InicioDeLinea(texto, linea), Memo1->document()->characterCount() - 1));
        Memo1->setTextCursor(c);
        Memo1->ensureCursorVisible();
        PageControl1->setCurrentWidget(TabSheetDatos);
        Memo1->setFocus();
    };
    std::vector<Registro> registros;
    try {
        registros = LeerRegistros(texto);
    } catch (const ErrorLectura& e) {
        irALinea(e.Linea());
        throw;
    }
    // Months missing between the dates would put every later value in the
    // wrong month: the user says how to fill them, and the filled text is
    // what loads (one line per row, as the point drag needs). A drag
    // reloads dates already asked about.
    std::optional<Rellenado> relleno;
    QString rellenado;
    if (avisarSaltos) {
        if (const Huecos h = BuscarHuecos(registros); h.meses > 0) {
            const auto lugar = [](int k) { return QStringLiteral("línea %1").arg(TextoEntero(k + 1)); };
            const std::optional<Relleno> modo = PreguntarRelleno(this, DescribirHuecos(registros, h, lugar));
            if (!modo)
                return;
            relleno = RellenarHuecos(registros, *modo);
            rellenado = TextoRellenado(texto, *relleno);
            registros = LeerRegistros(rellenado);
        }
    }
    Espacio nuevo = SesionActual.Preparar(registros);
    std::function<void()> dibujar;
    try {
        dibujar = PrepararGraficos(nuevo, false);
    } catch (const ErrorSumaDatos& e) {
        irALinea(relleno ? LineaOriginal(*relleno, e.Fila()) : e.Fila());
        throw;
    }
    if (relleno) {
        // One step for the editor's undo; the cursor on the first month put in.
        QTextCursor c(Memo1->document());
        c.beginEditBlock();
        c.select(QTextCursor::Document);
        c.insertText(rellenado);
        c.endEditBlock();
        const auto primero = std::find(relleno->anadido.begin(), relleno->anadido.end(), 1);
        c.setPosition(std::min(InicioDeLinea(rellenado, int(primero - relleno->anadido.begin()) + 1),
                               Memo1->document()->characterCount() - 1));
        Memo1->setTextCursor(c);
        Memo1->ensureCursorVisible();
    }

    // The new range clamps a hold-out that no longer fits, as Preparar assumed.
    SesionActual.Adoptar(std::move(nuevo));
    MostrarHistorico(AdvStringGridPrevision, Ws);
    TablaConPrevision = false;
    // The ranking was of the history before.
    Seleccion->Vaciar();
    ReiniciarArrastre();
    Graficos->EliminarSeriesComparativas();
    dibujar();
    TablasErr.BorrarTablas();
    TextoCargado = relleno ? rellenado : texto;
    Estado->Cargados(Ws, SesionActual.DemandaSerie());
    Estado->TextoDatos(false);
    // Dates that repeat or go back cannot be filled: loaded as they are, the
    // user is told once where the months stop following.
    QString salto;
    if (const int linea = avisarSaltos ? PrimerSalto(registros, &salto) : 0; linea > 0)
        MostrarDialogo(this, TFormDialogo::Aviso,
                       QStringLiteral("La fecha de la línea %1 no sigue a la anterior: %2").arg(linea).arg(salto));
}

// ---------------------------------------------------------------- messages

void TFormMain::MostrarInformacion(const QString& texto)
{
    MostrarDialogo(this, TFormDialogo::Informacion, texto);
}

bool TFormMain::Confirmar(const QString& texto)
{
    QMessageBox pregunta(QMessageBox::Question, QApplication::applicationName(), texto, QMessageBox::NoButton, this);
    pregunta.setObjectName("PreguntaConfirmar");
    QPushButton* si = pregunta.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    QPushButton* no = pregunta.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    pregunta.setDefaultButton(no);
    pregunta.setEscapeButton(no);
    EjecutarModal(&pregunta);
    return pregunta.clickedButton() == si;
}

// ---------------------------------------------------------------- charts

void TFormMain::CrearSeriesGraficos()
{
    if (!Graficos->CrearSeries())
        return;
    PrepararSeriesModelo();
    if (Comparar) {
        const int pagina = PageControl1->indexOf(TabSheetGraficoComp);
        Comparar->setToolTip(QStringLiteral("Carga la previsión actual en la pestaña \"") +
                             PageControl1->tabText(pagina) + QLatin1Char('"'));
    }
}

void TFormMain::PrepararSeriesModelo()
{
    const int item = SesionActual.ModeloSeleccionado();
    if (!Graficos->NombrarSeriesModelo(item))
        return;
    // The columns the auxiliary series plot; a model without them leaves them as they were.
    const FichaModelo& f = FichaDe(item);
    if (f.MediaMovil.Col != SinColumna)
        Ws.ColMediaMovil = f.MediaMovil.Col;
    if (f.Tendencia.Col != SinColumna)
        Ws.ColTendencia = f.Tendencia.Col;
}

std::function<void()> TFormMain::PrepararGraficos(const Espacio& e, bool ConModelo)
{
    CrearSeriesGraficos();
    PaginasGraficos::Hechos h{SesionActual.ModeloSeleccionado(),
                              SesionActual.Horizonte(),
                              SesionActual.PrevisionesNegativas(),
                              NombreSerie,
                              {},
                              {}};
    if (ConModelo && SesionActual.Intervalos())
        h.intervalos = SesionActual.IntervalosPrevision();
    if (ConModelo)
        h.prevision = SesionActual.PrevisionCandidato();
    auto poner = Graficos->Preparar(e, ConModelo, h);
    return [this, poner = std::move(poner)] {
        PrepararSeriesModelo();
        poner();
    };
}

void TFormMain::AplicarMostrarAjuste()
{
    Graficos->AplicarMostrarAjuste(SesionActual.Horizonte(), Menus && !Menus->AjusteVisible());
}

// The forecast of the last run joins the comparison chart, under its label.
void TFormMain::Compararmodelos1Click()
{
    CrearSeriesGraficos();
    Graficos->AnadirSerieComparativa(EtiquetaModelo());
}

// ---------------------------------------------------------------- point editing

void TFormMain::ReiniciarArrastre()
{
    PuntoArrastrado = -1;
    ArrastreX = -1.0;
    ArrastreY = -1.0;
}

void TFormMain::ChartPMouseUp()
{
    if (PuntoArrastrado == -1)
        return;
    const std::optional<PuntoGrafico> p = Graficos->PuntoDatos(PuntoArrastrado);
    if (!p) {
        // The series was refilled since the drag: that point is gone.
        ReiniciarArrastre();
        return;
    }
    ArrastreX = p->x;
    ArrastreY = p->y;
    const int t = int(std::lround(ArrastreX));
    ReescribirLinea(Memo1, Ws, t, ArrastreY);
    CargarDatos(false);
    try {
        EjecutarCalculo(true);
    } catch (const ErrorAritmetico& e) {
        // The model's own text says what to change; this says what did happen.
        throw ErrorAritmetico(QStringLiteral("El valor arrastrado se ha escrito en la línea %1 del texto de Datos y "
                                             "el histórico se ha vuelto a cargar, pero el modelo seleccionado no se "
                                             "puede calcular con él. %2")
                                  .arg(TextoEntero(t), QString::fromUtf8(e.what()))
                                  .toStdString());
    }
    ReiniciarArrastre();
}

// ---------------------------------------------------------------- the session shown again

void TFormMain::MostrarSesion()
{
    ReiniciarArrastre();
    if (Ws.DatosCargados) {
        const bool conModelo = TablaConPrevision;
        std::function<void()> dibujar = PrepararGraficos(Ws, conModelo);
        if (conModelo)
            MostrarTablaPrevision();
        else
            MostrarHistorico(AdvStringGridPrevision, Ws);
        dibujar();
        Estado->Cargados(Ws, SesionActual.DemandaSerie());
    } else {
        TablaConPrevision = false;
        MostrarHistorico(AdvStringGridPrevision, Ws);
        PrepararGraficos(Ws, false)();
        Estado->Limpiar();
    }
    if (SesionActual.UltimaSeleccion().Ranking.empty())
        Seleccion->Vaciar();
    else
        Seleccion->Mostrar(SesionActual.UltimaSeleccion());
    Estado->TextoDatos(!TextoCargado.isEmpty() && Memo1->toPlainText() != TextoCargado);
}

// ---------------------------------------------------------------- start

void CargarTraducciones()
{
    const QString ruta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* qtbase = new QTranslator(qApp);
    if (qtbase->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"), ruta))
        QCoreApplication::installTranslator(qtbase);
    else
        delete qtbase;
}
