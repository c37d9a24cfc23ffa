// Program start: title, translations and the long-lived windows, in order.
#include "MainUnit.h"

#include "AboutU.h"
#include "RangoVarUnit.h"
#include "SimExAnteUnit.h"

#include <QApplication>
#include <QLocale>
#include <clocale>

TFormMain* CrearVentanas()
{
    // QApplication switched the C library's locale; numbers never go through
    // it, but keep it neutral anyway.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tendora"));
    CargarTraducciones();

    auto* principal = new TFormMain();
    principal->AboutBox = new tendora::TAboutBox(principal);
    principal->FormSimExAnte = new TFormSimExAnte(principal);
    principal->FormRangoVar = new TFormRangoVar(principal);
    return principal;
}
