// TransformObjects over layers in a work folder: a whole layer from one zone
// to the next (the saved file checked with cs2cs), undo, a selection shifted
// far away (still found by blocks), rounding and boxes, raster objects,
// refusals that change nothing, the extents of whole-layer runs, a layer
// with an on-the-fly projection, and long runs converted in several threads
// as one pass in order would convert them.

#include "EngineFixtures.h"

#include "geodesy/LayerProjection.h"
#include "geodesy/PointTransform.h"
#include "raster/RasterObject.h"
#include "mapengine/RenderJob.h"
#include "support/Cs2cs.h"
#include "support/ScriptedAnswers.h"

#include <QFileInfo>

#include <array>

#include <gtest/gtest.h>

using namespace maptest;
using fixtures::Pt;

namespace {

const QString zone6 = QStringLiteral(" +proj=tmerc +ellps=krass +lon_0=33d00E +k=1 +x_0=6500000");
const QString zone5 = QStringLiteral(" +proj=tmerc +ellps=krass +lon_0=27d00E +k=1 +x_0=5500000");

QByteArray line(const std::vector<Pt> &points, const std::vector<std::int32_t> &starts = {0})
{
    double x0 = points[0].x, y0 = points[0].y, x1 = x0, y1 = y0;
    for (const Pt &p : points) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return fixtures::polyContent(3, {x0, y0, x1, y1}, starts, points);
}

using Points = std::vector<std::pair<double, double>>;

Points pointsOf(const TShpObject &s)
{
    Points out;
    for (const TShpParts &part : s.Parts)
        for (const TShpPoint &p : part.Points)
            out.emplace_back(p.X, p.Y);
    return out;
}

// The points of every poly record of a ".Shp", read at the format's offsets:
// record header 8 bytes, then type 0, box 4, parts 36, points 40, part
// starts 44, points of 16 bytes after them.
std::vector<Points> shpPoints(const QByteArray &shp)
{
    std::vector<Points> out;
    int at = 100;
    while (at + 8 <= shp.size()) {
        const int length = 2 * (static_cast<unsigned char>(shp[at + 4]) << 24 | static_cast<unsigned char>(shp[at + 5]) << 16 |
                                static_cast<unsigned char>(shp[at + 6]) << 8 | static_cast<unsigned char>(shp[at + 7]));
        const int c = at + 8;
        const int parts = le32(shp, c + 36), points = le32(shp, c + 40);
        Points pts;
        for (int i = 0; i < points; ++i)
            pts.emplace_back(leDouble(shp, c + 44 + 4 * parts + 16 * i), leDouble(shp, c + 44 + 4 * parts + 16 * i + 8));
        out.push_back(pts);
        at = c + length;
    }
    return out;
}

TShpObject shapeOf(EngineProject &p, int layer, int index)
{
    TShpObject s;
    p.map.ReadObject(layer, index, s);
    return s;
}

} // namespace

// A polyline layer in zone 6 on the Krassovsky ellipsoid goes to zone 5; the
// saved file holds what cs2cs gives for the same definitions.
TEST(LayerTransform, AWholeLayerGoesToTheNextZoneAsCs2csHasIt)
{
    if (!testsupport::haveCs2cs())
        GTEST_SKIP() << "cs2cs is not installed (package proj-bin)";
    EngineProject p;
    const std::vector<std::vector<Pt>> lines = {
        {{6400000, 5600000}, {6400100.25, 5600050.5}, {6401000, 5601000}, {6402000.125, 5600000.75}},
        {{6500000, 5540944.4676}, {6312345.678, 6012345.678}},
    };
    const int l = p.addLayer(QStringLiteral("roads"), 3, {line({lines[0][0], lines[0][1], lines[0][2], lines[0][3]}, {0, 2}),
                                                         line(lines[1])});
    p.map.Project().ActiveLayer = l;
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkProjections, 0, 1, 0, 0, 1, 0, zone6, zone5));
    ASSERT_TRUE(p.map.SaveLayer(l));

    const std::vector<Points> saved = shpPoints(p.dir.read(QStringLiteral("roads.shp")));
    ASSERT_EQ(saved.size(), 2u);
    for (size_t k = 0; k < lines.size(); ++k) {
        Points in;
        for (const Pt &pt : lines[k])
            in.emplace_back(pt.x, pt.y);
        const Points expected =
            testsupport::cs2cs((zone6 + QStringLiteral(" +to") + zone5).split(u' ', Qt::SkipEmptyParts), in);
        ASSERT_EQ(saved[k].size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(saved[k][i].first, expected[i].first, 1e-3) << k << " " << i;
            EXPECT_NEAR(saved[k][i].second, expected[i].second, 1e-3) << k << " " << i;
        }
    }
    // Reopened, the layer's extent holds the moved lines.
    p.map.RecalcLayer(l);
    EXPECT_LT(p.layer(l).MtMinX, 5830000);
    EXPECT_GT(p.layer(l).MtMinX, 5600000);
    EXPECT_EQ(pointsOf(shapeOf(p, l, 1)), saved[1]);
}

TEST(LayerTransform, UndoPutsBackEveryObjectAsItWas)
{
    EngineProject p;
    const int l = p.addLayer(QStringLiteral("roads"), 3,
                             {line({{6400000, 5600000}, {6400100, 5600050}}), line({{6401000, 5601000}, {6402000, 5600000}}),
                              line({{6500000, 5540944.4676}, {6312345.678, 6012345.678}})});
    const QByteArray shp = p.dir.read(QStringLiteral("roads.shp"));
    const QByteArray shx = p.dir.read(QStringLiteral("roads.shx"));
    std::vector<Points> before;
    for (int i = 0; i < 3; ++i)
        before.push_back(pointsOf(shapeOf(p, l, i)));

    p.map.Project().ActiveLayer = l;
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkProjections, 4, 1, 0, 0, 1, 0, zone6, zone5));
    EXPECT_EQ(p.map.JournalPos(), 3);
    EXPECT_NE(pointsOf(shapeOf(p, l, 0)), before[0]);
    for (int i = 0; i < 3; ++i)
        p.map.UndoEdit();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pointsOf(shapeOf(p, l, i)), before[i]) << i;
    // Saved now, the records are the original bytes again.
    ASSERT_TRUE(p.map.SaveLayer(l));
    EXPECT_EQ(p.dir.read(QStringLiteral("roads.shp")).mid(100), shp.mid(100));
    EXPECT_EQ(p.dir.read(QStringLiteral("roads.shx")).mid(100), shx.mid(100));
}

// A selection shifted by a million keeps its blocks and its layer's extent
// true: the moved objects are drawn and picked where they now are.
TEST(LayerTransform, ASelectionShiftedFarAwayIsStillFound)
{
    EngineProject p;
    const int l = p.addLayer(QStringLiteral("roads"), 3,
                             {line({{960, 1000}, {970, 1010}}), line({{1000, 1000}, {1010, 1020}})});
    p.select(l, 1);
    // Shift DX to the northing (y), DY to the easting (x).
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 1000000, 2000000, 1, 0, {}, {}));

    EXPECT_EQ(pointsOf(shapeOf(p, l, 1)), (Points{{2001000, 1001000}, {2001010, 1001020}}));
    EXPECT_EQ(pointsOf(shapeOf(p, l, 0)), (Points{{960, 1000}, {970, 1010}}));
    const TBlockExtent &b = p.layer(l).Blocks[0];
    EXPECT_EQ(b.XMax, 2001010);
    EXPECT_EQ(b.YMax, 1001020);
    EXPECT_EQ(b.XMin, 960);
    EXPECT_EQ(p.layer(l).MtMaxX, 2001010);
    EXPECT_EQ(p.layer(l).MtMaxY, 1001020);
    // The entry and the selection's extent, centre and pivot follow.
    const TSelObject &e = p.map.Selection().Entries.front();
    EXPECT_EQ(e.XMin, 2001000);
    EXPECT_EQ(e.YMax, 1001020);
    EXPECT_EQ(p.map.Selection().CenterX, 2001005);
    EXPECT_EQ(p.map.Selection().PivotY, 1001010);
    EXPECT_TRUE(p.object(l, 1).Modified);
    EXPECT_TRUE(p.layer(l).ObjectsModified);

    // A redraw over its new place draws it (the job passes over blocks
    // whose extent misses the view), and picking finds it there.
    p.map.SetCentreX(2001005);
    p.map.SetCentreY(1001010);
    mapengine::RenderJob(p.map).Run({l});
    EXPECT_TRUE(p.object(l, 1).Shown);
    EXPECT_FALSE(p.object(l, 0).Shown);
    p.map.SelectInRectangle({}, 2000990, 1000990, 2001020, 1001030, {l});
    ASSERT_EQ(p.map.Selection().Entries.size(), 1u);
    EXPECT_EQ(p.map.Selection().Entries.front().Index, 1);
    p.map.SetCentre(1000, 1000);
    mapengine::RenderJob(p.map).Run({l});
    p.map.SelectInRectangle({}, 995, 995, 1015, 1025, {l});
    EXPECT_TRUE(p.map.Selection().Entries.empty());
}

TEST(LayerTransform, KeysRoundStoredValuesAndBoxTheUnroundedOnes)
{
    EngineProject p;
    const int l = p.addLayer(QStringLiteral("roads"), 3, {line({{1000.1234, 2000.5678}, {1010, 2010}})});
    p.select(l, 0);
    // A quarter turn (X' = -Y, Y' = X) with shifts, rounded to 2 decimals.
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkKey, 2, 1, 0.00511, 0.00511, 0, 1, {}, {}));
    // x' = x cos + y sin + DY = y + DY; y' = y cos - x sin + DX = -x + DX.
    const QByteArray rec = p.journalContent(l, 0);
    EXPECT_NEAR(leDouble(rec, 4), 2000.57291, 1e-9);   // box: xmin before rounding
    EXPECT_NEAR(leDouble(rec, 12), -1009.99489, 1e-9); // ymin
    EXPECT_DOUBLE_EQ(leDouble(rec, 48), 2000.57);     // first point, rounded
    EXPECT_DOUBLE_EQ(leDouble(rec, 56), -1000.12);
    EXPECT_DOUBLE_EQ(leDouble(rec, 64), 2010.01);
    EXPECT_DOUBLE_EQ(leDouble(rec, 72), -1009.99);
}

// Control points keep their pixels; the picture lies where the moved points
// put it.
TEST(LayerTransform, RasterObjectsAreRefittedToTheirMovedPoints)
{
    EngineProject p;
    const int images = p.addLayer(
        QStringLiteral("images"), 10,
        {fixtures::rasterContent(10, {1000, 995, 1020, 1000}, "pic.bmp", 0, 200, 50,
                                 {{1000, 1000, 0, 0}, {1010, 1000, 100, 0}, {1010, 995, 100, 50}})});
    ASSERT_EQ(p.layer(images).ObjType, otImages);
    p.map.Project().ActiveLayer = images;
    // Twice the scale, no turn.
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkKey, 0, 2, 0, 0, 1, 0, {}, {}));
    const QByteArray rec = p.journalContent(images, 0);
    ASSERT_EQ(rec.size(), 282 + 3 * 24);
    const int pixels[3][2] = {{0, 0}, {100, 0}, {100, 50}};
    TRasterObject fit;
    fit.ImageWidth = 200;
    fit.ImageHeight = 50;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(le32(rec, 282 + 24 * i + 16), pixels[i][0]);
        EXPECT_EQ(le32(rec, 282 + 24 * i + 20), pixels[i][1]);
        fit.Points.push_back({leDouble(rec, 282 + 24 * i), leDouble(rec, 282 + 24 * i + 8), pixels[i][0], pixels[i][1]});
    }
    EXPECT_EQ(fit.Points[1].X, 2020);
    EXPECT_EQ(fit.Points[2].Y, 1990);
    ASSERT_TRUE(raster::fitRasterToControlPoints(fit));
    EXPECT_DOUBLE_EQ(leDouble(rec, 4), fit.XMin);
    EXPECT_DOUBLE_EQ(leDouble(rec, 12), fit.YMin);
    EXPECT_DOUBLE_EQ(leDouble(rec, 20), fit.XMax);
    EXPECT_DOUBLE_EQ(leDouble(rec, 28), fit.YMax);
    EXPECT_DOUBLE_EQ(fit.XMax - fit.XMin, 40); // 200 pixels of 0.2
    EXPECT_DOUBLE_EQ(p.layer(images).MtMaxX, fit.XMax);
}

// A refused definition, and a point the library cannot convert, are shown
// and leave every object, the journal and the extents as they were.
TEST(LayerTransform, RefusalsChangeNothing)
{
    struct Case {
        const char *name;
        int kind;
        QString source, destination;
        const char *messageStart;
    };
    const Case cases[] = {
        {"empty definition", geodesy::tkProjections, {}, zone5, "Ошибка при формировании проекции "},
        {"unknown ellipsoid", geodesy::tkOneProjection, QStringLiteral(" +proj=tmerc +ellps=ITRFMEX"), {},
         "Ошибка при формировании проекции "},
        {"no inverse", geodesy::tkOneProjection, QStringLiteral(" +proj=airy +ellps=WGS84"), {},
         "Ошибка при преобразовании координат "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EngineProject p;
        const int l = p.addLayer(QStringLiteral("roads"), 3,
                                 {line({{6400000, 5600000}, {6400100, 5600050}}), line({{6401000, 5601000}, {6402000, 5600000}})});
        p.map.Project().ActiveLayer = l;
        const std::vector<TBlockExtent> blocks = p.layer(l).Blocks;
        const double maxX = p.layer(l).MtMaxX;
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        EXPECT_FALSE(p.map.TransformObjects(c.kind, 4, 1, 0, 0, 1, 0, c.source, c.destination));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_TRUE(answers.messages()[0].text.startsWith(QString::fromUtf8(c.messageStart)))
            << answers.messages()[0].text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(p.dir.file(QStringLiteral("updates.mhp"))));
        EXPECT_EQ(p.map.JournalPos(), 0);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(p.object(l, i).JrnOffset, 0);
            EXPECT_FALSE(p.object(l, i).Modified);
        }
        EXPECT_FALSE(p.layer(l).ObjectsModified);
        EXPECT_EQ(p.layer(l).Blocks[0].XMax, blocks[0].XMax);
        EXPECT_EQ(p.layer(l).MtMaxX, maxX);
    }
}

// A journal that cannot be written takes none of the changes.
TEST(LayerTransform, AJournalThatCannotBeWrittenTakesNothing)
{
    EngineProject p;
    const int l = p.addLayer(QStringLiteral("roads"), 3,
                             {line({{960, 1000}, {970, 1010}}), line({{1000, 1000}, {1010, 1020}})});
    p.map.Project().ActiveLayer = l;
    const QString mhp = p.dir.write(QStringLiteral("updates.mhp"), QByteArray(100, '\0'));
    QFile::setPermissions(mhp, QFileDevice::ReadOwner);
    const double maxX = p.layer(l).MtMaxX;
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    EXPECT_FALSE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 10, 10, 1, 0, {}, {}));
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_TRUE(answers.messages()[0].text.startsWith(QStringLiteral("Невозможно записать журнал изменений ")));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(p.object(l, i).JrnOffset, 0);
        EXPECT_FALSE(p.object(l, i).Modified);
    }
    EXPECT_FALSE(p.layer(l).ObjectsModified);
    EXPECT_EQ(p.layer(l).MtMaxX, maxX);
    EXPECT_EQ(pointsOf(shapeOf(p, l, 1)), (Points{{1000, 1000}, {1010, 1020}}));
    QFile::setPermissions(mhp, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Without a selection: the current layer, when editable; its extents are
// rebuilt from the moved objects, block by block. Deleted objects stay.
TEST(LayerTransform, WholeLayerRunsRebuildTheLayersExtents)
{
    EngineProject p;
    std::vector<QByteArray> contents;
    for (int i = 0; i < 150; ++i)
        contents.push_back(line({{1000.0 + i, 2000}, {1000.5 + i, 2001}}));
    const int l = p.addLayer(QStringLiteral("many"), 3, contents);
    const int other = p.addLayer(QStringLiteral("other"), 3, {line({{5, 5}, {6, 6}})});
    p.object(l, 149).Deleted = true;

    // Not editable: nothing.
    p.map.Project().ActiveLayer = l;
    p.layer(l).Edited = false;
    EXPECT_FALSE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 10, 20, 1, 0, {}, {}));
    EXPECT_EQ(p.map.JournalPos(), 0);
    p.layer(l).Edited = true;
    p.map.Project().ActiveLayer = 7;
    EXPECT_FALSE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 10, 20, 1, 0, {}, {}));

    p.map.Project().ActiveLayer = l;
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 10, 20, 1, 0, {}, {}));
    EXPECT_EQ(p.map.JournalPos(), 149);
    EXPECT_EQ(p.object(l, 149).JrnOffset, 0);
    const TMapLayer &L = p.layer(l);
    ASSERT_EQ(L.Blocks.size(), 2u);
    EXPECT_EQ(L.Blocks[0].XMin, 1020);
    EXPECT_EQ(L.Blocks[0].XMax, 1119.5);
    EXPECT_EQ(L.Blocks[1].XMin, 1120);
    EXPECT_EQ(L.Blocks[1].XMax, 1168.5); // object 148; the deleted 149 is not in it
    EXPECT_EQ(L.Blocks[1].YMin, 2010);
    EXPECT_EQ(L.Blocks[1].YMax, 2011);
    EXPECT_EQ(L.MtMinX, 1020);
    EXPECT_EQ(L.MtMaxX, 1168.5);
    EXPECT_EQ(L.MtMinY, 2010);
    EXPECT_EQ(L.MtMaxY, 2011);
    EXPECT_EQ(L.CenterX, 1094.25);
    EXPECT_EQ(L.CenterY, 2010.5);
    // Another layer is not touched.
    EXPECT_EQ(pointsOf(shapeOf(p, other, 0)), (Points{{5, 5}, {6, 6}}));

    // Undone object by object, the blocks and the extent come back with the
    // objects ("Все слои" shows where they are); redone, they follow again.
    auto boxes = [&] {
        std::vector<double> out;
        for (const TBlockExtent &b : L.Blocks)
            out.insert(out.end(), {b.XMin, b.YMin, b.XMax, b.YMax});
        out.insert(out.end(), {L.MtMinX, L.MtMinY, L.MtMaxX, L.MtMaxY, L.CenterX, L.CenterY});
        return out;
    };
    const std::vector<double> moved = boxes();
    for (int i = 0; i < 149; ++i)
        p.map.UndoEdit();
    EXPECT_EQ(boxes(), (std::vector<double>{1000, 2000, 1099.5, 2001, 1100, 2000, 1148.5, 2001, 1000, 2000, 1148.5,
                                            2001, 1074.25, 2000.5}));
    p.map.ZoomAll();
    EXPECT_EQ(p.map.Project().MtMaxX, 1148.5);
    EXPECT_EQ(p.map.Project().MtMaxY, 2001);
    for (int i = 0; i < 149; ++i)
        p.map.RedoEdit();
    EXPECT_EQ(boxes(), moved);
}

// Kind 4 decides the direction from the data: a first object in degrees is
// projected, and from the first projected point on everything is taken back
// to degrees.
TEST(LayerTransform, OneProjectionFollowsTheData)
{
    EngineProject p;
    const int l = p.addLayer(QStringLiteral("mixed"), 3,
                             {line({{30.5, 50.4}, {31, 51}}), line({{6400000, 5600000}, {6400000, 5600000}}),
                              line({{33, 50}, {33, 50}})});
    p.map.Project().ActiveLayer = l;
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkOneProjection, 4, 1, 0, 0, 1, 0, zone6, {}));
    const Points first = pointsOf(shapeOf(p, l, 0));
    EXPECT_DOUBLE_EQ(first[0].first, 6322259.7078);
    EXPECT_DOUBLE_EQ(first[0].second, 5588427.0682);
    const Points second = pointsOf(shapeOf(p, l, 1));
    EXPECT_DOUBLE_EQ(second[0].first, 31.5899);
    EXPECT_DOUBLE_EQ(second[0].second, 50.5224);
    // Degrees after a projected point are read as projected too.
    const Points third = pointsOf(shapeOf(p, l, 2));
    EXPECT_LT(third[0].second, 0.01);
}

// A layer shown through a projection is transformed as it is stored.
TEST(LayerTransform, ALayerWithAProjectionIsTransformedAsStored)
{
    EngineProject p;
    class Scale : public IProjection {
    public:
        void forward(double &x, double &y) override { x *= 1e6, y *= 1e6; }
        void inverse(double &x, double &y) override { x /= 1e6, y /= 1e6; }
    };
    class Library : public ILayerProjection {
    public:
        std::unique_ptr<IProjection> setUp(const QString &) override { return std::make_unique<Scale>(); }
    } library;
    p.map.setProjectionLibrary(&library);
    const int l = p.addLayer(QStringLiteral("degrees"), 3, {line({{0.001, 0.002}, {0.003, 0.004}})});
    p.layer(l).VykProject = true;
    p.layer(l).StrProject = QStringLiteral("+proj=scale");
    p.map.RecalcLayer(l);
    ASSERT_NEAR(pointsOf(shapeOf(p, l, 0))[0].first, 0.001 * 1e6 / 57.29577951308232, 1e-9);
    p.map.Project().ActiveLayer = l;
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 0.5, 0.25, 1, 0, {}, {}));
    // Stored: degrees plus the shift; shown: projected once.
    const QByteArray rec = p.journalContent(l, 0);
    EXPECT_DOUBLE_EQ(leDouble(rec, 48), 0.251);
    EXPECT_DOUBLE_EQ(leDouble(rec, 56), 0.502);
    const double f = 1e6 / 57.29577951308232;
    const Points shown = pointsOf(shapeOf(p, l, 0));
    EXPECT_NEAR(shown[0].first, 0.251 * f, 1e-6);
    EXPECT_NEAR(shown[1].second, 0.504 * f, 1e-6);
    EXPECT_NEAR(p.layer(l).MtMaxY, 0.504 * f, 1e-6);
}

namespace {

// A layer long enough to be converted in several threads and read in more
// than one batch (of at most 8,192 objects): short lines in degrees or in
// zone 6, with one line of 3,000 points among them (a piece of a thread
// holds at most 1,024).
constexpr int manyCount = 9000;
std::vector<std::vector<Pt>> manyLines(bool degrees)
{
    std::vector<std::vector<Pt>> out;
    for (int i = 0; i < manyCount; ++i) {
        const int n = i == 700 ? 3000 : 2;
        std::vector<Pt> pts;
        for (int k = 0; k < n; ++k)
            pts.push_back(degrees ? Pt{30 + 0.001 * i + 0.0001 * k, 50 + 0.002 * k}
                                  : Pt{6400000 + 37.5 * i + 3.25 * k, 5600000 + 11.125 * k - 5.5 * i});
        out.push_back(pts);
    }
    return out;
}

// The records a run must give: every point converted one after another
// through one transform, the box of the unrounded values, the stored values
// rounded.
struct Expected {
    std::vector<Points> points;
    std::vector<std::array<double, 4>> boxes;
};

Expected convertInOrder(const geodesy::TransformParams &params, const std::vector<std::vector<Pt>> &lines)
{
    geodesy::PointTransform t(params);
    EXPECT_TRUE(t.setUp());
    Expected out;
    bool first = true;
    for (const std::vector<Pt> &l : lines) {
        Points pts;
        std::array<double, 4> box{};
        for (const Pt &p : l) {
            double x = p.x, y = p.y;
            EXPECT_TRUE(t.apply(x, y, first));
            box = pts.empty() ? std::array<double, 4>{x, y, x, y}
                              : std::array<double, 4>{std::min(box[0], x), std::min(box[1], y),
                                                      std::max(box[2], x), std::max(box[3], y)};
            first = false;
            pts.emplace_back(t.stored(x), t.stored(y));
        }
        out.points.push_back(pts);
        out.boxes.push_back(box);
    }
    return out;
}

} // namespace

// A long run converts in several threads and gives, bit for bit, what one
// transform gives over the points in order: the zone change with rounding,
// and kind 4, whose direction turns in the middle of the long line (its
// 2,000th point is projected) and stays turned for every object after it.
TEST(LayerTransform, ALongRunGivesWhatOnePassInOrderGives)
{
    struct Case {
        const char *name;
        geodesy::TransformParams params;
        bool degrees;
    };
    const Case cases[] = {
        {"zones", {geodesy::tkProjections, 3, 1, 0, 0, 1, 0, zone6, zone5}, false},
        {"kind 4", {geodesy::tkOneProjection, 0, 1, 0, 0, 1, 0, zone6, {}}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<Pt>> lines = manyLines(c.degrees);
        if (c.degrees)
            lines[700][2000] = {6400000, 5600000};
        std::vector<QByteArray> contents;
        for (const std::vector<Pt> &l : lines)
            contents.push_back(line(l));
        EngineProject p;
        const int l = p.addLayer(QStringLiteral("many"), 3, contents);
        p.map.FProject.ActiveLayer = l;
        const geodesy::TransformParams &t = c.params;
        ASSERT_TRUE(p.map.TransformObjects(t.Kind, t.Digits, t.K, t.DX, t.DY, t.CosA, t.SinA, t.Source, t.Destination));

        const Expected expected = convertInOrder(c.params, lines);
        if (c.degrees) {
            EXPECT_GT(expected.points[700][1999].first, 1000); // still degrees in: projected out
            EXPECT_LT(expected.points[700][2001].first, 1000); // taken back to degrees
            EXPECT_LT(expected.points[manyCount - 1][0].first, 1000); // in the second batch too
        }
        const QByteArray mhp = p.dir.read(QStringLiteral("updates.mhp"));
        for (int i = 0; i < manyCount; ++i) {
            const TMapObject &o = p.object(l, i);
            const QByteArray rec = mhp.mid(2 * qsizetype(o.JrnOffset) + 8, 2 * qsizetype(o.JrnLength));
            const size_t n = lines[static_cast<size_t>(i)].size();
            ASSERT_EQ(rec.size(), static_cast<int>(48 + 16 * n)) << i;
            Points got;
            for (size_t k = 0; k < n; ++k)
                got.emplace_back(leDouble(rec, static_cast<int>(48 + 16 * k)), leDouble(rec, static_cast<int>(56 + 16 * k)));
            ASSERT_EQ(got, expected.points[static_cast<size_t>(i)]) << i;
            const std::array<double, 4> box{leDouble(rec, 4), leDouble(rec, 12), leDouble(rec, 20), leDouble(rec, 28)};
            ASSERT_EQ(box, expected.boxes[static_cast<size_t>(i)]) << i;
        }
    }
}

// Of two points that cannot be converted (in two batches), the run names
// the first in the layer's order, however the threads met them, and changes
// nothing.
TEST(LayerTransform, ALongRunStopsAtTheFirstPointThatCannotBeConverted)
{
    std::vector<std::vector<Pt>> lines = manyLines(false);
    // A key of scale 1e300 overflows at eastings of 1e10 only.
    lines[8500][1].x = 1e10;
    lines[700][2500].x = 2e10;
    std::vector<QByteArray> contents;
    for (const std::vector<Pt> &l : lines)
        contents.push_back(line(l));
    EngineProject p;
    const int l = p.addLayer(QStringLiteral("many"), 3, contents);
    p.map.FProject.ActiveLayer = l;
    const double maxX = p.layer(l).MtMaxX;
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    EXPECT_FALSE(p.map.TransformObjects(geodesy::tkKey, 0, 1e-300, 0, 0, 1e300, 0, {}, {}));
    ASSERT_EQ(answers.messages().size(), 1u);
    const QString text = answers.messages()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ошибка при преобразовании координат "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("(слой many, объект 701, "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Y = 2"))) << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(p.dir.file(QStringLiteral("updates.mhp"))));
    EXPECT_EQ(p.object(l, 0).JrnOffset, 0);
    EXPECT_FALSE(p.layer(l).ObjectsModified);
    EXPECT_EQ(p.layer(l).MtMaxX, maxX);
}

// Each text is written with its own style, though a run reads a batch of
// objects before it lays out their records.
TEST(LayerTransform, TextsKeepTheirOwnStyles)
{
    EngineProject p;
    fixtures::TextFields arial, courier;
    arial.text = "one";
    arial.fontName = "Arial";
    arial.box = {990, 990, 1010, 1010};
    courier.text = "two";
    courier.fontName = "Courier New";
    courier.fontSize = 20;
    courier.box = {1990, 990, 2010, 1010};
    const int l = p.addLayer(QStringLiteral("texts"), 8,
                             {fixtures::textContent(arial, {0}, {{1000, 1000}}),
                              fixtures::textContent(courier, {0}, {{2000, 1000}})});
    p.map.FProject.ActiveLayer = l;
    ASSERT_TRUE(p.map.TransformObjects(geodesy::tkShift, 0, 1, 10, 20, 1, 0, {}, {}));
    const QByteArray first = p.journalContent(l, 0), second = p.journalContent(l, 1);
    EXPECT_EQ(first.mid(204, 6), QByteArray("Arial\0", 6));
    EXPECT_EQ(le32(first, 274), 12);
    EXPECT_EQ(second.mid(204, 12), QByteArray("Courier New\0", 12));
    EXPECT_EQ(le32(second, 274), 20);
}
