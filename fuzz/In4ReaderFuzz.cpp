// Feeds arbitrary bytes, as the Windows-1251 text of an In4 file, to the In4
// reader. A coordinate that is no number may raise the platform's conversion
// error; nothing else may escape, and nothing may be read out of bounds. Each
// parcel must keep its "FileName" entry first and have points.

#include "mapdata/In4Reader.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QString text = platform::fromCp1251(QByteArrayView(data, static_cast<qsizetype>(size)));
    const QString fileName = QStringLiteral("parcels.in4");
    try {
        for (const in4::Parcel &parcel : in4::readParcels(text, fileName)) {
            if (parcel.Points.empty())
                __builtin_trap();
            if (!parcel.Values.empty() && parcel.Values.front().Key != u"FileName")
                __builtin_trap();
        }
    } catch (const platform::ConvertError &) {
    }
    // The field splitter never loses a character other than the separating commas.
    for (const QString &line : text.split(u'\n')) {
        const QStringList fields = in4::splitFields(line);
        qsizetype length = fields.size() - 1;
        for (const QString &f : fields)
            length += f.size();
        if (length != line.size())
            __builtin_trap();
        for (const QString &f : fields)
            in4::cleanValue(f);
    }
    return 0;
}
