// Thematic legend classes: the ramps, the classes built from grouped values
// (numeric ranges that tile the values, one class per text), the entries the
// layer saves, and the legend's way through the project file.

#include "dialogs/LegendClasses.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ProjectFile.h"
#include "platform/Environment.h"
#include "platform/Service.h"

#include <gtest/gtest.h>

using namespace legend;

namespace {

int rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

GroupedValues texts(int n)
{
    GroupedValues v;
    for (int i = 0; i < n; ++i)
        v.values << QStringLiteral("Вид %1").arg(i + 1);
    return v;
}

GroupedValues numbers(std::vector<double> values)
{
    GroupedValues v;
    v.numeric = true;
    v.numbers = std::move(values);
    for (double d : v.numbers)
        v.values << QString::number(d);
    return v;
}

} // namespace

TEST(LegendClasses, RampsRunFromLightestToDeepest)
{
    struct Case {
        int ramp, a, n, want;
    };
    const Case cases[] = {
        {0, 7, 7, rgb(200, 0, 0)},       // "красная", deepest
        {0, 1, 7, rgb(243, 146, 146)},   // lightest
        {1, 7, 7, rgb(255, 190, 10)},    // "оранжевая"
        {3, 1, 2, rgb(202, 255, 132)},   // "салатовая": 157 + 45, 245 / 2 rounds to 122 (even)
        {4, 5, 5, rgb(0, 100, 10)},      // "зелёная"
        {6, 1, 1, rgb(0, 10, 255)},      // one class: the deepest
        {9, 0, 4, rgb(240, 240, 240)},   // "серая" at a = 0
    };
    for (const Case &c : cases)
        EXPECT_EQ(RampColor(c.ramp, c.a, c.n), c.want) << c.ramp << " " << c.a << "/" << c.n;
    EXPECT_EQ(RampColor(0, 1, 0), 0) << "no classes, no division by zero";
    // Ramps past the formulas are the fixed palettes.
    EXPECT_EQ(RampColor(10, 3, 7), MapFunctions::PaletteColor(1, 3));
    EXPECT_EQ(RampColor(18, 2, 7), MapFunctions::PaletteColor(9, 2));
    EXPECT_EQ(rampNames().size(), 19);
    EXPECT_EQ(rampNames()[DefaultRamp], QStringLiteral("урожай"));
}

TEST(LegendClasses, SevenTextsCountedFromTheDataGetTheRedRamp)
{
    BuildOptions o;
    o.kind = Palette;
    o.ramp = 0;
    o.count = 7;
    o.countFromData = true;
    const Classes c = BuildLegendClasses(texts(7), o);
    ASSERT_EQ(c.count, 7);
    ASSERT_EQ(c.rows.size(), 8u) << "seven classes and the empty last row";
    EXPECT_EQ(c.rows[0].values, QStringLiteral("Вид 1"));
    EXPECT_EQ(c.rows[6].values, QStringLiteral("Вид 7"));
    EXPECT_EQ(c.rows[6].number, QString::number(rgb(200, 0, 0)));
    EXPECT_EQ(c.rows[0].number, QString::number(rgb(243, 146, 146)));
    EXPECT_EQ(c.rows[7], Row{});

    // Sizes and bitmap numbers instead of colours.
    o.kind = Size;
    EXPECT_EQ(BuildLegendClasses(texts(7), o).rows[6].number, QStringLiteral("10"));
    o.kind = Unique;
    o.objType = 7;
    const Classes bitmaps = BuildLegendClasses(texts(3), o);
    EXPECT_EQ(bitmaps.rows[0].number, QStringLiteral("1"));
    EXPECT_EQ(bitmaps.rows[2].number, QStringLiteral("3"));

    // A typed count cuts the values to the rows there are.
    o = BuildOptions{};
    o.count = 3;
    const Classes typed = BuildLegendClasses(texts(7), o);
    ASSERT_EQ(typed.rows.size(), 4u);
    EXPECT_EQ(typed.rows[2].values, QStringLiteral("Вид 3"));
    EXPECT_TRUE(typed.rows[3].values.isEmpty());
}

TEST(LegendClasses, NumericClassesTileTheValuesFromTheSmallest)
{
    // 1000 .. 1100 in 4 classes of 25: counted from the smallest value, so the
    // classes meet without gaps or overlaps and the last ends at the largest.
    BuildOptions o;
    o.count = 4;
    o.ramp = 0;
    const Classes c = BuildLegendClasses(numbers({1000, 1010, 1050, 1100}), o);
    ASSERT_EQ(c.rows.size(), 5u);
    EXPECT_EQ(c.rows[0].values, QStringLiteral("1000 - 1024"));
    EXPECT_EQ(c.rows[1].values, QStringLiteral("1025 - 1049"));
    EXPECT_EQ(c.rows[2].values, QStringLiteral("1050 - 1074"));
    EXPECT_EQ(c.rows[3].values, QStringLiteral("1075 - 1100"));
    EXPECT_EQ(c.rows[3].number, QString::number(rgb(200, 0, 0)));

    // More classes than whole numbers: a class that cannot end above its
    // start shows the start alone.
    o.count = 3;
    const Classes narrow = BuildLegendClasses(numbers({5, 6}), o);
    EXPECT_EQ(narrow.rows[0].values, QStringLiteral("5"));
    EXPECT_EQ(narrow.rows[1].values, QStringLiteral("6"));
    EXPECT_EQ(narrow.rows[2].values, QStringLiteral("7")) << "starts keep climbing by one";

    // Bottom-up puts the largest values first; colours keep their rows.
    o.count = 4;
    o.bottomUp = true;
    const Classes up = BuildLegendClasses(numbers({1000, 1100}), o);
    EXPECT_EQ(up.rows[0].values, QStringLiteral("1075 - 1100"));
    EXPECT_EQ(up.rows[3].values, QStringLiteral("1000 - 1024"));
    EXPECT_EQ(up.rows[3].number, QString::number(rgb(200, 0, 0)));
}

TEST(LegendClasses, ManyNumbersCountedFromTheDataGiveAHundredClasses)
{
    std::vector<double> v;
    for (int i = 1; i <= 250; ++i)
        v.push_back(i);
    BuildOptions o;
    o.countFromData = true;
    const Classes c = BuildLegendClasses(numbers(v), o);
    EXPECT_EQ(c.count, 100);
    ASSERT_EQ(c.rows.size(), 251u);
    EXPECT_EQ(c.rows[0].values, QStringLiteral("1 - 2"));
    EXPECT_EQ(c.rows[99].values, QStringLiteral("248 - 250"));
    EXPECT_TRUE(c.rows[100].number.isEmpty());
    // No values at all: no classes.
    const Classes none = BuildLegendClasses(GroupedValues{}, o);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.rows.size(), 1u);
}

TEST(LegendClasses, SavingStopsAtTheFirstRowWithoutANumber)
{
    const std::vector<Row> rows = {{QStringLiteral("Сад"), QStringLiteral("255"), QStringLiteral("3")},
                                   {QStringLiteral("Ліс"), QStringLiteral(" 1a2 "), QString()},
                                   {QStringLiteral("Поле"), QStringLiteral("  "), QStringLiteral("9")},
                                   {QStringLiteral("Луг"), QStringLiteral("7"), QString()}};
    struct Case {
        int kind;
        size_t entries;
        Byte objType;
    };
    for (const Case c : {Case{Palette, 2, 2}, Case{Size, 2, 1}, Case{Unique, 2, 7}, Case{Single, 0, 0},
                         Case{Chart, 0, 0}}) {
        TMapLayer layer;
        layer.Legend.push_back(TLegend{2, QStringLiteral("старое"), 1, 1});
        SaveLegend(layer, c.kind, QString(300, u'П'), rows);
        ASSERT_EQ(layer.Legend.size(), c.entries) << c.kind;
        EXPECT_EQ(layer.TypeLegend, c.kind);
        EXPECT_EQ(layer.FieldNameLegend.size(), 255);
        if (c.entries) {
            EXPECT_EQ(layer.Legend[0].ObjType, c.objType);
            EXPECT_EQ(layer.Legend[0].Code, 3);
            EXPECT_EQ(layer.Legend[1].Number, 12) << "only the digits count";
            EXPECT_EQ(layer.Legend[1].Code, 0);
        }
    }
}

TEST(LegendClasses, APaletteLegendOfParcelsGoesThroughTheProjectFile)
{
    TMapLayer parcels;
    parcels.Name = QStringLiteral("Участки");
    parcels.ObjType = 3;
    BuildOptions o;
    o.ramp = 0;
    o.countFromData = true;
    const Classes c = BuildLegendClasses(texts(7), o);
    SaveLegend(parcels, Palette, QStringLiteral("PURPOSE"), c.rows);
    ASSERT_EQ(parcels.Legend.size(), 7u);

    QStringList lines;
    projectfile::writeLayerBlock(lines, parcels, 1);
    TMapLayer back;
    projectfile::readLayerBlock(lines, 2, back);
    EXPECT_EQ(back.TypeLegend, Palette);
    EXPECT_EQ(back.FieldNameLegend, QStringLiteral("PURPOSE"));
    ASSERT_EQ(back.Legend.size(), 7u);
    EXPECT_EQ(RowsOfEntries(back.Legend), RowsOfEntries(parcels.Legend));
    EXPECT_EQ(back.Legend[6].Number, rgb(200, 0, 0));
    // The grid shows a code below 1 as nothing.
    EXPECT_TRUE(RowsOfEntries(back.Legend)[0].code.isEmpty());
}

TEST(LegendClasses, APolygonLayerGetsAFillWhenShown)
{
    // Every draw of the generator at either end: the lowest draws, which once
    // made palette 0 and colour 0 (black, the colour that asks for a fill),
    // and the highest.
    struct Case {
        const char *what;
        int (*draw)(int);
        int want;
    } cases[] = {
        {"lowest draws", [](int) { return 0; }, MapFunctions::PaletteColor(1, 1)},
        {"highest draws", [](int n) { return n - 1; }, MapFunctions::PaletteColor(9, 25)},
    };
    for (const Case &c : cases) {
        platform::ScopedService<platform::RandomNumbers> random(c.draw);
        TMapLayer polygons;
        polygons.ObjType = 3;
        EXPECT_TRUE(PrepareLayerForLegend(polygons)) << c.what;
        EXPECT_EQ(polygons.BrushType, 1) << c.what;
        EXPECT_EQ(polygons.BrushColor, c.want) << c.what;
        EXPECT_NE(polygons.BrushColor, 0) << c.what;
        EXPECT_FALSE(PrepareLayerForLegend(polygons)) << "a second showing changes nothing";
    }
    TMapLayer lines;
    lines.ObjType = 2;
    EXPECT_FALSE(PrepareLayerForLegend(lines));
    EXPECT_EQ(lines.BrushType, 0);
    EXPECT_EQ(lines.BrushColor, 0);
}

TEST(LegendClasses, TenDigitCodesMakeClassesPastTwoToThe31st)
{
    BuildOptions o;
    o.count = 3;
    o.ramp = 0;
    const Classes c = BuildLegendClasses(numbers({4610136300.0, 5000000000.0, 5320000000.0}), o);
    ASSERT_EQ(c.rows.size(), 4u);
    // step 236621233.33: the classes tile the codes from the smallest.
    EXPECT_EQ(c.rows[0].values, QStringLiteral("4610136300 - 4846757532"));
    EXPECT_EQ(c.rows[1].values, QStringLiteral("4846757533 - 5083378766"));
    EXPECT_EQ(c.rows[2].values, QStringLiteral("5083378767 - 5320000000"));
}

// The ramps as their table gives them, K / N x (N - a) rounded with halves
// to the even neighbour, where K x ((N - a) / N) rounds the other way.
TEST(LegendClasses, RampPartsAreComputedInTheTablesOrder)
{
    struct Case {
        int ramp, a, n, want;
    };
    const Case cases[] = {
        // 170 / 20 x 7 = 59.5 gives 60; 170 x (7 / 20) falls just short.
        {0, 13, 20, rgb(218, 60, 60)},
        // 245 / 50 x 25 lies just above 122.5; 245 x (25 / 50) on it.
        {6, 25, 50, rgb(110, 133, 255)},
        // 50 / 44 x 11 lies just above 12.5.
        {0, 33, 44, rgb(213, 42, 42)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RampColor(c.ramp, c.a, c.n), c.want) << c.ramp << " " << c.a << "/" << c.n;
}
