#pragma once
// Case rules of the engine's 8-bit text (the Windows-1251 code page), as the
// platform's ANSI routines apply them to Cyrillic and Latin letters alike.

#include <QByteArray>
#include <QByteArrayView>

namespace script {

char ansiUpper(char c);
char ansiLower(char c);
QByteArray ansiUpperCase(QByteArrayView text);
QByteArray ansiLowerCase(QByteArrayView text);
bool ansiSameText(QByteArrayView a, QByteArrayView b);
// <0, 0 or >0, ignoring case.
int ansiCompareText(QByteArrayView a, QByteArrayView b);

// The platform's integer syntax: optional blanks and sign, then decimal
// digits or "$" (or "0x") and hexadecimal digits. False for anything else and
// for a value beyond 64 bits.
bool parseInteger(QByteArrayView text, qint64 &value);

} // namespace script
