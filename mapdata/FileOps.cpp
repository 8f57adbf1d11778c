#include "mapdata/FileOps.h"

#include "mapdata/BinaryFile.h"
#include "mapdata/KeptFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace mapdata {

namespace {

// Flushes the file to the disk, so that what follows a write (a rename that
// makes it count) never overtakes it.
bool syncFile(QFile &file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

} // namespace

// Every operation first lets go of the kept handles of the files it changes.

bool FileOps::writeFile(const QString &path, const QByteArray &bytes)
{
    releaseKeptFiles(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && syncFile(file);
}

bool FileOps::writeAt(const QString &path, qint64 pos, const QByteArray &bytes)
{
    if (pos < 0 || !QFileInfo(path).isFile())
        return false;
    releaseKeptFiles(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return file.seek(pos) && file.write(bytes) == bytes.size() && file.flush();
}

bool FileOps::truncate(const QString &path, qint64 size)
{
    if (size < 0 || !QFileInfo(path).isFile())
        return false;
    releaseKeptFiles(path);
    return QFile::resize(path, size);
}

bool FileOps::copyFile(const QString &from, const QString &to)
{
    return copyFileOverwrite(from, to);
}

bool FileOps::renameFile(const QString &from, const QString &to)
{
    releaseKeptFiles(from);
    releaseKeptFiles(to);
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool FileOps::removeFile(const QString &path)
{
    return deleteFileIfExists(path);
}

FileOps &defaultFileOps()
{
    static FileOps ops;
    return ops;
}

} // namespace mapdata
