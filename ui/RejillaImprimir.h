// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing a grid: pages of whole rows and columns at the grid's own size,
// and the preview dialog the grids open.
#include <QDialog>
#include <QList>
#include <QPrinter>
#include <QSizeF>

#include <functional>
#include <vector>

class QPrintPreviewWidget;
class QPushButton;

namespace tendora {

class Rejilla;

// Grid rows filaDesde..filaHasta (row 0 is the header row) and columns
// colDesde..colHasta, inclusive, printed on one page.
struct PaginaRejilla {
    int filaDesde = 0, filaHasta = 0;
    int colDesde = 0, colHasta = 0;
    bool conEncabezado = false; // the header row drawn above filaDesde
    bool operator==(const PaginaRejilla&) const = default;
};

// Splits a grid of `filas` rows (header included) into pages of `pagina`
// size in grid pixels: down the rows first, then across the columns.
std::vector<PaginaRejilla> PaginarRejilla(const QList<int>& anchos, int filas, int altoFila, QSizeF pagina,
                                          bool repetirEncabezado);

// Print settings of the grids: portrait, centred across the page, cell
// borders, no titles or page numbers, rows and columns at screen size, the
// header row only on the first page, the row bands printed.
void PrepararImpresora(QPrinter& impresora);
// Asked after each page painted, with the pages done and the whole count;
// false stops the painting there.
using SeguirImpresion = std::function<bool(int hechas, int total)>;

// Paints the pages of the grid on the printer, all of them unless seguir
// stops it; returns the number painted.
int ImprimirRejilla(QPrinter& impresora, const Rejilla& rejilla, bool repetirEncabezado = false,
                    const SeguirImpresion& seguir = {});

// What the preview and the printing show while a long grid is painted: a
// progress window with "Cancelar", from the moment painting has taken
// esperaMs; "Cancelar" stops at the page being painted.
SeguirImpresion ProgresoImpresion(QWidget* padre, int esperaMs = 700);

// "Preview": the grid's pages with "Previous", "Next", "Print" and "Close".
class RejillaVistaPrevia : public QDialog {
    Q_OBJECT
public:
    explicit RejillaVistaPrevia(const Rejilla& rejilla, QWidget* parent = nullptr);

    QPrintPreviewWidget* Vista() const { return vista_; }
    int Paginas() const;
    int PaginaActual() const;
    // The grid printed, with its colours, into a PDF file (what "Print" does
    // on a machine without printers, after asking for the file).
    void ImprimirEnPdf(const QString& ruta);

private:
    void Actualizar();
    void Imprimir();

    const Rejilla& rejilla_;
    QPrinter impresora_;
    QPrintPreviewWidget* vista_;
    QPushButton* anterior_;
    QPushButton* siguiente_;
    QPushButton* imprimir_;
    QPushButton* cerrar_;
};

} // namespace tendora
