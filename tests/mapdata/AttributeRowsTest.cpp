#include "mapdata/MapDataCore.h"

#include <gtest/gtest.h>

namespace {

TLegend entry(const char *values, std::int32_t number, std::int32_t code = 0)
{
    TLegend e;
    e.Values = QString::fromUtf8(values);
    e.Number = number;
    e.Code = code;
    return e;
}

} // namespace

TEST(AttributeRows, LegendEntriesMatchValues)
{
    using K = MapFunctions::FieldKind;
    MapDataCore core;
    core.FProject.Layers.resize(2);
    core.FProject.Layers[0].Legend = {
        entry("NULL", 100),
        entry("1,3,5-10", 200),
        entry("-5", 300),
        entry("abc", 400, 77),
        entry("Not Null", 500),
    };
    struct Case { const char *value; K kind; std::int32_t number; };
    const Case cases[] = {
        {"", K::String, 100},        // "null" matches a blank value, in any case
        {"   ", K::Integer, 100},
        {"1", K::Integer, 200},
        {"3", K::Float, 200},
        {"5", K::Currency, 200},
        {"7.5", K::Float, 200},
        {"7,5", K::Float, 200},      // either decimal separator
        {"10", K::Integer, 200},
        {"4", K::Integer, 300},      // not in the list; "-5" is the range 0..5
        {"2", K::Integer, 300},
        {"0", K::Integer, 100},      // the code 0 of the "null" entry
        {"10.5", K::Float, 500},     // beyond both: "not null"
        {"1,3,5-10", K::String, 200},// a string field compares the whole text
        {"7", K::String, 500},
        {"77", K::String, 400},      // the code as decimal text
        {"77", K::SmallInt, 400},    // only integer, float and currency fields read lists
        {"abc", K::String, 400},
        {",", K::Float, 500},        // no number: no range holds it
        {"-", K::Integer, 300},      // reads as 0
    };
    for (const Case &c : cases)
        EXPECT_EQ(core.FindLegendEntry(0, QString::fromUtf8(c.value), c.kind), c.number) << c.value;

    // First match wins; no entries or no layer: -1.
    core.FProject.Layers[0].Legend.insert(core.FProject.Layers[0].Legend.begin(), entry("2-4", 1));
    EXPECT_EQ(core.FindLegendEntry(0, QStringLiteral("3"), K::Integer), 1);
    EXPECT_EQ(core.FindLegendEntry(1, QStringLiteral("3"), K::Integer), -1);
    EXPECT_EQ(core.FindLegendEntry(5, QStringLiteral("3"), K::Integer), -1);
}
