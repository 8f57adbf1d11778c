#pragma once
// LibreOffice as the other program that checks our files: a file converted
// headless into another format (png, txt, html ...), in a profile of its own
// under a work folder.

#include <QString>

namespace testsupport {

// The office program, or "" when it is not installed.
QString officeProgram();
// Converts a file; the path of the converted file ("" when the program did
// not finish within three minutes). `to` is the target as LibreOffice's
// converter takes it ("txt:Text"): its part before ":" is the new extension.
QString officeConvert(const QString &office, const QString &file, const QString &work, const QString &to);
// A converted text file's contents ("" when it is missing).
QString readUtf8(const QString &path);

} // namespace testsupport
