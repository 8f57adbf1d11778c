// The rich-text object: values of bracketed expressions printed in the
// formatting of the expression, the stored record with its end position,
// heights for the band engine, a long text split over pages with nothing
// lost or repeated, and the object drawn.

#include "ReportTestSupport.h"
#include "platform/db/MemoryTable.h"
#include "platform/gdi/Bitmap.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportModel.h"
#include "reports/addins/RichView.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace reports;
using platform::richtext::CharFormat;
using platform::richtext::RichDocument;

namespace {

// Values of names from a table; any other expression is its own text in
// angle brackets, so that a test sees what was asked.
class TableReport : public Report {
public:
    std::map<QString, QString> values;
    QString ValueText(const QString &expression, View &) override
    {
        const auto it = values.find(expression);
        return it != values.end() ? it->second : QStringLiteral("<%1>").arg(expression);
    }
};

class RichViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        library().State.CurrentReport = &report;
        report.values[QStringLiteral("Name")] = QStringLiteral("Иванов");
    }
    void TearDown() override { resetLibrary(); }
    TableReport report;
};

// One record of a prepared page: the kind byte, the class name, then the
// object as its own loader reads it.
struct Printed {
    quint8 kind = 0;
    QString className;
    RichDocument text;
};

Printed readPrinted(const QByteArray &bytes)
{
    Printed p;
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    char kind = 0;
    in.getChar(&kind);
    p.kind = static_cast<quint8>(kind);
    const QByteArray len = in.read(2);
    const int n = static_cast<quint8>(len[0]) | (static_cast<quint8>(len[1]) << 8);
    p.className = QString::fromLatin1(in.read(n));
    in.read(1);
    RichView loaded;
    loaded.PreparedMode = true;
    loaded.LoadFromStream(in);
    EXPECT_TRUE(in.atEnd());
    p.text = loaded.RichEdit;
    return p;
}

// The view's own part of a record, which comes before the object's block.
QByteArray viewPart(RichView &view)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    view.View::SaveToStream(out);
    return out.data();
}

Printed print(RichView &view)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    view.PrintToStream(out);
    return readPrinted(out.data());
}

const char kValueInARun[] = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset0 Times New "
                            "Roman;}}{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 \\'d3\\'f7\\'e0\\'f1\\'f2"
                            "\\'ee\\'ea \\f1\\b\\i\\cf1\\fs28 [Name]\\f0\\b0\\i0\\cf0\\fs20 .\\par}";

} // namespace

TEST_F(RichViewTest, AValueTakesTheFormattingOfItsExpression)
{
    library().State.DocumentMode = 1;
    library().Charset = 204;
    RichView view;
    view.SetBounds(0, 0, 300, 100);
    view.RichEdit = RichDocument::fromRtf(kValueInARun);

    const Printed p = print(view);
    EXPECT_EQ(p.kind, 10);
    EXPECT_EQ(p.className, QStringLiteral("TfrRichView"));
    ASSERT_EQ(p.text.text(), QStringLiteral("Участок Иванов."));
    const CharFormat run = view.RichEdit.charFormat(8); // the "[" of the template
    for (int i = 8; i < 14; ++i) {
        CharFormat expected = run;
        expected.charset = 204; // the library's character set
        EXPECT_EQ(p.text.charFormat(i), expected) << i;
    }
    EXPECT_TRUE(run.bold && run.italic && run.halfPoints == 28 && run.color == gdi::rgb(255, 0, 0));
    EXPECT_EQ(p.text.charFormat(14), view.RichEdit.charFormat(14)); // "." after it
    // The object's own text is left as it was.
    EXPECT_TRUE(view.RichEdit.text().contains(QStringLiteral("[Name]")));

    // Text only: the expression prints as it stands, brackets and all.
    view.SetProperty(QStringLiteral("TextOnly"), Variant(true));
    EXPECT_EQ(view.Flags & 16, 16);
    EXPECT_EQ(view.GetProperty(QStringLiteral("TEXTONLY")).toBool(), true);
    EXPECT_EQ(print(view).text.text(), QStringLiteral("Участок [Name]."));
    view.SetProperty(QStringLiteral("textonly"), Variant(false));

    // Nested brackets and quotes are one expression; one left open stays;
    // a value of several lines makes paragraphs.
    report.values[QStringLiteral("a[1]")] = QStringLiteral("x");
    report.values[QStringLiteral("'[' + b")] = QStringLiteral("y\r\nz");
    RichDocument doc;
    doc.append(QStringLiteral("[a[1]] ['[' + b] [open"), CharFormat());
    view.RichEdit = doc;
    EXPECT_EQ(print(view).text.text(), QStringLiteral("x y\rz [open"));
}

TEST_F(RichViewTest, TheStoredRecordAndItsEndPosition)
{
    // An object without text: flag 0 and the end just after the block.
    RichView empty;
    const QByteArray view = viewPart(empty);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    out.write("ab", 2); // what came before in the stream
    empty.SaveToStream(out);
    QByteArray block = testsupport::bytes({0, 0, 0, 0, 0});
    testsupport::putLE32(block, 1, static_cast<qint32>(2 + view.size() + 5));
    EXPECT_EQ(out.data(), "ab" + view + block);

    // With text: the RTF, and the end patched in after it; the next record
    // is read from there.
    RichView full;
    full.RichEdit = RichDocument::fromRtf(kValueInARun);
    out.write("--", 2);
    const qint64 start = out.pos() + viewPart(full).size();
    full.SaveToStream(out);
    const qint64 end = out.pos();
    out.write("NEXT", 4);
    const QByteArray bytes = out.data();
    EXPECT_EQ(bytes[start], 1);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + start + 1), end);
    EXPECT_TRUE(bytes.mid(start + 5, end - start - 5).startsWith("{\\rtf1"));
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    in.seek(start - viewPart(full).size());
    RichView loaded;
    loaded.LoadFromStream(in);
    EXPECT_TRUE(loaded.RichEdit == full.RichEdit);
    EXPECT_EQ(in.read(4), QByteArray("NEXT"));

    // A damaged end position: never past the stream nor back before the
    // block (which would read the same records again and again).
    const struct {
        qint32 end;
        qint64 expectedPos;
    } damaged[] = {{1000, 15}, {-5, 5}, {2, 5}};
    for (const auto &d : damaged) {
        QByteArray rec = testsupport::bytes({1, 0, 0, 0, 0});
        testsupport::putLE32(rec, 1, d.end);
        rec += "{\\rtf1 x}";
        ASSERT_EQ(rec.size(), 14);
        rec += 'Z';
        QBuffer damagedIn;
        damagedIn.setData(view + rec);
        damagedIn.open(QIODevice::ReadOnly);
        RichView v;
        v.LoadFromStream(damagedIn);
        EXPECT_EQ(damagedIn.pos(), view.size() + d.expectedPos) << d.end;
    }
    // A record cut short is an error, not an empty object.
    QBuffer cut;
    cut.setData(view + testsupport::bytes({1, 9, 0}));
    cut.open(QIODevice::ReadOnly);
    RichView v;
    EXPECT_THROW(v.LoadFromStream(cut), std::runtime_error);
}

TEST_F(RichViewTest, ABoundBlobFieldIsReadAsRtf)
{
    using T = platform::db::FieldType;
    platform::db::MemoryTable table(platform::db::FieldDefs{{QStringLiteral("NOTE"), T::FmtMemo, 10, 0}},
                                    {{QStringLiteral("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'eb\\'e0\\'ed {\\b [Name]}}")}});
    table.open();
    library().State.DocumentMode = 1;
    RichView view;
    view.SetBounds(0, 0, 300, 100);
    view.BlobDataSet = &table;
    view.BlobField = QStringLiteral("note");
    const Printed p = print(view);
    EXPECT_EQ(p.text.text(), QStringLiteral("План Иванов"));
    EXPECT_TRUE(p.text.charFormat(5).bold);
}

TEST_F(RichViewTest, Heights)
{
    library().State.DocumentMode = 1;
    RichView view;
    view.SetBounds(0, 0, 300, 50);
    view.GapY = 3;
    // An empty text: 8 and twice the gap.
    EXPECT_EQ(view.CalcHeight(), 8 + 2 * 3);
    EXPECT_EQ(view.MinHeight(), 8);

    // One line of 10 points: the least height whose page (less the gaps)
    // holds it, plus the gaps again; a line never fits in nothing.
    RichDocument line;
    line.append(QStringLiteral("Одна строка"), CharFormat());
    view.RichEdit = line;
    const int h = view.CalcHeight();
    EXPECT_GT(h, 2 * 3 + 10);
    EXPECT_LT(h, 2 * 3 + 2 * 3 + 40);
    view.RichEdit.append(QStringLiteral("\rвторая строка"), CharFormat());
    EXPECT_GT(view.CalcHeight(), h + 10);

    view.Visible = false;
    EXPECT_EQ(view.CalcHeight(), 0);
}

TEST_F(RichViewTest, ALongTextSplitOverThreePagesPrintsEveryCharacterOnce)
{
    library().State.DocumentMode = 1;
    RichView view;
    view.SetBounds(0, 0, 250, 0);
    // Paragraphs in two formats with a value in each, to be expanded first.
    RichDocument doc;
    CharFormat plain;
    plain.font = QStringLiteral("DejaVu Sans");
    CharFormat bold = plain;
    bold.bold = true;
    bold.halfPoints = 28;
    for (int p = 0; p < 6; ++p) {
        if (p)
            doc.append(QStringLiteral("\r"), plain);
        doc.append(QStringLiteral("Абзац %1: [Name] ").arg(p + 1), bold);
        for (int w = 0; w < 20; ++w)
            doc.append(QStringLiteral("слово%1 ").arg(w), plain);
    }
    view.RichEdit = doc;
    RichDocument expanded = doc;
    view.ExpandText(expanded);
    ASSERT_FALSE(expanded.text().contains(u'['));

    const int full = view.CalcHeight();
    // A page a little over a third of the whole: three parts.
    const int page = full / 3 + 20;
    std::vector<QString> parts;
    while (parts.size() < 10) {
        view.Height = page;
        view.StretchPhase = 2;
        const Printed p = print(view);
        EXPECT_EQ(view.StretchPhase, 0);
        ASSERT_FALSE(p.text.isEmpty()) << parts.size();
        parts.push_back(p.text.text());
        if (view.NextStart >= expanded.length())
            break;
        // The band asks what is left unused on this page between the parts.
        const int remain = view.RemainHeight();
        EXPECT_GE(remain, 0);
        EXPECT_LT(remain, page);
    }
    ASSERT_EQ(parts.size(), 3u);
    QString joined;
    for (const QString &part : parts)
        joined += part;
    EXPECT_EQ(joined, expanded.text());
}

TEST_F(RichViewTest, RegisteredAndDrawn)
{
    resetRegistries();
    RegisterRichAddIn();
    ASSERT_EQ(AddIns().size(), 1u);
    EXPECT_EQ(AddIns()[0].ButtonHint, QStringLiteral("Вставить RichText объект"));
    const std::unique_ptr<View> made = CreateViewOfType(10, QStringLiteral("TfrRichView"));
    auto *view = dynamic_cast<RichView *>(made.get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->BaseName, QStringLiteral("Rich"));
    PopupItems items;
    view->AddPopupItems(items);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back().Caption, QStringLiteral("Только текст"));
    items.back().OnClick();
    EXPECT_EQ(view->Flags & 16, 16);
    resetRegistries();

    // Drawn in the designer: the frame, and the red bold value run inside
    // the object's rectangle, less its gaps.
    gdi::Bitmap image(420, 200);
    RichView rich;
    rich.SetBounds(20, 20, 380, 160);
    rich.FrameTyp = 15;
    rich.FillColor = gdi::rgb(255, 255, 240);
    rich.RichEdit = RichDocument::fromRtf(
        "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 DejaVu Sans;}}{\\colortbl ;\\red200\\green0\\blue0;"
        "\\red0\\green0\\blue160;}\\pard\\qc\\b\\fs32 \\'cc\\'e5\\'e6\\'e5\\'e2\\'ee\\'e9 \\'ef\\'eb\\'e0\\'ed\\b0\\par"
        "\\pard\\fs20 \\'c7\\'e0\\'ea\\'e0\\'e7\\'f7\\'e8\\'ea: \\b\\cf1 [Name]\\b0\\cf0 , \\i\\'ea\\'e0\\'e4\\'e0"
        "\\'f1\\'f2\\'f0\\'ee\\'e2\\'fb\\'e9 \\'ed\\'ee\\'ec\\'e5\\'f0\\i0  \\ul 50:12:0100101:45\\ulnone .\\par"
        "\\pard\\qj\\cf2 \\'d2\\'e5\\'ea\\'f1\\'f2 \\'e2\\'fb\\'f0\\'ee\\'e2\\'ed\\'e5\\'ed \\'ef\\'ee \\'f8\\'e8\\'f0"
        "\\'e8\\'ed\\'e5 \\'ee\\'e1\\'fa\\'e5\\'ea\\'f2\\'e0, \\'ef\\'e5\\'f0\\'e5\\'ed\\'ee\\'f1\\'ff\\'f1\\'fc "
        "\\'ef\\'ee \\'f1\\'eb\\'ee\\'e2\\'e0\\'ec \\'ed\\'e0 \\'ed\\'ee\\'e2\\'fb\\'e5 \\'f1\\'f2\\'f0\\'ee\\'ea\\'e8.\\par"
        "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-200\\li400\\cf0 \\'ef\\'f3\\'ed\\'ea\\'f2 "
        "\\'f1\\'ef\\'e8\\'f1\\'ea\\'e0\\par}");
    rich.Draw(image.canvas());
    const QImage &pixels = image.image();
    const QString artefacts = testsupport::artefactFolder(QStringLiteral("reports"));
    ASSERT_TRUE(pixels.save(QDir(artefacts).filePath(QStringLiteral("rich-text-object.png"))));
    QRect red;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const QColor c = pixels.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 60 && c.blue() < 60)
                red |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(red.isNull());
    EXPECT_GT(red.left(), 20 + 2);
    EXPECT_LT(red.right(), 400);
    EXPECT_GT(red.top(), 40);  // below the title line
    EXPECT_EQ(pixels.pixel(30, 170), 0xFFFFFFF0u); // the fill
    EXPECT_LT(qGray(pixels.pixel(20, 100)), 64);   // the left frame line
}
