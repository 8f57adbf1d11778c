// Templates written in the XML template form: a small template against its
// golden text, escaping, the data section's property stream, display
// formats, and the switch that is turned off again after the write.

#include "ReportFileBytes.h"
#include "ReportTestSupport.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Graphics.h"
#include "platform/db/MemoryTable.h"
#include "reports/model/DataSets.h"
#include "reports/model/Fr3Writer.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/addins/ShapeView.h"
#include "support/TestFiles.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace reports;
namespace db = platform::db;

namespace {

class Fr3WriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetReportPrinter();
        components().Clear();
    }
    void TearDown() override
    {
        components().Clear();
        resetLibrary();
    }
};

QString xml(TfrReport &report)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    report.WritingFR3 = true;
    report.SaveToStream(buffer);
    report.WritingFR3 = false;
    return platform::fromCp1251(bytes);
}

void fixedInfo(TfrReport &report)
{
    report.ReportCreateDate = 45000;
    report.ReportLastChange = 45001;
}

// The report element of a template without scripts, data sets or variables.
const QString kEmptyReport = QStringLiteral(
    "<TfrxReport ScriptLanguage=\"PascalScript\" ScriptText.text=\"begin&#13;&#10;&#13;&#10;end.&#13;&#10;\" "
    "Propdata=\"0844617461736574730E00095661726961626C65730E00\" ReportOptions.Name=\"\" ReportOptions.Author=\"\" "
    "ReportOptions.Description.text=\"\" ReportOptions.CreateDate=\"45000\" ReportOptions.LastChange=\"45001\" "
    "ReportOptions.VersionMajor=\"\" ReportOptions.VersionMinor=\"\" ReportOptions.VersionRelease=\"\" "
    "ReportOptions.VersionBuild=\"\" ReportOptions.Password=\"\">\r\n");

TEST_F(Fr3WriterTest, OneEmptyPage)
{
    TfrReport report;
    AddTemplatePage(report);
    fixedInfo(report);
    const QString page = QStringLiteral(
        "<TfrxReportPage Name=\"Page1\" Orientation=\"poPortrait\" PaperWidth=\"210\" PaperHeight=\"297\" "
        "PaperSize=\"9\" LeftMargin=\"5\" RightMargin=\"5\" TopMargin=\"5\" BottomMargin=\"5\" Columns=\"1\" "
        "ColumnWidth=\"200\"/>\r\n");
    EXPECT_EQ(xml(report), QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n") + kEmptyReport + page +
                               QStringLiteral("</TfrxReport>\r\n"));
}

TEST_F(Fr3WriterTest, ASmallTemplate)
{
    TfrReport report;
    Page *page = AddTemplatePage(report);
    page->MarginLeft = 100;
    fixedInfo(report);
    report.ReportName = QStringLiteral("Тест");
    report.ReportPassword = QStringLiteral("ab");

    auto memo = std::make_unique<MemoView>();
    memo->Name = QStringLiteral("Memo1");
    memo->SetBounds(110, 20, 200, 30);
    memo->Memo = {QStringLiteral("a<b"), QStringLiteral("c")};
    memo->FrameTyp = frftRight | frftBottom;
    memo->Script = {QStringLiteral("begin"), QStringLiteral("  Memo1.Visible := True;"), QStringLiteral("end")};
    memo->Font.Style = 1; // italic
    memo->Alignment = frtaCenter | frtaMiddle;
    memo->DisplayFormatCode = (1 << 24) | (1 << 16) | ',';
    memo->Restrictions = frrfDontEditMemo | frrfDontMove;
    page->Add(std::move(memo));
    auto cross = std::make_unique<BandView>();
    cross->Name = QStringLiteral("Cross1");
    cross->SetBandType(btCrossData);
    page->Add(std::move(cross));
    auto band = std::make_unique<BandView>();
    band->Name = QStringLiteral("Header1");
    band->SetBandType(btGroupHeader);
    band->SetBounds(0, 60, 700, 20);
    band->Flags = flBandOnFirstPage | flBandRepeatHeader;
    band->DisplayFormatText = QStringLiteral("[A] > 1");
    page->Add(std::move(band));

    const QString text = xml(report);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8) << text.toStdString();
    EXPECT_TRUE(lines[7].isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(
        "ScriptText.text=\"procedure Memo1OnBeforePrint(Sender: TfrxComponent);&#13;&#10;begin&#13;&#10;"
        "  with Memo1, Engine do&#13;&#10;  begin&#13;&#10;  Memo1.Visible := True;&#13;&#10;  end&#13;&#10;"
        "end;&#13;&#10;&#13;&#10;begin&#13;&#10;&#13;&#10;end.&#13;&#10;\"")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("ReportOptions.Name=\"Тест\"")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("ReportOptions.Password=\"WX\">")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("<TfrxReportPage Name=\"Page1\"")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("LeftMargin=\"28\" RightMargin=\"5\" TopMargin=\"5\" "
                                                 "BottomMargin=\"5\" Columns=\"1\" ColumnWidth=\"177\">")));
    EXPECT_EQ(lines[3],
              QStringLiteral("<TfrxMemoView Name=\"Memo1\" Left=\"10\" Top=\"20\" Width=\"200\" Height=\"30\" "
                             "Color=\"536870911\" Frame.Typ=\"10\" Frame.Width=\"1\" Frame.Color=\"0\" "
                             "Frame.Style=\"0\" GapX=\"2\" GapY=\"1\" TagStr=\"\" Memo.text=\"a&#60;b&#13;&#10;c\" "
                             "Align=\"0\" OnBeforePrint=\"Memo1OnBeforePrint\" OnClick=\"Memo1OnBeforePrint\" "
                             "OnActivate=\"Memo1OnBeforePrint\" Restrictions=\"5\" StretchMode=\"smMaxHeight\" "
                             "Font.Name=\"Arial\" Font.Height=\"-13\" Font.Color=\"0\" "
                             "Font.Style=\"2\" LineSpacing=\"2\" CharSpacing=\"0\" HAlign=\"2\" VAlign=\"2\" "
                             "DisplayFormat.Kind=\"fkNumeric\" DisplayFormat.DecimalSeparator=\",\" "
                             "DisplayFormat.FormatStr=\"%2.2f\"/>"));
    // The cross band leaves no trace; the group header follows.
    EXPECT_EQ(lines[4], QStringLiteral("<TfrxGroupHeader Name=\"Header1\" Top=\"60\" Height=\"20\" Columns=\"1\" "
                                       "ColumnWidth=\"200\" ColumnGap=\"20\" PrintOnLastPage=\"False\" "
                                       "ReprintOnNewPage=\"True\" Condition=\"[A] &#62; 1\"/>"));
    EXPECT_EQ(lines[5], QStringLiteral("</TfrxReportPage>"));
    EXPECT_EQ(lines[6], QStringLiteral("</TfrxReport>"));
    // The template's objects are where they were.
    EXPECT_EQ(page->Objects[0]->Left, 110);
}

TEST_F(Fr3WriterTest, DataSetsAndVariablesGoIntoThePropertyStream)
{
    Component *form = components().AddContainer(QStringLiteral("Form1"));
    db::MemoryTable table(db::FieldDefs{{QStringLiteral("NAME"), db::FieldType::String, 20, 0}});
    form->Add(QStringLiteral("Table1"))->DataSet = &table;
    DBDataSet source;
    source.SetDataSet(&table);
    form->Add(QStringLiteral("_frData"))->ReportDataset = &source;

    TfrReport report;
    report.Owner = form;
    library().State.CurrentReport = &report;
    AddTemplatePage(report);
    fixedInfo(report);
    FileDictionary(report)->Variables.SetVariable(QStringLiteral("Client"), Variant(QStringLiteral("Table1.NAME")));
    FileDictionary(report)->Variables.SetVariable(QStringLiteral("Sum"), Variant(QStringLiteral("1+2")));

    reportbytes::Bytes expected;
    auto name = [&](const char *n) { expected.u8(int(strlen(n))).raw(QByteArray(n)); };
    auto value = [&](const QString &v) {
        const QByteArray b = platform::toCp1251(v);
        expected.u8(6).u8(int(b.size())).raw(b);
    };
    name("Datasets");
    expected.u8(14).u8(1);
    name("DataSet");
    expected.u8(13);
    name("DataSetName");
    value(QStringLiteral("_frData"));
    expected.u8(0).u8(0);
    name("Variables");
    expected.u8(14);
    for (const auto &[n, v] : {std::pair{"Client", QStringLiteral("<frData.\"NAME\">")},
                               std::pair{"Sum", QStringLiteral("1+2")}}) {
        expected.u8(1);
        name("Name");
        value(QString::fromLatin1(n));
        name("Value");
        value(v);
        expected.u8(0);
    }
    expected.u8(0);
    EXPECT_TRUE(xml(report).contains(QStringLiteral("Propdata=\"") + StreamToHex(expected.b) + u'"'));
}

// An add-in object writes the common attributes and then its own: the
// shape its kind.
TEST_F(Fr3WriterTest, AShapeWritesItsKind)
{
    TfrReport report;
    Page *page = AddTemplatePage(report);
    fixedInfo(report);
    auto shape = std::make_unique<ShapeView>();
    shape->Name = QStringLiteral("Shape1");
    shape->SetBounds(30, 40, 50, 60);
    shape->ShapeType = skEllipse;
    page->Add(std::move(shape));
    EXPECT_TRUE(xml(report).contains(QStringLiteral(
        "\r\n<TfrxShapeView Name=\"Shape1\" Left=\"12\" Top=\"40\" Width=\"50\" Height=\"60\" Color=\"536870911\" "
        "Frame.Typ=\"0\" Frame.Width=\"1\" Frame.Color=\"0\" Frame.Style=\"0\" GapX=\"2\" GapY=\"1\" TagStr=\"\" "
        "Memo.text=\"\" Align=\"0\" Restrictions=\"0\" Shape=\"2\"/>\r\n")))
        << xml(report).toStdString();
}

// A picture goes into "Picture.Propdata" as the class library's picture
// stores itself (the defined property "Data": binary holding the class name
// and the bitmap's length and file bytes), so the XML report library's
// picture reads it back.
TEST_F(Fr3WriterTest, APictureIsTheDefinedPropertyData)
{
    TfrReport report;
    Page *page = AddTemplatePage(report);
    fixedInfo(report);
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "BMP"));
    auto picture = std::make_unique<PictureView>();
    picture->Name = QStringLiteral("Picture1");
    ASSERT_TRUE(picture->Picture.loadFromBytes(bmp));
    auto empty = std::make_unique<PictureView>();
    empty->Name = QStringLiteral("Picture2");
    page->Add(std::move(picture));
    page->Add(std::move(empty));

    reportbytes::Bytes expected;
    expected.u8(4).raw("Data").u8(10).i32(static_cast<qint32>(1 + 7 + 4 + bmp.size()));
    expected.u8(7).raw("TBitmap").i32(static_cast<qint32>(bmp.size())).raw(bmp);
    const QString text = xml(report);
    const QString attribute = QStringLiteral("Picture.Propdata=\"") + StreamToHex(expected.b) + u'"';
    EXPECT_TRUE(text.contains(attribute));
    EXPECT_EQ(text.count(QStringLiteral("Picture.Propdata")), 1) << "none for the empty picture";

    platform::classlib::TPicture back;
    platform::classlib::TMemoryStream stream(expected.b);
    platform::classlib::TReader reader(stream);
    reader.ReadProperty(back);
    ASSERT_NE(back.Graphic(), nullptr);
    EXPECT_EQ(back.Graphic()->Bytes(), bmp);
    EXPECT_EQ(back.Width(), 3);
}

TEST_F(Fr3WriterTest, TheFileTakesTheXmlExtensionAndTheSwitchIsTurnedOff)
{
    testsupport::TempFolder folder;
    TfrReport report;
    AddTemplatePage(report);
    fixedInfo(report);
    ASSERT_TRUE(report.SaveToFR3File(folder.file(QStringLiteral("r.frf"))));
    EXPECT_FALSE(report.WritingFR3);
    const QByteArray bytes = folder.read(QStringLiteral("r.fr3"));
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport "));
    EXPECT_TRUE(bytes.endsWith("</TfrxReport>\r\n"));
    EXPECT_FALSE(report.SaveToFR3File(folder.path() + QStringLiteral("/none/r.frf")));
    EXPECT_FALSE(report.WritingFR3);
    EXPECT_EQ(EscapeXmlText(QStringLiteral("\"&>\n")), QStringLiteral("&#34;&#38;&#62;&#10;"));
}

} // namespace
