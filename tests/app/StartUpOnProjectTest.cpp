// The program as a user starts it: the frame and its map window on the
// settings of a user whose last project is the demo map, the layer list and
// the status bar after the first activation, the view commands, the welcome
// window's buttons, resizing, the drop-down layers panel, and closing with
// the save prompt.

#include "AppTestSupport.h"

#include "app/FFirstOpen.h"
#include "platform/ui/FormClass.h"
#include "platform/Paths.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using apptest::setProductValue;
using testsupport::copyDemoProject;

namespace {

QStringList rowCaptions(const QTreeWidget *list)
{
    QStringList captions;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        captions << list->topLevelItem(i)->text(0);
    return captions;
}

// Snapshot copies ("parcels.shp.001" ...) in a folder.
QStringList snapshots(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.0??")}, QDir::Files);
}

} // namespace

class StartUpOnProjectTest : public apptest::WindowTest {
protected:
    // The frame shown and active, with its map window the active child.
    TStart &startFrame()
    {
        TStart &start = frame();
        start.resize(1024, 768);
        start.show();
        start.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&start));
        start.MdiArea->setActiveSubWindow(Tolvane);
        QApplication::processEvents();
        return start;
    }
    // The frame started so on a copy of the demo project, the last project of
    // the settings.
    TStart &startOnTheDemo()
    {
        setProductValue(QStringLiteral("LastOpenTvpFile"), copyDemoProject(dir_.path()));
        return startFrame();
    }
    // Closes the project of the map window, not saving it.
    static void closeWithoutSaving()
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrNo);
        Tolvane->QuerySaveProject(false, false, false);
    }
};

TEST_F(StartUpOnProjectTest, TheLastProjectOpensAndClosesWithItsFilesRestored)
{
    const QString project = copyDemoProject(dir_.path());
    setProductValue(QStringLiteral("LastOpenTvpFile"), project);
    TStart &start = startFrame();
    TTolvane &w = *Tolvane;
    ASSERT_TRUE(w.FirstActivationDone());
    EXPECT_FALSE(FirstOpenWindow()->isVisible());

    // The layers in the order of the project, with the active one shown.
    TMapVyk &map = *w.MapImage;
    EXPECT_EQ(map.ProjectFile(), project);
    ASSERT_EQ(map.Project().Layers.size(), 6u);
    EXPECT_EQ(w.ListLayers->topLevelItemCount(), 6);
    QStringList names;
    for (const TMapLayer &l : map.Project().Layers)
        names << l.Name;
    EXPECT_EQ(rowCaptions(w.ListLayers), names);
    ASSERT_EQ(w.LVLayer->topLevelItemCount(), 1);
    EXPECT_EQ(w.LVLayer->topLevelItem(0)->text(0), map.Project().Layers[size_t(map.Project().ActiveLayer)].Name);
    EXPECT_EQ(w.windowTitle(), project);
    // The view of the project and its scale in the status bar.
    EXPECT_DOUBLE_EQ(TMapVyk::ScaleToDenominator(map.View().Scale), 2000);
    EXPECT_EQ(platform::statusPanels(w.MapStatusBar)[0]->text(), QStringLiteral("M 1:2000"));
    EXPECT_EQ(w.EditScale->text(), QStringLiteral("2000"));
    EXPECT_NE(platform::statusPanels(w.MapStatusBar)[1]->text(), QStringLiteral("Zoom: 0x0 m"));
    EXPECT_GT(map.View().PictureWidth, 0);
    // The snapshots of the open layers.
    EXPECT_FALSE(snapshots(dir_.file(QStringLiteral("demo"))).isEmpty());

    // The view commands act on the view.
    w.aZoomOut->trigger();   // enlarge
    EXPECT_DOUBLE_EQ(TMapVyk::ScaleToDenominator(map.View().Scale), 1000);
    EXPECT_EQ(platform::statusPanels(w.MapStatusBar)[0]->text(), QStringLiteral("M 1:1000"));
    w.aZoomIn->trigger();    // reduce
    w.aZoomIn->trigger();
    EXPECT_DOUBLE_EQ(TMapVyk::ScaleToDenominator(map.View().Scale), 4000);
    w.tbPriorZoom->click();
    EXPECT_DOUBLE_EQ(TMapVyk::ScaleToDenominator(map.View().Scale), 2000);
    w.TbViewLayers->click();
    EXPECT_GT(map.View().CenterX, 1299000);
    EXPECT_LT(map.View().CenterX, 1301000);

    // Closing the frame asks; No puts every layer file back as it was opened,
    // byte for byte (here after bytes were appended, as a new object is).
    const QString parcelsPath = dir_.file(QStringLiteral("demo/parcels.shp"));
    const QByteArray parcels = dir_.read(QStringLiteral("demo/parcels.shp"));
    ASSERT_FALSE(parcels.isEmpty());
    {
        QFile f(parcelsPath);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(56, '\x01'));
    }
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrNo);
        start.close();
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Сохранить проект ") + project);
    }
    EXPECT_TRUE(snapshots(dir_.file(QStringLiteral("demo"))).isEmpty());
    EXPECT_EQ(dir_.read(QStringLiteral("demo/parcels.shp")), parcels);
}

TEST_F(StartUpOnProjectTest, ALastProjectThatIsNoProjectIsReportedAndNamedNowhere)
{
    const QString noise = dir_.file(QStringLiteral("noise.tvp"));
    QByteArray bytes("\x01\x9f");
    bytes += '\0';
    bytes += "garbage\r\nLayersCount=0\r\n";
    dir_.write(QStringLiteral("noise.tvp"), bytes);
    setProductValue(QStringLiteral("LastOpenTvpFile"), noise);
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    startFrame();
    ASSERT_TRUE(Tolvane->FirstActivationDone());
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Файл ") + noise + QStringLiteral(" не является проектом Tolvane !"));
    EXPECT_TRUE(Tolvane->MapImage->ProjectFile().isEmpty());
    EXPECT_TRUE(Tolvane->MapImage->Project().Layers.empty());
    EXPECT_FALSE(QFileInfo::exists(dir_.file(QStringLiteral("noise"))));
}

TEST_F(StartUpOnProjectTest, WelcomeButtonsLeadToTheProjectCommands)
{
    // No last project: the first activation shows the welcome window, which
    // then has the focus.
    TStart &start = frame();
    start.show();
    start.activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(Tolvane->FirstActivationDone());
    TFirstOpen *welcome = FirstOpenWindow();
    ASSERT_TRUE(welcome->isVisible());
    {
        // "Новый проект" goes straight to the new project's save dialog.
        testsupport::ScriptedAnswers answers;
        answers.cancelFile();
        welcome->SpeedButton1->click();
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        EXPECT_EQ(answers.fileRequests()[0].kind, platform::FileDialogRequest::Save);
        EXPECT_EQ(answers.fileRequests()[0].title, QStringLiteral("Сохранить Tolvane проект"));
        EXPECT_FALSE(welcome->isVisible());
        EXPECT_EQ(Tolvane->windowTitle(), QStringLiteral("NoName.tvp"));
    }
    welcome->show();
    {
        // "Открыть проект": the open dialog.
        testsupport::ScriptedAnswers answers;
        answers.cancelFile();
        welcome->SpeedButton3->click();
        ASSERT_EQ(answers.fileRequests().size(), 1u);
        EXPECT_EQ(answers.fileRequests()[0].title, QStringLiteral("Открыть Tolvane проект"));
        EXPECT_FALSE(welcome->isVisible());
    }
    // The last project's button opens it and closes the window.
    const QString project = copyDemoProject(dir_.path());
    setProductValue(QStringLiteral("LastOpenTvpFile"), project);
    welcome->show();
    ASSERT_TRUE(welcome->SpeedButton2->isEnabled());
    welcome->SpeedButton2->click();
    EXPECT_EQ(Tolvane->MapImage->ProjectFile(), project);
    EXPECT_EQ(Tolvane->ListLayers->topLevelItemCount(), 6);
    EXPECT_FALSE(welcome->isVisible());
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrNo);
    Tolvane->QuerySaveProject(false, false, false);
}

TEST_F(StartUpOnProjectTest, TheSixthResizeKeepsTheVisibleExtent)
{
    TStart &start = startOnTheDemo();
    TTolvane &w = *Tolvane;
    TMapVyk &map = *w.MapImage;
    ASSERT_FALSE(map.Project().Layers.empty());
    ASSERT_TRUE(w.IsActiveForm());
    map.SetScale(TMapVyk::DenominatorToScale(2000));
    TMapPoint lowerLeft, upperRight;
    map.LogicalToMap(QPointF(0, -map.View().PictureHeight), lowerLeft);
    map.LogicalToMap(QPointF(map.View().PictureWidth, 0), upperRight);
    // Half the window: the same extent needs a smaller scale, about twice
    // the denominator (with the fitting margin of 1.2).
    w.FResizeCount = 5;
    const int resizes = 5;
    start.resize(start.width() / 2, start.height() / 2);
    QApplication::processEvents();
    EXPECT_GT(w.FResizeCount, resizes);
    EXPECT_GT(TMapVyk::ScaleToDenominator(map.View().Scale), 3000);
    TMapPoint newLowerLeft, newUpperRight;
    map.LogicalToMap(QPointF(0, -map.View().PictureHeight), newLowerLeft);
    map.LogicalToMap(QPointF(map.View().PictureWidth, 0), newUpperRight);
    EXPECT_LE(newLowerLeft.X, lowerLeft.X + 1e-6);
    EXPECT_GE(newUpperRight.X, upperRight.X - 1e-6);
    EXPECT_LE(newLowerLeft.Y, lowerLeft.Y + 1e-6);
    EXPECT_GE(newUpperRight.Y, upperRight.Y - 1e-6);
    closeWithoutSaving();
}

TEST_F(StartUpOnProjectTest, TheLayersPanelDropsDownBelowTheActiveLayerRow)
{
    startOnTheDemo();
    TTolvane &w = *Tolvane;
    ASSERT_TRUE(w.IsActiveForm());
    const QPoint overRow = w.LVLayer->mapToGlobal(QPoint(10, 5));
    w.ApplicationEvents1Message(overRow);
    ASSERT_TRUE(w.MapLayersPanel->isVisible());
    // 2 pixels left of the row and 2 below it, the row lying at (2, 2) of its
    // panel.
    const QPoint row = w.LVLayer->mapTo(w.widget(), QPoint(0, 0));
    EXPECT_EQ(w.MapLayersPanel->pos(), QPoint(row.x() - 2, row.y() + w.LVLayer->height() + 2));
    // Elsewhere over the map: the panel goes.
    w.ApplicationEvents1Message(w.MapImage->mapToGlobal(w.MapImage->rect().center()));
    EXPECT_FALSE(w.MapLayersPanel->isVisible());
    // Without layers it never shows.
    closeWithoutSaving();
    w.ClearProject();
    w.ApplicationEvents1Message(overRow);
    EXPECT_FALSE(w.MapLayersPanel->isVisible());
}

TEST_F(StartUpOnProjectTest, GrowingTheWindowRedrawsTheMapOverItsNewSize)
{
    TStart &start = startOnTheDemo();
    TMapVyk &map = *Tolvane->MapImage;
    ASSERT_FALSE(map.Project().Layers.empty());
    ASSERT_TRUE(Tolvane->IsActiveForm());
    // The user's first resize after the program has come up, as many times as
    // they like: every one leaves a picture over the whole map area.
    for (int i = 0; i < 3; ++i) {
        const QSize before = map.size();
        start.resize(start.width() + 60, start.height() + 40);
        QApplication::processEvents();
        SCOPED_TRACE(i);
        ASSERT_GT(map.width(), before.width());
        EXPECT_EQ(map.size(), map.parentWidget()->size());
        EXPECT_EQ(QSize(map.PictureBitmap().width(), map.PictureBitmap().height()), map.size());
        // The back buffer that overlays are wiped with covers the map too,
        // also beyond the screen's size.
        EXPECT_GE(map.BackBuffer().width(), map.width());
        EXPECT_GE(map.BackBuffer().height(), map.height());
        // The picture is measured for the new size and the map drawn into it.
        EXPECT_EQ(QSize(map.MapPicture().width(), map.MapPicture().height()), map.size());
        EXPECT_NEAR(map.View().PictureWidth / map.View().UnitsPerPixelX, map.width(), 0.5);
        EXPECT_NEAR(map.View().PictureHeight / map.View().UnitsPerPixelY, map.height(), 0.5);
    }
    closeWithoutSaving();
}
