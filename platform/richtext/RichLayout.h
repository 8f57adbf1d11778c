#pragma once
// The rich-edit control's range formatting on the graphics layer: a
// formatted text laid out from a character position into a page of a width
// and a height in twips, drawn on a canvas or only measured, answering the
// first character that did not fit (what splitting a text over pages asks).

#include "platform/gdi/Canvas.h"
#include "platform/richtext/RichDocument.h"

#include <vector>

namespace platform::richtext {

struct FormatRange {
    // The first character to lay out.
    int start = 0;
    // The page in twips; its left and top are where it lies on the canvas
    // (twips of the canvas's logical units, as the device's pixels per inch
    // take them).
    gdi::Rect page;
    // Draw, or only measure.
    bool render = false;
};

// A line laid out: its characters from start up to end (a line break or
// paragraph break after them is not among them), where the next line
// starts, its top and height from the page's top, its ascent, and the left
// edge of each character from start to end and of the line's end (so
// end - start + 1 of them), from the page's left; logical units.
struct LineBox {
    int start = 0;
    int end = 0;
    int next = 0;
    int paragraph = 0;
    double top = 0;
    double height = 0;
    double ascent = 0;
    std::vector<double> x;
    // A justified line's blanks are this much wider than the font's.
    double blankExtra = 0;
    // A bullet before the paragraph's first line, at this left edge.
    bool bullet = false;
    double bulletX = 0;
};

struct RangeLayout {
    std::vector<LineBox> lines; // those that fit
    int end = 0;                // the first character that does not fit
};

// The lines of a text from range.start that fit in the page (see below).
RangeLayout layoutRange(const RichDocument &doc, gdi::Canvas &canvas, const FormatRange &range);

// Lays the text out line by line from range.start; a line fits when its
// bottom is inside the page. Returns the first character of the first line
// that does not fit, or the text's length when all of it fits. Nothing fits
// in a page without room for one line, so only an empty text (or a start at
// its end) fits in nothing. The canvas is in MM_TEXT mapping; its state is
// kept.
int formatRange(const RichDocument &doc, gdi::Canvas &canvas, const FormatRange &range);

// The logical font of a character format on a device of that many pixels
// per inch vertically.
gdi::LogFont logFontOf(const CharFormat &format, int logPixelsY);

} // namespace platform::richtext
