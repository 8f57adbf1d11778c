// Fuzz target of the layer record readers: the object table recalculation,
// the extent recalculation, the object reader and the record stream over a
// ".Shp", ".Shx" and edit journal made of the input, plus the record codecs
// on the raw bytes.
//
// Input: byte 0 chooses the shape type written into both headers (or leaves
// the headers alone) and switches the journal and a projection on; bytes 1-2
// and 3-4 (little-endian) are the lengths of the ".Shx" and of the journal;
// then come the ".Shx", the journal and the ".Shp".

#include "FuzzSupport.h"
#include "mapdata/MapDataCore.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Scaled : IProjection {
    void forward(double &x, double &y) override { x = x * 1000 + 100000; y = y * 1000 + 100000; }
    void inverse(double &x, double &y) override { x = (x - 100000) / 1000; y = (y - 100000) / 1000; }
};
struct Library : ILayerProjection {
    std::unique_ptr<IProjection> setUp(const QString &) override { return std::make_unique<Scaled>(); }
};
struct Layout : IMapEngineServices {
    void LayoutTextObject(const TTextRecord &r, double x, double y, double &xMin, double &yMin, double &xMax,
                          double &yMax) override
    {
        if (r.Kind == okText || r.Kind == okSymbol) {
            xMin = x - r.Text.size();
            xMax = x + r.Text.size();
            yMin = y;
            yMax = y + r.FontSize;
        }
    }
};

const QString &folder()
{
    static const QString dir = [] {
        const QString d = fuzzsupport::scratchPath("layer_records");
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

void writeFile(const QString &name, const char *data, size_t size)
{
    QFile f(folder() + u'/' + name);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data, static_cast<qint64>(size));
}

void codecs(const char *d, size_t n)
{
    const auto size = static_cast<qsizetype>(n);
    shp::FileHeader h;
    shp::decodeFileHeader(d, size, h);
    shp::PointRecord p;
    shp::decodePoint(d, size, p);
    shp::PolyRecordHead ph;
    shp::decodePolyHead(d, size, ph);
    TTextRecord t;
    if (shp::decodeTextHead(d, size, t)) {
        char out[shp::TextHeadSize];
        shp::encodeTextHead(out, t);
    }
    shp::RasterRecordHead r;
    if (shp::decodeRasterHead(d, size, r)) {
        char out[shp::RasterHeadSize];
        shp::encodeRasterHead(out, r);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    const char *d = reinterpret_cast<const char *>(data);
    codecs(d, size);

    static const std::int32_t types[] = {1, 3, 5, 8, 10, 11, 13, 15, 21, 23, 25};
    const std::uint8_t selector = data[0];
    const size_t shxLen = std::min<size_t>(data[1] | data[2] << 8, size - 5);
    const size_t jrnLen = std::min<size_t>(data[3] | data[4] << 8, size - 5 - shxLen);
    QByteArray shx(d + 5, static_cast<qsizetype>(shxLen));
    QByteArray jrn(d + 5 + shxLen, static_cast<qsizetype>(jrnLen));
    QByteArray shpBytes(d + 5 + shxLen + jrnLen, static_cast<qsizetype>(size - 5 - shxLen - jrnLen));
    if ((selector & 0x0F) < 11) {
        const std::int32_t type = types[selector & 0x0F];
        for (QByteArray *b : {&shx, &shpBytes})
            if (b->size() >= 36)
                shp::setLE32(b->data() + 32, type);
    }
    writeFile(QStringLiteral("f.shp"), shpBytes.constData(), static_cast<size_t>(shpBytes.size()));
    writeFile(QStringLiteral("f.shx"), shx.constData(), static_cast<size_t>(shx.size()));
    const bool withJournal = selector & 0x10;
    if (withJournal)
        writeFile(QStringLiteral("updates.mhp"), jrn.constData(), static_cast<size_t>(jrn.size()));
    else
        QFile::remove(folder() + QStringLiteral("/updates.mhp"));

    static Library library;
    static Layout layout;
    MapDataCore core;
    core.SetWorkDir(folder());
    if (selector & 0x20)
        core.setProjectionLibrary(&library);
    core.setEngineServices(&layout);
    TMapLayer layer;
    layer.FileName = QStringLiteral("f.shp");
    layer.Transform = true;
    layer.Projection = QStringLiteral("any");
    layer.Ellipsoid = QStringLiteral("any");
    core.Project().Layers.push_back(layer);
    // Opening reads damaged files too; the recalculation then leaves them.
    core.OpenLayerFiles(0);
    core.RecalcLayer(0);

    TMapLayer &l = core.Project().Layers[0];
    if (l.Objects.size() > 2000)
        l.Objects.resize(2000);
    // Journal places made up from the table itself.
    if (withJournal)
        for (size_t i = 0; i < l.Objects.size(); i += 2) {
            l.Objects[i].JrnOffset = l.Objects[i].ShpOffset ^ static_cast<std::int32_t>(i * 7);
            l.Objects[i].JrnLength = l.Objects[i].ShpLength / 2 + static_cast<std::int32_t>(i);
        }
    for (size_t i = 0; i < l.Objects.size(); i += 3)
        l.Objects[i].Deleted = true;
    core.RecalcLayerExtents(0);

    TLayerStream stream;
    core.OpenLayerStream(stream, 0);
    for (size_t i = 0; i < l.Objects.size(); ++i) {
        TShpObject shape;
        core.ReadObject(0, static_cast<int>(i), shape);
        core.ReadShapeRecord(stream, 0, static_cast<int>(i));
        TShpPoint p;
        for (int k = 0; k < 20000 && core.ReadShapePoint(stream, 0, p, static_cast<int>(i)); ++k)
            if (shp::recordKindOf(stream.Header.ShapeType) == shp::RecordKind::Point)
                break;
        core.FreeShapeRecord(stream);
    }
    core.CloseLayerStream(stream);
    return 0;
}
