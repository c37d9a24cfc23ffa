// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of a random session on the charts and grids: point drags,
// zoom, the legend, the pop-up menus with their exports, printing and the
// chart editor, and the window's size.
#include "SesionVentana.h"

#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

#include <QAction>
#include <QCheckBox>
#include <cmath>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace tendora;

namespace prueba {

// A history point of the forecast chart dragged up or down, through the
// pop-up item that turns the tool on.
void Sesion::Arrastrar()
{
    // A text edited shorter since the load no longer holds the point's line.
    if (!op_.conocidos.Con("arrastre") && textoEditado_)
        return;
    MostrarPagina("TabSheetGrafico");
    auto* p = Control<Grafico>(w_, "ChartP");
    auto* modificar = Control<QAction>(w_, "Modificarpuntosdehistrico1");
    if (!modificar->isChecked()) {
        MenuEn(p, "PopupMenuGraf");
        modificar->trigger();
    }
    Asentar();
    SerieGrafico* datos = p->Serie(QStringLiteral("SeriesDatos"));
    if (!datos || datos->count() == 0 || datos->SeriesQt().isEmpty())
        return;
    const int i = az_.Entero(0, datos->count() - 1);
    const PuntoGrafico& punto = datos->Puntos()[size_t(i)];
    if (punto.nulo)
        return;
    const QPointF c = p->chart()->mapToPosition(QPointF(punto.x, punto.y), datos->SeriesQt().constFirst());
    const int dy = az_.Uno<int>({-400, -120, -40, -7, 6, 35, 150, 600});
    Anotar(QStringLiteral("Arrastrar el punto %1 (%2) %3 px").arg(i + 1).arg(punto.y).arg(dy));
    // A point the chart cannot place (a window too small for a plot) is not there to take.
    if (!std::isfinite(c.x()) || !std::isfinite(c.y()) || std::abs(c.x()) > 1e6 || std::abs(c.y()) > 1e6) {
        registro_[lineaPaso_] += QStringLiteral(" (fuera del gráfico: %1, %2)").arg(c.x()).arg(c.y());
        return;
    }
    const QPoint desde = p->mapFromScene(p->chart()->mapToScene(c));
    QWidget* vista = p->viewport();
    QTest::mousePress(vista, Qt::LeftButton, {}, desde);
    QTest::mouseMove(vista, desde + QPoint(0, dy / 2));
    QTest::mouseMove(vista, desde + QPoint(0, dy));
    QTest::mouseRelease(vista, Qt::LeftButton, {}, desde + QPoint(0, dy));
    // After a refused reload the point stays held, for the user to try again.
    if (w_->PuntoArrastrado != -1 && errores_.size() == erroresPaso_)
        Fallo(QStringLiteral("el arrastre quedó a medias: PuntoArrastrado = %1").arg(w_->PuntoArrastrado));
}

void Sesion::QuitarComparativas()
{
    MostrarPagina("TabSheetGraficoComp");
    auto* pc = Control<Grafico>(w_, "ChartPC");
    // Now and then one series only, through its legend entry.
    if (pc->NumSeries() > 1 && az_.Moneda(0.5)) {
        const int n = pc->NumSeries();
        const QRectF r = pc->RectEntradaLeyenda(pc->SerieEn(az_.Entero(1, n - 1)));
        Anotar(QStringLiteral("Eliminar esta serie (de %1)").arg(n - 1));
        if (r.isEmpty())
            return; // the legend left out for lack of room
        MenuEn(pc, "PopupMenuGraf", r.center().toPoint());
        if (Control<QAction>(w_, "Eliminarestaserie1")->isEnabled()) {
            Disparar("Eliminarestaserie1");
            if (pc->NumSeries() != n - 1)
                Fallo(QStringLiteral("«Eliminar esta serie» dejó %1 series de %2").arg(pc->NumSeries()).arg(n));
        }
        return;
    }
    MenuEn(pc, "PopupMenuGraf");
    Disparar("Eliminarseriescomparativas1");
    if (Control<Grafico>(w_, "ChartPC")->NumSeries() != 1)
        Fallo(QStringLiteral("quedan series comparativas tras quitarlas"));
}

void Sesion::BorrarTabla()
{
    const char* nombre = az_.Moneda(0.5) ? "AdvSGErrAjuste" : "AdvSGErrAcierto";
    Anotar(QStringLiteral("Borrar tabla %1").arg(QLatin1String(nombre)));
    auto* g = Control<Rejilla>(w_, nombre);
    MenuEn(g, "PopupMenuTabla");
    Disparar("Variartabla1");
    if (Etiquetadas(g) != 0)
        Fallo(QStringLiteral("%1 conserva filas tras \"Borrar tabla\"").arg(QLatin1String(nombre)));
}

void Sesion::BorrarErrores()
{
    Disparar("Borrarinformacinsobreerrores1");
}

// Undo, or redo now and then, from the Edición menu.
void Sesion::Deshacer()
{
    const bool rehacer = az_.Moneda(0.3);
    const char* accion = rehacer ? "Rehacer1" : "Deshacer1";
    if (!Control<QAction>(w_, accion)->isEnabled())
        return;
    Anotar(Control<QAction>(w_, accion)->text().remove(QLatin1Char('&')));
    Disparar(accion);
    // The text put back may differ from the history put back with it.
    textoEditado_ = true;
}

// The work saved as a session and opened again through the menu: the data
// text and the log come back as they were.
void Sesion::GuardarYAbrirSesion()
{
    const QString texto = Control<QPlainTextEdit>(w_, "Memo1")->toPlainText();
    const long long corridas = w_->SesionActual.Corridas().Tamano();
    planFichero_ = true;
    filtroPlan_.clear();
    rutaPlan_ = salida_.filePath(QStringLiteral("sesion%1.tendora").arg(hechos_));
    Anotar(QStringLiteral("Guardar y abrir la sesión %1 (%2 corridas)").arg(rutaPlan_).arg(corridas));
    Disparar("Guardarsesion1");
    Disparar("Abrirsesion1");
    planFichero_ = false;
    if (Control<QPlainTextEdit>(w_, "Memo1")->toPlainText() != texto)
        Fallo(QStringLiteral("la sesión abierta no trae el texto de datos guardado"));
    if (w_->SesionActual.Corridas().Tamano() != corridas)
        Fallo(QStringLiteral("la sesión abierta trae %1 corridas, no %2")
                  .arg(w_->SesionActual.Corridas().Tamano())
                  .arg(corridas));
}

void Sesion::ExportarTabla()
{
    static const char* const rejillas[] = {"AdvStringGridPrevision", "StringGridCE", "AdvSGErrAjuste",
                                           "AdvSGErrAcierto"};
    const char* nombre = rejillas[az_.Entero(0, 3)];
    // A grid on a disabled page (the C.E. table of a model without coefficients) is out of the user's reach.
    if (!Control<Rejilla>(w_, nombre)->isEnabled()) {
        Anotar(QStringLiteral("Exportar %1: su página está desactivada").arg(QLatin1String(nombre)));
        return;
    }
    const QStringList filtros = Rejilla::FiltrosExportacion();
    static const char* const ext[] = {".txt", ".csv", ".doc", ".html", ".xls", ".xlsx"};
    const int k = az_.Entero(0, int(filtros.size()) - 1);
    planFichero_ = true;
    filtroPlan_ = filtros.at(k);
    // With or without the extension: the dialog adds the filter's.
    const QString base = salida_.filePath(QStringLiteral("tabla%1").arg(hechos_));
    rutaPlan_ = az_.Moneda(0.08) ? QString() : base + (az_.Moneda(0.5) ? QString::fromLatin1(ext[k]) : QString());
    Anotar(QStringLiteral("Exportar %1 como %2").arg(QLatin1String(nombre), filtroPlan_));
    MenuEn(Control<Rejilla>(w_, nombre), "PopupMenuTabla");
    Disparar("Exportartabla1");
    planFichero_ = false;
    if (!rutaPlan_.isEmpty())
        ComprobarFichero(base + QString::fromLatin1(ext[k]));
}

void Sesion::ExportarGrafico()
{
    static const char* const graficos[] = {"ChartP", "ChartPA", "ChartPC", "ChartCE"};
    static const char* const paginas[] = {"TabSheetGrafico", "TabSheetGraficoAcum", "TabSheetGraficoComp",
                                          "TabSheetGraficoCE"};
    static const char* const ext[] = {".bmp", ".png", ".svg", ".pdf"};
    static const char* const filtros[] = {"Bitmaps (*.bmp)", "Imagen PNG (*.png)", "Imagen SVG (*.svg)",
                                          "Documento PDF (*.pdf)"};
    const int g = az_.Entero(0, 3), k = az_.Entero(0, 3);
    if (!Control<Grafico>(w_, graficos[g])->isEnabled()) {
        Anotar(QStringLiteral("Exportar %1: su página está desactivada").arg(QLatin1String(graficos[g])));
        return;
    }
    planFichero_ = true;
    filtroPlan_ = QString::fromLatin1(filtros[k]);
    const QString ruta = salida_.filePath(QStringLiteral("grafico%1%2").arg(hechos_).arg(QLatin1String(ext[k])));
    rutaPlan_ = az_.Moneda(0.08) ? QString() : ruta;
    Anotar(QStringLiteral("Exportar %1 como %2").arg(QLatin1String(graficos[g]), filtroPlan_));
    if (az_.Moneda(0.7))
        MostrarPagina(paginas[g]);
    MenuEn(Control<Grafico>(w_, graficos[g]), "PopupMenuGraf");
    Disparar("Exportargrfico1");
    planFichero_ = false;
    if (!rutaPlan_.isEmpty())
        ComprobarFichero(ruta);
}

void Sesion::Guardar()
{
    planFichero_ = true;
    filtroPlan_.clear();
    rutaPlan_ = az_.Moneda(0.1) ? QString() : salida_.filePath(QStringLiteral("datos%1.txt").arg(hechos_));
    Anotar(QStringLiteral("Guardar %1").arg(rutaPlan_));
    if (az_.Moneda(0.5))
        Disparar("Guardar1");
    else
        Control<QToolButton>(w_, "ToolButton8")->click();
    planFichero_ = false;
    // The user's own text: whatever it says is theirs.
    if (!rutaPlan_.isEmpty())
        ComprobarFichero(rutaPlan_, false);
}

// The check items of both pop-up menus, and the grids' own small commands.
void Sesion::MarcasMenu()
{
    switch (az_.Entero(0, 3)) {
    case 0:
        Anotar(QStringLiteral("Mostrar min max"));
        MenuEn(Control<Rejilla>(w_, "AdvSGErrAjuste"), "PopupMenuTabla");
        Disparar("Mostrarminmax1");
        break;
    case 1:
        Anotar(QStringLiteral("Autoajustar"));
        MenuEn(Control<Rejilla>(w_, "AdvStringGridPrevision"), "PopupMenuTabla");
        Disparar("Autoajustar1");
        break;
    case 2:
        Anotar(QStringLiteral("Mostrar ajuste"));
        MenuEn(Control<Grafico>(w_, az_.Moneda(0.5) ? "ChartP" : "ChartPC"), "PopupMenuGraf");
        Disparar("Mostrarajuste1");
        break;
    default:
        Anotar(QStringLiteral("Modificar puntos de histórico"));
        MenuEn(Control<Grafico>(w_, "ChartP"), "PopupMenuGraf");
        Disparar("Modificarpuntosdehistrico1");
        break;
    }
}

// A rectangle dragged left to right zooms in; right to left zooms out again.
void Sesion::Zoom()
{
    static const char* const graficos[] = {"ChartP", "ChartPA", "ChartPC"};
    static const char* const paginas[] = {"TabSheetGrafico", "TabSheetGraficoAcum", "TabSheetGraficoComp"};
    const int k = az_.Entero(0, 2);
    MostrarPagina(paginas[k]);
    auto* g = Control<Grafico>(w_, graficos[k]);
    const QRect r = g->viewport()->rect();
    QPoint a(az_.Entero(0, r.width()), az_.Entero(0, r.height()));
    QPoint b(az_.Entero(0, r.width()), az_.Entero(0, r.height()));
    Anotar(QStringLiteral("Zoom en %1 de (%2,%3) a (%4,%5)")
               .arg(QLatin1String(graficos[k]))
               .arg(a.x())
               .arg(a.y())
               .arg(b.x())
               .arg(b.y()));
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, a);
    QTest::mouseMove(g->viewport(), (a + b) / 2);
    QTest::mouseMove(g->viewport(), b);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, b);
}

// A legend entry clicked: its series hides or shows again.
void Sesion::Leyenda()
{
    static const char* const graficos[] = {"ChartP", "ChartPA", "ChartPC"};
    static const char* const paginas[] = {"TabSheetGrafico", "TabSheetGraficoAcum", "TabSheetGraficoComp"};
    const int k = az_.Entero(0, 2);
    MostrarPagina(paginas[k]);
    auto* g = Control<Grafico>(w_, graficos[k]);
    if (g->NumSeries() == 0)
        return;
    SerieGrafico* s = g->SerieEn(az_.Entero(0, g->NumSeries() - 1));
    const QRectF r = g->RectEntradaLeyenda(s);
    Anotar(QStringLiteral("Leyenda de %1: %2").arg(QLatin1String(graficos[k]), s->objectName()));
    if (r.isEmpty())
        return;
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, QPoint(int(r.left()) + 6, int(r.center().y())));
}

// The window as small or as large as a user drags it.
void Sesion::Tamano()
{
    const QSize t = az_.Moneda(0.2) ? QSize(az_.Entero(120, 300), az_.Entero(90, 200))
                                    : QSize(az_.Entero(500, 1600), az_.Entero(350, 1000));
    Anotar(QStringLiteral("Tamaño %1x%2").arg(t.width()).arg(t.height()));
    w_->resize(t);
    QTest::qWait(20);
}

// The chart editor, with random titles, ranges and switches, then closed.
void Sesion::EditarGrafico()
{
    static const char* const graficos[] = {"ChartP", "ChartPA", "ChartPC", "ChartCE"};
    const int k = az_.Entero(0, 3);
    Anotar(QStringLiteral("Editar %1").arg(QLatin1String(graficos[k])));
    MenuEn(Control<Grafico>(w_, graficos[k]), "PopupMenuGraf");
    Disparar("Editargrfico1");
}

void Sesion::Imprimir()
{
    if (az_.Moneda(0.5)) {
        static const char* const rejillas[] = {"AdvStringGridPrevision", "StringGridCE", "AdvSGErrAjuste",
                                               "AdvSGErrAcierto"};
        const char* nombre = rejillas[az_.Entero(0, 3)];
        Anotar(QStringLiteral("Imprimir %1").arg(QLatin1String(nombre)));
        MenuEn(Control<Rejilla>(w_, nombre), "PopupMenuTabla");
        Disparar("Imprimirtabla1");
    } else {
        static const char* const graficos[] = {"ChartP", "ChartPA", "ChartPC", "ChartCE"};
        const char* nombre = graficos[az_.Entero(0, 3)];
        Anotar(QStringLiteral("Imprimir %1").arg(QLatin1String(nombre)));
        MenuEn(Control<Grafico>(w_, nombre), "PopupMenuGraf");
        Disparar("Imprimir1");
    }
}

// The automatic forecast by its key, its menu item or its button. Every
// model is fitted at rolling origins: on a huge history that takes tens of
// seconds, past the watchdog, and is left out.
void Sesion::Automatica()
{
    if (w_->Ws.TotalDatos > 20000) {
        Anotar(QStringLiteral("Previsión automática (omitida: %1 datos)").arg(w_->Ws.TotalDatos));
        return;
    }
    switch (az_.Entero(0, 2)) {
    case 0: Control<QToolButton>(w_, "TBAutomatica")->click(); break;
    case 1: Disparar("Previsionautomatica1"); break;
    default:
        Anotar(QStringLiteral("Previsión automática (Ctrl+F9)"));
        if (!Tecla(Qt::Key_F9, Qt::ControlModifier))
            Disparar("Previsionautomatica1");
        break;
    }
}

void Sesion::Intervalos()
{
    MostrarPagina("TabSheetModelo");
    QTest::mouseClick(Control<QCheckBox>(w_, "CBIntervalos"), Qt::LeftButton);
}

// A double click on a row of the automatic forecast's ranking.
void Sesion::AplicarCandidato()
{
    auto* g = Control<Rejilla>(w_, "SGSeleccion");
    MostrarPagina("TabSheetSeleccion");
    const int filas = g->model()->rowCount();
    if (filas == 0 || w_->Ws.TotalDatos > 20000)
        return;
    const int fila = az_.Entero(0, filas - 1);
    Anotar(QStringLiteral("Aplicar el candidato de la fila %1").arg(fila + 1));
    g->scrollTo(g->model()->index(fila, 1));
    QTest::qWait(5);
    const QRect r = g->visualRect(g->model()->index(fila, 1));
    if (r.isEmpty())
        return;
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace prueba
