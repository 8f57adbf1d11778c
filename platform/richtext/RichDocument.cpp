// The formatted text and its edits by character positions.

#include "platform/richtext/RichDocument.h"

#include <algorithm>

namespace platform::richtext {

RichDocument::RichDocument()
{
    paras_.emplace_back();
}

void RichDocument::clear()
{
    *this = RichDocument();
}

void RichDocument::clampRange(int &start, int &end) const
{
    const int n = length();
    start = std::clamp(start, 0, n);
    end = std::clamp(end, start, n);
}

QString RichDocument::text(int start, int end) const
{
    clampRange(start, end);
    return text_.mid(start, end - start);
}

int RichDocument::formatIndex(const CharFormat &format)
{
    for (size_t i = 0; i < formats_.size(); ++i)
        if (formats_[i] == format)
            return static_cast<int>(i);
    formats_.push_back(format);
    return static_cast<int>(formats_.size() - 1);
}

CharFormat RichDocument::charFormat(int pos) const
{
    if (charFormats_.empty())
        return typing_;
    pos = std::clamp(pos, 0, length() - 1);
    return formats_[static_cast<size_t>(charFormats_[static_cast<size_t>(pos)])];
}

void RichDocument::setCharFormat(int start, int end, const CharFormat &format)
{
    clampRange(start, end);
    if (isEmpty()) {
        typing_ = format;
        return;
    }
    const int index = formatIndex(format);
    std::fill(charFormats_.begin() + start, charFormats_.begin() + end, index);
}

void RichDocument::setCharset(int start, int end, int charset)
{
    clampRange(start, end);
    for (int i = start; i < end; ++i) {
        CharFormat f = formats_[static_cast<size_t>(charFormats_[static_cast<size_t>(i)])];
        f.charset = charset;
        charFormats_[static_cast<size_t>(i)] = formatIndex(f);
    }
}

void RichDocument::setParaFormat(int paragraph, const ParaFormat &format)
{
    if (paragraph >= 0 && paragraph < paragraphCount())
        paras_[static_cast<size_t>(paragraph)] = format;
}

int RichDocument::paragraphAt(int pos) const
{
    pos = std::clamp(pos, 0, length());
    return static_cast<int>(std::count(text_.cbegin(), text_.cbegin() + pos, u'\r'));
}

int RichDocument::paragraphStart(int paragraph) const
{
    int pos = 0;
    for (int p = 0; p < paragraph; ++p) {
        const qsizetype next = text_.indexOf(u'\r', pos);
        if (next < 0)
            return length();
        pos = static_cast<int>(next) + 1;
    }
    return pos;
}

std::vector<Run> RichDocument::runs(int start, int end) const
{
    clampRange(start, end);
    std::vector<Run> out;
    for (int i = start; i < end; ++i) {
        const int f = charFormats_[static_cast<size_t>(i)];
        if (out.empty() || charFormats_[static_cast<size_t>(i - 1)] != f)
            out.push_back(Run{i, 0, formats_[static_cast<size_t>(f)]});
        ++out.back().length;
    }
    return out;
}

void RichDocument::replace(int start, int end, const QString &inserted, const std::optional<CharFormat> &format)
{
    clampRange(start, end);
    QString t = inserted;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    t.replace(u'\n', u'\r');
    const CharFormat f = format ? *format
                         : start < end || start > 0 ? charFormat(start < end ? start : start - 1)
                                                    : charFormat(0);

    // Paragraph breaks removed: the marks of the paragraphs from the one
    // holding `start` go, the paragraph whose break survives keeps its format.
    const int first = paragraphAt(start);
    const int removedBreaks = static_cast<int>(std::count(text_.cbegin() + start, text_.cbegin() + end, u'\r'));
    const ParaFormat split = paras_[static_cast<size_t>(first + removedBreaks)];
    paras_.erase(paras_.begin() + first, paras_.begin() + first + removedBreaks);
    const int addedBreaks = static_cast<int>(t.count(u'\r'));
    paras_.insert(paras_.begin() + first, static_cast<size_t>(addedBreaks), split);

    text_.replace(start, end - start, t);
    charFormats_.erase(charFormats_.begin() + start, charFormats_.begin() + end);
    if (!t.isEmpty()) {
        const int index = formatIndex(f);
        charFormats_.insert(charFormats_.begin() + start, static_cast<size_t>(t.size()), index);
    }
    if (isEmpty())
        typing_ = f;
}

int RichDocument::find(const QString &what, int from) const
{
    if (from < 0 || from > length())
        return -1;
    return static_cast<int>(text_.indexOf(what, from));
}

QString RichDocument::plainText() const
{
    QString out = text_;
    out.replace(u'\r', QStringLiteral("\r\n"));
    out.replace(u'\v', QStringLiteral("\r\n"));
    return out;
}

bool RichDocument::operator==(const RichDocument &other) const
{
    if (text_ != other.text_ || paras_ != other.paras_)
        return false;
    for (int i = 0; i < length(); ++i)
        if (!(charFormat(i) == other.charFormat(i)))
            return false;
    return true;
}

} // namespace platform::richtext
