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
//
// The projection library's conversions are most of a run's time: a large
// run reads its objects a batch at a time, converts the batch's points in
// several threads (geodesy::PointTransformPool) and lays out the records in
// order on the calling thread, so that the journal, the messages and the
// kind-4 direction are those of one pass over the points.

#include "mapengine/EditSupport.h"

#include "geodesy/PointTransformPool.h"
#include "platform/NumberFormat.h"
#include "platform/UserAnswers.h"

#include <algorithm>
#include <set>
#include <tuple>

using namespace mapengine::edit;

namespace {

// What a selection run keeps of each object until the journal took the
// batch (its new version is already laid out as a journal record): where it
// now stands on the map.
struct Pending {
    bool hasParts = false;
    Box mapBox;
};

// The objects are read a batch at a time, their points converted in several
// threads, and then laid out in order as journal records.
constexpr size_t batchPoints = size_t(1) << 16;
constexpr size_t batchObjects = 8192;
// A thread converts at most this many points of one part at a go, so that a
// few long lines still spread over the threads.
constexpr std::uint32_t piecePoints = 1024;

// One object of a batch, from its reading to its record.
struct Slot {
    int layer = 0;
    int index = 0;
    TShpObject shape;
    // Reading an object of a text layer made its style the template; its
    // record is laid out with that style after the batch converted.
    bool hasStyle = false;
    TTextRecord style;
    bool styleFound = false;
    size_t firstPiece = 0, pieces = 0;
};

// Points of one part of one object, converted by one thread.
struct Piece {
    std::uint32_t slot = 0, part = 0, begin = 0, end = 0;
    bool first = false;           // holds the run's very first point
    bool startsProjected = false; // kind 4: the run's state at its first point
    // The converted points' box, before rounding.
    bool started = false;
    Box box;
    // The first point that did not convert: as it was, and why.
    bool failed = false;
    TShpPoint failedPoint;
    QString error;
};

// Converts a piece's points in place (rounded as stored) and boxes them.
void convertPiece(geodesy::PointTransform &transform, std::vector<Slot> &batch, Piece &piece)
{
    std::vector<TShpPoint> &points = batch[piece.slot].shape.Parts[piece.part].Points;
    transform.setProjected(piece.startsProjected);
    bool first = piece.first;
    Box box;
    for (std::uint32_t k = piece.begin; k < piece.end; ++k) {
        TShpPoint &pt = points[k];
        double x = pt.X, y = pt.Y;
        if (!transform.apply(x, y, first)) {
            piece.failed = true;
            piece.failedPoint = pt;
            piece.error = transform.error();
            return;
        }
        first = false;
        if (k == piece.begin) {
            box = {x, y, x, y};
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
    piece.started = piece.end > piece.begin;
    piece.box = box;
}

} // namespace

bool MapControlCore::TransformObjects(int kind, int digits, double K, double DX, double DY, double CosA,
                                      double SinA, const QString &source, const QString &destination)
{
    geodesy::PointTransformPool pool({kind, digits, K, DX, DY, CosA, SinA, source, destination});
    if (!pool.setUp()) {
        platform::showMessage(pool.error());
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

    // Each object is read, moved, and laid out as the record the journal
    // will take; nothing of the layer changes until every point has
    // converted.
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
        // The records say about how many points there are to convert.
        const int threads = geodesy::PointTransformPool::threadsFor(static_cast<size_t>(bytes / shp::PolyPointSize));
        if (threads > 1 && !pool.setUp(threads)) {
            platform::showMessage(pool.error());
            return false;
        }
    }

    std::vector<Slot> batch;
    std::vector<Piece> pieces;
    bool anyPoint = false, projected = false; // before the batch, in the run
    size_t next = 0;
    while (next < targets.size()) {
        // Read a batch: every object's points cut into pieces, each knowing
        // the run's state at its start.
        const TTextRecord templateBefore = FTemplate;
        const bool templateFoundBefore = FTemplateFound;
        bool styles = false;
        size_t count = 0, points = 0;
        pieces.clear();
        while (next < targets.size() && count < batchObjects && points < batchPoints) {
            if (batch.size() <= count)
                batch.emplace_back();
            Slot &slot = batch[count];
            std::tie(slot.layer, slot.index) = targets[next++];
            // Reading a text or symbol also makes its style the template.
            ReadObjectInLayerUnits(slot.layer, slot.index, slot.shape);
            slot.hasStyle = shp::recordKindOf(FProject.Layers[static_cast<size_t>(slot.layer)].ShapeType) ==
                            shp::RecordKind::Text;
            if (slot.hasStyle) {
                slot.style = FTemplate;
                slot.styleFound = FTemplateFound;
                styles = true;
            }
            slot.firstPiece = pieces.size();
            for (size_t part = 0; part < slot.shape.Parts.size(); ++part) {
                const std::vector<TShpPoint> &pts = slot.shape.Parts[part].Points;
                for (size_t at = 0; at < pts.size(); at += piecePoints) {
                    Piece piece;
                    piece.slot = static_cast<std::uint32_t>(count);
                    piece.part = static_cast<std::uint32_t>(part);
                    piece.begin = static_cast<std::uint32_t>(at);
                    piece.end = static_cast<std::uint32_t>(std::min(pts.size(), at + piecePoints));
                    piece.first = !anyPoint;
                    piece.startsProjected = projected;
                    if (kind == geodesy::tkOneProjection && !projected)
                        for (std::uint32_t k = piece.begin; k < piece.end && !projected; ++k)
                            projected = geodesy::PointTransform::looksProjected(pts[k].X, pts[k].Y, !anyPoint && k == 0);
                    anyPoint = true;
                    pieces.push_back(std::move(piece));
                }
                points += pts.size();
            }
            slot.pieces = pieces.size() - slot.firstPiece;
            ++count;
        }

        // Convert, in as many threads as the pool has.
        const size_t perBlock = std::max<size_t>(1, pieces.size() * piecePoints / std::max<size_t>(points, 1));
        pool.forEach(pieces.size(), perBlock, [&](geodesy::PointTransform &t, size_t begin, size_t end) {
            for (size_t k = begin; k < end; ++k)
                convertPiece(t, batch, pieces[k]);
        });

        // Lay out the records in order, each text with the style its
        // reading made the template.
        if (styles) {
            FTemplate = templateBefore;
            FTemplateFound = templateFoundBefore;
        }
        for (size_t s = 0; s < count; ++s) {
            Slot &slot = batch[s];
            const int layer = slot.layer, index = slot.index;
            TShpObject &shape = slot.shape;
            if (slot.hasStyle) {
                FTemplate = slot.style;
                FTemplateFound = slot.styleFound;
            }
            const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
            if (!shape.Parts.empty()) {
                Box box;
                bool started = false;
                for (size_t k = slot.firstPiece; k < slot.firstPiece + slot.pieces; ++k) {
                    const Piece &piece = pieces[k];
                    if (piece.failed) {
                        const TShpPoint &pt = piece.failedPoint;
                        platform::showMessage(QStringLiteral("Ошибка при преобразовании координат ") + piece.error +
                                              QStringLiteral(" (слой ") + L.Name + QStringLiteral(", объект ") +
                                              QString::number(index + 1) + QStringLiteral(", X = ") +
                                              platform::floatToStr(pt.Y) + QStringLiteral(", Y = ") +
                                              platform::floatToStr(pt.X) + QStringLiteral(")"));
                        return false;
                    }
                    if (!piece.started)
                        continue;
                    if (!started) {
                        box = piece.box;
                        started = true;
                    } else {
                        box.XMin = std::min(box.XMin, piece.box.XMin);
                        box.YMin = std::min(box.YMin, piece.box.YMin);
                        box.XMax = std::max(box.XMax, piece.box.XMax);
                        box.YMax = std::max(box.YMax, piece.box.YMax);
                    }
                }
                setBox(shape, box);
                fitImageBox(L, shape);
            }
            Pending p;
            p.hasParts = !shape.Parts.empty();
            p.mapBox = mapBoxOf(*this, layer, shape);
            const bool textLike = shape.ShapeType == okText || shape.ShapeType == okSymbol;
            // A text is laid out, and its record written, with its own style:
            // the template its reading made. Its box is the laid-out text at
            // the new anchor.
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
