#include "reports/export/XlsxWorkbook.h"

#include "platform/gdi/SystemColors.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>

#include <xlsxwriter.h>

namespace reports {

namespace {

constexpr int kMaxRows = 1048576, kMaxColumns = 16384;

// "AB12" as (row 12, column 28); false for anything else.
bool parseCell(const QString &text, int &row, int &column)
{
    static const QRegularExpression cell(QStringLiteral("^([A-Z]{1,3})([0-9]{1,7})$"));
    const auto m = cell.match(text.trimmed().toUpper());
    if (!m.hasMatch())
        return false;
    column = 0;
    for (QChar c : m.captured(1))
        column = column * 26 + (c.unicode() - 'A' + 1);
    row = m.captured(2).toInt();
    return row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
}

lxw_color_t rgbOf(std::uint32_t stored)
{
    const platform::gdi::Color c = platform::gdi::resolveColor(stored);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

uint8_t horizontal(int code)
{
    switch (code) {
    case -4152: return LXW_ALIGN_RIGHT;
    case -4108: return LXW_ALIGN_CENTER;
    case -4130: return LXW_ALIGN_JUSTIFY;
    default: return LXW_ALIGN_LEFT;
    }
}

uint8_t vertical(int code)
{
    switch (code) {
    case -4108: return LXW_ALIGN_VERTICAL_CENTER;
    case -4107: return LXW_ALIGN_VERTICAL_BOTTOM;
    default: return LXW_ALIGN_VERTICAL_TOP;
    }
}

} // namespace

std::vector<XlsxWorkbook::Area> XlsxWorkbook::ParseAddresses(const QString &addresses)
{
    std::vector<Area> out;
    for (const QString &item : addresses.split(u';', Qt::SkipEmptyParts)) {
        const QStringList ends = item.split(u':');
        Area a;
        if (ends.size() > 2 || !parseCell(ends.first(), a.top, a.left))
            continue;
        a.bottom = a.top;
        a.right = a.left;
        if (ends.size() == 2 && !parseCell(ends.last(), a.bottom, a.right))
            continue;
        if (a.bottom < a.top)
            std::swap(a.bottom, a.top);
        if (a.right < a.left)
            std::swap(a.right, a.left);
        out.push_back(a);
    }
    return out;
}

void XlsxWorkbook::SetMargins(double left, double top, double right, double bottom)
{
    margins_[0] = left;
    margins_[1] = top;
    margins_[2] = right;
    margins_[3] = bottom;
}

void XlsxWorkbook::SelectRange(const QString &first, const QString &last)
{
    const std::vector<Area> a = ParseAddresses(first + u':' + last);
    if (!a.empty())
        range_ = a.front();
}

void XlsxWorkbook::SetRowHeight(const QString &addresses, double points)
{
    for (const Area &a : ParseAddresses(addresses))
        for (int r = a.top; r <= a.bottom; ++r)
            rowHeights_[r] = points;
}

void XlsxWorkbook::SetStyle(const QString &addresses, const QString &style)
{
    for (const Area &a : ParseAddresses(addresses))
        for (int r = a.top; r <= a.bottom; ++r)
            for (int c = a.left; c <= a.right; ++c)
                cell(r, c).style = style;
}

void XlsxWorkbook::SetBorder(const QString &addresses, int edge)
{
    // The edges of each area, as a range's outer border.
    for (const Area &a : ParseAddresses(addresses)) {
        if (edge == 7 || edge == 10)
            for (int r = a.top; r <= a.bottom; ++r)
                cell(r, edge == 7 ? a.left : a.right).borders |= edge == 7 ? 1 : 8;
        if (edge == 8 || edge == 9)
            for (int c = a.left; c <= a.right; ++c)
                cell(edge == 8 ? a.top : a.bottom, c).borders |= edge == 8 ? 2 : 4;
    }
}

void XlsxWorkbook::SetMergeCells(const QString &addresses)
{
    for (const Area &a : ParseAddresses(addresses))
        merges_.push_back(a);
}

void XlsxWorkbook::PastePicture(const QImage &bitmap)
{
    pictures_.push_back(Picture{range_, bitmap, 0, 0});
}

void XlsxWorkbook::SetPictureBounds(int number, double width, double height)
{
    if (number >= 1 && number <= static_cast<int>(pictures_.size())) {
        pictures_[number - 1].width = width;
        pictures_[number - 1].height = height;
    }
}

void XlsxWorkbook::SetValues(const std::vector<std::vector<platform::Variant>> &values)
{
    for (size_t r = 0; r < values.size(); ++r)
        for (size_t c = 0; c < values[r].size(); ++c)
            if (!values[r][c].isEmpty() && !values[r][c].isNull())
                cell(range_.top + static_cast<int>(r), range_.left + static_cast<int>(c)).value = values[r][c];
}

bool XlsxWorkbook::SaveAs(const QString &fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    lxw_workbook *book = workbook_new(name.constData());
    if (!book)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);

    std::map<QString, lxw_format *> formats;
    auto formatFor = [&](const QString &styleName, int borders) -> lxw_format * {
        const QString key = styleName + u'|' + QString::number(borders);
        if (auto it = formats.find(key); it != formats.end())
            return it->second;
        lxw_format *f = workbook_add_format(book);
        if (auto s = styles_.find(styleName); s != styles_.end()) {
            const SpreadsheetStyle &st = s->second;
            if (!st.FontName.isEmpty())
                format_set_font_name(f, st.FontName.toUtf8().constData());
            if (st.FontSize > 0)
                format_set_font_size(f, st.FontSize);
            format_set_font_color(f, rgbOf(st.FontColor));
            if (st.Bold)
                format_set_bold(f);
            if (st.Italic)
                format_set_italic(f);
            if (st.Underline)
                format_set_underline(f, LXW_UNDERLINE_SINGLE);
            if (st.InteriorColor != clNone) {
                format_set_pattern(f, LXW_PATTERN_SOLID);
                format_set_bg_color(f, rgbOf(st.InteriorColor));
            }
            format_set_align(f, horizontal(st.HorizontalAlignment));
            format_set_align(f, vertical(st.VerticalAlignment));
        }
        if (borders & 1)
            format_set_left(f, LXW_BORDER_THIN);
        if (borders & 2)
            format_set_top(f, LXW_BORDER_THIN);
        if (borders & 4)
            format_set_bottom(f, LXW_BORDER_THIN);
        if (borders & 8)
            format_set_right(f, LXW_BORDER_THIN);
        if (wrap_)
            format_set_text_wrap(f);
        formats[key] = f;
        return f;
    };
    auto write = [&](int row, int column, const Cell &c) {
        lxw_format *f = formatFor(c.style, c.borders);
        const auto r = static_cast<lxw_row_t>(row - 1);
        const auto col = static_cast<lxw_col_t>(column - 1);
        const platform::VarType t = c.value.type();
        if (c.value.isEmpty() || c.value.isNull())
            worksheet_write_blank(sheet, r, col, f);
        else if (t == platform::VarType::Double || t == platform::VarType::Integer || t == platform::VarType::Int64 ||
                 t == platform::VarType::Currency)
            worksheet_write_number(sheet, r, col, c.value.toDouble(), f);
        else
            worksheet_write_string(sheet, r, col, c.value.toString().toUtf8().constData(), f);
    };

    if (margins_[0] >= 0)
        worksheet_set_margins(sheet, margins_[0] / 72, margins_[2] / 72, margins_[1] / 72, margins_[3] / 72);
    if (landscape_)
        worksheet_set_landscape(sheet);
    for (const auto &[column, width] : columnWidths_)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(column - 1), static_cast<lxw_col_t>(column - 1), width,
                             nullptr);
    for (const auto &[row, height] : rowHeights_)
        worksheet_set_row(sheet, static_cast<lxw_row_t>(row - 1), height, nullptr);
    // A break above row n lies after row n - 1; at most 1023 of them.
    std::vector<lxw_row_t> breaks;
    for (int row : breaks_)
        if (row > 1 && breaks.size() < 1023)
            breaks.push_back(static_cast<lxw_row_t>(row - 1));
    std::sort(breaks.begin(), breaks.end());
    breaks.push_back(0);
    if (breaks.size() > 1)
        worksheet_set_h_pagebreaks(sheet, breaks.data());

    // Merged areas take the look of their first cell and the borders of all.
    std::map<std::pair<int, int>, bool> covered;
    for (const Area &a : merges_) {
        if (a.top == a.bottom && a.left == a.right)
            continue;
        Cell first = cells_[{a.top, a.left}];
        for (int r = a.top; r <= a.bottom; ++r)
            for (int c = a.left; c <= a.right; ++c) {
                if (covered[{r, c}])
                    continue;
                if (auto it = cells_.find({r, c}); it != cells_.end())
                    first.borders |= it->second.borders;
                covered[{r, c}] = true;
            }
        worksheet_merge_range(sheet, static_cast<lxw_row_t>(a.top - 1), static_cast<lxw_col_t>(a.left - 1),
                              static_cast<lxw_row_t>(a.bottom - 1), static_cast<lxw_col_t>(a.right - 1), "",
                              formatFor(first.style, first.borders));
        write(a.top, a.left, first);
    }
    for (const auto &[at, c] : cells_)
        if (!covered.count(at))
            write(at.first, at.second, c);

    std::vector<QByteArray> images; // kept until the workbook is closed
    images.reserve(pictures_.size());
    for (const Picture &p : pictures_) {
        if (p.image.isNull())
            continue;
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        p.image.save(&png, "PNG");
        images.push_back(png.data());
        lxw_image_options options = {};
        options.x_offset = 1;
        options.y_offset = 1;
        // Points at 96 pixels to the inch.
        options.x_scale = p.width > 0 ? p.width * 96 / 72 / p.image.width() : 1;
        options.y_scale = p.height > 0 ? p.height * 96 / 72 / p.image.height() : 1;
        worksheet_insert_image_buffer_opt(sheet, static_cast<lxw_row_t>(p.at.top - 1),
                                          static_cast<lxw_col_t>(p.at.left - 1),
                                          reinterpret_cast<const unsigned char *>(images.back().constData()),
                                          static_cast<size_t>(images.back().size()), &options);
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace reports
