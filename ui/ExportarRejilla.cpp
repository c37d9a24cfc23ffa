// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ExportarRejilla.h"

#include "data/EscrituraSegura.h"
#include "ui/Rejilla.h"

namespace tendora {

namespace {

QString EntreComillasSiHaceFalta(const QString& s, QChar separador)
{
    if (!s.contains(separador) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')) &&
        !s.contains(QLatin1Char('\r')))
        return s;
    QString r = s;
    r.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

// Text escaped for RTF: control characters of RTF, and everything beyond ASCII as \uN?.
void EscaparRtf(const QString& s, QByteArray& out)
{
    for (QChar ch : s) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == '\n') {
            out += "\\line ";
        } else if (u == '\r') {
            // part of a line break
        } else if (u < 0x20) {
            // other control characters are not text
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else {
            out += "\\u";
            out += QByteArray::number(static_cast<int>(static_cast<int16_t>(u)));
            out += '?';
        }
    }
}

QString EscaparHtml(const QString& s)
{
    QString r;
    r.reserve(s.size() + 8);
    for (QChar ch : s) {
        switch (ch.unicode()) {
        case '&': r += QStringLiteral("&amp;"); break;
        case '<': r += QStringLiteral("&lt;"); break;
        case '>': r += QStringLiteral("&gt;"); break;
        case '"': r += QStringLiteral("&quot;"); break;
        case '\'': r += QStringLiteral("&#39;"); break;
        default: r += ch;
        }
    }
    return r;
}

} // namespace

QByteArray TextoTxt(const ModeloRejilla& m)
{
    const int cols = m.ColCount();
    const int filas = m.RowCount();
    std::vector<qsizetype> ancho(cols, 0);
    for (int r = 0; r < filas; ++r)
        for (int c = 0; c < cols; ++c)
            ancho[c] = std::max(ancho[c], m.Celda(c, r).size());
    QByteArray out;
    QString linea;
    for (int r = 0; r < filas; ++r) {
        linea.clear();
        for (int c = 0; c < cols; ++c) {
            if (c > 0)
                linea += QLatin1Char(' ');
            linea += m.Celda(c, r).leftJustified(ancho[c], QLatin1Char(' '));
        }
        out += linea.toUtf8();
        out += '\n';
    }
    return out;
}

QChar SeparadorCsv()
{
    return QLocale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
}

QByteArray TextoCsv(const ModeloRejilla& m)
{
    const QChar sep = SeparadorCsv();
    // The byte-order mark makes spreadsheets read the file as UTF-8 ("Año").
    QByteArray out = "\xEF\xBB\xBF";
    QStringList partes;
    for (int r = 0; r < m.RowCount(); ++r) {
        partes.clear();
        for (int c = 0; c < m.ColCount(); ++c)
            partes.append(EntreComillasSiHaceFalta(m.Celda(c, r), sep));
        out += partes.join(sep).toUtf8();
        out += "\r\n";
    }
    return out;
}

QByteArray TextoRtf(const ModeloRejilla& m, const QList<int>& anchosPx)
{
    const int cols = m.ColCount();
    // Cell right edges in twips (15 per pixel at 96 dpi).
    QByteArray bordes;
    int x = 0;
    for (int c = 0; c < cols; ++c) {
        const int px = c < anchosPx.size() ? anchosPx[c] : 50;
        x += std::max(px, 10) * 15;
        bordes += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                  "\\clbrdrr\\brdrs\\brdrw10\\cellx";
        bordes += QByteArray::number(x);
    }
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
                     "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\n"
                     "\\pard\\plain\\f0\\fs16\n";
    for (int r = 0; r < m.RowCount(); ++r) {
        out += "\\trowd\\trgaph70\\trleft0";
        if (r == 0)
            out += "\\trhdr";
        out += bordes;
        out += "\n";
        for (int c = 0; c < cols; ++c) {
            out += "\\pard\\intbl\\plain\\f0\\fs16";
            out += r == 0 ? "\\b " : " ";
            EscaparRtf(m.Celda(c, r), out);
            out += "\\cell\n";
        }
        out += "\\row\n";
    }
    out += "\\pard\\par\n}\n";
    return out;
}

QByteArray TextoHtml(const ModeloRejilla& m)
{
    QString s;
    s += QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>Tendora</title>\n"
        "<style>table{border-collapse:collapse;font-family:sans-serif;font-size:10pt}"
        "th,td{border:1px solid #c0c0c0;padding:1px 4px;white-space:nowrap}"
        "th{background:#f0f0f0}</style>\n</head>\n<body>\n<table>\n");
    for (int r = 0; r < m.RowCount(); ++r) {
        if (r == 0)
            s += QStringLiteral("<thead>\n");
        else if (r == 1)
            s += QStringLiteral("<tbody>\n");
        s += QStringLiteral("<tr>");
        for (int c = 0; c < m.ColCount(); ++c) {
            const QString etiqueta = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
            s += QLatin1Char('<') + etiqueta + QLatin1Char('>') + EscaparHtml(m.Celda(c, r)) + QStringLiteral("</") +
                 etiqueta + QLatin1Char('>');
        }
        s += QStringLiteral("</tr>\n");
        if (r == 0)
            s += QStringLiteral("</thead>\n");
    }
    if (m.RowCount() > 1)
        s += QStringLiteral("</tbody>\n");
    s += QStringLiteral("</table>\n</body>\n</html>\n");
    return s.toUtf8();
}

void ExportarRejillaArchivo(const ModeloRejilla& m, const QList<int>& anchosPx, const QString& ruta, int filtroIndex)
{
    switch (filtroIndex) {
    case 1: EscribirFicheroSeguro(ruta, TextoTxt(m)); break;
    case 2: EscribirFicheroSeguro(ruta, TextoCsv(m)); break;
    case 3: EscribirFicheroSeguro(ruta, TextoRtf(m, anchosPx)); break;
    case 4: EscribirFicheroSeguro(ruta, TextoHtml(m)); break;
    case 5:
    case 6: {
        QByteArray libro;
        try {
            libro = filtroIndex == 5 ? LibroXls(m) : LibroXlsx(m);
        } catch (const ErrorPreparacion& e) {
            throw ErrorEscritura(MensajeEscritura(ruta, QString::fromUtf8(e.what())).toStdString());
        }
        EscribirFicheroSeguro(ruta, libro);
        break;
    }
    default: break;
    }
}

} // namespace tendora
