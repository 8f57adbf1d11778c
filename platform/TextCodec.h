#pragma once
// Windows-1251 text at the file boundary. Every file, table, clipboard block and
// language file of the system is in this code page; in memory text is QString.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

// Decodes Windows-1251 bytes. Every byte maps to a character (the one unassigned
// code, 0x98, maps to U+0098 so that any byte string survives a round trip).
QString fromCp1251(QByteArrayView bytes);

// Encodes to Windows-1251; characters outside the code page become '?'.
QByteArray toCp1251(QStringView text);

// The Windows-1251 byte of one character, or -1 when the code page lacks it.
int cp1251Byte(QChar c);

// Case mapping as the Windows routines do it on Cyrillic text: a character
// changes only when its counterpart exists in the code page.
QChar ansiUpperChar(QChar c);
QChar ansiLowerChar(QChar c);
QString ansiUpperCase(QStringView text);
QString ansiLowerCase(QStringView text);
// Compares ignoring case in that sense; <0, 0 or >0.
int ansiCompareText(QStringView a, QStringView b);
inline bool ansiSameText(QStringView a, QStringView b) { return ansiCompareText(a, b) == 0; }

// The text without leading and trailing spaces and control characters (every
// code up to the space), as the platform's trimming routine cuts it.
QStringView trimBlank(QStringView text);

} // namespace platform
