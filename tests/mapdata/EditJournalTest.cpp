#include "EditFixtures.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using editfix::EditProject;
using editfix::journalEntry;
using editfix::journalHeader;
using fixtures::Box;

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

void shiftX(TShpObject &s, double dx)
{
    for (TShpParts &part : s.Parts)
        for (TShpPoint &pt : part.Points)
            pt.X += dx;
}

// The first x of an object as the readers see it now (NaN without points).
double firstX(MapDataCore &core, int layer, int index)
{
    TShpObject s;
    core.ReadObject(layer, index, s);
    if (s.Parts.empty() || s.Parts.front().Points.empty())
        return std::nan("");
    return s.Parts.front().Points.front().X;
}

} // namespace

TEST(EditJournal, UndoAndRedoAcrossLayersAndKinds)
{
    EditProject p;
    const int points = p.addLayer(QStringLiteral("points"), 1);
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5);
    const int marks = p.addLayer(QStringLiteral("marks"), 8);

    struct Obj {
        int layer;
        int index;
    };
    const Obj P{points, 0}, A{parcels, 0}, T{marks, 0};
    // What an object shows after a step: deleted, modified, appended, and its
    // first x (ignored for a deleted object).
    struct Want {
        bool deleted, modified, appended;
        double x;
    };
    struct Step {
        const char *what;
        std::function<void()> act;
        int pos, count;
        Want p, a, t;
    };
    const std::vector<Step> steps = {
        {"commit point", [&] { p.commit(points, {{10, 20}}); }, 1, 1, {false, false, true, 10}, {}, {}},
        {"commit polygon", [&] { p.commit(parcels, {{100, 100}, {200, 100}, {200, 200}}); }, 2, 2,
         {false, false, true, 10}, {false, false, true, 100}, {}},
        {"commit text", [&] { p.commit(marks, {{50, 60}}, {}, {{QString(), u8("Село")}}, okText); }, 3, 3,
         {false, false, true, 10}, {false, false, true, 100}, {false, false, true, 50}},
        {"change polygon", [&] { p.change(parcels, 0, [](TShpObject &s) { shiftX(s, 1000); }); }, 4, 4,
         {false, false, true, 10}, {false, true, true, 1100}, {false, false, true, 50}},
        {"change polygon again", [&] { p.change(parcels, 0, [](TShpObject &s) { shiftX(s, 1000); }); }, 5, 5,
         {false, false, true, 10}, {false, true, true, 2100}, {false, false, true, 50}},
        {"delete point", [&] { p.remove(points, 0); }, 6, 6,
         {true, false, true, 0}, {false, true, true, 2100}, {false, false, true, 50}},
        {"undo delete", [&] { p.core.UndoEdit(); }, 5, 6,
         {false, false, true, 10}, {false, true, true, 2100}, {false, false, true, 50}},
        {"undo second change", [&] { p.core.UndoEdit(); }, 4, 6,
         {false, false, true, 10}, {false, true, true, 1100}, {false, false, true, 50}},
        {"undo first change", [&] { p.core.UndoEdit(); }, 3, 6,
         {false, false, true, 10}, {false, false, true, 100}, {false, false, true, 50}},
        {"undo text: deleted", [&] { p.core.UndoEdit(); }, 2, 6,
         {false, false, true, 10}, {false, false, true, 100}, {true, false, false, 0}},
        {"redo text", [&] { p.core.RedoEdit(); }, 3, 6,
         {false, false, true, 10}, {false, false, true, 100}, {false, false, true, 50}},
        {"redo first change", [&] { p.core.RedoEdit(); }, 4, 6,
         {false, false, true, 10}, {false, true, true, 1100}, {false, false, true, 50}},
        {"new change drops the redo tail", [&] { p.change(marks, 0, [](TShpObject &s) { shiftX(s, 5); }); }, 5, 5,
         {false, false, true, 10}, {false, true, true, 1100}, {false, true, true, 55}},
        {"redo: nothing left", [&] { p.core.RedoEdit(); }, 5, 5,
         {false, false, true, 10}, {false, true, true, 1100}, {false, true, true, 55}},
        {"undo text change", [&] { p.core.UndoEdit(); }, 4, 5,
         {false, false, true, 10}, {false, true, true, 1100}, {false, false, true, 50}},
        {"undo to the start", [&] { for (int i = 0; i < 4; ++i) p.core.UndoEdit(); }, 0, 5,
         {true, false, false, 0}, {true, false, false, 0}, {true, false, false, 0}},
        {"undo at the start: nothing", [&] { p.core.UndoEdit(); }, 0, 5,
         {true, false, false, 0}, {true, false, false, 0}, {true, false, false, 0}},
        {"redo everything", [&] { for (int i = 0; i < 5; ++i) p.core.RedoEdit(); }, 5, 5,
         {false, false, true, 10}, {false, true, true, 1100}, {false, true, true, 55}},
    };
    int done = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        ++done;
        EXPECT_EQ(p.core.JournalPos(), s.pos);
        EXPECT_EQ(p.core.JournalCount(), s.count);
        const std::vector<std::pair<Obj, Want>> checks = {{P, s.p}, {A, s.a}, {T, s.t}};
        for (const auto &[o, w] : checks) {
            if (p.core.Project().Layers[static_cast<size_t>(o.layer)].Objects.empty())
                continue; // not committed yet
            SCOPED_TRACE(o.layer);
            const TMapObject &obj = p.object(o.layer, o.index);
            EXPECT_EQ(obj.Deleted, w.deleted);
            EXPECT_EQ(obj.Modified, w.modified);
            EXPECT_EQ(obj.Appended, w.appended);
            if (!w.deleted) {
                EXPECT_EQ(firstX(p.core, o.layer, o.index), w.x);
            }
        }
    }
    // Undoing a creation counts as a deletion for the save.
    EXPECT_TRUE(p.core.Project().Layers[static_cast<size_t>(marks)].ObjectsDeleted);
}

TEST(EditJournal, EntriesAndRecordsAsWritten)
{
    EditProject p;
    const int l = p.addLayer(QStringLiteral("pts"), 1);
    p.commit(l, {{10, 20}});
    p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 11; });
    p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 12; });
    p.core.UndoEdit();
    p.core.UndoEdit();
    // A new change takes the place of the first undone entry; the stale one
    // after it stays in the file, beyond the count.
    p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 13; });
    EXPECT_EQ(p.core.JournalPos(), 2);
    EXPECT_EQ(p.core.JournalCount(), 2);
    // Records are only appended: 10, 11, 12, 13; each 20 bytes (10 words).
    const QByteArray mhp = journalHeader() + editfix::record(1, fixtures::pointContent(1, 10, 20)) +
                           editfix::record(1, fixtures::pointContent(1, 11, 20)) +
                           editfix::record(1, fixtures::pointContent(1, 12, 20)) +
                           editfix::record(1, fixtures::pointContent(1, 13, 20));
    EXPECT_EQ(p.read(QStringLiteral("updates.mhp")), mhp);
    const QByteArray got = p.read(QStringLiteral("updates.mhx"));
    ASSERT_EQ(got.size(), 100 + 3 * 28);
    EXPECT_EQ(got.mid(100, 28), journalEntry(0, 0, 50, 10, 0, 0, 0, 0, 0, 1));
    EXPECT_EQ(got.mid(128, 28), journalEntry(0, 0, 92, 10, 50, 10, 0, 1, 0, 1));
    EXPECT_EQ(got.mid(156, 28), journalEntry(0, 0, 78, 10, 64, 10, 0, 1, 0, 1));
    p.core.RedoEdit();
    EXPECT_EQ(p.core.JournalPos(), 2); // nothing to redo
    EXPECT_EQ(firstX(p.core, l, 0), 13);
}

TEST(EditJournal, UndoRestoresTheStateOfThePreviousVersion)
{
    EditProject p;
    // A layer with an object of its own (not appended).
    const Box box{1, 1, 3, 3};
    const fixtures::Layer f =
        fixtures::layer(5, box, {fixtures::polyContent(5, box, {0}, {{1, 1}, {3, 1}, {3, 3}, {1, 1}})});
    p.dir.write(QStringLiteral("a.shp"), f.shp);
    p.dir.write(QStringLiteral("a.shx"), f.shx);
    p.dir.write(QStringLiteral("a.dbf"), editfix::templateDbf({editfix::row("1", "", "", "")}));
    const int l = p.openLayer(QStringLiteral("a"));
    TMapObject &obj = p.core.Project().Layers[0].Objects[0];

    obj.Shown = true;
    p.change(l, 0, [](TShpObject &s) { shiftX(s, 10); });   // entry 0: shown, modified
    obj.Shown = false;
    p.change(l, 0, [](TShpObject &s) { shiftX(s, 10); });   // entry 1: not shown, modified
    p.core.UndoEdit();
    // Back to the first journal version with the state written with it.
    EXPECT_TRUE(obj.Shown);
    EXPECT_TRUE(obj.Modified);
    EXPECT_FALSE(obj.Appended);
    EXPECT_FALSE(obj.Deleted);
    EXPECT_EQ(firstX(p.core, l, 0), 11);
    p.core.UndoEdit();
    // Back to the layer file: nothing changed, nothing deleted.
    EXPECT_FALSE(obj.Shown);
    EXPECT_FALSE(obj.Modified);
    EXPECT_FALSE(obj.Deleted);
    EXPECT_EQ(obj.JrnOffset, 0);
    EXPECT_EQ(firstX(p.core, l, 0), 1);

    // Deleting and undoing brings an object of the layer file back.
    p.remove(l, 0);
    EXPECT_TRUE(obj.Deleted);
    p.core.UndoEdit();
    EXPECT_FALSE(obj.Deleted);
    p.core.RedoEdit();
    EXPECT_TRUE(obj.Deleted);
}

TEST(EditJournal, DroppingALayerKeepsTheOthersInOrder)
{
    EditProject p;
    const int a = p.addLayer(QStringLiteral("a"), 1);
    const int b = p.addLayer(QStringLiteral("b"), 1);
    for (int i = 0; i < 3; ++i)
        p.core.Project().Layers[static_cast<size_t>(a)].Objects.emplace_back();
    p.core.Project().Layers[static_cast<size_t>(b)].Objects.resize(3);
    // Entries of a and b interleaved; the last two undone; one stale entry
    // beyond the count.
    const QByteArray e0 = journalEntry(0, 0, 50, 10, 0, 0, 0, 1, 0, 0);
    const QByteArray e1 = journalEntry(1, 1, 64, 10, 0, 0, 0, 1, 0, 0);
    const QByteArray e2 = journalEntry(0, 2, 78, 10, 0, 0, 0, 1, 0, 0);
    const QByteArray e3 = journalEntry(1, 0, 92, 10, 0, 0, 0, 1, 0, 0);
    const QByteArray e4 = journalEntry(0, 1, 106, 10, 0, 0, 0, 1, 0, 0);
    const QByteArray stale = journalEntry(0, 0, 120, 10, 0, 0, 0, 1, 0, 0);
    p.dir.write(QStringLiteral("updates.mhx"), journalHeader() + e0 + e1 + e2 + e3 + e4 + stale);
    p.dir.write(QStringLiteral("updates~.mhx"), "left over");
    p.dir.write(QStringLiteral("updates`.mhx"), "left over");
    p.core.SetJournalCount(5);
    p.core.SetJournalPos(3);
    EXPECT_TRUE(p.core.DropLayerJournal(a));
    EXPECT_EQ(p.read(QStringLiteral("updates.mhx")), journalHeader() + e1 + e3);
    EXPECT_EQ(p.core.JournalCount(), 2);
    EXPECT_EQ(p.core.JournalPos(), 1);   // e0 and e2 were applied, e4 was not
    EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("updates~.mhx"))));
    EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("updates`.mhx"))));
}

TEST(EditJournal, AJournalWithNothingAppliedStartsAfresh)
{
    EditProject p;
    const int l = p.addLayer(QStringLiteral("pts"), 1);
    p.commit(l, {{10, 20}});
    p.core.UndoEdit();
    ASSERT_EQ(p.core.JournalPos(), 0);
    p.commit(l, {{30, 40}});
    // The old versions are gone: the journal holds the new object only.
    EXPECT_EQ(p.read(QStringLiteral("updates.mhp")),
              journalHeader() + editfix::record(2, fixtures::pointContent(1, 30, 40)));
    EXPECT_EQ(p.read(QStringLiteral("updates.mhx")),
              journalHeader() + journalEntry(0, 1, 50, 10, 0, 0, 0, 0, 0, 1));
    EXPECT_EQ(p.core.JournalCount(), 1);
    EXPECT_FALSE(QFile::exists(p.path(QStringLiteral("updates~.mhp"))));
}

TEST(EditJournal, RecordsOfEveryKindAsTheLayerHasThem)
{
    fixtures::TextFields tf;
    tf.kind = 4;
    tf.text = "text";
    tf.fontName = "Arial";
    tf.box = {5, 5, 15, 15};
    const QByteArray text = fixtures::textContent(tf, {0}, {{10, 10, 3, 4}});
    const QByteArray raster =
        fixtures::rasterContent(10, {0, 0, 100, 50}, "sheet.tif", 0, 640, 320, {{0, 50, 0, 0}, {100, 0, 640, 320}});
    const QByteArray poly = fixtures::polyContent(3, {1, 1, 4, 4}, {0, 2}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    struct Case {
        const char *name;
        std::int32_t type;
        QByteArray content;
    };
    for (const Case &c : std::vector<Case>{{"text", 8, text}, {"raster", 10, raster}, {"polyline", 3, poly}}) {
        SCOPED_TRACE(c.name);
        EditProject p;
        const fixtures::Layer f = fixtures::layer(c.type, {0, 0, 100, 50}, {c.content});
        p.dir.write(QStringLiteral("a.shp"), f.shp);
        p.dir.write(QStringLiteral("a.shx"), f.shx);
        p.dir.write(QStringLiteral("a.dbf"), editfix::templateDbf());
        const int l = p.openLayer(QStringLiteral("a"));
        // Journalled unchanged, the version is the record itself.
        ASSERT_TRUE(p.change(l, 0, [](TShpObject &) {}));
        EXPECT_EQ(p.read(QStringLiteral("updates.mhp")), journalHeader() + editfix::record(1, c.content));
        EXPECT_EQ(p.object(l, 0).JrnLength, c.content.size() / 2);
        EXPECT_TRUE(p.object(l, 0).Shape->Parts.empty());
    }
    // A layer of shape type 0: an entry without a record.
    EditProject p;
    const int l = p.addLayer(QStringLiteral("none"), 0);
    p.core.Project().Layers[0].Objects.emplace_back();
    std::int32_t off = 7, len = 9;
    ASSERT_TRUE(p.core.JournalObject(l, 0, off, len, 0, 0));
    EXPECT_EQ(p.read(QStringLiteral("updates.mhp")), journalHeader());
    EXPECT_EQ(p.read(QStringLiteral("updates.mhx")), journalHeader() + journalEntry(0, 0, 7, 9, 0, 0, 0, 0, 0, 0));
    // Indices out of range record nothing.
    EXPECT_FALSE(p.core.JournalObject(l, 1, off, len, 0, 0));
    EXPECT_FALSE(p.core.JournalObject(5, 0, off, len, 0, 0));
    EXPECT_EQ(p.core.JournalPos(), 1);
}

TEST(EditJournal, AReadOnlyJournalRefusesTheChangeAndSaysSo)
{
    for (const char *file : {"updates.mhp", "updates.mhx"}) {
        SCOPED_TRACE(file);
        EditProject p;
        const int l = p.addLayer(QStringLiteral("pts"), 1);
        p.commit(l, {{10, 20}});
        QFile::setPermissions(p.path(QString::fromLatin1(file)), QFile::ReadOwner);
        const auto before = editfix::folderState(p.dir.path());
        editfix::MessageLog answers;
        EXPECT_FALSE(p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 99; }));
        ASSERT_EQ(answers.texts.size(), 1);
        EXPECT_EQ(answers.texts[0],
                  u8("Невозможно записать журнал изменений ") + p.path(QString::fromLatin1(file)) + u8(" !"));
        EXPECT_EQ(editfix::folderState(p.dir.path()), before);
        EXPECT_EQ(p.core.JournalPos(), 1);
        // The place passed stays: the object is still read as it was.
        EXPECT_EQ(p.object(l, 0).JrnOffset, 50);
        EXPECT_EQ(firstX(p.core, l, 0), 10);
    }
}

TEST(EditJournal, AFailedWriteAtAnyStepLeavesTheJournalAsItWas)
{
    // Both paths: a journal that goes on (position 2 of 3, a redo entry to
    // overwrite) and one that starts afresh (position 0).
    for (bool fresh : {false, true}) {
        SCOPED_TRACE(fresh ? "fresh" : "appending");
        for (int n = 1;; ++n) {
            SCOPED_TRACE(n);
            EditProject p;
            const int l = p.addLayer(QStringLiteral("pts"), 1);
            p.commit(l, {{10, 20}});
            p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 11; });
            p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 12; });
            p.core.UndoEdit();
            if (fresh) {
                p.core.UndoEdit();
                p.core.UndoEdit();
            }
            const int pos = p.core.JournalPos(), count = p.core.JournalCount();
            const auto before = editfix::folderState(p.dir.path());
            editfix::FaultyOps ops;
            ops.failAt = n;
            p.core.setFileOps(&ops);
            editfix::MessageLog messages;
            TMapObject &obj = p.core.Project().Layers[0].Objects[0];
            const std::int32_t off = obj.JrnOffset;
            const bool done = p.change(l, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 13; });
            if (done) {
                // Past the last step: the change went through.
                EXPECT_TRUE(messages.texts.isEmpty());
                EXPECT_GT(n, 1);
                break;
            }
            EXPECT_EQ(messages.texts.size(), 1);
            EXPECT_EQ(obj.JrnOffset, off);
            EXPECT_EQ(p.core.JournalPos(), pos);
            if (fresh && ops.log.value(n - 1).startsWith(u8("rename updates~.mhx"))) {
                // The new versions replaced the old ones, which took their
                // redo steps with them: nothing is left to redo.
                EXPECT_EQ(p.core.JournalCount(), pos);
                continue;
            }
            EXPECT_EQ(p.core.JournalCount(), count);
            EXPECT_EQ(editfix::folderState(p.dir.path()), before) << ops.log.join(u',').toStdString();
        }
    }
}

// Changes journalled in one piece leave the files, the places and the
// counters exactly as the same changes one by one; undo takes them back one
// at a time. Both a fresh journal and one that goes on (over a redo step).
TEST(EditJournal, ABatchIsWrittenAsItsChangesOneByOne)
{
    for (bool fresh : {true, false}) {
        SCOPED_TRACE(fresh ? "fresh" : "appending");
        auto prepare = [&](EditProject &p) {
            const int l = p.addLayer(QStringLiteral("pts"), 1);
            p.commit(l, {{10, 20}});
            p.commit(l, {{30, 40}});
            p.commit(l, {{50, 60}});
            if (fresh)
                for (int i = 0; i < 3; ++i)
                    p.core.UndoEdit();
            else
                p.core.UndoEdit();
            return l;
        };
        EditProject single, batch;
        const int l = prepare(single);
        prepare(batch);
        for (int i : {0, 1})
            ASSERT_TRUE(single.change(l, i, [&](TShpObject &s) { shiftX(s, 100 + i); }));

        std::vector<TJournalItem> items;
        for (int i : {0, 1}) {
            TMapLayer &L = batch.core.Project().Layers[0];
            TMapObject &obj = L.Objects[static_cast<size_t>(i)];
            batch.core.ReadObject(l, i, *obj.Shape);
            shiftX(*obj.Shape, 100 + i);
            L.ObjectsModified = true;
            obj.Modified = true;
            TJournalItem item;
            item.Layer = l;
            item.Index = i;
            item.PreviousOffset = obj.JrnOffset;
            item.PreviousLength = obj.JrnLength;
            items.push_back(item);
        }
        ASSERT_TRUE(batch.core.JournalObjects(items));
        for (int i : {0, 1}) {
            TMapObject &obj = batch.core.Project().Layers[0].Objects[static_cast<size_t>(i)];
            obj.JrnOffset = items[static_cast<size_t>(i)].NewOffset;
            obj.JrnLength = items[static_cast<size_t>(i)].NewLength;
            EXPECT_EQ(obj.JrnOffset, single.object(l, i).JrnOffset);
            EXPECT_EQ(obj.JrnLength, single.object(l, i).JrnLength);
        }
        EXPECT_EQ(batch.read(QStringLiteral("updates.mhp")), single.read(QStringLiteral("updates.mhp")));
        EXPECT_EQ(batch.read(QStringLiteral("updates.mhx")), single.read(QStringLiteral("updates.mhx")));
        EXPECT_EQ(batch.core.JournalPos(), single.core.JournalPos());
        EXPECT_EQ(batch.core.JournalCount(), single.core.JournalCount());
        EXPECT_EQ(firstX(batch.core, l, 1), 131);
        batch.core.UndoEdit();
        EXPECT_EQ(firstX(batch.core, l, 1), 30);
        EXPECT_EQ(firstX(batch.core, l, 0), 110);

        // An index out of range writes nothing.
        std::vector<TJournalItem> bad(1);
        bad[0].Layer = l;
        bad[0].Index = 7;
        const QByteArray mhx = batch.read(QStringLiteral("updates.mhx"));
        EXPECT_FALSE(batch.core.JournalObjects(bad));
        EXPECT_EQ(batch.read(QStringLiteral("updates.mhx")), mhx);
    }
}
