#pragma once
// The prepared pages as the page engine writes them: one record per output
// page with its paper and its packed stream of object records. The file
// formats' prepared pages take this place with the same members.

#include "reports/ReportPrinter.h"

#include <QBuffer>
#include <QRect>

#include <memory>
#include <vector>

namespace reports {

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

private:
    std::vector<std::unique_ptr<TfrEMFPage>> pages_;
};

} // namespace reports
