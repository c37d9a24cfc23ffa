// SPDX-License-Identifier: GPL-3.0-or-later
// The twelve models on small histories whose values were worked by hand from
// each model's recurrence, plus one contract run over every model.
#include <QtTest>
#include <cmath>
#include <limits>

#include "models/Medidas.h"
#include "models/Modelos.h"

using namespace tendora;

namespace {

using Filas = QList<double>;

// A history from January 2000 on, dated forecast rows; the last `reserva`
// values are held out of the fit.
Espacio Historia(const Filas& y, int V, int reserva = 0)
{
    Espacio e;
    const int n = static_cast<int>(y.size());
    e.TotalDatos = n;
    e.NumDatos = n - reserva;
    DimensionarTabla(e, V);
    int anio = 2000, mes = 1;
    for (int i = 1; i <= n; ++i) {
        e.Poner(i, 1, i);
        e.Poner(i, 2, anio);
        e.Poner(i, 3, mes);
        e.Poner(i, 4, y[i - 1]);
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    e.DatosCargados = true;
    LimpiarColumnasModelo(e, V);
    PrepararFilasPrevision(e, V);
    return e;
}

// The page's start values (N 6, every constant 0.5) with the given horizon.
Parametros Par(int V, int N = 6, double alfa = 0.5, bool prevNeg = false)
{
    Parametros p;
    p.V = V;
    p.N = N;
    p.AlfaLE = p.AlfaTHT = p.AlfaHLT = p.AlfaCroston = alfa;
    p.PrevNeg = prevNeg;
    return p;
}

// No cell of the table holds infinity or NaN.
void TodoFinito(const Espacio& e)
{
    for (int i = 0; i < e.Filas(); ++i)
        for (int c = 0; c < NumCols; ++c)
            QVERIFY(std::isfinite(e.V(i, c)));
}

const double s12[12] = {0.8, 0.8, 0.9, 1.0, 1.1, 1.2, 1.2, 1.1, 1.0, 1.0, 0.9, 1.0};

Filas Estacional24()
{
    Filas y;
    for (int i = 0; i < 24; ++i)
        y.push_back(100 * s12[i % 12]);
    return y;
}

// Three years of a rising line times the seasonal pattern.
Filas Tendencia36()
{
    Filas y;
    for (int i = 1; i <= 36; ++i)
        y << (100 + 2 * i) * s12[(i - 1) % 12];
    return y;
}

Filas Lineal24()
{
    Filas y;
    for (int i = 1; i <= 24; ++i)
        y.push_back(100 + i);
    return y;
}

const Filas corta = {10, 12, 11, 13, 12, 14};
const Filas intermitente = {4, 0, 0, 6, 0, 2};

// One expected cell of the forecast table; column 0 stands for the seasonal
// index of month `fila` left in CoefEstacional.
struct Celda {
    int fila;
    int col;
    double valor;
};
using Celdas = QList<Celda>;

// 36 months whose level falls through zero in the third year: a falling line
// (40 - 1.5 t) times the seasonal pattern above, plus 3 sin t, to two decimals.
const Filas cruceCero = {33.32, 32.33, 32.37, 31.73, 32.87, 36.36, 37.37, 33.77, 27.74, 23.37, 18.15,  20.39,
                         17.66, 18.17, 17.7,  15.14, 13.07, 13.35, 14.25, 13.74, 11.01, 6.97,  2.41,   1.28,
                         1.6,   3.09,  2.42,  -1.19, -5.84, -8.96, -9.01, -7.15, -6.5,  -9.41, -12.53, -16.98};

// A model run on a history: the forecast column, its first row, and the
// values expected from row `desde` on.
struct Ejemplo {
    int item;
    Filas historia;
    int V, N;
    double alfa, beta;
    int col, filaInicio, desde;
    Filas esperado;
    double tol = 1e-9;
};

// Croston's columns beyond the data: demand q, size Z, interval W, forecast P.
struct Croston {
    int item;
    Filas historia;
    int reserva;
    bool prevNeg;
    double q, z, w, p;
};

} // namespace

Q_DECLARE_METATYPE(Celda)
Q_DECLARE_METATYPE(Croston)
Q_DECLARE_METATYPE(Ejemplo)

class TstModelos : public QObject {
    Q_OBJECT
private slots:
    void ejemplos_data();
    void ejemplos();
    void compartidas();
    void coeficientesConHuecos();
    void fallos_data();
    void fallos();
    void desbordamientos_data();
    void desbordamientos();
    void recorte();
    void contrato_data();
    void contrato();
    void mesDeFila_data();
    void mesDeFila();
    void mediasEnBloques();
    void mediasMovilesSimples_data();
    void mediasMovilesSimples();
    void ventanaMasLarga_data();
    void ventanaMasLarga();
    void crostonMasAlla_data();
    void crostonMasAlla();
    void ordenEscrito_data();
    void ordenEscrito();
};

void TstModelos::ejemplos_data()
{
    QTest::addColumn<Ejemplo>("caso");
    // Worked by hand from each recurrence.
    QTest::newRow("NVS") << Ejemplo(0, corta, 3, 0, 0.0, 0.0, 5, 1, 2, Filas{10, 12, 11, 13, 12, 14, 14, 14});
    QTest::newRow("NVE seasonal") << Ejemplo(1, Estacional24(), 3, 0, 0.0, 0.0, 9, 1, 25, Filas{80, 64, 57.6});
    QTest::newRow("NVE linear") << Ejemplo(1, Lineal24(), 3, 0, 0.0, 0.0, 9, 1, 24, Filas{123, 124, 124, 124});
    QTest::newRow("MMS N2") << Ejemplo(2, corta, 3, 2, 0.0, 0.0, 5, 2, 3, Filas{11, 11.5, 12, 12.5, 13, 13.5, 13.25});
    QTest::newRow("MMD N2") << Ejemplo(3, corta, 3, 2, 0.0, 0.0, 6, 4, 5, Filas{11.25, 11.75, 12.25, 12.75, 13.25});
    QTest::newRow("LES") << Ejemplo(4, corta, 3, 0, 0.5, 0.0, 5, 0, 1, Filas{10, 10, 11, 11, 12, 12, 13, 13, 13});
    QTest::newRow("LED") << Ejemplo(5, corta, 3, 0, 0.5, 0.0, 6, 0, 1,
                                    Filas{10, 10, 10, 10.5, 10.75, 11.375, 11.6875, 12.34375, 12.671875});
    QTest::newRow("DST linear") << Ejemplo(6, Lineal24(), 3, 0, 0.0, 0.0, 9, 0, 24, Filas{124, 125, 126, 127});
    QTest::newRow("DST seasonal") << Ejemplo(6, Estacional24(), 3, 0, 0.0, 0.0, 9, 0, 25, Filas{80, 80, 90});
    QTest::newRow("THT seasonal") << Ejemplo(7, Estacional24(), 3, 0, 0.5, 0.0, 11, 0, 25, Filas{80, 80, 90});
    QTest::newRow("THT linear") << Ejemplo(7, Lineal24(), 3, 0, 0.5, 0.0, 11, 0, 1,
                                           Filas{101, 101.5, 102.25, 103.125, 104.0625});
    QTest::newRow("HLT") << Ejemplo(
        8, corta, 3, 0, 0.5, 0.5, 7, 0, 1,
        Filas{10.4, 10.9, 12.425, 12.33125, 13.4515625, 13.148828125, 14.21025390625, 14.84609375, 15.48193359375});
    QTest::newRow("HLT alpha1 beta0") << Ejemplo(8, corta, 3, 0, 1.0, 0.0, 7, 0, 7, Filas{14.8, 15.6, 16.4});
    QTest::newRow("H-W seasonal") << Ejemplo(9, Estacional24(), 3, 0, 0.5, 0.5, 11, 0, 25, Filas{80, 80, 90});
    QTest::newRow("H-W linear start") << Ejemplo(9, Lineal24(), 0, 0, 0.5, 0.5, 11, 0, 1, Filas{101.5});
    QTest::newRow("CRT") << Ejemplo(10, intermitente, 3, 0, 0.5, 0.0, 8, 0, 1,
                                    Filas{4, 4, 4, 4, 2.5, 2.5, 1.75, 1.75, 1.75});
    QTest::newRow("S-B") << Ejemplo(11, intermitente, 3, 0, 0.5, 0.0, 8, 0, 1,
                                    Filas{4, 3, 3, 3, 1.875, 1.875, 1.3125, 1.3125, 1.3125});
    QTest::newRow("CRT trailing zeros") << Ejemplo(10, Filas{4, 0, 0, 6, 0, 0}, 4, 0, 0.5, 0.0, 8, 0, 7,
                                                   Filas{2.5, 2.5, 2.5, 2.5});
    // Rows 37..39, to two decimals, worked by hand.
    QTest::newRow("DST trend and season")
        << Ejemplo(6, Tendencia36(), 3, 6, 0.5, 0.5, 9, 0, 37, Filas{139.39, 140.71, 160.00}, 0.005);
    QTest::newRow("THT trend and season")
        << Ejemplo(7, Tendencia36(), 3, 6, 0.5, 0.5, 11, 0, 37, Filas{136.12, 136.62, 154.48}, 0.005);
    QTest::newRow("H-W trend and season")
        << Ejemplo(9, Tendencia36(), 3, 6, 0.5, 0.5, 11, 0, 37, Filas{138.25, 139.43, 158.29}, 0.005);
}

void TstModelos::ejemplos()
{
    QFETCH(Ejemplo, caso);
    Espacio e = Historia(caso.historia, caso.V);
    Parametros p = Par(caso.V, caso.N, caso.alfa);
    p.BetaHLT = caso.beta;
    EjecutarModelo(e, caso.item, p);
    QCOMPARE(e.ColPrev, caso.col);
    QCOMPARE(e.FilaInicioPrev, caso.filaInicio);
    for (int k = 0; k < caso.esperado.size(); ++k) {
        const int fila = caso.desde + k;
        QVERIFY2(std::fabs(e.V(fila, caso.col) - caso.esperado[k]) < caso.tol,
                 qPrintable(QStringLiteral("row %1: %2 vs %3")
                                .arg(fila)
                                .arg(e.V(fila, caso.col), 0, 'g', 17)
                                .arg(caso.esperado[k])));
    }
}

void TstModelos::compartidas()
{
    // Y = 100 + i over two years: MM12(7) = 106.5, MM12C = 100 + i, ratios 1.
    Espacio e = Historia(Lineal24(), 0);
    ComprobarMeses(e, 24);
    MediasMovilesCentradas(e);
    QCOMPARE(e.V(7, 5), 106.5);
    QCOMPARE(e.V(19, 5), 118.5);
    QVERIFY(!e.Valida(20, 5));
    QCOMPARE(e.V(18, 6), 118.0);
    QVERIFY(!e.Valida(19, 6));
    QCOMPARE(e.V(12, 7), 1.0);
    CalcularCoefEstacionales(e);
    for (int m = 1; m <= 12; ++m) {
        QCOMPARE(e.CoefEstacional[m].Coeficiente, 1.0);
        QCOMPARE(e.CoefEstacional[m].Observaciones, 1.0);
    }
    const Recta r = RectaRegresion(e, 6, 7, 18);
    QVERIFY(std::fabs(r.b - 1) < 1e-12 && std::fabs(r.a - 100) < 1e-9);
    QCOMPARE(MediaColumna(e, 4, 1, 12), 106.5);
    QCOMPARE(MediaColumna(e, 4, 5, 4), 0.0);
}

void TstModelos::coeficientesConHuecos()
{
    // n = 20 from January: months 3..6 get no ratio and stay 0; the rest sum to 12.
    Espacio e = Historia(Lineal24().first(20), 3);
    ModeloDST(e, false, 3);
    double total = 0;
    for (int m = 1; m <= 12; ++m)
        total += e.CoefEstacional[m].Coeficiente;
    QVERIFY(std::fabs(total - 12) < 1e-9);
    for (int m = 3; m <= 6; ++m)
        QCOMPARE(e.CoefEstacional[m].Coeficiente, 0.0);
    QCOMPARE(e.V(3, 9), 0.0); // a March row: coefficient 0
    QVERIFY(e.V(3, 8) > 0); // while the trend goes on
}

void TstModelos::fallos_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("N");
    QTest::newRow("NVE n12") << 1 << 12 << 6;
    QTest::newRow("DST n13") << 6 << 13 << 6;
    QTest::newRow("THT n12") << 7 << 12 << 6;
    QTest::newRow("HLT n1") << 8 << 1 << 6;
    QTest::newRow("H-W n23") << 9 << 23 << 6;
    QTest::newRow("MMS negative N") << 2 << 30 << -1;
    QTest::newRow("MMD negative N") << 3 << 30 << -3;
}

void TstModelos::fallos()
{
    QFETCH(int, item);
    QFETCH(int, n);
    QFETCH(int, N);
    Filas y;
    for (int i = 1; i <= n; ++i)
        y << 50 + (i % 7);
    Espacio e = Historia(y, 12);
    e.ColPrev = 99;
    e.FilaInicioPrev = 77;
    const Parametros p = Par(12, N);
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, EjecutarModelo(e, item, p));
    QCOMPARE(e.ColPrev, 99);
    QCOMPARE(e.FilaInicioPrev, 77);

    // One row later the same models run (except the refused N).
    if (N >= 0) {
        y << 55;
        Espacio f = Historia(y, 12);
        EjecutarModelo(f, item, p);
        QVERIFY(f.ColPrev >= 5);
    }
}

void TstModelos::desbordamientos_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<Filas>("historia");
    QTest::addColumn<int>("N");
    QTest::addColumn<double>("alfa");
    const double D = std::numeric_limits<double>::max();
    Filas grandes(30, 1.7e308);
    // D, 0, 0 four times: each mean of three holds one D, D / 3 (finite), but
    // three of those add up past the largest double (checked with Python floats).
    Filas picos;
    for (int k = 0; k < 4; ++k)
        picos << D << 0 << 0;
    // Two large values of opposite sign: their difference overflows.
    const Filas opuestos = {-1.7e308, 1.7e308, 1, 2, 3, 4};
    QTest::newRow("NVE") << int(ItemNVE) << grandes << 6 << 0.5;
    QTest::newRow("MMS") << int(ItemMMS) << grandes << 2 << 0.5;
    QTest::newRow("MMD second stage") << int(ItemMMD) << picos << 3 << 0.5;
    // Within 0..1 (all the page allows) smoothing cannot overflow; the core
    // takes any constant, and 3 extrapolates. 3 x 1e308 overflows in LES at
    // once; from 1e307 LES stays finite and its second smoothing does not
    // (worked out with Python floats).
    QTest::newRow("LES") << int(ItemLES) << Filas{1e308, 0, 0} << 0 << 3.0;
    QTest::newRow("LED second stage") << int(ItemLED) << Filas{1e307, 0, 0} << 0 << 3.0;
    QTest::newRow("DST") << int(ItemDST) << grandes << 6 << 0.5;
    QTest::newRow("THT") << int(ItemTHT) << grandes << 6 << 0.5;
    QTest::newRow("HLT") << int(ItemHLT) << Filas{1e308, -1e308, 1e308, -1e308} << 6 << 0.5;
    QTest::newRow("H-W") << int(ItemHW) << grandes << 6 << 0.5;
    QTest::newRow("CRT") << int(ItemCRT) << opuestos << 6 << 0.5;
    QTest::newRow("S-B") << int(ItemSB) << opuestos << 6 << 0.5;
}

// A model that fails part way keeps the previous run's forecast column and
// first row, whichever stage failed.
void TstModelos::desbordamientos()
{
    QFETCH(int, item);
    QFETCH(Filas, historia);
    QFETCH(int, N);
    QFETCH(double, alfa);
    Espacio e = Historia(historia, 3);
    e.ColPrev = 99;
    e.FilaInicioPrev = 77;
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, EjecutarModelo(e, item, Par(3, N, alfa, true)));
    QCOMPARE(e.ColPrev, 99);
    QCOMPARE(e.FilaInicioPrev, 77);
    TodoFinito(e);
}

void TstModelos::recorte()
{
    QCOMPARE(RecortarNegativa(-3, false), 0.0);
    QCOMPARE(RecortarNegativa(-3, true), -3.0);
    QCOMPARE(RecortarNegativa(0, false), 0.0);
    // NVS: row n + 1 is a copy and keeps its sign; later rows are clipped.
    Espacio e = Historia({3, 1, -2}, 3);
    ModeloNVS(e, false, 3);
    QCOMPARE(e.V(4, 5), -2.0);
    QCOMPARE(e.V(5, 5), 0.0);
    Espacio f = Historia({3, 1, -2}, 3);
    ModeloNVS(f, true, 3);
    QCOMPARE(f.V(6, 5), -2.0);
    // A history near the largest double overflows: an error, never infinity.
    Espacio g = Historia(Filas(30, 1.7e308), 3);
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, ModeloDST(g, false, 3));
    // A month outside 1..12 is refused by the seasonal models.
    Espacio m = Historia(Lineal24(), 3);
    m.TablaPrev[5][3] = 13;
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, ModeloNVE(m, false, 3));
}

void TstModelos::contrato_data()
{
    QTest::addColumn<int>("item");
    for (int i = 0; i < 12; ++i)
        QTest::newRow(qPrintable(QString::number(i))) << i;
}

void TstModelos::contrato()
{
    QFETCH(int, item);
    // 48 months with trend, season and a few zeros.
    Filas y;
    for (int i = 1; i <= 48; ++i)
        y << (i % 9 == 0 ? 0.0 : (200 + 3 * i) * s12[(i - 1) % 12]);
    const int V = 12;
    Espacio a = Historia(y, V);
    EjecutarModelo(a, item, Par(V));
    Espacio b = Historia(y, V);
    EjecutarModelo(b, item, Par(V));
    QVERIFY(a.TablaPrev == b.TablaPrev); // repeatable
    QVERIFY(a.CeldaValida == b.CeldaValida);
    QVERIFY(a.ColPrev >= 5 && a.ColPrev <= 11);
    QVERIFY(a.FilaInicioPrev >= 0 && a.FilaInicioPrev < a.NumDatos);
    TodoFinito(a);
    for (int i = a.NumDatos + 1; i <= a.NumDatos + V; ++i) {
        QVERIFY(a.Valida(i, a.ColPrev)); // every forecast row shown
        QVERIFY(a.V(i, a.ColPrev) >= 0.0); // clipped
    }
    for (int i = 1; i <= a.NumDatos; ++i)
        QCOMPARE(a.V(i, 4), y[i - 1]); // history untouched
    QVERIFY(!a.Valida(0, a.ColPrev));
    // The run measures: fit errors over the model's rows.
    const Medidas m = CalcularMedidas(a, 1, a.FilaInicioPrev + 1, a.NumDatos);
    QVERIFY(m.MSE && std::isfinite(*m.MSE) && *m.MSE >= 0);
}

void TstModelos::mesDeFila_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<int>("mes");
    QTest::newRow("whole") << 7.0 << 7;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("thirteen") << 13.0 << 13;
    QTest::newRow("near") << 6.4 << 6;
    QTest::newRow("half down to even") << 2.5 << 2;
    QTest::newRow("half up to even") << 3.5 << 4;
    QTest::newRow("negative") << -2.0 << -2;
    QTest::newRow("far beyond") << 1e300 << 0;
    QTest::newRow("far below") << -1e300 << 0;
}

void TstModelos::mesDeFila()
{
    QFETCH(double, valor);
    QFETCH(int, mes);
    Espacio e;
    e.Redimensionar(2);
    e.TablaPrev[1][3] = valor;
    QCOMPARE(MesFila(e, 1), mes);
}

// The centred averages are summed several rows at a time; every length must
// give the plain left-to-right sum of its twelve values.
void TstModelos::mediasEnBloques()
{
    for (int n = 12; n <= 45; ++n) {
        Filas y;
        for (int i = 1; i <= n; ++i)
            y << 0.1 * i + 1.0 / (i + 2) + (i % 5);
        Espacio e = Historia(y, 0);
        MediasMovilesCentradas(e);
        for (int i = 1; i <= n; ++i) {
            const bool tiene = i >= 7 && i <= n - 5;
            QCOMPARE(e.Valida(i, 5), tiene);
            if (!tiene)
                continue;
            double s = 0.0;
            for (int j = i - 6; j <= i + 5; ++j)
                s += y[j - 1];
            QVERIFY(e.V(i, 5) == s / 12.0); // exact: same order, same rounding
        }
    }
}

void TstModelos::mediasMovilesSimples_data()
{
    QTest::addColumn<Filas>("historia");
    QTest::addColumn<int>("N");
    Filas enteros, negativos, grandes, mayores, decimales;
    for (int i = 1; i <= 40; ++i) {
        enteros << 100 + 7 * (i % 9) + i;
        negativos << (i % 3 == 0 ? -50 : 20) * i;
        // Just inside the bound where whole-number sums stay exact with N = 3: 2^53 / 4 − i.
        grandes << 2251799813685248.0 - i;
        // Past it (2^52 + 3i): sums of three round, so only sums afresh give the model's numbers.
        mayores << 4503599627370496.0 + 3 * i;
        decimales << 0.1 * i + 1.0 / (i + 2);
    }
    for (int N : {1, 3, 12}) {
        QTest::addRow("whole numbers, N %d", N) << enteros << N;
        QTest::addRow("negative whole numbers, N %d", N) << negativos << N;
        QTest::addRow("decimals, N %d", N) << decimales << N;
    }
    QTest::newRow("large whole numbers, N 3") << grandes << 3;
    QTest::newRow("whole numbers past 2^53 / 4, N 3") << mayores << 3;
}

// MMS sums each window afresh in row order; every row of its forecast column
// must be that sum divided by N, to the last bit, however the model gets it.
void TstModelos::mediasMovilesSimples()
{
    QFETCH(Filas, historia);
    QFETCH(int, N);
    const int V = 5;
    Espacio e = Historia(historia, V);
    EjecutarModelo(e, ItemMMS, Par(V, N, 0.5, true));
    const int n = e.NumDatos;
    Filas serie = historia;
    for (int i = N + 1; i <= n + V; ++i) {
        double s = 0.0;
        for (int j = i - N; j <= i - 1; ++j)
            s += serie[j - 1];
        const double media = s / N;
        if (i > n)
            serie << media;
        QVERIFY2(e.V(i, ColMMS) == media, qPrintable(QStringLiteral("row %1").arg(i)));
        QVERIFY(e.Valida(i, ColMMS));
    }
}

void TstModelos::ventanaMasLarga_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("N");
    QTest::addColumn<bool>("falla");
    // History 10, 12, 11, 13, 12, 14 (n = 6): a window of all six averages
    // them (72 / 6 = 12, by hand); a seventh value would be a forecast row
    // not yet written.
    QTest::newRow("MMS, N = n") << int(ItemMMS) << 6 << false;
    QTest::newRow("MMS, N = n + 1") << int(ItemMMS) << 7 << true;
    QTest::newRow("MMD, N = n") << int(ItemMMD) << 6 << false;
    QTest::newRow("MMD, N far past n") << int(ItemMMD) << 999999999 << true;
}

void TstModelos::ventanaMasLarga()
{
    QFETCH(int, item);
    QFETCH(int, N);
    QFETCH(bool, falla);
    Espacio e = Historia({10, 12, 11, 13, 12, 14}, 3);
    if (falla) {
        QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, EjecutarModelo(e, item, Par(3, N, 0.5, true)));
        return;
    }
    EjecutarModelo(e, item, Par(3, N, 0.5, true));
    QCOMPARE(e.V(7, ColMMS), 12.0);
    QVERIFY(e.Valida(7, ColMMS));
}

void TstModelos::crostonMasAlla_data()
{
    QTest::addColumn<Croston>("caso");
    // Row n + 1 worked by hand from the recurrence with alpha 0.5; every later
    // row must repeat it.
    QTest::newRow("CRT after a zero") << Croston{ItemCRT, {4, 0, 0, 6, 0, 0}, 0, false, 3.0, 5.0, 2.0, 2.5};
    QTest::newRow("CRT after a value") << Croston{ItemCRT, {4, 0, 0, 6, 0, 2}, 0, false, 1.0, 3.5, 2.0, 1.75};
    QTest::newRow("S-B after a value") << Croston{ItemSB, {4, 0, 0, 6, 0, 2}, 0, false, 1.0, 3.5, 2.0, 1.3125};
    // Z = 4 + (-10 - 4) x 0.5 = -3, W = 1.5: -2, clipped to 0 unless allowed.
    QTest::newRow("CRT clipped") << Croston{ItemCRT, {4, 0, -10}, 0, false, 1.0, -3.0, 1.5, 0.0};
    QTest::newRow("CRT negative") << Croston{ItemCRT, {4, 0, -10}, 0, true, 1.0, -3.0, 1.5, -2.0};
    // Fit on 4, 0, 0, 6; the held-out 0 and 2 must not move the forecasts.
    QTest::newRow("S-B held out") << Croston{ItemSB, {4, 0, 0, 6, 0, 2}, 2, false, 1.0, 5.0, 2.0, 1.875};
}

void TstModelos::crostonMasAlla()
{
    QFETCH(Croston, caso);
    const int V = 4;
    Espacio e = Historia(caso.historia, V, caso.reserva);
    EjecutarModelo(e, caso.item, Par(V, 6, 0.5, caso.prevNeg));
    const int n = e.NumDatos;
    for (int i = n + 1; i <= n + V; ++i) {
        QCOMPARE(e.V(i, 5), caso.q);
        QCOMPARE(e.V(i, 6), caso.z);
        QCOMPARE(e.V(i, 7), caso.w);
        QCOMPARE(e.V(i, 8), caso.p);
        QCOMPARE(e.V(i, 9), caso.p); // the working series goes on with the forecasts
        for (int c = 5; c <= 8; ++c)
            QVERIFY(e.Valida(i, c));
        QVERIFY(!e.Valida(i, 9));
    }
    for (int i = n + 1; i <= e.TotalDatos; ++i) // held-out data stay as they were
        QCOMPARE(e.V(i, 4), caso.historia[i - 1]);
}

void TstModelos::ordenEscrito_data()
{
    QTest::addColumn<int>("fila");
    QTest::addColumn<double>("valor");
    QTest::addColumn<double>("alfa");
    QTest::addColumn<double>("phi");
    QTest::addColumn<Celdas>("esperado");
    // One history value is set, to the last bit, so that a level or an index
    // lands a few units in the last place from zero; there the order of each
    // product and quotient shows in later rows and in the indices. Expected
    // values from independent Python of the written formulas, evaluated left
    // to right (alfa x y / So as (alfa x y) / So, phi x y / L as (phi x y) / L).
    // Multiplying by 0.5 is exact in either order, so each case tests one of
    // the two quotients.
    QTest::newRow("level near zero, alpha 0.3") << 23 << -13.63775322380429 << 0.3 << 0.5
                                                << Celdas{{23, 9, -7.283063041541027e-14},
                                                          {11, 0, 46813247207999.9},
                                                          {35, 11, -3249057518207722.5},
                                                          {47, 11, -4962903298997054.0}};
    QTest::newRow("index near zero, phi 0.3") << 33 << -33.0022529639614 << 0.5 << 0.3
                                              << Celdas{{33, 9, 13.757081359970446},
                                                        {9, 0, -2.625677453238495e-13},
                                                        {10, 0, 2.1885856589326074},
                                                        {45, 11, 2.665341456825177e-11}};
}

void TstModelos::ordenEscrito()
{
    QFETCH(int, fila);
    QFETCH(double, valor);
    QFETCH(double, alfa);
    QFETCH(double, phi);
    QFETCH(Celdas, esperado);
    Filas y = cruceCero;
    y[fila - 1] = valor;
    Espacio e = Historia(y, 12);
    ModeloHW(e, alfa, 0.1, phi, true, 12);
    for (const Celda& c : esperado) {
        const double v = c.col == 0 ? e.CoefEstacional[c.fila].Coeficiente : e.V(c.fila, c.col);
        QVERIFY2(v == c.valor, qPrintable(QStringLiteral("row %1 col %2: %3 vs %4")
                                              .arg(c.fila)
                                              .arg(c.col)
                                              .arg(v, 0, 'g', 17)
                                              .arg(c.valor, 0, 'g', 17)));
    }
}

QTEST_GUILESS_MAIN(TstModelos)
#include "tst_modelos.moc"
