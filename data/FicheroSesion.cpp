// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/FicheroSesion.h"

#include "models/Catalogo.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace tendora {

namespace {

const QByteArray kCabecera = QByteArrayLiteral("TENDORA-SESION");

constexpr std::pair<ValorModelo, const char*> kValores[] = {
    {ValorModelo::N, "N"},
    {ValorModelo::AlfaLE, "AlfaLE"},
    {ValorModelo::AlfaTHT, "AlfaTHT"},
    {ValorModelo::AlfaHLT, "AlfaHLT"},
    {ValorModelo::BetaHLT, "BetaHLT"},
    {ValorModelo::PhiHW, "PhiHW"},
    {ValorModelo::AlfaCroston, "AlfaCroston"},
};

QJsonValue Numero(double x)
{
    return std::isfinite(x) ? QJsonValue(x) : QJsonValue();
}

QJsonArray Medidas(const MedidasCorrida& m)
{
    QJsonArray a;
    for (int i = 0; i < NumMedidas; ++i)
        a.append(Numero(m.Datos()[i]));
    return a;
}

QString NombreDe(Criterio c)
{
    const std::string_view n = NombreCriterio(c);
    return QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size()));
}

// Reading: every field checked, and the message says which.
class Lector {
public:
    [[noreturn]] static void Danado(const QString& donde, const QString& que)
    {
        throw ErrorSesion(QStringLiteral("El fichero de sesión está dañado: %1 %2.").arg(donde, que));
    }
    static QJsonValue Campo(const QJsonObject& o, const char* nombre, const QString& donde)
    {
        const QJsonValue v = o.value(QLatin1String(nombre));
        if (v.isUndefined())
            Danado(donde, QStringLiteral("no tiene «%1»").arg(QLatin1String(nombre)));
        return v;
    }
    // A field of one JSON type; que names the type in the message.
    static QJsonValue De(const QJsonObject& o, const char* nombre, const QString& donde, QJsonValue::Type tipo,
                         const char* que)
    {
        const QJsonValue v = Campo(o, nombre, donde);
        if (v.type() != tipo)
            Danado(donde, QStringLiteral("tiene «%1» que no es %2").arg(QLatin1String(nombre), QString::fromUtf8(que)));
        return v;
    }
    static QJsonObject Objeto(const QJsonObject& o, const char* nombre, const QString& donde)
    {
        return De(o, nombre, donde, QJsonValue::Object, "un objeto").toObject();
    }
    static QJsonArray Lista(const QJsonObject& o, const char* nombre, const QString& donde)
    {
        return De(o, nombre, donde, QJsonValue::Array, "una lista").toArray();
    }
    static QString Texto(const QJsonObject& o, const char* nombre, const QString& donde)
    {
        return De(o, nombre, donde, QJsonValue::String, "un texto").toString();
    }
    static bool Logico(const QJsonObject& o, const char* nombre, const QString& donde)
    {
        return De(o, nombre, donde, QJsonValue::Bool, "true ni false").toBool();
    }
    // A finite number; null gives NaN where nulo allows it.
    static double Real(const QJsonValue& v, const QString& donde, bool nulo = false)
    {
        if (nulo && v.isNull())
            return std::nan("");
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            Danado(donde, QStringLiteral("tiene un valor que no es un número"));
        return v.toDouble();
    }
    static long long Entero(const QJsonObject& o, const char* nombre, const QString& donde, long long desde,
                            long long hasta)
    {
        const double x = Real(Campo(o, nombre, donde), donde);
        if (x != std::floor(x) || x < double(desde) || x > double(hasta))
            Danado(donde,
                   QStringLiteral("tiene «%1» fuera de %2..%3").arg(QLatin1String(nombre)).arg(desde).arg(hasta));
        return static_cast<long long>(x);
    }
    static Criterio DeCriterio(const QString& n, const QString& donde)
    {
        for (Criterio c : {Criterio::MASE, Criterio::sMAPE, Criterio::RMSE})
            if (NombreDe(c) == n)
                return c;
        Danado(donde, QStringLiteral("nombra el criterio «%1», que no existe").arg(n));
    }
    static MedidasCorrida DeMedidas(const QJsonValue& v, double desv, const QString& donde)
    {
        if (!v.isArray() || v.toArray().size() != NumMedidas)
            Danado(donde, QStringLiteral("no tiene %1 medidas").arg(NumMedidas));
        double m[NumMedidas];
        const QJsonArray a = v.toArray();
        for (int i = 0; i < NumMedidas; ++i)
            m[i] = Real(a[i], donde, true);
        return MedidasCorrida(m, desv);
    }
};

QJsonObject Escribir(const DatosSesion& d)
{
    QJsonObject datos{{"texto", d.texto}, {"fichero", d.fichero}, {"nombre", d.nombre}, {"guardado", d.guardado}};
    datos.insert("cargado", d.cargado ? QJsonValue(d.textoCargado) : QJsonValue());

    QJsonObject valores;
    for (const auto& [v, n] : kValores)
        valores.insert(QLatin1String(n), Valor(d.param, v));
    valores.insert("BetaTSB", d.param.BetaTSB);
    const QJsonObject modelo{{"modelo", d.modelo},
                             {"valores", valores},
                             {"horizonte", d.param.V},
                             {"negativas", d.param.PrevNeg},
                             {"reserva", d.reserva},
                             {"intervalos", d.intervalos},
                             {"criterio", NombreDe(d.criterio)}};

    QJsonArray corridas;
    for (const Corrida& c : d.corridas) {
        QJsonArray leidos;
        for (ValorModelo v : ValoresDe(c.Modelo))
            leidos.append(Valor(c.Param, v));
        QJsonObject o{{"modelo", c.Modelo},
                      {"valores", leidos},
                      {"horizonte", c.Param.V},
                      {"negativas", c.Param.PrevNeg},
                      {"origen", c.Origen},
                      {"ajuste", Medidas(c.Ajuste)},
                      {"desvAjuste", Numero(c.Ajuste.DesvRelativa())}};
        if (c.Acierto) {
            o.insert("acierto", Medidas(*c.Acierto));
            o.insert("desvAcierto", Numero(c.Acierto->DesvRelativa()));
        }
        corridas.append(o);
    }

    QJsonArray comparativas;
    for (const SerieSesion& s : d.comparativas) {
        QJsonArray puntos;
        for (const PuntoSesion& p : s.puntos)
            puntos.append(QJsonArray{p.x, p.y, p.etiqueta, p.nulo});
        comparativas.append(QJsonObject{
            {"titulo", s.titulo}, {"color", s.color}, {"ancho", s.ancho}, {"visible", s.visible}, {"puntos", puntos}});
    }

    QJsonObject r{{"version", VersionSesion},
                  {"datos", datos},
                  {"modelo", modelo},
                  {"prevision", QJsonObject{{"mostrada", d.prevision}, {"candidato", d.candidato}}},
                  {"corridas", corridas},
                  {"tablas", QJsonObject{{"ajusteDesde", d.desdeAjuste}, {"aciertoDesde", d.desdeAcierto}}},
                  {"comparativas", comparativas}};
    if (d.conClasificacion) {
        QJsonArray filas;
        for (const FilaClasificacion& f : d.clasificacion)
            filas.append(QJsonObject{{"etiqueta", f.etiqueta}, {"valor", Numero(f.valor)}});
        r.insert("clasificacion", QJsonObject{{"criterio", NombreDe(d.criterioClasificacion)}, {"candidatos", filas}});
    }
    return r;
}

DatosSesion Leer(const QJsonObject& raiz)
{
    using L = Lector;
    DatosSesion d;
    const QString enRaiz = QStringLiteral("el fichero");
    const QString enDatos = QStringLiteral("la parte «datos»");
    const QJsonObject datos = L::Objeto(raiz, "datos", enRaiz);
    d.texto = L::Texto(datos, "texto", enDatos);
    d.fichero = L::Texto(datos, "fichero", enDatos);
    d.nombre = L::Texto(datos, "nombre", enDatos);
    d.guardado = L::Texto(datos, "guardado", enDatos);
    const QJsonValue cargado = L::Campo(datos, "cargado", enDatos);
    if (!cargado.isNull() && !cargado.isString())
        L::Danado(enDatos, QStringLiteral("tiene «cargado» que no es un texto"));
    d.cargado = cargado.isString();
    d.textoCargado = cargado.toString();

    const QString enModelo = QStringLiteral("la parte «modelo»");
    const QJsonObject modelo = L::Objeto(raiz, "modelo", enRaiz);
    d.modelo = int(L::Entero(modelo, "modelo", enModelo, 0, 11));
    const QJsonObject valores = L::Objeto(modelo, "valores", enModelo);
    for (const auto& [v, n] : kValores)
        PonerValor(d.param, v, L::Real(L::Campo(valores, n, enModelo), enModelo));
    d.param.BetaTSB = L::Real(L::Campo(valores, "BetaTSB", enModelo), enModelo);
    d.param.V = int(L::Entero(modelo, "horizonte", enModelo, 0, 999));
    d.param.PrevNeg = L::Logico(modelo, "negativas", enModelo);
    d.reserva = int(L::Entero(modelo, "reserva", enModelo, 0, 1 << 30));
    d.intervalos = L::Logico(modelo, "intervalos", enModelo);
    d.criterio = L::DeCriterio(L::Texto(modelo, "criterio", enModelo), enModelo);

    const QString enPrevision = QStringLiteral("la parte «prevision»");
    const QJsonObject prevision = L::Objeto(raiz, "prevision", enRaiz);
    d.prevision = L::Logico(prevision, "mostrada", enPrevision);
    d.candidato = int(L::Entero(prevision, "candidato", enPrevision, -1, 1 << 20));

    const QJsonArray corridas = L::Lista(raiz, "corridas", enRaiz);
    d.corridas.reserve(size_t(corridas.size()));
    for (qsizetype k = 0; k < corridas.size(); ++k) {
        const QString donde = QStringLiteral("la corrida %1").arg(k + 1);
        if (!corridas[k].isObject())
            L::Danado(donde, QStringLiteral("no es un objeto"));
        const QJsonObject o = corridas[k].toObject();
        Corrida c;
        c.Modelo = int(L::Entero(o, "modelo", donde, 0, 11));
        const QJsonArray leidos = L::Lista(o, "valores", donde);
        if (leidos.size() != ValoresDe(c.Modelo).n)
            L::Danado(donde, QStringLiteral("no tiene los valores de su modelo"));
        int i = 0;
        for (ValorModelo v : ValoresDe(c.Modelo))
            PonerValor(c.Param, v, L::Real(leidos[i++], donde));
        c.Param.V = int(L::Entero(o, "horizonte", donde, 0, 999));
        c.Param.PrevNeg = L::Logico(o, "negativas", donde);
        c.Origen = int(L::Entero(o, "origen", donde, 0, 1 << 30));
        const double desv = L::Real(L::Campo(o, "desvAjuste", donde), donde, true);
        c.Ajuste = L::DeMedidas(L::Campo(o, "ajuste", donde), std::isnan(desv) ? 0.0 : desv, donde);
        if (o.contains(QLatin1String("acierto"))) {
            const double da = L::Real(L::Campo(o, "desvAcierto", donde), donde, true);
            c.Acierto = L::DeMedidas(o.value(QLatin1String("acierto")), std::isnan(da) ? 0.0 : da, donde);
        }
        d.corridas.push_back(std::move(c));
    }

    const QString enTablas = QStringLiteral("la parte «tablas»");
    const QJsonObject tablas = L::Objeto(raiz, "tablas", enRaiz);
    long long aciertos = 0;
    for (const Corrida& c : d.corridas)
        aciertos += c.Acierto ? 1 : 0;
    d.desdeAjuste = L::Entero(tablas, "ajusteDesde", enTablas, 0, static_cast<long long>(d.corridas.size()));
    d.desdeAcierto = L::Entero(tablas, "aciertoDesde", enTablas, 0, aciertos);

    const QJsonArray comparativas = L::Lista(raiz, "comparativas", enRaiz);
    static const QRegularExpression color(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    for (qsizetype k = 0; k < comparativas.size(); ++k) {
        const QString donde = QStringLiteral("la serie comparativa %1").arg(k + 1);
        if (!comparativas[k].isObject())
            L::Danado(donde, QStringLiteral("no es un objeto"));
        const QJsonObject o = comparativas[k].toObject();
        SerieSesion s;
        s.titulo = L::Texto(o, "titulo", donde);
        s.color = L::Texto(o, "color", donde);
        if (!color.match(s.color).hasMatch())
            L::Danado(donde, QStringLiteral("tiene un color que no es #rrggbb"));
        s.ancho = L::Real(L::Campo(o, "ancho", donde), donde);
        if (s.ancho <= 0 || s.ancho > 50)
            L::Danado(donde, QStringLiteral("tiene un ancho fuera de 0..50"));
        s.visible = L::Logico(o, "visible", donde);
        for (const QJsonValue& p : L::Lista(o, "puntos", donde)) {
            const QJsonArray a = p.toArray();
            if (!p.isArray() || a.size() != 4 || !a[2].isString() || !a[3].isBool())
                L::Danado(donde, QStringLiteral("tiene un punto que no es [x, y, etiqueta, nulo]"));
            s.puntos.push_back({L::Real(a[0], donde), L::Real(a[1], donde), a[2].toString(), a[3].toBool()});
        }
        d.comparativas.push_back(std::move(s));
    }

    if (raiz.contains(QLatin1String("clasificacion"))) {
        const QString donde = QStringLiteral("la parte «clasificacion»");
        const QJsonObject o = L::Objeto(raiz, "clasificacion", enRaiz);
        d.conClasificacion = true;
        d.criterioClasificacion = L::DeCriterio(L::Texto(o, "criterio", donde), donde);
        for (const QJsonValue& f : L::Lista(o, "candidatos", donde)) {
            if (!f.isObject())
                L::Danado(donde, QStringLiteral("tiene un candidato que no es un objeto"));
            const QJsonObject fo = f.toObject();
            d.clasificacion.push_back(
                {L::Texto(fo, "etiqueta", donde), L::Real(L::Campo(fo, "valor", donde), donde, true)});
        }
    }
    return d;
}

} // namespace

QByteArray EscribirSesion(const DatosSesion& d)
{
    const QByteArray cuerpo = QJsonDocument(Escribir(d)).toJson(QJsonDocument::Compact);
    const QByteArray suma = QCryptographicHash::hash(cuerpo, QCryptographicHash::Sha256).toHex();
    return kCabecera + ' ' + QByteArray::number(VersionSesion) + ' ' + suma + '\n' + cuerpo;
}

DatosSesion LeerSesion(const QByteArray& bytes)
{
    const qsizetype fin = bytes.indexOf('\n');
    const QList<QByteArray> cabecera = bytes.left(fin < 0 ? 0 : fin).trimmed().split(' ');
    if (fin < 0 || cabecera.size() != 3 || cabecera[0] != kCabecera)
        throw ErrorSesion(QStringLiteral("No es un fichero de sesión de Tendora: la línea 1 debe empezar por "
                                         "«TENDORA-SESION»."));
    bool ok = false;
    const int version = cabecera[1].toInt(&ok);
    if (!ok || version < 1)
        throw ErrorSesion(QStringLiteral("El fichero de sesión está dañado: la línea 1 no da una versión."));
    if (version > VersionSesion)
        throw ErrorSesion(QStringLiteral("El fichero de sesión es de la versión %1 del formato, de un Tendora más "
                                         "reciente; esta versión lee hasta la %2.")
                              .arg(version)
                              .arg(VersionSesion));
    const QByteArray cuerpo = bytes.mid(fin + 1);
    if (QCryptographicHash::hash(cuerpo, QCryptographicHash::Sha256).toHex() != cabecera[2].toLower())
        throw ErrorSesion(QStringLiteral("El fichero de sesión está dañado: su contenido no coincide con la suma "
                                         "de la línea 1 (cortado o modificado)."));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(cuerpo, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw ErrorSesion(
            QStringLiteral("El fichero de sesión está dañado: no se lee como JSON (%1).").arg(error.errorString()));
    return Leer(doc.object());
}

} // namespace tendora
