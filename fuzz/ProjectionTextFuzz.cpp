// Feeds arbitrary text to the projection set-up of layers: as the lines of
// a project's layer block (the keys that make the parameter text: the whole
// text of "StrProject", and the pieces "Projection", "Ellipsoid",
// "Longitude", "Latitude", "Proj_K", "Proj_X", "Proj_Y"), and as a
// parameter text of its own. The keys the set-up drops (datum shifts) never
// reach the library; a text the library refuses gives no handle and a
// reason; a handle converts points, or says it cannot, without failing.
//
// Input: UTF-8 text: a parameter text when it begins with "+" or a blank
// (or holds no "="), else the lines of a layer block.

#include "FuzzSupport.h"
#include "geodesy/LayerProjection.h"
#include "mapdata/MapDataCore.h"
#include "mapdata/ProjectFile.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// The set-up's own rules: no dropped key is left, and a datum the library
// knows becomes an ellipsoid.
void checkPure(const QString &text)
{
    const QString pure = geodesy::pureProjectionDefinition(text);
    for (const QString &token : pure.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        QString key = token.startsWith(u'+') ? token.mid(1) : token;
        key = key.left(key.indexOf(u'=')).toLower();
        if (key == u"towgs84" || key == u"nadgrids" || key == u"geoidgrids")
            __builtin_trap();
    }
    // Nothing is added but ellipsoids: the text never grows past that.
    if (geodesy::pureProjectionDefinition(pure) != pure)
        __builtin_trap();
}

void convert(geodesy::LayerProjectionLibrary &library, const QString &definition)
{
    checkPure(definition);
    if (definition.trimmed().isEmpty())
        return;
    std::unique_ptr<IProjection> p = library.setUp(definition);
    if (!p) {
        if (!definition.trimmed().isEmpty() && library.lastError().isEmpty() &&
            !geodesy::pureProjectionDefinition(definition).trimmed().isEmpty())
            __builtin_trap(); // a refusal always says why
        return;
    }
    const double points[][2] = {{0.5, 0.8}, {0, 0}, {-3.1, -1.5}, {1e10, 1e10}, {NAN, 0}};
    for (const auto &pt : points) {
        double x = pt[0], y = pt[1];
        p->forward(x, y);
        p->inverse(x, y);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Texts longer than a layer block's line make no new paths.
    if (size > 4096)
        return 0;
    static geodesy::LayerProjectionLibrary library;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // A set-up costs the library a look into its database: one per input.
    // Texts with a key line are a layer block (both ways it may ask for a
    // projection: its whole text, or the pieces), others a parameter text.
    if (!text.contains(u'=') || text.startsWith(u'+') || text.startsWith(u' ')) {
        convert(library, text);
        return 0;
    }
    TMapLayer layer;
    projectfile::readLayerBlock(text.split(u'\n'), 0, layer);
    layer.VykProject = true;
    layer.Transform = false;
    const QString full = layerProjectionDefinition(layer);
    layer.VykProject = false;
    layer.Transform = true;
    const QString pieces = layerProjectionDefinition(layer);
    checkPure(pieces);
    convert(library, full.trimmed().isEmpty() ? pieces : full);
    return 0;
}
