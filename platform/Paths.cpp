#include "platform/Paths.h"

#include "platform/TextCodec.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace platform {

QString normalizePath(QStringView path)
{
    QString out = path.toString();
    out.replace(u'\\', u'/');
    return out;
}

qsizetype lastSeparator(QStringView path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isPathSeparator(path[i]))
            return i;
    return -1;
}

QString extractFilePath(QStringView path)
{
    return path.left(lastSeparator(path) + 1).toString();
}

QString extractFileName(QStringView path)
{
    return path.mid(lastSeparator(path) + 1).toString();
}

QString extractFileExt(QStringView path)
{
    const qsizetype sep = lastSeparator(path);
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > sep ? path.mid(dot).toString() : QString();
}

QString changeFileExt(QStringView path, QStringView ext)
{
    const qsizetype sep = lastSeparator(path);
    const qsizetype dot = path.lastIndexOf(u'.');
    const QStringView base = dot > sep ? path.left(dot) : path;
    return base.toString() + ext.toString();
}

QString joinPath(QStringView folder, QStringView name)
{
    if (folder.isEmpty())
        return name.toString();
    if (isPathSeparator(folder.back()))
        return folder.toString() + name.toString();
    return folder.toString() + u'/' + name.toString();
}

QString excludeTrailingSeparator(QStringView path)
{
    if (path.size() > 1 && isPathSeparator(path.back()))
        return path.chopped(1).toString();
    return path.toString();
}

QString findExistingPath(QStringView path)
{
    if (path.isEmpty())
        return {};
    const QString norm = normalizePath(path);
    if (QFileInfo::exists(norm))
        return norm;

    // Walk the components, matching each one without regard to case.
    const bool absolute = norm.startsWith(u'/');
    const QStringList parts = norm.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        QString next = current == u"." && !absolute ? part : joinPath(current, part);
        if (part == u"." || part == u".." || QFileInfo::exists(next)) {
            current = next;
            continue;
        }
        QDir dir(current);
        const QStringList entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QString match;
        for (const QString &e : entries) {
            if (ansiSameText(e, part)) {
                match = e;
                break;
            }
        }
        if (match.isEmpty())
            return {};
        current = current == u"." && !absolute ? match : joinPath(current, match);
    }
    return current;
}

bool fileExists(QStringView path)
{
    const QString found = findExistingPath(path);
    return !found.isEmpty() && QFileInfo(found).isFile();
}

bool directoryExists(QStringView path)
{
    const QString found = findExistingPath(path);
    return !found.isEmpty() && QFileInfo(found).isDir();
}

QString resolvePath(QStringView path)
{
    const QString found = findExistingPath(path);
    if (!found.isEmpty())
        return found;
    // Keep the folder's existing spelling for a file about to be created.
    const QString norm = normalizePath(path);
    const qsizetype sep = lastSeparator(norm);
    if (sep > 0) {
        const QString folder = findExistingPath(QStringView(norm).left(sep));
        if (!folder.isEmpty())
            return joinPath(folder, QStringView(norm).mid(sep + 1));
    }
    return norm;
}

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(path));
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if ((QFile::exists(target) && !QFile::remove(target)) || !QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

} // namespace platform
