// Feeds arbitrary bytes to the style library reader. Nothing may be read
// past the end, stroke and point lists may not outgrow what the bytes could
// hold, and what was read must be written and read back unchanged (the
// counts it keeps agree with its lists).

#include "mapengine/VykTypes.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const TVykSymbols lib = mapengine::readStyleLibrary(bytes);
    if (lib.Count > mapengine::kMaxLibraryPatterns || lib.count() > mapengine::kMaxLibraryPatterns)
        __builtin_trap();
    std::size_t strokes = 0, points = 0;
    for (const TVykSymbol &p : lib.Items) {
        if (p.StrokeCount != static_cast<std::int32_t>(p.Strokes.size()))
            __builtin_trap();
        strokes += p.Strokes.size();
        for (const TVykStroke &s : p.Strokes) {
            if (s.PointCount != static_cast<std::int32_t>(s.Points.size()))
                __builtin_trap();
            points += s.Points.size();
        }
    }
    // Each stroke and point begins inside the file.
    if (strokes * mapengine::kStrokeRecordSize > size + mapengine::kStrokeRecordSize * lib.Items.size()
        || points * mapengine::kPointRecordSize > size + mapengine::kPointRecordSize * (strokes + 1))
        __builtin_trap();
    if (lib.Count >= 0) {
        const TVykSymbols again = mapengine::readStyleLibrary(mapengine::writeStyleLibrary(lib));
        if (again.Items != lib.Items)
            __builtin_trap();
    }
    return 0;
}
