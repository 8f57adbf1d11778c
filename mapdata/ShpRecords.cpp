#include "mapdata/ShpRecords.h"

#include "mapdata/MapFunctions.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <numeric>

std::int32_t SwapLongBytes(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>((u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24));
}

namespace shp {

RecordKind recordKindOf(std::int32_t headerShapeType)
{
    switch (headerShapeType) {
    case stPoint:
    case stPointZ:
    case stPointM:
        return RecordKind::Point;
    case stPolyline:
    case stPolygon:
    case stPolylineZ:
    case stPolygonZ:
    case stPolylineM:
    case stPolygonM:
        return RecordKind::Poly;
    case stText:
        return RecordKind::Text;
    case stRaster:
        return RecordKind::Raster;
    default:
        return RecordKind::None;
    }
}

QString getFixedChars(const char *p, int width)
{
    const void *zero = std::memchr(p, 0, static_cast<size_t>(width));
    const qsizetype n = zero ? static_cast<const char *>(zero) - p : width;
    return platform::fromCp1251(QByteArrayView(p, n));
}

// ---- file header ----

bool decodeFileHeader(const char *d, qsizetype size, FileHeader &out)
{
    out = FileHeader{};
    if (size < FileHeaderSize)
        return false;
    out.FileCode = getBE32(d + 0);
    std::memcpy(out.Unused.data(), d + 4, 20);
    out.FileLength = getBE32(d + 24);
    out.Version = getLE32(d + 28);
    out.ShapeType = getLE32(d + 32);
    out.XMin = getLEDouble(d + 36);
    out.YMin = getLEDouble(d + 44);
    out.XMax = getLEDouble(d + 52);
    out.YMax = getLEDouble(d + 60);
    std::memcpy(out.ZMRanges.data(), d + 68, 32);
    return true;
}

std::int32_t wordsForBytes(qint64 bytes)
{
    return static_cast<std::int32_t>(platform::roundHalfEven(static_cast<long double>(bytes) / 2));
}

std::array<char, FileHeaderSize> encodeFileHeader(const FileHeader &h, qint64 fileSizeBytes)
{
    std::array<char, FileHeaderSize> out{};
    char *d = out.data();
    // The code is held in host order and goes back big-endian; a code other
    // than 9994 thus keeps its bytes.
    setBE32(d + 0, h.FileCode);
    std::memcpy(d + 4, h.Unused.data(), 20);
    setBE32(d + 24, wordsForBytes(fileSizeBytes));
    setLE32(d + 28, h.Version);
    setLE32(d + 32, h.ShapeType);
    setLEDouble(d + 36, h.XMin);
    setLEDouble(d + 44, h.YMin);
    setLEDouble(d + 52, h.XMax);
    setLEDouble(d + 60, h.YMax);
    std::memcpy(d + 68, h.ZMRanges.data(), 32);
    return out;
}

// ---- record header and index entry ----

RecordHeader decodeRecordHeader(const char *p) { return {getBE32(p), getBE32(p + 4)}; }

void encodeRecordHeader(char *p, const RecordHeader &h)
{
    setBE32(p, h.Number);
    setBE32(p + 4, h.ContentLength);
}

IndexEntry decodeIndexEntry(const char *p) { return {getBE32(p), getBE32(p + 4)}; }

void encodeIndexEntry(char *p, const IndexEntry &e)
{
    setBE32(p, e.Offset);
    setBE32(p + 4, e.ContentLength);
}

qint64 indexEntryCount(qint64 shxSizeBytes)
{
    if (shxSizeBytes < FileHeaderSize)
        return 0;
    // Rounded as every real-to-integer conversion of the system: halves to even.
    return platform::roundHalfEven(static_cast<long double>(shxSizeBytes - FileHeaderSize) / IndexEntrySize);
}

// ---- point ----

bool decodePoint(const char *d, qsizetype size, PointRecord &out)
{
    out = PointRecord{};
    if (size < PointContentSize)
        return false;
    out.ShapeType = getLE32(d);
    out.X = getLEDouble(d + 4);
    out.Y = getLEDouble(d + 12);
    return true;
}

void encodePoint(char *p, const PointRecord &r)
{
    setLE32(p, r.ShapeType);
    setLEDouble(p + 4, r.X);
    setLEDouble(p + 12, r.Y);
}

// ---- poly ----

bool decodePolyHead(const char *d, qsizetype size, PolyRecordHead &out)
{
    out = PolyRecordHead{};
    if (size < PolyHeadSize)
        return false;
    out.ShapeType = getLE32(d);
    out.XMin = getLEDouble(d + 4);
    out.YMin = getLEDouble(d + 12);
    out.XMax = getLEDouble(d + 20);
    out.YMax = getLEDouble(d + 28);
    out.NumParts = getLE32(d + 36);
    out.NumPoints = getLE32(d + 40);
    return true;
}

void encodePolyHead(char *p, const PolyRecordHead &h)
{
    setLE32(p, h.ShapeType);
    setLEDouble(p + 4, h.XMin);
    setLEDouble(p + 12, h.YMin);
    setLEDouble(p + 20, h.XMax);
    setLEDouble(p + 28, h.YMax);
    setLE32(p + 36, h.NumParts);
    setLE32(p + 40, h.NumPoints);
}

// ---- text/symbol ----

bool decodeTextHead(const char *d, qsizetype size, TTextRecord &r)
{
    r = TTextRecord{};
    if (size < TextHeadSize)
        return false;
    r.Kind = getLE32(d + 0);
    r.Text = getFixedChars(d + 4, TextFieldSize);
    r.FontName = getFixedChars(d + 204, FontNameSize);
    r.FontSize = getLE32(d + 274);
    r.FontStyle = getLE16(d + 278);
    r.Rotate = getLE32(d + 280);
    r.TextScale = getLE32(d + 284);
    r.Reserved288 = static_cast<Byte>(d[288]);
    r.Transparent = static_cast<Byte>(d[289]);
    r.Symbol = platform::fromCp1251(QByteArrayView(d + 290, 1)).at(0);
    r.Reserved291 = getLE32(d + 291);
    r.TextColor = getLE32(d + 295);
    r.BgTextColor = getLE32(d + 299);
    r.TextAlign = getLE32(d + 303);
    r.Reserved307 = getLE32(d + 307);
    r.Reserved311 = getLE32(d + 311);
    r.PenColor = getLE32(d + 315);
    r.PenWidth = getLE32(d + 319);
    r.PenStyle = getLE32(d + 323);
    r.BrushColor = getLE32(d + 327);
    r.BrushStyle = getLE32(d + 331);
    r.PointStyle = getLE32(d + 335);
    r.Reserved339 = getLE32(d + 339);
    r.ArrowStart = getLE32(d + 343);
    r.ArrowEnd = getLE32(d + 347);
    r.Reserved351 = static_cast<Byte>(d[351]);
    r.ImageWidth = getLE32(d + 352);
    r.ImageHeight = getLE32(d + 356);
    r.XMin = getLEDouble(d + 360);
    r.YMin = getLEDouble(d + 368);
    r.XMax = getLEDouble(d + 376);
    r.YMax = getLEDouble(d + 384);
    for (int i = 0; i < 3; ++i)
        r.Reserved392[i] = getLEDouble(d + 392 + 8 * i);
    for (int i = 0; i < 2; ++i)
        r.Reserved416[i] = getLE32(d + 416 + 4 * i);
    r.NumParts = getLE32(d + 424);
    r.NumPoints = getLE32(d + 428);
    return true;
}

void encodeTextHead(char *d, const TTextRecord &r)
{
    std::memset(d, 0, TextHeadSize);
    setLE32(d + 0, r.Kind);
    // At most 199 and 69 characters: the fields always keep a closing zero.
    MapFunctions::StrToFixedChars(r.Text, d + 4, TextFieldSize - 1);
    MapFunctions::StrToFixedChars(r.FontName, d + 204, FontNameSize - 1);
    setLE32(d + 274, r.FontSize);
    setLE16(d + 278, r.FontStyle);
    setLE32(d + 280, r.Rotate);
    setLE32(d + 284, r.TextScale);
    d[288] = static_cast<char>(r.Reserved288);
    d[289] = static_cast<char>(r.Transparent);
    const int symbol = platform::cp1251Byte(r.Symbol);
    d[290] = static_cast<char>(symbol < 0 ? '?' : symbol);
    setLE32(d + 291, r.Reserved291);
    setLE32(d + 295, r.TextColor);
    setLE32(d + 299, r.BgTextColor);
    setLE32(d + 303, r.TextAlign);
    setLE32(d + 307, r.Reserved307);
    setLE32(d + 311, r.Reserved311);
    setLE32(d + 315, r.PenColor);
    setLE32(d + 319, r.PenWidth);
    setLE32(d + 323, r.PenStyle);
    setLE32(d + 327, r.BrushColor);
    setLE32(d + 331, r.BrushStyle);
    setLE32(d + 335, r.PointStyle);
    setLE32(d + 339, r.Reserved339);
    setLE32(d + 343, r.ArrowStart);
    setLE32(d + 347, r.ArrowEnd);
    d[351] = static_cast<char>(r.Reserved351);
    setLE32(d + 352, r.ImageWidth);
    setLE32(d + 356, r.ImageHeight);
    setLEDouble(d + 360, r.XMin);
    setLEDouble(d + 368, r.YMin);
    setLEDouble(d + 376, r.XMax);
    setLEDouble(d + 384, r.YMax);
    for (int i = 0; i < 3; ++i)
        setLEDouble(d + 392 + 8 * i, r.Reserved392[i]);
    for (int i = 0; i < 2; ++i)
        setLE32(d + 416 + 4 * i, r.Reserved416[i]);
    setLE32(d + 424, r.NumParts);
    setLE32(d + 428, r.NumPoints);
}

// ---- raster ----

bool decodeRasterHead(const char *d, qsizetype size, RasterRecordHead &h)
{
    h = RasterRecordHead{};
    if (size < RasterHeadSize)
        return false;
    h.ShapeType = getLE32(d + 0);
    h.XMin = getLEDouble(d + 4);
    h.YMin = getLEDouble(d + 12);
    h.XMax = getLEDouble(d + 20);
    h.YMax = getLEDouble(d + 28);
    h.ImageName = getFixedChars(d + 36, ImageNameSize);
    h.ImageFlag = static_cast<Byte>(d[236]);
    h.ImageWidth = getLE32(d + 237);
    h.ImageHeight = getLE32(d + 241);
    std::memcpy(h.Reserved245.data(), d + 245, 32);
    h.NumPoints = getLE32(d + 277);
    h.Reserved281 = static_cast<Byte>(d[281]);
    return true;
}

void encodeRasterHead(char *d, const RasterRecordHead &h)
{
    setLE32(d + 0, h.ShapeType);
    setLEDouble(d + 4, h.XMin);
    setLEDouble(d + 12, h.YMin);
    setLEDouble(d + 20, h.XMax);
    setLEDouble(d + 28, h.YMax);
    // At most 199 characters and a closing zero; readers stop at the field's
    // end all the same.
    MapFunctions::StrToFixedChars(h.ImageName, d + 36, ImageNameSize - 1);
    d[236] = static_cast<char>(h.ImageFlag);
    setLE32(d + 237, h.ImageWidth);
    setLE32(d + 241, h.ImageHeight);
    std::memcpy(d + 245, h.Reserved245.data(), 32);
    setLE32(d + 277, h.NumPoints);
    d[281] = static_cast<char>(h.Reserved281);
}

// ---- validity ----

bool polyHeadValid(const PolyRecordHead &h, HeadRule rule)
{
    switch (rule) {
    case HeadRule::Stream:
        return h.ShapeType > 0 && h.ShapeType < 100 && h.NumParts > 0 && h.NumParts <= 500 && h.NumPoints > 0 &&
               h.NumPoints <= 10000;
    case HeadRule::ObjectReader:
        return h.ShapeType != 0 && h.NumParts > 0 && h.NumPoints > 0;
    case HeadRule::SaveFromLayerFile:
        return h.ShapeType > 0 && h.NumParts > 0 && h.NumParts < 10000 && h.NumPoints > 0 && h.NumPoints < 10000000;
    case HeadRule::Recalculation:
    case HeadRule::SaveFromJournal:
        return h.ShapeType > 0 && h.NumParts > 0 && h.NumPoints > 0;
    }
    return false;
}

bool textHeadValid(const TTextRecord &r, HeadRule rule)
{
    if (rule == HeadRule::SaveFromLayerFile)
        return r.Kind != 0 && r.NumParts > 0 && r.NumParts < 10000 && r.NumPoints > 0 && r.NumPoints < 10000000;
    return r.Kind > 0;
}

bool rasterHeadValid(const RasterRecordHead &h) { return h.ShapeType > 0 && h.NumPoints > 0; }

// ---- extents ----

bool recordExtent(std::int32_t headerShapeType, const char *c, qint64 available, double &xMin, double &yMin,
                  double &xMax, double &yMax)
{
    // Only the fields the rule needs are taken: a layer of many objects is
    // read head after head.
    auto box = [&](int at) {
        xMin = getLEDouble(c + at);
        yMin = getLEDouble(c + at + 8);
        xMax = getLEDouble(c + at + 16);
        yMax = getLEDouble(c + at + 24);
    };
    switch (recordKindOf(headerShapeType)) {
    case RecordKind::Text:
        if (available < TextHeadSize || getLE32(c) <= 0)
            return false;
        box(360);
        return true;
    case RecordKind::Point:
        if (available < PointContentSize || getLE32(c) <= 0)
            return false;
        xMin = xMax = getLEDouble(c + 4);
        yMin = yMax = getLEDouble(c + 12);
        return true;
    case RecordKind::Poly: {
        if (available < PolyHeadSize || getLE32(c) != headerShapeType)
            return false;
        const std::int32_t parts = getLE32(c + 36), points = getLE32(c + 40);
        if (parts <= 0 || points <= 0 || !countsFit(parts, points, PolyPointSize, available - PolyHeadSize))
            return false;
        box(4);
        return true;
    }
    case RecordKind::Raster:
        if (available < RasterHeadSize || getLE32(c) <= 0)
            return false;
        box(4);
        return true;
    case RecordKind::None:
        break;
    }
    return false;
}

// ---- appending ----

IndexEntry appendedRecordPlace(std::int32_t recordsBefore, const IndexEntry &previous, std::int32_t &number)
{
    number = recordsBefore + 1;
    IndexEntry e;
    e.Offset = recordsBefore <= 0 ? 50 : previous.Offset + previous.ContentLength + 4;
    return e;
}

// ---- parts and points ----

bool countsFit(std::int32_t numParts, std::int32_t numPoints, int pointSize, qint64 available)
{
    if (numParts < 0 || numPoints < 0 || available < 0)
        return false;
    return 4 * static_cast<qint64>(numParts) + static_cast<qint64>(pointSize) * numPoints <= available;
}

std::int32_t getPartStart(const char *p) { return getLE32(p); }

TShpPoint getPolyPoint(const char *p)
{
    TShpPoint pt;
    pt.X = getLEDouble(p);
    pt.Y = getLEDouble(p + 8);
    return pt;
}

TShpPoint getWidePoint(const char *p)
{
    TShpPoint pt;
    pt.X = getLEDouble(p);
    pt.Y = getLEDouble(p + 8);
    pt.setWH(getLE32(p + 16), getLE32(p + 20));
    return pt;
}

void setPolyPoint(char *p, const TShpPoint &pt)
{
    setLEDouble(p, pt.X);
    setLEDouble(p + 8, pt.Y);
}

void setWidePoint(char *p, const TShpPoint &pt)
{
    setLEDouble(p, pt.X);
    setLEDouble(p + 8, pt.Y);
    setLE32(p + 16, pt.W());
    setLE32(p + 20, pt.H());
}

// ---- heights and measures ----

bool typeHasZ(std::int32_t t) { return t == stPointZ || t == stPolylineZ || t == stPolygonZ; }

bool typeHasM(std::int32_t t) { return typeHasZ(t) || t == stPointM || t == stPolylineM || t == stPolygonM; }

MeasureBlocks measureBlocks(std::int32_t fileType, qsizetype pointsEnd, std::int32_t numPoints, qsizetype size)
{
    MeasureBlocks b;
    if (!typeHasM(fileType) || numPoints < 0)
        return b;
    // A point record has no range before its value.
    const qsizetype range = recordKindOf(fileType) == RecordKind::Point ? 0 : 16;
    const qsizetype block = range + 8 * qsizetype(numPoints);
    qsizetype at = pointsEnd;
    if (typeHasZ(fileType)) {
        b.zSize = block;
        if (size - at < block)
            return b; // the plain layout: no Z, and no M after it
        b.zAt = at;
        at += block;
    }
    b.mSize = block;
    if (size - at >= block)
        b.mAt = at;
    return b;
}

void decodeMeasures(std::int32_t fileType, const char *d, qsizetype n, qsizetype pointsEnd,
                    std::vector<TShpPoint> &points, bool &hasM)
{
    hasM = false;
    const MeasureBlocks b = measureBlocks(fileType, pointsEnd, static_cast<std::int32_t>(points.size()), n);
    const qsizetype range = recordKindOf(fileType) == RecordKind::Point ? 0 : 16;
    for (size_t k = 0; k < points.size(); ++k) {
        if (b.zAt >= 0)
            points[k].Z = getLEDouble(d + b.zAt + range + 8 * qsizetype(k));
        if (b.mAt >= 0)
            points[k].M = getLEDouble(d + b.mAt + range + 8 * qsizetype(k));
    }
    hasM = b.mAt >= 0;
}

void splitIntoParts(const std::vector<std::int32_t> &starts, std::vector<TShpPoint> &&points,
                    std::vector<TShpParts> &parts)
{
    parts.assign(starts.size(), TShpParts{});
    if (starts.empty())
        return;
    const std::int64_t n = static_cast<std::int64_t>(points.size());
    if (starts.size() == 1 && starts[0] <= 0) {
        // One part holding every point: the points as they are.
        parts[0].Points = std::move(points);
        return;
    }
    if (std::is_sorted(starts.begin(), starts.end())) {
        // The usual case: consecutive runs.
        for (size_t j = 0; j < starts.size(); ++j) {
            const std::int64_t lo = std::max<std::int64_t>(starts[j], 0);
            const std::int64_t hi = j + 1 < starts.size() ? std::min<std::int64_t>(starts[j + 1], n) : n;
            if (j + 1 < starts.size() && starts[j + 1] == starts[j])
                continue; // the last of equal starts takes the points
            if (lo < hi)
                parts[j].Points.assign(points.begin() + lo, points.begin() + hi);
        }
        return;
    }
    // Starts out of order: each point to the part with the greatest start not
    // above it, the last such part when several share that start.
    std::vector<size_t> order(starts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return starts[a] < starts[b]; });
    for (std::int64_t k = 0; k < n; ++k) {
        auto it = std::upper_bound(order.begin(), order.end(), k,
                                   [&](std::int64_t v, size_t j) { return v < starts[j]; });
        if (it == order.begin())
            continue;
        parts[*(it - 1)].Points.push_back(points[static_cast<size_t>(k)]);
    }
}

// ---- whole contents ----

namespace {

std::vector<std::int32_t> partStartsOf(const TShpObject &shape, std::int32_t &numPoints)
{
    std::vector<std::int32_t> starts;
    starts.reserve(shape.Parts.size());
    std::int64_t total = 0;
    for (const TShpParts &part : shape.Parts) {
        starts.push_back(static_cast<std::int32_t>(total));
        total += static_cast<std::int64_t>(part.Points.size());
    }
    numPoints = static_cast<std::int32_t>(total);
    return starts;
}

} // namespace

void appendObjectContent(const std::function<char *(qsizetype)> &room, std::int32_t layerShapeType,
                         const TShpObject &shape, const TTextRecord &style)
{
    switch (recordKindOf(layerShapeType)) {
    case RecordKind::Point: {
        PointRecord r;
        r.ShapeType = shape.ShapeType;
        TShpPoint pt;
        if (!shape.Parts.empty() && !shape.Parts.front().Points.empty())
            pt = shape.Parts.front().Points.front();
        r.X = pt.X;
        r.Y = pt.Y;
        const bool withZ = typeHasZ(layerShapeType);
        const bool withM = shape.HasM && typeHasM(layerShapeType);
        char *p = room(PointContentSize + (withZ ? 8 : 0) + (withM ? 8 : 0));
        encodePoint(p, r);
        p += PointContentSize;
        if (withZ) {
            setLEDouble(p, pt.Z);
            p += 8;
        }
        if (withM)
            setLEDouble(p, pt.M);
        return;
    }
    case RecordKind::Poly: {
        PolyRecordHead h;
        h.ShapeType = shape.ShapeType;
        h.XMin = shape.XMin;
        h.YMin = shape.YMin;
        h.XMax = shape.XMax;
        h.YMax = shape.YMax;
        const std::vector<std::int32_t> starts = partStartsOf(shape, h.NumPoints);
        h.NumParts = static_cast<std::int32_t>(starts.size());
        const bool withZ = typeHasZ(layerShapeType);
        const bool withM = shape.HasM && typeHasM(layerShapeType);
        const qsizetype block = 16 + 8 * qsizetype(h.NumPoints);
        char *p = room(PolyHeadSize + 4 * qsizetype(h.NumParts) + PolyPointSize * qsizetype(h.NumPoints) +
                       (withZ ? block : 0) + (withM ? block : 0));
        encodePolyHead(p, h);
        p += PolyHeadSize;
        for (std::int32_t s : starts) {
            setLE32(p, s);
            p += 4;
        }
        for (const TShpParts &part : shape.Parts)
            for (const TShpPoint &pt : part.Points) {
                setPolyPoint(p, pt);
                p += PolyPointSize;
            }
        // A block: the range, then the value of every point.
        auto putBlock = [&](double TShpPoint::*value) {
            double lo = 0, hi = 0;
            bool first = true;
            char *values = p + 16;
            for (const TShpParts &part : shape.Parts)
                for (const TShpPoint &pt : part.Points) {
                    const double v = pt.*value;
                    lo = first ? v : std::min(lo, v);
                    hi = first ? v : std::max(hi, v);
                    first = false;
                    setLEDouble(values, v);
                    values += 8;
                }
            setLEDouble(p, lo);
            setLEDouble(p + 8, hi);
            p = values;
        };
        if (withZ)
            putBlock(&TShpPoint::Z);
        if (withM)
            putBlock(&TShpPoint::M);
        return;
    }
    case RecordKind::Text: {
        TTextRecord r = style;
        r.XMin = shape.XMin;
        r.YMin = shape.YMin;
        r.XMax = shape.XMax;
        r.YMax = shape.YMax;
        r.ImageWidth = shape.ImageWidth;
        r.ImageHeight = shape.ImageHeight;
        const std::vector<std::int32_t> starts = partStartsOf(shape, r.NumPoints);
        r.NumParts = static_cast<std::int32_t>(starts.size());
        char *p = room(TextHeadSize + 4 * qsizetype(r.NumParts) + WidePointSize * qsizetype(r.NumPoints));
        encodeTextHead(p, r);
        p += TextHeadSize;
        for (std::int32_t s : starts) {
            setLE32(p, s);
            p += 4;
        }
        for (const TShpParts &part : shape.Parts)
            for (const TShpPoint &pt : part.Points) {
                setWidePoint(p, pt);
                p += WidePointSize;
            }
        return;
    }
    case RecordKind::Raster: {
        RasterRecordHead h;
        h.ShapeType = stRaster;
        h.XMin = shape.XMin;
        h.YMin = shape.YMin;
        h.XMax = shape.XMax;
        h.YMax = shape.YMax;
        h.ImageName = shape.Text;
        h.ImageFlag = shape.ImageFlag;
        h.ImageWidth = shape.ImageWidth;
        h.ImageHeight = shape.ImageHeight;
        qsizetype n = 0;
        for (const TShpParts &part : shape.Parts)
            n += part.Points.size();
        h.NumPoints = static_cast<std::int32_t>(n);
        char *p = room(RasterHeadSize + WidePointSize * n);
        encodeRasterHead(p, h);
        p += RasterHeadSize;
        for (const TShpParts &part : shape.Parts)
            for (const TShpPoint &pt : part.Points) {
                setWidePoint(p, pt);
                p += WidePointSize;
            }
        return;
    }
    case RecordKind::None:
        break;
    }
}

QByteArray encodeObjectContent(std::int32_t layerShapeType, const TShpObject &shape, const TTextRecord &style)
{
    QByteArray out;
    appendObjectContent(
        [&out](qsizetype n) {
            out.resize(n, '\0');
            return out.data();
        },
        layerShapeType, shape, style);
    return out;
}

} // namespace shp
