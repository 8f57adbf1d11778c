#include "dialogs/TableStructure.h"

#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/db/DbTypes.h"
#include "platform/db/Table.h"

#include <QFile>

#include <algorithm>

namespace dialogs::tables {

namespace {

constexpr int kHeader = 32;
constexpr int kDescriptor = 32;

void putLe16(QByteArray &b, int at, int v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

int le16(QByteArrayView b, int at)
{
    return static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8);
}

// The table of a file path, for the engine.
void bind(platform::db::Table &t, const QString &path)
{
    t.setDatabaseName(platform::extractFilePath(path));
    t.setTableName(platform::extractFileName(path));
}

} // namespace

int numberFromText(const QString &text)
{
    if (text.trimmed().isEmpty())
        return 0;
    try {
        return MapFunctions::TextToInt(text);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

QString formatText(char letter)
{
    switch (letter) {
    case 'C': return QStringLiteral("строка");
    case 'N': return QStringLiteral("число");
    case 'D': return QStringLiteral("дата");
    case 'L': return QStringLiteral("логическое");
    default: return QString();
    }
}

char formatLetter(const QString &format)
{
    for (char c : {'C', 'N', 'D', 'L'})
        if (formatText(c) == format.trimmed())
            return c;
    return 0;
}

QStringList formatTexts()
{
    return {formatText('C'), formatText('N'), formatText('D'), formatText('L')};
}

FieldLimits limitField(char letter, int size, int decimals)
{
    switch (letter) {
    case 'C': return {std::clamp(size, 1, 254), 0};
    case 'N': {
        const int s = std::clamp(size, 1, 19);
        return {s, std::clamp(decimals, 0, s - 1)};
    }
    case 'D': return {8, 0};
    case 'L': return {1, 0};
    default: return {std::clamp(size, 1, 255), std::clamp(decimals, 0, 255)};
    }
}

QString fieldSpec(const QString &name, char letter, const QString &size, const QString &decimals)
{
    return name + u';' + (letter ? QString(QChar::fromLatin1(letter)) : QString()) + u';' + size + u';' + decimals;
}

std::optional<TableField> parseFieldSpec(const QString &spec)
{
    const QStringList parts = spec.split(u';');
    if (parts.size() < 4)
        return std::nullopt;
    TableField f;
    f.name = platform::ansiUpperCase(parts[0].trimmed());
    const QString type = platform::ansiUpperCase(parts[1].trimmed());
    if (f.name.isEmpty() || type.isEmpty() || type[0].unicode() > 0x7F)
        return std::nullopt;
    // A descriptor holds ten name bytes and their terminating zero.
    while (platform::toCp1251(f.name).size() > 10)
        f.name.chop(1);
    f.type = static_cast<char>(type[0].unicode());
    const FieldLimits limits = limitField(f.type, numberFromText(parts[2]), numberFromText(parts[3]));
    f.size = limits.size;
    f.decimals = limits.decimals;
    return f;
}

QByteArray emptyTableBytes(const QStringList &specs)
{
    std::vector<TableField> fields;
    for (const QString &spec : specs)
        if (auto f = parseFieldSpec(spec))
            fields.push_back(*f);
    // The header length counts the descriptors written, and nothing else.
    const int n = static_cast<int>(fields.size());
    QByteArray bytes(kHeader + kDescriptor * n + 2, '\0');
    bytes[0] = 3;
    bytes[1] = 106;
    bytes[2] = 3;
    bytes[3] = 1;
    putLe16(bytes, 8, kHeader * n + 33);
    int recordLength = 1;
    for (int i = 0; i < n; ++i) {
        const TableField &f = fields[static_cast<size_t>(i)];
        const int at = kHeader + kDescriptor * i;
        const QByteArray name = platform::toCp1251(f.name);
        for (qsizetype k = 0; k < name.size(); ++k)
            bytes[at + k] = name[k];
        bytes[at + 11] = f.type;
        bytes[at + 16] = static_cast<char>(f.size);
        bytes[at + 17] = static_cast<char>(f.decimals);
        recordLength += f.size;
    }
    putLe16(bytes, 10, recordLength);
    bytes[kHeader + kDescriptor * n] = 0x0D;
    bytes[kHeader + kDescriptor * n + 1] = 0x1A;
    return bytes;
}

void CreateDbfFile(const QString &fileName, const QStringList &specs)
{
    const QByteArray bytes = emptyTableBytes(specs);
    QFile::remove(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw platform::db::DbError(QStringLiteral("Невозможно записать файл ") + fileName + QStringLiteral(" !"));
}

std::vector<TableField> readTableFields(QByteArrayView bytes)
{
    std::vector<TableField> fields;
    if (bytes.size() < kHeader)
        return fields;
    const int headerLength = le16(bytes, 8);
    if (headerLength < kHeader + 1)
        return fields;
    const qsizetype declared = (headerLength - 33 + kDescriptor / 2) / kDescriptor;
    const qsizetype held = (bytes.size() - kHeader) / kDescriptor;
    const qsizetype n = std::min(declared, held);
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView d = bytes.sliced(kHeader + kDescriptor * i, kDescriptor);
        if (d[0] == 0x0D)
            break;
        qsizetype nameEnd = 0;
        while (nameEnd < 11 && d[nameEnd] != '\0')
            ++nameEnd;
        TableField f;
        f.name = platform::fromCp1251(d.first(nameEnd)).trimmed();
        f.type = d[11];
        f.size = static_cast<quint8>(d[16]);
        f.decimals = static_cast<quint8>(d[17]);
        fields.push_back(f);
    }
    return fields;
}

std::vector<TableField> readTableFieldsFromFile(const QString &path)
{
    QFile file(platform::findExistingPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kHeader);
    if (head.size() < kHeader)
        return {};
    const int headerLength = le16(head, 8);
    return readTableFields(head + file.read(std::max(0, headerLength - kHeader)));
}

void CopyRecords(const QString &source, const QString &target, const QString &oldName, const QString &newName)
{
    using namespace platform::db;
    Table from, to;
    bind(from, source);
    bind(to, target);
    from.open();
    to.open();
    const QString renamed = platform::ansiLowerCase(oldName);
    // The target field of each source field (null: left out).
    std::vector<Field *> targets;
    for (int i = 0; i < from.fieldCount(); ++i) {
        const QString name = from.field(i).fieldName();
        const bool isRenamed = !renamed.isEmpty() && platform::ansiLowerCase(name) == renamed;
        targets.push_back(to.findField(isRenamed ? newName : name));
    }
    for (from.first(); !from.eof(); from.next()) {
        to.append();
        for (int i = 0; i < from.fieldCount(); ++i) {
            Field *t = targets[static_cast<size_t>(i)];
            const Field &s = from.field(i);
            if (!t || s.isNull())
                continue;
            const FieldType type = t->dataType();
            if (type == s.dataType()) {
                t->setValue(s.value());
            } else if (type == FieldType::Integer || type == FieldType::Smallint || type == FieldType::Word) {
                t->setValue(numberFromText(s.asString()));
            } else if (isFloatType(type)) {
                double v = 0;
                try {
                    v = MapFunctions::TextToFloat(s.asString(), 0);
                } catch (const platform::ConvertError &) {
                }
                t->setValue(v);
            } else if (isStringType(type)) {
                t->setAsString(s.asString());
            } else {
                t->setValue(s.value());
            }
        }
        to.post();
        if (from.isDeletedRecord())
            to.deleteRecord();
    }
    to.close();
    from.close();
}

} // namespace dialogs::tables
