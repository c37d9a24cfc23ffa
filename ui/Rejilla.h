// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid component behind the program's four tables: a string grid in the
// classic sense (row 0 is the header, column 0 the fixed first column) kept
// as numbers and texts in a table model and shown by a table view.
#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "ui/RejillaColumna.h"

class QMenu;

namespace tendora {

// How a numeric cell is written when shown.
enum class Formato : unsigned char { General, Fijo2 };

enum class TipoCelda : unsigned char { Vacia, Texto, Numero };

// Rows kept elsewhere (the log of runs): entry k gives a label for the first
// column and numbers, shown with two decimals, for the others.
class FuenteFilas {
public:
    virtual ~FuenteFilas() = default;
    virtual long long Cuantas() const = 0;
    virtual EtiquetaCelda Etiqueta(long long k) const = 0;
    // The number of column col (>= 1) of entry k; NaN for an empty cell.
    virtual double Numero(long long k, int col) const = 0;
};

// Grid contents. Rows and columns are in grid terms throughout the public
// API: row 0 is the header row, rows 1.. are data rows (model rows 0..).
class ModeloRejilla : public QAbstractTableModel {
    Q_OBJECT
public:
    // Colour of a data cell (row >= 1); an invalid QColor means "default".
    using FuncionColor = std::function<QColor(int row, int col)>;
    // Background of a highlighted cell: its column and whether it is the
    // maximum; an invalid QColor leaves the cell unmarked.
    using FuncionColorMinMax = std::function<QColor(int col, bool maximo)>;

    explicit ModeloRejilla(QObject* parent = nullptr);

    int ColCount() const { return static_cast<int>(columnas_.size()); }
    void SetColCount(int n);
    // Header row included, like a string grid: 1 means header only.
    int RowCount() const { return filas_ + 1; }
    void SetRowCount(int n);

    // The text the grid shows; row 0 gives the header.
    QString Celda(int col, int row) const;
    void SetTexto(int col, int row, const QString& texto);
    void SetNumero(int col, int row, double valor, Formato formato = Formato::General);
    void Vaciar(int col, int row);
    // A label cell (a text cell to everything that reads the grid), written
    // with the code texts given here and the numbers under the locale of the moment.
    void SetEtiqueta(int col, int row, const EtiquetaCelda& etiqueta);
    void SetCodigosEtiqueta(const QStringList& codigos);
    // The label of a label cell; nullptr for any other cell. Over a source,
    // valid until the next call.
    const EtiquetaCelda* Etiqueta(int col, int row) const;

    // Length of the text Celda gives, without writing out a label: their
    // values repeat, so each value's text length is worked out once per memo.
    int LargoTexto(int col, int row, std::unordered_map<uint64_t, int>& memo) const;
    TipoCelda Tipo(int col, int row) const;
    double Numero(int col, int row) const; // 0 unless Tipo is Numero
    Formato FormatoDe(int col, int row) const; // General unless Tipo is Numero

    // Bulk fill: between the two calls no per-cell signal is sent and rows
    // added are told to the views together; the views are updated once at the
    // end. Calls nest.
    void ComenzarCarga();
    void TerminarCarga();
    // Tells the views of the rows added so far in a bulk fill (before they paint).
    void AnunciarFilas();
    // Room for n rows (header included) without moving the cells again.
    void ReservarFilas(int n);
    // Writes n values into column col from grid row filaDesde on (rows must exist).
    void SetColumnaNumeros(int col, int filaDesde, const double* valores, int n, Formato formato = Formato::General);
    // Writes n values into row row from column colDesde on, with one change
    // signal for the row; a non-finite value empties its cell.
    void SetFilaNumeros(int row, int colDesde, const double* valores, int n, Formato formato = Formato::General);
    // The same, where a value that is not there empties its cell.
    void SetFilaNumeros(int row, int colDesde, const std::optional<double>* valores, int n,
                        Formato formato = Formato::General);

    // Header row and one empty data row; headers and column count stay, the
    // memory of the cells is given back.
    void Borrar();

    // The data rows become a view of a source (not owned) instead of cells
    // of their own: its entries in the order they come until a sort or a drag
    // gives them another; with no entry the grid shows one empty row, as an
    // empty grid does. Writing into a cell or changing the row count copies
    // the rows into cells of the grid's own (the source is not written);
    // Borrar makes it a view again, of the entries added after. nullptr goes
    // back to cells for good.
    void SetFuente(FuenteFilas* fuente);
    // Whether the rows are read from the source now.
    bool EsVista() const { return fuente_ != nullptr; }
    // The data rows as they are now: their cells, or which of the source's
    // entries they show and in what order (undo puts them back).
    struct Filas {
        std::vector<ColumnaRejilla> columnas;
        std::vector<QString> textos;
        std::vector<int32_t> libres;
        int filas = 1;
        FuenteFilas* fuente = nullptr;
        long long base = 0;
        bool ordenado = false;
        std::vector<int32_t> orden;
    };
    Filas CopiarFilas() const;
    // Rows kept by CopiarFilas of this grid; a source must still hold every
    // entry they show.
    void ReponerFilas(Filas f);
    // The source has a new entry at its end: a new row (or the empty one
    // filled). Nothing when the rows are the grid's own.
    void FilaAnadida();
    // Stable sort of the data rows by one column: numbers by value (also texts
    // that read as numbers with either decimal mark), then texts, empty cells last.
    void Ordenar(int col, Qt::SortOrder orden);
    // The data row at grid row desde ends up at grid row hasta.
    bool MoverFila(int desde, int hasta);

    void SetColorTexto(FuncionColor f);
    void SetColorFondo(FuncionColor f);
    void SetColorEncabezado(const QColor& c); // text colour of the header row
    void SetColorFija(const QColor& c); // background of the fixed column
    // Tool tip of a column's header, shown when the pointer rests on it.
    void SetAyudaEncabezado(int col, const QString& texto);

    // Best and worst value per column (columns >= 1), compared as shown.
    void SetMostrarMinMax(bool si);
    bool MostrarMinMax() const { return mostrarMinMax_; }
    void SetColorMinMax(FuncionColorMinMax f);
    // Grid row of the first smallest / largest value, -1 if the column has none.
    int FilaMinimo(int col) const;
    int FilaMaximo(int col) const;
    // How many times a column's extremes were computed from scratch (for tests).
    long long RecalculosMinMax() const { return recalculos_; }

    // QAbstractTableModel. Besides the display text, Qt::UserRole gives the
    // double of a numeric cell (exports write numbers as numbers).
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;

private:
    // Column-major cells; a key is a text slot or one of the tags below.
    using Columna = ColumnaRejilla;
    static constexpr int32_t kVacia = ColumnaRejilla::kVacia;
    static constexpr int32_t kGeneral = ColumnaRejilla::kGeneral;
    static constexpr int32_t kFijo2 = ColumnaRejilla::kFijo2;
    static constexpr int32_t kEtiqueta = ColumnaRejilla::kEtiqueta;
    struct Extremos {
        bool sucio = true;
        int min = -1, max = -1; // model rows
        double vmin = 0, vmax = 0;
    };

    bool Valida(int col, int row) const;
    void LiberarTexto(int32_t clave);
    int32_t GuardarTexto(const QString& texto, int32_t claveAnterior);
    void Cambiado(int col, int fila);
    bool ValorMostrado(int col, int fila, double* v) const; // model row
    void Recalcular(int col) const;
    void AnotarValor(int col, int fila, double v, bool habiaValor);
    // One cell of a data row (model row), without a change signal.
    void EscribirNumero(int col, int fila, double valor, Formato formato);
    bool EscribirVacia(int col, int fila); // false if it was empty already
    template <class Valor>
    void EscribirFila(int row, int colDesde, const Valor* valores, int n, Formato formato);
    void InvalidarExtremos();
    void AplicarPermutacion(const std::vector<int>& nuevaAVieja);
    QString TextoEtiqueta(const EtiquetaCelda& e) const;
    // Cells read the same with or without a source (model rows).
    long long EntradaDe(int f) const; // the source's entry, -1 for none
    int32_t ClaveDe(int col, int f) const;
    double ValorDe(int col, int f) const;
    EtiquetaCelda EtiquetaDe(int col, int f) const;
    int FilasFuente() const;
    void MaterializarOrden();
    // Before a write: the rows shown become cells of the grid's own.
    void Desvincular();
    void OrdenEtiquetas(int col, bool asc, std::vector<int>& filas) const;

    std::vector<Columna> columnas_;
    QStringList encabezados_;
    QStringList ayudas_; // header tool tips; a missing one is empty
    QStringList codigos_;
    int filas_ = 1; // data rows
    int vistas_ = 1; // data rows the views know of; fewer only during a bulk fill
    std::vector<QString> textos_;
    std::vector<int32_t> libres_;
    int carga_ = 0;

    FuncionColor colorTexto_;
    FuncionColor colorFondo_;
    FuncionColorMinMax colorMinMax_;
    QColor colorEncabezado_;
    QColor colorFija_;
    bool mostrarMinMax_ = false;
    mutable std::vector<Extremos> extremos_;
    mutable long long recalculos_ = 0;

    FuenteFilas* vinculo_ = nullptr; // the source given, also while not read
    FuenteFilas* fuente_ = nullptr; // the source the rows are read from now
    long long base_ = 0; // entry of data row 0 while the rows keep the source's order
    bool ordenado_ = false; // orden_ in use (after a sort or a drag)
    std::vector<int32_t> orden_; // entry of each data row
    mutable EtiquetaCelda etiquetaLeida_; // what Etiqueta points to with a source
};

// The view: 18-pixel rows, bold header, banded rows, whole-row selection,
// header-click sorting, rows moved by dragging the fixed column.
class Rejilla : public QTableView {
    Q_OBJECT
public:
    explicit Rejilla(QWidget* parent = nullptr);

    ModeloRejilla* Modelo() const { return modelo_; }

    int ColCount() const { return modelo_->ColCount(); }
    void SetColCount(int n);
    int RowCount() const { return modelo_->RowCount(); }
    void SetRowCount(int n) { modelo_->SetRowCount(n); }
    QString Celda(int col, int row) const { return modelo_->Celda(col, row); }
    void SetTexto(int col, int row, const QString& t) { modelo_->SetTexto(col, row, t); }
    void SetNumero(int col, int row, double v, Formato f = Formato::General) { modelo_->SetNumero(col, row, v, f); }
    void Vaciar(int col, int row) { modelo_->Vaciar(col, row); }
    void ComenzarCarga() { modelo_->ComenzarCarga(); }
    void TerminarCarga() { modelo_->TerminarCarga(); }
    void SetColumnaNumeros(int col, int filaDesde, const double* v, int n, Formato f = Formato::General)
    {
        modelo_->SetColumnaNumeros(col, filaDesde, v, n, f);
    }
    void SetFilaNumeros(int row, int colDesde, const double* v, int n, Formato f = Formato::General)
    {
        modelo_->SetFilaNumeros(row, colDesde, v, n, f);
    }
    void SetFilaNumeros(int row, int colDesde, const std::optional<double>* v, int n, Formato f = Formato::General)
    {
        modelo_->SetFilaNumeros(row, colDesde, v, n, f);
    }
    void SetColorTexto(ModeloRejilla::FuncionColor f);
    void SetColorFondo(ModeloRejilla::FuncionColor f);
    void SetColorEncabezado(const QColor& c);
    void SetColorMinMax(ModeloRejilla::FuncionColorMinMax f);
    bool MostrarMinMax() const { return modelo_->MostrarMinMax(); }

    int AnchoColumna(int col) const { return columnWidth(col); }
    void SetAnchoColumna(int col, int px);
    // Widths for columns 0, 1, ...; columns past the list get the last width.
    void SetAnchosColumnas(const QList<int>& anchos);
    QList<int> AnchosColumnas() const;
    int AltoFila() const { return 18; }
    // Fits each column to its widest text plus 10 pixels, measuring a sample of
    // rows (the longest texts, extremes and spread rows) rather than all of them.
    void AutoajustarColumnas(bool incluirFija = false);
    // Widens every column, the fixed one too, that would clip its header or
    // the text of row fila; never narrows one. For a row just added.
    void EnsancharColumnas(int fila);

    // The pop-up menu: the window owns it and fills it; the grid opens it on a
    // right click after emitting MenuPedido.
    void SetMenuContextual(QMenu* menu);
    QMenu* MenuContextual() const;

    // Grid row the pop-up menu was last opened on: the data row under the
    // mouse, else the current row; -1 when there was none.
    int FilaMenu() const { return filaMenu_; }

    // Selects a data row (grid row) and scrolls it into view; a hidden grid
    // scrolls when it is next shown, at the size it then has.
    void MostrarFila(int fila);

    // Column 0 stays at the left while the others scroll (off by default). A
    // second view over this one shows it, with the same model and selection;
    // what the user does on it reaches this view as if done on column 0.
    void SetColumnaFija(bool si);
    QTableView* VistaFija() const { return fija_; }

    // The header row and the selected rows (the current one when none is
    // selected), cells separated by tabs, one line each: what a spreadsheet pastes.
    QString TextoSeleccion() const;

    // Save dialog filters in the order of Exportar's index (1..6).
    static QStringList FiltrosExportacion();
    // The format a file name asks for: its extension's (.txt, .csv, .doc,
    // .html or .htm, .xls, .xlsx, any case) whatever the filter, the filter's
    // when it has none. Another extension throws std::runtime_error with a
    // Spanish message, before anything is written.
    static int FormatoExportacion(const QString& ruta, int filtroIndex);

public slots:
    void Autoajustar() { AutoajustarColumnas(false); }
    void Borrar();
    // TextoSeleccion to the clipboard (also Ctrl+C).
    void Copiar();
    void SetMostrarMinMax(bool si);
    void Ordenar(int col, Qt::SortOrder orden);
    // No header claims an order any more (the rows were refilled); nothing moves.
    void QuitarOrden();
    bool MoverFila(int desde, int hasta);
    // Writes the whole grid as the filter index says; outside 1..6 writes
    // nothing. A file that cannot be written throws std::runtime_error.
    void Exportar(const QString& ruta, int filtroIndex);
    // Modal print preview ("Preview") of the whole grid.
    void VistaPrevia();

signals:
    void MenuPedido(tendora::Rejilla* rejilla);

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void updateGeometries() override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void ColocarFija();
    void OcultarColumnasFija();
    bool ReenviarFija(QEvent* e);
    void Repintar();
    void IndicadorCambiado(int col, Qt::SortOrder orden);
    int FilaDestino(int y) const;
    void PintarDestino(QWidget* vista) const;

    ModeloRejilla* modelo_;
    QPointer<QMenu> menu_;
    int anchoPorDefecto_ = 50;
    bool ordenando_ = false;
    // Row drag on the fixed column, in model rows.
    int arrastreDesde_ = -1;
    int arrastreHasta_ = -1;
    bool arrastrando_ = false;
    QPoint puntoPulsado_;
    int filaMenu_ = -1;
    int filaPorMostrar_ = -1;
    QTableView* fija_ = nullptr;
};

} // namespace tendora
