// The search window's search on a 100,000-row layer table: the SQL it builds
// from a street and a house (two Like conditions and the order by both)
// opened through the database engine and read to its last row. The table and
// the same rows as CSV are written once into $TOLVANE_BENCH_DIR when set, so
// that bench/search_vs_sqlite.sh can run sqlite3 and ogrinfo on them.

#include "bench/BenchFolder.h"
#include "dialogs/SearchRequests.h"
#include "platform/db/DbfCodec.h"
#include "platform/db/Query.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

using namespace platform::db;

namespace {

using bench::benchFolder;

constexpr int kRows = 100000;

// parcels.dbf (ID, NAME, STREET, HOUSE, AREA) and parcels.csv: one row in 50
// on "вул. Шевченка", houses 1 to 150.
void writeTables()
{
    static bool written = false;
    if (written)
        return;
    written = true;
    FieldDefs defs;
    defs.push_back({QStringLiteral("ID"), FieldType::Integer, 9, 0});
    defs.push_back({QStringLiteral("NAME"), FieldType::String, 20, 0});
    defs.push_back({QStringLiteral("STREET"), FieldType::String, 40, 0});
    defs.push_back({QStringLiteral("HOUSE"), FieldType::String, 10, 0});
    defs.push_back({QStringLiteral("AREA"), FieldType::Float, 12, 2});
    std::vector<dbf::DbfField> layout;
    QByteArray bytes = dbf::buildHeader(defs, QDate(2024, 5, 17), kRows, false, &layout);
    QByteArray csv("ID,NAME,STREET,HOUSE,AREA\n");
    const QStringList streets = {QStringLiteral("Франка"), QStringLiteral("Садова"), QStringLiteral("Грушевського"),
                                 QStringLiteral("Зелена"), QStringLiteral("Городоцька")};
    const int recordLength = layout.back().offset + layout.back().length;
    for (int i = 0; i < kRows; ++i) {
        QByteArray rec = dbf::blankRecord(recordLength);
        const QString street = i % 50 == 0 ? QStringLiteral("вул. Шевченка")
                                           : streets[i % streets.size()] + u' ' + QString::number(i % 97);
        const QString house = QString::number((i * 7) % 150 + 1);
        const QString name = QStringLiteral("Ділянка ") + QString::number(i % 1000);
        const double area = (i % 1000) * 1.25;
        dbf::encodeValue(layout[0], rec, i + 1);
        dbf::encodeValue(layout[1], rec, name);
        dbf::encodeValue(layout[2], rec, street);
        dbf::encodeValue(layout[3], rec, house);
        dbf::encodeValue(layout[4], rec, area);
        bytes += rec;
        csv += QStringLiteral("%1,%2,%3,%4,%5\n").arg(i + 1).arg(name, street, house).arg(area, 0, 'f', 2).toUtf8();
    }
    bytes += char(0x1A);
    for (const auto &[name, content] : {std::pair{QStringLiteral("parcels.dbf"), bytes},
                                        std::pair{QStringLiteral("parcels.csv"), csv}}) {
        QFile f(QDir(benchFolder()).filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qFatal("cannot write the benchmark tables");
    }
}

void BM_SearchWindowLikeOrderBy(benchmark::State &state)
{
    writeTables();
    const QStringList sql = dialogs::search::buildSearchSql(
        QStringLiteral("parcels.dbf"), {QString(), QStringLiteral("STREET"), QStringLiteral("HOUSE")},
        {QString(), QStringLiteral("Шевченка"), QStringLiteral("1")});
    int rows = 0;
    for (auto _ : state) {
        Query q;
        q.setDatabaseName(benchFolder());
        q.setSql(sql);
        q.open();
        q.last(); // the grid's scroll bar needs every row
        rows = q.recordCount();
        benchmark::DoNotOptimize(q.fieldByName(u"ID").asInteger());
    }
    state.counters["rows"] = rows;
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_SearchWindowLikeOrderBy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
