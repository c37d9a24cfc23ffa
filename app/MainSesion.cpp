// SPDX-License-Identifier: GPL-3.0-or-later
// "Guardar sesión..." and "Abrir sesión...": the whole work in one .tendora
// file; "Recientes", the last folder of each file dialog and the window's
// size, remembered between runs.
#include "app/Instantanea.h"
#include "app/MainUnit.h"

#include "app/BarraEstado.h"
#include "app/DialogoUnit.h"
#include "data/Carga.h"
#include "data/EscrituraSegura.h"
#include "data/FicheroEntrada.h"
#include "data/FicheroSesion.h"
#include "ui/Modal.h"
#include "ui/PaginaSeleccion.h"
#include "ui/PaginasGraficos.h"
#include "ui/Rejilla.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>

#include <cmath>

using namespace tendora;

namespace {

constexpr int MaximoRecientes = 8;

QFileDialog* DialogoSesion(QWidget* dueno, const char* nombre, const QString& titulo, bool guardar)
{
    auto* d = new QFileDialog(dueno, titulo);
    d->setObjectName(QLatin1String(nombre));
    d->setOption(QFileDialog::DontUseNativeDialog, true);
    d->setNameFilters({QStringLiteral("Sesión de Tendora (*.tendora)"), QStringLiteral("Todos los ficheros (*)")});
    // Both session dialogs go where sessions were last opened or saved.
    d->setProperty("carpeta", QStringLiteral("Sesiones"));
    if (guardar) {
        d->setAcceptMode(QFileDialog::AcceptSave);
        d->setFileMode(QFileDialog::AnyFile);
        d->setDefaultSuffix(QStringLiteral("tendora"));
        d->setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        d->setAcceptMode(QFileDialog::AcceptOpen);
        d->setFileMode(QFileDialog::ExistingFile);
    }
    return d;
}

QString Utf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

// ---------------------------------------------------------------- remembered settings

QSettings* TFormMain::Ajustes()
{
    static QSettings* ajustes = nullptr;
    if (!ajustes) {
        // TENDORA_AJUSTES names another file (the tests' own).
        const QString otro = qEnvironmentVariable("TENDORA_AJUSTES");
        ajustes = otro.isEmpty() ? new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tendora"),
                                                 QStringLiteral("Tendora"), qApp)
                                 : new QSettings(otro, QSettings::IniFormat, qApp);
    }
    return ajustes;
}

namespace {

QString ClaveCarpeta(const QFileDialog* d)
{
    const QString propia = d->property("carpeta").toString();
    return QStringLiteral("carpetas/") + (propia.isEmpty() ? d->objectName() : propia);
}

} // namespace

void TFormMain::PonerCarpeta(QFileDialog* d, const QString& porDefecto)
{
    const QString guardada = Ajustes()->value(ClaveCarpeta(d)).toString();
    const QString dir = !guardada.isEmpty() && QFileInfo(guardada).isDir() ? guardada : porDefecto;
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        d->setDirectory(dir);
}

void TFormMain::RecordarCarpeta(QFileDialog* d, const QString& fichero)
{
    Ajustes()->setValue(ClaveCarpeta(d), QFileInfo(fichero).absolutePath());
}

void TFormMain::RecordarVentana()
{
    Ajustes()->setValue(QStringLiteral("ventana/geometria"), saveGeometry());
    Ajustes()->setValue(QStringLiteral("ventana/maximizada"), isMaximized());
}

QStringList TFormMain::Recientes() const
{
    return Ajustes()->value(QStringLiteral("recientes")).toStringList();
}

void TFormMain::AnadirReciente(const QString& ruta)
{
    QStringList r = Recientes();
    const QString absoluta = QFileInfo(ruta).absoluteFilePath();
    r.removeAll(absoluta);
    r.prepend(absoluta);
    while (r.size() > MaximoRecientes)
        r.removeLast();
    Ajustes()->setValue(QStringLiteral("recientes"), r);
    LlenarRecientes();
}

void TFormMain::LlenarRecientes()
{
    Recientes1->clear();
    const QStringList r = Recientes();
    int k = 0;
    for (const QString& ruta : r) {
        // "&1 serie.txt" with the folder in the tip: the names are what the user remembers.
        QAction* a = Recientes1->addAction(QStringLiteral("&%1 %2").arg(++k).arg(QFileInfo(ruta).fileName()));
        a->setObjectName(QStringLiteral("Reciente%1").arg(k));
        a->setToolTip(QDir::toNativeSeparators(ruta));
        a->setStatusTip(QDir::toNativeSeparators(ruta));
        connect(a, &QAction::triggered, this, [this, ruta] { Proteger([this, ruta] { AbrirReciente(ruta); }); });
    }
    Recientes1->setEnabled(!r.isEmpty());
}

void TFormMain::AbrirReciente(const QString& ruta)
{
    if (!QFileInfo(ruta).isFile()) {
        QStringList r = Recientes();
        r.removeAll(ruta);
        Ajustes()->setValue(QStringLiteral("recientes"), r);
        LlenarRecientes();
        MostrarInformacion(
            QStringLiteral("No se encuentra «%1»: se quita de Recientes.").arg(QDir::toNativeSeparators(ruta)));
        return;
    }
    const QString ext = QFileInfo(ruta).suffix().toLower();
    if (ext == QLatin1String("tendora"))
        AbrirSesion(ruta);
    else if (ext == QLatin1String("csv") || ext == QLatin1String("tsv") || ext == QLatin1String("xlsx") ||
             ext == QLatin1String("ods"))
        ImportarFichero(ruta);
    else
        AbrirFichero(ruta);
}

// ---------------------------------------------------------------- sessions

void TFormMain::Guardarsesion1Click()
{
    Proteger([this] {
        std::unique_ptr<QFileDialog> d(
            DialogoSesion(this, "SaveSesionDialog1", QStringLiteral("Guardar sesión"), true));
        PonerCarpeta(d.get(), FicheroDatos.isEmpty() ? QString() : QFileInfo(FicheroDatos).absolutePath());
        if (!FicheroDatos.isEmpty())
            d->selectFile(QFileInfo(FicheroDatos).completeBaseName() + QStringLiteral(".tendora"));
        if (EjecutarModal(d.get()) != QDialog::Accepted || d->selectedFiles().isEmpty())
            return;
        const QString ruta = d->selectedFiles().constFirst();
        RecordarCarpeta(d.get(), ruta);
        GuardarSesion(ruta);
    });
}

void TFormMain::Abrirsesion1Click()
{
    Proteger([this] {
        std::unique_ptr<QFileDialog> d(DialogoSesion(this, "OpenSesionDialog1", QStringLiteral("Abrir sesión"), false));
        PonerCarpeta(d.get(), DirEjemplos);
        if (EjecutarModal(d.get()) != QDialog::Accepted || d->selectedFiles().isEmpty())
            return;
        const QString ruta = d->selectedFiles().constFirst();
        RecordarCarpeta(d.get(), ruta);
        AbrirSesion(ruta);
    });
}

void TFormMain::GuardarSesion(const QString& ruta)
{
    EscribirFicheroSeguro(ruta, EscribirSesion(DatosDeSesion()));
    AnadirReciente(ruta);
    Estado->SesionGuardada(ruta);
}

void TFormMain::AbrirSesion(const QString& ruta)
{
    DatosSesion d;
    try {
        d = LeerSesion(LeerFicheroEntrada(ruta));
    } catch (const ErrorSesion& e) {
        MostrarDialogo(this, TFormDialogo::Aviso,
                       QStringLiteral("«%1»: %2").arg(QFileInfo(ruta).fileName(), e.Mensaje()));
        return;
    }
    try {
        Deshacible(QStringLiteral("Abrir sesión"), [this, &d] { PonerSesion(d); });
    } catch (const ErrorSesion& e) {
        MostrarDialogo(this, TFormDialogo::Aviso,
                       QStringLiteral("«%1»: %2").arg(QFileInfo(ruta).fileName(), e.Mensaje()));
        return;
    }
    AnadirReciente(ruta);
    Estado->SesionAbierta(ruta, avisoSesion_);
}

DatosSesion TFormMain::DatosDeSesion() const
{
    DatosSesion d;
    d.texto = Memo1->toPlainText();
    d.fichero = FicheroDatos;
    d.nombre = NombreSerie;
    d.guardado = TextoGuardado;
    d.cargado = SesionActual.DatosCargados();
    d.textoCargado = d.cargado ? TextoCargado : QString();
    d.modelo = SesionActual.ModeloSeleccionado();
    d.param = SesionActual.Todos();
    d.reserva = SesionActual.PuntosSinUsar();
    d.intervalos = SesionActual.Intervalos();
    d.criterio = SesionActual.CriterioAutomatico();
    d.prevision = TablaConPrevision;
    const ResultadoAutomatico& r = SesionActual.UltimaSeleccion();
    if (!SesionActual.EtiquetaCandidato().empty())
        for (size_t k = 0; k < r.Ranking.size(); ++k)
            if (r.Ranking[k].Valido && r.Ranking[k].Etiqueta == SesionActual.EtiquetaCandidato())
                d.candidato = int(k);
    const RegistroCorridas& log = SesionActual.Corridas();
    d.corridas.reserve(size_t(log.Tamano()));
    for (long long k = 0; k < log.Tamano(); ++k)
        d.corridas.push_back(log[k]);
    // Rows left out by "Borrar tabla": the entries before the first one shown.
    const auto desde = [](const Rejilla* g) {
        const ModeloRejilla::Filas f = g->Modelo()->CopiarFilas();
        return f.fuente && !f.ordenado ? f.base : 0LL;
    };
    d.desdeAjuste = desde(TablasErr.Ajuste());
    d.desdeAcierto = desde(TablasErr.Acierto());
    for (const Grafico::SerieGuardada& g : Graficos->SeriesComparativas()) {
        SerieSesion s{g.titulo, g.estilo.color.name(), g.estilo.ancho, g.visible, {}};
        if (g.puntos)
            for (const PuntoGrafico& p : *g.puntos)
                s.puntos.push_back({p.x, p.y, p.etiqueta, p.nulo});
        d.comparativas.push_back(std::move(s));
    }
    if (!r.Ranking.empty()) {
        d.conClasificacion = true;
        // The criterion asked for: the one ranked by may stand in for it.
        d.criterioClasificacion = r.CriterioSustituido ? Criterio::sMAPE : r.Crit;
        for (const Candidato& c : r.Ranking)
            d.clasificacion.push_back({Utf8(c.Etiqueta), c.Valido ? c.Valor : std::nan("")});
    }
    return d;
}

void TFormMain::PonerSesion(const DatosSesion& d)
{
    // Whatever can fail runs first: the history read from its text and drawn.
    Espacio nuevo;
    std::function<void()> dibujar;
    if (d.cargado) {
        std::vector<Registro> registros;
        try {
            registros = LeerRegistros(d.textoCargado);
        } catch (const ErrorLectura& e) {
            throw ErrorSesion(QStringLiteral("El texto de datos cargado de la sesión no se lee: %1")
                                  .arg(QString::fromUtf8(e.what())));
        }
        if (registros.empty())
            throw ErrorSesion(QStringLiteral("El texto de datos cargado de la sesión está vacío."));
        nuevo = SesionActual.Preparar(registros);
        dibujar = PrepararGraficos(nuevo, false);
    }

    avisoSesion_.clear();
    ReiniciarArrastre();
    FicheroDatos = d.fichero;
    NombreSerie = d.nombre;
    LabelFichero->setText(d.fichero.isEmpty() ? QString()
                                              : QStringLiteral("     ") + QDir::toNativeSeparators(d.fichero));
    PonerTextoDatos(d.texto);
    TextoGuardado = d.guardado;
    TextoCargado = d.cargado ? d.textoCargado : QString();
    SesionActual.Reponer(Sesion::Estado{});
    TablaConPrevision = false;
    const auto ajustes = [this, &d] {
        SesionActual.PonerHorizonte(d.param.V);
        SesionActual.PonerPrevisionesNegativas(d.param.PrevNeg);
        for (ValorModelo v : {ValorModelo::N, ValorModelo::AlfaLE, ValorModelo::AlfaTHT, ValorModelo::AlfaHLT,
                              ValorModelo::BetaHLT, ValorModelo::PhiHW, ValorModelo::AlfaCroston})
            SesionActual.PonerValor(v, Valor(d.param, v));
        SesionActual.SeleccionarModelo(d.modelo);
        SesionActual.PonerPuntosSinUsar(d.reserva);
        SesionActual.PonerIntervalos(d.intervalos);
        SesionActual.PonerCriterioAutomatico(d.criterio);
    };
    ajustes();
    if (d.cargado) {
        SesionActual.Adoptar(std::move(nuevo));
        ajustes();
        // The ranking is worked out again from the same history and settings,
        // and checked against the one kept.
        if (d.conClasificacion) {
            const ResultadoAutomatico& r = SesionActual.PrevisionAutomatica(d.criterioClasificacion);
            bool igual = r.Ranking.size() == d.clasificacion.size();
            for (size_t k = 0; igual && k < r.Ranking.size(); ++k) {
                const double v = r.Ranking[k].Valido ? r.Ranking[k].Valor : std::nan("");
                const double g = d.clasificacion[k].valor;
                igual = Utf8(r.Ranking[k].Etiqueta) == d.clasificacion[k].etiqueta &&
                        (std::isnan(v) ? std::isnan(g) : std::fabs(v - g) <= 1e-9 * std::max(1.0, std::fabs(g)));
            }
            if (!igual)
                avisoSesion_ = QStringLiteral("la selección automática calculada de nuevo no es la guardada");
            ajustes();
        }
        if (d.candidato >= 0 && SesionActual.AplicarCandidato(d.candidato)) {
            ajustes();
            TablaConPrevision = true;
        } else if (d.prevision) {
            try {
                SesionActual.Calcular();
                TablaConPrevision = true;
            } catch (const std::exception& e) {
                avisoSesion_ = QStringLiteral("la previsión guardada no se puede calcular: %1").arg(Utf8(e.what()));
            }
        }
        // The log as it was kept, in place of the runs just made.
        RegistroCorridas log;
        for (const Corrida& c : d.corridas)
            log.Anadir(c);
        SesionActual.Corridas().Reponer(log.Copia());
    }
    // Each table a view of the log again (Borrar), from the entry it showed first.
    const auto mostrarDesde = [](Rejilla* g, long long desde, long long total) {
        g->Borrar();
        ModeloRejilla::Filas f = g->Modelo()->CopiarFilas();
        f.base = desde;
        f.filas = int(std::max(total - desde, 1LL));
        g->Modelo()->ReponerFilas(std::move(f));
    };
    mostrarDesde(TablasErr.Ajuste(), d.desdeAjuste, SesionActual.Corridas().Tamano());
    mostrarDesde(TablasErr.Acierto(), d.desdeAcierto, SesionActual.Corridas().TamanoAciertos());
    TablasErr.AutoajustarTablas();
    if (dibujar)
        dibujar();
    MostrarSesion();

    std::vector<Grafico::SerieGuardada> series;
    int k = 0;
    for (const SerieSesion& s : d.comparativas) {
        Grafico::SerieGuardada g;
        g.nombre = QStringLiteral("SerieComparativa%1").arg(++k);
        g.titulo = s.titulo;
        g.estilo.color = QColor(s.color);
        g.estilo.ancho = s.ancho;
        g.visible = s.visible;
        g.puntos = std::make_shared<std::vector<PuntoGrafico>>();
        for (const PuntoSesion& p : s.puntos)
            g.puntos->push_back({p.x, p.y, p.etiqueta, QColor(), p.nulo});
        series.push_back(std::move(g));
    }
    Graficos->PonerSeriesComparativas(series);
    AplicarMostrarAjuste();
    ActualizarTitulo();
}
