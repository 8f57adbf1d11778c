#pragma once
// The regional format settings that number, date and time text follows
// besides the decimal separator (platform/Environment.h): the thousands
// separator, the date and time separators and patterns, the month and day
// names and the currency form. A service (platform/Service.h): the program
// installs the settings of its interface language at start, tests pin their
// own with a ScopedService, and a change takes effect at the next call.

#include "platform/Service.h"

#include <QChar>
#include <QString>

#include <array>

namespace platform {

struct FormatSettings {
    // Null: follows the decimal separator (a no-break space beside a decimal
    // comma, a comma beside a decimal point).
    QChar thousandSeparator;
    QChar dateSeparator = u'.';
    QChar timeSeparator = u':';
    // Date and time patterns in the letters of formatDateTime
    // (platform/DateTimeFormat.h); the short date pattern also gives the
    // order in which typed dates are read.
    QString shortDateFormat = QStringLiteral("dd.mm.yyyy");
    QString longDateFormat = QStringLiteral("d mmmm yyyy 'г.'");
    QString shortTimeFormat = QStringLiteral("h:mm");
    QString longTimeFormat = QStringLiteral("h:mm:ss");
    QString timeAMString;
    QString timePMString;
    // January first; Sunday first.
    std::array<QString, 12> shortMonthNames;
    std::array<QString, 12> longMonthNames;
    std::array<QString, 7> shortDayNames;
    std::array<QString, 7> longDayNames;
    // The currency sign and where it goes: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $";
    // negative amounts by the sixteen forms of the regional settings
    // (0 "($1)" ... 8 "-1 $" ... 15 "(1 $)").
    QString currencyString = QStringLiteral("р.");
    int currencyFormat = 3;
    int negCurrFormat = 8;
    int currencyDecimals = 2;
    // A two-digit year is put within the 100 years that end this many years
    // after the current one (0: in the current century).
    int twoDigitYearCenturyWindow = 50;

    // The settings of the Russian interface (the default).
    FormatSettings();
    static FormatSettings russian() { return FormatSettings(); }
    static FormatSettings ukrainian();
};

// The settings in use.
inline const FormatSettings &formatSettings()
{
    return Service<FormatSettings>::get();
}

// The thousands separator in use (resolving the null default).
QChar thousandSeparator();

} // namespace platform
