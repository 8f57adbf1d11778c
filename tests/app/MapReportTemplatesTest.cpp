// The map report templates of the program folder built by the frame's report
// engine over a map window: each report forms its page with the map picture
// at the map's scale, and the coordinate list lists the selected objects.
// The pages are drawn into the test artefacts for a person to look at.

#include "CommandFixtures.h"

#include "app/FTolvane.h"
#include "app/MapPrinter.h"
#include "app/MapReports.h"
#include "platform/gdi/Bitmap.h"
#include "reports/FrameReports.h"
#include "reports/FunctionLibraries.h"
#include "reports/PreparedPages.h"
#include "reports/ReportLibrary.h"
#include "reports/TextLayout.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace cmdtest;

namespace {

class VirtualA4 : public app::MapPrinter {
public:
    platform::ScopedService<app::MapPrinter> installed{*this};
    bool SetupDialog(int) override { return true; }
};

class MapReportTemplates : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        map().FProgramDir =
            testsupport::copyProgramFiles(dir_.file(QStringLiteral("program")), {"Default", "Reports"});
        reports::resetRegistries();
        reports::resetLibrary();
        reports::RegisterStandardFunctionLibraries();
        reports::RegisterMapFunctionLibrary();
        reports::setMapPictureServices(&app::mapWindowPictures());
        // The picture's size per pixel, as opening a project measures it.
        map().ResetPicture();
    }
    void TearDown() override
    {
        reports::setMapPictureServices(nullptr);
        reports::resetRegistries();
        reports::resetLibrary();
        CommandTest::TearDown();
    }

    // The one prepared page of a report (a band split over pages would
    // move the map to a page of its own), drawn at its size and saved among
    // the artefacts.
    QImage firstPage(const QString &name)
    {
        reports::TfrEMFPages &pages = *engine.Report().EMFPages;
        EXPECT_EQ(pages.Count(), 1) << name.toStdString();
        if (pages.Count() < 1)
            return {};
        reports::TfrEMFPage &p = pages[0];
        platform::gdi::Bitmap picture(p.Metrics.PaperWidth, p.Metrics.PaperHeight);
        p.Visible = true;
        pages.Draw(0, picture.canvas(), QRect(0, 0, picture.width(), picture.height()));
        p.Visible = false;
        const QImage image = picture.image();
        image.save(QDir(testsupport::artefactFolder(QStringLiteral("mapreports"))).filePath(name + QStringLiteral(".png")));
        return image;
    }

    // One black line of 100 m across the middle of the view, at 1:1000.
    void viewLineAt1000()
    {
        const int line =
            addLayer(QStringLiteral("line"), shapes(3, {0, 0, 100, 0}, {polyPoints(3, {{{0, 0}, {100, 0}}})}), 1);
        layer(line).PenColor = 0;
        layer(line).PenWidth = 0.5;
        map().FScale = TMapVyk::DenominatorToScale(1000);
        map().FCenterX = 50;
        map().FCenterY = 0;
    }

    reports::FrameReportEngine engine;
    platform::ScopedService<reports::ReportEngine> installed{engine};
    VirtualA4 printer;
};

// The dark pixels of a row: from the first to the last.
int darkSpan(const QImage &image, int y)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) {
            if (first < 0)
                first = x;
            last = x;
        }
    return first < 0 ? 0 : last - first + 1;
}

} // namespace

TEST_F(MapReportTemplates, PlanShowsTheMapAtItsScale)
{
    viewLineAt1000();
    w().N135Click();
    const QImage page = firstPage(QStringLiteral("План"));
    ASSERT_FALSE(page.isNull());
    const double unitsPerMm = page.width() / 297.0;
    // The picture's middle row holds the line: 100 mm long on the page.
    int longest = 0;
    for (int y = page.height() / 2 - 5; y <= page.height() / 2 + 5; ++y)
        longest = std::max(longest, darkSpan(page, y));
    EXPECT_NEAR(longest / unitsPerMm, 100, 1.5);
}

TEST_F(MapReportTemplates, DrawingAndSheetDrawTheirOwnPictures)
{
    viewLineAt1000();
    QFile::remove(QDir(map().FProgramDir).filePath(QStringLiteral("map.wmf")));
    w().N124Click();
    QImage page = firstPage(QStringLiteral("Чертёж"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(QFile::exists(QDir(map().FProgramDir).filePath(QStringLiteral("map.wmf"))));
    int longest = 0;
    for (int y = 0; y < page.height() / 2 + 40; ++y)
        longest = std::max(longest, darkSpan(page, y));
    EXPECT_NEAR(longest / (page.width() / 297.0), 100, 1.5);

    w().N95Click();
    page = firstPage(QStringLiteral("Планшет"));
    ASSERT_FALSE(page.isNull());
}

TEST_F(MapReportTemplates, CoordinateListShowsTheRowsAndTotals)
{
    const int parcels = addLayer(
        QStringLiteral("parcels"),
        shapes(5, {100, 200, 110, 210},
               {polyPoints(5, {{{100, 200}, {100, 210}, {110, 210}, {110, 200}, {100, 200}}})}),
        1);
    select(parcels, 0);
    w().N134Click();
    firstPage(QStringLiteral("Ведомость координат объектов"));
    reports::TfrEMFPages &pages = *engine.Report().EMFPages;
    ASSERT_EQ(pages.Count(), 1);
    pages.ObjectsToPage(0);
    QStringList texts;
    for (const auto &o : pages[0].Page->Objects)
        texts << o->Memo.join(u'|').remove(reports::kParagraphEnd);
    pages[0].Page.reset();
    const QString all = texts.join(u'\n');
    EXPECT_TRUE(all.contains(QStringLiteral("Площадь: 100"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("Периметр: 40"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("210"))) << all.toStdString();
    // The last row repeats the first vertex's number.
    EXPECT_EQ(texts.count(QStringLiteral("1")), 2) << all.toStdString();
}
