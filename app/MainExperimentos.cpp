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

// ---------------------------------------------------------------- what the experiments ask of the window

void TFormMain::MostrarCorrida()
{
    MostrarTablaPrevision();
    PrepararGraficos(Ws, true)();
    Compararmodelos1Click();
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
