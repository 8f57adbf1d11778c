// The map picture of real layers drawn by the render job and probed pixel
// by pixel: layer order, fill patterns, line patterns, point symbols, and a
// report picture wider than the control.

#include "RenderFixtures.h"

#include "platform/gdi/Metafile.h"

#include <QFile>

using namespace rendertest;
using namespace platform::gdi;

// ---- pictures of real layers ----

class RenderPictureTest : public RenderTest {};

TEST_F(RenderPictureTest, TheFirstRowLiesOnTopAndLabelsAboveAll)
{
    RecordingRenderers r;
    // Added first: the top row, red. Below it a blue polygon with a label
    // at its middle, inside the red one.
    const int top = addLayer(QStringLiteral("top"), 5, {polyRings(5, {square(990, 4990, 1010, 5010)})});
    const QByteArray table = dbfTable({{QStringLiteral("NAME"), 'C', 10}}, {{QStringLiteral("WWWW")}});
    const int lower = addLayer(QStringLiteral("lower"), 5, {polyRings(5, {square(996, 4996, 1020, 5020)})}, table);
    for (const int l : {top, lower}) {
        layer(l).BrushType = 1;
        layer(l).PenStyle = 0;
    }
    layer(top).BrushColor = 0x0000FF;
    layer(lower).BrushColor = 0xFF0000;
    TMapLabel name;
    name.Visible = true;
    name.FieldName = QStringLiteral("NAME");
    name.Font.FontName = QStringLiteral("Arial");
    name.Font.Size = 20;
    name.Font.Color = 0;
    layer(lower).Labels = {name};
    w().RedrawMap();
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1000, 5000))), qRgb(255, 0, 0));
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1015, 5015))), qRgb(0, 0, 255));
    // The label's dark pixels lie on the red of the upper layer.
    int dark = 0;
    const QPoint centre = pixelOf(at(1008, 5008));
    for (int dx = -20; dx <= 20; ++dx)
        for (int dy = -10; dy <= 10; ++dy)
            dark += qGray(pixelAt(map(), centre + QPoint(dx, dy))) < 40 ? 1 : 0;
    EXPECT_GT(dark, 20);
}

TEST_F(RenderPictureTest, FillPatternTilesOnlyWholeStrokesInsideThePolygon)
{
    RecordingRenderers r;
    // Pattern 8: a red square of 1 mm in the middle of a 4 mm cell.
    r.services.FFillStyles =
        library(9, 8, pattern(vkFill, 400, 400,
                              {stroke(vsRectangle, {{-50, -50}, {50, 50}}, 0x0000FF, 0, 0x0000FF)}));
    // 20 × 20 map units: 80 pixels, cells of 16.
    const int l = addLayer(QStringLiteral("garden"), 5, {polyRings(5, {square(990, 4990, 1010, 5010)})});
    layer(l).BrushType = 8;
    layer(l).PenStyle = 0;
    w().RedrawMap();
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
    // Cells are laid from the polygon's upper-left corner; those on its
    // edges would be cut and are left out, the inner ones are whole.
    const QPoint corner = pixelOf(at(990, 5010));
    int whole = 0;
    for (int i = 0; i <= 5; ++i) {
        for (int j = 0; j <= 5; ++j) {
            const QPoint c = corner + QPoint(16 * i, 16 * j);
            const bool inner = i >= 1 && i <= 4 && j >= 1 && j <= 4;
            EXPECT_EQ(pixelAt(map(), c), inner ? red : white) << i << "," << j;
            if (inner && pixelAt(map(), c + QPoint(1, 1)) == red && pixelAt(map(), c - QPoint(1, 1)) == red)
                ++whole;
        }
    }
    EXPECT_EQ(whole, 16);
    // Nothing of a cut stroke along the edges.
    for (int k = 0; k <= 80; ++k) {
        EXPECT_EQ(pixelAt(map(), corner + QPoint(k, 1)), white) << k;
        EXPECT_EQ(pixelAt(map(), corner + QPoint(1, k)), white) << k;
    }
}

TEST_F(RenderPictureTest, LinePatternCarriesAcrossVertices)
{
    RecordingRenderers r;
    // Pattern 2: a dash over the first half of a 4 mm cell.
    r.services.FLineStyles = library(3, 2, pattern(vkLine, 400, 100, {stroke(vsPolyline, {{-200, 0}, {0, 0}})}));
    // 5 map units east (20 pixels), then 10 north: the second copy on the
    // first leg is cut at the corner and its rest begins the second leg.
    const std::vector<QPointF> lShape = {{990, 5000}, {995, 5000}, {995, 5010}};
    const int whole = addLayer(QStringLiteral("whole"), 3, {polyRings(3, {lShape})});
    const int legs = addLayer(QStringLiteral("legs"), 3,
                              {polyRings(3, {{lShape[0], lShape[1]}}), polyRings(3, {{lShape[1], lShape[2]}})});
    for (const int l : {whole, legs}) {
        layer(l).PenStyle = 2;
        layer(l).PenWidth = 0;
        layer(l).PenColor = 0;
    }
    auto inkUp = [&](int layerShown) {
        for (const int l : {whole, legs})
            layer(l).Visible = l == layerShown;
        w().RedrawMap();
        // Pixels along the second leg, from the corner up.
        std::vector<bool> ink;
        const QPoint corner = pixelOf(at(995, 5000));
        for (int k = 1; k <= 36; ++k)
            ink.push_back(qGray(pixelAt(map(), corner - QPoint(0, k))) < 128);
        return ink;
    };
    const std::vector<bool> carried = inkUp(whole);
    const std::vector<bool> fresh = inkUp(legs);
    // One call per part, with all its vertices.
    EXPECT_EQ(r.callsOf(QStringLiteral("line")).front().points.size(), 3u);
    // The cut dash goes on 1 mm (4 pixels) past the corner, then a gap.
    EXPECT_TRUE(carried[1]);
    EXPECT_FALSE(carried[8]);
    // Drawn leg by leg, the second leg starts a dash of its own (2 mm).
    EXPECT_TRUE(fresh[5]);
    EXPECT_NE(carried, fresh);
}

TEST_F(RenderPictureTest, PointSymbolsAreStampedAtThePoints)
{
    RecordingRenderers r;
    // Symbol 1: a filled red square of 2 mm.
    r.services.FPointStyles =
        library(2, 1, pattern(vkSymbol, 200, 200, {stroke(vsRectangle, {{-100, -100}, {100, 100}}, 0x0000FF, 0, 0x0000FF)}));
    const int l = addLayer(QStringLiteral("points"), 1, {pointContent(1000, 5000), pointContent(1010, 5005)});
    layer(l).ObjType = otPoints;
    layer(l).PointStyle = 1;
    layer(l).ViewPoints = true;
    w().RedrawMap();
    for (const QPointF p : {QPointF(1000, 5000), QPointF(1010, 5005)}) {
        const QPoint c = pixelOf(at(p.x(), p.y()));
        EXPECT_EQ(pixelAt(map(), c), qRgb(255, 0, 0));
        EXPECT_EQ(pixelAt(map(), c + QPoint(8, 0)), qRgb(255, 255, 255));
    }
    // The display switch off: a layer of plain points still shows them in its
    // point style (a project of another program may leave the switch out);
    // one without a point style shows nothing but its labels.
    layer(l).ViewPoints = false;
    w().RedrawMap();
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1000, 5000))), qRgb(255, 0, 0));
    layer(l).PointStyle = 0;
    w().RedrawMap();
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1000, 5000))), qRgb(255, 255, 255));
}

TEST_F(RenderPictureTest, ReportPictureWiderThanTheControlIsTiledAcrossItsWidth)
{
    RecordingRenderers r;
    r.services.FFillStyles =
        library(9, 8, pattern(vkFill, 400, 400,
                              {stroke(vsRectangle, {{-50, -50}, {50, 50}}, 0x0000FF, 0, 0x0000FF)}));
    const int l = addLayer(QStringLiteral("wide"), 5, {polyRings(5, {square(860, 4980, 1140, 5020)})});
    layer(l).BrushType = 8;
    layer(l).PenStyle = 0;
    map().SetProgramDir(dir_.path());
    // 300 mm across at 1:1000: three times the control's 100 mm.
    w().DrawMapPicture(30000, 7500, 1000);
    ASSERT_TRUE(QFile::exists(dir_.file(QStringLiteral("map.wmf"))));
    int beyondTheControl = 0, all = 0;
    for (const RecordView &rec : map().MapPicture().records()) {
        if (rec.type != EMR_RECTANGLE)
            continue;
        ++all;
        beyondTheControl += rec.rect.left > 12000 ? 1 : 0;
    }
    EXPECT_GT(all, 100);
    EXPECT_GT(beyondTheControl, all / 2);
}
