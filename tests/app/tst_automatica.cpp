// SPDX-License-Identifier: GPL-3.0-or-later
// The automatic forecast as the user runs it on a loaded sample: the menu
// item, Ctrl+F9 and the tool button; the ranking page; the winner on the
// model page, in the forecast table, the status line and the chart's fan; a
// candidate double-clicked; a run cancelled from its progress window; the
// interval box switched off and on.
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cmath>

#include "app/MainUnit.h"
#include "data/Numeros.h"
#include "models/Catalogo.h"
#include "ui/Grafico.h"
#include "ui/PaginaSeleccion.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

const QStringList kCabecerasIntervalos = {QStringLiteral("Inf. 80"), QStringLiteral("Sup. 80"),
                                          QStringLiteral("Inf. 95"), QStringLiteral("Sup. 95")};

// A window with a sample file opened and loaded, shown, under the given number format.
std::unique_ptr<TFormMain> Cargada(const QString& locale, const char* fichero = "AirPassengers.txt")
{
    PonerLocale(locale == QLatin1String("es_ES"));
    auto w = std::make_unique<TFormMain>();
    w->resize(1200, 800);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        return nullptr;
    w->AbrirFichero(QStringLiteral(TENDORA_EJEMPLOS "/") + QLatin1String(fichero));
    w->CargarDatos();
    return w;
}

// The user's three ways to the command.
enum Via { Menu, Teclas, Boton };

void Ordenar(TFormMain& w, Via via)
{
    switch (via) {
    case Menu: {
        // Herramientas, then the item, with the mouse.
        auto* menu = Control<QMenu>(w, "Herramientas1");
        QMenuBar* barra = w.menuBar();
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(menu->menuAction()).center());
        if (!QTest::qWaitForWindowExposed(menu))
            qWarning("el menú no se muestra");
        auto* a = Control<QAction>(w, "Previsionautomatica1");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        break;
    }
    case Teclas:
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("la ventana no se activa");
        QTest::keyClick(&w, Qt::Key_F9, Qt::ControlModifier);
        break;
    case Boton: Control<QToolButton>(w, "TBAutomatica")->click(); break;
    }
    QTest::qWait(20); // let it repaint
}

QStringList Fila(const Rejilla* g, int fila)
{
    QStringList t;
    for (int c = 0; c < g->ColCount(); ++c)
        t << g->Celda(c, fila);
    return t;
}

QStringList Todo(const Rejilla* g)
{
    QStringList t;
    for (int f = 0; f < g->RowCount(); ++f)
        t << Fila(g, f).join(QLatin1Char('\t'));
    return t;
}

double Numero(const QString& texto, bool* ok)
{
    return ConvertirNumero(texto, ok);
}

// Grid column of the first interval header ("Inf. 80"), -1 without them.
int ColumnaIntervalos(const Rejilla* g)
{
    for (int c = 0; c < g->ColCount(); ++c)
        if (g->Celda(c, 0) == kCabecerasIntervalos[0])
            return c;
    return -1;
}

// The forecast rows' bounds as the table shows them: finite numbers under the
// locale, Inf95 <= Inf80 <= Sup80 <= Sup95, and not below 0 unless negatives
// are allowed. Empty when all is well, else what is wrong.
QString RevisarBandas(const TFormMain& w, const Rejilla* g, bool negativas)
{
    const int c0 = ColumnaIntervalos(g);
    if (c0 < 0 || c0 + 4 != g->ColCount())
        return QStringLiteral("no hay cuatro columnas de intervalos al final");
    for (int k = 0; k < 4; ++k)
        if (g->Celda(c0 + k, 0) != kCabecerasIntervalos[k])
            return QStringLiteral("cabecera %1: %2").arg(k).arg(g->Celda(c0 + k, 0));
    const int n = w.Ws.NumDatos, V = w.SesionActual.Horizonte();
    for (int fila = n + 1; fila <= n + V; ++fila) {
        double v[4];
        for (int k = 0; k < 4; ++k) {
            bool ok = false;
            v[k] = Numero(g->Celda(c0 + k, fila), &ok);
            if (!ok || !std::isfinite(v[k]))
                return QStringLiteral("fila %1: «%2» no es un número").arg(fila).arg(g->Celda(c0 + k, fila));
        }
        const double inf80 = v[0], sup80 = v[1], inf95 = v[2], sup95 = v[3];
        if (!(inf95 <= inf80 && inf80 <= sup80 && sup80 <= sup95))
            return QStringLiteral("fila %1 desordenada: %2").arg(fila).arg(Fila(g, fila).join(QLatin1Char(' ')));
        if (!negativas && inf95 < 0.0)
            return QStringLiteral("fila %1: límite inferior negativo %2").arg(fila).arg(inf95);
    }
    // History rows have no bounds.
    for (int fila = 1; fila <= n; ++fila)
        for (int k = 0; k < 4; ++k)
            if (!g->Celda(c0 + k, fila).isEmpty())
                return QStringLiteral("fila %1 del histórico con intervalo").arg(fila);
    return QString();
}

// Where a value of the forecast chart is drawn, in view pixels.
QPoint EnVista(Grafico* g, double x, double y)
{
    QAbstractSeries* s = g->Serie(QStringLiteral("SeriesPrevision"))->SeriesQt().constFirst();
    const QPointF p = g->chart()->mapToPosition(QPointF(x, y), s);
    return g->mapFromScene(g->chart()->mapToScene(p));
}

// As the window system sends a double click: press, release, double click, release.
void DobleClic(Rejilla* g, int fila, int col)
{
    const QModelIndex celda = g->model()->index(fila - 1, col);
    g->scrollTo(celda);
    const QPoint p = g->visualRect(celda).center();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, p);
}

// A candidate's label as the core writes it, with the user's decimal mark.
QString EtiquetaLocal(const Candidato& c)
{
    QString t = QString::fromStdString(c.Etiqueta);
    if (QLocale().decimalPoint() == QStringLiteral(","))
        t.replace(QRegularExpression(QStringLiteral("(\\d)\\.(\\d)")), QStringLiteral("\\1,\\2"));
    return t;
}

// Grid column of a header, -1 when none.
int Columna(const Rejilla* g, const QString& cabecera)
{
    for (int c = 0; c < g->ColCount(); ++c)
        if (g->Celda(c, 0) == cabecera)
            return c;
    return -1;
}

QString Estado(const TFormMain& w)
{
    return Control<QLabel>(w, "LabelEstado")->text();
}

const QString kEstadoAutomatica = QStringLiteral("^Previsión automática: (.+), MASE (.+)$");

} // namespace

class TstAutomatica : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void orden_data();
    void orden();
    void dobleClic_data();
    void dobleClic();
    void cancelar_data();
    void cancelar();
    void abanico_data();
    void abanico();
    void negativas_data();
    void negativas();
    void calcularConIntervalos_data();
    void calcularConIntervalos();
    void criterio();
    void sinDatos();
    void historicoCorto();
    void exportar();
    void intermitente_data();
    void intermitente();
};

void TstAutomatica::orden_data()
{
    QTest::addColumn<int>("via");
    QTest::addColumn<QString>("locale");
    for (const char* locale : {"es_ES", "C"}) {
        QTest::newRow(QByteArray("menú, ").append(locale).constData()) << int(Menu) << locale;
        QTest::newRow(QByteArray("Ctrl+F9, ").append(locale).constData()) << int(Teclas) << locale;
        QTest::newRow(QByteArray("botón, ").append(locale).constData()) << int(Boton) << locale;
    }
}

// The command ranks every model, applies the winner with a hold-out of 0 and
// its intervals, and shows the ranking.
void TstAutomatica::orden()
{
    QFETCH(int, via);
    QFETCH(QString, locale);
    auto w = Cargada(locale);
    QVERIFY(w);
    // Whatever was set before: a hold-out and the box off.
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(6);
    QVERIFY(!Control<QCheckBox>(w, "CBIntervalos")->isChecked());
    Mensajes m;
    Ordenar(*w, Via(via));
    QCOMPARE(m.textos, QStringList());

    auto* paginas = Control<QTabWidget>(w, "PageControl1");
    QCOMPARE(paginas->currentWidget()->objectName(), QStringLiteral("TabSheetSeleccion"));
    QCOMPARE(paginas->tabText(paginas->currentIndex()), QStringLiteral("Selección automática"));
    QCOMPARE(paginas->currentIndex(), paginas->count() - 1);
    QCOMPARE(Control<QComboBox>(w, "CBCriterio")->currentText(), QStringLiteral("MASE"));

    // One row per candidate, each labelled as the core labels it.
    const ResultadoAutomatico& r = w->SesionActual.UltimaSeleccion();
    QVERIFY(!r.Ranking.empty());
    QVERIFY(r.Ganador >= 0);
    auto* g = Control<Rejilla>(w, "SGSeleccion");
    QCOMPARE(g->RowCount() - 1, int(r.Ranking.size()));
    QCOMPARE(Fila(g, 0), QStringList({"Modelo", "MASE", "MASE", "RMSSE", "sMAPE", "ME", "Sin error %", "Cobertura 80 %",
                                      "Cobertura 95 %", "Motivo"}));
    // Best first: the criterion never falls down the valid rows; every text
    // in the user's decimal mark, nothing not finite.
    const QChar otraMarca = locale == QLatin1String("C") ? QLatin1Char(',') : QLatin1Char('.');
    double anterior = -1.0;
    QSet<QString> etiquetas;
    for (int fila = 1; fila < g->RowCount(); ++fila) {
        const QStringList t = Fila(g, fila);
        QCOMPARE(t[0], EtiquetaLocal(r.Ranking[size_t(fila - 1)]));
        etiquetas.insert(t[0]);
        for (int c = 0; c < PaginaSeleccion::ColMotivo; ++c) {
            QVERIFY2(!t[c].contains(QLatin1String("nan"), Qt::CaseInsensitive) &&
                         !t[c].contains(QLatin1String("inf"), Qt::CaseInsensitive),
                     qPrintable(t.join(QLatin1Char('|'))));
            QVERIFY2(!t[c].contains(QRegularExpression(QStringLiteral("\\d\\") + otraMarca + QStringLiteral("\\d"))),
                     qPrintable(t[c]));
        }
        bool ok = false;
        const double v = Numero(t[1], &ok);
        if (!ok)
            continue; // a candidate passed over, at the end
        QVERIFY2(v >= anterior, qPrintable(t.join(QLatin1Char('|'))));
        anterior = v;
        // Coverages are per cent.
        for (int c : {PaginaSeleccion::ColCobertura80, PaginaSeleccion::ColCobertura95})
            if (!t[c].isEmpty()) {
                const double p = Numero(t[c], &ok);
                QVERIFY(ok && p >= 0.0 && p <= 100.0);
            }
    }
    QCOMPARE(etiquetas.size(), g->RowCount() - 1); // rows tell apart
    const int filaGanador = r.Ganador + 1;
    QVERIFY(Fila(g, filaGanador)[PaginaSeleccion::ColMotivo].startsWith(QStringLiteral("Elegido")));
    // The columns fit their texts.
    const QFontMetrics fm(g->font());
    for (int fila = 1; fila < g->RowCount(); ++fila)
        QVERIFY(g->columnWidth(PaginaSeleccion::ColMotivo) >=
                fm.horizontalAdvance(g->Celda(PaginaSeleccion::ColMotivo, fila)));
    // Where the ranking comes from, in words.
    QVERIFY2(QRegularExpression(QStringLiteral("Evaluada en \\d+ orígenes móviles, \\d+ meses por origen"))
                 .match(Control<QLabel>(w, "LabelPlan")->text())
                 .hasMatch(),
             qPrintable(Control<QLabel>(w, "LabelPlan")->text()));
    QVERIFY(Control<QLabel>(w, "LabelPlan")->text().contains(QStringLiteral("todo el histórico")));

    // The winner on the model page (a combination: its first model), refitted on the whole history.
    const Candidato& ganador = r.Ranking[size_t(r.Ganador)];
    QVERIFY(Control<QRadioButton>(w, qPrintable(QStringLiteral("RGModelo%1").arg(ganador.Item)))->isChecked());
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), 0);
    QVERIFY(Control<QCheckBox>(w, "CBIntervalos")->isChecked());
    const QString etiqueta = Fila(g, filaGanador)[0];
    const QString codigo =
        QString::fromUtf8(FichaDe(ganador.Item).Codigo.data(), qsizetype(FichaDe(ganador.Item).Codigo.size()));
    // Logged as a calculation of the model page's model is.
    auto* ajuste = Control<Rejilla>(w, "AdvSGErrAjuste");
    QVERIFY(ajuste->Celda(0, ajuste->RowCount() - 1).startsWith(codigo + QStringLiteral(" (")));

    // The table as Calcular leaves it, with four interval columns. The
    // forecast is the core's own refit (ResultadoAutomatico::Prevision),
    // worked out apart from the session's calculation, and so are the
    // bounds: in the model's column, or for a combination or an adjusted
    // model in a column of its own.
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    QCOMPARE(RevisarBandas(*w, tabla, false), QString());
    const int c0 = ColumnaIntervalos(tabla);
    const int propia = Columna(tabla, QStringLiteral("Prev. automática"));
    const bool aparte = ganador.EsCombinacion() || ganador.Desestacionalizado;
    QCOMPARE(propia >= 0, aparte);
    const int n = w->Ws.NumDatos;
    QCOMPARE(n, 144); // AirPassengers: 12 years of months
    QCOMPARE(int(r.Prevision.size()), 12);
    for (int k = 0; k < 12; ++k) {
        QCOMPARE(tabla->Celda(aparte ? propia : w->Ws.ColPrev - 1, n + 1 + k), TextoFijo2(r.Prevision[size_t(k)]));
        const Intervalo& b = r.Intervalos[size_t(k)];
        QCOMPARE(Fila(tabla, n + 1 + k).mid(c0),
                 QStringList({TextoFijo2(b.Inf80), TextoFijo2(b.Sup80), TextoFijo2(b.Inf95), TextoFijo2(b.Sup95)}));
    }
    // The chart draws that forecast too when it is not the model's.
    SerieGrafico* serie = Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SeriePrevisionAutomatica"));
    QCOMPARE(serie->count(), aparte ? 12 : 0);
    QCOMPARE(serie->name(), aparte ? QStringLiteral("Prev. automática") : QString());

    // The status line names the winner and its score, in the user's decimal mark.
    const QRegularExpressionMatch e = QRegularExpression(kEstadoAutomatica).match(Estado(*w));
    QVERIFY2(e.hasMatch(), qPrintable(Estado(*w)));
    QCOMPARE(e.captured(1), etiqueta);
    bool ok = false;
    const double puntos = Numero(e.captured(2), &ok);
    QVERIFY2(ok, qPrintable(e.captured(2)));
    QVERIFY(std::fabs(puntos - ganador.Valor) <= 0.0005 * std::max(1.0, std::fabs(ganador.Valor)));
    QVERIFY(!e.captured(2).contains(otraMarca));
}

void TstAutomatica::dobleClic_data()
{
    QTest::addColumn<QString>("clase"); // "" a single model; "Media (" a combination; " desest." an adjusted one
    QTest::addColumn<bool>("ordenar");
    QTest::addColumn<QString>("locale");
    QTest::newRow("un modelo, es_ES") << "" << false << "es_ES";
    QTest::newRow("un modelo tras ordenar por sMAPE descendente, C") << "" << true << "C";
    QTest::newRow("combinación, C") << "Media (" << false << "C";
    QTest::newRow("desestacionalizado, es_ES") << " desest." << true << "es_ES";
    QTest::newRow("TSB on the spare part, C") << "TSB" << false << "C";
}

// A candidate double-clicked is applied as the winner was: its model, the
// hold-out 0, the intervals on, a combination's or adjusted model's own
// forecast; the row is found by what it shows, also after the user sorted
// the grid. TSB is not on the model page: Croston stands for it there.
void TstAutomatica::dobleClic()
{
    QFETCH(QString, clase);
    QFETCH(bool, ordenar);
    QFETCH(QString, locale);
    const bool tsb = clase == QLatin1String("TSB");
    auto w = Cargada(locale, tsb ? "repuesto.txt" : "AirPassengers.txt");
    QVERIFY(w);
    Ordenar(*w, Boton);
    auto* g = Control<Rejilla>(w, "SGSeleccion");
    if (ordenar)
        g->Ordenar(PaginaSeleccion::ColSMAPE, Qt::DescendingOrder); // as a click on the "sMAPE" header does
    const ResultadoAutomatico& r = w->SesionActual.UltimaSeleccion();
    // The first row of that kind (a single model other than the winner).
    int fila = -1, k = -1;
    for (int f = 1; f < g->RowCount() && fila < 0; ++f)
        for (size_t i = 0; i < r.Ranking.size(); ++i) {
            const Candidato& c = r.Ranking[i];
            if (EtiquetaLocal(c) != g->Celda(0, f) || !c.Valido)
                continue;
            const bool esa = tsb               ? c.Item == ItemTSB
                             : clase.isEmpty() ? !c.EsCombinacion() && !c.Desestacionalizado && c.Item != ItemTSB &&
                                                     int(i) != r.Ganador
                             : clase.startsWith(QLatin1String("Media")) ? c.EsCombinacion()
                                                                        : !c.EsCombinacion() && c.Desestacionalizado;
            if (esa) {
                fila = f;
                k = int(i);
            }
            break;
        }
    if (fila < 0)
        QSKIP("the ranking has no candidate of that kind");
    const Candidato& c = r.Ranking[size_t(k)];
    const QString etiqueta = g->Celda(0, fila);
    QVERIFY(clase.isEmpty() || etiqueta.contains(clase));
    // Changed since: the hold-out and the box.
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(4);
    Control<QCheckBox>(w, "CBIntervalos")->setChecked(false);
    const int filasAjuste = Control<Rejilla>(w, "AdvSGErrAjuste")->RowCount();

    Mensajes m;
    DobleClic(g, fila, ordenar ? PaginaSeleccion::ColMotivo : PaginaSeleccion::ColModelo);
    QTest::qWait(20);
    QCOMPARE(m.textos, QStringList());
    QVERIFY(Control<QRadioButton>(w, qPrintable(QStringLiteral("RGModelo%1").arg(tsb ? int(ItemCRT) : c.Item)))
                ->isChecked());
    if (tsb) // the size constant shared
        QCOMPARE(Control<QDoubleSpinBox>(w, "SEAlfaCroston")->value(), c.Param.AlfaCroston);
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), 0);
    QVERIFY(Control<QCheckBox>(w, "CBIntervalos")->isChecked());
    const QString prefijo =
        k == r.Ganador ? QStringLiteral("Previsión automática: ") : QStringLiteral("Candidato aplicado: ");
    QCOMPARE(Estado(*w).section(QStringLiteral(", "), 0, -2), prefijo + etiqueta);
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    QCOMPARE(RevisarBandas(*w, tabla, false), QString());
    auto* ajuste = Control<Rejilla>(w, "AdvSGErrAjuste");
    QCOMPARE(ajuste->RowCount(), filasAjuste + 1);
    // Its own forecast where the model page's model is not all of it.
    const int propia = Columna(tabla, QStringLiteral("Prev. automática"));
    const bool aparte = c.EsCombinacion() || c.Desestacionalizado || tsb;
    QCOMPARE(propia >= 0, aparte);
    if (aparte) {
        const int n = w->Ws.NumDatos;
        for (int t = 1; t <= w->SesionActual.Horizonte(); ++t) {
            bool ok = false;
            const double x = Numero(tabla->Celda(propia, n + t), &ok);
            QVERIFY(std::isfinite(x) && ok);
            if (tsb) // the same core forecast, as the table writes numbers
                QCOMPARE(tabla->Celda(propia, n + t), tabla->Celda(propia, n + 1));
        }
        QCOMPARE(Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SeriePrevisionAutomatica"))->count(),
                 w->SesionActual.Horizonte());
    } else {
        QVERIFY(ajuste->Celda(0, ajuste->RowCount() - 1) == etiqueta);
    }
    // The ranking stays as it was shown.
    QCOMPARE(g->Celda(0, fila), etiqueta);
}

void TstAutomatica::cancelar_data()
{
    QTest::addColumn<bool>("antes"); // a finished run before the cancelled one
    QTest::addColumn<QString>("locale");
    QTest::newRow("primera, es_ES") << false << "es_ES";
    QTest::newRow("tras otra completa, C") << true << "C";
}

// "Cancelar" in the progress window stops the run and leaves everything as it was.
void TstAutomatica::cancelar()
{
    QFETCH(bool, antes);
    QFETCH(QString, locale);
    auto w = Cargada(locale);
    QVERIFY(w);
    if (antes)
        Ordenar(*w, Boton);
    // A run of the user's own: MMS with 3 values held back, intervals off.
    w->SesionActual.SeleccionarModelo(ItemMMS);
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(3);
    Control<QCheckBox>(w, "CBIntervalos")->setChecked(false);
    Control<QToolButton>(w, "TBCalcular")->click();
    auto* paginas = Control<QTabWidget>(w, "PageControl1");
    paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    const QStringList tabla = Todo(Control<Rejilla>(w, "AdvStringGridPrevision"));
    const QStringList seleccion = Todo(Control<Rejilla>(w, "SGSeleccion"));
    const QStringList ajuste = Todo(Control<Rejilla>(w, "AdvSGErrAjuste"));
    const QString plan = Control<QLabel>(w, "LabelPlan")->text();

    w->EsperaProgresoMs = 0; // shown at the first model
    bool pedido = false;
    QString boton;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, [&] {
        auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (pedido || !p || !p->isVisible())
            return;
        pedido = true;
        auto* cancelar = Control<QPushButton>(p, "BBCancelar");
        boton = cancelar->text();
        cancelar->click();
    });
    mirar.start();
    Mensajes m;
    Ordenar(*w, Teclas);
    mirar.stop();
    QVERIFY(pedido);
    QCOMPARE(boton, QStringLiteral("Cancelar"));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(m.textos, QStringList());

    QVERIFY(Control<QRadioButton>(w, qPrintable(QStringLiteral("RGModelo%1").arg(ItemMMS)))->isChecked());
    QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), 3);
    QVERIFY(!Control<QCheckBox>(w, "CBIntervalos")->isChecked());
    QCOMPARE(Todo(Control<Rejilla>(w, "AdvStringGridPrevision")), tabla);
    QCOMPARE(Todo(Control<Rejilla>(w, "SGSeleccion")), seleccion);
    QCOMPARE(Todo(Control<Rejilla>(w, "AdvSGErrAjuste")), ajuste);
    QCOMPARE(Control<QLabel>(w, "LabelPlan")->text(), plan);
    QCOMPARE(paginas->currentWidget()->objectName(), QStringLiteral("TabSheetModelo"));
    QCOMPARE(Estado(*w), QStringLiteral("Previsión automática interrumpida: no se ha cambiado nada."));

    if (antes) {
        // The ranking shown is still the session's: a double click applies its row.
        auto* g = Control<Rejilla>(w, "SGSeleccion");
        const Candidato& c = w->SesionActual.UltimaSeleccion().Ranking[0];
        DobleClic(g, 1, PaginaSeleccion::ColMASE);
        QTest::qWait(20);
        QCOMPARE(m.textos, QStringList());
        QVERIFY(Control<QRadioButton>(w, qPrintable(QStringLiteral("RGModelo%1").arg(c.Item)))->isChecked());
        QCOMPARE(Control<QSpinBox>(w, "SEPuntosSinUsar")->value(), 0);
        QVERIFY(Control<QCheckBox>(w, "CBIntervalos")->isChecked());
    }
}

void TstAutomatica::abanico_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_ES") << "es_ES";
    QTest::newRow("C") << "C";
}

// The forecast chart draws the intervals as a fan with two legend entries;
// the box switched off takes the fan and the table's columns away, and on
// again brings back those of the last calculation.
void TstAutomatica::abanico()
{
    QFETCH(QString, locale);
    auto w = Cargada(locale);
    QVERIFY(w);
    Ordenar(*w, Teclas);
    auto* paginas = Control<QTabWidget>(w, "PageControl1");
    paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    auto* chart = Control<Grafico>(w, "ChartP");
    QVERIFY(QTest::qWaitForWindowExposed(chart));
    QTest::qWait(50);
    chart->repaint();
    SerieGrafico* s80 = chart->Serie(QStringLiteral("SerieIntervalo80"));
    SerieGrafico* s95 = chart->Serie(QStringLiteral("SerieIntervalo95"));
    QVERIFY(s80 && s95);
    QCOMPARE(s80->name(), QStringLiteral("Intervalo 80 %"));
    QCOMPARE(s95->name(), QStringLiteral("Intervalo 95 %"));
    QVERIFY(chart->LeyendaMostrada());
    QVERIFY(!chart->RectEntradaLeyenda(s80).isEmpty());
    QVERIFY(!chart->RectEntradaLeyenda(s95).isEmpty());
    // Each band's outline: the upper bounds forward, the lower ones back.
    const std::vector<Intervalo>& b = w->SesionActual.IntervalosPrevision();
    QCOMPARE(int(b.size()), 12);
    QCOMPARE(s95->count(), 24);
    const int n = w->Ws.NumDatos;
    QCOMPARE(s95->Puntos()[0].x, double(n + 1));
    QCOMPARE(s95->Puntos()[0].y, b[0].Sup95);
    QCOMPARE(s95->Puntos()[23].y, b[0].Inf95);
    QCOMPARE(s80->Puntos()[11].y, b[11].Sup80);

    // On screen: between the 80 % and the 95 % upper bounds the paper is
    // tinted red, above the 95 % one it is white.
    const QImage im = chart->grab().toImage();
    // Looked at on an inner month: the first and last are the fan's edges.
    int k = 1;
    for (int i = 2; i < 11; ++i)
        if (b[size_t(i)].Sup95 - b[size_t(i)].Sup80 > b[size_t(k)].Sup95 - b[size_t(k)].Sup80)
            k = i;
    const QPoint alto80 = EnVista(chart, n + 1 + k, b[size_t(k)].Sup80);
    const QPoint alto95 = EnVista(chart, n + 1 + k, b[size_t(k)].Sup95);
    QVERIFY2(alto80.y() - alto95.y() >= 4, "the band is too thin to look at");
    const QColor dentro = im.pixelColor(alto95.x(), (alto80.y() + alto95.y()) / 2);
    QVERIFY2(dentro.red() > 200 && dentro.green() < 245 && dentro.green() > 120, qPrintable(dentro.name()));
    const QColor fuera = im.pixelColor(alto95.x(), alto95.y() - 8);
    QVERIFY2(Parecido(fuera, Qt::white, 12), qPrintable(fuera.name()));

    // The box off: no fan, no columns; the forecast stays.
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    const int columnas = tabla->ColCount();
    const QString prevision = tabla->Celda(w->Ws.ColPrev - 1, n + 1);
    paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    auto* caja = Control<QCheckBox>(w, "CBIntervalos");
    QVERIFY(QTest::qWaitForWindowExposed(caja));
    QTest::mouseClick(caja, Qt::LeftButton, {}, caja->rect().center());
    QVERIFY(!caja->isChecked());
    QVERIFY(!w->SesionActual.Intervalos());
    QCOMPARE(tabla->ColCount(), columnas - 4);
    QCOMPARE(ColumnaIntervalos(tabla), -1);
    QCOMPARE(tabla->Celda(w->Ws.ColPrev - 1, n + 1), prevision);
    paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetGrafico"));
    QTest::qWait(50);
    chart->repaint();
    QVERIFY(s80->name().isEmpty() && s95->name().isEmpty());
    QVERIFY(chart->RectEntradaLeyenda(s80).isEmpty());
    QCOMPARE(s80->count(), 0);
    const QImage sin = chart->grab().toImage();
    QVERIFY2(Parecido(sin.pixelColor(alto95.x(), (alto80.y() + alto95.y()) / 2), Qt::white, 12) ||
                 sin.pixelColor(alto95.x(), (alto80.y() + alto95.y()) / 2) != dentro,
             "the fan is still drawn");

    // On again: the last calculation's intervals come back.
    paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    QTest::mouseClick(caja, Qt::LeftButton, {}, caja->rect().center());
    QVERIFY(caja->isChecked());
    QCOMPARE(tabla->ColCount(), columnas);
    QCOMPARE(RevisarBandas(*w, tabla, false), QString());
    QCOMPARE(s95->count(), 24);
}

void TstAutomatica::negativas_data()
{
    QTest::addColumn<bool>("negativas");
    QTest::addColumn<QString>("locale");
    QTest::newRow("sin negativas, es_ES") << false << "es_ES";
    QTest::newRow("con negativas, C") << true << "C";
}

// Storms: many months of 0, but seasonal, so not treated as chance demand.
// Without negative forecasts no lower bound goes below 0; allowing them, the
// 95 % band does reach below (the case is real).
void TstAutomatica::negativas()
{
    QFETCH(bool, negativas);
    QFETCH(QString, locale);
    auto w = Cargada(locale, "storms_monthly.txt");
    QVERIFY(w);
    Control<QCheckBox>(w, "CBPrevNeg")->setChecked(negativas);
    Mensajes m;
    Ordenar(*w, Teclas);
    QCOMPARE(m.textos, QStringList());
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    QVERIFY(!w->SesionActual.UltimaSeleccion().Intermitente);
    QCOMPARE(RevisarBandas(*w, tabla, negativas), QString());
    if (negativas) {
        bool hay = false;
        for (const Intervalo& b : w->SesionActual.IntervalosPrevision())
            hay = hay || b.Inf95 < 0.0;
        QVERIFY(hay);
    }
}

void TstAutomatica::calcularConIntervalos_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_ES") << "es_ES";
    QTest::newRow("C") << "C";
}

// The box alone, without the automatic forecast: "Calcular" then gives the
// selected model's intervals, in the table and as the fan; off, neither.
void TstAutomatica::calcularConIntervalos()
{
    QFETCH(QString, locale);
    auto w = Cargada(locale);
    QVERIFY(w);
    w->SesionActual.SeleccionarModelo(ItemHLT);
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    auto* caja = Control<QCheckBox>(w, "CBIntervalos");
    QVERIFY(QTest::qWaitForWindowExposed(caja));
    QTest::mouseClick(caja, Qt::LeftButton, {}, caja->rect().center());
    QVERIFY(w->SesionActual.Intervalos());
    Mensajes m;
    Control<QToolButton>(w, "TBCalcular")->click();
    QCOMPARE(m.textos, QStringList());
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    QCOMPARE(RevisarBandas(*w, tabla, false), QString());
    QCOMPARE(Columna(tabla, QStringLiteral("Prev. automática")), -1);
    SerieGrafico* s80 = Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SerieIntervalo80"));
    QCOMPARE(s80->name(), QStringLiteral("Intervalo 80 %"));
    QCOMPARE(s80->count(), 2 * w->SesionActual.Horizonte());

    // Off and calculated again: the table and the chart as without intervals.
    QTest::mouseClick(caja, Qt::LeftButton, {}, caja->rect().center());
    Control<QToolButton>(w, "TBCalcular")->click();
    QCOMPARE(ColumnaIntervalos(tabla), -1);
    QCOMPARE(tabla->ColCount(), w->Ws.ColPrev);
    QCOMPARE(s80->count(), 0);
    QVERIFY(s80->name().isEmpty());
}

// The criterion chosen on the page is the session's, and the next run ranks by it.
void TstAutomatica::criterio()
{
    auto w = Cargada(QStringLiteral("es_ES"));
    QVERIFY(w);
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetSeleccion"));
    auto* caja = Control<QComboBox>(w, "CBCriterio");
    QVERIFY(QTest::qWaitForWindowExposed(caja));
    caja->setFocus();
    QTest::keyClick(caja, Qt::Key_Down);
    QCOMPARE(caja->currentText(), QStringLiteral("sMAPE"));
    QCOMPARE(w->SesionActual.CriterioAutomatico(), Criterio::sMAPE);
    Ordenar(*w, Teclas);
    QCOMPARE(w->SesionActual.UltimaSeleccion().Crit, Criterio::sMAPE);
    QCOMPARE(Control<Rejilla>(w, "SGSeleccion")->Celda(PaginaSeleccion::ColCriterio, 0), QStringLiteral("sMAPE"));
}

// Before any data the command says what the others say, and shows nothing.
void TstAutomatica::sinDatos()
{
    PonerLocale(true);
    TFormMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Mensajes m;
    Ordenar(w, Teclas);
    QCOMPARE(m.textos, QStringList({QStringLiteral("Cargue los datos antes de calcular.")}));
    QCOMPARE(Control<QTabWidget>(w, "PageControl1")->currentIndex(), 0);
    QCOMPARE(Control<Rejilla>(w, "SGSeleccion")->Celda(0, 1), QString());
}

// Four months cannot be evaluated at any origin: the message says so, the
// page shows why for each model, and nothing is applied.
void TstAutomatica::historicoCorto()
{
    PonerLocale(true);
    TFormMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Mensual(4, [](int i) { return 10 * i; }));
    w.CargarDatos();
    w.SesionActual.SeleccionarModelo(ItemNVS);
    Mensajes m;
    Ordenar(w, Teclas);
    QCOMPARE(m.textos.size(), 1);
    QVERIFY2(m.textos.constFirst().startsWith(QStringLiteral("Ningún modelo se ha podido evaluar")),
             qPrintable(m.textos.constFirst()));
    QCOMPARE(Control<QTabWidget>(w, "PageControl1")->currentWidget()->objectName(),
             QStringLiteral("TabSheetSeleccion"));
    auto* g = Control<Rejilla>(w, "SGSeleccion");
    QVERIFY(g->RowCount() > 1);
    for (int fila = 1; fila < g->RowCount(); ++fila) {
        QVERIFY2(g->Celda(PaginaSeleccion::ColMotivo, fila).startsWith(QStringLiteral("Descartado")),
                 qPrintable(g->Celda(PaginaSeleccion::ColMotivo, fila)));
        QCOMPARE(g->Celda(1, fila), QString()); // no score
    }
    QVERIFY(Control<QRadioButton>(w, "RGModelo0")->isChecked());
    QVERIFY(!Control<QCheckBox>(w, "CBIntervalos")->isChecked());
    QCOMPARE(Estado(w), QString());
}

// The interval columns leave with the table: an export holds them.
void TstAutomatica::exportar()
{
    auto w = Cargada(QStringLiteral("es_ES"));
    QVERIFY(w);
    Ordenar(*w, Boton);
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("tabla.csv"));
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    tabla->Exportar(ruta, 2);
    const QStringList lineas = QString::fromUtf8(Leer(ruta)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lineas.size() > w->Ws.NumDatos + 1);
    for (const QString& c : kCabecerasIntervalos)
        QVERIFY2(lineas.constFirst().contains(c), qPrintable(lineas.constFirst()));
    // The first forecast month: its four bounds are there, as the grid shows them.
    const QString fila = lineas[w->Ws.NumDatos + 1];
    const int c0 = ColumnaIntervalos(tabla);
    for (int k = 0; k < 4; ++k)
        QVERIFY2(fila.contains(tabla->Celda(c0 + k, w->Ws.NumDatos + 1)), qPrintable(fila));

    // The ranking has the tables' pop-up menu, without the error tables' own items.
    auto* g = Control<Rejilla>(w, "SGSeleccion");
    ClicDerecho(g);
    auto* menu = Control<QMenu>(w, "PopupMenuTabla");
    QVERIFY(menu->isVisible());
    QVERIFY(Control<QAction>(w, "Exportartabla1")->isVisible());
    QVERIFY(!Control<QAction>(w, "Aplicarestaconfiguracin1")->isVisible());
    QVERIFY(!Control<QAction>(w, "Variartabla1")->isVisible());
    menu->hide();
    const QString rutaSeleccion = dir.filePath(QStringLiteral("seleccion.csv"));
    g->Exportar(rutaSeleccion, 2);
    const QStringList ranking = QString::fromUtf8(Leer(rutaSeleccion)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(ranking.size(), g->RowCount());
    QVERIFY2(ranking.constFirst().contains(QStringLiteral("Motivo")), qPrintable(ranking.constFirst()));
    QVERIFY(ranking[1].contains(g->Celda(0, 1)));
}

QTEST_MAIN(TstAutomatica)
// A spare part (ejemplos/repuesto.txt): its class on the status line when
// loaded, the three intermittent methods on the ranking page, the winner's
// bounds whole units from 0, and the stock figure the sum of its 95 % bounds.
void TstAutomatica::intermitente_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("es_ES") << QStringLiteral("es_ES");
    QTest::newRow("C") << QStringLiteral("C");
}

void TstAutomatica::intermitente()
{
    QFETCH(QString, locale);
    auto w = Cargada(locale, "repuesto.txt");
    QVERIFY(w);
    const QString coma = QLocale().decimalPoint();
    // 12 demands from month 2 to month 37: ADI 35/11 = 3.18; sizes mean 34/12,
    // population variance 122/12 - (34/12)², CV² 0.266 (by hand, R agrees).
    const QString clase = QStringLiteral("Demanda intermitente (ADI 3") + coma + QStringLiteral("18; CV² 0") + coma +
                          QStringLiteral("27).");
    QCOMPARE(Estado(*w),
             QStringLiteral("Cargados 48 registros, de enero de 2021 a diciembre de 2024; ninguno sin usar. ") + clase);

    Ordenar(*w, Teclas);
    auto* paginas = Control<QTabWidget>(w, "PageControl1");
    paginas->setCurrentWidget(Control<QWidget>(w, "TabSheetSeleccion"));
    auto* g = Control<Rejilla>(w, "SGSeleccion");
    QVERIFY(QTest::qWaitForWindowExposed(g));
    QTest::qWait(20);
    QCOMPARE(g->RowCount(), 4);
    QStringList codigos;
    for (int f = 1; f <= 3; ++f)
        codigos << g->Celda(PaginaSeleccion::ColModelo, f).section(QLatin1Char(' '), 0, 0);
    codigos.sort();
    QCOMPARE(codigos, (QStringList{QStringLiteral("CRT"), QStringLiteral("S-B"), QStringLiteral("TSB")}));
    QCOMPARE(g->Celda(PaginaSeleccion::ColSinError, 0), QStringLiteral("Sin error %"));
    // A percentage of a month at 0 has no value.
    for (int f = 1; f <= 3; ++f)
        QVERIFY(g->Celda(PaginaSeleccion::ColSMAPE, f).isEmpty());

    // The forecast table's 95 % upper bounds are whole units; the page's stock
    // figure, the total's bound, lies between the largest and their sum.
    auto* tabla = Control<Rejilla>(w, "AdvStringGridPrevision");
    QVERIFY(RevisarBandas(*w, tabla, false).isEmpty());
    const int c0 = ColumnaIntervalos(tabla);
    const int n = w->Ws.NumDatos;
    double suma = 0, mayor = 0;
    for (int fila = n + 1; fila <= n + w->SesionActual.Horizonte(); ++fila) {
        bool ok = false;
        const double v = Numero(tabla->Celda(c0 + 3, fila), &ok);
        QVERIFY(ok && v >= 0 && v == std::floor(v)); // 0 or a size seen
        suma += v;
        mayor = std::max(mayor, v);
    }
    const QString plan = Control<QLabel>(w, "LabelPlan")->text();
    QVERIFY2(plan.contains(clase), qPrintable(plan));
    const QString prefijo = QStringLiteral(" Demanda máxima 95 % en el horizonte: ");
    const qsizetype i = plan.indexOf(prefijo);
    QVERIFY2(i > 0 && plan.endsWith(QLatin1Char('.')), qPrintable(plan));
    bool ok = false;
    const double maxima = Numero(plan.mid(i + prefijo.size()).chopped(1), &ok);
    QVERIFY2(ok && maxima >= mayor && maxima <= suma && maxima == std::floor(maxima), qPrintable(plan));
}

#include "tst_automatica.moc"
