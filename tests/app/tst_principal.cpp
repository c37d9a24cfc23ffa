// SPDX-License-Identifier: GPL-3.0-or-later
// The main window itself, driven as the user does: its controls, the model
// page, the message dialog, opening files, keys and a dropped file.
#include <QDoubleSpinBox>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <new>
#include <stdexcept>
#include <vector>

#include "app/Aplicacion.h"
#include "app/DialogoUnit.h"
#include "app/MainUnit.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

bool Escribir(const QString& ruta, const QString& texto)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(texto.toUtf8()) >= 0;
}

} // namespace

class TstPrincipal : public QObject {
    Q_OBJECT
private slots:
    void teclasYSoltarFichero()
    {
        QLocale::setDefault(QLocale::c());
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("serie.txt"));
        QVERIFY(Escribir(ruta, Mensual(36, [](int i) { return 99 + i; })));
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

    void ventana()
    {
        TFormMain w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Tendora"));
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        const QStringList paginas = QStringLiteral("Datos|Modelo|Tabla Previsión|Tabla C.E.|Gráfico Previsión|"
                                                   "Gráfico Prev. acum.|Gráfico Prev. comp.|Gráfico C.E.|"
                                                   "Errores ajuste|Errores acierto|Selección automática")
                                        .split(QLatin1Char('|'));
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
        QCOMPARE(textos(Control<QMenu>(w, "Archivo1")),
                 QStringList({"Abrir", "Importar...", "Guardar", "-", "Abrir sesión...", "Guardar sesión...",
                              "Recientes", "-", "Salir"}));
        QCOMPARE(textos(Control<QMenu>(w, "Edicion1")), QStringList({"Deshacer", "Rehacer"}));
        QCOMPARE(textos(Control<QMenu>(w, "Herramientas1")),
                 QStringList({"Cargar datos a tabla de previsión", "Calcular previsión", "Comparar modelos", "-",
                              "Aplicar todos los métodos", "Variación de parámetros", "Simulación ex-ante",
                              "Previsión automática...", "-", "Añadir columnas de Año y Mes",
                              "Borrar información sobre errores"}));
        QCOMPARE(textos(Control<QMenu>(w, "Ayuda1")), QStringList({"Manual de usuario...", "Acerca de..."}));
        QVERIFY(!Control<QAction>(w, "Variacindeparmetros1")->isEnabled());
        // Every entry has its own underlined letter within its menu.
        for (const char* m : {"Archivo1", "Edicion1", "Herramientas1", "Ayuda1"}) {
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
        const QList<std::pair<const char*, QString>> teclas = {{"Abrir1", "Ctrl+O"},
                                                               {"Guardar1", "Ctrl+S"},
                                                               {"Salir1", "Ctrl+Q"},
                                                               {"Transferiratabladeprevisin1", "Ctrl+L"},
                                                               {"Caluclarprevisin1", "F9"},
                                                               {"Manualdeusuario1", "F1"},
                                                               {"Previsionautomatica1", "Ctrl+F9"},
                                                               {"Deshacer1", "Ctrl+Z"},
                                                               {"Rehacer1", "Ctrl+Y"}};
        for (const auto& [accion, tecla] : teclas)
            QCOMPARE(Control<QAction>(w, accion)->shortcut().toString(QKeySequence::PortableText), tecla);

        for (const char* n : {"AdvStringGridPrevision", "StringGridCE", "ChartP", "ChartPA", "ChartPC", "ChartCE",
                              "AdvSGErrAjuste", "AdvSGErrAcierto", "Memo1", "RGModelo", "SEN", "CBPrevNeg"})
            QVERIFY2(w.findChild<QWidget*>(n), n);
        QCOMPARE(Control<QToolButton>(w, "TBAbrir")->toolTip(), QStringLiteral("Abre un documento de texto"));
        QCOMPARE(Control<QToolButton>(w, "TBTransferir")->text(), QStringLiteral("Cargar"));
        QCOMPARE(w.SesionActual.Horizonte(), 12);
        QCOMPARE(w.SesionActual.PuntosSinUsar(), 0);
        QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->maximum(), 100);
        QVERIFY(!w.Ws.DatosCargados);
    }

    void paginaModelo_data()
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

    void paginaModelo()
    {
        QFETCH(int, item);
        QFETCH(QString, visibles);
        QFETCH(bool, variacion);
        TFormMain w;
        w.show();
        w.SesionActual.SeleccionarModelo(item);
        QCOMPARE(w.SesionActual.ModeloSeleccionado(), item);
        const std::tuple<char, const char*, const char*> controles[] = {{'N', "LabelN", "SEN"},
                                                                        {'A', "LabelAlfa", "SEAlfaLE"},
                                                                        {'T', "LabelAlfaTHT", "SEAlfaTHT"},
                                                                        {'H', "LabelAlfaHLT", "SEAlfaHLT"},
                                                                        {'H', "LabelBetaHLT", "SEBetaHLT"},
                                                                        {'P', "LabelPhiHW", "SEPhiHW"},
                                                                        {'C', "LabelAlfaCroston", "SEAlfaCroston"}};
        for (const auto& [letra, etiqueta, caja] : controles) {
            QVERIFY2(Control<QLabel>(w, etiqueta)->isHidden() != visibles.contains(QLatin1Char(letra)), etiqueta);
            QVERIFY2(Control<QAbstractSpinBox>(w, caja)->isHidden() != visibles.contains(QLatin1Char(letra)), caja);
        }
        QCOMPARE(Control<QAction>(w, "Variacindeparmetros1")->isEnabled(), variacion);
    }

    void guardasHolt()
    {
        TFormMain w;
        w.show();
        w.SesionActual.SeleccionarModelo(ItemHLT);
        w.SesionActual.SeleccionarModelo(ItemHW);
        const auto ver = [&w](const char* n) {
            return Control<QWidget>(w, n)->isVisibleTo(Control<QWidget>(w, "TabSheetModelo"));
        };
        QVERIFY(ver("SEPhiHW") && ver("SEAlfaHLT") && ver("SEBetaHLT"));
        w.SesionActual.SeleccionarModelo(ItemHLT);
        QVERIFY(!ver("SEPhiHW") && ver("SEAlfaHLT") && ver("SEBetaHLT"));
        w.SesionActual.SeleccionarModelo(ItemNVS);
        QVERIFY(!ver("SEPhiHW") && !ver("SEAlfaHLT") && !ver("SEBetaHLT"));
        // Hidden controls keep their values.
        auto* alfa = Control<QDoubleSpinBox>(w, "SEAlfaLE");
        auto* n = Control<QSpinBox>(w, "SEN");
        w.SesionActual.SeleccionarModelo(ItemLES);
        alfa->setValue(0.35);
        w.SesionActual.SeleccionarModelo(ItemMMS);
        QVERIFY(ver("SEN") && !ver("SEAlfaLE"));
        w.SesionActual.SeleccionarModelo(ItemLES);
        QCOMPARE(alfa->value(), 0.35);
        // The constants stop at their bounds, N at its least, a window of one value. Two steps past each.
        for (auto [desde, paso, hasta] : {std::tuple{0.95, 1, 1.0}, {0.05, -1, 0.0}}) {
            alfa->setValue(desde);
            alfa->stepBy(paso);
            alfa->stepBy(paso);
            QCOMPARE(alfa->value(), hasta);
        }
        n->setValue(1);
        n->stepDown();
        n->stepDown();
        QCOMPARE(n->value(), 1);
    }

    void mensajes_data()
    {
        QTest::addColumn<bool>("aviso");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("aviso") << true << "Atención";
        QTest::newRow("información") << false << "Información";
    }

    void mensajes()
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
            MostrarDialogo(&w, TFormDialogo::Aviso, QStringLiteral("Un texto"));
        else
            w.MostrarInformacion(QStringLiteral("Un texto"));
        QVERIFY(bien);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void abrirFichero()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath("ventas.txt");
        QVERIFY(Escribir(ruta, "2000\t1\t5\r\n2000\t2\t6\r\n"));
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
        // Opening loads nothing.
        QVERIFY(!w.Ws.DatosCargados);
        // An unreadable file leaves the text alone.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.AbrirFichero(dir.filePath("no-existe.txt")));
        QCOMPARE(w.NombreSerie, QStringLiteral("ventas"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("2000\t1\t5\n2000\t2\t6\n"));
    }

    void abrirArgumentos_data()
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

    void abrirArgumentos()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, abre);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QFileInfo f(dir.filePath("ventas.txt"));
        QVERIFY(Escribir(f.filePath(), "2000\t1\t5\n"));

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
            QCOMPARE(QFileInfo(w.FicheroDatos).canonicalFilePath(), f.canonicalFilePath());
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
    void erroresInesperados_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("esperado");
        const QString memoria = QStringLiteral(
            "No hay memoria suficiente para esta operación, y se ha dejado sin hacer. Cierre otros programas o "
            "trabaje con menos datos, y vuelva a intentarlo.");
        QTest::newRow("out of memory") << 0 << memoria;
        QTest::newRow("a vector too long for memory") << 1 << memoria;
        QTest::newRow("the library's index check")
            << 2
            << QStringLiteral("Error interno del programa (vector::_M_range_check: __n (which is 3) >= this->size() "
                              "(which is 0)): la operación se ha interrumpido. Compruebe el resultado y, si hace "
                              "falta, vuelva a intentarlo.");
        QTest::newRow("the program's own text") << 3 << QStringLiteral("Texto propio del programa.");
        QTest::newRow("no exception class")
            << 4
            << QStringLiteral("Se ha producido un error inesperado y la operación se ha interrumpido. Compruebe el "
                              "resultado y, si hace falta, vuelva a intentarlo.");
    }

    // What escapes every command reaches the application's own notify(),
    // which tells it in Spanish and carries on.
    void erroresInesperados()
    {
        QFETCH(int, caso);
        QFETCH(QString, esperado);
        QVERIFY(qobject_cast<TAplicacion*>(qApp));
        TFormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QString visto, nombre;
        ResponderMensaje(&visto, &nombre);
        QTimer::singleShot(0, &w, [caso] {
            std::vector<int> v;
            switch (caso) {
            case 0: throw std::bad_alloc();
            case 1: v.reserve(v.max_size() + 1); break;
            case 2: v.at(3) = 1; break;
            case 3: throw std::runtime_error("Texto propio del programa.");
            default: throw 4;
            }
        });
        QTRY_VERIFY(!visto.isEmpty());
        QCOMPARE(nombre, QStringLiteral("ErrorEstandar"));
        QCOMPARE(visto, esperado);
        QVERIFY(w.isVisible()); // the program carries on
    }
};

// The program's own application object, whose notify() is under test.
int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TstPrincipal prueba;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_principal.moc"
