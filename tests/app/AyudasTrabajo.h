// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window with some work in it, and what the user sees of that work.
#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include "app/MainUnit.h"
#include "ui/Grafico.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

namespace prueba {

using namespace tendora;

using Ventana = std::unique_ptr<TFormMain>;

// What the user can see of the work: the data text, the history loaded, the
// model page, both error tables, the forecast table, the ranking, the
// comparison series.
inline QStringList Vista(const Ventana& w)
{
    QStringList r;
    r << Control<QPlainTextEdit>(w, "Memo1")->toPlainText();
    r << w->FicheroDatos << w->windowTitle();
    const Espacio& e = w->SesionActual.Datos();
    r << QString::number(e.TotalDatos) << QString::number(e.TotalDatos > 0 ? e.V(e.TotalDatos, ColDatos) : 0.0);
    r << QString::number(w->SesionActual.ModeloSeleccionado()) << QString::number(w->SesionActual.Horizonte())
      << QString::number(w->SesionActual.PuntosSinUsar()) << QString::number(w->SesionActual.Corridas().Tamano());
    for (const char* tabla : {"AdvSGErrAjuste", "AdvSGErrAcierto", "AdvStringGridPrevision"}) {
        Rejilla* g = Control<Rejilla>(w, tabla);
        QStringList filas;
        for (int f = 1; f < g->RowCount(); ++f)
            filas << g->Celda(0, f) + QLatin1Char('|') + g->Celda(g->ColCount() - 1, f);
        r << filas.join(QLatin1Char(';'));
    }
    Rejilla* ranking = Control<Rejilla>(w, "SGSeleccion");
    for (int f = 1; f < ranking->RowCount(); ++f)
        for (int c = 0; c < ranking->ColCount(); ++c)
            r << ranking->Celda(c, f);
    auto* pc = Control<Grafico>(w, "ChartPC");
    for (int k = 1; k < pc->NumSeries(); ++k)
        r << pc->SerieEn(k)->name() + QLatin1Char(':') + QString::number(pc->SerieEn(k)->count());
    return r;
}

inline void Pulsar(const Ventana& w, const char* accion)
{
    QAction* a = Control<QAction>(w, accion);
    QVERIFY2(a->isEnabled(), accion);
    a->trigger();
    QTest::qWait(1); // let the charts repaint
}

// Opens the pop-up menu of a control as the user does, then picks the item.
inline void Menu(const Ventana& w, const char* pagina, const char* control, const char* menu, const char* item)
{
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, pagina));
    QTest::qWait(1);
    ClicDerecho(Control<QAbstractScrollArea>(w, control));
    Control<QMenu>(w, menu)->hide();
    Control<QAction>(w, item)->trigger();
}

// Loaded, three runs logged (one with values held back), a comparison series.
inline Ventana Trabajo(const QString& texto)
{
    Ventana w(CrearVentanas());
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        return nullptr;
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(texto);
    Control<QToolButton>(w, "TBTransferir")->click();
    Pulsar(w, "Caluclarprevisin1");
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(12);
    Pulsar(w, "Caluclarprevisin1");
    Pulsar(w, "Compararmodelos1");
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(0);
    Pulsar(w, "Caluclarprevisin1");
    return w;
}

const QString kSerie = Mensual(
    60, [](int i) { return 100 + (i % 12) * 4 + i; }, 2015);

} // namespace prueba
