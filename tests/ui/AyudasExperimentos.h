// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the experiment tests share: answering the window's dialogs, a
// window with monthly data loaded, and reading the error tables and the
// closing message.

#include "app/DialogoUnit.h"
#include "ui/Grafico.h"
#include "app/MainUnit.h"
#include "ui/RangoVarUnit.h"
#include "ui/Rejilla.h"
#include "ui/SimExAnteUnit.h"

#include "Ayudas.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLocale>
#include <QMessageBox>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace prueba {

// Answers every modal dialog the window opens while a command runs: message
// dialogs are recorded and closed, the two range dialogs are filled in by the
// test and confirmed or cancelled. Other modal windows (the progress
// indicator) are left alone.
class Contestador : public QObject {
public:
    QStringList mensajes;
    QStringList rechazos; // refusals shown in FormRangoVar
    std::function<bool(TFormRangoVar*)> rango; // fills it in; true: "Aceptar"
    std::function<bool(TFormRangoVar*)> trasRechazo; // after a refusal; none: "Cancelar"
    std::function<bool(TFormSimExAnte*)> exAnte;
    std::function<void()> alMensaje; // looks at the window while a message is up
    QStringList preguntas; // questions asked ("Sí" / "No")
    bool confirmar = false; // the answer to them
    int vecesRango = 0;
    int vecesExAnte = 0;

    Contestador()
    {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Mirar(); });
        timer_.start();
    }

private:
    void Mirar()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* d = qobject_cast<TFormDialogo*>(w)) {
            mensajes << d->Mensaje->text();
            if (alMensaje)
                alMensaje();
            d->BBAceptar->click();
        } else if (auto* r = qobject_cast<TFormRangoVar*>(w)) {
            if (r->LabelError->isVisible()) {
                rechazos << r->LabelError->text();
                const bool otraVez = trasRechazo && trasRechazo(r);
                trasRechazo = nullptr;
                (otraVez ? r->BBAceptar : r->BBCancelar)->click();
                return;
            }
            ++vecesRango;
            const bool aceptar = rango && rango(r);
            (aceptar ? r->BBAceptar : r->BBCancelar)->click();
        } else if (auto* q = qobject_cast<QMessageBox*>(w);
                   q && q->objectName() == QLatin1String("PreguntaConfirmar")) {
            preguntas << q->text();
            const QString boton = confirmar ? QString::fromUtf8("Sí") : QStringLiteral("No");
            for (QAbstractButton* b : q->buttons())
                if (b->text() == boton)
                    b->click();
        } else if (auto* s = qobject_cast<TFormSimExAnte*>(w)) {
            ++vecesExAnte;
            const bool aceptar = exAnte && exAnte(s);
            (aceptar ? s->BBAceptar : s->BBCancelar)->click();
        }
    }
    QTimer timer_;
};

// A positive monthly series with a trend and a season, no two neighbours equal.
inline QString Serie(int n)
{
    static const int estacion[12] = {0, 13, 31, 22, 47, 60, 71, 67, 40, 28, 9, 3};
    return Mensual(n, [](int i) { return 500 + 5 * i + estacion[(i - 1) % 12]; });
}

inline std::unique_ptr<TFormMain> Ventana(const QString& locale)
{
    PonerLocale(locale != QLatin1String("C"));
    return std::unique_ptr<TFormMain>(CrearVentanas());
}

inline void Cargar(TFormMain* w, int n, int reserva = 0)
{
    Control<QPlainTextEdit>(w, "Memo1")->setPlainText(Serie(n));
    w->CargarDatos();
    Control<QSpinBox>(w, "SEPuntosSinUsar")->setValue(reserva);
}

// A window under the locale with n values of Serie loaded.
inline std::unique_ptr<TFormMain> Cargada(const QString& locale, int n, int reserva = 0)
{
    auto w = Ventana(locale);
    Cargar(w.get(), n, reserva);
    return w;
}

template <class W>
tendora::Rejilla* Ajuste(const W& w)
{
    return Control<tendora::Rejilla>(w, "AdvSGErrAjuste");
}

template <class W>
tendora::Rejilla* Acierto(const W& w)
{
    return Control<tendora::Rejilla>(w, "AdvSGErrAcierto");
}

// The lines of a message, whichever line break it uses.
inline QStringList Lineas(const QString& mensaje)
{
    return mensaje.split(QRegularExpression(QStringLiteral("[\r\n]")));
}

// Desde, Hasta and Incremento of one parameter in the range dialog.
inline void Rango(QDoubleSpinBox* desde, QDoubleSpinBox* hasta, QDoubleSpinBox* inc, double d, double h, double i)
{
    desde->setValue(d);
    hasta->setValue(h);
    inc->setValue(i);
}

// Labels written with decimal commas, as under the Spanish settings.
inline QString L(const QString& es)
{
    QString t = es;
    return t.replace(QLatin1Char(','), QLocale().decimalPoint());
}

inline QStringList L(const QStringList& es)
{
    QStringList r;
    for (const QString& s : es)
        r << L(s);
    return r;
}

inline QStringList Etiquetas(const tendora::Rejilla* g)
{
    QStringList r;
    for (int f = 1; f < g->RowCount(); ++f)
        if (!g->Celda(0, f).isEmpty())
            r << g->Celda(0, f);
    return r;
}

// Data rows that hold a label (an empty table still has its one empty row).
inline int Filas(const tendora::Rejilla* g)
{
    return static_cast<int>(Etiquetas(g).size());
}

inline QStringList Comparativas(const TFormMain* w)
{
    QStringList r;
    for (int k = 1; k < Control<tendora::Grafico>(w, "ChartPC")->NumSeries(); ++k)
        r << Control<tendora::Grafico>(w, "ChartPC")->SerieEn(k)->name();
    return r;
}

inline QStringList ConP(const QStringList& etiquetas)
{
    QStringList r;
    for (const QString& e : etiquetas)
        r << QStringLiteral("P ") + e;
    return r;
}

inline QStringList ConSufijo(const QString& base, int desde, int hasta)
{
    QStringList r;
    for (int h = desde; h <= hasta; ++h)
        r << (h > 0 ? base + QStringLiteral(" T-%1").arg(h) : base);
    return r;
}

} // namespace prueba
