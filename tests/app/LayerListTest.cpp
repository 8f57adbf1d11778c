// The layer list: rows from the layer table, the switches, the active-layer
// row, dragging rows, the drop-down panel, the enabling of the layer
// commands, and the layer commands close, save all and save as.

#include "MapWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QScopeGuard>
#include <QToolButton>

using namespace maptest;
using namespace app;

namespace {

struct Images {
    int visible, snap, edited;
};

Images rowImages(const QTreeWidgetItem *row)
{
    return {rowImage(row, lcVisible), rowImage(row, lcSnap), rowImage(row, lcEdited)};
}

} // namespace

class LayerListTest : public MapWindowTest {
protected:
    // Layers of the given names (visible, selectable, not editable), listed,
    // the first one active.
    void addLayers(std::initializer_list<const char *> names)
    {
        for (const char *n : names) {
            TMapLayer &L = map().Project().Layers.emplace_back();
            L.Name = QString::fromUtf8(n);
            L.MapType = 1;
            L.ObjType = otPolygons;
            L.Visible = true;
            L.Snap = true;
        }
        w().RebuildLayerList(true);
        w().ShowActiveLayerRow(map().Project().ActiveLayer);
    }
    QTreeWidgetItem *row(int i) { return w().ListLayers->topLevelItem(i); }
    // A click at x on a row of ListLayers, or on the row of LVLayer.
    void clickList(int i, int x)
    {
        w().FListLayersMouse = QPoint(x, w().ListLayers->visualItemRect(row(i)).center().y());
        w().ListLayersClick();
    }
    void clickShown(int x)
    {
        w().FLVLayerMouse = QPoint(x, w().LVLayer->visualItemRect(w().LVLayer->topLevelItem(0)).center().y());
        w().LVLayerClick();
    }
};

TEST_F(LayerListTest, RowsFollowTheTableWithoutClosedLayers)
{
    addLayers({"A", "B", "C"});
    layer(0).Edited = true;
    layer(2).Visible = false;
    layer(1).Closed = true;
    w().RebuildLayerList(true);
    ASSERT_EQ(rowLayers(w().ListLayers), (std::vector<int>{0, 2}));
    EXPECT_EQ(row(1)->text(lcName), QStringLiteral("C"));
    EXPECT_EQ(rowImage(row(0), lcName), imgLayerRow);
    const Images a = rowImages(row(0)), c = rowImages(row(1));
    EXPECT_EQ(a.visible, imgVisibleOn);
    EXPECT_EQ(a.snap, imgSnapOn);
    EXPECT_EQ(a.edited, imgEditedOn);
    EXPECT_EQ(c.visible, imgVisibleOff);
    EXPECT_EQ(c.edited, imgEditedOff);

    // Rows keep the order they were given; a rebuild that is not full
    // appends only the layers without a row.
    w().DragLayerRow(0, 1);
    map().Project().Layers.emplace_back().Name = QStringLiteral("D");
    w().RebuildLayerList(false);
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{2, 0, 3}));
}

TEST_F(LayerListTest, ClicksToggleTheSwitchUnderTheMouse)
{
    struct Case {
        int x;
        int column;       // the switch toggled, -1 none
        bool redraw;
        bool activates;   // clicking a row that is not the active layer's
    };
    const Case cases[] = {
        {100, -1, false, true},
        {190, lcVisible, true, false},
        {215, lcSnap, false, false},
        {240, lcEdited, false, false},
        {180, -1, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.x);
        map().Project().Layers.clear();
        map().Project().ActiveLayer = 0;
        addLayers({"A", "B"});
        const Images before = rowImages(row(1));
        forgetViews();
        clickList(1, c.x);
        const Images after = rowImages(row(1));
        EXPECT_EQ(after.visible != before.visible, c.column == lcVisible);
        EXPECT_EQ(after.snap != before.snap, c.column == lcSnap);
        EXPECT_EQ(after.edited != before.edited, c.column == lcEdited);
        EXPECT_EQ(layer(1).Visible, after.visible == imgVisibleOn);
        EXPECT_EQ(layer(1).Snap, after.snap == imgSnapOn);
        EXPECT_EQ(layer(1).Edited, after.edited == imgEditedOn);
        EXPECT_EQ(redrawn(), c.redraw);
        EXPECT_EQ(map().Project().ActiveLayer, c.activates ? 1 : 0);
        EXPECT_EQ(w().ShownLayerIndex(), c.activates ? 1 : 0);
    }
}

TEST_F(LayerListTest, TheActiveLayersSwitchesShowInBothLists)
{
    addLayers({"A", "B"});
    // A switch of the active layer's row: it stays active and LVLayer shows
    // the new state.
    clickList(0, 190);
    EXPECT_EQ(map().Project().ActiveLayer, 0);
    EXPECT_EQ(rowImage(w().LVLayer->topLevelItem(0), lcVisible), imgVisibleOff);
    EXPECT_FALSE(layer(0).Visible);
    // A switch of LVLayer's row goes to the list's row of that layer.
    clickShown(215);
    EXPECT_EQ(rowImage(row(0), lcSnap), imgSnapOff);
    EXPECT_FALSE(layer(0).Snap);
    EXPECT_TRUE(layer(1).Snap);
}

TEST_F(LayerListTest, TheReleaseEndingADoubleClickIsNoClick)
{
    // The release must come within the double-click time of the double click;
    // a loaded machine can take longer than the default between the two calls.
    const int interval = QApplication::doubleClickInterval();
    QApplication::setDoubleClickInterval(60000);
    const auto restore = qScopeGuard([interval] { QApplication::setDoubleClickInterval(interval); });
    addLayers({"A", "B"});
    clickList(1, 190);
    {
        // The double click opens the layer's properties, left unsaved.
        testsupport::ScriptedAnswers answers;
        QString shown;
        dialog(answers, [&](QDialog &d) {
            shown = d.objectName();
            return int(platform::mrCancel);
        });
        w().ListLayersDblClick();
        EXPECT_EQ(shown, QStringLiteral("ProLayer"));
    }
    clickList(1, 190);
    EXPECT_FALSE(layer(1).Visible);
    EXPECT_EQ(rowImage(row(1), lcVisible), imgVisibleOff);
}

TEST_F(LayerListTest, DraggingMovesRowsOnlyAndKeepsTheActiveLayerShown)
{
    addLayers({"A", "B", "C"});
    clickList(1, 100);
    ASSERT_EQ(map().Project().ActiveLayer, 1);
    // Drag the first row onto the third.
    w().ListLayers->setCurrentItem(row(0));
    forgetViews();
    ASSERT_TRUE(w().ListLayersDragOver(w().ListLayers, QPoint()));
    w().ListLayersDragDrop(w().ListLayers, w().ListLayers->visualItemRect(row(2)).center());
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(layer(0).Name, QStringLiteral("A"));
    EXPECT_EQ(layer(2).Name, QStringLiteral("C"));
    // LVLayer still shows B, the layer the commands and new objects act on.
    EXPECT_EQ(map().Project().ActiveLayer, 1);
    EXPECT_EQ(w().ShownLayerIndex(), 1);
    EXPECT_EQ(w().LVLayer->topLevelItem(0)->text(lcName), QStringLiteral("B"));
    EXPECT_TRUE(redrawn());
    // Only list views are accepted as the source of a drag.
    EXPECT_FALSE(w().ListLayersDragOver(w().MapLayersPanel, QPoint()));
}

TEST_F(LayerListTest, PanelSize)
{
    struct Case {
        int rows, screenHeight, panelTop;
        QSize size;
    };
    const int width = 259;
    const Case cases[] = {
        {12, 768, 468, {width + 6, 230}},             // 12 rows of 19 fit
        {30, 768, 468, {width + 22, (15 - 5) * 19 + 2}}, // as many as fit, less 5, and the scroll bar
        {3, 768, 468, {width + 6, 5 * 19 + 2}},       // never fewer than 5 rows
        {6, 768, 740, {width + 22, 19 + 2}},          // at the bottom one row stays
    };
    for (const Case &c : cases)
        EXPECT_EQ(layersPanelSize(c.rows, 19, width, c.screenHeight, c.panelTop), c.size) << c.rows;
    EXPECT_EQ(clickedSwitchColumn(180), -1);
    EXPECT_EQ(clickedSwitchColumn(181), lcVisible);
    EXPECT_EQ(clickedSwitchColumn(202), lcVisible);
    EXPECT_EQ(clickedSwitchColumn(203), lcSnap);
    EXPECT_EQ(clickedSwitchColumn(227), lcSnap);
    EXPECT_EQ(clickedSwitchColumn(228), lcEdited);
}

TEST_F(LayerListTest, ClosingRemovesTheClosedLayersRow)
{
    addLayers({"A", "B", "C"});
    clickList(2, 100);
    // The focus is on A's row while LVLayer shows C.
    w().ListLayers->setCurrentItem(row(0));
    {
        testsupport::ScriptedAnswers answers;
        reply(answers, platform::mrCancel);
        w().aCloseLayer->trigger();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Закрыть слой C ?"));
        EXPECT_EQ(answers.messages()[0].buttons, platform::mbOKCancel);
        EXPECT_FALSE(layer(2).Closed);
    }
    testsupport::ScriptedAnswers answers;
    reply(answers, platform::mrOk);
    w().aCloseLayer->trigger();
    EXPECT_TRUE(layer(2).Closed);
    EXPECT_FALSE(layer(0).Closed);
    EXPECT_EQ(rowLayers(w().ListLayers), (std::vector<int>{0, 1}));
    // The focused row becomes the active one.
    EXPECT_EQ(map().Project().ActiveLayer, 0);
    EXPECT_EQ(w().ShownLayerIndex(), 0);
    // Closing the last rows empties LVLayer.
    for (int i = 0; i < 2; ++i) {
        testsupport::ScriptedAnswers more;
        reply(more, platform::mrOk);
        w().aCloseLayer->trigger();
    }
    EXPECT_EQ(w().ListLayers->topLevelItemCount(), 0);
    EXPECT_EQ(w().LVLayer->topLevelItemCount(), 0);
    EXPECT_EQ(map().Project().ActiveLayer, 0);
    EXPECT_EQ(map().Project().Layers.size(), 3u);
}

TEST_F(LayerListTest, EnablingFollowsTheActiveLayer)
{
    w().UpdateToolButtons();
    EXPECT_FALSE(w().tbSaveProject->isEnabled());
    EXPECT_TRUE(w().tbLayerOpen->isEnabled());
    EXPECT_FALSE(w().tbLayerClose->isEnabled());
    EXPECT_FALSE(w().pbDraw->isEnabled());
    EXPECT_FALSE(w().tbProLayer->isEnabled());
    EXPECT_TRUE(w().TbLen->isEnabled());

    addLayers({"texts", "images"});
    layer(0).MapType = mtTextLayer;
    layer(0).ObjType = otText;
    layer(1).ObjType = otImages;
    layer(1).ObjectsModified = true;
    struct Case {
        int active;
        bool cosmetic, openImage, saveLayer, import;
    };
    const Case cases[] = {{0, true, false, false, false}, {1, false, true, true, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.active);
        clickList(c.active, 100);
        EXPECT_TRUE(w().tbSaveProject->isEnabled());
        EXPECT_TRUE(w().tbLayerClose->isEnabled());
        EXPECT_TRUE(w().tbProView->isEnabled());
        EXPECT_TRUE(w().pbEdit->isEnabled());
        EXPECT_EQ(w().pbCosmetic->isEnabled(), c.cosmetic);
        EXPECT_EQ(w().tbOpenImage->isEnabled(), c.openImage);
        EXPECT_EQ(w().tbSaveLayer->isEnabled(), c.saveLayer);
        w().PMenuLayersPopup();
        EXPECT_TRUE(w().nProLegend->isEnabled());
        EXPECT_EQ(w().nListImage->isEnabled(), c.openImage);
        EXPECT_EQ(w().nOpenImage->isEnabled(), c.openImage);
        w().N111Click();
        EXPECT_TRUE(w().nPropertiesLayer->isEnabled());
        EXPECT_EQ(w().mListImage->isEnabled(), c.openImage);
        EXPECT_FALSE(w().mImport->isEnabled());
    }
    layer(0).MapType = 0;
    layer(0).ObjType = otPolygons;
    clickList(0, 100);
    w().PMenuLayersPopup();
    EXPECT_FALSE(w().nProLegend->isEnabled());
    w().N111Click();
    EXPECT_TRUE(w().mImport->isEnabled());
}

TEST_F(LayerListTest, SaveAllSavesTheChangedLayersAndEndsTheJournal)
{
    writeLayer(work_, QStringLiteral("a"), squares(3), 3);
    writeLayer(work_, QStringLiteral("b"), squares(2), 2);
    openLayer(QStringLiteral("a.shp"));
    openLayer(QStringLiteral("b.shp"));
    w().RebuildLayerList(true);
    // Object 2 of "a" deleted, "b" unchanged.
    layer(0).Objects[1].Deleted = true;
    layer(0).ObjectsDeleted = true;
    const QByteArray bBefore = readFile(QDir(work_).filePath(QStringLiteral("b.shp")));
    writeFile(QDir(work_).filePath(QStringLiteral("updates.mhp")), fileHeader(0, {}, 50));
    writeFile(QDir(work_).filePath(QStringLiteral("updates.mhx")), fileHeader(0, {}, 50));
    map().SetJournalPos(2);
    map().SetJournalCount(2);
    w().mLayerSaveAll->trigger();
    EXPECT_FALSE(layer(0).ObjectsDeleted);
    EXPECT_EQ(layer(0).Objects.size(), 2u);
    // Two records of 8 + 128 bytes after the header.
    EXPECT_EQ(readFile(QDir(work_).filePath(QStringLiteral("a.shp"))).size(), 100 + 2 * 136);
    EXPECT_EQ(readFile(QDir(work_).filePath(QStringLiteral("b.shp"))), bBefore);
    EXPECT_EQ(map().JournalPos(), 0);
    EXPECT_EQ(map().JournalCount(), 0);
    EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("updates.mhp"))));
    EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("updates.mhx"))));
}

TEST_F(LayerListTest, SaveAsCopiesTheFilesAndTakesNewSnapshots)
{
    writeLayer(work_, QStringLiteral("orig"), squares(2), 2);
    const QString orig = QDir(work_).filePath(QStringLiteral("orig.shp"));
    const QByteArray saved = readFile(orig);
    openLayer(QStringLiteral("orig.shp"));
    w().RebuildLayerList(true);
    w().ShowActiveLayerRow(0);
    // An object appended in place since the layer was opened.
    const QByteArray appended = saved + polyContent(5, {1, 1, 2, 2});
    writeFile(orig, appended);

    {
        testsupport::ScriptedAnswers answers;
        openFile(answers, QDir(work_).filePath(QStringLiteral("copy.txt")));
        w().nLayerSaveAs->trigger();
        EXPECT_EQ(answers.fileRequests()[0].filter, QStringLiteral("Все форматы (*.shp)|*.shp|Слой ArcView (*.shp)|*.shp"));
        EXPECT_EQ(layer(0).FileName, QStringLiteral("orig.Shp"));
        EXPECT_FALSE(QFile::exists(QDir(work_).filePath(QStringLiteral("copy.txt"))));
    }
    testsupport::ScriptedAnswers answers;
    openFile(answers, QDir(work_).filePath(QStringLiteral("copy.shp")));
    w().nLayerSaveAs->trigger();
    EXPECT_EQ(layer(0).FileName, QStringLiteral("copy.shp"));
    const QString copy = QDir(work_).filePath(QStringLiteral("copy.shp"));
    EXPECT_EQ(readFile(copy), appended);
    for (const char *ext : {".shx", ".dbf"})
        EXPECT_EQ(readFile(QDir(work_).filePath(QStringLiteral("copy") + QLatin1String(ext))),
                  readFile(QDir(work_).filePath(QStringLiteral("orig") + QLatin1String(ext))))
            << ext;
    // The old files are back at their saved state; the copies have
    // snapshots of their own.
    EXPECT_EQ(readFile(orig), saved);
    EXPECT_TRUE(snapshot(orig).isEmpty());
    EXPECT_EQ(readFile(snapshot(copy)), appended);

    // Closed without saving, each file comes back from its own snapshot.
    writeFile(copy, appended + "more");
    testsupport::ScriptedAnswers no;
    reply(no, platform::mrNo);
    w().QuerySaveProject(false, false, false);
    EXPECT_EQ(readFile(copy), appended);
    EXPECT_EQ(readFile(orig), saved);
}
