#include "app/RenderSupport.h"

#include "platform/Environment.h"
#include "platform/NumberFormat.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace app::render {

namespace {

// The sections of a number format, split at ";" outside quotes.
QStringList formatSections(const QString &format)
{
    QStringList out;
    QString current;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            current += c;
        } else if (c == u';') {
            out << current;
            current.clear();
        } else {
            current += c;
        }
    }
    out << current;
    return out;
}

QString formatSection(const QString &section, double magnitude, bool minus)
{
    QString prefix, suffix;
    bool seenPlaceholder = false, seenPoint = false, grouping = false;
    int intZeros = 0, fracDigits = 0, fracZeros = 0;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (seenPlaceholder ? suffix : prefix) += c;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        if (c == u'0' || c == u'#') {
            seenPlaceholder = true;
            suffix.clear(); // text between placeholders is not kept
            if (seenPoint) {
                ++fracDigits;
                if (c == u'0')
                    fracZeros = fracDigits;
            } else if (c == u'0') {
                ++intZeros;
            }
            continue;
        }
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c == u',' && !seenPoint) {
            grouping = true;
            continue;
        }
        (seenPlaceholder ? suffix : prefix) += c;
    }
    if (!seenPlaceholder)
        return prefix;

    const QString digits = QString::number(magnitude, 'f', fracDigits);
    const qsizetype point = digits.indexOf(u'.');
    QString whole = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    if (whole == u"0" && intZeros == 0)
        whole.clear();
    while (whole.size() < intZeros)
        whole.prepend(u'0');
    const QChar decimal = platform::decimalSeparator();
    if (grouping && whole.size() > 3) {
        // A comma as decimal separator goes with a space between thousands.
        const QChar thousands = decimal == u',' ? QChar(0x00A0) : QChar(u',');
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, thousands);
    }
    while (fraction.size() > fracZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    QString out = prefix;
    const bool nothing = whole.isEmpty() && fraction.isEmpty();
    // A value that rounds to nothing has no sign.
    if (minus && std::any_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        out += u'-';
    out += nothing ? QStringLiteral("0") : whole;
    if (!fraction.isEmpty())
        out += decimal + fraction;
    return out + suffix;
}

} // namespace

QString formatNumber(const QString &format, double value)
{
    if (format.isEmpty() || !std::isfinite(value))
        return platform::floatToStr(value);
    const QStringList sections = formatSections(format);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(sections[1], -value, false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(sections[2], 0, false);
    return formatSection(sections[0], std::abs(value), value < 0);
}

namespace {
mapengine::RasterServices *installedRasterServices = nullptr;
} // namespace

mapengine::RasterServices *rasterServices()
{
    return installedRasterServices;
}

void setRasterServices(mapengine::RasterServices *services)
{
    installedRasterServices = services;
}

} // namespace app::render
