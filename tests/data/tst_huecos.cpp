// SPDX-License-Identifier: GPL-3.0-or-later
// Months missing from a series: found between the dates and among the values,
// filled by each of the three ways, and written into the data text.
#include <QTest>

#include "data/Carga.h"
#include "data/Huecos.h"

#include "Ayudas.h"

using namespace tendora;

Q_DECLARE_METATYPE(tendora::Relleno)

namespace {

// "2020 3 10; 2020 5 20" as records; a value "-" is a record without one.
std::vector<Registro> Registros(const QString& s, std::vector<bool>* sinValor = nullptr)
{
    std::vector<Registro> r;
    for (const QString& x : s.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList c = x.simplified().split(QLatin1Char(' '));
        const bool falta = c[2] == QLatin1String("-");
        r.push_back(Registro{c[0].toDouble(), c[1].toDouble(), falta ? 0.0 : c[2].toDouble()});
        if (sinValor)
            sinValor->push_back(falta);
    }
    return r;
}

// The records as "m/aaaa=valor" joined by blanks; the value with 15 digits, the same under any locale.
QString Resumen(const std::vector<Registro>& r)
{
    QStringList s;
    for (const Registro& x : r)
        s << QStringLiteral("%1/%2=%3").arg(x.Mes).arg(x.Anio).arg(QString::number(x.Valor, 'g', 15));
    return s.join(QLatin1Char(' '));
}

} // namespace

class TstHuecos : public QObject {
    Q_OBJECT
private slots:
    void rellenar_data();
    void rellenar();
    void sinHuecos_data();
    void sinHuecos();
    void texto_data();
    void texto();
    void descripcion();
};

void TstHuecos::rellenar_data()
{
    QTest::addColumn<QString>("registros");
    QTest::addColumn<Relleno>("modo");
    QTest::addColumn<QString>("esperado");
    QTest::addColumn<int>("meses"); // months put in between the dates
    QTest::addColumn<int>("rellenados");
    const Relleno I = Relleno::Interpolar, C = Relleno::Cero, A = Relleno::Anterior;
    // By hand: halfway from 10 to 20 is 15.
    QTest::newRow("middle, interpolated") << "2020 2 7; 2020 3 10; 2020 5 20; 2020 6 1" << I
                                          << "2/2020=7 3/2020=10 4/2020=15 5/2020=20 6/2020=1" << 1 << 1;
    QTest::newRow("middle, zero") << "2020 2 7; 2020 3 10; 2020 5 20; 2020 6 1" << C
                                  << "2/2020=7 3/2020=10 4/2020=0 5/2020=20 6/2020=1" << 1 << 1;
    QTest::newRow("middle, previous") << "2020 2 7; 2020 3 10; 2020 5 20; 2020 6 1" << A
                                      << "2/2020=7 3/2020=10 4/2020=10 5/2020=20 6/2020=1" << 1 << 1;
    // By hand: 100 to 40 in three steps of -20.
    QTest::newRow("across a year, interpolated")
        << "2019 11 100; 2020 2 40" << I << "11/2019=100 12/2019=80 1/2020=60 2/2020=40" << 2 << 2;
    QTest::newRow("across a year, zero") << "2019 11 100; 2020 2 40" << C << "11/2019=100 12/2019=0 1/2020=0 2/2020=40"
                                         << 2 << 2;
    QTest::newRow("across a year, previous")
        << "2019 11 100; 2020 2 40" << A << "11/2019=100 12/2019=100 1/2020=100 2/2020=40" << 2 << 2;
    // A whole year missing: 0 to 13 over 13 steps of 1, every value whole.
    QTest::newRow("a year missing") << "2019 12 0; 2021 1 13" << I
                                    << "12/2019=0 1/2020=1 2/2020=2 3/2020=3 4/2020=4 5/2020=5 6/2020=6 7/2020=7 "
                                       "8/2020=8 9/2020=9 10/2020=10 11/2020=11 12/2020=12 1/2021=13"
                                    << 12 << 12;
    // By hand: 1 to 3 gives 2; 4 to 10 in three steps of 2 gives 6 and 8.
    QTest::newRow("several gaps") << "2020 1 1; 2020 3 3; 2020 4 4; 2020 7 10" << I
                                  << "1/2020=1 2/2020=2 3/2020=3 4/2020=4 5/2020=6 6/2020=8 7/2020=10" << 3 << 3;
    // Right after the first record and right before the last.
    QTest::newRow("after the first, before the last")
        << "2020 1 5; 2020 3 9; 2020 4 9; 2020 6 3" << A << "1/2020=5 2/2020=5 3/2020=9 4/2020=9 5/2020=9 6/2020=3" << 2
        << 2;
    // Thirds: 1/3 and 2/3 as the nearest doubles (15 digits shown).
    QTest::newRow("thirds") << "2020 1 0; 2020 4 1" << I
                            << "1/2020=0 2/2020=0.333333333333333 3/2020=0.666666666666667 4/2020=1" << 2 << 2;
    // Negative values, by hand: -3 to 3 in two steps of 3.
    QTest::newRow("negative values") << "2020 1 -3; 2020 3 3" << I << "1/2020=-3 2/2020=0 3/2020=3" << 1 << 1;
    // The difference overflows: the mean of -1e308 and 1e308 is 0.
    QTest::newRow("extremes") << "2020 1 -1e308; 2020 3 1e308" << I << "1/2020=-1e+308 2/2020=0 3/2020=1e+308" << 1
                              << 1;
    // Year 0 follows year -1 (December -1, then January 0).
    QTest::newRow("years before 0") << "-1 12 1; 0 2 4" << I << "12/-1=1 1/0=2.5 2/0=4" << 1 << 1;
    // Values missing: between 10 and 40 (a blank and a month put in), by
    // hand 20 and 30; at either end, the one neighbour.
    QTest::newRow("blank and gap, interpolated")
        << "2020 1 10; 2020 2 -; 2020 4 40" << I << "1/2020=10 2/2020=20 3/2020=30 4/2020=40" << 1 << 2;
    QTest::newRow("blank first, interpolated")
        << "2020 1 -; 2020 2 4; 2020 3 6" << I << "1/2020=4 2/2020=4 3/2020=6" << 0 << 1;
    QTest::newRow("blank first, previous")
        << "2020 1 -; 2020 2 4; 2020 3 6" << A << "1/2020=4 2/2020=4 3/2020=6" << 0 << 1;
    QTest::newRow("blank last, interpolated")
        << "2020 1 4; 2020 2 6; 2020 3 -" << I << "1/2020=4 2/2020=6 3/2020=6" << 0 << 1;
    QTest::newRow("blank last, zero") << "2020 1 4; 2020 2 6; 2020 3 -" << C << "1/2020=4 2/2020=6 3/2020=0" << 0 << 1;
    QTest::newRow("no value at all") << "2020 1 -; 2020 2 -" << A << "1/2020=0 2/2020=0" << 0 << 2;
    // Dates out of order: only the blank, between its rows' values (by hand 20).
    QTest::newRow("dates back, blank by rows")
        << "2020 5 10; 2020 3 -; 2020 4 30" << I << "5/2020=10 3/2020=20 4/2020=30" << 0 << 1;
}

void TstHuecos::rellenar()
{
    QFETCH(QString, registros);
    QFETCH(Relleno, modo);
    QFETCH(QString, esperado);
    QFETCH(int, meses);
    QFETCH(int, rellenados);
    std::vector<bool> sinValor;
    const std::vector<Registro> r = Registros(registros, &sinValor);
    QCOMPARE(BuscarHuecos(r, sinValor).meses, meses);
    const Rellenado x = RellenarHuecos(r, modo, sinValor);
    QCOMPARE(Resumen(x.registros), esperado);
    QCOMPARE(x.rellenados, rellenados);
    QCOMPARE(x.anadido.size(), x.registros.size());
    QCOMPARE(qsizetype(std::count(x.anadido.begin(), x.anadido.end(), 1)), qsizetype(meses));
    for (const Registro& y : x.registros)
        QVERIFY(std::isfinite(y.Valor));
}

// Dates that cannot be filled: nothing is put in, the records stay as they are.
void TstHuecos::sinHuecos_data()
{
    QTest::addColumn<QString>("registros");
    QTest::addColumn<bool>("enOrden");
    QTest::newRow("consecutive") << "2020 11 1; 2020 12 2; 2021 1 3" << true;
    QTest::newRow("repeated month") << "2020 1 1; 2020 3 2; 2020 3 3" << false;
    QTest::newRow("going back") << "2020 1 1; 2020 3 2; 2020 2 3" << false;
    QTest::newRow("month 13") << "2020 12 1; 2020 13 2" << false;
    QTest::newRow("month 2.5") << "2020 2 1; 2020 2.5 2" << false;
    // 120000 months (10000 years) missing: more than a gap, a mistyped year.
    QTest::newRow("ten thousand years") << "2020 1 1; 12020 2 2" << false;
}

void TstHuecos::sinHuecos()
{
    QFETCH(QString, registros);
    QFETCH(bool, enOrden);
    const std::vector<Registro> r = Registros(registros);
    const Huecos h = BuscarHuecos(r);
    QCOMPARE(h.fechasEnOrden, enOrden);
    QCOMPARE(h.meses, 0);
    QVERIFY(!h.Hay());
    const Rellenado x = RellenarHuecos(r, Relleno::Interpolar);
    QCOMPARE(Resumen(x.registros), Resumen(r));
    QCOMPARE(x.rellenados, 0);
}

void TstHuecos::texto_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("esperado");
    for (bool coma : {true, false}) {
        const char* l = coma ? "es_ES" : "C";
        // The user's lines stay as written (either mark, a fourth field);
        // the month put in is written in the user's format: by hand (10.5 + 20) / 2 = 15.25.
        QTest::addRow("line kept, value in the locale, %s", l)
            << coma << "2020\t3\t10.5\tnota\n2020\t5\t20\n"
            << (coma ? "2020\t3\t10.5\tnota\n2020\t4\t15,25\n2020\t5\t20\n"
                     : "2020\t3\t10.5\tnota\n2020\t4\t15.25\n2020\t5\t20\n");
        QTest::addRow("no final break, %s", l) << coma << "2020\t12\t1\n2021\t3\t4"
                                               << "2020\t12\t1\n2021\t1\t2\n2021\t2\t3\n2021\t3\t4";
        QTest::addRow("CR LF, %s", l) << coma << "2020\t1\t2\r\n2020\t3\t6\r\n"
                                      << "2020\t1\t2\n2020\t2\t4\n2020\t3\t6\n";
    }
}

void TstHuecos::texto()
{
    QFETCH(bool, coma);
    QFETCH(QString, texto);
    QFETCH(QString, esperado);
    prueba::PonerLocale(coma);
    const Rellenado r = RellenarHuecos(LeerRegistros(texto), Relleno::Interpolar);
    const QString nuevo = TextoRellenado(texto, r);
    QCOMPARE(nuevo, esperado);
    // One line per record, and it loads the same months.
    QCOMPARE(Resumen(LeerRegistros(nuevo)), Resumen(r.registros));
    QLocale::setDefault(QLocale::c());
}

void TstHuecos::descripcion()
{
    prueba::PonerLocale(true);
    const auto lugar = [](int k) { return QStringLiteral("línea %1").arg(k + 1); };
    std::vector<Registro> r = Registros("2020 1 1; 2020 2 2; 2020 5 3");
    QCOMPARE(DescribirHuecos(r, BuscarHuecos(r), lugar),
             QStringLiteral("Faltan 2 meses entre las fechas, entre 2/2020 (línea 2) y 5/2020 (línea 3)."));
    r = Registros("2020 1 1; 2020 3 2; 2020 4 3; 2020 6 4");
    QCOMPARE(DescribirHuecos(r, BuscarHuecos(r), lugar),
             QStringLiteral("Faltan 2 meses entre las fechas, en 2 huecos; el primero, entre 1/2020 (línea 1) y "
                            "3/2020 (línea 2)."));
    std::vector<bool> sinValor;
    r = Registros("2020 1 1; 2020 2 -; 2020 4 3", &sinValor);
    QCOMPARE(DescribirHuecos(r, BuscarHuecos(r, sinValor), lugar),
             QStringLiteral("Falta 1 mes entre las fechas, entre 2/2020 (línea 2) y 4/2020 (línea 3); y falta el "
                            "valor de 1 mes (línea 2)."));
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TstHuecos)
#include "tst_huecos.moc"
