// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PreguntaHuecos.h"

#include "ui/Modal.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tendora {

std::optional<Relleno> PreguntarRelleno(QWidget* owner, const QString& texto)
{
    QMessageBox pregunta(QMessageBox::Question, QApplication::applicationName(),
                         texto + QStringLiteral("\n\n¿Cómo se rellenan?"), QMessageBox::NoButton, owner);
    pregunta.setObjectName("PreguntaHuecos");
    pregunta.setInformativeText(
        QStringLiteral("Interpolar: en la recta entre los valores de antes y de después.\n"
                       "Cero: sin demanda en esos meses (demanda intermitente).\n"
                       "Anterior: el valor del mes de antes.\n\n"
                       "Los meses rellenados se escriben en el texto de Datos. Cancelar no cambia nada."));
    const struct {
        const char* nombre;
        QString texto;
        Relleno relleno;
    } opciones[] = {{"BotonInterpolar", QStringLiteral("Interpolar"), Relleno::Interpolar},
                    {"BotonCero", QStringLiteral("Cero"), Relleno::Cero},
                    {"BotonAnterior", QStringLiteral("Anterior"), Relleno::Anterior}};
    QAbstractButton* botones[3] = {};
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = pregunta.addButton(opciones[i].texto, QMessageBox::AcceptRole);
        b->setObjectName(opciones[i].nombre);
        botones[i] = b;
    }
    QPushButton* cancelar = pregunta.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    cancelar->setObjectName("BotonCancelar");
    pregunta.setDefaultButton(static_cast<QPushButton*>(botones[0]));
    pregunta.setEscapeButton(cancelar);
    EjecutarModal(&pregunta);
    for (int i = 0; i < 3; ++i)
        if (pregunta.clickedButton() == botones[i])
            return opciones[i].relleno;
    return std::nullopt;
}

} // namespace tendora
