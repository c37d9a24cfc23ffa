// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic forecast on data-text files: time per series and, with
// --reserva H, the accuracy and interval coverage on the last H months held
// out (mean sMAPE, mean MASE with the seasonal-naïve scale of the shortened
// history, and the share of held-out values inside the 80 % and 95 % bands).
// Core only: what the command line and the window run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/Carga.h"
#include "data/FicheroEntrada.h"
#include "models/Automatico.h"
#include "models/Sesion.h"

using namespace tendora;

namespace {

// Read as "Cargar" reads the data text; the history laid out as the session lays it.
bool Leer(const char* ruta, std::vector<Registro>& registros)
{
    try {
        registros = LeerRegistros(DecodificarTexto(LeerFicheroEntrada(QString::fromLocal8Bit(ruta))));
    } catch (const std::exception&) {
        return false;
    }
    return !registros.empty();
}

} // namespace

int main(int argc, char** argv)
{
    int H = 18;
    int reserva = 0;
    bool detalle = false;
    int combinados = 0;
    int solo = -1;
    Criterio crit = Criterio::MASE;
    std::vector<const char*> ficheros;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--reserva") && i + 1 < argc)
            reserva = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--horizonte") && i + 1 < argc)
            H = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--detalle"))
            detalle = true;
        else if (!std::strcmp(argv[i], "--solo") && i + 1 < argc)
            solo = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--smape"))
            crit = Criterio::sMAPE;
        else
            ficheros.push_back(argv[i]);
    }
    double sumaS = 0, sumaM = 0, tiempo = 0;
    long long dentro80 = 0, dentro95 = 0, total = 0;
    int series = 0, conMASE = 0, conMaxima = 0, cubiertas = 0;
    double sumaMaxima = 0, sumaReservada = 0;
    std::vector<int> ganadores(ItemTSB + 1, 0);
    for (const char* ruta : ficheros) {
        std::vector<Registro> registros;
        if (!Leer(ruta, registros)) {
            std::fprintf(stderr, "%s: no se pudo leer\n", ruta);
            continue;
        }
        std::vector<double> y;
        for (const Registro& r : registros)
            y.push_back(r.Valor);
        const int n = int(y.size()) - reserva;
        if (n < 3)
            continue;
        registros.resize(size_t(n));
        const Espacio e = Sesion().Preparar(registros);
        const auto t0 = std::chrono::steady_clock::now();
        ResultadoAutomatico r;
        if (solo >= 0) {
            Evaluador ev(e);
            r.Plan = ColocarOrigenes(n, reserva > 0 ? reserva : H);
            r.Ranking.push_back(AjustarModelo(ev, solo, r.Plan, reserva > 0 ? reserva : H, crit, false));
            if (r.Ranking[0].Valido) {
                r.Ganador = 0;
                r.Prevision = PreverCandidato(ev, r.Ranking[0], reserva > 0 ? reserva : H);
                r.Intervalos = IntervalosPrevision(ev, r.Ranking[0].Errores, r.Prevision, false);
            }
        } else {
            r = PrevisionAutomatica(e, reserva > 0 ? reserva : H, crit, false);
            Evaluador ev(e);
            r.DemandaMaxima = DemandaMaximaDe(ev, r);
        }
        const double dt = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        tiempo += dt;
        if (r.Ganador < 0) {
            std::fprintf(stderr, "%s: sin candidato\n", ruta);
            continue;
        }
        const Candidato& g = r.Ranking[size_t(r.Ganador)];
        combinados += g.EsCombinacion();
        const std::vector<double>& prevision = r.Prevision;
        ++ganadores[size_t(g.Item)];
        ++series;
        if (reserva > 0) {
            double s = 0, a = 0, suma = 0;
            for (int h = 0; h < reserva; ++h) {
                const double real = y[size_t(n + h)];
                suma += real;
                const double f = prevision[size_t(h)];
                const double d = std::fabs(real) + std::fabs(f);
                s += d > 0 ? 200 * std::fabs(real - f) / d : 0;
                a += std::fabs(real - f);
                const Intervalo& b = r.Intervalos[size_t(h)];
                dentro80 += real >= b.Inf80 && real <= b.Sup80;
                dentro95 += real >= b.Inf95 && real <= b.Sup95;
                ++total;
            }
            s /= reserva;
            a /= reserva;
            // The stock figure against the held-out months' total.
            if (std::isfinite(r.DemandaMaxima)) {
                ++conMaxima;
                cubiertas += suma <= r.DemandaMaxima;
                sumaMaxima += r.DemandaMaxima;
                sumaReservada += suma;
            }
            const double escala = EscalaMASE(y.data(), n, false);
            sumaS += s;
            if (escala > 0) {
                sumaM += a / escala;
                ++conMASE;
            }
            if (detalle)
                std::printf("%-40s %-24s sMAPE %7.3f MASE %7.3f  %.1f ms\n", ruta, g.Etiqueta.c_str(), s,
                            escala > 0 ? a / escala : NAN, dt * 1e3);
        } else if (detalle) {
            std::printf("%-40s %-24s %s %.4f  %.1f ms\n", ruta, g.Etiqueta.c_str(),
                        std::string(NombreCriterio(crit)).c_str(), g.Valor, dt * 1e3);
        }
    }
    std::printf("series %d, %.2f ms por serie\n", series, series ? tiempo / series * 1e3 : 0.0);
    if (reserva > 0 && series > 0)
        std::printf("sMAPE medio %.3f  MASE medio %.4f  cobertura 80 %% %.1f  95 %% %.1f\n", sumaS / series,
                    conMASE ? sumaM / conMASE : NAN, 100.0 * dentro80 / total, 100.0 * dentro95 / total);
    if (conMaxima > 0)
        std::printf("demanda máxima 95 %% en el horizonte: cubre el total reservado en el %.1f %% de %d series; "
                    "media %.2f (total reservado medio %.2f)\n",
                    100.0 * cubiertas / conMaxima, conMaxima, sumaMaxima / conMaxima, sumaReservada / conMaxima);
    std::printf("combinaciones %d; ganadores:", combinados);
    for (int i = 0; i <= ItemTSB; ++i)
        std::printf(" %s %d", std::string(CodigoCandidato(i)).c_str(), ganadores[size_t(i)]);
    std::printf("\n");
}
