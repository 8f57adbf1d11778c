#include "reports/PreparedPagesSeam.h"

#include "reports/ReportComponent.h"
#include "reports/ReportLibrary.h"

namespace reports {

namespace {

void firePageBegin(int pageNo)
{
    BuildState &state = library().State;
    auto fire = [pageNo](Report *r) {
        if (auto *report = dynamic_cast<TfrReport *>(r); report && report->OnBeginPage)
            report->OnBeginPage(pageNo);
    };
    fire(state.CurrentReport);
    if (state.MasterReport != state.CurrentReport)
        fire(state.MasterReport);
}

} // namespace

void TfrEMFPages::Add(const Page &page)
{
    Insert(Count(), page);
}

void TfrEMFPages::Insert(int index, const Page &page)
{
    auto record = std::make_unique<TfrEMFPage>();
    record->PaperSize = page.pgSize;
    record->PaperWidth = page.pgWidth;
    record->PaperHeight = page.pgHeight;
    record->Orientation = page.pgOr;
    record->Bin = page.pgBin;
    record->UseMargins = page.UseMargins;
    record->Margins[0] = page.MarginLeft;
    record->Margins[1] = page.MarginTop;
    record->Margins[2] = page.MarginRight;
    record->Margins[3] = page.MarginBottom;
    record->Metrics = page.Metrics;
    record->Stream = std::make_unique<QBuffer>();
    record->Stream->open(QIODevice::ReadWrite);
    record->Stream->putChar(25);
    if (index < 0 || index > Count())
        index = Count();
    pages_.insert(pages_.begin() + index, std::move(record));
    firePageBegin(library().State.PageNo);
}

void TfrEMFPages::Delete(int index)
{
    if (index >= 0 && index < Count())
        pages_.erase(pages_.begin() + index);
}

void TfrEMFPages::ObjectsToPage(int index)
{
    if (index < 0 || index >= Count())
        return;
    TfrEMFPage &p = *pages_[index];
    p.Page = std::make_unique<reports::Page>();
    p.Page->ChangePaper(p.PaperSize, p.PaperWidth, p.PaperHeight, p.Bin, p.Orientation);
    p.Page->UseMargins = p.UseMargins;
    p.Page->MarginLeft = p.Margins[0];
    p.Page->MarginTop = p.Margins[1];
    p.Page->MarginRight = p.Margins[2];
    p.Page->MarginBottom = p.Margins[3];
}

void TfrEMFPages::PageToObjects(int) {}

void TfrEMFPages::Draw(int index, gdi::Canvas &, const QRect &rect)
{
    if (index >= 0 && index < Count() && rect.isEmpty())
        pages_[index]->Page.reset();
}

void TfrEMFPages::ExportData(int) {}

} // namespace reports
