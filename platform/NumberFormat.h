#pragma once
// Number text as the platform's conversion routines write and read it: the
// general float format, the number formats ("0.00", "#,##0.0 га") and the
// strict string-to-float conversion, all under the current decimal separator
// (platform/Environment.h). Every writer of general float text (files,
// tables, captions) uses floatToStr.

#include <QString>
#include <QStringView>

#include <stdexcept>
#include <string>

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

// A number written by a format of the platform's number formats
// (platform/NumberPatterns.cpp): "0" places a digit always, "#" a digit when
// there is one (the digits beyond the integer placeholders go at the first
// one), the first "." the decimal separator, a "," anywhere groups the
// thousands with the thousands separator (platform/FormatSettings.h), "E+",
// "E-", "e+" and "e-" followed by "0"s write the exponent form; text in
// quotes and other characters are copied where they stand; up to three
// sections (positive; negative; zero), an empty one standing for the first.
// The value is rounded half away from zero at the last place shown; one that
// rounds to nothing has no minus. An empty format, NaN and the infinities
// give the general float text.
QString formatNumber(const QString &format, double value);

// Reads an optional sign, digits with at most one current decimal separator and
// an optional exponent ("E" or "e", optional sign, digits); spaces and control
// characters around the text are ignored. At least one digit is needed.
// Raises ConvertError for anything else and for a value beyond the double
// range; a value too small for a double reads as 0.
double strToFloat(QStringView text);

// The digits of a value as the platform's number writers round them: value =
// 0.<digits> * 10^exponent, at most `precision` significant digits (1 to 18)
// and, unless `decimals` is kNoDecimalLimit, no digit beyond that many
// decimals; rounded half away from zero on the value's 18 significant digits.
// No digits (and exponent 0) for zero, for a value that rounds to nothing
// and for NaN and the infinities.
struct FloatDigits {
    bool negative = false;
    int exponent = 0;
    std::string digits;
};
inline constexpr int kNoDecimalLimit = 9999;
FloatDigits floatToDecimal(double value, int precision, int decimals);

// The platform's float text forms:
// - General: the shortest of fixed and exponent form with `precision`
//   significant digits; the exponent form ("1,5E-7") below 0.00001 in
//   magnitude or with more integer digits than `precision`, its exponent with
//   at least `digits` digits (0 to 4) and a sign only when negative;
// - Exponent: "-d,dddE+ddd", `precision` significant digits, the exponent
//   signed and at least `digits` digits long;
// - Fixed: `digits` decimals (0 to 18); beyond `precision` integer digits the
//   general form;
// - Number: as Fixed with the thousands separator;
// - Currency: as Number with the currency sign and the positive and negative
//   currency forms of the format settings.
enum class FloatForm { General, Exponent, Fixed, Number, Currency };
QString floatToStrF(double value, FloatForm form, int precision, int digits);

} // namespace platform
