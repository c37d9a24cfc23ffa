// SPDX-License-Identifier: GPL-3.0-or-later
// The chart pages of the main window: what loading and a calculation draw,
// the comparison series and the history-point drag, through the real window.
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

using namespace tendora;
using namespace prueba;

namespace {

const QColor Azul(0, 0, 255);
const QColor Rojo(255, 0, 0);
const QColor Lima(0, 255, 0);

// A monthly text: n values from the given start, value(i) for i = 1..n, each
// with 15 significant digits.
template <class F>
QString Texto(int n, F valor, int anio = 2000, int mes = 1)
{
    const auto texto = [&](int i) { return QString::number(valor(i), 'g', 15); };
    return Mensual(n, texto, anio, mes);
}

// Seasonal with a trend: every model can fit it.
double Estacional(int i)
{
    return 100.0 + 2.0 * i + 15.0 * std::sin(i * 3.14159265358979 / 6.0) + (i % 5);
}

std::unique_ptr<TFormMain> Ventana()
{
    auto w = std::make_unique<TFormMain>();
    w->CrearElementosGraficos(); // a second run (the window's own) changes nothing
    w->NombreSerie = QStringLiteral("serie");
    return w;
}

void Cargar(TFormMain& w, const QString& texto, int reserva = 0, int horizonte = 12)
{
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(horizonte);
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(texto);
    w.CargarDatos();
}

SerieGrafico* S(Grafico* g, const char* nombre)
{
    SerieGrafico* s = g->Serie(QString::fromLatin1(nombre));
    if (!s)
        qFatal("no series %s", nombre);
    return s;
}

bool Igual(const QColor& a, const QColor& b)
{
    return a.rgb() == b.rgb();
}

QString Linea(const TFormMain& w, int t)
{
    return Control<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n')).value(t - 1);
}

QPoint EnVista(Grafico* g, SerieGrafico* s, double x, double y)
{
    const QPointF c = g->chart()->mapToPosition(QPointF(x, y), s->SeriesQt().first());
    return g->mapFromScene(g->chart()->mapToScene(c));
}

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
    void comparacion();
    void colorPaleta();
    void mostrarAjuste();
    void eliminarYComparar();
    void arrastre_data();
    void arrastre();
    void arrastreRaton();
    void arrastreModoApagado();
    void arrastreFallos();
    void arrastreErrorVisible();
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

void TstGraficosVentana::comparacion()
{
    auto w = Ventana();
    Cargar(*w, Texto(48, Estacional));
    const QColor esperados[9] = {{255, 0, 0}, {0, 0, 128},   {0, 128, 0},     {255, 255, 0},  {0, 255, 255},
                                 {0, 255, 0}, {255, 0, 255}, {192, 220, 192}, {166, 202, 240}};
    w->SeleccionarModelo(ItemDST);
    w->EjecutarCalculo(true);
    w->TBCompararClick();
    w->SeleccionarModelo(ItemHLT);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.3);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.25);
    w->EjecutarCalculo(true);
    w->TBCompararClick();
    // A frozen copy: its points are those of the forecast series now.
    const std::vector<PuntoGrafico> hlt = S(Control<Grafico>(w, "ChartP"), "SeriesPrevision")->Puntos();
    // A parameter changed without recalculating: new title, old points.
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.4);
    w->Compararmodelos1Click();

    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 4);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(1)->name(), QStringLiteral("P DST ()"));
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(2)->name(), QStringLiteral("P HLT (0,3;0,25)"));
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(3)->name(), QStringLiteral("P HLT (0,4;0,25)"));
    for (int k = 2; k <= 3; ++k) {
        SerieGrafico* s = Control<Grafico>(w, "ChartPC")->SerieEn(k);
        QCOMPARE(s->count(), int(hlt.size()));
        for (size_t j = 0; j < hlt.size(); ++j) {
            QCOMPARE(s->Puntos()[j].x, hlt[j].x);
            QCOMPARE(s->Puntos()[j].y, hlt[j].y);
            QCOMPARE(s->Puntos()[j].etiqueta, hlt[j].etiqueta);
        }
    }
    for (int k = 1; k <= 3; ++k) {
        QVERIFY(Igual(Control<Grafico>(w, "ChartPC")->SerieEn(k)->Color(), esperados[k - 1]));
        QVERIFY(!Control<Grafico>(w, "ChartPC")->SerieEn(k)->Marcas());
        QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(k)->Ancho(), 2.0);
    }
    // Recalculating leaves the comparisons alone.
    w->EjecutarCalculo(true);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 4);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(0)->objectName(), QStringLiteral("SeriesDatosComp"));

    // Up to the ninth from the table, the tenth the palette's first.
    for (int k = 4; k <= 10; ++k)
        w->TBCompararClick();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 11);
    for (int k = 4; k <= 9; ++k)
        QVERIFY(Igual(Control<Grafico>(w, "ChartPC")->SerieEn(k)->Color(), esperados[k - 1]));
    QVERIFY(Igual(Control<Grafico>(w, "ChartPC")->SerieEn(10)->Color(), TFormMain::ColorPaleta(11)));

    // With a hold-out the label carries it.
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(12);
    w->SeleccionarModelo(ItemHW);
    w->Compararmodelos1Click();
    QVERIFY(Control<Grafico>(w, "ChartPC")->SerieEn(11)->name().endsWith(QStringLiteral(") T-12")));
    QVERIFY(Control<Grafico>(w, "ChartPC")->SerieEn(11)->name().startsWith(QStringLiteral("P H-W (")));
}

void TstGraficosVentana::colorPaleta()
{
    // Series past the tenth must read on the white plot and apart from each
    // other: relative luminance (sRGB, worked from its definition) at most
    // 0.25, and any two of the twelve at least 50 apart in RGB.
    auto lineal = [](int v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    QList<QColor> vistos;
    for (int k = 11; k < 23; ++k) {
        const QColor c = TFormMain::ColorPaleta(k);
        const double lum = 0.2126 * lineal(c.red()) + 0.7152 * lineal(c.green()) + 0.0722 * lineal(c.blue());
        QVERIFY2(lum <= 0.25, qPrintable(c.name()));
        for (const QColor& o : vistos)
            QVERIFY2(std::hypot(c.red() - o.red(), c.green() - o.green(), c.blue() - o.blue()) >= 50.0,
                     qPrintable(c.name() + QLatin1Char(' ') + o.name()));
        vistos.append(c);
    }
    // Then it starts again.
    QCOMPARE(TFormMain::ColorPaleta(23), TFormMain::ColorPaleta(11));
    QVERIFY(!TFormMain::ColoresComparativa(11).isValid());
}

void TstGraficosVentana::mostrarAjuste()
{
    auto w = Ventana();
    Cargar(*w, Texto(36, Estacional), 0, 12);
    w->SeleccionarModelo(ItemNVS);
    w->EjecutarCalculo(true);
    w->TBCompararClick();
    SerieGrafico* s = Control<Grafico>(w, "ChartPC")->SerieEn(1);
    const int n = s->count();
    QVERIFY(n > 12);
    auto nulos = [s] {
        int k = 0;
        for (const PuntoGrafico& p : s->Puntos())
            k += p.nulo ? 1 : 0;
        return k;
    };
    QCOMPARE(nulos(), 0);

    w->Mostrarajuste1Click(); // unchecked: only the last 12 points stay
    QVERIFY(!Control<QAction>(w, "Mostrarajuste1")->isChecked());
    QCOMPARE(nulos(), n - 12);
    QVERIFY(s->Puntos()[size_t(n - 13)].nulo);
    QVERIFY(!s->Puntos()[size_t(n - 12)].nulo);

    // The horizon now, not the one of the calculation.
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(6);
    w->AplicarMostrarAjuste();
    QCOMPARE(nulos(), n - 6);
    // And back to a longer horizon: the last 12 show again.
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(12);
    w->AplicarMostrarAjuste();
    QCOMPARE(nulos(), n - 12);

    // "Comparar modelos" alone leaves the new series whole until the next application.
    w->Compararmodelos1Click();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 3);
    SerieGrafico* t = Control<Grafico>(w, "ChartPC")->SerieEn(2);
    for (const PuntoGrafico& p : t->Puntos())
        QVERIFY(!p.nulo);
    w->TBCompararClick(); // the tool button applies it to every series
    QVERIFY(t->Puntos()[0].nulo);

    // Checked again: every point back, in the series colour.
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(6);
    w->Mostrarajuste1Click();
    QVERIFY(Control<QAction>(w, "Mostrarajuste1")->isChecked());
    QCOMPARE(nulos(), 0);
    for (size_t j = 0; j < s->Puntos().size(); ++j) {
        QVERIFY(!s->ColorPropio(int(j)));
    }

    // A series no longer than the horizon is never hidden in part.
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(n);
    w->Mostrarajuste1Click();
    QCOMPARE(nulos(), 0);
}

void TstGraficosVentana::eliminarYComparar()
{
    auto w = Ventana();
    Cargar(*w, Texto(36, Estacional));
    // Before any calculation: an empty copy with the model's label.
    w->TBCompararClick();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(1)->count(), 0);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(1)->name(), QStringLiteral("P DST ()"));
    w->EjecutarCalculo(true);
    w->TBCompararClick();
    w->TBCompararClick();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 4);
    Control<QAction>(w, "Eliminarseriescomparativas1")->trigger();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(0)->objectName(), QStringLiteral("SeriesDatosComp"));
    QCOMPARE(Control<Grafico>(w, "ChartPC")->SerieEn(0)->count(), 36);
    w->TBCompararClick();
    QVERIFY(Igual(Control<Grafico>(w, "ChartPC")->SerieEn(1)->Color(), Rojo));
    // A load removes them too.
    w->TBCompararClick();
    w->CargarDatos();
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
}

void TstGraficosVentana::arrastre_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("linea5");
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("esperada");
    QTest::addColumn<double>("leido");
    // By hand: rounded to two decimals, the separator of the locale.
    QTest::newRow("es_ES") << true << QStringLiteral("2001\t5\t80") << 93.456 << QStringLiteral("2001\t5\t93,46")
                           << 93.46;
    QTest::newRow("C") << false << QStringLiteral("2001\t5\t80") << 93.456 << QStringLiteral("2001\t5\t93.46") << 93.46;
    QTest::newRow("blancos y campo extra") << true << QStringLiteral(" 2001 \t 5 \t80\tnota") << 125.456
                                           << QStringLiteral(" 2001 \t 5 \t125,46") << 125.46;
    QTest::newRow("negativo") << true << QStringLiteral("2001\t5\t80") << -3.5 << QStringLiteral("2001\t5\t-3,50")
                              << -3.5;
}

void TstGraficosVentana::arrastre()
{
    QFETCH(bool, coma);
    QFETCH(QString, linea5);
    QFETCH(double, valor);
    QFETCH(QString, esperada);
    QFETCH(double, leido);
    PonerLocale(coma);
    auto w = Ventana();
    QStringList lineas = Texto(36, Estacional, 2001, 1).split(QLatin1Char('\n'));
    lineas[4] = linea5;
    const QString texto = lineas.join(QLatin1Char('\n'));
    Cargar(*w, texto, 6);
    w->SeleccionarModelo(ItemNVS);
    w->EjecutarCalculo(true);
    // The grids' size after one run (an emptied grid keeps a blank row that the first run fills).
    const int unaFila = Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount();
    w->EjecutarCalculo(true);
    w->TBCompararClick();
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), unaFila + 1);

    // What the drag tool leaves: the point moved and its index notified.
    Control<Grafico>(w, "ChartP")->MoverPunto(S(Control<Grafico>(w, "ChartP"), "SeriesDatos"), 4, valor);
    w->RegistrarArrastre(4);
    w->ChartPMouseUp();

    QCOMPARE(Linea(*w, 5), esperada);
    // Nothing else in the text changed.
    QStringList despues = Control<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n'));
    despues[4] = linea5;
    QCOMPARE(despues.join(QLatin1Char('\n')), texto);
    // Reloaded and recalculated: the edited value in the table and the history series.
    QCOMPARE(w->Ws.TablaPrev[5][4], leido);
    QCOMPARE(S(Control<Grafico>(w, "ChartP"), "SeriesDatos")->Puntos()[4].y, leido);
    QVERIFY(S(Control<Grafico>(w, "ChartP"), "SeriesPrevision")->count() > 0);
    // One fit row and one accuracy row of the recalculation, no comparisons, nothing held.
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), unaFila);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), unaFila);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
    QCOMPARE(w->PuntoArrastrado, -1);
    QCOMPARE(w->ArrastreX, -1.0);
    QCOMPARE(w->ArrastreY, -1.0);
}

void TstGraficosVentana::arrastreRaton()
{
    auto w = Ventana();
    w->resize(1000, 700);
    w->show();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Control<Grafico>(w, "ChartP")->PonerZoomAnimado(false);
    Cargar(*w, Texto(24, [](int i) { return 50.0 + (i % 4) * 10.0; }));
    w->SeleccionarModelo(ItemNVS);
    w->EjecutarCalculo(true);
    Control<QAction>(w, "Modificarpuntosdehistrico1")->trigger(); // as the menu does
    QVERIFY(Control<QAction>(w, "Modificarpuntosdehistrico1")->isChecked());
    QVERIFY(Control<Grafico>(w, "ChartP")->ArrastreActivo());
    Control<Grafico>(w, "ChartP")->ActualizarAhora();
    QCoreApplication::processEvents();

    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    const double y5 = datos->Puntos()[4].y;
    const QPoint sobre = EnVista(Control<Grafico>(w, "ChartP"), datos, 5, y5);
    QTest::mouseMove(Control<Grafico>(w, "ChartP")->viewport(), sobre);
    QCOMPARE(Control<Grafico>(w, "ChartP")->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy mueve(Control<Grafico>(w, "ChartP"), &Grafico::puntoArrastrado);
    QTest::mousePress(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, sobre);
    QTest::mouseMove(Control<Grafico>(w, "ChartP")->viewport(), sobre + QPoint(0, -20));
    QTest::mouseMove(Control<Grafico>(w, "ChartP")->viewport(), sobre + QPoint(0, -40));
    QCOMPARE(w->PuntoArrastrado, 4);
    QVERIFY(!mueve.isEmpty());
    const double arrastrado = mueve.last().at(1).toDouble();
    QVERIFY(arrastrado > y5);
    QTest::mouseRelease(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -40));

    QCOMPARE(Linea(*w, 5), QStringLiteral("2000\t5\t") + TextoFijo2(arrastrado));
    QCOMPARE(w->Ws.TablaPrev[5][4], TextoAReal(TextoFijo2(arrastrado)));
    QCOMPARE(w->PuntoArrastrado, -1);
    QVERIFY(!Control<Grafico>(w, "ChartP")->Ampliado()); // the held point kept the zoom from starting
    QVERIFY(S(Control<Grafico>(w, "ChartP"), "SeriesPrevision")->count() > 0);
    // The mode stays on across the round trip; a click without movement changes nothing.
    QVERIFY(Control<Grafico>(w, "ChartP")->ArrastreActivo());
    Control<Grafico>(w, "ChartP")->ActualizarAhora();
    QCoreApplication::processEvents();
    const QString antes = Control<QPlainTextEdit>(w, "Memo1")->toPlainText();
    const QPoint p3 = EnVista(Control<Grafico>(w, "ChartP"), datos, 3, datos->Puntos()[2].y);
    QTest::mouseClick(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, p3);
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), antes);
}

void TstGraficosVentana::arrastreModoApagado()
{
    auto w = Ventana();
    w->resize(1000, 700);
    w->show();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    // Before any load a release changes nothing.
    QTest::mouseClick(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(Control<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());

    const QString texto = Texto(24, [](int i) { return 50.0 + (i % 4) * 10.0; });
    Cargar(*w, texto);
    Control<Grafico>(w, "ChartP")->ActualizarAhora();
    QCoreApplication::processEvents();
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");
    const QPoint sobre = EnVista(Control<Grafico>(w, "ChartP"), datos, 5, datos->Puntos()[4].y);
    QTest::mousePress(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, sobre);
    QTest::mouseMove(Control<Grafico>(w, "ChartP")->viewport(), sobre + QPoint(0, -40));
    QTest::mouseRelease(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -40));
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), texto);
    QCOMPARE(datos->Puntos()[4].y, 60.0);
    QCOMPARE(w->PuntoArrastrado, -1);

    // Switched on and off again: still nothing.
    w->Modificarpuntosdehistrico1Click();
    w->Modificarpuntosdehistrico1Click();
    QVERIFY(!Control<Grafico>(w, "ChartP")->ArrastreActivo());
    QTest::mousePress(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, sobre);
    QTest::mouseMove(Control<Grafico>(w, "ChartP")->viewport(), sobre + QPoint(0, -40));
    QTest::mouseRelease(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -40));
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), texto);
}

void TstGraficosVentana::arrastreFallos()
{
    auto w = Ventana();
    const QString texto = Texto(24, [](int i) { return 40.0 + i; });
    Cargar(*w, texto);
    w->SeleccionarModelo(ItemNVS);
    SerieGrafico* datos = S(Control<Grafico>(w, "ChartP"), "SeriesDatos");

    // The text was shortened by hand: line 5 is gone; nothing changes, the point stays held.
    const QString corto = texto.split(QLatin1Char('\n')).mid(0, 3).join(QLatin1Char('\n'));
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(corto);
    Control<Grafico>(w, "ChartP")->MoverPunto(datos, 4, 77.0);
    w->RegistrarArrastre(4);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, w->ChartPMouseUp());
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), corto);
    QCOMPARE(w->PuntoArrastrado, 4);

    // A line that does not read: the edit stays in the text, the point stays held.
    QStringList malas = texto.split(QLatin1Char('\n'));
    malas[1] = QStringLiteral("2000\tdos\t41");
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(malas.join(QLatin1Char('\n')));
    QVERIFY_THROWS_EXCEPTION(ErrorConversion, w->ChartPMouseUp());
    QCOMPARE(Linea(*w, 5), QStringLiteral("2000\t5\t77,00"));
    QCOMPARE(w->PuntoArrastrado, 4);
    QCOMPARE(w->Ws.TablaPrev[5][4], 45.0); // the table still holds the last good load

    // Mended by hand, the next release completes the same round trip.
    malas[1] = QStringLiteral("2000\t2\t41");
    malas[4] = QStringLiteral("2000\t5\t45");
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(malas.join(QLatin1Char('\n')));
    w->ChartPMouseUp();
    QCOMPARE(Linea(*w, 5), QStringLiteral("2000\t5\t77,00"));
    QCOMPARE(w->Ws.TablaPrev[5][4], 77.0);
    QCOMPARE(w->PuntoArrastrado, -1);
}

void TstGraficosVentana::arrastreErrorVisible()
{
    // Through the mouse, a failing round trip reaches the standard error display.
    auto w = Ventana();
    w->resize(1000, 700);
    w->show();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Cargar(*w, Texto(24, [](int i) { return 40.0 + i; }));
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("2000\t1\t40\n"));
    w->RegistrarArrastre(4);
    QString visto;
    QTimer::singleShot(0, [&visto] {
        if (auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            visto = mb->text();
            mb->button(QMessageBox::Ok)->click();
        }
    });
    QTest::mouseClick(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(!visto.isEmpty());
    QCOMPARE(w->PuntoArrastrado, 4);
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("2000\t1\t40\n"));
}

QTEST_MAIN(TstGraficosVentana)
#include "tst_graficos_ventana.moc"
