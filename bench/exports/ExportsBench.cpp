// Exporting the parcel report of the exports' tests at 100 and at 500 pages
// to every format, through the export road as the program does: plain and
// DOS text, RTF paragraphs and tables, and the workbook written by the
// program's own spreadsheet server. The time per page of both sizes shows
// whether the cost grows linearly with the pages.

#include "reports/ExportFixture.h"

#include "reports/export/ExcelExport.h"
#include "reports/export/RtfExport.h"
#include "reports/export/TextExport.h"
#include "reports/export/XlsxWorkbook.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace exportfixture;

namespace {

// The parcels on the fixture's pages: 13 on the first page, 16 on every
// other; the last page holds 8 and the total.
int rowsFor(int pages)
{
    return 13 + (pages - 2) * 16 + 8;
}

std::map<int, ParcelReport *> built;
QTemporaryDir *folder = nullptr;

enum Format { PlainText, DosText, RtfParagraphs, RtfTable, Workbook };
const char *const kNames[] = {"plain text", "DOS text", "RTF paragraphs", "RTF table", "xlsx"};

void BM_Export(benchmark::State &state)
{
    const auto format = static_cast<Format>(state.range(0));
    const int pages = static_cast<int>(state.range(1));
    ParcelReport &r = *built.at(pages);
    if (r.report.EMFPages->Count() != pages) {
        state.SkipWithError(QStringLiteral("the report has %1 pages").arg(r.report.EMFPages->Count()).toStdString().c_str());
        return;
    }
    XlsxServers workbooks;
    platform::ScopedService<SpreadsheetServers> use(workbooks);
    const QString file = folder->filePath(QStringLiteral("out"));
    for (auto _ : state) {
        std::unique_ptr<ExportFilter> filter;
        switch (format) {
        case PlainText:
        case DosText: {
            auto t = std::make_unique<TfrTextExport>();
            t->ExportFrames = true;
            t->UsePseudographic = t->ConvertToOEM = format == DosText;
            filter = std::move(t);
            break;
        }
        case RtfParagraphs:
        case RtfTable: {
            auto t = std::make_unique<TfrRTFExport>();
            t->ExportBitmaps = true;
            t->ConvertToTable = format == RtfTable;
            filter = std::move(t);
            break;
        }
        case Workbook:
            filter = std::make_unique<TfrOLEExcelExport>();
            break;
        }
        filter->ShowDialog = false;
        r.report.ExportTo(filter.get(), file);
    }
    state.SetLabel(kNames[format]);
    state.counters["pages"] = pages;
    state.counters["per_page"] =
        benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
}
BENCHMARK(BM_Export)
    ->ArgsProduct({{PlainText, DosText, RtfParagraphs, RtfTable, Workbook}, {100, 500}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    resetLibrary();
    QTemporaryDir dir;
    folder = &dir;
    // Built once, before anything is timed.
    ParcelReport hundred(rowsFor(100));
    ParcelReport fiveHundred(rowsFor(500));
    for (ParcelReport *r : {&hundred, &fiveHundred})
        if (!r->report.PrepareReport())
            return 1;
    built[100] = &hundred;
    built[500] = &fiveHundred;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
