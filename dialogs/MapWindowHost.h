#pragma once
// What the search window, the attribute panel and the table editor need of
// the map window, which lies above them: its map control, its layer rows,
// locating and showing objects, the status text and the information tool.
// The map window installs itself (platform::Service); without one there is
// no map and the windows find nothing.

#include "mapengine/MapControlCore.h"
#include "platform/Service.h"

#include <QIcon>

#include <vector>


namespace mapengine {
class StyleServices;
}

namespace dialogs {

class MapWindowHost {
public:
    virtual ~MapWindowHost() = default;
    // The map control; null without a map window.
    virtual MapControlCore *mapControl() { return nullptr; }
    // The table index of the active-layer row; -1 without one.
    virtual int activeLayer() const { return -1; }
    // The table indices of the layer list's rows in list order.
    virtual std::vector<int> layerListOrder() const { return {}; }
    // The object's box from its layer file; with select it becomes the only
    // selected object and the view centres on it.
    virtual TMapExtent LocateObject(int, int, bool) { return {}; }
    virtual void CentreAndRedraw(double, double) {}
    virtual void ZoomToExtent(double, double, double, double) {}
    virtual void RedrawMap() {}
    // The status bar's sixth panel.
    virtual void setSearchStatus(const QString &) {}
    // Whether the information tool is down.
    virtual bool infoToolDown() const { return false; }
    // Draws the selection's marks with one entry marked (-1: none).
    virtual void drawSelectionOverlay(int) {}
    // The layer's row in the layer list shows the layer anew.
    virtual void RefreshLayerRow(int) {}
    // Image `index` of the map window's bitmap list; null when none.
    virtual QIcon bitmapIcon(int) const { return {}; }
    // Opens one of the map window's shared style popups ("PMenuSize",
    // "PMenuWidth", "PMenuScale", "pMenuPenMode") at a screen point for a
    // style target ("Layer", "LayerTextScale", "LayerScaleMin" ...); the
    // choice reaches the target's dialog (DialogSeams::styleDialog).
    virtual void openStylePopup(const QString &, const QString &, const QPoint &) {}
    // Steps a rotation for a style target (1 up, 2 down).
    virtual void stepTextRotation(const QString &, int, double) {}
    // The style libraries and their renderers the map is drawn with; null
    // without a map window.
    virtual mapengine::StyleServices *styleServices() { return nullptr; }
};

inline MapWindowHost &mapWindow()
{
    return platform::Service<MapWindowHost>::get();
}

} // namespace dialogs
