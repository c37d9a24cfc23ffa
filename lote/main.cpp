// SPDX-License-Identifier: GPL-3.0-or-later
// tendora-lote: the automatic forecast of many monthly series from the
// command line, one file per series, as tab-separated text.
#include "data/EscrituraSegura.h"
#include "lote/Serie.h"
#include "models/Catalogo.h"
#include "models/Sesion.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

using namespace tendora;
using namespace tendora::lote;

namespace {

constexpr int SalidaBien = 0;
constexpr int SalidaFicheros = 1;
constexpr int SalidaUso = 2;

int HilosPorOmision()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

QByteArray TextoUso()
{
    QByteArray t = QStringLiteral("Uso: tendora-lote [opciones] FICHERO...\n"
                                  "\n"
                                  "Prevé cada serie mensual con el pronóstico automático de Tendora y escribe, por\n"
                                  "cada mes previsto, la previsión y sus intervalos del 80 % y del 95 % como texto\n"
                                  "separado por tabuladores, con punto decimal.\n"
                                  "\n"
                                  "Cada FICHERO es una serie: un texto de datos (una línea por mes: año, mes y\n"
                                  "valor separados por tabuladores, con coma o punto decimal) o un fichero .csv,\n"
                                  ".tsv, .xlsx u .ods, que se lee como al importarlo (su primera hoja con datos).\n"
                                  "\n"
                                  "Opciones:\n"
                                  "  --horizonte H   meses que prever, de 0 a 999 (por omisión, 12)\n"
                                  "  --modelo M      auto (por omisión): el mejor candidato según el criterio, un\n"
                                  "                  modelo o la media de los mejores; o uno de NVS, NVE, MMS,\n"
                                  "                  MMD, LES, LED, DST, THT, HLT, H-W, CRT, S-B, TSB, con\n"
                                  "                  sus constantes ajustadas\n"
                                  "  --criterio C    error de origen móvil que se minimiza: MASE (por omisión),\n"
                                  "                  sMAPE o RMSE\n"
                                  "  --hilos N       series que se prevén a la vez (por omisión, una por núcleo: %1)\n"
                                  "  --salida F      escribe el resultado en el fichero F y no en la salida estándar\n"
                                  "  --help          muestra esta ayuda\n"
                                  "\n"
                                  "Estado de salida: 0 si se han previsto todas las series, 1 si alguna no se ha\n"
                                  "podido leer o prever (las demás se prevén igual), 2 si la orden no es válida.\n")
                       .arg(HilosPorOmision())
                       .toUtf8();
    return t;
}

void Escribir(FILE* f, const QByteArray& b)
{
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
}

// A usage error: what is wrong, then the usage text, and status 2.
[[noreturn]] void ErrorUso(const QString& mensaje)
{
    Escribir(stderr, (QStringLiteral("tendora-lote: ") + mensaje + QLatin1Char('\n')).toUtf8());
    Escribir(stderr, "\n" + TextoUso());
    std::exit(SalidaUso);
}

// A whole number from first to last, no sign, spaces or decimals.
bool Entero(const std::string& s, int minimo, int maximo, int* n)
{
    const char* fin = s.data() + s.size();
    const auto r = std::from_chars(s.data(), fin, *n);
    return !s.empty() && r.ec == std::errc() && r.ptr == fin && *n >= minimo && *n <= maximo;
}

struct Opciones {
    Peticion Pet;
    int Hilos = HilosPorOmision();
    QString Salida;
    QStringList Ficheros;
};

Opciones LeerOpciones(int argc, char** argv)
{
    Opciones o;
    bool finOpciones = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (finOpciones || arg.size() < 2 || arg[0] != '-') {
            o.Ficheros.append(QFile::decodeName(argv[i]));
            continue;
        }
        if (arg == "--") {
            finOpciones = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            Escribir(stdout, TextoUso());
            std::fflush(stdout);
            std::exit(SalidaBien);
        }
        // --opcion VALOR or --opcion=VALOR.
        std::string nombre = arg, valor;
        bool conValor = false;
        if (const size_t igual = arg.find('='); igual != std::string::npos) {
            nombre = arg.substr(0, igual);
            valor = arg.substr(igual + 1);
            conValor = true;
        }
        const QString qnombre = QString::fromStdString(nombre);
        if (nombre != "--horizonte" && nombre != "--modelo" && nombre != "--criterio" && nombre != "--hilos" &&
            nombre != "--salida")
            ErrorUso(QStringLiteral("opción desconocida: %1").arg(QString::fromLocal8Bit(argv[i])));
        if (!conValor) {
            if (i + 1 >= argc)
                ErrorUso(QStringLiteral("falta el valor de %1.").arg(qnombre));
            valor = argv[++i];
        }
        const QString qvalor = QString::fromLocal8Bit(valor.c_str());
        if (nombre == "--horizonte") {
            if (!Entero(valor, 0, Sesion::MaximoHorizonte, &o.Pet.Horizonte))
                ErrorUso(QStringLiteral("--horizonte: se esperaba un número entero de 0 a %1 y se lee «%2».")
                             .arg(Sesion::MaximoHorizonte)
                             .arg(qvalor));
        } else if (nombre == "--hilos") {
            if (!Entero(valor, 1, 1024, &o.Hilos))
                ErrorUso(
                    QStringLiteral("--hilos: se esperaba un número entero de 1 a 1024 y se lee «%1».").arg(qvalor));
        } else if (nombre == "--modelo") {
            o.Pet.Modelo = -2;
            if (qvalor.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
                o.Pet.Modelo = -1;
            for (int k = 0; k <= ItemTSB; ++k) {
                const std::string_view c = CodigoCandidato(k);
                if (qvalor.compare(QLatin1String(c.data(), qsizetype(c.size())), Qt::CaseInsensitive) == 0)
                    o.Pet.Modelo = k;
            }
            if (o.Pet.Modelo == -2)
                ErrorUso(
                    QStringLiteral("--modelo: se esperaba auto o el código de un modelo y se lee «%1».").arg(qvalor));
        } else if (nombre == "--criterio") {
            bool hallado = false;
            for (Criterio c : {Criterio::MASE, Criterio::sMAPE, Criterio::RMSE}) {
                const std::string_view t = NombreCriterio(c);
                if (qvalor.compare(QLatin1String(t.data(), qsizetype(t.size())), Qt::CaseInsensitive) == 0) {
                    o.Pet.Crit = c;
                    hallado = true;
                }
            }
            if (!hallado)
                ErrorUso(QStringLiteral("--criterio: se esperaba MASE, sMAPE o RMSE y se lee «%1».").arg(qvalor));
        } else {
            if (valor.empty())
                ErrorUso(QStringLiteral("--salida: falta el nombre del fichero."));
            o.Salida = QFile::decodeName(valor.c_str());
        }
    }
    if (o.Ficheros.isEmpty())
        ErrorUso(QStringLiteral("falta algún FICHERO que prever."));
    return o;
}

// What one file gave: its rows, or the messages that say why not.
struct Trabajo {
    QByteArray Filas;
    QByteArray Mensajes; // for standard error, one line each
    bool Fallido = false;
    bool Listo = false;
};

// The series' name in the first column: the file's name without folder or
// extension, with no tab or line break to break the columns.
QString NombreSerie(const QString& ruta)
{
    QString n = QFileInfo(ruta).completeBaseName();
    for (QChar& c : n)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return n;
}

Trabajo Prever(const QString& ruta, const Peticion& p)
{
    Trabajo t;
    QStringList mensajes;
    try {
        const std::vector<Registro> registros = LeerSerie(ruta, &mensajes);
        t.Filas = PreverSerie(ruta, NombreSerie(ruta), registros, p);
    } catch (const ErrorSerie& e) {
        mensajes.append(e.Mensaje);
        t.Fallido = true;
    } catch (const std::exception& e) {
        // A fault in a model must not take the other series with it.
        mensajes.append(QStringLiteral("%1: no se ha podido prever: %2").arg(ruta, QString::fromUtf8(e.what())));
        t.Fallido = true;
    }
    for (const QString& m : mensajes)
        t.Mensajes += m.toUtf8() + '\n';
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    const Opciones o = LeerOpciones(argc, argv);
    const size_t total = size_t(o.Ficheros.size());
    const bool progreso = isatty(STDERR_FILENO) != 0;

    // A simple queue: each thread takes the next file; the results are
    // written in the order of the command line as soon as each one's turn comes.
    std::vector<Trabajo> trabajos(total);
    std::atomic<size_t> siguiente{0};
    std::mutex m;
    std::condition_variable cv;
    size_t hechos = 0;
    auto obrero = [&] {
        for (size_t i; (i = siguiente++) < total;) {
            Trabajo t = Prever(o.Ficheros[qsizetype(i)], o.Pet);
            {
                const std::lock_guard<std::mutex> l(m);
                trabajos[i] = std::move(t);
                trabajos[i].Listo = true;
                ++hechos;
            }
            cv.notify_all();
        }
    };
    std::vector<std::thread> hilos;
    const size_t nHilos = std::min(size_t(o.Hilos), total);
    for (size_t k = 0; k < nHilos; ++k)
        hilos.emplace_back(obrero);

    const bool aFichero = !o.Salida.isEmpty();
    QByteArray salida = Cabecera();
    if (!aFichero) {
        Escribir(stdout, salida);
        salida.clear();
    }
    bool fallos = false;
    size_t mostrados = size_t(-1);
    for (size_t i = 0; i < total; ++i) {
        Trabajo t;
        {
            std::unique_lock<std::mutex> l(m);
            cv.wait(l, [&] {
                if (progreso && hechos != mostrados) {
                    mostrados = hechos;
                    Escribir(stderr, QByteArray("\r") + QByteArray::number(qulonglong(hechos)) + '/' +
                                         QByteArray::number(qulonglong(total)) + " series");
                }
                return trabajos[i].Listo;
            });
            t = std::move(trabajos[i]);
            trabajos[i] = Trabajo();
        }
        if (!t.Mensajes.isEmpty())
            Escribir(stderr, progreso ? "\r\x1b[K" + t.Mensajes : t.Mensajes);
        fallos = fallos || t.Fallido;
        if (aFichero)
            salida += t.Filas;
        else
            Escribir(stdout, t.Filas);
    }
    for (std::thread& h : hilos)
        h.join();
    if (progreso)
        Escribir(stderr, QByteArray("\r") + QByteArray::number(qulonglong(total)) + '/' +
                             QByteArray::number(qulonglong(total)) + " series\n");

    if (aFichero) {
        try {
            EscribirFicheroSeguro(o.Salida, salida);
        } catch (const ErrorEscritura& e) {
            Escribir(stderr, QByteArray("tendora-lote: ") + e.what() + '\n');
            return SalidaFicheros;
        }
    } else if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Escribir(stderr, QStringLiteral("tendora-lote: no se ha podido escribir la salida estándar.\n").toUtf8());
        return SalidaFicheros;
    }
    return fallos ? SalidaFicheros : SalidaBien;
}
