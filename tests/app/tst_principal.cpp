// SPDX-License-Identifier: GPL-3.0-or-later
// The main window itself, driven as the user does: its controls, the model
// page, the message dialog, opening files, keys and a dropped file.
#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMessageBox>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTextCursor>
#include <QToolButton>
#include <QUrl>
#include <QtTest>
#include <cstring>

#include "Carga.h"
#include "DialogoUnit.h"
#include "Grafico.h"
#include "MainUnit.h"
#include "Numeros.h"
#include "Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

class TstPrincipal : public QObject {
    Q_OBJECT
private slots:
    void teclasYSoltarFichero();
    void ventana();
    void paginaModelo_data();
    void paginaModelo();
    void guardasHolt();
    void mensajes_data();
    void mensajes();
    void abrirFichero();
    void abrirArgumentos_data();
    void abrirArgumentos();
};

void TstPrincipal::ventana()
{
    TFormMain w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Tendora"));
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    const QStringList paginas = {"Datos",
                                 "Modelo",
                                 "Tabla Previsión",
                                 "Tabla C.E.",
                                 "Gráfico Previsión",
                                 "Gráfico Prev. acum.",
                                 "Gráfico Prev. comp.",
                                 "Gráfico C.E.",
                                 "Errores ajuste",
                                 "Errores acierto"};
    QCOMPARE(Control<QTabWidget>(w, "PageControl1")->count(), paginas.size());
    for (int i = 0; i < paginas.size(); ++i)
        QCOMPARE(Control<QTabWidget>(w, "PageControl1")->tabText(i), paginas[i]);
    QCOMPARE(Control<QTabWidget>(w, "PageControl1")->currentIndex(), 0);

    auto textos = [](QMenu* m) {
        QStringList t;
        for (QAction* a : m->actions())
            t << (a->isSeparator() ? QStringLiteral("-") : QString(a->text()).remove(QLatin1Char('&')));
        return t;
    };
    QCOMPARE(textos(Control<QMenu>(w, "Archivo1")), QStringList({"Abrir", "Importar...", "Guardar", "-", "Salir"}));
    QCOMPARE(textos(Control<QMenu>(w, "Herramientas1")),
             QStringList({"Cargar datos a tabla de previsión", "Calcular previsión", "Comparar modelos", "-",
                          "Aplicar todos los métodos", "Variación de parámetros", "Simulación ex-ante", "-",
                          "Añadir columnas de Año y Mes", "Borrar información sobre errores"}));
    QCOMPARE(textos(Control<QMenu>(w, "Ayuda1")), QStringList({"Manual de usuario...", "Acerca de..."}));
    QVERIFY(!Control<QAction>(w, "Variacindeparmetros1")->isEnabled());
    // Every entry has its own underlined letter within its menu.
    for (const char* m : {"Archivo1", "Herramientas1", "Ayuda1"}) {
        QSet<QChar> letras;
        for (QAction* a : Control<QMenu>(w, m)->actions()) {
            if (a->isSeparator())
                continue;
            const qsizetype k = a->text().indexOf(QLatin1Char('&'));
            QVERIFY2(k >= 0 && k + 1 < a->text().size(), qPrintable(a->text()));
            const QChar letra = a->text().at(k + 1).toLower();
            QVERIFY2(!letras.contains(letra), qPrintable(a->text()));
            letras.insert(letra);
        }
    }
    const QList<std::pair<const char*, QString>> teclas = {
        {"Abrir1", "Ctrl+O"},        {"Guardar1", "Ctrl+S"},
        {"Salir1", "Ctrl+Q"},        {"Transferiratabladeprevisin1", "Ctrl+L"},
        {"Caluclarprevisin1", "F9"}, {"Manualdeusuario1", "F1"}};
    for (const auto& [accion, tecla] : teclas)
        QCOMPARE(Control<QAction>(w, accion)->shortcut().toString(QKeySequence::PortableText), tecla);

    for (const char* n : {"AdvStringGridPrevision", "StringGridCE", "ChartP", "ChartPA", "ChartPC", "ChartCE",
                          "AdvSGErrAjuste", "AdvSGErrAcierto", "Memo1", "RGModelo", "SEN", "CBPrevNeg"})
        QVERIFY2(w.findChild<QWidget*>(n), n);
    auto* tb = w.findChild<QToolButton*>("TBAbrir");
    QVERIFY(tb);
    QCOMPARE(tb->toolTip(), QStringLiteral("Abre un documento de texto"));
    QCOMPARE(w.findChild<QToolButton*>("TBTransferir")->text(), QStringLiteral("Cargar"));
    QCOMPARE(w.ValoresPrever(), 12);
    QCOMPARE(w.PuntosSinUsar(), 0);
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->maximum(), 100);
    QVERIFY(!w.Ws.DatosCargados);
    QCOMPARE(w.PuntoArrastrado, -1);
    QVERIFY(w.DirPrograma.endsWith(QLatin1Char('/')));
}

void TstPrincipal::paginaModelo_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("visibles"); // N, A(LE), T(HT), H(olt alpha+beta), P(hi), C(roston)
    QTest::addColumn<bool>("variacion");
    QTest::newRow("NVS") << 0 << "" << false;
    QTest::newRow("NVE") << 1 << "" << false;
    QTest::newRow("MMS") << 2 << "N" << true;
    QTest::newRow("MMD") << 3 << "N" << true;
    QTest::newRow("LES") << 4 << "A" << true;
    QTest::newRow("LED") << 5 << "A" << true;
    QTest::newRow("DST") << 6 << "" << false;
    QTest::newRow("THT") << 7 << "T" << true;
    QTest::newRow("HLT") << 8 << "H" << true;
    QTest::newRow("H-W") << 9 << "HP" << true;
    QTest::newRow("CRT") << 10 << "C" << true;
    QTest::newRow("S-B") << 11 << "C" << true;
}

void TstPrincipal::paginaModelo()
{
    QFETCH(int, item);
    QFETCH(QString, visibles);
    QFETCH(bool, variacion);
    TFormMain w;
    w.show();
    w.SeleccionarModelo(item);
    QCOMPARE(w.ModeloSeleccionado(), item);
    auto ver = [](QWidget* a, QWidget* b) { return !a->isHidden() && !b->isHidden(); };
    auto oculto = [](QWidget* a, QWidget* b) { return a->isHidden() && b->isHidden(); };
    auto comprobar = [&](QChar c, QWidget* a, QWidget* b) {
        if (visibles.contains(c))
            QVERIFY(ver(a, b));
        else
            QVERIFY(oculto(a, b));
    };
    comprobar('N', Control<QLabel>(w, "LabelN"), Control<QSpinBox>(w, "SEN"));
    comprobar('A', Control<QLabel>(w, "LabelAlfa"), Control<QDoubleSpinBox>(w, "SEAlfaLE"));
    comprobar('T', Control<QLabel>(w, "LabelAlfaTHT"), Control<QDoubleSpinBox>(w, "SEAlfaTHT"));
    comprobar('H', Control<QLabel>(w, "LabelAlfaHLT"), Control<QDoubleSpinBox>(w, "SEAlfaHLT"));
    comprobar('H', Control<QLabel>(w, "LabelBetaHLT"), Control<QDoubleSpinBox>(w, "SEBetaHLT"));
    comprobar('P', Control<QLabel>(w, "LabelPhiHW"), Control<QDoubleSpinBox>(w, "SEPhiHW"));
    comprobar('C', Control<QLabel>(w, "LabelAlfaCroston"), Control<QDoubleSpinBox>(w, "SEAlfaCroston"));
    QCOMPARE(Control<QAction>(w, "Variacindeparmetros1")->isEnabled(), variacion);
}

void TstPrincipal::guardasHolt()
{
    TFormMain w;
    w.show();
    w.SeleccionarModelo(ItemHLT);
    w.SeleccionarModelo(ItemHW);
    QVERIFY(Control<QDoubleSpinBox>(w, "SEPhiHW")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            Control<QDoubleSpinBox>(w, "SEAlfaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            Control<QDoubleSpinBox>(w, "SEBetaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    w.SeleccionarModelo(ItemHLT);
    QVERIFY(!Control<QDoubleSpinBox>(w, "SEPhiHW")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            Control<QDoubleSpinBox>(w, "SEAlfaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            Control<QDoubleSpinBox>(w, "SEBetaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    w.SeleccionarModelo(ItemNVS);
    QVERIFY(!Control<QDoubleSpinBox>(w, "SEPhiHW")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            !Control<QDoubleSpinBox>(w, "SEAlfaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            !Control<QDoubleSpinBox>(w, "SEBetaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    // Hidden controls keep their values.
    w.SeleccionarModelo(ItemLES);
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->setValue(0.35);
    w.SeleccionarModelo(ItemMMS);
    QVERIFY(Control<QSpinBox>(w, "SEN")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")) &&
            !Control<QDoubleSpinBox>(w, "SEAlfaLE")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    w.SeleccionarModelo(ItemLES);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaLE")->value(), 0.35);
    // The constants stop at their bounds; N has none.
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->setValue(0.95);
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->stepUp();
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->stepUp();
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaLE")->value(), 1.0);
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->setValue(0.05);
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->stepDown();
    Control<QDoubleSpinBox>(w, "SEAlfaLE")->stepDown();
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaLE")->value(), 0.0);
    Control<QSpinBox>(w, "SEN")->setValue(1);
    Control<QSpinBox>(w, "SEN")->stepDown();
    Control<QSpinBox>(w, "SEN")->stepDown();
    QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), -1);
}

void TstPrincipal::mensajes_data()
{
    QTest::addColumn<bool>("aviso");
    QTest::addColumn<QString>("titulo");
    QTest::newRow("aviso") << true << "Atención";
    QTest::newRow("información") << false << "Información";
}

void TstPrincipal::mensajes()
{
    QFETCH(bool, aviso);
    QFETCH(QString, titulo);
    TFormMain w;
    bool bien = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TFormDialogo*>(QApplication::activeModalWidget());
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), titulo);
        QCOMPARE(d->Atencion->isVisible(), aviso);
        QCOMPARE(d->ImagenInformacion->isVisible(), !aviso);
        QCOMPARE(d->Mensaje->text(), QStringLiteral("Un texto"));
        QCOMPARE(d->size(), QSize(358, 178));
        QCOMPARE(d->BBAceptar->text(), QStringLiteral("Aceptar"));
        QVERIFY(d->BBAceptar->isDefault());
        // Enter presses the default button.
        QTest::keyClick(d, Qt::Key_Return);
        bien = true;
    });
    if (aviso)
        w.MostrarAviso(QStringLiteral("Un texto"));
    else
        w.MostrarInformacion(QStringLiteral("Un texto"));
    QVERIFY(bien);
    QVERIFY(!QApplication::activeModalWidget());
}

void TstPrincipal::abrirFichero()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("ventas.txt");
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("2000\t1\t5\r\n2000\t2\t6\r\n");
    f.close();
    TFormMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* memo = Control<QPlainTextEdit>(w, "Memo1");
    // Text typed before opening cannot come back with Ctrl+Z over the file's.
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("1999 1 3"));
    w.AbrirFichero(ruta);
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(memo->toPlainText(), QStringLiteral("2000\t1\t5\n2000\t2\t6\n"));
    QCOMPARE(memo->textCursor().position(), 0);
    QVERIFY(!memo->document()->isModified());
    QCOMPARE(w.NombreSerie, QStringLiteral("ventas"));
    QCOMPARE(w.FicheroDatos, ruta);
    QVERIFY(Control<QLabel>(w, "LabelFichero")->text().startsWith(QStringLiteral("     ")));
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("2000\t1\t5\n2000\t2\t6\n"));
    // Opening loads nothing.
    QVERIFY(!w.Ws.DatosCargados);
    // An unreadable file leaves the text alone.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.AbrirFichero(dir.filePath("no-existe.txt")));
    QCOMPARE(w.NombreSerie, QStringLiteral("ventas"));
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("2000\t1\t5\n2000\t2\t6\n"));
}

void TstPrincipal::abrirArgumentos_data()
{
    QTest::addColumn<QStringList>("argumentos"); // after the program's name
    QTest::addColumn<bool>("abre");
    QTest::addColumn<QString>("error"); // start of the standard error's text
    QTest::newRow("sin fichero") << QStringList{} << false << QString();
    QTest::newRow("ruta relativa") << QStringList{"ventas.txt"} << true << QString();
    QTest::newRow("solo el primero") << QStringList{"ventas.txt", "otro.txt"} << true << QString();
    QTest::newRow("fichero que no existe")
        << QStringList{"no-existe.txt"} << false << QStringLiteral("No se puede abrir el fichero ");
}

void TstPrincipal::abrirArgumentos()
{
    QFETCH(QStringList, argumentos);
    QFETCH(bool, abre);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QFile f(dir.filePath("ventas.txt"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("2000\t1\t5\n");
    f.close();

    TFormMain w;
    QString visto;
    QTimer::singleShot(0, [&] {
        if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            visto = m->text();
            m->close();
        }
    });
    // A relative name is taken from the folder the program was started in.
    const QString antes = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    AbrirArgumentos(&w, QStringList{QStringLiteral("tendora")} + argumentos);
    QDir::setCurrent(antes);
    QCoreApplication::processEvents();

    const auto* memo = w.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QVERIFY(memo);
    if (abre) {
        QVERIFY(QFileInfo(w.FicheroDatos).isAbsolute());
        QCOMPARE(QFileInfo(w.FicheroDatos).canonicalFilePath(), QFileInfo(f).canonicalFilePath());
        QCOMPARE(w.NombreSerie, QStringLiteral("ventas"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("2000\t1\t5\n"));
    } else {
        QVERIFY(w.FicheroDatos.isEmpty());
        QVERIFY(memo->toPlainText().isEmpty());
    }
    QVERIFY(!w.Ws.DatosCargados); // opening loads nothing
    if (error.isEmpty())
        QVERIFY(visto.isEmpty());
    else
        QVERIFY2(visto.startsWith(error), qPrintable(visto));
}

void TstPrincipal::teclasYSoltarFichero()
{
    QLocale::setDefault(QLocale::c());
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("serie.txt"));
    {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 36; ++i)
            f.write(QStringLiteral("%1\t%2\t%3\n").arg(2000 + i / 12).arg(i % 12 + 1).arg(100 + i).toUtf8());
    }
    TFormMain w;
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* memo = Control<QPlainTextEdit>(&w, "Memo1");

    // The file dropped on the data text opens as "Abrir" would: the text is the
    // file's, not its path pasted in.
    QMimeData datos;
    datos.setUrls({QUrl::fromLocalFile(ruta)});
    datos.setText(QUrl::fromLocalFile(ruta).toString());
    const QPoint p = memo->viewport()->rect().center();
    QDragEnterEvent entrar(p, Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(memo->viewport(), &entrar);
    QVERIFY(entrar.isAccepted());
    QDropEvent soltar(QPointF(p), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(memo->viewport(), &soltar);
    QCOMPARE(w.FicheroDatos, ruta);
    QVERIFY(memo->toPlainText().startsWith(QStringLiteral("2000\t1\t100\n")));
    // Dropped text is still the editor's to paste.
    QMimeData texto;
    texto.setText(QStringLiteral("x"));
    QDragEnterEvent entrarTexto(p, Qt::CopyAction, &texto, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &entrarTexto);
    QVERIFY(!entrarTexto.isAccepted());

    // Ctrl+L loads, F9 calculates: the 36 rows and the naive model's forecast.
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(w.Ws.NumDatos, 36);
    QCOMPARE(w.Ws.ColPrev, 0);
    QTest::keyClick(&w, Qt::Key_F9);
    QVERIFY(w.Ws.ColPrev > 0);
}

QTEST_MAIN(TstPrincipal)
#include "tst_principal.moc"
