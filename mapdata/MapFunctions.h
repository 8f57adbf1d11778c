#pragma once
// Shared helper routines of the unit MapFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace mapdata {
// The local machine's key that holds "Language" and "PathWorkFiles".
inline constexpr char16_t LanguageRegistryKey[] = u"\\SOFTWARE\\Quillery 6";
} // namespace mapdata

namespace MapFunctions {

// The kinds of attribute fields TextToFieldValue understands, as the database
// engine's field descriptions name them; Other stands for any further type.
enum class FieldKind { String, Memo, WideString, SmallInt, Integer, Word, LargeInt, Boolean, Float, Currency, Other };

// Number text from users and files, read tolerantly: everything but digits, the
// first "," or "." (either is the decimal separator) and a leading minus is
// dropped; an empty text gives the default. Raises platform::ConvertError
// (platform/NumberFormat.h) when what is left is not a number ("," "." "-,")
// or lies beyond the double range.
double TextToFloat(const QString &text, double defaultValue);

// Rounds the number read by TextToFloat, halves to the even neighbour ("2.5"
// reads 2, "12.7" reads 13); the low 32 bits of the value. Raises as
// TextToFloat does.
std::int32_t TextToInt(const QString &text);

// Digits and a leading minus of the text; "0" when none is left.
QString TextToDigits(const QString &text);

// The general float text with a point as separator, for files and parameter
// strings that need one.
QString FloatToTextDot(double value);

// Rounds the fraction of a value to d decimals, halves to the even neighbour:
// d is the given decimals in mode 0 (and any mode other than 1 and 2), 3 in
// mode 1 and 2 in mode 2. As text the result is padded with zeros to d
// decimals ("3,14", "7,00" under a comma separator); otherwise a double.
QVariant RoundValue(double value, int mode, int decimals, bool asText);

// The value a text gives a field of the kind: the text for text fields, a
// 32-bit integer of its digits, a Boolean ("true" or "1"), a double; null for
// a blank numeric text and for other kinds. Float fields raise as TextToFloat.
QVariant TextToFieldValue(const QString &text, FieldKind kind);

// "True" or "False".
QString BoolToText(bool value);

// Key and value around the first separator, both trimmed; without the
// separator the key is the whole text and the value empty.
TTxtValues SplitPair(const QString &text, const QString &separator);

// The trimmed parts between separators; a trailing separator gives an empty
// last part, an empty text no part.
TTextArray SplitToArray(const QString &text, const QString &separator);

// Makes a text fit inside a double-quoted query condition: runs of double
// quotes become one, then each double quote and backquote becomes two double
// quotes. A text without a double quote is returned unchanged.
QString EscapeQuotes(const QString &text);

// Fills a fixed text field of n + 1 bytes (n is the field's size minus one)
// with the Windows-1251 bytes of the text, at most n of them, and zero bytes
// after, so the field always ends in a zero.
void StrToFixedChars(const QString &text, char *dest, int n);

// The style code of text records from a TextStyle bit set (1 bold, 2 italic,
// 4 underline, 8 strike-out): 1 bold + 10 italic + 100 underline.
int FontStyleCode(std::uint8_t styles);

// The first name base.ext.001, base.ext.002 ... (unpadded from 1000 on) that
// names no existing file.
QString FreeNumberedName(const QString &base, const QString &ext);

// The bare file name when the file lies directly inside the folder (compared
// without regard to case); the file name unchanged otherwise.
QString RelativeFileName(const QString &fileName, const QString &folder);

// TranslateForm: mapdata/ui/FormTranslation.h (it needs the widgets).
// The interface language the settings choose: "Language" of the local
// machine's key "\SOFTWARE\Quillery 6" read with this unit's integer
// converter; 1 is Ukrainian, above 1 Russian, 0 or less (also a text that is
// no number) no translation.
int LanguageNumber();

// The string value of a key under the local machine; the default when the
// value is missing or blank (spaces only), otherwise the text as stored. A value
// of another type raises platform::RegistryError.
QString ReadMachineRegString(const QString &key, const QString &name, const QString &def);
// Writes a string value under the local machine, creating the key when missing;
// false when it could not be written.
bool WriteMachineRegString(const QString &key, const QString &name, const QString &text);

// The size of the file in bytes; 0 when it does not exist or cannot be read.
qint64 FileSizeByName(const QString &fileName);

// Hexadecimal text to a number: upper-cased, one trailing "H" dropped; any
// character that is no hexadecimal digit makes the result 0 ("1FH" is 31,
// "1G" is 0).
qint64 HexToInt(const QString &text);
// Six hexadecimal digits RRGGBB to a colour value (red in the low byte).
int HexToColor(const QString &text);
// Colour n of the fixed palette p (1 to 9), n wrapping by the palette's size;
// 0 (black) for another palette number or n of 0 or less. Palette 0 picks a
// random palette 0..8 and colour 0..24.
int PaletteColor(int palette, int colour);

// Plane geometry of selection, snapping, clipping and measuring. Angles and
// intermediate values are computed in long double; results are stored as doubles.

// A point with two integer tags.
struct TPlanePoint {
    double X = 0.0;
    double Y = 0.0;
    std::int32_t Tag1 = 0;
    std::int32_t Tag2 = 0;
};

// The crossing of two lines; Flag 1 when the mode accepted it.
struct TCrossing {
    std::int32_t Flag = 0;
    double X = 0.0;
    double Y = 0.0;
};

// The part of a segment inside a rectangle.
struct TClippedSegment {
    std::uint8_t Visible = 0;
    std::uint8_t Count = 0; // crossings with the rectangle's sides
    double X1 = 0.0;
    double Y1 = 0.0;
    double X2 = 0.0;
    double Y2 = 0.0;
};

// A point at a distance along a direction.
struct TPointAlong {
    std::int32_t Kind = 0;
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// Direction angle from point 1 to point 2 in radians, 0..2 pi (equal points: pi/2).
double DirectionAngleRad(double X1, double Y1, double X2, double Y2);

// Turn from the direction of segment 1 to that of segment 2, degrees -180..180,
// positive counter-clockwise.
double AngleBetweenDirections(double X1, double Y1, double X2, double Y2,
                              double X3, double Y3, double X4, double Y4);

// The point at Distance from point 1 along the direction to point 2 turned by
// Angle degrees; a distance of 0 gives point 1.
TPointAlong PointAlongDirection(double X1, double Y1, double Z1, double X2, double Y2, double Z2,
                                double Angle, double Distance);

// Crossing of the lines through segment A (1-2) and segment B (3-4). Flag 1 when
// the crossing lies within A and: mode 0, it is not A's end point 2; mode 1, it is
// not A's end point 2 and lies within B; mode 2, it lies within B; mode 3, always.
TCrossing IntersectSegments(int Mode, double X1, double Y1, double X2, double Y2,
                            double X3, double Y3, double X4, double Y4);

bool PointNearPoint(double X1, double Y1, double X2, double Y2, double TolX, double TolY);

// True when the point lies on the segment within Tolerance (by the detour length).
bool PointOnSegment(double X1, double Y1, double X2, double Y2, double X, double Y,
                    double Tolerance);

// 5 inside (bounds inclusive); 1 2 3 above, 4 left, 6 right, 7 8 9 below, from
// left to right; 0 for not-a-number.
int PointRegionCode(double MinX, double MinY, double MaxX, double MaxY, double X, double Y);

TClippedSegment ClipSegmentToRect(double MinX, double MinY, double MaxX, double MaxY,
                                  double X1, double Y1, double X2, double Y2);

// Quick test: also true when only a corner of the segment's bounding box lies in
// the rectangle, so callers get candidates, not exact hits.
bool SegmentIntersectsRect(double MinX, double MinY, double MaxX, double MaxY,
                           double X1, double Y1, double X2, double Y2);

// True when an end point lies in the rectangle or the segment crosses a side.
bool SegmentEntersRect(double MinX, double MinY, double MaxX, double MaxY,
                       double X1, double Y1, double X2, double Y2);

TPlanePoint SetPlanePoint(double X, double Y, std::int32_t Tag1, std::int32_t Tag2);

} // namespace MapFunctions
