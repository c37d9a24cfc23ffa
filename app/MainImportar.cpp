// SPDX-License-Identifier: GPL-3.0-or-later
// "Archivo" > "Importar...": a spreadsheet or a CSV-like file becomes the data
// text of Memo1, as "Abrir" would have put it there; "Cargar" then loads it.
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "app/DialogoUnit.h"
#include "data/FicheroEntrada.h"
#include "data/Huecos.h"
#include "ui/PreguntaHuecos.h"
#include "ui/ImportarUnit.h"
#include "data/LibroCalculo.h"
#include "ui/Modal.h"
#include "app/SelecAMUnit.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <optional>

using namespace tendora;

void TFormMain::Importar1Click()
{
    Proteger([this] {
        QFileDialog dialogo(this, QStringLiteral("Importar"));
        dialogo.setObjectName("ImportDialog1");
        dialogo.setNameFilters({QStringLiteral("Hojas de cálculo y ficheros CSV (*.csv *.tsv *.txt *.xlsx *.ods)"),
                                QStringLiteral("Todos los ficheros (*)")});
        dialogo.setFileMode(QFileDialog::ExistingFile);
        dialogo.setAcceptMode(QFileDialog::AcceptOpen);
        dialogo.setOption(QFileDialog::DontUseNativeDialog, true);
        // Where the current data came from, else where the last import was, else the sample files.
        PonerCarpeta(&dialogo, DirEjemplos);
        if (!FicheroDatos.isEmpty() && QFileInfo(QFileInfo(FicheroDatos).absolutePath()).isDir())
            dialogo.setDirectory(QFileInfo(FicheroDatos).absolutePath());
        if (EjecutarModal(&dialogo) != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
            return;
        RecordarCarpeta(&dialogo, dialogo.selectedFiles().constFirst());
        ImportarFichero(dialogo.selectedFiles().constFirst());
    });
}

void TFormMain::ImportarFichero(const QString& ruta)
{
    Deshacible(QStringLiteral("Importar"), [this, &ruta] { ImportarTexto(ruta); });
}

void TFormMain::ImportarTexto(const QString& ruta)
{
    // Everything is read and converted before anything changes: a file that
    // does not import leaves Memo1, the names and the label as they were.
    QString texto;
    try {
        // A pipe, a device or a huge file is refused before it is read.
        ComprobarFicheroEntrada(ruta);
        const QList<Tabla> tablas = LeerParaImportar(ruta);
        TFormImportar dialogo(this, tablas, QFileInfo(ruta).fileName());
        std::vector<Mes> meses;
        for (;;) {
            if (EjecutarModal(&dialogo) != QDialog::Accepted)
                return;
            try {
                meses = dialogo.Convertir();
                break;
            } catch (const ErrorImportacion& e) {
                // Back to the dialog, where another column may fix it.
                MostrarDialogo(this, TFormDialogo::Aviso, e.Mensaje());
            }
        }
        int anio = 0, mes = 0;
        if (!dialogo.ConFecha()) {
            TFormSelecAM inicio(this);
            if (EjecutarModal(&inicio) != QDialog::Accepted)
                return;
            anio = inicio.SEA->value();
            mes = inicio.SEM->value();
        }
        // Every month dated, so that months missing between the dates show.
        std::vector<Registro> registros;
        std::vector<bool> sinValor;
        registros.reserve(meses.size());
        for (const Mes& m : meses) {
            const bool conFecha = m.mes != 0;
            registros.push_back(Registro{double(conFecha ? m.anio : anio), double(conFecha ? m.mes : mes), m.valor});
            sinValor.push_back(m.sinValor);
            if (!conFecha && ++mes == 13) {
                mes = 1;
                ++anio;
            }
        }
        if (const Huecos h = BuscarHuecos(registros, sinValor); h.Hay()) {
            const auto lugar = [&](int k) { return dialogo.LugarValor(meses[size_t(k)]); };
            const std::optional<Relleno> modo = PreguntarRelleno(this, DescribirHuecos(registros, h, lugar));
            if (!modo)
                return;
            registros = RellenarHuecos(registros, *modo, sinValor).registros;
        }
        std::vector<Mes> rellenos;
        rellenos.reserve(registros.size());
        for (const Registro& r : registros)
            rellenos.push_back(Mes{int(r.Anio), int(r.Mes), r.Valor});
        texto = TextoDatos(rellenos);
    } catch (const ErrorImportacion& e) {
        MostrarDialogo(this, TFormDialogo::Aviso, e.Mensaje());
        return;
    } catch (const ErrorFicheroEntrada& e) {
        MostrarDialogo(this, TFormDialogo::Aviso, e.Mensaje());
        return;
    }

    FicheroDatos = ruta;
    LabelFichero->setText(QStringLiteral("     ") + QDir::toNativeSeparators(ruta));
    NombreSerie = QFileInfo(ruta).completeBaseName();
    PonerTextoDatos(texto);
    Estado->Importado(ruta);
    AnadirReciente(ruta);
}
