// A report as the program builds and prints it, with what it uses by
// default: the report dialogs' progress window (Cancel stops the build
// between pages), the platform's printer (here the Qt backend writing a PDF
// file that pdftoppm and pdftotext read back), and a rich-text object split
// over pages by the bands.

#include "PdfPrinting.h"
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/ui/QtPrinterBackend.h"
#include "reports/model/ReportPrinter.h"
#include "reports/addins/RichView.h"
#include "reports/ui/ReportDialogForms.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class ReportRoadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        resetReportPrinter();
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
        resetReportPrinter();
    }
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> pinMeasuring{measuring};
};

std::vector<std::vector<QVariant>> rows(int n)
{
    std::vector<std::vector<QVariant>> out;
    for (int i = 1; i <= n; ++i)
        out.push_back({QStringLiteral("Участок %1").arg(i), double(i)});
    return out;
}

// A list of `count` rows, four to a page.
void listReport(Built &r, int count)
{
    r.add("Items", {"NAME", "QTY"}, rows(count));
    PageBuilder b(addPage(r.report, 2000, 300));
    b.band("Data", btMasterData, 20, 20, "Items");
    b.memo("N", 20, 22, 300, 16, "[Items.NAME]");
}


} // namespace

// The build runs inside the modal progress window; a press of Cancel,
// taken when the next page's line is shown, stops it there.
TEST_F(ReportRoadsTest, TheBuildRunsUnderTheProgressWindowAndCancelStopsIt)
{
    const struct {
        int cancelOnPage; // 0: never
        bool built;
        int pages;
    } cases[] = {{0, true, 10}, {2, false, 3}};
    for (const auto &c : cases) {
        testsupport::ScriptedAnswers answers;
        answers.dialog([](QDialog &d) { return d.exec(); });
        QtReportDialogs windows;
        platform::ScopedService<ReportDialogs> dialogs(windows);
        Built r;
        r.report.ShowProgress = true;
        listReport(r, 40);
        int shownPages = 0;
        r.report.OnBeginPage = [&](int page) {
            QWidget *window = QApplication::activeModalWidget();
            if (window && window->objectName() == QStringLiteral("frProgressForm"))
                ++shownPages;
            if (page + 1 == c.cancelOnPage && window)
                QTimer::singleShot(0, window->findChild<QPushButton *>(QStringLiteral("CancelB")), &QPushButton::click);
        };
        EXPECT_EQ(r.report.PrepareReport(), c.built) << c.cancelOnPage;
        EXPECT_EQ(r.report.EMFPages->Count(), c.pages) << c.cancelOnPage;
        EXPECT_EQ(shownPages, c.pages) << c.cancelOnPage;
        EXPECT_TRUE(answers.exhausted());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

// Without a job of its own the report prints on the platform's selected
// printer: the Qt backend sends the built pages into a PDF file.
TEST_F(ReportRoadsTest, ABuiltReportPrintsIntoAPdfFile)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftoppm.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "pdftoppm and pdftotext are not installed: the printed pages are not checked";
    testsupport::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("report.pdf"));
    PdfPrinting printing(pdf);
    const platform::QtPrinterBackend &printers = printing.printers;

    Built r;
    listReport(r, 10);
    ASSERT_TRUE(r.report.PrepareReport());
    ASSERT_EQ(r.report.EMFPages->Count(), 3);
    r.report.PrintPreparedReport(QString(), 1, true, 0);
    EXPECT_FALSE(r.report.Terminated);
    EXPECT_FALSE(printers.printing());

    for (int page = 1; page <= 3; ++page) {
        const QString n = QString::number(page);
        QStringList expected;
        for (int row = (page - 1) * 4 + 1; row <= std::min(10, page * 4); ++row)
            expected << QStringLiteral("Участок %1").arg(row);
        const QString text = runTool(pdftotext, {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")});
        EXPECT_EQ(text.split(u'\n', Qt::SkipEmptyParts).replaceInStrings(QStringLiteral("\f"), QString()).filter(QStringLiteral("Участок")),
                  expected)
            << "page " << page << ": " << text.toStdString();
    }
    runTool(pdftoppm, {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), pdf, dir.file(QStringLiteral("page"))});
    const QStringList pages = QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 3);
    for (const QString &name : pages)
        EXPECT_FALSE(QImage(dir.file(name)).isNull()) << name.toStdString();
}

// A printer that takes no job stops the printing instead of counting it done.
TEST_F(ReportRoadsTest, APrinterThatTakesNoJobStopsThePrinting)
{
    Built r;
    listReport(r, 6);
    ASSERT_TRUE(r.report.PrepareReport());
    int printed = 0;
    r.report.OnProgress = [&](int) { ++printed; };
    r.report.PrintPreparedReport(QString(), 1, true, 0);
    EXPECT_TRUE(r.report.Terminated);
    EXPECT_EQ(printed, 0);
}

// A rich text taller than two pages, in a band that may be split: the bands
// print it in three parts which joined are the expanded text.
TEST_F(ReportRoadsTest, ARichTextSplitOverThreePagesThroughTheBands)
{
    RegisterRichAddIn();
    Built r;
    r.add("Items", {"NAME", "QTY"}, {{QStringLiteral("Иванов"), 1.0}});
    // Paragraphs in two formats with the name in each.
    const auto paragraphs = [](const QString &name) {
        richtext::CharFormat plain;
        plain.font = QStringLiteral("DejaVu Sans");
        richtext::CharFormat bold = plain;
        bold.bold = true;
        richtext::RichDocument doc;
        for (int p = 0; p < 6; ++p) {
            if (p)
                doc.append(QStringLiteral("\r"), plain);
            doc.append(QStringLiteral("Абзац %1: %2 ").arg(p + 1).arg(name), bold);
            for (int w = 0; w < 20; ++w)
                doc.append(QStringLiteral("слово%1 ").arg(w), plain);
        }
        return doc;
    };
    const richtext::RichDocument expanded = paragraphs(QStringLiteral("Иванов"));

    // The whole height of the expanded text at the object's width, so that
    // a page holds a little over a third of it.
    library().State.DocumentMode = 1;
    RichView probe;
    probe.SetBounds(0, 0, 250, 0);
    probe.RichEdit = expanded;
    const int full = probe.CalcHeight();
    library().State.DocumentMode = 0;
    ASSERT_GT(full, 100);
    // Report units are 3.6 per millimetre; the margins take 20 of them.
    const int space = full / 3 + 20;
    Page &page = addPage(r.report, 2000, (space + 20) * 10 * 5 / 18 + 1);
    PageBuilder b(page);
    b.band("Data", btMasterData, 10, 20, "Items", flBandStretched);
    auto rich = std::make_unique<RichView>();
    rich->Name = QStringLiteral("Rich1");
    rich->SetBounds(0, 10, 250, 20);
    rich->Flags = flStretched;
    rich->RichEdit = paragraphs(QStringLiteral("[Items.NAME]"));
    page.Add(std::move(rich));

    ASSERT_TRUE(r.report.PrepareReport()) << library().State.ClassErrorText.toStdString();
    std::vector<QString> parts;
    for (int i = 0; i < r.report.EMFPages->Count(); ++i) {
        r.report.EMFPages->ObjectsToPage(i);
        for (const auto &o : (*r.report.EMFPages)[i].Page->Objects)
            if (auto *printed = dynamic_cast<RichView *>(o.get()))
                parts.push_back(printed->RichEdit.text());
        (*r.report.EMFPages)[i].Page.reset();
    }
    EXPECT_EQ(parts.size(), 3u);
    QString joined;
    for (const QString &part : parts)
        joined += part;
    EXPECT_EQ(joined, expanded.text());
}
