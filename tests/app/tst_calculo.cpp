// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation sequence, the forecast table view and the error tables,
// driven through the real window.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "Grafico.h"
#include "MainUnit.h"
#include "Numeros.h"
#include "Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

// Trend and season, from January 2000.
QString Serie(int n)
{
    static const double s[12] = {0.8, 0.8, 0.9, 1.0, 1.1, 1.2, 1.2, 1.1, 1.0, 1.0, 0.9, 1.0};
    return Mensual(n, [](int i) { return (100 + 2 * i) * s[(i - 1) % 12]; });
}

// Spare parts: demand in a few months only. Row 21 holds 4, the last three are 0.
QString Intermitente()
{
    static const int v[24] = {0, 0, 3, 0, 0, 0, 5, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 6, 0, 0, 4, 0, 0, 0};
    return Mensual(24, [](int i) { return v[i - 1]; });
}

// The user presses "Calcular" on the tool bar, with the given page in front.
void Calcular(TFormMain& w, QWidget* pagina)
{
    if (!w.isVisible()) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(pagina);
    QTest::mouseClick(w.findChild<QToolButton*>("TBCalcular"), Qt::LeftButton);
    QTest::qWait(20); // let it repaint
}

// Columns 1..12 of a grid row.
QStringList Medidas(const Rejilla* g, int fila)
{
    QStringList r;
    for (int c = 1; c <= 12; ++c)
        r << g->Celda(c, fila);
    return r;
}

// Decimal point texts as the given locale writes them.
QStringList EnLocale(QStringList t, const QString& locale)
{
    if (locale != QLatin1String("C"))
        for (QString& x : t)
            x.replace(QLatin1Char('.'), QLatin1Char(','));
    return t;
}

void Cargar(TFormMain& w, int n)
{
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(n));
    w.CargarDatos();
}

QColor ColorTexto(const Rejilla* g, int col, int fila)
{
    const ModeloRejilla* m = g->Modelo();
    const QVariant v = m->data(m->index(fila - 1, col), Qt::ForegroundRole);
    return v.canConvert<QBrush>() ? v.value<QBrush>().color() : QColor();
}

void ClicEnCabecera(Rejilla* g, int col)
{
    g->scrollTo(g->Modelo()->index(0, col));
    QHeaderView* h = g->horizontalHeader();
    const QPoint centro(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, centro);
}

// Drags a row by its fixed column, as the user moves rows.
void ArrastrarFila(Rejilla* g, int desde, int hasta)
{
    g->scrollTo(g->Modelo()->index(desde - 1, 0), QAbstractItemView::PositionAtCenter);
    auto centro = [&](int fila) { return g->visualRect(g->Modelo()->index(fila - 1, 0)).center(); };
    QWidget* vp = g->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(desde));
    QTest::mouseMove(vp, centro(desde + (hasta > desde ? 1 : -1)));
    QTest::mouseMove(vp, centro(hasta));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centro(hasta));
}

} // namespace

class TstCalculo : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void sinDatos();
    void dosCalculosIguales();
    void ejemploDST();
    void reservaYColores();
    void formatos_data();
    void formatos();
    void columnasLimpias();
    void mostrarFalso();
    void etiquetas_data();
    void etiquetas();
    void retenidosNulos_data();
    void retenidosNulos();
    void celdasVacias_data();
    void celdasVacias();
    void horizonteCero();
    void minMaxConVacias();
    void borrarTabla();
    void todosLosModelos();
    void coloresPorTiempo_data();
    void coloresPorTiempo();
    void editorVaciado_data();
    void editorVaciado();
    void parametroVaciado_data();
    void parametroVaciado();
};

void TstCalculo::sinDatos()
{
    TFormMain w;
    Mensajes m;
    w.CalcularPrevision(true);
    QCOMPARE(m.textos, QStringList{QStringLiteral("Cargue los datos antes de calcular.")});
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), QString());
}

void TstCalculo::dosCalculosIguales()
{
    TFormMain w;
    Cargar(w, 36);
    w.CalcularPrevision(true);
    w.CalcularPrevision(true);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 3);
    for (int c = 0; c < 13; ++c)
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(c, 2),
                 Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(c, 1));
    QVERIFY(!Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(1, 1).isEmpty());
    // No hold-out: no accuracy row.
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 2);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(0, 1), QString());
    QVERIFY(!QApplication::overrideCursor());
}

void TstCalculo::ejemploDST()
{
    TFormMain w;
    Cargar(w, 36);
    w.SeleccionarModelo(ItemDST);
    w.CalcularPrevision(true);
    Rejilla* g = Control<Rejilla>(w, "AdvStringGridPrevision");
    QCOMPARE(g->ColCount(), 9);
    QCOMPARE(g->RowCount(), 49);
    const QStringList cab = {"t", "Año", "Mes", "Datos", "MM12", "MM12C", "E*I", "T", "P"};
    for (int c = 0; c < 9; ++c)
        QCOMPARE(g->Celda(c, 0), cab[c]);
    QCOMPARE(g->Celda(0, 37), QStringLiteral("37"));
    QCOMPARE(g->Celda(1, 37), QStringLiteral("2003"));
    QCOMPARE(g->Celda(2, 37), QStringLiteral("1"));
    QCOMPARE(g->Celda(3, 37), QString());
    // Worked by hand: trend line of the centred averages times January's coefficient.
    QCOMPARE(g->Celda(8, 37), QStringLiteral("139.39"));
    QCOMPARE(w.AdvStringGridPrevisionGetCellColor(37, 8), QColor(Qt::red));
    QCOMPARE(w.AdvStringGridPrevisionGetCellColor(36, 8), QColor());
    QCOMPARE(w.AdvStringGridPrevisionGetCellColor(5, 3), QColor(Qt::blue));
    QVERIFY(
        Control<QTabWidget>(w, "PageControl1")
            ->isTabVisible(Control<QTabWidget>(w, "PageControl1")->indexOf(Control<QWidget>(w, "TabSheetTablaCE"))));
    QCOMPARE(Control<Rejilla>(w, "StringGridCE")->Celda(0, 12), QStringLiteral("12"));
    QCOMPARE(Control<Rejilla>(w, "StringGridCE")->Celda(1, 1), QStringLiteral("0.80"));
    // A model without coefficients hides the two C.E. pages.
    w.SeleccionarModelo(ItemNVS);
    w.CalcularPrevision(true);
    QVERIFY(
        !Control<QTabWidget>(w, "PageControl1")
             ->isTabVisible(Control<QTabWidget>(w, "PageControl1")->indexOf(Control<QWidget>(w, "TabSheetTablaCE"))));
    QVERIFY(
        !Control<QTabWidget>(w, "PageControl1")
             ->isTabVisible(Control<QTabWidget>(w, "PageControl1")->indexOf(Control<QWidget>(w, "TabSheetGraficoCE"))));
    QCOMPARE(g->ColCount(), 5);
}

void TstCalculo::reservaYColores()
{
    TFormMain w;
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(3);
    Cargar(w, 36);
    w.SeleccionarModelo(ItemHLT);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.5);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.3);
    w.CalcularPrevision(true);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 2);
    QVERIFY(!Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(1, 1).isEmpty());
    // Held-out data grey, their forecasts red.
    QCOMPARE(w.AdvStringGridPrevisionGetCellColor(34, 3), QColor(192, 192, 192));
    QCOMPARE(w.AdvStringGridPrevisionGetCellColor(34, 6), QColor(Qt::red));
    QVERIFY(!Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(3, 34).isEmpty());
    // A changed hold-out recolours at once, before any calculation.
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(0);
    QCOMPARE(w.AdvStringGridPrevisionGetCellColor(34, 3), QColor(Qt::blue));
}

void TstCalculo::formatos_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("dato");
    QTest::addColumn<QString>("modelo");
    QTest::newRow("es") << "es_ES"
                        << "12,5"
                        << "12,50";
    QTest::newRow("C") << "C"
                       << "12.5"
                       << "12.50";
}

void TstCalculo::formatos()
{
    QFETCH(QString, locale);
    QFETCH(QString, dato);
    QFETCH(QString, modelo);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("2000\t1\t12,5\n2000\t2\t7\n2000\t3\t9\n"));
    w.CargarDatos();
    w.SeleccionarModelo(ItemNVS);
    w.CalcularPrevision(true);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(3, 1), dato);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(4, 2), modelo); // NVS: the previous value
    QLocale::setDefault(QLocale::c());
}

void TstCalculo::columnasLimpias()
{
    TFormMain w;
    Cargar(w, 36);
    w.SeleccionarModelo(ItemHW);
    w.CalcularPrevision(true);
    QVERIFY(w.Ws.Valida(30, 11));
    w.SeleccionarModelo(ItemNVS);
    w.CalcularPrevision(true);
    for (int i = 0; i < w.Ws.Filas(); ++i)
        for (int c = 6; c <= 11; ++c)
            QVERIFY(!w.Ws.Valida(i, c) && w.Ws.V(i, c) == 0.0);
}

void TstCalculo::mostrarFalso()
{
    TFormMain w;
    Cargar(w, 36);
    w.SeleccionarModelo(ItemNVS);
    w.CalcularPrevision(false);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->ColCount(), 4); // the view keeps the history
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), QStringLiteral("NVS ()"));
}

void TstCalculo::etiquetas_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("reserva");
    QTest::addColumn<QString>("etiqueta");
    QTest::newRow("HLT es") << "es_ES" << int(ItemHLT) << 3 << "HLT (0,5;0,3) T-3";
    QTest::newRow("HLT C") << "C" << int(ItemHLT) << 3 << "HLT (0.5;0.3) T-3";
    QTest::newRow("NVS") << "es_ES" << int(ItemNVS) << 0 << "NVS ()";
    QTest::newRow("MMS") << "es_ES" << int(ItemMMS) << 0 << "MMS (6)";
    QTest::newRow("H-W") << "es_ES" << int(ItemHW) << 12 << "H-W (0,5;0,3;0,5) T-12";
    QTest::newRow("S-B") << "C" << int(ItemSB) << 0 << "S-B (0.5)";
}

void TstCalculo::etiquetas()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(int, reserva);
    QFETCH(QString, etiqueta);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
    Cargar(w, 48);
    w.SeleccionarModelo(item);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.3);
    QCOMPARE(w.EtiquetaModelo(), etiqueta);
    w.CalcularPrevision(true);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), etiqueta);
    if (reserva > 0)
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(0, 1), etiqueta);
    QLocale::setDefault(QLocale::c());
}

void TstCalculo::retenidosNulos_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("acierto"); // "?": written, value not checked
    // NVS by hand: forecast 4 (row 21) against 0, 0, 0, and so is the benchmark:
    // e = b = -4; no held-back value is non-zero, so MAPE has none; A + F = 4.
    const QStringList nvs = {"16.00", "4.00", "4.00", "",     "200.00", "1.00",
                             "1.00",  "1.00", "0.00", "0.00", "0.00",   "0.00"};
    QStringList crt(12, QStringLiteral("?"));
    crt[3] = QString();
    QTest::newRow("NVS es") << "es_ES" << int(ItemNVS) << nvs;
    QTest::newRow("NVS C") << "C" << int(ItemNVS) << nvs;
    QTest::newRow("CRT es") << "es_ES" << int(ItemCRT) << crt;
    QTest::newRow("S-B C") << "C" << int(ItemSB) << crt;
}

// An intermittent history whose three held-back values are all 0.
void TstCalculo::retenidosNulos()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(QStringList, acierto);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(3);
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Intermitente());
    w.CargarDatos();
    w.SeleccionarModelo(item);
    Mensajes m;
    Calcular(w, Control<QWidget>(w, "TabSheetErrAcierto"));
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));

    const QStringList filaAcierto = Medidas(Control<Rejilla>(w, "AdvSGErrAcierto"), 1);
    const QStringList esperado = EnLocale(acierto, locale);
    for (int k = 0; k < 12; ++k) {
        if (esperado[k] == QLatin1String("?"))
            QVERIFY2(!filaAcierto[k].isEmpty(), qPrintable(QString::number(k + 1)));
        else
            QCOMPARE(filaAcierto[k], esperado[k]);
    }
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(0, 1),
             w.CodigoModelo() + QStringLiteral(" (") + w.ParametrosModelo() + ") T-3");
    // The fit range has demand in it: every fit measure is written.
    for (const QString& t : Medidas(Control<Rejilla>(w, "AdvSGErrAjuste"), 1))
        QVERIFY(!t.isEmpty());

    // The charts show this run: the forecast from the first fitted row to 21 + 12.
    QCOMPARE(Control<Grafico>(w, "ChartP")->Titulo(),
             QStringLiteral("Previsión (") + w.CodigoModelo() + ") : " + w.NombreSerie);
    const SerieGrafico* prev = Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SeriesPrevision"));
    QCOMPARE(prev->count(), 33 - w.Ws.FilaInicioPrev);
    QCOMPARE(prev->Puntos().back().x, 33.0);
    QCOMPARE(Control<Grafico>(w, "ChartPA")->Serie(QStringLiteral("SeriesPrevCum"))->count(), prev->count());
    QVERIFY(!QApplication::overrideCursor());
    QLocale::setDefault(QLocale::c());
}

void TstCalculo::celdasVacias_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QStringList>("fila");
    // A constant history under NVS, no hold-out: e = b = 0 in every fit row,
    // so every ratio to the benchmark is 0/0; no row beats the benchmark (by hand).
    const QStringList constante = {"0.00", "0.00", "0.00", "0.00", "0.00", "", "", "", "", "0.00", "0.00", "0.00"};
    // A straight line under Holt with alpha = beta = 1: the six held-back
    // values are met exactly, while the benchmark misses by 2, 4, ... 12; the
    // logarithm of RelRMSE = 0 has no value (by hand).
    const QStringList recta = {"0.00", "0.00", "0.00", "0.00",   "0.00",   "0.00",
                               "0.00", "0.00", "",     "100.00", "100.00", "100.00"};
    QTest::newRow("constante es") << "es_ES"
                                  << "constante" << constante;
    QTest::newRow("constante C") << "C"
                                 << "constante" << constante;
    QTest::newRow("recta es") << "es_ES"
                              << "recta" << recta;
    QTest::newRow("recta C") << "C"
                             << "recta" << recta;
}

// A perfect fit and an all-zero benchmark error leave only their own cells empty.
void TstCalculo::celdasVacias()
{
    QFETCH(QString, locale);
    QFETCH(QString, caso);
    QFETCH(QStringList, fila);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    const bool recta = caso == QLatin1String("recta");
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(recta ? 6 : 0);
    QString t;
    for (int i = 1; i <= 30; ++i)
        t += QStringLiteral("%1\t%2\t%3\n").arg(2000 + (i - 1) / 12).arg((i - 1) % 12 + 1).arg(recta ? 10 + 2 * i : 5);
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(t);
    w.CargarDatos();
    w.SeleccionarModelo(recta ? ItemHLT : ItemNVS);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(1.0);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(1.0);
    Mensajes m;
    Rejilla* g = recta ? Control<Rejilla>(w, "AdvSGErrAcierto") : Control<Rejilla>(w, "AdvSGErrAjuste");
    Calcular(w, recta ? Control<QWidget>(w, "TabSheetErrAcierto") : Control<QWidget>(w, "TabSheetErrAjuste"));
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));
    QCOMPARE(Medidas(g, 1), EnLocale(fila, locale));
    QVERIFY(!g->Celda(0, 1).isEmpty());
    QVERIFY(Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SeriesPrevision"))->count() > 0);
    // The next run appends below.
    Calcular(w, Control<QWidget>(w, "TabSheetErrAjuste"));
    QCOMPARE(g->RowCount(), 3);
    QCOMPARE(Medidas(g, 2), Medidas(g, 1));
    QLocale::setDefault(QLocale::c());
}

// Values held back but nothing forecast: no accuracy row, and no message, for any model.
void TstCalculo::horizonteCero()
{
    TFormMain w;
    Control<QSpinBox>(w, "SEValoresPrever")->setValue(0);
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
    Cargar(w, 36);
    Mensajes m;
    for (int item = 0; item < 12; ++item) {
        w.SeleccionarModelo(item);
        Calcular(w, Control<QWidget>(w, "TabSheetErrAcierto"));
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, item + 1), w.EtiquetaModelo());
    }
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 2);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(0, 1), QString());
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 13);
}

// Highlighting and sorting pass over the empty cells of partly measured runs.
void TstCalculo::minMaxConVacias()
{
    TFormMain w;
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Intermitente());
    w.CargarDatos();
    w.SeleccionarModelo(ItemNVS);
    Mensajes m;
    // MAPE of NVS by hand: 3 held back, all 0: none; 4 held back (4, 0, 0, 0
    // against 0): 100; 6 held back (0, 0, 4, 0, 0, 0 against 6): 50.
    for (int reserva : {3, 4, 6}) {
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
        Calcular(w, Control<QWidget>(w, "TabSheetErrAcierto"));
    }
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));
    Rejilla* g = Control<Rejilla>(w, "AdvSGErrAcierto");
    QCOMPARE(g->RowCount(), 4);
    QCOMPARE(Medidas(g, 1)[3], QString());
    QCOMPARE(Medidas(g, 2)[3], QStringLiteral("100.00"));
    QCOMPARE(Medidas(g, 3)[3], QStringLiteral("50.00"));

    Control<QAction>(w, "Mostrarminmax1")->trigger();
    QTest::qWait(20); // let it repaint
    const auto fondo = [g](int fila, int col) {
        return g->model()->index(fila - 1, col).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    const auto resaltada = [g](int fila, int col) {
        return g->model()->index(fila - 1, col).data(Qt::BackgroundRole).isValid();
    };
    QVERIFY(!resaltada(1, 4));
    QCOMPARE(fondo(2, 4), QColor(235, 120, 152)); // the worst MAPE
    QCOMPARE(fondo(3, 4), QColor(135, 237, 153)); // the best, not the empty cell

    // Sorted by MAPE either way, the run without one stays last.
    ClicEnCabecera(g, 4);
    QCOMPARE(g->Celda(0, 1), QStringLiteral("NVS () T-6"));
    QCOMPARE(g->Celda(0, 3), QStringLiteral("NVS () T-3"));
    ClicEnCabecera(g, 4);
    QCOMPARE(g->Celda(0, 1), QStringLiteral("NVS () T-4"));
    QCOMPARE(g->Celda(0, 3), QStringLiteral("NVS () T-3"));
    QVERIFY(!resaltada(3, 4));
    QCOMPARE(fondo(2, 4), QColor(135, 237, 153));
}

void TstCalculo::borrarTabla()
{
    TFormMain w;
    Cargar(w, 36);
    w.CalcularPrevision(true);
    w.CalcularPrevision(true);
    w.Borrarinformacinsobreerrores1Click();
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 2);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), QString());
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 0), QStringLiteral("Modelo"));
    w.CalcularPrevision(true);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 2);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), QStringLiteral("DST ()"));
}

void TstCalculo::todosLosModelos()
{
    // Every model calculates from the window on a three-year history.
    TFormMain w;
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
    Cargar(w, 36);
    Mensajes m;
    for (int item = 0; item < 12; ++item) {
        w.SeleccionarModelo(item);
        w.CalcularPrevision(true);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->ColCount(), w.UltimaColModelo());
    }
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 13);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 13);
    for (int r = 1; r <= 12; ++r)
        QVERIFY(!Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(12, r).isEmpty());
}

void TstCalculo::coloresPorTiempo_data()
{
    // Grid column sorted by a header click (-1: a row dragged instead), and
    // how many clicks (2: descending).
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("clics");
    QTest::newRow("Datos ascending") << 3 << 1; // held-out rows move among the history
    QTest::newRow("P descending") << 8 << 2; // forecasts to the top
    QTest::newRow("t descending") << 0 << 2;
    QTest::newRow("held-out row dragged up") << -1 << 0;
}

void TstCalculo::coloresPorTiempo()
{
    QFETCH(int, col);
    QFETCH(int, clics);
    TFormMain w;
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
    Cargar(w, 36);
    w.SeleccionarModelo(ItemDST);
    w.CalcularPrevision(true);
    w.show();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetTablaPrev"));
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Rejilla* g = Control<Rejilla>(w, "AdvStringGridPrevision");
    QHeaderView* h = g->horizontalHeader();
    QCOMPARE(h->sortIndicatorSection(), -1);
    if (col >= 0) {
        for (int k = 0; k < clics; ++k)
            ClicEnCabecera(g, col);
        QCOMPARE(h->sortIndicatorSection(), col);
    } else {
        ArrastrarFila(g, 31, 28); // the first held-out row among the fitting rows
        QCOMPARE(g->Celda(0, 28), QStringLiteral("31"));
    }
    QTest::qWait(20); // let it repaint

    // Rows 1..30 are fitted history, 31..42 forecasts, the first six of them
    // on held-out history.
    QCOMPARE(g->RowCount(), 43);
    int enSuSitio = 0;
    for (int r = 1; r <= 42; ++r) {
        const int t = g->Celda(0, r).toInt();
        QVERIFY(t >= 1 && t <= 42);
        enSuSitio += t == r;
        QCOMPARE(ColorTexto(g, 3, r), t <= 30 ? QColor(Qt::blue) : QColor(192, 192, 192));
        QCOMPARE(ColorTexto(g, 8, r), t > 30 ? QColor(Qt::red) : QColor());
        QCOMPARE(ColorTexto(g, 1, r), QColor());
    }
    QVERIFY(enSuSitio < 42); // the rows did move

    // A new calculation shows the rows in time order again and no header
    // claims a sort; in the coefficient table too, and after a load.
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetTablaCE"));
    ClicEnCabecera(Control<Rejilla>(w, "StringGridCE"), 1);
    QCOMPARE(Control<Rejilla>(w, "StringGridCE")->horizontalHeader()->sortIndicatorSection(), 1);
    w.CalcularPrevision(true);
    QCOMPARE(h->sortIndicatorSection(), -1);
    for (int r = 1; r <= 42; ++r)
        QCOMPARE(g->Celda(0, r), QString::number(r));
    QCOMPARE(Control<Rejilla>(w, "StringGridCE")->horizontalHeader()->sortIndicatorSection(), -1);
    QCOMPARE(Control<Rejilla>(w, "StringGridCE")->Celda(0, 1), QStringLiteral("1"));
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetTablaPrev"));
    ClicEnCabecera(g, 3);
    QCOMPARE(h->sortIndicatorSection(), 3);
    Cargar(w, 36);
    QCOMPARE(h->sortIndicatorSection(), -1);
    QCOMPARE(g->Celda(0, 1), QStringLiteral("1"));

    // A new split recolours the sorted grid by t at once.
    w.CalcularPrevision(true);
    ClicEnCabecera(g, 8);
    ClicEnCabecera(g, 8);
    QVERIFY(g->Celda(0, 1).toInt() > 30); // a forecast row on top
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(0);
    for (int r = 1; r <= 42; ++r) {
        const int t = g->Celda(0, r).toInt();
        QCOMPARE(ColorTexto(g, 3, r), t <= 36 ? QColor(Qt::blue) : QColor(192, 192, 192));
        QCOMPARE(ColorTexto(g, 8, r), t > 36 ? QColor(Qt::red) : QColor());
    }
}

void TstCalculo::editorVaciado_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("reserva"); // hold-out set before loading
    QTest::addColumn<int>("filas"); // grid rows after the run, header included
    QTest::addColumn<int>("numDatos");
    // By hand: 36 values, horizon 12, hold-out 6; the emptied box reads 0.
    QTest::newRow("hold-out es") << "es_ES"
                                 << "SEPuntosSinUsar" << 6 << 36 + 12 + 1 << 36;
    QTest::newRow("hold-out C") << "C"
                                << "SEPuntosSinUsar" << 6 << 36 + 12 + 1 << 36;
    QTest::newRow("horizon es") << "es_ES"
                                << "SEValoresPrever" << 0 << 36 + 0 + 1 << 36;
    QTest::newRow("horizon C") << "C"
                               << "SEValoresPrever" << 0 << 36 + 0 + 1 << 36;
}

// The user empties a whole-number box (select all, Delete) and presses Calcular.
void TstCalculo::editorVaciado()
{
    QFETCH(QString, locale);
    QFETCH(QString, edit);
    QFETCH(int, reserva);
    QFETCH(int, filas);
    QFETCH(int, numDatos);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
    Cargar(w, 36);
    QCOMPARE(w.Ws.NumDatos, 36 - reserva);
    w.SeleccionarModelo(ItemHLT);
    w.show();
    w.activateWindow();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* se = w.findChild<QSpinBox*>(edit);
    QVERIFY(se);
    se->setFocus();
    QTest::keyClick(se, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(se, Qt::Key_Delete);
    QCOMPARE(se->text(), QString());
    QCOMPARE(w.Ws.NumDatos, numDatos); // the split follows the emptied box at once
    Mensajes m;
    QTest::mouseClick(w.findChild<QToolButton*>("TBCalcular"), Qt::LeftButton);
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));
    const QString decimal = locale == "C" ? "0.5" : "0,5";
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), "HLT (" + decimal + ";" + decimal + ")"); // no " T-6"
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 2);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->Celda(0, 1), QString());
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->RowCount(), filas);
    QCOMPARE(w.Ws.NumDatos, numDatos);
    // Leaving the box shows what was read, and the split stays.
    Control<QCheckBox>(w, "CBPrevNeg")->setFocus();
    QVERIFY(!se->hasFocus());
    QCOMPARE(se->text(), QStringLiteral("0"));
    QCOMPARE(w.Ws.NumDatos, numDatos);
    QLocale::setDefault(QLocale::c());
}

void TstCalculo::parametroVaciado_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("etiqueta"); // of the new fit row
    // An emptied parameter box reads as 0, like any text that is no number.
    QTest::newRow("alpha of Holt, es") << "es_ES"
                                       << "SEAlfaHLT" << int(ItemHLT) << "HLT (0;0,5)";
    QTest::newRow("beta of Holt, C") << "C"
                                     << "SEBetaHLT" << int(ItemHLT) << "HLT (0.5;0)";
    QTest::newRow("alpha of LES, es") << "es_ES"
                                      << "SEAlfaLE" << int(ItemLES) << "LES (0)";
    // N = 0 is a run of its own (every mean over no rows is 0), not the last N.
    QTest::newRow("N of MMS, es") << "es_ES"
                                  << "SEN" << int(ItemMMS) << "MMS (0)";
    // Negative N is refused; the emptied box is not read as one.
    QTest::newRow("N of MMD, C") << "C"
                                 << "SEN" << int(ItemMMD) << "MMD (0)";
}

void TstCalculo::parametroVaciado()
{
    QFETCH(QString, locale);
    QFETCH(QString, edit);
    QFETCH(int, item);
    QFETCH(QString, etiqueta);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    Cargar(w, 36);
    w.SeleccionarModelo(item);
    w.show();
    w.activateWindow();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* se = w.findChild<QAbstractSpinBox*>(edit);
    QVERIFY(se && se->isVisible());
    se->setFocus();
    QTest::keyClick(se, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(se, Qt::Key_Delete);
    QCOMPARE(se->text(), QString());
    Mensajes m;
    QTest::mouseClick(w.findChild<QToolButton*>("TBCalcular"), Qt::LeftButton);
    QVERIFY2(m.textos.isEmpty(), qPrintable(m.textos.join('|')));
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), etiqueta);
    // Leaving the box shows the 0 that was read.
    Control<QCheckBox>(w, "CBPrevNeg")->setFocus();
    QVERIFY(se->text() == QStringLiteral("0") || se->text() == QStringLiteral("0,00") ||
            se->text() == QStringLiteral("0.00"));
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TstCalculo)
#include "tst_calculo.moc"
