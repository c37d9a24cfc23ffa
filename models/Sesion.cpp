// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Sesion.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tendora {

Sesion::Sesion() : modelo_(ItemDST)
{
    Ws.UltimaCol = UltimaColTabla;
}

Sesion::Silencio::~Silencio()
{
    if (--s_.silencio_ == 0)
        s_.Avisar();
}

void Sesion::Avisar()
{
    const unsigned c = pendientes_;
    pendientes_ = 0;
    if (c && observador_)
        observador_(c);
}

void Sesion::Cambiado(unsigned cambios)
{
    pendientes_ |= cambios;
    if (silencio_ == 0)
        Avisar();
}

// ---------------------------------------------------------------- settings

void Sesion::PonerHorizonte(int V)
{
    V = std::clamp(V, 0, MaximoHorizonte);
    if (V == param_.V)
        return;
    param_.V = V;
    DimensionarTabla(Ws, V);
    Cambiado(CambioHorizonte);
}

void Sesion::MoverCorte()
{
    if (Ws.DatosCargados)
        Ws.NumDatos = Ws.TotalDatos - puntos_;
    // A lower hold-out may ask for forecast rows beyond the current size.
    AsegurarFilas(Ws, param_.V);
}

void Sesion::PonerPuntosSinUsar(int h)
{
    h = std::clamp(h, 0, limitePuntos_);
    const bool cambia = h != puntos_;
    puntos_ = h;
    MoverCorte();
    if (cambia)
        Cambiado(CambioPuntos);
}

void Sesion::SeleccionarModelo(int item)
{
    item = std::clamp(item, 0, NumModelos - 1);
    if (item == modelo_)
        return;
    modelo_ = item;
    Cambiado(CambioModelo);
}

void Sesion::PonerValor(ValorModelo v, double x)
{
    if (v == ValorModelo::N) // an int holds it, as the edit's does
        x = std::isnan(x) ? 0.0 : std::clamp(std::trunc(x), double(INT_MIN), double(INT_MAX));
    if (tendora::Valor(param_, v) == x)
        return;
    tendora::PonerValor(param_, v, x);
    Cambiado(CambioValores);
}

void Sesion::PonerPrevisionesNegativas(bool si)
{
    if (si == param_.PrevNeg)
        return;
    param_.PrevNeg = si;
    Cambiado(CambioValores);
}

Parametros Sesion::ParametrosDe(int item) const
{
    Parametros p;
    for (ValorModelo v : ValoresDe(item))
        tendora::PonerValor(p, v, tendora::Valor(param_, v));
    p.PrevNeg = param_.PrevNeg;
    p.V = param_.V;
    return p;
}

bool Sesion::Aplicar(const Corrida& c)
{
    if (c.Modelo < 0 || c.Modelo >= NumModelos || c.Origen < 0 || c.Origen > limitePuntos_)
        return false;
    // A run logged with a value the parameter no longer takes would run with another one.
    for (ValorModelo v : ValoresDe(c.Modelo))
        if (!RangoDe(v).Contiene(tendora::Valor(c.Param, v)))
            return false;
    Silencio s(*this);
    SeleccionarModelo(c.Modelo);
    for (ValorModelo v : ValoresDe(c.Modelo))
        PonerValor(v, tendora::Valor(c.Param, v));
    PonerHorizonte(c.Param.V);
    PonerPrevisionesNegativas(c.Param.PrevNeg);
    PonerPuntosSinUsar(c.Origen);
    return true;
}

// ---------------------------------------------------------------- history

Espacio Sesion::Preparar(const std::vector<Registro>& registros) const
{
    Espacio e = CopiaSinTabla(Ws);
    const int n = static_cast<int>(registros.size());
    const int V = param_.V;
    e.NumDatos = n;
    e.TotalDatos = n; // so the size below keeps exactly the new history
    DimensionarTabla(e, V);
    LimpiarColumnasDatos(e, V);
    LimpiarColumnasModelo(e, V);
    for (int k = 1; k <= n; ++k) {
        const Registro& r = registros[static_cast<size_t>(k - 1)];
        e.Poner(k, ColT, k);
        e.Poner(k, ColAnio, r.Anio);
        e.Poner(k, ColMes, r.Mes);
        e.Poner(k, ColDatos, r.Valor);
        e.AnioActual = r.Anio;
        e.MesActual = r.Mes;
    }
    // The hold-out as the new range 0..T-1 will bring it.
    e.NumDatos = n - std::min(puntos_, std::max(n - 1, 0));
    AsegurarFilas(e, V);
    return e;
}

void Sesion::Adoptar(Espacio&& nuevo)
{
    Ws = std::move(nuevo);
    limitePuntos_ = std::max(Ws.TotalDatos - 1, 0);
    puntos_ = std::min(puntos_, limitePuntos_);
    registro_.Borrar();
    bandas_.clear();
    prevCandidato_.clear();
    etiquetaCandidato_.clear();
    seleccion_ = ResultadoAutomatico{};
    std::vector<double> y(size_t(std::max(Ws.TotalDatos, 0)));
    for (int t = 1; t <= Ws.TotalDatos; ++t)
        y[size_t(t - 1)] = Ws.V(t, ColDatos);
    demanda_ = ClasificarDemanda(y.data(), int(y.size()));
    Ws.DatosCargados = true;
    Cambiado(CambioDatos | CambioPuntos);
}

Sesion::Estado Sesion::Guardar() const
{
    return Estado{Ws,          param_,    modelo_,          puntos_,        limitePuntos_,
                  intervalos_, criterio_, bandas_,          prevCandidato_, etiquetaCandidato_,
                  seleccion_,  demanda_,  registro_.Copia()};
}

void Sesion::Reponer(Estado e)
{
    Ws = std::move(e.ws);
    param_ = e.param;
    modelo_ = e.modelo;
    puntos_ = e.puntos;
    limitePuntos_ = e.limitePuntos;
    intervalos_ = e.intervalos;
    criterio_ = e.criterio;
    bandas_ = std::move(e.bandas);
    prevCandidato_ = std::move(e.prevCandidato);
    etiquetaCandidato_ = std::move(e.etiquetaCandidato);
    seleccion_ = std::move(e.seleccion);
    demanda_ = e.demanda;
    registro_.Reponer(std::move(e.corridas));
    Cambiado(CambioModelo | CambioValores | CambioHorizonte | CambioPuntos | CambioDatos | CambioIntervalos);
}

// ---------------------------------------------------------------- calculation

const Corrida& Sesion::Calcular(bool conIntervalos)
{
    if (!Ws.DatosCargados)
        throw ErrorSinDatos();
    const Parametros p = ParametrosDe(modelo_);
    AsegurarFilas(Ws, p.V);
    LimpiarColumnasModelo(Ws, p.V);
    PrepararFilasPrevision(Ws, p.V);
    EjecutarModelo(Ws, modelo_, p);
    const Corrida& c = Registrar(p);
    if (intervalos_ && conIntervalos)
        CalcularBandas(p);
    return c;
}

void Sesion::CalcularBandas(const Parametros& p)
{
    bandas_.clear();
    if (p.V < 1 || Ws.ColPrev <= 0)
        return;
    Evaluador ev(Ws);
    const PlanOrigenes plan = ColocarOrigenes(ev.Valores(), p.V);
    if (!plan.Valido())
        return;
    ErroresOrigen err;
    ev.Evaluar(modelo_, p, plan, err);
    if (err.Fallidos == int(plan.Origenes.size()))
        return;
    std::vector<double> f(size_t(p.V));
    for (int h = 1; h <= p.V; ++h)
        f[size_t(h - 1)] = Ws.V(Ws.NumDatos + h, Ws.ColPrev);
    bandas_ = tendora::IntervalosPrevision(ev, err, f, p.PrevNeg);
}

void Sesion::PonerIntervalos(bool si)
{
    if (si == intervalos_)
        return;
    intervalos_ = si;
    Cambiado(CambioIntervalos);
}

const ResultadoAutomatico& Sesion::PrevisionAutomatica(Criterio c, InformeProgreso* informe)
{
    if (!Ws.DatosCargados)
        throw ErrorSinDatos();
    // The whole history: the winner is refitted without a hold-out.
    ResultadoAutomatico r = tendora::PrevisionAutomatica(Ws, param_.V, c, param_.PrevNeg, informe, Ws.TotalDatos);
    if (r.Cancelado) {
        cancelada_ = std::move(r);
        return cancelada_;
    }
    seleccion_ = std::move(r);
    if (seleccion_.Ganador >= 0) {
        Evaluador ev(Ws, Ws.TotalDatos);
        seleccion_.DemandaMaxima = DemandaMaximaDe(ev, seleccion_);
        AplicarCandidato(seleccion_.Ganador);
    }
    return seleccion_;
}

bool Sesion::AplicarCandidato(int k)
{
    if (k < 0 || k >= int(seleccion_.Ranking.size()) || !seleccion_.Ranking[size_t(k)].Valido || !Ws.DatosCargados)
        return false;
    const Candidato& c = seleccion_.Ranking[size_t(k)];
    {
        Silencio s(*this);
        // TSB is not on the page: Croston, whose size constant it shares, stands for it.
        const int item = c.Item == ItemTSB ? int(ItemCRT) : c.Item;
        SeleccionarModelo(item);
        for (ValorModelo v : ValoresDe(item))
            PonerValor(v, tendora::Valor(c.Param, v));
        PonerPuntosSinUsar(0);
        PonerIntervalos(true);
    }
    // A combination's or an adjusted model's intervals are its own, not the page model's.
    const bool propia = c.EsCombinacion() || c.Desestacionalizado || c.Item == ItemTSB;
    Calcular(!propia);
    if (propia) {
        Evaluador ev(Ws);
        std::vector<double> f = PreverCandidato(ev, c, param_.V);
        if (f.size() == size_t(param_.V)) {
            bandas_ = tendora::IntervalosPrevision(ev, c.Errores, f, param_.PrevNeg);
            prevCandidato_ = std::move(f);
        }
    }
    etiquetaCandidato_ = c.Etiqueta;
    return true;
}

const Corrida& Sesion::Registrar(const Parametros& p)
{
    // One scale for both tables: it comes from the fitting rows alone.
    const EscalaIngenua escala = EscalaDe(Ws);
    const Medidas ajuste = CalcularMedidas(Ws, 1, Ws.FilaInicioPrev + 1, Ws.NumDatos, escala);
    // Values held back but no forecast to set against them: nothing to measure.
    // Only rows that hold a forecast of this run are measured.
    std::optional<Medidas> acierto;
    if (Ws.NumDatos < Ws.TotalDatos && p.V > 0)
        acierto = CalcularMedidas(Ws, 2, Ws.NumDatos + 1, std::min(Ws.TotalDatos, Ws.NumDatos + p.V), escala);
    bandas_.clear();
    prevCandidato_.clear();
    etiquetaCandidato_.clear();
    Corrida& c = registro_.Nueva();
    c.Modelo = modelo_;
    c.Param = p;
    c.Origen = puntos_;
    c.Ajuste = MedidasCorrida(ajuste);
    Ws.DesvRelativa = ajuste.DesvRelativa;
    if (acierto) {
        c.Acierto.emplace(*acierto);
        Ws.DesvRelativa = acierto->DesvRelativa;
    }
    registro_.Anotar();
    return c;
}

} // namespace tendora
