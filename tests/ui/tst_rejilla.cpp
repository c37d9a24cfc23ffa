// SPDX-License-Identifier: GPL-3.0-or-later
// The grid component: contents and formats, sorting, row moves, clearing,
// min/max highlighting, colours, the five exports and the print preview.
#include "ExportarRejilla.h"
#include "Rejilla.h"
#include "RejillaImprimir.h"

#include "Ayudas.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <QtTest>

#include <cctype>
#include <cstring>
#include <map>

using namespace tendora;
using namespace prueba;

namespace {

QStringList Columna(const ModeloRejilla& m, int col)
{
    QStringList r;
    for (int f = 1; f < m.RowCount(); ++f)
        r << m.Celda(col, f);
    return r;
}

QColor Fondo(const ModeloRejilla& m, int col, int row)
{
    const QVariant v = m.data(m.index(row - 1, col), Qt::BackgroundRole);
    return v.canConvert<QBrush>() ? v.value<QBrush>().color() : QColor();
}

const QColor kRojo(235, 120, 152);
const QColor kVerde(135, 237, 153);

// ---- a small reader of OLE2 compound files and BIFF8 records, independent of the writer

uint16_t L16(const QByteArray& b, qsizetype p)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[p]) | (static_cast<uint8_t>(b[p + 1]) << 8));
}
uint32_t L32(const QByteArray& b, qsizetype p)
{
    return L16(b, p) | (static_cast<uint32_t>(L16(b, p + 2)) << 16);
}
double LF64(const QByteArray& b, qsizetype p)
{
    uint64_t bits = L32(b, p) | (static_cast<uint64_t>(L32(b, p + 4)) << 32);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

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
            } else if (palabra == "plain" || palabra == "b" || palabra == "f" || palabra == "fs") {
                // formatting only
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

// A grid of the error-table kind: labels in column 0 and numbers after.
void Rellenar(Rejilla& r, const QList<QPair<QString, QList<double>>>& filas, int cols = 3)
{
    r.SetColCount(cols);
    r.SetTexto(0, 0, "Modelo");
    for (int c = 1; c < cols; ++c)
        r.SetTexto(c, 0, QStringLiteral("C%1").arg(c));
    r.SetRowCount(static_cast<int>(filas.size()) + 1);
    for (int i = 0; i < filas.size(); ++i) {
        r.SetTexto(0, i + 1, filas[i].first);
        for (int c = 0; c < filas[i].second.size(); ++c)
            r.SetNumero(c + 1, i + 1, filas[i].second[c], Formato::Fijo2);
    }
}

} // namespace

class TstRejilla : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PonerLocale(false); }
    void cleanup() { PonerLocale(false); }

    void aspecto();
    void textosYFormatos_data();
    void textosYFormatos();
    void ordenarNumeros_data();
    void ordenarNumeros();
    void ordenarConCabecera();
    void ordenarEstable();
    void moverFila();
    void moverFilaArrastrando();
    void borrar();
    void minMax_data();
    void minMax();
    void minMaxSigueAlOrden();
    void minMaxEnCache();
    void filaDeNumeros_data();
    void filaDeNumeros();
    void colores();
    void autoajustar();
    void menuContextual();
    void exportarTxt();
    void copiar_data();
    void copiar();
    void exportarCsv_data();
    void exportarCsv();
    void exportarHtml();
    void exportarRtf();
    void exportarXls_data();
    void exportarXls();
    void exportarXlsGrande();
    void anchosXls_data();
    void anchosXls();
    void exportarPorFiltro();
    void escrituraFallida();
    void paginar();
    void vistaPrevia();
    void imprimirSinImpresoraEnPdf();
    void rendimiento();
};

void TstRejilla::aspecto()
{
    Rejilla r;
    QCOMPARE(r.verticalHeader()->defaultSectionSize(), 18);
    QVERIFY(r.horizontalHeader()->font().bold());
    QCOMPARE(r.selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(r.alternatingRowColors());
    QCOMPARE(r.palette().color(QPalette::Base), QApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(r.palette().color(QPalette::AlternateBase), QApplication::palette().color(QPalette::Window));
    QCOMPARE(r.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(!r.isSortingEnabled()); // sorting enabled would sort at once by column 0
    // A new grid is a header row and one empty data row.
    QCOMPARE(r.RowCount(), 2);
    r.SetColCount(13);
    r.SetAnchosColumnas({100, 50});
    QCOMPARE(r.AnchoColumna(0), 100);
    QCOMPARE(r.AnchoColumna(12), 50);
}

void TstRejilla::textosYFormatos_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("fijo");
    // By hand: 12.5 in the general format and with two decimals.
    QTest::newRow("es") << true << "12,5"
                        << "12,50";
    QTest::newRow("C") << false << "12.5"
                       << "12.50";
}

void TstRejilla::textosYFormatos()
{
    QFETCH(bool, coma);
    QFETCH(QString, general);
    QFETCH(QString, fijo);
    Rejilla r;
    r.SetColCount(3);
    r.SetRowCount(3);
    // Written under the other locale: the grid keeps numbers, so the text follows the locale.
    PonerLocale(!coma);
    r.SetNumero(1, 1, 12.5);
    r.SetNumero(2, 1, 12.5, Formato::Fijo2);
    r.SetNumero(1, 2, 3);
    PonerLocale(coma);
    QCOMPARE(r.Celda(1, 1), general);
    QCOMPARE(r.Celda(2, 1), fijo);
    QCOMPARE(r.Celda(1, 2), QString("3"));
    QCOMPARE(r.Modelo()->data(r.Modelo()->index(0, 2)).toString(), fijo);
    QCOMPARE(r.Modelo()->data(r.Modelo()->index(0, 2), Qt::UserRole).toDouble(), 12.5);
    r.SetTexto(1, 0, "Datos");
    QCOMPARE(r.Modelo()->headerData(1, Qt::Horizontal).toString(), QString("Datos"));
    QCOMPARE(r.Celda(1, 0), QString("Datos"));
    r.Vaciar(1, 1);
    QCOMPARE(r.Celda(1, 1), QString());
    QCOMPARE(r.Modelo()->Tipo(1, 1), TipoCelda::Vacia);
    // Nothing non-finite is shown.
    r.SetNumero(1, 2, std::numeric_limits<double>::infinity());
    QCOMPARE(r.Celda(1, 2), QString());
}

void TstRejilla::ordenarNumeros_data()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es") << true;
    QTest::newRow("C") << false;
}

void TstRejilla::ordenarNumeros()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(8);
    // Labels in column 0 tell where each row went. Texts use both decimal marks.
    const QStringList et = {"a", "b", "c", "d", "e", "f", "g"};
    for (int i = 0; i < et.size(); ++i)
        r.SetTexto(0, i + 1, et[i]);
    r.SetTexto(1, 1, "10,5");
    r.SetNumero(1, 2, 100);
    r.SetTexto(1, 3, "9.25");
    // row 4 stays empty
    r.SetTexto(1, 5, "abc");
    r.SetNumero(1, 6, -3, Formato::Fijo2);
    r.SetTexto(1, 7, "2");
    // By hand: -3 < 2 < 9.25 < 10.5 < 100 (a text sorting as text would put "10,5" before "2").
    r.Ordenar(1, Qt::AscendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"f", "g", "c", "a", "b", "e", "d"}));
    QCOMPARE(r.horizontalHeader()->sortIndicatorSection(), 1);
    r.Ordenar(1, Qt::DescendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"e", "b", "a", "c", "g", "f", "d"}));
}

void TstRejilla::ordenarConCabecera()
{
    Rejilla r;
    r.resize(400, 300);
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    r.SetColCount(3);
    r.SetRowCount(4);
    for (int i = 1; i <= 3; ++i) {
        r.SetTexto(0, i, QString::number(i));
        r.SetNumero(2, i, (i == 2) ? 1.0 : 10.0 * i); // 10, 1, 30
    }
    QHeaderView* h = r.horizontalHeader();
    const QPoint centro(h->sectionViewportPosition(2) + h->sectionSize(2) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, centro);
    QCOMPARE(h->sortIndicatorSection(), 2);
    QCOMPARE(h->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(h->isSortIndicatorShown());
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"2", "1", "3"}));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, centro);
    QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"3", "1", "2"}));
}

void TstRejilla::ordenarEstable()
{
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(6);
    const QStringList et = {"p", "q", "r", "s", "t"};
    const QList<double> v = {2, 1, 2, 1, 2};
    for (int i = 0; i < 5; ++i) {
        r.SetTexto(0, i + 1, et[i]);
        r.SetNumero(1, i + 1, v[i]);
    }
    // Equal values keep their order in both directions.
    r.Ordenar(1, Qt::AscendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"q", "s", "p", "r", "t"}));
    r.Ordenar(1, Qt::DescendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"p", "r", "t", "q", "s"}));
}

void TstRejilla::moverFila()
{
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(5);
    for (int i = 1; i <= 4; ++i) {
        r.SetTexto(0, i, QString(QChar('A' + i - 1)));
        r.SetNumero(1, i, 5 - i); // 4 3 2 1
    }
    QVERIFY(r.MoverFila(1, 3));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"B", "C", "A", "D"}));
    QCOMPARE(Columna(*r.Modelo(), 1), QStringList({"3", "2", "4", "1"}));
    QVERIFY(r.MoverFila(4, 1));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"D", "B", "C", "A"}));
    QVERIFY(!r.MoverFila(0, 2));
    QVERIFY(!r.MoverFila(2, 5));
    // A sort after a move shows the sorted rows from the top: the move was in the data.
    r.Ordenar(1, Qt::AscendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"D", "C", "B", "A"}));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(r.verticalHeader()->visualIndex(i), i);
}

void TstRejilla::moverFilaArrastrando()
{
    Rejilla r;
    r.resize(300, 300);
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    r.SetColCount(2);
    r.SetRowCount(7);
    for (int i = 1; i <= 6; ++i)
        r.SetTexto(0, i, QString(QChar('A' + i - 1)));
    QWidget* vp = r.viewport();
    auto centro = [&](int fila) { return r.visualRect(r.Modelo()->index(fila - 1, 0)).center(); };
    // Drag B (row 2) by the fixed column onto row 5.
    QTest::mousePress(vp, Qt::LeftButton, {}, centro(2));
    QTest::mouseMove(vp, centro(3));
    QTest::mouseMove(vp, centro(5));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centro(5));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"A", "C", "D", "E", "B", "F"}));
    QCOMPARE(r.currentIndex().row(), 4);
    // A press and release on a data column moves nothing.
    const QPoint en1 = r.visualRect(r.Modelo()->index(0, 1)).center();
    const QPoint en4 = r.visualRect(r.Modelo()->index(3, 1)).center();
    QTest::mousePress(vp, Qt::LeftButton, {}, en1);
    QTest::mouseMove(vp, en4);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, en4);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"A", "C", "D", "E", "B", "F"}));
}

void TstRejilla::borrar()
{
    Rejilla r;
    Rellenar(r, {{"x", {1, 2}}, {"y", {3, 4}}, {"z", {5, 6}}});
    r.Ordenar(2, Qt::DescendingOrder);
    r.Borrar();
    QCOMPARE(r.horizontalHeader()->sortIndicatorSection(), -1); // nothing left to claim an order
    QCOMPARE(r.RowCount(), 2);
    QCOMPARE(r.ColCount(), 3);
    for (int c = 0; c < 3; ++c)
        QCOMPARE(r.Celda(c, 1), QString());
    QCOMPARE(r.Celda(0, 0), QString("Modelo"));
    QCOMPARE(r.Celda(2, 0), QString("C2"));
    // The grid is usable after clearing: the next row goes in below.
    r.SetTexto(0, 1, "nuevo");
    r.SetRowCount(3);
    r.SetTexto(0, 2, "otro");
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"nuevo", "otro"}));
}

void TstRejilla::minMax_data()
{
    QTest::addColumn<QList<double>>("valores"); // column 1, NaN for an empty cell
    QTest::addColumn<int>("filaMax");
    QTest::addColumn<int>("filaMin");
    const double nada = std::numeric_limits<double>::quiet_NaN();
    // Worked by hand; -1 means no highlight.
    QTest::newRow("una fila") << QList<double>{5} << -1 << -1;
    QTest::newRow("normal") << QList<double>{3, 1, 7, 2} << 3 << 2;
    QTest::newRow("iguales: la primera, como maximo") << QList<double>{4, 4, 4} << 1 << -1;
    QTest::newRow("iguales tal como se ven") << QList<double>{1.004, 1.001, 0.5} << 1 << 3;
    // Both shown 13709186898898,60 and 123456789012346,00 (fifteen digits).
    QTest::newRow("iguales tal como se ven, 1e13") << QList<double>{13709186898898.608, 13709186898898.64, 1} << 1 << 3;
    QTest::newRow("iguales tal como se ven, 1e14") << QList<double>{123456789012345.67, 123456789012346.2, 1} << 1 << 3;
    QTest::newRow("negativos") << QList<double>{-0.5, -2, 1} << 3 << 2;
    QTest::newRow("fila sin valores") << QList<double>{nada, 8, 6} << 2 << 3;
    // A search starting from 999 999 999 would miss this minimum.
    QTest::newRow("valores enormes") << QList<double>{2e9, 1.5e9, 3e9} << 3 << 2;
    QTest::newRow("muy negativos") << QList<double>{-2e9, -3e9} << 1 << 2;
}

void TstRejilla::minMax()
{
    QFETCH(QList<double>, valores);
    QFETCH(int, filaMax);
    QFETCH(int, filaMin);
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(static_cast<int>(valores.size()) + 1);
    for (int i = 0; i < valores.size(); ++i) {
        r.SetTexto(0, i + 1, "m");
        r.SetNumero(1, i + 1, valores[i], Formato::Fijo2);
    }
    const ModeloRejilla& m = *r.Modelo();
    for (int f = 1; f <= valores.size(); ++f)
        QCOMPARE(Fondo(m, 1, f).isValid(), false); // off until asked
    r.SetMostrarMinMax(true);
    for (int f = 1; f <= valores.size(); ++f) {
        const QColor esperado = f == filaMax ? kRojo : f == filaMin ? kVerde : QColor();
        QCOMPARE(Fondo(m, 1, f), esperado);
    }
    // The fixed column never takes part.
    QVERIFY(Fondo(m, 0, 1) != kRojo && Fondo(m, 0, 1) != kVerde);
}

void TstRejilla::minMaxSigueAlOrden()
{
    Rejilla r;
    Rellenar(r, {{"a", {2, 0.5}}, {"b", {1, 0.9}}, {"c", {3, 0.1}}});
    // Larger is better in column 2.
    r.SetColorMinMax([](int col, bool maximo) { return (col == 2) == maximo ? kVerde : kRojo; });
    r.SetMostrarMinMax(true);
    const ModeloRejilla& m = *r.Modelo();
    QCOMPARE(Fondo(m, 1, 3), kRojo);
    QCOMPARE(Fondo(m, 1, 2), kVerde);
    QCOMPARE(Fondo(m, 2, 2), kVerde);
    QCOMPARE(Fondo(m, 2, 3), kRojo);
    r.Ordenar(1, Qt::AscendingOrder); // b a c
    QCOMPARE(Fondo(m, 1, 1), kVerde);
    QCOMPARE(Fondo(m, 1, 3), kRojo);
    QCOMPARE(Fondo(m, 2, 1), kVerde); // b holds the 0.9
    r.MoverFila(3, 1); // c b a
    QCOMPARE(Fondo(m, 1, 1), kRojo);
    QCOMPARE(Fondo(m, 2, 1), kRojo);
    QCOMPARE(m.FilaMinimo(1), 2);
}

void TstRejilla::minMaxEnCache()
{
    Rejilla r;
    const int n = 20000;
    r.SetColCount(3);
    r.SetRowCount(n + 1);
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = (i * 7919) % 10007 + 10; // a permutation-like spread, all >= 10
    r.SetColumnaNumeros(1, 1, v.data(), n, Formato::Fijo2);
    r.SetColumnaNumeros(2, 1, v.data(), n);
    r.SetMostrarMinMax(true);
    const ModeloRejilla& m = *r.Modelo();
    const long long antes = m.RecalculosMinMax();
    // Painting every cell twice computes each column once.
    for (int pasada = 0; pasada < 2; ++pasada)
        for (int f = 0; f < n; ++f)
            for (int c = 0; c < 3; ++c)
                m.data(m.index(f, c), Qt::BackgroundRole);
    QCOMPARE(m.RecalculosMinMax() - antes, 2LL);
    // Appending a row updates the extremes without a new scan.
    r.SetRowCount(n + 2);
    r.SetNumero(1, n + 1, 1.0, Formato::Fijo2);
    r.SetNumero(2, n + 1, 1e6);
    QCOMPARE(m.FilaMinimo(1), n + 1);
    QCOMPARE(m.FilaMaximo(2), n + 1);
    QCOMPARE(m.RecalculosMinMax() - antes, 2LL);
    // Overwriting a value may give up the extreme: that column is computed again, once.
    r.SetNumero(1, n + 1, 20000, Formato::Fijo2);
    QCOMPARE(m.FilaMaximo(1), n + 1);
    QCOMPARE(m.FilaMaximo(1), n + 1);
    QCOMPARE(m.RecalculosMinMax() - antes, 3LL);
}

void TstRejilla::filaDeNumeros_data()
{
    QTest::addColumn<bool>("minMax");
    QTest::newRow("plain") << false;
    QTest::newRow("highlight on") << true;
}

// A row written at once holds what cell-by-cell writes would, with one change
// signal, and keeps the extremes up to date without a new scan.
void TstRejilla::filaDeNumeros()
{
    QFETCH(bool, minMax);
    const double nada = std::numeric_limits<double>::infinity();
    const double fila[4] = {2.345, -1.0, nada, 1e6};
    Rejilla a, b;
    for (Rejilla* r : {&a, &b}) {
        r->SetColCount(5);
        r->SetRowCount(3);
        r->SetNumero(3, 2, 7.0); // overwritten by the non-finite value
        for (int c = 1; c <= 4; ++c)
            r->SetNumero(c, 1, 10.0 * c, Formato::Fijo2);
        r->SetMostrarMinMax(minMax);
    }
    for (int c = 0; c < 4; ++c)
        a.SetNumero(c + 1, 2, fila[c], Formato::Fijo2);
    const ModeloRejilla& m = *b.Modelo();
    for (int c = 1; c <= 4; ++c)
        (void)m.FilaMinimo(c); // extremes known before the write
    const long long antes = m.RecalculosMinMax();
    QSignalSpy cambios(b.Modelo(), &QAbstractItemModel::dataChanged);
    b.SetFilaNumeros(2, 1, fila, 4, Formato::Fijo2);
    QCOMPARE(cambios.count(), 1);
    const QModelIndex desde = cambios[0][0].toModelIndex(), hasta = cambios[0][1].toModelIndex();
    QCOMPARE(desde.column(), 1);
    QCOMPARE(hasta.column(), 4);
    QCOMPARE(desde.row(), minMax ? 0 : 1);
    QCOMPARE(hasta.row(), 1);
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(b.Celda(c, 2), a.Celda(c, 2));
        QCOMPARE(b.Modelo()->Tipo(c, 2), a.Modelo()->Tipo(c, 2));
    }
    QCOMPARE(b.Celda(3, 2), QString()); // nothing non-finite is shown
    QCOMPARE(m.FilaMinimo(1), 2);
    QCOMPARE(m.FilaMinimo(2), 2);
    QCOMPARE(m.FilaMaximo(4), 2);
    QCOMPARE(m.RecalculosMinMax() - antes, 0LL);
    QCOMPARE(m.FilaMinimo(3), 1); // column 3 lost a value: computed again
    QCOMPARE(m.RecalculosMinMax() - antes, 1LL);
    // A row outside the grid is left alone; values past the last column are dropped.
    b.SetFilaNumeros(3, 1, fila, 4);
    QCOMPARE(b.RowCount(), 3);
    b.SetFilaNumeros(1, 4, fila, 4);
    QCOMPARE(b.Celda(3, 1), a.Celda(3, 1));
    QCOMPARE(b.Celda(4, 1), QStringLiteral("2.345"));
    QCOMPARE(b.ColCount(), 5);
}

void TstRejilla::colores()
{
    Rejilla r;
    r.SetColCount(5);
    r.SetRowCount(4);
    r.SetNumero(3, 2, 7);
    QList<QPair<int, int>> pedidos;
    // The rule of the forecast table: column 3 blue up to row 2, silver after.
    r.SetColorTexto([&](int row, int col) {
        pedidos.append({row, col});
        if (col == 3)
            return row <= 2 ? QColor(Qt::blue) : QColor(Qt::gray);
        return QColor();
    });
    const ModeloRejilla& m = *r.Modelo();
    QCOMPARE(m.data(m.index(1, 3), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
    QCOMPARE(pedidos.last(), qMakePair(2, 3)); // grid row 2 is model row 1
    QCOMPARE(m.data(m.index(2, 3), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::gray));
    QVERIFY(!m.data(m.index(1, 2), Qt::ForegroundRole).isValid());
    r.SetColorEncabezado(QColor(118, 121, 243));
    QCOMPARE(m.headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(), QColor(118, 121, 243));
    // The fixed column is drawn like the header.
    QCOMPARE(Fondo(m, 0, 1), r.palette().color(QPalette::Button));
    r.SetColorFondo([](int row, int) { return row == 3 ? QColor(Qt::yellow) : QColor(); });
    QCOMPARE(Fondo(m, 2, 3), QColor(Qt::yellow));
    QVERIFY(!Fondo(m, 2, 2).isValid());
}

void TstRejilla::autoajustar()
{
    Rejilla r;
    r.SetColCount(3);
    r.SetRowCount(4);
    r.SetAnchoColumna(0, 77);
    r.SetTexto(1, 0, "Cabecera larga");
    r.SetTexto(1, 1, "x");
    r.SetTexto(2, 2, "un texto bastante mas largo");
    r.Autoajustar();
    const QFontMetrics fm(r.font());
    const QFontMetrics fmEnc(r.horizontalHeader()->font());
    QCOMPARE(r.AnchoColumna(0), 77); // the fixed column keeps its width
    QCOMPARE(r.AnchoColumna(1), fmEnc.horizontalAdvance("Cabecera larga") + 10);
    QCOMPARE(r.AnchoColumna(2), fm.horizontalAdvance("un texto bastante mas largo") + 10);

    // A big grid is measured on a sample, which still finds the longest text.
    Rejilla g;
    const int n = 100000;
    g.SetColCount(2);
    g.SetRowCount(n + 1);
    g.ComenzarCarga();
    for (int i = 1; i <= n; ++i)
        g.SetTexto(1, i, "abc");
    g.SetTexto(1, 54321, "la etiqueta mas larga de todas");
    g.TerminarCarga();
    g.AutoajustarColumnas();
    QCOMPARE(g.AnchoColumna(1), QFontMetrics(g.font()).horizontalAdvance("la etiqueta mas larga de todas") + 10);
}

void TstRejilla::menuContextual()
{
    Rejilla r;
    r.resize(200, 200);
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    QMenu menu;
    menu.addAction("Autoajustar");
    r.SetMenuContextual(&menu);
    QSignalSpy espia(&r, &Rejilla::MenuPedido);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10), r.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(r.viewport(), &e);
    QCOMPARE(espia.count(), 1);
    QCOMPARE(espia.at(0).at(0).value<Rejilla*>(), &r);
    QTRY_VERIFY(menu.isVisible());
    menu.close();
}

void TstRejilla::exportarTxt()
{
    Rejilla r;
    r.SetColCount(3);
    r.SetRowCount(3);
    r.SetTexto(0, 0, "t");
    r.SetTexto(1, 0, "Año");
    r.SetTexto(2, 0, "Datos");
    r.SetNumero(0, 1, 1);
    r.SetNumero(1, 1, 2010);
    r.SetNumero(2, 1, 125.5);
    r.SetNumero(0, 2, 10);
    r.SetNumero(1, 2, 2010);
    // By hand: widths 2, 4, 5; one blank between columns; the empty cell is padded too.
    const QString esperado = QStringLiteral("t  Año  Datos\n"
                                            "1  2010 125.5\n"
                                            "10 2010      \n");
    QCOMPARE(QString::fromUtf8(TextoTxt(*r.Modelo())), esperado);
}

void TstRejilla::copiar_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("fila2");
    // By hand: the number as the grid shows it, under each decimal mark.
    QTest::newRow("es") << true << "HLT (0,1)\t12,50";
    QTest::newRow("C") << false << "HLT (0.1)\t12.50";
}

void TstRejilla::copiar()
{
    QFETCH(bool, coma);
    QFETCH(QString, fila2);
    PonerLocale(coma);
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(4);
    r.SetTexto(0, 0, "Modelo");
    r.SetTexto(1, 0, "MSE");
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

void TstRejilla::exportarCsv_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QString>("cabecera");
    QTest::addColumn<QString>("vacia");
    // By hand: under a decimal comma the separator is ";", so "a,b" and the
    // number need no quotes; under a point the separator is "," and "a,b" is quoted.
    // The quote cell is always quoted, its quotes doubled.
    QTest::newRow("es") << true << "a,b;\"di \"\"hola\"\"\";12,50"
                        << "Modelo;MSE;RMSE"
                        << ";;";
    QTest::newRow("C") << false << "\"a,b\",\"di \"\"hola\"\"\",12.50"
                       << "Modelo,MSE,RMSE"
                       << ",,";
}

void TstRejilla::exportarCsv()
{
    QFETCH(bool, coma);
    QFETCH(QString, linea);
    QFETCH(QString, cabecera);
    QFETCH(QString, vacia);
    PonerLocale(coma);
    Rejilla r;
    r.SetColCount(3);
    r.SetRowCount(3);
    r.SetTexto(0, 0, "Modelo");
    r.SetTexto(1, 0, "MSE");
    r.SetTexto(2, 0, "RMSE");
    r.SetTexto(0, 1, "a,b");
    r.SetTexto(1, 1, "di \"hola\"");
    r.SetNumero(2, 1, 12.5, Formato::Fijo2);
    const QByteArray csv = TextoCsv(*r.Modelo());
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList lineas = QString::fromUtf8(csv.mid(3)).split("\r\n");
    // One line per grid row, headers first, and the final line break.
    QCOMPARE(lineas.size(), 4);
    QCOMPARE(lineas[0], cabecera);
    QCOMPARE(lineas[1], linea);
    QCOMPARE(lineas[2], vacia);
    QCOMPARE(lineas[3], QString());
}

void TstRejilla::exportarHtml()
{
    Rejilla r;
    r.SetColCount(2);
    r.SetRowCount(3);
    r.SetTexto(0, 0, "Año");
    r.SetTexto(1, 0, "<b>MSE</b>");
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
        for (int c = 0; c < 2; ++c)
            QCOMPARE(filas[f][c], r.Celda(c, f));
}

void TstRejilla::exportarRtf()
{
    Rejilla r;
    r.SetColCount(3);
    r.SetRowCount(3);
    r.SetTexto(0, 0, "Año");
    r.SetTexto(1, 0, "{x}");
    r.SetTexto(2, 0, "a\\b");
    r.SetNumero(1, 1, 1.5);
    r.SetTexto(2, 2, "€ ñ");
    const QByteArray rtf = TextoRtf(*r.Modelo(), r.AnchosColumnas());
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QCOMPARE(rtf.count("\\trowd"), 3);
    QCOMPARE(rtf.count("\\cell\n"), 9);
    int nivel = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        nivel += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        QVERIFY(nivel >= 0);
    }
    QCOMPARE(nivel, 0);
    for (char c : rtf)
        QVERIFY(static_cast<unsigned char>(c) < 0x80); // all beyond ASCII as \u
    const QList<QStringList> filas = LeerRtf(rtf);
    QCOMPARE(filas.size(), 3);
    for (int f = 0; f < 3; ++f)
        QCOMPARE(filas[f], QStringList({r.Celda(0, f), r.Celda(1, f), r.Celda(2, f)}));
}

void TstRejilla::exportarXls_data()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es") << true;
    QTest::newRow("C") << false;
}

void TstRejilla::exportarXls()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    r.SetColCount(4);
    r.SetRowCount(4);
    r.SetTexto(0, 0, "Modelo");
    r.SetTexto(1, 0, "MSE");
    r.SetTexto(2, 0, "Año");
    r.SetTexto(3, 0, "PB");
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

void TstRejilla::anchosXls_data()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es") << true;
    QTest::newRow("C") << false;
}

void TstRejilla::anchosXls()
{
    // A spreadsheet column is as wide as a number of '0's of its font; each
    // must hold its longest text, or a number shows as "###".
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    r.SetColCount(5);
    r.SetRowCount(4);
    const QStringList encabezados = {"Modelo", "MSE", "Previsión a largo plazo", "t", ""};
    for (int c = 0; c < 5; ++c)
        r.SetTexto(c, 0, encabezados[c]);
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
        QVERIFY2(a.at(c) >= largo[c] + 1, qPrintable(QStringLiteral("columna %1: %2").arg(c).arg(a.at(c))));
        QVERIFY2(a.at(c) <= largo[c] * 1.5 + 4, qPrintable(QStringLiteral("columna %1: %2").arg(c).arg(a.at(c))));
    }
    // The header decides when it is the longest text: bold capitals need more.
    QVERIFY(a.at(2) >= 24);
    // An empty column still gets a usable width.
    QVERIFY(a.at(4) >= 3);
}

void TstRejilla::exportarXlsGrande()
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

void TstRejilla::exportarPorFiltro()
{
    QTemporaryDir dir;
    Rejilla r;
    r.SetColCount(2);
    r.SetTexto(0, 0, "Mes");
    r.SetTexto(1, 0, "C.E.");
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
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll().startsWith(inicio[i - 1]), qPrintable(QString::number(i)));
    }
    // Outside 1..6 nothing is written.
    for (int i : {0, 7}) {
        const QString ruta = dir.filePath(QStringLiteral("n%1").arg(i));
        r.Exportar(ruta, i);
        QVERIFY(!QFile::exists(ruta));
    }
    // An existing file is replaced.
    const QString ruta = dir.filePath("t2");
    r.SetTexto(0, 0, "Otro");
    r.Exportar(ruta, 2);
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("\xEF\xBB\xBFOtro,"));
}

void TstRejilla::escrituraFallida()
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

void TstRejilla::paginar()
{
    QList<int> anchos = {100};
    for (int i = 0; i < 12; ++i)
        anchos << 50;
    // By hand: 600 px wide pages take columns 0..10 (600 px), then 11..12;
    // 500 px high ones take 27 rows of 18 px, so 100 rows need 4 pages per band.
    const auto p = PaginarRejilla(anchos, 100, 18, QSizeF(600, 500), false);
    QCOMPARE(p.size(), size_t(8));
    QCOMPARE(p[0], (PaginaRejilla{0, 26, 0, 10, false}));
    QCOMPARE(p[1], (PaginaRejilla{27, 53, 0, 10, false}));
    QCOMPARE(p[3], (PaginaRejilla{81, 99, 0, 10, false}));
    QCOMPARE(p[4], (PaginaRejilla{0, 26, 11, 12, false}));
    // Repeating the header leaves 26 rows for the others: 0..26, 27..52, 53..78, 79..99.
    const auto q = PaginarRejilla(anchos, 100, 18, QSizeF(1000, 500), true);
    QCOMPARE(q.size(), size_t(4));
    QCOMPARE(q[1], (PaginaRejilla{27, 52, 0, 12, true}));
    QCOMPARE(q[3], (PaginaRejilla{79, 99, 0, 12, true}));
    // A column wider than the page gets a page to itself.
    const auto w = PaginarRejilla({700, 50}, 2, 18, QSizeF(600, 500), false);
    QCOMPARE(w.size(), size_t(2));
    QCOMPARE(w[1].colDesde, 1);
}

void TstRejilla::vistaPrevia()
{
    Rejilla r;
    r.SetColCount(13);
    r.SetAnchosColumnas({100, 50});
    r.SetRowCount(201);
    for (int i = 1; i <= 200; ++i)
        r.SetNumero(1, i, i);
    int paginas = -1, paginaTrasSiguiente = -1;
    QString titulo, nombre;
    QSize tam;
    QPoint pos;
    QStringList botones;
    bool hecho = false;
    std::function<void()> mirar = [&] {
        auto* d = qobject_cast<RejillaVistaPrevia*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible() || d->Paginas() == 0) {
            QTimer::singleShot(20, mirar);
            return;
        }
        titulo = d->windowTitle();
        nombre = d->objectName();
        tam = d->size();
        pos = d->pos();
        paginas = d->Paginas();
        for (QPushButton* b : d->findChildren<QPushButton*>())
            botones << b->text();
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "Next")
                b->click();
        paginaTrasSiguiente = d->PaginaActual();
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "Close")
                b->click();
        hecho = true;
    };
    QTimer::singleShot(0, mirar);
    r.VistaPrevia();
    QVERIFY(hecho);
    QCOMPARE(titulo, QString("Preview"));
    QCOMPARE(nombre, QString("AdvPreviewDialog1"));
    QCOMPARE(tam, QSize(350, 300));
    QCOMPARE(pos, QPoint(100, 100));
    botones.sort();
    QCOMPARE(botones, QStringList({"Close", "Next", "Previous", "Print"}));
    // The preview shows the pages the pagination gives for its printer's page.
    QPrinter impresora(QPrinter::HighResolution);
    PrepararImpresora(impresora);
    const double escala = impresora.resolution() / 96.0;
    const QRectF area = impresora.pageRect(QPrinter::DevicePixel);
    const auto plan =
        PaginarRejilla(r.AnchosColumnas(), 201, 18, QSizeF(area.width() / escala, area.height() / escala), false);
    QVERIFY(plan.size() > 1);
    QCOMPARE(paginas, static_cast<int>(plan.size()));
    QCOMPARE(paginaTrasSiguiente, 2);
}

void TstRejilla::imprimirSinImpresoraEnPdf()
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("This machine has printers; \"Print\" goes to them.");
    Rejilla r;
    r.SetColCount(13);
    r.SetAnchosColumnas({100, 50});
    r.SetRowCount(201);
    for (int i = 1; i <= 200; ++i)
        r.SetNumero(1, i, i);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("tabla"));
    int paginas = -1;
    bool hecho = false;
    // "Print" asks for the file and writes it; the name gets ".pdf".
    std::function<void()> mirar = [&] {
        QWidget* activo = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<RejillaVistaPrevia*>(activo); d && d->isVisible() && d->Paginas() > 0) {
            if (hecho) {
                d->reject();
                return;
            }
            paginas = d->Paginas();
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == "Print")
                    QTimer::singleShot(0, b, &QPushButton::click);
        } else if (auto* f = qobject_cast<QFileDialog*>(activo); f && f->objectName() == "DialogoPdf") {
            // As the user does it: the folder, then the name typed.
            f->setDirectory(dir.path());
            f->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("tabla"));
            QMetaObject::invokeMethod(f, "accept");
            hecho = true;
        }
        QTimer::singleShot(20, mirar);
    };
    QTimer::singleShot(0, mirar);
    r.VistaPrevia();
    QVERIFY(hecho);
    QFile f(ruta + QStringLiteral(".pdf"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    // As many pages as the preview shows.
    QVERIFY(paginas > 1);
    QCOMPARE(int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r")), paginas);
}

void TstRejilla::rendimiento()
{
    const int n = 100000;
    Rejilla r;
    r.resize(800, 600);
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    QElapsedTimer t;
    t.start();
    r.SetColCount(13);
    r.SetRowCount(n + 1);
    r.ComenzarCarga();
    for (int i = 1; i <= n; ++i) {
        r.SetTexto(0, i, QStringLiteral("HLT (0,5;0,%1)").arg(i % 10));
        for (int c = 1; c < 13; ++c)
            r.SetNumero(c, i, ((i * 7919 + c * 31) % 100003) / 7.0, Formato::Fijo2);
    }
    r.TerminarCarga();
    const qint64 relleno = t.restart();
    r.Ordenar(5, Qt::AscendingOrder);
    const qint64 orden = t.restart();
    r.SetMostrarMinMax(true);
    r.repaint();
    const qint64 pintado = t.restart();
    qInfo("100000 x 13: fill %lld ms, sort %lld ms, repaint with min/max %lld ms", relleno, orden, pintado);
    for (int i = 2; i <= n; ++i)
        QVERIFY(r.Modelo()->Numero(5, i - 1) <= r.Modelo()->Numero(5, i));
    // Generous bounds: debug and sanitizer builds are several times slower.
    QVERIFY(relleno < 20000);
    QVERIFY(orden < 10000);
}

QTEST_MAIN(TstRejilla)
#include "tst_rejilla.moc"
