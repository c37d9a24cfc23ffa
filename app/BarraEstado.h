// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's status line: one Spanish sentence on what the last
// command did, or a reminder while the data text differs from the table
// loaded from it. Every text it shows is made here.
#include <QString>

#include "models/Espacio.h"
#include "models/Intermitente.h"
#include "ui/Experimentos.h"

class QLabel;
class QStatusBar;

namespace tendora {

class BarraEstado {
public:
    // The line lives in a label of the bar: a menu's status tips hide it for
    // a moment instead of wiping it.
    explicit BarraEstado(QStatusBar* barra);

    // The history loaded: its records, first and last months and the values
    // held back; then the demand class.
    void Cargados(const Espacio& ws, const Demanda& demanda);
    void Calculado(const QString& etiqueta, double milisegundos);
    void Experimento(const Experimentos::Resumen& r);
    // The automatic forecast's winner (or a candidate of its ranking) applied:
    // its run label, the criterion and its score as the ranking page writes it.
    void Automatica(bool ganador, const QString& etiqueta, const QString& criterio, const QString& valor);
    void AutomaticaInterrumpida();
    void Abierto(const QString& ruta);
    void Importado(const QString& ruta);
    void Guardado(const QString& ruta);
    void SesionGuardada(const QString& ruta);
    // aviso: what could not be brought back as it was; empty when all was.
    void SesionAbierta(const QString& ruta, const QString& aviso);
    void TablaExportada(const QString& ruta);
    void GraficoExportado(const QString& ruta);
    // Undo (rehecho: redo) put back the state before or after a command.
    void Deshecho(const QString& orden, bool rehecho);
    // A command that failed: nothing it did is claimed.
    void Limpiar();
    // After each edit of the data text: whether it now differs from the text last loaded.
    void TextoDatos(bool cambiado);

    QString Texto() const;
    static QString NombreMes(int mes); // "enero".."diciembre"

private:
    void Poner(const QString& texto);
    void Mostrar();

    QLabel* etiqueta_;
    QString ultimo_;
    bool cambiado_ = false;
};

} // namespace tendora
