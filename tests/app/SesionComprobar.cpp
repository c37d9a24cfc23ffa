// SPDX-License-Identifier: GPL-3.0-or-later
// A random session's side of the dialogs (answered as the user would, with
// random values) and the checks after every step.
#include "SesionVentana.h"

#include "app/DialogoUnit.h"
#include "data/Carga.h"
#include "ui/Grafico.h"
#include "ui/ImportarUnit.h"
#include "data/LibroCalculo.h"
#include "app/MainUnit.h"
#include "ui/RangoVarUnit.h"
#include "ui/Rejilla.h"
#include "app/SelecAMUnit.h"
#include "ui/SimExAnteUnit.h"

#include "Ayudas.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineSeries>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace tendora;

namespace prueba {

void Sesion::Fallo(const QString& que)
{
    if (fallos_.size() < 20)
        fallos_ << QStringLiteral("paso %1 (%2): %3").arg(hechos_).arg(pasoActual_, que);
}

// ---------------------------------------------------------------- dialogs

void Sesion::Contestar()
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || contestando_)
        return;
    contestando_ = true;
    if (auto* d = qobject_cast<TFormDialogo*>(w)) {
        mensajes_ << d->Mensaje->text();
        registro_ << QStringLiteral("     mensaje: ") + d->Mensaje->text().simplified().left(160);
        ComprobarTexto(QStringLiteral("mensaje"), d->Mensaje->text(), true);
        d->BBAceptar->click();
    } else if (auto* q = qobject_cast<QMessageBox*>(w); q && q->objectName() == QLatin1String("PreguntaHuecos")) {
        // Months missing: each filling, or now and then none.
        registro_ << QStringLiteral("     pregunta: ") + q->text().simplified().left(160);
        ComprobarTexto(QStringLiteral("pregunta"), q->text(), true);
        const QString boton =
            az_.Moneda(0.15)
                ? QStringLiteral("Cancelar")
                : az_.Uno<QString>({QStringLiteral("Interpolar"), QStringLiteral("Cero"), QStringLiteral("Anterior")});
        rellenoCancelado_ = boton == QLatin1String("Cancelar");
        for (QAbstractButton* b : q->buttons())
            if (b->text() == boton)
                b->click();
    } else if (auto* q = qobject_cast<QMessageBox*>(w); q && q->objectName().startsWith(QLatin1String("Pregunta"))) {
        // Closing with the data text changed: not saved, or the close taken
        // back; a long drawn variation: run or not.
        registro_ << QStringLiteral("     pregunta: ") + q->text();
        const bool guardar = q->objectName() == QLatin1String("PreguntaGuardar");
        const QString boton =
            az_.Moneda(0.5) ? QStringLiteral("No") : (guardar ? QStringLiteral("Cancelar") : QString::fromUtf8("Sí"));
        for (QAbstractButton* b : q->buttons())
            if (b->text() == boton)
                b->click();
    } else if (auto* m = qobject_cast<QMessageBox*>(w)) {
        // The standard error display: errors the program did not expect say
        // so in words no user message uses.
        errores_ << m->text();
        registro_ << QStringLiteral("     error: ") + m->text().simplified().left(160);
        static const QRegularExpression interno(
            QStringLiteral("index|bounds|out of range|_M_|vector|basic_string|bad_alloc|std::|::|desconocido|"
                           "fuera de la tabla|no mezcla|Sólo se copian"),
            QRegularExpression::CaseInsensitiveOption);
        if (interno.match(m->text()).hasMatch())
            Fallo(QStringLiteral("error interno mostrado: \"%1\"").arg(m->text()));
        ComprobarTexto(QStringLiteral("error"), m->text(), true);
        m->accept();
    } else if (qobject_cast<QFileDialog*>(w)) {
        ContestarFichero(w);
    } else if (qobject_cast<TFormRangoVar*>(w) || qobject_cast<TFormSimExAnte*>(w)) {
        ContestarRango(w);
    } else if (auto* p = qobject_cast<QProgressDialog*>(w)) {
        ContestarProgreso(p);
    } else if (auto* im = qobject_cast<TFormImportar*>(w)) {
        // A refused choice brings the dialog back: a few tries, then "Cancelar".
        if (++intentosImportacion_ > 3 || az_.Moneda(0.1)) {
            im->BBCancelar->click();
        } else {
            for (QComboBox* cb : {im->CBHoja, im->CBFecha, im->CBValor})
                if (cb->isVisible() && cb->count() > 1 && az_.Moneda(0.25))
                    cb->setCurrentIndex(az_.Entero(0, cb->count() - 1));
            im->BBAceptar->click();
        }
    } else if (auto* am = qobject_cast<TFormSelecAM*>(w)) {
        am->SEA->setValue(az_.Moneda(0.2) ? az_.Uno<int>({am->SEA->minimum(), am->SEA->maximum()})
                                          : az_.Entero(1950, 2050));
        am->SEM->setValue(az_.Entero(am->SEM->minimum(), am->SEM->maximum()));
        (az_.Moneda(0.9) ? am->BBAceptar : am->BBCancelar)->click();
    } else if (w->objectName() == QLatin1String("EditorGrafico")) {
        ContestarEditor(static_cast<QDialog*>(w));
    } else if (w->objectName() == QLatin1String("AdvPreviewDialog1") ||
               w->objectName() == QLatin1String("VistaPreviaGrafico")) {
        // Seen for a moment, as a user looks at it, then closed.
        if (vistaPrevia_ != w)
            vistaPrevia_ = w;
        else
            static_cast<QDialog*>(w)->reject();
    } else if (auto* d = qobject_cast<QDialog*>(w)) {
        Fallo(QStringLiteral("ventana modal inesperada: %1 \"%2\"")
                  .arg(QLatin1String(w->metaObject()->className()), w->objectName()));
        d->reject();
    }
    contestando_ = false;
}

void Sesion::ContestarFichero(QWidget* w)
{
    auto* fd = static_cast<QFileDialog*>(w);
    if (!planFichero_ || rutaPlan_.isEmpty()) {
        planFichero_ = false;
        fd->reject();
        return;
    }
    planFichero_ = false; // once: a dialog that stays up is cancelled next time
    if (!filtroPlan_.isEmpty()) {
        auto* tipos = fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        const int i = tipos ? tipos->findText(filtroPlan_) : -1;
        if (i >= 0) {
            tipos->setCurrentIndex(i);
            emit tipos->activated(i);
            emit tipos->textActivated(filtroPlan_);
        }
    }
    // Typed, as the user types into the focused name: the file still
    // selected in the list from the last time is let go.
    for (auto* lista : fd->findChildren<QAbstractItemView*>())
        if (lista->selectionModel())
            lista->selectionModel()->clearSelection();
    auto* nombre = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    nombre->setText(rutaPlan_);
    emit nombre->textEdited(rutaPlan_);
    auto* botones = fd->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    for (QAbstractButton* b : botones->buttons())
        if (botones->buttonRole(b) == QDialogButtonBox::AcceptRole) {
            b->click();
            break;
        }
}

// The two experiment dialogs, filled in with random ranges; a refused range
// is mended or given up.
void Sesion::ContestarRango(QWidget* w)
{
    if (auto* s = qobject_cast<TFormSimExAnte*>(w)) {
        for (QSpinBox* e : {s->SEDesde, s->SEHasta})
            e->setValue(az_.Moneda(0.3) ? az_.Uno<int>({e->minimum(), e->maximum()})
                                        : az_.Entero(e->minimum(), std::min(e->maximum(), 30)));
        const bool aceptar = az_.Moneda(0.85);
        registro_ << QStringLiteral("     ex-ante %1..%2, %3")
                         .arg(s->SEDesde->value())
                         .arg(s->SEHasta->value())
                         .arg(aceptar ? "Aceptar" : "Cancelar");
        (aceptar ? s->BBAceptar : s->BBCancelar)->click();
        return;
    }
    auto* r = static_cast<TFormRangoVar*>(w);
    if (r->LabelError->isVisible()) {
        registro_ << QStringLiteral("     rechazo: ") + r->LabelError->text();
        if (az_.Moneda(0.5)) {
            r->BBCancelar->click();
            return;
        }
        r->IncN->setValue(std::max(r->IncN->value(), 1));
        for (QDoubleSpinBox* i : {r->IncAlfa, r->IncBeta, r->IncPhi})
            i->setValue(std::max(i->value(), 0.05));
        r->BBAceptar->click();
        return;
    }
    const auto real = [this](QDoubleSpinBox* e) {
        e->setValue(az_.Moneda(0.3) ? az_.Uno<double>({e->minimum(), e->maximum()})
                                    : std::round(az_.Real(e->minimum(), e->maximum()) * 100.0) / 100.0);
    };
    for (QDoubleSpinBox* e : {r->DesdeAlfa, r->HastaAlfa, r->DesdeBeta, r->HastaBeta, r->DesdePhi, r->HastaPhi})
        real(e);
    for (QDoubleSpinBox* e : {r->IncAlfa, r->IncBeta, r->IncPhi})
        e->setValue(az_.Uno<double>({0.0, 0.01, 0.02, 0.05, 0.1, 0.25, 0.5, 1.0}));
    std::vector<int> enes = {-3, 0, 1, 2, 3, 6, 12, 24, 60};
    if (op_.conocidos.Con("n"))
        enes.insert(enes.end(), {r->DesdeN->minimum(), r->DesdeN->maximum(), 100000});
    r->DesdeN->setValue(az_.Uno(enes));
    r->HastaN->setValue(az_.Uno(enes));
    r->IncN->setValue(az_.Uno<int>({-1, 0, 1, 1, 2, 5, 50}));
    r->CBGraficos->setChecked(az_.Moneda(0.3));
    const bool aceptar = az_.Moneda(0.85);
    registro_ << QStringLiteral("     rangos N %1..%2/%3 alfa %4..%5/%6 beta %7..%8/%9 phi %10..%11/%12%13, %14")
                     .arg(r->DesdeN->value())
                     .arg(r->HastaN->value())
                     .arg(r->IncN->value())
                     .arg(r->DesdeAlfa->value())
                     .arg(r->HastaAlfa->value())
                     .arg(r->IncAlfa->value())
                     .arg(r->DesdeBeta->value())
                     .arg(r->HastaBeta->value())
                     .arg(r->IncBeta->value())
                     .arg(r->DesdePhi->value())
                     .arg(r->HastaPhi->value())
                     .arg(r->IncPhi->value())
                     .arg(r->CBGraficos->isChecked() ? ", dibujando" : "")
                     .arg(aceptar ? "Aceptar" : "Cancelar");
    (aceptar ? r->BBAceptar : r->BBCancelar)->click();
}

void Sesion::ContestarEditor(QDialog* d)
{
    const auto teclear = [this, d](const char* nombre, const QString& texto) {
        auto* e = d->findChild<QLineEdit*>(QLatin1String(nombre));
        if (!e || !e->isEnabled())
            return;
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, texto);
        registro_ << QStringLiteral("     %1 = \"%2\"").arg(QLatin1String(nombre), texto);
    };
    const std::vector<QString> numeros = {"0",     "1",   "-1", "5",      "100", "1e300", "-1e300",
                                          "1e308", "abc", "",   "1e-300", "0,5", "0.5"};
    for (const char* caja : {"CBAutoX", "CBAutoY", "CBLeyenda", "CBMarcas"})
        if (auto* c = d->findChild<QCheckBox*>(QLatin1String(caja)); c && az_.Moneda(0.4))
            c->click();
    for (const char* e : {"EMinimoX", "EMaximoX", "EMinimoY", "EMaximoY"})
        if (az_.Moneda(0.5))
            teclear(e, az_.Uno(numeros));
    if (az_.Moneda(0.3))
        teclear("ETituloGrafico", az_.Moneda(0.5) ? QString() : QStringLiteral("Titulo nuevo"));
    if (auto* grosor = d->findChild<QSpinBox*>(QStringLiteral("SEGrosor")); grosor && az_.Moneda(0.3))
        grosor->setValue(az_.Entero(grosor->minimum(), grosor->maximum()));
    QTest::qWait(10);
    if (auto* cerrar = d->findChild<QPushButton*>(QStringLiteral("BCerrar")))
        cerrar->click();
    else
        d->reject();
}

// The user stops a long experiment after a random few refreshes of its
// indicator, and always within a few seconds.
void Sesion::ContestarProgreso(QProgressDialog* p)
{
    if (progreso_ != p) {
        progreso_ = p;
        refrescos_ = 0;
        esperaParada_ = azParadas_.Entero(0, 6);
        etiquetaProgreso_ = p->labelText();
    } else if (p->labelText() != etiquetaProgreso_) {
        ++refrescos_;
        etiquetaProgreso_ = p->labelText();
    }
    ComprobarTexto(QStringLiteral("progreso"), p->labelText());
    const bool tarde = std::chrono::steady_clock::now() - inicioPaso_ > std::chrono::seconds(4);
    if (parado_ || (refrescos_ < esperaParada_ && !tarde))
        return;
    parado_ = true;
    registro_ << QStringLiteral("     parar en \"%1\"").arg(p->labelText());
    if (azParadas_.Moneda(0.5))
        QTest::keyClick(p, Qt::Key_Escape);
    else if (auto* b = p->findChild<QPushButton*>(QStringLiteral("BBCancelar")))
        b->click();
    else
        Fallo(QStringLiteral("la ventana de progreso \"%1\" no tiene \"Cancelar\"").arg(p->windowTitle()));
}

// ---------------------------------------------------------------- checks

void Sesion::ComprobarTexto(const QString& donde, const QString& texto, bool citas)
{
    // A message may quote what the user typed ('nan' is not a number).
    static const QRegularExpression citado(QStringLiteral("'[^']*'|\"[^\"]*\"|\u00AB[^\u00BB]*\u00BB"));
    QString visto;
    if (NoFinitoEnTexto(citas ? QString(texto).remove(citado) : texto, &visto))
        Fallo(QStringLiteral("\"%1\" en %2: %3").arg(visto, donde, texto.left(200)));
}

int Sesion::Etiquetadas(Rejilla* g) const
{
    int n = 0;
    for (int f = 1; f < g->RowCount(); ++f)
        if (g->Modelo()->Tipo(0, f) != TipoCelda::Vacia)
            ++n;
    return n;
}

void Sesion::ComprobarRejilla(Rejilla* g)
{
    const QAbstractItemModel* m = g->model();
    const ModeloRejilla* mr = g->Modelo();
    const int filas = m->rowCount(), cols = m->columnCount();
    const QString nombre = g->objectName();
    for (int c = 0; c < cols; ++c)
        ComprobarTexto(nombre + QStringLiteral(" cabecera"), m->headerData(c, Qt::Horizontal).toString());
    // Every number held; the texts shown of a sample of rows when there are many.
    const bool errores = nombre.startsWith(QLatin1String("AdvSGErr"));
    Azar muestra{static_cast<uint64_t>(hechos_)};
    const bool todas = filas <= 50000;
    for (int k = 1; k <= (todas ? filas : 30000); ++k) {
        const int f = todas || k <= 10000 ? k : k <= 20000 ? filas + 10001 - k : muestra.Entero(1, filas);
        bool medidas = false;
        for (int c = 0; c < cols; ++c)
            if (mr->Tipo(c, f) == TipoCelda::Numero) {
                medidas = medidas || c > 0;
                if (!std::isfinite(mr->Numero(c, f)))
                    return Fallo(QStringLiteral("%1 fila %2 columna %3 no es finito").arg(nombre).arg(f).arg(c));
            }
        // A row of measures always says whose they are.
        if (errores && medidas && mr->Tipo(0, f) == TipoCelda::Vacia)
            return Fallo(QStringLiteral("%1 fila %2 tiene medidas sin etiqueta").arg(nombre).arg(f));
    }
    const auto texto = [&](int f) {
        for (int c = 0; c < cols; ++c) {
            const QString t = m->data(m->index(f, c)).toString();
            QString visto;
            if (NoFinitoEnTexto(t, &visto))
                Fallo(QStringLiteral("%1 fila %2 columna %3 muestra \"%4\"").arg(nombre).arg(f + 1).arg(c).arg(t));
        }
    };
    if (filas <= 3000) {
        for (int f = 0; f < filas; ++f)
            texto(f);
    } else {
        for (int f = 0; f < 1000; ++f) {
            texto(f);
            texto(filas - 1 - f);
            texto(muestra.Entero(0, filas - 1));
        }
    }
}

void Sesion::ComprobarGrafico(Grafico* g)
{
    const QString nombre = g->objectName();
    ComprobarTexto(nombre + QStringLiteral(" título"), g->Titulo());
    ComprobarTexto(nombre + QStringLiteral(" eje X"), g->EtiquetasEjeX().join(QLatin1Char(' ')));
    for (double v : {g->MinimoX(), g->MaximoX(), g->MinimoY(), g->MaximoY()})
        if (!std::isfinite(v))
            return Fallo(QStringLiteral("%1: un eje llega a %2").arg(nombre).arg(v));
    if (QValueAxis* y = g->EjeY())
        ComprobarTexto(nombre + QStringLiteral(" eje Y"), y->labelFormat());
    for (int k = 0; k < g->NumSeries(); ++k) {
        SerieGrafico* s = g->SerieEn(k);
        ComprobarTexto(nombre + QStringLiteral(" leyenda"), s->name());
        for (const PuntoGrafico& p : s->Puntos())
            if (!p.nulo && (!std::isfinite(p.x) || !std::isfinite(p.y)))
                return Fallo(
                    QStringLiteral("%1 serie %2: punto (%3, %4)").arg(nombre, s->objectName()).arg(p.x).arg(p.y));
        for (QAbstractSeries* q : s->SeriesQt())
            if (auto* l = qobject_cast<QLineSeries*>(q))
                for (const QPointF& p : l->points())
                    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                        return Fallo(QStringLiteral("%1 serie %2: Qt tiene (%3, %4)")
                                         .arg(nombre, s->objectName())
                                         .arg(p.x())
                                         .arg(p.y()));
    }
}

void Sesion::Comprobar()
{
    if (QWidget* m = QApplication::activeModalWidget())
        return Fallo(QStringLiteral("queda abierta la ventana modal %1").arg(m->objectName()));
    const Espacio& e = w_->Ws;
    for (int f = 0; f < e.Filas(); ++f)
        for (int c = 1; c < NumCols; ++c)
            if (e.Valida(f, c) && !std::isfinite(e.V(f, c)))
                return Fallo(QStringLiteral("TablaPrev[%1][%2] = %3").arg(f).arg(c).arg(e.V(f, c)));
    for (int m = 1; m <= 12; ++m)
        if (!std::isfinite(e.CoefEstacional[m].Coeficiente))
            return Fallo(QStringLiteral("coeficiente estacional %1 no finito").arg(m));
    if (e.DatosCargados && (e.NumDatos < 1 || e.NumDatos > e.TotalDatos || e.Filas() <= e.TotalDatos))
        return Fallo(QStringLiteral("tabla incoherente: NumDatos %1, TotalDatos %2, filas %3")
                         .arg(e.NumDatos)
                         .arg(e.TotalDatos)
                         .arg(e.Filas()));
    for (const char* n : {"AdvStringGridPrevision", "StringGridCE", "AdvSGErrAjuste", "AdvSGErrAcierto", "SGSeleccion"})
        ComprobarRejilla(Control<Rejilla>(w_, n));
    for (Grafico* g : w_->findChildren<Grafico*>())
        ComprobarGrafico(g);
    for (QLabel* l : w_->findChildren<QLabel*>())
        ComprobarTexto(QStringLiteral("etiqueta ") + l->objectName(), l->text());
    ComprobarTexto(QStringLiteral("línea de estado"), w_->statusBar()->currentMessage());
    ComprobarTexto(QStringLiteral("título"), w_->windowTitle());
}

// A load either happens whole or changes nothing.
void Sesion::ComprobarCarga(int totalAntes, int numAntes, int filasAntes, int erroresAntes, int mensajesAntes)
{
    const Espacio& e = w_->Ws;
    auto* g = Control<Rejilla>(w_, "AdvStringGridPrevision");
    if (errores_.size() > erroresAntes ||
        (mensajes_.size() > mensajesAntes && mensajes_.constLast() == QStringLiteral("No hay datos para cargar."))) {
        if (e.TotalDatos != totalAntes || e.NumDatos != numAntes || g->RowCount() != filasAntes)
            Fallo(QStringLiteral("una carga rechazada cambió la tabla: %1/%2 datos, %3 filas (antes %4/%5, %6)")
                      .arg(e.NumDatos)
                      .arg(e.TotalDatos)
                      .arg(g->RowCount())
                      .arg(numAntes)
                      .arg(totalAntes)
                      .arg(filasAntes));
        return;
    }
    if (rellenoCancelado_) {
        if (e.TotalDatos != totalAntes || e.NumDatos != numAntes || g->RowCount() != filasAntes)
            Fallo(QStringLiteral("cancelar el relleno de los meses que faltan cambió la tabla"));
        return;
    }
    if (!e.DatosCargados)
        return Fallo(QStringLiteral("la carga terminó sin datos cargados ni mensaje"));
    // Months filled in are written into the text: one line per row still.
    if (const qsizetype lineas = LineasDeTexto(Control<QPlainTextEdit>(w_, "Memo1")->toPlainText()).size();
        lineas != e.TotalDatos)
        return Fallo(
            QStringLiteral("el texto de Datos tiene %1 líneas para %2 datos cargados").arg(lineas).arg(e.TotalDatos));
    if (g->RowCount() != e.NumDatos + 1)
        return Fallo(QStringLiteral("la tabla de previsión tiene %1 filas para %2 datos")
                         .arg(g->RowCount() - 1)
                         .arg(e.NumDatos));
    const int paso = std::max(1, e.NumDatos / 500);
    for (int i = 1; i <= e.NumDatos; i += paso) {
        bool ok = false;
        const double t = QLocale().toDouble(g->Celda(0, i), &ok);
        if (!ok || t != i)
            return Fallo(QStringLiteral("fila %1 de la tabla de previsión dice t = \"%2\"").arg(i).arg(g->Celda(0, i)));
    }
    for (const char* n : {"AdvSGErrAjuste", "AdvSGErrAcierto"})
        if (Etiquetadas(Control<Rejilla>(w_, n)) != 0)
            return Fallo(QStringLiteral("%1 conserva filas tras cargar").arg(QLatin1String(n)));
    if (Control<Grafico>(w_, "ChartPC")->NumSeries() != 1)
        return Fallo(QStringLiteral("quedan series comparativas tras cargar"));
    // Rows beyond the horizon after the hold-out may be left out.
    SerieGrafico* datos = Control<Grafico>(w_, "ChartP")->Serie(QStringLiteral("SeriesDatos"));
    const int dibujados = datos ? datos->count() : -1;
    if (dibujados != e.TotalDatos && dibujados != std::min(e.TotalDatos, e.NumDatos + w_->SesionActual.Horizonte()))
        Fallo(QStringLiteral("la serie Datos tiene %1 puntos para %2 datos").arg(dibujados).arg(e.TotalDatos));
}

// A calculation that says nothing wrote the whole forecast and one row per table.
void Sesion::ComprobarCalculo(int ajusteAntes, int aciertoAntes, int mensajesAntes, int erroresAntes)
{
    if (mensajes_.size() > mensajesAntes || errores_.size() > erroresAntes)
        return;
    const Espacio& e = w_->Ws;
    auto* g = Control<Rejilla>(w_, "AdvStringGridPrevision");
    const int V = w_->SesionActual.Horizonte();
    if (g->RowCount() != e.NumDatos + V + 1)
        return Fallo(QStringLiteral("la tabla de previsión tiene %1 filas para %2 datos y %3 a prever")
                         .arg(g->RowCount() - 1)
                         .arg(e.NumDatos)
                         .arg(V));
    const int ajuste = Etiquetadas(Control<Rejilla>(w_, "AdvSGErrAjuste"));
    const int acierto = Etiquetadas(Control<Rejilla>(w_, "AdvSGErrAcierto"));
    const int esperado = aciertoAntes + ((e.NumDatos < e.TotalDatos && V > 0) ? 1 : 0);
    if (ajuste != ajusteAntes + 1 || acierto != esperado)
        return Fallo(QStringLiteral("tras calcular: %1 filas de ajuste (antes %2), %3 de acierto (antes %4)")
                         .arg(ajuste)
                         .arg(ajusteAntes)
                         .arg(acierto)
                         .arg(aciertoAntes));
    // The forecast column shows the table's values, to its two decimals.
    if (e.ColPrev < ColModelo)
        return;
    const int paso = std::max(1, (e.NumDatos + V) / 400);
    for (int i = 1; i <= e.NumDatos + V; i += paso) {
        const QString t = g->Celda(e.ColPrev - 1, i);
        if (!e.Valida(i, e.ColPrev)) {
            if (!t.isEmpty())
                return Fallo(
                    QStringLiteral("fila %1: la tabla no tiene valor y la rejilla muestra \"%2\"").arg(i).arg(t));
            continue;
        }
        bool ok = false;
        const double v = QLocale().toDouble(t, &ok), x = e.V(i, e.ColPrev);
        if (!ok || std::abs(v - x) > 0.0051 + 1e-12 * std::abs(x))
            return Fallo(QStringLiteral("fila %1: la rejilla muestra \"%2\" para %3").arg(i).arg(t).arg(x, 0, 'g', 17));
    }
}

// An exported or saved file: there, and with no non-finite number in it.
void Sesion::ComprobarFichero(const QString& ruta, bool numeros)
{
    if (!QFileInfo::exists(ruta)) {
        // Only a refusal the user was told of explains a missing file.
        if (errores_.size() == erroresPaso_ && mensajes_.size() == mensajesPaso_)
            Fallo(QStringLiteral("no se escribió %1").arg(ruta));
        return;
    }
    exportados_ << ruta;
    if (!numeros)
        return;
    const QString ext = QFileInfo(ruta).suffix().toLower();
    if (ext == QLatin1String("xlsx")) {
        try {
            for (const Tabla& t : LeerParaImportar(ruta))
                for (const QList<Celda>& fila : t.filas)
                    for (const Celda& c : fila) {
                        if (c.tipo == Celda::Numero && !std::isfinite(c.numero))
                            return Fallo(QStringLiteral("%1 guarda un número no finito").arg(ruta));
                        ComprobarTexto(ruta, c.texto);
                    }
        } catch (const std::exception& ex) {
            Fallo(QStringLiteral("%1 no se lee: %2").arg(ruta, QString::fromUtf8(ex.what())));
        }
        return;
    }
    // The text formats; images and binary workbooks have no number texts to look at.
    if (ext == QLatin1String("txt") || ext == QLatin1String("csv") || ext == QLatin1String("html") ||
        ext == QLatin1String("doc") || ext == QLatin1String("svg")) {
        QByteArray b = Leer(ruta);
        const QString t =
            b.startsWith("\xFF\xFE")
                ? QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData() + 2), (b.size() - 2) / 2)
                : QString::fromUtf8(b);
        ComprobarTexto(ruta, t);
    } else if (QFileInfo(ruta).size() == 0) {
        Fallo(QStringLiteral("%1 está vacío").arg(ruta));
    }
}

} // namespace prueba
