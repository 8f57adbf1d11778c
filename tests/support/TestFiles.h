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
