// Feeds arbitrary bytes to the readers of search requests from other
// programs: the socket's framing, then the request text through its checks
// and its three grammars; and the same bytes to the table editor's reading of
// a table header. Nothing may read past the bytes given.

#include "dialogs/SearchRequests.h"
#include "dialogs/TableStructure.h"
#include "platform/TextCodec.h"

#include <cstddef>
#include <cstdint>

using namespace dialogs::search;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Frame frame = decodeFrame(bytes);
    const QByteArray text = frame.status == FrameStatus::Complete ? frame.text : bytes.toByteArray();
    const QString request = platform::fromCp1251(text);
    (void)refusalOf(request);
    (void)classifyRequest(request);
    const QStringList lines = requestLines(request);
    for (const QString &line : lines)
        if (isFieldLine(line))
            (void)parseFieldLine(line);
    for (const AddressItem &item : addressItems(lines))
        (void)hitText(item.street, item.house);
    (void)dialogs::tables::readTableFields(bytes);
    return 0;
}
