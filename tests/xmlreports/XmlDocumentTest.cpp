// The report library's XML document: escaping, the structure it accepts,
// the writer's bytes and subtrees kept out of memory.

#include "platform/NumberFormat.h"
#include "platform/classlib/Streams.h"
#include "xmlreports/XmlDocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace xmlreports;
using platform::classlib::TMemoryStream;

namespace {

void load(TfrxXMLDocument &doc, const QByteArray &text)
{
    TMemoryStream stream(text);
    doc.LoadFromStream(stream);
}

QByteArray save(TfrxXMLDocument &doc)
{
    TMemoryStream out;
    doc.SaveToStream(out);
    return out.Memory();
}

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

} // namespace

TEST(ReportXmlDocument, EscapesAndUnescapesAttributeValues)
{
    const QByteArray value = "a<b & \"c\"\r\n>";
    EXPECT_EQ(EscapeXMLText(value), "a&#60;b &#38; &#34;c&#34;&#13;&#10;&#62;");
    EXPECT_EQ(UnescapeXMLText(EscapeXMLText(value)), value);
    EXPECT_EQ(UnescapeXMLText("&#65;"), "A");
    EXPECT_EQ(UnescapeXMLText("&amp;"), "&amp;");
    EXPECT_EQ(UnescapeXMLText("a&quot;b"), "a\"b");
    EXPECT_THROW(UnescapeXMLText("&#6x;"), platform::ConvertError);

    TfrxXMLItem item;
    item.SetProp("Memo", value);
    item.SetProp("x", "1");
    item.SetProp("MEMO", "new");
    EXPECT_EQ(item.Text, "MEMO=\"new\" x=\"1\""); // the caller's letter case
    EXPECT_EQ(item.Prop("memo"), "new");
    EXPECT_EQ(item.Prop("absent"), "");
}

TEST(ReportXmlDocument, StructureTable)
{
    struct Case {
        const char *text;
        bool valid;
        int rootChildren;
    };
    const Case cases[] = {
        {"<?xml?><r><a/><b x=\"1\"/></r>", true, 2},
        {"<?xml?><r><a></a></r>", true, 1},
        {"<?xml?><!-- before --><r><!-- between --><a/></r>", true, 1},
        {"<?xml?><r><!-- a --->b --><a/></r>", true, 1}, // "--->b" does not end it at the third dash
        {"<?xml?><r><a>", true, 1},                      // open at the end: accepted
        {"<?xml?><r><a></r>", false, 0},
        {"<?xml?><r><a <b/></a></r>", false, 0},
        {"<r/>", false, 0},
        {"<?xml?><r x=\"1\"", false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        TfrxXMLDocument doc;
        if (!c.valid) {
            EXPECT_THROW(load(doc, c.text), XmlFormatError);
            continue;
        }
        load(doc, c.text);
        EXPECT_EQ(doc.Root()->Name, "r");
        EXPECT_EQ(doc.Root()->Count(), c.rootChildren);
    }
    TfrxXMLDocument doc;
    load(doc, "<?xml?><r><a></a><b x=\"1\"/>text is lost<c/></r>");
    EXPECT_EQ(doc.Root()->Items(0)->Count(), 0);
    EXPECT_EQ(doc.Root()->Items(1)->Text, "x=\"1\"");
    EXPECT_EQ(doc.Root()->Find("C"), 2);
}

TEST(ReportXmlDocument, WriterBytes)
{
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = "r";
    TfrxXMLItem *a = doc.Root()->Add();
    a->Name = "a";
    a->Text = "x=\"1\"";
    a->SetUnloadable(true);
    a->Add()->Name = "c";
    TfrxXMLItem *b = doc.Root()->Add();
    b->Name = "b";
    b->SetUnloadable(true);
    EXPECT_EQ(save(doc), kHeader + "\r\n<r>\r\n  <a x=\"1\"ld=\"0\">\r\n    <c/>\r\n  </a>\r\n  <b ld=\"0\"/>\r\n</r>\r\n");
    doc.AutoIndent = false;
    EXPECT_EQ(save(doc), kHeader + "<r><a x=\"1\"ld=\"0\"><c/></a><b ld=\"0\"/></r>");
}

TEST(ReportXmlDocument, LoadMarkIsAWholeAttribute)
{
    TfrxXMLDocument doc;
    load(doc, kHeader + "<r><a old=\"0\"><c/></a><b x=\"ld=&#34;0&#34;\"><c/></b></r>");
    EXPECT_EQ(doc.Root()->Items(0)->Text, "old=\"0\"");
    EXPECT_EQ(doc.Root()->Items(1)->Text, "x=\"ld=&#34;0&#34;\"");
    EXPECT_EQ(doc.Root()->Items(0)->Count(), 1);
}

TEST(ReportXmlDocument, ReaderStopsAfterTheRoot)
{
    TMemoryStream stream(kHeader + "<r><a/></r>TAIL");
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    EXPECT_EQ(stream.ReadRest(), "TAIL");
}

TEST(ReportXmlDocument, LazySubtreesUnloadToATemporaryFileAndBack)
{
    const QByteArray text = kHeader + "<r><p n=\"1\"ld=\"0\"><m v=\"&#60;\"/></p><p n=\"2\"ld=\"0\"><m/><m/></p></r>";
    // Read lazily from the source stream.
    {
        TfrxXMLDocument doc;
        doc.LoadFromStream(std::make_unique<TMemoryStream>(text), true);
        TfrxXMLItem *p1 = doc.Root()->Items(0);
        EXPECT_FALSE(p1->Loaded());
        EXPECT_EQ(p1->Count(), 0);
        EXPECT_EQ(p1->Text, "n=\"1\"");
        EXPECT_EQ(save(doc), text);
        EXPECT_EQ(p1->Count(), 0);
        doc.LoadItem(doc.Root()->Items(1));
        EXPECT_EQ(doc.Root()->Items(1)->Count(), 2);
        EXPECT_EQ(p1->Prop("n"), "1");
    }
    // Read whole, then unloaded to a temporary file.
    QTemporaryDir dir;
    TfrxXMLDocument doc;
    doc.TempDir = dir.path();
    load(doc, text);
    TfrxXMLItem *p1 = doc.Root()->Items(0);
    EXPECT_TRUE(p1->Loaded());
    EXPECT_FALSE(p1->Unloadable()); // read whole: not marked
    p1->SetUnloadable(true);
    doc.Root()->Items(1)->SetUnloadable(true);
    const QByteArray whole = save(doc);
    EXPECT_EQ(whole, text);
    doc.UnloadItem(p1);
    EXPECT_FALSE(p1->Loaded());
    EXPECT_EQ(p1->Count(), 0);
    const QString temp = doc.TempFileName();
    ASSERT_FALSE(temp.isEmpty());
    EXPECT_TRUE(temp.startsWith(dir.path()));
    EXPECT_TRUE(QFile::exists(temp));
    EXPECT_EQ(save(doc), whole);
    EXPECT_FALSE(p1->Loaded());
    doc.LoadItem(p1);
    ASSERT_EQ(p1->Count(), 1);
    EXPECT_EQ(p1->Items(0)->Prop("v"), "<");
    doc.Clear();
    EXPECT_FALSE(QFile::exists(temp));
}

TEST(ReportXmlDocument, VariantText)
{
    using platform::Variant;
    EXPECT_EQ(VariantToXMLText(Variant(12)), "12");
    EXPECT_EQ(VariantToXMLText(Variant(true)), "1");
    EXPECT_EQ(VariantToXMLText(Variant(QStringLiteral("a\"b"))), "a&#34;b");
    EXPECT_EQ(VariantToXMLText(Variant::null()), "");
}
