// Feeds arbitrary bytes, as clipboard text, to the reader of the object text
// block, builds the parts that paste, merge and split would commit, writes
// them back as a block and reads that again: the same parts and points must
// come back, and nothing may be read out of bounds.

#include "mapdata/ObjectTextBlock.h"
#include "platform/Environment.h"
#include "platform/TextCodec.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

size_t pointCount(const std::vector<TShpParts> &parts)
{
    size_t n = 0;
    for (const TShpParts &p : parts)
        n += p.Points.size();
    return n;
}

void roundTrip(const std::vector<TShpParts> &parts)
{
    if (parts.empty())
        return;
    // Beyond any map: rounded to 15 digits such a value may leave the range
    // of a double.
    for (const TShpParts &p : parts)
        for (const TShpPoint &q : p.Points)
            if (std::fabs(q.X) > 1e300 || std::fabs(q.Y) > 1e300)
                return;
    objectblock::Writer w;
    w.beginObject(1, 5, parts);
    w.endObject();
    std::vector<objectblock::Object> again;
    if (!objectblock::read(w.text(), again) || again.size() != 1)
        __builtin_trap();
    const std::vector<TShpParts> back = objectblock::pastedParts(again.front());
    if (back.size() != parts.size() || pointCount(back) != pointCount(parts))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the decimal separator the block is read under.
    platform::ScopedService<platform::DecimalSeparator> separator(data[0] & 1 ? u',' : u'.');
    const QString text = QString::fromUtf16(objectblock::Signature) +
                         platform::fromCp1251(QByteArrayView(data + 1, static_cast<qsizetype>(size - 1)));
    std::vector<objectblock::Object> objects;
    if (!objectblock::read(text, objects))
        __builtin_trap();
    for (const objectblock::Object &o : objects) {
        roundTrip(objectblock::pastedParts(o));
        roundTrip(objectblock::splitParts(o));
        o.allPoints();
    }
    roundTrip(objectblock::mergedParts(objects));
    return 0;
}
