#include "reports/addins/Barcode.h"

#include "platform/Rounding.h"

#include <QPoint>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace reports {

using platform::roundToInt;

namespace {

const QString kClassName = QStringLiteral("TfrBarcode");

struct TypeInfo {
    const char *name;
    bool numeric;
};

constexpr std::array<TypeInfo, kBarcodeTypeCount> kTypes = {{
    {"2_5_interleaved", true}, {"2_5_industrial", true}, {"2_5_matrix", true},
    {"Code39", false},         {"Code39 Extended", false}, {"Code128A", false},
    {"Code128B", false},       {"Code128C", true},        {"Code93", false},
    {"Code93 Extended", false}, {"MSI", true},            {"PostNet", true},
    {"Codebar", false},        {"EAN8", true},            {"EAN13", true},
    {"UPC_A", true},           {"UPC_E0", true},          {"UPC_E1", true},
    {"UPC Supp2", true},       {"UPC Supp5", true},       {"EAN128A", false},
    {"EAN128B", false},        {"EAN128C", true},
}};

// 2 of 5: the five elements of each digit, "1" wide.
constexpr std::array<const char *, 10> kTable25 = {"00110", "10001", "01001", "11000", "00101",
                                                   "10100", "01100", "00011", "10010", "01010"};

// Code 39: the characters in value order ("*" is start and stop, no value)
// and their nine elements, bar first, "1" wide.
constexpr char kCode39Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr std::array<const char *, 44> kCode39 = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
    "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
    "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
    "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
    "010100010", "010001010", "000101010", "010010100",
};

// The full ASCII forms of the characters 0 to 127 in Code 39 ("$", "%", "/"
// and "+" shift the letter after them).
constexpr std::array<const char *, 128> kCode39Ascii = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

// Code 128: the module widths of the values 0 to 105, bar first.
constexpr std::array<const char *, 106> kCode128 = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232",
};
constexpr const char *kCode128Stop = "2331112";
constexpr int kCode128Fnc1 = 102;

// Code 93: the characters in value order, the four shifts written "[", "]",
// "{" and "}", and their module widths, bar first.
constexpr char kCode93Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%[]{}";
constexpr std::array<const char *, 47> kCode93 = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
    "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211",
};

// PostNet: the five bars of each digit, "1" full height.
constexpr std::array<const char *, 10> kPostNet = {"11000", "00011", "00101", "00110", "01001",
                                                   "01010", "01100", "10001", "10010", "10100"};

// Codabar: the characters and their seven elements, bar first, "1" wide.
constexpr char kCodabarChars[] = "0123456789-$:/.+ABCD";
constexpr std::array<const char *, 20> kCodabar = {
    "0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001", "0100100", "0110000", "1001000",
    "0001100", "0011000", "1000101", "1010001", "1010100", "0010101", "0011010", "0101001", "0001011", "0001110",
};

// EAN and UPC: the module widths of the left-hand odd set, space first. The
// right-hand set has the same widths bar first; the even set is the
// right-hand set read backwards.
constexpr std::array<const char *, 10> kEanOdd = {"3211", "2221", "2122", "1411", "1132",
                                                  "1231", "1114", "1312", "1213", "3112"};
// EAN-13: the parity of the six left-hand digits by the first digit.
constexpr std::array<const char *, 10> kEan13Parity = {"oooooo", "ooEoEE", "ooEEoE", "ooEEEo", "oEooEE",
                                                       "oEEooE", "oEEEoo", "oEoEoE", "oEoEEo", "oEEoEo"};
// UPC-E of number system 0: the parity of the six digits by the check digit.
constexpr std::array<const char *, 10> kUpcEParity = {"EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo",
                                                      "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};
// The 5-digit supplement: parity by its check value.
constexpr std::array<const char *, 10> kSupp5Parity = {"EEooo", "EoEoo", "EooEo", "EoooE", "oEEoo",
                                                       "ooEEo", "oooEE", "oEoEo", "oEooE", "ooEoE"};

// Module widths, alternating from a bar or a space, as element characters:
// a bar of d modules is the character d + 4, a space d - 1.
QString widthsToPattern(const char *widths, bool barFirst)
{
    QString out;
    bool bar = barFirst;
    for (const char *p = widths; *p; ++p, bar = !bar)
        out += QChar(bar ? *p + 4 : *p - 1);
    return out;
}

// Narrow/wide elements ("0"/"1"), alternating from a bar.
QString narrowWide(const char *elements, bool barFirst = true)
{
    QString out;
    bool bar = barFirst;
    for (const char *p = elements; *p; ++p, bar = !bar)
        out += QChar(bar ? (*p == '1' ? '6' : '5') : (*p == '1' ? '1' : '0'));
    return out;
}

QString eanDigit(QChar digit, char set)
{
    const char *w = kEanOdd[digit.digitValue()];
    switch (set) {
    case 'o':
        return widthsToPattern(w, false);
    case 'R':
        return widthsToPattern(w, true);
    default: { // even: the right-hand widths read backwards, space first
        char reversed[5] = {w[3], w[2], w[1], w[0], 0};
        return widthsToPattern(reversed, false);
    }
    }
}

// The text cut to its first n characters, or padded on the left with "0".
QString cutOrPad(const QString &text, int n)
{
    if (text.size() >= n)
        return text.left(n);
    return QString(n - text.size(), u'0') + text;
}

int digitAt(const QString &text, int i)
{
    const int d = text.at(i).digitValue();
    return d < 0 ? 0 : d;
}

const QString kGuard = QStringLiteral("505");
const QString kCentre = QStringLiteral("05050");

} // namespace

QString BarcodeTypeName(int type)
{
    return type >= 0 && type < kBarcodeTypeCount ? QString::fromLatin1(kTypes[type].name) : QString();
}

bool BarcodeTypeNumeric(int type)
{
    return type >= 0 && type < kBarcodeTypeCount && kTypes[type].numeric;
}

QString CheckSumModulo10(const QString &text, CheckSumMethod method)
{
    if (method == csmNone)
        return text;
    int sum = 0;
    bool three = true;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            continue;
        const int d = c - u'0';
        sum += three ? 3 * d : d;
        three = !three;
    }
    return text + QChar(u'0' + (10 - sum % 10) % 10);
}

// ---------------------------------------------------------------------------
// Properties

void Barcode::changed()
{
    if (OnChange)
        OnChange();
}

#define BARCODE_SETTER(Name, member, Type)                                                                    \
    void Barcode::Set##Name(Type value)                                                                      \
    {                                                                                                        \
        if (member == value)                                                                                 \
            return;                                                                                          \
        member = value;                                                                                      \
        changed();                                                                                           \
    }

BARCODE_SETTER(Height, height_, int)
BARCODE_SETTER(Text, text_, const QString &)
BARCODE_SETTER(Top, top_, int)
BARCODE_SETTER(Left, left_, int)
BARCODE_SETTER(Ratio, ratio_, double)
BARCODE_SETTER(Typ, typ_, int)
BARCODE_SETTER(Checksum, checksum_, bool)
BARCODE_SETTER(CheckSumMethod, checkSumMethod_, CheckSumMethod)
BARCODE_SETTER(Angle, angle_, double)
BARCODE_SETTER(Color, color_, gdi::Color)
BARCODE_SETTER(ColorBar, colorBar_, gdi::Color)
#undef BARCODE_SETTER

void Barcode::SetModul(int value)
{
    if (value < 1 || value > 49 || value == modul_)
        return;
    modul_ = value;
    changed();
}

int Barcode::Width()
{
    return patternWidth(MakeData());
}

int Barcode::patternWidth(const QString &data) const
{
    int w = 0;
    for (QChar c : data) {
        int width = 0;
        bool bar = false, shortBar = false;
        oneBarProps(c, width, bar, shortBar);
        w += width;
    }
    return w;
}

void Barcode::SetWidth(int value)
{
    const int w = Width();
    if (w > 0)
        SetModul(modul_ * value / w);
}

// ---------------------------------------------------------------------------
// Building the pattern

void Barcode::makeModules()
{
    switch (typ_) {
    case bcCode_2_5_matrix:
        SetRatio(std::clamp(ratio_, 2.25, 3.0));
        break;
    case bcCode128A:
    case bcCode128B:
    case bcCode128C:
    case bcCode93:
    case bcCode93Extended:
    case bcCodeMSI:
    case bcCodePostNet:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C:
        break;
    default:
        SetRatio(std::clamp(ratio_, 2.0, 3.0));
        break;
    }
    widths_[0] = modul_;
    widths_[1] = roundToInt(modul_ * ratio_);
    widths_[2] = widths_[1] * 3 / 2;
    widths_[3] = 2 * widths_[1];
}

void Barcode::oneBarProps(QChar code, int &width, bool &bar, bool &shortBar) const
{
    const char16_t c = code.unicode();
    if (c >= u'0' && c <= u'3') {
        width = widths_[c - u'0'];
        bar = false;
        shortBar = false;
    } else if (c >= u'5' && c <= u'8') {
        width = widths_[c - u'5'];
        bar = true;
        shortBar = false;
    } else if (c >= u'A' && c <= u'D') {
        width = widths_[c - u'A'];
        bar = true;
        shortBar = true;
    } else {
        throw BarcodeError(kClassName + QStringLiteral(": internal Error"));
    }
}

QString Barcode::MakeData()
{
    makeModules();
    if (BarcodeTypeNumeric(typ_)) {
        SetText(text_.trimmed());
        for (QChar c : text_)
            if (c < u'0' || c > u'9')
                throw BarcodeError(QStringLiteral("Barcode must be numeric"));
    }
    switch (typ_) {
    case bcCode_2_5_interleaved:
        return codeInterleaved();
    case bcCode_2_5_industrial:
        return code25Industrial();
    case bcCode_2_5_matrix:
        return code25Matrix();
    case bcCode39:
        return code39();
    case bcCode39Extended:
        return code39Extended();
    case bcCode128A:
    case bcCode128B:
    case bcCode128C:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C:
        return code128();
    case bcCode93:
        return code93();
    case bcCode93Extended:
        return code93Extended();
    case bcCodeMSI:
        return codeMSI();
    case bcCodePostNet:
        return codePostNet();
    case bcCodeCodabar:
        return codeCodabar();
    case bcCodeEAN8:
        return codeEAN8();
    case bcCodeEAN13:
        return codeEAN13();
    case bcCodeUPC_A:
        return codeUPC_A();
    case bcCodeUPC_E0:
        return codeUPC_E(false);
    case bcCodeUPC_E1:
        return codeUPC_E(true);
    case bcCodeUPC_Supp2:
        return codeSupp2();
    case bcCodeUPC_Supp5:
        return codeSupp5();
    default:
        throw BarcodeError(kClassName + QStringLiteral(": wrong BarcodeType"));
    }
}

// ---------------------------------------------------------------------------
// Encoders

QString Barcode::codeInterleaved()
{
    // Digits go in pairs: an odd count gets a leading "0", which the text
    // then shows too, so that the symbol carries every digit it prints.
    if (text_.size() % 2)
        SetText(QStringLiteral("0") + text_);
    QString out = QStringLiteral("5050");
    for (qsizetype i = 0; i + 1 < text_.size(); i += 2) {
        const char *bars = kTable25[digitAt(text_, int(i))];
        const char *spaces = kTable25[digitAt(text_, int(i + 1))];
        for (int k = 0; k < 5; ++k) {
            out += QChar(bars[k] == '1' ? u'6' : u'5');
            out += QChar(spaces[k] == '1' ? u'1' : u'0');
        }
    }
    return out + QStringLiteral("605");
}

QString Barcode::code25Industrial()
{
    QString out = QStringLiteral("606050");
    for (qsizetype i = 0; i < text_.size(); ++i) {
        const char *e = kTable25[digitAt(text_, int(i))];
        for (int k = 0; k < 5; ++k) {
            out += QChar(e[k] == '1' ? u'6' : u'5');
            out += u'0';
        }
    }
    return out + QStringLiteral("605060");
}

QString Barcode::code25Matrix()
{
    QString out = QStringLiteral("705050");
    for (qsizetype i = 0; i < text_.size(); ++i)
        out += narrowWide(kTable25[digitAt(text_, int(i))]) + u'0';
    return out + QStringLiteral("70505");
}

namespace {

QString code39Of(const QString &text, bool checksum)
{
    auto charPattern = [](int value) { return narrowWide(kCode39[value]) + u'0'; };
    constexpr int star = 43;
    QString out = charPattern(star);
    int sum = 0;
    for (QChar c : text) {
        if (c.unicode() > 127)
            continue;
        const char *at = std::strchr(kCode39Chars, char(c.unicode()));
        if (!at || c == u'*' || c.unicode() == 0)
            continue;
        const int value = int(at - kCode39Chars);
        sum += value;
        out += charPattern(value);
    }
    if (checksum)
        out += charPattern(sum % 43);
    return out + charPattern(star);
}

QString extended(const QString &text, bool code93)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() > 127)
            continue;
        QString form = QString::fromLatin1(kCode39Ascii[c.unicode()]);
        if (code93 && form.size() == 2) {
            // The Code 39 shift letters become Code 93's own shift characters.
            switch (form.at(0).unicode()) {
            case u'$': form[0] = u'['; break;
            case u'%': form[0] = u']'; break;
            case u'/': form[0] = u'{'; break;
            case u'+': form[0] = u'}'; break;
            default: break;
            }
        }
        out += form;
    }
    return out;
}

QString code93Of(const QString &text)
{
    std::vector<int> values;
    values.reserve(size_t(text.size()));
    for (QChar c : text) {
        const char *at = c.unicode() > 0 && c.unicode() < 128 ? std::strchr(kCode93Chars, char(c.unicode())) : nullptr;
        if (!at)
            throw BarcodeError(QStringLiteral("%1:Code93 bad Data <%2>").arg(kClassName, text));
        values.push_back(int(at - kCode93Chars));
    }
    int c = 0, k = 0;
    const int n = int(values.size());
    for (int j = 0; j < n; ++j) { // j counts from the right
        const int v = values[size_t(n - 1 - j)];
        c += v * (j % 20 + 1);
        k += v * ((j + 1) % 15 + 1);
    }
    c %= 47;
    k = (k + c) % 47;
    QString out = widthsToPattern("111141", true);
    for (int v : values)
        out += widthsToPattern(kCode93[size_t(v)], true);
    out += widthsToPattern(kCode93[size_t(c)], true);
    out += widthsToPattern(kCode93[size_t(k)], true);
    return out + widthsToPattern("1111411", true);
}

} // namespace

QString Barcode::code39()
{
    return code39Of(text_, checksum_);
}

QString Barcode::code39Extended()
{
    return code39Of(extended(text_, false), checksum_);
}

QString Barcode::code93()
{
    return code93Of(text_);
}

QString Barcode::code93Extended()
{
    return code93Of(extended(text_, true));
}

QString Barcode::code128()
{
    const bool ean = typ_ == bcCodeEAN128A || typ_ == bcCodeEAN128B || typ_ == bcCodeEAN128C;
    if (ean && checksum_ && (ean128Completed_.isEmpty() || text_ != ean128Completed_))
        SetText(CheckSumModulo10(text_, checkSumMethod_));
    const int set = (typ_ == bcCode128A || typ_ == bcCodeEAN128A)   ? 0
                    : (typ_ == bcCode128B || typ_ == bcCodeEAN128B) ? 1
                                                                    : 2;
    std::vector<int> values;
    if (set == 2) {
        if (text_.size() % 2)
            SetText(QStringLiteral("0") + text_);
        for (qsizetype i = 0; i + 1 < text_.size(); i += 2) {
            const int a = text_.at(i).unicode() - u'0', b = text_.at(i + 1).unicode() - u'0';
            values.push_back(a >= 0 && a <= 9 && b >= 0 && b <= 9 ? a * 10 + b : 0);
        }
    } else {
        const int last = set == 0 ? 95 : 127;
        for (QChar c : text_)
            values.push_back(c.unicode() >= 32 && c.unicode() <= last ? c.unicode() - 32 : 0);
    }
    // The text as completed, padding included, is the one not to complete
    // again.
    if (ean && checksum_)
        ean128Completed_ = text_;
    const int start = 103 + set;
    if (ean)
        values.insert(values.begin(), kCode128Fnc1);
    int sum = start;
    for (size_t i = 0; i < values.size(); ++i)
        sum += values[i] * int(i + 1);
    QString out = widthsToPattern(kCode128[size_t(start)], true);
    for (int v : values)
        out += widthsToPattern(kCode128[size_t(v)], true);
    out += widthsToPattern(kCode128[size_t(sum % 103)], true);
    return out + widthsToPattern(kCode128Stop, true);
}

QString Barcode::codeMSI()
{
    // The published MSI Modulo 10: the digits at odd places from the right,
    // read as one number and doubled, have their digits summed; the others
    // are added.
    QString odd;
    int sum = 0;
    const qsizetype n = text_.size();
    for (qsizetype i = 0; i < n; ++i) {
        if ((n - i) % 2)
            odd += text_.at(i);
        else
            sum += digitAt(text_, int(i));
    }
    // Doubling digit by digit keeps long texts exact.
    QString doubled;
    int carry = 0;
    for (qsizetype i = odd.size() - 1; i >= 0; --i) {
        const int d = 2 * digitAt(odd, int(i)) + carry;
        doubled.prepend(QChar(u'0' + d % 10));
        carry = d / 10;
    }
    if (carry)
        doubled.prepend(QChar(u'0' + carry));
    for (QChar c : doubled)
        sum += c.unicode() - u'0';
    const QString digits = text_ + QChar(u'0' + (10 - sum % 10) % 10);

    QString out = QStringLiteral("60");
    for (QChar c : digits) {
        const int d = c.unicode() - u'0';
        for (int bit = 3; bit >= 0; --bit)
            out += (d >> bit) & 1 ? QStringLiteral("60") : QStringLiteral("51");
    }
    return out + QStringLiteral("515");
}

QString Barcode::codePostNet()
{
    QString out = QStringLiteral("51");
    for (qsizetype i = 0; i < text_.size(); ++i) {
        const char *bars = kPostNet[digitAt(text_, int(i))];
        for (int k = 0; k < 5; ++k) {
            out += QChar(bars[k] == '1' ? u'5' : u'A');
            out += u'1';
        }
    }
    return out + u'5';
}

QString Barcode::codeCodabar()
{
    auto charPattern = [](int index) { return narrowWide(kCodabar[size_t(index)]) + u'0'; };
    const int a = int(std::strchr(kCodabarChars, 'A') - kCodabarChars);
    const int b = a + 1;
    QString out = charPattern(a);
    for (QChar c : text_) {
        const char *at = c.unicode() > 0 && c.unicode() < 128 ? std::strchr(kCodabarChars, char(c.unicode())) : nullptr;
        // A character outside the set is refused rather than left out, so
        // no symbol carries less than its text.
        if (!at)
            throw BarcodeError(QStringLiteral("%1:Codabar bad Data <%2>").arg(kClassName, text_));
        out += charPattern(int(at - kCodabarChars));
    }
    return out + charPattern(b);
}

namespace {

// Guard, the left half (odd set, or the parity given for each digit),
// centre, the right half, guard; the digits before `first` are not drawn.
QString eanSymbol(const QString &digits, int first, const char *parity)
{
    const int half = int(digits.size() - first) / 2;
    QString out = kGuard;
    for (int i = 0; i < half; ++i)
        out += eanDigit(digits.at(first + i), parity ? parity[i] : 'o');
    out += kCentre;
    for (int i = 0; i < half; ++i)
        out += eanDigit(digits.at(first + half + i), 'R');
    return out + kGuard;
}

} // namespace

QString Barcode::eanDigits(int n, const char *name) const
{
    QString digits = cutOrPad(text_, checksum_ ? n - 1 : n);
    if (checksum_)
        digits = CheckSumModulo10(digits, checkSumMethod_);
    if (digits.size() != n)
        throw BarcodeError(QStringLiteral("Invalid Text len (%1)").arg(QLatin1String(name)));
    return digits;
}

QString Barcode::codeEAN8()
{
    // The text itself stays as it is.
    return eanSymbol(eanDigits(8, "EAN8"), 0, nullptr);
}

QString Barcode::codeEAN13()
{
    SetText(eanDigits(13, "EAN13"));
    return eanSymbol(text_, 1, kEan13Parity[digitAt(text_, 0)]);
}

QString Barcode::codeUPC_A()
{
    SetText(eanDigits(12, "UPC_A"));
    return eanSymbol(text_, 0, nullptr);
}

QString Barcode::codeUPC_E(bool numberSystem1)
{
    QString digits = cutOrPad(text_, 7);
    // The check digit is the published one: that of the UPC-A number the six
    // digits stand for, so that readers accept the symbol.
    const QString d = digits.left(6);
    const QChar ns = numberSystem1 ? u'1' : u'0';
    QString upcA;
    switch (digitAt(d, 5)) {
    case 0:
    case 1:
    case 2:
        upcA = ns + d.left(2) + d.at(5) + QStringLiteral("0000") + d.mid(2, 3);
        break;
    case 3:
        upcA = ns + d.left(3) + QStringLiteral("00000") + d.mid(3, 2);
        break;
    case 4:
        upcA = ns + d.left(4) + QStringLiteral("00000") + d.at(4);
        break;
    default:
        upcA = ns + d.left(5) + QStringLiteral("0000") + d.at(5);
        break;
    }
    const QChar check = CheckSumModulo10(upcA).back();
    if (checksum_)
        digits[6] = check;
    SetText(digits);
    const char *parity = kUpcEParity[check.unicode() - u'0'];
    QString out = kGuard;
    for (int i = 0; i < 6; ++i) {
        const bool even = (parity[i] == 'E') != numberSystem1;
        out += eanDigit(digits.at(i), even ? 'E' : 'o');
    }
    return out + QStringLiteral("050505");
}

QString Barcode::codeSupp2()
{
    const QString digits = cutOrPad(text_, 2);
    const int value = digitAt(digits, 0) * 10 + digitAt(digits, 1);
    static const char *const parity[4] = {"oo", "oE", "Eo", "EE"};
    QString out = widthsToPattern("112", true);
    out += eanDigit(digits.at(0), parity[value % 4][0]);
    out += QStringLiteral("05");
    out += eanDigit(digits.at(1), parity[value % 4][1]);
    SetText(checksum_ ? digits + QChar(u'0' + (9 * digitAt(digits, 0) + 3 * digitAt(digits, 1)) % 10) : digits);
    return out;
}

QString Barcode::codeSupp5()
{
    const QString digits = cutOrPad(text_, 5);
    const int check = (3 * (digitAt(digits, 0) + digitAt(digits, 2) + digitAt(digits, 4))
                       + 9 * (digitAt(digits, 1) + digitAt(digits, 3)))
                      % 10;
    QString out = widthsToPattern("112", true);
    for (int i = 0; i < 5; ++i) {
        if (i)
            out += QStringLiteral("05");
        out += eanDigit(digits.at(i), kSupp5Parity[size_t(check)][i]);
    }
    SetText(checksum_ ? digits + QChar(u'0' + check) : digits);
    return out;
}

// ---------------------------------------------------------------------------
// Drawing

void Barcode::DrawBarcode(gdi::Canvas &canvas)
{
    const QString data = MakeData();
    const int w = patternWidth(data);
    const double a = angle_ * M_PI / 180.0;
    const double sa = std::sin(a), ca = std::cos(a);
    const int h = height_;
    auto n = [](double v) { return roundToInt(v); };
    QPoint origin(left_, top_);
    if (sa >= 0 && ca >= 0)
        origin += QPoint(0, n(w * sa));
    else if (sa >= 0)
        origin += QPoint(-n(w * ca), n(w * sa - h * ca));
    else if (ca >= 0)
        origin += QPoint(-n(h * sa), 0);
    else
        origin += QPoint(-n(w * ca) - n(h * sa), -n(h * ca));
    auto turn = [&](int x, int y) { return QPoint(n(x * ca + y * sa), n(-x * sa + y * ca)) + origin; };

    canvas.saveDC();
    int x = 0;
    for (QChar c : data) {
        int width = 0;
        bool bar = false, shortBar = false;
        oneBarProps(c, width, bar, shortBar);
        const int eh = shortBar ? h * 2 / 5 : h;
        const gdi::Color colour = bar ? colorBar_ : color_;
        // A fill without outline: its right and lower edges stay outside,
        // so an element keeps its width in a picture stretched in either
        // direction (an outline one pixel wide would not grow with the
        // stretch along the symbol of a turned picture).
        canvas.setPen(gdi::Pen{gdi::PS_NULL, 1, colour});
        canvas.setBrush(gdi::Brush{gdi::BS_SOLID, colour, 0});
        canvas.polygon({turn(x, 0), turn(x, eh), turn(x + width, eh), turn(x + width, 0)});
        x += width;
    }
    canvas.restoreDC(-1);
}

} // namespace reports
