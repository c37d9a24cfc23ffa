// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving the data text (also a file dropped on the window), the
// date columns, the pop-up menus of the grids and charts (export, printing,
// chart editor) and the "Ayuda" menu.
#include "app/MainUnit.h"

#include "app/Aplicacion.h"

#include "ui/AboutU.h"
#include "ui/Ayuda.h"
#include "app/BarraEstado.h"
#include "app/DialogoUnit.h"
#include "data/Carga.h"
#include "data/EscrituraSegura.h"
#include "data/FicheroEntrada.h"
#include "ui/Grafico.h"
#include "ui/Modal.h"
#include "ui/MenusEmergentes.h"
#include "data/Numeros.h"
#include "ui/PaginaSeleccion.h"
#include "ui/PaginasGraficos.h"
#include "ui/Rejilla.h"
#include "app/SelecAMUnit.h"

#include <QDir>
#include <QTextDocument>
#include <QMimeData>
#include <QDropEvent>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QApplication>
#include <QPushButton>
#include <QMessageBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextCursor>
#include <QToolTip>
#include <QUrl>

#include <stdexcept>
#include <utility>

using namespace tendora;

namespace {

// "Archivo de texto (*.txt)" gives "txt".
QString ExtensionDeFiltro(const QString& filtro)
{
    static const QRegularExpression patron(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch m = patron.match(filtro);
    return m.hasMatch() ? m.captured(1) : QString();
}

QFileDialog* NuevoDialogoGuardar(QWidget* dueno, const char* nombre, const QString& titulo, const QStringList& filtros,
                                 const QString& extension)
{
    auto* d = new QFileDialog(dueno, titulo);
    d->setObjectName(QLatin1String(nombre));
    // Qt's own dialog on every platform: same behaviour everywhere, and tests can drive it.
    d->setOption(QFileDialog::DontUseNativeDialog, true);
    // An existing file is replaced without a question.
    d->setOption(QFileDialog::DontConfirmOverwrite, true);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setNameFilters(filtros);
    d->setDefaultSuffix(extension);
    // A name typed without extension gets the one of the filter in use, so an
    // export to "tabla" with the Excel filter is not left as "tabla.txt".
    QObject::connect(d, &QFileDialog::filterSelected, d, [d](const QString& filtro) {
        const QString ext = ExtensionDeFiltro(filtro);
        if (!ext.isEmpty())
            d->setDefaultSuffix(ext);
    });
    return d;
}

// The file chosen in a save dialog, or an empty text when it was cancelled.
QString Elegir(QFileDialog* d)
{
    if (EjecutarModal(d) != QDialog::Accepted)
        return QString();
    const QStringList elegidos = d->selectedFiles();
    if (elegidos.isEmpty())
        return QString();
    TFormMain::RecordarCarpeta(d, elegidos.constFirst());
    return elegidos.constFirst();
}

// Index 1.. of the filter left selected; 0 when none matches.
int IndiceFiltro(const QFileDialog* d)
{
    return static_cast<int>(d->nameFilters().indexOf(d->selectedNameFilter())) + 1;
}

// The one local file a drop carries; empty when it carries anything else.
QString FicheroSoltado(const QMimeData* datos)
{
    if (!datos || !datos->hasUrls() || datos->urls().size() != 1 || !datos->urls().constFirst().isLocalFile())
        return QString();
    const QString ruta = datos->urls().constFirst().toLocalFile();
    return QFileInfo(ruta).isFile() ? ruta : QString();
}

} // namespace

void TFormMain::PrepararDialogos()
{
    if (!SaveDialog1) {
        SaveDialog1 = NuevoDialogoGuardar(this, "SaveDialog1", QStringLiteral("Guardar como"),
                                          Rejilla::FiltrosExportacion(), QStringLiteral("txt"));
        PonerCarpeta(SaveDialog1, QString());
    }
    if (!SavePictureDialog1) {
        SavePictureDialog1 =
            NuevoDialogoGuardar(this, "SavePictureDialog1", QStringLiteral("Guardar imagen como"),
                                {QStringLiteral("Imagen PNG (*.png)"), QStringLiteral("Imagen SVG (*.svg)"),
                                 QStringLiteral("Documento PDF (*.pdf)"), QStringLiteral("Bitmaps (*.bmp)")},
                                QStringLiteral("png"));
        PonerCarpeta(SavePictureDialog1, QString());
    }
    // Both open where the data file is, and follow it when another is opened;
    // in between they stay where the user left them.
    if (!FicheroDatos.isEmpty()) {
        const QString carpeta = QFileInfo(FicheroDatos).absolutePath();
        for (QFileDialog* d : {SaveDialog1, SavePictureDialog1})
            if (d->property("carpetaDatos").toString() != carpeta && QFileInfo(carpeta).isDir()) {
                d->setDirectory(carpeta);
                d->setProperty("carpetaDatos", carpeta);
            }
    }
}

// ---------------------------------------------------------------- files

void TFormMain::dragEnterEvent(QDragEnterEvent* e)
{
    if (!FicheroSoltado(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* e)
{
    const QString ruta = FicheroSoltado(e->mimeData());
    if (ruta.isEmpty())
        return;
    e->acceptProposedAction();
    Proteger([this, ruta] { AbrirFichero(ruta); });
}

bool TFormMain::eventFilter(QObject* objeto, QEvent* e)
{
    if (Memo1 && objeto == Memo1->viewport()) {
        if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
            auto* d = static_cast<QDragMoveEvent*>(e);
            if (!FicheroSoltado(d->mimeData()).isEmpty()) {
                d->acceptProposedAction();
                return true;
            }
        } else if (e->type() == QEvent::Drop) {
            auto* d = static_cast<QDropEvent*>(e);
            if (!FicheroSoltado(d->mimeData()).isEmpty()) {
                dropEvent(d);
                return true;
            }
        }
    }
    if (objeto == Archivo1 && e->type() == QEvent::ToolTip) {
        const QAction* a = Archivo1->actionAt(static_cast<QHelpEvent*>(e)->pos());
        if (a == Abrir1 || a == Guardar1) {
            QToolTip::hideText();
            return true;
        }
    }
    return QMainWindow::eventFilter(objeto, e);
}

void TFormMain::AbrirFichero(const QString& ruta)
{
    Deshacible(QStringLiteral("Abrir"), [this, &ruta] { AbrirTexto(ruta); });
}

void TFormMain::AbrirTexto(const QString& ruta)
{
    // Read before changing anything, so a failure leaves Memo1 and the names
    // alone; a pipe, a device or a huge file is refused before it is read.
    const QByteArray bytes = LeerFicheroEntrada(ruta);
    QString texto = DecodificarTexto(bytes);
    // One line break per line in the editor, whatever the file used.
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    FicheroDatos = ruta;
    LabelFichero->setText(QStringLiteral("     ") + QDir::toNativeSeparators(ruta));
    NombreSerie = NombreSerieDe(ruta);
    PonerTextoDatos(texto);
    Estado->Abierto(ruta);
    AnadirReciente(ruta);
}

void TFormMain::PonerTextoDatos(const QString& texto)
{
    // Straight into the document: the editor's own setPlainText then gives
    // every block the default character format again, a sixth of the time
    // a long file takes to open. The document's setPlainText leaves no undo.
    QTextDocument* doc = Memo1->document();
    // A scroll bar that appears after the fill narrows the editor, and the
    // narrower width lays out every block again. Shown before, it is put
    // back to "as needed" on a document that already needs it.
    const Qt::ScrollBarPolicy politica = Memo1->verticalScrollBarPolicy();
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    doc->setPlainText(texto);
    Memo1->setVerticalScrollBarPolicy(politica);
    doc->setModified(false);
    TextoGuardado = Memo1->toPlainText();
    ActualizarTitulo();
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->ensureCursorVisible();
}

void TFormMain::Guardar1Click()
{
    Proteger([this] { GuardarDatos(); });
}

bool TFormMain::GuardarDatos()
{
    PrepararDialogos();
    const QString ruta = Elegir(SaveDialog1);
    if (ruta.isEmpty())
        return false;
    // Plain text whatever the filter says: the data text is not a table.
    const QString actual = Memo1->toPlainText();
    QString texto;
    for (const QString& linea : LineasDeTexto(actual)) {
        texto += linea;
        texto += QLatin1Char('\n');
    }
    EscribirFicheroSeguro(ruta, texto.toUtf8());
    TextoGuardado = actual;
    ActualizarTitulo();
    Estado->Guardado(ruta);
    AnadirReciente(ruta);
    return true;
}

void TFormMain::ActualizarTitulo()
{
    // The length first: copying out a long text on every keystroke would make typing sluggish.
    const bool cambiado =
        Memo1->document()->characterCount() != TextoGuardado.size() + 1 || Memo1->toPlainText() != TextoGuardado;
    QString t = QStringLiteral("Tendora");
    if (!FicheroDatos.isEmpty())
        t += QStringLiteral(" — ") + QFileInfo(FicheroDatos).fileName();
    if (cambiado)
        t += QLatin1Char('*');
    if (windowTitle() != t)
        setWindowTitle(t);
}

void TFormMain::closeEvent(QCloseEvent* e)
{
    if (Memo1->toPlainText() == TextoGuardado) {
        RecordarVentana();
        e->accept();
        return;
    }
    QMessageBox pregunta(QMessageBox::Question, QApplication::applicationName(),
                         QStringLiteral("¿Guardar los cambios de los datos?"), QMessageBox::NoButton, this);
    pregunta.setObjectName("PreguntaGuardar");
    QPushButton* si = pregunta.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    QPushButton* no = pregunta.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    QPushButton* cancelar = pregunta.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    pregunta.setDefaultButton(si);
    pregunta.setEscapeButton(cancelar);
    EjecutarModal(&pregunta);
    bool cerrar = pregunta.clickedButton() == no;
    if (pregunta.clickedButton() == si) {
        // A save cancelled or failed keeps the window open, with the text.
        try {
            cerrar = GuardarDatos();
        } catch (const ErrorEscritura& error) {
            MostrarDialogo(this, TFormDialogo::Aviso, QString::fromUtf8(error.what()));
        } catch (const std::exception& error) {
            MostrarErrorEstandar(error);
        }
    }
    if (cerrar)
        e->accept();
    else
        e->ignore();
    if (cerrar)
        RecordarVentana();
}

void TFormMain::AnadirAnioMes(int anio, int mes)
{
    const QString original = Memo1->toPlainText();
    const QStringList lineas = LineasDeTexto(original);
    if (lineas.isEmpty())
        return;
    QString texto;
    texto.reserve(original.size() + lineas.size() * 9);
    for (qsizetype i = 0; i < lineas.size(); ++i) {
        if (i > 0)
            texto += QLatin1Char('\n');
        texto += TextoEntero(anio);
        texto += QLatin1Char('\t');
        texto += TextoEntero(mes);
        texto += QLatin1Char('\t');
        texto += lineas[i];
        if (++mes > 12) {
            mes = 1;
            ++anio;
        }
    }
    if (original.endsWith(QLatin1Char('\n')) || original.endsWith(QLatin1Char('\r')))
        texto += QLatin1Char('\n');
    // One edit, so that the user can take it back with Ctrl+Z.
    QTextCursor cursor(Memo1->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(texto);
    cursor.endEditBlock();
}

void TFormMain::AadircolumnasdeAoyMes1Click()
{
    Proteger([this] {
        TFormSelecAM dialogo(this);
        if (EjecutarModal(&dialogo) == QDialog::Accepted)
            AnadirAnioMes(dialogo.SEA->value(), dialogo.SEM->value());
    });
}

// ---------------------------------------------------------------- pop-up menus

void TFormMain::CrearMenusEmergentes()
{
    // The save dialogs are made when first needed: each one starts reading
    // a folder in the background, work a start-up should not pay for.
    MenusEmergentes::Destinos d;
    d.rejillas = {AdvStringGridPrevision, StringGridCE, TablasErr.Ajuste(), TablasErr.Acierto(), Seleccion->Grid()};
    d.tablasErrores = {TablasErr.Ajuste(), TablasErr.Acierto()};
    Graficos->DestinosMenu(d);
    Menus = new MenusEmergentes(this, std::move(d));

    // Each item acts on the grid or the chart its menu was last opened on.
    connect(Menus, &MenusEmergentes::exportarTabla, this, [this] {
        Rejilla* g = Menus->RejillaMenu();
        if (!g)
            return;
        Proteger([this, g] {
            PrepararDialogos();
            // The export starts from an empty name (the data text's name stays for "Guardar").
            if (auto* nombre = SaveDialog1->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                nombre->clear();
            const QString ruta = Elegir(SaveDialog1);
            if (ruta.isEmpty())
                return;
            g->Exportar(ruta, Rejilla::FormatoExportacion(ruta, IndiceFiltro(SaveDialog1)));
            Estado->TablaExportada(ruta);
        });
    });
    connect(Menus, &MenusEmergentes::imprimirTabla, this, [this] {
        if (Rejilla* g = Menus->RejillaMenu())
            Proteger([g] { g->VistaPrevia(); });
    });
    connect(Menus, &MenusEmergentes::autoajustar, this, [this] {
        if (Rejilla* g = Menus->RejillaMenu())
            TablasErr.AutoajustarTabla(g);
    });
    connect(Menus, &MenusEmergentes::borrarTabla, this, [this] {
        if (Rejilla* g = Menus->RejillaMenu())
            Deshacible(QStringLiteral("Borrar tabla"), [g] { TablasErrores::BorrarTabla(g); });
    });
    connect(Menus, &MenusEmergentes::aplicarConfiguracion, this, [this] {
        if (Rejilla* g = Menus->RejillaMenu())
            AplicarConfiguracion(g, g->FilaMenu());
    });
    connect(Menus, &MenusEmergentes::exportarGrafico, this, [this] {
        Grafico* g = Menus->GraficoMenu();
        if (!g)
            return;
        Proteger([this, g] {
            PrepararDialogos();
            const QString ruta = Elegir(SavePictureDialog1);
            if (ruta.isEmpty())
                return;
            g->Exportar(ruta);
            Estado->GraficoExportado(ruta);
        });
    });
    connect(Menus, &MenusEmergentes::imprimirGrafico, this, [this] {
        if (Grafico* g = Menus->GraficoMenu())
            Proteger([this, g] { g->VistaPreviaImpresion(this); });
    });
    connect(Menus, &MenusEmergentes::editarGrafico, this, [this] {
        if (Grafico* g = Menus->GraficoMenu())
            Proteger([this, g] { g->EditarGrafico(this); });
    });
    connect(Menus, &MenusEmergentes::arrastreActivado, Graficos, &PaginasGraficos::ActivarArrastre);
    connect(Menus, &MenusEmergentes::ajusteMostrado, this, [this] { AplicarMostrarAjuste(); });
    connect(Menus, &MenusEmergentes::eliminarComparativas, this, [this] {
        Deshacible(QStringLiteral("Eliminar series comparativas"), [this] { Graficos->EliminarSeriesComparativas(); });
    });
    connect(Menus, &MenusEmergentes::eliminarComparativa, this, [this](int posicion) {
        Deshacible(QStringLiteral("Eliminar esta serie"),
                   [this, posicion] { Graficos->EliminarSerieComparativa(posicion); });
    });
}

// ---------------------------------------------------------------- help

void TFormMain::Manualdeusuario1Click()
{
    std::function<bool(const QUrl&)> abrir;
    if (AbrirAyuda)
        abrir = [this](const QUrl& url) { return AbrirAyuda(url.toLocalFile()); };
    AbrirManual(
        this, DirPrograma, [this](const QString& texto) { MostrarDialogo(this, TFormDialogo::Aviso, texto); }, abrir);
}

void TFormMain::Acercade1Click()
{
    if (!AboutBox)
        AboutBox = new TAboutBox(this);
    EjecutarModal(AboutBox);
}
