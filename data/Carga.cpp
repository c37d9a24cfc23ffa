// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Carga.h"

#include "data/Numeros.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tendora {

namespace {

// The number conversions of Numeros.h (same texts accepted, same values,
// same messages) made fit for a long file: the locale is set up once, and a
// plain decimal (digits, the locale's decimal mark, digits) is read with
// from_chars, which rounds as the locale's conversion does; the system
// locale asks the platform for its marks on every conversion. Anything else
// goes through the locale as before. Fields are views of their line.
class LectorNumeros {
public:
    LectorNumeros()
    {
        l_.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        const QString punto = l_.decimalPoint();
        if (punto.size() == 1 && (punto[0] == u'.' || punto[0] == u',') && l_.zeroDigit() == u"0")
            marca_ = punto[0].unicode();
        menos_ = l_.negativeSign() == u"-";
    }

    bool Convertir(QStringView texto, double* v) const
    {
        const QStringView t = texto.trimmed();
        if (Decimal(t, v, marca_))
            return true;
        bool bien = false;
        *v = l_.toDouble(t, &bien);
        return bien && std::isfinite(*v); // "nan", "inf" and overflow are not numbers here
    }
    double Numero(QStringView texto) const
    {
        double v = 0.0;
        if (!Convertir(texto, &v))
            throw ErrorConversion(texto.toString());
        return v;
    }
    // Either decimal mark: the first comma read as a point, or else the first point as a comma.
    double Real(QStringView texto) const
    {
        double v = 0.0;
        // A plain decimal with the other mark is read before asking the
        // locale, whose refusal of it costs more than the rest of the line;
        // the locale could only have taken that mark as a group separator,
        // which it is told to reject.
        const QStringView t = texto.trimmed();
        if (Decimal(t, &v, marca_) || (marca_ && Decimal(t, &v, marca_ == u'.' ? u',' : u'.')))
            return v;
        if (Convertir(texto, &v))
            return v;
        return Numero(OtraMarcaDecimal(texto.toString()));
    }

private:
    // [-]digits[mark digits], no leading zero in front of another digit.
    bool Decimal(QStringView t, double* v, char16_t marca) const
    {
        if (!marca || t.isEmpty() || t.size() > 60)
            return false;
        char b[64];
        qsizetype n = 0, i = 0;
        const auto digitos = [&] {
            const qsizetype desde = i;
            while (i < t.size() && t[i] >= u'0' && t[i] <= u'9')
                b[n++] = static_cast<char>(t[i++].unicode());
            return i - desde;
        };
        if (t[0] == u'-') {
            if (!menos_)
                return false;
            b[n++] = '-';
            ++i;
        }
        const qsizetype primero = i;
        const qsizetype enteros = digitos();
        if (enteros == 0 || (enteros > 1 && t[primero] == u'0'))
            return false;
        if (i < t.size()) {
            if (t[i] != marca)
                return false;
            b[n++] = '.';
            ++i;
            if (digitos() == 0 || i != t.size())
                return false;
        }
        const std::from_chars_result r = std::from_chars(b, b + n, *v);
        // A signed zero is left to the locale, as is anything from_chars refuses.
        return r.ec == std::errc() && r.ptr == b + n && std::isfinite(*v) && !(*v == 0.0 && b[0] == '-');
    }

    QLocale l_;
    char16_t marca_ = 0; // the decimal mark when it is '.' or ',' with ASCII digits
    bool menos_ = false;
};

// Field n (from 1) as ExtraerCampo gives it, as a view of the line.
QStringView Campo(QStringView linea, int n)
{
    qsizetype inicio = 0;
    for (int k = 1; k < n; ++k) {
        const qsizetype tab = linea.indexOf(QLatin1Char('\t'), inicio);
        if (tab < 0)
            return QStringView();
        inicio = tab + 1;
    }
    const qsizetype fin = linea.indexOf(QLatin1Char('\t'), inicio);
    return linea.mid(inicio, fin < 0 ? linea.size() - inicio : fin - inicio);
}

// Calls f with each line of the text, as a view: CR LF, LF and CR each end
// one, and the empty line after a final break is no line.
template <class F>
void ParaCadaLinea(QStringView t, F&& f)
{
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && t[j] != u'\n' && t[j] != u'\r')
            ++j;
        f(t.sliced(i, j - i));
        if (j == n)
            return;
        i = j + ((t[j] == u'\r' && j + 1 < n && t[j + 1] == u'\n') ? 2 : 1);
    }
}

} // namespace

QStringList LineasDeTexto(const QString& texto)
{
    QStringList lineas;
    ParaCadaLinea(texto, [&lineas](QStringView linea) { lineas.append(linea.toString()); });
    return lineas;
}

QString ExtraerCampo(const QString& linea, int n)
{
    if (n < 1)
        return QString();
    int inicio = 0;
    for (int k = 1; k < n; ++k) {
        const int tab = linea.indexOf(QLatin1Char('\t'), inicio);
        if (tab < 0)
            return QString();
        inicio = tab + 1;
    }
    const int fin = linea.indexOf(QLatin1Char('\t'), inicio);
    return linea.mid(inicio, fin < 0 ? -1 : fin - inicio);
}

ErrorLectura::ErrorLectura(const ErrorConversion& error, int linea)
    : ErrorConversion(std::string(error.what()) +
                      QStringLiteral("\nLínea %1 del texto de Datos.").arg(linea).toStdString()),
      m_linea(linea)
{
}

ErrorLectura::ErrorLectura(const QString& mensaje, int linea)
    : ErrorConversion((mensaje + QStringLiteral("\nLínea %1 del texto de Datos.").arg(linea)).toStdString()),
      m_linea(linea)
{
}

namespace {

// Years and months are whole numbers for the window (the status line, the
// dating of forecast rows); one that no int holds is no date at all.
void ComprobarFecha(double v, QStringView campo, QStringView que, int linea)
{
    constexpr double minimo = std::numeric_limits<int>::min();
    constexpr double maximo = std::numeric_limits<int>::max();
    if (v >= minimo && v <= maximo)
        return;
    throw ErrorLectura(QStringLiteral("El %1 «%2» no es posible: se esperaba un número entre %3 y %4.")
                           .arg(que, TextoLegible(campo.trimmed().toString()),
                                TextoEntero(std::numeric_limits<int>::min()),
                                TextoEntero(std::numeric_limits<int>::max())),
                       linea);
}

} // namespace

std::vector<Registro> LeerRegistros(QStringView texto)
{
    std::vector<Registro> registros;
    // One record per line break, near enough: no reallocation on a long file.
    registros.reserve(static_cast<size_t>(texto.count(u'\n') + 1));
    const LectorNumeros lector;
    int numero = 0;
    ParaCadaLinea(texto, [&](QStringView linea) {
        ++numero;
        Registro r;
        try {
            r.Anio = lector.Numero(Campo(linea, 1));
            r.Mes = lector.Numero(Campo(linea, 2));
            r.Valor = lector.Real(Campo(linea, 3));
        } catch (const ErrorConversion& e) {
            throw ErrorLectura(e, numero);
        }
        ComprobarFecha(r.Anio, Campo(linea, 1), u"año", numero);
        ComprobarFecha(r.Mes, Campo(linea, 2), u"mes", numero);
        registros.push_back(r);
    });
    return registros;
}

int PrimerSalto(const std::vector<Registro>& registros, QString* explicacion)
{
    for (size_t k = 1; k < registros.size(); ++k) {
        const Registro& a = registros[k - 1];
        const Registro& r = registros[k];
        const double anio = a.Mes == 12.0 ? a.Anio + 1.0 : a.Anio;
        const double mes = a.Mes == 12.0 ? 1.0 : a.Mes + 1.0;
        if (r.Anio != anio || r.Mes != mes) {
            *explicacion = QStringLiteral("se esperaba %1/%2 y se lee %3/%4.")
                               .arg(TextoGeneral(mes), TextoGeneral(anio), TextoGeneral(r.Mes), TextoGeneral(r.Anio));
            return int(k) + 1;
        }
    }
    return 0;
}

int InicioDeLinea(const QString& texto, int n)
{
    int pos = 0;
    for (int linea = 1; linea < n && pos < texto.size(); ++linea) {
        int i = pos;
        while (i < texto.size() && texto[i] != QLatin1Char('\n') && texto[i] != QLatin1Char('\r'))
            ++i;
        if (i >= texto.size())
            return int(texto.size());
        // CR LF is one break.
        pos =
            i + ((texto[i] == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n')) ? 2 : 1);
    }
    return std::min(pos, int(texto.size()));
}

QString DecodificarTexto(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError())
        texto = QString::fromLatin1(bytes);
    return texto;
}

QString NombreSerieDe(const QString& ruta)
{
    const QString nombre = QFileInfo(ruta).fileName();
    return nombre.size() > 4 ? nombre.left(nombre.size() - 4) : QString();
}

} // namespace tendora
