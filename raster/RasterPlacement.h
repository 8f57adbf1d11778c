#pragma once
// Where a picture goes: the window of its pixels that a view shows and the
// device rectangle they are stretched into, and the initial control points
// of a new picture (fitted to the window, placed at a scale). Plain
// arithmetic; the map control supplies the view.

#include <QRect>

#include <cstdint>

namespace raster {

// A rectangle by its edges (right and bottom excluded).
struct Edges {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    std::int64_t width() const { return right - left; }
    std::int64_t height() const { return bottom - top; }
    bool operator==(const Edges &) const = default;
};

// The part of a picture a view shows.
struct RasterWindow {
    Edges source;        // picture pixels
    Edges destination;   // device pixels
    double kx = 1, ky = 1;   // picture pixels per device pixel
    // Whether there is anything to draw.
    bool empty() const
    {
        return source.width() <= 0 || source.height() <= 0 || destination.width() <= 0 ||
               destination.height() <= 0;
    }
};

// The window of a picture of width × height pixels whose corners lie on the
// device pixels `corners` (left, top: the upper-left corner; right, bottom:
// the lower-right one) seen through the clip rectangle `clip`. The
// destination is relative to the clip's corner, unless `pictureMode` keeps
// it on the device. A picture left, right, above or below the clip gets an
// empty source and destination; one of no device size (a zero span) draws
// nothing. Where the clip cuts the picture, the source window takes in the
// whole picture pixels it cuts and the destination reaches their edges on
// the device (beyond the clip by less than a picture pixel), so that the
// pixels stay where the map puts them at every zoom.
RasterWindow rasterWindow(const Edges &corners, int width, int height, const Edges &clip, bool pictureMode);

// ---- initial control points ----

// The window pixels a new picture of width × height spans in a window of
// w × h pixels: its full width when it is wider than tall (centred
// vertically), else its full height (centred horizontally), by the
// picture's shape alone. A picture of no size spans the window.
Edges fitToWindowPixels(int width, int height, int w, int h);

// The pixels per metre of sheet of a picture of `dpi` dots per inch, the
// divisor that turns its pixels into metres of paper (rounded); 1 when it
// has no resolution or the divisor would round to 0.
//
// Not the width divided by dpi × 0.0254 (the resolution multiplied by the
// inch in metres instead of divided by it): that divisor makes every
// picture with a resolution span about dpi × 0.0254 × the scale
// denominator whatever its size, so that 2000 pixels of 200 dpi (25.4 cm of
// paper) placed at 1:1000 would cover 5076 m of map instead of 254 m, and a
// picture of 100 pixels nearly as much. A sheet placed at a scale covers
// its paper size times the denominator.
std::int32_t sheetPixelsPerMetre(double dpi);

// Half the map span of `pixels` at the divisor (pixels per metre of sheet;
// one at or below 0 counts as 1) and the scale denominator.
double halfSpanAtScale(std::int32_t pixels, std::int32_t divisor, double denominator);

} // namespace raster
