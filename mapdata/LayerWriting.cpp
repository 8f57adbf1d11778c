#include "mapdata/LayerWriting.h"

#include "mapdata/BinaryFile.h"
#include "mapdata/LayerFiles.h"

#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/NumberFormat.h"
#include "platform/db/Table.h"
#include "platform/UserAnswers.h"

#include <QFileInfo>

namespace layerwrite {

FileState captureFile(const QString &path, qint64 headBytes, qint64 tailFrom)
{
    FileState s;
    s.path = path;
    const QFileInfo info(path);
    s.existed = info.isFile();
    if (!s.existed)
        return s;
    s.size = info.size();
    mapdata::BinaryFile f;
    if (f.open(path)) {
        s.head = f.readBytes(0, headBytes);
        if (tailFrom >= 0 && tailFrom < s.size) {
            s.tailFrom = tailFrom;
            s.tail = f.readBytes(tailFrom, s.size - tailFrom);
        }
    }
    return s;
}

bool restoreFile(mapdata::FileOps &ops, const FileState &state)
{
    if (!state.existed)
        return ops.removeFile(state.path);
    bool ok = true;
    if (QFileInfo(state.path).size() != state.size)
        ok = ops.truncate(state.path, state.size);
    // Only bytes that differ are written again: a write that failed left
    // the rest as it was.
    auto putBack = [&](qint64 at, const QByteArray &bytes) {
        if (bytes.isEmpty())
            return;
        mapdata::BinaryFile f;
        const bool same = f.open(state.path) && f.readBytes(at, bytes.size()) == bytes;
        f.close();
        if (!same)
            ok = ops.writeAt(state.path, at, bytes) && ok;
    };
    putBack(0, state.head);
    putBack(state.tailFrom, state.tail);
    return ok;
}

qint64 dbfRecordsEnd(const QByteArray &header)
{
    if (header.size() < 12)
        return -1;
    const auto u = [&](int at) { return static_cast<qint64>(static_cast<unsigned char>(header[at])); };
    const qint64 count = u(4) | u(5) << 8 | u(6) << 16 | u(7) << 24;
    const qint64 headerLength = u(8) | u(9) << 8;
    const qint64 recordLength = u(10) | u(11) << 8;
    return headerLength + count * recordLength;
}

bool appendRecord(mapdata::FileOps &ops, const QString &workDir, const std::array<QString, 3> &files,
                  const shp::FileHeader &header, std::int32_t count, const shp::IndexEntry &previous,
                  const QByteArray &content, const mapdata::Box &recordBox,
                  const std::function<void(platform::db::Table &)> &fillRow, AppendedRecord &out)
{
    const QString &shpName = files[0], &shxName = files[1], &dbfName = files[2];
    std::int32_t number = 0;
    shp::IndexEntry place = shp::appendedRecordPlace(count, previous, number);
    const FileState shpBefore = captureFile(shpName, shp::FileHeaderSize);
    if (2 * qint64(place.Offset) < shpBefore.size)
        place.Offset = static_cast<std::int32_t>((shpBefore.size + 1) / 2);
    place.ContentLength = shp::wordsForBytes(content.size());
    const qint64 entryPos = shp::FileHeaderSize + qint64(shp::IndexEntrySize) * count;
    // What the appends write over: a cut entry at the index's end, the
    // table's end mark.
    const FileState shxBefore = captureFile(shxName, shp::FileHeaderSize, entryPos);
    FileState dbfBefore = captureFile(dbfName, 32);
    dbfBefore = captureFile(dbfName, 32, dbfRecordsEnd(dbfBefore.head));

    QByteArray record(shp::RecordHeaderSize, '\0');
    shp::encodeRecordHeader(record.data(), {number, place.ContentLength});
    record += content;
    QByteArray entry(shp::IndexEntrySize, '\0');
    shp::encodeIndexEntry(entry.data(), place);

    // The header with the box grown by the record's, each file with its own
    // length.
    shp::FileHeader grown = header;
    growBox(grown.XMin, grown.YMin, grown.XMax, grown.YMax, recordBox.XMin, recordBox.YMin, recordBox.XMax,
            recordBox.YMax);
    const qint64 shpSize = std::max(shpBefore.size, 2 * qint64(place.Offset) + record.size());
    const qint64 shxSize = std::max(shxBefore.size, entryPos + shp::IndexEntrySize);
    const auto shpHeader = shp::encodeFileHeader(grown, shpSize);
    const auto shxHeader = shp::encodeFileHeader(grown, shxSize);

    auto rollBack = [&] {
        restoreFile(ops, shpBefore);
        restoreFile(ops, shxBefore);
    };
    if (!ops.writeAt(shpName, 2 * qint64(place.Offset), record) || !ops.writeAt(shxName, entryPos, entry) ||
        !ops.writeAt(shpName, 0, QByteArray(shpHeader.data(), shp::FileHeaderSize)) ||
        !ops.writeAt(shxName, 0, QByteArray(shxHeader.data(), shp::FileHeaderSize))) {
        rollBack();
        reportLayerWriteFailure(shpName);
        return false;
    }

    // The attribute row. When it cannot be added, the record goes again, so
    // that the files never disagree; the engine's error reaches the caller.
    try {
        platform::db::Table table;
        table.setDatabaseName(workDir);
        table.setTableName(dbfName);
        table.open();
        const int rowCount = table.recordCount();
        table.append();
        fillRow(table);
        if (platform::db::Field *id = table.findField(u"ID"))
            id->setValue(rowCount + 1);
        if (platform::db::Field *date = table.findField(u"DATEEDIT"))
            date->setValue(platform::currentDateTime().date());
        table.post();
        table.close();
    } catch (...) {
        rollBack();
        // A row half written is taken back too, unless another handle of the
        // program has the table open and would lose track of it.
        if (!platform::db::TableLease::inUse(dbfName))
            restoreFile(ops, dbfBefore);
        throw;
    }
    out.place = place;
    out.header = grown;
    out.before = {shpBefore, shxBefore, dbfBefore};
    return true;
}

bool readLayerHeader(const QString &path, shp::FileHeader &header)
{
    header = shp::FileHeader{};
    mapdata::BinaryFile f;
    if (!f.open(path))
        return false;
    char bytes[shp::FileHeaderSize];
    return f.readExact(0, bytes, shp::FileHeaderSize) && shp::decodeFileHeader(bytes, shp::FileHeaderSize, header);
}

MapFunctions::FieldKind fieldKindOf(platform::db::FieldType type)
{
    using T = platform::db::FieldType;
    using K = MapFunctions::FieldKind;
    switch (type) {
    case T::String:
    case T::FixedChar:
        return K::String;
    case T::Memo:
    case T::FmtMemo:
        return K::Memo;
    case T::WideString:
        return K::WideString;
    case T::Smallint:
        return K::SmallInt;
    case T::Integer:
    case T::AutoInc:
        return K::Integer;
    case T::Word:
        return K::Word;
    case T::Largeint:
        return K::LargeInt;
    case T::Boolean:
        return K::Boolean;
    case T::Float:
    case T::BCD:
        return K::Float;
    case T::Currency:
        return K::Currency;
    default:
        return K::Other;
    }
}

void setFieldFromText(platform::db::Field &field, const QString &text)
{
    const MapFunctions::FieldKind kind = fieldKindOf(field.dataType());
    if (kind != MapFunctions::FieldKind::Other) {
        QVariant value;
        try {
            value = MapFunctions::TextToFieldValue(text, kind);
        } catch (const platform::ConvertError &) {
            return; // no number in the text: the field stays blank
        }
        field.setValue(value);
        return;
    }
    // Other types (dates among them) take the text as the engine reads it,
    // or stay blank when it reads no value of the type.
    if (text.trimmed().isEmpty())
        return;
    try {
        field.setAsString(text.trimmed());
    } catch (const platform::db::DbError &) {
    }
}

void reportLayerWriteFailure(const QString &path)
{
    platform::messageDlg(QStringLiteral("Невозможно записать слой ") + path + QStringLiteral(" !"),
                         platform::MsgType::Error, platform::mbOK);
}

bool mayReplaceLayerFiles(const QString &base)
{
    bool exists = false;
    for (const char *ext : mapdata::layerfiles::TripleExts)
        exists = exists || platform::fileExists(base + QLatin1String(ext));
    return !exists || platform::messageDlg(QStringLiteral("Файл(ы) ") + base +
                                               QStringLiteral(".shp(shx,dbf) уже присутствуют в папке !\n"
                                                              "Перезаписать существующие файлы ?"),
                                           platform::MsgType::Warning, platform::mbYesNo) == platform::mrYes;
}

} // namespace layerwrite
