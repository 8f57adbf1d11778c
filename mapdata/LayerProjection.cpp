#include "mapdata/MapDataCore.h"

#include "mapdata/MapFunctions.h"

QString projectionPieces(const QString &projection, const QString &ellipsoid, const QString &longitude,
                         const QString &latitude, double k, double x0, double y0)
{
    QString text;
    auto piece = [&](const char *key, const QString &value) {
        const QString v = value.trimmed();
        if (!v.isEmpty())
            text += QLatin1String(key) + v;
    };
    auto number = [&](const char *key, double value) {
        if (value != 0)
            text += QLatin1String(key) + MapFunctions::FloatToTextDot(value);
    };
    piece(" +proj=", projection);
    piece(" +ellps=", ellipsoid);
    piece(" +lon_0=", longitude);
    piece(" +lat_0=", latitude);
    number(" +k=", k);
    number(" +x_0=", x0);
    number(" +y_0=", y0);
    return text;
}

QString layerProjectionDefinition(const TMapLayer &layer)
{
    const QString projection = layer.Projection.trimmed();
    const QString ellipsoid = layer.Ellipsoid.trimmed();
    const bool fullText = layer.VykProject && !layer.StrProject.trimmed().isEmpty();
    const bool fromFields = layer.Transform && !projection.isEmpty() && !ellipsoid.isEmpty();
    if (!fullText && !fromFields)
        return {};
    QString text = layer.VykProject ? layer.StrProject : QString();
    if (layer.Transform)
        text += projectionPieces(projection, ellipsoid, layer.Longitude, layer.Latitude, layer.Proj_K, layer.Proj_X,
                                 layer.Proj_Y);
    return text;
}

bool MapDataCore::InitLayerProjection(int layer)
{
    if (!validLayer(layer))
        return false;
    const QString definition = layerProjectionDefinition(FProject.Layers[static_cast<size_t>(layer)]);
    if (definition.isEmpty())
        return false; // the layer has no projection: the handle is not touched
    // A refused definition leaves the layer unprojected for this pass, silently.
    FLayerProj = FProjectionLibrary ? FProjectionLibrary->setUp(definition) : nullptr;
    return FLayerProj != nullptr;
}
