// The object kinds at work: the text object measured, split over pages and
// drawn justified; bands forwarding to their runtime band; pictures placed
// and loaded; lines; and a page of every kind drawn offscreen.

#include "ReportTestSupport.h"
#include "platform/gdi/Bitmap.h"
#include "platform/db/MemoryTable.h"
#include "platform/gdi/Metafile.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"
#include "reports/model/ReportViews.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDir>

#include <climits>

#include <gtest/gtest.h>

using namespace reports;
using testsupport::putLE16;
using testsupport::putLE32;

namespace {

// Every character 6 units wide, so that wrapping does not depend on fonts.
class FixedMeasuring : public TextMeasuring {
public:
    std::unique_ptr<TextMeasurer> measurer(const gdi::LogFont &, int spacing) override
    {
        return std::make_unique<FixedWidthMeasurer>(6, spacing);
    }
};

// Keeps the text of every record it writes.
class RecordingMemo : public MemoView {
public:
    std::vector<QStringList> printed;
    void SaveToStream(QIODevice &) override
    {
        QStringList lines;
        for (QString line : OutputMemo)
            lines << line.remove(kParagraphEnd);
        printed.push_back(lines);
    }
};

class ReportViewsTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

// A 24-bit BMP of 2 x 2 pixels: red, green on the bottom row; blue, white on
// the top row.
QByteArray tinyBmp()
{
    QByteArray b(70, '\0');
    b[0] = 'B';
    b[1] = 'M';
    putLE32(b, 2, 70);  // file size
    putLE32(b, 10, 54); // pixels' offset
    putLE32(b, 14, 40); // info header size
    putLE32(b, 18, 2);  // width
    putLE32(b, 22, 2);  // height (bottom-up)
    putLE16(b, 26, 1);  // planes
    putLE16(b, 28, 24); // bits per pixel
    putLE32(b, 34, 16); // image size
    const unsigned char rows[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    for (int i = 0; i < 16; ++i)
        b[54 + i] = static_cast<char>(rows[i]);
    return b;
}

// The columns of the row where the pixel is darker than mid grey.
int rightmostDark(const QImage &image, int y0, int y1, int x0, int x1)
{
    int found = -1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (qGray(image.pixel(x, y)) < 128)
                found = std::max(found, x);
    return found;
}

} // namespace

TEST_F(ReportViewsTest, HeightsOfTheTextObject)
{
    FixedMeasuring fixed;
    platform::ScopedService<TextMeasuring> measuring(fixed);
    library().State.DocumentMode = 1;
    MemoView memo;
    memo.SetBounds(0, 0, 100, 100);
    // Size 10: a font height of -13, so a line step of 2 + 13.
    EXPECT_EQ(memo.FontHeight(), -13);
    EXPECT_EQ(memo.MinHeight(), 2 + 15 + 2);
    EXPECT_EQ(memo.LineStep, 15);
    EXPECT_EQ(memo.RemainHeight(), 2 + 2 + (100 - 2 - 2) % 15);
    EXPECT_EQ(memo.CalcHeight(), 0); // empty

    // Width 100 less 2 x 2 gaps holds 16 characters of 6.
    memo.Memo = {"one two three four five", "six"};
    EXPECT_EQ(memo.CalcHeight(), 1 + 3 * 15 + 1);
    EXPECT_EQ(memo.OutputMemo.size(), 3);
    memo.Visible = false;
    EXPECT_EQ(memo.CalcHeight(), 0);

    // Values a damaged file may hold: a line step of 0 fits no line (it was
    // a division by zero), and huge ones are held to half the integer range.
    memo.Visible = true;
    memo.LineSpacing = -13;
    EXPECT_EQ(memo.RemainHeight(), 2 + 2);
    memo.LineSpacing = INT_MAX;
    memo.SetBounds(INT_MAX - 10, INT_MAX - 10, 100, 100);
    memo.CalcHeight();
    EXPECT_EQ(memo.TextHeight, 1 << 30);
    EXPECT_EQ(memo.MinHeight(), 1 << 30);

    LineView line;
    line.SetBounds(0, 0, 10, 40);
    EXPECT_EQ(line.CalcHeight(), 40);
    EXPECT_EQ(line.MinHeight(), 1);
    EXPECT_EQ(line.RemainHeight(), 0);
}

TEST_F(ReportViewsTest, ASplitTextPrintsEachLineOnce)
{
    FixedMeasuring fixed;
    platform::ScopedService<TextMeasuring> measuring(fixed);
    library().State.DocumentMode = 1;
    RecordingMemo memo;
    memo.SetBounds(0, 0, 200, 70); // lines at 1, 16, 31, 46: four fit
    for (int i = 1; i <= 10; ++i)
        memo.Memo << QStringLiteral("Line %1").arg(i);
    memo.CalcHeight();
    memo.StretchPhase = 2;
    QBuffer stream;
    stream.open(QIODevice::WriteOnly);
    memo.PrintToStream(stream);
    ASSERT_EQ(memo.printed.size(), 1u);
    EXPECT_EQ(memo.printed[0], (QStringList{"Line 1", "Line 2", "Line 3", "Line 4"}));
    EXPECT_EQ(memo.OutputMemo.size(), 6);
    EXPECT_EQ(memo.StretchPhase, 0);
    EXPECT_EQ(stream.data(), QByteArray(1, '\0')); // the kind byte; the record is the writer's

    memo.StretchPhase = 2;
    memo.Height = 200;
    memo.PrintToStream(stream);
    ASSERT_EQ(memo.printed.size(), 2u);
    QStringList rest;
    for (int i = 5; i <= 10; ++i)
        rest << QStringLiteral("Line %1").arg(i);
    EXPECT_EQ(memo.printed[1], rest);
    EXPECT_TRUE(memo.OutputMemo.isEmpty());
}

TEST_F(ReportViewsTest, PrintingPlainAndSuppressedTexts)
{
    FixedMeasuring fixed;
    platform::ScopedService<TextMeasuring> measuring(fixed);
    library().State.DocumentMode = 1;
    RecordingMemo memo;
    memo.SetBounds(0, 0, 200, 70);
    QBuffer stream;
    stream.open(QIODevice::WriteOnly);
    memo.PrintToStream(stream); // empty: a record with an empty text
    ASSERT_EQ(memo.printed.size(), 1u);
    EXPECT_TRUE(memo.printed[0].isEmpty());

    memo.Memo = {"same"};
    memo.Flags |= flSuppress;
    memo.PrintToStream(stream);
    memo.PrintToStream(stream);
    ASSERT_EQ(memo.printed.size(), 2u);
    EXPECT_EQ(memo.LastText, "same");
    memo.Memo = {"other"};
    memo.PrintToStream(stream);
    EXPECT_EQ(memo.printed.size(), 3u);

    memo.Visible = false;
    memo.PrintToStream(stream);
    EXPECT_EQ(memo.printed.size(), 3u);
}

TEST_F(ReportViewsTest, ExportedLinesAndAutoWidth)
{
    FixedMeasuring fixed;
    platform::ScopedService<TextMeasuring> measuring(fixed);
    library().State.DocumentMode = 1;
    struct Exported {
        QString text;
        int frame;
    };
    class ExportingReport : public Report {
    public:
        std::vector<Exported> lines;
        void ExportText(const QRect &, int, int, const QString &text, int frameTyp, View &) override
        {
            lines.push_back({text, frameTyp});
        }
    } report;
    library().State.CurrentReport = &report;
    MemoView memo;
    memo.SetBounds(0, 0, 200, 100);
    memo.FrameTyp = 15;
    // Each line keeps the frame lines that belong to it.
    memo.Memo = {"first", "second", "third"};
    memo.ExportData();
    ASSERT_EQ(report.lines.size(), 3u);
    EXPECT_EQ(report.lines[0].text, "first");
    EXPECT_EQ(report.lines[0].frame, frftLeft | frftRight | frftTop);
    EXPECT_EQ(report.lines[1].frame, frftLeft | frftRight);
    EXPECT_EQ(report.lines[2].frame, frftLeft | frftRight | frftBottom);
    report.lines.clear();
    memo.Memo = {"alone"};
    memo.ExportData();
    ASSERT_EQ(report.lines.size(), 1u);
    EXPECT_EQ(report.lines[0].frame, 15);

    // The width follows the text: 6 characters of 6, the frame and the gaps.
    memo.Flags |= flAutoWidth;
    memo.Alignment = frtaRight;
    memo.Memo = {"abcdef"};
    EXPECT_EQ(memo.CalcWidth(memo.Memo), 36 + 1 + 4 + 1);
    platform::gdi::Bitmap page(300, 120);
    memo.Draw(page.canvas());
    EXPECT_EQ(memo.Width, 42);
    EXPECT_EQ(memo.Left, 200 - 42);
    library().State.CurrentReport = nullptr;
}

TEST_F(ReportViewsTest, ObjectsTakeABoundBlobField)
{
    using T = platform::db::FieldType;
    const platform::db::FieldDefs defs{{QStringLiteral("NOTE"), T::Memo, 10, 0},
                                       {QStringLiteral("IMAGE"), T::Graphic, 10, 0},
                                       {QStringLiteral("ID"), T::Integer, 4, 0}};
    platform::db::MemoryTable table(defs, {{QStringLiteral("из поля\r\nвторая"), tinyBmp(), 1}});
    table.open();
    Report report;
    MemoView memo;
    memo.BlobDataSet = &table;
    memo.BlobField = QStringLiteral("note");
    report.BeforePrint(memo.OutputMemo, memo);
    EXPECT_EQ(memo.OutputMemo, (QStringList{"из поля", "вторая"}));

    PictureView picture;
    picture.BlobDataSet = &table;
    picture.BlobField = QStringLiteral("IMAGE");
    report.BeforePrint(picture.OutputMemo, picture);
    EXPECT_EQ(picture.Picture.kind, ReportPicture::Bitmap);
    EXPECT_EQ(picture.Picture.width(), 2);
    picture.Picture.clear();
    picture.BlobField = QStringLiteral("ID"); // not a blob: nothing is loaded
    report.BeforePrint(picture.OutputMemo, picture);
    EXPECT_TRUE(picture.Picture.isEmpty());
}

TEST_F(ReportViewsTest, JustifiedLinesFillTheWidthButTheLast)
{
    platform::gdi::Bitmap page(400, 200);
    MemoView memo;
    memo.SetBounds(10, 10, 300, 150);
    memo.Alignment = frtaJustify;
    memo.Memo = {"Межевой план земельного участка составлен по результатам кадастровых работ в связи с "
                 "образованием участка"};
    library().State.DocumentMode = 1;
    memo.Draw(page.canvas());
    const QImage &image = page.image();
    const int step = memo.LineSpacing - memo.FontHeight();
    const int lines = memo.LinesShown;
    ASSERT_GE(lines, 3);
    const int right = memo.DrawRect.right - memo.GapX; // the text area's right edge
    for (int i = 0; i < lines; ++i) {
        const int y = 10 + memo.GapY + i * step;
        const int edge = rightmostDark(image, y, y + step - 2, 10, 320);
        if (i < lines - 1)
            EXPECT_GE(edge, right - 4) << "line " << i;
        else
            EXPECT_LT(edge, right - 20) << "the last line";
    }
}

TEST_F(ReportViewsTest, UnderlinesAndALongExpressionInTheDesigner)
{
    library().State.DocumentMode = 1;
    platform::gdi::Bitmap page(200, 100);
    MemoView memo;
    memo.SetBounds(0, 0, 100, 60);
    memo.Flags |= flUnderlines;
    memo.Draw(page.canvas());
    // 60 div 15 lines at the gap, the step, 2 and the text height.
    const QImage &image = page.image();
    for (int y : {16, 31, 46, 61})
        EXPECT_EQ(qGray(image.pixel(50, y)), 0) << y;
    for (int y : {20, 62, 76})
        EXPECT_EQ(qGray(image.pixel(50, y)), 255) << y;

    // In the designer a single overlong line that begins with "[" stays
    // one line.
    FixedMeasuring fixed;
    platform::ScopedService<TextMeasuring> measuring(fixed);
    library().State.DocumentMode = 0;
    memo.OutputMemo = {"[Points.\"Very long field name\"]"};
    memo.WrapMemo();
    EXPECT_EQ(memo.WrappedLines.size(), 1);
    library().State.DocumentMode = 1;
    memo.WrapMemo();
    EXPECT_GT(memo.WrappedLines.size(), 1);
}

TEST_F(ReportViewsTest, VerticalAlignment)
{
    library().State.DocumentMode = 1;
    // One line of 17 units (gaps included) in a box 100 high.
    const struct {
        int alignment;
        int firstInk, lastInk; // the rows the text may take
    } cases[] = {
        {frtaLeft, 1, 16},
        {frtaMiddle, 42, 58},
        {frtaDown, 83, 99},
    };
    for (const auto &c : cases) {
        platform::gdi::Bitmap page(120, 110);
        MemoView memo;
        memo.SetBounds(0, 0, 100, 100);
        memo.Alignment = c.alignment;
        memo.Memo = {"Кадастр"};
        memo.Draw(page.canvas());
        const QImage &image = page.image();
        int top = -1, bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < 100; ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                }
        EXPECT_GE(top, c.firstInk) << c.alignment;
        EXPECT_LE(bottom, c.lastInk) << c.alignment;
        EXPECT_GT(bottom - top, 5) << c.alignment;
    }
}

TEST_F(ReportViewsTest, RightToLeftReadingPutsTheFullStopFirst)
{
    library().State.DocumentMode = 1;
    // The leftmost inked column of a line: the full stop's (only low rows)
    // when the line reads from the right.
    auto leftmostInkTop = [](bool rtl) {
        platform::gdi::Bitmap page(200, 40);
        MemoView memo;
        memo.SetBounds(0, 0, 200, 40);
        memo.Memo = {"Ттт."};
        memo.Font.Size = 20;
        if (rtl)
            memo.Flags |= flRTLReading;
        memo.Draw(page.canvas());
        const QImage &image = page.image();
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qGray(image.pixel(x, y)) < 128)
                    return y;
        return -1;
    };
    const int plain = leftmostInkTop(false);
    const int rtl = leftmostInkTop(true);
    ASSERT_GE(plain, 0);
    EXPECT_GT(rtl, plain + 8); // the stop sits on the base line, the T's bar at the top
}

TEST_F(ReportViewsTest, BandsForwardToTheirRuntimeBand)
{
    BandView band;
    band.SetBandType(btMasterData);
    Band runtime;
    band.Runtime = &runtime;
    UserDataset data;
    int moves = 0;
    data.OnNext = [&moves](Dataset &) { ++moves; };
    runtime.DataSet = &data;

    // While designing, "DATASOURCE" changes nothing and sizes are the object's.
    band.SetProperty(QStringLiteral("DataSource"), Variant(QStringLiteral("Points")));
    band.SetProperty(QStringLiteral("Height"), Variant(30));
    EXPECT_EQ(runtime.DataSourceName, QString());
    EXPECT_EQ(band.Height, 30);

    library().State.DocumentMode = 1;
    band.SetProperty(QStringLiteral("DATASOURCE"), Variant(QStringLiteral("Points")));
    EXPECT_EQ(runtime.DataSourceName, "Points");
    band.SetProperty(QStringLiteral("Height"), Variant(44));
    EXPECT_EQ(runtime.dy, 44);
    EXPECT_EQ(band.Height, 30);
    EXPECT_EQ(band.GetProperty(QStringLiteral("HEIGHT")).toInt(), 44);
    band.SetProperty(QStringLiteral("Breaked"), Variant(true));
    EXPECT_TRUE(runtime.PageBreak);
    EXPECT_TRUE(band.Flags & flBandBreaked);
    band.SetProperty(QStringLiteral("Condition"), Variant(QStringLiteral("[Street]")));
    EXPECT_EQ(runtime.GroupCondition, "[Street]");
    EXPECT_EQ(band.DisplayFormatText, "[Street]");
    band.CallMethod(QStringLiteral("NEXT"), Variant(), Variant(), Variant());
    EXPECT_EQ(moves, 1);
    EXPECT_FALSE(band.GetProperty(QStringLiteral("EOF")).toBool());
}

TEST_F(ReportViewsTest, PictureTargets)
{
    const gdi::Rect box{10, 10, 410, 110};
    const gdi::Rect tall{10, 10, 110, 410};
    const struct {
        const char *what;
        gdi::Rect drawRect;
        int width, height, pw, ph;
        quint16 flags;
        double scale;
        gdi::Rect target;
    } cases[] = {
        {"stretched", box, 400, 100, 100, 50, 1, 1.0, box},
        {"keep aspect in a wide box", box, 400, 100, 100, 50, 5, 1.0, {10, 10, 210, 110}},
        {"and centred", box, 400, 100, 100, 50, 7, 1.0, {110, 10, 310, 110}},
        {"keep aspect in a tall box", tall, 100, 400, 100, 50, 5, 1.0, {10, 10, 110, 60}},
        {"and centred", tall, 100, 400, 100, 50, 7, 1.0, {10, 185, 110, 235}},
        {"half to even", {0, 0, 5, 5}, 5, 5, 4, 2, 5, 1.0, {0, 0, 5, 2}},
        {"not stretched", box, 400, 100, 100, 50, 0, 1.5, {10, 10, 160, 85}},
        {"centred, toward zero", box, 400, 100, 100, 50, 2, 1.5, {135, 22, 285, 97}},
        {"larger than the box", {0, 0, 10, 10}, 10, 10, 15, 15, 2, 1.0, {-2, -2, 13, 13}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PictureTarget(c.drawRect, c.width, c.height, c.pw, c.ph, c.flags, c.scale, c.scale), c.target)
            << c.what;
}

TEST_F(ReportViewsTest, PicturesLoad)
{
    testsupport::TempFolder folder;
    const QString bmp = folder.write(QStringLiteral("tiny.bmp"), tinyBmp());
    PictureView picture;
    const Variant none;
    picture.CallMethod(QStringLiteral("LOADFROMFILE"), Variant(u'\'' + bmp + u'\''), none, none);
    ASSERT_EQ(picture.Picture.kind, ReportPicture::Bitmap);
    EXPECT_EQ(picture.Picture.width(), 2);
    EXPECT_EQ(picture.Picture.image.pixel(0, 1), 0xFFFF0000u); // bottom left: red
    picture.CallMethod(QStringLiteral("LOADFROMFILE"), Variant(u'\'' + folder.file(QStringLiteral("missing.bmp")) + u'\''),
                       none, none);
    EXPECT_TRUE(picture.Picture.isEmpty());

    // A metafile by its content, whatever the name says.
    gdi::Metafile meta;
    {
        gdi::MetafileCanvas canvas(meta);
        canvas.rectangle(gdi::Rect{0, 0, 20, 10});
    }
    const QString wmf = folder.write(QStringLiteral("map.bmp"), meta.toWmf());
    EXPECT_TRUE(picture.Picture.loadFromFile(wmf));
    EXPECT_EQ(picture.Picture.kind, ReportPicture::Metafile);
    picture.LoadBlobBytes(QByteArray("not a picture"), false);
    EXPECT_TRUE(picture.Picture.isEmpty());
    picture.LoadBlobBytes(tinyBmp(), false);
    EXPECT_FALSE(picture.Picture.isEmpty());
    picture.LoadBlobBytes(tinyBmp(), true);
    EXPECT_TRUE(picture.Picture.isEmpty());
}

TEST_F(ReportViewsTest, LinesTakeTheirOrientationFromTheirShape)
{
    platform::gdi::Bitmap page(200, 200);
    LineView horizontal;
    horizontal.SetBounds(10, 10, 100, 5);
    horizontal.Draw(page.canvas());
    EXPECT_EQ(horizontal.Height, 0);
    EXPECT_EQ(horizontal.FrameTyp, frftTop);
    LineView vertical;
    vertical.SetBounds(10, 10, 5, 5);
    vertical.Draw(page.canvas());
    EXPECT_EQ(vertical.Width, 0);
    EXPECT_EQ(vertical.FrameTyp, frftLeft);
    const QImage &image = page.image();
    EXPECT_EQ(qGray(image.pixel(60, 10)), 0);  // on the horizontal line
    EXPECT_EQ(qGray(image.pixel(10, 13)), 0);  // on the vertical line
    EXPECT_EQ(qGray(image.pixel(60, 12)), 255);
}

// A page with an object of each kind, drawn in the designer's look and kept
// as a picture; the frames stand where the geometry puts them.
TEST_F(ReportViewsTest, APageOfEveryKindDrawnOffscreen)
{
    platform::gdi::Bitmap image(794, 420);
    gdi::Canvas &canvas = image.canvas();
    Page page;
    page.Metrics.PaperWidth = 794;
    page.Metrics.PaperHeight = 1123;
    page.Metrics.OffsetX = 18;
    page.Metrics.PrintWidth = 758;
    library().State.DesignerPage = &page;

    auto *band = static_cast<BandView *>(page.Add(std::make_unique<BandView>()));
    band->Name = QStringLiteral("MasterData1");
    band->SetBandType(btMasterData);
    band->SetBounds(0, 40, 0, 90);
    band->Columns = 2;
    band->ColumnWidth = 300;

    auto *memo = static_cast<MemoView *>(page.Add(std::make_unique<MemoView>()));
    memo->SetBounds(40, 150, 300, 120);
    memo->FrameTyp = 15;
    memo->FrameWidth = 2;
    memo->FillColor = gdi::rgb(255, 255, 224);
    memo->Alignment = frtaJustify;
    memo->Memo = {"Межевой план земельного участка составлен по результатам кадастровых работ в связи с "
                  "образованием земельного участка путём раздела.",
                  "Площадь участка 1500 кв. м."};

    auto *rotated = static_cast<MemoView *>(page.Add(std::make_unique<MemoView>()));
    rotated->SetBounds(370, 150, 60, 200);
    rotated->FrameTyp = 15;
    rotated->FrameStyle = 1;
    rotated->Alignment = frtaVertical;
    rotated->Memo = {"Повёрнутый текст", "вторая строка"};

    auto *line = static_cast<LineView *>(page.Add(std::make_unique<LineView>()));
    line->SetBounds(40, 300, 300, 1);
    line->FrameWidth = 3;

    auto *picture = static_cast<PictureView *>(page.Add(std::make_unique<PictureView>()));
    picture->SetBounds(460, 150, 120, 80);
    picture->FrameTyp = 15;
    ASSERT_TRUE(picture->Picture.loadFromBytes(tinyBmp()));

    auto *empty = static_cast<PictureView *>(page.Add(std::make_unique<PictureView>()));
    empty->SetBounds(460, 250, 120, 60);

    auto *sub = static_cast<SubReportView *>(page.Add(std::make_unique<SubReportView>()));
    sub->Name = QStringLiteral("SubReport1");
    sub->SetBounds(610, 150, 150, 100);

    for (const auto &view : page.Objects)
        view->Draw(canvas);
    const QImage &pixels = image.image();
    const QString artefacts = testsupport::artefactFolder(QStringLiteral("reports"));
    ASSERT_TRUE(pixels.save(QDir(artefacts).filePath(QStringLiteral("report-objects.png"))));

    auto gray = [&pixels](int x, int y) { return qGray(pixels.pixel(x, y)); };
    // The memo's frame: width 2 along its edges (40, 150) to (340, 270).
    for (int y : {160, 200, 260}) {
        EXPECT_LT(gray(40, y), 64) << y;
        EXPECT_LT(gray(340, y), 64) << y;
    }
    for (int x : {60, 200, 330}) {
        EXPECT_LT(gray(x, 150), 64) << x;
        EXPECT_LT(gray(x, 270), 64) << x;
    }
    EXPECT_EQ(pixels.pixel(45, 265), 0xFFFFFFE0u); // the fill inside
    // The line, 3 wide, centred on y = 300.
    for (int y : {299, 300, 301})
        EXPECT_LT(gray(200, y), 64) << y;
    EXPECT_GT(gray(200, 303), 192);
    // The band: checkered strip across the page, its title tab above it.
    EXPECT_NE(pixels.pixel(200, 80), pixels.pixel(201, 80));
    EXPECT_EQ(pixels.pixel(80, 30), 0xFFC0C0C0u); // the tab's face, right of its title
    EXPECT_GT(gray(150, 30), 192);                // right of a 100-unit tab: white
    // The subreport: a black border on white.
    EXPECT_LT(gray(610, 200), 64);
    EXPECT_LT(gray(760, 200), 64);
    EXPECT_EQ(pixels.pixel(700, 230), 0xFFFFFFFFu);
    // The rotated text runs upward from the bottom of its box: ink in the
    // lower half only, between the dashed frame lines.
    auto inkIn = [&pixels](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (qGray(pixels.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(372, 260, 428, 345));
    EXPECT_FALSE(inkIn(372, 153, 428, 230));
    // The picture stretched with its aspect: 2 x 2 pixels into 80 x 80.
    EXPECT_EQ(pixels.pixel(470, 220), 0xFFFF0000u); // bottom left: red
    EXPECT_EQ(pixels.pixel(530, 160), 0xFFFFFFFFu); // top right: white
    EXPECT_EQ(pixels.pixel(470, 160), 0xFF0000FFu); // top left: blue
    library().State.DesignerPage = nullptr;
}
