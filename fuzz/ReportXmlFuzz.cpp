// Feeds arbitrary bytes to the report library's XML document: read whole
// and read lazily (every unloaded subtree loaded back), every attribute
// value unescaped, written, and the written text read again.

#include "platform/NumberFormat.h"
#include "platform/classlib/Streams.h"
#include "xmlreports/XmlDocument.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace xmlreports;

void walk(TfrxXMLDocument &doc, TfrxXMLItem *item, int &props)
{
    doc.LoadItem(item);
    try {
        props += static_cast<int>(item->Prop("Name").size() + item->Prop("ld").size());
    } catch (const platform::ConvertError &) {
    }
    for (int i = 0; i < item->Count(); ++i)
        walk(doc, item->Items(i), props);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using platform::classlib::TMemoryStream;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    int props = 0;
    for (const bool lazy : {false, true}) {
        TfrxXMLDocument doc;
        try {
            doc.LoadFromStream(std::make_unique<TMemoryStream>(bytes), lazy);
        } catch (const XmlFormatError &) {
            continue;
        }
        TMemoryStream out;
        try {
            doc.SaveToStream(out);
            walk(doc, doc.Root(), props);
        } catch (const XmlFormatError &) {
            continue;
        }
        out.SetPosition(0);
        TfrxXMLDocument back;
        try {
            back.LoadFromStream(out);
        } catch (const XmlFormatError &) {
            // Names the reader took as they stood (empty, or beginning
            // with "/") need not read back the same way.
        }
    }
    return props < 0;
}
