#include "dialogs/TableStructure.h"

#include "mapdata/MapFunctions.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/db/DbTypes.h"
#include "platform/db/DbfCodec.h"
#include "platform/db/Table.h"

#include <QFile>

#include <algorithm>

namespace dialogs::tables {

namespace {

constexpr int kMemoBlock = 512;
// dBase III without and with a memo file.
constexpr char kPlainTable = 0x03;
constexpr char kMemoTable = static_cast<char>(0x83);

bool memoLetter(char type)
{
    return type == 'M' || type == 'B';
}

bool copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    return source.error() == QFileDevice::NoError && platform::writeFileAtomically(to, bytes);
}

QString cannotWrite(const QString &file)
{
    return QStringLiteral("Невозможно записать файл ") + file + QStringLiteral(" !");
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

bool fieldNameFits(const QString &name)
{
    return platform::toCp1251(name.trimmed()).size() <= MaxFieldNameBytes;
}

QString fieldNameInTable(const QString &name)
{
    QString cut = platform::ansiUpperCase(name.trimmed());
    while (platform::toCp1251(cut).size() > MaxFieldNameBytes)
        cut.chop(1);
    return cut;
}

std::optional<TableField> parseFieldSpec(const QString &spec)
{
    const QStringList parts = spec.split(u';');
    if (parts.size() < 4)
        return std::nullopt;
    TableField f;
    f.name = fieldNameInTable(parts[0]);
    const QString type = platform::ansiUpperCase(parts[1].trimmed());
    if (f.name.isEmpty() || type.isEmpty() || type[0].unicode() > 0x7F)
        return std::nullopt;
    f.type = static_cast<char>(type[0].unicode());
    const FieldLimits limits = limitField(f.type, numberFromText(parts[2]), numberFromText(parts[3]));
    f.size = limits.size;
    f.decimals = limits.decimals;
    return f;
}

QByteArray emptyTableBytes(const QStringList &specs)
{
    namespace dbf = platform::db::dbf;
    std::vector<TableField> fields;
    for (const QString &spec : specs)
        if (auto f = parseFieldSpec(spec))
            fields.push_back(*f);
    // The header length counts the descriptors written, and nothing else.
    const int n = static_cast<int>(fields.size());
    const bool memo = std::any_of(fields.begin(), fields.end(), [](const TableField &f) { return memoLetter(f.type); });
    QByteArray bytes = dbf::newHeader(static_cast<quint8>(memo ? kMemoTable : kPlainTable), n);
    dbf::putDateAndCount(bytes, QDate(2006, 3, 1), 0);
    int recordLength = 1;
    for (int i = 0; i < n; ++i) {
        const TableField &f = fields[static_cast<size_t>(i)];
        dbf::putDescriptor(bytes, i, platform::toCp1251(f.name), f.type, f.size, f.decimals);
        recordLength += f.size;
    }
    dbf::putRecordLength(bytes, recordLength);
    bytes.append(dbf::kFileEnd);
    return bytes;
}

bool hasMemoField(const QStringList &specs)
{
    return std::any_of(specs.begin(), specs.end(), [](const QString &spec) {
        const auto f = parseFieldSpec(spec);
        return f && memoLetter(f->type);
    });
}

QByteArray emptyMemoBytes()
{
    QByteArray bytes(kMemoBlock, '\0');
    bytes[0] = 1; // the next free block
    bytes[16] = 0x03;
    return bytes;
}

QString memoFileOf(const QString &tableFile)
{
    const QString found = platform::findExistingPath(platform::changeFileExt(tableFile, u".dbt"));
    return platform::fileExists(found) ? found : QString();
}

void CreateDbfFile(const QString &fileName, const QStringList &specs)
{
    const QByteArray bytes = emptyTableBytes(specs);
    QFile::remove(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw platform::db::DbError(cannotWrite(fileName));
    // The table's memos go into a memo file of its own, never into one an
    // earlier table of that name left.
    const QString memo = platform::changeFileExt(fileName, u".dbt");
    const QString stale = memoFileOf(fileName);
    if (!stale.isEmpty() && !QFile::remove(stale))
        throw platform::db::DbError(cannotWrite(stale));
    if (static_cast<quint8>(bytes[0]) == static_cast<quint8>(kMemoTable)
        && !platform::writeFileAtomically(memo, emptyMemoBytes()))
        throw platform::db::DbError(cannotWrite(memo));
}

QString ReplaceTableFiles(const QString &newFile, const QString &tableFile, const QString &backupFile,
                          bool &backupNeeded)
{
    backupNeeded = false;
    const QString oldMemo = memoFileOf(tableFile);
    const QString newMemo = memoFileOf(newFile);
    const QString backupMemo = platform::changeFileExt(backupFile, u".dbt");
    // The table as it was, both files, before anything of it is replaced.
    if (!copyFile(tableFile, backupFile))
        return cannotWrite(backupFile);
    if (!oldMemo.isEmpty() ? !copyFile(oldMemo, backupMemo) : (QFile::exists(backupMemo) && !QFile::remove(backupMemo)))
        return cannotWrite(backupMemo);
    // The memo file first: while the old table file stands, a failure here
    // leaves both as they were.
    const QString tableMemo = oldMemo.isEmpty() ? platform::changeFileExt(tableFile, u".dbt") : oldMemo;
    if (!newMemo.isEmpty() && !copyFile(newMemo, tableMemo))
        return cannotWrite(tableMemo);
    if (!copyFile(newFile, tableFile)) {
        // The old table file stands; its memo file goes back beside it.
        if (!newMemo.isEmpty() && !oldMemo.isEmpty() && !copyFile(backupMemo, tableMemo)) {
            backupNeeded = true;
            return cannotWrite(tableFile) + QStringLiteral("\nТаблица в прежнем виде сохранена в файлах ") + backupFile
                   + QStringLiteral(" и ") + backupMemo;
        }
        return cannotWrite(tableFile);
    }
    // A table left without memo fields keeps no memo file; its texts stay in
    // the backup until the editor closes.
    if (newMemo.isEmpty() && !oldMemo.isEmpty())
        QFile::remove(oldMemo);
    return QString();
}

std::vector<TableField> readTableFields(QByteArrayView bytes)
{
    namespace dbf = platform::db::dbf;
    std::vector<TableField> fields;
    if (bytes.size() < dbf::kHeaderSize)
        return fields;
    for (const dbf::Descriptor &d : dbf::readDescriptors(bytes, dbf::headerLengthOf(bytes), dbf::DescriptorWalk::Declared))
        fields.push_back({d.name, d.type, d.length, d.decimals});
    return fields;
}

std::vector<TableField> readTableFieldsFromFile(const QString &path)
{
    namespace dbf = platform::db::dbf;
    QFile file(platform::findExistingPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(dbf::kHeaderSize);
    if (head.size() < dbf::kHeaderSize)
        return {};
    return readTableFields(head + file.read(std::max(0, dbf::headerLengthOf(head) - dbf::kHeaderSize)));
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
    // The target field of each source field (null: left out); the new name
    // is looked up as the new table holds it.
    std::vector<Field *> targets;
    for (int i = 0; i < from.fieldCount(); ++i) {
        const QString name = from.field(i).fieldName();
        const bool isRenamed = !renamed.isEmpty() && platform::ansiLowerCase(name) == renamed;
        targets.push_back(to.findField(isRenamed ? fieldNameInTable(newName) : name));
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
