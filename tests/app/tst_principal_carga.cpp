// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the data text into the main window: reading records and numbers,
// the series name, the split, failed loads and dating.
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <cstring>

#include "data/Carga.h"
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

QString Serie(int n, int anio = 2000, int mes = 1)
{
    const auto valor = [](int i) { return 100 + (i - 1); };
    return Mensual(n, valor, anio, mes);
}

} // namespace

class TstPrincipalCarga : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void registros_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("registros");
        QTest::addColumn<double>("ultimo");
        for (const char* l : {"es_ES", "C"}) {
            const QString loc = QLatin1String(l);
            QTest::addRow("%s comma and point", l)
                << loc << "2000\t1\t125,5\n2000\t2\t131.0\n2000\t3\t128" << 3 << 128.0;
            QTest::addRow("%s fourth field ignored", l) << loc << "2000\t1\t125,5\ttexto" << 1 << 125.5;
            QTest::addRow("%s no final break", l) << loc << "2000\t1\t7" << 1 << 7.0;
            QTest::addRow("%s one final break", l) << loc << "2000\t1\t7\n" << 1 << 7.0;
            QTest::addRow("%s CR LF", l) << loc << "2000\t1\t7\r\n2000\t2\t8\r\n" << 2 << 8.0;
            QTest::addRow("%s CR", l) << loc << "2000\t1\t7\r2000\t2\t9\r" << 2 << 9.0;
            QTest::addRow("%s mixed breaks", l) << loc << "2000\t1\t7\r\n2000\t2\t8\r2000\t3\t9\n2000\t4\t10\r\n"
                                                << 4 << 10.0;
            QTest::addRow("%s exponent comma", l) << loc << "2000\t1\t3,0e2" << 1 << 300.0;
            QTest::addRow("%s exponent point", l) << loc << "2000\t1\t3.0e2" << 1 << 300.0;
            // The largest and smallest dates an int holds still load.
            QTest::addRow("%s year and month at the int limits", l)
                << loc << "2000\t1\t7\n2147483647\t-2147483648\t8" << 2 << 8.0;
            // Failures: -1 registers.
            QTest::addRow("%s two final breaks", l) << loc << "2000\t1\t7\n\n" << -1 << 0.0;
            QTest::addRow("%s two fields", l) << loc << "2000\t1" << -1 << 0.0;
            QTest::addRow("%s header", l) << loc << "Año\tMes\tValor\n2000\t1\t7" << -1 << 0.0;
            QTest::addRow("%s empty middle line", l) << loc << "2000\t1\t7\n\n2000\t2\t8" << -1 << 0.0;
            QTest::addRow("%s CR then LF apart", l) << loc << "2000\t1\t7\r\r\n" << -1 << 0.0;
            QTest::addRow("%s only a break", l) << loc << "\n" << -1 << 0.0;
            QTest::addRow("%s grouped thousands", l) << loc << "2000\t1\t1.234,5" << -1 << 0.0;
            QTest::addRow("%s nan", l) << loc << "2000\t1\tnan" << -1 << 0.0;
            QTest::addRow("%s binary", l) << loc << QString::fromLatin1("\x01\x02\xff\x7f garbage") << -1 << 0.0;
        }
    }

    void registros()
    {
        QFETCH(QString, locale);
        QFETCH(QString, texto);
        QFETCH(int, registros);
        QFETCH(double, ultimo);
        QLocale::setDefault(QLocale(locale));
        if (registros < 0) {
            QVERIFY_THROWS_EXCEPTION(ErrorConversion, LeerRegistros(texto));
        } else {
            const auto r = LeerRegistros(texto);
            QCOMPARE(int(r.size()), registros);
            QCOMPARE(r.back().Valor, ultimo);
            QCOMPARE(r.front().Anio, 2000.0);
            QCOMPARE(r.front().Mes, 1.0);
        }
    }

    void textoAReal_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<double>("valor"); // NaN: fails
        const double falla = std::nan("");
        for (const char* l : {"es_ES", "C"}) {
            const QString loc = QLatin1String(l);
            QTest::addRow("%s 125,5", l) << loc << "125,5" << 125.5;
            QTest::addRow("%s 125.5", l) << loc << "125.5" << 125.5;
            QTest::addRow("%s 3,0e2", l) << loc << "3,0e2" << 300.0;
            QTest::addRow("%s -0,25", l) << loc << "-0,25" << -0.25;
            QTest::addRow("%s 1.234,5", l) << loc << "1.234,5" << falla;
            QTest::addRow("%s empty", l) << loc << "" << falla;
            QTest::addRow("%s inf", l) << loc << "inf" << falla;
            QTest::addRow("%s 1e400", l) << loc << "1e400" << falla;
        }
    }

    void textoAReal()
    {
        QFETCH(QString, locale);
        QFETCH(QString, texto);
        QFETCH(double, valor);
        QLocale::setDefault(QLocale(locale));
        if (std::isnan(valor)) {
            try {
                TextoAReal(texto);
                QFAIL("expected a conversion error");
            } catch (const ErrorConversion& e) {
                QVERIFY(QString::fromUtf8(e.what()).endsWith(QStringLiteral("' is not a valid floating point value")));
            }
        } else {
            QCOMPARE(TextoAReal(texto), valor);
        }
    }

    void registrosComoTextoAReal_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* loc : {"es_ES", "C"})
            QTest::newRow(loc) << QString::fromLatin1(loc);
    }

    // The load reads its fields with its own converter; every text must come out
    // as the one number helper reads it (same bits), or fail with its message.
    void registrosComoTextoAReal()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        // Split on "|": the empty text is one of them.
        const QStringList textos =
            QStringLiteral(
                "125,5|125.5|0,1|0.1|-3|-0|-0,0|0|007|0,30000000000000004| 12 "
                "|123456789012345678901234567890|1,7976931348623157e308|0,000000000000000000000001|+5|3,0e2|12,|"
                ",5|1.234,5|1,234.5|1 234||abc|5-|--5|9007199254740993|2,5e-3")
                .split(QLatin1Char('|'));
        for (const QString& t : textos) {
            // As the value field, and as the year, which reads with the system's own mark only.
            for (int campo : {3, 1}) {
                const QString linea = campo == 3 ? QStringLiteral("2000\t1\t") + t : t + QStringLiteral("\t1\t5");
                QString esperado, obtenido;
                double v = 0, r = 0;
                try {
                    v = campo == 3 ? TextoAReal(t) : TextoANumero(t);
                } catch (const ErrorConversion& e) {
                    esperado = QString::fromUtf8(e.what());
                }
                // A year that converts but no int holds is then refused as a date.
                if (campo == 1 && esperado.isEmpty() && !(v >= -2147483648.0 && v <= 2147483647.0)) {
                    esperado = QStringLiteral("El año «%1» no es posible: se esperaba un número entre -2147483648 y "
                                              "2147483647.")
                                   .arg(t.trimmed());
                    v = 0;
                }
                try {
                    const auto registros = LeerRegistros(linea);
                    r = campo == 3 ? registros.at(0).Valor : registros.at(0).Anio;
                } catch (const ErrorConversion& e) {
                    obtenido = QString::fromUtf8(e.what()).section(QLatin1Char('\n'), 0, 0);
                }
                QVERIFY2(obtenido == esperado, qPrintable(t + QStringLiteral(": ") + obtenido));
                QVERIFY2(std::memcmp(&v, &r, sizeof v) == 0, qPrintable(t));
            }
        }
    }

    void extraerCampo()
    {
        const QString linea = QStringLiteral("2000\t1\t125,5\tx");
        QCOMPARE(ExtraerCampo(linea, 1), QStringLiteral("2000"));
        QCOMPARE(ExtraerCampo(linea, 3), QStringLiteral("125,5"));
        QCOMPARE(ExtraerCampo(linea, 4), QStringLiteral("x"));
        QCOMPARE(ExtraerCampo(linea, 5), QString());
        QCOMPARE(ExtraerCampo(QStringLiteral(" 2000 \t1"), 1), QStringLiteral(" 2000 ")); // no trimming
        QCOMPARE(ExtraerCampo(QStringLiteral("sin tabs"), 1), QStringLiteral("sin tabs"));
    }

    void nombreSerie_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("ventas") << "/datos/ventas.txt"
                                << "ventas";
        QTest::newRow("four chars") << "/datos/.txt"
                                    << "";
        QTest::newRow("three chars") << "/x/a.t"
                                     << "";
        QTest::newRow("five chars") << "/x/a.txt"
                                    << "a";
    }

    void nombreSerie()
    {
        QFETCH(QString, ruta);
        QFETCH(QString, nombre);
        QCOMPARE(NombreSerieDe(ruta), nombre);
    }

    void decodificacion()
    {
        QCOMPARE(DecodificarTexto(QByteArray("a\xc3\xb1o")), QStringLiteral("año"));
        // Invalid UTF-8 reads as Latin-1 instead of failing.
        QCOMPARE(DecodificarTexto(QByteArray("a\xf1o")), QStringLiteral("año"));
    }

    void carga24ConReserva()
    {
        TFormMain w;
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(24, 2010, 3));
        w.CargarDatos();
        QCOMPARE(w.Ws.TotalDatos, 24);
        QCOMPARE(w.Ws.NumDatos, 18);
        QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->maximum(), 23);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->RowCount(), 19);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(0, 18), QStringLiteral("18"));
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(3, 18), QStringLiteral("117"));
        QVERIFY(w.Ws.DatosCargados);
        // Held-out rows are in the table, with their dates.
        QCOMPARE(w.Ws.V(24, 4), 123.0);
        QCOMPARE(w.Ws.V(24, 2), 2012.0);
        QCOMPARE(w.Ws.V(24, 3), 2.0);
        QCOMPARE(w.Ws.AnioActual, 2012.0);
        QVERIFY(w.Ws.Filas() >= 24 + 1);

        // A changed hold-out moves the split only.
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(2);
        QCOMPARE(w.Ws.NumDatos, 22);
        QCOMPARE(w.Ws.TotalDatos, 24);
    }

    void cargaFallidaNoCambiaNada_data()
    {
        QTest::addColumn<QString>("malo");
        QTest::addColumn<int>("linea");
        QTest::addColumn<QString>("primera"); // first line of the message, worked out by hand
        const QString sufijo = QStringLiteral("' is not a valid floating point value");
        QTest::newRow("header") << "Año\tMes\tValor\n2000\t1\t5" << 1 << "'Año" + sufijo;
        QTest::newRow("two fields") << "2000\t1\t5\n2000\t2" << 2 << "'" + sufijo;
        // The second try swaps the first comma for a point; that text is named.
        QTest::newRow("grouped") << "2000\t1\t5\n2000\t2\t6\n2000\t3\t1.234,5" << 3 << "'1.234.5" + sufijo;
        // A binary file: control characters escaped, a NUL no longer ends the message.
        QTest::newRow("binary") << QString::fromLatin1(QByteArray("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 16)) << 1
                                << "'\\x89PNG" + sufijo;
        QTest::newRow("NUL in a value") << QString::fromLatin1(QByteArray("2000\t1\t12\x00"
                                                                          "3\n",
                                                                          11))
                                        << 1 << "'12\\x003" + sufijo;
        QTest::newRow("long text cut") << "2000\t1\t5\n2000\t2\t" + QString(60, QLatin1Char('x')) << 2
                                       << "'" + QString(40, QLatin1Char('x')) + QChar(0x2026) + sufijo;
        QTest::newRow("CR line breaks") << "2000\t1\t5\r2000\t2\t6\r2000\t3\tseis\r" << 3 << "'seis" + sufijo;
        // Dates no int holds: 2^31 and one below -2^31 (the limits of a 32-bit int, by hand).
        const QString limites = QStringLiteral(" no es posible: se esperaba un número entre -2147483648 y 2147483647.");
        QTest::newRow("year 2^31") << "2000\t1\t5\n2147483648\t2\t6" << 2 << "El año «2147483648»" + limites;
        QTest::newRow("month below -2^31") << "2000\t-2147483649\t5" << 1 << "El mes «-2147483649»" + limites;
        QTest::newRow("year 1e300") << "2000\t1\t5\n2000\t2\t6\r\n 1e300\t3\t7" << 3 << "El año «1e300»" + limites;
        // Not numbers at all, though the locale's conversion takes them.
        QTest::newRow("year inf") << "inf\t1\t5" << 1 << "'inf" + sufijo;
        QTest::newRow("month nan") << "2000\tnan\t5" << 1 << "'nan" + sufijo;
        QTest::newRow("value -inf") << "2000\t1\t-inf" << 1 << "'-inf" + sufijo;
    }

    void cargaFallidaNoCambiaNada()
    {
        QFETCH(QString, malo);
        QFETCH(int, linea);
        QFETCH(QString, primera);
        for (const QLocale& region : {QLocale(QLocale::Spanish, QLocale::Spain), QLocale::c()}) {
            QLocale::setDefault(region);
            TFormMain w;
            Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(30));
            w.CargarDatos();
            const auto tabla = w.Ws.TablaPrev;
            Control<QPlainTextEdit>(w, "Memo1")->setPlainText(malo);
            QVERIFY_THROWS_EXCEPTION(ErrorConversion, w.CargarDatos());
            QCOMPARE(w.Ws.TotalDatos, 30);
            QCOMPARE(w.Ws.NumDatos, 30);
            QVERIFY(w.Ws.TablaPrev == tabla);
            QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->RowCount(), 31);
            QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->maximum(), 29);

            // Through the menu the error reaches the standard error display, in two
            // readable lines, and the user is left on the line to mend.
            Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
            Control<QPlainTextEdit>(w, "Memo1")->moveCursor(QTextCursor::End);
            QString texto;
            bool critico = false;
            QTimer::singleShot(0, [&] {
                if (auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    critico = mb->icon() == QMessageBox::Critical;
                    texto = mb->text();
                    mb->accept();
                }
            });
            w.Transferiratabladeprevisin1Click();
            QVERIFY(critico);
            QCOMPARE(texto, primera + QStringLiteral("\nLínea %1 del texto de Datos.").arg(linea));
            QCOMPARE(Control<QTabWidget>(w, "PageControl1")->currentWidget(), Control<QWidget>(w, "TabSheetDatos"));
            const QString antes = Control<QPlainTextEdit>(w, "Memo1")
                                      ->toPlainText()
                                      .left(Control<QPlainTextEdit>(w, "Memo1")->textCursor().position());
            QCOMPARE(int(antes.count(QLatin1Char('\n')) + antes.count(QLatin1Char('\r'))) -
                         int(antes.count(QLatin1String("\r\n"))),
                     linea - 1);
            QVERIFY(antes.isEmpty() || antes.endsWith(QLatin1Char('\n')) || antes.endsWith(QLatin1Char('\r')));
        }
    }

    void cargaDesbordadaNoCambiaNada()
    {
        // 36 values of 1e308 read well, but their running sum (the cumulative
        // chart) overflows at the second: the load is refused before anything changes.
        TFormMain w;
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(30));
        Control<QToolButton>(w, "TBTransferir")->click();
        w.SesionActual.SeleccionarModelo(ItemLES);
        Control<QToolButton>(w, "TBCalcular")->click();
        Control<QToolButton>(w, "TBComparar")->click();
        const auto tabla = w.Ws.TablaPrev;
        const QString celda = Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(4, 30);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->RowCount(), 37);
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 2);
        QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 2);

        QString grande;
        for (int i = 0; i < 36; ++i)
            grande += QStringLiteral("%1\t%2\t1e308\n").arg(2001 + i / 12).arg(i % 12 + 1);
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(grande);
        QString texto;
        ResponderMensaje(&texto);
        Control<QToolButton>(w, "TBTransferir")->click();
        QCOMPARE(texto, QStringLiteral("La suma acumulada de los datos desborda en la línea 2 del texto de Datos: los "
                                       "valores son demasiado grandes para representarlos."));
        QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->textCursor().blockNumber(), 1);
        QVERIFY(w.Ws.TablaPrev == tabla);
        QCOMPARE(w.Ws.TotalDatos, 30);
        QCOMPARE(w.Ws.NumDatos, 24);
        QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->maximum(), 29);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->RowCount(), 37);
        QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(4, 30), celda);
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 2);
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 2);
        QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 2);
        QCOMPARE(Control<Grafico>(w, "ChartP")->Serie("SeriesDatos")->count(), 30);

        // Calcular goes on with the data that were loaded, without a message.
        bool mensaje = false;
        QTimer::singleShot(0, &w, [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                mensaje = true;
                d->reject();
            }
        });
        Control<QToolButton>(w, "TBCalcular")->click();
        QVERIFY(!mensaje);
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 3);
        QVERIFY(w.Ws.TablaPrev == tabla);

        // One value of 1e308 loads: its sum is finite.
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("2000\t1\t1e308\n2000\t2\t5\n"));
        Control<QToolButton>(w, "TBTransferir")->click();
        QCOMPARE(w.Ws.TotalDatos, 2);
        QCOMPARE(w.Ws.V(1, 4), 1e308);
    }

    void textoVacio()
    {
        TFormMain w;
        QString titulo, texto;
        ResponderAviso(&titulo, &texto);
        w.CargarDatos();
        QCOMPARE(titulo, QStringLiteral("Información"));
        QCOMPARE(texto, QStringLiteral("No hay datos para cargar."));
        QVERIFY(!w.Ws.DatosCargados);
    }

    void reservaFueraDelNuevoRango()
    {
        TFormMain w;
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(50);
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(10));
        w.CargarDatos();
        QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->maximum(), 9);
        QCOMPARE(w.SesionActual.PuntosSinUsar(), 9);
        QCOMPARE(w.Ws.NumDatos, 1);
    }

    void tablaNuncaPierdeHistoria()
    {
        TFormMain w;
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(100));
        w.CargarDatos();
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(50);
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(0); // smaller than the hold-out
        QVERIFY(w.Ws.Filas() >= 101);
        QCOMPARE(w.Ws.V(100, 4), 199.0);
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(0); // now the forecast rows lie beyond the history
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(999);
        QVERIFY(w.Ws.Filas() >= 100 + 999 + 1);
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(3);
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(99);
        QVERIFY(w.Ws.Filas() >= 101);
        QCOMPARE(w.Ws.V(100, 4), 199.0);
    }

    void fechado_data()
    {
        QTest::addColumn<int>("mesInicial");
        QTest::addColumn<int>("horizonte");
        QTest::addColumn<double>("anioFinal");
        QTest::addColumn<double>("mesFinal");
        // 12 records from the given month; the last fitting row's date by hand.
        QTest::newRow("from January, h 3") << 1 << 3 << 2001.0 << 3.0; // last row 2000-12
        QTest::newRow("from December, h 1") << 12 << 1 << 2001.0 << 12.0; // last row 2001-11
        QTest::newRow("from February, h 0") << 2 << 0 << 2001.0 << 1.0; // nothing dated
    }

    void fechado()
    {
        QFETCH(int, mesInicial);
        QFETCH(int, horizonte);
        QFETCH(double, anioFinal);
        QFETCH(double, mesFinal);
        TFormMain w;
        Control<QSpinBox>(w, "SEValoresPrever")->setValue(horizonte);
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(12, 2000, mesInicial));
        w.CargarDatos();
        tendora::PrepararFilasPrevision(w.Ws, w.SesionActual.Horizonte());
        QCOMPARE(w.Ws.AnioActual, anioFinal);
        QCOMPARE(w.Ws.MesActual, mesFinal);
        for (int i = 13; i <= 12 + horizonte; ++i) {
            QCOMPARE(w.Ws.V(i, 1), double(i));
            QVERIFY(w.Ws.Valida(i, 1) && w.Ws.Valida(i, 2) && w.Ws.Valida(i, 3));
            QVERIFY(!w.Ws.Valida(i, 4));
            const double m = w.Ws.V(i - 1, 3) == 12 ? 1 : w.Ws.V(i - 1, 3) + 1;
            QCOMPARE(w.Ws.V(i, 3), m);
        }
    }
};

QTEST_MAIN(TstPrincipalCarga)
#include "tst_principal_carga.moc"
