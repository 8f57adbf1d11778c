#pragma once
// Shared helper routines of the unit VykFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>

namespace VykFunctions {

// ==== Text and number routines ====
} // namespace VykFunctions

#include <cstdint>

namespace VykFunctions {

// Number text from users and files, read tolerantly: everything but digits, the
// first "," or "." (either is the decimal separator) and a leading minus is
// dropped; an empty text gives the default. Raises platform::ConvertError
// (platform/NumberFormat.h) when what is left is not a number ("," "." "-,")
// or lies beyond the double range.
double TextToFloat(const QString &text, double defaultValue);

// Drops decimal separators as well ("12.7" reads 127, "1 500" reads 1500); the
// low 32 bits of the value. Raises only beyond the double range (some 309
// digits).
std::int32_t TextToInt(const QString &text);

// Digits and a leading minus of the text; "0" when none is left.
QString TextToDigits(const QString &text);

// The general float text with a point as separator, for files and parameter
// strings that need one.
QString FloatToTextDot(double value);

// ==== end of text and number routines ====


// ==== Number and date words ====
// Ukrainian words for dates, money amounts and names in cadastral documents.
// Every word ends with one space; the apostrophe is the backquote.

// "5 березня 2004 року"; the zero date (30 December 1899) gives "".
QString DateToWordsUkr(double date);

// The amount in words with "гривня" forms, and with withKopecks = 1 the kopecks
// as two digits and their word; first letter upper case, trailing space kept.
// The amount is rounded to whole kopecks first (1.996 is two hryvnias).
QString AmountToWordsUkr(int withKopecks, double amount);

// "Surname Name Patronymic" to "N. P. Surname", or "Surname N. P." with
// surnameFirst.
QString ShortenPersonName(const QString &name, bool surnameFirst);

// 1 to 19; mode 5 gives the masculine "один ", "два ", other modes the feminine.
QString UnitsWord(int number, int mode);
// 2 to 9 tens.
QString TensWord(int number);
// 1 to 9 hundreds.
QString HundredsWord(int number);
// The noun form for a count: 1, 2 to 4, any other.
QString MillionWord(int count);
QString ThousandWord(int count);
QString HryvniaWord(int count);
QString KopiykaWord(int count);
// The kopeck count as at least two digits and a space ("07 ").
QString KopiykaDigits(int count);

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace VykFunctions
