// The database engine on a 100,000-row dBase table: the search window's Like
// search, a full scan through a table and through SQL, and a two-field locate.
// The table is written once (into $TOLVANE_BENCH_DIR when set, so that
// bench/db_vs_ogrinfo.sh can time GDAL's ogrinfo on the same file).

#include "bench/BenchFolder.h"
#include "platform/db/DbfCodec.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

using namespace platform::db;

namespace {

using bench::benchFolder;

constexpr int kRows = 100000;

// Writes big.dbf: ID, STREET (one row in 50 on "Шевченка" in changing case),
// HOUSE, AREA, DATEEDIT. Built with the codec, record by record.
const QString &bigTable()
{
    static const QString path = [] {
        const QString file = QDir(benchFolder()).filePath(QStringLiteral("big.dbf"));
        FieldDefs defs;
        defs.push_back({QStringLiteral("ID"), FieldType::Integer, 9, 0});
        defs.push_back({QStringLiteral("STREET"), FieldType::String, 40, 0});
        defs.push_back({QStringLiteral("HOUSE"), FieldType::String, 10, 0});
        defs.push_back({QStringLiteral("AREA"), FieldType::Float, 12, 2});
        defs.push_back({QStringLiteral("DATEEDIT"), FieldType::Date, 8, 0});
        std::vector<dbf::DbfField> layout;
        QByteArray bytes = dbf::buildHeader(defs, QDate(2024, 5, 17), kRows, false, &layout);
        const QStringList streets = {QStringLiteral("Франка"), QStringLiteral("Лесі Українки"), QStringLiteral("Садова"),
                                     QStringLiteral("Грушевського"), QStringLiteral("Личаківська"),
                                     QStringLiteral("Зелена"), QStringLiteral("Городоцька")};
        const int recordLength = layout.back().offset + layout.back().length;
        for (int i = 0; i < kRows; ++i) {
            QByteArray rec = dbf::blankRecord(recordLength);
            QString street = streets[i % streets.size()] + QStringLiteral(" ") + QString::number(i % 97);
            if (i % 50 == 0)
                street = (i % 100 == 0 ? QStringLiteral("вул. ШЕВЧЕНКА Т.") : QStringLiteral("вул. Шевченка"));
            dbf::encodeValue(layout[0], rec, i + 1);
            dbf::encodeValue(layout[1], rec, street);
            dbf::encodeValue(layout[2], rec, QString::number(i % 150 + 1));
            dbf::encodeValue(layout[3], rec, (i % 1000) * 1.25);
            dbf::encodeValue(layout[4], rec, QDate(2000, 1, 1).addDays(i % 8000));
            bytes += rec;
        }
        bytes += char(0x1A);
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark table");
        return file;
    }();
    return path;
}

void BM_LikeSearch(benchmark::State &state)
{
    bigTable();
    for (auto _ : state) {
        Query q;
        q.setDatabaseName(benchFolder());
        q.setSql({QStringLiteral("Select *"), QStringLiteral("From \"big.dbf\""),
                  QStringLiteral("Where (STREET Like \"%шевченка%\")"), QStringLiteral("ORDER BY STREET,HOUSE")});
        q.open();
        if (q.recordCount() != kRows / 50)
            state.SkipWithError("wrong number of rows");
        benchmark::DoNotOptimize(q.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LikeSearch)->Unit(benchmark::kMillisecond);

void BM_FullScanSql(benchmark::State &state)
{
    bigTable();
    for (auto _ : state) {
        Query q;
        q.setDatabaseName(benchFolder());
        q.setSqlText(QStringLiteral("Select Count(*) N, Sum(AREA) S From \"big.dbf\""));
        q.open();
        benchmark::DoNotOptimize(q.fieldByName(u"S").asFloat());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FullScanSql)->Unit(benchmark::kMillisecond);

void BM_FullScanTable(benchmark::State &state)
{
    bigTable();
    for (auto _ : state) {
        Table t;
        t.setDatabaseName(benchFolder());
        t.setTableName(QStringLiteral("big.dbf"));
        t.open();
        Field &street = t.fieldByName(u"STREET");
        Field &area = t.fieldByName(u"AREA");
        double sum = 0;
        qsizetype chars = 0;
        for (t.first(); !t.eof(); t.next()) {
            sum += area.asFloat();
            chars += street.asString().size();
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FullScanTable)->Unit(benchmark::kMillisecond);

void BM_LocateTwoFields(benchmark::State &state)
{
    bigTable();
    Table t;
    t.setDatabaseName(benchFolder());
    t.setTableName(QStringLiteral("big.dbf"));
    t.open();
    for (auto _ : state) {
        // A house the street does not have: the locate reads every row.
        if (t.locate(QStringLiteral("STREET;HOUSE"), {QStringLiteral("вул. шевченка"), QStringLiteral("999")}))
            state.SkipWithError("found a row that is not there");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LocateTwoFields)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
