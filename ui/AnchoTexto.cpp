// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AnchoTexto.h"

#include <QFontMetricsF>

namespace tendora {

namespace {

// What numbers are written with besides digits, in either locale and in exponent form.
constexpr char16_t kMarcas[] = u".,-+eE";

bool EsDigito(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool EsMarca(char16_t c)
{
    for (char16_t m : kMarcas)
        if (m && c == m)
            return true;
    return false;
}

} // namespace

bool DigitosUniformes(const std::function<qreal(const QString&)>& medir)
{
    const qreal cero = medir(QStringLiteral("0"));
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        const QString digito(QChar{d});
        if (medir(digito) != cero)
            return false;
        // Next to another digit, or to a mark, a digit must behave as '0' does.
        for (char16_t e = u'0'; e <= u'9'; ++e)
            if (medir(digito + QChar{e}) != 2 * cero)
                return false;
        for (char16_t m : kMarcas) {
            if (!m)
                continue;
            if (medir(digito + QChar{m}) != medir(QStringLiteral("0") + QChar{m}) ||
                medir(QChar{m} + digito) != medir(QChar{m} + QStringLiteral("0")))
                return false;
        }
    }
    return true;
}

MedidorAnchos::MedidorAnchos(const QFont& fuente) : fm_(fuente)
{
    // Checked once per font: some two hundred shapings, fewer than one column of numbers takes.
    static QHash<QString, bool> fuentes;
    const QString clave = fuente.key();
    auto it = fuentes.constFind(clave);
    if (it == fuentes.cend()) {
        const QFontMetricsF f(fuente);
        it = fuentes.insert(clave, DigitosUniformes([&f](const QString& t) { return f.horizontalAdvance(t); }));
    }
    uniformes_ = *it;
}

int MedidorAnchos::Ancho(const QString& texto)
{
    QString clave = texto;
    if (uniformes_) {
        bool numero = !texto.isEmpty();
        for (QChar c : texto)
            if (!EsDigito(c.unicode()) && !EsMarca(c.unicode())) {
                numero = false;
                break;
            }
        if (numero)
            for (QChar& c : clave)
                if (EsDigito(c.unicode()))
                    c = u'0';
    }
    auto it = medidos_.constFind(clave);
    if (it == medidos_.cend())
        it = medidos_.insert(clave, fm_.horizontalAdvance(clave));
    return *it;
}

} // namespace tendora
