// SPDX-License-Identifier: GPL-3.0-or-later
// The About box and the help command.
#include <QtTest>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrlQuery>

#include "ui/AboutU.h"
#include "ui/Ayuda.h"
#include "data/Instalacion.h"

#include "Ayudas.h"

using namespace tendora;
using prueba::Control;

namespace {

DatosAcerca Prueba()
{
    DatosAcerca d;
    d.Lineas = {QStringLiteral("Línea uno"), QStringLiteral("Línea dos"), QStringLiteral("Línea tres")};
    d.Web1 = QStringLiteral("https://ejemplo.es/licencia");
    d.Web2 = QStringLiteral("file:///opt/tendora/Tendora.html");
    d.Licencia = QStringLiteral("GPLv3");
    return d;
}

// A folder laid out like an installation: the program in raiz/bin, its data
// in raiz/share/tendora. Entries ending in '/' are folders. Gives the
// program's folder.
QString Poner(const QString& raiz, const QStringList& entradas)
{
    QDir(raiz).mkpath(QStringLiteral("bin"));
    for (const QString& e : entradas) {
        if (e.endsWith(QLatin1Char('/'))) {
            QDir(raiz).mkpath(e);
            continue;
        }
        QDir(raiz).mkpath(QFileInfo(e).path());
        QFile f(raiz + QLatin1Char('/') + e);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("no se puede crear %s", qPrintable(e));
        f.write("<html></html>");
    }
    return raiz + QStringLiteral("/bin/");
}

} // namespace

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void textosYNombres();
    void datosDeTendora();
    void urlCorreo();
    void enlacesAbren();
    void falloDelCorreoSeAvisa();
    void introCierraConAceptar();
    void buscar_data();
    void buscar();
    void manual_data();
    void manual();
};

void TstAbout::textosYNombres()
{
    TAboutBox caja(nullptr, Prueba());
    QCOMPARE(caja.objectName(), QStringLiteral("AboutBox"));
    QCOMPARE(caja.windowTitle(), QStringLiteral("Acerca de ..."));
    QCOMPARE(caja.size(), QSize(489, 285));
    QCOMPARE(caja.minimumSize(), caja.maximumSize());

    const auto etiqueta = [&](const char* nombre) { return Control<QLabel>(caja, nombre); };
    QCOMPARE(etiqueta("ProductName")->text(), QStringLiteral("Tendora"));
    QCOMPARE(etiqueta("ProductName")->font().pixelSize(), 19);
    QVERIFY(etiqueta("ProductName")->font().bold());
    QCOMPARE(etiqueta("ProductName")->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    // The project version comes from the build, the same as the test gets it.
    QCOMPARE(etiqueta("Version")->text(), QStringLiteral("Versión " TENDORA_VERSION " · 2026"));
    QCOMPARE(etiqueta("Version")->font().pixelSize(), 11);
    QCOMPARE(etiqueta("LabelAutor1")->text(), QStringLiteral("Línea uno"));
    QCOMPARE(etiqueta("LabelAutor3")->text(), QStringLiteral("Línea tres"));
    QCOMPARE(etiqueta("LabelCorreo")->text(), QStringLiteral("Escribir un mensaje de correo"));
    QCOMPARE(etiqueta("LabelWeb1")->text(), QStringLiteral("ejemplo.es/licencia"));
    QCOMPARE(etiqueta("LabelWeb2")->text(), QStringLiteral("/opt/tendora/Tendora.html"));
    QVERIFY(!etiqueta("LabelWeb2")->isHidden());
    QCOMPARE(etiqueta("ProgramIcon")->pixmap().size(), QSize(33, 33));
    // The icon comes from the images built into the program, in every size.
    QCOMPARE(IconoPrograma().availableSizes(), (QList<QSize>{{48, 48}, {128, 128}, {256, 256}}));
    QVERIFY(!etiqueta("ProgramIcon")->pixmap().toImage().isNull());
    QVERIFY(!etiqueta("ImagenLicencia")->pixmap().isNull());
    for (const char* n : {"LabelCorreo", "LabelWeb1", "LabelWeb2"}) {
        QLabel* l = etiqueta(n);
        QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(l->font().underline());
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    QCOMPARE(caja.cursor().shape(), Qt::ArrowCursor);
    Control<QWidget>(caja, "Panel1");
    Control<QAction>(caja, "SendMail1");
    QCOMPARE(Control<QPushButton>(caja, "BitBtn1")->text(), QStringLiteral("Aceptar"));
    QVERIFY(Control<QPushButton>(caja, "BitBtn1")->isDefault());

    // Without a manual there is no link to it.
    DatosAcerca sinManual = Prueba();
    sinManual.Web2.clear();
    TAboutBox otra(nullptr, sinManual);
    QVERIFY(Control<QLabel>(otra, "LabelWeb2")->isHidden());
}

void TstAbout::datosDeTendora()
{
    QTemporaryDir raiz;
    QVERIFY(raiz.isValid());
    const QString programa = Poner(raiz.path(), {});
    DatosAcerca d = DatosAcerca::Tendora(programa);
    QCOMPARE(d.Lineas.size(), 3);
    QVERIFY(d.Lineas.join(QLatin1Char(' ')).contains(QStringLiteral("GPL-3.0-or-later")));
    QCOMPARE(d.Web1, QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"));
    QVERIFY(d.Web2.isEmpty()); // no manual installed, no link
    // Nothing names a contact address the program does not have.
    for (const QString& t : d.Lineas + QStringList{d.Web1, d.Licencia})
        QVERIFY2(!t.contains(QLatin1Char('@')), qPrintable(t));

    // Installed: the link leads to the manual in the data folder.
    Poner(raiz.path(), {QStringLiteral("share/tendora/Tendora.html")});
    d = DatosAcerca::Tendora(programa);
    QCOMPARE(QUrl(d.Web2), QUrl::fromLocalFile(raiz.path() + QStringLiteral("/share/tendora/Tendora.html")));
}

void TstAbout::urlCorreo()
{
    // Encoded by hand: CR LF %0D%0A, space %20. No recipient, so the body's
    // first line, where the address would go, is empty.
    const QUrl url = TAboutBox::UrlCorreo();
    QVERIFY(url.isValid());
    QCOMPARE(url.toEncoded(), QByteArray("mailto:?body=%0D%0ATendora%202010"));
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QVERIFY(url.path().isEmpty()); // no recipient
    const QUrlQuery consulta(url);
    QCOMPARE(consulta.queryItems().size(), 1); // no subject
    QCOMPARE(consulta.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), QStringLiteral("\r\nTendora 2010"));
}

void TstAbout::enlacesAbren()
{
    TAboutBox caja(nullptr, Prueba());
    QList<QUrl> abiertas;
    caja.PonerAbridor([&](const QUrl& u) {
        abiertas << u;
        return true;
    });
    caja.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caja));
    for (const char* n : {"LabelCorreo", "LabelWeb1", "LabelWeb2"})
        QTest::mouseClick(Control<QLabel>(caja, n), Qt::LeftButton);
    QCOMPARE(abiertas, (QList<QUrl>{TAboutBox::UrlCorreo(), QUrl(QStringLiteral("https://ejemplo.es/licencia")),
                                    QUrl(QStringLiteral("file:///opt/tendora/Tendora.html"))}));
    QVERIFY(caja.isVisible()); // links do not close the box
}

void TstAbout::falloDelCorreoSeAvisa()
{
    TAboutBox caja(nullptr, Prueba());
    caja.PonerAbridor([](const QUrl&) { return false; });
    QString aviso;
    QTimer::singleShot(0, [&] {
        if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            aviso = m->text();
            m->close();
        }
    });
    Control<QAction>(caja, "SendMail1")->trigger();
    QCOMPARE(aviso, QStringLiteral("No se pudo abrir un mensaje de correo nuevo."));

    // Web pages that do not open are not reported: no box to answer here.
    caja.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caja));
    QTest::mouseClick(Control<QLabel>(caja, "LabelWeb1"), Qt::LeftButton);
    QVERIFY(!QApplication::activeModalWidget());
}

void TstAbout::introCierraConAceptar()
{
    TAboutBox caja(nullptr, Prueba());
    for (int vez = 0; vez < 2; ++vez) { // the same box is shown again
        QTimer::singleShot(0, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                QTest::keyClick(w, Qt::Key_Return);
        });
        QCOMPARE(caja.exec(), int(QDialog::Accepted));
        QVERIFY(!caja.isVisible());
    }
}

void TstAbout::buscar_data()
{
    QTest::addColumn<QStringList>("presentes"); // under the installation's root
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<bool>("carpeta");
    QTest::addColumn<QString>("esperado"); // under the root; empty: not found
    const QString manual = QStringLiteral("Tendora.html");
    const QString ejemplos = QStringLiteral("ejemplos");
    QTest::newRow("manual junto al programa primero")
        << QStringList{"bin/Tendora.html", "share/tendora/Tendora.html"} << manual << false << "bin/Tendora.html";
    QTest::newRow("manual instalado") << QStringList{"share/tendora/Tendora.html"} << manual << false
                                      << "share/tendora/Tendora.html";
    QTest::newRow("manual en ninguna parte") << QStringList{} << manual << false << QString();
    QTest::newRow("carpeta con el nombre del manual")
        << QStringList{"bin/Tendora.html/", "share/tendora/Tendora.html/"} << manual << false << QString();
    QTest::newRow("ejemplos junto al programa primero")
        << QStringList{"bin/ejemplos/", "share/tendora/ejemplos/"} << ejemplos << true << "bin/ejemplos";
    QTest::newRow("ejemplos instalados") << QStringList{"share/tendora/ejemplos/"} << ejemplos << true
                                         << "share/tendora/ejemplos";
    QTest::newRow("fichero con el nombre de la carpeta")
        << QStringList{"bin/ejemplos", "share/tendora/ejemplos"} << ejemplos << true << QString();
}

void TstAbout::buscar()
{
    QFETCH(QStringList, presentes);
    QFETCH(QString, nombre);
    QFETCH(bool, carpeta);
    QFETCH(QString, esperado);
    QTemporaryDir raiz;
    QVERIFY(raiz.isValid());
    const QString programa = Poner(raiz.path(), presentes);
    const QString hallado = carpeta ? BuscarCarpeta(programa, nombre) : BuscarFichero(programa, nombre);
    QCOMPARE(hallado, esperado.isEmpty() ? QString() : raiz.path() + QLatin1Char('/') + esperado);
}

void TstAbout::manual_data()
{
    QTest::addColumn<QString>("presente"); // under the installation's root
    QTest::addColumn<QString>("abierto"); // empty: the warning instead
    QTest::newRow("junto al programa") << QStringLiteral("bin/Tendora.html") << QStringLiteral("bin/Tendora.html");
    QTest::newRow("instalado") << QStringLiteral("share/tendora/Tendora.html")
                               << QStringLiteral("share/tendora/Tendora.html");
    QTest::newRow("sin manual") << QString() << QString();
    QTest::newRow("solo la ayuda compilada") << QStringLiteral("bin/Tendora.chm") << QString();
}

void TstAbout::manual()
{
    QFETCH(QString, presente);
    QFETCH(QString, abierto);
    QTemporaryDir raiz;
    QVERIFY(raiz.isValid());
    const QString programa = Poner(raiz.path(), presente.isEmpty() ? QStringList{} : QStringList{presente});

    QStringList avisos;
    QList<QUrl> abiertas;
    AbrirManual(
        nullptr, programa, [&](const QString& t) { avisos << t; },
        [&](const QUrl& u) {
            abiertas << u;
            return false;
        });
    if (!abierto.isEmpty()) {
        QCOMPARE(abiertas, QList<QUrl>{QUrl::fromLocalFile(raiz.path() + QLatin1Char('/') + abierto)});
        // No viewer could open it: the user is told where it is.
        QCOMPARE(avisos.size(), 1);
        QVERIFY2(avisos[0].contains(QDir::toNativeSeparators(raiz.path() + QLatin1Char('/') + abierto)),
                 qPrintable(avisos[0]));
    } else {
        QVERIFY(abiertas.isEmpty());
        QCOMPARE(avisos, QStringList{QStringLiteral("No se encuentra el fichero de ayuda \"Tendora.html\". "
                                                    "Debería estar ubicado en el directorio de instalación.")});
    }
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
