// Band data sources: counted and open user data sets, database data sets over
// an in-memory table with every range, data sources, references that clear
// themselves, and the adapters on fields and bookmarks.

#include "ReportTestSupport.h"
#include "platform/db/MemoryTable.h"
#include "reports/model/DataSets.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace reports;
namespace db = platform::db;

namespace {

std::unique_ptr<db::MemoryTable> fiveRows()
{
    db::FieldDefs defs{{QStringLiteral("ID"), db::FieldType::Integer, 4, 0},
                       {QStringLiteral("NAME"), db::FieldType::String, 20, 0}};
    std::vector<std::vector<QVariant>> rows;
    for (int i = 1; i <= 5; ++i)
        rows.push_back({i, QStringLiteral("row %1").arg(i)});
    return std::make_unique<db::MemoryTable>(defs, rows);
}

// The IDs a band prints: Init, First, then Eof/Next, then Exit.
std::vector<int> walk(Dataset &source, db::DataSet &table)
{
    std::vector<int> ids;
    source.Init();
    source.First();
    for (int guard = 0; !source.Eof() && guard < 100; ++guard) {
        ids.push_back(table.fieldByName(u"ID").asInteger());
        source.Next();
    }
    source.Exit();
    return ids;
}

} // namespace

TEST(UserDataset, CountedRangeAndTheEndEvent)
{
    UserDataset counted;
    counted.RangeEnd = TRangeEnd::reCount;
    counted.RangeEndCount = 3;
    int nexts = 0;
    counted.OnNext = [&](Dataset &) { ++nexts; };
    counted.First();
    std::vector<bool> ends{counted.Eof()};
    for (int i = 0; i < 3; ++i) {
        counted.Next();
        ends.push_back(counted.Eof());
    }
    EXPECT_EQ(ends, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(nexts, 2);

    // Without a range only OnCheckEOF ends it.
    UserDataset open;
    int firsts = 0, priors = 0;
    open.OnFirst = [&](Dataset &) { ++firsts; };
    open.OnPrior = [&](Dataset &) { ++priors; };
    open.First();
    for (int i = 0; i < 50; ++i)
        open.Next();
    EXPECT_FALSE(open.Eof());
    open.OnCheckEOF = [](Dataset &d, bool &eof) { eof = d.RecNo >= 5; };
    int records = 0;
    for (open.First(); !open.Eof(); open.Next())
        ++records;
    EXPECT_EQ(records, 5);
    open.Prior();
    EXPECT_EQ(open.RecNo, 4);
    EXPECT_EQ(firsts, 2);
    EXPECT_EQ(priors, 1);
}

TEST(DBDataSet, RangesOverATable)
{
    const struct {
        TRangeBegin begin;
        TRangeEnd end;
        int count;
        std::vector<int> printed;
        int standsOnAfter; // the current record after Exit
    } cases[] = {
        {TRangeBegin::rbFirst, TRangeEnd::reLast, 0, {1, 2, 3, 4, 5}, 6},
        {TRangeBegin::rbCurrent, TRangeEnd::reLast, 0, {3, 4, 5}, 3},
        {TRangeBegin::rbCurrent, TRangeEnd::reCurrent, 0, {3}, 3},
        // ends on the kept record instead of never moving on
        {TRangeBegin::rbFirst, TRangeEnd::reCurrent, 0, {1, 2, 3}, 3},
        {TRangeBegin::rbFirst, TRangeEnd::reCount, 2, {1, 2}, 3},
        {TRangeBegin::rbCurrent, TRangeEnd::reCount, 9, {3, 4, 5}, 3},
    };
    for (const auto &c : cases) {
        auto table = fiveRows();
        table->open();
        table->setRecNo(3);
        DBDataSet source;
        source.SetDataSet(table.get());
        source.RangeBegin = c.begin;
        source.RangeEnd = c.end;
        source.RangeEndCount = c.count;
        EXPECT_EQ(walk(source, *table), c.printed) << int(c.begin) << "/" << int(c.end);
        if (c.standsOnAfter > 5) {
            EXPECT_TRUE(table->eof());
        } else {
            EXPECT_EQ(table->recNo(), c.standsOnAfter) << int(c.begin) << "/" << int(c.end);
        }
    }
}

TEST(DBDataSet, OpensClosesAndMovesBack)
{
    auto table = fiveRows();
    DBDataSet source;
    source.Name = QStringLiteral("frDBDataSet1");
    source.SetDataSet(table.get());
    source.CloseDataSource = true;
    QStringList events;
    source.OnOpen = [&](Dataset &) { events << QStringLiteral("open"); };
    source.OnClose = [&](Dataset &) { events << QStringLiteral("close"); };
    source.Init();
    EXPECT_TRUE(table->active());
    source.First();
    source.Next();
    source.Next();
    source.Prior();
    EXPECT_EQ(table->fieldByName(u"ID").asInteger(), 2);
    EXPECT_EQ(source.RecNo, 1);
    source.Exit();
    EXPECT_FALSE(table->active());
    EXPECT_EQ(events, QStringList({QStringLiteral("open"), QStringLiteral("close")}));
}

TEST(DBDataSet, DataSourcesAndReferencesThatClearThemselves)
{
    auto first = fiveRows();
    auto second = fiveRows();
    second->open();
    second->setRecNo(5);
    DBDataSet source;
    source.Name = QStringLiteral("frDBDataSet1");
    source.RangeBegin = TRangeBegin::rbCurrent;
    source.SetDataSet(first.get());
    auto dataSource = std::make_unique<db::DataSource>();
    dataSource->setDataSet(second.get());
    source.SetDataSource(dataSource.get());
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(&source.GetDataSet(), second.get());
    EXPECT_EQ(walk(source, *second), std::vector<int>{5});

    // Setting a data set clears the data source.
    source.SetDataSet(first.get());
    EXPECT_EQ(source.DataSource(), nullptr);
    EXPECT_EQ(&source.GetDataSet(), first.get());

    // Destroyed components leave no dangling reference.
    source.SetDataSource(dataSource.get());
    dataSource.reset();
    EXPECT_EQ(source.DataSource(), nullptr);
    source.SetDataSet(first.get());
    first.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    for (const auto &operation : std::vector<std::function<void()>>{[&] { source.Init(); }, [&] { source.First(); },
                                                                     [&] { source.Next(); }, [&] { source.Eof(); }}) {
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const DataSetError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Unable to open dataset frDBDataSet1"));
        }
    }
}

TEST(DataSetAdapters, BlobsFieldNamesAndBookmarks)
{
    using T = db::FieldType;
    db::FieldDefs defs{{QStringLiteral("ID"), T::Integer, 4, 0},
                       {QStringLiteral("NOTE"), T::Memo, 10, 0},
                       {QStringLiteral("DATA"), T::Blob, 10, 0},
                       {QStringLiteral("RAW"), T::Bytes, 4, 0}};
    db::MemoryTable table(defs, {{1, QStringLiteral("первая\r\nвторая"), QByteArray("\x01\x02\x03", 3),
                                  QByteArray("ab")},
                                 {2, QVariant(), QVariant(), QVariant()}});
    table.open();
    EXPECT_FALSE(IsBlobField(table.field(0)));
    EXPECT_TRUE(IsBlobField(table.field(1)));
    EXPECT_TRUE(IsBlobField(table.field(2)));
    EXPECT_FALSE(IsBlobField(table.field(3)));

    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    AssignBlobField(table.field(2), stream);
    EXPECT_EQ(stream.pos(), 0);
    EXPECT_EQ(stream.readAll(), QByteArray("\x01\x02\x03", 3));
    QStringList lines;
    AssignBlobField(table.field(1), lines);
    EXPECT_EQ(lines, QStringList({QStringLiteral("первая"), QStringLiteral("вторая")}));
    QImage picture(2, 2, QImage::Format_RGB32);
    AssignBlobField(table.field(2), picture);
    EXPECT_TRUE(picture.isNull());

    QStringList names{QStringLiteral("kept")};
    GetDataSetFieldNames(&table, names);
    EXPECT_EQ(names, QStringList({QStringLiteral("kept"), QStringLiteral("ID"), QStringLiteral("NOTE"),
                                  QStringLiteral("DATA"), QStringLiteral("RAW")}));
    GetDataSetFieldNames(nullptr, names);
    EXPECT_EQ(names.size(), 5);

    db::Bookmark a = GetBookmark(table);
    table.next();
    const db::Bookmark b = GetBookmark(table);
    EXPECT_FALSE(BookmarksEqual(table, a, b));
    GotoBookmark(table, a);
    EXPECT_TRUE(BookmarksEqual(table, a, GetBookmark(table)));
    FreeBookmark(table, a);
    EXPECT_FALSE(a.isValid());
}
