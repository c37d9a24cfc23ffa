// SPDX-License-Identifier: GPL-3.0-or-later
// The twelve records of the model catalogue and the one dispatcher.
#include "Catalogo.h"

#include <algorithm>

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
    {ItemNVS, "NVS", "NVS: Naïve", ColP, {"P"}, PaginasCE::Ocultas, Ninguna, Ninguna, 0, RunNVS},
    {ItemNVE,
     "NVE",
     "NVE: Naïve Estacional",
     ColPNVE,
     {"MM12", "MM12C", "E*I", "D", "P"},
     PaginasCE::Visibles,
     {ColMM12C, "Media Móvil"},
     {ColD, "Desestacional"},
     0,
     RunNVE},
    {ItemMMS, "MMS", "MMS: Media Móvil Simple", ColP, {"P"}, PaginasCE::Ocultas, Ninguna, Ninguna, ParamN, RunMMS},
    {ItemMMD,
     "MMD",
     "MMD: Media Móvil Doble",
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

const FichaModelo& FichaDe(int item)
{
    return Catalogo[size_t(std::clamp(item, 0, NumModelos - 1))];
}

void EjecutarModelo(Espacio& e, int item, const Parametros& p)
{
    if (item < 0 || item >= NumModelos)
        throw ErrorAritmetico("Modelo desconocido");
    Catalogo[size_t(item)].Ejecutar(e, p);
}

} // namespace tendora
