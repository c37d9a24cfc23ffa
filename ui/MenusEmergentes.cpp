// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenusEmergentes.h"

#include "ui/Grafico.h"
#include "ui/Rejilla.h"
#include "data/Numeros.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>
#include <algorithm>
#include <utility>

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

template <class T>
bool Contiene(const std::vector<T*>& v, const T* x)
{
    return std::find(v.begin(), v.end(), x) != v.end();
}

} // namespace

MenusEmergentes::MenusEmergentes(QWidget* dueno, Destinos d) : QObject(dueno), destinos_(std::move(d))
{
    PopupMenuTabla = new QMenu(dueno);
    PopupMenuTabla->setObjectName("PopupMenuTabla");
    Exportartabla1 = NuevaAccion(PopupMenuTabla, "Exportartabla1", QStringLiteral("Exportar tabla"));
    Imprimirtabla1 = NuevaAccion(PopupMenuTabla, "Imprimirtabla1", QStringLiteral("Imprimir tabla"));
    Autoajustar1 = NuevaAccion(PopupMenuTabla, "Autoajustar1", QStringLiteral("Autoajustar"));
    Variartabla1 = NuevaAccion(PopupMenuTabla, "Variartabla1", QStringLiteral("Borrar tabla"));
    Mostrarminmax1 = NuevaMarca(PopupMenuTabla, "Mostrarminmax1", QStringLiteral("Mostrar min max"), false);
    PopupMenuTabla->addSeparator();
    Copiar1 = NuevaAccion(PopupMenuTabla, "Copiar1", QStringLiteral("Copiar"));
    // Shown as a reminder only: the grid with the focus handles Ctrl+C itself.
    Copiar1->setShortcut(QKeySequence::Copy);
    Copiar1->setShortcutContext(Qt::WidgetShortcut);
    Copiar1->setShortcutVisibleInContextMenu(true);
    SeparadorAplicar = PopupMenuTabla->addSeparator();
    Aplicarestaconfiguracin1 =
        NuevaAccion(PopupMenuTabla, "Aplicarestaconfiguracin1", QStringLiteral("Aplicar esta configuración"));

    PopupMenuGraf = new QMenu(dueno);
    PopupMenuGraf->setObjectName("PopupMenuGraf");
    Exportargrfico1 = NuevaAccion(PopupMenuGraf, "Exportargrfico1", QStringLiteral("Exportar"));
    Imprimir1 = NuevaAccion(PopupMenuGraf, "Imprimir1", QStringLiteral("Imprimir"));
    Editargrfico1 = NuevaAccion(PopupMenuGraf, "Editargrfico1", QStringLiteral("Editar"));
    // The last three show only on the chart they work on.
    Modificarpuntosdehistrico1 =
        NuevaMarca(PopupMenuGraf, "Modificarpuntosdehistrico1", QStringLiteral("Modificar puntos de histórico"), false);
    Mostrarajuste1 = NuevaMarca(PopupMenuGraf, "Mostrarajuste1", QStringLiteral("Mostrar ajuste"), true);
    Eliminarseriescomparativas1 =
        NuevaAccion(PopupMenuGraf, "Eliminarseriescomparativas1", QStringLiteral("Eliminar series comparativas"));
    Eliminarestaserie1 = NuevaAccion(PopupMenuGraf, "Eliminarestaserie1", QStringLiteral("Eliminar esta serie"));

    connect(Exportartabla1, &QAction::triggered, this, &MenusEmergentes::exportarTabla);
    connect(Imprimirtabla1, &QAction::triggered, this, &MenusEmergentes::imprimirTabla);
    connect(Autoajustar1, &QAction::triggered, this, &MenusEmergentes::autoajustar);
    connect(Variartabla1, &QAction::triggered, this, &MenusEmergentes::borrarTabla);
    connect(Aplicarestaconfiguracin1, &QAction::triggered, this, &MenusEmergentes::aplicarConfiguracion);
    connect(Copiar1, &QAction::triggered, this, [this] {
        if (rejillaMenu_)
            rejillaMenu_->Copiar();
    });
    // The menu flips the check mark itself; the highlighting follows the mark.
    connect(Mostrarminmax1, &QAction::toggled, this, [this](bool si) {
        for (Rejilla* g : destinos_.tablasErrores)
            g->SetMostrarMinMax(si);
    });
    for (Rejilla* g : destinos_.rejillas) {
        g->SetMenuContextual(PopupMenuTabla);
        connect(g, &Rejilla::MenuPedido, this, &MenusEmergentes::PopupMenuTablaPopup);
    }

    for (Grafico* g : destinos_.graficos) {
        g->PonerMenu(PopupMenuGraf);
        connect(g, &Grafico::menuSolicitado, this,
                [this](Grafico* grafico, const QPoint& global) { PopupMenuGrafPopup(grafico, global); });
    }
    connect(Exportargrfico1, &QAction::triggered, this, &MenusEmergentes::exportarGrafico);
    connect(Imprimir1, &QAction::triggered, this, &MenusEmergentes::imprimirGrafico);
    connect(Editargrfico1, &QAction::triggered, this, &MenusEmergentes::editarGrafico);
    // The menu flips the check marks itself; the charts follow the marks.
    connect(Modificarpuntosdehistrico1, &QAction::toggled, this, &MenusEmergentes::arrastreActivado);
    connect(Mostrarajuste1, &QAction::toggled, this, &MenusEmergentes::ajusteMostrado);
    connect(Eliminarseriescomparativas1, &QAction::triggered, this, &MenusEmergentes::eliminarComparativas);
    // The series is looked up again: its position may have changed, or it may be gone.
    connect(Eliminarestaserie1, &QAction::triggered, this, [this] {
        const int posicion = destinos_.comparacion && serieMenu_ ? destinos_.comparacion->Posicion(serieMenu_) : -1;
        serieMenu_ = nullptr;
        if (posicion >= 1)
            emit eliminarComparativa(posicion);
    });
}

void MenusEmergentes::PopupMenuTablaPopup(Rejilla* grid)
{
    rejillaMenu_ = grid;
    const bool error = Contiene(destinos_.tablasErrores, grid);
    Variartabla1->setVisible(error);
    SeparadorAplicar->setVisible(error);
    Aplicarestaconfiguracin1->setVisible(error);
}

void MenusEmergentes::PopupMenuGrafPopup(Grafico* chart)
{
    graficoMenu_ = chart;
    Modificarpuntosdehistrico1->setVisible(chart == destinos_.prevision);
    Mostrarajuste1->setVisible(chart == destinos_.comparacion);
    Eliminarseriescomparativas1->setVisible(chart == destinos_.comparacion);
    Eliminarestaserie1->setVisible(chart == destinos_.comparacion);
    Eliminarestaserie1->setEnabled(false);
    Eliminarestaserie1->setText(QStringLiteral("Eliminar esta serie"));
    serieMenu_ = nullptr;
}

void MenusEmergentes::PopupMenuGrafPopup(Grafico* chart, const QPoint& global)
{
    PopupMenuGrafPopup(chart);
    if (!chart || chart != destinos_.comparacion)
        return;
    SerieGrafico* s = chart->SerieBajo(chart->viewport()->mapFromGlobal(global));
    // The first series is the history, not a comparison.
    if (!s || chart->Posicion(s) < 1)
        return;
    serieMenu_ = s;
    Eliminarestaserie1->setEnabled(true);
    // Its title, so the user sees which one goes; "&" would be taken for a shortcut.
    QString titulo = TextoLegible(s->name(), 40);
    titulo.replace(QLatin1Char('&'), QStringLiteral("&&"));
    Eliminarestaserie1->setText(QStringLiteral("Eliminar esta serie «") + titulo + QStringLiteral("»"));
}

bool MenusEmergentes::AjusteVisible() const
{
    return Mostrarajuste1->isChecked();
}

} // namespace tendora
