// Writing into layers with a projection: a committed figure (digitized in map
// coordinates) is stored in the layer's own coordinates and reads back where
// it was digitized; a selection saved as a new layer (which has no
// projection) is written in map coordinates.

#include "EditFixtures.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

using editfix::EditProject;
using fixtures::Box;
using fixtures::Pt;

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

constexpr double k = 57.29577951308232;

// A made-up projection that turns the axes (radians in, projected out):
// x = 500000 + 1e6 (λ - φ/10), y = 100000 + 1e6 (λ/10 + φ). Being turned,
// a box converted by its corners misses corners of the shape either way.
struct TurnProjection : IProjection {
    void forward(double &x, double &y) override
    {
        const double l = x, p = y;
        x = 5e5 + 1e6 * (l - p / 10);
        y = 1e5 + 1e6 * (l / 10 + p);
    }
    void inverse(double &x, double &y) override
    {
        const double u = (x - 5e5) / 1e6, v = (y - 1e5) / 1e6;
        x = (u + v / 10) / 1.01;
        y = (v - u / 10) / 1.01;
    }
};
struct TurnLibrary : ILayerProjection {
    std::unique_ptr<IProjection> setUp(const QString &definition) override
    {
        if (!definition.contains(u8("+proj=turn")))
            return nullptr;
        return std::make_unique<TurnProjection>();
    }
};

// The conversion as the layer applies it: projected values to degrees,
// degrees to projected.
Pt toDegrees(double x, double y)
{
    const double u = (x - 5e5) / 1e6, v = (y - 1e5) / 1e6;
    return {(u + v / 10) / 1.01 * k, (v - u / 10) / 1.01 * k};
}
Pt toProjected(double lon, double lat)
{
    const double l = lon / k, p = lat / k;
    return {5e5 + 1e6 * (l - p / 10), 1e5 + 1e6 * (l / 10 + p)};
}
Pt stored(double x, double y) { return std::abs(x) > 60 || std::abs(y) > 60 ? toDegrees(x, y) : toProjected(x, y); }

double le(const QByteArray &b, qsizetype at)
{
    double v = 0;
    std::memcpy(&v, b.constData() + at, 8);
    return v;
}
std::int32_t le32(const QByteArray &b, qsizetype at)
{
    std::int32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

// The points and the box of the first record content of a file (byte 108 on),
// by the layer's shape type.
struct Stored {
    std::vector<Pt> points;
    Box box;
};
Stored firstRecord(const QByteArray &file, std::int32_t shapeType)
{
    Stored s;
    const qsizetype c = 108;
    if (shapeType == 1) {
        s.points = {{le(file, c + 4), le(file, c + 12)}};
        s.box = {s.points[0].x, s.points[0].y, s.points[0].x, s.points[0].y};
        return s;
    }
    const bool text = shapeType == 8;
    const qsizetype boxAt = c + (text ? 360 : 4), countsAt = c + (text ? 424 : 36);
    const qsizetype pointsAt = c + (text ? 432 : 44) + 4 * qsizetype(le32(file, countsAt));
    const int stride = text ? 24 : 16;
    s.box = {le(file, boxAt), le(file, boxAt + 8), le(file, boxAt + 16), le(file, boxAt + 24)};
    for (std::int32_t i = 0; i < le32(file, countsAt + 4); ++i)
        s.points.push_back({le(file, pointsAt + stride * i), le(file, pointsAt + stride * i + 8)});
    return s;
}

Box boxOfPoints(const std::vector<Pt> &points)
{
    Box b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Pt &p : points) {
        b.xMin = std::min(b.xMin, p.x);
        b.yMin = std::min(b.yMin, p.y);
        b.xMax = std::max(b.xMax, p.x);
        b.yMax = std::max(b.yMax, p.y);
    }
    return b;
}

std::vector<Pt> pointsOf(const TShpObject &s)
{
    std::vector<Pt> out;
    for (const TShpParts &part : s.Parts)
        for (const TShpPoint &p : part.Points)
            out.push_back({p.X, p.Y});
    return out;
}

void expectNear(const Pt &a, const Pt &b, double tolerance, const char *what)
{
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
}

// A square of 100 m in map units (on the map ~936 km east, ~1025 km north).
const std::vector<Pt> square = {{936000, 1025000}, {936100, 1025000}, {936100, 1025100}, {936000, 1025100}};

} // namespace

TEST(ProjectedWrites, ACommittedFigureIsStoredInTheLayersOwnCoordinates)
{
    struct Case {
        const char *name;
        std::int32_t shapeType;
        Byte kind;
        const char *definition;   // nullptr: no projection
        std::vector<Pt> figure;   // in map coordinates
        bool converted;
    };
    const std::vector<Case> cases = {
        {"polygon stored in degrees", 5, 0, "+proj=turn", square, true},
        {"line stored projected, the map in degrees", 3, 0, "+proj=turn", {{30.1, 50.2}, {30.2, 50.25}, {30.15, 50.3}},
         true},
        {"point stored in degrees", 1, 0, "+proj=turn", {{936050, 1025050}}, true},
        {"polygon of a text layer", 8, okPolygon, "+proj=turn", square, true},
        {"text stored in degrees", 8, okText, "+proj=turn", {{936050, 1025050}}, true},
        {"no projection: stored as given", 5, 0, nullptr, square, false},
        {"a projection the library refuses: stored as given", 5, 0, "+proj=unknown", square, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject p;
        TurnLibrary library;
        p.core.setProjectionLibrary(&library);
        const int l = p.addLayer(u8("a"), c.shapeType);
        TMapLayer &L = p.core.Project().Layers[static_cast<size_t>(l)];
        if (c.definition) {
            L.VykProject = true;
            L.StrProject = u8(c.definition);
        }
        p.core.NewObject().clearFigure();
        for (const Pt &pt : c.figure) {
            TNewPoint np;
            np.Point.X = pt.x;
            np.Point.Y = pt.y;
            p.core.NewObject().Points.push_back(np);
        }
        p.core.NewObject().Kind = c.kind;
        ASSERT_TRUE(p.core.CommitNewObject(l, true, true));

        // The figure as it reads back: the ring of a polygon record closed.
        std::vector<Pt> figure = c.figure;
        if (c.shapeType == 5)
            figure.push_back(figure.front());
        Box mapBox = boxOfPoints(c.figure);
        if (c.kind == okText)
            mapBox = {mapBox.xMin - 20, mapBox.yMin - 20, mapBox.xMax + 20, mapBox.yMax + 20};

        // The stored values are the layer's.
        const QByteArray shp = p.read(u8("a.shp"));
        const Stored s = firstRecord(shp, c.shapeType);
        ASSERT_EQ(s.points.size(), figure.size());
        for (size_t i = 0; i < s.points.size(); ++i) {
            if (c.converted) {
                const Pt want = stored(figure[i].x, figure[i].y);
                expectNear(s.points[i], want, 1e-9 * std::max(1.0, std::abs(want.x)), "stored point");
            } else {
                EXPECT_EQ(s.points[i].x, figure[i].x);
                EXPECT_EQ(s.points[i].y, figure[i].y);
            }
        }
        // The record's box: that of its points; a text's widened box by its
        // corners; without a conversion, the figure's box to the bit.
        Box want = mapBox;
        if (c.converted && c.kind == okText) {
            const Pt lo = stored(mapBox.xMin, mapBox.yMin), hi = stored(mapBox.xMax, mapBox.yMax);
            want = {lo.x, lo.y, hi.x, hi.y};
        } else if (c.converted) {
            want = boxOfPoints(s.points);
        }
        EXPECT_DOUBLE_EQ(s.box.xMin, want.xMin);
        EXPECT_DOUBLE_EQ(s.box.yMin, want.yMin);
        EXPECT_DOUBLE_EQ(s.box.xMax, want.xMax);
        EXPECT_DOUBLE_EQ(s.box.yMax, want.yMax);
        // The file's header box is the record's; extent, block and selection
        // stay in map coordinates.
        EXPECT_EQ(le(shp, 36), s.box.xMin);
        EXPECT_EQ(le(shp, 44), s.box.yMin);
        EXPECT_EQ(le(shp, 52), s.box.xMax);
        EXPECT_EQ(le(shp, 60), s.box.yMax);
        EXPECT_EQ(L.MtMinX, mapBox.xMin);
        EXPECT_EQ(L.MtMaxY, mapBox.yMax);
        ASSERT_EQ(L.Blocks.size(), 1u);
        EXPECT_EQ(L.Blocks[0].XMin, mapBox.xMin);
        EXPECT_EQ(L.Blocks[0].YMax, mapBox.yMax);
        ASSERT_EQ(p.engine.selection.Entries.size(), 1u);
        EXPECT_EQ(p.engine.selection.Entries[0].XMax, mapBox.xMax);
        EXPECT_EQ(p.engine.selection.Entries[0].YMin, mapBox.yMin);

        // The journal holds the stored values too.
        const Stored j = firstRecord(p.read(u8("updates.mhp")), c.shapeType);
        ASSERT_EQ(j.points.size(), s.points.size());
        for (size_t i = 0; i < s.points.size(); ++i) {
            EXPECT_EQ(j.points[i].x, s.points[i].x);
            EXPECT_EQ(j.points[i].y, s.points[i].y);
        }

        // Read back, from the journal and from the layer file: where it was
        // digitized.
        for (const bool journal : {true, false}) {
            SCOPED_TRACE(journal ? "from the journal" : "from the layer file");
            if (!journal)
                QFile::remove(p.path(u8("updates.mhp")));
            TShpObject back;
            p.core.ReadObject(l, 0, back);
            const std::vector<Pt> got = pointsOf(back);
            ASSERT_EQ(got.size(), s.points.size());
            for (size_t i = 0; i < got.size(); ++i)
                expectNear(got[i], figure[i], 1e-6, "read back");
        }
    }
}

TEST(ProjectedWrites, ASavedSelectionIsWrittenInMapCoordinates)
{
    EditProject p;
    TurnLibrary library;
    p.core.setProjectionLibrary(&library);
    // A parcel stored in degrees, and one of a layer without projection.
    const std::vector<Pt> ring = {{30.0, 50.0}, {30.01, 50.0}, {30.01, 50.01}, {30.0, 50.01}, {30.0, 50.0}};
    const fixtures::Layer geo =
        fixtures::layer(5, {30, 50, 30.01, 50.01}, {fixtures::polyContent(5, {30, 50, 30.01, 50.01}, {0}, ring)});
    p.dir.write(u8("geo.shp"), geo.shp);
    p.dir.write(u8("geo.shx"), geo.shx);
    p.dir.write(u8("geo.dbf"), editfix::templateDbf({editfix::row("7", "20200101", "geo", "")}));
    const int g = p.openLayer(u8("geo"));
    p.core.Project().Layers[static_cast<size_t>(g)].VykProject = true;
    p.core.Project().Layers[static_cast<size_t>(g)].StrProject = u8("+proj=turn");
    const QByteArray plainContent = fixtures::polyContent(
        5, {936000, 1025000, 936100, 1025100}, {0}, {square[0], square[1], square[2], square[3], square[0]});
    const fixtures::Layer plain = fixtures::layer(5, {936000, 1025000, 936100, 1025100}, {plainContent});
    p.dir.write(u8("plain.shp"), plain.shp);
    p.dir.write(u8("plain.shx"), plain.shx);
    p.dir.write(u8("plain.dbf"), editfix::templateDbf({editfix::row("1", "20200101", "plain", "")}));
    const int q = p.openLayer(u8("plain"));

    TShpObject geoOnMap;
    p.core.ReadObject(g, 0, geoOnMap);
    const std::vector<Pt> geoPoints = pointsOf(geoOnMap);
    for (size_t i = 0; i < ring.size(); ++i)
        expectNear(geoPoints[i], toProjected(ring[i].x, ring[i].y), 1e-6, "fixture");

    p.dir.write(u8("out.shp"), editfix::emptyShape(5));
    p.dir.write(u8("out.shx"), editfix::emptyShape(5));
    p.dir.write(u8("out.dbf"), editfix::templateDbf());
    p.engine.selection.Entries.clear();
    for (int layer : {g, q}) {
        TSelObject e;
        e.Layer = layer;
        e.Index = 0;
        p.engine.selection.Entries.push_back(e);
    }
    ASSERT_TRUE(p.core.SaveSelectionAsLayer(p.path(u8("out.shp"))));

    // The projected parcel in map coordinates with the box of its points
    // (the reader's box, its stored corners converted, misses two of them);
    // the other parcel to the bit.
    const QByteArray out = p.read(u8("out.shp"));
    const Stored first = firstRecord(out, 5);
    ASSERT_EQ(first.points.size(), ring.size());
    for (size_t i = 0; i < ring.size(); ++i) {
        EXPECT_EQ(first.points[i].x, geoPoints[i].x);
        EXPECT_EQ(first.points[i].y, geoPoints[i].y);
    }
    const Box pointsBox = boxOfPoints(geoPoints);
    EXPECT_EQ(first.box.xMin, pointsBox.xMin);
    EXPECT_EQ(first.box.yMin, pointsBox.yMin);
    EXPECT_EQ(first.box.xMax, pointsBox.xMax);
    EXPECT_EQ(first.box.yMax, pointsBox.yMax);
    const qsizetype second = 108 + first.points.size() * 16 + 48 + 8;
    EXPECT_EQ(out.mid(second, plainContent.size()), plainContent);
    EXPECT_EQ(out.size(), second + plainContent.size());
    EXPECT_EQ(le(out, 36), std::min(pointsBox.xMin, 936000.0));
    EXPECT_EQ(le(out, 60), std::max(pointsBox.yMax, 1025100.0));

    // Opened as a layer (without projection) the objects are where they were.
    const int o = p.openLayer(u8("out"));
    TShpObject back;
    p.core.ReadObject(o, 0, back);
    const std::vector<Pt> got = pointsOf(back);
    ASSERT_EQ(got.size(), geoPoints.size());
    for (size_t i = 0; i < got.size(); ++i)
        expectNear(got[i], geoPoints[i], 1e-6, "saved parcel");
    p.core.ReadObject(o, 1, back);
    ASSERT_EQ(pointsOf(back).size(), 5u);
    EXPECT_EQ(pointsOf(back)[2].x, square[2].x);
}
