// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: name, version and licence, with link labels for a new mail
// message, the licence's page and the user manual.
#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QAction;
class QLabel;
class QPushButton;

namespace tendora {

// What the box says about the program and where its links lead.
struct DatosAcerca {
    QStringList Lineas; // three short lines: what it is, its licence, no warranty
    QString Web1, Web2; // the licence's page; the user manual (empty: no label)
    QString Licencia; // short licence name, drawn on the badge

    // Tendora's own, with the manual as found for a program in dirPrograma
    // (ending with a separator); the first form looks beside this executable.
    static DatosAcerca Tendora();
    static DatosAcerca Tendora(const QString& dirPrograma);
};

// The program's icon, in the sizes installed for the desktop.
QIcon IconoPrograma();

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr, const DatosAcerca& datos = DatosAcerca::Tendora());

    static QString TextoVersion(); // "Versión <project version> · 2026"
    // mailto: with no recipient or subject, and the two-line body: the
    // contact address (none, so the line is empty), then "Tendora 2010".
    static QUrl UrlCorreo();

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
