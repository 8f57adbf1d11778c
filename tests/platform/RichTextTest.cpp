// The rich-edit document: RTF as the control of stored templates wrote it
// (Windows-1251 bytes, Unicode escapes, tables, bullets) read and written
// back, damaged input, edits by position, and range formatting that finds
// the first character that does not fit.

#include "platform/gdi/Bitmap.h"
#include "platform/richtext/RichDocument.h"
#include "platform/richtext/RichLayout.h"

#include <gtest/gtest.h>

using namespace platform::richtext;
namespace gdi = platform::gdi;

namespace {

// Written the way the control writes: font table with character set 204
// and an ignorable font description inside, colour table with the
// automatic colour first, \'hh text of code page 1251, \uN with its
// one-byte stand-in, the bullet as its drawn text and its description.
const char kControlStyle[] =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss\\fcharset204{\\*\\panose "
    "020b0604020202020204}Arial;}{\\f1\\froman\\fcharset204 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\*\\generator Rich 1.0;}\\viewkind4\\uc1\\pard\\qc\\lang1049\\b\\f0\\fs28\\'cc\\'e5\\'e6\\'e5\\'e2\\'ee\\'e9 "
    "\\'ef\\'eb\\'e0\\'ed\\b0\\par\r\n"
    "\\pard\\fi-360\\li720\\f1\\fs20\\'d3\\'f7\\'e0\\'f1\\'f2\\'ee\\'ea \\cf1\\i [Name]\\cf0\\i0 , \\ul\\u8470?\\ulnone  "
    "12\\par\r\n"
    "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720\\cf2\\strike\\'ef\\'f3"
    "\\'ed\\'ea\\'f2\\strike0\\cf0\\par\r\n"
    "}\r\n";

CharFormat format(const char *font, int halfPoints, int charset = 204)
{
    CharFormat f;
    f.font = QString::fromLatin1(font);
    f.halfPoints = halfPoints;
    f.charset = charset;
    return f;
}

} // namespace

TEST(RichTextTest, ReadsTheControlsRtfAndWritesItBack)
{
    const RichDocument doc = RichDocument::fromRtf(QByteArray(kControlStyle));
    EXPECT_EQ(doc.text(), QStringLiteral("Межевой план\rУчасток [Name], № 12\rпункт"));
    ASSERT_EQ(doc.paragraphCount(), 3);

    CharFormat title = format("Arial", 28);
    title.bold = true;
    EXPECT_EQ(doc.charFormat(0), title);
    EXPECT_EQ(doc.paraFormat(0).align, Align::Center);

    const int name = doc.find(QStringLiteral("[Name]"), 0);
    CharFormat red = format("Times New Roman", 20);
    red.italic = true;
    red.color = gdi::rgb(255, 0, 0);
    EXPECT_EQ(doc.charFormat(name), red);
    EXPECT_EQ(doc.charFormat(name + 5), red);
    EXPECT_EQ(doc.charFormat(name + 6), format("Times New Roman", 20)); // ", "
    CharFormat underlined = format("Times New Roman", 20);
    underlined.underline = true;
    EXPECT_EQ(doc.charFormat(doc.find(QStringLiteral("№"), 0)), underlined);
    EXPECT_EQ(doc.paraFormat(1), (ParaFormat{Align::Left, -360, 720, 0, false}));

    CharFormat struck = format("Times New Roman", 20);
    struck.strikeOut = true;
    struck.color = gdi::rgb(0, 0, 255);
    EXPECT_EQ(doc.charFormat(doc.find(QStringLiteral("пункт"), 0)), struck);
    EXPECT_EQ(doc.paraFormat(2), (ParaFormat{Align::Left, -360, 720, 0, true}));

    // What this program writes reads back to the same document, and so on.
    const QByteArray written = doc.toRtf();
    const RichDocument again = RichDocument::fromRtf(written);
    EXPECT_EQ(again.text(), doc.text());
    EXPECT_TRUE(again == doc) << written.toStdString();
    EXPECT_EQ(RichDocument::fromRtf(again.toRtf()).toRtf(), written);
    // Cyrillic goes out as bytes of code page 1251, the sign without one in
    // it as a Unicode escape.
    EXPECT_TRUE(written.contains("\\'cc\\'e5\\'e6")) << written.toStdString();
    EXPECT_TRUE(written.contains("\\'b9")) << written.toStdString(); // "№" is 0xB9 in 1251
}

TEST(RichTextTest, EscapesAndCodePages)
{
    const struct {
        const char *rtf;
        QString text;
    } cases[] = {
        // Escaped braces and backslash; \~ a no-break space; \tab and \line.
        {"{\\rtf1 a\\{b\\}c\\\\d\\~e\\tab f\\line g}", QStringLiteral("a{b}c\\d\u00A0e\tf\vg")},
        // \uc2 skips two stand-in characters, of which \'hh is one.
        {"{\\rtf1\\uc2 \\u1046\\'3f?x\\u-4064??}", QStringLiteral("Жx\uF020")},
        // Without a character set the document's code page decodes the bytes;
        // Windows-1252 by default.
        {"{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", QStringLiteral("Аб")},
        {"{\\rtf1\\ansi \\'80\\'e9}", QStringLiteral("€é")},
        // A font of character set 0 reads its bytes as Windows-1252 under
        // code page 1251.
        {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial;}}\\f0\\'e9\\f1\\'e9}",
         QStringLiteral("éй")},
        // Unknown and ignorable destinations are skipped whole, binary data too.
        {"{\\rtf1{\\info{\\title T}}{\\*\\unknown {x}y}a{\\pict\\bin3 }}}}b}", QStringLiteral("ab")},
        // Named characters.
        {"{\\rtf1\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}",
         QStringLiteral("\u2014\u2013\u2018\u2019\u201C\u201D\u2022")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RichDocument::fromRtf(QByteArray(c.rtf)).text(), c.text) << c.rtf;

    // Every character survives writing, whatever its font's character set.
    RichDocument doc;
    doc.append(QStringLiteral("Aé€Жx{\\}№\u4E2D"), format("Arial", 20, 0));
    doc.append(QStringLiteral("Жé€"), format("Arial", 20, 204));
    EXPECT_EQ(RichDocument::fromRtf(doc.toRtf()).text(), doc.text()) << doc.toRtf().toStdString();

    // Font names in their own character set, escaped or not, read back the
    // same; control characters are no part of a name.
    const RichDocument named = RichDocument::fromRtf(
        "{\\rtf1{\\fonttbl{\\f0\\fcharset2 \\'ffS\\u1046?;}{\\f1\\fcharset204 \\line\\'c0 b\\'01;}}\\f0 x\\f1 y}");
    EXPECT_EQ(named.charFormat(0).font, QStringLiteral("\u00FFSЖ"));
    EXPECT_EQ(named.charFormat(1).font, QStringLiteral("А b"));
    EXPECT_TRUE(RichDocument::fromRtf(named.toRtf()) == named) << named.toRtf().toStdString();
}

TEST(RichTextTest, DamagedInputLoadsWhatItCan)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        // Not RTF: plain Windows-1251 lines, as the control loads a text file.
        {QByteArray("\xcf\xeb\xe0\xed\r\nline 2\r\n"), QStringLiteral("План\r\nline 2").replace(QStringLiteral("\r\n"), QStringLiteral("\r"))},
        // Unclosed groups; a "}" too many; what follows the document's end.
        {QByteArray("{\\rtf1 abc{\\b d"), QStringLiteral("abcd")},
        {QByteArray("{\\rtf1 a}}b"), QStringLiteral("a")},
        // \bin longer than the input; a hex escape cut short; a lone backslash.
        {QByteArray("{\\rtf1 a\\bin99999 xyz"), QStringLiteral("a")},
        {QByteArray("{\\rtf1 a\\'4"), QStringLiteral("a\x04")},
        {QByteArray("{\\rtf1 a\\"), QStringLiteral("a")},
        // Numbers beyond int, a size of nothing, a colour and font never defined.
        {QByteArray("{\\rtf1\\fs99999999999999\\cf77\\f12 x\\fs-5 y}"), QStringLiteral("xy")},
        // Nesting far deeper than any document.
        {QByteArray("{\\rtf1 ") + QByteArray(200000, '{') + "z" + QByteArray(200000, '}') + "}",
         QStringLiteral("z")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RichDocument::fromRtf(c.bytes).text(), c.text) << c.bytes.left(60).toStdString();

    const RichDocument sized = RichDocument::fromRtf("{\\rtf1\\fs99999999999999 x\\fs-5 y}");
    EXPECT_EQ(sized.charFormat(0).halfPoints, 3276);
    EXPECT_EQ(sized.charFormat(1).halfPoints, 2);
}

TEST(RichTextTest, EditsKeepTheFormatAroundThem)
{
    RichDocument doc = RichDocument::fromRtf(QByteArray(kControlStyle));
    const CharFormat red = doc.charFormat(doc.find(QStringLiteral("[Name]"), 0));

    // A replaced range: the value takes its first character's format, line
    // ends in it make paragraphs of the one it stood in.
    const int at = doc.find(QStringLiteral("[Name]"), 0);
    doc.replace(at, at + 6, QStringLiteral("Иванов\r\nИ. И."));
    EXPECT_EQ(doc.text(), QStringLiteral("Межевой план\rУчасток Иванов\rИ. И., № 12\rпункт"));
    for (int i = at; i < at + 12; ++i)
        EXPECT_EQ(doc.charFormat(i), red) << i;
    ASSERT_EQ(doc.paragraphCount(), 4);
    EXPECT_EQ(doc.paraFormat(2), doc.paraFormat(1));
    EXPECT_EQ(doc.paragraphAt(at + 7), 2);
    EXPECT_EQ(doc.paragraphStart(2), at + 7);

    // Removing across a break joins two paragraphs under the later one's format.
    const int cut = doc.find(QStringLiteral("12"), 0);
    doc.remove(cut, doc.find(QStringLiteral("нкт"), 0));
    EXPECT_EQ(doc.text(), QStringLiteral("Межевой план\rУчасток Иванов\rИ. И., № нкт"));
    EXPECT_TRUE(doc.paraFormat(2).bullet);

    doc.setCharset(0, 3, 0);
    EXPECT_EQ(doc.charFormat(2).charset, 0);
    EXPECT_EQ(doc.charFormat(3).charset, 204);

    // An empty text keeps the format it was given for what is typed next.
    doc.remove(0, doc.length());
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_EQ(doc.paragraphCount(), 1);
    EXPECT_EQ(doc.charFormat(0).font, QStringLiteral("Arial"));
    EXPECT_EQ(RichDocument::fromRtf(doc.toRtf()).text(), QString());
}

namespace {

// A long text of numbered words over several paragraphs.
RichDocument longText()
{
    RichDocument doc;
    CharFormat f = format("DejaVu Sans", 20);
    for (int p = 0; p < 12; ++p) {
        QString para;
        for (int w = 0; w < 25; ++w)
            para += QStringLiteral("слово%1 ").arg(p * 100 + w);
        f.bold = p % 2 == 1;
        if (p)
            doc.append(QStringLiteral("\r"), f);
        doc.append(para.trimmed(), f);
    }
    doc.setParaFormat(3, ParaFormat{Align::Justify, 0, 360, 200, false});
    doc.setParaFormat(5, ParaFormat{Align::Left, -200, 400, 0, true});
    return doc;
}

} // namespace

TEST(RichTextTest, FormattingARangeFindsTheFirstCharacterThatDoesNotFit)
{
    gdi::Bitmap bitmap(400, 300);
    gdi::Canvas &canvas = bitmap.canvas();
    const RichDocument doc = longText();
    const int n = doc.length();
    const gdi::Rect page{0, 0, 3 * 1440, 1440}; // 3 × 1 inches

    // The pages follow one another: each starts where the last one stopped,
    // at the start of a line, and together they hold the text once.
    std::vector<int> ends;
    int start = 0;
    while (start < n && ends.size() < 100) {
        const int end = formatRange(doc, canvas, FormatRange{start, page, false});
        ASSERT_GT(end, start);
        ends.push_back(end);
        start = end;
    }
    ASSERT_GE(ends.size(), 3u);
    EXPECT_EQ(ends.back(), n);
    for (size_t i = 0; i + 1 < ends.size(); ++i) {
        // A page stops at a line start: after a blank or a paragraph break.
        const QChar before = doc.text().at(ends[i] - 1);
        EXPECT_TRUE(before == u' ' || before == u'\r') << ends[i];
    }
    // A taller page holds more; one of the whole text's height holds all of it.
    const int twoInches = formatRange(doc, canvas, FormatRange{0, gdi::Rect{0, 0, 3 * 1440, 2 * 1440}, false});
    EXPECT_GT(twoInches, ends[0]);
    EXPECT_EQ(formatRange(doc, canvas, FormatRange{0, gdi::Rect{0, 0, 3 * 1440, 100 * 1440}, false}), n);

    // Nothing fits in a page lower than a line: the answer is the start, not
    // the end, whatever the start.
    for (int h : {0, 1, 100}) {
        EXPECT_EQ(formatRange(doc, canvas, FormatRange{0, gdi::Rect{0, 0, 1440, h}, false}), 0) << h;
        EXPECT_EQ(formatRange(doc, canvas, FormatRange{ends[0], gdi::Rect{0, 0, 1440, h}, false}), ends[0]) << h;
    }
    // Only an empty text, or a start at the end, fits in nothing.
    EXPECT_EQ(formatRange(RichDocument(), canvas, FormatRange{0, gdi::Rect{}, false}), 0);
    EXPECT_EQ(formatRange(doc, canvas, FormatRange{n, gdi::Rect{}, false}), n);

    // A word wider than the page is cut, and each line still holds one character.
    RichDocument word;
    word.append(QString(40, u'Ш'), format("DejaVu Sans", 40));
    int pos = 0, pages = 0;
    while (pos < word.length() && pages < 100) {
        const int end = formatRange(word, canvas, FormatRange{pos, gdi::Rect{0, 0, 200, 1440}, false});
        ASSERT_GT(end, pos);
        pos = end;
        ++pages;
    }
    EXPECT_EQ(pos, word.length());
}

TEST(RichTextTest, RenderingDrawsRunsInTheirColoursAndPlaces)
{
    gdi::Bitmap bitmap(300, 120);
    gdi::Canvas &canvas = bitmap.canvas();
    RichDocument doc;
    CharFormat black = format("DejaVu Sans", 24);
    CharFormat red = black;
    red.color = gdi::rgb(255, 0, 0);
    red.bold = true;
    doc.append(QStringLiteral("Left "), black);
    doc.append(QStringLiteral("RED"), red);
    doc.append(QStringLiteral("\rCentre"), black);
    doc.setParaFormat(1, ParaFormat{Align::Right, 0, 0, 0, false});
    // 3 × 1 inches at 96 pixels per inch: 288 × 96, placed at (6, 10).
    const gdi::Rect page{90, 150, 90 + 3 * 1440, 150 + 1440};
    EXPECT_EQ(formatRange(doc, canvas, FormatRange{0, page, true}), doc.length());
    const QImage &img = bitmap.image();

    QRect redBox, darkBox2;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                redBox |= QRect(x, y, 1, 1);
            if (y > 40 && qGray(c.rgb()) < 100)
                darkBox2 |= QRect(x, y, 1, 1);
        }
    // The red run follows "Left " on the first line.
    EXPECT_GT(redBox.left(), 40);
    EXPECT_LT(redBox.bottom(), 40);
    EXPECT_GE(redBox.top(), 10);
    // The second paragraph ends at the page's right edge.
    ASSERT_FALSE(darkBox2.isNull());
    EXPECT_GT(darkBox2.right(), 280);
    EXPECT_LE(darkBox2.right(), 6 + 288);
    EXPECT_GT(darkBox2.left(), 150);
}
