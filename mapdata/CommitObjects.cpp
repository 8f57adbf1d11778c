// Committing a digitized object: the record and its index entry are appended
// to the layer files in place, the attribute row to the table, and the new
// object is journalled so that undo can take it back. The layer files, the
// table and the journal change together or not at all.

#include "mapdata/LayerUnits.h"
#include "mapdata/LayerWriting.h"
#include "mapdata/MapDataCore.h"

#include "platform/Environment.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"
#include "platform/db/Table.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <optional>

namespace {

constexpr std::int32_t White = 0xFFFFFF;
constexpr double TextMargin = 20;   // map units around the points of a new text or symbol

const QString TextFont = QStringLiteral("Arial Cyr");
const QString SymbolFont = QStringLiteral("Wingdings");

// The head of the text/symbol record of a new object (the box is set later).
TTextRecord newTextRecord(const TNewObject &obj, const TTextRecord &tmpl, bool templateFound,
                          double scaleDenominator)
{
    TTextRecord r;
    r.Kind = obj.Kind;
    switch (obj.Kind) {
    case okText:
    case okSymbol: {
        const bool symbol = obj.Kind == okSymbol;
        if (!obj.Values.empty() && obj.Values.front().Key.isEmpty())
            r.Text = obj.Values.front().Value.left(199);
        r.TextScale = platform::roundToInt(scaleDenominator);
        if (templateFound) {
            r.FontName = tmpl.FontName;
            r.FontSize = tmpl.FontSize;
            r.FontStyle = tmpl.FontStyle;
            r.Rotate = tmpl.Rotate;
            r.Reserved291 = tmpl.Reserved291;
            r.TextColor = tmpl.TextColor;
            r.BgTextColor = tmpl.BgTextColor;
            r.TextAlign = tmpl.TextAlign;
            r.Reserved307 = tmpl.Reserved307;
            r.Reserved311 = tmpl.Reserved311;
            r.Transparent = tmpl.Transparent;
            r.Symbol = tmpl.Symbol.isNull() ? QChar(u'l') : tmpl.Symbol;
        } else {
            r.FontName = symbol ? SymbolFont : TextFont;
            if (symbol)
                r.Symbol = u'l';
            r.FontSize = 12;
            r.BgTextColor = White;
        }
        break;
    }
    case okPoint:
    case okLine:
    case okPolygon:
    case okOval:
    case okCurve:
        if (templateFound) {
            r.PenColor = tmpl.PenColor;
            r.PenStyle = tmpl.PenStyle;
            r.PenWidth = tmpl.PenWidth;
            r.PointStyle = tmpl.PointStyle;
            r.Reserved339 = tmpl.Reserved339;
            r.BrushColor = tmpl.BrushColor;
            r.BrushStyle = tmpl.BrushStyle;
        } else {
            r.PenStyle = 1;
            r.PenWidth = 1;
            r.PointStyle = obj.Kind == okPoint ? 1 : 0;
            r.BrushColor = White;
        }
        break;
    default:
        break;
    }
    return r;
}

// The figure as a shape: points split at the part starts (parts in the order
// given; points before the first start belong to no part).
TShpObject figureShape(const TNewObject &obj, bool keepZ)
{
    TShpObject shape;
    std::vector<std::int32_t> starts = obj.Parts;
    if (starts.empty())
        starts.push_back(0);
    const auto n = static_cast<std::int64_t>(obj.Points.size());
    for (size_t j = 0; j < starts.size(); ++j) {
        TShpParts part;
        const std::int64_t lo = std::clamp<std::int64_t>(starts[j], 0, n);
        const std::int64_t hi = j + 1 < starts.size() ? std::clamp<std::int64_t>(starts[j + 1], lo, n) : n;
        for (std::int64_t k = lo; k < hi; ++k) {
            TShpPoint pt;
            pt.X = obj.Points[static_cast<size_t>(k)].Point.X;
            pt.Y = obj.Points[static_cast<size_t>(k)].Point.Y;
            if (keepZ)
                pt.Z = obj.Points[static_cast<size_t>(k)].Point.Z;
            part.Points.push_back(pt);
        }
        shape.Parts.push_back(std::move(part));
    }
    return shape;
}

} // namespace

bool MapDataCore::ScreenFontInstalled(const QString &name) const
{
    if (!qGuiApp)
        return true; // no screen to ask: the name stays
    for (const QString &family : QFontDatabase::families())
        if (platform::ansiSameText(family, name))
            return true;
    return false;
}

bool MapDataCore::FindKindTemplate(int layer, Byte kind)
{
    FTemplateFound = false;
    if (!validLayer(layer))
        return false;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    mapdata::KeptFile *shpFile = LayerRecordFile(layer);
    if (!shpFile)
        return false;
    mapdata::KeptFile *jrnFile = JournalRecordFile();
    for (size_t i = L.Objects.size(); i-- > 0;) {
        const TMapObject &obj = L.Objects[i];
        if (obj.ShpLength <= 4 || obj.Deleted)
            continue;
        const bool journalled = obj.JrnOffset > 0 && jrnFile;
        mapdata::KeptFile &source = journalled ? *jrnFile : *shpFile;
        const qint64 offset = journalled ? obj.JrnOffset : obj.ShpOffset;
        const QByteArrayView head = source.read(2 * offset + shp::RecordHeaderSize, shp::TextHeadSize);
        TTextRecord rec;
        if (!shp::decodeTextHead(head.data(), head.size(), rec))
            continue; // a record cut short holds no style
        if (rec.Kind == kind) {
            FTemplate = rec;
            FTemplateFound = true;
            return true;
        }
    }
    return false;
}

bool MapDataCore::CommitNewObject(int layer, bool clearSelection, bool select)
{
    if (!validLayer(layer))
        return false;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    QString shpName, shxName, dbfName;
    if (!writableLayerFiles(L.FileName, shpName, shxName, dbfName))
        return false;

    TNewObject &obj = FNewObject;
    obj.MinX = obj.MinY = obj.MaxX = obj.MaxY = 0;
    for (const TNewPoint &p : obj.Points)
        growBox(obj.MinX, obj.MinY, obj.MaxX, obj.MaxY, p.Point.X, p.Point.Y);

    shp::FileHeader header;
    if (!layerwrite::readLayerHeader(shpName, header))
        return false; // not a layer file
    const std::int32_t T = header.ShapeType;
    if (T == shp::stText && !FCommitStyle)
        FTemplateFound = FindKindTemplate(layer, obj.Kind);
    if (obj.Points.empty() || T == shp::stRaster)
        return false;
    if (obj.Parts.empty())
        obj.Parts.push_back(0);

    // The content by the file's shape type. The figure is in map coordinates
    // (FNewObject's box stays so: blocks, extent and selection are); a layer
    // with a projection stores its own, which its readers convert back.
    QByteArray content;
    TShpObject shape;
    // The conversion lives only while the record is built: reading sets up a
    // projection of its own.
    std::optional<mapdata::LayerUnits> units(std::in_place, *this, layer);
    const bool projected = units->active();
    // The record's box: that of the stored points, the readers converting its
    // corners back.
    auto storedBox = [&] {
        if (projected)
            mapdata::recomputePointsBox(shape);
    };
    switch (shp::recordKindOf(T)) {
    case shp::RecordKind::Point: {
        shape.ShapeType = T;
        TShpPoint pt;
        pt.X = obj.MinX;
        pt.Y = obj.MinY;
        pt.Z = obj.Points.front().Point.Z;
        units->convert(pt.X, pt.Y);
        shape.Parts.assign(1, TShpParts{{pt}});
        shape.XMin = shape.XMax = pt.X;
        shape.YMin = shape.YMax = pt.Y;
        content = shp::encodeObjectContent(T, shape, FTemplate);
        break;
    }
    case shp::RecordKind::Poly: {
        shape = figureShape(obj, true);
        shape.ShapeType = T;
        const bool polygon = T == shp::stPolygon || T == shp::stPolygonZ || T == shp::stPolygonM;
        if (polygon && shape.Parts.size() == 1 && !shape.Parts.front().Points.empty()) {
            // A single ring is closed.
            std::vector<TShpPoint> &ring = shape.Parts.front().Points;
            if (ring.back().X != ring.front().X || ring.back().Y != ring.front().Y)
                ring.push_back(ring.front());
        }
        shape.XMin = obj.MinX;
        shape.YMin = obj.MinY;
        shape.XMax = obj.MaxX;
        shape.YMax = obj.MaxY;
        units->convert(shape);
        storedBox();
        content = shp::encodeObjectContent(T, shape, FTemplate);
        break;
    }
    case shp::RecordKind::Text: {
        const double scale = engine() ? engine()->CurrentScaleDenominator() : 0;
        // Measurement labels bring their whole style.
        TTextRecord rec = FCommitStyle ? *FCommitStyle : newTextRecord(obj, FTemplate, FTemplateFound, scale);
        if (obj.Kind == okText || obj.Kind == okSymbol) {
            if (!ScreenFontInstalled(rec.FontName.trimmed()))
                rec.FontName = obj.Kind == okSymbol ? SymbolFont : TextFont;
            obj.MinX -= TextMargin;
            obj.MinY -= TextMargin;
            obj.MaxX += TextMargin;
            obj.MaxY += TextMargin;
        }
        shape = figureShape(obj, false);
        shape.XMin = obj.MinX;
        shape.YMin = obj.MinY;
        shape.XMax = obj.MaxX;
        shape.YMax = obj.MaxY;
        // The widened box of a text or symbol is no box of points: its
        // corners go over as they are read back.
        units->convert(shape);
        if (obj.Kind != okText && obj.Kind != okSymbol)
            storedBox();
        content = shp::encodeObjectContent(T, shape, rec);
        break;
    }
    case shp::RecordKind::Raster:
    case shp::RecordKind::None:
        return false;
    }
    units.reset();

    // The header box takes in the record's box in the layer's own units.
    const mapdata::Box recordBox =
        projected ? mapdata::boxOf(shape) : mapdata::Box{obj.MinX, obj.MinY, obj.MaxX, obj.MaxY};
    const mapdata::Box mapBox{obj.MinX, obj.MinY, obj.MaxX, obj.MaxY};
    // The row takes the figure's named values.
    auto fillRow = [&](platform::db::Table &table) {
        for (const TTxtValues &v : obj.Values) {
            if (v.Key.isEmpty())
                continue;
            if (platform::db::Field *field = table.findField(v.Key))
                layerwrite::setFieldFromText(*field, v.Value);
        }
    };
    const int index =
        appendLayerRecord(layer, shpName, shxName, dbfName, header, content, recordBox, mapBox, projected, fillRow);
    if (index < 0)
        return false;

    // The selection.
    if (IMapEngineServices *e = engine()) {
        if (clearSelection)
            e->ClearSelection();
        if (select) {
            if (TSelObjects *sel = e->EngineSelection()) {
                TSelObject s;
                s.Layer = layer;
                s.Index = index;
                s.Kind = T == shp::stText ? obj.Kind : L.ObjType;
                s.XMin = obj.MinX;
                s.YMin = obj.MinY;
                s.XMax = obj.MaxX;
                s.YMax = obj.MaxY;
                sel->Entries.push_back(s);
                e->RecalcSelectionExtent();
            }
        }
    }
    return true;
}

bool MapDataCore::writableLayerFiles(const QString &fileName, QString &shpName, QString &shxName,
                                     QString &dbfName) const
{
    GetLayerFileNames(fileName, QString(), shpName, shxName, dbfName);
    shpName = existingFile(shpName);
    shxName = existingFile(shxName);
    dbfName = existingFile(dbfName);
    if (shpName.isEmpty() || shxName.isEmpty() || dbfName.isEmpty() || layerOpenedReadOnly(shpName))
        return false;
    return !mapdata::isReadOnlyFile(shpName) && !mapdata::isReadOnlyFile(shxName) &&
           !mapdata::isReadOnlyFile(dbfName);
}

int MapDataCore::appendLayerRecord(int layer, const QString &shpName, const QString &shxName,
                                   const QString &dbfName, const shp::FileHeader &header, const QByteArray &content,
                                   const mapdata::Box &recordBox, const mapdata::Box &mapBox, bool projected,
                                   const std::function<void(platform::db::Table &)> &fillRow)
{
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];

    // Number and place: after the last object of the table.
    const auto count = static_cast<std::int32_t>(L.Objects.size());
    shp::IndexEntry previous;
    if (count > 0)
        previous = {L.Objects.back().ShpOffset, L.Objects.back().ShpLength / 2};
    mapdata::FileOps &ops = fileOps();
    layerwrite::AppendedRecord written;
    if (!layerwrite::appendRecord(ops, FWorkDir, {shpName, shxName, dbfName}, header, count, previous, content,
                                  recordBox, fillRow, written))
        return -1;
    const shp::IndexEntry &place = written.place;
    const shp::FileHeader &grown = written.header;
    const layerwrite::FileState &shpBefore = written.before[0];
    const layerwrite::FileState &shxBefore = written.before[1];
    const layerwrite::FileState &dbfBefore = written.before[2];

    // The object table, the extents and the blocks.
    const mapdata::Box extentBefore{L.MtMinX, L.MtMinY, L.MtMaxX, L.MtMaxY};
    const std::vector<TBlockExtent> blocksBefore = L.Blocks;
    const bool appendedBefore = L.ObjectsAppended;
    TMapObject added;
    added.ShpOffset = place.Offset;
    added.ShpLength = static_cast<std::int32_t>(content.size());
    L.Objects.push_back(added);
    const int index = count;
    if (projected) {
        // The extent of a layer with a projection is kept in map units.
        growBox(L.MtMinX, L.MtMinY, L.MtMaxX, L.MtMaxY, mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax);
    } else {
        L.MtMinX = grown.XMin;
        L.MtMinY = grown.YMin;
        L.MtMaxX = grown.XMax;
        L.MtMaxY = grown.YMax;
    }
    const size_t b = static_cast<size_t>(index) / blockSize();
    if (L.Blocks.size() < b + 1)
        L.Blocks.resize(b + 1);
    TBlockExtent &block = L.Blocks[b];
    growBox(block.XMin, block.YMin, block.XMax, block.YMax, mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax);
    L.ObjectsAppended = true;

    // The object's first version goes to the journal, so that undo (and
    // closing without saving) can take it back. Without it the object would
    // stay for good: the files, the row and the tables go back instead, unless
    // the row is held by another handle of the program or a file cannot be
    // put back, when the object stays as the files have it.
    if (journalAppended(layer, index))
        return index;
    if (platform::db::TableLease::inUse(dbfName))
        return index;
    const bool shpBack = layerwrite::restoreFile(ops, shpBefore);
    const bool shxBack = layerwrite::restoreFile(ops, shxBefore);
    if (!layerwrite::restoreFile(ops, dbfBefore) || !shpBack || !shxBack)
        return index;
    L.Objects.pop_back();
    L.MtMinX = extentBefore.XMin;
    L.MtMinY = extentBefore.YMin;
    L.MtMaxX = extentBefore.XMax;
    L.MtMaxY = extentBefore.YMax;
    L.Blocks = blocksBefore;
    L.ObjectsAppended = appendedBefore;
    return -1;
}

bool MapDataCore::journalAppended(int layer, int index)
{
    TMapObject &o = FProject.Layers[static_cast<size_t>(layer)].Objects[static_cast<size_t>(index)];
    o.Appended = true;
    ReadObjectInLayerUnits(layer, index, *o.Shape);
    std::int32_t newOffset = 0, newLength = 0;
    if (!JournalObject(layer, index, newOffset, newLength, 0, 0))
        return false;
    o.JrnOffset = newOffset;
    o.JrnLength = newLength;
    return true;
}
