// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Importacion.h"

#include "data/Numeros.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <functional>

namespace tendora {

// ---------------------------------------------------------------- table

int Tabla::Columnas() const
{
    qsizetype n = 0;
    for (const auto& f : filas)
        n = std::max(n, f.size());
    return int(n);
}

const Celda& Tabla::En(int fila, int col) const
{
    static const Celda vacia;
    if (fila < 0 || fila >= filas.size() || col < 0 || col >= filas[fila].size())
        return vacia;
    return filas[fila][col];
}

QString LetraColumna(int col)
{
    QString s;
    for (int n = col + 1; n > 0; n = (n - 1) / 26)
        s.prepend(QChar(u'A' + (n - 1) % 26));
    return s;
}

QString Tabla::NombreColumna(int col) const
{
    if (!libro)
        return QString::number(col + 1);
    return LetraColumna(col >= 0 && col < columnasHoja.size() ? columnasHoja[col] : col);
}

QString Tabla::Lugar(int fila, int col) const
{
    if (libro)
        return QStringLiteral("Celda %1%2").arg(NombreColumna(col)).arg(fila + 1);
    const int linea = fila < lineas.size() ? lineas[fila] : fila + 1;
    return QStringLiteral("Línea %1, columna %2").arg(linea).arg(col + 1);
}

// ---------------------------------------------------------------- text files

static QString Decodificar(const QByteArray& bytes)
{
    // A byte-order mark says it all (Excel's "Unicode text" is UTF-16).
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder d(*bom);
        QString s = d.decode(bytes);
        if (s.startsWith(QChar(0xFEFF)))
            s.remove(0, 1);
        return s;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8.decode(bytes);
    if (utf8.hasError())
        s = QString::fromLatin1(bytes);
    return s;
}

// Separators outside quotes on one line.
static int Contar(const QString& linea, QChar sep)
{
    int n = 0;
    bool comillas = false;
    for (QChar c : linea) {
        if (c == QLatin1Char('"'))
            comillas = !comillas;
        else if (c == sep && !comillas)
            ++n;
    }
    return n;
}

// The separator found the same number of times on every line wins, tab
// before semicolon before comma (a semicolon file with decimal commas also
// has one comma per line); a title or header of its own on the first one or
// two lines may differ. A line that is one number with a decimal comma has
// no separator.
static QChar DetectarSeparador(const QStringList& lineas)
{
    static const QRegularExpression numeroConComa(QStringLiteral("^\\s*[+-]?\\d+,\\d+\\s*$"));
    QStringList muestra;
    for (const QString& l : lineas) {
        if (!l.trimmed().isEmpty())
            muestra << l;
        if (muestra.size() >= 30)
            break;
    }
    const int n = int(muestra.size());
    for (int saltar = 0; saltar <= 2 && (saltar == 0 || n - saltar >= 2); ++saltar)
        for (QChar sep : {QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(',')}) {
            int cuenta = -1;
            bool igual = true;
            for (int i = saltar; i < n && igual; ++i) {
                const int c =
                    sep == QLatin1Char(',') && numeroConComa.match(muestra[i]).hasMatch() ? 0 : Contar(muestra[i], sep);
                igual = c > 0 && (cuenta < 0 || c == cuenta);
                cuenta = c;
            }
            if (igual && cuenta > 0)
                return sep;
        }
    return QChar();
}

Tabla LeerTextoDelimitado(const QByteArray& bytes, const QString& nombre)
{
    const QString texto = Decodificar(bytes);
    if (texto.trimmed().isEmpty())
        throw ErrorImportacion(QStringLiteral("El fichero «%1» está vacío: no hay datos que importar.").arg(nombre));
    qsizetype control = 0;
    for (QChar c : texto)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            ++control;
    if (texto.contains(QChar(0)) || control * 100 > texto.size())
        throw ErrorImportacion(QStringLiteral("El fichero «%1» no es un fichero de texto: contiene bytes de control. "
                                              "Las hojas de cálculo se importan como .xlsx u .ods.")
                                   .arg(nombre));

    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    Tabla tabla;
    tabla.separador = DetectarSeparador(t.split(QLatin1Char('\n')));
    const QChar sep = tabla.separador;
    const bool conSep = !sep.isNull();

    // Fields split at the separator; a quoted field may hold separators,
    // doubled quotes and line breaks.
    QList<Celda> fila;
    QString campo;
    bool comillas = false, entreComillas = false;
    int linea = 1, inicioFila = 1;
    auto cerrarCampo = [&] {
        Celda c;
        c.texto = entreComillas ? campo : campo.trimmed();
        c.tipo = c.texto.trimmed().isEmpty() ? Celda::Vacia : Celda::Texto;
        fila << c;
        campo.clear();
        entreComillas = false;
    };
    auto cerrarFila = [&] {
        cerrarCampo();
        tabla.filas << fila;
        tabla.lineas << inicioFila;
        fila.clear();
        inicioFila = linea + 1;
    };
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (comillas) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < t.size() && t[i + 1] == QLatin1Char('"')) {
                    campo += c;
                    ++i;
                } else {
                    comillas = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++linea;
                campo += c;
            }
        } else if (c == QLatin1Char('"') && campo.trimmed().isEmpty()) {
            comillas = true;
            entreComillas = true;
            campo.clear();
        } else if (conSep && c == sep) {
            cerrarCampo();
        } else if (c == QLatin1Char('\n')) {
            cerrarFila();
            ++linea;
        } else {
            campo += c;
        }
    }
    if (!campo.isEmpty() || !fila.isEmpty())
        cerrarFila();
    // Trailing empty lines are not rows.
    auto vacia = [](const QList<Celda>& f) {
        return std::all_of(f.begin(), f.end(), [](const Celda& c) { return c.tipo == Celda::Vacia; });
    };
    while (!tabla.filas.isEmpty() && vacia(tabla.filas.last())) {
        tabla.filas.removeLast();
        tabla.lineas.removeLast();
    }
    return tabla;
}

// ---------------------------------------------------------------- cells

bool LeerValor(const Celda& c, QChar decimal, double* valor)
{
    if (c.tipo == Celda::Numero) {
        *valor = c.numero;
        return std::isfinite(c.numero);
    }
    if (c.tipo != Celda::Texto)
        return false;
    bool ok = false;
    *valor = ConvertirConMarca(c.texto, decimal, &ok);
    return ok;
}

static bool Entero(const Celda& c, int minimo, int maximo, int* n)
{
    double v = 0.0;
    if (!LeerValor(c, QLatin1Char('.'), &v) || v != std::floor(v) || v < minimo || v > maximo)
        return false;
    *n = int(v);
    return true;
}

static int NumeroMes(const QString& nombre)
{
    static const QHash<QString, int> meses = [] {
        QHash<QString, int> m;
        const QLocale es(QLocale::Spanish, QLocale::Spain);
        for (int i = 0; i < 12; ++i) {
            const QString l = es.monthName(i + 1, QLocale::LongFormat);
            m.insert(l, i + 1);
            m.insert(l.left(3), i + 1);
        }
        m.insert(QStringLiteral("sept"), 9);
        m.insert(QStringLiteral("setiembre"), 9);
        m.insert(QStringLiteral("set"), 9);
        return m;
    }();
    return meses.value(nombre.toLower(), 0);
}

// Two-digit years as the spreadsheets read them: 00..29 are 2000s.
static int Anio4(const QString& s)
{
    const int a = s.toInt();
    return s.size() == 2 ? (a < 30 ? 2000 + a : 1900 + a) : a;
}

static bool DeSerie(double serie, int* anio, int* mes)
{
    if (!(serie >= 1.0 && serie < 2958466.0))
        return false;
    const QDate d = QDate(1899, 12, 30).addDays(qint64(std::floor(serie)));
    *anio = d.year();
    *mes = d.month();
    return true;
}

bool LeerFecha(const Celda& c, FormaFecha f, int* anio, int* mes)
{
    if (f == FormaFecha::Serie) {
        if (c.tipo == Celda::Fecha || c.tipo == Celda::Numero)
            return DeSerie(c.numero, anio, mes);
        double v = 0.0;
        return c.tipo == Celda::Texto && LeerValor(c, QLatin1Char('.'), &v) && DeSerie(v, anio, mes);
    }
    if (c.tipo != Celda::Texto)
        return false;
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})(?:[T ]\\d{1,2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?Z?)?$"));
    static const QRegularExpression anioMes(QStringLiteral("^(\\d{4})[-/](\\d{1,2})$"));
    static const QRegularExpression mesAnio(QStringLiteral("^(\\d{1,2})[-/](\\d{4})$"));
    static const QRegularExpression diaMesAnio(
        QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4}|\\d{2})(?: +\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    static const QRegularExpression nombreMes(
        QStringLiteral("^([^\\W\\d_]+)\\.?(?:\\s*[-/ ]\\s*|\\s+de\\s+)(\\d{4}|\\d{2})$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString s = c.texto.trimmed();
    int a = 0, m = 0;
    QRegularExpressionMatch r;
    switch (f) {
    case FormaFecha::Iso:
        if (!(r = iso.match(s)).hasMatch())
            return false;
        a = r.captured(1).toInt();
        m = r.captured(2).toInt();
        if (!QDate(a, m, r.captured(3).toInt()).isValid())
            return false;
        break;
    case FormaFecha::AnioMes:
        if (!(r = anioMes.match(s)).hasMatch())
            return false;
        a = r.captured(1).toInt();
        m = r.captured(2).toInt();
        break;
    case FormaFecha::MesAnio:
        if (!(r = mesAnio.match(s)).hasMatch())
            return false;
        m = r.captured(1).toInt();
        a = r.captured(2).toInt();
        break;
    case FormaFecha::DiaMesAnio:
        if (!(r = diaMesAnio.match(s)).hasMatch())
            return false;
        a = Anio4(r.captured(3));
        m = r.captured(2).toInt();
        if (!QDate(a, m, r.captured(1).toInt()).isValid())
            return false;
        break;
    case FormaFecha::NombreMes:
        if (!(r = nombreMes.match(s)).hasMatch())
            return false;
        m = NumeroMes(r.captured(1));
        a = Anio4(r.captured(2));
        break;
    default: return false;
    }
    if (m < 1 || m > 12 || a < 1)
        return false;
    *anio = a;
    *mes = m;
    return true;
}

// ---------------------------------------------------------------- detection

static const FormaFecha kFormasTexto[] = {FormaFecha::Iso, FormaFecha::AnioMes, FormaFecha::MesAnio,
                                          FormaFecha::DiaMesAnio, FormaFecha::NombreMes};

static bool PareceDato(const Celda& c)
{
    if (c.tipo == Celda::Numero || c.tipo == Celda::Fecha)
        return true;
    if (c.tipo != Celda::Texto)
        return false;
    double v = 0.0;
    if (LeerValor(c, QLatin1Char('.'), &v) || LeerValor(c, QLatin1Char(','), &v))
        return true;
    int a = 0, m = 0;
    for (FormaFecha f : kFormasTexto)
        if (LeerFecha(c, f, &a, &m))
            return true;
    return false;
}

static int UltimaFila(const Tabla& t)
{
    for (int f = int(t.filas.size()) - 1; f >= 0; --f)
        for (const Celda& c : t.filas[f])
            if (c.tipo != Celda::Vacia)
                return f;
    return -1;
}

// The non-empty cells of a column in the first data rows.
static QList<Celda> Muestra(const Tabla& t, int desde, int col)
{
    QList<Celda> m;
    const int ultima = UltimaFila(t);
    for (int f = desde; f <= ultima && m.size() < 60; ++f)
        if (t.En(f, col).tipo != Celda::Vacia)
            m << t.En(f, col);
    return m;
}

// Which mark the numbers of the table use: "1.135,46" and "12,5" say comma,
// "1,135.46" and "12.5" say point; "1.135" alone says nothing, and then a
// semicolon file (a Spanish spreadsheet's export) is taken to use the comma.
static QChar DetectarDecimal(const Tabla& t, int desde)
{
    static const QRegularExpression numero(QStringLiteral("^[+-]?[\\d., \\x{00A0}]*\\d[\\d., \\x{00A0}]*$"));
    int coma = 0, punto = 0;
    const int ultima = UltimaFila(t);
    for (int f = desde; f <= ultima && f < desde + 500; ++f)
        for (const Celda& c : t.filas[f]) {
            if (c.tipo != Celda::Texto)
                continue;
            QString s = c.texto;
            s.remove(QChar(0x20AC)).remove(QLatin1Char('$'));
            s = s.trimmed();
            if (!numero.match(s).hasMatch())
                continue;
            const int uc = int(s.lastIndexOf(QLatin1Char(','))), up = int(s.lastIndexOf(QLatin1Char('.')));
            if (uc >= 0 && up >= 0) {
                ++(uc > up ? coma : punto);
            } else if (uc >= 0 || up >= 0) {
                const QChar m = uc >= 0 ? QLatin1Char(',') : QLatin1Char('.');
                const int u = std::max(uc, up);
                if (s.count(m) > 1)
                    ++(m == QLatin1Char(',') ? punto : coma); // repeated: it groups thousands
                else if (s.size() - u - 1 != 3)
                    ++(m == QLatin1Char(',') ? coma : punto);
            }
        }
    if (coma != punto)
        return coma > punto ? QLatin1Char(',') : QLatin1Char('.');
    return t.separador == QLatin1Char(';') ? QLatin1Char(',') : QLatin1Char('.');
}

// Rows below the data (a total, notes) are no part of a column's form: a
// few cells at the end of the sample that do not read are not counted.
constexpr int kFilasFinales = 5;

// Nine cells in ten read: a mistyped cell does not hide the column's form,
// it is named when converting.
static bool Encaja(const QList<Celda>& muestra, const std::function<bool(const Celda&)>& lee)
{
    qsizetype hasta = muestra.size();
    for (int k = 0; k < kFilasFinales && hasta > 1 && !lee(muestra[hasta - 1]); ++k)
        --hasta;
    const qsizetype n = std::count_if(muestra.begin(), muestra.begin() + hasta, lee);
    return n > 0 && n * 10 >= hasta * 9;
}

static FormaFecha FormaEn(const Tabla& t, const Deteccion& d, int col, bool numerosComoSerie)
{
    const QList<Celda> m = Muestra(t, d.filasCabecera, col);
    int a = 0, mes = 0;
    for (FormaFecha f : kFormasTexto)
        if (Encaja(m, [&](const Celda& c) { return LeerFecha(c, f, &a, &mes); }))
            return f;
    if (Encaja(m, [](const Celda& c) { return c.tipo == Celda::Fecha; }))
        return FormaFecha::Serie;
    // Year and month side by side: years with four digits, months 1..12.
    QList<bool> pares;
    const int ultima = UltimaFila(t);
    for (int f = d.filasCabecera; f <= ultima && pares.size() < 60; ++f) {
        if (t.En(f, col).tipo == Celda::Vacia && t.En(f, col + 1).tipo == Celda::Vacia)
            continue;
        pares << (Entero(t.En(f, col), numerosComoSerie ? 1 : 1000, 9999, &a) && Entero(t.En(f, col + 1), 1, 12, &mes));
    }
    for (int k = 0; k < kFilasFinales && pares.size() > 1 && !pares.constLast(); ++k)
        pares.removeLast();
    const qsizetype n = pares.count(true);
    if (n > 0 && n * 10 >= pares.size() * 9)
        return FormaFecha::AnioYMes;
    if (numerosComoSerie && Encaja(m, [&](const Celda& c) { return LeerFecha(c, FormaFecha::Serie, &a, &mes); }))
        return FormaFecha::Serie;
    return FormaFecha::Ninguna;
}

FormaFecha FormaDeColumna(const Tabla& t, const Deteccion& d, int col)
{
    if (col < 0)
        return FormaFecha::Ninguna;
    const FormaFecha f = FormaEn(t, d, col, true);
    if (f != FormaFecha::Ninguna && f != FormaFecha::AnioYMes)
        return f;
    FormaFecha mejor = FormaFecha::DiaMesAnio;
    qsizetype mejorCuenta = 0;
    const QList<Celda> m = Muestra(t, d.filasCabecera, col);
    int a = 0, mes = 0;
    for (FormaFecha g : {FormaFecha::Iso, FormaFecha::AnioMes, FormaFecha::MesAnio, FormaFecha::DiaMesAnio,
                         FormaFecha::NombreMes, FormaFecha::Serie}) {
        const qsizetype n =
            std::count_if(m.begin(), m.end(), [&](const Celda& c) { return LeerFecha(c, g, &a, &mes); });
        if (n > mejorCuenta) {
            mejorCuenta = n;
            mejor = g;
        }
    }
    return mejor;
}

static bool EsDeFecha(const Deteccion& d, int col)
{
    return d.forma != FormaFecha::Ninguna &&
           (col == d.colFecha || (d.forma == FormaFecha::AnioYMes && col == d.colFecha + 1));
}

Deteccion Detectar(const Tabla& t)
{
    Deteccion d;
    const int ultima = UltimaFila(t);
    if (ultima < 0)
        throw ErrorImportacion(t.libro
                                   ? QStringLiteral("La hoja «%1» está vacía: no hay datos que importar.").arg(t.nombre)
                                   : QStringLiteral("El fichero está vacío: no hay datos que importar."));
    // Titles, headers and empty rows come before the first row with a number or a date.
    while (d.filasCabecera <= ultima &&
           std::none_of(t.filas[d.filasCabecera].begin(), t.filas[d.filasCabecera].end(), PareceDato))
        ++d.filasCabecera;
    if (d.filasCabecera > ultima)
        throw ErrorImportacion(
            t.libro ? QStringLiteral("La hoja «%1» solo tiene cabecera: ninguna fila con números que importar.")
                          .arg(t.nombre)
                    : QStringLiteral("El fichero solo tiene cabecera: ninguna línea con números que importar."));
    d.decimal = DetectarDecimal(t, d.filasCabecera);

    const int columnas = t.Columnas();
    for (int c = 0; c < columnas && d.forma == FormaFecha::Ninguna; ++c) {
        const FormaFecha f = FormaEn(t, d, c, false);
        // Year and month columns need a third column for the values.
        if (f != FormaFecha::Ninguna && (f != FormaFecha::AnioYMes || columnas > 2)) {
            d.forma = f;
            d.colFecha = c;
        }
    }
    // The value: the first column of numbers right of the date, else the
    // column with most numbers.
    auto numeros = [&](int c) {
        double v = 0.0;
        const QList<Celda> m = Muestra(t, d.filasCabecera, c);
        return std::count_if(m.begin(), m.end(), [&](const Celda& x) { return LeerValor(x, d.decimal, &v); });
    };
    const int desde = d.forma == FormaFecha::AnioYMes ? d.colFecha + 2 : d.colFecha + 1;
    for (int c = std::max(desde, 0); c < columnas && d.colValor < 0; ++c) {
        double v = 0.0;
        if (!EsDeFecha(d, c) &&
            Encaja(Muestra(t, d.filasCabecera, c), [&](const Celda& x) { return LeerValor(x, d.decimal, &v); }))
            d.colValor = c;
    }
    qsizetype mas = -1;
    for (int c = 0; c < columnas && d.colValor < 0; ++c)
        if (!EsDeFecha(d, c) && numeros(c) > mas)
            mas = numeros(c);
    for (int c = 0; c < columnas && d.colValor < 0; ++c)
        if (!EsDeFecha(d, c) && numeros(c) == mas)
            d.colValor = c;
    return d;
}

QString NombreForma(FormaFecha f)
{
    switch (f) {
    case FormaFecha::Ninguna: return QStringLiteral("sin fecha");
    case FormaFecha::AnioYMes: return QStringLiteral("año y mes en dos columnas");
    case FormaFecha::AnioMes: return QStringLiteral("aaaa-mm");
    case FormaFecha::MesAnio: return QStringLiteral("mm/aaaa");
    case FormaFecha::DiaMesAnio: return QStringLiteral("dd/mm/aaaa");
    case FormaFecha::Iso: return QStringLiteral("aaaa-mm-dd");
    case FormaFecha::NombreMes: return QStringLiteral("nombre del mes y año (ene-20, enero 2020)");
    case FormaFecha::Serie: return QStringLiteral("fecha de hoja de cálculo");
    }
    return QString();
}

QString DescribirDeteccion(const Tabla& t, const Deteccion& d)
{
    QStringList partes;
    if (!t.libro) {
        const QChar s = t.separador;
        partes << QStringLiteral("Separador: %1")
                      .arg(s == QLatin1Char('\t')  ? QStringLiteral("tabulador")
                           : s == QLatin1Char(';') ? QStringLiteral("punto y coma")
                           : s == QLatin1Char(',') ? QStringLiteral("coma")
                                                   : QStringLiteral("ninguno (una columna)"));
    }
    const QString fila = t.libro ? QStringLiteral("fila") : QStringLiteral("línea");
    partes << (d.filasCabecera == 0 ? QStringLiteral("Cabecera: no")
                                    : QStringLiteral("Cabecera: %1 %2%3")
                                          .arg(d.filasCabecera)
                                          .arg(fila, d.filasCabecera > 1 ? QStringLiteral("s") : QString()));
    partes << (d.decimal == QLatin1Char(',') ? QStringLiteral("Decimal: coma (miles con punto)")
                                             : QStringLiteral("Decimal: punto (miles con coma)"));
    if (d.forma == FormaFecha::Ninguna)
        partes << QStringLiteral("Fecha: ninguna (se pedirá el año y el mes iniciales)");
    else if (d.forma == FormaFecha::AnioYMes)
        partes << QStringLiteral("Fecha: año y mes en las columnas %1 y %2")
                      .arg(t.NombreColumna(d.colFecha), t.NombreColumna(d.colFecha + 1));
    else
        partes << QStringLiteral("Fecha: %1 en la columna %2").arg(NombreForma(d.forma), t.NombreColumna(d.colFecha));
    if (d.colValor >= 0)
        partes << QStringLiteral("Valor: columna %1").arg(t.NombreColumna(d.colValor));
    return partes.join(QStringLiteral(" · "));
}

// ---------------------------------------------------------------- conversion

static QString Leido(const Celda& c)
{
    return QStringLiteral("«%1»").arg(TextoLegible(c.texto));
}

// An empty cell, or one with blanks only.
static bool SinDato(const Celda& c)
{
    return c.tipo == Celda::Vacia || (c.tipo == Celda::Texto && c.texto.trimmed().isEmpty());
}

// "Se omite la fila 27", "Se omiten las filas 27 y 28", "Se omiten las
// líneas 3 a 9": rows desde..hasta as the user counts them.
static QString Omitir(const Tabla& t, int desde, int hasta)
{
    const auto numero = [&](int f) { return !t.libro && f < t.lineas.size() ? t.lineas[f] : f + 1; };
    const QString una = t.libro ? QStringLiteral("fila") : QStringLiteral("línea");
    if (desde == hasta)
        return QStringLiteral("Se omite la %1 %2").arg(una).arg(numero(desde));
    return QStringLiteral("Se omiten las %1s %2 %3 %4")
        .arg(una)
        .arg(numero(desde))
        .arg(hasta == desde + 1 ? QStringLiteral("y") : QStringLiteral("a"))
        .arg(numero(hasta));
}

Importe ConvertirImporte(const Tabla& t, const Deteccion& d, bool conHuecos)
{
    if (d.colValor < 0)
        throw ErrorImportacion(QStringLiteral("No hay ninguna columna para los valores."));
    if (EsDeFecha(d, d.colValor))
        throw ErrorImportacion(QStringLiteral("La columna de los valores no puede ser también la de la fecha."));
    Importe imp;
    const int ultima = UltimaFila(t);
    const bool conFecha = d.forma != FormaFecha::Ninguna;
    const auto esFecha = [&](int f) {
        int a = 0, m = 0;
        if (d.forma == FormaFecha::AnioYMes)
            return Entero(t.En(f, d.colFecha), 1, 9999, &a) && Entero(t.En(f, d.colFecha + 1), 1, 12, &m);
        return LeerFecha(t.En(f, d.colFecha), d.forma, &a, &m);
    };
    const auto esValor = [&](int f) {
        double v = 0.0;
        return LeerValor(t.En(f, d.colValor), d.decimal, &v);
    };
    const auto vacio = [&](int f) { return SinDato(t.En(f, d.colValor)); };
    // Below the last row of data (its date reads; without dates, its value):
    // a total, notes, empty rows. When no row reads, every row is converted,
    // so that the first cell that does not read is named.
    int fin = ultima;
    while (fin >= d.filasCabecera && !(conFecha ? esFecha(fin) : esValor(fin)))
        --fin;
    QStringList omitidas;
    if (fin < d.filasCabecera) {
        fin = ultima;
    } else if (fin < ultima) {
        QStringList vistas;
        for (int f = fin + 1; f <= ultima && vistas.size() <= 3; ++f)
            for (int c = 0; c < t.filas[f].size(); ++c)
                if (t.filas[f][c].tipo != Celda::Vacia) {
                    vistas << (vistas.size() < 3 ? QStringLiteral("%1: %2").arg(t.Lugar(f, c), Leido(t.filas[f][c]))
                                                 : QStringLiteral("…"));
                    break;
                }
        const bool una = fin + 1 == ultima;
        omitidas << QStringLiteral("%1 del final, que no %2%3.")
                        .arg(Omitir(t, fin + 1, ultima),
                             conFecha ? (una ? QStringLiteral("es una fecha") : QStringLiteral("son fechas"))
                                      : (una ? QStringLiteral("es un número") : QStringLiteral("son números")),
                             vistas.isEmpty() ? QString()
                                              : QStringLiteral(" (%1)").arg(vistas.join(QStringLiteral("; "))));
    }
    // Months at either end without a value are none of the series yet (a
    // sheet with the year's months still to come): left out.
    int inicio = d.filasCabecera;
    while (conHuecos && inicio < fin && vacio(inicio) && (!conFecha || esFecha(inicio)))
        ++inicio;
    const int finValores = [&] {
        int f = fin;
        while (conHuecos && f > inicio && vacio(f) && (!conFecha || esFecha(f)))
            --f;
        return f;
    }();
    if (conHuecos && inicio == fin && vacio(fin) && (!conFecha || esFecha(fin)))
        throw ErrorImportacion(
            QStringLiteral("La columna %1 no tiene ningún valor que importar.").arg(t.NombreColumna(d.colValor)));
    if (inicio > d.filasCabecera)
        omitidas.prepend(QStringLiteral("%1 del principio, sin valor.").arg(Omitir(t, d.filasCabecera, inicio - 1)));
    if (finValores < fin)
        omitidas.insert(inicio > d.filasCabecera ? 1 : 0,
                        QStringLiteral("%1 del final, sin valor.").arg(Omitir(t, finValores + 1, fin)));
    imp.omitidas = omitidas.join(QLatin1Char(' '));
    imp.desde = inicio;
    imp.hasta = finValores;

    for (int f = inicio; f <= finValores; ++f) {
        Mes m;
        m.fila = f;
        if (d.forma == FormaFecha::AnioYMes) {
            const Celda& ca = t.En(f, d.colFecha);
            const Celda& cm = t.En(f, d.colFecha + 1);
            if (!Entero(ca, 1, 9999, &m.anio))
                throw ErrorImportacion(
                    ca.tipo == Celda::Vacia
                        ? QStringLiteral("%1: falta el año.").arg(t.Lugar(f, d.colFecha))
                        : QStringLiteral("%1: se esperaba un año y se lee %2.").arg(t.Lugar(f, d.colFecha), Leido(ca)));
            if (!Entero(cm, 1, 12, &m.mes))
                throw ErrorImportacion(cm.tipo == Celda::Vacia
                                           ? QStringLiteral("%1: falta el mes.").arg(t.Lugar(f, d.colFecha + 1))
                                           : QStringLiteral("%1: se esperaba un mes de 1 a 12 y se lee %2.")
                                                 .arg(t.Lugar(f, d.colFecha + 1), Leido(cm)));
        } else if (conFecha) {
            const Celda& c = t.En(f, d.colFecha);
            if (!LeerFecha(c, d.forma, &m.anio, &m.mes))
                throw ErrorImportacion(c.tipo == Celda::Vacia
                                           ? QStringLiteral("%1: falta la fecha.").arg(t.Lugar(f, d.colFecha))
                                           : QStringLiteral("%1: se esperaba una fecha (%2) y se lee %3.")
                                                 .arg(t.Lugar(f, d.colFecha), NombreForma(d.forma), Leido(c)));
        }
        const Celda& v = t.En(f, d.colValor);
        if (SinDato(v) && !conHuecos)
            throw ErrorImportacion(QStringLiteral("%1: falta el valor; los datos no admiten meses sin valor.")
                                       .arg(t.Lugar(f, d.colValor)));
        if (SinDato(v))
            m.sinValor = true;
        else if (!LeerValor(v, d.decimal, &m.valor))
            throw ErrorImportacion(
                QStringLiteral("%1: se esperaba un número y se lee %2.").arg(t.Lugar(f, d.colValor), Leido(v)));
        imp.meses.push_back(m);
    }
    return imp;
}

std::vector<Mes> Convertir(const Tabla& t, const Deteccion& d)
{
    return ConvertirImporte(t, d, false).meses;
}

QString TextoDatos(const std::vector<Mes>& meses, int anio, int mes)
{
    QString texto;
    for (const Mes& m : meses) {
        const bool conFecha = m.mes != 0;
        texto += TextoEntero(conFecha ? m.anio : anio) + QLatin1Char('\t') + TextoEntero(conFecha ? m.mes : mes) +
                 QLatin1Char('\t') + TextoGeneral(m.valor) + QLatin1Char('\n');
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return texto;
}

} // namespace tendora
