#pragma once
// Small helpers for tests that build files byte by byte.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <initializer_list>

namespace testsupport {

// A temporary folder that is removed with the test.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }
    // Writes bytes to a file of the folder and returns its path.
    QString write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
private:
    QTemporaryDir dir_;
};

// The program folder the build lays out for the tests ("<build>/tests/program"):
// style libraries, language files, cursors, layer templates and the demo
// project, as the program's own folder has them. Tests read it and copy from
// it and never write it; the user's program folder ("<build>/program", whose
// demo project the user edits) is no test's business.
QString programFolder();
// Copies files and folders of the tests' program folder ("Symbols.glb",
// "Default" ...) into a folder, made when missing; returns the folder.
QString copyProgramFiles(const QString &folder, std::initializer_list<const char *> names);
// Copies the demo project (its ".tvp" and its data folder) into a folder and
// returns the path of the copy's ".tvp".
QString copyDemoProject(const QString &folder);

// The folder under the build tree where tests keep pictures for a person to
// look at ("<build>/tests/artefacts/<sub>"), made when missing.
QString artefactFolder(const QString &sub);

// Byte builders with explicit byte order.
void putLE32(QByteArray &b, qsizetype offset, std::int32_t v);
void putBE32(QByteArray &b, qsizetype offset, std::int32_t v);
void putLE16(QByteArray &b, qsizetype offset, std::int16_t v);
void putLEDouble(QByteArray &b, qsizetype offset, double v);
QByteArray bytes(std::initializer_list<int> values);

} // namespace testsupport
