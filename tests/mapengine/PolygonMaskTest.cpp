// The fill tiling's polygon mask against a bitmap the graphics layer paints
// the same polygon into (black one-pixel pen, solid black brush).

#include "mapengine/PolygonMask.h"
#include "platform/gdi/Bitmap.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

using namespace platform::gdi;
using mapengine::PolygonMask;

namespace {

struct MaskCase {
    const char *name;
    std::vector<QPoint> points;
};

double distanceToOutline(const std::vector<QPoint> &points, double x, double y)
{
    double best = 1e300;
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF a = points[i], b = points[(i + 1) % points.size()];
        const QPointF d = b - a;
        const double len2 = d.x() * d.x() + d.y() * d.y();
        double t = len2 > 0 ? ((x - a.x()) * d.x() + (y - a.y()) * d.y()) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(a.x() + t * d.x() - x, a.y() + t * d.y() - y));
    }
    return best;
}

// Pixels where the mask and the painted bitmap differ farther than a pen's
// width from the outline (the pen's own pixels follow each painter's line
// rules; the mask takes one pixel per step as the platform's pen does).
int differences(const std::vector<QPoint> &points, int w, int h, QString *where = nullptr)
{
    Bitmap bmp(w, h);
    {
        Canvas &c = bmp.canvas();
        c.setPen(Pen{PS_SOLID, 1, rgb(0, 0, 0)});
        c.setBrush(Brush{BS_SOLID, rgb(0, 0, 0), HS_HORIZONTAL});
        c.polygon(points);
    }
    const QImage &img = bmp.image();
    const PolygonMask mask(points, w, h);
    int diff = 0;
    for (int y = -2; y < h + 2; ++y)
        for (int x = -2; x < w + 2; ++x) {
            const bool painted = x >= 0 && y >= 0 && x < w && y < h && (img.pixel(x, y) & 0xFFFFFF) == 0;
            if (painted != mask.black(x, y) && distanceToOutline(points, x, y) > 1.0) {
                ++diff;
                if (where && where->size() < 400)
                    *where += QStringLiteral(" (%1,%2)%3").arg(x).arg(y).arg(painted ? "p" : "m");
            }
        }
    return diff;
}

} // namespace

TEST(PolygonMask, PixelsAsTheGraphicsLayerPaintsThem)
{
    const std::vector<MaskCase> cases = {
        {"square", {{2, 2}, {20, 2}, {20, 15}, {2, 15}}},
        {"triangle", {{1, 1}, {30, 7}, {9, 28}}},
        {"gentle slopes", {{0, 0}, {31, 3}, {29, 30}, {2, 27}}},
        {"steep slopes", {{5, 0}, {8, 31}, {3, 29}}},
        {"half-pixel ties", {{0, 0}, {2, 1}, {4, 2}, {6, 3}, {0, 9}}},
        {"concave", {{0, 0}, {30, 0}, {30, 30}, {15, 10}, {0, 30}}},
        {"self-crossing", {{0, 0}, {30, 30}, {30, 0}, {0, 30}}},
        {"beyond the bitmap", {{-10, 5}, {40, 5}, {40, 50}, {-10, 50}}},
        {"right edge on the last column plus one", {{0, 0}, {32, 0}, {32, 32}, {0, 32}}},
        {"thin sliver", {{0, 10}, {31, 11}, {0, 11}}},
        {"closed twice", {{3, 3}, {25, 4}, {20, 25}, {3, 3}}},
    };
    for (const MaskCase &c : cases) {
        QString where;
        EXPECT_EQ(differences(c.points, 32, 32, &where), 0) << c.name << where.toStdString();
    }
}

TEST(PolygonMask, RandomPolygonsMatchThePaintedBitmap)
{
    QRandomGenerator rng(7);
    for (int k = 0; k < 200; ++k) {
        std::vector<QPoint> pts;
        const int n = 3 + static_cast<int>(rng.bounded(6));
        for (int i = 0; i < n; ++i)
            pts.emplace_back(static_cast<int>(rng.bounded(60)) - 10, static_cast<int>(rng.bounded(60)) - 10);
        QString where;
        EXPECT_EQ(differences(pts, 40, 40, &where), 0) << "polygon " << k << where.toStdString();
    }
}

TEST(PolygonMask, OutlinePixelsAreBlackAndReadsOutsideTheBitmapAreNot)
{
    // Vertices and the pixels of axis-parallel edges belong to the mask.
    const PolygonMask square({{2, 2}, {6, 2}, {6, 5}, {2, 5}}, 10, 8);
    for (const QPoint &p : {QPoint(2, 2), QPoint(6, 2), QPoint(6, 5), QPoint(2, 5), QPoint(4, 2), QPoint(6, 4)})
        EXPECT_TRUE(square.black(p.x(), p.y())) << p.x() << "," << p.y();
    for (const QPoint &p : {QPoint(1, 2), QPoint(7, 3), QPoint(4, 1), QPoint(4, 6)})
        EXPECT_FALSE(square.black(p.x(), p.y())) << p.x() << "," << p.y();

    const PolygonMask mask({{-100, -100}, {100, -100}, {100, 100}, {-100, 100}}, 10, 8);
    EXPECT_TRUE(mask.black(0, 0));
    EXPECT_TRUE(mask.black(9, 7));
    EXPECT_FALSE(mask.black(10, 0));
    EXPECT_FALSE(mask.black(0, 8));
    EXPECT_FALSE(mask.black(-1, 3));
    EXPECT_FALSE(mask.black(3, -1));
    const PolygonMask empty({{0, 0}, {5, 0}, {5, 5}}, 0, 0);
    EXPECT_FALSE(empty.black(0, 0));
}
