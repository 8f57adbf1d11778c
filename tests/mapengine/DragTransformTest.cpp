// The drag transform of the selection over layers in a work folder: resizing
// by a corner (polygon points, text size), turning in the rotate frame
// (points about the pivot, texts by the turn about the centre), moving, the
// raster fit, skipped and empty objects, and a layer with a projection.

#include "EngineFixtures.h"

#include "geodesy/LayerProjection.h"
#include "mapdata/MapFunctions.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace maptest;
using fixtures::Pt;

namespace {

fixtures::TextFields textFields(std::int32_t kind, const char *text, std::int32_t rotate = 0)
{
    fixtures::TextFields f;
    f.kind = kind;
    f.text = platform::toCp1251(QString::fromUtf8(text));
    f.fontName = "Arial";
    f.fontSize = 12;
    f.rotate = rotate;
    f.symbol = 'l';
    f.textAlign = 0;
    f.box = {990, 990, 1010, 1010};
    return f;
}

QByteArray text(std::int32_t kind, const char *value, double x, double y, std::int32_t rotate = 0)
{
    return fixtures::textContent(textFields(kind, value, rotate), {0}, {{x, y}});
}

QByteArray polygon(double x0, double y0, double x1, double y1)
{
    return fixtures::polyContent(5, {x0, y0, x1, y1}, {0}, ring(x0, y0, x1, y1));
}

QByteArray line(std::vector<Pt> points)
{
    double x0 = points[0].x, y0 = points[0].y, x1 = x0, y1 = y0;
    for (const Pt &p : points) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return fixtures::polyContent(3, {x0, y0, x1, y1}, {0}, points);
}

std::vector<std::pair<double, double>> pointsOf(const TShpObject &s)
{
    std::vector<std::pair<double, double>> out;
    for (const TShpParts &part : s.Parts)
        for (const TShpPoint &p : part.Points)
            out.emplace_back(p.X, p.Y);
    return out;
}

using Points = std::vector<std::pair<double, double>>;

} // namespace

TEST(DragTransform, ACornerResizesPolygonsAndTextSizes)
{
    EngineProject p;
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5, {polygon(950, 990, 1050, 1040)});
    const int texts = p.addLayer(QStringLiteral("texts"), 8, {text(okText, "Тест", 1000, 1000)});
    p.select(parcels, 0);
    p.select(texts, 0);
    ASSERT_EQ(p.map.Selection().MaxX, 1050);
    ASSERT_EQ(p.map.Selection().MaxY, 1040);

    // Handle 5, the upper right corner, dragged by (+10, +5).
    p.map.Drag().PressX = px(1050);
    p.map.Drag().PressY = py(1040);
    p.map.DragTransformSelection(px(1060), py(1045), 5);

    // The polygon scales about the lower left corner.
    TShpObject shape;
    p.map.ReadObject(parcels, 0, shape);
    EXPECT_EQ(pointsOf(shape), (Points{{950, 990}, {950, 1045}, {1060, 1045}, {1060, 990}, {950, 990}}));
    const QByteArray poly = p.journalContent(parcels, 0);
    ASSERT_EQ(poly.size(), 44 + 4 + 5 * 16);
    EXPECT_EQ(le32(poly, 0), 5);
    EXPECT_EQ(leDouble(poly, 4), 950);
    EXPECT_EQ(leDouble(poly, 12), 990);
    EXPECT_EQ(leDouble(poly, 20), 1060);
    EXPECT_EQ(leDouble(poly, 28), 1045);
    EXPECT_EQ(leDouble(poly, 48 + 2 * 16), 1060);
    EXPECT_EQ(leDouble(poly, 48 + 2 * 16 + 8), 1045);
    const TSelObject &a = p.map.Selection().Entries[0];
    EXPECT_EQ(a.XMax, 1060);
    EXPECT_EQ(a.YMax, 1045);

    // The text keeps its anchor and grows by the distances of the mouse from
    // it: (400, 200) is 256.1 pixels from the press, 300 from the release.
    const QByteArray head = p.journalContent(texts, 0);
    ASSERT_GE(head.size(), 432 + 4 + 24);
    EXPECT_EQ(le32(head, 274), 14);
    EXPECT_EQ(le32(head, 280), 0);
    EXPECT_EQ(leDouble(head, 436), 1000);
    EXPECT_EQ(leDouble(head, 444), 1000);
    // Its box is the laid-out text at the new size, in the record and the
    // selection alike.
    p.map.ReadObject(texts, 0, shape);
    EXPECT_EQ(p.map.Template().FontSize, 14);
    const TSelObject &b = p.map.Selection().Entries[1];
    EXPECT_DOUBLE_EQ(b.XMin, shape.XMin);
    EXPECT_DOUBLE_EQ(b.YMax, shape.YMax);
    EXPECT_DOUBLE_EQ(leDouble(head, 360), shape.XMin);
    EXPECT_DOUBLE_EQ(leDouble(head, 384), shape.YMax);
    TShpObject smaller;
    TTextRecord twelve = p.map.Template();
    twelve.FontSize = 12;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    p.map.LayoutTextObject(twelve, 1000, 1000, x0, y0, x1, y1);
    EXPECT_GT(b.XMax - b.XMin, x1 - x0);

    // Flags, blocks, and the pivot in the middle of the last object's box.
    EXPECT_TRUE(p.layer(parcels).ObjectsModified);
    EXPECT_TRUE(p.object(parcels, 0).Modified);
    EXPECT_TRUE(p.object(texts, 0).Modified);
    const TBlockExtent &block = p.layer(parcels).Blocks[0];
    EXPECT_EQ(block.XMax, 1060);
    EXPECT_EQ(block.YMax, 1045);
    EXPECT_EQ(block.XMin, 950);
    EXPECT_DOUBLE_EQ(p.map.Selection().PivotX, b.XMin + (b.XMax - b.XMin) / 2);
    EXPECT_DOUBLE_EQ(p.map.Selection().PivotY, b.YMin + (b.YMax - b.YMin) / 2);
    EXPECT_EQ(p.map.Selection().MaxX, 1060);

    // The journal takes it back.
    p.map.UndoEdit();
    p.map.UndoEdit();
    p.map.ReadObject(parcels, 0, shape);
    EXPECT_EQ(shape.XMax, 1050);
}

TEST(DragTransform, TheRotateFrameTurnsPointsAboutThePivotAndTextsByTheirCorner)
{
    struct Case {
        const char *name;
        int handle;
        bool pivotAtCentre;
    };
    const Case cases[] = {
        {"corner, pivot at the centre", 5, true},
        {"corner, pivot moved", 3, false},
        {"side", 2, true},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        EngineProject p;
        const int lines = p.addLayer(QStringLiteral("lines"), 3, {line({{1000, 1000}, {1010, 1000}})});
        const int texts = p.addLayer(QStringLiteral("texts"), 8,
                                     {text(okText, "Надпись", 995, 995, 30), text(okSymbol, "", 1005, 1000)});
        const QByteArray before = p.dir.read(QStringLiteral("texts.shp"));
        p.select(lines, 0);
        p.select(texts, 0);
        p.select(texts, 1);
        TSelObjects &s = p.map.Selection();
        s.FrameMode = 1;
        if (k.pivotAtCentre) {
            // A centre at (1000, 1000): the turn is the same about both.
            s.MinX = 990;
            s.MaxX = 1010;
            s.MinY = 990;
            s.MaxY = 1010;
            s.CenterX = s.CenterY = 1000;
        }
        s.PivotX = s.PivotY = 1000;
        const double cx = s.CenterX, cy = s.CenterY;
        // A quarter turn counter-clockwise about the pivot.
        p.map.Drag().PressX = px(1010);
        p.map.Drag().PressY = py(1010);
        p.map.DragTransformSelection(px(990), py(1010), k.handle);

        // The line turns about the pivot; then the symbol, about the same
        // pivot although the line's new box has its middle elsewhere.
        TShpObject shape;
        p.map.ReadObject(lines, 0, shape);
        EXPECT_EQ(pointsOf(shape), (Points{{1000, 1000}, {1000, 1010}}));
        p.map.ReadObject(texts, 1, shape);
        EXPECT_EQ(pointsOf(shape), (Points{{1000, 1005}}));

        // The text keeps its anchor, to the bit.
        const QByteArray head = p.journalContent(texts, 0);
        EXPECT_EQ(head.mid(436, 16), before.mid(100 + 8 + 436, 16));
        if (k.handle == 2) {
            // A side handle turns no text: it keeps its rotation.
            EXPECT_EQ(le32(head, 280), 30);
        } else {
            // A corner turns it by the turn measured about the selection's
            // centre, which differs from the pivot's once the pivot was moved.
            const double turn = MapFunctions::AngleBetweenDirections(cx, cy, 1010, 1010, cx, cy, 990, 1010);
            EXPECT_EQ(le32(head, 280), platform::roundToInt(30 - turn));
            if (k.pivotAtCentre)
                EXPECT_EQ(le32(head, 280), -60);
            else
                EXPECT_NE(le32(head, 280), -60);
        }
        // The pivot ends in the middle of the last object's box.
        const TSelObject &last = s.Entries[2];
        EXPECT_DOUBLE_EQ(s.PivotX, last.XMin + (last.XMax - last.XMin) / 2);
        EXPECT_DOUBLE_EQ(s.PivotY, last.YMin + (last.YMax - last.YMin) / 2);
    }
}

TEST(DragTransform, LockedEmptyAndRasterObjects)
{
    EngineProject p;
    const int lines = p.addLayer(QStringLiteral("lines"), 3, {line({{960, 1000}, {970, 1010}})});
    p.layer(lines).Edited = false;
    fixtures::TextFields empty = textFields(okLine, "");
    empty.box = {960, 960, 970, 970};
    const int texts = p.addLayer(QStringLiteral("texts"), 8, {fixtures::textContent(empty, {}, {})});
    // A picture of 200 × 50 pixels whose control points give 0.1 map units a
    // pixel both ways.
    const int images = p.addLayer(
        QStringLiteral("images"), 10,
        {fixtures::rasterContent(10, {1000, 995, 1020, 1000}, "pic.bmp", 0, 200, 50,
                                 {{1000, 1000, 0, 0}, {1010, 1000, 100, 0}, {1010, 995, 100, 50}})});
    ASSERT_EQ(p.layer(images).ObjType, otImages);
    p.select(lines, 0);
    p.select(texts, 0);
    p.select(images, 0);
    const TSelObject emptyEntry = p.map.Selection().Entries[1];
    p.layer(texts).Blocks[0] = TBlockExtent{};

    // Handle 9 moves everything by (+10, +5).
    p.map.Drag().PressX = px(1000);
    p.map.Drag().PressY = py(1000);
    p.map.DragTransformSelection(px(1010), py(1005), 9);

    // Not editable: untouched.
    EXPECT_EQ(p.object(lines, 0).JrnOffset, 0);
    EXPECT_FALSE(p.object(lines, 0).Modified);
    EXPECT_FALSE(p.layer(lines).ObjectsModified);
    // No parts: journalled, its block takes in its box, its entry as it was.
    EXPECT_NE(p.object(texts, 0).JrnOffset, 0);
    EXPECT_TRUE(p.object(texts, 0).Modified);
    const TBlockExtent &block = p.layer(texts).Blocks[0];
    EXPECT_EQ(block.XMin, 960);
    EXPECT_EQ(block.YMax, 970);
    EXPECT_EQ(p.map.Selection().Entries[1].XMin, emptyEntry.XMin);
    // The picture lies where its moved control points put it: 200 pixels
    // wide, though the points span only 100.
    const TSelObject &image = p.map.Selection().Entries[2];
    EXPECT_DOUBLE_EQ(image.XMin, 1010);
    EXPECT_DOUBLE_EQ(image.YMin, 1000);
    EXPECT_DOUBLE_EQ(image.XMax, 1030);
    EXPECT_DOUBLE_EQ(image.YMax, 1005);
    const QByteArray rec = p.journalContent(images, 0);
    ASSERT_EQ(rec.size(), 282 + 3 * 24);
    EXPECT_EQ(leDouble(rec, 4), 1010);
    EXPECT_EQ(leDouble(rec, 20), 1030);
    // Control points moved, each with its own pixel.
    EXPECT_EQ(leDouble(rec, 282 + 24), 1020);
    EXPECT_EQ(leDouble(rec, 282 + 24 + 8), 1005);
    EXPECT_EQ(le32(rec, 282 + 24 + 16), 100);
    EXPECT_EQ(le32(rec, 282 + 48 + 20), 50);
    // The pivot: the middle of the points' box, taken before the fit.
    EXPECT_DOUBLE_EQ(p.map.Selection().PivotX, 1015);
    EXPECT_DOUBLE_EQ(p.map.Selection().PivotY, 1002.5);
}

TEST(DragTransform, ALayerWithAProjectionKeepsItsOwnCoordinates)
{
    EngineProject p;
    geodesy::LayerProjectionLibrary library;
    p.map.setProjectionLibrary(&library);
    // Stored in degrees, shown projected.
    const int geo = p.addLayer(QStringLiteral("geo"), 3, {line({{30.5, 50.4}, {30.501, 50.401}})});
    const int texts = p.addLayer(QStringLiteral("labels"), 8, {text(okText, "A", 30.5005, 50.4005, 10)});
    for (int l : {geo, texts}) {
        p.layer(l).VykProject = true;
        p.layer(l).StrProject = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000 +units=m");
    }
    TShpObject before;
    p.map.ReadObject(geo, 0, before);
    ASSERT_GT(before.Parts[0].Points[0].X, 6000000);
    // The view centred on the line's first point.
    const double cx = before.Parts[0].Points[0].X, cy = before.Parts[0].Points[0].Y;
    p.map.SetCentreX(cx);
    p.map.SetCentreY(cy);
    auto pixelX = [&](double x) { return static_cast<int>(std::lround(((x - cx) * 100 + 10000) / 25)); };
    auto pixelY = [&](double y) { return static_cast<int>(std::lround(-((y - cy) * 100 - 5000) / 25)); };
    p.select(geo, 0);

    // Moved by (+10, +5) metres.
    p.map.Drag().PressX = pixelX(cx);
    p.map.Drag().PressY = pixelY(cy);
    p.map.DragTransformSelection(pixelX(cx + 10), pixelY(cy + 5), 9);

    TShpObject after;
    p.map.ReadObject(geo, 0, after);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_NEAR(after.Parts[0].Points[k].X, before.Parts[0].Points[k].X + 10, 0.002);
        EXPECT_NEAR(after.Parts[0].Points[k].Y, before.Parts[0].Points[k].Y + 5, 0.002);
    }
    // The journal holds degrees.
    const QByteArray rec = p.journalContent(geo, 0);
    EXPECT_NEAR(leDouble(rec, 48), 30.5, 0.001);
    EXPECT_NEAR(leDouble(rec, 56), 50.4, 0.001);
    EXPECT_NE(leDouble(rec, 48), 30.5);

    // A text turned in the rotate frame keeps its stored anchor to the bit.
    const QByteArray storedText = p.dir.read(QStringLiteral("labels.shp"));
    p.map.ClearSelection();
    p.select(texts, 0);
    p.map.Selection().FrameMode = 1;
    p.map.Drag().PressX = pixelX(cx + 10);
    p.map.Drag().PressY = pixelY(cy + 10);
    p.map.DragTransformSelection(pixelX(cx - 10), pixelY(cy + 10), 5);
    const QByteArray head = p.journalContent(texts, 0);
    EXPECT_EQ(head.mid(436, 16), storedText.mid(100 + 8 + 436, 16));
    EXPECT_NE(le32(head, 280), 10);
    // Its box is stored in degrees too.
    EXPECT_LT(std::abs(leDouble(head, 360)), 60);
}
