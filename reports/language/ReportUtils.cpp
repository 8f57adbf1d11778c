#include "reports/language/ReportUtils.h"

#include "platform/Environment.h"
#include "platform/NumberFormat.h"

namespace reports {

double StrToFloatAnySeparator(const QString &text)
{
    QString s = text;
    const QChar sep = platform::decimalSeparator();
    for (QChar &c : s)
        if (c == u',' || c == u'.')
            c = sep;
    return platform::strToFloat(s);
}

QString ExtractItem(const QString &text, qsizetype &pos)
{
    const qsizetype end = text.indexOf(u';', pos);
    const qsizetype stop = end < 0 ? text.size() : end;
    const QString item = text.mid(pos, stop - pos);
    pos = end < 0 ? text.size() : end + 1;
    return item;
}

void SplitBySemicolon(const QString &text, QStringList &items)
{
    items.clear();
    qsizetype pos = 0;
    while (pos < text.size())
        items << ExtractItem(text, pos);
}

QString Unquote(const QString &text)
{
    if (text.size() > 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

QString GetWindowsVersion()
{
    return QStringLiteral("NT");
}

platform::gdi::LogFont CreateRotatedFont(const platform::gdi::LogFont &font)
{
    platform::gdi::LogFont rotated = font;
    rotated.escapement = 900;
    rotated.orientation = 900;
    return rotated;
}

} // namespace reports
