#include "mapdata/MapDataCore.h"

#include "platform/Paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

using mapdata::BinaryFile;
using mapdata::readRecordContent;

namespace {

// Up to `size` bytes of a record head at word offset `offsetWords`.
QByteArray readRecordHead(BinaryFile &file, qint64 offsetWords, int size)
{
    if (offsetWords < 0)
        return {};
    return file.readBytes(2 * offsetWords + shp::RecordHeaderSize, size);
}

bool readHeader(BinaryFile &file, shp::FileHeader &header)
{
    char bytes[shp::FileHeaderSize];
    if (!file.readExact(0, bytes, shp::FileHeaderSize)) {
        header = shp::FileHeader{};
        return false;
    }
    return shp::decodeFileHeader(bytes, shp::FileHeaderSize, header);
}

bool hasSeparator(const QString &name) { return platform::lastSeparator(name) >= 0; }

// A box whose four bounds are 0 has never been grown.
bool unsetBox(const TBlockExtent &b) { return b.XMin == 0 && b.YMin == 0 && b.XMax == 0 && b.YMax == 0; }

void zeroBlocks(std::vector<TBlockExtent> &blocks, size_t count, unsigned blockSize)
{
    blocks.assign(count / blockSize + 1, TBlockExtent{});
}

} // namespace

QByteArray mapdata::readRecordContent(BinaryFile &file, qint64 offsetWords, qint64 tableLengthBytes)
{
    const qint64 pos = 2 * offsetWords + shp::RecordHeaderSize;
    if (offsetWords < 0 || pos >= file.size())
        return {};
    char header[shp::RecordHeaderSize];
    qint64 length = std::max<qint64>(tableLengthBytes, 0);
    if (file.readExact(pos - shp::RecordHeaderSize, header, shp::RecordHeaderSize))
        length = std::max<qint64>(length, 2 * static_cast<qint64>(shp::decodeRecordHeader(header).ContentLength));
    return file.readBytes(pos, length);
}

MapDataCore::MapDataCore() = default;
MapDataCore::~MapDataCore() = default;

QString MapDataCore::existingFile(const QString &name) const
{
    if (name.isEmpty())
        return {};
    const QFileInfo exact(name);
    if (exact.isFile())
        return name;
    // A spelling found before holds while that file is there and the exact
    // name still is not.
    for (const auto &[asked, found] : FFoundFiles)
        if (asked == name && QFileInfo(found).isFile())
            return found;
    const QString found = platform::findExistingPath(name);
    if (found.isEmpty() || !QFileInfo(found).isFile())
        return {};
    if (FFoundFiles.size() >= 16)
        FFoundFiles.erase(FFoundFiles.begin());
    FFoundFiles.emplace_back(name, found);
    return found;
}

// ---------------------------------------------------------------------------
// Layer file names

QString MapDataCore::LayerBaseName(const QString &fileName) const
{
    // Only the file name part loses its extension: a dotted folder
    // ("~/.local/maps/roads.shp") keeps its full name.
    QString base = platform::changeFileExt(fileName.trimmed(), u"");
    if (!hasSeparator(fileName))
        base = platform::joinPath(FWorkDir, base);
    return base;
}

void MapDataCore::GetLayerFileNames(const QString &fileName, const QString &suffix, QString &shp, QString &shx,
                                    QString &dbf) const
{
    shp.clear();
    shx.clear();
    dbf.clear();
    // Lower-case extensions: other programs find a shapefile's companions only
    // by all-lower or all-upper extensions, while our own lookups ignore case
    // and so still find files written as ".Shp".
    const QString base = LayerBaseName(fileName) + suffix;
    shp = base + QStringLiteral(".shp");
    shx = base + QStringLiteral(".shx");
    dbf = base + QStringLiteral(".dbf");
}

void MapDataCore::GetLayerShapeNames(const QString &fileName, const QString &suffix, QString &shp,
                                     QString &shx) const
{
    QString dbf;
    GetLayerFileNames(fileName, suffix, shp, shx, dbf);
}

void MapDataCore::GetLayerShpName(const QString &fileName, const QString &suffix, QString &shp) const
{
    QString shx, dbf;
    GetLayerFileNames(fileName, suffix, shp, shx, dbf);
}

QString MapDataCore::JournalShpName() const { return platform::joinPath(FWorkDir, u"updates.mhp"); }

// ---------------------------------------------------------------------------
// Per-layer projection

void MapDataCore::ProjectLayerPoint(double &x, double &y)
{
    if (!FLayerProj)
        return;
    constexpr double degreesPerRadian = 57.29577951308232;
    if (std::fabs(x) > 60 || std::fabs(y) > 60) {
        // Projected: to geographic degrees.
        FLayerProj->inverse(x, y);
        x *= degreesPerRadian;
        y *= degreesPerRadian;
    } else {
        x /= degreesPerRadian;
        y /= degreesPerRadian;
        FLayerProj->forward(x, y);
    }
}

void MapDataCore::FreeLayerProjection()
{
    // The handle is cleared with the release, so a later layer without a
    // projection never converts through a freed one.
    FLayerProj.reset();
}

// ---------------------------------------------------------------------------
// Object table and extents

bool MapDataCore::RecalcLayer(int layer)
{
    if (!validLayer(layer))
        return false;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    QString shpName, shxName;
    GetLayerShapeNames(L.FileName, QString(), shpName, shxName);
    shpName = existingFile(shpName);
    shxName = existingFile(shxName);
    if (shpName.isEmpty() || shxName.isEmpty())
        return false;
    if (mapdata::isReadOnlyFile(shpName) || mapdata::isReadOnlyFile(shxName))
        return false;

    BinaryFile shpFile, shxFile, jrnFile;
    if (!shpFile.open(shpName, BinaryFile::ReadWrite) || !shxFile.open(shxName, BinaryFile::ReadWrite))
        return false;
    const QString jrnName = existingFile(JournalShpName());
    if (!jrnName.isEmpty())
        jrnFile.open(jrnName);

    shp::FileHeader header;
    if (!readHeader(shxFile, header))
        return false; // an index without a whole header is left alone

    const qint64 count = shp::indexEntryCount(shxFile.size());
    // The table keeps the journal places and state of the entries it had.
    L.Objects.resize(static_cast<size_t>(count));
    zeroBlocks(L.Blocks, L.Objects.size(), blockSize());
    header.XMin = header.YMin = header.XMax = header.YMax = 0;
    const shp::RecordKind kind = shp::recordKindOf(header.ShapeType);

    // Entries are read while whole ones are present, never beyond the table.
    const QByteArray index = shxFile.readBytes(shp::FileHeaderSize, count * shp::IndexEntrySize);
    const qint64 whole = std::min<qint64>(count, index.size() / shp::IndexEntrySize);
    for (qint64 i = 0; i < whole; ++i) {
        const shp::IndexEntry entry = shp::decodeIndexEntry(index.constData() + i * shp::IndexEntrySize);
        TMapObject &obj = L.Objects[static_cast<size_t>(i)];
        TBlockExtent &block = L.Blocks[static_cast<size_t>(i / blockSize())];
        const bool journalled = obj.JrnOffset != 0 && jrnFile.isOpen();
        // The header takes in the box of the record in the layer file, the
        // block that of its current version (the journal's when there is
        // one); a box only when its head is valid.
        auto growByHeads = [&](auto &head, int size, auto decode, auto valid) {
            QByteArray bytes = readRecordHead(shpFile, entry.Offset, size);
            decode(bytes.constData(), bytes.size(), head);
            if (valid(head))
                growBox(header.XMin, header.YMin, header.XMax, header.YMax, head.XMin, head.YMin, head.XMax, head.YMax);
            if (journalled) {
                bytes = readRecordHead(jrnFile, obj.JrnOffset, size);
                decode(bytes.constData(), bytes.size(), head);
            }
            if (valid(head))
                growBox(block.XMin, block.YMin, block.XMax, block.YMax, head.XMin, head.YMin, head.XMax, head.YMax);
        };

        switch (kind) {
        case shp::RecordKind::Text: {
            L.ObjType = otText;
            TTextRecord head;
            growByHeads(head, shp::TextHeadSize, shp::decodeTextHead,
                        [](const TTextRecord &h) { return shp::textHeadValid(h, shp::HeadRule::Recalculation); });
            break;
        }
        case shp::RecordKind::Point: {
            if (L.ObjType != otSymbols && L.ObjType != otBitmaps)
                L.ObjType = otPoints;
            shp::PointRecord rec;
            QByteArray bytes = readRecordHead(shpFile, entry.Offset, shp::PointContentSize);
            shp::decodePoint(bytes.constData(), bytes.size(), rec);
            if (rec.ShapeType > 0) {
                growBox(block.XMin, block.YMin, block.XMax, block.YMax, rec.X, rec.Y);
                growBox(header.XMin, header.YMin, header.XMax, header.YMax, rec.X, rec.Y);
            }
            if (journalled) {
                bytes = readRecordHead(jrnFile, obj.JrnOffset, shp::PointContentSize);
                shp::decodePoint(bytes.constData(), bytes.size(), rec);
                if (rec.ShapeType > 0)
                    growBox(block.XMin, block.YMin, block.XMax, block.YMax, rec.X, rec.Y);
            }
            break;
        }
        case shp::RecordKind::Poly: {
            const bool lines = header.ShapeType == shp::stPolyline || header.ShapeType == shp::stPolylineZ ||
                               header.ShapeType == shp::stPolylineM;
            L.ObjType = lines ? otPolylines : otPolygons;
            shp::PolyRecordHead head;
            growByHeads(head, shp::PolyHeadSize, shp::decodePolyHead, [](const shp::PolyRecordHead &h) {
                return shp::polyHeadValid(h, shp::HeadRule::Recalculation);
            });
            break;
        }
        case shp::RecordKind::Raster: {
            L.ObjType = otImages;
            shp::RasterRecordHead head;
            growByHeads(head, shp::RasterHeadSize, shp::decodeRasterHead, shp::rasterHeadValid);
            break;
        }
        case shp::RecordKind::None:
            break;
        }
        obj.ShpOffset = entry.Offset;
        obj.ShpLength = static_cast<std::int32_t>(2 * static_cast<qint64>(entry.ContentLength));
    }

    if (L.ShapeType == 0)
        L.ShapeType = header.ShapeType;
    L.MtMinX = header.XMin;
    L.MtMinY = header.YMin;
    L.MtMaxX = header.XMax;
    L.MtMaxY = header.YMax;
    L.CenterX = (L.MtMinX + L.MtMaxX) / 2;
    L.CenterY = (L.MtMinY + L.MtMaxY) / 2;

    // Both files get the header with the new box, each with its own length.
    const auto shpHeader = shp::encodeFileHeader(header, shpFile.size());
    const auto shxHeader = shp::encodeFileHeader(header, shxFile.size());
    return shpFile.writeAt(0, shpHeader.data(), shp::FileHeaderSize) &&
           shxFile.writeAt(0, shxHeader.data(), shp::FileHeaderSize);
}

void MapDataCore::RecalcLayerExtents(int layer)
{
    if (!validLayer(layer))
        return;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    QString shpName, shxName;
    GetLayerShapeNames(L.FileName, QString(), shpName, shxName);
    shpName = existingFile(shpName);
    if (shpName.isEmpty() || existingFile(shxName).isEmpty())
        return;
    BinaryFile shpFile, jrnFile;
    if (!shpFile.open(shpName))
        return;
    const QString jrnName = existingFile(JournalShpName());
    if (!jrnName.isEmpty())
        jrnFile.open(jrnName);
    shp::FileHeader header;
    if (!readHeader(shpFile, header))
        return;

    InitLayerProjection(layer);
    zeroBlocks(L.Blocks, L.Objects.size(), blockSize());
    const shp::RecordKind kind = shp::recordKindOf(header.ShapeType);
    for (size_t i = 0; i < L.Objects.size(); ++i) {
        const TMapObject &obj = L.Objects[i];
        if (obj.ShpLength <= 4 || obj.Deleted)
            continue;
        const bool journalled = obj.JrnOffset != 0 && jrnFile.isOpen();
        BinaryFile &source = journalled ? jrnFile : shpFile;
        const qint64 offset = journalled ? obj.JrnOffset : obj.ShpOffset;
        TBlockExtent &block = L.Blocks[i / blockSize()];
        switch (kind) {
        case shp::RecordKind::Text: {
            TTextRecord head;
            const QByteArray bytes = readRecordHead(source, offset, shp::TextHeadSize);
            if (shp::decodeTextHead(bytes.constData(), bytes.size(), head) &&
                shp::textHeadValid(head, shp::HeadRule::Recalculation))
                growBox(block.XMin, block.YMin, block.XMax, block.YMax, head.XMin, head.YMin, head.XMax, head.YMax);
            break;
        }
        case shp::RecordKind::Point: {
            shp::PointRecord rec;
            const QByteArray bytes = readRecordHead(source, offset, shp::PointContentSize);
            if (shp::decodePoint(bytes.constData(), bytes.size(), rec) && rec.ShapeType > 0)
                growBox(block.XMin, block.YMin, block.XMax, block.YMax, rec.X, rec.Y);
            break;
        }
        case shp::RecordKind::Poly: {
            shp::PolyRecordHead head;
            const QByteArray bytes = readRecordHead(source, offset, shp::PolyHeadSize);
            if (shp::decodePolyHead(bytes.constData(), bytes.size(), head) &&
                shp::polyHeadValid(head, shp::HeadRule::Recalculation))
                growBox(block.XMin, block.YMin, block.XMax, block.YMax, head.XMin, head.YMin, head.XMax, head.YMax);
            break;
        }
        case shp::RecordKind::Raster: {
            shp::RasterRecordHead head;
            const QByteArray bytes = readRecordHead(source, offset, shp::RasterHeadSize);
            if (shp::decodeRasterHead(bytes.constData(), bytes.size(), head) && shp::rasterHeadValid(head))
                growBox(block.XMin, block.YMin, block.XMax, block.YMax, head.XMin, head.YMin, head.XMax, head.YMax);
            break;
        }
        case shp::RecordKind::None:
            break;
        }
    }

    // Blocks without objects stay all zero: projecting them, or growing the
    // extent by them, would put the point (0, 0) into the layer's extent.
    if (FLayerProj)
        for (TBlockExtent &b : L.Blocks)
            if (!unsetBox(b)) {
                ProjectLayerPoint(b.XMin, b.YMin);
                ProjectLayerPoint(b.XMax, b.YMax);
            }
    L.MtMinX = L.MtMinY = L.MtMaxX = L.MtMaxY = 0;
    for (const TBlockExtent &b : L.Blocks)
        if (!unsetBox(b))
            growBox(L.MtMinX, L.MtMinY, L.MtMaxX, L.MtMaxY, b.XMin, b.YMin, b.XMax, b.YMax);
    L.CenterX = (L.MtMinX + L.MtMaxX) / 2;
    L.CenterY = (L.MtMinY + L.MtMaxY) / 2;
    FreeLayerProjection();
}

// ---------------------------------------------------------------------------
// Record stream

void MapDataCore::OpenLayerStream(TLayerStream &stream, int layer)
{
    CloseLayerStream(stream);
    if (!validLayer(layer))
        return;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    // The stream takes FileName itself as the name of the ".Shp".
    QString name = L.FileName;
    if (!hasSeparator(name))
        name = platform::joinPath(FWorkDir, name);
    const QString found = existingFile(name);
    if (found.isEmpty())
        return;
    auto file = std::make_unique<BinaryFile>();
    if (!file->open(found))
        return;
    // A file too short for its header gives a stream that reads nothing.
    readHeader(*file, stream.Header);
    stream.ShpHandle = std::move(file);
    const QString jrnName = existingFile(JournalShpName());
    if (!jrnName.isEmpty()) {
        auto jrn = std::make_unique<BinaryFile>();
        if (jrn->open(jrnName))
            stream.JrnHandle = std::move(jrn);
    }
}

void MapDataCore::ReadShapeRecord(TLayerStream &stream, int layer, int index)
{
    if (!stream.ShpHandle || !validLayer(layer))
        return;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    if (index < 0 || static_cast<size_t>(index) >= L.Objects.size())
        return;
    const TMapObject &obj = L.Objects[static_cast<size_t>(index)];
    FreeShapeRecord(stream);

    InitLayerProjection(layer);
    const bool journalled = obj.JrnOffset != 0 && stream.JrnHandle;
    stream.Record = journalled ? readRecordContent(*stream.JrnHandle, obj.JrnOffset, 2 * qint64(obj.JrnLength))
                               : readRecordContent(*stream.ShpHandle, obj.ShpOffset, obj.ShpLength);
    const char *d = stream.Record.constData();
    const qint64 n = stream.Record.size();

    auto readStarts = [&](int headSize, std::int32_t numParts) {
        stream.PartStarts.resize(static_cast<size_t>(numParts));
        for (std::int32_t j = 0; j < numParts; ++j)
            stream.PartStarts[static_cast<size_t>(j)] = shp::getPartStart(d + headSize + 4 * j);
        stream.NextPoint = headSize + 4 * qint64(numParts);
    };

    switch (shp::recordKindOf(stream.Header.ShapeType)) {
    case shp::RecordKind::Text: {
        TTextRecord &h = stream.TextHead;
        shp::decodeTextHead(d, n, h);
        ProjectLayerPoint(h.XMin, h.YMin);
        ProjectLayerPoint(h.XMax, h.YMax);
        // Counts that do not fit in the record describe no parts.
        if (!shp::countsFit(h.NumParts, h.NumPoints, shp::WidePointSize, n - shp::TextHeadSize))
            h.NumParts = h.NumPoints = 0;
        readStarts(shp::TextHeadSize, h.NumParts);
        stream.PointSize = shp::WidePointSize;
        stream.PointsLeft = h.NumPoints;
        break;
    }
    case shp::RecordKind::Point:
        if (!shp::decodePoint(d, n, stream.PointRec))
            break; // a record cut short gives no point
        stream.PointValue = TShpPoint{};
        stream.PointValue.X = stream.PointRec.X;
        stream.PointValue.Y = stream.PointRec.Y;
        ProjectLayerPoint(stream.PointValue.X, stream.PointValue.Y);
        stream.PointsLeft = 1;
        break;
    case shp::RecordKind::Poly: {
        shp::PolyRecordHead &h = stream.PolyHead;
        shp::decodePolyHead(d, n, h);
        if (shp::polyHeadValid(h, shp::HeadRule::Stream) && shp::countsFit(h.NumParts, h.NumPoints, shp::PolyPointSize, n - shp::PolyHeadSize)) {
            ProjectLayerPoint(h.XMin, h.YMin);
            ProjectLayerPoint(h.XMax, h.YMax);
            readStarts(shp::PolyHeadSize, h.NumParts);
            stream.PointSize = shp::PolyPointSize;
            stream.PointsLeft = h.NumPoints;
        } else {
            h.NumParts = h.NumPoints = 0;
        }
        break;
    }
    case shp::RecordKind::Raster: {
        shp::RasterRecordHead &h = stream.RasterHead;
        shp::decodeRasterHead(d, n, h);
        ProjectLayerPoint(h.XMin, h.YMin);
        ProjectLayerPoint(h.XMax, h.YMax);
        if (!shp::countsFit(0, h.NumPoints, shp::WidePointSize, n - shp::RasterHeadSize))
            h.NumPoints = 0;
        stream.NextPoint = shp::RasterHeadSize;
        stream.PointSize = shp::WidePointSize;
        stream.PointsLeft = h.NumPoints;
        break;
    }
    case shp::RecordKind::None:
        break;
    }
    FreeLayerProjection();
}

bool MapDataCore::ReadShapePoint(TLayerStream &stream, int layer, TShpPoint &point, int /*index*/)
{
    point = TShpPoint{};
    if (!stream.ShpHandle)
        return false;
    if (shp::recordKindOf(stream.Header.ShapeType) == shp::RecordKind::Point) {
        // The point read, and converted, with the record, as often as asked.
        if (stream.PointsLeft <= 0)
            return false;
        point = stream.PointValue;
        return true;
    }
    // Never past the record's last point.
    if (stream.PointsLeft <= 0 || stream.NextPoint + stream.PointSize > stream.Record.size())
        return false;
    const char *p = stream.Record.constData() + stream.NextPoint;
    point = stream.PointSize == shp::WidePointSize ? shp::getWidePoint(p) : shp::getPolyPoint(p);
    stream.NextPoint += stream.PointSize;
    --stream.PointsLeft;
    InitLayerProjection(layer);
    ProjectLayerPoint(point.X, point.Y);
    FreeLayerProjection();
    return true;
}

std::vector<TShpParts> MapDataCore::readRecordParts(TLayerStream &stream, int layer, int index)
{
    const shp::RecordKind kind = shp::recordKindOf(stream.Header.ShapeType);
    std::int32_t count = 0;
    switch (kind) {
    case shp::RecordKind::Text: count = stream.TextHead.NumPoints; break;
    case shp::RecordKind::Poly: count = stream.PolyHead.NumPoints; break;
    case shp::RecordKind::Raster: count = stream.RasterHead.NumPoints; break;
    case shp::RecordKind::Point: count = 1; break;
    case shp::RecordKind::None: break;
    }
    std::vector<TShpPoint> points;
    TShpPoint point;
    for (std::int32_t k = 0; k < count && ReadShapePoint(stream, layer, point, index); ++k)
        points.push_back(point);
    std::vector<TShpParts> parts;
    if (kind == shp::RecordKind::Text || kind == shp::RecordKind::Poly)
        shp::splitIntoParts(stream.PartStarts, std::move(points), parts);
    else
        parts.assign(1, TShpParts{std::move(points)});
    return parts;
}

void MapDataCore::FreeShapeRecord(TLayerStream &stream)
{
    stream.Record.clear();
    stream.PartStarts.clear();
    stream.NextPoint = 0;
    stream.PointSize = 0;
    stream.PointsLeft = 0;
    stream.PolyHead = shp::PolyRecordHead{};
    stream.RasterHead = shp::RasterRecordHead{};
    stream.TextHead = TTextRecord{};
    stream.PointRec = shp::PointRecord{};
    stream.PointValue = TShpPoint{};
}

void MapDataCore::CloseLayerStream(TLayerStream &stream)
{
    FreeShapeRecord(stream);
    stream.ShpHandle.reset();
    stream.SecondHandle.reset();
    stream.JrnHandle.reset();
    stream.Header = shp::FileHeader{};
}

// ---------------------------------------------------------------------------
// Object reader

void MapDataCore::ReadObject(int layer, int index, TShpObject &shape)
{
    // The shape is overwritten completely, whatever it held before.
    shape = TShpObject{};
    if (!validLayer(layer))
        return;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    QString shpName;
    GetLayerShpName(L.FileName, QString(), shpName);
    shpName = existingFile(shpName);
    if (shpName.isEmpty() || index < 0 || static_cast<size_t>(index) >= L.Objects.size())
        return;
    const TMapObject &obj = L.Objects[static_cast<size_t>(index)];

    BinaryFile shpFile;
    if (!shpFile.open(shpName))
        return;
    shp::FileHeader header;
    if (!readHeader(shpFile, header))
        return; // not a layer file: nothing to read
    InitLayerProjection(layer);
    shape.FileCode = header.FileCode;
    shape.ShapeType = header.ShapeType;

    QByteArray content;
    const QString jrnName = obj.JrnOffset != 0 ? existingFile(JournalShpName()) : QString();
    BinaryFile jrnFile;
    if (!jrnName.isEmpty() && jrnFile.open(jrnName)) {
        shpFile.close();
        content = readRecordContent(jrnFile, obj.JrnOffset, 2 * qint64(obj.JrnLength));
    } else {
        content = readRecordContent(shpFile, obj.ShpOffset, obj.ShpLength);
    }
    const char *d = content.constData();
    const qint64 n = content.size();

    auto readStarts = [&](int headSize, std::int32_t numParts) {
        std::vector<std::int32_t> starts(static_cast<size_t>(numParts));
        for (std::int32_t j = 0; j < numParts; ++j)
            starts[static_cast<size_t>(j)] = shp::getPartStart(d + headSize + 4 * j);
        return starts;
    };
    auto readPoints = [&](qint64 from, std::int32_t numPoints, int pointSize) {
        std::vector<TShpPoint> points(static_cast<size_t>(numPoints));
        for (std::int32_t k = 0; k < numPoints; ++k) {
            const char *p = d + from + qint64(pointSize) * k;
            TShpPoint &pt = points[static_cast<size_t>(k)];
            pt = pointSize == shp::WidePointSize ? shp::getWidePoint(p) : shp::getPolyPoint(p);
            ProjectLayerPoint(pt.X, pt.Y);
        }
        return points;
    };

    switch (shp::recordKindOf(header.ShapeType)) {
    case shp::RecordKind::Text: {
        TTextRecord rec;
        if (!shp::decodeTextHead(d, n, rec)) {
            shape.XMin = shape.YMin = shape.XMax = shape.YMax = 0;
            break;
        }
        ProjectLayerPoint(rec.XMin, rec.YMin);
        ProjectLayerPoint(rec.XMax, rec.YMax);
        // Reading a text/symbol object makes its record the current style template.
        FTemplate = rec;
        FTemplateFound = false;
        shape.Text = rec.Text.trimmed();
        shape.ShapeType = rec.Kind;
        shape.XMin = rec.XMin;
        shape.YMin = rec.YMin;
        shape.XMax = rec.XMax;
        shape.YMax = rec.YMax;
        shape.ImageWidth = rec.ImageWidth;
        shape.ImageHeight = rec.ImageHeight;
        // Counts that do not fit in the record describe no parts.
        if (!shp::countsFit(rec.NumParts, rec.NumPoints, shp::WidePointSize, n - shp::TextHeadSize))
            break;
        const std::vector<std::int32_t> starts = readStarts(shp::TextHeadSize, rec.NumParts);
        std::vector<TShpPoint> points =
            readPoints(shp::TextHeadSize + 4 * qint64(rec.NumParts), rec.NumPoints, shp::WidePointSize);
        const TShpPoint anchor = points.empty() ? TShpPoint{} : points.front();
        shp::splitIntoParts(starts, std::move(points), shape.Parts);
        if ((rec.Kind == okText || rec.Kind == okSymbol) && rec.NumPoints > 0 && FEngine)
            FEngine->LayoutTextObject(rec, anchor.X, anchor.Y, shape.XMin, shape.YMin, shape.XMax, shape.YMax);
        break;
    }
    case shp::RecordKind::Point: {
        shp::PointRecord rec;
        if (!shp::decodePoint(d, n, rec))
            break; // a record cut short gives no point
        std::vector<TShpPoint> point(1);
        TShpPoint &pt = point.front();
        pt.X = rec.X;
        pt.Y = rec.Y;
        shp::decodeMeasures(header.ShapeType, d, n, shp::PointContentSize, point, shape.HasM);
        ProjectLayerPoint(pt.X, pt.Y);
        shape.XMin = shape.XMax = pt.X;
        shape.YMin = shape.YMax = pt.Y;
        shape.Parts.assign(1, TShpParts{std::move(point)});
        break;
    }
    case shp::RecordKind::Poly: {
        shp::PolyRecordHead h;
        shp::decodePolyHead(d, n, h);
        if (!shp::polyHeadValid(h, shp::HeadRule::ObjectReader) ||
            !shp::countsFit(h.NumParts, h.NumPoints, shp::PolyPointSize, n - shp::PolyHeadSize)) {
            shape.XMin = shape.YMin = shape.XMax = shape.YMax = 0;
            break;
        }
        ProjectLayerPoint(h.XMin, h.YMin);
        ProjectLayerPoint(h.XMax, h.YMax);
        shape.XMin = h.XMin;
        shape.YMin = h.YMin;
        shape.XMax = h.XMax;
        shape.YMax = h.YMax;
        const std::vector<std::int32_t> starts = readStarts(shp::PolyHeadSize, h.NumParts);
        const qint64 pointsAt = shp::PolyHeadSize + 4 * qint64(h.NumParts);
        std::vector<TShpPoint> points = readPoints(pointsAt, h.NumPoints, shp::PolyPointSize);
        shp::decodeMeasures(header.ShapeType, d, n, pointsAt + shp::PolyPointSize * qint64(h.NumPoints), points,
                            shape.HasM);
        shp::splitIntoParts(starts, std::move(points), shape.Parts);
        break;
    }
    case shp::RecordKind::Raster: {
        shp::RasterRecordHead h;
        if (!shp::decodeRasterHead(d, n, h)) {
            shape.XMin = shape.YMin = shape.XMax = shape.YMax = 0;
            break;
        }
        ProjectLayerPoint(h.XMin, h.YMin);
        ProjectLayerPoint(h.XMax, h.YMax);
        shape.Text = h.ImageName;
        shape.XMin = h.XMin;
        shape.YMin = h.YMin;
        shape.XMax = h.XMax;
        shape.YMax = h.YMax;
        shape.ImageWidth = h.ImageWidth;
        shape.ImageHeight = h.ImageHeight;
        shape.ImageFlag = h.ImageFlag;
        shape.Parts.assign(1, TShpParts{});
        if (shp::countsFit(0, h.NumPoints, shp::WidePointSize, n - shp::RasterHeadSize))
            shape.Parts.front().Points = readPoints(shp::RasterHeadSize, h.NumPoints, shp::WidePointSize);
        break;
    }
    case shp::RecordKind::None:
        break;
    }
    FreeLayerProjection();
}
