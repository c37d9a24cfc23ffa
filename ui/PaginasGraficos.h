// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four chart pages: their charts and series, filling them from a forecast
// table, the comparison series and the chart side of dragging a history point.
// The window keeps the workspace and the drag state; this class only draws.
#include <QColor>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "models/Aritmetica.h"
#include "models/Automatico.h"
#include "models/Espacio.h"
#include "ui/Grafico.h"
#include "ui/MenusEmergentes.h"

class QWidget;

namespace tendora {

class Grafico;

// The running sum of the data (the cumulative chart) overflows at row fila,
// which is also the line of the data text it was loaded from.
class ErrorSumaDatos : public ErrorAritmetico {
public:
    explicit ErrorSumaDatos(int fila);
    int Fila() const { return m_fila; }

private:
    int m_fila;
};
struct PuntoGrafico;

class PaginasGraficos : public QObject {
    Q_OBJECT
public:
    // The charts go into the four given pages.
    PaginasGraficos(QWidget* paginaP, QWidget* paginaPA, QWidget* paginaPC, QWidget* paginaCE, QObject* parent);

    // What the drawing needs to know of the window besides the table.
    struct Hechos {
        int item = 0; // model selected on the model page
        int horizonte = 0; // values to forecast
        bool prevNeg = false; // negative forecasts allowed
        QString nombreSerie; // for the titles
        // The forecast's prediction intervals, one per forecast row
        // NumDatos+1..NumDatos+horizonte; empty: no fan.
        std::vector<Intervalo> intervalos;
        // An applied automatic candidate's own forecast of those rows, when
        // the model's column is not it (a combination); empty: none.
        std::vector<double> prevision;
    };

    // Series, titles, marker lines and the drag tool; true when made now,
    // false when they were there already.
    bool CrearSeries();
    // Legend titles of the two auxiliary series for a model; false before CrearSeries.
    bool NombrarSeriesModelo(int item);
    // Every point of e is worked out now (an overflow in a running sum or the
    // band throws here); the step returned puts them on the charts and cannot fail.
    std::function<void()> Preparar(const Espacio& e, bool ConModelo, const Hechos& h);

    // The fan of ChartP: the 80 % and 95 % bands of forecast steps
    // numDatos+1.., each a legend entry; none (and no entries) when empty.
    // With them, an automatic candidate's own forecast ("Prev. automática")
    // when the model's is not it; none when empty.
    void PonerIntervalos(int numDatos, const std::vector<Intervalo>& intervalos, const std::vector<double>& prevision);

    // Copies the forecast series of ChartP onto ChartPC under that legend title.
    void AnadirSerieComparativa(const QString& etiqueta);
    void EliminarSeriesComparativas();
    // The comparison series as they are (undo and sessions keep them), and
    // kept ones put back in place of those on the chart.
    std::vector<Grafico::SerieGuardada> SeriesComparativas() const;
    void PonerSeriesComparativas(const std::vector<Grafico::SerieGuardada>& series);
    // Removes the comparison series at posicion (1, 2, ...) only; the others
    // keep their colours and titles. False when there is none there.
    bool EliminarSerieComparativa(int posicion);
    // Hides (ocultar) or shows the fitted part of each comparison series; the
    // last horizonte points always show.
    void AplicarMostrarAjuste(int horizonte, bool ocultar);
    // Colour of a new comparison series when ChartPC then holds k series (2..10); invalid otherwise.
    // After a single series was removed, the first of these colours (then of
    // the palette) that no comparison series wears is taken instead.
    static QColor ColoresComparativa(int k);
    // Colour of the series after those (k >= 11): a palette of dark, clearly
    // different colours, repeated when it runs out.
    static QColor ColorPaleta(int k);
    // Bottom-axis label of a row: year and month joined by "-".
    static QString EtiquetaPunto(double anio, double mes);

    void ActivarArrastre(bool activo);
    // Where point indice of the history series now is; none when the series
    // was refilled since the drag and that point is gone.
    std::optional<PuntoGrafico> PuntoDatos(int indice) const;

    // The charts, for the pop-up menu that hangs on them.
    void DestinosMenu(MenusEmergentes::Destinos& d) const;

signals:
    void puntoArrastrado(int indice);
    void ratonSoltado();

private:
    Grafico* ChartP = nullptr;
    Grafico* ChartPA = nullptr;
    Grafico* ChartPC = nullptr;
    Grafico* ChartCE = nullptr;
    // Program names of the comparison series run on, unique after a removal.
    int numeroComparativa_ = 0;
    bool huecoComparativa_ = false; // a single comparison series was removed since the last clearing
};

} // namespace tendora
