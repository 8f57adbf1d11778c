#include "platform/Environment.h"
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

using namespace platform;

namespace {

// Every case runs under a comma and under a point separator; "#" in an
// expected text stands for the separator of the run.
class NumberTextUnderSeparator : public ::testing::TestWithParam<char16_t> {
protected:
    void SetUp() override { pin_.emplace(QChar(GetParam())); }
    std::string local(const char *pattern) const
    {
        std::string s(pattern);
        for (char &c : s)
            if (c == '#')
                c = static_cast<char>(GetParam());
        return s;
    }
    QString localText(const char *pattern) const { return QString::fromStdString(local(pattern)); }
private:
    std::optional<ScopedService<DecimalSeparator>> pin_;
};

std::string separatorName(const ::testing::TestParamInfo<char16_t> &info)
{
    return info.param == u',' ? "Comma" : "Point";
}

} // namespace

TEST_P(NumberTextUnderSeparator, GeneralFloatText)
{
    const struct { double value; const char *text; } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {100, "100"},
        {-1.5, "-1#5"},
        {123.5, "123#5"},
        {1.0 / 3, "0#333333333333333"},
        {2.0 / 3, "0#666666666666667"},
        {0.1 + 0.2, "0#3"},
        {0.0001, "0#0001"},
        // the exponent form starts below 0.00001
        {0.00001, "0#00001"},
        {0.0000099, "9#9E-6"},
        {0.000001, "1E-6"},
        {1.5e-6, "1#5E-6"},
        {-2.5e-7, "-2#5E-7"},
        {5e-324, "4#94065645841247E-324"},
        // ... and beyond 15 integer digits
        {999999999999999, "999999999999999"},
        {123456789012345.6, "123456789012346"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},
        {1e20, "1E20"},
        {123456789012345678.0, "1#23456789012346E17"},
        {-1.7976931348623157e308, "-1#79769313486232E308"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(floatToStr(c.value).toStdString(), local(c.text)) << c.value;
    EXPECT_EQ(floatToStr(std::numeric_limits<double>::quiet_NaN()), u"NAN");
    EXPECT_EQ(floatToStr(std::numeric_limits<double>::infinity()), u"INF");
    EXPECT_EQ(floatToStr(-std::numeric_limits<double>::infinity()), u"-INF");
}

TEST_P(NumberTextUnderSeparator, StrictConversionReadsNumbers)
{
    const struct { const char *text; double value; } cases[] = {
        {"12#5", 12.5}, {"-0#5", -0.5}, {"#5", 0.5}, {"5#", 5},  {"+3", 3},
        {" 7\t", 7},    {"1E3", 1000},  {"1e-2", 0.01}, {"2#5E+2", 250}, {"1E-400", 0},
        {"0#1", 0.1},   {"123456789012345678", 123456789012345678.0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(strToFloat(localText(c.text)), c.value) << c.text;
    // Round trip of the general text.
    for (double v : {1.0 / 3, 1e-7, 6.02214076e23, -1234.5678})
        EXPECT_NEAR(strToFloat(floatToStr(v)), v, std::fabs(v) * 1e-14);
}

TEST_P(NumberTextUnderSeparator, StrictConversionRefusesOtherText)
{
    const char *cases[] = {"", " ", "#", "-#", "-", "abc", "1#2#3", "1E", "1E+", "--1", "1 2", "E5", "1E400", "-1E400"};
    for (const char *text : cases)
        EXPECT_THROW(strToFloat(localText(text)), ConvertError) << text;
    // The separator not in use is refused as any other character.
    EXPECT_THROW(strToFloat(GetParam() == u',' ? u"1.5" : u"1,5"), ConvertError);
    try {
        strToFloat(localText("#"));
        FAIL() << "no error";
    } catch (const ConvertError &e) {
        EXPECT_EQ(e.message().toStdString(), local("'#' is not a valid floating point value"));
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, NumberTextUnderSeparator, ::testing::Values(u',', u'.'), separatorName);

TEST(NumberFormats, DigitsGroupsSectionsAndText)
{
    const ScopedService<DecimalSeparator> comma(u',');
    const struct {
        const char *format;
        double value;
        const char *text;
    } cases[] = {
        {"0.00", 0.5, "0,50"},
        {"0.00", 1.234, "1,23"},
        {"#.##", 0.5, ",5"},
        {"0.##", 2, "2"},
        {"0.0#", 2.105, "2,1"},
        {"000", 7, "007"},
        {"0", -3.4, "-3"},
        {"0", -0.2, "0"},
        {"#,##0.0", 1234567.89, "1\u00A0234\u00A0567,9"},
        {"0.00 га", 1.5, "1,50 га"},
        {"S = 0.0", 12.34, "S = 12,3"},
        {"\"кв.м\" 0", 12, "кв.м 12"},
        {"0.0;(0.0)", -2.5, "(2,5)"},
        {"0.0;-0.0;ноль", 0, "ноль"},
        {"", 2.5, "2,5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text)) << c.format;
    const ScopedService<DecimalSeparator> point(u'.');
    EXPECT_EQ(formatNumber(QStringLiteral("#,##0.00"), 12345.678), QStringLiteral("12,345.68"));
}
