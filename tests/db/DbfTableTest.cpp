// dBase tables: reading files of other writers, the exact bytes written on
// append, delete, pack and empty, record numbers that stay physical, and
// damaged files refused with a message.

#include "DbTestSupport.h"

#include "platform/Environment.h"
#include "platform/db/DbfCodec.h"
#include "platform/db/Table.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace platform::db;
using namespace dbtest;
using testsupport::TempFolder;

static_assert(static_cast<int>(FieldType::Integer) == 3);
static_assert(static_cast<int>(FieldType::Float) == 6);
static_assert(static_cast<int>(FieldType::Currency) == 7);

namespace {

void openTable(Table &t, const TempFolder &dir, const QString &name, bool exclusive = false)
{
    t.setDatabaseName(dir.path());
    t.setTableName(name);
    t.setExclusive(exclusive);
    t.open();
}

QDateTime fixedNow()
{
    return QDateTime(QDate(2024, 5, 17), QTime(10, 0));
}

} // namespace

TEST(DbfTable, ReadsValuesTypesAndBlanksOfAStandardFile)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Table t;
    openTable(t, dir, QStringLiteral("STREETS.DBF")); // another letter case than on disk
    ASSERT_EQ(t.fieldCount(), 6);
    EXPECT_EQ(t.fieldByName(u"id").dataType(), FieldType::Integer);
    EXPECT_EQ(t.fieldByName(u"STREET").dataType(), FieldType::String);
    EXPECT_EQ(t.fieldByName(u"STREET").size(), 30);
    EXPECT_EQ(t.fieldByName(u"AREA").dataType(), FieldType::Float);
    EXPECT_EQ(t.fieldByName(u"AREA").precision(), 2);
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").dataType(), FieldType::Date);
    EXPECT_EQ(t.fieldByName(u"ACTIVE").dataType(), FieldType::Boolean);
    EXPECT_EQ(t.findField(u"NOPE"), nullptr);
    EXPECT_THROW(t.fieldByName(u"NOPE"), DbError);
    EXPECT_EQ(t.recordCount(), 7);

    EXPECT_EQ(t.recNo(), 1);
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 1);
    EXPECT_EQ(t.fieldByName(u"STREET").asString(), u8("Шевченка"));
    EXPECT_DOUBLE_EQ(t.fieldByName(u"AREA").asFloat(), 100.5);
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asDate(), QDate(2024, 1, 15));
    EXPECT_EQ(t.fieldByName(u"DATEEDIT").asString(), QStringLiteral("15.01.2024"));
    EXPECT_TRUE(t.fieldByName(u"ACTIVE").asBoolean());
    EXPECT_EQ(t.fieldByName(u"ACTIVE").asString(), QStringLiteral("True"));

    t.next();
    EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), u8("3а"));
    EXPECT_TRUE(t.fieldByName(u"DATEEDIT").isNull());
    EXPECT_FALSE(t.fieldByName(u"ACTIVE").isNull());
    EXPECT_FALSE(t.fieldByName(u"ACTIVE").asBoolean());

    ASSERT_TRUE(t.setRecNo(7));
    EXPECT_EQ(t.fieldByName(u"STREET").asString(), u8("пров. \"Тихий\""));
    EXPECT_TRUE(t.fieldByName(u"AREA").isNull());
    EXPECT_EQ(t.fieldByName(u"AREA").asString(), QString());
    EXPECT_TRUE(t.fieldByName(u"ACTIVE").isNull());
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 7);
}

TEST(DbfTable, EngineTypeFollowsLetterWidthAndDecimals)
{
    const struct {
        char type;
        int length, decimals;
        FieldType expected;
    } cases[] = {
        {'N', 4, 0, FieldType::Smallint}, {'N', 5, 0, FieldType::Integer}, {'N', 9, 0, FieldType::Integer},
        {'N', 10, 0, FieldType::Float},   {'N', 12, 2, FieldType::Float},  {'F', 10, 0, FieldType::Float},
        {'C', 10, 0, FieldType::String},  {'D', 8, 0, FieldType::Date},    {'L', 1, 0, FieldType::Boolean},
        {'M', 10, 0, FieldType::Memo},    {'B', 10, 0, FieldType::Blob},   {'X', 4, 0, FieldType::Unknown},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dbf::engineType(c.type, c.length, c.decimals), c.expected) << c.type << c.length << '.' << c.decimals;
}

TEST(DbfTable, WalksPhysicalRecordsAndReachesADeletedOneByNumber)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Table t;
    openTable(t, dir, QStringLiteral("streets.dbf"));
    QList<int> ids;
    for (t.first(); !t.eof(); t.next())
        ids << t.fieldByName(u"ID").asInteger();
    EXPECT_EQ(ids, (QList<int>{1, 2, 3, 4, 5, 6, 7}));

    ASSERT_TRUE(t.setRecNo(4));
    EXPECT_TRUE(t.isDeletedRecord());
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 4);
    ASSERT_TRUE(t.setRecNo(5));
    EXPECT_FALSE(t.isDeletedRecord());
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 5);
    EXPECT_FALSE(t.setRecNo(8));
    EXPECT_TRUE(t.eof());
    t.first();
    EXPECT_EQ(t.moveBy(3), 3);
    EXPECT_EQ(t.recNo(), 4);
}

TEST(DbfTable, AppendToTheStructureEditorsEmptyFileWritesExactBytes)
{
    // The empty file the table structure editor writes: version 3, date 106-3-1,
    // no records, header 32n + 33, then 0x0D and 0x1A.
    TempFolder dir;
    const std::vector<FieldSpec> fields = {{"NAME", 'C', 12, 0}, {"NUM", 'N', 7, 2}, {"DAY", 'D', 8, 0}, {"OK", 'L', 1, 0}};
    const QByteArray empty = dbfFile(fields, {});
    ASSERT_EQ(empty.size(), 32 * 4 + 34);
    dir.write(QStringLiteral("new.dbf"), empty);

    platform::ScopedService<platform::Clock> clock(fixedNow());
    {
        Table t;
        openTable(t, dir, QStringLiteral("new.dbf"));
        EXPECT_EQ(t.recordCount(), 0);
        EXPECT_TRUE(t.eof());
        t.append();
        t.fieldByName(u"NAME").setAsString(u8("Ярослав"));
        t.fieldByName(u"NUM").setAsString(QStringLiteral("3,5")); // either decimal separator
        t.fieldByName(u"DAY").setAsDate(QDate(2024, 2, 29));
        t.fieldByName(u"OK").setAsBoolean(true);
        t.post();
        EXPECT_EQ(t.recNo(), 1);
        t.append();
        t.fieldByName(u"NAME").setAsString(QStringLiteral("abc"));
        t.fieldByName(u"NUM").setAsFloat(-12.345); // rounds to the field's decimals
        t.post();
        EXPECT_EQ(t.recordCount(), 2);
    }

    const QByteArray bytes = dir.read(QStringLiteral("new.dbf"));
    const int header = 32 * 4 + 33, recLen = 1 + 12 + 7 + 8 + 1;
    ASSERT_EQ(bytes.size(), header + 2 * recLen + 1);
    EXPECT_EQ(static_cast<quint8>(bytes[1]), 124); // 2024
    EXPECT_EQ(static_cast<quint8>(bytes[2]), 5);
    EXPECT_EQ(static_cast<quint8>(bytes[3]), 17);
    EXPECT_EQ(le32At(bytes, 4), 2);
    EXPECT_EQ(bytes.mid(header, recLen), QByteArray(" ") + left(u8("Ярослав"), 12) + QByteArray("   3.50") + "20240229" + "T");
    EXPECT_EQ(bytes.mid(header + recLen, recLen), QByteArray(" ") + left(QStringLiteral("abc"), 12) + QByteArray(" -12.35")
                                                      + QByteArray(8, ' ') + " ");
    EXPECT_EQ(bytes.back(), char(0x1A));

    Table t;
    openTable(t, dir, QStringLiteral("new.dbf"));
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), u8("Ярослав"));
    EXPECT_DOUBLE_EQ(t.fieldByName(u"NUM").asFloat(), 3.5);
    EXPECT_EQ(t.fieldByName(u"DAY").asDate(), QDate(2024, 2, 29));
    EXPECT_TRUE(t.fieldByName(u"OK").asBoolean());
    t.next();
    EXPECT_TRUE(t.fieldByName(u"DAY").isNull());
    EXPECT_TRUE(t.fieldByName(u"OK").isNull());
}

TEST(DbfTable, IdOfANewRowIsTheCountBeforeItPlusOne)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Table t;
    openTable(t, dir, QStringLiteral("streets.dbf"));
    t.append();
    // The deleted record still counts: the new row is physical record 8.
    t.fieldByName(u"ID").setAsInteger(t.recordCount() + 1);
    t.post();
    EXPECT_EQ(t.recNo(), 8);
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 8);
}

TEST(DbfTable, DeleteMarksAndPackKeepsOrder)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    platform::ScopedService<platform::Clock> clock(fixedNow());
    Table t;
    openTable(t, dir, QStringLiteral("streets.dbf"), true);
    ASSERT_TRUE(t.setRecNo(2));
    t.deleteRecord();
    // The record keeps its number; the table stands on the following one.
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 3);
    EXPECT_EQ(t.recordCount(), 7);
    ASSERT_TRUE(t.setRecNo(2));
    EXPECT_TRUE(t.isDeletedRecord());
    const QByteArray marked = dir.read(QStringLiteral("streets.dbf"));
    const int header = 32 * 6 + 33, recLen = 1 + 9 + 30 + 10 + 12 + 8 + 1;
    EXPECT_EQ(marked[header + recLen], '*');
    EXPECT_EQ(static_cast<quint8>(marked[1]), 124);

    // Deleting the last record leaves the table at its end.
    ASSERT_TRUE(t.setRecNo(7));
    t.deleteRecord();
    EXPECT_TRUE(t.eof());

    t.packTable();
    EXPECT_EQ(t.recordCount(), 4);
    QList<int> ids;
    for (t.first(); !t.eof(); t.next()) {
        ids << t.fieldByName(u"ID").asInteger();
        EXPECT_EQ(t.recNo(), static_cast<int>(ids.size()));
    }
    EXPECT_EQ(ids, (QList<int>{1, 3, 5, 6}));
    t.close();
    const QByteArray packed = dir.read(QStringLiteral("streets.dbf"));
    EXPECT_EQ(le32At(packed, 4), 4);
    EXPECT_EQ(packed.size(), header + 4 * recLen + 1);
    EXPECT_EQ(packed.back(), char(0x1A));
}

TEST(DbfTable, SavingALayerDeletesRowsOfDeletedObjectsInStep)
{
    // The layer save walks objects and rows together: a kept object moves the
    // table on, a deleted one deletes the current row. Row k + 1 must stay with
    // object k throughout, and the pack then closes the gaps in order.
    TempFolder dir;
    QByteArray bytes = streetTable();
    // Clear the deleted mark of the fixture so that every row is live.
    bytes[32 * 6 + 33 + 3 * (1 + 9 + 30 + 10 + 12 + 8 + 1)] = ' ';
    dir.write(QStringLiteral("layer.dbf"), bytes);
    const bool objectDeleted[] = {false, true, true, false, false, true, false};
    Table t;
    openTable(t, dir, QStringLiteral("layer.dbf"), true);
    t.first();
    for (int k = 0; k < 7; ++k) {
        ASSERT_FALSE(t.eof());
        EXPECT_EQ(t.fieldByName(u"ID").asInteger(), k + 1) << "object " << k;
        if (objectDeleted[k])
            t.deleteRecord();
        else
            t.next();
    }
    t.packTable();
    QList<int> ids;
    for (t.first(); !t.eof(); t.next())
        ids << t.fieldByName(u"ID").asInteger();
    EXPECT_EQ(ids, (QList<int>{1, 4, 5, 7}));
}

TEST(DbfTable, ExclusiveOpenIsHonouredBetweenHandles)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Table a, b;
    openTable(a, dir, QStringLiteral("streets.dbf"), true);
    b.setDatabaseName(dir.path());
    b.setTableName(QStringLiteral("Streets.Dbf"));
    EXPECT_THROW(b.open(), DbError);
    a.close();
    openTable(a, dir, QStringLiteral("streets.dbf"));
    b.setExclusive(true);
    try {
        b.open();
        ADD_FAILURE() << "exclusive open of a table in use";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(u8("монопольно"))) << e.message().toStdString();
    }
    // Two shared handles see each other's appends; neither may pack.
    b.setExclusive(false);
    b.open();
    b.append();
    b.fieldByName(u"ID").setAsInteger(8);
    b.post();
    EXPECT_EQ(a.recordCount(), 8);
    EXPECT_THROW(a.packTable(), DbError);
    EXPECT_THROW(a.emptyTable(), DbError);
}

TEST(DbfTable, EmptyLeavesHeaderAndEndMark)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Table t;
    // A closed table is opened exclusively for the time of it.
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.emptyTable();
    const QByteArray bytes = dir.read(QStringLiteral("streets.dbf"));
    EXPECT_EQ(bytes.size(), 32 * 6 + 33 + 1);
    EXPECT_EQ(le32At(bytes, 4), 0);
    EXPECT_EQ(bytes.back(), char(0x1A));
    t.open();
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.fieldCount(), 6);
    t.append();
    t.fieldByName(u"STREET").setAsString(u8("Нова"));
    t.post();
    t.close();
    t.open();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName(u"STREET").asString(), u8("Нова"));
}

TEST(DbfTable, ValuesThatDoNotFitRaiseAndWriteNothing)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    const QByteArray before = dir.read(QStringLiteral("streets.dbf"));
    Table t;
    openTable(t, dir, QStringLiteral("streets.dbf"));
    t.edit();
    t.fieldByName(u"STREET").setAsString(u8("Шевченка")); // unchanged text
    t.fieldByName(u"ID").setAsFloat(12345678901.0);       // 11 digits into N(9,0)
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), DataSetState::Edit);
    t.cancel();
    EXPECT_THROW(t.fieldByName(u"AREA").setAsString(QStringLiteral("abc")), DbError);
    EXPECT_THROW(t.fieldByName(u"AREA").setAsFloat(1), DbError); // not in edit mode
    EXPECT_EQ(dir.read(QStringLiteral("streets.dbf")), before);

    // Text longer than the field is cut to its width.
    t.edit();
    t.fieldByName(u"HOUSE").setAsString(QStringLiteral("123456789012345"));
    t.post();
    EXPECT_EQ(t.fieldByName(u"HOUSE").asString(), QStringLiteral("1234567890"));
}

TEST(DbfTable, DamagedFilesAreRefusedWithTheirName)
{
    const QByteArray good = streetTable();
    auto withLe16 = [&](int at, int v) {
        QByteArray b = good;
        testsupport::putLE16(b, at, static_cast<std::int16_t>(v));
        return b;
    };
    QByteArray fieldTooLong = good;
    fieldTooLong[32 + 32 + 16] = static_cast<char>(200); // STREET wider than the record
    QByteArray zeroWidth = good;
    zeroWidth[32 + 16] = 0;
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"empty file", QByteArray()},
        {"short header", good.left(20)},
        {"header length below 33", withLe16(8, 32)},
        {"header length beyond the file", withLe16(8, 30000)},
        {"record length 0", withLe16(10, 0)},
        {"field beyond the record", fieldTooLong},
        {"field of width 0", zeroWidth},
    };
    for (const auto &c : cases) {
        TempFolder dir;
        dir.write(QStringLiteral("bad.dbf"), c.bytes);
        Table t;
        t.setDatabaseName(dir.path());
        t.setTableName(QStringLiteral("bad.dbf"));
        try {
            t.open();
            ADD_FAILURE() << c.what << ": opened";
        } catch (const DbError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("bad.dbf"))) << c.what;
        }
    }
}

TEST(DbfTable, ARecordCountBeyondTheFileIsCutToTheRecordsPresent)
{
    TempFolder dir;
    QByteArray bytes = streetTable();
    testsupport::putLE32(bytes, 4, 1000000);
    const int recLen = 1 + 9 + 30 + 10 + 12 + 8 + 1;
    bytes.chop(1 + recLen / 2); // half of the last record and the end mark are gone
    dir.write(QStringLiteral("cut.dbf"), bytes);
    Table t;
    openTable(t, dir, QStringLiteral("cut.dbf"));
    EXPECT_EQ(t.recordCount(), 6);
    t.last();
    EXPECT_EQ(t.fieldByName(u"ID").asInteger(), 6);
}

TEST(DbfTable, MemoTextsLiveInTheDbtFile)
{
    TempFolder dir;
    // dBase III with memo: version 0x83; the memo file has 512-byte blocks, block 0
    // its header (next free block at byte 0), texts ended by 0x1A 0x1A.
    QByteArray dbf = dbfFile({{"NAME", 'C', 5, 0}, {"NOTE", 'M', 10, 0}},
                             {record({left(QStringLiteral("a"), 5), right(QStringLiteral("1"), 10)}),
                              record({left(QStringLiteral("b"), 5), QByteArray(10, ' ')})});
    dbf[0] = static_cast<char>(0x83);
    QByteArray dbt(1024, '\0');
    testsupport::putLE32(dbt, 0, 2);
    const QByteArray text = platform::toCp1251(u8("Примечание\r\nвторая строка")) + "\x1A\x1A";
    dbt.replace(512, text.size(), text);
    dir.write(QStringLiteral("notes.dbf"), dbf);
    dir.write(QStringLiteral("NOTES.DBT"), dbt);

    Table t;
    openTable(t, dir, QStringLiteral("notes.dbf"));
    EXPECT_EQ(t.fieldByName(u"NOTE").dataType(), FieldType::Memo);
    EXPECT_TRUE(t.fieldByName(u"NOTE").isBlob());
    EXPECT_EQ(t.fieldByName(u"NOTE").asString(), u8("Примечание\r\nвторая строка"));
    t.next();
    EXPECT_TRUE(t.fieldByName(u"NOTE").isNull());
    t.edit();
    t.fieldByName(u"NOTE").setAsString(u8("Новый текст"));
    t.post();
    t.close();
    t.open();
    t.next();
    EXPECT_EQ(t.fieldByName(u"NOTE").asString(), u8("Новый текст"));
    const QByteArray memo = dir.read(QStringLiteral("NOTES.DBT"));
    EXPECT_EQ(le32At(memo, 0), 3);
    EXPECT_EQ(memo.mid(1024, 13), platform::toCp1251(u8("Новый текст")) + "\x1A\x1A");
}

TEST(DbfTable, BinaryMemosKeepEveryByte)
{
    TempFolder dir;
    // A binary memo block: FF FF 08 00, the length with these 8 bytes, the
    // bytes (0x1A and 0x98 among them: no text end, no code page).
    QByteArray dbf = dbfFile({{"PIC", 'B', 10, 0}}, {record({right(QStringLiteral("1"), 10)})});
    dbf[0] = static_cast<char>(0x83);
    QByteArray dbt(1024, '\0');
    testsupport::putLE32(dbt, 0, 2);
    const QByteArray data("\x1A\x98\x00\xFFpicture", 11);
    dbt.replace(512, 8, QByteArray("\xFF\xFF\x08\x00\x13\x00\x00\x00", 8));
    dbt.replace(520, data.size(), data);
    dir.write(QStringLiteral("pics.dbf"), dbf);
    dir.write(QStringLiteral("PICS.DBT"), dbt);

    Table t;
    openTable(t, dir, QStringLiteral("pics.dbf"));
    EXPECT_EQ(t.fieldByName(u"PIC").dataType(), FieldType::Blob);
    EXPECT_EQ(t.fieldByName(u"PIC").asBytes(), data);
    QByteArray bigger(700, '\x1A');
    bigger[699] = '\x98';
    t.edit();
    t.fieldByName(u"PIC").setAsBytes(bigger);
    t.post();
    t.close();
    t.open();
    EXPECT_EQ(t.fieldByName(u"PIC").asBytes(), bigger);
    const QByteArray memo = dir.read(QStringLiteral("PICS.DBT"));
    EXPECT_EQ(le32At(memo, 0), 4); // two blocks taken from block 2
    EXPECT_EQ(memo.mid(1024, 8), QByteArray("\xFF\xFF\x08\x00\xC4\x02\x00\x00", 8));
}

TEST(DbfTable, CreatedTableHasTheDescribedFields)
{
    TempFolder dir;
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("made.dbf"));
    t.addFieldDef(QStringLiteral("Name"), FieldType::String, 20);
    t.addFieldDef(QStringLiteral("Count"), FieldType::Integer);
    t.addFieldDef(QStringLiteral("Area"), FieldType::Float, 12, 3);
    t.addFieldDef(QStringLiteral("Day"), FieldType::Date);
    t.addFieldDef(QStringLiteral("Flag"), FieldType::Boolean);
    t.createTable();
    const QByteArray bytes = dir.read(QStringLiteral("made.dbf"));
    ASSERT_EQ(bytes.size(), 32 + 5 * 32 + 2);
    EXPECT_EQ(bytes.mid(32, 5), QByteArray("NAME\0", 5));
    EXPECT_EQ(bytes[32 + 11], 'C');
    EXPECT_EQ(bytes[32 + 16], 20);
    EXPECT_EQ(bytes[64 + 11], 'N');
    EXPECT_EQ(bytes[64 + 16], 11);
    EXPECT_EQ(bytes[96 + 16], 12);
    EXPECT_EQ(bytes[96 + 17], 3);
    EXPECT_EQ(bytes[128 + 11], 'D');
    EXPECT_EQ(bytes[160 + 11], 'L');
    EXPECT_EQ(bytes[bytes.size() - 2], char(0x0D));
    EXPECT_EQ(bytes.back(), char(0x1A));

    t.open();
    t.append();
    t.fieldByName(u"NAME").setAsString(u8("Ґанок"));
    t.fieldByName(u"COUNT").setAsInteger(-42);
    t.post();
    EXPECT_EQ(t.fieldByName(u"COUNT").asInteger(), -42);
    EXPECT_EQ(t.fieldByName(u"name").asString(), u8("Ґанок"));

    Table bad;
    bad.setDatabaseName(dir.path());
    bad.setTableName(QStringLiteral("bad.dbf"));
    bad.addFieldDef(QStringLiteral("TOOLONGNAME1"), FieldType::String, 5);
    EXPECT_THROW(bad.createTable(), DbError);
    bad.fieldDefs().clear();
    bad.addFieldDef(QStringLiteral("N"), FieldType::AutoInc);
    bad.fieldDefs().back().type = FieldType::Graphic;
    EXPECT_THROW(bad.createTable(), DbError);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("bad.dbf"))));
}

TEST(DbfHeader, TheTwoDescriptorWalksDifferOnlyWhereTheHeaderLengthFallsBetweenDescriptors)
{
    // Three descriptors and the end mark at 128; the header length byte
    // pair is rewritten below. Descriptors come as written: a lower-case
    // type letter and the decimals byte of a character field stay as they are.
    QByteArray b = dbfFile({{"A", 'n', 5, 0}, {"B", 'C', 10, 1}, {"C", 'D', 8, 0}}, {});
    using dbf::DescriptorWalk;
    const struct {
        int headerLength;
        size_t withinHeader;
        size_t declared;
    } cases[] = {
        {129, 3, 3}, // 32 * 3 + 33: both read every descriptor
        {117, 2, 3}, // 20 bytes into the third: wholly held 2, rounded 3
        {112, 2, 2}, // 15 bytes into it: rounded down
        {32, 0, 0},  // below 33: the editor reads none
        {5000, 3, 3} // past the bytes: the end mark stops both
    };
    for (const auto &c : cases) {
        b[8] = static_cast<char>(c.headerLength & 0xFF);
        b[9] = static_cast<char>(c.headerLength >> 8);
        ASSERT_EQ(dbf::headerLengthOf(b), c.headerLength);
        EXPECT_EQ(dbf::readDescriptors(b, c.headerLength, DescriptorWalk::WithinHeader).size(), c.withinHeader)
            << c.headerLength;
        EXPECT_EQ(dbf::readDescriptors(b, c.headerLength, DescriptorWalk::Declared).size(), c.declared)
            << c.headerLength;
    }
    const std::vector<dbf::Descriptor> d = dbf::readDescriptors(b, 129, DescriptorWalk::Declared);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].name, QStringLiteral("A"));
    EXPECT_EQ(d[0].type, 'n');
    EXPECT_EQ(d[1].length, 10);
    EXPECT_EQ(d[1].decimals, 1);
    EXPECT_EQ(d[2].type, 'D');
}
