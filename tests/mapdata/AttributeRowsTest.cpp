#include "mapdata/MapDataCore.h"

#include "LayerFixtures.h"
#include "platform/db/Table.h"
#include "support/TestFiles.h"

#include <QFile>

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
    using K = platform::db::FieldType;
    MapDataCore core;
    core.Project().Layers.resize(2);
    core.Project().Layers[0].Legend = {
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
        {"77", K::Smallint, 400},    // only integer, float and currency fields read lists
        {"abc", K::String, 400},
        {",", K::Float, 500},        // no number: no range holds it
        {"-", K::Integer, 300},      // reads as 0
    };
    for (const Case &c : cases)
        EXPECT_EQ(core.FindLegendEntry(0, QString::fromUtf8(c.value), c.kind), c.number) << c.value;

    // First match wins; no entries or no layer: -1.
    core.Project().Layers[0].Legend.insert(core.Project().Layers[0].Legend.begin(), entry("2-4", 1));
    EXPECT_EQ(core.FindLegendEntry(0, QStringLiteral("3"), K::Integer), 1);
    EXPECT_EQ(core.FindLegendEntry(1, QStringLiteral("3"), K::Integer), -1);
    EXPECT_EQ(core.FindLegendEntry(5, QStringLiteral("3"), K::Integer), -1);
}

namespace {

const std::vector<fixtures::DbfField> parcelFields = {{"NAME", 'C', 10}, {"ID", 'N', 6}, {"AREA", 'N', 8, 2}};

struct TableFolder {
    testsupport::TempFolder dir;
    MapDataCore core;
    TableFolder()
    {
        core.SetWorkDir(dir.path());
        core.Project().Layers.resize(1);
        core.Project().Layers[0].FileName = QStringLiteral("parcels.shp");
    }
    QByteArray table() const { return dir.read(QStringLiteral("parcels.dbf")); }
};

} // namespace

TEST(AttributeRows, RenumberSetsTheRecordNumbers)
{
    TableFolder f;
    // IDs 5, blank (null), a deleted row, 3.
    f.dir.write(QStringLiteral("parcels.dbf"),
                fixtures::dbf(parcelFields, {{false, {"first", "5", "1.50"}},
                                             {false, {"second", "", "2.00"}},
                                             {true, {"gone", "9", "0.00"}},
                                             {false, {"fourth", "3", "4.25"}}}));
    ASSERT_TRUE(f.core.RenumberLayerRows(0));
    const QByteArray t = f.table();
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 0, 1).trimmed(), QByteArray("1"));
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 1, 1).trimmed(), QByteArray("2"));
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 2, 1).trimmed(), QByteArray("9")); // packed away later
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 3, 1).trimmed(), QByteArray("4"));
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 3, 0).trimmed(), QByteArray("fourth"));
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 3, 2).trimmed(), QByteArray("4.25"));

    // A table already numbered is not touched at all.
    const QByteArray numbered = fixtures::dbf(parcelFields, {{false, {"a", "1", "1.00"}}, {false, {"b", "2", "2.00"}}});
    f.dir.write(QStringLiteral("parcels.dbf"), numbered);
    ASSERT_TRUE(f.core.RenumberLayerRows(0));
    EXPECT_EQ(f.table(), numbered);
}

TEST(AttributeRows, RenumberRefusesTablesItCannotUse)
{
    TableFolder f;
    EXPECT_FALSE(f.core.RenumberLayerRows(0));   // missing
    EXPECT_FALSE(f.core.RenumberLayerRows(3));   // no such layer
    const std::vector<fixtures::DbfField> noId = {{"NAME", 'C', 10}};
    const QByteArray withoutId = fixtures::dbf(noId, {{false, {"a"}}});
    f.dir.write(QStringLiteral("parcels.dbf"), withoutId);
    EXPECT_FALSE(f.core.RenumberLayerRows(0));
    EXPECT_EQ(f.table(), withoutId);
    const QByteArray unnumbered = fixtures::dbf(parcelFields, {{false, {"a", "7", "1.00"}}});
    f.dir.write(QStringLiteral("parcels.dbf"), unnumbered);
    QFile::setPermissions(f.dir.file(QStringLiteral("parcels.dbf")), QFileDevice::ReadOwner);
    EXPECT_FALSE(f.core.RenumberLayerRows(0));
    EXPECT_EQ(f.table(), unnumbered);
    QFile::setPermissions(f.dir.file(QStringLiteral("parcels.dbf")), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.dir.write(QStringLiteral("parcels.dbf"), QByteArray("not a table"));
    EXPECT_FALSE(f.core.RenumberLayerRows(0));
}

TEST(AttributeRows, PackKeepsTheOrderOfTheRowsLeft)
{
    TableFolder f;
    f.dir.write(QStringLiteral("parcels.dbf"),
                fixtures::dbf(parcelFields, {{true, {"gone1", "1", "0"}},
                                             {false, {"b", "2", "0"}},
                                             {false, {"c", "3", "0"}},
                                             {true, {"gone4", "4", "0"}},
                                             {false, {"e", "5", "0"}}}));
    f.core.PackLayerTable(0);
    const QByteArray t = f.table();
    EXPECT_EQ(shp::getLE32(t.constData() + 4), 3);
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 0, 0).trimmed(), QByteArray("b"));
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 1, 0).trimmed(), QByteArray("c"));
    EXPECT_EQ(fixtures::dbfValue(t, parcelFields, 2, 0).trimmed(), QByteArray("e"));
    EXPECT_EQ(t[0 + 32 + 3 * 32 + 1 + 0], ' '); // not deleted

    // Missing or read-only: nothing happens.
    TableFolder g;
    g.core.PackLayerTable(0);
    const QByteArray table = fixtures::dbf(parcelFields, {{true, {"gone", "1", "0"}}});
    g.dir.write(QStringLiteral("parcels.dbf"), table);
    QFile::setPermissions(g.dir.file(QStringLiteral("parcels.dbf")), QFileDevice::ReadOwner);
    g.core.PackLayerTable(0);
    EXPECT_EQ(g.table(), table);

    // A table held by another user: the engine's error reaches the caller.
    platform::db::Table holder;
    holder.setTableName(f.dir.file(QStringLiteral("parcels.dbf")));
    holder.open();
    EXPECT_THROW(f.core.PackLayerTable(0), platform::db::DbError);
}
