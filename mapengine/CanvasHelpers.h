#pragma once
// Small helpers of the map control's drawing code: rounding, MulDiv, and the
// pen, brush and font changes as the class library's canvas makes them (a
// solid brush also paints text backgrounds, any other leaves them clear).
// Unchanged state is not set again, so pictures do not fill with records.

#include "platform/Rounding.h"
#include "platform/gdi/Canvas.h"

#include <QPoint>
#include <QPointF>

#include <algorithm>
#include <cstdint>

namespace mapengine::detail {

using namespace platform::gdi;

// Real to integer, halves to even, held inside the 32-bit range.
inline int nint(double v)
{
    return static_cast<int>(platform::roundHalfEven(std::clamp(v, -2147483648.0, 2147483647.0)));
}

inline QPoint nintPoint(double x, double y)
{
    return QPoint(nint(x), nint(y));
}

// a × b / c rounded half away from zero; -1 when c is 0.
inline int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const std::int64_t ap = p < 0 ? -p : p;
    const std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t q = (ap + ac / 2) / ac;
    return static_cast<int>(negative ? -q : q);
}

inline void setPenStyle(Canvas &c, int style)
{
    if (c.pen().style == style)
        return;
    Pen p = c.pen();
    p.style = style;
    c.setPen(p);
}

inline void setPen(Canvas &c, const Pen &pen)
{
    if (!(c.pen() == pen))
        c.setPen(pen);
}

// The brush, with the text background it implies.
inline void selectBrush(Canvas &c, const Brush &brush)
{
    if (!(c.brush() == brush))
        c.setBrush(brush);
    const bool solid = brush.style == BS_SOLID;
    const Color bk = solid ? brush.color : (~brush.color & 0xFFFFFFu);
    if (c.bkColor() != bk)
        c.setBkColor(bk);
    const int mode = solid ? OPAQUE : TRANSPARENT;
    if (c.bkMode() != mode)
        c.setBkMode(mode);
}

// A brush and the text background, remembered and put back.
struct SavedBrush {
    Brush brush;
    int bkMode = OPAQUE;
    Color bkColor = 0;

    explicit SavedBrush(const Canvas &c) : brush(c.brush()), bkMode(c.bkMode()), bkColor(c.bkColor()) {}
    void restore(Canvas &c) const
    {
        if (!(c.brush() == brush))
            c.setBrush(brush);
        if (c.bkColor() != bkColor)
            c.setBkColor(bkColor);
        if (c.bkMode() != bkMode)
            c.setBkMode(bkMode);
    }
};

inline void setMapMode(Canvas &c, int mode)
{
    if (c.mapMode() != mode)
        c.setMapMode(mode);
}

inline void setTextAlign(Canvas &c, unsigned align)
{
    if (c.textAlign() != align)
        c.setTextAlign(align);
}

inline void setFont(Canvas &c, const LogFont &font)
{
    if (!(c.font() == font))
        c.setFont(font);
}

inline void setTextColor(Canvas &c, Color color)
{
    if (c.textColor() != color)
        c.setTextColor(color);
}

// The height of a font of `points` points on the canvas (a character height
// in logical units of pixel mapping).
inline int fontHeightForPoints(const Canvas &c, int points)
{
    return -mulDiv(points, c.logPixelsY(), 72);
}

} // namespace mapengine::detail
