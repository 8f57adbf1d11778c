// Building reports: bands over data sets into prepared pages, compared with
// the objects each page should hold (name, position, size, text).
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/Service.h"

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class ReportBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        RegisterFunctionLibrary(QStringLiteral("TTestAggregates"), [] { return std::make_unique<AggregateLibrary>(); });
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> pinMeasuring{measuring};
};

// A report over tables in memory; each table is a data set of the report.
struct Built {
    TfrReport report;
    std::vector<std::unique_ptr<db::MemoryTable>> tables;
    std::vector<std::unique_ptr<DBDataSet>> sources;
    Built() { report.ShowProgress = false; }
    DBDataSet &add(const QString &name, const QStringList &fields, const std::vector<std::vector<QVariant>> &rows)
    {
        tables.push_back(table(fields, rows));
        sources.push_back(source(name, *tables.back()));
        report.Components.push_back(sources.back().get());
        return *sources.back();
    }
    QStringList build()
    {
        if (!report.PrepareReport())
            return {QStringLiteral("not built: ") + library().State.ClassErrorText};
        return reportDump(report);
    }
};

void print(const QStringList &lines)
{
    for (const QString &l : lines)
        std::cout << l.toStdString() << "\n";
}

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

} // namespace
