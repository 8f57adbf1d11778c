// Feeds arbitrary bytes, as the Windows-1251 text of a text object's line,
// to the line wrapping at widths from 0 to 8 characters, with and without
// hyphenation. Every call must end, and every character but the blanks a
// break drops, the hyphens it adds and the paragraph markers must come out
// again, in order.

#include "platform/TextCodec.h"
#include "reports/model/TextLayout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace reports;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = platform::fromCp1251(QByteArrayView(data, static_cast<qsizetype>(size)));
    const FixedWidthMeasurer measurer(3);
    QString expected = text;
    expected.remove(u' ').remove(u'\r').remove(u'\n').remove(kParagraphEnd).remove(u'-');
    for (int chars = 0; chars <= 8; ++chars) {
        for (bool wordBreak : {false, true}) {
            QStringList lines;
            WrapLine(text, chars * 3, wordBreak, measurer, lines);
            QString joined = lines.join(QString());
            joined.remove(u' ').remove(u'\r').remove(u'\n').remove(kParagraphEnd).remove(u'-');
            if (joined != expected)
                std::abort();
        }
    }
    HyphenationPoints(text);
    return 0;
}
