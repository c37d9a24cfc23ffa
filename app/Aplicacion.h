// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: its notify() is the standard error display for any
// error that escapes the program's own traps; the program carries on.
#include <QApplication>
#include <exception>

class TAplicacion : public QApplication {
    Q_OBJECT
public:
    TAplicacion(int& argc, char** argv);
    bool notify(QObject* receptor, QEvent* evento) override;
};

// Shows an error's text in a critical message box.
void MostrarErrorEstandar(const QString& texto);
void MostrarErrorEstandar(const std::exception& error);
// The text shown for an error: the program's own texts as they are; running
// out of memory, and what the C++ library raises by itself (English, about
// its own functions), in words the user can act on.
QString TextoDeError(const std::exception& error);
