// SPDX-License-Identifier: GPL-3.0-or-later
// The three experiments on a session without a window: every step's log
// entry against a lone calculation with the same values on a fresh session,
// the counts, the checks before any step, stopping and the progress calls.
#include <QtTest>

#include <stdexcept>
#include <string>

#include "AyudasNucleo.h"
#include "models/MotorExperimentos.h"

using namespace tendora;
using namespace nucleo;

namespace {

// Records every call; asked whether to stop, says yes once a step at or past
// `cancelarEn` has been reported.
class Informe final : public InformeProgreso {
public:
    long long cancelarEn = -1;
    int comenzar = 0, terminar = 0;
    std::string titulo;
    long long total = -1;
    std::vector<long long> avances;
    std::vector<std::string> mensajes;
    bool fueraDeOrden = false; // a call outside Comenzar..Terminar

    void Comenzar(std::string_view t, long long n) override
    {
        ++comenzar;
        titulo = t;
        total = n;
    }
    void Avanzar(long long hechos) override
    {
        fueraDeOrden |= comenzar != 1 || terminar != 0;
        avances.push_back(hechos);
    }
    bool Cancelado() const override { return cancelarEn >= 0 && !avances.empty() && avances.back() >= cancelarEn; }
    void Mensaje(std::string_view texto) override
    {
        fueraDeOrden |= comenzar != 1 || terminar != 0;
        mensajes.emplace_back(texto);
    }
    void Terminar() override { ++terminar; }
};

// The engine of a loop over s, counting the session's notices and the runs shown.
struct Banco {
    explicit Banco(Sesion& s) : m(s, inf)
    {
        s.Observar([this](unsigned) { ++avisos; });
        m.AlCalcular = [this] { ++mostrados; };
    }
    Banco(const Banco&) = delete;
    Banco& operator=(const Banco&) = delete;
    Informe inf;
    MotorExperimentos m;
    int avisos = 0;
    int mostrados = 0;
};

using Rango = MotorExperimentos::Rango;

// The values of a level as the loop gives them: Desde + k × Inc as the edit
// takes it (N whole), k = 0..cuantos-1.
std::vector<double> Valores(const Rango& r, long long cuantos)
{
    std::vector<double> v;
    for (long long k = 0; k < cuantos; ++k)
        v.push_back(r.valor == ValorModelo::N ? r.desde + double(k) * r.inc
                                              : ComoEdit(r.valor, r.desde + double(k) * r.inc));
    return v;
}

// Every combination in loop order, the first level outermost.
std::vector<Parametros> Combinaciones(const Parametros& base, const std::vector<Rango>& niveles,
                                      const std::vector<long long>& cuantos)
{
    std::vector<Parametros> r{base};
    for (size_t k = 0; k < niveles.size(); ++k) {
        std::vector<Parametros> siguiente;
        for (const Parametros& p : r)
            for (double x : Valores(niveles[k], cuantos[k])) {
                Parametros q = p;
                PonerValor(q, niveles[k].valor, x);
                siguiente.push_back(q);
            }
        r = std::move(siguiente);
    }
    return r;
}

// The last run's workspace: a fresh session run with those values (a failed
// run leaves what it wrote).
Espacio Ultimo(const std::vector<double>& y, int reserva, int item, const Parametros& p)
{
    Sesion s;
    Preparar(s, y, reserva, item, p);
    try {
        s.Calcular();
    } catch (const std::exception&) {
    }
    return s.Ws;
}

// Whole levels as rows of test data.
struct Grid {
    std::vector<Rango> niveles;
    std::vector<long long> cuantos; // values per level, counted by hand
};

} // namespace

Q_DECLARE_METATYPE(Grid)

class TstMotor : public QObject {
    Q_OBJECT
private slots:
    void aplicarTodos_data();
    void aplicarTodos();
    void aplicarTodosCancelar_data();
    void aplicarTodosCancelar();
    void variar_data();
    void variar();
    void contarValores_data();
    void contarValores();
    void rangosMalos_data();
    void rangosMalos();
    void nMuyLargo();
    void cancelar_data();
    void cancelar();
    void historiaVacia();
    void simularExAnte_data();
    void simularExAnte();
    void exAnteAlReves();
};

void TstMotor::aplicarTodos_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("reserva");
    QTest::addColumn<int>("fallan");
    // 36 values take every model with the page's defaults (N 6).
    QTest::newRow("36") << 36 << 0 << 0;
    QTest::newRow("36 T-4") << 36 << 4 << 0;
    // 10 values: the four seasonal models fail (NVE and THT need more than
    // 12 values to fit, DST 14, H-W 24, as the catalogue says); MMD with N 6
    // starts at row 13, in the forecast, and runs with nothing to measure.
    QTest::newRow("10") << 10 << 0 << 4;
}

void TstMotor::aplicarTodos()
{
    QFETCH(int, n);
    QFETCH(int, reserva);
    QFETCH(int, fallan);
    const std::vector<double> y = Serie(n);
    Sesion s;
    Cargar(s, y, reserva);
    Banco banco(s);
    Informe& inf = banco.inf;
    MotorExperimentos& m = banco.m;
    const int& avisos = banco.avisos;
    const int& mostrados = banco.mostrados;
    m.AplicarTodos();

    QCOMPARE(inf.comenzar, 1);
    QCOMPARE(inf.terminar, 1);
    QVERIFY(!inf.fueraDeOrden);
    QCOMPARE(inf.titulo, std::string("Aplicar todos los métodos"));
    QCOMPARE(inf.total, 12);
    QCOMPARE(inf.avances, (std::vector<long long>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    QCOMPARE(m.PasosFallidos, fallan);
    QCOMPARE(int(inf.mensajes.size()), fallan);
    QCOMPARE(mostrados, 12 - fallan);
    QCOMPARE(s.Corridas().Tamano(), 12 - fallan);
    QVERIFY(m.UltimoResumen);
    QCOMPARE(m.UltimoResumen->pasos, 12);
    QCOMPARE(m.UltimoResumen->total, 12);
    QCOMPARE(m.UltimoResumen->fallidos, fallan);
    QVERIFY(!m.UltimoResumen->interrumpido);
    QCOMPARE(s.ModeloSeleccionado(), int(ItemSB));
    QCOMPARE(avisos, 1); // once, at the end

    // Each model against its lone run: the same entry, or the same message.
    long long k = 0;
    size_t fallo = 0;
    for (int item = 0; item < NumModelos; ++item) {
        const Parametros p = s.ParametrosDe(item);
        try {
            const Corrida sola = Sola(y, reserva, item, p);
            QVERIFY2(k < s.Corridas().Tamano(), FichaDe(item).Codigo.data());
            QCOMPARE(Diferencia(s.Corridas()[k++], sola), QString());
        } catch (const std::exception& e) {
            QVERIFY(fallo < inf.mensajes.size());
            QCOMPARE(inf.mensajes[fallo++], std::string(e.what()));
        }
    }
    QCOMPARE(k, s.Corridas().Tamano());
}

void TstMotor::aplicarTodosCancelar_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("interrumpido");
    QTest::newRow("first") << 1 << true;
    QTest::newRow("fifth") << 5 << true;
    QTest::newRow("eleventh") << 11 << true;
    // Asked on the last step it stops nothing.
    QTest::newRow("last") << 12 << false;
}

void TstMotor::aplicarTodosCancelar()
{
    QFETCH(int, k);
    QFETCH(bool, interrumpido);
    Sesion s;
    Cargar(s, Serie(36), 0);
    Informe inf;
    inf.cancelarEn = k;
    MotorExperimentos m(s, inf);
    m.AplicarTodos();
    QCOMPARE(s.Corridas().Tamano(), k);
    QCOMPARE(m.UltimoResumen->pasos, k);
    QCOMPARE(m.UltimoResumen->interrumpido, interrumpido);
    QCOMPARE(s.ModeloSeleccionado(), k - 1);
    QCOMPARE(inf.comenzar, 1);
    QCOMPARE(inf.terminar, 1);
}

void TstMotor::variar_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("reserva");
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<bool>("mostrar");
    QTest::addColumn<int>("fallan");
    QTest::addColumn<bool>("cruce"); // the history through zero instead of the rising one
    QTest::addColumn<bool>("prevNeg");
    const auto N = [](double d, double h, double i) { return Rango{ValorModelo::N, d, h, i}; };
    const auto A = [](ValorModelo v, double d, double h, double i) { return Rango{v, d, h, i}; };
    // Counts by hand: (Hasta - Desde) / Inc + 1.
    const Grid n2a12{{N(2, 12, 2)}, {6}};
    QTest::newRow("MMS N 2..12 by 2") << int(ItemMMS) << 36 << 6 << n2a12 << false << 0 << false << false;
    QTest::newRow("MMD N 2..12 by 2, drawn") << int(ItemMMD) << 36 << 6 << n2a12 << true << 0 << false << false;
    // N 40 is beyond a 36-value history.
    QTest::newRow("MMS N 1..40 by 13") << int(ItemMMS) << 36 << 0 << Grid{{N(1, 40, 13)}, {4}} << false << 1 << false
                                       << false;
    const Grid alfa19{{A(ValorModelo::AlfaLE, 0.05, 0.95, 0.05)}, {19}};
    QTest::newRow("LES alfa 0.05..0.95") << int(ItemLES) << 144 << 0 << alfa19 << false << 0 << false << false;
    QTest::newRow("LES alfa 0.05..0.95 T-6, drawn")
        << int(ItemLES) << 144 << 6 << alfa19 << true << 0 << false << false;
    QTest::newRow("LED alfa 0..1 by 0.3")
        << int(ItemLED) << 36 << 3 << Grid{{A(ValorModelo::AlfaLE, 0, 1, 0.3)}, {4}} << false << 0 << false << false;
    QTest::newRow("THT alfa 0.1..0.9 by 0.2")
        << int(ItemTHT) << 36 << 3 << Grid{{A(ValorModelo::AlfaTHT, 0.1, 0.9, 0.2)}, {5}} << false << 0 << false
        << false;
    QTest::newRow("CRT alfa 0.1..0.3 by 0.1")
        << int(ItemCRT) << 36 << 0 << Grid{{A(ValorModelo::AlfaCroston, 0.1, 0.3, 0.1)}, {3}} << false << 0 << false
        << false;
    QTest::newRow("S-B alfa 0.1..0.3 by 0.1")
        << int(ItemSB) << 36 << 2 << Grid{{A(ValorModelo::AlfaCroston, 0.1, 0.3, 0.1)}, {3}} << false << 0 << false
        << false;
    const Grid holt{{A(ValorModelo::AlfaHLT, 0.1, 0.9, 0.4), A(ValorModelo::BetaHLT, 0.2, 0.8, 0.3)}, {3, 3}};
    QTest::newRow("HLT 3 x 3") << int(ItemHLT) << 144 << 12 << holt << false << 0 << false << false;
    QTest::newRow("HLT 3 x 3, drawn") << int(ItemHLT) << 144 << 12 << holt << true << 0 << false << false;
    // 9 × 9 × 9 = 729; the innermost levels after the first go in batches.
    const Grid hw{{A(ValorModelo::AlfaHLT, 0.1, 0.9, 0.1), A(ValorModelo::BetaHLT, 0.1, 0.9, 0.1),
                   A(ValorModelo::PhiHW, 0.1, 0.9, 0.1)},
                  {9, 9, 9}};
    QTest::newRow("H-W 9 x 9 x 9 T-12") << int(ItemHW) << 144 << 12 << hw << false << 0 << false << false;
    QTest::newRow("H-W 9 x 9 x 9") << int(ItemHW) << 144 << 0 << hw << false << 0 << false << false;
    // 2 × 2 × 5, an innermost level of five: a batch of four and one alone.
    QTest::newRow("H-W 2 x 2 x 5 T-3") << int(ItemHW) << 48 << 3
                                       << Grid{{A(ValorModelo::AlfaHLT, 0.2, 0.4, 0.2),
                                                A(ValorModelo::BetaHLT, 0.05, 0.1, 0.05),
                                                A(ValorModelo::PhiHW, 0, 1, 0.25)},
                                               {2, 2, 5}}
                                       << false << 0 << false << false;
    // Through zero (the line reaches it at month 40): forecasts cut at zero or kept.
    QTest::newRow("H-W 9 x 9 x 9 through zero T-6") << int(ItemHW) << 48 << 6 << hw << false << 0 << true << false;
    QTest::newRow("H-W 9 x 9 x 9 through zero T-6, negatives kept")
        << int(ItemHW) << 48 << 6 << hw << false << 0 << true << true;
    QTest::newRow("HLT 3 x 3 through zero, negatives kept")
        << int(ItemHLT) << 48 << 6 << holt << false << 0 << true << true;
    QTest::newRow("H-W 2 x 2 x 2, drawn")
        << int(ItemHW) << 48 << 3
        << Grid{{A(ValorModelo::AlfaHLT, 0.2, 0.4, 0.2), A(ValorModelo::BetaHLT, 0.05, 0.1, 0.05),
                 A(ValorModelo::PhiHW, 0.5, 1, 0.5)},
                {2, 2, 2}}
        << true << 0 << false << false;
}

void TstMotor::variar()
{
    QFETCH(int, item);
    QFETCH(int, n);
    QFETCH(int, reserva);
    QFETCH(Grid, grid);
    QFETCH(bool, mostrar);
    QFETCH(int, fallan);
    QFETCH(bool, cruce);
    QFETCH(bool, prevNeg);
    const std::vector<double> y = cruce ? Cruce(n) : Serie(n);
    Sesion s;
    s.PonerPrevisionesNegativas(prevNeg);
    Cargar(s, y, reserva);
    s.SeleccionarModelo(item);
    Banco banco(s);
    Informe& inf = banco.inf;
    MotorExperimentos& m = banco.m;
    const int& avisos = banco.avisos;
    const int& mostrados = banco.mostrados;
    const Parametros base = s.ParametrosDe(item);
    const long long pasos = m.Variar(grid.niveles, mostrar);

    const std::vector<Parametros> esperadas = Combinaciones(base, grid.niveles, grid.cuantos);
    const long long total = static_cast<long long>(esperadas.size());
    QCOMPARE(pasos, total);
    QCOMPARE(inf.comenzar, 1);
    QCOMPARE(inf.terminar, 1);
    QVERIFY(!inf.fueraDeOrden);
    QCOMPARE(inf.titulo, std::string("Variación de parámetros"));
    QCOMPARE(inf.total, total);
    QVERIFY(!inf.avances.empty());
    QCOMPARE(inf.avances.back(), total);
    for (size_t k = 1; k < inf.avances.size(); ++k)
        QVERIFY(inf.avances[k] > inf.avances[k - 1]);
    QCOMPARE(m.PasosFallidos, fallan);
    QCOMPARE(int(inf.mensajes.size()), fallan);
    QCOMPARE(m.UltimoResumen->pasos, total);
    QCOMPARE(m.UltimoResumen->fallidos, fallan);
    QVERIFY(!m.UltimoResumen->interrumpido);
    QCOMPARE(mostrados, mostrar ? int(total) - fallan : 0);
    QCOMPARE(avisos, 1);
    QCOMPARE(s.Corridas().Tamano(), total - fallan);

    // Every entry, in loop order, equal to a lone run with its values.
    long long k = 0;
    size_t fallo = 0;
    for (const Parametros& p : esperadas) {
        try {
            const Corrida sola = Sola(y, reserva, item, p);
            QVERIFY(k < s.Corridas().Tamano());
            const QString d = Diferencia(s.Corridas()[k], sola);
            QVERIFY2(d.isEmpty(), qPrintable(QStringLiteral("entrada %1: ").arg(k) + d));
            ++k;
        } catch (const std::exception& e) {
            QVERIFY(fallo < inf.mensajes.size());
            QCOMPARE(inf.mensajes[fallo++], std::string(e.what()));
        }
    }
    QCOMPARE(k, s.Corridas().Tamano());
    QCOMPARE(static_cast<long long>(fallo), m.PasosFallidos);

    // The session keeps the last values and the workspace of the last run.
    const Parametros& ultima = esperadas.back();
    for (const Rango& r : grid.niveles)
        QCOMPARE(s.Valor(r.valor), Valor(ultima, r.valor));
    // After a failed last run the measures' counters are an earlier run's.
    const bool bien = s.Corridas().Tamano() > 0 && Diferencia(s.Corridas().Ultima().Param, ultima).isEmpty();
    const Espacio e = Ultimo(y, reserva, item, ultima);
    QCOMPARE(Diferencia(s.Ws, e, e.NumDatos + ultima.V, bien), QString());
}

void TstMotor::contarValores_data()
{
    QTest::addColumn<double>("desde");
    QTest::addColumn<double>("hasta");
    QTest::addColumn<double>("inc");
    QTest::addColumn<long long>("esperado"); // -1: refused
    // (0.95 - 0.05) / 0.05 is 17.999999999999996 in doubles: 19 values still.
    QTest::newRow("0.05..0.95 by 0.05") << 0.05 << 0.95 << 0.05 << 19LL;
    // (0.3 - 0.1) / 0.1 is 1.9999999999999998: 0.1, 0.2, 0.3.
    QTest::newRow("0.1..0.3 by 0.1") << 0.1 << 0.3 << 0.1 << 3LL;
    QTest::newRow("0.1..0.9 by 0.1") << 0.1 << 0.9 << 0.1 << 9LL;
    QTest::newRow("0..1 by 0.3: 0, 0.3, 0.6, 0.9") << 0.0 << 1.0 << 0.3 << 4LL;
    QTest::newRow("one value") << 0.5 << 0.5 << 1.0 << 1LL;
    QTest::newRow("step past the end") << 0.2 << 0.5 << 2.0 << 1LL;
    QTest::newRow("reversed: none") << 0.9 << 0.1 << 0.1 << 0LL;
    QTest::newRow("step 0") << 0.0 << 1.0 << 0.0 << -1LL;
    QTest::newRow("step negative") << 0.0 << 1.0 << -0.1 << -1LL;
    QTest::newRow("step NaN") << 0.0 << 1.0 << std::numeric_limits<double>::quiet_NaN() << -1LL;
    // 10^10 values: no sensible end.
    QTest::newRow("step 1e-10") << 0.0 << 1.0 << 1e-10 << -1LL;
}

void TstMotor::contarValores()
{
    QFETCH(double, desde);
    QFETCH(double, hasta);
    QFETCH(double, inc);
    QFETCH(long long, esperado);
    if (esperado < 0)
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, MotorExperimentos::ContarValores(desde, hasta, inc));
    else
        QCOMPARE(MotorExperimentos::ContarValores(desde, hasta, inc), esperado);
}

void TstMotor::rangosMalos_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<Grid>("grid");
    const auto A = [](ValorModelo v, double d, double h, double i) { return Rango{v, d, h, i}; };
    const Rango bien = A(ValorModelo::AlfaHLT, 0.1, 0.9, 0.1);
    QTest::newRow("alfa step 0") << int(ItemLES) << Grid{{A(ValorModelo::AlfaLE, 0.1, 0.9, 0)}, {}};
    QTest::newRow("alfa step negative") << int(ItemLES) << Grid{{A(ValorModelo::AlfaLE, 0.1, 0.9, -0.1)}, {}};
    QTest::newRow("alfa step 1e-12") << int(ItemLES) << Grid{{A(ValorModelo::AlfaLE, 0, 1, 1e-12)}, {}};
    QTest::newRow("N step 0") << int(ItemMMS) << Grid{{A(ValorModelo::N, 1, 10, 0)}, {}};
    QTest::newRow("N from 0") << int(ItemMMS) << Grid{{A(ValorModelo::N, 0, 5, 1)}, {}};
    QTest::newRow("N beyond its range") << int(ItemMMS) << Grid{{A(ValorModelo::N, 5, 1e10, 1e9)}, {}};
    // Counts that an integer cannot hold or a log cannot keep: 2500001³
    // (step 4e-7) is beyond 2^63, 100001² (step 1e-5) beyond 10^9 steps.
    const Rango fino = A(ValorModelo::AlfaHLT, 0, 1, 4e-7);
    QTest::newRow("H-W 2500001 cubed")
        << int(ItemHW) << Grid{{fino, A(ValorModelo::BetaHLT, 0, 1, 4e-7), A(ValorModelo::PhiHW, 0, 1, 4e-7)}, {}};
    QTest::newRow("HLT 100001 squared")
        << int(ItemHLT) << Grid{{A(ValorModelo::AlfaHLT, 0, 1, 1e-5), A(ValorModelo::BetaHLT, 0, 1, 1e-5)}, {}};
    QTest::newRow("N from -5e18 to 5e18") << int(ItemMMS) << Grid{{A(ValorModelo::N, -5e18, 5e18, 1)}, {}};
    QTest::newRow("N from 5 to 1e30") << int(ItemMMS) << Grid{{A(ValorModelo::N, 5, 1e30, 1)}, {}};
    QTest::newRow("H-W third level bad")
        << int(ItemHW) << Grid{{bien, A(ValorModelo::BetaHLT, 0.1, 0.2, 0.1), A(ValorModelo::PhiHW, 0.1, 0.9, 0)}, {}};
}

void TstMotor::rangosMalos()
{
    QFETCH(int, item);
    QFETCH(Grid, grid);
    Sesion s;
    Cargar(s, Serie(36), 0);
    s.SeleccionarModelo(item);
    s.Calcular(); // one entry that must stay alone
    const Parametros antes = s.Todos();
    Informe inf;
    inf.cancelarEn = 1; // should a loop start after all, it ends at once
    MotorExperimentos m(s, inf);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, m.Variar(grid.niveles, false));
    QCOMPARE(s.Corridas().Tamano(), 1);
    QCOMPARE(inf.comenzar, 0);
    QCOMPARE(inf.terminar, 0);
    QVERIFY(inf.avances.empty());
    QCOMPARE(Diferencia(s.Todos(), antes), QString());
    QVERIFY(!m.UltimoResumen);
}

// Every N the edit takes, 1..999999999: a loop the user can start and stop.
// Its values are not all kept at once (eight bytes each would be 8 GB), nor
// is room made in the log for runs that may never come.
void TstMotor::nMuyLargo()
{
    const std::vector<double> y = Serie(36);
    Sesion s;
    Cargar(s, y, 0);
    s.SeleccionarModelo(ItemMMS);
    Informe inf;
    inf.cancelarEn = 3;
    MotorExperimentos m(s, inf);
    QCOMPARE(m.Variar({{ValorModelo::N, 1, double(MaximoN), 1}}, false), 3);
    QCOMPARE(inf.total, 999999999);
    QVERIFY(m.UltimoResumen->interrumpido);
    QCOMPARE(s.Corridas().Tamano(), 3);
    for (int k = 0; k < 3; ++k)
        QCOMPARE(s.Corridas()[k].Param.N, k + 1);
    QCOMPARE(s.Valor(ValorModelo::N), 3.0);
}

void TstMotor::cancelar_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<bool>("mostrar");
    QTest::addColumn<long long>("k");
    QTest::addColumn<long long>("pasos");
    QTest::addColumn<bool>("interrumpido");
    const auto A = [](ValorModelo v, double d, double h, double i) { return Rango{v, d, h, i}; };
    const Grid alfa19{{A(ValorModelo::AlfaLE, 0.05, 0.95, 0.05)}, {19}};
    QTest::newRow("LES at 5") << int(ItemLES) << alfa19 << false << 5LL << 5LL << true;
    QTest::newRow("LES at 19, the last") << int(ItemLES) << alfa19 << false << 19LL << 19LL << false;
    const Grid holt{{A(ValorModelo::AlfaHLT, 0.1, 0.9, 0.4), A(ValorModelo::BetaHLT, 0.2, 0.8, 0.3)}, {3, 3}};
    // Stopped inside the inner level: the outer one goes no further.
    QTest::newRow("HLT at 4") << int(ItemHLT) << holt << false << 4LL << 4LL << true;
    QTest::newRow("HLT at 6, drawn") << int(ItemHLT) << holt << true << 6LL << 6LL << true;
    const Grid hw{{A(ValorModelo::AlfaHLT, 0.1, 0.9, 0.1), A(ValorModelo::BetaHLT, 0.1, 0.9, 0.1),
                   A(ValorModelo::PhiHW, 0.1, 0.9, 0.1)},
                  {9, 9, 9}};
    // The first innermost level runs alone (steps 1..9); after it each level
    // of nine goes as batches of 4, 4 and 1, reported at 13, 17, 18, 22, ...
    QTest::newRow("H-W at 5, alone") << int(ItemHW) << hw << false << 5LL << 5LL << true;
    QTest::newRow("H-W at 11, in the batch 10..13") << int(ItemHW) << hw << false << 11LL << 13LL << true;
    QTest::newRow("H-W at 18, a batch of one") << int(ItemHW) << hw << false << 18LL << 18LL << true;
    QTest::newRow("H-W at 20, in the batch 19..22") << int(ItemHW) << hw << false << 20LL << 22LL << true;
    QTest::newRow("H-W at 20, drawn: no batches") << int(ItemHW) << hw << true << 20LL << 20LL << true;
}

void TstMotor::cancelar()
{
    QFETCH(int, item);
    QFETCH(Grid, grid);
    QFETCH(bool, mostrar);
    QFETCH(long long, k);
    QFETCH(long long, pasos);
    QFETCH(bool, interrumpido);
    const std::vector<double> y = Serie(144);
    Sesion s;
    Cargar(s, y, 12);
    s.SeleccionarModelo(item);
    const Parametros base = s.ParametrosDe(item);
    Informe inf;
    inf.cancelarEn = k;
    MotorExperimentos m(s, inf);
    QCOMPARE(m.Variar(grid.niveles, mostrar), pasos);
    QCOMPARE(s.Corridas().Tamano(), pasos);
    QCOMPARE(m.UltimoResumen->pasos, pasos);
    QCOMPARE(m.UltimoResumen->interrumpido, interrumpido);
    QCOMPARE(inf.avances.back(), pasos);
    QCOMPARE(inf.comenzar, 1);
    QCOMPARE(inf.terminar, 1);
    // The last step run is the session's, values and workspace.
    const Parametros ultima = Combinaciones(base, grid.niveles, grid.cuantos)[size_t(pasos - 1)];
    QCOMPARE(Diferencia(s.ParametrosDe(item), ultima), QString());
    QCOMPARE(Diferencia(s.Corridas().Ultima(), Sola(y, 12, item, ultima)), QString());
    const Espacio e = Ultimo(y, 12, item, ultima);
    QCOMPARE(Diferencia(s.Ws, e, e.NumDatos + ultima.V), QString());
}

// An empty history with no forecast rows: every step fails and says why,
// whether the session runs it or the grid does without drawing.
void TstMotor::historiaVacia()
{
    Sesion s;
    s.PonerHorizonte(0);
    s.CargarHistorico({});
    Informe inf;
    MotorExperimentos m(s, inf);
    m.AplicarTodos();
    QCOMPARE(m.PasosFallidos, 12);
    QCOMPARE(inf.mensajes.size(), size_t(12));
    for (int item : {int(ItemLES), int(ItemLED), int(ItemHLT), int(ItemHW), int(ItemCRT), int(ItemSB)}) {
        s.SeleccionarModelo(item);
        const Rango r{ValoresDe(item).v[0], 0.1, 0.3, 0.1};
        QCOMPARE(m.Variar({r}, false), 3);
        QCOMPARE(m.PasosFallidos, 3);
    }
    QCOMPARE(s.Corridas().Tamano(), 0);
}

void TstMotor::simularExAnte_data()
{
    QTest::addColumn<int>("desde");
    QTest::addColumn<int>("hasta");
    QTest::addColumn<int>("V");
    QTest::addColumn<QList<int>>("origenes");
    QTest::addColumn<long long>("cancelarEn");
    QTest::newRow("6..1") << 6 << 1 << 12 << QList<int>{1, 2, 3, 4, 5, 6} << -1LL;
    QTest::newRow("3..3") << 3 << 3 << 12 << QList<int>{3} << -1LL;
    // More held back than forecast: measured over the V forecast rows.
    QTest::newRow("20..18, V 6") << 20 << 18 << 6 << QList<int>{18, 19, 20} << -1LL;
    // 36 values: hold-outs beyond 35 are brought to 35, and still counted as steps.
    QTest::newRow("37..33") << 37 << 33 << 12 << QList<int>{33, 34, 35, 35, 35} << -1LL;
    QTest::newRow("8..2, stopped at 3") << 8 << 2 << 12 << QList<int>{2, 3, 4} << 3LL;
}

void TstMotor::simularExAnte()
{
    QFETCH(int, desde);
    QFETCH(int, hasta);
    QFETCH(int, V);
    QFETCH(QList<int>, origenes);
    QFETCH(long long, cancelarEn);
    const std::vector<double> y = Serie(36);
    Sesion s;
    Cargar(s, y, 0, V);
    // LES fits from one value on, so every hold-out runs.
    s.SeleccionarModelo(ItemLES);
    s.PonerValor(ValorModelo::AlfaLE, 0.3);
    const Parametros p = s.ParametrosDe(ItemLES);
    Informe inf;
    inf.cancelarEn = cancelarEn;
    MotorExperimentos m(s, inf);
    int mostrados = 0;
    m.AlCalcular = [&mostrados] { ++mostrados; };
    m.SimularExAnte(desde, hasta);

    const long long total = static_cast<long long>(desde) - hasta + 1;
    const long long pasos = origenes.size();
    QCOMPARE(inf.comenzar, 1);
    QCOMPARE(inf.terminar, 1);
    QCOMPARE(inf.titulo, std::string("Simulación ex-ante"));
    QCOMPARE(inf.total, total);
    QCOMPARE(inf.avances.back(), pasos);
    QCOMPARE(m.UltimoResumen->pasos, pasos);
    QCOMPARE(m.UltimoResumen->interrumpido, pasos < total);
    QCOMPARE(mostrados, int(pasos));
    QCOMPARE(s.Corridas().Tamano(), pasos);
    for (int k = 0; k < origenes.size(); ++k) {
        const Corrida& c = s.Corridas()[k];
        QCOMPARE(c.Origen, origenes[k]);
        QVERIFY(c.Acierto);
        QCOMPARE(Diferencia(c, Sola(y, origenes[k], ItemLES, p)), QString());
    }
    // The hold-out stays at the last one run; the model and its values as they were.
    QCOMPARE(s.PuntosSinUsar(), origenes.back());
    QCOMPARE(s.Datos().NumDatos, 36 - origenes.back());
    QCOMPARE(s.ModeloSeleccionado(), int(ItemLES));
    QCOMPARE(Diferencia(s.ParametrosDe(ItemLES), p), QString());
}

void TstMotor::exAnteAlReves()
{
    Sesion s;
    Cargar(s, Serie(36), 2);
    Informe inf;
    MotorExperimentos m(s, inf);
    m.SimularExAnte(1, 3);
    QCOMPARE(inf.comenzar, 0);
    QCOMPARE(inf.terminar, 0);
    QCOMPARE(s.Corridas().Tamano(), 0);
    QCOMPARE(s.PuntosSinUsar(), 2);
}

QTEST_APPLESS_MAIN(TstMotor)

#include "tst_motor.moc"
