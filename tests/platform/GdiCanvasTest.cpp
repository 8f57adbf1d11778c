// The canvas on raster images: pen modes and raster operations against their
// truth tables, hatches, line and figure pixels, mapping modes, clipping and
// the back buffer.

#include "GdiTestSupport.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform::gdi;
using namespace gditest;

namespace {

// The pen modes' results on 24-bit values, written out as the platform defines them.
std::uint32_t expectedRop2(int rop, std::uint32_t p, std::uint32_t d)
{
    const std::uint32_t m = 0xFFFFFF;
    switch (rop) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return ~(p | d) & m;
    case R2_MASKNOTPEN: return (~p & d) & m;
    case R2_NOTCOPYPEN: return ~p & m;
    case R2_MASKPENNOT: return (p & ~d) & m;
    case R2_NOT: return ~d & m;
    case R2_XORPEN: return (p ^ d) & m;
    case R2_NOTMASKPEN: return ~(p & d) & m;
    case R2_MASKPEN: return p & d;
    case R2_NOTXORPEN: return ~(p ^ d) & m;
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return (~p | d) & m;
    case R2_COPYPEN: return p;
    case R2_MERGEPENNOT: return (p | ~d) & m;
    case R2_MERGEPEN: return p | d;
    case R2_WHITE: return m;
    default: return 0xDEADBEEF;
    }
}

const std::uint32_t kDest[] = {0x000000, 0xFFFFFF, 0x123456, 0xA5C3F0, 0x0F0F0F, 0x808080};
const std::uint32_t kPens[] = {0x000000, 0xFFFFFF, 0x3C5AA5, 0xF00F81};

// A strip of destination colours, one per 4-pixel column band.
QImage destinationStrip()
{
    QImage img(4 * std::size(kDest), 12, QImage::Format_RGB32);
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            img.setPixel(x, y, 0xFF000000u | kDest[x / 4]);
    return img;
}

// Pixels are 0x00RRGGBB in the image; our colours are 0x00BBGGRR.
Color asColor(std::uint32_t rrggbb) { return fromPixel(0xFF000000u | rrggbb); }

} // namespace

class PenModes : public ::testing::TestWithParam<bool> {};

TEST_P(PenModes, EverySixteenModeGivesItsTruthTableOnLinesAndFills)
{
    const bool exact = GetParam();
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        for (std::uint32_t pen : kPens) {
            QImage img = destinationStrip();
            {
                PainterCanvas c(img, pinnedMetrics());
                c.setExactPenModes(exact);
                c.setRop2(rop);
                c.setPen(Pen{PS_SOLID, 1, asColor(pen)});
                c.moveTo(0, 2);
                c.lineTo(img.width(), 2);                 // a line over every destination colour
                c.setPen(Pen{PS_NULL, 1, 0});
                c.setBrush(Brush{BS_SOLID, asColor(pen), 0});
                c.rectangle(Rect{0, 6, img.width() + 1, 11}); // a fill without outline
            }
            for (size_t i = 0; i < std::size(kDest); ++i) {
                const int x = static_cast<int>(4 * i + 1);
                const std::uint32_t want = expectedRop2(rop, pen, kDest[i]);
                EXPECT_EQ(img.pixel(x, 2) & 0xFFFFFF, want)
                    << "line, mode " << rop << " pen " << std::hex << pen << " dest " << kDest[i] << (exact ? " exact" : "");
                EXPECT_EQ(img.pixel(x, 8) & 0xFFFFFF, want)
                    << "fill, mode " << rop << " pen " << std::hex << pen << " dest " << kDest[i] << (exact ? " exact" : "");
                // Untouched rows keep the destination.
                EXPECT_EQ(img.pixel(x, 4) & 0xFFFFFF, kDest[i]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PainterAndPerPixel, PenModes, ::testing::Values(false, true));

TEST(PenModes, XorOutlineDrawnTwiceRestoresThePicture)
{
    QImage img = whiteImage(60, 40);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setBrush(Brush{BS_SOLID, rgb(0, 128, 0), 0});
        c.rectangle(Rect{5, 5, 30, 30});
    }
    const QImage before = img.copy();
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setRop2(R2_NOTXORPEN);
        c.setBrush(Brush{BS_NULL, 0, 0});
        c.setPen(Pen{PS_DOT, 1, 0});
        for (int k = 0; k < 2; ++k) {
            c.rectangle(Rect{10, 10, 50, 35});
            c.polyline({QPoint(0, 0), QPoint(59, 39), QPoint(0, 39)});
            if (k == 0) {
                EXPECT_NE(img, before);
            }
        }
    }
    EXPECT_EQ(img, before);
}

TEST(PenModes, PenModeNumbersAndRasterIndicesMapToThePlatformCodes)
{
    const int modes[16] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                           R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN,
                           R2_XORPEN, R2_NOTXORPEN};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(rop2FromPenMode(i), modes[i]) << i;
    EXPECT_EQ(rop2FromPenMode(16), R2_COPYPEN);
    EXPECT_EQ(rop2FromPenMode(-1), R2_COPYPEN);

    const struct { int index; std::uint32_t rop; } table[] = {
        {0, 0x00000042}, {1, 0x00FF0062}, {2, 0x00CC0020}, {3, 0x00CC0020}, {4, 0x00CC0020}, {5, 0x00EE0086},
        {6, 0x008800C6}, {7, 0x00660046}, {8, 0x00440328}, {9, 0x00330008}, {10, 0x001100A6}, {11, 0x00C000CA},
        {12, 0x00BB0226}, {13, 0x00F00021}, {14, 0x00FB0A09}, {15, 0x005A0049}, {16, 0x00550009}, {17, 0x00CC0020},
        {-3, 0x00CC0020}};
    for (const auto &t : table)
        EXPECT_EQ(rop3FromRasterIndex(t.index), t.rop) << t.index;
}

TEST(RasterOperations, BlockTransfersGiveTheFifteenOperationsPixelByPixel)
{
    const std::uint32_t m = 0xFFFFFF;
    const struct {
        std::uint32_t rop;
        const char *name;
        std::function<std::uint32_t(std::uint32_t, std::uint32_t, std::uint32_t)> f; // pattern, source, screen
    } ops[] = {
        {BLACKNESS, "BLACKNESS", [](auto, auto, auto) { return 0u; }},
        {WHITENESS, "WHITENESS", [&](auto, auto, auto) { return m; }},
        {SRCCOPY, "SRCCOPY", [](auto, auto s, auto) { return s; }},
        {SRCPAINT, "SRCPAINT", [](auto, auto s, auto d) { return s | d; }},
        {SRCAND, "SRCAND", [](auto, auto s, auto d) { return s & d; }},
        {SRCINVERT, "SRCINVERT", [](auto, auto s, auto d) { return s ^ d; }},
        {SRCERASE, "SRCERASE", [&](auto, auto s, auto d) { return s & ~d & m; }},
        {NOTSRCCOPY, "NOTSRCCOPY", [&](auto, auto s, auto) { return ~s & m; }},
        {NOTSRCERASE, "NOTSRCERASE", [&](auto, auto s, auto d) { return ~(s | d) & m; }},
        {MERGECOPY, "MERGECOPY", [](auto p, auto s, auto) { return p & s; }},
        {MERGEPAINT, "MERGEPAINT", [&](auto, auto s, auto d) { return (~s | d) & m; }},
        {PATCOPY, "PATCOPY", [](auto p, auto, auto) { return p; }},
        {PATPAINT, "PATPAINT", [&](auto p, auto s, auto d) { return (p | ~s | d) & m; }},
        {PATINVERT, "PATINVERT", [](auto p, auto, auto d) { return p ^ d; }},
        {DSTINVERT, "DSTINVERT", [&](auto, auto, auto d) { return ~d & m; }},
    };
    const std::uint32_t pattern = 0x3C5AA5;
    QImage source(static_cast<int>(std::size(kPens)), 1, QImage::Format_RGB32);
    for (int i = 0; i < source.width(); ++i)
        source.setPixel(i, 0, 0xFF000000u | kPens[i]);
    for (const auto &op : ops) {
        // Columns: every destination colour under every source colour.
        QImage img(static_cast<int>(std::size(kPens) * std::size(kDest)), 2, QImage::Format_RGB32);
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < 2; ++y)
                img.setPixel(x, y, 0xFF000000u | kDest[static_cast<size_t>(x) / std::size(kPens)]);
        {
            PainterCanvas c(img, pinnedMetrics());
            c.setBrush(Brush{BS_SOLID, asColor(pattern), 0});
            for (size_t d = 0; d < std::size(kDest); ++d)
                c.bitBlt(static_cast<int>(d * std::size(kPens)), 0, static_cast<int>(std::size(kPens)), 1, source, 0, 0,
                         op.rop);
        }
        for (int x = 0; x < img.width(); ++x) {
            const std::uint32_t s = kPens[static_cast<size_t>(x) % std::size(kPens)];
            const std::uint32_t d = kDest[static_cast<size_t>(x) / std::size(kPens)];
            EXPECT_EQ(img.pixel(x, 0) & m, op.f(pattern, s, d) & m) << op.name << " column " << x;
            EXPECT_EQ(img.pixel(x, 1) & m, d) << op.name << " row below untouched";
        }
    }
}

TEST(RasterOperations, StretchUsesNearestPixelsAndMirrorsOnNegativeSizes)
{
    QImage src(2, 2, QImage::Format_RGB32);
    src.setPixel(0, 0, 0xFFFF0000u);
    src.setPixel(1, 0, 0xFF00FF00u);
    src.setPixel(0, 1, 0xFF0000FFu);
    src.setPixel(1, 1, 0xFF000000u);
    QImage img = whiteImage(20, 10);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setStretchBltMode(COLORONCOLOR);
        c.stretchBlt(0, 0, 8, 8, src, QRect(0, 0, 2, 2));
        c.stretchBlt(18, 0, -8, 8, src, QRect(0, 0, 2, 2)); // mirrored: x from 17 down to 10
    }
    keepArtefact(img, QStringLiteral("stretch"));
    EXPECT_EQ(img.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(4, 3), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(7, 7), 0xFF000000u);
    EXPECT_EQ(img.pixel(8, 0), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(17, 0), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(10, 0), 0xFF00FF00u);
    EXPECT_EQ(img.pixel(18, 0), 0xFFFFFFFFu);
}

TEST(RasterOperations, GammaTableRaisesBlackAndBendsTheRest)
{
    const auto id = gammaTable(0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(id[static_cast<size_t>(i)], i);
    const auto t = gammaTable(2);
    EXPECT_EQ(t[0], 26);   // 2 × 12.75 = 25.5, half to even
    EXPECT_EQ(t[255], 255);
    EXPECT_EQ(t[64], 128); // 255 × (64/255)^0.5 = 127.75
    // A large gamma saturates entry 0 instead of wrapping around the byte.
    EXPECT_EQ(gammaTable(40)[0], 255);
}

TEST(Hatches, SixHatchesRepeatEveryEightPixelsFromTheDeviceOrigin)
{
    const struct { int hatch; std::function<bool(int, int)> line; const char *name; } cases[] = {
        {HS_HORIZONTAL, [](int, int y) { return y % 8 == 3; }, "horizontal"},
        {HS_VERTICAL, [](int x, int) { return x % 8 == 4; }, "vertical"},
        {HS_FDIAGONAL, [](int x, int y) { return x % 8 == y % 8; }, "fdiagonal"},
        {HS_BDIAGONAL, [](int x, int y) { return x % 8 == 7 - y % 8; }, "bdiagonal"},
        {HS_CROSS, [](int x, int y) { return x % 8 == 4 || y % 8 == 3; }, "cross"},
        {HS_DIAGCROSS, [](int x, int y) { return x % 8 == y % 8 || x % 8 == 7 - y % 8; }, "diagcross"},
    };
    const Color red = rgb(255, 0, 0), yellow = rgb(255, 255, 0);
    for (const auto &cs : cases) {
        for (int mode : {TRANSPARENT, OPAQUE}) {
            QImage img = whiteImage(40, 40);
            {
                PainterCanvas c(img, pinnedMetrics());
                c.setBkMode(mode);
                c.setBkColor(yellow);
                c.setPen(Pen{PS_NULL, 1, 0});
                c.setBrush(Brush{BS_HATCHED, red, cs.hatch});
                c.rectangle(Rect{3, 5, 37, 39});
            }
            if (mode == OPAQUE)
                keepArtefact(img, QStringLiteral("hatch-") + QLatin1String(cs.name));
            for (int y = 5; y < 38; ++y)
                for (int x = 3; x < 36; ++x) {
                    const Color want = cs.line(x, y) ? red : (mode == OPAQUE ? yellow : rgb(255, 255, 255));
                    ASSERT_EQ(at(img, x, y), want) << cs.name << " at " << x << "," << y << " mode " << mode;
                }
            EXPECT_EQ(at(img, 2, 10), rgb(255, 255, 255));
        }
    }
}

TEST(Hatches, ClassLibraryBrushNumbersMapToHatches)
{
    EXPECT_EQ(brushFromStyleNumber(0, 5).style, BS_SOLID);
    EXPECT_EQ(brushFromStyleNumber(1, 5).style, BS_NULL);
    for (int n = 2; n <= 7; ++n) {
        const Brush b = brushFromStyleNumber(n, 5);
        EXPECT_EQ(b.style, BS_HATCHED);
        EXPECT_EQ(b.hatch, n - 2);
        EXPECT_EQ(brushStyleNumber(b), n);
    }
    EXPECT_EQ(brushFromStyleNumber(8, 5).style, BS_NULL);
}

TEST(Lines, OnePixelLinesLeaveOutTheirLastPixelAndDashesNeedWidthOne)
{
    QImage img = whiteImage(80, 30);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setPen(Pen{PS_SOLID, 1, 0});
        c.moveTo(2, 2);
        c.lineTo(10, 2);
        EXPECT_EQ(c.currentPosition(), QPoint(10, 2));
        c.setBkMode(TRANSPARENT);
        c.setPen(Pen{PS_DASH, 1, 0});
        c.moveTo(0, 10);
        c.lineTo(80, 10);
        c.setPen(Pen{PS_DASH, 3, 0}); // wider than one: solid
        c.moveTo(0, 20);
        c.lineTo(80, 20);
    }
    keepArtefact(img, QStringLiteral("lines"));
    for (int x = 2; x <= 9; ++x)
        EXPECT_EQ(at(img, x, 2), 0u) << x;
    EXPECT_EQ(at(img, 10, 2), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 1, 2), rgb(255, 255, 255));
    // Dash 18 on, 6 off.
    EXPECT_EQ(at(img, 5, 10), 0u);
    EXPECT_EQ(at(img, 20, 10), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 26, 10), 0u);
    for (int x = 2; x < 78; ++x)
        EXPECT_EQ(at(img, x, 20), 0u) << x;
}

TEST(Lines, OpaqueBackgroundFillsTheGapsOfStyledLines)
{
    QImage img = whiteImage(40, 5);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setBkColor(rgb(0, 0, 255));
        c.setPen(Pen{PS_DOT, 0, rgb(255, 0, 0)});
        c.moveTo(0, 2);
        c.lineTo(40, 2);
    }
    EXPECT_EQ(at(img, 0, 2), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 4, 2), rgb(0, 0, 255));
}

TEST(Figures, RectangleAndEllipseLeaveOutTheFarEdges)
{
    QImage img = whiteImage(40, 30);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setPen(Pen{PS_SOLID, 1, rgb(255, 0, 0)});
        c.setBrush(Brush{BS_SOLID, rgb(0, 0, 255), 0});
        c.rectangle(Rect{2, 3, 12, 9});
        c.setPen(Pen{PS_NULL, 1, 0});
        c.rectangle(Rect{20, 3, 30, 9});
        c.setPen(Pen{PS_SOLID, 1, 0});
        c.ellipse(Rect{2, 12, 22, 28});
    }
    keepArtefact(img, QStringLiteral("figures"));
    EXPECT_EQ(at(img, 2, 3), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 11, 8), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 12, 8), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 11, 9), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 5, 5), rgb(0, 0, 255));
    // Without a pen the fill is one pixel smaller.
    EXPECT_EQ(at(img, 20, 3), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 28, 7), rgb(0, 0, 255));
    EXPECT_EQ(at(img, 29, 7), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 28, 8), rgb(255, 255, 255));
    const QRect e = inkBox(img.copy(0, 11, 40, 19));
    EXPECT_EQ(e, QRect(QPoint(2, 1), QPoint(21, 16)));
}

TEST(Figures, PolygonFillsAlternately)
{
    QImage img = whiteImage(40, 40);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setPen(Pen{PS_NULL, 1, 0});
        c.setBrush(Brush{BS_SOLID, 0, 0});
        // An outer square and an inner one in the same direction: the inner is a hole.
        c.polyPolygon({QPoint(2, 2), QPoint(38, 2), QPoint(38, 38), QPoint(2, 38), QPoint(12, 12), QPoint(28, 12),
                       QPoint(28, 28), QPoint(12, 28)},
                      {4, 4});
    }
    EXPECT_EQ(at(img, 5, 5), 0u);
    EXPECT_EQ(at(img, 20, 20), rgb(255, 255, 255));
    QImage wind = whiteImage(40, 40);
    {
        PainterCanvas c(wind, pinnedMetrics());
        c.setPolyFillMode(WINDING);
        c.setPen(Pen{PS_NULL, 1, 0});
        c.setBrush(Brush{BS_SOLID, 0, 0});
        c.polyPolygon({QPoint(2, 2), QPoint(38, 2), QPoint(38, 38), QPoint(2, 38), QPoint(12, 12), QPoint(28, 12),
                       QPoint(28, 28), QPoint(12, 28)},
                      {4, 4});
    }
    EXPECT_EQ(at(wind, 20, 20), 0u);
}

TEST(Mapping, HimetricHasYUpAndConvertsThroughTheDeviceMetrics)
{
    QImage img = whiteImage(200, 200);
    PainterCanvas c(img, pinnedMetrics());
    EXPECT_EQ(c.lpToDp(QPoint(7, 9)), QPoint(7, 9));
    c.setMapMode(MM_HIMETRIC);
    // 4 pixels a millimetre: 2500 units (25 mm) are 100 pixels; y grows upwards.
    EXPECT_EQ(c.lpToDp(QPoint(2500, -2500)), QPoint(100, 100));
    EXPECT_EQ(c.lpToDp(QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(c.dpToLp(QPoint(100, 100)), QPoint(2500, -2500));
    EXPECT_EQ(c.dpToLp(QPoint(1, 1)), QPoint(25, -25));
    c.setWindowOrg(1000, -1000);
    EXPECT_EQ(c.lpToDp(QPoint(1000, -1000)), QPoint(0, 0));
    c.setViewportOrg(10, 20);
    EXPECT_EQ(c.lpToDp(QPoint(1000, -1000)), QPoint(10, 20));
    EXPECT_EQ(c.dpToLp(QPoint(14, 24)), QPoint(1100, -1100));
    c.setWindowOrg(0, 0);
    c.setViewportOrg(0, 0);
    // A filled square 10 mm from the top-left corner, 5 mm a side.
    c.setPen(Pen{PS_NULL, 0, 0});
    c.setBrush(Brush{BS_SOLID, rgb(0, 255, 0), 0});
    c.rectangle(Rect{1000, -1000, 1500, -1500});
    // Setting extents has no effect outside the scalable modes.
    c.setWindowExt(1, 1);
    EXPECT_EQ(c.lpToDp(QPoint(2500, -2500)), QPoint(100, 100));
    c.setMapMode(MM_ANISOTROPIC);
    c.setWindowExt(100, 100);
    c.setViewportExt(200, 50);
    EXPECT_EQ(c.lpToDp(QPoint(10, 10)), QPoint(20, 5));
    c.setMapMode(MM_TEXT);
    c.painter().end();
    keepArtefact(img, QStringLiteral("himetric"));
    EXPECT_EQ(at(img, 40, 40), rgb(0, 255, 0));
    EXPECT_EQ(at(img, 58, 58), rgb(0, 255, 0));
    EXPECT_EQ(at(img, 59, 58), rgb(255, 255, 255)); // no pen: one pixel smaller
    EXPECT_EQ(at(img, 39, 40), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 61, 45), rgb(255, 255, 255));
}

TEST(Mapping, PenWidthsAreLogicalAndZeroIsOnePixel)
{
    QImage img = whiteImage(100, 60);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setMapMode(MM_HIMETRIC);
        c.setPen(Pen{PS_SOLID, 200, 0}); // 2 mm = 8 pixels
        c.moveTo(500, -500);
        c.lineTo(2000, -500);
        c.setPen(Pen{PS_SOLID, 0, 0});
        c.moveTo(500, -1200);
        c.lineTo(2000, -1200);
        c.setBkMode(TRANSPARENT);
        c.setPen(Pen{PS_DASH, 1, 0}); // dashed: one unit, below a pixel
        c.moveTo(0, -1400);
        c.lineTo(2500, -1400);
    }
    keepArtefact(img, QStringLiteral("pen-widths"));
    int thick = 0;
    for (int y = 0; y < 40; ++y)
        thick += at(img, 50, y) == 0u;
    EXPECT_GE(thick, 7);
    EXPECT_LE(thick, 9);
    EXPECT_EQ(at(img, 50, 48), 0u);
    EXPECT_EQ(at(img, 50, 47), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 50, 49), rgb(255, 255, 255));
    // A dashed pen of one unit shows its dashes.
    EXPECT_EQ(at(img, 5, 56), 0u);
    EXPECT_EQ(at(img, 20, 56), rgb(255, 255, 255));
}

TEST(Clipping, IntersectAndSelectAndRestoreTheClip)
{
    QImage img = whiteImage(50, 50);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setPen(Pen{PS_NULL, 0, 0});
        c.setBrush(Brush{BS_SOLID, 0, 0});
        const int saved = c.saveDC();
        c.intersectClipRect(Rect{10, 10, 20, 20});
        c.intersectClipRect(Rect{15, 0, 50, 50});
        c.rectangle(Rect{0, 0, 51, 51});
        c.restoreDC(saved);
        EXPECT_FALSE(c.clipRegion().has_value());
        c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
        c.selectClipRegion(QRegion(40, 40, 5, 5));
        c.rectangle(Rect{0, 0, 51, 51});
        c.selectClipNone();
        c.setBrush(Brush{BS_SOLID, rgb(0, 0, 255), 0});
        c.rectangle(Rect{0, 0, 3, 3});
    }
    EXPECT_EQ(inkBox(img.copy(5, 5, 30, 30)), QRect(QPoint(10, 5), QPoint(14, 14)));
    EXPECT_EQ(at(img, 15, 15), 0u);
    EXPECT_EQ(at(img, 14, 15), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 42, 42), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 39, 42), rgb(255, 255, 255));
    EXPECT_EQ(at(img, 0, 0), rgb(0, 0, 255));
}

TEST(Bitmaps, BackBufferCopiesAreIndependentOfLaterDrawing)
{
    Bitmap control(60, 40);
    Bitmap back(100, 100);
    control.canvas().setBrush(Brush{BS_SOLID, rgb(0, 0, 255), 0});
    control.canvas().rectangle(Rect{0, 0, 30, 20});
    back.blockCopy(0, 0, control, QRect(0, 0, 60, 40));
    // An overlay on the control, then the plain map back from the buffer.
    control.canvas().setRop2(R2_XORPEN);
    control.canvas().setPen(Pen{PS_SOLID, 1, rgb(255, 255, 255)});
    control.canvas().moveTo(0, 10);
    control.canvas().lineTo(60, 10);
    EXPECT_EQ(back.pixel(5, 10), rgb(0, 0, 255));
    EXPECT_EQ(control.pixel(5, 10), rgb(255, 255, 0));
    control.blockCopy(0, 0, back, QRect(0, 0, 60, 40));
    EXPECT_EQ(control.pixel(5, 10), rgb(0, 0, 255));
    EXPECT_EQ(control.pixel(40, 10), rgb(255, 255, 255));
    control.setSize(80, 50);
    EXPECT_EQ(control.width(), 80);
    EXPECT_EQ(control.pixel(5, 5), rgb(0, 0, 255));
    EXPECT_EQ(control.pixel(70, 45), rgb(255, 255, 255));
}

TEST(Metrics, ScreenMetricsCanBePinned)
{
    const DeviceMetrics pinned{1280, 1024, 338, 270, 120, 120};
    {
        platform::ScopedService<ScreenMetrics> guard(pinned);
        EXPECT_EQ(screenMetrics(), pinned);
        RecordingCanvas c;
        EXPECT_EQ(c.deviceMetrics(), pinned);
        EXPECT_EQ(c.logPixelsY(), 120);
    }
    EXPECT_NE(screenMetrics(), pinned);
}

TEST(Recording, KeepsEveryCallWithItsArguments)
{
    RecordingCanvas c(pinnedMetrics());
    c.setMapMode(MM_HIMETRIC);
    c.setRop2(R2_MERGEPENNOT);
    c.setPen(Pen{PS_SOLID, 1, rgb(212, 212, 212)});
    c.setBrush(Brush{BS_SOLID, rgb(170, 170, 170), 0});
    c.polygon({QPoint(800, -800), QPoint(1800, -800), QPoint(800, -1800)});
    c.moveTo(1, 2);
    c.lineTo(3, 4);
    c.textOut(5, 6, QStringLiteral("Текст"));
    const QStringList log = c.log();
    const QStringList want = {QStringLiteral("SetMapMode 3"),
                              QStringLiteral("SetROP2 14"),
                              QStringLiteral("Pen style=0 width=1 color=0xd4d4d4"),
                              QStringLiteral("Brush style=0 color=0xaaaaaa hatch=0"),
                              QStringLiteral("Polygon (800,-800) (1800,-800) (800,-1800)"),
                              QStringLiteral("MoveTo 1,2"),
                              QStringLiteral("LineTo 3,4"),
                              QStringLiteral("TextOut 5,6 \"Текст\"")};
    EXPECT_EQ(log.join(QLatin1Char('\n')).toStdString(), want.join(QLatin1Char('\n')).toStdString());
    ASSERT_EQ(c.callsOf(EMR_POLYGON).size(), 1u);
    EXPECT_EQ(c.callsOf(EMR_POLYGON)[0].points[1], QPoint(1800, -800));
    // The state is a canvas's state all the same.
    EXPECT_EQ(c.rop2(), R2_MERGEPENNOT);
    EXPECT_EQ(c.lpToDp(QPoint(2500, -2500)), QPoint(100, 100));
}

TEST(Lines, FarCoordinatesAreHeldNotWrapped)
{
    // A vertex two thousand million pixels away: the line still runs from its
    // start to the right edge, and nothing else is drawn.
    QImage img = whiteImage(100, 20);
    {
        PainterCanvas c(img, pinnedMetrics());
        c.setPen(Pen{PS_SOLID, 1, 0});
        c.polyline({QPoint(10, 10), QPoint(2'000'000'000, 10)});
        c.setPen(Pen{PS_NULL, 0, 0});
        c.setBrush(Brush{BS_SOLID, rgb(255, 0, 0), 0});
        c.polygon({QPoint(-2'000'000'000, 0), QPoint(50, 0), QPoint(50, 5), QPoint(-2'000'000'000, 5)});
    }
    for (int x = 10; x < 100; ++x)
        EXPECT_EQ(at(img, x, 10), 0u) << x;
    EXPECT_EQ(inkBox(img.copy(0, 6, 100, 14)), QRect(QPoint(10, 4), QPoint(99, 4)));
    EXPECT_EQ(at(img, 0, 2), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 49, 2), rgb(255, 0, 0));
    EXPECT_EQ(at(img, 51, 2), rgb(255, 255, 255));
}
