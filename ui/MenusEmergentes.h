#pragma once
// The two pop-up menus: PopupMenuTabla for the four grids and PopupMenuGraf
// for the four charts, with every item in its order. The window hangs them on
// its controls and connects the items to its commands.
class QAction;
class QMenu;
class QWidget;

namespace tendora {

struct MenusEmergentes {
    QMenu* PopupMenuTabla = nullptr;
    QAction* Exportartabla1 = nullptr;
    QAction* Imprimirtabla1 = nullptr;
    QAction* Autoajustar1 = nullptr;
    QAction* Variartabla1 = nullptr;
    QAction* Mostrarminmax1 = nullptr; // checkable, off

    QMenu* PopupMenuGraf = nullptr;
    QAction* Exportargrfico1 = nullptr;
    QAction* Imprimir1 = nullptr;
    QAction* Editargrfico1 = nullptr;
    QAction* Modificarpuntosdehistrico1 = nullptr; // checkable, off
    QAction* Mostrarajuste1 = nullptr; // checkable, on
    QAction* Eliminarseriescomparativas1 = nullptr;

    // Both menus, owned by dueno.
    static MenusEmergentes Crear(QWidget* dueno);
};

} // namespace tendora
