// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter grid driven through the real window: its range dialog, the
// rows it writes, failing and rejected steps, and rounding of the steps.
#include <stdexcept>

#include "AyudasExperimentos.h"

using namespace tendora;
using namespace prueba;

class TstExperimentosVariacion : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void dialogoRango();
    void columnasDelDialogo_data();
    void columnasDelDialogo();
    void variacion_data();
    void variacion();
    void variacionDibujando();
    void muchasSeriesDibujadas_data();
    void muchasSeriesDibujadas();
    void variacionConFallos();
    void variacionIntermitente();
    void incrementoNoPositivo_data();
    void incrementoNoPositivo();
    void rangoN_data();
    void rangoN();
    void rechazoCorregido();
    void pasoMasFinoQueLosDecimales();
    void redondearDecimales_data();
    void redondearDecimales();
    void comoElEdit();
};

void TstExperimentosVariacion::dialogoRango()
{
    auto w = Ventana("es_ES");
    TFormRangoVar* d = w->FormRangoVar;
    QVERIFY(d);
    QCOMPARE(d->objectName(), QStringLiteral("FormRangoVar"));
    QCOMPARE(d->parentWidget(), static_cast<QWidget*>(w.get()));
    QCOMPARE(d->windowTitle(), QStringLiteral("Variaciones de parámetros"));
    QCOMPARE(d->Label1->text(), QStringLiteral("Especifique los rangos de variación de los parámetros"));
    QCOMPARE(d->Label2->text(), QStringLiteral("para el modelo de previsión seleccionado:"));
    QCOMPARE(d->LabelN->text(), QStringLiteral("N"));
    QCOMPARE(d->LabelAlfa->text(), QStringLiteral("Alfa"));
    QCOMPARE(d->LabelBeta->text(), QStringLiteral("Beta"));
    QCOMPARE(d->LabelPhi->text(), QStringLiteral("Phi"));
    QCOMPARE(d->LabelDesde->text(), QStringLiteral("Desde:"));
    QCOMPARE(d->LabelHasta->text(), QStringLiteral("Hasta:"));
    QCOMPARE(d->LabelIncremento->text(), QStringLiteral("Incremento:"));
    QCOMPARE(d->CBGraficos->text(), QStringLiteral("Dibujar los gráficos resultantes"));
    QVERIFY(!d->CBGraficos->isChecked());
    QCOMPARE(d->BBAceptar->text(), QStringLiteral("Aceptar"));
    QCOMPARE(d->BBCancelar->text(), QStringLiteral("Cancelar"));
    QCOMPARE(d->DesdeN->value(), 2);
    QCOMPARE(d->HastaN->value(), 12);
    QCOMPARE(d->IncN->value(), 1);
    QCOMPARE(d->DesdeN->toolTip(), QStringLiteral("Número de períodos a promediar"));
    QVERIFY(d->DesdeN->minimum() < -1000000 && d->HastaN->maximum() > 1000000); // not limited
    const QList<QDoubleSpinBox*> reales[3] = {{d->DesdeAlfa, d->HastaAlfa, d->IncAlfa},
                                              {d->DesdeBeta, d->HastaBeta, d->IncBeta},
                                              {d->DesdePhi, d->HastaPhi, d->IncPhi}};
    const QString hints[3] = {QStringLiteral("Alisamiento del nivel"), QStringLiteral("Alisamiento de la tendencia"),
                              QStringLiteral("Alisamiento de la estacionalidad")};
    for (int p = 0; p < 3; ++p) {
        QCOMPARE(reales[p][0]->value(), 0.1);
        QCOMPARE(reales[p][1]->value(), 0.9);
        QCOMPARE(reales[p][2]->value(), 0.1);
        for (QDoubleSpinBox* se : reales[p]) {
            QCOMPARE(se->decimals(), 2);
            QCOMPARE(se->singleStep(), 0.05);
            QCOMPARE(se->minimum(), 0.0);
            QCOMPARE(se->maximum(), 1.0);
            QCOMPARE(se->toolTip(), hints[p]);
        }
    }
    QCOMPARE(reales[0][0]->text(), QStringLiteral("0,10")); // the user's decimal mark

    // Cancelling runs nothing and keeps what was entered for the next use.
    Cargar(w.get(), 30);
    w->SesionActual.SeleccionarModelo(ItemLES);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeAlfa->setValue(0.3);
        r->CBGraficos->setChecked(true);
        return false;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(c.vecesRango, 1);
    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(Filas(Ajuste(w)), 0);
    QCOMPARE(d->DesdeAlfa->value(), 0.3);
    QVERIFY(d->CBGraficos->isChecked());
    QCOMPARE(w->FormRangoVar, d); // the same dialog each time
}

void TstExperimentosVariacion::columnasDelDialogo_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("columnas"); // N, Alfa, Beta, Phi: the ones shown
    QTest::newRow("NVS") << int(ItemNVS) << "";
    QTest::newRow("NVE") << int(ItemNVE) << "";
    QTest::newRow("MMS") << int(ItemMMS) << "N";
    QTest::newRow("MMD") << int(ItemMMD) << "N";
    QTest::newRow("LES") << int(ItemLES) << "A";
    QTest::newRow("LED") << int(ItemLED) << "A";
    QTest::newRow("DST") << int(ItemDST) << "";
    QTest::newRow("THT") << int(ItemTHT) << "A";
    QTest::newRow("HLT") << int(ItemHLT) << "AB";
    QTest::newRow("H-W") << int(ItemHW) << "ABP";
    QTest::newRow("CRT") << int(ItemCRT) << "A";
    QTest::newRow("S-B") << int(ItemSB) << "A";
}

void TstExperimentosVariacion::columnasDelDialogo()
{
    QFETCH(int, item);
    QFETCH(QString, columnas);
    const bool n = columnas.contains('N'), alfa = columnas.contains('A'), beta = columnas.contains('B'),
               phi = columnas.contains('P');
    auto w = Cargada("C", 30);
    // After H-W, so that every column has been shown once before.
    w->SesionActual.SeleccionarModelo(ItemHW);
    w->FormRangoVar->MostrarColumnas(ItemHW);
    w->SesionActual.SeleccionarModelo(item);
    Contestador c;
    QList<bool> vistos;
    c.rango = [&](TFormRangoVar* r) {
        vistos = {r->LabelN->isVisible(),    r->DesdeN->isVisible(),    r->HastaN->isVisible(),
                  r->IncN->isVisible(),      r->LabelAlfa->isVisible(), r->DesdeAlfa->isVisible(),
                  r->HastaAlfa->isVisible(), r->IncAlfa->isVisible(),   r->LabelBeta->isVisible(),
                  r->DesdeBeta->isVisible(), r->IncBeta->isVisible(),   r->LabelPhi->isVisible(),
                  r->HastaPhi->isVisible(),  r->IncPhi->isVisible()};
        return false;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(c.vecesRango, 1);
    // The caption "N" stays for every model.
    QCOMPARE(vistos, (QList<bool>{true, n, n, n, alfa, alfa, alfa, alfa, beta, beta, beta, phi, phi, phi}));
}

void TstExperimentosVariacion::variacion_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("reserva");
    // Desde, Hasta and Incremento of N, Alfa, Beta and Phi.
    QTest::addColumn<QList<double>>("rangos");
    QTest::addColumn<int>("pasos");
    // Every label in order, or only the first and the last.
    QTest::addColumn<QStringList>("etiquetas");
    QTest::addColumn<QList<double>>("finales"); // spin edits set by the loop, outer to inner

    const QList<double> pordefecto = {2, 12, 1, 0.1, 0.9, 0.1, 0.1, 0.9, 0.1, 0.1, 0.9, 0.1};
    auto con = [&](int desde, std::initializer_list<double> valores) {
        QList<double> r = pordefecto;
        int k = desde;
        for (double v : valores)
            r[k++] = v;
        return r;
    };
    for (const char* loc : {"es_ES", "C"}) {
        auto fila = [loc](const char* nombre) -> QTestData& {
            return QTest::newRow(QByteArray(loc).append(' ').append(nombre).constData());
        };
        // Desde + k × Inc, k = 0..floor((Hasta − Desde) / Inc + 1e-9): worked by hand.
        fila("LES defaults") << loc << int(ItemLES) << 0 << pordefecto << 9
                             << QStringList{"LES (0,1)", "LES (0,2)", "LES (0,3)", "LES (0,4)", "LES (0,5)",
                                            "LES (0,6)", "LES (0,7)", "LES (0,8)", "LES (0,9)"}
                             << QList<double>{0.9};
        // (0.3 − 0.1) / 0.1 is 1.9999999999999998 in binary: the margin keeps 0.3.
        fila("LED 0.1..0.3") << loc << int(ItemLED) << 0 << con(3, {0.1, 0.3, 0.1}) << 3
                             << QStringList{"LED (0,1)", "LED (0,2)", "LED (0,3)"} << QList<double>{0.3};
        // (0.95 − 0.05) / 0.05 is 17.999999999999996: nineteen values, the last 0.95.
        fila("LES 0.05..0.95") << loc << int(ItemLES) << 0 << con(3, {0.05, 0.95, 0.05}) << 19
                               << QStringList{"LES (0,05)", "LES (0,95)"} << QList<double>{0.95};
        fila("MMS defaults") << loc << int(ItemMMS) << 0 << pordefecto << 11
                             << QStringList{"MMS (2)", "MMS (3)", "MMS (4)",  "MMS (5)",  "MMS (6)", "MMS (7)",
                                            "MMS (8)", "MMS (9)", "MMS (10)", "MMS (11)", "MMS (12)"}
                             << QList<double>{12};
        fila("MMD 2..12 step 3") << loc << int(ItemMMD) << 0 << con(0, {2, 12, 3}) << 4
                                 << QStringList{"MMD (2)", "MMD (5)", "MMD (8)", "MMD (11)"} << QList<double>{11};
        fila("THT one value") << loc << int(ItemTHT) << 0 << con(3, {0.25, 0.25, 0.1}) << 1 << QStringList{"THT (0,25)"}
                              << QList<double>{0.25};
        fila("CRT 0.2..0.4") << loc << int(ItemCRT) << 0 << con(3, {0.2, 0.4, 0.1}) << 3
                             << QStringList{"CRT (0,2)", "CRT (0,3)", "CRT (0,4)"} << QList<double>{0.4};
        fila("S-B from 0") << loc << int(ItemSB) << 0 << con(3, {0.0, 0.1, 0.05}) << 3
                           << QStringList{"S-B (0)", "S-B (0,05)", "S-B (0,1)"} << QList<double>{0.1};
        fila("HLT 2x3 held back") << loc << int(ItemHLT) << 3 << con(3, {0.1, 0.2, 0.1, 0.1, 0.3, 0.1}) << 6
                                  << QStringList{"HLT (0,1;0,1) T-3", "HLT (0,1;0,2) T-3", "HLT (0,1;0,3) T-3",
                                                 "HLT (0,2;0,1) T-3", "HLT (0,2;0,2) T-3", "HLT (0,2;0,3) T-3"}
                                  << QList<double>{0.2, 0.3};
        // 0..1 step 0.01: 101 values, 0 and 1 included.
        fila("THT 0..1 step 0.01") << loc << int(ItemTHT) << 0 << con(3, {0.0, 1.0, 0.01}) << 101
                                   << QStringList{"THT (0)", "THT (1)"} << QList<double>{1.0};
        fila("H-W defaults") << loc << int(ItemHW) << 0 << pordefecto << 729
                             << QStringList{"H-W (0,1;0,1;0,1)", "H-W (0,9;0,9;0,9)"} << QList<double>{0.9, 0.9, 0.9};
        fila("first above last") << loc << int(ItemLES) << 0 << con(3, {0.5, 0.4, 0.1}) << 0 << QStringList{}
                                 << QList<double>{0.5};
        fila("N first above last") << loc << int(ItemMMS) << 0 << con(0, {7, 3, 1}) << 0 << QStringList{}
                                   << QList<double>{6};
    }
}

void TstExperimentosVariacion::variacion()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(int, reserva);
    QFETCH(QList<double>, rangos);
    QFETCH(int, pasos);
    QFETCH(QStringList, etiquetas);
    QFETCH(QList<double>, finales);

    auto w = Cargada(locale, 60, reserva);
    w->SesionActual.SeleccionarModelo(item);
    const int columnasTabla = Control<Rejilla>(w, "AdvStringGridPrevision")->ColCount();
    Contestador c;
    c.rango = [&](TFormRangoVar* r) {
        const QList<QAbstractSpinBox*> campos = {r->DesdeN,    r->HastaN,   r->IncN,      r->DesdeAlfa,
                                                 r->HastaAlfa, r->IncAlfa,  r->DesdeBeta, r->HastaBeta,
                                                 r->IncBeta,   r->DesdePhi, r->HastaPhi,  r->IncPhi};
        for (int k = 0; k < 12; ++k) {
            if (auto* e = qobject_cast<QSpinBox*>(campos[k]))
                e->setValue(static_cast<int>(rangos[k]));
            else
                static_cast<QDoubleSpinBox*>(campos[k])->setValue(rangos[k]);
        }
        return true;
    };
    // A label column the user narrowed, so the fitting shows.
    Ajuste(w)->SetAnchoColumna(0, 20);
    w->Variacindeparmetros1Click();

    // The closing message: three lines, the step count and the seconds, and
    // the best row when a step ran.
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = Lineas(c.mensajes[0]);
    QCOMPARE(lineas.size(), pasos > 0 ? 4 : 3);
    if (pasos > 0)
        QVERIFY2(lineas[3].startsWith(QStringLiteral("Mejor MSE: ")), qPrintable(lineas[3]));
    QCOMPARE(lineas[0], QStringLiteral("Variaciones calculadas."));
    QCOMPARE(lineas[1], QStringLiteral("N = %1").arg(pasos));
    const QRegularExpressionMatch t = QRegularExpression(QStringLiteral("^T = (\\S+) segundos$")).match(lineas[2]);
    QVERIFY2(t.hasMatch(), qPrintable(lineas[2]));
    bool ok = false;
    const double segundos = QLocale().toDouble(t.captured(1), &ok);
    QVERIFY(ok);
    QVERIFY(segundos >= 0.0 && segundos < 600.0);
    QVERIFY(std::abs(segundos * 10000.0 - std::round(segundos * 10000.0)) < 1e-6); // four decimals at most

    const QStringList fit = Etiquetas(Ajuste(w));
    QCOMPARE(fit.size(), pasos);
    const QStringList esperadas = L(etiquetas);
    if (esperadas.size() == pasos) {
        QCOMPARE(fit, esperadas);
    } else {
        QCOMPARE(fit.constFirst(), esperadas.constFirst());
        QCOMPARE(fit.constLast(), esperadas.constLast());
    }
    QCOMPARE(Etiquetas(Acierto(w)), reserva > 0 ? fit : QStringList());
    // Fitted at the end: the longest label fits in its column.
    int larga = 0;
    for (const QString& e : fit)
        larga = std::max(larga, Ajuste(w)->fontMetrics().horizontalAdvance(e));
    QVERIFY(Ajuste(w)->AnchoColumna(0) > larga);

    // Without "Dibujar": no comparison series and the forecast table left as it was.
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->ColCount(), columnasTabla);

    // The page's edits of the varied parameters, outer to inner.
    const QMap<int, QStringList> edits = {{ItemMMS, {"SEN"}},           {ItemMMD, {"SEN"}},
                                          {ItemLES, {"SEAlfaLE"}},      {ItemLED, {"SEAlfaLE"}},
                                          {ItemTHT, {"SEAlfaTHT"}},     {ItemHLT, {"SEAlfaHLT", "SEBetaHLT"}},
                                          {ItemCRT, {"SEAlfaCroston"}}, {ItemHW, {"SEAlfaHLT", "SEBetaHLT", "SEPhiHW"}},
                                          {ItemSB, {"SEAlfaCroston"}}};
    QList<double> quedan;
    for (const QString& e : edits.value(item))
        quedan << (e == "SEN" ? Control<QSpinBox>(w, "SEN")->value()
                              : Control<QDoubleSpinBox>(w, qPrintable(e))->value());
    QCOMPARE(quedan, finales);
}

void TstExperimentosVariacion::variacionDibujando()
{
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemLES);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, 0.1, 0.3, 0.1);
        r->CBGraficos->setChecked(true);
        return true;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(c.mensajes.size(), 1);
    QVERIFY(c.mensajes[0].contains(QStringLiteral("N = 3")));
    QCOMPARE(Comparativas(w.get()), (QStringList{"P LES (0,1)", "P LES (0,2)", "P LES (0,3)"}));
    // Drawn: the forecast table shows the LES columns (t, year, month, data, P).
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->ColCount(), 5);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(4, 0), QStringLiteral("P"));
}

void TstExperimentosVariacion::muchasSeriesDibujadas_data()
{
    QTest::addColumn<bool>("dibujar");
    QTest::addColumn<bool>("confirmar");
    QTest::newRow("drawn, declined") << true << false;
    QTest::newRow("drawn, confirmed") << true << true;
    QTest::newRow("not drawn") << false << false;
}

// Holt over 0..1 in tenths for both constants: 11 × 11 = 121 steps. Drawn,
// that is 121 comparison series: the count is told and the user asked first;
// "No" runs nothing. Not drawn, nothing is asked.
void TstExperimentosVariacion::muchasSeriesDibujadas()
{
    QFETCH(bool, dibujar);
    QFETCH(bool, confirmar);
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemHLT);
    Contestador c;
    c.confirmar = confirmar;
    c.rango = [dibujar](TFormRangoVar* r) {
        Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, 0, 1, 0.1);
        Rango(r->DesdeBeta, r->HastaBeta, r->IncBeta, 0, 1, 0.1);
        r->CBGraficos->setChecked(dibujar);
        return true;
    };
    const int filas = Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount();
    w->Variacindeparmetros1Click();
    if (dibujar) {
        QCOMPARE(c.preguntas.size(), 1);
        QVERIFY2(c.preguntas[0].contains(QStringLiteral("añadirá 121 series")), qPrintable(c.preguntas[0]));
    } else {
        QVERIFY(c.preguntas.isEmpty());
    }
    const bool corre = !dibujar || confirmar;
    QCOMPARE(c.mensajes.size(), corre ? 1 : 0);
    if (corre)
        QVERIFY(c.mensajes[0].contains(QStringLiteral("N = 121")));
    else
        QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), filas);
    QCOMPARE(Comparativas(w.get()).size(), dibujar && confirmar ? 121 : 0);
}

void TstExperimentosVariacion::variacionConFallos()
{
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemMMS);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeN->setValue(1);
        r->HastaN->setValue(91);
        r->IncN->setValue(30);
        r->CBGraficos->setChecked(true);
        return true;
    };
    w->Variacindeparmetros1Click();
    // N = 61 and N = 91 fail (MMS refuses a window longer than the 60
    // values): no message of their own, they count as steps, and the
    // closing message tells them.
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = Lineas(c.mensajes[0]);
    QCOMPARE(lineas.size(), 5);
    QCOMPARE(lineas[1], QStringLiteral("N = 4"));
    QCOMPARE(lineas[3], QStringLiteral("Fallidas = 2"));
    QCOMPARE(Etiquetas(Ajuste(w)), (QStringList{"MMS (1)", "MMS (31)"}));
    // No series for the failed steps: it would be an earlier forecast under their label.
    QCOMPARE(Comparativas(w.get()), (QStringList{"P MMS (1)", "P MMS (31)"}));
    QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), 91);
}

void TstExperimentosVariacion::variacionIntermitente()
{
    // Nearly two years of spare-parts demand: one month short of the two
    // years Holt-Winters needs for its first trend, so every run fails.
    const QString t = Mensual(23, [](int k) {
        const int i = k - 1;
        return (i >= 12 && i < 24) ? 0 : (i % 5 == 0 ? 3 : (i % 7 == 0 ? 1 : 0));
    });
    auto w = Ventana("es_ES");
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(t);
    w->CargarDatos();
    w->SesionActual.SeleccionarModelo(ItemHW);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        Rango(r->DesdeAlfa, r->HastaAlfa, r->IncAlfa, 0.1, 0.9, 0.1);
        Rango(r->DesdeBeta, r->HastaBeta, r->IncBeta, 0.1, 0.9, 0.1);
        Rango(r->DesdePhi, r->HastaPhi, r->IncPhi, 0.1, 0.9, 0.1);
        return true;
    };
    w->Variacindeparmetros1Click();
    // One message for the 729 failed steps, not 729.
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = Lineas(c.mensajes[0]);
    QCOMPARE(lineas.size(), 4);
    QCOMPARE(lineas[1], QStringLiteral("N = 729"));
    QCOMPARE(lineas[3], QStringLiteral("Fallidas = 729"));
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEPhiHW")->value(), 0.9);
}

void TstExperimentosVariacion::incrementoNoPositivo_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("campo"); // the step set to the value below
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("parametro"); // the one the refusal names; empty: accepted
    QTest::newRow("LES step 0") << int(ItemLES) << "IncAlfa" << 0.0 << "Alfa";
    QTest::newRow("MMS step 0") << int(ItemMMS) << "IncN" << 0.0 << "N";
    QTest::newRow("MMD step -1") << int(ItemMMD) << "IncN" << -1.0 << "N";
    QTest::newRow("HLT beta step 0") << int(ItemHLT) << "IncBeta" << 0.0 << "Beta";
    QTest::newRow("H-W phi step 0") << int(ItemHW) << "IncPhi" << 0.0 << "Phi";
    QTest::newRow("CRT step 0") << int(ItemCRT) << "IncAlfa" << 0.0 << "Alfa";
    // A column the model does not use does not matter.
    QTest::newRow("LES with a zero beta step") << int(ItemLES) << "IncBeta" << 0.0 << "";
}

void TstExperimentosVariacion::incrementoNoPositivo()
{
    QFETCH(int, item);
    QFETCH(QString, campo);
    QFETCH(double, valor);
    QFETCH(QString, parametro);
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(item);
    Contestador c;
    c.rango = [&](TFormRangoVar* r) {
        if (auto* e = r->findChild<QSpinBox*>(campo))
            e->setValue(static_cast<int>(valor));
        else
            r->findChild<QDoubleSpinBox*>(campo)->setValue(valor);
        return true;
    };
    w->Variacindeparmetros1Click();
    if (parametro.isEmpty()) {
        QCOMPARE(c.rechazos, QStringList());
        QCOMPARE(Filas(Ajuste(w)), 9);
        return;
    }
    // Shown in the dialog, which stayed open.
    QCOMPARE(c.rechazos, QStringList{QStringLiteral("El incremento de %1 debe ser mayor que cero.").arg(parametro)});
    QCOMPARE(c.mensajes, QStringList()); // no run, no closing message
    QCOMPARE(Filas(Ajuste(w)), 0);
    // The dialog keeps the values for the next use, and shows no old refusal then.
    auto* e = w->FormRangoVar->findChild<QAbstractSpinBox*>(campo);
    QCOMPARE(e->text(), QLocale().toString(valor, 'f', qobject_cast<QSpinBox*>(e) ? 0 : 2));
    w->FormRangoVar->MostrarColumnas(item);
    QVERIFY(w->FormRangoVar->LabelError->text().isEmpty());
}

void TstExperimentosVariacion::rangoN_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("desde");
    QTest::addColumn<int>("hasta");
    QTest::addColumn<QString>("rechazo"); // shown in the dialog; empty: accepted
    QTest::addColumn<int>("filas"); // fit rows the loop leaves
    // The model page's N takes 1 to 999999999: a value outside would run as its nearer end.
    for (const char* loc : {"es_ES", "C"}) {
        QTest::addRow("%s Desde 0", loc) << loc << int(ItemMMS) << 0 << 3
                                         << "El valor «Desde» de N debe estar entre 1 y 999999999." << 0;
        QTest::addRow("%s Desde negative", loc)
            << loc << int(ItemMMD) << -3 << 3 << "El valor «Desde» de N debe estar entre 1 y 999999999." << 0;
        QTest::addRow("%s Hasta past the top", loc)
            << loc << int(ItemMMS) << 2 << 1000000000 << "El valor «Hasta» de N debe estar entre 1 y 999999999." << 0;
        QTest::addRow("%s 1 to 3", loc) << loc << int(ItemMMS) << 1 << 3 << "" << 3;
    }
}

// The dialog refuses an N range the model page cannot run, and so do the
// loops, whoever calls them.
void TstExperimentosVariacion::rangoN()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(int, desde);
    QFETCH(int, hasta);
    QFETCH(QString, rechazo);
    QFETCH(int, filas);
    auto w = Cargada(locale, 60);
    w->SesionActual.SeleccionarModelo(item);
    Contestador c;
    c.rango = [&](TFormRangoVar* r) {
        r->DesdeN->setValue(desde);
        r->HastaN->setValue(hasta);
        r->IncN->setValue(1);
        return true;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(c.rechazos, rechazo.isEmpty() ? QStringList() : QStringList{rechazo});
    QCOMPARE(Filas(Ajuste(w)), filas);
    if (rechazo.isEmpty())
        return;
    QCOMPARE(c.mensajes, QStringList()); // no run, no closing message
    QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), 6);
    // The loop itself refuses before any step.
    long long pasos = -1;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, w->Experimentacion.VariarN(desde, hasta, 1, false, pasos));
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Filas(Ajuste(w)), 0);
}

void TstExperimentosVariacion::rechazoCorregido()
{
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemLES);
    Contestador c;
    QString desdeTrasRechazo;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeAlfa->setValue(0.1);
        r->IncAlfa->setValue(0.0);
        return true;
    };
    c.trasRechazo = [&](TFormRangoVar* r) {
        desdeTrasRechazo = r->DesdeAlfa->text();
        r->IncAlfa->setValue(0.4);
        return true;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(c.rechazos.size(), 1);
    QCOMPARE(desdeTrasRechazo, QStringLiteral("0,10")); // the values stayed while refused
    // (0.9 − 0.1) / 0.4 = 2: three values, 0.1, 0.5 and 0.9.
    QCOMPARE(Etiquetas(Ajuste(w)), (QStringList{"LES (0,1)", "LES (0,5)", "LES (0,9)"}));

    // Called directly, a step that is not positive runs nothing either.
    long long pasos = -1;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, w->Experimentacion.VariarAlfaLE(0.1, 0.9, 0.0, false, pasos));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, w->Experimentacion.VariarN(2, 12, -1, false, pasos));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, w->Experimentacion.VariarHoltWinters(0.1, 0.9, 0.1, 0.1, 0.9, 0.1,
                                                                                         0.1, 0.9, 0.0, false, pasos));
    QCOMPARE(Filas(Ajuste(w)), 3);
}

void TstExperimentosVariacion::pasoMasFinoQueLosDecimales()
{
    auto w = Cargada("es_ES", 60);
    w->SesionActual.SeleccionarModelo(ItemLES);
    long long pasos = -1;
    // 0.1, 0.104, 0.108: the spin edit holds two decimals, so the first two
    // runs both use 0.10; they are separate steps all the same.
    w->Experimentacion.VariarAlfaLE(0.1, 0.11, 0.004, false, pasos);
    QCOMPARE(pasos, 3LL);
    QCOMPARE(Etiquetas(Ajuste(w)), (QStringList{"LES (0,1)", "LES (0,1)", "LES (0,11)"}));
    QCOMPARE(Ajuste(w)->Celda(1, 1), Ajuste(w)->Celda(1, 2)); // same model value, same MSE
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaLE")->value(), 0.11);
}

void TstExperimentosVariacion::redondearDecimales_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("esperado");
    // Worked by hand; halves are exact binary fractions, so they really are
    // halves. Only the fraction is rounded, so with no decimals a half goes
    // to 0, the even neighbour, whatever the whole part.
    QTest::newRow("four decimals") << 4 << 12.34567 << 12.3457;
    QTest::newRow("no decimals 2.5") << 0 << 2.5 << 2.0;
    QTest::newRow("no decimals 3.5") << 0 << 3.5 << 3.0;
    QTest::newRow("0.25 to 1") << 1 << 0.25 << 0.2;
    QTest::newRow("0.75 to 1") << 1 << 0.75 << 0.8;
    QTest::newRow("0.125 to 2") << 2 << 0.125 << 0.12;
    QTest::newRow("0.375 to 2") << 2 << 0.375 << 0.38;
    QTest::newRow("negative") << 1 << -1.25 << -1.2;
    QTest::newRow("whole") << 4 << 7.0 << 7.0;
    QTest::newRow("small") << 4 << 0.00004 << 0.0;
    QTest::newRow("large whole part") << 4 << 123456789.00006 << 123456789.0001;
}

void TstExperimentosVariacion::redondearDecimales()
{
    QFETCH(int, d);
    QFETCH(double, x);
    QFETCH(double, esperado);
    const double r = Experimentos::RedondearDecimales(d, x);
    QVERIFY2(std::abs(r - esperado) <= 1e-9 * std::max(1.0, std::abs(esperado)),
             qPrintable(QString::number(r, 'g', 17)));
}

// A loop gives the session each value as the page's edit would hold it:
// the core's rounding must be the edit's own, ties and ends included, or the
// edits would show another value than the one the row label writes.
void TstExperimentosVariacion::comoElEdit()
{
    QDoubleSpinBox edit;
    edit.setDecimals(2);
    edit.setRange(0.0, 1.0);
    std::vector<double> valores{-0.004, -0.005, 1.004, 1.005, 1.0051, 0.125,  0.375,   0.625,    0.875,
                                0.115,  0.145,  0.285, 0.995, 0.015,  1e-300, 0.3 * 3, 0.1 + 0.2};
    // Loop values as a range makes them, and the exact ties k/8 + the thousandths around them.
    for (int k = 0; k <= 1000; ++k) {
        valores.push_back(0.05 + k * 0.001);
        valores.push_back(k / 1000.0 + 0.0005);
        valores.push_back(0.1 * k / 100.0 * 7.0);
    }
    for (double x : valores) {
        edit.setValue(x);
        QVERIFY2(edit.value() == ComoEdit(ValorModelo::AlfaLE, x),
                 qPrintable(QString::number(x, 'g', 17) + QStringLiteral(": edit ") +
                            QString::number(edit.value(), 'g', 17) + QStringLiteral(", core ") +
                            QString::number(ComoEdit(ValorModelo::AlfaLE, x), 'g', 17)));
    }
}

QTEST_MAIN(TstExperimentosVariacion)
#include "tst_experimentos_variacion.moc"
