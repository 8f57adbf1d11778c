#pragma once
// What the system takes from its surroundings and tests must pin: the clock,
// random numbers and the regional decimal separator.

#include "platform/Service.h"

#include <QChar>
#include <QDateTime>

#include <functional>
#include <type_traits>

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

// The settings behind these, each a service (platform/Service.h) that tests
// pin with a ScopedService: ScopedService<Clock> pin(dateTime).

// The clock: the system's, or a fixed moment, or any function.
class Clock {
public:
    Clock();
    Clock(const QDateTime &fixed);
    explicit Clock(std::function<QDateTime()> now) : now_(std::move(now)) {}
    QDateTime now() const { return now_(); }

private:
    std::function<QDateTime()> now_;
};

// Random numbers: Qt's global generator, or any function of n.
class RandomNumbers {
public:
    RandomNumbers();
    template <class F>
        requires(std::is_invocable_r_v<int, F &, int> && !std::is_same_v<std::decay_t<F>, RandomNumbers>)
    RandomNumbers(F draw) : draw_(std::move(draw))
    {
    }
    int draw(int n) const { return draw_(n); }

private:
    std::function<int(int)> draw_;
};

// The decimal separator: the system locale's, or the one given.
struct DecimalSeparator {
    DecimalSeparator();
    DecimalSeparator(QChar separator) : value(separator) {}
    DecimalSeparator(char16_t separator) : value(separator) {}
    QChar value;
};

// Date-time values as days since 30 December 1899.
double dateTimeToDays(const QDateTime &dt);
QDateTime daysToDateTime(double days);

} // namespace platform
