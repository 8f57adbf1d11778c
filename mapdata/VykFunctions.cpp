#include "mapdata/VykFunctions.h"

namespace VykFunctions {

// ==== Text and number routines ====
} // namespace VykFunctions

#include "mapdata/NumberText.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"

namespace VykFunctions {

double TextToFloat(const QString &text, double defaultValue)
{
    return numbertext::textToFloat(text, defaultValue);
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

// ==== end of text and number routines ====


// ==== Number and date words ====
} // namespace VykFunctions

#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <QDate>

#include <cmath>

namespace VykFunctions {

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
    qsizetype begin = pos + 1;
    qsizetype end = s.size();
    while (begin < end && s[begin] <= u' ')
        ++begin;
    while (end > begin && s[end - 1] <= u' ')
        --end;
    return s.mid(begin, end - begin);
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

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace VykFunctions
