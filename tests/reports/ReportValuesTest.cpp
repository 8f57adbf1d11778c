// The report's answers while it builds: display formats, inline formats of
// bracketed expressions, the order names are looked up in and the report
// functions.
#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/Environment.h"
#include "platform/Service.h"

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class ReportValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        library().State.CurrentReport = library().State.MasterReport = &report;
        view.Name = "Memo1";
        view.Memo = QStringList{"text"};
        library().State.CurrentView = &view;
        report.Host(); // the handlers are the report's while it builds
    }
    void TearDown() override { resetLibrary(); }
    QString expand(const QString &expression)
    {
        BuildState &state = library().State;
        state.CurrentReport = state.MasterReport = &report;
        state.CurrentView = &view;
        library().ReportParser.OnGetValue = [this](const QString &n, Variant &v) { report.GetVariableValue(n, v); };
        library().ReportParser.OnFunction = [this](const QString &n, const QString &a, const QString &b,
                                                   const QString &c, Variant &v) { report.DoFunction(n, a, b, c, v); };
        return report.ExpandVariable(expression);
    }
    TfrReport report;
    MemoView view;
    platform::ScopedService<platform::DecimalSeparator> pinSeparator{platform::DecimalSeparator(u'.')};
};

int word(int category, int kind, int decimals = 0, char separator = 0)
{
    return (category << 24) | (kind << 16) | (decimals << 8) | static_cast<unsigned char>(separator);
}

TEST_F(ReportValuesTest, FormatValue)
{
    const double date = 45000.75; // 15.03.2023 18:00
    const struct {
        Variant value;
        int format;
        QString text;
        QString expected;
    } cases[] = {
        {Variant(1234.5), word(1, 0, 2, ','), {}, "1234,5"},
        {Variant(1234.5), word(1, 1, 2, ','), {}, "1234,50"},
        // Beside a decimal comma the thousands are parted by a no-break space.
        {Variant(1234.5), word(1, 2, 2, ','), {}, QStringLiteral("1\u00A0234,5")},
        {Variant(1234.5), word(1, 3, 2, '.'), {}, "1,234.50"},
        {Variant(1234.5), word(1, 4, 0, 0), QStringLiteral("#,##0.000"), "1,234.500"},
        {Variant::date(date), word(2, 0), {}, "15.03.23"},
        {Variant::date(date), word(2, 1), {}, "15.03.2023"},
        {Variant::date(date), word(2, 3), {}, "15 Март 2023 г."},
        {Variant::date(date), word(2, 4), QStringLiteral("yyyy-mm-dd"), "2023-03-15"},
        {Variant::date(date), word(3, 0), {}, "18:00:00"},
        {Variant::date(date), word(3, 3), {}, "18:00"},
        {Variant(true), word(4, 1), {}, "Да"},
        {Variant(false), word(4, 1), {}, "Нет"},
        {Variant(true), word(4, 2), {}, "x"},
        {Variant(false), word(4, 4), QStringLiteral("нет;да"), "нет"},
        {Variant(QStringLiteral("  ")), word(1, 1, 2, ','), {}, ""},
        {Variant::null(), word(1, 1, 2, ','), {}, ""},
        {Variant(QStringLiteral("abc")), word(1, 1, 2, ','), {}, "abc"},
        {Variant(7), 0, {}, "7"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TfrReport::FormatValue(c.value, c.format, c.text), c.expected) << c.expected.toStdString();
    EXPECT_EQ(platform::decimalSeparator(), u'.') << "the separator is put back";
}

TEST_F(ReportValuesTest, InlineFormats)
{
    library().ReportVariables.SetVariable("Price", Variant(1234.5));
    library().ReportVariables.SetVariable("Day", Variant::date(45000.0));
    library().ReportVariables.SetVariable("Flag", Variant(true));
    const struct {
        QString expression;
        QString expected;
    } cases[] = {
        {"Price #N10,2", "1234,50"},
        {"Price #N10.2", "1234.50"},
        {"Price #10-3", "1234-500"},
        // A fixed format without a separator: no decimals.
        {"Price #N5", "1235"},
        {"Price #N#,##0.00", "1,234.50"},
        {"Day #Ddd.mm.yyyy", "15.03.2023"},
        {"Flag #Bno;yes", "yes"},
        {"Price", "1234.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(expand(c.expression), c.expected) << c.expression.toStdString();
}

TEST_F(ReportValuesTest, HideZeros)
{
    view.Flags = flHideZeros;
    library().ReportVariables.SetVariable("Zero", Variant(0));
    library().ReportVariables.SetVariable("ZeroText", Variant(QStringLiteral("0")));
    EXPECT_EQ(expand("Zero"), "");
    EXPECT_EQ(expand("ZeroText"), "0");
}

TEST_F(ReportValuesTest, LookupOrder)
{
    library().ReportVariables.SetVariable("clRed", Variant(5));
    EXPECT_EQ(expand("clRed"), "5") << "report variables come before constants";
    report.OnGetValue = [](const QString &name, Variant &value) {
        if (name == u"clRed")
            value = Variant(QStringLiteral("event"));
    };
    EXPECT_EQ(expand("clRed"), "event") << "the event comes first";
    EXPECT_EQ(expand("clBlue"), "16711680");
    EXPECT_EQ(expand("Name"), "Memo1") << "a property of the current object";
    EXPECT_EQ(expand("2 + 3"), "5") << "a name that is an expression";
    EXPECT_THROW(expand("Nothing"), ParserError);
}

TEST_F(ReportValuesTest, Functions)
{
    QStringList seen;
    report.OnUserFunction = [&seen](const QString &name, const QString &, const QString &, const QString &, Variant &) {
        seen << name;
    };
    TfrBand band(btMasterData, nullptr);
    library().State.CurrentBand = &band;
    expand("SETARRAY(A, 2, 5)");
    EXPECT_EQ(library().ReportVariables.GetVariable("Arr_A_2").toInt(), 5);
    EXPECT_EQ(expand("GETARRAY(A, 2)"), "5");
    library().ReportVariables.SetVariable("Counter", Variant(1));
    expand("INC(Counter)");
    EXPECT_EQ(library().ReportVariables.GetVariable("Counter").toInt(), 2);
    EXPECT_THROW(expand("INC(Unknown)"), ParserError);
    Variant result;
    report.DoFunction("NEWPAGE", {}, {}, {}, result);
    report.DoFunction("NEWCOLUMN", {}, {}, {}, result);
    EXPECT_EQ(band.NewPageRequests, 1);
    EXPECT_EQ(band.NewColumnRequests, 1);
    EXPECT_TRUE(seen.contains("NEWPAGE")) << "the event also sees what the engine answered";
    report.DoFunction("STOPREPORT", {}, {}, {}, result);
    EXPECT_TRUE(report.Terminated);
    library().State.CurrentBand = nullptr;
}

} // namespace
