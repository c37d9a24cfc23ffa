// SPDX-License-Identifier: GPL-3.0-or-later
// The chart pages of the main window: what loading and a calculation draw,
// through the real window.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <memory>

#include "Grafico.h"
#include "MainUnit.h"
#include "Numeros.h"
#include "Rejilla.h"

#include "Ayudas.h"
#include "AyudasGraficosVentana.h"

using namespace tendora;
using namespace prueba;

class TstGraficosVentana : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(Espanol()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void inicio();
    void sinPreparar();
    void etiquetaPunto_data();
    void etiquetaPunto();
    void cargaSoloHistorico_data();
    void cargaSoloHistorico();
    void colorLima_data();
    void colorLima();
    void calculoDST();
    void bandaYSumas();
    void bandaSinNegativos_data();
    void bandaSinNegativos();
    void coeficientesUno();
    void desbordamientoNoToca();
    void seriesPorModelo_data();
    void seriesPorModelo();
    void auxiliaresSeOcultan();
    void leyendaPersiste();
};

void TstGraficosVentana::inicio()
{
    auto w = Ventana();
    QCOMPARE(Control<Grafico>(w, "ChartP")->Titulo(), QStringLiteral("Previsión"));
    QCOMPARE(Control<Grafico>(w, "ChartPA")->Titulo(), QStringLiteral("Previsión acumulada"));
    QCOMPARE(Control<Grafico>(w, "ChartPC")->Titulo(), QStringLiteral("Comparativa de Previsiones"));
    QCOMPARE(Control<Grafico>(w, "ChartCE")->Titulo(), QStringLiteral("Coeficiente estacional"));
    // Order and legend titles of the forecast chart; the band starts hidden.
    QCOMPARE(Control<Grafico>(w, "ChartP")->SerieEn(0)->objectName(), QStringLiteral("SeriesPrevision"));
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos")->name(), QStringLiteral("Datos"));
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SerieDesvPos")->name(), QStringLiteral("Desv. +"));
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg")->name(), QStringLiteral("Desv. -"));
    QVERIFY(!S(Control<Grafico>(w, "ChartP"), "SerieDesvPos")->isVisible());
    QVERIFY(!S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg")->isVisible());
    QCOMPARE(S(Control<Grafico>(w, "ChartPA"), "SeriesPrevCum")->name(), QStringLiteral("Previsión acum."));
    QCOMPARE(S(Control<Grafico>(w, "ChartPA"), "SeriesDatosCum")->name(), QStringLiteral("Datos acum."));
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(0)->objectName(), QStringLiteral("SeriesDatosComp"));
    QVERIFY(!Control<Grafico>(w, "ChartCE")->LeyendaVisible());
    QVERIFY(!Control<Grafico>(w, "ChartCE")->ZoomPermitido());
    // Only the forecast chart's marker line shows before the first drawing, at 0.
    QVERIFY(Control<Grafico>(w, "ChartP")->LineaVerticalActiva());
    QCOMPARE(Control<Grafico>(w, "ChartP")->LineaVerticalX(), 0.0);
    QVERIFY(!Control<Grafico>(w, "ChartPA")->LineaVerticalActiva());
    QVERIFY(!Control<Grafico>(w, "ChartPC")->LineaVerticalActiva());
    // The drag tool sits on the history series, inactive; the menu items' marks.
    QCOMPARE(Control<Grafico>(w, "ChartP")->SerieArrastre(), S(Control<Grafico>(w, "ChartP"), "SeriesDatos"));
    QVERIFY(!Control<Grafico>(w, "ChartP")->ArrastreActivo());
    QVERIFY(Control<QAction>(w, "Modificarpuntosdehistrico1")->isCheckable() &&
            !Control<QAction>(w, "Modificarpuntosdehistrico1")->isChecked());
    QVERIFY(Control<QAction>(w, "Mostrarajuste1")->isCheckable() && Control<QAction>(w, "Mostrarajuste1")->isChecked());
    QCOMPARE(Control<QAction>(w, "Modificarpuntosdehistrico1")->text(),
             QStringLiteral("Modificar puntos de histórico"));
    QCOMPARE(Control<QAction>(w, "Eliminarseriescomparativas1")->text(),
             QStringLiteral("Eliminar series comparativas"));
    QVERIFY(Control<QMenu>(w, "PopupMenuGraf")->actions().contains(Control<QAction>(w, "Mostrarajuste1")));
    QCOMPARE(Control<QToolButton>(w, "TBComparar")->toolTip(),
             QStringLiteral("Carga la previsión actual en la pestaña \"Gráfico Prev. comp.\""));
    // Items only where they act.
    w->PopupMenuGrafPopup(Control<Grafico>(w, "ChartPA"));
    QVERIFY(!Control<QAction>(w, "Modificarpuntosdehistrico1")->isVisible() &&
            !Control<QAction>(w, "Mostrarajuste1")->isVisible());
    w->PopupMenuGrafPopup(Control<Grafico>(w, "ChartPC"));
    QVERIFY(Control<QAction>(w, "Mostrarajuste1")->isVisible() &&
            Control<QAction>(w, "Eliminarseriescomparativas1")->isVisible());
    QCOMPARE(w->PuntoArrastrado, -1);
}

void TstGraficosVentana::sinPreparar()
{
    // A window whose charts were never set up still draws on loading; setting
    // them up afterwards adds the menu items without doubling a series.
    TFormMain w;
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Texto(24, [](int i) { return 30.0 + i; }));
    w.CargarDatos();
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    QCOMPARE(datos->count(), 24);
    w.CrearElementosGraficos();
    w.CrearElementosGraficos();
    QCOMPARE(Control<Grafico>(w, "ChartP")->NumSeries(), 6);
    QCOMPARE(Control<Grafico>(w, "ChartPA")->NumSeries(), 2);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
    QCOMPARE(Control<Grafico>(w, "ChartCE")->NumSeries(), 1);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos"), datos);
    int items = 0;
    for (QAction* a : Control<QMenu>(w, "PopupMenuGraf")->actions())
        items += a->objectName() == QLatin1String("Mostrarajuste1") ? 1 : 0;
    QCOMPARE(items, 1);
    // The export items of the menu are still there.
    QVERIFY(Control<QMenu>(w, "PopupMenuGraf")->actions().contains(Control<QAction>(w, "Exportargrfico1")));
}

void TstGraficosVentana::etiquetaPunto_data()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es_ES") << true;
    QTest::newRow("C") << false;
}

void TstGraficosVentana::etiquetaPunto()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    // By hand: no grouping in the year, one digit for months below 10.
    QCOMPARE(TFormMain::EtiquetaPunto(2010, 3), QStringLiteral("2010-3"));
    QCOMPARE(TFormMain::EtiquetaPunto(1999, 12), QStringLiteral("1999-12"));
}

void TstGraficosVentana::cargaSoloHistorico_data()
{
    QTest::addColumn<int>("reserva");
    QTest::addColumn<int>("linea");
    QTest::newRow("sin reserva") << 0 << 24;
    QTest::newRow("reserva 6") << 6 << 18;
}

void TstGraficosVentana::cargaSoloHistorico()
{
    QFETCH(int, reserva);
    QFETCH(int, linea);
    auto w = Ventana();
    Cargar(*w,
           Texto(
               24, [](int i) { return 20.0 + i; }, 2000, 11),
           reserva);

    // All 24 data points even with a hold-out: L = 18 + 12 covers them.
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    QCOMPARE(datos->count(), 24);
    SerieGrafico* cum = S(Control<Grafico>(w, "ChartPA"), "SeriesDatosCum");
    SerieGrafico* comp = S(Control<Grafico>(w, "ChartPC"), "SeriesDatosComp");
    QCOMPARE(cum->count(), 24);
    QCOMPARE(comp->count(), 24);
    double suma = 0.0;
    for (int i = 1; i <= 24; ++i) {
        suma += 20.0 + i; // running sum by recurrence
        const PuntoGrafico& p = datos->Puntos()[size_t(i - 1)];
        QCOMPARE(p.x, double(i));
        QCOMPARE(p.y, 20.0 + i);
        QCOMPARE(cum->Puntos()[size_t(i - 1)].y, suma);
        QCOMPARE(comp->Puntos()[size_t(i - 1)].y, 20.0 + i);
        QVERIFY(Igual(comp->Puntos()[size_t(i - 1)].color, Azul));
    }
    // Dates from November 2000: the first label and the turn of the year.
    QCOMPARE(datos->Puntos()[0].etiqueta, QStringLiteral("2000-11"));
    QCOMPARE(datos->Puntos()[2].etiqueta, QStringLiteral("2001-1"));
    for (const char* n : {"SeriesPrevision", "SeriesMediaMovil", "SeriesTendencia", "SerieDesvPos", "SerieDesvNeg"})
        QCOMPARE(S(Control<Grafico>(w, "ChartP"), n)->count(), 0);
    QCOMPARE(S(Control<Grafico>(w, "ChartPA"), "SeriesPrevCum")->count(), 0);
    QCOMPARE(S(Control<Grafico>(w, "ChartCE"), "SeriesCE")->count(), 0);
    for (Grafico* g : {Control<Grafico>(w, "ChartP"), Control<Grafico>(w, "ChartPA"), Control<Grafico>(w, "ChartPC")}) {
        QVERIFY(g->LineaVerticalActiva());
        QCOMPARE(g->LineaVerticalX(), double(linea));
    }
    QCOMPARE(Control<Grafico>(w, "ChartP")->Titulo(), QStringLiteral("Previsión (DST) : serie"));
    QCOMPARE(Control<Grafico>(w, "ChartPA")->Titulo(), QStringLiteral("Previsión acumulada (DST) : serie"));
    QCOMPARE(Control<Grafico>(w, "ChartPC")->Titulo(), QStringLiteral("Comparativa de Previsiones : serie"));
    QCOMPARE(Control<Grafico>(w, "ChartCE")->Titulo(), QStringLiteral("Coeficiente estacional : serie"));
}

void TstGraficosVentana::colorLima_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<bool>("lima");
    QTest::newRow("0") << 0.0 << true;
    QTest::newRow("10") << 10.0 << true;
    QTest::newRow("5,5") << 5.5 << true;
    QTest::newRow("10,5") << 10.5 << false;
    QTest::newRow("-1") << -1.0 << false;
}

void TstGraficosVentana::colorLima()
{
    QFETCH(double, valor);
    QFETCH(bool, lima);
    auto w = Ventana();
    Cargar(*w, Texto(24, [valor](int i) { return i == 3 ? valor : 50.0; }));
    const PuntoGrafico& p = S(Control<Grafico>(w, "ChartP"), "SeriesDatos")->Puntos()[2];
    QCOMPARE(p.y, valor);
    QVERIFY(Igual(p.color, lima ? Lima : Azul));
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos")->ColorPropio(2), lima);
    // Only the forecast chart marks them.
    QVERIFY(Igual(S(Control<Grafico>(w, "ChartPC"), "SeriesDatosComp")->Puntos()[2].color, Azul));
}

void TstGraficosVentana::calculoDST()
{
    auto w = Ventana();
    Cargar(*w, Texto(48, Estacional), 6, 12);
    w->SeleccionarModelo(ItemDST);
    w->EjecutarCalculo(true);
    const Espacio& e = w->Ws;
    const int L = e.NumDatos + 12;
    QCOMPARE(L, 54);

    SerieGrafico* prev = S(Control<Grafico>(w, "ChartP"), "SeriesPrevision");
    SerieGrafico* pos = S(Control<Grafico>(w, "ChartP"), "SerieDesvPos");
    SerieGrafico* neg = S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg");
    SerieGrafico* cum = S(Control<Grafico>(w, "ChartPA"), "SeriesPrevCum");
    QCOMPARE(prev->count(), L - e.FilaInicioPrev);
    QCOMPARE(pos->count(), prev->count());
    double suma = 0.0;
    for (int j = 0; j < prev->count(); ++j) {
        const int i = e.FilaInicioPrev + 1 + j;
        const double f = e.TablaPrev[size_t(i)][size_t(e.ColPrev)];
        suma += f;
        const PuntoGrafico& p = prev->Puntos()[size_t(j)];
        QCOMPARE(p.x, double(i));
        QCOMPARE(p.y, f);
        QVERIFY(Igual(p.color, Rojo));
        // The band and the running sum, worked from the table independently.
        QCOMPARE(pos->Puntos()[size_t(j)].y, (1.0 + e.DesvRelativa) * f);
        QCOMPARE(neg->Puntos()[size_t(j)].y, (1.0 - e.DesvRelativa) * f);
        QCOMPARE(cum->Puntos()[size_t(j)].y, suma);
    }
    // The 6 held-out points are still drawn.
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos")->count(), 48);
    QCOMPARE(Control<Grafico>(w, "ChartP")->LineaVerticalX(), 42.0);

    // Moving average and trend: DST's columns 6 and 8, only where flagged.
    SerieGrafico* mm = S(Control<Grafico>(w, "ChartP"), "SeriesMediaMovil");
    SerieGrafico* tend = S(Control<Grafico>(w, "ChartP"), "SeriesTendencia");
    QCOMPARE(mm->name(), QStringLiteral("Media Móvil"));
    QCOMPARE(tend->name(), QStringLiteral("Tendencia"));
    QVERIFY(mm->isVisible() && tend->isVisible());
    int nMM = 0, nT = 0;
    for (int i = 1; i <= L; ++i) {
        nMM += e.CeldaValida[size_t(i)][6] ? 1 : 0;
        nT += e.CeldaValida[size_t(i)][8] ? 1 : 0;
    }
    QVERIFY(nMM > 0);
    QCOMPARE(mm->count(), nMM);
    QCOMPARE(tend->count(), nT);
    QVERIFY(Igual(mm->Puntos()[0].color, QColor(0, 128, 0)));

    // Twelve bars from the coefficients, coloured by whether they pass 1.
    SerieGrafico* ce = S(Control<Grafico>(w, "ChartCE"), "SeriesCE");
    QCOMPARE(ce->count(), 12);
    for (int m = 1; m <= 12; ++m) {
        const PuntoGrafico& p = ce->Puntos()[size_t(m - 1)];
        QCOMPARE(p.etiqueta, QString::number(m));
        QCOMPARE(p.y, e.CoefEstacional[size_t(m)].Coeficiente);
        QVERIFY(Igual(p.color, p.y > 1.0 ? QColor(171, 216, 202) : QColor(244, 196, 151)));
    }
    // A seasonal series has coefficients on both sides of 1.
    QVERIFY(ce->ColorPropio(0));
}

void TstGraficosVentana::bandaYSumas()
{
    auto w = Ventana();
    Cargar(*w, Texto(36, Estacional));
    w->SeleccionarModelo(ItemNVS);
    w->EjecutarCalculo(true);
    Espacio& e = w->Ws;
    // Hand-set table: the fit from row 7, a forecast of 200 at row 7.
    e.FilaInicioPrev = 6;
    e.DesvRelativa = 0.1;
    e.TablaPrev[7][size_t(e.ColPrev)] = 200.0;
    w->DibujarGraficos(true);
    SerieGrafico* prev = S(Control<Grafico>(w, "ChartP"), "SeriesPrevision");
    QCOMPARE(prev->Puntos()[0].x, 7.0);
    QCOMPARE(prev->Puntos()[0].y, 200.0);
    // By hand: 1.1 * 200 and 0.9 * 200.
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SerieDesvPos")->Puntos()[0].y, 220.0);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg")->Puntos()[0].y, 180.0);
    // The forecast sum starts at row 7 alone; the data sum already holds seven values.
    QCOMPARE(S(Control<Grafico>(w, "ChartPA"), "SeriesPrevCum")->Puntos()[0].y, 200.0);
    double siete = 0.0;
    for (int i = 1; i <= 7; ++i)
        siete += e.TablaPrev[size_t(i)][4];
    QCOMPARE(S(Control<Grafico>(w, "ChartPA"), "SeriesDatosCum")->Puntos()[6].y, siete);
    QCOMPARE(prev->count(), 36 + 12 - 6);

    e.DesvRelativa = 0.0; // both band lines on the forecast
    w->DibujarGraficos(true);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SerieDesvPos")->Puntos()[0].y, 200.0);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg")->Puntos()[0].y, 200.0);
}

void TstGraficosVentana::bandaSinNegativos_data()
{
    QTest::addColumn<bool>("negativas"); // "Permitir previsiones negativas"
    QTest::newRow("not allowed") << false;
    QTest::newRow("allowed") << true;
}

// Spare parts whose three held-back months are 0: NVS forecasts 4 from row 21,
// sMAPE is 200 (by hand: 2 * |0 - 4| / (0 + 4) in every row), so the band
// reaches (1 - 2) * 4 = -4 below a forecast that cannot go below 0.
void TstGraficosVentana::bandaSinNegativos()
{
    QFETCH(bool, negativas);
    auto w = Ventana();
    const int v[24] = {0, 0, 3, 0, 0, 0, 5, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 6, 0, 0, 4, 0, 0, 0};
    Cargar(*w, Texto(24, [&](int i) { return double(v[i - 1]); }), 3, 12);
    w->SeleccionarModelo(ItemNVS);
    Control<QCheckBox>(w, "CBPrevNeg")->setChecked(negativas);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    // Any message would be answered and noted, not left hanging.
    QStringList avisos;
    QTimer contestar;
    connect(&contestar, &QTimer::timeout, [&avisos] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            if (auto* l = d->findChild<QLabel*>(QStringLiteral("Mensaje")))
                avisos << l->text();
            if (auto* b = d->findChild<QAbstractButton*>(QStringLiteral("BBAceptar")))
                b->click();
        }
    });
    contestar.start(5);
    QTest::mouseClick(w->findChild<QToolButton*>("TBCalcular"), Qt::LeftButton);
    QTest::qWait(20); // let it repaint
    QCOMPARE(avisos, QStringList());
    QCOMPARE(w->Ws.DesvRelativa, 2.0);

    const auto& prev = S(Control<Grafico>(w, "ChartP"), "SeriesPrevision")->Puntos();
    const auto& pos = S(Control<Grafico>(w, "ChartP"), "SerieDesvPos")->Puntos();
    const auto& neg = S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg")->Puntos();
    QCOMPARE(prev.size(), size_t(33 - w->Ws.FilaInicioPrev));
    QCOMPARE(neg.size(), prev.size());
    for (size_t j = 0; j < prev.size(); ++j) {
        const double f = prev[j].y;
        QCOMPARE(pos[j].y, 3.0 * f); // the upper edge as ever
        QCOMPARE(neg[j].y, negativas ? -f : 0.0);
    }
    // The forecasts after row 21: 4, the band's lower edge -4 or 0.
    QCOMPARE(prev.back().y, 4.0);
    QCOMPARE(neg.back().y, negativas ? -4.0 : 0.0);
    QCOMPARE(pos.back().y, 12.0);
}

void TstGraficosVentana::coeficientesUno()
{
    auto w = Ventana();
    Cargar(*w, Texto(24, Estacional));
    w->SeleccionarModelo(ItemNVS);
    w->EjecutarCalculo(true);
    w->Ws.CoefEstacional[3].Coeficiente = 1.0;
    w->Ws.CoefEstacional[4].Coeficiente = 1.0001;
    w->DibujarGraficos(true);
    SerieGrafico* ce = S(Control<Grafico>(w, "ChartCE"), "SeriesCE");
    QVERIFY(Igual(ce->Puntos()[2].color, QColor(244, 196, 151)));
    QVERIFY(Igual(ce->Puntos()[3].color, QColor(171, 216, 202)));
}

void TstGraficosVentana::desbordamientoNoToca()
{
    auto w = Ventana();
    Cargar(*w, Texto(24, [](int i) { return double(i); }));
    w->Ws.TablaPrev[1][4] = 1e308;
    w->Ws.TablaPrev[2][4] = 1e308;
    w->NombreSerie = QStringLiteral("otra");
    // The data sum overflows: an arithmetic error, and the charts keep their drawing.
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, w->DibujarGraficos(false));
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos")->Puntos()[0].y, 1.0);
    QCOMPARE(Control<Grafico>(w, "ChartP")->Titulo(), QStringLiteral("Previsión (DST) : serie"));
}

void TstGraficosVentana::seriesPorModelo_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("tituloMM");
    QTest::addColumn<int>("colMM");
    QTest::addColumn<QString>("tituloT");
    QTest::addColumn<int>("colT");
    // Which column holds the named quantity: the forecast table's headers.
    QTest::newRow("NVE") << int(ItemNVE) << QStringLiteral("Media Móvil") << 6 << QStringLiteral("Desestacional") << 8;
    QTest::newRow("DST") << int(ItemDST) << QStringLiteral("Media Móvil") << 6 << QStringLiteral("Tendencia") << 8;
    QTest::newRow("THT") << int(ItemTHT) << QStringLiteral("L") << 10 << QStringLiteral("LR") << 9;
    QTest::newRow("HLT") << int(ItemHLT) << QStringLiteral("Nivel") << 5 << QStringLiteral("Tendencia") << 6;
    QTest::newRow("H-W") << int(ItemHW) << QStringLiteral("N") << 9 << QStringLiteral("T") << 10;
}

void TstGraficosVentana::seriesPorModelo()
{
    QFETCH(int, item);
    QFETCH(QString, tituloMM);
    QFETCH(int, colMM);
    QFETCH(QString, tituloT);
    QFETCH(int, colT);
    auto w = Ventana();
    Cargar(*w, Texto(48, Estacional));
    w->SeleccionarModelo(item);
    w->EjecutarCalculo(true);
    QCOMPARE(w->Ws.ColMediaMovil, colMM);
    QCOMPARE(w->Ws.ColTendencia, colT);
    SerieGrafico* mm = S(Control<Grafico>(w, "ChartP"), "SeriesMediaMovil");
    SerieGrafico* tend = S(Control<Grafico>(w, "ChartP"), "SeriesTendencia");
    QCOMPARE(mm->name(), tituloMM);
    QCOMPARE(tend->name(), tituloT);
    QVERIFY(mm->isVisible() && tend->isVisible());
    // The points are the flagged cells of those columns, row by row.
    const Espacio& e = w->Ws;
    int j = 0;
    for (int i = 1; i <= e.NumDatos + 12; ++i)
        if (e.CeldaValida[size_t(i)][size_t(colT)]) {
            QCOMPARE(tend->Puntos()[size_t(j)].x, double(i));
            QCOMPARE(tend->Puntos()[size_t(j)].y, e.TablaPrev[size_t(i)][size_t(colT)]);
            ++j;
        }
    QCOMPARE(tend->count(), j);
    QVERIFY(j > 0);
}

void TstGraficosVentana::auxiliaresSeOcultan()
{
    auto w = Ventana();
    Cargar(*w, Texto(48, Estacional));
    w->SeleccionarModelo(ItemHLT);
    w->EjecutarCalculo(true);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesMediaMovil")->name(), QStringLiteral("Nivel"));
    w->SeleccionarModelo(ItemMMS);
    w->EjecutarCalculo(true);
    SerieGrafico* mm = S(Control<Grafico>(w, "ChartP"), "SeriesMediaMovil");
    SerieGrafico* tend = S(Control<Grafico>(w, "ChartP"), "SeriesTendencia");
    QCOMPARE(mm->name(), QStringLiteral("-"));
    QCOMPARE(tend->name(), QStringLiteral("-"));
    QVERIFY(!mm->isVisible() && !tend->isVisible());
    QCOMPARE(mm->count(), 0);
    QCOMPARE(tend->count(), 0);
    // A load leaves their shown state as the last calculation set it.
    w->CargarDatos();
    QVERIFY(!mm->isVisible());
    QCOMPARE(Control<Grafico>(w, "ChartP")->Titulo(), QStringLiteral("Previsión (MMS) : serie"));
}

void TstGraficosVentana::leyendaPersiste()
{
    auto w = Ventana();
    w->resize(1000, 700);
    w->show();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Cargar(*w, Texto(36, Estacional));
    w->EjecutarCalculo(true);
    Control<Grafico>(w, "ChartP")->ActualizarAhora();
    QCoreApplication::processEvents();

    // The user hides the history and shows the upper band through the legend.
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    SerieGrafico* pos = S(Control<Grafico>(w, "ChartP"), "SerieDesvPos");
    SerieGrafico* mm = S(Control<Grafico>(w, "ChartP"), "SeriesMediaMovil");
    for (SerieGrafico* s : {datos, pos, mm}) {
        const QRectF r = Control<Grafico>(w, "ChartP")->RectEntradaLeyenda(s);
        QVERIFY(!r.isEmpty());
        QTest::mouseClick(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    }
    QVERIFY(!datos->isVisible() && pos->isVisible() && !mm->isVisible());

    w->EjecutarCalculo(true);
    w->CargarDatos();
    w->EjecutarCalculo(true);
    // Kept, except the moving average, which every drawing with the model sets.
    QVERIFY(!datos->isVisible());
    QVERIFY(pos->isVisible());
    QVERIFY(!S(Control<Grafico>(w, "ChartP"), "SerieDesvNeg")->isVisible());
    QVERIFY(mm->isVisible());
}

QTEST_MAIN(TstGraficosVentana)
#include "tst_graficos_ventana.moc"
