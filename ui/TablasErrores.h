// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two error tables, views of the log of every run: one fit row per
// calculation in AdvSGErrAjuste, one accuracy row per calculation with
// held-back values in AdvSGErrAcierto, each labelled with the model, its
// parameters and its origin.
#include <QColor>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "models/RegistroCorridas.h"
#include "ui/Rejilla.h"

class QWidget;

namespace tendora {

class TablasErrores {
public:
    TablasErrores();
    ~TablasErrores();
    TablasErrores(const TablasErrores&) = delete;
    TablasErrores& operator=(const TablasErrores&) = delete;

    // Both grids with their headers, widths and colours, each into its page
    // (the page lays it out).
    void Crear(QWidget* paginaAjuste, QWidget* paginaAcierto);
    // The grids become views of the log (it must outlive them, or be let go
    // by Mostrar(nullptr)): every run added from now on gets its rows, and
    // the log emptied empties both.
    void Mostrar(RegistroCorridas* registro);

    // A run of the log: its fit row and, when it measured held-back values,
    // its accuracy row, each labelled with the model, its values and origin.
    // Over a log the rows are its last entry's (the log tells of it here).
    void Anadir(const Corrida& c);
    // The label of a run's rows, and the run a label keeps: the values its
    // model reads (the others at their defaults), the horizon, the
    // negative-forecast switch and the origin.
    static EtiquetaCelda EtiquetaDe(const Corrida& c);
    static Corrida CorridaDe(const EtiquetaCelda& e);

    static void AnadirFilaTabla(Rejilla* grid);
    static void BorrarTabla(Rejilla* grid);
    // The error tables fit their label column too: labels with parameters and "T-n" are long.
    void AutoajustarTabla(Rejilla* grid);
    void BorrarTablas();
    void AutoajustarTablas();

    // Background of an error table's best/worst cell in column col (a
    // ColumnaError); none for ME, whose best value is the one nearest 0.
    static QColor ColorMinMax(int col, bool maximo);

    // The label of a row: code, the parameters as the model read them, origin.
    static QString CodigoModelo(int item);
    static QString SufijoOrigen(int puntosSinUsar);
    // The values model item reads in p, as a label writes them, joined by ";".
    static QString TextoParametros(int item, const Parametros& p);
    static QString EtiquetaModelo(const QString& codigo, const QString& parametros, const QString& sufijo);

    // Grid row of the fit table the next run writes (AnadirFilaTabla fills an
    // empty last row first).
    int FilaSiguiente() const;
    // Grid row of the smallest MSE of the fit table from grid row desde on;
    // the first of equals; -1 when none of them has an MSE.
    int FilaMenorMSE(int desde) const;
    // Selects a row of the fit table and scrolls it into view.
    void SeleccionarFila(int fila);

    Rejilla* Ajuste() const { return ajuste_; }
    Rejilla* Acierto() const { return acierto_; }

    // A long run of rows (an experiment): room for filasMas more in each
    // table, and the views told of new rows in blocks rather than one by one.
    // Ends (telling the views) when destroyed.
    class Bloque {
    public:
        Bloque(TablasErrores& t, long long filasAjuste, long long filasAcierto);
        ~Bloque();
        Bloque(const Bloque&) = delete;
        Bloque& operator=(const Bloque&) = delete;
        // The views learn of the rows so far (before the window paints).
        void Anunciar();

    private:
        TablasErrores& t_;
    };

    // The label of a log entry's rows.
    static EtiquetaCelda EtiquetaDe(const ClaveCorrida& k);

private:
    class Fuente;
    void NuevaFila(Rejilla* grid, const EtiquetaCelda& etiqueta, const MedidasCorrida& medidas);

    QPointer<Rejilla> ajuste_;
    QPointer<Rejilla> acierto_;
    int bloques_ = 0; // Bloque objects alive: rows come by the thousand
    RegistroCorridas* registro_ = nullptr;
    std::unique_ptr<Fuente> fuenteAjuste_, fuenteAcierto_;
};

} // namespace tendora
