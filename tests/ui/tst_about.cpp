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

#include "AboutU.h"
#include "Ayuda.h"

using namespace tendora;

namespace {

DatosAcerca Prueba()
{
    DatosAcerca d;
    d.Lineas = {QStringLiteral("Línea uno"), QStringLiteral("Línea dos"), QStringLiteral("Línea tres")};
    d.Correo = QStringLiteral("ana@ejemplo.es");
    d.Web1 = QStringLiteral("https://ejemplo.es/tendora");
    d.Web2 = QStringLiteral("https://ejemplo.es/licencia");
    d.Licencia = QStringLiteral("GPLv3");
    return d;
}

} // namespace

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void textosYNombres();
    void urlCorreo_data();
    void urlCorreo();
    void enlacesAbren();
    void falloDelCorreoSeAvisa();
    void introCierraConAceptar();
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

    const auto etiqueta = [&](const char* nombre) {
        auto* l = caja.findChild<QLabel*>(QLatin1String(nombre));
        if (!l)
            qFatal("falta %s", nombre);
        return l;
    };
    QCOMPARE(etiqueta("ProductName")->text(), QStringLiteral("Tendora"));
    QCOMPARE(etiqueta("ProductName")->font().pixelSize(), 19);
    QVERIFY(etiqueta("ProductName")->font().bold());
    QCOMPARE(etiqueta("ProductName")->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(etiqueta("Version")->text(), QStringLiteral("Versión 2014 · A"));
    QCOMPARE(etiqueta("Version")->font().pixelSize(), 11);
    QCOMPARE(etiqueta("LabelAutor1")->text(), QStringLiteral("Línea uno"));
    QCOMPARE(etiqueta("LabelAutor3")->text(), QStringLiteral("Línea tres"));
    QCOMPARE(etiqueta("LabelCorreo")->text(), QStringLiteral("ana@ejemplo.es"));
    QCOMPARE(etiqueta("LabelWeb1")->text(), QStringLiteral("ejemplo.es/tendora"));
    QCOMPARE(etiqueta("ProgramIcon")->pixmap().size(), QSize(33, 33));
    QVERIFY(!etiqueta("ImagenLicencia")->pixmap().isNull());
    for (const char* n : {"LabelCorreo", "LabelWeb1", "LabelWeb2"}) {
        QLabel* l = etiqueta(n);
        QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(l->font().underline());
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    QCOMPARE(caja.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(caja.findChild<QWidget*>(QStringLiteral("Panel1")));
    QVERIFY(caja.findChild<QAction*>(QStringLiteral("SendMail1")));

    auto* boton = caja.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    QVERIFY(boton);
    QCOMPARE(boton->text(), QStringLiteral("Aceptar"));
    QVERIFY(boton->isDefault());

    // The box shipped with the program carries a complete maker block.
    const DatosAcerca d = DatosAcerca::Tendora();
    QCOMPARE(d.Lineas.size(), 3);
    QVERIFY(!d.Correo.isEmpty());
    QVERIFY(QUrl(d.Web1).isValid() && QUrl(d.Web2).isValid());
}

void TstAbout::urlCorreo_data()
{
    QTest::addColumn<QString>("correo");
    QTest::addColumn<QByteArray>("esperado");
    // Percent-encoded by hand: '@' %40, CR LF %0D%0A, space %20, UTF-8 bytes.
    QTest::newRow("ordinaria") << QStringLiteral("ana@ejemplo.es")
                               << QByteArray("mailto:?body=ana%40ejemplo.es%0D%0ATendora%202010");
    QTest::newRow("caracteres de la consulta")
        << QStringLiteral("a&b=c#d@x.es") << QByteArray("mailto:?body=a%26b%3Dc%23d%40x.es%0D%0ATendora%202010");
    QTest::newRow("no ascii") << QStringLiteral("peña@x.es")
                              << QByteArray("mailto:?body=pe%C3%B1a%40x.es%0D%0ATendora%202010");
}

void TstAbout::urlCorreo()
{
    QFETCH(QString, correo);
    QFETCH(QByteArray, esperado);
    const QUrl url = TAboutBox::UrlCorreo(correo);
    QVERIFY(url.isValid());
    QCOMPARE(url.toEncoded(), esperado);
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QVERIFY(url.path().isEmpty()); // no recipient
    const QUrlQuery consulta(url);
    QCOMPARE(consulta.queryItems().size(), 1); // no subject
    QCOMPARE(consulta.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
             correo + QStringLiteral("\r\nTendora 2010"));
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
        QTest::mouseClick(caja.findChild<QLabel*>(QLatin1String(n)), Qt::LeftButton);
    QCOMPARE(abiertas, (QList<QUrl>{TAboutBox::UrlCorreo(QStringLiteral("ana@ejemplo.es")),
                                    QUrl(QStringLiteral("https://ejemplo.es/tendora")),
                                    QUrl(QStringLiteral("https://ejemplo.es/licencia"))}));
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
    caja.findChild<QAction*>(QStringLiteral("SendMail1"))->trigger();
    QCOMPARE(aviso, QStringLiteral("No se pudo abrir un mensaje de correo nuevo."));

    // Web pages that do not open are not reported: no box to answer here.
    caja.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caja));
    QTest::mouseClick(caja.findChild<QLabel*>(QStringLiteral("LabelWeb1")), Qt::LeftButton);
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

void TstAbout::manual_data()
{
    QTest::addColumn<QString>("presente"); // what lies next to the program
    QTest::addColumn<bool>("abre");
    QTest::newRow("manual presente") << QStringLiteral("Tendora.html") << true;
    QTest::newRow("sin manual") << QString() << false;
    QTest::newRow("solo la ayuda compilada") << QStringLiteral("Tendora.chm") << false;
    QTest::newRow("carpeta con el nombre") << QStringLiteral("Tendora.html/") << false;
}

void TstAbout::manual()
{
    QFETCH(QString, presente);
    QFETCH(bool, abre);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (presente.endsWith(QLatin1Char('/'))) {
        QVERIFY(QDir(dir.path()).mkdir(presente.chopped(1)));
    } else if (!presente.isEmpty()) {
        QFile f(dir.filePath(presente));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html></html>");
    }
    const QString dirPrograma = dir.path() + QLatin1Char('/');

    QStringList avisos;
    QList<QUrl> abiertas;
    AbrirManual(
        nullptr, dirPrograma, [&](const QString& t) { avisos << t; },
        [&](const QUrl& u) {
            abiertas << u;
            return false;
        });
    if (abre) {
        QVERIFY(avisos.isEmpty()); // a viewer that fails is not reported
        QCOMPARE(abiertas, QList<QUrl>{QUrl::fromLocalFile(dirPrograma + QStringLiteral("Tendora.html"))});
    } else {
        QVERIFY(abiertas.isEmpty());
        QCOMPARE(avisos, QStringList{QStringLiteral("No se encuentra el fichero de ayuda \"Tendora.html\". "
                                                    "Debería estar ubicado en el directorio de instalación.")});
    }
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
