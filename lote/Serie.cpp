// SPDX-License-Identifier: GPL-3.0-or-later
#include "lote/Serie.h"

#include "data/Carga.h"
#include "data/FicheroEntrada.h"
#include "data/Importacion.h"
#include "data/LibroCalculo.h"
#include "data/Numeros.h"
#include "models/Sesion.h"

#include <QFileInfo>

#include <charconv>
#include <cmath>

namespace tendora::lote {

namespace {

QString EnLinea(const QString& ruta, int linea, const QString& mensaje)
{
    return QStringLiteral("%1: línea %2: %3").arg(ruta).arg(linea).arg(mensaje);
}

// The data layer words a field that does not convert as the toolkit does, in
// English; here the line is read again to say in Spanish which field it is
// and what was expected. A date out of reach is already told in Spanish.
QString MensajeLectura(const QString& texto, const ErrorLectura& e)
{
    const QStringList lineas = LineasDeTexto(texto);
    const int n = e.Linea();
    if (n >= 1 && n <= lineas.size()) {
        const QString& linea = lineas[n - 1];
        if (linea.trimmed().isEmpty())
            return QStringLiteral("la línea está vacía; se esperaba año, mes y valor separados por tabuladores.");
        const QString nombres[] = {QStringLiteral("el año"), QStringLiteral("el mes"), QStringLiteral("el valor")};
        for (int k = 1; k <= 3; ++k) {
            const QString campo = ExtraerCampo(linea, k);
            if (campo.trimmed().isEmpty())
                return QStringLiteral("falta %1; se esperaba año, mes y valor separados por tabuladores.")
                    .arg(nombres[k - 1]);
            bool bien = true;
            if (k < 3) {
                ConvertirNumero(campo, &bien);
            } else {
                try {
                    TextoAReal(campo);
                } catch (const ErrorConversion&) {
                    bien = false;
                }
            }
            if (!bien)
                return QStringLiteral("se esperaba un número en %1 y se lee «%2».")
                    .arg(nombres[k - 1], TextoLegible(campo));
        }
    }
    // The first line is the message; the second names the line, said already.
    return QString::fromUtf8(e.what()).section(QLatin1Char('\n'), 0, 0);
}

// The message of an import, which starts with where it happened ("Celda B7",
// "Línea 7, columna 3") or names the file itself.
QString MensajeImportacion(const QString& ruta, const QString& mensaje)
{
    QString m = mensaje;
    if (m.startsWith(QStringLiteral("Celda ")) || m.startsWith(QStringLiteral("Línea ")))
        m[0] = m[0].toLower();
    return ruta + QStringLiteral(": ") + m;
}

std::vector<Registro> Importar(const QString& ruta, QStringList* avisos)
{
    try {
        // A pipe, a device or a huge file is refused before it is read.
        ComprobarFicheroEntrada(ruta);
        const QList<Tabla> tablas = LeerParaImportar(ruta);
        // As the import dialog opens: the first sheet with data.
        QString primerError;
        for (const Tabla& t : tablas) {
            Deteccion d;
            try {
                d = Detectar(t);
            } catch (const ErrorImportacion& e) {
                if (primerError.isEmpty())
                    primerError = e.Mensaje();
                continue;
            }
            if (d.forma == FormaFecha::Ninguna)
                throw ErrorSerie{ruta + QStringLiteral(": no se encuentra ninguna columna de fechas; tendora-lote "
                                                       "fecha los meses con ella (importe el fichero en Tendora para "
                                                       "darle un mes de inicio).")};
            std::vector<Registro> registros;
            // No one here to ask how to fill an empty value: it stays an error.
            const Importe importe = ConvertirImporte(t, d, false);
            registros.reserve(importe.meses.size());
            for (const Mes& m : importe.meses)
                registros.push_back(Registro{double(m.anio), double(m.mes), m.valor});
            // Rows left out (a total under the data) are said, as the import dialog says them.
            if (!importe.omitidas.isEmpty() && avisos)
                avisos->append(ruta + QStringLiteral(": aviso: ") + importe.omitidas);
            return registros;
        }
        throw ErrorSerie{MensajeImportacion(ruta, primerError.isEmpty() ? QStringLiteral("No hay datos que importar.")
                                                                        : primerError)};
    } catch (const ErrorImportacion& e) {
        throw ErrorSerie{MensajeImportacion(ruta, e.Mensaje())};
    } catch (const ErrorFicheroEntrada& e) {
        throw ErrorSerie{ruta + QStringLiteral(": ") + e.Mensaje()};
    }
}

bool EsHoja(const QString& ruta)
{
    const QString ext = QFileInfo(ruta).suffix().toLower();
    return ext == QLatin1String("csv") || ext == QLatin1String("tsv") || ext == QLatin1String("xlsx") ||
           ext == QLatin1String("ods");
}

QString Valores(int n)
{
    return n == 1 ? QStringLiteral("1 valor") : QStringLiteral("%1 valores").arg(n);
}

// Why a candidate was passed over, as the core words it ("Descartado: pocos
// datos..."), after a colon; a full stop when there is none.
QString Motivo(const std::string& motivo)
{
    QString m = QString::fromStdString(motivo).trimmed();
    const QString prefijo = QStringLiteral("Descartado:");
    if (m.startsWith(prefijo))
        m = m.mid(prefijo.size()).trimmed();
    if (m.isEmpty())
        return QStringLiteral(".");
    if (!m.endsWith(QLatin1Char('.')))
        m += QLatin1Char('.');
    return QStringLiteral(": ") + m;
}

// No forecast or bound leaves here unless finite.
bool Finitos(const std::vector<double>& f, const std::vector<Intervalo>& iv)
{
    for (double x : f)
        if (!std::isfinite(x))
            return false;
    for (const Intervalo& i : iv)
        if (!std::isfinite(i.Inf80) || !std::isfinite(i.Sup80) || !std::isfinite(i.Inf95) || !std::isfinite(i.Sup95))
            return false;
    return true;
}

} // namespace

std::vector<Registro> LeerSerie(const QString& ruta, QStringList* avisos)
{
    std::vector<Registro> registros;
    if (EsHoja(ruta)) {
        registros = Importar(ruta, avisos);
    } else {
        QString texto;
        try {
            texto = DecodificarTexto(LeerFicheroEntrada(ruta));
        } catch (const ErrorFicheroEntrada& e) {
            throw ErrorSerie{ruta + QStringLiteral(": ") + e.Mensaje()};
        }
        try {
            registros = LeerRegistros(texto);
        } catch (const ErrorLectura& e) {
            throw ErrorSerie{EnLinea(ruta, e.Linea(), MensajeLectura(texto, e))};
        }
    }
    if (registros.empty())
        throw ErrorSerie{ruta + QStringLiteral(": no hay datos.")};
    // Loaded as they are, as the window does; the user is told where the months stop following.
    QString salto;
    if (const int linea = PrimerSalto(registros, &salto); linea > 0 && avisos)
        avisos->append(EnLinea(ruta, linea, QStringLiteral("aviso: la fecha no sigue a la anterior: ") + salto));
    return registros;
}

QByteArray Cabecera()
{
    return QByteArrayLiteral("serie\tanio\tmes\tpaso\tprevision\tinf80\tsup80\tinf95\tsup95\tmodelo\n");
}

void AnadirNumero(QByteArray& b, double x)
{
    if (x == 0.0)
        x = 0.0; // no "-0"
    char texto[32];
    const auto r = std::to_chars(texto, texto + sizeof texto, x);
    b.append(texto, r.ptr - texto);
}

QByteArray PreverSerie(const QString& ruta, const QString& nombre, const std::vector<Registro>& registros,
                       const Peticion& p)
{
    // The history as "Cargar" lays it out, every value used, the forecast rows dated.
    Sesion sesion;
    sesion.PonerHorizonte(p.Horizonte);
    Espacio hist = sesion.Preparar(registros);
    hist.DatosCargados = true;
    const int n = hist.NumDatos;
    const int H = p.Horizonte;
    PrepararFilasPrevision(hist, H);
    if (H == 0)
        return {};

    std::vector<double> f;
    std::vector<Intervalo> iv;
    std::string etiqueta;
    if (p.Modelo < 0) {
        ResultadoAutomatico r = PrevisionAutomatica(hist, H, p.Crit, false);
        if (r.Ganador < 0)
            throw ErrorSerie{
                QStringLiteral("%1: ningún modelo puede prever esta serie (%2)%3")
                    .arg(ruta, Valores(n), Motivo(r.Ranking.empty() ? std::string() : r.Ranking.front().Motivo))};
        if (r.Prevision.empty())
            throw ErrorSerie{QStringLiteral("%1: el modelo elegido, %2, falla con la serie entera.")
                                 .arg(ruta, QString::fromStdString(r.Ranking[size_t(r.Ganador)].Etiqueta))};
        f = std::move(r.Prevision);
        iv = std::move(r.Intervalos);
        etiqueta = r.Ranking[size_t(r.Ganador)].Etiqueta;
    } else {
        Evaluador ev(hist);
        const PlanOrigenes plan = ColocarOrigenes(n, H);
        const Candidato c = AjustarModelo(ev, p.Modelo, plan, H, p.Crit, false);
        const std::string_view cod = CodigoCandidato(p.Modelo);
        const QString codigo = QString::fromUtf8(cod.data(), qsizetype(cod.size()));
        if (!c.Valido)
            throw ErrorSerie{QStringLiteral("%1: el modelo %2 no puede prever esta serie (%3)%4")
                                 .arg(ruta, codigo, Valores(n), Motivo(c.Motivo))};
        f = PreverCandidato(ev, c, H);
        if (f.empty())
            throw ErrorSerie{QStringLiteral("%1: el modelo %2 falla con la serie entera.").arg(ruta, codigo)};
        iv = IntervalosPrevision(ev, c.Errores, f, false);
        etiqueta = c.Etiqueta;
    }
    if (f.size() != size_t(H) || iv.size() != size_t(H) || !Finitos(f, iv))
        throw ErrorSerie{ruta + QStringLiteral(": la previsión no da un número finito para cada mes.")};

    const QByteArray serie = nombre.toUtf8();
    QByteArray filas;
    filas.reserve(H * 120);
    for (int k = 1; k <= H; ++k) {
        const Intervalo& i = iv[size_t(k - 1)];
        filas += serie;
        filas += '\t';
        AnadirNumero(filas, hist.V(n + k, ColAnio));
        filas += '\t';
        AnadirNumero(filas, hist.V(n + k, ColMes));
        filas += '\t';
        filas += QByteArray::number(k);
        for (double x : {f[size_t(k - 1)], i.Inf80, i.Sup80, i.Inf95, i.Sup95}) {
            filas += '\t';
            AnadirNumero(filas, x);
        }
        filas += '\t';
        filas.append(etiqueta.data(), qsizetype(etiqueta.size()));
        filas += '\n';
    }
    return filas;
}

} // namespace tendora::lote
