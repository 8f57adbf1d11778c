#pragma once
// The tolerant number-text cleaning shared by the twin helper units
// VykFunctions and MapFunctions (their converters that behave alike).

#include <QString>
#include <QStringView>

#include <cstdint>

namespace numbertext {

// Removes leading and trailing spaces and control characters.
QString trimBlank(QStringView text);

// Keeps the digits and a "-" that stands first at that moment (characters
// dropped before it count as gone: "x-5" keeps its minus, "5-3" loses it).
// With keepSeparator the first "," or "." also stays, as ","; later ones go.
QString keepNumberChars(QStringView text, bool keepSeparator);

// The tolerant text-to-float of both units: cleans the text as above, turns
// the "," into the current separator when that is ".", reads "-" as "-0" and
// an empty text as the default. Raises platform::ConvertError when what is
// left is not a number ("," "." "-,"), lies beyond the double range, or holds
// a "," that the current separator does not accept.
double textToFloat(QStringView text, double defaultValue);

// Digits and a leading minus; "0" when nothing is left.
QString textToDigits(QStringView text);

// The low 32 bits of a rounded value, as the integer converters return it.
std::int32_t low32(std::int64_t value);

} // namespace numbertext
