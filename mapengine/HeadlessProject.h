#pragma once
// A project opened without a window: what the map window does when it reads
// a project and opens its layers (the reader of mapdata/ProjectFile, each
// layer opened by MapDataCore::OpenLayer with its snapshots, the view and
// panel switches set on the map control core), for a program that draws a
// project. It writes nothing of the project beyond what opening a layer
// does, nor the settings store.

#include "mapdata/ProjectFile.h"

#include <memory>
#include <vector>

class MapControlCore;
class MapDataCore;

namespace geodesy {
class LayerProjectionLibrary;
}

namespace mapengine {

// The project file's host over a map control core alone: the layer list is
// the layer table's open layers in table order, the active row the active
// layer's, the view and switches the control's own (those of the map
// window's menus are passed over).
class CoreProjectHost : public projectfile::ProjectHost {
public:
    explicit CoreProjectHost(MapControlCore &map) : map_(map) {}

    projectfile::ProjectView projectView() override;
    std::vector<int> layerRows() override;
    std::optional<int> activeRow() override;
    void readingStarted() override;
    void applyProjectView(const projectfile::ProjectView &view) override;
    void openLayer(const QString &fileName, int index) override;

private:
    MapControlCore &map_;
};

// The layers of the project in drawing order as a freshly read layer list
// gives it: the open layers, the last of the table lowest and the first on
// top.
std::vector<int> drawingOrder(const MapDataCore &core);

// A project read into a map control core for as long as it lives, with the
// layers' projections. When it ends the project is closed without saving:
// nothing was changed, so nothing is put back; the snapshots of its layers
// are deleted and their files let go.
class HeadlessProject {
public:
    explicit HeadlessProject(MapControlCore &map);
    ~HeadlessProject();
    HeadlessProject(const HeadlessProject &) = delete;
    HeadlessProject &operator=(const HeadlessProject &) = delete;

    // Reads the project at path (projectfile::readProject): false, with
    // nothing changed, when no such file exists; a file that is no project
    // raises projectfile::ProjectFileError.
    bool Read(const QString &path);

private:
    MapControlCore &map_;
    std::unique_ptr<geodesy::LayerProjectionLibrary> projections_;
};

} // namespace mapengine
