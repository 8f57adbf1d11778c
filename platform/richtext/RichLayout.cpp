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

RangeLayout layoutRange(const RichDocument &doc, gdi::Canvas &canvas, const FormatRange &range)
{
    RangeLayout out;
    const int n = doc.length();
    int pos = std::clamp(range.start, 0, n);
    out.end = n;
    // A text ending in a paragraph break has an empty last paragraph: it
    // gets its line (the caret stands there), though nothing is left to fit.
    const bool emptyLast = n > 0 && doc.text().at(n - 1) == u'\r';
    if (pos > n || (pos == n && !emptyLast))
        return out;
    canvas.saveDC();
    Measure measure(doc, canvas);
    const gdi::DeviceMetrics &dm = canvas.deviceMetrics();
    const double pxX = dm.logPixelsX / 1440.0;
    const double pxY = dm.logPixelsY / 1440.0;
    const double pageWidth = range.page.width() * pxX;
    const double pageHeight = range.page.height() * pxY;
    const double tab = kTabTwips * pxX;
    const QString &text = doc.text();

    double y = 0;
    while (pos < n || (pos == n && emptyLast)) {
        const int p = doc.paragraphAt(pos);
        const ParaFormat &pf = doc.paraFormat(p);
        const bool paraFirst = pos == doc.paragraphStart(p);
        const qsizetype brk = text.indexOf(u'\r', pos);
        const int paraEnd = brk < 0 ? n : static_cast<int>(brk);

        // Advances of the paragraph's characters from pos.
        std::vector<double> adv;
        adv.reserve(static_cast<size_t>(paraEnd - pos));
        for (const Run &r : doc.runs(pos, paraEnd)) {
            const std::vector<double> a = measure.advances(r);
            adv.insert(adv.end(), a.begin(), a.end());
        }
        const int base = pos;
        auto at = [&](int i) { return adv[static_cast<size_t>(i - base)]; };

        int lineStart = pos;
        bool firstLine = paraFirst;
        bool stop = false;
        for (;;) {
            LineBox line;
            line.start = lineStart;
            line.paragraph = p;
            const double indent = std::max(0.0, (pf.leftIndent + (firstLine ? pf.firstIndent : 0)) * pxX);
            double left = indent;
            if (firstLine && pf.bullet) {
                line.bullet = true;
                line.bulletX = indent;
                left = std::max(pf.leftIndent * pxX, indent + 2 * measure.bulletWidth(doc.charFormat(lineStart)));
            }
            const double avail = pageWidth - left - std::max(0, pf.rightIndent) * pxX;
            // Where each character would stand on an unaligned line.
            std::vector<double> xs;
            double x = 0;
            int i = lineStart;
            int lastBreak = -1;
            bool forced = false, last = false;
            auto advance = [&](int k) {
                return text.at(k) == u'\t' ? (std::floor((left + x) / tab) + 1) * tab - (left + x) : at(k);
            };
            for (; i < paraEnd; ++i) {
                const QChar c = text.at(i);
                if (c == u'\v') {
                    forced = true;
                    break;
                }
                const double a = advance(i);
                if (isSpace(c)) {
                    // Blanks hang past the edge; a line may break after them.
                    xs.push_back(x);
                    x += a;
                    lastBreak = i + 1;
                    continue;
                }
                if (x + a > avail && i > lineStart)
                    break;
                xs.push_back(x);
                x += a;
            }
            if (forced) {
                line.end = i;
                line.next = i + 1;
            } else if (i >= paraEnd) {
                line.end = paraEnd;
                line.next = paraEnd + 1;
                last = true;
            } else if (lastBreak > lineStart) {
                line.end = line.next = lastBreak;
            } else {
                line.end = line.next = i;
            }
            xs.resize(static_cast<size_t>(line.end - line.start));
            xs.push_back(line.end > line.start ? xs.back() + advance(line.end - 1) : 0);
            // The shown width leaves out trailing blanks.
            int shownEnd = line.end;
            while (shownEnd > line.start && isSpace(text.at(shownEnd - 1)))
                --shownEnd;
            const double width = xs[static_cast<size_t>(shownEnd - line.start)];
            double dx = 0;
            const double room = avail - width;
            if (pf.align == Align::Center)
                dx = room / 2;
            else if (pf.align == Align::Right)
                dx = room;
            int blanks = 0;
            if (pf.align == Align::Justify && !last && !forced && room > 0)
                for (int k = line.start; k < shownEnd; ++k)
                    blanks += isSpace(text.at(k)) ? 1 : 0;
            const double extra = blanks > 0 ? room / blanks : 0;
            line.blankExtra = extra;
            line.x.resize(xs.size());
            double spread = 0;
            for (size_t k = 0; k < xs.size(); ++k) {
                line.x[k] = left + dx + xs[k] + spread;
                const int c = line.start + static_cast<int>(k);
                if (c < shownEnd && isSpace(text.at(c)))
                    spread += extra;
            }
            // The line's height: its characters', or that of its break when empty.
            const int hEnd = std::min(std::max(line.end, line.start + 1), n);
            const std::vector<Run> runs = doc.runs(line.start, hEnd);
            double descent = 0;
            for (const Run &r : runs) {
                const Metrics m = measure.metrics(r.format);
                line.ascent = std::max(line.ascent, m.ascent);
                descent = std::max(descent, m.descent);
            }
            if (runs.empty()) {
                const Metrics m = measure.metrics(doc.charFormat(n - 1));
                line.ascent = m.ascent;
                descent = m.descent;
            }
            line.top = y;
            line.height = std::ceil(line.ascent + descent);
            if (y + line.height > pageHeight + 1e-6) {
                out.end = line.start;
                stop = true;
                break;
            }
            y += line.height;
            lineStart = line.next;
            firstLine = false;
            out.lines.push_back(std::move(line));
            if (last)
                break;
        }
        if (stop)
            break;
        pos = lineStart;
    }
    canvas.restoreDC(-1);
    return out;
}

int formatRange(const RichDocument &doc, gdi::Canvas &canvas, const FormatRange &range)
{
    const RangeLayout layout = layoutRange(doc, canvas, range);
    if (!range.render)
        return layout.end;
    canvas.saveDC();
    const gdi::DeviceMetrics &dm = canvas.deviceMetrics();
    const double pageLeft = range.page.left * dm.logPixelsX / 1440.0;
    const double pageTop = range.page.top * dm.logPixelsY / 1440.0;
    const QString &text = doc.text();
    canvas.setBkMode(gdi::TRANSPARENT);
    canvas.setTextAlign(gdi::TA_LEFT | gdi::TA_BASELINE);
    auto select = [&canvas](const CharFormat &f) {
        canvas.setFont(logFontOf(f, canvas.logPixelsY()));
        canvas.setTextColor(f.color);
    };
    for (const LineBox &line : layout.lines) {
        const int baseline = static_cast<int>(std::lround(pageTop + line.top + line.ascent));
        auto xOf = [&](int pos) {
            return static_cast<int>(std::lround(pageLeft + line.x[static_cast<size_t>(pos - line.start)]));
        };
        if (line.bullet) {
            select(doc.charFormat(line.start));
            canvas.textOut(static_cast<int>(std::lround(pageLeft + line.bulletX)), baseline, QString(QChar(0x2022)));
        }
        // Pieces between tabs, each at its own place; on a justified line,
        // whose blanks are wider than the font's, pieces between blanks.
        const bool justified = line.blankExtra > 0;
        for (const Run &r : doc.runs(line.start, line.end)) {
            select(r.format);
            const int rEnd = r.start + r.length;
            for (int k = r.start; k < rEnd;) {
                int e = k;
                while (e < rEnd && text.at(e) != u'\t' && !(justified && isSpace(text.at(e))))
                    ++e;
                if (e > k)
                    canvas.textOut(xOf(k), baseline, text.mid(k, e - k));
                k = e + (e < rEnd ? 1 : 0);
            }
        }
    }
    canvas.restoreDC(-1);
    return layout.end;
}

} // namespace platform::richtext
