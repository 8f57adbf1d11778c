#include "mapdata/VykFunctions.h"

#include "mapdata/NumberText.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>

namespace VykFunctions {

double TextToFloat(const QString &text, double defaultValue)
{
    return numbertext::textToFloat(text, defaultValue);
}

double TextToFloatDef(const QString &text, double defaultValue)
{
    try {
        return numbertext::textToFloat(text, defaultValue);
    } catch (const platform::ConvertError &) {
        return defaultValue;
    }
}

std::int32_t TextToInt(const QString &text)
{
    QString s = numbertext::trimBlank(text);
    if (s.isEmpty())
        s = QStringLiteral("0");
    s = numbertext::keepNumberChars(s, false);
    if (s == u"-")
        return 0;
    return numbertext::low32(platform::roundHalfEven(TextToFloat(s, 0)));
}

QString TextToDigits(const QString &text)
{
    return numbertext::textToDigits(text);
}

QString FloatToTextDot(double value)
{
    QString s = platform::floatToStr(value);
    const qsizetype comma = s.indexOf(u',');
    if (comma >= 0)
        s[comma] = u'.';
    return s;
}

namespace {

QString word(const char16_t *text) { return QString::fromUtf16(text); }

// Index = number; 0 and numbers beyond a table give "".
const char16_t *const kUnitsFeminine[] = {
    u"", u"одна ", u"дві ", u"три ", u"чотири ", u"п`ять ", u"шість ", u"сім ", u"вісім ", u"дев`ять ",
    u"десять ", u"одиннадцять ", u"дванадцять ", u"тринадцять ", u"чотирнадцять ", u"п`ятнадцять ",
    u"шістнадцять ", u"сімнадцять ", u"вісімнадцять ", u"дев`ятнадцять "};
const char16_t *const kTens[] = {u"", u"", u"двадцять ", u"тридцять ", u"сорок ", u"п`ятдесят ",
                                 u"шістдесят ", u"сімдесят ", u"вісімдесят ", u"дев`яносто "};
const char16_t *const kHundreds[] = {u"", u"сто ", u"двісті ", u"триста ", u"чотириста ", u"п`ятьсот ",
                                     u"шістьсот ", u"сімсот ", u"вісімсот ", u"дев`ятьсот "};
// Genitive month names; the first letter of January's is the Latin "c" (0x63),
// as the printed documents have always had it.
const char16_t *const kMonths[] = {u"cічня", u"лютого", u"березня", u"квітня", u"травня", u"червня",
                                   u"липня", u"серпня", u"вересня", u"жовтня", u"листопада", u"грудня"};

QString countForm(int count, const char16_t *one, const char16_t *few, const char16_t *many)
{
    if (count == 1)
        return word(one);
    if (count >= 2 && count <= 4)
        return word(few);
    return word(many);
}

// A group of 1 to 999 in words; last receives the value that chooses the form
// of the noun that follows (0 to 19).
QString groupWords(int value, int mode, int &last)
{
    QString out = HundredsWord(value / 100);
    int u = value % 100;
    if (u >= 20) {
        out += TensWord(u / 10);
        u %= 10;
    }
    out += UnitsWord(u, mode);
    last = u;
    return out;
}

// The text after position pos, without leading and trailing spaces and
// control characters.
QString trimmedAfter(const QString &s, qsizetype pos)
{
    return platform::trimBlank(QStringView(s).mid(pos + 1)).toString();
}

QString trimmed(const QString &s) { return trimmedAfter(s, -1); }

} // namespace

QString UnitsWord(int number, int mode)
{
    if (number == 1 && mode == 5)
        return QStringLiteral("один ");
    if (number == 2 && mode == 5)
        return QStringLiteral("два ");
    if (number < 1 || number > 19)
        return {};
    return word(kUnitsFeminine[number]);
}

QString TensWord(int number)
{
    return number >= 2 && number <= 9 ? word(kTens[number]) : QString();
}

QString HundredsWord(int number)
{
    return number >= 1 && number <= 9 ? word(kHundreds[number]) : QString();
}

QString MillionWord(int count) { return countForm(count, u"мільйон ", u"мільйона ", u"мільйонів "); }
QString ThousandWord(int count) { return countForm(count, u"тисяча ", u"тисячі ", u"тисяч "); }
QString HryvniaWord(int count) { return countForm(count, u"гривня ", u"гривні ", u"гривень "); }

QString KopiykaWord(int count)
{
    // From 20 on only the second digit counts (21 "копійка", 25 "копійок").
    if (count >= 20)
        count = QString::number(count).at(1).digitValue();
    return countForm(count, u"копійка ", u"копійки ", u"копійок ");
}

QString KopiykaDigits(int count)
{
    QString s = QString::number(count);
    if (s.size() == 1)
        s.prepend(u'0');
    return s + u' ';
}

QString DateToWordsUkr(double date)
{
    if (!std::isfinite(date) || std::fabs(date) > 3.0e6)
        return {};
    const QDate epoch(1899, 12, 30);
    // The date part goes towards zero, as the platform's date values split.
    const QDate d = epoch.addDays(static_cast<qint64>(std::trunc(date)));
    if (d == epoch || !d.isValid() || d.year() < 1 || d.year() > 9999)
        return {};
    return QString::number(d.day()) + u' ' + word(kMonths[d.month() - 1]) + u' ' + QString::number(d.year())
           + QStringLiteral(" року");
}

QString AmountToWordsUkr(int withKopecks, double amount)
{
    // Whole kopecks first, so that a fraction of .996 carries into the hryvnias
    // instead of printing "100 копійок".
    const std::int64_t total = platform::roundHalfEven(static_cast<long double>(amount) * 100);
    const std::int64_t whole = total / 100;
    const int kopecks = static_cast<int>(total % 100);

    QString out;
    int last = 0;
    const std::int64_t millions = whole / 1000000;
    if (millions != 0) {
        out += groupWords(static_cast<int>(millions), 5, last);
        out += MillionWord(last);
    }
    const int thousands = static_cast<int>(whole % 1000000 / 1000);
    if (thousands != 0) {
        out += groupWords(thousands, 4, last);
        out += ThousandWord(last);
    }
    if (whole == 0)
        out = QStringLiteral("нуль ");
    const int hryvnias = static_cast<int>(whole % 1000);
    if (hryvnias != 0) {
        out += groupWords(hryvnias, 3, last);
        out += HryvniaWord(last);
    } else {
        out += HryvniaWord(0);
    }
    if (withKopecks == 1) {
        out += KopiykaDigits(kopecks);
        out += KopiykaWord(kopecks);
    }
    if (!out.isEmpty())
        out[0] = platform::ansiUpperChar(out[0]);
    return out;
}

QString ShortenPersonName(const QString &name, bool surnameFirst)
{
    // Already starting with an initial ("N. Surname"), or a single word.
    if (name.indexOf(u'.') == 1)
        return name;
    const qsizetype space = name.indexOf(u' ');
    if (space < 0)
        return name;

    const QString surname = name.left(space);
    QString rest = trimmedAfter(name, space);
    QString initials;
    if (const qsizetype p = rest.indexOf(u' '); p >= 0) {
        initials += u' ' + rest.left(1) + u'.';
        rest = trimmedAfter(rest, p);
    } else if (const qsizetype dot = rest.indexOf(u'.'); dot >= 0) {
        // Joined initials "N.P."
        initials += u'.' + rest.left(1) + u'.';
        rest = trimmedAfter(rest, dot);
    }
    if (!rest.isEmpty())
        initials += u' ' + rest.left(1) + u'.';

    QString out = surnameFirst ? surname + u' ' + trimmed(initials) : trimmed(initials) + u' ' + surname;
    if (out.indexOf(u'.') == 0)
        out.remove(0, 1);
    if (const qsizetype dots = out.indexOf(QStringLiteral("..")); dots >= 0)
        out.remove(dots, 1);
    return out;
}

QString ReadRegString(platform::RegRoot root, const QString &key, const QString &name, const QString &def)
{
    return platform::Registry::instance().readString(root, key, name).value_or(def);
}

bool WriteRegString(platform::RegRoot root, const QString &key, const QString &name, const QString &text)
{
    return platform::Registry::instance().writeString(root, key, name, text);
}

namespace {
namespace geom {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kDegPerRad = 180.0L / kPi;

long double radToDeg(long double r) { return r * kDegPerRad; }
long double degToRad(long double d) { return d / kDegPerRad; }

// Whole part plus the fraction rounded to five decimals.
long double roundTo5(long double v)
{
    const long double whole = std::trunc(v);
    return whole + static_cast<long double>(platform::roundHalfEven((v - whole) * 100000.0L))
                       / 100000.0L;
}

// Direction of one segment in radians for the angle between two directions:
// 0.001 stands in for a zero difference; a start point at the origin counts as
// direction 0 before the quadrant rules.
long double segmentDirection(double X1, double Y1, double X2, double Y2)
{
    const double d1 = X2 - X1;
    const double d2 = Y2 - Y1;
    long double r;
    if (X1 == 0.0 && Y1 == 0.0)
        r = 0.0L;
    else if (d1 != 0.0 && d2 != 0.0)
        r = std::fabs(std::atan(static_cast<long double>(d2) / d1));
    else if (d1 == 0.0 && d2 == 0.0)
        r = std::fabs(std::atan((d2 + 0.001L) / (d1 + 0.001L)));
    else if (d2 == 0.0)
        r = std::fabs(std::atan(0.001L / d1));
    else
        r = std::fabs(std::atan(d2 / 0.001L));
    if (d1 < 0.0)
        r = d2 >= 0.0 ? kPi - r : kPi + r;
    else if (d2 < 0.0)
        r = 2.0L * kPi - r;
    return r;
}

// Height of a point built at Distance from point 1: the slope from point 1 to
// point 2 times the distance, kept within the two end heights.
long double heightAlong(long double Z1, long double Z2, long double length, long double distance)
{
    if (length == 0.0L)
        return Z1;
    const long double z = Z1 + (Z2 - Z1) / length * distance;
    return std::clamp(z, std::min(Z1, Z2), std::max(Z1, Z2));
}

// Whole part of an angle for the 32-bit fields, saturating far outside any real
// angle (and 0 for not-a-number) instead of overflowing.
std::int32_t wholeToInt32(long double v)
{
    if (!(v == v))
        return 0;
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), lo, hi));
}

} // namespace geom
} // namespace

double DirectionAngleDeg(double X1, double Y1, double X2, double Y2)
{
    const double d1 = X2 - X1;
    const double d2 = Y2 - Y1;
    long double a;
    if (d1 == 0.0)
        a = d2 >= 0.0 ? 90.0L : -90.0L;
    else
        a = geom::radToDeg(std::atan(static_cast<long double>(d2) / d1));
    if (d1 < 0.0)
        a += 180.0L;
    else if (d2 < 0.0)
        a += 360.0L;
    return static_cast<double>(a);
}

double DirectionAngleOffset(double X1, double Y1, double /*Z1*/, double X2, double Y2,
                            double /*Z2*/, double Angle)
{
    double d1 = X2 - X1;
    double d2 = Y2 - Y1;
    if (d1 == 0.0)
        d1 = 0.00001;
    if (d2 == 0.0)
        d2 = 0.00001;
    long double a = std::fabs(geom::radToDeg(std::atan(static_cast<long double>(d2) / d1)));
    if (d1 <= 0.0)
        a = d2 > 0.0 ? 180.0L - a : a + 180.0L;
    else if (d2 <= 0.0)
        a = 360.0L - a;
    return static_cast<double>(a + Angle);
}

double SafeAtanAngle(double X1, double Y1, double X2, double Y2)
{
    long double d1 = X2 - X1;
    long double d2 = Y2 - Y1;
    if (geom::roundTo5(d1) == 0.0L)
        d1 -= 0.00001L;
    else if (geom::roundTo5(d2) == 0.0L)
        d2 -= 0.00001L;
    return static_cast<double>(std::atan(d2 / d1));
}

double AngleBetweenDirections(double X1, double Y1, double X2, double Y2,
                              double X3, double Y3, double X4, double Y4)
{
    const long double b = std::fabs(geom::radToDeg(geom::segmentDirection(X1, Y1, X2, Y2)));
    const long double c = std::fabs(geom::radToDeg(geom::segmentDirection(X3, Y3, X4, Y4)));
    const long double d = c - 180.0L > 0.0L ? c - 180.0L : c + 180.0L;
    const long double turn = b <= d ? d - b : d + 360.0L - b;
    return static_cast<double>(turn - 180.0L);
}

TRealPoint PolarPoint(std::int32_t X0, std::int32_t Y0, double A, double B, double Distance)
{
    long double g = static_cast<long double>(A) + B;
    if (g > 360.0L)
        g -= 360.0L;
    else if (g < 0.0L)
        g += 360.0L;
    const long double r = geom::degToRad(g);
    return {static_cast<double>(X0 + Distance * std::cos(r)),
            static_cast<double>(Y0 + Distance * std::sin(r))};
}

void RotatePointAbout(TPointXYZ &Rec, double PX, double PY, double PZ,
                      double QX, double QY, double QZ,
                      double SX, double SY, double SZ, double Angle)
{
    // The substitute pivot carries the point with it, keeping its offset.
    if (SX != 0.0) {
        QX += SX - PX;
        PX = SX;
    }
    if (SY != 0.0) {
        QY += SY - PY;
        PY = SY;
    }
    if (SZ != 0.0) {
        QZ += SZ - PZ;
        PZ = SZ;
    }
    if (QX == PX && QY == PY) {
        Rec.X = QX;
        Rec.Y = QY;
        Rec.Z = QZ;
        return;
    }
    const long double dx = QX - PX;
    const long double dy = QY - PY;
    long double a;
    if (dx != 0.0L && dy != 0.0L)
        a = std::fabs(geom::radToDeg(std::atan(dy / dx)));
    else if (dx != 0.0L)
        a = 0.0L;
    else
        a = 90.0L;
    if (dx > 0.0L && dy <= 0.0L)
        a = 360.0L - a;
    else if (dx <= 0.0L && dy > 0.0L)
        a = 180.0L - a;
    else if (dx <= 0.0L && dy <= 0.0L)
        a += 180.0L;
    const long double r = geom::degToRad(a + Angle);
    const long double dist = std::sqrt(dx * dx + dy * dy);
    Rec.X = static_cast<double>(PX + dist * std::cos(r));
    Rec.Y = static_cast<double>(PY + dist * std::sin(r));
}

void PointAlongDirection(TControlPointRecord &Rec, double X1, double Y1, double Z1,
                         double X2, double Y2, double Z2, double Angle, double Distance)
{
    const long double d1 = X2 - X1;
    const long double d2 = Y2 - Y1;
    const long double length = std::sqrt(d1 * d1 + d2 * d2);
    const long double s = Distance == 0.0 ? length : static_cast<long double>(Distance);
    long double a;
    if (d1 != 0.0L && d2 != 0.0L)
        a = std::fabs(geom::radToDeg(std::atan(d2 / d1)));
    else if (d1 == 0.0L && d2 != 0.0L)
        a = 90.0L; // straight along the second axis; 0 here would turn it onto the first
    else
        a = 0.0L;
    if (d1 <= 0.0L)
        a = d2 > 0.0L ? 180.0L - a : a + 180.0L;
    else if (d2 <= 0.0L)
        a = 360.0L - a;
    const long double r = geom::degToRad(a + Angle);
    Rec.Kind = 1;
    Rec.Number = QStringLiteral("1");
    Rec.X = static_cast<double>(X1 + s * std::cos(r));
    Rec.Y = static_cast<double>(Y1 + s * std::sin(r));
    Rec.Z = static_cast<double>(geom::heightAlong(Z1, Z2, length, s));
    Rec.Tag1 = 0;
    Rec.Tag2 = 0;
}

TDegMinSec DegToDMS(double Value)
{
    const int sign = Value >= 0.0 ? 1 : -1;
    const long double v = Value;
    const long double whole = std::trunc(v);
    const long double m = (v - whole) * 60.0L;
    const long double wholeMinutes = std::trunc(m);
    TDegMinSec r;
    r.Degrees = geom::wholeToInt32(std::fabs(whole));
    r.Minutes = geom::wholeToInt32(std::fabs(wholeMinutes));
    long double seconds = std::fabs((m - wholeMinutes) * 60.0L);
    // Seconds that show as 60.00 carry into the minutes (which may then reach 60).
    if (platform::roundHalfEven(seconds * 100.0L) == 6000) {
        ++r.Minutes;
        seconds = 0.0L;
    }
    r.Seconds = static_cast<double>(seconds);
    if (r.Degrees != 0)
        r.Degrees *= sign;
    else if (r.Minutes != 0)
        r.Minutes *= sign;
    else
        r.Seconds *= sign;
    return r;
}

std::array<std::uint8_t, 3> InvertColorBytes(const std::array<std::uint8_t, 3> &Bytes, int Shift)
{
    std::array<std::uint8_t, 3> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int v = Bytes[i] + Shift;
        out[i] = v > 254 ? 0 : static_cast<std::uint8_t>(std::min(255, 255 - v));
    }
    return out;
}

std::vector<std::uint8_t> AllocZeroed(std::size_t Size)
{
    return std::vector<std::uint8_t>(Size, 0);
}

} // namespace VykFunctions
