// The imaging routines: which load each drawing takes (a recording library
// tells), the pixels they draw on real files beside a reference scaler,
// measuring, converting and rotating files.

#include "raster/LeadTools.h"

#include "platform/gdi/PainterCanvas.h"
#include "platform/imaging/ImagingErrors.h"
#include "raster/LeadImage.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "TiffBuilder.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

namespace img = platform::imaging;
using raster::Edges;
using raster::ImageDrawing;

namespace {

QImage pattern()
{
    return testsupport::blockPattern();
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return testsupport::nearColour(a, b, tolerance);
}

// Records what the routines ask of the library. With `fakeSize` set, files
// need not exist: they are that large, and loads give pictures whose pixel
// (x, y) tells its place; otherwise the real library answers.
class RecordingLibrary : public img::ImagingLibrary {
public:
    QStringList calls;
    QSize fakeSize;
    std::vector<QSize> levels;
    int saveCode = img::SUCCESS;

    static QImage coded(int w, int h, int x0, int y0)
    {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb((x0 + x) % 256, (y0 + y) % 256, ((x0 + x) / 256 + (y0 + y) / 256 * 32) % 256));
        return image;
    }

    int fileInfo(const QString &f, int page, img::FileInfo &info) override
    {
        if (!fakeSize.isValid())
            return ImagingLibrary::fileInfo(f, page, info);
        info = {};
        info.format = img::FILE_JPEG;
        info.width = fakeSize.width();
        info.height = fakeSize.height();
        info.bits = 24;
        info.totalPages = 1;
        return img::SUCCESS;
    }
    int loadResize(const QString &f, int w, int h, int bits, img::Bitmap &out, const img::StatusCallback &s,
                   const QRect &needed) override
    {
        calls << QStringLiteral("resize %1x%2").arg(w).arg(h) +
                     (needed.isEmpty() ? QString()
                                       : QStringLiteral(" needing %1,%2,%3,%4")
                                             .arg(needed.x()).arg(needed.y()).arg(needed.width()).arg(needed.height()));
        if (!fakeSize.isValid())
            return ImagingLibrary::loadResize(f, w, h, bits, out, s, needed);
        out = img::Bitmap::fromImage(coded(w, h, 0, 0));
        return img::SUCCESS;
    }
    int loadFile(const QString &f, const img::LoadRequest &r, const img::LoadCallback &rows) override
    {
        calls << (r.tile ? QStringLiteral("tile %1,%2,%3,%4").arg(r.tile->x()).arg(r.tile->y())
                                  .arg(r.tile->width()).arg(r.tile->height())
                         : QStringLiteral("load"));
        if (!fakeSize.isValid())
            return ImagingLibrary::loadFile(f, r, rows);
        const img::Bitmap b = img::Bitmap::fromImage(coded(r.tile->width(), r.tile->height(), r.tile->x(), r.tile->y()));
        return rows(b, 0, b.height, img::BLOCK_IMAGE_START | img::BLOCK_IMAGE_END);
    }
    int readLoadResolutions(const QString &f, std::vector<QSize> &out) override
    {
        if (levels.empty())
            return ImagingLibrary::readLoadResolutions(f, out);
        out = levels;
        return img::SUCCESS;
    }
    int setLoadResolution(int format, int w, int h) override
    {
        if (w || h)
            calls << QStringLiteral("level %1x%2").arg(w).arg(h);
        return ImagingLibrary::setLoadResolution(format, w, h);
    }
    int changeIntensity(img::Bitmap &b, int change, const img::StatusCallback &s) override
    {
        calls << QStringLiteral("intensity %1").arg(change);
        return ImagingLibrary::changeIntensity(b, change, s);
    }
    int changeContrast(img::Bitmap &b, int change, const img::StatusCallback &s) override
    {
        calls << QStringLiteral("contrast %1").arg(change);
        return ImagingLibrary::changeContrast(b, change, s);
    }
    int saveBitmap(const QString &f, const img::Bitmap &b, int format, int bits, int q,
                   const img::StatusCallback &s, const img::SaveOptions &o) override
    {
        if (saveCode != img::SUCCESS) {
            // A writer that fails after it began the file.
            QFile partial(f);
            if (partial.open(QIODevice::WriteOnly))
                partial.write("half");
            return saveCode;
        }
        return ImagingLibrary::saveBitmap(f, b, format, bits, q, s, o);
    }

private:
    platform::ScopedService<img::ImagingLibrary> installed_{*this};
};

} // namespace

TEST(LeadTools, EachDrawingTakesItsLoad)
{
    const struct {
        const char *name;
        QString file;
        Edges source, destination;
        double k;
        int gamma, contrast;
        QStringList calls;
        QPoint probe;       // a destination pixel
        QPoint probeSource; // the picture pixel it shows
    } cases[] = {
        {"whole picture", "sheet.jpg", {0, 0, 8000, 6000}, {0, 0, 400, 300}, 20, 0, 0,
         {"resize 400x300"}, {399, 299}, {399, 299}},
        {"under half size", "sheet.jpg", {1000, 1000, 2000, 2000}, {10, 10, 210, 210}, 5, 0, 0,
         {"resize 1600x1200 needing 200,200,200,200"}, {10, 10}, {200, 200}},
        {"a window at full size", "sheet.jpg", {1000, 1000, 2000, 2000}, {0, 0, 800, 800}, 1.25, 0, 0,
         {"tile 1000,1000,1000,1000"}, {0, 0}, {1000, 1000}},
        {"gamma and contrast", "sheet.png", {1000, 1000, 2000, 2000}, {0, 0, 800, 800}, 1.25, 3, 2,
         {"tile 1000,1000,1000,1000", "intensity 153", "contrast 20"}, {}, {}},
        {"no adjustments below 1", "sheet.png", {1000, 1000, 2000, 2000}, {0, 0, 800, 800}, 1.25, 0, -1,
         {"tile 1000,1000,1000,1000"}, {}, {}},
        {"an empty window", "sheet.png", {1000, 1000, 1000, 1000}, {0, 0, 0, 0}, 1.25, 0, 0,
         {"tile 1000,1000,1,1"}, {}, {}},
        {"a drawing", "Plan.DwG", {0, 0, 8000, 6000}, {0, 0, 400, 300}, 20, 3, 2, {}, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingLibrary library;
        library.fakeSize = QSize(8000, 6000);
        QImage target(900, 900, QImage::Format_RGB32);
        target.fill(Qt::black);
        platform::gdi::PainterCanvas canvas(target);
        ImageDrawing d{c.file, c.source, c.destination, 2, c.gamma, c.contrast, c.k, c.k};
        EXPECT_TRUE(raster::DrawImageWithLead(nullptr, canvas, d));
        EXPECT_EQ(library.calls, c.calls);
        if (!c.probe.isNull() || c.name == std::string("a window at full size")) {
            const QRgb want = RecordingLibrary::coded(1, 1, c.probeSource.x(), c.probeSource.y()).pixel(0, 0);
            EXPECT_EQ(target.pixel(c.probe), want);
        }
    }
}

TEST(LeadTools, AMultiResolutionPictureDrawsItsSmallestSufficientLevel)
{
    RecordingLibrary library;
    library.fakeSize = QSize(8000, 6000);
    library.levels = {{8000, 6000}, {4000, 3000}, {2000, 1500}, {1000, 750}};
    QImage target(300, 300, QImage::Format_RGB32);
    platform::gdi::PainterCanvas canvas(target);
    // kx 5: 1600 x 1200 wanted; 1000 x 750 is too small, 2000 x 1500 is taken.
    const ImageDrawing d{QStringLiteral("sheet.sid"), {1000, 1000, 2000, 2000}, {0, 0, 200, 200}, 2, 0, 0, 5, 5};
    EXPECT_TRUE(raster::DrawMultiResolutionImage(nullptr, canvas, d));
    EXPECT_EQ(library.calls, (QStringList{"level 2000x1500", "tile 250,250,250,250"}));
}

TEST(LeadTools, RealPicturesDrawAsTheReferenceScalerPlacesThem)
{
    testsupport::TempFolder dir;
    const QImage reference = pattern();
    ASSERT_TRUE(reference.save(dir.file("p.png")));
    ASSERT_TRUE(reference.save(dir.file("p.jpg"), "JPEG", 100));
    for (const char *name : {"p.png", "p.jpg"}) {
        SCOPED_TRACE(name);
        const int tolerance = QByteArray(name).endsWith("png") ? 0 : 24;
        const QString file = dir.file(QString::fromLatin1(name));
        RecordingLibrary library;
        QImage target(100, 100, QImage::Format_RGB32);
        platform::gdi::PainterCanvas canvas(target);

        // Whole, zoomed out to half.
        target.fill(Qt::black);
        raster::DrawImageWithLead(nullptr, canvas, {file, {0, 0, 64, 48}, {10, 10, 42, 34}, 2, 0, 0, 2, 2});
        const QImage half = reference.scaled(32, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Zoomed out to a quarter, a window (16, 16)-(48, 40) of it.
        raster::DrawImageWithLead(nullptr, canvas, {file, {16, 16, 48, 40}, {50, 10, 58, 16}, 2, 0, 0, 4, 4});
        const QImage quarter = reference.scaled(16, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Zoomed in twice, a window (8, 8)-(24, 20) stretched.
        raster::DrawImageWithLead(nullptr, canvas, {file, {8, 8, 24, 20}, {10, 50, 42, 74}, 2, 0, 0, 0.5, 0.5});
        EXPECT_EQ(library.calls, (QStringList{"resize 32x24", "resize 16x12 needing 4,4,8,6", "tile 8,8,16,12"}));

        // Block middles, where scaling and JPEG agree with the reference.
        for (int y = 0; y < 24; y += 4)
            for (int x = 0; x < 32; x += 4)
                EXPECT_TRUE(near(target.pixel(10 + x + 2, 10 + y + 2), half.pixel(x + 2, y + 2), tolerance + 8))
                    << "half " << x << "," << y;
        for (int y = 0; y < 6; y += 2)
            for (int x = 0; x < 8; x += 2)
                EXPECT_TRUE(near(target.pixel(50 + x, 10 + y), quarter.pixel(4 + x, 4 + y), tolerance + 8))
                    << "quarter " << x << "," << y;
        for (int y = 0; y < 12; y += 4)
            for (int x = 0; x < 16; x += 4)
                EXPECT_TRUE(near(target.pixel(10 + 2 * x + 1, 50 + 2 * y + 1), reference.pixel(8 + x + 2, 8 + y + 2),
                                 tolerance) || near(target.pixel(10 + 2 * x + 5, 50 + 2 * y + 5),
                                                    reference.pixel(8 + x + 2, 8 + y + 2), tolerance))
                    << "tile " << x << "," << y;
    }
}

TEST(LeadTools, APictureCutShortIsSaidByEveryLoadOfTheDrawing)
{
    // A bitmap whose last rows the file does not hold: whole, reduced or
    // as a tile, the drawing raises the library's read error rather than
    // drawing black rows.
    testsupport::TempFolder dir;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(pattern().save(&buffer, "BMP"));
    }
    const QString file = dir.write(QStringLiteral("cut.bmp"), bytes.chopped(bytes.size() / 4));
    QImage target(100, 100, QImage::Format_RGB32);
    platform::gdi::PainterCanvas canvas(target);
    const ImageDrawing drawings[] = {
        {file, {0, 0, 64, 48}, {10, 10, 42, 34}, 2, 0, 0, 2, 2},      // whole
        {file, {16, 16, 48, 40}, {50, 10, 58, 16}, 2, 0, 0, 4, 4},    // reduced
        {file, {8, 8, 24, 20}, {10, 50, 42, 74}, 2, 0, 0, 0.5, 0.5},  // a tile
    };
    for (const ImageDrawing &d : drawings) {
        SCOPED_TRACE(d.kx);
        try {
            raster::DrawImageWithLead(nullptr, canvas, d);
            ADD_FAILURE() << "drawn without a word";
        } catch (const raster::ELEADImageError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("Error code: -7"))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("Error reading file."))) << e.message().toStdString();
        }
    }
}

TEST(LeadTools, MeasuringAPicture)
{
    testsupport::TempFolder dir;
    QImage dpi = pattern();
    dpi.setDotsPerMeterX(7874); // 200 dpi
    dpi.setDotsPerMeterY(3937); // 100 dpi
    ASSERT_TRUE(dpi.save(dir.file("dpi.png")));
    // A portable pixmap states no resolution.
    ASSERT_TRUE(pattern().save(dir.file("none.ppm")));
    dir.write(QStringLiteral("sheet.sid"), QByteArray("msid", 4) + QByteArray(64, '\1'));

    std::int32_t w = 0, h = 0, dx = 0, dy = 0;
    ASSERT_TRUE(raster::GetImageFileInfo(nullptr, dir.file("dpi.png"), w, h, dx, dy));
    EXPECT_EQ(QSize(w, h), QSize(64, 48));
    EXPECT_EQ(dx, 7874);
    EXPECT_EQ(dy, 3937);
    ASSERT_TRUE(raster::GetImageFileInfo(nullptr, dir.file("none.ppm"), w, h, dx, dy));
    EXPECT_EQ(dx, 1);
    EXPECT_EQ(dy, 1);
    // No reader for multi-resolution pictures: the library's error.
    try {
        raster::GetImageFileInfo(nullptr, dir.file("sheet.sid"), w, h, dx, dy);
        ADD_FAILURE();
    } catch (const raster::ELEADImageError &e) {
        EXPECT_EQ(e.message(), QStringLiteral(" \nError code: -9\nGetFileInfo: Invalid file format. "));
    }
}

TEST(LeadTools, ConvertingAndRotatingFiles)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern().save(dir.file("p.png")));
    ASSERT_TRUE(pattern().save(dir.file("p.bmp")));

    ASSERT_TRUE(raster::ConvertImageFile(nullptr, dir.file("p.png"), dir.file("c.bmp"), img::FILE_BMP, 8));
    QImageReader converted(dir.file("c.bmp"));
    EXPECT_EQ(converted.format(), "bmp");
    EXPECT_EQ(converted.read().format(), QImage::Format_Indexed8);

    ASSERT_TRUE(raster::RotateImageFile(nullptr, dir.file("p.png"), 90));
    const QImage quarter(dir.file("p.png"));
    EXPECT_EQ(quarter.size(), QSize(48, 64));
    EXPECT_EQ(quarter.pixel(0, 0), pattern().pixel(63, 0));

    ASSERT_TRUE(raster::RotateImageFile(nullptr, dir.file("p.bmp"), 30));
    QImageReader turnedReader(dir.file("p.bmp"));
    EXPECT_EQ(turnedReader.format(), "bmp");
    const QImage turned = turnedReader.read();
    EXPECT_EQ(turned.size(), QSize(80, 74));
    for (QPoint corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 73), QPoint(79, 73)})
        EXPECT_EQ(turned.pixel(corner), qRgb(255, 255, 255));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

    // A save that fails keeps the picture, and nothing else is left.
    const QByteArray before = dir.read(QStringLiteral("p.bmp"));
    RecordingLibrary failing;
    failing.saveCode = img::ERROR_FILE_WRITE;
    try {
        raster::RotateImageFile(nullptr, dir.file("p.bmp"), 30);
        ADD_FAILURE();
    } catch (const raster::ELEADImageError &e) {
        EXPECT_EQ(e.message(), QStringLiteral(" \nError code: -5\nSave: Error writing file. "));
    }
    EXPECT_EQ(dir.read(QStringLiteral("p.bmp")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST(LeadTools, RotatingAFileOfSeveralPagesKeepsTheOtherPages)
{
    testsupport::TempFolder dir;
    // Three pages of 4 x 2, the first in two shades (left and right half).
    tifftest::Picture first;
    first.width = 4;
    first.height = 2;
    first.rowsPerStrip = 2;
    first.pixels = QByteArray::fromHex("0a0a14140a0a1414");
    dir.write(QStringLiteral("book.tif"), tifftest::build({tifftest::page(first), tifftest::greyPage(4, 2, 120),
                                                           tifftest::greyPage(4, 2, 200)}));
    ASSERT_TRUE(raster::RotateImageFile(nullptr, dir.file("book.tif"), 90));
    std::vector<QImage> read;
    for (int page = 0; page < 3; ++page) {
        QImageReader reader(dir.file("book.tif"));
        ASSERT_EQ(reader.imageCount(), 3);
        ASSERT_TRUE(page == 0 || reader.jumpToImage(page));
        read.push_back(reader.read());
    }
    // Turned a quarter counter-clockwise: the right half is on top.
    EXPECT_EQ(read[0].size(), QSize(2, 4));
    EXPECT_EQ(qGray(read[0].pixel(0, 0)), 20);
    EXPECT_EQ(qGray(read[0].pixel(0, 3)), 10);
    EXPECT_EQ(read[1].size(), QSize(4, 2));
    EXPECT_EQ(qGray(read[1].pixel(3, 1)), 120);
    EXPECT_EQ(qGray(read[2].pixel(0, 0)), 200);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
