// SPDX-License-Identifier: GPL-3.0-or-later
// The chart pages of the main window: the comparison series and the
// history-point drag, through the real window.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QRadioButton>
#include <QToolButton>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"
#include "AyudasGraficosVentana.h"

using namespace tendora;
using namespace prueba;

namespace {

QString Memo(const TFormMain& w)
{
    return Control<QPlainTextEdit>(w, "Memo1")->toPlainText();
}

QString Linea(const TFormMain& w, int t)
{
    return Memo(w).split(QLatin1Char('\n')).value(t - 1);
}

void PonerMemo(TFormMain& w, const QString& texto)
{
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(texto);
}

// 24 months cycling through 60, 70, 80 and 50 (month 5 is 60).
QString Escalones()
{
    return Texto(24, [](int i) { return 50.0 + (i % 4) * 10.0; });
}

// The value-axis labels a chart shows now, bottom to top: the upright texts
// left of the plot (the axis title stands on end).
QStringList EtiquetasEjeY(Grafico* g)
{
    const QRectF area = g->chart()->plotArea();
    QList<QGraphicsTextItem*> textos;
    for (QGraphicsItem* i : g->scene()->items()) {
        auto* t = dynamic_cast<QGraphicsTextItem*>(i);
        if (t && t->isVisible() && t->rotation() == 0.0 && !t->toPlainText().isEmpty() &&
            t->sceneBoundingRect().center().x() < g->chart()->mapToScene(area.topLeft()).x())
            textos.append(t);
    }
    std::sort(textos.begin(), textos.end(), [](const QGraphicsTextItem* a, const QGraphicsTextItem* b) {
        return a->sceneBoundingRect().center().y() > b->sceneBoundingRect().center().y();
    });
    QStringList r;
    for (const QGraphicsTextItem* t : textos)
        r << t->toPlainText();
    return r;
}

} // namespace

class TstGraficosComparar : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(Espanol()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void comparacion();
    void valoresExtremos_data();
    void valoresExtremos();
    void colorPaleta();
    void mostrarAjuste();
    void eliminarYComparar();
    void arrastre_data();
    void arrastre();
    void arrastreRaton();
    void arrastreModoApagado();
    void arrastreFallos();
    void arrastreErrorVisible();
    void marcaDecimalEjes_data();
    void marcaDecimalEjes();
};

void TstGraficosComparar::comparacion()
{
    auto w = Ventana();
    Grafico* pc = Control<Grafico>(w, "ChartPC");
    Cargar(*w, Texto(48, ConEstacion));
    const QColor esperados[9] = {{255, 0, 0}, {0, 0, 128},   {0, 128, 0},     {255, 255, 0},  {0, 255, 255},
                                 {0, 255, 0}, {255, 0, 255}, {192, 220, 192}, {166, 202, 240}};
    Calcular(*w, ItemDST);
    Control<QToolButton>(w, "TBComparar")->click();
    w->SesionActual.SeleccionarModelo(ItemHLT);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.3);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.25);
    w->EjecutarCalculo(true);
    Control<QToolButton>(w, "TBComparar")->click();
    // A frozen copy: its points are those of the forecast series now.
    const std::vector<PuntoGrafico> hlt = S(Control<Grafico>(w, "ChartP"), "SeriesPrevision")->Puntos();
    // A parameter changed without recalculating: new title, old points.
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.4);
    w->Compararmodelos1Click();

    QCOMPARE(pc->NumSeries(), 4);
    QCOMPARE(pc->SerieEn(1)->name(), QStringLiteral("P DST ()"));
    QCOMPARE(pc->SerieEn(2)->name(), QStringLiteral("P HLT (0,3;0,25)"));
    QCOMPARE(pc->SerieEn(3)->name(), QStringLiteral("P HLT (0,4;0,25)"));
    for (int k = 2; k <= 3; ++k) {
        QCOMPARE(pc->SerieEn(k)->count(), int(hlt.size()));
        QCOMPARE(Diferencia(pc->SerieEn(k)->Puntos(), hlt, false), -1);
    }
    for (int k = 1; k <= 3; ++k) {
        QVERIFY(Igual(pc->SerieEn(k)->Color(), esperados[k - 1]));
        QVERIFY(!pc->SerieEn(k)->Marcas());
        QCOMPARE(pc->SerieEn(k)->Ancho(), 2.0);
    }
    // Recalculating leaves the comparisons alone.
    w->EjecutarCalculo(true);
    QCOMPARE(pc->NumSeries(), 4);
    QCOMPARE(pc->SerieEn(0)->objectName(), QStringLiteral("SeriesDatosComp"));

    // Up to the ninth from the table, the tenth the palette's first.
    for (int k = 4; k <= 10; ++k)
        Control<QToolButton>(w, "TBComparar")->click();
    QCOMPARE(pc->NumSeries(), 11);
    for (int k = 4; k <= 9; ++k)
        QVERIFY(Igual(pc->SerieEn(k)->Color(), esperados[k - 1]));
    QVERIFY(Igual(pc->SerieEn(10)->Color(), PaginasGraficos::ColorPaleta(11)));

    // With a hold-out the label carries it.
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(12);
    w->SesionActual.SeleccionarModelo(ItemHW);
    w->Compararmodelos1Click();
    QVERIFY(pc->SerieEn(11)->name().endsWith(QStringLiteral(") T-12")));
    QVERIFY(pc->SerieEn(11)->name().startsWith(QStringLiteral("P H-W (")));
}

void TstGraficosComparar::valoresExtremos_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QStringList>("valores"); // the four months of the data text
    QTest::addColumn<bool>("todos"); // "Aplicar todos los métodos" instead of "Comparar"
    const QStringList diminutos = {"1e-15", "3e-15", "2e-15", "4e-15"};
    QTest::newRow("1e-15, Comparar, es") << true << diminutos << false;
    QTest::newRow("1e-15, Aplicar todos, C") << false << diminutos << true;
    QTest::newRow("1e-290, Comparar, C") << false << QStringList{"1e-290", "3e-290", "2e-290", "4e-290"} << false;
    QTest::newRow("1e-300, Aplicar todos, es") << true << QStringList{"1e-300", "3e-300", "2e-300", "4e-300"} << true;
    QTest::newRow("denormal, Comparar, es") << true << QStringList{"5e-320", "1e-319", "2e-320", "4e-320"} << false;
    QTest::newRow("equal tiny, Aplicar todos, C") << false << QStringList{"1e-15", "1e-15", "1e-15", "1e-15"} << true;
    QTest::newRow("tiny and huge, Aplicar todos, es") << true << QStringList{"1e-15", "1e15", "1e-15", "1e15"} << true;
    QTest::newRow("negative tiny, Comparar, C")
        << false << QStringList{"-1e-15", "-3e-15", "-2e-15", "-4e-15"} << false;
    // Steps of 16 at 1e17, where a double's own step is 16: an axis interval
    // added to a value there can leave it where it was.
    QTest::newRow("huge, narrow, Comparar, C")
        << false << QStringList{"100000000000000000", "100000000000000016", "100000000000000032", "100000000000000048"}
        << false;
}

// Data the user may well have (quantities in other units): the comparison
// chart's value axis must still lay out its ticks and labels, at once.
void TstGraficosComparar::valoresExtremos()
{
    QFETCH(bool, coma);
    QFETCH(QStringList, valores);
    QFETCH(bool, todos);
    PonerLocale(coma);
    Mensajes respuestas; // a model that cannot fit four months says so
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    // The numbers as the user writes them in this locale.
    QStringList texto;
    std::vector<double> numeros;
    for (int i = 0; i < valores.size(); ++i) {
        numeros.push_back(valores[i].toDouble());
        QString v = valores[i];
        if (coma)
            v.replace(QLatin1Char('.'), QLatin1Char(','));
        texto << QStringLiteral("2000\t%1\t%2").arg(i + 1).arg(v);
    }
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(texto.join(QLatin1Char('\n')));
    Control<QToolButton>(w, "TBTransferir")->click();
    QCOMPARE(w->Ws.TotalDatos, 4);
    Control<QRadioButton>(w, "RGModelo0")->click(); // NVS fits four months
    Control<QToolButton>(w, "TBCalcular")->click();

    QElapsedTimer reloj;
    reloj.start();
    // Once from the forecast chart's page, once looking at the comparison.
    auto* paginas = Control<QTabWidget>(w, "PageControl1");
    for (int vez = 0; vez < 2; ++vez) {
        if (todos)
            Control<QAction>(w, "Aplicartodoslosmtodos1")->trigger();
        else
            Control<QToolButton>(w, "TBComparar")->click();
        paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetGraficoComp"));
        QCoreApplication::processEvents();
    }
    Grafico* pc = Control<Grafico>(w, "ChartPC");
    QVERIFY(pc->NumSeries() >= 3);
    const std::pair<const char*, const char*> graficos[] = {{"TabSheetGraficoComp", "ChartPC"},
                                                            {"TabSheetGrafico", "ChartP"},
                                                            {"TabSheetGraficoAcum", "ChartPA"},
                                                            {"TabSheetGraficoCE", "ChartCE"}};
    for (const auto& [pagina, nombre] : graficos) {
        paginas->setCurrentWidget(Control<QWidget>(w, pagina));
        Grafico* g = Control<Grafico>(w, nombre);
        // A handful of ticks, each labelled with a number of its own, rising;
        // they write the values themselves, not some multiple: each lies on
        // the axis. The page lays itself out once shown: a slow build may
        // take a few rounds of the event loop.
        QStringList etiquetas;
        auto bien = [&] {
            (void)g->grab();
            etiquetas = EtiquetasEjeY(g);
            if (etiquetas.size() < 2 || etiquetas.size() > 30)
                return false;
            const double holgura = (g->MaximoY() - g->MinimoY()) * 1e-6;
            double anterior = -std::numeric_limits<double>::infinity();
            for (const QString& e : etiquetas) {
                bool ok = false;
                const double v = QLocale().toDouble(e, &ok);
                if (!(ok && std::isfinite(v) && v > anterior && v >= g->MinimoY() - holgura &&
                      v <= g->MaximoY() + holgura))
                    return false;
                anterior = v;
            }
            return true;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(bien(), qPrintable(nombre + QStringLiteral(": ") + etiquetas.join(" | ")), 3000);
    }
    // The comparison series lie within the axis, and fill a fair part of it.
    const double menor = *std::min_element(numeros.begin(), numeros.end());
    const double mayor = *std::max_element(numeros.begin(), numeros.end());
    QVERIFY2(pc->MinimoY() <= std::min(menor, 0.0) || pc->MinimoY() <= menor,
             qPrintable(QString::number(pc->MinimoY())));
    QVERIFY2(pc->MaximoY() >= mayor, qPrintable(QString::number(pc->MaximoY())));
    if (mayor - menor > 1e-299)
        QVERIFY2((pc->MaximoY() - pc->MinimoY()) <=
                     10.0 * std::max({mayor - menor, std::fabs(mayor), std::fabs(menor)}),
                 qPrintable(QString::number(pc->MaximoY() - pc->MinimoY())));
    // A hang is caught only by the test's watchdog; a crawl fails here.
    QVERIFY2(reloj.elapsed() < 5000, qPrintable(QString::number(reloj.elapsed())));
}

void TstGraficosComparar::colorPaleta()
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
        const QColor c = PaginasGraficos::ColorPaleta(k);
        const double lum = 0.2126 * lineal(c.red()) + 0.7152 * lineal(c.green()) + 0.0722 * lineal(c.blue());
        QVERIFY2(lum <= 0.25, qPrintable(c.name()));
        for (const QColor& o : vistos)
            QVERIFY2(std::hypot(c.red() - o.red(), c.green() - o.green(), c.blue() - o.blue()) >= 50.0,
                     qPrintable(c.name() + QLatin1Char(' ') + o.name()));
        vistos.append(c);
    }
    // Then it starts again.
    QCOMPARE(PaginasGraficos::ColorPaleta(23), PaginasGraficos::ColorPaleta(11));
    QVERIFY(!PaginasGraficos::ColoresComparativa(11).isValid());
}

void TstGraficosComparar::mostrarAjuste()
{
    auto w = Calculada(Texto(36, ConEstacion), ItemNVS, 0, 12);
    Grafico* pc = Control<Grafico>(w, "ChartPC");
    Control<QToolButton>(w, "TBComparar")->click();
    SerieGrafico* s = pc->SerieEn(1);
    const int n = s->count();
    QVERIFY(n > 12);
    auto nulos = [s] {
        return int(std::count_if(s->Puntos().begin(), s->Puntos().end(), [](const PuntoGrafico& q) { return q.nulo; }));
    };
    QCOMPARE(nulos(), 0);

    Control<QAction>(w, "Mostrarajuste1")->trigger(); // unchecked: only the last 12 points stay
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
    QCOMPARE(pc->NumSeries(), 3);
    SerieGrafico* t = pc->SerieEn(2);
    for (const PuntoGrafico& p : t->Puntos())
        QVERIFY(!p.nulo);
    Control<QToolButton>(w, "TBComparar")->click(); // the tool button applies it to every series
    QVERIFY(t->Puntos()[0].nulo);

    // Checked again: every point back, in the series colour.
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(6);
    Control<QAction>(w, "Mostrarajuste1")->trigger();
    QVERIFY(Control<QAction>(w, "Mostrarajuste1")->isChecked());
    QCOMPARE(nulos(), 0);
    for (size_t j = 0; j < s->Puntos().size(); ++j)
        QVERIFY(!s->ColorPropio(int(j)));

    // A series no longer than the horizon is never hidden in part.
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(n);
    Control<QAction>(w, "Mostrarajuste1")->trigger();
    QCOMPARE(nulos(), 0);
}

void TstGraficosComparar::eliminarYComparar()
{
    auto w = Ventana();
    Grafico* pc = Control<Grafico>(w, "ChartPC");
    Cargar(*w, Texto(36, ConEstacion));
    // Before any calculation: an empty copy with the model's label.
    Control<QToolButton>(w, "TBComparar")->click();
    QCOMPARE(pc->SerieEn(1)->count(), 0);
    QCOMPARE(pc->SerieEn(1)->name(), QStringLiteral("P DST ()"));
    w->EjecutarCalculo(true);
    Control<QToolButton>(w, "TBComparar")->click();
    Control<QToolButton>(w, "TBComparar")->click();
    QCOMPARE(pc->NumSeries(), 4);
    Control<QAction>(w, "Eliminarseriescomparativas1")->trigger();
    QCOMPARE(pc->NumSeries(), 1);
    QCOMPARE(pc->SerieEn(0)->objectName(), QStringLiteral("SeriesDatosComp"));
    QCOMPARE(pc->SerieEn(0)->count(), 36);
    Control<QToolButton>(w, "TBComparar")->click();
    QVERIFY(Igual(pc->SerieEn(1)->Color(), Rojo));
    // A load removes them too.
    Control<QToolButton>(w, "TBComparar")->click();
    w->CargarDatos();
    QCOMPARE(pc->NumSeries(), 1);
}

void TstGraficosComparar::arrastre_data()
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

void TstGraficosComparar::arrastre()
{
    QFETCH(bool, coma);
    QFETCH(QString, linea5);
    QFETCH(double, valor);
    QFETCH(QString, esperada);
    QFETCH(double, leido);
    PonerLocale(coma);
    auto w = Ventana();
    Grafico *p = Control<Grafico>(w, "ChartP"), *pc = Control<Grafico>(w, "ChartPC");
    QStringList lineas = Texto(36, ConEstacion, 2001, 1).split(QLatin1Char('\n'));
    lineas[4] = linea5;
    const QString texto = lineas.join(QLatin1Char('\n'));
    Cargar(*w, texto, 6);
    Calcular(*w, ItemNVS);
    // The grids' size after one run (an emptied grid keeps a blank row that the first run fills).
    const int unaFila = Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount();
    w->EjecutarCalculo(true);
    Control<QToolButton>(w, "TBComparar")->click();
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), unaFila + 1);

    // What the drag tool leaves: the point moved and its index notified.
    p->MoverPunto(S(p, "SeriesDatos"), 4, valor);
    Arrastrado(*w, 4);
    w->ChartPMouseUp();

    QCOMPARE(Linea(*w, 5), esperada);
    // Nothing else in the text changed.
    QStringList despues = Memo(*w).split(QLatin1Char('\n'));
    despues[4] = linea5;
    QCOMPARE(despues.join(QLatin1Char('\n')), texto);
    // Reloaded and recalculated: the edited value in the table and the history series.
    QCOMPARE(w->Ws.TablaPrev[5][4], leido);
    QCOMPARE(S(p, "SeriesDatos")->Puntos()[4].y, leido);
    QVERIFY(S(p, "SeriesPrevision")->count() > 0);
    // One fit row and one accuracy row of the recalculation, no comparisons, nothing held.
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), unaFila);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), unaFila);
    QCOMPARE(pc->NumSeries(), 1);
    QCOMPARE(w->PuntoArrastrado, -1);
    QCOMPARE(w->ArrastreX, -1.0);
    QCOMPARE(w->ArrastreY, -1.0);
}

void TstGraficosComparar::arrastreRaton()
{
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    Grafico* p = Control<Grafico>(w, "ChartP");
    p->PonerZoomAnimado(false);
    Cargar(*w, Escalones());
    Calcular(*w, ItemNVS);
    Control<QAction>(w, "Modificarpuntosdehistrico1")->trigger(); // as the menu does
    QVERIFY(Control<QAction>(w, "Modificarpuntosdehistrico1")->isChecked());
    QVERIFY(p->ArrastreActivo());
    Asentar(*p);

    SerieGrafico* datos = S(p, "SeriesDatos");
    const double y5 = datos->Puntos()[4].y;
    const QPoint sobre = EnVista(*p, datos, 5, y5);
    Cernerse(p->viewport(), sobre);
    QCOMPARE(p->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy mueve(p, &Grafico::puntoArrastrado);
    QTest::mousePress(p->viewport(), Qt::LeftButton, {}, sobre);
    QTest::mouseMove(p->viewport(), sobre + QPoint(0, -20));
    QTest::mouseMove(p->viewport(), sobre + QPoint(0, -40));
    QCOMPARE(w->PuntoArrastrado, 4);
    QVERIFY(!mueve.isEmpty());
    const double arrastrado = mueve.last().at(1).toDouble();
    QVERIFY(arrastrado > y5);
    QTest::mouseRelease(p->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -40));

    QCOMPARE(Linea(*w, 5), QStringLiteral("2000\t5\t") + TextoFijo2(arrastrado));
    QCOMPARE(w->Ws.TablaPrev[5][4], TextoAReal(TextoFijo2(arrastrado)));
    QCOMPARE(w->PuntoArrastrado, -1);
    QVERIFY(!p->Ampliado()); // the held point kept the zoom from starting
    QVERIFY(S(p, "SeriesPrevision")->count() > 0);
    // The mode stays on across the round trip; a click without movement changes nothing.
    QVERIFY(p->ArrastreActivo());
    Asentar(*p);
    const QString antes = Memo(*w);
    QTest::mouseClick(p->viewport(), Qt::LeftButton, {}, EnVista(*p, datos, 3, datos->Puntos()[2].y));
    QCOMPARE(Memo(*w), antes);
}

void TstGraficosComparar::arrastreModoApagado()
{
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    Grafico* p = Control<Grafico>(w, "ChartP");
    // Before any load a release changes nothing.
    QTest::mouseClick(p->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(Memo(*w).isEmpty());

    const QString texto = Escalones();
    Cargar(*w, texto);
    Asentar(*p);
    SerieGrafico* datos = S(p, "SeriesDatos");
    const QPoint sobre = EnVista(*p, datos, 5, datos->Puntos()[4].y);
    Arrastrar(p->viewport(), {sobre, sobre + QPoint(0, -40)});
    QCOMPARE(Memo(*w), texto);
    QCOMPARE(datos->Puntos()[4].y, 60.0);
    QCOMPARE(w->PuntoArrastrado, -1);

    // Switched on and off again: still nothing.
    Control<QAction>(w, "Modificarpuntosdehistrico1")->trigger();
    Control<QAction>(w, "Modificarpuntosdehistrico1")->trigger();
    QVERIFY(!p->ArrastreActivo());
    Arrastrar(p->viewport(), {sobre, sobre + QPoint(0, -40)});
    QCOMPARE(Memo(*w), texto);
}

void TstGraficosComparar::arrastreFallos()
{
    auto w = Ventana();
    Grafico* p = Control<Grafico>(w, "ChartP");
    const QString texto = Texto(24, [](int i) { return 40.0 + i; });
    Cargar(*w, texto);
    w->SesionActual.SeleccionarModelo(ItemNVS);

    // The text was shortened by hand: line 5 is gone; nothing changes, the point stays held.
    const QString corto = texto.split(QLatin1Char('\n')).mid(0, 3).join(QLatin1Char('\n'));
    PonerMemo(*w, corto);
    p->MoverPunto(S(p, "SeriesDatos"), 4, 77.0);
    Arrastrado(*w, 4);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, w->ChartPMouseUp());
    QCOMPARE(Memo(*w), corto);
    QCOMPARE(w->PuntoArrastrado, 4);

    // A line that does not read: the edit stays in the text, the point stays held.
    QStringList malas = texto.split(QLatin1Char('\n'));
    malas[1] = QStringLiteral("2000\tdos\t41");
    PonerMemo(*w, malas.join(QLatin1Char('\n')));
    QVERIFY_THROWS_EXCEPTION(ErrorConversion, w->ChartPMouseUp());
    QCOMPARE(Linea(*w, 5), QStringLiteral("2000\t5\t77,00"));
    QCOMPARE(w->PuntoArrastrado, 4);
    QCOMPARE(w->Ws.TablaPrev[5][4], 45.0); // the table still holds the last good load

    // Mended by hand, the next release completes the same round trip.
    malas[1] = QStringLiteral("2000\t2\t41");
    malas[4] = QStringLiteral("2000\t5\t45");
    PonerMemo(*w, malas.join(QLatin1Char('\n')));
    w->ChartPMouseUp();
    QCOMPARE(Linea(*w, 5), QStringLiteral("2000\t5\t77,00"));
    QCOMPARE(w->Ws.TablaPrev[5][4], 77.0);
    QCOMPARE(w->PuntoArrastrado, -1);
}

void TstGraficosComparar::arrastreErrorVisible()
{
    // Through the mouse, a failing round trip reaches the standard error display.
    auto w = Ventana();
    QVERIFY(MostrarGraficos(*w));
    Cargar(*w, Texto(24, [](int i) { return 40.0 + i; }));
    PonerMemo(*w, QStringLiteral("2000\t1\t40\n"));
    Arrastrado(*w, 4);
    QString visto;
    ResponderMensaje(&visto);
    QTest::mouseClick(Control<Grafico>(w, "ChartP")->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(!visto.isEmpty());
    QCOMPARE(w->PuntoArrastrado, 4);
    QCOMPARE(Memo(*w), QStringLiteral("2000\t1\t40\n"));
}

QTEST_MAIN(TstGraficosComparar)
void TstGraficosComparar::marcaDecimalEjes_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<bool>("automatica");
    QTest::newRow("es") << true << false;
    QTest::newRow("C") << false << false;
    QTest::newRow("es, automatic") << true << true;
}

// The seasonal coefficients (near 1) on their page: the value axis writes the
// user's decimal mark, as the bars' labels do.
void TstGraficosComparar::marcaDecimalEjes()
{
    QFETCH(bool, coma);
    QFETCH(bool, automatica);
    PonerLocale(coma);
    auto w = Calculada(Texto(48, ConEstacion), ItemDST);
    QVERIFY(MostrarGraficos(*w));
    if (automatica)
        Control<QAction>(w, "Previsionautomatica1")->trigger();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGraficoCE"));
    Grafico* g = Control<Grafico>(w, "ChartCE");
    const QChar marca = coma ? QLatin1Char(',') : QLatin1Char('.');
    const QChar otra = coma ? QLatin1Char('.') : QLatin1Char(',');
    QStringList etiquetas;
    QTRY_VERIFY2_WITH_TIMEOUT(
        ((void)g->grab(), etiquetas = EtiquetasEjeY(g), etiquetas.join(QString()).contains(marca)),
        qPrintable(etiquetas.join(QStringLiteral(" | "))), 3000);
    QVERIFY2(!etiquetas.join(QString()).contains(otra), qPrintable(etiquetas.join(QStringLiteral(" | "))));
}

#include "tst_graficos_comparar.moc"
