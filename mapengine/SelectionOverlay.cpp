// Overlays of the selection (the selected objects as dragged, vertex marks,
// rubber rectangle and panned picture, labels being moved) and the drag
// transform that writes a resize, move or rotation to the objects.
//
// An overlay draws on the control's bitmap after restoring it from the back
// buffer, on a fresh canvas as a window's device context would be, and shows
// at once; the next overlay or redraw wipes it.

#include "mapengine/CanvasHelpers.h"
#include "mapengine/EditSupport.h"
#include "mapengine/MapControlCore.h"
#include "mapengine/OverlayCanvas.h"

#include "mapdata/MapFunctions.h"

#include <algorithm>
#include <cmath>

using namespace platform::gdi;
using namespace mapengine::detail;

namespace {

constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kMagenta = rgb(255, 0, 255);
constexpr Color kBlack = rgb(0, 0, 0);
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kSilver = rgb(192, 192, 192);

const Brush kNoBrush{BS_NULL, kWhite, HS_HORIZONTAL};

Rect box(const QPoint &p, int dx, int dy)
{
    return Rect{p.x() - dx, p.y() + dy, p.x() + dx, p.y() - dy};
}

bool isLineType(int t) { return t == 3 || t == 13 || t == 23; }
bool isPolygonType(int t) { return t == 5 || t == 15 || t == 25; }

} // namespace

void MapControlCore::DrawSelectionOverlay(int x, int y, int handle, int highlight)
{
    Canvas &c = beginOverlay(*this);
    const int frame = FSelection.FrameMode;
    const int pressX = static_cast<int>(FPressX), pressY = static_cast<int>(FPressY);
    auto moved = [&](const QPoint &p) {
        if (handle == 0)
            return p;
        const TMapPoint r = TransformDraggedPoints(pressX, pressY, p.x(), p.y(), x, y, handle, true, true, frame);
        return QPoint(nint(r.X), nint(r.Y));
    };
    const Pen outline{PS_SOLID, 50, kBlue};

    // Entries are copied: reading an object does not touch the selection,
    // but the list is walked by index all the same.
    for (size_t r = 0; r < FSelection.Entries.size(); ++r) {
        const TSelObject e = FSelection.Entries[r];
        TShpObject shape;
        // Reading a text/symbol object makes it the template the texts are
        // drawn from (and lays it out on the control's canvas).
        ReadObject(e.Layer, e.Index, shape);
        if (shape.Parts.empty())
            continue;
        setMapMode(c, MM_HIMETRIC);
        const bool hasFirst = !shape.Parts.front().Points.empty();
        const QPoint first = hasFirst ? MapToLogical(shape.Parts.front().Points.front().X,
                                                     shape.Parts.front().Points.front().Y)
                                      : QPoint();
        c.setRop2(R2_COPYPEN);
        setPen(c, Pen{PS_SOLID, 0, kBlack});
        selectBrush(c, kNoBrush);
        if (hasFirst)
            c.rectangle(box(first, 100, 100));
        setPen(c, outline);
        c.setRop2(R2_XORPEN);

        const int t = shape.ShapeType;
        const Brush fill{BS_SOLID, static_cast<int>(r) == highlight ? kMagenta : kBlue, HS_HORIZONTAL};

        // The font of texts and symbols, from the template the read left.
        TMapFont font;
        if (t == okText || t == okSymbol) {
            font.FontName = FTemplate.FontName;
            font.Size = FTemplate.FontSize;
            font.Scale = FTemplate.TextScale;
            font.Color = FTemplate.TextColor;
            font.TextStyle = 0;
            font.Center = static_cast<Byte>(FTemplate.TextAlign & 0xFF);
            font.BrushColor = static_cast<std::int32_t>(kWhite);
            font.BrushStyle = 1;
            font.Rotate = t == okText ? FTemplate.Rotate : 0;
            if (t == okText && frame == 1 && handle >= 1 && handle <= 9)
                font.Rotate = DragRotationAngle(pressX, pressY, FSelection.CenterX, FSelection.CenterY, x, y, handle,
                                                false, FTemplate.Rotate);
        }
        const bool resizing = frame == 0 && handle >= 1 && handle <= 8 && !(t == okText && InformPanel);

        bool firstOfObject = true;
        for (const TShpParts &part : shape.Parts) {
            std::vector<QPoint> points;
            points.reserve(part.Points.size());
            for (const TShpPoint &p : part.Points)
                points.push_back(MapToLogical(p.X, p.Y));
            if (firstOfObject && !points.empty()) {
                c.rectangle(box(points.front(), 100, 100));
                firstOfObject = false;
            }
            std::vector<QPoint> shifted;
            shifted.reserve(points.size());
            for (const QPoint &p : points) {
                switch (t) {
                case okText:
                case okSymbol: {
                    const QPoint q = (frame == 0 && handle == 9) ? moved(p) : p;
                    TMapFont f = font;
                    if (resizing && FUnitsPerPixelX != 0 && FUnitsPerPixelY != 0) {
                        // The size follows the mouse's distance from the anchor.
                        const double ax = p.x() / FUnitsPerPixelX, ay = -p.y() / FUnitsPerPixelY;
                        const double d0 = std::hypot(ax - pressX, ay - pressY);
                        const double d1 = std::hypot(ax - x, ay - y);
                        if (d0 != 0)
                            f.Size = nint(d1 * f.Size / d0);
                    }
                    if (t == okText)
                        DrawRotatedText(c, q.x(), q.y(), 0, f, FTemplate.Text);
                    else
                        DrawFontText(c, q.x(), q.y(), ScaleToDenominator(FScale), f, QString(FTemplate.Symbol));
                    shifted.push_back(q);
                    break;
                }
                case 1:
                case 21:
                    c.ellipse(box(moved(p), 2, 2));
                    shifted.push_back(p);
                    break;
                case 11: {
                    const QPoint q = moved(p);
                    c.ellipse(box(q, 2, 2));
                    shifted.push_back(q);
                    break;
                }
                case 10: {
                    const QPoint q = moved(p);
                    c.moveTo(q.x() - 500, q.y());
                    c.lineTo(q.x() + 500, q.y());
                    c.moveTo(q.x(), q.y() - 500);
                    c.lineTo(q.x(), q.y() + 500);
                    shifted.push_back(q);
                    break;
                }
                default:
                    shifted.push_back(moved(p));
                    break;
                }
            }

            if (t == okOval) {
                if (shifted.size() >= 2) {
                    selectBrush(c, fill);
                    c.ellipse(Rect{shifted.front().x(), shifted.front().y(), shifted.back().x(), shifted.back().y()});
                    selectBrush(c, kNoBrush);
                }
            } else if (isLineType(t)) {
                c.polyline(shifted);
            } else if (isPolygonType(t)) {
                selectBrush(c, fill);
                c.polygon(shifted);
                selectBrush(c, kNoBrush);
            } else if (t == okCurve) {
                DrawVertexBoxes(c, shifted);
                selectBrush(c, kNoBrush);
                setPen(c, outline);
                if (shifted.size() >= 2)
                    DrawBezierLine(c, shifted, 1, outline.width);
            } else if (t == 1 || t == 21) {
                DrawVertexBoxes(c, shifted);
                selectBrush(c, kNoBrush);
                setPen(c, outline);
            } else if (t == 10) {
                const std::vector<QPoint> frameBox = {
                    moved(MapToLogical(shape.XMin, shape.YMin)), moved(MapToLogical(shape.XMin, shape.YMax)),
                    moved(MapToLogical(shape.XMax, shape.YMax)), moved(MapToLogical(shape.XMax, shape.YMin)),
                    moved(MapToLogical(shape.XMin, shape.YMin))};
                c.polyline(frameBox);
            }
        }
    }
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DrawVertexMarks()
{
    // The clean map picture on the control's bitmap.
    FitToSize(ClientWidth(), ClientHeight());

    Metafile marks(screenMetrics());
    marks.setSizeInPixels(ClientWidth(), ClientHeight());
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    {
        MetafileCanvas mc(marks);
        mc.setMapMode(MM_HIMETRIC);
        mc.setPen(Pen{PS_SOLID, 1, kBlue});
        mc.setRop2(R2_COPYPEN);
        mc.setBrush(Brush{BS_SOLID, kWhite, HS_HORIZONTAL});
        const int w = nint(FUnitsPerPixelX), p = nint(FUnitsPerPixelY);
        for (size_t r = 0; r < FSelection.Entries.size(); ++r) {
            const TSelObject e = FSelection.Entries[r];
            TShpObject shape;
            ReadObject(e.Layer, e.Index, shape);
            // An object that could not be read says nothing of the extent.
            if (shape.XMin != 0 || shape.YMin != 0 || shape.XMax != 0 || shape.YMax != 0)
                growBox(minX, minY, maxX, maxY, shape.XMin, shape.YMin, shape.XMax, shape.YMax);
            int position = 0;
            for (const TShpParts &part : shape.Parts) {
                for (size_t k = 0; k < part.Points.size(); ++k, ++position) {
                    const QPoint q = MapToLogical(part.Points[k].X, part.Points[k].Y);
                    if (k > 0)
                        mc.lineTo(q.x(), q.y());
                    if (position == e.VertexIndex)
                        mc.rectangle(box(q, 3 * w, 3 * p));
                    else if (k == 0)
                        mc.rectangle(Rect{q.x() - 2 * w, q.y() + 2 * p, q.x() + 2 * w, q.y() - 60});
                    else
                        mc.rectangle(box(q, 2 * w, 2 * p));
                    mc.moveTo(q.x(), q.y());
                }
            }
        }
        mc.finish();
    }
    TSelObjects &s = FSelection;
    s.MinX = minX;
    s.MinY = minY;
    s.MaxX = maxX;
    s.MaxY = maxY;
    s.CenterX = minX + (maxX - minX) / 2;
    s.CenterY = minY + (maxY - minY) / 2;
    s.PivotX = s.CenterX;
    s.PivotY = s.CenterY;

    Canvas &c = ControlCanvas();
    setMapMode(c, MM_TEXT);
    c.drawMetafile(marks, Rect{0, 0, marks.width(), marks.height()});
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DrawRubberRectangle(int dx, int dy, int mode)
{
    const int w = ClientWidth(), h = ClientHeight();
    if (mode == 1) {
        // The picture follows the mouse; what it leaves uncovered is white.
        Canvas &c = beginOverlay(*this, -dx, -dy);
        if (-dx > 0)
            c.patBlt(0, 0, -dx, h, WHITENESS);
        if (-dy > 0)
            c.patBlt(0, 0, w, -dy, WHITENESS);
        if (-dx < 0)
            c.patBlt(w - dx, 0, dx, h, WHITENESS);
        if (-dy < 0)
            c.patBlt(0, h - dy, w, dy, WHITENESS);
    } else {
        Canvas &c = beginOverlay(*this);
        if (mode == 2) {
            c.setPen(Pen{PS_SOLID, 2, kSilver});
            c.setBrush(kNoBrush);
            c.rectangle(Rect{static_cast<int>(FPressX), static_cast<int>(FPressY), static_cast<int>(FMoveX),
                             static_cast<int>(FMoveY)});
        }
    }
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DrawMovingLabels(int, int, Qt::KeyboardModifiers shift, bool drag)
{
    Canvas &c = beginOverlay(*this);
    setMapMode(c, MM_HIMETRIC);
    const std::vector<TLabelEntry> &list = FMoveLabels.Entries;
    // Several labels turn about the middle of their pixel anchors, as the
    // stored turn does.
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i == 0 || list[i].PixelX < xMin) xMin = list[i].PixelX;
        if (i == 0 || list[i].PixelX > xMax) xMax = list[i].PixelX;
        if (i == 0 || list[i].PixelY < yMin) yMin = list[i].PixelY;
        if (i == 0 || list[i].PixelY > yMax) yMax = list[i].PixelY;
    }
    const QPointF group((xMin + (xMax - xMin) / 2) * FUnitsPerPixelX, -(yMin + (yMax - yMin) / 2) * FUnitsPerPixelY);
    const bool several = list.size() > 1;
    const bool turn = drag && shift.testFlag(Qt::AltModifier);

    for (const TLabelEntry &entry : list) {
        TMoveLabel label;
        if (!ReadLabelRecord(entry.RecordNumber, label) || label.ObjectNumber <= 0)
            continue;
        TMapFont font;
        const bool known = validLayer(label.LayerIndex) && label.LabelIndex >= 0 &&
                           static_cast<size_t>(label.LabelIndex) <
                               FProject.Layers[static_cast<size_t>(label.LayerIndex)].Labels.size();
        if (known) {
            font = FProject.Layers[static_cast<size_t>(label.LayerIndex)]
                       .Labels[static_cast<size_t>(label.LabelIndex)]
                       .Font;
        } else {
            font.BrushColor = static_cast<std::int32_t>(kWhite);
            font.BrushStyle = 1;
            font.TextStyle = 1;
            font.Charset = RUSSIAN_CHARSET;
        }
        if (several) {
            font.BrushColor = static_cast<std::int32_t>(rgb(255, 255, 0));
            font.BrushStyle = 0;
            c.setRop2(R2_MERGEPENNOT);
        }
        font.FontName = label.Font.FontName;
        font.Size = label.Font.Size;
        font.Scale = label.Font.Scale;
        font.Color = label.Font.Color;
        font.Rotate = label.Font.Rotate;

        double ax = label.AnchorX, ay = label.AnchorY;
        if (turn) {
            const QPointF pivot = several ? group : QPointF(ax, ay);
            font.Rotate += MapFunctions::AngleBetweenDirections(FLabelPressY, FLabelPressX, pivot.y(), pivot.x(),
                                                                FLabelMoveY, FLabelMoveX, pivot.y(), pivot.x());
        } else if (drag) {
            ax += FLabelMoveX - FLabelPressX;
            ay += FLabelMoveY - FLabelPressY;
        }
        DrawRotatedText(c, nint(ax), nint(ay), 0, font, label.LabelText);
    }
    PictureBitmap().releaseCanvas();
    repaintNow();
}

void MapControlCore::DragTransformSelection(int x, int y, int handle)
{
    using namespace mapengine::edit;
    const int frame = FSelection.FrameMode;
    const int pressX = static_cast<int>(FPressX), pressY = static_cast<int>(FPressY);
    // Every object turns about the pivot the drag started with; the pivot
    // moves to the last object only when all are done.
    const double pivotX = FSelection.PivotX, pivotY = FSelection.PivotY;
    bool pivotMoved = false;
    double lastPivotX = pivotX, lastPivotY = pivotY;

    for (size_t r = 0; r < FSelection.Entries.size(); ++r) {
        const TSelObject e = FSelection.Entries[r];
        TMapLayer *L = editableLayerAt(*this, e.Layer);
        TMapObject *obj = objectAt(*this, e.Layer, e.Index);
        if (!L || !obj)
            continue;
        // The object as stored, in its layer's own coordinates (reading also
        // makes a text/symbol record the template), and where it is on the map.
        ReadObjectInLayerUnits(e.Layer, e.Index, *obj->Shape);
        TShpObject &shape = *obj->Shape;
        Box mapBox = mapBoxOf(*this, e.Layer, shape);

        if (!shape.Parts.empty()) {
            const int t = shape.ShapeType;
            const bool textLike = t == okSymbol || t == okText;
            std::vector<TShpParts> onMap = shape.Parts;
            {
                LayerUnits units(*this, e.Layer);
                for (TShpParts &part : onMap)
                    for (TShpPoint &p : part.Points)
                        units.convert(p.X, p.Y);
            }
            const bool hasAnchor = !onMap.front().Points.empty();
            const TShpPoint anchor = hasAnchor ? onMap.front().Points.front() : TShpPoint{};
            mapBox = Box{};
            setBox(shape, Box{});

            if (frame == 0 && textLike && handle != 9) {
                // The anchor stays; the size follows the mouse's distance from it.
                if (hasAnchor && FUnitsPerPixelX != 0 && FUnitsPerPixelY != 0) {
                    const QPoint q = MapToLogical(anchor.X, anchor.Y);
                    const double ax = q.x() / FUnitsPerPixelX, ay = -q.y() / FUnitsPerPixelY;
                    const double d0 = std::hypot(ax - pressX, ay - pressY);
                    const double d1 = std::hypot(ax - x, ay - y);
                    if (d0 != 0)
                        FTemplate.FontSize = nint(d1 * FTemplate.FontSize / d0);
                }
            } else if (!(frame == 1 && t == okText)) {
                LayerUnits units(*this, e.Layer);
                for (size_t j = 0; j < onMap.size(); ++j) {
                    for (size_t k = 0; k < onMap[j].Points.size(); ++k) {
                        const TShpPoint &p = onMap[j].Points[k];
                        const TMapPoint m = TransformDraggedPoints(pressX, pressY, p.X, p.Y, x, y, handle, false,
                                                                   false, frame);
                        growBox(mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax, m.X, m.Y);
                        // Only x and y: the third value stays with its point.
                        TShpPoint &stored = shape.Parts[j].Points[k];
                        stored.X = m.X;
                        stored.Y = m.Y;
                        units.convert(stored.X, stored.Y);
                    }
                }
                recomputePointsBox(shape);
            }

            if (textLike) {
                if (frame == 1 && t == okText)
                    FTemplate.Rotate = nint(DragRotationAngle(pressX, pressY, FSelection.CenterX, FSelection.CenterY,
                                                              x, y, handle, false, FTemplate.Rotate));
                if (!shape.Parts.front().Points.empty()) {
                    // The laid-out text at its (new) anchor.
                    double ax = shape.Parts.front().Points.front().X, ay = shape.Parts.front().Points.front().Y;
                    LayerPointToMap(e.Layer, ax, ay);
                    mapBox = Box{};
                    LayoutTextObject(FTemplate, ax, ay, mapBox.XMin, mapBox.YMin, mapBox.XMax, mapBox.YMax);
                    Box stored = mapBox;
                    LayerUnits units(*this, e.Layer);
                    units.convert(stored);
                    setBox(shape, stored);
                }
            }
            lastPivotX = mapBox.XMin + (mapBox.XMax - mapBox.XMin) / 2;
            lastPivotY = mapBox.YMin + (mapBox.YMax - mapBox.YMin) / 2;
            pivotMoved = true;

            // A picture is drawn into the rectangle its control points give.
            if (isImageLayer(*L) && !shape.Parts.front().Points.empty()) {
                fitImageBox(*L, shape);
                mapBox = mapBoxOf(*this, e.Layer, shape);
            }
        }

        if (!shape.Parts.empty()) {
            FSelection.Entries[r].XMin = mapBox.XMin;
            FSelection.Entries[r].YMin = mapBox.YMin;
            FSelection.Entries[r].XMax = mapBox.XMax;
            FSelection.Entries[r].YMax = mapBox.YMax;
        }
        L->ObjectsModified = true;
        obj->Modified = true;
        // A box of zeros says nothing of where the object is.
        if (mapBox.XMin != 0 || mapBox.YMin != 0 || mapBox.XMax != 0 || mapBox.YMax != 0) {
            const TSelObject kept = FSelection.Entries[r];
            takeInBox(*this, e.Layer, e.Index, mapBox);
            if (shape.Parts.empty())
                FSelection.Entries[r] = kept; // its entry keeps the box it had
        }
        journal(*this, e.Layer, e.Index);
    }
    FSelection.PivotX = pivotMoved ? lastPivotX : pivotX;
    FSelection.PivotY = pivotMoved ? lastPivotY : pivotY;
    RecalcSelectionExtent();
}

void MapControlCore::DrawPointMark(double x, double y)
{
    Canvas &c = beginOverlay(*this);
    setMapMode(c, MM_HIMETRIC);
    const QPoint p = MapToLogical(x, y);
    c.setRop2(R2_COPYPEN);
    setPen(c, Pen{PS_SOLID, 20, kBlue});
    selectBrush(c, kNoBrush);
    c.ellipse(box(p, 250, 250));
    setPen(c, Pen{PS_SOLID, 0, kWhite});
    selectBrush(c, Brush{BS_SOLID, kWhite, HS_HORIZONTAL});
    c.ellipse(box(p, 50, 50));
    PictureBitmap().releaseCanvas();
    repaintNow();
}
