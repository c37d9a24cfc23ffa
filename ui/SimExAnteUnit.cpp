// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SimExAnteUnit.h"

#include "ui/Modal.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

TFormSimExAnte::TFormSimExAnte(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("FormSimExAnte");
    setWindowTitle(QStringLiteral("Simulación ex-ante"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Seleccione el rango para la simulación:"), this);
    Label1->setObjectName("Label1");
    LabelDesde = new QLabel(QStringLiteral("Desde T -"), this);
    LabelDesde->setObjectName("LabelDesde");
    LabelHasta = new QLabel(QStringLiteral("Hasta T -"), this);
    LabelHasta->setObjectName("LabelHasta");

    // Until the command sets the number of loaded values, the hold-out's own
    // limit before loading.
    SEDesde = new QSpinBox(this);
    SEDesde->setObjectName("SEDesde");
    SEDesde->setRange(0, 100);
    SEDesde->setValue(6);
    SEHasta = new QSpinBox(this);
    SEHasta->setObjectName("SEHasta");
    SEHasta->setRange(0, 100);
    SEHasta->setValue(0);
    LabelDesde->setBuddy(SEDesde);
    LabelHasta->setBuddy(SEHasta);
    SEDesde->setMinimumWidth(70);
    SEHasta->setMinimumWidth(70);

    tendora::CrearBotonesAceptarCancelar(this, BBAceptar, BBCancelar);

    auto* campos = new QGridLayout();
    campos->addWidget(LabelDesde, 0, 0, Qt::AlignRight);
    campos->addWidget(SEDesde, 0, 1);
    campos->addWidget(LabelHasta, 1, 0, Qt::AlignRight);
    campos->addWidget(SEHasta, 1, 1);
    campos->setColumnStretch(2, 1);
    auto* botones = new QHBoxLayout();
    botones->addStretch(1);
    botones->addWidget(BBAceptar);
    botones->addWidget(BBCancelar);
    auto* l = new QVBoxLayout(this);
    l->addWidget(Label1);
    l->addSpacing(6);
    l->addLayout(campos);
    l->addSpacing(8);
    l->addLayout(botones);
    l->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormSimExAnte::PonerLimite(int maximo)
{
    SEDesde->setMaximum(maximo);
    SEHasta->setMaximum(maximo);
}
