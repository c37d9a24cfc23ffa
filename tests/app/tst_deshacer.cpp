// SPDX-License-Identifier: GPL-3.0-or-later
// "Edición": every command that changes or discards the user's work undone
// and redone through the menu, the window checked whole each time.
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/MainUnit.h"
#include "ui/Grafico.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"
#include "AyudasTrabajo.h"

using namespace tendora;
using namespace prueba;

namespace {

// A history point of the forecast chart dragged up with the mouse.
void Arrastrar(const Ventana& w)
{
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    auto* p = Control<Grafico>(w, "ChartP");
    Control<QAction>(w, "Modificarpuntosdehistrico1")->setChecked(true);
    QTest::qWait(50);
    SerieGrafico* datos = p->Serie(QStringLiteral("SeriesDatos"));
    const PuntoGrafico punto = datos->Puntos()[10];
    const QPoint desde = p->mapFromScene(
        p->chart()->mapToScene(p->chart()->mapToPosition(QPointF(punto.x, punto.y), datos->SeriesQt().constFirst())));
    QWidget* vista = p->viewport();
    QTest::mousePress(vista, Qt::LeftButton, {}, desde);
    QTest::mouseMove(vista, desde + QPoint(0, -20));
    QTest::mouseMove(vista, desde + QPoint(0, -40));
    QTest::mouseRelease(vista, Qt::LeftButton, {}, desde + QPoint(0, -40));
}

} // namespace

class TstDeshacer : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { PonerLocale(false); }

    void ordenes_data()
    {
        QTest::addColumn<bool>("coma");
        QTest::addColumn<QString>("orden");
        for (bool coma : {true, false})
            for (const char* o :
                 {"Cargar", "Cargar con huecos", "Mover punto", "Borrar tabla", "Borrar información sobre errores",
                  "Eliminar series comparativas", "Abrir", "Importar"})
                QTest::addRow("%s: %s", coma ? "es_ES" : "C", o) << coma << QString::fromUtf8(o);
    }
    // Each command changes the window; "Deshacer" gives back what was there,
    // "Rehacer" what the command left, and again.
    void ordenes()
    {
        QFETCH(bool, coma);
        QFETCH(QString, orden);
        PonerLocale(coma);
        QTemporaryDir dir;
        Ventana w = Trabajo(kSerie);
        QVERIFY(w);
        // A load reads the text as the user left it: edited first.
        auto* memo = Control<QPlainTextEdit>(w, "Memo1");
        if (orden == QStringLiteral("Cargar"))
            memo->setPlainText(
                memo->toPlainText().replace(QStringLiteral("2015\t1\t105\n"), QStringLiteral("2015\t1\t95\n")));
        if (orden == QStringLiteral("Cargar con huecos")) // two months taken out
            memo->setPlainText(memo->toPlainText().remove(QStringLiteral("2015\t3\t115\n2015\t4\t120\n")));
        QVERIFY(memo->toPlainText() != kSerie || !orden.startsWith(QStringLiteral("Cargar")));
        const QStringList antes = Vista(w);
        // The first load of the window is a level of its own.
        const QString previo = Control<QAction>(w, "Deshacer1")->text();
        QCOMPARE(previo, QStringLiteral("&Deshacer Cargar"));

        if (orden == QStringLiteral("Cargar")) {
            Control<QToolButton>(w, "TBTransferir")->click();
        } else if (orden == QStringLiteral("Cargar con huecos")) {
            // Filled on the line between their neighbours.
            Responder([](QWidget* m) {
                auto* b = m->findChild<QAbstractButton*>(QStringLiteral("BotonInterpolar"));
                if (!b)
                    return false;
                b->click();
                return true;
            });
            Control<QToolButton>(w, "TBTransferir")->click();
            QCOMPARE(memo->toPlainText(), kSerie);
            QCOMPARE(w->SesionActual.Datos().TotalDatos, 60);
            orden = QStringLiteral("Cargar");
        } else if (orden == QStringLiteral("Mover punto")) {
            Arrastrar(w);
        } else if (orden == QStringLiteral("Borrar tabla")) {
            Menu(w, "TabSheetErrAjuste", "AdvSGErrAjuste", "PopupMenuTabla", "Variartabla1");
        } else if (orden == QStringLiteral("Borrar información sobre errores")) {
            Pulsar(w, "Borrarinformacinsobreerrores1");
        } else if (orden == QStringLiteral("Eliminar series comparativas")) {
            Menu(w, "TabSheetGraficoComp", "ChartPC", "PopupMenuGraf", "Eliminarseriescomparativas1");
        } else if (orden == QStringLiteral("Abrir")) {
            const QString ruta = dir.filePath(QStringLiteral("otra.txt"));
            QVERIFY(EscribirFichero(ruta, "2001\t1\t5\n2001\t2\t6\n"));
            w->AbrirFichero(ruta);
        } else {
            const QString ruta = dir.filePath(QStringLiteral("otra.csv"));
            QVERIFY(EscribirFichero(ruta, "Fecha;Ventas\n2020-01;7\n2020-02;8\n"));
            Responder([](QWidget* m) {
                if (m->objectName() != QLatin1String("FormImportar"))
                    return false;
                m->findChild<QPushButton*>(QStringLiteral("BBAceptar"))->click();
                return true;
            });
            w->ImportarFichero(ruta);
        }
        QTest::qWait(1);
        const QStringList despues = Vista(w);
        QVERIFY2(despues != antes, qPrintable(orden));
        QCOMPARE(Control<QAction>(w, "Deshacer1")->text(), QStringLiteral("&Deshacer ") + orden);

        for (int vuelta = 0; vuelta < 2; ++vuelta) {
            Pulsar(w, "Deshacer1");
            QCOMPARE(Vista(w), antes);
            QCOMPARE(Control<QAction>(w, "Deshacer1")->text(), previo);
            Pulsar(w, "Rehacer1");
            QCOMPARE(Vista(w), despues);
            QVERIFY(!Control<QAction>(w, "Rehacer1")->isEnabled());
        }
        // The chart of comparison series still paints after all of it.
        Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGraficoComp"));
        QTest::qWait(20);
    }

    // Runs made after a command are not lost by undoing it: redo brings them back.
    void corridasPosteriores()
    {
        Ventana w = Trabajo(kSerie);
        QVERIFY(w);
        Pulsar(w, "Borrarinformacinsobreerrores1");
        Pulsar(w, "Caluclarprevisin1");
        Pulsar(w, "Caluclarprevisin1");
        const QStringList con = Vista(w);
        Pulsar(w, "Deshacer1");
        QCOMPARE(w->SesionActual.Corridas().Tamano(), 3); // the three of Trabajo
        Pulsar(w, "Rehacer1");
        QCOMPARE(Vista(w), con);
        // Back to before the first load: no history, nothing drawn, the text kept.
        while (Control<QAction>(w, "Deshacer1")->isEnabled())
            Pulsar(w, "Deshacer1");
        QVERIFY(!w->SesionActual.DatosCargados());
        QVERIFY(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(1, 1).isEmpty());
        QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), kSerie);
        for (const char* pagina : {"TabSheetGrafico", "TabSheetGraficoAcum", "TabSheetGraficoComp"}) {
            Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, pagina));
            QTest::qWait(20);
        }
        Pulsar(w, "Rehacer1");
        QVERIFY(w->SesionActual.DatosCargados());
    }

    // At least twenty levels, through the keys; a command that changes
    // nothing leaves no level.
    void niveles()
    {
        Ventana w = Trabajo(kSerie);
        QVERIFY(w);
        auto* memo = Control<QPlainTextEdit>(w, "Memo1");
        QStringList textos{memo->toPlainText()};
        for (int k = 1; k <= 25; ++k) {
            QString t = textos.constFirst();
            t.replace(QLatin1String("2015\t1\t100\n"), QStringLiteral("2015\t1\t%1\n").arg(200 + k));
            memo->setPlainText(t);
            Control<QToolButton>(w, "TBTransferir")->click();
            textos << t;
        }
        Control<QToolButton>(w, "TBTransferir")->click(); // the same text again: nothing to undo
        Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
        w->activateWindow();
        QWidget* foco = Control<QWidget>(w, "PageControl1");
        foco->setFocus();
        for (int k = 25; k >= 25 - 20; --k) {
            QCOMPARE(memo->toPlainText(), textos[k]);
            QTest::keyClick(foco, Qt::Key_Z, Qt::ControlModifier);
        }
        QCOMPARE(memo->toPlainText(), textos[4]);
        QTest::keyClick(foco, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(memo->toPlainText(), textos[5]);
    }
};

QTEST_MAIN(TstDeshacer)
#include "tst_deshacer.moc"
