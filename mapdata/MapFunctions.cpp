#include "mapdata/MapFunctions.h"

namespace MapFunctions {

// ==== Text and number routines ====

// ==== end of text and number routines ====


// ==== Number and date words ====

// ==== end of number and date words ====


// ==== Registry, files, colours and form translation ====
} // namespace MapFunctions

#include "mapdata/FormTranslation.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace MapFunctions {

namespace {

// replaced by TextToInt on merge
// Stand-in for this unit's integer converter: the number read tolerantly (the
// first "," or "." is the separator, a minus only first) and rounded half to
// even, reduced to its low 32 bits.
int textToIntStandIn(const QString &text)
{
    QString clean;
    bool separator = false;
    for (QChar c : text.trimmed()) {
        if (c.isDigit() && c.unicode() < 128) {
            clean += c;
        } else if ((c == u',' || c == u'.') && !separator) {
            clean += u'.';
            separator = true;
        } else if (c == u'-' && clean.isEmpty()) {
            clean += c;
        }
    }
    bool ok = false;
    const double v = clean.toDouble(&ok);
    if (!ok || !(std::fabs(v) < 9.0e18))
        return 0;
    return static_cast<int>(static_cast<quint32>(static_cast<qint64>(platform::roundHalfEven(v))));
}

bool isBlank(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > u' ')
            return false;
    return true;
}

struct Palette {
    int size;
    const char *colours[24];
};

// Colours as RRGGBB; palette 2 repeats its first three colours at its end.
constexpr Palette Palettes[9] = {
    {24, {"C06549", "FFD700", "BDB76B", "F7B567", "CEC395", "CD9B1D", "F0E68C", "A7AF5E", "C09058", "8B4513",
          "AC9600", "698B69", "8B6914", "8B8B00", "FFFBC3", "BDB056", "DCCE00", "FEEAC6", "FFC7AE", "A6B655",
          "DB6700", "E5A100", "F7D3B3", "738325"}},
    {24, {"D2D2D2", "9DC0C0", "DFC7AA", "A1D197", "E2A6A6", "CBA6CB", "FEA4A4", "A8ACD1", "C8D89A", "F3C4D8",
          "E9E15E", "EEEEEE", "C0AB79", "E2E17F", "B4E1FE", "E8DDFE", "E1FEEB", "FEF782", "C3FFC3", "CEFE87",
          "8CFEB3", "D2D2D2", "9DC0C0", "DFC7AA"}},
    {24, {"F3898B", "7BFECD", "B3B07B", "49BA85", "00DBFE", "847FBA", "FEA869", "17BCC4", "DC686D", "28803C",
          "C09B43", "746FC0", "9C9C9C", "EDFEA5", "00E04D", "86A9CE", "B37B9D", "9FD8B3", "FEB676", "C09671",
          "87CFFE", "00A7C7", "B6A6D5", "D258DC"}},
    {15, {"EF0000", "FEF500", "FEAD00", "00FE76", "FEBC87", "FE6969", "02C200", "00FEB1", "EDFEA5", "AFFEAF",
          "FEA0A0", "FE7200", "FEBF00", "FFFBC3", "B8860B"}},
    {13, {"F8C3FE", "69FEFE", "D2D2FE", "69FED1", "F7A5FE", "A5A6FE", "00EAA3", "00C2C2", "EEACCE", "AFFEDD",
          "D2FEFE", "AFDDFE", "E4FEB4"}},
    {15, {"FE7200", "FE4646", "FEE769", "FE8828", "D15D00", "D1B100", "FEF5C3", "FECDA5", "FEE24B", "C70000",
          "BAA563", "F1FE00", "FED269", "8B4513", "8B6914"}},
    {13, {"FE7800", "E50000", "EEC900", "AE5200", "DB6700", "FE0000", "E5A100", "E57C1F", "C09671", "573414",
          "FEF450", "B37E50", "6F2828"}},
    {24, {"97FE00", "738325", "02DC00", "7DBA5A", "37A95E", "3DA900", "00FF00", "E3FE5F", "61FE60", "00E09C",
          "B2D600", "8EFE4F", "4A5900", "D3FE00", "50FE8C", "A6B655", "C3FFC3", "48762E", "016400", "7F8755",
          "908700", "DFD200", "B1BA84", "EEEC60"}},
    {19, {"00FEED", "004754", "00A7C7", "0099FE", "87CFFE", "004287", "0064A5", "AFFEE6", "0040FE", "007ED1",
          "008A81", "4E91D8", "00D5FE", "E1FEEB", "007CFE", "539B85", "86A9CE", "9FD8B3", "003AE5"}},
};

} // namespace

void TranslateForm(const QString &formName)
{
    const QString key = QString::fromUtf16(mapdata::LanguageRegistryKey);
    const int language = textToIntStandIn(ReadMachineRegString(key, QStringLiteral("Language"), QString()));
    if (language <= 0)
        return;
    const QString folder = ReadMachineRegString(key, QStringLiteral("PathWorkFiles"), QStringLiteral("0"));
    mapdata::translateWindow(formName, mapdata::languageFileName(language, folder), false);
}

QString ReadMachineRegString(const QString &key, const QString &name, const QString &def)
{
    const QString text =
        platform::Registry::instance().readString(platform::RegRoot::LocalMachine, key, name).value_or(QString());
    return isBlank(text) ? def : text;
}

bool WriteMachineRegString(const QString &key, const QString &name, const QString &text)
{
    return platform::Registry::instance().writeString(platform::RegRoot::LocalMachine, key, name, text);
}

qint64 FileSizeByName(const QString &fileName)
{
    const QString path = platform::findExistingPath(fileName);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.size();
}

qint64 HexToInt(const QString &text)
{
    QString s = platform::ansiUpperCase(text);
    if (s.endsWith(u'H'))
        s.chop(1);
    quint64 value = 0; // unsigned, so that more than 16 digits wrap instead of overflowing
    for (QChar c : s) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        else
            return 0;
        value = value * 16 + static_cast<quint64>(digit);
    }
    return static_cast<qint64>(value);
}

int HexToColor(const QString &text)
{
    const auto part = [&text](int from) { return static_cast<int>(HexToInt(text.mid(from, 2)) & 0xFF); };
    return part(0) | (part(2) << 8) | (part(4) << 16);
}

int PaletteColor(int palette, int colour)
{
    if (palette == 0) {
        palette = platform::randomInt(9);
        colour = platform::randomInt(25);
    }
    if (palette < 1 || palette > 9 || colour <= 0)
        return 0;
    const Palette &p = Palettes[palette - 1];
    colour = (colour - 1) % p.size + 1; // brought into range by taking the size off while above it
    return HexToColor(QString::fromLatin1(p.colours[colour - 1]));
}

// ==== end of registry, files, colours and form translation ====


// ==== Geometry ====

// ==== end of geometry ====

} // namespace MapFunctions
