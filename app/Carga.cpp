#include "Carga.h"

#include "Numeros.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

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

ErrorLectura::ErrorLectura(const ErrorConversion& error, int linea)
    : ErrorConversion(std::string(error.what()) +
                      QStringLiteral("\nLínea %1 del texto de Datos.").arg(linea).toStdString()),
      m_linea(linea)
{
}

std::vector<Registro> LeerRegistros(const QStringList& lineas)
{
    std::vector<Registro> registros;
    registros.reserve(static_cast<size_t>(lineas.size()));
    int numero = 0;
    for (const QString& linea : lineas) {
        ++numero;
        Registro r;
        try {
            r.Anio = TextoANumero(ExtraerCampo(linea, 1));
            r.Mes = TextoANumero(ExtraerCampo(linea, 2));
            r.Valor = TextoAReal(ExtraerCampo(linea, 3));
        } catch (const ErrorConversion& e) {
            throw ErrorLectura(e, numero);
        }
        registros.push_back(r);
    }
    return registros;
}

int PrimerSalto(const std::vector<Registro>& registros, QString* explicacion)
{
    for (size_t k = 1; k < registros.size(); ++k) {
        const Registro& a = registros[k - 1];
        const Registro& r = registros[k];
        const double anio = a.Mes == 12.0 ? a.Anio + 1.0 : a.Anio;
        const double mes = a.Mes == 12.0 ? 1.0 : a.Mes + 1.0;
        if (r.Anio != anio || r.Mes != mes) {
            *explicacion = QStringLiteral("se esperaba %1/%2 y se lee %3/%4.")
                               .arg(TextoGeneral(mes), TextoGeneral(anio), TextoGeneral(r.Mes), TextoGeneral(r.Anio));
            return int(k) + 1;
        }
    }
    return 0;
}

int InicioDeLinea(const QString& texto, int n)
{
    int pos = 0;
    for (int linea = 1; linea < n && pos < texto.size(); ++linea) {
        int i = pos;
        while (i < texto.size() && texto[i] != QLatin1Char('\n') && texto[i] != QLatin1Char('\r'))
            ++i;
        if (i >= texto.size())
            return int(texto.size());
        // CR LF is one break.
        pos =
            i + ((texto[i] == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n')) ? 2 : 1);
    }
    return std::min(pos, int(texto.size()));
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
