// SPDX-License-Identifier: GPL-3.0-or-later
// The ".xls" export: a BIFF8 workbook stream inside an OLE2 compound file.
// Debian has readers of this format but no maintained C/C++ writer, so the
// few records a grid needs are written here.
#include "ui/ExportarRejilla.h"

#include "data/Numeros.h"
#include "ui/Rejilla.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tendora {

namespace {

constexpr int kMaxDatosRegistro = 8224; // BIFF8 record payload limit
constexpr int kFilasHoja = 65536; // BIFF8 rows per sheet
constexpr int kColumnasHoja = 256;
constexpr int kMaxCaracteres = 32767; // characters in a cell

constexpr uint16_t kXfGeneral = 15;
constexpr uint16_t kXfFijo2 = 16;
constexpr uint16_t kXfEncabezado = 17;

void U8(QByteArray& b, unsigned v)
{
    b.append(static_cast<char>(v & 0xFF));
}
void U16(QByteArray& b, unsigned v)
{
    U8(b, v);
    U8(b, v >> 8);
}
void U32(QByteArray& b, uint32_t v)
{
    U16(b, v & 0xFFFF);
    U16(b, v >> 16);
}
void F64(QByteArray& b, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(b, static_cast<uint32_t>(bits));
    U32(b, static_cast<uint32_t>(bits >> 32));
}
void Utf16(QByteArray& b, const QString& s)
{
    for (QChar c : s)
        U16(b, c.unicode());
}
void PonerU32En(QByteArray& b, qsizetype pos, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Registro(QByteArray& s, uint16_t tipo, const QByteArray& datos)
{
    U16(s, tipo);
    U16(s, static_cast<unsigned>(datos.size()));
    s += datos;
}

QByteArray Bof(uint16_t tipo)
{
    QByteArray d;
    U16(d, 0x0600);
    U16(d, tipo);
    U16(d, 0x0DBB);
    U16(d, 0x07CC);
    U32(d, 0);
    U32(d, 6);
    return d;
}

QByteArray Fuente(bool negrita)
{
    QByteArray d;
    U16(d, 200); // 10 points, in twentieths
    U16(d, 0);
    U16(d, 0x7FFF); // automatic colour
    U16(d, negrita ? 700 : 400);
    U16(d, 0);
    U8(d, 0);
    U8(d, 0);
    U8(d, 0);
    U8(d, 0);
    const QByteArray nombre("Arial");
    U8(d, static_cast<unsigned>(nombre.size()));
    U8(d, 0); // 8-bit characters
    d += nombre;
    return d;
}

QByteArray Xf(uint16_t fuente, uint16_t formato, bool estilo, uint8_t usados)
{
    QByteArray d;
    U16(d, fuente);
    U16(d, formato);
    U16(d, estilo ? 0xFFF5 : 0x0001);
    U8(d, 0x20); // bottom aligned
    U8(d, 0);
    U8(d, 0);
    U8(d, usados);
    U32(d, 0);
    U32(d, 0);
    U16(d, 0x20C0); // default pattern colours
    return d;
}

// The shared string table, split into CONTINUE records as BIFF8 requires,
// followed by its index (EXTSST). Positions are offsets in the stream s.
void TablaCadenas(QByteArray& s, const std::vector<QString>& cadenas, uint32_t totalUsos)
{
    const uint32_t unicas = static_cast<uint32_t>(cadenas.size());
    uint32_t porCubo = unicas / 128 + 1;
    if (porCubo < 8)
        porCubo = 8;
    struct Cubo {
        uint32_t pos;
        uint16_t desplazamiento;
    };
    std::vector<Cubo> cubos;

    qsizetype inicioRegistro = s.size();
    QByteArray d;
    uint16_t tipo = 0x00FC;
    U32(d, totalUsos);
    U32(d, unicas);
    auto cerrar = [&]() {
        Registro(s, tipo, d);
        d.clear();
        tipo = 0x003C; // CONTINUE
        inicioRegistro = s.size();
    };
    for (uint32_t i = 0; i < unicas; ++i) {
        const QString& t = cadenas[i];
        // The header and the first character never go apart.
        if (d.size() + 3 + 2 > kMaxDatosRegistro)
            cerrar();
        if (i % porCubo == 0)
            cubos.push_back(
                {static_cast<uint32_t>(inicioRegistro + 4 + d.size()), static_cast<uint16_t>(4 + d.size())});
        U16(d, static_cast<unsigned>(t.size()));
        U8(d, 0x01); // 16-bit characters
        qsizetype hecho = 0;
        while (hecho < t.size()) {
            qsizetype cabe = (kMaxDatosRegistro - d.size()) / 2;
            if (cabe == 0) {
                cerrar();
                U8(d, 0x01); // a continued string restates its width
                cabe = (kMaxDatosRegistro - 1) / 2;
            }
            const qsizetype n = std::min(cabe, t.size() - hecho);
            Utf16(d, t.mid(hecho, n));
            hecho += n;
        }
    }
    Registro(s, tipo, d);

    QByteArray e;
    U16(e, porCubo);
    for (const Cubo& c : cubos) {
        U32(e, c.pos);
        U16(e, c.desplazamiento);
        U16(e, 0);
    }
    Registro(s, 0x00FF, e);
}

// Column width in 1/256 of a '0': the widest text plus a margin of two, so a
// number never turns into "###" however the spreadsheet rounds its metrics.
uint16_t AnchoColumna(double enCeros)
{
    constexpr double kMargen = 2.0, kMinimo = 4.0, kMaximo = 255.0;
    const double caracteres = std::clamp(std::ceil(enCeros) + kMargen, kMinimo, kMaximo);
    return static_cast<uint16_t>(caracteres * 256.0);
}

QByteArray Ole2(QByteArray flujo)
{
    constexpr uint32_t kLibre = 0xFFFFFFFF, kFinCadena = 0xFFFFFFFE, kSectorFat = 0xFFFFFFFD, kSectorDifat = 0xFFFFFFFC;
    // At 4096 bytes or more a stream lives in ordinary sectors, so no mini stream is needed.
    if (flujo.size() < 4096)
        flujo.append(QByteArray(4096 - flujo.size(), '\0'));
    const uint32_t tamFlujo = static_cast<uint32_t>(flujo.size());
    const uint32_t S = (tamFlujo + 511) / 512;
    flujo.append(QByteArray(qsizetype(S) * 512 - flujo.size(), '\0'));
    const uint32_t D = 1;
    uint32_t F = 1, X = 0;
    for (;;) {
        X = F > 109 ? (F - 109 + 126) / 127 : 0;
        const uint32_t necesarios = (S + D + F + X + 127) / 128;
        if (necesarios <= F)
            break;
        F = necesarios;
    }
    const uint32_t dirSector = S;
    const uint32_t fatInicio = S + D;
    const uint32_t difatInicio = fatInicio + F;

    std::vector<uint32_t> fat(size_t(F) * 128, kLibre);
    for (uint32_t i = 0; i < S; ++i)
        fat[i] = i + 1 < S ? i + 1 : kFinCadena;
    fat[dirSector] = kFinCadena;
    for (uint32_t i = 0; i < F; ++i)
        fat[fatInicio + i] = kSectorFat;
    for (uint32_t i = 0; i < X; ++i)
        fat[difatInicio + i] = kSectorDifat;

    QByteArray out;
    out.reserve(qsizetype(S + D + F + X + 1) * 512);
    // Header.
    const unsigned char firma[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    out.append(reinterpret_cast<const char*>(firma), 8);
    out.append(QByteArray(16, '\0'));
    U16(out, 0x003E);
    U16(out, 0x0003);
    U16(out, 0xFFFE);
    U16(out, 9);
    U16(out, 6);
    out.append(QByteArray(6, '\0'));
    U32(out, 0);
    U32(out, F);
    U32(out, dirSector);
    U32(out, 0);
    U32(out, 4096);
    U32(out, kFinCadena);
    U32(out, 0);
    U32(out, X > 0 ? difatInicio : kFinCadena);
    U32(out, X);
    for (uint32_t i = 0; i < 109; ++i)
        U32(out, i < F ? fatInicio + i : kLibre);

    out += flujo;

    // Directory: the root, the Workbook stream and two unused entries.
    auto entrada = [&](const QString& nombre, uint8_t tipo, uint32_t hijo, uint32_t inicio, uint32_t tam,
                       bool clsidExcel) {
        QByteArray e;
        if (tipo != 0) {
            Utf16(e, nombre);
            U16(e, 0);
        }
        e.append(QByteArray(64 - e.size(), '\0'));
        U16(e, tipo != 0 ? static_cast<unsigned>((nombre.size() + 1) * 2) : 0);
        U8(e, tipo);
        U8(e, tipo != 0 ? 1 : 0); // black; unused entries are all zero
        U32(e, kLibre);
        U32(e, kLibre);
        U32(e, hijo);
        if (clsidExcel) {
            const unsigned char c[16] = {0x20, 0x08, 0x02, 0x00, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
            e.append(reinterpret_cast<const char*>(c), 16);
        } else {
            e.append(QByteArray(16, '\0'));
        }
        U32(e, 0);
        e.append(QByteArray(16, '\0'));
        U32(e, inicio);
        U32(e, tam);
        U32(e, 0);
        out += e;
    };
    entrada(QStringLiteral("Root Entry"), 5, 1, kFinCadena, 0, true);
    entrada(QStringLiteral("Workbook"), 2, kLibre, 0, tamFlujo, false);
    entrada(QString(), 0, kLibre, 0, 0, false);
    entrada(QString(), 0, kLibre, 0, 0, false);

    for (uint32_t v : fat)
        U32(out, v);
    for (uint32_t i = 0; i < X; ++i) {
        for (uint32_t j = 0; j < 127; ++j) {
            const uint32_t k = 109 + i * 127 + j;
            U32(out, k < F ? fatInicio + k : kLibre);
        }
        U32(out, i + 1 < X ? difatInicio + i + 1 : kFinCadena);
    }
    return out;
}

} // namespace

// Width of a text in widths of the digit '0' of the sheet's font, which is the
// unit of a spreadsheet's column width: capitals and a few wide letters take
// about one and a half, everything else one at most; bold a tenth more.
double AnchoEnCeros(const QString& texto, bool negrita)
{
    double ancho = 0;
    for (QChar ch : texto) {
        const bool anchaLetra = ch.isUpper() || ch == QLatin1Char('m') || ch == QLatin1Char('w') ||
                                ch == QLatin1Char('%') || ch == QLatin1Char('@');
        ancho += anchaLetra ? 1.5 : 1.0;
    }
    return negrita ? ancho * 1.1 : ancho;
}

QByteArray LibroXls(const ModeloRejilla& m)
{
    const int cols = m.ColCount();
    if (cols > kColumnasHoja)
        throw ErrorPreparacion(QStringLiteral("el formato xls admite %1 columnas como máximo y la tabla tiene %2. "
                                              "Exporte la tabla en formato xlsx o csv")
                                   .arg(TextoEntero(kColumnasHoja), TextoEntero(cols))
                                   .toStdString());
    const int datos = m.RowCount() - 1;
    const int porHoja = kFilasHoja - 1; // the header row opens every sheet
    const int hojas = std::max(1, (datos + porHoja - 1) / porHoja);

    // Strings first: each distinct text once.
    std::vector<QString> cadenas;
    QHash<QString, uint32_t> indice;
    uint32_t usos = 0;
    auto indiceDe = [&](QString t) -> uint32_t {
        if (t.size() > kMaxCaracteres)
            t.truncate(kMaxCaracteres);
        ++usos;
        auto it = indice.constFind(t);
        if (it != indice.constEnd())
            return it.value();
        const uint32_t k = static_cast<uint32_t>(cadenas.size());
        indice.insert(t, k);
        cadenas.push_back(t);
        return k;
    };

    // Cells of every sheet; texts that read as numbers go in as numbers.
    std::vector<QByteArray> celdas(hojas);
    std::vector<QString> encabezado(cols);
    std::vector<double> anchos(cols, 0.0); // widest text of each column, in '0's
    for (int c = 0; c < cols; ++c) {
        encabezado[c] = m.Celda(c, 0);
        anchos[c] = AnchoEnCeros(encabezado[c], true);
    }
    for (int h = 0; h < hojas; ++h) {
        QByteArray& s = celdas[h];
        for (int c = 0; c < cols; ++c) {
            if (encabezado[c].isEmpty())
                continue;
            QByteArray d;
            U16(d, 0);
            U16(d, c);
            U16(d, kXfEncabezado);
            U32(d, indiceDe(encabezado[c]));
            Registro(s, 0x00FD, d);
        }
        const int primera = 1 + h * porHoja;
        const int ultima = std::min(datos, primera + porHoja - 1);
        for (int r = primera; r <= ultima; ++r) {
            const uint16_t fila = static_cast<uint16_t>(r - primera + 1);
            for (int c = 0; c < cols; ++c) {
                const TipoCelda t = m.Tipo(c, r);
                if (t == TipoCelda::Vacia)
                    continue;
                QByteArray d;
                U16(d, fila);
                U16(d, c);
                double v = 0;
                bool numero = t == TipoCelda::Numero;
                uint16_t xf = kXfGeneral;
                // The shown text: a fixed-format number has as many digits
                // in the sheet as on screen, a general one no more.
                const QString texto = m.Celda(c, r);
                anchos[c] = std::max(anchos[c], AnchoEnCeros(texto, false));
                if (numero) {
                    v = m.Numero(c, r);
                    if (m.FormatoDe(c, r) == Formato::Fijo2)
                        xf = kXfFijo2;
                } else {
                    v = ConvertirNumero(texto, &numero);
                }
                U16(d, xf);
                if (numero) {
                    F64(d, v);
                    Registro(s, 0x0203, d);
                } else {
                    U32(d, indiceDe(texto));
                    Registro(s, 0x00FD, d);
                }
            }
        }
    }

    // Workbook globals.
    QByteArray s;
    Registro(s, 0x0809, Bof(0x0005));
    {
        QByteArray d;
        U16(d, 1200); // UTF-16
        Registro(s, 0x0042, d);
    }
    {
        QByteArray d;
        U16(d, 0);
        U16(d, 0);
        U16(d, 0x4000);
        U16(d, 0x2000);
        U16(d, 0x0038);
        U16(d, 0);
        U16(d, 0);
        U16(d, 1);
        U16(d, 0x0258);
        Registro(s, 0x003D, d); // WINDOW1
    }
    {
        QByteArray d;
        U16(d, 0);
        Registro(s, 0x0022, d); // DATEMODE 1900
    }
    for (int i = 0; i < 4; ++i)
        Registro(s, 0x0031, Fuente(false));
    Registro(s, 0x0031, Fuente(true)); // font index 5: index 4 does not exist in BIFF
    Registro(s, 0x00E0, Xf(0, 0, true, 0x00));
    for (int i = 1; i < 15; ++i)
        Registro(s, 0x00E0, Xf(0, 0, true, 0xF4));
    Registro(s, 0x00E0, Xf(0, 0, false, 0x00)); // 15: cells
    Registro(s, 0x00E0, Xf(0, 2, false, 0x04)); // 16: "0.00"
    Registro(s, 0x00E0, Xf(5, 0, false, 0x08)); // 17: bold header
    {
        QByteArray d;
        U16(d, 0x8000);
        U8(d, 0);
        U8(d, 0xFF);
        Registro(s, 0x0293, d); // STYLE Normal
    }
    std::vector<qsizetype> posHoja(hojas);
    for (int h = 0; h < hojas; ++h) {
        const QString nombre = QStringLiteral("Hoja%1").arg(h + 1);
        QByteArray d;
        U32(d, 0);
        U8(d, 0);
        U8(d, 0);
        U8(d, static_cast<unsigned>(nombre.size()));
        U8(d, 0x01);
        Utf16(d, nombre);
        posHoja[h] = s.size() + 4;
        Registro(s, 0x0085, d); // BOUNDSHEET
    }
    TablaCadenas(s, cadenas, usos);
    Registro(s, 0x000A, QByteArray());

    for (int h = 0; h < hojas; ++h) {
        PonerU32En(s, posHoja[h], static_cast<uint32_t>(s.size()));
        Registro(s, 0x0809, Bof(0x0010));
        const int filasHoja = 1 + std::min(porHoja, std::max(0, datos - h * porHoja));
        {
            QByteArray d;
            U32(d, 0);
            U32(d, static_cast<uint32_t>(filasHoja));
            U16(d, 0);
            U16(d, cols);
            U16(d, 0);
            Registro(s, 0x0200, d); // DIMENSIONS
        }
        for (int c = 0; c < cols; ++c) {
            QByteArray d;
            U16(d, c);
            U16(d, c);
            U16(d, AnchoColumna(anchos[c]));
            U16(d, kXfGeneral);
            U16(d, 0);
            U16(d, 0);
            Registro(s, 0x007D, d); // COLINFO
        }
        s += celdas[h];
        celdas[h] = QByteArray();
        {
            QByteArray d;
            U16(d, h == 0 ? 0x06B6 : 0x00B6);
            U16(d, 0);
            U16(d, 0);
            U16(d, 0x0040);
            U16(d, 0);
            U16(d, 0);
            U16(d, 0);
            U32(d, 0);
            Registro(s, 0x023E, d); // WINDOW2
        }
        Registro(s, 0x000A, QByteArray());
    }
    return Ole2(std::move(s));
}

} // namespace tendora
