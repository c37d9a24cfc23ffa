// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RangoVarUnit.h"

#include "models/Catalogo.h"

#include "ui/Modal.h"
#include "data/Numeros.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <climits>
#include <initializer_list>

using namespace tendora;

namespace {

QSpinBox* CrearEntero(QWidget* padre, const char* nombre, int valor)
{
    auto* se = new QSpinBox(padre);
    se->setObjectName(nombre);
    se->setRange(INT_MIN, INT_MAX); // not limited
    se->setValue(valor);
    se->setToolTip(QStringLiteral("Número de períodos a promediar"));
    se->setMinimumWidth(70);
    return se;
}

QDoubleSpinBox* CrearReal(QWidget* padre, const char* nombre, double valor, const QString& hint)
{
    auto* se = new QDoubleSpinBox(padre);
    se->setObjectName(nombre);
    se->setLocale(QLocale());
    se->setDecimals(2);
    se->setRange(0.0, 1.0);
    se->setSingleStep(0.05);
    se->setValue(valor);
    se->setToolTip(hint);
    se->setMinimumWidth(70);
    return se;
}

QLabel* CrearEtiqueta(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    return l;
}

} // namespace

TFormRangoVar::TFormRangoVar(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("FormRangoVar");
    setWindowTitle(QStringLiteral("Variaciones de parámetros"));
    setModal(true);

    Label1 = CrearEtiqueta(this, "Label1", QStringLiteral("Especifique los rangos de variación de los parámetros"));
    Label2 = CrearEtiqueta(this, "Label2", QStringLiteral("para el modelo de previsión seleccionado:"));
    LabelN = CrearEtiqueta(this, "LabelN", QStringLiteral("N"));
    LabelAlfa = CrearEtiqueta(this, "LabelAlfa", QStringLiteral("Alfa"));
    LabelBeta = CrearEtiqueta(this, "LabelBeta", QStringLiteral("Beta"));
    LabelPhi = CrearEtiqueta(this, "LabelPhi", QStringLiteral("Phi"));
    LabelDesde = CrearEtiqueta(this, "LabelDesde", QStringLiteral("Desde:"));
    LabelHasta = CrearEtiqueta(this, "LabelHasta", QStringLiteral("Hasta:"));
    LabelIncremento = CrearEtiqueta(this, "LabelIncremento", QStringLiteral("Incremento:"));

    DesdeN = CrearEntero(this, "DesdeN", 2);
    HastaN = CrearEntero(this, "HastaN", 12);
    IncN = CrearEntero(this, "IncN", 1);
    const QString nivel = QStringLiteral("Alisamiento del nivel");
    const QString tendencia = QStringLiteral("Alisamiento de la tendencia");
    const QString estacionalidad = QStringLiteral("Alisamiento de la estacionalidad");
    DesdeAlfa = CrearReal(this, "DesdeAlfa", 0.1, nivel);
    HastaAlfa = CrearReal(this, "HastaAlfa", 0.9, nivel);
    IncAlfa = CrearReal(this, "IncAlfa", 0.1, nivel);
    DesdeBeta = CrearReal(this, "DesdeBeta", 0.1, tendencia);
    HastaBeta = CrearReal(this, "HastaBeta", 0.9, tendencia);
    IncBeta = CrearReal(this, "IncBeta", 0.1, tendencia);
    DesdePhi = CrearReal(this, "DesdePhi", 0.1, estacionalidad);
    HastaPhi = CrearReal(this, "HastaPhi", 0.9, estacionalidad);
    IncPhi = CrearReal(this, "IncPhi", 0.1, estacionalidad);

    CBGraficos = new QCheckBox(QStringLiteral("Dibujar los gráficos resultantes"), this);
    CBGraficos->setObjectName("CBGraficos");
    CBGraficos->setChecked(false);

    LabelError = CrearEtiqueta(this, "LabelError", QString());
    LabelError->setWordWrap(true);
    QPalette pal = LabelError->palette();
    pal.setColor(QPalette::WindowText, QColor(192, 0, 0));
    LabelError->setPalette(pal);
    LabelError->setVisible(false);

    tendora::CrearBotonesAceptarCancelar(this, BBAceptar, BBCancelar);

    auto* rejilla = new QGridLayout();
    rejilla->setHorizontalSpacing(10);
    rejilla->addWidget(LabelN, 0, 1, Qt::AlignHCenter);
    rejilla->addWidget(LabelAlfa, 0, 2, Qt::AlignHCenter);
    rejilla->addWidget(LabelBeta, 0, 3, Qt::AlignHCenter);
    rejilla->addWidget(LabelPhi, 0, 4, Qt::AlignHCenter);
    rejilla->addWidget(LabelDesde, 1, 0, Qt::AlignRight);
    rejilla->addWidget(LabelHasta, 2, 0, Qt::AlignRight);
    rejilla->addWidget(LabelIncremento, 3, 0, Qt::AlignRight);
    QWidget* const columnas[4][3] = {{DesdeN, HastaN, IncN},
                                     {DesdeAlfa, HastaAlfa, IncAlfa},
                                     {DesdeBeta, HastaBeta, IncBeta},
                                     {DesdePhi, HastaPhi, IncPhi}};
    for (int c = 0; c < 4; ++c)
        for (int f = 0; f < 3; ++f)
            rejilla->addWidget(columnas[c][f], f + 1, c + 1);
    rejilla->setColumnStretch(5, 1);

    auto* botones = new QHBoxLayout();
    botones->addStretch(1);
    botones->addWidget(BBAceptar);
    botones->addWidget(BBCancelar);

    auto* l = new QVBoxLayout(this);
    l->addWidget(Label1);
    l->addWidget(Label2);
    l->addSpacing(8);
    l->addLayout(rejilla);
    l->addSpacing(6);
    l->addWidget(CBGraficos);
    l->addWidget(LabelError);
    l->addSpacing(6);
    l->addLayout(botones);
    l->setSizeConstraint(QLayout::SetFixedSize); // follows the columns shown
}

namespace {

// What the model of an item reads; no item varies nothing.
unsigned ParametrosDe(int item)
{
    return item >= 0 && item < NumModelos ? Catalogo[size_t(item)].Lee : 0u;
}

} // namespace

bool TFormRangoVar::UsaN(int item)
{
    return ParametrosDe(item) & ParamN;
}

// One "Alfa" column serves the first smoothing constant of every model.
bool TFormRangoVar::UsaAlfa(int item)
{
    return ParametrosDe(item) & (ParamAlfaLE | ParamAlfaTHT | ParamHolt | ParamAlfaCroston);
}

bool TFormRangoVar::UsaBeta(int item)
{
    return ParametrosDe(item) & ParamHolt;
}

bool TFormRangoVar::UsaPhi(int item)
{
    return ParametrosDe(item) & ParamPhiHW;
}

void TFormRangoVar::MostrarColumnas(int item)
{
    modelo_ = item;
    // The caption "N" stays for every model; its spin edits do not.
    auto ver = [](std::initializer_list<QWidget*> controles, bool visible) {
        for (QWidget* w : controles)
            w->setVisible(visible);
    };
    ver({DesdeN, HastaN, IncN}, UsaN(item));
    ver({LabelAlfa, DesdeAlfa, HastaAlfa, IncAlfa}, UsaAlfa(item));
    ver({LabelBeta, DesdeBeta, HastaBeta, IncBeta}, UsaBeta(item));
    ver({LabelPhi, DesdePhi, HastaPhi, IncPhi}, UsaPhi(item));
    LabelError->clear();
    LabelError->setVisible(false);
}

QString TFormRangoVar::ComprobarRangos() const
{
    auto motivo = [](const char* parametro) {
        return QStringLiteral("El incremento de %1 debe ser mayor que cero.").arg(QLatin1String(parametro));
    };
    if (UsaN(modelo_)) {
        // The values the model page's N takes: a value outside would run as another one.
        const RangoParametro r = RangoDe(ValorModelo::N);
        for (const auto& [campo, valor] : {std::pair{"Desde", DesdeN->value()}, std::pair{"Hasta", HastaN->value()}})
            if (!r.Contiene(valor))
                return QStringLiteral("El valor «%1» de N debe estar entre %2 y %3.")
                    .arg(QLatin1String(campo), TextoEntero(MinimoN), TextoEntero(MaximoN));
    }
    if (UsaN(modelo_) && IncN->value() <= 0)
        return motivo("N");
    if (UsaAlfa(modelo_) && !(IncAlfa->value() > 0.0))
        return motivo("Alfa");
    if (UsaBeta(modelo_) && !(IncBeta->value() > 0.0))
        return motivo("Beta");
    if (UsaPhi(modelo_) && !(IncPhi->value() > 0.0))
        return motivo("Phi");
    return QString();
}

void TFormRangoVar::done(int resultado)
{
    if (resultado == QDialog::Accepted) {
        const QString motivo = ComprobarRangos();
        if (!motivo.isEmpty()) {
            LabelError->setText(motivo);
            LabelError->setVisible(true);
            return;
        }
    }
    LabelError->clear();
    LabelError->setVisible(false);
    QDialog::done(resultado);
}
