#include "mapdata/MapFunctions.h"

#include "mapdata/NumberText.h"
#include "mapdata/VykFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>

namespace MapFunctions {

double TextToFloat(const QString &text, double defaultValue)
{
    return numbertext::textToFloat(text, defaultValue);
}

std::int32_t TextToInt(const QString &text)
{
    QString s = numbertext::trimBlank(text);
    if (s.isEmpty())
        s = QStringLiteral("0");
    if (platform::decimalSeparator() == u',') {
        if (const qsizetype p = s.indexOf(u'.'); p >= 0)
            s[p] = u',';
    } else if (const qsizetype p = s.indexOf(u','); p >= 0) {
        s[p] = u'.';
    }
    return numbertext::low32(platform::roundHalfEven(TextToFloat(s, 0)));
}

QString TextToDigits(const QString &text)
{
    return numbertext::textToDigits(text);
}

QString FloatToTextDot(double value)
{
    // The twins agree on this one.
    return VykFunctions::FloatToTextDot(value);
}

QVariant RoundValue(double value, int mode, int decimals, bool asText)
{
    const int d = mode == 1 ? 3 : mode == 2 ? 2 : decimals;
    const double factor = std::pow(10.0, d);
    const double whole = std::trunc(value);
    const double fraction = value - whole;
    const double result = static_cast<double>(platform::roundHalfEven(fraction * factor)) / factor + whole;
    if (!asText)
        return result;

    QString s = numbertext::trimBlank(platform::floatToStr(result));
    // The exponent form and NAN/INF are left as they are: zeros appended to
    // them would read back as another number.
    if (d > 0 && std::isfinite(result) && !s.contains(u'E')) {
        const QChar sep = platform::decimalSeparator();
        const qsizetype p = s.indexOf(sep);
        if (p < 0)
            s += sep + QString(d, u'0');
        else if (s.size() - p - 1 < d)
            s += QString(d - (s.size() - p - 1), u'0');
    }
    return s;
}

QVariant TextToFieldValue(const QString &text, FieldKind kind)
{
    const QString trimmed = numbertext::trimBlank(text);
    switch (kind) {
    case FieldKind::String:
    case FieldKind::Memo:
    case FieldKind::WideString:
        return text;
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::LargeInt:
        if (trimmed.isEmpty())
            return {};
        return TextToInt(TextToDigits(text));
    case FieldKind::Boolean: {
        const QString lower = platform::ansiLowerCase(trimmed);
        return lower == u"true" || lower == u"1";
    }
    case FieldKind::Float:
    case FieldKind::Currency:
        if (trimmed.isEmpty())
            return {};
        return TextToFloat(text, 0);
    case FieldKind::Other:
        break;
    }
    return {};
}

QString BoolToText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

TTxtValues SplitPair(const QString &text, const QString &separator)
{
    TTxtValues pair;
    const qsizetype p = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (p < 0) {
        pair.Key = text;
        return pair;
    }
    pair.Key = numbertext::trimBlank(QStringView(text).left(p));
    pair.Value = numbertext::trimBlank(QStringView(text).mid(p + 1));
    return pair;
}

TTextArray SplitToArray(const QString &text, const QString &separator)
{
    TTextArray parts;
    QString rest = numbertext::trimBlank(text);
    if (rest.isEmpty())
        return parts;
    if (!separator.isEmpty()) {
        for (qsizetype p = rest.indexOf(separator); p >= 0; p = rest.indexOf(separator)) {
            parts.push_back(numbertext::trimBlank(QStringView(rest).left(p)));
            rest = numbertext::trimBlank(QStringView(rest).mid(p + separator.size()));
        }
    }
    parts.push_back(rest);
    return parts;
}

QString EscapeQuotes(const QString &text)
{
    if (!text.contains(u'"'))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            // A run of quotes counts as one.
            while (i + 1 < text.size() && text[i + 1] == u'"')
                ++i;
            out += QStringLiteral("\"\"");
        } else if (c == u'`') {
            out += QStringLiteral("\"\"");
        } else {
            out += c;
        }
    }
    return out;
}

void StrToFixedChars(const QString &text, char *dest, int n)
{
    if (dest == nullptr || n < 0)
        return;
    const QByteArray bytes = platform::toCp1251(text);
    const std::size_t size = static_cast<std::size_t>(n) + 1;
    const std::size_t count = std::min(static_cast<std::size_t>(bytes.size()), size - 1);
    std::memcpy(dest, bytes.constData(), count);
    std::memset(dest + count, 0, size - count);
}

int FontStyleCode(std::uint8_t styles)
{
    return ((styles & 1) ? 1 : 0) + ((styles & 2) ? 10 : 0) + ((styles & 4) ? 100 : 0);
}

QString FreeNumberedName(const QString &base, const QString &ext)
{
    const QString stem = base + u'.' + ext + u'.';
    for (int i = 1; i < INT_MAX; ++i) {
        const QString name = stem + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        if (!platform::fileExists(name))
            return name;
    }
    return stem + QString::number(INT_MAX);
}

QString RelativeFileName(const QString &fileName, const QString &folder)
{
    const QString f = numbertext::trimBlank(folder);
    if (f.isEmpty())
        return fileName;
    const qsizetype p = platform::ansiUpperCase(fileName).indexOf(platform::ansiUpperCase(f));
    if (p < 0)
        return fileName;
    QString part = fileName.mid(p + f.size());
    if (!part.isEmpty() && platform::isPathSeparator(part[0]))
        part.remove(0, 1);
    // Only files directly inside the folder get a relative name; "/" counts
    // as a separator as "\" does.
    for (const QChar c : part)
        if (platform::isPathSeparator(c))
            return fileName;
    return part;
}

namespace {

bool isBlank(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > u' ')
            return false;
    return true;
}

struct Palette {
    int size;
    const char *colours[24];
};

// Colours as RRGGBB; palette 2 repeats its first three colours at its end.
constexpr Palette Palettes[9] = {
    {24, {"C06549", "FFD700", "BDB76B", "F7B567", "CEC395", "CD9B1D", "F0E68C", "A7AF5E", "C09058", "8B4513",
          "AC9600", "698B69", "8B6914", "8B8B00", "FFFBC3", "BDB056", "DCCE00", "FEEAC6", "FFC7AE", "A6B655",
          "DB6700", "E5A100", "F7D3B3", "738325"}},
    {24, {"D2D2D2", "9DC0C0", "DFC7AA", "A1D197", "E2A6A6", "CBA6CB", "FEA4A4", "A8ACD1", "C8D89A", "F3C4D8",
          "E9E15E", "EEEEEE", "C0AB79", "E2E17F", "B4E1FE", "E8DDFE", "E1FEEB", "FEF782", "C3FFC3", "CEFE87",
          "8CFEB3", "D2D2D2", "9DC0C0", "DFC7AA"}},
    {24, {"F3898B", "7BFECD", "B3B07B", "49BA85", "00DBFE", "847FBA", "FEA869", "17BCC4", "DC686D", "28803C",
          "C09B43", "746FC0", "9C9C9C", "EDFEA5", "00E04D", "86A9CE", "B37B9D", "9FD8B3", "FEB676", "C09671",
          "87CFFE", "00A7C7", "B6A6D5", "D258DC"}},
    {15, {"EF0000", "FEF500", "FEAD00", "00FE76", "FEBC87", "FE6969", "02C200", "00FEB1", "EDFEA5", "AFFEAF",
          "FEA0A0", "FE7200", "FEBF00", "FFFBC3", "B8860B"}},
    {13, {"F8C3FE", "69FEFE", "D2D2FE", "69FED1", "F7A5FE", "A5A6FE", "00EAA3", "00C2C2", "EEACCE", "AFFEDD",
          "D2FEFE", "AFDDFE", "E4FEB4"}},
    {15, {"FE7200", "FE4646", "FEE769", "FE8828", "D15D00", "D1B100", "FEF5C3", "FECDA5", "FEE24B", "C70000",
          "BAA563", "F1FE00", "FED269", "8B4513", "8B6914"}},
    {13, {"FE7800", "E50000", "EEC900", "AE5200", "DB6700", "FE0000", "E5A100", "E57C1F", "C09671", "573414",
          "FEF450", "B37E50", "6F2828"}},
    {24, {"97FE00", "738325", "02DC00", "7DBA5A", "37A95E", "3DA900", "00FF00", "E3FE5F", "61FE60", "00E09C",
          "B2D600", "8EFE4F", "4A5900", "D3FE00", "50FE8C", "A6B655", "C3FFC3", "48762E", "016400", "7F8755",
          "908700", "DFD200", "B1BA84", "EEEC60"}},
    {19, {"00FEED", "004754", "00A7C7", "0099FE", "87CFFE", "004287", "0064A5", "AFFEE6", "0040FE", "007ED1",
          "008A81", "4E91D8", "00D5FE", "E1FEEB", "007CFE", "539B85", "86A9CE", "9FD8B3", "003AE5"}},
};

} // namespace

int LanguageNumber()
{
    const QString text =
        ReadMachineRegString(QString::fromUtf16(mapdata::LanguageRegistryKey), QStringLiteral("Language"), QString());
    // A text that is no number means no translation, as a missing value does.
    try {
        return TextToInt(text);
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

QString ReadMachineRegString(const QString &key, const QString &name, const QString &def)
{
    const QString text =
        platform::Registry::instance().readString(platform::RegRoot::LocalMachine, key, name).value_or(QString());
    return isBlank(text) ? def : text;
}

bool WriteMachineRegString(const QString &key, const QString &name, const QString &text)
{
    return platform::Registry::instance().writeString(platform::RegRoot::LocalMachine, key, name, text);
}

qint64 FileSizeByName(const QString &fileName)
{
    const QString path = platform::findExistingPath(fileName);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.size();
}

qint64 HexToInt(const QString &text)
{
    QString s = platform::ansiUpperCase(text);
    if (s.endsWith(u'H'))
        s.chop(1);
    quint64 value = 0; // unsigned, so that more than 16 digits wrap instead of overflowing
    for (QChar c : s) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        else
            return 0;
        value = value * 16 + static_cast<quint64>(digit);
    }
    return static_cast<qint64>(value);
}

int HexToColor(const QString &text)
{
    const auto part = [&text](int from) { return static_cast<int>(HexToInt(text.mid(from, 2)) & 0xFF); };
    return part(0) | (part(2) << 8) | (part(4) << 16);
}

int PaletteColor(int palette, int colour)
{
    if (palette == 0) {
        palette = platform::randomInt(9);
        colour = platform::randomInt(25);
    }
    if (palette < 1 || palette > 9 || colour <= 0)
        return 0;
    const Palette &p = Palettes[palette - 1];
    colour = (colour - 1) % p.size + 1; // brought into range by taking the size off while above it
    return HexToColor(QString::fromLatin1(p.colours[colour - 1]));
}

namespace {
namespace geom {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kDegPerRad = 180.0L / kPi;

// Slope of a line in radians without quadrant correction; a zero difference is
// nudged by -0.001 so that no line is exactly parallel to an axis.
long double lineAngle(double X1, double Y1, double X2, double Y2)
{
    const long double d1 = X2 - X1;
    const long double d2 = Y2 - Y1;
    if (d1 == 0.0L)
        return std::atan(d2 / (d1 - 0.001L));
    if (d2 == 0.0L)
        return std::atan((d2 - 0.001L) / d1);
    return std::atan(d2 / d1);
}

double distance(double X1, double Y1, double X2, double Y2)
{
    const long double dx = X2 - X1;
    const long double dy = Y2 - Y1;
    return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

// The segment's length is at least the point's distance to each end.
bool withinSegment(double X1, double Y1, double X2, double Y2, double X, double Y)
{
    const double length = distance(X1, Y1, X2, Y2);
    return length >= distance(X, Y, X1, Y1) && length >= distance(X, Y, X2, Y2);
}

bool insideRect(double MinX, double MinY, double MaxX, double MaxY, double X, double Y)
{
    return X >= MinX && X <= MaxX && Y >= MinY && Y <= MaxY;
}

// Crossing with the sides left, top, right, bottom, each as segment A in mode 1.
struct RectSide {
    double X1, Y1, X2, Y2;
};

std::array<RectSide, 4> rectSides(double MinX, double MinY, double MaxX, double MaxY)
{
    return {{{MinX, MinY, MinX, MaxY},
             {MinX, MaxY, MaxX, MaxY},
             {MaxX, MaxY, MaxX, MinY},
             {MaxX, MinY, MinX, MinY}}};
}

bool crossesASide(double MinX, double MinY, double MaxX, double MaxY,
                  double X1, double Y1, double X2, double Y2)
{
    for (const RectSide &s : rectSides(MinX, MinY, MaxX, MaxY))
        if (IntersectSegments(1, s.X1, s.Y1, s.X2, s.Y2, X1, Y1, X2, Y2).Flag == 1)
            return true;
    return false;
}

} // namespace geom
} // namespace

double DirectionAngleRad(double X1, double Y1, double X2, double Y2)
{
    const double d1 = X2 - X1;
    const double d2 = Y2 - Y1;
    long double a;
    if (d1 == 0.0)
        a = d2 >= 0.0 ? geom::kPi / 2.0L : -geom::kPi / 2.0L;
    else
        a = std::atan(static_cast<long double>(d2) / d1);
    if (d1 < 0.0)
        a += geom::kPi;
    else if (d2 < 0.0)
        a += 2.0L * geom::kPi;
    return static_cast<double>(a);
}

double AngleBetweenDirections(double X1, double Y1, double X2, double Y2,
                              double X3, double Y3, double X4, double Y4)
{
    // The twins agree on this one.
    return VykFunctions::AngleBetweenDirections(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

TPointAlong PointAlongDirection(double X1, double Y1, double Z1, double X2, double Y2, double Z2,
                                double Angle, double Distance)
{
    long double d1 = X2 - X1;
    long double d2 = Y2 - Y1;
    const long double length = std::sqrt(d1 * d1 + d2 * d2);
    if (d1 == 0.0L)
        d1 = 0.00001L;
    if (d2 == 0.0L)
        d2 = 0.00001L;
    long double a = std::fabs(std::atan(d2 / d1) * geom::kDegPerRad);
    if (d1 <= 0.0L)
        a = d2 > 0.0L ? 180.0L - a : a + 180.0L;
    else if (d2 <= 0.0L)
        a = 360.0L - a;
    const long double r = (a + Angle) / geom::kDegPerRad;
    TPointAlong p;
    p.Kind = 1;
    p.X = static_cast<double>(X1 + Distance * std::cos(r));
    p.Y = static_cast<double>(Y1 + Distance * std::sin(r));
    // Height: the slope from point 1 to point 2 over the distance, kept within the
    // two end heights.
    long double z = Z1;
    if (length != 0.0L)
        z = std::clamp(Z1 + (static_cast<long double>(Z2) - Z1) / length * Distance,
                       static_cast<long double>(std::min(Z1, Z2)),
                       static_cast<long double>(std::max(Z1, Z2)));
    p.Z = static_cast<double>(z);
    return p;
}

TCrossing IntersectSegments(int Mode, double X1, double Y1, double X2, double Y2,
                            double X3, double Y3, double X4, double Y4)
{
    const long double a = geom::lineAngle(X1, Y1, X2, Y2);
    const long double b = geom::lineAngle(X3, Y3, X4, Y4);
    const long double sinA = std::sin(a), cosA = std::cos(a);
    const long double sinB = std::sin(b), cosB = std::cos(b);
    long double c;
    if (sinB * cosB == 0.0L) {
        c = (static_cast<long double>(X1) - X3) / -cosA;
    } else {
        const long double k = cosB / sinB;
        const long double denominator = k * sinA - cosA;
        if (denominator == 0.0L) // parallel lines
            c = 0.0L;
        else
            c = ((static_cast<long double>(X1) - X3) + k * (static_cast<long double>(Y3) - Y1))
                / denominator;
    }
    TCrossing q;
    q.X = static_cast<double>(X1 + c * cosA);
    q.Y = static_cast<double>(Y1 + c * sinA);
    q.Flag = 0;
    if (!geom::withinSegment(X1, Y1, X2, Y2, q.X, q.Y))
        return q;
    const bool atEnd = q.X == X2 && q.Y == Y2;
    switch (Mode) {
    case 0:
        q.Flag = atEnd ? 0 : 1;
        break;
    case 1:
        q.Flag = !atEnd && geom::withinSegment(X3, Y3, X4, Y4, q.X, q.Y) ? 1 : 0;
        break;
    case 2:
        q.Flag = geom::withinSegment(X3, Y3, X4, Y4, q.X, q.Y) ? 1 : 0;
        break;
    case 3:
        q.Flag = 1;
        break;
    default:
        break;
    }
    return q;
}

bool PointNearPoint(double X1, double Y1, double X2, double Y2, double TolX, double TolY)
{
    return std::fabs(X1 - X2) <= TolX && std::fabs(Y1 - Y2) <= TolY;
}

bool PointOnSegment(double X1, double Y1, double X2, double Y2, double X, double Y,
                    double Tolerance)
{
    const double length = geom::distance(X1, Y1, X2, Y2);
    const double toStart = geom::distance(X1, Y1, X, Y);
    const double toEnd = geom::distance(X, Y, X2, Y2);
    return std::fabs(length - (toStart + toEnd)) < Tolerance;
}

int PointRegionCode(double MinX, double MinY, double MaxX, double MaxY, double X, double Y)
{
    int column; // 0 left, 1 within, 2 right
    if (X < MinX)
        column = 0;
    else if (X > MaxX)
        column = 2;
    else if (X >= MinX && X <= MaxX)
        column = 1;
    else
        return 0;
    int row; // 0 above, 1 within, 2 below
    if (Y > MaxY)
        row = 0;
    else if (Y < MinY)
        row = 2;
    else if (Y >= MinY && Y <= MaxY)
        row = 1;
    else
        return 0;
    return row * 3 + column + 1;
}

TClippedSegment ClipSegmentToRect(double MinX, double MinY, double MaxX, double MaxY,
                                  double X1, double Y1, double X2, double Y2)
{
    TClippedSegment r;
    const bool firstInside = geom::insideRect(MinX, MinY, MaxX, MaxY, X1, Y1);
    const bool secondInside = geom::insideRect(MinX, MinY, MaxX, MaxY, X2, Y2);
    if (firstInside && secondInside) {
        r.Visible = 1;
        r.X1 = X1;
        r.Y1 = Y1;
        r.X2 = X2;
        r.Y2 = Y2;
        return r;
    }
    bool firstSet = false;
    if (firstInside) {
        r.X1 = X1;
        r.Y1 = Y1;
        firstSet = true;
    }
    for (const geom::RectSide &s : geom::rectSides(MinX, MinY, MaxX, MaxY)) {
        const TCrossing q = IntersectSegments(1, s.X1, s.Y1, s.X2, s.Y2, X1, Y1, X2, Y2);
        if (q.Flag != 1)
            continue;
        r.Visible = 1;
        if (!firstSet) {
            r.X1 = q.X;
            r.Y1 = q.Y;
            firstSet = true;
        } else {
            r.X2 = q.X;
            r.Y2 = q.Y;
        }
        ++r.Count;
    }
    if (secondInside) {
        r.X2 = X2;
        r.Y2 = Y2;
    }
    return r;
}

bool SegmentIntersectsRect(double MinX, double MinY, double MaxX, double MaxY,
                           double X1, double Y1, double X2, double Y2)
{
    if (geom::insideRect(MinX, MinY, MaxX, MaxY, X1, Y1) || geom::insideRect(MinX, MinY, MaxX, MaxY, X1, Y2)
        || geom::insideRect(MinX, MinY, MaxX, MaxY, X2, Y2) || geom::insideRect(MinX, MinY, MaxX, MaxY, X2, Y1))
        return true;
    return geom::crossesASide(MinX, MinY, MaxX, MaxY, X1, Y1, X2, Y2);
}

bool SegmentEntersRect(double MinX, double MinY, double MaxX, double MaxY,
                       double X1, double Y1, double X2, double Y2)
{
    if (geom::insideRect(MinX, MinY, MaxX, MaxY, X1, Y1) || geom::insideRect(MinX, MinY, MaxX, MaxY, X2, Y2))
        return true;
    return geom::crossesASide(MinX, MinY, MaxX, MaxY, X1, Y1, X2, Y2);
}

TPlanePoint SetPlanePoint(double X, double Y, std::int32_t Tag1, std::int32_t Tag2)
{
    return {X, Y, Tag1, Tag2};
}

} // namespace MapFunctions
