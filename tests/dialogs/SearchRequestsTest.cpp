// The search window's decisions without a window: the SQL it builds, the
// three request forms and their grammars, the quick-search texts, the extent
// of the found boxes and the framing of requests on the local socket.

#include "dialogs/SearchRequests.h"

#include <gtest/gtest.h>

using namespace dialogs::search;

namespace {

QString u8(const char *s)
{
    return QString::fromUtf8(s);
}

TEST(SearchSql, ConditionsOrderAndQuotes)
{
    const SearchFields all{u8("NAME"), u8("STREET"), u8("HOUSE")};
    struct Case {
        SearchFields fields, texts;
        const char *expected;
    } cases[] = {
        // Nothing typed: the whole table, no order.
        {all, {}, "Select *\nFrom \"parcels.Dbf\""},
        // Object and street contain the text, the house begins with it; the
        // order follows the conditions added.
        {all, {u8("сад"), u8("Шевченка"), u8("1")},
         "Select *\nFrom \"parcels.Dbf\"\nWhere (NAME Like \"%сад%\")\nAnd (STREET Like \"%Шевченка%\")\n"
         "And (HOUSE Like \"1%\")\nORDER BY NAME,STREET,HOUSE"},
        // A text whose field the layer does not name is left out.
        {{QString(), u8("STREET"), QString()}, {u8("x"), u8("Франка"), u8("2")},
         "Select *\nFrom \"parcels.Dbf\"\nWhere (STREET Like \"%Франка%\")\nORDER BY STREET"},
        // Double quotes are doubled, runs of them taken as one first.
        {all, {QString(), u8("пров. \"\"Тихий\""), QString()},
         "Select *\nFrom \"parcels.Dbf\"\nWhere (STREET Like \"%пров. \"\"Тихий\"\"%\")\nORDER BY STREET"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(buildSearchSql(u8("parcels.Dbf"), c.fields, c.texts).join(u'\n'), u8(c.expected)) << c.expected;

    EXPECT_EQ(valueListSql(u8("STREET"), u8("Data/Parcels.Dbf")),
              u8("Select STREET From \"data/parcels.dbf\" Group By STREET"));
    EXPECT_EQ(sortSql(u8("p.Dbf"), u8("AREA"), false).join(u'|'), u8("Select *|From \"p.Dbf\"|Order by AREA DESC"));
}

TEST(SearchSql, LayerTableAndBaseNames)
{
    EXPECT_EQ(layerTableName(u8("/data/my.maps/Parcels.shp")), u8("/data/my.maps/Parcels.Dbf"));
    EXPECT_EQ(layerBaseName(u8("/data/my.maps/Parcels.Old.shp")), u8("parcels"));
    EXPECT_EQ(layerBaseName(u8("C:\\Work\\Будинки.SHP")), u8("будинки"));
}

TEST(SearchRequest, Classification)
{
    struct Case {
        const char *text;
        RequestForm form;
    } cases[] = {
        {"Select * From \"parcels.dbf\" Where ID=3", RequestForm::Sql},
        {"SELECT ID\nFROM buildings", RequestForm::Sql},
        {"layer=parcels,field=NAME,value=x", RequestForm::Field},
        {"LAYER=p, FIELD=a, VALUE=b", RequestForm::Field},
        {"layer=p,value=b", RequestForm::Address},
        {"Шевченка,5#Франка", RequestForm::Address},
        // "select" alone without "from" is an address.
        {"Selectova,4", RequestForm::Address},
    };
    for (const Case &c : cases)
        EXPECT_EQ(classifyRequest(u8(c.text)), c.form) << c.text;
}

TEST(SearchRequest, FieldLinePieces)
{
    struct Case {
        const char *line;
        const char *layer, *field, *value;
    } cases[] = {
        {"layer=parcels,field=NAME,value=\"Сад\"", "parcels", "NAME", "Сад"},
        // Unquoted: a point becomes the decimal comma.
        {"layer=p,field=AREA,value=12.5", "p", "AREA", "12,5"},
        // Quoted: the quotes become blanks, trimmed at the ends; commas inside stay.
        {"layer=p,field=STREET,value=\"вул. Шевченка, 5\"", "p", "STREET", "вул. Шевченка, 5"},
        // A later key wins.
        {"layer=a,field=X,value=1,value=2", "a", "X", "2"},
        // A blank after the comma makes the key another one.
        {"layer=p, field=NAME,value=v", "p", "", "v"},
        {"Layer=P,FIELD=n,Value= x ", "P", "n", "x"},
    };
    for (const Case &c : cases) {
        const auto r = parseFieldLine(u8(c.line));
        ASSERT_TRUE(r) << c.line;
        EXPECT_EQ(r->layer, u8(c.layer)) << c.line;
        EXPECT_EQ(r->field, u8(c.field)) << c.line;
        EXPECT_EQ(r->value, u8(c.value)) << c.line;
    }
    EXPECT_FALSE(parseFieldLine(u8("layer=p,field=f,value=v,a=1,b=2,c=3,d=4,e=5,f=6,g=7,h=8")));
    EXPECT_TRUE(parseFieldLine(u8("layer=p,field=f,value=v,a=1,b=2,c=3,d=4,e=5,f=6,g=7")));
}

TEST(SearchRequest, AddressItems)
{
    const auto items = addressItems({u8(" Шевченка , 5 , кв. 3 # Франка"), u8("##, 7#"), u8("Садова,")});
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].street, u8("Шевченка"));
    EXPECT_EQ(items[0].house, u8("5"));
    EXPECT_EQ(items[1].street, u8("Франка"));
    EXPECT_EQ(items[1].house, QString());
    EXPECT_EQ(items[2].street, QString());
    EXPECT_EQ(items[2].house, u8("7"));
    EXPECT_EQ(items[3].street, u8("Садова"));
    EXPECT_EQ(items[3].house, QString());
    EXPECT_EQ(requestLines(u8("a\r\nb\rc\nd")), QStringList({u8("a"), u8("b"), u8("c"), u8("d")}));
}

TEST(SearchRequest, HitKindsAndTexts)
{
    EXPECT_EQ(hitKind(true, true), 1);
    EXPECT_EQ(hitKind(true, false), 2);
    EXPECT_EQ(hitKind(false, true), 3);
    EXPECT_EQ(hitKind(false, false), 0);
    EXPECT_EQ(typedKind(u8("Садова"), QString()), 2);
    EXPECT_EQ(hitText(u8("Садова"), u8("7")), u8("Садова, 7"));
    EXPECT_EQ(hitText(QString(), u8("7")), u8("7"));
    EXPECT_EQ(hitText(u8("Садова"), u8("  ")), u8("Садова"));
}

TEST(SearchRequest, ExtentTakesPositiveValuesOnly)
{
    FoundExtent none;
    none.add(0, 0, 0, 0);
    EXPECT_EQ(none.boxes, 0);

    FoundExtent one;
    one.add(10, 20, 30, 40);
    EXPECT_EQ(one.boxes, 1);
    EXPECT_DOUBLE_EQ(one.minX, 10);
    EXPECT_DOUBLE_EQ(one.maxY, 40);

    FoundExtent two;
    two.add(-5, 20, 30, 40);
    two.add(15, 10, -1, 50);
    EXPECT_EQ(two.boxes, 2);
    EXPECT_DOUBLE_EQ(two.minX, 15);
    EXPECT_DOUBLE_EQ(two.minY, 10);
    EXPECT_DOUBLE_EQ(two.maxX, 30);
    EXPECT_DOUBLE_EQ(two.maxY, 50);
}

TEST(SearchRequest, RefusedBeforeAnythingChanges)
{
    struct Case {
        const char *text;
        bool refused;
    } cases[] = {
        {"", true},
        {"   ", true},
        {"Select * From \"p.dbf\"", false},
        {"Select * From \"p.dbf\";", false},
        {"Select * From \"p.dbf\"; Delete From \"p.dbf\"", true},
        {"Delete From \"p.dbf\"", true},
        {"update p set A=1 where ID in (select ID from p)", true},
        {"DROP TABLE p", true},
        {"Select * From \"p.dbf", true},
        {"layer=p,field=f,value=v,a=1,b=2,c=3,d=4,e=5,f=6,g=7,h=8", true},
        {"layer=p,field=f,value=v", false},
        {"Шевченка,5", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(!refusalOf(u8(c.text)).isEmpty(), c.refused) << c.text;
}

TEST(SearchFrame, LengthPrefixedAndBounded)
{
    // Length 5, "ab\0cd": the text ends at the zero, the frame at its length.
    const QByteArray bytes("\x05\x00\x00\x00" "ab\0cdNEXT", 13);
    const Frame f = decodeFrame(bytes);
    EXPECT_EQ(f.status, FrameStatus::Complete);
    EXPECT_EQ(f.text, QByteArray("ab"));
    EXPECT_EQ(f.used, 9);

    // Unterminated: the text is the whole payload and nothing past it.
    const Frame open = decodeFrame(QByteArray("\x03\x00\x00\x00" "xyzSECRET", 12));
    EXPECT_EQ(open.status, FrameStatus::Complete);
    EXPECT_EQ(open.text, QByteArray("xyz"));

    EXPECT_EQ(decodeFrame(QByteArray("\x05\x00", 2)).status, FrameStatus::Incomplete);
    EXPECT_EQ(decodeFrame(QByteArray("\x05\x00\x00\x00" "ab", 6)).status, FrameStatus::Incomplete);
    // 64 KiB + 1 is refused from the length alone.
    EXPECT_EQ(decodeFrame(QByteArray("\x01\x00\x01\x00", 4)).status, FrameStatus::Oversized);
    EXPECT_EQ(decodeFrame(QByteArray("\xFF\xFF\xFF\xFF", 4)).status, FrameStatus::Oversized);
    const Frame limit = decodeFrame(QByteArray("\x00\x00\x01\x00", 4) + QByteArray(kMaxRequest, 'a'));
    EXPECT_EQ(limit.status, FrameStatus::Complete);
    EXPECT_EQ(limit.text.size(), kMaxRequest);

    EXPECT_EQ(encodeFrame(QByteArray("hi")), QByteArray("\x02\x00\x00\x00" "hi", 6));
    EXPECT_TRUE(requestServerName().startsWith(u8("TFindTolvane-")));
}

} // namespace
