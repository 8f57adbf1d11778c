#include "mapengine/ProjectView.h"

#include "mapengine/MapControlCore.h"

#include <iterator>

namespace mapengine {

namespace {

// The panel switches of the map control, in the order of the file's keys
// (projectfile::PanelSwitchKeys).
bool MapControlCore::*const PanelFields[] = {
    &MapControlCore::ZoomPanel,  &MapControlCore::PickPanel,   &MapControlCore::SelectPanel,
    &MapControlCore::PointPanel, &MapControlCore::MarkPanel,   &MapControlCore::TextPanel,
    &MapControlCore::SymbolPanel, &MapControlCore::MapPanel,   &MapControlCore::InformPanel,
    &MapControlCore::ShowMarks,  &MapControlCore::ShowNamePoints,
};
static_assert(std::size(PanelFields) == std::size(projectfile::PanelSwitchKeys));

} // namespace

projectfile::ProjectView projectViewOf(const MapControlCore &map)
{
    projectfile::ProjectView view;
    for (size_t i = 0; i < std::size(PanelFields); ++i)
        view.Switches[QLatin1String(projectfile::PanelSwitchKeys[i])] = map.*PanelFields[i];
    view.CenterX = map.View().CenterX;
    view.CenterY = map.View().CenterY;
    view.Scale = MapControlCore::ScaleToDenominator(map.View().Scale); // 0 while there is no scale
    return view;
}

void applyProjectView(MapControlCore &map, const projectfile::ProjectView &view)
{
    for (size_t i = 0; i < std::size(PanelFields); ++i)
        if (const auto it = view.Switches.find(QLatin1String(projectfile::PanelSwitchKeys[i]));
            it != view.Switches.end())
            map.*PanelFields[i] = it->second;
    if (view.CenterX)
        map.SetCentreX(*view.CenterX);
    if (view.CenterY)
        map.SetCentreY(*view.CenterY);
    if (view.Scale)
        map.SetScale(MapControlCore::DenominatorToScale(*view.Scale));
}

} // namespace mapengine
