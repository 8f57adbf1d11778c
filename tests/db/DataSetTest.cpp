// Data sets over tables: locate, bookmarks, calculated fields, bound field
// links, the system's work tables and database aliases.

#include "DbTestSupport.h"

#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/db/WorkTable.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace platform::db;
using namespace dbtest;
using testsupport::TempFolder;

namespace {

void openStreets(Table &t, const TempFolder &dir)
{
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.open();
}

} // namespace

TEST(Locate, MatchesOneOrTwoFieldsWithoutRegardToCase)
{
    TempFolder dir;
    Table t;
    openStreets(t, dir);
    const struct {
        const char *fields;
        QVariantList values;
        int expectedId; // 0: not found
    } cases[] = {
        {"STREET;HOUSE", {u8("ШЕВЧЕНКА"), QStringLiteral("14")}, 3},
        {"street; house", {u8("шевченка"), QStringLiteral("12")}, 1},
        {"STREET;HOUSE", {u8("Шевченка"), QStringLiteral("99")}, 0},
        {"STREET", {u8("САДОВА")}, 5}, // the deleted record 4 is passed over
        {"STREET", {u8("пров. \"тихий\"")}, 7},
        {"HOUSE", {u8("3А")}, 2},
        {"ID", {QStringLiteral("6")}, 6},    // a number field found by a text
        {"AREA", {QStringLiteral("0,75")}, 6}, // with either decimal separator
        {"AREA", {QStringLiteral("abc")}, 0},
        {"AREA", {QVariant()}, 7},            // null finds a blank
        {"DATEEDIT", {QDate(2020, 2, 29)}, 5},
        {"ACTIVE", {false}, 2},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(t.setRecNo(2));
        const bool found = t.locate(QString::fromUtf8(c.fields), c.values);
        EXPECT_EQ(found, c.expectedId != 0) << c.fields;
        if (found)
            EXPECT_EQ(t.fieldByName(u"ID").asInteger(), c.expectedId) << c.fields;
        else
            EXPECT_EQ(t.recNo(), 2) << c.fields << ": a miss must not move";
    }
    EXPECT_FALSE(t.locate(QStringLiteral("STREET"), u8("шевч"), LocateOptions{true, false}));
    EXPECT_TRUE(t.locate(QStringLiteral("STREET"), u8("шевч"), LocateOptions{true, true}));
    // Case-sensitive when asked.
    ASSERT_TRUE(t.locate(QStringLiteral("STREET"), u8("шевченка"), LocateOptions{false, false}));
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 6);
    EXPECT_THROW(t.locate(QStringLiteral("NOFIELD"), QStringLiteral("x")), DbError);
}

TEST(Bookmarks, StayWithTheirRecords)
{
    TempFolder dir;
    Table t;
    openStreets(t, dir);
    t.setRecNo(3);
    Bookmark three = t.getBookmark();
    t.setRecNo(6);
    const Bookmark six = t.getBookmark();
    EXPECT_LT(t.compareBookmarks(three, six), 0);
    EXPECT_GT(t.compareBookmarks(six, three), 0);
    EXPECT_EQ(t.compareBookmarks(six, t.getBookmark()), 0);
    t.gotoBookmark(three);
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 3);
    t.freeBookmark(three);
    EXPECT_FALSE(three.isValid());
    EXPECT_THROW(t.gotoBookmark(three), DbError);
}

TEST(WorkTables, CreateReplaceEmptyAndReopen)
{
    TempFolder dir;
    auto define = [&](Table &t) {
        t.setDatabaseName(dir.path());
        t.setTableName(QStringLiteral("Transform"));
        t.fieldDefs().clear();
        t.addFieldDef(QStringLiteral("Active"), FieldType::Boolean);
        t.addFieldDef(QStringLiteral("Name"), FieldType::String, 20);
        t.addFieldDef(QStringLiteral("X1"), FieldType::Float);
    };
    Table t;
    define(t);
    EXPECT_FALSE(t.exists());
    t.createTable();
    // A name without extension is a work table, stored as ".db".
    EXPECT_TRUE(t.exists());
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("Transform.db"))));
    EXPECT_TRUE(WorkTable::isWorkTableFile(dir.file(QStringLiteral("Transform.db"))));
    t.setOnNewRecord([](DataSet &ds) { ds.fieldByName(u"Active").setAsBoolean(true); });
    t.open();
    EXPECT_EQ(t.fieldByName(u"NAME").dataType(), FieldType::String);
    EXPECT_EQ(t.fieldByName(u"NAME").size(), 20);
    EXPECT_EQ(t.fieldByName(u"X1").dataType(), FieldType::Float);
    for (int i = 1; i <= 3; ++i) {
        t.append();
        t.fieldByName(u"Name").setAsString(u8("Точка ") + QString::number(i) + QStringLiteral(" с очень длинным именем"));
        t.fieldByName(u"X1").setAsFloat(i * 1.5);
        t.post();
    }
    EXPECT_EQ(t.recordCount(), 3);
    t.first();
    EXPECT_TRUE(t.fieldByName(u"Active").asBoolean());
    EXPECT_EQ(t.fieldByName(u"Name").asString(), u8("Точка 1 с очень длин")); // cut to 20
    t.next();
    t.deleteRecord(); // a work table closes the gap
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_DOUBLE_EQ(t.fieldByName(u"X1").asFloat(), 4.5);
    t.close();

    t.open();
    EXPECT_EQ(t.recordCount(), 2);
    t.close();
    t.emptyTable();
    t.open();
    EXPECT_EQ(t.recordCount(), 0);
    t.close();

    // Creating again replaces the table with the new definition.
    Table again;
    define(again);
    again.addFieldDef(QStringLiteral("Z1"), FieldType::Float);
    again.createTable();
    again.open();
    EXPECT_EQ(again.fieldCount(), 4);
    EXPECT_EQ(again.recordCount(), 0);
    // The open table cannot be replaced under it.
    Table third;
    define(third);
    EXPECT_THROW(third.createTable(), DbError);
}

TEST(WorkTables, FilesOfOtherProgramsAreRefused)
{
    TempFolder dir;
    // A Paradox header is no work table of this system.
    QByteArray paradox(2048, '\0');
    paradox[0] = 0x1E;
    paradox[2] = 0x02;
    dir.write(QStringLiteral("Object.db"), paradox);
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("Object.db"));
    try {
        t.open();
        ADD_FAILURE() << "a Paradox file was opened";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Paradox"))) << e.message().toStdString();
    }
    t.setTableName(QStringLiteral("missing.db"));
    EXPECT_THROW(t.open(), DbError);
}

TEST(CalculatedFields, FollowEachRecord)
{
    TempFolder dir;
    Table t;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.addCalculatedField(QStringLiteral("Ok"), FieldType::String, 1, [](const RecordView &r) {
        return r.value(u"ACTIVE").toBool() ? QVariant(QString(QChar(0xFC))) : QVariant();
    });
    t.open();
    Field &ok = t.fieldByName(u"Ok");
    EXPECT_TRUE(ok.isCalculated());
    EXPECT_EQ(ok.asString(), QString(QChar(0xFC)));
    t.next();
    EXPECT_TRUE(ok.isNull());
    EXPECT_EQ(t.valueAt(1, ok.index()).toString(), QString(QChar(0xFC)));
    t.edit();
    t.fieldByName(u"ACTIVE").setAsBoolean(true);
    EXPECT_EQ(ok.asString(), QString(QChar(0xFC))); // the unposted value counts
    EXPECT_THROW(ok.setAsString(QStringLiteral("x")), DbError);
    t.cancel();
    EXPECT_TRUE(ok.isNull());
}

TEST(Fields, FloatsReadAsTheGeneralFloatText)
{
    // The same text as every other writer of general floats (files, captions).
    const platform::ScopedService<platform::DecimalSeparator> comma(u',');
    TempFolder dir;
    Table t;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    double current = 0;
    t.addCalculatedField(QStringLiteral("Value"), FieldType::Float, 0,
                         [&current](const RecordView &) { return QVariant(current); });
    t.open();
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {-2.5, "-2,5"},
        {0.00001, "0,00001"},
        {0.0000099, "9,9E-6"},
        {1e20, "1E20"},
        {1.0 / 3, "0,333333333333333"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const auto &c : cases) {
        current = c.value;
        EXPECT_EQ(t.fieldByName(u"Value").asString(), QString::fromUtf8(c.text)) << c.text;
    }
}

TEST(FieldDataLinks, ReportChangesAndWriteBeforePost)
{
    TempFolder dir;
    Table t;
    openStreets(t, dir);
    FieldDataLink link;
    link.setFieldName(QStringLiteral("HOUSE"));
    int changes = 0;
    QString controlText;
    link.onDataChange = [&] {
        ++changes;
        controlText = link.field() ? link.field()->asString() : QString();
    };
    link.onUpdateData = [&] { link.field()->setAsString(controlText); };
    t.addLink(&link);
    t.next();
    EXPECT_EQ(controlText, u8("3а"));
    const int before = changes;
    t.edit();
    controlText = QStringLiteral("3b");
    link.setModified();
    EXPECT_TRUE(link.modified());
    t.post();
    EXPECT_GT(changes, before);
    EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), QStringLiteral("3b"));
    EXPECT_THROW(link.setModified(), DbError); // browse mode
    t.close();
    EXPECT_EQ(link.field(), nullptr);
}

TEST(Fields, BlobsGoThroughStreams)
{
    TempFolder dir;
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("pictures.db"));
    t.addFieldDef(QStringLiteral("Name"), FieldType::String, 10);
    t.addFieldDef(QStringLiteral("Picture"), FieldType::Graphic);
    t.createTable();
    t.open();
    const QByteArray image("LTOCXBND\x18\0\0\0\x03\0\0\0\0\0\0\0\0\0\0\0abc", 27);
    t.append();
    QBuffer in;
    in.setData(image);
    in.open(QIODevice::ReadOnly);
    t.fieldByName(u"Picture").loadFromStream(in);
    t.post();
    t.close();
    t.open();
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(t.fieldByName(u"Picture").isBlob());
    t.fieldByName(u"Picture").saveToStream(out);
    EXPECT_EQ(out.data(), image);
}

TEST(Aliases, NameAFolderFromTheSettingsStore)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    ASSERT_TRUE(setAlias(QStringLiteral("Vyk6"), dir.path()));
    EXPECT_EQ(QDir(resolveDatabase(QStringLiteral("vyk6"))).canonicalPath(), QDir(dir.path()).canonicalPath());
    Table t;
    t.setDatabaseName(QStringLiteral("Vyk6"));
    t.setTableName(QStringLiteral("streets"));
    t.open();
    EXPECT_EQ(t.recordCount(), 7);
    t.close();

    try {
        resolveDatabase(QStringLiteral("NoSuchAlias"));
        ADD_FAILURE() << "an unknown alias resolved";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("NoSuchAlias")));
    }
    platform::Registry::instance().writeValue(platform::RegRoot::LocalMachine, aliasesKey(), QStringLiteral("Bad"),
                                              platform::Registry::Value(quint32(5)));
    EXPECT_THROW(resolveDatabase(QStringLiteral("Bad")), DbError);
    ASSERT_TRUE(setAlias(QStringLiteral("Gone"), dir.file(QStringLiteral("nowhere"))));
    EXPECT_THROW(resolveDatabase(QStringLiteral("Gone")), DbError);
    EXPECT_THROW(resolveDatabase(dir.file(QStringLiteral("nowhere"))), DbError);
}

TEST(TableNames, ResolveByExtensionCaseAndFolder)
{
    TempFolder dir;
    QDir(dir.path()).mkdir(QStringLiteral("Sub"));
    dir.write(QStringLiteral("Sub/Layer.DBF"), streetTable());
    const QString folder = dir.path();
    EXPECT_EQ(resolveTable(folder, QStringLiteral("sub\\layer.dbf"), TableType::Default, true).type, TableType::DBase);
    EXPECT_EQ(resolveTable(folder, QStringLiteral("sub/layer"), TableType::Default, true).path,
              dir.file(QStringLiteral("Sub/Layer.DBF")));
    EXPECT_EQ(resolveTable(folder, dir.file(QStringLiteral("SUB/LAYER.dbf")), TableType::Default, true).path,
              dir.file(QStringLiteral("Sub/Layer.DBF")));
    EXPECT_EQ(resolveTable(folder, QStringLiteral("points"), TableType::Default, false).type, TableType::Paradox);
    EXPECT_THROW(resolveTable(folder, QStringLiteral("layer.txt"), TableType::Default, false), DbError);
    EXPECT_THROW(resolveTable(folder, QStringLiteral("nothere.dbf"), TableType::Default, true), DbError);
}
