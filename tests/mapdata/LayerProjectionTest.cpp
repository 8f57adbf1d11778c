#include "mapdata/MapDataCore.h"

#include "LayerFixtures.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace fixtures;

TEST(LayerProjection, DefinitionFromTheLayerFields)
{
    auto fields = [] {
        TMapLayer l;
        l.Transform = true;
        l.Projection = QStringLiteral("tmerc");
        l.Ellipsoid = QStringLiteral("krass");
        l.Longitude = QStringLiteral("33");
        l.Proj_K = 1;
        l.Proj_X = 6500000;
        l.Proj_Y = 0;
        return l;
    };
    struct Case { const char *name; TMapLayer layer; const char *definition; };
    std::vector<Case> cases;
    cases.push_back({"fields", fields(), " +proj=tmerc +ellps=krass +lon_0=33 +k=1 +x_0=6500000"});
    {
        TMapLayer l = fields();
        l.Ellipsoid = QStringLiteral("  ");
        cases.push_back({"no ellipsoid", l, ""});
    }
    {
        TMapLayer l = fields();
        l.Transform = false;
        cases.push_back({"fields without the flag", l, ""});
    }
    {
        TMapLayer l = fields();
        l.Projection = QStringLiteral(" utm ");
        l.Latitude = QStringLiteral(" 0d0N ");
        l.Longitude.clear();
        l.Proj_X = 6500000.5;
        l.Proj_Y = -0.25;
        l.Proj_K = 0;
        cases.push_back({"trimmed texts, fractions, zeros left out", l,
                         " +proj=utm +ellps=krass +lat_0=0d0N +x_0=6500000.5 +y_0=-0.25"});
    }
    {
        TMapLayer l = fields();
        l.VykProject = true;
        l.StrProject = QStringLiteral("+proj=tmerc +towgs84=0,0,0");
        cases.push_back({"full text, then the pieces", l,
                         "+proj=tmerc +towgs84=0,0,0 +proj=tmerc +ellps=krass +lon_0=33 +k=1 +x_0=6500000"});
    }
    {
        TMapLayer l;
        l.VykProject = true;
        l.StrProject = QStringLiteral("+proj=utm +zone=36");
        l.Projection = QStringLiteral("tmerc");
        cases.push_back({"full text only", l, "+proj=utm +zone=36"});
    }
    {
        TMapLayer l = fields();
        l.VykProject = true;
        cases.push_back({"empty full text: the pieces", l, " +proj=tmerc +ellps=krass +lon_0=33 +k=1 +x_0=6500000"});
    }
    for (const Case &c : cases)
        EXPECT_EQ(layerProjectionDefinition(c.layer), QString::fromUtf8(c.definition)) << c.name;
}

namespace {

// A made-up projection: radians times 1000 plus 100000 (so the results count
// as projected), and back. Accepts definitions holding "+proj=fake".
struct FakeProjection : IProjection {
    void forward(double &x, double &y) override
    {
        x = x * 1000 + 100000;
        y = y * 1000 + 100000;
    }
    void inverse(double &x, double &y) override
    {
        x = (x - 100000) / 1000;
        y = (y - 100000) / 1000;
    }
};
struct FakeLibrary : ILayerProjection {
    std::vector<QString> definitions;
    std::unique_ptr<IProjection> setUp(const QString &definition) override
    {
        definitions.push_back(definition);
        if (!definition.contains(QStringLiteral("+proj=fake")))
            return nullptr;
        return std::make_unique<FakeProjection>();
    }
    QString lastError() const override { return QStringLiteral("unknown projection"); }
};

constexpr double k = 57.29577951308232;
double fwd(double degrees) { return degrees / k * 1000 + 100000; }

TMapLayer projected(const QString &fileName, const char *projection = "fake")
{
    TMapLayer l;
    l.FileName = fileName;
    l.Transform = true;
    l.Projection = QString::fromUtf8(projection);
    l.Ellipsoid = QStringLiteral("any");
    return l;
}

} // namespace

TEST(LayerProjection, PointsAreConvertedByTheirSize)
{
    MapDataCore core;
    FakeLibrary lib;
    core.setProjectionLibrary(&lib);
    core.Project().Layers = {projected(QStringLiteral("a.shp")), TMapLayer{},
                            projected(QStringLiteral("b.shp"), "refused")};
    ASSERT_TRUE(core.InitLayerProjection(0));
    EXPECT_EQ(lib.definitions.back(), QStringLiteral(" +proj=fake +ellps=any"));
    struct Case { double x, y, ex, ey; };
    const Case cases[] = {
        {33, 50, fwd(33), fwd(50)},                                  // degrees: forward
        {-60, 60, fwd(-60), fwd(60)},                                 // the limit is still degrees
        {100000 + 1000, 100000, k, 0},                                // projected: inverse to degrees
        {10, 61, (10 - 100000) / 1000.0 * k, (61 - 100000) / 1000.0 * k},  // one coordinate beyond 60
    };
    for (const Case &c : cases) {
        double x = c.x, y = c.y;
        core.ProjectLayerPoint(x, y);
        EXPECT_DOUBLE_EQ(x, c.ex) << c.x << "," << c.y;
        EXPECT_DOUBLE_EQ(y, c.ey) << c.x << "," << c.y;
    }
    core.FreeLayerProjection();
    EXPECT_FALSE(core.LayerProjection());

    // A layer without a projection after a released one: the point stays, and
    // a second release is harmless.
    EXPECT_FALSE(core.InitLayerProjection(1));
    double x = 33, y = 50;
    core.ProjectLayerPoint(x, y);
    EXPECT_EQ(x, 33);
    EXPECT_EQ(y, 50);
    core.FreeLayerProjection();
    core.FreeLayerProjection();

    // A refused definition gives false and no handle; no library: no projection.
    EXPECT_FALSE(core.InitLayerProjection(2));
    EXPECT_FALSE(core.LayerProjection());
    core.setProjectionLibrary(nullptr);
    EXPECT_FALSE(core.InitLayerProjection(0));
    EXPECT_FALSE(core.InitLayerProjection(7));
}

TEST(LayerProjection, ReadersConvertPointsAndBoxCorners)
{
    testsupport::TempFolder dir;
    MapDataCore core;
    FakeLibrary lib;
    core.setProjectionLibrary(&lib);
    core.SetWorkDir(dir.path());
    const Layer files = layer(5, {}, {polyContent(5, {30, 40, 35, 45}, {0}, {{30, 40}, {35, 45}, {30, 45}}),
                                      polyContent(5, {1, 1, 2, 2}, {0}, {{1, 1}, {2, 2}, {1, 2}})});
    for (const char *name : {"geo", "plain"}) {
        dir.write(QString::fromUtf8(name) + QStringLiteral(".shp"), files.shp);
        dir.write(QString::fromUtf8(name) + QStringLiteral(".shx"), files.shx);
    }
    core.Project().Layers = {projected(QStringLiteral("geo.shp")), TMapLayer{}};
    core.Project().Layers[1].FileName = QStringLiteral("plain.shp");
    for (TMapLayer &l : core.Project().Layers)
        for (size_t i = 0; i < 2; ++i) {
            TMapObject o;
            o.ShpOffset = files.offsets[i];
            o.ShpLength = files.lengths[i] * 2;
            l.Objects.push_back(o);
        }

    TShpObject s;
    core.ReadObject(0, 0, s);
    EXPECT_DOUBLE_EQ(s.XMin, fwd(30));
    EXPECT_DOUBLE_EQ(s.YMax, fwd(45));
    ASSERT_EQ(s.Parts.size(), 1u);
    EXPECT_DOUBLE_EQ(s.Parts[0].Points[1].X, fwd(35));
    EXPECT_DOUBLE_EQ(s.Parts[0].Points[2].Y, fwd(45));
    EXPECT_FALSE(core.LayerProjection()); // released at the end of the call

    // The next layer has no projection: its values come back exactly.
    core.ReadObject(1, 0, s);
    EXPECT_EQ(s.XMin, 30);
    EXPECT_EQ(s.Parts[0].Points[1].X, 35);

    // The stream converts heads and points.
    TLayerStream st;
    core.OpenLayerStream(st, 0);
    core.ReadShapeRecord(st, 0, 1);
    EXPECT_DOUBLE_EQ(st.PolyHead.XMax, fwd(2));
    TShpPoint p;
    ASSERT_TRUE(core.ReadShapePoint(st, 0, p, 1));
    ASSERT_TRUE(core.ReadShapePoint(st, 0, p, 1));
    EXPECT_DOUBLE_EQ(p.X, fwd(2));
    core.CloseLayerStream(st);

    // The extents: block corners converted, the layer extent from them. With
    // 100 entries (the others empty) the second block is empty and stays 0.
    core.Project().Layers[0].Objects.resize(100);
    core.RecalcLayerExtents(0);
    const TMapLayer &l = core.Project().Layers[0];
    ASSERT_EQ(l.Blocks.size(), 2u);
    EXPECT_DOUBLE_EQ(l.Blocks[0].XMin, fwd(1));
    EXPECT_DOUBLE_EQ(l.Blocks[0].YMax, fwd(45));
    EXPECT_DOUBLE_EQ(l.MtMinX, fwd(1));
    EXPECT_DOUBLE_EQ(l.MtMaxX, fwd(35));
    EXPECT_EQ(l.Blocks[1].XMin, 0); // the empty block is not converted
    EXPECT_EQ(l.Blocks[1].YMax, 0);
    EXPECT_FALSE(core.LayerProjection());
    core.RecalcLayerExtents(1);
    EXPECT_EQ(core.Project().Layers[1].MtMaxX, 35);
}

TEST(LayerProjection, OpeningAndRecalculationKeepBlocksAndExtentInMapCoordinates)
{
    // Opening, the recalculation after a save and that of the extents give
    // the same map boxes; the headers keep the layer's own units. An empty
    // layer's zero box is not converted into a far point.
    testsupport::TempFolder dir;
    MapDataCore core;
    FakeLibrary lib;
    core.setProjectionLibrary(&lib);
    core.SetWorkDir(dir.path());
    const Layer files = layer(5, {30, 40, 35, 45}, {polyContent(5, {30, 40, 35, 45}, {0}, {{30, 40}, {35, 45}, {30, 45}})});
    dir.write(QStringLiteral("geo.shp"), files.shp);
    dir.write(QStringLiteral("geo.shx"), files.shx);
    const Layer empty = layer(5, {}, {});
    dir.write(QStringLiteral("none.shp"), empty.shp);
    dir.write(QStringLiteral("none.shx"), empty.shx);
    core.Project().Layers = {projected(QStringLiteral("geo.shp")), projected(QStringLiteral("none.shp"))};

    ASSERT_TRUE(core.OpenLayerFiles(0).Read);
    const TMapLayer &l = core.Project().Layers[0];
    auto expectMapBoxes = [&](const char *step) {
        SCOPED_TRACE(step);
        EXPECT_DOUBLE_EQ(l.Blocks[0].XMin, fwd(30));
        EXPECT_DOUBLE_EQ(l.Blocks[0].YMax, fwd(45));
        EXPECT_DOUBLE_EQ(l.MtMinX, fwd(30));
        EXPECT_DOUBLE_EQ(l.MtMaxY, fwd(45));
    };
    expectMapBoxes("open");
    ASSERT_TRUE(core.RecalcLayer(0));
    expectMapBoxes("recalculation");
    EXPECT_EQ(dir.read(QStringLiteral("geo.shp")).mid(36, 32), files.shp.mid(36, 32));
    core.RecalcLayerExtents(0);
    expectMapBoxes("extents");

    ASSERT_TRUE(core.OpenLayerFiles(1).Read);
    EXPECT_EQ(core.Project().Layers[1].MtMinX, 0);
    EXPECT_EQ(core.Project().Layers[1].MtMaxY, 0);
}

TEST(LayerProjection, AProjectionTheLibraryRefusesIsReportedWhenTheLayerOpens)
{
    // The layer opens in its own units, and the user is told which text the
    // library refused and why; a projection it takes says nothing.
    testsupport::TempFolder dir;
    MapDataCore core;
    FakeLibrary lib;
    core.setProjectionLibrary(&lib);
    core.SetWorkDir(dir.path());
    const Layer files = layer(5, {30, 40, 35, 45}, {polyContent(5, {30, 40, 35, 45}, {0}, {{30, 40}, {35, 45}, {30, 45}})});
    for (const char *name : {"geo", "bad"}) {
        dir.write(QString::fromLatin1(name) + QStringLiteral(".shp"), files.shp);
        dir.write(QString::fromLatin1(name) + QStringLiteral(".shx"), files.shx);
    }
    core.Project().Layers = {projected(QStringLiteral("geo.shp")), projected(QStringLiteral("bad.shp"), "nonsense")};
    for (TMapLayer &l : core.Project().Layers)
        l.MapType = mtShapeLayer;

    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    ASSERT_TRUE(core.OpenLayer(QStringLiteral("geo.shp"), 0, false));
    EXPECT_TRUE(answers.messages().empty());
    ASSERT_TRUE(core.OpenLayer(QStringLiteral("bad.shp"), 1, false));
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text,
              QStringLiteral("Неверная проекция слоя bad.shp: +proj=nonsense +ellps=any (unknown projection). "
                             "Слой показан без проекции !"));
    EXPECT_EQ(core.Project().Layers[1].MtMinX, 30);
    EXPECT_DOUBLE_EQ(core.Project().Layers[0].MtMinX, fwd(30));
    for (int i = 0; i < 2; ++i)
        core.RestoreLayerBackup(i, true);
}
