// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PaginaModelo.h"

#include "ui/Ayuda.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace tendora {

namespace {

QDoubleSpinBox* CrearSpinReal(QWidget* padre, const char* nombre, const QString& hint)
{
    auto* se = new QDoubleSpinBox(padre);
    se->setObjectName(nombre);
    se->setDecimals(2);
    se->setRange(RangoDe(ValorModelo::AlfaLE).Minimo, RangoDe(ValorModelo::AlfaLE).Maximo);
    se->setSingleStep(0.05);
    se->setValue(0.5);
    se->setLocale(QLocale());
    if (!hint.isEmpty())
        se->setToolTip(hint);
    return se;
}

// A whole-number edit as the program reads it: the box keeps its last valid
// value while the user's text is no number (an emptied box), and such text
// reads as the minimum. An acceptable text is the value itself (keyboard
// tracking is on); the check hits the box's own cache, so experiments that
// read the edits on every step stay as fast.
int LeerEntero(const QSpinBox* se)
{
    return se->hasAcceptableInput() ? se->value() : se->minimum();
}

// The catalogue's two lines as rich text, so that a long line wraps instead
// of stretching the tip across the screen.
QString AyudaModelo(const FichaModelo& f)
{
    const QString t = QString::fromUtf8(f.Explicacion.data(), static_cast<qsizetype>(f.Explicacion.size()));
    return TextoAyudaEmergente(t.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

QLabel* CrearEtiqueta(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    return l;
}

} // namespace

PaginaModelo::PaginaModelo(QWidget* pagina, QObject* parent) : QObject(parent)
{
    auto* panel = new QWidget(pagina);
    panel->setObjectName("PanelModelo");
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);
    auto* lp = new QVBoxLayout(pagina);
    lp->setContentsMargins(0, 0, 0, 0);
    lp->addWidget(panel);

    RGModelo = new QGroupBox(QStringLiteral("Modelo de Previsión "), panel);
    RGModelo->setObjectName("RGModelo");
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(13);
    RGModelo->setFont(mono);
    RGModeloBotones = new QButtonGroup(RGModelo);
    RGModeloBotones->setObjectName("RGModeloBotones");
    RGModeloBotones->setExclusive(true);
    auto* lr = new QVBoxLayout(RGModelo);
    for (const FichaModelo& f : Catalogo) {
        const int i = f.Item;
        auto* rb =
            new QRadioButton(QString::fromUtf8(f.Texto.data(), static_cast<qsizetype>(f.Texto.size())), RGModelo);
        rb->setObjectName(QStringLiteral("RGModelo%1").arg(i));
        rb->setToolTip(AyudaModelo(f));
        RGModeloBotones->addButton(rb, i);
        lr->addWidget(rb);
    }
    RGModeloBotones->button(ItemDST)->setChecked(true);

    LabelN = CrearEtiqueta(panel, "LabelN", QStringLiteral("N:"));
    SEN = new QSpinBox(panel);
    SEN->setObjectName("SEN");
    SEN->setRange(MinimoN, MaximoN);
    SEN->setSingleStep(1);
    SEN->setValue(6);
    SEN->setToolTip(QStringLiteral("Número de períodos a promediar"));
    LabelAlfa = CrearEtiqueta(panel, "LabelAlfa", QStringLiteral("Alfa:"));
    SEAlfaLE = CrearSpinReal(panel, "SEAlfaLE", QStringLiteral("Alisamiento"));
    LabelAlfaTHT = CrearEtiqueta(panel, "LabelAlfaTHT", QStringLiteral("Alfa:"));
    SEAlfaTHT = CrearSpinReal(panel, "SEAlfaTHT", QStringLiteral("Alisamiento de L"));
    LabelAlfaHLT = CrearEtiqueta(panel, "LabelAlfaHLT", QStringLiteral("Alfa:"));
    SEAlfaHLT = CrearSpinReal(panel, "SEAlfaHLT", QStringLiteral("Alisamiento del nivel"));
    LabelBetaHLT = CrearEtiqueta(panel, "LabelBetaHLT", QStringLiteral("Beta:"));
    SEBetaHLT = CrearSpinReal(panel, "SEBetaHLT", QStringLiteral("Alisamiento de la tendencia"));
    LabelPhiHW = CrearEtiqueta(panel, "LabelPhiHW", QStringLiteral("Phi:"));
    SEPhiHW = CrearSpinReal(panel, "SEPhiHW", QStringLiteral("Alisamiento de la estacionalidad"));
    LabelAlfaCroston = CrearEtiqueta(panel, "LabelAlfaCroston", QStringLiteral("Alfa:"));
    SEAlfaCroston = CrearSpinReal(panel, "SEAlfaCroston", QString());

    Label3 = CrearEtiqueta(panel, "Label3", QStringLiteral("Valores a prever:"));
    SEValoresPrever = new QSpinBox(panel);
    SEValoresPrever->setObjectName("SEValoresPrever");
    SEValoresPrever->setRange(0, 999);
    SEValoresPrever->setValue(12);
    Label2 = CrearEtiqueta(panel, "Label2", QStringLiteral("Valores finales del histórico sin utilizar:"));
    SEPuntosSinUsar = new QSpinBox(panel);
    SEPuntosSinUsar->setObjectName("SEPuntosSinUsar");
    SEPuntosSinUsar->setRange(0, 100);
    SEPuntosSinUsar->setValue(0);
    CBPrevNeg = new QCheckBox(QStringLiteral("Permitir previsiones negativas"), panel);
    CBPrevNeg->setObjectName("CBPrevNeg");
    CBPrevNeg->setLayoutDirection(Qt::RightToLeft); // caption to the left of the box
    CBPrevNeg->setChecked(false);
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Leaving an emptied box shows what it now reads, the minimum, not the old value.
    for (QAbstractSpinBox* se : std::initializer_list<QAbstractSpinBox*>{
             SEValoresPrever, SEPuntosSinUsar, SEN, SEAlfaLE, SEAlfaTHT, SEAlfaHLT, SEBetaHLT, SEPhiHW, SEAlfaCroston})
        se->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);

    // Parameter rows to the right of the selector, top to bottom.
    auto* parametros = new QGridLayout();
    parametros->setHorizontalSpacing(8);
    parametros->setVerticalSpacing(10);
    auto fila = [parametros](int f, std::initializer_list<std::pair<QLabel*, QWidget*>> pares) {
        int c = 0;
        for (auto [l, w] : pares) {
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            w->setMinimumWidth(70);
            parametros->addWidget(l, f, c++);
            parametros->addWidget(w, f, c++);
        }
    };
    fila(0, {{LabelN, SEN}});
    fila(1, {{LabelAlfa, SEAlfaLE}});
    fila(2, {{LabelAlfaTHT, SEAlfaTHT}});
    fila(3, {{LabelAlfaHLT, SEAlfaHLT}, {LabelBetaHLT, SEBetaHLT}, {LabelPhiHW, SEPhiHW}});
    fila(4, {{LabelAlfaCroston, SEAlfaCroston}});
    parametros->setRowStretch(5, 1);
    parametros->setColumnStretch(6, 1);

    auto* ajustes = new QGridLayout();
    ajustes->addWidget(Label3, 0, 0);
    ajustes->addWidget(SEValoresPrever, 0, 1);
    ajustes->addWidget(Label2, 1, 0);
    ajustes->addWidget(SEPuntosSinUsar, 1, 1);
    ajustes->addWidget(CBPrevNeg, 2, 0, 1, 2, Qt::AlignLeft);
    SEValoresPrever->setMinimumWidth(70);
    SEPuntosSinUsar->setMinimumWidth(70);
    ajustes->setColumnStretch(2, 1);

    auto* izquierda = new QVBoxLayout();
    izquierda->addWidget(RGModelo);
    izquierda->addSpacing(12);
    izquierda->addLayout(ajustes);
    izquierda->addStretch(1);

    auto* lm = new QHBoxLayout(panel);
    lm->setContentsMargins(12, 12, 12, 12);
    lm->setSpacing(24);
    lm->addLayout(izquierda);
    lm->addLayout(parametros, 1);

    connect(RGModeloBotones, &QButtonGroup::idToggled, this, [this](int, bool marcado) {
        if (marcado)
            emit modeloElegido();
    });
    connect(SEValoresPrever, &QSpinBox::valueChanged, this, &PaginaModelo::valoresPreverCambiados);
    connect(SEPuntosSinUsar, &QSpinBox::valueChanged, this, &PaginaModelo::puntosSinUsarCambiados);
    // An emptied box sends no value change.
    if (auto* texto = SEPuntosSinUsar->findChild<QLineEdit*>())
        connect(texto, &QLineEdit::textChanged, this, &PaginaModelo::puntosSinUsarCambiados);
}

int PaginaModelo::NumModelos() const
{
    return static_cast<int>(RGModeloBotones->buttons().size());
}

bool PaginaModelo::PrevisionesNegativas() const
{
    return CBPrevNeg->isChecked();
}

void PaginaModelo::LimitarPuntosSinUsar(int maximo)
{
    const QSignalBlocker bloqueo(SEPuntosSinUsar);
    SEPuntosSinUsar->setRange(0, maximo);
}

QDoubleSpinBox* PaginaModelo::Edits::Constante(ValorModelo v) const
{
    switch (v) {
    case ValorModelo::AlfaLE: return AlfaLE;
    case ValorModelo::AlfaTHT: return AlfaTHT;
    case ValorModelo::AlfaHLT: return AlfaHLT;
    case ValorModelo::BetaHLT: return BetaHLT;
    case ValorModelo::PhiHW: return PhiHW;
    case ValorModelo::AlfaCroston: return AlfaCroston;
    case ValorModelo::N: break;
    }
    return nullptr;
}

PaginaModelo::Edits PaginaModelo::EditsExperimento() const
{
    return {SEN, SEAlfaLE, SEAlfaTHT, SEAlfaHLT, SEBetaHLT, SEPhiHW, SEAlfaCroston, SEPuntosSinUsar, CBPrevNeg};
}

bool PaginaModelo::Aplicar(int item, const Parametros& p, int puntosSinUsar)
{
    if (puntosSinUsar < SEPuntosSinUsar->minimum() || puntosSinUsar > SEPuntosSinUsar->maximum())
        return false;
    // A row logged with a value the edits no longer take would run with another one.
    for (ValorModelo v : ValoresDe(item))
        if (!RangoDe(v).Contiene(Valor(p, v)))
            return false;
    SeleccionarModelo(item);
    const Edits edits = EditsExperimento();
    for (ValorModelo v : ValoresDe(item)) {
        if (v == ValorModelo::N)
            SEN->setValue(p.N);
        else
            edits.Constante(v)->setValue(Valor(p, v));
    }
    SEValoresPrever->setValue(p.V);
    CBPrevNeg->setChecked(p.PrevNeg);
    SEPuntosSinUsar->setValue(puntosSinUsar);
    return true;
}

// ---------------------------------------------------------------- reading

int PaginaModelo::ModeloSeleccionado() const
{
    return RGModeloBotones->checkedId();
}

void PaginaModelo::SeleccionarModelo(int item)
{
    if (auto* b = RGModeloBotones->button(item))
        b->setChecked(true);
}

int PaginaModelo::ValoresPrever() const
{
    return std::clamp(LeerEntero(SEValoresPrever), 0, 999);
}

int PaginaModelo::PuntosSinUsar() const
{
    return LeerEntero(SEPuntosSinUsar);
}

int PaginaModelo::ValorN() const
{
    return LeerEntero(SEN);
}

double PaginaModelo::ValorEdit(const QDoubleSpinBox* s)
{
    return s->hasAcceptableInput() ? s->value() : s->minimum();
}

Parametros PaginaModelo::LeerResto(int item) const
{
    Parametros p;
    if (FichaDe(item).Usa(ParamN))
        p.N = ValorN();
    p.PrevNeg = CBPrevNeg->isChecked();
    p.V = ValoresPrever();
    return p;
}

// ---------------------------------------------------------------- showing

void PaginaModelo::MostrarControlesN(bool visible)
{
    LabelN->setVisible(visible);
    SEN->setVisible(visible);
}

void PaginaModelo::MostrarControlesAlfaLE(bool visible)
{
    LabelAlfa->setVisible(visible);
    SEAlfaLE->setVisible(visible);
}

void PaginaModelo::MostrarControlesAlfaTHT(bool visible)
{
    LabelAlfaTHT->setVisible(visible);
    SEAlfaTHT->setVisible(visible);
}

void PaginaModelo::MostrarControlesAlfaCroston(bool visible)
{
    LabelAlfaCroston->setVisible(visible);
    SEAlfaCroston->setVisible(visible);
}

void PaginaModelo::MostrarControlesHolt(bool visible)
{
    // The Holt-Winters operation shows these pairs with phi.
    if (FichaDe(ModeloSeleccionado()).Usa(ParamPhiHW))
        return;
    LabelAlfaHLT->setVisible(visible);
    SEAlfaHLT->setVisible(visible);
    LabelBetaHLT->setVisible(visible);
    SEBetaHLT->setVisible(visible);
}

void PaginaModelo::MostrarControlesHoltWinters(bool visible)
{
    // Alpha and beta of plain Holt are the Holt operation's to show.
    const FichaModelo& f = FichaDe(ModeloSeleccionado());
    if (!(f.Usa(ParamHolt) && !f.Usa(ParamPhiHW))) {
        LabelAlfaHLT->setVisible(visible);
        SEAlfaHLT->setVisible(visible);
        LabelBetaHLT->setVisible(visible);
        SEBetaHLT->setVisible(visible);
    }
    LabelPhiHW->setVisible(visible);
    SEPhiHW->setVisible(visible);
}

void PaginaModelo::MostrarControlesDelModelo()
{
    const FichaModelo& f = FichaDe(ModeloSeleccionado());
    MostrarControlesN(f.Usa(ParamN));
    MostrarControlesAlfaLE(f.Usa(ParamAlfaLE));
    MostrarControlesAlfaTHT(f.Usa(ParamAlfaTHT));
    MostrarControlesHolt(f.Usa(ParamHolt));
    MostrarControlesHoltWinters(f.Usa(ParamPhiHW));
    MostrarControlesAlfaCroston(f.Usa(ParamAlfaCroston));
}

} // namespace tendora
