#pragma once
// The decisions of the map window's mouse tools, as plain code: which tool
// branches a handler runs, the drag thresholds, what the zoom, draw, pick,
// edit and label tools do with a press, a move, a release or a double click,
// their cursors, the selection and label-list updates of a press, and the
// label search over the ".Lbl" file. The four handlers (FTolvaneMouse.cpp)
// read the window's buttons and switches, call these and carry out the
// answer on the map control.

#include "mapengine/LabelFiles.h"
#include "mapengine/ShiftState.h"

#include "mapdata/MapTypes.h"

#include <cstdint>
#include <vector>

class MapControlCore;

namespace app::tools {

// ---------------------------------------------------------------------------
// Cursor numbers: the tool cursors the map window loads from files, and the
// platform's standard ones.
enum Cursor : int {
    crNone = 0x7fffffff,   // no change
    crZoomIn = 10,
    crZoomOut = 11,
    crHand = 12,
    crInfo = 15,
    crPick = 20,
    crRotate = 21,
    crRotateLeft = 22,
    crRotateTop = 23,
    crRotatePivot = 24,    // no file is loaded under it: the arrow shows
    crPickCopy = 25,
    crPolygon = 30,
    crPolygonLine = 31,
    crPolygonEdit = 32,
    crPolygonMove = 33,
    crNewPoint = 40,
    crArrow = -2,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crHandPoint = -21,
    crSizeAll = -22,
};

// ---------------------------------------------------------------------------
// Dispatch: the branches a handler runs, in the fixed order. The zoom and the
// pick/select branches test the mirrors of the map control (refreshed on
// every move), the others the buttons themselves, so after a change of tool
// without a move two branches may run.
enum class Branch { Label, Draw, Edit, PickSelect, Info, Ruler, Zoom };
enum class Handler { Down, Move, Up, DblClick };

struct ToolStates {
    bool label = false;      // tbLabel down
    bool draw = false;       // pbDraw down
    bool edit = false;       // pbEdit down
    bool pickMirror = false; // PickPanel
    bool selectMirror = false; // SelectPanel
    bool info = false;       // tbInfo down
    bool ruler = false;      // TbLen down
    bool zoomMirror = false; // ZoomPanel
};

std::vector<Branch> branchesFor(Handler handler, const ToolStates &tools);

// ---------------------------------------------------------------------------
// Drag thresholds between the press and the last move (pixels).
struct Drag {
    std::int64_t dx = 0, dy = 0;
    Drag(std::int64_t pressX, std::int64_t pressY, std::int64_t moveX, std::int64_t moveY)
        : dx(moveX - pressX), dy(moveY - pressY) {}
    // Moved at all, in x or in y.
    bool moved() const { return dx != 0 || dy != 0; }
    // Dragged more than 2 pixels in x or in y.
    bool beyond2() const { return dx > 2 || dx < -2 || dy > 2 || dy < -2; }
    // More than 2 pixels in both directions (a rubber band is drawn).
    bool bothBeyond2() const { return (dx > 2 || dx < -2) && (dy > 2 || dy < -2); }
    bool within2() const { return !beyond2(); }
};

// The view centre after a pan from the press to the move pixel.
void panCentre(double &centreX, double &centreY, std::int64_t pressX, std::int64_t pressY, std::int64_t moveX,
               std::int64_t moveY, double unitsPerPixelX, double unitsPerPixelY, double scale);

// ---------------------------------------------------------------------------
// Zoom tool.
// Cursor of a press (crNone when FZoomDown is off).
int zoomPressCursor(bool zoomDown, TShiftState shift);

struct ZoomMove {
    enum Drawing { None, FollowMouse, Rubber } drawing = None;
    int cursor = crNone;
};
ZoomMove zoomMove(bool mouseDown, TShiftState shift, bool differs, bool zoomDown, bool moveDown);

struct ZoomRelease {
    enum Action { None, Pan, ZoomWindow, StepIn, StepOut, KeepScale } action = None;
    bool fine = false;            // Shift: the fine step
    bool endPress = false;        // FMouseDown := false
    bool cursor10 = false;        // the plain cursor assignment of the zoom sub-tool
};
// moved: in x or y; movedBoth: in x and in y.
ZoomRelease zoomRelease(bool mouseDown, Qt::MouseButton button, TShiftState shift, bool moved, bool movedBoth,
                        bool zoomDown, bool moveDown);

// ---------------------------------------------------------------------------
// Draw tool. The drawing kinds in the order of the items of pMenuDraw.
enum class DrawKind { Point, Text, Symbol, Line, MultiPoint, PolyLine, Polygon, Rect, Arc, Bizer };

// The object kind a figure started with that item gets; -1 where the figure
// keeps the kind of the previous one.
int figureStartKind(DrawKind kind);

enum class DrawPress { None, Figure, Text, PointOrSymbol };
// cosmeticEnabled: pbCosmetic enabled; textLayerEditable: the current layer
// is editable and of MapType 8.
DrawPress drawPress(bool cosmeticEnabled, DrawKind kind, TShiftState shift, bool textLayerEditable);

// Whether a snap result moves the point or cursor, by the snap switches.
bool snapApplies(const TSelObject &hit, bool snapPoint, bool snapLine);

// Cursor of the draw (base crNewPoint) and edit (base crPolygon) tools over
// the map after a snap search.
int snapCursor(TShiftState shift, bool snapPoint, bool snapLine, const TSelObject &hit, int base);

// ---------------------------------------------------------------------------
// Pick and select tools.
// Press steps 3 to 6 (a hit or none, with or without Shift); returns whether
// the view is snapshot (the number of entries changed and is not 0).
bool pickPress(TSelObjects &selection, const TSelObject &hit, bool shift);

// The cursor over frame handle 1..9 in frame mode 0 (resize) or 1 (rotate).
int handleCursor(int handle, int frameMode, bool ctrl);

struct PickRelease {
    enum Action { None, Click, Rectangle, PivotMoved, Copy, Transform, Popup, Pan } action = None;
};
PickRelease pickRelease(bool mouseDown, Qt::MouseButton button, TShiftState shift, int dragHandle, bool pickTool,
                        const Drag &drag, int frameMode);

// ---------------------------------------------------------------------------
// Edit tool: what a double click does. objectLayerEditable is the Edited
// switch of the layer of the object hit, which the vertex operations change.
enum class VertexEdit { None, Insert, Delete, Hook };
VertexEdit editDoubleClick(const TSelObject &hit, bool pointIns, bool pointDel, bool currentEditable,
                           bool objectLayerEditable, int currentMapType);

// Whether a layer of that MapType is one of the standard cadastral kinds whose
// vertex edits go to the host hooks.
bool cadastralVertexLayer(int mapType);

// ---------------------------------------------------------------------------
// Label tool: the list of labels to move after a press on `found` (object
// number 0 or less: no label).
void labelPress(TSelLabels &labels, const TLabelEntry &found, bool shift);

// The label of the ".Lbl" file under a pixel point (the last record whose
// pixel box holds it); all zero when none or when the layer does not qualify.
TLabelEntry findLabelAt(MapControlCore &map, int layer, double x, double y);
// The labels of the ".Lbl" file whose boxes lie in, or touch, the rectangle
// of map corners 1 and 2 (Ctrl: only wholly inside); the list of labels to
// move is replaced by them.
void selectLabelsInRectangle(MapControlCore &map, int layer, TShiftState shift, double x1, double y1, double x2,
                             double y2);

} // namespace app::tools
