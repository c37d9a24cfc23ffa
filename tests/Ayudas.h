// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window and component tests share: monthly data texts, the two
// number formats, answering the program's modal dialogs as the user would,
// small file and mouse steps, and comparing colours in images.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>

namespace prueba {

// The whole of bytes written to ruta.
inline bool EscribirFichero(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// What the program remembers between runs (recent files, folders, the
// window's size) goes to a file of this test process, removed at its end:
// never the user's, and no test sees another's.
inline const bool AjustesDePrueba = [] {
    static QTemporaryDir dir;
    if (dir.isValid())
        qputenv("TENDORA_AJUSTES", dir.filePath(QStringLiteral("ajustes.ini")).toLocal8Bit());
    return true;
}();

// The control named nombre under raiz (the window, a page, a dialog), found as
// any automation finds it. A missing one is a fault of the program: the test
// stops there naming it instead of crashing on a null pointer later.
template <class T>
T* Control(const QObject* raiz, const char* nombre)
{
    T* c = raiz->findChild<T*>(QLatin1String(nombre));
    if (!c)
        qFatal("No hay control %s de clase %s en %s", nombre, T::staticMetaObject.className(),
               qPrintable(raiz->objectName()));
    return c;
}

template <class T>
T* Control(const QObject& raiz, const char* nombre)
{
    return Control<T>(&raiz, nombre);
}

template <class T, class V>
T* Control(const std::unique_ptr<V>& raiz, const char* nombre)
{
    return Control<T>(raiz.get(), nombre);
}

// A monthly data text, one line a month from the given start: year, month and
// valor(i) for i = 1..n, tab-separated. valor gives a number or a ready text.
template <class F>
QString Mensual(int n, F valor, int anio = 2000, int mes = 1)
{
    QString t;
    for (int i = 1; i <= n; ++i) {
        t += QStringLiteral("%1\t%2\t%3\n").arg(anio).arg(mes).arg(valor(i));
        if (++mes == 13) {
            mes = 1;
            ++anio;
        }
    }
    return t;
}

// The decimal-comma format the window tests run under besides "C".
inline QLocale Espanol()
{
    return QLocale(QLocale::Spanish, QLocale::Spain);
}

inline void PonerLocale(bool coma)
{
    QLocale::setDefault(coma ? Espanol() : QLocale::c());
}

// A file's bytes, or a marker that cannot be mistaken for any content.
inline QByteArray Leer(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<no existe>");
    return f.readAll();
}

// Colours alike within tol on each channel, as antialiasing and
// compression leave them.
inline bool Parecido(const QColor& a, const QColor& b, int tol = 40)
{
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
           std::abs(a.blue() - b.blue()) <= tol;
}

// How many pixels of r in the image are near the colour c.
inline int ContarColor(const QImage& im, const QRect& r, const QColor& c, int tol = 40)
{
    int n = 0;
    const QRect d = r & im.rect();
    for (int y = d.top(); y <= d.bottom(); ++y)
        for (int x = d.left(); x <= d.right(); ++x)
            if (Parecido(im.pixelColor(x, y), c, tol))
                ++n;
    return n;
}

// A right click, as the grid and the chart receive it.
inline void ClicDerecho(QAbstractScrollArea* control)
{
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(20, 20), control->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(control->viewport(), &e);
}

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

struct VistoEnDialogo {
    QString filtro; // filter selected when the dialog showed
    QString nombre; // text of the name field when it showed
    QString carpeta; // folder it showed
    bool visto = false;
};

// Answers a save dialog: notes what it opened with, optionally picks a filter,
// types the name and saves; an empty name cancels.
inline void ResponderGuardar(const QString& ruta, const QString& filtro = QString(), VistoEnDialogo* visto = nullptr)
{
    Responder([=](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        if (!fd || !fd->isVisible())
            return false;
        auto* nombre = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (visto) {
            visto->filtro = fd->selectedNameFilter();
            visto->nombre = nombre ? nombre->text() : QString();
            visto->carpeta = fd->directory().absolutePath();
            visto->visto = true;
        }
        if (ruta.isEmpty()) {
            fd->reject();
            return true;
        }
        if (!filtro.isEmpty()) {
            // As the user does it: through the file type box.
            auto* tipos = fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            const int i = tipos->findText(filtro);
            tipos->setCurrentIndex(i);
            emit tipos->activated(i);
            emit tipos->textActivated(filtro);
        }
        nombre->setText(ruta);
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

// Answers every message dialog of the program that shows up while it lives,
// keeping the texts.
struct Mensajes {
    QStringList textos;
    QTimer timer;
    Mensajes()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w)
                return;
            if (auto* m = w->findChild<QLabel*>("Mensaje"))
                textos << m->text();
            if (auto* b = w->findChild<QAbstractButton*>("BBAceptar"))
                b->click();
        });
        timer.start();
    }
};

} // namespace prueba
