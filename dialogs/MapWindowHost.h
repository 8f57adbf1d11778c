#pragma once
// What the search window, the attribute panel and the table editor need of
// the map window, which lies above them: its map control, its layer rows,
// locating and showing objects, the status text and the information tool;
// and the style popups the layer and label dialogs open.
// The map window installs itself (platform::Service); without one there is
// no map and the windows find nothing.

#include "mapengine/MapControlCore.h"
#include "platform/Service.h"

#include <QIcon>

#include <vector>

class QWidget;

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

    // The map window's shared style popups, opened under a dialog's control
    // with the style target set ("Layer", "LayerScaleMin", "Label",
    // "NewLabelTextScale" ...); the choice reaches the target's
    // dialogs::StyleDialog (DialogSeams::styleDialog).
    enum class StylePopup { Size, Scale, Width, PenMode, Fill };
    virtual void popupStyleMenu(StylePopup, const QString &, const QWidget *) {}
    // Steps a rotation for the style target (1: 45 degrees up, 2: down) and
    // hands the result to the target's SetFontRotate.
    virtual void stepTextRotation(const QString &, int, double) {}
};

inline MapWindowHost &mapWindow()
{
    return platform::Service<MapWindowHost>::get();
}

} // namespace dialogs
