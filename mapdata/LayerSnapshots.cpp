#include "mapdata/MapDataCore.h"

#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"

#include <QFileInfo>

#include <array>

namespace {

struct SnapshotFile {
    const char *ext;
    QString TMapLayer::*name;
};

const std::array<SnapshotFile, 4> snapshotFiles = {{
    {"Shp", &TMapLayer::BackupShp},
    {"Shx", &TMapLayer::BackupShx},
    {"Dbf", &TMapLayer::BackupDbf},
    {"Lbl", &TMapLayer::BackupLbl},
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

void MapDataCore::BackupLayer(int layer, bool makeNames)
{
    if (!validLayer(layer))
        return;
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
        mapdata::copyFileOverwrite(source, platform::resolvePath(snapshot));
    }
}

void MapDataCore::RestoreLayerBackup(int layer, bool keep)
{
    if (!validLayer(layer))
        return;
    const TMapLayer &L = FProject.Layers[static_cast<size_t>(layer)];
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
