// Saving a layer: the current version of every live object (from the layer
// file or from the journal) is written into new files beside the layer ("~"
// after the base name), rows of deleted objects leave a copy of the table,
// and the new files then take the place of the old ones, which wait under
// names with "`" until they are deleted.
//
// The swap of three files cannot be one step, so marker files tell a later
// run how far a save got and which files are its own (SaveRecovery.cpp): the
// save's new files and the names it sets the old ones aside under are names
// no file had, so that a neighbouring layer ("plots~") is never written over
// or taken for a leftover. Either way the layer is whole: all old files or
// all new ones.

#include "mapdata/LayerUnits.h"
#include "mapdata/LayerWriting.h"
#include "mapdata/MapDataCore.h"
#include "mapdata/SaveMarkers.h"

#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"
#include "platform/db/Table.h"

#include <QFileInfo>

#include <array>
#include <set>

using savemarks::Entry;
using savemarks::Role;

namespace {

// Bytes of a record content, zero-padded to at least n.
QByteArray padded(const QByteArray &bytes, qsizetype n)
{
    QByteArray out = bytes.left(std::max(n, bytes.size()));
    if (out.size() < n)
        out.append(QByteArray(n - out.size(), '\0'));
    return out;
}

void zeroBox(char *p)
{
    for (int k = 0; k < 4; ++k)
        shp::setLEDouble(p + 8 * k, 0);
}

// The Z and M blocks of a record as the record has them, after its points
// (ending at pointsEnd): the Z block of Z types, zeros when the record has
// none, and the M block when the record has one.
QByteArray measureBlocksOf(std::int32_t headerType, const QByteArray &src, qsizetype pointsEnd,
                           std::int32_t numPoints)
{
    const shp::MeasureBlocks b = shp::measureBlocks(headerType, pointsEnd, numPoints, src.size());
    QByteArray out;
    if (shp::typeHasZ(headerType))
        out += b.zAt >= 0 ? src.mid(b.zAt, b.zSize) : QByteArray(b.zSize, '\0');
    if (b.mAt >= 0)
        out += src.mid(b.mAt, b.mSize);
    return out;
}

// The content a save writes for a record read from the layer file or the
// journal: the fixed head, the part starts and the points (with their Z and
// M blocks), nothing the counts do not cover.
QByteArray savedContent(std::int32_t headerType, const QByteArray &src, bool fromJournal)
{
    const shp::HeadRule rule = fromJournal ? shp::HeadRule::SaveFromJournal : shp::HeadRule::SaveFromLayerFile;
    switch (shp::recordKindOf(headerType)) {
    case shp::RecordKind::Text: {
        QByteArray head = padded(src.left(shp::TextHeadSize), shp::TextHeadSize);
        TTextRecord rec;
        shp::decodeTextHead(head.constData(), head.size(), rec);
        bool valid = shp::countsFit(rec.NumParts, rec.NumPoints, shp::WidePointSize, src.size() - shp::TextHeadSize);
        if (!fromJournal)
            valid = valid && shp::textHeadValid(rec, rule);
        if (!valid) {
            shp::setLE32(head.data(), 0); // Kind
            zeroBox(head.data() + 360);
        }
        // Parts and points only when both counts are above 0, and then the
        // counts say exactly what follows.
        if (!valid || rec.NumParts <= 0 || rec.NumPoints <= 0) {
            shp::setLE32(head.data() + 424, 0);
            shp::setLE32(head.data() + 428, 0);
            return head;
        }
        return head + src.mid(shp::TextHeadSize, 4 * qsizetype(rec.NumParts) +
                                                     shp::WidePointSize * qsizetype(rec.NumPoints));
    }
    case shp::RecordKind::Point: {
        return padded(src.left(shp::PointContentSize), shp::PointContentSize) +
               measureBlocksOf(headerType, src, shp::PointContentSize, 1);
    }
    case shp::RecordKind::Poly: {
        QByteArray head = padded(src.left(shp::PolyHeadSize), shp::PolyHeadSize);
        shp::PolyRecordHead h;
        shp::decodePolyHead(head.constData(), head.size(), h);
        const bool valid = shp::polyHeadValid(h, rule) &&
                           shp::countsFit(h.NumParts, h.NumPoints, shp::PolyPointSize, src.size() - shp::PolyHeadSize);
        if (!valid) {
            zeroBox(head.data() + 4);
            shp::setLE32(head.data() + 36, 0);
            shp::setLE32(head.data() + 40, 0);
            h.NumParts = h.NumPoints = 0;
        }
        const qsizetype plain = 4 * qsizetype(h.NumParts) + shp::PolyPointSize * qsizetype(h.NumPoints);
        return head + src.mid(shp::PolyHeadSize, plain) +
               measureBlocksOf(headerType, src, shp::PolyHeadSize + plain, h.NumPoints);
    }
    case shp::RecordKind::Raster: {
        QByteArray head = padded(src.left(shp::RasterHeadSize), shp::RasterHeadSize);
        shp::RasterRecordHead h;
        shp::decodeRasterHead(head.constData(), head.size(), h);
        if (!shp::countsFit(0, h.NumPoints, shp::WidePointSize, src.size() - shp::RasterHeadSize)) {
            shp::setLE32(head.data() + 277, 0);
            return head;
        }
        return head + src.mid(shp::RasterHeadSize, shp::WidePointSize * qsizetype(h.NumPoints));
    }
    case shp::RecordKind::None:
        break;
    }
    return {};
}

// Grows a header box by a record as the recalculation of a layer does, so
// that it rewrites the saved headers unchanged.
void growByContent(shp::FileHeader &header, std::int32_t headerType, const QByteArray &c)
{
    switch (shp::recordKindOf(headerType)) {
    case shp::RecordKind::Text: {
        TTextRecord r;
        if (shp::decodeTextHead(c.constData(), c.size(), r) && shp::textHeadValid(r, shp::HeadRule::Recalculation))
            growBox(header.XMin, header.YMin, header.XMax, header.YMax, r.XMin, r.YMin, r.XMax, r.YMax);
        break;
    }
    case shp::RecordKind::Point: {
        shp::PointRecord r;
        if (shp::decodePoint(c.constData(), c.size(), r) && r.ShapeType > 0)
            growBox(header.XMin, header.YMin, header.XMax, header.YMax, r.X, r.Y);
        break;
    }
    case shp::RecordKind::Poly: {
        shp::PolyRecordHead h;
        if (shp::decodePolyHead(c.constData(), c.size(), h) && shp::polyHeadValid(h, shp::HeadRule::Recalculation))
            growBox(header.XMin, header.YMin, header.XMax, header.YMax, h.XMin, h.YMin, h.XMax, h.YMax);
        break;
    }
    case shp::RecordKind::Raster: {
        shp::RasterRecordHead h;
        if (shp::decodeRasterHead(c.constData(), c.size(), h) && shp::rasterHeadValid(h))
            growBox(header.XMin, header.YMin, header.XMax, header.YMax, h.XMin, h.YMin, h.XMax, h.YMax);
        break;
    }
    case shp::RecordKind::None:
        break;
    }
}

// Appends a record of that content to the bytes of a new ".Shp" and its
// index entry to those of the ".Shx": numbered and placed after the previous
// record, which it then becomes.
void appendRecord(QByteArray &shpBytes, QByteArray &shxBytes, const QByteArray &content, std::int32_t &written,
                  shp::IndexEntry &previous)
{
    std::int32_t number = 0;
    shp::IndexEntry place = shp::appendedRecordPlace(written, previous, number);
    place.ContentLength = shp::wordsForBytes(content.size());
    char rh[shp::RecordHeaderSize];
    shp::encodeRecordHeader(rh, {number, place.ContentLength});
    shpBytes.append(rh, shp::RecordHeaderSize);
    shpBytes += content;
    char ie[shp::IndexEntrySize];
    shp::encodeIndexEntry(ie, place);
    shxBytes.append(ie, shp::IndexEntrySize);
    previous = place;
    ++written;
}

} // namespace

// ---------------------------------------------------------------------------
// Saving a layer

bool MapDataCore::SaveLayer(int layer)
{
    if (!validLayer(layer))
        return false;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    if (!(L.ObjectsModified || L.ObjectsAppended || L.ObjectsDeleted))
        return false;
    if (L.MapType != 0 && L.MapType != mtShapeLayer && L.MapType != mtTextLayer)
        return false;
    if (!LayerWritable(layer))
        return false; // opened read-only: never rewritten
    // A file that cannot be written is not replaced: nothing is touched.
    SaveNames n = saveNames(L.FileName);
    if (n.layer[0].isEmpty() || n.layer[1].isEmpty())
        return false;
    for (const QString &f : n.layer)
        if (!f.isEmpty() && mapdata::isReadOnlyFile(f))
            return false;

    // What an earlier save left behind is put right first. A marker that
    // stays belongs to no save of this layer: its name is not written over.
    mapdata::FileOps &ops = fileOps();
    const SaveRecovery recovery = recoverLayerSave(L.FileName, ops);
    for (const QString &message : recovery.messages)
        platform::showMessage(message);
    if (!recovery.ok) {
        layerwrite::reportLayerWriteFailure(n.layer[0]);
        return false;
    }
    // Markers that stay belong to no save whose files are there (recovery
    // just said so): an older version's or a damaged one holds nothing and
    // makes way for this save's; a whole marker of this version is kept as
    // the record of its save, and the layer is not written.
    n = saveNames(L.FileName);
    for (const QString &marker : {n.begun, n.done, n.swap}) {
        if (!QFileInfo::exists(marker))
            continue;
        if (savemarks::readMarker(marker, n.stem).state == savemarks::Marker::Whole || !ops.removeFile(marker)) {
            platform::showMessage(QStringLiteral("Невозможно записать слой ") + n.layer[0] +
                                  QStringLiteral(": рядом с ним лежит файл ") + marker +
                                  QStringLiteral(" другого сохранения !"));
            return false;
        }
    }
    const bool hasTable = !n.layer[2].isEmpty();
    // The new files and the names the old ones step aside under: names no
    // file has, so that nothing another layer keeps beside this one is
    // written over.
    savemarks::WorkNames w;
    if (!savemarks::chooseWorkNames(n.folder, n.stem, w)) {
        layerwrite::reportLayerWriteFailure(n.layer[0]);
        return false;
    }
    const std::array<bool, 3> swapping{true, true, hasTable};

    // The records are read through the files kept open for the layer and
    // the journal.
    mapdata::KeptFile *shpFile = LayerRecordFile(layer);
    if (!shpFile)
        return false;
    shp::FileHeader header;
    const QByteArrayView headBytes = shpFile->head();
    if (!shp::decodeFileHeader(headBytes.data(), headBytes.size(), header))
        return false;
    const std::int32_t T = header.ShapeType;
    mapdata::KeptFile *jrnFile = JournalRecordFile();

    // The new records, renumbered and placed one after the other.
    QByteArray newShp, newShx;
    newShp.reserve(shpFile->size());
    std::vector<int> deletedRows;
    shp::FileHeader newHeader = header;
    newHeader.XMin = newHeader.YMin = newHeader.XMax = newHeader.YMax = 0;
    std::int32_t written = 0;
    shp::IndexEntry previous;
    for (size_t i = 0; i < L.Objects.size(); ++i) {
        const TMapObject &obj = L.Objects[i];
        if (obj.Deleted) {
            deletedRows.push_back(static_cast<int>(i) + 1);
            continue;
        }
        // The current version: the journal's when there is one and the journal
        // is there, else the layer file's.
        const bool fromJournal = obj.JrnOffset >= 1 && jrnFile;
        const QByteArray src =
            (fromJournal ? mapdata::recordContent(*jrnFile, obj.JrnOffset, 2 * qint64(obj.JrnLength))
                         : mapdata::recordContent(*shpFile, obj.ShpOffset, obj.ShpLength))
                .toByteArray();
        const QByteArray content = savedContent(T, src, fromJournal);
        appendRecord(newShp, newShx, content, written, previous);
        growByContent(newHeader, T, content);
    }
    const qint64 shpSize = shp::FileHeaderSize + newShp.size();
    const qint64 shxSize = shp::FileHeaderSize + newShx.size();
    const auto shpHead = shp::encodeFileHeader(newHeader, shpSize);
    const auto shxHead = shp::encodeFileHeader(newHeader, shxSize);
    newShp.prepend(shpHead.data(), shp::FileHeaderSize);
    newShx.prepend(shxHead.data(), shp::FileHeaderSize);

    // The first marker names every file the save may make, before it makes
    // any; every new file is written whole before any old one is touched.
    auto entry = [&](Role role, size_t k, const QString &file) {
        Entry e;
        e.role = role;
        e.ext = role == Role::Journal ? -1 : static_cast<int>(k);
        e.name = platform::extractFileName(file);
        return e;
    };
    std::vector<Entry> begun;
    for (size_t k = 0; k < savemarks::layerExts().size(); ++k)
        if (swapping[k]) {
            begun.push_back(entry(Role::New, k, w.fresh[k]));
            begun.push_back(entry(Role::Old, k, w.old[k]));
        }
    if (hasTable)
        begun.push_back(entry(Role::Part, 2, w.part));
    begun.push_back(entry(Role::Journal, 0, QStringLiteral("updates~.mhx")));

    auto removeMade = [&] {
        for (const QString &f : w.fresh)
            ops.removeFile(f);
        ops.removeFile(w.part);
    };
    auto failBeforeSwap = [&] {
        // The done marker goes first: without it no new file is taken for
        // whole; the first marker goes last.
        ops.removeFile(n.done);
        ops.removeFile(n.swap);
        removeMade();
        ops.removeFile(n.begun);
        layerwrite::reportLayerWriteFailure(n.layer[0]);
        return false;
    };
    if (!ops.writeFile(n.begun, savemarks::markerText(begun)))
        return failBeforeSwap();
    std::vector<Entry> done;
    auto madeFile = [&](size_t k, savemarks::FileId id) {
        Entry e = entry(Role::New, k, w.fresh[k]);
        e.target = platform::extractFileName(n.target[k]);
        e.id = std::move(id);
        done.push_back(e);
    };
    if (!ops.writeFile(w.fresh[0], newShp) || !ops.writeFile(w.fresh[1], newShx))
        return failBeforeSwap();
    madeFile(0, savemarks::idOfBytes(newShp));
    madeFile(1, savemarks::idOfBytes(newShx));
    newShp.clear();
    if (hasTable) {
        if (!ops.copyFile(n.layer[2], w.fresh[2]))
            return failBeforeSwap();
        // Rows of deleted objects go, and then the table is packed: row k + 1
        // stays with object k for every program that reads the files.
        if (!deletedRows.empty() || L.ObjectsDeleted) {
            if (!ops.step())
                return failBeforeSwap();
            try {
                platform::db::Table table;
                table.setDatabaseName(FWorkDir);
                table.setTableName(w.fresh[2]);
                table.setExclusive(true);
                table.open();
                const int rows = table.recordCount();
                for (int r : deletedRows)
                    if (r <= rows && table.setRecNo(r))
                        table.deleteRecord();
                table.close();
                table.packTable();
            } catch (const platform::db::DbError &) {
                removeMade();
                ops.removeFile(n.begun);
                throw;
            }
        }
        madeFile(2, savemarks::idOfFile(w.fresh[2]));
    }
    if (!ops.writeFile(n.done, savemarks::markerText(done)))
        return failBeforeSwap();

    // The swap: each old file steps aside, the new one takes its name. The
    // swap marker names the files that step aside as they are, so that only
    // they ever come back.
    std::vector<Entry> aside;
    for (size_t k = 0; k < savemarks::layerExts().size(); ++k)
        if (swapping[k]) {
            Entry e = entry(Role::Old, k, w.old[k]);
            e.target = platform::extractFileName(n.target[k]);
            e.id = savemarks::idOfFile(n.layer[k]);
            aside.push_back(e);
        }
    if (!ops.writeFile(n.swap, savemarks::markerText(aside)))
        return failBeforeSwap();
    bool swapped = true;
    for (size_t k = 0; k < savemarks::layerExts().size() && swapped; ++k)
        if (swapping[k])
            swapped = ops.renameFile(n.layer[k], w.old[k]) && ops.renameFile(w.fresh[k], n.layer[k]);
    bool markersGone = false;
    if (!swapped) {
        // Without the done marker the files set aside come back; when it
        // cannot go, the new ones are completed instead.
        const bool back = ops.removeFile(n.done);
        const SaveRecovery recovered = recoverLayerSave(L.FileName, ops);
        if (back || !recovered.ok) {
            layerwrite::reportLayerWriteFailure(n.layer[0]);
            return false;
        }
        markersGone = true;
    } else {
        bool cleaned = true;
        for (size_t k = 0; k < savemarks::layerExts().size(); ++k)
            if (swapping[k])
                cleaned = ops.removeFile(w.old[k]) && cleaned;
        // Old files left over keep the markers, which say they are spare.
        markersGone = cleaned && ops.removeFile(n.swap) && ops.removeFile(n.done);
    }

    // The object table follows the new files.
    for (TMapObject &obj : L.Objects) {
        obj.Modified = obj.Deleted = obj.Appended = false;
        obj.JrnOffset = obj.JrnLength = 0;
        obj.Shape.clearParts();
    }
    RecalcLayer(layer);
    L.ObjectsModified = L.ObjectsDeleted = L.ObjectsAppended = false;
    DropLayerJournal(layer);
    // The first marker names the journal's new index too: it goes once the
    // journal is done.
    if (markersGone)
        ops.removeFile(n.begun);
    BackupLayer(layer, false);
    return true;
}

// ---------------------------------------------------------------------------
// Saving a selection as a layer

bool MapDataCore::SaveSelectionAsLayer(const QString &fileName)
{
    QString shpName, shxName, dbfName;
    if (!writableLayerFiles(fileName, shpName, shxName, dbfName))
        return false;
    shp::FileHeader header;
    if (!layerwrite::readLayerHeader(shpName, header))
        return false;
    const std::int32_t T = header.ShapeType;
    const shp::RecordKind targetKind = shp::recordKindOf(T);
    if (T == shp::stRaster)
        return false;

    // The files as they are, to be put back whole when a write fails.
    QByteArray shpBytes, shxBytes, dbfBytes;
    {
        mapdata::BinaryFile f;
        if (f.open(shpName))
            shpBytes = f.readBytes(0, f.size());
        if (f.open(shxName))
            shxBytes = f.readBytes(0, f.size());
        if (f.open(dbfName))
            dbfBytes = f.readBytes(0, f.size());
    }
    mapdata::FileOps &ops = fileOps();
    auto putBack = [&] {
        ops.writeFile(shpName, shpBytes);
        ops.writeFile(shxName, shxBytes);
        if (!platform::db::TableLease::inUse(dbfName))
            ops.writeFile(dbfName, dbfBytes);
    };

    // Records go after those the target has (none, for a fresh template).
    std::int32_t written = static_cast<std::int32_t>(shp::indexEntryCount(shxBytes.size()));
    shp::IndexEntry previous;
    if (written > 0 && shxBytes.size() >= shp::FileHeaderSize + qint64(shp::IndexEntrySize) * written)
        previous = shp::decodeIndexEntry(shxBytes.constData() + shp::FileHeaderSize +
                                         qint64(shp::IndexEntrySize) * (written - 1));
    else
        written = 0;
    QByteArray newShp = shpBytes.left(written > 0 ? 2 * (qint64(previous.Offset) + previous.ContentLength) +
                                                        shp::RecordHeaderSize
                                                  : shp::FileHeaderSize);
    QByteArray newShx = shxBytes.left(shp::FileHeaderSize + qint64(shp::IndexEntrySize) * written);
    if (newShp.size() < shp::FileHeaderSize)
        newShp = padded(newShp, shp::FileHeaderSize);

    std::vector<TSelObject> entries;
    if (engine())
        if (const TSelObjects *sel = engine()->EngineSelection())
            entries = sel->Entries;

    try {
        platform::db::Table target;
        target.setDatabaseName(FWorkDir);
        target.setTableName(dbfName);
        target.open();
        for (const TSelObject &entry : entries) {
            if (!validLayer(entry.Layer))
                continue;
            const TMapLayer &source = FProject.Layers[static_cast<size_t>(entry.Layer)];
            QString sourceShp;
            GetLayerShpName(source.FileName, QString(), sourceShp);
            shp::FileHeader sourceHeader;
            if (!layerwrite::readLayerHeader(existingFile(sourceShp), sourceHeader))
                continue;
            // Text/symbol and raster records have no place in a plain layer.
            const shp::RecordKind sourceKind = shp::recordKindOf(sourceHeader.ShapeType);
            if (sourceKind != shp::RecordKind::Point && sourceKind != shp::RecordKind::Poly)
                continue;
            // In map coordinates: the new layer has no projection (it is
            // opened as a new layer, and objects of layers with different
            // projections may go into it together).
            TShpObject shape;
            ReadObject(entry.Layer, entry.Index, shape);
            bool sourceProjected = false;
            {
                mapdata::LayerUnits units(*this, entry.Layer);
                sourceProjected = units.active();
            }
            // The reader converts the stored box's corners, which need not
            // hold the converted points: the box of the points is written.
            if (sourceProjected)
                mapdata::recomputePointsBox(shape);
            qsizetype points = 0;
            for (const TShpParts &p : shape.Parts)
                points += p.Points.size();
            if (points == 0)
                continue; // nothing to place
            const std::int32_t s = shape.ShapeType;
            const bool isPoint = s == shp::stPoint || s == shp::stPointZ || s == shp::stPointM;
            const bool isLine = s == shp::stPolyline || s == shp::stPolylineZ || s == shp::stPolylineM;
            const bool isPolygon = s == shp::stPolygon || s == shp::stPolygonZ || s == shp::stPolygonM;
            const bool linesTarget = T == shp::stPolyline || T == shp::stPolylineZ || T == shp::stPolylineM;
            bool fits = false;
            if (targetKind == shp::RecordKind::Point)
                fits = isPoint;
            else if (targetKind == shp::RecordKind::Poly)
                fits = linesTarget ? (isLine || isPolygon) : isPolygon;
            if (!fits)
                continue;
            shape.ShapeType = T;
            if (targetKind == shp::RecordKind::Point) {
                const TShpPoint first = shape.Parts.front().Points.front();
                shape.Parts.assign(1, TShpParts{{first}});
            }
            appendRecord(newShp, newShx, shp::encodeObjectContent(T, shape, FTemplate), written, previous);

            // The row: fields of the same name from the source row, then the
            // number and the date.
            const int rowCount = target.recordCount();
            target.append();
            QString sourceShpName, sourceShx, sourceDbf;
            GetLayerFileNames(source.FileName, QString(), sourceShpName, sourceShx, sourceDbf);
            sourceDbf = existingFile(sourceDbf);
            if (!sourceDbf.isEmpty()) {
                platform::db::Table from;
                from.setDatabaseName(FWorkDir);
                from.setTableName(sourceDbf);
                from.open();
                if (from.setRecNo(entry.Index + 1))
                    for (int f = 0; f < target.fieldCount(); ++f) {
                        platform::db::Field &field = target.field(f);
                        if (platform::db::Field *value = from.findField(field.fieldName()))
                            field.setValue(value->value());
                    }
                from.close();
            }
            if (platform::db::Field *id = target.findField(u"ID"))
                id->setValue(rowCount + 1);
            if (platform::db::Field *date = target.findField(u"DATEEDIT"))
                date->setValue(platform::currentDateTime().date());
            target.post();
            growBox(header.XMin, header.YMin, header.XMax, header.YMax, shape.XMin, shape.YMin, shape.XMax,
                    shape.YMax);
        }
        target.close();
    } catch (...) {
        putBack();
        throw;
    }

    const auto shpHead = shp::encodeFileHeader(header, newShp.size());
    const auto shxHead = shp::encodeFileHeader(header, newShx.size());
    newShp.replace(0, shp::FileHeaderSize, QByteArray(shpHead.data(), shp::FileHeaderSize));
    newShx.replace(0, shp::FileHeaderSize, QByteArray(shxHead.data(), shp::FileHeaderSize));
    if (!ops.writeFile(shpName, newShp) || !ops.writeFile(shxName, newShx)) {
        putBack();
        layerwrite::reportLayerWriteFailure(shpName);
        return false;
    }
    return true;
}
