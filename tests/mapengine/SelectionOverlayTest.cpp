// The overlays of the selection on the control's bitmap, probed by pixel:
// the selected objects in place and while dragged, the highlighted entry,
// the vertex marks, the rubber rectangle and the panned picture.

#include "EngineFixtures.h"

#include "mapengine/ui/MapVyk.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace maptest;

namespace {

// XOR of the blue pen or fill on white paper, and of magenta.
constexpr Color kXorBlue = rgb(255, 255, 0);
constexpr Color kXorMagenta = rgb(0, 255, 0);
constexpr Color kWhite = rgb(255, 255, 255);

QByteArray polygon(double x0, double y0, double x1, double y1)
{
    return fixtures::polyContent(5, {x0, y0, x1, y1}, {0}, ring(x0, y0, x1, y1));
}

Color pixel(EngineProject &p, double x, double y)
{
    return p.map.PictureBitmap().pixel(px(x), py(y));
}

} // namespace

TEST(SelectionOverlay, SelectedObjectsInPlace)
{
    EngineProject p;
    const int parcels =
        p.addLayer(QStringLiteral("parcels"), 5, {polygon(920, 960, 960, 1000), polygon(1000, 960, 1040, 1000)});
    const int roads = p.addLayer(QStringLiteral("roads"), 3,
                                 {fixtures::polyContent(3, {920, 1020, 1060, 1020}, {0}, {{920, 1020}, {1060, 1020}})});
    const int images = p.addLayer(
        QStringLiteral("images"), 10,
        {fixtures::rasterContent(10, {1060, 960, 1080, 980}, "pic.bmp", 0, 200, 200,
                                 {{1060, 980, 0, 0}, {1080, 960, 200, 200}})});
    p.select(parcels, 0);
    p.select(parcels, 1);
    p.select(roads, 0);
    p.select(images, 0);
    p.map.BackBuffer().fill(kWhite);

    p.map.DrawSelectionOverlay(0, 0, 0, 1);
    keepArtefact(p.map.PictureBitmap().image(), QStringLiteral("selection-overlay"));
    // Polygons filled blue by XOR, the highlighted one magenta.
    EXPECT_EQ(pixel(p, 940, 980), kXorBlue);
    EXPECT_EQ(pixel(p, 1020, 980), kXorMagenta);
    // The line 50 units (two pixels) wide.
    EXPECT_EQ(pixel(p, 1000, 1020), kXorBlue);
    EXPECT_EQ(p.map.PictureBitmap().pixel(px(1000), py(1020) - 3), kWhite);
    // The raster: its frame, and a cross of ±500 units (20 pixels) at each
    // control point.
    EXPECT_EQ(pixel(p, 1070, 960), kXorBlue);
    EXPECT_EQ(p.map.PictureBitmap().pixel(px(1060) - 15, py(980)), kXorBlue);
    EXPECT_EQ(p.map.PictureBitmap().pixel(px(1060) - 25, py(980)), kWhite);
    EXPECT_EQ(pixel(p, 1070, 970), kWhite);
    // The ±100 units (4 pixels) square at each object's first point: black,
    // then the XOR pen over it.
    EXPECT_NE(p.map.PictureBitmap().pixel(px(920) - 4, py(960) - 2), kWhite);
    EXPECT_EQ(p.map.PictureBitmap().pixel(px(920) - 6, py(960) - 2), kWhite);
    EXPECT_NE(p.map.PictureBitmap().pixel(px(920) - 2, py(960) + 3), kWhite);
    EXPECT_EQ(p.map.PictureBitmap().pixel(px(920) - 2, py(960) + 6), kWhite);

    // The next overlay wipes this one.
    p.map.ClearSelection();
    p.map.DrawSelectionOverlay(-1);
    EXPECT_EQ(inkBox(p.map.PictureBitmap().image()), QRect());
}

TEST(SelectionOverlay, ObjectsFollowTheDraggedHandle)
{
    EngineProject p;
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5, {polygon(950, 990, 1000, 1020)});
    p.select(parcels, 0);
    p.map.BackBuffer().fill(kWhite);
    // The centre dragged by (+30, -20).
    p.map.Drag().PressX = px(975);
    p.map.Drag().PressY = py(1005);
    p.map.DrawSelectionOverlay(px(1005), py(985), 9, -1);
    EXPECT_EQ(pixel(p, 1020, 980), kXorBlue);
    EXPECT_EQ(pixel(p, 960, 1010), kWhite);
    // The upper right corner dragged out to (1010, 1040).
    p.map.Drag().PressX = px(1000);
    p.map.Drag().PressY = py(1020);
    p.map.DrawSelectionOverlay(px(1010), py(1040), 5, -1);
    EXPECT_EQ(pixel(p, 1005, 1035), kXorBlue);
    EXPECT_EQ(pixel(p, 1015, 1035), kWhite);
    EXPECT_EQ(pixel(p, 960, 1000), kXorBlue);
}

TEST(SelectionOverlay, VertexMarks)
{
    // Pixels of 10 units, so that 60 units differ from two pixels: pixel
    // (x, y) is the map point (960 + x / 10, 1020 - y / 10).
    EngineProject p(DeviceMetrics{1000, 800, 100, 80, 96, 96});
    ASSERT_EQ(p.map.View().UnitsPerPixelX, 10);
    auto X = [](double x) { return static_cast<int>(std::lround((x - 960) * 10)); };
    auto Y = [](double y) { return static_cast<int>(std::lround((1020 - y) * 10)); };
    const int roads = p.addLayer(QStringLiteral("roads"), 3,
                                 {fixtures::polyContent(3, {970, 990, 1030, 1010}, {0, 2},
                                                        {{970, 1000}, {990, 1000}, {1010, 1010}, {1030, 1010}})});
    p.select(roads, 0, 1);
    // An entry whose object cannot be read draws nothing and leaves the
    // extent alone.
    TSelObject gone;
    gone.Layer = 5;
    p.map.Selection().Entries.push_back(gone);
    p.map.Selection().PivotX = 900;
    p.map.Selection().PivotY = 900;
    p.map.DrawVertexMarks();
    const QImage img = p.map.PictureBitmap().image();
    // Boxes are outlined blue and white inside; their right and bottom edges
    // are left out, as rectangles are drawn. Above each vertex's line:
    // the picked vertex, ±3 pixels.
    EXPECT_EQ(inkBox(img, QRect(X(990) - 8, Y(1000) - 8, 17, 8)), QRect(X(990) - 3, Y(1000) - 3, 6, 3));
    EXPECT_EQ(at(img, X(990) + 1, Y(1000) - 1), kWhite);
    // Another vertex, ±2 pixels.
    const QRect last = inkBox(img, QRect(X(1030) - 8, Y(1010) - 8, 17, 17));
    EXPECT_EQ(last.top(), Y(1010) - 2);
    EXPECT_EQ(last.bottom(), Y(1010) + 1);
    EXPECT_EQ(last.right(), X(1030) + 1);
    // The first vertex of each part reaches 60 units (6 pixels) down.
    for (double x : {970.0, 1010.0}) {
        const double y = x == 970 ? 1000 : 1010;
        const QRect first = inkBox(img, QRect(X(x) - 8, Y(y) - 8, 8, 17));
        EXPECT_EQ(first.top(), Y(y) - 2);
        EXPECT_EQ(first.left(), X(x) - 2);
        EXPECT_EQ(first.bottom(), Y(y) + 5);
    }
    // The segments within a part, none between the parts.
    EXPECT_EQ(at(img, X(980), Y(1000)), rgb(0, 0, 255));
    EXPECT_EQ(at(img, X(1020), Y(1010)), rgb(0, 0, 255));
    EXPECT_EQ(at(img, X(1000), Y(1005)), kWhite);
    // The selection's extent from the object's box, the pivot at its centre.
    EXPECT_EQ(p.map.Selection().MinX, 970);
    EXPECT_EQ(p.map.Selection().MaxY, 1010);
    EXPECT_EQ(p.map.Selection().PivotX, 1000);
    EXPECT_EQ(p.map.Selection().PivotY, 1000);
}

TEST(SelectionOverlay, RubberRectangleAndPannedPicture)
{
    EngineProject p;
    p.map.BackBuffer().fill(rgb(255, 0, 0));
    p.map.Drag().PressX = 100;
    p.map.Drag().PressY = 50;
    p.map.Drag().MoveX = 300;
    p.map.Drag().MoveY = 150;
    p.map.DrawRubberRectangle(-200, -100, 2);
    const QImage img = p.map.PictureBitmap().image();
    const Color silver = rgb(192, 192, 192);
    EXPECT_EQ(at(img, 200, 50), silver);
    EXPECT_EQ(at(img, 200, 51), silver);
    EXPECT_EQ(at(img, 100, 100), silver);
    EXPECT_EQ(at(img, 200, 100), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 200, 53), rgb(255, 0, 0));

    // A pan whose current point lies 30 pixels left of and 20 below the press.
    p.map.BackBuffer().canvas().setPen(Pen{PS_NULL, 0, 0});
    p.map.BackBuffer().canvas().setBrush(Brush{BS_SOLID, rgb(0, 0, 255), 0});
    p.map.BackBuffer().canvas().rectangle(Rect{100, 100, 111, 111});
    p.map.BackBuffer().releaseCanvas();
    p.map.DrawRubberRectangle(30, -20, 1);
    const QImage pan = p.map.PictureBitmap().image();
    EXPECT_EQ(colourBox(pan, rgb(0, 0, 255)), QRect(70, 120, 10, 10));
    EXPECT_EQ(colourBox(pan, kWhite), QRect(0, 0, 800, 400) & (QRect(770, 0, 30, 400) | QRect(0, 0, 800, 20)));
    EXPECT_EQ(at(pan, 769, 20), rgb(255, 0, 0));
    EXPECT_EQ(at(pan, 775, 300), kWhite);
    EXPECT_EQ(at(pan, 10, 10), kWhite);
}

namespace {

// A 200-byte ".Lbl" record: text, object number, layer, object and label
// indices, font size, scale and colour, the anchor in picture units and in
// pixels, the box in pixels, rotation and font name.
QByteArray lblRecord(const char *text, std::int32_t objectNumber, double anchorX, double anchorY, double pixelX,
                     double pixelY)
{
    QByteArray r(200, '\0');
    for (int i = 0; text[i]; ++i)
        r[i] = text[i];
    testsupport::putLE32(r, 50, objectNumber);
    testsupport::putLE32(r, 54, 0);
    testsupport::putLE32(r, 58, 0);
    testsupport::putLE32(r, 62, 0);
    testsupport::putLE32(r, 66, 14);
    testsupport::putLE32(r, 70, 0);
    testsupport::putLE32(r, 74, 0);
    testsupport::putLEDouble(r, 78, anchorX);
    testsupport::putLEDouble(r, 86, anchorY);
    testsupport::putLEDouble(r, 94, pixelX);
    testsupport::putLEDouble(r, 102, pixelY);
    testsupport::putLEDouble(r, 142, 0);
    const char font[] = "Arial";
    for (int i = 0; font[i]; ++i)
        r[150 + i] = font[i];
    return r;
}

TLabelEntry labelEntry(std::int32_t record, double pixelX, double pixelY)
{
    TLabelEntry e;
    e.RecordNumber = record;
    e.ObjectNumber = record + 1;
    e.PixelX = pixelX;
    e.PixelY = pixelY;
    return e;
}

} // namespace

TEST(SelectionOverlay, MovingLabels)
{
    EngineProject p;
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5, {polygon(950, 990, 1000, 1020)});
    p.map.Project().ActiveLayer = parcels;
    TMapLabel def;
    def.Font.BrushStyle = 1;
    def.Font.BrushColor = static_cast<std::int32_t>(kWhite);
    p.layer(parcels).Labels.push_back(def);
    // Labels at pixels (200, 200) and (600, 200); a third with no object number.
    p.dir.write(QStringLiteral("parcels.Lbl"), lblRecord("HHHH", 1, 200 * 25, -200 * 25, 200, 200) +
                                                  lblRecord("HHHH", 2, 600 * 25, -200 * 25, 600, 200) +
                                                  lblRecord("HHHH", 0, 400 * 25, -100 * 25, 400, 100));
    p.map.BackBuffer().fill(kWhite);
    const Color black = rgb(0, 0, 0);
    const QRect left(100, 100, 200, 200), right(500, 100, 200, 200);
    auto inkIn = [&](const QRect &area) {
        const QRect ink = colourBox(p.map.PictureBitmap().image().copy(area), black);
        return ink.isNull() ? ink : ink.translated(area.topLeft());
    };

    // One label where it is; then dragged by (+30, +20) pixels.
    p.map.MoveLabels().Entries = {labelEntry(0, 200, 200)};
    p.map.DrawMovingLabels(0, 0, {}, false);
    const QRect still = inkIn(left);
    ASSERT_FALSE(still.isNull());
    EXPECT_GT(still.width(), still.height());
    p.map.Drag().LabelPressX = 200 * 25;
    p.map.Drag().LabelPressY = -200 * 25;
    p.map.Drag().LabelMoveX = 230 * 25;
    p.map.Drag().LabelMoveY = -220 * 25;
    p.map.DrawMovingLabels(0, 0, {}, true);
    EXPECT_EQ(inkIn(QRect(100, 100, 250, 250)), still.translated(30, 20));

    // Alt turns it about its anchor: a quarter turn stands it upright.
    p.map.Drag().LabelPressX = 300 * 25;
    p.map.Drag().LabelPressY = -200 * 25;
    p.map.Drag().LabelMoveX = 200 * 25;
    p.map.Drag().LabelMoveY = -100 * 25;
    p.map.DrawMovingLabels(0, 0, Qt::AltModifier, true);
    QRect turned = inkIn(left);
    EXPECT_GT(turned.height(), turned.width());

    // Several labels, on yellow, turn about the middle of their anchors,
    // (400, 200): a drag from just east of it to just north of it stands
    // both upright, where about their own anchors it would turn them by
    // about 6 degrees.
    p.map.MoveLabels().Entries = {labelEntry(0, 200, 200), labelEntry(1, 600, 200), labelEntry(2, 400, 200),
                                 labelEntry(9, 400, 200)};
    p.map.Drag().LabelPressX = 420 * 25;
    p.map.Drag().LabelPressY = -200 * 25;
    p.map.Drag().LabelMoveX = 400 * 25;
    p.map.Drag().LabelMoveY = -180 * 25;
    p.map.DrawMovingLabels(0, 0, Qt::AltModifier, true);
    turned = inkIn(left);
    const QRect other = inkIn(right);
    EXPECT_GT(turned.height(), turned.width());
    EXPECT_GT(other.height(), other.width());
    EXPECT_FALSE(colourBox(p.map.PictureBitmap().image(), rgb(255, 255, 0)).isNull());
    // The label without an object number and the one past the file's end
    // are passed over.
    EXPECT_EQ(inkIn(QRect(350, 0, 100, 150)), QRect());
}

TEST(SelectionOverlay, TheControlShowsAnOverlayAtOnce)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    QWidget parent;
    parent.resize(200, 100);
    TMapVyk map(&parent);
    map.FitToParent();
    map.BackBuffer().setSize(200, 100);
    map.BackBuffer().fill(rgb(255, 0, 0));
    map.Drag().PressX = 20;
    map.Drag().PressY = 20;
    map.Drag().MoveX = 120;
    map.Drag().MoveY = 70;
    map.DrawRubberRectangle(-100, -50, 2);
    const QImage shown = map.grab().toImage();
    EXPECT_EQ(fromPixel(shown.pixel(60, 20)), rgb(192, 192, 192));
    EXPECT_EQ(fromPixel(shown.pixel(60, 40)), rgb(255, 0, 0));
}
