// Feeds arbitrary attribute text to the report library's serializer: as the
// attributes of a data set (published properties, dotted sub-objects, hex
// property data, references), as a single object's tag text, and as the
// root element of a template; the object is then written back.

#include "platform/classlib/Streams.h"
#include "xmlreports/DataSets.h"
#include "xmlreports/Options.h"
#include "xmlreports/Resources.h"
#include "xmlreports/Serializer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace xmlreports;
    static const bool registered = [] {
        LoadReportTexts();
        RegisterComponentClasses();
        RegisterDataSetClasses();
        RegisterOptionClasses();
        return true;
    }();
    (void)registered;
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    TfrxUserDataSet root;
    TfrxXMLSerializer serializer;
    serializer.Owner = &root;
    serializer.AttributesToObject(text, &root);
    serializer.ResolveReferences();
    TfrxEngineOptions options;
    serializer.AttributesToObject(text, &options);
    try {
        delete serializer.ObjectFromTagText(&root, "TfrxUserDataSet " + text);
    } catch (const std::exception &) {
    }

    platform::classlib::TMemoryStream stream("<?xml?><TfrxUserDataSet " + text + "><TfrxUserDataSet " + text +
                                             "/></TfrxUserDataSet>");
    TfrxUserDataSet loaded;
    try {
        loaded.LoadFromStream(stream);
    } catch (const XmlFormatError &) {
    }
    platform::classlib::TMemoryStream out;
    loaded.SaveToStream(out);
    return 0;
}
