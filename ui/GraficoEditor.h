// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart editor: every change goes to the chart as it is made.
#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace tendora {

class Grafico;
class SerieGrafico;

class GraficoEditor : public QDialog {
    Q_OBJECT
public:
    GraficoEditor(Grafico* grafico, QWidget* dueno);

private:
    struct EditorEje {
        QLineEdit* titulo = nullptr;
        QCheckBox* automatico = nullptr;
        QLineEdit* minimo = nullptr;
        QLineEdit* maximo = nullptr;
    };

    QWidget* PaginaGrafico();
    QWidget* PaginaSeries();
    QWidget* PaginaEjes();
    QWidget* GrupoEje(const QString& titulo, const QString& sufijo, EditorEje& e);
    SerieGrafico* SerieActual() const;
    void MostrarSerie();
    void MostrarRango(bool horizontal);
    void RangoEditado(bool horizontal);
    void AutomaticoCambiado(bool horizontal, bool automatico);
    void ElegirColor();

    QPointer<Grafico> m_grafico;
    QTabWidget* m_paginas = nullptr;
    QLineEdit* m_titulo = nullptr;
    QCheckBox* m_leyenda = nullptr;
    QListWidget* m_lista = nullptr;
    QLineEdit* m_tituloSerie = nullptr;
    QPushButton* m_color = nullptr;
    QSpinBox* m_grosor = nullptr;
    QCheckBox* m_marcas = nullptr;
    EditorEje m_ejeX;
    EditorEje m_ejeY;
    bool m_cargando = false;
};

} // namespace tendora
