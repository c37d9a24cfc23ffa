#include "MenusEmergentes.h"

#include <QAction>
#include <QMenu>
#include <QString>

namespace tendora {

namespace {

QAction* NuevaAccion(QMenu* menu, const char* nombre, const QString& texto)
{
    QAction* a = menu->addAction(texto);
    a->setObjectName(QLatin1String(nombre));
    return a;
}

QAction* NuevaMarca(QMenu* menu, const char* nombre, const QString& texto, bool marcada)
{
    QAction* a = NuevaAccion(menu, nombre, texto);
    a->setCheckable(true);
    a->setChecked(marcada);
    return a;
}

} // namespace

MenusEmergentes MenusEmergentes::Crear(QWidget* dueno)
{
    MenusEmergentes m;

    m.PopupMenuTabla = new QMenu(dueno);
    m.PopupMenuTabla->setObjectName("PopupMenuTabla");
    m.Exportartabla1 = NuevaAccion(m.PopupMenuTabla, "Exportartabla1", QStringLiteral("Exportar tabla"));
    m.Imprimirtabla1 = NuevaAccion(m.PopupMenuTabla, "Imprimirtabla1", QStringLiteral("Imprimir tabla"));
    m.Autoajustar1 = NuevaAccion(m.PopupMenuTabla, "Autoajustar1", QStringLiteral("Autoajustar"));
    m.Variartabla1 = NuevaAccion(m.PopupMenuTabla, "Variartabla1", QStringLiteral("Borrar tabla"));
    m.Mostrarminmax1 = NuevaMarca(m.PopupMenuTabla, "Mostrarminmax1", QStringLiteral("Mostrar min max"), false);

    m.PopupMenuGraf = new QMenu(dueno);
    m.PopupMenuGraf->setObjectName("PopupMenuGraf");
    m.Exportargrfico1 = NuevaAccion(m.PopupMenuGraf, "Exportargrfico1", QStringLiteral("Exportar"));
    m.Imprimir1 = NuevaAccion(m.PopupMenuGraf, "Imprimir1", QStringLiteral("Imprimir"));
    m.Editargrfico1 = NuevaAccion(m.PopupMenuGraf, "Editargrfico1", QStringLiteral("Editar"));
    // The last three show only on the chart they work on (the window decides as the menu opens).
    m.Modificarpuntosdehistrico1 = NuevaMarca(m.PopupMenuGraf, "Modificarpuntosdehistrico1",
                                              QStringLiteral("Modificar puntos de histórico"), false);
    m.Mostrarajuste1 = NuevaMarca(m.PopupMenuGraf, "Mostrarajuste1", QStringLiteral("Mostrar ajuste"), true);
    m.Eliminarseriescomparativas1 =
        NuevaAccion(m.PopupMenuGraf, "Eliminarseriescomparativas1", QStringLiteral("Eliminar series comparativas"));
    return m;
}

} // namespace tendora
