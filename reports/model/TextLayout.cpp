#include "reports/model/TextLayout.h"

#include "platform/TextCodec.h"
#include "platform/gdi/Canvas.h"

namespace reports {

int CanvasMeasurer::width(const QString &text) const
{
    if (text.isEmpty())
        return 0;
    return canvas_.textExtent(text).cx + spacing_ * static_cast<int>(text.size());
}

namespace {

bool isVowel(QChar c)
{
    static const QString vowels = QStringLiteral("ЁАЕИОУЫЭЮЯ");
    return vowels.contains(c);
}

bool isSign(QChar c)
{
    return c == u'Ъ' || c == u'Ь';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool endsWord(QChar c)
{
    return c == u' ' || c == u',' || c == u'-' || c == u'.';
}

} // namespace

QList<int> HyphenationPoints(const QString &word)
{
    QList<int> points;
    const QString w = platform::ansiUpperCase(word);
    const int n = static_cast<int>(w.size());
    if (n <= 3)
        return points;
    // 1-based positions i = 2 .. n - 2: a break may follow character i.
    for (int i = 2; i <= n - 2; ++i) {
        const QChar c = w[i - 1], c1 = w[i], c2 = w[i + 1];
        if (isVowel(c) ? (isVowel(c1) || isVowel(c2)) : (!isVowel(c1) && !isSign(c1) && isVowel(c2)))
            points << i;
    }
    return points;
}

void WrapLine(const QString &line, int width, bool wordBreak, const TextMeasurer &measurer, QStringList &out)
{
    const qsizetype n = line.size();
    const bool hasLineEnds = line.contains(u'\r') || line.contains(u'\n');
    if (!hasLineEnds && (n <= 1 || measurer.width(line) <= width)) {
        out << line + kParagraphEnd;
        return;
    }
    qsizetype start = 0;     // the current output line's first character
    qsizetype lastBlank = -1;
    qsizetype failedAt = -1; // where the last cut without a break candidate fell
    qsizetype i = 0;
    bool endedByLineEnd = false;
    while (i < n) {
        const QChar c = line[i];
        if (isLineEnd(c)) {
            out << line.mid(start, i - start) + kParagraphEnd;
            while (i < n && isLineEnd(line[i]))
                ++i;
            start = i;
            lastBlank = -1;
            endedByLineEnd = true;
            continue;
        }
        endedByLineEnd = false;
        if (c == u' ')
            lastBlank = i;
        if (measurer.width(line.mid(start, i - start + 1)) <= width) {
            ++i;
            continue;
        }
        // The text through this character overflows.
        if (wordBreak && c != u' ') {
            const qsizetype wordStart = lastBlank >= start ? lastBlank + 1 : start;
            qsizetype wordEnd = i;
            while (wordEnd < n && !endsWord(line[wordEnd]) && !isLineEnd(line[wordEnd]))
                ++wordEnd;
            qsizetype best = -1;
            for (int p : HyphenationPoints(line.mid(wordStart, wordEnd - wordStart))) {
                const qsizetype at = wordStart + p;
                if (at > start && at <= i && measurer.width(line.mid(start, at - start) + u'-') <= width)
                    best = at;
            }
            if (best >= 0) {
                out << line.mid(start, best - start) + u'-';
                start = i = best;
                lastBlank = -1;
                continue;
            }
        }
        if (lastBlank >= start) {
            // The line ends before the last blank, which is dropped.
            out << line.mid(start, lastBlank - start);
            start = i = lastBlank + 1;
            lastBlank = -1;
            continue;
        }
        if (i == start) {
            // Not even one character fits.
            if (wordBreak && failedAt == i) {
                out << line.mid(start) + kParagraphEnd;
                return;
            }
            failedAt = i;
            out << line.mid(start, 1);
            start = ++i;
            continue;
        }
        // No blank: the word is cut at the character that overflows.
        out << line.mid(start, i - start);
        start = i;
        failedAt = i;
    }
    if (start < n)
        out << line.mid(start) + kParagraphEnd;
    else if (!endedByLineEnd && !out.isEmpty() && !out.last().endsWith(kParagraphEnd))
        out.last() += kParagraphEnd;
}

} // namespace reports
