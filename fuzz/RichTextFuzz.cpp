// Feeds arbitrary bytes to the RTF reader of the rich-text object. What it
// reads is written again, and the written RTF must read back to the same
// document (every character in its format, every paragraph's format); a
// short text is also laid out page by page, each page moving on.
// Nothing may be read out of bounds, no nesting or count in the bytes may
// make the reader recurse or allocate without bound.

#include "FuzzSupport.h"
#include "platform/gdi/Bitmap.h"
#include "platform/richtext/RichDocument.h"
#include "platform/richtext/RichLayout.h"

using namespace platform::richtext;
namespace gdi = platform::gdi;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    static platform::ScopedService<gdi::ScreenMetrics> metrics(
        gdi::ScreenMetrics(gdi::DeviceMetrics{1000, 800, 250, 200, 96, 96}));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const RichDocument doc = RichDocument::fromRtf(bytes);
    if (doc.paragraphCount() != doc.text().count(u'\r') + 1)
        __builtin_trap();
    const RichDocument again = RichDocument::fromRtf(doc.toRtf());
    if (!(again == doc))
        __builtin_trap();
    if (doc.length() <= 400) {
        static gdi::Bitmap bitmap(64, 64);
        int pos = 0;
        for (int page = 0; pos < doc.length(); ++page) {
            const int end = formatRange(doc, bitmap.canvas(), FormatRange{pos, gdi::Rect{0, 0, 1440, 1440}, page % 2 == 0});
            // A page that holds no line stops the split: the page is lower
            // than the line, which a large size may make.
            if (end < pos || end > doc.length())
                __builtin_trap();
            if (end == pos)
                break;
            pos = end;
        }
    }
    return 0;
}
