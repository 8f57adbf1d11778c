// The imaging control's core: its error convention, loads of pages and
// windows, resolution levels, saving with progress and abort, the image
// operations with the abort protocol, the lent image, the stack of active
// controls and the published properties.

#include "raster/LeadImage.h"

#include "platform/imaging/ImagingErrors.h"
#include "support/TestFiles.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

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
    }
}

TEST(LeadImage, LoadsOfPagesAndWindows)
{
    testsupport::TempFolder dir;
    // Three grey pages of 4 x 2, each of one shade, built byte by byte.
    std::vector<tifftest::Page> pages;
    for (int i = 0; i < 3; ++i) {
        tifftest::Picture p;
        p.width = 4;
        p.height = 2;
        p.rowsPerStrip = 2;
        p.pixels = QByteArray(8, char(40 + 80 * i));
        pages.push_back(tifftest::page(p));
    }
    dir.write(QStringLiteral("three.tif"), tifftest::build(pages));
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

    // A list of several pictures cannot be written as one file here.
    image.SetEnableProgressEvent(false);
    image.OnStatus = nullptr;
    EXPECT_EQ(raised([&] { image.Save(dir.file("l.gif"), img::FILE_GIF, 0, 8, 0); }).second, -16);
    TLEADImage empty;
    EXPECT_EQ(raised([&] { empty.Save(dir.file("e.bmp"), img::FILE_BMP, 0, 8, 0); }),
              std::make_pair(QStringLiteral(" \nSave: Image not allocated."), -2));
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
}
