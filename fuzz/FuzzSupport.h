#pragma once
// What the fuzz targets share: a scratch place for the readers that take
// files, the offscreen application of those that draw or make cursors, and
// the split of an input into two files.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzzsupport {

// A path of this process in memory (/dev/shm) or else the temporary folder:
// "fuzz_" + the target's name + "_" + the process id, then the suffix.
inline QString scratchPath(const char *target, const QString &suffix = {})
{
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return base + QStringLiteral("/fuzz_") + QLatin1String(target) + u'_' +
           QString::number(QCoreApplication::applicationPid()) + suffix;
}

// Replaces the file with the bytes; false when it cannot be written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The application of the targets that draw, measure text or make cursors,
// on the offscreen platform unless another is asked for. Made once, from
// LLVMFuzzerInitialize.
inline void startApplication(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
}

// An input of two files: bytes 0-1 (little-endian) are the length of the
// first, which starts at `start` (after any other leading bytes); the second
// is the rest. The length is held to what there is.
struct TwoFiles {
    QByteArray first, second;
};
inline TwoFiles splitTwo(const std::uint8_t *data, std::size_t size, std::size_t start)
{
    const char *d = reinterpret_cast<const char *>(data);
    const auto rest = static_cast<qsizetype>(size - start);
    const qsizetype n = std::min<qsizetype>(data[0] | data[1] << 8, rest);
    return {QByteArray(d + start, n), QByteArray(d + start + n, rest - n)};
}

} // namespace fuzzsupport
