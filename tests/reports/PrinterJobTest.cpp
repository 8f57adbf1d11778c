// Report pages printed through the platform's printers: a job on the Qt
// backend sends text objects into a PDF file, one object per sheet, on the
// paper set before the job; pdftoppm and pdftotext read the pages back.

#include "reports/output/PrinterJob.h"

#include "platform/ui/QtPrinterBackend.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "support/TestFiles.h"
#include "PdfPrinting.h"
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include <QDir>
#include <QImage>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace reports;

TEST(PrinterJob, ReportObjectsPrintIntoAPdfFile)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftoppm.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "pdftoppm and pdftotext are not installed: the printed pages are not checked";
    resetLibrary();
    testsupport::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("job.pdf"));
    platform::QtPrinterBackend printers;
    printers.setOutputFile(pdf);
    platform::DeviceMode a4;
    a4.paperSize = 9;
    a4.orientation = 2;
    printers.setDeviceMode(a4);
    const platform::PrinterCaps caps = printers.caps();
    ASSERT_GT(caps.logPixelsX, 0);
    EXPECT_NEAR(caps.physicalWidth * 254.0 / caps.logPixelsX, 2970, 2);
    EXPECT_NEAR(caps.physicalHeight * 254.0 / caps.logPixelsY, 2100, 2);

    PrinterJob job(printers);
    EXPECT_EQ(job.Canvas(), nullptr);
    EXPECT_FALSE(job.NewPage());
    ASSERT_TRUE(job.BeginDoc(QStringLiteral("План участка")));
    EXPECT_FALSE(job.BeginDoc(QStringLiteral("second"))); // one job at a time
    EXPECT_FALSE(PrinterJob(printers).BeginDoc(QStringLiteral("other")));
    for (int sheet = 1; sheet <= 2; ++sheet) {
        if (sheet > 1) {
            ASSERT_TRUE(job.NewPage());
        }
        platform::gdi::Canvas &canvas = *job.Canvas();
        // Report units (91.6 per inch) onto the printer's pixels.
        canvas.setMapMode(platform::gdi::MM_ANISOTROPIC);
        canvas.setWindowExt(916, 916);
        canvas.setViewportExt(caps.logPixelsX * 10, caps.logPixelsY * 10);
        // A black box and a text object: in the left half of sheet 1, the
        // right half of sheet 2 (the printable area is 1035 units wide).
        MemoView memo;
        memo.SetBounds(sheet == 1 ? 100 : 600, 200, 300, 200);
        memo.FillColor = 0;
        memo.Draw(canvas);
        MemoView text;
        text.SetBounds(sheet == 1 ? 100 : 600, 450, 300, 40);
        text.Memo = {QStringLiteral("Участок %1").arg(sheet)};
        text.Draw(canvas);
    }
    job.EndDoc();
    EXPECT_FALSE(printers.printing());
    EXPECT_EQ(job.Canvas(), nullptr);

    for (int sheet = 1; sheet <= 2; ++sheet) {
        const QString n = QString::number(sheet);
        EXPECT_EQ(runTool(pdftotext, {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")}).trimmed(),
                  QStringLiteral("Участок ") + n);
    }
    runTool(pdftoppm, {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), pdf, dir.file(QStringLiteral("page"))});
    const QStringList pages = QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QImage page(dir.file(pages[i]));
        ASSERT_FALSE(page.isNull());
        EXPECT_GT(page.width(), page.height()); // landscape
        const auto dark = [&](double fx) {
            return qGray(page.pixel(static_cast<int>(page.width() * fx), page.height() * 3 / 10)) < 64;
        };
        EXPECT_EQ(dark(0.2), i == 0) << "sheet " << i + 1;
        EXPECT_EQ(dark(0.65), i == 1) << "sheet " << i + 1;
    }
}

// A report printed on the virtual printer into a PDF file: the sheet takes
// the report's paper and orientation (it kept the platform's A4 portrait),
// and what is drawn keeps its size and its place on the paper (it moved by
// the PDF's own margins).
TEST(PrinterJob, VirtualPrinterSheetsTakeTheReportsPaper)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed: the printed sheet is not checked";
    resetLibrary();
    resetRegistries();
    testsupport::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("report.pdf"));
    PdfPrinting printing(pdf);
    ReportPrinter().SetPrinterIndex(ReportPrinter().VirtualPrinterIndex);

    reportbuild::Built r;
    {
        auto page = std::make_unique<Page>();
        page->ChangePaper(9, 2100, 2970, -1, 1);
        page->MarginLeft = page->MarginTop = page->MarginRight = page->MarginBottom = 0;
        r.report.Pages.push_back(std::move(page));
    }
    const auto mm = [](int v) { return TenthsMmToUnits(v * 10); };
    reportbuild::PageBuilder b(*r.report.Pages.back());
    b.band(QStringLiteral("Title"), btReportTitle, 0, mm(40));
    // A framed box of 100 x 20 mm, 20 mm from the left edge and 5 mm below
    // the virtual printer's top margin of 5 mm.
    MemoView &box = b.memo(QStringLiteral("Box"), mm(20), mm(5), mm(100), mm(20), QString());
    box.FrameTyp = 0xF;
    box.FrameWidth = 2;
    ASSERT_TRUE(r.report.PrepareReport());
    r.report.PrintPreparedReport(QString(), 1, true, 0);
    ASSERT_FALSE(r.report.Terminated);

    // 10 pixels a millimetre.
    const QList<QImage> sheets = pdfSheets(pdftoppm, pdf, 254);
    ASSERT_EQ(sheets.size(), 1);
    const QImage &sheet = sheets.first();
    EXPECT_NEAR(sheet.width(), 2970, 2);
    EXPECT_NEAR(sheet.height(), 2100, 2);
    // The box's upper edge: from the first to the last dark pixel of the
    // darkest row near it.
    int left = -1, right = -1, top = -1;
    for (int y = 0; y < 400 && top < 0; ++y)
        for (int x = 0; x < sheet.width(); ++x)
            if (qGray(sheet.pixel(x, y)) < 128) {
                if (top < 0)
                    top = y;
                if (left < 0)
                    left = x;
                right = x;
            }
    EXPECT_NEAR(left, 200, 5);
    EXPECT_NEAR(top, 100, 5);
    EXPECT_NEAR(right - left, 1000, 5);
    resetRegistries();
    resetLibrary();
}
