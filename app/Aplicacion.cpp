// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aplicacion.h"

#include "Modal.h"

#include <QMessageBox>
#include <QWidget>

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
        MostrarErrorEstandar(QStringLiteral("Error desconocido"));
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

void MostrarErrorEstandar(const std::exception& error)
{
    MostrarErrorEstandar(QString::fromUtf8(error.what()));
}
