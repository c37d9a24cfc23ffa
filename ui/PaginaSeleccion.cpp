// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PaginaSeleccion.h"

#include "data/Numeros.h"
#include "models/Catalogo.h"
#include "ui/Rejilla.h"
#include "ui/TablasErrores.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <string_view>

namespace tendora {

namespace {

QString Utf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A measure as the page shows it: three decimals, or three significant
// digits for the small ones, so that close candidates still read apart.
double Redondeado(double v)
{
    if (!std::isfinite(v) || v == 0.0)
        return v;
    const double a = std::fabs(v);
    const int d = a >= 0.1 ? 3 : std::min(15, 2 - int(std::floor(std::log10(a))));
    const double f = std::pow(10.0, d);
    const double r = std::round(v * f) / f;
    return std::isfinite(r) ? r : v;
}

} // namespace

PaginaSeleccion::PaginaSeleccion(QWidget* pagina, Sesion& sesion, QObject* parent) : QObject(parent), sesion_(sesion)
{
    auto* etiqueta = new QLabel(QStringLiteral("Criterio:"), pagina);
    etiqueta->setObjectName("LabelCriterio");
    CBCriterio = new QComboBox(pagina);
    CBCriterio->setObjectName("CBCriterio");
    for (Criterio c : {Criterio::MASE, Criterio::sMAPE, Criterio::RMSE})
        CBCriterio->addItem(Utf8(NombreCriterio(c)), static_cast<int>(c));
    CBCriterio->setCurrentIndex(CBCriterio->findData(static_cast<int>(sesion_.CriterioAutomatico())));
    connect(CBCriterio, &QComboBox::currentIndexChanged, this,
            [this] { sesion_.PonerCriterioAutomatico(static_cast<Criterio>(CBCriterio->currentData().toInt())); });
    CBCriterio->setToolTip(QStringLiteral("Medida de error por la que se ordenan los modelos en la próxima "
                                          "previsión automática"));
    etiqueta->setBuddy(CBCriterio);

    LabelPlan = new QLabel(pagina);
    LabelPlan->setObjectName("LabelPlan");
    LabelPlan->setWordWrap(true);

    SGSeleccion = new Rejilla(pagina);
    SGSeleccion->setObjectName("SGSeleccion");
    SGSeleccion->SetColCount(NumColumnas);
    SGSeleccion->SetRowCount(2);
    Vaciar();

    auto* arriba = new QHBoxLayout();
    arriba->addWidget(etiqueta);
    arriba->addWidget(CBCriterio);
    arriba->addSpacing(16);
    arriba->addWidget(LabelPlan, 1);
    auto* l = new QVBoxLayout(pagina);
    l->setContentsMargins(6, 6, 6, 2);
    l->addLayout(arriba);
    l->addWidget(SGSeleccion, 1);

    connect(SGSeleccion, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit filaElegida(i.row() + 1); });
}

QString PaginaSeleccion::TextoPlan(const PlanOrigenes& p)
{
    QString t = QStringLiteral("Modelo reajustado con todo el histórico (valores finales sin utilizar: 0).");
    if (!p.Valido())
        return t + QStringLiteral(" El histórico es demasiado corto para evaluar en orígenes móviles.");
    const int n = static_cast<int>(p.Origenes.size());
    return t + QStringLiteral(" Evaluada en ") + TextoEntero(n) +
           (n == 1 ? QStringLiteral(" origen móvil, ") : QStringLiteral(" orígenes móviles, ")) + TextoEntero(p.Pasos) +
           (p.Pasos == 1 ? QStringLiteral(" mes por origen.") : QStringLiteral(" meses por origen."));
}

QString PaginaSeleccion::EtiquetaCandidato(const tendora::Candidato& c)
{
    // One model as the error tables write it, " desest." when run on the
    // seasonally adjusted history; a combination names each of its models.
    const auto una = [](int item, const Parametros& p, bool desest) {
        const QString t = item == ItemTSB
                              ? TablasErrores::EtiquetaModelo(
                                    QStringLiteral("TSB"),
                                    TextoGeneral(p.AlfaCroston) + QLatin1Char(';') + TextoGeneral(p.BetaTSB), QString())
                              : TablasErrores::EtiquetaModelo(TablasErrores::CodigoModelo(item),
                                                              TablasErrores::TextoParametros(item, p), QString());
        return desest ? t + QStringLiteral(" desest.") : t;
    };
    if (!c.EsCombinacion())
        return una(c.Item, c.Param, c.Desestacionalizado);
    QStringList partes;
    for (const Componente& k : c.Componentes)
        partes << una(k.Item, k.Param, k.Desestacionalizado);
    return QStringLiteral("Media (") + partes.join(QStringLiteral(" + ")) + QLatin1Char(')');
}

void PaginaSeleccion::Vaciar()
{
    Rejilla* g = SGSeleccion;
    g->ComenzarCarga();
    g->SetRowCount(1);
    g->SetRowCount(2);
    const QStringList cabeceras = {QStringLiteral("Modelo"),         QStringLiteral("MASE"),
                                   QStringLiteral("MASE"),           QStringLiteral("RMSSE"),
                                   QStringLiteral("sMAPE"),          QStringLiteral("ME"),
                                   QStringLiteral("Sin error %"),    QStringLiteral("Cobertura 80 %"),
                                   QStringLiteral("Cobertura 95 %"), QStringLiteral("Motivo")};
    for (int c = 0; c < NumColumnas; ++c)
        g->SetTexto(c, 0, cabeceras[c]);
    g->SetTexto(ColCriterio, 0, CBCriterio->currentText());
    g->TerminarCarga();
    g->QuitarOrden();
    g->AutoajustarColumnas(true); // the headers whole before any ranking
    LabelPlan->clear();
}

void PaginaSeleccion::Mostrar(const ResultadoAutomatico& r)
{
    Vaciar();
    Rejilla* g = SGSeleccion;
    g->ComenzarCarga();
    g->SetTexto(ColCriterio, 0, Utf8(NombreCriterio(r.Crit)));
    g->SetRowCount(static_cast<int>(r.Ranking.size()) + 1);
    if (r.Ranking.empty())
        g->SetRowCount(2);
    // A value that is not there (NaN) leaves its cell empty.
    const auto numero = [g](int col, int fila, double v) {
        if (std::isfinite(v))
            g->SetNumero(col, fila, v, Formato::General);
        else
            g->Vaciar(col, fila);
    };
    for (size_t k = 0; k < r.Ranking.size(); ++k) {
        const tendora::Candidato& c = r.Ranking[k];
        const int fila = static_cast<int>(k) + 1;
        g->SetTexto(ColModelo, fila, EtiquetaCandidato(c));
        numero(ColCriterio, fila, c.Valido ? Redondeado(c.Valor) : __builtin_nan(""));
        numero(ColMASE, fila, Redondeado(c.MASE));
        numero(ColRMSSE, fila, Redondeado(c.RMSSE));
        numero(ColSMAPE, fila, Redondeado(c.sMAPE));
        numero(ColME, fila, Redondeado(c.ME));
        numero(ColSinError, fila, std::round(c.SinError * 1000.0) / 10.0);
        numero(ColCobertura80, fila, std::round(c.Cobertura80 * 1000.0) / 10.0);
        numero(ColCobertura95, fila, std::round(c.Cobertura95 * 1000.0) / 10.0);
        g->SetTexto(ColMotivo, fila, Utf8(c.Motivo));
    }
    g->TerminarCarga();
    g->QuitarOrden();
    g->AutoajustarColumnas(true);
    // The winner is not always the first row (a combination may win with a higher score).
    if (r.Ganador >= 0)
        g->MostrarFila(r.Ganador + 1);
    QString plan = TextoPlan(r.Plan) + QLatin1Char(' ') + TextoDemanda(r.DemandaSerie);
    if (r.CriterioSustituido)
        plan += QStringLiteral(" Con meses a 0 el sMAPE no tiene valor: se ordena por MASE.");
    const QString maxima = TextoDemandaMaxima(r.DemandaMaxima);
    if (!maxima.isEmpty())
        plan += QLatin1Char(' ') + maxima;
    LabelPlan->setText(plan);
}

QString PaginaSeleccion::TextoDemanda(const Demanda& d)
{
    if (d.Clase == ClaseDemanda::PocosDatos)
        return QStringLiteral("Demanda: pocos datos (menos de dos meses con demanda).");
    return QStringLiteral("Demanda ") + Utf8(NombreClase(d.Clase)) + QStringLiteral(" (ADI ") + TextoFijo2(d.ADI) +
           QStringLiteral("; CV² ") + TextoFijo2(d.CV2) + QStringLiteral(").");
}

QString PaginaSeleccion::TextoDemandaMaxima(double v)
{
    if (!std::isfinite(v))
        return QString();
    return QStringLiteral("Demanda máxima 95 % en el horizonte: ") + TextoMedida(v) + QLatin1Char('.');
}

int PaginaSeleccion::Candidato(const ResultadoAutomatico& r, int fila) const
{
    // By what the row shows: the user may have sorted the grid.
    const QString etiqueta = SGSeleccion->Celda(ColModelo, fila);
    if (fila < 1 || etiqueta.isEmpty())
        return -1;
    for (size_t k = 0; k < r.Ranking.size(); ++k)
        if (EtiquetaCandidato(r.Ranking[k]) == etiqueta)
            return static_cast<int>(k);
    return -1;
}

QString PaginaSeleccion::TextoMedida(double v)
{
    return TextoGeneral(Redondeado(v));
}

} // namespace tendora
