#include "dialogs/SearchRequests.h"

#include "mapdata/LayerFiles.h"
#include "mapdata/MapFunctions.h"
#include "platform/ByteOrder.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/db/DbTypes.h"
#include "platform/db/SqlDialect.h"

#include <pwd.h>
#include <unistd.h>

namespace dialogs::search {

namespace {

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

} // namespace

QString layerTableName(const QString &layerFileName)
{
    return mapdata::layerfiles::tableName(layerFileName);
}

QString layerBaseName(const QString &layerFileName)
{
    return platform::ansiLowerCase(platform::extractFileName(mapdata::layerfiles::firstDotBase(layerFileName)));
}

QStringList buildSearchSql(const QString &tableName, const SearchFields &fields, const SearchFields &texts)
{
    QStringList lines{QStringLiteral("Select *"), QStringLiteral("From ") + quoted(tableName)};
    QStringList order;
    auto condition = [&](const QString &field, const QString &text, const QString &pattern) {
        if (text.isEmpty() || field.isEmpty())
            return;
        lines << (order.isEmpty() ? QStringLiteral("Where (") : QStringLiteral("And (")) + field
                     + QStringLiteral(" Like ") + quoted(pattern) + u')';
        order << field;
    };
    condition(fields.object, texts.object, u'%' + MapFunctions::EscapeQuotes(texts.object) + u'%');
    condition(fields.street, texts.street, u'%' + MapFunctions::EscapeQuotes(texts.street) + u'%');
    condition(fields.house, texts.house, MapFunctions::EscapeQuotes(texts.house) + u'%');
    if (!order.isEmpty())
        lines << QStringLiteral("ORDER BY ") + order.join(u',');
    return lines;
}

QString valueListSql(const QString &field, const QString &tableName)
{
    return QStringLiteral("Select ") + field + QStringLiteral(" From ") + quoted(platform::ansiLowerCase(tableName))
        + QStringLiteral(" Group By ") + field;
}

QStringList sortSql(const QString &tableName, const QString &field, bool ascending)
{
    return {QStringLiteral("Select *"), QStringLiteral("From ") + quoted(tableName),
            QStringLiteral("Order by ") + field + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))};
}

RequestForm classifyRequest(const QString &request)
{
    const QString lower = platform::ansiLowerCase(request);
    if (lower.contains(u"select") && lower.contains(u"from"))
        return RequestForm::Sql;
    if (isFieldLine(lower))
        return RequestForm::Field;
    return RequestForm::Address;
}

QStringList requestLines(const QString &request)
{
    QString text = request;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.split(u'\n');
}

bool isFieldLine(const QString &line)
{
    const QString lower = platform::ansiLowerCase(line);
    return lower.contains(u"layer=") && lower.contains(u"field=") && lower.contains(u"value=");
}

std::optional<FieldRequest> parseFieldLine(const QString &line)
{
    // Pieces at commas; a piece without "=" continues the value before it.
    QStringList pieces;
    for (const QString &piece : line.split(u',')) {
        if (!piece.contains(u'=') && !pieces.isEmpty())
            pieces.last() += u',' + piece;
        else
            pieces << piece;
    }
    if (pieces.size() > 10)
        return std::nullopt;
    FieldRequest r;
    for (const QString &piece : pieces) {
        const qsizetype eq = piece.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = platform::ansiLowerCase(piece.left(eq));
        QString value = piece.mid(eq + 1);
        if (!value.isEmpty()) {
            if (value.contains(u'"'))
                value.replace(u'"', u' ');
            else
                value.replace(u'.', u',');
            value = value.trimmed();
        }
        if (key == u"layer")
            r.layer = value;
        else if (key == u"field")
            r.field = value;
        else if (key == u"value")
            r.value = value;
    }
    return r;
}

std::vector<AddressItem> addressItems(const QStringList &lines)
{
    std::vector<AddressItem> items;
    for (const QString &line : lines) {
        for (const QString &raw : line.split(u'#')) {
            const QString item = raw.trimmed();
            if (item.isEmpty())
                continue;
            const QStringList parts = item.split(u',');
            items.push_back({parts[0].trimmed(), parts.size() > 1 ? parts[1].trimmed() : QString()});
        }
    }
    return items;
}

int hitKind(bool hasStreetField, bool hasHouseField)
{
    if (hasStreetField && hasHouseField)
        return 1;
    if (hasStreetField)
        return 2;
    return hasHouseField ? 3 : 0;
}

int typedKind(const QString &street, const QString &house)
{
    return hitKind(!street.isEmpty(), !house.isEmpty());
}

QString hitText(const QString &street, const QString &house)
{
    if (!street.trimmed().isEmpty() && !house.trimmed().isEmpty())
        return street + QStringLiteral(", ") + house;
    return (street + u' ' + house).trimmed();
}

void FoundExtent::add(double x1, double y1, double x2, double y2)
{
    if (x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0)
        return;
    ++boxes;
    auto low = [](double &bound, double v) {
        if (v > 0 && (bound <= 0 || v < bound))
            bound = v;
    };
    auto high = [](double &bound, double v) {
        if (v > 0 && v > bound)
            bound = v;
    };
    low(minX, x1);
    low(minY, y1);
    high(maxX, x2);
    high(maxY, y2);
}

QString refusalOf(const QString &request)
{
    const QString text = request.trimmed();
    if (text.isEmpty())
        return QStringLiteral("Пустой запрос поиска отклонён !");
    std::vector<platform::db::sql::Token> tokens;
    try {
        tokens = platform::db::sql::tokenize(text);
    } catch (const platform::db::DbError &) {
        tokens.clear();
    }
    QString firstWord;
    for (const auto &t : tokens) {
        if (t.kind == platform::db::sql::Token::Space || t.kind == platform::db::sql::Token::Comment)
            continue;
        firstWord = t.kind == platform::db::sql::Token::Word ? platform::ansiLowerCase(t.text) : QString();
        break;
    }
    static const QStringList writing = {QStringLiteral("insert"), QStringLiteral("update"), QStringLiteral("delete"),
                                        QStringLiteral("drop"),   QStringLiteral("create"), QStringLiteral("alter"),
                                        QStringLiteral("replace")};
    const QString changes = QStringLiteral("Запрос поиска отклонён: допускается только выборка данных (Select) !");
    if (writing.contains(firstWord))
        return changes;
    switch (classifyRequest(text)) {
    case RequestForm::Sql: {
        if (tokens.empty())
            return QStringLiteral("Запрос поиска отклонён: текст SQL не закончен !");
        if (firstWord != u"select")
            return changes;
        // One statement: nothing but blanks after a semicolon.
        bool ended = false;
        for (const auto &t : tokens) {
            if (ended && t.kind != platform::db::sql::Token::Space && t.kind != platform::db::sql::Token::Comment)
                return changes;
            if (t.kind == platform::db::sql::Token::Punct && t.text == u";")
                ended = true;
        }
        break;
    }
    case RequestForm::Field:
        for (const QString &line : requestLines(text)) {
            if (isFieldLine(line) && !parseFieldLine(line))
                return QStringLiteral("Запрос поиска отклонён: в строке больше десяти частей - ") + line.trimmed();
        }
        break;
    case RequestForm::Address:
        break;
    }
    return QString();
}

Frame decodeFrame(QByteArrayView buffer)
{
    Frame f;
    if (buffer.size() < 4)
        return f;
    const quint32 length = platform::le::u32(buffer.data());
    if (length > static_cast<quint32>(kMaxRequest)) {
        f.status = FrameStatus::Oversized;
        return f;
    }
    if (buffer.size() - 4 < static_cast<qsizetype>(length))
        return f;
    const QByteArrayView payload = buffer.sliced(4, length);
    const qsizetype zero = payload.indexOf('\0');
    f.text = (zero < 0 ? payload : payload.first(zero)).toByteArray();
    f.used = 4 + static_cast<qsizetype>(length);
    f.status = FrameStatus::Complete;
    return f;
}

QByteArray encodeFrame(QByteArrayView payload)
{
    const auto n = static_cast<quint32>(payload.size());
    QByteArray out(4, '\0');
    platform::le::put32(out, 0, n);
    out += payload;
    return out;
}

QString requestServerName()
{
    QString user;
    if (const passwd *pw = ::getpwuid(::getuid()))
        user = QString::fromLocal8Bit(pw->pw_name);
    if (user.isEmpty())
        user = QString::number(::getuid());
    return QStringLiteral("TFindTolvane-") + user;
}

} // namespace dialogs::search
