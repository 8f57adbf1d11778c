#pragma once
// A class's published table as text, one property a line (name, kind, type,
// declared default, stored test), for tools/tolvane-classinfo and its tests.

#include "platform/classlib/Reflection.h"

#include <QString>

namespace platform::classlib {

// The kind's name ("Integer", "Enum", "Class" ...).
QString kindName(Kind kind);
// A declared default as text: "-" for none, an enumeration's element name,
// a set's element names in brackets, else the number.
QString defaultText(const PropInfo &property);
// The stored test: "yes" (always), "no" (never) or "when" (a test of the
// object's state).
QString storedText(const PropInfo &property);
// "TFont: TGraphicsObject, TPersistent, TObject", then the properties in
// declaration order, ancestors first, or alphabetically.
QString describeClass(const ClassInfo &info, bool alphabetical);

} // namespace platform::classlib
