// SPDX-License-Identifier: GPL-3.0-or-later
// The session without a window: loading a history, moving the split, the
// run log of every model, applying a logged run, the best entry, the
// observers and a value as its edit takes it.
#include <QtTest>

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "AyudasNucleo.h"
#include "models/Sesion.h"

using namespace tendora;
using namespace nucleo;

namespace {

// The page's values changed from their defaults, so that a value read by the
// wrong model shows.
void ValoresDistintos(Sesion& s)
{
    s.PonerValor(ValorModelo::N, 4);
    s.PonerValor(ValorModelo::AlfaLE, 0.3);
    s.PonerValor(ValorModelo::AlfaTHT, 0.4);
    s.PonerValor(ValorModelo::AlfaHLT, 0.2);
    s.PonerValor(ValorModelo::BetaHLT, 0.1);
    s.PonerValor(ValorModelo::PhiHW, 0.7);
    s.PonerValor(ValorModelo::AlfaCroston, 0.6);
}

// An entry whose measures are given: fit MSE, LMR and PB (the rest without a
// value), accuracy the same when present; NaN marks a missing value.
Corrida Entrada(double mse, double lmr, double pb, bool conAcierto = false)
{
    Medidas m;
    const auto poner = [](Medida& campo, double x) {
        if (!std::isnan(x))
            campo = x;
    };
    poner(m.MSE, mse);
    poner(m.LMR, lmr);
    poner(m.PB, pb);
    poner(m.PBMSE, pb);
    Corrida c;
    c.Ajuste = MedidasCorrida(m);
    if (conAcierto)
        c.Acierto = MedidasCorrida(m);
    return c;
}

const double Nada = std::numeric_limits<double>::quiet_NaN();

// An entry with one fit measure, of column col; the rest without a value.
Corrida Solo(int col, double v)
{
    double x[NumMedidas];
    std::fill(x, x + NumMedidas, Nada);
    x[col - ColErrMSE] = v;
    Corrida c;
    c.Ajuste = MedidasCorrida(x, 0.0);
    return c;
}

struct Cambios {
    int veces = 0;
    unsigned bits = 0;
};

} // namespace

class TstSesion : public QObject {
    Q_OBJECT
private slots:
    void contrato_data();
    void contrato();
    void fallos_data();
    void fallos();
    void historiasMinimas_data();
    void historiasMinimas();
    void sinDatos();
    void puntosSinUsar_data();
    void puntosSinUsar();
    void cargaRecorta_data();
    void cargaRecorta();
    void aplicar();
    void aplicarRechaza_data();
    void aplicarRechaza();
    void mejor_data();
    void mejor();
    void registroCompacto_data();
    void registroCompacto();
    void observadores();
    void estadoGuardado();
};

void TstSesion::contrato_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("reserva");
    QTest::addColumn<int>("V");
    QTest::addColumn<bool>("prevNeg");
    for (int item = 0; item < NumModelos; ++item) {
        const QByteArray codigo(FichaDe(item).Codigo.data(), qsizetype(FichaDe(item).Codigo.size()));
        QTest::addRow("%s 36", codigo.constData()) << item << 36 << 0 << 12 << false;
        QTest::addRow("%s 144 T-5", codigo.constData()) << item << 144 << 5 << 12 << true;
        // More held back than forecast: only the forecast rows are measured.
        QTest::addRow("%s 144 T-20 V6", codigo.constData()) << item << 144 << 20 << 6 << false;
        // Held back but nothing forecast: no accuracy measures.
        QTest::addRow("%s 144 T-5 V0", codigo.constData()) << item << 144 << 5 << 0 << false;
    }
}

void TstSesion::contrato()
{
    QFETCH(int, item);
    QFETCH(int, n);
    QFETCH(int, reserva);
    QFETCH(int, V);
    QFETCH(bool, prevNeg);
    const std::vector<double> y = Serie(n);

    Sesion s;
    ValoresDistintos(s);
    s.PonerPrevisionesNegativas(prevNeg);
    Cargar(s, y, reserva, V);
    s.SeleccionarModelo(item);
    const Corrida& c = s.Calcular();
    QCOMPARE(s.Corridas().Tamano(), 1);

    // What the model reads from the page, everything else at its default.
    Parametros p;
    for (ValorModelo v : ValoresDe(item))
        PonerValor(p, v, s.Valor(v));
    p.V = V;
    p.PrevNeg = prevNeg;
    QCOMPARE(c.Modelo, item);
    QCOMPARE(c.Origen, reserva);
    QCOMPARE(Diferencia(c.Param, p), QString());
    QCOMPARE(Diferencia(c.Param, s.ParametrosDe(item)), QString());

    // The same model straight on a workspace built without the session.
    const Espacio e = Directo(y, reserva, item, p);
    QCOMPARE(Diferencia(s.Ws, e, e.NumDatos + V, false), QString());
    const Medidas ajuste = CalcularMedidas(e, 1, e.FilaInicioPrev + 1, e.NumDatos);
    QCOMPARE(Diferencia(c.Ajuste, MedidasCorrida(ajuste)), QString());
    QCOMPARE(c.Acierto.has_value(), reserva > 0 && V > 0);
    if (c.Acierto) {
        const Medidas acierto = CalcularMedidas(e, 2, e.NumDatos + 1, e.NumDatos + std::min(reserva, V));
        QCOMPARE(Diferencia(*c.Acierto, MedidasCorrida(acierto)), QString());
        QVERIFY(Bits(s.Ws.DesvRelativa, acierto.DesvRelativa));
    } else {
        QVERIFY(Bits(s.Ws.DesvRelativa, ajuste.DesvRelativa));
    }
}

void TstSesion::fallos_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("N");
    // Each model's shortest history, from its explanation in the catalogue.
    QTest::newRow("MMS N beyond the history") << int(ItemMMS) << 36 << 40;
    QTest::newRow("MMD N beyond the history") << int(ItemMMD) << 36 << 37;
    QTest::newRow("NVE on 10") << int(ItemNVE) << 10 << 6;
    QTest::newRow("DST on 10") << int(ItemDST) << 10 << 6;
    QTest::newRow("THT on 10") << int(ItemTHT) << 10 << 6;
    QTest::newRow("H-W on 20") << int(ItemHW) << 20 << 6;
}

void TstSesion::fallos()
{
    QFETCH(int, item);
    QFETCH(int, n);
    QFETCH(int, N);
    Sesion s;
    Cargar(s, Serie(n), 0);
    // One good run first: a failure must not take it away.
    s.SeleccionarModelo(ItemNVS);
    s.Calcular();
    s.SeleccionarModelo(item);
    s.PonerValor(ValorModelo::N, N);
    bool fallo = false;
    try {
        s.Calcular();
    } catch (const std::exception& e) {
        fallo = true;
        QVERIFY(!QString::fromUtf8(e.what()).isEmpty());
    }
    QVERIFY(fallo);
    QCOMPARE(s.Corridas().Tamano(), 1);
    QCOMPARE(s.Corridas()[0].Modelo, int(ItemNVS));
}

void TstSesion::historiasMinimas_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("reserva");
    QTest::addColumn<int>("V");
    for (int item = 0; item < NumModelos; ++item)
        for (int n : {0, 1, 2, 3, 13})
            for (int reserva : {0, 1, 12})
                for (int V : {0, 1, 12})
                    QTest::addRow("%d n%d T-%d V%d", item, n, reserva, V) << item << n << reserva << V;
}

// Every model on the shortest histories, with the hold-out as far as it goes:
// a clear failure that logs nothing, or an entry; never a value that is not
// finite, in the table or the measures. An empty history (the session takes
// an empty list of records) is refused by every model: with no forecast row
// the table has only row 0, which some models once wrote past.
void TstSesion::historiasMinimas()
{
    QFETCH(int, item);
    QFETCH(int, n);
    QFETCH(int, reserva);
    QFETCH(int, V);
    Sesion s;
    ValoresDistintos(s);
    s.PonerValor(ValorModelo::N, 1);
    Cargar(s, Serie(n), reserva, V);
    QCOMPARE(s.PuntosSinUsar(), std::min(reserva, std::max(n - 1, 0)));
    s.SeleccionarModelo(item);
    try {
        const Corrida& c = s.Calcular();
        QCOMPARE(s.Corridas().Tamano(), 1);
        for (const MedidasCorrida* m : {&c.Ajuste, c.Acierto ? &*c.Acierto : nullptr})
            if (m)
                for (const Medida& x : m->Columnas())
                    QVERIFY(!x || std::isfinite(*x));
        QVERIFY(n > 0);
    } catch (const std::exception& e) {
        QVERIFY(!QString::fromUtf8(e.what()).isEmpty());
        QCOMPARE(s.Corridas().Tamano(), 0);
    }
    for (int i = 0; i < s.Datos().Filas(); ++i)
        for (int c = 0; c < NumCols; ++c)
            QVERIFY2(std::isfinite(s.Datos().V(i, c)), qPrintable(QStringLiteral("(%1, %2)").arg(i).arg(c)));
}

void TstSesion::sinDatos()
{
    Sesion s;
    QVERIFY(!s.DatosCargados());
    QVERIFY_THROWS_EXCEPTION(ErrorSinDatos, s.Calcular());
    QCOMPARE(s.Corridas().Tamano(), 0);
    try {
        s.Calcular();
    } catch (const ErrorSinDatos& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Cargue los datos antes de calcular."));
    }
    // Preparing a workspace is not loading it.
    const Espacio e = s.Preparar(Registros(Serie(12)));
    QCOMPARE(e.TotalDatos, 12);
    QVERIFY(!s.DatosCargados());
    QVERIFY_THROWS_EXCEPTION(ErrorSinDatos, s.Calcular());
}

void TstSesion::puntosSinUsar_data()
{
    QTest::addColumn<int>("pedido");
    QTest::addColumn<int>("esperado");
    // A 36-value history: the hold-out goes 0..35 (one value left to fit).
    QTest::newRow("negative") << -5 << 0;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("inside") << 10 << 10;
    QTest::newRow("T-1") << 35 << 35;
    QTest::newRow("T") << 36 << 35;
    QTest::newRow("far beyond") << 1000 << 35;
}

void TstSesion::puntosSinUsar()
{
    QFETCH(int, pedido);
    QFETCH(int, esperado);
    Sesion s;
    Cargar(s, Serie(36), 3);
    QCOMPARE(s.LimitePuntosSinUsar(), 35);
    s.PonerPuntosSinUsar(pedido);
    QCOMPARE(s.PuntosSinUsar(), esperado);
    QCOMPARE(s.Datos().NumDatos, 36 - esperado);
    QCOMPARE(s.Datos().TotalDatos, 36);
    // The table keeps the history and the forecast rows past the split.
    QVERIFY(s.Datos().Filas() >= std::max(36, 36 - esperado + s.Horizonte()) + 1);
}

void TstSesion::cargaRecorta_data()
{
    QTest::addColumn<int>("antes"); // hold-out asked for before the load
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("esperado");
    // Before any history the range is 0..100; a load makes it 0..n-1.
    QTest::newRow("150 before any load, then 36") << 150 << 36 << 35;
    QTest::newRow("20, then 10") << 20 << 10 << 9;
    QTest::newRow("5, then 10") << 5 << 10 << 5;
    QTest::newRow("3, then 1") << 3 << 1 << 0;
}

void TstSesion::cargaRecorta()
{
    QFETCH(int, antes);
    QFETCH(int, n);
    QFETCH(int, esperado);
    Sesion s;
    if (antes > 100) {
        s.PonerPuntosSinUsar(antes);
        QCOMPARE(s.PuntosSinUsar(), 100);
    } else {
        Cargar(s, Serie(60), antes);
        s.Calcular();
        QCOMPARE(s.PuntosSinUsar(), antes);
    }
    // What Preparar builds already has the split the load will leave.
    const Espacio e = s.Preparar(Registros(Serie(n)));
    QCOMPARE(e.NumDatos, n - esperado);
    s.Adoptar(Espacio(e));
    QCOMPARE(s.PuntosSinUsar(), esperado);
    QCOMPARE(s.LimitePuntosSinUsar(), n - 1);
    QCOMPARE(s.Datos().NumDatos, n - esperado);
    QCOMPARE(s.Datos().TotalDatos, n);
    QVERIFY(s.DatosCargados());
    // A new history clears the log.
    QCOMPARE(s.Corridas().Tamano(), 0);
}

void TstSesion::aplicar()
{
    const std::vector<double> y = Serie(48);
    Sesion s;
    Cargar(s, y, 3, 6);
    s.SeleccionarModelo(ItemHLT);
    s.PonerValor(ValorModelo::AlfaHLT, 0.2);
    s.PonerValor(ValorModelo::BetaHLT, 0.1);
    s.PonerPrevisionesNegativas(true);
    const Corrida c = s.Calcular();

    // Everything elsewhere.
    s.SeleccionarModelo(ItemMMS);
    s.PonerValor(ValorModelo::N, 9);
    s.PonerValor(ValorModelo::AlfaHLT, 0.8);
    s.PonerValor(ValorModelo::BetaHLT, 0.9);
    s.PonerHorizonte(12);
    s.PonerPrevisionesNegativas(false);
    s.PonerPuntosSinUsar(0);

    Cambios cambios;
    s.Observar([&cambios](unsigned b) {
        ++cambios.veces;
        cambios.bits |= b;
    });
    QVERIFY(s.Aplicar(c));
    QCOMPARE(cambios.veces, 1); // all at once
    QCOMPARE(s.ModeloSeleccionado(), int(ItemHLT));
    QCOMPARE(s.Valor(ValorModelo::AlfaHLT), 0.2);
    QCOMPARE(s.Valor(ValorModelo::BetaHLT), 0.1);
    QCOMPARE(s.Horizonte(), 6);
    QVERIFY(s.PrevisionesNegativas());
    QCOMPARE(s.PuntosSinUsar(), 3);
    QCOMPARE(s.Datos().NumDatos, 45);
    // A value HLT does not read stays as the user left it.
    QCOMPARE(s.Valor(ValorModelo::N), 9.0);
    // Running it again gives the very entry.
    QCOMPARE(Diferencia(s.Calcular(), c), QString());
}

void TstSesion::aplicarRechaza_data()
{
    QTest::addColumn<int>("modelo");
    QTest::addColumn<int>("origen");
    QTest::addColumn<int>("valor");
    QTest::addColumn<double>("x");
    QTest::addColumn<bool>("aplica");
    const int alfaHLT = int(ValorModelo::AlfaHLT), n = int(ValorModelo::N);
    // The session holds 36 values: hold-outs 0..35.
    QTest::newRow("hold-out beyond") << int(ItemHLT) << 36 << alfaHLT << 0.3 << false;
    QTest::newRow("hold-out negative") << int(ItemHLT) << -1 << alfaHLT << 0.3 << false;
    QTest::newRow("model 12") << 12 << 0 << alfaHLT << 0.3 << false;
    QTest::newRow("model -1") << -1 << 0 << alfaHLT << 0.3 << false;
    QTest::newRow("alfa above 1") << int(ItemHLT) << 0 << alfaHLT << 1.5 << false;
    QTest::newRow("alfa NaN") << int(ItemHLT) << 0 << alfaHLT << Nada << false;
    QTest::newRow("N 0") << int(ItemMMS) << 0 << n << 0.0 << false;
    // What the model does not read does not matter.
    QTest::newRow("N 0 for HLT") << int(ItemHLT) << 0 << n << 0.0 << true;
    QTest::newRow("last hold-out") << int(ItemHLT) << 35 << alfaHLT << 1.0 << true;
}

void TstSesion::aplicarRechaza()
{
    QFETCH(int, modelo);
    QFETCH(int, origen);
    QFETCH(int, valor);
    QFETCH(double, x);
    QFETCH(bool, aplica);
    Sesion s;
    Cargar(s, Serie(36), 2);
    s.SeleccionarModelo(ItemDST);
    Corrida c;
    c.Modelo = modelo;
    c.Origen = origen;
    c.Param.V = 7;
    PonerValor(c.Param, ValorModelo(valor), x);
    Cambios cambios;
    s.Observar([&cambios](unsigned) { ++cambios.veces; });
    QCOMPARE(s.Aplicar(c), aplica);
    if (aplica) {
        QCOMPARE(s.PuntosSinUsar(), origen);
        QCOMPARE(s.Horizonte(), 7);
        return;
    }
    // Refused: nothing changed and nobody was told.
    QCOMPARE(cambios.veces, 0);
    QCOMPARE(s.ModeloSeleccionado(), int(ItemDST));
    QCOMPARE(s.PuntosSinUsar(), 2);
    QCOMPARE(s.Horizonte(), 12);
    QCOMPARE(s.Valor(ValorModelo::AlfaHLT), 0.5);
}

Q_DECLARE_METATYPE(QList<Corrida>)
Q_DECLARE_METATYPE(Corrida)

void TstSesion::mejor_data()
{
    QTest::addColumn<QList<Corrida>>("log");
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("acierto");
    QTest::addColumn<long long>("desde");
    QTest::addColumn<long long>("esperado"); // -1: none
    const QList<Corrida> tres = {Entrada(3, 0.2, 10), Entrada(1, -0.5, 50), Entrada(2, 0.1, 50)};
    QTest::newRow("MSE smallest") << tres << int(ColErrMSE) << false << 0LL << 1LL;
    QTest::newRow("LMR smallest, negative") << tres << int(ColErrLMR) << false << 0LL << 1LL;
    QTest::newRow("PB largest, first of equals") << tres << int(ColErrPB) << false << 0LL << 1LL;
    QTest::newRow("PBMSE largest") << tres << int(ColErrPBMSE) << false << 0LL << 1LL;
    QTest::newRow("from 2 on") << tres << int(ColErrMSE) << false << 2LL << 2LL;
    QTest::newRow("from -3: from 0") << tres << int(ColErrMSE) << false << -3LL << 1LL;
    QTest::newRow("from beyond") << tres << int(ColErrMSE) << false << 3LL << -1LL;
    QTest::newRow("first of equals") << QList<Corrida>{Entrada(2, 0, 0), Entrada(1, 0, 0), Entrada(1, 0, 0)}
                                     << int(ColErrMSE) << false << 0LL << 1LL;
    QTest::newRow("missing passed over") << QList<Corrida>{Entrada(Nada, 0, 0), Entrada(5, 0, 0), Entrada(Nada, 0, 0),
                                                           Entrada(3, 0, 0)}
                                         << int(ColErrMSE) << false << 0LL << 3LL;
    QTest::newRow("none has it") << QList<Corrida>{Entrada(Nada, 0, 0), Entrada(Nada, 0, 0)} << int(ColErrMSE) << false
                                 << 0LL << -1LL;
    QTest::newRow("a measure nobody fills") << tres << int(ColErrMAE) << false << 0LL << -1LL;
    QTest::newRow("the label column") << tres << int(ColErrEtiqueta) << false << 0LL << -1LL;
    QTest::newRow("past the last column") << tres << int(NumColumnasError) << false << 0LL << -1LL;
    QTest::newRow("accuracy: entries without it passed over")
        << QList<Corrida>{Entrada(1, 0, 0, false), Entrada(4, 0, 0, true), Entrada(2, 0, 0, false),
                          Entrada(3, 0, 0, true)}
        << int(ColErrMSE) << true << 0LL << 3LL;
    QTest::newRow("accuracy: none") << tres << int(ColErrMSE) << true << 0LL << -1LL;
    QTest::newRow("empty log") << QList<Corrida>{} << int(ColErrMSE) << false << 0LL << -1LL;
    // Scaled errors: smaller is better.
    QTest::newRow("MASE smallest") << QList<Corrida>{Solo(ColErrMASE, 2), Solo(ColErrMASE, 0.5), Solo(ColErrMASE, 1)}
                                   << int(ColErrMASE) << false << 0LL << 1LL;
    QTest::newRow("RMSSE smallest") << QList<Corrida>{Solo(ColErrRMSSE, 0.9), Solo(ColErrRMSSE, 1.1)}
                                    << int(ColErrRMSSE) << false << 0LL << 0LL;
    // The bias: nearest 0, neither the smallest (-3) nor the largest (1).
    QTest::newRow("ME nearest 0, first of equals")
        << QList<Corrida>{Solo(ColErrME, -3), Solo(ColErrME, 1), Solo(ColErrME, -0.5), Solo(ColErrME, 0.5)}
        << int(ColErrME) << false << 0LL << 2LL;
}

void TstSesion::mejor()
{
    QFETCH(QList<Corrida>, log);
    QFETCH(int, col);
    QFETCH(bool, acierto);
    QFETCH(long long, desde);
    QFETCH(long long, esperado);
    RegistroCorridas r;
    for (const Corrida& c : log)
        r.Anadir(c);
    const std::optional<long long> m = r.Mejor(col, acierto, desde);
    QCOMPARE(m.value_or(-1), esperado);
}

namespace {
// Measures with a chosen sMAPE and relative deviation, MSE 1 and PB 40.
MedidasCorrida ConDesv(Medida smape, double desv)
{
    Medidas m;
    m.MSE = 1.0;
    m.sMAPE = smape;
    m.PB = 40.0;
    m.DesvRelativa = desv;
    return MedidasCorrida(m);
}
} // namespace

void TstSesion::registroCompacto_data()
{
    QTest::addColumn<Corrida>("corrida");
    const auto con = [](int item, std::initializer_list<std::pair<ValorModelo, double>> valores, int origen,
                        MedidasCorrida ajuste, std::optional<MedidasCorrida> acierto) {
        Corrida c;
        c.Modelo = item;
        for (const auto& [v, x] : valores)
            PonerValor(c.Param, v, x);
        c.Param.V = 500;
        c.Param.PrevNeg = true;
        c.Origen = origen;
        c.Ajuste = ajuste;
        c.Acierto = acierto;
        return c;
    };
    // As CalcularMedidas leaves them: the deviation is sMAPE / 100 to the bit.
    const double d = 0.1234567;
    QTest::newRow("sMAPE is the deviation x 100")
        << con(ItemHW, {{ValorModelo::AlfaHLT, 0.1}, {ValorModelo::BetaHLT, 0.2}, {ValorModelo::PhiHW, 0.3}}, 0,
               ConDesv(d * 100.0, d), std::nullopt);
    QTest::newRow("no sMAPE, deviation 0")
        << con(ItemMMS, {{ValorModelo::N, 7}}, 3, ConDesv(std::nullopt, 0.0), ConDesv(d * 100.0, d));
    // Measures made some other way: the deviation must come back as it went in.
    QTest::newRow("no sMAPE, a deviation")
        << con(ItemLES, {{ValorModelo::AlfaLE, 0.5}}, 0, ConDesv(std::nullopt, 0.25), ConDesv(std::nullopt, -0.0));
    QTest::newRow("sMAPE and another deviation")
        << con(ItemTHT, {{ValorModelo::AlfaTHT, 0.7}}, 12, ConDesv(12.5, 0.3), ConDesv(0.1 * 3, 0.1));
    QTest::newRow("nothing measured") << con(ItemNVS, {}, 0, MedidasCorrida(), MedidasCorrida());
    // The scaled measures and the bias, after the twelve: a negative zero and
    // a subnormal come back as they went in.
    Medidas escaladas;
    escaladas.MASE = 0.75;
    escaladas.RMSSE = 4.9e-324;
    escaladas.ME = -0.0;
    Medidas sesgo = escaladas;
    sesgo.MASE.reset();
    sesgo.ME = -12.5;
    QTest::newRow("MASE, RMSSE and ME") << con(ItemHLT, {{ValorModelo::AlfaHLT, 0.1}, {ValorModelo::BetaHLT, 0.2}}, 4,
                                               MedidasCorrida(escaladas), MedidasCorrida(sesgo));
}

void TstSesion::registroCompacto()
{
    QFETCH(Corrida, corrida);
    // Between other entries, so that no entry reads another's parts.
    RegistroCorridas r;
    const Corrida antes = Entrada(2, 0.5, 10, true);
    const Corrida despues = Entrada(3, -0.5, 20, false);
    r.Anadir(antes);
    r.Anadir(corrida);
    r.Anadir(despues);
    QCOMPARE(r.Tamano(), 3);
    QCOMPARE(Diferencia(r[0], antes), QString());
    QCOMPARE(Diferencia(r[1], corrida), QString());
    QCOMPARE(Diferencia(r[2], despues), QString());
    QCOMPARE(r.TamanoAciertos(), corrida.Acierto ? 2 : 1);
    r.Borrar();
    QCOMPARE(r.Tamano(), 0);
    QCOMPARE(r.TamanoAciertos(), 0);
}

void TstSesion::observadores()
{
    Sesion s;
    Cambios c;
    s.Observar([&c](unsigned b) {
        ++c.veces;
        c.bits |= b;
    });
    // One change, one call.
    s.PonerHorizonte(6);
    QCOMPARE(c.veces, 1);
    QCOMPARE(c.bits, unsigned(Sesion::CambioHorizonte));
    // The same value again tells nothing.
    s.PonerHorizonte(6);
    s.SeleccionarModelo(ItemDST); // the start model
    s.PonerValor(ValorModelo::N, 6.7); // N takes the whole part: 6, as it was
    QCOMPARE(c.veces, 1);

    // Kept while silent, told once at the end of the outermost silence.
    c = {};
    {
        Sesion::Silencio fuera(s);
        s.SeleccionarModelo(ItemHLT);
        {
            Sesion::Silencio dentro(s);
            s.PonerValor(ValorModelo::AlfaHLT, 0.3);
            s.PonerPrevisionesNegativas(true);
        }
        QCOMPARE(c.veces, 0);
        s.PonerHorizonte(3);
        s.PonerPuntosSinUsar(2);
    }
    QCOMPARE(c.veces, 1);
    QCOMPARE(c.bits,
             unsigned(Sesion::CambioModelo | Sesion::CambioValores | Sesion::CambioHorizonte | Sesion::CambioPuntos));

    // A silence with no change tells nothing.
    c = {};
    {
        Sesion::Silencio nada(s);
        s.PonerHorizonte(3);
    }
    QCOMPARE(c.veces, 0);

    // A load tells the history and the hold-out; a calculation changes no setting.
    s.CargarHistorico(Registros(Serie(24)));
    QCOMPARE(c.veces, 1);
    QCOMPARE(c.bits, unsigned(Sesion::CambioDatos | Sesion::CambioPuntos));
    s.Calcular();
    QCOMPARE(c.veces, 1);
}

// A kept state comes back whole, and what happens to the session after it
// (runs added, the log cleared, another history) does not reach it.
void TstSesion::estadoGuardado()
{
    Sesion s;
    s.CargarHistorico(Registros(Serie(36)));
    s.SeleccionarModelo(ItemHLT);
    s.PonerPuntosSinUsar(6);
    s.Calcular();
    s.Calcular();
    const double mse = s.Corridas().MedidaAjuste(1, 0);
    Sesion::Estado antes = s.Guardar();

    s.Calcular();
    QCOMPARE(antes.corridas.Tamano(), 2); // the run after it is not in it
    s.Corridas().Borrar();
    s.CargarHistorico(Registros(Serie(12)));
    s.SeleccionarModelo(ItemNVS);
    const Sesion::Estado despues = s.Guardar();

    s.Reponer(std::move(antes));
    QCOMPARE(s.Datos().TotalDatos, 36);
    QCOMPARE(s.ModeloSeleccionado(), int(ItemHLT));
    QCOMPARE(s.PuntosSinUsar(), 6);
    QCOMPARE(s.Corridas().Tamano(), 2);
    QCOMPARE(s.Corridas().TamanoAciertos(), 2);
    QCOMPARE(s.Corridas().MedidaAjuste(1, 0), mse);
    // Appending to the log put back leaves the other kept state alone.
    s.Calcular();
    QCOMPARE(s.Corridas().Tamano(), 3);
    QCOMPARE(despues.corridas.Tamano(), 0);
    s.Reponer(despues);
    QCOMPARE(s.Datos().TotalDatos, 12);
    QCOMPARE(s.Corridas().Tamano(), 0);
}

QTEST_APPLESS_MAIN(TstSesion)

#include "tst_sesion.moc"
