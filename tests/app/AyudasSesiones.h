// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the random sessions over the main window share: the seeded choices,
// the watchdog that ends a step that never finishes, the corpus of files a
// user may open, and telling a non-finite number in a text.
#include "Ayudas.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace prueba {

// Every choice of a session comes from its seed, so a failing session runs
// again the same way from the seed alone.
class Azar {
public:
    explicit Azar(uint64_t semilla) : g_(semilla) { }
    int Entero(int desde, int hasta) // both included
    {
        return static_cast<int>(desde + static_cast<int64_t>(g_() % uint64_t(int64_t(hasta) - desde + 1)));
    }
    double Real(double desde, double hasta) { return desde + (hasta - desde) * double(g_() >> 11) * 0x1.0p-53; }
    bool Moneda(double p) { return Real(0.0, 1.0) < p; }
    template <class T>
    const T& Uno(const std::vector<T>& v)
    {
        return v[size_t(Entero(0, int(v.size()) - 1))];
    }
    // An index by weight.
    int Peso(const std::vector<int>& pesos)
    {
        int total = 0;
        for (int p : pesos)
            total += p;
        int r = Entero(0, total - 1);
        for (size_t i = 0; i < pesos.size(); ++i)
            if ((r -= pesos[i]) < 0)
                return int(i);
        return 0;
    }
    uint64_t Bruto() { return g_(); }

private:
    std::mt19937_64 g_;
};

// Texts that show a number that is not one: "nan", "inf", "-inf", "∞", as a
// word of their own ("información" is Spanish, not a number, and neither are
// the interval headers "Inf. 80" and "Inf. 95", lower bounds).
inline bool NoFinitoEnTexto(const QString& t, QString* visto = nullptr)
{
    static const QRegularExpression patron(
        QStringLiteral("(?<![\\p{L}\\d_])[-+]?(nan|inf|infinity)(?![\\p{L}\\d_]|\\. (80|95)\\b)|\u221E"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = patron.match(t);
    if (m.hasMatch() && visto)
        *visto = m.captured(0);
    return m.hasMatch();
}

// Ends the process when one step runs past its time, saying which: a hang
// fails the run with its seed instead of waiting for the test's timeout.
class Vigia {
public:
    explicit Vigia(int segundos) : limite_(segundos), hilo_([this] { Vigilar(); }) { }
    ~Vigia()
    {
        {
            std::lock_guard<std::mutex> l(m_);
            fin_ = true;
        }
        cv_.notify_all();
        hilo_.join();
    }
    void Empezar(const std::string& que)
    {
        std::lock_guard<std::mutex> l(m_);
        paso_ = que;
        inicio_ = Reloj::now();
        activo_ = true;
    }
    void Terminar()
    {
        std::lock_guard<std::mutex> l(m_);
        activo_ = false;
    }
    // What the report prints besides the step: the session's steps so far.
    void PonerContexto(const std::string& texto)
    {
        std::lock_guard<std::mutex> l(m_);
        contexto_ = texto;
    }
    int Limite() const { return limite_; }

private:
    using Reloj = std::chrono::steady_clock;
    void Vigilar()
    {
        std::unique_lock<std::mutex> l(m_);
        while (!fin_) {
            cv_.wait_for(l, std::chrono::milliseconds(200));
            if (activo_ && Reloj::now() - inicio_ > std::chrono::seconds(limite_)) {
                const std::string aviso = "\n*** PASO SIN TERMINAR tras " + std::to_string(limite_) + " s: " + paso_ +
                                          "\n" + contexto_ + "\n";
                std::fputs(aviso.c_str(), stderr);
                std::fflush(stderr);
                std::signal(SIGABRT, SIG_DFL); // told already
                std::abort();
            }
        }
    }
    int limite_;
    std::mutex m_;
    std::condition_variable cv_;
    bool fin_ = false;
    bool activo_ = false;
    Reloj::time_point inicio_;
    std::string paso_, contexto_;
    std::thread hilo_;
};

// The inputs of faults being mended elsewhere, each left out on request
// while they are: "fichero" (a FIFO, a device), "diminutos" (values near
// 1e-15 .. 1e-290), "fecha" (a year or month beyond an int), "arrastre" (a
// drag after the text was cut), "millon" (a million records), "n" (N beyond
// any series); "1" or "todos" leaves out all of them.
struct Conocidos {
    QStringList fuera;
    bool Con(const char* nombre) const
    {
        return !fuera.contains(QLatin1String("1")) && !fuera.contains(QLatin1String("todos")) &&
               !fuera.contains(QLatin1String(nombre));
    }
};

// A data text of n months from January 2000 with the values given.
template <class F>
QString TextoSerie(int n, F valor, int anio = 2000, int mes = 1, QChar decimal = QLatin1Char('.'))
{
    QString t;
    t.reserve(n * 16);
    for (int i = 1; i <= n; ++i) {
        QString v = QString::number(valor(i), 'g', 15);
        if (decimal != QLatin1Char('.'))
            v.replace(QLatin1Char('.'), decimal);
        t += QString::number(anio) + QLatin1Char('\t') + QString::number(mes) + QLatin1Char('\t') + v +
             QLatin1Char('\n');
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return t;
}

// The kinds of series a session makes up: every model meets them.
enum class Forma { Estacional, Diminuta15, Diminuta290, Enorme, Ceros, Negativa, Intermitente, Constante, Escalones };

inline double ValorForma(Forma f, int i, uint64_t sal)
{
    const double estacional = 100.0 + 2.0 * i + 15.0 * std::sin(i * 3.14159265358979 / 6.0) + double((i * 7 + sal) % 5);
    switch (f) {
    case Forma::Estacional: return estacional;
    case Forma::Diminuta15: return estacional * 1e-17;
    case Forma::Diminuta290: return estacional * 1e-292;
    case Forma::Enorme: return estacional * 1e298;
    case Forma::Ceros: return 0.0;
    case Forma::Negativa: return -estacional + 40.0;
    case Forma::Intermitente: return ((i * 37 + sal) % 7 == 0) ? double((i + sal) % 9 + 1) : 0.0;
    case Forma::Constante: return 42.5;
    case Forma::Escalones: return double(((i - 1) / 6) % 3) * 10.0;
    }
    return 0.0;
}

// Files a user may open or import: the sample files and, in dir, data texts
// of every kind (short, long, tiny, huge, zeros, negatives, intermittent, one
// record, bad lines) and CSV/TSV forms. With conocidos, also the inputs of
// faults being mended elsewhere: a FIFO, a device, a year beyond an int and a
// million records.
struct Corpus {
    QStringList texto; // for "Abrir"
    QStringList hojas; // for "Importar" (the texts go there too)
    QStringList grandes; // opened now and then: each step on them takes seconds
};

inline Corpus CrearCorpus(const QString& dir, const QString& ejemplos, const Conocidos& conocidos)
{
    Corpus c;
    for (const QString& f : QDir(ejemplos).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        c.texto << QDir(ejemplos).filePath(f);
    const auto poner = [&](const char* nombre, const QString& contenido) {
        const QString ruta = QDir(dir).filePath(QString::fromLatin1(nombre));
        EscribirFichero(ruta, contenido.toUtf8());
        c.texto << ruta;
    };
    const auto serie = [](Forma f, int n) { return TextoSerie(n, [f](int i) { return ValorForma(f, i, 3); }); };
    poner("corto.txt", serie(Forma::Estacional, 5));
    poner("uno.txt", serie(Forma::Estacional, 1));
    poner("dos.txt", serie(Forma::Constante, 2));
    poner("largo.txt", serie(Forma::Estacional, 5000));
    poner("enormes.txt", serie(Forma::Enorme, 60));
    poner("ceros.txt", serie(Forma::Ceros, 40));
    poner("negativos.txt", serie(Forma::Negativa, 48));
    poner("intermitente.txt", serie(Forma::Intermitente, 72));
    poner("escalones.txt", serie(Forma::Escalones, 36));
    poner("coma.txt", TextoSerie(
                          30, [](int i) { return 10.25 + i; }, 1999, 7, QLatin1Char(',')));
    poner("crlf.txt", serie(Forma::Estacional, 26).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    poner("vacio.txt", QString());
    poner("solovalores.txt", QStringLiteral("12\n15,5\n9\n11\n13\n"));
    poner("malo.txt", serie(Forma::Estacional, 10) + QStringLiteral("2000\tx\t5\n") + serie(Forma::Estacional, 3));
    poner("noesnumero.txt", serie(Forma::Estacional, 8) + QStringLiteral("2000\t9\tnan\n2000\t10\tinf\n"));
    poner("desbordan.txt", QStringLiteral("2000\t1\t1e308\n2000\t2\t1e308\n2000\t3\t1e308\n2000\t4\t-1e308\n"));
    poner("saltos.txt", QStringLiteral("2000\t1\t5\n2000\t3\t6\n2001\t1\t7\n2000\t5\t8\n"));

    const auto hoja = [&](const char* nombre, const QString& contenido) {
        const QString ruta = QDir(dir).filePath(QString::fromLatin1(nombre));
        EscribirFichero(ruta, contenido.toUtf8());
        c.hojas << ruta;
    };
    QString csv = QStringLiteral("Fecha;Ventas\n"), tsv = QStringLiteral("mes\tvalor\n"),
            comas = QStringLiteral("\"Año\",\"Mes\",\"Valor\"\n"), solo = QStringLiteral("Valor\n");
    for (int i = 1; i <= 40; ++i) {
        const QString fecha =
            QStringLiteral("%1-%2").arg(2001 + (i - 1) / 12).arg((i - 1) % 12 + 1, 2, 10, QLatin1Char('0'));
        const double v = ValorForma(Forma::Estacional, i, 1);
        csv += fecha + QLatin1Char(';') + QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')) +
               QLatin1Char('\n');
        tsv += QStringLiteral("01/%1/%2\t%3\n").arg((i - 1) % 12 + 1).arg(2001 + (i - 1) / 12).arg(v);
        comas += QStringLiteral("%1,%2,\"%3\"\n").arg(2001 + (i - 1) / 12).arg((i - 1) % 12 + 1).arg(v * 1e3);
        solo += QString::number(ValorForma(Forma::Intermitente, i, 1)) + QLatin1Char('\n');
    }
    hoja("ventas.csv", csv);
    hoja("meses.tsv", tsv);
    hoja("comillas.csv", comas);
    hoja("solovalor.csv", solo);
    hoja("roto.csv", QStringLiteral("Fecha;Valor\n2000-01;5\n2000-02;\"sin cerrar\n2000-03;x\n"));
    hoja("falso.xlsx", QStringLiteral("esto no es un libro"));
    c.hojas << c.texto;

    if (conocidos.Con("diminutos")) {
        poner("diminutos15.txt", serie(Forma::Diminuta15, 40));
        poner("diminutos290.txt", serie(Forma::Diminuta290, 40));
        poner("subnormales.txt", TextoSerie(24, [](int i) { return 4.9e-324 * i; }));
        hoja("diminutos.csv", QStringLiteral("Fecha;Valor\n2000-01;1e-15\n2000-02;3e-15\n2000-03;2e-290\n"
                                             "2000-04;5e-15\n2000-05;1e-15\n"));
    }
    if (conocidos.Con("fecha"))
        poner("anio_enorme.txt", QStringLiteral("2147483648\t1\t5\n2147483648\t2\t6\n2000\t99999999999\t7\n"));
    if (conocidos.Con("millon")) {
        QString millon;
        millon.reserve(1000000 * 16);
        millon = TextoSerie(
            1000000, [](int i) { return double(i % 977) + 0.5; }, 1);
        poner("millon.txt", millon);
        c.grandes << c.texto.takeLast();
    }
    if (conocidos.Con("fichero")) {
        const QString fifo = QDir(dir).filePath(QStringLiteral("tuberia.txt"));
        if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0) {
            c.texto << fifo;
            c.hojas << fifo;
        }
        c.texto << QStringLiteral("/dev/zero");
    }
    return c;
}

} // namespace prueba
