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

TEST_F(ReportBuildTest, Smoke)
{
    TfrReport report;
    report.ShowProgress = false;
    auto data = table({"NAME", "QTY"}, {{QStringLiteral("a"), 1.0}, {QStringLiteral("b"), 2.0}, {QStringLiteral("c"), 4.0}});
    auto src = source("Items", *data);
    report.Components.push_back(src.get());
    Page &page = addPage(report);
    PageBuilder b(page);
    b.band("Title", btReportTitle, 20, 20);
    b.memo("T", 20, 22, 200, 16, "Список");
    b.band("Data", btMasterData, 60, 20, "Items");
    b.memo("N", 20, 62, 100, 16, "[Items.NAME]");
    b.memo("Q", 140, 62, 100, 16, "[Items.QTY]");
    b.band("Foot", btMasterFooter, 100, 20);
    b.memo("S", 20, 102, 200, 16, "[SUM([Items.QTY])] [COUNT(Data)] [AVG([Items.QTY])]");
    ASSERT_TRUE(report.PrepareReport()) << library().State.ClassErrorText.toStdString();
    for (const QString &l : reportDump(report))
        std::cout << l.toStdString() << "\n";
}

} // namespace
