#pragma once
// Shared helper routines of the unit VykFunctions. Several routines have a twin of the
// same name in the other helper unit; the twins differ on purpose, and each
// caller uses the twin of its own unit.

#include "mapdata/MapTypes.h"

#include <QString>

namespace VykFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====
} // namespace VykFunctions

#include "platform/Registry.h"

namespace VykFunctions {

// Translates the texts of the application's window of that component name from
// the language file chosen by "Language" and "PathWorkFiles" of the local
// machine's key "\SOFTWARE\Quillery 6" (read with ReadRegString). Bit buttons
// are translated too; MapFunctions.TranslateForm leaves them alone.
void TranslateForm(const QString &formName);

// The string value under the root; the default when the key or the value does
// not exist (an existing empty value gives ""). A value of another type raises
// platform::RegistryError.
QString ReadRegString(platform::RegRoot root, const QString &key, const QString &name,
                      const QString &def = QString());
// Writes a string value, creating the key when missing; false when it could not
// be written.
bool WriteRegString(platform::RegRoot root, const QString &key, const QString &name, const QString &text);

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace VykFunctions
