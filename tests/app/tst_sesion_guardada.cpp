// SPDX-License-Identifier: GPL-3.0-or-later
// "Guardar sesión..." and "Abrir sesión..." through the menu: the work read
// back equal into a new window, damaged and newer files refused with the
// window left as it was, and "Recientes" remembered between windows.
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>

#include "app/DialogoUnit.h"

#include "AyudasTrabajo.h"

using namespace tendora;
using namespace prueba;

namespace {

// Saves or opens through the menu and its file dialog.
void PorDialogo(const Ventana& w, const char* accion, const QString& ruta)
{
    ResponderGuardar(ruta);
    Pulsar(w, accion);
}

QString AbrirRechazado(const Ventana& w, const QString& ruta)
{
    QString titulo, texto;
    ResponderAviso(&titulo, &texto);
    PorDialogo(w, "Abrirsesion1", ruta);
    return texto;
}

} // namespace

class TstSesionGuardada : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { PonerLocale(false); }

    void guardarYAbrir_data()
    {
        QTest::addColumn<bool>("coma");
        QTest::newRow("es_ES") << true;
        QTest::newRow("C") << false;
    }
    void guardarYAbrir()
    {
        QFETCH(bool, coma);
        PonerLocale(coma);
        QTemporaryDir dir;
        Ventana w = Trabajo(kSerie);
        QVERIFY(w);
        Pulsar(w, "Previsionautomatica1");
        // Rows left out of the fit table by "Borrar tabla", then one more run.
        Menu(w, "TabSheetErrAjuste", "AdvSGErrAjuste", "PopupMenuTabla", "Variartabla1");
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
        Pulsar(w, "Caluclarprevisin1");
        // And an edit of the data text, not loaded.
        Control<QPlainTextEdit>(w, "Memo1")->appendPlainText(QStringLiteral("2020\t1\t300"));
        const QStringList vista = Vista(w);
        const QString ruta = dir.filePath(QStringLiteral("trabajo.tendora"));
        PorDialogo(w, "Guardarsesion1", ruta);
        QVERIFY(QFileInfo(ruta).isFile());

        const QString otroTexto = Mensual(
            30, [](int i) { return 5 + i; }, 1999);
        Ventana otra = Trabajo(otroTexto);
        QVERIFY(otra);
        PorDialogo(otra, "Abrirsesion1", ruta);
        QCOMPARE(Vista(otra), vista);
        // The same file saved again from there is the same file.
        const QString copia = dir.filePath(QStringLiteral("copia.tendora"));
        otra->GuardarSesion(copia);
        QCOMPARE(Leer(copia), Leer(ruta));
        // Opening is a command like the others: undone, the window is back.
        Pulsar(otra, "Deshacer1");
        QCOMPARE(Control<QPlainTextEdit>(otra, "Memo1")->toPlainText(), otroTexto);
        Pulsar(otra, "Rehacer1");
        QCOMPARE(Vista(otra), vista);
        // Opened under the other decimal mark, the ranking worked out again is the one kept.
        PonerLocale(!coma);
        Ventana tercera = Trabajo(otroTexto);
        QVERIFY(tercera);
        PorDialogo(tercera, "Abrirsesion1", ruta);
        QCOMPARE(Control<QLabel>(Control<QStatusBar>(tercera, "StatusBar1"), "LabelEstado")->text(),
                 QStringLiteral("Sesión abierta de trabajo.tendora"));
        // The comparison chart of the session paints.
        Control<QTabWidget>(otra, "PageControl1")->setCurrentWidget(Control<QWidget>(otra, "TabSheetGraficoComp"));
        QTest::qWait(30);
    }

    void rechazados_data()
    {
        QTest::addColumn<QByteArray>("de");
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<bool>("cortar");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("cut short") << QByteArray() << QByteArray() << true << "está dañado";
        QTest::newRow("newer") << QByteArray("TENDORA-SESION 1 ") << QByteArray("TENDORA-SESION 7 ") << false
                               << "Tendora más reciente";
        QTest::newRow("a data text") << QByteArray("TENDORA-SESION") << QByteArray("2020\t1\t5") << false
                                     << "No es un fichero de sesión";
    }
    // Nothing changes in the window, and the message names the file.
    void rechazados()
    {
        QFETCH(QByteArray, de);
        QFETCH(QByteArray, a);
        QFETCH(bool, cortar);
        QFETCH(QString, mensaje);
        QTemporaryDir dir;
        Ventana w = Trabajo(kSerie);
        QVERIFY(w);
        const QString ruta = dir.filePath(QStringLiteral("mala.tendora"));
        w->GuardarSesion(ruta);
        QByteArray bytes = Leer(ruta);
        bytes = cortar ? bytes.left(bytes.size() - 40) : bytes.replace(de, a);
        QVERIFY(EscribirFichero(ruta, bytes));
        Pulsar(w, "Caluclarprevisin1");
        const QStringList antes = Vista(w);
        const QString texto = AbrirRechazado(w, ruta);
        QVERIFY2(texto.contains(mensaje) && texto.contains(QStringLiteral("mala.tendora")), qPrintable(texto));
        QCOMPARE(Vista(w), antes);
    }

    // Each file dialog starts where it was last accepted, also in a new window.
    void carpetaDeCadaDialogo()
    {
        QTemporaryDir datos, sesiones;
        const QString serie = datos.filePath(QStringLiteral("serie.txt"));
        QVERIFY(EscribirFichero(serie, kSerie.toUtf8()));
        {
            Ventana w = Trabajo(kSerie);
            QVERIFY(w);
            PorDialogo(w, "Abrir1", serie);
            PorDialogo(w, "Guardarsesion1", sesiones.filePath(QStringLiteral("s.tendora")));
        }
        Ventana otra(CrearVentanas());
        const auto carpeta = [&otra](const char* accion) {
            VistoEnDialogo visto;
            ResponderGuardar(QString(), QString(), &visto); // looks, then cancels
            Pulsar(otra, accion);
            return visto.carpeta;
        };
        QCOMPARE(carpeta("Abrir1"), QFileInfo(datos.path()).canonicalFilePath());
        QCOMPARE(carpeta("Abrirsesion1"), QFileInfo(sesiones.path()).canonicalFilePath());
    }

    // A window closed at a size opens at that size; closed maximized, maximized.
    void tamanoDeLaVentana()
    {
        for (bool maximizada : {false, true}) {
            QSize tamano;
            {
                std::unique_ptr<TFormMain> w(CrearVentanas());
                w->showNormal();
                w->setWindowState(Qt::WindowNoState);
                w->setGeometry(40, 50, 900, 600);
                if (maximizada)
                    w->showMaximized();
                QVERIFY(QTest::qWaitForWindowExposed(w.get()));
                tamano = w->size();
                QVERIFY(w->close());
            }
            std::unique_ptr<TFormMain> otra(CrearVentanas());
            QCOMPARE(otra->isMaximized() || (otra->windowState() & Qt::WindowMaximized), maximizada);
            if (!maximizada)
                QCOMPARE(otra->size(), tamano);
        }
    }

    // The last eight files, newest first, in every new window; one that is
    // gone is said so and leaves the list.
    void recientes()
    {
        QTemporaryDir dir;
        Ventana w = Trabajo(kSerie);
        QVERIFY(w);
        QStringList rutas;
        for (int k = 1; k <= 10; ++k) {
            rutas.prepend(dir.filePath(QStringLiteral("s%1.tendora").arg(k)));
            w->GuardarSesion(rutas.constFirst());
        }
        Ventana otra(CrearVentanas());
        auto* menu = Control<QMenu>(otra, "Recientes1");
        QCOMPARE(menu->actions().size(), 8);
        QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("&1 s10.tendora"));
        QCOMPARE(menu->actions().constLast()->text(), QStringLiteral("&8 s3.tendora"));
        menu->actions().at(1)->trigger();
        QCOMPARE(Vista(otra), Vista(w));
        QVERIFY(QFile::remove(rutas.constFirst()));
        QString titulo, texto;
        ResponderAviso(&titulo, &texto);
        // s9, opened, came first: s10 is second.
        menu->actions().at(1)->trigger();
        QVERIFY2(texto.contains(QStringLiteral("s10.tendora")), qPrintable(texto));
        QCOMPARE(menu->actions().size(), 7);
        QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("&1 s9.tendora"));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("&2 s8.tendora"));
    }
};

QTEST_MAIN(TstSesionGuardada)
#include "tst_sesion_guardada.moc"
