// SPDX-License-Identifier: GPL-3.0-or-later
// The explanations the user gets by resting the pointer on a model of the
// "Modelo" page, on a header of the error tables or on a tool button, and the
// user manual, which must say the same words.
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>
#include <memory>

#include "ui/AyudaErrores.h"
#include "models/Catalogo.h"
#include "app/MainUnit.h"
#include "models/Medidas.h"
#include "ui/Rejilla.h"
#include "ui/TablasErrores.h"

#include "Ayudas.h"

using namespace tendora;
using namespace prueba;

namespace {

// A rich tool tip as the user reads it.
QString Leido(const QString& rico)
{
    QTextDocument d;
    d.setHtml(rico);
    return d.toPlainText().trimmed();
}

// The manual's source with its white space collapsed, so that a table row
// may wrap between any two cells.
QString Manual()
{
    QFile f(QStringLiteral(TENDORA_MANUAL));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QString s = QString::fromUtf8(f.readAll()).simplified();
    return s.replace(QStringLiteral("> <"), QStringLiteral("><"));
}

QString Utf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Rests the pointer at p of w as far as Qt is concerned: the help event the
// pointer's pause sends. Gives the tip shown, empty when none shows.
QString Mostrar(QWidget* w, const QPoint& p)
{
    QToolTip::hideText();
    QTest::qWait(50);
    QHelpEvent e(QEvent::ToolTip, p, w->mapToGlobal(p));
    QApplication::sendEvent(w, &e);
    return QTest::qWaitFor([] { return QToolTip::isVisible(); }, 2000) ? QToolTip::text() : QString();
}

void PaginaDe(TFormMain& w, QWidget* control)
{
    auto* tabs = Control<QTabWidget>(w, "PageControl1");
    for (QWidget* p = control; p; p = p->parentWidget())
        if (tabs->indexOf(p) >= 0)
            tabs->setCurrentWidget(p);
    QTest::qWait(20);
}

} // namespace

class TstAyuda : public QObject {
    Q_OBJECT
private slots:
    // The rows that only read the window share one.
    void initTestCase() { ventana_ = std::make_unique<TFormMain>(); }
    void cleanupTestCase()
    {
        ventana_.reset();
        QLocale::setDefault(QLocale::system());
    }
    void modelos_data();
    void modelos();
    void cabeceras_data();
    void cabeceras();
    void mostrada_data();
    void mostrada();
    void manualModelos();
    void manualMedidas();
    void columnaQuitada();
    void barra_data();
    void barra();
    void menuArchivo();

private:
    std::unique_ptr<TFormMain> ventana_;
};

// How the user would name each model, whatever the item's caption says.
void TstAyuda::modelos_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("nombre");
    QTest::newRow("NVS") << 0 << "Naïve";
    QTest::newRow("NVE") << 1 << "Naïve estacional";
    QTest::newRow("MMS") << 2 << "Media móvil simple";
    QTest::newRow("MMD") << 3 << "Media móvil doble";
    QTest::newRow("LES") << 4 << "Alisado exponencial simple";
    QTest::newRow("LED") << 5 << "Alisado exponencial doble";
    QTest::newRow("DST") << 6 << "Descomposición";
    QTest::newRow("THT") << 7 << "Método Theta";
    QTest::newRow("HLT") << 8 << "Holt";
    QTest::newRow("H-W") << 9 << "Holt-Winters";
    QTest::newRow("CRT") << 10 << "Croston";
    QTest::newRow("S-B") << 11 << "Syntetos-Boylan";
}

void TstAyuda::modelos()
{
    QFETCH(int, item);
    QFETCH(QString, nombre);
    auto* rb = Control<QRadioButton>(ventana_, qPrintable(QStringLiteral("RGModelo%1").arg(item)));
    const QString leido = Leido(rb->toolTip());
    // Names its model first, then what it does and when to use it.
    QVERIFY2(leido.startsWith(nombre, Qt::CaseInsensitive), qPrintable(leido));
    QVERIFY(leido.contains(QStringLiteral("Para ")) || leido.contains(QStringLiteral("Sirve ")));
    // The words of the catalogue, none lost to the markup.
    QCOMPARE(leido.split(QChar::LineSeparator).join(QLatin1Char('\n')), Utf8(FichaDe(item).Explicacion));
}

void TstAyuda::cabeceras_data()
{
    QTest::addColumn<QString>("tabla");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("medida");
    QTest::addColumn<QString>("mejor");
    // Smaller is better up to LMR and for the scaled errors, larger for the
    // PB measures, nearer 0 for the bias: the direction "Mostrar min max"
    // paints green (none for the bias).
    const char* const medidas[] = {"MSE", "RMSE", "MAE",   "MAPE",  "sMAPE", "MRAE",  "RelMAE", "RelRMSE",
                                   "LMR", "PB",   "PBMAE", "PBMSE", "MASE",  "RMSSE", "ME"};
    for (const char* tabla : {"AdvSGErrAjuste", "AdvSGErrAcierto"}) {
        QTest::addRow("%s Modelo", tabla) << tabla << 0 << "Modelo" << QString();
        for (int c = 1; c <= 15; ++c) {
            const char* mejor = c <= 9 || c == 13 || c == 14 ? "Cuanto menor, mejor"
                                : c <= 12                    ? "Cuanto mayor, mejor"
                                                             : "Cuanto más cerca de 0, mejor";
            QTest::addRow("%s %s", tabla, medidas[c - 1]) << tabla << c << medidas[c - 1] << QString::fromUtf8(mejor);
        }
    }
}

void TstAyuda::cabeceras()
{
    QFETCH(QString, tabla);
    QFETCH(int, col);
    QFETCH(QString, medida);
    QFETCH(QString, mejor);
    Rejilla* g = Control<Rejilla>(ventana_, qPrintable(tabla));
    QCOMPARE(g->model()->headerData(col, Qt::Horizontal).toString(), medida);
    const QString leido = Leido(g->model()->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString());
    QVERIFY2(leido.startsWith(medida + QStringLiteral(" · ")), qPrintable(leido));
    if (col == 0) {
        // What a label is made of.
        QVERIFY(leido.contains(QStringLiteral("código del modelo")));
        QVERIFY(leido.contains(QStringLiteral("T-")));
        return;
    }
    QVERIFY2(leido.contains(medida + QStringLiteral(" = ")), qPrintable(leido)); // the formula
    QVERIFY2(leido.contains(mejor), qPrintable(leido));
    // The direction stated is the one the highlighting rewards with green;
    // a bias is best nearest 0, neither at its largest nor at its smallest.
    const QColor verde(135, 237, 153);
    if (mejor.contains(QStringLiteral("cerca de 0"))) {
        QVERIFY(!TablasErrores::ColorMinMax(col, true).isValid());
        QVERIFY(!TablasErrores::ColorMinMax(col, false).isValid());
        return;
    }
    QCOMPARE(TablasErrores::ColorMinMax(col, mejor.contains(QStringLiteral("mayor"))), verde);
    // The scaled measures say what their scale is.
    if (col == ColErrMASE || col == ColErrRMSSE) {
        QVERIFY2(leido.contains(QStringLiteral(
                     "previsión ingenua estacional en los datos del ajuste, sin los valores reservados")),
                 qPrintable(leido));
        QVERIFY(!leido.contains(QStringLiteral("referencia ingenua")));
    }
}

void TstAyuda::mostrada_data()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es_ES") << true;
    QTest::newRow("C") << false;
}

// The tips really show where the pointer rests: over a model of the list and
// over a measure's header of each table.
void TstAyuda::mostrada()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    TFormMain w;
    w.resize(1200, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    auto* rb = Control<QRadioButton>(w, "RGModelo9");
    PaginaDe(w, rb);
    const QString tipModelo = Mostrar(rb, rb->rect().center());
    QCOMPARE(tipModelo, rb->toolTip());
    QVERIFY(Leido(tipModelo).startsWith(QStringLiteral("Holt-Winters")));

    for (const char* tabla : {"AdvSGErrAjuste", "AdvSGErrAcierto"}) {
        Rejilla* g = Control<Rejilla>(w, tabla);
        PaginaDe(w, g);
        QHeaderView* h = g->horizontalHeader();
        const QPoint sobreRMSE(h->sectionViewportPosition(ColErrRMSE) + h->sectionSize(ColErrRMSE) / 2,
                               h->height() / 2);
        const QString leido = Leido(Mostrar(h->viewport(), sobreRMSE));
        QVERIFY2(leido.startsWith(QStringLiteral("RMSE · ")), qPrintable(tabla + (QStringLiteral(": ") + leido)));
        QVERIFY(leido.contains(QStringLiteral("Cuanto menor, mejor")));
    }
    QToolTip::hideText();
}

// The manual's model summary holds each model's two lines in its row.
void TstAyuda::manualModelos()
{
    const QString manual = Manual();
    QVERIFY(!manual.isEmpty());
    for (const FichaModelo& f : Catalogo) {
        const QStringList lineas = Utf8(f.Explicacion).toHtmlEscaped().split(QLatin1Char('\n'));
        QCOMPARE(lineas.size(), 2);
        const QString fila = QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                                 .arg(Utf8(f.Codigo).toHtmlEscaped(), lineas[0], lineas[1]);
        QVERIFY2(manual.contains(fila), qPrintable(QStringLiteral("Falta en el manual: ") + fila));
    }
}

// The manual's table of measures holds each header's name, formula and
// direction, and its section on the tables what a label is made of.
void TstAyuda::manualMedidas()
{
    const QString manual = Manual();
    QVERIFY(!manual.isEmpty());
    QVERIFY(manual.contains(QString::fromUtf8(AyudaColumna(ColErrEtiqueta).Formula)));
    for (int c = ColErrMSE; c < NumColumnasError; ++c) {
        const AyudaColumnaError& a = AyudaColumna(c);
        const QString fila = QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                                 .arg(QString::fromUtf8(a.Cabecera), QString::fromUtf8(a.Nombre),
                                      QString::fromUtf8(a.Formula), QString::fromUtf8(a.Mejor));
        QVERIFY2(manual.contains(fila), qPrintable(QStringLiteral("Falta en el manual: ") + fila));
    }
}

// A header's tip goes with its column: a column removed and added again
// comes back without the old tip.
void TstAyuda::columnaQuitada()
{
    Rejilla g;
    g.SetColCount(3);
    g.Modelo()->SetAyudaEncabezado(2, QStringLiteral("tercera"));
    QCOMPARE(g.model()->headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString(), QStringLiteral("tercera"));
    QVERIFY(!g.model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());
    g.SetColCount(2);
    g.SetColCount(3);
    QVERIFY(!g.model()->headerData(2, Qt::Horizontal, Qt::ToolTipRole).isValid());
}

void TstAyuda::barra_data()
{
    QTest::addColumn<QString>("boton");
    QTest::addColumn<QString>("accion"); // the menu item whose action it shows; empty: one of its own
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("hint");
    QTest::newRow("Abrir") << "TBAbrir"
                           << "Abrir1"
                           << "Abrir"
                           << "Abre un documento de texto";
    QTest::newRow("Guardar") << "ToolButton8"
                             << "Guardar1"
                             << "Guardar"
                             << "Guarda los datos actuales";
    QTest::newRow("Cargar") << "TBTransferir"
                            << "Transferiratabladeprevisin1"
                            << "Cargar"
                            << "Cargar los datos a tabla de previsión";
    QTest::newRow("Calcular") << "TBCalcular"
                              << "Caluclarprevisin1"
                              << "Calcular"
                              << "Calcular previsión";
    QTest::newRow("Automática") << "TBAutomatica"
                                << "Previsionautomatica1"
                                << "Automática"
                                << "Elige el modelo y sus constantes por su error en orígenes móviles y calcula su "
                                   "previsión con intervalos";
    QTest::newRow("Comparar") << "TBComparar" << QString() << "Comparar"
                              << "Carga la previsión actual en la pestaña \"Gráfico Prev. comp.\"";
}

// A tool button is its menu item (the same command, the same key) under a
// short caption, with an image and its hint where the pointer rests.
// "Comparar" also applies "Mostrar ajuste": a command of the tool bar alone.
void TstAyuda::barra()
{
    QFETCH(QString, boton);
    QFETCH(QString, accion);
    QFETCH(QString, texto);
    QFETCH(QString, hint);
    TFormMain w;
    w.resize(1200, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* b = Control<QToolButton>(w, qPrintable(boton));
    QCOMPARE(b->text(), texto);
    QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QVERIFY(!b->icon().isNull());
    QVERIFY(b->isEnabled());
    QCOMPARE(Mostrar(b, b->rect().center()), hint);
    QToolTip::hideText();
    QAction* a = b->defaultAction();
    QVERIFY(a);
    QVERIFY(!a->isIconVisibleInMenu()); // the menus show no images
    if (accion.isEmpty()) {
        for (const char* m : {"Archivo1", "Herramientas1", "Ayuda1"})
            QVERIFY(!Control<QMenu>(w, m)->actions().contains(a));
    } else {
        QCOMPARE(a, Control<QAction>(w, qPrintable(accion)));
    }
}

// Of the "Archivo" items only "Importar..." shows a tip: the hints of "Abrir"
// and "Guardar" are for their tool buttons.
void TstAyuda::menuArchivo()
{
    TFormMain w;
    w.resize(1200, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* menu = Control<QMenu>(w, "Archivo1");
    menu->popup(w.mapToGlobal(QPoint(20, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    auto sobre = [&](const char* item) {
        return Mostrar(menu, menu->actionGeometry(Control<QAction>(w, item)).center());
    };
    // A tip shown lingers a moment after it is hidden: the empty ones first.
    QCOMPARE(sobre("Abrir1"), QString());
    QCOMPARE(sobre("Guardar1"), QString());
    QCOMPARE(sobre("Importar1"), QStringLiteral("Importa una hoja de cálculo o un fichero CSV"));
    QToolTip::hideText();
    menu->hide();
}

QTEST_MAIN(TstAyuda)
#include "tst_ayuda.moc"
