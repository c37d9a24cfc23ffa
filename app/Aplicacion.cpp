// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Aplicacion.h"

#include "ui/Modal.h"

#include <QMessageBox>
#include <QWidget>

#include <new>
#include <stdexcept>
#include <typeinfo>

TAplicacion::TAplicacion(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TAplicacion::notify(QObject* receptor, QEvent* evento)
{
    try {
        return QApplication::notify(receptor, evento);
    } catch (const std::exception& error) {
        MostrarErrorEstandar(error);
    } catch (...) {
        MostrarErrorEstandar(QStringLiteral("Se ha producido un error inesperado y la operación se ha interrumpido. "
                                            "Compruebe el resultado y, si hace falta, vuelva a intentarlo."));
    }
    return false;
}

void MostrarErrorEstandar(const QString& texto)
{
    QWidget* padre = QApplication::activeModalWidget();
    if (!padre)
        padre = QApplication::activeWindow();
    QMessageBox caja(QMessageBox::Critical, QApplication::applicationName(), texto, QMessageBox::Ok, padre);
    caja.setObjectName("ErrorEstandar");
    tendora::EjecutarModal(&caja);
}

QString TextoDeError(const std::exception& error)
{
    // Out of memory: every command reads and works out what it needs before
    // it changes anything, so what failed is simply not done.
    if (dynamic_cast<const std::bad_alloc*>(&error) || dynamic_cast<const std::length_error*>(&error))
        return QStringLiteral("No hay memoria suficiente para esta operación, y se ha dejado sin hacer. Cierre otros "
                              "programas o trabaje con menos datos, y vuelva a intentarlo.");
    const QString texto = QString::fromUtf8(error.what());
    // What the C++ library raises by itself names its own functions, in
    // English ("vector::_M_range_check: ...", "basic_string::at", "std::bad_cast").
    const bool deBiblioteca = texto.contains(QLatin1String("::")) || texto.startsWith(QLatin1String("std::")) ||
                              texto.startsWith(QLatin1String("basic_string")) ||
                              texto.startsWith(QLatin1String("bad_")) || texto.isEmpty();
    if (deBiblioteca)
        return QStringLiteral("Error interno del programa (%1): la operación se ha interrumpido. Compruebe el "
                              "resultado y, si hace falta, vuelva a intentarlo.")
            .arg(texto.isEmpty() ? QString::fromLatin1(typeid(error).name()) : texto);
    return texto;
}

void MostrarErrorEstandar(const std::exception& error)
{
    MostrarErrorEstandar(TextoDeError(error));
}
