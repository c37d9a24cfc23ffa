// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the workbooks of the seed corpus: a small .xlsx with shared texts,
// date styles and inline texts, one with year and month columns on the 1904
// calendar, and a small .ods with repeated rows and cells; each as a zip and
// as its parts in the plain form fuzz_libro zips itself (".partes").
//   ./fuzz_semillas fuzz/corpus/libro
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>

#include <minizip/zip.h>

#include <cstdio>

namespace {

using Partes = QList<QPair<QByteArray, QByteArray>>;

bool Zip(const QString& ruta, const Partes& partes)
{
    zipFile zip = zipOpen64(QFile::encodeName(ruta).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool bien = true;
    for (const auto& [nombre, contenido] : partes) {
        zip_fileinfo info{};
        bien = bien &&
               zipOpenNewFileInZip64(zip, nombre.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                     Z_BEST_COMPRESSION, 0) == ZIP_OK &&
               zipWriteInFileInZip(zip, contenido.constData(), unsigned(contenido.size())) == ZIP_OK &&
               zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && bien;
}

bool EnClaro(const QString& ruta, const Partes& partes)
{
    QByteArray b;
    for (const auto& [nombre, contenido] : partes)
        b += "==> " + nombre + '\n' + contenido + '\n';
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

const QByteArray kNs = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

Partes Xlsx()
{
    return {{"xl/workbook.xml", "<workbook " + kNs +
                                    "><sheets><sheet name=\"Datos\" sheetId=\"1\" r:id=\"rId1\"/>"
                                    "<sheet name=\"Otra\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"},
            {"xl/_rels/workbook.xml.rels",
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\" Type=\"x\"/>"
             "<Relationship Id=\"rId2\" Target=\"/xl/worksheets/sheet2.xml\" Type=\"x\"/></Relationships>"},
            {"xl/sharedStrings.xml", "<sst " + kNs +
                                         "><si><t>Fecha</t></si><si><r><t>Ven</t></r><r><t>tas</t></r>"
                                         "<rPh><t>x</t></rPh></si></sst>"},
            {"xl/styles.xml", "<styleSheet " + kNs +
                                  "><numFmts><numFmt numFmtId=\"164\" formatCode=\"mmm\\-yy\"/></numFmts>"
                                  "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"14\"/>"
                                  "</cellXfs></styleSheet>"},
            {"xl/worksheets/sheet1.xml",
             "<worksheet " + kNs +
                 "><sheetData>"
                 "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
                 "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>43861</v></c><c r=\"B2\"><v>1135.46</v></c></row>"
                 "<row r=\"3\"><c r=\"A3\" s=\"2\"><v>43890</v></c><c r=\"B3\" "
                 "t=\"inlineStr\"><is><t>2.000,5</t></is></c></row>"
                 "<row><c t=\"d\"><v>2020-03-31</v></c><c t=\"str\"><v>7,25</v></c><c t=\"b\"><v>1</v></c></row>"
                 "</sheetData></worksheet>"},
            {"xl/worksheets/sheet2.xml", "<worksheet " + kNs +
                                             "><sheetData><row r=\"2\"><c r=\"A2\"><v>1</v></c>"
                                             "<c r=\"XFD2\" t=\"e\"><v>#N/A</v></c></row></sheetData></worksheet>"}};
}

Partes XlsxAnioMes()
{
    return {{"xl/workbook.xml", "<workbook " + kNs +
                                    "><workbookPr date1904=\"1\"/><sheets><sheet name=\"Serie\" "
                                    "sheetId=\"1\"/></sheets></workbook>"},
            {"xl/worksheets/sheet1.xml",
             "<worksheet " + kNs +
                 "><sheetData>"
                 "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Año</t></is></c><c r=\"B1\" "
                 "t=\"inlineStr\"><is><t>Mes</t></is></c><c r=\"C1\" t=\"inlineStr\"><is><t>Valor</t></is>"
                 "</c></row>"
                 "<row r=\"2\"><c r=\"A2\"><v>2019</v></c><c r=\"B2\"><v>12</v></c><c r=\"C2\"><v>1e3</v>"
                 "</c></row>"
                 "<row r=\"3\"><c r=\"A3\"><v>2020</v></c><c r=\"B3\"><v>1</v></c><c r=\"C3\"><v>-2.5</v>"
                 "</c></row>"
                 "</sheetData></worksheet>"}};
}

Partes Ods()
{
    const QByteArray ns = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"";
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml",
             "<office:document-content " + ns +
                 "><office:body><office:spreadsheet><table:table table:name=\"Hoja1\">"
                 "<table:table-column table:number-columns-repeated=\"1024\"/>"
                 "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Fecha</text:p>"
                 "<office:annotation><text:p>nota</text:p></office:annotation></table:table-cell>"
                 "<table:table-cell><text:p>Ventas<text:s text:c=\"2\"/>netas<text:tab/>€</text:p></table:table-cell>"
                 "</table:table-row>"
                 "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell office:value-type=\"date\" "
                 "office:date-value=\"2020-03-01\"><text:p>01/03/20</text:p></table:table-cell>"
                 "<table:table-cell table:number-columns-repeated=\"2\"/>"
                 "<table:table-cell office:value-type=\"float\" office:value=\"7.25\"><text:p>7,25</text:p>"
                 "</table:table-cell></table:table-row>"
                 "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
                 "table:number-columns-repeated=\"1024\"/></table:table-row>"
                 "</table:table><table:table table:name=\"Vacía\"/></office:spreadsheet></office:body>"
                 "</office:document-content>"}};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QList<QPair<QString, Partes>> libros = {{QStringLiteral("fechas.xlsx"), Xlsx()},
                                                  {QStringLiteral("anio_mes.xlsx"), XlsxAnioMes()},
                                                  {QStringLiteral("fechas.ods"), Ods()}};
    for (const auto& [nombre, partes] : libros) {
        if (!Zip(dir.filePath(nombre), partes) || !EnClaro(dir.filePath(nombre + QStringLiteral(".partes")), partes)) {
            std::fprintf(stderr, "could not write the seeds in %s\n", argv[1]);
            return 1;
        }
    }
    return 0;
}
