// The edit journal: "updates.mhp" keeps every written version of an object
// as a layer record, "updates.mhx" one 28-byte entry per change (the object,
// the place of its new version, the place it replaced, its state bytes).
// Undo and redo move between the entries; a save drops a layer's entries.

#include "mapdata/EditJournal.h"
#include "mapdata/MapDataCore.h"

#include "platform/Paths.h"
#include "platform/UserAnswers.h"

#include <QFileInfo>

#include <cstring>
#include <tuple>
#include <utility>

namespace jrn {

QByteArray fileHeader()
{
    // File code 9994, little-endian, then zeros: nothing reads it.
    QByteArray h(shp::FileHeaderSize, '\0');
    shp::setLE32(h.data(), shp::FileCode);
    return h;
}

Entry decodeEntry(const char *p)
{
    Entry e;
    e.Layer = shp::getLE32(p);
    e.Index = shp::getLE32(p + 4);
    e.NewOffset = shp::getLE32(p + 8);
    e.NewLength = shp::getLE32(p + 12);
    e.PrevOffset = shp::getLE32(p + 16);
    e.PrevLength = shp::getLE32(p + 20);
    e.Shown = static_cast<Byte>(p[24]);
    e.Modified = static_cast<Byte>(p[25]);
    e.Deleted = static_cast<Byte>(p[26]);
    e.Appended = static_cast<Byte>(p[27]);
    return e;
}

void encodeEntry(const Entry &e, char *p)
{
    shp::setLE32(p, e.Layer);
    shp::setLE32(p + 4, e.Index);
    shp::setLE32(p + 8, e.NewOffset);
    shp::setLE32(p + 12, e.NewLength);
    shp::setLE32(p + 16, e.PrevOffset);
    shp::setLE32(p + 20, e.PrevLength);
    p[24] = static_cast<char>(e.Shown);
    p[25] = static_cast<char>(e.Modified);
    p[26] = static_cast<char>(e.Deleted);
    p[27] = static_cast<char>(e.Appended);
}

QByteArray encodeEntry(const Entry &e)
{
    QByteArray b(EntrySize, '\0');
    encodeEntry(e, b.data());
    return b;
}

} // namespace jrn

namespace {

void reportJournalFailure(const QString &path)
{
    platform::messageDlg(QStringLiteral("Невозможно записать журнал изменений ") + path + QStringLiteral(" !"),
                         platform::MsgType::Error, platform::mbOK);
}

Byte flag(bool b) { return b ? 1 : 0; }

// Entry k of the index file, when it is there whole.
bool readEntry(mapdata::BinaryFile &file, std::int32_t k, jrn::Entry &entry)
{
    char bytes[jrn::EntrySize];
    if (k < 0 || !file.readExact(shp::FileHeaderSize + qint64(jrn::EntrySize) * k, bytes, jrn::EntrySize))
        return false;
    entry = jrn::decodeEntry(bytes);
    return true;
}

} // namespace

QString MapDataCore::JournalShxName() const { return platform::joinPath(FWorkDir, u"updates.mhx"); }

bool MapDataCore::journalEntryApplies(const jrn::Entry &e, bool undo) const
{
    if (!validLayer(e.Layer))
        return false;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(e.Layer)];
    if (e.Index < 0 || static_cast<size_t>(e.Index) >= L.Objects.size())
        return false;
    // An entry belongs to the object only while the object stands where the
    // entry left it (undo) or found it (redo). Entries of a layer that was
    // saved without its entries being dropped no longer do.
    if (shp::recordKindOf(L.ShapeType) == shp::RecordKind::None)
        return true;
    const TMapObject &obj = L.Objects[static_cast<size_t>(e.Index)];
    return undo ? e.NewOffset != 0 && obj.JrnOffset == e.NewOffset : obj.JrnOffset == e.PrevOffset;
}

bool MapDataCore::JournalObject(int layer, int index, std::int32_t &newOffset, std::int32_t &newLength,
                                std::int32_t previousOffset, std::int32_t previousLength)
{
    std::vector<TJournalItem> items(1);
    items[0].Layer = layer;
    items[0].Index = index;
    items[0].PreviousOffset = previousOffset;
    items[0].PreviousLength = previousLength;
    items[0].NewOffset = newOffset;
    items[0].NewLength = newLength;
    if (!JournalObjects(items))
        return false;
    newOffset = items[0].NewOffset;
    newLength = items[0].NewLength;
    return true;
}

TJournalRecords::TJournalRecords()
{
    const QByteArray header = jrn::fileHeader();
    std::memcpy(Bytes.append(header.size()), header.constData(), static_cast<size_t>(header.size()));
}

void MapDataCore::AddJournalRecord(TJournalRecords &records, const TJournalItem &item, const TShpObject &shape) const
{
    TJournalRecords::Place place;
    if (validLayer(item.Layer)) {
        const std::int32_t shapeType = FProject.Layers[static_cast<size_t>(item.Layer)].ShapeType;
        if (shp::recordKindOf(shapeType) != shp::RecordKind::None) {
            mapdata::BulkBuffer &out = records.Bytes;
            const qsizetype head = out.size();
            out.append(shp::RecordHeaderSize);
            shp::appendObjectContent([&out](qsizetype n) { return out.append(n); }, shapeType, shape,
                                     item.Style ? *item.Style : FTemplate);
            place.Offset = static_cast<std::int32_t>((head - shp::FileHeaderSize) / 2);
            place.Length = shp::wordsForBytes(out.size() - head - shp::RecordHeaderSize);
            shp::encodeRecordHeader(out.data() + head, {item.Index + 1, place.Length});
            if (out.size() & 1)
                out.append(1);
        }
    }
    records.Places.push_back(place);
}

bool MapDataCore::JournalObjects(std::vector<TJournalItem> &items)
{
    // The objects' shapes as they stand; those of items out of range are
    // not looked at (the batch is refused).
    static const TShpObject none;
    TJournalRecords records;
    records.Places.reserve(items.size());
    for (const TJournalItem &it : items) {
        const TShpObject *shape = &none;
        if (validLayer(it.Layer) && it.Index >= 0) {
            const TMapLayer &L = FProject.Layers[static_cast<size_t>(it.Layer)];
            if (static_cast<size_t>(it.Index) < L.Objects.size())
                shape = &*std::as_const(L.Objects[static_cast<size_t>(it.Index)].Shape);
        }
        AddJournalRecord(records, it, *shape);
    }
    if (!JournalObjects(items, records))
        return false;
    for (const TJournalItem &it : items)
        FProject.Layers[static_cast<size_t>(it.Layer)].Objects[static_cast<size_t>(it.Index)].Shape.clearParts();
    return true;
}

bool MapDataCore::JournalObjects(std::vector<TJournalItem> &items, const TJournalRecords &records)
{
    FJournalShp = JournalShpName();
    FJournalShx = JournalShxName();
    for (const TJournalItem &it : items)
        if (!validLayer(it.Layer) || it.Index < 0 ||
            static_cast<size_t>(it.Index) >= FProject.Layers[static_cast<size_t>(it.Layer)].Objects.size())
            return false;
    if (records.Places.size() != items.size())
        return false;
    if (items.empty())
        return true;

    // The files as they are spelled on disk, when they exist.
    const QString shpFound = existingFile(FJournalShp);
    const QString shxFound = existingFile(FJournalShx);
    const QString shpName = shpFound.isEmpty() ? FJournalShp : shpFound;
    const QString shxName = shxFound.isEmpty() ? FJournalShx : shxFound;
    // A journal that cannot be written records nothing: say so, so that the
    // caller does not take the change for done.
    if (!shpFound.isEmpty() && mapdata::isReadOnlyFile(shpFound)) {
        reportJournalFailure(shpFound);
        return false;
    }
    if (!shxFound.isEmpty() && mapdata::isReadOnlyFile(shxFound)) {
        reportJournalFailure(shxFound);
        return false;
    }

    // The records alone, without the file header the buffer starts with.
    const qsizetype recordBytes = records.Bytes.size() - shp::FileHeaderSize;
    const QByteArray recordsOnly = records.Bytes.view(shp::FileHeaderSize);
    // The word of the records file where the first record goes: after the
    // header of a fresh file, or at the end.
    std::int32_t firstWord = 0;
    auto newPlace = [&](size_t k) {
        const TJournalRecords::Place &place = records.Places[k];
        return place.Offset >= 0 ? std::pair(place.Offset + firstWord, place.Length)
                                 : std::pair(items[k].NewOffset, items[k].NewLength);
    };
    // The entries, laid out one after another at the end of `out`.
    auto encodeEntries = [&](mapdata::BulkBuffer &out) {
        char *p = out.append(jrn::EntrySize * qsizetype(items.size()));
        for (size_t k = 0; k < items.size(); ++k) {
            const TJournalItem &it = items[k];
            const TMapObject &obj =
                FProject.Layers[static_cast<size_t>(it.Layer)].Objects[static_cast<size_t>(it.Index)];
            jrn::Entry entry;
            entry.Layer = it.Layer;
            entry.Index = it.Index;
            std::tie(entry.NewOffset, entry.NewLength) = newPlace(k);
            entry.PrevOffset = it.PreviousOffset;
            entry.PrevLength = it.PreviousLength;
            entry.Shown = flag(obj.Shown);
            entry.Modified = flag(obj.Modified);
            entry.Deleted = flag(obj.Deleted);
            entry.Appended = flag(obj.Appended);
            jrn::encodeEntry(entry, p);
            p += jrn::EntrySize;
        }
    };

    mapdata::FileOps &ops = fileOps();
    if (FJournalPos <= 0) {
        // A journal with nothing applied starts afresh. The new pair is
        // written beside the old one and takes its place only when whole, so
        // a failed write leaves the old journal (and its redo tail) as it was.
        firstWord = shp::FileHeaderSize / 2;
        mapdata::BulkBuffer mhx;
        const QByteArray header = jrn::fileHeader();
        std::memcpy(mhx.append(header.size()), header.constData(), static_cast<size_t>(header.size()));
        // Entries before the position, should a vanished index be written
        // again, are empty: undo passes over them.
        mhx.append(jrn::EntrySize * qsizetype(std::max(FJournalPos, 0)));
        encodeEntries(mhx);
        const QString tmpShp = platform::joinPath(FWorkDir, u"updates~.mhp");
        const QString tmpShx = platform::joinPath(FWorkDir, u"updates~.mhx");
        if (!ops.writeFile(tmpShp, records.Bytes.view()) || !ops.writeFile(tmpShx, mhx.view()) ||
            !ops.renameFile(tmpShp, shpName)) {
            ops.removeFile(tmpShp);
            ops.removeFile(tmpShx);
            reportJournalFailure(shpName);
            return false;
        }
        if (!ops.renameFile(tmpShx, shxName)) {
            // The old index speaks of records that are gone: nothing of it
            // can be redone.
            ops.removeFile(tmpShx);
            ops.removeFile(shxName);
            FJournalCount = FJournalPos;
            reportJournalFailure(shxName);
            return false;
        }
    } else {
        // A file that went missing while entries are applied is made anew;
        // the versions in the other one stay where the objects find them.
        bool madeShp = false, madeShx = false;
        if (shpFound.isEmpty()) {
            if (!ops.writeFile(shpName, jrn::fileHeader())) {
                ops.removeFile(shpName);
                reportJournalFailure(shpName);
                return false;
            }
            madeShp = true;
        }
        if (shxFound.isEmpty()) {
            if (!ops.writeFile(shxName, jrn::fileHeader())) {
                ops.removeFile(shxName);
                if (madeShp)
                    ops.removeFile(shpName);
                reportJournalFailure(shxName);
                return false;
            }
            madeShx = true;
        }
        auto dropMade = [&] {
            if (madeShp)
                ops.removeFile(shpName);
            if (madeShx)
                ops.removeFile(shxName);
        };
        mapdata::BinaryFile shxFile;
        const qint64 shpSize = QFileInfo(shpName).size();
        const qint64 shxSize = QFileInfo(shxName).size();
        // Records are appended at an even place, as places count words.
        const qint64 recordPos = shpSize + (shpSize & 1);
        if (recordBytes > 0) {
            firstWord = static_cast<std::int32_t>(recordPos / 2);
            QByteArray bytes = recordsOnly;
            if (shpSize & 1)
                bytes.prepend('\0');
            if (!ops.writeAt(shpName, shpSize, bytes)) {
                ops.truncate(shpName, shpSize);
                dropMade();
                reportJournalFailure(shpName);
                return false;
            }
        }
        mapdata::BulkBuffer entryBytes;
        encodeEntries(entryBytes);
        const QByteArray newEntries = entryBytes.view();
        const qint64 entryPos = shp::FileHeaderSize + qint64(jrn::EntrySize) * FJournalPos;
        QByteArray before;
        if (shxFile.open(shxName))
            before = shxFile.readBytes(entryPos, newEntries.size());
        shxFile.close();
        if (!ops.writeAt(shxName, entryPos, newEntries)) {
            // The entries that were there (redo steps) come back, and the
            // records appended for them go.
            if (!before.isEmpty())
                ops.writeAt(shxName, entryPos, before);
            ops.truncate(shxName, std::max<qint64>(shxSize, entryPos + before.size()));
            if (recordBytes > 0)
                ops.truncate(shpName, shpSize);
            dropMade();
            reportJournalFailure(shxName);
            return false;
        }
    }

    for (size_t k = 0; k < items.size(); ++k)
        std::tie(items[k].NewOffset, items[k].NewLength) = newPlace(k);
    FJournalPos += static_cast<std::int32_t>(items.size());
    FJournalCount = FJournalPos;
    return true;
}

void MapDataCore::UndoEdit()
{
    const QString shxName = existingFile(JournalShxName());
    if (shxName.isEmpty() || FJournalPos <= 0)
        return;
    mapdata::BinaryFile file;
    if (!file.open(shxName))
        return;
    jrn::Entry e;
    if (readEntry(file, FJournalPos - 1, e) && journalEntryApplies(e, true)) {
        TMapLayer &L = FProject.Layers[static_cast<size_t>(e.Layer)];
        TMapObject &obj = L.Objects[static_cast<size_t>(e.Index)];
        obj.JrnOffset = e.PrevOffset;
        obj.JrnLength = e.PrevLength;
        if (e.PrevOffset == 0) {
            // Back to the layer-file version; undoing the creation of an
            // object deletes it.
            obj.Shown = obj.Modified = obj.Appended = false;
            obj.Deleted = e.Appended != 0;
            if (obj.Deleted)
                L.ObjectsDeleted = true;
        } else {
            // The state the object had with the version that comes back: that
            // of the latest earlier entry of the object that wrote it.
            bool found = false;
            for (std::int32_t k = FJournalPos - 2; k >= 0 && !found; --k) {
                jrn::Entry before;
                if (readEntry(file, k, before) && before.Layer == e.Layer && before.Index == e.Index &&
                    before.NewOffset == e.PrevOffset) {
                    obj.Shown = before.Shown != 0;
                    obj.Modified = before.Modified != 0;
                    obj.Appended = before.Appended != 0;
                    found = true;
                }
            }
            if (!found) {
                // Its entry is gone: a journal version is a change all the same.
                obj.Shown = false;
                obj.Modified = true;
                obj.Appended = e.Appended != 0;
            }
            obj.Deleted = false;
        }
        // The object stands where it stood: its block and the layer's extent
        // follow (a transformation undone object by object shrinks the
        // extent back).
        RecalcObjectExtents(e.Layer, e.Index);
    }
    --FJournalPos;
}

void MapDataCore::RedoEdit()
{
    const QString shxName = existingFile(JournalShxName());
    if (shxName.isEmpty() || FJournalPos >= FJournalCount)
        return;
    mapdata::BinaryFile file;
    if (!file.open(shxName))
        return;
    jrn::Entry e;
    if (readEntry(file, FJournalPos, e) && journalEntryApplies(e, false)) {
        TMapLayer &L = FProject.Layers[static_cast<size_t>(e.Layer)];
        TMapObject &obj = L.Objects[static_cast<size_t>(e.Index)];
        obj.JrnOffset = e.NewOffset;
        obj.JrnLength = e.NewLength;
        if (e.NewOffset != 0) {
            obj.Shown = e.Shown != 0;
            obj.Modified = e.Modified != 0;
        } else {
            // No version was written (a layer without records): changed all the same.
            obj.Shown = false;
            obj.Modified = true;
        }
        obj.Deleted = e.Deleted != 0;
        obj.Appended = e.Appended != 0;
        if (obj.Deleted)
            L.ObjectsDeleted = true;
        RecalcObjectExtents(e.Layer, e.Index);
    }
    ++FJournalPos;
}

bool MapDataCore::DropLayerJournal(int layer)
{
    mapdata::FileOps &ops = fileOps();
    const QString tmpName = platform::joinPath(FWorkDir, u"updates~.mhx");
    const QString oldName = platform::joinPath(FWorkDir, u"updates`.mhx");
    ops.removeFile(tmpName);
    ops.removeFile(oldName);
    const QString shxName = existingFile(JournalShxName());
    if (shxName.isEmpty())
        return true;

    std::int32_t count = FJournalCount, pos = FJournalPos;
    QByteArray rewritten;
    {
        mapdata::BinaryFile file;
        if (!file.open(shxName))
            return false;
        rewritten = file.readBytes(0, shp::FileHeaderSize);
        if (rewritten.size() < shp::FileHeaderSize)
            rewritten = jrn::fileHeader();
        for (std::int32_t k = 0; k < FJournalCount; ++k) {
            jrn::Entry e;
            if (!readEntry(file, k, e))
                break;
            if (e.Layer == layer) {
                --count;
                if (k < FJournalPos)
                    --pos;
                continue;
            }
            rewritten += jrn::encodeEntry(e);
        }
    }
    if (count == FJournalCount)
        return true; // no entry of the layer
    // The new index replaces the old one in one step.
    if (!ops.writeFile(tmpName, rewritten) || !ops.renameFile(tmpName, shxName)) {
        ops.removeFile(tmpName);
        // Undo passes over the entries left behind, whose objects no longer
        // stand where they put them; nothing can be redone.
        FJournalCount = FJournalPos;
        reportJournalFailure(shxName);
        return false;
    }
    FJournalCount = count;
    FJournalPos = pos;
    return true;
}
