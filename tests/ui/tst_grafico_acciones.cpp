// SPDX-License-Identifier: GPL-3.0-or-later
// What the user does with the chart component: the point drag, zoom,
// export, printing, the editor, frozen copies and the context menu.
#include "ui/Grafico.h"

#include "Ayudas.h"
#include "AyudasGrafico.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <QTimer>

using namespace tendora;
using namespace prueba;

namespace {

// The "Datos" series (10 t at t = 1..10) set as the one the point drag moves.
SerieGrafico* SerieArrastre(Grafico& g, bool activo, const QColor& color = QColor())
{
    SerieGrafico* s = Datos(g, TipoSerie::LineaPuntos, 10, Diez, color);
    g.PonerSerieArrastre(s);
    if (activo)
        g.ActivarArrastre(true);
    Asentar(g);
    return s;
}

// A landscape sheet, as a device of the given resolution sees it, with the
// chart painted on it; 0 keeps the image's own resolution.
QImage Hoja(Grafico& g, const QColor& fondo, int dpi = 0)
{
    QImage im(1100, 850, QImage::Format_RGB32);
    if (dpi > 0) {
        im.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        im.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    }
    im.fill(fondo);
    QPainter p(&im);
    g.PintarPagina(&p, QRectF(0, 0, 1100, 850));
    return im;
}

} // namespace

class TstGraficoAcciones : public QObject {
    Q_OBJECT
private slots:
    void init();
    void arrastreVertical();
    void arrastreInactivoNoMueve();
    void pulsarSinMoverNoArrastra();
    void zoomYRestaurar();
    void zoomAnimadoLlegaAlDestino();
    void zoomSobreviveAlRedibujarElMismoTramo();
    void exportarBmpFalla();
    void exportarFormatos_data();
    void exportarFormatos();
    void leyendaLlana_data();
    void leyendaLlana();
    void imprimirRespetaMargenes();
    void imprimirIgualEnAltaResolucion();
    void vistaPreviaApaisada();
    void editorAplicaAlMomento_data();
    void editorAplicaAlMomento();
    void copiaComparativaCongelada();
    void muchasComparativas();
    void menuContextual();
};

void TstGraficoAcciones::init()
{
    QLocale::setDefault(QLocale::c());
}

void TstGraficoAcciones::arrastreVertical()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = SerieArrastre(*g, true, Azul);
    const double x0 = g->MinimoX(), x1 = g->MaximoX(), y0 = g->MinimoY(), y1 = g->MaximoY();

    QStringList orden;
    QSignalSpy inicio(g.get(), &Grafico::arrastreIniciado);
    QSignalSpy mueve(g.get(), &Grafico::puntoArrastrado);
    QSignalSpy fin(g.get(), &Grafico::arrastreTerminado);
    connect(g.get(), &Grafico::arrastreTerminado, this, [&orden] { orden << QStringLiteral("fin"); });
    connect(g.get(), &Grafico::ratonSoltado, this, [&orden](Qt::MouseButton b) {
        orden << (b == Qt::LeftButton ? QStringLiteral("soltado") : QStringLiteral("otro"));
    });

    // The hand shows over a point, not beside it.
    const QPoint sobre = EnVista(*g, s, 3, 30);
    Cernerse(g->viewport(), sobre);
    QCOMPARE(g->viewport()->cursor().shape(), Qt::PointingHandCursor);
    Cernerse(g->viewport(), sobre + QPoint(40, -60));
    QVERIFY(g->viewport()->cursor().shape() != Qt::PointingHandCursor);

    // Press on point 3 (index 2), drag up to where y = 55 and to the right.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, sobre);
    QVERIFY(g->Arrastrando());
    const QPoint destino = EnVista(*g, s, 6, 55);
    QTest::mouseMove(g->viewport(), (sobre + destino) / 2);
    QTest::mouseMove(g->viewport(), destino);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, destino);

    QCOMPARE(inicio.count(), 1);
    QCOMPARE(inicio.at(0).at(0).toInt(), 2);
    QCOMPARE(mueve.count(), 2);
    QCOMPARE(mueve.last().at(0).toInt(), 2);
    // One pixel of the plot is (y1 - y0) / height in y: the value under the mouse is 55 within that.
    const double porPixel = (y1 - y0) / g->chart()->plotArea().height();
    QVERIFY(std::fabs(mueve.last().at(1).toDouble() - 55.0) <= 1.5 * porPixel);
    QCOMPARE(fin.count(), 1);
    QCOMPARE(fin.at(0).at(1).toDouble(), s->Puntos()[2].y);
    QCOMPARE(orden, QStringList({QStringLiteral("fin"), QStringLiteral("soltado")}));
    // Only y moved, only that point, and no zoom started under the drag.
    QCOMPARE(s->Puntos()[2].x, 3.0);
    QCOMPARE(s->Puntos()[1].y, 20.0);
    QCOMPARE(s->Puntos()[3].y, 40.0);
    auto* l = qobject_cast<QLineSeries*>(s->SeriesQt().first());
    QCOMPARE(l->at(2).y(), s->Puntos()[2].y);
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
    QCOMPARE(g->MaximoX(), x1);
}

void TstGraficoAcciones::arrastreInactivoNoMueve()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = SerieArrastre(*g, false);
    QSignalSpy mueve(g.get(), &Grafico::puntoArrastrado);
    QSignalSpy soltado(g.get(), &Grafico::ratonSoltado);
    const QPoint sobre = EnVista(*g, s, 3, 30);
    Cernerse(g->viewport(), sobre);
    QVERIFY(g->viewport()->cursor().shape() != Qt::PointingHandCursor);
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, sobre);
    QVERIFY(!g->Arrastrando());
    QTest::mouseMove(g->viewport(), sobre + QPoint(0, -80));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, sobre + QPoint(0, -80));
    QCOMPARE(mueve.count(), 0);
    QCOMPARE(soltado.count(), 1);
    QCOMPARE(s->Puntos()[2].y, 30.0);
    // Switched off again after being on: still nothing moves.
    g->ActivarArrastre(true);
    g->ActivarArrastre(false);
    Arrastrar(g->viewport(), {sobre, sobre + QPoint(0, -80)});
    QCOMPARE(mueve.count(), 0);
    QCOMPARE(s->Puntos()[2].y, 30.0);
}

void TstGraficoAcciones::pulsarSinMoverNoArrastra()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = SerieArrastre(*g, true);
    QSignalSpy inicio(g.get(), &Grafico::arrastreIniciado);
    QSignalSpy mueve(g.get(), &Grafico::puntoArrastrado);
    QSignalSpy fin(g.get(), &Grafico::arrastreTerminado);
    QSignalSpy soltado(g.get(), &Grafico::ratonSoltado);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, EnVista(*g, s, 5, 50));
    // A click on an empty spot of the plot.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, EnVista(*g, s, 5, 90));
    QCOMPARE(inicio.count() + mueve.count() + fin.count(), 0);
    QCOMPARE(soltado.count(), 2);
    QCOMPARE(s->Puntos()[4].y, 50.0);
}

void TstGraficoAcciones::zoomYRestaurar()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = Datos(*g, TipoSerie::Linea, 100, Onda);
    Asentar(*g);
    const double x0 = g->MinimoX(), x1 = g->MaximoX(), y0 = g->MinimoY(), y1 = g->MaximoY();

    // A rectangle from (20, 70) to (40, 30) in values.
    const QPoint a = EnVista(*g, s, 20, 70), b = EnVista(*g, s, 40, 30);
    Arrastrar(g->viewport(), {a, (a + b) / 2, b});
    QVERIFY(g->Ampliado());
    const double unPixel = (x1 - x0) / g->chart()->plotArea().width();
    QVERIFY(std::fabs(g->MinimoX() - 20.0) <= 2 * unPixel);
    QVERIFY(std::fabs(g->MaximoX() - 40.0) <= 2 * unPixel);
    QVERIFY(g->MinimoY() > 25.0 && g->MaximoY() < 75.0);

    // Dragging leftwards shows the whole chart again.
    Arrastrar(g->viewport(), {b, a});
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
    QCOMPARE(g->MaximoX(), x1);
    QCOMPARE(g->MinimoY(), y0);
    QCOMPARE(g->MaximoY(), y1);

    // So does a double click, and the slot.
    g->Ampliar(QRectF(a, b));
    QVERIFY(g->Ampliado());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, (a + b) / 2);
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
    g->Ampliar(QRectF(a, b));
    g->RestaurarZoom();
    QCOMPARE(g->MaximoX(), x1);

    // A chart without zoom ignores the rectangle.
    g->PonerZoomPermitido(false);
    Arrastrar(g->viewport(), {a, b});
    QVERIFY(!g->Ampliado());
    QCOMPARE(g->MinimoX(), x0);
}

void TstGraficoAcciones::zoomAnimadoLlegaAlDestino()
{
    auto g = NuevoGrafico();
    g->PonerZoomAnimado(true);
    SerieGrafico* s = Datos(*g, TipoSerie::Linea, 100, Onda);
    Asentar(*g);
    const double unPixel = (g->MaximoX() - g->MinimoX()) / g->chart()->plotArea().width();
    g->Ampliar(QRectF(EnVista(*g, s, 20, 70), EnVista(*g, s, 40, 30)));
    QVERIFY(g->Ampliado());
    QTRY_VERIFY(std::fabs(g->MinimoX() - 20.0) <= 2 * unPixel && std::fabs(g->MaximoX() - 40.0) <= 2 * unPixel);
}

void TstGraficoAcciones::zoomSobreviveAlRedibujarElMismoTramo()
{
    auto g = NuevoGrafico();
    SerieGrafico* s = Datos(*g, TipoSerie::Linea, 100, Onda);
    Asentar(*g);
    const double x1 = g->MaximoX();
    g->Ampliar(QRectF(EnVista(*g, s, 20, 70), EnVista(*g, s, 40, 30)));
    const double zx0 = g->MinimoX(), zx1 = g->MaximoX();
    // The same x values with other y (a dragged point reloaded): the zoom stays.
    auto v = Puntos(100, Onda);
    v[30].y = 95.0;
    g->PonerPuntos(s, v);
    Asentar(*g);
    QVERIFY(g->Ampliado());
    QCOMPARE(g->MinimoX(), zx0);
    QCOMPARE(g->MaximoX(), zx1);
    // Other data: the whole chart again.
    g->PonerPuntos(s, Puntos(50, Onda));
    Asentar(*g);
    QVERIFY(!g->Ampliado());
    QVERIFY(g->MaximoX() < x1);
    QVERIFY(g->MaximoX() >= 50.0);
}

void TstGraficoAcciones::exportarBmpFalla()
{
    auto g = NuevoGrafico(300, 200);
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, g->ExportarBMP(dir.filePath(QStringLiteral("no/existe/grafico.bmp"))));
}

void TstGraficoAcciones::exportarFormatos_data()
{
    // An empty name writes through ExportarBMP, the bitmap export of its own.
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QByteArray>("inicio");
    QTest::newRow("ExportarBMP") << "" << QByteArray("BM");
    QTest::newRow("png") << "g.png" << QByteArray("\x89PNG");
    QTest::newRow("PNG en mayúsculas") << "g.PNG" << QByteArray("\x89PNG");
    QTest::newRow("svg") << "g.svg" << QByteArray("<?xml");
    QTest::newRow("pdf") << "g.pdf" << QByteArray("%PDF-");
    QTest::newRow("bmp") << "g.bmp" << QByteArray("BM");
    QTest::newRow("sin extensión: png") << "g" << QByteArray("\x89PNG");
    // Refused before anything is written.
    QTest::newRow("otra extensión") << "g.dat" << QByteArray();
}

void TstGraficoAcciones::exportarFormatos()
{
    QFETCH(QString, nombre);
    QFETCH(QByteArray, inicio);
    auto g = NuevoGrafico(640, 400);
    g->PonerTitulo(QStringLiteral("Previsión"));
    Datos(*g, TipoSerie::Linea, 30, Onda, Azul);
    QTemporaryDir dir;
    const QString f = dir.filePath(nombre.isEmpty() ? QStringLiteral("grafico.bmp") : nombre);
    if (nombre.isEmpty()) {
        g->ExportarBMP(f);
    } else if (inicio.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, g->Exportar(f));
        QVERIFY(!QFileInfo::exists(f));
        return;
    } else {
        g->Exportar(f);
    }
    const QByteArray bytes = Leer(f);
    QVERIFY(bytes.startsWith(inicio));
    if (nombre.endsWith(QLatin1String(".svg"))) {
        // Vectors: the title and the legend are text, the series lines.
        QVERIFY(bytes.contains(QStringLiteral("Previsión").toUtf8()));
        QVERIFY(bytes.contains(">Datos<"));
        QVERIFY(bytes.contains("<polyline"));
    } else if (nombre.endsWith(QLatin1String(".pdf"))) {
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    } else {
        QImage im;
        QVERIFY(im.loadFromData(bytes, nombre.isEmpty() ? "BMP" : nullptr));
        QCOMPARE(im.size(), g->size());
        QVERIFY(ContarColor(im, im.rect(), Azul, 30) > 100);
        // The maroon title is in the picture too.
        if (nombre.isEmpty())
            QVERIFY(ContarColor(im, QRect(0, 0, im.width(), 50), QColor(128, 0, 0), 30) > 20);
    }
}

void TstGraficoAcciones::leyendaLlana_data()
{
    QTest::addColumn<QString>("salida"); // a file name, or "" for a printed page
    QTest::newRow("svg") << "g.svg";
    QTest::newRow("png") << "g.png";
    QTest::newRow("bmp") << "g.bmp";
    QTest::newRow("página impresa") << "";
}

// Pictures and paper get a plain legend: no check boxes, and no entry for a
// series that shows nothing there. The screen keeps its check boxes.
void TstGraficoAcciones::leyendaLlana()
{
    QFETCH(QString, salida);
    auto g = NuevoGrafico(900, 500);
    const QColor verdeAzulado(0, 128, 128);
    Serie(*g, "SeriePrevision", "Previsión", TipoSerie::LineaPuntos, Puntos(30, Onda), Rojo);
    // A model's auxiliary series it does not have: titled "-".
    Serie(*g, "SerieGuion", "-", TipoSerie::Linea, Puntos(30, Diez), verdeAzulado);
    Serie(*g, "SerieVacia", "Vacía", TipoSerie::Linea, {}, verdeAzulado);
    std::vector<PuntoGrafico> nulos = Puntos(30, Diez);
    for (PuntoGrafico& p : nulos)
        p.nulo = true;
    Serie(*g, "SerieNula", "Sin puntos", TipoSerie::Linea, nulos, verdeAzulado);
    Serie(*g, "SerieOculta", "Oculta", TipoSerie::Linea, Puntos(30, Diez), verdeAzulado)->PonerVisible(false);
    Datos(*g, TipoSerie::Linea, 30, Onda, Azul);
    Asentar(*g);
    // On screen every titled series has its entry and check box.
    QRect leyenda;
    for (int k = 0; k < g->NumSeries(); ++k) {
        const QRectF r = g->RectEntradaLeyenda(g->SerieEn(k));
        QVERIFY(!r.isEmpty());
        leyenda |= r.toAlignedRect();
    }
    const QColor gris(96, 96, 96); // the check boxes' outline
    const QImage pantalla = g->grab().toImage();
    QVERIFY(ContarColor(pantalla, leyenda, gris, 10) > 40);
    QVERIFY(ContarColor(pantalla, leyenda, verdeAzulado, 10) > 20);

    QTemporaryDir dir;
    const QString f = dir.filePath(salida.isEmpty() ? QStringLiteral("pagina.svg") : salida);
    if (salida.isEmpty()) {
        // What printing draws on a page, caught as vectors.
        QSvgGenerator svg;
        svg.setFileName(f);
        svg.setSize(QSize(1100, 850));
        QPainter p(&svg);
        g->PintarPagina(&p, QRectF(0, 0, 1100, 850));
        QVERIFY(p.end());
    } else {
        g->Exportar(f);
    }
    const QByteArray bytes = Leer(f);
    if (f.endsWith(QLatin1String(".svg"))) {
        QVERIFY(bytes.contains(QStringLiteral(">Previsión<").toUtf8()));
        QVERIFY(bytes.contains(">Datos<"));
        for (const char* fuera : {">-<", ">Oculta<", ">Sin puntos<"})
            QVERIFY2(!bytes.contains(fuera), fuera);
        QVERIFY(!bytes.contains(QStringLiteral(">Vacía<").toUtf8()));
        QVERIFY(!bytes.contains("#606060"));
    } else {
        // The picture is the view: the legend sits where it sits on screen.
        QImage im;
        QVERIFY(im.loadFromData(bytes));
        QCOMPARE(im.size(), pantalla.size());
        QCOMPARE(ContarColor(im, leyenda, gris, 10), 0);
        QCOMPARE(ContarColor(im, leyenda, verdeAzulado, 10), 0);
        QVERIFY(ContarColor(im, leyenda, Rojo, 10) > 20);
        QVERIFY(ContarColor(im, leyenda, Azul, 10) > 20);
    }
    // The screen has its check boxes back.
    Asentar(*g);
    QVERIFY(ContarColor(g->grab().toImage(), leyenda, gris, 10) > 40);
    QVERIFY(!g->RectEntradaLeyenda(g->Serie(QStringLiteral("SerieGuion"))).isEmpty());
}

void TstGraficoAcciones::imprimirRespetaMargenes()
{
    auto g = NuevoGrafico(800, 500);
    Datos(*g, TipoSerie::Linea, 30, Onda);
    g->PonerMargenesImpresion(QMarginsF(15, 22, 15, 22));
    // A landscape sheet in grey: the chart's white background shows where it was drawn.
    const QColor gris(100, 100, 100);
    const QImage hoja = Hoja(*g, gris);
    int x0 = hoja.width(), x1 = -1, y0 = hoja.height(), y1 = -1;
    for (int y = 0; y < hoja.height(); ++y)
        for (int x = 0; x < hoja.width(); ++x)
            if (hoja.pixelColor(x, y) != gris) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    // Margin box by hand: 165..935 across, 187..663 down.
    const QByteArray caja = QStringLiteral("%1 %2 %3 %4").arg(x0).arg(x1).arg(y0).arg(y1).toLatin1();
    QVERIFY(x1 >= 0);
    QVERIFY2(x0 >= 164 && x1 <= 935 && y0 >= 186 && y1 <= 664, caja.constData());
    // The chart keeps its shape and fills the box in one direction.
    QVERIFY2((x0 <= 167 && x1 >= 932) || (y0 <= 189 && y1 >= 660), caja.constData());
}

void TstGraficoAcciones::imprimirIgualEnAltaResolucion()
{
    auto g = NuevoGrafico(800, 500);
    g->PonerTitulo(QStringLiteral("Previsión"));
    Datos(*g, TipoSerie::LineaPuntos, 30, Onda);
    SerieGrafico* b = Serie(*g, "SeriesPrevision", "Previsión acumulada", TipoSerie::Linea, Puntos(30, Diez));
    // The same sheet as a screen (96 dpi) and as a printer (600 dpi) sees it:
    // texts sized in points would come out six times larger on the second.
    const QImage pantalla = Hoja(*g, Qt::white, 96), impresora = Hoja(*g, Qt::white, 600);
    QVERIFY(!g->RectEntradaLeyenda(b).isEmpty());
    int distintos = 0;
    for (int y = 0; y < pantalla.height(); ++y)
        for (int x = 0; x < pantalla.width(); ++x)
            if (!Parecido(pantalla.pixelColor(x, y), impresora.pixelColor(x, y), 80))
                ++distintos;
    // Text in points differs here by some 1800 pixels; drawn in pixels, by none.
    QVERIFY2(distintos < 50, qPrintable(QString::number(distintos)));
}

void TstGraficoAcciones::vistaPreviaApaisada()
{
    auto g = NuevoGrafico(600, 400);
    Datos(*g, TipoSerie::Linea, 30, Onda);
    int paginas = -1;
    bool apaisada = false;
    QTimer::singleShot(0, this, [&] {
        auto* d = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        if (auto* w = d->findChild<QPrintPreviewWidget*>()) {
            paginas = w->pageCount();
            apaisada = w->orientation() == QPageLayout::Landscape;
        }
        d->reject();
    });
    g->VistaPreviaImpresion(nullptr);
    QCOMPARE(paginas, 1);
    QVERIFY(apaisada);
}

void TstGraficoAcciones::editorAplicaAlMomento_data()
{
    QTest::addColumn<QLocale>("region");
    QTest::addColumn<QString>("maximoMostrado");
    QTest::addColumn<QString>("minimoEscrito");
    QTest::newRow("es") << Espanol() << QStringLiteral("99,5") << QStringLiteral("2,5");
    QTest::newRow("C") << QLocale::c() << QStringLiteral("99.5") << QStringLiteral("2.5");
}

void TstGraficoAcciones::editorAplicaAlMomento()
{
    QFETCH(QLocale, region);
    QFETCH(QString, maximoMostrado);
    QFETCH(QString, minimoEscrito);
    QLocale::setDefault(region);
    auto g = NuevoGrafico();
    g->PonerTitulo(QStringLiteral("Previsión"));
    SerieGrafico* a = Serie(*g, "SeriesPrevision", "Previsión", TipoSerie::Linea, Puntos(20, Onda));
    SerieGrafico* b = Datos(*g, TipoSerie::LineaPuntos, 20, Onda);
    g->PonerRangoEjeY(0.5, 99.5);
    Asentar(*g);

    QStringList fallos;
    auto comprobar = [&fallos](bool ok, const char* que) {
        if (!ok)
            fallos << QString::fromUtf8(que);
    };
    const QColor nuevo(10, 120, 30);
    QTimer::singleShot(0, this, [&] {
        QWidget* d = QApplication::activeModalWidget();
        comprobar(d && d->objectName() == QLatin1String("EditorGrafico"), "editor no modal");
        if (!d)
            return;
        auto* titulo = Control<QLineEdit>(d, "ETituloGrafico");
        titulo->selectAll();
        QTest::keyClicks(titulo, QStringLiteral("Otro titulo"));
        comprobar(g->Titulo() == QLatin1String("Otro titulo"), "titulo");

        auto* leyenda = Control<QCheckBox>(d, "CBLeyenda");
        leyenda->click();
        comprobar(!g->LeyendaVisible() && !g->LeyendaMostrada(), "leyenda");

        auto* lista = Control<QListWidget>(d, "LBSeries");
        lista->item(0)->setCheckState(Qt::Unchecked);
        comprobar(!a->isVisible() && b->isVisible(), "visibilidad");

        lista->setCurrentRow(1);
        Control<QSpinBox>(d, "SEGrosor")->setValue(5);
        comprobar(b->Ancho() == 5.0, "grosor");
        auto* l = qobject_cast<QLineSeries*>(b->SeriesQt().first());
        comprobar(l->pen().widthF() == 5.0, "grosor en Qt");

        QTimer::singleShot(0, this, [&] {
            if (auto* c = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
                c->setCurrentColor(nuevo);
                c->accept();
            }
        });
        Control<QPushButton>(d, "BColorSerie")->click();
        comprobar(b->Color() == nuevo, "color");
        comprobar(l->pen().color() == nuevo, "color en Qt");

        auto* ejeY = Control<QLineEdit>(d, "ETituloEjeY");
        QTest::keyClicks(ejeY, QStringLiteral("Ventas"));
        comprobar(g->TituloEjeY() == QLatin1String("Ventas"), "titulo del eje");

        auto* minimo = Control<QLineEdit>(d, "EMinimoY");
        auto* maximo = Control<QLineEdit>(d, "EMaximoY");
        comprobar(maximo->text() == maximoMostrado, "maximo mostrado");
        comprobar(minimo->isEnabled(), "rango fijo editable");
        minimo->selectAll();
        QTest::keyClicks(minimo, minimoEscrito);
        comprobar(g->MinimoY() == 2.5 && g->MaximoY() == 99.5, "minimo escrito");
        minimo->selectAll();
        QTest::keyClicks(minimo, QStringLiteral("abc"));
        comprobar(g->MinimoY() == 2.5, "texto no numerico ignorado");

        auto* autoX = Control<QCheckBox>(d, "CBAutoX");
        comprobar(autoX->isChecked(), "x automatico");
        Control<QPushButton>(d, "BCerrar")->click();
    });
    g->EditarGrafico(nullptr);
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(QStringLiteral(", "))));
    QVERIFY(!QApplication::activeModalWidget());
    // A fixed range survives the next filling.
    g->PonerPuntos(b, Puntos(40, Diez));
    Asentar(*g);
    QCOMPARE(g->MinimoY(), 2.5);
    QVERIFY(!g->EjeYAutomatico());
}

void TstGraficoAcciones::copiaComparativaCongelada()
{
    auto g = NuevoGrafico();
    SerieGrafico* datos = Serie(*g, "SeriesDatosComp", "Datos", TipoSerie::LineaPuntos, Puntos(24, Onda));
    auto v = Puntos(24, Diez, Rojo);
    v[5].color = Lima;
    v[7].nulo = true;
    SerieGrafico* prev = Serie(*g, "SeriesPrevision", "Previsión", TipoSerie::LineaPuntos, v, Rojo);

    const QColor navy(0, 0, 128);
    SerieGrafico* copia = g->CopiarSerie(prev, QStringLiteral("Comp1"), QStringLiteral("P HLT (0,5;0,1)"), navy);
    QCOMPARE(g->NumSeries(), 3);
    QCOMPARE(g->Posicion(copia), 2);
    QCOMPARE(copia->objectName(), QStringLiteral("Comp1"));
    QCOMPARE(copia->name(), QStringLiteral("P HLT (0,5;0,1)"));
    QCOMPARE(copia->Color(), navy);
    QVERIFY(!copia->Marcas());
    QCOMPARE(copia->count(), 24);
    QCOMPARE(Diferencia(copia->Puntos(), v), -1);
    QCOMPARE(copia->NumSegmentos(), 2);
    // Frozen: redrawing the original leaves the copy as it was.
    g->PonerPuntos(prev, Puntos(5, Onda));
    QCOMPARE(copia->count(), 24);
    QCOMPARE(copia->Puntos()[3].y, 40.0);

    // Hiding the fitted stretch (first 12 points) and showing it again in the series colour.
    g->PonerNulos(copia, 0, 11, true);
    g->ActualizarAhora();
    QCOMPARE(copia->NumSegmentos(), 1);
    QCOMPARE(qobject_cast<QLineSeries*>(copia->SeriesQt().first())->at(0).x(), 13.0);
    g->PonerNulos(copia, 0, 11, false);
    QCOMPARE(copia->NumSegmentos(), 1);
    QVERIFY(!copia->Puntos()[7].nulo);
    QCOMPARE(copia->Puntos()[5].color, navy);
    QVERIFY(!copia->ColorPropio(5));

    g->EliminarSeriesDesde(1);
    QCOMPARE(g->NumSeries(), 1);
    QCOMPARE(g->SerieEn(0), datos);
    QCOMPARE(g->chart()->series().size(), datos->SeriesQt().size());
    QVERIFY(!g->Serie(QStringLiteral("Comp1")));
}

void TstGraficoAcciones::muchasComparativas()
{
    auto g = NuevoGrafico(1000, 600);
    Serie(*g, "SeriesDatosComp", "Datos", TipoSerie::LineaPuntos, Puntos(144, Onda));
    SerieGrafico* prev = Serie(*g, "SeriesPrevision", "Previsión", TipoSerie::LineaPuntos, Puntos(150, Onda, Rojo));
    Asentar(*g);
    QVERIFY(g->LeyendaMostrada());
    QElapsedTimer reloj;
    reloj.start();
    for (int i = 0; i < 200; ++i)
        g->CopiarSerie(prev, QStringLiteral("C%1").arg(i), QStringLiteral("P MMS (%1)").arg(i), QColor(i, 0, 255 - i));
    Asentar(*g);
    // Generous bound for a debug build under sanitizers; the benchmark measures it properly.
    QVERIFY2(reloj.elapsed() < 5000, qPrintable(QString::number(reloj.elapsed())));
    QCOMPARE(g->NumSeries(), 202);
    // 202 entries do not fit beside the plot: the legend is left out, the choice kept.
    QVERIFY(g->LeyendaVisible());
    QVERIFY(!g->LeyendaMostrada());
    g->EliminarSeriesDesde(1);
    Asentar(*g);
    QVERIFY(g->LeyendaMostrada());
}

void TstGraficoAcciones::menuContextual()
{
    auto g = NuevoGrafico();
    QMenu menu;
    menu.addAction(QStringLiteral("Exportar"));
    g->PonerMenu(&menu);
    QSignalSpy pedido(g.get(), &Grafico::menuSolicitado);
    const QPoint p(100, 100);
    QContextMenuEvent ev(QContextMenuEvent::Mouse, p, g->viewport()->mapToGlobal(p));
    QApplication::sendEvent(g->viewport(), &ev);
    QCOMPARE(pedido.count(), 1);
    QCOMPARE(pedido.at(0).at(0).value<Grafico*>(), g.get());
    QTRY_VERIFY(menu.isVisible());
    menu.close();
}

QTEST_MAIN(TstGraficoAcciones)
#include "tst_grafico_acciones.moc"
