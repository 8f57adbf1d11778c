// Reading a layer's files into its record: the files kept open while the
// layer is open, and the one scan of the index and the record heads behind
// opening a layer, its recalculation and the recalculation of its extents.

#include "mapdata/MapDataCore.h"

#include "platform/Paths.h"
#include "platform/db/DbTypes.h"
#include "platform/db/DbfCodec.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

using mapdata::KeptFile;

namespace {

bool unsetBox(const TBlockExtent &b) { return b.XMin == 0 && b.YMin == 0 && b.XMax == 0 && b.YMax == 0; }

// The content of a record at hand: its position and its length (the table's,
// or that of the record's own header when the table has none), no further
// than the end of the file.
struct RecordPlace {
    qint64 pos = 0;
    qint64 available = 0;
};

RecordPlace placeOf(KeptFile &file, qint64 offsetWords, qint64 lengthBytes)
{
    RecordPlace p;
    if (offsetWords < 0)
        return p;
    p.pos = 2 * offsetWords + shp::RecordHeaderSize;
    if (lengthBytes <= 0) {
        const QByteArrayView h = file.read(p.pos - shp::RecordHeaderSize, shp::RecordHeaderSize);
        if (h.size() == shp::RecordHeaderSize)
            lengthBytes = 2 * static_cast<qint64>(shp::decodeRecordHeader(h.data()).ContentLength);
    }
    p.available = std::clamp<qint64>(file.size() - p.pos, 0, std::max<qint64>(lengthBytes, 0));
    return p;
}

// The box of the record by the rule of the extents; false when it does not count.
bool recordBox(KeptFile &file, std::int32_t headerType, const RecordPlace &at, TBlockExtent &box)
{
    // Only the head is read: the rule needs no more.
    const qint64 head = std::min<qint64>(at.available, shp::TextHeadSize);
    if (head <= 0)
        return false;
    const QByteArrayView bytes = file.read(at.pos, head);
    if (bytes.size() < head)
        return false;
    // The rule is given the record's whole length: the head is what it reads.
    return shp::recordExtent(headerType, bytes.data(), at.available, box.XMin, box.YMin, box.XMax, box.YMax);
}

void growBlock(TBlockExtent &b, const TBlockExtent &by) { growBox(b.XMin, b.YMin, b.XMax, b.YMax, by.XMin, by.YMin, by.XMax, by.YMax); }

// Rows of a dBase table as its file holds them: whole records after the
// header; an end mark beyond the header's rows is no row.
qint64 rowsInFile(const platform::db::dbf::DbfHeader &h, qint64 fileSize, bool endsWithMark)
{
    qint64 body = fileSize - h.headerLength;
    if (endsWithMark && body > static_cast<qint64>(h.recordCount) * h.recordLength)
        --body;
    return std::max<qint64>(body, 0) / h.recordLength;
}

} // namespace

QByteArrayView mapdata::recordContent(KeptFile &file, qint64 offsetWords, qint64 tableLengthBytes)
{
    const qint64 pos = 2 * offsetWords + shp::RecordHeaderSize;
    if (offsetWords < 0 || pos >= file.size())
        return {};
    qint64 length = std::max<qint64>(tableLengthBytes, 0);
    // The header and the content as the table gives it in one read; a longer
    // record by its own header in a second.
    const QByteArrayView both = file.read(pos - shp::RecordHeaderSize, shp::RecordHeaderSize + length);
    if (both.size() < shp::RecordHeaderSize)
        return {};
    const qint64 stated = 2 * static_cast<qint64>(shp::decodeRecordHeader(both.data()).ContentLength);
    if (stated <= length)
        return both.sliced(shp::RecordHeaderSize);
    return file.read(pos, stated);
}

// ---------------------------------------------------------------------------
// Kept files

MapDataCore::KeptLayer *MapDataCore::keptLayer(int layer)
{
    if (!validLayer(layer))
        return nullptr;
    // Layers gone take their files with them.
    FKeptLayers.resize(FProject.Layers.size());
    std::unique_ptr<KeptLayer> &k = FKeptLayers[static_cast<size_t>(layer)];
    if (!k)
        k = std::make_unique<KeptLayer>();
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    if (k->fileName == L.FileName && k->workDir == FWorkDir && k->shp->ready())
        return k.get();
    k->fileName = L.FileName;
    k->workDir = FWorkDir;
    QString shpName, shxName;
    GetLayerShapeNames(L.FileName, QString(), shpName, shxName);
    QString shp = existingFile(shpName), shx = existingFile(shxName);
    if (shp.isEmpty() && shx.isEmpty()) {
        // A name with a folder of its own is also looked for in the work folder.
        GetLayerShapeNames(platform::joinPath(FWorkDir, L.FileName), QString(), shpName, shxName);
        const QString s = existingFile(shpName), x = existingFile(shxName);
        if (!s.isEmpty() && !x.isEmpty()) {
            shp = s;
            shx = x;
        }
    }
    k->shp->close();
    k->shx->close();
    if (!shp.isEmpty())
        k->shp->open(shp);
    if (!shx.isEmpty())
        k->shx->open(shx);
    return k.get();
}

KeptFile *MapDataCore::keptJournal()
{
    if (FKeptJournalDir != FWorkDir || !FKeptJournal->ready()) {
        FKeptJournalDir = FWorkDir;
        FKeptJournal->close();
        const QString name = existingFile(JournalShpName());
        if (!name.isEmpty())
            FKeptJournal->open(name);
    }
    return FKeptJournal->ready() ? FKeptJournal.get() : nullptr;
}

KeptFile *MapDataCore::LayerRecordFile(int layer)
{
    KeptLayer *kept = keptLayer(layer);
    if (!kept)
        return nullptr;
    kept->shp->check();
    return kept->shp->ready() ? kept->shp.get() : nullptr;
}

KeptFile *MapDataCore::JournalRecordFile()
{
    KeptFile *journal = keptJournal();
    if (journal) {
        journal->check();
        // Gone since: looked for again.
        if (!journal->ready())
            journal = keptJournal();
    }
    return journal;
}

void MapDataCore::ReleaseLayerFiles(int layer)
{
    if (layer >= 0 && static_cast<size_t>(layer) < FKeptLayers.size())
        FKeptLayers[static_cast<size_t>(layer)].reset();
}

void MapDataCore::ReleaseLayerFiles()
{
    FKeptLayers.clear();
    FKeptJournal->close();
    FKeptJournalDir.clear();
}

bool MapDataCore::LayerWritable(int layer) const
{
    return validLayer(layer) && !FProject.Layers[static_cast<size_t>(layer)].ReadOnly;
}

bool MapDataCore::layerOpenedReadOnly(const QString &shpName) const
{
    const QString path = QFileInfo(shpName).absoluteFilePath();
    for (const TMapLayer &L : FProject.Layers) {
        if (!L.ReadOnly || L.Closed)
            continue;
        QString shp;
        GetLayerShpName(L.FileName, QString(), shp);
        shp = existingFile(shp);
        if (!shp.isEmpty() && QFileInfo(shp).absoluteFilePath() == path)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The scan

bool MapDataCore::scanLayer(int layer, ScanMode mode, TLayerCheck &check, qint64 onlyBlock)
{
    KeptLayer *kept = keptLayer(layer);
    if (!kept)
        return false;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    KeptFile &shpFile = *kept->shp, &shxFile = *kept->shx;
    // An operation over the whole layer looks at its files once.
    shpFile.check();
    shxFile.check();
    if (!shpFile.ready() || !shxFile.ready())
        return false;
    check.Found = true;

    // Opening and recalculation go by the index and its header; the extents
    // by the table and the ".Shp" header.
    shp::FileHeader header;
    const QByteArrayView headBytes = mode == ScanMode::Extents ? shpFile.head() : shxFile.head();
    if (!shp::decodeFileHeader(headBytes.data(), headBytes.size(), header))
        return false;
    check.ShapeType = header.ShapeType;
    const std::int32_t T = header.ShapeType;
    const qint64 shpSize = shpFile.size();

    // The table is sized from the index file as it is, whatever its header
    // says: whole entries only.
    QByteArrayView index;
    qint64 count = static_cast<qint64>(L.Objects.size());
    if (mode != ScanMode::Extents) {
        const qint64 room = std::max<qint64>(shxFile.size() - shp::FileHeaderSize, 0);
        check.IndexCut = room % shp::IndexEntrySize != 0;
        index = shxFile.read(shp::FileHeaderSize, room / shp::IndexEntrySize * shp::IndexEntrySize);
        count = index.size() / shp::IndexEntrySize;
    }
    check.Entries = count;
    KeptFile *jrn = mode == ScanMode::Open ? nullptr : keptJournal();

    const unsigned bs = blockSize();
    std::vector<TBlockExtent> blocks(static_cast<size_t>(count) / bs + 1);
    // One block of the extents: the others stay as they are (in map units).
    const bool oneBlock = mode == ScanMode::Extents && onlyBlock >= 0;
    if (oneBlock) {
        for (size_t b = 0; b < blocks.size() && b < L.Blocks.size(); ++b)
            if (static_cast<qint64>(b) != onlyBlock)
                blocks[b] = L.Blocks[b];
        if (onlyBlock >= static_cast<qint64>(blocks.size()))
            return false;
    }
    std::vector<shp::IndexEntry> places(mode == ScanMode::Extents ? 0 : static_cast<size_t>(count));
    TBlockExtent fileBox;  // the box of the layer-file versions (the recalculated header's)
    const qint64 first = oneBlock ? onlyBlock * bs : 0;
    const qint64 end = oneBlock ? std::min<qint64>(count, first + bs) : count;
    for (qint64 i = first; i < end; ++i) {
        const TMapObject *obj = i < static_cast<qint64>(L.Objects.size()) && mode != ScanMode::Open
                                    ? &L.Objects[static_cast<size_t>(i)]
                                    : nullptr;
        qint64 offset = 0, length = 0;
        if (mode == ScanMode::Extents) {
            if (obj->ShpLength <= 4 || obj->Deleted)
                continue; // no object there, or a deleted one
            offset = obj->ShpOffset;
            length = obj->ShpLength;
        } else {
            const shp::IndexEntry e = shp::decodeIndexEntry(index.data() + i * shp::IndexEntrySize);
            places[static_cast<size_t>(i)] = e;
            offset = e.Offset;
            length = 2 * static_cast<qint64>(e.ContentLength);
            // Every record lies after the header and within the file.
            if (offset < shp::FileHeaderSize / 2 || length < 0 ||
                2 * offset + shp::RecordHeaderSize + length > shpSize)
                check.RecordsOutside = true;
        }
        TBlockExtent box;
        bool counts = recordBox(shpFile, T, placeOf(shpFile, offset, std::max<qint64>(length, 0)), box);
        if (mode == ScanMode::Recalc && counts)
            growBlock(fileBox, box);
        // The block takes in the current version: the journal's when there is one.
        if (obj && obj->JrnOffset != 0 && jrn) {
            box = TBlockExtent{};
            counts = recordBox(*jrn, T, placeOf(*jrn, obj->JrnOffset, 2 * static_cast<qint64>(obj->JrnLength)), box);
        }
        if (counts)
            growBlock(blocks[static_cast<size_t>(i) / bs], box);
    }
    // A damaged layer is not rewritten, not even its headers.
    if (mode == ScanMode::Recalc && check.damaged())
        return false;
    check.Read = true;

    // The table.
    if (mode == ScanMode::Open)
        L.Objects.assign(static_cast<size_t>(count), TMapObject{});
    else if (mode == ScanMode::Recalc)
        L.Objects.resize(static_cast<size_t>(count)); // surviving entries keep their journal place and state
    for (size_t i = 0; i < places.size(); ++i) {
        L.Objects[i].ShpOffset = places[i].Offset;
        L.Objects[i].ShpLength = static_cast<std::int32_t>(2 * static_cast<qint64>(places[i].ContentLength));
    }
    if (mode == ScanMode::Recalc && count > 0) {
        switch (shp::recordKindOf(T)) {
        case shp::RecordKind::Text: L.ObjType = otText; break;
        case shp::RecordKind::Point:
            if (L.ObjType != otSymbols && L.ObjType != otBitmaps)
                L.ObjType = otPoints;
            break;
        case shp::RecordKind::Poly:
            L.ObjType = T == shp::stPolyline || T == shp::stPolylineZ || T == shp::stPolylineM ? otPolylines
                                                                                                : otPolygons;
            break;
        case shp::RecordKind::Raster: L.ObjType = otImages; break;
        case shp::RecordKind::None: break;
        }
    }
    if (mode == ScanMode::Open || (mode == ScanMode::Recalc && L.ShapeType == 0))
        L.ShapeType = T;

    // Blocks and extent in map coordinates. A box never grown stays all zero:
    // converted, it would pull a far point into the layer's extent.
    InitLayerProjection(layer);
    auto toMap = [&](TBlockExtent &b) {
        if (FLayerProj && !unsetBox(b)) {
            ProjectLayerPoint(b.XMin, b.YMin);
            ProjectLayerPoint(b.XMax, b.YMax);
        }
    };
    if (oneBlock)
        toMap(blocks[static_cast<size_t>(onlyBlock)]);
    else
        for (TBlockExtent &b : blocks)
            toMap(b);
    L.Blocks = std::move(blocks);
    TBlockExtent extent;
    switch (mode) {
    case ScanMode::Open:
        extent = {0, header.XMin, header.YMin, header.XMax, header.YMax};
        toMap(extent);
        break;
    case ScanMode::Recalc:
        // The boxes of the records in the layer file, deleted objects too.
        extent = fileBox;
        toMap(extent);
        break;
    case ScanMode::Extents:
        for (const TBlockExtent &b : L.Blocks)
            if (!unsetBox(b))
                growBlock(extent, b);
        break;
    }
    FreeLayerProjection();
    L.MtMinX = extent.XMin;
    L.MtMinY = extent.YMin;
    L.MtMaxX = extent.XMax;
    L.MtMaxY = extent.YMax;
    L.CenterX = L.MtMinX + (L.MtMaxX - L.MtMinX) / 2;
    L.CenterY = L.MtMinY + (L.MtMaxY - L.MtMinY) / 2;

    if (mode == ScanMode::Recalc) {
        // Both files get the header with the new box (in the layer's own
        // units), each with its own length.
        header.XMin = fileBox.XMin;
        header.YMin = fileBox.YMin;
        header.XMax = fileBox.XMax;
        header.YMax = fileBox.YMax;
        const QString shpName = shpFile.path(), shxName = shxFile.path();
        mapdata::BinaryFile shpOut, shxOut;
        if (!shpOut.open(shpName, mapdata::BinaryFile::ReadWrite) ||
            !shxOut.open(shxName, mapdata::BinaryFile::ReadWrite))
            return false;
        const auto shpHeader = shp::encodeFileHeader(header, shpOut.size());
        const auto shxHeader = shp::encodeFileHeader(header, shxOut.size());
        return shpOut.writeAt(0, shpHeader.data(), shp::FileHeaderSize) &&
               shxOut.writeAt(0, shxHeader.data(), shp::FileHeaderSize);
    }
    return true;
}

TLayerCheck MapDataCore::OpenLayerFiles(int layer)
{
    TLayerCheck check;
    if (!scanLayer(layer, ScanMode::Open, check))
        return check;

    // The attribute table: row k belongs to object k.
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    QString shpName, shxName, dbfName;
    GetLayerFileNames(L.FileName, QString(), shpName, shxName, dbfName);
    dbfName = existingFile(dbfName);
    QFile dbf(dbfName);
    if (dbfName.isEmpty() || !dbf.open(QIODevice::ReadOnly))
        return check; // without a table no writer takes the layer
    const qint64 size = dbf.size();
    const QByteArray first = dbf.read(0xFFFF);
    char last = 0;
    const bool endsWithMark = dbf.seek(size - 1) && dbf.getChar(&last) && last == platform::db::dbf::kFileEnd;
    try {
        const platform::db::dbf::DbfHeader h = platform::db::dbf::parseHeader(first, size, dbfName);
        check.HeaderRows = h.recordCount;
        check.FileRows = rowsInFile(h, size, endsWithMark);
        if (check.HeaderRows < check.FileRows)
            check.Table = TLayerCheck::TableHeaderUnder;
        else if (check.FileRows != check.Entries)
            check.Table = TLayerCheck::TableRowsDiffer;
        else if (check.HeaderRows > check.FileRows)
            check.Table = TLayerCheck::TableHeaderOver;
    } catch (const platform::db::DbError &) {
        check.Table = TLayerCheck::TableUnreadable;
    }
    return check;
}

bool MapDataCore::RecalcLayer(int layer)
{
    if (!validLayer(layer) || !LayerWritable(layer))
        return false;
    KeptLayer *kept = keptLayer(layer);
    if (!kept->shp->ready() || !kept->shx->ready())
        return false;
    if (mapdata::isReadOnlyFile(kept->shp->path()) || mapdata::isReadOnlyFile(kept->shx->path()))
        return false;
    TLayerCheck check;
    return scanLayer(layer, ScanMode::Recalc, check);
}

void MapDataCore::RecalcLayerExtents(int layer)
{
    TLayerCheck check;
    scanLayer(layer, ScanMode::Extents, check);
}

void MapDataCore::RecalcObjectExtents(int layer, int index)
{
    if (!validLayer(layer) || index < 0 ||
        static_cast<size_t>(index) >= FProject.Layers[static_cast<size_t>(layer)].Objects.size())
        return;
    TLayerCheck check;
    scanLayer(layer, ScanMode::Extents, check, index / static_cast<int>(blockSize()));
}

// ---------------------------------------------------------------------------
// Messages

QStringList layerCheckMessages(const TLayerCheck &check, const QString &name)
{
    QStringList out;
    const QString readOnly = QStringLiteral(" Слой открыт только для чтения !");
    if (check.damaged())
        out << QStringLiteral("Слой ") + name + QStringLiteral(" повреждён: его файлы обрезаны.") + readOnly;
    switch (check.Table) {
    case TLayerCheck::TableFits:
        break;
    case TLayerCheck::TableUnreadable:
        out << QStringLiteral("Невозможно прочитать таблицу слоя ") + name + u'.' + readOnly;
        break;
    case TLayerCheck::TableHeaderUnder:
        out << QStringLiteral("Таблица слоя ") + name + QStringLiteral(" повреждена: строк в файле - ") +
                   QString::number(check.FileRows) + QStringLiteral(", в заголовке - ") +
                   QString::number(check.HeaderRows) + u'.' + readOnly;
        break;
    case TLayerCheck::TableRowsDiffer:
        out << QStringLiteral("Таблица слоя ") + name + QStringLiteral(" не совпадает со слоем: строк - ") +
                   QString::number(check.FileRows) + QStringLiteral(", объектов - ") + QString::number(check.Entries) +
                   u'.' + readOnly;
        break;
    case TLayerCheck::TableHeaderOver:
        out << QStringLiteral("Таблица слоя ") + name + QStringLiteral(" повреждена: строк в заголовке - ") +
                   QString::number(check.HeaderRows) + QStringLiteral(", в файле - ") +
                   QString::number(check.FileRows) + QStringLiteral(". Строки считаются по файлу !");
        break;
    }
    return out;
}

QString snapshotFailureMessage(const QString &name)
{
    return QStringLiteral("Невозможно сохранить копии файлов слоя ") + name +
           QStringLiteral(". Слой открыт только для чтения !");
}
