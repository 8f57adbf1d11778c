#include "platform/DateText.h"

#include "platform/TextCodec.h"

#include <QString>

namespace platform {

QDate readDateText(QStringView text)
{
    QStringView date = trimBlank(text);
    for (qsizetype i = 0; i < date.size(); ++i)
        if (date[i] == u' ' || date[i] == u'T') {
            date = date.left(i);
            break;
        }
    // A date holds at most ten characters; what follows them is not read.
    const QString part = date.left(10).toString();
    for (const char *form : {"dd.MM.yyyy", "d.M.yyyy", "yyyy-MM-dd", "yyyyMMdd", "dd/MM/yyyy"}) {
        const QDate d = QDate::fromString(part, QLatin1String(form));
        if (d.isValid())
            return d;
    }
    return {};
}

} // namespace platform
