// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and detection of imported files: delimited texts in every date
// form and number style, the failures a user meets, and .xlsx/.ods
// workbooks built here with minizip.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <minizip/zip.h>

#include "data/Importacion.h"
#include "data/LibroCalculo.h"

#include "Ayudas.h"

using namespace tendora;

Q_DECLARE_METATYPE(tendora::FormaFecha)

namespace {

// Months as "m/aaaa=valor" joined by blanks; the value with QString::number, the same under any locale.
QString Resumen(const std::vector<Mes>& meses)
{
    QStringList s;
    for (const Mes& m : meses)
        s << QStringLiteral("%1/%2=%3").arg(m.mes).arg(m.anio).arg(QString::number(m.valor, 'g', 15));
    return s.join(QLatin1Char(' '));
}

// A zip with the given parts, as a spreadsheet program writes them (the
// parts the reader does not use are left out).
void EscribirZip(const QString& ruta, const QList<QPair<QString, QByteArray>>& partes)
{
    zipFile zip = zipOpen64(QFile::encodeName(ruta).constData(), APPEND_STATUS_CREATE);
    QVERIFY(zip);
    for (const auto& [nombre, contenido] : partes) {
        zip_fileinfo info{};
        QCOMPARE(zipOpenNewFileInZip64(zip, nombre.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0),
                 ZIP_OK);
        QCOMPARE(zipWriteInFileInZip(zip, contenido.constData(), unsigned(contenido.size())), ZIP_OK);
        QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
    }
    QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
}

// A zip with the given parts and then the `grandes`, each claiming
// `declarado` bytes uncompressed: stored as is, their headers say what a
// zip bomb's would.
void EscribirZipDeclarado(const QString& ruta, const QList<QPair<QString, QByteArray>>& partes,
                          const QStringList& grandes, quint64 declarado)
{
    EscribirZip(ruta, partes);
    zipFile zip = zipOpen64(QFile::encodeName(ruta).constData(), APPEND_STATUS_ADDINZIP);
    QVERIFY(zip);
    for (const QString& grande : grandes) {
        zip_fileinfo info{};
        QCOMPARE(zipOpenNewFileInZip2_64(zip, grande.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0,
                                         1, 1),
                 ZIP_OK);
        QCOMPARE(zipWriteInFileInZip(zip, "<worksheet/>", 12), ZIP_OK);
        QCOMPARE(zipCloseFileInZipRaw64(zip, declarado, 0), ZIP_OK);
    }
    QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
}

const QByteArray kNsXlsx = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
const QByteArray kNsOds = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"";

// An .ods whose one sheet, "Hoja1", has the given rows.
void EscribirOds(const QString& ruta, const QByteArray& filas)
{
    EscribirZip(ruta,
                {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                 {"content.xml", "<office:document-content " + kNsOds +
                                     "><office:body><office:spreadsheet><table:table table:name=\"Hoja1\">" + filas +
                                     "</table:table></office:spreadsheet></office:body>"
                                     "</office:document-content>"}});
}

// What an import may take, in milliseconds: 2 s as built for use; a
// sanitized or unoptimised build runs several times slower.
constexpr qint64 kPlazo =
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
    20000;
#else
    2000;
#endif

// The message the step stops with, or a marker no message reads as.
template <class F>
QString Error(F paso)
{
    try {
        paso();
    } catch (const ErrorImportacion& e) {
        return e.Mensaje();
    }
    return QStringLiteral("<sin error>");
}

} // namespace

class TstImportacion : public QObject {
    Q_OBJECT
private slots:
    void texto_data();
    void texto();
    void errores_data();
    void errores();
    void importe_data();
    void importe();
    void textoDatos_data();
    void textoDatos();
    void xlsx();
    void ods();
    void zipIlegible();
    void celdaLejana_data();
    void celdaLejana();
    void hojasDeUnaParte();
    void librosDesmesurados();
};

void TstImportacion::texto_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separador");
    QTest::addColumn<int>("cabecera");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<FormaFecha>("forma");
    QTest::addColumn<QString>("meses");
    // Every expected month and value read off the file text by hand.
    QTest::newRow("year and month columns, tab") << QByteArray("2020\t12\t10.5\n2021\t1\t11\n") << "\t" << 0 << "."
                                                 << FormaFecha::AnioYMes << "12/2020=10.5 1/2021=11";
    QTest::newRow("2020-01, header, comma") << QByteArray("fecha,valor\n2020-01,1.5\n2020-02,2.5\n") << "," << 1 << "."
                                            << FormaFecha::AnioMes << "1/2020=1.5 2/2020=2.5";
    QTest::newRow("2020/01") << QByteArray("2020/01;3\n2020/02;4\n") << ";" << 0 << "," << FormaFecha::AnioMes
                             << "1/2020=3 2/2020=4";
    QTest::newRow("01/2020, decimal comma") << QByteArray("01/2020;1,5\n02/2020;2,25\n") << ";" << 0 << ","
                                            << FormaFecha::MesAnio << "1/2020=1.5 2/2020=2.25";
    QTest::newRow("1/2/2020 is February")
        << QByteArray("1/2/2020;5\n1/3/2020;6\n") << ";" << 0 << "," << FormaFecha::DiaMesAnio << "2/2020=5 3/2020=6";
    QTest::newRow("ISO dates") << QByteArray("2020-01-31\t7\n2020-02-29\t8\n") << "\t" << 0 << "." << FormaFecha::Iso
                               << "1/2020=7 2/2020=8";
    QTest::newRow("ene-20") << QByteArray("ene-20;1\nfeb-20;2\ndic-20;3\n") << ";" << 0 << "," << FormaFecha::NombreMes
                            << "1/2020=1 2/2020=2 12/2020=3";
    QTest::newRow("enero 2020 with header") << QByteArray("Mes;Ventas\nenero 2020;1\nFebrero 2020;2\n") << ";" << 1
                                            << "," << FormaFecha::NombreMes << "1/2020=1 2/2020=2";
    QTest::newRow("ene 2020, comma") << QByteArray("ene 2020,5\nsept 2020,6\n") << "," << 0 << "."
                                     << FormaFecha::NombreMes << "1/2020=5 9/2020=6";
    QTest::newRow("no date") << QByteArray("100\n200\n") << "" << 0 << "." << FormaFecha::Ninguna << "0/0=100 0/0=200";
    QTest::newRow("one column, decimal commas") << QByteArray("100\n200,5\n300,25\n") << "" << 0 << ","
                                                << FormaFecha::Ninguna << "0/0=100 0/0=200.5 0/0=300.25";
    // A Spanish spreadsheet's CSV export: Latin-1, CR LF, ";" and "1.135,46", a quoted field with ";".
    QTest::newRow("Spanish export") << QByteArray("Fecha;Ventas del a\xf1o;Nota\r\n01/01/2020;1.135,46;\"a; b\"\r\n"
                                                  "01/02/2020;2.000,00;\r\n")
                                    << ";" << 1 << "," << FormaFecha::DiaMesAnio << "1/2020=1135.46 2/2020=2000";
    QTest::newRow("1,135.46 quoted") << QByteArray("date,value\n2020-01,\"1,135.46\"\n2020-02,\"2,000.5\"\n") << ","
                                     << 1 << "." << FormaFecha::AnioMes << "1/2020=1135.46 2/2020=2000.5";
    QTest::newRow("1.135 and 1.135,46 decide together")
        << QByteArray("2020-01\t1.135\n2020-02\t1.135,46\n") << "\t" << 0 << "," << FormaFecha::AnioMes
        << "1/2020=1135 2/2020=1135.46";
    QTest::newRow("euros") << QByteArray("Fecha;Importe\n2020-01;1.135,46 \xe2\x82\xac\n2020-02;99,5 \xe2\x82\xac\n")
                           << ";" << 1 << "," << FormaFecha::AnioMes << "1/2020=1135.46 2/2020=99.5";
    QTest::newRow("plain 1135,46") << QByteArray("2020-01;1135,46\n") << ";" << 0 << "," << FormaFecha::AnioMes
                                   << "1/2020=1135.46";
    QTest::newRow("plain 1135.46") << QByteArray("2020-01\t1135.46\n") << "\t" << 0 << "." << FormaFecha::AnioMes
                                   << "1/2020=1135.46";
    // Excel's "Unicode text": UTF-16 with a byte-order mark.
    QByteArray utf16("\xff\xfe");
    for (QChar c : QStringLiteral("Año\tMes\tValor\r\n2020\t3\t4,5\r\n")) {
        utf16 += char(c.unicode() & 0xff);
        utf16 += char(c.unicode() >> 8);
    }
    QTest::newRow("UTF-16 with BOM") << utf16 << "\t" << 1 << "," << FormaFecha::AnioYMes << "3/2020=4.5";
}

void TstImportacion::texto()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separador);
    QFETCH(int, cabecera);
    QFETCH(QString, decimal);
    QFETCH(FormaFecha, forma);
    QFETCH(QString, meses);
    for (bool coma : {true, false}) {
        prueba::PonerLocale(coma); // detection must not depend on the user's format
        const Tabla t = LeerTextoDelimitado(bytes, QStringLiteral("datos.csv"));
        const Deteccion d = Detectar(t);
        QCOMPARE(t.separador.isNull() ? QString() : QString(t.separador), separador);
        QCOMPARE(d.filasCabecera, cabecera);
        QCOMPARE(QString(d.decimal), decimal);
        QCOMPARE(d.forma, forma);
        QCOMPARE(Resumen(Convertir(t, d)), meses);
    }
}

void TstImportacion::errores_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("empty") << QByteArray("  \r\n") << "El fichero «datos.csv» está vacío: no hay datos que importar.";
    QTest::newRow("header only") << QByteArray("Fecha;Ventas\r\n")
                                 << "El fichero solo tiene cabecera: ninguna línea con números que importar.";
    // Rows in the middle of the data that are no dates still stop it.
    QTest::newRow("empty value cell") << QByteArray("2020-01;5\n2020-02;\n2020-03;7\n")
                                      << "Línea 2, columna 2: falta el valor; los datos no admiten meses sin valor.";
    QTest::newRow("total in the middle")
        << QByteArray("2020-01;5\n2020-02;5\n2020-03;5\n2020-04;5\nTotal;20\n2020-05;5\n2020-06;5\n2020-07;5\n"
                      "2020-08;5\n2020-09;5\n")
        << "Línea 5, columna 1: se esperaba una fecha (aaaa-mm) y se lee «Total».";
    QTest::newRow("empty row in the middle")
        << QByteArray("2020-01;5\n;\n2020-03;7\n") << "Línea 2, columna 1: falta la fecha.";
    QTest::newRow("text in the values")
        << QByteArray("Año;Mes;Valor\n2020;1;5\n2020;2;5\n2020;3;5\n2020;4;5\n2020;5;5\n2020;6;abc\n2020;7;5\n"
                      "2020;8;5\n2020;9;5\n2020;10;5\n2020;11;5\n")
        << "Línea 7, columna 3: se esperaba un número y se lee «abc».";
    QTest::newRow("month 13 in a date column")
        << QByteArray("2020-01;1\n2020-02;1\n2020-03;1\n2020-04;1\n2020-05;1\n2020-06;1\n2020-07;1\n2020-08;1\n"
                      "2020-09;1\n2020-13;1\n2020-11;1\n")
        << "Línea 10, columna 1: se esperaba una fecha (aaaa-mm) y se lee «2020-13».";
    QTest::newRow("line numbers count quoted breaks") << QByteArray("\"Fecha\nde venta\";Valor\n2020-01;1\n2020-02;x\n")
                                                      << "Línea 4, columna 2: se esperaba un número y se lee «x».";
    QTest::newRow("binary given as .csv")
        << QByteArray("PK\x03\x04\x14\x00\x00\x00\x08\x00", 10) + QByteArray(200, '\x01')
        << "El fichero «datos.csv» no es un fichero de texto: contiene bytes de "
           "control. Las hojas de cálculo se importan como .xlsx u .ods.";
}

void TstImportacion::errores()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mensaje);
    QCOMPARE(Error([&] {
                 const Tabla t = LeerTextoDelimitado(bytes, QStringLiteral("datos.csv"));
                 (void)Convertir(t, Detectar(t));
             }),
             mensaje);
}

// What is taken and what is left out: blank values in the middle are kept
// (to be filled), rows after the data and months at the ends without a value
// are left out, and the user is told which.
void TstImportacion::importe_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("meses"); // "?" for a month without its value
    QTest::addColumn<QString>("omitidas");
    QTest::newRow("blank in the middle") << QByteArray("2020-01;5\n2020-02;\n2020-03;7\n")
                                         << "1/2020=5 2/2020=? 3/2020=7"
                                         << "";
    QTest::newRow("blanks only in the middle")
        << QByteArray("2020-01;5\n2020-02;  \n2020-03;7\n") << "1/2020=5 2/2020=? 3/2020=7"
        << "";
    QTest::newRow("a total after")
        << QByteArray("2020-01;5\n2020-02;6\nTotal;11\n") << "1/2020=5 2/2020=6"
        << "Se omite la línea 3 del final, que no es una fecha (Línea 3, columna 1: «Total»).";
    QTest::newRow("a total, an empty row and a note after")
        << QByteArray("Mes;Ventas\n2020-01;5\n2020-02;6\nTotal;11\n;\nFuente: propia;\n") << "1/2020=5 2/2020=6"
        << "Se omiten las líneas 4 a 6 del final, que no son fechas (Línea 4, columna 1: «Total»; Línea 6, columna 1: "
           "«Fuente: propia»).";
    QTest::newRow("no value at either end")
        << QByteArray("2020-01;\n2020-02;5\n2020-03;6\n2020-04;\n2020-05;\n") << "2/2020=5 3/2020=6"
        << "Se omite la línea 1 del principio, sin valor. Se omiten las líneas 4 y "
           "5 del final, sin valor.";
    QTest::newRow("values alone, a total after")
        << QByteArray("5\n6\nTotal\n") << "0/0=5 0/0=6"
        << "Se omite la línea 3 del final, que no es un número (Línea 3, columna 1: «Total»).";
}

void TstImportacion::importe()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, meses);
    QFETCH(QString, omitidas);
    const Tabla t = LeerTextoDelimitado(bytes, QStringLiteral("datos.csv"));
    const Importe imp = ConvertirImporte(t, Detectar(t));
    QStringList s;
    for (const Mes& m : imp.meses)
        s << QStringLiteral("%1/%2=%3")
                 .arg(m.mes)
                 .arg(m.anio)
                 .arg(m.sinValor ? QStringLiteral("?") : QString::number(m.valor, 'g', 15));
    QCOMPARE(s.join(QLatin1Char(' ')), meses);
    QCOMPARE(imp.omitidas, omitidas);
}

void TstImportacion::textoDatos_data()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es_ES") << true;
    QTest::newRow("C") << false;
}

void TstImportacion::textoDatos()
{
    QFETCH(bool, coma);
    prueba::PonerLocale(coma);
    const QString d = coma ? QStringLiteral(",") : QStringLiteral(".");
    // Dated months keep their dates; undated ones count on from the start, 12 then 1.
    QCOMPARE(TextoDatos({{2020, 12, 1135.46}, {2021, 1, 2}}),
             QStringLiteral("2020\t12\t1135%12\n2021\t1\t2\n").arg(d + QStringLiteral("46")));
    QCOMPARE(TextoDatos({{0, 0, 0.5}, {0, 0, 3}}, 2019, 12),
             QStringLiteral("2019\t12\t0%1\n2020\t1\t3\n").arg(d + QStringLiteral("5")));
    prueba::PonerLocale(false);
}

void TstImportacion::xlsx()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("ventas.xlsx"));
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    // Sheet "Datos": A dates (serial numbers with the date style 1), B values;
    // sheet "Otra" has an empty value in B3.
    EscribirZip(ruta,
                {{"xl/workbook.xml", "<workbook " + ns +
                                         "><sheets><sheet name=\"Datos\" sheetId=\"1\" r:id=\"rId1\"/>"
                                         "<sheet name=\"Otra\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
                 {"xl/_rels/workbook.xml.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Target=\"worksheets/hoja1.xml\" Type=\"x\"/>"
                  "<Relationship Id=\"rId2\" Target=\"/xl/worksheets/hoja2.xml\" Type=\"x\"/></Relationships>"},
                 {"xl/sharedStrings.xml", "<sst " + ns +
                                              "><si><t>Fecha</t></si><si><r><t>Ven</t></r><r><t>tas</t></r>"
                                              "<rPh><t>x</t></rPh></si></sst>"},
                 {"xl/styles.xml", "<styleSheet " + ns +
                                       "><numFmts><numFmt numFmtId=\"164\" formatCode=\"mmm\\-yy\"/></numFmts>"
                                       "<cellStyleXfs><xf numFmtId=\"0\"/></cellStyleXfs>"
                                       "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/></cellXfs></styleSheet>"},
                 {"xl/worksheets/hoja1.xml",
                  "<worksheet " + ns +
                      "><sheetData>"
                      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
                      "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>43861</v></c><c r=\"B2\"><v>1135.46</v></c></row>"
                      "<row r=\"3\"><c r=\"A3\" s=\"1\"><v>43890</v></c><c r=\"B3\" "
                      "t=\"inlineStr\"><is><t>2.000,5</t></is></c></row>"
                      "</sheetData></worksheet>"},
                 {"xl/worksheets/hoja2.xml",
                  "<worksheet " + ns +
                      "><sheetData>"
                      "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>43861</v></c><c r=\"B2\"><v>1</v></c></row>"
                      "<row r=\"3\"><c r=\"A3\" s=\"1\"><v>43890</v></c></row>"
                      "</sheetData></worksheet>"}});
    const QList<Tabla> hojas = LeerParaImportar(ruta);
    QCOMPARE(hojas.size(), 2);
    QCOMPARE(hojas[0].nombre, QStringLiteral("Datos"));
    QCOMPARE(hojas[0].En(0, 1).texto, QStringLiteral("Ventas")); // runs joined, phonetic guide left out
    const Deteccion d = Detectar(hojas[0]);
    QCOMPARE(d.filasCabecera, 1);
    QCOMPARE(d.forma, FormaFecha::Serie);
    QCOMPARE(d.colValor, 1);
    // 43861 is 31/01/2020 and 43890 is 29/02/2020 (days from 30/12/1899, counted by hand).
    QCOMPARE(Resumen(Convertir(hojas[0], d)), QStringLiteral("1/2020=1135.46 2/2020=2000.5"));
    // A last month without a value is not yet one of the series; where no
    // one can be told so (the command line), it is named as before.
    const Importe segunda = ConvertirImporte(hojas[1], Detectar(hojas[1]));
    QCOMPARE(Resumen(segunda.meses), QStringLiteral("1/2020=1"));
    QCOMPARE(segunda.omitidas, QStringLiteral("Se omite la fila 3 del final, sin valor."));
    QCOMPARE(Error([&] { (void)Convertir(hojas[1], Detectar(hojas[1])); }),
             QStringLiteral("Celda B3: falta el valor; los datos no admiten meses sin valor."));
    // Plain numbers in a column the user marks as the date are serials too.
    Tabla sinEstilo = hojas[0];
    for (int f = 1; f <= 2; ++f)
        sinEstilo.filas[f][0].tipo = Celda::Numero;
    Deteccion marcada = Detectar(sinEstilo);
    QCOMPARE(marcada.forma, FormaFecha::Ninguna);
    marcada.colFecha = 0;
    marcada.colValor = 1;
    marcada.forma = FormaDeColumna(sinEstilo, marcada, 0);
    QCOMPARE(Resumen(Convertir(sinEstilo, marcada)), QStringLiteral("1/2020=1135.46 2/2020=2000.5"));
}

void TstImportacion::ods()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("ventas.ods"));
    const QByteArray ns = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"";
    const QByteArray fila = "<table:table-row table:number-rows-repeated=\"2\">"
                            "<table:table-cell office:value-type=\"date\" "
                            "office:date-value=\"2020-03-01\"><text:p>01/03/20</text:p></table:table-cell>"
                            "<table:table-cell table:number-columns-repeated=\"2\"/>"
                            "<table:table-cell office:value-type=\"float\" "
                            "office:value=\"7.25\"><text:p>7,25</text:p></table:table-cell>"
                            "</table:table-row>";
    EscribirZip(
        ruta, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
               {"content.xml",
                "<office:document-content " + ns +
                    "><office:body><office:spreadsheet>"
                    "<table:table table:name=\"Hoja1\">"
                    "<table:table-column table:number-columns-repeated=\"1024\"/>"
                    "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Fecha</text:p>"
                    "<office:annotation><text:p>nota</text:p></office:annotation></table:table-cell></table:table-row>"
                    "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell "
                    "table:number-columns-repeated=\"1024\"/></table:table-row>" +
                    fila +
                    "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
                    "table:number-columns-repeated=\"1024\"/></table:table-row>"
                    "</table:table></office:spreadsheet></office:body></office:document-content>"}});
    const QList<Tabla> hojas = LeerLibro(ruta);
    QCOMPARE(hojas.size(), 1);
    const Tabla& t = hojas[0];
    // Row 1 header, rows 2-4 empty, rows 5-6 the repeated row; the empty run to the sheet's end is not kept.
    QCOMPARE(t.filas.size(), 6);
    QCOMPARE(t.En(0, 0).texto, QStringLiteral("Fecha"));
    QCOMPARE(t.Columnas(), 4);
    const Deteccion d = Detectar(t);
    QCOMPARE(d.filasCabecera, 4);
    QCOMPARE(d.forma, FormaFecha::Serie);
    QCOMPARE(d.colValor, 3);
    QCOMPARE(Resumen(Convertir(t, d)), QStringLiteral("3/2020=7.25 3/2020=7.25"));
    QCOMPARE(t.Lugar(5, 3), QStringLiteral("Celda D6"));
}

void TstImportacion::zipIlegible()
{
    QTemporaryDir dir;
    const QString roto = dir.filePath(QStringLiteral("roto.xlsx"));
    QFile f(roto);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 esto no es un zip");
    f.close();
    const QString vacio = dir.filePath(QStringLiteral("otro.ods"));
    EscribirZip(vacio, {{"leeme.txt", "hola"}});
    const QString cortado = dir.filePath(QStringLiteral("cortado.xlsx"));
    EscribirZip(cortado, {{"xl/workbook.xml", "<workbook>\n<sheets><sheet name=\"A\""}});
    const QString sinHoja = dir.filePath(QStringLiteral("sinhoja.xlsx"));
    EscribirZip(sinHoja, {{"xl/workbook.xml", "<workbook><sheets><sheet name=\"A\"/></sheets></workbook>"}});
    for (const auto& [ruta, mensaje] :
         {std::pair{roto, QStringLiteral("El fichero «roto.xlsx» no es un libro de hoja de cálculo legible: no se "
                                         "puede abrir como archivo comprimido (zip).")},
          std::pair{vacio,
                    QStringLiteral("El fichero «otro.ods» es un archivo comprimido pero no un libro .xlsx ni .ods.")},
          std::pair{cortado, QStringLiteral("El libro «cortado.xlsx» está dañado: el XML de xl/workbook.xml no es "
                                            "válido (línea 2).")},
          std::pair{sinHoja,
                    QStringLiteral("El libro «sinhoja.xlsx» está incompleto: le falta xl/worksheets/sheet1.xml.")}}) {
        QCOMPARE(Error([&] { (void)LeerParaImportar(ruta); }), mensaje);
    }
}

void TstImportacion::celdaLejana_data()
{
    QTest::addColumn<QString>("fichero");
    QTest::newRow("xlsx") << "lejana.xlsx";
    QTest::newRow("ods") << "lejana.ods";
}

// Years in A, months in B, values in C and a note in the sheet's last
// column, XFD, on each of 2 000 rows: every row once took 16 384 cells.
void TstImportacion::celdaLejana()
{
    QFETCH(QString, fichero);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(fichero);
    const int filas = 2000;
    QByteArray xml;
    for (int f = 1; f <= filas; ++f) {
        const QByteArray r = QByteArray::number(f), anio = QByteArray::number(2000 + (f - 1) / 12),
                         mes = QByteArray::number((f - 1) % 12 + 1);
        if (fichero.endsWith(u"xlsx"))
            xml += "<row r=\"" + r + "\"><c r=\"A" + r + "\"><v>" + anio + "</v></c><c r=\"B" + r + "\"><v>" + mes +
                   "</v></c><c r=\"C" + r + "\"><v>" + r + ".5</v></c><c r=\"XFD" + r +
                   "\" t=\"inlineStr\"><is><t>nota</t></is></c></row>";
        else
            xml += "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"" + anio +
                   "\"/><table:table-cell office:value-type=\"float\" office:value=\"" + mes +
                   "\"/><table:table-cell office:value-type=\"float\" office:value=\"" + r +
                   ".5\"/><table:table-cell table:number-columns-repeated=\"16380\"/><table:table-cell "
                   "office:value-type=\"string\"><text:p>nota</text:p></table:table-cell></table:table-row>";
    }
    if (fichero.endsWith(u"xlsx"))
        EscribirZip(ruta,
                    {{"xl/workbook.xml",
                      "<workbook " + kNsXlsx + "><sheets><sheet name=\"Hoja1\" sheetId=\"1\"/></sheets></workbook>"},
                     {"xl/worksheets/sheet1.xml",
                      "<worksheet " + kNsXlsx + "><sheetData>" + xml + "</sheetData></worksheet>"}});
    else
        EscribirOds(ruta, xml);
    QElapsedTimer reloj;
    reloj.start();
    const QList<Tabla> hojas = LeerLibro(ruta);
    const Tabla& t = hojas.constFirst();
    const Deteccion d = Detectar(t);
    const std::vector<Mes> meses = Convertir(t, d);
    // It took 12.8 s when each row was widened to the whole sheet.
    QVERIFY2(reloj.elapsed() < kPlazo, qPrintable(QString::number(reloj.elapsed())));
    // A, B, C, one column for the empty run D..XFC, then XFD.
    QCOMPARE(t.Columnas(), 5);
    QCOMPARE(t.filas.size(), filas);
    QCOMPARE(t.filas.constLast().size(), 5);
    QCOMPARE(t.NombreColumna(3), QStringLiteral("D"));
    QCOMPARE(t.NombreColumna(4), QStringLiteral("XFD"));
    QCOMPARE(t.En(6, 4).texto, QStringLiteral("nota"));
    QCOMPARE(t.Lugar(6, 4), QStringLiteral("Celda XFD7"));
    QCOMPARE(d.forma, FormaFecha::AnioYMes);
    QCOMPARE(d.colValor, 2);
    QVERIFY(
        DescribirDeteccion(t, d).endsWith(QStringLiteral("Fecha: año y mes en las columnas A y B · Valor: columna C")));
    // Row 2000 is 1999 months after January 2000 (1999 = 166 * 12 + 7, by hand): August 2166.
    QCOMPARE(int(meses.size()), filas);
    QCOMPARE(Resumen({meses.back()}), QStringLiteral("8/2166=2000.5"));
}

// 2 000 sheets, all on one part of 20 MB (a zip of a few kilobytes): the
// part is read once, as it was read 2 000 times before.
void TstImportacion::hojasDeUnaParte()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("hojas.xlsx"));
    const int n = 2000;
    QByteArray libro = "<workbook " + kNsXlsx + "><sheets>";
    QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (int i = 1; i <= n; ++i) {
        const QByteArray k = QByteArray::number(i);
        libro += "<sheet name=\"H" + k + "\" sheetId=\"" + k + "\" r:id=\"rId" + k + "\"/>";
        // Named with other cases too: the zip finds the part either way.
        rels += "<Relationship Id=\"rId" + k + "\" Target=\"worksheets/" + (i % 2 ? "sheet1" : "SHEET1") +
                ".xml\" Type=\"x\"/>";
    }
    libro += "</sheets></workbook>";
    rels += "</Relationships>";
    const QByteArray hoja = "<worksheet " + kNsXlsx + "><sheetData>" + QByteArray(20 * 1024 * 1024, ' ') +
                            "<row r=\"1\"><c r=\"A1\"><v>2020</v></c><c r=\"B1\"><v>3</v></c><c r=\"C1\"><v>4.5</v>"
                            "</c></row></sheetData></worksheet>";
    EscribirZip(ruta,
                {{"xl/workbook.xml", libro}, {"xl/_rels/workbook.xml.rels", rels}, {"xl/worksheets/sheet1.xml", hoja}});
    QElapsedTimer reloj;
    reloj.start();
    const QList<Tabla> hojas = LeerLibro(ruta);
    QVERIFY2(reloj.elapsed() < kPlazo, qPrintable(QString::number(reloj.elapsed())));
    QCOMPARE(hojas.size(), n);
    QCOMPARE(hojas.constLast().nombre, QStringLiteral("H2000"));
    for (const Tabla& t : {hojas.constFirst(), hojas.constLast()})
        QCOMPARE(Resumen(Convertir(t, Detectar(t))), QStringLiteral("3/2020=4.5"));
}

// What no import can hold is refused at once, saying where and how much.
void TstImportacion::librosDesmesurados()
{
    QTemporaryDir dir;
    const QByteArray libro = "<workbook " + kNsXlsx +
                             "><sheets><sheet name=\"A\" sheetId=\"1\"/><sheet name=\"B\" sheetId=\"2\"/>"
                             "</sheets></workbook>";
    // Two sheet parts of 150 MB each, as their headers claim: 300 MB in all.
    const QString dos = dir.filePath(QStringLiteral("dos.xlsx"));
    EscribirZipDeclarado(dos, {{"xl/workbook.xml", libro}},
                         {QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("xl/worksheets/sheet2.xml")},
                         150ULL * 1024 * 1024);
    // A row of 16 384 cells with content, 1 000 times: sixteen million cells.
    const QString celdas = dir.filePath(QStringLiteral("celdas.ods"));
    EscribirOds(celdas, "<table:table-row table:number-rows-repeated=\"1000\"><table:table-cell "
                        "table:number-columns-repeated=\"16384\" office:value-type=\"string\"><text:p>x</text:p>"
                        "</table:table-cell></table:table-row>");
    // Five sheets, each with one cell in its last row, A1048576.
    const QString largas = dir.filePath(QStringLiteral("largas.xlsx"));
    {
        QByteArray cinco = "<workbook " + kNsXlsx + "><sheets>";
        QList<QPair<QString, QByteArray>> partes;
        for (int i = 1; i <= 5; ++i) {
            cinco +=
                "<sheet name=\"" + QByteArray(1, char('A' + i - 1)) + "\" sheetId=\"" + QByteArray::number(i) + "\"/>";
            partes.append({QStringLiteral("xl/worksheets/sheet%1.xml").arg(i),
                           "<worksheet " + kNsXlsx +
                               "><sheetData><row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row></sheetData>"
                               "</worksheet>"});
        }
        partes.prepend({QStringLiteral("xl/workbook.xml"), cinco + "</sheets></workbook>"});
        EscribirZip(largas, partes);
    }
    // 10 001 sheets, all empty.
    const QString hojas = dir.filePath(QStringLiteral("hojas.ods"));
    {
        QByteArray muchas;
        for (int i = 0; i <= 10000; ++i)
            muchas += "</table:table><table:table table:name=\"H" + QByteArray::number(i) + "\">";
        EscribirOds(hojas, muchas);
    }
    // A cell of 2 000 marks of 1 000 spaces each, then "x": 2 000 001 characters.
    const QString espacios = dir.filePath(QStringLiteral("espacios.ods"));
    QByteArray marcas;
    for (int i = 0; i < 2000; ++i)
        marcas += "<text:s text:c=\"1000\"/>";
    EscribirOds(espacios, "<table:table-row><table:table-cell><text:p>" + marcas +
                              "x</text:p></table:table-cell></table:table-row>");
    QElapsedTimer reloj;
    reloj.start();
    // The spaces stop where a spreadsheet's cell is full (32 767 characters), the text goes on.
    const QString texto = LeerLibro(espacios).constFirst().En(0, 0).texto;
    QCOMPARE(texto.size(), 32768);
    QVERIFY(texto.endsWith(QStringLiteral(" x")));
    // Four sheets of 1 048 576 rows are the 4 194 304 a workbook may have: the
    // fifth sheet's first row is one too many (by hand).
    QCOMPARE(Error([&] { (void)LeerLibro(largas); }),
             QStringLiteral("La hoja «E» es demasiado grande para importarla: en su fila 1 el libro pasa de 4194304 "
                            "filas."));
    QCOMPARE(Error([&] { (void)LeerLibro(hojas); }),
             QStringLiteral("El libro «hojas.ods» es demasiado grande para importarlo: tiene más de 10000 hojas."));
    QCOMPARE(
        Error([&] { (void)LeerLibro(dos); }),
        QStringLiteral("El libro «dos.xlsx» es demasiado grande: descomprimidas, sus partes ocupan más de 256 MB."));
    // The 4 000 001st cell: 4 000 000 = 244 rows of 16 384 and 2 304 more, so row 245, column 2 305 (CJQ), by hand.
    QCOMPARE(Error([&] { (void)LeerLibro(celdas); }),
             QStringLiteral("La hoja «Hoja1» es demasiado grande para importarla: en la celda CJQ245 el libro pasa de "
                            "4000000 celdas con contenido."));
    QVERIFY2(reloj.elapsed() < kPlazo, qPrintable(QString::number(reloj.elapsed())));
}

QTEST_GUILESS_MAIN(TstImportacion)
#include "tst_importacion.moc"
