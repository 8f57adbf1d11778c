// The redraw of the map window: which layers reach the drawers and in what
// order, the two pictures laid one over the other, the picture on the
// control probed pixel by pixel (layer order, fill patterns, line patterns,
// point symbols), report pictures, a drawer that fails, and the states of
// the edit buttons.

#include "RenderFixtures.h"

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
        extentSeen = MapImage->FPictureExtent;
        gridStepSeen = MapImage->FGridStep;
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
        map().FWorkDir = dir_.path();
        map().FProgramDir = dir_.path();
        map().SetClientSize(400, 300);
        map().FCenterX = 1000;
        map().FCenterY = 5000;
        map().ResetPicture();
        map().FScale = TMapVyk::DenominatorToScale(1000);
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
        map().FProject.Layers = layers;
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

QRgb pixelAt(TMapVyk &map, const QPoint &p)
{
    return map.PictureBitmap().image().pixel(p);
}

// The device pixel of a picture point of the view.
QPoint pixelOf(const QPoint &logical)
{
    return QPoint(logical.x() / 25, -logical.y() / 25);
}

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
        map().FScale = TMapVyk::DenominatorToScale(c.denominator);
        w().RedrawMap();
        EXPECT_EQ(w().drawn.size(), c.drawn ? 1u : 0u) << c.denominator;
    }
    // Without a scale the range is tested against 1:1.
    map().FProject.Layers[0].ScaleMin = 1;
    map().FProject.Layers[0].ScaleMax = 1;
    map().FScale = 0;
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
    for (const RecordView &r : map().FMapPicture.records()) {
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
    map().FCenterX = 1010;
    map().FCenterY = 4960;
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
    map().FJournalPos = 1;
    map().FJournalCount = 1;
    w().tbUndo->setEnabled(false);
    w().onDraw = [](int layer, Canvas &, Canvas &overlay) {
        overlay.textOut(100, -100, QStringLiteral("до ошибки"));
        if (layer == 1)
            throw std::runtime_error("сбой слоя");
    };
    const std::int32_t views = map().FZoomPos;
    EXPECT_THROW(w().RedrawMap(), std::runtime_error);
    // Only the bottom layer was reached; both pictures were closed and the
    // overlay laid over the map picture.
    EXPECT_EQ(w().drawn, (std::vector<int>{1}));
    bool text = false;
    for (const RecordView &r : map().FMapPicture.records())
        text = text || (r.type == EMR_EXTTEXTOUTW && r.text() == u"до ошибки");
    EXPECT_TRUE(text);
    // Nothing after it: no snapshot, the buttons as they were.
    EXPECT_EQ(map().FZoomPos, views);
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
    const std::int32_t views = map().FZoomPos;
    const double scale = map().FScale;
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
    EXPECT_EQ(map().FZoomPos, views);
    EXPECT_EQ(map().FScale, scale);
    EXPECT_EQ(map().FPictureWidth, 10000);
    EXPECT_FALSE(map().FPictureMode);
}

TEST_F(RedrawTest, GridPictureAlignsToTheGridAndPutsTheStepBack)
{
    setLayers({layerOfKind(1)});
    // 1:5000 (multiples of 500); a 200 × 100 mm picture spans 1000 × 500 map
    // units. Centre it so that its upper-left corner lies 123.4 east of 1500
    // and 350 below 5500.
    map().FScale = TMapVyk::DenominatorToScale(5000);
    map().FCenterX = 1623.4 + 500;
    map().FCenterY = 5150 - 250;
    w().DrawGridPicture(20000, 10000, 50);
    EXPECT_DOUBLE_EQ(w().extentSeen.X1, 1500);
    EXPECT_DOUBLE_EQ(w().extentSeen.Y2, 5500);
    EXPECT_NEAR(w().extentSeen.X2 - w().extentSeen.X1, 1000, 1e-9);
    EXPECT_NEAR(w().extentSeen.Y2 - w().extentSeen.Y1, 500, 1e-9);
    EXPECT_EQ(w().gridStepSeen, 50);
    EXPECT_EQ(map().FGridStep, 100);
    EXPECT_FALSE(map().FGridLabels);
    EXPECT_FALSE(map().FPictureMode);
    EXPECT_DOUBLE_EQ(map().FCenterX, 2123.4);
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
        map().FSelection.Entries.assign(static_cast<size_t>(c.selected), TSelObject{});
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
    map().FProject.ActiveLayer = 0;
    map().FProject.Layers[0].ObjectsModified = true;
    w().RedrawMap();
    EXPECT_TRUE(w().tbSaveLayer->isEnabled());
}

// ---- pictures of real layers ----

class RenderPictureTest : public RenderTest {};

TEST_F(RenderPictureTest, TheFirstRowLiesOnTopAndLabelsAboveAll)
{
    RecordingRenderers r;
    // Added first: the top row, red. Below it a blue polygon with a label
    // at its middle, inside the red one.
    const int top = addLayer(QStringLiteral("top"), 5, {polyRings(5, {square(990, 4990, 1010, 5010)})});
    const QByteArray table = dbfTable({{QStringLiteral("NAME"), 'C', 10}}, {{QStringLiteral("WWWW")}});
    const int lower = addLayer(QStringLiteral("lower"), 5, {polyRings(5, {square(996, 4996, 1020, 5020)})}, table);
    for (const int l : {top, lower}) {
        layer(l).BrushType = 1;
        layer(l).PenStyle = 0;
    }
    layer(top).BrushColor = 0x0000FF;
    layer(lower).BrushColor = 0xFF0000;
    TMapLabel name;
    name.Visible = true;
    name.FieldName = QStringLiteral("NAME");
    name.Font.FontName = QStringLiteral("Arial");
    name.Font.Size = 20;
    name.Font.Color = 0;
    layer(lower).Labels = {name};
    w().RedrawMap();
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1000, 5000))), qRgb(255, 0, 0));
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1015, 5015))), qRgb(0, 0, 255));
    // The label's dark pixels lie on the red of the upper layer.
    int dark = 0;
    const QPoint centre = pixelOf(at(1008, 5008));
    for (int dx = -20; dx <= 20; ++dx)
        for (int dy = -10; dy <= 10; ++dy)
            dark += qGray(pixelAt(map(), centre + QPoint(dx, dy))) < 40 ? 1 : 0;
    EXPECT_GT(dark, 20);
}

TEST_F(RenderPictureTest, FillPatternTilesOnlyWholeStrokesInsideThePolygon)
{
    RecordingRenderers r;
    // Pattern 8: a red square of 1 mm in the middle of a 4 mm cell.
    r.services.FFillStyles =
        library(9, 8, pattern(vkFill, 400, 400,
                              {stroke(vsRectangle, {{-50, -50}, {50, 50}}, 0x0000FF, 0, 0x0000FF)}));
    // 20 × 20 map units: 80 pixels, cells of 16.
    const int l = addLayer(QStringLiteral("garden"), 5, {polyRings(5, {square(990, 4990, 1010, 5010)})});
    layer(l).BrushType = 8;
    layer(l).PenStyle = 0;
    w().RedrawMap();
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
    // Cells are laid from the polygon's upper-left corner; those on its
    // edges would be cut and are left out, the inner ones are whole.
    const QPoint corner = pixelOf(at(990, 5010));
    int whole = 0;
    for (int i = 0; i <= 5; ++i) {
        for (int j = 0; j <= 5; ++j) {
            const QPoint c = corner + QPoint(16 * i, 16 * j);
            const bool inner = i >= 1 && i <= 4 && j >= 1 && j <= 4;
            EXPECT_EQ(pixelAt(map(), c), inner ? red : white) << i << "," << j;
            if (inner && pixelAt(map(), c + QPoint(1, 1)) == red && pixelAt(map(), c - QPoint(1, 1)) == red)
                ++whole;
        }
    }
    EXPECT_EQ(whole, 16);
    // Nothing of a cut stroke along the edges.
    for (int k = 0; k <= 80; ++k) {
        EXPECT_EQ(pixelAt(map(), corner + QPoint(k, 1)), white) << k;
        EXPECT_EQ(pixelAt(map(), corner + QPoint(1, k)), white) << k;
    }
}

TEST_F(RenderPictureTest, LinePatternCarriesAcrossVertices)
{
    RecordingRenderers r;
    // Pattern 2: a dash over the first half of a 4 mm cell.
    r.services.FLineStyles = library(3, 2, pattern(vkLine, 400, 100, {stroke(vsPolyline, {{-200, 0}, {0, 0}})}));
    // 5 map units east (20 pixels), then 10 north: the second copy on the
    // first leg is cut at the corner and its rest begins the second leg.
    const std::vector<QPointF> lShape = {{990, 5000}, {995, 5000}, {995, 5010}};
    const int whole = addLayer(QStringLiteral("whole"), 3, {polyRings(3, {lShape})});
    const int legs = addLayer(QStringLiteral("legs"), 3,
                              {polyRings(3, {{lShape[0], lShape[1]}}), polyRings(3, {{lShape[1], lShape[2]}})});
    for (const int l : {whole, legs}) {
        layer(l).PenStyle = 2;
        layer(l).PenWidth = 0;
        layer(l).PenColor = 0;
    }
    auto inkUp = [&](int layerShown) {
        for (const int l : {whole, legs})
            layer(l).Visible = l == layerShown;
        w().RedrawMap();
        // Pixels along the second leg, from the corner up.
        std::vector<bool> ink;
        const QPoint corner = pixelOf(at(995, 5000));
        for (int k = 1; k <= 36; ++k)
            ink.push_back(qGray(pixelAt(map(), corner - QPoint(0, k))) < 128);
        return ink;
    };
    const std::vector<bool> carried = inkUp(whole);
    const std::vector<bool> fresh = inkUp(legs);
    // One call per part, with all its vertices.
    EXPECT_EQ(r.callsOf(QStringLiteral("line")).front().points.size(), 3u);
    // The cut dash goes on 1 mm (4 pixels) past the corner, then a gap.
    EXPECT_TRUE(carried[1]);
    EXPECT_FALSE(carried[8]);
    // Drawn leg by leg, the second leg starts a dash of its own (2 mm).
    EXPECT_TRUE(fresh[5]);
    EXPECT_NE(carried, fresh);
}

TEST_F(RenderPictureTest, PointSymbolsAreStampedAtThePoints)
{
    RecordingRenderers r;
    // Symbol 1: a filled red square of 2 mm.
    r.services.FPointStyles =
        library(2, 1, pattern(vkSymbol, 200, 200, {stroke(vsRectangle, {{-100, -100}, {100, 100}}, 0x0000FF, 0, 0x0000FF)}));
    const int l = addLayer(QStringLiteral("points"), 1, {pointContent(1000, 5000), pointContent(1010, 5005)});
    layer(l).ObjType = otPoints;
    layer(l).PointStyle = 1;
    layer(l).ViewPoints = true;
    w().RedrawMap();
    for (const QPointF p : {QPointF(1000, 5000), QPointF(1010, 5005)}) {
        const QPoint c = pixelOf(at(p.x(), p.y()));
        EXPECT_EQ(pixelAt(map(), c), qRgb(255, 0, 0));
        EXPECT_EQ(pixelAt(map(), c + QPoint(8, 0)), qRgb(255, 255, 255));
    }
    // Without ViewPoints only labels would show.
    layer(l).ViewPoints = false;
    w().RedrawMap();
    EXPECT_EQ(pixelAt(map(), pixelOf(at(1000, 5000))), qRgb(255, 255, 255));
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
    const QPoint centre = pixelOf(QPoint(static_cast<int>(map().FPictureWidth / 2),
                                         -static_cast<int>(map().FPictureHeight / 2)));
    ASSERT_TRUE(map().PictureBitmap().image().rect().contains(centre + QPoint(30, 3)));
    EXPECT_EQ(pixelAt(map(), centre), qRgb(128, 128, 128));
    EXPECT_EQ(pixelAt(map(), centre + QPoint(30, 0)), qRgb(128, 128, 128));
    EXPECT_EQ(pixelAt(map(), centre + QPoint(30, 3)), qRgb(255, 255, 255));
}

TEST_F(RenderPictureTest, ReportPictureWiderThanTheControlIsTiledAcrossItsWidth)
{
    RecordingRenderers r;
    r.services.FFillStyles =
        library(9, 8, pattern(vkFill, 400, 400,
                              {stroke(vsRectangle, {{-50, -50}, {50, 50}}, 0x0000FF, 0, 0x0000FF)}));
    const int l = addLayer(QStringLiteral("wide"), 5, {polyRings(5, {square(860, 4980, 1140, 5020)})});
    layer(l).BrushType = 8;
    layer(l).PenStyle = 0;
    map().FProgramDir = dir_.path();
    // 300 mm across at 1:1000: three times the control's 100 mm.
    w().DrawMapPicture(30000, 7500, 1000);
    ASSERT_TRUE(QFile::exists(dir_.file(QStringLiteral("map.wmf"))));
    int beyondTheControl = 0, all = 0;
    for (const RecordView &rec : map().FMapPicture.records()) {
        if (rec.type != EMR_RECTANGLE)
            continue;
        ++all;
        beyondTheControl += rec.rect.left > 12000 ? 1 : 0;
    }
    EXPECT_GT(all, 100);
    EXPECT_GT(beyondTheControl, all / 2);
}
