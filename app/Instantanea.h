// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's state as undo keeps it.
#include <QString>
#include <vector>

#include "app/MainUnit.h"
#include "models/Sesion.h"
#include "ui/Grafico.h"
#include "ui/Rejilla.h"

struct TFormMain::Instantanea {
    QString orden; // the command it comes before, as the menu names it
    QString texto, fichero, nombre, textoGuardado, textoCargado;
    tendora::Sesion::Estado sesion;
    tendora::ModeloRejilla::Filas ajuste, acierto;
    std::vector<tendora::Grafico::SerieGuardada> comparativas;
    bool tablaConPrevision = false;
};
