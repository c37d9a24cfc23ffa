// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Experimentos.h"

#include "models/Catalogo.h"
#include "ui/ExperimentosProgreso.h"
#include "models/LoteHW.h"
#include "models/Medidas.h"
#include "ui/Modal.h"
#include "data/Numeros.h"
#include "ui/RangoVarUnit.h"
#include "ui/Rejilla.h"
#include "ui/SimExAnteUnit.h"
#include "ui/TablasErrores.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tendora {

namespace {

using Reloj = std::chrono::steady_clock;

long long ContarValoresN(long long desde, long long hasta, long long inc)
{
    if (inc <= 0)
        throw std::invalid_argument("El incremento de N debe ser mayor que cero.");
    return desde > hasta ? 0 : (hasta - desde) / inc + 1;
}

const QString kSinDatos = QStringLiteral("Cargue los datos antes de calcular.");

// A row label from a run's parameters: the values the model reads, in ValorModelo's order.
EtiquetaCelda EtiquetaDe(int item, const Parametros& p, int puntosSinUsar)
{
    const FichaModelo& f = FichaDe(item);
    EtiquetaCelda e;
    e.codigo = static_cast<int8_t>(f.Item);
    e.origen = puntosSinUsar > 0 ? puntosSinUsar : 0;
    e.horizonte = static_cast<uint16_t>(std::clamp(p.V, 0, 999)) & 0x3FFu;
    e.negativas = p.PrevNeg ? 1u : 0u;
    for (ValorModelo v : ValoresDe(item)) {
        if (v == ValorModelo::N)
            e.enteros = (e.enteros | (1u << e.cuantos)) & 0x7u;
        e.valores[e.cuantos++] = Valor(p, v);
    }
    return e;
}

} // namespace

// How many values a smoothing-constant loop takes: Desde + k × Inc for
// k = 0..K, with K = floor((Hasta − Desde) / Inc + 1e-9). The small margin
// keeps Hasta in the range when the quotient comes out a hair below a whole
// number (0.05..0.95 step 0.05 gives 17.999999999999996). Refuses a step that
// is not positive, or so small that the count has no sensible end.
long long Experimentos::ContarValores(double desde, double hasta, double inc)
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

// A loop that does not draw: the model page read once, the error tables
// grown in blocks with room made for every step, and for H-W the work that
// does not depend on the constants done by the first run only.
struct Experimentos::Sesion {
    Sesion(TablasErrores& t, int item_, const Parametros& p, long long pasos)
        : tablas(t), ws(t.Datos()), item(item_), base(p), puntos(0),
          bloque(t, pasos, ws.NumDatos < ws.TotalDatos && p.V > 0 ? pasos : 0)
    {
    }
    TablasErrores& tablas;
    Espacio& ws;
    const int item;
    const Parametros base; // the values no level of the loop sets
    int puntos;
    InicioHW hw;
    TablasErrores::Bloque bloque;
    LoteHW lote;
    int loteListo = -1; // not tried yet; then 0 or 1
    // After a batch the workspace still holds an earlier run: the batch's
    // last run is repeated on it before anyone can look (PonerAlDia).
    bool atrasado = false;
    double ultimo[3] = {0.0, 0.0, 0.0}; // that run's alfa, beta and phi
};

void Experimentos::Progreso::Mostrar(long long hechos)
{
    if (dueno_->sesion_) {
        dueno_->PonerAlDia(*dueno_->sesion_);
        dueno_->sesion_->bloque.Anunciar();
    }
    MostrarDialogo(hechos);
}

Experimentos::Experimentos(VentanaExperimentos& ventana) : v_(ventana)
{
}

Experimentos::~Experimentos() = default;

// ---------------------------------------------------------------- steps

bool Experimentos::CalcularPaso(bool Mostrar)
{
    // The calculation without its message: a grid on an intermittent series
    // could otherwise raise hundreds of them. The experiment counts the
    // failures and tells them once, at its end.
    try {
        v_.Calcular(Mostrar);
        return true;
    } catch (...) {
        ++PasosFallidos;
        return false;
    }
}

// The window's calculation without drawing, in the same order on the same
// core: rows made sure of and cleared, forecast rows dated, the model, the
// fit row and, with values held back, the accuracy row. H-W after its first
// run repeats only its recursion: what it skips would come out the same.
bool Experimentos::PasoDirecto(Sesion& s)
{
    const Parametros p = ParametrosDelPaso(s);
    s.atrasado = false; // whatever happens, the workspace is this run's
    try {
        Espacio& ws = s.ws;
        if (!(s.item == ItemHW && RepetirHW(ws, s.hw, p.AlfaHLT, p.BetaHLT, p.PhiHW, p.PrevNeg))) {
            AsegurarFilas(ws, p.V);
            LimpiarColumnasModelo(ws, p.V);
            PrepararFilasPrevision(ws, p.V);
            if (s.item == ItemHW)
                ModeloHW(ws, p.AlfaHLT, p.BetaHLT, p.PhiHW, p.PrevNeg, p.V, &s.hw);
            else
                EjecutarModelo(ws, s.item, p);
        }
        const EtiquetaCelda etiqueta = EtiquetaDe(s.item, p, s.puntos);
        s.tablas.AnadirErroresAjuste(etiqueta);
        if (ws.NumDatos < ws.TotalDatos && p.V > 0)
            s.tablas.AnadirErroresAcierto(etiqueta, p.V);
        return true;
    } catch (...) {
        ++PasosFallidos;
        return false;
    }
}

Parametros Experimentos::ParametrosDelPaso(const Sesion& s) const
{
    Parametros p = s.base;
    for (int k = 0; k < numFijados_; ++k) {
        double Parametros::*campo = fijados_[static_cast<size_t>(k)].campo;
        p.*campo = paso_.*campo;
    }
    return p;
}

void Experimentos::PonerAlDia(Sesion& s)
{
    if (!s.atrasado)
        return;
    s.atrasado = false;
    // The run ended well in its batch, so it does here too; the rows and the
    // relative deviation were written then.
    try {
        RepetirHW(s.ws, s.hw, s.ultimo[0], s.ultimo[1], s.ultimo[2], s.base.PrevNeg);
    } catch (...) {
    }
}

void Experimentos::PasoVariacion(bool Mostrar, long long& pasos)
{
    // A failed run leaves the forecast chart as it was: a copy of it would
    // carry this step's label under an earlier step's forecast.
    const bool bien = sesion_ ? PasoDirecto(*sesion_) : CalcularPaso(Mostrar);
    if (bien && Mostrar)
        v_.AnadirSerieComparativa();
    ++pasos;
    if (progresoActivo_)
        progresoActivo_->Paso(pasos);
}

// ---------------------------------------------------------------- parameter loops

void Experimentos::VariarN(long long desde, long long hasta, long long inc, bool Mostrar, long long& pasos)
{
    pasos = 0;
    PasosFallidos = 0;
    const long long total = ContarValoresN(desde, hasta, inc);
    // The edit would bring such a value to its nearer end: a run under another N.
    if (total > 0 && (!RangoDe(ValorModelo::N).Contiene(double(desde)) ||
                      !RangoDe(ValorModelo::N).Contiene(double(desde + (total - 1) * inc))))
        throw std::invalid_argument(QStringLiteral("Los valores de N deben estar entre %1 y %2.")
                                        .arg(TextoEntero(MinimoN), TextoEntero(MaximoN))
                                        .toStdString());
    QSpinBox* SEN = v_.Edits().N;
    Progreso progreso(this, QStringLiteral("Variación de parámetros"), total);
    for (long long v = desde; v <= hasta;) {
        SEN->setValue(static_cast<int>(std::clamp<long long>(v, SEN->minimum(), SEN->maximum())));
        PasoVariacion(Mostrar, pasos);
        if (parar_ || hasta - v < inc)
            break; // the next value is past the last; also no overflow
        v += inc;
    }
}

// ---------------------------------------------------------------- the step's parameters

double Experimentos::ValorParametro(const QDoubleSpinBox* s) const
{
    for (int k = 0; k < numFijados_; ++k)
        if (fijados_[static_cast<size_t>(k)].spin == s)
            return paso_.*fijados_[static_cast<size_t>(k)].campo;
    // An emptied box keeps its last value; what the user sees reads as the minimum, 0.
    return s->hasAcceptableInput() ? s->value() : s->minimum();
}

QString Experimentos::TextoParametro(const QDoubleSpinBox* s) const
{
    for (int k = 0; k < numFijados_; ++k)
        if (fijados_[static_cast<size_t>(k)].spin == s)
            return fijados_[static_cast<size_t>(k)].texto;
    return TextoGeneral(ValorParametro(s));
}

void Experimentos::SincronizarParametros()
{
    for (int k = 0; k < numFijados_; ++k) {
        const Fijado& f = fijados_[static_cast<size_t>(k)];
        const double valor = paso_.*f.campo;
        if (f.spin->value() != valor)
            f.spin->setValue(valor);
    }
}

// Only what the model reads is read: the others keep their defaults, which
// the model never looks at.
QString Experimentos::ParametrosModelo(int item) const
{
    const VentanaExperimentos::Controles c = v_.Edits();
    QStringList t;
    for (ValorModelo v : ValoresDe(item))
        t << (v == ValorModelo::N ? TextoEntero(v_.ValorN()) : TextoParametro(c.Constante(v)));
    return t.join(QLatin1Char(';'));
}

EtiquetaCelda Experimentos::Etiqueta(int item, int puntosSinUsar) const
{
    return EtiquetaDe(item, v_.LeerParametros(item), puntosSinUsar);
}

// The reverse of EtiquetaDe.
Parametros Experimentos::ParametrosDe(const EtiquetaCelda& e)
{
    Parametros p;
    p.V = e.horizonte;
    p.PrevNeg = e.negativas != 0;
    if (e.cuantos == kSinEtiqueta || e.codigo < 0 || e.codigo >= NumModelos)
        return p;
    int k = 0;
    for (ValorModelo v : ValoresDe(e.codigo))
        if (k < e.cuantos)
            PonerValor(p, v, e.valores[k++]);
    return p;
}

// The values a loop fixes, one slot per level; at the end (also when the loop
// is left by an error) the edits get the last values set.
struct Experimentos::FijacionParametros {
    explicit FijacionParametros(Experimentos* e) : dueno(e) { dueno->numFijados_ = 0; }
    ~FijacionParametros()
    {
        dueno->SincronizarParametros();
        dueno->numFijados_ = 0;
    }
    FijacionParametros(const FijacionParametros&) = delete;
    FijacionParametros& operator=(const FijacionParametros&) = delete;

    void Poner(int nivel, const Constante& c, double valor, const QString& texto)
    {
        Fijado& f = dueno->fijados_[static_cast<size_t>(nivel)];
        f.spin = c.spin;
        f.campo = c.campo;
        f.texto = texto;
        dueno->paso_.*c.campo = valor;
        dueno->numFijados_ = std::max(dueno->numFijados_, nivel + 1);
    }

    Experimentos* dueno;
};

// One level of a smoothing-constant loop: value k is Desde + k × Inc. Each
// value is given to the spin edit, which rounds it to its decimals and bounds
// it; what the edit then holds is what the model reads and the label writes.
// The same values come out on every pass of an outer level, so the first pass
// keeps what the edit made of them and the later passes only fix those values.
struct Experimentos::Nivel {
    Constante c;
    long long cuantos = 0;
    std::vector<double> valores;
    std::vector<QString> textos;
    bool completo = false;
};

// Every value of level k for each value of the levels outside it.
void Experimentos::RecorrerNiveles(Nivel* niveles, size_t cuantos, size_t k, FijacionParametros& fijados, bool Mostrar,
                                   long long& pasos)
{
    if (k == cuantos) {
        PasoVariacion(Mostrar, pasos);
        return;
    }
    Nivel& n = niveles[k];
    const int nivel = static_cast<int>(k);
    if (n.completo) {
        if (k + 1 == cuantos && !Mostrar && PasosEnLote(n, nivel, fijados, pasos))
            return;
        for (size_t i = 0; i < n.valores.size(); ++i) {
            fijados.Poner(nivel, n.c, n.valores[i], n.textos[i]);
            RecorrerNiveles(niveles, cuantos, k + 1, fijados, Mostrar, pasos);
            if (parar_)
                return;
        }
        return;
    }
    for (long long i = 0; i < n.cuantos; ++i) {
        n.c.spin->setValue(n.c.desde + static_cast<double>(i) * n.c.inc);
        n.valores.push_back(n.c.spin->value());
        n.textos.push_back(TextoGeneral(n.valores.back()));
        fijados.Poner(nivel, n.c, n.valores.back(), n.textos.back());
        RecorrerNiveles(niveles, cuantos, k + 1, fijados, Mostrar, pasos);
        if (parar_)
            return;
    }
    n.completo = true;
}

// The innermost level of a H-W grid after its first pass, LoteHW::Carriles
// runs at a time (the decomposition and the benchmark's sums are the same for
// all). Rows go in the loop's order. A batch with a run that fails goes
// through PasoDirecto one run at a time, which counts the failure and leaves
// the workspace as a failed run does. False when batches do not apply.
bool Experimentos::PasosEnLote(Nivel& n, int nivel, FijacionParametros& fijados, long long& pasos)
{
    Sesion* s = sesion_;
    if (!s || s->item != ItemHW || !s->hw.Listo)
        return false;
    if (s->loteListo < 0)
        s->loteListo = s->lote.Preparar(s->ws, s->hw, s->base.V, s->base.PrevNeg) ? 1 : 0;
    if (s->loteListo == 0)
        return false;
    constexpr int K = LoteHW::Carriles;
    const Parametros fijos = ParametrosDelPaso(*s);
    const size_t total = n.valores.size();
    for (size_t i0 = 0; i0 < total; i0 += K) {
        const int cuantos = static_cast<int>(std::min<size_t>(K, total - i0));
        Parametros p[K];
        double alfa[K], beta[K], phi[K];
        for (int j = 0; j < cuantos; ++j) {
            p[j] = fijos;
            p[j].*n.c.campo = n.valores[i0 + size_t(j)];
            alfa[j] = p[j].AlfaHLT;
            beta[j] = p[j].BetaHLT;
            phi[j] = p[j].PhiHW;
        }
        if (!s->lote.Calcular(alfa, beta, phi, cuantos)) {
            for (int j = 0; j < cuantos; ++j) {
                fijados.Poner(nivel, n.c, n.valores[i0 + size_t(j)], n.textos[i0 + size_t(j)]);
                PasoVariacion(false, pasos);
                if (parar_)
                    return true;
            }
            continue;
        }
        for (int j = 0; j < cuantos; ++j) {
            const EtiquetaCelda etiqueta = EtiquetaDe(s->item, p[j], s->puntos);
            const Medidas& ajuste = s->lote.Ajuste(j);
            s->tablas.AnadirErroresAjuste(etiqueta, ajuste.Columnas(), ajuste.DesvRelativa);
            if (s->lote.ConAcierto()) {
                const Medidas& acierto = s->lote.Acierto(j);
                s->tablas.AnadirErroresAcierto(etiqueta, acierto.Columnas(), acierto.DesvRelativa);
            }
        }
        const size_t ultimo = i0 + size_t(cuantos) - 1;
        fijados.Poner(nivel, n.c, n.valores[ultimo], n.textos[ultimo]);
        s->atrasado = true;
        s->ultimo[0] = alfa[cuantos - 1];
        s->ultimo[1] = beta[cuantos - 1];
        s->ultimo[2] = phi[cuantos - 1];
        pasos += cuantos;
        if (progresoActivo_)
            progresoActivo_->Paso(pasos);
        if (parar_)
            return true; // a stop asked for at a refresh ends the loop after this batch
    }
    return true;
}

void Experimentos::VariarConstantes(std::initializer_list<Constante> constantes, bool Mostrar, long long& pasos)
{
    pasos = 0;
    PasosFallidos = 0;
    std::vector<Nivel> niveles;
    long long total = 1;
    for (const Constante& c : constantes) {
        const long long cuantos = ContarValores(c.desde, c.hasta, c.inc); // a bad step is refused before any runs
        total *= cuantos;
        niveles.push_back({c, cuantos, {}, {}, false});
    }
    Progreso progreso(this, QStringLiteral("Variación de parámetros"), total);
    FijacionParametros fijados(this);
    std::optional<Sesion> sesion;
    if (!Mostrar && v_.Datos().DatosCargados) {
        const int item = v_.ModeloSeleccionado();
        sesion.emplace(v_.Tablas(), item, v_.LeerParametros(item), total);
        sesion->puntos = v_.PuntosSinUsar();
        sesion_ = &*sesion;
    }
    struct Fin {
        Experimentos* e;
        ~Fin()
        {
            if (e->sesion_)
                e->PonerAlDia(*e->sesion_);
            e->sesion_ = nullptr;
        }
    } fin{this};
    RecorrerNiveles(niveles.data(), niveles.size(), 0, fijados, Mostrar, pasos);
}

void Experimentos::VariarAlfaLE(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    VariarConstantes({{v_.Edits().AlfaLE, &Parametros::AlfaLE, desde, hasta, inc}}, Mostrar, pasos);
}

void Experimentos::VariarAlfaTHT(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    VariarConstantes({{v_.Edits().AlfaTHT, &Parametros::AlfaTHT, desde, hasta, inc}}, Mostrar, pasos);
}

void Experimentos::VariarAlfaCroston(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    VariarConstantes({{v_.Edits().AlfaCroston, &Parametros::AlfaCroston, desde, hasta, inc}}, Mostrar, pasos);
}

void Experimentos::VariarHolt(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                              double incBeta, bool Mostrar, long long& pasos)
{
    const VentanaExperimentos::Controles c = v_.Edits();
    VariarConstantes({{c.AlfaHLT, &Parametros::AlfaHLT, desdeAlfa, hastaAlfa, incAlfa},
                      {c.BetaHLT, &Parametros::BetaHLT, desdeBeta, hastaBeta, incBeta}},
                     Mostrar, pasos);
}

void Experimentos::VariarHoltWinters(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta,
                                     double hastaBeta, double incBeta, double desdePhi, double hastaPhi, double incPhi,
                                     bool Mostrar, long long& pasos)
{
    const VentanaExperimentos::Controles c = v_.Edits();
    VariarConstantes({{c.AlfaHLT, &Parametros::AlfaHLT, desdeAlfa, hastaAlfa, incAlfa},
                      {c.BetaHLT, &Parametros::BetaHLT, desdeBeta, hastaBeta, incBeta},
                      {c.PhiHW, &Parametros::PhiHW, desdePhi, hastaPhi, incPhi}},
                     Mostrar, pasos);
}

long long Experimentos::VariarParametros()
{
    const TFormRangoVar* d = v_.DialogoRangos();
    const bool dibujar = d->CBGraficos->isChecked();
    long long pasos = 0;
    // By the parameters the model reads; phi before Holt, as H-W reads both.
    const FichaModelo& f = FichaDe(v_.ModeloSeleccionado());
    if (f.Usa(ParamN))
        VariarN(d->DesdeN->value(), d->HastaN->value(), d->IncN->value(), dibujar, pasos);
    else if (f.Usa(ParamAlfaLE))
        VariarAlfaLE(d->DesdeAlfa->value(), d->HastaAlfa->value(), d->IncAlfa->value(), dibujar, pasos);
    else if (f.Usa(ParamAlfaTHT))
        VariarAlfaTHT(d->DesdeAlfa->value(), d->HastaAlfa->value(), d->IncAlfa->value(), dibujar, pasos);
    else if (f.Usa(ParamPhiHW))
        VariarHoltWinters(d->DesdeAlfa->value(), d->HastaAlfa->value(), d->IncAlfa->value(), d->DesdeBeta->value(),
                          d->HastaBeta->value(), d->IncBeta->value(), d->DesdePhi->value(), d->HastaPhi->value(),
                          d->IncPhi->value(), dibujar, pasos);
    else if (f.Usa(ParamHolt))
        VariarHolt(d->DesdeAlfa->value(), d->HastaAlfa->value(), d->IncAlfa->value(), d->DesdeBeta->value(),
                   d->HastaBeta->value(), d->IncBeta->value(), dibujar, pasos);
    else if (f.Usa(ParamAlfaCroston))
        VariarAlfaCroston(d->DesdeAlfa->value(), d->HastaAlfa->value(), d->IncAlfa->value(), dibujar, pasos);
    // NVS, NVE and DST have nothing to vary.
    return pasos;
}

double Experimentos::RedondearDecimales(int d, double x)
{
    long long potencia = 1;
    for (int k = 0; k < d; ++k)
        potencia *= 10;
    const double entero = std::trunc(x);
    // The default rounding mode takes halves to the even neighbour.
    return entero + std::nearbyint((x - entero) * static_cast<double>(potencia)) / static_cast<double>(potencia);
}

// ---------------------------------------------------------------- ex-ante simulation

void Experimentos::SimularExAnte(int desde, int hasta)
{
    PasosFallidos = 0;
    if (desde < hasta)
        return;
    QSpinBox* SEPuntosSinUsar = v_.Edits().PuntosSinUsar;
    Progreso progreso(this, QStringLiteral("Simulación ex-ante"), static_cast<long long>(desde) - hasta + 1);
    for (long long h = hasta; h <= desde; ++h) {
        // The spin edit keeps h within 0..TotalDatos - 1; its change handler moves the split.
        const int antes = SEPuntosSinUsar->value();
        SEPuntosSinUsar->setValue(static_cast<int>(h));
        if (SEPuntosSinUsar->value() == antes)
            v_.PuntosSinUsarCambiados(); // no change signal, but the split must match all the same
        if (CalcularPaso(true))
            v_.AnadirSerieComparativa();
        progreso.Paso(h - hasta + 1);
        if (parar_)
            break;
    }
}

// ---------------------------------------------------------------- commands

QString Experimentos::TextoInterrupcion() const
{
    if (!UltimoResumen || !UltimoResumen->interrumpido)
        return QString();
    return QStringLiteral("Interrumpido en el paso ") + TextoEntero(UltimoResumen->pasos) + QStringLiteral(" de ") +
           TextoEntero(UltimoResumen->total) + QLatin1Char('.');
}

void Experimentos::AplicarTodos()
{
    UltimoResumen.reset();
    if (!v_.Datos().DatosCargados) {
        v_.MostrarInformacion(kSinDatos);
        return;
    }
    const int modelos = v_.NumModelos();
    PasosFallidos = 0;
    {
        Progreso progreso(this, QStringLiteral("Aplicar todos los métodos"), modelos);
        for (int i = 0; i < modelos; ++i) {
            v_.SeleccionarModelo(i);
            // A model that cannot handle this history is passed over in silence.
            try {
                v_.Calcular(true);
                v_.AnadirSerieComparativa();
            } catch (...) {
                ++PasosFallidos;
            }
            progreso.Paso(i + 1);
            if (parar_)
                break;
        }
    }
    v_.AutoajustarTablas();
    if (const QString parada = TextoInterrupcion(); !parada.isEmpty())
        v_.MostrarInformacion(parada);
    v_.AplicarMostrarAjuste();
}

void Experimentos::VariacionParametros()
{
    UltimoResumen.reset();
    if (!v_.Datos().DatosCargados) {
        v_.MostrarInformacion(kSinDatos);
        return;
    }
    TFormRangoVar* dialogo = v_.DialogoRangos();
    dialogo->MostrarColumnas(v_.ModeloSeleccionado());
    if (EjecutarModal(dialogo) != QDialog::Accepted) {
        v_.AplicarMostrarAjuste();
        return;
    }
    const int primeraFila = v_.Tablas().FilaSiguiente(); // the rows before are other runs'
    const Reloj::time_point inicio = Reloj::now();
    const long long pasos = VariarParametros();
    const Reloj::time_point fin = Reloj::now();
    const double segundos = RedondearDecimales(4, std::chrono::duration<double>(fin - inicio).count());
    const QChar CR(13);
    QString texto = QStringLiteral("Variaciones calculadas.") + CR + QStringLiteral("N = ") + TextoEntero(pasos) + CR +
                    QStringLiteral("T = ") + TextoGeneral(segundos) + QStringLiteral(" segundos");
    if (PasosFallidos > 0)
        texto += CR + QStringLiteral("Fallidas = ") + TextoEntero(PasosFallidos);
    if (const int mejor = v_.Tablas().FilaMenorMSE(primeraFila); mejor > 0) {
        texto += CR + QStringLiteral("Mejor MSE: ") + v_.Tablas().Ajuste()->Celda(ColErrEtiqueta, mejor);
        v_.Tablas().SeleccionarFila(mejor);
    }
    if (const QString parada = TextoInterrupcion(); !parada.isEmpty())
        texto += CR + parada;
    // Fitted before the message, as the other two experiments leave them.
    v_.AutoajustarTablas();
    v_.MostrarInformacion(texto);
    v_.AplicarMostrarAjuste();
}

void Experimentos::SimulacionExAnte()
{
    UltimoResumen.reset();
    if (!v_.Datos().DatosCargados) {
        v_.MostrarInformacion(kSinDatos);
        return;
    }
    TFormSimExAnte* dialogo = v_.DialogoExAnte();
    dialogo->PonerLimite(v_.Datos().TotalDatos);
    QStringList lineas;
    if (EjecutarModal(dialogo) == QDialog::Accepted) {
        const int desde = dialogo->SEDesde->value(), hasta = dialogo->SEHasta->value();
        SimularExAnte(desde, hasta);
        if (PasosFallidos > 0)
            lineas << QStringLiteral("Simulaciones fallidas: ") + TextoEntero(PasosFallidos) + QStringLiteral(" de ") +
                          TextoEntero(desde - hasta + 1) + QLatin1Char('.');
        if (const QString parada = TextoInterrupcion(); !parada.isEmpty())
            lineas << parada;
    }
    v_.AutoajustarTablas();
    if (!lineas.isEmpty())
        v_.MostrarInformacion(lineas.join(QChar(13)));
    v_.AplicarMostrarAjuste();
}

} // namespace tendora
