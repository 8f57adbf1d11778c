// Feeds arbitrary bytes to the script engine's XML document: the reader, every
// attribute value unescaped, the writer, and the text read back. A document
// that reads is also registered as a language's grammar and selected, as a
// grammar handed to the engine would be.

#include "platform/NumberFormat.h"
#include "script/ILParser.h"
#include "script/Languages.h"
#include "script/ScriptError.h"
#include "script/XmlDocument.h"

#include <cstddef>
#include <cstdint>

namespace {

void walk(const script::TfsXMLItem *item, int &props)
{
    for (const char *name : {"text", "node", "err", "pos"}) {
        try {
            props += static_cast<int>(item->Prop(name).size());
        } catch (const platform::ConvertError &) {
        }
    }
    for (int i = 0; i < item->Count(); ++i)
        walk(item->Items(i), props);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    script::TfsXMLDocument doc;
    script::MemoryStream stream(bytes);
    try {
        doc.LoadFromStream(stream);
    } catch (const script::ScriptError &) {
        return 0; // what was read stays, and is freed with the document
    }
    if (stream.Position() > stream.Size())
        __builtin_trap();
    int props = 0;
    walk(doc.Root(), props);
    script::MemoryStream out;
    doc.SaveToStream(out);
    script::TfsXMLDocument back;
    out.SetPosition(0);
    try {
        back.LoadFromStream(out);
    } catch (const script::ScriptError &) {
    }

    // As a grammar.
    script::AddLanguage(QStringLiteral("Fuzzed"), bytes);
    script::CompileTarget target;
    script::TfsILParser parser(target);
    try {
        parser.SelectLanguage(QStringLiteral("Fuzzed"));
    } catch (const script::ScriptError &) {
    } catch (const platform::ConvertError &) {
    }
    return props < 0;
}
