// SPDX-License-Identifier: GPL-3.0-or-later
// Demand classes at their cut-offs and TSB against values worked by hand.
#include <QtTest>

#include <vector>

#include "models/Intermitente.h"

using namespace tendora;

Q_DECLARE_METATYPE(std::vector<double>)
Q_DECLARE_METATYPE(tendora::ClaseDemanda)

namespace {
// Demands of the given sizes (cycled) after the given intervals (cycled), from month 1.
std::vector<double> Serie(const std::vector<int>& intervalos, const std::vector<double>& tamanos, int demandas)
{
    std::vector<double> y;
    for (int k = 0; k < demandas; ++k) {
        if (k > 0)
            y.resize(y.size() + size_t(intervalos[size_t(k - 1) % intervalos.size()] - 1), 0.0);
        y.push_back(tamanos[size_t(k) % tamanos.size()]);
    }
    return y;
}
} // namespace

class TstIntermitente : public QObject {
    Q_OBJECT

private slots:
    void clases_data()
    {
        QTest::addColumn<std::vector<double>>("y");
        QTest::addColumn<ClaseDemanda>("clase");
        QTest::addColumn<double>("adi");
        QTest::addColumn<double>("cv2");
        // Sizes 17 and 3: mean 10, variance 49, CV² 0.49 exactly, on the cut-off.
        // 25 intervals, 17 of one month and 8 of two: ADI 33/25 = 1.32, on the cut-off.
        std::vector<int> mitad(17, 1);
        mitad.insert(mitad.end(), 8, 2);
        std::vector<int> bajo(18, 1); // 32/25 = 1.28
        bajo.insert(bajo.end(), 7, 2);
        QTest::newRow("every month, sizes 1 and 2: CV² 1/9")
            << Serie({1}, {1, 2}, 24) << ClaseDemanda::Regular << 1.0 << 1.0 / 9;
        QTest::newRow("CV² on its cut-off: erratic")
            << Serie({1}, {17, 3}, 24) << ClaseDemanda::Erratica << 1.0 << 0.49;
        QTest::newRow("ADI on its cut-off: intermittent")
            << Serie(mitad, {5}, 26) << ClaseDemanda::Intermitente << 1.32 << 0.0;
        QTest::newRow("ADI just under: regular") << Serie(bajo, {5}, 26) << ClaseDemanda::Regular << 1.28 << 0.0;
        QTest::newRow("both over: irregular") << Serie({2}, {17, 3}, 10) << ClaseDemanda::Irregular << 2.0 << 0.49;
        QTest::newRow("one demand") << std::vector<double>{0, 0, 7, 0} << ClaseDemanda::PocosDatos << 0.0 << 0.0;
        QTest::newRow("all zero") << std::vector<double>(24, 0.0) << ClaseDemanda::PocosDatos << 0.0 << 0.0;
        QTest::newRow("leading zeros do not count")
            << std::vector<double>{0, 0, 0, 4, 4, 4} << ClaseDemanda::Regular << 1.0 << 0.0;
    }
    void clases()
    {
        QFETCH(std::vector<double>, y);
        QFETCH(ClaseDemanda, clase);
        QFETCH(double, adi);
        QFETCH(double, cv2);
        const Demanda d = ClasificarDemanda(y.data(), int(y.size()));
        QCOMPARE(d.Clase, clase);
        QCOMPARE(d.ADI, adi);
        QVERIFY(std::fabs(d.CV2 - cv2) < 1e-15);
    }

    void nombres()
    {
        QCOMPARE(NombreClase(ClaseDemanda::Erratica), std::string_view("errática"));
        QCOMPARE(NombreClase(ClaseDemanda::PocosDatos), std::string_view("pocos datos"));
    }

    // 0 4 0 0 6 0, alfa 0.5, beta 0.2, by hand: z 4, p 1/2 at month 2;
    // p 0.4, 0.32; the demand of 6: p 0.456, z 5; p 0.3648; forecast 1.824.
    void tsbAMano()
    {
        const std::vector<double> y = {0, 4, 0, 0, 6, 0};
        const ResultadoTSB r = ModeloTSB(y.data(), 6, 0.5, 0.2, 2);
        const double ajuste[6] = {0, 0, 2, 1.6, 1.28, 2.28};
        for (int t = 0; t < 6; ++t)
            QVERIFY2(std::fabs(r.Ajuste[size_t(t)] - ajuste[t]) < 1e-12, qPrintable(QString::number(t)));
        QVERIFY(std::fabs(r.P - 0.3648) < 1e-12);
        QCOMPARE(r.Z, 5.0);
        QCOMPARE(r.Prevision.size(), size_t(2));
        QVERIFY(std::fabs(r.Prevision[1] - 1.824) < 1e-12);
    }

    // Demand that stops: four months of 5, then six without. p falls to
    // 0.7^6 and the forecast to 5 x 0.117649, where Croston's stays at 5.
    void tsbDemandaQueSeAcaba()
    {
        const std::vector<double> y = {5, 5, 5, 5, 0, 0, 0, 0, 0, 0};
        const ResultadoTSB r = ModeloTSB(y.data(), 10, 0.3, 0.3, 1);
        QVERIFY(std::fabs(r.Prevision[0] - 5 * 0.117649) < 1e-12);
        for (int t = 5; t < 10; ++t)
            QVERIFY(r.Ajuste[size_t(t)] < r.Ajuste[size_t(t - 1)]);
    }

    void tsbSinDemanda()
    {
        const std::vector<double> y(12, 0.0);
        const ResultadoTSB r = ModeloTSB(y.data(), 12, 0.5, 0.5, 3);
        QCOMPARE(r.Prevision, (std::vector<double>{0, 0, 0}));
        QCOMPARE(r.Ajuste, std::vector<double>(12, 0.0));
        QVERIFY(ModeloTSB(y.data(), 0, 0.5, 0.5, 2).Prevision == (std::vector<double>{0, 0}));
    }
};

QTEST_APPLESS_MAIN(TstIntermitente)
#include "tst_intermitente.moc"
