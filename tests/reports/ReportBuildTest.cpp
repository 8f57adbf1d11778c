// Building reports: bands over data sets into prepared pages, compared with
// the objects each page should hold (name, position, size, text).
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/Service.h"
#include "support/ScriptedAnswers.h"

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class ReportBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> pinMeasuring{measuring};
};

std::vector<std::vector<QVariant>> numbered(int n)
{
    std::vector<std::vector<QVariant>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({QStringLiteral("r%1").arg(i), double(i)});
    return rows;
}

TEST_F(ReportBuildTest, ListWithTotals)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, {{QStringLiteral("a"), 1.0}, {QStringLiteral("b"), 2.0}, {QStringLiteral("c"), 4.0}});
    PageBuilder b(addPage(r.report));
    b.band("Title", btReportTitle, 20, 20);
    b.memo("T", 20, 22, 200, 16, "Список");
    b.band("Data", btMasterData, 60, 20, "Items");
    b.memo("N", 20, 62, 100, 16, "[Items.NAME]");
    b.memo("Q", 140, 62, 100, 16, "[Items.QTY]");
    b.band("Foot", btMasterFooter, 100, 20);
    b.memo("S", 20, 102, 300, 16, "[SUM([Items.QTY])] [COUNT(Data)] [AVG([Items.QTY])] [MIN([Items.QTY])] [MAX([Items.QTY])]");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "T 20 12 200 16 Список", "N 20 32 100 16 a", "Q 140 32 100 16 1",
                                      "N 20 52 100 16 b", "Q 140 52 100 16 2", "N 20 72 100 16 c", "Q 140 72 100 16 4",
                                      "S 20 92 300 16 7 3 2.33333333333333 1 4"}));
}

TEST_F(ReportBuildTest, Groups)
{
    Built r;
    r.add("Items", {"REGION", "CITY", "QTY"},
          {{QStringLiteral("N"), QStringLiteral("A"), 1.0},
           {QStringLiteral("N"), QStringLiteral("A"), 2.0},
           {QStringLiteral("N"), QStringLiteral("B"), 3.0},
           {QStringLiteral("S"), QStringLiteral("C"), 4.0},
           {QStringLiteral("S"), QStringLiteral("C"), 5.0}});
    PageBuilder b(addPage(r.report));
    b.band("GR", btGroupHeader, 20, 10, "[Items.REGION]");
    b.memo("gr", 0, 20, 100, 10, "R [Items.REGION]");
    b.band("GC", btGroupHeader, 40, 10, "[Items.CITY]");
    b.memo("gc", 0, 40, 100, 10, "C [Items.CITY]");
    b.band("Data", btMasterData, 60, 10, "Items");
    b.memo("d", 0, 60, 100, 10, "[Items.QTY]");
    // Group footers pair with group headers in order from the top: the
    // first footer is the outer group's.
    b.band("FR", btGroupFooter, 80, 10);
    b.memo("fr", 0, 80, 100, 10, "/R [Items.REGION] [SUM([Items.QTY])] [COUNT(Data)]");
    b.band("FC", btGroupFooter, 100, 10);
    b.memo("fc", 0, 100, 100, 10, "/C [Items.CITY] [SUM([Items.QTY])]");
    QStringList texts;
    for (const QString &line : r.build())
        texts << line.section(u' ', 5);
    EXPECT_EQ(texts, QStringList({"", "R N", "C A", "1", "2", "/C A 3", "C B", "3", "/C B 3", "/R N 6 3", "R S", "C C", "4",
                                  "5", "/C C 9", "/R S 9 2"}));
}

// Texts of the records of each page: "--- page N" then the texts.
QStringList texts(const QStringList &dump)
{
    QStringList out;
    for (const QString &line : dump)
        out << (line.startsWith(u'-') ? line : line.section(u' ', 5));
    return out;
}

// Which pages show the page header and footer, by their first- and
// last-page switches; 40 rows make three pages of 16, 15 and 9 rows.
TEST_F(ReportBuildTest, PageHeadersAndFooters)
{
    struct Case {
        quint16 header, footer;
        QStringList marks; // per page: header and footer texts found
    } cases[] = {
        {0, 0, {"1:", "2:head 2 foot 2", "3:head 3"}},
        {flBandOnFirstPage, flBandOnFirstPage | flBandOnLastPage, {"1:head 1 foot 1", "2:head 2 foot 2", "3:head 3 foot 3"}},
        {0, flBandOnLastPage, {"1:", "2:head 2 foot 2", "3:head 3 foot 3"}},
    };
    for (const Case &c : cases) {
        Built r;
        r.add("Items", {"NAME", "QTY"}, numbered(40));
        PageBuilder b(addPage(r.report));
        b.band("PH", btPageHeader, 10, 20, QString(), c.header);
        b.memo("ph", 0, 10, 100, 20, "head [PAGE#]");
        b.band("Data", btMasterData, 40, 20, "Items");
        b.memo("d", 0, 40, 100, 20, "[Items.NAME]");
        b.band("PF", btPageFooter, 300, 20, QString(), c.footer);
        b.memo("pf", 0, 300, 100, 20, "foot [PAGE#]");
        const QStringList dump = r.build();
        QStringList marks;
        QStringList rows;
        for (const QString &line : dump) {
            if (line.startsWith(u'-')) {
                marks << QString::number(marks.size() + 1) + u':';
                continue;
            }
            const QString text = line.section(u' ', 5);
            if (line.startsWith(u'd')) {
                rows << text;
            } else {
                marks.last() += (marks.last().endsWith(u':') ? QString() : QStringLiteral(" ")) + text;
            }
            if (line.startsWith(QStringLiteral("pf "))) {
                EXPECT_EQ(line.section(u' ', 2, 2), "331") << "a page footer lies on the bottom limit";
            }
        }
        EXPECT_EQ(marks, c.marks) << c.header << " " << c.footer;
        EXPECT_EQ(rows.size(), 40);
        EXPECT_EQ(rows.last(), "r40");
    }
}

// Two page columns: the second continues at the columns' top; past the last
// a new page starts and a group header with RepeatHeader prints again.
TEST_F(ReportBuildTest, PageColumns)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(40));
    Page &page = addPage(r.report);
    page.ColCount = 2;
    page.ColGap = 20;
    PageBuilder b(page);
    b.band("PH", btPageHeader, 10, 20, QString(), flBandOnFirstPage);
    b.memo("ph", 0, 10, 100, 20, "head [PAGE#]");
    b.band("GH", btGroupHeader, 40, 20, "[Items.QTY] > 35", flBandRepeatHeader);
    b.memo("gh", 0, 40, 100, 20, "group");
    b.band("Data", btMasterData, 70, 20, "Items");
    b.memo("d", 0, 70, 100, 20, "[Items.NAME]");
    const QStringList dump = r.build();
    auto at = [&dump](const QString &text) {
        for (const QString &line : dump)
            if (line.section(u' ', 5) == text)
                return line.section(u' ', 1, 2);
        return QString();
    };
    EXPECT_EQ(at("r15"), "0 330");
    // (721 - 20 - 20) / 2 = 340 wide, so the second column starts at 360.
    EXPECT_EQ(at("r16"), "360 50");
    EXPECT_EQ(at("r30"), "360 330");
    EXPECT_EQ(dump.count("gh 360 30 100 20 group"), 1);
    const qsizetype page2 = dump.indexOf("--- page 2");
    ASSERT_GT(page2, 0);
    EXPECT_EQ(dump.mid(page2, 4), QStringList({"--- page 2", "ph 0 10 100 20 head 2", "gh 0 30 100 20 group",
                                               "d 0 50 100 20 r31"}));
    // The condition changes after r35: the new group's header, once.
    const qsizetype r35 = dump.indexOf("d 0 130 100 20 r35");
    ASSERT_GT(r35, 0);
    EXPECT_EQ(dump.mid(r35 + 1, 2), QStringList({"gh 0 150 100 20 group", "d 0 170 100 20 r36"}));
}

// NEWPAGE twice in a band's script moves two pages on before the band prints;
// CURY set with them places it on the new page.
TEST_F(ReportBuildTest, NewPageRequestsAndCurY)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(3));
    PageBuilder b(addPage(r.report));
    auto &d = b.band("Data", btMasterData, 70, 20, "Items");
    d.Script = QStringList{"if [Items.QTY] = 2 then begin NewPage; NewPage; CurY := 100 end"};
    b.memo("d", 0, 70, 100, 20, "[Items.NAME] [PAGE#]");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 100 20 r1 1", "--- page 2", "--- page 3",
                                      "d 0 100 100 20 r2 3", "d 0 120 100 20 r3 3"}));
}

// A band of three columns that follow one another: three records side by
// side, the fourth below the first; the next band goes below the short row.
TEST_F(ReportBuildTest, BandColumns)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(5));
    PageBuilder b(addPage(r.report));
    auto &d = b.band("Data", btMasterData, 70, 20, "Items");
    d.Columns = 3;
    d.ColumnWidth = 100;
    d.ColumnGap = 10;
    b.memo("d", 0, 70, 100, 20, "[Items.NAME]");
    b.band("Foot", btMasterFooter, 100, 20);
    b.memo("f", 0, 100, 100, 20, "end");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 100 20 r1", "d 110 10 100 20 r2", "d 220 10 100 20 r3",
                                      "d 0 30 100 20 r4", "d 110 30 100 20 r5", "f 0 50 100 20 end"}));
}

// A stretched band taller than a page prints in pieces: its text goes on at
// the top of the next page without repeating a line; the band after it
// starts on a page of its own when it does not fit below.
TEST_F(ReportBuildTest, BandSplitOverPages)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items", flBandStretched);
    QString words;
    for (int i = 1; i <= 70; ++i)
        words += QStringLiteral(" w%1").arg(i);
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]" + words).Flags = flStretched | flWordWrap;
    b.memo("e", 70, 40, 60, 20, "side");
    const QStringList dump = r.build();
    ASSERT_EQ(dump.size(), 12) << dump.join(u'\n').toStdString();
    EXPECT_EQ(dump.filter(QStringLiteral("--- page")).size(), 4);
    QStringList all;
    for (const QString &line : dump)
        if (line.startsWith(QStringLiteral("d ")))
            all << line.section(u' ', 5).split(u'|');
    QStringList expected;
    for (int rec = 1; rec <= 2; ++rec) {
        QStringList w{QStringLiteral("r%1").arg(rec)};
        for (int i = 1; i <= 70; ++i)
            w << QStringLiteral("w%1").arg(i);
        expected << w;
    }
    QStringList got = all.join(u' ').split(u' ');
    EXPECT_EQ(got, expected);
    EXPECT_EQ(dump[1].section(u' ', 0, 3), "d 0 10 60");
    EXPECT_EQ(dump[4].section(u' ', 0, 2), "d 0 10") << "the rest starts at the top of the next page";
}

// An object that cannot be cut and is taller than a whole page is printed
// cut to the page, so the pieces end (it used to move on to the next piece
// without end).
TEST_F(ReportBuildTest, UncuttableObjectTallerThanAPage)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 500, "Items", flBandBreaked);
    b.memo("d", 0, 40, 60, 500, "tall").Flags = 0;
    b.memo("e", 70, 40, 60, 20, "[Items.NAME]");
    b.memo("f", 70, 500, 60, 20, "below");
    // The second record starts below the first one's last piece: what fits
    // there prints there, the tall object goes to the next page.
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 60 339 tall", "e 70 10 60 20 r1", "--- page 2",
                                      "f 70 131 60 20 below", "e 70 151 60 20 r2", "--- page 3",
                                      "d 0 10 60 339 tall", "f 70 272 60 20 below"}));
}

// A subreport whose data runs past the page bottom goes on at the top of the
// next page at the same horizontal place; the band after it starts below
// where the subreport ended.
TEST_F(ReportBuildTest, SubreportOverPages)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    r.add("Sub", {"NAME", "QTY"}, numbered(20));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 30, "Items");
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
    auto sub = std::make_unique<SubReportView>();
    sub->Name = "SR";
    sub->SetBounds(100, 45, 200, 20);
    sub->PageIndex = 1;
    r.report.Pages[0]->Add(std::move(sub));
    PageBuilder s2(addPage(r.report));
    s2.band("SD", btMasterData, 10, 20, "Sub");
    s2.memo("s", 0, 10, 60, 20, "[Sub.NAME]");
    const QStringList dump = r.build();
    QStringList expected{"--- page 1", "d 0 10 60 20 r1"};
    for (int i = 1; i <= 16; ++i)
        expected << QStringLiteral("s 100 %1 60 20 r%2").arg(15 + 20 * (i - 1)).arg(i);
    expected << "--- page 2";
    for (int i = 17; i <= 20; ++i)
        expected << QStringLiteral("s 100 %1 60 20 r%2").arg(10 + 20 * (i - 17)).arg(i);
    expected << "d 0 90 60 20 r2";
    for (int i = 1; i <= 12; ++i)
        expected << QStringLiteral("s 100 %1 60 20 r%2").arg(95 + 20 * (i - 1)).arg(i);
    expected << "--- page 3";
    for (int i = 13; i <= 20; ++i)
        expected << QStringLiteral("s 100 %1 60 20 r%2").arg(10 + 20 * (i - 13)).arg(i);
    EXPECT_EQ(dump, expected);
}

// A second page with PrintToPrevPage goes on on the first page's last
// prepared page, below what it printed.
TEST_F(ReportBuildTest, PrintToPreviousPage)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(3));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
    Page &p2 = addPage(r.report);
    p2.PrintToPrevPage = true;
    PageBuilder b2(p2);
    b2.band("T2", btReportTitle, 10, 20);
    b2.memo("t", 0, 10, 60, 20, "second [PAGE#]");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 60 20 r1", "d 0 30 60 20 r2", "d 0 50 60 20 r3",
                                      "t 0 70 60 20 second 1"}));
}

// A band breaks when its bottom plus the column footer's height passes the
// limit (351); the column footer closes each page.
TEST_F(ReportBuildTest, ColumnFooterRoom)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(20));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
    b.band("CF", btColumnFooter, 100, 30);
    b.memo("cf", 0, 100, 60, 20, "colfoot");
    const QStringList dump = r.build();
    const qsizetype page2 = dump.indexOf("--- page 2");
    ASSERT_GT(page2, 0);
    EXPECT_EQ(dump.mid(page2 - 2, 4), QStringList({"d 0 290 60 20 r15", "cf 0 310 60 20 colfoot", "--- page 2",
                                                   "d 0 10 60 20 r16"}));
    EXPECT_EQ(dump.last(), "cf 0 110 60 20 colfoot");
}

// Masters with details given per master: a user data set whose records end
// after the count of the current master.
struct MasterDetail : Built {
    UserDataset detail;
    MasterDetail(const std::vector<int> &counts)
    {
        std::vector<std::vector<QVariant>> rows;
        for (size_t i = 0; i < counts.size(); ++i)
            rows.push_back({QStringLiteral("m%1").arg(i + 1), double(counts[i])});
        DBDataSet &master = add("M", {"NAME", "N"}, rows);
        detail.Name = "D";
        detail.OnCheckEOF = [&master](Dataset &d, bool &eof) {
            eof = d.RecNo >= master.GetDataSet().fieldByName(u"N").asInteger();
        };
        report.Components.push_back(&detail);
    }
    void layout(quint16 masterFlags)
    {
        PageBuilder b(addPage(report));
        b.band("MH", btMasterHeader, 10, 20);
        b.memo("mh", 0, 10, 60, 20, "head");
        b.band("MB", btMasterData, 40, 20, "M", masterFlags);
        b.memo("m", 0, 40, 60, 20, "[M.NAME]");
        b.band("DB", btDetailData, 70, 20, "D");
        b.memo("d", 20, 70, 60, 20, "[LINE#]");
        b.band("MF", btMasterFooter, 100, 20);
        b.memo("mf", 0, 100, 60, 20, "foot [COUNT(MB)]");
    }
};

TEST_F(ReportBuildTest, EmptySubsets)
{
    struct Case {
        std::vector<int> counts;
        quint16 flags;
        QStringList texts;
    } cases[] = {
        {{0, 2, 0}, 0, {"head", "m2", "1", "2", "foot 1"}},
        {{0, 2, 0}, flBandPrintIfSubsetEmpty, {"head", "m1", "m2", "1", "2", "m3", "foot 3"}},
        {{0, 0}, 0, {}},
    };
    for (const Case &c : cases) {
        MasterDetail r(c.counts);
        r.layout(c.flags);
        QStringList got = texts(r.build());
        got.removeAll(QStringLiteral("--- page 1"));
        EXPECT_EQ(got, c.texts) << c.flags;
    }
}

// Without PrintIfEmpty an empty master source forms no page; with it the
// page is formed with its title.
TEST_F(ReportBuildTest, PrintIfEmpty)
{
    for (const bool printIfEmpty : {false, true}) {
        Built r;
        r.report.PrintIfEmpty = printIfEmpty;
        r.add("Items", {"NAME", "QTY"}, {});
        PageBuilder b(addPage(r.report));
        b.band("T", btReportTitle, 10, 20);
        b.memo("t", 0, 10, 60, 20, "title");
        b.band("Data", btMasterData, 40, 20, "Items");
        b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
        EXPECT_EQ(r.build(), printIfEmpty ? QStringList({"--- page 1", "t 0 10 60 20 title"}) : QStringList())
            << printIfEmpty;
    }
}

// Totals over no rows: MIN stays 1e300 and AVG shows 0; a hidden data band
// still adds its rows.
TEST_F(ReportBuildTest, TotalsOverNoRowsAndHiddenRows)
{
    for (const int rows : {0, 3}) {
        Built r;
        r.add("Items", {"NAME", "QTY"}, numbered(rows));
        PageBuilder b(addPage(r.report));
        auto &data = b.band("Data", btMasterData, 40, 20, "Items");
        data.Visible = false;
        b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
        b.band("S", btReportSummary, 100, 20);
        b.memo("s", 0, 100, 300, 20, "[MIN([Items.QTY],Data,1)] [AVG([Items.QTY],Data,1)] [SUM([Items.QTY],Data,1)] [COUNT(Data,1)] [COUNT(Data)]");
        const QStringList got = texts(r.build());
        EXPECT_EQ(got, QStringList({"--- page 1", rows == 0 ? "1E300 0 0 0 0" : "1 2 6 3 0"})) << rows;
    }
}

// More nested group headers than any fixed list of pending bands holds.
TEST_F(ReportBuildTest, ManyGroupHeaders)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    PageBuilder b(addPage(r.report, 2000, 20000));
    for (int i = 0; i < 120; ++i) {
        b.band(QStringLiteral("G%1").arg(i), btGroupHeader, 10 + 12 * i, 10, "[Items.QTY]");
        b.memo(QStringLiteral("g%1").arg(i), 0, 10 + 12 * i, 60, 10, QStringLiteral("g%1").arg(i));
    }
    b.band("Data", btMasterData, 1500, 10, "Items");
    b.memo("d", 0, 1500, 60, 10, "[Items.NAME]");
    const QStringList got = texts(r.build());
    ASSERT_EQ(got.size(), 1 + 2 * 121) << got.mid(0, 5).join(u',').toStdString();
    EXPECT_EQ(got[1], "g0");
    EXPECT_EQ(got[120], "g119");
    EXPECT_EQ(got[121], "r1");
    EXPECT_EQ(got[242], "r2");
}

// Two passes give every page the page count; one pass shows 0.
TEST_F(ReportBuildTest, TotalPagesInTwoPasses)
{
    for (const bool twoPasses : {false, true}) {
        Built r;
        r.report.DoublePass = twoPasses;
        r.add("Items", {"NAME", "QTY"}, numbered(40));
        PageBuilder b(addPage(r.report));
        b.band("PH", btPageHeader, 10, 20, QString(), flBandOnFirstPage);
        b.memo("ph", 0, 10, 100, 20, "[PAGE#] / [TOTALPAGES]");
        b.band("Data", btMasterData, 40, 20, "Items");
        b.memo("d", 0, 40, 100, 20, "[Items.NAME]");
        const QStringList got = texts(r.build()).filter(QStringLiteral(" / "));
        EXPECT_EQ(got, twoPasses ? QStringList({"1 / 3", "2 / 3", "3 / 3"}) : QStringList({"1 / 0", "2 / 0", "3 / 0"}));
        EXPECT_EQ(r.report.DoublePass, twoPasses);
    }
}

// Multiple mode forms every page once per record of the report's data set,
// into one document.
TEST_F(ReportBuildTest, MultipleMode)
{
    Built r;
    DBDataSet &people = r.add("People", {"NAME", "N"}, {{QStringLiteral("Анна"), 1.0}, {QStringLiteral("Борис"), 2.0}, {QStringLiteral("Вера"), 3.0}});
    r.report.ReportType = TfrReportType::rtMultiple;
    r.report.ReportDataset = &people;
    PageBuilder b(addPage(r.report));
    b.band("T", btReportTitle, 10, 20);
    b.memo("t", 0, 10, 100, 20, "[People.NAME] [PAGE#]");
    EXPECT_EQ(texts(r.build()), QStringList({"--- page 1", "Анна 1", "--- page 2", "Борис 2", "--- page 3", "Вера 3"}));
}

// An expression that cannot be computed stops the build: the composed error
// shows once, the prepared pages are cleared and the result is false.
TEST_F(ReportBuildTest, BuildErrorStopsTheReport)
{
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    Built r;
    r.report.Name = "Отчет1";
    r.add("Items", {"NAME", "QTY"}, numbered(3));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 0, 40, 100, 20, "[Itms.NAME]");
    EXPECT_FALSE(r.report.PrepareReport());
    EXPECT_EQ(r.report.EMFPages->Count(), 0);
    ASSERT_EQ(answers.messages().size(), 1u);
    const QString text = answers.messages()[0].text;
    EXPECT_EQ(answers.messages()[0].type, platform::MsgType::Error);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Возникла ошибка при обработке выражения"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Объект: d"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Документ: Отчет1"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("Переменная не определена: \"ITMS.NAME\""))) << text.toStdString();
}

// The build runs on the template and puts its stored form back: a script
// that changes an object's text leaves the template as it was.
TEST_F(ReportBuildTest, TemplateUnchangedByTheBuild)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    MemoView &m = b.memo("d", 0, 40, 100, 20, "[Items.NAME]");
    m.Script = QStringList{"Memo := 'changed'"};
    QBuffer before;
    before.open(QIODevice::ReadWrite);
    r.report.SaveToStream(before);
    EXPECT_EQ(texts(r.build()), QStringList({"--- page 1", "changed", "changed"}));
    QBuffer after;
    after.open(QIODevice::ReadWrite);
    r.report.SaveToStream(after);
    // The dates at the end are the last change's, written anew by each save.
    EXPECT_EQ(after.data().left(after.data().size() - 16), before.data().left(before.data().size() - 16));
    EXPECT_EQ(r.report.FindObject("d")->Memo, QStringList{"[Items.NAME]"});
}

// A report page's size by name is in units of 5/18 mm; margins read while
// a report runs are the effective ones.
TEST_F(ReportBuildTest, PageProperties)
{
    Page page;
    page.ChangePaper(256, 2100, 2970, -1, 0);
    EXPECT_EQ(page.GetProperty("Width").toInt(), 756);
    EXPECT_EQ(page.GetProperty("HEIGHT").toInt(), 1069);
    page.SetProperty("Width", Variant(360));
    EXPECT_EQ(page.pgWidth, 1000);
    page.SetProperty("StretchToPrintable", Variant(true));
    EXPECT_FALSE(page.UseMargins);
    page.SetProperty("StretchToPrintable", Variant(false));
    page.MarginTop = 0;
    page.SetProperty("Columns", Variant(2));
    EXPECT_EQ(page.ColCount, 2);
    EXPECT_EQ(page.GetProperty("TopMargin").toInt(), 0);
    library().State.DocumentMode = 1;
    EXPECT_EQ(page.GetProperty("TopMargin").toInt(), page.Metrics.OffsetY) << "0 means the printer's offset";
    library().State.DocumentMode = 0;
    page.PageType = 1;
    page.BuildPropertyList();
    EXPECT_TRUE(page.FindProperty("Caption"));
    EXPECT_FALSE(page.FindProperty("LeftMargin"));
    EXPECT_EQ(page.GetProperty("Caption").toString(), "Form");
    EXPECT_EQ(page.GetProperty("Width").toInt(), 380);
}

// The first page ends with its page footer (it has OnLastPage); the second
// page, continuing it, still writes onto it.
TEST_F(ReportBuildTest, ContinuingAPageWhoseFooterPrinted)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
    b.band("PF", btPageFooter, 300, 20, QString(), flBandOnFirstPage | flBandOnLastPage);
    b.memo("pf", 0, 300, 60, 20, "foot [PAGE#]");
    Page &p2 = addPage(r.report);
    p2.PrintToPrevPage = true;
    PageBuilder b2(p2);
    b2.band("T2", btReportTitle, 10, 20);
    b2.memo("t", 0, 10, 60, 20, "second");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 60 20 r1", "d 0 30 60 20 r2", "pf 0 331 60 20 foot 1",
                                      "t 0 50 60 20 second"}));
}

// A dialog page whose script sets the modal result to cancel stops the build
// before any report page is formed.
TEST_F(ReportBuildTest, CancelledDialogPage)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    auto dialog = std::make_unique<Page>();
    dialog->PageType = 1;
    dialog->Script = QStringList{"ModalResult := mrCancel"};
    dialog->Add(std::make_unique<MemoView>());
    r.report.Pages.push_back(std::move(dialog));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
    EXPECT_FALSE(r.report.PrepareReport());
    EXPECT_EQ(r.report.EMFPages->Count(), 0);
}

// Cross-tab columns: a cell for every record of the column source beside
// the row's own objects; columns past the right margin go on a next page.
TEST_F(ReportBuildTest, CrossColumns)
{
    Built r;
    r.add("Rows", {"NAME", "QTY"}, numbered(2));
    r.add("Cols", {"NAME", "QTY"}, numbered(4));
    PageBuilder b(addPage(r.report, 800, 1000));
    b.band("Data", btMasterData, 40, 20, "Rows");
    b.memo("row", 0, 40, 80, 20, "[Rows.NAME]");
    auto &cross = b.band("Col", btCrossData, 0, 0, "Cols");
    cross.Left = 100;
    cross.Width = 60;
    cross.Top = 0;
    cross.Height = 300;
    b.memo("cell", 100, 40, 60, 20, "[Rows.NAME]x[Cols.NAME]");
    // 288 units wide, right margin 278: the third column goes on a second
    // page from the left margin, for every row.
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "row 0 10 80 20 r1", "cell 100 10 60 20 r1xr1",
                                      "cell 160 10 60 20 r1xr2", "row 0 30 80 20 r2", "cell 100 30 60 20 r2xr1",
                                      "cell 160 30 60 20 r2xr2", "--- page 2", "cell 10 10 60 20 r1xr3",
                                      "cell 70 10 60 20 r1xr4", "cell 10 30 60 20 r2xr3", "cell 70 30 60 20 r2xr4"}));
}

// Two bands after a short row of band columns: only the first goes below
// the row, the second follows it.
TEST_F(ReportBuildTest, BandsAfterAShortRow)
{
    Built r;
    r.add("Items", {"NAME", "QTY"}, numbered(2));
    PageBuilder b(addPage(r.report));
    auto &d = b.band("Data", btMasterData, 70, 20, "Items");
    d.Columns = 3;
    d.ColumnWidth = 100;
    d.ColumnGap = 10;
    b.memo("d", 0, 70, 100, 20, "[Items.NAME]");
    b.band("Foot", btMasterFooter, 100, 20);
    b.memo("f", 0, 100, 100, 20, "end");
    b.band("Sum", btReportSummary, 130, 20);
    b.memo("s", 0, 130, 100, 20, "sum");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 100 20 r1", "d 110 10 100 20 r2", "f 0 30 100 20 end",
                                      "s 0 50 100 20 sum"}));
}

// The progress window's lines: the first pass, then the pages of the final
// pass with the page count.
TEST_F(ReportBuildTest, ProgressLines)
{
    struct Windows : ReportWindows {
        QStringList lines;
        QString caption;
        bool RunProgress(const QString &c, const QString &line, const std::function<void()> &work) override
        {
            caption = c;
            lines << line;
            work();
            return true;
        }
        void SetProgressLine(const QString &line) override { lines << line; }
        void CloseProgress(int result) override { lines << QStringLiteral("close %1").arg(result); }
    } windows;
    Built r;
    r.report.ShowProgress = true;
    r.report.Windows = &windows;
    r.report.Title = "Список";
    r.report.DoublePass = true;
    r.add("Items", {"NAME", "QTY"}, numbered(20));
    PageBuilder b(addPage(r.report));
    b.band("Data", btMasterData, 40, 20, "Items");
    b.memo("d", 0, 40, 60, 20, "[Items.NAME]");
    ASSERT_TRUE(r.report.PrepareReport());
    EXPECT_EQ(windows.caption, "Подготовка отчета - Список");
    EXPECT_EQ(windows.lines.first(), "Выполняется 1-й проход:  1");
    EXPECT_TRUE(windows.lines.contains("Формируется страница:  2 из 2")) << windows.lines.join(u'/').toStdString();
    EXPECT_EQ(windows.lines.last(), "close 1");
}

} // namespace

// An object aligned to the bottom of a split band lower than itself starts
// above the first piece: it prints in parts from the top of each piece, and
// the pieces end (it was never printed, with new pages without end).
TEST_F(ReportBuildTest, BottomAlignedObjectAboveTheFirstPiece)
{
    Built r;
    PageBuilder b(addPage(r.report));
    b.band("T", btReportTitle, 40, 500, QString(), flBandBreaked);
    MemoView &tall = b.memo("d", 0, 40, 60, 600, "tall");
    tall.Flags = 0;
    tall.BandAlign = baBottom;
    b.memo("e", 70, 40, 60, 20, "top");
    EXPECT_EQ(r.build(), QStringList({"--- page 1", "d 0 10 60 340 tall", "e 70 10 60 20 top", "--- page 2",
                                      "d 0 10 60 161 "}));
}

// Averages count the rows of their own totals: another band's total that
// prints and resets in between (a page footer, an inner group's footer)
// leaves them alone.
TEST_F(ReportBuildTest, AveragesCountTheirOwnRows)
{
    struct Case {
        const char *name;
        std::vector<double> values;
        int groupSize;
        int pageHeight; // tenths of a millimetre: the page footer prints between the groups
        QStringList expected;
    } cases[] = {
        {"groups of 10 over pages", {}, 10, 1000,
         {"g 5.5", "g 15.5", "g 25.5", "m 15.5 465 30", "s 15.5"}},
        {"one group of five", {2, 5, 9, 12, 18}, 5, 3000, {"g 9.2", "m 9.2 46 5", "s 9.2"}},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.values.empty())
            for (int i = 1; i <= 30; ++i)
                c.values.push_back(i);
        std::vector<std::vector<QVariant>> rows;
        for (double v : c.values)
            rows.push_back({QStringLiteral("r"), v, double((rows.size()) / c.groupSize)});
        Built r;
        r.add("Items", {"NAME", "QTY", "GRP"}, rows);
        PageBuilder b(addPage(r.report, 2000, c.pageHeight));
        b.band("G", btGroupHeader, 20, 10, "[Items.GRP]");
        b.band("Data", btMasterData, 40, 20, "Items");
        b.memo("d", 0, 40, 60, 20, "[Items.QTY]");
        b.band("GF", btGroupFooter, 70, 10);
        b.memo("g", 0, 70, 200, 10, "g [AVG([Items.QTY])]");
        b.band("MF", btMasterFooter, 90, 10);
        b.memo("m", 0, 90, 200, 10, "m [AVG([Items.QTY])] [SUM([Items.QTY])] [COUNT()]");
        b.band("S", btReportSummary, 110, 10);
        b.memo("s", 0, 110, 200, 10, "s [AVG([Items.QTY])]");
        b.band("PF", btPageFooter, 300, 10, QString(), flBandOnFirstPage | flBandOnLastPage);
        b.memo("p", 0, 300, 200, 10, "p [SUM([Items.QTY])]");
        QStringList got;
        for (const QString &t : texts(r.build()))
            if (t.startsWith(u'g') || t.startsWith(u'm') || t.startsWith(u's'))
                got << t;
        EXPECT_EQ(got, c.expected);
    }
}

// A total that names no band belongs to the data band its footer closes:
// with two master lists on a page, each footer sums its own list.
TEST_F(ReportBuildTest, EachListsFooterTotalsItsOwnList)
{
    Built r;
    r.add("A", {"NAME", "QTY"}, {{QStringLiteral("a1"), 1.0}, {QStringLiteral("a2"), 2.0}});
    r.add("B", {"NAME", "QTY"}, {{QStringLiteral("b1"), 10.0}, {QStringLiteral("b2"), 20.0}, {QStringLiteral("b3"), 30.0}});
    PageBuilder b(addPage(r.report));
    b.band("DA", btMasterData, 20, 10, "A");
    b.band("FA", btMasterFooter, 40, 10);
    b.memo("fa", 0, 40, 200, 10, "A [SUM([A.QTY])] [COUNT()] [AVG([A.QTY])] [SUM([A.QTY],DA)]");
    b.band("DB", btMasterData, 60, 10, "B");
    b.band("FB", btMasterFooter, 80, 10);
    b.memo("fb", 0, 80, 200, 10, "B [SUM([B.QTY])] [COUNT()] [AVG([B.QTY])] [SUM([B.QTY],DB)]");
    EXPECT_EQ(texts(r.build()), QStringList({"--- page 1", "A 3 2 1.5 3", "B 60 3 20 60"}));
}

// A band taller than a page on a page printed only as a subreport goes on
// on the next page in pieces, below one another (its pieces were printed
// over one another on one page).
TEST_F(ReportBuildTest, SplitBandInASubreport)
{
    for (const bool breaked : {false, true}) {
        SCOPED_TRACE(breaked ? "split switch on" : "split switch off");
        Built r;
        PageBuilder b(addPage(r.report));
        b.band("T", btReportTitle, 10, 30);
        b.memo("t", 0, 10, 60, 20, "title");
        auto sub = std::make_unique<SubReportView>();
        sub->Name = "SR";
        sub->SetBounds(100, 15, 200, 20);
        sub->PageIndex = 1;
        r.report.Pages[0]->Add(std::move(sub));
        b.band("S", btReportSummary, 60, 20);
        b.memo("s", 0, 60, 60, 20, "after");
        PageBuilder s2(addPage(r.report));
        s2.band("SD", btMasterData, 10, 600, "1", breaked ? flBandBreaked : 0);
        s2.memo("top", 0, 10, 60, 20, "top").Flags = 0;
        s2.memo("middle", 0, 300, 60, 20, "middle").Flags = 0;
        s2.memo("bottom", 0, 580, 60, 20, "bottom").Flags = 0;
        const QStringList dump = r.build();
        // Every text once, on pages in order of its place in the band, and
        // never above one printed before it on the same page.
        QStringList order;
        int page = 0, lastY = -1;
        for (const QString &line : dump) {
            if (line.startsWith(QStringLiteral("---"))) {
                ++page;
                lastY = -1;
                continue;
            }
            const int y = line.section(u' ', 2, 2).toInt();
            EXPECT_GE(y, lastY) << line.toStdString() << "\n" << dump.join(u'\n').toStdString();
            lastY = y;
            order << QStringLiteral("%1:%2").arg(page).arg(line.section(u' ', 5));
        }
        ASSERT_EQ(order.size(), 5) << dump.join(u'\n').toStdString();
        EXPECT_EQ(order[0], "1:title");
        EXPECT_TRUE(order[1].endsWith(":top"));
        EXPECT_TRUE(order[2].endsWith(":middle"));
        EXPECT_TRUE(order[3].endsWith(":bottom"));
        EXPECT_TRUE(order[4].endsWith(":after"));
        EXPECT_GT(dump.filter(QStringLiteral("--- page")).size(), 1);
        EXPECT_NE(order[1].section(u':', 0, 0), order[3].section(u':', 0, 0)) << "the band goes on on another page";
    }
}

// A band's source that is a count but no number stops the build with the
// number it could not read and the band's name; a number prints that many
// rows.
TEST_F(ReportBuildTest, ACountThatIsNoNumberStopsTheBuild)
{
    const struct {
        const char *source;
        const char *error; // empty: built
    } cases[] = {
        {"3", ""},
        {"99999999999", "'99999999999' is not a valid integer value"},
        {"5abc", "'5abc' is not a valid integer value"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.source);
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        Built r;
        PageBuilder b(addPage(r.report));
        b.band("Data", btMasterData, 40, 20, QString::fromLatin1(c.source));
        b.memo("d", 0, 40, 60, 20, "row [LINE#]");
        const bool built = r.report.PrepareReport();
        if (!*c.error) {
            EXPECT_TRUE(built);
            EXPECT_EQ(texts(reportDump(r.report)), QStringList({"--- page 1", "row 1", "row 2", "row 3"}));
            EXPECT_TRUE(answers.messages().empty());
            continue;
        }
        EXPECT_FALSE(built);
        EXPECT_EQ(r.report.EMFPages->Count(), 0);
        ASSERT_EQ(answers.messages().size(), 1u);
        const QString text = answers.messages()[0].text;
        EXPECT_TRUE(text.contains(QStringLiteral("Объект: Data"))) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(c.error))) << text.toStdString();
    }
}
