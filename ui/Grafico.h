// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of the four chart pages: a QChartView that the window configures
// with named series and fills with one call per series.
//
// What the chart draws itself, instead of leaving it to Qt Charts:
// - the legend (a check box per series, text in the series' colour), since
//   Qt's own legend hides the marker of a hidden series;
// - the point markers, since Qt's scatter series and line markers are far too
//   slow beyond a few thousand points, and colour only circles;
// - the vertical marker line, behind the series and outside the axis scaling;
// - the zoom rectangle, so that it never starts while a point is dragged.
// Null points split a line into several QLineSeries, since Qt rejects NaN.
#include <QChartView>
#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class QMenu;
class QPainter;
class QRubberBand;
class QVariantAnimation;
class QAbstractSeries;
class QAbstractAxis;
class QLineSeries;
class QValueAxis;
class QCategoryAxis;
class QBarCategoryAxis;
class QStackedBarSeries;
class QBarSet;
class QGraphicsLineItem;

namespace tendora {

struct PuntoGrafico {
    double x = 0.0;
    double y = 0.0;
    QString etiqueta; // bottom-axis label at x (for bars: the bar's category)
    QColor color; // the point's own colour; invalid or equal to the series colour: none
    bool nulo = false; // neither drawn nor joined to its neighbours
};

enum class TipoSerie {
    Linea, // line only
    LineaPuntos, // line with a marker at every point
    Barras, // one bar per point, each in its point's colour, value written above it
    // A shaded area behind the lines: its points trace the outline, the upper
    // edge left to right and then the lower edge right to left, and it is
    // filled with the series' colour (a translucent one lets the grid and
    // other bands show through). It has no markers and no Qt series.
    Banda
};

enum class FormaMarca { Circulo, Cuadrado };

struct EstiloSerie {
    QColor color; // invalid: one of the chart's automatic colours
    qreal ancho = 2.0; // line width in pixels
    Qt::PenStyle trazo = Qt::SolidLine;
    FormaMarca forma = FormaMarca::Circulo;
    qreal tamanoMarca = 7.0; // full width of a marker in pixels
    QColor rellenoMarca = Qt::white; // marker fill of points without a colour of their own
};

class Grafico;
class CapaMarcas;
class CapaLeyenda;
class CapaBandas;

// One named series of a Grafico: objectName is the series' program name,
// name() its legend title. It lives as a child of its chart.
class SerieGrafico : public QObject {
    Q_OBJECT
public:
    TipoSerie Tipo() const { return m_tipo; }
    QString name() const { return m_titulo; }
    void setName(const QString& titulo);

    const std::vector<PuntoGrafico>& Puntos() const { return *m_puntos; }
    int count() const { return int(m_puntos->size()); }

    bool isVisible() const { return m_visible; }
    void PonerVisible(bool visible);

    const EstiloSerie& Estilo() const { return m_estilo; }
    QColor Color() const { return m_estilo.color; }
    void PonerColor(const QColor& color);
    qreal Ancho() const { return m_estilo.ancho; }
    void PonerAncho(qreal ancho);
    bool Marcas() const { return m_marcas; }
    void PonerMarcas(bool marcas);

    // The Qt series that draw it: the line segments between null points, or the
    // bar series. Their contents follow in Grafico::ActualizarAhora (or the event
    // loop); a long segment holds only what shows at the plot's width: per pixel
    // column its first, lowest, highest and last point.
    QList<QAbstractSeries*> SeriesQt() const;
    // Runs of ordinary points between null ones.
    int NumSegmentos() const { return int(m_tramos.size()); }
    // Whether point i is drawn with a colour of its own (its marker, its bar).
    bool ColorPropio(int i) const { return i >= 0 && i < int(m_propio.size()) && m_propio[size_t(i)]; }

private:
    friend class Grafico;
    friend class CapaMarcas;
    friend class CapaLeyenda;
    friend class CapaBandas;
    SerieGrafico(Grafico* grafico, TipoSerie tipo, const EstiloSerie& estilo);

    Grafico* m_grafico;
    TipoSerie m_tipo;
    EstiloSerie m_estilo;
    QString m_titulo;
    bool m_visible = true;
    bool m_marcas = false;
    // Shared with the series it was copied from (or that were copied from
    // it) until one of them changes: a frozen comparison copy of a million
    // points then copies none of them.
    std::shared_ptr<std::vector<PuntoGrafico>> m_puntos = std::make_shared<std::vector<PuntoGrafico>>();
    std::vector<PuntoGrafico>& PuntosPropios(); // its own points, to change
    std::vector<bool> m_propio; // per point: drawn in its own colour
    // Lowest and highest x and y of its ordinary points, worked out when first
    // asked after a change: the axes are scaled at every refresh, and a chart
    // of many long comparison series would scan them all each time.
    mutable bool m_extremosListos = false;
    mutable bool m_conPuntos = false;
    mutable double m_minX = 0.0, m_maxX = 0.0, m_minY = 0.0, m_maxY = 0.0;
    void CalcularExtremos() const;
    // For lines: runs of ordinary points (first and last index), the Qt series
    // drawing each, and where each point sits (-1: null point).
    struct Tramo {
        int desde;
        int hasta;
        bool ordenado; // x never decreases, so it can be reduced per pixel column
        bool reducido = false; // what Qt holds is reduced (or cut to the view)
    };
    std::vector<Tramo> m_tramos;
    QList<QLineSeries*> m_segmentos;
    std::vector<int> m_segmentoDe;
    bool m_qtPendiente = false; // Qt does not hold the points yet
    double m_enviadoA = 0.0, m_enviadoB = 0.0;
    int m_enviadoColumnas = 0;
    // For bars.
    QStackedBarSeries* m_barras = nullptr;
};

class Grafico : public QChartView {
    Q_OBJECT
public:
    explicit Grafico(QWidget* parent = nullptr);
    ~Grafico() override;

    // Chart title, maroon, 16 pixels high.
    void PonerTitulo(const QString& titulo);
    QString Titulo() const;

    // --- Series -----------------------------------------------------------
    // A chart holds either lines or bars (the first series decides).
    SerieGrafico* CrearSerie(const QString& nombre, const QString& titulo, TipoSerie tipo,
                             const EstiloSerie& estilo = EstiloSerie());
    SerieGrafico* Serie(const QString& nombre) const; // by objectName; nullptr if none
    SerieGrafico* SerieEn(int posicion) const; // in creation order
    int NumSeries() const { return int(m_series.size()); }
    int Posicion(const SerieGrafico* serie) const; // -1 if not in this chart

    // Replaces every point of the series in one go. Non-finite coordinates
    // count as null points. The series' shown state is left as it is.
    void PonerPuntos(SerieGrafico* serie, const std::vector<PuntoGrafico>& puntos);
    void PonerPuntos(SerieGrafico* serie, std::vector<PuntoGrafico>&& puntos);
    void Vaciar(SerieGrafico* serie);
    // Points desde..hasta (inclusive, clipped to the series) become null, or
    // ordinary points again drawn in the series colour.
    void PonerNulos(SerieGrafico* serie, int desde, int hasta, bool nulos);
    // Moves point i of the series to a new y (its x stays).
    void MoverPunto(SerieGrafico* serie, int indice, double y);

    // A frozen copy of a line series' points (x, y, labels, colours, nulls)
    // appended as a new line series without markers in the given colour.
    SerieGrafico* CopiarSerie(const SerieGrafico* origen, const QString& nombre, const QString& titulo,
                              const QColor& color);
    // A line series kept apart from the chart (undo, a session file): its
    // points are shared with it, not copied, and never changed through this.
    struct SerieGuardada {
        QString nombre, titulo;
        TipoSerie tipo = TipoSerie::Linea;
        EstiloSerie estilo;
        bool visible = true;
        bool marcas = false;
        std::shared_ptr<std::vector<PuntoGrafico>> puntos;
    };
    static SerieGuardada GuardarSerie(const SerieGrafico* serie);
    // The kept series appended again, as it was.
    SerieGrafico* ReponerSerie(const SerieGuardada& g);
    void EliminarSerie(SerieGrafico* serie);
    // Removes the series at posicion and after it: EliminarSeriesDesde(1) keeps the first.
    void EliminarSeriesDesde(int posicion);

    // --- Legend -----------------------------------------------------------
    void PonerLeyendaVisible(bool visible);
    bool LeyendaVisible() const { return m_leyendaVisible; } // the user's choice
    bool LeyendaMostrada() const; // drawn now: it is left out when it does not fit
    QRectF RectEntradaLeyenda(const SerieGrafico* serie) const; // view coordinates; empty if not drawn

    // --- Vertical marker line (behind the series, not draggable, not in the legend)
    void PonerLineaVertical(double x); // places and activates it
    void QuitarLineaVertical();
    bool LineaVerticalActiva() const { return m_lineaActiva; }
    double LineaVerticalX() const { return m_lineaX; }
    void PonerEstiloLineaVertical(const QColor& color, qreal ancho);

    // --- Axes -------------------------------------------------------------
    QAbstractAxis* EjeX() const; // QCategoryAxis for lines, QBarCategoryAxis for bars
    QValueAxis* EjeY() const { return m_ejeY; }
    void PonerTituloEjeX(const QString& titulo);
    void PonerTituloEjeY(const QString& titulo);
    QString TituloEjeX() const;
    QString TituloEjeY() const;
    // A fixed range, kept across fillings until the axis is made automatic again.
    void PonerRangoEjeX(double minimo, double maximo);
    void PonerRangoEjeY(double minimo, double maximo);
    void PonerEjeXAutomatico();
    void PonerEjeYAutomatico();
    bool EjeXAutomatico() const { return m_ejeXAuto; }
    bool EjeYAutomatico() const { return m_ejeYAuto; }
    double MinimoX() const;
    double MaximoX() const;
    double MinimoY() const;
    double MaximoY() const;
    QStringList EtiquetasEjeX() const; // bottom-axis labels drawn now, in order
    QList<double> PosicionesEtiquetasX() const;

    // --- Zoom -------------------------------------------------------------
    // Drag a rectangle left-to-right to zoom into it; drag right-to-left, or
    // double-click, to see the whole chart again.
    void PonerZoomPermitido(bool permitido);
    bool ZoomPermitido() const { return m_zoomPermitido; }
    void PonerZoomAnimado(bool animado) { m_zoomAnimado = animado; }
    bool Ampliado() const { return m_ampliado; }
    void Ampliar(const QRectF& rectVista); // a rectangle in view coordinates

    // --- Vertical point drag ----------------------------------------------
    void PonerSerieArrastre(SerieGrafico* serie);
    SerieGrafico* SerieArrastre() const { return m_serieArrastre; }
    void ActivarArrastre(bool activo);
    bool ArrastreActivo() const { return m_arrastreActivo; }
    bool Arrastrando() const { return m_indiceArrastre >= 0; }

    // --- Pop-up menu --------------------------------------------------------
    // Shown on a right click after menuSolicitado; the menu is not owned.
    void PonerMenu(QMenu* menu);
    QMenu* Menu() const;
    void AbrirMenu(const QPoint& global);
    // The shown line series at a view point: its legend entry, or its line or
    // a marker within a few pixels (the nearest; on a tie the one drawn last).
    SerieGrafico* SerieBajo(const QPoint& vista) const;

    // --- Output -------------------------------------------------------------
    // The chart as drawn on screen, saved as a BMP file; std::runtime_error on failure.
    void ExportarBMP(const QString& fichero);
    // The chart saved in the format its file name ends with: .png (also
    // without extension), .svg and .pdf (vectors, for documents), .bmp; another
    // extension, or a failure, throws std::runtime_error before anything is written.
    void Exportar(const QString& fichero);
    // Print margins in per cent of the page, each side.
    void PonerMargenesImpresion(const QMarginsF& porcentajes) { m_margenesImpresion = porcentajes; }
    QMarginsF MargenesImpresion() const { return m_margenesImpresion; }
    // Draws the chart on a page (device coordinates of the whole sheet), inside the margins.
    void PintarPagina(QPainter* pintor, const QRectF& pagina);
    // Print preview, landscape, modal.
    void VistaPreviaImpresion(QWidget* dueno);
    // The chart editor, modal; its changes apply to the chart at once.
    void EditarGrafico(QWidget* dueno);

    // Axis scaling, labels, legend and markers follow the series from the
    // event loop; this does that work now.
    void ActualizarAhora();

public slots:
    void RestaurarZoom();

signals:
    // The point drag: index of the point in its series and its new y.
    void arrastreIniciado(int indice);
    void puntoArrastrado(int indice, double y);
    void arrastreTerminado(int indice, double y);
    // Any mouse button released over the chart (after arrastreTerminado).
    void ratonSoltado(Qt::MouseButton boton);
    // A right click asked for the pop-up menu, just before it is shown.
    void menuSolicitado(tendora::Grafico* grafico, const QPoint& global);
    // The user switched a series on or off through its legend check box.
    void serieConmutada(tendora::SerieGrafico* serie, bool visible);

protected:
    void resizeEvent(QResizeEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;
    void wheelEvent(QWheelEvent* evento) override;

private:
    friend class SerieGrafico;
    friend class CapaMarcas;
    friend class CapaLeyenda;
    friend class CapaBandas;

    struct EntradaLeyenda {
        QPointer<SerieGrafico> serie; // null once its series is gone, whatever removed it
        QRectF rect; // chart coordinates
    };
    struct Rango {
        double min = 0.0;
        double max = 1.0;
        bool operator==(const Rango&) const = default;
    };

    void CrearEjes(bool barras);
    // Axis labels and title laid out, the zoom band hidden: what a picture shows.
    void ListoParaPintar();
    // While one lives, the chart draws for a picture or paper.
    class ParaSalida;
    void ExportarMapaDeBits(const QString& fichero, const char* formato);
    // Takes the series out of the chart, the legend and the drag tool, and deletes it.
    void QuitarSerie(SerieGrafico* serie);
    QLineSeries* NuevoSegmento(SerieGrafico* serie);
    void AplicarEstilo(SerieGrafico* serie);
    void Reconstruir(SerieGrafico* serie);
    // What follows new points of a series: colours, segments, bars, labels.
    void PuntosPuestos(SerieGrafico* serie);
    void EnviarAQt(SerieGrafico* serie);
    void EnviarPendientes(bool tambienReducidas);
    int Columnas() const;
    void ReconstruirBarras(SerieGrafico* serie);
    void Programar();
    void ProgramarActualizacion();
    void SerieCambiada(bool etiquetas);
    void RecalcularRangos();
    // Lowest and highest x (or y) of the shown, ordinary points; false when there are none.
    bool Extremos(double PuntoGrafico::*eje, double& mn, double& mx) const;
    bool RangoCompletoX(Rango& r) const;
    bool RangoCompletoY(Rango& r) const;
    void AplicarRangos(const Rango& x, const Rango& y);
    void AplicarRangoY(const Rango& y);
    // Qt Charts takes a span of values below 1e-12 for none (and then lays no
    // ticks out, or puts a range of its own in place); tiny values reach it
    // multiplied by a power of ten, which the labels write back as "E-15".
    void PonerEscalaY(const Rango& y);
    void AnimarHacia(const Rango& x, const Rango& y);
    void RecolocarAdornos();
    void ActualizarEtiquetasX();
    void ReunirEtiquetas();
    void ActualizarLeyenda();
    void ActualizarLineaVertical();
    QColor ColorAutomatico();
    QFont FuenteLeyenda() const;
    QPointF AGrafico(const QPoint& vista) const;
    QPointF AValor(const QPointF& enGrafico) const;
    QPointF APosicion(double x, double y) const;
    int PuntoBajo(const QPoint& vista) const;
    SerieGrafico* EntradaBajo(const QPoint& vista) const;
    void AjustarCursor(const QPoint& vista);

    QList<SerieGrafico*> m_series;
    bool m_barras = false;
    QCategoryAxis* m_ejeX = nullptr;
    QBarCategoryAxis* m_ejeBarras = nullptr;
    QValueAxis* m_ejeY = nullptr;
    double m_escalaY = 1.0; // what Qt holds: y times this
    int m_colorAuto = 0;

    bool m_pendiente = false;
    bool m_etiquetasSucias = true;
    bool m_enAdornos = false;
    bool m_enRangos = false;
    std::vector<std::pair<double, QString>> m_etiquetas; // every label, by x
    // The leading series whose labels m_etiquetas holds: a series added after
    // them is merged on its own, not all of them again.
    int m_etiquetasHasta = 0;
    std::vector<std::pair<double, QString>> m_propias, m_union; // kept for their room
    QList<double> m_posEtiquetas; // the ones drawn
    QStringList m_textoEtiquetas;

    bool m_leyendaVisible = true;
    bool m_leyendaCabe = false;
    bool m_leyendaLlana = false; // drawing a picture or a page: the plain legend
    std::vector<EntradaLeyenda> m_entradas;
    QMargins m_margenBase;
    CapaLeyenda* m_capaLeyenda = nullptr;
    CapaMarcas* m_capaMarcas = nullptr;
    CapaBandas* m_capaBandas = nullptr;

    QGraphicsLineItem* m_linea = nullptr;
    bool m_lineaActiva = false;
    double m_lineaX = 0.0;

    bool m_ejeXAuto = true;
    bool m_ejeYAuto = true;
    Rango m_manualX;
    Rango m_manualY;
    Rango m_completoX; // the whole chart, as last scaled
    bool m_hayCompletoX = false;

    bool m_zoomPermitido = true;
    bool m_zoomAnimado = true;
    bool m_ampliado = false;
    QRubberBand* m_banda = nullptr;
    QPoint m_origenBanda;
    bool m_pulsadoZoom = false;
    QVariantAnimation* m_animacion = nullptr;
    Rango m_desdeX, m_desdeY, m_hastaX, m_hastaY;

    QPointer<SerieGrafico> m_serieArrastre;
    bool m_arrastreActivo = false;
    int m_indiceArrastre = -1; // point held by the mouse
    bool m_arrastreMovido = false;
    QPointer<QMenu> m_menu;
    QMarginsF m_margenesImpresion{15.0, 15.0, 15.0, 15.0};
};

} // namespace tendora
