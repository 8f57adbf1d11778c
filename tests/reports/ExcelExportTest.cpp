// The spreadsheet export through a recording server: the calls it makes
// for a small two-page fixture, page ranges, pictures, cancelling and a
// failed save; the column names and the row heights.

#include "RecordingSpreadsheet.h"
#include "ReportTestSupport.h"

#include "platform/Environment.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/PreparedPages.h"
#include "reports/output/PreviewLayout.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace reports;
using reportbuild::RecordingServers;

class ExcelExportTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
    RecordingServers servers;
    platform::ScopedService<SpreadsheetServers> use{servers};
};

TEST(ExcelNames, ColumnNamesAndRowHeights)
{
    const std::pair<int, const char *> columns[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {255, "IU"}};
    for (const auto &[n, name] : columns)
        EXPECT_EQ(TFrExcel::ColumnName(n), name) << n;
    EXPECT_EQ(TFrExcel::CellName(28, 3), "AB3");
    EXPECT_EQ(RowHeightPoints(20), 15.25);
    EXPECT_EQ(RowHeightPoints(20.1), 15.25);
    EXPECT_EQ(RowHeightPoints(10), 7.5);
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many << QStringLiteral("A%1:A%2").arg(i * 10).arg(i * 10 + 1);
    const QStringList joined = JoinAddresses(many);
    EXPECT_GT(joined.size(), 1);
    for (const QString &s : joined)
        EXPECT_LE(s.size(), 255);
    EXPECT_EQ(joined.join(u';'), many.join(u';'));
}

struct Obj {
    int page, x, y, w, h;
    QString text;
    quint16 frame = 0;
    int style = 0;
};

// Pages of text objects through the filter's hooks, then the export.
void exportPages(TfrOLEExcelExport &filter, const std::vector<Obj> &objects, int pages, const QString &file,
                 std::vector<std::unique_ptr<View>> extra = {})
{
    filter.OnBeginDoc();
    for (int page = 0; page < pages; ++page) {
        filter.OnBeginPage();
        for (const Obj &o : objects) {
            if (o.page != page)
                continue;
            MemoView memo;
            memo.SetBounds(o.x, o.y, o.w, o.h);
            memo.Memo = QStringList{o.text};
            memo.FrameTyp = o.frame;
            memo.Font.Style = o.style;
            filter.OnData(o.x, o.y, &memo);
        }
        if (page == 0)
            for (auto &v : extra)
                filter.OnData(v->Left, v->Top, v.get());
        filter.OnEndPage();
    }
    filter.OnEndDoc();
    filter.OnAfterExport(file);
}

const std::vector<Obj> kObjects = {
    {0, 0, 0, 100, 20, "Итог", 15, 2},
    {0, 100, 0, 60, 20, "12,5"},
    {0, 0, 20, 160, 20, "Широкий текст"},
    {1, 0, 0, 100, 20, "x"},
};

TEST_F(ExcelExportTest, CallsForTwoPages)
{
    platform::ScopedService<platform::DecimalSeparator> comma(platform::DecimalSeparator{u','});
    testsupport::TempFolder folder;
    TfrOLEExcelExport filter;
    filter.ShowDialog = false;
    ASSERT_EQ(filter.ShowModal(), 1);
    const QString file = folder.file("book.xlsx");
    exportPages(filter, kObjects, 2, file);
    EXPECT_EQ(servers.log, QStringList({
        "Start",
        "Margins 0 0 0 0",
        "Orientation 1",
        // Rows 20 units high; a break above the first row of each new page,
        // the last below the last row of data.
        "PageBreak 3",
        "PageBreak 4",
        "RowHeight A1:A4 15.25",
        "ColumnWidth 1 12.5",
        "ColumnWidth 2 7.5",
        "Style S0 b1 i0 u0 Arial 10 0 1fffffff -4131 -4160",
        "Style S1 b0 i0 u0 Arial 10 0 1fffffff -4131 -4160",
        "SetStyle A1 S0",
        "SetStyle B1;A2:B2;A3 S1",
        "Border A1 7",
        "Border A1 10",
        "Border A1 8",
        "Border A1 9",
        "Merge A2:B2",
        "Range A1:C4",
        // "12,5" in the system's separator is a number.
        "Values \"Итог\" 12,5 -",
        "Values \"Широкий текст\" - -",
        "Values \"x\" - -",
        "Values - - -",
        "WrapText",
        "Range A1:A1",
        "Select",
        "SaveAs",
        "DisplayAlerts 1",
        "ScreenUpdating 1",
        "Quit",
    }));

    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "workbook");
}

// A cancel pressed while the rows are processed.
class CancelRows : public ReportDialogs {
public:
    class Progress : public ExportProgress {
    public:
        void Start(int maximum, const QString &message, bool bar, bool cancel) override
        {
            ExportProgress::Start(maximum, message, bar, cancel);
            terminated_ = message == "Process Rows";
        }
    };
    std::unique_ptr<ExportProgress> NewExportProgress() override { return std::make_unique<Progress>(); }
};

TEST_F(ExcelExportTest, Variants)
{
    testsupport::TempFolder folder;
    auto has = [this](const QString &prefix) {
        return std::any_of(servers.log.begin(), servers.log.end(), [&](const QString &l) { return l.startsWith(prefix); });
    };
    {
        SCOPED_TRACE("as text");
        TfrOLEExcelExport filter;
        filter.AsText = true;
        exportPages(filter, kObjects, 2, folder.file("a.xlsx"));
        EXPECT_TRUE(servers.log.contains("Values \"Итог\" \"12,5\" -"));
    }
    {
        SCOPED_TRACE("pages 2 to 3 of 3");
        servers.log.clear();
        // The page count of the report being exported ends an open range.
        TfrReport report;
        for (int i = 0; i < 3; ++i) {
            Page page;
            page.ChangePaper(9, 0, 0, -1, 0);
            report.EMFPages->Add(page);
        }
        library().State.CurrentReport = &report;
        TfrOLEExcelExport filter;
        filter.PageRange = "2 -";
        std::vector<Obj> three = {{0, 0, 0, 50, 10, "one"}, {1, 0, 0, 50, 10, "two"}, {2, 0, 0, 50, 10, "three"}};
        exportPages(filter, three, 3, folder.file("b.xlsx"));
        EXPECT_FALSE(servers.log.contains("Values \"one\" -"));
        EXPECT_TRUE(servers.log.contains("Values \"two\" -"));
        EXPECT_TRUE(servers.log.contains("Values \"three\" -"));
        library().State.CurrentReport = nullptr;
    }
    {
        SCOPED_TRACE("pictures");
        for (const bool pictures : {true, false}) {
            servers.log.clear();
            TfrOLEExcelExport filter;
            filter.ExportPictures = pictures;
            std::vector<std::unique_ptr<View>> extra;
            auto line = std::make_unique<LineView>();
            line->SetBounds(0, 40, 40, 20);
            extra.push_back(std::move(line));
            exportPages(filter, kObjects, 1, folder.file("c.xlsx"), std::move(extra));
            EXPECT_EQ(servers.log.contains("Paste 41x21"), pictures);
            EXPECT_EQ(has("Picture 1 "), pictures);
        }
    }
    {
        SCOPED_TRACE("cancelled while the rows are processed");
        servers.log.clear();
        CancelRows cancel;
        platform::ScopedService<ReportDialogs> use(cancel);
        TfrOLEExcelExport filter;
        const QString file = folder.file("d.xlsx");
        exportPages(filter, kObjects, 2, file);
        EXPECT_FALSE(has("RowHeight"));
        EXPECT_FALSE(has("Style "));
        EXPECT_FALSE(has("Merge"));
        EXPECT_TRUE(has("ColumnWidth"));
        EXPECT_TRUE(has("Values \"Итог\""));
        EXPECT_TRUE(QFile::exists(file)) << "values and the save still happen";
    }
}

// A failed save keeps the file that was there and is reported; so is a
// spreadsheet program that cannot be started.
TEST_F(ExcelExportTest, FailuresAreReported)
{
    testsupport::TempFolder folder;
    const QString file = folder.write(QStringLiteral("old.xlsx"), QByteArray("old workbook"));
    servers.saves = false;
    TfrOLEExcelExport filter;
    EXPECT_THROW(exportPages(filter, kObjects, 1, file), std::runtime_error);
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old workbook");
    EXPECT_TRUE(servers.log.contains("Quit")) << "the program is closed all the same";
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"old.xlsx"}));

    SpreadsheetServers none;
    platform::ScopedService<SpreadsheetServers> nothing(none);
    TfrOLEExcelExport unstarted;
    EXPECT_THROW(exportPages(unstarted, kObjects, 1, folder.file("new.xlsx")), std::runtime_error);
}

} // namespace

// The workbook is an ".xlsx" file and is named so; "Открыть Excel после
// экспорта" opens the saved file with the desktop's program for it, and
// says so when none starts.
TEST_F(ExcelExportTest, TheWorkbookIsNamedByItsFormatAndOpenedWhenAsked)
{
    testsupport::TempFolder folder;
    TfrOLEExcelExport filter;
    const auto &filters = ExportFilters();
    const auto entry = std::find_if(filters.begin(), filters.end(), [&](const ExportFilterInfo &f) { return f.Filter == &filter; });
    ASSERT_NE(entry, filters.end());
    EXPECT_EQ(entry->FilterExt, QStringLiteral("*.xlsx"));
    EXPECT_TRUE(entry->FilterDesc.endsWith(QStringLiteral("(*.xlsx)")));
    // The preview names the file by the filter's extension, whatever was typed.
    EXPECT_EQ(preview::forceExtension(folder.file("отчёт.xls"), entry->FilterExt), folder.file("отчёт.xlsx"));

    QStringList opened;
    bool opens = true;
    setShellOpener([&](const QString &target) {
        opened << target;
        return opens;
    });
    struct Reset {
        ~Reset() { setShellOpener({}); }
    } reset;
    struct Case {
        const char *what;
        bool openAfter, opens;
        int messages;
    };
    const Case cases[] = {{"not asked", false, true, 0}, {"opened", true, true, 0}, {"no program for it", true, false, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        opened.clear();
        opens = c.opens;
        const QString file = folder.file("book.xlsx");
        testsupport::ScriptedAnswers answers;
        if (c.messages)
            answers.reply(platform::mrOk);
        filter.OpenAfterExport = c.openAfter;
        exportPages(filter, kObjects, 1, file);
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_EQ(opened, c.openAfter ? QStringList{QUrl::fromLocalFile(file).toString()} : QStringList());
        ASSERT_EQ(answers.messages().size(), size_t(c.messages));
        if (c.messages) {
            EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Не удалось открыть файл \"%1\"").arg(file));
        }
    }
    // A workbook that could not be saved is not opened.
    opened.clear();
    servers.saves = false;
    filter.OpenAfterExport = true;
    EXPECT_THROW(exportPages(filter, kObjects, 1, folder.file("new.xlsx")), std::runtime_error);
    EXPECT_TRUE(opened.isEmpty());
}
