// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the tests of the main window's chart pages share: monthly data,
// a window with its charts, loading and finding a series.

#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/PaginasGraficos.h"

#include "Ayudas.h"
#include "AyudasGrafico.h"

#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <cmath>
#include <memory>

namespace prueba {

// A monthly text: n values from the given start, value(i) for i = 1..n, each
// with 15 significant digits.
template <class F>
inline QString Texto(int n, F valor, int anio = 2000, int mes = 1)
{
    const auto texto = [&](int i) { return QString::number(valor(i), 'g', 15); };
    return Mensual(n, texto, anio, mes);
}

// Seasonal with a trend: every model can fit it.
inline double ConEstacion(int i)
{
    return 100.0 + 2.0 * i + 15.0 * std::sin(i * 3.14159265358979 / 6.0) + (i % 5);
}

inline std::unique_ptr<TFormMain> Ventana()
{
    auto w = std::make_unique<TFormMain>();
    w->NombreSerie = QStringLiteral("serie");
    return w;
}

// What the forecast chart's drag tool tells as the user drags a history point.
inline void Arrastrado(TFormMain& w, int indice)
{
    emit w.findChild<tendora::PaginasGraficos*>()->puntoArrastrado(indice);
}

inline void Cargar(TFormMain& w, const QString& texto, int reserva = 0, int horizonte = 12)
{
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(horizonte);
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(texto);
    w.CargarDatos();
}

// The window on screen with the forecast chart's page in front.
inline bool MostrarGraficos(TFormMain& w)
{
    w.resize(1000, 700);
    w.show();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    return QTest::qWaitForWindowExposed(&w);
}

inline void Calcular(TFormMain& w, int modelo)
{
    w.SesionActual.SeleccionarModelo(modelo);
    w.EjecutarCalculo(true);
}

// A window with the text loaded and the model calculated.
inline std::unique_ptr<TFormMain> Calculada(const QString& texto, int modelo, int reserva = 0, int horizonte = 12)
{
    auto w = Ventana();
    Cargar(*w, texto, reserva, horizonte);
    Calcular(*w, modelo);
    return w;
}

inline tendora::SerieGrafico* S(tendora::Grafico* g, const char* nombre)
{
    tendora::SerieGrafico* s = g->Serie(QString::fromLatin1(nombre));
    if (!s)
        qFatal("no series %s", nombre);
    return s;
}

inline bool Igual(const QColor& a, const QColor& b)
{
    return a.rgb() == b.rgb();
}

} // namespace prueba
