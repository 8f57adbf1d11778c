// Feeds arbitrary bytes to the readers of the projection catalogue
// ("Projects.gtp") and of the key file ("Systems.gtr"), and as Windows-1251
// text to the reader of pasted point pairs. Nothing may be read out of
// bounds; what is read must be written back to bytes that read the same
// (counts within what the file holds), and a pasted row never has more than
// the seven fields.

#include "geodesy/PlaneKeys.h"
#include "geodesy/ProjectCatalogue.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));

    geodesy::TProjectCatalogue catalogue = geodesy::decodeCatalogue(bytes);
    const qsizetype whole = (bytes.size() - geodesy::CatalogueHeaderSize);
    if (static_cast<qsizetype>(catalogue.Systems.size()) * geodesy::SystemRecordSize +
            static_cast<qsizetype>(catalogue.Projects.size()) * geodesy::ProjectRecordSize >
        std::max<qsizetype>(whole, 0))
        __builtin_trap();
    for (auto &s : catalogue.Systems)
        s.InUse = true;
    for (auto &p : catalogue.Projects)
        p.InUse = true;
    const QByteArray written = geodesy::encodeCatalogue(catalogue);
    if (geodesy::encodeCatalogue(geodesy::decodeCatalogue(written)) != written)
        __builtin_trap();
    for (const geodesy::TGeoProjectRecord &p : catalogue.Projects)
        geodesy::BuildProjString(p);

    const std::vector<geodesy::TGeoKeyRecord> keys = geodesy::decodeKeys(bytes);
    if (static_cast<qsizetype>(keys.size()) != bytes.size() / geodesy::KeyRecordSize)
        __builtin_trap();
    const QByteArray keyBytes = geodesy::encodeKeys(keys);
    if (geodesy::encodeKeys(geodesy::decodeKeys(keyBytes)) != keyBytes)
        __builtin_trap();

    for (const geodesy::TransformRow &r : geodesy::parseTransformRows(platform::fromCp1251(bytes)))
        if (r.Name.isEmpty())
            __builtin_trap();
    return 0;
}
