#pragma once
// Shared helper routines of the unit MapFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>

namespace MapFunctions {

// ==== Text and number routines ====
} // namespace MapFunctions

#include <QVariant>

#include <cstdint>
#include <vector>

namespace MapFunctions {

// Stand-ins until the shared records declare them (those then define the
// macros and these give way).
#ifndef TOLVANE_HAVE_TTXTVALUES
// A key and a value split from a text of the form key=value.
struct TTxtValues {
    QString Key;
    QString Value;
};
#endif
#ifndef TOLVANE_HAVE_TTEXTARRAY
using TTextArray = std::vector<QString>;
#endif

// The kinds of attribute fields TextToFieldValue understands, as the database
// engine's field descriptions name them; Other stands for any further type.
enum class FieldKind { String, Memo, WideString, SmallInt, Integer, Word, LargeInt, Boolean, Float, Currency, Other };

// Number text from users and files, read tolerantly: everything but digits, the
// first "," or "." (either is the decimal separator) and a leading minus is
// dropped; an empty text gives the default. Raises platform::ConvertError
// (platform/NumberFormat.h) when what is left is not a number ("," "." "-,")
// or lies beyond the double range.
double TextToFloat(const QString &text, double defaultValue);

// Rounds the number read by TextToFloat, halves to the even neighbour ("2.5"
// reads 2, "12.7" reads 13); the low 32 bits of the value. Raises as
// TextToFloat does.
std::int32_t TextToInt(const QString &text);

// Digits and a leading minus of the text; "0" when none is left.
QString TextToDigits(const QString &text);

// The general float text with a point as separator, for files and parameter
// strings that need one.
QString FloatToTextDot(double value);

// Rounds the fraction of a value to d decimals, halves to the even neighbour:
// d is the given decimals in mode 0 (and any mode other than 1 and 2), 3 in
// mode 1 and 2 in mode 2. As text the result is padded with zeros to d
// decimals ("3,14", "7,00" under a comma separator); otherwise a double.
QVariant RoundValue(double value, int mode, int decimals, bool asText);

// The value a text gives a field of the kind: the text for text fields, a
// 32-bit integer of its digits, a Boolean ("true" or "1"), a double; null for
// a blank numeric text and for other kinds. Float fields raise as TextToFloat.
QVariant TextToFieldValue(const QString &text, FieldKind kind);

// "True" or "False".
QString BoolToText(bool value);

// Key and value around the first separator, both trimmed; without the
// separator the key is the whole text and the value empty.
TTxtValues SplitPair(const QString &text, const QString &separator);

// The trimmed parts between separators; a trailing separator gives an empty
// last part, an empty text no part.
TTextArray SplitToArray(const QString &text, const QString &separator);

// Makes a text fit inside a double-quoted query condition: runs of double
// quotes become one, then each double quote and backquote becomes two double
// quotes. A text without a double quote is returned unchanged.
QString EscapeQuotes(const QString &text);

// Fills a fixed text field of n + 1 bytes (n is the field's size minus one)
// with the Windows-1251 bytes of the text, at most n of them, and zero bytes
// after, so the field always ends in a zero.
void StrToFixedChars(const QString &text, char *dest, int n);

// The style code of text records from a TextStyle bit set (1 bold, 2 italic,
// 4 underline, 8 strike-out): 1 bold + 10 italic + 100 underline.
int FontStyleCode(std::uint8_t styles);

// The first name base.ext.001, base.ext.002 ... (unpadded from 1000 on) that
// names no existing file.
QString FreeNumberedName(const QString &base, const QString &ext);

// The bare file name when the file lies directly inside the folder (compared
// without regard to case); the file name unchanged otherwise.
QString RelativeFileName(const QString &fileName, const QString &folder);

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace MapFunctions
