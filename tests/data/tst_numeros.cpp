// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts: every text the program writes reads back to a finite number,
// under a decimal-comma and a decimal-point locale.
#include <QtTest>
#include <cmath>
#include <limits>

#include "data/Numeros.h"

#include "Ayudas.h"

using namespace tendora;

class TstNumeros : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void general_data();
    void general();
    void fijo_data();
    void fijo();
    void enterosComoElMotor();
    void conMarca_data();
    void conMarca();
    void conMarcaRapida();
};

using namespace prueba;

namespace {

const double kMax = std::numeric_limits<double>::max();

// The same text under both locales: the point becomes a comma and e an E in es_ES.
QString EnEs(QString t)
{
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    t.replace(QLatin1Char('e'), QLatin1Char('E'));
    return t;
}

// x written under both locales gives texto there, and the text reads back to a
// finite number: to x itself when exacto, and to the same text again when
// idaYVuelta (text, number, text: a file saved and reloaded).
void Comprobar(QString (*escribir)(double), double x, const QString& texto, bool exacto, bool idaYVuelta)
{
    for (bool coma : {false, true}) {
        PonerLocale(coma);
        const QString s = escribir(x);
        QCOMPARE(s, coma ? EnEs(texto) : texto);
        bool ok = false;
        const double v = ConvertirNumero(s, &ok);
        QVERIFY2(ok && std::isfinite(v), qPrintable(s));
        if (exacto)
            QCOMPARE(v, x);
        if (idaYVuelta)
            QCOMPARE(escribir(TextoANumero(s)), s);
    }
}

} // namespace

void TstNumeros::general_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("texto"); // C locale; Python's repr for the shortest texts
    QTest::addColumn<bool>("exacto"); // the text gives x itself back
    // 15 digits round past the largest double: the shortest text instead.
    QTest::newRow("max") << kMax << "1.7976931348623157e+308" << true;
    QTest::newRow("-max") << -kMax << "-1.7976931348623157e+308" << true;
    QTest::newRow("below max") << std::nextafter(kMax, 0.0) << "1.7976931348623155e+308" << true;
    // 15 digits that read back stay as they are.
    QTest::newRow("13 digits") << 1.7976931348623e308 << "1.7976931348623e+308" << true;
    QTest::newRow("15 digits") << 1.79769313486231e308 << "1.79769313486231e+308" << true;
    QTest::newRow("-15 digits") << -1.79769313486231e308 << "-1.79769313486231e+308" << true;
    // Ordinary numbers, as the general format always wrote them.
    QTest::newRow("half") << 12.5 << "12.5" << true;
    QTest::newRow("whole") << 1234567.0 << "1234567" << true;
    QTest::newRow("sum") << 0.1 + 0.2 << "0.3" << false;
    QTest::newRow("large") << 1e20 << "1e+20" << true;
    QTest::newRow("small") << 1e-5 << "1e-05" << true;
    QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333" << false;
    QTest::newRow("minus zero") << -0.0 << "0" << true;
    // Whole numbers: digits up to fifteen of them, then the exponent.
    QTest::newRow("year") << 1949.0 << "1949" << true;
    QTest::newRow("negative whole") << -2024.0 << "-2024" << true;
    QTest::newRow("15-digit whole") << 999999999999999.0 << "999999999999999" << true;
    QTest::newRow("-15-digit whole") << -999999999999999.0 << "-999999999999999" << true;
    QTest::newRow("1e15") << 1e15 << "1e+15" << true;
    QTest::newRow("2^53") << 9007199254740992.0 << "9.00719925474099e+15" << false;
}

void TstNumeros::general()
{
    QFETCH(double, x);
    QFETCH(QString, texto);
    QFETCH(bool, exacto);
    Comprobar(TextoGeneral, x, texto, exacto, true);
}

// Whole numbers skip the locale's conversion engine; the engine, asked the
// same thing, must give the same text for every magnitude and sign.
void TstNumeros::enterosComoElMotor()
{
    QRandomGenerator azar(20261210);
    for (bool coma : {false, true}) {
        PonerLocale(coma);
        QLocale l;
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        for (int i = 0; i < 20000; ++i) {
            const int digitos = 1 + i % 16;
            double x = std::floor(azar.generateDouble() * std::pow(10.0, digitos));
            if (i % 3 == 0)
                x = -x;
            if (x == 0.0)
                continue;
            QCOMPARE(TextoGeneral(x), l.toString(x, 'g', 15));
        }
    }
}

void TstNumeros::fijo_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("texto"); // C locale
    // Beyond 15 digits before the point the general text is written.
    QTest::newRow("max") << kMax << "1.7976931348623157e+308";
    QTest::newRow("-max") << -kMax << "-1.7976931348623157e+308";
    QTest::newRow("15 digits") << 1.79769313486231e308 << "1.79769313486231e+308";
    QTest::newRow("1e15") << 1e15 << "1e+15";
    QTest::newRow("two decimals") << 12.5 << "12.50";
    QTest::newRow("rounded") << 2.675 << "2.67"; // 2.675 is 2.67499999... as a double
    QTest::newRow("negative zero") << -0.001 << "0.00";
    // Fifteen significant digits: from 1e13 on one real decimal, from 1e14 on
    // none, the text still with two. Expected texts from Python's Decimal of
    // the double, quantized ROUND_HALF_UP to 15 digits and padded with 0.
    QTest::newRow("1e13 decade") << 13709186898898.608 << "13709186898898.60";
    QTest::newRow("1e13 decade, negative") << -13709186898898.608 << "-13709186898898.60";
    QTest::newRow("1e13 decade, rounded up") << 12345678901234.567 << "12345678901234.60";
    QTest::newRow("1e13 decade into 1e14") << 99999999999999.95 << "100000000000000.00";
    QTest::newRow("1e14 decade") << 123456789012345.67 << "123456789012346.00";
    QTest::newRow("1e14 decade, rounded down") << 987654321098765.4 << "987654321098765.00";
    QTest::newRow("1e14 decade, half") << 123456789012344.5 << "123456789012345.00";
    QTest::newRow("1e14 decade into 1e15") << 999999999999999.6 << "1e+15";
    // Below 1e13 two real decimals, as always.
    QTest::newRow("1e12 decade") << 1234567890123.456 << "1234567890123.46";
    QTest::newRow("1e12 decade into 1e13") << 9999999999999.996 << "10000000000000.00";
}

void TstNumeros::fijo()
{
    QFETCH(double, x);
    QFETCH(QString, texto);
    Comprobar(TextoFijo2, x, texto, false, false);
}

void TstNumeros::conMarca_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<double>("valor"); // NaN: not a number written that way
    const double no = std::nan("");
    // Each value read off its text by hand.
    QTest::newRow("1.135,46") << "1.135,46"
                              << "," << 1135.46;
    QTest::newRow("1,135.46") << "1,135.46"
                              << "." << 1135.46;
    QTest::newRow("1 135,46 with a space") << "1 135,46"
                                           << "," << 1135.46;
    QTest::newRow("no-break spaces") << QStringLiteral("12\u00A0345\u202F678,5") << "," << 12345678.5;
    QTest::newRow("euros after") << QStringLiteral("-1.000.000,25 \u20AC") << "," << -1000000.25;
    QTest::newRow("dollars before") << "$ 1,000.5"
                                    << "." << 1000.5;
    QTest::newRow("exponent") << "+2,5e3"
                              << "," << 2500.0;
    QTest::newRow(",5") << ",5"
                        << "," << 0.5;
    QTest::newRow("1.13 is no group") << "1.13"
                                      << "," << no;
    QTest::newRow("groups of two") << "1.13.000"
                                   << "," << no;
    QTest::newRow("mark alone") << ","
                                << "," << no;
    QTest::newRow("overflow") << "1e400"
                              << "." << no;
    QTest::newRow("nan") << "nan"
                         << "." << no;
}

void TstNumeros::conMarca()
{
    QFETCH(QString, texto);
    QFETCH(QString, decimal);
    QFETCH(double, valor);
    for (bool coma : {true, false}) {
        PonerLocale(coma); // the file's mark, not the user's, decides
        bool ok = false;
        const double v = ConvertirConMarca(texto, decimal.at(0), &ok);
        QCOMPARE(ok, !std::isnan(valor));
        if (ok)
            QCOMPARE(v, valor);
    }
}

// An imported column of 100 000 values is read in a blink: a pattern built
// for every value once made it take seconds.
void TstNumeros::conMarcaRapida()
{
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
    QSKIP("timed in optimised builds without sanitizers only");
#endif
    QElapsedTimer reloj;
    reloj.start();
    double suma = 0.0;
    for (int i = 0; i < 100000; ++i) {
        bool ok = false;
        suma += ConvertirConMarca(QStringLiteral("1.135,46 \u20AC"), QLatin1Char(','), &ok);
    }
    QVERIFY(std::fabs(suma - 113546000.0) < 1e-3); // 100 000 times 1135,46, by hand
    QVERIFY2(reloj.elapsed() < 500, qPrintable(QString::number(reloj.elapsed())));
}

QTEST_GUILESS_MAIN(TstNumeros)
#include "tst_numeros.moc"
