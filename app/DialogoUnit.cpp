// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogoUnit.h"

#include "ui/Modal.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

TFormDialogo::TFormDialogo(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("FormDialogo");
    setModal(true);
    setFixedSize(358, 178);

    auto* superior = new QWidget(this);
    superior->setObjectName("PanelSuperior");
    superior->setGeometry(0, 0, 358, 132);
    superior->setAutoFillBackground(true);
    QPalette pal = superior->palette();
    pal.setColor(QPalette::Window, Qt::white);
    superior->setPalette(pal);

    const QIcon iconoAviso = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon iconoInfo = style()->standardIcon(QStyle::SP_MessageBoxInformation);

    Atencion = new QLabel(superior);
    Atencion->setObjectName("Atencion");
    Atencion->setGeometry(18, 16, 32, 32);
    Atencion->setPixmap(iconoAviso.pixmap(32, 32));

    ImagenInformacion = new QLabel(superior);
    ImagenInformacion->setObjectName("Informacion");
    ImagenInformacion->setGeometry(18, 16, 32, 32);
    ImagenInformacion->setPixmap(iconoInfo.pixmap(32, 32));

    Mensaje = new QLabel(superior);
    Mensaje->setObjectName("Mensaje");
    Mensaje->setGeometry(60, 24, 286, 101);
    Mensaje->setWordWrap(true);
    Mensaje->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    BBAceptar = new QPushButton(tr("Aceptar"), this);
    BBAceptar->setObjectName("BBAceptar");
    BBAceptar->setGeometry(20, 132 + 12, 75, 25);
    BBAceptar->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BBAceptar->setDefault(true);
    BBAceptar->setAutoDefault(true);
    connect(BBAceptar, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormDialogo::Preparar(Tipo tipo, const QString& texto)
{
    setWindowTitle(tipo == Aviso ? QStringLiteral("Atención") : QStringLiteral("Información"));
    Atencion->setVisible(tipo == Aviso);
    ImagenInformacion->setVisible(tipo == Informacion);
    // A CR ends a line as well (the label only breaks on LF).
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Mensaje->setText(t);
}

void MostrarDialogo(QWidget* owner, TFormDialogo::Tipo tipo, const QString& texto)
{
    TFormDialogo dialogo(owner);
    dialogo.Preparar(tipo, texto);
    // Centred on the screen.
    if (QScreen* pantalla = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->availableGeometry();
        dialogo.move(r.center() - QPoint(dialogo.width() / 2, dialogo.height() / 2));
    }
    // A message read while a command keeps the wait cursor up gets the
    // ordinary one for as long as it is shown.
    const bool espera = QGuiApplication::overrideCursor() != nullptr;
    if (espera)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    tendora::EjecutarModal(&dialogo);
    if (espera)
        QGuiApplication::restoreOverrideCursor();
}
