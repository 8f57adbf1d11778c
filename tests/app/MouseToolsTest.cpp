// The decisions of the mouse tools, without a window: the dispatch over the
// tools, the drag thresholds, the zoom, draw, pick, edit and label tools'
// answers to a press, move, release or double click, the selection and label
// list after a press, and the label search over a ".Lbl" file.

#include "app/MouseTools.h"

#include "mapengine/MapControlCore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace app::tools;

namespace {

TSelObject hitOf(int layer, int index, Byte onVertex = 0, Byte onSegment = 0)
{
    TSelObject h;
    h.Layer = layer;
    h.Index = index;
    h.Hit = 1;
    h.OnVertex = onVertex;
    h.OnSegment = onSegment;
    return h;
}

std::vector<std::pair<int, int>> objects(const TSelObjects &s)
{
    std::vector<std::pair<int, int>> v;
    for (const TSelObject &e : s.Entries)
        v.emplace_back(e.Layer, e.Index);
    return v;
}

TEST(MouseTools, DispatchRunsTheBranchesOfTheToolsDownInTheirOrder)
{
    using B = Branch;
    struct Case {
        const char *what;
        Handler handler;
        ToolStates tools;
        std::vector<Branch> expected;
    } cases[] = {
        {"zoom", Handler::Down, {.zoomMirror = true}, {B::Zoom}},
        {"pick", Handler::Up, {.pickMirror = true}, {B::PickSelect}},
        {"select", Handler::Move, {.selectMirror = true}, {B::PickSelect}},
        {"label", Handler::Down, {.label = true}, {B::Label}},
        // The mirrors follow the buttons only on a move: a tool changed
        // without a move still finds the old one's mirror, after its own.
        {"stale pick mirror", Handler::Down, {.draw = true, .pickMirror = true}, {B::Draw, B::PickSelect}},
        {"stale zoom mirror", Handler::Up, {.ruler = true, .zoomMirror = true}, {B::Ruler, B::Zoom}},
        // A double click concerns only drawing, editing, picking and the ruler.
        {"double click, label", Handler::DblClick, {.label = true}, {}},
        {"double click, info", Handler::DblClick, {.info = true}, {}},
        {"double click, zoom", Handler::DblClick, {.zoomMirror = true}, {}},
        {"double click, edit", Handler::DblClick, {.edit = true}, {B::Edit}},
        {"double click, ruler", Handler::DblClick, {.ruler = true}, {B::Ruler}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(branchesFor(c.handler, c.tools), c.expected);
    }
}

TEST(MouseTools, DragThresholds)
{
    struct Case {
        int dx, dy;
        bool moved, beyond2, both;
    } cases[] = {
        {0, 0, false, false, false}, {1, 0, true, false, false}, {2, -2, true, false, false},
        {3, 0, true, true, false},   {0, -3, true, true, false}, {3, 2, true, true, false},
        {-3, 3, true, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        const Drag d(100, 200, 100 + c.dx, 200 + c.dy);
        EXPECT_EQ(d.moved(), c.moved);
        EXPECT_EQ(d.beyond2(), c.beyond2);
        EXPECT_EQ(d.within2(), !c.beyond2);
        EXPECT_EQ(d.bothBeyond2(), c.both);
    }
}

TEST(MouseTools, PanMovesTheCentreAgainstTheDrag)
{
    double x = 1000, y = 5000;
    // 25 units per pixel at 1:1000 (100 units per metre): a pixel is 0.25 m.
    panCentre(x, y, 100, 100, 140, 80, 25, 25, 100);
    EXPECT_DOUBLE_EQ(x, 1000 - 40 * 0.25);
    EXPECT_DOUBLE_EQ(y, 5000 - 20 * 0.25);
    panCentre(x, y, 0, 0, 10, 10, 25, 25, 0);   // no view: nothing moves
    EXPECT_DOUBLE_EQ(x, 990);
}

TEST(MouseTools, ZoomToolRelease)
{
    using Z = ZoomRelease;
    const TShiftState none, shift(ssShift);
    struct Case {
        const char *what;
        bool mouseDown;
        Qt::MouseButton button;
        TShiftState keys;
        bool moved, both, zoom, move;
        Z::Action action;
        bool fine, endPress, cursor10;
    } cases[] = {
        {"left click", true, Qt::LeftButton, none, false, false, true, false, Z::StepIn, false, true, true},
        {"shift left click", true, Qt::LeftButton, shift, false, false, true, false, Z::StepIn, true, true, true},
        {"left drag along x only", true, Qt::LeftButton, none, true, false, true, false, Z::StepIn, false, true,
         true},
        {"left drag both ways", true, Qt::LeftButton, none, true, true, true, false, Z::ZoomWindow, false, true,
         true},
        {"right click", true, Qt::RightButton, none, false, false, true, false, Z::StepOut, false, true, true},
        {"shift right click", true, Qt::RightButton, shift, false, false, true, false, Z::StepOut, true, true,
         true},
        {"right drag", true, Qt::RightButton, none, true, true, true, false, Z::KeepScale, false, true, true},
        {"middle", true, Qt::MiddleButton, none, true, true, true, false, Z::None, false, false, true},
        {"shifting, moved", true, Qt::RightButton, none, true, false, false, true, Z::Pan, false, true, false},
        {"shifting, unmoved", true, Qt::LeftButton, none, false, false, false, true, Z::None, false, false, false},
        {"no press", false, Qt::LeftButton, none, true, true, true, false, Z::None, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ZoomRelease r = zoomRelease(c.mouseDown, c.button, c.keys, c.moved, c.both, c.zoom, c.move);
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.fine, c.fine);
        EXPECT_EQ(r.endPress, c.endPress);
        EXPECT_EQ(r.cursor10, c.cursor10);
    }
}

TEST(MouseTools, ZoomToolMoveAndCursors)
{
    using M = ZoomMove;
    struct Case {
        const char *what;
        bool mouseDown;
        unsigned shift;
        bool differs, zoom, move;
        M::Drawing drawing;
        int cursor;
    } cases[] = {
        {"left drag", true, ssLeft, true, true, false, M::Rubber, crZoomIn},
        {"right drag", true, ssRight, true, true, false, M::Rubber, crZoomOut},
        {"left drag with Ctrl", true, ssLeft | ssCtrl, true, true, false, M::None, crZoomIn},
        {"two buttons", true, ssLeft | ssRight, true, true, false, M::None, crZoomOut},
        {"at the press", true, ssLeft, false, true, false, M::None, crZoomIn},
        {"hover", false, 0, true, true, false, M::None, crZoomIn},
        {"shifting drag", true, ssRight, true, false, true, M::FollowMouse, crHand},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ZoomMove m = zoomMove(c.mouseDown, TShiftState(c.shift), c.differs, c.zoom, c.move);
        EXPECT_EQ(m.drawing, c.drawing);
        EXPECT_EQ(m.cursor, c.cursor);
    }
    EXPECT_EQ(zoomPressCursor(true, TShiftState(ssLeft)), crZoomIn);
    EXPECT_EQ(zoomPressCursor(true, TShiftState(ssRight)), crZoomOut);
    EXPECT_EQ(zoomPressCursor(false, TShiftState(ssLeft)), crNone);
}

TEST(MouseTools, DrawToolPress)
{
    using K = DrawKind;
    using P = DrawPress;
    struct Case {
        const char *what;
        bool cosmetic;
        K kind;
        unsigned shift;
        bool textLayerEditable;
        P expected;
    } cases[] = {
        {"polygon", true, K::Polygon, ssLeft, true, P::Figure},
        {"polygon, right button", true, K::Polygon, ssRight, true, P::None},
        {"polygon, double-click press", true, K::Polygon, ssLeft | ssDouble, true, P::None},
        {"text on a text layer", true, K::Text, ssLeft, true, P::Text},
        {"text on a locked text layer", true, K::Text, ssLeft, false, P::None},
        {"symbol", true, K::Symbol, ssLeft, true, P::PointOrSymbol},
        {"point", true, K::Point, ssLeft, true, P::PointOrSymbol},
        // On any other layer every kind is digitized by clicks.
        {"text elsewhere", false, K::Text, ssLeft, false, P::Figure},
        {"point elsewhere", false, K::Point, ssLeft, true, P::Figure},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(drawPress(c.cosmetic, c.kind, TShiftState(c.shift), c.textLayerEditable), c.expected);
    }
    const std::pair<K, int> kinds[] = {{K::Point, 1},    {K::Text, -1},     {K::Symbol, -1}, {K::Line, -1},
                                       {K::MultiPoint, 8}, {K::PolyLine, 3}, {K::Polygon, 5}, {K::Rect, -1},
                                       {K::Arc, 7},       {K::Bizer, 11}};
    for (const auto &[kind, object] : kinds)
        EXPECT_EQ(figureStartKind(kind), object) << static_cast<int>(kind);
}

TEST(MouseTools, SnapSwitchesAndCursors)
{
    const TSelObject segment = hitOf(0, 1, 0, 1), vertex = hitOf(0, 1, 1, 0), inside = hitOf(0, 1);
    // With points on and lines off, a segment hit leaves the raw point.
    EXPECT_FALSE(snapApplies(segment, true, false));
    EXPECT_TRUE(snapApplies(segment, false, true));
    EXPECT_TRUE(snapApplies(vertex, true, false));
    EXPECT_FALSE(snapApplies(vertex, false, true));
    EXPECT_FALSE(snapApplies(inside, true, true));

    struct Case {
        const char *what;
        unsigned shift;
        bool snapPoint, snapLine;
        TSelObject hit;
        int base, expected;
    } cases[] = {
        {"over an object, no vertex or segment", 0, true, false, inside, crNewPoint, crPolygonEdit},
        {"on a segment", 0, true, false, segment, crNewPoint, crPolygonLine},
        {"on a vertex", 0, true, false, vertex, crNewPoint, crPolygonMove},
        {"nothing", 0, true, false, TSelObject{}, crNewPoint, crNewPoint},
        {"snapping off", 0, false, false, vertex, crPolygon, crPolygon},
        {"right button", ssRight, true, true, vertex, crPolygon, crHand},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(snapCursor(TShiftState(c.shift), c.snapPoint, c.snapLine, c.hit, c.base), c.expected);
    }
}

TEST(MouseTools, PickPressUpdatesTheSelectionAndItsFrame)
{
    // A click on the object selected alone turns the frame; a second click
    // turns it back.
    TSelObjects s;
    EXPECT_TRUE(pickPress(s, hitOf(1, 4), false));
    EXPECT_EQ(objects(s), (std::vector<std::pair<int, int>>{{1, 4}}));
    EXPECT_EQ(s.FrameMode, 0);
    s.PivotX = 7;
    s.PivotY = 8;
    EXPECT_FALSE(pickPress(s, hitOf(1, 4), false));
    EXPECT_EQ(s.FrameMode, 1);
    EXPECT_FALSE(pickPress(s, hitOf(1, 4), false));
    EXPECT_EQ(s.FrameMode, 0);
    EXPECT_DOUBLE_EQ(s.PivotX, 7);   // the pivot stays while the frame turns

    // Shift adds an object: the frame goes back to resizing.
    pickPress(s, hitOf(1, 4), false);
    ASSERT_EQ(s.FrameMode, 1);
    EXPECT_TRUE(pickPress(s, hitOf(2, 0), true));
    EXPECT_EQ(objects(s), (std::vector<std::pair<int, int>>{{1, 4}, {2, 0}}));
    EXPECT_EQ(s.FrameMode, 0);
    EXPECT_DOUBLE_EQ(s.PivotX, 0);
    // A Shift click on a selected object removes only it and resets the pivot.
    pickPress(s, hitOf(3, 3), true);
    s.PivotX = 5;
    EXPECT_TRUE(pickPress(s, hitOf(2, 0), true));
    EXPECT_EQ(objects(s), (std::vector<std::pair<int, int>>{{1, 4}, {3, 3}}));
    EXPECT_DOUBLE_EQ(s.PivotX, 0);
    // A Shift click on empty map keeps the selection.
    s.PivotX = 5;
    EXPECT_FALSE(pickPress(s, TSelObject{}, true));
    EXPECT_EQ(objects(s), (std::vector<std::pair<int, int>>{{1, 4}, {3, 3}}));
    EXPECT_DOUBLE_EQ(s.PivotX, 5);
    // A click on an object of the selection turns the frame and keeps the rest.
    EXPECT_FALSE(pickPress(s, hitOf(3, 3), false));
    EXPECT_EQ(s.Entries.size(), 2u);
    EXPECT_EQ(s.FrameMode, 1);
    // A click on another object makes it the selection alone; on empty map
    // the selection is emptied.
    EXPECT_TRUE(pickPress(s, hitOf(0, 9), false));
    EXPECT_EQ(objects(s), (std::vector<std::pair<int, int>>{{0, 9}}));
    EXPECT_EQ(s.FrameMode, 0);
    EXPECT_FALSE(pickPress(s, TSelObject{}, false));
    EXPECT_TRUE(s.Entries.empty());
}

TEST(MouseTools, FrameHandleCursors)
{
    struct Case {
        int handle, frame;
        bool ctrl;
        int expected;
    } cases[] = {
        {1, 0, false, crSizeNESW}, {2, 0, false, crSizeWE},    {3, 0, false, crSizeNWSE},   {4, 0, false, crSizeNS},
        {5, 0, false, crSizeNESW}, {6, 0, false, crSizeWE},    {7, 0, false, crSizeNWSE},   {8, 0, false, crSizeNS},
        {9, 0, false, crSizeAll},  {9, 0, true, crPickCopy},   {1, 1, false, crRotate},     {2, 1, false, crRotateTop},
        {3, 1, true, crRotate},    {4, 1, false, crRotateLeft}, {8, 1, false, crRotateLeft}, {9, 1, true, crRotatePivot},
    };
    for (const Case &c : cases)
        EXPECT_EQ(handleCursor(c.handle, c.frame, c.ctrl), c.expected) << c.handle << " in frame " << c.frame;
}

TEST(MouseTools, PickRelease)
{
    using R = PickRelease;
    struct Case {
        const char *what;
        Qt::MouseButton button;
        unsigned shift;
        int handle;
        bool pick;
        int dx, dy, frame;
        R::Action expected;
    } cases[] = {
        {"click", Qt::LeftButton, 0, 0, true, 2, -2, 0, R::Click},
        {"rectangle after 3 x 1 pixels", Qt::LeftButton, 0, 0, true, 3, 1, 0, R::Rectangle},
        {"double-click release", Qt::LeftButton, ssDouble, 0, true, 0, 0, 0, R::None},
        {"frame drag", Qt::LeftButton, 0, 9, true, 1, 0, 0, R::Transform},
        {"frame drag with Ctrl", Qt::LeftButton, ssCtrl, 9, true, 5, 5, 0, R::Copy},
        {"pivot drag", Qt::LeftButton, 0, 9, true, 5, 5, 1, R::PivotMoved},
        {"rotate handle", Qt::LeftButton, 0, 3, true, 5, 5, 1, R::Transform},
        {"handle without a move", Qt::LeftButton, 0, 9, true, 0, 0, 0, R::None},
        {"select tool drag of an object", Qt::LeftButton, 0, 9, false, 5, 5, 0, R::None},
        {"right click", Qt::RightButton, 0, 0, true, 1, 2, 0, R::Popup},
        {"right drag", Qt::RightButton, 0, 0, true, 0, 3, 0, R::Pan},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Drag d(10, 10, 10 + c.dx, 10 + c.dy);
        EXPECT_EQ(pickRelease(true, c.button, TShiftState(c.shift), c.handle, c.pick, d, c.frame).action,
                  c.expected);
    }
    EXPECT_EQ(pickRelease(false, Qt::LeftButton, TShiftState(), 0, true, Drag(0, 0, 0, 0), 0).action, R::None);
}

TEST(MouseTools, EditToolDoubleClick)
{
    using V = VertexEdit;
    const TSelObject segment = hitOf(0, 0, 0, 1), vertex = hitOf(0, 0, 1, 0), inside = hitOf(0, 0);
    struct Case {
        const char *what;
        TSelObject hit;
        bool ins, del, current, objectLayer;
        int mapType;
        V expected;
    } cases[] = {
        {"segment inserts", segment, true, true, true, true, 1, V::Insert},
        {"segment, inserting off", segment, false, true, true, true, 1, V::None},
        {"vertex deletes", vertex, true, true, true, true, 1, V::Delete},
        {"vertex, deleting off", vertex, true, false, true, true, 1, V::None},
        {"inside", inside, true, true, true, true, 1, V::None},
        {"current layer locked", vertex, true, true, false, true, 1, V::None},
        // The object hit may lie in a locked layer under an editable one.
        {"object's layer locked, insert", segment, true, true, true, false, 1, V::None},
        {"object's layer locked, delete", vertex, true, true, true, false, 8, V::None},
        {"cadastral kind", vertex, true, true, true, true, 2, V::Hook},
        {"cadastral kind 16", segment, true, true, true, true, 16, V::Hook},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(editDoubleClick(c.hit, c.ins, c.del, c.current, c.objectLayer, c.mapType), c.expected);
    }
}

TEST(MouseTools, LabelToolPress)
{
    auto label = [](int number, int index) {
        TLabelEntry e;
        e.ObjectNumber = number;
        e.LabelIndex = index;
        e.RecordNumber = number * 10 + index;
        return e;
    };
    auto listed = [](const TSelLabels &l) {
        std::vector<std::pair<int, int>> v;
        for (const TLabelEntry &e : l.Entries)
            v.emplace_back(e.ObjectNumber, e.LabelIndex);
        return v;
    };
    TSelLabels l;
    labelPress(l, label(5, 0), false);
    EXPECT_EQ(listed(l), (std::vector<std::pair<int, int>>{{5, 0}}));
    labelPress(l, label(6, 0), true);
    labelPress(l, label(5, 1), true);   // another label of the same object
    labelPress(l, label(7, 0), true);
    EXPECT_EQ(listed(l), (std::vector<std::pair<int, int>>{{5, 0}, {6, 0}, {5, 1}, {7, 0}}));
    // A press on a listed label keeps the list, so a drag moves them all.
    labelPress(l, label(6, 0), false);
    EXPECT_EQ(l.Entries.size(), 4u);
    EXPECT_EQ(l.Current.ObjectNumber, 6);
    // Shift on a listed label removes only it, the others keep their order.
    labelPress(l, label(6, 0), true);
    EXPECT_EQ(listed(l), (std::vector<std::pair<int, int>>{{5, 0}, {5, 1}, {7, 0}}));
    // Shift beside every label changes nothing; a plain press there empties.
    labelPress(l, TLabelEntry{}, true);
    EXPECT_EQ(l.Entries.size(), 3u);
    labelPress(l, TLabelEntry{}, false);
    EXPECT_TRUE(l.Entries.empty());
    // A plain press on an unlisted label makes it the list alone.
    labelPress(l, label(5, 0), true);
    labelPress(l, label(9, 2), false);
    EXPECT_EQ(listed(l), (std::vector<std::pair<int, int>>{{9, 2}}));
}

// A 200-byte ".Lbl" record: object number at 50, layer and object index at
// 54 and 58, label definition index at 62, the anchor in picture units at 78
// and 86, in pixels at 94 and 102, the pixel box at 110 .. 134.
QByteArray lblRecord(int number, int labelIndex, QPointF anchor, QPointF pixel, QRectF box)
{
    QByteArray b(200, '\0');
    b.replace(0, 5, "Label");
    testsupport::putLE32(b, 50, number);
    testsupport::putLE32(b, 54, 0);
    testsupport::putLE32(b, 58, number - 1);
    testsupport::putLE32(b, 62, labelIndex);
    testsupport::putLEDouble(b, 78, anchor.x());
    testsupport::putLEDouble(b, 86, anchor.y());
    testsupport::putLEDouble(b, 94, pixel.x());
    testsupport::putLEDouble(b, 102, pixel.y());
    testsupport::putLEDouble(b, 110, box.left());
    testsupport::putLEDouble(b, 118, box.top());
    testsupport::putLEDouble(b, 126, box.right());
    testsupport::putLEDouble(b, 134, box.bottom());
    return b;
}

class LabelSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TMapLayer &L = map.Project().Layers.emplace_back();
        L.FileName = QDir(dir.path()).filePath(QStringLiteral("plots.shp"));
        L.Visible = L.Snap = true;
        map.Project().ActiveLayer = 0;
        // 25 units of 0.01 mm per pixel, 1:1000, a picture of 400 x 300 pixels.
        map.SetPictureWidth(10000);
        map.SetPictureHeight(7500);
        map.SetUnitsPerPixel(25, 25);
        map.SetScale(MapControlCore::DenominatorToScale(1000));
        map.SetCentreX(1000);
        map.SetCentreY(5000);
    }
    void writeLabels(const std::vector<QByteArray> &records, const QByteArray &tail = {})
    {
        QFile f(QDir(dir.path()).filePath(QStringLiteral("plots.Lbl")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QByteArray &r : records)
            f.write(r);
        f.write(tail);
    }
    // The picture point of a pixel.
    static QPointF picture(double x, double y) { return QPointF(x * 25, -y * 25); }

    testsupport::TempFolder dir;
    MapControlCore map;
};

TEST_F(LabelSearchTest, TheLaterOfOverlappingLabelsIsFound)
{
    writeLabels({lblRecord(3, 0, picture(50, 60), QPointF(50, 60), QRectF(QPointF(40, 55), QPointF(80, 65))),
                 lblRecord(4, 1, picture(60, 62), QPointF(60, 62), QRectF(QPointF(55, 58), QPointF(90, 70))),
                 lblRecord(5, 0, picture(200, 200), QPointF(200, 200), QRectF(QPointF(190, 195), QPointF(210, 205)))},
                QByteArray(100, '\x7f'));   // a record cut short is no label
    struct Case {
        double x, y;
        int record, number, labelIndex;
        double pixelX;
    } cases[] = {
        {45, 60, 0, 3, 0, 50},   {60, 60, 1, 4, 1, 60},   {80, 65, 1, 4, 1, 60},   // bounds inclusive
        {40, 55, 0, 3, 0, 50},   {100, 100, 0, 0, 0, 0},  {200, 205, 2, 5, 0, 200},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        const TLabelEntry e = findLabelAt(map, 0, c.x, c.y);
        EXPECT_EQ(e.RecordNumber, c.record);
        EXPECT_EQ(e.ObjectNumber, c.number);
        EXPECT_EQ(e.LabelIndex, c.labelIndex);
        EXPECT_DOUBLE_EQ(e.PixelX, c.pixelX);
    }
    // A layer that is hidden, closed, not selectable, outside its scale range
    // or outside the table has no labels.
    auto hides = std::vector<std::function<void(TMapLayer &)>>{
        [](TMapLayer &L) { L.Visible = false; }, [](TMapLayer &L) { L.Snap = false; },
        [](TMapLayer &L) { L.Closed = true; },
        [](TMapLayer &L) { L.ScaleView = true; L.ScaleMin = 2000; L.ScaleMax = 5000; }};
    for (const auto &hide : hides) {
        TMapLayer saved = map.Project().Layers[0];
        hide(map.Project().Layers[0]);
        EXPECT_EQ(findLabelAt(map, 0, 60, 60).ObjectNumber, 0);
        map.Project().Layers[0] = saved;
    }
    EXPECT_EQ(findLabelAt(map, 1, 60, 60).ObjectNumber, 0);
    EXPECT_EQ(findLabelAt(map, 0, 60, 60).ObjectNumber, 4);
}

TEST_F(LabelSearchTest, AMissingLabelFileGivesNoLabel)
{
    EXPECT_EQ(findLabelAt(map, 0, 60, 60).ObjectNumber, 0);
    map.MoveLabels().Entries.resize(2);
    selectLabelsInRectangle(map, 0, TShiftState(), 900, 4900, 1100, 5100);
    EXPECT_TRUE(map.MoveLabels().Entries.empty());
}

TEST_F(LabelSearchTest, LabelsInARectangle)
{
    // Pixels: (x - 1000) * 4 + 200, 150 - (y - 5000) * 4 at the view above.
    writeLabels({lblRecord(3, 0, picture(50, 60), QPointF(50, 60), QRectF(QPointF(40, 55), QPointF(80, 65))),
                 lblRecord(4, 0, picture(100, 100), QPointF(100, 100), QRectF(QPointF(90, 95), QPointF(110, 105))),
                 lblRecord(3, 0, picture(52, 61), QPointF(52, 61), QRectF(QPointF(41, 56), QPointF(81, 66)))});
    auto mapX = [](double px) { return (px - 200) / 4 + 1000; };
    auto mapY = [](double py) { return (150 - py) / 4 + 5000; };
    auto numbers = [&] {
        std::vector<int> v;
        for (const TLabelEntry &e : map.MoveLabels().Entries)
            v.push_back(e.RecordNumber);
        return v;
    };
    // A rectangle over both boxes of the first label and through the second.
    const double x1 = mapX(30), y1 = mapY(50), x2 = mapX(100), y2 = mapY(100);
    selectLabelsInRectangle(map, 0, TShiftState(), x1, y1, x2, y2);
    EXPECT_EQ(numbers(), (std::vector<int>{0, 1, 2}));
    // The anchor of an entry comes from the anchor in picture units.
    EXPECT_DOUBLE_EQ(map.MoveLabels().Entries[1].PixelX, 100);
    EXPECT_DOUBLE_EQ(map.MoveLabels().Entries[1].PixelY, 100);
    // Ctrl: wholly inside only.
    selectLabelsInRectangle(map, 0, TShiftState(ssCtrl), x1, y1, x2, y2);
    EXPECT_EQ(numbers(), (std::vector<int>{0, 2}));
    // Shift: a label met twice in the file is taken once.
    selectLabelsInRectangle(map, 0, TShiftState(ssShift), x2, y2, x1, y1);
    EXPECT_EQ(numbers(), (std::vector<int>{0, 1}));
    // A rectangle that touches no box.
    selectLabelsInRectangle(map, 0, TShiftState(), mapX(300), mapY(300), mapX(350), mapY(280));
    EXPECT_TRUE(numbers().empty());
}

} // namespace
