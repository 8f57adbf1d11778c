// The map report templates of the program folder built by the frame's report
// engine over a map window: each report forms its page with the map picture
// at the map's scale, and the coordinate list lists the selected objects.
// The pages are drawn into the test artefacts for a person to look at.

#include "CommandFixtures.h"
#include "reports/PdfPrinting.h"

#include "app/FTolvane.h"
#include "app/MapPrinter.h"
#include "app/MapReports.h"
#include "platform/gdi/Bitmap.h"
#include "mapreports/FrameReports.h"
#include "reports/build/FunctionLibraries.h"
#include "reports/model/PreparedPages.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/TextLayout.h"
#include "support/TestFiles.h"
#include "reports/output/PreviewWindows.h"
#include "reports/ui/PreviewForm.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTreeWidget>

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
        map().SetProgramDir(
            testsupport::copyProgramFiles(dir_.file(QStringLiteral("program")), {"Default", "Reports"}));
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
        map().SetScale(TMapVyk::DenominatorToScale(1000));
        map().SetCentreX(50);
        map().SetCentreY(0);
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
    QFile::remove(QDir(map().ProgramDir()).filePath(QStringLiteral("map.wmf")));
    w().N124Click();
    QImage page = firstPage(QStringLiteral("Чертёж"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(QFile::exists(QDir(map().ProgramDir()).filePath(QStringLiteral("map.wmf"))));
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
    // The list runs as often as the user asks: each run replaces the work
    // table the one before read (the first run's query held it).
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        reports::TfrEMFPages &pages = *engine.Report().EMFPages;
        pages.Clear();
        ASSERT_NO_THROW(w().N134Click());
        firstPage(QStringLiteral("Ведомость координат объектов"));
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
    // A run with nothing selected shows nothing and holds nothing either.
    map().Selection().Entries.clear();
    engine.Report().EMFPages->Clear();
    ASSERT_NO_THROW(w().N134Click());
    EXPECT_EQ(engine.Report().EMFPages->Count(), 0);
    select(parcels, 0);
    ASSERT_NO_THROW(w().N134Click());
    EXPECT_EQ(engine.Report().EMFPages->Count(), 1);
}

namespace {

// The preview as the user sees it, and its printing: the preview is drawn
// among the artefacts (whole page), then the report printed from it.
class PrintingPreview : public reports::PreviewWindows {
public:
    QString shot;
    int shown = 0;
    void Show(reports::TfrReport &report, const QString &caption) override
    {
        ++shown;
        reports::TfrPreviewForm form;
        form.setWindowTitle(caption);
        report.ModalPreview = false;
        form.resize(1000, 760);
        form.ShowReport(report);
        QApplication::processEvents();
        form.resize(1000, 760);
        QApplication::processEvents();
        form.SetZoomItem(2);
        QApplication::processEvents();
        form.grab().save(shot);
        // The preview's print button waits for a printer of the platform;
        // the virtual one prints what the preview held.
        form.Disconnect();
        report.PrintPreparedReport(QString(), 1, true, 0);
    }
};

// The longest horizontal span of magenta pixels in any row.
int magentaSpan(const QImage &image)
{
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int first = -1, last = -1;
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x];
            if (qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) > 200) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first >= 0)
            longest = std::max(longest, last - first + 1);
    }
    return longest;
}

} // namespace

// On the demo project each report command builds its report, shows it in
// the preview and prints it into a PDF on the report's paper; at 1:1000 a
// line of 100 m on the map measures 100 mm on the printed sheet.
TEST_F(MapReportTemplates, DemoReportsPrintAtScale)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed: the printed sheets are not checked";
    ASSERT_TRUE(w().ReadProject(testsupport::copyDemoProject(folder(QStringLiteral("demo")))));
    map().ResetPicture();
    const int parcels = map().Project().ActiveLayer;
    // The sheet's grid picture (160 m square at 1:1000) moves its upper left
    // corner down to whole hundreds of metres: the view's corner lies just
    // past them, so that the line stays inside that picture too.
    map().SetScale(TMapVyk::DenominatorToScale(1000));
    const double cx = std::floor(map().View().CenterX / 100) * 100 + 80.5;
    const double cy = std::floor(map().View().CenterY / 100) * 100 + 79.5;
    writeLayer(work_, QStringLiteral("line"),
               shapes(3, {cx - 50, cy, cx + 50, cy}, {polyPoints(3, {{{cx - 50, cy}, {cx + 50, cy}}})}), 1);
    ASSERT_TRUE(w().OpenLayer(QDir(work_).filePath(QStringLiteral("line.shp")), -1, true));
    w().RebuildLayerList(false);
    // Its row moved to the top, as the user drags it: it is drawn last.
    QTreeWidget *rows = w().ListLayers;
    rows->insertTopLevelItem(0, rows->takeTopLevelItem(rows->topLevelItemCount() - 1));
    TMapLayer &line = layer(static_cast<int>(map().Project().Layers.size()) - 1);
    line.PenColor = 0xFF00FF;
    line.PenWidth = 0.5;
    map().SetCentreX(cx);
    map().SetCentreY(cy);
    map().SetScale(TMapVyk::DenominatorToScale(1000));
    select(parcels, 0);

    PdfPrinting printing(dir_.file(QStringLiteral("report.pdf")));
    PrintingPreview preview;
    platform::ScopedService<reports::PreviewWindows> installedPreview(preview);
    const QString shots = testsupport::artefactFolder(QStringLiteral("mapreports"));

    const struct {
        const char *name;
        void (TTolvane::*command)();
        bool landscape;
        bool map;
    } cases[] = {
        {"report-plan", &TTolvane::N135Click, true, true},
        {"report-drawing", &TTolvane::N124Click, true, true},
        {"report-sheet", &TTolvane::N95Click, false, true},
        {"report-coordinate-list", &TTolvane::N134Click, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString pdf = dir_.file(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
        printing.printers.setOutputFile(pdf);
        preview.shot = QDir(shots).filePath(QString::fromLatin1(c.name) + QStringLiteral(".png"));
        preview.shown = 0;
        (w().*c.command)();
        EXPECT_EQ(preview.shown, 1);
        // 10 pixels a millimetre.
        const QList<QImage> sheets = pdfSheets(pdftoppm, pdf, 254);
        ASSERT_EQ(sheets.size(), 1);
        const QImage &sheet = sheets.first();
        EXPECT_NEAR(sheet.width(), c.landscape ? 2970 : 2100, 2);
        EXPECT_NEAR(sheet.height(), c.landscape ? 2100 : 2970, 2);
        if (c.map) {
            EXPECT_NEAR(magentaSpan(sheet), 1000, 15);
        }
    }
}
