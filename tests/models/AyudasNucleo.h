// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the tests of the session and the experiments share: monthly
// histories, a workspace built and run without the session, and comparing
// log entries bit for bit.
#include <QString>
#include <QStringList>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "models/Catalogo.h"
#include "models/Medidas.h"
#include "models/Registro.h"
#include "models/RegistroCorridas.h"
#include "models/Sesion.h"

namespace nucleo {

using namespace tendora;

inline const double s12[12] = {0.8, 0.8, 0.9, 1.0, 1.1, 1.2, 1.2, 1.1, 1.0, 1.0, 0.9, 1.0};

// n months from January 2000 of a rising line times a seasonal pattern, with
// some noise so that no two models fit alike.
inline std::vector<double> Serie(int n)
{
    std::vector<double> y;
    for (int i = 1; i <= n; ++i)
        y.push_back((100.0 + 2.0 * i) * s12[(i - 1) % 12] + 3.0 * std::sin(double(i)));
    return y;
}

// n months of a falling line through zero times the same pattern, with noise:
// negative forecasts to cut or keep, and levels near zero.
inline std::vector<double> Cruce(int n)
{
    std::vector<double> y;
    for (int i = 1; i <= n; ++i)
        y.push_back((60.0 - 1.5 * i) * s12[(i - 1) % 12] + 3.0 * std::sin(double(i)));
    return y;
}

inline std::vector<Registro> Registros(const std::vector<double>& y, int anio = 2000, int mes = 1)
{
    std::vector<Registro> r;
    for (double v : y) {
        r.push_back({double(anio), double(mes), v});
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return r;
}

// The workspace a model run leaves, built as the models' own tests build it
// (not through the session): history, hold-out, dated forecast rows, then
// the model through the catalogue.
inline Espacio Directo(const std::vector<double>& y, int reserva, int item, const Parametros& p)
{
    Espacio e;
    const int n = static_cast<int>(y.size());
    e.TotalDatos = n;
    e.NumDatos = n - reserva;
    DimensionarTabla(e, p.V);
    int anio = 2000, mes = 1;
    for (int i = 1; i <= n; ++i) {
        e.Poner(i, ColT, i);
        e.Poner(i, ColAnio, anio);
        e.Poner(i, ColMes, mes);
        e.Poner(i, ColDatos, y[size_t(i - 1)]);
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    e.DatosCargados = true;
    LimpiarColumnasModelo(e, p.V);
    PrepararFilasPrevision(e, p.V);
    EjecutarModelo(e, item, p);
    return e;
}

inline bool Bits(double a, double b)
{
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

inline QString Texto(const Medida& m)
{
    return m ? QString::number(*m, 'g', 17) : QStringLiteral("-");
}

// Where two sets of twelve measures differ, empty when they agree bit for bit.
inline QString Diferencia(const MedidasCorrida& a, const MedidasCorrida& b)
{
    QStringList d;
    for (int col = ColErrMSE; col < NumColumnasError; ++col) {
        const Medida x = a.Valor(col), y = b.Valor(col);
        if (bool(x) != bool(y) || (x && !Bits(*x, *y)))
            d << QStringLiteral("columna %1: %2 / %3").arg(col).arg(Texto(x), Texto(y));
    }
    if (!Bits(a.DesvRelativa(), b.DesvRelativa()))
        d << QStringLiteral("desviación %1 / %2").arg(a.DesvRelativa(), 0, 'g', 17).arg(b.DesvRelativa(), 0, 'g', 17);
    return d.join(QStringLiteral("; "));
}

inline QString Diferencia(const Parametros& a, const Parametros& b)
{
    QStringList d;
    if (a.N != b.N)
        d << QStringLiteral("N %1 / %2").arg(a.N).arg(b.N);
    const ValorModelo constantes[] = {ValorModelo::AlfaLE,  ValorModelo::AlfaTHT, ValorModelo::AlfaHLT,
                                      ValorModelo::BetaHLT, ValorModelo::PhiHW,   ValorModelo::AlfaCroston};
    for (ValorModelo v : constantes)
        if (!Bits(Valor(a, v), Valor(b, v)))
            d << QStringLiteral("valor %1: %2 / %3")
                     .arg(int(v))
                     .arg(Valor(a, v), 0, 'g', 17)
                     .arg(Valor(b, v), 0, 'g', 17);
    if (a.PrevNeg != b.PrevNeg)
        d << QStringLiteral("previsiones negativas");
    if (a.V != b.V)
        d << QStringLiteral("V %1 / %2").arg(a.V).arg(b.V);
    return d.join(QStringLiteral("; "));
}

// Two log entries, every field and all 24 measures bit for bit; empty when equal.
inline QString Diferencia(const Corrida& a, const Corrida& b)
{
    QStringList d;
    if (a.Modelo != b.Modelo)
        d << QStringLiteral("modelo %1 / %2").arg(a.Modelo).arg(b.Modelo);
    if (a.Origen != b.Origen)
        d << QStringLiteral("origen %1 / %2").arg(a.Origen).arg(b.Origen);
    if (const QString p = Diferencia(a.Param, b.Param); !p.isEmpty())
        d << p;
    if (const QString m = Diferencia(a.Ajuste, b.Ajuste); !m.isEmpty())
        d << QStringLiteral("ajuste: ") + m;
    if (bool(a.Acierto) != bool(b.Acierto))
        d << QStringLiteral("acierto en una sola");
    else if (a.Acierto)
        if (const QString m = Diferencia(*a.Acierto, *b.Acierto); !m.isEmpty())
            d << QStringLiteral("acierto: ") + m;
    return d.join(QStringLiteral("; "));
}

// Rows 0..hasta of two tables, every cell and flag bit for bit, the seasonal
// coefficients, the sizes and, when both runs ended well and were measured,
// the forecast column, its first row and the relative deviation (a failed
// run leaves an earlier run's); empty when equal.
inline QString Diferencia(const Espacio& a, const Espacio& b, int hasta, bool medidos = true)
{
    if (a.Filas() <= hasta || b.Filas() <= hasta)
        return QStringLiteral("tabla corta: %1 / %2 filas").arg(a.Filas()).arg(b.Filas());
    for (int i = 0; i <= hasta; ++i)
        for (int c = 0; c < NumCols; ++c)
            if (!Bits(a.V(i, c), b.V(i, c)) || a.Valida(i, c) != b.Valida(i, c))
                return QStringLiteral("celda (%1, %2): %3 / %4")
                    .arg(i)
                    .arg(c)
                    .arg(a.V(i, c), 0, 'g', 17)
                    .arg(b.V(i, c), 0, 'g', 17);
    for (int m = 1; m <= 12; ++m)
        if (!Bits(a.CoefEstacional[size_t(m)].Coeficiente, b.CoefEstacional[size_t(m)].Coeficiente))
            return QStringLiteral("coeficiente del mes %1").arg(m);
    if (a.NumDatos != b.NumDatos || a.TotalDatos != b.TotalDatos)
        return QStringLiteral("contadores");
    if (medidos && (a.FilaInicioPrev != b.FilaInicioPrev || a.ColPrev != b.ColPrev))
        return QStringLiteral("columna de la previsión");
    if (medidos && !Bits(a.DesvRelativa, b.DesvRelativa))
        return QStringLiteral("desviación relativa %1 / %2").arg(a.DesvRelativa).arg(b.DesvRelativa);
    return {};
}

// A session with history y loaded, the hold-out, horizon and model given.
inline void Cargar(Sesion& s, const std::vector<double>& y, int reserva, int V = 12)
{
    s.PonerHorizonte(V);
    s.CargarHistorico(Registros(y));
    s.PonerPuntosSinUsar(reserva);
}

// A fresh session ready to run item with the values p gives.
inline void Preparar(Sesion& s, const std::vector<double>& y, int reserva, int item, const Parametros& p)
{
    s.PonerHorizonte(p.V);
    s.PonerPrevisionesNegativas(p.PrevNeg);
    s.CargarHistorico(Registros(y));
    s.PonerPuntosSinUsar(reserva);
    s.SeleccionarModelo(item);
    for (ValorModelo v : ValoresDe(item))
        s.PonerValor(v, Valor(p, v));
}

// A lone run on a fresh session: the entry it logs.
inline Corrida Sola(const std::vector<double>& y, int reserva, int item, const Parametros& p)
{
    Sesion s;
    Preparar(s, y, reserva, item, p);
    return s.Calcular();
}

} // namespace nucleo
