// The coordinate list of selected objects: rows, numbering, legs, angles,
// extent, area and perimeter of shapes in memory, and the work table the
// list's template reads.

#include "mapreports/CoordinateList.h"

#include "platform/db/Table.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>

using namespace reports;

namespace {

TShpParts part(std::initializer_list<std::pair<double, double>> points)
{
    TShpParts p;
    for (const auto &[x, y] : points) {
        TShpPoint v;
        v.X = x;
        v.Y = y;
        p.Points.push_back(v);
    }
    return p;
}

TShpObject object(std::initializer_list<TShpParts> parts, int shapeType = 5)
{
    TShpObject o;
    o.ShapeType = shapeType;
    o.Parts = parts;
    return o;
}

// A 10 x 10 square clockwise (an outer ring), starting at its lower left corner.
TShpObject square(double x, double y)
{
    return object({part({{x, y}, {x, y + 10}, {x + 10, y + 10}, {x + 10, y}, {x, y}})});
}

} // namespace

TEST(CoordinateList, ClosedSquareListsFiveRowsAndClosesOnItsFirstNumber)
{
    const CoordinateList list = MakeCoordinateList({square(100, 200)});
    ASSERT_EQ(list.Rows.size(), 5u);
    const double numbers[] = {1, 2, 3, 4, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.Rows[i].Number, numbers[i]) << i;
    EXPECT_DOUBLE_EQ(list.Area, 100);
    EXPECT_DOUBLE_EQ(list.Perimeter, 40);
    // Surveyor's axes: "X" is the shape's y.
    EXPECT_EQ(list.Rows[1].X, 210);
    EXPECT_EQ(list.Rows[1].Y, 100);
    EXPECT_EQ(list.Rows[0].Len, 0);
    EXPECT_DOUBLE_EQ(list.Rows[1].Len, 10);
    // The first leg runs along the shape's y axis: direction 0; the second
    // along its x axis: a quarter turn.
    EXPECT_NEAR(list.Rows[0].DCut, 0, 1e-12);
    EXPECT_NEAR(list.Rows[1].DCut, M_PI / 2, 1e-12);
    // Right angles at every corner (the angle routine nudges an axis-parallel
    // leg by 1e-5 of a unit).
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(list.Rows[i].CutIn, list.Rows[0].CutIn, 0.05) << i;
    EXPECT_TRUE(std::fabs(list.Rows[0].CutIn - 90) < 0.05 || std::fabs(list.Rows[0].CutIn - 270) < 0.05)
        << list.Rows[0].CutIn;
    EXPECT_EQ(list.Rows[4].DCut, list.Rows[0].DCut);
    EXPECT_EQ(list.Rows[4].CutIn, list.Rows[0].CutIn);
    EXPECT_EQ(list.XMin, 100);
    EXPECT_EQ(list.YMin, 200);
    EXPECT_EQ(list.XMax, 110);
    EXPECT_EQ(list.YMax, 210);
}

TEST(CoordinateList, AHoleIsTakenAwayFromTheArea)
{
    // Outer ring clockwise, the 2 x 2 hole counter-clockwise, as shapes store them.
    const TShpObject withHole = object({part({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}),
                                        part({{4, 4}, {6, 4}, {6, 6}, {4, 6}, {4, 4}})});
    const CoordinateList list = MakeCoordinateList({withHole});
    EXPECT_DOUBLE_EQ(list.Area, 96);
    EXPECT_DOUBLE_EQ(list.Perimeter, 48);
    // The hole continues the numbering and closes on its own first number.
    ASSERT_EQ(list.Rows.size(), 10u);
    EXPECT_EQ(list.Rows[5].Number, 5);
    EXPECT_EQ(list.Rows[9].Number, 5);

    // A ring drawn counter-clockwise alone still has its area.
    const CoordinateList ccw = MakeCoordinateList({object({part({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}})})});
    EXPECT_DOUBLE_EQ(ccw.Area, 100);
}

TEST(CoordinateList, ACornerAtTheOriginIsAPointLikeAnyOther)
{
    const CoordinateList list = MakeCoordinateList({square(0, 0)});
    EXPECT_DOUBLE_EQ(list.Perimeter, 40);
    EXPECT_DOUBLE_EQ(list.Area, 100);
    EXPECT_EQ(list.Rows[4].Number, 1);
    EXPECT_EQ(list.Rows[4].CutIn, list.Rows[0].CutIn);
    EXPECT_NEAR(list.Rows[0].CutIn, list.Rows[1].CutIn, 0.05);
    EXPECT_EQ(list.XMin, 0);
    EXPECT_EQ(list.YMin, 0);
    EXPECT_EQ(list.XMax, 10);

    // The extent takes a 0 lying between other values too.
    const CoordinateList line = MakeCoordinateList({object({part({{-5, 3}, {0, 0}, {5, 3}})}, 3)});
    EXPECT_EQ(line.XMin, -5);
    EXPECT_EQ(line.YMin, 0);
    EXPECT_EQ(line.YMax, 3);
}

TEST(CoordinateList, OpenLinesAndSeveralObjects)
{
    const TShpObject line = object({part({{0, 0}, {10, 0}, {10, 10}})}, 3);
    const CoordinateList list = MakeCoordinateList({line, square(100, 100)});
    ASSERT_EQ(list.Rows.size(), 8u);
    // An open line's end is a vertex of its own: it gets its own number.
    const double numbers[] = {1, 2, 3, 4, 5, 6, 7, 4};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(list.Rows[i].Number, numbers[i]) << i;
    EXPECT_EQ(list.Rows[0].CutIn, 0);
    EXPECT_NE(list.Rows[1].CutIn, 0);
    EXPECT_EQ(list.Rows[2].CutIn, 0);
    EXPECT_DOUBLE_EQ(list.Perimeter, 20 + 40);
    EXPECT_EQ(list.XMin, 0);
    EXPECT_EQ(list.XMax, 110);

    // Two rings one after another in one part: the step between them is no leg.
    const TShpObject twoRings =
        object({part({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}, {20, 0}, {20, 10}, {30, 10}, {30, 0}, {20, 0}})});
    EXPECT_DOUBLE_EQ(MakeCoordinateList({twoRings}).Perimeter, 80);
}

TEST(CoordinateList, WorkTableHoldsTheRowsAndIsReplacedEachTime)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("points.db"));
    WriteCoordinateTable(path, MakeCoordinateList({square(100, 200)}).Rows);

    // The list's template asks for "Points.db".
    platform::db::Table table;
    table.setDatabaseName(dir.path());
    table.setTableName(QStringLiteral("Points.db"));
    table.open();
    ASSERT_EQ(table.recordCount(), 5);
    const QStringList fields = {"Number", "Name", "X", "Y", "W", "H", "Len", "DCut", "CutIn"};
    for (int f = 0; f < fields.size(); ++f)
        EXPECT_EQ(table.fieldDefs()[f].name, fields[f]);
    table.first();
    table.next();
    EXPECT_EQ(table.fieldByName(u"Number").asFloat(), 2);
    EXPECT_EQ(table.fieldByName(u"X").asFloat(), 210);
    EXPECT_EQ(table.fieldByName(u"Len").asFloat(), 10);
    EXPECT_EQ(table.fieldByName(u"Name").asString(), "");
    table.close();

    WriteCoordinateTable(path, {});
    table.open();
    EXPECT_EQ(table.recordCount(), 0);
}

// Rings one after another in one part: the count of legs goes on after a
// ring closes, so the next ring's first vertex gets the leg from the closing
// vertex and the closing vertex the direction of that leg; the next ring
// closes on its own first vertex's values.
TEST(CoordinateList, TheNextRingOfAPartStartsWithALeg)
{
    const TShpObject twoRings = object({part({{100, 100}, {100, 110}, {110, 110}, {110, 100}, {100, 100},
                                              {120, 100}, {120, 110}, {130, 110}, {130, 100}, {120, 100}})});
    const CoordinateList list = MakeCoordinateList({twoRings});
    ASSERT_EQ(list.Rows.size(), 10u);
    EXPECT_DOUBLE_EQ(list.Rows[5].Len, 20);
    EXPECT_NEAR(list.Rows[4].DCut, M_PI / 2, 1e-12) << "the closing vertex keeps a copy of the ring's first direction";
    EXPECT_DOUBLE_EQ(list.Rows[6].Len, 10);
    EXPECT_NEAR(list.Rows[9].DCut, list.Rows[5].DCut, 1e-12);
    EXPECT_NEAR(list.Rows[5].DCut, 0, 1e-12);
    EXPECT_EQ(list.Rows[9].CutIn, list.Rows[5].CutIn);
    EXPECT_NEAR(list.Rows[6].CutIn, list.Rows[5].CutIn, 0.05);
    // The step between the rings is no leg of the perimeter.
    EXPECT_DOUBLE_EQ(list.Perimeter, 80);
}
