// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a long history and living with a long error table:
//   - Abrir + Cargar of a file of 100 000 records (values with a decimal comma);
//   - an error grid of 1 000 000 rows x 13 filled as an experiment fills it
//     (label and twelve measures per row): its memory, a sort by the label,
//     by a measure and by the last column, and "Borrar tabla" (memory given back).
// Best of three for the times; memory as the process's resident size.
//   QT_QPA_PLATFORM=offscreen ./bench_bench_tablas [--carga]   (--carga: the load alone)
#include "app/Aplicacion.h"
#include "app/MainUnit.h"
#include "models/RegistroCorridas.h"
#include "ui/Rejilla.h"
#include "ui/TablasErrores.h"
#include "Medir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace tendora;

using namespace medir;

namespace {

void Carga(TFormMain* w)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("largo.txt"));
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly))
            return;
        QByteArray t;
        for (int i = 0; i < 100000; ++i) {
            const double v = 100.0 + 0.37 * i + 20.0 * std::sin(i * 0.52);
            t += QByteArray::number(1900 + i / 12) + '\t' + QByteArray::number(i % 12 + 1) + '\t' +
                 QByteArray::number(v, 'f', 2).replace('.', ',') + '\n';
        }
        f.write(t);
    }
    double abrir = 0, cargar = 0;
    const double total = Mejor(3, [&] {
        QElapsedTimer reloj;
        reloj.start();
        w->AbrirFichero(ruta);
        abrir = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
        reloj.restart();
        w->CargarDatos();
        QCoreApplication::processEvents();
        cargar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    });
    Linea(
        QStringLiteral("Abrir + Cargar, 100 000 records: %1 s (last: open %2 s, load %3 s); %4 values; peak RSS %5 MiB")
            .arg(total, 0, 'f', 3)
            .arg(abrir, 0, 'f', 3)
            .arg(cargar, 0, 'f', 3)
            .arg(w->Ws.TotalDatos)
            .arg(PicoMiB(), 0, 'f', 0));
}

void TablaMillon(TFormMain* w)
{
    Rejilla* g = w->findChild<Rejilla*>(QStringLiteral("AdvSGErrAjuste"));
    RegistroCorridas& registro = w->SesionActual.Corridas();
    registro.Borrar();
    QCoreApplication::processEvents();
    const double antes = ActualMiB();
    const int filas = 1000000;
    QElapsedTimer reloj;
    reloj.start();
    {
        // As a parameter loop fills it: runs logged, the table a view of the
        // log told of its rows in one block.
        registro.Reservar(filas);
        g->ComenzarCarga();
        for (int k = 0; k < filas; ++k) {
            Corrida& c = registro.Nueva();
            c.Modelo = ItemHW;
            c.Param.AlfaHLT = (k / 10000) / 100.0;
            c.Param.BetaHLT = (k / 100 % 100) / 100.0;
            c.Param.PhiHW = (k % 100) / 100.0;
            c.Origen = 0;
            Medidas m;
            Medida* campos[NumMedidas] = {&m.MSE,   &m.RMSE,   &m.MAE,     &m.MAPE,  &m.sMAPE,
                                          &m.MRAE,  &m.RelMAE, &m.RelRMSE, &m.LMR,   &m.PB,
                                          &m.PBMAE, &m.PBMSE,  &m.MASE,    &m.RMSSE, &m.ME};
            for (int col = 0; col < NumMedidas; ++col)
                *campos[col] = 1000.0 * std::sin(k * 0.001 + col) + col;
            // sMAPE is the band's deviation in per cent, as a run gives them.
            m.DesvRelativa = *m.sMAPE / 100.0;
            m.sMAPE = m.DesvRelativa * 100.0;
            c.Ajuste = MedidasCorrida(m);
            registro.Anotar();
        }
        g->TerminarCarga();
    }
    QCoreApplication::processEvents();
    const double llenar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    const double lleno = ActualMiB();
    Linea(
        QStringLiteral("error table %1 rows x %7: filled in %2 s; %3 MiB for the table (%4 -> %5 MiB); peak RSS %6 MiB")
            .arg(g->RowCount() - 1)
            .arg(llenar, 0, 'f', 3)
            .arg(lleno - antes, 0, 'f', 0)
            .arg(antes, 0, 'f', 0)
            .arg(lleno, 0, 'f', 0)
            .arg(PicoMiB(), 0, 'f', 0)
            .arg(NumColumnasError));
    auto* paginas = w->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    paginas->setCurrentWidget(w->findChild<QWidget*>(QStringLiteral("TabSheetErrAjuste")));
    QCoreApplication::processEvents();
    for (int col : {0, 1, 12}) {
        bool asc = false;
        const double s = Mejor(3, [&] {
            asc = !asc;
            g->Ordenar(col, asc ? Qt::AscendingOrder : Qt::DescendingOrder);
            QCoreApplication::processEvents();
        });
        Linea(QStringLiteral("  sorted by column %1 (%2) in %3 s; first row %4; peak RSS %5 MiB")
                  .arg(col)
                  .arg(g->Celda(col, 0))
                  .arg(s, 0, 'f', 3)
                  .arg(g->Celda(0, 1))
                  .arg(PicoMiB(), 0, 'f', 0));
    }
    reloj.restart();
    TablasErrores::BorrarTabla(g);
    QCoreApplication::processEvents();
    const double borrar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    // The table is a view: its runs stay in the log until the log is emptied.
    reloj.restart();
    registro.Borrar();
    QCoreApplication::processEvents();
    const double vaciar = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    Linea(QStringLiteral("  Borrar tabla in %1 s; the log emptied in %2 s: %3 MiB resident after (%4 MiB given back)")
              .arg(borrar, 0, 'f', 3)
              .arg(vaciar, 0, 'f', 3)
              .arg(ActualMiB(), 0, 'f', 0)
              .arg(lleno - ActualMiB(), 0, 'f', 0));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAplicacion app(argc, argv);
    TFormMain* w = CrearVentanas();
    w->show();
    QCoreApplication::processEvents();
    Linea(QStringLiteral("peak RSS at start %1 MiB").arg(PicoMiB(), 0, 'f', 0));
    const bool soloCarga = argc > 1 && QByteArray(argv[1]) == "--carga";
    if (!soloCarga)
        TablaMillon(w);
    Carga(w);
    delete w;
    return 0;
}
