// SPDX-License-Identifier: GPL-3.0-or-later
// A session file with N runs in its log (100 000 unless given): its size and
// the time to write it and to read it back.
#include "data/FicheroSesion.h"

#include <QElapsedTimer>

#include <charconv>
#include <cstdio>
#include <cstring>

using namespace tendora;

int main(int argc, char** argv)
{
    int n = 100000;
    if (argc > 1)
        std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), n);
    DatosSesion d;
    d.texto = QStringLiteral("2000\t1\t5\n");
    d.corridas.reserve(size_t(n));
    for (int k = 0; k < n; ++k) {
        // A grid's runs: one constant moving, measures that differ in every digit.
        Corrida c;
        c.Modelo = ItemHLT;
        c.Param.AlfaHLT = k * 1e-5;
        double m[NumMedidas];
        for (int i = 0; i < NumMedidas; ++i)
            m[i] = 1.0 / (i + k + 3);
        c.Ajuste = MedidasCorrida(m, 0.01);
        if (k % 2)
            c.Acierto = MedidasCorrida(m, 0.02);
        d.corridas.push_back(c);
    }
    QElapsedTimer t;
    t.start();
    const QByteArray b = EscribirSesion(d);
    const double escribir = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    const DatosSesion r = LeerSesion(b);
    const double leer = double(t.nsecsElapsed()) / 1e6;
    std::printf("%zu corridas: %.1f MB, escribir %.0f ms, leer %.0f ms\n", r.corridas.size(), double(b.size()) / 1e6,
                escribir, leer);
    return r.corridas.size() == size_t(n) ? 0 : 1;
}
