#include "mapdata/FileOps.h"

namespace mapdata {

bool FileOps::writeFile(const QString &, const QByteArray &) { return false; }
bool FileOps::writeAt(const QString &, qint64, const QByteArray &) { return false; }
bool FileOps::truncate(const QString &, qint64) { return false; }
bool FileOps::copyFile(const QString &, const QString &) { return false; }
bool FileOps::renameFile(const QString &, const QString &) { return false; }
bool FileOps::removeFile(const QString &) { return false; }

FileOps &defaultFileOps()
{
    static FileOps ops;
    return ops;
}

} // namespace mapdata
