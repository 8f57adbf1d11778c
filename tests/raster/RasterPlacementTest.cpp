// Where a picture goes in a view, and the initial control points of a new
// picture.

#include "raster/RasterPlacement.h"

#include <gtest/gtest.h>

#include <cmath>

using raster::Edges;

TEST(RasterWindow, SourceAndDestinationByWhereThePictureLies)
{
    // A picture of 200 × 100 pixels in a view of 400 × 300.
    const Edges view{0, 0, 400, 300};
    const struct {
        const char *what;
        Edges corners;
        Edges clip;
        bool pictureMode;
        Edges source, destination;
    } cases[] = {
        {"inside", {50, 40, 250, 140}, view, false, {0, 0, 200, 100}, {50, 40, 250, 140}},
        // 4 device pixels a picture pixel: the pixels the view's edges cut
        // are drawn whole, where the map puts them.
        {"over the whole view", {-100, -50, 700, 350}, view, false, {25, 12, 125, 88}, {0, -2, 400, 302}},
        {"over the view, edges on pixels", {-100, -52, 700, 348}, view, false, {25, 13, 125, 88}, {0, 0, 400, 300}},
        {"left of the view", {-300, 10, -100, 110}, view, false, {200, 0, 200, 100}, {0, 10, 0, 110}},
        {"ending where the view begins", {-200, 10, 0, 110}, view, false, {200, 0, 200, 100}, {0, 10, 0, 110}},
        {"right of the view", {500, 10, 700, 110}, view, false, {0, 0, 0, 100}, {400, 10, 400, 110}},
        {"above the view", {10, -200, 210, -100}, view, false, {0, 100, 200, 100}, {10, 0, 210, 0}},
        {"below the view", {10, 400, 210, 500}, view, false, {0, 0, 200, 0}, {10, 300, 210, 300}},
        {"cut on the left", {-50, 40, 150, 140}, view, false, {50, 0, 200, 100}, {0, 40, 150, 140}},
        {"cut on the right", {300, 40, 500, 140}, view, false, {0, 0, 100, 100}, {300, 40, 400, 140}},
        {"cut at the top", {50, -30, 250, 70}, view, false, {0, 30, 200, 100}, {50, 0, 250, 70}},
        {"cut at the bottom", {50, 250, 250, 350}, view, false, {0, 0, 200, 50}, {50, 250, 250, 300}},
        {"ten pixels a device pixel", {0, 0, 20, 10}, view, false, {0, 0, 200, 100}, {0, 0, 20, 10}},
        // In picture mode the clip is the picture's extent and the
        // destination stays on the device.
        {"picture mode", {50, 40, 250, 140}, {100, 50, 500, 350}, true, {50, 10, 200, 100}, {100, 50, 250, 140}},
        {"picture mode, not cut", {150, 60, 350, 160}, {100, 50, 500, 350}, true, {0, 0, 200, 100},
         {150, 60, 350, 160}},
    };
    for (const auto &c : cases) {
        const raster::RasterWindow w = raster::rasterWindow(c.corners, 200, 100, c.clip, c.pictureMode);
        EXPECT_EQ(w.source, c.source) << c.what;
        EXPECT_EQ(w.destination, c.destination) << c.what;
    }
    const raster::RasterWindow zoomed = raster::rasterWindow({-100, -50, 700, 350}, 200, 100, view, false);
    EXPECT_DOUBLE_EQ(zoomed.kx, 0.25);
    EXPECT_DOUBLE_EQ(zoomed.ky, 0.25);
    // A picture of no device size draws nothing.
    EXPECT_TRUE(raster::rasterWindow({10, 10, 10, 110}, 200, 100, view, false).empty());
    EXPECT_TRUE(raster::rasterWindow({10, 10, 210, 10}, 200, 100, view, false).empty());
}

TEST(RasterWindow, EdgesStayWhereTheMapPutsThemWhilePanning)
{
    // 8 device pixels a picture pixel; whatever the offset, the pixel at
    // the view's left edge starts where the picture's pixels do.
    for (int offset = 0; offset < 16; ++offset) {
        const Edges corners{-offset - 400, 0, -offset + 1200, 800};   // 200 × 100 pixels
        const raster::RasterWindow w = raster::rasterWindow(corners, 200, 100, {0, 0, 400, 300}, false);
        EXPECT_EQ(w.destination.left, corners.left + 8 * w.source.left) << offset;
        EXPECT_LE(w.destination.left, 0);
        EXPECT_GT(w.destination.left, -8);
        EXPECT_EQ(w.destination.right - w.destination.left, 8 * w.source.width()) << offset;
    }
}

TEST(RasterControlPoints, PicturesFittedToTheWindowByTheirShape)
{
    const struct {
        int width, height, w, h;
        Edges expected;
    } cases[] = {
        {200, 100, 400, 300, {0, 50, 400, 250}},      // wide: the window's width
        {100, 200, 400, 300, {125, 0, 275, 300}},     // tall: the window's height
        {100, 100, 400, 300, {50, 0, 350, 300}},      // square: as a tall one
        {100, 200, 100, 400, {-50, 0, 150, 400}},     // tall in a narrow window: past its sides
        {0, 100, 400, 300, {0, 0, 400, 300}},         // no size: the window
    };
    for (const auto &c : cases)
        EXPECT_EQ(raster::fitToWindowPixels(c.width, c.height, c.w, c.h), c.expected) << c.width << "x" << c.height;
}

TEST(RasterControlPoints, PixelsPerMetreOfSheetGiveTheSpanAtAScale)
{
    EXPECT_EQ(raster::sheetPixelsPerMetre(200), 7874);
    EXPECT_EQ(raster::sheetPixelsPerMetre(96), 3780);
    for (const double none : {0.0, -5.0, 0.01, std::nan("")})
        EXPECT_EQ(raster::sheetPixelsPerMetre(none), 1) << none;
    // 2000 pixels of 200 dpi at 1:1000: 25.4 cm of sheet, 254 m on the map,
    // whatever the picture's size.
    EXPECT_NEAR(2 * raster::halfSpanAtScale(2000, raster::sheetPixelsPerMetre(200), 1000), 254, 0.05);
    EXPECT_NEAR(2 * raster::halfSpanAtScale(4000, raster::sheetPixelsPerMetre(400), 1000), 254, 0.05);
    // A sheet of fewer pixels at the same resolution is smaller paper and
    // covers less map: not about dpi × 0.0254 × 1000 (5080 m) whatever its size.
    EXPECT_NEAR(2 * raster::halfSpanAtScale(1000, raster::sheetPixelsPerMetre(200), 1000), 127, 0.05);
    EXPECT_NEAR(2 * raster::halfSpanAtScale(100, raster::sheetPixelsPerMetre(200), 1000), 12.7, 0.01);
    // No resolution (or none measured): a pixel is a metre of sheet.
    EXPECT_EQ(2 * raster::halfSpanAtScale(2000, 1, 1000), 2000000);
    EXPECT_EQ(2 * raster::halfSpanAtScale(2000, 0, 1000), 2000000);
}
