// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SelecAMUnit.h"

#include "ui/Modal.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

TFormSelecAM::TFormSelecAM(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("FormSelecAM");
    setWindowTitle(QStringLiteral("Seleccione año y mes inicial"));
    setModal(true);

    LabelAnio = new QLabel(QStringLiteral("Año: "), this);
    LabelAnio->setObjectName("LabelAnio");
    SEA = new QSpinBox(this);
    SEA->setObjectName("SEA");
    // Bounded so that counting years on can never overflow, and so that a
    // month outside 1..12 cannot start a run of dates that never wraps.
    SEA->setRange(1, 9999);
    SEA->setValue(2000);
    LabelMes = new QLabel(QStringLiteral("Mes:"), this);
    LabelMes->setObjectName("LabelMes");
    SEM = new QSpinBox(this);
    SEM->setObjectName("SEM");
    SEM->setRange(1, 12);
    SEM->setValue(1);
    LabelAnio->setBuddy(SEA);
    LabelMes->setBuddy(SEM);
    SEA->setMinimumWidth(80);
    SEM->setMinimumWidth(80);

    tendora::CrearBotonesAceptarCancelar(this, BBAceptar, BBCancelar);

    auto* campos = new QGridLayout();
    campos->addWidget(LabelAnio, 0, 0, Qt::AlignRight);
    campos->addWidget(SEA, 0, 1);
    campos->addWidget(LabelMes, 1, 0, Qt::AlignRight);
    campos->addWidget(SEM, 1, 1);
    campos->setColumnStretch(2, 1);
    auto* botones = new QHBoxLayout();
    botones->addStretch(1);
    botones->addWidget(BBAceptar);
    botones->addWidget(BBCancelar);
    auto* l = new QVBoxLayout(this);
    l->addLayout(campos);
    l->addSpacing(8);
    l->addLayout(botones);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));

    // Centred on the main window.
    if (owner) {
        const QWidget* w = owner->window();
        move(w->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}
