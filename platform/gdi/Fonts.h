#pragma once
// Font faces the system names, on the fonts a Debian machine has: the text
// faces on their metric-compatible counterparts, and the symbol font's
// character codes on the Unicode symbols they show.

#include <QFont>
#include <QString>
#include <QStringList>

namespace platform::gdi {

// The families to ask for a face name ("Arial Cyr" -> Liberation Sans, ...);
// unknown faces are asked for as they are, with Liberation Sans behind them.
QStringList familiesForFace(const QString &face);

// Whether a face is the symbol font whose codes need mapping ("Wingdings").
bool isSymbolFace(const QString &face);

// The Unicode symbol a character code of the symbol font shows ("l" a filled
// circle, "n" a filled square, "u" a diamond ...); codes without a symbol in
// the table come back as they are. Codes arrive as Latin-1 characters, as
// private-use characters (U+F020..U+F0FF) or, above 0x7F, as the Windows-1251
// characters the system's files decode them to.
QChar symbolFontChar(QChar code);
QString symbolFontText(const QString &text);

} // namespace platform::gdi
