#include "AboutU.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

namespace tendora {

DatosAcerca DatosAcerca::Tendora()
{
    DatosAcerca d;
    d.Lineas = {QStringLiteral("Previsión de series temporales mensuales"),
                QStringLiteral("Desarrollado por los mantenedores de Tendora"),
                QStringLiteral("Software libre bajo licencia GNU GPL v3")};
    d.Correo = QStringLiteral("maintainers@users.noreply.c-seed-1740a64a.example");
    d.Web1 = QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html");
    d.Web2 = QStringLiteral("https://www.gnu.org/licenses/quick-guide-gplv3.html");
    d.Licencia = QStringLiteral("GPLv3");
    return d;
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

// The program's icon: the application's own when it has one, otherwise a
// small drawn history with its forecast.
QPixmap Icono(int lado)
{
    const QIcon app = QApplication::windowIcon();
    if (!app.isNull())
        return app.pixmap(lado, lado);
    QPixmap p(lado, lado);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 90, 90), 1));
    g.setBrush(QColor(245, 245, 245));
    g.drawRoundedRect(QRectF(0.5, 0.5, lado - 1, lado - 1), 4, 4);
    const double u = lado / 33.0;
    QPainterPath historia;
    historia.moveTo(4 * u, 24 * u);
    historia.lineTo(9 * u, 18 * u);
    historia.lineTo(13 * u, 21 * u);
    historia.lineTo(18 * u, 13 * u);
    g.setPen(QPen(QColor(0, 0, 160), 2 * u));
    g.setBrush(Qt::NoBrush);
    g.drawPath(historia);
    g.setPen(QPen(Granate, 2 * u, Qt::DashLine));
    g.drawLine(QPointF(18 * u, 13 * u), QPointF(29 * u, 7 * u));
    return p;
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

QString SinEsquema(const QString& url)
{
    QString s = url;
    s.remove(QRegularExpression(QStringLiteral("^https?://")));
    return s;
}

} // namespace

QString TAboutBox::TextoVersion()
{
    return QStringLiteral("Versión 2014 · A");
}

QUrl TAboutBox::UrlCorreo(const QString& correo)
{
    const QString cuerpo = correo + QStringLiteral("\r\n") + QStringLiteral("Tendora 2010");
    // Everything but the unreserved characters is encoded, so an address
    // holding '&', '=' or '#' cannot break the query.
    const QByteArray codificado = QUrl::toPercentEncoding(cuerpo);
    return QUrl::fromEncoded("mailto:?body=" + codificado, QUrl::StrictMode);
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
    icono->setPixmap(Icono(33));
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
    LabelCorreo = Enlace(panel, "LabelCorreo", datos_.Correo);
    LabelWeb1 = Enlace(panel, "LabelWeb1", SinEsquema(datos_.Web1));
    LabelWeb2 = Enlace(panel, "LabelWeb2", SinEsquema(datos_.Web2));
    for (QLabel* l : {LabelCorreo, LabelWeb1, LabelWeb2}) {
        texto->addWidget(l);
        l->installEventFilter(this);
    }
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
    if (!Abrir(UrlCorreo(datos_.Correo)))
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
