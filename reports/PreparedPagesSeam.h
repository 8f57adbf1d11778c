#pragma once
// The prepared pages as the page engine writes them: one record per output
// page with its paper and its packed stream of object records. The file
// formats' prepared pages take this place with the same members.

#include "platform/gdi/Canvas.h"
#include "reports/ReportPrinter.h"

#include <QBuffer>
#include <QRect>

#include <memory>
#include <vector>

namespace reports {

namespace gdi = platform::gdi;
class Page;

struct TfrEMFPage {
    QRect PageRect;
    int PaperSize = 0, PaperWidth = 0, PaperHeight = 0;
    int Orientation = 0;
    int Bin = -1;
    bool UseMargins = true;
    int Margins[4] = {0, 0, 0, 0};
    PageMetrics Metrics;
    bool Visible = false;
    // The packed page: version byte 25, then one object record after another.
    std::unique_ptr<QBuffer> Stream;
    // The unpacked page while it is drawn, printed, exported or edited.
    std::unique_ptr<reports::Page> Page;
    // Set while the page is drawn on the printer.
    bool Printing = false;
};

class TfrEMFPages {
public:
    int Count() const { return static_cast<int>(pages_.size()); }
    TfrEMFPage &operator[](int index) { return *pages_[index]; }
    const TfrEMFPage &operator[](int index) const { return *pages_[index]; }
    // A page with the template page's paper, margins and metrics and a stream
    // of only the version byte; the page-begin events are raised.
    void Add(const Page &page);
    void Insert(int index, const Page &page);
    void Delete(int index);
    void Clear() { pages_.clear(); }
    // Unpacking and packing a page's objects, drawing it into a rectangle of
    // a canvas (an empty rectangle only releases the unpacked page) and
    // handing its objects to the export in progress: the file formats' pages
    // do these; here they hold no objects to give.
    void ObjectsToPage(int index);
    void PageToObjects(int index);
    void Draw(int index, gdi::Canvas &canvas, const QRect &rect);
    void ExportData(int index);

private:
    std::vector<std::unique_ptr<TfrEMFPage>> pages_;
};

} // namespace reports
