// Editing selected objects as a whole: copies appended to the current
// layer's files, deletion, reversal and restyling through the journal.

#include "EditingFixtures.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using edittest::Project;
using fixtures::Box;
using fixtures::Pt;

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

// A polygon with a hole: outer ring of 5 points, inner ring of 5.
const Box parcelBox{100, 100, 200, 200};
const std::vector<Pt> parcelPoints{{100, 100}, {100, 200}, {200, 200}, {200, 100}, {100, 100},
                                   {130, 130}, {170, 130}, {170, 170}, {130, 170}, {130, 130}};
QByteArray parcel(std::int32_t type = 5) { return fixtures::polyContent(type, parcelBox, {0, 5}, parcelPoints); }

QByteArray parcelRow() { return editfix::row("1", "20200101", "Участок 7", "12.50"); }

void makeReadOnly(const QString &path) { QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup); }

// The three files of a layer.
std::vector<QByteArray> triple(const Project &p, const QString &name)
{
    return {p.read(name + QStringLiteral(".shp")), p.read(name + QStringLiteral(".shx")),
            p.read(name + QStringLiteral(".dbf"))};
}

} // namespace

TEST(MoveSelection, DuplicatingAPolygonAppendsItsRecordIndexEntryAndRow)
{
    Project p;
    const int l = p.addLayer(QStringLiteral("parcels"), 5, parcelBox, {parcel()}, editfix::templateDbf({parcelRow()}));
    p.map.Project().ActiveLayer = l;
    p.select(l, 0);
    p.map.MoveSelection(0, 0);

    // Record 2 right after record 1 (50 + 4 + 106 words), the same content.
    const QByteArray shp = p.read(QStringLiteral("parcels.shp"));
    const QByteArray shx = p.read(QStringLiteral("parcels.shx"));
    ASSERT_EQ(shp.size(), 100 + 2 * (8 + 212));
    EXPECT_EQ(edittest::be32(shp, 320), 2);          // record number
    EXPECT_EQ(edittest::be32(shp, 324), 106);        // content length in words
    EXPECT_EQ(shp.mid(328), parcel());
    ASSERT_EQ(shx.size(), 116);
    EXPECT_EQ(edittest::be32(shx, 108), 160);        // offset in words
    EXPECT_EQ(edittest::be32(shx, 112), 106);
    // Both headers: own length in words, the box.
    EXPECT_EQ(edittest::be32(shp, 24), shp.size() / 2);
    EXPECT_EQ(edittest::be32(shx, 24), shx.size() / 2);
    for (const QByteArray *h : {&shp, &shx}) {
        EXPECT_EQ(edittest::leDouble(*h, 36), 100);
        EXPECT_EQ(edittest::leDouble(*h, 44), 100);
        EXPECT_EQ(edittest::leDouble(*h, 52), 200);
        EXPECT_EQ(edittest::leDouble(*h, 60), 200);
    }
    const fixtures::Layer expected = fixtures::layer(5, parcelBox, {parcel(), parcel()});
    EXPECT_EQ(shp, expected.shp);
    EXPECT_EQ(shx, expected.shx);

    // Row 2 copies the fields by name; ID = 2 and DATEEDIT today. The header
    // is 32 + 4 × 32 + 1 = 161 bytes, a row 1 + 10 + 8 + 20 + 12 = 51.
    const QByteArray dbf = p.read(QStringLiteral("parcels.dbf"));
    EXPECT_EQ(edittest::le32(dbf, 4), 2);
    EXPECT_EQ(dbf.mid(212, 1), QByteArray(" "));
    EXPECT_EQ(dbf.mid(213, 10), QByteArray("         2"));
    EXPECT_EQ(dbf.mid(223, 8), QByteArray("20240315"));
    EXPECT_EQ(platform::fromCp1251(dbf.mid(231, 20)).trimmed(), u8("Участок 7"));
    EXPECT_EQ(dbf.mid(251, 12), QByteArray("       12.50"));
    EXPECT_EQ(dbf, editfix::templateDbf({parcelRow(), editfix::row("2", "20240315", "Участок 7", "12.50")}, 124,
                                        3, 15));

    // The object table, the selection on the copy, the journal.
    const TMapLayer &L = p.layer(l);
    ASSERT_EQ(L.Objects.size(), 2u);
    EXPECT_EQ(L.Objects[1].ShpOffset, 160);
    EXPECT_EQ(L.Objects[1].ShpLength, 212);
    EXPECT_TRUE(L.Objects[1].Appended);
    EXPECT_TRUE(L.ObjectsAppended);
    ASSERT_EQ(p.map.Selection().Entries.size(), 1u);
    const TSelObject &e = p.map.Selection().Entries[0];
    EXPECT_EQ(e.Layer, l);
    EXPECT_EQ(e.Index, 1);
    EXPECT_EQ(e.XMin, 100);
    EXPECT_EQ(e.YMax, 200);
    EXPECT_EQ(p.journalContent(l, 1), parcel());

    // Undo takes the copy back: it is deleted.
    p.map.UndoEdit();
    EXPECT_TRUE(p.object(l, 1).Deleted);

    // Another program reads the layer with its copy.
    if (QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty())
        GTEST_SKIP() << "ogrinfo is not installed";
    QProcess ogr;
    ogr.start(QStringLiteral("ogrinfo"),
              {QStringLiteral("-ro"), QStringLiteral("-al"), p.path(QStringLiteral("parcels.shp"))});
    ASSERT_TRUE(ogr.waitForFinished(60000));
    const QString out = QString::fromUtf8(ogr.readAllStandardOutput());
    const QString err = QString::fromUtf8(ogr.readAllStandardError());
    EXPECT_EQ(ogr.exitCode(), 0) << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("ERROR"))) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Feature Count: 2"))) << out.toStdString();
    const QString copy = out.mid(out.indexOf(QStringLiteral("OGRFeature(parcels):1")));
    EXPECT_TRUE(copy.contains(QRegularExpression(QStringLiteral("ID \\(\\w+\\) = 2\\b")))) << copy.toStdString();
    EXPECT_TRUE(copy.contains(QStringLiteral("DATEEDIT (Date) = 2024/03/15"))) << copy.toStdString();
    EXPECT_TRUE(copy.contains(QStringLiteral("POLYGON ((100 100,100 200,200 200,200 100,100 100),"
                                             "(130 130,170 130,170 170,130 170,130 130))")))
        << copy.toStdString();
}

TEST(MoveSelection, ACopyWithAShiftGoesToTheCurrentLayerAndLeavesTheSource)
{
    Project p;
    const int src = p.addLayer(QStringLiteral("parcels"), 5, parcelBox, {parcel()},
                               editfix::templateDbf({parcelRow()}));
    const int dest = p.addLayer(QStringLiteral("copies"), 5);
    const std::vector<QByteArray> sourceBefore = triple(p, QStringLiteral("parcels"));
    p.map.Project().ActiveLayer = dest;
    p.select(src, 0);
    p.map.MoveSelection(10, -5);

    std::vector<Pt> moved;
    for (const Pt &pt : parcelPoints)
        moved.push_back({pt.x + 10, pt.y - 5});
    const Box box{110, 95, 210, 195};
    const fixtures::Layer expected = fixtures::layer(5, box, {fixtures::polyContent(5, box, {0, 5}, moved)});
    EXPECT_EQ(p.read(QStringLiteral("copies.shp")), expected.shp); // record 1 at word 50, header box = its box
    EXPECT_EQ(p.read(QStringLiteral("copies.shx")), expected.shx);
    EXPECT_EQ(p.read(QStringLiteral("copies.dbf")),
              editfix::templateDbf({editfix::row("1", "20240315", "Участок 7", "12.50")}, 124, 3, 15));
    EXPECT_EQ(triple(p, QStringLiteral("parcels")), sourceBefore);

    const TMapLayer &D = p.layer(dest);
    EXPECT_EQ(D.MtMinX, 110);
    EXPECT_EQ(D.MtMinY, 95);
    EXPECT_EQ(D.MtMaxX, 210);
    ASSERT_EQ(D.Blocks.size(), 1u);
    EXPECT_EQ(D.Blocks[0].YMax, 195);
    EXPECT_EQ(p.map.Selection().Entries[0].Layer, dest);
    EXPECT_EQ(p.map.Selection().Entries[0].XMin, 110);
    // The frame follows the copy.
    EXPECT_EQ(p.map.Selection().MinX, 110);
    EXPECT_EQ(p.map.Selection().MaxY, 195);
}

TEST(MoveSelection, RecordsArePairedByTheDestinationType)
{
    const Box lineBox{0, 0, 50, 40};
    const std::vector<Pt> linePoints{{0, 0}, {50, 40}};
    struct Case {
        const char *name;
        std::int32_t sourceType;
        QByteArray source;
        std::int32_t destType;
        QByteArray written;   // content expected; empty: nothing written
    };
    // A line with heights and measures (777, 778 in both blocks), and the
    // blocks as a copy writes them: the range of the values, then the values.
    const QByteArray heights = fixtures::polyContentZM(13, lineBox, {0}, linePoints, true, true);
    QByteArray copied = fixtures::polyContent(13, lineBox, {0}, linePoints);
    for (int block = 0; block < 2; ++block)
        for (double v : {777.0, 778.0, 777.0, 778.0})
            testsupport::putLEDouble(copied, copied.size(), v);
    const std::vector<Case> cases = {
        {"polygon into a polyline layer", 5, parcel(), 3, parcel(3)},
        {"polygon into a polyline Z layer", 5, parcel(), 13, {}},
        {"polyline Z with measures into a polyline Z layer", 13, heights, 13, copied},
        {"polyline Z with measures into a polyline layer", 13, heights, 3,
         fixtures::polyContent(3, lineBox, {0}, linePoints)},
        {"polyline into a polygon layer", 3, fixtures::polyContent(3, lineBox, {0}, linePoints), 5, {}},
        {"point into a polyline layer", 1, fixtures::pointContent(1, 7, 8), 3, {}},
        {"point into a point layer", 1, fixtures::pointContent(1, 7, 8), 1, fixtures::pointContent(1, 7, 8)},
        {"polygon into an image layer", 5, parcel(), 10, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Project p;
        const int src = p.addLayer(QStringLiteral("source"), c.sourceType, Box{}, {c.source});
        const int dest = p.addLayer(QStringLiteral("dest"), c.destType);
        const std::vector<QByteArray> before = triple(p, QStringLiteral("dest"));
        p.map.Project().ActiveLayer = dest;
        p.select(src, 0);
        p.map.MoveSelection(0, 0);
        const QByteArray shp = p.read(QStringLiteral("dest.shp"));
        if (c.destType == 13 && c.sourceType != 13) {
            // The Z layer's record carries its own type, with the Z block.
            EXPECT_EQ(edittest::le32(shp, 108), 13);
            EXPECT_EQ(edittest::le32(shp, 144), 2);
            EXPECT_EQ(p.map.Selection().Entries[0].Layer, dest);
        } else if (c.written.isEmpty()) {
            EXPECT_EQ(triple(p, QStringLiteral("dest")), before);
            EXPECT_TRUE(p.layer(dest).Objects.empty());
            // The entry stays on the object that was to be copied.
            EXPECT_EQ(p.map.Selection().Entries[0].Layer, src);
            EXPECT_EQ(p.map.Selection().Entries[0].Index, 0);
        } else {
            EXPECT_EQ(shp.mid(108), c.written);
            EXPECT_EQ(p.map.Selection().Entries[0].Layer, dest);
        }
    }
}

TEST(MoveSelection, AnObjectOfAPointLayerBecomesAPointOfATextLayer)
{
    Project p;
    const int src = p.addLayer(QStringLiteral("wells"), 1, Box{}, {fixtures::pointContent(1, 30, 40)});
    const int dest = p.addLayer(QStringLiteral("cosmetic"), 8);
    TMapLayer &S = p.layer(src);
    S.PenColor = 0x123456;
    S.PenStyle = 3;
    S.PenWidth = 0.25;
    S.BrushColor = 0xABCDEF;
    S.BrushType = 2;
    p.map.Project().ActiveLayer = dest;
    p.select(src, 0);
    p.map.MoveSelection(0, 0);

    const QByteArray c = p.read(QStringLiteral("cosmetic.shp")).mid(108);
    ASSERT_EQ(c.size(), 432 + 4 + 24);
    EXPECT_EQ(edittest::le32(c, 0), 1);            // kind: point
    EXPECT_EQ(edittest::le32(c, 315), 0x123456);   // pen colour
    EXPECT_EQ(edittest::le32(c, 319), 25);         // 0.25 mm as 0.01 mm
    EXPECT_EQ(edittest::le32(c, 323), 3);
    EXPECT_EQ(edittest::le32(c, 327), 0xABCDEF);
    EXPECT_EQ(edittest::le32(c, 331), 2);
    EXPECT_EQ(edittest::le32(c, 335), 1);          // point style
    EXPECT_EQ(edittest::le32(c, 424), 1);
    EXPECT_EQ(edittest::le32(c, 428), 1);
    EXPECT_EQ(edittest::leDouble(c, 436), 30);
    EXPECT_EQ(edittest::leDouble(c, 444), 40);
    EXPECT_EQ(edittest::le32(c, 452), 0);          // no third value
    // Every other byte of the head is 0.
    QByteArray rest = c.left(432);
    for (int at : {0, 315, 319, 323, 327, 331, 335, 360, 368, 376, 384, 424, 428})
        rest.replace(at, at >= 360 && at < 392 ? 8 : 4, QByteArray(at >= 360 && at < 392 ? 8 : 4, '\0'));
    EXPECT_EQ(rest, QByteArray(432, '\0'));
}

TEST(MoveSelection, AReadOnlyOrMissingDestinationWritesNothing)
{
    for (const bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "missing table" : "read-only table");
        Project p;
        const int src = p.addLayer(QStringLiteral("parcels"), 5, parcelBox, {parcel()});
        const int dest = p.addLayer(QStringLiteral("copies"), 5);
        if (missing)
            QFile::remove(p.path(QStringLiteral("copies.dbf")));
        else
            makeReadOnly(p.path(QStringLiteral("copies.dbf")));
        const std::vector<QByteArray> before = triple(p, QStringLiteral("copies"));
        p.map.Project().ActiveLayer = dest;
        p.select(src, 0);
        p.map.MoveSelection(0, 0); // no message: the test's answers refuse any
        EXPECT_EQ(triple(p, QStringLiteral("copies")), before);
        EXPECT_TRUE(p.layer(dest).Objects.empty());
        EXPECT_EQ(p.map.Selection().Entries[0].Layer, src);
        EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("updates.mhp"))));
    }
}

TEST(MoveSelection, ACopyInPlaceOfAProjectedLayerKeepsTheStoredPoints)
{
    // A line stored in degrees, shown in map units ten-thousands wide.
    Project p;
    edittest::ScaleLibrary library;
    p.map.setProjectionLibrary(&library);
    const Box box{30.1, 50.2, 30.3, 50.45};
    const QByteArray line = fixtures::polyContent(3, box, {0}, {{30.1, 50.2}, {30.3, 50.45}});
    const int l = p.addLayer(QStringLiteral("track"), 3, box, {line});
    p.layer(l).VykProject = true;
    p.layer(l).StrProject = QStringLiteral("+proj=test");
    p.map.Project().ActiveLayer = l;
    p.select(l, 0);
    p.map.MoveSelection(0, 0);
    // Bit for bit the stored record, in the layer and in the journal.
    EXPECT_EQ(p.read(QStringLiteral("track.shp")).mid(100 + 8 + line.size() + 8), line);
    EXPECT_EQ(p.journalContent(l, 1), line);

    // Shifted by map units, the copy is converted back into degrees.
    p.map.Selection().Entries.clear();
    p.select(l, 0);
    p.map.MoveSelection(1000, 0);
    const TShpObject copy = p.shape(l, 2);
    const TShpObject original = p.shape(l, 0);
    ASSERT_EQ(copy.Parts.size(), 1u);
    EXPECT_NEAR(copy.Parts[0].Points[0].X, original.Parts[0].Points[0].X + 1000, 1e-6);
    EXPECT_NEAR(copy.Parts[0].Points[0].Y, original.Parts[0].Points[0].Y, 1e-6);
    const QByteArray stored = p.journalContent(l, 2);
    EXPECT_NEAR(edittest::leDouble(stored, 48), 30.1 + 1000 / 1e6 * 57.29577951308232, 1e-9);
}

TEST(DeleteSelection, OnlyObjectsOfEditablePlainAndTextLayersGo)
{
    Project p;
    const QByteArray line = fixtures::polyContent(3, Box{0, 0, 1, 1}, {0}, {{0, 0}, {1, 1}});
    const int editable = p.addLayer(QStringLiteral("a"), 3, Box{}, {line});
    const int locked = p.addLayer(QStringLiteral("b"), 3, Box{}, {line});
    const int cadastral = p.addLayer(QStringLiteral("c"), 3, Box{}, {line});
    p.layer(locked).Edited = false;
    p.layer(cadastral).MapType = 5;
    for (int l : {editable, locked, cadastral})
        p.select(l, 0);
    p.map.DeleteSelection();
    EXPECT_TRUE(p.object(editable, 0).Deleted);
    EXPECT_TRUE(p.layer(editable).ObjectsDeleted);
    EXPECT_NE(p.object(editable, 0).JrnOffset, 0);
    EXPECT_TRUE(p.shape(editable, 0).Parts.empty());
    for (int l : {locked, cadastral}) {
        EXPECT_FALSE(p.object(l, 0).Deleted);
        EXPECT_EQ(p.object(l, 0).JrnOffset, 0);
    }
    EXPECT_TRUE(p.map.Selection().Entries.empty());
}

TEST(ReverseSelection, WholePointsChangePlacesInEveryPart)
{
    Project p;
    // A picture with three control points: each keeps its pixel.
    const QByteArray image = fixtures::rasterContent(10, Box{0, 0, 100, 50}, "sheet.bmp", 0, 100, 50,
                                                     {{0, 50, 0, 0}, {100, 0, 100, 50}, {100, 50, 100, 0}});
    const int images = p.addLayer(QStringLiteral("images"), 10, Box{0, 0, 100, 50}, {image});
    const QByteArray line = fixtures::polyContent(3, Box{0, 0, 3, 3}, {0, 4},
                                                  {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {9, 9}});
    const int lines = p.addLayer(QStringLiteral("lines"), 3, Box{}, {line});
    const int locked = p.addLayer(QStringLiteral("locked"), 3, Box{}, {line});
    p.layer(locked).Edited = false;
    for (int l : {images, lines, locked})
        p.select(l, 0);
    p.map.ReverseSelection();

    using V = std::vector<std::vector<std::pair<double, double>>>;
    EXPECT_EQ(edittest::pointsOf(p.shape(lines, 0)), (V{{{3, 3}, {2, 2}, {1, 1}, {0, 0}}, {{9, 9}}}));
    EXPECT_TRUE(p.object(lines, 0).Modified);
    const TShpObject picture = p.shape(images, 0);
    EXPECT_EQ(edittest::pointsOf(picture), (V{{{100, 50}, {100, 0}, {0, 50}}}));
    EXPECT_EQ(edittest::pixelsOf(picture),
              (std::vector<std::pair<std::int32_t, std::int32_t>>{{100, 0}, {100, 50}, {0, 0}}));
    EXPECT_EQ(p.object(locked, 0).JrnOffset, 0);
    EXPECT_EQ(p.map.Selection().Entries.size(), 3u);
}

TEST(ApplyStyleToSelection, TextsKeepTheirOwnStyleButForTheFieldsNamed)
{
    Project p;
    fixtures::TextFields one;
    one.text = platform::toCp1251(u8("Один"));
    one.fontName = "Arial";
    one.textColor = 0x0000FF;
    fixtures::TextFields two = one;
    two.text = platform::toCp1251(u8("Два"));
    two.textColor = 0x00FF00;
    const int l = p.addLayer(QStringLiteral("texts"), 8, Box{},
                             {fixtures::textContent(one, {0}, {{1000, 1000}}),
                              fixtures::textContent(two, {0}, {{1010, 990}})});
    p.select(l, 0);
    p.select(l, 1);
    // The caller stores the new values in the template, then names them.
    p.map.Template().FontSize = 20;
    p.map.Template().Rotate = 45;
    p.map.Template().Text = QStringLiteral("not copied");
    p.map.ApplyStyleToSelection({2, 6, 18});

    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        const QByteArray c = p.journalContent(l, i);
        ASSERT_GE(c.size(), 432);
        EXPECT_EQ(platform::fromCp1251(c.mid(4, 200)).section(QChar(0), 0, 0), u8(i == 0 ? "Один" : "Два"));
        EXPECT_EQ(edittest::le32(c, 274), 20);
        EXPECT_EQ(edittest::le32(c, 280), 45);
        EXPECT_EQ(edittest::le32(c, 295), i == 0 ? 0x0000FF : 0x00FF00);
        // The box is the text laid out in the new size at its anchor.
        TTextRecord laid;
        laid.Kind = okText;
        laid.Text = u8(i == 0 ? "Один" : "Два");
        laid.FontName = QStringLiteral("Arial");
        laid.FontSize = 20;
        laid.Rotate = 45;
        laid.Transparent = 1;
        laid.Symbol = u'l';
        laid.TextColor = i == 0 ? 0x0000FF : 0x00FF00;
        laid.BgTextColor = 0xFFFFFF;
        laid.TextAlign = 2;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        p.map.LayoutTextObject(laid, i == 0 ? 1000 : 1010, i == 0 ? 1000 : 990, x0, y0, x1, y1);
        EXPECT_EQ(edittest::leDouble(c, 360), x0);
        EXPECT_EQ(edittest::leDouble(c, 384), y1);
        EXPECT_EQ(p.map.Selection().Entries[static_cast<size_t>(i)].XMin, x0);
        EXPECT_TRUE(p.object(l, i).Modified);
    }
    // The template holds the last text's own head with the fields set.
    EXPECT_EQ(p.map.Template().Text, u8("Два"));
    EXPECT_EQ(p.map.Template().FontSize, 20);
    EXPECT_EQ(p.map.Template().TextColor, 0x00FF00);
    // The pivot is the middle of the last text's box.
    const TSelObject &last = p.map.Selection().Entries[1];
    EXPECT_DOUBLE_EQ(p.map.Selection().PivotX, last.XMin + (last.XMax - last.XMin) / 2);
}

TEST(ApplyStyleToSelection, UnknownCodesAndLockedLayersChangeNothing)
{
    Project p;
    fixtures::TextFields one;
    one.text = "A";
    one.fontName = "Arial";
    const QByteArray content = fixtures::textContent(one, {0}, {{1000, 1000}});
    const int l = p.addLayer(QStringLiteral("texts"), 8, Box{}, {content});
    const int locked = p.addLayer(QStringLiteral("locked"), 8, Box{}, {content});
    p.layer(locked).Edited = false;
    p.select(l, 0);
    p.select(locked, 0);
    p.map.Template().FontSize = 99;
    p.map.ApplyStyleToSelection({18, 200});
    EXPECT_EQ(edittest::le32(p.journalContent(l, 0), 274), 12);
    EXPECT_EQ(p.object(locked, 0).JrnOffset, 0);
}

TEST(MoveSelection, AFailedWriteAtAnyStepLeavesTheLayerAsItWas)
{
    auto project = [](Project &p) {
        const int l = p.addLayer(QStringLiteral("parcels"), 5, parcelBox, {parcel()},
                                 editfix::templateDbf({parcelRow()}));
        p.map.Project().ActiveLayer = l;
        p.select(l, 0);
        // A journal that already holds an entry.
        p.map.ReverseSelection();
        return l;
    };
    int total = 0;
    {
        Project p;
        project(p);
        editfix::FaultyOps ops;
        p.map.setFileOps(&ops);
        p.map.MoveSelection(0, 0);
        total = ops.steps;
        ASSERT_GE(total, 5) << ops.log.join(u',').toStdString();
    }
    for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(n);
        Project p;
        const int l = project(p);
        const auto before = editfix::folderState(p.dir.path());
        editfix::FaultyOps ops;
        ops.failAt = n;
        p.map.setFileOps(&ops);
        editfix::MessageLog messages;
        p.map.MoveSelection(0, 0);
        ASSERT_EQ(messages.texts.size(), 1) << ops.log.join(u',').toStdString();
        // The layer files or the journal failed: all is as before, and said
        // so; the selection stays on the object. A copy kept without its
        // journal version could not be taken back by undo.
        EXPECT_TRUE(messages.texts[0].startsWith(u8("Невозможно записать слой ")) ||
                    messages.texts[0].startsWith(u8("Невозможно записать журнал изменений ")))
            << messages.texts[0].toStdString();
        EXPECT_EQ(editfix::folderState(p.dir.path()), before) << ops.log.join(u',').toStdString();
        EXPECT_EQ(p.layer(l).Objects.size(), 1u);
        EXPECT_EQ(p.map.Selection().Entries[0].Index, 0);
    }
}

TEST(MoveSelection, ATableTheEngineCannotOpenTakesTheRecordBack)
{
    Project p;
    const int src = p.addLayer(QStringLiteral("parcels"), 5, parcelBox, {parcel()});
    const int dest = p.addLayer(QStringLiteral("copies"), 5);
    p.dir.write(QStringLiteral("copies.dbf"), QByteArray("not a table"));
    const auto before = editfix::folderState(p.dir.path());
    p.map.Project().ActiveLayer = dest;
    p.select(src, 0);
    EXPECT_ANY_THROW(p.map.MoveSelection(0, 0));
    EXPECT_EQ(editfix::folderState(p.dir.path()), before);
    EXPECT_TRUE(p.layer(dest).Objects.empty());
}
