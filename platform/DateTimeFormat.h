#pragma once
// Dates and times as the platform writes and reads them under the format
// settings (platform/FormatSettings.h). A date-time value is a day count from
// 30 December 1899 whose fraction is the time of day (platform/Environment.h).

#include <QString>
#include <QStringView>

namespace platform {

// The parts of a date-time value. The value is taken to the millisecond;
// before 30 December 1899 the time is that of the fraction's magnitude.
struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int dayOfWeek = 7; // 1 Sunday ... 7 Saturday
};
DateTimeParts decodeDateTime(double value);
// False for a date or time that does not exist (the value is then left).
bool tryEncodeDate(int year, int month, int day, double &value);
bool tryEncodeTime(int hour, int minute, int second, int msec, double &value);

// A date-time value written by a pattern: "d", "dd" day, "ddd"/"dddd" short
// and long day name, "ddddd"/"dddddd" the short and long date patterns,
// "m", "mm" month (minutes right after an hour), "mmm"/"mmmm" month names,
// "yy"/"yyyy" year, "h", "hh" hour, "n", "nn" minute, "s", "ss" second,
// "z", "zzz" milliseconds, "t"/"tt" the short and long time patterns, "c" the
// short date and, unless midnight, the long time, "am/pm", "a/p" (12-hour
// clock, written in the pattern's own letters), "ampm" (the settings' texts),
// "/" and ":" the settings' separators, text in quotes as it stands. The
// letters are read in either case. An empty pattern is "c".
QString formatDateTime(QStringView pattern, double value);
QString dateToStr(double value);     // the short date pattern
QString timeToStr(double value);     // the long time pattern
QString dateTimeToStr(double value); // "c"

// Reads a date typed in the order of the short date pattern (day, month and
// year, or month and day, or year, month and day) with the date separator;
// a year left out is the current one, and a year of one or two digits is
// put into the century by the settings' window. Raises ConvertError
// "'<text>' is not a valid date".
double strToDate(QStringView text);
// Reads "h[:n[:s[<decimal separator>zzz]]]" with an optional "AM"/"PM" (or
// the settings' texts) before or after. Raises "'<text>' is not a valid time".
double strToTime(QStringView text);
// A date, then optionally a time. Raises "'<text>' is not a valid date and time".
double strToDateTime(QStringView text);

} // namespace platform
