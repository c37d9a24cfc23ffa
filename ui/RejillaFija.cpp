// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's frozen first column: a second view laid over column 0 that
// does not scroll sideways. It shares the model and the selection; its
// mouse, wheel and pop-up menu events are handed to the grid as if they had
// happened on column 0, so selecting, dragging rows, double clicks and the
// menu behave the same on both.
#include "ui/Rejilla.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <functional>

namespace tendora {

namespace {

// The frozen view paints what the grid paints over its cells (the line of a
// row drag) over itself too: the grid's own runs under it.
class VistaColumnaFija : public QTableView {
public:
    VistaColumnaFija(QWidget* padre, std::function<void(QWidget*)> encima) : QTableView(padre), encima_(std::move(encima)) { }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QTableView::paintEvent(e);
        encima_(viewport());
    }

private:
    std::function<void(QWidget*)> encima_;
};

} // namespace

void Rejilla::SetColumnaFija(bool si)
{
    if (si == (fija_ != nullptr))
        return;
    if (!si) {
        delete fija_;
        fija_ = nullptr;
        return;
    }
    fija_ = new VistaColumnaFija(this, [this](QWidget* vista) { PintarDestino(vista); });
    fija_->setObjectName("ColumnaFija");
    fija_->setStyle(style()); // the silver grid lines
    fija_->setModel(modelo_);
    fija_->setSelectionModel(selectionModel());
    fija_->setFocusPolicy(Qt::NoFocus); // keys go to the grid (Ctrl+C, arrows)
    fija_->setFrameShape(QFrame::NoFrame);
    fija_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fija_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fija_->setAlternatingRowColors(true);
    fija_->setSelectionBehavior(selectionBehavior());
    fija_->setSelectionMode(selectionMode());
    fija_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fija_->setWordWrap(false);
    fija_->setGridStyle(gridStyle());
    fija_->setAutoScroll(false);

    QHeaderView* v = fija_->verticalHeader();
    v->setMinimumSectionSize(1);
    v->setDefaultSectionSize(AltoFila());
    v->setSectionResizeMode(QHeaderView::Fixed); // no per-row cost for a million rows
    v->hide();

    const QHeaderView* h = horizontalHeader();
    QHeaderView* hf = fija_->horizontalHeader();
    hf->setFont(h->font());
    hf->setHighlightSections(false);
    hf->setSectionsClickable(true);
    hf->setSectionsMovable(false);
    hf->setStretchLastSection(false);
    hf->setMinimumSectionSize(h->minimumSectionSize());
    hf->setSectionResizeMode(QHeaderView::Interactive);
    hf->setFixedHeight(h->height());
    hf->setSortIndicatorShown(true);
    hf->setSortIndicator(h->sortIndicatorSection(), h->sortIndicatorOrder());
    fija_->setColumnWidth(0, columnWidth(0));
    OcultarColumnasFija();

    // Widths of column 0 and the vertical position follow each other both ways.
    connect(h, &QHeaderView::sectionResized, fija_, [this](int col, int, int ancho) {
        if (col != 0)
            return;
        if (fija_->columnWidth(0) != ancho)
            fija_->setColumnWidth(0, ancho);
        ColocarFija();
    });
    connect(hf, &QHeaderView::sectionResized, this, [this](int col, int, int ancho) {
        if (col == 0 && columnWidth(0) != ancho)
            setColumnWidth(0, ancho);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, fija_->verticalScrollBar(), &QScrollBar::setValue);
    connect(fija_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    // A hidden view learns of new rows late: once it has, it goes where the grid is.
    connect(fija_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { fija_->verticalScrollBar()->setValue(verticalScrollBar()->value()); });
    // Sorting runs from the grid's own indicator; the frozen header mirrors it.
    connect(h, &QHeaderView::sortIndicatorChanged, fija_, [hf](int col, Qt::SortOrder orden) {
        const QSignalBlocker bloqueo(hf);
        hf->setSortIndicator(col, orden);
        hf->viewport()->update();
    });
    connect(hf, &QHeaderView::sortIndicatorChanged, this,
            [this](int col, Qt::SortOrder orden) { horizontalHeader()->setSortIndicator(col, orden); });
    connect(modelo_, &QAbstractItemModel::columnsInserted, fija_, [this] { OcultarColumnasFija(); });
    connect(modelo_, &QAbstractItemModel::modelReset, fija_, [this] { OcultarColumnasFija(); });

    fija_->viewport()->installEventFilter(this);
    viewport()->stackUnder(fija_);
    fija_->show();
    ColocarFija();
    fija_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void Rejilla::OcultarColumnasFija()
{
    if (!fija_)
        return;
    for (int c = 1; c < modelo_->columnCount(); ++c)
        fija_->setColumnHidden(c, true);
    fija_->setColumnHidden(0, false);
}

// Over column 0's place when nothing is scrolled: the grid's viewport and its header.
void Rejilla::ColocarFija()
{
    if (!fija_)
        return;
    const QRect v = viewport()->geometry();
    const int alto = horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0;
    fija_->setGeometry(v.x(), v.y() - alto, std::min(columnWidth(0), v.width()), v.height() + alto);
}

void Rejilla::resizeEvent(QResizeEvent* e)
{
    QTableView::resizeEvent(e);
    ColocarFija();
}

void Rejilla::updateGeometries()
{
    QTableView::updateGeometries();
    ColocarFija();
}

void Rejilla::Repintar()
{
    viewport()->update();
    if (fija_)
        fija_->viewport()->update();
}

bool Rejilla::eventFilter(QObject* objeto, QEvent* e)
{
    if (fija_ && objeto == fija_->viewport() && ReenviarFija(e))
        return true;
    return QTableView::eventFilter(objeto, e);
}

// An event on the frozen view handed to the grid at the same place of its
// column 0. The grid must not scroll sideways on its own for it: that would
// bring column 0 back under the frozen one.
bool Rejilla::ReenviarFija(QEvent* e)
{
    const QPoint desplazamiento(columnViewportPosition(0), 0);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(e);
        QMouseEvent copia(m->type(), m->position() + desplazamiento, m->scenePosition(), m->globalPosition(),
                          m->button(), m->buttons(), m->modifiers(), m->pointingDevice());
        if (m->type() == QEvent::MouseButtonPress)
            setFocus(Qt::MouseFocusReason);
        const bool antes = hasAutoScroll();
        setAutoScroll(false);
        switch (m->type()) {
        case QEvent::MouseButtonPress: mousePressEvent(&copia); break;
        case QEvent::MouseButtonRelease: mouseReleaseEvent(&copia); break;
        case QEvent::MouseButtonDblClick: mouseDoubleClickEvent(&copia); break;
        default: mouseMoveEvent(&copia); break;
        }
        setAutoScroll(antes);
        return true;
    }
    case QEvent::ContextMenu: {
        auto* c = static_cast<QContextMenuEvent*>(e);
        QContextMenuEvent copia(c->reason(), c->pos() + desplazamiento, c->globalPos(), c->modifiers());
        contextMenuEvent(&copia);
        return true;
    }
    case QEvent::Wheel: wheelEvent(static_cast<QWheelEvent*>(e)); return true;
    default: return false;
    }
}

} // namespace tendora
