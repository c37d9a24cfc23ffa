// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TablasErrores.h"

#include "ui/AyudaErrores.h"
#include "models/Catalogo.h"
#include "models/Espacio.h"
#include "models/Medidas.h"
#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include <QStringList>

#include <algorithm>
#include <string_view>

namespace tendora {

namespace {

Rejilla* NuevaTabla(QWidget* pagina, const char* nombre)
{
    auto* g = new Rejilla(pagina);
    g->setObjectName(nombre);
    g->SetColCount(NumColumnasError);
    g->SetRowCount(2);
    for (int c = ColErrEtiqueta; c < NumColumnasError; ++c) {
        g->SetTexto(c, 0, QString::fromUtf8(AyudaColumna(c).Cabecera));
        g->Modelo()->SetAyudaEncabezado(c, TextoAyudaColumna(c));
    }
    g->setColumnWidth(ColErrEtiqueta, 100);
    for (int c = ColErrMSE; c < NumColumnasError; ++c)
        g->setColumnWidth(c, 50);
    // The colours of "Mostrar min max", which the pop-up menu switches.
    g->SetColorMinMax(&TablasErrores::ColorMinMax);
    // Labels are long; the measures are read against them while scrolling sideways.
    g->SetColumnaFija(true);
    // Labels are kept as the model's item and values; the grid writes the code.
    QStringList codigos;
    for (int item = 0; item < NumModelos; ++item)
        codigos << TablasErrores::CodigoModelo(item);
    g->Modelo()->SetCodigosEtiqueta(codigos);
    return g;
}

} // namespace

// A table's rows from the log: every entry (fit), or those with accuracy measures.
class TablasErrores::Fuente : public FuenteFilas {
public:
    Fuente(RegistroCorridas& r, bool acierto) : r_(r), acierto_(acierto) { }
    long long Cuantas() const override { return acierto_ ? r_.TamanoAciertos() : r_.Tamano(); }
    EtiquetaCelda Etiqueta(long long k) const override { return EtiquetaDe(r_.Clave(Entrada(k))); }
    double Numero(long long k, int col) const override
    {
        const int i = col - ColErrMSE;
        if (i < 0 || i >= NumMedidas)
            return __builtin_nan("");
        return acierto_ ? r_.MedidaAcierto(k, i) : r_.MedidaAjuste(k, i);
    }

private:
    long long Entrada(long long k) const { return acierto_ ? r_.EntradaAcierto(k) : k; }
    RegistroCorridas& r_;
    bool acierto_;
};

TablasErrores::TablasErrores() = default;

TablasErrores::~TablasErrores()
{
    Mostrar(nullptr);
}

void TablasErrores::Mostrar(RegistroCorridas* registro)
{
    if (registro_) {
        registro_->Escuchar(nullptr);
        registro_->EscucharBorrado(nullptr);
    }
    registro_ = registro;
    std::unique_ptr<Fuente> ajuste, acierto;
    if (registro_) {
        ajuste = std::make_unique<Fuente>(*registro_, false);
        acierto = std::make_unique<Fuente>(*registro_, true);
    }
    if (ajuste_)
        ajuste_->Modelo()->SetFuente(ajuste.get());
    if (acierto_)
        acierto_->Modelo()->SetFuente(acierto.get());
    fuenteAjuste_ = std::move(ajuste);
    fuenteAcierto_ = std::move(acierto);
    if (registro_) {
        registro_->Escuchar([this](const Corrida& c) { Anadir(c); });
        registro_->EscucharBorrado([this] { BorrarTablas(); });
    }
}

void TablasErrores::Crear(QWidget* paginaAjuste, QWidget* paginaAcierto)
{
    ajuste_ = NuevaTabla(paginaAjuste, "AdvSGErrAjuste");
    acierto_ = NuevaTabla(paginaAcierto, "AdvSGErrAcierto");
    acierto_->SetColorEncabezado(QColor(118, 121, 243));
}

// A row of its own for the run: its label, then its measures; a measure
// without a value leaves its own cell empty.
void TablasErrores::NuevaFila(Rejilla* grid, const EtiquetaCelda& etiqueta, const MedidasCorrida& medidas)
{
    AnadirFilaTabla(grid);
    const int fila = grid->RowCount() - 1;
    grid->Modelo()->SetEtiqueta(ColErrEtiqueta, fila, etiqueta);
    // A measure without a value (NaN there) leaves its cell empty.
    grid->SetFilaNumeros(fila, ColErrMSE, medidas.Datos(), NumMedidas, Formato::Fijo2);
}

void TablasErrores::Anadir(const Corrida& c)
{
    // A grid written into keeps its own cells: the run is written there.
    std::optional<EtiquetaCelda> etiqueta;
    const auto anadir = [&](Rejilla* g, const MedidasCorrida& m) {
        if (g->Modelo()->EsVista()) {
            g->Modelo()->FilaAnadida();
        } else {
            if (!etiqueta)
                etiqueta = EtiquetaDe(c);
            NuevaFila(g, *etiqueta, m);
        }
        // No number or header clipped after a run ("1546,…"); an experiment's
        // rows are measured once, when its block ends.
        if (bloques_ == 0)
            g->EnsancharColumnas(g->RowCount() - 1);
    };
    anadir(ajuste_, c.Ajuste);
    if (c.Acierto)
        anadir(acierto_, *c.Acierto);
}

// The values the model reads, in ValorModelo's order.
EtiquetaCelda TablasErrores::EtiquetaDe(const Corrida& c)
{
    const FichaModelo& f = FichaDe(c.Modelo);
    EtiquetaCelda e;
    e.codigo = static_cast<int8_t>(f.Item);
    e.origen = c.Origen > 0 ? c.Origen : 0;
    e.horizonte = static_cast<uint16_t>(std::clamp(c.Param.V, 0, 999)) & 0x3FFu;
    e.negativas = c.Param.PrevNeg ? 1u : 0u;
    for (ValorModelo v : ValoresDe(c.Modelo)) {
        if (v == ValorModelo::N)
            e.enteros = (e.enteros | (1u << e.cuantos)) & 0x7u;
        e.valores[e.cuantos++] = Valor(c.Param, v);
    }
    return e;
}

EtiquetaCelda TablasErrores::EtiquetaDe(const ClaveCorrida& k)
{
    const FichaModelo& f = FichaDe(k.modelo);
    EtiquetaCelda e;
    e.codigo = static_cast<int8_t>(f.Item);
    e.origen = k.origen > 0 ? k.origen : 0;
    e.horizonte = static_cast<uint16_t>(std::min<int>(k.horizonte, 999)) & 0x3FFu;
    e.negativas = k.negativas;
    for (ValorModelo v : ValoresDe(k.modelo)) {
        if (e.cuantos >= k.cuantos)
            break;
        if (v == ValorModelo::N)
            e.enteros = (e.enteros | (1u << e.cuantos)) & 0x7u;
        e.valores[e.cuantos] = k.valores[e.cuantos];
        ++e.cuantos;
    }
    return e;
}

Corrida TablasErrores::CorridaDe(const EtiquetaCelda& e)
{
    Corrida c;
    c.Modelo = e.codigo;
    c.Origen = e.origen;
    c.Param.V = e.horizonte;
    c.Param.PrevNeg = e.negativas != 0;
    if (e.cuantos == kSinEtiqueta || e.codigo < 0 || e.codigo >= NumModelos) {
        c.Modelo = -1;
        return c;
    }
    int k = 0;
    for (ValorModelo v : ValoresDe(e.codigo))
        if (k < e.cuantos)
            PonerValor(c.Param, v, e.valores[k++]);
    return c;
}

void TablasErrores::AnadirFilaTabla(Rejilla* grid)
{
    // By the cell's kind: writing out a label only to see it is not empty costs more than the row.
    if (grid->Modelo()->Tipo(ColErrEtiqueta, grid->RowCount() - 1) != TipoCelda::Vacia)
        grid->SetRowCount(grid->RowCount() + 1);
}

int TablasErrores::FilaSiguiente() const
{
    const int ultima = ajuste_->RowCount() - 1;
    return ajuste_->Modelo()->Tipo(ColErrEtiqueta, ultima) == TipoCelda::Vacia ? ultima : ultima + 1;
}

int TablasErrores::FilaMenorMSE(int desde) const
{
    const ModeloRejilla* m = ajuste_->Modelo();
    int mejor = -1;
    double menor = 0.0;
    for (int f = std::max(desde, 1); f < m->RowCount(); ++f) {
        if (m->Tipo(ColErrMSE, f) != TipoCelda::Numero)
            continue;
        const double v = m->Numero(ColErrMSE, f);
        if (mejor < 0 || v < menor) {
            mejor = f;
            menor = v;
        }
    }
    return mejor;
}

void TablasErrores::SeleccionarFila(int fila)
{
    ajuste_->MostrarFila(fila);
}

TablasErrores::Bloque::Bloque(TablasErrores& t, long long filasAjuste, long long filasAcierto) : t_(t)
{
    ++t_.bloques_;
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
    --t_.bloques_;
    t_.ajuste_->TerminarCarga();
    t_.acierto_->TerminarCarga();
    // Rows an experiment logs through the run log's view: their last one stands for them.
    for (Rejilla* g : {t_.ajuste_, t_.acierto_})
        g->EnsancharColumnas(g->RowCount() - 1);
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
    grid->AutoajustarColumnas(grid == ajuste_ || grid == acierto_);
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
    // A bias is best nearest 0: neither its largest nor its smallest value is.
    const Sentido sentido = SentidoDe(col);
    if (sentido == Sentido::CercaDeCero)
        return QColor();
    return (maximo == (sentido == Sentido::Menor)) ? rojo : verde;
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

QString TablasErrores::TextoParametros(int item, const Parametros& p)
{
    QStringList t;
    for (ValorModelo v : ValoresDe(item))
        t << (v == ValorModelo::N ? TextoEntero(p.N) : TextoGeneral(Valor(p, v)));
    return t.join(QLatin1Char(';'));
}

QString TablasErrores::EtiquetaModelo(const QString& codigo, const QString& parametros, const QString& sufijo)
{
    return codigo + QStringLiteral(" (") + parametros + QLatin1Char(')') + sufijo;
}

} // namespace tendora
