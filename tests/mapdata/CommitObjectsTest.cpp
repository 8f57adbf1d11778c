#include "EditFixtures.h"

#include "platform/db/DbTypes.h"

#include <QFile>

#include <gtest/gtest.h>

using editfix::EditProject;
using fixtures::Box;
using fixtures::Pt;

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

// The row of a committed object on the test day, with its number.
QByteArray todayRow(const char *id, const char *name = "", const char *area = "")
{
    return editfix::row(id, "20240315", name, area);
}

// The template table holding rows, its header dated the test day.
QByteArray tableOf(const std::vector<QByteArray> &rows) { return editfix::templateDbf(rows, 124, 3, 15); }

void makeReadOnly(const QString &path) { QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup); }

} // namespace

TEST(CommitNewObject, OpenRingIntoAnEmptyPolygonLayer)
{
    EditProject p;
    const int l = p.addLayer(QStringLiteral("parcels"), 5);
    ASSERT_TRUE(p.commit(l, {{100, 100}, {200, 100}, {200, 200}}));

    // Record 1 at word 50, the ring closed by its first point.
    const Box box{100, 100, 200, 200};
    const QByteArray content = fixtures::polyContent(5, box, {0}, {{100, 100}, {200, 100}, {200, 200}, {100, 100}});
    const fixtures::Layer expected = fixtures::layer(5, box, {content});
    EXPECT_EQ(p.read(QStringLiteral("parcels.shp")), expected.shp);
    EXPECT_EQ(p.read(QStringLiteral("parcels.shx")), expected.shx);
    EXPECT_EQ(p.read(QStringLiteral("parcels.dbf")), tableOf({todayRow("1")}));

    const TMapLayer &L = p.core.Project().Layers[0];
    ASSERT_EQ(L.Objects.size(), 1u);
    EXPECT_EQ(L.Objects[0].ShpOffset, 50);
    EXPECT_EQ(L.Objects[0].ShpLength, 112);
    EXPECT_EQ(L.MtMinX, 100);
    EXPECT_EQ(L.MtMaxY, 200);
    ASSERT_EQ(L.Blocks.size(), 1u);
    EXPECT_EQ(L.Blocks[0].XMax, 200);
    EXPECT_TRUE(L.ObjectsAppended);

    // The only selected object.
    ASSERT_EQ(p.engine.selection.Entries.size(), 1u);
    EXPECT_EQ(p.engine.selection.Entries[0].Layer, 0);
    EXPECT_EQ(p.engine.selection.Entries[0].Index, 0);
    EXPECT_EQ(p.engine.selection.MaxX, 200);
    EXPECT_EQ(p.engine.selection.CenterX, 150);

    // Journalled with previous place (0, 0), appended.
    EXPECT_EQ(p.read(QStringLiteral("updates.mhp")), editfix::journalHeader() + editfix::record(1, content));
    EXPECT_EQ(p.read(QStringLiteral("updates.mhx")),
              editfix::journalHeader() + editfix::journalEntry(0, 0, 50, 56, 0, 0, 0, 0, 0, 1));
    EXPECT_EQ(L.Objects[0].JrnOffset, 50);
    EXPECT_EQ(L.Objects[0].JrnLength, 56);
    EXPECT_TRUE(L.Objects[0].Appended);
    EXPECT_EQ(p.core.JournalPos(), 1);
    EXPECT_EQ(p.core.JournalCount(), 1);
}

TEST(CommitNewObject, RingsAreClosedOnlyWhenSingleAndOpen)
{
    struct Case {
        const char *name;
        std::int32_t layerType;
        std::vector<std::pair<double, double>> points;
        std::vector<std::int32_t> parts;
        std::vector<Pt> stored;
        std::vector<std::int32_t> starts;
    };
    const std::vector<Case> cases = {
        {"closed ring kept", 5, {{1, 1}, {3, 1}, {3, 3}, {1, 1}}, {}, {{1, 1}, {3, 1}, {3, 3}, {1, 1}}, {0}},
        {"two open rings kept", 5, {{1, 1}, {3, 1}, {3, 3}, {5, 5}, {6, 5}, {6, 6}}, {0, 3},
         {{1, 1}, {3, 1}, {3, 3}, {5, 5}, {6, 5}, {6, 6}}, {0, 3}},
        {"open line kept", 3, {{1, 1}, {3, 1}, {3, 3}}, {}, {{1, 1}, {3, 1}, {3, 3}}, {0}},
        {"polygon M ring closed", 25, {{1, 1}, {3, 1}, {3, 3}}, {}, {{1, 1}, {3, 1}, {3, 3}, {1, 1}}, {0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), c.layerType);
        p.core.NewObject().clearFigure();
        for (const auto &[x, y] : c.points) {
            TNewPoint np;
            np.Point.X = x;
            np.Point.Y = y;
            p.core.NewObject().Points.push_back(np);
        }
        p.core.NewObject().Parts = c.parts;
        ASSERT_TRUE(p.core.CommitNewObject(l, true, true));
        double maxX = 0, maxY = 0;
        for (const auto &[x, y] : c.points) {
            maxX = std::max(maxX, x);
            maxY = std::max(maxY, y);
        }
        const Box box{1, 1, maxX, maxY};
        const fixtures::Layer expected =
            fixtures::layer(c.layerType, box, {fixtures::polyContent(c.layerType, box, c.starts, c.stored)});
        EXPECT_EQ(p.read(QStringLiteral("a.shp")), expected.shp);
    }
}

TEST(CommitNewObject, ObjectsFillBlocksOfAHundred)
{
    EditProject p;
    const int l = p.addLayer(QStringLiteral("pts"), 1);
    for (int i = 0; i < 201; ++i)
        ASSERT_TRUE(p.commit(l, {{1000.0 + i, 2000.0 + i}}));
    const TMapLayer &L = p.core.Project().Layers[0];
    ASSERT_EQ(L.Objects.size(), 201u);
    // The 101st object opens block 1, the 201st block 2 with its own box.
    ASSERT_EQ(L.Blocks.size(), 3u);
    EXPECT_EQ(L.Blocks[1].XMin, 1100);
    EXPECT_EQ(L.Blocks[1].XMax, 1199);
    EXPECT_EQ(L.Blocks[2].XMin, 1200);
    EXPECT_EQ(L.Blocks[2].XMax, 1200);
    EXPECT_EQ(L.Objects[200].ShpOffset, 50 + 200 * 14);
    // Rows are numbered on: the last one has ID 201.
    const QByteArray dbf = p.read(QStringLiteral("pts.dbf"));
    EXPECT_EQ(dbf.mid(dbf.size() - 1 - 51, 51), todayRow("201"));
    // Only the latest object is selected.
    ASSERT_EQ(p.engine.selection.Entries.size(), 1u);
    EXPECT_EQ(p.engine.selection.Entries[0].Index, 200);
}

TEST(CommitNewObject, SymbolsAndTextsInACosmeticLayer)
{
    EditProject p;
    const int l = p.addLayer(QStringLiteral("marks"), 8);
    // First symbol: the default style; a font not installed is replaced.
    ASSERT_TRUE(p.commit(l, {{100, 200}}, {}, {}, okSymbol));
    fixtures::TextFields first;
    first.kind = 2;
    first.fontName = "Wingdings";
    first.fontSize = 12;
    first.textScale = 500;
    first.transparent = 0;
    first.symbol = 'l';
    first.textColor = 0;
    first.bgTextColor = 0xFFFFFF;
    first.textAlign = 0;
    first.penColor = first.penWidth = first.penStyle = first.brushColor = 0;
    first.brushStyle = first.pointStyle = first.arrowStart = first.arrowEnd = 0;
    first.box = {80, 180, 120, 220}; // the point's box widened by 20
    const QByteArray firstContent = fixtures::textContent(first, {0}, {{100, 200}});
    EXPECT_EQ(p.read(QStringLiteral("marks.shp")), fixtures::layer(8, first.box, {firstContent}).shp);

    // Restyle it in the file as another program might: its style becomes the
    // template of the next symbol, all but the scale.
    QByteArray shp = p.read(QStringLiteral("marks.shp"));
    const int head = 100 + 8;
    shp.replace(head + 204, 9, QByteArray("Webdings\0", 9));
    testsupport::putLE32(shp, head + 274, 20);          // size
    testsupport::putLE16(shp, head + 278, 11);          // bold italic
    testsupport::putLE32(shp, head + 280, 45);          // rotation
    testsupport::putLE32(shp, head + 284, 10000);       // scale
    shp[head + 290] = 'n';
    testsupport::putLE32(shp, head + 295, 0x0000FF);    // colour
    testsupport::putLE32(shp, head + 299, 0x00FF00);    // background
    p.dir.write(QStringLiteral("marks.shp"), shp);
    p.core.Project().Layers[0].Objects[0].JrnOffset = 0; // read from the layer file
    p.engine.scale = 2000;
    ASSERT_TRUE(p.commit(l, {{300, 400}, {310, 405}}, {}, {}, okSymbol));
    TTextRecord second;
    ASSERT_TRUE(p.core.FindKindTemplate(l, okSymbol));
    second = p.core.Template();
    EXPECT_EQ(second.FontName, u8("Wingdings")); // "Webdings" is not installed here
    EXPECT_EQ(second.FontSize, 20);
    EXPECT_EQ(second.FontStyle, 11);
    EXPECT_EQ(second.Rotate, 45);
    EXPECT_EQ(second.TextScale, 2000);
    EXPECT_EQ(second.Symbol, QChar(u'n'));
    EXPECT_EQ(second.TextColor, 0x0000FF);
    EXPECT_EQ(second.BgTextColor, 0x00FF00);
    EXPECT_EQ(second.XMin, 280);
    EXPECT_EQ(second.YMin, 380);
    EXPECT_EQ(second.XMax, 330);
    EXPECT_EQ(second.YMax, 425);
    EXPECT_EQ(second.NumPoints, 2);
    // The layer extent grew by the widened box.
    EXPECT_EQ(p.core.Project().Layers[0].MtMaxY, 425);

    // A text takes its text from the first value without a key; a line the
    // default line style.
    ASSERT_TRUE(p.commit(l, {{0.5, 0.5}}, {}, {{QString(), u8("Село")}}, okText));
    ASSERT_TRUE(p.core.FindKindTemplate(l, okText));
    EXPECT_EQ(p.core.Template().Text, u8("Село"));
    EXPECT_EQ(p.core.Template().FontName, u8("Arial Cyr"));
    EXPECT_EQ(p.core.Template().Symbol, QChar());
    ASSERT_TRUE(p.commit(l, {{1, 1}, {5, 5}}, {}, {}, okLine));
    ASSERT_TRUE(p.core.FindKindTemplate(l, okLine));
    EXPECT_EQ(p.core.Template().PenStyle, 1);
    EXPECT_EQ(p.core.Template().PenWidth, 1);
    EXPECT_EQ(p.core.Template().BrushColor, 0xFFFFFF);
    EXPECT_EQ(p.core.Template().XMin, 1); // no margin for lines
    EXPECT_EQ(p.engine.selection.Entries.back().Kind, okLine);
}

TEST(CommitNewObject, LayersThatCannotTakeTheObjectAreLeftAlone)
{
    struct Case {
        const char *name;
        std::int32_t type;
        const char *readOnly;   // file made read-only, or null
        const char *missing;    // file removed, or null
        bool noPoints;
    };
    const std::vector<Case> cases = {
        {"read-only table", 5, "a.dbf", nullptr, false},
        {"read-only shapes", 5, "a.shp", nullptr, false},
        {"read-only index", 5, "a.shx", nullptr, false},
        {"missing table", 5, nullptr, "a.dbf", false},
        {"raster layer", 10, nullptr, nullptr, false},
        {"no points", 5, nullptr, nullptr, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), c.type);
        if (c.readOnly)
            makeReadOnly(p.path(QString::fromLatin1(c.readOnly)));
        if (c.missing)
            QFile::remove(p.path(QString::fromLatin1(c.missing)));
        const auto before = editfix::folderState(p.dir.path());
        if (c.noPoints) {
            p.core.NewObject().clearFigure();
            EXPECT_FALSE(p.core.CommitNewObject(l, true, true));
        } else {
            EXPECT_FALSE(p.commit(l, {{1, 1}, {2, 1}, {2, 2}}));
        }
        EXPECT_EQ(editfix::folderState(p.dir.path()), before);
        EXPECT_TRUE(p.core.Project().Layers[0].Objects.empty());
        EXPECT_FALSE(p.core.Project().Layers[0].ObjectsAppended);
    }
}

TEST(CommitNewObject, AttributeValuesByFieldName)
{
    struct Case {
        const char *name;
        std::vector<TTxtValues> values;
        QByteArray row;
    };
    const std::vector<Case> cases = {
        {"text and number", {{u8("NAME"), u8("Ділянка 5")}, {u8("AREA"), u8("12,5")}}, todayRow("1", "Ділянка 5", "12.50")},
        {"names in any case, unknown names ignored",
         {{u8("name"), u8("Поле")}, {u8("OWNER"), u8("x")}, {u8("area"), u8("3.25")}}, todayRow("1", "Поле", "3.25")},
        {"blank number stays blank", {{u8("AREA"), u8("  ")}}, todayRow("1")},
        {"no number in the text stays blank", {{u8("AREA"), u8(",")}}, todayRow("1")},
        {"the system's ID and date win", {{u8("ID"), u8("77")}, {u8("DATEEDIT"), u8("01.01.2000")}}, todayRow("1")},
        {"a value without a key is no field", {{QString(), u8("текст")}}, todayRow("1")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), 1);
        ASSERT_TRUE(p.commit(l, {{5, 5}}, {}, c.values));
        EXPECT_EQ(p.read(QStringLiteral("a.dbf")), tableOf({c.row}));
    }
    // A table without ID and DATEEDIT simply gets no value there.
    EditProject p;
    const QByteArray bare = dbtest::dbfFile({{"NAME", 'C', 10, 0}}, {}, 106, 3, 1);
    const int l = p.addLayer(QStringLiteral("b"), 1, bare);
    ASSERT_TRUE(p.commit(l, {{5, 5}}, {}, {{u8("NAME"), u8("x")}}));
    EXPECT_EQ(p.read(QStringLiteral("b.dbf")),
              dbtest::dbfFile({{"NAME", 'C', 10, 0}}, {dbtest::record({dbtest::left(u8("x"), 10)})}, 124, 3, 15));
}

TEST(CommitNewObject, ARowThatCannotBeAddedTakesTheRecordBack)
{
    EditProject p;
    const int l = p.addLayer(QStringLiteral("a"), 5);
    ASSERT_TRUE(p.commit(l, {{1, 1}, {2, 1}, {2, 2}}));
    const auto before = editfix::folderState(p.dir.path());
    // A number wider than its field: the engine refuses the row.
    EXPECT_THROW(p.commit(l, {{5, 5}, {6, 5}, {6, 6}}, {}, {{u8("AREA"), u8("123456789012345")}}),
                 platform::db::DbError);
    EXPECT_EQ(editfix::folderState(p.dir.path()), before);
    EXPECT_EQ(p.core.Project().Layers[0].Objects.size(), 1u);

    // The next object follows the first one: no orphan record in between.
    ASSERT_TRUE(p.commit(l, {{5, 5}, {6, 5}, {6, 6}}));
    const TMapLayer &L = p.core.Project().Layers[0];
    ASSERT_EQ(L.Objects.size(), 2u);
    EXPECT_EQ(L.Objects[1].ShpOffset, 50 + 4 + 56);
    const QByteArray shx = p.read(QStringLiteral("a.shx"));
    ASSERT_EQ(shx.size(), 116);
    EXPECT_EQ(shx.mid(108, 8), QByteArray::fromHex("0000006e00000038"));
    const QByteArray dbf = p.read(QStringLiteral("a.dbf"));
    EXPECT_EQ(dbf, tableOf({todayRow("1"), todayRow("2")}));
}

TEST(CommitNewObject, AFailedWriteAtAnyStepLeavesTheLayerAsItWas)
{
    // Count the steps of a commit into a layer that has an object.
    int total = 0;
    {
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), 3);
        ASSERT_TRUE(p.commit(l, {{1, 1}, {2, 2}}));
        editfix::FaultyOps ops;
        p.core.setFileOps(&ops);
        ASSERT_TRUE(p.commit(l, {{3, 3}, {4, 4}}));
        total = ops.steps;
        ASSERT_GE(total, 6) << ops.log.join(u',').toStdString();
    }
    for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(n);
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), 3);
        ASSERT_TRUE(p.commit(l, {{1, 1}, {2, 2}}));
        const auto before = editfix::folderState(p.dir.path());
        editfix::FaultyOps ops;
        ops.failAt = n;
        p.core.setFileOps(&ops);
        editfix::MessageLog messages;
        const bool done = p.commit(l, {{3, 3}, {4, 4}});
        ASSERT_EQ(messages.texts.size(), 1) << ops.log.join(u',').toStdString();
        // The layer files or the journal failed: all is as before, the
        // selection too, and said so. An object kept without its journal
        // version could not be taken back by undo or by closing unsaved.
        EXPECT_FALSE(done);
        EXPECT_TRUE(messages.texts[0].startsWith(u8("Невозможно записать слой ")) ||
                    messages.texts[0].startsWith(u8("Невозможно записать журнал изменений ")))
            << messages.texts[0].toStdString();
        EXPECT_EQ(editfix::folderState(p.dir.path()), before) << ops.log.join(u',').toStdString();
        const TMapLayer &L = p.core.Project().Layers[0];
        EXPECT_EQ(L.Objects.size(), 1u);
        EXPECT_EQ(L.Blocks.size(), 1u);
        EXPECT_EQ(L.MtMaxX, 2);
        EXPECT_EQ(p.core.JournalPos(), 1);
        ASSERT_EQ(p.engine.selection.Entries.size(), 1u);
        EXPECT_EQ(p.engine.selection.Entries[0].Index, 0);
    }
}

TEST(CommitNewObject, AJournalThatCannotBeWrittenTakesTheObjectBack)
{
    // The journal files cannot be written (a folder or files that refuse
    // writes): the polygon goes again, record, index entry, headers and row.
    EditProject p;
    const int l = p.addLayer(QStringLiteral("a"), 5);
    ASSERT_TRUE(p.commit(l, {{1, 1}, {2, 1}, {2, 2}}, {}, {{u8("NAME"), u8("first")}}));
    makeReadOnly(p.path(QStringLiteral("updates.mhx")));
    const auto before = editfix::folderState(p.dir.path());
    editfix::MessageLog messages;
    EXPECT_FALSE(p.commit(l, {{5, 5}, {9, 5}, {9, 9}}, {}, {{u8("NAME"), u8("second")}}));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].startsWith(u8("Невозможно записать журнал изменений ")));
    EXPECT_EQ(editfix::folderState(p.dir.path()), before);
    EXPECT_EQ(p.read(QStringLiteral("a.dbf")), tableOf({todayRow("1", "first")}));
    const TMapLayer &L = p.core.Project().Layers[0];
    EXPECT_EQ(L.Objects.size(), 1u);
    EXPECT_EQ(L.MtMaxX, 2);
    EXPECT_EQ(L.Blocks[0].XMax, 2);
}
