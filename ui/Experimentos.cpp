// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Experimentos.h"

#include "data/Numeros.h"
#include "models/Catalogo.h"
#include "ui/ExperimentosProgreso.h"
#include "ui/Modal.h"
#include "ui/RangoVarUnit.h"
#include "ui/Rejilla.h"
#include "ui/SimExAnteUnit.h"
#include "ui/TablasErrores.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace tendora {

namespace {

using Reloj = std::chrono::steady_clock;
using Rango = MotorExperimentos::Rango;

const QString kSinDatos = QStringLiteral("Cargue los datos antes de calcular.");

} // namespace

Experimentos::Experimentos(VentanaExperimentos& ventana, QWidget* dueno, Sesion& sesion, TablasErrores& tablas)
    : v_(ventana), sesion_(sesion), tablas_(tablas), progreso_(std::make_unique<Progreso>(*this, dueno)),
      motor_(sesion, *progreso_)
{
    motor_.AlCalcular = [this] { v_.MostrarCorrida(); };
}

Experimentos::~Experimentos() = default;

std::optional<Experimentos::Resumen> Experimentos::UltimoResumen() const
{
    if (!motor_.UltimoResumen)
        return std::nullopt;
    const MotorExperimentos::Resumen& r = *motor_.UltimoResumen;
    return Resumen{QString::fromStdString(r.titulo), r.pasos, r.total, r.fallidos, r.segundos, r.interrumpido};
}

QString Experimentos::TextoInterrupcion() const
{
    const std::optional<Resumen> r = UltimoResumen();
    if (!r || !r->interrumpido)
        return QString();
    return QStringLiteral("Interrumpido en el paso ") + TextoEntero(r->pasos) + QStringLiteral(" de ") +
           TextoEntero(r->total) + QLatin1Char('.');
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

QString Experimentos::TextoDuracion(double segundos)
{
    // Beyond a few thousand years the count stops meaning anything; kept
    // well inside long long.
    constexpr double techo = 1e11;
    const long long n =
        std::isfinite(segundos) ? std::llround(std::clamp(segundos, 0.0, techo)) : static_cast<long long>(techo);
    const auto par = [](long long a, const char* ua, long long b, const char* ub) {
        QString t = TextoEntero(a) + QLatin1Char(' ') + QLatin1String(ua);
        if (b > 0)
            t += QLatin1Char(' ') + TextoEntero(b) + QLatin1Char(' ') + QLatin1String(ub);
        return t;
    };
    if (n < 60)
        return TextoEntero(n) + QStringLiteral(" s");
    if (n < 3600)
        return par(n / 60, "min", n % 60, "s");
    if (n < 86400)
        return par(n / 3600, "h", n % 3600 / 60, "min");
    return par(n / 86400, "d", n % 86400 / 3600, "h");
}

QString Experimentos::TextoEstimacion(double total, double quedan)
{
    return QStringLiteral("Tiempo estimado: ") + TextoDuracion(total) + QStringLiteral(" (quedan ") +
           TextoDuracion(quedan) + QLatin1Char(')');
}

// ---------------------------------------------------------------- parameter loops

long long Experimentos::Variar(const std::vector<Rango>& niveles, bool Mostrar)
{
    return motor_.Variar(niveles, Mostrar);
}

void Experimentos::VariarN(long long desde, long long hasta, long long inc, bool Mostrar, long long& pasos)
{
    pasos = 0;
    pasos = Variar({{ValorModelo::N, double(desde), double(hasta), double(inc)}}, Mostrar);
}

void Experimentos::VariarAlfaLE(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    pasos = 0;
    pasos = Variar({{ValorModelo::AlfaLE, desde, hasta, inc}}, Mostrar);
}

void Experimentos::VariarAlfaTHT(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    pasos = 0;
    pasos = Variar({{ValorModelo::AlfaTHT, desde, hasta, inc}}, Mostrar);
}

void Experimentos::VariarAlfaCroston(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    pasos = 0;
    pasos = Variar({{ValorModelo::AlfaCroston, desde, hasta, inc}}, Mostrar);
}

void Experimentos::VariarHolt(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                              double incBeta, bool Mostrar, long long& pasos)
{
    pasos = 0;
    pasos = Variar(
        {{ValorModelo::AlfaHLT, desdeAlfa, hastaAlfa, incAlfa}, {ValorModelo::BetaHLT, desdeBeta, hastaBeta, incBeta}},
        Mostrar);
}

void Experimentos::VariarHoltWinters(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta,
                                     double hastaBeta, double incBeta, double desdePhi, double hastaPhi, double incPhi,
                                     bool Mostrar, long long& pasos)
{
    pasos = 0;
    pasos = Variar({{ValorModelo::AlfaHLT, desdeAlfa, hastaAlfa, incAlfa},
                    {ValorModelo::BetaHLT, desdeBeta, hastaBeta, incBeta},
                    {ValorModelo::PhiHW, desdePhi, hastaPhi, incPhi}},
                   Mostrar);
}

namespace {
std::vector<Rango> NivelesDelDialogo(const TFormRangoVar* d, int item)
{
    MotorExperimentos::Rangos r;
    r.desdeN = d->DesdeN->value();
    r.hastaN = d->HastaN->value();
    r.incN = d->IncN->value();
    const QDoubleSpinBox* campos[3][3] = {{d->DesdeAlfa, d->HastaAlfa, d->IncAlfa},
                                          {d->DesdeBeta, d->HastaBeta, d->IncBeta},
                                          {d->DesdePhi, d->HastaPhi, d->IncPhi}};
    for (int k = 0; k < 3; ++k) {
        r.desde[k] = campos[k][0]->value();
        r.hasta[k] = campos[k][1]->value();
        r.inc[k] = campos[k][2]->value();
    }
    return MotorExperimentos::RangosDelModelo(item, r);
}
} // namespace

long long Experimentos::VariarParametros()
{
    const TFormRangoVar* d = v_.DialogoRangos();
    const std::vector<Rango> niveles = NivelesDelDialogo(d, sesion_.ModeloSeleccionado());
    // NVS, NVE and DST have nothing to vary.
    return niveles.empty() ? 0 : Variar(niveles, d->CBGraficos->isChecked());
}

// ---------------------------------------------------------------- ex-ante simulation

void Experimentos::SimularExAnte(int desde, int hasta)
{
    motor_.SimularExAnte(desde, hasta);
}

// ---------------------------------------------------------------- commands

void Experimentos::AplicarTodos()
{
    motor_.UltimoResumen.reset();
    if (!sesion_.DatosCargados()) {
        v_.MostrarInformacion(kSinDatos);
        return;
    }
    motor_.AplicarTodos();
    tablas_.AutoajustarTablas();
    if (const QString parada = TextoInterrupcion(); !parada.isEmpty())
        v_.MostrarInformacion(parada);
    v_.AplicarMostrarAjuste();
}

void Experimentos::VariacionParametros()
{
    motor_.UltimoResumen.reset();
    if (!sesion_.DatosCargados()) {
        v_.MostrarInformacion(kSinDatos);
        return;
    }
    TFormRangoVar* dialogo = v_.DialogoRangos();
    dialogo->MostrarColumnas(sesion_.ModeloSeleccionado());
    if (EjecutarModal(dialogo) != QDialog::Accepted) {
        v_.AplicarMostrarAjuste();
        return;
    }
    // Every drawn step adds a series to the comparison chart: many are told and asked first.
    if (dialogo->CBGraficos->isChecked()) {
        const long long series =
            MotorExperimentos::PasosVariacion(NivelesDelDialogo(dialogo, sesion_.ModeloSeleccionado()));
        if (series > MaximoSeriesDibujadas &&
            !v_.Confirmar(QStringLiteral("Con «Dibujar los gráficos resultantes» la variación añadirá %1 series al "
                                         "gráfico comparativo, y cada una se dibuja. ¿Continuar?")
                              .arg(series > MotorExperimentos::MaximoPasos ? QStringLiteral("demasiadas")
                                                                           : TextoEntero(series)))) {
            v_.AplicarMostrarAjuste();
            return;
        }
    }
    const int primeraFila = tablas_.FilaSiguiente(); // the rows before are other runs'
    const Reloj::time_point inicio = Reloj::now();
    const long long pasos = VariarParametros();
    const Reloj::time_point fin = Reloj::now();
    const double segundos = RedondearDecimales(4, std::chrono::duration<double>(fin - inicio).count());
    const QChar CR(13);
    QString texto = QStringLiteral("Variaciones calculadas.") + CR + QStringLiteral("N = ") + TextoEntero(pasos) + CR +
                    QStringLiteral("T = ") + TextoGeneral(segundos) + QStringLiteral(" segundos");
    if (PasosFallidos() > 0)
        texto += CR + QStringLiteral("Fallidas = ") + TextoEntero(PasosFallidos());
    if (const int mejor = tablas_.FilaMenorMSE(primeraFila); mejor > 0) {
        texto += CR + QStringLiteral("Mejor MSE: ") + tablas_.Ajuste()->Celda(ColErrEtiqueta, mejor);
        tablas_.SeleccionarFila(mejor);
    }
    if (const QString parada = TextoInterrupcion(); !parada.isEmpty())
        texto += CR + parada;
    // Fitted before the message, as the other two experiments leave them.
    tablas_.AutoajustarTablas();
    v_.MostrarInformacion(texto);
    v_.AplicarMostrarAjuste();
}

void Experimentos::SimulacionExAnte()
{
    motor_.UltimoResumen.reset();
    if (!sesion_.DatosCargados()) {
        v_.MostrarInformacion(kSinDatos);
        return;
    }
    TFormSimExAnte* dialogo = v_.DialogoExAnte();
    dialogo->PonerLimite(sesion_.Datos().TotalDatos);
    QStringList lineas;
    if (EjecutarModal(dialogo) == QDialog::Accepted) {
        const int desde = dialogo->SEDesde->value(), hasta = dialogo->SEHasta->value();
        SimularExAnte(desde, hasta);
        if (PasosFallidos() > 0)
            lineas << QStringLiteral("Simulaciones fallidas: ") + TextoEntero(PasosFallidos()) +
                          QStringLiteral(" de ") + TextoEntero(desde - hasta + 1) + QLatin1Char('.');
        if (const QString parada = TextoInterrupcion(); !parada.isEmpty())
            lineas << parada;
    }
    tablas_.AutoajustarTablas();
    if (!lineas.isEmpty())
        v_.MostrarInformacion(lineas.join(QChar(13)));
    v_.AplicarMostrarAjuste();
}

const ResultadoAutomatico& Experimentos::PrevisionAutomatica(Criterio c)
{
    // No experiment's loop runs: the status line tells this command's own result.
    motor_.UltimoResumen.reset();
    return sesion_.PrevisionAutomatica(c, progreso_.get());
}

} // namespace tendora
