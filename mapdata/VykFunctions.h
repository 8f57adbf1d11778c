#pragma once
// Shared helper routines of the unit VykFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"
#include "platform/Registry.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::gdi {
class Canvas;
}

namespace VykFunctions {

// Number text from users and files, read tolerantly: everything but digits, the
// first "," or "." (either is the decimal separator) and a leading minus is
// dropped; an empty text gives the default. Raises platform::ConvertError
// (platform/NumberFormat.h) when what is left is not a number ("," "." "-,")
// or lies beyond the double range.
double TextToFloat(const QString &text, double defaultValue);
// As TextToFloat, but what is no number ("." "-,", beyond the double range)
// gives the default too: for edits read while they are being typed.
double TextToFloatDef(const QString &text, double defaultValue);

// Drops decimal separators as well ("12.7" reads 127, "1 500" reads 1500); the
// low 32 bits of the value. Raises only beyond the double range (some 309
// digits).
std::int32_t TextToInt(const QString &text);

// Digits and a leading minus of the text; "0" when none is left.
QString TextToDigits(const QString &text);

// The general float text with a point as separator, for files and parameter
// strings that need one.
QString FloatToTextDot(double value);

// Ukrainian words for dates, money amounts and names in cadastral documents.
// Every word ends with one space; the apostrophe is the backquote.

// "5 березня 2004 року"; the zero date (30 December 1899) gives "".
QString DateToWordsUkr(double date);

// The amount in words with "гривня" forms, and with withKopecks = 1 the kopecks
// as two digits and their word; first letter upper case, trailing space kept.
// The amount is rounded to whole kopecks first (1.996 is two hryvnias).
QString AmountToWordsUkr(int withKopecks, double amount);

// "Surname Name Patronymic" to "N. P. Surname", or "Surname N. P." with
// surnameFirst.
QString ShortenPersonName(const QString &name, bool surnameFirst);

// 1 to 19; mode 5 gives the masculine "один ", "два ", other modes the feminine.
QString UnitsWord(int number, int mode);
// 2 to 9 tens.
QString TensWord(int number);
// 1 to 9 hundreds.
QString HundredsWord(int number);
// The noun form for a count: 1, 2 to 4, any other.
QString MillionWord(int count);
QString ThousandWord(int count);
QString HryvniaWord(int count);
QString KopiykaWord(int count);
// The kopeck count as at least two digits and a space ("07 ").
QString KopiykaDigits(int count);

// TranslateForm: mapdata/ui/FormTranslation.h (it needs the widgets).

// The string value under the root; the default when the key or the value does
// not exist (an existing empty value gives ""). A value of another type raises
// platform::RegistryError.
QString ReadRegString(platform::RegRoot root, const QString &key, const QString &name,
                      const QString &def = QString());
// Writes a string value, creating the key when missing; false when it could not
// be written.
bool WriteRegString(platform::RegRoot root, const QString &key, const QString &name, const QString &text);

// Plane geometry of the drawing and georeferencing code. Angles and intermediate
// values are computed in long double; results are stored as doubles.

// Degrees, minutes and seconds of a decimal angle; the sign sits on the first
// non-zero part.
struct TDegMinSec {
    std::int32_t Degrees = 0;
    std::int32_t Minutes = 0;
    double Seconds = 0.0;
};

// A point of the plane with a height.
struct TPointXYZ {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// A point of the plane without height.
struct TRealPoint {
    double X = 0.0;
    double Y = 0.0;
};

// The control-point record that PointAlongDirection fills: kind, number text,
// coordinates and two integer tags.
struct TControlPointRecord {
    std::int32_t Kind = 0;
    QString Number;
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    std::int32_t Tag1 = 0;
    std::int32_t Tag2 = 0;
};

// Direction angle from point 1 to point 2 in degrees, 0..360 (equal points: 90).
double DirectionAngleDeg(double X1, double Y1, double X2, double Y2);

// Direction angle from point 1 to point 2 plus Angle, in degrees; the sum is not
// brought back into 0..360. A zero difference counts as 0.00001. Z is unused.
double DirectionAngleOffset(double X1, double Y1, double Z1, double X2, double Y2, double Z2,
                            double Angle);

// Arc tangent of the slope from point 1 to point 2 in radians (-pi/2..pi/2),
// a difference of 0 (to five decimals) nudged by -0.00001.
double SafeAtanAngle(double X1, double Y1, double X2, double Y2);

// Turn from the direction of segment 1 to that of segment 2, degrees -180..180,
// positive counter-clockwise.
double AngleBetweenDirections(double X1, double Y1, double X2, double Y2,
                              double X3, double Y3, double X4, double Y4);

// The point at Distance from the origin along the direction A + B degrees.
TRealPoint PolarPoint(std::int32_t X0, std::int32_t Y0, double A, double B, double Distance);

// Turns the point Q about the pivot P by Angle degrees counter-clockwise. Each
// non-zero coordinate of the substitute S replaces that of the pivot and moves the
// point with it. Fills X and Y of Rec (and Z when the point lies on the pivot).
void RotatePointAbout(TPointXYZ &Rec, double PX, double PY, double PZ,
                      double QX, double QY, double QZ,
                      double SX, double SY, double SZ, double Angle);

// Fills Rec with the point at Distance from point 1 along the direction to point 2
// turned by Angle degrees; a distance of 0 means the full length from 1 to 2.
void PointAlongDirection(TControlPointRecord &Rec, double X1, double Y1, double Z1,
                         double X2, double Y2, double Z2, double Angle, double Distance);

// Splits decimal degrees into degrees, minutes and unrounded seconds.
TDegMinSec DegToDMS(double Value);

// Draws a window of a ".bmp" file (source rectangle in pixels, rows counted
// from the top) stretched into a rectangle of the canvas, in bands of rows,
// with the raster operation of RasterMode (the index kept with image layers)
// and, when Gamma is not 0, the colours through the gamma table. A negative
// destination height mirrors the picture. False, with nothing drawn, for a
// file that is no readable uncompressed bitmap, a run-length compressed one,
// or an empty source or destination.
bool DrawBmpFile(const QString &FileName, platform::gdi::Canvas &DC, int DestX, int DestY, int DestWidth,
                 int DestHeight, int SrcX, int SrcY, int SrcWidth, int SrcHeight, int RasterMode, double Gamma);

// Each byte becomes 255 - value - Shift, or 0 when value + Shift exceeds 254.
std::array<std::uint8_t, 3> InvertColorBytes(const std::array<std::uint8_t, 3> &Bytes,
                                             int Shift);

// A zero-filled buffer of Size bytes.
std::vector<std::uint8_t> AllocZeroed(std::size_t Size);

} // namespace VykFunctions
