// Shapes in a layer's own coordinates. The object reader converts the points
// and boxes of a layer with a projection into map coordinates; what is
// written back goes the other way, so that an edit moves only what the user
// moved.

#include "mapdata/MapDataCore.h"

#include <QHash>

#include <utility>

namespace {

using Key = std::pair<double, double>;

} // namespace

TShpObject MapDataCore::ShapeInLayerCoordinates(int layer, int index, const TShpObject &shape)
{
    TShpObject out = shape;
    if (!validLayer(layer) || layerProjectionDefinition(FProject.Layers[static_cast<size_t>(layer)]).isEmpty() ||
        !FProjectionLibrary)
        return out;

    // The version the object has now, as the reader gives it and as it is
    // stored: a point (or box) still where the reader put it goes back to its
    // stored value bit for bit, not through a round trip of the projection.
    QHash<Key, Key> stored;
    Key seenMin{0, 0}, seenMax{0, 0}, rawMin{0, 0}, rawMax{0, 0};
    bool haveStored = false;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    if (index >= 0 && static_cast<size_t>(index) < L.Objects.size()) {
        // Reading makes the record the object template: the caller's style
        // must survive.
        const TTextRecord keptTemplate = FTemplate;
        const bool keptFound = FTemplateFound;
        TShpObject seen, raw;
        ReadObject(layer, index, seen);
        ILayerProjection *library = std::exchange(FProjectionLibrary, nullptr);
        IMapEngineServices *engine = std::exchange(FEngine, nullptr);  // stored boxes, not laid-out ones
        ReadObject(layer, index, raw);
        FProjectionLibrary = library;
        FEngine = engine;
        FTemplate = keptTemplate;
        FTemplateFound = keptFound;
        if (seen.Parts.size() == raw.Parts.size()) {
            for (size_t j = 0; j < seen.Parts.size(); ++j) {
                const auto &a = seen.Parts[j].Points;
                const auto &b = raw.Parts[j].Points;
                for (size_t k = 0; k < a.size() && k < b.size(); ++k)
                    stored.insert({a[k].X, a[k].Y}, {b[k].X, b[k].Y});
            }
        }
        seenMin = {seen.XMin, seen.YMin};
        seenMax = {seen.XMax, seen.YMax};
        rawMin = {raw.XMin, raw.YMin};
        rawMax = {raw.XMax, raw.YMax};
        haveStored = true;
    }

    if (!InitLayerProjection(layer))
        return out;
    // The reader's conversion picks its direction by the size of the values,
    // so the same call takes map coordinates back to the layer's.
    auto back = [&](double &x, double &y) {
        const auto it = stored.constFind({x, y});
        if (it != stored.constEnd()) {
            x = it->first;
            y = it->second;
        } else {
            ProjectLayerPoint(x, y);
        }
    };
    for (TShpParts &part : out.Parts)
        for (TShpPoint &p : part.Points)
            back(p.X, p.Y);
    // A box of zeros is unset and stays so.
    if (out.XMin != 0 || out.YMin != 0 || out.XMax != 0 || out.YMax != 0) {
        if (haveStored && Key{out.XMin, out.YMin} == seenMin && Key{out.XMax, out.YMax} == seenMax) {
            out.XMin = rawMin.first;
            out.YMin = rawMin.second;
            out.XMax = rawMax.first;
            out.YMax = rawMax.second;
        } else {
            ProjectLayerPoint(out.XMin, out.YMin);
            ProjectLayerPoint(out.XMax, out.YMax);
        }
    }
    FreeLayerProjection();
    return out;
}
