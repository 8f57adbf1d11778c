#include "app/MouseTools.h"

#include "mapengine/MapControlCore.h"

#include "mapdata/BinaryFile.h"
#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>

namespace app::tools {

std::vector<Branch> branchesFor(Handler handler, const ToolStates &t)
{
    std::vector<Branch> out;
    const bool dbl = handler == Handler::DblClick;
    if (t.label && !dbl)
        out.push_back(Branch::Label);
    if (t.draw)
        out.push_back(Branch::Draw);
    if (t.edit)
        out.push_back(Branch::Edit);
    if (t.pickMirror || t.selectMirror)
        out.push_back(Branch::PickSelect);
    if (t.info && !dbl)
        out.push_back(Branch::Info);
    if (t.ruler)
        out.push_back(Branch::Ruler);
    if (t.zoomMirror && !dbl)
        out.push_back(Branch::Zoom);
    return out;
}

void panCentre(double &centreX, double &centreY, std::int64_t pressX, std::int64_t pressY, std::int64_t moveX,
               std::int64_t moveY, double unitsPerPixelX, double unitsPerPixelY, double scale)
{
    if (scale == 0)
        return; // no view to pan
    centreX += static_cast<double>(pressX - moveX) * unitsPerPixelX / scale;
    centreY -= static_cast<double>(pressY - moveY) * unitsPerPixelY / scale;
}

// ---------------------------------------------------------------------------
// Zoom tool

int zoomPressCursor(bool zoomDown, TShiftState shift)
{
    if (!zoomDown)
        return crNone;
    return shift.has(ssLeft) ? crZoomIn : crZoomOut;
}

ZoomMove zoomMove(bool mouseDown, TShiftState shift, bool differs, bool zoomDown, bool moveDown)
{
    ZoomMove m;
    // Exactly one button and no key: a drag with a key held draws nothing.
    const bool oneButton = shift == TShiftState(ssLeft) || shift == TShiftState(ssRight);
    if (mouseDown && oneButton && differs) {
        if (moveDown)
            m.drawing = ZoomMove::FollowMouse;
        else if (zoomDown)
            m.drawing = ZoomMove::Rubber;
    }
    if (zoomDown)
        m.cursor = shift.has(ssRight) ? crZoomOut : crZoomIn;
    else if (moveDown)
        m.cursor = crHand;
    return m;
}

ZoomRelease zoomRelease(bool mouseDown, Qt::MouseButton button, TShiftState shift, bool moved, bool movedBoth,
                        bool zoomDown, bool moveDown)
{
    ZoomRelease r;
    if (!mouseDown)
        return r;
    if (moveDown) {
        // An unmoved click of the shifting sub-tool changes nothing.
        if (moved) {
            r.action = ZoomRelease::Pan;
            r.endPress = true;
        }
    } else if (zoomDown && button == Qt::LeftButton) {
        r.action = movedBoth ? ZoomRelease::ZoomWindow : ZoomRelease::StepIn;
        r.fine = shift.has(ssShift);
        r.endPress = true;
    } else if (zoomDown && button == Qt::RightButton) {
        r.action = movedBoth ? ZoomRelease::KeepScale : ZoomRelease::StepOut;
        r.fine = shift.has(ssShift);
        r.endPress = true;
    }
    r.cursor10 = zoomDown;
    return r;
}

// ---------------------------------------------------------------------------
// Draw and edit tools

int figureStartKind(DrawKind kind)
{
    switch (kind) {
    case DrawKind::Point: return okPoint;
    case DrawKind::MultiPoint: return 8;
    case DrawKind::PolyLine: return 3;
    case DrawKind::Polygon: return okPolygon;
    case DrawKind::Arc: return okOval;
    case DrawKind::Bizer: return 11;
    default: return -1;
    }
}

DrawPress drawPress(bool cosmeticEnabled, DrawKind kind, TShiftState shift, bool textLayerEditable)
{
    const bool oneClick = kind == DrawKind::Text || kind == DrawKind::Symbol || kind == DrawKind::Point;
    const bool left = shift.has(ssLeft);
    if ((!cosmeticEnabled || !oneClick) && left && !shift.has(ssDouble))
        return DrawPress::Figure;
    if (cosmeticEnabled && left && textLayerEditable) {
        if (kind == DrawKind::Text)
            return DrawPress::Text;
        if (kind == DrawKind::Point || kind == DrawKind::Symbol)
            return DrawPress::PointOrSymbol;
    }
    return DrawPress::None;
}

bool snapApplies(const TSelObject &hit, bool snapPoint, bool snapLine)
{
    return (snapPoint && hit.OnVertex) || (snapLine && hit.OnSegment);
}

int snapCursor(TShiftState shift, bool snapPoint, bool snapLine, const TSelObject &hit, int base)
{
    if (shift.has(ssRight))
        return crHand;
    if ((snapPoint || snapLine) && hit.Hit) {
        if (hit.OnSegment)
            return crPolygonLine;
        if (hit.OnVertex)
            return crPolygonMove;
        return crPolygonEdit;
    }
    return base;
}

bool cadastralVertexLayer(int mapType)
{
    return mapType == 2 || mapType == 3 || mapType == 16;
}

VertexEdit editDoubleClick(const TSelObject &hit, bool pointIns, bool pointDel, bool currentEditable,
                           bool objectLayerEditable, int currentMapType)
{
    const bool insert = pointIns && hit.OnSegment && !hit.OnVertex;
    const bool remove = pointDel && hit.OnVertex;
    if (!currentEditable || !(insert || remove))
        return VertexEdit::None;
    if (cadastralVertexLayer(currentMapType))
        return VertexEdit::Hook;
    // The object hit may lie in another layer than the current one: a locked
    // layer keeps its vertices.
    if (!objectLayerEditable)
        return VertexEdit::None;
    return insert ? VertexEdit::Insert : VertexEdit::Delete;
}

// ---------------------------------------------------------------------------
// Pick and select tools

namespace {

bool sameObject(const TSelObject &a, const TSelObject &b)
{
    return a.Layer == b.Layer && a.Index == b.Index;
}

} // namespace

bool pickPress(TSelObjects &sel, const TSelObject &hit, bool shift)
{
    std::vector<TSelObject> &entries = sel.Entries;
    size_t earlier = entries.size();
    if (hit.Hit && entries.empty())
        sel.FrameMode = 0;
    auto found = std::find_if(entries.begin(), entries.end(), [&](const TSelObject &e) { return sameObject(e, hit); });
    if (shift) {
        if (hit.Hit) {
            if (found != entries.end())
                entries.erase(found);
            else
                entries.push_back(hit);
            sel.PivotX = sel.PivotY = 0;
        }
    } else if (hit.Hit) {
        if (found == entries.end()) {
            entries.assign(1, hit);
            sel.FrameMode = 0;
            earlier = 0;
        } else {
            sel.FrameMode = sel.FrameMode == 0 ? 1 : 0;
        }
    } else {
        entries.clear();
    }
    if (entries.size() != earlier && !entries.empty()) {
        if (entries.size() == 1 && hit.Hit)
            sel.PivotX = sel.PivotY = 0;
        sel.FrameMode = 0;
        return true;
    }
    return false;
}

int handleCursor(int handle, int frameMode, bool ctrl)
{
    if (frameMode == 1) {
        switch (handle) {
        case 1: case 3: case 5: case 7: return crRotate;
        case 2: case 6: return crRotateTop;
        case 4: case 8: return crRotateLeft;
        case 9: return crRotatePivot;
        default: return crPick;
        }
    }
    switch (handle) {
    case 1: case 5: return crSizeNESW;
    case 2: case 6: return crSizeWE;
    case 3: case 7: return crSizeNWSE;
    case 4: case 8: return crSizeNS;
    case 9: return ctrl ? crPickCopy : crSizeAll;
    default: return crPick;
    }
}

PickRelease pickRelease(bool mouseDown, Qt::MouseButton button, TShiftState shift, int dragHandle, bool pickTool,
                        const Drag &drag, int frameMode)
{
    PickRelease r;
    if (!mouseDown)
        return r;
    const bool dbl = shift.has(ssDouble);
    if (button == Qt::LeftButton) {
        if (!dbl && dragHandle == 0)
            r.action = drag.within2() ? PickRelease::Click : PickRelease::Rectangle;
        else if (pickTool && dragHandle > 0 && drag.moved()) {
            if (frameMode == 1 && dragHandle == 9)
                r.action = PickRelease::PivotMoved;
            else
                r.action = shift.has(ssCtrl) ? PickRelease::Copy : PickRelease::Transform;
        }
    } else if (button == Qt::RightButton) {
        r.action = drag.within2() ? PickRelease::Popup : PickRelease::Pan;
    }
    return r;
}

// ---------------------------------------------------------------------------
// Label tool

namespace {

bool sameLabel(const TLabelEntry &a, const TLabelEntry &b)
{
    return a.ObjectNumber == b.ObjectNumber && a.LabelIndex == b.LabelIndex;
}

// Whether the layer takes part in the label search: visible, selectable,
// open and within its scale range.
bool labelLayer(const MapControlCore &map, int layer)
{
    if (layer < 0 || static_cast<size_t>(layer) >= map.Project().Layers.size())
        return false;
    const TMapLayer &L = map.Project().Layers[static_cast<size_t>(layer)];
    if (!L.Visible || !L.Snap || L.Closed)
        return false;
    const double n = map.View().Scale != 0 ? MapControlCore::ScaleToDenominator(map.View().Scale) : 1;
    return !L.ScaleView || (L.ScaleMin <= n && n <= L.ScaleMax);
}

// The whole records of the current layer's ".Lbl" (none when the file is
// missing).
std::vector<TMoveLabel> readLabels(const MapControlCore &map)
{
    const QString name = map.LabelFileName(QStringLiteral(".Lbl"));
    const QString path = name.isEmpty() ? QString() : platform::findExistingPath(name);
    mapdata::BinaryFile file;
    if (path.isEmpty() || !file.open(path))
        return {};
    return lbl::decodeLblRecords(file.readBytes(0, file.size()));
}

} // namespace

void labelPress(TSelLabels &labels, const TLabelEntry &found, bool shift)
{
    labels.Current = found;
    std::vector<TLabelEntry> &list = labels.Entries;
    const bool isLabel = found.ObjectNumber > 0;
    auto at = std::find_if(list.begin(), list.end(), [&](const TLabelEntry &e) { return sameLabel(e, found); });
    if (!shift) {
        if (!isLabel)
            list.clear();
        else if (at == list.end())
            list.assign(1, found);
        // A listed label keeps the list, so that a drag moves every label of it.
    } else if (isLabel) {
        if (at != list.end())
            list.erase(at);
        else
            list.push_back(found);
    }
}

TLabelEntry findLabelAt(MapControlCore &map, int layer, double x, double y)
{
    TLabelEntry r;
    if (!labelLayer(map, layer))
        return r;
    const std::vector<TMoveLabel> labels = readLabels(map);
    for (size_t k = 0; k < labels.size(); ++k) {
        const TMoveLabel &m = labels[k];
        if (m.BoxTopLeft.X <= x && x <= m.BoxBottomRight.X && m.BoxTopLeft.Y <= y && y <= m.BoxBottomRight.Y) {
            r.RecordNumber = static_cast<std::int32_t>(k);
            r.ObjectNumber = m.ObjectNumber;
            r.LabelIndex = m.LabelIndex;
            r.PixelX = m.PixelX;
            r.PixelY = m.PixelY;
        }
    }
    return r;
}

void selectLabelsInRectangle(MapControlCore &map, int layer, TShiftState shift, double x1, double y1, double x2,
                             double y2)
{
    std::vector<TLabelEntry> &list = map.MoveLabels().Entries;
    list.clear();
    const double rx0 = std::min(x1, x2), rx1 = std::max(x1, x2);
    const double ry0 = std::min(y1, y2), ry1 = std::max(y1, y2);
    if (!labelLayer(map, layer) || map.View().UnitsPerPixelX == 0 || map.View().UnitsPerPixelY == 0)
        return;
    const std::vector<TMoveLabel> labels = readLabels(map);
    for (size_t k = 0; k < labels.size(); ++k) {
        const TMoveLabel &m = labels[k];
        TMapPoint a, b;
        const TViewState view = map.View();
        map.LogicalToMap(QPointF(m.BoxTopLeft.X * view.UnitsPerPixelX, -m.BoxBottomRight.Y * view.UnitsPerPixelY), a);
        map.LogicalToMap(QPointF(m.BoxBottomRight.X * view.UnitsPerPixelX, -m.BoxTopLeft.Y * view.UnitsPerPixelY), b);
        const bool inside = std::min(a.X, b.X) >= rx0 && std::max(a.X, b.X) <= rx1 && std::min(a.Y, b.Y) >= ry0 &&
                            std::max(a.Y, b.Y) <= ry1;
        bool touched = false;
        if (!shift.has(ssCtrl) && !inside)
            touched = MapFunctions::SegmentIntersectsRect(rx0, ry0, rx1, ry1, a.X, a.Y, b.X, b.Y);
        if (!touched && !inside)
            continue;
        TLabelEntry e;
        e.RecordNumber = static_cast<std::int32_t>(k);
        e.ObjectNumber = m.ObjectNumber;
        e.LabelIndex = m.LabelIndex;
        if (shift.has(ssShift) &&
            std::any_of(list.begin(), list.end(), [&](const TLabelEntry &t) { return sameLabel(t, e); }))
            continue;
        e.PixelX = m.AnchorX / map.View().UnitsPerPixelX;
        e.PixelY = -m.AnchorY / map.View().UnitsPerPixelY;
        list.push_back(e);
    }
}

} // namespace app::tools
