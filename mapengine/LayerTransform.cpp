// The transformation of layer coordinates: every point of the selected
// objects, or of the whole current layer, through a plane key, a shift or
// the projection library, recorded in the edit journal.
//
// Objects are read and rewritten in their layer's own coordinates (what the
// layer files hold), not as an on-the-fly projection shows them: the
// transformation is one of the stored data, and reading projected values
// back into the layer would project them twice.
//
// The run computes every new shape first and stores nothing until all
// points converted: a point the library cannot convert stops the run with a
// message and leaves every object as it was. The changes then go to the
// journal in one piece, so a journal that cannot be written leaves them all
// undone too.

#include "mapengine/EditSupport.h"

#include "geodesy/PointTransform.h"
#include "platform/NumberFormat.h"
#include "platform/UserAnswers.h"

#include <set>

using namespace mapengine::edit;

namespace {

// What a selection run keeps of each object until the journal took the
// batch (its new version is already laid out as a journal record): where it
// now stands on the map.
struct Pending {
    bool hasParts = false;
    Box mapBox;
};

} // namespace

bool MapControlCore::TransformObjects(int kind, int digits, double K, double DX, double DY, double CosA,
                                      double SinA, const QString &source, const QString &destination)
{
    geodesy::PointTransform transform({kind, digits, K, DX, DY, CosA, SinA, source, destination});
    if (!transform.setUp()) {
        platform::showMessage(transform.error());
        return false;
    }

    // What the run works on: the selected objects of editable layers, or
    // every live object of the current layer when nothing is selected.
    const bool selectionRun = !FSelection.Entries.empty();
    std::vector<std::pair<int, int>> targets;
    if (selectionRun) {
        std::set<std::pair<int, int>> seen;
        for (const TSelObject &e : FSelection.Entries)
            if (editableLayerAt(*this, e.Layer) && objectAt(*this, e.Layer, e.Index) &&
                seen.insert({e.Layer, e.Index}).second)
                targets.emplace_back(e.Layer, e.Index);
    } else {
        const int layer = FProject.ActiveLayer;
        TMapLayer *L = editableLayerAt(*this, layer);
        if (!L)
            return false;
        for (size_t i = 0; i < L->Objects.size(); ++i)
            if (!L->Objects[i].Deleted)
                targets.emplace_back(layer, static_cast<int>(i));
    }

    // Each object is read into one shape, moved, and laid out at once as the
    // record the journal will take; nothing of the layer changes until every
    // point has converted.
    std::vector<Pending> pending;
    std::vector<TJournalItem> items;
    TJournalRecords records;
    if (selectionRun)
        pending.reserve(targets.size());
    items.reserve(targets.size());
    // A whole-layer run gathers the layer's new extents as it goes.
    std::vector<TBlockExtent> blocks;
    bool extentStarted = false;
    Box extent;
    if (!selectionRun)
        blocks.resize(FProject.Layers[static_cast<size_t>(FProject.ActiveLayer)].Blocks.size());
    records.Places.reserve(targets.size());
    {
        qsizetype bytes = records.Bytes.size();
        for (const auto &[layer, index] : targets) {
            const TMapObject &obj = FProject.Layers[static_cast<size_t>(layer)].Objects[static_cast<size_t>(index)];
            bytes += shp::RecordHeaderSize + 1 + (obj.JrnOffset != 0 ? 2 * qsizetype(obj.JrnLength) : obj.ShpLength);
        }
        records.Bytes.reserve(bytes);
    }
    TShpObject shape;
    bool first = true;
    for (const auto &[layer, index] : targets) {
        Pending p;
        // Reading a text or symbol also makes its style the template.
        ReadObjectInLayerUnits(layer, index, shape);
        const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
        if (!shape.Parts.empty()) {
            Box box;
            bool started = false;
            for (TShpParts &part : shape.Parts)
                for (TShpPoint &pt : part.Points) {
                    double x = pt.X, y = pt.Y;
                    if (!transform.apply(x, y, first)) {
                        platform::showMessage(QStringLiteral("Ошибка при преобразовании координат ") +
                                              transform.error() + QStringLiteral(" (слой ") + L.Name +
                                              QStringLiteral(", объект ") + QString::number(index + 1) +
                                              QStringLiteral(", X = ") + platform::floatToStr(pt.Y) +
                                              QStringLiteral(", Y = ") + platform::floatToStr(pt.X) +
                                              QStringLiteral(")"));
                        return false;
                    }
                    first = false;
                    // The box takes the values before rounding.
                    if (!started) {
                        box = {x, y, x, y};
                        started = true;
                    } else {
                        box.XMin = std::min(box.XMin, x);
                        box.YMin = std::min(box.YMin, y);
                        box.XMax = std::max(box.XMax, x);
                        box.YMax = std::max(box.YMax, y);
                    }
                    // Only x and y: a raster's pixel stays with its point.
                    pt.X = transform.stored(x);
                    pt.Y = transform.stored(y);
                }
            setBox(shape, box);
            fitImageBox(L, shape);
        }
        p.hasParts = !shape.Parts.empty();
        p.mapBox = mapBoxOf(*this, layer, shape);
        const bool textLike = shape.ShapeType == okText || shape.ShapeType == okSymbol;
        // A text is laid out, and its record written, with its own style: the
        // template its reading made. Its box is the laid-out text at the new
        // anchor.
        if (isTextLayer(L) && textLike && !shape.Parts.empty() && !shape.Parts.front().Points.empty()) {
            double ax = shape.Parts.front().Points.front().X, ay = shape.Parts.front().Points.front().Y;
            LayerPointToMap(layer, ax, ay);
            Box laid;
            LayoutTextObject(FTemplate, ax, ay, laid.XMin, laid.YMin, laid.XMax, laid.YMax);
            p.mapBox = laid;
            LayerUnits units(*this, layer);
            units.convert(laid);
            setBox(shape, laid);
        }
        const TMapObject &obj = L.Objects[static_cast<size_t>(index)];
        TJournalItem item;
        item.Layer = layer;
        item.Index = index;
        item.PreviousOffset = item.NewOffset = obj.JrnOffset;
        item.PreviousLength = item.NewLength = obj.JrnLength;
        AddJournalRecord(records, item, shape);
        items.push_back(item);
        if (selectionRun) {
            pending.push_back(p);
        } else if (p.hasParts) {
            const Box &b = p.mapBox;
            const size_t block = static_cast<size_t>(index) / blockSize();
            if (blocks.size() < block + 1)
                blocks.resize(block + 1);
            TBlockExtent &e = blocks[block];
            growBox(e.XMin, e.YMin, e.XMax, e.YMax, b.XMin, b.YMin, b.XMax, b.YMax);
            if (!extentStarted) {
                extent = b;
                extentStarted = true;
            } else {
                extent.XMin = std::min(extent.XMin, b.XMin);
                extent.YMin = std::min(extent.YMin, b.YMin);
                extent.XMax = std::max(extent.XMax, b.XMax);
                extent.YMax = std::max(extent.YMax, b.YMax);
            }
        }
    }
    if (items.empty())
        return false;

    // Every changed object goes into the journal in one piece: all of them,
    // or, when the journal cannot be written (the journal said why), none.
    struct Before {
        bool modified, layerModified;
    };
    std::vector<Before> before;
    before.reserve(items.size());
    for (const TJournalItem &it : items) {
        TMapLayer &L = FProject.Layers[static_cast<size_t>(it.Layer)];
        TMapObject &obj = L.Objects[static_cast<size_t>(it.Index)];
        before.push_back({obj.Modified, L.ObjectsModified});
        // A shape an earlier edit left is no version of the object now.
        obj.Shape.clearParts();
        L.ObjectsModified = true;
        obj.Modified = true;
    }
    if (!JournalObjects(items, records)) {
        for (size_t k = items.size(); k-- > 0;) {
            TMapLayer &L = FProject.Layers[static_cast<size_t>(items[k].Layer)];
            TMapObject &obj = L.Objects[static_cast<size_t>(items[k].Index)];
            obj.Modified = before[k].modified;
            L.ObjectsModified = before[k].layerModified;
        }
        return false;
    }
    if (selectionRun) {
        for (size_t k = 0; k < items.size(); ++k) {
            const TJournalItem &it = items[k];
            TMapObject &obj = FProject.Layers[static_cast<size_t>(it.Layer)].Objects[static_cast<size_t>(it.Index)];
            obj.JrnOffset = it.NewOffset;
            obj.JrnLength = it.NewLength;
            if (pending[k].hasParts)
                takeInBox(*this, it.Layer, it.Index, pending[k].mapBox);
        }
        // The pivot goes with the moved selection.
        FSelection.PivotX = FSelection.PivotY = 0;
        RecalcSelectionExtent();
        return true;
    }

    // Whole-layer runs rebuild the layer's extents from the moved objects.
    TMapLayer &L = FProject.Layers[static_cast<size_t>(FProject.ActiveLayer)];
    L.Blocks = std::move(blocks);
    for (const TJournalItem &it : items) {
        TMapObject &obj = L.Objects[static_cast<size_t>(it.Index)];
        obj.JrnOffset = it.NewOffset;
        obj.JrnLength = it.NewLength;
    }
    if (extentStarted) {
        L.MtMinX = extent.XMin;
        L.MtMinY = extent.YMin;
        L.MtMaxX = extent.XMax;
        L.MtMaxY = extent.YMax;
        L.MtMinZ = L.MtMaxZ = 0;
        L.CenterX = L.MtMinX + (L.MtMaxX - L.MtMinX) / 2;
        L.CenterY = L.MtMinY + (L.MtMaxY - L.MtMinY) / 2;
    }
    return true;
}
