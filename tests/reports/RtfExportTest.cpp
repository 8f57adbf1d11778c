// The RTF export byte for byte: paragraphs with tab stops and table rows,
// formatting written on change, white as black, escaped text in the Windows
// code page, the font and colour tables, pictures as metafile frames.

#include "ReportTestSupport.h"

#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/export/RtfExport.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

using namespace reports;

class RtfExportTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

struct Piece {
    int page, x, y, left, right;
    QString text, font;
    int size, style;
    std::uint32_t color;
    int alignment = 0;
};

// Two pages: a bold white text and a right-aligned red one on the first
// line of page 1, a line further down on page 2.
const std::vector<Piece> kPieces = {
    {0, 100, 0, 98, 200, "Итог {1}", "Arial", 10, 2, 0xFFFFFF},
    {0, 250, 0, 200, 300, "12\\3", "Arial", 10, 0, 0x0000FF, 1},
    {1, 100, 28, 98, 250, "Ёлка", "Times New Roman", 12, 0, 0},
};

QByteArray exportPieces(TfrRTFExport &filter, const std::vector<Piece> &pieces, int pages,
                        const std::function<void(int)> &onPage = {})
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    filter.Stream = &out;
    MemoView memo;
    filter.OnBeginDoc();
    for (int page = 0; page < pages; ++page) {
        filter.OnBeginPage();
        if (onPage)
            onPage(page);
        for (const Piece &p : pieces) {
            if (p.page != page)
                continue;
            memo.Font.Name = p.font;
            memo.Font.Size = p.size;
            memo.Font.Style = p.style;
            memo.Font.Color = p.color;
            memo.Alignment = p.alignment;
            filter.OnText(QRect(p.left, p.y, p.right - p.left, 14), p.x, p.y, p.text, 0, &memo);
        }
        filter.OnEndPage();
    }
    filter.OnEndDoc();
    return out.data();
}

const QByteArray kHead = "{\\rtf1\\ansi\\ansicpg1251\r\n\\margl600\\margr600\\margt600\\margb600\r\n"
                         "{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset204 Times New Roman;}}\r\n"
                         "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n";

TEST_F(RtfExportTest, ParagraphsAndTables)
{
    const struct {
        bool table;
        QByteArray body;
    } cases[] = {
        {false, "\\pard\\tx2000\\tqr\\tx6000{\\tab\\f0\\fs20\\b\\cf1 \\'c8\\'f2\\'ee\\'e3 \\{1\\}"
                "\\tab\\b0\\cf2 12\\\\3\\par}\r\n"
                "\\page\r\n"
                "\\pard\\tx2000{\\tab\\f1\\fs24\\cf1 \\'a8\\'eb\\'ea\\'e0\\par}\r\n"
                "\\par}"},
        // Rows start at the margin: an empty cell up to the first piece;
        // each piece's cell spans its text's place, a right-aligned one
        // ending at its right edge; the page break ends a paragraph.
        {true, "\\trowd \\trgaph0\\trleft0\\cellx2000\\cellx4000\\cellx6000 \\pard \\intbl \\cell "
               "{\\f0\\fs20\\b\\cf1 \\'c8\\'f2\\'ee\\'e3 \\{1\\}}\\cell \\qr{\\f0\\fs20\\cf2 12\\\\3}\\cell "
               "\\pard \\intbl \\row\r\n"
               "\\pard\r\n"
               "\\page\\par\r\n"
               "\\trowd \\trgaph0\\trleft0\\cellx2000\\cellx5000 \\pard \\intbl \\cell {\\f1\\fs24\\cf1 \\'a8\\'eb\\'ea\\'e0}\\cell "
               "\\pard \\intbl \\row\r\n"
               "\\pard\r\n"
               "\\par}"},
    };
    for (const auto &c : cases) {
        TfrRTFExport filter;
        filter.ConvertToTable = c.table;
        EXPECT_EQ(exportPieces(filter, kPieces, 2), kHead + c.body) << (c.table ? "table" : "paragraphs");
    }
}

TEST_F(RtfExportTest, EmptyLinesAndBreaks)
{
    TfrRTFExport filter;
    filter.KillEmptyLines = false;
    filter.PageBreaks = false;
    const QByteArray out = exportPieces(filter, {{0, 0, 14, 0, 50, "a", "Arial", 10, 0, 0}, {1, 0, 0, 0, 50, "b", "Arial", 10, 0, 0}}, 2);
    EXPECT_TRUE(out.contains("\r\n{\\pard \\par}\r\n\\pard\\tx0{\\tab\\f0\\fs20\\cf1 a\\par}\r\n\\pard\\tx0{"))
        << out.toStdString();
    EXPECT_FALSE(out.contains("\\page"));
}

// Long tables are written in lines of at most 254 characters.
TEST_F(RtfExportTest, TablesWrapAt254)
{
    std::vector<Piece> pieces;
    for (int i = 0; i < 12; ++i)
        pieces.push_back({0, 0, 14 * i, 0, 50, "x", QStringLiteral("Font with a rather long name %1").arg(i), 10, 0,
                          std::uint32_t(i * 0x010101)});
    TfrRTFExport filter;
    const QByteArray out = exportPieces(filter, pieces, 1);
    const QList<QByteArray> lines = out.split('\n');
    int tableLines = 0;
    for (const QByteArray &l : lines) {
        if (l.startsWith("\\pard"))
            break;
        EXPECT_LE(l.size() - 1, 254) << l.toStdString();
        ++tableLines;
    }
    EXPECT_GT(tableLines, 4) << "both tables took more than one line";
    EXPECT_TRUE(out.contains("{\\f11\\fcharset204 Font with a rather long name 11;}}\r\n"));
}

// A 8 x 2 picture of 24 bits, its file made byte by byte: 14 bytes of file
// header, 40 of info, two rows of 24 bytes.
QByteArray tinyBmp()
{
    QByteArray b(14 + 40 + 48, '\0');
    auto put = [&b](int at, quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 102, 4);  // file size
    put(10, 54, 4);  // offset of the bits
    put(14, 40, 4);  // info size
    put(18, 8, 4);   // width
    put(22, 2, 4);   // height
    put(26, 1, 2);   // planes
    put(28, 24, 2);  // bits per pixel
    for (int i = 54; i < 102; ++i)
        b[i] = static_cast<char>(0xAB);
    return b;
}

TEST_F(RtfExportTest, PicturesAsMetafileFrames)
{
    PictureView picture;
    ASSERT_TRUE(picture.Picture.loadFromBytes(tinyBmp()));
    picture.SetBounds(50, 65, 40, 20);
    PictureView empty;
    empty.SetBounds(0, 0, 10, 10);
    for (const bool bitmaps : {false, true}) {
        TfrRTFExport filter;
        filter.ExportBitmaps = bitmaps;
        const QByteArray out = exportPieces(filter, {}, 1, [&](int) {
            filter.OnData(picture.Left, picture.Top, &picture);
            filter.OnData(empty.Left, empty.Top, &empty);
        });
        const QByteArray dib = tinyBmp().mid(14).toHex().toUpper();
        const QByteArray expected =
            "\\pard\\phmrg\\posx1000\\posy1000\\absh400\\absw800{\\pict\\wmetafile8\\picw1059\\pich529 "
            "\\picbmp\\picbpp4\r\n"
            "0100090000035E00000000003A0000000000050000000b0200000000050000000c0202000800"
            "05000000090200000000050000000102ffffff0004000000070103003A000000430f2000cc000000"
            "02000800000000000200080000000000\r\n"
            + dib.left(128) + "\r\n" + dib.mid(128) + "030000000000}\\par\r\n";
        EXPECT_EQ(out.contains(expected), bitmaps) << out.toStdString();
        EXPECT_EQ(out.count("\\pict"), bitmaps ? 1 : 0) << "an empty picture writes nothing";
    }
}

TEST_F(RtfExportTest, RegistersWhileItLives)
{
    auto desc = [] {
        for (const ExportFilterInfo &f : ExportFilters())
            if (f.ClassName == "TfrRTFExport")
                return f.FilterDesc + u' ' + f.FilterExt;
        return QString();
    };
    {
        TfrRTFExport filter;
        EXPECT_EQ(filter.ScaleX, 1.3);
        EXPECT_EQ(desc(), QStringLiteral("Файл Rich Text (*.rtf) *.rtf"));
        for (const ExportFilterInfo &f : ExportFilters())
            EXPECT_NE(f.ClassName, "TfrTextExport") << "the derived filter is not the text one";
    }
    EXPECT_EQ(desc(), QString());
}

} // namespace
