#pragma once
// The text object's line breaking, without a canvas: lines wrapped at a
// width measured by a text measurer (the canvas's font metrics in use, a
// fixed-width measurer in tests), with hyphenation of Russian words, and the
// paragraph-end marker (character 1) after each paragraph's last line.

#include <QString>
#include <QStringList>

namespace platform::gdi {
class Canvas;
}

namespace reports {

inline constexpr QChar kParagraphEnd = QChar(1);

// The width of a text in report units, with the extra character spacing.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual int width(const QString &text) const = 0;
};

// Every character `charWidth` wide plus the spacing.
class FixedWidthMeasurer : public TextMeasurer {
public:
    explicit FixedWidthMeasurer(int charWidth, int spacing = 0) : charWidth_(charWidth), spacing_(spacing) {}
    int width(const QString &text) const override
    {
        return static_cast<int>(text.size()) * (charWidth_ + spacing_);
    }

private:
    int charWidth_;
    int spacing_;
};

// The font selected on a canvas (escapement ignored: widths along the text).
class CanvasMeasurer : public TextMeasurer {
public:
    CanvasMeasurer(platform::gdi::Canvas &canvas, int spacing) : canvas_(canvas), spacing_(spacing) {}
    int width(const QString &text) const override;

private:
    platform::gdi::Canvas &canvas_;
    int spacing_;
};

// The places after which a word may be hyphenated (counted in characters
// from its start, ascending); none for words of 3 or fewer characters and
// for words without Russian vowels.
QList<int> HyphenationPoints(const QString &word);

// Wraps one memo line at `width` and appends the lines to `out`; a
// paragraph's last line ends with the marker, a hyphenated line with "-".
// Never loses a character: a word wider than the line is cut where it
// overflows.
void WrapLine(const QString &line, int width, bool wordBreak, const TextMeasurer &measurer, QStringList &out);

} // namespace reports
