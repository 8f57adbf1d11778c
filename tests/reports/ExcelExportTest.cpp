// The spreadsheet export through a recording server: the calls it makes
// for a small two-page fixture, page ranges, pictures, cancelling and a
// failed save; the column names and the row heights.

#include "RecordingSpreadsheet.h"
#include "ReportTestSupport.h"

#include "platform/Environment.h"
#include "reports/ReportDialogs.h"
#include "reports/ReportLibrary.h"
#include "reports/ReportViews.h"
#include "support/TestFiles.h"

#include <QFile>

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

} // namespace
