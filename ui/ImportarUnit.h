// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The import dialog: the first rows of the file or sheet, the columns taken
// for the date and the value, the sheet of a workbook and what was detected.
// Created, shown and destroyed for each import; it changes nothing itself.
#include <QDialog>
#include <QList>
#include <vector>

#include "data/Importacion.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TFormImportar : public QDialog {
    Q_OBJECT
public:
    // tablas: what LeerParaImportar read (one per sheet). Opens on the first
    // sheet with data; when none has any, raises that sheet's ErrorImportacion.
    TFormImportar(QWidget* owner, const QList<tendora::Tabla>& tablas, const QString& nombreFichero);

    // The months as the choices stand; ErrorImportacion naming the first cell that does not read.
    std::vector<tendora::Mes> Convertir() const;
    // The same, with what is left out.
    tendora::Importe ConvertirImporte() const;
    // Where a month's value was read ("Celda B7", "Línea 7, columna 2").
    QString LugarValor(const tendora::Mes& m) const;
    // Whether the months carry their dates (else a start is asked for).
    bool ConFecha() const { return m_det.forma != tendora::FormaFecha::Ninguna; }

    QLabel* LabelFichero = nullptr;
    QLabel* LabelHoja = nullptr;
    QComboBox* CBHoja = nullptr;
    QComboBox* CBFecha = nullptr;
    QComboBox* CBValor = nullptr;
    QTableWidget* TablaVista = nullptr;
    QLabel* LabelDeteccion = nullptr;
    QLabel* LabelResultado = nullptr;
    QLabel* LabelOmitidas = nullptr; // the rows left out, when any
    QPushButton* BBAceptar = nullptr;
    QPushButton* BBCancelar = nullptr;

private:
    void ElegirHoja(int hoja); // detects the sheet afresh
    void ElegirColumnas(); // re-reads with the columns chosen
    void LlenarColumnas();
    void Mostrar();

    QList<tendora::Tabla> m_tablas;
    int m_hoja = 0;
    tendora::Deteccion m_det;
    QString m_errorHoja; // the sheet shown has nothing to import: why
};
