#include "app/LayerListRows.h"

#include <QIcon>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>
#include <cmath>

namespace app {

namespace {
constexpr int ImageRole = Qt::UserRole + 1;
}

int rowImage(const QTreeWidgetItem *row, int column)
{
    if (!row)
        return -1;
    const QVariant v = row->data(column, ImageRole);
    return v.isValid() ? v.toInt() : -1;
}

void setRowImage(QTreeWidgetItem *row, int column, int image, const QIcon &picture)
{
    row->setData(column, ImageRole, image);
    row->setIcon(column, picture);
}

int rowLayer(const QTreeWidgetItem *row)
{
    return rowImage(row, lcIndex);
}

void setRowLayer(QTreeWidgetItem *row, int layer)
{
    row->setData(lcIndex, ImageRole, layer);
}

int findLayerRow(const QTreeWidget *list, int layer)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (rowLayer(list->topLevelItem(i)) == layer)
            return i;
    return -1;
}

int clickedSwitchColumn(int x)
{
    if (x >= 228)
        return lcEdited;
    if (x >= 203)
        return lcSnap;
    if (x >= 181)
        return lcVisible;
    return -1;
}

int toggledSwitchImage(int image)
{
    switch (image) {
    case imgVisibleOn: return imgVisibleOff;
    case imgVisibleOff: return imgVisibleOn;
    case imgSnapOn: return imgSnapOff;
    case imgSnapOff: return imgSnapOn;
    case imgEditedOn: return imgEditedOff;
    case imgEditedOff: return imgEditedOn;
    default: return image;
    }
}

QSize layersPanelSize(int rows, int rowHeight, int rowWidth, int screenHeight, int panelTop)
{
    int width = rowWidth + 6;
    if (rows < 6)
        return {width, 5 * rowHeight + 2};
    int height = rows * rowHeight + 2;
    if (rowHeight > 0 && screenHeight - rowHeight < panelTop + height) {
        const int fit = static_cast<int>(std::trunc(double(screenHeight - panelTop) / rowHeight));
        // Near the screen's bottom the rule would leave no row (or a negative
        // height): one row stays, the others scroll.
        height = std::max(fit - 5, 1) * rowHeight + 2;
        width = rowWidth + 22;
    }
    return {width, height};
}

} // namespace app
