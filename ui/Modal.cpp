// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Modal.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tendora {

void CerrarEmergentes(QWidget* w)
{
    if (w)
        for (QLineEdit* e : w->findChildren<QLineEdit*>())
            if (QCompleter* c = e->completer(); c && c->popup() && c->popup()->isVisible())
                c->popup()->hide();
    // Each close makes the next one active; a pop-up that refuses to close ends the loop.
    for (int i = 0; i < 16; ++i) {
        QWidget* p = QApplication::activePopupWidget();
        if (!p)
            break;
        p->close();
        if (QApplication::activePopupWidget() == p)
            p->hide();
    }
}

int EjecutarModal(QDialog* d)
{
    const int r = d->exec();
    CerrarEmergentes(d);
    return r;
}

void CrearBotonesAceptarCancelar(QDialog* d, QPushButton*& aceptar, QPushButton*& cancelar)
{
    aceptar = new QPushButton(d->style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Aceptar"), d);
    aceptar->setObjectName("BBAceptar");
    aceptar->setDefault(true);
    cancelar = new QPushButton(d->style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancelar"), d);
    cancelar->setObjectName("BBCancelar");
    QObject::connect(aceptar, &QPushButton::clicked, d, &QDialog::accept);
    QObject::connect(cancelar, &QPushButton::clicked, d, &QDialog::reject);
}

} // namespace tendora
