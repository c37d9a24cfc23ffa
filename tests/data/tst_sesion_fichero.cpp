// SPDX-License-Identifier: GPL-3.0-or-later
// One sample file from disk to a logged run with no window and no display:
// read with the checks the program opens a file with, decoded, parsed into
// records, loaded into a session and run, the numbers checked against the
// file's own values.
#include <QFile>
#include <QLocale>
#include <QtTest>

#include <cmath>
#include <vector>

#include "data/Carga.h"
#include "data/FicheroEntrada.h"
#include "models/Sesion.h"

using namespace tendora;

namespace {

const QString Ruta = QStringLiteral(TENDORA_EJEMPLOS "/AirPassengers.txt");

// The values of the file's third field, read apart from the program's reader.
std::vector<double> ValoresDelFichero()
{
    QFile f(Ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    std::vector<double> y;
    const QList<QByteArray> lineas = f.readAll().split('\n');
    for (const QByteArray& l : lineas) {
        const QList<QByteArray> campos = l.trimmed().split('\t');
        if (campos.size() == 3)
            y.push_back(QLocale::c().toDouble(QString::fromLatin1(campos[2])));
    }
    return y;
}

bool Cerca(double x, double esperado)
{
    return std::fabs(x - esperado) <= 1e-12 * std::max(1.0, std::fabs(esperado));
}

} // namespace

class TstSesionFichero : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void naive();
    void holt();

private:
    Sesion s;
    std::vector<double> y;
};

// As the program opens a file: the checked read, the decoding, one line
// break per line, the records; then the session takes them.
void TstSesionFichero::initTestCase()
{
    QString texto = DecodificarTexto(LeerFicheroEntrada(Ruta));
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const std::vector<Registro> registros = LeerRegistros(texto);
    // 144 lines, January 1949 to December 1960, every month following.
    QCOMPARE(registros.size(), size_t(144));
    QCOMPARE(registros.front().Anio, 1949.0);
    QCOMPARE(registros.front().Mes, 1.0);
    QCOMPARE(registros.back().Anio, 1960.0);
    QCOMPARE(registros.back().Mes, 12.0);
    QCOMPARE(PrimerSalto(registros, nullptr), 0);

    y = ValoresDelFichero();
    QCOMPARE(y.size(), size_t(144));
    for (size_t k = 0; k < y.size(); ++k)
        QCOMPARE(registros[k].Valor, y[k]);

    s.PonerHorizonte(12);
    s.CargarHistorico(registros);
    s.PonerPuntosSinUsar(12);
    QVERIFY(s.DatosCargados());
    QCOMPARE(s.Datos().TotalDatos, 144);
    QCOMPARE(s.Datos().NumDatos, 132);
    QCOMPARE(s.LimitePuntosSinUsar(), 143);
}

void TstSesionFichero::naive()
{
    s.SeleccionarModelo(ItemNVS);
    const Corrida c = s.Calcular();
    QCOMPARE(s.Corridas().Tamano(), 1);
    QCOMPARE(c.Modelo, int(ItemNVS));
    QCOMPARE(c.Origen, 12);

    // Each month forecasts the one before: the mean of the 131 squared
    // one-step differences of values 1..132.
    double suma = 0.0;
    for (int i = 2; i <= 132; ++i)
        suma += (y[size_t(i - 1)] - y[size_t(i - 2)]) * (y[size_t(i - 1)] - y[size_t(i - 2)]);
    const double mse = suma / 131.0;
    // The same, exactly, with Python's fractions: 128603 / 131.
    QVERIFY(Cerca(mse, 128603.0 / 131.0));
    QVERIFY(Cerca(c.Ajuste.Valor(ColErrMSE).value(), mse));
    QVERIFY(Cerca(c.Ajuste.Valor(ColErrRMSE).value(), std::sqrt(mse)));

    // The twelve held-back months against value 132 repeated:
    // 63625 / 6 with Python's fractions.
    QVERIFY(c.Acierto);
    double sumaAcierto = 0.0;
    for (int i = 133; i <= 144; ++i)
        sumaAcierto += (y[size_t(i - 1)] - y[131]) * (y[size_t(i - 1)] - y[131]);
    QVERIFY(Cerca(sumaAcierto / 12.0, 63625.0 / 6.0));
    QVERIFY(Cerca(c.Acierto->Valor(ColErrMSE).value(), sumaAcierto / 12.0));
    // The benchmark of the accuracy rows is that same value: the naive
    // forecast is its own benchmark, a relative MAE of exactly 1.
    QCOMPARE(c.Acierto->Valor(ColErrRelMAE).value(), 1.0);
}

void TstSesionFichero::holt()
{
    s.SeleccionarModelo(ItemHLT);
    s.PonerValor(ValorModelo::AlfaHLT, 0.3);
    s.PonerValor(ValorModelo::BetaHLT, 0.1);
    const Corrida c = s.Calcular();
    QCOMPARE(s.Corridas().Tamano(), 2);
    QCOMPARE(c.Param.AlfaHLT, 0.3);
    QCOMPARE(c.Param.BetaHLT, 0.1);

    // Holt's recurrence written out: start trend the mean slope of values
    // 1..132, start level value 1 less half of it; each month forecasts
    // level + trend, then level and trend are smoothed.
    const double alfa = 0.3, beta = 0.1;
    double B = (y[131] - y[0]) / 131.0;
    double L = y[0] - B / 2.0;
    double ajuste = 0.0;
    for (int i = 1; i <= 132; ++i) {
        const double error = y[size_t(i - 1)] - (L + B);
        ajuste += error * error;
        const double nivel = alfa * y[size_t(i - 1)] + (1.0 - alfa) * (L + B);
        B = beta * (nivel - L) + (1.0 - beta) * B;
        L = nivel;
    }
    double acierto = 0.0;
    for (int h = 1; h <= 12; ++h) {
        const double error = y[size_t(131 + h)] - (L + h * B);
        acierto += error * error;
    }
    // The same recurrence in Python: 1965.2643536610092 and 6470.721314026746.
    QVERIFY(std::fabs(ajuste / 132.0 - 1965.2643536610092) < 1e-9);
    QVERIFY(std::fabs(acierto / 12.0 - 6470.721314026746) < 1e-9);
    QVERIFY(Cerca(c.Ajuste.Valor(ColErrMSE).value(), ajuste / 132.0));
    QVERIFY(c.Acierto);
    QVERIFY(Cerca(c.Acierto->Valor(ColErrMSE).value(), acierto / 12.0));

    // Of the two runs (the numbers above), NVS fits the history better and
    // Holt forecasts the held-back year better.
    QCOMPARE(s.Corridas().Mejor(ColErrMSE).value(), 0LL);
    QCOMPARE(s.Corridas().Mejor(ColErrMSE, true).value(), 1LL);
}

QTEST_GUILESS_MAIN(TstSesionFichero)

#include "tst_sesion_fichero.moc"
