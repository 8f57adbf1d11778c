// Copy, paste, merge and split through the clipboard between layers made
// byte by byte.

#include "ExchangeFixtures.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

using exchange::poly;
using exchange::row;
using exchange::XY;

namespace {

const XY outer = {{100, 100}, {110, 100}, {110, 110}, {100, 110}, {100, 100}};
const XY inner = {{102, 102}, {102, 104}, {104, 104}, {104, 102}, {102, 102}};

QByteArray dbfText(const exchange::Workspace &ws, const QString &name, int row, int field)
{
    return fixtures::dbfValue(ws.file(name + QStringLiteral(".Dbf")), exchange::tableFields(), row, field).trimmed();
}

std::int32_t le32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<qint32>(b.constData() + at); }
std::int32_t be32(const QByteArray &b, qsizetype at) { return qFromBigEndian<qint32>(b.constData() + at); }

} // namespace

TEST(ClipboardExchange, CopyGivesTheBlockAndPasteRecreatesTheObjectInAnotherLayer)
{
    exchange::Workspace ws;
    const int parcels = ws.addLayer(QStringLiteral("parcels"), 5, {poly(5, {outer, inner})},
                                    {row("1", "20240101", "Поле Иванова", "12.50")});
    const int copies = ws.addLayer(QStringLiteral("copies"), 5);
    ws.select(parcels, 0);
    {
        platform::ScopedService<platform::DecimalSeparator> comma(u',');
        ws.core.CopyObjectsToClipboard();
    }
    EXPECT_EQ(ws.clipboard.text().toStdString(),
              std::string("Tolvane Object\r\n\r\nObject=1\r\nType=5\r\nParts=2\r\n"
                             "Part=1\r\nPoints=5\r\n100;100\r\n110;100\r\n110;110\r\n100;110\r\n100;100\r\nEndPart\r\n"
                             "Part=2\r\nPoints=5\r\n102;102\r\n102;104\r\n104;104\r\n104;102\r\n102;102\r\nEndPart\r\n"
                             "Fields=4\r\nID=1\r\nDATEEDIT=01.01.2024\r\nNAME=Поле Иванова\r\nAREA=12,5\r\nEndFields\r\n"
                             "EndObject"));

    // Pasted under the other separator: the same coordinates, one object of
    // two parts, its row with the values in their own case.
    ws.clipboard.setText(ws.clipboard.text().replace(QStringLiteral("100;100"), QStringLiteral("100,25;100")));
    platform::ScopedService<platform::DecimalSeparator> point(u'.');
    ws.core.PasteObjects(copies);
    const TMapLayer &L = ws.core.Project().Layers[copies];
    ASSERT_EQ(L.Objects.size(), 1u);
    TShpObject shape;
    ws.core.ReadObject(copies, 0, shape);
    XY pastedOuter = outer;
    pastedOuter.front().first = pastedOuter.back().first = 100.25;
    EXPECT_EQ(exchange::partsOf(shape), (std::vector<XY>{pastedOuter, inner}));

    const QByteArray shp = ws.file(QStringLiteral("copies.Shp"));
    const QByteArray content = exchange::recordContent(shp, 0);
    EXPECT_EQ(be32(shp, 100), 1);                      // record number
    EXPECT_EQ(le32(content, 0), 5);
    EXPECT_EQ(le32(content, 36), 2);                   // parts
    EXPECT_EQ(le32(content, 40), 10);                  // points
    EXPECT_EQ(le32(content, 48), 5);                   // second part starts at point 5
    const QByteArray shx = ws.file(QStringLiteral("copies.Shx"));
    ASSERT_EQ(shx.size(), 108);
    EXPECT_EQ(be32(shx, 100), 50);
    EXPECT_EQ(be32(shx, 104), content.size() / 2);

    EXPECT_EQ(dbfText(ws, QStringLiteral("copies"), 0, 0), "1");
    EXPECT_EQ(dbfText(ws, QStringLiteral("copies"), 0, 1), "20240315");   // today, not the copied date
    EXPECT_EQ(platform::fromCp1251(dbfText(ws, QStringLiteral("copies"), 0, 2)), QStringLiteral("Поле Иванова"));
    EXPECT_EQ(dbfText(ws, QStringLiteral("copies"), 0, 3).toDouble(), 12.5);

    // The new object is selected, the copied one no longer.
    ASSERT_EQ(ws.engine.selection.Entries.size(), 1u);
    EXPECT_EQ(ws.engine.selection.Entries[0].Layer, copies);
    EXPECT_EQ(ws.engine.selection.Entries[0].Index, 0);
    EXPECT_TRUE(L.ObjectsAppended);
    EXPECT_EQ(ws.core.JournalPos(), 1);
}

TEST(ClipboardExchange, MergeMakesOneObjectAndSplitOnePerPart)
{
    exchange::Workspace ws;
    const XY line = {{0, 0}, {5, 0}, {5, 5}};
    const int parcels = ws.addLayer(QStringLiteral("parcels"), 5, {poly(5, {outer}), poly(5, {outer, inner})},
                                    {row("1", "", "Первый", ""), row("2", "", "Два кольца", "3.25")});
    const int roads = ws.addLayer(QStringLiteral("roads"), 3, {poly(3, {line})}, {row("1", "", "Дорога", "")});
    const int target = ws.addLayer(QStringLiteral("target"), 5);

    // A line and a polygon merged into a polygon layer: one object of two
    // parts, the line's part not closed, the first object's attributes.
    ws.select(roads, 0);
    ws.select(parcels, 0);
    ws.core.CopyObjectsToClipboard();
    ws.core.MergeObjects(target);
    ASSERT_EQ(ws.core.Project().Layers[target].Objects.size(), 1u);
    TShpObject merged;
    ws.core.ReadObject(target, 0, merged);
    EXPECT_EQ(exchange::partsOf(merged), (std::vector<XY>{line, outer}));
    EXPECT_EQ(platform::fromCp1251(dbfText(ws, QStringLiteral("target"), 0, 2)), QStringLiteral("Дорога"));
    ASSERT_EQ(ws.engine.selection.Entries.size(), 1u);
    EXPECT_EQ(ws.engine.selection.Entries[0].Index, 0);

    // A two-part polygon split: two closed single rings, each with the row.
    ws.engine.ClearSelection();
    ws.select(parcels, 1);
    ws.core.CopyObjectsToClipboard();
    ws.core.SplitObjects(target);
    ASSERT_EQ(ws.core.Project().Layers[target].Objects.size(), 3u);
    for (int k = 1; k <= 2; ++k) {
        TShpObject piece;
        ws.core.ReadObject(target, k, piece);
        EXPECT_EQ(exchange::partsOf(piece), (std::vector<XY>{k == 1 ? outer : inner})) << k;
        EXPECT_EQ(platform::fromCp1251(dbfText(ws, QStringLiteral("target"), k, 2)), QStringLiteral("Два кольца")) << k;
        EXPECT_EQ(dbfText(ws, QStringLiteral("target"), k, 0), QByteArray::number(k + 1)) << k;
    }
    ASSERT_EQ(ws.engine.selection.Entries.size(), 2u);
    EXPECT_EQ(ws.engine.selection.Entries[0].Index, 1);
    EXPECT_EQ(ws.engine.selection.Entries[1].Index, 2);
}

TEST(ClipboardExchange, ForeignTextOrUnwritableLayerChangesNothing)
{
    exchange::Workspace ws;
    const int parcels = ws.addLayer(QStringLiteral("parcels"), 5, {poly(5, {outer})}, {row("1", "", "A", "")});
    const int target = ws.addLayer(QStringLiteral("target"), 5);
    ws.select(parcels, 0);
    const QByteArray shpBefore = ws.file(QStringLiteral("target.Shp"));

    for (const QString &text : {QString(), QStringLiteral("Привет"), QStringLiteral("tolvane object\r\nObject=1")}) {
        ws.clipboard.setText(text);
        ws.core.PasteObjects(target);
        ws.core.MergeObjects(target);
        ws.core.SplitObjects(target);
        EXPECT_TRUE(ws.core.Project().Layers[target].Objects.empty());
        ASSERT_EQ(ws.engine.selection.Entries.size(), 1u) << "the selection stays";
    }

    // A block pasted into a layer whose table is read-only: no object, the
    // files as they were, and an empty selection.
    ws.core.CopyObjectsToClipboard();
    const QString dbf = ws.dir.file(QStringLiteral("target.Dbf"));
    QFile::setPermissions(dbf, QFileDevice::ReadOwner);
    ws.core.PasteObjects(target);
    QFile::setPermissions(dbf, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(ws.core.Project().Layers[target].Objects.empty());
    EXPECT_EQ(ws.file(QStringLiteral("target.Shp")), shpBefore);
    EXPECT_TRUE(ws.engine.selection.Entries.empty());

    // Selection entries past the tables and objects without parts are left
    // out of the block, their numbers left as gaps.
    ws.select(parcels, 5);
    ws.select(parcels, 0);
    ws.core.CopyObjectsToClipboard();
    EXPECT_TRUE(ws.clipboard.text().contains(QStringLiteral("\r\nObject=2\r\n")));
    EXPECT_FALSE(ws.clipboard.text().contains(QStringLiteral("Object=1")));
}
