// SPDX-License-Identifier: GPL-3.0-or-later
// Every command that writes a file, on a full disk, in a read-only folder and
// on an ordinary one: a failed write keeps the old file and says so in Spanish.
#include <QtTest>

#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/EscrituraSegura.h"
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"
#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

// The commands, by what the user picks: "Guardar", then "Exportar tabla" with
// each of the six filters, then "Exportar" on a chart, by the file type picked.
enum Orden { Guardar, Txt, Csv, Doc, Html, Xls, Xlsx, Bmp, Png, Svg, Pdf };

const char* const kNombres[] = {"datos.txt",  "tabla.txt",   "tabla.csv",   "tabla.doc",   "tabla.html", "tabla.xls",
                                "tabla.xlsx", "grafico.bmp", "grafico.png", "grafico.svg", "grafico.pdf"};
const char* const kFiltrosGrafico[] = {"Bitmaps (*.bmp)", "Imagen PNG (*.png)", "Imagen SVG (*.svg)",
                                       "Documento PDF (*.pdf)"};

const QString kDatos = QStringLiteral("2000\t1\t5\n2000\t2\t6,5\n2000\t3\t7");

// A 19-byte file the user had before.
const QByteArray kAnterior("1999\t12\t4\n2000\t1\t5\n");

// Hidden files too: that is where a temporary file would hide.
QStringList Ficheros(const QString& carpeta)
{
    QStringList r = QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System);
    r.sort();
    return r;
}

// Fills the folder's disk to the last block.
void Llenar(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray bloque(4096, 'x');
    while (f.write(bloque) == bloque.size()) { }
    // Smaller pieces for what is left of the last page.
    while (f.write("x", 1) == 1) { }
}

} // namespace

class TstEscritura : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        w = std::make_unique<TFormMain>();
        w->resize(900, 700);
        w->show();
        Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGraficoCE"));
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(kDatos);
        w->CargarDatos();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void cleanup()
    {
        // The dialogs watch the folder; they go before it is unmounted.
        w.reset();
        PonerLocale(false);
        if (tmpdirCambiado) {
            if (tmpdirAntes.isEmpty())
                qunsetenv("TMPDIR");
            else
                qputenv("TMPDIR", tmpdirAntes);
            tmpdirCambiado = false;
        }
        if (!carpetaCerrada.isEmpty())
            ::chmod(QFile::encodeName(carpetaCerrada).constData(), 0755);
        carpetaCerrada.clear();
        if (!montaje.isEmpty()) {
            const QByteArray m = QFile::encodeName(montaje);
            if (::umount(m.constData()) != 0)
                ::umount2(m.constData(), MNT_DETACH);
            montaje.clear();
        }
        dir.reset();
    }

    void escrituraNormalReemplaza_data() { DatosOrdenes(); }

    void escrituraNormalReemplaza()
    {
        QFETCH(int, orden);
        const QString nombre = QLatin1String(kNombres[orden]);
        const QString ruta = dir->filePath(nombre);

        // A new file first, then the same command over it.
        Ejecutar(orden, ruta);
        ComprobarContenido(orden, Leer(ruta));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(EscribirFichero(ruta, kAnterior));
        Ejecutar(orden, ruta);
        ComprobarContenido(orden, Leer(ruta));
        QCOMPARE(Ficheros(dir->path()), QStringList{nombre});
    }

    void discoLleno_data() { DatosOrdenes(); }

    void discoLleno()
    {
        QFETCH(int, orden);
        const QString carpeta = dir->filePath(QStringLiteral("disco"));
        // Room for the chart picture once the filler is gone.
        if (!Montar(carpeta, "size=4m,mode=0755"))
            QSKIP("Needs root and a tmpfs mount to make a full disk.");
        const QString nombre = QLatin1String(kNombres[orden]);
        const QString ruta = carpeta + QLatin1Char('/') + nombre;
        QVERIFY(EscribirFichero(ruta, kAnterior));
        const QString relleno = carpeta + QStringLiteral("/relleno");
        Llenar(relleno);
        const QStringList antes = Ficheros(carpeta);
        QStringList esperados{nombre, QStringLiteral("relleno")};
        esperados.sort();
        QCOMPARE(antes, esperados);

        QString mensaje, caja;
        ResponderAviso(&caja, &mensaje);
        Ejecutar(orden, ruta);
        QCOMPARE(caja, QStringLiteral("Atención"));
        QCOMPARE(mensaje, QStringLiteral("No se pudo guardar el fichero «%1»: no queda espacio en el disco. "
                                         "El fichero anterior no se ha modificado.")
                              .arg(nombre));
        QCOMPARE(Leer(ruta), kAnterior);
        QCOMPARE(Ficheros(carpeta), antes);

        // With room again the same command goes through.
        QVERIFY(QFile::remove(relleno));
        Ejecutar(orden, ruta);
        ComprobarContenido(orden, Leer(ruta));
        QCOMPARE(Ficheros(carpeta), QStringList{nombre});
    }

    void carpetaSoloLectura_data() { DatosOrdenes(); }

    void carpetaSoloLectura()
    {
        QFETCH(int, orden);
        const QString carpeta = dir->filePath(QStringLiteral("cerrada"));
        const QString nombre = QLatin1String(kNombres[orden]);
        const QString ruta = carpeta + QLatin1Char('/') + nombre;
        QString causa;
        if (::geteuid() == 0) {
            // Root writes through permissions, so the folder is a read-only disk.
            if (!Montar(carpeta, "size=64k,mode=0755"))
                QSKIP("Needs a tmpfs mount to make a read-only folder as root.");
            QVERIFY(EscribirFichero(ruta, kAnterior));
            QCOMPARE(
                ::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"),
                0);
            causa = QStringLiteral("el disco es de solo lectura");
        } else {
            QVERIFY(QDir().mkpath(carpeta));
            QVERIFY(EscribirFichero(ruta, kAnterior));
            QCOMPARE(::chmod(QFile::encodeName(carpeta).constData(), 0555), 0);
            carpetaCerrada = carpeta;
            causa = QStringLiteral("no hay permiso para escribir en la carpeta «%1»").arg(carpeta);
        }

        QString mensaje, caja;
        ResponderAviso(&caja, &mensaje);
        Ejecutar(orden, ruta);
        QCOMPARE(caja, QStringLiteral("Atención"));
        QCOMPARE(mensaje,
                 QStringLiteral("No se pudo guardar el fichero «%1»: %2. El fichero anterior no se ha modificado.")
                     .arg(nombre, causa));
        QCOMPARE(Leer(ruta), kAnterior);
        QCOMPARE(Ficheros(carpeta), QStringList{nombre});
    }

    void carpetaInexistente_data() { DatosOrdenes(); }

    void carpetaInexistente()
    {
        QFETCH(int, orden);
        const QString carpeta = dir->filePath(QStringLiteral("no/existe"));
        const QString ruta = carpeta + QLatin1Char('/') + QLatin1String(kNombres[orden]);
        QString mensaje, caja;
        ResponderAviso(&caja, &mensaje);
        Ejecutar(orden, ruta);
        QCOMPARE(caja, QStringLiteral("Atención"));
        QCOMPARE(mensaje, QStringLiteral("No se pudo guardar el fichero «%1»: la carpeta «%2» no existe. "
                                         "No se ha creado ningún fichero.")
                              .arg(QLatin1String(kNombres[orden]), carpeta));
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("no"))));
        QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), kDatos);
    }

    void carpetaTemporalLlena_data()
    {
        QTest::addColumn<bool>("coma");
        QTest::newRow("es_ES") << true;
        QTest::newRow("C") << false;
    }

    // The .xlsx export is put together in the temporary folder first; when
    // that is full the user is told so, and where, instead of a zip error.
    void carpetaTemporalLlena()
    {
        QFETCH(bool, coma);
        PonerLocale(coma);
        const QString temporal = dir->filePath(QStringLiteral("temporal"));
        if (!Montar(temporal, "size=64k,mode=0755"))
            QSKIP("Needs root and a tmpfs mount to make a full temporary folder.");
        Llenar(temporal + QStringLiteral("/relleno"));
        const QByteArray antes = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporal));
        tmpdirCambiado = true;
        tmpdirAntes = antes;
        const QString ruta = dir->filePath(QStringLiteral("tabla.xlsx"));

        QString mensaje, caja;
        ResponderAviso(&caja, &mensaje);
        Ejecutar(Xlsx, ruta);
        QCOMPARE(caja, QStringLiteral("Atención"));
        QCOMPARE(mensaje, QStringLiteral("No se pudo guardar el fichero «tabla.xlsx»: no queda espacio en la carpeta "
                                         "temporal «%1», donde se prepara el fichero antes de guardarlo. Libere "
                                         "espacio en ella, o elija otra con la variable TMPDIR, y vuelva a "
                                         "intentarlo. No se ha creado ningún fichero.")
                              .arg(temporal));
        QVERIFY(!QFileInfo::exists(ruta));
        QCOMPARE(Ficheros(temporal), QStringList{QStringLiteral("relleno")});

        // With room again the same export goes through.
        QVERIFY(QFile::remove(temporal + QStringLiteral("/relleno")));
        Ejecutar(Xlsx, ruta);
        ComprobarContenido(Xlsx, Leer(ruta));
    }

    void traducido_data()
    {
        QTest::addColumn<int>("orden");
        QTest::addColumn<QString>("caso");
        for (int orden : {int(Guardar), int(Csv), int(Xlsx), int(Png)})
            for (const char* caso : {"solo lectura", "nuevo en solo lectura", "lleno", "inexistente", "carpeta"})
                QTest::addRow("%s %s", kNombres[orden], caso) << orden << QString::fromLatin1(caso);
    }

    // With Qt's Spanish texts loaded, as the program starts, the causes are
    // the same: they come from the system's error codes, not from Qt's words.
    // Runs last: the translation stays loaded.
    void traducido()
    {
        QFETCH(int, orden);
        QFETCH(QString, caso);
        static bool cargada = false;
        if (!cargada) {
            CargarTraducciones();
            cargada = true;
        }
        // The translation is there: Qt's own texts are Spanish.
        QVERIFY(QCoreApplication::translate("QSaveFile", "Existing file %1 is not writable") !=
                QLatin1String("Existing file %1 is not writable"));
        const QString nombre = QLatin1String(kNombres[orden]);
        QString carpeta = dir->filePath(QStringLiteral("disco"));
        QString causa;
        bool existia = true;
        if (caso == u"inexistente") {
            carpeta = dir->filePath(QStringLiteral("no/existe"));
            causa = QStringLiteral("la carpeta «%1» no existe").arg(carpeta);
            existia = false;
        } else if (caso == u"carpeta") {
            // The name typed is that of a folder.
            QVERIFY(QDir().mkpath(dir->filePath(QStringLiteral("disco/") + nombre)));
            causa = QStringLiteral("ese nombre es el de una carpeta");
            existia = false;
        } else {
            if (!Montar(carpeta, "size=4m,mode=0755"))
                QSKIP("Needs root and a tmpfs mount.");
            if (caso != u"nuevo en solo lectura")
                QVERIFY(EscribirFichero(carpeta + QLatin1Char('/') + nombre, kAnterior));
            else
                existia = false;
            if (caso == u"lleno") {
                Llenar(carpeta + QStringLiteral("/relleno"));
                causa = QStringLiteral("no queda espacio en el disco");
            } else {
                QCOMPARE(::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                                 "size=4m"),
                         0);
                causa = QStringLiteral("el disco es de solo lectura");
            }
        }
        const QString ruta = carpeta + QLatin1Char('/') + nombre;
        const QStringList antes = QFileInfo(carpeta).isDir() ? Ficheros(carpeta) : QStringList();
        if (caso == u"carpeta") {
            // Straight to the writer: the save dialog would open the folder instead.
            QVERIFY_THROWS_EXCEPTION(ErrorEscritura, EscribirFicheroSeguro(ruta, "x"));
            try {
                EscribirFicheroSeguro(ruta, "x");
            } catch (const ErrorEscritura& e) {
                QCOMPARE(QString::fromUtf8(e.what()),
                         QStringLiteral("No se pudo guardar el fichero «%1»: %2. No se ha creado ningún fichero.")
                             .arg(nombre, causa));
            }
            QVERIFY(QFileInfo(ruta).isDir());
            QCOMPARE(Ficheros(carpeta), antes);
            return;
        }
        QString mensaje, titulo;
        ResponderAviso(&titulo, &mensaje);
        Ejecutar(orden, ruta);
        QCOMPARE(titulo, QStringLiteral("Atención"));
        QCOMPARE(mensaje, QStringLiteral("No se pudo guardar el fichero «%1»: %2. %3")
                              .arg(nombre, causa,
                                   existia ? QStringLiteral("El fichero anterior no se ha modificado.")
                                           : QStringLiteral("No se ha creado ningún fichero.")));
        if (existia)
            QCOMPARE(Leer(ruta), kAnterior);
        if (QFileInfo(carpeta).isDir())
            QCOMPARE(Ficheros(carpeta), antes);
    }

private:
    void Ejecutar(int orden, const QString& ruta)
    {
        if (orden == Guardar) {
            ResponderGuardar(ruta);
            w->Guardar1Click();
        } else if (orden >= Bmp) {
            ClicDerecho(Control<Grafico>(w, "ChartCE"));
            Control<QMenu>(w, "PopupMenuGraf")->hide();
            ResponderGuardar(ruta, QLatin1String(kFiltrosGrafico[orden - Bmp]));
            Control<QAction>(w, "Exportargrfico1")->trigger();
        } else {
            ClicDerecho(Control<Rejilla>(w, "AdvStringGridPrevision"));
            Control<QMenu>(w, "PopupMenuTabla")->hide();
            ResponderGuardar(ruta, Rejilla::FiltrosExportacion().at(orden - Txt));
            Control<QAction>(w, "Exportartabla1")->trigger();
        }
    }

    void ComprobarContenido(int orden, const QByteArray& bytes)
    {
        // What each format must hold, worked from the three loaded lines.
        const QList<QByteArray> lineas = bytes.split('\n');
        switch (orden) {
        case Guardar: QCOMPARE(bytes, QByteArray("2000\t1\t5\n2000\t2\t6,5\n2000\t3\t7\n")); break;
        case Txt:
            QCOMPARE(lineas.value(0).simplified(), QString::fromUtf8("t Año Mes Datos").toUtf8());
            QCOMPARE(lineas.value(2).simplified(), QByteArray("2 2000 2 6.5"));
            break;
        case Csv:
            QCOMPARE(lineas.value(0).trimmed(), "\xEF\xBB\xBF" + QString::fromUtf8("t,Año,Mes,Datos").toUtf8());
            QCOMPARE(lineas.value(3).trimmed(), QByteArray("3,2000,3,7"));
            break;
        case Doc:
            QVERIFY(bytes.startsWith("{\\rtf1"));
            QVERIFY(bytes.endsWith("}\n"));
            QCOMPARE(bytes.count("\\row\n"), 4); // header and three data rows
            break;
        case Html:
            QVERIFY(bytes.startsWith("<!DOCTYPE html>"));
            QVERIFY(bytes.endsWith("</html>\n"));
            QCOMPARE(bytes.count("<tr>"), 4);
            break;
        case Xls:
            QVERIFY(bytes.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
            QCOMPARE(bytes.size() % 512, 0); // whole sectors of the compound file
            break;
        case Xlsx: QVERIFY(bytes.startsWith("PK\x03\x04")); break; // a zip container
        case Bmp:
        case Png: {
            QVERIFY(bytes.startsWith(orden == Bmp ? "BM" : "\x89PNG"));
            QImage imagen;
            QVERIFY(imagen.loadFromData(bytes));
            QCOMPARE(imagen.size(), Control<Grafico>(w, "ChartCE")->size());
            break;
        }
        case Svg: QVERIFY(bytes.startsWith("<?xml") && bytes.contains("<svg")); break;
        case Pdf: QVERIFY(bytes.startsWith("%PDF-")); break;
        }
    }

    // A small tmpfs of its own at the folder; false when the system will not.
    bool Montar(const QString& carpeta, const char* opciones)
    {
        if (::geteuid() != 0 || !QDir().mkpath(carpeta))
            return false;
        if (::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", 0, opciones) != 0)
            return false;
        montaje = carpeta;
        return true;
    }

    void DatosOrdenes()
    {
        QTest::addColumn<int>("orden");
        for (int orden = Guardar; orden <= Pdf; ++orden)
            QTest::newRow(kNombres[orden]) << orden;
    }

    std::unique_ptr<TFormMain> w;
    std::unique_ptr<QTemporaryDir> dir;
    bool tmpdirCambiado = false;
    QByteArray tmpdirAntes;
    QString montaje;
    QString carpetaCerrada;
};

QTEST_MAIN(TstEscritura)
#include "tst_escritura.moc"
