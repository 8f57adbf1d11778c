// Symbols of the barcode engine read back by another program: each
// symbology zbar reads is drawn at the four angles, saved as PNG and
// decoded with zbarimg (package zbar-tools); skipped where it is missing.

#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

using namespace reports;
using namespace barcodetest;

namespace {

struct ZbarCase {
    int type;
    const char *text;
    bool checksum;
    // What zbarimg reports ("<symbology>:<data>").
    const char *decoded;
};

// Texts chosen to run through the whole character table of each symbology.
const ZbarCase kZbarCases[] = {
    {bcCode_2_5_interleaved, "1234567890", false, "I2/5:1234567890"},
    // An odd count of digits is carried whole with a leading 0.
    {bcCode_2_5_interleaved, "12345", false, "I2/5:012345"},
    {bcCode39, "CODE-39 $/+%.0123456789", false, "CODE-39:CODE-39 $/+%.0123456789"},
    {bcCode39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", true, "CODE-39:ABCDEFGHIJKLMNOPQRSTUVWXYZQ"},
    {bcCode39Extended, "ab", false, "CODE-39:+A+B"},
    {bcCode128A, "CODE 128A!\"#$%&'()*+,-./:;<=>?@[\\]^_", false, "CODE-128:CODE 128A!\"#$%&'()*+,-./:;<=>?@[\\]^_"},
    {bcCode128B, " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNO", false,
     "CODE-128: !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNO"},
    {bcCode128B, "PQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~", false,
     "CODE-128:PQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"},
    {bcCode128C, "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849", false, "CODE-128:0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849"},
    {bcCode128C, "5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899", false, "CODE-128:5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899"},
    // An odd count of digits gets a leading 0.
    {bcCode128C, "123", false, "CODE-128:0123"},
    {bcCode93, "CODE 93-.$/+%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", false,
     "CODE-93:CODE 93-.$/+%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
    {bcCode93Extended, "Code93 ext!", false, "CODE-93:Code93 ext!"},
    {bcCodeCodabar, "0123456789-$:/.+", false, "Codabar:A0123456789-$:/.+B"},
    {bcCodeEAN8, "1234567", true, "EAN-8:12345670"},
    {bcCodeEAN13, "123456789012", true, "EAN-13:1234567890128"},
    {bcCodeEAN13, "590123412345", true, "EAN-13:5901234123457"},
    {bcCodeUPC_A, "03600029145", true, "UPC-A:036000291452"},
    {bcCodeUPC_E0, "4252610", true, "UPC-E:04252614"},
    {bcCodeUPC_Supp2, "12", false, "EAN-2:12"},
    {bcCodeUPC_Supp5, "52495", false, "EAN-5:52495"},
    {bcCodeEAN128A, "0112345678901231", false, "CODE-128:0112345678901231"},
    {bcCodeEAN128B, "10abc", true, "CODE-128:10abc9"},
    {bcCodeEAN128C, "0112345678901231", false, "CODE-128:0112345678901231"},
    // The check digit makes the length odd: a leading 0 pairs the digits.
    {bcCodeEAN128C, "0112345678901231", true, "CODE-128:001123456789012319"},
};

class BarcodeZbar : public ::testing::TestWithParam<ZbarCase> {};

TEST_P(BarcodeZbar, DecodesAtEveryAngle)
{
    if (!haveZbar())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed: the symbols are not read back";
    const ZbarCase &c = GetParam();
    for (int angle : {0, 90, 180, 270}) {
        Barcode bc;
        bc.SetTyp(c.type);
        bc.SetChecksum(c.checksum);
        bc.SetText(QString::fromLatin1(c.text));
        bc.SetModul(2);
        bc.SetAngle(angle);
        const QImage image = renderSymbol(bc, 60);
        const QString name = QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name());
        const QString decoded = decodeWithZbar(image, name.section(u'/', -1) + QStringLiteral("-%1").arg(angle));
        EXPECT_EQ(decoded.toStdString(), c.decoded)
            << BarcodeTypeName(c.type).toStdString() << " of \"" << c.text << "\" at " << angle;
    }
}

// Named by symbology and place in the table (the pictures are kept by name).
INSTANTIATE_TEST_SUITE_P(Symbologies, BarcodeZbar, ::testing::ValuesIn(kZbarCases),
                         [](const ::testing::TestParamInfo<ZbarCase> &info) {
                             QString name = BarcodeTypeName(info.param.type) + u'_' + QString::number(info.index);
                             name.replace(u' ', u'_');
                             return name.toStdString();
                         });

} // namespace
