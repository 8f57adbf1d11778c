// The imaging library stand-in: result texts, record helpers, the
// resolution a header states, loads of windows and reduced pictures, saving
// through format codes and the operations, on real picture files.

#include "platform/imaging/HeaderResolution.h"
#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/ImagingLibrary.h"

#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace platform::imaging;

namespace {

QImage pattern()
{
    return testsupport::blockPattern();
}

// Colours within a JPEG's error of each other.
bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return testsupport::nearColour(a, b, tolerance);
}

int rowsLoaded(const QString &file, const LoadRequest &request, std::vector<QImage> &pages,
               std::vector<unsigned> *flags = nullptr)
{
    return ImagingLibrary().loadFile(file, request, [&](const Bitmap &b, int, int, unsigned f) {
        if (f & BLOCK_IMAGE_START)
            pages.push_back(b.pixels);
        if (flags)
            flags->push_back(f);
        return int(SUCCESS);
    });
}

} // namespace

TEST(ImagingErrors, TextsOfCodes)
{
    const struct {
        int code;
        const char *text;
    } cases[] = {
        {1, "Function successful."},
        {-1, "Not enough memory available."},
        {-3, "Not enough memory available."},
        {-9, "Invalid file format."},
        {-10, "File not found."},
        {-16, "Feature not supported."},
        {-789, "Invalid structure size."},
        {-999, "Invalid structure size."},
        {8, "Undefined Error: 8"},
        {99, "Undefined Error: 99"},
        {-30, "Undefined Error: -30"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(errorText(c.code), QString::fromLatin1(c.text)) << c.code;
}

TEST(ImagingBitmap, QuarterTurnedRecordsShowTheirSidesExchanged)
{
    Bitmap b;
    b.width = 300;
    b.height = 200;
    EXPECT_FALSE(isAllocated(&b));
    EXPECT_FALSE(isAllocated(nullptr));
    for (int vp = 1; vp <= 8; ++vp) {
        b.viewPerspective = vp;
        const bool turned = vp >= 5;
        EXPECT_EQ(shownWidth(b), turned ? 200 : 300) << vp;
        EXPECT_EQ(shownHeight(b), turned ? 300 : 200) << vp;
    }
    b.flags = BITMAP_ALLOCATED | BITMAP_USE_LUT;
    EXPECT_TRUE(isAllocated(&b));
}

TEST(ImagingHeaders, ResolutionStatedByTheHeader)
{
    // Headers built byte by byte; the offsets are those of each format.
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += QByteArray("\0\0\0\x0dIHDR", 8) + QByteArray(13 + 4, '\0');
    // pHYs: 7874 dots per metre both ways (200 dpi), unit 1 (metre).
    png += QByteArray("\0\0\0\x09pHYs\0\0\x1e\xc2\0\0\x1e\xc2\x01", 17) + QByteArray(4, '\0');
    QByteArray pngNoUnit = png;
    pngNoUnit[8 + 25 + 16] = 0; // the unit byte

    QByteArray jfif("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x02\x01\x01\x2c\0\x96\0\0", 20);
    QByteArray jfifCm = jfif;
    jfifCm[13] = 2; // dots per centimetre: 300 and 150 per cm
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;
    bmp[38] = char(0xC3); // 3779 per metre (96 dpi)
    bmp[39] = char(0x0e);
    bmp[42] = char(0xC3);
    bmp[43] = char(0x0e);
    // Little-endian TIFF: one directory at 8 with XResolution and
    // YResolution (RATIONAL at 50 and 58) and ResolutionUnit 3 (cm).
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    tiff += QByteArray("\x03\0", 2);
    tiff += QByteArray("\x1a\x01\x05\0\x01\0\0\0\x32\0\0\0", 12);
    tiff += QByteArray("\x1b\x01\x05\0\x01\0\0\0\x3a\0\0\0", 12);
    tiff += QByteArray("\x28\x01\x03\0\x01\0\0\0\x03\0\0\0", 12);
    tiff += QByteArray("\0\0\0\0", 4);
    tiff += QByteArray("\x64\0\0\0\x01\0\0\0\x32\0\0\0\x01\0\0\0", 16); // 100/1, 50/1
    QByteArray tiffTruncated = tiff.left(40); // the directory runs past the file's end
    QByteArray tiffFarOffset = tiff;
    tiffFarOffset[4] = char(0xF0); // a directory offset beyond the file

    const struct {
        const char *name;
        QByteArray bytes;
        QSize dpi;
    } cases[] = {
        {"png pHYs", png, {200, 200}},
        {"png aspect only", pngNoUnit, {0, 0}},
        {"jfif per inch", jfif, {300, 150}},
        {"jfif per cm", jfifCm, {762, 381}},
        {"bmp", bmp, {96, 96}},
        {"tiff per cm", tiff, {254, 127}},
        {"tiff truncated", tiffTruncated, {0, 0}},
        {"tiff far offset", tiffFarOffset, {0, 0}},
        {"empty", QByteArray(), {0, 0}},
    };
    for (const auto &c : cases) {
        QBuffer buffer;
        buffer.setData(c.bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(headerResolution(buffer), c.dpi) << c.name;
    }
}

TEST(ImagingLibrary, FileInformationAndItsFailures)
{
    testsupport::TempFolder dir;
    QImage picture = pattern();
    picture.setDotsPerMeterX(7874);
    picture.setDotsPerMeterY(3937);
    ASSERT_TRUE(picture.save(dir.file("p.png")));
    ASSERT_TRUE(picture.save(dir.file("p.jpg"), "JPEG"));
    dir.write("p.sid", QByteArray("msid\x01", 5) + QByteArray(200, '\x11'));
    dir.write("empty.png", QByteArray());

    FileInfo info;
    ASSERT_EQ(ImagingLibrary().fileInfo(dir.file("p.png"), 0, info), SUCCESS);
    EXPECT_EQ(info.format, FILE_PNG);
    EXPECT_EQ(QSize(info.width, info.height), QSize(64, 48));
    EXPECT_EQ(info.bits, 24);
    EXPECT_EQ(QSize(info.xResolution, info.yResolution), QSize(200, 100));
    EXPECT_EQ(info.totalPages, 1);
    ASSERT_EQ(ImagingLibrary().fileInfo(dir.file("p.jpg"), 0, info), SUCCESS);
    EXPECT_EQ(info.format, FILE_JPEG);

    const struct {
        QString file;
        int page;
        int code;
    } failures[] = {
        {dir.file("missing.png"), 0, ERROR_FILENOTFOUND},
        {dir.file("p.sid"), 0, ERROR_FILE_FORMAT},
        {dir.file("empty.png"), 0, ERROR_FILE_FORMAT},
        {dir.file("p.png"), 1, ERROR_INV_PARAMETER},
        {QString(), 0, ERROR_INV_FILENAME},
    };
    for (const auto &f : failures) {
        FileInfo kept;
        kept.width = 7;
        EXPECT_EQ(ImagingLibrary().fileInfo(f.file, f.page, kept), f.code) << f.file.toStdString();
        EXPECT_EQ(kept.width, 7);
    }
}

namespace {

// A BMP of 4 x 2 pixels of 24 bits, laid out here: file header, bitmap
// header, rows from the foot up (12 bytes each). Pixel (x, y) is
// (40 x, 100 y, 7).
QByteArray bmpFile(std::int32_t height = 2)
{
    QByteArray b;
    auto put16 = [&](unsigned v) { b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); };
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i) & 0xFF));
    };
    b.append("BM");
    put32(54 + 24);
    put32(0);
    put32(54);      // offset 10: the pixels
    put32(40);      // offset 14: the bitmap header
    put32(4);
    put32(static_cast<std::uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);       // offset 30: no compression
    put32(24);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int row = 0; row < 2; ++row) {
        const int y = height > 0 ? 1 - row : row;
        for (int x = 0; x < 4; ++x)
            b.append(char(7)).append(char(100 * y)).append(char(40 * x));
    }
    return b;
}

} // namespace

TEST(ImagingLibrary, ABitmapThatDoesNotHoldItsPixelsIsRefused)
{
    testsupport::TempFolder dir;
    QByteArray pastEnd = bmpFile();
    pastEnd[10] = char(200);   // the pixels said to start past the file's end
    QByteArray late = bmpFile();
    late[10] = char(60);       // six bytes of the last row past it
    QByteArray cutPng;
    {
        QBuffer png(&cutPng);
        png.open(QIODevice::WriteOnly);
        ASSERT_TRUE(pattern().save(&png, "PNG"));
        cutPng.chop(cutPng.size() / 2);
    }
    const struct {
        const char *name;
        QByteArray bytes;
        int code;
    } files[] = {
        {"whole.bmp", bmpFile(), SUCCESS},
        {"topdown.bmp", bmpFile(-2), SUCCESS},
        {"cut.bmp", bmpFile().chopped(1), ERROR_FILE_READ},
        {"pastend.bmp", pastEnd, ERROR_FILE_READ},
        {"late.bmp", late, ERROR_FILE_READ},
        {"cut.png", cutPng, ERROR_FILE_READ},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        const QString file = dir.write(QString::fromLatin1(f.name), f.bytes);
        // The headers still measure the picture.
        FileInfo info;
        EXPECT_EQ(ImagingLibrary().fileInfo(file, 0, info), SUCCESS);
        std::vector<QImage> pages;
        EXPECT_EQ(rowsLoaded(file, LoadRequest{}, pages), f.code);
        pages.clear();
        EXPECT_EQ(rowsLoaded(file, LoadRequest{0, 0, -1, QRect(1, 0, 2, 2)}, pages), f.code);
        Bitmap small;
        EXPECT_EQ(ImagingLibrary().loadResize(file, 2, 1, 0, small, {}), f.code);
        if (f.code == SUCCESS) {
            ASSERT_EQ(pages.size(), 1u);
            EXPECT_EQ(pages[0].pixel(1, 1) & 0xFFFFFF, qRgb(80, 100, 7) & 0xFFFFFFu);
        }
    }
}

TEST(ImagingLibrary, WindowsAndReducedLoadsMatchTheReferenceScaler)
{
    testsupport::TempFolder dir;
    const QImage reference = pattern();
    ASSERT_TRUE(reference.save(dir.file("p.png")));
    ASSERT_TRUE(reference.save(dir.file("p.jpg"), "JPEG", 100));
    for (const char *name : {"p.png", "p.jpg"}) {
        SCOPED_TRACE(name);
        const bool exact = QByteArray(name).endsWith("png");
        auto same = [&](QRgb a, QRgb b) { return exact ? a == b : near(a, b); };

        std::vector<QImage> pages;
        std::vector<unsigned> flags;
        ASSERT_EQ(rowsLoaded(dir.file(name), {0, 0, -1, QRect(8, 16, 24, 16)}, pages, &flags), SUCCESS);
        ASSERT_EQ(pages.size(), 1u);
        ASSERT_EQ(pages[0].size(), QSize(24, 16));
        ASSERT_EQ(flags.size(), 1u);
        EXPECT_EQ(flags[0], unsigned(BLOCK_IMAGE_START | BLOCK_IMAGE_END));
        // Block middles, away from the JPEG's colour bleeding at edges.
        for (int y = 4; y < 16; y += 8)
            for (int x = 4; x < 24; x += 8)
                EXPECT_TRUE(same(pages[0].pixel(x, y), reference.pixel(8 + x, 16 + y))) << x << "," << y;

        // A window reaching past the picture: the part outside is black.
        pages.clear();
        ASSERT_EQ(rowsLoaded(dir.file(name), {0, 0, -1, QRect(56, 40, 16, 16)}, pages), SUCCESS);
        ASSERT_EQ(pages[0].size(), QSize(16, 16));
        EXPECT_TRUE(same(pages[0].pixel(2, 2), reference.pixel(58, 42)));
        EXPECT_EQ(pages[0].pixel(12, 12) & 0xFFFFFF, 0u);

        // A reduced load: every pixel as the reference scaler places it.
        Bitmap small;
        ASSERT_EQ(ImagingLibrary().loadResize(dir.file(name), 16, 12, 0, small, {}), SUCCESS);
        ASSERT_EQ(small.pixels.size(), QSize(16, 12));
        const QImage scaled = reference.scaled(16, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x)
                EXPECT_TRUE(near(small.pixels.pixel(x, y), scaled.pixel(x, y), 48)) << x << "," << y;
    }
}

TEST(ImagingLibrary, AStoppedLoadAnswersTheCallbacksValue)
{
    testsupport::TempFolder dir;
    QImage tall(8, 1000, QImage::Format_RGB32);
    tall.fill(Qt::red);
    ASSERT_TRUE(tall.save(dir.file("tall.png")));
    int blocks = 0;
    const int r = ImagingLibrary().loadFile(dir.file("tall.png"), {}, [&](const Bitmap &, int first, int rows,
                                                                          unsigned) {
        EXPECT_EQ(first, blocks * 256);
        EXPECT_LE(rows, 256);
        return ++blocks == 2 ? 0 : int(SUCCESS);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(blocks, 2);
}

TEST(ImagingLibrary, SavingThroughFormatCodes)
{
    testsupport::TempFolder dir;
    Bitmap b = Bitmap::fromImage(pattern());

    ASSERT_EQ(ImagingLibrary().saveBitmap(dir.file("c.bmp"), b, FILE_BMP, 8, 8, {}), SUCCESS);
    QImageReader bmp(dir.file("c.bmp"));
    EXPECT_EQ(bmp.format(), "bmp");
    const QImage eight = bmp.read();
    EXPECT_EQ(eight.format(), QImage::Format_Indexed8);
    EXPECT_EQ(eight.size(), QSize(64, 48));
    EXPECT_EQ(eight.pixel(20, 30), pattern().pixel(20, 30));

    // Percentages grow and end at 100.
    QImage tall(4, 700, QImage::Format_RGB32);
    tall.fill(Qt::blue);
    std::vector<int> percents;
    ASSERT_EQ(ImagingLibrary().saveBitmap(dir.file("t.png"), Bitmap::fromImage(tall), FILE_PNG, 0, 2,
                                          [&](int p) {
                                              percents.push_back(p);
                                              return int(SUCCESS);
                                          }),
              SUCCESS);
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);

    // A stopped or failed save leaves the file that was there untouched.
    const QByteArray before = dir.read("t.png");
    EXPECT_EQ(ImagingLibrary().saveBitmap(dir.file("t.png"), b, FILE_PNG, 0, 2, [](int) { return 0; }), 0);
    EXPECT_EQ(ImagingLibrary().saveBitmap(dir.file("t.png"), b, 9999, 0, 2, {}), ERROR_FEATURE_NOT_SUPPORTED);
    EXPECT_EQ(ImagingLibrary().saveBitmap(dir.file("t.png"), b, FILE_TGA + 1000, 0, 2, {}),
              ERROR_FEATURE_NOT_SUPPORTED);
    EXPECT_EQ(dir.read("t.png"), before);
    EXPECT_EQ(ImagingLibrary().saveBitmap(dir.file("no/such/dir/t.png"), b, FILE_PNG, 0, 2, {}), ERROR_FILE_OPEN);
    EXPECT_EQ(ImagingLibrary().saveBitmapList(dir.file("l.tif"), {b, b}, FILE_TIF, 0, 2),
              ERROR_FEATURE_NOT_SUPPORTED);
}

TEST(ImagingLibrary, RotationContrastAndIntensity)
{
    Bitmap b = Bitmap::fromImage(pattern());
    Bitmap quarter = b;
    ASSERT_EQ(ImagingLibrary().rotate(quarter, 9000, ROTATE_RESIZE, qRgb(255, 255, 255), {}), SUCCESS);
    EXPECT_EQ(quarter.pixels.size(), QSize(48, 64));
    // Counter-clockwise: the top right corner comes to the top left.
    EXPECT_EQ(quarter.pixels.pixel(0, 0), pattern().pixel(63, 0));
    EXPECT_EQ(QSize(quarter.width, quarter.height), QSize(48, 64));

    Bitmap turned = b;
    ASSERT_EQ(ImagingLibrary().rotate(turned, 3000, ROTATE_RESIZE | ROTATE_RESAMPLE, qRgb(255, 255, 255), {}),
              SUCCESS);
    // 64 x 48 turned by 30 degrees: 64 cos 30 + 48 sin 30 by 64 sin 30 + 48 cos 30.
    EXPECT_EQ(turned.pixels.size(), QSize(80, 74));
    for (QPoint corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 73), QPoint(79, 73)})
        EXPECT_EQ(turned.pixels.pixel(corner), qRgb(255, 255, 255)) << corner.x() << "," << corner.y();
    EXPECT_NE(turned.pixels.pixel(40, 37), qRgb(255, 255, 255));

    // A stop keeps the record as it was.
    Bitmap kept = b;
    EXPECT_EQ(ImagingLibrary().rotate(kept, 4500, ROTATE_RESIZE, 0, [](int p) { return p < 100 ? 1 : 0; }), 0);
    EXPECT_EQ(kept.pixels, b.pixels);

    QImage grey(2, 1, QImage::Format_RGB32);
    grey.setPixel(0, 0, qRgb(100, 128, 200));
    grey.setPixel(1, 0, qRgb(0, 255, 250));
    const struct {
        bool contrast;
        int change;
        QRgb first, second;
        int code;
    } ops[] = {
        {false, 153, qRgb(139, 167, 239), qRgb(39, 255, 255), SUCCESS},
        {false, -1000, qRgb(0, 0, 0), qRgb(0, 0, 0), SUCCESS},
        {true, 200, qRgb(94, 128, 214), qRgb(0, 255, 255), SUCCESS},
        {true, -1000, qRgb(128, 128, 128), qRgb(128, 128, 128), SUCCESS},
        {true, 1001, qRgb(72, 128, 255), qRgb(0, 255, 255), SUCCESS}, // as 1000
    };
    for (const auto &op : ops) {
        Bitmap g = Bitmap::fromImage(grey);
        const int r = op.contrast ? ImagingLibrary().changeContrast(g, op.change, {})
                                  : ImagingLibrary().changeIntensity(g, op.change, {});
        EXPECT_EQ(r, op.code) << op.contrast << " " << op.change;
        EXPECT_EQ(g.pixels.pixel(0, 0), op.first) << op.contrast << " " << op.change;
        EXPECT_EQ(g.pixels.pixel(1, 0), op.second) << op.contrast << " " << op.change;
    }
    // An indexed picture changes its colour table and stays indexed.
    Bitmap indexed = Bitmap::fromImage(grey.convertToFormat(QImage::Format_Indexed8));
    ASSERT_EQ(ImagingLibrary().changeIntensity(indexed, 153, {}), SUCCESS);
    EXPECT_EQ(indexed.pixels.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed.pixels.pixel(0, 0), qRgb(139, 167, 239));

    Bitmap vp = b;
    ASSERT_EQ(ImagingLibrary().rotateViewPerspective(vp, 90), SUCCESS);
    EXPECT_EQ(vp.viewPerspective, 6);
    EXPECT_EQ(shownWidth(vp), 48);
    // Saved as it is shown: turned a quarter clockwise, the bottom left
    // corner comes to the top left.
    testsupport::TempFolder dir;
    ASSERT_EQ(ImagingLibrary().saveBitmap(dir.file("vp.png"), vp, FILE_PNG, 0, 2, {}), SUCCESS);
    const QImage saved(dir.file("vp.png"));
    EXPECT_EQ(saved.size(), QSize(48, 64));
    EXPECT_EQ(saved.pixel(0, 0), pattern().pixel(0, 47));
    // Four quarter turns come back, mirrored pictures stay mirrored.
    for (const auto &[from, after] : {std::pair{6, std::vector{3, 8, 1}}, std::pair{2, std::vector{7, 4, 5, 2}}}) {
        vp.viewPerspective = from;
        for (int expected : after) {
            ASSERT_EQ(ImagingLibrary().rotateViewPerspective(vp, 90), SUCCESS);
            EXPECT_EQ(vp.viewPerspective, expected) << from;
        }
    }
    // Perspective 5 shows rows as columns: the pixel (x, y) at (y, x).
    vp.viewPerspective = 5;
    ASSERT_EQ(ImagingLibrary().saveBitmap(dir.file("t.png"), vp, FILE_PNG, 0, 2, {}), SUCCESS);
    EXPECT_EQ(QImage(dir.file("t.png")).pixel(40, 3), pattern().pixel(3, 40));
    EXPECT_EQ(ImagingLibrary().rotateViewPerspective(vp, 45), ERROR_INV_PARAMETER);
    Bitmap none;
    EXPECT_EQ(ImagingLibrary().rotate(none, 9000, 0, 0, {}), ERROR_NO_BITMAP);
}

TEST(ImagingLibrary, ALevelSetForAFormatScalesItsLoadsUntilReset)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern().save(dir.file("p.png")));
    ImagingLibrary library;
    auto tile = [&](QRect r) {
        QImage got;
        EXPECT_EQ(library.loadFile(dir.file("p.png"), {0, 0, -1, r},
                                   [&](const Bitmap &b, int, int, unsigned) {
                                       got = b.pixels;
                                       return int(SUCCESS);
                                   }),
                  SUCCESS);
        return got;
    };
    ASSERT_EQ(library.setLoadResolution(FILE_PNG, 32, 24), SUCCESS);
    // Block (2, 1) of the half-size page lies at (8..11, 4..7).
    const QImage half = tile(QRect(8, 4, 4, 4));
    ASSERT_EQ(half.size(), QSize(4, 4));
    EXPECT_TRUE(near(half.pixel(1, 1), pattern().pixel(20, 12), 8));
    ASSERT_EQ(library.setLoadResolution(FILE_PNG, 0, 0), SUCCESS);
    EXPECT_EQ(tile(QRect(8, 4, 4, 4)).pixel(1, 1), pattern().pixel(9, 5));
    EXPECT_EQ(library.setLoadResolution(FILE_PNG, -1, 5), ERROR_INV_PARAMETER);
}
