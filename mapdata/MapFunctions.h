#pragma once
// Shared helper routines of the unit MapFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>

namespace MapFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====

// Translates the texts of the application's window of that component name from
// the language file chosen by "Language" and "PathWorkFiles" of the local
// machine's key "\SOFTWARE\Quillery 6" (read with ReadMachineRegString). Bit
// buttons keep their captions; VykFunctions.TranslateForm translates them.
void TranslateForm(const QString &formName);

// The string value of a key under the local machine; the default when the
// value is missing or blank (spaces only), otherwise the text as stored. A value
// of another type raises platform::RegistryError.
QString ReadMachineRegString(const QString &key, const QString &name, const QString &def);
// Writes a string value under the local machine, creating the key when missing;
// false when it could not be written.
bool WriteMachineRegString(const QString &key, const QString &name, const QString &text);

// The size of the file in bytes; 0 when it does not exist or cannot be read.
qint64 FileSizeByName(const QString &fileName);

// Hexadecimal text to a number: upper-cased, one trailing "H" dropped; any
// character that is no hexadecimal digit makes the result 0 ("1FH" is 31,
// "1G" is 0).
qint64 HexToInt(const QString &text);
// Six hexadecimal digits RRGGBB to a colour value (red in the low byte).
int HexToColor(const QString &text);
// Colour n of the fixed palette p (1 to 9), n wrapping by the palette's size;
// 0 (black) for another palette number or n of 0 or less. Palette 0 picks a
// random palette 0..8 and colour 0..24.
int PaletteColor(int palette, int colour);

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace MapFunctions
