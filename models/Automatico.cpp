// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Aritmetica.h"
#include "models/Automatico.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>

#include "models/Intermitente.h"
#include "models/MotorExperimentos.h"

namespace tendora {

// ---------------------------------------------------------------- rolling origins

int MinimoAjuste(int n)
{
    // Two years let every seasonal model decompose at the first origin.
    return n >= 24 + MinimoOrigenes + 11 ? 24 : std::max(2, n / 2);
}

PlanOrigenes ColocarOrigenes(int n, int H)
{
    PlanOrigenes plan;
    plan.Horizonte = H;
    if (n < 3 || H < 1)
        return plan;
    const int m = MinimoAjuste(n);
    const int pasos = std::min(H, n - m - (MinimoOrigenes - 1));
    if (pasos < 1)
        return plan;
    const int K = std::min(MaximoOrigenes, n - pasos - m + 1);
    plan.Pasos = pasos;
    // Spread back over the history: neighbouring origins would share most of their errors.
    const int espacio = std::max(1, (n - pasos - m) / std::max(1, K - 1));
    for (int k = 0; k < K; ++k)
        plan.Origenes.push_back(n - pasos - (K - 1 - k) * espacio);
    return plan;
}

// ---------------------------------------------------------------- evaluation

Evaluador::Evaluador(const Espacio& hist, int n)
{
    n_ = std::max(0, std::min(n < 0 ? hist.NumDatos : n, hist.Filas() - 1));
    ws_ = CopiaSinTabla(hist);
    ws_.NumDatos = n_;
    ws_.TotalDatos = n_;
    ws_.Redimensionar(n_ + 1);
    y_.resize(size_t(n_));
    for (int t = 0; t <= n_; ++t) {
        for (int c = 0; c <= ColDatos; ++c)
            ws_.Poner(t, c, hist.V(t, c), hist.Valida(t, c));
        if (t > 0)
            y_[size_t(t - 1)] = hist.V(t, ColDatos);
    }
    demanda_ = tendora::ClasificarDemanda(y_.data(), n_);
    const bool negativos = std::any_of(y_.begin(), y_.end(), [](double x) { return x < 0; });
    const bool ceros = std::any_of(y_.begin(), y_.end(), [](double x) { return x == 0; });
    // A month at 0 has no share of the year's level: the season is added, not multiplied.
    aditivo_ = ceros && !negativos;
    // Demand with a season (storms in summer) is forecast by its season, not as chance.
    intermitente_ = !negativos &&
                    (demanda_.Clase == ClaseDemanda::Intermitente || demanda_.Clase == ClaseDemanda::Irregular ||
                     (demanda_.Clase == ClaseDemanda::PocosDatos && ceros)) &&
                    !EsEstacional(y_);
    anio_.resize(size_t(n_ + 1));
    mes_.resize(size_t(n_ + 1));
    for (int t = 0; t <= n_; ++t) {
        anio_[size_t(t)] = ws_.V(t, ColAnio);
        mes_[size_t(t)] = ws_.V(t, ColMes);
    }
}

const std::array<double, 13>* Evaluador::Coeficientes(int o)
{
    for (size_t i = 0; i < origenCoef_.size(); ++i)
        if (origenCoef_[i] == o)
            return coefBien_[i] ? &coef_[i] : nullptr;
    std::array<double, 13> suma{}, cuenta{};
    bool bien = o >= 24;
    for (int t = 7; bien && t <= o - 6; ++t) {
        double m = 0.5 * (y_[size_t(t - 7)] + y_[size_t(t + 5)]);
        for (int j = t - 5; j <= t + 5; ++j)
            m += y_[size_t(j - 1)];
        m /= 12.0;
        const int mes = MesRedondeado(mes_[size_t(t)]);
        if (!(aditivo_ ? std::isfinite(m) : m > 0) || mes < 1 || mes > 12) {
            bien = false;
            break;
        }
        suma[size_t(mes)] += aditivo_ ? y_[size_t(t - 1)] - m : y_[size_t(t - 1)] / m;
        cuenta[size_t(mes)] += 1;
    }
    std::array<double, 13> c{};
    double total = 0;
    for (int m = 1; bien && m <= 12; ++m) {
        if (cuenta[size_t(m)] == 0) {
            bien = false;
            break;
        }
        c[size_t(m)] = suma[size_t(m)] / cuenta[size_t(m)];
        total += c[size_t(m)];
    }
    for (int m = 1; bien && m <= 12; ++m) {
        if (aditivo_)
            c[size_t(m)] -= total / 12.0;
        else
            c[size_t(m)] *= 12.0 / total;
        bien = (aditivo_ || c[size_t(m)] > 0) && std::isfinite(c[size_t(m)]);
    }
    origenCoef_.push_back(o);
    coef_.push_back(c);
    coefBien_.push_back(bien ? 1 : 0);
    return bien ? &coef_.back() : nullptr;
}

bool Evaluador::Correr(int item, const Parametros& p, int o, int V)
{
    if (item == ItemTSB) {
        // No table: the state runs over the values themselves.
        EstadoTSB e;
        for (int t = 0; t < o; ++t)
            e.Leer(y_[size_t(t)], p.AlfaCroston, p.BetaTSB);
        const double f = e.Prevision();
        if (!std::isfinite(f)) {
            if (fallo_.empty())
                fallo_ = "El modelo no dio previsión en todos los meses.";
            return false;
        }
        f_.assign(size_t(std::max(V, 0)), f);
        return true;
    }
    const std::array<double, 13>* coef = nullptr;
    if (sa_) {
        coef = Coeficientes(o);
        if (!coef) {
            if (fallo_.empty())
                fallo_ = aditivo_ ? "No se pudo desestacionalizar: hacen falta dos años de datos."
                                  : "No se pudo desestacionalizar: hacen falta dos años de datos positivos.";
            return false;
        }
        for (int t = 1; t <= o; ++t)
            ws_.Poner(t, ColDatos, Quitar(y_[size_t(t - 1)], (*coef)[size_t(MesRedondeado(mes_[size_t(t)]))]));
    }
    ws_.NumDatos = o;
    AsegurarFilas(ws_, V);
    LimpiarColumnasModelo(ws_, V);
    PrepararFilasPrevision(ws_, V);
    bool bien = true;
    try {
        // The model forecasts the rows dated here, whatever horizon p was given for.
        Parametros q = p;
        q.V = V;
        EjecutarModelo(ws_, item, q);
    } catch (const std::exception& e) {
        if (fallo_.empty())
            fallo_ = e.what();
        bien = false;
    }
    f_.assign(size_t(std::max(V, 0)), kSinValor);
    if (bien) {
        const int col = ws_.ColPrev;
        for (int h = 1; h <= V; ++h) {
            double x = ws_.V(o + h, col);
            if (!ws_.Valida(o + h, col) || !std::isfinite(x)) {
                bien = false;
                if (fallo_.empty())
                    fallo_ = "El modelo no dio previsión en todos los meses.";
                break;
            }
            if (coef)
                x = RecortarNegativa(Poner(x, (*coef)[size_t(MesFila(ws_, o + h))]), p.PrevNeg);
            f_[size_t(h - 1)] = x;
        }
    }
    // The forecast rows were dated from the origin on: the history's own dates come back.
    for (int t = o + 1; t <= std::min(n_, o + V); ++t) {
        ws_.Poner(t, ColT, t);
        ws_.Poner(t, ColAnio, anio_[size_t(t)]);
        ws_.Poner(t, ColMes, mes_[size_t(t)]);
        ws_.Poner(t, ColDatos, y_[size_t(t - 1)]);
    }
    if (coef)
        for (int t = 1; t <= o; ++t)
            ws_.Poner(t, ColDatos, y_[size_t(t - 1)]);
    return bien;
}

void Evaluador::Evaluar(int item, const Parametros& p, const PlanOrigenes& plan, ErroresOrigen& out)
{
    out.Plan = plan;
    const size_t K = plan.Origenes.size();
    const int P = plan.Pasos;
    out.Error.assign(K * size_t(P), kSinValor);
    out.Real.assign(K * size_t(P), kSinValor);
    out.Nivel.assign(K, 1.0);
    out.Fallidos = 0;
    for (size_t k = 0; k < K; ++k) {
        const int o = plan.Origenes[k];
        out.Nivel[k] = NivelHasta(y_, o);
        if (o < 1 || o + P > n_ || !Correr(item, p, o, P)) {
            ++out.Fallidos;
            continue;
        }
        for (int h = 1; h <= P; ++h) {
            out.Error[k * size_t(P) + size_t(h - 1)] = y_[size_t(o + h - 1)] - f_[size_t(h - 1)];
            out.Real[k * size_t(P) + size_t(h - 1)] = y_[size_t(o + h - 1)];
        }
    }
}

double Evaluador::ErrorAjuste(int item, const Parametros& p, int o)
{
    o = std::min(o, n_);
    if (item == ItemTSB) {
        // The months after the first demand: before it nothing is forecast.
        if (o < 2)
            return kSinValor;
        // Every month after the first: 0 is forecast until a demand comes.
        EstadoTSB e;
        double s = 0;
        int c = 0;
        for (int t = 0; t < o; ++t) {
            if (t > 0) {
                const double d = y_[size_t(t)] - e.Prevision();
                s += d * d;
                ++c;
            }
            e.Leer(y_[size_t(t)], p.AlfaCroston, p.BetaTSB);
        }
        const double r = c > 0 ? s / c : kSinValor;
        return std::isfinite(r) ? r : kSinValor;
    }
    if (o < 2 || !Correr(item, p, o, 1))
        return kSinValor;
    // Correr put the history back: the fitted rows are read against it.
    const std::array<double, 13>* coef = sa_ ? Coeficientes(o) : nullptr;
    const int col = ws_.ColPrev;
    double s = 0;
    int c = 0;
    for (int t = ws_.FilaInicioPrev + 1; t <= o; ++t) {
        if (!ws_.Valida(t, col))
            continue;
        double f = ws_.V(t, col);
        if (coef)
            f = Poner(f, (*coef)[size_t(MesRedondeado(mes_[size_t(t)]))]);
        const double e = y_[size_t(t - 1)] - f;
        s += e * e;
        ++c;
    }
    const double r = c > 0 ? s / c : kSinValor;
    return std::isfinite(r) ? r : kSinValor;
}

std::vector<double> Evaluador::Prever(int item, const Parametros& p, int V)
{
    if (n_ < 1 || V < 1 || !Correr(item, p, n_, V))
        return {};
    return f_;
}

// ---------------------------------------------------------------- labels and criteria

std::string_view NombreCriterio(Criterio c)
{
    switch (c) {
    case Criterio::MASE: return "MASE";
    case Criterio::sMAPE: return "sMAPE";
    case Criterio::RMSE: return "RMSE";
    }
    return "MASE";
}

std::string_view CodigoCandidato(int item)
{
    return item == ItemTSB ? std::string_view("TSB") : FichaDe(item).Codigo;
}

std::string EtiquetaPunto(int item, const Parametros& p)
{
    if (item == ItemTSB) {
        char buf[64];
        std::string t = "TSB (";
        t.append(buf, std::to_chars(buf, buf + sizeof buf, p.AlfaCroston, std::chars_format::general, 15).ptr);
        t += ';';
        t.append(buf, std::to_chars(buf, buf + sizeof buf, p.BetaTSB, std::chars_format::general, 15).ptr);
        return t + ')';
    }
    const FichaModelo& f = FichaDe(item);
    std::string t(f.Codigo);
    t += " (";
    bool primero = true;
    for (ValorModelo v : ValoresDe(item)) {
        if (!primero)
            t += ';';
        primero = false;
        char buf[64];
        const double x = Valor(p, v);
        const auto r = v == ValorModelo::N ? std::to_chars(buf, buf + sizeof buf, static_cast<long long>(x))
                                           : std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
        t.append(buf, r.ptr);
    }
    t += ')';
    return t;
}

namespace {
std::string EtiquetaSimple(int item, const Parametros& p, bool desest)
{
    std::string t = EtiquetaPunto(item, p);
    return desest ? t + " desest." : t;
}
} // namespace

double Combinacion(std::vector<double>& v)
{
    if (v.empty())
        return kSinValor;
    double s = 0;
    for (double x : v)
        s += x;
    return s / double(v.size());
}

std::string EtiquetaPunto(const Candidato& c)
{
    if (!c.EsCombinacion())
        return EtiquetaSimple(c.Item, c.Param, c.Desestacionalizado);
    std::string t = "Media (";
    for (size_t i = 0; i < c.Componentes.size(); ++i) {
        if (i > 0)
            t += " + ";
        t += EtiquetaSimple(c.Componentes[i].Item, c.Componentes[i].Param, c.Componentes[i].Desestacionalizado);
    }
    return t + ")";
}

namespace {

struct Resumen {
    double MAE = kSinValor, sMAPE = kSinValor, ME = kSinValor, RMSE = kSinValor;
    double SinError = kSinValor;
};

Resumen Resumir(const ErroresOrigen& err)
{
    Resumen r;
    double sa = 0, ss = 0, se = 0, s2 = 0;
    long long c = 0, exactos = 0;
    bool cero = false;
    for (size_t i = 0; i < err.Error.size(); ++i) {
        const double e = err.Error[i];
        if (e != e)
            continue;
        const double y = err.Real[i];
        const double f = y - e;
        const double d = std::fabs(y) + std::fabs(f);
        sa += std::fabs(e);
        ss += d > 0 ? 200.0 * std::fabs(e) / d : 0.0;
        cero = cero || y == 0;
        exactos += std::fabs(e) < 0.5;
        se += e;
        s2 += e * e;
        ++c;
    }
    if (c == 0)
        return r;
    r.MAE = sa / double(c);
    // A percentage of a value that is 0 is no number, as in the error tables.
    r.sMAPE = cero ? kSinValor : ss / double(c);
    r.ME = se / double(c);
    r.SinError = double(exactos) / double(c);
    r.RMSE = std::sqrt(s2 / double(c));
    return r;
}

// One fit: evaluates parameter sets by their one-step errors up to the last
// origin and keeps the best (the first of equals).
class Busqueda {
public:
    Busqueda(Evaluador& ev, int item, const PlanOrigenes& plan, Parametros base)
        : ev_(ev), item_(item), plan_(plan), base_(base)
    {
    }
    double Probar(const Parametros& p)
    {
        const double v = origenes_ ? ErrorOrigenes(p) : ev_.ErrorAjuste(item_, p, plan_.Origenes.back());
        if (v == v && (!hay_ || v < mejorValor_)) {
            hay_ = true;
            mejorValor_ = v;
            mejor_ = p;
        }
        return v;
    }
    bool Hay() const { return hay_; }
    const Parametros& Mejor() const { return mejor_; }
    // The best constants at the rolling origins.
    ErroresOrigen Errores() const
    {
        ErroresOrigen e;
        if (hay_)
            ev_.Evaluar(item_, mejor_, plan_, e);
        return e;
    }
    Parametros Base() const { return base_; }
    // On: a set is judged by its mean squared error over every origin and step.
    void PorOrigenes(bool si) { origenes_ = si; }

private:
    double ErrorOrigenes(const Parametros& p)
    {
        ev_.Evaluar(item_, p, plan_, tmp_);
        if (tmp_.Fallidos > 0)
            return kSinValor;
        double s = 0;
        for (double e : tmp_.Error)
            s += e * e;
        const double r = tmp_.Error.empty() ? kSinValor : s / double(tmp_.Error.size());
        return std::isfinite(r) ? r : kSinValor;
    }
    ErroresOrigen tmp_;
    bool origenes_ = false;
    Evaluador& ev_;
    int item_;
    const PlanOrigenes& plan_;
    Parametros base_;
    Parametros mejor_;
    double mejorValor_ = 0;
    bool hay_ = false;
};

double Parametros::*Miembro(ValorModelo v)
{
    switch (v) {
    case ValorModelo::AlfaLE: return &Parametros::AlfaLE;
    case ValorModelo::AlfaTHT: return &Parametros::AlfaTHT;
    case ValorModelo::AlfaHLT: return &Parametros::AlfaHLT;
    case ValorModelo::BetaHLT: return &Parametros::BetaHLT;
    case ValorModelo::PhiHW: return &Parametros::PhiHW;
    case ValorModelo::AlfaCroston:
    case ValorModelo::N: break;
    }
    return &Parametros::AlfaCroston;
}

double Centesimas(int k)
{
    return ComoEdit(ValorModelo::AlfaLE, k / 100.0);
}

// Constants on a grid of hundredths: every coarse point, then (fino) the
// neighbourhood of the best at finer steps.
void AjustarConstantes(Busqueda& b, const std::vector<double Parametros::*>& vals, bool fino)
{
    const int d = int(vals.size());
    std::array<int, 3> centro{};
    auto recorrer = [&](int paso, int radio, bool primero) {
        std::array<int, 3> lo{}, hi{};
        for (int i = 0; i < d; ++i) {
            lo[size_t(i)] = primero ? 0 : std::max(0, centro[size_t(i)] - radio);
            hi[size_t(i)] = primero ? 100 : std::min(100, centro[size_t(i)] + radio);
        }
        std::array<int, 3> k = lo;
        while (true) {
            Parametros p = b.Base();
            for (int i = 0; i < d; ++i)
                p.*vals[size_t(i)] = Centesimas(k[size_t(i)]);
            b.Probar(p);
            int i = d - 1;
            while (i >= 0) {
                k[size_t(i)] += paso;
                if (k[size_t(i)] <= hi[size_t(i)])
                    break;
                k[size_t(i)] = lo[size_t(i)];
                --i;
            }
            if (i < 0)
                break;
        }
        if (b.Hay())
            for (int i = 0; i < d; ++i)
                centro[size_t(i)] = int(std::lround(b.Mejor().*vals[size_t(i)] * 100));
    };
    if (d == 1) {
        recorrer(10, 0, true);
        if (b.Hay() && fino)
            recorrer(1, 9, false);
    } else if (d == 2) {
        recorrer(10, 0, true);
        if (b.Hay() && fino)
            recorrer(2, 10, false);
        if (b.Hay() && fino)
            recorrer(1, 2, false);
    } else {
        recorrer(20, 0, true);
        if (b.Hay() && fino)
            recorrer(5, 10, false);
        if (b.Hay() && fino)
            recorrer(1, 3, false);
    }
}

// N over 1..the longest window the first origin can fill: every value up to
// two years, then growing steps, then every value around the best.
void AjustarN(Busqueda& b, int maximo)
{
    if (maximo < 1)
        return;
    std::vector<int> rejilla;
    for (int N = 1; N <= std::min(maximo, 24); ++N)
        rejilla.push_back(N);
    for (double x = 24 * 1.25; x <= maximo; x *= 1.25)
        if (int(x) > rejilla.back())
            rejilla.push_back(int(x));
    if (rejilla.back() != maximo && maximo > 24)
        rejilla.push_back(maximo);
    for (int N : rejilla) {
        Parametros p = b.Base();
        p.N = N;
        b.Probar(p);
    }
    if (!b.Hay())
        return;
    const int mejor = b.Mejor().N;
    const auto it = std::find(rejilla.begin(), rejilla.end(), mejor);
    const int antes = it == rejilla.begin() ? mejor : *(it - 1);
    const int despues = it + 1 == rejilla.end() ? mejor : *(it + 1);
    for (int N = antes + 1; N < despues; ++N)
        if (N != mejor) {
            Parametros p = b.Base();
            p.N = N;
            b.Probar(p);
        }
}

std::string Texto(long long x)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

} // namespace

Candidato AjustarModelo(Evaluador& ev, int item, const PlanOrigenes& plan, int V, Criterio c, bool prevNeg, bool desest)
{
    ev.Desestacionalizar(desest);
    Candidato cand;
    cand.Item = item;
    cand.Desestacionalizado = desest;
    cand.Param.V = V;
    cand.Param.PrevNeg = prevNeg;
    cand.MASE = cand.RMSSE = cand.sMAPE = cand.ME = cand.RMSE = cand.SinError = kSinValor;
    cand.Cobertura80 = cand.Cobertura95 = kSinValor;
    cand.Valor = kSinValor;
    if (!plan.Valido()) {
        cand.Etiqueta = EtiquetaPunto(cand);
        cand.Motivo = "Descartado: pocos datos para evaluarlo en " + Texto(MinimoOrigenes) + " orígenes móviles.";
        return cand;
    }
    ev.OlvidarFallo();
    Busqueda b(ev, item, plan, cand.Param);
    // Intermittent demand gives a one-step fit little to go on, and its
    // decay shows only over several steps: constants are judged at the origins.
    b.PorOrigenes(ev.Intermitente());
    std::vector<double Parametros::*> constantes;
    bool conN = false;
    if (item == ItemTSB)
        constantes = {&Parametros::AlfaCroston, &Parametros::BetaTSB};
    else
        for (ValorModelo v : ValoresDe(item)) {
            if (v == ValorModelo::N)
                conN = true;
            else
                constantes.push_back(Miembro(v));
        }
    if (conN) {
        // MMD averages the averages: its window fits twice in the first origin.
        const int o1 = plan.Origenes.front();
        AjustarN(b, item == ItemMMD ? (o1 + 1) / 2 : o1);
    } else if (!constantes.empty()) {
        // On intermittent demand the finer steps fit the noise of a few demands.
        AjustarConstantes(b, constantes, !ev.Intermitente());
    } else {
        b.Probar(b.Base());
    }
    if (!b.Hay()) {
        // Evaluated once more to say why, with the start values.
        ErroresOrigen err;
        ev.Evaluar(item, b.Base(), plan, err);
        cand.Param = b.Base();
        cand.Etiqueta = EtiquetaPunto(cand);
        cand.Motivo =
            "Descartado: falló en " + Texto(err.Fallidos) + " de " + Texto(long(plan.Origenes.size())) + " orígenes";
        if (!ev.Fallo().empty())
            cand.Motivo += " (" + ev.Fallo() + ")";
        else
            cand.Motivo += ".";
        cand.Errores = std::move(err);
        return cand;
    }
    cand.Param = b.Mejor();
    cand.Param.V = V;
    cand.Param.PrevNeg = prevNeg;
    cand.Etiqueta = EtiquetaPunto(cand);
    cand.Errores = b.Errores();
    Puntuar(cand, ev, c);
    return cand;
}

namespace {

// The combination of the best valid candidates (ranked), evaluated on their errors.
Candidato Combinar(const std::vector<Candidato>& ranking, Evaluador& ev, Criterio c)
{
    Candidato comb;
    comb.MASE = comb.RMSSE = comb.sMAPE = comb.ME = comb.RMSE = comb.SinError = kSinValor;
    comb.Cobertura80 = comb.Cobertura95 = comb.Valor = kSinValor;
    std::vector<const Candidato*> partes;
    for (const Candidato& k : ranking)
        if (k.Valido && !k.EsCombinacion() && int(partes.size()) < ComponentesCombinacion)
            partes.push_back(&k);
    if (int(partes.size()) < 2)
        return comb;
    comb.Item = partes[0]->Item;
    comb.Param = partes[0]->Param;
    comb.Desestacionalizado = partes[0]->Desestacionalizado;
    for (const Candidato* k : partes)
        comb.Componentes.push_back({k->Item, k->Param, k->Desestacionalizado});
    comb.Etiqueta = EtiquetaPunto(comb);
    comb.Errores = partes[0]->Errores;
    ErroresOrigen& e = comb.Errores;
    std::vector<double> v(partes.size());
    for (size_t i = 0; i < e.Error.size(); ++i) {
        for (size_t j = 0; j < partes.size(); ++j)
            v[j] = partes[j]->Errores.Real[i] - partes[j]->Errores.Error[i];
        const double f = Combinacion(v);
        e.Error[i] = e.Error[i] == e.Error[i] && f == f ? e.Real[i] - f : kSinValor;
    }
    Puntuar(comb, ev, c);
    return comb;
}

// A part's stock figure: its months drawn at the highest rate any of the
// intermittent methods forecasts, here and at the origins. A method that
// forecasts 0 for a part that still sells (Croston with a constant of 0
// keeps its start value) would leave no stock at all.
double DemandaMaximaPrudente(Evaluador& ev, const std::vector<Candidato>& todos, const std::vector<double>& f, int V)
{
    std::vector<double> alta = f;
    ErroresOrigen err;
    for (const Candidato& k : todos) {
        if (!k.Valido || k.Errores.Error.empty())
            continue;
        const std::vector<double> g = PreverCandidato(ev, k, V);
        for (size_t h = 0; h < g.size() && h < alta.size(); ++h)
            alta[h] = std::max(alta[h], g[h]);
        if (err.Error.empty()) {
            err = k.Errores;
            continue;
        }
        // A lower error is a higher forecast of the same value.
        for (size_t i = 0; i < err.Error.size() && i < k.Errores.Error.size(); ++i)
            if (k.Errores.Error[i] == k.Errores.Error[i] && !(k.Errores.Error[i] >= err.Error[i]))
                err.Error[i] = k.Errores.Error[i];
    }
    return DemandaMaxima(err, ev.Datos(), alta);
}

} // namespace

void Puntuar(Candidato& cand, const Evaluador& ev, Criterio c)
{
    const Resumen r = Resumir(cand.Errores);
    const double escala = EscalaMASE(ev.Datos().data(), ev.Valores(), false);
    cand.MASE = escala > 0 ? r.MAE / escala : kSinValor;
    const double escala2 = EscalaMASE(ev.Datos().data(), ev.Valores(), true);
    cand.RMSSE = escala2 > 0 ? std::sqrt(r.RMSE * r.RMSE / escala2) : kSinValor;
    cand.sMAPE = r.sMAPE;
    cand.SinError = r.SinError;
    cand.ME = r.ME;
    cand.RMSE = r.RMSE;
    switch (c) {
    case Criterio::MASE: cand.Valor = escala > 0 ? cand.MASE : r.MAE; break;
    case Criterio::sMAPE: cand.Valor = r.sMAPE; break;
    case Criterio::RMSE: cand.Valor = r.RMSE; break;
    }
    const auto cob = CoberturaPrevision(ev, cand.Errores);
    cand.Cobertura80 = cob[0];
    cand.Cobertura95 = cob[1];
    cand.Valido = std::isfinite(cand.Valor);
    if (!cand.Valido)
        cand.Motivo = "Descartado: su error no tiene valor.";
}

std::vector<double> PreverCandidato(Evaluador& ev, const Candidato& c, int V)
{
    if (!c.EsCombinacion()) {
        ev.Desestacionalizar(c.Desestacionalizado);
        return ev.Prever(c.Item, c.Param, V);
    }
    std::vector<std::vector<double>> fs;
    for (const Componente& k : c.Componentes) {
        ev.Desestacionalizar(k.Desestacionalizado);
        fs.push_back(ev.Prever(k.Item, k.Param, V));
        if (fs.back().size() != size_t(std::max(V, 0)))
            return {};
    }
    std::vector<double> media(size_t(std::max(V, 0)));
    std::vector<double> v(fs.size());
    for (size_t i = 0; i < media.size(); ++i) {
        for (size_t j = 0; j < fs.size(); ++j)
            v[j] = fs[j][i];
        media[i] = Combinacion(v);
    }
    return media;
}

ResultadoAutomatico PrevisionAutomatica(const Espacio& hist, int V, Criterio c, bool prevNeg, InformeProgreso* informe,
                                        int n)
{
    ResultadoAutomatico res;
    Evaluador ev(hist, n);
    n = ev.Valores();
    const std::vector<double>& y = ev.Datos();
    const bool ceros = std::any_of(y.begin(), y.end(), [](double x) { return x == 0; });
    if (c == Criterio::sMAPE && ceros) {
        c = Criterio::MASE;
        res.CriterioSustituido = true;
    }
    res.Crit = c;
    res.DemandaSerie = ev.DemandaSerie();
    res.Intermitente = ev.Intermitente();
    res.Plan = ColocarOrigenes(n, std::max(V, 1));
    // Seasonally adjusted candidates only for a seasonal series without negative values.
    const bool desest = EsEstacional(y) && std::all_of(y.begin(), y.end(), [](double x) { return x >= 0; });
    std::vector<std::pair<int, bool>> lista;
    if (ev.Intermitente()) {
        // Demand that comes now and then: the methods made for it, and nothing else.
        for (int item : {int(ItemCRT), int(ItemSB), ItemTSB})
            lista.emplace_back(item, false);
    } else {
        // Croston's methods are for intermittent demand: a series without zeros has
        // none. The multiplicative seasonal forms break on zeros: a month whose
        // coefficient comes out 0 is forecast 0 for ever.
        for (int item = 0; item < NumModelos; ++item) {
            const bool croston = item == ItemCRT || item == ItemSB;
            const bool multiplicativo = item == ItemDST || item == ItemTHT || item == ItemHW;
            if (ceros ? !multiplicativo : !croston)
                lista.emplace_back(item, false);
        }
        if (ceros)
            lista.emplace_back(ItemTSB, false);
        if (desest)
            for (int item = 0; item < NumModelos; ++item)
                if (AjustableDesestacionalizado(item))
                    lista.emplace_back(item, true);
    }
    if (informe)
        informe->Comenzar("Previsión automática", static_cast<long long>(lista.size()));
    std::vector<Candidato> todos;
    for (size_t i = 0; i < lista.size(); ++i) {
        if (informe && informe->Cancelado()) {
            res.Cancelado = true;
            break;
        }
        todos.push_back(AjustarModelo(ev, lista[i].first, res.Plan, V, c, prevNeg, lista[i].second));
        if (informe)
            informe->Avanzar(static_cast<long long>(i + 1));
    }
    if (informe)
        informe->Terminar();
    if (res.Cancelado)
        return res;
    std::stable_sort(todos.begin(), todos.end(), [](const Candidato& a, const Candidato& b) {
        if (a.Valido != b.Valido)
            return a.Valido;
        return a.Valido && a.Valor < b.Valor;
    });
    // Singles ranked first: the combination takes the best of them.
    {
        // Averaging the intermittent methods keeps the decay of TSB from showing.
        Candidato comb = ev.Intermitente() ? Candidato{} : Combinar(todos, ev, c);
        if (comb.Valido) {
            todos.push_back(std::move(comb));
            std::stable_sort(todos.begin(), todos.end(), [](const Candidato& a, const Candidato& b) {
                if (a.Valido != b.Valido)
                    return a.Valido;
                return a.Valido && a.Valor < b.Valor;
            });
        }
    }
    const std::string nombre(NombreCriterio(c));
    const std::string margen = Texto(std::lround(MargenCombinacion * 100));
    int comb = -1;
    for (size_t i = 0; i < todos.size(); ++i)
        if (todos[i].Valido && todos[i].EsCombinacion())
            comb = int(i);
    int preferido = !todos.empty() && todos[0].Valido ? 0 : -1;
    if (comb > 0 && !(todos[0].Valor < todos[size_t(comb)].Valor * (1 - MargenCombinacion)))
        preferido = comb;
    // The winner must forecast the whole history too; if it cannot, the next in rank does.
    std::vector<char> falla(todos.size(), 0);
    if (preferido >= 0) {
        std::vector<int> orden{preferido};
        for (int i = 0; i < int(todos.size()); ++i)
            if (i != preferido && todos[size_t(i)].Valido)
                orden.push_back(i);
        for (int i : orden) {
            ev.OlvidarFallo();
            std::vector<double> f = PreverCandidato(ev, todos[size_t(i)], V);
            if (f.size() == size_t(std::max(V, 0))) {
                res.Ganador = i;
                res.Intervalos = IntervalosPrevision(ev, todos[size_t(i)].Errores, f, prevNeg);
                res.Prevision = std::move(f);
                break;
            }
            falla[size_t(i)] = 1;
            todos[size_t(i)].Motivo = "Descartado: falla con la serie entera" +
                                      (ev.Fallo().empty() ? std::string(".") : " (" + ev.Fallo() + ")");
        }
    }
    for (size_t i = 0; i < todos.size(); ++i) {
        Candidato& k = todos[i];
        if (!k.Valido || falla[i])
            continue;
        if (int(i) == res.Ganador && int(i) == preferido && !k.EsCombinacion())
            k.Motivo = "Elegido: el menor " + nombre + " en los orígenes móviles.";
        else if (int(i) == res.Ganador && int(i) == preferido)
            k.Motivo = "Elegido: combinar es más fiable, y ningún modelo solo tiene un " + nombre + " más de un " +
                       margen + " % menor.";
        else if (int(i) == res.Ganador)
            k.Motivo = "Elegido: el menor " + nombre + " de los que prevén la serie entera.";
        else if (int(i) < res.Ganador && int(i) < preferido)
            k.Motivo = "Descartado: su " + nombre + " es menor que el de la combinación, pero no en más de un " +
                       margen + " %.";
        else
            k.Motivo = "Descartado: " + nombre + " mayor que el del elegido.";
    }
    res.Ranking = std::move(todos);
    return res;
}

double DemandaMaximaDe(Evaluador& ev, const ResultadoAutomatico& r)
{
    if (r.Ganador < 0 || r.Prevision.empty())
        return kSinValor;
    if (ev.Intermitente())
        return DemandaMaximaPrudente(ev, r.Ranking, r.Prevision, int(r.Prevision.size()));
    double s = 0;
    for (const Intervalo& b : r.Intervalos)
        s += b.Sup95;
    return std::isfinite(s) ? s : kSinValor;
}

} // namespace tendora
