#include "mapengine/HeadlessProject.h"

#include "geodesy/LayerProjection.h"
#include "mapengine/MapControlCore.h"
#include "mapengine/ProjectView.h"

#include <algorithm>

namespace mapengine {

projectfile::ProjectView CoreProjectHost::projectView()
{
    return projectViewOf(map_);
}

std::vector<int> CoreProjectHost::layerRows()
{
    std::vector<int> rows = drawingOrder(map_);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

std::optional<int> CoreProjectHost::activeRow()
{
    const std::vector<int> rows = layerRows();
    if (rows.empty())
        return std::nullopt;
    // The blocks are numbered by row: the active layer is written as its row.
    const auto it = std::find(rows.begin(), rows.end(), map_.Project().ActiveLayer);
    return it != rows.end() ? static_cast<int>(it - rows.begin()) : static_cast<int>(rows.size()) - 1;
}

void CoreProjectHost::readingStarted()
{
    map_.ClearSelection();
}

void CoreProjectHost::applyProjectView(const projectfile::ProjectView &view)
{
    mapengine::applyProjectView(map_, view);
}

void CoreProjectHost::openLayer(const QString &fileName, int index)
{
    map_.OpenLayer(fileName, index, false);
}

std::vector<int> drawingOrder(const MapDataCore &core)
{
    std::vector<int> order;
    for (int i = static_cast<int>(core.Project().Layers.size()) - 1; i >= 0; --i)
        if (!core.Project().Layers[static_cast<size_t>(i)].Closed)
            order.push_back(i);
    return order;
}

HeadlessProject::HeadlessProject(MapControlCore &map)
    : map_(map), projections_(std::make_unique<geodesy::LayerProjectionLibrary>())
{
    map_.setProjectionLibrary(projections_.get());
}

HeadlessProject::~HeadlessProject()
{
    for (int i = 0; i < static_cast<int>(map_.Project().Layers.size()); ++i)
        map_.RestoreLayerBackup(i, true);
    map_.ReleaseLayerFiles();
    // The library goes before the core may use it again.
    map_.FreeLayerProjection();
    map_.setProjectionLibrary(nullptr);
}

bool HeadlessProject::Read(const QString &path)
{
    CoreProjectHost host(map_);
    return projectfile::readProject(map_, path, host);
}

} // namespace mapengine
