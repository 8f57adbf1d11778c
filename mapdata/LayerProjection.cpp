#include "mapdata/MapDataCore.h"

#include "mapdata/MapFunctions.h"

QString layerProjectionDefinition(const TMapLayer &layer)
{
    const QString projection = layer.Projection.trimmed();
    const QString ellipsoid = layer.Ellipsoid.trimmed();
    const bool fullText = layer.VykProject && !layer.StrProject.trimmed().isEmpty();
    const bool fromFields = layer.Transform && !projection.isEmpty() && !ellipsoid.isEmpty();
    if (!fullText && !fromFields)
        return {};
    QString text = layer.VykProject ? layer.StrProject : QString();
    if (layer.Transform) {
        auto piece = [&](const char *key, const QString &value) {
            if (!value.isEmpty())
                text += QLatin1String(key) + value;
        };
        auto number = [&](const char *key, double value) {
            if (value != 0)
                text += QLatin1String(key) + MapFunctions::FloatToTextDot(value);
        };
        piece(" +proj=", projection);
        piece(" +ellps=", ellipsoid);
        piece(" +lon_0=", layer.Longitude.trimmed());
        piece(" +lat_0=", layer.Latitude.trimmed());
        number(" +k=", layer.Proj_K);
        number(" +x_0=", layer.Proj_X);
        number(" +y_0=", layer.Proj_Y);
    }
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
