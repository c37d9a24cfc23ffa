// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Numeros.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace tendora {

ErrorConversion::ErrorConversion(const QString& texto)
    : std::runtime_error(
          QStringLiteral("'%1' is not a valid floating point value").arg(TextoLegible(texto)).toStdString())
{
}

QString TextoLegible(const QString& texto, int maximo)
{
    QString r;
    int mostrados = 0;
    for (int i = 0; i < texto.size(); ++i) {
        if (mostrados >= maximo) {
            r += QChar(0x2026);
            break;
        }
        const QChar c = texto[i];
        const char16_t u = c.unicode();
        if (u == u'\t')
            r += QLatin1String("\\t");
        else if (u == u'\n')
            r += QLatin1String("\\n");
        else if (u == u'\r')
            r += QLatin1String("\\r");
        else if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            r += QLatin1String("\\x") + QString::number(int(u), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else if (c.isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate())
            r += texto.mid(i++, 2); // one character in two code units, never split
        else if (!c.isPrint() && u != u' ')
            r += QLatin1String("\\u") + QString::number(int(u), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        else
            r += c;
        ++mostrados;
    }
    return r;
}

// The default locale with grouping off, rebuilt only when the default changes:
// grids format numbers on every paint.
struct FormatoRegional {
    QLocale l;
    // ASCII digits and "-": a whole number's text is then its plain digits.
    bool enterosAscii = false;
};

static const FormatoRegional& LocaleRegional()
{
    thread_local QLocale base;
    thread_local FormatoRegional regional;
    thread_local bool hecho = false;
    const QLocale actual;
    if (!hecho || !(actual == base)) {
        hecho = true;
        base = actual;
        regional.l = actual;
        regional.l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        regional.enterosAscii = regional.l.zeroDigit() == u"0" && regional.l.negativeSign() == u"-";
    }
    return regional;
}

static const QLocale& Regional()
{
    return LocaleRegional().l;
}

QString TextoGeneral(double x)
{
    if (x == 0.0)
        x = 0.0; // no "-0"
    if (!std::isfinite(x))
        return QString();
    const FormatoRegional& r = LocaleRegional();
    // Years, months and counts: fifteen significant digits write a whole
    // number below 1e15 as its digits, which the locale's engine reaches
    // far more slowly (and a long file has a hundred thousand of them).
    if (r.enterosAscii && std::fabs(x) < 1e15 && x == std::trunc(x))
        return QString::number(static_cast<long long>(x));
    QString s = r.l.toString(x, 'g', 15);
    // Next to the largest double, 15 digits can round past it and the text
    // would not read back; there the shortest exact text is written instead.
    if (std::fabs(x) >= 1.797693134862e308) {
        bool ok = false;
        const double v = r.l.toDouble(s, &ok);
        if (!ok || !std::isfinite(v))
            s = r.l.toString(x, 'g', QLocale::FloatingPointShortest);
    }
    return s;
}

QString TextoFijo2(double x)
{
    if (!std::isfinite(x))
        return QString();
    // More than 15 digits before the point cannot be shown in fixed notation.
    const double a = std::fabs(x);
    if (a >= 1e15)
        return TextoGeneral(x);
    const QLocale& l = Regional();
    // Fifteen significant digits: from 1e13 on they leave one real decimal,
    // from 1e14 on none; the text keeps two, the missing ones written as 0.
    const int reales = a >= 1e14 ? 0 : a >= 1e13 ? 1 : 2;
    QString s = l.toString(x, 'f', reales);
    if (reales < 2) {
        // Rounding may carry into a sixteenth digit before the point (999…9,6):
        // then the value is written as from 1e15 on.
        const qsizetype enteros = s.size() - (x < 0 ? l.negativeSign().size() : 0) - (reales > 0 ? 1 + reales : 0);
        if (enteros > 15)
            return TextoGeneral(x);
        if (reales == 0)
            s += l.decimalPoint();
        s += QString(2 - reales, QLatin1Char('0'));
    }
    // -0.001 rounds to "-0,00": show it as zero.
    if (s.startsWith(l.negativeSign())) {
        bool todoCero = true;
        for (QChar c : s)
            if (c.isDigit() && c != QLatin1Char('0'))
                todoCero = false;
        if (todoCero)
            s.remove(0, l.negativeSign().size());
    }
    return s;
}

QString TextoEntero(long long n)
{
    return QString::number(n);
}

double ConvertirNumero(const QString& texto, bool* ok)
{
    bool bien = false;
    const QString t = texto.trimmed();
    double v = Regional().toDouble(t, &bien);
    if (bien && !std::isfinite(v))
        bien = false; // "nan", "inf" and overflow are not numbers here
    if (ok)
        *ok = bien;
    return bien ? v : 0.0;
}

double TextoANumero(const QString& texto)
{
    bool ok = false;
    const double v = ConvertirNumero(texto, &ok);
    if (!ok)
        throw ErrorConversion(texto);
    return v;
}

double TextoAReal(const QString& texto)
{
    bool ok = false;
    double v = ConvertirNumero(texto, &ok);
    if (ok)
        return v;
    return TextoANumero(OtraMarcaDecimal(texto));
}

QString OtraMarcaDecimal(QString texto)
{
    const qsizetype coma = texto.indexOf(QLatin1Char(','));
    if (coma >= 0) {
        texto[coma] = QLatin1Char('.');
    } else {
        const qsizetype punto = texto.indexOf(QLatin1Char('.'));
        if (punto >= 0)
            texto[punto] = QLatin1Char(',');
    }
    return texto;
}

double ConvertirConMarca(const QString& texto, QChar decimal, bool* ok)
{
    *ok = false;
    QString t = texto.trimmed();
    for (const QChar moneda : {QChar(0x20AC), QChar(u'$')}) {
        if (t.endsWith(moneda))
            t = t.chopped(1).trimmed();
        else if (t.startsWith(moneda))
            t = t.mid(1).trimmed();
    }
    // Groups only as the other mark or a (no-break) space between threes, so
    // "1.13" never reads as 113 under a decimal comma.
    static const auto patron = [](QChar d) {
        const QString m = QRegularExpression::escape(QString(d == QLatin1Char(',') ? u'.' : u','));
        const QString dd = QRegularExpression::escape(QString(d));
        return QRegularExpression(
            QStringLiteral("^([+-]?)(\\d{1,3}(?:[%1 \\x{00A0}\\x{202F}]\\d{3})+|\\d*)(?:%2(\\d*))?"
                           "(?:[eE]([+-]?\\d+))?$")
                .arg(m, dd));
    };
    static const QRegularExpression conComa = patron(QLatin1Char(','));
    static const QRegularExpression conPunto = patron(QLatin1Char('.'));
    const QRegularExpressionMatch r = (decimal == QLatin1Char(',') ? conComa : conPunto).match(t);
    if (!r.hasMatch())
        return 0.0;
    QString entero = r.captured(2);
    const QString decimales = r.captured(3);
    if (entero.isEmpty() && decimales.isEmpty())
        return 0.0;
    // The group marks out; a pattern built here would cost more than the rest of the conversion.
    entero.removeIf([](QChar ch) { return ch < u'0' || ch > u'9'; });
    QString c = r.captured(1) + (entero.isEmpty() ? QStringLiteral("0") : entero);
    if (!decimales.isEmpty())
        c += QLatin1Char('.') + decimales;
    if (r.capturedLength(4) > 0)
        c += QLatin1Char('e') + r.captured(4);
    bool bien = false;
    const double v = QLocale::c().toDouble(c, &bien);
    if (!bien || !std::isfinite(v))
        return 0.0;
    *ok = true;
    return v;
}

} // namespace tendora
