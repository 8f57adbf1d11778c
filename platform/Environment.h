#pragma once
// What the system takes from its surroundings and tests must pin: the clock,
// random numbers and the regional decimal separator. Each has a process-wide
// default and a scoped override.

#include <QChar>
#include <QDateTime>

#include <functional>

namespace platform {

// Current local date and time.
QDateTime currentDateTime();
// Today as a date-time value: days since 30 December 1899 (the fraction is the time).
double now();
double today();

// A uniformly drawn integer in 0..n-1 (0 when n <= 0).
int randomInt(int n);

// The decimal separator of the regional settings.
QChar decimalSeparator();

using ClockFn = std::function<QDateTime()>;
using RandomFn = std::function<int(int)>;

// Scoped overrides, for tests; each restores the previous value when destroyed.
class ScopedClock {
public:
    explicit ScopedClock(ClockFn clock);
    explicit ScopedClock(const QDateTime &fixed);
    ~ScopedClock();
    ScopedClock(const ScopedClock &) = delete;
    ScopedClock &operator=(const ScopedClock &) = delete;
private:
    ClockFn previous_;
};

class ScopedRandom {
public:
    explicit ScopedRandom(RandomFn random);
    ~ScopedRandom();
    ScopedRandom(const ScopedRandom &) = delete;
    ScopedRandom &operator=(const ScopedRandom &) = delete;
private:
    RandomFn previous_;
};

class ScopedDecimalSeparator {
public:
    explicit ScopedDecimalSeparator(QChar separator);
    ~ScopedDecimalSeparator();
    ScopedDecimalSeparator(const ScopedDecimalSeparator &) = delete;
    ScopedDecimalSeparator &operator=(const ScopedDecimalSeparator &) = delete;
private:
    QChar previous_;
};

// Date-time values as days since 30 December 1899.
double dateTimeToDays(const QDateTime &dt);
QDateTime daysToDateTime(double days);

} // namespace platform
