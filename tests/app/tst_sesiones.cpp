// SPDX-License-Identifier: GPL-3.0-or-later
// Random sessions over the main window: seeded runs of the commands a user
// gives (open, import, edit the data text, load, choose a model and type its
// parameters, calculate, compare, the experiments with their dialogs and
// stops, point drags, exports, page switches), each through the real menu
// item, tool button or control, every dialog answered as the user would.
// After every step nothing non-finite shows anywhere, nothing is left half
// done, and the step finished in time.
//
// TENDORA_SESIONES, TENDORA_PASOS: how many sessions of how many steps;
// TENDORA_PRIMERA_SEMILLA: the seed of the first (the others follow);
// TENDORA_SEMILLA=N runs session N alone, as a failure report says;
// TENDORA_VIGIA_S: seconds a step may take; TENDORA_SIN_CONOCIDOS=1 (or a
// list, see Conocidos) leaves out the inputs of faults still being mended
// elsewhere; TENDORA_GRANDES=0, 1 or 2: the million-record file never, now
// and then, or opened first; TENDORA_DETALLE=1 prints
// every session's steps, not only a failing one's.
#include "AyudasSesiones.h"
#include "SesionVentana.h"

#include "app/Aplicacion.h"

#include <QTemporaryDir>

#include <csignal>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

using namespace prueba;

namespace {

// What a crash report prints: the session's seed and its steps so far.
std::string g_informe;
volatile std::sig_atomic_t g_informado = 0;

void Informar()
{
    if (g_informado)
        return;
    g_informado = 1;
    const char cabecera[] = "\n*** La sesión terminó de golpe. Último estado:\n";
    [[maybe_unused]] auto a = ::write(2, cabecera, sizeof cabecera - 1);
    [[maybe_unused]] auto b = ::write(2, g_informe.data(), g_informe.size());
}

void AlSenal(int senal)
{
    Informar();
    std::signal(senal, SIG_DFL);
    std::raise(senal);
}

void Decir(const QString& texto)
{
    std::fputs(texto.toLocal8Bit().constData(), stderr);
}

int Entorno(const char* nombre, int porDefecto)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(nombre, &ok);
    return ok ? v : porDefecto;
}

} // namespace

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(s, AlSenal);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(Informar);
#endif

    Opciones op;
    op.pasos = Entorno("TENDORA_PASOS", 50);
    op.conocidos.fuera = qEnvironmentVariable("TENDORA_SIN_CONOCIDOS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    op.ejemplos = QStringLiteral(TENDORA_EJEMPLOS);
    op.grandes = Entorno("TENDORA_GRANDES", 1);
    if (op.grandes == 0)
        op.conocidos.fuera << QStringLiteral("millon"); // not even written
    int sesiones = Entorno("TENDORA_SESIONES", 4);
    uint64_t primera = uint64_t(Entorno("TENDORA_PRIMERA_SEMILLA", 1));
    if (qEnvironmentVariableIsSet("TENDORA_SEMILLA")) {
        primera = uint64_t(Entorno("TENDORA_SEMILLA", 1));
        sesiones = 1;
    }

    QTemporaryDir corpusDir;
    const Corpus corpus = CrearCorpus(corpusDir.path(), op.ejemplos, op.conocidos);
    Vigia vigia(Entorno("TENDORA_VIGIA_S", 20));

    int fallidas = 0;
    long long pasos = 0;
    const auto inicio = std::chrono::steady_clock::now();
    for (uint64_t semilla = primera; semilla < primera + uint64_t(sesiones); ++semilla) {
        // Said before it runs: a sanitizer's report that ends the process follows it.
        Decir(QStringLiteral("== semilla %1\n").arg(semilla));
        const auto t0 = std::chrono::steady_clock::now();
        Sesion s(semilla, corpus, op, vigia, g_informe);
        const bool bien = s.Ejecutar();
        pasos += s.PasosHechos();
        const double seg = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        Decir(QStringLiteral("sesión %1: %2 pasos, %3 s, %4\n")
                  .arg(semilla)
                  .arg(s.PasosHechos())
                  .arg(QString::number(seg, 'f', 1), bien ? QStringLiteral("bien") : QStringLiteral("FALLO")));
        if (qEnvironmentVariableIntValue("TENDORA_DETALLE") && bien)
            Decir(s.Informe() + QLatin1Char('\n'));
        if (!bien) {
            ++fallidas;
            Decir(QStringLiteral("%1\nRepetir: TENDORA_SEMILLA=%2 TENDORA_PASOS=%3 %4\n\n")
                      .arg(s.Informe())
                      .arg(semilla)
                      .arg(op.pasos)
                      .arg(QString::fromLocal8Bit(argv[0])));
        }
    }
    const double seg = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    Decir(QStringLiteral("%1 sesiones, %2 pasos, %3 s; %4 con fallos\n")
              .arg(sesiones)
              .arg(pasos)
              .arg(QString::number(seg, 'f', 1))
              .arg(fallidas));
    return fallidas == 0 ? 0 : 1;
}
