#include "Carga.h"

#include "Numeros.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace tendora {

QStringList LineasDeTexto(const QString& texto)
{
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (t.isEmpty())
        return {};
    QStringList lineas = t.split(QLatin1Char('\n'));
    if (lineas.last().isEmpty())
        lineas.removeLast();
    return lineas;
}

QString ExtraerCampo(const QString& linea, int n)
{
    if (n < 1)
        return QString();
    int inicio = 0;
    for (int k = 1; k < n; ++k) {
        const int tab = linea.indexOf(QLatin1Char('\t'), inicio);
        if (tab < 0)
            return QString();
        inicio = tab + 1;
    }
    const int fin = linea.indexOf(QLatin1Char('\t'), inicio);
    return linea.mid(inicio, fin < 0 ? -1 : fin - inicio);
}

std::vector<Registro> LeerRegistros(const QStringList& lineas)
{
    std::vector<Registro> registros;
    registros.reserve(static_cast<size_t>(lineas.size()));
    for (const QString& linea : lineas) {
        Registro r;
        r.Anio = TextoANumero(ExtraerCampo(linea, 1));
        r.Mes = TextoANumero(ExtraerCampo(linea, 2));
        r.Valor = TextoAReal(ExtraerCampo(linea, 3));
        registros.push_back(r);
    }
    return registros;
}

QString DecodificarTexto(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError())
        texto = QString::fromLatin1(bytes);
    return texto;
}

QString NombreSerieDe(const QString& ruta)
{
    const QString nombre = QFileInfo(ruta).fileName();
    return nombre.size() > 4 ? nombre.left(nombre.size() - 4) : QString();
}

} // namespace tendora
