// The script engine's XML document: its subset of XML, the escaping that
// leaves '&' alone, comments, the tree operations, and the stream standing
// after the root when more data follows.

#include "platform/NumberFormat.h"
#include "script/ScriptError.h"
#include "script/XmlDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace script;

namespace {

void load(TfsXMLDocument &doc, const QByteArray &text)
{
    MemoryStream stream(text);
    doc.LoadFromStream(stream);
}

QByteArray save(const TfsXMLDocument &doc)
{
    MemoryStream stream;
    doc.SaveToStream(stream);
    return stream.Bytes();
}

} // namespace

TEST(XmlDocument, ValuesComeBackThroughWriteAndRead)
{
    struct Row {
        QByteArray value;
    } rows[] = {{"plain"}, {"a \"quoted\" word"}, {"<tag>"}, {"line\r\nbreak"}, {"a & b"}, {""}};
    for (const Row &row : rows) {
        TfsXMLDocument doc;
        doc.Root()->Name = "a";
        doc.Root()->Text = "x=\"" + xmlEscape(row.value) + "\"";
        TfsXMLDocument back;
        load(back, save(doc));
        EXPECT_EQ(back.Root()->Prop("x"), row.value) << row.value.constData();
    }
}

TEST(XmlDocument, AmpersandIsNotEscapedSoReferencesInTextAreDecodedOnReading)
{
    EXPECT_EQ(xmlEscape("&#60; \"<>\n\r"), QByteArray("&#60; &#34;&#60;&#62;&#10;&#13;"));
    struct Row {
        const char *raw, *value;
    } rows[] = {
        {"&#60;", "<"},
        {"&quot;x", "\"x"},
        {"&amp;", "&amp;"},     // no other named references
        {"&#38;#60;", "&#60;"}, // a decoded '&' is not decoded again
        {"&#321;", "A"},        // the code's low 8 bits
        {"a&#60", "a&#60"},     // no ";" before the end: kept
        {"x&", "x&"},
        {"&QUOT;", "&QUOT;"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(xmlUnescape(row.raw), QByteArray(row.value)) << row.raw;
    EXPECT_THROW(xmlUnescape("&#6x;"), platform::ConvertError);
}

TEST(XmlDocument, EmptyElementsInEveryFormAreWrittenSelfClosing)
{
    TfsXMLDocument doc;
    load(doc, "<?xml version=\"1.0\"?><r><a x=\"1\"/><b/><c></c><D></d><e x=\"2\" /></r>");
    ASSERT_EQ(doc.Root()->Count(), 5);
    EXPECT_EQ(doc.Root()->Items(0)->Text, QByteArray("x=\"1\""));
    EXPECT_EQ(doc.Root()->Items(3)->Name, QByteArray("D"));
    EXPECT_EQ(doc.Root()->Items(4)->Prop("x"), QByteArray("2"));
    // Only a blank at the very end of a tag is dropped: the one before "/" stays.
    EXPECT_EQ(save(doc).toStdString(), "<?xml version=\"1.0\"?><r><a x=\"1\"/><b/><c/><D/><e x=\"2\" /></r>");
}

TEST(XmlDocument, BrokenStructureIsInvalidAndKeepsWhatWasRead)
{
    struct Row {
        const char *text;
        int kept; // children of the root read before the fault
    } rows[] = {
        {"<a/>", -1},                               // no header
        {"<?xml?><r><a x=\"<\"/></r>", 0},          // '<' inside a tag
        {"<?xml?><r><a/><b x=\"1\"", 1},            // the end inside a tag
        {"<?xml?><r><a></b></r>", 1},               // closing tag of another element
        {"<?xml?><r><!-- open comment <a/></r>", 0}, // a comment never closed
    };
    for (const Row &row : rows) {
        TfsXMLDocument doc;
        try {
            load(doc, row.text);
            ADD_FAILURE() << row.text;
        } catch (const ScriptError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid file format")) << row.text;
        }
        if (row.kept >= 0) {
            EXPECT_EQ(doc.Root()->Count(), row.kept) << row.text;
        }
    }
}

TEST(XmlDocument, ElementLeftOpenAtTheEndIsComplete)
{
    TfsXMLDocument doc;
    load(doc, "<?xml?>text<r><a><b/>");
    ASSERT_EQ(doc.Root()->Count(), 1);
    EXPECT_EQ(doc.Root()->Items(0)->Count(), 1);
}

TEST(XmlDocument, CommentsAreSkippedAndThreeDashesDoNotCloseThem)
{
    TfsXMLDocument doc;
    load(doc, "<?xml version=\"1.0\"?><!-- before --><r><!-- x ---> <a/> --><b/><!----><!-- y ----><c/></r>");
    ASSERT_EQ(doc.Root()->Count(), 2);
    EXPECT_EQ(doc.Root()->Items(0)->Name, QByteArray("b"));
    EXPECT_EQ(doc.Root()->Items(1)->Name, QByteArray("c"));
}

TEST(XmlDocument, StreamStandsAfterTheRootOfALargeDocument)
{
    QByteArray text = "<?xml version=\"1.0\"?>\r\n<root>";
    for (int i = 0; i < 500; ++i)
        text += "<item text=\"" + QByteArray::number(i) + "\"/>";
    text += "</root>";
    const qint64 end = text.size();
    ASSERT_GT(end, 8192);
    text += "<after/>trailing bytes";
    MemoryStream stream(text);
    TfsXMLDocument doc;
    doc.LoadFromStream(stream);
    EXPECT_EQ(doc.Root()->Count(), 500);
    EXPECT_EQ(stream.Position(), end);
}

TEST(XmlDocument, FindItemCreatesWhatFindThenSees)
{
    TfsXMLItem root;
    root.Add()->Name = "First";
    EXPECT_EQ(root.Find("FIRST"), 0);
    EXPECT_EQ(root.Find("second"), -1);
    TfsXMLItem *made = root.FindItem("second");
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Find("Second"), 1);
    EXPECT_EQ(root.FindItem("SECOND"), made);
}

TEST(XmlDocument, PropMatchesOnlyAtTheStartOfAPair)
{
    TfsXMLItem item;
    item.Text = "xtext=\"1\" text=\"2\" Node=\"n\"";
    EXPECT_EQ(item.Prop("TEXT"), QByteArray("2"));
    EXPECT_EQ(item.Prop("node"), QByteArray("n"));
    EXPECT_EQ(item.Prop("ext"), QByteArray());
    EXPECT_EQ(item.Prop("missing"), QByteArray());
}

TEST(XmlDocument, ItemsMoveBetweenParentsAndCopiesAreDeep)
{
    TfsXMLItem a, b;
    TfsXMLItem *x = a.Add();
    x->Name = "x";
    x->Add()->Name = "y";
    a.Add()->Name = "z";
    b.Add()->Name = "w";
    b.InsertItem(0, x);
    EXPECT_EQ(a.Count(), 1);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b.Items(0), x);
    EXPECT_EQ(x->Parent(), &b);
    EXPECT_EQ(x->Items(0)->Root(), &b);

    TfsXMLItem copy;
    copy.Add()->Name = "old";
    copy.CopyTree(x);
    EXPECT_EQ(copy.Name, QByteArray("x"));
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_NE(copy.Items(0), x->Items(0));
    delete x; // leaves b's list
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(copy.Count(), 1);
    copy.CopyTree(nullptr);
    EXPECT_EQ(copy.Count(), 0);
}

TEST(XmlDocument, AutoIndentPutsEachTagOnALine)
{
    TfsXMLDocument doc;
    load(doc, "<?xml version=\"1.0\"?><r a=\"1\"><b><c/></b></r>");
    doc.AutoIndent = true;
    EXPECT_EQ(save(doc), QByteArray("<?xml version=\"1.0\"?>\r\n<r a=\"1\">\r\n  <b>\r\n    <c/>\r\n  </b>\r\n</r>\r\n"));
}

TEST(XmlDocument, DeepNestingIsRefusedNotOverflowed)
{
    QByteArray text = "<?xml?>";
    for (int i = 0; i < TfsXMLDocument::kMaxDepth + 10; ++i)
        text += "<a>";
    TfsXMLDocument doc;
    EXPECT_THROW(load(doc, text), ScriptError);
}

TEST(XmlDocument, FilesAreWrittenAndReadAndAMissingOneIsAnError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.xml"));
    TfsXMLDocument doc;
    doc.Root()->Name = "r";
    TfsXMLItem *item = doc.Root()->Add();
    item->Name = "i";
    item->Text = "v=\"&#34;\"";
    doc.SaveToFile(path);
    TfsXMLDocument back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Root()->Items(0)->Prop("v"), QByteArray("\""));
    EXPECT_THROW(back.LoadFromFile(dir.filePath(QStringLiteral("none.xml"))), FileStreamError);
    EXPECT_THROW(doc.SaveToFile(dir.filePath(QStringLiteral("no/such/folder.xml"))), FileStreamError);
}
