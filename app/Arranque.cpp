// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: title, translations and the long-lived windows, in order.
#include "app/MainUnit.h"

#include "ui/AboutU.h"
#include "app/Aplicacion.h"
#include "ui/RangoVarUnit.h"
#include "ui/SimExAnteUnit.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <clocale>

TFormMain* CrearVentanas()
{
    // QApplication switched the C library's locale; numbers never go through
    // it, but keep it neutral anyway.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tendora"));
    QApplication::setWindowIcon(tendora::IconoPrograma());
    CargarTraducciones();

    auto* principal = new TFormMain();
    principal->AboutBox = new tendora::TAboutBox(principal);
    principal->FormSimExAnte = new TFormSimExAnte(principal);
    principal->FormRangoVar = new TFormRangoVar(principal);
    return principal;
}

void AbrirArgumentos(TFormMain* ventana, const QStringList& argumentos)
{
    if (argumentos.size() < 2)
        return;
    // The open dialog hands over an absolute path; so does this.
    const QString ruta = QFileInfo(argumentos.at(1)).absoluteFilePath();
    // A spreadsheet or a CSV (the desktop offers Tendora for them) goes through the import.
    const QString ext = QFileInfo(ruta).suffix().toLower();
    if (ext == QLatin1String("csv") || ext == QLatin1String("tsv") || ext == QLatin1String("xlsx") ||
        ext == QLatin1String("ods")) {
        ventana->ImportarFichero(ruta);
        return;
    }
    try {
        ventana->AbrirFichero(ruta);
    } catch (const std::exception& error) {
        MostrarErrorEstandar(error);
    }
}
