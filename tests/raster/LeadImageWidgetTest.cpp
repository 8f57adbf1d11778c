// The imaging control on a window, driven by synthetic mouse and drop
// events offscreen: region tracking, the floater, the rubber band, drops of
// files and of records; animation playback; the pan window, the magnifier
// and screen capture.

#include "raster/BitmapRecord.h"
#include "raster/ui/LeadImageWidget.h"

#include "platform/imaging/ImagingErrors.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

#include <set>

using namespace raster;
namespace img = platform::imaging;

namespace {

// Left half red, right half blue.
QImage halves(int w = 100, int h = 100)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    return image;
}

struct Shown {
    testsupport::TempFolder folder;
    TLEADImageWidget widget;
    explicit Shown(const QImage &picture = halves(), QSize size = QSize(200, 200))
    {
        const QString file = folder.file(QStringLiteral("p.png"));
        picture.save(file);
        widget.resize(size);
        widget.show();
        EXPECT_EQ(widget.Load(file, 0, 0, 1), img::SUCCESS);
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent e(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&widget, &e);
    }
    void drag(QPoint from, QPoint to, int steps = 4)
    {
        mouse(QEvent::MouseButtonPress, from);
        for (int i = 1; i <= steps; ++i)
            mouse(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    QRgb pixel(int x, int y) const { return widget.Bitmap.pixels.pixel(x, y) | 0xFF000000; }
};

// A GIF of 1 x 1 frames that alternate black and white, every frame with
// the same delay (hundredths of a second), looping.
QByteArray gif(int frames, int delay)
{
    QByteArray b("GIF89a", 6);
    b += QByteArray("\x01\x00\x01\x00\x80\x00\x00", 7); // 1 x 1, a colour table of 2
    b += QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    b += QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (int i = 0; i < frames; ++i) {
        QByteArray gce("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
        gce[4] = static_cast<char>(delay & 0xFF);
        gce[5] = static_cast<char>(delay >> 8);
        b += gce;
        b += QByteArray("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);
        // Code size 2: clear, the pixel's index, end.
        b += i % 2 ? QByteArray("\x02\x02\x4C\x01\x00", 5) : QByteArray("\x02\x02\x44\x01\x00", 5);
    }
    b += ';';
    return b;
}

QDropEvent *dropOf(QMimeData *data, Qt::DropActions actions)
{
    return new QDropEvent(QPointF(20, 20), actions, data, Qt::LeftButton, Qt::NoModifier);
}

// Straight to the widget: the application routes drops only inside a drag.
void deliver(QWidget &w, QEvent *e)
{
    static_cast<QObject &>(w).event(e);
}

} // namespace

TEST(LeadImageWidget, PolygonPointsGrowByFiftyAndMakeTheRegion)
{
    Shown s;
    s.widget.RegionTracking = 4;
    std::set<int> sizes;
    s.mouse(QEvent::MouseButtonPress, QPoint(10, 10));
    sizes.insert(s.widget.PolygonSize());
    for (int i = 1; i < 120; ++i) {
        // Along three sides of a square, so the points make an area.
        const QPoint at = i < 40 ? QPoint(10 + i * 2, 10) : i < 80 ? QPoint(90, 10 + (i - 40) * 2) : QPoint(90 - (i - 80) * 2, 90);
        s.mouse(QEvent::MouseMove, at, Qt::NoButton);
        sizes.insert(s.widget.PolygonSize());
    }
    EXPECT_EQ(s.widget.PolygonCount(), 120);
    EXPECT_EQ(sizes, (std::set<int>{50, 100, 150}));
    s.mouse(QEvent::MouseButtonRelease, QPoint(12, 90), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(s.widget.HasRgn());
    EXPECT_EQ(s.widget.PolygonCount(), 0);
    EXPECT_TRUE(s.widget.GetRgnHandle().contains(QPoint(50, 50)));
    EXPECT_FALSE(s.widget.GetRgnHandle().contains(QPoint(95, 95)));
}

TEST(LeadImageWidget, RegionShapesFromEitherDragDirectionAtAnyZoom)
{
    struct Case {
        int tracking, zoom;
        QPoint a, b;
        QRect bounds;
    } cases[] = {
        {1, 100, {10, 10}, {40, 30}, {10, 10, 30, 20}},
        {1, 200, {10, 10}, {40, 30}, {5, 5, 15, 10}},
        {3, 100, {10, 10}, {50, 30}, {10, 10, 40, 20}},
        {2, 100, {10, 10}, {90, 90}, {10, 10, 80, 80}},
    };
    for (const Case &c : cases) {
        QRegion regions[2];
        for (int reverse = 0; reverse < 2; ++reverse) {
            Shown s;
            s.widget.SetPaintZoomFactor(c.zoom);
            s.widget.RegionTracking = c.tracking;
            int changes = 0;
            s.widget.OnRgnChange = [&](TLEADImage &) { ++changes; };
            reverse ? s.drag(c.b, c.a) : s.drag(c.a, c.b);
            regions[reverse] = s.widget.GetRgnHandle();
            EXPECT_EQ(changes, 1);
            // Rectangles fill their bounds; the rounded shapes lie inside.
            const QRect bounds(s.widget.RgnLeft, s.widget.RgnTop, s.widget.RgnWidth, s.widget.RgnHeight);
            if (c.tracking == 1)
                EXPECT_EQ(bounds, c.bounds) << c.zoom << (reverse ? " reversed" : "");
            else {
                EXPECT_TRUE(c.bounds.contains(bounds)) << c.tracking << (reverse ? " reversed" : "");
                EXPECT_GE(bounds.width(), c.bounds.width() - 2) << c.tracking;
            }
        }
        EXPECT_EQ(regions[0], regions[1]) << c.tracking << " at " << c.zoom;
    }
}

TEST(LeadImageWidget, EmptyRegionIsFreedAndRightButtonIsIgnored)
{
    Shown s;
    s.widget.RegionTracking = 1;
    s.drag(QPoint(10, 10), QPoint(40, 40));
    ASSERT_TRUE(s.widget.HasRgn());
    s.drag(QPoint(30, 30), QPoint(30, 60)); // no width: nothing to keep
    EXPECT_FALSE(s.widget.HasRgn());
    EXPECT_EQ(s.widget.RgnWidth, 0);

    s.mouse(QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(s.widget.Tracking());
    // Outside the picture nothing starts either.
    s.mouse(QEvent::MouseButtonPress, QPoint(150, 150));
    EXPECT_FALSE(s.widget.Tracking());
}

TEST(LeadImageWidget, FloaterIsCopiedOnceThenMoved)
{
    Shown s;
    s.widget.SetProperty(QStringLiteral("EnableFloater"), true);
    s.widget.RegionTracking = 1;
    s.drag(QPoint(10, 10), QPoint(20, 20)); // a red square
    ASSERT_EQ(s.widget.GetRgnHandle(), QRegion(10, 10, 10, 10));

    s.drag(QPoint(15, 15), QPoint(75, 15)); // onto the blue half
    EXPECT_EQ(s.widget.GetRgnHandle(), QRegion(70, 10, 10, 10));
    EXPECT_EQ(s.pixel(70, 10), qRgb(255, 0, 0));
    EXPECT_EQ(s.pixel(79, 19), qRgb(255, 0, 0));
    EXPECT_EQ(s.pixel(80, 10), qRgb(0, 0, 255));
    EXPECT_EQ(s.pixel(15, 15), qRgb(255, 0, 0)); // the first drag leaves the original
    // The list item holds the changed picture.
    EXPECT_EQ(s.widget.BitmapList()[0].pixels.pixel(70, 10) | 0xFF000000, qRgb(255, 0, 0));

    s.drag(QPoint(75, 15), QPoint(75, 65)); // the second moves it: blue comes back
    EXPECT_EQ(s.pixel(75, 15), qRgb(0, 0, 255));
    EXPECT_EQ(s.pixel(75, 65), qRgb(255, 0, 0));
    EXPECT_EQ(s.widget.GetRgnHandle(), QRegion(70, 60, 10, 10));

    // At zoom 2 a drag of 20 window pixels moves 10 image pixels; a
    // leftward one of 3 pixels moves by -2 (rounded down).
    s.widget.SetPaintZoomFactor(200);
    s.drag(QPoint(150, 130), QPoint(170, 130));
    EXPECT_EQ(s.widget.GetRgnHandle(), QRegion(80, 60, 10, 10));
    s.drag(QPoint(170, 130), QPoint(167, 130));
    EXPECT_EQ(s.widget.GetRgnHandle(), QRegion(78, 60, 10, 10));
}

TEST(LeadImageWidget, RubberBandReportsTheNormalizedRectangle)
{
    Shown s;
    s.widget.RubberBandEnabled = true;
    int bands = 0;
    s.widget.OnRubberBand = [&](TLEADImage &) { ++bands; };
    s.drag(QPoint(50, 40), QPoint(20, 10));
    EXPECT_EQ(bands, 1);
    EXPECT_EQ(s.widget.RubberBandRect, QRect(QPoint(20, 10), QPoint(50, 40)));
    EXPECT_FALSE(s.widget.HasRgn());
}

TEST(LeadImageWidget, MovingOutlineCyclesItsPhase)
{
    Shown s;
    s.widget.RegionFrameType = 2;
    s.widget.RegionTracking = 1;
    s.drag(QPoint(10, 10), QPoint(40, 40));
    s.widget.RegionTracking = 0;
    std::vector<int> phases;
    for (int i = 0; i < 9; ++i) {
        s.widget.RegionTimerStep();
        phases.push_back(s.widget.OutlinePhase());
    }
    EXPECT_EQ(phases, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
    s.widget.RegionFrameType = 1; // a still outline: the phase stays
    s.widget.RegionTimerStep();
    EXPECT_EQ(s.widget.OutlinePhase(), 1);
}

TEST(LeadImageWidget, ZeroDelayAnimationYieldsAfterFiftyFrames)
{
    testsupport::TempFolder folder;
    const QString file = folder.write(QStringLiteral("zero.gif"), gif(120, 0));
    TLEADImageWidget w;
    w.resize(50, 50);
    w.SetProperty(QStringLiteral("AutoAnimate"), true);
    w.SetProperty(QStringLiteral("AutoAnimationLoop"), true);
    std::vector<bool> animate;
    w.OnAnimate = [&](TLEADImage &, bool on) { animate.push_back(on); };
    ASSERT_EQ(w.Load(file, 0, 0, -1), img::SUCCESS);
    ASSERT_EQ(w.BitmapList().size(), 120u);
    EXPECT_TRUE(w.AnimationPlaying());
    EXPECT_EQ(w.AnimationFrame(), 0);
    EXPECT_EQ(w.AnimationTimerStep(), 1);
    EXPECT_EQ(w.AnimationFramesPainted, 50);
    EXPECT_EQ(w.AnimationFrame(), 50);
    EXPECT_EQ(w.Bitmap.pixels.pixel(0, 0) | 0xFF000000, qRgb(0, 0, 0));
    EXPECT_EQ(w.AnimationTimerStep(), 1);
    EXPECT_EQ(w.AnimationTimerStep(), 1);
    EXPECT_EQ(w.AnimationFrame(), 30); // round the loop
    w.AnimationEnable(false);
    EXPECT_FALSE(w.AnimationPlaying());
    EXPECT_EQ(animate, (std::vector<bool>{true, false}));

    // Frames with a delay: one a tick, the timer set to what is left of it.
    const QString slow = folder.write(QStringLiteral("slow.gif"), gif(3, 10));
    w.SetProperty(QStringLiteral("AutoAnimationLoop"), false);
    ASSERT_EQ(w.Load(slow, 0, 0, -1), img::SUCCESS);
    EXPECT_EQ(w.Bitmap.delay, 100);
    const int interval = w.AnimationTimerStep();
    EXPECT_EQ(w.AnimationFramesPainted, 1);
    EXPECT_GE(interval, 1);
    EXPECT_LE(interval, 100);
    w.AnimationTimerStep();
    EXPECT_EQ(w.AnimationTimerStep(), -1); // the end without a loop
    EXPECT_FALSE(w.AnimationEnabled());
}

TEST(LeadImageWidget, DroppedFileLoadsAfterItsEventAndForeignDataIsRefused)
{
    Shown s(halves(30, 20));
    testsupport::TempFolder folder;
    const QString file = folder.file(QStringLiteral("dropped.png"));
    halves(64, 48).save(file);
    s.widget.SetProperty(QStringLiteral("DropFilesAllowed"), true);
    EXPECT_TRUE(s.widget.acceptDrops());
    QStringList told;
    bool loadedWhenTold = true;
    s.widget.OnDropFile = [&](TLEADImage &c, const QString &name) {
        told << name;
        loadedWhenTold = c.InfoWidth == 64;
    };
    auto *files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(file)});
    std::unique_ptr<QDropEvent> drop(dropOf(files, Qt::CopyAction | Qt::MoveAction));
    deliver(s.widget, drop.get());
    EXPECT_EQ(told, QStringList{file});
    EXPECT_FALSE(loadedWhenTold);
    EXPECT_EQ(s.widget.InfoWidth, 64);
    EXPECT_TRUE(drop->isAccepted());
    EXPECT_EQ(drop->dropAction(), Qt::MoveAction);
    delete files;

    // With the control's own drag method only its whole records are taken.
    s.widget.SetProperty(QStringLiteral("EnableOLEDragMethod"), true);
    QByteArray cut = encodeBitmapRecord(img::Bitmap::fromImage(halves(10, 10)));
    cut.chop(1);
    QByteArray lying = encodeBitmapRecord(img::Bitmap::fromImage(halves(10, 10)));
    qToLittleEndian<qint32>(1000, lying.data() + 16); // 1000 rows claimed
    for (const QByteArray &bytes : {cut, lying, QByteArray("file:///etc/passwd")}) {
        auto *data = new QMimeData;
        data->setData(QString::fromLatin1(BitmapRecordMime), bytes);
        data->setUrls({QUrl::fromLocalFile(file)});
        std::unique_ptr<QDropEvent> e(dropOf(data, Qt::CopyAction));
        deliver(s.widget, e.get());
        EXPECT_FALSE(e->isAccepted());
        EXPECT_EQ(s.widget.LastError, img::ERROR_FILE_FORMAT);
        EXPECT_EQ(s.widget.InfoWidth, 64); // the picture stays
        delete data;
    }
    auto *record = new QMimeData;
    record->setData(QString::fromLatin1(BitmapRecordMime), encodeBitmapRecord(img::Bitmap::fromImage(halves(10, 6))));
    std::unique_ptr<QDropEvent> e(dropOf(record, Qt::CopyAction));
    deliver(s.widget, e.get());
    EXPECT_TRUE(e->isAccepted());
    EXPECT_EQ(s.widget.Bitmap.pixels.convertToFormat(QImage::Format_RGB32), halves(10, 6));
    delete record;
}

TEST(LeadImageWidget, EffectAnswers)
{
    const struct {
        int wanted, offered, answer;
    } cases[] = {{1, 3, 2}, {1, 1, 1}, {1, 5, 4}, {1, 4, 4}, {0, 1, 0}, {0, 3, 0}, {1, 7, 2}};
    for (const auto &c : cases)
        EXPECT_EQ(dropEffectAnswer(c.wanted, c.offered), c.answer) << c.wanted << "/" << c.offered;
}

TEST(LeadImageWidget, PanWindowFollowsAndScrollsTheControl)
{
    QWidget top;
    auto *w = new TLEADImageWidget(&top);
    testsupport::TempFolder folder;
    const QString file = folder.file(QStringLiteral("big.png"));
    halves(1000, 800).save(file);
    w->resize(200, 150);
    top.show();
    ASSERT_EQ(w->Load(file, 0, 0, 1), img::SUCCESS);
    w->SetProperty(QStringLiteral("PanWinX"), 300); // no pan window yet: stored
    EXPECT_EQ(w->LastError, img::SUCCESS);
    std::vector<int> kinds;
    w->OnPanWin = [&](TLEADImage &, void *, int kind) { kinds.push_back(kind); };
    ASSERT_EQ(w->SetPanWinVisible(true), img::SUCCESS);
    ASSERT_NE(w->PanWindow(), nullptr);
    EXPECT_TRUE(w->PanWindow()->isVisible());
    EXPECT_EQ(w->PanWindow()->geometry().x(), 300);
    EXPECT_EQ(w->PanWindow()->width(), 150);

    w->SetPaintZoomFactor(200);
    w->PanCallback(1, QPoint(100, 50));
    EXPECT_EQ(w->HScrollPos(), 200);
    EXPECT_EQ(w->VScrollPos(), 100);
    w->PanCallback(1, QPoint(5000, 0)); // no further than the end
    EXPECT_EQ(w->HScrollPos(), w->HScrollMax());
    EXPECT_EQ(kinds, (std::vector<int>{0, 1, 1}));

    top.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(w->PanWindow()->isVisible());
    EXPECT_TRUE(w->PanWinVisible());

    w->PanWindow()->close(); // closed by the user
    EXPECT_FALSE(w->PanWinVisible());
    EXPECT_EQ(kinds.back(), 2);
}

TEST(LeadImageWidget, MagnifierStartsOnceAndStopsOnlyWhatRuns)
{
    Shown s;
    std::array<int, 11> settings{120, 80, 300, int(qRgb(0, 0, 255)), 0x00FF00, 1, 7, 0, 9, 1, 0};
    EXPECT_EQ(s.widget.StartMagGlass(settings), img::SUCCESS);
    EXPECT_TRUE(s.widget.MagGlassRunning());
    const QByteArray r = s.widget.MagGlassRecord();
    ASSERT_EQ(r.size(), 68);
    auto at = [&](int offset) { return qFromLittleEndian<quint32>(r.constData() + offset); };
    EXPECT_EQ(at(0), 68u);
    EXPECT_EQ(at(4), 120u);
    EXPECT_EQ(at(12), 300u);
    EXPECT_EQ(at(16), 0xFF0000u); // blue, red in the low byte
    EXPECT_EQ(at(28), 0xFFFFFFFFu);
    EXPECT_EQ(at(36), 0u);
    EXPECT_EQ(at(40), 0x201u); // ordered dither, resampled
    EXPECT_EQ(at(56), 9u);

    try {
        s.widget.StartMagGlass(settings);
        ADD_FAILURE() << "a second start raised nothing";
    } catch (const ELEADImageError &e) {
        EXPECT_EQ(e.code, img::ERROR_INV_PARAMETER);
        EXPECT_TRUE(e.message().contains(QStringLiteral("\nStartMagGlass: ")));
    }
    EXPECT_EQ(s.widget.StopMagGlass(), img::SUCCESS);
    try {
        s.widget.StopMagGlass();
        ADD_FAILURE() << "stopping nothing raised nothing";
    } catch (const ELEADImageError &e) {
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(s.widget.LastError, 0);
    }
}

TEST(LeadImageWidget, CaptureAreaFollowsTheZoomAndTheScreen)
{
    TLEADImageDisplay c;
    c.SetClientSize(QSize(200, 100));
    const QRect screen(0, 0, 1000, 800);
    const struct {
        int zoom;
        QPoint cursor;
        QRect expected;
    } cases[] = {
        {100, {500, 400}, {400, 350, 200, 100}},
        {200, {500, 400}, {450, 375, 100, 50}},
        {50, {500, 400}, {300, 300, 400, 200}},
        {0, {500, 400}, {400, 350, 200, 100}}, // zoom 0 taken as 100 %, not divided by
        {100, {10, 10}, {0, 0, 110, 60}},
        {100, {2000, 2000}, {1999, 1999, 1, 1}},
    };
    for (const auto &k : cases) {
        c.SetPaintZoomFactor(k.zoom);
        const QRect r = c.CaptureRect(k.cursor, screen);
        EXPECT_EQ(r.size(), k.expected.size()) << k.zoom << " at " << k.cursor.x();
        if (k.expected.width() > 1) {
            EXPECT_EQ(r.topLeft(), k.expected.topLeft()) << k.zoom;
        }
    }
}
