#include "mapdata/ObjectTextBlock.h"

#include "platform/Environment.h"

#include <gtest/gtest.h>

namespace {

TShpPoint pt(double x, double y)
{
    TShpPoint p;
    p.X = x;
    p.Y = y;
    return p;
}

TShpParts part(std::initializer_list<std::pair<double, double>> points)
{
    TShpParts p;
    for (const auto &[x, y] : points)
        p.Points.push_back(pt(x, y));
    return p;
}

std::vector<std::vector<std::pair<double, double>>> coords(const std::vector<TShpParts> &parts)
{
    std::vector<std::vector<std::pair<double, double>>> out;
    for (const TShpParts &p : parts) {
        out.emplace_back();
        for (const TShpPoint &q : p.Points)
            out.back().emplace_back(q.X, q.Y);
    }
    return out;
}

using Coords = std::vector<std::vector<std::pair<double, double>>>;

} // namespace

TEST(ObjectTextBlock, NumbersAreShortestDecimalTextWithoutExponent)
{
    struct Case { double value; const char *comma; };
    const Case cases[] = {
        {0, "0"},
        {1.5, "1,5"},
        {-2.25, "-2,25"},
        {5400000.5, "5400000,5"},
        {0.1 + 0.2, "0,3"},                       // 15 significant digits
        {1300000.123456789012, "1300000.12345679"},
        {0.000001, "0,000001"},                   // the exponent form would read back as 16
        {-1.5e-7, "-0,00000015"},
        {1e20, "100000000000000000000"},
        {123456789012345678.0, "123456789012346000"},
    };
    for (const Case &c : cases) {
        QString expected = QString::fromUtf8(c.comma);
        {
            platform::ScopedService<platform::DecimalSeparator> sep(u',');
            EXPECT_EQ(objectblock::numberText(c.value), expected.replace(u'.', u',')) << c.comma;
        }
        platform::ScopedService<platform::DecimalSeparator> sep(u'.');
        EXPECT_EQ(objectblock::numberText(c.value), QString(expected).replace(u',', u'.')) << c.comma;
    }
}

TEST(ObjectTextBlock, WriterLaysOutObjectsWithCrLfAndNoFinalBreak)
{
    platform::ScopedService<platform::DecimalSeparator> sep(u',');
    objectblock::Writer w;
    w.beginObject(1, 5, {part({{0, 0}, {10, 0}, {10, 10}, {0, 0}}), part({{2.5, 2}, {3, 2}, {2.5, 2}})});
    w.fields({{QStringLiteral("ID"), QStringLiteral("7")},
              {QStringLiteral("NAME"), QStringLiteral("Поле\r\nИванова")},
              {QStringLiteral("AREA"), QString()}});
    w.endObject();
    // A second object whose row could not be read has no attribute section.
    w.beginObject(3, 1, {part({{-1, 0.000001}})});
    w.endObject();
    const QString expected = QStringLiteral(
        "Tolvane Object\r\n"
        "\r\n"
        "Object=1\r\nType=5\r\nParts=2\r\n"
        "Part=1\r\nPoints=4\r\n0;0\r\n10;0\r\n10;10\r\n0;0\r\nEndPart\r\n"
        "Part=2\r\nPoints=3\r\n2,5;2\r\n3;2\r\n2,5;2\r\nEndPart\r\n"
        "Fields=3\r\nID=7\r\nNAME=Поле  Иванова\r\nAREA=\r\nEndFields\r\n"
        "EndObject\r\n"
        "\r\n"
        "Object=3\r\nType=1\r\nParts=1\r\n"
        "Part=1\r\nPoints=1\r\n-1;0,000001\r\nEndPart\r\n"
        "EndObject");
    EXPECT_EQ(w.text(), expected);
    EXPECT_EQ(objectblock::Writer().text(), QStringLiteral("Tolvane Object"));
}

TEST(ObjectTextBlock, ReaderTakesWhatTheWriterWroteUnderAnySeparator)
{
    QString text;
    {
        platform::ScopedService<platform::DecimalSeparator> sep(u',');
        objectblock::Writer w;
        w.beginObject(1, 5, {part({{1300000.25, 5400000.5}, {1300010.125, 5400000.5}, {1300000.25, 5400000.5}}),
                             part({{-0.000001, 1e20}})});
        w.fields({{QStringLiteral("Name"), QStringLiteral("Поле СИДОРОВА")}, {QStringLiteral("KN"), QStringLiteral("A:12")}});
        w.endObject();
        text = w.text();
    }
    platform::ScopedService<platform::DecimalSeparator> sep(u'.');
    std::vector<objectblock::Object> objects;
    ASSERT_TRUE(objectblock::read(text, objects));
    ASSERT_EQ(objects.size(), 1u);
    const objectblock::Object &o = objects[0];
    EXPECT_TRUE(o.HasType);
    EXPECT_EQ(o.Type, 5);
    EXPECT_EQ(o.PartCount, 2);
    EXPECT_EQ(coords(objectblock::pastedParts(o)),
              (Coords{{{1300000.25, 5400000.5}, {1300010.125, 5400000.5}, {1300000.25, 5400000.5}},
                      {{-0.000001, 1e20}}}));
    // Names and values keep their case: a paste must not alter attribute data.
    ASSERT_TRUE(o.HasFields);
    ASSERT_EQ(o.Fields.size(), 2u);
    EXPECT_EQ(o.Fields[0].Key, QStringLiteral("Name"));
    EXPECT_EQ(o.Fields[0].Value, QStringLiteral("Поле СИДОРОВА"));
    EXPECT_EQ(o.Fields[1].Value, QStringLiteral("A:12"));
}

TEST(ObjectTextBlock, ReaderRulesForOddBlocks)
{
    std::vector<objectblock::Object> objects;
    // Foreign text, or the signature in another case: no block.
    EXPECT_FALSE(objectblock::read(QStringLiteral("Hello\r\nObject=1"), objects));
    EXPECT_FALSE(objectblock::read(QStringLiteral("TOLVANE OBJECT\r\nObject=1"), objects));
    EXPECT_FALSE(objectblock::read(QString(), objects));
    EXPECT_TRUE(objects.empty());

    // Keywords in any case and with spaces around; LF alone ends lines too;
    // malformed point lines are skipped; fields beyond the count dropped; a
    // missing EndPart and EndObject end at the end of the text.
    const QString text = QStringLiteral(
        "Tolvane Object\n"
        "stray line outside objects\n"
        "  OBJECT=1 \r\n type=3\r\nPARTS=1\r\nPart=1\r\nPoints=9\r\n"
        "1;2\r\nno point here\r\nabc;def\r\n,;5\r\n3.5;4,25\r\n  5 ; 6  \r\nEnd Part?\r\nENDPART\r\n"
        "Fields=2\r\nID=1\r\n\r\nName = Петров\r\nExtra=dropped\r\nEndFields\r\n"
        "EndObject\r\n"
        "Object=2\r\nType=5\r\nParts=1\r\nPart=1\r\nPoints=2\r\n7;8\r\n9;10");
    ASSERT_TRUE(objectblock::read(text, objects));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].Type, 3);
    EXPECT_EQ(coords(objectblock::pastedParts(objects[0])), (Coords{{{1, 2}, {3.5, 4.25}, {5, 6}}}));
    ASSERT_EQ(objects[0].Fields.size(), 2u);
    EXPECT_EQ(objects[0].Fields[1].Key, QStringLiteral("Name"));
    EXPECT_EQ(objects[0].Fields[1].Value, QStringLiteral("Петров"));
    EXPECT_EQ(coords(objectblock::pastedParts(objects[1])), (Coords{{{7, 8}, {9, 10}}}));
    EXPECT_FALSE(objects[1].HasFields);
}

TEST(ObjectTextBlock, PartsOfPasteMergeAndSplit)
{
    // Sections given as (part number, points); points before any part line
    // as the leading ones.
    auto object = [](std::int32_t partCount, std::vector<std::pair<double, double>> leading,
                     std::vector<std::pair<std::int32_t, std::vector<std::pair<double, double>>>> sections) {
        objectblock::Object o;
        o.PartCount = partCount;
        for (const auto &[x, y] : leading)
            o.Leading.push_back(pt(x, y));
        for (const auto &[number, points] : sections) {
            objectblock::Section s{number, {}};
            for (const auto &[x, y] : points)
                s.Points.push_back(pt(x, y));
            o.Sections.push_back(s);
        }
        return o;
    };
    struct Case {
        const char *what;
        objectblock::Object o;
        Coords pasted, split;
    };
    const Case cases[] = {
        {"two parts", object(2, {}, {{1, {{0, 0}, {1, 0}}}, {2, {{5, 5}, {6, 6}}}}),
         {{{0, 0}, {1, 0}}, {{5, 5}, {6, 6}}}, {{{0, 0}, {1, 0}}, {{5, 5}, {6, 6}}}},
        {"no parts announced", object(0, {}, {{1, {{0, 0}}}}), {}, {{{0, 0}}}},
        {"a part beyond the count continues the one before", object(1, {}, {{1, {{0, 0}}}, {2, {{1, 1}}}}),
         {{{0, 0}, {1, 1}}}, {{{0, 0}}, {{1, 1}}}},
        {"announced part never opened", object(2, {}, {{1, {{0, 0}, {1, 1}}}}), {{{0, 0}, {1, 1}}},
         {{{0, 0}, {1, 1}}}},
        {"points before the first part line", object(1, {{9, 9}}, {{1, {{0, 0}}}}), {{{9, 9}}, {{0, 0}}},
         {{{9, 9}}, {{0, 0}}}},
        {"empty sections", object(3, {}, {{1, {}}, {2, {{0, 0}}}, {3, {}}}), {{{0, 0}}}, {{{0, 0}}}},
        {"parts out of order", object(2, {}, {{2, {{0, 0}}}, {1, {{1, 1}}}}), {{{0, 0}}, {{1, 1}}},
         {{{0, 0}}, {{1, 1}}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(coords(objectblock::pastedParts(c.o)), c.pasted) << c.what;
        EXPECT_EQ(coords(objectblock::splitParts(c.o)), c.split) << c.what;
    }

    // Merging: every part line of every object starts a part.
    const std::vector<objectblock::Object> all = {
        object(1, {}, {{1, {{0, 0}, {1, 0}}}}),
        object(2, {}, {{1, {{5, 5}, {6, 5}, {5, 5}}}, {7, {{8, 8}}}}),
        object(1, {}, {{1, {}}}),
    };
    EXPECT_EQ(coords(objectblock::mergedParts(all)),
              (Coords{{{0, 0}, {1, 0}}, {{5, 5}, {6, 5}, {5, 5}}, {{8, 8}}}));
    EXPECT_TRUE(objectblock::mergedParts({}).empty());
}
