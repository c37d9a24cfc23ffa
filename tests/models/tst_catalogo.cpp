// SPDX-License-Identifier: GPL-3.0-or-later
// The model catalogue against what the user sees of each model. The expected
// facts are written out by hand from the program's per-model table (selector
// text, code, columns and headers, C.E. pages, chart series, parameters), not
// read back from the catalogue; each row is checked against the catalogue and
// against the real window after selecting the item and calculating.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "models/Catalogo.h"
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

// Three years of trend and season from January 2000: every model handles it
// (Holt-Winters needs two full years).
QString Serie36()
{
    static const double s[12] = {0.8, 0.8, 0.9, 1.0, 1.1, 1.2, 1.2, 1.1, 1.0, 1.0, 0.9, 1.0};
    return Mensual(36, [](int i) { return (100 + 2 * i) * s[(i - 1) % 12]; });
}

// Controls of the model page, by the letter the data rows use.
const char* const Controles = "NATHPC";

// What the user sees of one model.
struct Ficha {
    int item;
    QString texto, codigo;
    QStringList cabeceras; // grid columns 4 on; their count + 4 is the last column
    bool paginasCE; // C.E. tabs after the model's table is shown
    QString tituloMM;
    int colMM; // -1: no series, the column stays
    QString tituloT;
    int colT;
    QString parametros; // N, Alfa LE, Theta, Holt, Phi, Croston
    QString etiqueta; // the error-table label with the page's start values
};

} // namespace

Q_DECLARE_METATYPE(Ficha)

class TstCatalogo : public QObject {
    Q_OBJECT
private slots:
    // Labels are compared with a decimal point.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }
    void modelos_data();
    void catalogo();
    void catalogo_data() { modelos_data(); }
    void ventana();
    void ventana_data() { modelos_data(); }
    void fueraDeRango();
    void rangosParametros_data();
    void rangosParametros();
};

void TstCatalogo::modelos_data()
{
    QTest::addColumn<Ficha>("f");
    const QStringList descomp = {"MM12", "MM12C", "E*I"};
    const QStringList p = {"P"};
    QTest::newRow("NVS") << Ficha(0, "NVS: Naïve", "NVS", p, false, "-", -1, "-", -1, "", "NVS ()");
    QTest::newRow("NVE") << Ficha(1, "NVE: Naïve Estacional", "NVE", descomp + QStringList{"D", "P"}, true,
                                  "Media Móvil", 6, "Desestacional", 8, "", "NVE ()");
    QTest::newRow("MMS") << Ficha(2, "MMS: Media Móvil Simple", "MMS", p, false, "-", -1, "-", -1, "N", "MMS (6)");
    QTest::newRow("MMD") << Ficha(3, "MMD: Media Móvil Doble", "MMD", QStringList{"MMS", "P"}, false, "-", -1, "-", -1,
                                  "N", "MMD (6)");
    QTest::newRow("LES") << Ficha(4, "LES: Lisaje Exponencial Simple", "LES", p, false, "-", -1, "-", -1, "A",
                                  "LES (0.5)");
    QTest::newRow("LED") << Ficha(5, "LED: Lisaje Exponencial Doble", "LED", QStringList{"LES", "P"}, false, "-", -1,
                                  "-", -1, "A", "LED (0.5)");
    QTest::newRow("DST") << Ficha(6, "DST: Descomposición de Series Temporales", "DST", descomp + QStringList{"T", "P"},
                                  true, "Media Móvil", 6, "Tendencia", 8, "", "DST ()");
    QTest::newRow("THT") << Ficha(7, "THT: Modelo Theta", "THT", descomp + QStringList{"D", "LR", "L", "P"}, true, "L",
                                  10, "LR", 9, "T", "THT (0.5)");
    QTest::newRow("HLT") << Ficha(8, "HLT: Holt", "HLT", QStringList{"N", "T", "P"}, false, "Nivel", 5, "Tendencia", 6,
                                  "H", "HLT (0.5;0.5)");
    QTest::newRow("H-W") << Ficha(9, "H-W: Holt-Winters", "H-W", descomp + QStringList{"D", "N", "T", "P"}, true, "N",
                                  9, "T", 10, "HP", "H-W (0.5;0.5;0.5)");
    // Without coefficients Croston and S-B hide the C.E. pages like the
    // other non-seasonal models.
    QTest::newRow("CRT") << Ficha(10, "CRT: Croston", "CRT", QStringList{"q", "Z", "W", "P"}, false, "-", -1, "-", -1,
                                  "C", "CRT (0.5)");
    QTest::newRow("S-B") << Ficha(11, "S-B: Syntetos-Boylan", "S-B", QStringList{"q", "Z", "W", "P"}, false, "-", -1,
                                  "-", -1, "C", "S-B (0.5)");
}

void TstCatalogo::catalogo()
{
    QFETCH(Ficha, f);
    const auto q = [](std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); };

    const FichaModelo& m = Catalogo[size_t(f.item)];
    QCOMPARE(int(m.Item), f.item);
    QCOMPARE(&FichaDe(f.item), &m);
    QCOMPARE(q(m.Texto), f.texto);
    QCOMPARE(q(m.Codigo), f.codigo);
    QCOMPARE(m.UltimaCol, 4 + int(f.cabeceras.size()));
    QCOMPARE(m.NumCabeceras(), int(f.cabeceras.size()));
    for (int k = 0; k < m.NumCabeceras(); ++k)
        QCOMPARE(q(m.Cabeceras[size_t(k)]), f.cabeceras[k]);
    QCOMPARE(m.Paginas, f.paginasCE ? PaginasCE::Visibles : PaginasCE::Ocultas);
    QCOMPARE(q(m.MediaMovil.Titulo), f.tituloMM);
    QCOMPARE(m.MediaMovil.Col, f.colMM);
    QCOMPARE(q(m.Tendencia.Titulo), f.tituloT);
    QCOMPARE(m.Tendencia.Col, f.colT);
    const ParametroModelo bandera[6] = {ParamN, ParamAlfaLE, ParamAlfaTHT, ParamHolt, ParamPhiHW, ParamAlfaCroston};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(m.Usa(bandera[k]), f.parametros.contains(QLatin1Char(Controles[k])));
}

void TstCatalogo::ventana()
{
    QFETCH(Ficha, f);
    TFormMain w;
    w.NombreSerie = QStringLiteral("serie");
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie36());
    w.CargarDatos();
    // DST first: the C.E. tabs show, and the auxiliary series plot columns 6 and 8.
    w.Caluclarprevisin1Click();
    auto* tabs = Control<QTabWidget>(w, "PageControl1");
    const auto activa = [&](const char* pagina) {
        return tabs->isTabEnabled(tabs->indexOf(Control<QWidget>(w, pagina)));
    };
    QVERIFY(activa("TabSheetTablaCE"));

    auto* rb = Control<QRadioButton>(w, qPrintable(QStringLiteral("RGModelo%1").arg(f.item)));
    QCOMPARE(rb->text(), f.texto);
    rb->click();
    QCOMPARE(w.SesionActual.ModeloSeleccionado(), f.item);

    // The page shows the parameters the model reads, and only those.
    QWidget* const spins[6] = {Control<QSpinBox>(w, "SEN"),
                               Control<QDoubleSpinBox>(w, "SEAlfaLE"),
                               Control<QDoubleSpinBox>(w, "SEAlfaTHT"),
                               Control<QDoubleSpinBox>(w, "SEAlfaHLT"),
                               Control<QDoubleSpinBox>(w, "SEPhiHW"),
                               Control<QDoubleSpinBox>(w, "SEAlfaCroston")};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(!spins[k]->isHidden(), f.parametros.contains(QLatin1Char(Controles[k])));
    QCOMPARE(!Control<QDoubleSpinBox>(w, "SEBetaHLT")->isHidden(), f.parametros.contains(QLatin1Char('H')));
    QCOMPARE(Control<QAction>(w, "Variacindeparmetros1")->isEnabled(), !f.parametros.isEmpty());

    w.Caluclarprevisin1Click();

    // The forecast table's columns and headers.
    Rejilla* g = Control<Rejilla>(w, "AdvStringGridPrevision");
    const QStringList todas = QStringList{"t", "Año", "Mes", "Datos"} + f.cabeceras;
    QCOMPARE(g->ColCount(), int(todas.size()));
    QCOMPARE(FichaDe(w.SesionActual.ModeloSeleccionado()).UltimaCol, int(todas.size()));
    for (int c = 0; c < int(todas.size()); ++c)
        QCOMPARE(g->Celda(c, 0), todas[c]);
    QCOMPARE(activa("TabSheetTablaCE"), f.paginasCE);
    QCOMPARE(activa("TabSheetGraficoCE"), f.paginasCE);

    // The chart's auxiliary series: titles, columns, shown or not.
    SerieGrafico* mm = Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SeriesMediaMovil"));
    SerieGrafico* tend = Control<Grafico>(w, "ChartP")->Serie(QStringLiteral("SeriesTendencia"));
    QVERIFY(mm && tend);
    QCOMPARE(mm->name(), f.tituloMM);
    QCOMPARE(tend->name(), f.tituloT);
    QCOMPARE(mm->isVisible(), f.colMM >= 0);
    QCOMPARE(tend->isVisible(), f.colT >= 0);
    QCOMPARE(FichaDe(w.SesionActual.ModeloSeleccionado()).MediaMovil.Muestra(), f.colMM >= 0);
    QCOMPARE(FichaDe(w.SesionActual.ModeloSeleccionado()).Tendencia.Muestra(), f.colT >= 0);
    QCOMPARE(w.Ws.ColMediaMovil, f.colMM >= 0 ? f.colMM : 6); // DST's, left as it was
    QCOMPARE(w.Ws.ColTendencia, f.colT >= 0 ? f.colT : 8);

    // The code and parameters in the labels.
    QCOMPARE(TablasErrores::CodigoModelo(w.SesionActual.ModeloSeleccionado()), f.codigo);
    auto* ajuste = Control<Rejilla>(w, "AdvSGErrAjuste");
    QCOMPARE(ajuste->Celda(0, ajuste->RowCount() - 1), f.etiqueta);
    QCOMPARE(Control<Grafico>(w, "ChartP")->Titulo(), QStringLiteral("Previsión (%1) : serie").arg(f.codigo));

    // The window ran the model through the core's dispatcher: the same run
    // from the page's start values gives the same table, cell for cell.
    Espacio e = w.Ws;
    LimpiarColumnasModelo(e, 12);
    Parametros p; // the page's start values: N 6, every constant 0.5, horizon 12
    EjecutarModelo(e, f.item, p);
    QCOMPARE(e.ColPrev, w.Ws.ColPrev);
    QCOMPARE(e.FilaInicioPrev, w.Ws.FilaInicioPrev);
    for (int i = 0; i <= 36 + 12; ++i)
        for (int c = ColModelo; c <= UltimaColTabla; ++c) {
            QCOMPARE(e.TablaPrev[size_t(i)][size_t(c)], w.Ws.TablaPrev[size_t(i)][size_t(c)]);
            QCOMPARE(e.CeldaValida[size_t(i)][size_t(c)], w.Ws.CeldaValida[size_t(i)][size_t(c)]);
        }
}

void TstCatalogo::fueraDeRango()
{
    // The dispatcher refuses an item it does not know; the record look-up
    // reads the nearest one.
    Espacio e;
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, EjecutarModelo(e, -1, Parametros{}));
    QVERIFY_THROWS_EXCEPTION(ErrorAritmetico, EjecutarModelo(e, NumModelos, Parametros{}));
    QCOMPARE(int(FichaDe(-3).Item), int(ItemNVS));
    QCOMPARE(int(FichaDe(99).Item), int(ItemSB));
}

void TstCatalogo::rangosParametros_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("tecleado"); // typed over the box's text
    QTest::addColumn<int>("flechas"); // then arrow presses: up if positive, down if negative
    QTest::addColumn<QString>("queda"); // what the box shows once left
    // A moving average takes N from 1 (a window of one value) to 999 999 999;
    // the smoothing constants are weights, 0 to 1.
    for (const char* loc : {"es_ES", "C"}) {
        const bool es = QByteArray(loc) == "es_ES";
        QTest::addRow("%s N typed 0", loc) << loc << int(ItemMMS) << "SEN"
                                           << "0" << 0 << "1";
        QTest::addRow("%s N stepped below 1", loc) << loc << int(ItemMMD) << "SEN"
                                                   << "2" << -3 << "1";
        QTest::addRow("%s N stepped past the top", loc) << loc << int(ItemMMS) << "SEN"
                                                        << "999999998" << 3 << "999999999";
        QTest::addRow("%s N one digit too many", loc) << loc << int(ItemMMD) << "SEN"
                                                      << "9999999999" << 0 << "999999999";
        QTest::addRow("%s alpha stepped below 0", loc)
            << loc << int(ItemLES) << "SEAlfaLE" << (es ? "0,05" : "0.05") << -3 << (es ? "0,00" : "0.00");
        QTest::addRow("%s beta stepped past 1", loc)
            << loc << int(ItemHLT) << "SEBetaHLT" << (es ? "0,95" : "0.95") << 3 << (es ? "1,00" : "1.00");
    }
}

// The model page's edits take what the catalogue says their models can use,
// whatever the user types or steps to.
void TstCatalogo::rangosParametros()
{
    QFETCH(QString, locale);
    QFETCH(int, item);
    QFETCH(QString, edit);
    QFETCH(QString, tecleado);
    QFETCH(int, flechas);
    QFETCH(QString, queda);
    QLocale::setDefault(QLocale(locale));
    TFormMain w;
    w.show();
    w.activateWindow();
    Control<QTabWidget>(w, "PageControl1")->setCurrentWidget(Control<QWidget>(w, "TabSheetModelo"));
    QVERIFY(QTest::qWaitForWindowActive(&w));
    Control<QRadioButton>(w, qPrintable(QStringLiteral("RGModelo%1").arg(item)))->click();
    auto* se = Control<QAbstractSpinBox>(w, qPrintable(edit));
    QVERIFY(se->isVisible());
    se->setFocus();
    QTest::keyClick(se, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(se, tecleado);
    for (int k = 0; k < std::abs(flechas); ++k)
        QTest::keyClick(se, flechas > 0 ? Qt::Key_Up : Qt::Key_Down);
    Control<QCheckBox>(w, "CBPrevNeg")->setFocus();
    QCOMPARE(se->text(), queda);
    // The box's own range is the catalogue's.
    const ValorModelo v = edit == QStringLiteral("SEN") ? ValorModelo::N : ValorModelo::AlfaLE;
    if (auto* n = qobject_cast<QSpinBox*>(se)) {
        QCOMPARE(n->minimum(), 1);
        QCOMPARE(n->maximum(), 999999999);
    } else {
        auto* d = qobject_cast<QDoubleSpinBox*>(se);
        QCOMPARE(d->minimum(), 0.0);
        QCOMPARE(d->maximum(), 1.0);
    }
    QCOMPARE(RangoDe(v).Minimo, v == ValorModelo::N ? 1.0 : 0.0);
    QCOMPARE(RangoDe(v).Maximo, v == ValorModelo::N ? 999999999.0 : 1.0);
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TstCatalogo)
#include "tst_catalogo.moc"
