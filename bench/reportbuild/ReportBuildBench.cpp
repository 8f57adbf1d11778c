// Building a report over a dBase table of 10,000 and 100,000 rows: a page
// header and footer, a group every 50 rows with its header and footer, and
// a data band of three text objects, on A4. Counters: rows and pages per
// second, and the bytes of the prepared pages per page (what stays in
// memory grows with the pages only through them).
//
//   build/bench/bench_reportbuild

#include "BenchFolder.h"

#include "platform/db/Table.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace reports;
namespace db = platform::db;

namespace {

// The table of n rows, written once per size.
db::Table &rows(int n)
{
    static std::map<int, std::unique_ptr<db::Table>> tables;
    auto &slot = tables[n];
    if (slot)
        return *slot;
    slot = std::make_unique<db::Table>();
    db::Table &t = *slot;
    t.setDatabaseName(bench::benchFolder());
    t.setTableName(QStringLiteral("Rows%1.dbf").arg(n));
    t.addFieldDef(QStringLiteral("ID"), db::FieldType::Integer);
    t.addFieldDef(QStringLiteral("NAME"), db::FieldType::String, 30);
    t.addFieldDef(QStringLiteral("AREA"), db::FieldType::Float);
    t.createTable();
    t.open();
    for (int i = 0; i < n; ++i) {
        t.append();
        t.fieldByName(u"ID").setAsInteger(i);
        t.fieldByName(u"NAME").setAsString(QStringLiteral("Участок %1").arg(i));
        t.fieldByName(u"AREA").setAsFloat(i * 0.25);
        t.post();
    }
    return t;
}

void addBand(Page &page, const QString &name, int type, int top, int height, const QString &source = QString(),
             quint16 flags = 0)
{
    auto b = std::make_unique<BandView>();
    b->Name = name;
    b->SetBandType(type);
    b->SetBounds(0, top, 700, height);
    b->DisplayFormatText = source;
    b->Flags = flags;
    page.Add(std::move(b));
}

void addMemo(Page &page, const QString &name, int left, int top, int width, const QString &text)
{
    auto m = std::make_unique<MemoView>();
    m->Name = name;
    m->SetBounds(left, top, width, 18);
    m->Memo = QStringList{text};
    page.Add(std::move(m));
}

void BM_BuildReport(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    db::Table &table = rows(n);
    resetLibrary();
    TfrReport report;
    report.ShowProgress = false;
    DBDataSet source;
    source.Name = "Rows";
    source.SetDataSet(&table);
    report.Components.push_back(&source);
    auto page = std::make_unique<Page>();
    addBand(*page, "Head", btPageHeader, 20, 20, QString(), flBandOnFirstPage);
    addMemo(*page, "PageNo", 0, 20, 300, "Лист [PAGE#]");
    addBand(*page, "Group", btGroupHeader, 50, 20, "INT([Rows.ID] / 50)");
    addMemo(*page, "GroupNo", 0, 50, 300, "Группа [Rows.ID] ");
    addBand(*page, "Data", btMasterData, 80, 20, "Rows");
    addMemo(*page, "Id", 0, 80, 60, "[LINE#]");
    addMemo(*page, "Name", 70, 80, 200, "[Rows.NAME]");
    addMemo(*page, "Area", 280, 80, 100, "[Rows.AREA #N10,2]");
    addBand(*page, "GroupEnd", btGroupFooter, 110, 20);
    addMemo(*page, "GroupEndText", 0, 110, 300, "Конец группы");
    addBand(*page, "Foot", btPageFooter, 900, 20, QString(), flBandOnFirstPage | flBandOnLastPage);
    addMemo(*page, "Footer", 0, 900, 300, "— [PAGE#] —");
    report.Pages.push_back(std::move(page));

    int pages = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        if (!report.PrepareReport()) {
            state.SkipWithError("not built");
            return;
        }
        pages = report.EMFPages->Count();
        bytes = 0;
        for (int i = 0; i < pages; ++i)
            bytes += (*report.EMFPages)[i].Data().size();
    }
    state.counters["rows/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pages"] = pages;
    state.counters["bytes/page"] = pages ? double(bytes) / pages : 0;
}

} // namespace

BENCHMARK(BM_BuildReport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
