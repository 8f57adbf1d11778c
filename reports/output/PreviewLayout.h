#pragma once
// What the preview window computes without a window: the zoom of each mode,
// columns and page rectangles, scroll ranges, the page under the scroll
// position, links to pages, the save dialog's filters, the keyboard table and
// the text search over the pages' recorded pictures.

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace reports {

class TfrEMFPages;
struct ExportFilterInfo;

namespace preview {

// Zoom modes: a fixed factor, page width, whole page, two pages.
enum ZoomMode { ZoomFixed = 0, ZoomPageWidth = 1, ZoomOnePage = 2, ZoomTwoPages = 3 };

// The factor of a mode for a page of w x h report units on a surface; a fixed
// factor is kept.
double zoomFactor(int mode, double current, QSize surface, int w, int h);
// The zoom chosen last in this run: every preview starts with it.
struct ZoomMemory {
    double factor = 1.0;
    int mode = ZoomFixed;
};
ZoomMemory &lastZoom();

// The zoom button's text: round(factor x 100) followed by "%".
QString zoomText(double factor);

// Columns for pages of these zoomed widths: as many as fit from x = 10 with
// 10 after each, the most of any run; at least 1. Whole page: 1, two pages: 2.
int columnCount(const std::vector<int> &zoomedWidths, int surfaceWidth, int mode);
// The page rectangles, row by row from (10, 10), 10 apart; a single column
// narrower than the surface is centred.
std::vector<QRect> layoutPages(const std::vector<QSize> &zoomedSizes, int columns, int surfaceWidth);
// Scroll maxima: the far page edges less the surface, plus 10 when positive, else 0.
QSize scrollMaxima(const std::vector<QRect> &pages, QSize surface);
// The page (0-based) containing the line 11 pixels below the top of the surface
// at vertical position p; -1 when none.
int pageAtScroll(const std::vector<QRect> &pages, int position);
// The pages shown on a surface scrolled by (dx, dy) and cut by a clip: those
// meeting the surface's height (not a fixed screen height) and the clip.
std::vector<bool> visiblePages(const std::vector<QRect> &pages, QPoint scroll, QSize surface, const QRect &clip);

// The page a link text "…@n" goes to (1-based), when n is a page of the report.
std::optional<int> linkedPage(const QString &link, int pageCount);
// The status line of a link text: "Стр. n" for a page link, else the text.
QString linkStatus(const QString &link);

// The save dialog's filter: the prepared report's entry, then every filter's
// description and mask; the preselected entry (0-based).
QString saveFilter(const std::vector<ExportFilterInfo> &filters, int *preselected = nullptr);
// The name with the extension a filter's mask gives ("*.txt": ".txt").
QString forceExtension(const QString &fileName, const QString &mask);

// The keys of the preview.
enum class KeyAction {
    NotHandled,
    Consumed,
    VScroll, // by `amount`
    HScroll,
    PrevPage,
    NextPage,
    ZoomMenu,
    Exit,
    Top,
    LastPage,
    FindNext,
    Load,
    Save,
    Find,
    Print,
    Edit,
};
struct KeyCommand {
    KeyAction action = KeyAction::NotHandled;
    int amount = 0;
};
KeyCommand keyCommand(int qtKey, bool ctrl);

// Where a search stands: the text (upper-cased unless case matters), the page
// (0-based) and the record where it goes on, and the last hit.
struct SearchState {
    QString text;
    bool caseSensitive = false;
    int page = 0;
    int record = 0;
    bool hit = false;
    QRect bounds; // report units
};
// Finds the next text record holding the text, from the state's page and
// record on: each page is drawn into a picture of its paper size and its text
// records are walked in order. On a hit the state points past it; a page
// without one is dropped from memory and the next one starts at record 0.
bool findNext(TfrEMFPages &pages, SearchState &state);

} // namespace preview
} // namespace reports
