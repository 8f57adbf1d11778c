#include "mapengine/PolygonMask.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mapengine {

PolygonMask::PolygonMask(std::vector<QPoint> points, int width, int height)
    : points_(std::move(points)), width_(std::max(0, width)), height_(std::max(0, height))
{
}

bool PolygonMask::black(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || points_.empty())
        return false;
    const Runs &runs = row(y);
    auto it = std::upper_bound(runs.begin(), runs.end(), x,
                               [](int v, const std::pair<int, int> &r) { return v < r.first; });
    return it != runs.begin() && x <= std::prev(it)->second;
}

const PolygonMask::Runs &PolygonMask::row(int y) const
{
    auto it = rows_.find(y);
    if (it == rows_.end())
        it = rows_.emplace(y, computeRow(y)).first;
    return it->second;
}

PolygonMask::Runs PolygonMask::computeRow(int y) const
{
    Runs runs;
    auto add = [&](double first, double last) {
        const double lo = std::max(first, 0.0);
        const double hi = std::min(last, static_cast<double>(width_ - 1));
        if (lo <= hi)
            runs.emplace_back(static_cast<int>(lo), static_cast<int>(hi));
    };
    const size_t n = points_.size();

    // The brush: pixels whose centres lie inside, alternate rule.
    const double yc = y + 0.5;
    std::vector<double> xs;
    for (size_t i = 0; i < n; ++i) {
        const QPoint &a = points_[i];
        const QPoint &b = points_[(i + 1) % n];
        if ((a.y() < yc) != (b.y() < yc))
            xs.push_back(a.x() + (yc - a.y()) * (b.x() - a.x()) / static_cast<double>(b.y() - a.y()));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2)
        add(std::ceil(xs[k] - 0.5), std::ceil(xs[k + 1] - 0.5) - 1);

    // The pen: one pixel per step along the longer axis of each edge, the
    // nearest to the edge across it.
    for (size_t i = 0; i < n; ++i) {
        const QPoint &a = points_[i];
        const QPoint &b = points_[(i + 1) % n];
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        if (std::abs(dx) >= std::abs(dy)) {
            if (dy == 0) {
                if (a.y() == y)
                    add(std::min(a.x(), b.x()), std::max(a.x(), b.x()));
                continue;
            }
            // round(a.y + (x - a.x)·dy/dx) = y
            const double t1 = (y - 0.5 - a.y()) * dx / dy;
            const double t2 = (y + 0.5 - a.y()) * dx / dy;
            double lo = a.x() + std::min(t1, t2);
            double hi = a.x() + std::max(t1, t2);
            lo = std::max(std::ceil(lo), static_cast<double>(std::min(a.x(), b.x())));
            hi = std::min(std::floor(hi), static_cast<double>(std::max(a.x(), b.x())));
            if (lo <= hi)
                add(lo, hi);
        } else {
            if (y < std::min(a.y(), b.y()) || y > std::max(a.y(), b.y()))
                continue;
            const double px = a.x() + (y - a.y()) * dx / dy;
            const double r = std::floor(px + 0.5);
            if (r - px == 0.5)
                add(r - 1, r);
            else
                add(r, r);
        }
    }

    std::sort(runs.begin(), runs.end());
    Runs merged;
    for (const auto &r : runs) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    return merged;
}

} // namespace mapengine
