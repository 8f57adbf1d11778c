// The template form: a hand-written template loads into report objects and
// is written back byte for byte; attributes, references, property data and
// unknown classes as the reader meets them.

#include "ReportTestClasses.h"

#include "platform/Environment.h"
#include "platform/Service.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Streams.h"
#include "xmlreports/Resources.h"
#include "xmlreports/Serializer.h"

#include <gtest/gtest.h>

using namespace xmltest;
using platform::classlib::TMemoryStream;

namespace {

// The report's PropData, byte by byte: "Datasets" and "Variables" in the
// class library's collection form.
QByteArray propDataBytes()
{
    QByteArray b;
    auto name = [&](const char *n) {
        b += char(std::strlen(n));
        b += n;
    };
    auto str = [&](const char *s) {
        b += char(6);
        b += char(std::strlen(s));
        b += s;
    };
    name("Datasets");
    b += char(14);
    b += char(1);
    name("DataSet");
    b += char(13);
    name("DataSetName");
    str("Customers");
    b += char(0);
    b += char(0);
    name("Variables");
    b += char(14);
    b += char(1);
    name("Name");
    str("Total");
    name("Value");
    str("1+2");
    b += char(0);
    b += char(0);
    return b;
}

QByteArray handWritten()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<!-- written by hand -- with dashes -->\r\n"
           "<TfrxTestReport Name=\"\" ScriptText.Text=\"begin&#13;&#10;end.\" EngineOptions.DoublePass=\"True\" "
           "ReportOptions.CreateDate=\"40000\" ReportOptions.LastChange=\"40000,5\" ReportOptions.Password=\"WXY\" "
           "PropData=\"" +
           propDataBytes().toHex().toUpper() +
           "\">\r\n"
           "  <TfrxTestPage Name=\"Page1\" PaperWidth=\"210,5\">\r\n"
           "    <!-- between elements -->\r\n"
           "    <TfrxTestMemo Name=\"Memo1\" Left=\"1 234\" Top=\"10,25\" Width=\"100\" Height=\"18.5\" "
           "Link=\"Memo2\" Visible=\"1\" Text=\"Привет &#60;a&#62; &amp; &quot;q&quot;\"/>\r\n"
           "    <TfrxUnknownView Name=\"X1\">\r\n"
           "      <TfrxTestMemo Name=\"Lost\"/>\r\n"
           "    </TfrxUnknownView>\r\n"
           "    <TfrxTestMemo Name=\"Memo2\" Left=\"0\" Top=\"0\" Width=\"10\" Height=\"10\" Font.Name=\"Times\" "
           "Font.Style=\"1\" Frame.Typ=\"15\"/>\r\n"
           "  </TfrxTestPage>\r\n"
           "</TfrxTestReport>\r\n";
}

class Serializer : public ::testing::Test {
protected:
    void SetUp() override { registerTestClasses(); }
    platform::DecimalSeparator point{u'.'};
    platform::ScopedService<platform::DecimalSeparator> pin{point};
};

std::unique_ptr<TfrxTestReport> loadReport(const QByteArray &text)
{
    auto report = std::make_unique<TfrxTestReport>();
    TMemoryStream stream(text);
    report->LoadFromStream(stream);
    return report;
}

QByteArray saveReport(TfrxTestReport &report)
{
    TMemoryStream out;
    report.SaveToStream(out);
    return out.Memory();
}

} // namespace

TEST_F(Serializer, HandWrittenTemplateLoadsAndWritesBack)
{
    auto report = loadReport(handWritten());
    EXPECT_EQ(report->Errors(), QStringList{QStringLiteral("Не вдалося знайти клас TfrxUnknownView")});
    ASSERT_EQ(report->Objects().size(), 1u);
    auto *page = dynamic_cast<TfrxTestPage *>(report->Objects()[0]);
    ASSERT_TRUE(page);
    EXPECT_DOUBLE_EQ(page->PaperWidth, 210.5);
    ASSERT_EQ(page->Objects().size(), 2u); // the unknown class and its child are skipped
    auto *memo1 = dynamic_cast<TfrxTestMemo *>(report->FindObject(QStringLiteral("memo1")));
    auto *memo2 = dynamic_cast<TfrxTestMemo *>(report->FindObject(QStringLiteral("Memo2")));
    ASSERT_TRUE(memo1 && memo2);
    EXPECT_EQ(report->FindObject(QStringLiteral("Lost")), nullptr);
    EXPECT_DOUBLE_EQ(memo1->Left(), 1234);
    EXPECT_DOUBLE_EQ(memo1->Top(), 10.25);
    EXPECT_DOUBLE_EQ(memo1->Height(), 18.5);
    EXPECT_EQ(memo1->Link, memo2); // defined later in the file
    EXPECT_EQ(memo1->Memo()->Text(), QStringLiteral("Привет <a> &amp; \"q\"\r\n"));
    EXPECT_EQ(memo2->Font()->Name(), QStringLiteral("Times"));
    EXPECT_EQ(memo2->Frame()->Typ, 15);
    EXPECT_EQ(report->ScriptText()->Text(), QStringLiteral("begin\r\nend.\r\n"));
    EXPECT_TRUE(report->EngineOptions()->DoublePass);
    EXPECT_EQ(report->ReportOptions()->Password, QStringLiteral("abc"));
    ASSERT_EQ(report->DataSets().Count(), 1);
    EXPECT_EQ(report->DataSets().Items(0)->DataSetName(), QStringLiteral("Customers"));
    EXPECT_EQ(report->Variables().Variables(QStringLiteral("TOTAL")).toString(), QStringLiteral("1+2"));
    EXPECT_FALSE(memo1->SerializerLoading());

    // Defaults left out, floats always, the memo's text in UTF-8, the
    // collections in PropData as the items' attribute texts.
    const QByteArray pinned =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<TfrxTestReport Name=\"\" EngineOptions.DoublePass=\"True\" ReportOptions.CreateDate=\"40000\" "
        "ReportOptions.Description.Text=\"\" ReportOptions.LastChange=\"40000.5\" ReportOptions.Password=\"WXY\" "
        "ScriptText.Text=\"begin&#13;&#10;end.\" "
        "PropData=\"08446174617365747301010C1800000020446174615365744E616D653D22437573746F6D657273220000095661726961"
        "626C657301010C19000000204E616D653D22546F74616C222056616C75653D22312B32220000\">\r\n"
        "  <TfrxTestPage Name=\"Page1\" PaperWidth=\"210.5\">\r\n"
        "    <TfrxTestMemo Name=\"Memo1\" Left=\"1234\" Top=\"10.25\" Width=\"100\" Height=\"18.5\" "
        "Font.Charset=\"1\" Font.Color=\"0\" Font.Height=\"-13\" Font.Name=\"Arial\" Font.Style=\"0\" "
        "Link=\"Memo2\" Text=\"Привет &#60;a&#62; &#38;amp; &#34;q&#34;\"/>\r\n"
        "    <TfrxTestMemo Name=\"Memo2\" Left=\"0\" Top=\"0\" Width=\"10\" Height=\"10\" Font.Charset=\"1\" "
        "Font.Color=\"0\" Font.Height=\"-13\" Font.Name=\"Times\" Font.Style=\"1\" Frame.Typ=\"15\" "
        "Text=\"\"/>\r\n"
        "  </TfrxTestPage>\r\n"
        "</TfrxTestReport>\r\n";
    EXPECT_EQ(saveReport(*report), pinned);

    // The written form reads back to the same text, collections included.
    auto again = loadReport(pinned);
    EXPECT_TRUE(again->Errors().isEmpty());
    EXPECT_EQ(again->DataSets().Items(0)->DataSetName(), QStringLiteral("Customers"));
    EXPECT_EQ(again->Variables().Variables(QStringLiteral("total")).toString(), QStringLiteral("1+2"));
    EXPECT_EQ(saveReport(*again), pinned);
}

TEST_F(Serializer, CommaWrittenPointRead)
{
    auto report = loadReport(handWritten());
    QByteArray withComma;
    {
        platform::DecimalSeparator comma{u','};
        platform::ScopedService<platform::DecimalSeparator> pinComma(comma);
        withComma = saveReport(*report);
    }
    EXPECT_TRUE(withComma.contains("Top=\"10,25\""));
    auto back = loadReport(withComma); // read under the point of the fixture
    auto *memo = back->FindObject(QStringLiteral("Memo1"));
    ASSERT_TRUE(memo);
    EXPECT_DOUBLE_EQ(memo->Top(), 10.25);
    EXPECT_EQ(saveReport(*back), saveReport(*report));
    platform::DecimalSeparator comma{u','};
    platform::ScopedService<platform::DecimalSeparator> pinComma(comma);
    auto third = loadReport(saveReport(*back));
    EXPECT_EQ(saveReport(*third), withComma);
}

TEST_F(Serializer, AttributeErrorsReferencesAndSingleObjects)
{
    auto report = loadReport("<?xml?><TfrxTestReport><TfrxTestPage Name=\"Page1\">"
                             "<TfrxTestMemo Name=\"M1\" Left=\"x1\" Top=\"5\" Link=\"Nowhere\" Unknown=\"1\"/>"
                             "<TfrxTestMemo Name=\"M2\" Visible=\"Maybe\" Width=\"7\" Align=\"9\"/>"
                             "</TfrxTestPage></TfrxTestReport>");
    const QStringList errors = report->Errors();
    ASSERT_EQ(errors.size(), 3); // x1, Maybe, and an alignment number of no element
    EXPECT_TRUE(errors.join(u'|').contains(QStringLiteral("'x1'")));
    auto *m1 = static_cast<TfrxTestMemo *>(report->FindObject(QStringLiteral("M1")));
    ASSERT_TRUE(m1);
    EXPECT_DOUBLE_EQ(m1->Top(), 5);    // the rest of the element is applied
    EXPECT_EQ(m1->Link, nullptr);      // unknown reference: unset, silently
    EXPECT_DOUBLE_EQ(report->FindObject(QStringLiteral("M2"))->Width(), 7);
    EXPECT_EQ(static_cast<TfrxTestMemo *>(report->FindObject(QStringLiteral("M2")))->Align, baNone);

    TfrxXMLSerializer serializer;
    TfrxComponent *page = report->Objects()[0];
    TfrxComponent *made = serializer.ObjectFromTagText(page, "TfrxTestMemo l=\"3\" t=\"4\" u=\"Да\"");
    ASSERT_TRUE(made);
    EXPECT_EQ(made->Parent(), page);
    EXPECT_DOUBLE_EQ(made->Left(), 3);
    EXPECT_EQ(made->TextLines()->Strings(0), QStringLiteral("Да"));
    EXPECT_EQ(serializer.ObjectFromTagText(page, "  "), nullptr);
}

TEST_F(Serializer, UpdateExistingSkipsUnknownNames)
{
    auto report = loadReport(handWritten());
    TfrxXMLDocument doc;
    TMemoryStream in("<?xml?><TfrxTestReport><TfrxTestPage Name=\"Page1\">"
                     "<TfrxTestMemo Name=\"Memo1\" Left=\"5\"/>"
                     "<TfrxTestMemo Name=\"Nobody\" Left=\"6\"><TfrxTestMemo Name=\"Memo2\" Left=\"7\"/></TfrxTestMemo>"
                     "</TfrxTestPage></TfrxTestReport>");
    doc.LoadFromStream(in);
    TfrxXMLSerializer serializer;
    serializer.Owner = report.get();
    serializer.LoadObjectTree(report.get(), doc.Root(), true);
    EXPECT_DOUBLE_EQ(report->FindObject(QStringLiteral("Memo1"))->Left(), 5);
    EXPECT_DOUBLE_EQ(report->FindObject(QStringLiteral("Memo2"))->Left(), 0); // under the skipped element
    EXPECT_EQ(report->FindObject(QStringLiteral("Nobody")), nullptr);
    EXPECT_EQ(report->AllObjects().size(), 3u);
}
