// SPDX-License-Identifier: GPL-3.0-or-later
// The grid view: column widths, sorting from the header, row drags, the
// pop-up menu, export and print preview.
#include "ui/Rejilla.h"

#include "ui/AnchoTexto.h"
#include "ui/ExportarRejilla.h"
#include "ui/Modal.h"
#include "ui/RejillaImprimir.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tendora {

namespace {

// Silver grid lines whatever the style.
class EstiloRejilla : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override
    {
        if (hint == SH_Table_GridLineColor)
            return static_cast<int>(qRgb(192, 192, 192));
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

Rejilla::Rejilla(QWidget* parent) : QTableView(parent), modelo_(new ModeloRejilla(this))
{
    auto* estilo = new EstiloRejilla;
    estilo->setParent(this);
    setStyle(estilo);

    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    setModel(modelo_);
    QPalette p = palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::AlternateBase, p.color(QPalette::Window));
    setPalette(p);
    modelo_->SetColorFija(p.color(QPalette::Button));
    setAlternatingRowColors(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows, for copying them to a spreadsheet (Ctrl+A selects all).
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setGridStyle(Qt::SolidLine);
    setSortingEnabled(false); // sorting runs from the indicator, never on its own

    QHeaderView* h = horizontalHeader();
    QFont negrita = f;
    negrita.setBold(true);
    h->setFont(negrita);
    h->setHighlightSections(false);
    h->setSectionsClickable(true);
    h->setSectionsMovable(false);
    h->setStretchLastSection(false);
    h->setMinimumSectionSize(5);
    h->setDefaultSectionSize(anchoPorDefecto_);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setFixedHeight(std::max(AltoFila(), QFontMetrics(negrita).height() + 4));
    h->setSortIndicatorShown(true);
    h->setSortIndicator(-1, Qt::AscendingOrder);
    connect(h, &QHeaderView::sortIndicatorChanged, this, &Rejilla::IndicadorCambiado);

    QHeaderView* v = verticalHeader();
    v->setMinimumSectionSize(1);
    v->setDefaultSectionSize(AltoFila());
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->hide();

    modelo_->SetColCount(1);
    modelo_->SetRowCount(2);
}

void Rejilla::SetColCount(int n)
{
    modelo_->SetColCount(n);
}

void Rejilla::SetColorTexto(ModeloRejilla::FuncionColor f)
{
    modelo_->SetColorTexto(std::move(f));
    Repintar();
}

void Rejilla::SetColorFondo(ModeloRejilla::FuncionColor f)
{
    modelo_->SetColorFondo(std::move(f));
    Repintar();
}

void Rejilla::SetColorEncabezado(const QColor& c)
{
    modelo_->SetColorEncabezado(c);
}

void Rejilla::SetColorMinMax(ModeloRejilla::FuncionColorMinMax f)
{
    modelo_->SetColorMinMax(std::move(f));
    Repintar();
}

void Rejilla::SetAnchoColumna(int col, int px)
{
    if (col >= 0 && col < ColCount())
        setColumnWidth(col, std::max(px, 1));
}

void Rejilla::SetAnchosColumnas(const QList<int>& anchos)
{
    if (anchos.isEmpty())
        return;
    anchoPorDefecto_ = std::max(anchos.last(), 1);
    horizontalHeader()->setDefaultSectionSize(anchoPorDefecto_);
    for (int c = 0; c < ColCount(); ++c)
        SetAnchoColumna(c, c < anchos.size() ? anchos[c] : anchos.last());
}

QList<int> Rejilla::AnchosColumnas() const
{
    QList<int> r;
    for (int c = 0; c < ColCount(); ++c)
        r.append(columnWidth(c));
    return r;
}

void Rejilla::EnsancharColumnas(int fila)
{
    if (fila < 1 || fila >= RowCount())
        return;
    const QFontMetrics fm(font());
    const QFontMetrics fmEnc(horizontalHeader()->font());
    for (int c = 0; c < ColCount(); ++c) {
        const int ancho = std::max(fmEnc.horizontalAdvance(Celda(c, 0)), fm.horizontalAdvance(Celda(c, fila))) + 10;
        if (ancho > columnWidth(c))
            setColumnWidth(c, ancho);
    }
}

void Rejilla::AutoajustarColumnas(bool incluirFija)
{
    const int filas = RowCount() - 1;
    MedidorAnchos medidor(font());
    const QFontMetrics fmEnc(horizontalHeader()->font());

    // Rows every column measures: all of a small grid, else the ends and an even spread.
    std::vector<int> muestra;
    constexpr int kTodas = 3000;
    if (filas <= kTodas) {
        muestra.resize(filas);
        std::iota(muestra.begin(), muestra.end(), 1);
    } else {
        for (int i = 1; i <= 1000; ++i) {
            muestra.push_back(i);
            muestra.push_back(filas + 1 - i);
            muestra.push_back(1 + static_cast<int>(static_cast<long long>(i) * (filas - 1) / 1000));
        }
    }
    for (int c = incluirFija ? 0 : 1; c < ColCount(); ++c) {
        int ancho = fmEnc.horizontalAdvance(Celda(c, 0));
        std::vector<int> filasCol;
        std::unordered_map<uint64_t, int> largos;
        if (filas > kTodas) {
            // Besides the sample: the longest texts and the extreme numbers.
            int largo[3] = {-1, -1, -1};
            int lmax[3] = {-1, -1, -1};
            int fMin = -1, fMax = -1;
            double vMin = 0, vMax = 0;
            for (int r = 1; r <= filas; ++r) {
                const TipoCelda t = modelo_->Tipo(c, r);
                if (t == TipoCelda::Numero) {
                    const double v = modelo_->Numero(c, r);
                    if (fMin < 0 || v < vMin) {
                        vMin = v;
                        fMin = r;
                    }
                    if (fMax < 0 || v > vMax) {
                        vMax = v;
                        fMax = r;
                    }
                } else if (t == TipoCelda::Texto) {
                    const int l = modelo_->LargoTexto(c, r, largos);
                    for (int j = 0; j < 3; ++j) {
                        if (l > lmax[j]) {
                            for (int m = 2; m > j; --m) {
                                lmax[m] = lmax[m - 1];
                                largo[m] = largo[m - 1];
                            }
                            lmax[j] = l;
                            largo[j] = r;
                            break;
                        }
                    }
                }
            }
            for (int r : {largo[0], largo[1], largo[2], fMin, fMax})
                if (r > 0)
                    filasCol.push_back(r);
        }
        // Shaping a text costs far more than finding it again: years, months
        // and labels repeat down a column, and numbers share a few patterns.
        for (const std::vector<int>* lista : {&muestra, &filasCol})
            for (int r : *lista)
                ancho = std::max(ancho, medidor.Ancho(Celda(c, r)));
        setColumnWidth(c, ancho + 10);
    }
}

QStringList Rejilla::FiltrosExportacion()
{
    return {QStringLiteral("Archivo de texto (*.txt)"),
            QStringLiteral("Archivo separado por comas (*.csv)"),
            QStringLiteral("Word (*.doc)"),
            QStringLiteral("Página web (*.html)"),
            QStringLiteral("Excel (*.xls)"),
            QStringLiteral("Libro de Excel (*.xlsx)")};
}

int Rejilla::FormatoExportacion(const QString& ruta, int filtroIndex)
{
    const QString ext = QFileInfo(ruta).suffix().toLower();
    if (ext.isEmpty())
        return filtroIndex;
    static const QStringList conocidas = {QStringLiteral("txt"),  QStringLiteral("csv"), QStringLiteral("doc"),
                                          QStringLiteral("html"), QStringLiteral("xls"), QStringLiteral("xlsx")};
    if (ext == QLatin1String("htm"))
        return 4;
    const qsizetype i = conocidas.indexOf(ext);
    if (i < 0)
        throw std::runtime_error(QStringLiteral("No se ha exportado la tabla: «.%1» no es la extensión de ningún "
                                                "formato de tabla. Escriba .txt, .csv, .doc, .html, .xls o .xlsx, o "
                                                "ninguna para usar la del tipo elegido.")
                                     .arg(QFileInfo(ruta).suffix())
                                     .toStdString());
    return int(i) + 1;
}

void Rejilla::Borrar()
{
    modelo_->Borrar();
    QuitarOrden(); // an empty grid has no order to show
}

void Rejilla::SetMostrarMinMax(bool si)
{
    modelo_->SetMostrarMinMax(si);
    Repintar();
}

void Rejilla::Ordenar(int col, Qt::SortOrder orden)
{
    if (col < 0 || col >= ColCount())
        return;
    ordenando_ = true;
    horizontalHeader()->setSortIndicator(col, orden);
    ordenando_ = false;
    modelo_->Ordenar(col, orden);
}

void Rejilla::IndicadorCambiado(int col, Qt::SortOrder orden)
{
    if (ordenando_ || col < 0 || col >= ColCount())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    modelo_->Ordenar(col, orden);
    QApplication::restoreOverrideCursor();
}

void Rejilla::QuitarOrden()
{
    ordenando_ = true;
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ordenando_ = false;
}

bool Rejilla::MoverFila(int desde, int hasta)
{
    if (!modelo_->MoverFila(desde, hasta))
        return false;
    if (desde != hasta)
        QuitarOrden(); // the rows are no longer in the indicated order
    return true;
}

void Rejilla::Exportar(const QString& ruta, int filtroIndex)
{
    ExportarRejillaArchivo(*modelo_, AnchosColumnas(), ruta, filtroIndex);
}

void Rejilla::VistaPrevia()
{
    RejillaVistaPrevia dialogo(*this, window());
    EjecutarModal(&dialogo);
}

void Rejilla::SetMenuContextual(QMenu* menu)
{
    menu_ = menu;
}

QMenu* Rejilla::MenuContextual() const
{
    return menu_;
}

void Rejilla::contextMenuEvent(QContextMenuEvent* e)
{
    if (!menu_) {
        QTableView::contextMenuEvent(e);
        return;
    }
    const int r = rowAt(e->pos().y());
    filaMenu_ = r >= 0 ? r + 1 : (currentIndex().isValid() ? currentIndex().row() + 1 : -1);
    emit MenuPedido(this);
    menu_->popup(e->globalPos());
    e->accept();
}

void Rejilla::MostrarFila(int fila)
{
    if (fila < 1 || fila >= RowCount())
        return;
    selectRow(fila - 1);
    filaPorMostrar_ = fila;
    if (isVisible()) {
        scrollTo(modelo_->index(fila - 1, 0));
        filaPorMostrar_ = -1;
    }
}

void Rejilla::showEvent(QShowEvent* e)
{
    QTableView::showEvent(e);
    if (filaPorMostrar_ < 0)
        return;
    // Once the page's layout has given the grid its size.
    QTimer::singleShot(0, this, [this] {
        if (filaPorMostrar_ >= 1 && filaPorMostrar_ < RowCount())
            scrollTo(modelo_->index(filaPorMostrar_ - 1, 0));
        filaPorMostrar_ = -1;
    });
}

int Rejilla::FilaDestino(int y) const
{
    const int filas = RowCount() - 1;
    int r = rowAt(y);
    if (r < 0)
        r = y < 0 ? std::max(rowAt(0), 0) : filas - 1;
    return std::clamp(r, 0, std::max(filas - 1, 0));
}

void Rejilla::mousePressEvent(QMouseEvent* e)
{
    arrastreDesde_ = -1;
    arrastrando_ = false;
    if (e->button() == Qt::LeftButton) {
        const QModelIndex i = indexAt(e->position().toPoint());
        if (i.isValid() && i.column() == 0) {
            arrastreDesde_ = i.row();
            arrastreHasta_ = i.row();
            puntoPulsado_ = e->position().toPoint();
        }
    }
    QTableView::mousePressEvent(e);
}

void Rejilla::mouseMoveEvent(QMouseEvent* e)
{
    if (arrastreDesde_ < 0) {
        QTableView::mouseMoveEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    if (!arrastrando_ && (p - puntoPulsado_).manhattanLength() >= QApplication::startDragDistance()) {
        arrastrando_ = true;
        viewport()->setCursor(Qt::SizeVerCursor);
    }
    if (arrastrando_) {
        // Near an edge the grid scrolls one row per move.
        if (p.y() < AltoFila())
            verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
        else if (p.y() > viewport()->height() - AltoFila())
            verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
        arrastreHasta_ = FilaDestino(p.y());
        Repintar();
    }
    e->accept();
}

void Rejilla::mouseReleaseEvent(QMouseEvent* e)
{
    if (arrastrando_) {
        const int desde = arrastreDesde_;
        const int hasta = FilaDestino(e->position().toPoint().y());
        arrastrando_ = false;
        arrastreDesde_ = -1;
        viewport()->unsetCursor();
        if (MoverFila(desde + 1, hasta + 1))
            selectRow(hasta);
        Repintar();
        e->accept();
        return;
    }
    arrastreDesde_ = -1;
    QTableView::mouseReleaseEvent(e);
}

void Rejilla::paintEvent(QPaintEvent* e)
{
    QTableView::paintEvent(e);
    PintarDestino(viewport());
}

// Where a dragged row will go: a line on the view given (the grid's, or the
// frozen column's, which lies over it), at the same height on both.
void Rejilla::PintarDestino(QWidget* vista) const
{
    if (!arrastrando_ || arrastreHasta_ < 0)
        return;
    const QRect r = visualRect(modelo_->index(arrastreHasta_, 0));
    // Kept off the very edge, where half the pen would be cut away.
    const int y = std::max(arrastreHasta_ > arrastreDesde_ ? r.bottom() : r.top(), 1);
    QPainter p(vista);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawLine(0, y, vista->width(), y);
}

QString Rejilla::TextoSeleccion() const
{
    QList<int> filas;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        filas.append(i.row());
    if (filas.isEmpty() && currentIndex().isValid())
        filas.append(currentIndex().row());
    std::sort(filas.begin(), filas.end());
    // Tabs and line breaks inside a text would split its cell when pasted.
    auto limpio = [](QString t) {
        t.replace(QLatin1Char('\t'), QLatin1Char(' '));
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
        t.remove(QLatin1Char('\r'));
        return t;
    };
    QString texto;
    auto linea = [&](int filaRejilla) {
        for (int c = 0; c < ColCount(); ++c) {
            if (c > 0)
                texto += QLatin1Char('\t');
            texto += limpio(Celda(c, filaRejilla));
        }
        texto += QLatin1Char('\n');
    };
    linea(0);
    for (int r : filas)
        linea(r + 1);
    return texto;
}

void Rejilla::Copiar()
{
    QApplication::clipboard()->setText(TextoSeleccion());
}

void Rejilla::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        Copiar();
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void Rejilla::changeEvent(QEvent* e)
{
    QTableView::changeEvent(e);
    if (e->type() == QEvent::LocaleChange) {
        Repintar();
        horizontalHeader()->viewport()->update();
    } else if (e->type() == QEvent::PaletteChange) {
        modelo_->SetColorFija(palette().color(QPalette::Button));
    }
}

} // namespace tendora
