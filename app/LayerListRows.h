#pragma once
// The rows of the map window's layer lists (ListLayers and the one-row
// LVLayer): the columns, the image numbers that carry the switches, the
// hidden column that links a row to its layer, and the rules of clicks and
// of the drop-down panel's size.
//
// A row: column 0 shows the layer's name with image 23; columns 1 to 3 show
// the switches visible (75 on, 76 off), selectable (77/78) and editable
// (79/80); column 4, of width 0, holds the layer's index in the layer table.
// Each cell keeps its image number as data, so the row can be read back as
// the list's design reads it ("the fourth image number" is the layer index).

#include <QSize>

class QIcon;
class QTreeWidget;
class QTreeWidgetItem;

namespace app {

enum LayerColumn : int {
    lcName = 0,
    lcVisible = 1,
    lcSnap = 2,
    lcEdited = 3,
    lcIndex = 4,
};

enum : int {
    imgLayerRow = 23,
    imgVisibleOn = 75,
    imgVisibleOff = 76,
    imgSnapOn = 77,
    imgSnapOff = 78,
    imgEditedOn = 79,
    imgEditedOff = 80,
};

// The image number of a cell; for the hidden column the layer index. -1 for
// a cell that has none (or no row).
int rowImage(const QTreeWidgetItem *row, int column);
// Sets a cell's image number and its picture.
void setRowImage(QTreeWidgetItem *row, int column, int image, const QIcon &picture);
// The layer of a row: its hidden index; -1 for no row.
int rowLayer(const QTreeWidgetItem *row);
void setRowLayer(QTreeWidgetItem *row, int layer);
// The position of the row whose hidden index is the layer; -1 when none.
int findLayerRow(const QTreeWidget *list, int layer);

// The switch a click at x toggles (x in the list's own pixels): 181 to 202
// the visible switch, 203 to 227 the selectable one, 228 and more the
// editable one; none below 181.
int clickedSwitchColumn(int x);
// The image that shows the other state of a switch column's image.
int toggledSwitchImage(int image);

// The size of the drop-down panel for `rows` rows of the layer row's height
// and width, its top at panelTop on a screen screenHeight high: at least 5
// rows; when it would reach below the screen, as many rows as fit, less 5,
// and room for the scroll bar.
QSize layersPanelSize(int rows, int rowHeight, int rowWidth, int screenHeight, int panelTop);

} // namespace app
