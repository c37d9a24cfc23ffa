// SPDX-License-Identifier: GPL-3.0-or-later
// "Edición": undo and redo of the commands that change or discard the user's
// work. Each keeps the whole state before it; undo swaps it with the state
// now, which redo brings back, so runs made after the command are not lost.
#include "app/Instantanea.h"
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "ui/PaginasGraficos.h"
#include "ui/Rejilla.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>

using namespace tendora;

namespace {

// What a command may change, compared before and after it: a command that
// changed none of it leaves nothing to undo.
struct Huella {
    QString texto, fichero, cargado;
    long long corridas = 0;
    int filasAjuste = 0, filasAcierto = 0;
    size_t comparativas = 0;
    bool prevision = false;
    const void* datos = nullptr;
    bool operator==(const Huella&) const = default;
};

} // namespace

std::unique_ptr<TFormMain::Instantanea> TFormMain::Capturar(const QString& orden) const
{
    auto i = std::make_unique<Instantanea>();
    i->orden = orden;
    i->texto = Memo1->toPlainText();
    i->fichero = FicheroDatos;
    i->nombre = NombreSerie;
    i->textoGuardado = TextoGuardado;
    i->textoCargado = TextoCargado;
    i->sesion = SesionActual.Guardar();
    i->ajuste = TablasErr.Ajuste()->Modelo()->CopiarFilas();
    i->acierto = TablasErr.Acierto()->Modelo()->CopiarFilas();
    i->comparativas = Graficos->SeriesComparativas();
    i->tablaConPrevision = TablaConPrevision;
    return i;
}

void TFormMain::Reponer(Instantanea&& i)
{
    FicheroDatos = i.fichero;
    NombreSerie = i.nombre;
    LabelFichero->setText(i.fichero.isEmpty() ? QString()
                                              : QStringLiteral("     ") + QDir::toNativeSeparators(i.fichero));
    if (Memo1->toPlainText() != i.texto)
        PonerTextoDatos(i.texto);
    TextoGuardado = i.textoGuardado;
    TextoCargado = i.textoCargado;
    SesionActual.Reponer(std::move(i.sesion));
    TablasErr.Ajuste()->Modelo()->ReponerFilas(std::move(i.ajuste));
    TablasErr.Acierto()->Modelo()->ReponerFilas(std::move(i.acierto));
    TablasErr.AutoajustarTablas();
    TablaConPrevision = i.tablaConPrevision;
    MostrarSesion();
    Graficos->PonerSeriesComparativas(i.comparativas);
    AplicarMostrarAjuste();
    ActualizarTitulo();
}

void TFormMain::Deshacible(const QString& nombre, const std::function<void()>& orden)
{
    const auto huella = [this] {
        return Huella{Memo1->toPlainText(),
                      FicheroDatos,
                      TextoCargado,
                      SesionActual.Corridas().Tamano(),
                      TablasErr.Ajuste()->RowCount(),
                      TablasErr.Acierto()->RowCount(),
                      Graficos->SeriesComparativas().size(),
                      TablaConPrevision,
                      Ws.TablaPrev.data()};
    };
    const Huella h = huella();
    std::unique_ptr<Instantanea> antes = Capturar(nombre);
    auto guardar = [&] {
        if (huella() == h)
            return;
        deshacer_.push_back(std::move(antes));
        if (int(deshacer_.size()) > NivelesDeshacer)
            deshacer_.erase(deshacer_.begin());
        rehacer_.clear();
        ActualizarDeshacer();
    };
    try {
        orden();
    } catch (...) {
        guardar();
        throw;
    }
    guardar();
}

// The state on top of one stack put in place, the state now onto the other.
void TFormMain::Intercambiar(std::vector<std::unique_ptr<Instantanea>>& desde,
                             std::vector<std::unique_ptr<Instantanea>>& hacia, bool rehacer)
{
    if (desde.empty())
        return;
    std::unique_ptr<Instantanea> i = std::move(desde.back());
    desde.pop_back();
    hacia.push_back(Capturar(i->orden));
    const QString orden = i->orden;
    Reponer(std::move(*i));
    Estado->Deshecho(orden, rehacer);
    ActualizarDeshacer();
}

void TFormMain::Deshacer1Click()
{
    Intercambiar(deshacer_, rehacer_, false);
}

void TFormMain::Rehacer1Click()
{
    Intercambiar(rehacer_, deshacer_, true);
}

void TFormMain::ActualizarDeshacer()
{
    Deshacer1->setEnabled(!deshacer_.empty());
    Deshacer1->setText(deshacer_.empty() ? QStringLiteral("&Deshacer")
                                         : QStringLiteral("&Deshacer ") + deshacer_.back()->orden);
    Rehacer1->setEnabled(!rehacer_.empty());
    Rehacer1->setText(rehacer_.empty() ? QStringLiteral("&Rehacer")
                                       : QStringLiteral("&Rehacer ") + rehacer_.back()->orden);
}
