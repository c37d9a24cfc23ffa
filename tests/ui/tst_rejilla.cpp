// SPDX-License-Identifier: GPL-3.0-or-later
// The grid component: contents and formats, sorting, row moves, clearing,
// min/max highlighting, colours, the context menu and loading speed.
#include "ui/AnchoTexto.h"
#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include "Ayudas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <array>
#include <cmath>
#include <vector>

using namespace tendora;
using namespace prueba;

namespace {

QStringList Columna(const ModeloRejilla& m, int col)
{
    QStringList r;
    for (int f = 1; f < m.RowCount(); ++f)
        r << m.Celda(col, f);
    return r;
}

QColor Fondo(const ModeloRejilla& m, int col, int row)
{
    const QVariant v = m.data(m.index(row - 1, col), Qt::BackgroundRole);
    return v.canConvert<QBrush>() ? v.value<QBrush>().color() : QColor();
}

const QColor kRojo(235, 120, 152);
const QColor kVerde(135, 237, 153);

// A grid of the error-table kind: labels in column 0 and numbers after.
void Rellenar(Rejilla& r, const QList<QPair<QString, QList<double>>>& filas, int cols = 3)
{
    r.SetColCount(cols);
    r.SetTexto(0, 0, "Modelo");
    for (int c = 1; c < cols; ++c)
        r.SetTexto(c, 0, QStringLiteral("C%1").arg(c));
    r.SetRowCount(static_cast<int>(filas.size()) + 1);
    for (int i = 0; i < filas.size(); ++i) {
        r.SetTexto(0, i + 1, filas[i].first);
        for (int c = 0; c < filas[i].second.size(); ++c)
            r.SetNumero(c + 1, i + 1, filas[i].second[c], Formato::Fijo2);
    }
}

// A grid of cols x filas with labels down column 0 from the first data row:
// they tell where each row went.
void Preparar(Rejilla& r, int cols, int filas, const QStringList& etiquetas = {})
{
    r.SetColCount(cols);
    r.SetRowCount(filas);
    for (int i = 0; i < etiquetas.size(); ++i)
        r.SetTexto(0, i + 1, etiquetas[i]);
}

bool Mostrada(Rejilla& r, int ancho, int alto)
{
    r.resize(ancho, alto);
    r.show();
    return QTest::qWaitForWindowExposed(&r);
}

// Press, move through a point on the way, release: a drag as the mouse does it.
void Arrastrar(QWidget* w, QPoint desde, QPoint paso, QPoint hasta)
{
    QTest::mousePress(w, Qt::LeftButton, {}, desde);
    QTest::mouseMove(w, paso);
    QTest::mouseMove(w, hasta);
    QTest::mouseRelease(w, Qt::LeftButton, {}, hasta);
}

void Locales()
{
    QTest::addColumn<bool>("coma");
    QTest::newRow("es") << true;
    QTest::newRow("C") << false;
}

// Rows kept outside the grid, as the log of runs keeps them.
class FuentePrueba : public FuenteFilas {
public:
    long long Cuantas() const override { return static_cast<long long>(etiquetas.size()); }
    EtiquetaCelda Etiqueta(long long k) const override { return etiquetas[size_t(k)]; }
    double Numero(long long k, int col) const override
    {
        return col >= 1 && col <= 3 ? numeros[size_t(k)][size_t(col - 1)] : std::nan("");
    }
    std::vector<EtiquetaCelda> etiquetas;
    std::vector<std::array<double, 3>> numeros;
};

EtiquetaCelda Etiq(int codigo, double a, double b, int origen)
{
    EtiquetaCelda e;
    e.codigo = static_cast<int8_t>(codigo);
    e.cuantos = 2;
    e.valores[0] = a;
    e.valores[1] = b;
    e.origen = origen;
    return e;
}

} // namespace

class TstRejilla : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PonerLocale(false); }
    void cleanup() { PonerLocale(false); }

    void aspecto();
    void textosYFormatos_data();
    void textosYFormatos();
    void ordenarNumeros_data() { Locales(); }
    void ordenarNumeros();
    void ordenarConCabecera();
    void ordenarEstable();
    void moverFila();
    void moverFilaArrastrando();
    void borrar();
    void minMax_data();
    void minMax();
    void minMaxSigueAlOrden();
    void minMaxEnCache();
    void filaDeNumeros_data();
    void filaDeNumeros();
    void colores();
    void autoajustar();
    void anchosDeNumeros();
    void digitosUniformes_data();
    void digitosUniformes();
    void menuContextual();
    void rendimiento();
    void vistaComoCeldas_data();
    void vistaComoCeldas();
};

void TstRejilla::aspecto()
{
    Rejilla r;
    QCOMPARE(r.verticalHeader()->defaultSectionSize(), 18);
    QVERIFY(r.horizontalHeader()->font().bold());
    QCOMPARE(r.selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(r.alternatingRowColors());
    QCOMPARE(r.palette().color(QPalette::Base), QApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(r.palette().color(QPalette::AlternateBase), QApplication::palette().color(QPalette::Window));
    QCOMPARE(r.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(!r.isSortingEnabled()); // sorting enabled would sort at once by column 0
    // A new grid is a header row and one empty data row.
    QCOMPARE(r.RowCount(), 2);
    r.SetColCount(13);
    r.SetAnchosColumnas({100, 50}); // the last width goes on to the other columns
    QCOMPARE(r.AnchoColumna(12), 50);
}

void TstRejilla::textosYFormatos_data()
{
    QTest::addColumn<bool>("coma");
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("fijo");
    // By hand: 12.5 in the general format and with two decimals.
    QTest::newRow("es") << true << QStringLiteral("12,5") << QStringLiteral("12,50");
    QTest::newRow("C") << false << QStringLiteral("12.5") << QStringLiteral("12.50");
}

void TstRejilla::textosYFormatos()
{
    QFETCH(bool, coma);
    QFETCH(QString, general);
    QFETCH(QString, fijo);
    Rejilla r;
    Preparar(r, 3, 3);
    // Written under the other locale: the grid keeps numbers, so the text follows the locale.
    PonerLocale(!coma);
    r.SetNumero(1, 1, 12.5);
    r.SetNumero(2, 1, 12.5, Formato::Fijo2);
    r.SetNumero(1, 2, 3);
    PonerLocale(coma);
    QCOMPARE(r.Celda(1, 1), general);
    QCOMPARE(r.Celda(2, 1), fijo);
    QCOMPARE(r.Celda(1, 2), QString("3"));
    QCOMPARE(r.Modelo()->data(r.Modelo()->index(0, 2)).toString(), fijo);
    QCOMPARE(r.Modelo()->data(r.Modelo()->index(0, 2), Qt::UserRole).toDouble(), 12.5);
    // Numbers stand to the right, texts keep the view's default.
    QCOMPARE(r.Modelo()->data(r.Modelo()->index(0, 2), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    r.SetTexto(0, 1, "HLT (0,5)");
    QVERIFY(!r.Modelo()->data(r.Modelo()->index(0, 0), Qt::TextAlignmentRole).isValid());
    r.SetTexto(1, 0, "Datos");
    QCOMPARE(r.Modelo()->headerData(1, Qt::Horizontal).toString(), QString("Datos"));
    r.Vaciar(1, 1);
    QCOMPARE(r.Celda(1, 1), QString());
    QCOMPARE(r.Modelo()->Tipo(1, 1), TipoCelda::Vacia);
    // Nothing non-finite is shown.
    r.SetNumero(1, 2, std::numeric_limits<double>::infinity());
    QCOMPARE(r.Celda(1, 2), QString());
}

void TstRejilla::ordenarNumeros()
{
    QFETCH(bool, coma);
    PonerLocale(coma);
    Rejilla r;
    Preparar(r, 2, 8, {"a", "b", "c", "d", "e", "f", "g"});
    // Texts use both decimal marks.
    r.SetTexto(1, 1, "10,5");
    r.SetNumero(1, 2, 100);
    r.SetTexto(1, 3, "9.25");
    // row 4 stays empty
    r.SetTexto(1, 5, "abc");
    r.SetNumero(1, 6, -3, Formato::Fijo2);
    r.SetTexto(1, 7, "2");
    // By hand: -3 < 2 < 9.25 < 10.5 < 100 (a text sorting as text would put "10,5" before "2").
    r.Ordenar(1, Qt::AscendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"f", "g", "c", "a", "b", "e", "d"}));
    QCOMPARE(r.horizontalHeader()->sortIndicatorSection(), 1);
    r.Ordenar(1, Qt::DescendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"e", "b", "a", "c", "g", "f", "d"}));
}

void TstRejilla::ordenarConCabecera()
{
    Rejilla r;
    QVERIFY(Mostrada(r, 400, 300));
    Preparar(r, 3, 4, {"1", "2", "3"});
    for (int i = 1; i <= 3; ++i)
        r.SetNumero(2, i, (i == 2) ? 1.0 : 10.0 * i); // 10, 1, 30
    QHeaderView* h = r.horizontalHeader();
    const QPoint centro(h->sectionViewportPosition(2) + h->sectionSize(2) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, centro);
    QCOMPARE(h->sortIndicatorSection(), 2);
    QCOMPARE(h->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(h->isSortIndicatorShown());
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"2", "1", "3"}));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, centro);
    QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"3", "1", "2"}));
}

void TstRejilla::ordenarEstable()
{
    Rejilla r;
    Preparar(r, 2, 6, {"p", "q", "r", "s", "t"});
    for (int i = 1; i <= 5; ++i)
        r.SetNumero(1, i, i % 2 ? 2 : 1); // 2 1 2 1 2
    // Equal values keep their order in both directions.
    r.Ordenar(1, Qt::AscendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"q", "s", "p", "r", "t"}));
    r.Ordenar(1, Qt::DescendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"p", "r", "t", "q", "s"}));
}

void TstRejilla::moverFila()
{
    Rejilla r;
    Preparar(r, 2, 5, {"A", "B", "C", "D"});
    for (int i = 1; i <= 4; ++i)
        r.SetNumero(1, i, 5 - i); // 4 3 2 1
    QVERIFY(r.MoverFila(1, 3));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"B", "C", "A", "D"}));
    QCOMPARE(Columna(*r.Modelo(), 1), QStringList({"3", "2", "4", "1"}));
    QVERIFY(r.MoverFila(4, 1));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"D", "B", "C", "A"}));
    QVERIFY(!r.MoverFila(0, 2));
    QVERIFY(!r.MoverFila(2, 5));
    // A sort after a move shows the sorted rows from the top: the move was in the data.
    r.Ordenar(1, Qt::AscendingOrder);
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"D", "C", "B", "A"}));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(r.verticalHeader()->visualIndex(i), i);
}

void TstRejilla::moverFilaArrastrando()
{
    Rejilla r;
    QVERIFY(Mostrada(r, 300, 300));
    Preparar(r, 2, 7, {"A", "B", "C", "D", "E", "F"});
    auto centro = [&](int fila, int col) { return r.visualRect(r.Modelo()->index(fila - 1, col)).center(); };
    // Drag B (row 2) by the fixed column onto row 5.
    Arrastrar(r.viewport(), centro(2, 0), centro(3, 0), centro(5, 0));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"A", "C", "D", "E", "B", "F"}));
    QCOMPARE(r.currentIndex().row(), 4);
    // A press and release on a data column moves nothing.
    Arrastrar(r.viewport(), centro(1, 1), centro(4, 1), centro(4, 1));
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"A", "C", "D", "E", "B", "F"}));
}

void TstRejilla::borrar()
{
    Rejilla r;
    Rellenar(r, {{"x", {1, 2}}, {"y", {3, 4}}, {"z", {5, 6}}});
    r.Ordenar(2, Qt::DescendingOrder);
    r.Borrar();
    QCOMPARE(r.horizontalHeader()->sortIndicatorSection(), -1); // nothing left to claim an order
    QCOMPARE(r.RowCount(), 2);
    QCOMPARE(r.ColCount(), 3);
    for (int c = 0; c < 3; ++c)
        QCOMPARE(r.Celda(c, 1), QString());
    QCOMPARE(r.Celda(0, 0), QString("Modelo"));
    QCOMPARE(r.Celda(2, 0), QString("C2"));
    // The grid is usable after clearing: the next row goes in below.
    r.SetTexto(0, 1, "nuevo");
    r.SetRowCount(3);
    r.SetTexto(0, 2, "otro");
    QCOMPARE(Columna(*r.Modelo(), 0), QStringList({"nuevo", "otro"}));
}

void TstRejilla::minMax_data()
{
    QTest::addColumn<QList<double>>("valores"); // column 1, NaN for an empty cell
    QTest::addColumn<int>("filaMax");
    QTest::addColumn<int>("filaMin");
    const double nada = std::numeric_limits<double>::quiet_NaN();
    // Worked by hand; -1 means no highlight.
    QTest::newRow("una fila") << QList<double>{5} << -1 << -1;
    QTest::newRow("normal") << QList<double>{3, 1, 7, 2} << 3 << 2;
    QTest::newRow("iguales: la primera, como maximo") << QList<double>{4, 4, 4} << 1 << -1;
    QTest::newRow("iguales tal como se ven") << QList<double>{1.004, 1.001, 0.5} << 1 << 3;
    // Both shown 13709186898898,60 and 123456789012346,00 (fifteen digits).
    QTest::newRow("iguales tal como se ven, 1e13") << QList<double>{13709186898898.608, 13709186898898.64, 1} << 1 << 3;
    QTest::newRow("iguales tal como se ven, 1e14") << QList<double>{123456789012345.67, 123456789012346.2, 1} << 1 << 3;
    QTest::newRow("negativos") << QList<double>{-0.5, -2, 1} << 3 << 2;
    QTest::newRow("fila sin valores") << QList<double>{nada, 8, 6} << 2 << 3;
    // A search starting from 999 999 999 would miss this minimum.
    QTest::newRow("valores enormes") << QList<double>{2e9, 1.5e9, 3e9} << 3 << 2;
    QTest::newRow("muy negativos") << QList<double>{-2e9, -3e9} << 1 << 2;
}

void TstRejilla::minMax()
{
    QFETCH(QList<double>, valores);
    QFETCH(int, filaMax);
    QFETCH(int, filaMin);
    Rejilla r;
    Preparar(r, 2, static_cast<int>(valores.size()) + 1, QStringList(valores.size(), "m"));
    for (int i = 0; i < valores.size(); ++i)
        r.SetNumero(1, i + 1, valores[i], Formato::Fijo2);
    const ModeloRejilla& m = *r.Modelo();
    for (int f = 1; f <= valores.size(); ++f)
        QCOMPARE(Fondo(m, 1, f).isValid(), false); // off until asked
    r.SetMostrarMinMax(true);
    for (int f = 1; f <= valores.size(); ++f) {
        const QColor esperado = f == filaMax ? kRojo : f == filaMin ? kVerde : QColor();
        QCOMPARE(Fondo(m, 1, f), esperado);
    }
    // The fixed column never takes part.
    QVERIFY(Fondo(m, 0, 1) != kRojo && Fondo(m, 0, 1) != kVerde);
}

void TstRejilla::minMaxSigueAlOrden()
{
    Rejilla r;
    Rellenar(r, {{"a", {2, 0.5}}, {"b", {1, 0.9}}, {"c", {3, 0.1}}});
    // Larger is better in column 2.
    r.SetColorMinMax([](int col, bool maximo) { return (col == 2) == maximo ? kVerde : kRojo; });
    r.SetMostrarMinMax(true);
    const ModeloRejilla& m = *r.Modelo();
    QCOMPARE(Fondo(m, 1, 3), kRojo);
    QCOMPARE(Fondo(m, 1, 2), kVerde);
    QCOMPARE(Fondo(m, 2, 2), kVerde);
    QCOMPARE(Fondo(m, 2, 3), kRojo);
    r.Ordenar(1, Qt::AscendingOrder); // b a c
    QCOMPARE(Fondo(m, 1, 1), kVerde);
    QCOMPARE(Fondo(m, 1, 3), kRojo);
    QCOMPARE(Fondo(m, 2, 1), kVerde); // b holds the 0.9
    r.MoverFila(3, 1); // c b a
    QCOMPARE(Fondo(m, 1, 1), kRojo);
    QCOMPARE(Fondo(m, 2, 1), kRojo);
    QCOMPARE(m.FilaMinimo(1), 2);
}

void TstRejilla::minMaxEnCache()
{
    Rejilla r;
    const int n = 20000;
    Preparar(r, 3, n + 1);
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = (i * 7919) % 10007 + 10; // a permutation-like spread, all >= 10
    r.SetColumnaNumeros(1, 1, v.data(), n, Formato::Fijo2);
    r.SetColumnaNumeros(2, 1, v.data(), n);
    r.SetMostrarMinMax(true);
    const ModeloRejilla& m = *r.Modelo();
    const long long antes = m.RecalculosMinMax();
    // Painting every cell twice computes each column once.
    for (int pasada = 0; pasada < 2; ++pasada)
        for (int f = 0; f < n; ++f)
            for (int c = 0; c < 3; ++c)
                m.data(m.index(f, c), Qt::BackgroundRole);
    QCOMPARE(m.RecalculosMinMax() - antes, 2LL);
    // Appending a row updates the extremes without a new scan.
    r.SetRowCount(n + 2);
    r.SetNumero(1, n + 1, 1.0, Formato::Fijo2);
    r.SetNumero(2, n + 1, 1e6);
    QCOMPARE(m.FilaMinimo(1), n + 1);
    QCOMPARE(m.FilaMaximo(2), n + 1);
    QCOMPARE(m.RecalculosMinMax() - antes, 2LL);
    // Overwriting a value may give up the extreme: that column is computed again, once.
    r.SetNumero(1, n + 1, 20000, Formato::Fijo2);
    QCOMPARE(m.FilaMaximo(1), n + 1);
    QCOMPARE(m.FilaMaximo(1), n + 1);
    QCOMPARE(m.RecalculosMinMax() - antes, 3LL);
}

void TstRejilla::filaDeNumeros_data()
{
    QTest::addColumn<bool>("minMax");
    QTest::newRow("plain") << false;
    QTest::newRow("highlight on") << true;
}

// A row written at once holds what cell-by-cell writes would, with one change
// signal, and keeps the extremes up to date without a new scan.
void TstRejilla::filaDeNumeros()
{
    QFETCH(bool, minMax);
    const double nada = std::numeric_limits<double>::infinity();
    const double fila[4] = {2.345, -1.0, nada, 1e6};
    Rejilla a, b;
    for (Rejilla* r : {&a, &b}) {
        Preparar(*r, 5, 3);
        r->SetNumero(3, 2, 7.0); // overwritten by the non-finite value
        for (int c = 1; c <= 4; ++c)
            r->SetNumero(c, 1, 10.0 * c, Formato::Fijo2);
        r->SetMostrarMinMax(minMax);
    }
    for (int c = 0; c < 4; ++c)
        a.SetNumero(c + 1, 2, fila[c], Formato::Fijo2);
    const ModeloRejilla& m = *b.Modelo();
    for (int c = 1; c <= 4; ++c)
        (void)m.FilaMinimo(c); // extremes known before the write
    const long long antes = m.RecalculosMinMax();
    QSignalSpy cambios(b.Modelo(), &QAbstractItemModel::dataChanged);
    b.SetFilaNumeros(2, 1, fila, 4, Formato::Fijo2);
    QCOMPARE(cambios.count(), 1);
    const QModelIndex desde = cambios[0][0].toModelIndex(), hasta = cambios[0][1].toModelIndex();
    QCOMPARE(desde.column(), 1);
    QCOMPARE(hasta.column(), 4);
    QCOMPARE(desde.row(), minMax ? 0 : 1);
    QCOMPARE(hasta.row(), 1);
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(b.Celda(c, 2), a.Celda(c, 2));
        QCOMPARE(b.Modelo()->Tipo(c, 2), a.Modelo()->Tipo(c, 2));
    }
    QCOMPARE(b.Celda(3, 2), QString()); // nothing non-finite is shown
    QCOMPARE(m.FilaMinimo(1), 2);
    QCOMPARE(m.FilaMinimo(2), 2);
    QCOMPARE(m.FilaMaximo(4), 2);
    QCOMPARE(m.RecalculosMinMax() - antes, 0LL);
    QCOMPARE(m.FilaMinimo(3), 1); // column 3 lost a value: computed again
    QCOMPARE(m.RecalculosMinMax() - antes, 1LL);
    // A row outside the grid is left alone; values past the last column are dropped.
    b.SetFilaNumeros(3, 1, fila, 4);
    QCOMPARE(b.RowCount(), 3);
    b.SetFilaNumeros(1, 4, fila, 4);
    QCOMPARE(b.Celda(3, 1), a.Celda(3, 1));
    QCOMPARE(b.Celda(4, 1), QStringLiteral("2.345"));
    QCOMPARE(b.ColCount(), 5);
}

void TstRejilla::colores()
{
    Rejilla r;
    Preparar(r, 5, 4);
    r.SetNumero(3, 2, 7);
    QList<QPair<int, int>> pedidos;
    // The rule of the forecast table: column 3 blue up to row 2, silver after.
    r.SetColorTexto([&](int row, int col) {
        pedidos.append({row, col});
        if (col == 3)
            return row <= 2 ? QColor(Qt::blue) : QColor(Qt::gray);
        return QColor();
    });
    const ModeloRejilla& m = *r.Modelo();
    QCOMPARE(m.data(m.index(1, 3), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
    QCOMPARE(pedidos.last(), qMakePair(2, 3)); // grid row 2 is model row 1
    QCOMPARE(m.data(m.index(2, 3), Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::gray));
    QVERIFY(!m.data(m.index(1, 2), Qt::ForegroundRole).isValid());
    r.SetColorEncabezado(QColor(118, 121, 243));
    QCOMPARE(m.headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(), QColor(118, 121, 243));
    // The fixed column is drawn like the header.
    QCOMPARE(Fondo(m, 0, 1), r.palette().color(QPalette::Button));
    r.SetColorFondo([](int row, int) { return row == 3 ? QColor(Qt::yellow) : QColor(); });
    QCOMPARE(Fondo(m, 2, 3), QColor(Qt::yellow));
    QVERIFY(!Fondo(m, 2, 2).isValid());
}

void TstRejilla::autoajustar()
{
    Rejilla r;
    Preparar(r, 3, 4);
    r.SetAnchoColumna(0, 77);
    r.SetTexto(1, 0, "Cabecera larga");
    r.SetTexto(1, 1, "x");
    r.SetTexto(2, 2, "un texto bastante mas largo");
    r.Autoajustar();
    const QFontMetrics fm(r.font());
    const QFontMetrics fmEnc(r.horizontalHeader()->font());
    QCOMPARE(r.AnchoColumna(0), 77); // the fixed column keeps its width
    QCOMPARE(r.AnchoColumna(1), fmEnc.horizontalAdvance("Cabecera larga") + 10);
    QCOMPARE(r.AnchoColumna(2), fm.horizontalAdvance("un texto bastante mas largo") + 10);

    // A big grid is measured on a sample, which still finds the longest text.
    Rejilla g;
    const int n = 100000;
    Preparar(g, 2, n + 1);
    g.ComenzarCarga();
    for (int i = 1; i <= n; ++i)
        g.SetTexto(1, i, "abc");
    g.SetTexto(1, 54321, "la etiqueta mas larga de todas");
    g.TerminarCarga();
    g.AutoajustarColumnas();
    QCOMPARE(g.AnchoColumna(1), QFontMetrics(g.font()).horizontalAdvance("la etiqueta mas larga de todas") + 10);
}

// A number's width comes from its pattern's; it must be the width the font
// gives the number itself, under both decimal marks, and a column of them is
// fitted to its widest as before.
void TstRejilla::anchosDeNumeros()
{
    Rejilla g;
    MedidorAnchos medidor(g.font());
    const QFontMetrics fm(g.font());
    QRandomGenerator azar(7);
    for (bool coma : {false, true}) {
        PonerLocale(coma);
        for (int i = 0; i < 3000; ++i) {
            const double x = (azar.generateDouble() - 0.3) * std::pow(10.0, int(azar.bounded(-6, 22)));
            for (const QString& t : {TextoGeneral(x), TextoFijo2(x), TextoEntero(qint64(std::fmod(x, 1000000007.0)))})
                QCOMPARE(medidor.Ancho(t), fm.horizontalAdvance(t));
        }
        for (const QString t : {"", "abc", "1949-1", "LES(0,1)", "-", "e", "1.234,5"})
            QCOMPARE(medidor.Ancho(t), fm.horizontalAdvance(t));

        const int n = 2000;
        Preparar(g, 2, n + 1);
        int mayor = fm.horizontalAdvance(g.Celda(1, 0));
        for (int r = 1; r <= n; ++r) {
            g.SetNumero(1, r, std::sin(r) * std::pow(10.0, r % 9));
            mayor = std::max(mayor, fm.horizontalAdvance(g.Celda(1, r)));
        }
        g.AutoajustarColumnas();
        QCOMPARE(g.AnchoColumna(1), mayor + 10);
    }
}

// The shortcut is taken only for a font whose digits all have one advance and
// are not kerned against each other or the marks (widths made up here).
void TstRejilla::digitosUniformes_data()
{
    QTest::addColumn<QString>("distinto"); // this text is made 0.5 wider than its characters
    QTest::addColumn<bool>("uniformes");
    QTest::newRow("tabular, no kerning") << QString() << true;
    QTest::newRow("a wider 1") << QStringLiteral("1") << false;
    QTest::newRow("kerned 17") << QStringLiteral("17") << false;
    QTest::newRow("kerned 1,") << QStringLiteral("1,") << false;
    QTest::newRow("kerned -7") << QStringLiteral("-7") << false;
    QTest::newRow("kerned e9") << QStringLiteral("e9") << false;
    QTest::newRow("letters kerned only") << QStringLiteral("AV") << true;
}

void TstRejilla::digitosUniformes()
{
    QFETCH(QString, distinto);
    QFETCH(bool, uniformes);
    const auto medir = [&](const QString& t) {
        qreal ancho = 0;
        for (QChar c : t)
            ancho += c.isDigit() ? 6.0 : 3.0;
        return t == distinto ? ancho + 0.5 : ancho;
    };
    QCOMPARE(DigitosUniformes(medir), uniformes);
}

void TstRejilla::menuContextual()
{
    Rejilla r;
    QVERIFY(Mostrada(r, 200, 200));
    QMenu menu;
    menu.addAction("Autoajustar");
    r.SetMenuContextual(&menu);
    QSignalSpy espia(&r, &Rejilla::MenuPedido);
    ClicDerecho(&r);
    QCOMPARE(espia.count(), 1);
    QCOMPARE(espia.at(0).at(0).value<Rejilla*>(), &r);
    QTRY_VERIFY(menu.isVisible());
    menu.close();
}

void TstRejilla::rendimiento()
{
    const int n = 100000;
    Rejilla r;
    QVERIFY(Mostrada(r, 800, 600));
    QElapsedTimer t;
    t.start();
    r.SetColCount(13);
    r.SetRowCount(n + 1);
    r.ComenzarCarga();
    for (int i = 1; i <= n; ++i) {
        r.SetTexto(0, i, QStringLiteral("HLT (0,5;0,%1)").arg(i % 10));
        for (int c = 1; c < 13; ++c)
            r.SetNumero(c, i, ((i * 7919 + c * 31) % 100003) / 7.0, Formato::Fijo2);
    }
    r.TerminarCarga();
    const qint64 relleno = t.restart();
    r.Ordenar(5, Qt::AscendingOrder);
    const qint64 orden = t.restart();
    r.SetMostrarMinMax(true);
    r.repaint();
    const qint64 pintado = t.restart();
    qInfo("100000 x 13: fill %lld ms, sort %lld ms, repaint with min/max %lld ms", relleno, orden, pintado);
    for (int i = 2; i <= n; ++i)
        QVERIFY(r.Modelo()->Numero(5, i - 1) <= r.Modelo()->Numero(5, i));
    // Generous bounds: debug and sanitizer builds are several times slower.
    QVERIFY(relleno < 20000);
    QVERIFY(orden < 10000);
}

void TstRejilla::vistaComoCeldas_data()
{
    // Steps: "+" adds the next entry, "o<col><a|d>" sorts, "m<from><to>" moves
    // a row, "b" clears, "e" writes a cell, "x" turns the highlight on.
    QTest::addColumn<QString>("pasos");
    QTest::newRow("entries in order") << "++++++++";
    QTest::newRow("one entry fills the empty row") << "+";
    QTest::newRow("sorted by each column, both ways") << "++++++++x o1a o2d o3a o0a o0d o1d";
    QTest::newRow("rows added after a sort go last") << "+++++ o1d ++ o2a +++";
    QTest::newRow("moved, then sorted") << "++++++ m51 m26 o3a m14";
    QTest::newRow("cleared, then new entries only") << "+++ o1a b +++ o0d";
    QTest::newRow("written into: cells of its own") << "++++ o1a e ++ o2a b +++ m21";
    QTest::newRow("highlight follows entries and moves") << "x ++ o1a +++ m31 b ++";
    QTest::newRow("cleared empty") << "b + b b";
}

void TstRejilla::vistaComoCeldas()
{
    // A grid over a source shows, sorts, moves and highlights exactly as a
    // grid holding the same rows as cells.
    QFETCH(QString, pasos);
    const double nada = std::nan("");
    // Equal labels, equal values and empty cells, for the order of equals.
    const std::vector<std::pair<EtiquetaCelda, std::array<double, 3>>> datos = {
        {Etiq(1, 0.1, 0.2, 0), {5.0, 1.0, nada}},   {Etiq(0, 0.15, 0.1, 12), {2.0, nada, 3.0}},
        {Etiq(0, 0.1, 0.2, 3), {2.0, 1.0, -0.0}},   {Etiq(1, 0.1, 0.2, 0), {nada, 7.5, 3.0}},
        {Etiq(0, 0.1, 0.15, 3), {-1.25, 1.0, 0.0}}, {Etiq(0, 0.1, 0.2, 3), {2.0, 2.005, 9.0}},
        {Etiq(1, 2.0, 0.5, 1), {1e6, nada, nada}},  {Etiq(0, 0.15, 0.1, 12), {2.0, 1.0, 3.0}},
    };
    FuentePrueba fuente;
    Rejilla vista, celdas;
    for (Rejilla* r : {&vista, &celdas}) {
        r->SetColCount(4);
        r->SetRowCount(2);
        r->Modelo()->SetCodigosEtiqueta({"MMS", "HLT"});
    }
    vista.Modelo()->SetFuente(&fuente);
    size_t siguiente = 0;
    const auto escribir = [&](ModeloRejilla* m, size_t k) {
        if (m->Tipo(0, m->RowCount() - 1) != TipoCelda::Vacia)
            m->SetRowCount(m->RowCount() + 1);
        const int fila = m->RowCount() - 1;
        m->SetEtiqueta(0, fila, datos[k].first);
        m->SetFilaNumeros(fila, 1, datos[k].second.data(), 3, Formato::Fijo2);
    };
    for (const QString& paso : pasos.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (qsizetype i = 0; i < paso.size(); ++i) {
            const QChar c = paso[i];
            if (c == QLatin1Char('+')) {
                const size_t k = siguiente++ % datos.size();
                fuente.etiquetas.push_back(datos[k].first);
                fuente.numeros.push_back(datos[k].second);
                if (vista.Modelo()->EsVista())
                    vista.Modelo()->FilaAnadida();
                else
                    escribir(vista.Modelo(), k);
                escribir(celdas.Modelo(), k);
            } else if (c == QLatin1Char('o')) {
                const int col = paso[i + 1].digitValue();
                const auto orden = paso[i + 2] == QLatin1Char('a') ? Qt::AscendingOrder : Qt::DescendingOrder;
                vista.Modelo()->Ordenar(col, orden);
                celdas.Modelo()->Ordenar(col, orden);
                i += 2;
            } else if (c == QLatin1Char('m')) {
                const int desde = paso[i + 1].digitValue(), hasta = paso[i + 2].digitValue();
                QCOMPARE(vista.Modelo()->MoverFila(desde, hasta), celdas.Modelo()->MoverFila(desde, hasta));
                i += 2;
            } else if (c == QLatin1Char('b')) {
                vista.Borrar();
                celdas.Borrar();
                QVERIFY(vista.Modelo()->EsVista());
            } else if (c == QLatin1Char('e')) {
                vista.SetNumero(2, 1, 42.0, Formato::Fijo2);
                celdas.SetNumero(2, 1, 42.0, Formato::Fijo2);
                QVERIFY(!vista.Modelo()->EsVista());
            } else if (c == QLatin1Char('x')) {
                vista.SetMostrarMinMax(true);
                celdas.SetMostrarMinMax(true);
            }
        }
        const ModeloRejilla& v = *vista.Modelo();
        const ModeloRejilla& m = *celdas.Modelo();
        QCOMPARE(v.RowCount(), m.RowCount());
        QCOMPARE(v.rowCount(), m.rowCount());
        for (int col = 0; col < 4; ++col) {
            QCOMPARE(Columna(v, col), Columna(m, col));
            QCOMPARE(v.FilaMinimo(col), m.FilaMinimo(col));
            QCOMPARE(v.FilaMaximo(col), m.FilaMaximo(col));
            for (int f = 1; f < m.RowCount(); ++f) {
                QCOMPARE(v.Tipo(col, f), m.Tipo(col, f));
                QCOMPARE(v.FormatoDe(col, f), m.FormatoDe(col, f));
                QCOMPARE(v.data(v.index(f - 1, col), Qt::UserRole), m.data(m.index(f - 1, col), Qt::UserRole));
                QCOMPARE(Fondo(v, col, f), Fondo(m, col, f));
                QCOMPARE(bool(v.Etiqueta(col, f)), bool(m.Etiqueta(col, f)));
                if (m.Etiqueta(col, f))
                    QCOMPARE(v.Etiqueta(col, f)->origen, m.Etiqueta(col, f)->origen);
            }
        }
    }
}

QTEST_MAIN(TstRejilla)
#include "tst_rejilla.moc"
