// Feeds arbitrary bytes as a dictionary section (every layout: -2, -1 and the
// oldest without a marker) in both stream versions of its texts; what is read
// is written again and must read back the same.

#include "reports/model/DataDictionary.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace reports;

namespace {

QByteArray written(const DataDictionary &d)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    d.SaveToStream(buffer);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 1 << 16)
        return 0;
    // The first byte picks the version of the oldest layout's memo.
    library().StreamVersion = data[0] & 1 ? 25 : 22;
    QByteArray bytes(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    DataDictionary d;
    try {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        d.LoadFromStream(in);
    } catch (const StreamReadError &) {
        return 0;
    }
    QByteArray once = written(d);
    DataDictionary again;
    QBuffer in(&once);
    in.open(QIODevice::ReadOnly);
    library().StreamVersion = 25;
    again.LoadFromStream(in);
    if (written(again) != once)
        std::abort();
    return 0;
}
