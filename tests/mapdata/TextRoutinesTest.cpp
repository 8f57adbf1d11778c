#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <optional>

using testsupport::TempFolder;

namespace {

QString q(const char *utf8) { return QString::fromUtf8(utf8); }

// Every table runs under a comma and under a point separator; "#" in an
// expected text stands for the separator of the run.
class NumberTextRoutines : public ::testing::TestWithParam<char16_t> {
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
private:
    std::optional<platform::ScopedService<platform::DecimalSeparator>> pin_;
};

std::string separatorName(const ::testing::TestParamInfo<char16_t> &info)
{
    return info.param == u',' ? "Comma" : "Point";
}

} // namespace

TEST_P(NumberTextRoutines, TextToFloatReadsNumberTextTolerantly)
{
    const struct { const char *text; double def; double value; } cases[] = {
        {" 12,5 m", 0, 12.5},
        {"12.5", 0, 12.5},
        {"1.234,5", 0, 1.2345}, // the first separator counts, later ones go
        {"1 500,25", 0, 1500.25},
        {"abc", 7, 7},
        {"", 7, 7},
        {" \t\r\n", 7, 7},
        {"-", 7, 0},
        {"- 7", 0, -7},
        {"x-5", 0, -5}, // the minus is first once the x is gone
        {"5-3", 0, 53},
        {"1e3", 0, 13},
        {",5", 0, 0.5},
        {"-.5", 0, -0.5},
        {"5,", 0, 5},
        {"\x01 3 \x02", 0, 3},
        {"12,3\xC2\xB0", 0, 12.3}, // 12,3°
        {"0,1", 0, 0.1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VykFunctions::TextToFloat(q(c.text), c.def), c.value) << c.text;
        EXPECT_EQ(MapFunctions::TextToFloat(q(c.text), c.def), c.value) << c.text;
    }
}

TEST_P(NumberTextRoutines, TextToFloatRaisesOnALoneSeparator)
{
    // What callers must catch: platform::ConvertError.
    for (const char *text : {",", ".", "-,", "-.", " , ", "a.b", "-x,"}) {
        EXPECT_THROW(VykFunctions::TextToFloat(q(text), 0), platform::ConvertError) << text;
        EXPECT_THROW(MapFunctions::TextToFloat(q(text), 0), platform::ConvertError) << text;
        EXPECT_THROW(MapFunctions::TextToInt(q(text)), platform::ConvertError) << text;
        // The dropping twin never sees a separator.
        EXPECT_EQ(VykFunctions::TextToInt(q(text)), 0) << text;
    }
    // Beyond the double range.
    const QString huge = QStringLiteral("1") + QString(400, u'0');
    EXPECT_THROW(VykFunctions::TextToInt(huge), platform::ConvertError);
    EXPECT_THROW(MapFunctions::TextToFloat(huge, 0), platform::ConvertError);
    try {
        MapFunctions::TextToFloat(QStringLiteral("-,"), 0);
        FAIL() << "no error";
    } catch (const platform::ConvertError &e) {
        EXPECT_EQ(e.message().toStdString(), local("'-#' is not a valid floating point value"));
    }
}

TEST_P(NumberTextRoutines, IntegerTwinsDiffer)
{
    const struct { const char *text; std::int32_t vyk; std::int32_t map; } cases[] = {
        {"12.7", 127, 13},
        {"12,7", 127, 13},
        {"2.5", 25, 2},
        {"3.5", 35, 4},
        {"-2.5", -25, -2},
        {"", 0, 0},
        {"  ", 0, 0},
        {"-", 0, 0},
        {"abc", 0, 0},
        {"1 500", 1500, 1500},
        {"1e3", 13, 13},
        {"-12", -12, -12},
        // the rounded 64-bit value reduced to its low 32 bits
        {"3000000000", -1294967296, -1294967296},
        {"4294967297", 1, 1},
        {"-2147483649", 2147483647, 2147483647},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VykFunctions::TextToInt(q(c.text)), c.vyk) << c.text;
        EXPECT_EQ(MapFunctions::TextToInt(q(c.text)), c.map) << c.text;
    }
}

TEST_P(NumberTextRoutines, TextToDigits)
{
    const struct { const char *text; const char *digits; } cases[] = {
        {"a-1b2", "-12"}, {"x", "0"}, {"", "0"}, {"-", "-"}, {" 1,5 ", "15"}, {"5-3", "53"}, {"--7", "-7"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VykFunctions::TextToDigits(q(c.text)).toStdString(), c.digits) << c.text;
        EXPECT_EQ(MapFunctions::TextToDigits(q(c.text)).toStdString(), c.digits) << c.text;
    }
}

TEST_P(NumberTextRoutines, FloatToTextDotWritesAPoint)
{
    const struct { double value; const char *text; } cases[] = {
        {0.5, "0.5"}, {0.000001, "1E-6"}, {1.5e-6, "1.5E-6"}, {-123.25, "-123.25"}, {42, "42"}, {1e20, "1E20"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(VykFunctions::FloatToTextDot(c.value).toStdString(), c.text) << c.value;
        EXPECT_EQ(MapFunctions::FloatToTextDot(c.value).toStdString(), c.text) << c.value;
    }
}

TEST_P(NumberTextRoutines, RoundValue)
{
    const struct { double value; int mode; int decimals; double number; const char *text; } cases[] = {
        {3.14159, 2, 0, 3.14, "3#14"},
        {7, 2, 5, 7, "7#00"},
        {3.14159, 1, 0, 3.142, "3#142"},
        {2.5, 0, 2, 2.5, "2#50"},
        {3, 0, 2, 3, "3#00"},
        {0.125, 2, 0, 0.12, "0#12"}, // halves to the even neighbour
        {0.375, 2, 0, 0.38, "0#38"},
        // only the fraction is rounded: with no decimals a half is always cut
        {2.5, 0, 0, 2, "2"},
        {3.5, 0, 0, 3, "3"},
        {3.6, 0, 0, 4, "4"},
        {-2.345, 0, 1, -2.3, "-2#3"},
        {12.3456, 7, 1, 12.3, "12#3"}, // other modes take the given decimals
        // the exponent form is not padded: "1E20#00" would read back as 120
        {1e20, 2, 0, 1e20, "1E20"},
    };
    for (const auto &c : cases) {
        const QVariant number = MapFunctions::RoundValue(c.value, c.mode, c.decimals, false);
        EXPECT_EQ(number.typeId(), QMetaType::Double);
        EXPECT_DOUBLE_EQ(number.toDouble(), c.number) << c.value << " mode " << c.mode;
        const QVariant text = MapFunctions::RoundValue(c.value, c.mode, c.decimals, true);
        EXPECT_EQ(text.typeId(), QMetaType::QString);
        EXPECT_EQ(text.toString().toStdString(), local(c.text)) << c.value << " mode " << c.mode;
    }
}

TEST_P(NumberTextRoutines, TextToFieldValue)
{
    using MapFunctions::FieldKind;
    const struct { const char *text; FieldKind kind; QVariant value; } cases[] = {
        {"  TRUE ", FieldKind::Boolean, true},
        {"1", FieldKind::Boolean, true},
        {"yes", FieldKind::Boolean, false},
        {"", FieldKind::Boolean, false},
        {"1,5", FieldKind::Integer, 15},
        {"-12.7x", FieldKind::SmallInt, -127},
        {"3000000000", FieldKind::LargeInt, -1294967296},
        {"7", FieldKind::Word, 7},
        {"1,5", FieldKind::Float, 1.5},
        {"2.25", FieldKind::Currency, 2.25},
        {" a b ", FieldKind::String, QStringLiteral(" a b ")},
        {"", FieldKind::Memo, QString()},
        {"x", FieldKind::WideString, QStringLiteral("x")},
    };
    for (const auto &c : cases) {
        const QVariant v = MapFunctions::TextToFieldValue(q(c.text), c.kind);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(v.typeId(), c.value.typeId()) << c.text;
    }
    // Blank numeric text and unknown kinds give null.
    for (const auto &[text, kind] : {std::pair{"", FieldKind::Float}, std::pair{"  ", FieldKind::Integer},
                                     std::pair{"", FieldKind::LargeInt}, std::pair{"5", FieldKind::Other}})
        EXPECT_TRUE(MapFunctions::TextToFieldValue(q(text), kind).isNull()) << text;
    EXPECT_THROW(MapFunctions::TextToFieldValue(QStringLiteral(","), FieldKind::Float), platform::ConvertError);
}

INSTANTIATE_TEST_SUITE_P(Separators, NumberTextRoutines, ::testing::Values(u',', u'.'), separatorName);

TEST(NumberTextRoutinesOtherSeparator, AnyOtherSeparatorRefusesSeparatedText)
{
    platform::ScopedService<platform::DecimalSeparator> pin(QChar(0x066B)); // Arabic decimal separator
    EXPECT_THROW(VykFunctions::TextToFloat(QStringLiteral("12,5"), 0), platform::ConvertError);
    EXPECT_THROW(MapFunctions::TextToInt(QStringLiteral("12.5")), platform::ConvertError);
    EXPECT_EQ(MapFunctions::TextToFloat(QStringLiteral("125 m"), 0), 125);
    EXPECT_EQ(VykFunctions::TextToInt(QStringLiteral("12.5")), 125);
}

TEST(TextRoutines, SplitPair)
{
    const struct { const char *text; const char *sep; const char *key; const char *value; } cases[] = {
        {"Name = Road", "=", "Name", "Road"},
        {"Road", "=", "Road", ""},
        {"  Road  ", "=", "  Road  ", ""}, // without the separator the text stays whole
        {"a=b=c", "=", "a", "b=c"},
        {"=x", "=", "", "x"},
        {"layer.shp", ".", "layer", "shp"},
        {"a=b", "", "a=b", ""},
    };
    for (const auto &c : cases) {
        const auto pair = MapFunctions::SplitPair(q(c.text), q(c.sep));
        EXPECT_EQ(pair.Key.toStdString(), c.key) << c.text;
        EXPECT_EQ(pair.Value.toStdString(), c.value) << c.text;
    }
}

TEST(TextRoutines, SplitToArray)
{
    using List = std::vector<std::string>;
    const struct { const char *text; const char *sep; List parts; } cases[] = {
        {"a; b;", ";", {"a", "b", ""}},
        {"", ";", {}},
        {"   ", ";", {}},
        {"a", ";", {"a"}},
        {" a ;; b ", ";", {"a", "", "b"}},
        {";", ";", {"", ""}},
        {"x, y", ", ", {"x", "y"}},
        {"a;b", "", {"a;b"}},
    };
    for (const auto &c : cases) {
        List got;
        for (const QString &s : MapFunctions::SplitToArray(q(c.text), q(c.sep)))
            got.push_back(s.toStdString());
        EXPECT_EQ(got, c.parts) << c.text;
    }
}

TEST(TextRoutines, EscapeQuotes)
{
    const struct { const char *text; const char *escaped; } cases[] = {
        {"say \"hi\"", "say \"\"hi\"\""},
        {"a\"\"\"\"b", "a\"\"b"}, // a run counts as one quote
        {"it`s", "it`s"},         // no double quote: unchanged, backquote too
        {"\"it`s\"", "\"\"it\"\"s\"\""},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MapFunctions::EscapeQuotes(q(c.text)).toStdString(), c.escaped) << c.text;
}

TEST(TextRoutines, StrToFixedCharsAlwaysEndsTheFieldWithZero)
{
    // A field of 8 bytes (n = 7) followed by two guard bytes.
    const struct { const char *text; std::array<unsigned char, 10> bytes; } cases[] = {
        {"abc", {'a', 'b', 'c', 0, 0, 0, 0, 0, 0x7F, 0x7F}},
        {"abcdefg", {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0, 0x7F, 0x7F}},
        // one byte too many for the field: cut to 7, the zero stays
        {"abcdefgh", {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0, 0x7F, 0x7F}},
        {"abcdefghijkl", {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0, 0x7F, 0x7F}},
        {"", {0, 0, 0, 0, 0, 0, 0, 0, 0x7F, 0x7F}},
        // Windows-1251 bytes, one per letter: "Шев№"
        {"\xD0\xA8\xD0\xB5\xD0\xB2\xE2\x84\x96", {0xD8, 0xE5, 0xE2, 0xB9, 0, 0, 0, 0, 0x7F, 0x7F}},
    };
    for (const auto &c : cases) {
        char field[10];
        std::memset(field, 0x7F, sizeof field);
        MapFunctions::StrToFixedChars(q(c.text), field, 7);
        EXPECT_EQ(0, std::memcmp(field, c.bytes.data(), sizeof field)) << c.text;
    }
    char one[2] = {'x', 0x7F};
    MapFunctions::StrToFixedChars(QStringLiteral("abc"), one, 0);
    EXPECT_EQ(one[0], 0);
    EXPECT_EQ(one[1], 0x7F);
}

TEST(TextRoutines, FontStyleCode)
{
    const struct { std::uint8_t styles; int code; } cases[] = {
        {0, 0}, {1, 1}, {2, 10}, {3, 11}, {4, 100}, {8, 0}, {15, 111},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MapFunctions::FontStyleCode(c.styles), c.code) << int(c.styles);
}

TEST(TextRoutines, FreeNumberedNameSkipsExistingFiles)
{
    TempFolder dir;
    const QString base = dir.file(QStringLiteral("layer"));
    EXPECT_EQ(MapFunctions::FreeNumberedName(base, QStringLiteral("shp")), base + QStringLiteral(".shp.001"));
    dir.write(QStringLiteral("layer.shp.001"), "x");
    // the name on disk may differ in case
    dir.write(QStringLiteral("Layer.SHP.002"), "x");
    EXPECT_EQ(MapFunctions::FreeNumberedName(base, QStringLiteral("shp")), base + QStringLiteral(".shp.003"));
}

TEST(TextRoutines, FreeNumberedNameIsUnpaddedFrom1000)
{
    TempFolder dir;
    for (int i = 1; i <= 999; ++i)
        dir.write(QStringLiteral("a.b.%1").arg(i, 3, 10, QLatin1Char('0')), {});
    const QString base = dir.file(QStringLiteral("a"));
    EXPECT_EQ(MapFunctions::FreeNumberedName(base, QStringLiteral("b")), base + QStringLiteral(".b.1000"));
}

TEST(TextRoutines, RelativeFileNameOnlyForFilesDirectlyInTheFolder)
{
    const struct { const char *file; const char *folder; const char *result; } cases[] = {
        {"C:\\Data\\roads.shp", "C:\\Data", "roads.shp"},
        {"C:\\Data\\roads.shp", "C:\\Data\\", "roads.shp"},
        {"C:\\Data\\sub\\roads.shp", "C:\\Data", "C:\\Data\\sub\\roads.shp"},
        {"c:\\data\\roads.shp", " C:\\DATA ", "roads.shp"},
        {"D:\\Other\\roads.shp", "C:\\Data", "D:\\Other\\roads.shp"},
        {"/home/u/data/roads.shp", "/home/u/data", "roads.shp"},
        {"/home/u/data/sub/roads.shp", "/home/u/data", "/home/u/data/sub/roads.shp"},
        {"C:\\Data/sub\\roads.shp", "C:\\Data", "C:\\Data/sub\\roads.shp"},
        {"C:\\\xD0\x94\xD0\xB0\xD0\xBD\xD1\x96\\x.shp", "c:\\\xD0\xB4\xD0\xB0\xD0\xBD\xD1\x96", "x.shp"}, // Дані / дані
        {"C:\\Data\\roads.shp", "", "C:\\Data\\roads.shp"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MapFunctions::RelativeFileName(q(c.file), q(c.folder)).toStdString(), c.result) << c.file;
}
