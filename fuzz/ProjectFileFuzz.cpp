// Feeds arbitrary bytes, as a project file (".tvp"), to the project reader:
// the lines, the top-level values and the layer blocks with their legend and
// label blocks, walked as the map window walks them. Every layer read must be
// written and read back to the same text, and nothing may be read out of
// bounds or raise.

#include "app/ProjectFile.h"
#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

QStringList written(const TMapLayer &layer)
{
    QStringList lines;
    projectfile::writeLayerBlock(lines, layer, 1);
    return lines;
}

// A layer written and read back: the text written again is the same, once the
// first reading has trimmed and cut the values as the reader does.
void roundTrip(const TMapLayer &layer)
{
    const QStringList first = written(layer);
    TMapLayer again;
    again.Number = layer.Number;
    // The block's lines after "Layer=" and "{".
    if (projectfile::readLayerBlock(first, 3, again) != first.size())
        __builtin_trap();
    const QStringList second = written(again);
    TMapLayer third;
    third.Number = layer.Number;
    projectfile::readLayerBlock(second, 3, third);
    if (written(third) != second)
        __builtin_trap();
    // Lines survive the file's encoding.
    if (projectfile::decodeLines(projectfile::encodeLines(second)) != second)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the decimal separator the file is read under.
    platform::ScopedDecimalSeparator separator(data[0] & 1 ? u',' : u'.');
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const QStringList lines = projectfile::decodeLines(bytes);

    // As the map window reads: "LayersCount" sizes the table (held to the
    // blocks there are), "Layer=n" fills entry n - 1, other keys are values.
    const qsizetype blocks = std::count_if(lines.begin(), lines.end(), [](const QString &l) {
        return MapFunctions::SplitPair(l, QStringLiteral("=")).Key == u"Layer";
    });
    std::vector<TMapLayer> layers;
    qsizetype pos = 1;
    while (pos < lines.size()) {
        const TTxtValues pair = MapFunctions::SplitPair(lines[pos++], QStringLiteral("="));
        if (pair.Key == u"Layer") {
            const int n = projectfile::readInt(pair.Value);
            if (n >= 1 && static_cast<size_t>(n) <= layers.size()) {
                const qsizetype start = pos;
                pos = projectfile::readLayerBlock(lines, pos, layers[static_cast<size_t>(n - 1)]);
                if (pos > lines.size() || (start < lines.size() && pos <= start))
                    __builtin_trap();
                layers[static_cast<size_t>(n - 1)].Number = n - 1;
                continue;
            }
        }
        if (pair.Key == u"LayersCount")
            layers.assign(static_cast<size_t>(std::clamp<qsizetype>(projectfile::readInt(pair.Value), 0, blocks)),
                          TMapLayer{});
        else
            projectfile::readReal(pair.Value, 1);
    }
    for (const TMapLayer &layer : layers)
        roundTrip(layer);

    projectfile::dataFolder(QString::fromLatin1(bytes.left(64)));
    projectfile::backupName(QString::fromLatin1(bytes.left(64)));
    return 0;
}
