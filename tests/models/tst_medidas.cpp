// SPDX-License-Identifier: GPL-3.0-or-later
// The accuracy measures: the twelve against the naive benchmark, the two
// scaled by the naive forecast's errors in the fitting rows, and the bias.
// Every expected value below is a fraction worked by hand from the rows of
// its case; Vacia marks a measure that has no value.
#include <QtTest>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "models/Medidas.h"

using namespace tendora;

namespace {

// History in rows 1..A.size() (column 4), model values in column 5 from row
// 'primera' on. Flags stay false: the measures must not look at them.
Espacio Tabla(const QList<double>& A, const QList<double>& F, int primera)
{
    Espacio e;
    e.Redimensionar(int(std::max(A.size(), primera + F.size())) + 1);
    for (int i = 0; i < A.size(); ++i)
        e.TablaPrev[i + 1][4] = A[i];
    for (int i = 0; i < F.size(); ++i)
        e.TablaPrev[primera + i][5] = F[i];
    e.ColPrev = 5;
    e.TotalDatos = int(A.size());
    return e;
}

const char* const Nombres[12] = {"MSE",    "RMSE",    "MAE", "MAPE", "sMAPE", "MRAE",
                                 "RelMAE", "RelRMSE", "LMR", "PB",   "PBMAE", "PBMSE"};

bool Cerca(double x, double esperado)
{
    return std::fabs(x - esperado) <= 1e-12 * std::max(1.0, std::fabs(esperado));
}

const double Vacia = std::numeric_limits<double>::quiet_NaN();

// The twelve columns against their expected values, a Vacia one without a value.
void Comparar(const Medidas& m, const QList<double>& esperado)
{
    const auto c = m.Columnas();
    for (int k = 0; k < 12; ++k) {
        const QString nombre = QLatin1String(Nombres[k]);
        if (std::isnan(esperado[k])) {
            QVERIFY2(!c[size_t(k)],
                     qPrintable(nombre + QStringLiteral(": tiene valor %1").arg(c[size_t(k)].value_or(0))));
            continue;
        }
        QVERIFY2(c[size_t(k)], qPrintable(nombre + QStringLiteral(": sin valor")));
        QVERIFY2(Cerca(*c[size_t(k)], esperado[k]), qPrintable(QStringLiteral("%1: %2, se esperaba %3")
                                                                   .arg(nombre)
                                                                   .arg(*c[size_t(k)], 0, 'g', 17)
                                                                   .arg(esperado[k], 0, 'g', 17)));
    }
}

// Expected columns 1..12 of the error table, then DesvRelativa.
template <class... T>
QList<double> Esperado(T... v)
{
    return {double(v)...};
}

// The columns of a case: the table type, history A, model values F from row
// 'primera', the rows measured, and columns 1..12 of the error table (Vacia:
// no value), then DesvRelativa.
void Columnas()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QList<double>>("A");
    QTest::addColumn<QList<double>>("F");
    QTest::addColumn<int>("primera");
    QTest::addColumn<int>("ultima");
    QTest::addColumn<QList<double>>("esperado");
}

// The current case measured into m and compared, DesvRelativa too.
void Medir(Medidas& m)
{
    QFETCH(int, tipo);
    QFETCH(QList<double>, A);
    QFETCH(QList<double>, F);
    QFETCH(int, primera);
    QFETCH(int, ultima);
    QFETCH(QList<double>, esperado);
    m = CalcularMedidas(Tabla(A, F, primera), tipo, primera, ultima);
    Comparar(m, esperado);
    if (!QTest::currentTestFailed())
        QVERIFY(Cerca(m.DesvRelativa, esperado[12]));
}

} // namespace

class TstMedidas : public QObject {
    Q_OBJECT
private slots:
    void valores_data();
    void valores();
    void sinValor_data();
    void sinValor();
    void escaladas_data();
    void escaladas();
    void pronosticoPorEncimaDeLaReferencia();
    void rangoFueraDeLaTabla();
};

void TstMedidas::valores_data()
{
    Columnas();

    // e = 1, -2, 1; b = 2, -3, 2 (by hand).
    QTest::newRow("ajuste ordinario") << 1 << QList<double>{10, 12, 9, 11} << QList<double>{11, 11, 10} << 2 << 4
                                      << Esperado(2.0, std::sqrt(2.0), 4.0 / 3, 157.0 / 1188 * 100, 923.0 / 7245 * 100,
                                                  5.0 / 9, 4.0 / 7, std::sqrt(6.0 / 17), 0.5 * std::log(6.0 / 17),
                                                  200.0 / 3, 100.0, 100.0, 923.0 / 7245);

    // The naive model itself: e = b in every row.
    QTest::newRow("NVS ajuste igual a la referencia")
        << 1 << QList<double>{5, 7, 4, 9, 6} << QList<double>{5, 7, 4, 9} << 2 << 5
        << Esperado(47.0 / 4, std::sqrt(47.0 / 4), 13.0 / 4, (2.0 / 7 + 3.0 / 4 + 5.0 / 9 + 3.0 / 6) / 4 * 100,
                    (4.0 / 12 + 6.0 / 11 + 10.0 / 13 + 6.0 / 15) / 4 * 100, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0,
                    (4.0 / 12 + 6.0 / 11 + 10.0 / 13 + 6.0 / 15) / 4);

    // Held back 9, 6 after fitting up to 4: the benchmark is 4 in both rows.
    QTest::newRow("NVS acierto igual a la referencia")
        << 2 << QList<double>{5, 7, 4, 9, 6} << QList<double>{4, 4} << 4 << 5
        << Esperado(29.0 / 2, std::sqrt(29.0 / 2), 7.0 / 2, (5.0 / 9 + 2.0 / 6) / 2 * 100,
                    (10.0 / 13 + 4.0 / 10) / 2 * 100, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, (10.0 / 13 + 4.0 / 10) / 2);

    // One held-back value 30, benchmark 20: e = 4, b = 10.
    QTest::newRow("un valor retenido, gana el modelo")
        << 2 << QList<double>{10, 20, 30} << QList<double>{26} << 3 << 3
        << Esperado(16.0, 4.0, 4.0, 4.0 / 30 * 100, 8.0 / 56 * 100, 0.4, 0.4, 0.4, std::log(0.4), 100.0, 100.0, 100.0,
                    8.0 / 56);

    // e = 25, b = 10: the benchmark wins.
    QTest::newRow("un valor retenido, gana la referencia")
        << 2 << QList<double>{10, 20, 30} << QList<double>{5} << 3 << 3
        << Esperado(625.0, 25.0, 25.0, 25.0 / 30 * 100, 50.0 / 35 * 100, 2.5, 2.5, 2.5, std::log(2.5), 0.0, 0.0, 0.0,
                    50.0 / 35);

    // Row 1 (e = -1) has no benchmark; rows 2, 3: e = 1, -2; b = 2, -3.
    QTest::newRow("ajuste desde la fila 1")
        << 1 << QList<double>{4, 6, 3} << QList<double>{5, 5, 5} << 1 << 3
        << Esperado(2.0, std::sqrt(2.0), 4.0 / 3, 13.0 / 36 * 100, 179.0 / 594 * 100, 7.0 / 12, 8.0 / 15,
                    std::sqrt(4.0 / 13), 0.5 * std::log(4.0 / 13), 50.0, 100.0, 100.0, 179.0 / 594);

    // Row 2: b = 0, e = -2 (out of MRAE, in PB's numerator, in every
    // denominator); row 3: b = 3, e = 2.
    QTest::newRow("error de referencia nulo")
        << 1 << QList<double>{5, 5, 8} << QList<double>{7, 6} << 2 << 3
        << Esperado(4.0, 2.0, 2.0, 32.5, 13.0 / 42 * 100, 2.0 / 3, 4.0 / 3, std::sqrt(8.0 / 9), 0.5 * std::log(8.0 / 9),
                    100.0, 50.0, 50.0, 13.0 / 42);

    // Intermittent hold-out 0, 4 after a last fitted 0: the zero is left out of
    // MAPE, its zero benchmark error out of MRAE.
    QTest::newRow("intermitente con un cero retenido")
        << 2 << QList<double>{3, 0, 0, 0, 4} << QList<double>{1, 1} << 4 << 5
        << Esperado(5.0, std::sqrt(5.0), 2.0, 75.0, 160.0, 0.75, 1.0, std::sqrt(5.0 / 8), 0.5 * std::log(5.0 / 8),
                    100.0, 50.0, 50.0, 1.6);

    // Row 2: e ~ 1e-200, b ~ 2e-200; their squares underflow to 0, so the
    // absolute comparison counts it and the squared one does not.
    QTest::newRow("PBMAE y PBMSE cuentan por separado")
        << 1 << QList<double>{1e-200, 3e-200, 10} << QList<double>{2e-200, 8} << 2 << 3
        << Esperado(2.0, std::sqrt(2.0), (1e-200 + 2) / 2, (1.0 / 3 + 0.2) / 2 * 100, (0.4 + 4.0 / 18) / 2 * 100,
                    (0.5 + 0.2) / 2, 0.2, std::sqrt(0.04), std::log(0.2), 100.0, 100.0, 50.0, (0.4 + 4.0 / 18) / 2);
}

void TstMedidas::valores()
{
    Medidas m;
    Medir(m);
    if (QTest::currentTestFailed())
        return;
    // DesvRelativa is sMAPE as a fraction, RMSE the root of MSE.
    QVERIFY(Cerca(m.DesvRelativa * 100, *m.sMAPE));
    QVERIFY(Cerca(*m.RMSE * *m.RMSE, *m.MSE));
}

void TstMedidas::sinValor_data()
{
    Columnas();
    const double V = Vacia;

    // No row at all: every count is 0.
    QTest::newRow("rango vacío") << 1 << QList<double>{1, 2, 3} << QList<double>{} << 4 << 3
                                 << Esperado(V, V, V, V, V, V, V, V, V, V, V, V, 0.0);
    // Held back 0, 0 after a last fitted 5: e = -1, -2; b = -5, -5; A + F = 1, 2.
    QTest::newRow("histórico retenido nulo") << 2 << QList<double>{5, 0, 0} << QList<double>{1, 2} << 2 << 3
                                             << Esperado(2.5, std::sqrt(2.5), 1.5, V, 200.0, 0.3, 0.3, std::sqrt(0.1),
                                                         0.5 * std::log(0.1), 0.0, 100.0, 100.0, 2.0);
    // e = 6, -8; b = 1, -6 (benchmark 2); A + F = 0 in both rows.
    QTest::newRow("A + F nulo en todas las filas")
        << 2 << QList<double>{1, 2, 3, -4} << QList<double>{-3, 4} << 3 << 4
        << Esperado(50.0, std::sqrt(50.0), 7.0, 200.0, V, 11.0 / 3, 2.0, std::sqrt(100.0 / 37),
                    0.5 * std::log(100.0 / 37), 50.0, 0.0, 0.0, 0.0);
    // Row 1 has no benchmark: every measure against it has no value.
    QTest::newRow("ajuste de la fila 1 sola") << 1 << QList<double>{5, 6} << QList<double>{3} << 1 << 1
                                              << Esperado(4.0, 2.0, 2.0, 40.0, 50.0, V, V, V, V, V, V, V, 0.5);
    // e = 1, -1; b = 0, 0: the ratios to the benchmark have none, the shares do.
    QTest::newRow("ajuste de histórico constante")
        << 1 << QList<double>{4, 4, 4} << QList<double>{3, 5} << 2 << 3
        << Esperado(1.0, 1.0, 1.0, 25.0, 1600.0 / 63, V, V, V, V, 50.0, 0.0, 0.0, 16.0 / 63);
    // e = 0, 0; b = 2, -1: RelRMSE is 0 and its logarithm has no value.
    QTest::newRow("ajuste exacto") << 1 << QList<double>{1, 3, 2} << QList<double>{3, 2} << 2 << 3
                                   << Esperado(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, V, 50.0, 100.0, 100.0, 0.0);
    // Values near the top of the doubles. e overflows; A + F = 0 leaves the
    // row out of sMAPE.
    QTest::newRow("error del modelo desbordado") << 2 << QList<double>{1, 1e308} << QList<double>{-1e308} << 2 << 2
                                                 << Esperado(V, V, V, V, V, V, V, V, V, V, V, V, 0.0);
    // Row 2: e = 1e200, b = 1e200, both squares overflow; row 3: e = 1, b = -1e200.
    // Only what is built on the squares loses its value.
    QTest::newRow("cuadrado desbordado") << 1 << QList<double>{1, 1e200, 2} << QList<double>{0, 1} << 2 << 3
                                         << Esperado(V, V, 5e199, 75.0, 400.0 / 3, 0.5, 0.5, V, V, 0.0, 50.0, V,
                                                     4.0 / 3);
    // e = 0 but A + F overflows: the quotient would silently read 0. b = 1e308.
    QTest::newRow("A + F desbordado") << 2 << QList<double>{1, 1e308} << QList<double>{1e308} << 2 << 2
                                      << Esperado(0.0, 0.0, 0.0, 0.0, V, 0.0, 0.0, V, V, 100.0, 100.0, V, 0.0);
    // e = 1e10 over A = 1e-300; b = -1; A + F = -1e10.
    QTest::newRow("cociente de MAPE desbordado")
        << 2 << QList<double>{1, 1e-300} << QList<double>{-1e10} << 2 << 2
        << Esperado(1e20, 1e10, 1e10, V, 200.0, 1e10, 1e10, 1e10, std::log(1e10), 0.0, 0.0, 0.0, 2.0);
    // e = 0, b overflows: a quotient by it would silently read 0.
    QTest::newRow("error de referencia desbordado")
        << 1 << QList<double>{-1.2e308, 0.8e308} << QList<double>{0.8e308} << 2 << 2
        << Esperado(0.0, 0.0, 0.0, 0.0, 0.0, V, V, V, V, V, V, V, 0.0);
}

void TstMedidas::sinValor()
{
    Medidas m;
    Medir(m);
    if (QTest::currentTestFailed())
        return;
    // Whatever has a value is a number the grid can show.
    for (const Medida& x : m.Columnas())
        QVERIFY(!x || std::isfinite(*x));
}

void TstMedidas::escaladas_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QList<double>>("A");
    QTest::addColumn<QList<double>>("F");
    QTest::addColumn<int>("primera");
    QTest::addColumn<int>("ultima");
    QTest::addColumn<int>("numDatos"); // the fitting rows 1..numDatos give the scale
    QTest::addColumn<QList<double>>("esperado"); // ME, MASE, RMSSE
    const double V = Vacia;

    // Fourteen fitting values: the seasonal naive errors are A13 - A1 = 2 and
    // A14 - A2 = 3, so the scale is 2.5 (absolute) and 6.5 (squared).
    const QList<double> catorce = {10, 12, 14, 11, 13, 15, 12, 14, 16, 13, 15, 17, 12, 15};
    // e = 1, -1, 1.
    QTest::newRow("ajuste con desfase 12") << 1 << catorce << QList<double>{16, 13, 14} << 12 << 14 << 14
                                           << Esperado(1.0 / 3, 1.0 / 2.5, std::sqrt(1.0 / 6.5));
    // Held back 20 (row 15), forecast 18: e = 2. Row 15 stays out of the scale
    // (with it, |20 - 14| = 6 would join the seasonal errors).
    QTest::newRow("acierto: la escala es del ajuste") << 2 << (catorce + QList<double>{20}) << QList<double>{18} << 15
                                                      << 15 << 14 << Esperado(2.0, 2.0 / 2.5, std::sqrt(4.0 / 6.5));
    // Held back 20, 9 forecast 18, 12: e = 2, -3; MAE 2.5, MSE 6.5, both equal to the scale.
    QTest::newRow("acierto de dos valores, sesgo negativo")
        << 2 << (catorce + QList<double>{20, 9}) << QList<double>{18, 12} << 15 << 16 << 14 << Esperado(-0.5, 1.0, 1.0);

    // Five fitting values, too few for a season: lag 1, errors 2, -3, 5, -3,
    // scale 13/4 and 47/4. The naive model itself scores 1.
    const QList<double> cinco = {5, 7, 4, 9, 6};
    QTest::newRow("menos de 13 valores: desfase 1, el ingenuo")
        << 1 << cinco << QList<double>{5, 7, 4, 9} << 2 << 5 << 5 << Esperado(0.25, 1.0, 1.0);
    // e = 1, -2, 3, 0: MAE 1.5, MSE 3.5.
    QTest::newRow("menos de 13 valores: desfase 1") << 1 << cinco << QList<double>{6, 6, 6, 6} << 2 << 5 << 5
                                                    << Esperado(0.5, 1.5 / (13.0 / 4), std::sqrt(3.5 / (47.0 / 4)));
    // Twelve fitting values 1..12: lag 1 (every error 1); with lag 12 there
    // would be none. Held back 20 forecast 14: e = 6.
    const QList<double> doce = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("12 valores: todavía desfase 1")
        << 2 << (doce + QList<double>{20}) << QList<double>{14} << 13 << 13 << 12 << Esperado(6.0, 6.0, 6.0);
    // Thirteen: lag 12, the one error A13 - A1 = 4 (lag 1 would give 18/12).
    // Row 13 fitted 7: e = -2.
    QTest::newRow("13 valores: desfase 12")
        << 1 << (doce + QList<double>{5}) << QList<double>{7} << 13 << 13 << 13 << Esperado(-2.0, 0.5, 0.5);

    // A scale of 0 or none: the scaled measures have no value, the bias has.
    // e = 1, -1 on a constant history.
    QTest::newRow("histórico constante") << 1 << QList<double>{4, 4, 4} << QList<double>{3, 5} << 2 << 3 << 3
                                         << Esperado(0.0, V, V);
    // Each month repeats a year later: the seasonal errors are 0 though the
    // months differ. Rows 13, 14 fitted 3, 1: e = -2, 1.
    QTest::newRow("estacionalidad exacta")
        << 1 << (doce + QList<double>{1, 2}) << QList<double>{3, 1} << 13 << 14 << 14 << Esperado(-0.5, V, V);
    // One fitting value has no naive error. Held back 6, forecast 3.
    QTest::newRow("un solo valor de ajuste")
        << 2 << QList<double>{5, 6} << QList<double>{3} << 2 << 2 << 1 << Esperado(3.0, V, V);
    // Errors 2, -1: scale 1.5 and 2.5; a perfect fit scores 0.
    QTest::newRow("ajuste exacto") << 1 << QList<double>{1, 3, 2} << QList<double>{3, 2} << 2 << 3 << 3
                                   << Esperado(0.0, 0.0, 0.0);
    QTest::newRow("rango vacío") << 1 << QList<double>{1, 2, 3} << QList<double>{} << 4 << 3 << 3 << Esperado(V, V, V);
    // The naive error 2e308 overflows: MAE 0 over an infinite scale would read 0.
    QTest::newRow("escala desbordada") << 1 << QList<double>{-1e308, 1e308} << QList<double>{1e308} << 2 << 2 << 2
                                       << Esperado(0.0, V, V);
    // Naive errors 1e200, -1e200: their squares overflow, not their sizes. e = 0, 0.
    QTest::newRow("escala cuadrática desbordada")
        << 1 << QList<double>{0, 1e200, 0} << QList<double>{1e200, 0} << 2 << 3 << 3 << Esperado(0.0, 0.0, V);
    // e = 1e308 twice: every sum of errors overflows.
    QTest::newRow("sumas desbordadas") << 1 << QList<double>{0, 1e308, 1e308} << QList<double>{0, 0} << 2 << 3 << 3
                                       << Esperado(V, V, V);
}

void TstMedidas::escaladas()
{
    QFETCH(int, tipo);
    QFETCH(QList<double>, A);
    QFETCH(QList<double>, F);
    QFETCH(int, primera);
    QFETCH(int, ultima);
    QFETCH(int, numDatos);
    QFETCH(QList<double>, esperado);
    Espacio e = Tabla(A, F, primera);
    e.NumDatos = numDatos;
    const Medidas m = CalcularMedidas(e, tipo, primera, ultima);
    const Medida valores[3] = {m.ME, m.MASE, m.RMSSE};
    const char* const nombres[3] = {"ME", "MASE", "RMSSE"};
    for (int k = 0; k < 3; ++k) {
        const QString nombre = QLatin1String(nombres[k]);
        if (std::isnan(esperado[k])) {
            QVERIFY2(!valores[k], qPrintable(nombre + QStringLiteral(": tiene valor %1").arg(valores[k].value_or(0))));
            continue;
        }
        QVERIFY2(valores[k], qPrintable(nombre + QStringLiteral(": sin valor")));
        QVERIFY2(Cerca(*valores[k], esperado[k]), qPrintable(QStringLiteral("%1: %2, se esperaba %3")
                                                                 .arg(nombre)
                                                                 .arg(*valores[k], 0, 'g', 17)
                                                                 .arg(esperado[k], 0, 'g', 17)));
    }
    // In the table's columns, after the twelve.
    const auto c = m.Columnas();
    QCOMPARE(c.size(), size_t(15));
    QCOMPARE(c[ColErrMASE - ColErrMSE], m.MASE);
    QCOMPARE(c[ColErrRMSSE - ColErrMSE], m.RMSSE);
    QCOMPARE(c[ColErrME - ColErrMSE], m.ME);
    // The scale taken once for both ranges of a run gives the same bits.
    const Medidas otra = CalcularMedidas(e, tipo, primera, ultima, EscalaDe(e));
    QCOMPARE(otra.MASE, m.MASE);
    QCOMPARE(otra.RMSSE, m.RMSSE);
}

void TstMedidas::pronosticoPorEncimaDeLaReferencia()
{
    // Forecasts 11, 12, 20 over a last fitted 10: b - e = F - B > 0 in every
    // row, so PB is 100 whatever the actual values (by hand).
    const Espacio e = Tabla({1, 2, 10, 3, 50, 7}, {11, 12, 20}, 4);
    const Medidas m = CalcularMedidas(e, 2, 4, 6);
    QCOMPARE(m.PB, 100.0);
    QVERIFY(*m.PBMAE < 100.0); // row 4: |e| = 8 > |b| = 7
}

void TstMedidas::rangoFueraDeLaTabla()
{
    const Espacio e = Tabla({1, 2, 3}, {2, 3}, 2);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, CalcularMedidas(e, 2, 3, e.Filas()));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, CalcularMedidas(e, 1, -1, 2));
    // The scale's fitting rows beyond the table.
    Espacio corta = e;
    corta.NumDatos = e.Filas();
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, CalcularMedidas(corta, 1, 2, 2));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, EscalaDe(corta));
}

QTEST_GUILESS_MAIN(TstMedidas)
#include "tst_medidas.moc"
