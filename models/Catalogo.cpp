// SPDX-License-Identifier: GPL-3.0-or-later
// The twelve records of the model catalogue and the one dispatcher.
#include "models/Catalogo.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

namespace tendora {

namespace {

// Each model's reading of the one parameters value.
void RunNVS(Espacio& e, const Parametros& p)
{
    ModeloNVS(e, p.PrevNeg, p.V);
}
void RunNVE(Espacio& e, const Parametros& p)
{
    ModeloNVE(e, p.PrevNeg, p.V);
}
void RunMMS(Espacio& e, const Parametros& p)
{
    ModeloMMS(e, p.N, p.PrevNeg, p.V);
}
void RunMMD(Espacio& e, const Parametros& p)
{
    ModeloMMD(e, p.N, p.PrevNeg, p.V);
}
void RunLES(Espacio& e, const Parametros& p)
{
    ModeloLES(e, p.AlfaLE, p.PrevNeg, p.V);
}
void RunLED(Espacio& e, const Parametros& p)
{
    ModeloLED(e, p.AlfaLE, p.PrevNeg, p.V);
}
void RunDST(Espacio& e, const Parametros& p)
{
    ModeloDST(e, p.PrevNeg, p.V);
}
void RunTHT(Espacio& e, const Parametros& p)
{
    ModeloTHT(e, p.AlfaTHT, p.PrevNeg, p.V);
}
void RunHLT(Espacio& e, const Parametros& p)
{
    ModeloHLT(e, p.AlfaHLT, p.BetaHLT, p.PrevNeg, p.V);
}
void RunHW(Espacio& e, const Parametros& p)
{
    ModeloHW(e, p.AlfaHLT, p.BetaHLT, p.PhiHW, p.PrevNeg, p.V);
}
void RunCRT(Espacio& e, const Parametros& p)
{
    ModeloCroston(e, 1, p.AlfaCroston, p.PrevNeg, p.V);
}
void RunSB(Espacio& e, const Parametros& p)
{
    ModeloSB(e, p.AlfaCroston, p.PrevNeg, p.V);
}

constexpr SerieAuxiliar Ninguna{};

} // namespace

// The seasonal models show the C.E. pages; Croston and S-B have no
// coefficients and hide them like every other model without them.
constexpr std::array<FichaModelo, NumModelos> Catalogo = {{
    {ItemNVS,
     "NVS",
     "NVS: Naïve",
     "Naïve (ingenuo): cada mes toma el dato del mes anterior, y la previsión repite el último dato.\n"
     "Sirve de referencia mínima y para series sin tendencia ni estacionalidad que cambian al azar.",
     ColP,
     {"P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     0,
     RunNVS},
    {ItemNVE,
     "NVE",
     "NVE: Naïve Estacional",
     "Naïve estacional: el valor del mes anterior (dato o previsión) por el coeficiente estacional del mes.\n"
     "Para series con estacionalidad marcada y sin tendencia; necesita más de 12 datos de ajuste.",
     ColPNVE,
     {"MM12", "MM12C", "E*I", "D", "P"},
     PaginasCE::Visibles,
     {ColMM12C, "Media Móvil"},
     {ColD, "Desestacional"},
     0,
     RunNVE},
    {ItemMMS,
     "MMS",
     "MMS: Media Móvil Simple",
     "Media móvil simple: cada mes vale la media de los N valores anteriores; la previsión tiende a una constante.\n"
     "Para series estables, sin tendencia ni estacionalidad; un N mayor suaviza más pero reacciona más tarde.",
     ColP,
     {"P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     ParamN,
     RunMMS},
    {ItemMMD,
     "MMD",
     "MMD: Media Móvil Doble",
     "Media móvil doble: la media de las N medias móviles simples anteriores, sin corrección de tendencia.\n"
     "Para series estables con mucho ruido: más suave y más retrasada que MMS; empieza en la fila 2N + 1.",
     ColPMMD,
     {"MMS", "P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     ParamN,
     RunMMD},
    {ItemLES,
     "LES",
     "LES: Lisaje Exponencial Simple",
     "Alisado exponencial simple: pondera el dato anterior con α y el valor anterior del modelo con 1 − α; la "
     "previsión es plana.\n"
     "Para series sin tendencia ni estacionalidad; con α alto sigue de cerca los últimos datos, con α bajo suaviza "
     "más.",
     ColP,
     {"P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     ParamAlfaLE,
     RunLES},
    {ItemLED,
     "LED",
     "LED: Lisaje Exponencial Doble",
     "Alisado exponencial doble: alisa otra vez con el mismo α los valores de LES, sin corrección de tendencia (no es "
     "el método de Brown).\n"
     "Para series sin tendencia y con mucho ruido: más suave y más retrasado que LES.",
     ColPLED,
     {"LES", "P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     ParamAlfaLE,
     RunLED},
    {ItemDST,
     "DST",
     "DST: Descomposición de Series Temporales",
     "Descomposición multiplicativa clásica: la recta de tendencia, ajustada a la media móvil centrada, por el "
     "coeficiente estacional del mes.\n"
     "Para series con tendencia lineal y estacionalidad estable, proporcional al nivel; necesita al menos 14 datos de "
     "ajuste.",
     ColPDST,
     {"MM12", "MM12C", "E*I", "T", "P"},
     PaginasCE::Visibles,
     {ColMM12C, "Media Móvil"},
     {ColTendenciaDST, "Tendencia"},
     0,
     RunDST},
    {ItemTHT,
     "THT",
     "THT: Modelo Theta",
     "Método Theta: sobre la serie desestacionalizada, la media de su recta de regresión (línea theta 0) y de la línea "
     "theta 2 alisada con α, por el coeficiente del mes.\n"
     "Para series con tendencia suave, con o sin estacionalidad; una buena opción general. Necesita más de 12 datos de "
     "ajuste.",
     ColPTHT,
     {"MM12", "MM12C", "E*I", "D", "LR", "L", "P"},
     PaginasCE::Visibles,
     {ColL, "L"},
     {ColLR, "LR"},
     ParamAlfaTHT,
     RunTHT},
    {ItemHLT,
     "HLT",
     "HLT: Holt",
     "Holt: alisa un nivel (α) y una tendencia (β), y prevé en línea recta: el nivel más h veces la tendencia.\n"
     "Para series con tendencia y sin estacionalidad; necesita al menos 2 datos de ajuste.",
     ColPHLT,
     {"N", "T", "P"},
     PaginasCE::Ocultas,
     {ColNivelHLT, "Nivel"},
     {ColTendenciaHLT, "Tendencia"},
     ParamHolt,
     RunHLT},
    {ItemHW,
     "H-W",
     "H-W: Holt-Winters",
     "Holt-Winters multiplicativo: nivel (α) y tendencia (β) de la serie desestacionalizada, por un índice estacional "
     "de cada mes alisado con φ (Phi).\n"
     "Para series con tendencia y estacionalidad que cambia poco a poco; Phi no amortigua la tendencia. Necesita al "
     "menos 24 datos de ajuste.",
     ColPHW,
     {"MM12", "MM12C", "E*I", "D", "N", "T", "P"},
     PaginasCE::Visibles,
     {ColNivelHW, "N"},
     {ColTendenciaHW, "T"},
     ParamHolt | ParamPhiHW,
     RunHW},
    {ItemCRT,
     "CRT",
     "CRT: Croston",
     "Croston: alisa con α por separado el tamaño de las demandas no nulas y el intervalo entre ellas, y prevé su "
     "cociente; la previsión es plana.\n"
     "Para demanda intermitente, con muchos meses a cero.",
     ColPCroston,
     {"q", "Z", "W", "P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     ParamAlfaCroston,
     RunCRT},
    {ItemSB,
     "S-B",
     "S-B: Syntetos-Boylan",
     "Syntetos-Boylan: la previsión de Croston por 1 − α/2, que corrige su tendencia a quedarse alta; la previsión es "
     "plana.\n"
     "Para demanda intermitente; da previsiones algo menores que Croston.",
     ColPCroston,
     {"q", "Z", "W", "P"},
     PaginasCE::Ocultas,
     Ninguna,
     Ninguna,
     ParamAlfaCroston,
     RunSB},
}};

// What can be checked when the table is written is checked here.
constexpr bool Coherente()
{
    for (int k = 0; k < NumModelos; ++k) {
        const FichaModelo& f = Catalogo[size_t(k)];
        if (f.Item != k || f.UltimaCol < ColModelo || f.UltimaCol > UltimaColTabla)
            return false;
        // Exactly one header per shown model column, the forecast last.
        for (int c = 0; c < MaxCabeceras; ++c)
            if (f.Cabeceras[size_t(c)].empty() != (c >= f.NumCabeceras()))
                return false;
        if (f.Cabeceras[size_t(f.NumCabeceras() - 1)] != "P")
            return false;
        // A label keeps three values.
        if (std::popcount(f.Lee) + (f.Usa(ParamHolt) ? 1 : 0) > 3)
            return false;
        // Two lines of explanation, what and when, neither empty.
        const size_t salto = f.Explicacion.find('\n');
        if (salto == 0 || salto == std::string_view::npos || salto + 1 == f.Explicacion.size() ||
            f.Explicacion.find('\n', salto + 1) != std::string_view::npos)
            return false;
        // The item text starts with the code.
        if (f.Texto.substr(0, f.Codigo.size()) != f.Codigo || f.Texto.substr(f.Codigo.size(), 2) != ": ")
            return false;
        // Both auxiliary series or neither, inside the model's columns.
        if (f.MediaMovil.Muestra() != f.Tendencia.Muestra())
            return false;
        for (const SerieAuxiliar& s : {f.MediaMovil, f.Tendencia})
            if (s.Muestra() ? (s.Col < ColModelo || s.Col > f.UltimaCol) : s.Titulo != "-")
                return false;
        if (!f.Ejecutar)
            return false;
    }
    return true;
}
static_assert(Coherente());

namespace {
constexpr auto ValoresPorModelo = [] {
    std::array<ValoresModelo, NumModelos> r{};
    for (size_t k = 0; k < r.size(); ++k)
        r[k] = ValoresQueLee(Catalogo[k]);
    return r;
}();
} // namespace

const ValoresModelo& ValoresDe(int item)
{
    return ValoresPorModelo[size_t(std::clamp(item, 0, NumModelos - 1))];
}

double ComoEdit(ValorModelo v, double x)
{
    const RangoParametro r = RangoDe(v);
    if (std::isnan(x))
        return r.Minimo;
    // Well outside the range the rounding cannot matter; inside, the texts stay short.
    x = std::clamp(x, r.Minimo - 1.0, r.Maximo + 1.0);
    const int d = DecimalesDe(v);
    double redondeado;
    if (d == 0) {
        redondeado = std::trunc(x);
    } else {
        double escala = 1.0;
        for (int k = 0; k < d; ++k)
            escala *= 10.0;
        // An exact tie (x × 2·10^d an odd whole number, the product exact)
        // goes away from zero; otherwise the correctly rounded text of x.
        const double y = x * (2.0 * escala);
        const bool empate = std::fma(x, 2.0 * escala, -y) == 0.0 && std::floor(y) == y && std::fmod(y, 2.0) != 0.0;
        char texto[64];
        std::to_chars_result fin;
        if (empate) {
            const double q = std::copysign((std::fabs(y) + 1.0) / 2.0, x);
            fin = std::to_chars(texto, texto + 48, q, std::chars_format::fixed, 0);
            *fin.ptr++ = 'e';
            *fin.ptr++ = '-';
            fin = std::to_chars(fin.ptr, texto + sizeof texto, d);
        } else {
            fin = std::to_chars(texto, texto + sizeof texto, x, std::chars_format::fixed, d);
        }
        redondeado = 0.0;
        std::from_chars(texto, fin.ptr, redondeado);
    }
    // + 0.0: a small negative value rounds to -0, which the edit shows as 0.
    return std::clamp(redondeado, r.Minimo, r.Maximo) + 0.0;
}

void PonerValor(Parametros& p, ValorModelo v, double x)
{
    switch (v) {
    case ValorModelo::N: p.N = static_cast<int>(x); break;
    case ValorModelo::AlfaLE: p.AlfaLE = x; break;
    case ValorModelo::AlfaTHT: p.AlfaTHT = x; break;
    case ValorModelo::AlfaHLT: p.AlfaHLT = x; break;
    case ValorModelo::BetaHLT: p.BetaHLT = x; break;
    case ValorModelo::PhiHW: p.PhiHW = x; break;
    case ValorModelo::AlfaCroston: p.AlfaCroston = x; break;
    }
}

const FichaModelo& FichaDe(int item)
{
    return Catalogo[size_t(std::clamp(item, 0, NumModelos - 1))];
}

void EjecutarModelo(Espacio& e, int item, const Parametros& p)
{
    if (item < 0 || item >= NumModelos)
        throw ErrorAritmetico("Modelo desconocido");
    // Several models start from the first value: with none, and no forecast
    // row either, the table has no row 1 to read or write.
    if (e.NumDatos < 1)
        throw ErrorAritmetico("El histórico no tiene datos. Escriba o abra al menos un dato y cárguelo.");
    Catalogo[size_t(item)].Ejecutar(e, p);
}

} // namespace tendora
