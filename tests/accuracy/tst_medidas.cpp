// The twelve accuracy measures against the naive benchmark. Every expected
// value below is a fraction worked by hand from the rows of its case.
#include <QtTest>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "Medidas.h"

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

bool Cerca(double x, double esperado)
{
    return std::fabs(x - esperado) <= 1e-12 * std::max(1.0, std::fabs(esperado));
}

const char* const Nombres[12] = {"MSE", "RMSE", "MAE", "MAPE", "sMAPE", "MRAE",
                                 "RelMAE", "RelRMSE", "LMR", "PB", "PBMAE", "PBMSE"};

} // namespace

class TstMedidas : public QObject {
    Q_OBJECT
private slots:
    void valores_data();
    void valores();
    void fallos_data();
    void fallos();
    void pronosticoPorEncimaDeLaReferencia();
    void rangoFueraDeLaTabla();
};

void TstMedidas::valores_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QList<double>>("A");
    QTest::addColumn<QList<double>>("F");
    QTest::addColumn<int>("primera");
    QTest::addColumn<int>("ultima");
    // Columns 1..12 of the error table, then DesvRelativa.
    QTest::addColumn<QList<double>>("esperado");

    // e = 1, -2, 1; b = 2, -3, 2 (by hand).
    QTest::newRow("ajuste ordinario")
        << 1 << QList<double>{10, 12, 9, 11} << QList<double>{11, 11, 10} << 2 << 4
        << QList<double>{2.0, std::sqrt(2.0), 4.0 / 3, 157.0 / 1188 * 100, 923.0 / 7245 * 100,
                         5.0 / 9, 4.0 / 7, std::sqrt(6.0 / 17), 0.5 * std::log(6.0 / 17),
                         200.0 / 3, 100.0, 100.0, 923.0 / 7245};

    // The naive model itself: e = b in every row.
    QTest::newRow("NVS ajuste igual a la referencia")
        << 1 << QList<double>{5, 7, 4, 9, 6} << QList<double>{5, 7, 4, 9} << 2 << 5
        << QList<double>{47.0 / 4, std::sqrt(47.0 / 4), 13.0 / 4,
                         (2.0 / 7 + 3.0 / 4 + 5.0 / 9 + 3.0 / 6) / 4 * 100,
                         (4.0 / 12 + 6.0 / 11 + 10.0 / 13 + 6.0 / 15) / 4 * 100,
                         1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0,
                         (4.0 / 12 + 6.0 / 11 + 10.0 / 13 + 6.0 / 15) / 4};

    // Held back 9, 6 after fitting up to 4: the benchmark is 4 in both rows.
    QTest::newRow("NVS acierto igual a la referencia")
        << 2 << QList<double>{5, 7, 4, 9, 6} << QList<double>{4, 4} << 4 << 5
        << QList<double>{29.0 / 2, std::sqrt(29.0 / 2), 7.0 / 2, (5.0 / 9 + 2.0 / 6) / 2 * 100,
                         (10.0 / 13 + 4.0 / 10) / 2 * 100, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0,
                         (10.0 / 13 + 4.0 / 10) / 2};

    // One held-back value 30, benchmark 20: e = 4, b = 10.
    QTest::newRow("un valor retenido, gana el modelo")
        << 2 << QList<double>{10, 20, 30} << QList<double>{26} << 3 << 3
        << QList<double>{16.0, 4.0, 4.0, 4.0 / 30 * 100, 8.0 / 56 * 100, 0.4, 0.4, 0.4,
                         std::log(0.4), 100.0, 100.0, 100.0, 8.0 / 56};

    // e = 25, b = 10: the benchmark wins.
    QTest::newRow("un valor retenido, gana la referencia")
        << 2 << QList<double>{10, 20, 30} << QList<double>{5} << 3 << 3
        << QList<double>{625.0, 25.0, 25.0, 25.0 / 30 * 100, 50.0 / 35 * 100, 2.5, 2.5, 2.5,
                         std::log(2.5), 0.0, 0.0, 0.0, 50.0 / 35};

    // Row 1 (e = -1) has no benchmark; rows 2, 3: e = 1, -2; b = 2, -3.
    QTest::newRow("ajuste desde la fila 1")
        << 1 << QList<double>{4, 6, 3} << QList<double>{5, 5, 5} << 1 << 3
        << QList<double>{2.0, std::sqrt(2.0), 4.0 / 3, 13.0 / 36 * 100, 179.0 / 594 * 100,
                         7.0 / 12, 8.0 / 15, std::sqrt(4.0 / 13), 0.5 * std::log(4.0 / 13),
                         50.0, 100.0, 100.0, 179.0 / 594};

    // Row 2: b = 0, e = -2 (out of MRAE, in PB's numerator, in every
    // denominator); row 3: b = 3, e = 2.
    QTest::newRow("error de referencia nulo")
        << 1 << QList<double>{5, 5, 8} << QList<double>{7, 6} << 2 << 3
        << QList<double>{4.0, 2.0, 2.0, 32.5, 13.0 / 42 * 100, 2.0 / 3, 4.0 / 3,
                         std::sqrt(8.0 / 9), 0.5 * std::log(8.0 / 9), 100.0, 50.0, 50.0,
                         13.0 / 42};

    // Intermittent hold-out 0, 4 after a last fitted 0: the zero is left out of
    // MAPE, its zero benchmark error out of MRAE.
    QTest::newRow("intermitente con un cero retenido")
        << 2 << QList<double>{3, 0, 0, 0, 4} << QList<double>{1, 1} << 4 << 5
        << QList<double>{5.0, std::sqrt(5.0), 2.0, 75.0, 160.0, 0.75, 1.0, std::sqrt(5.0 / 8),
                         0.5 * std::log(5.0 / 8), 100.0, 50.0, 50.0, 1.6};

    // Row 2: e ~ 1e-200, b ~ 2e-200; their squares underflow to 0, so the
    // absolute comparison counts it and the squared one does not.
    QTest::newRow("PBMAE y PBMSE cuentan por separado")
        << 1 << QList<double>{1e-200, 3e-200, 10} << QList<double>{2e-200, 8} << 2 << 3
        << QList<double>{2.0, std::sqrt(2.0), (1e-200 + 2) / 2, (1.0 / 3 + 0.2) / 2 * 100,
                         (0.4 + 4.0 / 18) / 2 * 100, (0.5 + 0.2) / 2, 0.2, std::sqrt(0.04),
                         std::log(0.2), 100.0, 100.0, 50.0, (0.4 + 4.0 / 18) / 2};
}

void TstMedidas::valores()
{
    QFETCH(int, tipo);
    QFETCH(QList<double>, A);
    QFETCH(QList<double>, F);
    QFETCH(int, primera);
    QFETCH(int, ultima);
    QFETCH(QList<double>, esperado);

    const Espacio e = Tabla(A, F, primera);
    const Medidas m = CalcularMedidas(e, tipo, primera, ultima);
    const auto c = m.Columnas();
    for (int k = 0; k < 12; ++k)
        QVERIFY2(Cerca(c[size_t(k)], esperado[k]),
                 qPrintable(QStringLiteral("%1: %2, se esperaba %3")
                                .arg(QLatin1String(Nombres[k]))
                                .arg(c[size_t(k)], 0, 'g', 17)
                                .arg(esperado[k], 0, 'g', 17)));
    QVERIFY(Cerca(m.DesvRelativa, esperado[12]));
    // DesvRelativa is sMAPE as a fraction, RMSE the root of MSE.
    QVERIFY(Cerca(m.DesvRelativa * 100, m.sMAPE));
    QVERIFY(Cerca(m.RMSE * m.RMSE, m.MSE));
}

void TstMedidas::fallos_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QList<double>>("A");
    QTest::addColumn<QList<double>>("F");
    QTest::addColumn<int>("primera");
    QTest::addColumn<int>("ultima");
    QTest::addColumn<QString>("medida");

    QTest::newRow("rango vacío") << 1 << QList<double>{1, 2, 3} << QList<double>{} << 4 << 3
                                 << "MSE";
    QTest::newRow("histórico retenido nulo")
        << 2 << QList<double>{5, 0, 0} << QList<double>{1, 2} << 2 << 3 << "MAPE";
    QTest::newRow("A + F nulo en todas las filas")
        << 2 << QList<double>{1, 2, 3, -4} << QList<double>{-3, 4} << 3 << 4 << "sMAPE";
    QTest::newRow("ajuste de la fila 1 sola")
        << 1 << QList<double>{5, 6} << QList<double>{3} << 1 << 1 << "MSEReferencia";
    QTest::newRow("ajuste de histórico constante")
        << 1 << QList<double>{4, 4, 4} << QList<double>{3, 5} << 2 << 3 << "MRAE";
    QTest::newRow("retenidos iguales al último ajustado")
        << 2 << QList<double>{1, 7, 7, 7} << QList<double>{6, 8} << 3 << 4 << "MRAE";
    QTest::newRow("ajuste exacto") << 1 << QList<double>{1, 3, 2} << QList<double>{3, 2} << 2 << 3
                                   << "LMR";
    // Values near the top of the doubles: the failure is an overflow.
    QTest::newRow("error del modelo desbordado")
        << 2 << QList<double>{1, 1e308} << QList<double>{-1e308} << 2 << 2 << "MSE";
    QTest::newRow("cuadrado desbordado")
        << 1 << QList<double>{1, 1e200, 2} << QList<double>{0, 1} << 2 << 3 << "MSE";
    // e = 0 but A + F overflows: the quotient would silently read 0.
    QTest::newRow("A + F desbordado")
        << 2 << QList<double>{1, 1e308} << QList<double>{1e308} << 2 << 2 << "sMAPE";
    QTest::newRow("cociente de MAPE desbordado")
        << 2 << QList<double>{1, 1e-300} << QList<double>{-1e10} << 2 << 2 << "MAPE";
    QTest::newRow("error de referencia desbordado")
        << 1 << QList<double>{-1.2e308, 0.8e308} << QList<double>{0.8e308} << 2 << 2
        << "MSEReferencia";
}

void TstMedidas::fallos()
{
    QFETCH(int, tipo);
    QFETCH(QList<double>, A);
    QFETCH(QList<double>, F);
    QFETCH(int, primera);
    QFETCH(int, ultima);
    QFETCH(QString, medida);

    const Espacio e = Tabla(A, F, primera);
    try {
        CalcularMedidas(e, tipo, primera, ultima);
        QFAIL("no falló");
    } catch (const ErrorMedida& x) {
        QCOMPARE(QString::fromLatin1(x.Medida()), medida);
        QVERIFY(QString::fromUtf8(x.what()).startsWith(medida + ": "));
    }
    // Callers trap the measures' failure as any arithmetic failure.
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, CalcularMedidas(e, tipo, primera, ultima));
}

void TstMedidas::pronosticoPorEncimaDeLaReferencia()
{
    // Forecasts 11, 12, 20 over a last fitted 10: b - e = F - B > 0 in every
    // row, so PB is 100 whatever the actual values (by hand).
    const Espacio e = Tabla({1, 2, 10, 3, 50, 7}, {11, 12, 20}, 4);
    const Medidas m = CalcularMedidas(e, 2, 4, 6);
    QCOMPARE(m.PB, 100.0);
    QVERIFY(m.PBMAE < 100.0); // row 4: |e| = 8 > |b| = 7
}

void TstMedidas::rangoFueraDeLaTabla()
{
    const Espacio e = Tabla({1, 2, 3}, {2, 3}, 2);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, CalcularMedidas(e, 2, 3, e.Filas()));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, CalcularMedidas(e, 1, -1, 2));
}

QTEST_GUILESS_MAIN(TstMedidas)
#include "tst_medidas.moc"
