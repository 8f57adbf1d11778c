// The label files of a layer: reading placed labels from ".Lbl" and keeping
// the user's changes of them in ".Shl".

#include "mapengine/LabelFiles.h"
#include "mapengine/MapControlCore.h"

#include "mapdata/LayerFiles.h"
#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace {

// Characters up to and including the space go at both ends, as the files'
// own padding (spaces or zero bytes) does.
QString trimPadding(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from].unicode() <= 0x20)
        ++from;
    while (to > from && text[to - 1].unicode() <= 0x20)
        --to;
    return text.mid(from, to - from);
}

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

namespace lbl {

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

QString MapControlCore::LabelFileName(const QString &ext) const
{
    if (!validLayer(FProject.ActiveLayer))
        return {};
    return mapdata::layerfiles::labelFileIn(FWorkDir, FProject.Layers[static_cast<size_t>(FProject.ActiveLayer)].FileName,
                                            ext);
}

bool MapControlCore::ReadLabelRecord(std::int32_t n, TMoveLabel &label)
{
    // Callers skip a label they could not read by its number: it is emptied.
    label = TMoveLabel{};
    if (n < 0)
        return false;
    const QString name = LabelFileName(QStringLiteral(".Lbl"));
    const QString path = name.isEmpty() ? QString() : existingFile(name);
    mapdata::BinaryFile file;
    if (path.isEmpty() || !file.open(path))
        return false;
    const QByteArray bytes = file.readBytes(qint64(n) * lbl::LblRecordSize, lbl::LblRecordSize);
    if (bytes.isEmpty())
        return false;
    label = lbl::decodeLblRecord(bytes.constData(), bytes.size());
    return true;
}

qint64 MapControlCore::FindLabelRecord(mapdata::BinaryFile &file, std::int32_t objectNumber, const QString &key,
                                       TShlRecord &record)
{
    record = TShlRecord{};
    if (!file.isOpen())
        return -1;
    const QString wanted = platform::ansiUpperCase(key);
    const qint64 count = lbl::shlRecordCount(file.size());
    for (qint64 k = 0; k < count; ++k) {
        const qint64 pos = lbl::ShlHeaderSize + k * lbl::ShlRecordSize;
        const QByteArray bytes = file.readBytes(pos, lbl::ShlRecordSize);
        const TShlRecord r = lbl::decodeShlRecord(bytes.constData(), bytes.size());
        if (r.ObjectNumber == objectNumber && trimPadding(r.Key) == wanted) {
            record = r;
            return pos;
        }
    }
    return -1;
}

namespace {

// A change of the ".Shl" record of one label: the record found (or a new one)
// is given to `change` and written back in its place.
template <typename Change>
void changeLabelRecord(MapControlCore &c, mapdata::FileOps &ops, const QString &shlName, QString &shlPath,
                       const TMoveLabel &label, Change change)
{
    // A label without a number cannot be moved: it has no key.
    if (label.ObjectNumber <= 0 || label.LayerIndex < 0 ||
        static_cast<size_t>(label.LayerIndex) >= c.Project().Layers.size())
        return;
    const std::vector<TMapLabel> &labels = c.Project().Layers[static_cast<size_t>(label.LayerIndex)].Labels;
    if (label.LabelIndex < 0 || static_cast<size_t>(label.LabelIndex) >= labels.size())
        return;
    const TMapLabel &definition = labels[static_cast<size_t>(label.LabelIndex)];

    // The file is made with its header at the first change.
    if (shlPath.isEmpty()) {
        if (!ops.writeFile(shlName, lbl::shlHeader()))
            return;
        shlPath = shlName;
    }
    TShlRecord record;
    qint64 pos = -1;
    qint64 size = 0;
    {
        mapdata::BinaryFile file;
        if (!file.open(shlPath))
            return;
        size = file.size();
        pos = c.FindLabelRecord(file, label.ObjectNumber, definition.FieldName, record);
    }
    if (size < lbl::ShlHeaderSize && !ops.writeAt(shlPath, 0, lbl::shlHeader()))
        return; // a file cut inside its header gets it again
    if (pos < 0) {
        record = TShlRecord{};
        record.ObjectNumber = label.ObjectNumber;
        record.Key = platform::ansiUpperCase(definition.FieldName);
        record.FontSize = definition.Font.Size;
        record.Rotate = definition.Font.Rotate;
        record.Color = definition.Font.Color;
        record.Background = definition.Font.BrushStyle;
        // After the records counted, so that every record stays in its place.
        pos = lbl::ShlHeaderSize + lbl::shlRecordCount(size) * lbl::ShlRecordSize;
    }
    change(record);
    ops.writeAt(shlPath, pos, lbl::encodeShlRecord(record));
}

} // namespace

void MapControlCore::AddAutoLabel(std::int32_t n, double shiftX, double shiftY)
{
    if (!validLayer(FProject.ActiveLayer))
        return;
    TMoveLabel label;
    if (!ReadLabelRecord(n, label))
        return;
    const QString shlName = LabelFileName(QStringLiteral(".Shl"));
    QString shlPath = existingFile(shlName);
    if (!shlPath.isEmpty() && mapdata::isReadOnlyFile(shlPath))
        return;
    changeLabelRecord(*this, fileOps(), shlName, shlPath, label, [&](TShlRecord &r) {
        r.ShiftX += shiftX;
        r.ShiftY += shiftY;
        r.PositionChanged = 1;
    });
}

void MapControlCore::StoreMovedLabel(Byte kind, Byte flag, double value)
{
    if (!validLayer(FProject.ActiveLayer) || kind < 1 || kind > 4)
        return;
    const QString shlName = LabelFileName(QStringLiteral(".Shl"));
    QString shlPath = existingFile(shlName);
    if (!shlPath.isEmpty() && mapdata::isReadOnlyFile(shlPath))
        return;

    // Several labels turn about the middle of their pixel anchors, in
    // picture units: the pivot the drag image turns them about.
    const std::vector<TLabelEntry> &entries = FMoveLabels.Entries;
    double groupX = 0, groupY = 0;
    if (entries.size() > 1) {
        auto [minX, maxX] = std::minmax_element(entries.begin(), entries.end(),
                                                [](const TLabelEntry &a, const TLabelEntry &b) {
                                                    return a.PixelX < b.PixelX;
                                                });
        auto [minY, maxY] = std::minmax_element(entries.begin(), entries.end(),
                                                [](const TLabelEntry &a, const TLabelEntry &b) {
                                                    return a.PixelY < b.PixelY;
                                                });
        const double xm = minX->PixelX + (maxX->PixelX - minX->PixelX) / 2;
        const double ym = minY->PixelY + (maxY->PixelY - minY->PixelY) / 2;
        groupX = xm * FUnitsPerPixelX;
        groupY = -ym * FUnitsPerPixelY;
    }

    for (const TLabelEntry &entry : entries) {
        TMoveLabel label;
        if (!ReadLabelRecord(entry.RecordNumber, label))
            continue;
        const double pivotX = entries.size() > 1 ? groupX : label.AnchorX;
        const double pivotY = entries.size() > 1 ? groupY : label.AnchorY;
        changeLabelRecord(*this, fileOps(), shlName, shlPath, label, [&](TShlRecord &r) {
            switch (kind) {
            case 1:
                r.ShiftX += FCursorX - FPressMapX;
                r.ShiftY += FCursorY - FPressMapY;
                r.PositionChanged = flag;
                break;
            case 2:
                // Points are given with y first, as the turn is measured.
                r.Rotate += MapFunctions::AngleBetweenDirections(FLabelPressY, FLabelPressX, pivotY, pivotX,
                                                                 FLabelMoveY, FLabelMoveX, pivotY, pivotX);
                r.RotationChanged = flag;
                break;
            case 3:
                r.FontSize = platform::roundToInt(value);
                r.SizeChanged = flag;
                break;
            case 4:
                r.Color = platform::roundToInt(value);
                r.ColorChanged = flag;
                break;
            default:
                break;
            }
        });
    }
}
