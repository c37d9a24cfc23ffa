// Saving the data text, the date columns, the pop-up menus of the grids and
// charts (export, printing, chart editor) and the "Ayuda" menu.
#include "MainUnit.h"

#include "AboutU.h"
#include "Ayuda.h"
#include "Carga.h"
#include "EscrituraSegura.h"
#include "Grafico.h"
#include "Modal.h"
#include "MenusEmergentes.h"
#include "Numeros.h"
#include "PaginasGraficos.h"
#include "Rejilla.h"
#include "SelecAMUnit.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMarginsF>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextCursor>
#include <QUrl>

#include <stdexcept>

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

void PrepararDialogos(TFormMain& w)
{
    if (!w.SaveDialog1)
        w.SaveDialog1 = NuevoDialogoGuardar(&w, "SaveDialog1", QStringLiteral("Guardar como"),
                                            Rejilla::FiltrosExportacion(), QStringLiteral("txt"));
    if (!w.SavePictureDialog1)
        w.SavePictureDialog1 = NuevoDialogoGuardar(&w, "SavePictureDialog1", QStringLiteral("Guardar imagen como"),
                                                   {QStringLiteral("Bitmaps (*.bmp)")}, QStringLiteral("bmp"));
}

// The file chosen in a save dialog, or an empty text when it was cancelled.
QString Elegir(QFileDialog* d)
{
    if (EjecutarModal(d) != QDialog::Accepted)
        return QString();
    const QStringList elegidos = d->selectedFiles();
    return elegidos.isEmpty() ? QString() : elegidos.constFirst();
}

// Index 1.. of the filter left selected; 0 when none matches.
int IndiceFiltro(const QFileDialog* d)
{
    return static_cast<int>(d->nameFilters().indexOf(d->selectedNameFilter())) + 1;
}

} // namespace

// ---------------------------------------------------------------- files

void TFormMain::GuardarDatos()
{
    PrepararDialogos(*this);
    const QString ruta = Elegir(SaveDialog1);
    if (ruta.isEmpty())
        return;
    // Plain text whatever the filter says: the data text is not a table.
    QString texto;
    for (const QString& linea : LineasDeTexto(Memo1->toPlainText())) {
        texto += linea;
        texto += QLatin1Char('\n');
    }
    EscribirFicheroSeguro(ruta, texto.toUtf8());
}

void TFormMain::Guardar1Click()
{
    Proteger([this] { GuardarDatos(); });
}

void TFormMain::ToolButton8Click()
{
    Proteger([this] { GuardarDatos(); });
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
    PrepararDialogos(*this);
    if (PopupMenuTabla)
        return;

    const MenusEmergentes m = MenusEmergentes::Crear(this);
    PopupMenuTabla = m.PopupMenuTabla;
    Exportartabla1 = m.Exportartabla1;
    Imprimirtabla1 = m.Imprimirtabla1;
    Autoajustar1 = m.Autoajustar1;
    Variartabla1 = m.Variartabla1;
    Mostrarminmax1 = m.Mostrarminmax1;
    PopupMenuGraf = m.PopupMenuGraf;
    Exportargrfico1 = m.Exportargrfico1;
    Imprimir1 = m.Imprimir1;
    Editargrfico1 = m.Editargrfico1;
    Modificarpuntosdehistrico1 = m.Modificarpuntosdehistrico1;
    Mostrarajuste1 = m.Mostrarajuste1;
    Eliminarseriescomparativas1 = m.Eliminarseriescomparativas1;

    connect(Exportartabla1, &QAction::triggered, this, &TFormMain::Exportartabla1Click);
    connect(Imprimirtabla1, &QAction::triggered, this, &TFormMain::Imprimirtabla1Click);
    connect(Autoajustar1, &QAction::triggered, this, &TFormMain::Autoajustar1Click);
    connect(Variartabla1, &QAction::triggered, this, &TFormMain::Variartabla1Click);
    // The menu flips the check mark itself; the highlighting follows the mark.
    connect(Mostrarminmax1, &QAction::toggled, this, [this](bool si) {
        AdvSGErrAjuste->SetMostrarMinMax(si);
        AdvSGErrAcierto->SetMostrarMinMax(si);
    });
    for (Rejilla* g : {AdvStringGridPrevision, StringGridCE, AdvSGErrAjuste, AdvSGErrAcierto}) {
        g->SetMenuContextual(PopupMenuTabla);
        connect(g, &Rejilla::MenuPedido, this, &TFormMain::PopupMenuTablaPopup);
    }

    for (Grafico* g : {ChartP, ChartPA, ChartPC, ChartCE}) {
        g->PonerMenu(PopupMenuGraf);
        connect(g, &Grafico::menuSolicitado, this,
                [this](Grafico* grafico, const QPoint&) { PopupMenuGrafPopup(grafico); });
    }
    connect(Exportargrfico1, &QAction::triggered, this, &TFormMain::Exportargrfico1Click);
    connect(Imprimir1, &QAction::triggered, this, &TFormMain::Imprimir1Click);
    connect(Editargrfico1, &QAction::triggered, this, &TFormMain::Editargrfico1Click);
    // The menu flips the check marks itself; the charts follow the marks.
    connect(Modificarpuntosdehistrico1, &QAction::toggled, Graficos, &PaginasGraficos::ActivarArrastre);
    connect(Mostrarajuste1, &QAction::toggled, this, [this] { AplicarMostrarAjuste(); });
    connect(Eliminarseriescomparativas1, &QAction::triggered, this, &TFormMain::Eliminarseriescomparativas1Click);
    // Print margins, in per cent of the sheet: the forecast chart leaves
    // more room above and below.
    ChartP->PonerMargenesImpresion(QMarginsF(15.0, 22.0, 15.0, 22.0));
    for (Grafico* g : {ChartPA, ChartPC, ChartCE})
        g->PonerMargenesImpresion(QMarginsF(15.0, 15.0, 15.0, 15.0));
}

void TFormMain::CrearElementosGraficos()
{
    CrearSeriesGraficos();
    CrearMenusEmergentes();
}

void TFormMain::PopupMenuTablaPopup(Rejilla* grid)
{
    RejillaMenu = grid;
    Variartabla1->setVisible(grid == AdvSGErrAjuste || grid == AdvSGErrAcierto);
}

void TFormMain::PopupMenuGrafPopup(Grafico* chart)
{
    GraficoMenu = chart;
    Modificarpuntosdehistrico1->setVisible(chart == ChartP);
    Mostrarajuste1->setVisible(chart == ChartPC);
    Eliminarseriescomparativas1->setVisible(chart == ChartPC);
}

void TFormMain::ExportarTabla(Rejilla* grid)
{
    PrepararDialogos(*this);
    // The export starts from an empty name (the data text's name stays for "Guardar").
    if (auto* nombre = SaveDialog1->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        nombre->clear();
    const QString ruta = Elegir(SaveDialog1);
    if (ruta.isEmpty())
        return;
    grid->Exportar(ruta, IndiceFiltro(SaveDialog1));
}

void TFormMain::ExportarGrafico(Grafico* chart)
{
    PrepararDialogos(*this);
    const QString ruta = Elegir(SavePictureDialog1);
    if (ruta.isEmpty())
        return;
    chart->ExportarBMP(ruta);
}

void TFormMain::Exportartabla1Click()
{
    if (RejillaMenu)
        Proteger([this] { ExportarTabla(RejillaMenu); });
}

void TFormMain::Imprimirtabla1Click()
{
    if (RejillaMenu)
        Proteger([this] { RejillaMenu->VistaPrevia(); });
}

void TFormMain::Autoajustar1Click()
{
    if (RejillaMenu)
        AutoajustarTabla(RejillaMenu);
}

void TFormMain::Variartabla1Click()
{
    if (RejillaMenu)
        BorrarTabla(RejillaMenu);
}

void TFormMain::Mostrarminmax1Click()
{
    if (Mostrarminmax1)
        Mostrarminmax1->toggle();
}

void TFormMain::Exportargrfico1Click()
{
    if (GraficoMenu)
        Proteger([this] { ExportarGrafico(GraficoMenu); });
}

void TFormMain::Imprimir1Click()
{
    if (GraficoMenu)
        Proteger([this] { GraficoMenu->VistaPreviaImpresion(this); });
}

void TFormMain::Editargrfico1Click()
{
    if (GraficoMenu)
        Proteger([this] { GraficoMenu->EditarGrafico(this); });
}

// ---------------------------------------------------------------- help

void TFormMain::Manualdeusuario1Click()
{
    std::function<bool(const QUrl&)> abrir;
    if (AbrirAyuda)
        abrir = [this](const QUrl& url) { return AbrirAyuda(url.toLocalFile()); };
    AbrirManual(
        this, DirPrograma, [this](const QString& texto) { MostrarAviso(texto); }, abrir);
}

void TFormMain::Acercade1Click()
{
    if (!AboutBox)
        AboutBox = new TAboutBox(this);
    EjecutarModal(AboutBox);
}
