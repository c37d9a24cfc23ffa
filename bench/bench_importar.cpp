// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a long series, as "Archivo" > "Importar..." reads it: the file
// read into a table, the detection, the months and the data text.
//   - a CSV of 100 000 rows ("Fecha;Ventas", dd/mm/aaaa dates, "1.135,46" values);
//   - an .xlsx of 100 000 rows (year, month, value) written with libxlsxwriter;
//   - an .xlsx of 20 000 rows with one cell far right (column XFD) on each row.
// Best of three; memory as the process's peak resident size.
//   - the CSV again through the window's import (its dialog accepted at once).
//   ./bench_bench_importar [--csv | --xlsx | --ancho | --ventana]   (one of them alone)
#include "app/Aplicacion.h"
#include "data/Importacion.h"
#include "data/LibroCalculo.h"
#include "app/MainUnit.h"
#include "Medir.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <minizip/zip.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <memory>
#include <cmath>

using namespace tendora;
using namespace medir;

namespace {

double Valor(int i)
{
    return 1000.0 + 0.37 * i + 20.0 * std::sin(i * 0.52);
}

// The whole import of one file: its tables, the first one detected and converted.
qsizetype Importar(const QString& ruta)
{
    const QList<Tabla> tablas = LeerParaImportar(ruta);
    const Tabla& t = tablas.constFirst();
    const std::vector<Mes> meses = Convertir(t, Detectar(t));
    return TextoDatos(meses).size() > 0 ? qsizetype(meses.size()) : 0;
}

void Informar(const QString& que, const QString& ruta)
{
    qsizetype meses = 0;
    const double s = Mejor(3, [&] { meses = Importar(ruta); });
    Linea(QStringLiteral("%1: %2 s, %3 months; peak RSS %4 MiB")
              .arg(que)
              .arg(s, 0, 'f', 3)
              .arg(meses)
              .arg(PicoMiB(), 0, 'f', 0));
}

bool Csv(const QString& ruta)
{
    QByteArray t("Fecha;Ventas\r\n");
    QLocale es(QLocale::Spanish, QLocale::Spain);
    for (int i = 0; i < 100000; ++i)
        t += QByteArrayLiteral("01/") + QByteArray::number(i % 12 + 1).rightJustified(2, '0') + '/' +
             QByteArray::number(1000 + i / 12) + ';' + es.toString(Valor(i), 'f', 2).toUtf8() + "\r\n";
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(t) == t.size();
}

bool Xlsx(const QString& ruta)
{
    lxw_workbook* libro = workbook_new(QFile::encodeName(ruta).constData());
    if (!libro)
        return false;
    lxw_worksheet* hoja = workbook_add_worksheet(libro, "Datos");
    worksheet_write_string(hoja, 0, 0, "Año", nullptr);
    worksheet_write_string(hoja, 0, 1, "Mes", nullptr);
    worksheet_write_string(hoja, 0, 2, "Ventas", nullptr);
    // Year and month as numbers: date cells stop at the year 9999.
    for (int i = 0; i < 100000; ++i) {
        worksheet_write_number(hoja, lxw_row_t(i + 1), 0, 1000 + i / 12, nullptr);
        worksheet_write_number(hoja, lxw_row_t(i + 1), 1, i % 12 + 1, nullptr);
        worksheet_write_number(hoja, lxw_row_t(i + 1), 2, Valor(i), nullptr);
    }
    return workbook_close(libro) == LXW_NO_ERROR;
}

// Years in A, values in B, and a note in XFD on every row.
bool XlsxAncho(const QString& ruta)
{
    QByteArray hoja("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
    for (int f = 1; f <= 20000; ++f) {
        const QByteArray r = QByteArray::number(f);
        hoja += "<row r=\"" + r + "\"><c r=\"A" + r + "\"><v>" + QByteArray::number(2000 + f) + "</v></c><c r=\"B" + r +
                "\"><v>" + QByteArray::number(f) + "</v></c><c r=\"XFD" + r +
                "\" t=\"inlineStr\"><is><t>x</t></is></c></row>";
    }
    hoja += "</sheetData></worksheet>";
    const QList<QPair<const char*, QByteArray>> partes = {
        {"xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheets>"
                            "<sheet name=\"Hoja1\" sheetId=\"1\"/></sheets></workbook>"},
        {"xl/worksheets/sheet1.xml", hoja}};
    zipFile zip = zipOpen64(QFile::encodeName(ruta).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (const auto& [nombre, contenido] : partes) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, nombre, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION,
                              0);
        zipWriteInFileInZip(zip, contenido.constData(), unsigned(contenido.size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

// The same file through the window: "Importar..." after its file dialog,
// the import dialog accepted as it shows, the text put in Memo1.
void Ventana(const QString& que, const QString& ruta)
{
    std::unique_ptr<TFormMain> w(CrearVentanas());
    w->show();
    QTimer aceptar;
    aceptar.setInterval(5);
    QObject::connect(&aceptar, &QTimer::timeout, [] {
        if (QWidget* d = QApplication::activeModalWidget())
            if (auto* b = d->findChild<QAbstractButton*>(QStringLiteral("BBAceptar")))
                b->click();
    });
    aceptar.start();
    qsizetype lineas = 0;
    const double s = Mejor(3, [&] {
        w->ImportarFichero(ruta);
        QCoreApplication::processEvents();
        lineas = Control<QPlainTextEdit>(*w, "Memo1")->document()->blockCount();
    });
    Linea(QStringLiteral("%1 through the window: %2 s, %3 lines in Memo1; peak RSS %4 MiB")
              .arg(que)
              .arg(s, 0, 'f', 3)
              .arg(lineas)
              .arg(PicoMiB(), 0, 'f', 0));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAplicacion app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("largo.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("largo.xlsx"));
    const QString ancho = dir.filePath(QStringLiteral("ancho.xlsx"));
    if (!Csv(csv) || !Xlsx(xlsx) || !XlsxAncho(ancho)) {
        Linea(QStringLiteral("could not write the files to import in %1").arg(dir.path()));
        return 1;
    }
    Linea(QStringLiteral("peak RSS at start %1 MiB").arg(PicoMiB(), 0, 'f', 0));
    const QByteArray solo = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    try {
        if (solo.isEmpty() || solo == "--csv")
            Informar(QStringLiteral("CSV, 100 000 rows"), csv);
        if (solo.isEmpty() || solo == "--xlsx")
            Informar(QStringLiteral("xlsx, 100 000 rows"), xlsx);
        if (solo.isEmpty() || solo == "--ancho")
            Informar(QStringLiteral("xlsx, 20 000 rows with a cell in XFD"), ancho);
        if (solo.isEmpty() || solo == "--ventana")
            Ventana(QStringLiteral("CSV, 100 000 rows"), csv);
    } catch (const ErrorImportacion& e) {
        Linea(QStringLiteral("import failed: %1").arg(e.Mensaje()));
        return 1;
    }
    return 0;
}
