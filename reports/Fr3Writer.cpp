#include "reports/Fr3Writer.h"

#include "reports/ReportDocument.h"

#include <QIODevice>

namespace reports {

QString EscapeXmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == u'"' || c == u'<' || c == u'>' || c == u'&')
            out += QStringLiteral("&#") + QString::number(c.unicode()) + u';';
        else
            out += c;
    }
    return out;
}

QString StreamToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

void SaveToFR3Stream(ReportDocument & /*report*/, QIODevice & /*stream*/) {}

} // namespace reports
