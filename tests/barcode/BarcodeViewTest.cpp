// The barcode object: its record, its drawing at the four angles read back
// by zbarimg, the human-readable line, the stand-in text of the designer and
// the value of an expression while a report is built.

#include "BarcodeTestSupport.h"

#include "../reports/ReportTestSupport.h"
#include "platform/NumberFormat.h"
#include "platform/gdi/Bitmap.h"
#include "reports/addins/BarcodeView.h"
#include "reports/model/ReportLibrary.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

using namespace reports;
using namespace barcodetest;

namespace {

class BarcodeViewTest : public ::testing::Test {
protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

// The view's own part of a record (what the template file's writer puts
// before the object's block), then the bytes given.
QByteArray record(BarCodeView &view, const QByteArray &block)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    view.View::SaveToStream(buffer);
    buffer.close();
    return bytes + block;
}

// The object drawn on white with a margin of 24 pixels, as prepared pages
// draw it (no designer's marks).
QImage drawView(BarCodeView &view, int margin = 24)
{
    library().State.DocumentMode = 1;
    view.Draw(library().MeasureBitmap->canvas()); // sizes the object first
    platform::gdi::Bitmap bitmap(view.Left + view.Width + margin, view.Top + view.Height + margin);
    view.Draw(bitmap.canvas());
    return bitmap.image();
}

TEST_F(BarcodeViewTest, NewObjectDefaults)
{
    BarCodeView view;
    EXPECT_EQ(view.Memo, QStringList{QStringLiteral("12345678")});
    EXPECT_EQ(view.BaseName, QStringLiteral("Bar"));
    EXPECT_TRUE(view.Param.CheckSum);
    EXPECT_TRUE(view.Param.ShowText);
    EXPECT_EQ(view.Param.Type, bcCode39);
    EXPECT_EQ(view.Param.Version, 2);
    EXPECT_EQ(view.Param.Zoom, 1.0);
    EXPECT_EQ(view.Param.Angle, 0.0);
}

TEST_F(BarcodeViewTest, RecordOfAnOlderVersionHasItsZoomHalved)
{
    // Check digit off, line on, reserved, EAN-13, layout version 1, zoom 4
    // stored doubled, angle 90.
    QByteArray block(24, '\0');
    block[0] = 0;
    block[1] = 1;
    block[3] = 14;
    block[4] = 1;
    testsupport::putLEDouble(block, 8, 4.0);
    testsupport::putLEDouble(block, 16, 90.0);
    BarCodeView view;
    const QByteArray bytes = record(view, block);
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    view.LoadFromStream(in);
    EXPECT_EQ(in.pos(), bytes.size());
    EXPECT_FALSE(view.Param.CheckSum);
    EXPECT_TRUE(view.Param.ShowText);
    EXPECT_EQ(view.Param.Type, bcCodeEAN13);
    EXPECT_EQ(view.Param.Version, 2);
    EXPECT_EQ(view.Param.Zoom, 2.0);
    EXPECT_EQ(view.Param.Angle, 90.0);

    // Written again it is a version 2 record with the zoom as it is.
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    view.SaveToStream(out);
    QByteArray expected = block;
    expected[4] = 2;
    testsupport::putLEDouble(expected, 8, 2.0);
    EXPECT_EQ(written.right(24).toHex(), expected.toHex());
    EXPECT_EQ(written.size(), bytes.size());

    // A version 2 record keeps its zoom; a block cut short is refused.
    expected[4] = 2;
    BarCodeView current;
    QBuffer again;
    again.setData(record(current, expected));
    again.open(QIODevice::ReadOnly);
    current.LoadFromStream(again);
    EXPECT_EQ(current.Param.Zoom, 2.0);
    BarCodeView cut;
    QBuffer shortIn;
    shortIn.setData(record(cut, expected.left(20)));
    shortIn.open(QIODevice::ReadOnly);
    EXPECT_THROW(cut.LoadFromStream(shortIn), std::runtime_error);
}

TEST_F(BarcodeViewTest, DrawsAReadableSymbolAtEveryAngle)
{
    if (!haveZbar())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed: the symbols are not read back";
    struct Case {
        int type;
        const char *text;
        const char *decoded;
    };
    const Case cases[] = {
        {bcCodeEAN13, "123456789012", "EAN-13:1234567890128"},
        {bcCode39, "TOLVANE-7", "CODE-39:TOLVANE-7"},
        {bcCode128B, "Parcel 17/3", "CODE-128:Parcel 17/3"},
    };
    for (const Case &c : cases) {
        for (int angle : {0, 90, 180, 270}) {
            BarCodeView view;
            view.Memo = QStringList{QString::fromLatin1(c.text)};
            view.Param.Type = quint8(c.type);
            view.Param.CheckSum = c.type == bcCodeEAN13;
            view.Param.Angle = angle;
            view.Param.Zoom = 2;
            const bool vertical = angle == 90 || angle == 270;
            view.SetBounds(24, 24, vertical ? 74 : 0, vertical ? 0 : 74);
            const QImage image = drawView(view);
            EXPECT_EQ(decodeWithZbar(image, QStringLiteral("view-%1-%2").arg(c.type).arg(angle)).toStdString(),
                      c.decoded)
                << c.text << " at " << angle;
        }
    }
}

TEST_F(BarcodeViewTest, SizesItselfToTheZoomedSymbolAndPlacesTheLine)
{
    // EAN-13 is 95 modules: at zoom 2 the object is 190 long. The line
    // takes the 14 units at the bottom (0), right (90), top (180) or left
    // (270): the bars keep off them.
    struct Case {
        int angle;
        QRect lineBand; // where the text is, in object coordinates
        QRect bars;     // a band of bars only
    };
    const Case cases[] = {
        {0, QRect(0, 60, 190, 14), QRect(0, 0, 190, 58)},
        {90, QRect(60, 0, 14, 190), QRect(0, 0, 58, 190)},
        {180, QRect(0, 0, 190, 14), QRect(0, 16, 190, 58)},
        {270, QRect(0, 0, 14, 190), QRect(16, 0, 58, 190)},
    };
    for (const Case &c : cases) {
        BarCodeView view;
        view.Memo = QStringList{QStringLiteral("123456789012")};
        view.Param.Type = bcCodeEAN13;
        view.Param.Angle = c.angle;
        view.Param.Zoom = 2;
        const bool vertical = c.angle == 90 || c.angle == 270;
        view.SetBounds(10, 10, vertical ? 74 : 5, vertical ? 5 : 74);
        const QImage image = drawView(view, 10);
        image.save(testsupport::artefactFolder(QStringLiteral("barcode")) + QStringLiteral("/sized-%1.png").arg(c.angle));
        EXPECT_EQ(vertical ? view.Height : view.Width, 190) << c.angle;
        EXPECT_EQ(vertical ? view.Width : view.Height, 74) << c.angle;
        EXPECT_EQ(darkBox(image.copy(c.lineBand.translated(10, 10))).isEmpty(), false) << c.angle;
        const QRect bars = darkBox(image.copy(c.bars.translated(10, 10)));
        EXPECT_EQ(vertical ? bars.height() : bars.width(), 190) << c.angle;
        // Nothing is drawn outside the object.
        EXPECT_TRUE(QRect(10, 10, view.Width, view.Height).contains(darkBox(image)))
            << c.angle << " " << darkBox(image).x() << "," << darkBox(image).y() << " " << darkBox(image).width() << "x"
            << darkBox(image).height();
    }
}

TEST_F(BarcodeViewTest, PostNetStandsOnItsBaseLine)
{
    BarCodeView view;
    view.Memo = QStringList{QStringLiteral("1")}; // 00011: three short bars, two full
    view.Param.Type = bcCodePostNet;
    view.Param.ShowText = false;
    view.SetBounds(10, 10, 0, 50);
    const QImage image = drawView(view, 10);
    // Start bar (full), wide space, then the first short bar at x = 1 + 2.
    const int shortBar = 10 + 3;
    int top = -1, bottom = -1;
    for (int y = 10; y < 60; ++y)
        if (qGray(image.pixel(shortBar, y)) < 128) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    EXPECT_EQ(bottom, 59);
    EXPECT_EQ(top, 60 - 50 * 2 / 5);
}

TEST_F(BarcodeViewTest, TheDesignerShowsAStandInForWhatItCannotDraw)
{
    BarCodeView view;
    view.Param.Type = bcCodeEAN8;
    for (const char *text : {"[Номер]", "", "12 34", "abc"}) {
        view.Memo = QStringList{QString::fromUtf8(text)};
        EXPECT_EQ(view.DrawnText(), QStringLiteral("12345678")) << text;
    }
    view.Memo.clear();
    EXPECT_EQ(view.DrawnText(), QStringLiteral("12345678"));
    view.Param.Type = bcCode39;
    view.Memo = QStringList{QStringLiteral("abc")};
    EXPECT_EQ(view.DrawnText(), QStringLiteral("abc"));
}

TEST_F(BarcodeViewTest, NothingIsDrawnWithoutASymbol)
{
    // A single empty line, a Code 39 of "0", and a Code 93 text it has no
    // characters for draw nothing; EAN-13 completes "0" to thirteen zeros.
    struct Case {
        int type;
        QStringList memo;
        bool drawn;
    };
    const Case cases[] = {
        {bcCode39, QStringList{QString()}, false},
        {bcCode39, QStringList{QStringLiteral("0")}, false},
        {bcCode93, QStringList{QStringLiteral("lower case")}, false},
        {bcCodeEAN13, QStringList{QStringLiteral("0")}, true},
        {bcCode39, QStringList{QStringLiteral("1")}, true},
    };
    for (const Case &c : cases) {
        BarCodeView view;
        view.Memo = c.memo;
        view.Param.Type = quint8(c.type);
        view.Param.CheckSum = false;
        view.SetBounds(10, 10, 0, 50);
        platform::gdi::Bitmap bitmap(400, 80);
        library().State.DocumentMode = 1;
        view.Draw(bitmap.canvas());
        EXPECT_EQ(!darkBox(bitmap.image()).isEmpty(), c.drawn) << c.memo.join(u'|').toStdString();
    }
}

TEST_F(BarcodeViewTest, PrintsTheValueOfItsExpression)
{
    library().State.DocumentMode = 1;
    library().ReportParser.OnGetValue = [](const QString &name, Variant &value) {
        if (name == u"Номер")
            value = Variant(QStringLiteral("4600000000003"));
        else
            throw std::runtime_error("no such value");
    };
    struct Case {
        QString memo;
        QStringList printed;
    };
    const Case cases[] = {
        {QStringLiteral("[Номер]"), {QStringLiteral("4600000000003")}},
        {QStringLiteral("4600000000010"), {QStringLiteral("4600000000010")}},
        // A value that cannot be computed leaves a single empty line, which
        // draws no barcode (a stand-in "0" would print thirteen zeros in
        // EAN-13).
        {QStringLiteral("[Нет такого]"), {QString()}},
    };
    for (const Case &c : cases) {
        BarCodeView view;
        view.Param.Type = bcCodeEAN13;
        view.Memo = QStringList{c.memo};
        QByteArray bytes;
        QBuffer stream(&bytes);
        stream.open(QIODevice::WriteOnly);
        view.PrintToStream(stream);
        EXPECT_EQ(view.OutputMemo, c.printed) << c.memo.toStdString();
        EXPECT_EQ(view.Memo, QStringList{c.memo});
        // Kind 10, the class name as a stream string, then the record
        EXPECT_EQ(bytes.left(18), QByteArray("\x0a\x0e\x00TfrBarCodeView\x00", 18));
        // (the record in its prepared-page form, as printing writes it).
        view.PreparedMode = true;
        EXPECT_EQ(bytes.size(), 18 + record(view, QByteArray(24, '\0')).size());
        view.PreparedMode = false;
        // The prepared object draws a symbol only for a value.
        BarCodeView prepared;
        prepared.Param = view.Param;
        prepared.Memo = view.OutputMemo;
        prepared.SetBounds(10, 10, 0, 50);
        platform::gdi::Bitmap bitmap(200, 80);
        prepared.Draw(bitmap.canvas());
        EXPECT_EQ(darkBox(bitmap.image()).isEmpty(), c.printed.first().isEmpty()) << c.memo.toStdString();
    }
    library().ReportParser.OnGetValue = nullptr;
}

TEST_F(BarcodeViewTest, AttributesOfTheXmlTemplateForm)
{
    BarCodeView view;
    view.Memo = QStringList{QStringLiteral("[Участки.\"Номер\"]"), QStringLiteral("second line")};
    view.Param.Type = bcCode128B;
    view.Param.Angle = 90;
    view.Param.Zoom = 1.5;
    view.Param.ShowText = false;
    using Attributes = std::vector<std::pair<QString, QString>>;
    const auto resolve = [](const QString &text, QString &dataSet, QString &field) {
        if (text != u"[Участки.\"Номер\"]")
            return false;
        dataSet = QStringLiteral("Form1.Участки");
        field = QStringLiteral("Номер");
        return true;
    };
    const QString zoom = platform::floatToStr(1.5);
    EXPECT_EQ(view.FR3Attributes(resolve),
              (Attributes{{"Text", "[Участки.\"Номер\"]"}, {"BarType", "6"}, {"CalcCheckSum", "1"}, {"Rotation", "90"},
                          {"ShowText", "0"}, {"Zoom", zoom}, {"DataSet", "Form1.Участки"}, {"DataField", "Номер"}}));
    view.Memo = QStringList{QStringLiteral("12345")};
    EXPECT_EQ(view.FR3Attributes(resolve).size(), 6u);
}

TEST_F(BarcodeViewTest, RegistersWithTheDesigner)
{
    resetRegistries();
    RegisterBarCodeAddIn();
    RegisterBarCodeAddIn();
    ASSERT_EQ(AddIns().size(), 1u);
    EXPECT_EQ(AddIns()[0].ButtonHint, QStringLiteral("Вставить штрихкод"));
    EXPECT_EQ(AddIns()[0].ButtonBmp, QStringLiteral("FR_BARCODEVIEW"));
    std::unique_ptr<View> view = CreateViewOfType(10, QStringLiteral("TfrBarCodeView"));
    ASSERT_TRUE(dynamic_cast<BarCodeView *>(view.get()));
    EXPECT_EQ(view->ObjectType, 10);
    view->BuildPropertyList();
    EXPECT_TRUE(view->FindProperty(QStringLiteral("Barcode")));
    EXPECT_TRUE(view->FindProperty(QStringLiteral("DataField")));
    resetRegistries();
}

} // namespace

namespace {

// A page of every symbology, as the report prints it (kept under the test
// artefacts as barcode-page.png): each object draws a symbol within its
// rectangle.
TEST_F(BarcodeViewTest, APageOfEverySymbology)
{
    library().State.DocumentMode = 1;
    platform::gdi::Bitmap page(760, 1000);
    struct Item {
        int type;
        const char *text;
        int angle;
    };
    const Item items[] = {
        {bcCode_2_5_interleaved, "1234567890", 0}, {bcCode_2_5_industrial, "1234", 0},
        {bcCode_2_5_matrix, "1234", 0},            {bcCode39, "ZEMLYA-17", 0},
        {bcCode39Extended, "Uchastok 5", 0},       {bcCode128A, "KN 50:21:0010101:17", 0},
        {bcCode128B, "Parcel 17/3", 0},            {bcCode128C, "500210010101", 0},
        {bcCode93, "CODE 93", 0},                  {bcCode93Extended, "Code 93", 0},
        {bcCodeMSI, "1234", 0},                    {bcCodePostNet, "555551237", 0},
        {bcCodeCodabar, "31117013206375", 0},      {bcCodeEAN8, "4600001", 0},
        {bcCodeEAN13, "460123456789", 0},          {bcCodeUPC_A, "03600029145", 0},
        {bcCodeUPC_E0, "4252610", 0},              {bcCodeUPC_E1, "1234560", 0},
        {bcCodeUPC_Supp2, "34", 0},                {bcCodeUPC_Supp5, "52495", 0},
        {bcCodeEAN128A, "0112345678901231", 0},    {bcCodeEAN128B, "10abc", 0},
        {bcCodeEAN128C, "0112345678901231", 0},    {bcCodeEAN13, "460123456789", 90},
        {bcCodeEAN13, "460123456789", 180},        {bcCodeEAN13, "460123456789", 270},
    };
    gdi::LogFont caption;
    caption.height = -11;
    int x = 20, y = 20;
    for (const Item &item : items) {
        BarCodeView view;
        view.Memo = QStringList{QString::fromLatin1(item.text)};
        view.Param.Type = quint8(item.type);
        view.Param.Angle = item.angle;
        view.Param.CheckSum = true;
        const bool vertical = item.angle == 90 || item.angle == 270;
        if (item.type == bcCodeEAN13 && item.angle == 90) {
            x = 20;
            y += 80;
        }
        view.SetBounds(x, y + 16, vertical ? 60 : 0, vertical ? 0 : 50);
        view.Draw(library().MeasureBitmap->canvas()); // sizes the object
        // Reading the pixels ends the bitmap's canvas: it is asked anew.
        gdi::Canvas &canvas = page.canvas();
        canvas.setFont(caption);
        canvas.setTextColor(0);
        canvas.setBkMode(gdi::TRANSPARENT);
        canvas.textOut(x, y, BarcodeTypeName(item.type) + (item.angle ? QStringLiteral(" %1°").arg(item.angle)
                                                                         : QString()));
        view.Draw(canvas);
        const QImage image = page.image();
        EXPECT_FALSE(darkBox(image.copy(view.Left, view.Top, view.Width, view.Height)).isEmpty())
            << BarcodeTypeName(item.type).toStdString();
        x += std::max(view.Width, 110) + 30;
        if (!vertical && x > 560) {
            x = 20;
            y += 80;
        }
    }
    page.image().save(testsupport::artefactFolder(QStringLiteral("barcode")) + QStringLiteral("/barcode-page.png"));
}

} // namespace
