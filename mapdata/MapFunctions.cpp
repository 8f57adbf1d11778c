#include "mapdata/MapFunctions.h"

namespace MapFunctions {

// ==== Text and number routines ====
} // namespace MapFunctions

#include "mapdata/NumberText.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace MapFunctions {

double TextToFloat(const QString &text, double defaultValue)
{
    return numbertext::textToFloat(text, defaultValue);
}

std::int32_t TextToInt(const QString &text)
{
    QString s = numbertext::trimBlank(text);
    if (s.isEmpty())
        s = QStringLiteral("0");
    if (platform::decimalSeparator() == u',') {
        if (const qsizetype p = s.indexOf(u'.'); p >= 0)
            s[p] = u',';
    } else if (const qsizetype p = s.indexOf(u','); p >= 0) {
        s[p] = u'.';
    }
    return numbertext::low32(platform::roundHalfEven(TextToFloat(s, 0)));
}

QString TextToDigits(const QString &text)
{
    return numbertext::textToDigits(text);
}

QString FloatToTextDot(double value)
{
    QString s = platform::floatToStr(value);
    const qsizetype comma = s.indexOf(u',');
    if (comma >= 0)
        s[comma] = u'.';
    return s;
}

QVariant RoundValue(double value, int mode, int decimals, bool asText)
{
    const int d = mode == 1 ? 3 : mode == 2 ? 2 : decimals;
    const double factor = std::pow(10.0, d);
    const double whole = std::trunc(value);
    const double fraction = value - whole;
    const double result = static_cast<double>(platform::roundHalfEven(fraction * factor)) / factor + whole;
    if (!asText)
        return result;

    QString s = numbertext::trimBlank(platform::floatToStr(result));
    // The exponent form and NAN/INF are left as they are: zeros appended to
    // them would read back as another number.
    if (d > 0 && std::isfinite(result) && !s.contains(u'E')) {
        const QChar sep = platform::decimalSeparator();
        const qsizetype p = s.indexOf(sep);
        if (p < 0)
            s += sep + QString(d, u'0');
        else if (s.size() - p - 1 < d)
            s += QString(d - (s.size() - p - 1), u'0');
    }
    return s;
}

QVariant TextToFieldValue(const QString &text, FieldKind kind)
{
    const QString trimmed = numbertext::trimBlank(text);
    switch (kind) {
    case FieldKind::String:
    case FieldKind::Memo:
    case FieldKind::WideString:
        return text;
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt:
        if (trimmed.isEmpty())
            return {};
        return TextToInt(TextToDigits(text));
    case FieldKind::Boolean: {
        const QString lower = platform::ansiLowerCase(trimmed);
        return lower == u"true" || lower == u"1";
    }
    case FieldKind::Float:
    case FieldKind::Currency:
        if (trimmed.isEmpty())
            return {};
        return TextToFloat(text, 0);
    case FieldKind::Other:
        break;
    }
    return {};
}

QString BoolToText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

TTxtValues SplitPair(const QString &text, const QString &separator)
{
    TTxtValues pair;
    const qsizetype p = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (p < 0) {
        pair.Key = text;
        return pair;
    }
    pair.Key = numbertext::trimBlank(QStringView(text).left(p));
    pair.Value = numbertext::trimBlank(QStringView(text).mid(p + 1));
    return pair;
}

TTextArray SplitToArray(const QString &text, const QString &separator)
{
    TTextArray parts;
    QString rest = numbertext::trimBlank(text);
    if (rest.isEmpty())
        return parts;
    if (!separator.isEmpty()) {
        for (qsizetype p = rest.indexOf(separator); p >= 0; p = rest.indexOf(separator)) {
            parts.push_back(numbertext::trimBlank(QStringView(rest).left(p)));
            rest = numbertext::trimBlank(QStringView(rest).mid(p + separator.size()));
        }
    }
    parts.push_back(rest);
    return parts;
}

QString EscapeQuotes(const QString &text)
{
    if (!text.contains(u'"'))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            // A run of quotes counts as one.
            while (i + 1 < text.size() && text[i + 1] == u'"')
                ++i;
            out += QStringLiteral("\"\"");
        } else if (c == u'`') {
            out += QStringLiteral("\"\"");
        } else {
            out += c;
        }
    }
    return out;
}

void StrToFixedChars(const QString &text, char *dest, int n)
{
    if (dest == nullptr || n < 0)
        return;
    const QByteArray bytes = platform::toCp1251(text);
    const std::size_t size = static_cast<std::size_t>(n) + 1;
    const std::size_t count = std::min(static_cast<std::size_t>(bytes.size()), size - 1);
    std::memcpy(dest, bytes.constData(), count);
    std::memset(dest + count, 0, size - count);
}

int FontStyleCode(std::uint8_t styles)
{
    return ((styles & 1) ? 1 : 0) + ((styles & 2) ? 10 : 0) + ((styles & 4) ? 100 : 0);
}

QString FreeNumberedName(const QString &base, const QString &ext)
{
    const QString stem = base + u'.' + ext + u'.';
    for (int i = 1; i < INT_MAX; ++i) {
        const QString name = stem + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        if (!platform::fileExists(name))
            return name;
    }
    return stem + QString::number(INT_MAX);
}

QString RelativeFileName(const QString &fileName, const QString &folder)
{
    const QString f = numbertext::trimBlank(folder);
    if (f.isEmpty())
        return fileName;
    const qsizetype p = platform::ansiUpperCase(fileName).indexOf(platform::ansiUpperCase(f));
    if (p < 0)
        return fileName;
    QString part = fileName.mid(p + f.size());
    if (!part.isEmpty() && platform::isPathSeparator(part[0]))
        part.remove(0, 1);
    // Only files directly inside the folder get a relative name; "/" counts
    // as a separator as "\" does.
    for (const QChar c : part)
        if (platform::isPathSeparator(c))
            return fileName;
    return part;
}

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace MapFunctions
