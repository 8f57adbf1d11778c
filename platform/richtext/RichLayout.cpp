// Line breaking and drawing of the formatted text.

#include "platform/richtext/RichLayout.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace platform::richtext {

namespace {

constexpr int kTabTwips = 720;

bool isSpace(QChar c)
{
    return c == u' ' || c == QChar(0x3000);
}

struct Metrics {
    double ascent = 0;
    double descent = 0;
};

// The measures of one laid-out call, each format measured once.
class Measure {
public:
    Measure(const RichDocument &doc, gdi::Canvas &canvas) : doc_(doc), canvas_(canvas)
    {
        const QTransform t = canvas.logicalToDevice();
        sx_ = std::abs(t.m11()) > 0 ? std::abs(t.m11()) : 1;
        sy_ = std::abs(t.m22()) > 0 ? std::abs(t.m22()) : 1;
    }
    void select(const CharFormat &f)
    {
        canvas_.setFont(logFontOf(f, canvas_.logPixelsY()));
    }
    // Logical advances of the characters of a run.
    std::vector<double> advances(const Run &r)
    {
        select(r.format);
        const gdi::Canvas::TextLayout l = canvas_.layoutText(doc_.text().mid(r.start, r.length));
        std::vector<double> out(static_cast<size_t>(r.length), 0.0);
        for (size_t i = 0; i < out.size() && i < l.advances.size(); ++i)
            out[i] = l.advances[i] / sx_;
        return out;
    }
    Metrics metrics(const CharFormat &f)
    {
        for (const auto &[format, m] : cache_)
            if (format == f)
                return m;
        select(f);
        const gdi::Canvas::TextLayout l = canvas_.layoutText(QStringLiteral("X"));
        const Metrics m{l.ascent / sy_, l.descent / sy_};
        cache_.emplace_back(f, m);
        return m;
    }
    double bulletWidth(const CharFormat &f)
    {
        select(f);
        return canvas_.layoutText(QString(QChar(0x2022))).width / sx_;
    }

private:
    const RichDocument &doc_;
    gdi::Canvas &canvas_;
    double sx_ = 1, sy_ = 1;
    std::vector<std::pair<CharFormat, Metrics>> cache_;
};

struct Line {
    int start = 0;
    int end = 0;       // past the last character shown (line ends and hanging blanks left out)
    int next = 0;      // where the next line starts
    double left = 0;   // the text's left edge, logical units from the page's left
    double width = 0;  // of the characters shown
    double ascent = 0;
    double descent = 0;
    bool bullet = false;
    bool lastOfParagraph = false;
};

} // namespace

gdi::LogFont logFontOf(const CharFormat &format, int logPixelsY)
{
    gdi::LogFont f;
    f.faceName = format.font;
    f.charSet = format.charset;
    // MulDiv(points, pixels per inch, 72), from half points.
    f.height = -static_cast<int>(std::lround(format.halfPoints * static_cast<double>(logPixelsY) / 144.0));
    f.weight = format.bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
    f.italic = format.italic;
    f.underline = format.underline;
    f.strikeOut = format.strikeOut;
    return f;
}

int formatRange(const RichDocument &doc, gdi::Canvas &canvas, const FormatRange &range)
{
    const int n = doc.length();
    int pos = std::clamp(range.start, 0, n);
    if (pos >= n)
        return n;
    canvas.saveDC();
    Measure measure(doc, canvas);
    const gdi::DeviceMetrics &dm = canvas.deviceMetrics();
    const double pxX = dm.logPixelsX / 1440.0;
    const double pxY = dm.logPixelsY / 1440.0;
    const double pageLeft = range.page.left * pxX;
    const double pageTop = range.page.top * pxY;
    const double pageWidth = range.page.width() * pxX;
    const double pageHeight = range.page.height() * pxY;
    const double tab = kTabTwips * pxX;

    double y = 0;
    int result = n;
    while (pos < n) {
        const int p = doc.paragraphAt(pos);
        const ParaFormat &pf = doc.paraFormat(p);
        const int paraStart = doc.paragraphStart(p);
        const qsizetype brk = doc.text().indexOf(u'\r', pos);
        const int paraEnd = brk < 0 ? n : static_cast<int>(brk);

        // Advances of the paragraph's characters from pos.
        std::vector<double> adv;
        adv.reserve(static_cast<size_t>(paraEnd - pos));
        for (const Run &r : doc.runs(pos, paraEnd)) {
            const std::vector<double> a = measure.advances(r);
            adv.insert(adv.end(), a.begin(), a.end());
        }
        auto at = [&](int i) { return adv[static_cast<size_t>(i - pos)]; };

        int lineStart = pos;
        bool firstLine = pos == paraStart;
        bool stop = false;
        for (;;) {
            Line line;
            line.start = lineStart;
            const double indent = (pf.leftIndent + (firstLine ? pf.firstIndent : 0)) * pxX;
            line.left = std::max(0.0, indent);
            if (firstLine && pf.bullet) {
                line.bullet = true;
                const double b = measure.bulletWidth(doc.charFormat(lineStart));
                line.left = std::max(pf.leftIndent * pxX, line.left + 2 * b);
            }
            const double avail = pageWidth - line.left - std::max(0, pf.rightIndent) * pxX;
            double x = 0;
            int i = lineStart;
            int lastBreak = -1;
            double widthAtBreak = 0;
            bool forced = false;
            for (; i < paraEnd; ++i) {
                const QChar c = doc.text().at(i);
                if (c == u'\v') {
                    forced = true;
                    break;
                }
                double a = at(i);
                if (c == u'\t')
                    a = (std::floor((line.left + x) / tab) + 1) * tab - (line.left + x);
                if (isSpace(c)) {
                    // Blanks hang past the edge; a line may break after them.
                    if (lastBreak != i)
                        widthAtBreak = x;
                    x += a;
                    lastBreak = i + 1;
                    continue;
                }
                if (x + a > avail && i > lineStart)
                    break;
                x += a;
            }
            if (forced) {
                line.end = i;
                line.next = i + 1;
                line.width = x;
            } else if (i >= paraEnd) {
                line.end = paraEnd;
                line.next = paraEnd + 1;
                line.width = x;
                line.lastOfParagraph = true;
            } else if (lastBreak > lineStart) {
                line.end = lastBreak;
                line.next = lastBreak;
                line.width = widthAtBreak;
            } else {
                line.end = i;
                line.next = i;
                line.width = x;
            }
            // Trailing blanks are not part of the width used for alignment.
            int shownEnd = line.end;
            while (shownEnd > line.start && isSpace(doc.text().at(shownEnd - 1)))
                --shownEnd;
            if (shownEnd < line.end && !forced && i >= paraEnd) {
                double w = 0;
                for (int k = line.start; k < shownEnd; ++k)
                    w += doc.text().at(k) == u'\t' ? 0 : at(k);
                line.width = std::min(line.width, w);
            }
            // The line's height: its characters', or that of its break when empty.
            const int hEnd = std::max(line.end, line.start + 1);
            for (const Run &r : doc.runs(line.start, std::min(hEnd, n))) {
                const Metrics m = measure.metrics(r.format);
                line.ascent = std::max(line.ascent, m.ascent);
                line.descent = std::max(line.descent, m.descent);
            }
            if (line.start >= n) {
                const Metrics m = measure.metrics(doc.charFormat(n - 1));
                line.ascent = m.ascent;
                line.descent = m.descent;
            }
            const double height = std::ceil(line.ascent + line.descent);
            if (y + height > pageHeight + 1e-6) {
                result = line.start;
                stop = true;
                break;
            }
            if (range.render) {
                double dx = 0;
                const double room = avail - line.width;
                if (pf.align == Align::Center)
                    dx = room / 2;
                else if (pf.align == Align::Right)
                    dx = room;
                const bool justify = pf.align == Align::Justify && !line.lastOfParagraph && !forced;
                int blanks = 0;
                if (justify)
                    for (int k = line.start; k < shownEnd; ++k)
                        blanks += isSpace(doc.text().at(k)) ? 1 : 0;
                const double extra = justify && blanks > 0 && room > 0 ? room / blanks : 0;
                const double baseline = pageTop + y + line.ascent;
                canvas.setBkMode(gdi::TRANSPARENT);
                canvas.setTextAlign(gdi::TA_LEFT | gdi::TA_BASELINE);
                if (line.bullet) {
                    const CharFormat f = doc.charFormat(line.start);
                    measure.select(f);
                    canvas.setTextColor(f.color);
                    canvas.textOut(static_cast<int>(std::lround(pageLeft + std::max(0.0, indent))),
                                   static_cast<int>(std::lround(baseline)), QString(QChar(0x2022)));
                }
                double cx = pageLeft + line.left + dx;
                for (const Run &r : doc.runs(line.start, shownEnd)) {
                    measure.select(r.format);
                    canvas.setTextColor(r.format.color);
                    // Pieces between blanks and tabs, each at its own place.
                    int k = r.start;
                    const int rEnd = r.start + r.length;
                    while (k < rEnd) {
                        int e = k;
                        while (e < rEnd && doc.text().at(e) != u'\t' && !(justify && isSpace(doc.text().at(e))))
                            ++e;
                        if (e > k) {
                            canvas.textOut(static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(baseline)),
                                           doc.text().mid(k, e - k));
                            for (int q = k; q < e; ++q)
                                cx += at(q);
                        }
                        if (e < rEnd) {
                            const QChar c = doc.text().at(e);
                            if (c == u'\t') {
                                const double rel = cx - pageLeft;
                                cx = pageLeft + (std::floor(rel / tab) + 1) * tab;
                            } else {
                                cx += at(e) + extra;
                            }
                            ++e;
                        }
                        k = e;
                    }
                }
            }
            y += height;
            lineStart = line.next;
            firstLine = false;
            if (line.lastOfParagraph)
                break;
        }
        if (stop)
            break;
        pos = lineStart;
    }
    canvas.restoreDC(-1);
    return result;
}

} // namespace platform::richtext
