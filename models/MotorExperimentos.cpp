// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/MotorExperimentos.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>

namespace tendora {

namespace {

using Reloj = std::chrono::steady_clock;

long long ContarValoresN(long long desde, long long hasta, long long inc)
{
    if (inc <= 0)
        throw std::invalid_argument("El incremento de N debe ser mayor que cero.");
    return desde > hasta ? 0 : (hasta - desde) / inc + 1;
}

// A whole number of N's edit: far beyond its range the value only has to stay
// beyond it (llround of a value beyond 2^63 has no defined result).
long long EnteroN(double x)
{
    return std::llround(std::isnan(x) ? 0.0 : std::clamp(x, -4e18, 4e18));
}

} // namespace

// The outermost loop tells its start and end, keeps the session's changes
// for the end (the window would lay out its edits on every step) and leaves
// its summary. Loops inside it share it.
struct MotorExperimentos::Bucle {
    Bucle(MotorExperimentos& m, std::string titulo_, long long total_)
        : motor(m), anterior(m.bucle_), titulo(std::move(titulo_)), total(total_), inicio(Reloj::now()), silencio(m.s_)
    {
        motor.bucle_ = this;
        if (!anterior) {
            motor.parado_ = false;
            motor.informe_.Comenzar(titulo, total);
        }
    }
    ~Bucle()
    {
        motor.PonerAlDia();
        motor.bucle_ = anterior;
        if (anterior)
            return;
        // A stop asked for on the last step stopped nothing.
        motor.UltimoResumen = Resumen{titulo,
                                      hechos,
                                      total,
                                      motor.PasosFallidos,
                                      std::chrono::duration<double>(Reloj::now() - inicio).count(),
                                      motor.parado_ && hechos < total};
        motor.informe_.Terminar();
    }
    Bucle(const Bucle&) = delete;
    Bucle& operator=(const Bucle&) = delete;

    MotorExperimentos& motor;
    Bucle* anterior;
    std::string titulo;
    long long total;
    long long hechos = 0;
    Reloj::time_point inicio;
    Sesion::Silencio silencio;
};

MotorExperimentos::MotorExperimentos(Sesion& sesion, InformeProgreso& informe) : s_(sesion), informe_(informe)
{
}

// How many values a smoothing-constant loop takes: Desde + k × Inc for
// k = 0..K, with K = floor((Hasta − Desde) / Inc + 1e-9). The small margin
// keeps Hasta in the range when the quotient comes out a hair below a whole
// number (0.05..0.95 step 0.05 gives 17.999999999999996). Refuses a step that
// is not positive, or so small that the count has no sensible end.
long long MotorExperimentos::ContarValores(double desde, double hasta, double inc)
{
    if (!(inc > 0.0))
        throw std::invalid_argument("El incremento debe ser mayor que cero.");
    if (hasta < desde)
        return 0;
    const double k = std::floor((hasta - desde) / inc + 1e-9);
    if (!(k < 1e9))
        throw std::invalid_argument("El incremento es demasiado pequeño para avanzar.");
    return static_cast<long long>(k) + 1;
}

// ---------------------------------------------------------------- steps

// A failed run shows no message of its own: a grid on an intermittent series
// could raise hundreds. It is counted and told once, at the end.
bool MotorExperimentos::Paso(bool Mostrar)
{
    if (directo_)
        return PasoDirecto();
    try {
        s_.Calcular(false);
    } catch (const std::exception& e) {
        ++PasosFallidos;
        informe_.Mensaje(e.what());
        return false;
    }
    if (Mostrar && AlCalcular)
        AlCalcular();
    return true;
}

// The session's calculation without showing, on the same core in the same
// order. H-W after its first run repeats only its recursion: what it skips
// would come out the same.
bool MotorExperimentos::PasoDirecto()
{
    const int item = s_.ModeloSeleccionado();
    const Parametros p = s_.ParametrosDe(item);
    atrasado_ = false; // whatever happens, the workspace is this run's
    try {
        Espacio& ws = s_.Ws;
        if (!(item == ItemHW && RepetirHW(ws, hw_, p.AlfaHLT, p.BetaHLT, p.PhiHW, p.PrevNeg))) {
            AsegurarFilas(ws, p.V);
            LimpiarColumnasModelo(ws, p.V);
            PrepararFilasPrevision(ws, p.V);
            if (item == ItemHW)
                ModeloHW(ws, p.AlfaHLT, p.BetaHLT, p.PhiHW, p.PrevNeg, p.V, &hw_);
            else
                EjecutarModelo(ws, item, p);
        }
        s_.Registrar(p);
        return true;
    } catch (const std::exception& e) {
        ++PasosFallidos;
        informe_.Mensaje(e.what());
        return false;
    }
}

void MotorExperimentos::Contar(long long& pasos)
{
    ++pasos;
    if (bucle_)
        bucle_->hechos = pasos;
    informe_.Avanzar(pasos);
    if (informe_.Cancelado())
        parado_ = true;
}

void MotorExperimentos::PonerAlDia()
{
    if (!atrasado_)
        return;
    atrasado_ = false;
    // The run ended well in its batch, so it does here too; its measures and
    // the relative deviation were taken then.
    try {
        RepetirHW(s_.Ws, hw_, ultimo_[0], ultimo_[1], ultimo_[2], s_.PrevisionesNegativas());
    } catch (...) {
    }
}

// ---------------------------------------------------------------- every model

void MotorExperimentos::AplicarTodos()
{
    PasosFallidos = 0;
    Bucle bucle(*this, "Aplicar todos los métodos", NumModelos);
    long long pasos = 0;
    for (int i = 0; i < NumModelos; ++i) {
        s_.SeleccionarModelo(i);
        Paso(true);
        Contar(pasos);
        if (parado_)
            break;
    }
}

// ---------------------------------------------------------------- parameter grids

std::vector<MotorExperimentos::Rango> MotorExperimentos::RangosDelModelo(int item, const Rangos& r)
{
    // By the values the model reads; H-W reads phi besides Holt's two.
    const FichaModelo& f = FichaDe(item);
    if (f.Usa(ParamN))
        return {{ValorModelo::N, double(r.desdeN), double(r.hastaN), double(r.incN)}};
    const auto rango = [&r](ValorModelo v, int k) { return Rango{v, r.desde[k], r.hasta[k], r.inc[k]}; };
    if (f.Usa(ParamAlfaLE))
        return {rango(ValorModelo::AlfaLE, 0)};
    if (f.Usa(ParamAlfaTHT))
        return {rango(ValorModelo::AlfaTHT, 0)};
    if (f.Usa(ParamPhiHW))
        return {rango(ValorModelo::AlfaHLT, 0), rango(ValorModelo::BetaHLT, 1), rango(ValorModelo::PhiHW, 2)};
    if (f.Usa(ParamHolt))
        return {rango(ValorModelo::AlfaHLT, 0), rango(ValorModelo::BetaHLT, 1)};
    if (f.Usa(ParamAlfaCroston))
        return {rango(ValorModelo::AlfaCroston, 0)};
    return {}; // NVS, NVE and DST have nothing to vary
}

long long MotorExperimentos::PasosVariacion(const std::vector<Rango>& niveles)
{
    if (niveles.empty())
        return 0;
    long long total = 1;
    for (const Rango& r : niveles) {
        const long long n = r.valor == ValorModelo::N
                                ? ContarValoresN(EnteroN(r.desde), EnteroN(r.hasta), EnteroN(r.inc))
                                : ContarValores(r.desde, r.hasta, r.inc);
        if (n > 0 && total > MaximoPasos / n)
            return MaximoPasos + 1;
        total *= n;
    }
    return total;
}

long long MotorExperimentos::Variar(const std::vector<Rango>& rangos, bool Mostrar)
{
    PasosFallidos = 0;
    long long pasos = 0;
    // The values of each level, counted and checked before any step runs.
    std::vector<Nivel> niveles;
    long long total = 1;
    for (const Rango& r : rangos) {
        Nivel n{r, 0, 0, 0, {}};
        if (r.valor == ValorModelo::N) {
            // Whole numbers, as the dialog's edits give them.
            const long long desde = EnteroN(r.desde), hasta = EnteroN(r.hasta), inc = EnteroN(r.inc);
            const RangoParametro rango = RangoDe(ValorModelo::N);
            // The edit would bring such a value to its nearer end: a run
            // under another N. The first is checked before counting, so the
            // count cannot overflow.
            const auto fuera = [] {
                return std::invalid_argument("Los valores de N deben estar entre " + std::to_string(MinimoN) + " y " +
                                             std::to_string(MaximoN) + ".");
            };
            if (inc > 0 && desde <= hasta && !rango.Contiene(double(desde)))
                throw fuera();
            n.cuantos = ContarValoresN(desde, hasta, inc);
            if (n.cuantos > 0 && !rango.Contiene(double(desde + (n.cuantos - 1) * inc)))
                throw fuera();
            n.desdeN = desde;
            n.incN = inc;
        } else {
            n.cuantos = ContarValores(r.desde, r.hasta, r.inc);
        }
        if (n.cuantos > 0 && total > MaximoPasos / n.cuantos)
            throw std::invalid_argument("Son demasiadas combinaciones de valores: reduzca los rangos o aumente los "
                                        "incrementos.");
        total *= n.cuantos;
        // An inner level's values are read again for each outer value.
        if (n.cuantos <= (1 << 16)) {
            n.valores.reserve(size_t(n.cuantos));
            for (long long k = 0; k < n.cuantos; ++k)
                n.valores.push_back(n.Calcular(k));
        }
        niveles.push_back(std::move(n));
    }
    if (niveles.empty())
        total = 0;
    Bucle bucle(*this, "Variación de parámetros", total);
    directo_ = !Mostrar && s_.DatosCargados();
    hw_ = InicioHW{};
    loteListo_ = -1;
    if (directo_)
        s_.Corridas().Reservar(total, s_.PuntosSinUsar() > 0 && s_.Horizonte() > 0 ? total : 0);
    struct Fin {
        MotorExperimentos& m;
        ~Fin()
        {
            m.PonerAlDia();
            m.directo_ = false;
        }
    } fin{*this};
    if (!niveles.empty())
        Recorrer(niveles, 0, Mostrar, pasos);
    return pasos;
}

double MotorExperimentos::Nivel::Calcular(long long k) const
{
    if (r.valor == ValorModelo::N)
        return double(desdeN + k * incN);
    return ComoEdit(r.valor, r.desde + static_cast<double>(k) * r.inc);
}

// Every value of level k for each value of the levels outside it.
void MotorExperimentos::Recorrer(std::vector<Nivel>& niveles, size_t k, bool Mostrar, long long& pasos)
{
    if (k == niveles.size()) {
        Paso(Mostrar);
        Contar(pasos);
        return;
    }
    const Nivel& n = niveles[k];
    if (k + 1 == niveles.size() && directo_ && PasosEnLote(n, pasos))
        return;
    for (long long i = 0; i < n.cuantos; ++i) {
        s_.PonerValor(n.r.valor, n.Valor(i));
        Recorrer(niveles, k + 1, Mostrar, pasos);
        if (parado_)
            return;
    }
}

// The innermost level of a H-W grid after the first run, LoteHW::Carriles
// runs at a time (the decomposition and the benchmark's sums are the same
// for all). Entries go in the loop's order. A batch with a run that fails
// goes one run at a time, which counts the failure and leaves the workspace
// as a failed run does. False when batches do not apply.
bool MotorExperimentos::PasosEnLote(const Nivel& n, long long& pasos)
{
    if (s_.ModeloSeleccionado() != ItemHW || !hw_.Listo || n.r.valor == ValorModelo::N)
        return false;
    const Parametros fijos = s_.ParametrosDe(ItemHW);
    if (loteListo_ < 0)
        loteListo_ = lote_.Preparar(s_.Ws, hw_, fijos.V, fijos.PrevNeg) ? 1 : 0;
    if (loteListo_ == 0)
        return false;
    constexpr int K = LoteHW::Carriles;
    const long long total = n.cuantos;
    for (long long i0 = 0; i0 < total; i0 += K) {
        const int cuantos = static_cast<int>(std::min<long long>(K, total - i0));
        Parametros p[K];
        double alfa[K], beta[K], phi[K];
        for (int j = 0; j < cuantos; ++j) {
            p[j] = fijos;
            PonerValor(p[j], n.r.valor, n.Valor(i0 + j));
            alfa[j] = p[j].AlfaHLT;
            beta[j] = p[j].BetaHLT;
            phi[j] = p[j].PhiHW;
        }
        if (!lote_.Calcular(alfa, beta, phi, cuantos)) {
            for (int j = 0; j < cuantos; ++j) {
                s_.PonerValor(n.r.valor, n.Valor(i0 + j));
                PasoDirecto();
                Contar(pasos);
                if (parado_)
                    return true;
            }
            continue;
        }
        for (int j = 0; j < cuantos; ++j) {
            Corrida& c = s_.Corridas().Nueva();
            c.Modelo = ItemHW;
            c.Param = p[j];
            c.Origen = s_.PuntosSinUsar();
            c.Ajuste = MedidasCorrida(lote_.Ajuste(j));
            s_.Ws.DesvRelativa = lote_.Ajuste(j).DesvRelativa;
            if (lote_.ConAcierto()) {
                c.Acierto.emplace(lote_.Acierto(j));
                s_.Ws.DesvRelativa = lote_.Acierto(j).DesvRelativa;
            }
            s_.Corridas().Anotar();
        }
        s_.PonerValor(n.r.valor, n.Valor(i0 + cuantos - 1));
        atrasado_ = true;
        ultimo_[0] = alfa[cuantos - 1];
        ultimo_[1] = beta[cuantos - 1];
        ultimo_[2] = phi[cuantos - 1];
        pasos += cuantos - 1;
        Contar(pasos);
        if (parado_)
            return true; // a stop asked for at a refresh ends the loop after this batch
    }
    return true;
}

// ---------------------------------------------------------------- ex-ante simulation

void MotorExperimentos::SimularExAnte(int desde, int hasta)
{
    PasosFallidos = 0;
    if (desde < hasta)
        return;
    Bucle bucle(*this, "Simulación ex-ante", static_cast<long long>(desde) - hasta + 1);
    long long pasos = 0;
    for (long long h = hasta; h <= desde; ++h) {
        s_.PonerPuntosSinUsar(static_cast<int>(h));
        Paso(true);
        Contar(pasos);
        if (parado_)
            break;
    }
}

} // namespace tendora
