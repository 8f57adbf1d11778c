// The roads of a built report: page lists, the printing order with copies,
// collation and odd or even pages, paper changes between jobs, exports and
// the designer.
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/gdi/Bitmap.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class ReportOutputTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

// Records the job's steps; the pages it is given come from the progress.
class RecordingJob : public PrintJob {
public:
    explicit RecordingJob(QStringList &log, bool canCopy) : log_(log), canCopy_(canCopy), bitmap_(10, 10) {}
    bool CanCopy() const override { return canCopy_; }
    void SetCopies(int copies) override { log_ << QStringLiteral("copies %1").arg(copies); }
    void BeginDoc(const QString &title) override { log_ << QStringLiteral("begin ") + title; }
    void NewPage() override { log_ << QStringLiteral("sheet"); }
    void EndDoc() override { log_ << QStringLiteral("end"); }
    void Abort() override { log_ << QStringLiteral("abort"); }
    gdi::Canvas &Canvas() override { return bitmap_.canvas(); }

private:
    QStringList &log_;
    bool canCopy_;
    gdi::Bitmap bitmap_;
};

// A report with prepared pages of the given paper codes (9 A4, 11 A5).
void preparePages(TfrReport &report, const std::vector<int> &papers)
{
    for (int code : papers) {
        Page page;
        page.ChangePaper(code, 0, 0, -1, 0);
        report.EMFPages->Add(page);
    }
}

TEST_F(ReportOutputTest, PageLists)
{
    const struct {
        QString list;
        QList<int> pages;
    } cases[] = {
        {"2-", {2, 3, 4, 5}}, {"1,3-4", {1, 3, 4}}, {"", {}}, {"3,1", {1, 3}}, {"5-2", {}}, {" 1 - 2 , 4", {1, 2, 4}},
    };
    for (const auto &c : cases) {
        QList<int> got = ParsePageList(c.list, 5).values();
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.pages) << c.list.toStdString();
    }
}

TEST_F(ReportOutputTest, PrintingOrder)
{
    const struct {
        QString list;
        int copies;
        bool collate;
        int choice;
        bool printerCopies;
        QStringList log;
    } cases[] = {
        {"", 2, true, 0, true, {"copies 1", "begin Untitled", "p1", "sheet", "p2", "sheet", "p3", "sheet", "p1", "sheet", "p2", "sheet", "p3", "end"}},
        {"", 2, false, 0, false, {"copies 1", "begin Untitled", "p1", "sheet", "p1", "sheet", "p2", "sheet", "p2", "sheet", "p3", "sheet", "p3", "end"}},
        {"", 2, false, 0, true, {"copies 2", "begin Untitled", "p1", "sheet", "p2", "sheet", "p3", "end"}},
        {"3,1", 1, true, 0, false, {"copies 1", "begin Untitled", "p1", "sheet", "p3", "end"}},
        {"1-4", 0, true, 2, false, {"copies 1", "begin Untitled", "p2", "end"}},
        {"", 1, true, 1, false, {"copies 1", "begin Untitled", "p1", "sheet", "p3", "end"}},
    };
    for (const auto &c : cases) {
        TfrReport report;
        report.ShowProgress = false;
        preparePages(report, {9, 9, 9});
        QStringList log;
        RecordingJob job(log, c.printerCopies);
        report.Job = &job;
        report.OnProgress = [&log](int n) { log << QStringLiteral("p%1").arg(n); };
        report.PrintPreparedReport(c.list, c.copies, c.collate, c.choice);
        EXPECT_EQ(log, c.log) << c.list.toStdString() << " " << c.copies << c.collate << c.choice;
    }
}

// Where the paper changes the job ends and a new one begins.
TEST_F(ReportOutputTest, PaperChangeStartsANewJob)
{
    TfrReport report;
    report.ShowProgress = false;
    report.Title = "Ведомость";
    preparePages(report, {9, 11, 11});
    QStringList log;
    RecordingJob job(log, false);
    report.Job = &job;
    report.OnProgress = [&log](int n) { log << QStringLiteral("p%1").arg(n); };
    report.PrintPreparedReport(QString(), 1, true, 0);
    EXPECT_EQ(log, QStringList({"copies 1", "begin Ведомость", "p1", "end", "begin Ведомость", "p2", "sheet", "p3", "end"}));
}

// Stopped while printing: the job is aborted.
TEST_F(ReportOutputTest, StoppedPrintingAborts)
{
    TfrReport report;
    report.ShowProgress = false;
    preparePages(report, {9, 9, 9});
    QStringList log;
    RecordingJob job(log, false);
    report.Job = &job;
    report.OnProgress = [&](int n) {
        log << QStringLiteral("p%1").arg(n);
        report.Terminated = true;
    };
    report.PrintPreparedReport(QString(), 1, true, 0);
    EXPECT_EQ(log, QStringList({"copies 1", "begin Untitled", "p1", "abort"}));
}

class RecordingFilter : public ExportFilter {
public:
    QStringList log;
    void OnBeginDoc() override { log << "doc"; }
    void OnEndDoc() override { log << "end doc"; }
    void OnBeginPage() override { log << "page"; }
    void OnEndPage() override { log << "end page"; }
    void OnData(int x, int y, View *view) override
    {
        log << QStringLiteral("data %1 %2 %3").arg(view->Name).arg(x).arg(y);
    }
    void OnText(const QRect &, int x, int y, const QString &text, int, View *) override
    {
        log << QStringLiteral("text %1 %2 %3").arg(x).arg(y).arg(text);
    }
};

// The export replays each prepared page's objects into the filter: the
// object, then its text lines.
TEST_F(ReportOutputTest, ExportStream)
{
    testsupport::TempFolder folder;
    Built r;
    r.add("Items", {"NAME", "QTY"}, {{QStringLiteral("один"), 1.0}, {QStringLiteral("два"), 2.0}});
    PageBuilder b(addPage(r.report));
    b.band("T", btReportTitle, 10, 20);
    b.memo("t", 0, 10, 100, 20, "Итоги");
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 30, 40, 100, 20, "[Items.NAME]");
    ASSERT_TRUE(r.report.PrepareReport());
    RecordingFilter filter;
    r.report.ExportTo(&filter, folder.file("out.txt"));
    // Text lines start inside the object's gaps (2 across, 1 down).
    EXPECT_EQ(filter.log, QStringList({"doc", "page", "data t 0 10", "text 2 11 Итоги", "data d 30 30", "text 32 31 один",
                                       "data d 30 50", "text 32 51 два", "end page", "end doc"}));
}

TEST_F(ReportOutputTest, ExportDrivesTheFilter)
{
    testsupport::TempFolder folder;
    for (const bool cancel : {true, false}) {
        TfrReport report;
        report.ShowProgress = false;
        preparePages(report, {9, 9});
        RecordingFilter filter;
        QString after;
        filter.OnBeforeExport = [cancel](QString &, bool &proceed) { proceed = !cancel; };
        filter.OnAfterExport = [&after](const QString &name) { after = name; };
        const QString file = folder.file(cancel ? "cancelled.txt" : "written.txt");
        report.ExportTo(&filter, file);
        EXPECT_EQ(QFileInfo::exists(file), !cancel);
        EXPECT_EQ(filter.log, cancel ? QStringList() : QStringList({"doc", "page", "end page", "page", "end page", "end doc"}));
        EXPECT_EQ(after, file);
        EXPECT_EQ(report.CurrentFilter, nullptr);
        EXPECT_EQ(filter.Stream, nullptr) << "the file is closed";
    }
}

// An earlier file of the name is kept unless the export went through and
// wrote into it: a filter that saves its file itself writes nothing here.
TEST_F(ReportOutputTest, AFailedExportLeavesAnEarlierFile)
{
    struct WritingFilter : RecordingFilter {
        bool failOnPage = false;
        void OnEndPage() override
        {
            if (failOnPage)
                throw std::runtime_error("disk full");
            Stream->write("page\n");
        }
    };
    struct Case {
        const char *name;
        bool writes, fails, afterFails;
        const char *content;
    };
    const Case cases[] = {
        {"written", true, false, false, "page\npage\n"},
        {"nothing written", false, false, false, "earlier"},
        {"failed on a page", true, true, false, "earlier"},
        {"after-export step failed", true, false, true, "page\npage\n"},
    };
    testsupport::TempFolder folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TfrReport report;
        report.ShowProgress = false;
        preparePages(report, {9, 9});
        const QString file = folder.file("out.txt");
        {
            QFile earlier(file);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        WritingFilter written;
        RecordingFilter silent;
        RecordingFilter &filter = c.writes ? static_cast<RecordingFilter &>(written) : silent;
        written.failOnPage = c.fails;
        if (c.afterFails)
            filter.OnAfterExport = [](const QString &) { throw std::runtime_error("server gone"); };
        if (c.fails || c.afterFails)
            EXPECT_THROW(report.ExportTo(&filter, file), std::runtime_error);
        else
            report.ExportTo(&filter, file);
        QFile back(file);
        ASSERT_TRUE(back.open(QIODevice::ReadOnly));
        EXPECT_EQ(back.readAll(), QByteArray(c.content));
        EXPECT_EQ(report.CurrentFilter, nullptr);
        EXPECT_EQ(filter.Stream, nullptr);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1) << "no file is left beside it";
    }
}

// Until a designer is linked in, designing a template and editing a
// prepared page say so and change nothing.
TEST_F(ReportOutputTest, DesignerWithoutADesignerClass)
{
    const QString told = QStringLiteral("Редактирование отчёта невозможно: конструктор отчётов недоступен.");
    TfrReport report;
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        EXPECT_EQ(report.DesignReport(), 2);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, told);
    }
    EXPECT_EQ(report.Pages.size(), 1u) << "a report without pages gets one";
    EXPECT_EQ(library().State.CurrentDesigner, nullptr);

    Page page;
    page.ChangePaper(9, 0, 0, -1, 0);
    report.EMFPages->Add(page);
    Page *designerPage = report.Pages.front().get();
    library().State.DesignerPage = designerPage;
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        report.EditPreparedReport(0);
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_EQ(answers.messages()[0].text, told);
    }
    EXPECT_EQ(report.EMFPages->Count(), 1);
    EXPECT_EQ(report.Pages.size(), 1u);
    EXPECT_EQ(report.Pages.front().get(), designerPage) << "the template is left as it was";
    EXPECT_EQ(library().State.DesignerPage, designerPage);
    library().State.DesignerPage = nullptr;
    report.EditPreparedReport(5); // no such page: nothing is said
}

} // namespace
