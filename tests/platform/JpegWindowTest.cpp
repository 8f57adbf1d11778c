// Windows of JPEG pictures read through the decoder's own reduction: a
// window is exactly that part of the whole picture at the same size, so a
// draw that decodes only its window shows what a whole decode would; the
// pixels match Qt's decoder and a reference scaler; damaged and foreign
// files give codes.

#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/ImagingLibrary.h"
#include "platform/imaging/JpegWindow.h"

#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace platform::imaging;

namespace {

// A picture of soft gradients with blocks, 160 x 120, where JPEG errors
// stay small.
QImage picture()
{
    QImage image(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            image.setPixel(x, y, qRgb(x * 255 / 159, y * 255 / 119, (x / 40 + y / 40) % 2 ? 200 : 60));
    return image;
}

} // namespace

TEST(JpegWindow, AWindowIsThatPartOfTheWholePicture)
{
    testsupport::TempFolder dir;
    const QString file = dir.file("p.jpg");
    ASSERT_TRUE(picture().save(file, "JPEG", 95));
    const struct {
        const char *name;
        QSize scaled; // invalid: the picture's own size
        QRect window;
    } cases[] = {
        {"full size", {}, {37, 21, 50, 40}},
        {"half, the decoder's own reduction", {80, 60}, {10, 30, 33, 30}},
        {"an eighth", {20, 15}, {3, 4, 10, 11}},
        {"between the decoder's steps", {57, 43}, {5, 6, 40, 30}},
        {"larger than the picture", {320, 240}, {100, 90, 120, 80}},
        {"the last row and column", {}, {159, 119, 1, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QSize size = c.scaled.isValid() ? c.scaled : QSize(160, 120);
        QImage whole, window;
        ASSERT_EQ(readJpegWindow(file, c.scaled, QRect(QPoint(0, 0), size), whole), SUCCESS);
        ASSERT_EQ(whole.size(), size);
        ASSERT_EQ(readJpegWindow(file, c.scaled, c.window, window), SUCCESS);
        EXPECT_EQ(window.format(), QImage::Format_RGB32);
        EXPECT_EQ(window, whole.copy(c.window));
    }
}

TEST(JpegWindow, PixelsAsQtDecodesAndAReferenceScalerReduces)
{
    testsupport::TempFolder dir;
    const QImage reference = testsupport::blockPattern();
    ASSERT_TRUE(reference.save(dir.file("p.jpg"), "JPEG", 100));
    QImage full, eighth;
    ASSERT_EQ(readJpegWindow(dir.file("p.jpg"), {}, QRect(0, 0, 64, 48), full), SUCCESS);
    const QImage qt(dir.file("p.jpg"));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_TRUE(testsupport::nearColour(full.pixel(x, y), qt.pixel(x, y), 2)) << x << "," << y;
    // One pixel per 8 x 8 block: the block's colour.
    ASSERT_EQ(readJpegWindow(dir.file("p.jpg"), QSize(8, 6), QRect(0, 0, 8, 6), eighth), SUCCESS);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(testsupport::nearColour(eighth.pixel(x, y), reference.pixel(x * 8 + 4, y * 8 + 4), 8))
                << x << "," << y;

    // A grey picture stays grey.
    ASSERT_TRUE(reference.convertToFormat(QImage::Format_Grayscale8).save(dir.file("g.jpg"), "JPEG", 100));
    QImage grey;
    ASSERT_EQ(readJpegWindow(dir.file("g.jpg"), {}, QRect(8, 8, 16, 16), grey), SUCCESS);
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    EXPECT_NEAR(qGray(grey.pixel(4, 4)), qGray(reference.convertToFormat(QImage::Format_Grayscale8).pixel(12, 12)), 3);
}

TEST(JpegWindow, DamagedAndForeignFilesGiveCodes)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(picture().save(dir.file("p.jpg"), "JPEG", 90));
    const QByteArray bytes = dir.read("p.jpg");
    // A header and no data after the frame's first bytes: the decoder fills
    // what is missing and says so only as a warning.
    dir.write("cut.jpg", bytes.left(bytes.size() / 3));
    dir.write("header-only.jpg", bytes.left(20));
    dir.write("text.jpg", "not a picture at all");
    ASSERT_TRUE(picture().save(dir.file("p.png"), "PNG"));
    const struct {
        const char *name;
        QString file;
        QRect window;
        int code;
    } cases[] = {
        {"missing", dir.file("none.jpg"), {0, 0, 8, 8}, ERROR_FILENOTFOUND},
        {"text", dir.file("text.jpg"), {0, 0, 8, 8}, ERROR_FILE_FORMAT},
        {"another format", dir.file("p.png"), {0, 0, 8, 8}, ERROR_FILE_FORMAT},
        {"header cut short", dir.file("header-only.jpg"), {0, 0, 8, 8}, ERROR_FILE_FORMAT},
        {"data cut short", dir.file("cut.jpg"), {0, 100, 160, 20}, SUCCESS},
        {"window outside", dir.file("p.jpg"), {150, 0, 20, 8}, ERROR_INV_RANGE},
        {"empty window", dir.file("p.jpg"), {0, 0, 0, 8}, ERROR_INV_RANGE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QImage out;
        EXPECT_EQ(readJpegWindow(c.file, {}, c.window, out), c.code);
        if (c.code == SUCCESS) {
            EXPECT_EQ(out.size(), c.window.size());
        }
    }
}

TEST(JpegWindow, AResizedLoadDecodesTheNeededPartOnly)
{
    testsupport::TempFolder dir;
    const QString file = dir.file("p.jpg");
    ASSERT_TRUE(picture().save(file, "JPEG", 95));
    Bitmap whole, part;
    ASSERT_EQ(ImagingLibrary().loadResize(file, 80, 60, 0, whole, {}), SUCCESS);
    const QRect needed(20, 10, 30, 25);
    ASSERT_EQ(ImagingLibrary().loadResize(file, 80, 60, 0, part, {}, needed), SUCCESS);
    ASSERT_EQ(part.pixels.size(), QSize(80, 60));
    EXPECT_EQ(part.pixels.copy(needed), whole.pixels.copy(needed));
    // Below the needed part nothing was decoded.
    EXPECT_EQ(part.pixels.pixel(20, 50), qRgb(0, 0, 0));
    EXPECT_NE(whole.pixels.pixel(20, 50), qRgb(0, 0, 0));
}
