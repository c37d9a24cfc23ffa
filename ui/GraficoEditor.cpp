// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/GraficoEditor.h"

#include "ui/Grafico.h"
#include "ui/Modal.h"
#include "data/Numeros.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace tendora {

namespace {

QIcon Muestra(const QColor& color)
{
    QPixmap px(16, 16);
    px.fill(color);
    QPainter p(&px);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 15);
    return QIcon(px);
}

// A range limit as the user would type it: rounded to the scale of the axis.
QString TextoLimite(double v, double span)
{
    const int decimales = span > 0.0 ? std::max(0, 3 - int(std::floor(std::log10(span)))) : 3;
    const double f = std::pow(10.0, std::min(decimales, 12));
    return TextoGeneral(std::round(v * f) / f);
}

} // namespace

GraficoEditor::GraficoEditor(Grafico* grafico, QWidget* dueno) : QDialog(dueno), m_grafico(grafico)
{
    setObjectName(QStringLiteral("EditorGrafico"));
    setWindowTitle(QStringLiteral("Editar gráfico"));
    setModal(true);

    m_paginas = new QTabWidget(this);
    m_paginas->setObjectName(QStringLiteral("PaginasEditor"));
    m_paginas->addTab(PaginaGrafico(), QStringLiteral("Gráfico"));
    m_paginas->addTab(PaginaSeries(), QStringLiteral("Series"));
    m_paginas->addTab(PaginaEjes(), QStringLiteral("Ejes"));

    auto* cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    cerrar->setObjectName(QStringLiteral("BCerrar"));
    cerrar->setDefault(true);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);

    auto* abajo = new QHBoxLayout;
    abajo->addStretch();
    abajo->addWidget(cerrar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(m_paginas);
    todo->addLayout(abajo);

    MostrarSerie();
    MostrarRango(true);
    MostrarRango(false);
}

QWidget* GraficoEditor::PaginaGrafico()
{
    auto* w = new QWidget;
    auto* f = new QFormLayout(w);
    m_titulo = new QLineEdit(m_grafico->Titulo());
    m_titulo->setObjectName(QStringLiteral("ETituloGrafico"));
    connect(m_titulo, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (m_grafico)
            m_grafico->PonerTitulo(t);
    });
    f->addRow(QStringLiteral("Título:"), m_titulo);
    m_leyenda = new QCheckBox(QStringLiteral("Mostrar leyenda"));
    m_leyenda->setObjectName(QStringLiteral("CBLeyenda"));
    m_leyenda->setChecked(m_grafico->LeyendaVisible());
    connect(m_leyenda, &QCheckBox::toggled, this, [this](bool b) {
        if (m_grafico)
            m_grafico->PonerLeyendaVisible(b);
    });
    f->addRow(m_leyenda);
    return w;
}

QWidget* GraficoEditor::PaginaSeries()
{
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    m_lista = new QListWidget;
    m_lista->setObjectName(QStringLiteral("LBSeries"));
    for (int i = 0; i < m_grafico->NumSeries(); ++i) {
        const SerieGrafico* s = m_grafico->SerieEn(i);
        auto* item = new QListWidgetItem(s->name().isEmpty() ? s->objectName() : s->name(), m_lista);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(s->isVisible() ? Qt::Checked : Qt::Unchecked);
        item->setIcon(Muestra(s->Color()));
    }
    connect(m_lista, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_cargando || !m_grafico)
            return;
        if (SerieGrafico* s = m_grafico->SerieEn(m_lista->row(item)))
            s->PonerVisible(item->checkState() == Qt::Checked);
    });
    connect(m_lista, &QListWidget::currentRowChanged, this, [this] { MostrarSerie(); });
    h->addWidget(m_lista, 1);

    auto* f = new QFormLayout;
    m_tituloSerie = new QLineEdit;
    m_tituloSerie->setObjectName(QStringLiteral("ETituloSerie"));
    connect(m_tituloSerie, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (SerieGrafico* s = SerieActual()) {
            s->setName(t);
            m_cargando = true;
            m_lista->currentItem()->setText(t.isEmpty() ? s->objectName() : t);
            m_cargando = false;
        }
    });
    f->addRow(QStringLiteral("Título:"), m_tituloSerie);
    m_color = new QPushButton(QStringLiteral("Cambiar..."));
    m_color->setObjectName(QStringLiteral("BColorSerie"));
    connect(m_color, &QPushButton::clicked, this, [this] { ElegirColor(); });
    f->addRow(QStringLiteral("Color:"), m_color);
    m_grosor = new QSpinBox;
    m_grosor->setObjectName(QStringLiteral("SEGrosor"));
    m_grosor->setRange(1, 10);
    connect(m_grosor, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_cargando)
            return;
        if (SerieGrafico* s = SerieActual())
            s->PonerAncho(v);
    });
    f->addRow(QStringLiteral("Grosor de línea:"), m_grosor);
    m_marcas = new QCheckBox(QStringLiteral("Mostrar marcas"));
    m_marcas->setObjectName(QStringLiteral("CBMarcas"));
    connect(m_marcas, &QCheckBox::toggled, this, [this](bool b) {
        if (m_cargando)
            return;
        if (SerieGrafico* s = SerieActual())
            s->PonerMarcas(b);
    });
    f->addRow(m_marcas);
    h->addLayout(f, 1);
    if (m_lista->count() > 0)
        m_lista->setCurrentRow(0);
    return w;
}

QWidget* GraficoEditor::GrupoEje(const QString& titulo, const QString& sufijo, EditorEje& e)
{
    const bool horizontal = sufijo == QLatin1String("X");
    auto* g = new QGroupBox(titulo);
    auto* f = new QFormLayout(g);
    e.titulo = new QLineEdit(horizontal ? m_grafico->TituloEjeX() : m_grafico->TituloEjeY());
    e.titulo->setObjectName(QStringLiteral("ETituloEje") + sufijo);
    connect(e.titulo, &QLineEdit::textEdited, this, [this, horizontal](const QString& t) {
        if (!m_grafico)
            return;
        if (horizontal)
            m_grafico->PonerTituloEjeX(t);
        else
            m_grafico->PonerTituloEjeY(t);
    });
    f->addRow(QStringLiteral("Título:"), e.titulo);
    e.automatico = new QCheckBox(QStringLiteral("Automático"));
    e.automatico->setObjectName(QStringLiteral("CBAuto") + sufijo);
    e.automatico->setChecked(horizontal ? m_grafico->EjeXAutomatico() : m_grafico->EjeYAutomatico());
    connect(e.automatico, &QCheckBox::toggled, this, [this, horizontal](bool b) { AutomaticoCambiado(horizontal, b); });
    f->addRow(e.automatico);
    e.minimo = new QLineEdit;
    e.minimo->setObjectName(QStringLiteral("EMinimo") + sufijo);
    e.maximo = new QLineEdit;
    e.maximo->setObjectName(QStringLiteral("EMaximo") + sufijo);
    for (QLineEdit* l : {e.minimo, e.maximo})
        connect(l, &QLineEdit::textEdited, this, [this, horizontal] { RangoEditado(horizontal); });
    f->addRow(QStringLiteral("Mínimo:"), e.minimo);
    f->addRow(QStringLiteral("Máximo:"), e.maximo);
    // The categories of a bar chart have no range to set.
    const bool sinRango =
        horizontal && m_grafico->NumSeries() > 0 && m_grafico->SerieEn(0)->Tipo() == TipoSerie::Barras;
    e.automatico->setEnabled(!sinRango);
    return g;
}

QWidget* GraficoEditor::PaginaEjes()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->addWidget(GrupoEje(QStringLiteral("Eje horizontal"), QStringLiteral("X"), m_ejeX));
    v->addWidget(GrupoEje(QStringLiteral("Eje vertical"), QStringLiteral("Y"), m_ejeY));
    v->addStretch();
    return w;
}

SerieGrafico* GraficoEditor::SerieActual() const
{
    if (!m_grafico || !m_lista)
        return nullptr;
    return m_grafico->SerieEn(m_lista->currentRow());
}

void GraficoEditor::MostrarSerie()
{
    SerieGrafico* s = SerieActual();
    m_cargando = true;
    const bool hay = s != nullptr;
    // Bars and bands have neither a line width nor markers.
    const bool lineas = hay && (s->Tipo() == TipoSerie::Linea || s->Tipo() == TipoSerie::LineaPuntos);
    m_tituloSerie->setEnabled(hay);
    m_color->setEnabled(hay);
    m_grosor->setEnabled(lineas);
    m_marcas->setEnabled(lineas);
    if (hay) {
        m_tituloSerie->setText(s->name());
        m_color->setIcon(Muestra(s->Color()));
        m_grosor->setValue(std::max(1, int(std::lround(s->Ancho()))));
        m_marcas->setChecked(s->Marcas());
    }
    m_cargando = false;
}

void GraficoEditor::ElegirColor()
{
    SerieGrafico* s = SerieActual();
    if (!s)
        return;
    const QColor c = QColorDialog::getColor(s->Color(), this, QStringLiteral("Color de la serie"));
    if (!c.isValid() || !m_grafico || SerieActual() != s)
        return;
    s->PonerColor(c);
    m_color->setIcon(Muestra(c));
    if (QListWidgetItem* item = m_lista->currentItem()) {
        m_cargando = true;
        item->setIcon(Muestra(c));
        m_cargando = false;
    }
}

void GraficoEditor::MostrarRango(bool horizontal)
{
    if (!m_grafico)
        return;
    EditorEje& e = horizontal ? m_ejeX : m_ejeY;
    const double mn = horizontal ? m_grafico->MinimoX() : m_grafico->MinimoY();
    const double mx = horizontal ? m_grafico->MaximoX() : m_grafico->MaximoY();
    const bool automatico = e.automatico->isChecked();
    e.minimo->setText(TextoLimite(mn, mx - mn));
    e.maximo->setText(TextoLimite(mx, mx - mn));
    e.minimo->setEnabled(!automatico && e.automatico->isEnabled());
    e.maximo->setEnabled(!automatico && e.automatico->isEnabled());
}

void GraficoEditor::AutomaticoCambiado(bool horizontal, bool automatico)
{
    if (!m_grafico)
        return;
    if (automatico) {
        if (horizontal)
            m_grafico->PonerEjeXAutomatico();
        else
            m_grafico->PonerEjeYAutomatico();
        MostrarRango(horizontal);
    } else {
        // The range shown becomes the fixed one, until the user edits it.
        MostrarRango(horizontal);
        RangoEditado(horizontal);
    }
}

void GraficoEditor::RangoEditado(bool horizontal)
{
    if (!m_grafico)
        return;
    EditorEje& e = horizontal ? m_ejeX : m_ejeY;
    bool okMin = false, okMax = false;
    const double mn = ConvertirNumero(e.minimo->text(), &okMin);
    const double mx = ConvertirNumero(e.maximo->text(), &okMax);
    const bool valido = okMin && okMax && mx > mn;
    // An unusable pair is shown in red and leaves the axis as it is.
    const QString estilo = valido ? QString() : QStringLiteral("color: rgb(192, 0, 0);");
    e.minimo->setStyleSheet(okMin && valido ? QString() : estilo);
    e.maximo->setStyleSheet(okMax && valido ? QString() : estilo);
    if (!valido)
        return;
    if (horizontal)
        m_grafico->PonerRangoEjeX(mn, mx);
    else
        m_grafico->PonerRangoEjeY(mn, mx);
}

void Grafico::EditarGrafico(QWidget* dueno)
{
    ActualizarAhora();
    GraficoEditor editor(this, dueno);
    EjecutarModal(&editor);
}

} // namespace tendora
