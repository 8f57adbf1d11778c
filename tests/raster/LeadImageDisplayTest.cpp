// The shown imaging control without a window: the zoom of the size modes,
// scroll ranges with the bars' shift counts, scrolling by bar, wheel and
// keys, the destination setters, point conversion and painting.

#include "raster/LeadImageDisplay.h"

#include "platform/imaging/ImagingErrors.h"
#include "support/TestFiles.h"
#include "Raised.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace raster;
namespace img = platform::imaging;

namespace {

// Loads a picture into a control of the given client size.
void show(TLEADImageDisplay &c, const QImage &picture, QSize client)
{
    static testsupport::TempFolder folder;
    static int n = 0;
    const QString file = folder.file(QStringLiteral("p%1.png").arg(++n));
    ASSERT_TRUE(picture.save(file));
    c.SetClientSize(client);
    ASSERT_EQ(c.Load(file, 0, 0, 1), img::SUCCESS);
}

QImage filled(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

} // namespace

TEST(LeadImageDisplay, ZoomedSizeRule)
{
    struct Case {
        int side;
        double zoom;
        int expected;
    } cases[] = {{100, 2.0, 200}, {100, 2.5, 250}, {100, 0.25, 25}, {100, 0, 1}, {100, -1, 50}, {90, -2, 30}, {7, 0.5, 4}};
    for (const Case &c : cases)
        EXPECT_EQ(zoomedSize(c.side, c.zoom), c.expected) << c.side << " at " << c.zoom;
}

TEST(LeadImageDisplay, SizeModesFitA400By200PictureInA100By100Client)
{
    struct Case {
        TPaintSizeMode mode;
        QSize dst;
        double zoomX, zoomY;
        int zoomFactor;
    } cases[] = {
        {smNormal, {400, 200}, 1, 1, 100},
        {smStretch, {100, 100}, 0.25, 0.5, 25},
        {smFitSides, {100, 50}, 0.25, 0.25, 25},
        {smFit, {100, 50}, 0.25, 0.25, 25},
    };
    for (const Case &k : cases) {
        TLEADImageDisplay c;
        show(c, filled(400, 200), QSize(100, 100));
        c.SetPaintSizeMode(k.mode);
        EXPECT_EQ(c.Dst().size(), k.dst) << k.mode;
        EXPECT_DOUBLE_EQ(c.ZoomX(), k.zoomX) << k.mode;
        EXPECT_DOUBLE_EQ(c.ZoomY(), k.zoomY) << k.mode;
        EXPECT_EQ(c.Property(QStringLiteral("PaintZoomFactor")).toInt(), k.zoomFactor) << k.mode;
        EXPECT_EQ(c.HScrollMax(), std::max(0, k.dst.width() - 100)) << k.mode;
    }
}

TEST(LeadImageDisplay, PaintZoomFactorSwitchesToZoomModeAndRefusesNegatives)
{
    TLEADImageDisplay c;
    show(c, filled(40, 20), QSize(100, 100));
    c.SetProperty(QStringLiteral("PaintZoomFactor"), 250);
    EXPECT_EQ(c.PaintSizeMode(), smZoom);
    EXPECT_EQ(c.Dst().size(), QSize(100, 50));
    EXPECT_EQ(c.Property(QStringLiteral("PaintZoomFactor")).toInt(), 250);
    // A new picture keeps the zoom.
    show(c, filled(10, 10), QSize(100, 100));
    EXPECT_EQ(c.Dst().size(), QSize(25, 25));

    const auto [message, code] = raised([&] { c.SetPaintZoomFactor(-1); });
    EXPECT_EQ(message, QStringLiteral(" \nPaintZoomFactor: Invalid value passed."));
    EXPECT_EQ(code, img::ERROR_INV_PARAMETER);
    EXPECT_EQ(c.LastError, img::ERROR_INV_PARAMETER);
    EXPECT_EQ(c.Property(QStringLiteral("PaintZoomFactor")).toInt(), 250);

    // Zoom 0 shows one pixel, never divides by it.
    c.SetPaintZoomFactor(0);
    EXPECT_EQ(c.Dst().size(), QSize(1, 1));
}

TEST(LeadImageDisplay, WidePictureGetsAShiftCountAndTheThumbScalesBack)
{
    TLEADImageDisplay c;
    show(c, filled(100000, 20), QSize(300, 100));
    EXPECT_EQ(c.HScrollMax(), 99700);
    EXPECT_EQ(c.HScrollBar().shift, 2);
    EXPECT_EQ(c.HScrollBar().maximum, 24925);
    EXPECT_EQ(c.HScrollBar().page, 10000);
    EXPECT_EQ(c.VScrollBar().shift, 0);
    EXPECT_EQ(c.VScrollMax(), 0);

    c.ScrollMessage(Qt::Horizontal, SB_THUMBTRACK, 100);
    EXPECT_EQ(c.HScrollPos(), 400);
    EXPECT_EQ(c.DstLeft(), -400);
    EXPECT_EQ(c.HScrollBar().position, 100);

    // Another update keeps the range in pixels: the end stays reachable.
    c.UpdateScrollRanges();
    c.UpdateScrollRanges();
    EXPECT_EQ(c.HScrollMax(), 99700);
    c.ScrollMessage(Qt::Horizontal, SB_BOTTOM);
    EXPECT_EQ(c.HScrollPos(), 99700);
    EXPECT_EQ(c.DstLeft() + c.DstWidth(), 300);
    c.ScrollMessage(Qt::Horizontal, SB_PAGEDOWN);
    EXPECT_EQ(c.HScrollPos(), 99700);
    c.ScrollMessage(Qt::Horizontal, SB_TOP);
    EXPECT_EQ(c.HScrollPos(), 0);
}

TEST(LeadImageDisplay, BarsWheelAndKeysMoveByTheirSteps)
{
    TLEADImageDisplay c;
    show(c, filled(1000, 1000), QSize(100, 100));
    int before = 0, after = 0;
    c.OnBeforeScroll = [&](TLEADImage &) { ++before; };
    c.OnScroll = [&](TLEADImage &) { ++after; };
    c.ScrollMessage(Qt::Vertical, SB_THUMBTRACK, 300);
    ASSERT_EQ(c.VScrollPos(), 300);
    struct Step {
        const char *what;
        std::function<void()> act;
        int h, v;
    } steps[] = {
        {"wheel forward", [&] { c.MouseWheel(true, false); }, 0, 200},
        {"wheel back", [&] { c.MouseWheel(false, false); }, 0, 300},
        {"shift wheel forward", [&] { c.MouseWheel(true, true); }, 100, 300},
        {"shift wheel back", [&] { c.MouseWheel(false, true); }, 0, 300},
        {"wheel with a button down", [&] { c.MouseWheel(true, false, true); }, 0, 300},
        {"down arrow", [&] { c.KeyDown(Qt::Key_Down); }, 0, 302},
        {"right arrow", [&] { c.KeyDown(Qt::Key_Right); }, 1, 302},
        {"page up", [&] { c.KeyDown(Qt::Key_PageUp); }, 1, 202},
        {"line up past the top", [&] { c.ScrollMessage(Qt::Vertical, SB_THUMBTRACK, 1); c.ScrollMessage(Qt::Vertical, SB_LINEUP); c.ScrollMessage(Qt::Vertical, SB_LINEUP); }, 1, 0},
    };
    for (const Step &s : steps) {
        s.act();
        EXPECT_EQ(c.HScrollPos(), s.h) << s.what;
        EXPECT_EQ(c.VScrollPos(), s.v) << s.what;
        EXPECT_EQ(c.DstLeft(), -s.h) << s.what;
        EXPECT_EQ(c.DstTop(), -s.v) << s.what;
    }
    EXPECT_GT(before, 0);
    EXPECT_GT(after, before); // every message tells it scrolled, moved or not

    c.SetProperty(QStringLiteral("EnableScroll"), false);
    c.KeyDown(Qt::Key_Down);
    EXPECT_EQ(c.VScrollPos(), 0);
}

TEST(LeadImageDisplay, DestinationSettersAndScrollSteps)
{
    TLEADImageDisplay c;
    show(c, filled(1000, 1000), QSize(100, 100));
    c.SetDstLeft(5); // a positive left is not a scroll position
    EXPECT_EQ(c.DstLeft(), 0);
    EXPECT_EQ(c.HScrollPos(), 0);
    c.SetDstLeft(-30);
    EXPECT_EQ(c.HScrollPos(), 30);
    EXPECT_EQ(c.DstLeft(), -30);

    const auto [message, code] = raised([&] { c.SetProperty(QStringLiteral("HScrollStep"), 0); });
    EXPECT_EQ(message, QStringLiteral(" \nHScrollStep: Scroll step out of range."));
    EXPECT_EQ(c.Property(QStringLiteral("HScrollStep")).toInt(), 10);
    EXPECT_EQ(c.HScrollPos(), 30);
    c.SetProperty(QStringLiteral("VScrollStep"), 4);
    EXPECT_EQ(c.Property(QStringLiteral("VScrollStep")).toInt(), 4);
    EXPECT_EQ(c.HScrollPos(), 0);

    // Without AutoScroll the left is stored as given.
    c.SetProperty(QStringLiteral("AutoScroll"), false);
    c.SetDstLeft(7);
    EXPECT_EQ(c.DstLeft(), 7);

    // A width sets the zoom of its axis.
    c.SetDstWidth(500);
    EXPECT_DOUBLE_EQ(c.ZoomX(), 0.5);
    EXPECT_EQ(c.DstWidth(), 500);

    c.SetProperty(QStringLiteral("AutoScroll"), true);
    c.SetProperty(QStringLiteral("Transparent"), true);
    EXPECT_FALSE(c.Property(QStringLiteral("AutoScroll")).toBool());
}

TEST(LeadImageDisplay, DestinationClipFollowsTheDestination)
{
    TLEADImageDisplay c;
    show(c, filled(200, 200), QSize(100, 100));
    EXPECT_EQ(c.DstClip(), c.Dst());
    c.SetDstClipRect(10, 20, 30, 40);
    EXPECT_EQ(c.DstClip(), QRect(10, 20, 30, 40));
    // Scrolling moves the clip with the destination.
    c.ScrollMessage(Qt::Horizontal, SB_THUMBTRACK, 25);
    EXPECT_EQ(c.DstClip().left(), -25);
    // A refit makes it the destination again.
    c.SetPaintSizeMode(smFit);
    EXPECT_EQ(c.DstClip(), c.Dst());
    EXPECT_EQ(c.Dst(), QRect(0, 0, 100, 100));
}

TEST(LeadImageDisplay, CentredPictureAndPointConversion)
{
    TLEADImageDisplay c;
    c.SetProperty(QStringLiteral("CenterImage"), true);
    show(c, filled(10, 20), QSize(101, 100));
    EXPECT_EQ(c.ShownRect(), QRect(45, 40, 10, 20));
    EXPECT_EQ(c.ClientToImage(QPoint(45, 40)), QPoint(0, 0));
    EXPECT_EQ(c.ClientToImage(QPoint(54, 59)), QPoint(9, 19));

    TLEADImageDisplay z;
    z.SetProperty(QStringLiteral("FrameThickness"), 2);
    show(z, filled(100, 100), QSize(50, 50));
    z.SetPaintZoomFactor(200);
    z.ScrollMessage(Qt::Horizontal, SB_THUMBTRACK, 20);
    EXPECT_EQ(z.ClientToImage(QPoint(2, 2)), QPoint(10, 0));
    EXPECT_EQ(z.ClientToImage(QPoint(7, 9)), QPoint(12, 3));
}

TEST(LeadImageDisplay, PaintsTheScrolledZoomedPicture)
{
    // Four quadrants of 10 x 10 pixels.
    QImage picture(20, 20, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            picture.setPixel(x, y, colours[(y / 10) * 2 + x / 10]);
    TLEADImageDisplay c;
    c.SetProperty(QStringLiteral("BackColor"), QVariant::fromValue(qRgb(1, 2, 3)));
    show(c, picture, QSize(30, 30));
    c.SetPaintZoomFactor(200);
    c.ScrollMessage(Qt::Horizontal, SB_THUMBTRACK, 15);
    c.ScrollMessage(Qt::Vertical, SB_THUMBTRACK, 10);
    ASSERT_EQ(c.HScrollPos(), 10);
    ASSERT_EQ(c.VScrollPos(), 10);
    QImage out(30, 30, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    c.Paint(p, out.rect());
    p.end();
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 30; x += 3) {
            const int ix = (x + 10) / 2, iy = (y + 10) / 2;
            EXPECT_EQ(out.pixel(x, y), colours[(iy / 10) * 2 + ix / 10]) << x << "," << y;
        }

    // Zoomed out the rest of the client takes the background colour.
    c.SetPaintZoomFactor(50);
    out.fill(Qt::black);
    QPainter q(&out);
    c.Paint(q, out.rect());
    q.end();
    EXPECT_EQ(out.pixel(2, 2), colours[0]);
    EXPECT_EQ(out.pixel(7, 2), colours[1]);
    EXPECT_EQ(out.pixel(12, 12), qRgb(1, 2, 3));
    EXPECT_EQ(out.pixel(29, 29), qRgb(1, 2, 3));
}
