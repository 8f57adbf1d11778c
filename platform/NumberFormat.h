#pragma once
// Number text as the platform's conversion routines write and read it: the
// general float format, the number formats ("0.00", "#,##0.0 га") and the
// strict string-to-float conversion, all under the current decimal separator
// (platform/Environment.h). Every writer of general float text (files,
// tables, captions) uses floatToStr.

#include <QString>
#include <QStringView>

#include <stdexcept>

namespace platform {

// Raised when a text is not a number, with the platform's message
// "'<text>' is not a valid floating point value". what() is UTF-8.
class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// The general float text: at most 15 significant digits, the current decimal
// separator, no trailing zeros and no separator for a whole value. The exponent
// form (mantissa, "E", exponent with a minus only when negative: "1E20",
// "1,5E-6") is used below 0.00001 in magnitude or beyond 15 integer digits.
// NaN and infinities give "NAN", "INF" and "-INF".
QString floatToStr(double value);

// A number written by a format of the platform's number formats: "0"
// places a digit always, "#" a digit when there is one, the first "." the
// decimal separator and "," anywhere before it groups the thousands; text in
// quotes and other characters are copied; up to three sections (positive;
// negative; zero). An empty format, NaN and the infinities give the general
// float text.
QString formatNumber(const QString &format, double value);

// Reads an optional sign, digits with at most one current decimal separator and
// an optional exponent ("E" or "e", optional sign, digits); spaces and control
// characters around the text are ignored. At least one digit is needed.
// Raises ConvertError for anything else and for a value beyond the double
// range; a value too small for a double reads as 0.
double strToFloat(QStringView text);

} // namespace platform
