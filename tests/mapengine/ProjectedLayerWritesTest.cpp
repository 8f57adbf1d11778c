// New objects in layers with a projection, through the map control and the
// projection library: a layer stored in geographic degrees and shown in a
// transverse Mercator plane takes a digitized polygon and a shifted copy in
// its own degrees, and both read back where they were put; a copy out of it
// into a layer without projection is stored in map coordinates.

#include "EditingFixtures.h"

#include "geodesy/LayerProjection.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

using edittest::leDouble;
using edittest::le32;
using edittest::Project;
using fixtures::Box;
using fixtures::Pt;

namespace {

const char *const tmerc = "+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000 +units=m";
constexpr double k = 57.29577951308232;

struct Poly {
    std::vector<Pt> points;
    Box box;
};
// The points and the box of a poly record's content.
Poly polyOf(const QByteArray &content)
{
    Poly p;
    p.box = {leDouble(content, 4), leDouble(content, 12), leDouble(content, 20), leDouble(content, 28)};
    const qsizetype at = 44 + 4 * qsizetype(le32(content, 36));
    for (std::int32_t i = 0; i < le32(content, 40); ++i)
        p.points.push_back({leDouble(content, at + 16 * i), leDouble(content, at + 16 * i + 8)});
    return p;
}
// The content of an object's record in its layer's ".shp".
QByteArray layerRecord(Project &p, const QString &file, int l, int i)
{
    const TMapObject &o = p.object(l, i);
    return p.read(file).mid(2 * qsizetype(o.ShpOffset) + 8, o.ShpLength);
}

void expectBoxOfPoints(const Poly &p)
{
    Box b{p.points[0].x, p.points[0].y, p.points[0].x, p.points[0].y};
    for (const Pt &q : p.points) {
        b.xMin = std::min(b.xMin, q.x);
        b.yMin = std::min(b.yMin, q.y);
        b.xMax = std::max(b.xMax, q.x);
        b.yMax = std::max(b.yMax, q.y);
    }
    EXPECT_EQ(p.box.xMin, b.xMin);
    EXPECT_EQ(p.box.yMin, b.yMin);
    EXPECT_EQ(p.box.xMax, b.xMax);
    EXPECT_EQ(p.box.yMax, b.yMax);
}

// A 100 m square in the plane, some 180 km west of the central meridian
// (where the meridians lean by about two degrees).
std::vector<Pt> squareAt(double x, double y)
{
    return {{x, y}, {x + 100, y}, {x + 100, y + 100}, {x, y + 100}, {x, y}};
}

} // namespace

TEST(ProjectedLayerWrites, DigitizedAndCopiedObjectsKeepTheirPlace)
{
    Project p;
    geodesy::LayerProjectionLibrary library;
    p.map.setProjectionLibrary(&library);
    const std::unique_ptr<IProjection> plane = library.setUp(QString::fromUtf8(tmerc));
    ASSERT_TRUE(plane);
    const int geo = p.addLayer(QStringLiteral("geo"), 5);
    p.layer(geo).VykProject = true;
    p.layer(geo).StrProject = QString::fromUtf8(tmerc);

    // Digitized in the plane.
    const std::vector<Pt> figure = squareAt(6322000, 5585000);
    p.map.NewObject().clearFigure();
    for (size_t i = 0; i + 1 < figure.size(); ++i) {
        TNewPoint np;
        np.Point.X = figure[i].x;
        np.Point.Y = figure[i].y;
        p.map.NewObject().Points.push_back(np);
    }
    ASSERT_TRUE(p.map.CommitNewObject(geo, true, true));
    p.map.NewObject().clearFigure();

    // Stored in degrees, as the library takes the plane's points back; the
    // box is that of the stored points, which the box of the converted
    // corners is not here.
    const Poly stored = polyOf(layerRecord(p, QStringLiteral("geo.shp"), geo, 0));
    ASSERT_EQ(stored.points.size(), figure.size());
    for (size_t i = 0; i < figure.size(); ++i) {
        double x = figure[i].x, y = figure[i].y;
        plane->inverse(x, y);
        EXPECT_NEAR(stored.points[i].x, x * k, 1e-11);
        EXPECT_NEAR(stored.points[i].y, y * k, 1e-11);
    }
    expectBoxOfPoints(stored);
    EXPECT_EQ(polyOf(p.journalContent(geo, 0)).points[2].x, stored.points[2].x);

    // Read back (from the journal; from the layer file at the end): where
    // digitized.
    auto expectDigitized = [&] {
        const auto back = edittest::pointsOf(p.shape(geo, 0));
        ASSERT_EQ(back.size(), 1u);
        ASSERT_EQ(back[0].size(), figure.size());
        for (size_t i = 0; i < figure.size(); ++i) {
            EXPECT_NEAR(back[0][i].first, figure[i].x, 1e-6);
            EXPECT_NEAR(back[0][i].second, figure[i].y, 1e-6);
        }
    };
    expectDigitized();

    // A parcel of a layer without projection copied into it, shifted.
    const std::vector<Pt> plainRing = squareAt(6322500, 5585500);
    const Box plainBox{6322500, 5585500, 6322600, 5585600};
    const int plain =
        p.addLayer(QStringLiteral("plain"), 5, plainBox, {fixtures::polyContent(5, plainBox, {0}, plainRing)});
    TSelObject entry;
    p.map.MoveObjectRecord(geo, plain, 0, 10, 5, entry);
    ASSERT_EQ(entry.Layer, geo);
    ASSERT_EQ(entry.Index, 1);
    const Poly copy = polyOf(layerRecord(p, QStringLiteral("geo.shp"), geo, 1));
    ASSERT_LT(std::abs(copy.points[0].x), 60);
    expectBoxOfPoints(copy);
    const auto copied = edittest::pointsOf(p.shape(geo, 1));
    ASSERT_EQ(copied[0].size(), plainRing.size());
    for (size_t i = 0; i < plainRing.size(); ++i) {
        EXPECT_NEAR(copied[0][i].first, plainRing[i].x + 10, 1e-6);
        EXPECT_NEAR(copied[0][i].second, plainRing[i].y + 5, 1e-6);
    }

    // And the digitized parcel copied out into the plain layer: stored in the
    // plane, with the box of its points.
    p.map.MoveObjectRecord(plain, geo, 0, 0, 0, entry);
    ASSERT_EQ(entry.Index, 1);
    const Poly out = polyOf(layerRecord(p, QStringLiteral("plain.shp"), plain, 1));
    ASSERT_EQ(out.points.size(), figure.size());
    for (size_t i = 0; i < figure.size(); ++i) {
        EXPECT_NEAR(out.points[i].x, figure[i].x, 1e-6);
        EXPECT_NEAR(out.points[i].y, figure[i].y, 1e-6);
    }
    expectBoxOfPoints(out);

    QFile::remove(p.path(QStringLiteral("updates.mhp")));
    expectDigitized();
}
