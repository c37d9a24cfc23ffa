// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two pop-up menus: PopupMenuTabla for the four grids and PopupMenuGraf
// for the four charts, with every item in its order. They hang on their
// controls, remember the one they last opened on and show there only the
// items that act on it; the window connects the commands to the signals.
#include <QObject>
#include <QPointer>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace tendora {

class Grafico;
class Rejilla;
class SerieGrafico;

class MenusEmergentes : public QObject {
    Q_OBJECT
public:
    // Where the menus hang, by what their items do there.
    struct Destinos {
        std::vector<Rejilla*> rejillas; // every grid
        std::vector<Rejilla*> tablasErrores; // of those, the ones "Borrar tabla" and "Mostrar min max" act on
        std::vector<Grafico*> graficos; // every chart
        Grafico* prevision = nullptr; // the one whose history points can be dragged
        Grafico* comparacion = nullptr; // the one with the comparison series
    };

    // Both menus, owned by dueno, hung on the controls of d.
    MenusEmergentes(QWidget* dueno, Destinos d);

    // Run as a menu opens on a control: remember it and show the items it gets.
    void PopupMenuTablaPopup(Rejilla* grid);
    void PopupMenuGrafPopup(Grafico* chart);
    // As above, opened at a point of the screen: the comparison series there,
    // if any, is the one "Eliminar esta serie" removes.
    void PopupMenuGrafPopup(Grafico* chart, const QPoint& global);
    // The grid and the chart on which their menu was last opened.
    Rejilla* RejillaMenu() const { return rejillaMenu_; }
    Grafico* GraficoMenu() const { return graficoMenu_; }

    // The check mark of "Mostrar ajuste".
    bool AjusteVisible() const;

signals:
    void exportarTabla();
    void imprimirTabla();
    void autoajustar();
    void borrarTabla();
    void aplicarConfiguracion(); // on the row the menu was opened on (Rejilla::FilaMenu)
    void exportarGrafico();
    void imprimirGrafico();
    void editarGrafico();
    void arrastreActivado(bool activo);
    void ajusteMostrado(bool visible);
    void eliminarComparativas();
    // The comparison series at this position of its chart (1, 2, ...).
    void eliminarComparativa(int posicion);

private:
    Destinos destinos_;
    Rejilla* rejillaMenu_ = nullptr;
    Grafico* graficoMenu_ = nullptr;
    QPointer<SerieGrafico> serieMenu_; // the comparison series under the mouse

    QMenu* PopupMenuTabla = nullptr;
    QAction* Exportartabla1 = nullptr;
    QAction* Imprimirtabla1 = nullptr;
    QAction* Autoajustar1 = nullptr;
    QAction* Variartabla1 = nullptr;
    QAction* Mostrarminmax1 = nullptr; // checkable, off
    QAction* Copiar1 = nullptr;
    QAction* SeparadorAplicar = nullptr;
    QAction* Aplicarestaconfiguracin1 = nullptr; // error tables only

    QMenu* PopupMenuGraf = nullptr;
    QAction* Exportargrfico1 = nullptr;
    QAction* Imprimir1 = nullptr;
    QAction* Editargrfico1 = nullptr;
    QAction* Modificarpuntosdehistrico1 = nullptr; // checkable, off
    QAction* Mostrarajuste1 = nullptr; // checkable, on
    QAction* Eliminarseriescomparativas1 = nullptr;
    QAction* Eliminarestaserie1 = nullptr;
};

} // namespace tendora
