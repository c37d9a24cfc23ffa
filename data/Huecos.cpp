// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Huecos.h"

#include "data/Carga.h"
#include "data/Numeros.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tendora {

namespace {

// The month as a count of months from year 0; none when the record's date is no month.
std::optional<long long> Indice(const Registro& r)
{
    if (r.Anio != std::trunc(r.Anio) || std::fabs(r.Anio) > 1e9 || r.Mes != std::trunc(r.Mes) || r.Mes < 1.0 ||
        r.Mes > 12.0)
        return std::nullopt;
    return static_cast<long long>(r.Anio) * 12 + static_cast<long long>(r.Mes) - 1;
}

Registro DeIndice(long long i)
{
    // Floor division: years before 0 count their months forwards too.
    const long long anio = i >= 0 ? i / 12 : -((-i + 11) / 12);
    return Registro{double(anio), double(i - anio * 12 + 1), 0.0};
}

bool SinValor(const std::vector<bool>& sinValor, size_t k)
{
    return k < sinValor.size() && sinValor[k];
}

// The value j steps of n from a towards b. (b - a) * j / n rounds once, so
// whole neighbours give a whole result exactly when it is one; where b - a
// overflows, the weighted mean, kept between the two.
double Interpolado(double a, double b, long long j, long long n)
{
    const double v = a + (b - a) * double(j) / double(n);
    if (std::isfinite(v))
        return v;
    const double w = a * (double(n - j) / double(n)) + b * (double(j) / double(n));
    return std::clamp(std::isfinite(w) ? w : a, std::min(a, b), std::max(a, b));
}

} // namespace

Huecos BuscarHuecos(const std::vector<Registro>& registros, const std::vector<bool>& sinValor)
{
    Huecos h;
    for (size_t k = 0; k < registros.size(); ++k)
        if (SinValor(sinValor, k) && h.sinValor++ == 0)
            h.primerSinValor = int(k);
    for (size_t k = 1; k < registros.size() && h.fechasEnOrden; ++k) {
        const std::optional<long long> a = Indice(registros[k - 1]), b = Indice(registros[k]);
        if (!a || !b || *b <= *a) {
            h.fechasEnOrden = false;
        } else if (*b - *a > 1) {
            h.meses += *b - *a - 1;
            if (h.tramos++ == 0)
                h.primero = int(k);
            if (h.meses > kMaxMesesRelleno)
                h.fechasEnOrden = false;
        }
    }
    if (!h.fechasEnOrden) {
        h.meses = 0;
        h.tramos = 0;
        h.primero = -1;
    }
    return h;
}

Rellenado RellenarHuecos(const std::vector<Registro>& registros, Relleno modo, const std::vector<bool>& sinValor)
{
    const Huecos h = BuscarHuecos(registros, sinValor);
    Rellenado r;
    std::vector<char> conocido;
    r.registros.reserve(registros.size() + size_t(h.meses));
    r.anadido.reserve(registros.size() + size_t(h.meses));
    conocido.reserve(registros.size() + size_t(h.meses));
    for (size_t k = 0; k < registros.size(); ++k) {
        if (k > 0 && h.meses > 0) {
            const long long a = *Indice(registros[k - 1]), b = *Indice(registros[k]);
            for (long long i = a + 1; i < b; ++i) {
                r.registros.push_back(DeIndice(i));
                r.anadido.push_back(1);
                conocido.push_back(0);
            }
        }
        r.registros.push_back(registros[k]);
        r.anadido.push_back(0);
        conocido.push_back(SinValor(sinValor, k) ? 0 : 1);
    }
    // Each run without values, between the known values either side of it.
    const size_t n = r.registros.size();
    for (size_t i = 0; i < n;) {
        if (conocido[i]) {
            ++i;
            continue;
        }
        size_t fin = i;
        while (fin < n && !conocido[fin])
            ++fin;
        const bool antes = i > 0, despues = fin < n;
        const double a = antes ? r.registros[i - 1].Valor : despues ? r.registros[fin].Valor : 0.0;
        const double b = despues ? r.registros[fin].Valor : a;
        for (size_t p = i; p < fin; ++p) {
            double& v = r.registros[p].Valor;
            switch (modo) {
            case Relleno::Cero: v = 0.0; break;
            case Relleno::Anterior: v = a; break;
            case Relleno::Interpolar:
                v = antes && despues ? Interpolado(a, b, (long long)(p - i + 1), (long long)(fin - i + 1)) : a;
                break;
            }
        }
        r.rellenados += (long long)(fin - i);
        i = fin;
    }
    return r;
}

QString LineaDatos(double anio, double mes, double valor)
{
    return TextoGeneral(anio) + QLatin1Char('\t') + TextoGeneral(mes) + QLatin1Char('\t') + TextoGeneral(valor);
}

QString TextoRellenado(const QString& texto, const Rellenado& r)
{
    const QStringList lineas = LineasDeTexto(texto);
    QString nuevo;
    nuevo.reserve(texto.size() + std::max<qsizetype>(0, qsizetype(r.registros.size()) - lineas.size()) * 16);
    qsizetype l = 0;
    for (size_t k = 0; k < r.registros.size(); ++k) {
        if (k > 0)
            nuevo += QLatin1Char('\n');
        if (r.anadido[k]) {
            const Registro& x = r.registros[k];
            nuevo += LineaDatos(x.Anio, x.Mes, x.Valor);
        } else if (l < lineas.size()) {
            nuevo += lineas[l++];
        }
    }
    // The final break, when there was one, stays.
    if (texto.endsWith(QLatin1Char('\n')) || texto.endsWith(QLatin1Char('\r')))
        nuevo += QLatin1Char('\n');
    return nuevo;
}

int LineaOriginal(const Rellenado& r, int fila)
{
    int linea = 0;
    const size_t hasta = std::min(r.anadido.size(), size_t(std::max(fila, 1)));
    for (size_t k = 0; k < hasta; ++k)
        linea += r.anadido[k] ? 0 : 1;
    // A month put in belongs to the line of the record after it.
    return hasta > 0 && r.anadido[hasta - 1] ? linea + 1 : std::max(linea, 1);
}

QString FechaDe(const Registro& r)
{
    return TextoGeneral(r.Mes) + QLatin1Char('/') + TextoGeneral(r.Anio);
}

QString DescribirHuecos(const std::vector<Registro>& registros, const Huecos& h,
                        const std::function<QString(int)>& lugar)
{
    QStringList partes;
    if (h.meses > 0 && h.primero > 0) {
        const Registro& a = registros[size_t(h.primero) - 1];
        const Registro& b = registros[size_t(h.primero)];
        const QString cuantos = h.meses == 1
                                    ? QStringLiteral("falta 1 mes entre las fechas")
                                    : QStringLiteral("faltan %1 meses entre las fechas").arg(TextoEntero(h.meses));
        const QString donde =
            QStringLiteral("%1 (%2) y %3 (%4)").arg(FechaDe(a), lugar(h.primero - 1), FechaDe(b), lugar(h.primero));
        partes << (h.tramos == 1 ? QStringLiteral("%1, entre %2").arg(cuantos, donde)
                                 : QStringLiteral("%1, en %2 huecos; el primero, entre %3")
                                       .arg(cuantos, TextoEntero(h.tramos), donde));
    }
    if (h.sinValor > 0)
        partes << (h.sinValor == 1 ? QStringLiteral("falta el valor de 1 mes (%1)").arg(lugar(h.primerSinValor))
                                   : QStringLiteral("faltan los valores de %1 meses (el primero, %2)")
                                         .arg(TextoEntero(h.sinValor), lugar(h.primerSinValor)));
    QString s = partes.join(QStringLiteral("; y "));
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s + QLatin1Char('.');
}

} // namespace tendora
