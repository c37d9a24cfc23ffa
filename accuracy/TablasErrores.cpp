#include "TablasErrores.h"

#include "Catalogo.h"
#include "Espacio.h"
#include "Medidas.h"
#include "Numeros.h"
#include "Rejilla.h"

#include <algorithm>
#include <string_view>

namespace tendora {

void TablasErrores::Enlazar(Rejilla* ajuste, Rejilla* acierto)
{
    ajuste_ = ajuste;
    acierto_ = acierto;
    // Labels are kept as the model's item and values; the grids write the code.
    QStringList codigos;
    for (int item = 0; item < NumModelos; ++item)
        codigos << CodigoModelo(item);
    for (Rejilla* g : {ajuste_, acierto_})
        if (g)
            g->Modelo()->SetCodigosEtiqueta(codigos);
}

void TablasErrores::AnadirErroresAjuste(const EtiquetaCelda& etiqueta)
{
    AnadirFilaTabla(ajuste_);
    ajuste_->Modelo()->SetEtiqueta(0, ajuste_->RowCount() - 1, etiqueta);
    CalcularErrores(1, ws_.FilaInicioPrev + 1, ws_.NumDatos);
}

void TablasErrores::AnadirErroresAcierto(const EtiquetaCelda& etiqueta, int valoresPrever)
{
    AnadirFilaTabla(acierto_);
    acierto_->Modelo()->SetEtiqueta(0, acierto_->RowCount() - 1, etiqueta);
    // Only rows that hold a forecast of this run are measured.
    CalcularErrores(2, ws_.NumDatos + 1, std::min(ws_.TotalDatos, ws_.NumDatos + valoresPrever));
}

// A measure without a value leaves its own cell empty; the run itself goes on.
void TablasErrores::CalcularErrores(int tipo, int primera, int ultima)
{
    const Medidas m = CalcularMedidas(ws_, tipo, primera, ultima);
    ws_.DesvRelativa = m.DesvRelativa;
    Rejilla* g = tipo == 1 ? ajuste_ : acierto_;
    const int fila = g->RowCount() - 1;
    const auto valores = m.Columnas();
    g->SetFilaNumeros(fila, 1, valores.data(), static_cast<int>(valores.size()), Formato::Fijo2);
}

void TablasErrores::AnadirFilaTabla(Rejilla* grid)
{
    // By the cell's kind: writing out a label only to see it is not empty costs more than the row.
    if (grid->Modelo()->Tipo(0, grid->RowCount() - 1) != TipoCelda::Vacia)
        grid->SetRowCount(grid->RowCount() + 1);
}

TablasErrores::Bloque::Bloque(TablasErrores& t, long long filasAjuste, long long filasAcierto) : t_(t)
{
    const auto reservar = [](Rejilla* g, long long mas) {
        const long long n = g->RowCount() + mas;
        if (n < (1LL << 30))
            g->Modelo()->ReservarFilas(static_cast<int>(n));
        g->ComenzarCarga();
    };
    reservar(t_.ajuste_, filasAjuste);
    reservar(t_.acierto_, filasAcierto);
}

TablasErrores::Bloque::~Bloque()
{
    t_.ajuste_->TerminarCarga();
    t_.acierto_->TerminarCarga();
}

void TablasErrores::Bloque::Anunciar()
{
    t_.ajuste_->Modelo()->AnunciarFilas();
    t_.acierto_->Modelo()->AnunciarFilas();
}

void TablasErrores::BorrarTabla(Rejilla* grid)
{
    grid->Borrar();
}

void TablasErrores::AutoajustarTabla(Rejilla* grid)
{
    grid->AutoajustarColumnas();
}

void TablasErrores::BorrarTablas()
{
    BorrarTabla(ajuste_);
    BorrarTabla(acierto_);
}

void TablasErrores::AutoajustarTablas()
{
    AutoajustarTabla(ajuste_);
    AutoajustarTabla(acierto_);
}

QColor TablasErrores::ColorMinMax(int col, bool maximo)
{
    const QColor rojo(235, 120, 152);
    const QColor verde(135, 237, 153);
    const bool error = col <= 9;
    return (maximo == error) ? rojo : verde;
}

QString TablasErrores::CodigoModelo(int item)
{
    const std::string_view s = FichaDe(item).Codigo;
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString TablasErrores::SufijoOrigen(int puntosSinUsar)
{
    return puntosSinUsar > 0 ? QStringLiteral(" T-") + TextoEntero(puntosSinUsar) : QString();
}

QString TablasErrores::EtiquetaModelo(const QString& codigo, const QString& parametros, const QString& sufijo)
{
    return codigo + QStringLiteral(" (") + parametros + QLatin1Char(')') + sufijo;
}

} // namespace tendora
