// The redraw of the map window: which layers reach the drawers and in what
// order, the two pictures laid one over the other, the picture on the
// control probed pixel by pixel, report pictures, a drawer that fails, the
// progress bars, the centre mark and the states of the edit buttons. (The
// pictures of real layers: tests/mapengine/RenderPictureTest.cpp.)

#include "MapWindowFixture.h"
#include "../mapengine/RenderFixtures.h"

#include "app/LayerListRows.h"
#include "platform/gdi/Metafile.h"

#include <QAction>
#include <QStatusBar>
#include <QToolButton>

#include <functional>
#include <stdexcept>

using namespace rendertest;
using namespace platform::gdi;

namespace {

// A map window whose vector drawer only records what it is given.
class FakeDrawerWindow : public TTolvane {
public:
    std::vector<int> drawn;
    std::function<void(int, Canvas &, Canvas &)> onDraw;
    TMapExtent extentSeen;
    double gridStepSeen = 0;
    void DrawVectorLayer(int layer, Canvas &picture, Canvas &overlay, const TMapPoint &, const TMapPoint &) override
    {
        drawn.push_back(layer);
        extentSeen = MapImage->View().PictureExtent;
        gridStepSeen = MapImage->View().GridStep;
        if (onDraw)
            onDraw(layer, picture, overlay);
    }
};

class RedrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousStore_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        previousDir_ = QDir::currentPath();
        window_ = new FakeDrawerWindow();
        map().SetWorkDir(dir_.path());
        map().SetProgramDir(dir_.path());
        map().SetClientSize(400, 300);
        map().SetCentreX(1000);
        map().SetCentreY(5000);
        map().ResetPicture();
        map().SetScale(TMapVyk::DenominatorToScale(1000));
    }
    void TearDown() override
    {
        delete window_;
        QDir::setCurrent(previousDir_);
        platform::Registry::instance().setStorageFile(previousStore_);
    }
    FakeDrawerWindow &w() { return *window_; }
    TMapVyk &map() { return *window_->MapImage; }
    // Layers without files, listed in table order (the first on top).
    void setLayers(const std::vector<TMapLayer> &layers)
    {
        map().Project().Layers = layers;
        w().RebuildLayerList(true);
    }
    static TMapLayer layerOfKind(Byte kind)
    {
        TMapLayer l;
        l.MapType = kind;
        l.Visible = true;
        return l;
    }

    platform::ScopedService<ScreenMetrics> screen_{testScreen()};
    testsupport::TempFolder dir_;

private:
    QString previousStore_, previousDir_;
    FakeDrawerWindow *window_ = nullptr;
};

} // namespace

// ---- what reaches the drawers ----

TEST_F(RedrawTest, LayersFromTheLastRowUpByKindVisibilityAndScaleRange)
{
    std::vector<TMapLayer> layers;
    for (int kind = 0; kind <= 17; ++kind)
        layers.push_back(layerOfKind(static_cast<Byte>(kind)));
    layers[8].Visible = false;
    setLayers(layers);
    w().RedrawMap();
    // Kinds 0, 1 and 8 go to the vector drawer; 8 is hidden; the last row first.
    EXPECT_EQ(w().drawn, (std::vector<int>{1, 0}));

    TMapLayer ranged = layerOfKind(1);
    ranged.ScaleView = true;
    ranged.ScaleMin = 1000;
    ranged.ScaleMax = 5000;
    setLayers({ranged});
    const struct {
        double denominator;
        bool drawn;
    } cases[] = {{999, false}, {1000, true}, {5000, true}, {5001, false}};
    for (const auto &c : cases) {
        w().drawn.clear();
        map().SetScale(TMapVyk::DenominatorToScale(c.denominator));
        w().RedrawMap();
        EXPECT_EQ(w().drawn.size(), c.drawn ? 1u : 0u) << c.denominator;
    }
    // Without a scale the range is tested against 1:1.
    map().Project().Layers[0].ScaleMin = 1;
    map().Project().Layers[0].ScaleMax = 1;
    map().SetScale(0);
    w().drawn.clear();
    w().RedrawMap();
    EXPECT_EQ(w().drawn.size(), 1u);
}

TEST_F(RedrawTest, OverlayLiesOverEveryLayersGeometry)
{
    // The lower layer writes a label, the upper one a polygon over it.
    setLayers({layerOfKind(1), layerOfKind(1)});
    w().onDraw = [](int layer, Canvas &picture, Canvas &overlay) {
        if (layer == 1)
            overlay.textOut(5000, -3750, QStringLiteral("подпись"));
        else
            picture.polygon({{4000, -3000}, {6000, -3000}, {6000, -4500}, {4000, -4500}});
    };
    w().RedrawMap();
    int polygon = -1, text = -1, i = 0;
    for (const RecordView &r : map().MapPicture().records()) {
        if (r.type == EMR_POLYGON)
            polygon = i;
        if (r.type == EMR_EXTTEXTOUTW && r.text() == u"подпись")
            text = i;
        ++i;
    }
    ASSERT_GE(polygon, 0);
    ASSERT_GE(text, 0);
    EXPECT_GT(text, polygon);
}

TEST_F(RedrawTest, EmptyProjectGivesAWhitePictureWithTheGrid)
{
    setLayers({});
    w().RedrawMap();
    EXPECT_EQ(pixelAt(map(), {200, 150}), qRgb(255, 255, 255));
    EXPECT_EQ(map().PictureBitmap().width(), 400);
    // The plain grid: crosses every 100 map units (10 cm of paper) at
    // 1:1000 but on the first column and row. A view of 200 × 150 map units
    // from (910, 4885): columns from 900, rows from 5000 down.
    map().SetClientSize(800, 600);
    map().SetCentreX(1010);
    map().SetCentreY(4960);
    map().ResetPicture();
    w().nShowGreed->setChecked(true);
    w().RedrawMap();
    const QPoint cross = pixelOf(map().MapToLogical(1000, 4900));
    EXPECT_EQ(qGray(pixelAt(map(), pixelOf(map().MapToLogical(1000, 5000)))), 255); // the first row
    EXPECT_EQ(qGray(pixelAt(map(), cross)), 0);
    EXPECT_EQ(qGray(pixelAt(map(), cross + QPoint(0, 5))), 0);       // an arm of 2.5 mm: 10 pixels
    EXPECT_EQ(qGray(pixelAt(map(), cross + QPoint(5, 5))), 255);
    EXPECT_EQ(qGray(pixelAt(map(), cross + QPoint(0, 14))), 255);
}

TEST_F(RedrawTest, FailingDrawerStillLaysTheOverlayAndTheErrorGoesOn)
{
    setLayers({layerOfKind(1), layerOfKind(1)});
    map().SetJournalPos(1);
    map().SetJournalCount(1);
    w().tbUndo->setEnabled(false);
    w().onDraw = [](int layer, Canvas &, Canvas &overlay) {
        overlay.textOut(100, -100, QStringLiteral("до ошибки"));
        if (layer == 1)
            throw std::runtime_error("сбой слоя");
    };
    const std::int32_t views = map().ZoomRing().Pos;
    EXPECT_THROW(w().RedrawMap(), std::runtime_error);
    // Only the bottom layer was reached; both pictures were closed and the
    // overlay laid over the map picture.
    EXPECT_EQ(w().drawn, (std::vector<int>{1}));
    bool text = false;
    for (const RecordView &r : map().MapPicture().records())
        text = text || (r.type == EMR_EXTTEXTOUTW && r.text() == u"до ошибки");
    EXPECT_TRUE(text);
    // Nothing after it: no snapshot, the buttons as they were.
    EXPECT_EQ(map().ZoomRing().Pos, views);
    EXPECT_FALSE(w().tbUndo->isEnabled());
    // The next redraw goes through.
    w().onDraw = nullptr;
    w().RedrawMap();
    EXPECT_TRUE(w().tbUndo->isEnabled());
}

TEST_F(RedrawTest, PictureModeWritesMapWmfAndLeavesTheControl)
{
    setLayers({layerOfKind(1)});
    w().onDraw = [](int, Canvas &picture, Canvas &) {
        picture.rectangle(Rect{0, 0, 1000, -1000});
    };
    w().RedrawMap();
    const QImage before = map().PictureBitmap().image().copy();
    const std::int32_t views = map().ZoomRing().Pos;
    const double scale = map().View().Scale;
    w().DrawMapPicture(20000, 10000, 2000);
    const QString wmf = dir_.file(QStringLiteral("map.wmf"));
    ASSERT_TRUE(QFile::exists(wmf));
    const auto read = Metafile::loadFromFile(wmf);
    ASSERT_TRUE(read.has_value());
    EXPECT_NEAR(read->mmWidth(), 20000, 30);
    // The picture spans 200 × 100 mm at 1:2000 around the centre.
    EXPECT_DOUBLE_EQ(w().extentSeen.X1, 800);
    EXPECT_DOUBLE_EQ(w().extentSeen.X2, 1200);
    EXPECT_DOUBLE_EQ(w().extentSeen.Y2, 5100);
    // The control, its history and the view are as they were.
    EXPECT_EQ(map().PictureBitmap().image(), before);
    EXPECT_EQ(map().ZoomRing().Pos, views);
    EXPECT_EQ(map().View().Scale, scale);
    EXPECT_EQ(map().View().PictureWidth, 10000);
    EXPECT_FALSE(map().View().PictureMode);
}

TEST_F(RedrawTest, GridPictureAlignsToTheGridAndPutsTheStepBack)
{
    setLayers({layerOfKind(1)});
    // 1:5000 (multiples of 500); a 200 × 100 mm picture spans 1000 × 500 map
    // units. Centre it so that its upper-left corner lies 123.4 east of 1500
    // and 350 below 5500.
    map().SetScale(TMapVyk::DenominatorToScale(5000));
    map().SetCentreX(1623.4 + 500);
    map().SetCentreY(5150 - 250);
    w().DrawGridPicture(20000, 10000, 50);
    EXPECT_DOUBLE_EQ(w().extentSeen.X1, 1500);
    EXPECT_DOUBLE_EQ(w().extentSeen.Y2, 5500);
    EXPECT_NEAR(w().extentSeen.X2 - w().extentSeen.X1, 1000, 1e-9);
    EXPECT_NEAR(w().extentSeen.Y2 - w().extentSeen.Y1, 500, 1e-9);
    EXPECT_EQ(w().gridStepSeen, 50);
    EXPECT_EQ(map().View().GridStep, 100);
    EXPECT_FALSE(map().View().GridLabels);
    EXPECT_FALSE(map().View().PictureMode);
    EXPECT_DOUBLE_EQ(map().View().CenterX, 2123.4);
    // The labelled grid wrote its coordinates and the scale.
    const auto read = Metafile::loadFromFile(dir_.file(QStringLiteral("map.wmf")));
    ASSERT_TRUE(read.has_value());
    QStringList texts;
    for (const RecordView &r : read->records())
        if (r.type == EMR_EXTTEXTOUTW)
            texts << r.text();
    EXPECT_TRUE(texts.contains(QStringLiteral("1: 5000")));
    EXPECT_TRUE(texts.contains(QStringLiteral("1500")));
    EXPECT_TRUE(texts.contains(QStringLiteral("5500")));
}

TEST_F(RedrawTest, SplitAndJoinButtonsFollowTheSelectionAndTheEditableLayer)
{
    TMapLayer editable = layerOfKind(1);
    editable.Edited = true;
    setLayers({editable});
    w().ShowActiveLayerRow(0);
    w().PBPick->setChecked(true);
    const struct {
        int selected;
        bool split, join;
    } cases[] = {{0, false, false}, {1, false, true}, {2, true, true}};
    for (const auto &c : cases) {
        map().Selection().Entries.assign(static_cast<size_t>(c.selected), TSelObject{});
        w().RedrawMap();
        EXPECT_EQ(w().tbSplit->isEnabled(), c.split) << c.selected;
        EXPECT_EQ(w().tbUnSplit->isEnabled(), c.join) << c.selected;
        EXPECT_EQ(w().tbRevase->isEnabled(), c.join) << c.selected;
    }
    // A read-only layer allows none of them.
    editable.Edited = false;
    setLayers({editable});
    w().ShowActiveLayerRow(0);
    w().RedrawMap();
    EXPECT_FALSE(w().tbUnSplit->isEnabled());
    // The save button follows the current layer's changes.
    map().Project().ActiveLayer = 0;
    map().Project().Layers[0].ObjectsModified = true;
    w().RedrawMap();
    EXPECT_TRUE(w().tbSaveLayer->isEnabled());
}

TEST_F(RedrawTest, ProgressBarsShowWhileDrawingAndTheCentreMarkAfter)
{
    setLayers({layerOfKind(1), layerOfKind(1)});
    // Seen from the drawer: the second bar at the share of rows passed.
    std::vector<bool> barsShown;
    w().onDraw = [this, &barsShown](int, Canvas &, Canvas &) {
        QWidget *bars = w().MapStatusBar->findChild<QWidget *>(QStringLiteral("RedrawProgress"));
        barsShown.push_back(bars && bars->isVisible());
    };
    w().show();
    w().RedrawMap();
    EXPECT_EQ(barsShown, (std::vector<bool>{true, true}));
    // Refreshing the status bar at the end wipes them.
    EXPECT_FALSE(w().MapStatusBar->findChild<QWidget *>(QStringLiteral("RedrawProgress"))->isVisible());

    // The centre mark: a grey cross over the painted map, with 10 mm arms,
    // at the middle of the picture (the control first takes its parent's size).
    w().nShowCenter->setChecked(true);
    w().RedrawMap();
    const QPoint centre = pixelOf(QPoint(static_cast<int>(map().View().PictureWidth / 2),
                                         -static_cast<int>(map().View().PictureHeight / 2)));
    ASSERT_TRUE(map().PictureBitmap().image().rect().contains(centre + QPoint(30, 3)));
    EXPECT_EQ(pixelAt(map(), centre), qRgb(128, 128, 128));
    EXPECT_EQ(pixelAt(map(), centre + QPoint(30, 0)), qRgb(128, 128, 128));
    EXPECT_EQ(pixelAt(map(), centre + QPoint(30, 3)), qRgb(255, 255, 255));
}
