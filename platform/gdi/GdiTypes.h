#pragma once
// The values and small records of the graphics layer, numbered as the system's
// drawing code and its stored files number them (pen styles, brush styles,
// hatches, mapping modes, pen modes, raster operations, text alignment).

#include <QColor>
#include <QString>

#include <cstdint>

namespace platform::gdi {

// A colour as the system stores it: 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
inline QColor toQColor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
inline Color fromQColor(const QColor &c) { return rgb(c.red(), c.green(), c.blue()); }
// 0xAARRGGBB pixel of a 32-bit image, opaque.
constexpr std::uint32_t toPixel(Color c)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(redOf(c)) << 16) | (static_cast<std::uint32_t>(greenOf(c)) << 8)
           | static_cast<std::uint32_t>(blueOf(c));
}
constexpr Color fromPixel(std::uint32_t p) { return rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// Pen styles (the class library's TPenStyle has the same numbers).
enum PenStyle : int {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6
};

// Brush styles of a logical brush, and the six hatches.
enum BrushStyle : int { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
enum HatchStyle : int {
    HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5
};

// Mapping modes.
enum MapMode : int {
    MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
    MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8
};

// Background modes.
enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

// Polygon fill modes.
enum PolyFillMode : int { ALTERNATE = 1, WINDING = 2 };

// Stretch modes.
enum StretchMode : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };

// Text alignment flags.
enum TextAlign : unsigned {
    TA_NOUPDATECP = 0, TA_UPDATECP = 1,
    TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
    TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24
};

// Pen modes: binary raster operations of the pen and brush with the screen.
enum Rop2 : int {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
    R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};

// Ternary raster operations of the block transfers.
enum Rop3 : std::uint32_t {
    BLACKNESS = 0x00000042, NOTSRCERASE = 0x001100A6, NOTSRCCOPY = 0x00330008, SRCERASE = 0x00440328,
    DSTINVERT = 0x00550009, PATINVERT = 0x005A0049, SRCINVERT = 0x00660046, SRCAND = 0x008800C6,
    MERGEPAINT = 0x00BB0226, MERGECOPY = 0x00C000CA, SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086,
    PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, WHITENESS = 0x00FF0062
};

// Font weights and the character sets the system names.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;
constexpr int SYMBOL_CHARSET = 2;
constexpr int RUSSIAN_CHARSET = 204;

// A rectangle as the platform gives it: right and bottom are the far edges.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // Held to the range of int: a rectangle read from a file may span more.
    int width() const { return span(right, left); }
    int height() const { return span(bottom, top); }
    bool operator==(const Rect &) const = default;

private:
    static int span(int to, int from)
    {
        const std::int64_t d = std::int64_t{to} - from;
        return d > INT32_MAX ? INT32_MAX : d < INT32_MIN ? INT32_MIN : static_cast<int>(d);
    }
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size &) const = default;
};

// A logical pen: width in logical units (0 = one pixel whatever the mapping).
struct Pen {
    int style = PS_SOLID;
    int width = 1;
    Color color = 0;
    bool operator==(const Pen &) const = default;
};

// A logical brush: solid, clear, or one of the six hatches in its colour.
struct Brush {
    int style = BS_SOLID;
    Color color = rgb(255, 255, 255);
    int hatch = HS_HORIZONTAL;
    bool operator==(const Brush &) const = default;
};

// A logical font. Height < 0 is the character (em) height, > 0 the cell height,
// both in logical units; escapement and orientation in tenths of a degree,
// counter-clockwise on the device.
struct LogFont {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = DEFAULT_CHARSET;
    int outPrecision = 0;
    int clipPrecision = 0;
    int quality = 0;
    int pitchAndFamily = 0;
    QString faceName = QStringLiteral("Arial");
    bool operator==(const LogFont &) const = default;
};

// Drawing code asks whether it runs on an NT-family system (advanced graphics
// mode, no geometric clipping of polylines); this layer is that throughout.
constexpr bool isNtFamily() { return true; }

// The class library's brush-style numbers (0 solid, 1 clear, 2 horizontal,
// 3 vertical, 4 forward diagonal, 5 backward diagonal, 6 cross, 7 diagonal
// cross) as a logical brush; other numbers give a clear brush.
Brush brushFromStyleNumber(int number, Color color);
// The number back (1 for a clear brush).
int brushStyleNumber(const Brush &brush);

// The class library's pen-mode numbers (0 black, 1 white, 2 nop, 3 not, 4 copy,
// 5 not copy, 6 merge pen not, 7 mask pen not, 8 merge not pen, 9 mask not pen,
// 10 merge, 11 not merge, 12 mask, 13 not mask, 14 xor, 15 not xor) as the
// pen's binary raster operation; other numbers copy.
int rop2FromPenMode(int penMode);

// The raster-operation index kept with image layers (0..16) as the raster
// operation of a block transfer: 0 BLACKNESS, 1 WHITENESS, 5 SRCPAINT, 6 SRCAND,
// 7 SRCINVERT, 8 SRCERASE, 9 NOTSRCCOPY, 10 NOTSRCERASE, 11 MERGECOPY,
// 12 MERGEPAINT, 13 PATCOPY, 14 PATPAINT, 15 PATINVERT, 16 DSTINVERT, any
// other SRCCOPY.
std::uint32_t rop3FromRasterIndex(int index);

} // namespace platform::gdi
