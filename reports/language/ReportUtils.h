#pragma once
// Small routines of the report library that its dialogs, exports, objects
// and the designer share. The texts by number are reports/language/ResourceTexts.h;
// the routines over windows are reports/ui/ReportControls.h.

#include "platform/gdi/GdiTypes.h"

#include <QString>
#include <QStringList>

namespace reports {

// A number typed with either decimal separator: "," and "." both read as the
// decimal separator, blanks around are cut. Raises platform::ConvertError
// for a text that is no number.
double StrToFloatAnySeparator(const QString &text);

// The text from `pos` (0-based) up to the next ";" or the end; `pos` moves
// past that ";".
QString ExtractItem(const QString &text, qsizetype &pos);
// Every ";"-separated item of the text; a ";" at the end adds no empty item.
void SplitBySemicolon(const QString &text, QStringList &items);

// A text longer than two characters between double quotes loses them; any
// other text is returned as it is.
QString Unquote(const QString &text);

// The platform generation as the library names it: always "NT" here.
QString GetWindowsVersion();

// A font like the given one with its text running upward (escapement and
// orientation 90 degrees).
platform::gdi::LogFont CreateRotatedFont(const platform::gdi::LogFont &font);

} // namespace reports
