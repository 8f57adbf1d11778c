// Drawing a ".bmp" file into a canvas: bands of rows, raster operations,
// gamma, mirroring, source windows, and the files that are refused.

#include "mapdata/VykFunctions.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/gdi/RecordingCanvas.h"
#include "support/TestFiles.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace platform::gdi;
using testsupport::putLE16;
using testsupport::putLE32;

namespace {

const DeviceMetrics kMetrics{1000, 800, 250, 200, 96, 96};

// The 4 × 4 picture, rows from the top: red and green above, blue and
// (64, 128, 192) below, each quarter 2 × 2 pixels.
Color quarter(int x, int y)
{
    if (y < 2)
        return x < 2 ? rgb(255, 0, 0) : rgb(0, 255, 0);
    return x < 2 ? rgb(0, 0, 255) : rgb(64, 128, 192);
}

// File header (14 bytes) and a 40-byte bitmap header.
QByteArray headers(int width, int height, int bpp, int compression, int colours, int bitsSize)
{
    const int offBits = 14 + 40 + 4 * colours;
    QByteArray b(offBits, '\0');
    b[0] = 'B';
    b[1] = 'M';
    putLE32(b, 2, offBits + bitsSize);
    putLE32(b, 10, offBits);
    putLE32(b, 14, 40);
    putLE32(b, 18, width);
    putLE32(b, 22, height);
    putLE16(b, 26, 1);
    putLE16(b, 28, static_cast<std::int16_t>(bpp));
    putLE32(b, 30, compression);
    putLE32(b, 34, bitsSize);
    putLE32(b, 46, colours);
    return b;
}

// 24 bits a pixel, 12 bytes a row; bottom-up unless topDown.
QByteArray bmp24(bool topDown = false)
{
    QByteArray b = headers(4, topDown ? -4 : 4, 24, 0, 0, 48);
    for (int r = 0; r < 4; ++r) {
        const int y = topDown ? r : 3 - r;
        for (int x = 0; x < 4; ++x) {
            const Color c = quarter(x, y);
            b.append(static_cast<char>(blueOf(c)));
            b.append(static_cast<char>(greenOf(c)));
            b.append(static_cast<char>(redOf(c)));
        }
    }
    return b;
}

// 8 bits a pixel with a palette of two colours: 0 black, 1 (64, 128, 192).
QByteArray bmp8(int compression)
{
    QByteArray b = headers(4, 4, 8, compression, 2, 16);
    b[54 + 4] = char(192);
    b[54 + 5] = char(128);
    b[54 + 6] = char(64);
    for (int r = 0; r < 4; ++r)
        for (int x = 0; x < 4; ++x)
            b.append(static_cast<char>(x >= 2 ? 1 : 0));
    return b;
}

QImage canvasImage(Color fill = rgb(255, 255, 255))
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(toQColor(fill));
    return img;
}

Color px(const QImage &img, int x, int y)
{
    return fromPixel(img.pixel(x, y));
}

bool draw(const QString &file, QImage &img, QRect dest, QRect src, int mode, double gamma)
{
    PainterCanvas c(img, kMetrics);
    return VykFunctions::DrawBmpFile(file, c, dest.x(), dest.y(), dest.width(), dest.height(), src.x(), src.y(),
                                     src.width(), src.height(), mode, gamma);
}

} // namespace

TEST(DrawBmpFile, CopiesAndInvertsThePicture)
{
    testsupport::TempFolder dir;
    const QString file = dir.write(QStringLiteral("picture.bmp"), bmp24());
    const QString topDown = dir.write(QStringLiteral("topdown.bmp"), bmp24(true));
    for (const QString &name : {file, topDown}) {
        SCOPED_TRACE(name.toStdString());
        QImage img = canvasImage();
        ASSERT_TRUE(draw(name, img, QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), 4, 0));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(px(img, x, y), quarter(x / 2, y / 2)) << x << "," << y;
    }
    // SRCINVERT (mode 7): the picture XOR the screen.
    QImage img = canvasImage(rgb(255, 255, 0));
    ASSERT_TRUE(draw(file, img, QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), 7, 0));
    EXPECT_EQ(px(img, 1, 1), rgb(0, 255, 0));
    EXPECT_EQ(px(img, 6, 1), rgb(255, 0, 0));
    EXPECT_EQ(px(img, 1, 6), rgb(255, 255, 255));
    EXPECT_EQ(px(img, 6, 6), rgb(64 ^ 255, 128 ^ 255, 192));
    // BLACKNESS (mode 0) and the default for unknown modes (SRCCOPY).
    img = canvasImage();
    ASSERT_TRUE(draw(file, img, QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), 0, 0));
    EXPECT_EQ(px(img, 6, 6), rgb(0, 0, 0));
    img = canvasImage();
    ASSERT_TRUE(draw(file, img, QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), 99, 0));
    EXPECT_EQ(px(img, 6, 6), rgb(64, 128, 192));
}

TEST(DrawBmpFile, MirrorsWindowsAndBands)
{
    testsupport::TempFolder dir;
    const QString file = dir.write(QStringLiteral("picture.bmp"), bmp24());
    // A negative destination height turns the picture upside down.
    QImage img = canvasImage();
    ASSERT_TRUE(draw(file, img, QRect(0, 8, 8, -8), QRect(0, 0, 4, 4), 4, 0));
    EXPECT_EQ(px(img, 1, 1), rgb(0, 0, 255));
    EXPECT_EQ(px(img, 1, 6), rgb(255, 0, 0));
    EXPECT_EQ(px(img, 6, 6), rgb(0, 255, 0));
    // A window of the lower right quarter fills the destination.
    img = canvasImage();
    ASSERT_TRUE(draw(file, img, QRect(0, 0, 8, 8), QRect(2, 2, 2, 2), 4, 0));
    EXPECT_EQ(px(img, 0, 0), rgb(64, 128, 192));
    EXPECT_EQ(px(img, 7, 7), rgb(64, 128, 192));
    // Four rows go in two bands of two, drawn without halftoning.
    RecordingCanvas rec(kMetrics);
    ASSERT_TRUE(VykFunctions::DrawBmpFile(file, rec, 0, 0, 8, 8, 0, 0, 4, 4, 4, 0));
    EXPECT_EQ(rec.log(), (QStringList{QStringLiteral("SetStretchBltMode 3"),
                                      QStringLiteral("StretchBlt (0,0)-(8,4) rop=0xcc0020"),
                                      QStringLiteral("StretchBlt (0,4)-(8,8) rop=0xcc0020")}));
    // Mirrored: from the bottom band up.
    rec.clear();
    ASSERT_TRUE(VykFunctions::DrawBmpFile(file, rec, 0, 8, 8, -8, 0, 0, 4, 4, 7, 0));
    EXPECT_EQ(rec.log(), (QStringList{QStringLiteral("SetStretchBltMode 3"),
                                      QStringLiteral("StretchBlt (0,4)-(8,0) rop=0x660046"),
                                      QStringLiteral("StretchBlt (0,8)-(8,4) rop=0x660046")}));
}

TEST(DrawBmpFile, GammaMapsTheColours)
{
    testsupport::TempFolder dir;
    // Gamma 2: 255 × (v / 255)^(1/2); entry 0 is 2 × 12.75 = 25.5, to the even 26.
    QImage img = canvasImage();
    ASSERT_TRUE(draw(dir.write(QStringLiteral("a.bmp"), bmp24()), img, QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), 4, 2));
    EXPECT_EQ(px(img, 6, 6), rgb(128, 181, 221));
    EXPECT_EQ(px(img, 1, 1), rgb(255, 26, 26));
    // A picture with a palette: its colours are mapped, not its indices.
    img = canvasImage();
    ASSERT_TRUE(draw(dir.write(QStringLiteral("p.bmp"), bmp8(0)), img, QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), 4, 2));
    EXPECT_EQ(px(img, 6, 6), rgb(128, 181, 221));
    EXPECT_EQ(px(img, 1, 1), rgb(26, 26, 26));
}

TEST(DrawBmpFile, RefusesWhatItCannotDraw)
{
    testsupport::TempFolder dir;
    const QString good = dir.write(QStringLiteral("good.bmp"), bmp24());
    QByteArray notBm = bmp24();
    notBm[0] = 'X';
    QByteArray noOffset = bmp24();
    putLE32(noOffset, 10, 0);
    QByteArray noSize = bmp24();
    putLE32(noSize, 2, 0);
    const QByteArray truncated = bmp24().left(54 + 30);
    QByteArray badDepth = bmp24();
    putLE16(badDepth, 28, 7);
    struct Case {
        const char *name;
        QString file;
        QRect dest, src;
    };
    const Case cases[] = {
        {"run-length 8", dir.write(QStringLiteral("rle8.bmp"), bmp8(1)), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"run-length 4", dir.write(QStringLiteral("rle4.bmp"), bmp8(2)), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"not BM", dir.write(QStringLiteral("x.bmp"), notBm), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"no offset", dir.write(QStringLiteral("o.bmp"), noOffset), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"no size", dir.write(QStringLiteral("s.bmp"), noSize), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"rows missing", dir.write(QStringLiteral("t.bmp"), truncated), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"bad depth", dir.write(QStringLiteral("d.bmp"), badDepth), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"empty file", dir.write(QStringLiteral("e.bmp"), QByteArray()), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"missing file", dir.file(QStringLiteral("none.bmp")), {0, 0, 8, 8}, {0, 0, 4, 4}},
        {"empty source", good, {0, 0, 8, 8}, {0, 0, 0, 4}},
        {"empty destination", good, {0, 0, 0, 8}, {0, 0, 4, 4}},
        {"source below the picture", good, {0, 0, 8, 8}, {0, 4, 4, 4}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        QImage img = canvasImage();
        EXPECT_FALSE(draw(k.file, img, k.dest, k.src, 4, 0));
        EXPECT_EQ(img, canvasImage());
    }
}
