// Opening a layer's files into its record (object table, block extents,
// extent), the one rule by which records count in the extents, what opening
// finds wrong with damaged files, and the files kept open while a layer is
// open.

#include "mapdata/MapDataCore.h"

#include "support/LayerBytes.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace maptest;

namespace {

class LayerOpening : public ::testing::Test {
protected:
    LayerOpening() { core.SetWorkDir(work_); }

    // Opens a layer file of the work folder as a new layer of the core.
    int openLayer(const QString &name)
    {
        TMapLayer l;
        l.FileName = name;
        core.Project().Layers.push_back(l);
        const int i = static_cast<int>(core.Project().Layers.size()) - 1;
        check = core.OpenLayerFiles(i);
        EXPECT_TRUE(check.Read) << name.toStdString();
        return i;
    }
    TMapLayer &layer(int i) { return core.Project().Layers[static_cast<size_t>(i)]; }
    QString path(const QString &name) const { return QDir(work_).filePath(name); }

    testsupport::TempFolder dir_;
    QString work_ = dir_.path();
    MapDataCore core;
    TLayerCheck check;
};

} // namespace

TEST_F(LayerOpening, ObjectTableAndBlockExtents)
{
    // 250 squares; square 150 is a deleted object (no parts) whose stated
    // box lies far away, and must not extend its block.
    std::vector<QByteArray> contents;
    for (int i = 0; i < 250; ++i)
        contents.push_back(polyContent(5, {1000.0 + 20 * i, 5000, 1010.0 + 20 * i, 5010}, i == 150 ? 0 : 1));
    contents[150] = polyContent(5, {-9e6, -9e6, 9e6, 9e6}, 0);
    writeLayer(work_, QStringLiteral("parcels"), shapes(5, {1000, 5000, 5990, 5010}, contents), 250);

    const int i = openLayer(QStringLiteral("parcels.shp"));
    const TMapLayer &L = layer(i);
    ASSERT_EQ(L.Objects.size(), 250u);
    ASSERT_EQ(L.Blocks.size(), 3u);
    EXPECT_EQ(L.Objects[0].ShpOffset, 50);
    EXPECT_EQ(L.Objects[0].ShpLength, 44 + 4 + 80);
    EXPECT_EQ(L.Objects[1].ShpOffset, 50 + (8 + 128) / 2);
    struct Expect {
        double xMin, xMax;
    };
    const Expect blocks[3] = {{1000, 1010 + 20 * 99}, {1000 + 20 * 100, 1010 + 20 * 199}, {1000 + 20 * 200, 1010 + 20 * 249}};
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(L.Blocks[b].XMin, blocks[b].xMin) << b;
        EXPECT_EQ(L.Blocks[b].XMax, blocks[b].xMax) << b;
        EXPECT_EQ(L.Blocks[b].YMin, 5000) << b;
        EXPECT_EQ(L.Blocks[b].YMax, 5010) << b;
    }
    EXPECT_EQ(L.ShapeType, 5);
    EXPECT_EQ(L.MtMinX, 1000);
    EXPECT_EQ(L.MtMaxX, 5990);
    EXPECT_EQ(L.CenterX, 3495);
    EXPECT_EQ(L.CenterY, 5005);
}

TEST_F(LayerOpening, ZeroBoundsCountAsUnset)
{
    // A point at x = 0 does not hold the block's minimum at 0: the next
    // point replaces it.
    writeLayer(work_, QStringLiteral("pts"),
               shapes(1, {0, 0, 30, 40}, {pointContent(0, 10), pointContent(30, 40), pointContent(20, 5)}), 3);
    const TMapLayer &L = layer(openLayer(QStringLiteral("pts.shp")));
    ASSERT_EQ(L.Blocks.size(), 1u);
    EXPECT_EQ(L.Blocks[0].XMin, 20);
    EXPECT_EQ(L.Blocks[0].YMin, 5);
    EXPECT_EQ(L.Blocks[0].XMax, 30);
    EXPECT_EQ(L.Blocks[0].YMax, 40);
}

TEST_F(LayerOpening, IndexFilesThatDisagreeWithTheirHeader)
{
    std::vector<QByteArray> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back(pointContent(100 + i, 200 + i));
    ShapePair p = shapes(1, {100, 200, 109, 209}, ten);

    struct Case {
        const char *name;
        std::int32_t headerWords;   // the length the index header states
        int keepEntries;            // entries left in the file
        int extraBytes;             // a piece of an entry after them
        size_t objects;
    };
    const Case cases[] = {
        {"understated", 50 + 2 * 4, 10, 0, 10},   // the header says 2 entries, the file has 10
        {"overstated", 50 + 100 * 4, 3, 0, 3},    // the header says 100, the file has 3
        {"partial", 50 + 3 * 4, 3, 5, 3},         // 3 entries and 5 bytes of a fourth
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray shx = p.shx.left(100 + 8 * c.keepEntries) + QByteArray(c.extraBytes, '\x01');
        putBE32(shx, 24, c.headerWords);
        const QString base = QString::fromLatin1(c.name);
        writeLayer(work_, base, {p.shp, shx}, 10);
        const TMapLayer &L = layer(openLayer(base + QStringLiteral(".shp")));
        ASSERT_EQ(L.Objects.size(), c.objects);
        EXPECT_EQ(L.Objects.back().ShpLength, 20);
        EXPECT_EQ(L.Blocks.size(), 1u);
        EXPECT_EQ(L.Blocks[0].XMax, 100 + double(c.objects) - 1);
        // Against the table of 10 rows, and for the piece of an entry.
        EXPECT_EQ(check.Table, c.objects == 10 ? TLayerCheck::TableFits : TLayerCheck::TableRowsDiffer);
        EXPECT_EQ(check.IndexCut, c.extraBytes > 0);
        EXPECT_EQ(check.readOnly(), c.objects != 10);
    }
}

TEST_F(LayerOpening, RecordsCountInTheExtentsByOneRule)
{
    // A reference record in (1000 .. 1010, 5000 .. 5010) and one far away
    // that counts or not. Opening, the recalculation and the recalculation
    // of the extents take the same records.
    const Box ref{1000, 5000, 1010, 5010}, far{9000, 9000, 9010, 9010};
    QByteArray countsBeyond = polyContent(5, far);
    putLE32(countsBeyond, 40, 50); // 50 points stated, 5 there
    QByteArray otherType = polyContent(3, far);
    QByteArray textKind0 = textContent(far);
    putLE32(textKind0, 0, 0);
    struct Case {
        const char *name;
        std::int32_t type;
        QByteArray reference, record;
        bool counts;
    };
    const Case cases[] = {
        {"polygon", 5, polyContent(5, ref), polyContent(5, far), true},
        {"polygon without parts", 5, polyContent(5, ref), polyContent(5, far, 0), false},
        {"line in a polygon layer", 5, polyContent(5, ref), otherType, false},
        {"points beyond the record", 5, polyContent(5, ref), countsBeyond, false},
        {"head cut short", 5, polyContent(5, ref), polyContent(5, far).left(40), false},
        {"point", 1, pointContent(1000, 5000), pointContent(9010, 9010), true},
        {"null point", 1, pointContent(1000, 5000), pointContent(9010, 9010, 0), false},
        {"text", 8, textContent(ref), textContent(far), true},
        {"text of kind 0", 8, textContent(ref), textKind0, false},
        // Drawn into its box: counts without control points too.
        {"image without control points", 10, rasterContent(ref), rasterContent(far), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = QString::fromLatin1(c.name).replace(u' ', u'_');
        writeLayer(work_, base, shapes(c.type, ref, {c.reference, c.record}), 2);
        const int l = openLayer(base + QStringLiteral(".shp"));
        const double expected = c.counts ? 9010 : c.type == 1 ? 1000 : 1010;
        EXPECT_EQ(layer(l).Blocks[0].XMax, expected);
        EXPECT_EQ(layer(l).Blocks[0].XMin, 1000);
        ASSERT_TRUE(core.RecalcLayer(l));
        EXPECT_EQ(layer(l).Blocks[0].XMax, expected);
        EXPECT_EQ(layer(l).MtMaxX, expected); // the header's box, by the same rule
        core.RecalcLayerExtents(l);
        EXPECT_EQ(layer(l).Blocks[0].XMax, expected);
        EXPECT_EQ(layer(l).MtMaxX, expected);
        EXPECT_FALSE(check.damaged());
    }
}

TEST_F(LayerOpening, DamagedFilesAreFound)
{
    // Three squares of 136 bytes each (header and content) after the header.
    const ShapePair p = squares(3);
    struct Case {
        const char *name;
        QByteArray shp, shx;
        bool indexCut, recordsOutside;
    };
    QByteArray intoHeader = p.shx;
    putBE32(intoHeader, 100 + 8, 20); // entry 1 names word 20: inside the header
    const Case cases[] = {
        {"sound", p.shp, p.shx, false, false},
        {"last record cut", p.shp.chopped(30), p.shx, false, true},
        {"cut in the middle", p.shp.left(100 + 136 + 60), p.shx, false, true},
        {"entry into the header", p.shp, intoHeader, false, true},
        {"index cut", p.shp, p.shx + QByteArray(3, '\0'), true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = QString::fromLatin1(c.name).replace(u' ', u'_');
        writeLayer(work_, base, {c.shp, c.shx}, 3);
        const int l = openLayer(base + QStringLiteral(".shp"));
        EXPECT_EQ(check.IndexCut, c.indexCut);
        EXPECT_EQ(check.RecordsOutside, c.recordsOutside);
        EXPECT_EQ(check.readOnly(), c.indexCut || c.recordsOutside);
        EXPECT_EQ(layer(l).Objects.size(), 3u);
        // A damaged layer is not rewritten by the recalculation either.
        if (check.damaged()) {
            EXPECT_FALSE(core.RecalcLayer(l));
            EXPECT_EQ(readFile(path(base + QStringLiteral(".shp"))), c.shp);
            EXPECT_EQ(readFile(path(base + QStringLiteral(".shx"))), c.shx);
        }
    }
}

TEST_F(LayerOpening, TablesAreCheckedAgainstTheirFilesAndTheObjects)
{
    // Three squares; row k of the table belongs to object k.
    auto withCount = [](QByteArray table, int count) {
        putLE32(table, 4, count);
        return table;
    };
    struct Case {
        const char *name;
        QByteArray table;
        TLayerCheck::TableState state;
        bool readOnly;
    };
    const Case cases[] = {
        {"fits", idTable(3), TLayerCheck::TableFits, false},
        // The header counts 5, the file holds the 3 rows of the objects.
        {"header over", withCount(idTable(3), 5), TLayerCheck::TableHeaderOver, false},
        // Rows past the header's count would be written over.
        {"header under", withCount(idTable(3), 1), TLayerCheck::TableHeaderUnder, true},
        {"more rows", idTable(4), TLayerCheck::TableRowsDiffer, true},
        {"fewer rows", idTable(2), TLayerCheck::TableRowsDiffer, true},
        {"file cut", idTable(3).left(65 + 11 * 2 + 4), TLayerCheck::TableRowsDiffer, true},
        {"no table", QByteArray("not a table"), TLayerCheck::TableUnreadable, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = QString::fromLatin1(c.name).replace(u' ', u'_');
        writeLayer(work_, base, squares(3), 3);
        writeFile(path(base + QStringLiteral(".dbf")), c.table);
        openLayer(base + QStringLiteral(".shp"));
        EXPECT_EQ(check.Table, c.state);
        EXPECT_EQ(check.readOnly(), c.readOnly);
    }
}

TEST_F(LayerOpening, KeptFilesFollowTheWritersAndStayWithinTheFile)
{
    writeLayer(work_, QStringLiteral("parcels"), squares(3), 3);
    const int l = openLayer(QStringLiteral("parcels.shp"));
    TShpObject s;
    core.ReadObject(l, 2, s);
    ASSERT_EQ(s.Parts.size(), 1u);
    EXPECT_EQ(s.XMin, 1040);

    // Another program writes the file anew in place: the next walk over the
    // layer sees it.
    writeLayer(work_, QStringLiteral("parcels"), squares(5), 5);
    ASSERT_TRUE(core.RecalcLayer(l));
    ASSERT_EQ(layer(l).Objects.size(), 5u);
    core.ReadObject(l, 4, s);
    EXPECT_EQ(s.XMin, 1080);

    // A writer of this program appends in place and rewrites the header: the
    // next read sees both, with no walk between.
    layer(l).Edited = true;
    layer(l).MapType = mtShapeLayer;
    core.NewObject().clearFigure();
    for (auto [x, y] : {std::pair{2000.0, 6000.0}, {2010, 6000}, {2010, 6010}}) {
        TNewPoint pt;
        pt.Point.X = x;
        pt.Point.Y = y;
        core.NewObject().Points.push_back(pt);
    }
    ASSERT_TRUE(core.CommitNewObject(l, true, false));
    core.ReadObject(l, 5, s);
    ASSERT_EQ(s.Parts.size(), 1u);
    EXPECT_EQ(s.XMax, 2010);

    // Replaced by rename (as a save swaps files): the new file is read.
    const ShapePair other = shapes(5, {3000, 7000, 3010, 7010}, {polyContent(5, {3000, 7000, 3010, 7010})});
    writeFile(path(QStringLiteral("next.shp")), other.shp);
    mapdata::defaultFileOps().renameFile(path(QStringLiteral("next.shp")), path(QStringLiteral("parcels.shp")));
    layer(l).Objects.resize(1);
    layer(l).Objects[0].JrnOffset = 0;
    core.ReadObject(l, 0, s);
    EXPECT_EQ(s.XMax, 3010);

    // Cut short under the kept handle: reads stay within what the file holds.
    QFile::resize(path(QStringLiteral("parcels.shp")), 120);
    TLayerStream st;
    core.OpenLayerStream(st, l);
    core.ReadShapeRecord(st, l, 0);
    EXPECT_EQ(st.PolyHead.NumPoints, 0);
    core.CloseLayerStream(st);
    core.ReadObject(l, 0, s);
    EXPECT_TRUE(s.Parts.empty());
}

TEST(KeptFileReading, WalksEitherWayHandOutTheBytesAtTheirPlace)
{
    // Three windows and a bit, each byte telling its place.
    const qint64 W = mapdata::KeptFile::WindowSize;
    const qint64 size = 3 * W + 1000;
    QByteArray bytes(size, '\0');
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    testsupport::TempFolder dir;
    mapdata::KeptFile file;
    ASSERT_TRUE(file.open(dir.write(QStringLiteral("records.shp"), bytes)));
    struct Step {
        qint64 pos, n;
    };
    // Forwards, backwards from the end (as the latest record of a kind is
    // looked for), across window edges, near the start, past the end.
    const std::vector<std::vector<Step>> walks = {
        {{0, 100}, {100, 500}, {W - 50, 100}, {2 * W + 3, 700}},
        {{size - 432, 432}, {size - 1000, 432}, {3 * W - 10, 40}, {W + 5, 432}, {W - 430, 432}, {10, 432}, {0, 10}},
        {{2 * W, 100}, {2 * W - 100, 150}, {W / 2, 2 * W}, {5, 5}},
        {{size - 10, 100}, {size, 10}, {size + 5, 10}},
    };
    for (size_t w = 0; w < walks.size(); ++w) {
        for (const Step &s : walks[w]) {
            const QByteArrayView v = file.read(s.pos, s.n);
            const qint64 expected = std::clamp<qint64>(size - s.pos, 0, s.n);
            ASSERT_EQ(v.size(), expected) << "walk " << w << " at " << s.pos;
            EXPECT_TRUE(v == QByteArrayView(bytes.mid(s.pos, expected))) << "walk " << w << " at " << s.pos;
        }
    }
}
