// SPDX-License-Identifier: GPL-3.0-or-later
// The open dialog as the user drives it: a file name typed and confirmed with
// Enter, then the next click. Runs offscreen and under Xvfb.
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <QDir>
#include <QElapsedTimer>

#include <memory>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "data/FicheroEntrada.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

QString Serie(int n)
{
    return Mensual(n, [](int i) { return 100 + (i - 1); });
}

void Escribir(const QString& ruta, const QString& texto)
{
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(texto.toUtf8());
}

// n lines of "1" ended the given way; with a last line unended when cola.
QByteArray Lineas(qint64 n, const QByteArray& fin, bool cola = false)
{
    QByteArray r;
    r.reserve(n * (1 + fin.size()) + 1);
    for (qint64 i = 0; i < n; ++i) {
        r += '1';
        r += fin;
    }
    if (cola)
        r += '1';
    return r;
}

// A name of each kind a data file must not be, made in dir; empty when
// this system cannot make it.
QString Especial(const QTemporaryDir& dir, const QString& clase)
{
    if (clase == u"tuberia") {
        const QString ruta = dir.filePath(QStringLiteral("tubo.txt"));
        return ::mkfifo(QFile::encodeName(ruta).constData(), 0600) == 0 ? ruta : QString();
    }
    if (clase == u"dispositivo")
        return QStringLiteral("/dev/zero");
    if (clase == u"inexistente")
        return dir.filePath(QStringLiteral("no-existe.txt"));
    if (clase == u"carpeta") {
        const QString ruta = dir.filePath(QStringLiteral("carpeta.txt"));
        return QDir().mkdir(ruta) ? ruta : QString();
    }
    if (clase == u"socket") {
        const QString ruta = dir.filePath(QStringLiteral("enchufe.txt"));
        const QByteArray nombre = QFile::encodeName(ruta);
        sockaddr_un dir_un{};
        dir_un.sun_family = AF_UNIX;
        if (size_t(nombre.size()) >= sizeof dir_un.sun_path)
            return QString();
        std::copy(nombre.begin(), nombre.end(), dir_un.sun_path);
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool hecho = s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&dir_un), sizeof dir_un) == 0;
        if (s >= 0)
            ::close(s); // the name stays, as a socket nobody listens on
        return hecho ? ruta : QString();
    }
    if (clase == u"grande") {
        // 2 GB that take no disk: a file with a hole.
        const QString ruta = dir.filePath(QStringLiteral("grande.txt"));
        QFile f(ruta);
        return f.open(QIODevice::WriteOnly) && f.resize(2LL << 30) ? ruta : QString();
    }
    if (clase == u"lineas") {
        const QString ruta = dir.filePath(QStringLiteral("lineas.txt"));
        QFile f(ruta);
        const QByteArray b = Lineas(kMaxLineasEntrada + 1, "\n");
        return f.open(QIODevice::WriteOnly) && f.write(b) == b.size() ? ruta : QString();
    }
    return QString();
}

// The message each kind gets, by hand from the wording the user reads.
QString Esperado(const QString& clase, const QString& ruta)
{
    const QString r = QDir::toNativeSeparators(ruta);
    if (clase == u"grande")
        return QStringLiteral("«%1» ocupa más de 64 MB, mucho más que cualquier serie mensual, y no se abre: "
                              "elija el fichero con los datos, o divida este en partes más pequeñas.")
            .arg(r);
    if (clase == u"inexistente")
        return QStringLiteral("No se puede abrir el fichero «%1»: no existe. Compruebe el nombre y la carpeta.").arg(r);
    if (clase == u"lineas")
        return QStringLiteral("«%1» tiene más de un millón de líneas, más de las que el programa puede tratar, "
                              "y no se abre: elija un fichero con menos datos, o divida este en partes más pequeñas.")
            .arg(r);
    const QString que = clase == u"tuberia"       ? QStringLiteral("es una tubería")
                        : clase == u"dispositivo" ? QStringLiteral("es un dispositivo")
                        : clase == u"carpeta"     ? QStringLiteral("es una carpeta")
                                                  : QStringLiteral("es un socket");
    return QStringLiteral("«%1» no es un fichero normal (%2): elija un fichero de texto con los datos.").arg(r, que);
}

} // namespace

class TstAbrir : public QObject {
    Q_OBJECT
private slots:
    void nombreEscritoYEnter_data()
    {
        QTest::addColumn<QString>("escrito");
        // While the name is typed the completer lists both files, then the one that fits.
        QTest::newRow("prefix of the other name") << QStringLiteral("ventas.txt");
        QTest::newRow("longer name") << QStringLiteral("ventas2.txt");
    }

    void nombreEscritoYEnter()
    {
        QFETCH(QString, escrito);
        QTemporaryDir dir;
        Escribir(dir.filePath("ventas.txt"), Serie(24));
        Escribir(dir.filePath("ventas2.txt"), Serie(30));

        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->DirEjemplos = dir.path();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        bool visto = false;
        bool listaAbierta = false;
        QTimer::singleShot(300, w.get(), [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            visto = true;
            auto* nombre = d->findChild<QLineEdit*>("fileNameEdit");
            nombre->setFocus();
            // Typed letter by letter, as the user does: the completer offers the names.
            for (QChar c : escrito) {
                QTest::keyClick(nombre, c.toLatin1());
                QTest::qWait(15);
            }
            QTest::qWait(200);
            listaAbierta = nombre->completer() && nombre->completer()->popup()->isVisible();
            QWidget* foco = QApplication::focusWidget();
            QTest::keyClick(foco ? foco : nombre, Qt::Key_Return);
            // A list still up takes the first Enter; the second confirms the name.
            if (d->isVisible())
                QTest::keyClick(nombre, Qt::Key_Return);
        });
        w->Abrir1Click();
        QVERIFY(visto);
        QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(),
                 Serie(escrito == QLatin1String("ventas.txt") ? 24 : 30));
        if (!listaAbierta)
            qInfo("the completer list did not show on this platform");

        // Nothing left over takes the next click: "Cargar" loads.
        QTest::qWait(50);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        auto* cargar = w->findChild<QToolButton*>("TBTransferir");
        QTest::mouseClick(cargar, Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(w->Ws.DatosCargados);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->RowCount(),
                 escrito == QLatin1String("ventas.txt") ? 25 : 31);
    }

    // The editor's scroll bar follows the text opened, long or short, and is
    // left "as needed" whatever the opening does with it on the way.
    void barraDeDesplazamiento()
    {
        QTemporaryDir dir;
        Escribir(dir.filePath("largo.txt"), Serie(600));
        Escribir(dir.filePath("corto.txt"), Serie(3));
        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* memo = Control<QPlainTextEdit>(w, "Memo1");
        for (const char* nombre : {"largo.txt", "corto.txt", "largo.txt"}) {
            w->AbrirFichero(dir.filePath(QLatin1String(nombre)));
            QTest::qWait(30);
            const bool largo = QByteArray(nombre) == "largo.txt";
            QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
            QCOMPARE(memo->verticalScrollBar()->isVisible(), largo);
            QCOMPARE(memo->verticalScrollBar()->maximum() > 0, largo);
            QCOMPARE(memo->verticalScrollBar()->value(), 0);
            QCOMPARE(memo->toPlainText(), Serie(largo ? 600 : 3));
        }
    }

    void rechazados_data()
    {
        QTest::addColumn<QString>("clase");
        QTest::addColumn<bool>("coma");
        QTest::addColumn<bool>("dialogo"); // through "Abrir" as the user does, or the command line
        for (const char* clase : {"tuberia", "dispositivo", "carpeta", "socket", "grande", "lineas", "inexistente"})
            for (bool coma : {true, false})
                for (bool dialogo : {true, false}) {
                    // The open dialog hands over no folder and no missing name.
                    if (dialogo && (QByteArray(clase) == "carpeta" || QByteArray(clase) == "inexistente"))
                        continue;
                    QTest::addRow("%s %s %s", clase, coma ? "es_ES" : "C", dialogo ? "Abrir" : "argumento")
                        << QString::fromLatin1(clase) << coma << dialogo;
                }
    }

    // What can be no data file is refused at once, with a message that says
    // what it is and what to do, and nothing changes: no wait on a pipe, no
    // gigabytes read from a device or a huge file.
    void rechazados()
    {
        QFETCH(QString, clase);
        QFETCH(bool, coma);
        QFETCH(bool, dialogo);
        PonerLocale(coma);
        QTemporaryDir dir;
        const QString ruta = Especial(dir, clase);
        if (ruta.isEmpty())
            QSKIP("This system cannot make that kind of file here.");
        Escribir(dir.filePath("ventas.txt"), Serie(24));

        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->DirEjemplos = dir.path();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->AbrirFichero(dir.filePath("ventas.txt"));
        auto* memo = Control<QPlainTextEdit>(w, "Memo1");
        const QString antes = memo->toPlainText();

        QString visto, caja;
        QElapsedTimer reloj;
        reloj.start();
        bool noElegible = false;
        if (dialogo) {
            // The name typed, then "Abrir"; Qt's dialog itself may keep the
            // button off for what it does not list (pipes, devices).
            Responder([&](QWidget* m) {
                auto* fd = qobject_cast<QFileDialog*>(m);
                if (!fd || !fd->isVisible())
                    return false;
                fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(ruta);
                QTest::qWait(50);
                auto* botones = fd->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
                QAbstractButton* abrir = botones->button(QDialogButtonBox::Open);
                if (abrir && abrir->isEnabled()) {
                    abrir->click();
                } else {
                    noElegible = true;
                    fd->reject();
                }
                return true;
            });
            ResponderMensaje(&visto, &caja);
            w->Abrir1Click();
            if (noElegible) {
                qInfo("the open dialog does not offer that name");
                QVERIFY(clase != u"grande" && clase != u"lineas");
                QCOMPARE(memo->toPlainText(), antes);
                QCOMPARE(w->FicheroDatos, dir.filePath("ventas.txt"));
                QTest::qWait(300); // no message either
                QVERIFY(visto.isEmpty());
                QApplication::processEvents();
                if (auto* m = QApplication::activeModalWidget())
                    m->close();
                return;
            }
        } else {
            ResponderMensaje(&visto, &caja);
            AbrirArgumentos(w.get(), {QStringLiteral("tendora"), ruta});
        }
        QVERIFY2(reloj.elapsed() < 10000, "refused only after a long read");
        QCOMPARE(caja, QStringLiteral("ErrorEstandar"));
        QCOMPARE(visto, Esperado(clase, ruta));
        QCOMPARE(memo->toPlainText(), antes);
        QCOMPARE(w->FicheroDatos, dir.filePath("ventas.txt"));
        QCOMPARE(w->NombreSerie, QStringLiteral("ventas"));
        QVERIFY(w->isVisible());
        PonerLocale(false);
    }

    void limiteDeLineas_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("cabe");
        // Lines counted as loading counts them: CR LF, LF or CR end one, a
        // last line without a break is one more.
        QTest::newRow("LF at the limit") << Lineas(kMaxLineasEntrada, "\n") << true;
        QTest::newRow("CR LF at the limit") << Lineas(kMaxLineasEntrada, "\r\n") << true;
        QTest::newRow("CR at the limit") << Lineas(kMaxLineasEntrada, "\r") << true;
        QTest::newRow("one unended line more") << Lineas(kMaxLineasEntrada, "\n", true) << false;
        QTest::newRow("CR LF one more") << Lineas(kMaxLineasEntrada + 1, "\r\n") << false;
        QTest::newRow("CR one more") << Lineas(kMaxLineasEntrada + 1, "\r") << false;
        QTest::newRow("empty") << QByteArray() << true;
    }

    void limiteDeLineas()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, cabe);
        QTemporaryDir dir;
        const QString ruta = dir.filePath("datos.txt");
        {
            QFile f(ruta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), qint64(bytes.size()));
        }
        if (cabe) {
            QCOMPARE(LeerFicheroEntrada(ruta), bytes);
        } else {
            QVERIFY_THROWS_EXCEPTION(ErrorFicheroEntrada, LeerFicheroEntrada(ruta));
        }
    }
};

QTEST_MAIN(TstAbrir)
#include "tst_abrir.moc"
