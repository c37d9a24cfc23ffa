// SPDX-License-Identifier: GPL-3.0-or-later
// The chart pages of the main window: what loading and a calculation draw,
// through the real window.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

#include "ui/Grafico.h"
#include "app/MainUnit.h"

#include "Ayudas.h"
#include "AyudasGraficosVentana.h"

using namespace tendora;
using namespace prueba;

namespace {

const QColor Verde(0, 128, 0);
// The seasonal coefficient bars: above 1 and not.
const QColor CoefAlto(171, 216, 202), CoefBajo(244, 196, 151);

} // namespace

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
    void arrastreTextoEditado_data();
    void arrastreTextoEditado();
    void arrastreModeloFalla_data();
    void arrastreModeloFalla();
};

void TstGraficosVentana::inicio()
{
    auto w = Ventana();
    Grafico *p = Control<Grafico>(w, "ChartP"), *pa = Control<Grafico>(w, "ChartPA");
    Grafico *pc = Control<Grafico>(w, "ChartPC"), *ce = Control<Grafico>(w, "ChartCE");
    QCOMPARE(p->Titulo(), QStringLiteral("Previsión"));
    QCOMPARE(pa->Titulo(), QStringLiteral("Previsión acumulada"));
    QCOMPARE(pc->Titulo(), QStringLiteral("Comparativa de Previsiones"));
    QCOMPARE(ce->Titulo(), QStringLiteral("Coeficiente estacional"));
    // Order and legend titles of the forecast chart; the band starts hidden.
    QCOMPARE(p->SerieEn(0)->objectName(), QStringLiteral("SeriesPrevision"));
    QCOMPARE(S(p, "SeriesDatos")->name(), QStringLiteral("Datos"));
    QCOMPARE(S(p, "SerieDesvPos")->name(), QStringLiteral("Desv. +"));
    QCOMPARE(S(p, "SerieDesvNeg")->name(), QStringLiteral("Desv. -"));
    QVERIFY(!S(p, "SerieDesvPos")->isVisible());
    QVERIFY(!S(p, "SerieDesvNeg")->isVisible());
    QCOMPARE(S(pa, "SeriesPrevCum")->name(), QStringLiteral("Previsión acum."));
    QCOMPARE(S(pa, "SeriesDatosCum")->name(), QStringLiteral("Datos acum."));
    QCOMPARE(pc->SerieEn(0)->objectName(), QStringLiteral("SeriesDatosComp"));
    QVERIFY(!ce->LeyendaVisible());
    QVERIFY(!ce->ZoomPermitido());
    // Only the forecast chart's marker line shows before the first drawing, at 0.
    QVERIFY(p->LineaVerticalActiva());
    QCOMPARE(p->LineaVerticalX(), 0.0);
    QVERIFY(!pa->LineaVerticalActiva());
    QVERIFY(!pc->LineaVerticalActiva());
    // The drag tool sits on the history series, inactive; the menu items' marks.
    auto* modificar = Control<QAction>(w, "Modificarpuntosdehistrico1");
    auto* ajuste = Control<QAction>(w, "Mostrarajuste1");
    auto* eliminar = Control<QAction>(w, "Eliminarseriescomparativas1");
    QCOMPARE(p->SerieArrastre(), S(p, "SeriesDatos"));
    QVERIFY(!p->ArrastreActivo());
    QVERIFY(modificar->isCheckable() && !modificar->isChecked());
    QVERIFY(ajuste->isCheckable() && ajuste->isChecked());
    QCOMPARE(modificar->text(), QStringLiteral("Modificar puntos de histórico"));
    QCOMPARE(eliminar->text(), QStringLiteral("Eliminar series comparativas"));
    QVERIFY(Control<QMenu>(w, "PopupMenuGraf")->actions().contains(ajuste));
    QCOMPARE(Control<QToolButton>(w, "TBComparar")->toolTip(),
             QStringLiteral("Carga la previsión actual en la pestaña \"Gráfico Prev. comp.\""));
    // Items only where they act.
    emit pa->menuSolicitado(pa, QPoint());
    QVERIFY(!modificar->isVisible() && !ajuste->isVisible());
    emit pc->menuSolicitado(pc, QPoint());
    QVERIFY(ajuste->isVisible() && eliminar->isVisible());
    QCOMPARE(w->PuntoArrastrado, -1);
}

void TstGraficosVentana::sinPreparar()
{
    // Loading draws on the series the window set up, without doubling one,
    // and the menu holds each item once.
    TFormMain w;
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Texto(24, [](int i) { return 30.0 + i; }));
    w.CargarDatos();
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    QCOMPARE(datos->count(), 24);
    // ChartP: forecast, two auxiliary series, data, the Desv. pair, an
    // automatic candidate's own forecast and the two interval bands.
    for (auto [grafico, series] : {std::pair{"ChartP", 9}, {"ChartPA", 2}, {"ChartPC", 1}, {"ChartCE", 1}})
        QCOMPARE(Control<Grafico>(w, grafico)->NumSeries(), series);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos"), datos);
    const QList<QAction*> items = Control<QMenu>(w, "PopupMenuGraf")->actions();
    const auto ajuste = [](QAction* a) { return a->objectName() == QLatin1String("Mostrarajuste1"); };
    QCOMPARE(int(std::count_if(items.begin(), items.end(), ajuste)), 1);
    // The export items of the menu are still there.
    QVERIFY(items.contains(Control<QAction>(w, "Exportargrfico1")));
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
    QCOMPARE(PaginasGraficos::EtiquetaPunto(2010, 3), QStringLiteral("2010-3"));
    QCOMPARE(PaginasGraficos::EtiquetaPunto(1999, 12), QStringLiteral("1999-12"));
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
    const auto valor = [](int i) { return 20.0 + i; };
    Cargar(*w, Texto(24, valor, 2000, 11), reserva);
    Grafico *p = Control<Grafico>(w, "ChartP"), *pa = Control<Grafico>(w, "ChartPA");
    Grafico *pc = Control<Grafico>(w, "ChartPC"), *ce = Control<Grafico>(w, "ChartCE");

    // All 24 data points even with a hold-out: L = 18 + 12 covers them.
    SerieGrafico *datos = S(p, "SeriesDatos"), *cum = S(pa, "SeriesDatosCum"), *comp = S(pc, "SeriesDatosComp");
    QCOMPARE(datos->count(), 24);
    QCOMPARE(cum->count(), 24);
    QCOMPARE(comp->count(), 24);
    double suma = 0.0;
    for (int i = 1; i <= 24; ++i) {
        suma += 20.0 + i; // running sum by recurrence
        const PuntoGrafico& d = datos->Puntos()[size_t(i - 1)];
        QCOMPARE(d.x, double(i));
        QCOMPARE(d.y, 20.0 + i);
        QCOMPARE(cum->Puntos()[size_t(i - 1)].y, suma);
        QCOMPARE(comp->Puntos()[size_t(i - 1)].y, 20.0 + i);
        QVERIFY(Igual(comp->Puntos()[size_t(i - 1)].color, Azul));
    }
    // Dates from November 2000: the first label and the turn of the year.
    QCOMPARE(datos->Puntos()[0].etiqueta, QStringLiteral("2000-11"));
    QCOMPARE(datos->Puntos()[2].etiqueta, QStringLiteral("2001-1"));
    for (const char* n : {"SeriesPrevision", "SeriesMediaMovil", "SeriesTendencia", "SerieDesvPos", "SerieDesvNeg"})
        QCOMPARE(S(p, n)->count(), 0);
    QCOMPARE(S(pa, "SeriesPrevCum")->count(), 0);
    QCOMPARE(S(ce, "SeriesCE")->count(), 0);
    for (Grafico* g : {p, pa, pc}) {
        QVERIFY(g->LineaVerticalActiva());
        QCOMPARE(g->LineaVerticalX(), double(linea));
    }
    QCOMPARE(p->Titulo(), QStringLiteral("Previsión (DST) : serie"));
    QCOMPARE(pa->Titulo(), QStringLiteral("Previsión acumulada (DST) : serie"));
    QCOMPARE(pc->Titulo(), QStringLiteral("Comparativa de Previsiones : serie"));
    QCOMPARE(ce->Titulo(), QStringLiteral("Coeficiente estacional : serie"));
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
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    QCOMPARE(datos->Puntos()[2].y, valor);
    QVERIFY(Igual(datos->Puntos()[2].color, lima ? Lima : Azul));
    QCOMPARE(datos->ColorPropio(2), lima);
    // Only the forecast chart marks them.
    QVERIFY(Igual(S(Control<Grafico>(w, "ChartPC"), "SeriesDatosComp")->Puntos()[2].color, Azul));
}

void TstGraficosVentana::calculoDST()
{
    auto w = Calculada(Texto(48, ConEstacion), ItemDST, 6, 12);
    const Espacio& e = w->Ws;
    const int L = e.NumDatos + 12;
    QCOMPARE(L, 54);

    Grafico* p = Control<Grafico>(w, "ChartP");
    SerieGrafico *prev = S(p, "SeriesPrevision"), *pos = S(p, "SerieDesvPos"), *neg = S(p, "SerieDesvNeg");
    SerieGrafico* cum = S(Control<Grafico>(w, "ChartPA"), "SeriesPrevCum");
    QCOMPARE(prev->count(), L - e.FilaInicioPrev);
    QCOMPARE(pos->count(), prev->count());
    double suma = 0.0;
    for (int j = 0; j < prev->count(); ++j) {
        const int i = e.FilaInicioPrev + 1 + j;
        const double f = e.TablaPrev[size_t(i)][size_t(e.ColPrev)];
        suma += f;
        const PuntoGrafico& q = prev->Puntos()[size_t(j)];
        QCOMPARE(q.x, double(i));
        QCOMPARE(q.y, f);
        QVERIFY(Igual(q.color, Rojo));
        // The band and the running sum, worked from the table independently.
        QCOMPARE(pos->Puntos()[size_t(j)].y, (1.0 + e.DesvRelativa) * f);
        QCOMPARE(neg->Puntos()[size_t(j)].y, (1.0 - e.DesvRelativa) * f);
        QCOMPARE(cum->Puntos()[size_t(j)].y, suma);
    }
    // The 6 held-out points are still drawn.
    QCOMPARE(S(p, "SeriesDatos")->count(), 48);
    QCOMPARE(p->LineaVerticalX(), 42.0);

    // Moving average and trend: DST's columns 6 and 8, only where flagged.
    SerieGrafico *mm = S(p, "SeriesMediaMovil"), *tend = S(p, "SeriesTendencia");
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
    QVERIFY(Igual(mm->Puntos()[0].color, Verde));

    // Twelve bars from the coefficients, coloured by whether they pass 1.
    SerieGrafico* ce = S(Control<Grafico>(w, "ChartCE"), "SeriesCE");
    QCOMPARE(ce->count(), 12);
    for (int m = 1; m <= 12; ++m) {
        const PuntoGrafico& q = ce->Puntos()[size_t(m - 1)];
        QCOMPARE(q.etiqueta, QString::number(m));
        QCOMPARE(q.y, e.CoefEstacional[size_t(m)].Coeficiente);
        QVERIFY(Igual(q.color, q.y > 1.0 ? CoefAlto : CoefBajo));
    }
    // A seasonal series has coefficients on both sides of 1.
    QVERIFY(ce->ColorPropio(0));
}

void TstGraficosVentana::bandaYSumas()
{
    auto w = Calculada(Texto(36, ConEstacion), ItemNVS);
    Espacio& e = w->Ws;
    // Hand-set table: the fit from row 7, a forecast of 200 at row 7.
    e.FilaInicioPrev = 6;
    e.DesvRelativa = 0.1;
    e.TablaPrev[7][size_t(e.ColPrev)] = 200.0;
    w->PrepararGraficos(w->Ws, true)();
    Grafico *p = Control<Grafico>(w, "ChartP"), *pa = Control<Grafico>(w, "ChartPA");
    SerieGrafico* prev = S(p, "SeriesPrevision");
    QCOMPARE(prev->Puntos()[0].x, 7.0);
    QCOMPARE(prev->Puntos()[0].y, 200.0);
    // By hand: 1.1 * 200 and 0.9 * 200.
    QCOMPARE(S(p, "SerieDesvPos")->Puntos()[0].y, 220.0);
    QCOMPARE(S(p, "SerieDesvNeg")->Puntos()[0].y, 180.0);
    // The forecast sum starts at row 7 alone; the data sum already holds seven values.
    QCOMPARE(S(pa, "SeriesPrevCum")->Puntos()[0].y, 200.0);
    double siete = 0.0;
    for (int i = 1; i <= 7; ++i)
        siete += e.TablaPrev[size_t(i)][4];
    QCOMPARE(S(pa, "SeriesDatosCum")->Puntos()[6].y, siete);
    QCOMPARE(prev->count(), 36 + 12 - 6);

    e.DesvRelativa = 0.0; // both band lines on the forecast
    w->PrepararGraficos(w->Ws, true)();
    QCOMPARE(S(p, "SerieDesvPos")->Puntos()[0].y, 200.0);
    QCOMPARE(S(p, "SerieDesvNeg")->Puntos()[0].y, 200.0);
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
    w->SesionActual.SeleccionarModelo(ItemNVS);
    Control<QCheckBox>(w, "CBPrevNeg")->setChecked(negativas);
    QVERIFY(MostrarGraficos(*w));
    Mensajes avisos; // any message would be answered and noted, not left hanging
    QTest::mouseClick(Control<QToolButton>(w, "TBCalcular"), Qt::LeftButton);
    QTest::qWait(20); // let it repaint
    QCOMPARE(avisos.textos, QStringList());
    QCOMPARE(w->Ws.DesvRelativa, 2.0);

    Grafico* p = Control<Grafico>(w, "ChartP");
    const auto& prev = S(p, "SeriesPrevision")->Puntos();
    const auto& pos = S(p, "SerieDesvPos")->Puntos();
    const auto& neg = S(p, "SerieDesvNeg")->Puntos();
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
    auto w = Calculada(Texto(24, ConEstacion), ItemNVS);
    w->Ws.CoefEstacional[3].Coeficiente = 1.0;
    w->Ws.CoefEstacional[4].Coeficiente = 1.0001;
    w->PrepararGraficos(w->Ws, true)();
    SerieGrafico* ce = S(Control<Grafico>(w, "ChartCE"), "SeriesCE");
    QVERIFY(Igual(ce->Puntos()[2].color, CoefBajo));
    QVERIFY(Igual(ce->Puntos()[3].color, CoefAlto));
}

void TstGraficosVentana::desbordamientoNoToca()
{
    auto w = Ventana();
    Cargar(*w, Texto(24, [](int i) { return double(i); }));
    w->Ws.TablaPrev[1][4] = 1e308;
    w->Ws.TablaPrev[2][4] = 1e308;
    w->NombreSerie = QStringLiteral("otra");
    // The data sum overflows: an arithmetic error, and the charts keep their drawing.
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, w->PrepararGraficos(w->Ws, false)());
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
    auto w = Calculada(Texto(48, ConEstacion), item);
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
    auto w = Calculada(Texto(48, ConEstacion), ItemHLT);
    Grafico* p = Control<Grafico>(w, "ChartP");
    QCOMPARE(S(p, "SeriesMediaMovil")->name(), QStringLiteral("Nivel"));
    Calcular(*w, ItemMMS);
    SerieGrafico *mm = S(p, "SeriesMediaMovil"), *tend = S(p, "SeriesTendencia");
    QCOMPARE(mm->name(), QStringLiteral("-"));
    QCOMPARE(tend->name(), QStringLiteral("-"));
    QVERIFY(!mm->isVisible() && !tend->isVisible());
    QCOMPARE(mm->count(), 0);
    QCOMPARE(tend->count(), 0);
    // A load leaves their shown state as the last calculation set it.
    w->CargarDatos();
    QVERIFY(!mm->isVisible());
    QCOMPARE(p->Titulo(), QStringLiteral("Previsión (MMS) : serie"));
}

void TstGraficosVentana::leyendaPersiste()
{
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    Cargar(*w, Texto(36, ConEstacion));
    w->EjecutarCalculo(true);
    Grafico* p = Control<Grafico>(w, "ChartP");
    Asentar(*p);

    // The user hides the history and shows the upper band through the legend.
    SerieGrafico *datos = S(p, "SeriesDatos"), *pos = S(p, "SerieDesvPos"), *mm = S(p, "SeriesMediaMovil");
    for (SerieGrafico* s : {datos, pos, mm}) {
        const QRectF r = p->RectEntradaLeyenda(s);
        QVERIFY(!r.isEmpty());
        QTest::mouseClick(p->viewport(), Qt::LeftButton, {}, r.center().toPoint());
    }
    QVERIFY(!datos->isVisible() && pos->isVisible() && !mm->isVisible());

    w->EjecutarCalculo(true);
    w->CargarDatos();
    w->EjecutarCalculo(true);
    // Kept, except the moving average, which every drawing with the model sets.
    QVERIFY(!datos->isVisible());
    QVERIFY(pos->isVisible());
    QVERIFY(!S(p, "SerieDesvNeg")->isVisible());
    QVERIFY(mm->isVisible());
}

void TstGraficosVentana::arrastreTextoEditado_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<int>("quitar"); // lines taken off: > 0 at the end, < 0 at the start
    QTest::addColumn<QString>("esperado");
    for (bool coma : {true, false}) {
        const char* loc = coma ? "es_ES" : "C";
        // Point 41 is May 2003 (month 41 from January 2000); 24 lines left, or
        // three taken from the top so line 41 holds August 2003, by hand.
        QTest::addRow("%s: shortened", loc)
            << coma << 36
            << QStringLiteral("El punto arrastrado (5/2003) se cargó de la línea 41 del texto de Datos, pero ese texto "
                              "tiene ahora 24 líneas: no se ha cambiado nada. Pulse «Cargar» para cargar el texto "
                              "como está ahora, o deshaga la edición del texto y suelte otra vez el botón sobre el "
                              "gráfico.");
        QTest::addRow("%s: one line left", loc)
            << coma << 59
            << QStringLiteral("El punto arrastrado (5/2003) se cargó de la línea 41 del texto de Datos, pero ese texto "
                              "tiene ahora una sola línea: no se ha cambiado nada. Pulse «Cargar» para cargar el "
                              "texto como está ahora, o deshaga la edición del texto y suelte otra vez el botón sobre "
                              "el gráfico.");
        QTest::addRow("%s: lines taken above", loc)
            << coma << -3
            << QStringLiteral("El punto arrastrado (5/2003) se cargó de la línea 41 del texto de Datos, pero esa "
                              "línea es ahora la de 8/2003, porque el texto se ha editado: no se ha cambiado nada. "
                              "Pulse «Cargar» para cargar el texto como está ahora y arrastre el punto otra vez.");
    }
}

// The data text edited after loading, then a point dragged: the user is told
// what no longer fits and what to do, and neither the text nor the table change.
void TstGraficosVentana::arrastreTextoEditado()
{
    QFETCH(bool, coma);
    QFETCH(int, quitar);
    QFETCH(QString, esperado);
    PonerLocale(coma);
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    Grafico* p = Control<Grafico>(w, "ChartP");
    Cargar(*w, Texto(60, ConEstacion));
    Calcular(*w, ItemNVS);
    Control<QAction>(w, "Modificarpuntosdehistrico1")->trigger();
    QStringList lineas = Control<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n'));
    lineas = quitar > 0 ? lineas.mid(0, lineas.size() - 1 - quitar) : lineas.mid(-quitar);
    const QString editado = lineas.join(QLatin1Char('\n'));
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(editado);
    const auto tabla = w->Ws.TablaPrev;

    // What the drag tool leaves, then the button released over the chart.
    p->MoverPunto(S(p, "SeriesDatos"), 40, 999.0);
    Arrastrado(*w, 40);
    QString visto;
    ResponderMensaje(&visto);
    QTest::mouseClick(p->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(visto, esperado);
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), editado);
    QVERIFY(tabla == w->Ws.TablaPrev);
    QCOMPARE(w->PuntoArrastrado, 40);
}

void TstGraficosVentana::arrastreModeloFalla_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<int>("modelo");
    QTest::addColumn<int>("n"); // N of the moving averages
    QTest::addColumn<QString>("causa");
    for (bool coma : {true, false}) {
        const char* loc = coma ? "es_ES" : "C";
        // Only point 20 is not zero; dragged to 0 the whole history is zero,
        // and so is every seasonal coefficient.
        QTest::addRow("%s: decomposition on zeros", loc)
            << coma << int(ItemDST) << 6
            << QStringLiteral("Los coeficientes estacionales suman cero, porque el histórico es nulo en los meses "
                              "de los que salen. Elija un modelo sin estacionalidad o use un histórico con valores "
                              "distintos de cero.");
        // 48 records, none held out: a window of 60 reaches past the history.
        QTest::addRow("%s: N longer than the history", loc)
            << coma << int(ItemMMS) << 60
            << QStringLiteral("N, el número de periodos de la media móvil, es mayor que el número de datos del "
                              "histórico. Ponga en N un número menor o cargue un histórico más largo.");
    }
}

// A drag whose recalculation fails says that the value was written and what
// to change for the model to calculate.
void TstGraficosVentana::arrastreModeloFalla()
{
    QFETCH(bool, coma);
    QFETCH(int, modelo);
    QFETCH(int, n);
    QFETCH(QString, causa);
    PonerLocale(coma);
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    Grafico* p = Control<Grafico>(w, "ChartP");
    Cargar(*w, Texto(48, [](int i) { return i == 20 ? 5.0 : 0.0; }));
    Control<QSpinBox>(w, "SEN")->setValue(n);
    w->SesionActual.SeleccionarModelo(modelo);
    Control<QAction>(w, "Modificarpuntosdehistrico1")->trigger();

    p->MoverPunto(S(p, "SeriesDatos"), 19, 0.0);
    Arrastrado(*w, 19);
    QString visto;
    ResponderMensaje(&visto);
    QTest::mouseClick(p->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(visto, QStringLiteral("El valor arrastrado se ha escrito en la línea 20 del texto de Datos y el "
                                   "histórico se ha vuelto a cargar, pero el modelo seleccionado no se puede calcular "
                                   "con él. ") +
                        causa);
    // Written and reloaded: 0 with two decimals in the user's format.
    QCOMPARE(w->Ws.TablaPrev[20][4], 0.0);
    QVERIFY(Control<QPlainTextEdit>(w, "Memo1")
                ->toPlainText()
                .contains(coma ? QStringLiteral("2001\t8\t0,00\n") : QStringLiteral("2001\t8\t0.00\n")));
    QCOMPARE(w->PuntoArrastrado, -1);
}

QTEST_MAIN(TstGraficosVentana)
#include "tst_graficos_ventana.moc"
