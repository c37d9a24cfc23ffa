// SPDX-License-Identifier: GPL-3.0-or-later
// tendora-lote as a user runs it: the program started with its arguments on
// files written here, its output, its messages and its exit status read back.
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include <xlsxwriter.h>

namespace {

struct Ejecucion {
    int Estado = -1;
    QByteArray Salida;
    QByteArray Errores;
};

// The program with the arguments, under the locale given (LC_ALL), in dir.
Ejecucion Ejecutar(const QStringList& args, const QString& dir, const QString& locale = QStringLiteral("C.UTF-8"))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"LANG", "LANGUAGE", "LC_NUMERIC", "LC_ALL"})
        env.remove(QLatin1String(v));
    env.insert(QStringLiteral("LC_ALL"), locale);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral(TENDORA_LOTE), args);
    Ejecucion e;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return e;
    e.Estado = p.exitCode();
    e.Salida = p.readAllStandardOutput();
    e.Errores = p.readAllStandardError();
    return e;
}

void Escribir(const QString& ruta, const QByteArray& contenido)
{
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(contenido), contenido.size());
}

// A monthly data text of n values from the start given; the values are a
// trend with a yearly wave, written with the decimal mark given.
QByteArray Mensual(int n, int anio, int mes, char marca = '.', double pendiente = 0.5, double fase = 0.0)
{
    QByteArray t;
    for (int i = 0; i < n; ++i) {
        const double v = 100.0 + pendiente * i + 10.0 * std::sin((mes - 1 + i) * 0.5236 + fase);
        QByteArray valor = QByteArray::number(v, 'f', 2);
        if (marca == ',')
            valor.replace('.', ',');
        t += QByteArray::number(anio) + '\t' + QByteArray::number(mes) + '\t' + valor + '\n';
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return t;
}

const QByteArray CabeceraEsperada = "serie\tanio\tmes\tpaso\tprevision\tinf80\tsup80\tinf95\tsup95\tmodelo";

// Rows of the output without the header, split into fields.
QList<QList<QByteArray>> Filas(const QByteArray& salida)
{
    QList<QList<QByteArray>> filas;
    const QList<QByteArray> lineas = salida.split('\n');
    for (qsizetype k = 1; k < lineas.size(); ++k)
        if (!lineas[k].isEmpty())
            filas.append(lineas[k].split('\t'));
    return filas;
}

double Numero(const QByteArray& campo)
{
    bool bien = false;
    const double x = QLocale::c().toDouble(QString::fromLatin1(campo), &bien);
    return bien ? x : std::nan("");
}

} // namespace

class TstLote : public QObject {
    Q_OBJECT
private slots:
    void init();
    void fechasYFilas_data();
    void fechasYFilas();
    void puntoDecimal_data();
    void puntoDecimal();
    void hilos();
    void fechaQueNoSigue();
    void ficheroIlegible_data();
    void ficheroIlegible();
    void errorDeUso_data();
    void errorDeUso();
    void ayuda();
    void csvImportado();
    void libroImportado();
    void salidaAFichero();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString En(const QString& nombre) const { return dir->filePath(nombre); }
};

void TstLote::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

// One row per forecast month, dated on from the last record, steps 1..H, the
// bounds nested, the model's label in the last column.
void TstLote::fechasYFilas_data()
{
    QTest::addColumn<QStringList>("opciones");
    QTest::addColumn<int>("pasos");
    QTest::addColumn<int>("anio");
    QTest::addColumn<int>("mes");

    // 60 months from 2001/3 end in 2006/2.
    QTest::newRow("default horizon") << QStringList() << 12 << 2006 << 3;
    QTest::newRow("horizon 18, NVE") << QStringList{"--horizonte", "18", "--modelo", "NVE"} << 18 << 2006 << 3;
    QTest::newRow("horizon 1, H-W, RMSE")
        << QStringList{"--horizonte=1", "--modelo=H-W", "--criterio=RMSE"} << 1 << 2006 << 3;
    QTest::newRow("horizon 0") << QStringList{"--horizonte", "0"} << 0 << 0 << 0;
    QTest::newRow("horizon 6, TSB") << QStringList{"--horizonte", "6", "--modelo", "tsb"} << 6 << 2006 << 3;
}

void TstLote::fechasYFilas()
{
    QFETCH(QStringList, opciones);
    QFETCH(int, pasos);
    QFETCH(int, anio);
    QFETCH(int, mes);
    Escribir(En("ventas.txt"), Mensual(60, 2001, 3));
    const Ejecucion e = Ejecutar(opciones << QStringLiteral("ventas.txt"), dir->path());
    QCOMPARE(e.Estado, 0);
    QCOMPARE(e.Errores, QByteArray());
    QCOMPARE(e.Salida.left(e.Salida.indexOf('\n')), CabeceraEsperada);
    const auto filas = Filas(e.Salida);
    QCOMPARE(filas.size(), pasos);
    QString etiqueta;
    for (int k = 1; k <= pasos; ++k) {
        const QList<QByteArray>& f = filas[k - 1];
        QCOMPARE(f.size(), 10);
        QCOMPARE(f[0], QByteArray("ventas"));
        QCOMPARE(f[1].toInt(), anio);
        QCOMPARE(f[2].toInt(), mes);
        QCOMPARE(f[3].toInt(), k);
        const double p = Numero(f[4]), i80 = Numero(f[5]), s80 = Numero(f[6]), i95 = Numero(f[7]), s95 = Numero(f[8]);
        for (double x : {p, i80, s80, i95, s95})
            QVERIFY(std::isfinite(x));
        QVERIFY2(i95 <= i80 && i80 <= s80 && s80 <= s95, f.join(' ').constData());
        // No negative forecast or bound for a positive series.
        QVERIFY(i95 >= 0.0);
        // One model for the whole series.
        if (k == 1)
            etiqueta = QString::fromUtf8(f[9]);
        QCOMPARE(QString::fromUtf8(f[9]), etiqueta);
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    // A model asked for (in any case) labels every row.
    for (const char* m : {"NVE", "H-W", "TSB"})
        if (opciones.join(QLatin1Char(' ')).contains(QLatin1String(m), Qt::CaseInsensitive))
            QVERIFY2(etiqueta.startsWith(QLatin1String(m) + QStringLiteral(" (")), qPrintable(etiqueta));
}

// Numbers go out with a point whatever the user's locale and whatever mark
// the file used; the naive model forecasts the last value (130.25 in the file).
void TstLote::puntoDecimal_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<char>("marca");
    QTest::newRow("es_ES, comma in the file") << "es_ES.UTF-8" << ',';
    QTest::newRow("es_ES, point in the file") << "es_ES.UTF-8" << '.';
    QTest::newRow("C, point in the file") << "C" << '.';
    QTest::newRow("C, comma in the file") << "C" << ',';
}

void TstLote::puntoDecimal()
{
    QFETCH(QString, locale);
    QFETCH(char, marca);
    QByteArray texto = Mensual(35, 2010, 1, marca);
    texto += marca == ',' ? "2012\t12\t130,25\n" : "2012\t12\t130.25\n";
    Escribir(En("precios.txt"), texto);
    const Ejecucion e = Ejecutar({"--modelo", "NVS", "--horizonte", "3", "precios.txt"}, dir->path(), locale);
    QCOMPARE(e.Estado, 0);
    const auto filas = Filas(e.Salida);
    QCOMPARE(filas.size(), 3);
    for (const auto& f : filas) {
        QCOMPARE(f[4], QByteArray("130.25"));
        // The naive model has no constant to write.
        QCOMPARE(f[9], QByteArray("NVS ()"));
        for (int c = 4; c <= 8; ++c)
            QVERIFY2(!f[c].contains(','), f[c].constData());
    }
    QCOMPARE(filas[0][1], QByteArray("2013"));
    QCOMPARE(filas[0][2], QByteArray("1"));
}

// Several series on one thread and on four: the same bytes, in the order given.
void TstLote::hilos()
{
    QStringList ficheros;
    for (int k = 0; k < 6; ++k) {
        const QString nombre = QStringLiteral("serie%1.txt").arg(k);
        Escribir(En(nombre), Mensual(40 + 13 * k, 1995 + k, 1 + k, '.', 0.3 * k, 0.7 * k));
        ficheros << nombre;
    }
    // Backwards, so the order of the output is the command line's, not the names'.
    std::reverse(ficheros.begin(), ficheros.end());
    const Ejecucion uno = Ejecutar(QStringList{"--hilos", "1"} + ficheros, dir->path());
    const Ejecucion cuatro = Ejecutar(QStringList{"--hilos", "4"} + ficheros, dir->path());
    QCOMPARE(uno.Estado, 0);
    QCOMPARE(cuatro.Estado, 0);
    QCOMPARE(cuatro.Salida, uno.Salida);
    const auto filas = Filas(uno.Salida);
    QCOMPARE(filas.size(), 6 * 12);
    for (int k = 0; k < 6; ++k)
        QCOMPARE(filas[k * 12][0], QByteArray("serie") + QByteArray::number(5 - k));
}

// A month missing is told, and the series is forecast as it stands, as the
// window loads it: dated on from its last record.
void TstLote::fechaQueNoSigue()
{
    QByteArray texto = Mensual(30, 2000, 1);
    texto += "2002\t8\t120\n"; // July 2002 missing
    Escribir(En("hueco.txt"), texto);
    const Ejecucion e = Ejecutar({"--horizonte", "2", "hueco.txt"}, dir->path());
    QCOMPARE(e.Estado, 0);
    QCOMPARE(QString::fromUtf8(e.Errores),
             QStringLiteral("hueco.txt: línea 31: aviso: la fecha no sigue a la anterior: se esperaba 7/2002 y se lee "
                            "8/2002.\n"));
    const auto filas = Filas(e.Salida);
    QCOMPARE(filas.size(), 2);
    QCOMPARE(filas[0][2], QByteArray("9"));
}

// A file that cannot be read is named with its line; the others are forecast
// all the same, and the status says something failed.
void TstLote::ficheroIlegible_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("mensaje");

    const QByteArray bien = Mensual(2, 2000, 1);
    QTest::newRow("value not a number") << bien + "2000\t3\tabc\n"
                                        << "malo.txt: línea 3: se esperaba un número en el valor y se lee «abc».";
    QTest::newRow("empty value") << bien + "2000\t3\t\n"
                                 << "malo.txt: línea 3: falta el valor";
    QTest::newRow("month not a number") << bien + "2000\tmarzo\t5\n"
                                        << "malo.txt: línea 3: se esperaba un número en el mes y se lee «marzo».";
    QTest::newRow("header line") << "año\tmes\tvalor\n" + bien
                                 << "malo.txt: línea 1: se esperaba un número en el año y se lee «año».";
    QTest::newRow("year out of reach") << bien + "1e12\t3\t5\n"
                                       << "malo.txt: línea 3: El año «1e12» no es posible";
    QTest::newRow("empty line inside") << bien + "\n2000\t3\t5\n"
                                       << "malo.txt: línea 3: la línea está vacía";
    QTest::newRow("empty file") << QByteArray() << "malo.txt: no hay datos.";
    QTest::newRow("one value") << QByteArray("2000\t1\t5\n")
                               << "malo.txt: ningún modelo puede prever esta serie (1 valor): ";
}

void TstLote::ficheroIlegible()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QString, mensaje);
    Escribir(En("malo.txt"), contenido);
    Escribir(En("bueno.txt"), Mensual(48, 2000, 1));
    const Ejecucion e = Ejecutar({"malo.txt", "bueno.txt"}, dir->path());
    QCOMPARE(e.Estado, 1);
    QVERIFY2(QString::fromUtf8(e.Errores).startsWith(mensaje), e.Errores.constData());
    QCOMPARE(e.Errores.count('\n'), 1);
    const auto filas = Filas(e.Salida);
    QCOMPARE(filas.size(), 12);
    QCOMPARE(filas[0][0], QByteArray("bueno"));
}

void TstLote::errorDeUso_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("unknown option") << QStringList{"--horizon", "3", "a.txt"} << "opción desconocida: --horizon";
    QTest::newRow("horizon 1000") << QStringList{"--horizonte", "1000", "a.txt"} << "--horizonte: se esperaba";
    QTest::newRow("horizon -1") << QStringList{"--horizonte", "-1", "a.txt"} << "--horizonte: se esperaba";
    QTest::newRow("horizon with decimals") << QStringList{"--horizonte=1.5", "a.txt"} << "--horizonte: se esperaba";
    QTest::newRow("horizon missing") << QStringList{"a.txt", "--horizonte"} << "falta el valor de --horizonte";
    QTest::newRow("threads 0") << QStringList{"--hilos", "0", "a.txt"} << "--hilos: se esperaba";
    QTest::newRow("threads text") << QStringList{"--hilos", "dos", "a.txt"} << "--hilos: se esperaba";
    QTest::newRow("unknown model") << QStringList{"--modelo", "ARIMA", "a.txt"} << "--modelo: se esperaba";
    QTest::newRow("unknown criterion") << QStringList{"--criterio", "MAPE", "a.txt"} << "--criterio: se esperaba";
    QTest::newRow("no file") << QStringList{"--horizonte", "6"} << "falta algún FICHERO";
}

// Nothing is read or written: the usage text on standard error, status 2.
void TstLote::errorDeUso()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mensaje);
    Escribir(En("a.txt"), Mensual(48, 2000, 1));
    const Ejecucion e = Ejecutar(args, dir->path());
    QCOMPARE(e.Estado, 2);
    QCOMPARE(e.Salida, QByteArray());
    const QString errores = QString::fromUtf8(e.Errores);
    QVERIFY2(errores.startsWith(QStringLiteral("tendora-lote: ") + mensaje), e.Errores.constData());
    QVERIFY(errores.contains(QStringLiteral("Uso: tendora-lote [opciones] FICHERO...")));
}

void TstLote::ayuda()
{
    const Ejecucion e = Ejecutar({"--help"}, dir->path());
    QCOMPARE(e.Estado, 0);
    QCOMPARE(e.Errores, QByteArray());
    const QString texto = QString::fromUtf8(e.Salida);
    QVERIFY(texto.startsWith(QStringLiteral("Uso: tendora-lote [opciones] FICHERO...")));
    for (const char* opcion :
         {"--horizonte H", "--modelo M", "--criterio C", "--hilos N", "--salida F", "Opciones:", "Estado de salida"})
        QVERIFY2(texto.contains(QLatin1String(opcion)), opcion);
}

// A CSV goes through the import's detection: header, separator, decimal
// comma and dates found on their own; a bad cell is named with its line and column.
void TstLote::csvImportado()
{
    QByteArray csv = "Mes;Ventas (miles)\n";
    for (int i = 0; i < 30; ++i)
        csv += QByteArray::number(2019 + i / 12) + '-' + QByteArray::number(i % 12 + 1).rightJustified(2, '0') + ';' +
               QByteArray::number(1000 + i) + ",5\n";
    Escribir(En("ventas.csv"), csv);
    Escribir(En("roto.csv"), "Mes;Ventas\n2019-01;5\n2019-02;x\n2019-03;7\n");
    const Ejecucion e = Ejecutar({"--modelo", "NVS", "--horizonte", "2", "ventas.csv", "roto.csv"}, dir->path());
    QCOMPARE(e.Estado, 1);
    const auto filas = Filas(e.Salida);
    QCOMPARE(filas.size(), 2);
    // Last month 2021/6, value 1029,5 in the file.
    QCOMPARE(filas[0][0], QByteArray("ventas"));
    QCOMPARE(filas[0][1], QByteArray("2021"));
    QCOMPARE(filas[0][2], QByteArray("7"));
    QCOMPARE(filas[0][4], QByteArray("1029.5"));
    QCOMPARE(filas[1][2], QByteArray("8"));
    QVERIFY2(
        QString::fromUtf8(e.Errores).startsWith(QStringLiteral("roto.csv: línea 3, columna 2: se esperaba un número")),
        e.Errores.constData());

    // A total under the data is left out, and said.
    Escribir(En("total.csv"), csv + "Total;31000\n");
    const Ejecucion total = Ejecutar({"--modelo", "NVS", "--horizonte", "2", "total.csv"}, dir->path());
    QCOMPARE(total.Estado, 0);
    QCOMPARE(Filas(total.Salida)[0][4], QByteArray("1029.5")); // the last month, as in ventas.csv
    QVERIFY2(QString::fromUtf8(total.Errores).startsWith(QStringLiteral("total.csv: aviso: Se omite")) &&
                 QString::fromUtf8(total.Errores).contains(QStringLiteral("«Total»")),
             total.Errores.constData());

    // Values alone: the window asks for the first month, the command line cannot.
    Escribir(En("valores.csv"), "Ventas\n5\n6\n7\n8\n");
    const Ejecucion sinFecha = Ejecutar({"valores.csv"}, dir->path());
    QCOMPARE(sinFecha.Estado, 1);
    QCOMPARE(sinFecha.Salida, CabeceraEsperada + '\n');
    QVERIFY2(sinFecha.Errores.startsWith("valores.csv: no se encuentra ninguna columna de fechas"),
             sinFecha.Errores.constData());
}

// A workbook written by libxlsxwriter, dates as date cells: its first sheet
// with data is read; an empty value cell is named as the sheet names it.
void TstLote::libroImportado()
{
    const auto libro = [this](const QString& nombre, int filas, int vacia) {
        lxw_workbook* wb = workbook_new(QFile::encodeName(En(nombre)).constData());
        QVERIFY(wb);
        lxw_format* mes = workbook_add_format(wb);
        format_set_num_format(mes, "mm/yyyy");
        workbook_add_worksheet(wb, "Notas"); // empty: passed over
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Datos");
        worksheet_write_string(ws, 0, 0, "Fecha", nullptr);
        worksheet_write_string(ws, 0, 1, "Ventas", nullptr);
        for (int i = 0; i < filas; ++i) {
            lxw_datetime d = {2018 + i / 12, i % 12 + 1, 1, 0, 0, 0};
            worksheet_write_datetime(ws, lxw_row_t(i + 1), 0, &d, mes);
            if (i + 1 != vacia)
                worksheet_write_number(ws, lxw_row_t(i + 1), 1, 200.0 + i + 0.125, nullptr);
        }
        QCOMPARE(workbook_close(wb), LXW_NO_ERROR);
    };
    libro(QStringLiteral("tienda.xlsx"), 40, 0);
    libro(QStringLiteral("hueco.xlsx"), 40, 6);
    const Ejecucion e = Ejecutar({"--modelo", "NVS", "--horizonte", "1", "hueco.xlsx", "tienda.xlsx"}, dir->path());
    QCOMPARE(e.Estado, 1);
    // Row 7 of the sheet is the sixth month.
    QVERIFY2(QString::fromUtf8(e.Errores).startsWith(QStringLiteral("hueco.xlsx: celda B7: falta el valor")),
             e.Errores.constData());
    const auto filas = Filas(e.Salida);
    QCOMPARE(filas.size(), 1);
    // 40 months from 2018/1 end in 2021/4, at 200 + 39 + 0.125.
    QCOMPARE(filas[0][0], QByteArray("tienda"));
    QCOMPARE(filas[0][1], QByteArray("2021"));
    QCOMPARE(filas[0][2], QByteArray("5"));
    QCOMPARE(filas[0][4], QByteArray("239.125"));
}

// --salida writes the same text to the file and nothing to standard output.
void TstLote::salidaAFichero()
{
    Escribir(En("a.txt"), Mensual(50, 2000, 1));
    const Ejecucion pantalla = Ejecutar({"a.txt"}, dir->path());
    const Ejecucion fichero = Ejecutar({"--salida", "prev.tsv", "a.txt"}, dir->path());
    QCOMPARE(fichero.Estado, 0);
    QCOMPARE(fichero.Salida, QByteArray());
    QFile f(En("prev.tsv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), pantalla.Salida);
}

QTEST_GUILESS_MAIN(TstLote)
#include "tst_lote.moc"
