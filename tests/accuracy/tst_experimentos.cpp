// SPDX-License-Identifier: GPL-3.0-or-later
// The three experiments, driven through the real window: every model in turn,
// the parameter grid and the ex-ante simulation, with their dialogs answered
// as a user would.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <stdexcept>

#include "Catalogo.h"
#include "DialogoUnit.h"
#include "Grafico.h"
#include "MainUnit.h"
#include "Medidas.h"
#include "Numeros.h"
#include "RangoVarUnit.h"
#include "Rejilla.h"
#include "SimExAnteUnit.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

const QString SinDatos = QStringLiteral("Cargue los datos antes de calcular.");

// Answers every modal dialog the window opens while a command runs: message
// dialogs are recorded and closed, the two range dialogs are filled in by the
// test and confirmed or cancelled. Other modal windows (the progress
// indicator) are left alone.
class Contestador : public QObject {
public:
    QStringList mensajes;
    QStringList rechazos; // refusals shown in FormRangoVar
    std::function<bool(TFormRangoVar*)> rango; // fills it in; true: "Aceptar"
    std::function<bool(TFormRangoVar*)> trasRechazo; // after a refusal; none: "Cancelar"
    std::function<bool(TFormSimExAnte*)> exAnte;
    std::function<void()> alMensaje; // looks at the window while a message is up
    int vecesRango = 0;
    int vecesExAnte = 0;

    Contestador()
    {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Mirar(); });
        timer_.start();
    }

private:
    void Mirar()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* d = qobject_cast<TFormDialogo*>(w)) {
            mensajes << d->Mensaje->text();
            if (alMensaje)
                alMensaje();
            d->BBAceptar->click();
        } else if (auto* r = qobject_cast<TFormRangoVar*>(w)) {
            if (r->LabelError->isVisible()) {
                rechazos << r->LabelError->text();
                const bool otraVez = trasRechazo && trasRechazo(r);
                trasRechazo = nullptr;
                (otraVez ? r->BBAceptar : r->BBCancelar)->click();
                return;
            }
            ++vecesRango;
            const bool aceptar = rango && rango(r);
            (aceptar ? r->BBAceptar : r->BBCancelar)->click();
        } else if (auto* s = qobject_cast<TFormSimExAnte*>(w)) {
            ++vecesExAnte;
            const bool aceptar = exAnte && exAnte(s);
            (aceptar ? s->BBAceptar : s->BBCancelar)->click();
        }
    }
    QTimer timer_;
};

// A positive monthly series with a trend and a season, no two neighbours equal.
QString Serie(int n)
{
    static const int estacion[12] = {0, 13, 31, 22, 47, 60, 71, 67, 40, 28, 9, 3};
    return Mensual(n, [](int i) { return 500 + 5 * i + estacion[(i - 1) % 12]; });
}

std::unique_ptr<TFormMain> Ventana(const QString& locale)
{
    PonerLocale(locale != QLatin1String("C"));
    return std::unique_ptr<TFormMain>(CrearVentanas());
}

void Cargar(TFormMain* w, int n, int reserva = 0)
{
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(n));
    w->CargarDatos();
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
}

// Labels written with decimal commas, as under the Spanish settings.
QString L(const QString& es)
{
    QString t = es;
    return t.replace(QLatin1Char(','), QLocale().decimalPoint());
}

QStringList L(const QStringList& es)
{
    QStringList r;
    for (const QString& s : es)
        r << L(s);
    return r;
}

QStringList Etiquetas(const Rejilla* g)
{
    QStringList r;
    for (int f = 1; f < g->RowCount(); ++f)
        if (!g->Celda(0, f).isEmpty())
            r << g->Celda(0, f);
    return r;
}

// Data rows that hold a label (an empty table still has its one empty row).
int Filas(const Rejilla* g)
{
    return static_cast<int>(Etiquetas(g).size());
}

QStringList Comparativas(const TFormMain* w)
{
    QStringList r;
    for (int k = 1; k < Control<Grafico>(w, "ChartPC")->NumSeries(); ++k)
        r << Control<Grafico>(w, "ChartPC")->SerieEn(k)->name();
    return r;
}

QStringList ConP(const QStringList& etiquetas)
{
    QStringList r;
    for (const QString& e : etiquetas)
        r << QStringLiteral("P ") + e;
    return r;
}

QStringList ConSufijo(const QString& base, int desde, int hasta)
{
    QStringList r;
    for (int h = desde; h <= hasta; ++h)
        r << (h > 0 ? base + QStringLiteral(" T-%1").arg(h) : base);
    return r;
}

} // namespace

class TstExperimentos : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void sinDatos_data();
    void sinDatos();
    void todosLosModelos_data();
    void todosLosModelos();
    void todosLosModelosConFallos();
    void dialogoRango();
    void columnasDelDialogo_data();
    void columnasDelDialogo();
    void variacion_data();
    void variacion();
    void variacionDibujando();
    void variacionConFallos();
    void variacionIntermitente();
    void incrementoNoPositivo_data();
    void incrementoNoPositivo();
    void rechazoCorregido();
    void pasoMasFinoQueLosDecimales();
    void redondearDecimales_data();
    void redondearDecimales();
    void sinRepintadoSinDibujar();
    void progreso();
    void parametrosALaVista();
    void nivelVacio();
    void dialogoExAnte();
    void exAnte_data();
    void exAnte();
    void rejillaComoPasoAPaso_data();
    void rejillaComoPasoAPaso();
};

// ---------------------------------------------------------------- no data

void TstExperimentos::sinDatos_data()
{
    QTest::addColumn<int>("orden");
    QTest::newRow("todos los métodos") << 0;
    QTest::newRow("variación de parámetros") << 1;
    QTest::newRow("simulación ex-ante") << 2;
}

void TstExperimentos::sinDatos()
{
    QFETCH(int, orden);
    auto w = Ventana("es_ES");
    w->SeleccionarModelo(ItemHLT);
    Contestador c;
    c.rango = [](TFormRangoVar*) { return true; };
    c.exAnte = [](TFormSimExAnte*) { return true; };
    if (orden == 0)
        w->Aplicartodoslosmtodos1Click();
    else if (orden == 1)
        w->Variacindeparmetros1Click();
    else
        w->Simulacinexante1Click();

    QCOMPARE(c.mensajes, QStringList{SinDatos});
    QCOMPARE(c.vecesRango + c.vecesExAnte, 0); // no dialog
    QCOMPARE(w->ModeloSeleccionado(), int(ItemHLT)); // not even the model changes
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount(), 2);
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAcierto")->RowCount(), 2);
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 0);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
}

// ---------------------------------------------------------------- all models

void TstExperimentos::todosLosModelos_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("reserva");
    for (const char* loc : {"es_ES", "C"}) {
        QTest::newRow(QByteArray(loc).append(" sin reserva").constData()) << loc << 0;
        QTest::newRow(QByteArray(loc).append(" T-12").constData()) << loc << 12;
    }
}

void TstExperimentos::todosLosModelos()
{
    QFETCH(QString, locale);
    QFETCH(int, reserva);
    auto w = Ventana(locale);
    Cargar(w.get(), 60, reserva);
    Contestador c;
    w->Aplicartodoslosmtodos1Click();

    // Labels from each model's code and the page's start values (N 6, constants 0.5).
    const QString sufijo = reserva > 0 ? QStringLiteral(" T-%1").arg(reserva) : QString();
    QStringList esperadas;
    for (const char* e : {"NVS ()", "NVE ()", "MMS (6)", "MMD (6)", "LES (0,5)", "LED (0,5)", "DST ()", "THT (0,5)",
                          "HLT (0,5;0,5)", "H-W (0,5;0,5;0,5)", "CRT (0,5)", "S-B (0,5)"})
        esperadas << L(QString::fromUtf8(e)) + sufijo;

    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste")), esperadas);
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAcierto")), reserva > 0 ? esperadas : QStringList());
    for (int f = 1; f <= 12; ++f)
        QVERIFY2(!Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(1, f).isEmpty(), "every model reached its measures");
    QCOMPARE(Comparativas(w.get()), ConP(esperadas));
    QCOMPARE(w->ModeloSeleccionado(), int(ItemSB));
    QVERIFY(Control<QAction>(w, "Variacindeparmetros1")->isEnabled()); // the page followed the last selection
    QVERIFY(Control<QDoubleSpinBox>(w, "SEAlfaCroston")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    QVERIFY(!Control<QDoubleSpinBox>(w, "SEAlfaHLT")->isVisibleTo(Control<QWidget>(w, "TabSheetModelo")));
    QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), 6); // nothing varied
}

void TstExperimentos::todosLosModelosConFallos()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    // An earlier run and its comparison series stay.
    w->SeleccionarModelo(ItemDST);
    w->CalcularPrevision(true);
    w->TBCompararClick();
    // MMS and MMD refuse a negative N.
    Control<QSpinBox>(w, "SEN")->setValue(-1);
    Contestador c;
    w->Aplicartodoslosmtodos1Click();

    const QStringList esperadas = {"DST ()",   "NVS ()",    "NVE ()",        "LES (0,5)",         "LED (0,5)",
                                   "DST ()",   "THT (0,5)", "HLT (0,5;0,5)", "H-W (0,5;0,5;0,5)", "CRT (0,5)",
                                   "S-B (0,5)"};
    QCOMPARE(c.mensajes, QStringList()); // silent
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste")), esperadas);
    QCOMPARE(Comparativas(w.get()), ConP(esperadas)); // none for the failed models
    QCOMPARE(w->ModeloSeleccionado(), int(ItemSB)); // the models after the failures ran
}

// ---------------------------------------------------------------- parameter variation

void TstExperimentos::dialogoRango()
{
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    auto w = std::unique_ptr<TFormMain>(CrearVentanas());
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
    w->SeleccionarModelo(ItemLES);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeAlfa->setValue(0.3);
        r->CBGraficos->setChecked(true);
        return false;
    };
    w->Variacindeparmetros1Click();
    QCOMPARE(c.vecesRango, 1);
    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 0);
    QCOMPARE(d->DesdeAlfa->value(), 0.3);
    QVERIFY(d->CBGraficos->isChecked());
    QCOMPARE(w->FormRangoVar, d); // the same dialog each time
}

void TstExperimentos::columnasDelDialogo_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("n");
    QTest::addColumn<bool>("alfa");
    QTest::addColumn<bool>("beta");
    QTest::addColumn<bool>("phi");
    QTest::newRow("NVS") << int(ItemNVS) << false << false << false << false;
    QTest::newRow("NVE") << int(ItemNVE) << false << false << false << false;
    QTest::newRow("MMS") << int(ItemMMS) << true << false << false << false;
    QTest::newRow("MMD") << int(ItemMMD) << true << false << false << false;
    QTest::newRow("LES") << int(ItemLES) << false << true << false << false;
    QTest::newRow("LED") << int(ItemLED) << false << true << false << false;
    QTest::newRow("DST") << int(ItemDST) << false << false << false << false;
    QTest::newRow("THT") << int(ItemTHT) << false << true << false << false;
    QTest::newRow("HLT") << int(ItemHLT) << false << true << true << false;
    QTest::newRow("H-W") << int(ItemHW) << false << true << true << true;
    QTest::newRow("CRT") << int(ItemCRT) << false << true << false << false;
    QTest::newRow("S-B") << int(ItemSB) << false << true << false << false;
}

void TstExperimentos::columnasDelDialogo()
{
    QFETCH(int, item);
    QFETCH(bool, n);
    QFETCH(bool, alfa);
    QFETCH(bool, beta);
    QFETCH(bool, phi);
    auto w = Ventana("C");
    Cargar(w.get(), 30);
    // After H-W, so that every column has been shown once before.
    w->SeleccionarModelo(ItemHW);
    w->FormRangoVar->MostrarColumnas(ItemHW);
    w->SeleccionarModelo(item);
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

void TstExperimentos::variacion_data()
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

void TstExperimentos::variacion()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(int, reserva);
    QFETCH(QList<double>, rangos);
    QFETCH(int, pasos);
    QFETCH(QStringList, etiquetas);
    QFETCH(QList<double>, finales);

    auto w = Ventana(locale);
    Cargar(w.get(), 60, reserva);
    w->SeleccionarModelo(item);
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
    w->Variacindeparmetros1Click();

    // The closing message: three lines, the step count and the seconds.
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = c.mensajes[0].split(QRegularExpression(QStringLiteral("[\r\n]")));
    QCOMPARE(lineas.size(), 3);
    QCOMPARE(lineas[0], QStringLiteral("Variaciones calculadas."));
    QCOMPARE(lineas[1], QStringLiteral("N = %1").arg(pasos));
    const QRegularExpressionMatch t = QRegularExpression(QStringLiteral("^T = (\\S+) segundos$")).match(lineas[2]);
    QVERIFY2(t.hasMatch(), qPrintable(lineas[2]));
    bool ok = false;
    const double segundos = QLocale().toDouble(t.captured(1), &ok);
    QVERIFY(ok);
    QVERIFY(segundos >= 0.0 && segundos < 600.0);
    QVERIFY(std::abs(segundos * 10000.0 - std::round(segundos * 10000.0)) < 1e-6); // four decimals at most

    const QStringList fit = Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste"));
    QCOMPARE(fit.size(), pasos);
    const QStringList esperadas = L(etiquetas);
    if (esperadas.size() == pasos) {
        QCOMPARE(fit, esperadas);
    } else {
        QCOMPARE(fit.constFirst(), esperadas.constFirst());
        QCOMPARE(fit.constLast(), esperadas.constLast());
    }
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAcierto")), reserva > 0 ? fit : QStringList());

    // Without "Dibujar": no comparison series and the forecast table left as it was.
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->ColCount(), columnasTabla);

    QList<double> quedan;
    switch (item) {
    case ItemMMS:
    case ItemMMD: quedan = {double(Control<QSpinBox>(w, "SEN")->value())}; break;
    case ItemLES:
    case ItemLED: quedan = {Control<QDoubleSpinBox>(w, "SEAlfaLE")->value()}; break;
    case ItemTHT: quedan = {Control<QDoubleSpinBox>(w, "SEAlfaTHT")->value()}; break;
    case ItemHLT:
        quedan = {Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()};
        break;
    case ItemHW:
        quedan = {Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(),
                  Control<QDoubleSpinBox>(w, "SEPhiHW")->value()};
        break;
    default: quedan = {Control<QDoubleSpinBox>(w, "SEAlfaCroston")->value()}; break;
    }
    QCOMPARE(quedan, finales);
}

void TstExperimentos::variacionDibujando()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemLES);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeAlfa->setValue(0.1);
        r->HastaAlfa->setValue(0.3);
        r->IncAlfa->setValue(0.1);
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

void TstExperimentos::variacionConFallos()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemMMS);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        r->DesdeN->setValue(-3);
        r->HastaN->setValue(3);
        r->IncN->setValue(2);
        r->CBGraficos->setChecked(true);
        return true;
    };
    w->Variacindeparmetros1Click();
    // N = -3 and N = -1 fail (MMS refuses a negative N): no message of their
    // own, they count as steps, and the closing message tells them.
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = c.mensajes[0].split(QRegularExpression(QStringLiteral("[\r\n]")));
    QCOMPARE(lineas.size(), 4);
    QCOMPARE(lineas[1], QStringLiteral("N = 4"));
    QCOMPARE(lineas[3], QStringLiteral("Fallidas = 2"));
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste")), (QStringList{"MMS (1)", "MMS (3)"}));
    // No series for the failed steps: it would be an earlier forecast under their label.
    QCOMPARE(Comparativas(w.get()), (QStringList{"P MMS (1)", "P MMS (3)"}));
    QCOMPARE(Control<QSpinBox>(w, "SEN")->value(), 3);
}

void TstExperimentos::variacionIntermitente()
{
    // Nearly two years of spare-parts demand: one month short of the two
    // years Holt-Winters needs for its first trend, so every run fails.
    QString t;
    for (int i = 0; i < 23; ++i) {
        const int v = (i >= 12 && i < 24) ? 0 : (i % 5 == 0 ? 3 : (i % 7 == 0 ? 1 : 0));
        t += QStringLiteral("%1\t%2\t%3\n").arg(2000 + i / 12).arg(i % 12 + 1).arg(v);
    }
    auto w = Ventana("es_ES");
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(t);
    w->CargarDatos();
    w->SeleccionarModelo(ItemHW);
    Contestador c;
    c.rango = [](TFormRangoVar* r) {
        for (QDoubleSpinBox* e : {r->DesdeAlfa, r->DesdeBeta, r->DesdePhi})
            e->setValue(0.1);
        for (QDoubleSpinBox* e : {r->HastaAlfa, r->HastaBeta, r->HastaPhi})
            e->setValue(0.9);
        for (QDoubleSpinBox* e : {r->IncAlfa, r->IncBeta, r->IncPhi})
            e->setValue(0.1);
        return true;
    };
    w->Variacindeparmetros1Click();
    // One message for the 729 failed steps, not 729.
    QCOMPARE(c.mensajes.size(), 1);
    const QStringList lineas = c.mensajes[0].split(QRegularExpression(QStringLiteral("[\r\n]")));
    QCOMPARE(lineas.size(), 4);
    QCOMPARE(lineas[1], QStringLiteral("N = 729"));
    QCOMPARE(lineas[3], QStringLiteral("Fallidas = 729"));
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEPhiHW")->value(), 0.9);
}

void TstExperimentos::incrementoNoPositivo_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("campo"); // the step set to the value below
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("motivo"); // empty: accepted
    QTest::newRow("LES step 0") << int(ItemLES) << "IncAlfa" << 0.0 << "El incremento de Alfa debe ser mayor que cero.";
    QTest::newRow("MMS step 0") << int(ItemMMS) << "IncN" << 0.0 << "El incremento de N debe ser mayor que cero.";
    QTest::newRow("MMD step -1") << int(ItemMMD) << "IncN" << -1.0 << "El incremento de N debe ser mayor que cero.";
    QTest::newRow("HLT beta step 0") << int(ItemHLT) << "IncBeta" << 0.0
                                     << "El incremento de Beta debe ser mayor que cero.";
    QTest::newRow("H-W phi step 0") << int(ItemHW) << "IncPhi" << 0.0
                                    << "El incremento de Phi debe ser mayor que cero.";
    QTest::newRow("CRT step 0") << int(ItemCRT) << "IncAlfa" << 0.0 << "El incremento de Alfa debe ser mayor que cero.";
    // A column the model does not use does not matter.
    QTest::newRow("LES with a zero beta step") << int(ItemLES) << "IncBeta" << 0.0 << "";
}

void TstExperimentos::incrementoNoPositivo()
{
    QFETCH(int, item);
    QFETCH(QString, campo);
    QFETCH(double, valor);
    QFETCH(QString, motivo);
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(item);
    Contestador c;
    c.rango = [&](TFormRangoVar* r) {
        if (auto* e = r->findChild<QSpinBox*>(campo))
            e->setValue(static_cast<int>(valor));
        else
            r->findChild<QDoubleSpinBox*>(campo)->setValue(valor);
        return true;
    };
    w->Variacindeparmetros1Click();
    if (motivo.isEmpty()) {
        QCOMPARE(c.rechazos, QStringList());
        QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 9);
        return;
    }
    QCOMPARE(c.rechazos, QStringList{motivo}); // shown in the dialog, which stayed open
    QCOMPARE(c.mensajes, QStringList()); // no run, no closing message
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 0);
    // The dialog keeps the values for the next use, and shows no old refusal then.
    auto* e = w->FormRangoVar->findChild<QAbstractSpinBox*>(campo);
    QCOMPARE(e->text(), QLocale().toString(valor, 'f', qobject_cast<QSpinBox*>(e) ? 0 : 2));
    w->FormRangoVar->MostrarColumnas(item);
    QVERIFY(w->FormRangoVar->LabelError->text().isEmpty());
}

void TstExperimentos::rechazoCorregido()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemLES);
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
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste")), (QStringList{"LES (0,1)", "LES (0,5)", "LES (0,9)"}));

    // Called directly, a step that is not positive runs nothing either.
    long long pasos = -1;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, w->VariarAlfaLE(0.1, 0.9, 0.0, false, pasos));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, w->VariarN(2, 12, -1, false, pasos));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             w->VariarHoltWinters(0.1, 0.9, 0.1, 0.1, 0.9, 0.1, 0.1, 0.9, 0.0, false, pasos));
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 3);
}

void TstExperimentos::pasoMasFinoQueLosDecimales()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemLES);
    long long pasos = -1;
    // 0.1, 0.104, 0.108: the spin edit holds two decimals, so the first two
    // runs both use 0.10; they are separate steps all the same.
    w->VariarAlfaLE(0.1, 0.11, 0.004, false, pasos);
    QCOMPARE(pasos, 3LL);
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste")), (QStringList{"LES (0,1)", "LES (0,1)", "LES (0,11)"}));
    QCOMPARE(Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(1, 1),
             Control<Rejilla>(w, "AdvSGErrAjuste")->Celda(1, 2)); // same model value, same MSE
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaLE")->value(), 0.11);
}

void TstExperimentos::redondearDecimales_data()
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

void TstExperimentos::redondearDecimales()
{
    QFETCH(int, d);
    QFETCH(double, x);
    QFETCH(double, esperado);
    const double r = TFormMain::RedondearDecimales(d, x);
    QVERIFY2(std::abs(r - esperado) <= 1e-9 * std::max(1.0, std::abs(esperado)),
             qPrintable(QString::number(r, 'g', 17)));
}

// The speed switch: a step that does not draw must not paint anything, nor
// let the event loop run.
void TstExperimentos::sinRepintadoSinDibujar()
{
    auto w = Ventana("es_ES");
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemHLT);
    w->CalcularPrevision(true);
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
    w->VariarHolt(0.0, 1.0, 0.1, 0.0, 1.0, 0.1, false, pasos);
    qApp->removeEventFilter(&contador);

    // 0, 0.1, ... 0.9999999999999999: eleven values per constant.
    QCOMPARE(pasos, 121LL);
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 122);
    QCOMPARE(contador.pintados, 0);
    QCOMPARE(Control<Rejilla>(w, "AdvStringGridPrevision")->Celda(6, w->Ws.NumDatos + 1), previsionAntes);
    QCOMPARE(Control<Grafico>(w, "ChartPC")->NumSeries(), 1);
}

void TstExperimentos::progreso()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemHLT);
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
        const QStringList hechas = Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste"));
        if (!hechas.isEmpty() &&
            hechas.constLast() != QStringLiteral("HLT (") +
                                      TextoGeneral(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value()) +
                                      QLatin1Char(';') +
                                      TextoGeneral(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()) + QLatin1Char(')'))
            ++desfasados;
        conBoton = conBoton || !p->findChildren<QPushButton*>().isEmpty();
    });
    mirar.start();
    QElapsedTimer reloj;
    reloj.start();
    long long pasos = 0;
    w->VariarHolt(0.0, 0.5, 0.1, 0.0, 0.5, 0.1, false, pasos);
    const qint64 ms = reloj.elapsed();
    mirar.stop();

    QCOMPARE(pasos, 36LL); // 0..0.5 in steps of 0.1: six values each
    QVERIFY(!textos.isEmpty());
    const QRegularExpression forma(QStringLiteral("^Paso (\\d+) de 36$"));
    for (const QString& t : textos)
        QVERIFY2(forma.match(t).hasMatch(), qPrintable(t));
    QVERIFY(!conBoton); // nothing to cancel with
    QCOMPARE(desfasados, 0);
    // A few refreshes a second at most.
    QVERIFY2(textos.size() <= 2 + ms / 250, qPrintable(QString::number(textos.size())));
    QVERIFY(!QApplication::activeModalWidget()); // gone at the end
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 36);
}

// A failing step's message is read against the window as that step left it:
// its parameter values in the edits and the ordinary cursor.
void TstExperimentos::parametrosALaVista()
{
    auto w = Ventana("es_ES");
    Cargar(w.get(), 23); // too short for Holt-Winters: every step fails
    w->SeleccionarModelo(ItemHW);
    Contestador c;
    long long pasos = 0;
    w->VariarHoltWinters(0.1, 0.2, 0.1, 0.3, 0.3, 0.1, 0.5, 0.6, 0.1, false, pasos);
    QCOMPARE(pasos, 4LL);
    // Failed steps raise no message; they are counted for the closing one.
    QCOMPARE(c.mensajes, QStringList());
    QCOMPARE(w->PasosFallidos, 4LL);
    // The edits show the last values run, and the cursor is back.
    QCOMPARE(TextoGeneral(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value()) + QLatin1Char(';') +
                 TextoGeneral(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value()) + QLatin1Char(';') +
                 TextoGeneral(Control<QDoubleSpinBox>(w, "SEPhiHW")->value()),
             L(QStringLiteral("0,2;0,3;0,6")));
    QVERIFY(!QApplication::overrideCursor());
}

// A level with no values leaves the edits of the levels inside it untouched;
// the outer edit still takes each of its values.
void TstExperimentos::nivelVacio()
{
    auto w = Ventana("C");
    Cargar(w.get(), 60);
    w->SeleccionarModelo(ItemHLT);
    Control<QDoubleSpinBox>(w, "SEAlfaHLT")->setValue(0.37);
    Control<QDoubleSpinBox>(w, "SEBetaHLT")->setValue(0.63);
    long long pasos = -1;
    w->VariarHolt(0.5, 0.4, 0.1, 0.1, 0.2, 0.1, false, pasos);
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), 0.37);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(), 0.63);
    w->VariarHolt(0.1, 0.2, 0.1, 0.5, 0.4, 0.1, false, pasos);
    QCOMPARE(pasos, 0LL);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaHLT")->value(), 0.2);
    QCOMPARE(Control<QDoubleSpinBox>(w, "SEBetaHLT")->value(), 0.63);
    QCOMPARE(Filas(Control<Rejilla>(w, "AdvSGErrAjuste")), 0);
}

// ---------------------------------------------------------------- ex-ante simulation

void TstExperimentos::dialogoExAnte()
{
    auto w = Ventana("es_ES");
    TFormSimExAnte* d = w->FormSimExAnte;
    QVERIFY(d);
    QCOMPARE(d->objectName(), QStringLiteral("FormSimExAnte"));
    QCOMPARE(d->parentWidget(), static_cast<QWidget*>(w.get()));
    QCOMPARE(d->windowTitle(), QStringLiteral("Simulación ex-ante"));
    QCOMPARE(d->Label1->text(), QStringLiteral("Seleccione el rango para la simulación:"));
    QCOMPARE(d->LabelDesde->text(), QStringLiteral("Desde T -"));
    QCOMPARE(d->LabelHasta->text(), QStringLiteral("Hasta T -"));
    QCOMPARE(d->SEDesde->value(), 6);
    QCOMPARE(d->SEHasta->value(), 0);
    QCOMPARE(d->BBAceptar->text(), QStringLiteral("Aceptar"));
    QCOMPARE(d->BBCancelar->text(), QStringLiteral("Cancelar"));

    // The limits follow the loaded data each time; the values are kept.
    Contestador c;
    QList<int> limites;
    c.exAnte = [&](TFormSimExAnte* s) {
        limites << s->SEDesde->maximum() << s->SEHasta->maximum();
        s->SEDesde->setValue(2);
        return false;
    };
    Cargar(w.get(), 30);
    w->Simulacinexante1Click();
    Cargar(w.get(), 40);
    w->Simulacinexante1Click();
    QCOMPARE(limites, (QList<int>{30, 30, 40, 40}));
    QCOMPARE(d->SEDesde->value(), 2);
    QCOMPARE(c.mensajes, QStringList());
}

void TstExperimentos::exAnte_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("n"); // SEN
    QTest::addColumn<int>("desde"); // -1: the dialog's own values
    QTest::addColumn<int>("hasta");
    QTest::addColumn<bool>("aceptar");
    QTest::addColumn<QStringList>("ajuste");
    QTest::addColumn<QStringList>("acierto");
    QTest::addColumn<int>("fallos");
    QTest::addColumn<QStringList>("series");
    QTest::addColumn<int>("reservaFinal");

    const QStringList siete = ConSufijo(QStringLiteral("LES (0,5)"), 0, 6);
    for (const char* loc : {"es_ES", "C"}) {
        auto fila = [loc](const char* nombre) -> QTestData& {
            return QTest::newRow(QByteArray(loc).append(' ').append(nombre).constData());
        };
        fila("defaults") << loc << int(ItemLES) << 6 << -1 << -1 << true << siete << siete.mid(1) << 0 << ConP(siete)
                         << 6;
        fila("one origin") << loc << int(ItemLES) << 6 << 3 << 3 << true << QStringList{"LES (0,5) T-3"}
                           << QStringList{"LES (0,5) T-3"} << 0 << QStringList{"P LES (0,5) T-3"} << 3;
        // 30 values: hold-outs 27, 28, 29 and 29 again (the spin edit stops at
        // T - 1). With one fitting value NVS has no fit row to measure: its
        // cells stay empty, and the step is still a run that got through.
        const QStringList hastaT = {"NVS () T-27", "NVS () T-28", "NVS () T-29", "NVS () T-29"};
        fila("Desde T") << loc << int(ItemNVS) << 6 << 30 << 27 << true << hastaT << hastaT << 0 << ConP(hastaT) << 29;
        fila("Desde below Hasta") << loc << int(ItemLES) << 6 << 2 << 4 << true << QStringList{} << QStringList{} << 0
                                  << QStringList{} << 0;
        fila("cancelled") << loc << int(ItemLES) << 6 << -1 << -1 << false << QStringList{} << QStringList{} << 0
                          << QStringList{} << 0;
        // Every step fails in the model (a negative N): no rows, no series.
        fila("all fail") << loc << int(ItemMMS) << -1 << 2 << 0 << true << QStringList{} << QStringList{} << 3
                         << QStringList{} << 2;
    }
}

void TstExperimentos::exAnte()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(int, n);
    QFETCH(int, desde);
    QFETCH(int, hasta);
    QFETCH(bool, aceptar);
    QFETCH(QStringList, ajuste);
    QFETCH(QStringList, acierto);
    QFETCH(int, fallos);
    QFETCH(QStringList, series);
    QFETCH(int, reservaFinal);

    auto w = Ventana(locale);
    Cargar(w.get(), 30);
    w->SeleccionarModelo(item);
    Control<QSpinBox>(w, "SEN")->setValue(n);
    // Odd widths, to see the tables fitted at the end whatever happened.
    for (Rejilla* g : {Control<Rejilla>(w, "AdvSGErrAjuste"), Control<Rejilla>(w, "AdvSGErrAcierto")}) {
        g->setColumnWidth(0, 222);
        g->setColumnWidth(1, 333);
    }
    Contestador c;
    c.exAnte = [&](TFormSimExAnte* s) {
        if (desde >= 0) {
            s->SEDesde->setValue(desde);
            s->SEHasta->setValue(hasta);
        }
        return aceptar;
    };
    w->Simulacinexante1Click();

    QCOMPARE(c.vecesExAnte, 1);
    // Failed steps say nothing of their own; one message tells them at the end.
    const int pasos = desde >= 0 ? std::max(desde - hasta + 1, 0) : 7;
    QCOMPARE(c.mensajes, fallos > 0
                             ? QStringList{QStringLiteral("Simulaciones fallidas: %1 de %2.").arg(fallos).arg(pasos)}
                             : QStringList());
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAjuste")), L(ajuste));
    QCOMPARE(Etiquetas(Control<Rejilla>(w, "AdvSGErrAcierto")), L(acierto));
    QCOMPARE(Comparativas(w.get()), L(series));
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), reservaFinal);
    QCOMPARE(w->Ws.NumDatos, 30 - reservaFinal);
    for (Rejilla* g : {Control<Rejilla>(w, "AdvSGErrAjuste"), Control<Rejilla>(w, "AdvSGErrAcierto")}) {
        QCOMPARE(g->columnWidth(0), 222); // the fixed column keeps its width
        QVERIFY(g->columnWidth(1) != 333);
    }
}

// One row of an error table against the measures of the plain path: label
// text and each of the twelve values, to the last bit; no value, no text.
static bool MismaFila(const Rejilla* g, int fila, const QString& etiqueta, const Medidas& m, QString* por)
{
    const ModeloRejilla* mo = g->Modelo();
    if (mo->Celda(0, fila) != etiqueta) {
        *por = QStringLiteral("fila %1: etiqueta %2, se esperaba %3").arg(fila).arg(mo->Celda(0, fila), etiqueta);
        return false;
    }
    const auto valores = m.Columnas();
    for (int col = 1; col <= 12; ++col) {
        const Medida& v = valores[size_t(col - 1)];
        const bool bien = v ? mo->Tipo(col, fila) == TipoCelda::Numero && mo->Numero(col, fila) == *v
                            : mo->Tipo(col, fila) == TipoCelda::Vacia;
        if (!bien) {
            *por = QStringLiteral("fila %1 (%2), columna %3: %4 frente a %5")
                       .arg(fila)
                       .arg(etiqueta)
                       .arg(col)
                       .arg(mo->Numero(col, fila), 0, 'g', 17)
                       .arg(v ? *v : qQNaN(), 0, 'g', 17);
            return false;
        }
    }
    return true;
}

void TstExperimentos::rejillaComoPasoAPaso_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("reserva");
    QTest::newRow("es_ES, sin reserva") << "es_ES" << 0;
    QTest::newRow("C, 12 reservados") << "C" << 12;
}

// The 9 x 9 x 9 Holt-Winters grid through the loop (which skips the work the
// constants do not change) against each step run alone through the core, as
// a single calculation runs it: every row of both tables and the workspace left.
void TstExperimentos::rejillaComoPasoAPaso()
{
    QFETCH(QString, locale);
    QFETCH(int, reserva);
    auto w = Ventana(locale);
    Cargar(w.get(), 72, reserva);
    w->SeleccionarModelo(ItemHW);
    Espacio e = w->Ws;
    Parametros p;
    p.V = w->findChild<QSpinBox*>("SEValoresPrever")->value();
    p.PrevNeg = w->findChild<QCheckBox*>("CBPrevNeg")->isChecked();
    auto* ajuste = w->findChild<Rejilla*>("AdvSGErrAjuste");
    auto* acierto = w->findChild<Rejilla*>("AdvSGErrAcierto");
    QVERIFY(ajuste && acierto);

    long long pasos = 0;
    w->VariarHoltWinters(0.1, 0.9, 0.1, 0.1, 0.9, 0.1, 0.1, 0.9, 0.1, false, pasos);
    QCOMPARE(pasos, 729LL);
    QCOMPARE(ajuste->RowCount(), 730);
    QCOMPARE(acierto->RowCount(), reserva > 0 ? 730 : 2);

    // The edits hold two decimals: value k of a level is 0.1 + 0.1 k rounded to them.
    const auto valor = [](int k) { return std::round((0.1 + 0.1 * k) * 100.0) / 100.0; };
    const QString sufijo = reserva > 0 ? QStringLiteral(" T-%1").arg(reserva) : QString();
    int fila = 0;
    QString por;
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
                ++fila;
                const QString etiqueta =
                    QStringLiteral("H-W (%1;%2;%3)")
                        .arg(TextoGeneral(p.AlfaHLT), TextoGeneral(p.BetaHLT), TextoGeneral(p.PhiHW)) +
                    sufijo;
                Medidas m = CalcularMedidas(e, 1, e.FilaInicioPrev + 1, e.NumDatos);
                QVERIFY2(MismaFila(ajuste, fila, etiqueta, m, &por), qPrintable(por));
                if (reserva > 0) {
                    m = CalcularMedidas(e, 2, e.NumDatos + 1, std::min(e.TotalDatos, e.NumDatos + p.V));
                    QVERIFY2(MismaFila(acierto, fila, etiqueta, m, &por), qPrintable(por));
                }
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

QTEST_MAIN(TstExperimentos)
#include "tst_experimentos.moc"
