// SPDX-License-Identifier: GPL-3.0-or-later
// The four chart pages: filling them from a forecast table, the comparison
// series, and the chart side of dragging a history point.
#include "ui/PaginasGraficos.h"

#include "models/Aritmetica.h"
#include "models/Catalogo.h"
#include "ui/Grafico.h"
#include "data/Numeros.h"

#include <QMarginsF>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

namespace tendora {

ErrorSumaDatos::ErrorSumaDatos(int fila)
    : ErrorAritmetico(QStringLiteral("La suma acumulada de los datos desborda en la línea %1 del texto de Datos: "
                                     "los valores son demasiado grandes para representarlos.")
                          .arg(fila)
                          .toStdString()),
      m_fila(fila)
{
}

namespace {

const QColor Azul(0, 0, 255);
const QColor Rojo(255, 0, 0);
const QColor Verde(0, 128, 0);
const QColor Negro(0, 0, 0);
const QColor Lima(0, 255, 0);
const QColor CoefAlto(171, 216, 202);
const QColor CoefBajo(244, 196, 151);

// Program names of the series (their objectName).
const QString NSeriesPrevision = QStringLiteral("SeriesPrevision");
const QString NSeriesMediaMovil = QStringLiteral("SeriesMediaMovil");
const QString NSeriesTendencia = QStringLiteral("SeriesTendencia");
const QString NSeriesDatos = QStringLiteral("SeriesDatos");
const QString NSerieDesvPos = QStringLiteral("SerieDesvPos");
const QString NSerieDesvNeg = QStringLiteral("SerieDesvNeg");
const QString NSeriesPrevCum = QStringLiteral("SeriesPrevCum");
const QString NSeriesDatosCum = QStringLiteral("SeriesDatosCum");
const QString NSeriesDatosComp = QStringLiteral("SeriesDatosComp");
const QString NSeriesCE = QStringLiteral("SeriesCE");
const QString NSerieComparativa = QStringLiteral("SerieComparativa");
const QString NSeriePrevisionAutomatica = QStringLiteral("SeriePrevisionAutomatica");
const QString NSerieIntervalo80 = QStringLiteral("SerieIntervalo80");
const QString NSerieIntervalo95 = QStringLiteral("SerieIntervalo95");
const QString TituloIntervalo80 = QStringLiteral("Intervalo 80 %");
const QString TituloIntervalo95 = QStringLiteral("Intervalo 95 %");

EstiloSerie EstiloPrevision()
{
    EstiloSerie e;
    e.color = Rojo;
    e.ancho = 2.0;
    e.forma = FormaMarca::Circulo;
    e.rellenoMarca = Qt::white;
    return e;
}

EstiloSerie EstiloDatos()
{
    EstiloSerie e;
    e.color = Azul;
    e.ancho = 2.0;
    e.forma = FormaMarca::Cuadrado;
    e.tamanoMarca = 3.0;
    e.rellenoMarca = Qt::white;
    return e;
}

// The fan in the forecast's red: where both bands overlap (the 80 % one)
// it is darker, the 95 % band alone lighter.
EstiloSerie EstiloBanda(int alfa)
{
    EstiloSerie e;
    e.color = QColor(255, 0, 0, alfa);
    return e;
}

// A band's outline through the forecast rows: the upper bounds forward, then
// the lower ones back.
std::vector<PuntoGrafico> Contorno(const std::vector<double>& x, const std::vector<double>& inf,
                                   const std::vector<double>& sup, const QColor& color)
{
    std::vector<PuntoGrafico> r;
    r.reserve(2 * x.size());
    for (size_t i = 0; i < x.size(); ++i)
        r.push_back({x[i], sup[i], QString(), color, false});
    for (size_t i = x.size(); i-- > 0;)
        r.push_back({x[i], inf[i], QString(), color, false});
    return r;
}

EstiloSerie EstiloLinea(const QColor& color, Qt::PenStyle trazo = Qt::SolidLine)
{
    EstiloSerie e;
    e.color = color; // invalid: the chart picks one
    e.ancho = 2.0;
    e.trazo = trazo;
    return e;
}

// Row labels, built with few conversions: the year changes once a year and
// months are nearly always whole numbers 1..12.
class Etiquetas {
public:
    Etiquetas()
    {
        for (int m = 1; m <= 12; ++m)
            m_meses[size_t(m)] = QLatin1Char('-') + TextoGeneral(m);
    }
    QString operator()(double anio, double mes)
    {
        if (!m_hayAnio || anio != m_anio) {
            m_anio = anio;
            m_textoAnio = TextoGeneral(anio);
            m_hayAnio = true;
        }
        if (mes >= 1.0 && mes <= 12.0 && mes == std::floor(mes))
            return m_textoAnio + m_meses[size_t(mes)];
        return m_textoAnio + QLatin1Char('-') + TextoGeneral(mes);
    }

private:
    std::array<QString, 13> m_meses;
    double m_anio = 0.0;
    QString m_textoAnio;
    bool m_hayAnio = false;
};

bool ColumnaValida(int col)
{
    return col >= 0 && col <= UltimaColTabla;
}

} // namespace

namespace {

QString Utf8(std::string_view t)
{
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// Titles of the two auxiliary series of a model and the columns they plot
// (SinColumna: the column stays as it was; those series stay empty).
struct SeriesDelModelo {
    QString tituloMM;
    int colMM;
    QString tituloT;
    int colT;
};

SeriesDelModelo SeriesModelo(int item)
{
    const FichaModelo& f = FichaDe(item);
    return {Utf8(f.MediaMovil.Titulo), f.MediaMovil.Col, Utf8(f.Tendencia.Titulo), f.Tendencia.Col};
}

Grafico* NuevoGrafico(QWidget* pagina, const char* nombre)
{
    auto* g = new Grafico(pagina);
    g->setObjectName(nombre);
    auto* l = new QVBoxLayout(pagina);
    l->setContentsMargins(2, 2, 2, 2);
    l->addWidget(g);
    return g;
}

} // namespace

PaginasGraficos::PaginasGraficos(QWidget* paginaP, QWidget* paginaPA, QWidget* paginaPC, QWidget* paginaCE,
                                 QObject* parent)
    : QObject(parent)
{
    ChartP = NuevoGrafico(paginaP, "ChartP");
    ChartPA = NuevoGrafico(paginaPA, "ChartPA");
    ChartPC = NuevoGrafico(paginaPC, "ChartPC");
    ChartCE = NuevoGrafico(paginaCE, "ChartCE");
    // Print margins, in per cent of the sheet: the forecast chart leaves
    // more room above and below.
    ChartP->PonerMargenesImpresion(QMarginsF(15.0, 22.0, 15.0, 22.0));
    for (Grafico* g : {ChartPA, ChartPC, ChartCE})
        g->PonerMargenesImpresion(QMarginsF(15.0, 15.0, 15.0, 15.0));
}

void PaginasGraficos::DestinosMenu(MenusEmergentes::Destinos& d) const
{
    d.graficos = {ChartP, ChartPA, ChartPC, ChartCE};
    d.prevision = ChartP;
    d.comparacion = ChartPC;
}

// ---------------------------------------------------------------- set-up

bool PaginasGraficos::CrearSeries()
{
    if (ChartP->Serie(NSeriesDatos))
        return false;
    // Titles before the first drawing.
    ChartP->PonerTitulo(QStringLiteral("Previsión"));
    ChartPA->PonerTitulo(QStringLiteral("Previsión acumulada"));
    ChartPC->PonerTitulo(QStringLiteral("Comparativa de Previsiones"));
    ChartCE->PonerTitulo(QStringLiteral("Coeficiente estacional"));

    // The first series of ChartP must stay SeriesPrevision: comparisons copy it.
    ChartP->CrearSerie(NSeriesPrevision, QStringLiteral("Previsión"), TipoSerie::LineaPuntos, EstiloPrevision());
    ChartP->CrearSerie(NSeriesMediaMovil, QStringLiteral("-"), TipoSerie::Linea, EstiloLinea(QColor()));
    ChartP->CrearSerie(NSeriesTendencia, QStringLiteral("-"), TipoSerie::Linea, EstiloLinea(Negro));
    SerieGrafico* datos =
        ChartP->CrearSerie(NSeriesDatos, QStringLiteral("Datos"), TipoSerie::LineaPuntos, EstiloDatos());
    ChartP->CrearSerie(NSerieDesvPos, QStringLiteral("Desv. +"), TipoSerie::Linea, EstiloLinea(Negro, Qt::DotLine))
        ->PonerVisible(false);
    ChartP->CrearSerie(NSerieDesvNeg, QStringLiteral("Desv. -"), TipoSerie::Linea, EstiloLinea(Negro, Qt::DotLine))
        ->PonerVisible(false);
    // Untitled (out of the legend) until an automatic forecast or intervals bring them.
    EstiloSerie automatica = EstiloPrevision();
    automatica.color = QColor(128, 0, 0);
    automatica.trazo = Qt::DashLine;
    ChartP->CrearSerie(NSeriePrevisionAutomatica, QString(), TipoSerie::LineaPuntos, automatica);
    ChartP->CrearSerie(NSerieIntervalo80, QString(), TipoSerie::Banda, EstiloBanda(70));
    ChartP->CrearSerie(NSerieIntervalo95, QString(), TipoSerie::Banda, EstiloBanda(35));

    ChartPA->CrearSerie(NSeriesPrevCum, QStringLiteral("Previsión acum."), TipoSerie::LineaPuntos, EstiloPrevision());
    ChartPA->CrearSerie(NSeriesDatosCum, QStringLiteral("Datos acum."), TipoSerie::LineaPuntos, EstiloDatos());
    ChartPC->CrearSerie(NSeriesDatosComp, QStringLiteral("Datos"), TipoSerie::LineaPuntos, EstiloDatos());
    ChartCE->CrearSerie(NSeriesCE, QString(), TipoSerie::Barras, EstiloSerie());
    ChartCE->PonerLeyendaVisible(false);
    ChartCE->PonerZoomPermitido(false);

    // Marker lines at the last fitting row: ChartP's shows from the start,
    // the other two from the first drawing.
    for (Grafico* g : {ChartP, ChartPA, ChartPC})
        g->PonerEstiloLineaVertical(Lima, 2.0);
    ChartP->PonerLineaVertical(0.0);
    ChartPA->QuitarLineaVertical();
    ChartPC->QuitarLineaVertical();

    // The point-drag tool: vertical only, on the history series, inactive.
    ChartP->PonerSerieArrastre(datos);
    ChartP->ActivarArrastre(false);
    connect(ChartP, &Grafico::puntoArrastrado, this, [this](int indice, double) { emit puntoArrastrado(indice); });
    // The round trip reloads the chart that sends this; the chart expects it.
    connect(ChartP, &Grafico::ratonSoltado, this, [this](Qt::MouseButton) { emit ratonSoltado(); });
    return true;
}

bool PaginasGraficos::NombrarSeriesModelo(int item)
{
    SerieGrafico* mm = ChartP->Serie(NSeriesMediaMovil);
    SerieGrafico* tend = ChartP->Serie(NSeriesTendencia);
    if (!mm || !tend)
        return false;
    const SeriesDelModelo m = SeriesModelo(item);
    mm->setName(m.tituloMM);
    tend->setName(m.tituloT);
    return true;
}

// ---------------------------------------------------------------- drawing

QString PaginasGraficos::EtiquetaPunto(double anio, double mes)
{
    return Etiquetas()(anio, mes);
}

std::function<void()> PaginasGraficos::Preparar(const Espacio& e, bool ConModelo, const Hechos& h)
{
    CrearSeries();

    // Every point is worked out before any chart changes, so an overflow in
    // a running sum or the band leaves the charts as they were.
    const SeriesDelModelo modelo = SeriesModelo(h.item);
    const int colMM = modelo.colMM != SinColumna ? modelo.colMM : e.ColMediaMovil;
    const int colT = modelo.colT != SinColumna ? modelo.colT : e.ColTendencia;
    const int L = e.NumDatos + h.horizonte;
    const int ultima = std::min(L, e.Filas() - 1); // the table always holds L + 1 rows; never read past it
    const size_t n = size_t(std::max(ultima, 0));
    const FichaModelo& ficha = FichaDe(h.item);
    const bool muestraMM = ficha.MediaMovil.Muestra();
    const bool muestraTend = ficha.Tendencia.Muestra();
    const bool conMM = ConModelo && muestraMM && ColumnaValida(colMM);
    const bool conTend = ConModelo && muestraTend && ColumnaValida(colT);
    const bool conPrev = ConModelo && ColumnaValida(e.ColPrev);

    std::vector<PuntoGrafico> datos, datosCum, comp, mm, tend, prev, pos, neg, prevCum, ce;
    const size_t nDatos = std::min(n, size_t(std::max(e.TotalDatos, 0)));
    datos.reserve(nDatos);
    datosCum.reserve(nDatos);
    comp.reserve(nDatos);
    if (ConModelo) {
        const size_t nPrev = n - std::min(n, size_t(std::max(e.FilaInicioPrev, 0)));
        prev.reserve(nPrev);
        pos.reserve(nPrev);
        neg.reserve(nPrev);
        prevCum.reserve(nPrev);
        if (conMM)
            mm.reserve(n);
        if (conTend)
            tend.reserve(n);
    }

    Etiquetas etiqueta;
    double sumaDatos = 0.0, sumaPrev = 0.0;
    const double desv = e.DesvRelativa;
    // Where forecasts stop at 0, a band below 0 would promise what cannot happen.
    const double sueloBanda = h.prevNeg ? -std::numeric_limits<double>::infinity() : 0.0;
    for (int i = 1; i <= ultima; ++i) {
        const auto& fila = e.TablaPrev[size_t(i)];
        const auto& valida = e.CeldaValida[size_t(i)];
        const double x = fila[ColT];
        const QString et = etiqueta(fila[ColAnio], fila[ColMes]);
        if (i <= e.TotalDatos) {
            const double d = fila[ColDatos];
            sumaDatos += d;
            if (!std::isfinite(sumaDatos))
                throw ErrorSumaDatos(i);
            // Values 0..10 stand out in lime on the forecast chart only.
            datos.push_back({x, d, et, (d >= 0.0 && d <= 10.0) ? Lima : Azul, false});
            datosCum.push_back({x, sumaDatos, et, Azul, false});
            comp.push_back({x, d, et, Azul, false});
        }
        if (!ConModelo)
            continue;
        if (conMM && valida[size_t(colMM)])
            mm.push_back({x, fila[size_t(colMM)], et, Verde, false});
        if (conTend && valida[size_t(colT)])
            tend.push_back({x, fila[size_t(colT)], et, Negro, false});
        if (conPrev && i > e.FilaInicioPrev) {
            const double f = fila[size_t(e.ColPrev)];
            prev.push_back({x, f, et, Rojo, false});
            pos.push_back({x, Finito((1.0 + desv) * f), et, Negro, false});
            neg.push_back({x, std::max(sueloBanda, Finito((1.0 - desv) * f)), et, Negro, false});
            sumaPrev = Finito(sumaPrev + f);
            prevCum.push_back({x, sumaPrev, et, Rojo, false});
        }
    }
    // The fan, only when there is one interval per forecast row.
    std::vector<Intervalo> abanico;
    std::vector<double> propia;
    if (conPrev && h.horizonte > 0 && h.intervalos.size() == size_t(h.horizonte) && L <= ultima)
        abanico = h.intervalos;
    if (conPrev && h.horizonte > 0 && h.prevision.size() == size_t(h.horizonte) && L <= ultima)
        propia = h.prevision;
    if (ConModelo) {
        ce.reserve(12);
        for (int m = 1; m <= 12; ++m) {
            const double c = e.CoefEstacional[size_t(m)].Coeficiente;
            ce.push_back({double(m), c, TextoEntero(m), c > 1.0 ? CoefAlto : CoefBajo, false});
        }
    }

    // What follows changes the charts and cannot fail.
    return [this, ConModelo, ultima, muestraMM, muestraTend, codigo = Utf8(ficha.Codigo), serie = h.nombreSerie,
            linea = e.NumDatos, datos = std::move(datos), datosCum = std::move(datosCum), comp = std::move(comp),
            mm = std::move(mm), tend = std::move(tend), prev = std::move(prev), pos = std::move(pos),
            neg = std::move(neg), prevCum = std::move(prevCum), ce = std::move(ce), abanico = std::move(abanico),
            propia = std::move(propia)]() mutable {
        ChartP->PonerTitulo(QStringLiteral("Previsión (") + codigo + QStringLiteral(") : ") + serie);
        ChartCE->PonerTitulo(QStringLiteral("Coeficiente estacional : ") + serie);
        ChartPA->PonerTitulo(QStringLiteral("Previsión acumulada (") + codigo + QStringLiteral(") : ") + serie);
        ChartPC->PonerTitulo(QStringLiteral("Comparativa de Previsiones : ") + serie);

        // One filling per series; the comparison series are left alone.
        SerieGrafico* sMM = ChartP->Serie(NSeriesMediaMovil);
        SerieGrafico* sTend = ChartP->Serie(NSeriesTendencia);
        ChartP->PonerPuntos(ChartP->Serie(NSeriesPrevision), std::move(prev));
        ChartP->PonerPuntos(sMM, std::move(mm));
        ChartP->PonerPuntos(sTend, std::move(tend));
        ChartP->PonerPuntos(ChartP->Serie(NSeriesDatos), std::move(datos));
        ChartP->PonerPuntos(ChartP->Serie(NSerieDesvPos), std::move(pos));
        ChartP->PonerPuntos(ChartP->Serie(NSerieDesvNeg), std::move(neg));
        PonerIntervalos(linea, abanico, propia);
        ChartPA->PonerPuntos(ChartPA->Serie(NSeriesPrevCum), std::move(prevCum));
        ChartPA->PonerPuntos(ChartPA->Serie(NSeriesDatosCum), std::move(datosCum));
        ChartPC->PonerPuntos(ChartPC->Serie(NSeriesDatosComp), std::move(comp));
        ChartCE->PonerPuntos(ChartCE->Serie(NSeriesCE), std::move(ce));

        // Only a drawing with the model decides whether its two auxiliary series
        // show; the user's legend choices for every other series stay.
        if (ConModelo && ultima >= 1) {
            sMM->PonerVisible(muestraMM);
            sTend->PonerVisible(muestraTend);
        }

        for (Grafico* g : {ChartP, ChartPA, ChartPC})
            g->PonerLineaVertical(linea);
    };
}

void PaginasGraficos::PonerIntervalos(int numDatos, const std::vector<Intervalo>& intervalos,
                                      const std::vector<double>& prevision)
{
    SerieGrafico* s80 = ChartP->Serie(NSerieIntervalo80);
    SerieGrafico* s95 = ChartP->Serie(NSerieIntervalo95);
    SerieGrafico* propia = ChartP->Serie(NSeriePrevisionAutomatica);
    if (!s80 || !s95 || !propia)
        return;
    std::vector<PuntoGrafico> puntos;
    puntos.reserve(prevision.size());
    for (size_t k = 0; k < prevision.size(); ++k)
        puntos.push_back({double(numDatos) + double(k + 1), prevision[k], QString(), propia->Color(), false});
    propia->setName(puntos.empty() ? QString() : QStringLiteral("Prev. automática"));
    ChartP->PonerPuntos(propia, std::move(puntos));
    // Rows are their own time index: forecast step k sits at x = numDatos + k.
    const size_t V = intervalos.size();
    std::vector<double> x(V), inf80(V), sup80(V), inf95(V), sup95(V);
    for (size_t k = 0; k < V; ++k) {
        const Intervalo& b = intervalos[k];
        x[k] = double(numDatos) + double(k + 1);
        inf80[k] = b.Inf80;
        sup80[k] = b.Sup80;
        inf95[k] = b.Inf95;
        sup95[k] = b.Sup95;
    }
    // Without intervals the fan and its legend entries go away.
    s80->setName(V > 0 ? TituloIntervalo80 : QString());
    s95->setName(V > 0 ? TituloIntervalo95 : QString());
    ChartP->PonerPuntos(s80, Contorno(x, inf80, sup80, s80->Color()));
    ChartP->PonerPuntos(s95, Contorno(x, inf95, sup95, s95->Color()));
}

// ---------------------------------------------------------------- comparison

QColor PaginasGraficos::ColoresComparativa(int k)
{
    switch (k) {
    case 2: return QColor(255, 0, 0);
    case 3: return QColor(0, 0, 128);
    case 4: return QColor(0, 128, 0);
    case 5: return QColor(255, 255, 0);
    case 6: return QColor(0, 255, 255);
    case 7: return QColor(0, 255, 0);
    case 8: return QColor(255, 0, 255);
    case 9: return QColor(192, 220, 192);
    case 10: return QColor(166, 202, 240);
    default: return QColor();
    }
}

QColor PaginasGraficos::ColorPaleta(int k)
{
    // Random colours came out pale or alike; these read on white and apart
    // from each other and from the fixed ones before them.
    static const QColor paleta[] = {
        QColor(0, 90, 181),   QColor(204, 85, 0), QColor(0, 128, 80),  QColor(153, 0, 76),
        QColor(102, 51, 153), QColor(128, 77, 0), QColor(0, 130, 150), QColor(170, 20, 20),
        QColor(70, 100, 0),   QColor(64, 64, 64), QColor(20, 30, 100), QColor(200, 0, 160),
    };
    constexpr int n = int(std::size(paleta));
    return paleta[((std::max(k, 11) - 11) % n + n) % n];
}

void PaginasGraficos::AnadirSerieComparativa(const QString& etiqueta)
{
    CrearSeries();
    SerieGrafico* prev = ChartP->SerieEn(0);
    const int k = ChartPC->NumSeries() + 1;
    auto colorDe = [](int j) {
        const QColor c = ColoresComparativa(j);
        return c.isValid() ? c : ColorPaleta(j);
    };
    // Once a single series was removed, its colour is free again: the next
    // one takes it rather than share the colour of a series still there.
    std::vector<QRgb> usados;
    for (int posicion = 1; posicion < ChartPC->NumSeries(); ++posicion)
        usados.push_back(ChartPC->SerieEn(posicion)->Color().rgb());
    QColor color = colorDe(k);
    for (int j = 2; huecoComparativa_ && j < k; ++j)
        if (std::find(usados.begin(), usados.end(), colorDe(j).rgb()) == usados.end()) {
            color = colorDe(j);
            break;
        }
    SerieGrafico* s = ChartPC->CopiarSerie(prev, NSerieComparativa + TextoEntero(++numeroComparativa_),
                                           QStringLiteral("P ") + etiqueta, color);
    s->PonerMarcas(false);
}

void PaginasGraficos::AplicarMostrarAjuste(int horizonte, bool ocultar)
{
    const int V = horizonte;
    auto hayNulos = [](const SerieGrafico* s, int desde, int hasta) {
        const auto& p = s->Puntos();
        for (int j = std::max(desde, 0); j <= hasta && j < int(p.size()); ++j)
            if (p[size_t(j)].nulo)
                return true;
        return false;
    };
    for (int posicion = 1; posicion < ChartPC->NumSeries(); ++posicion) {
        SerieGrafico* s = ChartPC->SerieEn(posicion);
        const int n = s->count();
        const int ultimo = n - V - 1;
        if (ocultar) {
            if (ultimo >= 0)
                ChartPC->PonerNulos(s, 0, ultimo, true);
            // Points hidden under a shorter horizon come back: the last V always show.
            if (hayNulos(s, std::max(ultimo + 1, 0), n - 1))
                ChartPC->PonerNulos(s, std::max(ultimo + 1, 0), n - 1, false);
        } else if (hayNulos(s, 0, n - 1)) {
            // Every point, not only the first n - V: the horizon may have grown since hiding.
            ChartPC->PonerNulos(s, 0, n - 1, false);
        }
    }
}

void PaginasGraficos::EliminarSeriesComparativas()
{
    ChartPC->EliminarSeriesDesde(1);
    numeroComparativa_ = 0;
    huecoComparativa_ = false;
}

bool PaginasGraficos::EliminarSerieComparativa(int posicion)
{
    SerieGrafico* s = posicion >= 1 ? ChartPC->SerieEn(posicion) : nullptr;
    if (!s)
        return false;
    ChartPC->EliminarSerie(s);
    huecoComparativa_ = true;
    return true;
}

std::vector<Grafico::SerieGuardada> PaginasGraficos::SeriesComparativas() const
{
    std::vector<Grafico::SerieGuardada> r;
    for (int posicion = 1; posicion < ChartPC->NumSeries(); ++posicion)
        r.push_back(Grafico::GuardarSerie(ChartPC->SerieEn(posicion)));
    return r;
}

void PaginasGraficos::PonerSeriesComparativas(const std::vector<Grafico::SerieGuardada>& series)
{
    CrearSeries();
    ChartPC->EliminarSeriesDesde(1);
    for (const Grafico::SerieGuardada& g : series)
        ChartPC->ReponerSerie(g);
    // Their colours need not follow in order: the next series looks for a free one.
    huecoComparativa_ = !series.empty();
}

// ---------------------------------------------------------------- point editing

void PaginasGraficos::ActivarArrastre(bool activo)
{
    // The component shows the pointing hand over the points while active.
    ChartP->ActivarArrastre(activo);
}

std::optional<PuntoGrafico> PaginasGraficos::PuntoDatos(int indice) const
{
    SerieGrafico* datos = ChartP->Serie(NSeriesDatos);
    if (!datos || indice < 0 || indice >= datos->count())
        return std::nullopt;
    return datos->Puntos()[size_t(indice)];
}

} // namespace tendora
