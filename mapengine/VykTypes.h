#pragma once
// The style libraries of the map: fill patterns ("Symbols.glb"), point symbols
// ("Points.glb") and line patterns ("Lines.glb"). A library is a list of
// patterns; a pattern is a cell of Width × Height (0.01 mm) holding strokes
// (polylines, ellipses, rectangles, polygons) with their own pens and brushes.
// Pattern coordinates are 0.01 mm from the centre of the cell, x to the right
// and y upward.
//
// The library file: a 14-byte header (10 signature characters, the pattern
// count), then each pattern record followed by its stroke records, each stroke
// record followed by its points. Two pattern record forms exist: the old one
// ("VYKSYMBOLS", 63 bytes, 50-character names) and the new one ("VYKSYMBOL6",
// 133 bytes). Integers are 32-bit little-endian, text Windows-1251.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Pattern kinds.
enum TVykSymbolKind : std::uint8_t { vkFill = 0, vkSymbol = 1, vkLine = 2 };
// Stroke kinds. Ellipses and rectangles are given by two opposite corners.
enum TVykStrokeKind : std::uint8_t { vsPolyline = 0, vsEllipse = 1, vsRectangle = 2, vsPolygon = 3 };

struct TVykPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TVykPoint &) const = default;
};

// One stroke. The style numbers are the class library's: pens 0 solid, 1 dash,
// 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear, 6 inside frame; brushes 0 solid,
// 1 clear, 2 horizontal, 3 vertical, 4 forward diagonal, 5 backward diagonal,
// 6 cross, 7 diagonal cross. Colours are Windows RGB values (0x00BBGGRR).
// Left and Right are the least and greatest x of the points, Top and Bottom
// the least and greatest y.
struct TVykStroke {
    std::uint8_t Kind = vsPolyline;
    std::uint8_t Spare = 0;
    std::uint8_t PenStyle = 0;
    std::uint8_t BrushStyle = 0;
    std::int32_t BrushColor = 0;
    std::int32_t PenColor = 0;
    std::int32_t PenWidth = 0;
    std::int32_t PointCount = 0;   // the length of Points once read
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    std::vector<TVykPoint> Points;
    bool operator==(const TVykStroke &) const = default;
};

struct TVykSymbol {
    QString Name;                  // at most 100 characters (50 in the old form)
    std::uint8_t Kind = vkFill;
    std::int32_t StrokeCount = 0;  // the length of Strokes once read
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Number1 = 0;      // carried, read by nothing
    std::int32_t Number2 = 0;
    std::array<std::uint8_t, 12> Reserved{};
    std::vector<TVykStroke> Strokes;
    bool operator==(const TVykSymbol &) const = default;
};

// A loaded library. Count is the stored count (0 when the file was missing or
// stored more than 200; a negative stored count is kept, with no patterns);
// Items are the patterns, a style number being a position in them. Readers
// take count() and items(), which never disagree.
struct TVykSymbols {
    QString Signature;
    std::int32_t Count = 0;
    std::vector<TVykSymbol> Items;

    int count() const { return static_cast<int>(Items.size()); }
    const std::vector<TVykSymbol> &items() const { return Items; }
    // Pattern n, or null when n is no position of the library.
    const TVykSymbol *item(int n) const
    {
        return n >= 0 && n < count() ? &Items[static_cast<size_t>(n)] : nullptr;
    }
};

namespace mapengine {

inline constexpr char kOldLibrarySignature[] = "VYKSYMBOLS";
inline constexpr char kNewLibrarySignature[] = "VYKSYMBOL6";
inline constexpr int kLibraryHeaderSize = 14;
inline constexpr int kOldPatternRecordSize = 63;
inline constexpr int kNewPatternRecordSize = 133;
inline constexpr int kStrokeRecordSize = 36;
inline constexpr int kPointRecordSize = 8;
inline constexpr int kMaxLibraryPatterns = 200;

// Reads a library file's bytes. A count above 200 gives no patterns; an
// unknown signature gives Count empty patterns; fields beyond the end of the
// bytes stay zero. Stroke and point counts are trusted only as far as their
// records (36 and 8 bytes each) begin in the bytes left: a negative count
// reads none, a larger one the records that begin before the end, so a
// damaged file never makes the reader allocate beyond its size. whole (when
// given) tells whether the bytes were a library read to its end: a known
// signature, a count of 0 to 200, and every record and point there.
TVykSymbols readStyleLibrary(QByteArrayView bytes, bool *whole = nullptr);

// The library's bytes: the old form when its Signature is "VYKSYMBOLS", the
// new one ("VYKSYMBOL6") otherwise. Counts are written from the lists; names
// are cut to the record's width.
QByteArray writeStyleLibrary(const TVykSymbols &library);

// Sets Left, Top, Right and Bottom from the stroke's points (all 0 without
// points) and PointCount from their number.
void updateStrokeBounds(TVykStroke &stroke);

} // namespace mapengine
