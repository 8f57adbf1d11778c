#include "mapdata/MapDataCore.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace {

// Every file under a folder with its bytes, by relative name.
std::map<QString, QByteArray> folderState(const QString &root)
{
    std::map<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        out[QDir(root).relativeFilePath(path)] = f.readAll();
    }
    return out;
}

struct SnapshotFolder {
    testsupport::TempFolder dir;
    MapDataCore core;
    QString folder;   // where the layer lies

    explicit SnapshotFolder(const QString &sub = QString())
    {
        core.SetWorkDir(dir.path());
        folder = sub.isEmpty() ? dir.path() : dir.file(sub);
        QDir().mkpath(folder);
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(folder + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(folder + u'/' + name);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    bool exists(const QString &name) const { return QFile::exists(folder + u'/' + name); }
    // The four files of "roads", named as another program names them.
    void writeLayer(const QByteArray &tag)
    {
        write(QStringLiteral("roads.shp"), "shp " + tag);
        write(QStringLiteral("roads.shx"), "shx " + tag);
        write(QStringLiteral("roads.dbf"), "dbf " + tag);
        write(QStringLiteral("roads.Lbl"), "lbl " + tag);
    }
    TMapLayer &addLayer(const QString &fileName)
    {
        TMapLayer l;
        l.FileName = fileName;
        core.Project().Layers.push_back(l);
        return core.Project().Layers.back();
    }
};

} // namespace

TEST(LayerSnapshots, NamesTakeTheFirstFreeNumber)
{
    SnapshotFolder f;
    f.writeLayer("saved");
    // Left over from a run that ended abnormally.
    f.write(QStringLiteral("roads.Shp.001"), "stale");
    TMapLayer &l = f.addLayer(QStringLiteral("roads.shp"));
    f.core.BackupLayer(0, true);
    EXPECT_EQ(l.BackupShp, f.dir.file(QStringLiteral("roads.Shp.002")));
    EXPECT_EQ(l.BackupShx, f.dir.file(QStringLiteral("roads.Shx.001")));
    EXPECT_EQ(l.BackupDbf, f.dir.file(QStringLiteral("roads.Dbf.001")));
    EXPECT_EQ(l.BackupLbl, f.dir.file(QStringLiteral("roads.Lbl.001")));
    EXPECT_EQ(f.read(QStringLiteral("roads.Shp.002")), QByteArray("shp saved"));
    EXPECT_EQ(f.read(QStringLiteral("roads.Shp.001")), QByteArray("stale"));
    EXPECT_EQ(f.read(QStringLiteral("roads.Lbl.001")), QByteArray("lbl saved"));

    // Without new names the stored ones are refreshed (after a save).
    f.writeLayer("saved again");
    f.core.BackupLayer(0, false);
    EXPECT_EQ(l.BackupShp, f.dir.file(QStringLiteral("roads.Shp.002")));
    EXPECT_EQ(f.read(QStringLiteral("roads.Shp.002")), QByteArray("shp saved again"));
    EXPECT_EQ(f.read(QStringLiteral("roads.Dbf.001")), QByteArray("dbf saved again"));
}

TEST(LayerSnapshots, RestoreLeavesTheFolderAsItWas)
{
    SnapshotFolder f;
    f.writeLayer("as opened");
    f.write(QStringLiteral("other.txt"), "untouched");
    const auto before = folderState(f.dir.path());
    f.addLayer(QStringLiteral("roads.Shp"));
    f.core.BackupLayer(0, true);

    // Edits of all four files, the label file too.
    f.writeLayer("edited, longer than before");
    f.core.RestoreLayerBackup(0, false);
    EXPECT_EQ(folderState(f.dir.path()), before);
}

TEST(LayerSnapshots, KeepOnlyDeletesTheSnapshots)
{
    SnapshotFolder f;
    f.writeLayer("as opened");
    f.addLayer(QStringLiteral("roads.shp"));
    f.core.BackupLayer(0, true);
    f.writeLayer("saved by the user");
    const auto edited = folderState(f.dir.path());
    f.core.RestoreLayerBackup(0, true);
    auto expected = edited;
    for (const char *name : {"roads.Shp.001", "roads.Shx.001", "roads.Dbf.001", "roads.Lbl.001"})
        expected.erase(QString::fromUtf8(name));
    EXPECT_EQ(folderState(f.dir.path()), expected);
}

TEST(LayerSnapshots, MissingFilesAreSkipped)
{
    SnapshotFolder f;
    f.write(QStringLiteral("roads.shp"), "shp");
    f.write(QStringLiteral("roads.shx"), "shx");
    TMapLayer &l = f.addLayer(QStringLiteral("roads.shp"));
    f.core.BackupLayer(0, true);
    EXPECT_TRUE(f.exists(QStringLiteral("roads.Shp.001")));
    EXPECT_FALSE(f.exists(QStringLiteral("roads.Dbf.001")));
    EXPECT_FALSE(f.exists(QStringLiteral("roads.Lbl.001")));
    EXPECT_FALSE(l.BackupDbf.isEmpty()); // the name is made all the same

    // The ".Shx" went missing meanwhile: its snapshot is not put back, but deleted.
    QFile::remove(f.folder + QStringLiteral("/roads.shx"));
    f.write(QStringLiteral("roads.shp"), "changed");
    f.core.RestoreLayerBackup(0, false);
    EXPECT_EQ(f.read(QStringLiteral("roads.shp")), QByteArray("shp"));
    EXPECT_FALSE(f.exists(QStringLiteral("roads.shx")));
    EXPECT_FALSE(f.exists(QStringLiteral("roads.Shx.001")));
    EXPECT_FALSE(f.exists(QStringLiteral("roads.Shp.001")));

    f.core.BackupLayer(3, true); // no such layer
    f.core.RestoreLayerBackup(-1, false);
}

TEST(LayerSnapshots, LayerInADottedFolder)
{
    SnapshotFolder f(QStringLiteral(".local/maps.v2"));
    f.writeLayer("as opened");
    const auto before = folderState(f.dir.path());
    TMapLayer &l = f.addLayer(f.folder + QStringLiteral("/roads.shp"));
    f.core.BackupLayer(0, true);
    EXPECT_EQ(l.BackupShp, f.folder + QStringLiteral("/roads.Shp.001"));
    EXPECT_TRUE(f.exists(QStringLiteral("roads.Lbl.001")));
    f.writeLayer("edited");
    f.core.RestoreLayerBackup(0, false);
    EXPECT_EQ(folderState(f.dir.path()), before);
}
