// The text export: lines and columns from places, right alignment, frames
// and their junctions, empty lines, page breaks and the OEM code page, byte
// for byte; the dialog's choices; the whole road from a built report.

#include "ReportBuildSupport.h"
#include "ReportTestSupport.h"

#include "platform/TextCodec.h"
#include "reports/export/TextExport.h"
#include "support/TestFiles.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

using namespace reports;
using namespace reportbuild;

class TextExportTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

struct Line {
    int x, y;
    QString text;
    int left = 0, right = 0; // the object's edges
    int frame = 0;
    int alignment = 0;
};

struct Options {
    double scaleX = 1, scaleY = 1;
    bool kill = true, oem = false, frames = false, pseudo = false, breaks = true;
};

QByteArray exportPage(const Options &o, const std::vector<Line> &lines)
{
    TfrTextExport filter;
    filter.ScaleX = o.scaleX;
    filter.ScaleY = o.scaleY;
    filter.KillEmptyLines = o.kill;
    filter.ConvertToOEM = o.oem;
    filter.ExportFrames = o.frames;
    filter.UsePseudographic = o.pseudo;
    filter.PageBreaks = o.breaks;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    filter.Stream = &out;
    MemoView memo;
    filter.OnBeginPage();
    for (const Line &l : lines) {
        memo.Alignment = l.alignment;
        filter.OnText(QRect(l.left, l.y, l.right - l.left, 14), l.x, l.y, l.text, l.frame, &memo);
    }
    filter.OnText(QRect(0, 0, 10, 10), 0, 0, QStringLiteral("no object"), 0, nullptr);
    filter.OnEndPage();
    return out.data();
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int c : list)
        b += static_cast<char>(c);
    return b;
}

// Four framed objects in two rows of two: their borders meet in one line
// between the rows and one column between them.
const std::vector<Line> kGrid = {
    {20, 14, "ab", 13, 52, 15}, {59, 14, "cd", 52, 91, 15},
    {20, 28, "ef", 13, 52, 15}, {59, 28, "gh", 52, 91, 15},
};

TEST_F(TextExportTest, Pages)
{
    const QByteArray h5(5, '\xC4');
    const struct {
        const char *name;
        Options options;
        std::vector<Line> lines;
        QByteArray expected;
    } cases[] = {
        {"a column is 6.5 units", {}, {{65, 0, "x"}}, "          x\r\n\f\r\n"},
        {"scaled across", {2}, {{65, 0, "x"}}, "                    x\r\n\f\r\n"},
        {"right aligned ends at the object's edge", {}, {{0, 0, "123", 0, 130, 0, 1 | 8}},
         "                 123\r\n\f\r\n"},
        {"overlapping texts follow one another", {}, {{7, 0, "de"}, {0, 0, "abc"}}, "abcde\r\n\f\r\n"},
        {"empty lines dropped", {}, {{0, 0, "a"}, {0, 42, "b"}}, "a\r\nb\r\n\f\r\n"},
        {"empty lines kept", {1, 1, false}, {{0, 0, "a"}, {0, 42, "b"}}, "a\r\n\r\n\r\nb\r\n\f\r\n"},
        {"without page breaks", {1, 1, true, false, false, false, false}, {{0, 0, "a"}}, "a\r\n"},
        {"lines scaled down the page", {1, 2, false}, {{0, 0, "a"}, {0, 14, "b"}}, "a\r\n\r\nb\r\n\f\r\n"},
        {"Windows code page", {}, {{0, 0, "Ёж"}}, bytes({0xA8, 0xE6}) + "\r\n\f\r\n"},
        {"OEM code page", {1, 1, true, true}, {{0, 0, "Ёж№"}}, bytes({0xF0, 0xA6, 0xFC}) + "\r\n\f\r\n"},
        {"frames without pseudographic", {1, 1, true, false, true}, kGrid,
         " +-----+-----+\r\n | ab  | cd  |\r\n +-----+-----+\r\n | ef  | gh  |\r\n +-----+-----+\r\n\f\r\n"},
        {"frames in box-drawing characters, converted", {1, 1, true, true, true, true}, kGrid,
         " " + bytes({0xDA}) + h5 + bytes({0xC2}) + h5 + bytes({0xBF}) + "\r\n" +
             " " + bytes({0xB3}) + " ab  " + bytes({0xB3}) + " cd  " + bytes({0xB3}) + "\r\n" +
             " " + bytes({0xC3}) + h5 + bytes({0xC5}) + h5 + bytes({0xB4}) + "\r\n" +
             " " + bytes({0xB3}) + " ef  " + bytes({0xB3}) + " gh  " + bytes({0xB3}) + "\r\n" +
             " " + bytes({0xC0}) + h5 + bytes({0xC1}) + h5 + bytes({0xD9}) + "\r\n\f\r\n"},
        {"a frame at the left edge keeps its text", {1, 1, true, false, true}, {{2, 0, "a", 0, 13, 15}},
         "-+\r\na|\r\n-+\r\n\f\r\n"},
        // Lines beyond the first 201 and above the page's top.
        {"a long page", {}, {{0, 14 * 250, "z"}, {0, -14, "gone"}}, "z\r\n\f\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(exportPage(c.options, c.lines), c.expected);
    }
}

class ChoosingDialogs : public ExportDialogs {
public:
    TextExportChoices shown;
    int ShowTextExport(TextExportChoices &c) override
    {
        shown = c;
        c.ScaleX = QStringLiteral("1,5");
        c.ScaleY = QStringLiteral("abc");
        c.KillEmptyLines = false;
        c.ExportFrames = true;
        return 2;
    }
};

// The choices are read back even when the dialog is cancelled; a scale
// takes either separator, and no number gives 1.
TEST_F(TextExportTest, DialogChoicesAreReadBack)
{
    ChoosingDialogs dialogs;
    platform::ScopedService<ExportDialogs> use(dialogs);
    TfrTextExport filter;
    filter.ScaleY = 2.5;
    EXPECT_EQ(filter.ShowModal(), 2);
    EXPECT_EQ(dialogs.shown.ScaleY, platform::floatToStr(2.5));
    EXPECT_EQ(filter.ScaleX, 1.5);
    EXPECT_EQ(filter.ScaleY, 1);
    EXPECT_FALSE(filter.KillEmptyLines);
    EXPECT_TRUE(filter.ExportFrames);
    EXPECT_EQ(ScaleFromText("1.5"), 1.5);
    filter.ShowDialog = false;
    EXPECT_EQ(filter.ShowModal(), 1);
}

TEST_F(TextExportTest, RegistersWhileItLives)
{
    auto has = [] {
        for (const ExportFilterInfo &f : ExportFilters())
            if (f.ClassName == "TfrTextExport")
                return f.FilterDesc == QStringLiteral("Текстовый файл (*.txt)") && f.FilterExt == "*.txt";
        return false;
    };
    {
        TfrTextExport filter;
        EXPECT_TRUE(has());
    }
    EXPECT_FALSE(has());
}

// A built report written through the export road: text lines of framed
// objects in a data band, in the Windows code page.
TEST_F(TextExportTest, BuiltReport)
{
    testsupport::TempFolder folder;
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> fixed(measuring);
    Built r;
    r.add("Items", {"NAME", "QTY"}, {{QStringLiteral("один"), 1.0}, {QStringLiteral("два"), 22.0}});
    PageBuilder b(addPage(r.report));
    b.band("T", btReportTitle, 10, 28);
    b.memo("t", 0, 10, 130, 14, "Итоги");
    b.band("Data", btMasterData, 40, 14, "Items");
    MemoView &name = b.memo("n", 13, 40, 65, 14, "[Items.NAME]");
    MemoView &qty = b.memo("q", 78, 40, 39, 14, "[Items.QTY]");
    for (MemoView *m : {&name, &qty})
        m->FrameTyp = 15;
    qty.Alignment = frtaRight;
    ASSERT_TRUE(r.report.PrepareReport());
    TfrTextExport filter;
    filter.ShowDialog = false;
    filter.ExportFrames = true;
    const QString file = folder.file("out.txt");
    r.report.ExportTo(&filter, file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(platform::fromCp1251(f.readAll()),
              QStringLiteral("Итоги\r\n"
                             " +---------+-----+\r\n"
                             " |один     |    1|\r\n"
                             " +---------+-----+\r\n"
                             " |два      |   22|\r\n"
                             " +---------+-----+\r\n"
                             "\f\r\n"));
}

} // namespace
