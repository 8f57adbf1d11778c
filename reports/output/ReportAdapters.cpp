#include "reports/output/ReportAdapters.h"

#include "platform/gdi/RecordingCanvas.h"
#include "reports/model/ReportPrinter.h"

namespace reports {

bool DialogReportWindows::RunProgress(const QString &caption, const QString &line, const std::function<void()> &work)
{
    ProgressWindow *outer = window_;
    const int result = reportDialogs().ShowForReport(report_, caption, line, [&](ProgressWindow &window) {
        window_ = &window;
        if (work)
            work();
    });
    window_ = outer;
    return result != 2 && !report_.Terminated;
}

void DialogReportWindows::SetProgressLine(const QString &line)
{
    if (!window_)
        return;
    window_->SetMessage(line);
    window_->ProcessEvents();
}

void DialogReportWindows::CloseProgress(int modalResult)
{
    if (window_)
        window_->SetModalResult(modalResult);
}

void DialogReportWindows::SetProgressVisible(bool visible)
{
    if (window_)
        window_->SetVisible(visible);
}

PlatformPrintJob::PlatformPrintJob(TfrReport &report, platform::PrinterBackend &backend)
    : report_(report), backend_(backend), job_(backend)
{
}

PlatformPrintJob::~PlatformPrintJob() = default;

void PlatformPrintJob::BeginDoc(const QString &title)
{
    // The virtual printer's paper reaches no device by itself: the job's
    // sheets (a PDF file the platform prints into, or the platform's printer)
    // take it, or they keep the platform's own paper and orientation.
    const Printer &printer = ReportPrinter();
    if (printer.IsVirtual()) {
        using F = platform::DeviceMode;
        platform::DeviceMode sheet;
        sheet.fields = F::Orientation | F::PaperSize | F::PaperLength | F::PaperWidth;
        const bool landscape = printer.Orientation == 1;
        sheet.orientation = landscape ? 2 : 1;
        sheet.paperSize = printer.PaperSize;
        sheet.paperWidth = landscape ? printer.PaperHeight : printer.PaperWidth;
        sheet.paperLength = landscape ? printer.PaperWidth : printer.PaperHeight;
        backend_.setDeviceMode(sheet);
    }
    if (!job_.BeginDoc(title))
        report_.Terminated = true;
}

void PlatformPrintJob::NewPage()
{
    if (!job_.NewPage())
        report_.Terminated = true;
}

std::optional<QPoint> PlatformPrintJob::SheetOffset() const
{
    const platform::PrinterCaps caps = backend_.caps();
    if (caps.logPixelsX <= 0 || caps.logPixelsY <= 0)
        return std::nullopt;
    return QPoint(caps.physicalOffsetX, caps.physicalOffsetY);
}

platform::gdi::Canvas &PlatformPrintJob::Canvas()
{
    if (platform::gdi::Canvas *canvas = job_.Canvas())
        return *canvas;
    if (!nowhere_)
        nowhere_ = std::make_unique<platform::gdi::RecordingCanvas>();
    return *nowhere_;
}

} // namespace reports
