// The barcode and rich-text objects inside reports: a built report's barcode
// carries its expression's value, a template holding both saves and loads
// back byte for byte, and the XML template form carries their own
// attributes.

#include "../reports/ReportBuildSupport.h"
#include "../reports/ReportTestSupport.h"

#include "platform/TextCodec.h"
#include "reports/addins/BarcodeView.h"
#include "reports/model/Fr3Writer.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportPrinter.h"
#include "reports/addins/RichView.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace reportbuild;

namespace {

class AddInReportsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetLibrary();
        resetRegistries();
        resetReportPrinter();
        RegisterBarCodeAddIn();
        RegisterRichAddIn();
    }
    void TearDown() override
    {
        resetRegistries();
        resetLibrary();
    }
    FixedMeasuring measuring;
    platform::ScopedService<TextMeasuring> pinMeasuring{measuring};
};

// A Windows rich-edit text: Windows-1251 escapes, two fonts, a colour.
const char kRichText[] = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset0 Times New "
                         "Roman;}}{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 \\'d3\\'f7\\'e0\\'f1\\'f2"
                         "\\'ee\\'ea \\f1\\b\\cf1\\fs28 [Items.CODE]\\f0\\b0\\cf0\\fs20 .\\par}";

BarCodeView &addBarcode(Page &page, const QString &text)
{
    auto bar = std::make_unique<BarCodeView>();
    bar->Name = QStringLiteral("Bar1");
    bar->SetBounds(20, 22, 120, 40);
    bar->Memo = QStringList{text};
    bar->Param.Type = bcCode39;
    bar->Param.Angle = 90;
    return static_cast<BarCodeView &>(*page.Add(std::move(bar)));
}

RichView &addRich(Page &page)
{
    auto rich = std::make_unique<RichView>();
    rich->Name = QStringLiteral("Rich1");
    rich->SetBounds(200, 22, 300, 40);
    rich->Flags = flStretched;
    rich->RichEdit = richtext::RichDocument::fromRtf(kRichText);
    return static_cast<RichView &>(*page.Add(std::move(rich)));
}

QByteArray templatePages(TfrReport &report)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    SaveTemplatePages(report, out);
    return out.data();
}

} // namespace

TEST_F(AddInReportsTest, ABuiltReportsObjectsCarryTheRowsValues)
{
    Built r;
    r.add("Items", {"CODE", "NAME"}, {{QStringLiteral("AB-12"), QStringLiteral("a")}, {QStringLiteral("CD-34"), QStringLiteral("b")}});
    Page &page = addPage(r.report);
    PageBuilder(page).band("Data", btMasterData, 20, 60, "Items");
    addBarcode(page, QStringLiteral("[Items.CODE]"));
    addRich(page);
    ASSERT_TRUE(r.report.PrepareReport()) << library().State.ClassErrorText.toStdString();
    QStringList barcodes, texts;
    for (int i = 0; i < r.report.EMFPages->Count(); ++i) {
        r.report.EMFPages->ObjectsToPage(i);
        for (const auto &o : (*r.report.EMFPages)[i].Page->Objects) {
            if (auto *bar = dynamic_cast<BarCodeView *>(o.get()))
                barcodes << bar->Memo.join(u'|');
            if (auto *rich = dynamic_cast<RichView *>(o.get()))
                texts << rich->RichEdit.text().trimmed();
        }
    }
    EXPECT_EQ(barcodes, QStringList({"AB-12", "CD-34"}));
    EXPECT_EQ(texts, QStringList({"Участок AB-12.", "Участок CD-34."}));
}

TEST_F(AddInReportsTest, ATemplateWithBothSavesAndLoadsBackByteForByte)
{
    TfrReport report;
    Page &page = addPage(report);
    addBarcode(page, QStringLiteral("[Items.CODE]")).Param.Zoom = 1.5;
    addRich(page);
    const QByteArray saved = templatePages(report);

    TfrReport loaded;
    QBuffer in;
    in.setData(saved);
    in.open(QIODevice::ReadOnly);
    LoadTemplatePages(loaded, in);
    EXPECT_TRUE(in.atEnd());
    ASSERT_EQ(loaded.Pages.size(), 1u);
    ASSERT_EQ(loaded.Pages[0]->Objects.size(), 2u);
    auto *rich = dynamic_cast<RichView *>(loaded.Pages[0]->Objects[1].get());
    ASSERT_NE(rich, nullptr);
    EXPECT_EQ(rich->RichEdit.text(), QStringLiteral("Участок [Items.CODE]."));
    EXPECT_EQ(templatePages(loaded), saved);
}

TEST_F(AddInReportsTest, TheXmlTemplateFormCarriesTheirOwnAttributes)
{
    TfrReport report;
    Page &page = addPage(report);
    addBarcode(page, QStringLiteral("12345"));
    RichView &rich = addRich(page);
    rich.Flags |= flTextOnly;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    SaveToFR3Stream(report, out);
    const QString xml = platform::fromCp1251(out.data());

    const qsizetype bar = xml.indexOf(QStringLiteral("<TfrxBarCodeView Name=\"Bar1\""));
    ASSERT_GE(bar, 0) << xml.toStdString();
    const QString barElement = xml.mid(bar, xml.indexOf(u'>', bar) - bar);
    EXPECT_TRUE(barElement.endsWith(QStringLiteral(" Text=\"12345\" BarType=\"%1\" CalcCheckSum=\"1\" Rotation=\"90\" "
                                                   "ShowText=\"1\" Zoom=\"1\"/")
                                        .arg(int(bcCode39))))
        << barElement.toStdString();

    const qsizetype at = xml.indexOf(QStringLiteral("<TfrxRichView Name=\"Rich1\""));
    ASSERT_GE(at, 0) << xml.toStdString();
    const QString richElement = xml.mid(at, xml.indexOf(u'>', at) - at);
    // The RTF as the binary property "RichEdit": its name, type 10, size.
    const QByteArray rtf = rich.RichEdit.toRtf();
    QByteArray property = QByteArray("\x08RichEdit\x0a", 10);
    for (int i = 0; i < 4; ++i)
        property.append(char((rtf.size() >> (8 * i)) & 0xFF));
    EXPECT_TRUE(richElement.endsWith(QStringLiteral(" Propdata=\"%1\" StretchMode=\"smMaxHeight\" "
                                                    "AllowExpressions=\"False\"/")
                                         .arg(StreamToHex(property + rtf))))
        << richElement.toStdString();
    EXPECT_TRUE(richElement.contains(QStringLiteral("Propdata=\"085269636845646974 0A").remove(u' ')));
}
