#include "EditFixtures.h"

#include "mapdata/LayerUnits.h"
#include "platform/TextCodec.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using editfix::EditProject;
using editfix::journalEntry;
using editfix::journalHeader;
using fixtures::Box;
using fixtures::Pt;

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

QByteArray todayRow(const char *id, const char *name = "", const char *area = "")
{
    return editfix::row(id, "20240315", name, area);
}

QByteArray tableOf(const std::vector<QByteArray> &rows) { return editfix::templateDbf(rows, 124, 3, 15); }

// The three files of a layer.
struct Triple {
    QByteArray shp, shx, dbf;
    bool operator==(const Triple &) const = default;
};

Triple triple(const EditProject &p, const QString &name)
{
    return {p.read(name + QStringLiteral(".shp")), p.read(name + QStringLiteral(".shx")),
            p.read(name + QStringLiteral(".dbf"))};
}

// Files a save of a layer works with besides the layer's own.
QStringList saveLeftovers(const EditProject &p)
{
    QStringList out;
    for (const auto &[name, bytes] : editfix::folderState(p.dir.path()))
        if (!name.startsWith(QStringLiteral("updates")) &&
            (name.contains(u'~') || name.contains(u'`') || name.endsWith(QStringLiteral(".Done"))))
            out << name;
    return out;
}

// The object table as numbers: place, journal place, state.
std::vector<std::vector<std::int64_t>> tableState(const TMapLayer &L)
{
    std::vector<std::vector<std::int64_t>> out;
    for (const TMapObject &o : L.Objects)
        out.push_back({o.ShpOffset, o.ShpLength, o.JrnOffset, o.JrnLength, o.Modified, o.Deleted, o.Appended});
    return out;
}

// A parcel layer with three committed objects: the first changed, the
// second deleted, the third as committed.
int editedParcels(EditProject &p)
{
    const int l = p.addLayer(QStringLiteral("parcels"), 5);
    p.commit(l, {{100, 100}, {200, 100}, {200, 200}}, {}, {{u8("NAME"), u8("A")}});
    p.commit(l, {{300, 300}, {400, 300}, {400, 400}}, {}, {{u8("NAME"), u8("B")}});
    p.commit(l, {{500, 500}, {600, 500}, {600, 600}}, {}, {{u8("NAME"), u8("C")}});
    p.change(l, 0, [](TShpObject &s) {
        s.Parts[0].Points[2].X = 250;
        s.XMax = 250;
    });
    p.remove(l, 1);
    return l;
}

// The parcels' files before a save of editedParcels and after one that ran
// through.
std::pair<Triple, Triple> parcelsSaved()
{
    EditProject p;
    const int l = editedParcels(p);
    const Triple before = triple(p, QStringLiteral("parcels"));
    EXPECT_TRUE(p.core.SaveLayer(l));
    return {before, triple(p, QStringLiteral("parcels"))};
}

// The 1-based number of the step of that name in a save of editedParcels
// that runs through (0 when there is none).
int saveStep(const QString &step)
{
    EditProject p;
    const int l = editedParcels(p);
    editfix::FaultyOps ops;
    p.core.setFileOps(&ops);
    EXPECT_TRUE(p.core.SaveLayer(l));
    return static_cast<int>(ops.log.indexOf(step)) + 1;
}

bool haveOgrinfo() { return !QStandardPaths::findExecutable(QStringLiteral("ogrinfo")).isEmpty(); }

} // namespace

TEST(SaveLayer, CommitChangeUndoRedoDeleteAndSave)
{
    EditProject p;
    const int points = p.addLayer(QStringLiteral("points"), 1);
    const int lines = p.addLayer(QStringLiteral("lines"), 3);
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5);
    const int marks = p.addLayer(QStringLiteral("marks"), 8);
    ASSERT_TRUE(p.commit(points, {{10, 20}}));
    ASSERT_TRUE(p.commit(lines, {{1, 1}, {10, 1}, {10, 5}}));
    ASSERT_TRUE(p.commit(parcels, {{100, 100}, {200, 100}, {200, 200}}, {}, {{u8("NAME"), u8("Поле")}}));
    ASSERT_TRUE(p.commit(marks, {{50, 60}}, {}, {{QString(), u8("Село")}}, okText));
    ASSERT_TRUE(p.commit(parcels, {{300, 300}, {400, 300}, {400, 400}}, {}, {{u8("NAME"), u8("Луг")}}));
    const Triple pointsBefore = triple(p, QStringLiteral("points"));

    // Change the first parcel, undo, redo; delete the second.
    ASSERT_TRUE(p.change(parcels, 0, [](TShpObject &s) {
        s.Parts[0].Points[2].X = 250;
        s.XMax = 250;
    }));
    p.core.UndoEdit();
    p.core.RedoEdit();
    ASSERT_TRUE(p.remove(parcels, 1));
    ASSERT_TRUE(p.core.SaveLayer(parcels));

    // The layer holds the changed parcel alone, as record 1.
    const Box box{100, 100, 250, 200};
    const QByteArray parcel = fixtures::polyContent(5, box, {0}, {{100, 100}, {200, 100}, {250, 200}, {100, 100}});
    const fixtures::Layer saved = fixtures::layer(5, box, {parcel});
    EXPECT_EQ(p.read(QStringLiteral("parcels.shp")), saved.shp);
    EXPECT_EQ(p.read(QStringLiteral("parcels.shx")), saved.shx);
    EXPECT_EQ(p.read(QStringLiteral("parcels.dbf")), tableOf({todayRow("1", "Поле")}));
    EXPECT_TRUE(saveLeftovers(p).isEmpty()) << saveLeftovers(p).join(u',').toStdString();
    // Snapshots follow the saved files.
    EXPECT_EQ(p.read(QStringLiteral("parcels.Shp.001")), saved.shp);
    EXPECT_EQ(p.read(QStringLiteral("parcels.Dbf.001")), tableOf({todayRow("1", "Поле")}));
    // Other layers are not saved.
    EXPECT_EQ(triple(p, QStringLiteral("points")), pointsBefore);

    const TMapLayer &L = p.core.Project().Layers[static_cast<size_t>(parcels)];
    ASSERT_EQ(L.Objects.size(), 1u);
    EXPECT_EQ(L.Objects[0].ShpOffset, 50);
    EXPECT_EQ(L.Objects[0].ShpLength, 112);
    EXPECT_EQ(L.Objects[0].JrnOffset, 0);
    EXPECT_FALSE(L.Objects[0].Modified || L.Objects[0].Appended || L.Objects[0].Deleted);
    EXPECT_FALSE(L.ObjectsModified || L.ObjectsAppended || L.ObjectsDeleted);
    EXPECT_EQ(L.MtMaxX, 250);

    // The journal keeps every version written, and the entries of the other
    // layers only. Places: point 50 (14 words with its header), line 64 (52),
    // parcel 116 (60), text 176 (234), second parcel 410, change 470,
    // deletion 530.
    fixtures::TextFields text;
    text.kind = 4;
    text.text = platform::toCp1251(u8("Село"));
    text.fontName = "Arial Cyr";
    text.fontSize = 12;
    text.textScale = 500;
    text.transparent = 0;
    text.symbol = 0;
    text.textColor = 0;
    text.bgTextColor = 0xFFFFFF;
    text.textAlign = 0;
    text.penColor = text.penWidth = text.penStyle = text.brushColor = 0;
    text.brushStyle = text.pointStyle = text.arrowStart = text.arrowEnd = 0;
    text.box = {30, 40, 70, 80};
    const Box box2{300, 300, 400, 400};
    const QByteArray mhp =
        journalHeader() + editfix::record(1, fixtures::pointContent(1, 10, 20)) +
        editfix::record(1, fixtures::polyContent(3, {1, 1, 10, 5}, {0}, {{1, 1}, {10, 1}, {10, 5}})) +
        editfix::record(1, fixtures::polyContent(5, {100, 100, 200, 200}, {0},
                                                 {{100, 100}, {200, 100}, {200, 200}, {100, 100}})) +
        editfix::record(1, fixtures::textContent(text, {0}, {{50, 60}})) +
        editfix::record(2, fixtures::polyContent(5, box2, {0}, {{300, 300}, {400, 300}, {400, 400}, {300, 300}})) +
        editfix::record(1, parcel) + editfix::record(2, fixtures::polyContent(5, box2, {}, {}));
    EXPECT_EQ(p.read(QStringLiteral("updates.mhp")), mhp);
    EXPECT_EQ(p.read(QStringLiteral("updates.mhx")),
              journalHeader() + journalEntry(points, 0, 50, 10, 0, 0, 0, 0, 0, 1) +
                  journalEntry(lines, 0, 64, 48, 0, 0, 0, 0, 0, 1) +
                  journalEntry(marks, 0, 176, 230, 0, 0, 0, 0, 0, 1));
    EXPECT_EQ(p.core.JournalPos(), 3);
    EXPECT_EQ(p.core.JournalCount(), 3);

    // Another program reads the saved layer.
    if (!haveOgrinfo())
        GTEST_SKIP() << "ogrinfo is not installed";
    QProcess ogr;
    ogr.start(QStringLiteral("ogrinfo"), {QStringLiteral("-ro"), QStringLiteral("-al"), p.path(QStringLiteral("parcels.shp"))});
    ASSERT_TRUE(ogr.waitForFinished(60000));
    const QString out = QString::fromUtf8(ogr.readAllStandardOutput());
    const QString err = QString::fromUtf8(ogr.readAllStandardError());
    EXPECT_EQ(ogr.exitCode(), 0) << err.toStdString();
    EXPECT_FALSE(err.contains(u8("ERROR")) || err.contains(u8("Warning"))) << err.toStdString();
    EXPECT_TRUE(out.contains(u8("Feature Count: 1"))) << out.toStdString();
    EXPECT_TRUE(out.contains(u8("POLYGON ((100 100,200 100,250 200,100 100))"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(u8("ID \\(\\w+\\) = 1\\b")))) << out.toStdString();
    EXPECT_TRUE(out.contains(u8("DATEEDIT (Date) = 2024/03/15"))) << out.toStdString();
}

TEST(SaveLayer, AProjectClosedWithoutSavingLeavesTheFilesAsTheyWere)
{
    EditProject p;
    const int a = p.addLayer(QStringLiteral("a"), 5);
    const int b = p.addLayer(QStringLiteral("b"), 8);
    const auto before = editfix::folderState(p.dir.path());
    p.commit(a, {{1, 1}, {2, 1}, {2, 2}});
    p.commit(b, {{5, 5}}, {}, {{QString(), u8("x")}}, okText);
    p.change(a, 0, [](TShpObject &s) { s.Parts[0].Points[0].X = 0.5; });
    p.core.UndoEdit();
    p.core.RedoEdit();
    ASSERT_NE(triple(p, QStringLiteral("a")), (Triple{before.at(QStringLiteral("a.shp")), before.at(QStringLiteral("a.shx")),
                                                      before.at(QStringLiteral("a.dbf"))}));
    p.core.RestoreLayerBackup(a, false);
    p.core.RestoreLayerBackup(b, false);
    auto after = editfix::folderState(p.dir.path());
    after.erase(QStringLiteral("updates.mhp"));
    after.erase(QStringLiteral("updates.mhx"));
    // Layer files as they were, snapshots gone.
    auto expected = before;
    for (auto it = expected.begin(); it != expected.end();)
        it = it->first.contains(QStringLiteral(".001")) ? expected.erase(it) : std::next(it);
    EXPECT_EQ(after, expected);
}

TEST(SaveLayer, OnlyLayersWithChangesThatCanBeWrittenAreSaved)
{
    struct Case {
        const char *name;
        std::function<void(EditProject &, int)> prepare;
    };
    const std::vector<Case> cases = {
        {"read-only shapes", [](EditProject &p, int) { QFile::setPermissions(p.path(QStringLiteral("parcels.shp")), QFile::ReadOwner); }},
        {"read-only table", [](EditProject &p, int) { QFile::setPermissions(p.path(QStringLiteral("parcels.dbf")), QFile::ReadOwner); }},
        {"no changes", [](EditProject &p, int l) {
             TMapLayer &L = p.core.Project().Layers[static_cast<size_t>(l)];
             L.ObjectsModified = L.ObjectsAppended = L.ObjectsDeleted = false;
         }},
        {"a standard cadastral layer", [](EditProject &p, int l) { p.core.Project().Layers[static_cast<size_t>(l)].MapType = 2; }},
        {"missing index", [](EditProject &p, int) { QFile::remove(p.path(QStringLiteral("parcels.shx"))); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject p;
        const int l = editedParcels(p);
        c.prepare(p, l);
        const auto before = editfix::folderState(p.dir.path());
        const auto table = tableState(p.core.Project().Layers[static_cast<size_t>(l)]);
        EXPECT_FALSE(p.core.SaveLayer(l));
        EXPECT_EQ(editfix::folderState(p.dir.path()), before);
        EXPECT_EQ(tableState(p.core.Project().Layers[static_cast<size_t>(l)]), table);
    }
}

TEST(SaveLayer, TheTableIsPackedWheneverARowGoes)
{
    // Deletion only: rewritten without the object and its row.
    {
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), 1);
        p.commit(l, {{1, 1}}, {}, {{u8("NAME"), u8("one")}});
        p.commit(l, {{2, 2}}, {}, {{u8("NAME"), u8("two")}});
        ASSERT_TRUE(p.core.SaveLayer(l));
        p.remove(l, 0);
        ASSERT_TRUE(p.core.SaveLayer(l));
        EXPECT_EQ(p.read(QStringLiteral("a.dbf")), tableOf({todayRow("2", "two")}));
        EXPECT_EQ(triple(p, QStringLiteral("a")).shp,
                  fixtures::layer(1, {2, 2, 2, 2}, {fixtures::pointContent(1, 2, 2)}).shp);
    }
    // Appended objects only: rows another program marked deleted stay.
    {
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), 1,
                                 editfix::templateDbf({editfix::row("9", "", "old", "", true)}));
        // The table has a row more than the layer has objects.
        p.commit(l, {{1, 1}});
        ASSERT_TRUE(p.core.SaveLayer(l));
        EXPECT_EQ(p.read(QStringLiteral("a.dbf")),
                  tableOf({editfix::row("9", "", "old", "", true), todayRow("2")}));
    }
    // An undone commit: its row goes and the table is packed, even when the
    // layer was not told of a deletion.
    for (bool flagged : {true, false}) {
        SCOPED_TRACE(flagged);
        EditProject p;
        const int l = p.addLayer(QStringLiteral("a"), 1);
        p.commit(l, {{1, 1}}, {}, {{u8("NAME"), u8("kept")}});
        p.commit(l, {{2, 2}}, {}, {{u8("NAME"), u8("undone")}});
        p.core.UndoEdit();
        TMapLayer &L = p.core.Project().Layers[0];
        EXPECT_TRUE(L.ObjectsDeleted);
        L.ObjectsDeleted = flagged;
        ASSERT_TRUE(p.core.SaveLayer(l));
        EXPECT_EQ(p.read(QStringLiteral("a.dbf")), tableOf({todayRow("1", "kept")}));
        EXPECT_EQ(L.Objects.size(), 1u);
    }
}

TEST(SaveLayer, LeftoversBesideALayerNeverTakeItsPlace)
{
    // Files that earlier runs (or other hands) left beside a saved layer of
    // two parcels with their rows, named by no marker of a save: the layer
    // opens as it is, they stay as they are, and the next save is that of a
    // layer without them (under names no file has). An older version's
    // empty done marker names no files: it is reported, and the next save
    // puts its own in its place.
    const QByteArray emptyShp = editfix::emptyShape(5);
    const QByteArray half = "half a file";
    const std::map<QString, QByteArray> setAside = {{u8("parcels`.shp"), emptyShp},
                                                    {u8("parcels`.shx"), emptyShp},
                                                    {u8("parcels`.dbf"), editfix::templateDbf()}};
    const std::map<QString, QByteArray> unfinished = {
        {u8("parcels~.shp"), half}, {u8("parcels~.shx"), half}, {u8("parcels~.dbf"), half}};
    auto both = setAside;
    both.insert(unfinished.begin(), unfinished.end());
    auto doneMarker = setAside;
    doneMarker[u8("parcels~.Done")] = QByteArray();
    struct Case {
        const char *name;
        std::map<QString, QByteArray> leftovers;
        bool tableMissing = false;   // the layer has no ".dbf" of its own
        bool marker = false;         // an older marker: reported, and replaced by the save's own
    };
    const std::vector<Case> cases = {
        {"template copies set aside", setAside},
        {"new files never finished", unfinished},
        {"both", both},
        {"files set aside under a done marker", doneMarker, false, true},
        {"a table set aside for a layer without one", {{u8("parcels`.dbf"), editfix::templateDbf()}}, true},
    };
    auto savedParcels = [](EditProject &p) {
        const int l = p.addLayer(QStringLiteral("parcels"), 5);
        p.commit(l, {{100, 100}, {200, 100}, {200, 200}}, {}, {{u8("NAME"), u8("A")}});
        p.commit(l, {{300, 300}, {400, 300}, {400, 400}}, {}, {{u8("NAME"), u8("B")}});
        EXPECT_TRUE(p.core.SaveLayer(l));
        return l;
    };
    auto edit = [](EditProject &p, int l) {
        p.change(l, 1, [](TShpObject &s) { s.Parts[0].Points[1].X = 450; s.XMax = 450; });
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject ref;
        const int r = savedParcels(ref);
        if (c.tableMissing)
            QFile::remove(ref.path(u8("parcels.dbf")));
        edit(ref, r);
        ASSERT_TRUE(ref.core.SaveLayer(r));

        EditProject p;
        savedParcels(p);
        if (c.tableMissing)
            QFile::remove(p.path(u8("parcels.dbf")));
        const Triple saved = triple(p, u8("parcels"));
        for (const auto &[name, bytes] : c.leftovers)
            p.dir.write(name, bytes);
        const auto folder = editfix::folderState(p.dir.path());
        QStringList staying;
        for (const auto &[name, bytes] : c.leftovers)
            staying << name;

        // The layer is opened again: what a save left half done is put right
        // first, then the files are read and their snapshots taken.
        editfix::MessageLog messages;
        const QStringList found = p.core.RecoverLayerSave(u8("parcels.shp"));
        EXPECT_EQ(editfix::folderState(p.dir.path()), folder);
        EXPECT_EQ(found.size(), c.marker ? 1 : 0);
        if (c.marker) {
            EXPECT_TRUE(found.value(0).contains(u8("parcels~.Done"))) << found.value(0).toStdString();
        }
        const int l = p.openLayer(u8("parcels"));
        EXPECT_EQ(triple(p, u8("parcels")), saved);
        const TMapLayer &L = p.core.Project().Layers[static_cast<size_t>(l)];
        EXPECT_EQ(L.Objects.size(), 2u);
        EXPECT_EQ(p.read(QFileInfo(L.BackupShp).fileName()), saved.shp);

        edit(p, l);
        EXPECT_TRUE(p.core.SaveLayer(l));
        EXPECT_EQ(triple(p, u8("parcels")), triple(ref, u8("parcels")));
        staying.removeAll(u8("parcels~.Done"));
        EXPECT_EQ(saveLeftovers(p), staying);
        for (const QString &name : staying)
            EXPECT_EQ(p.read(name), c.leftovers.at(name)) << name.toStdString();
        if (c.marker) {
            EXPECT_TRUE(messages.texts.join(u'\n').contains(u8("parcels~.Done")))
                << messages.texts.join(u'\n').toStdString();
        }
    }
}

TEST(SaveRecovery, NeighboursWhoseNamesEndInTheSaveMarksSurviveOpeningAndSaving)
{
    // Layers of their own beside "plots": "plots~" (16 objects) and
    // "plots`", as another program or a user named them. Opening "plots",
    // editing and saving it leave them byte for byte; the save writes its
    // new files under names no file has.
    EditProject p;
    const int tilde = p.addLayer(u8("plots~"), 5);
    for (int i = 0; i < 16; ++i)
        p.commit(tilde, {{10.0 * i, 0}, {10.0 * i + 5, 0}, {10.0 * i + 5, 5}}, {}, {{u8("NAME"), u8("N")}});
    ASSERT_TRUE(p.core.SaveLayer(tilde));
    const int grave = p.addLayer(u8("plots`"), 5);
    p.commit(grave, {{1, 1}, {2, 1}, {2, 2}});
    ASSERT_TRUE(p.core.SaveLayer(grave));
    const int plots = p.addLayer(u8("plots"), 5);
    p.commit(plots, {{100, 100}, {200, 100}, {200, 200}}, {}, {{u8("NAME"), u8("A")}});
    ASSERT_TRUE(p.core.SaveLayer(plots));
    const Triple neighbour = triple(p, u8("plots~")), other = triple(p, u8("plots`"));
    ASSERT_EQ(p.core.Project().Layers[static_cast<size_t>(tilde)].Objects.size(), 16u);
    const Triple before = triple(p, u8("plots"));

    editfix::MessageLog messages;
    MapDataCore opened;
    opened.SetWorkDir(p.dir.path());
    ASSERT_TRUE(opened.OpenLayer(u8("plots.shp"), -1, true));
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(u',').toStdString();
    EXPECT_EQ(triple(p, u8("plots~")), neighbour);
    EXPECT_EQ(triple(p, u8("plots`")), other);
    EXPECT_EQ(triple(p, u8("plots")), before);
    opened.RestoreLayerBackup(0, true);

    // Edited and saved again: the neighbours stay, nothing is left.
    p.commit(plots, {{300, 300}, {400, 300}, {400, 400}}, {}, {{u8("NAME"), u8("B")}});
    ASSERT_TRUE(p.core.SaveLayer(plots));
    EXPECT_EQ(p.core.Project().Layers[static_cast<size_t>(plots)].Objects.size(), 2u);
    EXPECT_EQ(triple(p, u8("plots~")), neighbour);
    EXPECT_EQ(triple(p, u8("plots`")), other);
    QStringList names = saveLeftovers(p);
    names.removeIf([](const QString &n) { return n.startsWith(u8("plots~.")) || n.startsWith(u8("plots`.")); });
    EXPECT_TRUE(names.isEmpty()) << names.join(u',').toStdString();
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(u',').toStdString();
}

TEST(SaveRecovery, AMarkerThatIsNotTheSavesOwnIsIgnoredAndReported)
{
    // "plots" of nine objects, saved; beside it the files of an older save
    // of four objects under the new-file names, and a done marker that does
    // not vouch for them: an older version's (empty), one naming other
    // sizes, one cut short, one of a save whose first marker is gone and
    // whose files were since rewritten. Opening leaves every file as it is
    // and says which marker was ignored.
    auto made = [](EditProject &p, int objects) {
        const int l = p.addLayer(u8("plots"), 5);
        for (int i = 0; i < objects; ++i)
            p.commit(l, {{10.0 * i, 0}, {10.0 * i + 5, 0}, {10.0 * i + 5, 5}}, {}, {{u8("NAME"), u8("N")}});
        EXPECT_TRUE(p.core.SaveLayer(l));
        // The layer is closed: its snapshots go.
        p.core.RestoreLayerBackup(l, true);
        return triple(p, u8("plots"));
    };
    EditProject older;
    const Triple four = made(older, 4);
    // A marker line: role, extension, name, layer file, size, SHA-1.
    auto line = [](const char *ext, const QByteArray &bytes, qint64 size) {
        return QByteArray("new\t") + ext + "\tplots~" + ext + "\tplots" + ext + '\t' + QByteArray::number(size) + '\t' +
               QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex() + '\n';
    };
    const QByteArray head = "TOLVANE LAYER SAVE\n";
    auto named = [&](qint64 shift) {
        return head + line(".shp", four.shp, four.shp.size() + shift) + line(".shx", four.shx, four.shx.size() + shift) +
               line(".dbf", four.dbf, four.dbf.size() + shift) + "end\n";
    };
    const std::vector<std::pair<const char *, QByteArray>> markers = {
        {"an older version's", QByteArray()},
        {"other sizes", named(8)},
        {"cut short", named(0).left(60)},
        {"garbage", "TOLVANE LAYER SAVE\nwhatever\nend\n"},
    };
    for (const auto &[what, marker] : markers) {
        SCOPED_TRACE(what);
        EditProject p;
        const Triple nine = made(p, 9);
        p.dir.write(u8("plots~.shp"), four.shp);
        p.dir.write(u8("plots~.shx"), four.shx);
        p.dir.write(u8("plots~.dbf"), four.dbf);
        p.dir.write(u8("plots~.Done"), marker);
        const auto folder = editfix::folderState(p.dir.path());

        editfix::MessageLog messages;
        MapDataCore opened;
        opened.SetWorkDir(p.dir.path());
        ASSERT_TRUE(opened.OpenLayer(u8("plots.shp"), -1, true));
        opened.RestoreLayerBackup(0, true);
        EXPECT_EQ(opened.Project().Layers[0].Objects.size(), 9u);
        EXPECT_EQ(triple(p, u8("plots")), nine);
        EXPECT_EQ(editfix::folderState(p.dir.path()), folder);
        ASSERT_EQ(messages.texts.size(), 1);
        EXPECT_TRUE(messages.texts[0].contains(u8("plots~.Done"))) << messages.texts[0].toStdString();
    }
    // The same marker with the sizes and digests of the files beside it is
    // that save's own: the save is completed.
    EditProject p;
    made(p, 9);
    p.dir.write(u8("plots~.shp"), four.shp);
    p.dir.write(u8("plots~.shx"), four.shx);
    p.dir.write(u8("plots~.dbf"), four.dbf);
    p.dir.write(u8("plots~.Done"), named(0));
    editfix::MessageLog messages;
    EXPECT_TRUE(p.core.RecoverLayerSave(u8("plots.shp")).isEmpty());
    EXPECT_EQ(triple(p, u8("plots")), four);
    EXPECT_TRUE(saveLeftovers(p).isEmpty()) << saveLeftovers(p).join(u',').toStdString();
}

TEST(SaveRecovery, AKilledSavesPartFileAndJournalIndexGo)
{
    // A save killed while copying the table (its part file half written) or
    // while putting the journal's new index in place: opening the layer
    // finds the old layer or the new one whole, and nothing of the save
    // beside it.
    struct Case {
        const char *step;      // the step the process dies at
        bool saved;            // the new files stand afterwards
        const char *leftover;  // what the killed step left (a name, or none)
    };
    const Case cases[] = {
        {"copy parcels~.dbf", false, "parcels~.dbf.part"},
        {"rename updates~.mhx", true, "updates~.mhx"},
    };
    const auto [oldFiles, newFiles] = parcelsSaved();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.step);
        const int at = saveStep(QString::fromUtf8(c.step));
        ASSERT_GT(at, 0);
        EditProject p;
        const int l = editedParcels(p);
        editfix::FaultyOps ops;
        ops.stopAt = at;
        p.core.setFileOps(&ops);
        editfix::MessageLog messages;
        p.core.SaveLayer(l);
        // What the step leaves when the process dies inside it.
        if (!QFileInfo::exists(p.path(QString::fromUtf8(c.leftover))))
            p.dir.write(QString::fromUtf8(c.leftover), "half");
        ASSERT_TRUE(QFileInfo::exists(p.path(u8("parcels~.Save"))));

        p.core.setFileOps(nullptr);
        EXPECT_TRUE(p.core.RecoverLayerSave(p.core.Project().Layers[0].FileName).isEmpty());
        EXPECT_EQ(triple(p, u8("parcels")), c.saved ? newFiles : oldFiles);
        EXPECT_TRUE(saveLeftovers(p).isEmpty()) << saveLeftovers(p).join(u',').toStdString();
        EXPECT_FALSE(QFileInfo::exists(p.path(u8("updates~.mhx"))));
    }
}

TEST(SaveRecovery, AProgramThatOnlyReadsChangesNothing)
{
    // A save stopped between its renames, beside a neighbour "parcels~":
    // a program that only reads opens the layer read-only, says the save was
    // stopped and changes no file, snapshots included.
    editfix::MessageLog messages;
    const int rename = saveStep(u8("rename parcels~.shx"));
    ASSERT_GT(rename, 0);
    EditProject q;
    const int ql = editedParcels(q);
    editfix::FaultyOps stop;
    stop.stopAt = rename;
    q.core.setFileOps(&stop);
    q.core.SaveLayer(ql);
    q.core.setFileOps(nullptr);
    q.core.RestoreLayerBackup(ql, true);
    q.dir.write(u8("other~.shp"), "a neighbour's");
    const auto folder = editfix::folderState(q.dir.path());

    messages.texts.clear();
    MapDataCore reader;
    reader.SetWorkDir(q.dir.path());
    reader.setReadOnlyFiles(true);
    reader.OpenLayer(u8("parcels.shp"), -1, true);
    EXPECT_TRUE(reader.Project().Layers[0].ReadOnly);
    reader.RestoreLayerBackup(0, true);
    EXPECT_EQ(editfix::folderState(q.dir.path()), folder);
    EXPECT_TRUE(messages.texts.join(u'\n').contains(u8("было прервано"))) << messages.texts.join(u'\n').toStdString();

    // Opened by the program, the save is completed.
    MapDataCore program;
    program.SetWorkDir(q.dir.path());
    ASSERT_TRUE(program.OpenLayer(u8("parcels.shp"), -1, true));
    program.RestoreLayerBackup(0, true);
    QStringList left = saveLeftovers(q);
    EXPECT_EQ(left, QStringList{u8("other~.shp")});
}

TEST(SaveLayer, RecordsWithZAndMBlocks)
{
    // Records keep their Z and M blocks, untouched or edited (an edited one
    // gets the ranges of its values); a Z record in the plain layout gets
    // zeros; invalid heads are written without parts.
    const Box box{1, 1, 3, 3};
    const std::vector<Pt> ring = {{1, 1}, {3, 1}, {3, 3}, {1, 1}};
    const std::vector<Pt> moved = {{1, 1}, {4, 1}, {3, 3}, {1, 1}};
    // A block as an edit writes it: the range, then the values (the
    // fixtures' made-up 777, 778, ...).
    auto block = [](qsizetype n) {
        QByteArray b;
        testsupport::putLEDouble(b, 0, 777);
        testsupport::putLEDouble(b, 8, 777.0 + double(n - 1));
        for (qsizetype k = 0; k < n; ++k)
            testsupport::putLEDouble(b, b.size(), 777.0 + double(k));
        return b;
    };
    auto point = [](std::int32_t type, double x, std::vector<double> values) {
        QByteArray c = fixtures::pointContent(type, x, 2);
        for (double v : values)
            testsupport::putLEDouble(c, c.size(), v);
        return c;
    };
    auto moveFirstVertex = [](TShpObject &s) { s.Parts[0].Points[s.Parts[0].Points.size() > 1 ? 1 : 0].X += 1; };
    struct Case {
        const char *name;
        std::int32_t type;
        QByteArray stored;
        bool edited;
        QByteArray saved;
        Box savedBox;
    };
    const std::vector<Case> cases = {
        {"polygon Z with M", 15, fixtures::polyContentZM(15, box, {0}, ring, true, true), false,
         fixtures::polyContentZM(15, box, {0}, ring, true, true), box},
        {"polygon M", 25, fixtures::polyContentZM(25, box, {0}, ring, false, true), false,
         fixtures::polyContentZM(25, box, {0}, ring, false, true), box},
        {"polygon Z in the plain layout", 15, fixtures::polyContent(15, box, {0}, ring), false,
         fixtures::polyContent(15, box, {0}, ring) + QByteArray(16 + 4 * 8, '\0'), box},
        {"polygon Z with M, a vertex moved", 15, fixtures::polyContentZM(15, box, {0}, ring, true, true), true,
         fixtures::polyContent(15, {1, 1, 4, 3}, {0}, moved) + block(4) + block(4), {1, 1, 4, 3}},
        {"polygon M, a vertex moved", 25, fixtures::polyContentZM(25, box, {0}, ring, false, true), true,
         fixtures::polyContent(25, {1, 1, 4, 3}, {0}, moved) + block(4), {1, 1, 4, 3}},
        {"point Z with M", 11, point(11, 2, {152.5, 7}), false, point(11, 2, {152.5, 7}), {2, 2, 2, 2}},
        {"point Z with M, moved", 11, point(11, 2, {152.5, 7}), true, point(11, 3, {152.5, 7}), {3, 2, 3, 2}},
        {"point M, moved", 21, point(21, 2, {7}), true, point(21, 3, {7}), {3, 2, 3, 2}},
        {"point Z in the plain layout, moved", 11, point(11, 2, {}), true, point(11, 3, {0}), {3, 2, 3, 2}},
        {"polygon without parts", 5, fixtures::polyContent(5, box, {}, {}), false,
         fixtures::polyContent(5, {}, {}, {}), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditProject p;
        const bool points = c.type == 11 || c.type == 21;
        const QByteArray other = points ? fixtures::pointContent(c.type, 5, 5)
                                        : fixtures::polyContent(c.type, {5, 5, 6, 6}, {0},
                                                                {{5, 5}, {6, 5}, {6, 6}, {5, 5}});
        const fixtures::Layer f = fixtures::layer(c.type, {1, 1, 6, 6}, {c.stored, other});
        p.dir.write(QStringLiteral("z.shp"), f.shp);
        p.dir.write(QStringLiteral("z.shx"), f.shx);
        p.dir.write(QStringLiteral("z.dbf"), editfix::templateDbf({editfix::row("1", "", "", ""), editfix::row("2", "", "", "")}));
        const int l = p.openLayer(QStringLiteral("z"));
        if (c.edited) {
            ASSERT_TRUE(p.change(l, 0, [&](TShpObject &s) {
                moveFirstVertex(s);
                mapdata::recomputePointsBox(s);
            }));
        }
        p.remove(l, 1);
        ASSERT_TRUE(p.core.SaveLayer(l));
        EXPECT_EQ(p.read(QStringLiteral("z.shp")), fixtures::layer(c.type, c.savedBox, {c.saved}).shp);
    }
}

TEST(SaveLayer, AStoppedSaveLeavesTheOldLayerOrTheNewOneWhole)
{
    // What earlier runs left beside the layer when the save starts: nothing,
    // old files set aside (copies of the template), unfinished new files,
    // or both.
    const QByteArray emptyShp = editfix::emptyShape(5);
    const std::map<QString, QByteArray> setAside = {{u8("parcels`.shp"), emptyShp},
                                                    {u8("parcels`.shx"), emptyShp},
                                                    {u8("parcels`.dbf"), editfix::templateDbf()}};
    const std::map<QString, QByteArray> unfinished = {{u8("parcels~.shp"), "half"}, {u8("parcels~.dbf"), "half"}};
    auto both = setAside;
    both.insert(unfinished.begin(), unfinished.end());
    const std::vector<std::pair<const char *, std::map<QString, QByteArray>>> starts = {
        {"nothing left", {}}, {"old files set aside", setAside}, {"unfinished new files", unfinished},
        {"both", both}};
    // A save of the edited parcels with the leftovers beside them, through
    // the file operations given.
    auto save = [](EditProject &p, const std::map<QString, QByteArray> &leftovers, editfix::FaultyOps &ops) {
        const int l = editedParcels(p);
        for (const auto &[name, bytes] : leftovers)
            p.dir.write(name, bytes);
        p.core.setFileOps(&ops);
        editfix::MessageLog messages;
        return p.core.SaveLayer(l);
    };

    // The files of the layer before the save and after a save that ran through.
    const auto [oldFiles, newFiles] = parcelsSaved();
    ASSERT_NE(oldFiles, newFiles);
    // The program starts again and opens the layer: old or new, whole, and
    // nothing of the save left beside it; what other runs left there stays
    // as it was.
    auto expectWhole = [&](EditProject &p, const editfix::FaultyOps &ops, int n,
                           const std::map<QString, QByteArray> &leftovers) {
        p.core.setFileOps(nullptr);
        EXPECT_TRUE(p.core.RecoverLayerSave(p.core.Project().Layers[0].FileName).isEmpty());
        const Triple now = triple(p, QStringLiteral("parcels"));
        const bool isOld = now == oldFiles, isNew = now == newFiles;
        EXPECT_TRUE(isOld || isNew) << "stopped at: " << ops.log.value(n - 1).toStdString() << " after "
                                    << ops.log.mid(0, n - 1).join(u',').toStdString();
        QStringList staying;
        for (const auto &[name, bytes] : leftovers) {
            staying << name;
            EXPECT_EQ(p.read(name), bytes) << name.toStdString();
        }
        EXPECT_EQ(saveLeftovers(p), staying) << "stopped at: " << ops.log.value(n - 1).toStdString();
        return std::make_pair(isOld, isNew);
    };

    for (const auto &[what, leftovers] : starts) {
        SCOPED_TRACE(what);
        int total = 0;
        {
            EditProject p;
            editfix::FaultyOps ops;
            ASSERT_TRUE(save(p, leftovers, ops));
            EXPECT_EQ(triple(p, QStringLiteral("parcels")), newFiles);
            total = ops.steps;
        }
        int oldSeen = 0, newSeen = 0;
        for (int n = 1; n <= total; ++n) {
            SCOPED_TRACE(n);
            EditProject p;
            editfix::FaultyOps ops;
            ops.failAt = n;
            ops.dead = true;
            save(p, leftovers, ops);
            const auto [isOld, isNew] = expectWhole(p, ops, n, leftovers);
            oldSeen += isOld;
            newSeen += isNew;
        }
        EXPECT_GT(oldSeen, 0);
        EXPECT_GT(newSeen, 0);
    }

    // A step that fails makes the save take itself back, and the run may
    // stop at any step of that too.
    int total = 0;
    {
        EditProject p;
        editfix::FaultyOps ops;
        ASSERT_TRUE(save(p, {}, ops));
        total = ops.steps;
    }
    for (int n = 1; n <= total; ++n) {
        int steps = 0;
        {
            EditProject p;
            editfix::FaultyOps ops;
            ops.failAt = n;
            save(p, {}, ops);
            steps = ops.steps;
        }
        for (int m = n + 1; m <= steps; ++m) {
            SCOPED_TRACE(testing::Message() << "failed at " << n << ", stopped at " << m);
            EditProject p;
            editfix::FaultyOps ops;
            ops.failAt = n;
            ops.stopAt = m;
            save(p, {}, ops);
            expectWhole(p, ops, m, {});
        }
    }
}

TEST(SaveLayer, AFailedStepLeavesTheLayerAndItsTableAsTheyWere)
{
    const Triple newFiles = parcelsSaved().second;
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        EditProject p;
        const int l = editedParcels(p);
        const Triple oldFiles = triple(p, QStringLiteral("parcels"));
        const auto table = tableState(p.core.Project().Layers[0]);
        editfix::FaultyOps ops;
        ops.failAt = n;
        p.core.setFileOps(&ops);
        editfix::MessageLog messages;
        const bool saved = p.core.SaveLayer(l);
        if (ops.steps < n) {
            EXPECT_TRUE(saved);
            EXPECT_TRUE(messages.texts.isEmpty());
            EXPECT_GT(n, 10);
            break;
        }
        const QString step = ops.log.value(n - 1);
        if (!saved) {
            EXPECT_EQ(messages.texts.size(), 1) << step.toStdString();
            EXPECT_TRUE(messages.texts.value(0).startsWith(u8("Невозможно записать слой "))) << step.toStdString();
            EXPECT_EQ(triple(p, QStringLiteral("parcels")), oldFiles) << step.toStdString();
            EXPECT_EQ(tableState(p.core.Project().Layers[0]), table);
            EXPECT_TRUE(saveLeftovers(p).isEmpty()) << step.toStdString();
            // Saving again works.
            p.core.setFileOps(nullptr);
            ASSERT_TRUE(p.core.SaveLayer(l));
        }
        // Saved: a spare old file or the journal could not go, which does not
        // undo the save (the journal's failure is told).
        EXPECT_LE(messages.texts.size(), 1) << step.toStdString();
        EXPECT_EQ(triple(p, QStringLiteral("parcels")), newFiles) << step.toStdString();
        p.core.setFileOps(nullptr);
        p.core.RecoverLayerSave(p.core.Project().Layers[0].FileName);
        EXPECT_EQ(triple(p, QStringLiteral("parcels")), newFiles) << step.toStdString();
        EXPECT_TRUE(saveLeftovers(p).isEmpty()) << step.toStdString();
    }
}

TEST(SaveLayer, UndoPassesOverEntriesOfASavedLayerThatStayedInTheJournal)
{
    EditProject p;
    const int other = p.addLayer(QStringLiteral("other"), 1);
    const int l = p.addLayer(QStringLiteral("a"), 1);
    p.commit(other, {{7, 7}});
    p.commit(l, {{1, 1}});
    p.commit(l, {{2, 2}});
    p.change(l, 1, [](TShpObject &s) { s.Parts[0].Points[0].X = 3; });
    // Count the steps of the save; one of the last puts the journal without
    // the layer's entries in place.
    editfix::FaultyOps ops;
    p.core.setFileOps(&ops);
    editfix::MessageLog messages;
    ops.failAt = 1000;
    ASSERT_TRUE(p.core.SaveLayer(l));
    // The same again, the journal's last step failing.
    EditProject q;
    const int qo = q.addLayer(QStringLiteral("other"), 1);
    const int ql = q.addLayer(QStringLiteral("a"), 1);
    q.commit(qo, {{7, 7}});
    q.commit(ql, {{1, 1}});
    q.commit(ql, {{2, 2}});
    q.change(ql, 1, [](TShpObject &s) { s.Parts[0].Points[0].X = 3; });
    const int journalStep = static_cast<int>(ops.log.indexOf(u8("rename updates~.mhx"))) + 1;
    ASSERT_GT(journalStep, 0) << ops.log.join(u',').toStdString();
    editfix::FaultyOps qops;
    qops.failAt = journalStep;
    q.core.setFileOps(&qops);
    ASSERT_TRUE(q.core.SaveLayer(ql));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].startsWith(u8("Невозможно записать журнал изменений ")));
    // Nothing can be redone; undo leaves the saved objects alone and reaches
    // the other layer's entry.
    EXPECT_EQ(q.core.JournalCount(), q.core.JournalPos());
    q.core.UndoEdit();
    q.core.UndoEdit();
    q.core.UndoEdit();
    const TMapLayer &L = q.core.Project().Layers[static_cast<size_t>(ql)];
    ASSERT_EQ(L.Objects.size(), 2u);
    for (const TMapObject &o : L.Objects)
        EXPECT_FALSE(o.Deleted || o.JrnOffset != 0);
    q.core.UndoEdit();
    EXPECT_EQ(q.core.JournalPos(), 0);
    EXPECT_TRUE(q.object(qo, 0).Deleted);
}

TEST(SaveSelectionAsLayer, SelectedObjectsThatFitTheTarget)
{
    EditProject p;
    const int pts = p.addLayer(QStringLiteral("pts"), 1);
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5);
    const int marks = p.addLayer(QStringLiteral("marks"), 8);
    p.commit(pts, {{1, 1}}, {}, {{u8("NAME"), u8("point")}});
    p.commit(parcels, {{10, 10}, {20, 10}, {20, 20}}, {}, {{u8("NAME"), u8("first")}, {u8("AREA"), u8("50")}});
    p.commit(parcels, {{30, 30}, {40, 30}, {40, 40}}, {}, {{u8("NAME"), u8("second")}});
    p.commit(marks, {{5, 5}, {6, 6}}, {}, {}, okPolygon);
    p.dir.write(QStringLiteral("out.shp"), editfix::emptyShape(5));
    p.dir.write(QStringLiteral("out.shx"), editfix::emptyShape(5));
    // The target has other fields; same names are copied.
    const std::vector<dbtest::FieldSpec> fields = {{"NAME", 'C', 10, 0}, {"ID", 'N', 5, 0}, {"NOTE", 'C', 4, 0},
                                                   {"DATEEDIT", 'D', 8, 0}};
    p.dir.write(QStringLiteral("out.dbf"), dbtest::dbfFile(fields, {}));
    TSelObjects &sel = p.engine.selection;
    sel.Entries.clear();
    for (auto [layer, index] : {std::pair{pts, 0}, std::pair{parcels, 1}, std::pair{marks, 0}, std::pair{parcels, 0}}) {
        TSelObject e;
        e.Layer = layer;
        e.Index = index;
        sel.Entries.push_back(e);
    }
    ASSERT_TRUE(p.core.SaveSelectionAsLayer(p.path(QStringLiteral("out.shp"))));
    const Box b2{30, 30, 40, 40}, b1{10, 10, 20, 20};
    const fixtures::Layer expected = fixtures::layer(
        5, {10, 10, 40, 40},
        {fixtures::polyContent(5, b2, {0}, {{30, 30}, {40, 30}, {40, 40}, {30, 30}}),
         fixtures::polyContent(5, b1, {0}, {{10, 10}, {20, 10}, {20, 20}, {10, 10}})});
    EXPECT_EQ(p.read(QStringLiteral("out.shp")), expected.shp);
    EXPECT_EQ(p.read(QStringLiteral("out.shx")), expected.shx);
    auto rowOf = [](const char *name, const char *id) {
        return dbtest::record({dbtest::left(u8(name), 10), dbtest::right(u8(id), 5), dbtest::left(QString(), 4),
                               dbtest::left(u8("20240315"), 8)});
    };
    EXPECT_EQ(p.read(QStringLiteral("out.dbf")),
              dbtest::dbfFile(fields, {rowOf("second", "1"), rowOf("first", "2")}, 124, 3, 15));

    // Into a polyline layer polygons become polylines; a point layer takes
    // the point; a raster layer takes nothing.
    p.dir.write(QStringLiteral("lines.shp"), editfix::emptyShape(3));
    p.dir.write(QStringLiteral("lines.shx"), editfix::emptyShape(3));
    p.dir.write(QStringLiteral("lines.dbf"), editfix::templateDbf());
    ASSERT_TRUE(p.core.SaveSelectionAsLayer(p.path(QStringLiteral("lines.shp"))));
    EXPECT_EQ(p.read(QStringLiteral("lines.shp")),
              fixtures::layer(3, {10, 10, 40, 40},
                              {fixtures::polyContent(3, b2, {0}, {{30, 30}, {40, 30}, {40, 40}, {30, 30}}),
                               fixtures::polyContent(3, b1, {0}, {{10, 10}, {20, 10}, {20, 20}, {10, 10}})})
                  .shp);
    p.dir.write(QStringLiteral("p2.shp"), editfix::emptyShape(1));
    p.dir.write(QStringLiteral("p2.shx"), editfix::emptyShape(1));
    p.dir.write(QStringLiteral("p2.dbf"), editfix::templateDbf());
    ASSERT_TRUE(p.core.SaveSelectionAsLayer(p.path(QStringLiteral("p2.shp"))));
    EXPECT_EQ(p.read(QStringLiteral("p2.shp")), fixtures::layer(1, {1, 1, 1, 1}, {fixtures::pointContent(1, 1, 1)}).shp);
    EXPECT_EQ(p.read(QStringLiteral("p2.dbf")), tableOf({todayRow("1", "point")}));
    p.dir.write(QStringLiteral("img.shp"), editfix::emptyShape(10));
    p.dir.write(QStringLiteral("img.shx"), editfix::emptyShape(10));
    p.dir.write(QStringLiteral("img.dbf"), editfix::templateDbf());
    const auto before = editfix::folderState(p.dir.path());
    EXPECT_FALSE(p.core.SaveSelectionAsLayer(p.path(QStringLiteral("img.shp"))));
    QFile::setPermissions(p.path(QStringLiteral("out.dbf")), QFile::ReadOwner);
    EXPECT_FALSE(p.core.SaveSelectionAsLayer(p.path(QStringLiteral("out.shp"))));
    EXPECT_EQ(editfix::folderState(p.dir.path()), before);
}

TEST(SaveSelectionAsLayer, AFailedWriteLeavesTheTargetAsItWas)
{
    EditProject p;
    const int parcels = p.addLayer(QStringLiteral("parcels"), 5);
    p.commit(parcels, {{10, 10}, {20, 10}, {20, 20}});
    p.dir.write(QStringLiteral("out.shp"), editfix::emptyShape(5));
    p.dir.write(QStringLiteral("out.shx"), editfix::emptyShape(5));
    p.dir.write(QStringLiteral("out.dbf"), editfix::templateDbf());
    const auto before = editfix::folderState(p.dir.path());
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        editfix::FaultyOps ops;
        ops.failAt = n;
        p.core.setFileOps(&ops);
        editfix::MessageLog messages;
        EXPECT_FALSE(p.core.SaveSelectionAsLayer(p.path(QStringLiteral("out.shp"))));
        EXPECT_EQ(messages.texts.size(), 1);
        EXPECT_EQ(editfix::folderState(p.dir.path()), before);
    }
}
