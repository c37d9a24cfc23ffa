// SPDX-License-Identifier: GPL-3.0-or-later
// The status line of the main window after each command, and its reminder
// while the data text differs from the table loaded from it.
#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

const QString kCambiado = QStringLiteral("El texto de Datos ha cambiado: pulse Cargar");

QString Estado(const std::unique_ptr<TFormMain>& w)
{
    QStatusBar* barra = Control<QStatusBar>(w, "StatusBar1");
    return Control<QLabel>(barra, "LabelEstado")->text();
}

// 144 months from January 1949, the length of the classic airline series.
void Cargar144(const std::unique_ptr<TFormMain>& w, int reserva)
{
    Control<QPlainTextEdit>(w, "Memo1")
        ->setPlainText(Mensual(
            144, [](int i) { return 100 + (i % 12) * 3 + i; }, 1949));
    Control<QToolButton>(w, "TBTransferir")->click();
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
    Control<QToolButton>(w, "TBTransferir")->click(); // again, with the hold-out set
}

} // namespace

class TstEstado : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    // A window closed by deleting it while a spin edit holds an emptied text:
    // the edit settles its value as it goes, and the window, half destroyed
    // by then, must not hear of it.
    void borrarVentanaConEdicionVacia()
    {
        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Cargar144(w, 12);
        auto* reserva = Control<QSpinBox>(w, "SEPuntosSinUsar");
        Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
        reserva->setFocus();
        reserva->selectAll();
        QTest::keyClick(reserva, Qt::Key_Delete);
        QCOMPARE(reserva->text(), QString());
        Control<QToolButton>(w, "TBCalcular")->click();
        w.reset(); // the sanitizer build reports a call into the destroyed window
    }

    void textos_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("coma"); // the decimal mark expected in times and labels
        QTest::newRow("es_ES") << "es_ES" << QStringLiteral(",");
        QTest::newRow("C") << "C" << QStringLiteral(".");
    }

    void textos()
    {
        QFETCH(QString, locale);
        QFETCH(QString, coma);
        PonerLocale(locale != QLatin1String("C"));
        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(Estado(w), QString());

        // 144 months from January 1949 end in December 1960 (12 years, by hand).
        // A demand every month: ADI 1; CV² 0.053946 (R: population variance over
        // the squared mean).
        const QString regular = QStringLiteral(" Demanda regular (ADI 1") + coma + QStringLiteral("00; CV² 0") + coma +
                                QStringLiteral("05).");
        Cargar144(w, 12);
        QCOMPARE(Estado(w),
                 QStringLiteral("Cargados 144 registros, de enero de 1949 a diciembre de 1960; 12 sin usar.") +
                     regular);
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(0);
        Control<QToolButton>(w, "TBTransferir")->click();
        QCOMPARE(Estado(w),
                 QStringLiteral("Cargados 144 registros, de enero de 1949 a diciembre de 1960; ninguno sin usar.") +
                     regular);

        // The label as the fit table writes it (the page's start values 0.5), then the time.
        w->SesionActual.SeleccionarModelo(ItemHLT);
        Control<QToolButton>(w, "TBCalcular")->click();
        const QString m = QRegularExpression::escape(coma);
        const QString etiqueta = QStringLiteral("HLT (0,5;0,5)").replace(QLatin1Char(','), coma);
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(0, 1), etiqueta);
        const QRegularExpression calculado(QLatin1Char('^') +
                                           QRegularExpression::escape(QStringLiteral("Calculado ") + etiqueta) +
                                           QStringLiteral(" en \\d+(%1\\d+)? ms$").arg(m));
        QVERIFY2(calculado.match(Estado(w)).hasMatch(), qPrintable(Estado(w)));
        // However short, a run never reads as taking no time (two significant digits).
        QVERIFY2(!Estado(w).endsWith(QStringLiteral(" en 0 ms")), qPrintable(Estado(w)));

        // Every model of the catalogue (twelve) runs; none fails on this series.
        Mensajes respuestas;
        Control<QAction>(w, "Aplicartodoslosmtodos1")->trigger();
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^Aplicar todos los métodos: 12 pasos, 0 fallidos, en \\d+(%1\\d+)? m?s$").arg(m))
                     .match(Estado(w))
                     .hasMatch(),
                 qPrintable(Estado(w)));
        QVERIFY2(!Estado(w).endsWith(QStringLiteral(" en 0 s")) && !Estado(w).endsWith(QStringLiteral(" en 0 ms")),
                 qPrintable(Estado(w)));

        // A failed calculation claims nothing: no window longer than the 144 months.
        w->SesionActual.SeleccionarModelo(ItemMMS);
        Control<QSpinBox>(w, "SEN")->setValue(145);
        Control<QToolButton>(w, "TBCalcular")->click();
        QCOMPARE(respuestas.textos.size(), 1);
        QCOMPARE(Estado(w), QString());
    }

    void textoDatosCambiado()
    {
        PonerLocale(true);
        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Cargar144(w, 0);
        const QString cargados = Estado(w);
        auto* memo = Control<QPlainTextEdit>(w, "Memo1");
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, QStringLiteral("1961\t1\t500"));
        QCOMPARE(Estado(w), kCambiado);

        // Calcular keeps using the loaded table: still 144 months.
        w->SesionActual.SeleccionarModelo(ItemNVS);
        Control<QToolButton>(w, "TBCalcular")->click();
        QCOMPARE(w->Ws.TotalDatos, 144);
        QVERIFY(Estado(w).startsWith(QStringLiteral("Calculado NVS ()")));
        // Editing again brings the reminder back; undoing every edit clears it.
        QTest::keyClick(memo, Qt::Key_0);
        QCOMPARE(Estado(w), kCambiado);
        while (memo->document()->isUndoAvailable() && memo->toPlainText().size() > 0 && Estado(w) == kCambiado)
            memo->undo();
        QVERIFY2(Estado(w).startsWith(QStringLiteral("Calculado NVS ()")), qPrintable(Estado(w)));

        // Loading the edited text takes it in: 145 months up to January 1961.
        QTest::keyClicks(memo, QStringLiteral("1961\t1\t500"));
        Control<QToolButton>(w, "TBTransferir")->click();
        // CV² 0.070807 with 500 added (R, as above).
        QCOMPARE(Estado(w), QStringLiteral("Cargados 145 registros, de enero de 1949 a enero de 1961; ninguno sin "
                                           "usar. Demanda regular (ADI 1,00; CV² 0,07)."));
    }

    void ficheros()
    {
        PonerLocale(false);
        QTemporaryDir dir;
        std::unique_ptr<TFormMain> w(CrearVentanas());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        Cargar144(w, 0);

        ResponderGuardar(dir.filePath(QStringLiteral("serie.txt")));
        Control<QAction>(w, "Guardar1")->trigger();
        QCOMPARE(Estado(w), QStringLiteral("Datos guardados en serie.txt"));

        // A save that fails says nothing of a save.
        {
            ResponderGuardar(dir.filePath(QStringLiteral("no/existe/otra.txt")));
            Mensajes respuestas;
            Control<QAction>(w, "Guardar1")->trigger();
            QCOMPARE(respuestas.textos.size(), 1);
            QCOMPARE(Estado(w), QStringLiteral("Datos guardados en serie.txt"));
        }

        ClicDerecho(Control<Rejilla>(w, "AdvStringGridPrevision"));
        Control<QMenu>(w, "PopupMenuTabla")->hide();
        ResponderGuardar(dir.filePath(QStringLiteral("tabla.txt")));
        Control<QAction>(w, "Exportartabla1")->trigger();
        QCOMPARE(Estado(w), QStringLiteral("Tabla exportada a tabla.txt"));

        ClicDerecho(Control<Grafico>(w, "ChartP"));
        Control<QMenu>(w, "PopupMenuGraf")->hide();
        ResponderGuardar(dir.filePath(QStringLiteral("grafico.png")));
        Control<QAction>(w, "Exportargrfico1")->trigger();
        QCOMPARE(Estado(w), QStringLiteral("Gráfico exportado a grafico.png"));

        w->AbrirFichero(dir.filePath(QStringLiteral("serie.txt")));
        QCOMPARE(Estado(w), QStringLiteral("Abierto serie.txt: pulse Cargar para usar sus datos"));

        QFile csv(dir.filePath(QStringLiteral("ventas.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("2020-01;5\n2020-02;6\n") > 0);
        csv.close();
        const auto responderImportar = [](bool aceptar) {
            Responder([aceptar](QWidget* d) {
                if (d->objectName() != QLatin1String("FormImportar"))
                    return false;
                Control<QAbstractButton>(d, aceptar ? "BBAceptar" : "BBCancelar")->click();
                return true;
            });
        };
        // Cancelled, the import claims nothing.
        responderImportar(false);
        w->ImportarFichero(csv.fileName());
        QCOMPARE(Estado(w), QStringLiteral("Abierto serie.txt: pulse Cargar para usar sus datos"));
        responderImportar(true);
        w->ImportarFichero(csv.fileName());
        QCOMPARE(Estado(w), QStringLiteral("Importado ventas.csv: pulse Cargar para usar sus datos"));
        QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("2020\t1\t5\n2020\t2\t6\n"));
    }
};

QTEST_MAIN(TstEstado)
#include "tst_estado.moc"
