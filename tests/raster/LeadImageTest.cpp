// The imaging control's core: its error convention, loads of pages and
// windows, resolution levels, saving with progress and abort, the image
// operations with the abort protocol, the lent image, the stack of active
// controls and the published properties.

#include "raster/LeadImage.h"

#include "platform/imaging/ImagingErrors.h"
#include "support/TestFiles.h"
#include "TiffBuilder.h"

#include <QImageReader>

#include <gtest/gtest.h>

#include <tiffio.h>

using raster::ELEADImageError;
using raster::TLEADImage;
namespace img = platform::imaging;

namespace {

QImage pattern(int w = 64, int h = 48)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 4 % 256, y * 5 % 256, (x + y) % 2 ? 255 : 0));
    return image;
}

// Runs `f` and returns what it raised ("" and code 1 when nothing).
template <class F>
std::pair<QString, int> raised(F &&f)
{
    try {
        f();
    } catch (const ELEADImageError &e) {
        return {e.message(), e.code};
    }
    return {QString(), 1};
}

// A library whose answers a test sets.
class ForcedLibrary : public img::ImagingLibrary {
public:
    int infoCode = img::SUCCESS;
    int levels = 1;
    int fileInfo(const QString &f, int page, img::FileInfo &info) override
    {
        return infoCode == img::SUCCESS ? ImagingLibrary::fileInfo(f, page, info) : infoCode;
    }
    int readLoadResolutions(const QString &, std::vector<QSize> &out) override
    {
        out.clear();
        for (int i = 0; i < levels; ++i)
            out.push_back(QSize(8000 >> (i % 12), 6000 >> (i % 12)));
        return img::SUCCESS;
    }

private:
    platform::ScopedService<img::ImagingLibrary> installed_{*this};
};

} // namespace

TEST(LeadImage, ErrorConventionWithMethodErrorsOnAndOff)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern().save(dir.file("p.png")));
    TLEADImage image;
    ASSERT_EQ(image.GetFileInfo(dir.file("p.png"), 0), 1);

    // On: the common text, with the empty name of a control made at run time.
    const auto [text, code] = raised([&] { image.GetFileInfo(dir.file("missing.png"), 0); });
    EXPECT_EQ(text, QStringLiteral(" \nError code: -10\nGetFileInfo: File not found. "));
    EXPECT_EQ(code, -10);
    EXPECT_EQ(image.LastError, -10);

    // Off: the code only; the values of the last request stay but the page.
    image.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    EXPECT_EQ(image.GetFileInfo(dir.file("missing.png"), 3), -10);
    EXPECT_EQ(image.LastError, -10);
    EXPECT_EQ(image.InfoWidth, 64);
    EXPECT_EQ(image.InfoPage, 3);

    // -789 is reported as -999, in the code and in the text.
    ForcedLibrary forced;
    forced.infoCode = -789;
    EXPECT_EQ(image.GetFileInfo(dir.file("p.png"), 0), -999);
    EXPECT_EQ(image.LastError, -999);
    image.SetProperty(QStringLiteral("EnableMethodErrors"), true);
    image.Name = QStringLiteral("Lead1");
    EXPECT_EQ(raised([&] { image.GetFileInfo(dir.file("p.png"), 0); }).first,
              QStringLiteral("Lead1 \nError code: -999\nGetFileInfo: Invalid structure size. "));
}

TEST(LeadImage, GuardsRaiseWhateverMethodErrorsSay)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern().save(dir.file("p.png")));
    for (bool errors : {true, false}) {
        SCOPED_TRACE(errors);
        TLEADImage image;
        image.SetProperty(QStringLiteral("EnableMethodErrors"), errors);
        // No image.
        EXPECT_EQ(raised([&] { image.SetUseLUT(false); }),
                  std::make_pair(QStringLiteral(" \nUseLUT: Image Not allocated."), -2));
        EXPECT_EQ(raised([&] { image.GetBitmapDC(); }),
                  std::make_pair(QStringLiteral(" \nGetBitmapDC: Image Not allocated."), -2));
        if (errors) {
            EXPECT_EQ(raised([&] { image.Contrast(100); }),
                      std::make_pair(QStringLiteral(" \nError code: -2\nContrast: Invalid bitmap handle. "), -2));
            EXPECT_EQ(raised([&] { image.ReleaseBitmapDC(); }),
                      std::make_pair(QStringLiteral(" \nError code: 0\nReleaseBitmapDC: Function not successful. "), 0));
        } else {
            EXPECT_EQ(image.Contrast(100), -2);
            EXPECT_EQ(image.ReleaseBitmapDC(), 0);
        }
        EXPECT_EQ(image.LastError, 0);

        // A lent image refuses every change until it is given back.
        ASSERT_EQ(image.Load(dir.file("p.png"), 0, 0, -1), 1);
        const QImage *dc = image.GetBitmapDC();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(dc->size(), QSize(64, 48));
        const QString busy = QStringLiteral(" \nError code: 0\nProcessing Not allowed: Function not successful. ");
        EXPECT_EQ(raised([&] { image.GetBitmapDC(); }), std::make_pair(busy, 0));
        EXPECT_EQ(raised([&] { image.Rotate(9000, 3, 0); }), std::make_pair(busy, 0));
        EXPECT_EQ(raised([&] { image.Load(dir.file("p.png"), 0, 0, -1); }), std::make_pair(busy, 0));
        EXPECT_EQ(image.ReleaseBitmapDC(), 1);
        EXPECT_EQ(image.Rotate(9000, 3, 0), 1);

        // So does a playing animation.
        struct Playing : raster::TLEADImageWindow {
            bool animating() override { return true; }
        } playing;
        image.Window = &playing;
        const auto animation =
            std::make_pair(QStringLiteral(" \nError code: -16\nAnimation: Feature not supported. "), -16);
        EXPECT_EQ(raised([&] { image.Rotate(9000, 3, 0); }), animation);
        EXPECT_EQ(raised([&] { image.ClearImage(); }), animation);
        image.Window = nullptr;
    }
}

TEST(LeadImage, LoadsOfPagesAndWindows)
{
    testsupport::TempFolder dir;
    // Three grey pages of 4 x 2, each of one shade, built byte by byte.
    dir.write(QStringLiteral("three.tif"), tifftest::build({tifftest::greyPage(4, 2, 40), tifftest::greyPage(4, 2, 120),
                                                            tifftest::greyPage(4, 2, 200)}));
    ASSERT_TRUE(pattern().save(dir.file("p.png")));
    dir.write(QStringLiteral("bad.png"), QByteArray("\x89PNG\r\n\x1a\n garbage", 17));

    TLEADImage image;
    std::vector<int> pagesSeen;
    image.OnFilePage = [&](TLEADImage &i) { pagesSeen.push_back(i.BitmapListCount()); };
    ASSERT_EQ(image.Load(dir.file("three.tif"), 0, 0, -1), 1);
    EXPECT_EQ(image.BitmapListCount(), 3);
    EXPECT_EQ(image.InfoTotalPages, 3);
    EXPECT_EQ(image.InfoFormat, img::FILE_TIF_PAGES);
    EXPECT_EQ(image.BitmapListIndex, 0);
    ASSERT_TRUE(image.HasBitmap);
    EXPECT_EQ(qGray(image.Bitmap.pixels.pixel(0, 0)), 40);
    EXPECT_EQ(qGray(image.BitmapList()[2].pixels.pixel(3, 1)), 200);
    EXPECT_EQ(pagesSeen, (std::vector<int>{1, 2, 3}));

    // Two pages from the second on.
    ASSERT_EQ(image.Load(dir.file("three.tif"), 0, 1, 2), 1);
    EXPECT_EQ(image.BitmapListCount(), 2);
    EXPECT_EQ(qGray(image.Bitmap.pixels.pixel(0, 0)), 120);

    // No pages: nothing read, empty, success.
    EXPECT_EQ(image.Load(dir.file("three.tif"), 0, 0, 0), 1);
    EXPECT_FALSE(image.HasBitmap);

    // Unreadable files: the code, an empty control, nothing raised.
    ASSERT_TRUE(image.EnableMethodErrors());
    for (const char *name : {"bad.png", "missing.png"}) {
        ASSERT_EQ(image.Load(dir.file("p.png"), 0, 0, -1), 1);
        const int r = image.Load(dir.file(name), 0, 0, -1);
        EXPECT_LT(r, 0) << name;
        EXPECT_EQ(image.LastError, r) << name;
        EXPECT_FALSE(image.HasBitmap) << name;
    }

    // A window reaching past the picture is asked for as it is.
    ASSERT_EQ(image.LoadFileTile(dir.file("p.png"), 0, 0, -1, 60, 40, 10, 10), 1);
    EXPECT_EQ(image.Bitmap.pixels.size(), QSize(10, 10));
    EXPECT_EQ(image.Bitmap.pixels.pixel(1, 1), pattern().pixel(61, 41));

    ASSERT_EQ(image.LoadResize(dir.file("p.png"), 16, 12, 0, 8), 1);
    EXPECT_EQ(image.Bitmap.pixels.size(), QSize(16, 12));
    EXPECT_EQ(image.Bitmap.pixels.format(), QImage::Format_Indexed8);
}

TEST(LeadImage, AStoppedLoadLeavesTheControlEmpty)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern(8, 1000).save(dir.file("tall.png")));
    TLEADImage image;
    image.SetEnableProgressEvent(true);
    std::vector<int> percents;
    image.OnStatus = [&](TLEADImage &i, int p) {
        percents.push_back(p);
        if (p >= 50)
            i.SetEnableProgressEvent(false);
    };
    image.Load(dir.file("tall.png"), 0, 0, -1);
    EXPECT_TRUE(TLEADImage::Aborted());
    EXPECT_FALSE(image.HasBitmap);
    EXPECT_FALSE(TLEADImage::AbortRequested());
    EXPECT_EQ(percents, (std::vector<int>{0, 26, 51}));
}

namespace {

// A library whose loads deliver two pages of 3 x 5 in blocks of two rows
// (a bottom-up block in the middle of the second) and, when set, first ask
// the caller for the information a headerless file lacks.
class BlockLibrary : public img::ImagingLibrary {
public:
    bool askForInfo = false;
    int infoAnswer = -100;
    img::LoadInfoRequest infoAsked;
    int passesAsked = -1;
    int callbacksSet = 0;
    img::LoadInfoCallback current;

    int fileInfo(const QString &, int, img::FileInfo &info) override
    {
        info = {};
        info.format = img::FILE_TIF_PAGES;
        info.width = 3;
        info.height = 5;
        info.bits = 24;
        info.totalPages = 2;
        return img::SUCCESS;
    }
    img::LoadInfoCallback setLoadInfoCallback(img::LoadInfoCallback c) override
    {
        ++callbacksSet;
        std::swap(current, c);
        return c;
    }
    int loadFile(const QString &, const img::LoadRequest &r, const img::LoadCallback &rows) override
    {
        passesAsked = r.passes;
        if (askForInfo) {
            infoAsked.words.fill(0);
            infoAnswer = current ? current(infoAsked) : -100;
        }
        QImage page(3, 5, QImage::Format_RGB32);
        const img::Bitmap b = img::Bitmap::fromImage(page);
        for (int p = 0; p < 2; ++p)
            for (int first = 0; first < 5; first += 2) {
                unsigned flags = first == 0 ? unsigned(img::BLOCK_IMAGE_START) : 0u;
                if (first + 2 >= 5)
                    flags |= img::BLOCK_IMAGE_END;
                if (p == 1 && first == 2)
                    flags |= img::BLOCK_BOTTOM_UP;
                if (const int a = rows(b, first, std::min(2, 5 - first), flags); a != img::SUCCESS)
                    return a;
            }
        return img::SUCCESS;
    }

private:
    platform::ScopedService<img::ImagingLibrary> installed_{*this};
};

} // namespace

TEST(LeadImage, LoadInformationGoesToTheLibraryInItsOrder)
{
    const std::array<std::int32_t, 8> values{11, 22 | int(img::LOAD_INFO_PALETTE), 33, 44, 55, 66, 77, 88};
    const struct {
        const char *name;
        bool handler, enabled;
        std::int32_t value3;
        int answer;
    } cases[] = {
        {"given", true, true, 33, 1},
        {"nothing to give (value 3 is 0)", true, true, 0, 0},
        {"no handler", false, true, 33, 0},
        {"switched off", true, false, 33, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        BlockLibrary library;
        library.askForInfo = true;
        int asked = 0;
        img::LoadInfoCallback outer = [](img::LoadInfoRequest &) { return 7; };
        library.current = outer;
        TLEADImage image;
        image.EnableLoadInfo = c.enabled;
        if (c.handler)
            image.OnLoadInfo = [&](TLEADImage &i) {
                ++asked;
                i.LoadInfo = values;
                i.LoadInfo[2] = c.value3;
                i.LoadInfoPalette.fill(qRgb(1, 2, 3));
            };
        ASSERT_EQ(image.Load(QStringLiteral("raw.bin"), 0, 0, -1), 1);
        EXPECT_EQ(library.infoAnswer, c.answer);
        EXPECT_EQ(asked, c.handler && c.enabled ? 1 : 0);
        const auto &w = library.infoAsked.words;
        if (c.answer == 1) {
            EXPECT_EQ((std::vector<std::uint32_t>(w.begin() + 1, w.begin() + 9)),
                      (std::vector<std::uint32_t>{33, 66, 44, 11, 77, 88, 55, 22 | img::LOAD_INFO_PALETTE}));
            EXPECT_EQ(w[9], qRgb(1, 2, 3));
            EXPECT_EQ(w[264], qRgb(1, 2, 3));
        } else {
            EXPECT_EQ(w[1], 0u);
        }
        // The callback that was there before the load is back.
        ASSERT_TRUE(library.current);
        img::LoadInfoRequest any;
        EXPECT_EQ(library.current(any), 7);
        EXPECT_EQ(library.callbacksSet, 2);
    }
}

TEST(LeadImage, PaintingWhileLoadingHearsEachImageAndItsRows)
{
    for (const bool paint : {true, false}) {
        SCOPED_TRACE(paint ? "painting while loading" : "painting after");
        BlockLibrary library;
        TLEADImage image;
        image.SetProperty(QStringLiteral("PaintWhileLoad"), paint);
        image.Passes = 3;
        QStringList heard;
        image.LoadImageStarted = [&](TLEADImage &i, const img::Bitmap &b) {
            heard << QStringLiteral("image %1 of %2x%3").arg(i.BitmapListCount()).arg(b.width).arg(b.height);
        };
        image.LoadRowsArrived = [&](TLEADImage &, const img::Bitmap &, int first, int rows, bool up) {
            heard << QStringLiteral("rows %1+%2%3").arg(first).arg(rows).arg(up ? " up" : "");
        };
        ASSERT_EQ(image.Load(QStringLiteral("two.tif"), 0, 0, -1), 1);
        EXPECT_EQ(image.BitmapListCount(), 2);
        if (paint) {
            EXPECT_EQ(heard, (QStringList{"image 1 of 3x5", "rows 0+2", "rows 2+2", "rows 4+1", "image 2 of 3x5",
                                          "rows 0+2", "rows 2+2 up", "rows 4+1"}));
            EXPECT_EQ(library.passesAsked, 3);
            EXPECT_FALSE(image.PaletteUpdatePending);
        } else {
            EXPECT_TRUE(heard.isEmpty());
            EXPECT_EQ(library.passesAsked, 0);
            EXPECT_TRUE(image.PaletteUpdatePending);
        }
    }
}

TEST(LeadImage, ResolutionTableKeepsTwentyNineLevels)
{
    testsupport::TempFolder dir;
    ForcedLibrary forced;
    forced.levels = 40;
    TLEADImage image;
    EXPECT_EQ(image.LoadResolutionCount, 1);
    ASSERT_EQ(image.ReadLoadResolutions(dir.file("any.sid")), 1);
    EXPECT_EQ(image.LoadResolutionCount, 29);
    EXPECT_EQ(image.LoadResolutionWidth(2), 2000);
    EXPECT_EQ(image.LoadResolutionHeight(28), 6000 >> 4);
    image.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    for (int i : {29, -1}) {
        try {
            image.LoadResolutionWidth(i);
            ADD_FAILURE() << i;
        } catch (const ELEADImageError &e) {
            EXPECT_EQ(e.kind, ELEADImageError::Range);
            EXPECT_EQ(e.message(), QStringLiteral(" \nLoadResolutionWidth[]: Index out of range."));
        }
    }
    EXPECT_EQ(image.LastError, 0);
}

TEST(LeadImage, SaveReportsProgressAndAStopKeepsTheOldFile)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern(4, 900).save(dir.file("tall.png")));
    TLEADImage image;
    ASSERT_EQ(image.Load(dir.file("tall.png"), 0, 0, -1), 1);
    image.SetEnableProgressEvent(true);
    std::vector<int> percents;
    image.OnStatus = [&](TLEADImage &, int p) { percents.push_back(p); };
    ASSERT_EQ(image.Save(dir.file("out.bmp"), img::FILE_BMP, 0, 8, 0), 1);
    ASSERT_GE(percents.size(), 3u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);

    // Stopped from the handler: the file that was there is kept as it was,
    // and no new name is left behind.
    const QByteArray before = dir.read(QStringLiteral("out.bmp"));
    image.OnStatus = [](TLEADImage &i, int) { i.SetEnableProgressEvent(false); };
    EXPECT_EQ(raised([&] { image.Save(dir.file("out.bmp"), img::FILE_PNG, 0, 8, 0); }).second, 0);
    EXPECT_EQ(dir.read(QStringLiteral("out.bmp")), before);
    image.SetEnableProgressEvent(true);
    EXPECT_EQ(raised([&] { image.Save(dir.file("new.bmp"), img::FILE_PNG, 0, 8, 0); }).second, 0);
    EXPECT_FALSE(QFile::exists(dir.file("new.bmp")));

    image.SetEnableProgressEvent(false);
    image.OnStatus = nullptr;
    TLEADImage empty;
    EXPECT_EQ(raised([&] { empty.Save(dir.file("e.bmp"), img::FILE_BMP, 0, 8, 0); }),
              std::make_pair(QStringLiteral(" \nSave: Image not allocated."), -2));
}

namespace {

// The pages of a file as Qt reads them: the grey of each page's first
// pixel, or the code of the reader's failure.
std::vector<int> pageGreys(const QString &file)
{
    std::vector<int> greys;
    for (int page = 0;; ++page) {
        QImageReader reader(file);
        if (page >= reader.imageCount() || (page > 0 && !reader.jumpToImage(page)))
            break;
        greys.push_back(qGray(reader.read().pixel(0, 0)));
    }
    return greys;
}

} // namespace

TEST(LeadImage, SaveModesAppendInsertAndReplacePages)
{
    testsupport::TempFolder dir;
    // Pictures of one grey each; the last one indexed, which a page keeps.
    for (int grey : {10, 20, 30, 40, 50}) {
        QImage p(6, 4, QImage::Format_RGB32);
        p.fill(qRgb(grey, grey, grey));
        if (grey == 50)
            p = p.convertToFormat(QImage::Format_Indexed8);
        ASSERT_TRUE(p.save(dir.file(QStringLiteral("g%1.png").arg(grey))));
    }
    ASSERT_TRUE(pattern().save(dir.file("picture.png")));
    const QByteArray notTiff = dir.read("picture.png");
    dir.write("other.tif", notTiff);
    const QString book = dir.file("book.tif");

    TLEADImage image;
    image.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    const struct {
        const char *name;
        int grey, mode, savePage;
        QString file;
        int format, code;
        std::vector<int> pages; // of book.tif afterwards
    } steps[] = {
        {"a file of one page", 10, 0, 0, book, img::FILE_TIF, 1, {10}},
        {"appended", 20, 1, 0, book, img::FILE_TIF, 1, {10, 20}},
        {"appended (-1)", 30, -1, 0, book, img::FILE_TIF_PAGES, 1, {10, 20, 30}},
        {"over page 2", 40, 2, 2, book, img::FILE_TIF, 1, {10, 40, 30}},
        {"before page 1", 50, 3, 1, book, img::FILE_TIF, 1, {50, 10, 40, 30}},
        {"before the page after the last", 20, 3, 5, book, img::FILE_TIF, 1, {50, 10, 40, 30, 20}},
        {"over a page it has not", 30, 2, 6, book, img::FILE_TIF, img::ERROR_INV_PARAMETER, {50, 10, 40, 30, 20}},
        {"before a page it has not", 30, 3, 0, book, img::FILE_TIF, img::ERROR_INV_PARAMETER, {50, 10, 40, 30, 20}},
        {"a format without pages", 30, 1, 0, dir.file("p.png"), img::FILE_PNG, img::ERROR_FEATURE_NOT_SUPPORTED,
         {50, 10, 40, 30, 20}},
        {"appended to a file that is no TIFF", 30, 1, 0, dir.file("other.tif"), img::FILE_TIF,
         img::ERROR_FILE_FORMAT, {50, 10, 40, 30, 20}},
        {"appended to no file", 30, 1, 0, dir.file("new.tif"), img::FILE_TIF, 1, {50, 10, 40, 30, 20}},
        {"a file of one page again", 40, 0, 0, book, img::FILE_TIF, 1, {40}},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(image.Load(dir.file(QStringLiteral("g%1.png").arg(s.grey)), 0, 0, -1), 1);
        image.SavePage = s.savePage;
        EXPECT_EQ(image.Save(s.file, s.format, 0, 2, s.mode), s.code);
        EXPECT_EQ(pageGreys(book), s.pages);
    }
    EXPECT_FALSE(QFile::exists(dir.file("p.png")));
    EXPECT_EQ(dir.read("other.tif"), notTiff);
    EXPECT_EQ(pageGreys(dir.file("new.tif")), std::vector<int>{30});

    // An indexed page stays indexed, with its colours.
    ASSERT_EQ(image.Load(dir.file("g50.png"), 0, 0, -1), 1);
    ASSERT_EQ(image.Save(book, img::FILE_TIF, 0, 2, 1), 1);
    QImageReader reader(book);
    ASSERT_TRUE(reader.jumpToImage(1));
    const QImage indexed = reader.read();
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed.pixel(5, 3), qRgb(50, 50, 50));
}

TEST(LeadImage, AListIsSavedAsTheFramesOfOneFile)
{
    testsupport::TempFolder dir;
    dir.write(QStringLiteral("three.tif"), tifftest::build({tifftest::greyPage(4, 2, 40), tifftest::greyPage(4, 3, 120),
                                                            tifftest::greyPage(4, 4, 200)}));
    TLEADImage image;
    ASSERT_EQ(image.Load(dir.file("three.tif"), 0, 0, -1), 1);
    image.BitmapListIndex = 1;
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "repeated" : "played once");
        image.SetProperty(QStringLiteral("AutoAnimate"), loop);
        image.SetProperty(QStringLiteral("AutoAnimationLoop"), loop ? 1 : 0);
        ASSERT_EQ(image.Save(dir.file("frames.gif"), img::FILE_GIF, 8, 2, 0), 1);
        // Every item, not only the current one, on a screen that holds the
        // largest.
        QImageReader reader(dir.file("frames.gif"));
        EXPECT_EQ(reader.imageCount(), 3);
        EXPECT_EQ(reader.loopCount(), loop ? -1 : 0);
        std::vector<int> greys;
        for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
            EXPECT_EQ(frame.size(), QSize(4, 4));
            greys.push_back(qGray(frame.pixel(0, 0)));
        }
        EXPECT_EQ(greys, (std::vector<int>{40, 120, 200}));
    }
    // The file information calls it a GIF of several pages: animated.
    ASSERT_EQ(image.GetFileInfo(dir.file("frames.gif"), 0), 1);
    EXPECT_EQ(image.InfoFormat, img::FILE_GIF);
    EXPECT_EQ(image.InfoTotalPages, 3);
    EXPECT_TRUE(image.InfoAnimated);
}

TEST(LeadImage, ALayeredSaveWritesThePictureAndItsPlacedLayers)
{
    testsupport::TempFolder dir;
    dir.write(QStringLiteral("three.tif"), tifftest::build({tifftest::greyPage(4, 2, 40), tifftest::greyPage(5, 2, 120),
                                                            tifftest::greyPage(6, 2, 200)}));
    TLEADImage image;
    ASSERT_EQ(image.Load(dir.file("three.tif"), 0, 0, -1), 1);
    image.LayeredSave = true;
    image.LayerTable = {{QPoint(72, 144)}, {QPoint(36, 0)}};
    ASSERT_EQ(image.Save(dir.file("layers.tif"), img::FILE_TIF, 0, 2, 0), 1);
    EXPECT_EQ(pageGreys(dir.file("layers.tif")), (std::vector<int>{40, 120, 200}));
    // The list is as it was, its first item in front.
    EXPECT_EQ(image.BitmapListCount(), 3);
    EXPECT_EQ(image.BitmapList()[0].width, 4);

    // Each layer's place, in inches of its resolution (72 when none).
    TIFF *tif = TIFFOpen(QFile::encodeName(dir.file("layers.tif")).constData(), "r");
    ASSERT_TRUE(tif);
    std::vector<std::pair<float, float>> places;
    while (TIFFReadDirectory(tif)) {
        float x = -1, y = -1;
        TIFFGetField(tif, TIFFTAG_XPOSITION, &x);
        TIFFGetField(tif, TIFFTAG_YPOSITION, &y);
        places.emplace_back(x, y);
    }
    TIFFClose(tif);
    EXPECT_EQ(places, (std::vector<std::pair<float, float>>{{1.0f, 2.0f}, {0.5f, 0.0f}}));

    // Only TIFF files keep layers.
    image.SetProperty(QStringLiteral("EnableMethodErrors"), false);
    EXPECT_EQ(image.Save(dir.file("layers.png"), img::FILE_PNG, 0, 2, 0), img::ERROR_FEATURE_NOT_SUPPORTED);
    EXPECT_FALSE(QFile::exists(dir.file("layers.png")));
}

TEST(LeadImage, OperationsAndTheirAbort)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern(100, 50).save(dir.file("p.png")));
    TLEADImage image;
    ASSERT_EQ(image.Load(dir.file("p.png"), 0, 0, -1), 1);
    int changes = 0;
    image.OnChange = [&](TLEADImage &) { ++changes; };

    ASSERT_EQ(image.Rotate(4500, 3, qRgb(255, 255, 255)), 1);
    EXPECT_DOUBLE_EQ(image.LastRotationAngle, 45);
    EXPECT_DOUBLE_EQ(image.LastRotationCenterX, 50);
    EXPECT_DOUBLE_EQ(image.LastRotationCenterY, 25);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image.BitmapList()[0].pixels, image.Bitmap.pixels);

    // Stopped through the progress switch: the image is as before and no
    // change is told.
    const QImage before = image.Bitmap.pixels.copy();
    image.SetEnableProgressEvent(true);
    image.OnStatus = [](TLEADImage &i, int) { i.SetEnableProgressEvent(false); };
    for (auto op : {+[](TLEADImage &i) { return i.Rotate(3000, 3, 0); },
                    +[](TLEADImage &i) { return i.Contrast(500); },
                    +[](TLEADImage &i) { return i.Intensity(500); }}) {
        image.SetEnableProgressEvent(true);
        EXPECT_EQ(raised([&] { op(image); }).second, 0);
        EXPECT_TRUE(TLEADImage::Aborted());
        EXPECT_EQ(image.Bitmap.pixels, before);
        EXPECT_EQ(image.Bitmap.pixels.size(), QSize(before.size()));
    }
    EXPECT_EQ(changes, 1);
    image.OnStatus = nullptr;
    EXPECT_EQ(image.FastRotate(90), 1);
    EXPECT_EQ(image.Bitmap.viewPerspective, 6);
}

namespace {

img::Bitmap record(int width, QRgb colour = qRgb(10, 20, 30))
{
    QImage p(width, 3, QImage::Format_RGB32);
    p.fill(colour);
    return img::Bitmap::fromImage(p);
}

std::vector<int> widths(const TLEADImage &image)
{
    std::vector<int> w;
    for (const img::Bitmap &b : image.BitmapList())
        w.push_back(b.width);
    return w;
}

// A window with a region whose floater is 10 x 3, recording what the core
// asks of it.
class RegionWindow : public raster::TLEADImageWindow {
public:
    QStringList asked;
    int cutCode = img::SUCCESS;
    QSize putBack;
    bool hasRegion() override { return true; }
    int cutFloater(img::Bitmap &floater) override
    {
        asked << "cut";
        if (cutCode == img::SUCCESS)
            floater = record(10);
        return cutCode;
    }
    int putFloaterBack(img::Bitmap &floater) override
    {
        asked << "put back";
        putBack = QSize(floater.width, floater.height);
        return img::SUCCESS;
    }
    void updateRegionBounds() override { asked << "bounds"; }
    void resetDisplay() override { asked << "display"; }
    void imageChanged() override { asked << "changed"; }
    void dataLinkModified() override { asked << "data"; }
    void freeFloater() override { asked << "free floater"; }
    void freeRegion() override { asked << "free region"; }
};

} // namespace

TEST(LeadImage, BitmapListsAssignedAndItemsReplaced)
{
    TLEADImage image;
    const img::BitmapList source{record(1), record(2), record(3)};
    image.SetBitmapList(&source);
    EXPECT_EQ(widths(image), (std::vector<int>{1, 2, 3}));
    ASSERT_TRUE(image.HasBitmap);
    EXPECT_EQ(image.Bitmap.width, 1);
    // The control's items are its own.
    ASSERT_EQ(image.Contrast(500), 1);
    EXPECT_EQ(source[0].pixels.pixel(0, 0), qRgb(10, 20, 30));

    const struct {
        const char *name;
        int index;
        int sourceWidth; // 0: no picture
        std::vector<int> after;
        int current; // index afterwards, -1 without an image
    } cases[] = {
        {"the current item replaced", 1, 9, {1, 9, 3}, 1},
        {"the last item replaced: appended", 2, 9, {1, 2, 9}, 2},
        {"the first item replaced", 0, 9, {9, 2, 3}, 0},
        {"removed: the next is current", 1, 0, {1, 3}, 1},
        {"the last removed: the one before", 2, 0, {1, 2}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        image.SetBitmapList(&source);
        image.BitmapListIndex = c.index;
        img::Bitmap given = c.sourceWidth ? record(c.sourceWidth) : img::Bitmap{};
        EXPECT_EQ(image.AssignBitmap(given), 1);
        EXPECT_EQ(widths(image), c.after);
        EXPECT_EQ(image.BitmapListIndex, c.current);
        ASSERT_TRUE(image.HasBitmap);
        EXPECT_EQ(image.Bitmap.width, c.after[static_cast<std::size_t>(c.current)]);
        EXPECT_EQ(given.width, c.sourceWidth); // copied, not taken
    }

    // Into an empty control; taken over with RefBitmap, which empties it.
    TLEADImage other;
    img::Bitmap given = record(7);
    other.SetProperty(QStringLiteral("RefBitmap"), true);
    EXPECT_EQ(other.AssignBitmap(given), 1);
    EXPECT_EQ(widths(other), std::vector<int>{7});
    EXPECT_EQ(given.width, 0);
    EXPECT_FALSE(img::isAllocated(&given));
    // The only item removed: no list, no image.
    img::Bitmap none;
    EXPECT_EQ(other.AssignBitmap(none), 1);
    EXPECT_FALSE(other.HasBitmap);
    EXPECT_FALSE(other.HasBitmapList());
    // A record with a size and no pixels: nothing assigned, nothing raised.
    img::Bitmap hollow;
    hollow.width = hollow.height = 5;
    EXPECT_EQ(other.AssignBitmap(hollow), img::ERROR_NO_BITMAP);
    EXPECT_FALSE(other.HasBitmap);

    // No list assigned: empty, and counting raises.
    image.SetBitmapList(nullptr);
    EXPECT_FALSE(image.HasBitmap);
    EXPECT_EQ(raised([&] { image.BitmapListCount(); }).second, img::ERROR_NO_BITMAP);
}

TEST(LeadImage, TheImageAsACopyUntilItChanges)
{
    TLEADImage image;
    EXPECT_EQ(image.OCXBitmap(), nullptr);
    img::Bitmap given = record(4);
    image.SetOCXBitmap(&given);
    ASSERT_TRUE(image.HasBitmap);
    EXPECT_EQ(given.width, 4); // a copy was assigned
    const img::Bitmap *first = image.OCXBitmap();
    ASSERT_NE(first, nullptr);
    const qint64 key = first->pixels.cacheKey();
    EXPECT_EQ(image.OCXBitmap()->pixels.cacheKey(), key);
    ASSERT_EQ(image.Intensity(500), 1);
    EXPECT_NE(image.OCXBitmap()->pixels.cacheKey(), key);
    EXPECT_EQ(image.OCXBitmap()->pixels.pixel(0, 0), image.Bitmap.pixels.pixel(0, 0));
}

TEST(LeadImage, TheFloaterTurnsInsteadOfTheImage)
{
    RegionWindow window;
    TLEADImage image;
    image.Window = &window;
    img::Bitmap given = record(20);
    image.AssignBitmap(given);
    image.SetProperty(QStringLiteral("EnableFloater"), true);
    const QImage before = image.Bitmap.pixels;
    window.asked.clear();
    ASSERT_EQ(image.Rotate(9000, 3, qRgb(255, 255, 255)), 1);
    EXPECT_EQ(window.asked, (QStringList{"cut", "display", "data", "changed", "put back", "bounds"}));
    EXPECT_EQ(window.putBack, QSize(3, 10));
    EXPECT_DOUBLE_EQ(image.LastRotationCenterX, 5);
    EXPECT_DOUBLE_EQ(image.LastRotationCenterY, 1.5);
    EXPECT_EQ(image.Bitmap.pixels, before);

    window.cutCode = img::ERROR_NO_MEMORY;
    EXPECT_EQ(raised([&] { image.Rotate(9000, 3, 0); }),
              std::make_pair(QStringLiteral(" \nError code: -1\nFloater: Not enough memory available. "), -1));
    EXPECT_EQ(raised([&] { image.FastRotate(90); }).second, img::ERROR_FEATURE_NOT_SUPPORTED);

    // Without the floater the image turns.
    image.SetProperty(QStringLiteral("EnableFloater"), false);
    image.LastError = 1;
    window.asked.clear();
    ASSERT_EQ(image.Rotate(9000, 3, 0), 1);
    EXPECT_EQ(window.asked, (QStringList{"display", "data", "changed", "bounds"}));
    EXPECT_EQ(image.Bitmap.pixels.size(), QSize(3, 20));

    // An operation after a failed one leaves the database link alone.
    image.LastError = img::ERROR_FILE_READ;
    window.asked.clear();
    ASSERT_EQ(image.Contrast(100), 1);
    EXPECT_EQ(window.asked, QStringList{"changed"});
}

TEST(LeadImage, AnImageChangedFromOutsideBecomesTheCurrentItem)
{
    RegionWindow window;
    TLEADImage image;
    image.Window = &window;
    const img::BitmapList source{record(1), record(2)};
    image.SetBitmapList(&source);
    image.SetProperty(QStringLiteral("EnableFloater"), true);
    image.Bitmap = record(5, qRgb(1, 2, 3));
    window.asked.clear();
    image.ImageChangedOutside();
    EXPECT_EQ(widths(image), (std::vector<int>{5, 2}));
    EXPECT_EQ(window.asked, (QStringList{"free floater", "free region", "data"}));

    // Not while the image is lent.
    image.GetBitmapDC();
    image.Bitmap = record(6);
    image.ImageChangedOutside();
    EXPECT_EQ(image.LastError, 0);
    EXPECT_EQ(widths(image), (std::vector<int>{5, 2}));
    image.ReleaseBitmapDC();
}

TEST(LeadImage, AnOperationStartedFromACallbackRestoresTheActiveControl)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(pattern().save(dir.file("p.png")));
    TLEADImage a, b;
    ASSERT_EQ(a.Load(dir.file("p.png"), 0, 0, -1), 1);
    ASSERT_EQ(b.Load(dir.file("p.png"), 0, 0, -1), 1);
    std::vector<TLEADImage *> seen;
    b.SetEnableProgressEvent(true);
    b.OnStatus = [&](TLEADImage &, int) { seen.push_back(TLEADImage::ActiveImage()); };
    a.SetEnableProgressEvent(true);
    a.OnStatus = [&](TLEADImage &, int) {
        seen.push_back(TLEADImage::ActiveImage());
        if (seen.size() == 1)
            b.Intensity(10);
        seen.push_back(TLEADImage::ActiveImage());
    };
    ASSERT_EQ(a.Contrast(10), 1);
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0], &a);
    EXPECT_EQ(seen[1], &b);
    EXPECT_EQ(seen.back(), &a);
    EXPECT_EQ(TLEADImage::ActiveImage(), nullptr);
}

TEST(LeadImage, PropertiesStartAndValidate)
{
    TLEADImage image;
    EXPECT_EQ(image.Property(QStringLiteral("FrameOuterShadowColor")).toUInt(), qRgb(128, 128, 128));
    EXPECT_EQ(image.Property(QStringLiteral("PanWinPaintScaling")).toInt(), 1); // psResample
    EXPECT_EQ(image.Property(QStringLiteral("PanWinTitle")).toString(), QStringLiteral("Pan Window"));
    EXPECT_TRUE(image.Property(QStringLiteral("PDFUseLibFonts")).toBool());

    const struct {
        const char *name;
        int value;
        const char *text; // "" when accepted
        int kept;
    } cases[] = {
        {"GradientSteps", 265, "", 265},
        {"GradientSteps", 266, " \nGradientSteps: Invalid Property value.", 265},
        {"EffectGrain", 0, " \nEffectGrain: Invalid Property value.", 5},
        {"EffectGrain", 256, "", 256},
        {"PaintMaxPasses", 65, " \nPaintMaxPasses: Invalid Property value.", 1},
        {"PaintEffect", 15035, "", 15035},
        {"PaintEffect", 15036, " \nPaintEffect: Invalid Property value", 15035},
        {"PaintEffect", 1002, " \nPaintEffect: Invalid Property value", 15035},
        {"TransitionEffect", 2554, "", 2554},
        {"GradientStyle", 1016, " \nGradientStyle: Invalid Property value", 1000},
        {"PDFDisplayDepth", 16, " \n PDFDisplayDepth: Invalid value passed.", 24},
        {"PDFTextAlpha", 3, " \n PDFTextAlpha : Invalid value passed.", 4},
        {"PDFXResolution", -1, " \n PDFXResolution: Invalid value passed.", 96},
        {"RasterizeViewMode", 4, " \n RasterizeViewMode: Invalid value passed.", 1},
    };
    for (const auto &c : cases) {
        const QString name = QString::fromLatin1(c.name);
        const auto [text, code] = raised([&] { image.SetProperty(name, c.value); });
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.name << " " << c.value;
        EXPECT_EQ(image.Property(name).toInt(), c.kept) << c.name << " " << c.value;
        EXPECT_EQ(code, *c.text ? -13 : 1) << c.name;
    }

    // Properties of the look repaint while AutoRepaint is on; a refused
    // value does not.
    struct Counting : raster::TLEADImageWindow {
        int repaints = 0;
        void invalidate() override { ++repaints; }
    } window;
    image.Window = &window;
    const struct {
        const char *name;
        QVariant value;
        int repaints;
    } writes[] = {
        {"PaintDither", 1, 1},           {"FrameOuterStyle", 1, 1}, {"PaintMaxPasses", 65, 0},
        {"PaintMaxPasses", 4, 1},        {"DrawPenWidth", 3, 0},    {"AutoRepaint", false, 0},
        {"PaintScaling", 2, 0},          {"AutoRepaint", true, 1},
    };
    for (const auto &w : writes) {
        window.repaints = 0;
        raised([&] { image.SetProperty(QString::fromLatin1(w.name), w.value); });
        EXPECT_EQ(window.repaints, w.repaints) << w.name;
    }
}
