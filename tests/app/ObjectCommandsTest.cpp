// The object commands of the map window on fixture layers: merge and split,
// the clipboard, delete, duplicate and reverse, undo and redo, removing
// digitized points, the information panel, the table editor's table and the
// pick menu's enabling.

#include "CommandFixtures.h"

#include "dialogs/FEditTable.h"
#include "mapdata/ObjectTextBlock.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "platform/ui/FormClass.h"

using namespace cmdtest;

namespace {

// Records what the dialogs of later issues were asked.
class RecordingSeams : public dialogs::DialogSeams {
public:
    bool ShowTableEditor(const QString &tablePath) override
    {
        tables.push_back(tablePath);
        return true;
    }
    bool ShowEditInfo() override
    {
        ++infoShown;
        return true;
    }
    bool ShowCoordinateList(const QString &mode) override
    {
        lists.push_back(mode);
        return true;
    }
    QStringList tables, lists;
    int infoShown = 0;
};

class ObjectCommands : public CommandTest {};

} // namespace

TEST_F(ObjectCommands, MergeMakesOneObjectOfManyPartsInTheCurrentLayer)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    const int locked = addLayer(QStringLiteral("locked"), twoLines(500), 2);
    setEditable(locked, false);
    makeCurrent(lines);
    pickTool();

    // One object alone is no merge.
    select(lines, 0);
    w().aSplit->trigger();
    EXPECT_EQ(liveObjects(lines), 2);
    EXPECT_TRUE(clipboard_.text().isEmpty());

    // A line of the layer and one of a locked layer: one object of two parts
    // in the current layer; the locked layer keeps its line.
    select(locked, 1);
    w().aSplit->trigger();
    ASSERT_EQ(layer(lines).Objects.size(), 3u);
    EXPECT_TRUE(layer(lines).Objects[0].Deleted);
    EXPECT_FALSE(layer(lines).Objects[1].Deleted);
    EXPECT_EQ(liveObjects(locked), 2);
    const TShpObject merged = read(lines, 2);
    ASSERT_EQ(merged.Parts.size(), 2u);
    EXPECT_EQ(merged.Parts[0].Points.front().X, 0);
    EXPECT_EQ(merged.Parts[1].Points.front().X, 500);
    EXPECT_EQ(merged.Parts[1].Points.front().Y, 50);
    // The text block of the two objects stays on the clipboard.
    EXPECT_TRUE(clipboard_.text().startsWith(QStringLiteral("Tolvane Object")));
    EXPECT_TRUE(w().tbUndo->isEnabled());
}

TEST_F(ObjectCommands, SplitMakesAnObjectOfEveryPart)
{
    const ShapePair p = shapes(3, {0, 0, 100, 50}, {polyPoints(3, {{{0, 0}, {100, 0}}, {{0, 50}, {100, 50}}})});
    const int lines = addLayer(QStringLiteral("parts"), p, 1);
    pickTool();
    select(lines, 0);
    w().aUnSplit->trigger();
    ASSERT_EQ(layer(lines).Objects.size(), 3u);
    EXPECT_TRUE(layer(lines).Objects[0].Deleted);
    EXPECT_EQ(read(lines, 1).Parts.size(), 1u);
    EXPECT_EQ(read(lines, 2).Parts.size(), 1u);
    EXPECT_EQ(read(lines, 2).Parts[0].Points.front().Y, 50);
    EXPECT_TRUE(clipboard_.text().startsWith(QStringLiteral("Tolvane Object")));
}

TEST_F(ObjectCommands, CopyAndPasteGoThroughTheTextBlock)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    select(lines, 1);
    // Without the pick tool nothing is copied.
    w().aCopyObjects->trigger();
    EXPECT_TRUE(clipboard_.text().isEmpty());
    pickTool();
    w().aCopyObjects->trigger();
    const QString block = clipboard_.text();
    EXPECT_TRUE(block.startsWith(QStringLiteral("Tolvane Object")));

    const int target = addLayer(QStringLiteral("target"), twoLines(1000), 2);
    // A locked current layer takes nothing.
    setEditable(target, false);
    w().aPasteObjects->trigger();
    EXPECT_EQ(layer(target).Objects.size(), 2u);
    setEditable(target, true);
    w().aPasteObjects->trigger();
    ASSERT_EQ(layer(target).Objects.size(), 3u);
    EXPECT_EQ(read(target, 2).Parts[0].Points.front().Y, 50);
    EXPECT_EQ(read(target, 2).Parts[0].Points.front().X, 0);
}

TEST_F(ObjectCommands, DeleteDuplicateAndReverseNeedThePickToolAndAnEditableLayer)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    select(lines, 0);

    // Nothing without the pick tool.
    w().mObjectDeleteClick();
    w().nObjectCopyClick();
    w().aRevase->trigger();
    EXPECT_EQ(layer(lines).Objects.size(), 2u);
    EXPECT_EQ(liveObjects(lines), 2);
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 0);

    pickTool();
    // Duplicating on a locked current layer does nothing.
    setEditable(lines, false);
    w().nObjectCopyClick();
    w().aRevase->trigger();
    EXPECT_EQ(layer(lines).Objects.size(), 2u);
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 0);

    setEditable(lines, true);
    w().aRevase->trigger();
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 100);
    w().nObjectCopyClick();
    ASSERT_EQ(layer(lines).Objects.size(), 3u);
    EXPECT_EQ(read(lines, 2).Parts[0].Points.front().X, 100);

    w().mObjectDeleteClick();
    EXPECT_TRUE(map().Selection().Entries.empty());
    EXPECT_EQ(liveObjects(lines), 2);
}

TEST_F(ObjectCommands, UndoAndRedoButtonsFollowTheJournal)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    pickTool();
    select(lines, 0);
    w().aRevase->trigger();
    map().Selection().Entries.clear();
    select(lines, 1);
    w().aRevase->trigger();
    EXPECT_TRUE(w().tbUndo->isEnabled());
    EXPECT_FALSE(w().tbRedo->isEnabled());

    w().tbUndo->click();
    w().tbUndo->click();
    EXPECT_FALSE(w().tbUndo->isEnabled());
    EXPECT_TRUE(w().tbRedo->isEnabled());
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 0);

    w().tbRedo->click();
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 100);
    EXPECT_TRUE(w().tbRedo->isEnabled());
    // A new change drops what could be redone.
    map().Selection().Entries.clear();
    select(lines, 0);
    w().aRevase->trigger();
    EXPECT_FALSE(w().tbRedo->isEnabled());
    EXPECT_TRUE(w().tbUndo->isEnabled());
}

// "Правка" -> "Отменить" and "Вернуть" (Ctrl+Z, Ctrl+Y) are the buttons'
// commands, available when the buttons are.
TEST_F(ObjectCommands, UndoAndRedoOfTheEditMenuAreTheButtons)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    EXPECT_EQ(w().N28->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(w().N29->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    auto same = [&] {
        EXPECT_EQ(w().N28->isEnabled(), w().tbUndo->isEnabled());
        EXPECT_EQ(w().N29->isEnabled(), w().tbRedo->isEnabled());
    };
    w().RedrawMap();
    EXPECT_FALSE(w().N28->isEnabled());
    EXPECT_FALSE(w().N29->isEnabled());
    pickTool();
    select(lines, 0);
    w().aRevase->trigger();
    same();
    ASSERT_TRUE(w().N28->isEnabled());
    w().N28->trigger();
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 0);
    same();
    ASSERT_TRUE(w().N29->isEnabled());
    w().N29->trigger();
    EXPECT_EQ(read(lines, 0).Parts[0].Points.front().X, 100);
    same();
}

TEST_F(ObjectCommands, DelRemovesDigitizedPointsAndEndsTheFigure)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    map().ResetPicture();
    w().pbDraw->setChecked(true);
    TMapVyk &m = map();
    m.Drag().Drawing = true;
    w().NDelPoint->setEnabled(true);
    w().NDelPoint->setShortcut(QKeySequence(Qt::Key_Delete));
    for (double x : {1000.0, 1010.0, 1020.0}) {
        TNewPoint p;
        p.Point.X = x;
        p.Point.Y = 1000;
        m.NewObject().Points.push_back(p);
    }
    const QList<QLabel *> panels = platform::statusPanels(w().MapStatusBar);
    w().NDelPoint->trigger();
    ASSERT_EQ(m.NewObject().Points.size(), 2u);
    EXPECT_TRUE(m.Drag().Drawing);
    EXPECT_FALSE(panels[4]->text().isEmpty());
    w().NDelPoint->trigger();
    EXPECT_EQ(m.NewObject().Points.size(), 1u);
    w().NDelPoint->trigger();
    EXPECT_TRUE(m.NewObject().Points.empty());
    EXPECT_FALSE(m.Drag().Drawing);
    EXPECT_FALSE(w().NDelPoint->isEnabled());
    EXPECT_TRUE(w().NDelPoint->shortcut().isEmpty());

    // The ruler removes its points alike; another tool leaves them.
    m.Drag().Drawing = true;
    m.NewObject().Points.resize(2);
    w().PBPick->setChecked(true);
    w().NDelPointClick();
    EXPECT_EQ(m.NewObject().Points.size(), 2u);
    w().TbLen->setChecked(true);
    w().NDelPointClick();
    EXPECT_EQ(m.NewObject().Points.size(), 1u);
}

TEST_F(ObjectCommands, TheDrawButtonThrowsAwayTheFigure)
{
    TMapVyk &m = map();
    m.Drag().Drawing = true;
    m.NewObject().Points.resize(3);
    m.NewObject().Values.push_back({QStringLiteral("ID"), QStringLiteral("1")});
    w().nDrawPointClick(w().nDrawText);
    EXPECT_TRUE(w().pbDraw->isChecked());
    EXPECT_EQ(w().FDrawKind, w().nDrawText);
    EXPECT_EQ(m.NewObject().Points.size(), 3u);
    w().pbDraw->click();
    EXPECT_EQ(w().FDrawKind, w().nDrawPolygon);
    EXPECT_FALSE(m.Drag().Drawing);
    EXPECT_TRUE(m.NewObject().Points.empty());
    EXPECT_TRUE(m.NewObject().Values.empty());
}

TEST_F(ObjectCommands, TheInformationPanelSaysWhyItStaysShut)
{
    RecordingSeams seams;
    platform::ScopedService<dialogs::DialogSeams> installed(seams);
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    struct Case {
        QToolButton *tool;
        bool selected;
        const char *message; // null: the panel opens
    };
    const Case cases[] = {
        {w().PBPick, false, "Нет выбранных объектов"},
        {w().pbSelect, false, "Нет выбранных объектов"},
        {w().PBZoom, false, "Выберите режим выбора объектов"},
        {w().pbDraw, true, "Выберите режим выбора объектов"},
        {w().PBPick, true, nullptr},
        {w().PBZoom, true, nullptr},
    };
    for (const Case &c : cases) {
        map().Selection().Entries.clear();
        if (c.selected)
            select(lines, 0);
        c.tool->setChecked(true);
        const int before = seams.infoShown;
        testsupport::ScriptedAnswers answers;
        if (c.message)
            reply(answers, platform::mrOk);
        w().nEditInfoClick();
        if (c.message) {
            ASSERT_EQ(answers.messages().size(), 1u);
            EXPECT_EQ(answers.messages()[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(seams.infoShown, before);
        } else {
            EXPECT_TRUE(answers.messages().empty());
            EXPECT_EQ(seams.infoShown, before + 1);
        }
    }
    // The action is silent, and not for the zoom tool.
    map().Selection().Entries.clear();
    w().aEditInfoExecute();
    select(lines, 0);
    w().PBZoom->setChecked(true);
    w().aEditInfoExecute();
    EXPECT_EQ(seams.infoShown, 2);
    w().pbSelect->setChecked(true);
    w().aEditInfoExecute();
    EXPECT_EQ(seams.infoShown, 3);
}

TEST_F(ObjectCommands, TheDefaultDialogsOpenFromTheirCommands)
{
    // Without a dialog service of the tests' own the program's dialogs open.
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    pickTool();
    select(lines, 0);
    w().nEditInfoClick();
    ASSERT_NE(platform::findApplicationWindow(u"EditInfo"), nullptr);
    EXPECT_TRUE(platform::findApplicationWindow(u"EditInfo")->isVisible());
    testsupport::ScriptedAnswers answers;
    QString editedTable;
    QStringList shown;
    const auto cancel = [&](QDialog &d) {
        shown << d.objectName();
        if (auto *editor = dynamic_cast<TEditTable *>(&d))
            editedTable = editor->FTableFile;
        return int(platform::mrCancel);
    };
    for (int i = 0; i < 6; ++i)
        maptest::dialog(answers, cancel);
    w().nObjectNewClick();
    w().nVYKEditClick();
    w().aProLayer->trigger();
    w().aProData->trigger();
    EXPECT_EQ(QFileInfo(editedTable).fileName(), QStringLiteral("lines.dbf"));
    w().aProView->trigger();
    w().aVykView->trigger();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("NewMapPoint"), QStringLiteral("NewMapPoint"),
                                  QStringLiteral("ProLayer"), QStringLiteral("EditTable"), QStringLiteral("ProLegend"),
                                  QStringLiteral("MapView")}));
    EXPECT_EQ(layer(lines).Objects.size(), 2u);
    EXPECT_EQ(map().Selection().Entries.size(), 1u);
}

TEST_F(ObjectCommands, TheTableEditorOpensTheTableOfTheWorkFolderFirst)
{
    RecordingSeams seams;
    platform::ScopedService<dialogs::DialogSeams> installed(seams);
    // A layer of another folder: its own table, unless the work folder has
    // one of its name.
    const QString other = folder(QStringLiteral("other.dir"));
    writeLayer(other, QStringLiteral("roads"), twoLines(), 2);
    const int roads = openLayer(QDir(other).filePath(QStringLiteral("roads.shp")));
    w().RebuildLayerList(false);
    makeCurrent(roads);
    w().aProData->trigger();
    ASSERT_EQ(seams.tables.size(), 1);
    EXPECT_EQ(QFileInfo(seams.tables[0]).canonicalFilePath(),
              QFileInfo(QDir(other).filePath(QStringLiteral("roads.dbf"))).canonicalFilePath());

    // The table found in the work folder under the layer's name wins.
    layer(roads).FileName = QStringLiteral("roads.shp");
    writeFile(QDir(work_).filePath(QStringLiteral("roads.dbf")), idTable(2));
    w().aProData->trigger();
    ASSERT_EQ(seams.tables.size(), 2);
    EXPECT_EQ(QFileInfo(seams.tables[1]).canonicalFilePath(),
              QFileInfo(QDir(work_).filePath(QStringLiteral("roads.dbf"))).canonicalFilePath());

    // No table: no editor.
    QFile::remove(QDir(work_).filePath(QStringLiteral("roads.dbf")));
    w().aProData->trigger();
    EXPECT_EQ(seams.tables.size(), 2);
}

TEST_F(ObjectCommands, TheCoordinateListOpensForNewAndEditedObjects)
{
    RecordingSeams seams;
    platform::ScopedService<dialogs::DialogSeams> installed(seams);
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    w().nObjectNewClick();
    w().nObjectEditClick();
    // The pick menu's "Изменить объект" needs a selection.
    w().nVYKEditClick();
    select(lines, 0);
    w().nVYKEditClick();
    // A parcel of a standard cadastral layer goes to the host product.
    layer(lines).MapType = 2;
    w().nVYKEditClick();
    EXPECT_EQ(seams.lists, (QStringList{QStringLiteral("New"), QStringLiteral("Edit"), QStringLiteral("Edit")}));
}

TEST_F(ObjectCommands, ThePickMenuEnablesWhatTheSelectionAndTheActiveLayerAllow)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    struct Case {
        Byte mapType, objType;
        bool pick, selected;
        bool reverse;   // "Изменить направление", the zones, "Сохранить выбранные"
        bool labels;    // "Добавить обозначения"
        bool host;      // "Выбор объекта" and the cadastral items
    };
    const Case cases[] = {
        {1, 2, true, true, true, false, false},   // lines
        {1, 3, true, true, true, false, false},   // polygons
        {1, 1, true, true, false, false, false},  // points
        {8, 0, true, true, true, true, false},    // texts
        {8, 0, false, true, false, true, false},  // not the pick tool
        {1, 2, true, false, false, false, false}, // nothing selected
        {2, 3, true, true, false, false, true},   // parcels
        {16, 3, true, true, false, false, true},
        {4, 3, true, true, false, false, false},
    };
    for (const Case &c : cases) {
        layer(lines).MapType = c.mapType;
        layer(lines).ObjType = c.objType;
        map().Selection().Entries.clear();
        if (c.selected)
            select(lines, 0);
        (c.pick ? w().PBPick : w().PBZoom)->setChecked(true);
        w().pMenuPickPopup();
        SCOPED_TRACE(testing::Message() << int(c.mapType) << "/" << int(c.objType) << " pick " << c.pick);
        for (QAction *a : {w().nRevase, w().nBufferForPoint, w().nBufferForLine, w().nBufferForPoly,
                           w().nSaveSelected})
            EXPECT_EQ(a->isEnabled(), c.reverse) << a->objectName().toStdString();
        EXPECT_EQ(w().nAppendLabel->isEnabled(), c.labels);
        for (QAction *a : {w().nVYKSelect, w().nVYKNumber, w().nVYKAutoLabel, w().nVYKMark, w().nVYKOk,
                           w().nVYKUnMark, w().nVYKUnOk})
            EXPECT_EQ(a->isEnabled(), c.host) << a->objectName().toStdString();
        for (QAction *a : {w().nSelectObject, w().nStatistic, w().nVYKEdit, w().nVYKView, w().nObjectDelete})
            EXPECT_EQ(a->isEnabled(), c.selected) << a->objectName().toStdString();
    }
}

TEST_F(ObjectCommands, TheEditMenuEnablesDeleteForThePickToolWithASelection)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2);
    w().menuEditClick();
    EXPECT_FALSE(w().mObjectDelete->isEnabled());
    select(lines, 0);
    w().menuEditClick();
    EXPECT_FALSE(w().mObjectDelete->isEnabled());
    pickTool();
    w().menuEditClick();
    EXPECT_TRUE(w().mObjectDelete->isEnabled());
}

TEST_F(ObjectCommands, DisplayFiltersFormARadioGroupAndToggles)
{
    w().nShowMark->trigger();
    EXPECT_TRUE(w().nShowMark->isChecked());
    EXPECT_FALSE(w().nShowAll->isChecked());
    w().nShowFilter->trigger();
    EXPECT_TRUE(w().nShowFilter->isChecked());
    EXPECT_FALSE(w().nShowMark->isChecked());
    EXPECT_TRUE(w().nShowPassive->isChecked());
    w().nShowPassive->trigger();
    EXPECT_FALSE(w().nShowPassive->isChecked());
}
