// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the data text, the date columns, the pop-up menus of the grids and
// charts, and the "Ayuda" menu, driven through the main window.
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTextCursor>
#include <QAbstractButton>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "ui/AboutU.h"
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"
#include "app/SelecAMUnit.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

// Texts (or names) of the menu's items the user sees.
QStringList Visibles(const QMenu* menu, bool nombres = false)
{
    QStringList r;
    for (const QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator())
            r << (nombres ? a->objectName() : a->text());
    return r;
}

// Opens the control's pop-up menu with a right click and closes it, so the
// menu's items act on that control.
void Menu(const QObject& w, const char* control, const char* menu = "PopupMenuTabla")
{
    ClicDerecho(Control<QAbstractScrollArea>(w, control));
    Control<QMenu>(w, menu)->hide();
}

// Rows 1..n of the grid, labelled, with the n values in column col.
void Llenar(Rejilla* g, int col, const QString& etiqueta, std::initializer_list<double> valores)
{
    g->SetRowCount(int(valores.size()) + 1);
    int r = 0;
    for (double v : valores) {
        g->SetTexto(0, ++r, etiqueta);
        g->SetNumero(col, r, v, Formato::Fijo2);
    }
}

// Closes the next dialog (not a file dialog), returning what it was.
struct DialogoVisto {
    QString titulo, clase;
    QWidget* dueno = nullptr;
    bool vistaPrevia = false;
};

void CerrarDialogo(DialogoVisto* v)
{
    Responder([v](QWidget* m) {
        auto* d = qobject_cast<QDialog*>(m);
        if (!d || qobject_cast<QFileDialog*>(m))
            return false;
        *v = {d->windowTitle(), QLatin1String(d->metaObject()->className()), d->parentWidget(),
              qobject_cast<QPrintPreviewDialog*>(m) != nullptr};
        d->reject();
        return true;
    });
}

} // namespace

class TstArchivo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        w = std::make_unique<TFormMain>();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void cleanup()
    {
        w.reset();
        dir.reset();
        QLocale::setDefault(QLocale::c());
    }

    void anadirAnioMes_data()
    {
        QTest::addColumn<bool>("coma");
        QTest::addColumn<QString>("antes");
        QTest::addColumn<int>("anio");
        QTest::addColumn<int>("mes");
        QTest::addColumn<QString>("despues");

        // All worked by hand: month + 1 per line, 12 followed by 1 of the next year.
        for (bool coma : {true, false}) {
            const char* l = coma ? "es" : "C";
            QTest::addRow("fin de año %s", l)
                << coma << "125,5\n131\n128" << 2011 << 11 << "2011\t11\t125,5\n2011\t12\t131\n2012\t1\t128";
            QTest::addRow("salto final se conserva %s", l) << coma << "125,5\n131\n"
                                                           << 2011 << 11 << "2011\t11\t125,5\n2011\t12\t131\n";
            // Five-digit years would pick up a group separator if localized.
            QTest::addRow("sin separador de miles %s", l)
                << coma << "1\n2" << 12345 << 12 << "12345\t12\t1\n12346\t1\t2";
        }
        QTest::addRow("líneas vacías intermedias") << false << "1\n\n3\n"
                                                   << 2000 << 1 << "2000\t1\t1\n2000\t2\t\n2000\t3\t3\n";
        QTest::addRow("trece meses") << false << "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm" << 2000 << 1
                                     << "2000\t1\ta\n2000\t2\tb\n2000\t3\tc\n2000\t4\td\n2000\t5\te\n"
                                        "2000\t6\tf\n2000\t7\tg\n2000\t8\th\n2000\t9\ti\n2000\t10\tj\n"
                                        "2000\t11\tk\n2000\t12\tl\n2001\t1\tm";
        QTest::addRow("texto vacío") << false << "" << 2000 << 1 << "";
        QTest::addRow("solo un salto") << false << "\n" << 2000 << 1 << "2000\t1\t\n";
    }

    void anadirAnioMes()
    {
        QFETCH(bool, coma);
        QFETCH(QString, antes);
        QFETCH(int, anio);
        QFETCH(int, mes);
        QFETCH(QString, despues);
        PonerLocale(coma);

        Memo()->setPlainText(antes);
        w->AnadirAnioMes(anio, mes);
        QCOMPARE(Memo()->toPlainText(), despues);
        // One step back restores the text as it was.
        if (antes != despues) {
            Memo()->document()->undo();
            QCOMPARE(Memo()->toPlainText(), antes);
        }
    }

    void fechasDosVecesSeCarganComoValor()
    {
        Memo()->setPlainText(QStringLiteral("125,5\n131\n128\n"));
        w->AnadirAnioMes(2011, 11);
        w->AnadirAnioMes(2011, 11);
        const QString fechas2 =
            QStringLiteral("2011\t11\t2011\t11\t125,5\n2011\t12\t2011\t12\t131\n2012\t1\t2012\t1\t128\n");
        QCOMPARE(Memo()->toPlainText(), fechas2);
        // Loading reads the outer date as the date and the inner year as the value.
        w->CargarDatos();
        QCOMPARE(w->Ws.TotalDatos, 3);
        for (auto [fila, anio, mes] : {std::tuple{1, 2011.0, 11.0}, {3, 2012.0, 1.0}}) {
            QCOMPARE(w->Ws.V(fila, 2), anio);
            QCOMPARE(w->Ws.V(fila, 3), mes);
            QCOMPARE(w->Ws.V(fila, 4), anio);
        }
    }

    void dialogoFechas_data()
    {
        QTest::addColumn<bool>("aceptar");
        QTest::addColumn<QString>("despues");
        QTest::newRow("aceptar") << true << "2011\t11\t125,5\n2011\t12\t131\n2012\t1\t128";
        QTest::newRow("cancelar") << false << "125,5\n131\n128";
    }

    void dialogoFechas()
    {
        QFETCH(bool, aceptar);
        QFETCH(QString, despues);
        Memo()->setPlainText(QStringLiteral("125,5\n131\n128"));

        // Twice: the second time the dialog opens on 2000 and 1 again.
        for (int vez = 0; vez < 2; ++vez) {
            QString titulo;
            int anioInicial = 0, mesInicial = 0;
            Responder([&](QWidget* m) {
                auto* d = qobject_cast<TFormSelecAM*>(m);
                if (!d)
                    return false;
                titulo = d->windowTitle();
                anioInicial = d->SEA->value();
                mesInicial = d->SEM->value();
                d->SEA->setValue(2011);
                d->SEM->setValue(11);
                (aceptar ? d->BBAceptar : d->BBCancelar)->click();
                return true;
            });
            w->AadircolumnasdeAoyMes1Click();
            QCOMPARE(titulo, QStringLiteral("Seleccione año y mes inicial"));
            QCOMPARE(anioInicial, 2000);
            QCOMPARE(mesInicial, 1);
            if (vez == 0)
                QCOMPARE(Memo()->toPlainText(), despues);
            Memo()->setPlainText(QStringLiteral("125,5\n131\n128"));
        }
        // Disposed of each time.
        QVERIFY(!w->findChild<TFormSelecAM*>());
    }

    void guardarEscribeTextoPlano_data()
    {
        QTest::addColumn<QString>("filtro");
        for (const QString& f : Rejilla::FiltrosExportacion())
            QTest::newRow(f.toUtf8().constData()) << f;
    }

    void guardarEscribeTextoPlano()
    {
        QFETCH(QString, filtro);
        const QString ruta = dir->filePath(QStringLiteral("datos.dat"));
        QVERIFY(EscribirFichero(ruta, "un contenido anterior mucho más largo que el nuevo\n"));
        // Lines as in the editor, the last one without a break of its own.
        Memo()->setPlainText(QStringLiteral("2000\t1\t125,5\n2000\t2\t131.0\n2000\t3\t128"));
        ResponderGuardar(ruta, filtro);
        w->Guardar1Click();
        // Each line ended by one line break, whatever the filter; old file replaced.
        QCOMPARE(Leer(ruta), QByteArray("2000\t1\t125,5\n2000\t2\t131.0\n2000\t3\t128\n"));
        QVERIFY(w->FicheroDatos.isEmpty());
    }

    void guardarCanceladoNoEscribe()
    {
        Memo()->setPlainText(QStringLiteral("1\n2\n"));
        VistoEnDialogo visto;
        ResponderGuardar(QString(), QString(), &visto);
        Control<QToolButton>(w, "ToolButton8")->click();
        QVERIFY(visto.visto);
        // The first time the dialog offers plain text.
        QCOMPARE(visto.filtro, QStringLiteral("Archivo de texto (*.txt)"));
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    }

    void guardarFalloMuestraError()
    {
        const QString ruta = dir->filePath(QStringLiteral("no/existe/datos.txt"));
        Memo()->setPlainText(QStringLiteral("1\n2\n"));
        ResponderGuardar(ruta);
        QString error, titulo;
        // The program's own warning dialog, not the toolkit's error box.
        ResponderAviso(&titulo, &error);
        w->Guardar1Click();
        QCOMPARE(titulo, QStringLiteral("Atención"));
        QVERIFY2(error.startsWith(QStringLiteral("No se pudo guardar el fichero")), qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("datos.txt")));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("1\n2\n"));
        QVERIFY(!QFileInfo::exists(ruta));
    }

    void dialogosEnCarpetaDeDatos()
    {
        // Two data files in two folders; a bare name lands next to the data file.
        const QString datosA = dir->filePath(QStringLiteral("a/serie.txt"));
        const QString datosB = dir->filePath(QStringLiteral("b/otra.txt"));
        for (const QString& f : {datosA, datosB})
            QVERIFY(QDir().mkpath(QFileInfo(f).absolutePath()) && EscribirFichero(f, "2000\t1\t5\n2000\t2\t6\n"));
        w->AbrirFichero(datosA);
        w->CargarDatos();
        VistoEnDialogo visto;
        Menu(*w, "AdvStringGridPrevision");
        ResponderGuardar(QStringLiteral("tabla"), QString(), &visto);
        Control<QAction>(w, "Exportartabla1")->trigger();
        QCOMPARE(visto.carpeta, QFileInfo(datosA).absolutePath());
        QVERIFY(QFileInfo::exists(dir->filePath(QStringLiteral("a/tabla.txt"))));

        // Another data file: both dialogs follow it, the chart's too.
        w->AbrirFichero(datosB);
        ResponderGuardar(QString(), QString(), &visto);
        w->Guardar1Click();
        QCOMPARE(visto.carpeta, QFileInfo(datosB).absolutePath());
        Menu(*w, "ChartP", "PopupMenuGraf");
        ResponderGuardar(QString(), QString(), &visto);
        Control<QAction>(w, "Exportargrfico1")->trigger();
        QCOMPARE(visto.carpeta, QFileInfo(datosB).absolutePath());
    }

    void exportarYGuardarCompartenDialogo()
    {
        Memo()->setPlainText(QStringLiteral("2000\t1\t5\n2000\t2\t6\n"));
        w->CargarDatos();

        // Export the forecast table as CSV through its pop-up menu.
        const QString csv = dir->filePath(QStringLiteral("tabla.csv"));
        Menu(*w, "AdvStringGridPrevision");
        ResponderGuardar(csv, QStringLiteral("Archivo separado por comas (*.csv)"));
        Control<QAction>(w, "Exportartabla1")->trigger();
        // One line per grid row, the headers first (by hand from the loaded rows),
        // after the byte-order mark; "," under the point of this test's locale.
        const QByteArray texto = Leer(csv);
        QVERIFY(texto.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lineas = texto.mid(3).split('\n');
        QCOMPARE(lineas.value(0).trimmed(), QString::fromUtf8("t,Año,Mes,Datos").toUtf8());
        QCOMPARE(lineas.value(1).trimmed(), QByteArray("1,2000,1,5"));
        QCOMPARE(lineas.value(2).trimmed(), QByteArray("2,2000,2,6"));

        // "Guardar" opens on the CSV filter with the last name, still writes the data text.
        const QString datos = dir->filePath(QStringLiteral("datos.csv"));
        VistoEnDialogo visto;
        ResponderGuardar(datos, QString(), &visto);
        w->Guardar1Click();
        QCOMPARE(visto.filtro, QStringLiteral("Archivo separado por comas (*.csv)"));
        QCOMPARE(visto.nombre, csv);
        QCOMPARE(Leer(datos), QByteArray("2000\t1\t5\n2000\t2\t6\n"));

        // The next export starts from an empty name; cancelling it writes nothing.
        VistoEnDialogo otra;
        ResponderGuardar(QString(), QString(), &otra);
        Menu(*w, "AdvSGErrAjuste");
        Control<QAction>(w, "Exportartabla1")->trigger();
        QVERIFY(otra.visto);
        QVERIFY(otra.nombre.isEmpty());
        QCOMPARE(otra.filtro, QStringLiteral("Archivo separado por comas (*.csv)"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), 2);
    }

    void extensionSegunFiltro_data()
    {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("por defecto") << QString() << "nuevo.txt";
        QTest::newRow("excel") << QStringLiteral("Excel (*.xls)") << "nuevo.xls";
        QTest::newRow("web") << QStringLiteral("Página web (*.html)") << "nuevo.html";
    }

    void extensionSegunFiltro()
    {
        QFETCH(QString, filtro);
        QFETCH(QString, esperado);
        Memo()->setPlainText(QStringLiteral("1\n"));
        ResponderGuardar(dir->filePath(QStringLiteral("nuevo")), filtro);
        w->Guardar1Click();
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{esperado});
    }

    void menuTablaPorRejilla_data()
    {
        QTest::addColumn<QString>("rejilla");
        QTest::addColumn<QStringList>("items");
        const QStringList cuatro = {"Exportar tabla", "Imprimir tabla", "Autoajustar", "Mostrar min max", "Copiar"};
        // The error tables also re-run the row the menu was opened on.
        QStringList cinco = cuatro;
        cinco.insert(3, QStringLiteral("Borrar tabla"));
        cinco << QStringLiteral("Aplicar esta configuración");
        QTest::newRow("previsión") << "AdvStringGridPrevision" << cuatro;
        QTest::newRow("C.E.") << "StringGridCE" << cuatro;
        QTest::newRow("ajuste") << "AdvSGErrAjuste" << cinco;
        QTest::newRow("acierto") << "AdvSGErrAcierto" << cinco;
    }

    void menuTablaPorRejilla()
    {
        QFETCH(QString, rejilla);
        QFETCH(QStringList, items);
        // Opened on each grid in turn, ending with the one under test, so a
        // stale visibility from the previous grid would show.
        for (const char* otra : {"AdvSGErrAjuste", "AdvStringGridPrevision"})
            Menu(*w, otra);
        auto* g = Tabla(qPrintable(rejilla));
        QCOMPARE(g->MenuContextual(), Control<QMenu>(w, "PopupMenuTabla"));
        ClicDerecho(g);
        QCOMPARE(Visibles(Control<QMenu>(w, "PopupMenuTabla")), items);
        QVERIFY(Control<QAction>(w, "Mostrarminmax1")->isCheckable());
        QVERIFY(!Control<QAction>(w, "Mostrarminmax1")->isChecked());
        Control<QMenu>(w, "PopupMenuTabla")->hide();
        // "Copiar" copies from the grid the menu opened on: its header row first.
        QApplication::clipboard()->clear();
        Control<QAction>(w, "Copiar1")->trigger();
        QString cabecera;
        for (int c = 0; c < g->ColCount(); ++c)
            cabecera += (c ? "\t" : "") + g->Celda(c, 0);
        QVERIFY(QApplication::clipboard()->text().startsWith(cabecera + "\n"));
    }

    void menuGraficoPorGrafico_data()
    {
        QTest::addColumn<QString>("grafico");
        QTest::addColumn<QStringList>("nombres");
        const QStringList base = {"Exportargrfico1", "Imprimir1", "Editargrfico1"};
        QTest::newRow("ChartP") << "ChartP" << (base + QStringList{"Modificarpuntosdehistrico1"});
        QTest::newRow("ChartPA") << "ChartPA" << base;
        QTest::newRow("ChartPC") << "ChartPC"
                                 << (base + QStringList{"Mostrarajuste1", "Eliminarseriescomparativas1",
                                                        "Eliminarestaserie1"});
        QTest::newRow("ChartCE") << "ChartCE" << base;
    }

    void menuGraficoPorGrafico()
    {
        QFETCH(QString, grafico);
        QFETCH(QStringList, nombres);
        for (const char* otro : {"ChartPC", "ChartP"})
            Menu(*w, otro, "PopupMenuGraf");
        auto* g = Control<Grafico>(w, qPrintable(grafico));
        QCOMPARE(g->Menu(), Control<QMenu>(w, "PopupMenuGraf"));
        ClicDerecho(g);
        QCOMPARE(Visibles(Control<QMenu>(w, "PopupMenuGraf"), true), nombres);
        QCOMPARE(Control<QAction>(w, "Exportargrfico1")->text(), QStringLiteral("Exportar"));
        QCOMPARE(Control<QAction>(w, "Imprimir1")->text(), QStringLiteral("Imprimir"));
        QCOMPARE(Control<QAction>(w, "Editargrfico1")->text(), QStringLiteral("Editar"));
        Control<QMenu>(w, "PopupMenuGraf")->hide();
    }

    void ordenMenuGrafico()
    {
        // In a new window the items keep their order and every chart opens the one menu.
        TFormMain otra;
        QStringList nombres;
        for (const QAction* a : Control<QMenu>(otra, "PopupMenuGraf")->actions())
            if (!a->isSeparator())
                nombres << a->objectName();
        QCOMPARE(nombres, (QStringList{"Exportargrfico1", "Imprimir1", "Editargrfico1", "Modificarpuntosdehistrico1",
                                       "Mostrarajuste1", "Eliminarseriescomparativas1", "Eliminarestaserie1"}));
        for (Grafico* g : {Control<Grafico>(otra, "ChartP"), Control<Grafico>(otra, "ChartPA"),
                           Control<Grafico>(otra, "ChartPC"), Control<Grafico>(otra, "ChartCE")})
            QCOMPARE(g->Menu(), Control<QMenu>(otra, "PopupMenuGraf"));
        // Opened on ChartPA, the menu leaves out the forecast chart's item.
        Menu(otra, "ChartPA", "PopupMenuGraf");
        QVERIFY(!Control<QAction>(otra, "Modificarpuntosdehistrico1")->isVisible());
    }

    void borrarYAutoajustarActuanSobreSuRejilla()
    {
        for (Rejilla* g : {Tabla("AdvSGErrAjuste"), Tabla("AdvSGErrAcierto")})
            Llenar(g, 1, QStringLiteral("H-W (0,15;0,25;0,35) T-12"), {123456.25, 2 * 123456.25, 3 * 123456.25});
        Menu(*w, "AdvSGErrAcierto");
        Control<QAction>(w, "Variartabla1")->trigger();
        // Only the grid the menu opened on is emptied: header and one empty row.
        QCOMPARE(Tabla("AdvSGErrAcierto")->RowCount(), 2);
        QVERIFY(Tabla("AdvSGErrAcierto")->Celda(0, 1).isEmpty());
        QCOMPARE(Tabla("AdvSGErrAcierto")->Celda(1, 0), QStringLiteral("MSE"));
        QCOMPARE(Tabla("AdvSGErrAjuste")->RowCount(), 4);

        Menu(*w, "AdvSGErrAjuste");
        const int antes = Tabla("AdvSGErrAjuste")->AnchoColumna(1);
        Control<QAction>(w, "Autoajustar1")->trigger();
        // "370368.75" does not fit in 50 pixels: fitting widens the column; the
        // label column fits its long labels too.
        auto* ajuste = Tabla("AdvSGErrAjuste");
        QVERIFY(ajuste->AnchoColumna(1) > antes);
        QVERIFY(ajuste->AnchoColumna(0) > ajuste->fontMetrics().horizontalAdvance(ajuste->Celda(0, 1)));
        // The forecast table's first column (t) keeps its width.
        auto* prevision = Tabla("AdvStringGridPrevision");
        const int t = prevision->AnchoColumna(0);
        Menu(*w, "AdvStringGridPrevision");
        Control<QAction>(w, "Autoajustar1")->trigger();
        QCOMPARE(prevision->AnchoColumna(0), t);
    }

    void coloresMinMax_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QColor>("colorMax");
        QTest::addColumn<QColor>("colorMin");
        const QColor rojo(235, 120, 152), verde(135, 237, 153);
        // Errors: the largest is the worst; benchmark shares: the largest is the best.
        QTest::newRow("MSE") << 1 << rojo << verde;
        QTest::newRow("LMR") << 9 << rojo << verde;
        QTest::newRow("PB") << 10 << verde << rojo;
        QTest::newRow("PBMSE") << 12 << verde << rojo;
        // Scaled errors: as the errors. The bias: best nearest 0, so neither
        // its largest nor its smallest value is marked.
        QTest::newRow("MASE") << 13 << rojo << verde;
        QTest::newRow("RMSSE") << 14 << rojo << verde;
        QTest::newRow("ME") << 15 << QColor() << QColor();
    }

    void coloresMinMax()
    {
        QFETCH(int, col);
        QFETCH(QColor, colorMax);
        QFETCH(QColor, colorMin);
        for (Rejilla* g : {Tabla("AdvSGErrAjuste"), Tabla("AdvSGErrAcierto")})
            Llenar(g, col, QStringLiteral("fila"), {5.0, 9.0, 1.0}); // max at row 2, min at row 3
        const auto fondo = [col](Rejilla* g, int fila) {
            return g->model()->index(fila - 1, col).data(Qt::BackgroundRole);
        };
        const auto resaltada = [&](Rejilla* g, int fila) { return fondo(g, fila).isValid(); };
        // Off at start.
        QVERIFY(!resaltada(Tabla("AdvSGErrAjuste"), 2));

        // Switched on from the menu of any grid: both error tables follow.
        Menu(*w, "StringGridCE");
        Control<QAction>(w, "Mostrarminmax1")->trigger();
        QVERIFY(Control<QAction>(w, "Mostrarminmax1")->isChecked());
        for (Rejilla* g : {Tabla("AdvSGErrAjuste"), Tabla("AdvSGErrAcierto")}) {
            if (colorMax.isValid()) {
                QCOMPARE(fondo(g, 2).value<QBrush>().color(), colorMax);
                QCOMPARE(fondo(g, 3).value<QBrush>().color(), colorMin);
            } else {
                QVERIFY(!resaltada(g, 2));
                QVERIFY(!resaltada(g, 3));
            }
            QVERIFY(!resaltada(g, 1));
        }
        // The forecast table is not an error table.
        QVERIFY(!Tabla("AdvStringGridPrevision")->MostrarMinMax());

        // And off again through the handler itself.
        Control<QAction>(w, "Mostrarminmax1")->trigger();
        QVERIFY(!Control<QAction>(w, "Mostrarminmax1")->isChecked());
        QVERIFY(!resaltada(Tabla("AdvSGErrAjuste"), 2));
        QVERIFY(!resaltada(Tabla("AdvSGErrAcierto"), 3));
    }

    void encabezadoAcierto()
    {
        const auto color = [](Rejilla* g, int col) {
            return g->model()->headerData(col, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color();
        };
        for (int c = 0; c < NumColumnasError; ++c) {
            QCOMPARE(color(Tabla("AdvSGErrAcierto"), c), QColor(118, 121, 243));
            QVERIFY(!Tabla("AdvSGErrAjuste")->model()->headerData(c, Qt::Horizontal, Qt::ForegroundRole).isValid());
        }
    }

    void vistasPreviasYEditor()
    {
        // The grid's preview, for the grid the menu opened on.
        Menu(*w, "AdvSGErrAjuste");
        DialogoVisto visto;
        CerrarDialogo(&visto);
        Control<QAction>(w, "Imprimirtabla1")->trigger();
        QCOMPARE(visto.titulo, QStringLiteral("Preview"));

        // The chart's print preview and its editor, modal over the main window.
        Menu(*w, "ChartPA", "PopupMenuGraf");
        for (const char* accion : {"Imprimir1", "Editargrfico1"}) {
            visto = {};
            CerrarDialogo(&visto);
            Control<QAction>(w, accion)->trigger();
            if (accion == QLatin1String("Imprimir1"))
                QVERIFY(visto.vistaPrevia);
            else
                QCOMPARE(visto.clase, QStringLiteral("tendora::GraficoEditor"));
            QCOMPARE(visto.dueno, w.get());
        }

        // The print margins: more room above and below on the forecast chart.
        QCOMPARE(Control<Grafico>(w, "ChartP")->MargenesImpresion(), QMarginsF(15, 22, 15, 22));
        QCOMPARE(Control<Grafico>(w, "ChartCE")->MargenesImpresion(), QMarginsF(15, 15, 15, 15));
    }

    void exportarGrafico()
    {
        w->resize(900, 700);
        w->show();
        Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGraficoCE"));
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        Menu(*w, "ChartCE", "PopupMenuGraf");
        // Cancelled: nothing written.
        ResponderGuardar(QString());
        Control<QAction>(w, "Exportargrfico1")->trigger();
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());

        // A name without extension becomes a PNG the size of the chart.
        ResponderGuardar(dir->filePath(QStringLiteral("grafico")));
        Control<QAction>(w, "Exportargrfico1")->trigger();
        const QString ruta = dir->filePath(QStringLiteral("grafico.png"));
        QVERIFY(QFileInfo::exists(ruta));
        QCOMPARE(Leer(ruta).left(4), QByteArray("\x89PNG"));
        const QImage imagen(ruta);
        QVERIFY(!imagen.isNull());
        QCOMPARE(imagen.size(), Control<Grafico>(w, "ChartCE")->size());
        // PNG first, then the formats for documents, the bitmap last.
        QCOMPARE(Control<QFileDialog>(w, "SavePictureDialog1")->nameFilters(),
                 (QStringList{"Imagen PNG (*.png)", "Imagen SVG (*.svg)", "Documento PDF (*.pdf)", "Bitmaps (*.bmp)"}));
    }

    // A typed extension the program knows chooses the format whatever the
    // file type box says; one it does not know is refused and writes nothing.
    void exportarSegunExtension_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QByteArray>("inicio"); // empty: refused
        const QString txt = QStringLiteral("Archivo de texto (*.txt)");
        const QString bmp = QStringLiteral("Bitmaps (*.bmp)");
        QTest::newRow(".xlsx with the text filter") << "AdvStringGridPrevision"
                                                    << "t.xlsx" << txt << QByteArray("PK\x03\x04");
        QTest::newRow(".CSV with the Excel filter")
            << "AdvStringGridPrevision"
            << "t.CSV" << QStringLiteral("Libro de Excel (*.xlsx)") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow(".htm") << "AdvStringGridPrevision"
                              << "t.htm" << txt << QByteArray("<!DOCTYPE html>");
        QTest::newRow(".ods refused") << "AdvStringGridPrevision"
                                      << "t.ods" << txt << QByteArray();
        QTest::newRow(".png with the bitmap filter") << "ChartP"
                                                     << "g.png" << bmp << QByteArray("\x89PNG");
        QTest::newRow(".svg") << "ChartP"
                              << "g.svg" << bmp << QByteArray("<?xml");
        QTest::newRow(".bmp") << "ChartP"
                              << "g.bmp" << QStringLiteral("Imagen PNG (*.png)") << QByteArray("BM");
        QTest::newRow(".jpg refused") << "ChartP"
                                      << "g.jpg" << bmp << QByteArray();
    }
    void exportarSegunExtension()
    {
        QFETCH(QString, control);
        QFETCH(QString, nombre);
        QFETCH(QString, filtro);
        QFETCH(QByteArray, inicio);
        w->resize(900, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Memo()->setPlainText(QStringLiteral("2000\t1\t5\n2000\t2\t6\n"));
        w->CargarDatos();
        const bool grafico = control == QLatin1String("ChartP");
        if (grafico)
            Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
        Menu(*w, qPrintable(control), grafico ? "PopupMenuGraf" : "PopupMenuTabla");
        const QString ruta = dir->filePath(nombre);
        ResponderGuardar(ruta, filtro);
        QString mensaje;
        if (inicio.isEmpty())
            ResponderMensaje(&mensaje);
        Control<QAction>(w, grafico ? "Exportargrfico1" : "Exportartabla1")->trigger();
        if (inicio.isEmpty()) {
            QVERIFY2(mensaje.startsWith(grafico ? QStringLiteral("No se ha exportado el gráfico: «.")
                                                : QStringLiteral("No se ha exportado la tabla: «.")),
                     qPrintable(mensaje));
            QVERIFY(mensaje.contains(QLatin1Char('.') + QFileInfo(nombre).suffix()));
            QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
            QVERIFY(!Estado().contains(QStringLiteral("exportad")));
        } else {
            QVERIFY2(Leer(ruta).startsWith(inicio), Leer(ruta).left(16).toHex().constData());
        }
    }

    // Leaving with a data text changed since it was opened or saved asks
    // first: "No" leaves it, "Cancelar" and a save cancelled keep the window,
    // "Sí" saves it through the save dialog; unchanged, or just saved, it
    // closes at once.
    void preguntarAlSalir_data()
    {
        QTest::addColumn<bool>("editar");
        QTest::addColumn<QString>("respuesta"); // empty: no question expected
        QTest::addColumn<bool>("guardarCancelado");
        QTest::addColumn<bool>("cierra");
        QTest::newRow("unchanged") << false << QString() << false << true;
        QTest::newRow("No") << true << "No" << false << true;
        QTest::newRow("Cancelar") << true << "Cancelar" << false << false;
        QTest::newRow("Sí") << true << QString::fromUtf8("Sí") << false << true;
        QTest::newRow("Sí, the save cancelled") << true << QString::fromUtf8("Sí") << true << false;
    }
    void preguntarAlSalir()
    {
        QFETCH(bool, editar);
        QFETCH(QString, respuesta);
        QFETCH(bool, guardarCancelado);
        QFETCH(bool, cierra);
        const QString datos = dir->filePath(QStringLiteral("serie.txt"));
        QVERIFY(EscribirFichero(datos, "2000\t1\t5\n2000\t2\t6\n"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->AbrirFichero(datos);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tendora — serie.txt"));
        if (editar) {
            Memo()->setFocus();
            Memo()->moveCursor(QTextCursor::End);
            QTest::keyClicks(Memo(), QStringLiteral("2000\t3\t7"));
            QCOMPARE(w->windowTitle(), QStringLiteral("Tendora — serie.txt*"));
        }
        QString pregunta;
        if (!respuesta.isEmpty())
            Responder([&pregunta, respuesta](QWidget* m) {
                auto* q = qobject_cast<QMessageBox*>(m);
                if (!q || q->objectName() != QLatin1String("PreguntaGuardar"))
                    return false;
                pregunta = q->text();
                for (QAbstractButton* b : q->buttons())
                    if (b->text() == respuesta)
                        b->click();
                return true;
            });
        const QString guardado = dir->filePath(QStringLiteral("guardado.txt"));
        if (respuesta == QString::fromUtf8("Sí"))
            ResponderGuardar(guardarCancelado ? QString() : guardado);
        // Ctrl+Q, as the user leaves.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_Q, Qt::ControlModifier);
        QTest::qWait(50);
        QCOMPARE(pregunta, respuesta.isEmpty() ? QString() : QStringLiteral("¿Guardar los cambios de los datos?"));
        QCOMPARE(!w->isVisible(), cierra);
        QCOMPARE(Leer(datos), QByteArray("2000\t1\t5\n2000\t2\t6\n"));
        if (respuesta == QString::fromUtf8("Sí") && !guardarCancelado)
            QCOMPARE(Leer(guardado), QByteArray("2000\t1\t5\n2000\t2\t6\n2000\t3\t7\n"));
        if (!cierra) {
            // Still there, with the edit; once saved, it closes without a word.
            QVERIFY(Memo()->toPlainText().endsWith(QStringLiteral("2000\t3\t7")));
            ResponderGuardar(guardado);
            w->Guardar1Click();
            QCOMPARE(w->windowTitle(), QStringLiteral("Tendora — serie.txt"));
            pregunta.clear();
            QVERIFY(w->close());
            QVERIFY(pregunta.isEmpty());
        }
    }

    void ayudaFalta()
    {
        w->DirPrograma = dir->path() + QLatin1Char('/');
        bool abierto = false;
        w->AbrirAyuda = [&](const QString&) { return abierto = true; };
        QString caption, texto;
        ResponderAviso(&caption, &texto);
        Control<QAction>(w, "Manualdeusuario1")->trigger();
        QCOMPARE(caption, QStringLiteral("Atención"));
        QCOMPARE(texto, QStringLiteral("No se encuentra el fichero de ayuda \"Tendora.html\". "
                                       "Debería estar ubicado en el directorio de instalación."));
        QVERIFY(!abierto);
    }

    void ayudaEncontradaDesdeOtroDirectorio()
    {
        // The manual is looked for next to the executable, not in the working folder.
        const QString antes = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        TFormMain otra;
        QDir::setCurrent(antes);
        QCOMPARE(QDir(otra.DirPrograma).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
        QVERIFY(otra.DirPrograma.endsWith(QLatin1Char('/')));

        const QFileInfo manual(dir->filePath(QStringLiteral("Tendora.html")));
        QVERIFY(EscribirFichero(manual.filePath(), "<!DOCTYPE html><title>Tendora</title>"));
        w->DirPrograma = dir->path() + QLatin1Char('/');
        QString abierto;
        w->AbrirAyuda = [&](const QString& ruta) {
            abierto = ruta;
            return true;
        };
        w->Manualdeusuario1Click();
        QCOMPARE(QFileInfo(abierto).canonicalFilePath(), manual.canonicalFilePath());

        // F1 with no program to show web pages: the user is told where the manual is.
        w->AbrirAyuda = [](const QString&) { return false; };
        QString caption, texto;
        ResponderAviso(&caption, &texto);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        QCOMPARE(caption, QStringLiteral("Atención"));
        QVERIFY2(texto.startsWith(QStringLiteral("No se ha podido abrir el manual")), qPrintable(texto));
        QVERIFY2(texto.contains(QDir::toNativeSeparators(manual.filePath())) ||
                     texto.contains(QDir::toNativeSeparators(manual.canonicalFilePath())),
                 qPrintable(texto));
    }

    void acercaDe()
    {
        // The long-lived box of the program start, shown modally as often as asked.
        w->AboutBox = new TAboutBox(w.get());
        for (int vez = 0; vez < 2; ++vez) {
            QWidget* visto = nullptr;
            Responder([&](QWidget* m) {
                if (!qobject_cast<TAboutBox*>(m))
                    return false;
                visto = m;
                qobject_cast<QDialog*>(m)->accept();
                return true;
            });
            Control<QAction>(w, "Acercade1")->trigger();
            QCOMPARE(visto, static_cast<QWidget*>(w->AboutBox));
        }
    }

private:
    QPlainTextEdit* Memo() const { return Control<QPlainTextEdit>(w, "Memo1"); }
    QString Estado() const { return Control<QLabel>(w, "LabelEstado")->text(); }
    Rejilla* Tabla(const char* nombre) const { return Control<Rejilla>(w, nombre); }

    std::unique_ptr<TFormMain> w;
    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(TstArchivo)
#include "tst_archivo.moc"
