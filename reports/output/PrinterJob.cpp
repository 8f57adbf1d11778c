#include "reports/output/PrinterJob.h"

#include "platform/gdi/PainterCanvas.h"

namespace reports {

PrinterJob::PrinterJob(platform::PrinterBackend &backend) : backend_(backend) {}

PrinterJob::~PrinterJob()
{
    EndDoc();
}

bool PrinterJob::BeginDoc(const QString &title)
{
    if (canvas_)
        return false;
    QPaintDevice *device = backend_.beginDoc(title);
    if (!device)
        return false;
    auto canvas = std::make_unique<platform::gdi::PainterCanvas>(
        *device, platform::gdi::PainterCanvas::metricsOf(*device));
    // A device the painter could not start on prints nothing.
    if (!backend_.printing())
        return false;
    canvas_ = std::move(canvas);
    return true;
}

bool PrinterJob::NewPage()
{
    return canvas_ && backend_.newPage();
}

void PrinterJob::EndDoc()
{
    // The job ends when the painting on the printer ends.
    canvas_.reset();
}

void PrinterJob::Abort()
{
    if (!canvas_)
        return;
    backend_.abortDoc();
    canvas_.reset();
}

platform::gdi::Canvas *PrinterJob::Canvas()
{
    return canvas_.get();
}

} // namespace reports
