#include "mapdata/MapDataCore.h"
#include "mapdata/LayerFiles.h"

#include "LayerFixtures.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace fixtures;

TEST(LayerFiles, FileNamesOfALayer)
{
    MapDataCore core;
    core.SetWorkDir(QStringLiteral("/srv/work"));
    struct Case { const char *fileName, *suffix, *shp, *shx, *dbf; };
    const Case cases[] = {
        {"roads.shp", "", "/srv/work/roads.shp", "/srv/work/roads.shx", "/srv/work/roads.dbf"},
        {"roads", "", "/srv/work/roads.shp", "/srv/work/roads.shx", "/srv/work/roads.dbf"},
        {"roads.shp", "~", "/srv/work/roads~.shp", "/srv/work/roads~.shx", "/srv/work/roads~.dbf"},
        {"roads.shp", "`", "/srv/work/roads`.shp", "/srv/work/roads`.shx", "/srv/work/roads`.dbf"},
        {"C:\\maps\\roads.shp", "", "C:\\maps\\roads.shp", "C:\\maps\\roads.shx", "C:\\maps\\roads.dbf"},
        {"/data/maps/roads.SHP", "~", "/data/maps/roads~.shp", "/data/maps/roads~.shx", "/data/maps/roads~.dbf"},
        // A dot in a folder name does not cut the base short.
        {"C:\\maps.v2\\roads.shp", "", "C:\\maps.v2\\roads.shp", "C:\\maps.v2\\roads.shx", "C:\\maps.v2\\roads.dbf"},
        {"/home/u/.local/maps/roads.shp", "", "/home/u/.local/maps/roads.shp", "/home/u/.local/maps/roads.shx",
         "/home/u/.local/maps/roads.dbf"},
        {"/home/u/.local/maps/roads", "", "/home/u/.local/maps/roads.shp", "/home/u/.local/maps/roads.shx",
         "/home/u/.local/maps/roads.dbf"},
    };
    for (const Case &c : cases) {
        QString shp = QStringLiteral("x"), shx = QStringLiteral("x"), dbf = QStringLiteral("x");
        core.GetLayerFileNames(QString::fromUtf8(c.fileName), QString::fromUtf8(c.suffix), shp, shx, dbf);
        EXPECT_EQ(shp, QString::fromUtf8(c.shp)) << c.fileName;
        EXPECT_EQ(shx, QString::fromUtf8(c.shx)) << c.fileName;
        EXPECT_EQ(dbf, QString::fromUtf8(c.dbf)) << c.fileName;
        QString shp2, shx2, shp3;
        core.GetLayerShapeNames(QString::fromUtf8(c.fileName), QString::fromUtf8(c.suffix), shp2, shx2);
        core.GetLayerShpName(QString::fromUtf8(c.fileName), QString::fromUtf8(c.suffix), shp3);
        EXPECT_EQ(shp2, shp);
        EXPECT_EQ(shx2, shx);
        EXPECT_EQ(shp3, shp);
    }
}

// The two rules of a layer's base side by side: the last extension of the
// file name part goes, or the file name part is cut at its first dot; a dot
// in a folder's name belongs to the folder under both.
TEST(LayerFiles, TheBaseNameRules)
{
    using namespace mapdata::layerfiles;
    const QString work = QStringLiteral("/srv/work");
    struct Case { const char *fileName, *base, *baseIn, *firstDot, *table, *lbl; };
    const Case cases[] = {
        {"a.b.shp", "a.b", "/srv/work/a.b", "a", "a.b.Dbf", "/srv/work/a.Lbl"},
        {"/home/u/.maps/a.b.shp", "/home/u/.maps/a.b", "/home/u/.maps/a.b", "/home/u/.maps/a", "/home/u/.maps/a.b.Dbf",
         "/home/u/.maps/a.Lbl"},
        {"C:\\maps.v2\\roads", "C:\\maps.v2\\roads", "C:\\maps.v2\\roads", "C:\\maps.v2\\roads",
         "C:\\maps.v2\\roads.Dbf", "C:\\maps.v2\\roads.Lbl"},
        // Blanks around the name: the store's rules trim it, the others take
        // it as it stands.
        {" roads.shp ", " roads", "/srv/work/roads", " roads", " roads.Dbf", "/srv/work/roads.Lbl"},
    };
    for (const Case &c : cases) {
        const QString name = QString::fromUtf8(c.fileName);
        EXPECT_EQ(baseName(name), QString::fromUtf8(c.base)) << c.fileName;
        EXPECT_EQ(baseIn(work, name), QString::fromUtf8(c.baseIn)) << c.fileName;
        EXPECT_EQ(firstDotBase(name), QString::fromUtf8(c.firstDot)) << c.fileName;
        EXPECT_EQ(tableName(name), QString::fromUtf8(c.table)) << c.fileName;
        EXPECT_EQ(labelFileIn(work, name, QStringLiteral(".Lbl")), QString::fromUtf8(c.lbl)) << c.fileName;
    }
}

namespace {

struct LayerFolder {
    testsupport::TempFolder dir;
    MapDataCore core;

    LayerFolder() { core.SetWorkDir(dir.path()); }

    TMapLayer &add(const Layer &files, const QString &name = QStringLiteral("layer"))
    {
        dir.write(name + QStringLiteral(".shp"), files.shp);
        dir.write(name + QStringLiteral(".shx"), files.shx);
        TMapLayer l;
        l.FileName = name + QStringLiteral(".Shp");
        core.Project().Layers.push_back(l);
        return core.Project().Layers.back();
    }
    QByteArray read(const QString &name) const { return dir.read(name); }
};

std::vector<QByteArray> points(int n, double x0 = 1000, double y0 = 2000)
{
    std::vector<QByteArray> out;
    for (int i = 0; i < n; ++i)
        out.push_back(pointContent(1, x0 + i, y0 - i));
    return out;
}

} // namespace

TEST(LayerFiles, RecalcLayerRebuildsTableBlocksAndHeaders)
{
    LayerFolder f;
    // A stale box in the header; the records decide.
    const Layer files = layer(1, {1, 1, 2, 2}, points(100));
    TMapLayer &l = f.add(files);
    l.ObjType = otBezier;
    ASSERT_TRUE(f.core.RecalcLayer(0));
    const TMapLayer &r = f.core.Project().Layers[0];
    ASSERT_EQ(r.Objects.size(), 100u);
    EXPECT_EQ(r.Objects[37].ShpOffset, files.offsets[37]);
    EXPECT_EQ(r.Objects[37].ShpLength, 20);
    // 100 objects make two blocks, the second empty.
    ASSERT_EQ(r.Blocks.size(), 2u);
    EXPECT_EQ(r.Blocks[0].XMin, 1000);
    EXPECT_EQ(r.Blocks[0].XMax, 1099);
    EXPECT_EQ(r.Blocks[0].YMin, 1901);
    EXPECT_EQ(r.Blocks[0].YMax, 2000);
    EXPECT_EQ(r.Blocks[1].XMin, 0);
    EXPECT_EQ(r.Blocks[1].YMax, 0);
    EXPECT_EQ(r.ShapeType, 1);
    EXPECT_EQ(r.ObjType, otPoints);
    EXPECT_EQ(r.MtMinX, 1000);
    EXPECT_EQ(r.MtMaxY, 2000);
    EXPECT_EQ(r.CenterX, 1049.5);
    EXPECT_EQ(r.CenterY, 1950.5);

    // Both headers carry the new box and their own lengths; nothing else changed.
    QByteArray shp = files.shp, shx = files.shx;
    for (QByteArray *b : {&shp, &shx}) {
        testsupport::putLEDouble(*b, 36, 1000);
        testsupport::putLEDouble(*b, 44, 1901);
        testsupport::putLEDouble(*b, 52, 1099);
        testsupport::putLEDouble(*b, 60, 2000);
    }
    testsupport::putBE32(shp, 24, static_cast<std::int32_t>(shp.size() / 2));
    testsupport::putBE32(shx, 24, static_cast<std::int32_t>(shx.size() / 2));
    EXPECT_EQ(f.read(QStringLiteral("layer.shp")), shp);
    EXPECT_EQ(f.read(QStringLiteral("layer.shx")), shx);
}

TEST(LayerFiles, RecalcLayerTakesBlocksFromCurrentVersionsAndTheExtentFromTheFile)
{
    LayerFolder f;
    TMapLayer &l = f.add(layer(5, {}, {polyContent(5, {10, 10, 20, 20}, {0}, {{10, 10}, {20, 20}, {10, 20}}),
                                       polyContent(5, {30, 30, 40, 40}, {0}, {{30, 30}, {40, 40}, {30, 40}})}));
    const Layer jrn = journal({{1, polyContent(5, {500, 600, 700, 800}, {0}, {{500, 600}, {700, 800}, {500, 800}})}});
    f.dir.write(QStringLiteral("updates.mhp"), jrn.shp);
    l.Objects.resize(2);
    l.Objects[0].JrnOffset = jrn.offsets[0];
    l.Objects[0].JrnLength = jrn.lengths[0];
    l.Objects[0].Modified = true;
    l.Objects[1].Deleted = true;
    ASSERT_TRUE(f.core.RecalcLayer(0));
    const TMapLayer &r = f.core.Project().Layers[0];
    // The block: the journal version of object 0 and the deleted object 1.
    EXPECT_EQ(r.Blocks[0].XMin, 30);
    EXPECT_EQ(r.Blocks[0].XMax, 700);
    EXPECT_EQ(r.Blocks[0].YMax, 800);
    // The extent: layer-file versions only, the deleted one included.
    EXPECT_EQ(r.MtMinX, 10);
    EXPECT_EQ(r.MtMaxX, 40);
    EXPECT_EQ(r.MtMaxY, 40);
    // Surviving entries keep their journal place and state.
    EXPECT_EQ(r.Objects[0].JrnOffset, jrn.offsets[0]);
    EXPECT_TRUE(r.Objects[0].Modified);
    EXPECT_TRUE(r.Objects[1].Deleted);
    EXPECT_EQ(r.ObjType, otPolygons);
}

TEST(LayerFiles, RecalcLayerSetsTheObjectKind)
{
    TextFields t;
    t.kind = 4;
    t.box = {1, 2, 3, 4};
    struct Case {
        const char *name;
        std::int32_t type;
        std::vector<QByteArray> records;
        Byte before, after;
    };
    const Case cases[] = {
        {"bezier lines", 3, {polyContent(3, {1, 1, 2, 2}, {0}, {{1, 1}, {2, 2}})}, otBezier, otPolylines},
        {"navigation lines", 13, {polyContent(13, {1, 1, 2, 2}, {0}, {{1, 1}, {2, 2}})}, otNavigation, otPolylines},
        {"polygons", 25, {polyContent(25, {1, 1, 2, 2}, {0}, {{1, 1}, {2, 2}})}, otPoints, otPolygons},
        {"symbol points keep", 1, points(1), otSymbols, otSymbols},
        {"bitmap points keep", 21, points(1), otBitmaps, otBitmaps},
        {"navigation points", 11, points(1), otNavigation, otPoints},
        {"texts", 8, {textContent(t, {0}, {{1, 2}})}, otPolylines, otText},
        {"images", 10, {rasterContent(10, {1, 2, 3, 4}, "a.bmp", 0, 1, 1, {{1, 2}})}, otPolylines, otImages},
        {"empty layer keeps", 3, {}, otBezier, otBezier},
    };
    for (const Case &c : cases) {
        LayerFolder f;
        TMapLayer &l = f.add(layer(c.type, {}, c.records));
        l.ObjType = c.before;
        ASSERT_TRUE(f.core.RecalcLayer(0)) << c.name;
        EXPECT_EQ(f.core.Project().Layers[0].ObjType, c.after) << c.name;
        EXPECT_EQ(f.core.Project().Layers[0].Objects.size(), c.records.size()) << c.name;
    }
}

TEST(LayerFiles, RecalcLayerRefusesMissingAndReadOnlyFiles)
{
    LayerFolder f;
    TMapLayer &l = f.add(layer(1, {}, points(3)));
    l.Objects.resize(7);
    const QByteArray shp = f.read(QStringLiteral("layer.shp"));
    const QByteArray shx = f.read(QStringLiteral("layer.shx"));
    QFile::setPermissions(f.dir.file(QStringLiteral("layer.shx")), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(f.core.RecalcLayer(0));
    EXPECT_EQ(f.read(QStringLiteral("layer.shp")), shp);
    EXPECT_EQ(f.read(QStringLiteral("layer.shx")), shx);
    EXPECT_EQ(f.core.Project().Layers[0].Objects.size(), 7u);

    QFile::setPermissions(f.dir.file(QStringLiteral("layer.shx")), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(f.dir.file(QStringLiteral("layer.shx")));
    EXPECT_FALSE(f.core.RecalcLayer(0));
    EXPECT_FALSE(f.core.RecalcLayer(1));
    EXPECT_FALSE(f.core.RecalcLayer(-1));
    EXPECT_EQ(f.core.Project().Layers[0].Objects.size(), 7u);

    // An index shorter than its header is left alone.
    f.dir.write(QStringLiteral("layer.shx"), QByteArray(50, '\0'));
    EXPECT_FALSE(f.core.RecalcLayer(0));
    EXPECT_EQ(f.read(QStringLiteral("layer.shx")), QByteArray(50, '\0'));
}

TEST(LayerFiles, RecalcLayerLeavesAnIndexCutInsideAnEntry)
{
    LayerFolder f;
    Layer files = layer(1, {}, points(3));
    // 5 more bytes: the index ends inside a fourth entry, which names no
    // record. A damaged layer is not rewritten, not even its headers.
    files.shx.append("\0\0\0\x40\0", 5);
    testsupport::putBE32(files.shx, 24, 50);
    TMapLayer &l = f.add(files);
    l.Objects.resize(4);
    l.Objects[3].ShpOffset = 77;
    EXPECT_FALSE(f.core.RecalcLayer(0));
    const TMapLayer &r = f.core.Project().Layers[0];
    ASSERT_EQ(r.Objects.size(), 4u);
    EXPECT_EQ(r.Objects[3].ShpOffset, 77);
    EXPECT_EQ(f.read(QStringLiteral("layer.shp")), files.shp);
    EXPECT_EQ(f.read(QStringLiteral("layer.shx")), files.shx);
}

TEST(LayerFiles, RecalcLayerExtentsUsesLiveCurrentVersions)
{
    LayerFolder f;
    std::vector<QByteArray> recs;
    for (int i = 0; i < 150; ++i)
        recs.push_back(polyContent(3, {double(i), double(i), double(i + 1), double(i + 2)}, {0},
                                   {{double(i), double(i)}, {double(i + 1), double(i + 2)}}));
    const Layer files = layer(3, {}, recs);
    TMapLayer &l = f.add(files);
    const Layer jrn = journal({{150, polyContent(3, {-50, -60, -40, -30}, {0}, {{-50, -60}, {-40, -30}})}});
    f.dir.write(QStringLiteral("updates.mhp"), jrn.shp);
    for (size_t i = 0; i < recs.size(); ++i) {
        TMapObject o;
        o.ShpOffset = files.offsets[i];
        o.ShpLength = files.lengths[i] * 2;
        l.Objects.push_back(o);
    }
    l.Objects[149].Deleted = true;               // the box of 149..151 is left out
    l.Objects[148].JrnOffset = jrn.offsets[0];   // journalled: the new box counts
    l.Objects[147].ShpLength = 4;                // too short to hold an object
    l.Objects[0].Deleted = true;
    f.core.RecalcLayerExtents(0);
    const TMapLayer &r = f.core.Project().Layers[0];
    ASSERT_EQ(r.Blocks.size(), 2u);
    EXPECT_EQ(r.Blocks[0].XMin, 1);
    EXPECT_EQ(r.Blocks[0].XMax, 100);
    EXPECT_EQ(r.Blocks[0].YMax, 101);
    EXPECT_EQ(r.Blocks[1].XMin, -50);
    EXPECT_EQ(r.Blocks[1].YMin, -60);
    EXPECT_EQ(r.Blocks[1].XMax, 147);
    EXPECT_EQ(r.Blocks[1].YMax, 148);
    EXPECT_EQ(r.MtMinX, -50);
    EXPECT_EQ(r.MtMinY, -60);
    EXPECT_EQ(r.MtMaxX, 147);
    EXPECT_EQ(r.MtMaxY, 148);
    EXPECT_EQ(r.CenterX, 48.5);

    // Exactly 100 objects: the empty second block does not pull the extent to 0.
    l.Objects.resize(100);
    l.Objects[0].Deleted = false;
    f.core.RecalcLayerExtents(0);
    EXPECT_EQ(r.Blocks.size(), 2u);
    EXPECT_EQ(r.MtMinX, 1); // the bound 0 of object 0 counts as unset: object 1 replaces it
    EXPECT_EQ(r.MtMaxX, 100);
    EXPECT_EQ(r.MtMaxY, 101);

    // Missing files: nothing changes.
    TMapLayer before = r;
    QFile::remove(f.dir.file(QStringLiteral("layer.shx")));
    f.core.RecalcLayerExtents(0);
    EXPECT_EQ(r.MtMaxX, before.MtMaxX);
    EXPECT_EQ(r.Blocks.size(), before.Blocks.size());
}
