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
#include <type_traits>
#include <utility>

namespace tendora {

namespace {

constexpr ValorModelo kConstantes[] = {ValorModelo::AlfaLE,  ValorModelo::AlfaTHT, ValorModelo::AlfaHLT,
                                       ValorModelo::BetaHLT, ValorModelo::PhiHW,   ValorModelo::AlfaCroston};

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

PaginaModelo::PaginaModelo(QWidget* pagina, Sesion& sesion, QObject* parent) : QObject(parent), sesion_(sesion)
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
    CBIntervalos = new QCheckBox(QStringLiteral("Intervalos de previsión (80 % y 95 %)"), panel);
    CBIntervalos->setObjectName("CBIntervalos");
    CBIntervalos->setLayoutDirection(Qt::RightToLeft);
    CBIntervalos->setChecked(false);
    CBIntervalos->setToolTip(QStringLiteral("Cada cálculo evalúa además el modelo en orígenes móviles y da a su "
                                            "previsión intervalos del 80 % y del 95 %"));
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
    ajustes->addWidget(CBIntervalos, 3, 0, 1, 2, Qt::AlignLeft);
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

    // Every reading goes to the session as it changes, an emptied box's too
    // (it sends no value change, only a text change).
    connect(RGModeloBotones, &QButtonGroup::idToggled, this, [this](int id, bool marcado) {
        if (marcado && !reflejando_)
            sesion_.SeleccionarModelo(id);
    });
    // Each control tells only its own reading: the others may not show the
    // session yet (an experiment tells its changes at refreshes).
    // A value set or typed comes as the box's value change; a text that is
    // no number only as its editor's text change.
    const auto alCambiar = [this](auto* se, auto leer) {
        const auto leerSiNoReflejando = [this, leer] {
            if (!reflejando_)
                leer();
        };
        connect(se, &std::remove_pointer_t<decltype(se)>::valueChanged, this, leerSiNoReflejando);
        if (auto* texto = se->template findChild<QLineEdit*>())
            connect(texto, &QLineEdit::textChanged, this, leerSiNoReflejando);
    };
    alCambiar(SEN, [this] { sesion_.PonerValor(ValorModelo::N, LeerEntero(SEN)); });
    for (ValorModelo v : kConstantes)
        alCambiar(Constante(v), [this, v] { sesion_.PonerValor(v, ValorEdit(Constante(v))); });
    alCambiar(SEValoresPrever, [this] { sesion_.PonerHorizonte(LeerEntero(SEValoresPrever)); });
    // The split follows what the edit reads, also when the value stays.
    alCambiar(SEPuntosSinUsar, [this] { sesion_.PonerPuntosSinUsar(LeerEntero(SEPuntosSinUsar)); });
    connect(CBPrevNeg, &QCheckBox::toggled, this, [this](bool si) {
        if (!reflejando_)
            sesion_.PonerPrevisionesNegativas(si);
    });
    connect(CBIntervalos, &QCheckBox::toggled, this, [this](bool si) {
        if (!reflejando_)
            sesion_.PonerIntervalos(si);
    });
    sesion_.Observar([this](unsigned cambios) { Reflejar(cambios); });
    Reflejar(~0u);
}

// A whole-number edit as the program reads it: the box keeps its last valid
// value while the user's text is no number (an emptied box), and such text
// reads as the minimum. An acceptable text is the value itself (keyboard
// tracking is on); the check hits the box's own cache, so experiments that
// read the edits on every step stay as fast.
int PaginaModelo::LeerEntero(const QSpinBox* se)
{
    return se->hasAcceptableInput() ? se->value() : se->minimum();
}

double PaginaModelo::ValorEdit(const QDoubleSpinBox* s)
{
    return s->hasAcceptableInput() ? s->value() : s->minimum();
}

QDoubleSpinBox* PaginaModelo::Constante(ValorModelo v) const
{
    switch (v) {
    case ValorModelo::AlfaLE: return SEAlfaLE;
    case ValorModelo::AlfaTHT: return SEAlfaTHT;
    case ValorModelo::AlfaHLT: return SEAlfaHLT;
    case ValorModelo::BetaHLT: return SEBetaHLT;
    case ValorModelo::PhiHW: return SEPhiHW;
    case ValorModelo::AlfaCroston: return SEAlfaCroston;
    case ValorModelo::N: break;
    }
    return nullptr;
}

void PaginaModelo::Reflejar(unsigned cambios)
{
    reflejando_ = true;
    // An edit is only set when its reading differs: an emptied box the user
    // is typing into stays as it is.
    if (cambios & Sesion::CambioValores) {
        if (LeerEntero(SEN) != sesion_.Valor(ValorModelo::N))
            SEN->setValue(static_cast<int>(sesion_.Valor(ValorModelo::N)));
        for (ValorModelo v : kConstantes)
            if (ValorEdit(Constante(v)) != sesion_.Valor(v))
                Constante(v)->setValue(sesion_.Valor(v));
        CBPrevNeg->setChecked(sesion_.PrevisionesNegativas());
    }
    if ((cambios & Sesion::CambioHorizonte) && LeerEntero(SEValoresPrever) != sesion_.Horizonte())
        SEValoresPrever->setValue(sesion_.Horizonte());
    if (cambios & (Sesion::CambioPuntos | Sesion::CambioDatos)) {
        SEPuntosSinUsar->setRange(0, sesion_.LimitePuntosSinUsar());
        if (LeerEntero(SEPuntosSinUsar) != sesion_.PuntosSinUsar())
            SEPuntosSinUsar->setValue(sesion_.PuntosSinUsar());
    }
    if (cambios & Sesion::CambioIntervalos)
        CBIntervalos->setChecked(sesion_.Intervalos());
    if (cambios & Sesion::CambioModelo)
        if (auto* b = RGModeloBotones->button(sesion_.ModeloSeleccionado()); b && !b->isChecked())
            b->setChecked(true);
    reflejando_ = false;
    if (cambios & Sesion::CambioModelo)
        emit modeloElegido();
    if (cambios & Sesion::CambioHorizonte)
        emit valoresPreverCambiados();
    if (cambios & Sesion::CambioPuntos)
        emit puntosSinUsarCambiados();
    if (cambios & Sesion::CambioIntervalos)
        emit intervalosCambiados();
}

// ---------------------------------------------------------------- showing

void PaginaModelo::MostrarPar(QLabel* l, QWidget* w, bool visible)
{
    l->setVisible(visible);
    w->setVisible(visible);
}

void PaginaModelo::MostrarControlesDelModelo()
{
    const FichaModelo& f = FichaDe(sesion_.ModeloSeleccionado());
    MostrarPar(LabelN, SEN, f.Usa(ParamN));
    MostrarPar(LabelAlfa, SEAlfaLE, f.Usa(ParamAlfaLE));
    MostrarPar(LabelAlfaTHT, SEAlfaTHT, f.Usa(ParamAlfaTHT));
    // Holt-Winters shows Holt's pair with its phi.
    const bool holt = f.Usa(ParamHolt) || f.Usa(ParamPhiHW);
    MostrarPar(LabelAlfaHLT, SEAlfaHLT, holt);
    MostrarPar(LabelBetaHLT, SEBetaHLT, holt);
    MostrarPar(LabelPhiHW, SEPhiHW, f.Usa(ParamPhiHW));
    MostrarPar(LabelAlfaCroston, SEAlfaCroston, f.Usa(ParamAlfaCroston));
}

} // namespace tendora
