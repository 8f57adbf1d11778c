#include "mapdata/BinaryFile.h"

#include "mapdata/KeptFile.h"

#include "platform/Paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace mapdata {

bool BinaryFile::open(const QString &path, Mode mode)
{
    file_.close();
    if (mode == ReadWrite)
        releaseKeptFiles(path);
    file_.setFileName(path);
    // Unbuffered: records are read whole, each with one read of its own size.
    // A folder is refused by the open itself.
    return file_.open((mode == ReadWrite ? QIODevice::ReadWrite : QIODevice::ReadOnly) | QIODevice::Unbuffered);
}

qint64 BinaryFile::readAt(qint64 pos, char *buf, qint64 n)
{
    if (!file_.isOpen() || pos < 0 || n <= 0)
        return 0;
    const qint64 size = file_.size();
    if (pos >= size)
        return 0;
    if (n > size - pos)
        n = size - pos;
    if (file_.pos() != pos && !file_.seek(pos))
        return 0;
    const qint64 got = file_.read(buf, n);
    return got < 0 ? 0 : got;
}

QByteArray BinaryFile::readBytes(qint64 pos, qint64 n)
{
    QByteArray out;
    if (!file_.isOpen() || pos < 0 || n <= 0 || pos >= file_.size())
        return out;
    n = std::min(n, file_.size() - pos);
    out.resize(n);
    out.resize(readAt(pos, out.data(), n));
    return out;
}

bool BinaryFile::writeAt(qint64 pos, const char *buf, qint64 n)
{
    if (!file_.isOpen() || pos < 0 || !file_.seek(pos))
        return false;
    keptFilesChanged();
    return file_.write(buf, n) == n && file_.flush();
}

bool isReadOnlyFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

bool copyFileOverwrite(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    releaseKeptFiles(to);
    // Written beside the target and renamed over it, so that a failed copy
    // leaves the target as it was.
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    {
        QFile target(temp);
        if (!target.open(QIODevice::WriteOnly))
            return false;
        char buf[1 << 16];
        for (;;) {
            const qint64 got = source.read(buf, sizeof buf);
            if (got < 0 || (got > 0 && target.write(buf, got) != got)) {
                target.close();
                QFile::remove(temp);
                return false;
            }
            if (got == 0)
                break;
        }
        if (!target.flush()) {
            target.close();
            QFile::remove(temp);
            return false;
        }
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(to).constData()) != 0) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

bool deleteFileIfExists(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    releaseKeptFiles(path);
    return QFile::remove(path);
}

} // namespace mapdata
