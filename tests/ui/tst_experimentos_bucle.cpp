// SPDX-License-Identifier: GPL-3.0-or-later
// How the parameter grid's loop runs in the real window: painting, progress,
// the values shown, empty levels, and each row against a step run alone.
#include <QProgressDialog>
#include <QPushButton>

#include "AyudasExperimentos.h"
#include "models/Medidas.h"
#include "data/Numeros.h"

using namespace tendora;
using namespace prueba;

// A grid run both ways: locale, hold-out, the history value set to 0 (none
// when negative), Hasta of Alfa and Beta, the steps and how many fail.
struct Comparacion {
    QString locale;
    int reserva, cero;
    double hastaAlfa, hastaBeta;
    int pasos, fallidas;
};
Q_DECLARE_METATYPE(Comparacion)

class TstExperimentosBucle : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void sinRepintadoSinDibujar();
    void progreso();
    void parametrosALaVista();
    void nivelVacio();
    void rejillaComoPasoAPaso_data();
    void rejillaComoPasoAPaso();
    void sinDibujarComoDibujando_data();
    void sinDibujarComoDibujando();
};

// The speed switch: a step that does not draw must not paint anything, nor
// let the event loop run.
void TstExperimentosBucle::sinRepintadoSinDibujar()
{
    auto w = Cargada("es_ES", 60);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->SesionActual.SeleccionarModelo(ItemHLT);
    w->Caluclarprevisin1Click();
    QTest::qWait(50);

    struct Contador : QObject {
        int pintados = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint || e->type() == QEvent::UpdateRequest)
                ++pintados;
            return false;
        }
    } contador;
    const QString previsionAntes = Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(6, w->Ws.NumDatos + 1);
    qApp->installEventFilter(&contador);
    long long pasos = 0;
    w->Experimentacion.VariarHolt(0.0, 1.0, 0.1, 0.0, 1.0, 0.1, false, pasos);
    qApp->removeEventFilter(&contador);

    // 0, 0.1, ... 0.9999999999999999: eleven values per constant.
    QCOMPARE(pasos, 121LL);
    QCOMPARE(Filas(Ajuste(w)), 122);
    QCOMPARE(contador.pintados, 0);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(6, w->Ws.NumDatos + 1), previsionAntes);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
}

void TstExperimentosBucle::progreso()
{
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemHLT);
    w->EsperaProgresoMs = 0; // at once, so a short loop shows it

    QStringList textos;
    bool conBoton = false;
    int desfasados = 0;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, [&] {
        auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!p || !p->isVisible())
            return;
        if (textos.isEmpty() || textos.constLast() != p->labelText())
            textos << p->labelText();
        // Whenever the window can be seen, the edits hold the last step's values.
        const QStringList hechas = Etiquetas(Ajuste(w));
        if (!hechas.isEmpty() &&
            hechas.constLast() != QStringLiteral("HLT (") +
                                      TextoGeneral(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value()) +
                                      QLatin1Char(';') +
                                      TextoGeneral(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()) + QLatin1Char(')'))
            ++desfasados;
        conBoton = conBoton || p->findChild<QPushButton*>(QStringLiteral("BBCancelar"));
    });
    mirar.start();
    QElapsedTimer reloj;
    reloj.start();
    long long pasos = 0;
    w->Experimentacion.VariarHolt(0.0, 0.5, 0.1, 0.0, 0.5, 0.1, false, pasos);
    const qint64 ms = reloj.elapsed();
    mirar.stop();

    QCOMPARE(pasos, 36LL); // 0..0.5 in steps of 0.1: six values each
    QVERIFY(!textos.isEmpty());
    const QRegularExpression forma(QStringLiteral("^Paso (\\d+) de 36$"));
    for (const QString& t : textos)
        QVERIFY2(forma.match(t).hasMatch(), qPrintable(t));
    QVERIFY(conBoton); // the way to stop it
    QCOMPARE(desfasados, 0);
    // A few refreshes a second at most.
    QVERIFY2(textos.size() <= 2 + ms / 250, qPrintable(QString::number(textos.size())));
    QVERIFY(!QApplication::activeModalWidget()); // gone at the end
    QCOMPARE(Filas(Ajuste(w)), 36);
}

// A failing step's message is read against the window as that step left it:
// its parameter values in the edits and the ordinary cursor.
void TstExperimentosBucle::parametrosALaVista()
{
    auto w = Cargada("es_ES", 23); // too short for Holt-Winters: every step fails
    w->SesionActual.SeleccionarModelo(ItemHW);
    Contestador c;
    long long pasos = 0;
    w->Experimentacion.VariarHoltWinters(0.1, 0.2, 0.1, 0.3, 0.3, 0.1, 0.5, 0.6, 0.1, false, pasos);
    QCOMPARE(pasos, 4LL);
    // Failed steps raise no message; they are counted for the closing one.
    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(w->Experimentacion.PasosFallidos(), 4LL);
    // The edits show the last values run, and the cursor is back.
    QCOMPARE(TextoGeneral(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value()) + QLatin1Char(';') +
                 TextoGeneral(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()) + QLatin1Char(';') +
                 TextoGeneral(Control<QDoubleSpinBox>(w, "SEPhiHW")->value()),
             L(QStringLiteral("0,2;0,3;0,6")));
    QVERIFY(!QApplication::overrideCursor());
}

// A level with no values leaves the edits of the levels inside it untouched;
// the outer edit still takes each of its values.
void TstExperimentosBucle::nivelVacio()
{
    auto w = Cargada("C", 60);
    w->SesionActual.SeleccionarModelo(ItemHLT);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.37);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.63);
    long long pasos = -1;
    w->Experimentacion.VariarHolt(0.5, 0.4, 0.1, 0.1, 0.2, 0.1, false, pasos);
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), 0.37);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(), 0.63);
    w->Experimentacion.VariarHolt(0.1, 0.2, 0.1, 0.5, 0.4, 0.1, false, pasos);
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), 0.2);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(), 0.63);
    QCOMPARE(Filas(Ajuste(w)), 0);
}

// A number to the last bit: 17 digits read back exactly.
static QString Exacto(double x)
{
    return QString::number(x, 'g', 17);
}

// Every row of an error table: the label's text, each measure to the last
// bit, an empty cell as "-" (and a text cell marked as such).
static QStringList Tabla(const Rejilla* g)
{
    const ModeloRejilla* mo = g->Modelo();
    QStringList filas;
    for (int f = 1; f < mo->RowCount(); ++f) {
        QString t = mo->Celda(0, f);
        for (int col = 1; col < mo->ColCount(); ++col)
            t += QLatin1Char('|') + (mo->Tipo(col, f) == TipoCelda::Numero  ? Exacto(mo->Numero(col, f))
                                     : mo->Tipo(col, f) == TipoCelda::Vacia ? QStringLiteral("-")
                                                                            : QLatin1Char('?') + mo->Celda(col, f));
        filas << t;
    }
    return filas;
}

// The same row for a label and the measures of the plain path.
static QString Fila(const QString& etiqueta, const Medidas& m)
{
    QString t = etiqueta;
    for (const Medida& v : m.Columnas())
        t += QLatin1Char('|') + (v ? Exacto(*v) : QStringLiteral("-"));
    return t;
}

void TstExperimentosBucle::rejillaComoPasoAPaso_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("reserva");
    QTest::newRow("es_ES, sin reserva") << "es_ES" << 0;
    QTest::newRow("C, 12 reservados") << "C" << 12;
}

// The 9 x 9 x 9 Holt-Winters grid through the loop (which skips the work the
// constants do not change) against each step run alone through the core, as
// a single calculation runs it: every row of both tables and the workspace left.
void TstExperimentosBucle::rejillaComoPasoAPaso()
{
    QFETCH(QString, locale);
    QFETCH(int, reserva);
    auto w = Cargada(locale, 72, reserva);
    w->SesionActual.SeleccionarModelo(ItemHW);
    Espacio e = w->Ws;
    Parametros p;
    p.V = Control<QSpinBox>(w, "SEValoresPrever")->value();
    p.PrevNeg = Control<QCheckBox>(w, "CBPrevNeg")->isChecked();
    Rejilla* ajuste = Ajuste(w);
    Rejilla* acierto = Acierto(w);

    long long pasos = 0;
    w->Experimentacion.VariarHoltWinters(0.1, 0.9, 0.1, 0.1, 0.9, 0.1, 0.1, 0.9, 0.1, false, pasos);
    QCOMPARE(pasos, 729LL);
    QCOMPARE(ajuste->RowCount(), 730);
    QCOMPARE(acierto->RowCount(), reserva > 0 ? 730 : 2);
    const QStringList filasAjuste = Tabla(ajuste), filasAcierto = Tabla(acierto);

    // The edits hold two decimals: value k of a level is 0.1 + 0.1 k rounded to them.
    const auto valor = [](int k) { return std::round((0.1 + 0.1 * k) * 100.0) / 100.0; };
    const QString sufijo = reserva > 0 ? QStringLiteral(" T-%1").arg(reserva) : QString();
    int fila = 0;
    for (int a = 0; a < 9; ++a)
        for (int b = 0; b < 9; ++b)
            for (int c = 0; c < 9; ++c) {
                p.AlfaHLT = valor(a);
                p.BetaHLT = valor(b);
                p.PhiHW = valor(c);
                AsegurarFilas(e, p.V);
                LimpiarColumnasModelo(e, p.V);
                PrepararFilasPrevision(e, p.V);
                EjecutarModelo(e, ItemHW, p);
                const QString etiqueta =
                    QStringLiteral("H-W (%1;%2;%3)")
                        .arg(TextoGeneral(p.AlfaHLT), TextoGeneral(p.BetaHLT), TextoGeneral(p.PhiHW)) +
                    sufijo;
                Medidas m = CalcularMedidas(e, 1, e.FilaInicioPrev + 1, e.NumDatos);
                QCOMPARE(filasAjuste[fila], Fila(etiqueta, m));
                if (reserva > 0) {
                    m = CalcularMedidas(e, 2, e.NumDatos + 1, std::min(e.TotalDatos, e.NumDatos + p.V));
                    QCOMPARE(filasAcierto[fila], Fila(etiqueta, m));
                }
                ++fila;
                e.DesvRelativa = m.DesvRelativa;
            }
    // The workspace as the last plain run left it, down to the flags and the indices.
    QVERIFY(w->Ws.TablaPrev == e.TablaPrev);
    QVERIFY(w->Ws.CeldaValida == e.CeldaValida);
    for (int mes = 1; mes <= 12; ++mes) {
        QVERIFY(w->Ws.CoefEstacional[size_t(mes)].Coeficiente == e.CoefEstacional[size_t(mes)].Coeficiente);
        QVERIFY(w->Ws.CoefEstacional[size_t(mes)].Observaciones == e.CoefEstacional[size_t(mes)].Observaciones);
    }
    QCOMPARE(w->Ws.ColPrev, e.ColPrev);
    QCOMPARE(w->Ws.FilaInicioPrev, e.FilaInicioPrev);
    QVERIFY(w->Ws.DesvRelativa == e.DesvRelativa);
}

void TstExperimentosBucle::sinDibujarComoDibujando_data()
{
    QTest::addColumn<Comparacion>("caso");
    // Nine values of each constant from Desde by 0.1; three of beta where the
    // drawn run would take too long under the sanitizers (worked by hand).
    QTest::newRow("es_ES, 12 reservados") << Comparacion{"es_ES", 12, -1, 0.9, 0.9, 729, 0};
    QTest::newRow("C, sin reserva") << Comparacion{"C", 0, -1, 0.9, 0.3, 243, 0};
    // With alfa 1 the level at a zero value is (1 × 0) / S + 0 × (L + T) = 0,
    // and the next index divides by it: the 27 runs with alfa 1 fail (by hand).
    QTest::newRow("es_ES, un cero, alfa hasta 1") << Comparacion{"es_ES", 6, 30, 1.0, 0.3, 243, 27};
}

// A Holt-Winters grid (up to 9 x 9 x 9) with "Dibujar" ticked (every step the
// window's whole calculation) and unticked (the loop's own path) in two
// windows on the same data: the same message, every row of both tables to
// the last bit, and the same values left in the edits.
void TstExperimentosBucle::sinDibujarComoDibujando()
{
    QFETCH(Comparacion, caso);
    const auto& [locale, reserva, cero, hastaAlfa, hastaBeta, pasos, fallidas] = caso;
    QString datos = Serie(72);
    if (cero >= 0) {
        QStringList lineas = datos.split(QLatin1Char('\n'));
        lineas[cero] = lineas[cero].section(QLatin1Char('\t'), 0, 1) + QStringLiteral("\t0");
        datos = lineas.join(QLatin1Char('\n'));
    }
    struct Resultado {
        QStringList mensaje, ajuste, acierto;
        QList<double> edits;
    };
    const auto ejecutar = [&](bool dibujar) {
        auto w = Ventana(locale);
        Control<QPlainTextEdit>(w, "Memo1")->setPlainText(datos);
        w->CargarDatos();
        Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
        w->SesionActual.SeleccionarModelo(ItemHW);
        Contestador c;
        c.rango = [&](TFormRangoVar* r) {
            Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, hastaAlfa - 0.8, hastaAlfa, 0.1);
            Rango(r->DesdeBeta, r->HastaBeta, r->IncBeta, 0.1, hastaBeta, 0.1);
            Rango(r->DesdePhi, r->HastaPhi, r->IncPhi, 0.1, 0.9, 0.1);
            r->CBGraficos->setChecked(dibujar);
            return true;
        };
        w->Variacindeparmetros1Click();
        Resultado r;
        if (c.mensajes.size() == 1) {
            r.mensaje = Lineas(c.mensajes[0]);
            if (r.mensaje.size() > 2)
                r.mensaje.removeAt(2); // the seconds
        }
        r.ajuste = Tabla(Ajuste(w));
        r.acierto = Tabla(Acierto(w));
        for (const char* nombre : {"SEAlfaHLT", "SEBetaHLT", "SEPhiHW"})
            r.edits << Control<QDoubleSpinBox>(w, nombre)->value();
        return r;
    };
    const Resultado dibujando = ejecutar(true);
    const Resultado directo = ejecutar(false);

    // The failed steps have no rows.
    QStringList mensaje{"Variaciones calculadas.", QStringLiteral("N = %1").arg(pasos)};
    if (fallidas > 0)
        mensaje << QStringLiteral("Fallidas = %1").arg(fallidas);
    // The best row is the same in both ways (compared below); here only that it is named.
    const QString mejor = dibujando.mensaje.value(mensaje.size());
    QVERIFY2(mejor.startsWith(QStringLiteral("Mejor MSE: H-W (")), qPrintable(mejor));
    mensaje << mejor;
    QCOMPARE(dibujando.mensaje, mensaje);
    QCOMPARE(dibujando.ajuste.size(), pasos - fallidas);
    QCOMPARE(dibujando.acierto.size(), reserva > 0 ? pasos - fallidas : 1);
    QCOMPARE(dibujando.edits, (QList<double>{hastaAlfa, hastaBeta, 0.9}));

    QCOMPARE(directo.mensaje, dibujando.mensaje);
    QCOMPARE(directo.ajuste, dibujando.ajuste);
    QCOMPARE(directo.acierto, dibujando.acierto);
    QCOMPARE(directo.edits, dibujando.edits);
}

QTEST_MAIN(TstExperimentosBucle)
#include "tst_experimentos_bucle.moc"
