// Editing the selected objects as a whole: copying them (shifted) into the
// current layer, deleting them, reversing their points and giving them style
// fields of the object template. Copies are appended to the layer files at
// once; every other change goes to the edit journal until the layer is saved.

#include "mapengine/EditSupport.h"

#include "mapdata/LayerWriting.h"
#include "platform/Rounding.h"
#include "platform/db/Table.h"

#include <QVariant>

#include <algorithm>
#include <map>

using namespace mapengine::edit;

namespace {

bool isPointType(std::int32_t t) { return t == shp::stPoint || t == shp::stPointZ || t == shp::stPointM; }
bool isLineType(std::int32_t t) { return t == shp::stPolyline || t == shp::stPolylineZ || t == shp::stPolylineM; }
bool isPolygonType(std::int32_t t) { return t == shp::stPolygon || t == shp::stPolygonZ || t == shp::stPolygonM; }

// The text/symbol kind an object of a layer of that ObjType becomes.
std::int32_t kindForObjType(Byte objType)
{
    switch (objType) {
    case otPoints: return okPoint;
    case otPolylines: return okLine;
    case otPolygons: return okPolygon;
    case otTexts: return okText;
    case otSymbols: return okSymbol;
    case otImages: return 10;
    case otBitmaps: return 9;
    case otBezier: return okCurve;
    default: return 0;
    }
}

// The head of a text/symbol record made from a layer's style.
TTextRecord headFromLayerStyle(const TMapLayer &L)
{
    TTextRecord r;
    r.Kind = kindForObjType(L.ObjType);
    r.PenColor = L.PenColor;
    r.PenStyle = L.PenStyle;
    r.PenWidth = platform::roundToInt(L.PenWidth * 100);
    r.BrushColor = L.BrushColor;
    r.BrushStyle = L.BrushType;
    r.PointStyle = L.ObjType == otPoints ? 1 : 0;
    r.Reserved339 = 0;
    return r;
}

// The attribute values of a row of a table, by field name; empty when the
// table or the row is not there.
std::vector<std::pair<QString, QVariant>> rowValues(const QString &workDir, const QString &dbfName, int recNo)
{
    std::vector<std::pair<QString, QVariant>> values;
    if (dbfName.isEmpty())
        return values;
    platform::db::Table from;
    from.setDatabaseName(workDir);
    from.setTableName(dbfName);
    from.open();
    if (recNo >= 1 && recNo <= from.recordCount() && from.setRecNo(recNo))
        for (int f = 0; f < from.fieldCount(); ++f)
            values.emplace_back(from.field(f).fieldName(), from.field(f).value());
    from.close();
    return values;
}

// Copies a template field named by an op-code from one record into another.
void copyStyleField(Byte opCode, const TTextRecord &from, TTextRecord &to)
{
    switch (opCode) {
    case 0: to.Text = from.Text; break;
    case 1: to.FontName = from.FontName; break;
    case 2: to.FontSize = from.FontSize; break;
    case 3: to.FontStyle = from.FontStyle; break;
    case 4: to.TextColor = from.TextColor; break;
    case 5: to.BgTextColor = from.BgTextColor; break;
    case 6: to.Rotate = from.Rotate; break;
    case 7: to.TextScale = from.TextScale; break;
    case 8: to.Transparent = from.Transparent; break;
    case 9: to.PenWidth = from.PenWidth; break;
    case 10: to.PointStyle = from.PointStyle; break;
    case 11: to.PenColor = from.PenColor; break;
    case 12: to.BrushColor = from.BrushColor; break;
    case 13: to.PenStyle = from.PenStyle; break;
    case 14: to.BrushStyle = from.BrushStyle; break;
    case 15: to.Symbol = from.Symbol; break;
    case 16: to.ArrowStart = from.ArrowStart; break;
    case 17: to.ArrowEnd = from.ArrowEnd; break;
    default: break;
    }
}

} // namespace

void MapControlCore::MoveSelection(double dX, double dY)
{
    const int dest = FProject.ActiveLayer;
    if (FSelection.Entries.empty() || !validLayer(dest))
        return;
    TSelObject work;
    bool copied = false;
    for (TSelObject &entry : FSelection.Entries) {
        const TMapObject *source = objectAt(*this, entry.Layer, entry.Index);
        if (!source)
            continue;
        MoveObjectRecord(dest, entry.Layer, entry.Index, dX, dY, work);
        if (work.Layer != -1 && work.Index != -1) {
            entry = work;
            copied = true;
        }
    }
    // The frame follows the copies.
    if (copied)
        RecalcSelectionExtent();
}

void MapControlCore::MoveObjectRecord(int destLayer, int sourceLayer, int index, double dX, double dY,
                                      TSelObject &entry)
{
    entry.Layer = -1;
    entry.Index = -1;
    if (!validLayer(destLayer) || !objectAt(*this, sourceLayer, index))
        return;
    TMapLayer &D = FProject.Layers[static_cast<size_t>(destLayer)];
    const TMapLayer &S = FProject.Layers[static_cast<size_t>(sourceLayer)];

    // The object, shifted, in map coordinates.
    TShpObject shape;
    ReadObject(sourceLayer, index, shape);
    const TTextRecord sourceHead = FTemplate; // the record's own head when the source holds texts
    std::int32_t numPoints = 0;
    for (TShpParts &part : shape.Parts)
        for (TShpPoint &p : part.Points) {
            p.X += dX;
            p.Y += dY;
            ++numPoints;
        }
    if (dX != 0) {
        shape.XMin += dX;
        shape.XMax += dX;
    }
    if (dY != 0) {
        shape.YMin += dY;
        shape.YMax += dY;
    }
    const Box mapBox = boxOf(shape);

    QString shpName, shxName, dbfName, srcShp, srcShx, srcDbf;
    GetLayerFileNames(S.FileName, QString(), srcShp, srcShx, srcDbf);
    if (D.FileName.trimmed().isEmpty() || S.FileName.trimmed().isEmpty() ||
        !writableLayerFiles(D.FileName, shpName, shxName, dbfName) || existingFile(srcShp).isEmpty() ||
        existingFile(srcShx).isEmpty())
        return;
    shp::FileHeader header;
    if (!layerwrite::readLayerHeader(shpName, header))
        return;
    const std::int32_t T = header.ShapeType;
    if (shape.Parts.empty() || numPoints == 0 || T == shp::stRaster)
        return;

    // The record in the destination's own coordinates. A copy in place into
    // a layer of the same projection keeps the stored points as they are.
    TShpObject rec;
    if (dX == 0 && dY == 0 && layerProjectionDefinition(S) == layerProjectionDefinition(D)) {
        ReadObjectInLayerUnits(sourceLayer, index, rec);
    } else {
        bool sourceProjected = false;
        {
            LayerUnits source(*this, sourceLayer);
            sourceProjected = source.active();
        }
        rec = shape;
        LayerUnits units(*this, destLayer);
        units.convert(rec);
        // A box converted by its corners need not hold the converted points:
        // the record takes the box of its points, but for a laid-out text or
        // symbol, whose box is no box of points.
        const bool laidOut = isTextLayer(S) && (rec.ShapeType == okText || rec.ShapeType == okSymbol);
        if ((sourceProjected || units.active()) && !laidOut)
            recomputePointsBox(rec);
    }
    // Heights and measures go with a copy between layers of points, lines
    // and polygons; the third value of a text or raster point is a pixel.
    if (!carriesHeights(S.ShapeType) || !carriesHeights(T)) {
        for (TShpParts &part : rec.Parts)
            for (TShpPoint &p : part.Points)
                p.Z = p.M = 0;
        rec.HasM = false;
    }
    const std::int32_t sourceType = shape.ShapeType;

    QByteArray content;
    switch (shp::recordKindOf(T)) {
    case shp::RecordKind::Text: {
        TTextRecord head = S.MapType == mtTextLayer ? sourceHead : headFromLayerStyle(S);
        if (S.MapType != mtTextLayer)
            rec.ImageWidth = rec.ImageHeight = 0;
        content = shp::encodeObjectContent(T, rec, head);
        break;
    }
    case shp::RecordKind::Point: {
        if (!isPointType(sourceType) || rec.Parts.front().Points.empty())
            return;
        const TShpPoint first = rec.Parts.front().Points.front();
        rec.Parts.assign(1, TShpParts{{first}});
        rec.ShapeType = T;
        content = shp::encodeObjectContent(T, rec, FTemplate);
        break;
    }
    case shp::RecordKind::Poly: {
        // A polygon copied into a line layer becomes a line of its rings.
        const bool fits = isLineType(T) ? isLineType(sourceType) || isPolygonType(sourceType)
                                        : isPolygonType(sourceType);
        if (!fits)
            return;
        rec.ShapeType = T;
        content = shp::encodeObjectContent(T, rec, FTemplate);
        break;
    }
    case shp::RecordKind::Raster:
    case shp::RecordKind::None:
        return;
    }

    // The source row is read before the destination table opens: both may
    // be the same table.
    const auto values = rowValues(FWorkDir, existingFile(srcDbf), index + 1);
    bool destProjected = false;
    {
        LayerUnits units(*this, destLayer);
        destProjected = units.active();
    }
    auto fillRow = [&](platform::db::Table &table) {
        for (const auto &[name, value] : values)
            if (platform::db::Field *field = table.findField(name))
                field->setValue(value);
    };
    const int newIndex = appendLayerRecord(destLayer, shpName, shxName, dbfName, header, content, boxOf(rec),
                                           mapBox, destProjected, fillRow);
    if (newIndex < 0)
        return;
    entry.Layer = destLayer;
    entry.Index = newIndex;
    entry.XMin = mapBox.XMin;
    entry.YMin = mapBox.YMin;
    entry.XMax = mapBox.XMax;
    entry.YMax = mapBox.YMax;
}

void MapControlCore::DeleteSelection()
{
    for (const TSelObject &entry : FSelection.Entries) {
        TMapLayer *L = editableLayerAt(*this, entry.Layer);
        TMapObject *obj = objectAt(*this, entry.Layer, entry.Index);
        if (!L || !obj)
            continue;
        if (L->MapType != 0 && L->MapType != mtShapeLayer && L->MapType != mtTextLayer)
            continue; // the standard cadastral layers are not deleted here
        obj->Shape.clearParts();
        L->ObjectsDeleted = true;
        obj->Deleted = true;
        journal(*this, entry.Layer, entry.Index);
    }
    ClearSelection();
}

void MapControlCore::ReverseSelection()
{
    for (const TSelObject &entry : FSelection.Entries) {
        TMapLayer *L = editableLayerAt(*this, entry.Layer);
        TMapObject *obj = objectAt(*this, entry.Layer, entry.Index);
        if (!L || !obj)
            continue;
        ReadObjectInLayerUnits(entry.Layer, entry.Index, *obj->Shape);
        // Whole points change places: a control point keeps its pixel.
        for (TShpParts &part : obj->Shape->Parts)
            std::reverse(part.Points.begin(), part.Points.end());
        L->ObjectsModified = true;
        obj->Modified = true;
        journal(*this, entry.Layer, entry.Index);
    }
}

void MapControlCore::ApplyStyleToSelection(const std::vector<Byte> &opCodes)
{
    const TTextRecord style = FTemplate;
    for (size_t i = 0; i < FSelection.Entries.size(); ++i) {
        const TSelObject entry = FSelection.Entries[i];
        TMapLayer *L = editableLayerAt(*this, entry.Layer);
        TMapObject *obj = objectAt(*this, entry.Layer, entry.Index);
        if (!L || !obj)
            continue;
        // Reading a text or symbol makes its head the template: the object
        // keeps its own style but for the fields named.
        ReadObjectInLayerUnits(entry.Layer, entry.Index, *obj->Shape);
        for (Byte op : opCodes)
            copyStyleField(op, style, FTemplate);
        TShpObject &shape = *obj->Shape;
        if (!shape.Parts.empty()) {
            const bool laidOut = isTextLayer(*L) && (shape.ShapeType == okText || shape.ShapeType == okSymbol) &&
                                 !shape.Parts.front().Points.empty();
            if (laidOut) {
                double x = shape.Parts.front().Points.front().X;
                double y = shape.Parts.front().Points.front().Y;
                LayerPointToMap(entry.Layer, x, y);
                Box b = boxOf(shape);
                {
                    LayerUnits units(*this, entry.Layer);
                    units.convert(b); // in map units, as the layout gives it
                }
                LayoutTextObject(FTemplate, x, y, b.XMin, b.YMin, b.XMax, b.YMax);
                LayerUnits units(*this, entry.Layer);
                units.convert(b);
                setBox(shape, b);
            } else {
                recomputePointsBox(shape);
            }
            fitImageBox(*L, shape);
        }
        const bool hasParts = !shape.Parts.empty();
        const Box box = finishEdit(*this, entry.Layer, entry.Index);
        if (hasParts) {
            FSelection.PivotX = box.XMin + (box.XMax - box.XMin) / 2;
            FSelection.PivotY = box.YMin + (box.YMax - box.YMin) / 2;
        }
    }
    RecalcSelectionExtent();
}
