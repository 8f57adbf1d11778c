// The preview of a 500-page report: opening it (taking the pages and laying
// them out) and then showing page 400 (scrolling there and drawing what the
// surface shows). Pages are never built again for the view.

#include "reports/model/PreparedPages.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/ui/PreviewForm.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace reports;

namespace {

void fillPages(TfrReport &report, int count)
{
    Page templatePage;
    for (int p = 0; p < count; ++p) {
        report.EMFPages->Add(templatePage);
        report.EMFPages->ObjectsToPage(p);
        for (int row = 0; row < 40; ++row) {
            auto memo = std::make_unique<MemoView>();
            memo->Name = QStringLiteral("Memo%1").arg(row);
            memo->SetBounds(40, 60 + row * 25, 600, 20);
            memo->Memo = {QStringLiteral("Участок %1, строка %2: кадастровый номер 50:21:0%3").arg(p + 1).arg(row + 1).arg(p * 40 + row)};
            (*report.EMFPages)[p].Page->Add(std::move(memo));
        }
        report.EMFPages->PageToObjects(p);
    }
}

void BM_OpenAndShowPage400(benchmark::State &state)
{
    TfrReport report;
    report.ModalPreview = false;
    fillPages(report, 500);
    for (auto _ : state) {
        TfrPreviewForm form;
        form.resize(1024, 768);
        form.Connect(report);
        form.ResetView(true);
        form.show();
        form.GotoPage(400);
        form.PBox->repaint();
        benchmark::DoNotOptimize(form.ShownPage);
        form.Disconnect();
    }
}
BENCHMARK(BM_OpenAndShowPage400)->Unit(benchmark::kMillisecond);

// From an open preview: going to page 400 and drawing it.
void BM_ShowPage400(benchmark::State &state)
{
    TfrReport report;
    fillPages(report, 500);
    TfrPreviewForm form;
    form.resize(1024, 768);
    form.Connect(report);
    form.ResetView(true);
    form.show();
    QApplication::processEvents();
    int page = 400;
    for (auto _ : state) {
        form.GotoPage(page);
        form.PBox->repaint();
        page = page == 400 ? 100 : 400;
    }
    form.GotoPage(400);
    form.PBox->repaint();
    if (!(*form.HeldPages)[399].Visible || (*form.HeldPages)[0].Visible)
        state.SkipWithError("page 400 was not drawn");
    form.Disconnect();
}
BENCHMARK(BM_ShowPage400)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
