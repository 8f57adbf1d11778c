// The label files' records: ".Lbl" read, ".Shl" read and written.

#include "mapdata/LabelRecords.h"

#include "mapdata/ShpRecords.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace lbl {
namespace {

// A text field: up to its first zero byte, trimmed.
QString textField(const char *p, int width)
{
    const auto length = static_cast<qsizetype>(::strnlen(p, static_cast<size_t>(width)));
    return trimPadding(platform::fromCp1251(QByteArrayView(p, length)));
}

// The bytes there are, zeros after them, in a buffer of the full size.
QByteArray padded(const char *data, qsizetype size, int full)
{
    QByteArray b(full, '\0');
    if (data && size > 0)
        std::memcpy(b.data(), data, static_cast<size_t>(std::min<qsizetype>(size, full)));
    return b;
}

} // namespace


QString trimPadding(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from].unicode() <= 0x20)
        ++from;
    while (to > from && text[to - 1].unicode() <= 0x20)
        --to;
    return text.mid(from, to - from);
}

TMoveLabel decodeLblRecord(const char *data, qsizetype size)
{
    const QByteArray b = padded(data, size, LblRecordSize);
    const char *p = b.constData();
    TMoveLabel m;
    m.LabelText = textField(p, LblTextSize);
    m.ObjectNumber = shp::getLE32(p + 50);
    m.LayerIndex = shp::getLE32(p + 54);
    m.ObjectIndex = shp::getLE32(p + 58);
    m.LabelIndex = shp::getLE32(p + 62);
    m.Font.Size = shp::getLE32(p + 66);
    m.Font.Scale = shp::getLE32(p + 70);
    m.Font.Color = shp::getLE32(p + 74);
    m.AnchorX = shp::getLEDouble(p + 78);
    m.AnchorY = shp::getLEDouble(p + 86);
    m.PixelX = shp::getLEDouble(p + 94);
    m.PixelY = shp::getLEDouble(p + 102);
    m.BoxTopLeft.X = shp::getLEDouble(p + 110);
    m.BoxTopLeft.Y = shp::getLEDouble(p + 118);
    m.BoxBottomRight.X = shp::getLEDouble(p + 126);
    m.BoxBottomRight.Y = shp::getLEDouble(p + 134);
    m.Font.Rotate = shp::getLEDouble(p + 142);
    m.Font.FontName = textField(p + 150, LblFontNameSize);
    return m;
}

std::vector<TMoveLabel> decodeLblRecords(QByteArrayView bytes)
{
    std::vector<TMoveLabel> records;
    records.reserve(static_cast<size_t>(bytes.size() / LblRecordSize));
    for (qsizetype at = 0; at + LblRecordSize <= bytes.size(); at += LblRecordSize)
        records.push_back(decodeLblRecord(bytes.data() + at, LblRecordSize));
    return records;
}

QByteArray shlHeader()
{
    QByteArray h(ShlHeaderSize, '\0');
    shp::setBE32(h.data(), shp::FileCode);
    shp::setBE32(h.data() + 24, ShlHeaderSize / 2);
    shp::setLE32(h.data() + 28, 1000);
    shp::setLE32(h.data() + 32, 0);
    return h;
}

qint64 shlRecordCount(qint64 fileSize)
{
    if (fileSize <= ShlHeaderSize)
        return 0;
    return platform::roundHalfEven(static_cast<long double>(fileSize - ShlHeaderSize) / ShlRecordSize);
}

TShlRecord decodeShlRecord(const char *data, qsizetype size)
{
    const QByteArray b = padded(data, size, ShlRecordSize);
    const char *p = b.constData();
    TShlRecord r;
    r.ObjectNumber = shp::getLE32(p);
    r.Key = platform::fromCp1251(QByteArrayView(p + 4, ShlKeySize));
    r.ShiftX = shp::getLEDouble(p + 48);
    r.ShiftY = shp::getLEDouble(p + 56);
    r.FontSize = shp::getLE32(p + 64);
    r.Rotate = shp::getLEDouble(p + 68);
    r.Reserved76 = shp::getLE32(p + 76);
    r.Color = shp::getLE32(p + 80);
    r.Background = static_cast<Byte>(p[84]);
    r.Reserved85 = shp::getLE32(p + 85);
    r.PositionChanged = static_cast<Byte>(p[89]);
    r.SizeChanged = static_cast<Byte>(p[90]);
    r.RotationChanged = static_cast<Byte>(p[91]);
    r.Reserved92 = static_cast<Byte>(p[92]);
    r.ColorChanged = static_cast<Byte>(p[93]);
    r.Reserved94 = shp::getLE16(p + 94);
    return r;
}

QByteArray encodeShlRecord(const TShlRecord &r)
{
    QByteArray b(ShlRecordSize, '\0');
    char *p = b.data();
    shp::setLE32(p, r.ObjectNumber);
    QByteArray key = platform::toCp1251(r.Key).left(ShlKeySize);
    key.append(QByteArray(ShlKeySize - key.size(), ' '));
    std::memcpy(p + 4, key.constData(), ShlKeySize);
    shp::setLEDouble(p + 48, r.ShiftX);
    shp::setLEDouble(p + 56, r.ShiftY);
    shp::setLE32(p + 64, r.FontSize);
    shp::setLEDouble(p + 68, r.Rotate);
    shp::setLE32(p + 76, r.Reserved76);
    shp::setLE32(p + 80, r.Color);
    p[84] = static_cast<char>(r.Background);
    shp::setLE32(p + 85, r.Reserved85);
    p[89] = static_cast<char>(r.PositionChanged);
    p[90] = static_cast<char>(r.SizeChanged);
    p[91] = static_cast<char>(r.RotationChanged);
    p[92] = static_cast<char>(r.Reserved92);
    p[93] = static_cast<char>(r.ColorChanged);
    shp::setLE16(p + 94, r.Reserved94);
    return b;
}

} // namespace lbl
