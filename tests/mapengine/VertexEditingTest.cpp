// Inserting, deleting and moving vertices of existing objects, and appending
// track points: the points, the boxes and what reaches the journal.

#include "EditingFixtures.h"

#include <QFile>

#include <functional>

#include <gtest/gtest.h>

using edittest::Project;
using fixtures::Box;
using fixtures::Pt;

namespace {

using Parts = std::vector<std::vector<std::pair<double, double>>>;
using Pixels = std::vector<std::pair<std::int32_t, std::int32_t>>;

// A line of three parts: 3, 2 and 1 points.
const Box lineBox{10, 10, 50, 50};
QByteArray threeParts()
{
    return fixtures::polyContent(3, lineBox, {0, 3, 5}, {{10, 10}, {20, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}});
}
const Parts threePartsPoints{{{10, 10}, {20, 10}, {20, 20}}, {{30, 30}, {40, 40}}, {{50, 50}}};

// A picture of 100 × 50 pixels on 1000..1100 × 1950..2000, three control points.
const Box sheetBox{1000, 1950, 1100, 2000};
QByteArray sheet()
{
    return fixtures::rasterContent(10, sheetBox, "sheet.bmp", 0, 100, 50,
                                   {{1000, 2000, 0, 0}, {1100, 1950, 100, 50}, {1100, 2000, 100, 0}});
}

// The box of the journalled poly record (content offsets 4..36).
Box journalBox(const Project &p, int l, int i)
{
    const QByteArray c = p.journalContent(l, i);
    return {edittest::leDouble(c, 4), edittest::leDouble(c, 12), edittest::leDouble(c, 20),
            edittest::leDouble(c, 28)};
}

void expectBox(const Box &b, double x0, double y0, double x1, double y1)
{
    EXPECT_EQ(b.xMin, x0);
    EXPECT_EQ(b.yMin, y0);
    EXPECT_EQ(b.xMax, x1);
    EXPECT_EQ(b.yMax, y1);
}

} // namespace

TEST(InsertVertex, PositionsCountOverTheWholeObject)
{
    struct Case {
        const char *name;
        bool insert;
        int position;
        Parts after;
        Box box;
    };
    const std::vector<Case> cases = {
        {"insert at 0: first of part 0", true, 0,
         {{{5, 60}, {10, 10}, {20, 10}, {20, 20}}, {{30, 30}, {40, 40}}, {{50, 50}}}, {5, 10, 50, 60}},
        {"insert at 3: first of part 1", true, 3,
         {{{10, 10}, {20, 10}, {20, 20}}, {{5, 60}, {30, 30}, {40, 40}}, {{50, 50}}}, {5, 10, 50, 60}},
        {"insert at 6: beyond the parts", true, 6, threePartsPoints, lineBox},
        {"insert at -1", true, -1, threePartsPoints, lineBox},
        {"delete the last of a 3-point part", false, 2,
         {{{10, 10}, {20, 10}}, {{30, 30}, {40, 40}}, {{50, 50}}}, {10, 10, 50, 50}},
        {"delete the first of part 1", false, 3,
         {{{10, 10}, {20, 10}, {20, 20}}, {{40, 40}}, {{50, 50}}}, {10, 10, 50, 50}},
        {"delete in a 1-point part", false, 5, threePartsPoints, lineBox},
        {"delete the vertex that made the box", false, 0,
         {{{20, 10}, {20, 20}}, {{30, 30}, {40, 40}}, {{50, 50}}}, {20, 10, 50, 50}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        const int l = p.addLayer(QStringLiteral("lines"), 3, lineBox, {threeParts()});
        if (c.insert)
            p.map.InsertVertex(l, 0, c.position, 5, 60);
        else
            p.map.DeleteVertex(l, 0, c.position);
        // Journalled in every case, changed or not.
        EXPECT_NE(p.object(l, 0).JrnOffset, 0);
        EXPECT_TRUE(p.object(l, 0).Modified);
        EXPECT_TRUE(p.layer(l).ObjectsModified);
        EXPECT_EQ(edittest::pointsOf(p.shape(l, 0)), c.after);
        // The journalled box is that of the points.
        const Box b = journalBox(p, l, 0);
        expectBox(b, c.box.xMin, c.box.yMin, c.box.xMax, c.box.yMax);
    }
}

TEST(InsertVertex, AVertexOutsideTheBoxWidensTheBoxTheBlockAndTheSavedRecord)
{
    Project p;
    const int l = p.addLayer(QStringLiteral("lines"), 3, lineBox, {threeParts()});
    p.select(l, 0);
    p.map.InsertVertex(l, 0, 1, 300, -40);
    expectBox(journalBox(p, l, 0), 10, -40, 300, 50);
    const TBlockExtent &block = p.layer(l).Blocks.at(0);
    EXPECT_EQ(block.XMax, 300);
    EXPECT_EQ(block.YMin, -40);
    EXPECT_EQ(p.map.Selection().Entries[0].XMax, 300);

    // Saving writes the record with that box.
    ASSERT_TRUE(p.map.SaveLayer(l));
    const QByteArray shp = p.read(QStringLiteral("lines.shp"));
    EXPECT_EQ(edittest::leDouble(shp, 108 + 4), 10);
    EXPECT_EQ(edittest::leDouble(shp, 108 + 12), -40);
    EXPECT_EQ(edittest::leDouble(shp, 108 + 20), 300);
}

TEST(InsertVertex, ControlPointsOfAPictureKeepTheirPixels)
{
    Project p;
    const int l = p.addLayer(QStringLiteral("images"), 10, sheetBox, {sheet()});
    p.map.DeleteVertex(l, 0, 0);
    TShpObject s = p.shape(l, 0);
    EXPECT_EQ(edittest::pointsOf(s), (Parts{{{1100, 1950}, {1100, 2000}}}));
    EXPECT_EQ(edittest::pixelsOf(s), (Pixels{{100, 50}, {100, 0}}));

    p.map.InsertVertex(l, 0, 1, 1000, 2000);
    s = p.shape(l, 0);
    EXPECT_EQ(edittest::pointsOf(s), (Parts{{{1100, 1950}, {1000, 2000}, {1100, 2000}}}));
    EXPECT_EQ(edittest::pixelsOf(s), (Pixels{{100, 50}, {0, 0}, {100, 0}}));
    // The picture's box is fitted to the control points, not theirs.
    EXPECT_EQ(s.XMin, 1000);
    EXPECT_EQ(s.YMin, 1950);
    EXPECT_EQ(s.XMax, 1100);
    EXPECT_EQ(s.YMax, 2000);
}

TEST(InsertVertex, ALockedLayerIsNotChanged)
{
    Project p;
    const int l = p.addLayer(QStringLiteral("lines"), 3, lineBox, {threeParts()});
    p.layer(l).Edited = false;
    p.map.InsertVertex(l, 0, 0, 5, 5);
    p.map.DeleteVertex(l, 0, 0);
    EXPECT_EQ(p.object(l, 0).JrnOffset, 0);
    EXPECT_FALSE(p.object(l, 0).Modified);
    EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("updates.mhp"))));
    // Indices out of range change nothing either.
    p.layer(l).Edited = true;
    p.map.InsertVertex(l, 1, 0, 5, 5);
    p.map.DeleteVertex(7, 0, 0);
    EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("updates.mhp"))));
}

TEST(InsertVertex, AProjectedLayerKeepsTheStoredValuesOfTheOtherPoints)
{
    Project p;
    edittest::ScaleLibrary library;
    p.map.setProjectionLibrary(&library);
    const Box box{30.1, 50.2, 30.3, 50.45};
    const int l = p.addLayer(QStringLiteral("track"), 3, box,
                             {fixtures::polyContent(3, box, {0}, {{30.1, 50.2}, {30.3, 50.45}})});
    p.layer(l).VykProject = true;
    p.layer(l).StrProject = QStringLiteral("+proj=test");
    // The cursor's map point for the stored point (30.2, 50.3).
    const double k = 1e6 / 57.29577951308232;
    p.map.InsertVertex(l, 0, 1, 30.2 * k, 50.3 * k);
    const QByteArray c = p.journalContent(l, 0);
    ASSERT_EQ(c.size(), 44 + 4 + 3 * 16);
    EXPECT_EQ(edittest::leDouble(c, 48), 30.1);
    EXPECT_EQ(edittest::leDouble(c, 56), 50.2);
    EXPECT_NEAR(edittest::leDouble(c, 64), 30.2, 1e-12);
    EXPECT_NEAR(edittest::leDouble(c, 72), 50.3, 1e-12);
    EXPECT_EQ(edittest::leDouble(c, 80), 30.3);
    EXPECT_EQ(edittest::leDouble(c, 88), 50.45);
    // The box in the layer's units too.
    EXPECT_EQ(edittest::leDouble(c, 4), 30.1);
    EXPECT_EQ(edittest::leDouble(c, 28), 50.45);
}

TEST(MoveVertex, EachSelectedObjectMovesItsPickedVertex)
{
    Project p;
    const QByteArray a = fixtures::polyContent(3, Box{10, 10, 30, 10}, {0}, {{10, 10}, {20, 10}, {30, 10}});
    const QByteArray b = fixtures::polyContent(3, Box{100, 100, 100, 200}, {0}, {{100, 100}, {100, 200}});
    const int l = p.addLayer(QStringLiteral("lines"), 3, Box{}, {a, b});
    const int locked = p.addLayer(QStringLiteral("locked"), 3, Box{}, {a});
    p.layer(locked).Edited = false;
    p.select(l, 0, 1);
    p.select(l, 1, 0);
    p.select(locked, 0, 0);
    EXPECT_TRUE(p.map.MoveVertex(TMapPoint{50, 60, 0}, Qt::NoModifier));
    EXPECT_EQ(edittest::pointsOf(p.shape(l, 0)), (Parts{{{10, 10}, {50, 60}, {30, 10}}}));
    EXPECT_EQ(edittest::pointsOf(p.shape(l, 1)), (Parts{{{50, 60}, {100, 200}}}));
    expectBox(journalBox(p, l, 0), 10, 10, 50, 60);
    expectBox(journalBox(p, l, 1), 50, 60, 100, 200);
    EXPECT_EQ(p.object(locked, 0).JrnOffset, 0);
    // The pivot is the middle of the last box; blocks and entries follow.
    EXPECT_EQ(p.map.Selection().PivotX, 75);
    EXPECT_EQ(p.map.Selection().PivotY, 130);
    EXPECT_EQ(p.layer(l).Blocks[0].XMin, 10);
    EXPECT_EQ(p.map.Selection().Entries[1].XMin, 50);

    // Only a locked layer: nothing to report.
    p.map.Selection().Entries.erase(p.map.Selection().Entries.begin(), p.map.Selection().Entries.begin() + 2);
    EXPECT_FALSE(p.map.MoveVertex(TMapPoint{1, 1, 0}, Qt::NoModifier));
}

TEST(MoveVertex, AltAddsAVertexAfterThePickedOne)
{
    for (const Byte mapType : {Byte(1), Byte(0)}) {
        SCOPED_TRACE(mapType);
        Project p;
        const int l = p.addLayer(QStringLiteral("lines"), 3, lineBox, {threeParts()});
        p.layer(l).MapType = mapType;
        p.select(l, 0, 3);
        EXPECT_TRUE(p.map.MoveVertex(TMapPoint{60, 5, 0}, Qt::AltModifier));
        if (mapType == 0) {
            // A plain layer of the old kind takes no vertex this way.
            EXPECT_EQ(p.object(l, 0).JrnOffset, 0);
            continue;
        }
        EXPECT_EQ(edittest::pointsOf(p.shape(l, 0)),
                  (Parts{{{10, 10}, {20, 10}, {20, 20}}, {{30, 30}, {60, 5}, {40, 40}}, {{50, 50}}}));
        expectBox(journalBox(p, l, 0), 10, 5, 60, 50);
    }
}

TEST(MoveVertex, CtrlOnAPictureGivesAControlPointANewPixel)
{
    Project p;
    const int l = p.addLayer(QStringLiteral("images"), 10, sheetBox, {sheet()});
    p.select(l, 0, 2);
    // (1080, 1990) lies on pixel column 80, row 10 of the picture as placed.
    EXPECT_TRUE(p.map.MoveVertex(TMapPoint{1080, 1990, 0}, Qt::ControlModifier));
    const TShpObject s = p.shape(l, 0);
    EXPECT_EQ(edittest::pointsOf(s), (Parts{{{1000, 2000}, {1100, 1950}, {1100, 2000}}}));
    EXPECT_EQ(edittest::pixelsOf(s), (Pixels{{0, 0}, {100, 50}, {80, 10}}));
    // Refitted: map steps 200 over pixel steps 200 across, 100 over 100 down.
    const double kx = 200.0 / 200.0, ky = 100.0 / 100.0;
    EXPECT_DOUBLE_EQ(s.XMin, (1000 + (1100 - 100 * kx) + (1100 - 80 * kx)) / 3);
    EXPECT_DOUBLE_EQ(s.XMax, s.XMin + 100 * kx);
    EXPECT_DOUBLE_EQ(s.YMax, (2000 + (1950 + 50 * ky) + (2000 + 10 * ky)) / 3);

    // Without Ctrl the control point moves on the map and keeps its pixel.
    p.map.MoveVertex(TMapPoint{1050, 1975, 0}, Qt::NoModifier);
    EXPECT_EQ(edittest::pointsOf(p.shape(l, 0)), (Parts{{{1000, 2000}, {1100, 1950}, {1050, 1975}}}));
    EXPECT_EQ(edittest::pixelsOf(p.shape(l, 0)), (Pixels{{0, 0}, {100, 50}, {80, 10}}));
}

TEST(MoveVertex, ABoundOfExactlyZeroIsTakenAsUnset)
{
    Project p;
    const int l = p.addLayer(QStringLiteral("lines"), 3, Box{0, 5, 10, 15},
                             {fixtures::polyContent(3, Box{0, 5, 10, 15}, {0}, {{0, 5}, {10, 15}})});
    p.select(l, 0, 1);
    p.map.MoveVertex(TMapPoint{10, 15, 0}, Qt::NoModifier);
    expectBox(journalBox(p, l, 0), 10, 5, 10, 15);
}

TEST(AppendTrackPoint, PointsGoToTheLastPartOfAnyLayer)
{
    Project p;
    const QByteArray empty = fixtures::polyContent(3, Box{}, {}, {});
    const QByteArray twoParts = fixtures::polyContent(3, Box{0, 0, 100, 100}, {0, 2},
                                                      {{0, 0}, {100, 100}, {50, 50}, {60, 60}});
    const int l = p.addLayer(QStringLiteral("tracks"), 3, Box{}, {empty, twoParts});
    p.layer(l).Edited = false; // tracking goes on in a locked layer
    p.map.AppendTrackPoint(l, 0, QStringLiteral("+79001234567"), 500, 700, 0);
    EXPECT_EQ(edittest::pointsOf(p.shape(l, 0)), (Parts{{{500, 700}}}));
    expectBox(journalBox(p, l, 0), 500, 700, 500, 700);
    p.map.AppendTrackPoint(l, 0, QString(), 510, 690, 0);
    EXPECT_EQ(edittest::pointsOf(p.shape(l, 0)), (Parts{{{500, 700}, {510, 690}}}));
    expectBox(journalBox(p, l, 0), 500, 690, 510, 700);
    EXPECT_GE(p.layer(l).Blocks[0].XMax, 510);

    // The box covers every part, not only the one extended.
    p.map.AppendTrackPoint(l, 1, QString(), 70, 40, 0);
    EXPECT_EQ(edittest::pointsOf(p.shape(l, 1)), (Parts{{{0, 0}, {100, 100}}, {{50, 50}, {60, 60}, {70, 40}}}));
    expectBox(journalBox(p, l, 1), 0, 0, 100, 100);

    // Out of range: nothing.
    const QByteArray journal = p.read(QStringLiteral("updates.mhp"));
    p.map.AppendTrackPoint(l, 2, QString(), 1, 1, 0);
    p.map.AppendTrackPoint(-1, 0, QString(), 1, 1, 0);
    EXPECT_EQ(p.read(QStringLiteral("updates.mhp")), journal);
}

TEST(VertexEditing, HeightsAndMeasuresStayWithTheirVertices)
{
    // A line with heights and measures (as another program writes type 13
    // with both blocks): Z 777, 778, 779 and M the same. Whatever changes,
    // each vertex keeps its own; a new one takes those of the vertex it
    // follows, or of the one it precedes when first.
    const std::vector<Pt> line = {{10, 10}, {20, 10}, {30, 20}};
    struct Case {
        const char *name;
        std::function<void(Project &, int)> edit;
        std::vector<double> z;   // M alike
    };
    const std::vector<Case> cases = {
        {"insert first", [](Project &p, int l) { p.map.InsertVertex(l, 0, 0, 5, 5); }, {777, 777, 778, 779}},
        {"insert after the second", [](Project &p, int l) { p.map.InsertVertex(l, 0, 2, 25, 15); },
         {777, 778, 778, 779}},
        {"delete the second", [](Project &p, int l) { p.map.DeleteVertex(l, 0, 1); }, {777, 779}},
        {"move the second",
         [](Project &p, int l) {
             p.select(l, 0, 1);
             p.map.MoveVertex(TMapPoint{22, 12, 0}, Qt::NoModifier);
         },
         {777, 778, 779}},
        {"add after the first with Alt",
         [](Project &p, int l) {
             p.select(l, 0, 0);
             p.map.MoveVertex(TMapPoint{15, 8, 0}, Qt::AltModifier);
         },
         {777, 777, 778, 779}},
        {"reverse",
         [](Project &p, int l) {
             p.select(l, 0);
             p.map.ReverseSelection();
         },
         {779, 778, 777}},
        {"a track point", [](Project &p, int l) { p.map.AppendTrackPoint(l, 0, QString(), 40, 30, 0); },
         {777, 778, 779, 779}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        const int l = p.addLayer(QStringLiteral("heights"), 13, {10, 10, 30, 20},
                                 {fixtures::polyContentZM(13, {10, 10, 30, 20}, {0}, line, true, true)});
        c.edit(p, l);
        // As read back from the journal, and as the journal record holds them.
        const TShpObject s = p.shape(l, 0);
        EXPECT_TRUE(s.HasM);
        std::vector<double> z, m;
        for (const TShpPoint &pt : s.Parts.at(0).Points) {
            z.push_back(pt.Z);
            m.push_back(pt.M);
        }
        EXPECT_EQ(z, c.z);
        EXPECT_EQ(m, c.z);
        const QByteArray rec = p.journalContent(l, 0);
        const qsizetype n = static_cast<qsizetype>(c.z.size());
        ASSERT_EQ(rec.size(), 44 + 4 + 16 * n + 2 * (16 + 8 * n));
        const qsizetype zAt = 48 + 16 * n, mAt = zAt + 16 + 8 * n;
        for (qsizetype k = 0; k < n; ++k) {
            EXPECT_EQ(edittest::leDouble(rec, zAt + 16 + 8 * k), c.z[static_cast<size_t>(k)]);
            EXPECT_EQ(edittest::leDouble(rec, mAt + 16 + 8 * k), c.z[static_cast<size_t>(k)]);
        }
    }

    // A new vertex of a picture's control points takes no pixel of its
    // neighbour: its third value is no height.
    Project p;
    const int l = p.addLayer(QStringLiteral("images"), 10, sheetBox, {sheet()});
    p.map.InsertVertex(l, 0, 1, 1050, 1975);
    EXPECT_EQ(edittest::pixelsOf(p.shape(l, 0)), (Pixels{{0, 0}, {0, 0}, {100, 50}, {100, 0}}));
}
