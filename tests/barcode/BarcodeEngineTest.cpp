// The barcode engine: symbologies zbar does not read against the standards'
// module strings, the completed texts (check digits, padding), its errors,
// its widths and its drawing at the four angles.

#include "BarcodeTestSupport.h"

#include "platform/gdi/Bitmap.h"

#include <gtest/gtest.h>

using namespace reports;
using namespace barcodetest;

namespace {

// A pattern at Modul 1 and the ratio 2 as modules: "1" bar, "0" space.
std::string moduleBits(const QString &pattern)
{
    std::string out;
    for (QChar c : pattern) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'3')
            out.append(size_t(u - u'0' + 1), '0');
        else if (u >= u'5' && u <= u'8')
            out.append(size_t(u - u'5' + 1), '1');
        else if (u >= u'A' && u <= u'D')
            out.append(size_t(u - u'A' + 1), '1');
        else
            out += '?';
    }
    return out;
}

Barcode engine(int type, const QString &text, bool checksum = false)
{
    Barcode bc;
    bc.SetTyp(type);
    bc.SetText(text);
    bc.SetChecksum(checksum);
    return bc;
}

struct ReferenceCase {
    int type;
    const char *text;
    bool checksum;
    const char *modules;
};

// Symbols as the standards draw them, module by module.
const ReferenceCase kReferences[] = {
    // Industrial 2 of 5: start 110 110 10, each digit's five bars with a
    // narrow space each ("1" = 10001), stop 110 10 110.
    {bcCode_2_5_industrial, "1", false, "11011010" "110101010110" "11010110"},
    // MSI: start 110, a 0 bit 100, a 1 bit 110, stop 1001; the check digit
    // of 1234 is 4.
    {bcCodeMSI, "1234", false,
     "110" "100100100110" "100100110100" "100100110110" "100110100100" "100110100100" "1001"},
    // UPC-E of number system 1 (zbar reads only number system 0): 1234562,
    // parity OOEEOE by the check digit 2 of the UPC-A number 11234500006.
    {bcCodeUPC_E1, "1234560", true, "101" "0011001" "0010011" "0100001" "0011101" "0110001" "0000101" "010101"},
    // The 2-digit supplement 34: 34 mod 4 = 2, parity even odd.
    {bcCodeUPC_Supp2, "34", false, "1011" "0100001" "01" "0100011"},
};

TEST(BarcodeEngine, MatchesTheStandardsModuleByModule)
{
    for (const ReferenceCase &c : kReferences) {
        Barcode bc = engine(c.type, QString::fromLatin1(c.text), c.checksum);
        EXPECT_EQ(moduleBits(bc.MakeData()), c.modules) << BarcodeTypeName(c.type).toStdString();
    }
}

TEST(BarcodeEngine, TwoWidthSymbologiesUseTheirNarrowAndWideElements)
{
    // Matrix 2 of 5 takes at least the ratio 2.25: at Modul 2 wide is 4.5
    // pixels rounded to the even neighbour 4, and the start bar 4 x 3 div 2.
    Barcode matrix = engine(bcCode_2_5_matrix, QStringLiteral("1"));
    matrix.SetModul(2);
    EXPECT_EQ(matrix.MakeData(), QStringLiteral("705050" "60506" "0" "70505"));
    EXPECT_DOUBLE_EQ(matrix.Ratio(), 2.25);
    EXPECT_EQ(matrix.ModuleWidth(1), 4);
    EXPECT_EQ(matrix.ModuleWidth(2), 6);

    // PostNet: full bars "5", short bars "A", wide spaces; 1 = 00011.
    EXPECT_EQ(engine(bcCodePostNet, QStringLiteral("1")).MakeData(), QStringLiteral("51" "A1A1A15151" "5"));

    // The ratio is kept to 2..3 for the others, and left alone for the
    // module-based ones.
    Barcode code39 = engine(bcCode39, QStringLiteral("A"));
    code39.SetRatio(5);
    code39.MakeData();
    EXPECT_DOUBLE_EQ(code39.Ratio(), 3.0);
    Barcode code128 = engine(bcCode128B, QStringLiteral("A"));
    code128.SetRatio(5);
    code128.MakeData();
    EXPECT_DOUBLE_EQ(code128.Ratio(), 5.0);
}

struct CompletedCase {
    int type;
    const char *text;
    bool checksum;
    const char *completed; // the text the encoder leaves (the human-readable line)
    const char *encodedAs; // a text of the same symbology without completion that gives the same symbol
    int encodedType;
};

TEST(BarcodeEngine, CompletesTheTextByTheSymbologysRules)
{
    const CompletedCase cases[] = {
        {bcCodeEAN13, "123456789012", true, "1234567890128", "1234567890128", bcCodeEAN13},
        {bcCodeEAN13, "12345", false, "0000000012345", "0000000012345", bcCodeEAN13},
        // EAN-8 encodes its check digit but keeps its text.
        {bcCodeEAN8, "1234567", true, "1234567", "12345670", bcCodeEAN8},
        {bcCodeUPC_A, "03600029145", true, "036000291452", "036000291452", bcCodeUPC_A},
        {bcCodeUPC_E0, "4252610", true, "4252614", "4252614", bcCodeUPC_E0},
        {bcCode128C, "123", false, "0123", "0123", bcCode128C},
        {bcCode_2_5_interleaved, "12345", false, "012345", "012345", bcCode_2_5_interleaved},
        // The supplements gain their check value in the text only.
        {bcCodeUPC_Supp2, "34", true, "349", "34", bcCodeUPC_Supp2},
        {bcCodeUPC_Supp5, "52495", true, "524951", "52495", bcCodeUPC_Supp5},
        // Code 39 leaves out what it has no character for.
        {bcCode39, "ab-1", false, "ab-1", "-1", bcCode39},
        {bcCode39Extended, "ab", false, "ab", "+A+B", bcCode39},
        {bcCode93Extended, "a", false, "a", "}A", bcCode93},
    };
    for (const CompletedCase &c : cases) {
        Barcode bc = engine(c.type, QString::fromLatin1(c.text), c.checksum);
        const QString pattern = bc.MakeData();
        EXPECT_EQ(bc.Text().toStdString(), c.completed) << BarcodeTypeName(c.type).toStdString() << " " << c.text;
        Barcode plain = engine(c.encodedType, QString::fromLatin1(c.encodedAs));
        EXPECT_EQ(pattern, plain.MakeData()) << BarcodeTypeName(c.type).toStdString() << " " << c.text;
    }
}

TEST(BarcodeEngine, Ean128AppendsItsCheckDigitOnce)
{
    struct Case {
        int type;
        const char *text;
        const char *completed;
    };
    const Case cases[] = {
        {bcCodeEAN128B, "10abc", "10abc9"},
        // The check digit makes the length odd: set C then adds a leading 0.
        {bcCodeEAN128C, "0112345678901231", "001123456789012319"},
        {bcCodeEAN128A, "", "0"},
    };
    for (const Case &c : cases) {
        Barcode bc = engine(c.type, QString::fromLatin1(c.text), true);
        const QString first = bc.MakeData();
        EXPECT_EQ(bc.Width(), bc.Width());
        EXPECT_EQ(bc.MakeData(), first);
        EXPECT_EQ(bc.Text().toStdString(), c.completed);
        // The text set again is completed again, once.
        bc.SetText(QString::fromLatin1(c.text));
        bc.MakeData();
        bc.MakeData();
        EXPECT_EQ(bc.Text().toStdString(), c.completed);
    }
}

TEST(BarcodeEngine, Modulo10)
{
    EXPECT_EQ(CheckSumModulo10(QStringLiteral("123456789012")), QStringLiteral("1234567890128"));
    EXPECT_EQ(CheckSumModulo10(QStringLiteral("1234567")), QStringLiteral("12345670"));
    EXPECT_EQ(CheckSumModulo10(QStringLiteral("1234567"), csmNone), QStringLiteral("1234567"));
}

TEST(BarcodeEngine, ReportsWhatItCannotEncode)
{
    struct ErrorCase {
        int type;
        const char *text;
        bool checksum;
        CheckSumMethod method;
        const char *message;
    };
    const ErrorCase cases[] = {
        {bcCodeEAN13, "12a4", false, csmModulo10, "Barcode must be numeric"},
        {bcCode128C, " 12.5", false, csmModulo10, "Barcode must be numeric"},
        {bcCodeEAN13, "123456789012", true, csmNone, "Invalid Text len (EAN13)"},
        {bcCodeEAN8, "1234567", true, csmNone, "Invalid Text len (EAN8)"},
        {bcCode93, "Code", false, csmModulo10, "TfrBarcode:Code93 bad Data <Code>"},
        {bcCodeCodabar, "12*3", false, csmModulo10, "TfrBarcode:Codabar bad Data <12*3>"},
        {kBarcodeTypeCount, "1", false, csmModulo10, "TfrBarcode: wrong BarcodeType"},
    };
    for (const ErrorCase &c : cases) {
        Barcode bc = engine(c.type, QString::fromLatin1(c.text), c.checksum);
        bc.SetCheckSumMethod(c.method);
        try {
            bc.MakeData();
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const BarcodeError &e) {
            EXPECT_EQ(e.message().toStdString(), c.message);
        }
    }
    // A digits-only symbology trims its text before it checks it.
    Barcode trimmed = engine(bcCodeEAN8, QStringLiteral(" 1234567 "), true);
    EXPECT_NO_THROW(trimmed.MakeData());
}

TEST(BarcodeEngine, WidthFollowsModulAndRescalesIt)
{
    Barcode bc = engine(bcCodeEAN13, QStringLiteral("123456789012"), true);
    EXPECT_EQ(bc.Width(), 95);
    int changes = 0;
    bc.OnChange = [&] { ++changes; };
    bc.SetWidth(300);
    EXPECT_EQ(bc.Modul(), 3);
    EXPECT_EQ(bc.Width(), 285);
    EXPECT_EQ(changes, 1);
    bc.SetModul(3);
    bc.SetModul(0);
    bc.SetModul(50);
    EXPECT_EQ(bc.Modul(), 3);
    EXPECT_EQ(changes, 1);
}

TEST(BarcodeEngine, DrawsElementWidthsInPixelsAtEveryAngle)
{
    // EAN-13 at Modul 2: the guard is bar, space, bar of two pixels each and
    // the first digit of the left half (2, odd: 0010011) follows.
    for (int angle : {0, 90, 180, 270}) {
        Barcode bc = engine(bcCodeEAN13, QStringLiteral("123456789012"), true);
        bc.SetModul(2);
        bc.SetAngle(angle);
        const int w = bc.Width();
        const QImage image = renderSymbol(bc, 40);
        const bool vertical = angle == 90 || angle == 270;
        const QRect box = darkBox(image);
        // Turned about its origin, the symbol still starts at (Left, Top).
        EXPECT_EQ(box.topLeft(), QPoint(24, 24)) << angle;
        EXPECT_EQ(box.width(), vertical ? 40 : w) << angle;
        EXPECT_EQ(box.height(), vertical ? w : 40) << angle;
        // Read the modules along the symbol's direction, from its start.
        std::string modules;
        for (int i = 0; i < 20; i += 2) {
            QPoint p;
            switch (angle) {
            case 0: p = QPoint(box.left() + i, box.center().y()); break;
            case 90: p = QPoint(box.center().x(), box.bottom() - i); break;
            case 180: p = QPoint(box.right() - i, box.center().y()); break;
            default: p = QPoint(box.center().x(), box.top() + i); break;
            }
            modules += qGray(image.pixel(p)) < 128 ? '1' : '0';
            // Both pixels of a module have its colour.
            const QPoint q = angle == 0 ? p + QPoint(1, 0) : angle == 90 ? p - QPoint(0, 1)
                             : angle == 180 ? p - QPoint(1, 0) : p + QPoint(0, 1);
            EXPECT_EQ(qGray(image.pixel(p)) < 128, qGray(image.pixel(q)) < 128) << angle << " at " << i;
        }
        EXPECT_EQ(modules, "1010010011") << angle;
    }
}

} // namespace
