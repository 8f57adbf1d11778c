#pragma once
// The prepared pages of a build (TfrEMFPages): for every output page its
// paper settings and its objects packed into a stream of prepared-mode
// records, unpacked into a Page only while the page is drawn, printed,
// exported or searched; and the prepared report file (".frp").
//
// The page engine adds a page with Add (or Insert) and then appends its
// objects to the record's Stream with View::PrintToStream.

#include "platform/gdi/Canvas.h"
#include "reports/model/ReportModel.h"
#include "reports/model/ReportPrinter.h"

#include <QBuffer>
#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QUrl>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QIODevice;

namespace reports {

class TfrReport;

struct TfrEMFPage {
    TfrEMFPage();
    // Where the preview lays the page out.
    QRect PageRect;
    int PaperSize = 0;
    int PaperWidth = 0, PaperHeight = 0; // tenths of a millimetre
    int Orientation = 0;
    int Bin = -1;
    bool UseMargins = true;
    int Margins[4] = {0, 0, 0, 0}; // left, top, right, bottom, report units
    PageMetrics Metrics;
    // Set by the preview while the page is on screen, and while the page is
    // printed (Printing); a draw of a page that is neither only releases its
    // unpacked page.
    bool Visible = false;
    bool Printing = false;
    // The packed page: the version byte, then one record after another.
    // Open for reading and writing; objects are appended at its end.
    std::unique_ptr<QBuffer> Stream;
    // The unpacked page while in use.
    std::unique_ptr<reports::Page> Page;
    // The packed bytes.
    const QByteArray &Data() const { return Stream->buffer(); }
};

// A prepared report that cannot be read: its pages were compressed and no
// compressor can unpack them, or the file is damaged.
class PreparedFormatError : public std::runtime_error {
public:
    PreparedFormatError() : std::runtime_error("prepared report format") {}
};

// Opens a hyperlink object's tag with the system's shell; tests install
// their own (an empty one: the system's again).
using ShellOpener = std::function<bool(const QString &target)>;
void setShellOpener(ShellOpener opener);
// Opens an address, or a file by its "file:" address, with the program the
// desktop has for it (or the installed opener); false when none started.
bool ShellOpen(const QUrl &target);

// The cursor DoClick sets over a hyperlink object.
inline constexpr int crHandPoint = -21;

class TfrEMFPages {
public:
    // The owner's events are raised and its printer and generator version
    // are read and set; without an owner the current report's.
    explicit TfrEMFPages(TfrReport *owner = nullptr);
    ~TfrEMFPages();
    TfrEMFPages(const TfrEMFPages &) = delete;
    TfrEMFPages &operator=(const TfrEMFPages &) = delete;

    int Count() const { return static_cast<int>(pages_.size()); }
    TfrEMFPage &Pages(int index) { return *pages_.at(static_cast<size_t>(index)); }
    TfrEMFPage &operator[](int index) { return Pages(index); }
    const TfrEMFPage &operator[](int index) const { return *pages_.at(static_cast<size_t>(index)); }

    // A record with the paper settings, margins and metrics of the template
    // page and a stream holding the version byte 25; then the current
    // report's and (when another) the master report's page-begin event with
    // the current page number. Insert past the end appends.
    void Add(const reports::Page &templatePage);
    void Insert(int index, const reports::Page &templatePage);
    void Delete(int index);
    void Clear();

    // Unpacks a page (the unpacked page becomes the current page); packs an
    // unpacked page back.
    void ObjectsToPage(int index);
    void PageToObjects(int index);

    // Draws a page scaled into the rectangle. On the screen objects outside
    // the clip (with a 10-unit margin) are skipped; on the printer (the
    // page's Printing) and on metafiles every object is drawn. A page neither
    // visible nor printing, or an empty rectangle, only releases the
    // unpacked page.
    void Draw(int index, gdi::Canvas &canvas, const QRect &rect);
    // Hands every object of the page to the current export filter.
    void ExportData(int index);
    // The object under a point: on a click the report's click event (and a
    // hyperlink object's tag opened, or given back as the hint when it holds
    // an "@"); on a move the mouse-over event (and the hand cursor over a
    // hyperlink object). True when the hit did either.
    bool DoClick(int index, QPoint point, bool click, QString &hint, int &cursor);

    // The ".frp" form. LoadFromStream raises PreparedFormatError for a
    // compressed file without a compressor and StreamReadError for a
    // damaged one; the pages are then left empty.
    void LoadFromStream(QIODevice &stream);
    void SaveToStream(QIODevice &stream);

private:
    std::unique_ptr<TfrEMFPage> makeRecord(const reports::Page &templatePage);
    void raiseBeginPage();
    void loadMetafileForm(QIODevice &stream);
    TfrReport *owner() const;

    TfrReport *owner_;
    std::vector<std::unique_ptr<TfrEMFPage>> pages_;
};

} // namespace reports
