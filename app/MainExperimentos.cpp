// The three experiments: every model in turn, a grid of parameter values and
// a series of earlier forecast origins. Each step is an ordinary calculation
// that logs its rows in the error tables.
#include "MainUnit.h"

#include "Modal.h"
#include "Numeros.h"
#include "RangoVarUnit.h"
#include "Rejilla.h"
#include "SimExAnteUnit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QProgressDialog>
#include <QSpinBox>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace tendora;

namespace {

using Reloj = std::chrono::steady_clock;

// An indicator the user cannot dismiss: the loops offer no way to stop.
class DialogoProgreso : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

// How many values a smoothing-constant loop takes: Desde + k × Inc for
// k = 0..K, with K = floor((Hasta − Desde) / Inc + 1e-9). The small margin
// keeps Hasta in the range when the quotient comes out a hair below a whole
// number (0.05..0.95 step 0.05 gives 17.999999999999996). Refuses a step that
// is not positive, or so small that the count has no sensible end.
long long ContarValores(double desde, double hasta, double inc)
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

long long ContarValoresN(long long desde, long long hasta, long long inc)
{
    if (inc <= 0)
        throw std::invalid_argument("El incremento de N debe ser mayor que cero.");
    return desde > hasta ? 0 : (hasta - desde) / inc + 1;
}

} // namespace

// Shown only once an experiment has run for a while, and refreshed a few
// times a second at most: each refresh lets the window paint.
struct TFormMain::Progreso {
    Progreso(TFormMain* ventana, const QString& titulo, long long total)
        : ventana_(ventana), titulo_(titulo), total_(total), anterior_(ventana->ProgresoActivo),
          inicio_(Reloj::now()), ultima_(inicio_)
    {
        ventana_->ProgresoActivo = this;
        // One wait cursor for the whole experiment, not one per step.
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Progreso()
    {
        QApplication::restoreOverrideCursor();
        ventana_->ProgresoActivo = anterior_;
    }
    Progreso(const Progreso&) = delete;
    Progreso& operator=(const Progreso&) = delete;

    void Paso(long long hechos)
    {
        const Reloj::time_point ahora = Reloj::now();
        if (!dialogo_) {
            if (ahora - inicio_ < std::chrono::milliseconds(ventana_->EsperaProgresoMs))
                return;
            Crear();
        } else if (ahora - ultima_ < std::chrono::milliseconds(250)) {
            return;
        }
        ultima_ = ahora;
        Mostrar(hechos);
    }

private:
    void Crear()
    {
        dialogo_ = std::make_unique<DialogoProgreso>(ventana_);
        dialogo_->setObjectName("FormProgreso");
        dialogo_->setWindowTitle(titulo_);
        dialogo_->setCancelButton(nullptr);
        dialogo_->setWindowModality(Qt::ApplicationModal);
        dialogo_->setAutoClose(false);
        dialogo_->setAutoReset(false);
        dialogo_->setMinimumDuration(0);
        dialogo_->setRange(0, 1000); // counts beyond int are scaled
        dialogo_->setMinimumWidth(320);
        dialogo_->show();
    }

    void Mostrar(long long hechos)
    {
        ventana_->SincronizarParametros(); // the window is about to be painted
        dialogo_->setLabelText(QStringLiteral("Paso ") + TextoEntero(hechos) + QStringLiteral(" de ") + TextoEntero(total_));
        const int milesimas = total_ > 0 ? static_cast<int>((1000.0 * static_cast<double>(hechos)) / static_cast<double>(total_)) : 0;
        dialogo_->setValue(std::min(milesimas, 1000));
        // A modal progress dialog lets pending events through as its value
        // changes; this also covers the first showing.
        QCoreApplication::processEvents();
    }

    TFormMain* ventana_;
    QString titulo_;
    long long total_;
    Progreso* anterior_;
    Reloj::time_point inicio_;
    Reloj::time_point ultima_;
    std::unique_ptr<DialogoProgreso> dialogo_;
};

// ---------------------------------------------------------------- steps

bool TFormMain::CalcularPaso(bool Mostrar)
{
    // CalcularPrevision without its message: a grid on an intermittent series
    // could otherwise raise hundreds of them. The experiment counts the
    // failures and tells them once, at its end.
    try {
        EjecutarCalculo(Mostrar);
        return true;
    } catch (...) {
        ++PasosFallidos;
        return false;
    }
}

void TFormMain::PasoVariacion(bool Mostrar, long long& pasos)
{
    // A failed run leaves the forecast chart as it was: a copy of it would
    // carry this step's label under an earlier step's forecast.
    if (CalcularPaso(Mostrar) && Mostrar)
        AnadirSerieComparativa();
    ++pasos;
    if (ProgresoActivo)
        ProgresoActivo->Paso(pasos);
}

// ---------------------------------------------------------------- parameter loops

void TFormMain::VariarN(long long desde, long long hasta, long long inc, bool Mostrar, long long& pasos)
{
    pasos = 0;
    PasosFallidos = 0;
    const long long total = ContarValoresN(desde, hasta, inc);
    Progreso progreso(this, QStringLiteral("Variación de parámetros"), total);
    for (long long v = desde; v <= hasta;) {
        SEN->setValue(static_cast<int>(std::clamp<long long>(v, SEN->minimum(), SEN->maximum())));
        PasoVariacion(Mostrar, pasos);
        if (hasta - v < inc)
            break; // the next value is past the last; also no overflow
        v += inc;
    }
}

// ---------------------------------------------------------------- fixed parameter values

double TFormMain::ValorParametro(const QDoubleSpinBox* s) const
{
    for (int k = 0; k < NumParametrosFijados; ++k)
        if (ParametrosFijados[static_cast<size_t>(k)].spin == s)
            return ParametrosFijados[static_cast<size_t>(k)].valor;
    // An emptied box keeps its last value; what the user sees reads as the minimum, 0.
    return s->hasAcceptableInput() ? s->value() : s->minimum();
}

QString TFormMain::TextoParametro(const QDoubleSpinBox* s) const
{
    for (int k = 0; k < NumParametrosFijados; ++k)
        if (ParametrosFijados[static_cast<size_t>(k)].spin == s)
            return ParametrosFijados[static_cast<size_t>(k)].texto;
    return TextoGeneral(ValorParametro(s));
}

void TFormMain::SincronizarParametros()
{
    for (int k = 0; k < NumParametrosFijados; ++k) {
        const ParametroFijado& p = ParametrosFijados[static_cast<size_t>(k)];
        if (p.spin->value() != p.valor)
            p.spin->setValue(p.valor);
    }
}

// The values a loop fixes, one slot per level; at the end (also when the loop
// is left by an error) the edits get the last values set.
struct TFormMain::FijacionParametros {
    explicit FijacionParametros(TFormMain* v) : ventana(v) { ventana->NumParametrosFijados = 0; }
    ~FijacionParametros()
    {
        ventana->SincronizarParametros();
        ventana->NumParametrosFijados = 0;
    }
    FijacionParametros(const FijacionParametros&) = delete;
    FijacionParametros& operator=(const FijacionParametros&) = delete;

    void Poner(int nivel, QDoubleSpinBox* spin, double valor, const QString& texto)
    {
        ParametroFijado& p = ventana->ParametrosFijados[static_cast<size_t>(nivel)];
        p.spin = spin;
        p.valor = valor;
        p.texto = texto;
        ventana->NumParametrosFijados = std::max(ventana->NumParametrosFijados, nivel + 1);
    }

    TFormMain* ventana;
};

namespace {

// One level of a smoothing-constant loop: value k is Desde + k × Inc. Each
// value is given to the spin edit, which rounds it to its decimals and bounds
// it; what the edit then holds is what the model reads and the label writes.
// The same values come out on every pass of an outer level, so the first pass
// keeps what the edit made of them and the later passes only fix those values.
struct Nivel {
    TFormMain::Constante c;
    long long cuantos = 0;
    std::vector<double> valores;
    std::vector<QString> textos;
    bool completo = false;
};

// Every value of level k for each value of the levels outside it.
template <class Paso>
void RecorrerNiveles(std::vector<Nivel>& niveles, size_t k, TFormMain::FijacionParametros& fijados, Paso& paso)
{
    if (k == niveles.size()) {
        paso();
        return;
    }
    Nivel& n = niveles[k];
    const int nivel = static_cast<int>(k);
    if (n.completo) {
        for (size_t i = 0; i < n.valores.size(); ++i) {
            fijados.Poner(nivel, n.c.spin, n.valores[i], n.textos[i]);
            RecorrerNiveles(niveles, k + 1, fijados, paso);
        }
        return;
    }
    for (long long i = 0; i < n.cuantos; ++i) {
        n.c.spin->setValue(n.c.desde + static_cast<double>(i) * n.c.inc);
        n.valores.push_back(n.c.spin->value());
        n.textos.push_back(TextoGeneral(n.valores.back()));
        fijados.Poner(nivel, n.c.spin, n.valores.back(), n.textos.back());
        RecorrerNiveles(niveles, k + 1, fijados, paso);
    }
    n.completo = true;
}

} // namespace

void TFormMain::VariarConstantes(std::initializer_list<Constante> constantes, bool Mostrar, long long& pasos)
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
    auto paso = [&] { PasoVariacion(Mostrar, pasos); };
    RecorrerNiveles(niveles, 0, fijados, paso);
}

void TFormMain::VariarAlfaLE(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    VariarConstantes({{SEAlfaLE, desde, hasta, inc}}, Mostrar, pasos);
}

void TFormMain::VariarAlfaTHT(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    VariarConstantes({{SEAlfaTHT, desde, hasta, inc}}, Mostrar, pasos);
}

void TFormMain::VariarAlfaCroston(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    VariarConstantes({{SEAlfaCroston, desde, hasta, inc}}, Mostrar, pasos);
}

void TFormMain::VariarHolt(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                           double incBeta, bool Mostrar, long long& pasos)
{
    VariarConstantes({{SEAlfaHLT, desdeAlfa, hastaAlfa, incAlfa}, {SEBetaHLT, desdeBeta, hastaBeta, incBeta}},
                     Mostrar, pasos);
}

void TFormMain::VariarHoltWinters(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta,
                                  double hastaBeta, double incBeta, double desdePhi, double hastaPhi, double incPhi,
                                  bool Mostrar, long long& pasos)
{
    VariarConstantes({{SEAlfaHLT, desdeAlfa, hastaAlfa, incAlfa},
                      {SEBetaHLT, desdeBeta, hastaBeta, incBeta},
                      {SEPhiHW, desdePhi, hastaPhi, incPhi}},
                     Mostrar, pasos);
}

long long TFormMain::VariarParametros()
{
    if (!FormRangoVar)
        FormRangoVar = new TFormRangoVar(this);
    const TFormRangoVar* d = FormRangoVar;
    const bool dibujar = d->CBGraficos->isChecked();
    long long pasos = 0;
    // By the parameters the model reads; phi before Holt, as H-W reads both.
    const FichaModelo& f = FichaDe(ModeloSeleccionado());
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

double TFormMain::RedondearDecimales(int d, double x)
{
    long long potencia = 1;
    for (int k = 0; k < d; ++k)
        potencia *= 10;
    const double entero = std::trunc(x);
    // The default rounding mode takes halves to the even neighbour.
    return entero + std::nearbyint((x - entero) * static_cast<double>(potencia)) / static_cast<double>(potencia);
}

// ---------------------------------------------------------------- ex-ante simulation

void TFormMain::SimularExAnte(int desde, int hasta)
{
    PasosFallidos = 0;
    if (desde < hasta)
        return;
    Progreso progreso(this, QStringLiteral("Simulación ex-ante"), static_cast<long long>(desde) - hasta + 1);
    for (long long h = hasta; h <= desde; ++h) {
        // The spin edit keeps h within 0..TotalDatos - 1; its change handler moves the split.
        const int antes = SEPuntosSinUsar->value();
        SEPuntosSinUsar->setValue(static_cast<int>(h));
        if (SEPuntosSinUsar->value() == antes)
            SEPuntosSinUsarChange(); // no change signal, but the split must match all the same
        if (CalcularPaso(true))
            AnadirSerieComparativa();
        progreso.Paso(h - hasta + 1);
    }
}

// ---------------------------------------------------------------- commands

void TFormMain::Aplicartodoslosmtodos1Click()
{
    Proteger([this] {
        if (!Ws.DatosCargados) {
            MostrarInformacion(QStringLiteral("Cargue los datos antes de calcular."));
            return;
        }
        const int modelos = static_cast<int>(RGModeloBotones->buttons().size());
        Progreso progreso(this, QStringLiteral("Aplicar todos los métodos"), modelos);
        for (int i = 0; i < modelos; ++i) {
            SeleccionarModelo(i);
            // A model that cannot handle this history is passed over in silence.
            try {
                EjecutarCalculo(true);
                AnadirSerieComparativa();
            } catch (...) {
            }
            progreso.Paso(i + 1);
        }
        AutoajustarTabla(AdvSGErrAjuste);
        AutoajustarTabla(AdvSGErrAcierto);
        AplicarMostrarAjuste();
    });
}

void TFormMain::Variacindeparmetros1Click()
{
    Proteger([this] {
        if (!Ws.DatosCargados) {
            MostrarInformacion(QStringLiteral("Cargue los datos antes de calcular."));
            return;
        }
        if (!FormRangoVar) // a window built without the program's start
            FormRangoVar = new TFormRangoVar(this);
        FormRangoVar->MostrarColumnas(ModeloSeleccionado());
        if (EjecutarModal(FormRangoVar) != QDialog::Accepted) {
            AplicarMostrarAjuste();
            return;
        }
        const Reloj::time_point inicio = Reloj::now();
        const long long pasos = VariarParametros();
        const Reloj::time_point fin = Reloj::now();
        const double segundos = RedondearDecimales(4, std::chrono::duration<double>(fin - inicio).count());
        const QChar CR(13);
        QString texto = QStringLiteral("Variaciones calculadas.") + CR + QStringLiteral("N = ") + TextoEntero(pasos) +
                        CR + QStringLiteral("T = ") + TextoGeneral(segundos) + QStringLiteral(" segundos");
        if (PasosFallidos > 0)
            texto += CR + QStringLiteral("Fallidas = ") + TextoEntero(PasosFallidos);
        MostrarInformacion(texto);
        AplicarMostrarAjuste();
    });
}

void TFormMain::Simulacinexante1Click()
{
    Proteger([this] {
        if (!Ws.DatosCargados) {
            MostrarInformacion(QStringLiteral("Cargue los datos antes de calcular."));
            return;
        }
        if (!FormSimExAnte)
            FormSimExAnte = new TFormSimExAnte(this);
        FormSimExAnte->PonerLimite(Ws.TotalDatos);
        if (EjecutarModal(FormSimExAnte) == QDialog::Accepted) {
            const int desde = FormSimExAnte->SEDesde->value(), hasta = FormSimExAnte->SEHasta->value();
            SimularExAnte(desde, hasta);
            if (PasosFallidos > 0)
                MostrarInformacion(QStringLiteral("Simulaciones fallidas: ") + TextoEntero(PasosFallidos) +
                                   QStringLiteral(" de ") + TextoEntero(desde - hasta + 1) + QLatin1Char('.'));
        }
        AutoajustarTabla(AdvSGErrAjuste);
        AutoajustarTabla(AdvSGErrAcierto);
        AplicarMostrarAjuste();
    });
}
