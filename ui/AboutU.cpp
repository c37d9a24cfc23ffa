// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutU.h"

#include "ui/Ayuda.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

namespace tendora {

DatosAcerca DatosAcerca::Tendora()
{
    return Tendora(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

DatosAcerca DatosAcerca::Tendora(const QString& dirPrograma)
{
    DatosAcerca d;
    d.Lineas = {QStringLiteral("Previsión de series temporales mensuales"),
                QStringLiteral("Software libre: GNU GPL versión 3 o posterior (GPL-3.0-or-later)"),
                QStringLiteral("Se distribuye sin ninguna garantía; véanse los términos de la licencia.")};
    d.Web1 = QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html");
    const QString manual = RutaManual(dirPrograma);
    if (!manual.isEmpty())
        d.Web2 = QUrl::fromLocalFile(manual).toString();
    d.Licencia = QStringLiteral("GPLv3+");
    return d;
}

QIcon IconoPrograma()
{
    QIcon icono;
    for (int lado : {48, 128, 256})
        icono.addFile(QStringLiteral(":/iconos/%1/tendora.png").arg(lado), QSize(lado, lado));
    return icono;
}

namespace {

const QColor Granate(128, 0, 0);

QFont Tahoma(int pixeles, bool negrita)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(pixeles);
    f.setBold(negrita);
    return f;
}

QPixmap Insignia(const QString& licencia)
{
    QPixmap p(88, 31);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(60, 60, 60), 1));
    g.setBrush(QColor(170, 0, 0));
    g.drawRoundedRect(QRectF(0.5, 0.5, 87, 30), 3, 3);
    g.setPen(Qt::white);
    g.setFont(Tahoma(13, true));
    g.drawText(p.rect(), Qt::AlignCenter, licencia);
    return p;
}

QLabel* Enlace(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QLatin1String(nombre));
    QFont f = Tahoma(11, false);
    f.setUnderline(true);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(pal);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

// What a link label shows: a page without its scheme, a file as its path.
QString TextoEnlace(const QString& direccion)
{
    const QUrl url(direccion);
    if (url.isLocalFile())
        return QDir::toNativeSeparators(url.toLocalFile());
    QString s = direccion;
    s.remove(QRegularExpression(QStringLiteral("^https?://")));
    return s;
}

} // namespace

QString TAboutBox::TextoVersion()
{
    return QStringLiteral("Versión ") + QStringLiteral(TENDORA_VERSION) + QStringLiteral(" · 2026");
}

QUrl TAboutBox::UrlCorreo()
{
    // The program has no contact address, so the first line, where it would
    // go, is left for the user.
    const QString cuerpo = QStringLiteral("\r\n") + QStringLiteral("Tendora 2010");
    return QUrl::fromEncoded("mailto:?body=" + QUrl::toPercentEncoding(cuerpo), QUrl::StrictMode);
}

TAboutBox::TAboutBox(QWidget* parent, const DatosAcerca& datos) : QDialog(parent), datos_(datos)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Acerca de ..."));
    setFixedSize(489, 285);
    setSizeGripEnabled(false);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette blanco = panel->palette();
    blanco.setColor(QPalette::Window, Qt::white);
    blanco.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(blanco);

    auto* icono = new QLabel(panel);
    icono->setObjectName(QStringLiteral("ProgramIcon"));
    icono->setPixmap(IconoPrograma().pixmap(33, 33));
    icono->setFixedSize(33, 33);

    auto* producto = new QLabel(QStringLiteral("Tendora"), panel);
    producto->setObjectName(QStringLiteral("ProductName"));
    producto->setFont(Tahoma(19, true));
    QPalette granate = producto->palette();
    granate.setColor(QPalette::WindowText, Granate);
    producto->setPalette(granate);

    auto* version = new QLabel(TextoVersion(), panel);
    version->setObjectName(QStringLiteral("Version"));
    version->setFont(Tahoma(11, false));

    auto* texto = new QVBoxLayout;
    texto->setSpacing(3);
    texto->addWidget(producto);
    texto->addWidget(version);
    texto->addSpacing(8);
    for (int k = 0; k < datos_.Lineas.size(); ++k) {
        auto* l = new QLabel(datos_.Lineas[k], panel);
        l->setObjectName(QStringLiteral("LabelAutor%1").arg(k + 1));
        l->setFont(Tahoma(11, false));
        texto->addWidget(l);
    }
    texto->addSpacing(8);
    LabelCorreo = Enlace(panel, "LabelCorreo", QStringLiteral("Escribir un mensaje de correo"));
    LabelWeb1 = Enlace(panel, "LabelWeb1", TextoEnlace(datos_.Web1));
    LabelWeb2 = Enlace(panel, "LabelWeb2", TextoEnlace(datos_.Web2));
    for (QLabel* l : {LabelCorreo, LabelWeb1, LabelWeb2}) {
        texto->addWidget(l);
        l->installEventFilter(this);
    }
    LabelWeb2->setVisible(!datos_.Web2.isEmpty());
    texto->addStretch(1);

    auto* insignia = new QLabel(panel);
    insignia->setObjectName(QStringLiteral("ImagenLicencia"));
    insignia->setPixmap(Insignia(datos_.Licencia));

    auto* rejilla = new QGridLayout(panel);
    rejilla->setContentsMargins(14, 12, 14, 12);
    rejilla->setHorizontalSpacing(14);
    rejilla->addWidget(icono, 0, 0, Qt::AlignTop);
    rejilla->addLayout(texto, 0, 1);
    rejilla->addWidget(insignia, 1, 1, Qt::AlignRight | Qt::AlignBottom);
    rejilla->setColumnStretch(1, 1);

    SendMail1 = new QAction(QStringLiteral("Enviar correo"), this);
    SendMail1->setObjectName(QStringLiteral("SendMail1"));
    connect(SendMail1, &QAction::triggered, this, &TAboutBox::SendMail1Execute);

    BitBtn1 = new QPushButton(QStringLiteral("Aceptar"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(BitBtn1);
    botones->addStretch(1);

    auto* todo = new QVBoxLayout(this);
    todo->setContentsMargins(8, 8, 8, 8);
    todo->addWidget(panel, 1);
    todo->addLayout(botones);

    BitBtn1->setFocus();
}

bool TAboutBox::Abrir(const QUrl& url)
{
    return abrir_ ? abrir_(url) : QDesktopServices::openUrl(url);
}

void TAboutBox::SendMail1Execute()
{
    if (!Abrir(UrlCorreo()))
        QMessageBox::critical(this, windowTitle(), QStringLiteral("No se pudo abrir un mensaje de correo nuevo."));
}

bool TAboutBox::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::MouseButtonPress) {
        if (objeto == LabelCorreo) {
            SendMail1->trigger();
            return true;
        }
        // A page that does not open is not reported.
        if (objeto == LabelWeb1) {
            Abrir(QUrl(datos_.Web1));
            return true;
        }
        if (objeto == LabelWeb2) {
            Abrir(QUrl(datos_.Web2));
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void TAboutBox::showEvent(QShowEvent* evento)
{
    if (QScreen* pantalla = screen()) {
        QRect marco = frameGeometry();
        marco.moveCenter(pantalla->availableGeometry().center());
        move(marco.topLeft());
    }
    QDialog::showEvent(evento);
}

} // namespace tendora
