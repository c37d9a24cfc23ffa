#pragma once
// The About box: name, version, maker and licence, with link labels for the
// maker's mail and web pages.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QAction;
class QLabel;
class QPushButton;

namespace tendora {

// Who made the program and under which licence; everything the box shows
// about its maker comes from here.
struct DatosAcerca {
    QStringList Lineas; // three short lines naming the maker
    QString Correo; // contact address (mail link)
    QString Web1, Web2; // web pages (the second one is the licence's)
    QString Licencia; // short licence name, drawn on the badge

    static DatosAcerca Tendora();
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr, const DatosAcerca& datos = DatosAcerca::Tendora());

    static QString TextoVersion(); // "Versión 2014 · A"
    // mailto: with no recipient or subject and the two-line body
    // (address, then "Tendora 2010"), fully percent-encoded.
    static QUrl UrlCorreo(const QString& correo);

    // The platform's "open" for web pages and the mail message; tests put a
    // recorder here so nothing is launched.
    using Abridor = std::function<bool(const QUrl&)>;
    void PonerAbridor(Abridor abrir) { abrir_ = std::move(abrir); }

public slots:
    void SendMail1Execute();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    bool Abrir(const QUrl& url);

    DatosAcerca datos_;
    Abridor abrir_;
    QLabel* LabelCorreo = nullptr;
    QLabel* LabelWeb1 = nullptr;
    QLabel* LabelWeb2 = nullptr;
    QAction* SendMail1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

} // namespace tendora
