#pragma once
// A print job on the platform's selected printer with a canvas of the
// graphics layer on its sheets: what the report's printing loop drives
// (begin, a page after a page, end or abort; copies made by the printer
// when it can).

#include "platform/Printing.h"
#include "platform/gdi/Canvas.h"

#include <memory>

namespace reports {

class PrinterJob {
public:
    explicit PrinterJob(platform::PrinterBackend &backend = platform::printerBackend());
    // A job still running is ended: what was painted is kept.
    ~PrinterJob();
    PrinterJob(const PrinterJob &) = delete;
    PrinterJob &operator=(const PrinterJob &) = delete;

    bool CanCopy() const { return backend_.canMakeCopies(); }
    void SetCopies(int copies) { backend_.setCopies(copies); }
    // False when nothing can be printed (no printer, a job running).
    bool BeginDoc(const QString &title);
    bool NewPage();
    void EndDoc();
    void Abort();
    // The canvas of the sheet being printed, in device units; none outside a job.
    platform::gdi::Canvas *Canvas();

private:
    platform::PrinterBackend &backend_;
    std::unique_ptr<platform::gdi::Canvas> canvas_;
};

} // namespace reports
