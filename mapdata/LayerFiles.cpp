#include "mapdata/LayerFiles.h"

#include "platform/Paths.h"

namespace mapdata::layerfiles {

QString baseName(const QString &fileName)
{
    return platform::changeFileExt(fileName, u"");
}

QString baseIn(const QString &workDir, const QString &fileName)
{
    const QString base = baseName(fileName.trimmed());
    return platform::lastSeparator(fileName) >= 0 ? base : platform::joinPath(workDir, base);
}

QString firstDotBase(const QString &fileName)
{
    const qsizetype nameAt = platform::lastSeparator(fileName) + 1;
    const qsizetype dot = fileName.indexOf(u'.', nameAt);
    return dot < 0 ? fileName : fileName.left(dot);
}

QString tableName(const QString &fileName)
{
    return baseName(fileName) + QStringLiteral(".Dbf");
}

QString labelFileIn(const QString &workDir, const QString &fileName, const QString &ext)
{
    const QString name = fileName.trimmed();
    const QString base = firstDotBase(name) + ext;
    return platform::lastSeparator(name) >= 0 ? base : platform::joinPath(workDir, base);
}

} // namespace mapdata::layerfiles
