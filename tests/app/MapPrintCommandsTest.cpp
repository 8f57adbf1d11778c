// The map window's print commands without a template: "Карта" (the view on
// one page in the report preview, with its tile table) and "Рисунок" (the
// view onto the printer's printable area), with a fake printer set-up, a
// recording preview and printers that draw into an image or a PDF file.

#include "CommandFixtures.h"

#include "app/FTolvane.h"
#include "app/MapPrinter.h"
#include "platform/db/Table.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Metafile.h"
#include "platform/ui/QtPrinterBackend.h"
#include "mapreports/MapPage.h"
#include "reports/PdfPrinting.h"
#include "reports/model/PreparedPages.h"
#include "reports/output/PreviewWindows.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/ui/PreviewForm.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace cmdtest;

namespace {

class FakeSetup : public app::MapPrinter {
public:
    platform::ScopedService<app::MapPrinter> installed{*this};
    bool accept = true;
    int asked = 0, preset = 0, orientation = 2;
    double horz = 297, vert = 210;
    bool SetupDialog(int o) override
    {
        ++asked;
        preset = o;
        return accept;
    }
    int Orientation() const override { return orientation; }
    double HorzSize() const override { return horz; }
    double VertSize() const override { return vert; }
};

// Keeps what the preview was given: the first prepared page drawn at its
// size, and its objects.
class RecordingPreview : public reports::PreviewWindows {
public:
    platform::ScopedService<reports::PreviewWindows> installed{*this};
    int shown = 0;
    QImage page;
    int paperWidth = 0, paperHeight = 0; // report units
    std::vector<std::pair<QString, QRect>> objects;
    void Show(reports::TfrReport &report, const QString &) override
    {
        ++shown;
        reports::TfrEMFPages &pages = *report.EMFPages;
        ASSERT_EQ(pages.Count(), 1);
        reports::TfrEMFPage &p = pages[0];
        paperWidth = p.Metrics.PaperWidth;
        paperHeight = p.Metrics.PaperHeight;
        platform::gdi::Bitmap bitmap(paperWidth, paperHeight);
        p.Visible = true;
        pages.Draw(0, bitmap.canvas(), QRect(0, 0, paperWidth, paperHeight));
        p.Visible = false;
        page = bitmap.image();
        pages.ObjectsToPage(0);
        objects.clear();
        for (const auto &o : p.Page->Objects)
            objects.emplace_back(o->Name, QRect(o->Left, o->Top, o->Width, o->Height));
        p.Page.reset();
    }
    QRect rectOf(const QString &name) const
    {
        for (const auto &[n, r] : objects)
            if (n == name)
                return r;
        return {};
    }
};

class MapPrintCommands : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        reports::resetLibrary();
        // Pictures at the screen's pixels, whatever size the hidden window
        // took.
        const platform::gdi::DeviceMetrics screen = platform::gdi::screenMetrics();
        map().SetUnitsPerPixelX(screen.horzSize * 100.0 / screen.horzRes);
        map().SetUnitsPerPixelY(screen.vertSize * 100.0 / screen.vertRes);
    }
    void TearDown() override
    {
        w().FMapPrint.reset();
        reports::resetLibrary();
        CommandTest::TearDown();
    }
    QString programFile(const QString &name) { return QDir(map().ProgramDir()).filePath(name); }
    // One line of 100 m across the middle of the view, at 1:1000.
    void lineAtThousand()
    {
        const int l = addLayer(QStringLiteral("line"), shapes(3, {0, 0, 100, 0}, {polyPoints(3, {{{0, 0}, {100, 0}}})}), 1);
        // A new line layer takes a random colour of the palettes, and a pale
        // one (light yellow) reads as no ink: the pages are measured in black.
        layer(l).PenColor = 0;
        map().SetScale(TMapVyk::DenominatorToScale(1000));
        map().SetCentreX(50);
        map().SetCentreY(0);
    }
    struct View {
        double width, height, x, y, scale;
        bool pictureMode;
        bool operator==(const View &) const = default;
    };
    View view() { return {map().View().PictureWidth, map().View().PictureHeight, map().View().CenterX, map().View().CenterY, map().View().Scale, map().View().PictureMode}; }
    std::vector<std::pair<double, double>> tileRows()
    {
        std::vector<std::pair<double, double>> rows;
        platform::db::Table t;
        t.setDatabaseName(map().ProgramDir());
        t.setTableName(QStringLiteral("Tolvane.Db"));
        t.open();
        EXPECT_EQ(t.fieldDefs().size(), 11u);
        for (t.first(); !t.eof(); t.next())
            rows.emplace_back(t.fieldByName(u"X").asFloat(), t.fieldByName(u"Y").asFloat());
        return rows;
    }
    FakeSetup setup;
};

// The longest drawn (not white) run of the rows y - 4 .. y + 4, from its
// first to its last pixel: its length and its middle (0 and 0 when none).
std::pair<int, double> longestRun(const QImage &image, int y)
{
    int longest = 0;
    double middle = 0;
    for (int row = std::max(0, y - 4); row <= std::min(image.height() - 1, y + 4); ++row) {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, row)) < 240) {
                if (first < 0)
                    first = x;
                last = x;
            }
        if (first >= 0 && last - first + 1 > longest) {
            longest = last - first + 1;
            middle = (first + last) / 2.0;
        }
    }
    return {longest, middle};
}

bool allWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250)
                return false;
    return true;
}

} // namespace

TEST(MapPageGeometry, PaperAndPictureFollowThePrintersSizeAndOrientation)
{
    const struct {
        double horz, vert;
        bool landscape;
        double width, length, pictureWidth, pictureHeight;
    } cases[] = {
        {297, 210, true, 210, 297, 26700, 18000},
        {297, 210, false, 297, 210, 26700, 18000},
        {200.4, 287.46, false, 200.4, 287.46, 17040, 25746},
        {20, 287, false, 20, 287, 1000, 25700}, // narrower than the margins: the size, not a negative one
    };
    for (const auto &c : cases) {
        const reports::MapPagePaper paper = reports::MapPagePaperOf(c.horz, c.vert, c.landscape);
        EXPECT_EQ(paper.Width, c.width) << c.horz << " x " << c.vert;
        EXPECT_EQ(paper.Length, c.length) << c.horz << " x " << c.vert;
        // The page as it lies is the printable area, across and down.
        EXPECT_EQ(paper.ShownWidth(), c.horz);
        EXPECT_EQ(paper.ShownHeight(), c.vert);
        EXPECT_EQ(reports::MapPagePictureSize(c.horz, c.vert), QSizeF(c.pictureWidth, c.pictureHeight));
    }
}

TEST(MapPageGeometry, MasksCoverTheMarginsAndMarksSitAtThePictureCorners)
{
    const reports::MapPageLayout l = reports::LayOutMapPage(1000, 700, 50, 40, 30, 20);
    EXPECT_EQ(l.Picture, QRect(50, 40, 920, 640));
    EXPECT_EQ(l.Band, QRect(0, 0, 1000, 700));
    EXPECT_EQ(l.Masks[0], QRect(0, 0, 1000, 40));
    EXPECT_EQ(l.Masks[1], QRect(0, 680, 1000, 20));
    EXPECT_EQ(l.Masks[2], QRect(0, 0, 50, 700));
    EXPECT_EQ(l.Masks[3], QRect(970, 0, 30, 700));
    const int m = reports::kMapPageMarkLength;
    const QRect corners[8] = {{50, 40, m, 0},          {50, 40, 0, m},          {970 - m, 40, m, 0},
                              {970, 40, 0, m},         {50, 680, m, 0},         {50, 680 - m, 0, m},
                              {970 - m, 680, m, 0},    {970, 680 - m, 0, m}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(l.Corners[static_cast<size_t>(i)], corners[i]) << reports::kMapPageCorners[i];
}

TEST(MapPageGeometry, PicturePrintStaysOnThePrintableAreaAtItsSize)
{
    // 600 dpi, a printable area of 277.3 x 190.2 mm reported as 277 x 190.
    platform::gdi::DeviceMetrics printer{6550, 4493, 277, 190, 600, 600};
    EXPECT_EQ(reports::PicturePrintTarget(printer), (platform::gdi::Rect{0, 0, 6543, 4488}));
    // A size rounded up past the pixels is held to them.
    printer.horzSize = 278;
    EXPECT_EQ(reports::PicturePrintTarget(printer).right, 6550);
}

TEST_F(MapPrintCommands, MapPageShowsThePictureAtThePrintersPageAndTheViewComesBack)
{
    lineAtThousand();
    map().SetPictureWidth(12345);
    map().SetPictureHeight(6789);
    const View before = view();
    RecordingPreview preview;

    setup.accept = false;
    w().N33Click();
    EXPECT_EQ(setup.preset, 2); // landscape offered
    EXPECT_EQ(preview.shown, 0);
    EXPECT_FALSE(QFile::exists(programFile(QStringLiteral("map.wmf"))));
    EXPECT_EQ(view(), before);

    setup.accept = true;
    w().N33Click();
    EXPECT_EQ(view(), before);
    ASSERT_EQ(preview.shown, 1);
    // The picture was rendered at the printable area less 15 mm margins.
    QFile wmf(programFile(QStringLiteral("map.wmf")));
    ASSERT_TRUE(wmf.open(QIODevice::ReadOnly));
    const auto picture = platform::gdi::Metafile::fromBytes(wmf.readAll());
    ASSERT_TRUE(picture);
    EXPECT_NEAR(picture->mmWidth(), 26700, 30);
    EXPECT_NEAR(picture->mmHeight(), 18000, 30);

    // The page lies 297 x 210 mm; the picture fills it less the margins.
    const double unitsPerMm = reports::kReportUnitsPerInch / 25.4;
    EXPECT_NEAR(preview.paperWidth / unitsPerMm, 297, 0.5);
    EXPECT_NEAR(preview.paperHeight / unitsPerMm, 210, 0.5);
    const QRect image = preview.rectOf(QStringLiteral("QRImage1"));
    EXPECT_NEAR(image.left() / unitsPerMm, 15, 0.5);
    EXPECT_NEAR(image.top() / unitsPerMm, 15, 0.5);
    EXPECT_NEAR(image.width() / unitsPerMm, 267, 0.5);
    EXPECT_NEAR(image.height() / unitsPerMm, 180, 0.5);
    EXPECT_EQ(preview.rectOf(QStringLiteral("QRShpRight")).right(), preview.paperWidth - 1);
    // The 100 m line is 100 mm long on the page, across its middle.
    const auto [length, middle] = longestRun(preview.page, image.center().y());
    EXPECT_NEAR(length / unitsPerMm, 100, 1);
    EXPECT_NEAR(middle, image.center().x(), 2);
    // No corner mark reaches the page.
    for (const char *mark : reports::kMapPageCorners)
        EXPECT_TRUE(preview.rectOf(QString::fromLatin1(mark)).isNull()) << mark;
}

TEST_F(MapPrintCommands, PortraitPageAndOneTileRowPerPrint)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    RecordingPreview preview;
    setup.orientation = 1;
    setup.horz = 200;
    setup.vert = 287;
    w().N33Click();
    w().N33Click();
    ASSERT_EQ(preview.shown, 2);
    const double unitsPerMm = reports::kReportUnitsPerInch / 25.4;
    EXPECT_NEAR(preview.paperWidth / unitsPerMm, 200, 0.5);
    EXPECT_NEAR(preview.paperHeight / unitsPerMm, 287, 0.5);
    // Two prints leave one row: minus the picture's height and width.
    const QRect image = preview.rectOf(QStringLiteral("QRImage1"));
    const auto rows = tileRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], std::make_pair(-double(image.height()), -double(image.width())));
}

TEST_F(MapPrintCommands, CornerMarksNeverPrint)
{
    // An empty map: the page is white where the marks would be drawn.
    RecordingPreview preview;
    w().N33Click();
    ASSERT_EQ(preview.shown, 1);
    EXPECT_TRUE(allWhite(preview.page));
}

TEST_F(MapPrintCommands, MapPageFailures)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    const View before = view();
    RecordingPreview preview;

    // "map.wmf" cannot be written where a folder takes its name: the error
    // goes on, the view comes back and no page is shown.
    QDir().mkpath(programFile(QStringLiteral("map.wmf")));
    EXPECT_ANY_THROW(w().N33Click());
    EXPECT_EQ(preview.shown, 0);
    EXPECT_EQ(view(), before);
    QDir(programFile(QStringLiteral("map.wmf"))).removeRecursively();

    // A tile table that another program left is not emptied: its error is
    // shown, the file is kept byte for byte and no page is shown.
    const QByteArray foreign("\x05\x00\x00\x00 not a work table", 22);
    writeFile(programFile(QStringLiteral("Tolvane.Db")), foreign);
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    w().N33Click();
    EXPECT_EQ(preview.shown, 0);
    ASSERT_EQ(answers.messages().size(), 1u);
    QFile kept(programFile(QStringLiteral("Tolvane.Db")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), foreign);

    // A page built where "map.wmf" is missing names the file and shows
    // nothing.
    const QString empty = folder(QStringLiteral("empty"));
    answers.reply(platform::mrOk);
    w().FMapPrint->Show(empty);
    EXPECT_EQ(preview.shown, 0);
    ASSERT_EQ(answers.messages().size(), 2u);
    EXPECT_TRUE(answers.messages()[1].text.endsWith(QDir::toNativeSeparators(QDir(empty).filePath(QStringLiteral("map.wmf")))))
        << answers.messages()[1].text.toStdString();
}

namespace {

// A printer whose printable area is an image: 277 x 190 mm at 100 dpi.
class ImagePrinter : public platform::PrinterBackend {
public:
    platform::ScopedService<platform::PrinterBackend> installed{*this};
    QImage sheet{1091, 748, QImage::Format_RGB32};
    int begun = 0, aborted = 0;
    ImagePrinter()
    {
        sheet.fill(Qt::white);
        sheet.setDotsPerMeterX(3937);
        sheet.setDotsPerMeterY(3937);
    }
    QPaintDevice *beginDoc(const QString &) override
    {
        ++begun;
        return &sheet;
    }
    bool printing() const override { return sheet.paintingActive(); }
    void abortDoc() override { ++aborted; }
};

} // namespace

TEST_F(MapPrintCommands, PicturePrintCancelledFailedAndWithoutPrinter)
{
    addLayer(QStringLiteral("lines"), twoLines(), 2);
    const View before = view();
    ImagePrinter printer;

    setup.accept = false;
    w().N52Click();
    EXPECT_EQ(printer.begun, 0);

    setup.accept = true;
    QDir().mkpath(programFile(QStringLiteral("map.wmf")));
    EXPECT_ANY_THROW(w().N52Click());
    EXPECT_EQ(printer.aborted, 1);
    EXPECT_EQ(view(), before);

    // No printer at all: said so, nothing else.
    platform::PrinterBackend none;
    platform::ScopedService<platform::PrinterBackend> noPrinter(none);
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    w().N52Click();
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Error);
    EXPECT_EQ(view(), before);
}

TEST_F(MapPrintCommands, PicturePrintKeepsTheScaleOnThePrintableArea)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed: the printed page is not checked";
    lineAtThousand();
    const View before = view();
    const QString pdf = programFile(QStringLiteral("picture.pdf"));
    platform::QtPrinterBackend printers;
    printers.setOutputFile(pdf);
    platform::DeviceMode a4;
    a4.paperSize = 9;
    a4.orientation = 2;
    printers.setDeviceMode(a4);
    printers.device().setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    platform::ScopedService<platform::PrinterBackend> installed(printers);

    w().N52Click();
    EXPECT_EQ(view(), before);
    const QList<QImage> sheets = pdfSheets(pdftoppm, pdf, 100);
    ASSERT_EQ(sheets.size(), 1);
    const QImage &page = sheets.first();
    const double pxPerMm = 100 / 25.4;
    EXPECT_NEAR(page.width() / pxPerMm, 297, 1);
    // The line lies across the middle of the printable area, 100 mm long:
    // stretched over the whole sheet it would be 107 mm and off centre.
    const auto [length, middle] = longestRun(page, static_cast<int>(std::lround((10 + 190 / 2.0) * pxPerMm)));
    EXPECT_NEAR(length / pxPerMm, 100, 1);
    EXPECT_NEAR(middle / pxPerMm, 10 + 277 / 2.0, 1);
}

TEST_F(MapPrintCommands, MapPageOfTheDemoInThePreviewWindow)
{
    if (!QFile::exists(testsupport::programFolder() + QStringLiteral("/Demo/demo.tvp")))
        GTEST_SKIP() << "the demo project is not built";
    ASSERT_TRUE(w().ReadProject(testsupport::copyDemoProject(folder(QStringLiteral("demo")))));
    map().SetClientSize(1200, 800);
    map().ResetPicture();
    map().SetScale(TMapVyk::DenominatorToScale(1500));
    reports::QtPreviewWindows windows;
    platform::ScopedService<reports::PreviewWindows> installed(windows);
    testsupport::ScriptedAnswers answers;
    int pages = 0;
    dialog(answers, [&](QDialog &dialog) {
        auto &form = dynamic_cast<reports::TfrPreviewForm &>(dialog);
        form.show();
        form.resize(900, 700);
        QApplication::processEvents();
        form.SetZoomItem(70); // the whole page in view
        QApplication::processEvents();
        pages = form.PageCount();
        form.grab().save(QDir(testsupport::artefactFolder(QStringLiteral("mapprint"))).filePath(QStringLiteral("TMapPrint.png")));
        return platform::mrCancel;
    });
    w().N33Click();
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(answers.exhausted());
}
