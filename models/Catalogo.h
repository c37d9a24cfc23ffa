// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The model catalogue: one record per model, indexed by its item in the model
// selector. Everything the program needs to know about a model — how to run
// it, what it reads and what the window shows of it — is read from here.
// Texts are UTF-8; the window converts them.
#include <array>
#include <string_view>

#include "models/Modelos.h"

namespace tendora {

// The parameters a model reads, as flags.
enum ParametroModelo : unsigned {
    ParamN = 1u << 0, // SEN
    ParamAlfaLE = 1u << 1, // SEAlfaLE
    ParamAlfaTHT = 1u << 2, // SEAlfaTHT
    ParamHolt = 1u << 3, // SEAlfaHLT and SEBetaHLT
    ParamPhiHW = 1u << 4, // SEPhiHW
    ParamAlfaCroston = 1u << 5, // SEAlfaCroston
};

// What the C.E. pages do when the model's table is shown.
enum class PaginasCE { Ocultas, Visibles, SinCambio };

// An auxiliary chart series: the column it plots and its legend title. A
// model without the series leaves the column as it was (SinColumna) and
// titles it "-".
constexpr int SinColumna = -1;
struct SerieAuxiliar {
    int Col = SinColumna;
    std::string_view Titulo = "-";
    constexpr bool Muestra() const { return Col != SinColumna; }
};

constexpr int MaxCabeceras = UltimaColTabla - ColDatos;

struct FichaModelo {
    ItemModelo Item;
    std::string_view Codigo; // "NVS" ... "S-B"
    std::string_view Texto; // the selector's item text
    // Two lines for the user: what the model does, then when to use it. The
    // selector shows them as the item's tool tip and the manual's model
    // summary repeats them word for word.
    std::string_view Explicacion;
    int UltimaCol; // last shown column; also the grid's column count
    // Headers of grid columns 4 .. UltimaCol - 1 (table columns 5 .. UltimaCol).
    std::array<std::string_view, MaxCabeceras> Cabeceras;
    PaginasCE Paginas;
    SerieAuxiliar MediaMovil;
    SerieAuxiliar Tendencia;
    unsigned Lee; // the parameters it reads, ParametroModelo flags
    void (*Ejecutar)(Espacio&, const Parametros&);

    constexpr int NumCabeceras() const { return UltimaCol - ColDatos; }
    constexpr bool Usa(ParametroModelo p) const { return (Lee & p) != 0; }
};

extern const std::array<FichaModelo, NumModelos> Catalogo;

// One value a model reads. The model page lists them in this order, and a
// row label writes them and gives them back in it.
enum class ValorModelo : unsigned char { N, AlfaLE, AlfaTHT, AlfaHLT, BetaHLT, PhiHW, AlfaCroston };

// The values a model reads, in that order: three at most (H-W).
struct ValoresModelo {
    std::array<ValorModelo, 3> v{};
    int n = 0;
    constexpr const ValorModelo* begin() const { return v.data(); }
    constexpr const ValorModelo* end() const { return v.data() + n; }
};

constexpr ValoresModelo ValoresQueLee(const FichaModelo& f)
{
    ValoresModelo r;
    const auto poner = [&r](ValorModelo v) {
        if (r.n < 3)
            r.v[size_t(r.n++)] = v;
    };
    if (f.Usa(ParamN))
        poner(ValorModelo::N);
    if (f.Usa(ParamAlfaLE))
        poner(ValorModelo::AlfaLE);
    if (f.Usa(ParamAlfaTHT))
        poner(ValorModelo::AlfaTHT);
    if (f.Usa(ParamHolt)) {
        poner(ValorModelo::AlfaHLT);
        poner(ValorModelo::BetaHLT);
    }
    if (f.Usa(ParamPhiHW))
        poner(ValorModelo::PhiHW);
    if (f.Usa(ParamAlfaCroston))
        poner(ValorModelo::AlfaCroston);
    return r;
}

// ValoresQueLee of an item's record, worked out once for all: an experiment
// writes a label per run. An item outside 0..11 reads as the nearest one.
const ValoresModelo& ValoresDe(int item);

// Inline: every row an experiment logs reads its values through here.
constexpr double Valor(const Parametros& p, ValorModelo v)
{
    switch (v) {
    case ValorModelo::N: return p.N;
    case ValorModelo::AlfaLE: return p.AlfaLE;
    case ValorModelo::AlfaTHT: return p.AlfaTHT;
    case ValorModelo::AlfaHLT: return p.AlfaHLT;
    case ValorModelo::BetaHLT: return p.BetaHLT;
    case ValorModelo::PhiHW: return p.PhiHW;
    case ValorModelo::AlfaCroston: return p.AlfaCroston;
    }
    return 0.0;
}
// N takes the whole part of x.
void PonerValor(Parametros& p, ValorModelo v, double x);

// The values a parameter can take, both ends included. A moving average
// needs at least one value; the upper end only keeps 2N and N + 1 within an
// int, since a window longer than the history is the model's to report (no
// row is left to fit). The smoothing constants are weights.
struct RangoParametro {
    double Minimo;
    double Maximo;
    constexpr bool Contiene(double x) const { return x >= Minimo && x <= Maximo; }
};
constexpr int MinimoN = 1;
constexpr int MaximoN = 999999999;
constexpr RangoParametro RangoDe(ValorModelo v)
{
    return v == ValorModelo::N ? RangoParametro{MinimoN, MaximoN} : RangoParametro{0.0, 1.0};
}

// Decimals a value keeps: the smoothing constants two, N none.
constexpr int DecimalesDe(ValorModelo v)
{
    return v == ValorModelo::N ? 0 : 2;
}
// x as the value's edit takes it: rounded to its decimals (a tie away from
// zero, as the edit's text is written) and brought into its range. What a
// loop gives a parameter is what the model reads and the row label writes.
double ComoEdit(ValorModelo v, double x);

// The record of an item; an item outside 0..11 reads as the nearest one.
const FichaModelo& FichaDe(int item);

} // namespace tendora
