#include "mapdata/NumberText.h"

#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"

namespace numbertext {

QString trimBlank(QStringView text)
{
    return platform::trimBlank(text).toString();
}

QString keepNumberChars(QStringView text, bool keepSeparator)
{
    QString out;
    out.reserve(text.size());
    bool separatorSeen = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            out += c;
        } else if (c == u'-') {
            if (out.isEmpty())
                out += c;
        } else if (keepSeparator && (c == u',' || c == u'.')) {
            if (!separatorSeen)
                out += u',';
            separatorSeen = true;
        }
    }
    return out;
}

double textToFloat(QStringView text, double defaultValue)
{
    QString s = keepNumberChars(trimBlank(text), true);
    if (platform::decimalSeparator() == u'.')
        s.replace(u',', u'.');
    if (s == u"-")
        s = QStringLiteral("-0");
    if (s.isEmpty())
        return defaultValue;
    return platform::strToFloat(s);
}

QString textToDigits(QStringView text)
{
    const QString s = keepNumberChars(trimBlank(text), false);
    return s.isEmpty() ? QStringLiteral("0") : s;
}

std::int32_t low32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

} // namespace numbertext
