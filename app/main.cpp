// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Aplicacion.h"
#include "app/MainUnit.h"

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    TFormMain* ventana = CrearVentanas();
    ventana->show();
    AbrirArgumentos(ventana, app.arguments());
    const int resultado = app.exec();
    delete ventana;
    return resultado;
}
