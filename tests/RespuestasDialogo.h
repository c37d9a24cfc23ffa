#pragma once
// Answering the program's modal dialogs from a test, as the user would.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace prueba {

// Polls for the next modal window and hands it to the action once; the
// action says whether it dealt with it. Gives up after a few seconds so a
// missing dialog fails the test instead of hanging it.
inline void Responder(std::function<bool(QWidget*)> accion, int intentos = 250)
{
    QTimer::singleShot(20, [accion, intentos] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && accion(w))
            return;
        if (intentos > 0)
            Responder(accion, intentos - 1);
    });
}

// Answers a save dialog: picks the filter through the file type box when one
// is given, types the name and saves.
inline void ResponderGuardar(const QString& ruta, const QString& filtro = QString())
{
    Responder([=](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        if (!fd || !fd->isVisible())
            return false;
        if (!filtro.isEmpty()) {
            auto* tipos = fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            const int i = tipos->findText(filtro);
            tipos->setCurrentIndex(i);
            emit tipos->activated(i);
            emit tipos->textActivated(filtro);
        }
        fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(ruta);
        auto* botones = fd->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (QAbstractButton* b : botones->buttons())
            if (botones->buttonRole(b) == QDialogButtonBox::AcceptRole) {
                b->click();
                break;
            }
        return true;
    });
}

// Notes the text of the next message box and closes it.
inline void ResponderMensaje(QString* texto, QString* nombre = nullptr)
{
    Responder([=](QWidget* w) {
        auto* caja = qobject_cast<QMessageBox*>(w);
        if (!caja)
            return false;
        *texto = caja->text();
        if (nombre)
            *nombre = caja->objectName();
        caja->accept();
        return true;
    });
}

// Notes the caption and text of the program's next own message dialog
// (a warning or an information) and closes it with "Aceptar".
inline void ResponderAviso(QString* titulo, QString* texto)
{
    Responder([=](QWidget* w) {
        auto* mensaje = w->findChild<QLabel*>(QStringLiteral("Mensaje"));
        auto* aceptar = w->findChild<QAbstractButton*>(QStringLiteral("BBAceptar"));
        if (!mensaje || !aceptar)
            return false;
        *titulo = w->windowTitle();
        *texto = mensaje->text();
        aceptar->click();
        return true;
    });
}

} // namespace prueba
