// The window of a picture in a view and the initial control points of a new
// picture.

#include "raster/RasterPlacement.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace raster {

namespace {

// One axis of the window: the picture spans the device pixels a .. b
// (a <= b for a picture the right way up) and has `size` pixels over the
// `span` device pixels; the clip spans lo .. hi. Gives the source edges in
// picture pixels and the destination edges relative to lo.
struct Axis {
    std::int64_t srcFrom = 0, srcTo = 0, dstFrom = 0, dstTo = 0;
};

// The picture pixels in the first d device pixels, rounded down or up
// (exact: no factor in floating point).
std::int64_t pixelsIn(std::int64_t d, std::int64_t size, std::int64_t span, bool up)
{
    const __int128 n = static_cast<__int128>(d) * size;
    __int128 q = n / span;
    if (up && q * span != n)
        ++q;
    return static_cast<std::int64_t>(q);
}

Axis axis(std::int64_t a, std::int64_t b, int pixels, std::int64_t span, std::int64_t lo, std::int64_t hi)
{
    Axis r;
    const std::int64_t extent = hi - lo;
    // A picture of no pixel count is taken pixel for pixel.
    const std::int64_t size = pixels > 0 ? pixels : span;
    // Wholly before or after the clip: nothing on either side.
    if (b <= lo) {
        r.srcFrom = r.srcTo = pixels;
        return r;
    }
    if (a >= hi) {
        r.dstFrom = r.dstTo = extent;
        return r;
    }
    // The device pixel where the edge of picture pixel `src` lies.
    auto edge = [&](std::int64_t src) {
        return a - lo + platform::roundHalfEven(static_cast<long double>(src) * span / size);
    };
    // Where the clip cuts the picture, the pixel it cuts is drawn whole, its
    // edge where the map puts it.
    if (lo <= a) {
        r.srcFrom = 0;
        r.dstFrom = a - lo;
    } else {
        r.srcFrom = std::clamp<std::int64_t>(pixelsIn(lo - a, size, span, false), 0, size);
        r.dstFrom = edge(r.srcFrom);
    }
    if (hi >= b) {
        r.srcTo = size;
        r.dstTo = b - lo;
    } else {
        r.srcTo = std::clamp<std::int64_t>(pixelsIn(hi - a, size, span, true), 0, size);
        r.dstTo = edge(r.srcTo);
    }
    return r;
}

} // namespace

RasterWindow rasterWindow(const Edges &corners, int width, int height, const Edges &clip, bool pictureMode)
{
    RasterWindow w;
    const std::int64_t dx = std::llabs(corners.right - corners.left);
    const std::int64_t dy = std::llabs(corners.bottom - corners.top);
    if (dx == 0 || dy == 0)
        return w;
    w.kx = width > 0 ? static_cast<double>(width) / static_cast<double>(dx) : 1.0;
    w.ky = height > 0 ? static_cast<double>(height) / static_cast<double>(dy) : 1.0;
    const Axis h = axis(corners.left, corners.right, width, dx, clip.left, clip.right);
    const Axis v = axis(corners.top, corners.bottom, height, dy, clip.top, clip.bottom);
    w.source = Edges{h.srcFrom, v.srcFrom, h.srcTo, v.srcTo};
    w.destination = Edges{h.dstFrom, v.dstFrom, h.dstTo, v.dstTo};
    if (pictureMode) {
        w.destination.left += clip.left;
        w.destination.right += clip.left;
        w.destination.top += clip.top;
        w.destination.bottom += clip.top;
    }
    return w;
}

Edges fitToWindowPixels(int width, int height, int w, int h)
{
    if (width <= 0 || height <= 0)
        return Edges{0, 0, w, h};
    if (height < width) {
        const double m = (h - static_cast<double>(w) / width * height) / 2;
        return Edges{0, platform::roundHalfEven(m), w, platform::roundHalfEven(h - m)};
    }
    const double m = (w - static_cast<double>(h) / height * width) / 2;
    return Edges{platform::roundHalfEven(m), 0, platform::roundHalfEven(w - m), h};
}

std::int32_t sheetPixelsPerMetre(double dpi)
{
    if (!(dpi > 0) || !std::isfinite(dpi))
        return 1;
    const double perMetre = dpi / 0.0254;
    if (perMetre >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return std::max<std::int32_t>(1, platform::roundToInt(perMetre));
}

double halfSpanAtScale(std::int32_t pixels, std::int32_t divisor, double denominator)
{
    const double d = divisor > 0 ? divisor : 1;
    return static_cast<double>(pixels) / d * denominator / 2;
}

} // namespace raster
