// The roads of a built report: the preview, the printer, an export filter and
// the designer, and the switch to another printer.
#include "reports/model/ReportComponent.h"
#include "reports/output/PreviewWindows.h"

#include "reports/build/BandRuntime.h"
#include "reports/model/DataDictionary.h"
#include "reports/output/ReportAdapters.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportPrinter.h"
#include "reports/language/ResourceTexts.h"

#include "platform/UserAnswers.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

QString captionWithTitle(int id, const QString &title)
{
    QString caption = GetResourceText(id);
    if (!title.isEmpty())
        caption += QStringLiteral(" - ") + title;
    return caption;
}

} // namespace

// Made here, as the windows a report has by default are the output's.
TfrReport::TfrReport()
    : EMFPages(std::make_unique<TfrEMFPages>(this)), Dictionary(std::make_unique<DataDictionary>(this)),
      host_(MakeReportHost(*this)), dialogWindows_(std::make_unique<DialogReportWindows>(*this))
{
    Windows = dialogWindows_.get();
    FileName = QStringLiteral("Untitled");
    ResetReportInfo();
}

QSet<int> ParsePageList(const QString &text, int pageCount)
{
    QSet<int> pages;
    QString list = text;
    list.remove(u' ');
    if (list.isEmpty())
        return pages;
    if (list.endsWith(u'-'))
        list += QString::number(pageCount);
    for (const QString &item : list.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype dash = item.indexOf(u'-');
        bool okA = false, okB = false;
        if (dash > 0) {
            const int a = item.left(dash).toInt(&okA);
            const int b = item.mid(dash + 1).toInt(&okB);
            if (okA && okB)
                for (int n = a; n <= b; ++n)
                    pages.insert(n);
        } else {
            const int n = item.toInt(&okA);
            if (okA)
                pages.insert(n);
        }
    }
    return pages;
}

void ReportWindows::ShowPreview(TfrReport &report, const QString &caption)
{
    platform::Service<PreviewWindows>::get().Show(report, caption);
}

void TfrReport::ShowPreparedReport()
{
    BuildState &state = library().State;
    state.CurrentReport = state.MasterReport = this;
    state.DocumentMode = 1;
    state.CurrentBand = nullptr;
    if (EMFPages->Count() == 0)
        return;
    if (Preview) {
        Preview->Connect(this);
        return;
    }
    if (Windows)
        Windows->ShowPreview(*this, captionWithTitle(55207, Title));
}

void TfrReport::PrintPreparedReport(const QString &pageList, int copies, bool collate, int pageChoice)
{
    BuildState &state = library().State;
    state.CurrentReport = state.MasterReport = this;
    Terminated = false;
    PrintPageList = pageList;
    PrintCopies = copies;
    PrintCollate = collate;
    PrintPageChoice = pageChoice;
    if (OnProgress || !ShowProgress || !Windows) {
        auto mouseOver = std::move(OnMouseOverObject);
        OnMouseOverObject = nullptr;
        DoPrintReport(pageList, copies, collate, pageChoice);
        OnMouseOverObject = std::move(mouseOver);
        return;
    }
    Windows->RunProgress(captionWithTitle(55203, Title), GetResourceText(55208), [&] {
        DoPrintReport(pageList, copies, collate, pageChoice);
        Windows->CloseProgress(1);
    });
}

void TfrReport::DoPrintReport(const QString &pageList, int copies, bool collate, int pageChoice)
{
    Printer &printer = ReportPrinter();
    std::unique_ptr<PrintJob> platformJob;
    PrintJob *job = Job;
    if (!job) {
        platformJob = std::make_unique<PlatformPrintJob>(*this);
        job = platformJob.get();
    }
    const int count = EMFPages->Count();
    const QSet<int> chosen = ParsePageList(pageList, count);
    auto inSet = [&chosen](int number) { return chosen.isEmpty() || chosen.contains(number); };
    copies = std::max(1, copies);

    int first = 0;
    for (int i = 0; i < count; ++i)
        if (inSet(i + 1)) {
            first = i;
            break;
        }
    if (count > 0) {
        const TfrEMFPage &p = (*EMFPages)[first];
        printer.SetPageSettings(p.PaperSize, p.PaperWidth, p.PaperHeight, p.Bin, static_cast<std::uint8_t>(p.Orientation), true);
    }
    const QString title = Title.isEmpty() ? GetResourceText(55209) : Title;
    if (OnPrintReport)
        OnPrintReport();

    int engineCopiesPerPage = 1;
    int engineRounds = 1;
    if (collate) {
        job->SetCopies(1);
        engineRounds = copies;
    } else if (job->CanCopy()) {
        job->SetCopies(copies);
    } else {
        job->SetCopies(1);
        engineCopiesPerPage = copies;
    }

    bool firstOfJob = true;
    job->BeginDoc(title);
    auto printPage = [&](int index) {
        const int number = index + 1;
        if ((pageChoice == 1 && number % 2 == 0) || (pageChoice == 2 && number % 2 == 1))
            return;
        TfrEMFPage &p = (*EMFPages)[index];
        const auto orientation = static_cast<std::uint8_t>(p.Orientation);
        if (!printer.SameSettings(p.PaperSize, p.PaperWidth, p.PaperHeight, p.Bin, orientation)) {
            // Another paper: the job ends here and a new one begins.
            job->EndDoc();
            printer.SetPageSettings(p.PaperSize, p.PaperWidth, p.PaperHeight, p.Bin, orientation, true);
            job->BeginDoc(title);
            firstOfJob = true;
        }
        if (!firstOfJob)
            job->NewPage();
        firstOfJob = false;
        printer.GetPageMetrics(p.Metrics);
        PageMetrics &m = p.Metrics;
        if (m.DevicePaperWidth <= 0 || m.DevicePaperHeight <= 0) {
            // The virtual printer has no device: its sizes are taken onto
            // the device of the job (a file the platform prints into), or
            // the page would be drawn into an empty rectangle.
            const gdi::DeviceMetrics &d = job->Canvas().deviceMetrics();
            const auto dx = [&](int units) { return static_cast<int>(std::lround(units * d.logPixelsX / kReportUnitsPerInch)); };
            const auto dy = [&](int units) { return static_cast<int>(std::lround(units * d.logPixelsY / kReportUnitsPerInch)); };
            m.DevicePaperWidth = dx(m.PaperWidth);
            m.DevicePaperHeight = dy(m.PaperHeight);
            // The paper lies where the device says its printable area
            // begins (a PDF's own margins), not at the virtual margins.
            const std::optional<QPoint> offset = job->SheetOffset();
            m.DeviceOffsetX = offset ? offset->x() : dx(m.OffsetX);
            m.DeviceOffsetY = offset ? offset->y() : dy(m.OffsetY);
            m.DevicePrintWidth = dx(m.PrintWidth);
            m.DevicePrintHeight = dy(m.PrintHeight);
        }
        QRect rect;
        if (p.UseMargins) {
            rect = QRect(-m.DeviceOffsetX, -m.DeviceOffsetY, m.DevicePaperWidth, m.DevicePaperHeight);
        } else {
            auto toDevice = [](int units, int device, int report) {
                return report > 0 ? static_cast<int>(std::lround(static_cast<double>(units) * device / report)) : 0;
            };
            const int l = toDevice(p.Margins[0], m.DevicePrintWidth, m.PrintWidth);
            const int t = toDevice(p.Margins[1], m.DevicePrintHeight, m.PrintHeight);
            const int r = toDevice(p.Margins[2], m.DevicePrintWidth, m.PrintWidth);
            const int b = toDevice(p.Margins[3], m.DevicePrintHeight, m.PrintHeight);
            rect = QRect(l, t, m.DevicePrintWidth - l - r, m.DevicePrintHeight - t - b);
        }
        p.Printing = true;
        EMFPages->Draw(index, job->Canvas(), rect);
        p.Printing = false;
        EMFPages->Draw(index, job->Canvas(), QRect());
        ShowProgressPage(number);
    };
    for (int round = 0; round < engineRounds && !Terminated; ++round)
        for (int i = 0; i < count && !Terminated; ++i) {
            if (!inSet(i + 1))
                continue;
            for (int c = 0; c < engineCopiesPerPage && !Terminated; ++c)
                printPage(i);
        }
    if (Terminated)
        job->Abort();
    else
        job->EndDoc();
}

void TfrReport::ExportTo(ExportFilter *filter, const QString &name)
{
    BuildState &state = library().State;
    state.DocumentMode = 1;
    CurrentFilter = filter;
    // The filter is let go however the export ends.
    struct Release {
        TfrReport &report;
        ~Release() { report.CurrentFilter = nullptr; }
    } release{*this};
    QString fileName = name;
    filter->FileName = fileName;
    bool proceed = true;
    if (filter->OnBeforeExport)
        filter->OnBeforeExport(fileName, proceed);
    if (proceed && filter->ShowModal() == 1) {
        // Written beside the target and put in its place only when the pages
        // went through: a failed export leaves an earlier file as it was, and
        // so does a filter that writes its file itself (it writes nothing
        // here).
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error(QStringLiteral("Cannot create file \"%1\"").arg(fileName).toStdString());
        filter->FileName = fileName;
        filter->Stream = &file;
        state.CurrentReport = state.MasterReport = this;
        TotalPages = EMFPages->Count();
        struct Close {
            ExportFilter *filter;
            ~Close() { filter->Stream = nullptr; }
        } close{filter};
        filter->OnBeginDoc();
        auto loop = [&] {
            for (int i = 0; i < EMFPages->Count() && !Terminated; ++i) {
                filter->OnBeginPage();
                EMFPages->ExportData(i);
                ShowProgressPage(i + 1);
                filter->OnEndPage();
            }
            filter->OnEndDoc();
            if (ShowProgress && Windows)
                Windows->CloseProgress(1);
        };
        if (ShowProgress && Windows)
            Windows->RunProgress(captionWithTitle(55203, Title), GetResourceText(55205) + QStringLiteral("  1"), loop);
        else
            loop();
        filter->Stream = nullptr;
        if (file.pos() > 0 || !QFileInfo::exists(fileName)) {
            if (!file.commit())
                throw std::runtime_error(QStringLiteral("Cannot create file \"%1\"").arg(fileName).toStdString());
        } else {
            file.cancelWriting();
        }
    }
    if (filter->OnAfterExport)
        filter->OnAfterExport(fileName);
}

namespace {

// A designer window from the registered designer class; none, and the user
// told so, while the program has no designer linked in.
std::unique_ptr<ReportDesigner> makeDesigner(bool firstInstance)
{
    if (const DesignerFactory &factory = library().State.DesignerFormClass)
        return factory(firstInstance);
    platform::answers().messageDlg(QStringLiteral("Редактирование отчёта невозможно: конструктор отчётов недоступен."),
                                   platform::MsgType::Warning, platform::mbOK);
    return nullptr;
}

} // namespace

int TfrReport::DesignReport()
{
    BuildState &state = library().State;
    SetPrinterTo(PrnName);
    if (Pages.empty())
        Pages.push_back(std::make_unique<Page>());
    state.CurrentReport = this;
    std::unique_ptr<ReportDesigner> designer = makeDesigner(true);
    if (!designer)
        return 2;
    state.CurrentDesigner = designer.get();
    const int result = designer->ShowModal();
    state.CurrentDesigner = nullptr;
    return result;
}

void TfrReport::EditPreparedReport(int index)
{
    BuildState &state = library().State;
    if (index < 0 || index >= EMFPages->Count())
        return;
    ReportDesigner *previous = state.CurrentDesigner;
    Page *previousPage = state.DesignerPage;
    state.DesignerPage = nullptr;
    std::unique_ptr<ReportDesigner> designer = makeDesigner(false);
    if (!designer) {
        state.DesignerPage = previousPage;
        return;
    }
    state.CurrentDesigner = designer.get();
    QBuffer saved;
    saved.open(QIODevice::ReadWrite);
    SaveToStream(saved);
    std::vector<std::unique_ptr<Page>> keptPages;
    keptPages.swap(Pages);
    struct Restore {
        TfrReport &report;
        QBuffer &saved;
        std::vector<std::unique_ptr<Page>> &kept;
        ReportDesigner *previous;
        Page *previousPage;
        ~Restore()
        {
            // The edited page is the prepared page's own: it is not freed here.
            for (auto &p : report.Pages)
                (void)p.release();
            report.Pages.clear();
            report.Pages.swap(kept);
            if (saved.size() > 0) {
                saved.seek(0);
                report.LoadFromStream(saved);
            }
            BuildState &st = library().State;
            st.CurrentDesigner = previous;
            st.DesignerPage = previous && !report.Pages.empty() ? report.Pages.front().get() : previousPage;
        }
    } restore{*this, saved, keptPages, previous, previousPage};
    EMFPages->ObjectsToPage(index);
    if (!(*EMFPages)[index].Page)
        return;
    Pages.emplace_back((*EMFPages)[index].Page.get());
    if (designer->ShowModal() >= 0 && designer->GetModified()) {
        const int answer = platform::answers().messageDlg(GetResourceText(55306) + u'?', platform::MsgType::Confirmation,
                                                          platform::mbYesNo, GetResourceText(55006));
        if (answer == platform::mrYes)
            EMFPages->PageToObjects(index);
    }
}

bool TfrReport::ChangePrinter(int oldIndex, int newIndex)
{
    Printer &printer = ReportPrinter();
    auto applyPapers = [this] {
        for (const auto &p : Pages)
            p->ChangePaper(p->pgSize, p->pgWidth, p->pgHeight, p->pgBin, p->pgOr);
    };
    try {
        printer.SetPrinterIndex(newIndex);
        PrnName = printer.Printers.value(newIndex);
        printer.PaperSize = -1;
        applyPapers();
        return true;
    } catch (const std::exception &) {
        platform::answers().messageDlg(GetResourceText(55210), platform::MsgType::Error, platform::mbOK,
                                       GetResourceText(55206));
        printer.SetPrinterIndex(oldIndex);
        PrnName = printer.Printers.value(oldIndex);
        applyPapers();
        return false;
    }
}

} // namespace reports
