// View navigation: zoom steps, fitting extents, windows and objects, the
// history, the scale menus and field, the wheel, locating an object and the
// status bar texts.

#include "MapWindowFixture.h"

#include "app/FShowPoint.h"
#include "platform/Environment.h"
#include "platform/ui/FormClass.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

using namespace maptest;

class NavigationTest : public MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        // A picture of 20000 x 10000 (0.01 mm), 800 x 400 pixels.
        map().SetPictureWidth(20000);
        map().SetPictureHeight(10000);
        map().SetUnitsPerPixelX(25);
        map().SetUnitsPerPixelY(25);
        view(1000, 1000, 1000);
    }
    void view(double denominator, double x, double y)
    {
        map().SetScale(map().DenominatorToScale(denominator));
        map().SetCentreX(x);
        map().SetCentreY(y);
    }
    double denominator() { return map().ScaleToDenominator(map().View().Scale); }
    QString panel(int i) { return platform::statusPanels(w().MapStatusBar).at(i)->text(); }
    // One listed layer, so that the commands that need a layer act.
    void listOneLayer()
    {
        TMapLayer &L = map().Project().Layers.emplace_back();
        L.Name = QStringLiteral("A");
        L.MapType = 1;
        L.MtMinX = 100;
        L.MtMinY = 200;
        L.MtMaxX = 300;
        L.MtMaxY = 300;
        w().RebuildLayerList(true);
        w().ShowActiveLayerRow(0);
    }
};

TEST_F(NavigationTest, ZoomSteps)
{
    struct Case {
        double from;
        int kind;
        bool fine;
        double arg;
        double to;
    };
    const Case cases[] = {
        {500, 1, false, 0, 250},
        {500, 2, false, 0, 1000},
        {500, 1, true, 0, 500 / 1.1},
        {500, 2, true, 0, 500 / 0.9},
        {50, 1, true, 0, 25},      // below 1:100 fine steps double
        {50, 2, true, 0, 100},
        {1, 1, false, 0, 1},       // 1:1 is the largest scale
        {1.5, 1, true, 0, 1},
        {500, 0, false, 2500, 2500},
        {500, 0, false, 0.25, 1},
        {2147483647, 2, false, 0, 2147483647},   // the smallest scale holds
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " kind " << c.kind << (c.fine ? " fine" : ""));
        view(c.from, 10, 20);
        forgetViews();
        w().ZoomStep(c.kind, c.fine, c.arg);
        EXPECT_NEAR(denominator(), c.to, c.to * 1e-9);
        EXPECT_EQ(map().View().CenterX, 10);
        EXPECT_EQ(map().View().CenterY, 20);
        EXPECT_TRUE(redrawn());
    }
    // A fine enlargement and a fine reduction give 0.99 of the scale.
    view(1000, 0, 0);
    w().ZoomStep(1, true, 0);
    w().ZoomStep(2, true, 0);
    EXPECT_NEAR(map().View().Scale, 0.99 * 100, 1e-9);
    // The buttons, keys and menus.
    view(1000, 0, 0);
    w().tbZoomOut->click();
    EXPECT_NEAR(denominator(), 500, 1e-9);
    w().aZoomIn->trigger();
    EXPECT_NEAR(denominator(), 1000, 1e-9);
    w().aZoomIn->trigger();
    EXPECT_NEAR(denominator(), 2000, 1e-9);
    EXPECT_EQ(panel(0), QStringLiteral("M 1:2000"));
}

TEST_F(NavigationTest, ZoomToExtent)
{
    w().ZoomToExtent(0, 0, 2000, 1000);
    EXPECT_NEAR(denominator(), 12000, 1e-6);
    EXPECT_EQ(map().View().CenterX, 1000);
    EXPECT_EQ(map().View().CenterY, 500);
    // A horizontal segment: the smaller of a scale and 0 is 0, so 1:1.
    w().ZoomToExtent(0, 5, 100, 5);
    EXPECT_NEAR(denominator(), 1, 1e-12);
    EXPECT_EQ(map().View().CenterX, 50);
    EXPECT_EQ(map().View().CenterY, 5);
    // A single point keeps the scale.
    view(2500, 0, 0);
    w().ZoomToExtent(7, 8, 7, 8);
    EXPECT_NEAR(denominator(), 2500, 1e-9);
    EXPECT_EQ(map().View().CenterX, 7);
    EXPECT_EQ(map().View().CenterY, 8);
}

TEST_F(NavigationTest, ZoomToWindowFitsTheRubberBand)
{
    // Pixel (0, 0) is the map point (900, 1050), pixel (400, 200) the view's
    // centre (1000, 1000).
    w().ZoomToWindow(4, QPoint(0, 0), QPoint(400, 200));
    EXPECT_NEAR(map().View().Scale, 10000 / (50 * 1.1), 1e-9);
    EXPECT_EQ(map().View().CenterX, 950);
    EXPECT_EQ(map().View().CenterY, 1025);
    // Other modes fit nothing; every mode keeps the scale at 1:1 at most.
    view(1000, 0, 0);
    w().ZoomToWindow(5, QPoint(0, 0), QPoint(400, 200));
    EXPECT_NEAR(denominator(), 1000, 1e-9);
    view(10, 1000, 1000);
    w().ZoomToWindow(4, QPoint(0, 0), QPoint(1, 1));
    EXPECT_NEAR(denominator(), 1, 1e-12);
}

TEST_F(NavigationTest, ViewingTheLayerOrItsSelection)
{
    listOneLayer();
    w().TbViewObjects->click();
    EXPECT_NEAR(denominator(), 200 * 1.2 * 100000 / 20000, 1e-6);
    EXPECT_EQ(map().View().CenterX, 200);
    EXPECT_EQ(map().View().CenterY, 250);
    // A selection whose extent is a horizontal segment: 1:1 on its middle.
    TSelObject e;
    e.XMin = 10;
    e.YMin = 40;
    e.XMax = 30;
    e.YMax = 40;
    map().Selection().Entries = {e};
    map().Selection().MinX = 10;
    map().Selection().MinY = 40;
    map().Selection().MaxX = 30;
    map().Selection().MaxY = 40;
    w().nViewObjects->trigger();
    EXPECT_NEAR(denominator(), 1, 1e-12);
    EXPECT_EQ(map().View().CenterX, 20);
    EXPECT_EQ(map().View().CenterY, 40);
}

TEST_F(NavigationTest, StatusBarTexts)
{
    platform::ScopedService<platform::DecimalSeparator> sep(u'.');
    view(2500, 1000.1234, 2000.5);
    w().ShowStatusText(0, 0);
    EXPECT_EQ(panel(0), QStringLiteral("M 1:2500"));
    EXPECT_EQ(panel(1), QStringLiteral("Zoom: 500x250 m"));
    EXPECT_EQ(w().EditScale->text(), QStringLiteral("2500"));
    // The picture's centre is the map point (1000.1234, 2000.5): X is the
    // northing, Y the easting.
    w().ShowStatusText(10000, -5000);
    EXPECT_EQ(panel(2), QStringLiteral("X = 2000.500"));
    EXPECT_EQ(panel(3), QStringLiteral("Y = 1000.123"));
    // A scale change alone leaves the cursor's panels.
    view(500, 0, 0);
    w().ShowStatusText(0, 0);
    EXPECT_EQ(panel(0), QStringLiteral("M 1:500"));
    EXPECT_EQ(panel(2), QStringLiteral("X = 2000.500"));
}

TEST_F(NavigationTest, ScaleMenusAndTheScaleField)
{
    QAction *s5000 = w().NM[7];
    ASSERT_EQ(s5000->text(), QStringLiteral("1:5000"));
    // No target yet: only a redraw.
    forgetViews();
    s5000->trigger();
    EXPECT_NEAR(denominator(), 1000, 1e-9);
    EXPECT_TRUE(redrawn());
    // The scale box's button makes the map's scale the target.
    w().SBScale1MouseUp();
    w().PMenuScale->hide();
    EXPECT_EQ(w().FStyleTarget, QStringLiteral("MapScale"));
    s5000->trigger();
    EXPECT_NEAR(denominator(), 5000, 1e-9);
    EXPECT_EQ(panel(0), QStringLiteral("M 1:5000"));
    // The current scale: nothing happens.
    forgetViews();
    w().NS[7]->trigger();
    EXPECT_FALSE(redrawn());
    // The text tool bar's scale.
    w().FStyleTarget = QStringLiteral("Text");
    w().NM[5]->trigger();
    EXPECT_EQ(w().EditTextScale->text(), QStringLiteral("1000"));
    EXPECT_EQ(map().Template().TextScale, 1000);
    EXPECT_NEAR(denominator(), 5000, 1e-9);

    // The scale field acts on Enter, for a whole number above 0.
    struct Case {
        const char *text;
        int key;
        double to;
    };
    const Case cases[] = {{"2500", Qt::Key_Return, 2500}, {"300", Qt::Key_Enter, 300}, {"700", Qt::Key_Tab, 300},
                          {"0", Qt::Key_Return, 300},     {"-5", Qt::Key_Return, 300}, {"12a", Qt::Key_Return, 300}};
    for (const Case &c : cases) {
        w().EditScale->setText(QString::fromLatin1(c.text));
        w().EditScaleKeyUp(c.key);
        EXPECT_NEAR(denominator(), c.to, 1e-9) << c.text;
    }
}

TEST_F(NavigationTest, TheWheel)
{
    struct Case {
        int delta;
        bool reversed, shift;
        double to;
    };
    const Case cases[] = {
        {120, false, false, 2000}, {-120, false, false, 500}, {120, true, false, 500},
        {-120, true, false, 2000}, {120, false, true, 1000 / 0.9}, {0, false, false, 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.delta << (c.reversed ? " reversed" : "") << (c.shift ? " shift" : ""));
        view(1000, 5, 6);
        map().Settings().WheelReversed = c.reversed;
        forgetViews();
        w().FormMouseWheel(c.delta, c.shift);
        EXPECT_NEAR(denominator(), c.to, 1e-9);
        EXPECT_EQ(redrawn(), c.delta != 0);
        EXPECT_EQ(map().View().CenterX, 5);
    }
}

TEST_F(NavigationTest, TheViewHistory)
{
    // Without a layer row the history commands do nothing.
    w().RedrawMap();
    w().ZoomStep(1, false, 0);
    w().tbPriorZoom->click();
    EXPECT_NEAR(denominator(), 500, 1e-9);

    listOneLayer();
    forgetViews();
    view(1000, 10, 10);
    w().RedrawMap();
    w().ZoomToExtent(0, 0, 2000, 1000);
    w().ZoomStep(1, false, 0);
    w().N49->trigger();
    EXPECT_NEAR(denominator(), 12000, 1e-6);
    EXPECT_EQ(panel(0), QStringLiteral("M 1:12000"));
    w().tbPriorZoom->click();
    EXPECT_NEAR(denominator(), 1000, 1e-9);
    EXPECT_EQ(map().View().CenterX, 10);
    w().tbNextZoom->click();
    w().N58->trigger();
    EXPECT_NEAR(denominator(), 6000, 1e-6);
    EXPECT_EQ(map().View().CenterX, 1000);
}

TEST_F(NavigationTest, LocatingAnObject)
{
    // A polygon layer whose second object has no parts, a point layer, a
    // text layer and a raster layer.
    writeLayer(work_, QStringLiteral("poly"),
               shapes(5, {0, 0, 30, 30}, {polyContent(5, {10, 10, 20, 20}), polyContent(5, {1, 2, 3, 4}, 0)}), 2);
    writeLayer(work_, QStringLiteral("pts"), shapes(1, {0, 0, 9, 9}, {pointContent(1, 2), pointContent(7, 9)}), 2);
    writeLayer(work_, QStringLiteral("txt"), shapes(8, {0, 0, 9, 9}, {textContent({3, 4, 5, 6})}), 1);
    writeLayer(work_, QStringLiteral("img"), shapes(10, {0, 0, 9, 9}, {rasterContent({100, 200, 300, 400})}), 1);
    for (const char *n : {"poly.shp", "pts.shp", "txt.shp", "img.shp"})
        openLayer(QLatin1String(n));
    struct Case {
        int layer, index;
        TMapExtent box;
    };
    const Case cases[] = {
        {0, 0, {10, 10, 20, 20}}, {0, 1, {}}, {1, 1, {7, 9, 7, 9}}, {2, 0, {3, 4, 5, 6}}, {3, 0, {100, 200, 300, 400}},
        {0, 5, {}},   // no such object
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.layer << ":" << c.index);
        const TMapExtent b = w().LocateObject(c.layer, c.index, false);
        EXPECT_EQ(b.X1, c.box.X1);
        EXPECT_EQ(b.Y1, c.box.Y1);
        EXPECT_EQ(b.X2, c.box.X2);
        EXPECT_EQ(b.Y2, c.box.Y2);
    }
    EXPECT_TRUE(map().Selection().Entries.empty());

    // Selecting: the object alone is selected, the view centred on it at the
    // same scale.
    w().LocateObject(1, 1, true);
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Layer, 1);
    EXPECT_EQ(map().Selection().Entries[0].Index, 1);
    EXPECT_EQ(map().Selection().MaxX, 7);
    EXPECT_EQ(map().View().CenterX, 7);
    EXPECT_EQ(map().View().CenterY, 9);
    EXPECT_NEAR(denominator(), 1000, 1e-9);
    // An object without parts is selected with a zero box, centred on (0, 0).
    w().LocateObject(0, 1, true);
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().View().CenterX, 0);
    EXPECT_EQ(map().View().CenterY, 0);

    // A layer whose file is gone: a zero box and no selection.
    QFile::remove(QDir(work_).filePath(QStringLiteral("img.shp")));
    map().Selection() = TSelObjects{};
    const TMapExtent gone = w().LocateObject(3, 0, true);
    EXPECT_EQ(gone.X2, 0);
    EXPECT_TRUE(map().Selection().Entries.empty());
}

TEST_F(NavigationTest, TheCursorCoordinatesWindow)
{
    platform::ScopedService<platform::DecimalSeparator> sep(u',');
    map().Drag().CursorX = 1300000.25;
    map().Drag().CursorY = 5400000.5;
    QString x, y;
    testsupport::ScriptedAnswers answers;
    dialog(answers, [&](QDialog &d) {
        auto &window = dynamic_cast<TShowPoint &>(d);
        x = window.edX->text();
        y = window.edY->text();
        return int(platform::mrOk);
    });
    w().nClickPoint->trigger();
    // X is the northing, Y the easting.
    EXPECT_EQ(x, QStringLiteral("5400000,500"));
    EXPECT_EQ(y, QStringLiteral("1300000,250"));
}
