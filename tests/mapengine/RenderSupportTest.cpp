// The rules of the redraw that need no window: which layers are drawn and by
// whom, the grids' lines and the report picture's alignment, the tables of
// stored pen, brush and text styles, sizes of texts at a scale and the turn
// of a raster's control points.

#include "mapengine/RenderSupport.h"

#include "platform/Environment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace mapengine::render;
using namespace platform::gdi;

TEST(RenderRules, ScaleRangeIncludesBothBounds)
{
    TMapLayer l;
    l.ScaleView = true;
    l.ScaleMin = 1000;
    l.ScaleMax = 5000;
    const struct {
        double n;
        bool shown;
    } cases[] = {{999, false}, {1000, true}, {3000, true}, {5000, true}, {5001, false}};
    for (const auto &c : cases)
        EXPECT_EQ(layerShownAtScale(l, c.n), c.shown) << c.n;
    // Without the switch the range is not looked at.
    l.ScaleView = false;
    EXPECT_TRUE(layerShownAtScale(l, 1e9));
    // No scale counts as 1:1.
    EXPECT_EQ(redrawDenominator(0), 1);
    EXPECT_EQ(redrawDenominator(100), 1000);
    l.ScaleView = true;
    l.ScaleMin = 1;
    l.ScaleMax = 5;
    EXPECT_TRUE(layerShownAtScale(l, redrawDenominator(0)));
    l.ScaleMin = 2;
    EXPECT_FALSE(layerShownAtScale(l, redrawDenominator(0)));
}

TEST(RenderRules, LayerKindsGoToTheirDrawers)
{
    for (int kind = 0; kind <= 20; ++kind) {
        LayerDrawer expected = LayerDrawer::None;
        if (kind == 0 || kind == 1 || kind == 8)
            expected = LayerDrawer::Vector;
        else if (kind == 17)
            expected = LayerDrawer::Exchange;
        else if (kind >= 2 && kind <= 16)
            expected = LayerDrawer::Cadastral;
        EXPECT_EQ(layerDrawer(static_cast<Byte>(kind)), expected) << kind;
    }
}

TEST(RenderRules, PlainGridSpacingAndLimit)
{
    // 1:500 gives a line every 50 map units from whole hundreds.
    GridLines g = plainGrid(1020, 480, 1240, 760, 500);
    ASSERT_GE(g.columns.size(), 3u);
    EXPECT_EQ(g.columns[0], 1000);
    EXPECT_EQ(g.columns[1] - g.columns[0], 50);
    EXPECT_EQ(g.rows[0], 700);
    EXPECT_EQ(g.rows[0] - g.rows[1], 50);
    EXPECT_LE(g.columns.back(), 1240);
    EXPECT_GE(g.rows.back(), 480);
    // 1:2000: every 200, from multiples of 200.
    g = plainGrid(1450, 0, 2400, 1990, 2000);
    EXPECT_EQ(g.columns[0], 1400);
    EXPECT_EQ(g.columns[1] - g.columns[0], 200);
    EXPECT_EQ(g.rows[0], 2000);
    // However small the step, never more than 500 columns or rows.
    g = plainGrid(0.5, 0.5, 1e6, 1e6, 1);
    EXPECT_EQ(g.columns.size(), 500u);
    EXPECT_EQ(g.rows.size(), 500u);
    // A step of nothing draws nothing rather than looping.
    EXPECT_TRUE(labelledGrid(0, 0, 100, 100, 1000, 0).columns.empty());
}

TEST(RenderRules, LabelledGridStartsAtTheWindow)
{
    const GridLines g = labelledGrid(1023.5, 400, 1300, 777.7, 1000, 100);
    ASSERT_EQ(g.columns.size(), 3u);
    EXPECT_EQ(g.columns[0], 1023.5);
    EXPECT_EQ(g.columns[2], 1223.5);
    ASSERT_EQ(g.rows.size(), 4u);
    EXPECT_EQ(g.rows[0], 777.7);
    EXPECT_DOUBLE_EQ(g.rows[3], 477.7);
}

TEST(RenderRules, ReportPictureAlignsItsUpperLeftCorner)
{
    // 1:5000: multiples of 500. The corner lies 123.4 east of one and 350
    // below the next: the picture moves 123.4 west and 350 north, same size.
    const PictureExtent e = gridPictureExtent(1623.4, 1650, 800, 600, 5000);
    EXPECT_DOUBLE_EQ(e.xMin, 1500);
    EXPECT_DOUBLE_EQ(e.yMax, 2000);
    EXPECT_DOUBLE_EQ(e.xMax - e.xMin, 800);
    EXPECT_DOUBLE_EQ(e.yMax - e.yMin, 600);
    // Below 1:2000 only whole hundreds.
    double x0 = 0, y0 = 0;
    alignGridCorner(1623.4, 1650, 1000, x0, y0);
    EXPECT_EQ(x0, 1600);
    EXPECT_EQ(y0, 1600);
    // Negative coordinates keep the cut to hundreds (their fraction is negative).
    alignGridCorner(-1623.4, -1650, 5000, x0, y0);
    EXPECT_EQ(x0, -1600);
    EXPECT_EQ(y0, -1600);
}

TEST(RenderRules, PenAndBrushTables)
{
    // Layers and records: the platform's numbers.
    const int pens[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(canvasPenStyle(i), pens[i]) << i;
    EXPECT_EQ(canvasPenStyle(34), PS_SOLID); // a line-library number
    const struct {
        int number, style, hatch;
    } brushes[] = {{0, BS_SOLID, 0},         {1, BS_NULL, 0},           {2, BS_HATCHED, HS_HORIZONTAL},
                   {3, BS_HATCHED, HS_VERTICAL}, {4, BS_HATCHED, HS_FDIAGONAL}, {5, BS_HATCHED, HS_BDIAGONAL},
                   {6, BS_HATCHED, HS_CROSS},    {7, BS_HATCHED, HS_DIAGCROSS}, {12, BS_NULL, 0}};
    for (const auto &b : brushes) {
        const Brush got = canvasBrush(b.number, rgb(1, 2, 3));
        EXPECT_EQ(got.style, b.style) << b.number;
        if (b.style == BS_HATCHED) {
            EXPECT_EQ(got.hatch, b.hatch) << b.number;
        }
    }
    // Ovals: their own tables.
    const int ovalPens[] = {PS_NULL, PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_INSIDEFRAME, PS_SOLID,
                            PS_SOLID};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(ovalPenStyle(i), ovalPens[i]) << i;
    const struct {
        int number, style, hatch;
    } ovals[] = {{0, BS_NULL, 0},           {1, BS_SOLID, 0},           {2, BS_HATCHED, HS_BDIAGONAL},
                 {3, BS_HATCHED, HS_FDIAGONAL}, {4, BS_HATCHED, HS_CROSS},  {5, BS_HATCHED, HS_DIAGCROSS},
                 {6, BS_HATCHED, HS_HORIZONTAL}, {7, BS_HATCHED, HS_VERTICAL}, {8, BS_SOLID, 0}, {40, BS_SOLID, 0}};
    for (const auto &b : ovals) {
        const Brush got = ovalBrush(b.number, rgb(1, 2, 3));
        EXPECT_EQ(got.style, b.style) << b.number;
        EXPECT_EQ(got.color, rgb(1, 2, 3));
        if (b.style == BS_HATCHED) {
            EXPECT_EQ(got.hatch, b.hatch) << b.number;
        }
    }
    EXPECT_EQ(canvasColor(-1), rgb(255, 255, 255));
}

TEST(RenderRules, FontStyleDigitsAndTextSizes)
{
    const struct {
        int fontStyle;
        Byte bits;
    } cases[] = {{0, 0}, {1, 1}, {10, 2}, {11, 3}, {100, 4}, {101, 5}, {110, 6}, {111, 7}, {2, 0}, {121, 5}};
    for (const auto &c : cases)
        EXPECT_EQ(textStyleOfFontStyle(c.fontStyle), c.bits) << c.fontStyle;

    // Size 10 at scale 2000: 10 at 1:2000, 2 at 1:10000, 1 at 1:20000.
    EXPECT_EQ(effectiveTextSize(10, 2000, 2000), 10);
    EXPECT_EQ(effectiveTextSize(10, 2000, 10000), 2);
    EXPECT_EQ(effectiveTextSize(10, 2000, 20000), 1);
    EXPECT_EQ(effectiveTextSize(10, 2000, 8000), 2); // 2.5 rounds to even
    EXPECT_EQ(effectiveTextSize(10, 0, 20000), 10);  // no scale: fixed
}

TEST(RenderRules, RasterTurnOfItsControlPoints)
{
    auto point = [](double x, double y, int column, int row) {
        TShpPoint p;
        p.X = x;
        p.Y = y;
        p.setWH(column, row);
        return p;
    };
    EXPECT_EQ(rasterRotationAngle({}), 0);
    EXPECT_EQ(rasterRotationAngle({point(0, 0, 1000, 2000)}), 0);
    // The picture's first row runs north on the map: 0° minus 90°.
    EXPECT_DOUBLE_EQ(rasterRotationAngle({point(0, 0, 1000, 2000), point(100, 0, 1000, 2100)}),
                     -std::numbers::pi / 2);
    // Unturned: the columns run east, rows south.
    EXPECT_DOUBLE_EQ(rasterRotationAngle({point(0, 0, 0, 0), point(100, 0, 100, 0)}), 0);
}
