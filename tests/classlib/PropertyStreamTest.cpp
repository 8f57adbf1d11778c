// The binary property stream: the report's data section as the template
// writer writes it, read into collections through the tables; every value
// tag written and read back; objects and pictures; damaged bytes.

#include "TestClasses.h"

#include "platform/Environment.h"
#include "platform/classlib/Filer.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <functional>

using namespace testclasses;
using platform::Variant;
using platform::VarType;

namespace {

QByteArray bytesOf(std::initializer_list<int> bytes)
{
    QByteArray b;
    for (int x : bytes)
        b.append(static_cast<char>(x));
    return b;
}

QByteArray latin(const char *text)
{
    return QByteArray(text);
}

} // namespace

// One data set and two variables, byte by byte as the template writer of
// the banded report library puts them into "Propdata".
TEST(PropertyStream, ReportDataSectionIntoCollections)
{
    QByteArray data;
    data += bytesOf({8}) + latin("Datasets") + bytesOf({14});
    data += bytesOf({1, 7}) + latin("DataSet") + bytesOf({13});
    data += bytesOf({11}) + latin("DataSetName") + bytesOf({6, 5}) + latin("Data1") + bytesOf({0});
    data += bytesOf({0});
    data += bytesOf({9}) + latin("Variables") + bytesOf({14});
    data += bytesOf({1, 4}) + latin("Name") + bytesOf({6, 5, 0xC8, 0xF2, 0xEE, 0xE3, 0xEE}); // "Итого"
    data += bytesOf({5}) + latin("Value") + bytesOf({6, 4}) + latin("1000") + bytesOf({0});
    data += bytesOf({1, 4}) + latin("Name") + bytesOf({6, 4}) + latin("Firm");
    data += bytesOf({5}) + latin("Value") + bytesOf({6, 14}) + latin("<Data1.\"Name\">") + bytesOf({0});
    data += bytesOf({0});
    ASSERT_EQ(data.size(), 114);
    ASSERT_EQ(static_cast<unsigned char>(data[19]), 13) << "DataSet nil at its offset";

    TTestReport report;
    report.DataSets.Add(); // replaced by what is read
    TMemoryStream stream(data);
    TReader reader(stream);
    // As the serializer reads the hex data: property after property to the end.
    while (stream.Position() < stream.Size())
        reader.ReadProperty(report);

    ASSERT_EQ(report.DataSets.Count(), 1);
    const auto *ds = static_cast<TTestDataSetItem *>(report.DataSets.Items(0));
    EXPECT_EQ(ds->DataSet, nullptr);
    EXPECT_EQ(ds->DataSetName, QStringLiteral("Data1"));
    ASSERT_EQ(report.Variables.Count(), 2);
    const auto *v0 = static_cast<TTestVariable *>(report.Variables.Items(0));
    const auto *v1 = static_cast<TTestVariable *>(report.Variables.Items(1));
    EXPECT_EQ(v0->Name, QStringLiteral("Итого"));
    EXPECT_EQ(v0->Value.type(), VarType::String);
    EXPECT_EQ(v0->Value.toString(), QStringLiteral("1000"));
    EXPECT_EQ(v1->Name, QStringLiteral("Firm"));
    EXPECT_EQ(v1->Value.toString(), QStringLiteral("<Data1.\"Name\">"));

    // Written back through the same tables, the items come out in the same
    // form (the nil data set is not written: it is no reference).
    TMemoryStream out;
    TWriter writer(out);
    report.DefineProperties(writer);
    const QByteArray again = out.Memory();
    EXPECT_TRUE(again.startsWith(bytesOf({8}) + latin("Datasets") + bytesOf({14, 1, 11})));
    EXPECT_TRUE(again.endsWith(latin("Value") + bytesOf({6, 14}) + latin("<Data1.\"Name\">") + bytesOf({0, 0})));
}

TEST(PropertyStream, EveryValueTagRoundTrips)
{
    const TypeInfo &styles = tiFontStyles;
    const QString longText(300, u'ж');
    const struct {
        const char *what;
        std::function<void(TWriter &)> write;
        int tag;
        std::function<void(TReader &)> read;
    } cases[] = {
        {"end / null", [](TWriter &w) { w.WriteListEnd(); }, 0, [](TReader &r) { EXPECT_TRUE(r.EndOfList()); r.ReadListEnd(); }},
        {"list", [](TWriter &w) { w.WriteListBegin(); w.WriteInteger(1); w.WriteListEnd(); }, 1,
         [](TReader &r) { r.ReadListBegin(); EXPECT_EQ(r.ReadInteger(), 1); r.ReadListEnd(); }},
        {"int8", [](TWriter &w) { w.WriteInteger(-100); }, 2, [](TReader &r) { EXPECT_EQ(r.ReadInteger(), -100); }},
        {"int16", [](TWriter &w) { w.WriteInteger(-300); }, 3, [](TReader &r) { EXPECT_EQ(r.ReadInteger(), -300); }},
        {"int32", [](TWriter &w) { w.WriteInteger(70000); }, 4, [](TReader &r) { EXPECT_EQ(r.ReadInteger(), 70000); }},
        {"extended", [](TWriter &w) { w.WriteFloat(-2.5e-300); }, 5,
         [](TReader &r) { EXPECT_EQ(r.ReadFloat(), -2.5e-300); }},
        {"string", [](TWriter &w) { w.WriteString(QStringLiteral("Итог")); }, 6,
         [](TReader &r) { EXPECT_EQ(r.ReadString(), QStringLiteral("Итог")); }},
        {"identifier", [](TWriter &w) { w.WriteIdent(QStringLiteral("fsBold")); }, 7,
         [](TReader &r) { EXPECT_EQ(r.ReadIdent(), QStringLiteral("fsBold")); }},
        {"false", [](TWriter &w) { w.WriteBoolean(false); }, 8, [](TReader &r) { EXPECT_FALSE(r.ReadBoolean()); }},
        {"true", [](TWriter &w) { w.WriteBoolean(true); }, 9, [](TReader &r) { EXPECT_TRUE(r.ReadBoolean()); }},
        {"binary", [](TWriter &w) { w.WriteBinary(QByteArray("\0\1\2", 3)); }, 10,
         [](TReader &r) { EXPECT_EQ(r.ReadBinary(), QByteArray("\0\1\2", 3)); }},
        {"set", [&](TWriter &w) { w.WriteSet(styles, 0b1010); }, 11,
         [&](TReader &r) { EXPECT_EQ(r.ReadSet(styles), 0b1010u); }},
        {"long string", [&](TWriter &w) { w.WriteString(longText); }, 12,
         [&](TReader &r) { EXPECT_EQ(r.ReadString(), longText); }},
        {"nil", [](TWriter &w) { w.WriteIdent(QStringLiteral("nil")); }, 13,
         [](TReader &r) { EXPECT_EQ(r.ReadIdent(), QStringLiteral("nil")); }},
        {"collection", [](TWriter &w) { w.WriteCollection(nullptr); }, 14,
         [](TReader &r) { r.ReadCollection(nullptr); }},
        {"single", [](TWriter &w) { w.WriteSingle(0.25f); }, 15, [](TReader &r) { EXPECT_EQ(r.ReadSingle(), 0.25f); }},
        {"currency", [](TWriter &w) { w.WriteCurrency(-12345); }, 16,
         [](TReader &r) { EXPECT_EQ(r.ReadCurrency(), -12345); }},
        {"date", [](TWriter &w) { w.WriteDate(45356.75); }, 17, [](TReader &r) { EXPECT_EQ(r.ReadDate(), 45356.75); }},
        {"wide string", [](TWriter &w) { w.WriteWideString(QStringLiteral("€✓")); }, 18,
         [](TReader &r) { EXPECT_EQ(r.ReadString(), QStringLiteral("€✓")); }},
        {"int64", [](TWriter &w) { w.WriteInteger(-(qint64(1) << 40)); }, 19,
         [](TReader &r) { EXPECT_EQ(r.ReadInt64(), -(qint64(1) << 40)); }},
        {"UTF-8 string", [](TWriter &w) { w.WriteUTF8String(QStringLiteral("ы✓")); }, 20,
         [](TReader &r) { EXPECT_EQ(r.ReadString(), QStringLiteral("ы✓")); }},
    };
    for (const auto &c : cases) {
        TMemoryStream stream;
        TWriter writer(stream);
        c.write(writer);
        ASSERT_GT(stream.Memory().size(), 0) << c.what;
        EXPECT_EQ(static_cast<unsigned char>(stream.Memory()[0]), c.tag) << c.what;
        stream.SetPosition(0);
        TReader reader(stream);
        c.read(reader);
        EXPECT_EQ(stream.Position(), stream.Size()) << c.what;
    }

    // A string of 300 bytes takes tag 12 and a 32-bit length.
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteString(QString(300, u'a'));
    EXPECT_EQ(stream.Memory().left(5), bytesOf({12, 0x2C, 0x01, 0, 0}));
    EXPECT_EQ(stream.Memory().size(), 305);

    // Tag 5 is the 80-bit float: 1.0 is 3FFF 8000000000000000.
    unsigned char ext[10];
    doubleToExtended(1.0, ext);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(ext), 10), bytesOf({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    for (const double d : {0.0, -0.0, 1e-310, 3.141592653589793, -1e308, double(INFINITY)})
        EXPECT_EQ((doubleToExtended(d, ext), extendedToDouble(ext)), d) << d;
}

TEST(PropertyStream, ObjectsWriteWhatDiffersAndReadBack)
{
    const platform::ScopedService<platform::DecimalSeparator> point(u'.');
    TTestReport root;
    root.SetName(QStringLiteral("Report"));
    auto *dataSet = new TTestDataSet(&root);
    dataSet->SetName(QStringLiteral("Customers"));
    auto *view = new TTestView(&root);
    view->SetName(QStringLiteral("Memo1"));
    view->Left = 10.5;
    view->Visible = false;
    view->Restrictions = 0b0101;
    view->OnBeforePrint = QStringLiteral("Memo1OnBeforePrint");
    view->ParentFont = false;
    view->Font()->SetName(QStringLiteral("Arial"));
    view->Font()->SetStyle(1 << fsBold);
    view->Frame()->Typ = 0b1111;
    view->DataSet = dataSet;

    TMemoryStream stream;
    TWriter writer(stream);
    writer.SetRoot(&root);
    writer.WriteProperties(*view);
    const QByteArray bytes = stream.Memory();
    // Defaults are left out; what differs is written.
    EXPECT_FALSE(bytes.contains("Printable"));
    EXPECT_FALSE(bytes.contains("GroupIndex"));
    EXPECT_FALSE(bytes.contains("Frame.Width")) << "stored unless 1";
    EXPECT_TRUE(bytes.contains(latin("Visible") + bytesOf({8})));
    EXPECT_TRUE(bytes.contains(latin("Font.Style") + bytesOf({11, 6}) + latin("fsBold") + bytesOf({0})));
    EXPECT_TRUE(bytes.contains(latin("DataSet") + bytesOf({7, 9}) + latin("Customers")));
    EXPECT_FALSE(bytes.contains("Font.Size")) << "not stored";

    TTestReport root2;
    root2.SetName(QStringLiteral("Report"));
    auto *dataSet2 = new TTestDataSet(&root2);
    dataSet2->SetName(QStringLiteral("customers"));
    auto *copy = new TTestView(&root2);
    stream.SetPosition(0);
    TReader reader(stream);
    reader.SetRoot(&root2);
    while (stream.Position() < stream.Size())
        reader.ReadProperty(*copy);
    reader.FixupReferences();
    EXPECT_EQ(copy->Left, 10.5);
    EXPECT_FALSE(copy->Visible);
    EXPECT_EQ(copy->Restrictions, 0b0101);
    EXPECT_EQ(copy->OnBeforePrint, QStringLiteral("Memo1OnBeforePrint"));
    EXPECT_FALSE(copy->ParentFont);
    EXPECT_EQ(copy->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(copy->Font()->Style(), 1 << fsBold);
    EXPECT_EQ(copy->Frame()->Typ, 0b1111);
    EXPECT_EQ(copy->DataSet, dataSet2) << "references are resolved by name, letter case ignored";

    // A name the object does not know is refused by name.
    TMemoryStream unknown(bytesOf({6}) + latin("NoSuch") + bytesOf({2, 1}));
    TReader r2(unknown);
    try {
        r2.ReadProperty(*copy);
        ADD_FAILURE() << "unknown property read";
    } catch (const ClassError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Свойство NoSuch не существует"));
    }
}

TEST(PropertyStream, PictureIsOneDefinedPropertyData)
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.fill(Qt::red);
    TBitmap bitmap;
    bitmap.SetImage(image);
    const QByteArray bmp = bitmap.Bytes();
    ASSERT_TRUE(bmp.startsWith("BM"));

    TPicture picture;
    picture.SetGraphic(&bitmap);
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteProperties(picture);
    const QByteArray bytes = stream.Memory();
    const qint32 dataSize = 1 + 7 + 4 + static_cast<qint32>(bmp.size());
    QByteArray want = bytesOf({4}) + latin("Data") + bytesOf({10});
    want += bytesOf({dataSize & 0xFF, (dataSize >> 8) & 0xFF, 0, 0});
    want += bytesOf({7}) + latin("TBitmap");
    want += bytesOf({static_cast<int>(bmp.size() & 0xFF), static_cast<int>((bmp.size() >> 8) & 0xFF), 0, 0}) + bmp;
    EXPECT_EQ(bytes, want);

    TPicture back;
    stream.SetPosition(0);
    TReader reader(stream);
    reader.ReadProperty(back);
    ASSERT_NE(back.Graphic(), nullptr);
    EXPECT_EQ(back.Graphic()->className(), QStringLiteral("TBitmap"));
    EXPECT_EQ(back.Graphic()->Bytes(), bmp);
    EXPECT_EQ(back.Width(), 2);

    // An empty picture writes nothing.
    TPicture empty;
    TMemoryStream none;
    TWriter w2(none);
    w2.WriteProperties(empty);
    EXPECT_TRUE(none.Memory().isEmpty());
}

TEST(PropertyStream, DamagedBytesRaiseAndReadNothingBeyond)
{
    const QByteArray damaged[] = {
        bytesOf({4}) + latin("Da"),                                         // name cut short
        bytesOf({4}) + latin("Data") + bytesOf({10, 0xFF, 0xFF, 0xFF, 0x7F}), // binary longer than the stream
        bytesOf({4}) + latin("Data") + bytesOf({10, 0, 0, 0, 0x80}),        // negative length
        bytesOf({4}) + latin("Data") + bytesOf({99}),                       // no such tag
        bytesOf({4}) + latin("Data") + bytesOf({10, 3, 0, 0, 0, 9, 1, 2}),  // class name past the data
    };
    for (const QByteArray &bytes : damaged) {
        TPicture picture;
        TMemoryStream stream(bytes);
        TReader reader(stream);
        EXPECT_ANY_THROW(reader.ReadProperty(picture)) << bytes.toHex().toStdString();
        EXPECT_EQ(picture.Graphic(), nullptr);
    }
    // Lists nested past any sense end in an error, not in a deep recursion.
    TMemoryStream deep(QByteArray(100000, '\1'));
    TReader reader(deep);
    EXPECT_THROW(reader.SkipValue(), StreamError);
}
