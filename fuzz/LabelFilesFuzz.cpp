// Feeds arbitrary bytes, as a layer's label files, to their readers: the
// ".Lbl" records as the map control, the label search and the automatic
// placement read them, and the ".Shl" that the label changes search and
// update in place. Nothing may be read out of bounds, nothing may hang, and
// every change must land in a whole record that the search finds again.
//
// Input: bytes 0-1 (little-endian) are the length of the ".Lbl"; bit 0 of
// byte 2 leaves the ".Shl" out; then come the ".Lbl" and the ".Shl".

#include "FuzzSupport.h"
#include "app/AutoLabels.h"
#include "mapengine/MapControlCore.h"

namespace {

// Records looked at per input, so that a long file stays quick.
constexpr int kMaxRecords = 64;

const QString &folder()
{
    static const QString dir = [] {
        const QString d = fuzzsupport::scratchPath("label_files");
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

void placement(const QByteArray &lbl)
{
    using namespace app::autolabel;
    std::vector<LabelBox> records = decodeLabelRecords(lbl);
    if (records.size() != static_cast<size_t>(lbl.size() / lbl::LblRecordSize))
        __builtin_trap();
    if (records.size() > kMaxRecords)
        records.resize(kMaxRecords);
    int previous = 0;
    for (const LabelBox &r : records) {
        const std::array<bool, 4> quarters = collisionQuarters(r, records);
        previous = moveDirection(quarters, previous);
        moveOffset(r, previous);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const auto [lbl, shl] = fuzzsupport::splitTwo(data, size, 3);
    fuzzsupport::writeFile(folder() + QStringLiteral("/f.Lbl"), lbl);
    if (data[2] & 1)
        QFile::remove(folder() + QStringLiteral("/f.Shl"));
    else
        fuzzsupport::writeFile(folder() + QStringLiteral("/f.Shl"), shl);

    placement(lbl);

    MapControlCore core;
    core.SetWorkDir(folder());
    TMapLayer layer;
    layer.FileName = QStringLiteral("f.shp");
    layer.Labels.resize(2);
    layer.Labels[0].FieldName = QStringLiteral("NAME");
    layer.Labels[1].FieldName = QStringLiteral("Номер");
    core.Project().Layers.assign(3, layer);
    core.SetUnitsPerPixel(25, 25);
    core.Drag().CursorX = 10;
    core.Drag().LabelMoveX = 40;

    const int records = static_cast<int>(std::min<qsizetype>(lbl.size() / lbl::LblRecordSize + 1, kMaxRecords));
    for (int n = 0; n < records; ++n) {
        TMoveLabel label;
        if (core.ReadLabelRecord(n, label) != (n < (lbl.size() + lbl::LblRecordSize - 1) / lbl::LblRecordSize))
            __builtin_trap();
        core.AddAutoLabel(n, 1.5, -2.5);
        core.MoveLabels().Entries.push_back(TLabelEntry{n, label.ObjectNumber, label.LabelIndex, label.PixelX,
                                                       label.PixelY});
    }
    for (Byte kind = 1; kind <= 4; ++kind)
        core.StoreMovedLabel(kind, 1, 12);

    // The ".Shl" after the changes: each label that could be changed has its
    // record after a whole header.
    mapdata::BinaryFile file;
    file.open(core.LabelFileName(QStringLiteral(".Shl")));
    for (int n = 0; n < records; ++n) {
        TMoveLabel label;
        core.ReadLabelRecord(n, label);
        if (label.ObjectNumber <= 0 || label.LayerIndex < 0 || label.LayerIndex >= 3 || label.LabelIndex < 0 ||
            label.LabelIndex >= 2)
            continue;
        if (!file.isOpen() || file.size() < lbl::ShlHeaderSize)
            __builtin_trap();
        TShlRecord record;
        const QString key = layer.Labels[static_cast<size_t>(label.LabelIndex)].FieldName;
        if (core.FindLabelRecord(file, label.ObjectNumber, key, record) < 0 || record.PositionChanged != 1)
            __builtin_trap();
    }
    return 0;
}
