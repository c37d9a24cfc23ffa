// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic forecast in the core: where the rolling origins go, the
// errors they give, the interval quantiles, the scales, the ranking and the
// session applying a candidate. Expected numbers are worked by hand unless
// the case says otherwise.
#include <QtTest>

#include <algorithm>
#include <cmath>

#include "AyudasNucleo.h"
#include "models/Automatico.h"
#include "models/MotorExperimentos.h"

using namespace tendora;
using namespace nucleo;

Q_DECLARE_METATYPE(std::vector<double>)

namespace {

Espacio Historia(const std::vector<double>& y)
{
    Espacio e;
    const int n = int(y.size());
    e.TotalDatos = e.NumDatos = n;
    e.Redimensionar(n + 1);
    int anio = 2000, mes = 1;
    for (int t = 1; t <= n; ++t) {
        e.Poner(t, ColT, t);
        e.Poner(t, ColAnio, anio);
        e.Poner(t, ColMes, mes);
        e.Poner(t, ColDatos, y[size_t(t - 1)]);
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    e.DatosCargados = true;
    return e;
}

// Errors set by hand: K origins, P steps, every level 1.
ErroresOrigen Errores(int P, const std::vector<double>& e)
{
    ErroresOrigen r;
    r.Plan.Pasos = P;
    r.Plan.Horizonte = P;
    for (size_t k = 0; k < e.size() / size_t(P); ++k)
        r.Plan.Origenes.push_back(10 + int(k));
    r.Error = e;
    r.Real.assign(e.size(), 100.0);
    r.Nivel.assign(r.Plan.Origenes.size(), 1.0);
    return r;
}

bool Finito(const Intervalo& b)
{
    return std::isfinite(b.Inf80) && std::isfinite(b.Sup80) && std::isfinite(b.Inf95) && std::isfinite(b.Sup95);
}

class Cancelar final : public InformeProgreso {
public:
    explicit Cancelar(int tras) : tras_(tras) { }
    void Comenzar(std::string_view, long long total) override { total_ = total; }
    void Avanzar(long long hechos) override { hechos_ = hechos; }
    bool Cancelado() const override { return hechos_ >= tras_; }
    void Mensaje(std::string_view) override { }
    void Terminar() override { terminado_ = true; }
    long long total_ = 0, hechos_ = 0;
    int tras_;
    bool terminado_ = false;
};

} // namespace

class TstAutomatico : public QObject {
    Q_OBJECT

private slots:
    void origenes_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("H");
        QTest::addColumn<int>("pasos");
        QTest::addColumn<QList<int>>("origenes");
        // Two years fitted at least; up to 12 origins spread back from n - H.
        QTest::newRow("144, 12: every 9 months")
            << 144 << 12 << 12 << QList<int>{33, 42, 51, 60, 69, 78, 87, 96, 105, 114, 123, 132};
        QTest::newRow("60, 18: room for one month apart")
            << 60 << 18 << 18 << QList<int>{31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42};
        QTest::newRow("30, 12: half the history fitted") << 30 << 12 << 12 << QList<int>{15, 16, 17, 18};
        QTest::newRow("20, 12: the steps shrink to 8") << 20 << 12 << 8 << QList<int>{10, 11, 12};
        QTest::newRow("5, 12: one step") << 5 << 12 << 1 << QList<int>{2, 3, 4};
        QTest::newRow("4: nothing to evaluate") << 4 << 12 << 0 << QList<int>{};
        QTest::newRow("horizon 0") << 144 << 0 << 0 << QList<int>{};
    }
    void origenes()
    {
        QFETCH(int, n);
        QFETCH(int, H);
        QFETCH(int, pasos);
        QFETCH(QList<int>, origenes);
        const PlanOrigenes p = ColocarOrigenes(n, H);
        QCOMPARE(p.Valido(), !origenes.isEmpty());
        if (!p.Valido())
            return;
        QCOMPARE(p.Pasos, pasos);
        QCOMPARE(QList<int>(p.Origenes.begin(), p.Origenes.end()), origenes);
        QCOMPARE(p.Origenes.back() + p.Pasos, n); // the last origin leaves the steps to compare
    }

    // Naïve from origins 4, 5 and 6 of 10 12 11 13 15 14 16 18, two steps.
    void erroresIngenuo()
    {
        const std::vector<double> y = {10, 12, 11, 13, 15, 14, 16, 18};
        Evaluador ev(Historia(y));
        const PlanOrigenes plan = ColocarOrigenes(8, 2);
        QCOMPARE(QList<int>(plan.Origenes.begin(), plan.Origenes.end()), (QList<int>{4, 5, 6}));
        ErroresOrigen e;
        ev.Evaluar(ItemNVS, Parametros{}, plan, e);
        QCOMPARE(e.Fallidos, 0);
        const double esperado[3][2] = {{15 - 13, 14 - 13}, {14 - 15, 16 - 15}, {16 - 14, 18 - 14}};
        for (int k = 0; k < 3; ++k)
            for (int h = 1; h <= 2; ++h)
                QCOMPARE(e.E(k, h), esperado[k][h - 1]);
        // Level at origin 4: mean of 10, 12, 11, 13.
        QCOMPARE(e.Nivel[0], 11.5);
        // The history is left as it was: a whole run forecasts its last value.
        QCOMPARE(ev.Prever(ItemNVS, Parametros{}, 3), (std::vector<double>{18, 18, 18}));
    }

    // A model that cannot run at an origin fails there, and says why.
    void erroresFallidos()
    {
        Evaluador ev(Historia({10, 12, 11, 13, 15, 14, 16, 18}));
        const PlanOrigenes plan = ColocarOrigenes(8, 2);
        Parametros p;
        p.N = 5; // longer than origins 4, fits 5 and 6
        ErroresOrigen e;
        ev.Evaluar(ItemMMS, p, plan, e);
        QCOMPARE(e.Fallidos, 1);
        QVERIFY(std::isnan(e.E(0, 1)));
        QVERIFY(!std::isnan(e.E(1, 1)));
        QVERIFY(!ev.Fallo().empty());
    }

    // Errors -1, 0, 2 at one step, levels 1: spread sqrt(5/3); with three
    // values the conformal ranks take the least and the greatest, so the
    // bounds are forecast + level x error x widening.
    void cuantilesAMano()
    {
        const ErroresOrigen e = Errores(1, {-1, 0, 2});
        const std::vector<Intervalo> b = IntervalosEmpiricos(e, {100, 100}, 2.0, false);
        QCOMPARE(b.size(), size_t(2));
        QCOMPARE(b[0].Inf80, 100 - 2 * 1 * Ensanche80);
        QCOMPARE(b[0].Sup80, 100 + 2 * 2 * Ensanche80);
        QCOMPARE(b[0].Inf95, 100 - 2 * 1 * Ensanche95);
        QCOMPARE(b[0].Sup95, 100 + 2 * 2 * Ensanche95);
        // Past the evaluated steps the width grows with the square root of the step.
        QVERIFY(std::fabs(b[1].Sup80 - (100 + 4 * Ensanche80 * std::sqrt(2.0))) < 1e-12);
    }

    // Twenty errors 1..20 at one step: the 10 % rank is floor(0.1 x 21) = 2
    // and the 90 % rank ceil(0.9 x 21) = 19.
    void rangosConformes()
    {
        std::vector<double> e;
        for (int i = 1; i <= 20; ++i)
            e.push_back(i - 10.5);
        const std::vector<Intervalo> b = IntervalosEmpiricos(Errores(1, e), {0}, 1.0, true);
        QCOMPARE(b[0].Inf80, (2 - 10.5) * Ensanche80);
        QCOMPARE(b[0].Sup80, (19 - 10.5) * Ensanche80);
        // 2.5 %: floor(0.525) is 0, the least; 97.5 %: ceil(20.475) = 21, the greatest.
        QCOMPARE(b[0].Inf95, (1 - 10.5) * Ensanche95);
        QCOMPARE(b[0].Sup95, (20 - 10.5) * Ensanche95);
    }

    void intervalosAcotados_data()
    {
        QTest::addColumn<bool>("negativas");
        QTest::newRow("negatives off: bounds at 0") << false;
        QTest::newRow("negatives on: below 0") << true;
    }
    void intervalosAcotados()
    {
        QFETCH(bool, negativas);
        const std::vector<Intervalo> b = IntervalosEmpiricos(Errores(1, {-3, 0, 2}), {0.5}, 1.0, negativas);
        QCOMPARE(b[0].Inf80 < 0, negativas);
        QCOMPARE(b[0].Inf95 < 0, negativas);
        QVERIFY(b[0].Inf95 <= b[0].Inf80 && b[0].Inf80 <= b[0].Sup80 && b[0].Sup80 <= b[0].Sup95);
    }

    // No usable error (all failed, or none at all): the forecast itself, never NaN.
    void intervalosSinErrores()
    {
        const double nan = std::nan("");
        for (const ErroresOrigen& e : {Errores(2, {nan, nan, nan, nan}), ErroresOrigen{}}) {
            const std::vector<Intervalo> b = IntervalosEmpiricos(e, {5, 6}, 1.0, false);
            QCOMPARE(b[1].Inf95, 6.0);
            QCOMPARE(b[1].Sup95, 6.0);
        }
        // An all-zero history: spread 0, bounds 0.
        const std::vector<Intervalo> z =
            IntervalosEmpiricos(Errores(1, {0, 0, 0}), {0}, NivelHasta({0, 0, 0}, 3), false);
        QVERIFY(Finito(z[0]));
        QCOMPARE(z[0].Sup95, 0.0);
    }

    // Leave-one-origin-out: with errors -1, 0, 2 each origin's bounds come
    // from the other two, so only the middle error (0) falls inside.
    void coberturaAMano()
    {
        const auto c = CoberturaEmpirica(Errores(1, {-1, 0, 2}));
        QCOMPARE(c[0], 1.0 / 3);
        QCOMPARE(c[1], 1.0 / 3);
        QVERIFY(std::isnan(CoberturaEmpirica(Errores(1, {1, 2}))[0])); // under three origins
    }

    void escalas()
    {
        // 1..14: season 12, two differences of 12.
        std::vector<double> y;
        for (int i = 1; i <= 14; ++i)
            y.push_back(i);
        QCOMPARE(EscalaMASE(y.data(), 14, false), 12.0);
        QCOMPARE(EscalaMASE(y.data(), 14, true), 144.0);
        // Under 13 values the lag is 1: |3-1| and |2-3|, mean 1.5.
        const double c[3] = {1, 3, 2};
        QCOMPARE(EscalaMASE(c, 3, false), 1.5);
        QVERIFY(std::isnan(EscalaMASE(c, 1, false)));
        // Levels: mean |y| of the last twelve values up to t; 1 for zeros.
        QCOMPARE(NivelHasta(y, 14), (3.0 + 14.0) / 2);
        QCOMPARE(NivelHasta({0, 0}, 2), 1.0);
    }

    void estacionalidad()
    {
        // A level seasonal pattern: r12 is high against the lags before it.
        std::vector<double> estacional;
        for (int i = 0; i < 48; ++i)
            estacional.push_back(100 * s12[i % 12] + 3 * std::sin(double(i)));
        QVERIFY(EsEstacional(estacional));
        std::vector<double> recta;
        for (int i = 0; i < 48; ++i)
            recta.push_back(100 + i);
        QVERIFY(!EsEstacional(recta));
        QVERIFY(!EsEstacional(std::vector<double>(48, 7.0)));
        QVERIFY(!EsEstacional(std::vector<double>(estacional.begin(), estacional.begin() + 35))); // under three years
    }

    void etiquetas()
    {
        Parametros p;
        p.AlfaHLT = 0.3;
        p.BetaHLT = 0.1;
        p.PhiHW = 0.25;
        QCOMPARE(EtiquetaPunto(ItemHW, p), std::string("H-W (0.3;0.1;0.25)"));
        p.N = 7;
        QCOMPARE(EtiquetaPunto(ItemMMS, p), std::string("MMS (7)"));
        QCOMPARE(EtiquetaPunto(ItemDST, p), std::string("DST ()"));
        Candidato c;
        c.Componentes = {{ItemNVS, p, true}, {ItemMMS, p, false}};
        QCOMPARE(EtiquetaPunto(c), std::string("Media (NVS () desest. + MMS (7))"));
    }

    // A seasonal series of ten years: every candidate evaluated, the
    // winner's forecast and intervals finite and nested, the ranking in
    // criterion order, and the result the same run after run.
    void ranking_data()
    {
        QTest::addColumn<int>("criterio");
        QTest::newRow("MASE") << int(Criterio::MASE);
        QTest::newRow("sMAPE") << int(Criterio::sMAPE);
        QTest::newRow("RMSE") << int(Criterio::RMSE);
    }
    void ranking()
    {
        QFETCH(int, criterio);
        const Espacio e = Historia(Serie(120));
        const ResultadoAutomatico r = PrevisionAutomatica(e, 18, Criterio(criterio), false);
        QVERIFY(r.Ganador >= 0);
        QCOMPARE(r.Plan.Pasos, 18);
        // Ten models (no Croston without zeros), five adjusted ones, one combination.
        QCOMPARE(r.Ranking.size(), size_t(16));
        double antes = -1;
        for (const Candidato& c : r.Ranking) {
            QVERIFY2(c.Valido, c.Motivo.c_str());
            QVERIFY(c.Valor >= antes);
            antes = c.Valor;
            QVERIFY(c.Cobertura80 >= 0 && c.Cobertura80 <= c.Cobertura95 && c.Cobertura95 <= 1);
            QVERIFY(std::isfinite(c.MASE) && std::isfinite(c.RMSSE) && std::isfinite(c.sMAPE) && std::isfinite(c.ME));
            QVERIFY(!c.Motivo.empty());
            QCOMPARE(c.Etiqueta, EtiquetaPunto(c));
        }
        QCOMPARE(r.Prevision.size(), size_t(18));
        QCOMPARE(r.Intervalos.size(), size_t(18));
        for (size_t h = 0; h < 18; ++h) {
            const Intervalo& b = r.Intervalos[h];
            QVERIFY(Finito(b));
            QVERIFY(b.Inf95 <= b.Inf80 && b.Inf80 <= b.Sup80 && b.Sup80 <= b.Sup95);
            QVERIFY(b.Inf95 >= 0);
        }
        // Said why: the winner, and, when the combination won by the margin, the singles above it.
        for (int i = 0; i < int(r.Ranking.size()); ++i) {
            const std::string& m = r.Ranking[size_t(i)].Motivo;
            QCOMPARE(m.rfind(i == r.Ganador ? "Elegido" : "Descartado", 0), size_t(0));
            if (i < r.Ganador)
                QVERIFY(m.find("combinación") != std::string::npos);
        }
        const ResultadoAutomatico otra = PrevisionAutomatica(e, 18, Criterio(criterio), false);
        QCOMPARE(otra.Prevision, r.Prevision);
        QCOMPARE(otra.Ranking[size_t(otra.Ganador)].Etiqueta, r.Ranking[size_t(r.Ganador)].Etiqueta);
    }

    // The constants found are values the model page can hold.
    void constantesDeLaPagina()
    {
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(Serie(96)), 12, Criterio::MASE, false);
        for (const Candidato& c : r.Ranking)
            for (ValorModelo v : ValoresDe(c.Item)) {
                const double x = Valor(c.Param, v);
                QCOMPARE(ComoEdit(v, x), x);
            }
    }

    void historiasCortas_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("alguno");
        QTest::newRow("one value") << 1 << false;
        QTest::newRow("four values") << 4 << false;
        QTest::newRow("five values: one step") << 5 << true;
        QTest::newRow("two years") << 24 << true;
    }
    void historiasCortas()
    {
        QFETCH(int, n);
        QFETCH(bool, alguno);
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(Serie(n)), 12, Criterio::MASE, false);
        QCOMPARE(r.Ganador >= 0, alguno);
        for (const Candidato& c : r.Ranking)
            if (!c.Valido)
                QVERIFY(c.Motivo.rfind("Descartado", 0) == 0);
        if (alguno) {
            QCOMPARE(r.Prevision.size(), size_t(12));
            for (const Intervalo& b : r.Intervalos)
                QVERIFY(Finito(b));
        }
    }

    // Forty months with a horizon of 18: 14 steps are evaluated (40 - 24 - 2),
    // and the seasonal models run those steps, not the whole horizon, at each origin.
    void horizonteMayorQueLosPasos()
    {
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(Serie(40)), 18, Criterio::MASE, false);
        QCOMPARE(r.Plan.Pasos, 14);
        for (const Candidato& c : r.Ranking)
            if (!c.EsCombinacion() && (c.Item == ItemHW || c.Item == ItemNVE || c.Item == ItemDST))
                QVERIFY2(c.Valido, c.Motivo.c_str());
        QCOMPARE(r.Prevision.size(), size_t(18));
    }

    // Demand that comes now and then is ranked among the three methods made
    // for it alone, with no combination; nothing is NaN and no bound is below 0.
    void intermitente_data()
    {
        QTest::addColumn<std::vector<double>>("y");
        std::vector<double> salteada(60, 0.0), acaba(48, 0.0), una(40, 0.0);
        // Intervals 3, 5, 4, 2 over and over (ADI 3.5, no yearly pattern), sizes 3..5: intermittent.
        const int salto[] = {3, 5, 4, 2};
        for (size_t i = 0, k = 0; i < salteada.size(); i += size_t(salto[k++ % 4]))
            salteada[i] = 3 + double(k % 3);
        for (size_t i = 1; i < 36; i += 2)
            acaba[i] = 4; // every other month, then a year without demand
        una[7] = 5; // one demand: too few to classify
        QTest::newRow("now and then") << salteada;
        QTest::newRow("demand that stops") << acaba;
        QTest::newRow("one demand") << una;
        QTest::newRow("no demand") << std::vector<double>(40, 0.0);
    }
    void intermitente()
    {
        QFETCH(std::vector<double>, y);
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(y), 6, Criterio::MASE, false);
        QVERIFY(r.Intermitente);
        std::vector<int> items;
        for (const Candidato& c : r.Ranking) {
            QVERIFY(!c.EsCombinacion() && !c.Desestacionalizado);
            items.push_back(c.Item);
        }
        std::sort(items.begin(), items.end());
        QCOMPARE(items, (std::vector<int>{ItemCRT, ItemSB, ItemTSB}));
        QVERIFY(r.Ganador >= 0);
        QCOMPARE(r.Prevision.size(), size_t(6));
        for (const Intervalo& b : r.Intervalos) {
            QVERIFY(Finito(b));
            QVERIFY(b.Inf95 >= 0 && b.Inf95 <= b.Inf80 && b.Inf80 <= b.Sup80 && b.Sup80 <= b.Sup95);
        }
        // With no demand at all there is nothing to forecast and nothing to stock.
        if (std::all_of(y.begin(), y.end(), [](double x) { return x == 0; }))
            for (size_t h = 0; h < r.Prevision.size(); ++h)
                QVERIFY(r.Prevision[h] == 0 && r.Intervalos[h].Sup95 == 0);
    }

    // Four units every other month for three years, then twelve months
    // without any: Croston's methods with a constant above 0 keep forecasting
    // about 2 a month; TSB, and so the winner, notice the part stopped selling.
    void demandaQueSeAcaba()
    {
        std::vector<double> y(48, 0.0);
        for (size_t i = 1; i < 36; i += 2)
            y[i] = 4;
        const Espacio h = Historia(y);
        const ResultadoAutomatico r = PrevisionAutomatica(h, 6, Criterio::MASE, false);
        QVERIFY(r.Ganador >= 0);
        QVERIFY2(r.Prevision[0] < 0.5, qPrintable(QString::number(r.Prevision[0])));
        Evaluador ev(h);
        for (const Candidato& c : r.Ranking)
            if (c.Item == ItemTSB) {
                QVERIFY(c.Param.BetaTSB > 0);
                QVERIFY(PreverCandidato(ev, c, 6)[0] < 0.5);
            }
    }

    // Months at 0 in a seasonal series: no model that multiplies by seasonal
    // coefficients, TSB among the candidates, the season added rather than
    // multiplied. Demand only from June to October is intermittent by its
    // intervals (ADI 2.4) but seasonal, so it is forecast by its season, not
    // among the intermittent methods alone.
    void cerosEstacionales_data()
    {
        QTest::addColumn<std::vector<double>>("y");
        std::vector<double> seno, verano;
        for (int t = 0; t < 60; ++t) {
            seno.push_back(100 + 30 * std::sin(t * 3.14159265358979 / 6));
            verano.push_back(t % 12 >= 5 && t % 12 <= 9 ? 2 + (t * 7) % 4 : 0);
        }
        seno[10] = seno[35] = 0;
        QTest::newRow("two months at 0") << seno;
        QTest::newRow("summer demand") << verano;
    }
    void cerosEstacionales()
    {
        QFETCH(std::vector<double>, y);
        const Espacio h = Historia(y);
        const ResultadoAutomatico r = PrevisionAutomatica(h, 12, Criterio::MASE, false);
        QVERIFY(!r.Intermitente);
        QVERIFY(Evaluador(h).AjusteAditivo());
        bool tsb = false;
        for (const Candidato& c : r.Ranking) {
            const std::vector<Componente> partes =
                c.EsCombinacion() ? c.Componentes : std::vector<Componente>{{c.Item, c.Param, c.Desestacionalizado}};
            for (const Componente& k : partes)
                QVERIFY2(k.Item != ItemDST && k.Item != ItemTHT && k.Item != ItemHW, c.Etiqueta.c_str());
            tsb = tsb || c.Item == ItemTSB;
        }
        QVERIFY(tsb);
        // The forecast year follows the last one's shape: correlated with it.
        QCOMPARE(r.Prevision.size(), size_t(12));
        double mf = 0, my = 0;
        for (int m = 0; m < 12; ++m) {
            QVERIFY(r.Prevision[size_t(m)] >= 0);
            mf += r.Prevision[size_t(m)] / 12;
            my += y[size_t(48 + m)] / 12;
        }
        double sfy = 0, sff = 0, syy = 0;
        for (int m = 0; m < 12; ++m) {
            const double a = r.Prevision[size_t(m)] - mf, b = y[size_t(48 + m)] - my;
            sfy += a * b;
            sff += a * a;
            syy += b * b;
        }
        QVERIFY2(sfy > 0.5 * std::sqrt(sff * syy), qPrintable(QString::number(sfy / std::sqrt(sff * syy))));
    }

    // A percentage of a 0 has no value: sMAPE is left empty and a ranking
    // asked by it goes by MASE, and says so.
    void smapeConCeros()
    {
        std::vector<double> y(60, 0.0);
        for (size_t i = 0; i < y.size(); i += 3)
            y[i] = 2 + double(i * 7 % 5);
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(y), 6, Criterio::sMAPE, false);
        QVERIFY(r.CriterioSustituido);
        QCOMPARE(r.Crit, Criterio::MASE);
        QVERIFY(r.Ganador >= 0);
        for (const Candidato& c : r.Ranking) {
            QVERIFY(std::isnan(c.sMAPE));
            QCOMPARE(c.Valor, c.MASE);
            QVERIFY(c.SinError >= 0 && c.SinError <= 1);
        }
        std::vector<double> positiva(60);
        for (size_t i = 0; i < positiva.size(); ++i)
            positiva[i] = 50 + double(i % 7);
        const ResultadoAutomatico p = PrevisionAutomatica(Historia(positiva), 6, Criterio::sMAPE, false);
        QVERIFY(!p.CriterioSustituido);
        QCOMPARE(p.Crit, Criterio::sMAPE);
    }

    // The demand draw by hand: sizes 1, 2, 3, 4 (mean 2.5), no origins to
    // calibrate on, so the nominal levels stand.
    void intervalosDemandaAMano_data()
    {
        QTest::addColumn<double>("f");
        QTest::addColumn<std::vector<double>>("esperado"); // Inf80, Sup80, Inf95, Sup95
        // p = 0.2: 80 % of the mass is no demand, so the 80 % interval is [0, 0];
        // 95 %: (0.95 - 0.8) / 0.2 = 0.75 of the sizes, the third.
        QTest::newRow("p 0.2") << 0.5 << std::vector<double>{0, 0, 0, 3};
        // p = 0.8: 0.1 of the mass below, so both from 0; 80 %: (0.8 - 0.2) / 0.8 = 0.75,
        // the third size; 95 %: 0.9375, the fourth.
        QTest::newRow("p 0.8") << 2.0 << std::vector<double>{0, 3, 0, 4};
        // f over the mean size: p = 1, equal tails 0.1 and 0.9 of the sizes: 1 and 4.
        QTest::newRow("p 1") << 3.0 << std::vector<double>{1, 4, 1, 4};
        QTest::newRow("f 0") << 0.0 << std::vector<double>{0, 0, 0, 0};
    }
    void intervalosDemandaAMano()
    {
        QFETCH(double, f);
        QFETCH(std::vector<double>, esperado);
        const std::vector<Intervalo> b = IntervalosDemanda(ErroresOrigen{}, {0, 1, 0, 2, 0, 3, 0, 4}, {f, f});
        QCOMPARE(b.size(), size_t(2));
        for (const Intervalo& i : b)
            QCOMPARE((std::vector<double>{i.Inf80, i.Sup80, i.Inf95, i.Sup95}), esperado);
    }

    // The horizon's total at 95 %, no origins to calibrate on: a size of 2
    // every month makes exactly 2 × 12; one unit in half the months is
    // binomial (12, 0.5), whose 95 % quantile is 9 (R: pbinom 0.927 at 8,
    // 0.981 at 9); under the sum of the months' bounds (12).
    void demandaMaxima_data()
    {
        QTest::addColumn<std::vector<double>>("y");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("esperado");
        QTest::newRow("every month") << std::vector<double>{2, 2} << 2.0 << 24.0;
        QTest::newRow("half the months") << std::vector<double>{1, 0} << 0.5 << 9.0;
        QTest::newRow("no forecast") << std::vector<double>{1, 0} << 0.0 << 0.0;
        QTest::newRow("no demand") << std::vector<double>{0, 0} << 1.0 << 0.0;
    }
    void demandaMaxima()
    {
        QFETCH(std::vector<double>, y);
        QFETCH(double, f);
        QFETCH(double, esperado);
        QCOMPARE(DemandaMaxima(ErroresOrigen{}, y, std::vector<double>(12, f)), esperado);
    }

    // Calibrated on its origins, the 95 % bound holds for new months of the
    // same process: demand in 30 % of the months, sizes 1..6 (a fixed
    // generator, so the figures are the same on every run).
    void intervalosDemandaCubren()
    {
        unsigned long long x = 12345;
        const auto azar = [&x] {
            x = x * 6364136223846793005ULL + 1442695040888963407ULL;
            return double(x >> 11) / double(1ULL << 53);
        };
        const auto mes = [&] { return azar() < 0.3 ? 1.0 + std::floor(azar() * 6) : 0.0; };
        std::vector<double> y(72);
        for (double& v : y)
            v = mes();
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(y), 6, Criterio::MASE, false);
        QVERIFY(r.Intermitente && r.Ganador >= 0);
        int dentro80 = 0, dentro95 = 0;
        const int N = 6000;
        for (int i = 0; i < N; ++i) {
            const double v = mes();
            const Intervalo& b = r.Intervalos[size_t(i % 6)];
            dentro80 += v >= b.Inf80 && v <= b.Sup80;
            dentro95 += v >= b.Inf95 && v <= b.Sup95;
        }
        QVERIFY2(dentro95 >= 0.94 * N, qPrintable(QString::number(dentro95)));
        QVERIFY2(dentro80 >= 0.7 * N && dentro80 < dentro95, qPrintable(QString::number(dentro80)));
    }

    // Odd histories never put a non-finite number in a forecast, a bound or a
    // valid candidate's measures.
    void historiasRaras_data()
    {
        QTest::addColumn<std::vector<double>>("y");
        std::vector<double> enorme, diminuta, alterna, negativa;
        for (int i = 0; i < 40; ++i) {
            enorme.push_back(1e300 * (1 + (i % 5)));
            diminuta.push_back(1e-300 * (1 + (i % 7)));
            alterna.push_back(i % 2 ? 50.0 : -50.0);
            negativa.push_back(-100.0 - i);
        }
        QTest::newRow("constant") << std::vector<double>(40, 5.0);
        QTest::newRow("near the largest double") << enorme;
        QTest::newRow("near the smallest") << diminuta;
        QTest::newRow("alternating sign") << alterna;
        QTest::newRow("negative") << negativa;
    }
    void historiasRaras()
    {
        QFETCH(std::vector<double>, y);
        for (bool negativas : {false, true}) {
            const ResultadoAutomatico r = PrevisionAutomatica(Historia(y), 12, Criterio::MASE, negativas);
            for (const Candidato& c : r.Ranking)
                if (c.Valido)
                    QVERIFY(std::isfinite(c.Valor));
            for (double f : r.Prevision)
                QVERIFY(std::isfinite(f));
            for (const Intervalo& b : r.Intervalos) {
                QVERIFY(Finito(b));
                QVERIFY(negativas || b.Inf95 >= 0);
            }
        }
    }

    void cancelar()
    {
        Cancelar informe(3);
        const ResultadoAutomatico r = PrevisionAutomatica(Historia(Serie(60)), 12, Criterio::MASE, false, &informe);
        QVERIFY(r.Cancelado);
        QVERIFY(r.Ranking.empty());
        QCOMPARE(r.Ganador, -1);
        QVERIFY(informe.terminado_);
        QCOMPARE(informe.hechos_, 3);
        QVERIFY(informe.total_ > 3);
    }

    // ---------------------------------------------------------------- the session

    void sesionIntervalos()
    {
        Sesion s;
        s.CargarHistorico(Registros(Serie(72)));
        s.PonerHorizonte(12);
        s.Calcular();
        QVERIFY(s.IntervalosPrevision().empty()); // off at start
        unsigned cambios = 0;
        s.Observar([&](unsigned c) { cambios |= c; });
        s.PonerIntervalos(true);
        QCOMPARE(cambios, unsigned(Sesion::CambioIntervalos));
        s.Calcular();
        QCOMPARE(s.IntervalosPrevision().size(), size_t(12));
        // The model's own forecasts sit inside their 95 % band.
        for (int h = 1; h <= 12; ++h) {
            const Intervalo& b = s.IntervalosPrevision()[size_t(h - 1)];
            const double f = s.Ws.V(s.Ws.NumDatos + h, s.Ws.ColPrev);
            QVERIFY(Finito(b));
            QVERIFY(b.Inf95 <= f && f <= b.Sup95);
        }
        // With a hold-out they cover the rows after the fitted values.
        s.PonerPuntosSinUsar(12);
        s.Calcular();
        QCOMPARE(s.IntervalosPrevision().size(), size_t(12));
        // Nor is a loop's step through the calculation, nor a run without drawing.
        s.Calcular(false);
        QVERIFY(s.IntervalosPrevision().empty());
        s.Calcular();
        QVERIFY(!s.IntervalosPrevision().empty());
        s.Registrar(s.ParametrosDe(s.ModeloSeleccionado()));
        QVERIFY(s.IntervalosPrevision().empty());
    }

    void sesionAutomatica()
    {
        Sesion s;
        QVERIFY_THROWS_EXCEPTION(ErrorSinDatos, s.PrevisionAutomatica(Criterio::MASE));
        s.CargarHistorico(Registros(Serie(96)));
        s.PonerPuntosSinUsar(12);
        s.PonerHorizonte(12);
        const ResultadoAutomatico& r = s.PrevisionAutomatica(Criterio::MASE);
        QVERIFY(r.Ganador >= 0);
        const Candidato& g = r.Ranking[size_t(r.Ganador)];
        QCOMPARE(s.ModeloSeleccionado(), g.Item);
        QCOMPARE(s.PuntosSinUsar(), 0);
        QVERIFY(s.Intervalos());
        QCOMPARE(s.Corridas().Tamano(), 1LL);
        QCOMPARE(s.IntervalosPrevision().size(), size_t(12));
        QCOMPARE(s.EtiquetaCandidato(), g.Etiqueta);
        // The session's own forecast, or the candidate's when the page's model is only part of it.
        const std::vector<double> propia = g.EsCombinacion() || g.Desestacionalizado ? s.PrevisionCandidato() : [&] {
            std::vector<double> f;
            for (int h = 1; h <= 12; ++h)
                f.push_back(s.Ws.V(s.Ws.NumDatos + h, s.Ws.ColPrev));
            return f;
        }();
        QCOMPARE(propia, r.Prevision);
        // Every valid candidate applies; its page model and its forecast follow.
        for (int k = 0; k < int(r.Ranking.size()); ++k) {
            const Candidato& c = s.UltimaSeleccion().Ranking[size_t(k)];
            QVERIFY(s.AplicarCandidato(k));
            QCOMPARE(s.ModeloSeleccionado(), c.Item);
            for (ValorModelo v : ValoresDe(c.Item))
                QCOMPARE(s.Valor(v), Valor(c.Param, v));
            QCOMPARE(s.PrevisionCandidato().empty(), !(c.EsCombinacion() || c.Desestacionalizado));
        }
        QVERIFY(!s.AplicarCandidato(-1));
        QVERIFY(!s.AplicarCandidato(int(r.Ranking.size())));
        // The next calculation is the page's model alone again.
        s.Calcular();
        QVERIFY(s.PrevisionCandidato().empty());
        QVERIFY(s.EtiquetaCandidato().empty());
        // A cancelled run keeps the last ranking and changes nothing.
        const int modelo = s.ModeloSeleccionado();
        const long long corridas = s.Corridas().Tamano();
        Cancelar informe(1);
        QVERIFY(s.PrevisionAutomatica(Criterio::sMAPE, &informe).Cancelado);
        QCOMPARE(s.UltimaSeleccion().Ranking.size(), r.Ranking.size());
        QCOMPARE(s.UltimaSeleccion().Crit, Criterio::MASE);
        QCOMPARE(s.ModeloSeleccionado(), modelo);
        QCOMPARE(s.Corridas().Tamano(), corridas);
        QVERIFY(s.AplicarCandidato(0));
        // A new history forgets the ranking.
        s.CargarHistorico(Registros(Serie(30)));
        QVERIFY(s.UltimaSeleccion().Ranking.empty());
    }
};

QTEST_APPLESS_MAIN(TstAutomatico)
#include "tst_automatico.moc"
