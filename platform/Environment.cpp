#include "platform/Environment.h"

#include <QLocale>
#include <QRandomGenerator>

#include <cmath>

namespace platform {

namespace {

const QDate kEpoch(1899, 12, 30);

} // namespace

Clock::Clock() : now_([] { return QDateTime::currentDateTime(); }) {}
Clock::Clock(const QDateTime &fixed) : now_([fixed] { return fixed; }) {}

RandomNumbers::RandomNumbers()
    : draw_([](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); })
{
}

DecimalSeparator::DecimalSeparator()
    : value(QLocale::system().decimalPoint().isEmpty() ? QChar(u'.') : QLocale::system().decimalPoint().front())
{
}

QDateTime currentDateTime() { return Service<Clock>::get().now(); }

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

int randomInt(int n) { return n <= 0 ? 0 : Service<RandomNumbers>::get().draw(n); }

QChar decimalSeparator() { return Service<DecimalSeparator>::get().value; }

} // namespace platform
