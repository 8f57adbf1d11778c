// The map control as a widget: fitting to its parent, the snapshot into the
// back buffer, showing its bitmap, the cursor and the mouse.

#include "MapTestSupport.h"

#include "mapengine/ui/MapVyk.h"
#include "mapengine/ScreenCursors.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace maptest;

namespace {

// A map picture of 100 × 80 pixels: red, with a blue square at 10..30.
Metafile redPicture()
{
    Metafile m(pinnedMetrics());
    m.setSizeInPixels(100, 80);
    MetafileCanvas c(m);
    c.setMapMode(MM_HIMETRIC);
    c.setPen(Pen{PS_NULL, 0, 0});
    c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
    c.rectangle(Rect{0, 0, 2500, -2000});
    c.setBrush(Brush{BS_SOLID, rgb(0, 0, 255), 0});
    c.rectangle(Rect{250, -250, 750, -750});
    c.finish();
    return m;
}

} // namespace

TEST(MapVyk, FitToParentSizesAndDrawsThePicture)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    QWidget parent;
    parent.resize(300, 200);
    TMapVyk map(&parent);
    map.MapPicture() = redPicture();
    map.FitToParent();
    EXPECT_EQ(map.size(), QSize(300, 200));
    EXPECT_EQ(map.ClientWidth(), 300);
    EXPECT_EQ(map.ClientHeight(), 200);
    EXPECT_EQ(map.PictureBitmap().width(), 300);
    EXPECT_EQ(map.PictureBitmap().height(), 200);
    // The picture at (0, 0) in its own size; the rest white.
    EXPECT_EQ(map.PictureBitmap().pixel(50, 50), rgb(255, 0, 0));
    EXPECT_EQ(map.PictureBitmap().pixel(20, 20), rgb(0, 0, 255));
    EXPECT_EQ(map.PictureBitmap().pixel(150, 50), rgb(255, 255, 255));
    // ResetPicture then measures the new size.
    map.ResetPicture();
    EXPECT_EQ(map.View().PictureWidth, 7500);
    EXPECT_EQ(map.View().PictureHeight, 5000);

    // The widget shows its bitmap as it is, drawing going on.
    map.ControlCanvas().setPen(Pen{PS_NULL, 0, 0});
    map.ControlCanvas().setBrush(Brush{BS_SOLID, rgb(0, 200, 0), 0});
    map.ControlCanvas().rectangle(Rect{200, 100, 250, 150});
    const QImage shown = map.grab().toImage();
    EXPECT_EQ(fromPixel(shown.pixel(50, 50)), rgb(255, 0, 0));
    EXPECT_EQ(fromPixel(shown.pixel(220, 120)), rgb(0, 200, 0));
}

TEST(MapVyk, SnapshotCopiesTheBitmapAndStoresTheView)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    QWidget parent;
    parent.resize(120, 90);
    TMapVyk map(&parent);
    map.MapPicture() = redPicture();
    map.BackBuffer().setSize(1000, 800);   // the screen's size
    map.FitToParent();
    map.ResetPicture();
    map.SnapshotView();
    EXPECT_EQ(map.BackBuffer().pixel(50, 50), rgb(255, 0, 0));
    EXPECT_EQ(map.BackBuffer().pixel(20, 20), rgb(0, 0, 255));
    EXPECT_EQ(map.BackBuffer().pixel(500, 500), rgb(255, 255, 255));
    EXPECT_EQ(map.ZoomRing().Pos, 1);
    EXPECT_EQ(map.ZoomRing().Entries[0], (TZoomEntry{200, 1000, 1000}));
    // An overlay on the control is wiped by copying the back buffer back.
    map.ControlCanvas().setRop2(R2_XORPEN);
    map.ControlCanvas().setPen(Pen{PS_SOLID, 5, rgb(255, 255, 255)});
    map.ControlCanvas().moveTo(0, 50);
    map.ControlCanvas().lineTo(100, 50);
    EXPECT_EQ(map.PictureBitmap().pixel(50, 50), rgb(0, 255, 255));
    map.PictureBitmap().blockCopy(0, 0, map.BackBuffer(), QRect(0, 0, 120, 90));
    EXPECT_EQ(map.PictureBitmap().pixel(50, 50), rgb(255, 0, 0));
    // The same view is stored only once.
    map.SnapshotView();
    EXPECT_EQ(map.ZoomRing().Pos, 1);
}

TEST(MapVyk, CursorAndMouse)
{
    QWidget parent;
    TMapVyk map(&parent);
    TMapVyk::SetCursorNow(&map, -3);
    EXPECT_EQ(map.cursor().shape(), Qt::CrossCursor);
    TMapVyk::SetCursorNow(&map, -21);
    EXPECT_EQ(map.cursor().shape(), Qt::PointingHandCursor);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::black);
    mapengine::setScreenCursor(5, QCursor(pixmap, 3, 4));
    TMapVyk::SetCursorNow(&map, 5);
    EXPECT_EQ(map.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(map.cursor().hotSpot(), QPoint(3, 4));

    map.resize(100, 100);
    QSignalSpy down(&map, &TMapVyk::MouseDown);
    QSignalSpy up(&map, &TMapVyk::MouseUp);
    QSignalSpy dbl(&map, &TMapVyk::DblClick);
    QTest::mousePress(&map, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseRelease(&map, Qt::LeftButton, Qt::ShiftModifier, QPoint(11, 21));
    QTest::mouseDClick(&map, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
    ASSERT_GE(down.count(), 2);
    EXPECT_EQ(down.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down.at(0).at(2).toInt(), 10);
    EXPECT_EQ(down.at(0).at(3).toInt(), 20);
    EXPECT_EQ(up.at(0).at(2).toInt(), 11);
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_EQ(down.last().at(0).value<Qt::MouseButton>(), Qt::RightButton);
}

// A double click reaches the handlers as press, release, double click, a
// press with the double-click mark and a release with it; the shift state
// holds the keys and the buttons down.
TEST(MapVyk, MouseEventsCarryButtonsAndTheDoubleClickMark)
{
    QWidget parent;
    TMapVyk map(&parent);
    map.resize(100, 100);
    QStringList events;
    auto state = [](TShiftState s) {
        QString t;
        const std::pair<unsigned, const char *> flags[] = {{ssShift, "S"}, {ssAlt, "A"},  {ssCtrl, "C"},
                                                           {ssLeft, "l"},  {ssRight, "r"}, {ssMiddle, "m"},
                                                           {ssDouble, "2"}};
        for (const auto &[flag, name] : flags)
            if (s.has(flag))
                t += QLatin1String(name);
        return t;
    };
    QObject::connect(&map, &TMapVyk::MouseDown, [&](Qt::MouseButton, TShiftState s, int x, int) {
        events << QStringLiteral("down %1 %2").arg(state(s)).arg(x);
    });
    QObject::connect(&map, &TMapVyk::MouseMove,
                     [&](TShiftState s, int, int) { events << QStringLiteral("move %1").arg(state(s)); });
    QObject::connect(&map, &TMapVyk::MouseUp,
                     [&](Qt::MouseButton, TShiftState s, int, int) { events << QStringLiteral("up %1").arg(state(s)); });
    QObject::connect(&map, &TMapVyk::DblClick, [&] { events << QStringLiteral("dbl"); });
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers keys) {
        QMouseEvent e(type, QPointF(7, 8), QPointF(map.mapToGlobal(QPoint(7, 8))), button, held, keys);
        QApplication::sendEvent(&map, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {});
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, {});
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {});
    send(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, {});
    send(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, {});
    EXPECT_EQ(events, QStringList({"down Cl 7", "move SAlr", "up ", "dbl", "down l2 7", "up 2", "down m 7", "up "}));
}

// The control lays out the text objects the data core reads.
TEST(MapVyk, LaysOutTextObjectsForTheDataCore)
{
    platform::ScopedService<ScreenMetrics> pin(pinnedMetrics());
    TMapVyk map;
    map.SetClientSize(800, 400);
    map.ResetPicture();
    IMapEngineServices &services = map;
    EXPECT_EQ(services.CurrentScaleDenominator(), 500);
    TTextRecord r;
    MapControlCore::InitTextRecord(r);
    r.Kind = okText;
    r.Text = QStringLiteral("Участок");
    r.FontName = QStringLiteral("Arial");
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    services.LayoutTextObject(r, 1000, 1000, x0, y0, x1, y1);
    EXPECT_LT(x0, 1000);
    EXPECT_GT(x1, 1000);
    EXPECT_NEAR(y1, 1000, 0.125);
    EXPECT_LT(y0, 1000 - 1);
}
