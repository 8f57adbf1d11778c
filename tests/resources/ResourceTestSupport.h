#pragma once
// Helpers of the checks of the generated program-folder files: running the
// generators and other programs, and reading bytes at literal offsets.

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstring>

namespace restest {

inline QString u8(const char *text) { return QString::fromUtf8(text); }

inline QString sourceFile(const char *rel)
{
    return QStringLiteral(TOLVANE_SOURCE_DIR "/") + QString::fromUtf8(rel);
}

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QString errors;
};

inline ToolRun run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        r.errors = QStringLiteral("did not finish: ") + program;
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

inline ToolRun layergen(const QStringList &args) { return run(QStringLiteral(TOLVANE_LAYERGEN), args); }
inline ToolRun setreg(const QStringList &args) { return run(QStringLiteral(TOLVANE_SETREG), args); }

// A program on the search path, or empty.
inline QString program(const QString &name) { return QStandardPaths::findExecutable(name); }

inline quint8 u8At(const QByteArray &b, qsizetype at) { return static_cast<quint8>(b[at]); }

inline std::int32_t be32(const QByteArray &b, qsizetype at)
{
    return static_cast<std::int32_t>((quint32(u8At(b, at)) << 24) | (quint32(u8At(b, at + 1)) << 16)
                                     | (quint32(u8At(b, at + 2)) << 8) | quint32(u8At(b, at + 3)));
}

inline std::int32_t le32(const QByteArray &b, qsizetype at)
{
    return static_cast<std::int32_t>(quint32(u8At(b, at)) | (quint32(u8At(b, at + 1)) << 8)
                                     | (quint32(u8At(b, at + 2)) << 16) | (quint32(u8At(b, at + 3)) << 24));
}

inline int le16(const QByteArray &b, qsizetype at) { return u8At(b, at) | (u8At(b, at + 1) << 8); }

inline double leDouble(const QByteArray &b, qsizetype at)
{
    quint64 u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | u8At(b, at + i);
    double v = 0;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

// The zero-terminated text of a character field.
inline QByteArray cString(const QByteArray &b, qsizetype at, qsizetype size)
{
    const QByteArray field = b.mid(at, size);
    const qsizetype end = field.indexOf('\0');
    return end < 0 ? field : field.left(end);
}

} // namespace restest
