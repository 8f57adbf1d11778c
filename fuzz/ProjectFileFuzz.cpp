// Feeds arbitrary bytes, as a project file (".tvp"), to the project reader:
// the header, the top-level values and the layer blocks with their legend and
// label blocks, each layer handed to the host as its block ends. Every layer
// read must be written and read back to the same text, and nothing may be
// read out of bounds or raise but the reader's own error.
//
// Input: byte 0 picks the decimal separator the file is read under; the rest
// is the file.

#include "FuzzSupport.h"
#include "mapdata/MapDataCore.h"
#include "mapdata/ProjectFile.h"
#include "platform/Environment.h"

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

// Opens nothing: the layers' blocks are what is read here. An index outside
// the table is a fault of the reader.
struct Host : projectfile::ProjectHost {
    MapDataCore *core = nullptr;
    projectfile::ProjectView projectView() override { return {}; }
    std::vector<int> layerRows() override { return {}; }
    std::optional<int> activeRow() override { return {}; }
    void applyProjectView(const projectfile::ProjectView &) override {}
    void openLayer(const QString &, int index) override
    {
        if (index < 0 || static_cast<size_t>(index) >= core->Project().Layers.size())
            __builtin_trap();
    }
};

const QString &folder()
{
    static const QString dir = fuzzsupport::scratchPath("project_file");
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The data folder ("<name>_Data") is made beside the project.
    QDir().mkpath(folder());
    const QString path = folder() + QStringLiteral("/fuzz.tvp");
    if (!fuzzsupport::writeFile(path, QByteArray(reinterpret_cast<const char *>(data + 1),
                                                 static_cast<qsizetype>(size - 1))))
        return 0;
    platform::ScopedService<platform::DecimalSeparator> separator(data[0] & 1 ? u',' : u'.');

    MapDataCore core;
    Host host;
    host.core = &core;
    try {
        projectfile::readProject(core, path, host);
    } catch (const projectfile::ProjectFileError &) {
        return 0;
    }
    for (const TMapLayer &layer : core.Project().Layers)
        roundTrip(layer);
    return 0;
}
