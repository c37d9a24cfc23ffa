// SPDX-License-Identifier: GPL-3.0-or-later
// The grid component's output to files and the clipboard: copying, the five
// exports, choosing one by the dialog's filter and a failed write.
#include "ui/ExportarRejilla.h"
#include "data/LibroCalculo.h"
#include "data/EscrituraSegura.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>
#include <QtTest>

#include <cctype>
#include <map>

using namespace tendora;
using namespace prueba;

namespace {

// ---- a small reader of OLE2 compound files and BIFF8 records, independent of the writer

// Little-endian fields at byte p.
const auto L16 = [](const QByteArray& b, qsizetype p) { return qFromLittleEndian<quint16>(b.constData() + p); };
const auto L32 = [](const QByteArray& b, qsizetype p) { return qFromLittleEndian<quint32>(b.constData() + p); };
const auto LF64 = [](const QByteArray& b, qsizetype p) { return qFromLittleEndian<double>(b.constData() + p); };

QByteArray FlujoOle(const QByteArray& f, const QString& nombre, QString* error)
{
    auto fallo = [&](const QString& e) {
        *error = e;
        return QByteArray();
    };
    if (f.size() < 512 || !f.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")))
        return fallo("no OLE2 signature");
    if (L16(f, 30) != 9)
        return fallo("sector size is not 512");
    auto sector = [&](uint32_t s) { return f.mid(qsizetype(s + 1) * 512, 512); };
    const uint32_t numFat = L32(f, 44);
    std::vector<uint32_t> fatSectores;
    for (uint32_t i = 0; i < std::min<uint32_t>(numFat, 109); ++i)
        fatSectores.push_back(L32(f, 76 + 4 * i));
    uint32_t difat = L32(f, 68);
    while (fatSectores.size() < numFat) {
        if (difat >= 0xFFFFFFFA)
            return fallo("DIFAT chain ends early");
        const QByteArray d = sector(difat);
        for (int j = 0; j < 127 && fatSectores.size() < numFat; ++j)
            fatSectores.push_back(L32(d, 4 * j));
        difat = L32(d, 508);
    }
    std::vector<uint32_t> fat;
    for (uint32_t s : fatSectores) {
        const QByteArray d = sector(s);
        for (int j = 0; j < 128; ++j)
            fat.push_back(L32(d, 4 * j));
    }
    auto cadena = [&](uint32_t inicio) {
        QByteArray r;
        size_t pasos = 0;
        for (uint32_t s = inicio; s < 0xFFFFFFFA && pasos <= fat.size(); s = fat[s], ++pasos)
            r += sector(s);
        return r;
    };
    const QByteArray dir = cadena(L32(f, 48));
    for (qsizetype e = 0; e + 128 <= dir.size(); e += 128) {
        const int largo = L16(dir, e + 64);
        QString n;
        for (int i = 0; i + 2 < largo; i += 2)
            n += QChar(L16(dir, e + i));
        if (dir[e + 66] == 2 && n == nombre)
            return cadena(L32(dir, e + 116)).left(L32(dir, e + 120));
    }
    return fallo("stream not found");
}

struct CeldaLeida {
    bool numero = false;
    double valor = 0;
    QString texto;
    int xf = -1;
};

struct LibroLeido {
    QStringList hojas;
    std::vector<std::map<std::pair<int, int>, CeldaLeida>> celdas; // per sheet, (row, col)
    std::vector<std::pair<int, int>> formatosXf; // (font, format) per XF
    std::vector<std::map<int, double>> anchos; // per sheet: column width in '0's
    std::vector<uint32_t> posHojas, posBof;
    QString error;
};

// Reads the strings of an SST whose payload comes in several records.
QStringList LeerSst(const std::vector<QByteArray>& seg, QString* error)
{
    size_t s = 0;
    qsizetype p = 8;
    auto disponible = [&]() {
        while (s < seg.size() && p >= seg[s].size()) {
            ++s;
            p = 0;
        }
        return s < seg.size();
    };
    auto byte = [&]() -> int {
        if (!disponible())
            return -1;
        return static_cast<uint8_t>(seg[s][p++]);
    };
    const uint32_t unicas = L32(seg[0], 4);
    QStringList r;
    for (uint32_t i = 0; i < unicas; ++i) {
        const int a = byte(), b = byte(), flags = byte();
        if (a < 0 || b < 0 || flags < 0) {
            *error = "SST ends early";
            return r;
        }
        const int cch = a | (b << 8);
        bool alto = flags & 1;
        if (flags & 0x0C) {
            *error = "unexpected rich or extended string";
            return r;
        }
        QString t;
        for (int k = 0; k < cch; ++k) {
            if (p >= seg[s].size()) {
                // A string split over records restates its width in a leading byte.
                ++s;
                p = 0;
                if (s >= seg.size()) {
                    *error = "string cut at the end";
                    return r;
                }
                alto = static_cast<uint8_t>(seg[s][p++]) & 1;
            }
            if (alto) {
                t += QChar(L16(seg[s], p));
                p += 2;
            } else {
                t += QChar(static_cast<uint8_t>(seg[s][p++]));
            }
        }
        r << t;
    }
    return r;
}

LibroLeido LeerXls(const QByteArray& archivo)
{
    LibroLeido l;
    const QByteArray w = FlujoOle(archivo, QStringLiteral("Workbook"), &l.error);
    if (!l.error.isEmpty())
        return l;
    QStringList sst;
    std::vector<QByteArray> segmentos;
    int hoja = -1;
    bool enSst = false;
    for (qsizetype p = 0; p + 4 <= w.size();) {
        const uint16_t tipo = L16(w, p), largo = L16(w, p + 2);
        if (largo > 8224) {
            l.error = QStringLiteral("record of %1 bytes").arg(largo);
            return l;
        }
        const QByteArray d = w.mid(p + 4, largo);
        if (enSst && tipo != 0x003C) {
            sst = LeerSst(segmentos, &l.error);
            if (!l.error.isEmpty())
                return l;
            enSst = false;
        }
        switch (tipo) {
        case 0x0809:
            if (L16(d, 2) == 0x0010) {
                l.posBof.push_back(static_cast<uint32_t>(p));
                ++hoja;
                l.celdas.emplace_back();
                l.anchos.emplace_back();
            }
            break;
        case 0x0085: {
            l.posHojas.push_back(L32(d, 0));
            const int cch = static_cast<uint8_t>(d[6]);
            QString n;
            for (int i = 0; i < cch; ++i)
                n += (d[7] & 1) ? QChar(L16(d, 8 + 2 * i)) : QChar(static_cast<uint8_t>(d[8 + i]));
            l.hojas << n;
            break;
        }
        case 0x00E0: l.formatosXf.emplace_back(L16(d, 0), L16(d, 2)); break;
        case 0x007D: // COLINFO: first and last column, width in 1/256 of a '0'
            if (hoja >= 0)
                for (int c = L16(d, 0); c <= L16(d, 2); ++c)
                    l.anchos[hoja][c] = L16(d, 4) / 256.0;
            break;
        case 0x00FC:
            segmentos = {d};
            enSst = true;
            break;
        case 0x003C:
            if (enSst)
                segmentos.push_back(d);
            break;
        case 0x0203:
        case 0x00FD: {
            if (hoja < 0) {
                l.error = "cell outside a sheet";
                return l;
            }
            CeldaLeida c;
            c.xf = L16(d, 4);
            if (tipo == 0x0203) {
                c.numero = true;
                c.valor = LF64(d, 6);
            } else {
                const uint32_t k = L32(d, 6);
                if (k >= static_cast<uint32_t>(sst.size())) {
                    l.error = "string index out of the SST";
                    return l;
                }
                c.texto = sst[k];
            }
            l.celdas[hoja][{L16(d, 0), L16(d, 2)}] = c;
            break;
        }
        default: break;
        }
        p += 4 + largo;
    }
    return l;
}

// Cell texts of an RTF table, row by row, undoing our escapes.
QList<QStringList> LeerRtf(const QByteArray& rtf)
{
    QList<QStringList> filas;
    QStringList fila;
    QString texto;
    bool enCelda = false;
    for (qsizetype i = 0; i < rtf.size();) {
        const char c = rtf[i];
        if (c == '\\') {
            const char n = rtf[i + 1];
            if (n == '\\' || n == '{' || n == '}') {
                texto += QLatin1Char(n);
                i += 2;
                continue;
            }
            qsizetype j = i + 1;
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const QByteArray palabra = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                ++k;
                while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k])))
                    ++k;
            }
            const QByteArray numero = rtf.mid(j, k - j);
            if (k < rtf.size() && rtf[k] == ' ')
                ++k;
            if (palabra == "u") {
                texto += QChar(static_cast<char16_t>(static_cast<int16_t>(numero.toInt())));
                if (k < rtf.size() && rtf[k] == '?')
                    ++k;
            } else if (palabra == "intbl") {
                enCelda = true;
                texto.clear();
            } else if (palabra == "cell") {
                fila << texto;
                texto.clear();
            } else if (palabra == "row") {
                filas << fila;
                fila.clear();
                enCelda = false;
            }
            i = k;
            continue;
        }
        if (c == '{' || c == '}' || c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        if (enCelda)
            texto += QLatin1Char(c);
        ++i;
    }
    return filas;
}

// A grid of cols x filas whose header row holds the given texts.
void Preparar(Rejilla& r, int cols, int filas, const QStringList& cabecera)
{
    r.SetColCount(cols);
    r.SetRowCount(filas);
    for (int c = 0; c < cabecera.size(); ++c)
        r.SetTexto(c, 0, cabecera[c]);
}

void Locales()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es") << true;
    QTest::newRow("C") << false;
}

} // namespace

class TstRejillaExportar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PonerLocale(false); }
    void cleanup() { PonerLocale(false); }

    void exportarTxt();
    void copiar_data();
    void copiar();
    void exportarCsv_data();
    void exportarCsv();
    void exportarHtml();
    void exportarRtf();
    void exportarXls_data() { Locales(); }
    void exportarXls();
    void exportarXlsGrande();
    void xlsxLeidoDeVuelta_data() { Locales(); }
    void xlsxLeidoDeVuelta();
    void anchosXls_data() { Locales(); }
    void anchosXls();
    void exportarPorFiltro();
    void escrituraFallida();
    void demasiadasColumnas_data();
    void demasiadasColumnas();
};

void TstRejillaExportar::exportarTxt()
{
    Rejilla r;
    Preparar(r, 3, 3, {"t", "Año", "Datos"});
    r.SetNumero(0, 1, 1);
    r.SetNumero(1, 1, 2010);
    r.SetNumero(2, 1, 125.5);
    r.SetNumero(0, 2, 10);
    r.SetNumero(1, 2, 2010);
    // By hand: widths 2, 4, 5; one blank between columns; the empty cell is padded too.
    QCOMPARE(QString::fromUtf8(TextoTxt(*r.Modelo())), QStringLiteral("t  Año  Datos\n"
                                                                      "1  2010 125.5\n"
                                                                      "10 2010      \n"));
}

void TstRejillaExportar::copiar_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("fila2");
    // By hand: the number as the grid shows it, under each decimal mark.
    QTest::newRow("es") << true << "HLT (0,1)\t12,50";
    QTest::newRow("C") << false << "HLT (0.1)\t12.50";
}

void TstRejillaExportar::copiar()
{
    QFETCH(bool, coma);
    QFETCH(QString, fila2);
    PonerLocale(coma);
    Rejilla r;
    Preparar(r, 2, 4, {"Modelo", "MSE"});
    r.SetTexto(0, 1, "NVS\tcon tab");
    r.SetNumero(1, 1, 3, Formato::Fijo2);
    r.SetTexto(0, 2, coma ? "HLT (0,1)" : "HLT (0.1)");
    r.SetNumero(1, 2, 12.5, Formato::Fijo2);
    r.SetTexto(0, 3, "LES");
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    QApplication::clipboard()->clear();
    // The second row clicked, then Ctrl+C: the header and that row.
    r.selectRow(1);
    QTest::keyClick(&r, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), "Modelo\tMSE\n" + fila2 + "\n");
    // Ctrl+A, Ctrl+C: every row, a tab inside a text turned into a blank, an empty cell empty.
    QTest::keyClick(&r, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&r, Qt::Key_C, Qt::ControlModifier);
    const QString tres = coma ? "3,00" : "3.00";
    QCOMPARE(QApplication::clipboard()->text(), "Modelo\tMSE\nNVS con tab\t" + tres + "\n" + fila2 + "\nLES\t\n");
}

void TstRejillaExportar::exportarCsv_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QStringList>("lineas");
    // By hand: under a decimal comma the separator is ";", so "a,b" and the
    // number need no quotes; under a point the separator is "," and "a,b" is quoted.
    // The quote cell is always quoted, its quotes doubled. One line per grid
    // row, headers first, and the final line break.
    QTest::newRow("es") << true << QStringList{"Modelo;MSE;RMSE", "a,b;\"di \"\"hola\"\"\";12,50", ";;", ""};
    QTest::newRow("C") << false << QStringList{"Modelo,MSE,RMSE", "\"a,b\",\"di \"\"hola\"\"\",12.50", ",,", ""};
}

void TstRejillaExportar::exportarCsv()
{
    QFETCH(bool, coma);
    QFETCH(QStringList, lineas);
    PonerLocale(coma);
    Rejilla r;
    Preparar(r, 3, 3, {"Modelo", "MSE", "RMSE"});
    r.SetTexto(0, 1, "a,b");
    r.SetTexto(1, 1, "di \"hola\"");
    r.SetNumero(2, 1, 12.5, Formato::Fijo2);
    const QByteArray csv = TextoCsv(*r.Modelo());
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(csv.mid(3)).split("\r\n"), lineas);
}

void TstRejillaExportar::exportarHtml()
{
    Rejilla r;
    Preparar(r, 2, 3, {"Año", "<b>MSE</b>"});
    r.SetTexto(0, 1, "a & b \"c\" 'd'");
    r.SetNumero(1, 1, 0.25);
    r.SetTexto(0, 2, "x < y > z");
    const QByteArray html = TextoHtml(*r.Modelo());
    QVERIFY(html.startsWith("<!DOCTYPE html>"));
    QVERIFY(html.contains("<meta charset=\"utf-8\"/>"));
    QVERIFY(!html.contains("<b>"));
    // The page also reads as XML, so an XML reader gives the cell texts back.
    QXmlStreamReader x(html);
    QList<QStringList> filas;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("tr"))
            filas.append(QStringList());
        else if (x.isStartElement() && (x.name() == QLatin1String("td") || x.name() == QLatin1String("th")))
            filas.last().append(x.readElementText());
    }
    QVERIFY2(!x.hasError(), qPrintable(x.errorString()));
    QCOMPARE(filas.size(), 3);
    for (int f = 0; f < 3; ++f)
        QCOMPARE(filas[f], QStringList({r.Celda(0, f), r.Celda(1, f)}));
}

void TstRejillaExportar::exportarRtf()
{
    Rejilla r;
    Preparar(r, 3, 3, {"Año", "{x}", "a\\b"});
    r.SetNumero(1, 1, 1.5);
    r.SetTexto(2, 2, "€ ñ");
    const QByteArray rtf = TextoRtf(*r.Modelo(), r.AnchosColumnas());
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QCOMPARE(rtf.count("\\trowd"), 3);
    QCOMPARE(rtf.count("\\cell\n"), 9);
    int nivel = 0;
    for (char c : rtf)
        QVERIFY(static_cast<unsigned char>(c) < 0x80); // all beyond ASCII as \u
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        nivel += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        QVERIFY(nivel >= 0);
    }
    QCOMPARE(nivel, 0);
    const QList<QStringList> filas = LeerRtf(rtf);
    QCOMPARE(filas.size(), 3);
    for (int f = 0; f < 3; ++f)
        QCOMPARE(filas[f], QStringList({r.Celda(0, f), r.Celda(1, f), r.Celda(2, f)}));
}

void TstRejillaExportar::exportarXls()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    Preparar(r, 4, 4, {"Modelo", "MSE", "Año", "PB"});
    r.SetTexto(0, 1, "HLT (0,5;0,3) T-3");
    r.SetNumero(1, 1, 12.345, Formato::Fijo2);
    r.SetNumero(2, 1, 2010);
    r.SetTexto(3, 1, coma ? "7,25" : "7.25"); // a text that reads as a number
    r.SetTexto(0, 2, "MSE"); // same string as a header: shared once
    const LibroLeido l = LeerXls(LibroXls(*r.Modelo()));
    QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
    QCOMPARE(l.hojas, QStringList({"Hoja1"}));
    QCOMPARE(l.posHojas, l.posBof); // each sheet entry points at its sheet
    const auto& c = l.celdas.at(0);
    QCOMPARE(c.size(), size_t(9));
    QCOMPARE(c.at({0, 0}).texto, QString("Modelo"));
    QCOMPARE(c.at({0, 2}).texto, QString("Año"));
    QCOMPARE(c.at({1, 0}).texto, QString("HLT (0,5;0,3) T-3"));
    QVERIFY(c.at({1, 1}).numero);
    QCOMPARE(c.at({1, 1}).valor, 12.345); // the number itself, shown with two decimals
    QCOMPARE(l.formatosXf.at(c.at({1, 1}).xf).second, 2); // Excel's built-in "0.00"
    QCOMPARE(l.formatosXf.at(c.at({1, 2}).xf).second, 0); // General
    QCOMPARE(c.at({1, 2}).valor, 2010.0);
    QVERIFY(c.at({1, 3}).numero);
    QCOMPARE(c.at({1, 3}).valor, 7.25);
    QCOMPARE(c.at({2, 0}).texto, QString("MSE"));
    QVERIFY(c.find({3, 0}) == c.end()); // empty cells are not written
    // The header row uses the bold font (index 5: BIFF has no font 4).
    QCOMPARE(l.formatosXf.at(c.at({0, 0}).xf).first, 5);
}

void TstRejillaExportar::anchosXls()
{
    // A spreadsheet column is as wide as a number of '0's of its font; each
    // must hold its longest text, or a number shows as "###".
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    Preparar(r, 5, 4, {"Modelo", "MSE", "Previsión a largo plazo", "t", ""});
    r.SetTexto(0, 1, "NVS");
    r.SetTexto(0, 2, "HLT (0,5;0,3) T-3");
    r.SetNumero(1, 1, 7.5, Formato::Fijo2);
    r.SetNumero(1, 2, 123456.78, Formato::Fijo2); // "123456,78": 9 characters
    r.SetNumero(1, 3, -3.25, Formato::Fijo2);
    r.SetNumero(2, 1, 1.5);
    r.SetNumero(3, 3, 0.123456789012345); // 15 digits: 17 characters
    // Pixel widths that are far too narrow must not matter.
    r.SetAnchosColumnas({20, 20, 20, 20, 20});
    QCOMPARE(r.Celda(1, 2), coma ? QString("123456,78") : QString("123456.78"));

    const LibroLeido l = LeerXls(LibroXls(*r.Modelo()));
    QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
    const std::map<int, double>& a = l.anchos.at(0);
    QCOMPARE(a.size(), size_t(5));
    // Longest text in characters (counted by hand) plus at least one of margin,
    // and not more than a few: a column twice too wide is no better.
    const int largo[5] = {17, 9, 23, 17, 0};
    for (int c = 0; c < 4; ++c) {
        const QByteArray donde = QStringLiteral("columna %1: %2").arg(c).arg(a.at(c)).toUtf8();
        QVERIFY2(a.at(c) >= largo[c] + 1, donde.constData());
        QVERIFY2(a.at(c) <= largo[c] * 1.5 + 4, donde.constData());
    }
    // The header decides when it is the longest text: bold capitals need more.
    QVERIFY(a.at(2) >= 24);
    // An empty column still gets a usable width.
    QVERIFY(a.at(4) >= 3);
}

void TstRejillaExportar::exportarXlsGrande()
{
    // Past 65 536 rows the grid goes on in a second sheet; the stream is big
    // enough for the FAT to need DIFAT sectors, the strings CONTINUE records.
    Rejilla r;
    const int n = 70000;
    r.SetColCount(13);
    r.SetRowCount(n + 1);
    r.ComenzarCarga();
    for (int c = 0; c < 13; ++c)
        r.SetTexto(c, 0, QStringLiteral("C%1").arg(c));
    std::vector<double> v(n);
    for (int c = 1; c < 13; ++c) {
        for (int i = 0; i < n; ++i)
            v[i] = i + c / 100.0;
        r.SetColumnaNumeros(c, 1, v.data(), n);
    }
    for (int i = 1; i <= n; ++i)
        r.SetTexto(0, i, QStringLiteral("Fila número %1").arg(i));
    r.TerminarCarga();
    const QByteArray xls = LibroXls(*r.Modelo());
    QVERIFY(L32(xls, 72) > 0); // DIFAT sectors in use
    const LibroLeido l = LeerXls(xls);
    QVERIFY2(l.error.isEmpty(), qPrintable(l.error));
    QCOMPARE(l.hojas, QStringList({"Hoja1", "Hoja2"}));
    QCOMPARE(l.posHojas, l.posBof);
    // By hand: sheet 1 holds the header and grid rows 1..65535, sheet 2 the header and 65536..70000.
    QCOMPARE(l.celdas[0].size(), size_t(13) * 65536);
    QCOMPARE(l.celdas[1].size(), size_t(13) * (n - 65535 + 1));
    QCOMPARE(l.celdas[0].at({65535, 0}).texto, QString("Fila número 65535"));
    QCOMPARE(l.celdas[1].at({0, 5}).texto, QString("C5"));
    QCOMPARE(l.celdas[1].at({1, 0}).texto, QString("Fila número 65536"));
    QCOMPARE(l.celdas[1].at({n - 65535, 12}).valor, (n - 1) + 0.12);
    QCOMPARE(l.celdas[0].at({1234, 3}).valor, 1233 + 0.03);
}

// The workbook read back with the import's own reader: numbers stay numbers
// with every digit (the two decimals are only their format), a text that
// reads as a number under the locale goes in as that number, other texts
// and empty cells stay as they were.
void TstRejillaExportar::xlsxLeidoDeVuelta()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    const QStringList cabecera{"Modelo", "MSE", "Datos", "Nota"};
    Preparar(r, 4, 4, cabecera);
    r.SetTexto(0, 1, coma ? "H-W (0,5;0,1;0,9)" : "H-W (0.5;0.1;0.9)");
    r.SetNumero(1, 1, 1234.5678, Formato::Fijo2);
    r.SetTexto(2, 1, coma ? "-1,5" : "-1.5"); // a data text: -1.5 by hand
    r.SetTexto(3, 1, "di \"hola\"");
    r.SetNumero(1, 2, -0.125, Formato::General);
    r.SetTexto(0, 3, "T-3");
    r.SetNumero(1, 3, 1e15, Formato::Fijo2);

    QTemporaryDir dir;
    const QString ruta = dir.filePath("tabla.xlsx");
    r.Exportar(ruta, 6); // "Libro de Excel (*.xlsx)"

    const QList<Tabla> hojas = LeerLibro(ruta);
    QCOMPARE(hojas.size(), 1);
    const Tabla& t = hojas.first();
    for (int c = 0; c < 4; ++c)
        QCOMPARE(t.En(0, c).texto, cabecera[c]);
    const auto numero = [&t](int fila, int col, double esperado) {
        QCOMPARE(t.En(fila, col).tipo, Celda::Numero);
        QCOMPARE(t.En(fila, col).numero, esperado);
    };
    QCOMPARE(t.En(1, 0).tipo, Celda::Texto);
    QCOMPARE(t.En(1, 0).texto, r.Celda(0, 1));
    numero(1, 1, 1234.5678);
    numero(1, 2, -1.5);
    QCOMPARE(t.En(1, 3).texto, QStringLiteral("di \"hola\""));
    numero(2, 1, -0.125);
    for (int c : {0, 2, 3})
        QCOMPARE(t.En(2, c).tipo, Celda::Vacia);
    QCOMPARE(t.En(3, 0).texto, QStringLiteral("T-3"));
    numero(3, 1, 1e15);
}

void TstRejillaExportar::exportarPorFiltro()
{
    QTemporaryDir dir;
    Rejilla r;
    Preparar(r, 2, 2, {"Mes", "C.E."});
    r.SetNumero(0, 1, 1);
    r.SetNumero(1, 1, 0.95, Formato::Fijo2);
    QCOMPARE(Rejilla::FiltrosExportacion().size(), 6);
    QCOMPARE(Rejilla::FiltrosExportacion().at(3), QString("Página web (*.html)"));
    QCOMPARE(Rejilla::FiltrosExportacion().at(5), QString("Libro de Excel (*.xlsx)"));
    const QList<QByteArray> inicio = {
        "Mes C.E.",  "\xEF\xBB\xBFMes,C.E.", "{\\rtf1", "<!DOCTYPE html>", QByteArray::fromHex("D0CF11E0A1B11AE1"),
        "PK\x03\x04"};
    for (int i = 1; i <= 6; ++i) {
        const QString ruta = dir.filePath(QStringLiteral("t%1").arg(i));
        r.Exportar(ruta, i);
        QVERIFY2(Leer(ruta).startsWith(inicio[i - 1]), qPrintable(QString::number(i)));
    }
    // Outside 1..6 nothing is written.
    for (int i : {0, 7}) {
        const QString ruta = dir.filePath(QStringLiteral("n%1").arg(i));
        r.Exportar(ruta, i);
        QVERIFY(!QFile::exists(ruta));
    }
    // An existing file is replaced.
    r.SetTexto(0, 0, "Otro");
    r.Exportar(dir.filePath("t2"), 2);
    QVERIFY(Leer(dir.filePath("t2")).startsWith("\xEF\xBB\xBFOtro,"));
}

void TstRejillaExportar::escrituraFallida()
{
    QTemporaryDir dir;
    Rejilla r;
    const QString ruta = dir.filePath("no/existe/tabla.csv");
    try {
        r.Exportar(ruta, 2);
        QFAIL("no error");
    } catch (const std::runtime_error& e) {
        // Spanish, naming the file and the folder that is missing.
        QCOMPARE(QString::fromUtf8(e.what()),
                 QStringLiteral("No se pudo guardar el fichero «tabla.csv»: la carpeta «%1» no existe. "
                                "No se ha creado ningún fichero.")
                     .arg(dir.filePath("no/existe")));
    }
    QVERIFY(!QFile::exists(ruta));
}

void TstRejillaExportar::demasiadasColumnas_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<int>("filtro");
    QTest::addColumn<int>("columnas");
    QTest::addColumn<QString>("esperado");
    for (bool coma : {true, false}) {
        // The limits of each format: 256 columns (BIFF8), 16384 (Office Open XML).
        QTest::addRow("%s xls", coma ? "es" : "C")
            << coma << 5 << 257
            << QStringLiteral("No se pudo guardar el fichero «tabla»: el formato xls admite 256 columnas como máximo "
                              "y la tabla tiene 257. Exporte la tabla en formato xlsx o csv. No se ha creado ningún "
                              "fichero.");
        QTest::addRow("%s xlsx", coma ? "es" : "C")
            << coma << 6 << 16385
            << QStringLiteral("No se pudo guardar el fichero «tabla»: el formato xlsx admite 16384 columnas como "
                              "máximo y la tabla tiene 16385. Exporte la tabla en formato csv o txt. No se ha creado "
                              "ningún fichero.");
    }
}

// A table too wide for a spreadsheet format says which limit and what to
// use instead, and writes nothing.
void TstRejillaExportar::demasiadasColumnas()
{
    QFETCH(bool, coma);
    QFETCH(int, filtro);
    QFETCH(int, columnas);
    QFETCH(QString, esperado);
    PonerLocale(coma);
    QTemporaryDir dir;
    Rejilla r;
    Preparar(r, columnas, 2, {QStringLiteral("t")});
    const QString ruta = dir.filePath("tabla");
    QString visto;
    try {
        r.Exportar(ruta, filtro);
    } catch (const ErrorEscritura& e) {
        visto = QString::fromUtf8(e.what());
    }
    QCOMPARE(visto, esperado);
    QVERIFY(!QFile::exists(ruta));
}

QTEST_MAIN(TstRejillaExportar)
#include "tst_rejilla_exportar.moc"
