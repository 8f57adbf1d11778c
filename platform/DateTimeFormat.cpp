#include "platform/DateTimeFormat.h"

#include "platform/Environment.h"
#include "platform/FormatSettings.h"
#include "platform/NumberFormat.h"
#include "platform/Rounding.h"

#include <QDate>

#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

constexpr qint64 kMsecsPerDay = 86400000;
const QDate kEpoch(1899, 12, 30);

// Dates beyond the years 1 to 9999 are refused.
constexpr double kMaxDays = 2958465.99999999; // 31.12.9999
constexpr double kMinDays = -693593;          // 01.01.0001

} // namespace

DateTimeParts decodeDateTime(double value)
{
    DateTimeParts p;
    if (!std::isfinite(value) || value > kMaxDays + 1 || value < kMinDays - 1)
        return p;
    const qint64 total = roundHalfEven(value * static_cast<double>(kMsecsPerDay));
    const qint64 days = total / kMsecsPerDay;
    const qint64 time = std::llabs(total % kMsecsPerDay);
    const QDate date = kEpoch.addDays(days);
    p.year = date.year();
    p.month = date.month();
    p.day = date.day();
    p.dayOfWeek = date.dayOfWeek() % 7 + 1;
    p.hour = static_cast<int>(time / 3600000);
    p.minute = static_cast<int>(time / 60000 % 60);
    p.second = static_cast<int>(time / 1000 % 60);
    p.msec = static_cast<int>(time % 1000);
    return p;
}

bool tryEncodeDate(int year, int month, int day, double &value)
{
    if (year < 1 || year > 9999)
        return false;
    const QDate d(year, month, day);
    if (!d.isValid())
        return false;
    value = static_cast<double>(kEpoch.daysTo(d));
    return true;
}

bool tryEncodeTime(int hour, int minute, int second, int msec, double &value)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    value = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / static_cast<double>(kMsecsPerDay);
    return true;
}

// ---------------------------------------------------------------------------
// Writing

namespace {

QString number(int value, int width)
{
    QString s = QString::number(value);
    if (s.size() < width)
        s.prepend(QString(width - s.size(), u'0'));
    return s;
}

bool startsWithNoCase(QStringView text, qsizetype at, QStringView word)
{
    return text.mid(at).startsWith(word, Qt::CaseInsensitive);
}

class DateTimeWriter {
public:
    explicit DateTimeWriter(double value) : p_(decodeDateTime(value)) {}

    void append(QStringView pattern, int level)
    {
        const FormatSettings &s = formatSettings();
        QChar lastToken = u' ';
        bool use12Hour = false;
        qsizetype i = 0;
        auto count = [&](QChar starter) {
            int n = 1;
            while (i < pattern.size() && pattern[i] == starter) {
                ++i;
                ++n;
            }
            return n;
        };
        while (i < pattern.size()) {
            const QChar starter = pattern[i++];
            QChar token = starter.toUpper();
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && lastToken == u'H')
                    token = u'N';
                lastToken = token;
            }
            switch (token.unicode()) {
            case u'Y':
                if (count(starter) <= 2)
                    out_ += number(p_.year % 100, 2);
                else
                    out_ += number(p_.year, 4);
                break;
            case u'M': {
                const int n = count(starter);
                if (n == 1)
                    out_ += QString::number(p_.month);
                else if (n == 2)
                    out_ += number(p_.month, 2);
                else if (n == 3)
                    out_ += s.shortMonthNames[static_cast<std::size_t>(p_.month - 1)];
                else
                    out_ += s.longMonthNames[static_cast<std::size_t>(p_.month - 1)];
                break;
            }
            case u'D': {
                const int n = count(starter);
                if (n == 1)
                    out_ += QString::number(p_.day);
                else if (n == 2)
                    out_ += number(p_.day, 2);
                else if (n == 3)
                    out_ += s.shortDayNames[static_cast<std::size_t>(p_.dayOfWeek - 1)];
                else if (n == 4)
                    out_ += s.longDayNames[static_cast<std::size_t>(p_.dayOfWeek - 1)];
                else if (level < 2)
                    append(n == 5 ? s.shortDateFormat : s.longDateFormat, level + 1);
                break;
            }
            case u'H': {
                const int n = count(starter);
                if (!use12Hour)
                    use12Hour = hasAmPm(pattern.mid(i));
                int hour = p_.hour;
                if (use12Hour)
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                out_ += n == 1 ? QString::number(hour) : number(hour, 2);
                break;
            }
            case u'N':
                out_ += count(starter) == 1 ? QString::number(p_.minute) : number(p_.minute, 2);
                break;
            case u'S':
                out_ += count(starter) == 1 ? QString::number(p_.second) : number(p_.second, 2);
                break;
            case u'Z':
                out_ += count(starter) == 1 ? QString::number(p_.msec) : number(p_.msec, 3);
                break;
            case u'T':
                if (level < 2)
                    append(count(starter) == 1 ? s.shortTimeFormat : s.longTimeFormat, level + 1);
                else
                    count(starter);
                break;
            case u'A': {
                const bool pm = p_.hour >= 12;
                const qsizetype at = i - 1;
                if (startsWithNoCase(pattern, at, u"am/pm")) {
                    out_ += pattern.mid(pm ? at + 3 : at, 2);
                    i = at + 5;
                } else if (startsWithNoCase(pattern, at, u"a/p")) {
                    out_ += pattern[pm ? at + 2 : at];
                    i = at + 3;
                } else if (startsWithNoCase(pattern, at, u"ampm")) {
                    out_ += pm ? s.timePMString : s.timeAMString;
                    i = at + 4;
                } else {
                    out_ += starter;
                }
                break;
            }
            case u'C':
                count(starter);
                if (level < 2) {
                    append(s.shortDateFormat, level + 1);
                    if (p_.hour != 0 || p_.minute != 0 || p_.second != 0 || p_.msec != 0) {
                        out_ += u' ';
                        append(s.longTimeFormat, level + 1);
                    }
                }
                break;
            case u'/':
                out_ += s.dateSeparator;
                break;
            case u':':
                out_ += s.timeSeparator;
                break;
            case u'\'':
            case u'"': {
                const qsizetype end = pattern.indexOf(starter, i);
                const qsizetype stop = end < 0 ? pattern.size() : end;
                out_ += pattern.mid(i, stop - i);
                i = end < 0 ? pattern.size() : end + 1;
                break;
            }
            default:
                out_ += starter;
            }
        }
    }

    QString text() const { return out_; }

private:
    // An am/pm mark later in the pattern (outside quotes) makes the hour 12-hour.
    static bool hasAmPm(QStringView rest)
    {
        QChar quote;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            const QChar c = rest[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'\'' || c == u'"') {
                quote = c;
            } else if ((c == u'a' || c == u'A') &&
                       (startsWithNoCase(rest, i, u"am/pm") || startsWithNoCase(rest, i, u"a/p") ||
                        startsWithNoCase(rest, i, u"ampm"))) {
                return true;
            }
        }
        return false;
    }

    DateTimeParts p_;
    QString out_;
};

} // namespace

QString formatDateTime(QStringView pattern, double value)
{
    DateTimeWriter writer(value);
    writer.append(pattern.isEmpty() ? QStringView(u"c") : pattern, 0);
    return writer.text();
}

QString dateToStr(double value)
{
    return formatDateTime(u"ddddd", value);
}

QString timeToStr(double value)
{
    return formatDateTime(u"tt", value);
}

QString dateTimeToStr(double value)
{
    return formatDateTime(u"c", value);
}

// ---------------------------------------------------------------------------
// Reading

namespace {

class Scanner {
public:
    explicit Scanner(QStringView text) : s_(text) {}

    void blanks()
    {
        while (pos_ < s_.size() && s_[pos_] == u' ')
            ++pos_;
    }
    // Up to four digits after blanks; their count in `length`.
    bool number(int &value, int &length)
    {
        blanks();
        const qsizetype start = pos_;
        value = 0;
        while (pos_ < s_.size() && s_[pos_] >= u'0' && s_[pos_] <= u'9' && pos_ - start < 4) {
            value = value * 10 + (s_[pos_].unicode() - u'0');
            ++pos_;
        }
        length = static_cast<int>(pos_ - start);
        return length > 0;
    }
    bool character(QChar c)
    {
        blanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool word(QStringView w)
    {
        if (w.isEmpty())
            return false;
        blanks();
        if (s_.mid(pos_).startsWith(w, Qt::CaseInsensitive)) {
            pos_ += w.size();
            return true;
        }
        return false;
    }
    bool atEnd() const { return pos_ >= s_.size(); }

private:
    QStringView s_;
    qsizetype pos_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrder(const QString &pattern)
{
    for (const QChar c : pattern) {
        const QChar u = c.toUpper();
        if (u == u'D')
            return DateOrder::DMY;
        if (u == u'M')
            return DateOrder::MDY;
        if (u == u'Y')
            return DateOrder::YMD;
    }
    return DateOrder::MDY;
}

bool scanDate(Scanner &sc, double &value)
{
    const FormatSettings &s = formatSettings();
    const QChar sep = s.dateSeparator;
    const DateOrder order = dateOrder(s.shortDateFormat);
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!(sc.number(n1, l1) && sc.character(sep) && sc.number(n2, l2)))
        return false;
    int y = 0, m = 0, d = 0;
    const int currentYear = currentDateTime().date().year();
    if (sc.character(sep)) {
        if (!sc.number(n3, l3))
            return false;
        int yearLength = l3;
        switch (order) {
        case DateOrder::MDY: y = n3; m = n1; d = n2; break;
        case DateOrder::DMY: y = n3; m = n2; d = n1; break;
        case DateOrder::YMD: y = n1; yearLength = l1; m = n2; d = n3; break;
        }
        if (yearLength <= 2) {
            const int window = s.twoDigitYearCenturyWindow;
            const int centuryBase = currentYear - window;
            y += centuryBase / 100 * 100;
            if (window > 0 && y < centuryBase)
                y += 100;
        }
    } else {
        y = currentYear;
        if (order == DateOrder::MDY) {
            m = n1;
            d = n2;
        } else {
            d = n1;
            m = n2;
        }
    }
    sc.character(sep);
    sc.blanks();
    return tryEncodeDate(y, m, d, value);
}

bool scanTime(Scanner &sc, double &value)
{
    const FormatSettings &s = formatSettings();
    int baseHour = -1;
    if (sc.word(s.timeAMString) || sc.word(u"AM"))
        baseHour = 0;
    else if (sc.word(s.timePMString) || sc.word(u"PM"))
        baseHour = 12;
    int hour = 0, minute = 0, second = 0, msec = 0, length = 0;
    if (!sc.number(hour, length))
        return false;
    if (sc.character(s.timeSeparator)) {
        if (!sc.number(minute, length))
            return false;
        if (sc.character(s.timeSeparator)) {
            if (!sc.number(second, length))
                return false;
            if (sc.character(decimalSeparator()) && !sc.number(msec, length))
                return false;
        }
    }
    if (baseHour < 0) {
        if (sc.word(s.timeAMString) || sc.word(u"AM"))
            baseHour = 0;
        else if (sc.word(s.timePMString) || sc.word(u"PM"))
            baseHour = 12;
    }
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12)
            return false;
        if (hour == 12)
            hour = 0;
        hour += baseHour;
    }
    sc.blanks();
    return tryEncodeTime(hour, minute, second, msec, value);
}

[[noreturn]] void refuse(const char *what, QStringView text)
{
    throw ConvertError(QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what)));
}

} // namespace

double strToDate(QStringView text)
{
    Scanner sc(text);
    double value = 0;
    if (!scanDate(sc, value) || !sc.atEnd())
        refuse("date", text);
    return value;
}

double strToTime(QStringView text)
{
    Scanner sc(text);
    double value = 0;
    if (!scanTime(sc, value) || !sc.atEnd())
        refuse("time", text);
    return value;
}

double strToDateTime(QStringView text)
{
    Scanner sc(text);
    double date = 0, time = 0;
    if (!scanDate(sc, date))
        refuse("date and time", text);
    if (!sc.atEnd() && !scanTime(sc, time))
        refuse("date and time", text);
    if (!sc.atEnd())
        refuse("date and time", text);
    return date < 0 ? date - time : date + time;
}

} // namespace platform
