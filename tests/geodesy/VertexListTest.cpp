// The coordinate-list editor's lines, list and rings.

#include "geodesy/VertexList.h"

#include "platform/Environment.h"

#include <gtest/gtest.h>

using namespace georef;

TEST(VertexList, ClipboardLineExactAndReadBack)
{
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    const QString line = formatPointValue(QStringLiteral("1"), QString(), 5500000, 6500000.5, 0);
    EXPECT_EQ(line, QStringLiteral("00001    5500000,000    6500000,500      0,000   "));
    const ParsedPointLine back = parsePointLine(line);
    EXPECT_EQ(back.Number, 1);
    EXPECT_EQ(back.X, 5500000);
    EXPECT_EQ(back.Y, 6500000.5);
    // Tabs, a decimal point and a code.
    const ParsedPointLine typed = parsePointLine(QStringLiteral("7\t12.5  -3,25 1.5 межа extra x y"));
    EXPECT_EQ(typed.Number, 7);
    EXPECT_EQ(typed.X, 12.5);
    EXPECT_EQ(typed.Y, -3.25);
    EXPECT_EQ(typed.Height, 1.5);
    EXPECT_EQ(typed.Code, QStringLiteral("межа"));

    // Under a decimal point the height follows the other numbers.
    platform::ScopedService<platform::DecimalSeparator> point(u'.');
    EXPECT_EQ(formatPointValue(QStringLiteral("12"), QStringLiteral(" K "), 1.5, 2, 1.25),
              QStringLiteral("00012          1.500          2.000      1.250   K"));
}

TEST(VertexList, ListEndsAtZeroAndRingsMakeParts)
{
    const std::vector<VertexRow> rows = {
        {QStringLiteral("1"), QStringLiteral("1")}, {QStringLiteral("2"), QStringLiteral("1")},
        {QStringLiteral("2"), QStringLiteral("2")}, {QStringLiteral("1"), QStringLiteral("1")},
        {QStringLiteral("5"), QStringLiteral("5")}, {QStringLiteral("6"), QStringLiteral("5")},
        {QStringLiteral("6,5"), QStringLiteral("6")}, {QStringLiteral("5"), QStringLiteral("5")},
        {QStringLiteral("0"), QString()},           {QStringLiteral("9"), QStringLiteral("9")}};
    const std::vector<ListVertex> list = vertexList(rows);
    ASSERT_EQ(list.size(), 8u); // the (0, 0) row ends it
    EXPECT_EQ(partStarts(list), (std::vector<int>{0, 4}));
    const auto parts = vertexParts(list);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1].front(), (ListVertex{5, 5}));
    EXPECT_EQ(parts[1].back(), (ListVertex{5, 5}));
}

TEST(VertexList, BoxCountsZeroCoordinates)
{
    // A vertex on the zero easting is a vertex, not an unset side.
    const VertexBox box = vertexBox({{10, 0}, {20, 5}, {15, -3}});
    EXPECT_EQ(box.XMin, -3);
    EXPECT_EQ(box.XMax, 5);
    EXPECT_EQ(box.YMin, 10);
    EXPECT_EQ(box.YMax, 20);
    const VertexBox crossing = vertexBox({{5, 5}, {0, 7}, {3, 2}});
    EXPECT_EQ(crossing.YMin, 0);
    EXPECT_EQ(crossing.XMin, 2);
}
