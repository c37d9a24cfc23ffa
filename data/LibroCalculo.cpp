// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/LibroCalculo.h"

#include "data/Numeros.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tendora {

namespace {

// The limits of the spreadsheets themselves; past them a file is damaged.
constexpr int kMaxFilas = 1048576;
constexpr int kMaxColumnas = 16384;
// No workbook of monthly data comes near these uncompressed, part by part
// or all its parts together; a zip bomb does.
constexpr qint64 kMaxParte = 256LL * 1024 * 1024;
constexpr qint64 kMaxLibro = 256LL * 1024 * 1024;
// Cells with content in the whole workbook (shared texts count too): a
// hundred years of months are a few thousand; this many already take
// hundreds of megabytes.
constexpr qint64 kMaxCeldas = 4000000;
// A run of columns empty in every row wider than this is kept as one empty
// column: a cell far right (column XFD) must not widen every row of the
// sheet to 16 384 cells. Narrower runs stay, as the sheet shows them.
constexpr int kHueco = 26;
// Rows of all the sheets together, empty ones included: four sheets as long
// as a spreadsheet's. And sheets: a year a sheet for millennia.
constexpr qint64 kMaxFilasLibro = 4LL * kMaxFilas;
constexpr int kMaxHojas = 10000;
// Characters in a cell, as the spreadsheets allow.
constexpr qsizetype kMaxTextoCelda = 32767;
// Cell styles: the spreadsheets themselves allow some 64 000.
constexpr int kMaxEstilos = 65536;

const QDate kOrigenSerie(1899, 12, 30);

class Zip {
public:
    explicit Zip(const QString& ruta)
        : m_zip(unzOpen64(QFile::encodeName(ruta).constData())), m_nombre(QFileInfo(ruta).fileName())
    {
        if (!m_zip)
            throw ErrorImportacion(
                QStringLiteral("El fichero «%1» no es un libro de hoja de cálculo legible: no se puede abrir como "
                               "archivo comprimido (zip).")
                    .arg(m_nombre));
    }
    ~Zip() { unzClose(m_zip); }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;
    // Part names compared without case (2), as spreadsheet programs do.
    bool Tiene(const QString& parte) { return unzLocateFile(m_zip, parte.toUtf8().constData(), 2) == UNZ_OK; }
    // The part's bytes; empty when it is missing and not required.
    QByteArray Leer(const QString& parte, bool obligatoria)
    {
        if (!Tiene(parte)) {
            if (obligatoria)
                throw ErrorImportacion(
                    QStringLiteral("El libro «%1» está incompleto: le falta %2.").arg(m_nombre, parte));
            return {};
        }
        const auto grande = [&] {
            return ErrorImportacion(
                QStringLiteral("El libro «%1» es demasiado grande: %2 ocupa más de 256 MB.").arg(m_nombre, parte));
        };
        const quint64 tamano = Tamano(parte);
        if (tamano > quint64(kMaxParte))
            throw grande();
        if (tamano > quint64(kMaxLibro - m_leido))
            throw Grande();
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            throw Danado(parte);
        // Read in pieces: the size in the header is only what the file claims.
        QByteArray b;
        char trozo[65536];
        int n = 0;
        while ((n = unzReadCurrentFile(m_zip, trozo, sizeof trozo)) > 0 && b.size() <= kMaxParte &&
               m_leido + b.size() <= kMaxLibro)
            b.append(trozo, n);
        // Closing after the whole part checks its CRC.
        const int cierre = unzCloseCurrentFile(m_zip);
        if (b.size() > kMaxParte)
            throw grande();
        if (m_leido + b.size() > kMaxLibro)
            throw Grande();
        if (n < 0 || cierre != UNZ_OK)
            throw Danado(parte);
        m_leido += b.size();
        return b;
    }
    // Whether the parts still to read fit what the workbook may take in all.
    void ComprobarTotal(const QStringList& partes)
    {
        quint64 total = quint64(m_leido);
        for (const QString& p : partes)
            if (Tiene(p))
                total += std::min(Tamano(p), quint64(kMaxLibro) + 1);
        if (total > quint64(kMaxLibro))
            throw Grande();
    }
    ErrorImportacion Grande() const
    {
        return ErrorImportacion(
            QStringLiteral("El libro «%1» es demasiado grande: descomprimidas, sus partes ocupan más de 256 MB.")
                .arg(m_nombre));
    }
    ErrorImportacion Danado(const QString& parte) const
    {
        return ErrorImportacion(
            QStringLiteral("El libro «%1» está dañado: no se puede descomprimir %2.").arg(m_nombre, parte));
    }
    ErrorImportacion XmlDanado(const QString& parte, const QXmlStreamReader& x) const
    {
        return ErrorImportacion(QStringLiteral("El libro «%1» está dañado: el XML de %2 no es válido (línea %3).")
                                    .arg(m_nombre, parte)
                                    .arg(x.lineNumber()));
    }
    const QString& Nombre() const { return m_nombre; }

private:
    // The uncompressed size the located part claims; minizip never gives more.
    quint64 Tamano(const QString& parte)
    {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            throw Danado(parte);
        return info.uncompressed_size;
    }

    unzFile m_zip;
    QString m_nombre;
    qint64 m_leido = 0; // bytes of the parts read so far
};

// What the sheets read so far hold, counted against the workbook's limits.
struct Presupuesto {
    qint64 celdas = 0; // with content, shared texts included
    qint64 filas = 0; // empty ones included
};

// The cells of one sheet with content, as they are read: each row holds only
// its cells with content, so a cell far right costs one cell, not a row of
// them; repeated rows share one list. Disponer() lays them out.
class CeldasHoja {
public:
    struct Entrada {
        int col;
        Celda celda;
    };
    CeldasHoja(const QString& nombre, Presupuesto* p) : m_nombre(nombre), m_p(p) { }

    int Filas() const { return int(m_filas.size()); }
    // One cell; a later one at the same place replaces it.
    void Poner(int fila, int col, const Celda& c)
    {
        if (++m_p->celdas > kMaxCeldas)
            Demasiadas(fila, col);
        if (fila >= m_filas.size()) {
            ContarFilas(fila + 1 - m_filas.size());
            m_filas.resize(fila + 1);
        }
        m_filas[fila].append({col, c});
    }
    // A row at the end, n times over, after `vacias` empty rows.
    void Anadir(const QList<Entrada>& fila, int n, int vacias)
    {
        if (!fila.isEmpty()) {
            const qint64 antes = m_p->celdas;
            m_p->celdas += qint64(fila.size()) * n;
            if (m_p->celdas > kMaxCeldas) {
                const qint64 k = kMaxCeldas - antes; // the first cell past the limit, from 0
                Demasiadas(qint64(m_filas.size()) + vacias + k / fila.size(), fila[k % fila.size()].col);
            }
        }
        ContarFilas(qint64(vacias) + n);
        for (int i = 0; i < vacias; ++i)
            m_filas.append(QList<Entrada>());
        for (int i = 0; i < n; ++i)
            m_filas.append(fila);
    }

    Tabla Disponer() const
    {
        Tabla t;
        t.libro = true;
        t.nombre = m_nombre;
        // The columns with content; between them every empty column, or one
        // for a run wider than kHueco. Work in the cells there are, not in
        // the sheet's width: a workbook may hold thousands of small sheets.
        std::vector<int> usadas;
        for (qsizetype i = 0; i < m_filas.size(); ++i)
            if (i == 0 || m_filas[i].constData() != m_filas[i - 1].constData())
                for (const Entrada& e : m_filas[i])
                    usadas.push_back(e.col);
        std::sort(usadas.begin(), usadas.end());
        usadas.erase(std::unique(usadas.begin(), usadas.end()), usadas.end());
        std::vector<int> destino(usadas.size()); // the table's column of each used one
        int anterior = -1;
        for (size_t k = 0; k < usadas.size(); ++k) {
            const int c = usadas[k];
            if (c - anterior - 1 > kHueco)
                t.columnasHoja << anterior + 1;
            else
                for (int g = anterior + 1; g < c; ++g)
                    t.columnasHoja << g;
            destino[k] = int(t.columnasHoja.size());
            t.columnasHoja << c;
            anterior = c;
        }
        if (t.columnasHoja.size() == anterior + 1)
            t.columnasHoja.clear(); // every column kept: the sheet's own
        t.filas.reserve(m_filas.size());
        for (qsizetype i = 0; i < m_filas.size(); ++i) {
            const QList<Entrada>& f = m_filas[i];
            // A repeated row is laid out once.
            if (i > 0 && !f.isEmpty() && f.constData() == m_filas[i - 1].constData()) {
                t.filas << t.filas.constLast();
                continue;
            }
            QList<Celda> fila;
            for (const Entrada& e : f) {
                const int c = destino[size_t(std::lower_bound(usadas.begin(), usadas.end(), e.col) - usadas.begin())];
                if (c >= fila.size())
                    fila.resize(c + 1);
                fila[c] = e.celda;
            }
            t.filas << fila;
        }
        return t;
    }

private:
    [[noreturn]] void Demasiadas(qint64 fila, int col) const
    {
        throw ErrorImportacion(QStringLiteral("La hoja «%1» es demasiado grande para importarla: en la celda %2%3 "
                                              "el libro pasa de %4 celdas con contenido.")
                                   .arg(m_nombre, LetraColumna(col))
                                   .arg(fila + 1)
                                   .arg(kMaxCeldas));
    }
    void ContarFilas(qint64 n)
    {
        m_p->filas += n;
        if (m_p->filas > kMaxFilasLibro)
            throw ErrorImportacion(QStringLiteral("La hoja «%1» es demasiado grande para importarla: en su fila %2 "
                                                  "el libro pasa de %3 filas.")
                                       .arg(m_nombre)
                                       .arg(qint64(m_filas.size()) + n - (m_p->filas - kMaxFilasLibro) + 1)
                                       .arg(kMaxFilasLibro));
    }

    QString m_nombre;
    Presupuesto* m_p;
    QList<QList<Entrada>> m_filas;
};

double NumeroXml(const QString& s, bool* ok)
{
    const double v = QLocale::c().toDouble(s.trimmed(), ok);
    if (*ok && !std::isfinite(v))
        *ok = false;
    return v;
}

Celda CeldaFecha(double serie, const QString& texto = QString())
{
    Celda c;
    c.tipo = Celda::Fecha;
    c.numero = serie;
    // A serial no calendar reaches (year 10000 on) is shown as its number.
    if (!texto.isEmpty())
        c.texto = texto;
    else if (serie > -1e7 && serie < 1e7)
        c.texto = kOrigenSerie.addDays(qint64(std::floor(serie))).toString(QStringLiteral("dd/MM/yyyy"));
    else
        c.texto = TextoGeneral(serie);
    return c;
}

ErrorImportacion MuchasHojas(const Zip& zip)
{
    return ErrorImportacion(QStringLiteral("El libro «%1» es demasiado grande para importarlo: tiene más de %2 hojas.")
                                .arg(zip.Nombre())
                                .arg(kMaxHojas));
}

// ---------------------------------------------------------------- xlsx

// The text of a shared or inline string: its runs, without phonetic guides.
QString TextoRico(QXmlStreamReader& x)
{
    QString s;
    const QString fin = x.name().toString();
    int fonetica = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == u"rPh")
                ++fonetica;
            else if (x.name() == u"t" && fonetica == 0)
                s += x.readElementText();
        } else if (x.isEndElement()) {
            if (x.name() == u"rPh")
                --fonetica;
            else if (x.name() == fin)
                break;
        }
    }
    return s;
}

// "B7" → column 1 (from 0) and row 6; false for a reference that is none.
bool Referencia(QStringView r, int* col, int* fila)
{
    int c = 0, i = 0;
    while (i < r.size() && i < 3 && ((r[i] >= u'A' && r[i] <= u'Z') || (r[i] >= u'a' && r[i] <= u'z'))) {
        c = c * 26 + (r[i].toUpper().unicode() - u'A' + 1);
        ++i;
    }
    bool ok = false;
    const int f = r.mid(i).toInt(&ok);
    if (i == 0 || !ok || f < 1)
        return false;
    *col = c - 1;
    *fila = f - 1;
    return true;
}

// A number format that shows a date: the built-in date formats, or a code
// with day, month or year letters outside quotes and brackets.
bool FormatoDeFecha(int id, const QHash<int, QString>& propios)
{
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return true;
    const auto it = propios.find(id);
    if (it == propios.end())
        return false;
    QString codigo = *it;
    static const QRegularExpression fuera(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]|\\\\.|_.|\\*."));
    codigo.remove(fuera);
    static const QRegularExpression fecha(QStringLiteral("[dDmMyY]"));
    return codigo.contains(fecha) && codigo.compare(u"General", Qt::CaseInsensitive) != 0;
}

// Which cell styles (index into cellXfs) show dates.
QSet<int> EstilosDeFecha(const QByteArray& xml)
{
    QSet<int> fechas;
    if (xml.isEmpty())
        return fechas;
    QHash<int, QString> propios;
    QXmlStreamReader x(xml);
    bool enCeldas = false;
    int indice = 0;
    QList<int> formatos;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == u"numFmt" && propios.size() < kMaxEstilos)
                propios.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                               x.attributes().value(QLatin1String("formatCode")).toString());
            else if (x.name() == u"cellXfs")
                enCeldas = true;
            else if (x.name() == u"xf" && enCeldas && formatos.size() < kMaxEstilos)
                formatos << x.attributes().value(QLatin1String("numFmtId")).toInt();
        } else if (x.isEndElement() && x.name() == u"cellXfs") {
            enCeldas = false;
        }
    }
    // Styles are only a hint; a damaged styles part leaves the numbers as numbers.
    for (int f : formatos) {
        if (FormatoDeFecha(f, propios))
            fechas.insert(indice);
        ++indice;
    }
    return fechas;
}

void LeerHojaXlsx(Zip& zip, const QString& parte, const QStringList& compartidas, const QSet<int>& fechas,
                  double desfase, CeldasHoja& t)
{
    const QByteArray xml = zip.Leer(parte, true);
    QXmlStreamReader x(xml);
    int fila = -1;
    int col = -1;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"row") {
            bool ok = false;
            const int r = x.attributes().value(QLatin1String("r")).toInt(&ok);
            // Past the sheet's last row only a cell tells it is damaged.
            fila = ok && r >= 1 ? r - 1 : std::min(fila + 1, kMaxFilas);
            col = -1;
            continue;
        }
        if (x.name() != u"c")
            continue;
        const QXmlStreamAttributes a = x.attributes();
        int f = fila, c = col + 1;
        if (a.hasAttribute(QLatin1String("r")) && !Referencia(a.value(QLatin1String("r")), &c, &f))
            throw ErrorImportacion(
                QStringLiteral("El libro «%1» está dañado: la celda «%2» de %3 no es una referencia.")
                    .arg(zip.Nombre(), a.value(QLatin1String("r")).toString(), parte));
        f = std::max(f, 0);
        if (f >= kMaxFilas || c >= kMaxColumnas)
            throw ErrorImportacion(QStringLiteral("El libro «%1» está dañado: %2 tiene una celda fuera de la hoja.")
                                       .arg(zip.Nombre(), parte));
        fila = f;
        col = c;
        const QString tipo = a.value(QLatin1String("t")).toString();
        const int estilo = a.value(QLatin1String("s")).toInt();
        QString v;
        bool hayV = false;
        QString enLinea;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == u"v") {
                    v = x.readElementText();
                    hayV = true;
                } else if (x.name() == u"is") {
                    enLinea = TextoRico(x);
                } else {
                    x.skipCurrentElement();
                }
            } else if (x.isEndElement() && x.name() == u"c") {
                break;
            }
        }
        Celda celda;
        if (tipo == u"inlineStr") {
            celda.texto = enLinea;
        } else if (tipo == u"s") {
            bool ok = false;
            const int i = v.toInt(&ok);
            if (!ok || i < 0 || i >= compartidas.size())
                throw ErrorImportacion(
                    QStringLiteral("El libro «%1» está dañado: la celda %2%3 usa un texto compartido "
                                   "que no existe.")
                        .arg(zip.Nombre(), LetraColumna(c))
                        .arg(f + 1));
            celda.texto = compartidas[i];
        } else if (tipo == u"str" || tipo == u"e") {
            celda.texto = v;
        } else if (tipo == u"b") {
            celda.texto = v.trimmed() == u"1" ? QStringLiteral("VERDADERO") : QStringLiteral("FALSO");
        } else if (tipo == u"d") {
            const QDate d = QDate::fromString(v.left(10), Qt::ISODate);
            if (d.isValid())
                celda = CeldaFecha(double(kOrigenSerie.daysTo(d)));
            else
                celda.texto = v;
        } else if (hayV) {
            bool ok = false;
            const double n = NumeroXml(v, &ok);
            if (!ok) {
                celda.texto = v;
            } else if (fechas.contains(estilo)) {
                celda = CeldaFecha(n + desfase);
            } else {
                celda.tipo = Celda::Numero;
                celda.numero = n;
                celda.texto = TextoGeneral(n);
            }
        }
        if (celda.tipo == Celda::Vacia && !celda.texto.trimmed().isEmpty())
            celda.tipo = Celda::Texto;
        if (celda.tipo != Celda::Vacia)
            t.Poner(f, c, celda);
    }
    if (x.hasError())
        throw zip.XmlDanado(parte, x);
}

QList<Tabla> LeerXlsx(Zip& zip)
{
    struct Hoja {
        QString nombre, id;
    };
    QList<Hoja> hojas;
    double desfase = 0.0;
    {
        const QString parte = QStringLiteral("xl/workbook.xml");
        QXmlStreamReader x(zip.Leer(parte, true));
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement())
                continue;
            if (x.name() == u"workbookPr") {
                const auto d = x.attributes().value(QLatin1String("date1904"));
                if (d == u"1" || d == u"true")
                    desfase = 1462.0; // the Mac epoch counts from 1/1/1904
            } else if (x.name() == u"sheet") {
                Hoja h;
                h.nombre = x.attributes().value(QLatin1String("name")).toString();
                for (const QXmlStreamAttribute& a : x.attributes())
                    if (a.name() == u"id" && !a.namespaceUri().isEmpty())
                        h.id = a.value().toString();
                if (hojas.size() >= kMaxHojas)
                    throw MuchasHojas(zip);
                hojas << h;
            }
        }
        if (x.hasError())
            throw zip.XmlDanado(parte, x);
    }
    if (hojas.isEmpty())
        throw ErrorImportacion(QStringLiteral("El libro «%1» no tiene ninguna hoja.").arg(zip.Nombre()));

    QHash<QString, QString> destinos;
    {
        QXmlStreamReader x(zip.Leer(QStringLiteral("xl/_rels/workbook.xml.rels"), false));
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"Relationship") {
                QString destino = x.attributes().value(QLatin1String("Target")).toString();
                destino = destino.startsWith(QLatin1Char('/')) ? destino.mid(1) : QStringLiteral("xl/") + destino;
                destinos.insert(x.attributes().value(QLatin1String("Id")).toString(), destino);
            }
        }
    }

    // Every sheet's part, each read once however many sheets name it (part
    // names compared as the zip compares them, without case).
    QStringList partes;
    QStringList distintas;
    QSet<QString> vistas;
    for (int i = 0; i < hojas.size(); ++i) {
        partes << destinos.value(hojas[i].id, QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1));
        if (!vistas.contains(partes.constLast().toLower())) {
            vistas.insert(partes.constLast().toLower());
            distintas << partes.constLast();
        }
    }
    zip.ComprobarTotal(distintas +
                       QStringList{QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/styles.xml")});

    Presupuesto presupuesto;
    QStringList compartidas;
    {
        const QString parte = QStringLiteral("xl/sharedStrings.xml");
        QXmlStreamReader x(zip.Leer(parte, false));
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si") {
                if (++presupuesto.celdas > kMaxCeldas)
                    throw ErrorImportacion(QStringLiteral("El libro «%1» es demasiado grande para importarlo: "
                                                          "%2 tiene más de %3 textos.")
                                               .arg(zip.Nombre(), parte)
                                               .arg(kMaxCeldas));
                compartidas << TextoRico(x);
            }
        }
        if (x.hasError() && x.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            throw zip.XmlDanado(parte, x);
    }
    const QSet<int> fechas = EstilosDeFecha(zip.Leer(QStringLiteral("xl/styles.xml"), false));

    QList<Tabla> tablas;
    QHash<QString, Tabla> leidas;
    for (int i = 0; i < hojas.size(); ++i) {
        const QString clave = partes[i].toLower();
        auto it = leidas.find(clave);
        if (it == leidas.end()) {
            CeldasHoja h(hojas[i].nombre, &presupuesto);
            LeerHojaXlsx(zip, partes[i], compartidas, fechas, desfase, h);
            it = leidas.insert(clave, h.Disponer());
        }
        Tabla t = *it; // shares the cells of every sheet on the same part
        t.nombre = hojas[i].nombre;
        tablas << t;
    }
    return tablas;
}

// ---------------------------------------------------------------- ods

const QString kTabla = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTexto = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

// The shown text of a cell: its paragraphs, with the spaces, tabs and breaks
// they mark up; notes left out.
QString TextoCeldaOds(QXmlStreamReader& x)
{
    QString s;
    int parrafos = 0;
    int nivel = 1;
    while (!x.atEnd() && nivel > 0) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == u"annotation") {
                x.skipCurrentElement();
                continue;
            }
            ++nivel;
            if (x.namespaceUri() == kTexto) {
                if (x.name() == u"p" || x.name() == u"h") {
                    if (parrafos++ > 0)
                        s += QLatin1Char('\n');
                } else if (x.name() == u"s") {
                    // Each space mark costs a few bytes and writes up to 1000:
                    // no more of them than a spreadsheet's cell holds.
                    const int n = std::clamp(x.attributes().value(kTexto, QLatin1String("c")).toInt(), 1, 1000);
                    if (const qsizetype cabe = kMaxTextoCelda - s.size(); cabe > 0)
                        s += QString(std::min<qsizetype>(n, cabe), QLatin1Char(' '));
                } else if (x.name() == u"tab") {
                    s += QLatin1Char('\t');
                } else if (x.name() == u"line-break") {
                    s += QLatin1Char('\n');
                }
            }
        } else if (x.isEndElement()) {
            --nivel;
        } else if (x.isCharacters()) {
            s += x.text();
        }
    }
    return s;
}

Celda CeldaOds(QXmlStreamReader& x)
{
    const QXmlStreamAttributes a = x.attributes();
    const QString tipo = a.value(kOffice, QLatin1String("value-type")).toString();
    const QString texto = TextoCeldaOds(x);
    Celda c;
    if (tipo == u"float" || tipo == u"percentage" || tipo == u"currency") {
        bool ok = false;
        const double v = NumeroXml(a.value(kOffice, QLatin1String("value")).toString(), &ok);
        if (ok) {
            c.tipo = Celda::Numero;
            c.numero = v;
            c.texto = texto.isEmpty() ? TextoGeneral(v) : texto;
            return c;
        }
    } else if (tipo == u"date") {
        const QDate d =
            QDate::fromString(a.value(kOffice, QLatin1String("date-value")).left(10).toString(), Qt::ISODate);
        if (d.isValid())
            return CeldaFecha(double(kOrigenSerie.daysTo(d)), texto);
    }
    c.texto = texto;
    c.tipo = texto.trimmed().isEmpty() ? Celda::Vacia : Celda::Texto;
    return c;
}

// Repeated rows and cells expand, except the empty ones that run to the
// sheet's end (a styled column repeats a million times).
void LeerFilaOds(QXmlStreamReader& x, CeldasHoja& t, const QString& nombre, int& vaciasPendientes)
{
    const int repetida = std::max(1, x.attributes().value(kTabla, QLatin1String("number-rows-repeated")).toInt());
    QList<CeldasHoja::Entrada> fila;
    qint64 col = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement() && x.name() == u"table-row")
            break;
        if (!x.isStartElement())
            continue;
        if (x.name() != u"table-cell" && x.name() != u"covered-table-cell") {
            x.skipCurrentElement();
            continue;
        }
        const int n = std::max(1, x.attributes().value(kTabla, QLatin1String("number-columns-repeated")).toInt());
        const Celda c = CeldaOds(x);
        if (c.tipo == Celda::Vacia) {
            col = std::min<qint64>(col + n, kMaxColumnas);
            continue;
        }
        if (col + n > kMaxColumnas)
            throw ErrorImportacion(
                QStringLiteral("La hoja «%1» tiene más de %2 columnas.").arg(nombre).arg(kMaxColumnas));
        for (int i = 0; i < n; ++i)
            fila.append({int(col++), c});
    }
    if (fila.isEmpty()) {
        vaciasPendientes = int(std::min<qint64>(qint64(vaciasPendientes) + repetida, kMaxFilas));
        return;
    }
    if (qint64(t.Filas()) + vaciasPendientes + repetida > kMaxFilas)
        throw ErrorImportacion(QStringLiteral("La hoja «%1» tiene más de %2 filas.").arg(nombre).arg(kMaxFilas));
    t.Anadir(fila, repetida, vaciasPendientes);
    vaciasPendientes = 0;
}

QList<Tabla> LeerOds(Zip& zip)
{
    const QString parte = QStringLiteral("content.xml");
    QXmlStreamReader x(zip.Leer(parte, true));
    QList<Tabla> tablas;
    std::optional<CeldasHoja> hoja;
    QString nombre;
    Presupuesto presupuesto;
    int vacias = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement() || x.namespaceUri() != kTabla)
            continue;
        if (x.name() == u"table") {
            if (hoja)
                tablas << hoja->Disponer();
            nombre = x.attributes().value(kTabla, QLatin1String("name")).toString();
            if (tablas.size() >= kMaxHojas)
                throw MuchasHojas(zip);
            hoja.emplace(nombre, &presupuesto);
            vacias = 0;
        } else if (x.name() == u"table-row" && hoja) {
            LeerFilaOds(x, *hoja, nombre, vacias);
        }
    }
    if (x.hasError())
        throw zip.XmlDanado(parte, x);
    if (hoja)
        tablas << hoja->Disponer();
    if (tablas.isEmpty())
        throw ErrorImportacion(QStringLiteral("El libro «%1» no tiene ninguna hoja.").arg(zip.Nombre()));
    return tablas;
}

} // namespace

QList<Tabla> LeerLibro(const QString& ruta)
{
    if (!QFileInfo(ruta).isFile())
        throw ErrorImportacion(QStringLiteral("No se puede abrir el fichero %1.").arg(ruta));
    Zip zip(ruta);
    if (zip.Tiene(QStringLiteral("xl/workbook.xml")))
        return LeerXlsx(zip);
    if (zip.Tiene(QStringLiteral("content.xml")))
        return LeerOds(zip);
    throw ErrorImportacion(
        QStringLiteral("El fichero «%1» es un archivo comprimido pero no un libro .xlsx ni .ods.").arg(zip.Nombre()));
}

QList<Tabla> LeerParaImportar(const QString& ruta)
{
    const QFileInfo info(ruta);
    const QString ext = info.suffix().toLower();
    if (ext == u"xlsx" || ext == u"ods")
        return LeerLibro(ruta);
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorImportacion(QStringLiteral("No se puede abrir el fichero %1. %2").arg(ruta, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw ErrorImportacion(QStringLiteral("Error de lectura en %1. %2").arg(ruta, f.errorString()));
    return {LeerTextoDelimitado(bytes, info.fileName())};
}

} // namespace tendora
