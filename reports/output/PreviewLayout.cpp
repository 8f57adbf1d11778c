#include "reports/output/PreviewLayout.h"

#include "platform/gdi/Metafile.h"
#include "reports/model/Extensions.h"
#include "reports/model/PreparedPages.h"
#include "reports/model/ReportObjects.h"
#include "reports/language/ResourceTexts.h"

#include <algorithm>
#include <cmath>

namespace reports::preview {

double zoomFactor(int mode, double current, QSize surface, int w, int h)
{
    switch (mode) {
    case ZoomPageWidth: return w > 0 ? double(surface.width() - 20) / w : current;
    case ZoomOnePage: return h > 0 ? double(surface.height() - 20) / h : current;
    case ZoomTwoPages: return w > 0 ? double(surface.width() - 30) / (2.0 * w) : current;
    default: return current;
    }
}

ZoomMemory &lastZoom()
{
    static ZoomMemory memory;
    return memory;
}

QString zoomText(double factor) { return QString::number(std::lround(factor * 100)) + QLatin1Char('%'); }

int columnCount(const std::vector<int> &zoomedWidths, int surfaceWidth, int mode)
{
    if (mode == ZoomOnePage)
        return 1;
    if (mode == ZoomTwoPages)
        return 2;
    int x = 10, n = 0, best = 0;
    for (int w : zoomedWidths) {
        const int r = x + w + 10;
        if (r > surfaceWidth) {
            best = std::max(best, n);
            x = 10;
            n = 0;
        } else {
            x = r;
            ++n;
        }
    }
    best = std::max(best, n);
    return best > 0 ? best : 1;
}

std::vector<QRect> layoutPages(const std::vector<QSize> &sizes, int columns, int surfaceWidth)
{
    std::vector<QRect> rects;
    rects.reserve(sizes.size());
    columns = std::max(1, columns);
    int y = 10;
    for (size_t i = 0; i < sizes.size(); i += static_cast<size_t>(columns)) {
        int x = 10, tallest = 0;
        for (size_t k = i; k < std::min(sizes.size(), i + static_cast<size_t>(columns)); ++k) {
            const QSize s = sizes[k];
            int left = x;
            if (columns == 1 && s.width() < surfaceWidth)
                left = (surfaceWidth - s.width()) / 2;
            rects.emplace_back(left, y, s.width(), s.height());
            x += s.width() + 10;
            tallest = std::max(tallest, s.height());
        }
        y += tallest + 10;
    }
    return rects;
}

QSize scrollMaxima(const std::vector<QRect> &pages, QSize surface)
{
    int right = 0, bottom = 0;
    for (const QRect &r : pages) {
        right = std::max(right, r.x() + r.width());
        bottom = std::max(bottom, r.y() + r.height());
    }
    auto range = [](int edge, int size) { return edge - size > 0 ? edge - size + 10 : 0; };
    return {range(right, surface.width()), range(bottom, surface.height())};
}

int pageAtScroll(const std::vector<QRect> &pages, int position)
{
    const int line = 11 + position;
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].y() < line && pages[i].y() + pages[i].height() > line)
            return static_cast<int>(i);
    return -1;
}

std::vector<bool> visiblePages(const std::vector<QRect> &pages, QPoint scroll, QSize surface, const QRect &clip)
{
    std::vector<bool> shown(pages.size(), false);
    for (size_t i = 0; i < pages.size(); ++i) {
        const QRect r = pages[i].translated(scroll);
        // Below the surface or above it: not shown, however tall the screen.
        if (r.y() > surface.height() || r.y() + r.height() < 0)
            continue;
        shown[i] = r.intersects(clip);
    }
    return shown;
}

std::optional<int> linkedPage(const QString &link, int pageCount)
{
    const int at = link.indexOf(QLatin1Char('@'));
    if (at < 0 || at + 1 >= link.size())
        return std::nullopt;
    bool ok = false;
    const int n = link.mid(at + 1).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    const int page = std::max(1, n);
    if (page > pageCount)
        return std::nullopt;
    return page;
}

QString linkStatus(const QString &link)
{
    const int at = link.indexOf(QLatin1Char('@'));
    if (at >= 0 && at + 1 < link.size()) {
        bool ok = false;
        const int n = link.mid(at + 1).trimmed().toInt(&ok);
        if (ok)
            return QStringLiteral("Стр. ") + QString::number(n);
    }
    return link;
}

QString saveFilter(const std::vector<ExportFilterInfo> &filters, int *preselected)
{
    QString filter = QStringLiteral("Файл отчета (*.frp)|*.frp");
    int chosen = 0;
    for (size_t i = 0; i < filters.size(); ++i) {
        filter += QLatin1Char('|') + filters[i].FilterDesc + QLatin1Char('|') + filters[i].FilterExt;
        if (chosen == 0 && filters[i].Filter && filters[i].Filter->Default)
            chosen = static_cast<int>(i) + 1;
    }
    if (preselected)
        *preselected = chosen;
    return filter;
}

QString forceExtension(const QString &fileName, const QString &mask)
{
    const QString ext = mask.mid(1); // "*.txt" gives ".txt"
    const int slash = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? fileName.left(dot) : fileName;
    return base + ext;
}

KeyCommand keyCommand(int key, bool ctrl)
{
    switch (key) {
    case Qt::Key_Up: return {KeyAction::VScroll, -10};
    case Qt::Key_Down: return {KeyAction::VScroll, 10};
    case Qt::Key_Left: return {KeyAction::HScroll, -10};
    case Qt::Key_Right: return {KeyAction::HScroll, 10};
    case Qt::Key_PageUp: return ctrl ? KeyCommand{KeyAction::PrevPage} : KeyCommand{KeyAction::VScroll, -200};
    case Qt::Key_PageDown: return ctrl ? KeyCommand{KeyAction::NextPage} : KeyCommand{KeyAction::VScroll, 200};
    case Qt::Key_Space: return {KeyAction::ZoomMenu};
    case Qt::Key_Escape: return {KeyAction::Exit};
    case Qt::Key_Home: return ctrl ? KeyCommand{KeyAction::Top} : KeyCommand{};
    case Qt::Key_End: return ctrl ? KeyCommand{KeyAction::LastPage} : KeyCommand{};
    case Qt::Key_F3: return ctrl ? KeyCommand{KeyAction::Consumed} : KeyCommand{KeyAction::FindNext};
    default: break;
    }
    if (!ctrl)
        return {};
    switch (key) {
    case Qt::Key_O: return {KeyAction::Load};
    case Qt::Key_S: return {KeyAction::Save};
    case Qt::Key_F: return {KeyAction::Find};
    case Qt::Key_P: return {KeyAction::Print};
    case Qt::Key_E: return {KeyAction::Edit};
    default: return {KeyAction::Consumed};
    }
}

bool findNext(TfrEMFPages &pages, SearchState &state)
{
    namespace gdi = platform::gdi;
    state.hit = false;
    if (state.text.isEmpty())
        return false;
    for (int p = std::max(0, state.page); p < pages.Count(); ++p) {
        TfrEMFPage &page = pages[p];
        const int w = page.Metrics.PaperWidth, h = page.Metrics.PaperHeight;
        // One report unit a pixel, so that the records' bounds are report units.
        gdi::DeviceMetrics unit;
        unit.horzRes = std::max(1, w);
        unit.vertRes = std::max(1, h);
        unit.horzSize = std::max(1, w) * 254 / 960;
        unit.vertSize = std::max(1, h) * 254 / 960;
        gdi::Metafile picture(unit);
        picture.setSizeInPixels(std::max(1, w), std::max(1, h));
        const bool wasVisible = page.Visible;
        page.Visible = true;
        {
            gdi::MetafileCanvas canvas(picture);
            pages.Draw(p, canvas, QRect(0, 0, std::max(1, w), std::max(1, h)));
        }
        page.Visible = wasVisible;
        int index = 0;
        for (const gdi::RecordView &record : picture.records()) {
            if ((record.type == gdi::EMR_EXTTEXTOUTW || record.type == gdi::EMR_EXTTEXTOUTA) &&
                index >= state.record) {
                const QString text = state.caseSensitive ? record.text() : record.text().toUpper();
                if (text.contains(state.text)) {
                    state.hit = true;
                    state.page = p;
                    state.record = index + 1;
                    state.bounds = QRect(record.bounds.left, record.bounds.top, record.bounds.width(),
                                         record.bounds.height());
                    return true;
                }
            }
            ++index;
        }
        // Not here: the page lets its objects go and the next starts afresh.
        page.Visible = false;
        QRect none;
        {
            gdi::Metafile scrap;
            gdi::MetafileCanvas canvas(scrap);
            pages.Draw(p, canvas, none);
        }
        page.Visible = wasVisible;
        state.record = 0;
    }
    return false;
}

} // namespace reports::preview
