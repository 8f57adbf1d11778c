#pragma once
// What a report's build and printing use by default: the report dialogs'
// modal progress window (reports/model/ReportDialogs) and a print job on the
// platform's selected printer (reports/output/PrinterJob). The preview window is
// not among them: it comes through ReportWindows::ShowPreview of its own.

#include "reports/output/PrinterJob.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportDialogs.h"

namespace reports {

// The build's and the printing's progress under the report dialogs' modal
// progress window: the lines go to its message line, each line lets it take
// a press of Cancel (which stops the build between pages).
class DialogReportWindows : public ReportWindows {
public:
    explicit DialogReportWindows(TfrReport &report) : report_(report) {}
    bool RunProgress(const QString &caption, const QString &line, const std::function<void()> &work) override;
    void SetProgressLine(const QString &line) override;
    void CloseProgress(int modalResult) override;
    void SetProgressVisible(bool visible) override;

private:
    TfrReport &report_;
    ProgressWindow *window_ = nullptr;
};

// The printing loop's job on the platform's selected printer. A job the
// printer refuses stops the report's printing (its Terminated flag), and the
// sheets asked for meanwhile are drawn nowhere.
class PlatformPrintJob : public PrintJob {
public:
    explicit PlatformPrintJob(TfrReport &report, platform::PrinterBackend &backend = platform::printerBackend());
    ~PlatformPrintJob() override;
    bool CanCopy() const override { return job_.CanCopy(); }
    void SetCopies(int copies) override { job_.SetCopies(copies); }
    void BeginDoc(const QString &title) override;
    void NewPage() override;
    void EndDoc() override { job_.EndDoc(); }
    void Abort() override { job_.Abort(); }
    platform::gdi::Canvas &Canvas() override;
    std::optional<QPoint> SheetOffset() const override;

private:
    TfrReport &report_;
    platform::PrinterBackend &backend_;
    PrinterJob job_;
    std::unique_ptr<platform::gdi::Canvas> nowhere_;
};

} // namespace reports
