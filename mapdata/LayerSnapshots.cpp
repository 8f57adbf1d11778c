#include "mapdata/MapDataCore.h"

#include "mapdata/LayerFiles.h"
#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>

namespace {

struct SnapshotFile {
    const char *ext;
    QString TMapLayer::*name;
};

using mapdata::layerfiles::SnapshotExts;
const std::array<SnapshotFile, SnapshotExts.size()> snapshotFiles = {{
    {SnapshotExts[0], &TMapLayer::BackupShp},
    {SnapshotExts[1], &TMapLayer::BackupShx},
    {SnapshotExts[2], &TMapLayer::BackupDbf},
    {SnapshotExts[3], &TMapLayer::BackupLbl},
}};

} // namespace

QString MapDataCore::snapshotBase(const TMapLayer &layer) const
{
    QString name = MapFunctions::RelativeFileName(layer.FileName, FWorkDir);
    if (platform::lastSeparator(name) < 0)
        name = platform::joinPath(FWorkDir, name);
    // As for the file names of a layer: only the file name part loses its
    // extension.
    return platform::changeFileExt(name.trimmed(), u"");
}

bool MapDataCore::BackupLayer(int layer, bool makeNames)
{
    if (!validLayer(layer))
        return false;
    bool all = true;
    TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    const QString base = snapshotBase(L);
    for (const SnapshotFile &f : snapshotFiles) {
        const QString ext = QLatin1String(f.ext);
        if (makeNames)
            L.*f.name = MapFunctions::FreeNumberedName(base, ext);
        const QString source = platform::findExistingPath(base + u'.' + ext);
        const QString snapshot = L.*f.name;
        // Files that do not exist are skipped, one by one, without a message.
        if (source.isEmpty() || snapshot.isEmpty() || !QFileInfo(source).isFile())
            continue;
        if (!mapdata::copyFileOverwrite(source, platform::resolvePath(snapshot)))
            all = false;
    }
    return all;
}

void MapDataCore::RemoveStaleSnapshots(int layer)
{
    if (!validLayer(layer))
        return;
    const QString base = snapshotBase(FProject.Layers[static_cast<size_t>(layer)]);
    const QFileInfo baseInfo(platform::resolvePath(base));
    const QDir folder = baseInfo.absoluteDir();
    const QString stem = baseInfo.fileName();
    // The snapshots of the project's layers are in use.
    QStringList inUse;
    for (const TMapLayer &L : FProject.Layers)
        for (const SnapshotFile &f : snapshotFiles)
            if (const QString found = platform::findExistingPath(L.*f.name); !found.isEmpty())
                inUse << QFileInfo(found).absoluteFilePath();
    // base + "." + Shp, Shx, Dbf or Lbl + "." + three digits or more, in any case.
    QStringList exts;
    for (const SnapshotFile &f : snapshotFiles)
        exts << QLatin1String(f.ext);
    const QRegularExpression name(QStringLiteral("^") + QRegularExpression::escape(stem) + QStringLiteral("\\.(") +
                                      exts.join(u'|') + QStringLiteral(")\\.[0-9]{3,}$"),
                                  QRegularExpression::CaseInsensitiveOption);
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (!name.match(file.fileName()).hasMatch() || inUse.contains(file.absoluteFilePath()))
            continue;
        mapdata::deleteFileIfExists(file.absoluteFilePath());
    }
}

void MapDataCore::RestoreLayerBackup(int layer, bool keep)
{
    if (!validLayer(layer))
        return;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
    // The layer closes with its project: its files are let go.
    ReleaseLayerFiles(layer);
    const QString base = snapshotBase(L);
    for (const SnapshotFile &f : snapshotFiles) {
        const QString snapshotName = L.*f.name;
        if (snapshotName.isEmpty())
            continue;
        const QString snapshot = platform::findExistingPath(snapshotName);
        if (snapshot.isEmpty() || !QFileInfo(snapshot).isFile())
            continue;
        bool restored = true;
        if (!keep) {
            const QString file = platform::findExistingPath(base + u'.' + QLatin1String(f.ext));
            if (!file.isEmpty() && QFileInfo(file).isFile()) {
                // The current file waits under file + "~" while the snapshot
                // is copied over it.
                const QString aside = file + u'~';
                mapdata::copyFileOverwrite(file, aside);
                restored = mapdata::copyFileOverwrite(snapshot, file);
                mapdata::deleteFileIfExists(aside);
            }
        }
        // A snapshot that could not be put back is kept: it holds the last
        // saved state of the file.
        if (restored)
            mapdata::deleteFileIfExists(snapshot);
    }
}
