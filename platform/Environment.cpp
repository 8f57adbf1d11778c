#include "platform/Environment.h"

#include <QLocale>
#include <QRandomGenerator>

#include <cmath>

namespace platform {

namespace {

const QDate kEpoch(1899, 12, 30);

ClockFn &clockFn()
{
    static ClockFn fn = [] { return QDateTime::currentDateTime(); };
    return fn;
}

RandomFn &randomFn()
{
    static RandomFn fn = [](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); };
    return fn;
}

QChar &separator()
{
    static QChar sep = QLocale::system().decimalPoint().isEmpty()
                           ? QChar(u'.')
                           : QLocale::system().decimalPoint().front();
    return sep;
}

} // namespace

QDateTime currentDateTime() { return clockFn()(); }

double dateTimeToDays(const QDateTime &dt)
{
    const double days = static_cast<double>(kEpoch.daysTo(dt.date()));
    const double frac = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days + frac;
}

QDateTime daysToDateTime(double days)
{
    const double whole = std::floor(days);
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    const int msecs = static_cast<int>(std::lround((days - whole) * 86400000.0));
    return QDateTime(date, QTime(0, 0)).addMSecs(msecs);
}

double now() { return dateTimeToDays(currentDateTime()); }

double today() { return std::floor(now()); }

int randomInt(int n) { return n <= 0 ? 0 : randomFn()(n); }

QChar decimalSeparator() { return separator(); }

ScopedClock::ScopedClock(ClockFn clock) : previous_(clockFn()) { clockFn() = std::move(clock); }
ScopedClock::ScopedClock(const QDateTime &fixed) : ScopedClock(ClockFn([fixed] { return fixed; })) {}
ScopedClock::~ScopedClock() { clockFn() = std::move(previous_); }

ScopedRandom::ScopedRandom(RandomFn random) : previous_(randomFn()) { randomFn() = std::move(random); }
ScopedRandom::~ScopedRandom() { randomFn() = std::move(previous_); }

ScopedDecimalSeparator::ScopedDecimalSeparator(QChar sep) : previous_(separator()) { separator() = sep; }
ScopedDecimalSeparator::~ScopedDecimalSeparator() { separator() = previous_; }

} // namespace platform
