// SPDX-License-Identifier: GPL-3.0-or-later
// The experiments' commands and the window's side of them: the loops live in
// tendora::Experimentos, which reaches the window only through the overrides here.
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "ui/PaginaModelo.h"
#include "ui/RangoVarUnit.h"
#include "ui/SimExAnteUnit.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSpinBox>

using namespace tendora;

// ---------------------------------------------------------------- commands

void TFormMain::Aplicartodoslosmtodos1Click()
{
    Proteger([this] { Experimentacion.AplicarTodos(); });
    AnunciarExperimento();
}

void TFormMain::Variacindeparmetros1Click()
{
    Proteger([this] { Experimentacion.VariacionParametros(); });
    AnunciarExperimento();
}

void TFormMain::Simulacinexante1Click()
{
    Proteger([this] { Experimentacion.SimulacionExAnte(); });
    AnunciarExperimento();
}

void TFormMain::AnunciarExperimento()
{
    // A command that ran no loop (its dialog cancelled) leaves the line as it was.
    if (const auto resumen = Experimentacion.UltimoResumen())
        Estado->Experimento(*resumen);
}

// ---------------------------------------------------------------- forwarders

void TFormMain::VariarN(long long desde, long long hasta, long long inc, bool Mostrar, long long& pasos)
{
    Experimentacion.VariarN(desde, hasta, inc, Mostrar, pasos);
}

void TFormMain::VariarAlfaLE(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    Experimentacion.VariarAlfaLE(desde, hasta, inc, Mostrar, pasos);
}

void TFormMain::VariarAlfaTHT(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    Experimentacion.VariarAlfaTHT(desde, hasta, inc, Mostrar, pasos);
}

void TFormMain::VariarAlfaCroston(double desde, double hasta, double inc, bool Mostrar, long long& pasos)
{
    Experimentacion.VariarAlfaCroston(desde, hasta, inc, Mostrar, pasos);
}

void TFormMain::VariarHolt(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta, double hastaBeta,
                           double incBeta, bool Mostrar, long long& pasos)
{
    Experimentacion.VariarHolt(desdeAlfa, hastaAlfa, incAlfa, desdeBeta, hastaBeta, incBeta, Mostrar, pasos);
}

void TFormMain::VariarHoltWinters(double desdeAlfa, double hastaAlfa, double incAlfa, double desdeBeta,
                                  double hastaBeta, double incBeta, double desdePhi, double hastaPhi, double incPhi,
                                  bool Mostrar, long long& pasos)
{
    Experimentacion.VariarHoltWinters(desdeAlfa, hastaAlfa, incAlfa, desdeBeta, hastaBeta, incBeta, desdePhi, hastaPhi,
                                      incPhi, Mostrar, pasos);
}

long long TFormMain::VariarParametros()
{
    return Experimentacion.VariarParametros();
}
void TFormMain::SimularExAnte(int desde, int hasta)
{
    Experimentacion.SimularExAnte(desde, hasta);
}
// ---------------------------------------------------------------- what the experiments ask of the window

void TFormMain::MostrarCorrida()
{
    MostrarTablaPrevision();
    DibujarGraficos(true);
    AnadirSerieComparativa();
}

TFormRangoVar* TFormMain::DialogoRangos()
{
    if (!FormRangoVar) // a window built without the program's start
        FormRangoVar = new TFormRangoVar(this);
    return FormRangoVar;
}

TFormSimExAnte* TFormMain::DialogoExAnte()
{
    if (!FormSimExAnte)
        FormSimExAnte = new TFormSimExAnte(this);
    return FormSimExAnte;
}
