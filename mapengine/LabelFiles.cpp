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
        if (r.ObjectNumber == objectNumber && lbl::trimPadding(r.Key) == wanted) {
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
