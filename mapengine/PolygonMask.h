#pragma once
// The raster mask the fill tiling asks whether a point lies in its polygon:
// the pixels of a bitmap of a given size that a polygon drawn into it with a
// black one-pixel pen and a solid black brush (alternate filling) makes black.
// Pixels are worked out for the rows that are read instead of being painted,
// so a mask of the window's size costs only what is read of it; a read
// outside the bitmap is not black.

#include <QPoint>

#include <unordered_map>
#include <utility>
#include <vector>

namespace mapengine {

class PolygonMask {
public:
    // The polygon's points in pixels of the bitmap; it is closed by itself.
    PolygonMask(std::vector<QPoint> points, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool black(int x, int y) const;

private:
    // Runs of black pixels of one row, first and last pixel, sorted and apart.
    using Runs = std::vector<std::pair<int, int>>;
    const Runs &row(int y) const;
    Runs computeRow(int y) const;

    std::vector<QPoint> points_;
    int width_ = 0;
    int height_ = 0;
    mutable std::unordered_map<int, Runs> rows_;
};

} // namespace mapengine
