#pragma once
// The two label files beside a layer. ".Lbl" (read only; made by another
// program) holds 200-byte records of labels placed on the map, without a
// header. ".Shl" keeps what the user changed about a label: a 100-byte header
// in the shapefile layout, then 96-byte records keyed by the object number and
// the label's field name. Integers and doubles are little-endian except the
// two big-endian fields of the ".Shl" header; texts are Windows-1251. The
// one codec of both: the map control, the label placement and the mouse
// tools read them through it.

#include "mapdata/MapTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

// A label of a ".Lbl" file while it is moved.
struct TMoveLabel {
    ShortString LabelText;
    std::int32_t ObjectNumber = 0;   // its key in the ".Shl"; 0 or less: cannot be moved
    std::int32_t LayerIndex = 0;     // the labelled object
    std::int32_t ObjectIndex = 0;
    std::int32_t LabelIndex = 0;     // entry of that layer's Labels
    double AnchorX = 0, AnchorY = 0; // picture units (0.01 mm)
    double PixelX = 0, PixelY = 0;   // pixels
    TShpPoint BoxTopLeft;            // pixels; only X and Y are filled
    TShpPoint BoxBottomRight;
    TMapFont Font;                   // FontName, Rotate, Size, Scale, Color
};

// One record of a ".Shl" file.
struct TShlRecord {
    std::int32_t ObjectNumber = 0;   //  0
    QString Key;                     //  4 char[44]: the field name upper-cased, space-padded
    double ShiftX = 0;               // 48 map units
    double ShiftY = 0;               // 56
    std::int32_t FontSize = 0;       // 64
    double Rotate = 0;               // 68 degrees
    std::int32_t Reserved76 = 0;     // 76
    std::int32_t Color = 0;          // 80
    Byte Background = 0;             // 84 the label definition's background style
    std::int32_t Reserved85 = 0;     // 85
    Byte PositionChanged = 0;        // 89
    Byte SizeChanged = 0;            // 90
    Byte RotationChanged = 0;        // 91
    Byte Reserved92 = 0;             // 92
    Byte ColorChanged = 0;           // 93
    std::int16_t Reserved94 = 0;     // 94

    bool operator==(const TShlRecord &) const = default;
};

namespace lbl {

constexpr int LblRecordSize = 200;
constexpr int LblTextSize = 50;
constexpr int LblFontNameSize = 50;
constexpr int ShlHeaderSize = 100;
constexpr int ShlRecordSize = 96;
constexpr int ShlKeySize = 44;

// A ".Lbl" record from the bytes there are (a record cut short reads as far
// as it goes, the rest as zeros). The text and the font name end at their
// first zero byte and are trimmed.
TMoveLabel decodeLblRecord(const char *data, qsizetype size);
// The whole records of a ".Lbl" file's bytes, in file order; a short tail is
// no record.
std::vector<TMoveLabel> decodeLblRecords(QByteArrayView bytes);

// The text without the characters up to and including the space at both
// ends, as the files' own padding (spaces or zero bytes) is dropped: a
// ".Shl" key is compared so.
QString trimPadding(const QString &text);

// The ".Shl" header: file code 9994 and length 50 words (both big-endian),
// version 1000, shape type 0, zeros.
QByteArray shlHeader();
// Records of a ".Shl" of that size: (size - 100) / 96, halves to even; never
// below 0.
qint64 shlRecordCount(qint64 fileSize);
// A record from the bytes there are (a short one reads as far as it goes).
TShlRecord decodeShlRecord(const char *data, qsizetype size);
QByteArray encodeShlRecord(const TShlRecord &record);

} // namespace lbl
