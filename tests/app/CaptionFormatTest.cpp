// The number format of measurement captions.

#include "app/RenderSupport.h"

#include "platform/Environment.h"

#include <gtest/gtest.h>

using namespace app::render;

TEST(RenderRules, CaptionNumberFormats)
{
    const platform::ScopedDecimalSeparator comma(u',');
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
    const platform::ScopedDecimalSeparator point(u'.');
    EXPECT_EQ(formatNumber(QStringLiteral("#,##0.00"), 12345.678), QStringLiteral("12,345.68"));
}
