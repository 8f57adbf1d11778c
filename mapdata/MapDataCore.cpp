#include "mapdata/MapDataCore.h"

#include "mapdata/LayerFiles.h"
#include "platform/Paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

using mapdata::BinaryFile;

namespace {

// The header of a kept layer file; false (and a zeroed header) when the file
// is too short for one.
bool readHeader(mapdata::KeptFile &file, shp::FileHeader &header)
{
    const QByteArrayView bytes = file.head();
    if (!shp::decodeFileHeader(bytes.data(), bytes.size(), header)) {
        header = shp::FileHeader{};
        return false;
    }
    return true;
}

} // namespace

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
    return mapdata::layerfiles::baseIn(FWorkDir, fileName);
}

void MapDataCore::GetLayerFileNames(const QString &fileName, const QString &suffix, QString &shp, QString &shx,
                                    QString &dbf) const
{
    shp.clear();
    shx.clear();
    dbf.clear();
    using mapdata::layerfiles::TripleExts;
    const QString base = LayerBaseName(fileName) + suffix;
    shp = base + QLatin1String(TripleExts[0]);
    shx = base + QLatin1String(TripleExts[1]);
    dbf = base + QLatin1String(TripleExts[2]);
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
// Record stream

void MapDataCore::OpenLayerStream(TLayerStream &stream, int layer)
{
    CloseLayerStream(stream);
    KeptLayer *kept = keptLayer(layer);
    if (!kept)
        return;
    // A walk over the layer looks at its file once.
    kept->shp->check();
    if (!kept->shp->ready())
        return;
    // A file too short for its header gives a stream that reads nothing.
    readHeader(*kept->shp, stream.Header);
    stream.ShpHandle = kept->shp;
    if (keptJournal())
        stream.JrnHandle = FKeptJournal;
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
    stream.Record = (journalled ? mapdata::recordContent(*stream.JrnHandle, obj.JrnOffset, 2 * qint64(obj.JrnLength))
                                : mapdata::recordContent(*stream.ShpHandle, obj.ShpOffset, obj.ShpLength))
                        .toByteArray();
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
    if (index < 0 || static_cast<size_t>(index) >= L.Objects.size())
        return;
    const TMapObject &obj = L.Objects[static_cast<size_t>(index)];
    // The layer's files are kept open: no name is looked up, no file opened.
    KeptLayer *kept = keptLayer(layer);
    if (!kept->shp->ready())
        return;
    shp::FileHeader header;
    if (!readHeader(*kept->shp, header))
        return; // not a layer file: nothing to read
    InitLayerProjection(layer);
    shape.FileCode = header.FileCode;
    shape.ShapeType = header.ShapeType;

    // The journal, which the map control writes at every edit, is looked at
    // for each object read from it.
    mapdata::KeptFile *jrnFile = obj.JrnOffset != 0 ? JournalRecordFile() : nullptr;
    const QByteArrayView content = jrnFile ? mapdata::recordContent(*jrnFile, obj.JrnOffset, 2 * qint64(obj.JrnLength))
                                           : mapdata::recordContent(*kept->shp, obj.ShpOffset, obj.ShpLength);
    const char *d = content.data();
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
