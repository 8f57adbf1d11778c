// The layer list, the active-layer row and the layer commands.

#include "app/FTolvane.h"

#include "app/LayerListRows.h"
#include "mapdata/BinaryFile.h"
#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/gdi/Canvas.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QLayout>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

using namespace app;

namespace {

bool hasChanges(const TMapLayer &L)
{
    return L.ObjectsAppended || L.ObjectsModified || L.ObjectsDeleted;
}

// The row of LVLayer, made when it has none: a blank caption, image 23 and
// the four sub-items.
QTreeWidgetItem *shownRow(TTolvane &w)
{
    if (w.LVLayer->topLevelItemCount() == 0) {
        auto *row = new QTreeWidgetItem(w.LVLayer);
        row->setText(lcName, QStringLiteral(" "));
        setRowImage(row, lcName, imgLayerRow, w.MapImageList(imgLayerRow));
        for (int c = lcVisible; c <= lcEdited; ++c)
            setRowImage(row, c, -1, QIcon());
        setRowLayer(row, -1);
    }
    return w.LVLayer->topLevelItem(0);
}

// The caption and the four sub-item images of a row onto another.
void copyRow(TTolvane &w, const QTreeWidgetItem *from, QTreeWidgetItem *to)
{
    to->setText(lcName, from->text(lcName));
    for (int c = lcVisible; c <= lcEdited; ++c)
        setRowImage(to, c, rowImage(from, c), w.MapImageList(rowImage(from, c)));
    setRowLayer(to, rowLayer(from));
}

void toggleSwitch(TTolvane &w, QTreeWidgetItem *row, int column)
{
    const int image = toggledSwitchImage(rowImage(row, column));
    setRowImage(row, column, image, w.MapImageList(image));
}

// The layer's switches from the images of its row.
void applySwitches(TMapProject &project, const QTreeWidgetItem *row)
{
    const int layer = rowLayer(row);
    if (layer < 0 || static_cast<size_t>(layer) >= project.Layers.size())
        return;
    TMapLayer &L = project.Layers[static_cast<size_t>(layer)];
    L.Visible = rowImage(row, lcVisible) == imgVisibleOn;
    L.Snap = rowImage(row, lcSnap) == imgSnapOn;
    L.Edited = rowImage(row, lcEdited) == imgEditedOn;
}

qint64 steadyMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

// Whether a release comes within the double-click time of a double click:
// it ends that double click and is no click of its own.
bool endsDoubleClick(qint64 &dblClickAt)
{
    if (dblClickAt < 0)
        return false;
    const bool ends = steadyMs() - dblClickAt <= QApplication::doubleClickInterval();
    dblClickAt = -1;
    return ends;
}

QRect screenRect(const QWidget *w)
{
    // Borders included: the right and bottom edges count as inside.
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size() + QSize(1, 1));
}

} // namespace

int TTolvane::ListLayerIndex(int row) const
{
    return rowLayer(ListLayers->topLevelItem(row));
}

int TTolvane::ShownLayerIndex() const
{
    return LVLayer->topLevelItemCount() > 0 ? rowLayer(LVLayer->topLevelItem(0)) : -1;
}

bool TTolvane::ValidLayer(int layer) const
{
    return layer >= 0 && static_cast<size_t>(layer) < MapImage->Project().Layers.size();
}

// ---------------------------------------------------------------------------
// Rows

void TTolvane::RebuildLayerList(bool full)
{
    if (full)
        ListLayers->clear();
    const std::vector<TMapLayer> &layers = MapImage->Project().Layers;
    for (int i = 0; i < static_cast<int>(layers.size()); ++i) {
        if (layers[static_cast<size_t>(i)].Closed)
            continue;
        if (!full && findLayerRow(ListLayers, i) >= 0)
            continue;
        new QTreeWidgetItem(ListLayers);
        FillLayerRow(ListLayers->topLevelItemCount() - 1, i);
    }
    SizeLayersPanel();
    UpdateToolButtons();
}

void TTolvane::FillLayerRow(int row, int layer)
{
    QTreeWidgetItem *item = ListLayers->topLevelItem(row);
    if (!item || !ValidLayer(layer))
        return;
    const TMapLayer &L = MapImage->Project().Layers[static_cast<size_t>(layer)];
    // Rows are as high as the active-layer row: the panel is sized by it.
    item->setSizeHint(lcName, QSize(item->sizeHint(lcName).width(), LVLayer->height()));
    item->setText(lcName, L.Name);
    setRowImage(item, lcName, imgLayerRow, MapImageList(imgLayerRow));
    const int images[3] = {L.Visible ? imgVisibleOn : imgVisibleOff, L.Snap ? imgSnapOn : imgSnapOff,
                           L.Edited ? imgEditedOn : imgEditedOff};
    for (int c = lcVisible; c <= lcEdited; ++c)
        setRowImage(item, c, images[c - lcVisible], MapImageList(images[c - lcVisible]));
    setRowLayer(item, layer);
    if (layer == ShownLayerIndex())
        copyRow(*this, item, LVLayer->topLevelItem(0));
}

void TTolvane::RefreshLayerRow(int layer)
{
    const int row = findLayerRow(ListLayers, layer);
    if (row >= 0)
        FillLayerRow(row, layer);
}

void TTolvane::ShowActiveLayerRow(int n)
{
    // n is a layer's table index, looked up among the rows: a row number
    // would show another layer than the active one after rows were moved
    // or closed.
    const int row = findLayerRow(ListLayers, n);
    if (row < 0) {
        LVLayer->clear();
        return;
    }
    copyRow(*this, ListLayers->topLevelItem(row), shownRow(*this));
}

void TTolvane::DragLayerRow(int target, int source)
{
    const int count = ListLayers->topLevelItemCount();
    if (target < 0 || source < 0 || target >= count || source >= count || target == source)
        return;
    // The rows between move by one; the layer table keeps its order.
    QTreeWidgetItem *row = ListLayers->takeTopLevelItem(source);
    ListLayers->insertTopLevelItem(target, row);
    ListLayers->setCurrentItem(row);
}

// ---------------------------------------------------------------------------
// The drop-down panel

void TTolvane::SizeLayersPanel()
{
    const int rows = ListLayers->topLevelItemCount();
    const int rowHeight = LVLayer->height();
    const int screenHeight = platform::gdi::screenMetrics().vertRes;
    const int panelTop = MapLayersPanel->mapToGlobal(QPoint(0, 0)).y();
    QSize size = layersPanelSize(rows, rowHeight, LVLayer->width(), screenHeight, panelTop);
    // The rule counts 2 pixels of border; the panel's frame and margins may
    // take more, and the rows must still fit.
    const QMargins m = MapLayersPanel->contentsMargins() + (MapLayersPanel->layout()
                                                                ? MapLayersPanel->layout()->contentsMargins()
                                                                : QMargins());
    size.rheight() += std::max(0, m.top() + m.bottom() - 2);
    MapLayersPanel->resize(size);
    // The list holds every row; the scroll box shows what the panel fits.
    ListLayers->setMinimumHeight(rows * rowHeight);
}

bool TTolvane::LayersPanelHitTest(const QPoint &globalPos)
{
    if (!IsActiveForm())
        return false;
    const bool panelVisible = MapLayersPanel->isVisible();
    QList<QWidget *> candidates;
    for (QTreeWidget *list : findChildren<QTreeWidget *>())
        candidates << list;
    candidates << MapLayersPanel << ToolBarMain;
    for (const QWidget *w : candidates) {
        if (!w->parentWidget())
            continue;
        if (w != LVLayer && !panelVisible)
            continue;
        if (screenRect(w).contains(globalPos))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Enabling

void TTolvane::UpdateToolButtons()
{
    const TMapProject &project = MapImage->Project();
    const bool layers = !project.Layers.empty();
    tbSaveProject->setEnabled(layers);
    tbLayerOpen->setEnabled(true);
    tbLayerClose->setEnabled(layers);
    TbLen->setEnabled(true);
    for (QToolButton *b : {tbInfo, tbLabel, PBPick, pbSelect, pbDraw, pbEdit, pbCosmetic})
        b->setEnabled(layers);
    if (ValidLayer(project.ActiveLayer)) {
        const TMapLayer &L = project.Layers[static_cast<size_t>(project.ActiveLayer)];
        pbCosmetic->setEnabled(L.MapType == mtTextLayer);
        tbOpenImage->setEnabled(L.ObjType == otImages);
        tbSaveLayer->setEnabled(hasChanges(L));
    }
    for (QToolButton *b : {tbProLayer, tbProData, tbProView})
        b->setEnabled(tbLayerClose->isEnabled());
}

void TTolvane::PMenuLayersPopup()
{
    nProLegend->setEnabled(false);
    nListImage->setEnabled(false);
    nOpenImage->setEnabled(false);
    const int layer = ShownLayerIndex();
    if (!MapImage->Project().Layers.empty() && ValidLayer(layer)) {
        const TMapLayer &L = MapImage->Project().Layers[static_cast<size_t>(layer)];
        nProLegend->setEnabled(L.MapType != 0);
        nListImage->setEnabled(L.ObjType == otImages);
        nOpenImage->setEnabled(L.ObjType == otImages);
    }
}

void TTolvane::N111Click()
{
    const TMapProject &project = MapImage->Project();
    nPropertiesLayer->setEnabled(!project.Layers.empty());
    const bool active = ValidLayer(project.ActiveLayer);
    const TMapLayer *L = active ? &project.Layers[static_cast<size_t>(project.ActiveLayer)] : nullptr;
    mListImage->setEnabled(L && L->ObjType == otImages);
    mImport->setEnabled(L && L->ObjType == otPolygons);
}

// ---------------------------------------------------------------------------
// Mouse

void TTolvane::ListLayersMouseMove(const QPoint &pos)
{
    FListLayersMouse = pos;
}

void TTolvane::LVLayerMouseMove(const QPoint &pos)
{
    FLVLayerMouse = pos;
}

void TTolvane::ListLayersMouseDown() {}

void TTolvane::ListLayersClick()
{
    if (endsDoubleClick(FDblClickAt))
        return;
    const QPoint pos = FListLayersMouse;
    QTreeWidgetItem *row = ListLayers->itemAt(QPoint(10, pos.y()));
    if (!row)
        return;
    ListLayers->setCurrentItem(row);
    const int column = clickedSwitchColumn(pos.x());
    if (column >= 0)
        toggleSwitch(*this, row, column);
    if (pos.x() < 180 || rowLayer(row) == ShownLayerIndex()) {
        copyRow(*this, row, shownRow(*this));
        MapImage->Project().ActiveLayer = rowLayer(row);
        UpdateToolButtons();
    }
    applySwitches(MapImage->Project(), row);
    if (column == lcVisible)
        RedrawMap();
}

void TTolvane::LVLayerClick()
{
    if (endsDoubleClick(FDblClickAt))
        return;
    const QPoint pos = FLVLayerMouse;
    QTreeWidgetItem *row = LVLayer->itemAt(QPoint(10, pos.y()));
    if (!row)
        return;
    LVLayer->setCurrentItem(row);
    const int column = clickedSwitchColumn(pos.x());
    if (column >= 0)
        toggleSwitch(*this, row, column);
    const int listRow = findLayerRow(ListLayers, rowLayer(row));
    if (listRow < 0)
        return;
    QTreeWidgetItem *item = ListLayers->topLevelItem(listRow);
    for (int c = lcVisible; c <= lcEdited; ++c)
        setRowImage(item, c, rowImage(row, c), MapImageList(rowImage(row, c)));
    if (pos.x() < 180)
        UpdateToolButtons();
    applySwitches(MapImage->Project(), row);
    if (column == lcVisible)
        RedrawMap();
}

void TTolvane::ListLayersDblClick()
{
    FDblClickAt = steadyMs();
    const QPoint pos = FListLayersMouse;
    QTreeWidgetItem *row = ListLayers->itemAt(QPoint(10, pos.y()));
    if (row) {
        ListLayers->setCurrentItem(row);
        if (pos.x() < 180 || rowLayer(row) == ShownLayerIndex())
            copyRow(*this, row, shownRow(*this));
    }
    if (!ListLayers->currentItem())
        return;
    if (pos.x() < 20)
        aProViewExecute();
    else
        aProLayerExecute();
}

void TTolvane::LVLayerDblClick()
{
    FDblClickAt = steadyMs();
    if (!ValidLayer(ShownLayerIndex()))
        return;
    if (FLVLayerMouse.x() < 20)
        aProViewExecute();
    else
        aProLayerExecute();
}

bool TTolvane::ListLayersDragOver(QObject *source, const QPoint &)
{
    return qobject_cast<QTreeWidget *>(source) != nullptr;
}

void TTolvane::ListLayersDragDrop(QObject *source, const QPoint &pos)
{
    if (!qobject_cast<QTreeWidget *>(source))
        return;
    QTreeWidgetItem *target = ListLayers->itemAt(pos);
    if (!target)
        return;
    const QList<QTreeWidgetItem *> selected = ListLayers->selectedItems();
    const int s = selected.isEmpty() ? -1 : ListLayers->indexOfTopLevelItem(selected.first());
    const int t = ListLayers->indexOfTopLevelItem(target);
    ListLayers->setCurrentItem(target);
    if (s < 0)
        return;
    DragLayerRow(t, s);
    // The active layer keeps its row in LVLayer, wherever it moved.
    ShowActiveLayerRow(MapImage->Project().ActiveLayer);
    RedrawMap();
}

// ---------------------------------------------------------------------------
// Saving

bool TTolvane::SaveEditedLayers()
{
    TMapVyk &map = *MapImage;
    bool all = true;
    for (int row = 0; row < ListLayers->topLevelItemCount(); ++row) {
        const int layer = ListLayerIndex(row);
        if (!ValidLayer(layer) || !hasChanges(map.Project().Layers[static_cast<size_t>(layer)]))
            continue;
        if (!map.SaveLayer(layer))
            all = false;
    }
    // A layer that could not be saved keeps its changes in the journal.
    if (!all)
        return false;
    map.SetJournalPos(0);
    map.SetJournalCount(0);
    for (const QString &name : {map.JournalShpName(), map.JournalShxName()}) {
        const QString found = platform::findExistingPath(name);
        if (!found.isEmpty() && QFileInfo(found).isFile() && !mapdata::isReadOnlyFile(found))
            mapdata::deleteFileIfExists(found);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Commands

void TTolvane::aOpenLayerExecute()
{
    if (!OpenLayerDialog())
        return;
    RebuildLayerList(false);
    if (!MapImage->Project().Layers.empty())
        ShowActiveLayerRow(MapImage->Project().ActiveLayer);
    MapImage->ClearSelection();
    TbSelectObjectClick();
}

void TTolvane::aCloseLayerExecute()
{
    TMapVyk &map = *MapImage;
    const int layer = ShownLayerIndex();
    if (!ValidLayer(layer))
        return;
    TMapLayer &L = map.Project().Layers[static_cast<size_t>(layer)];
    if (platform::messageDlg(QStringLiteral("Закрыть слой ") + L.Name + QStringLiteral(" ?"),
                             platform::MsgType::Confirmation, platform::mbOKCancel) != platform::mrOk)
        return;
    CloseAttributeQueries();
    L.Closed = true;
    map.ReleaseLayerFiles(layer);
    // The closed layer's own row goes, whichever row has the focus.
    if (const int row = findLayerRow(ListLayers, layer); row >= 0)
        delete ListLayers->takeTopLevelItem(row);
    // Its objects leave the selection.
    std::vector<TSelObject> &entries = map.Selection().Entries;
    if (std::any_of(entries.begin(), entries.end(), [&](const TSelObject &e) { return e.Layer == layer; }))
        map.ClearSelection();
    if (ListLayers->topLevelItemCount() == 0) {
        LVLayer->clear();
        map.Project().ActiveLayer = 0;
    } else {
        QTreeWidgetItem *current = ListLayers->currentItem();
        if (!current) {
            current = ListLayers->topLevelItem(0);
            ListLayers->setCurrentItem(current);
        }
        copyRow(*this, current, shownRow(*this));
        map.Project().ActiveLayer = rowLayer(current);
    }
    RebuildLayerList(false);
    RedrawMap();
}

void TTolvane::aSaveLayerExecute()
{
    const int layer = ShownLayerIndex();
    if (ValidLayer(layer) && hasChanges(MapImage->Project().Layers[static_cast<size_t>(layer)])) {
        CloseAttributeQueries();
        MapImage->SaveLayer(layer);
        UpdateToolButtons();
    }
    RedrawMap();
}

void TTolvane::mLayerSaveAllClick()
{
    SaveEditedLayers();
    UpdateToolButtons();
    RedrawMap();
}

void TTolvane::nLayerSaveAsClick()
{
    TMapVyk &map = *MapImage;
    platform::FileDialogRequest request = SaveDialog;
    request.kind = platform::FileDialogRequest::Save;
    request.defaultExt = QStringLiteral("shp");
    request.filter = QStringLiteral("Все форматы (*.shp)|*.shp|Слой ArcView (*.shp)|*.shp");
    const platform::FileDialogAnswer answer = platform::answers().fileDialog(request);
    const int layer = map.Project().ActiveLayer;
    if (!answer.accepted || answer.files.isEmpty() || !ValidLayer(layer))
        return;
    const QString name = MapFunctions::RelativeFileName(answer.files.first(), map.WorkDir());
    if (platform::ansiUpperCase(name).right(3) != u"SHP")
        return;
    TMapLayer &L = map.Project().Layers[static_cast<size_t>(layer)];
    QString from[3], to[3];
    map.GetLayerFileNames(L.FileName, QString(), from[0], from[1], from[2]);
    map.GetLayerFileNames(name, QString(), to[0], to[1], to[2]);
    const QString fromShp = platform::findExistingPath(from[0]);
    if (fromShp.isEmpty())
        return;
    const QString toShp = platform::findExistingPath(to[0]);
    if (!toShp.isEmpty() && QFileInfo(toShp).canonicalFilePath() == QFileInfo(fromShp).canonicalFilePath())
        return; // the layer's own files
    for (int k = 0; k < 3; ++k) {
        const QString f = platform::findExistingPath(from[k]);
        if (f.isEmpty())
            continue;
        const QString target = platform::resolvePath(to[k]);
        if (!mapdata::copyFileOverwrite(f, target)) {
            platform::showMessage(QStringLiteral("Невозможно скопировать файл ") + f + QStringLiteral(" в ") + target +
                                  QStringLiteral(" !"));
            return;
        }
    }
    // The layer now lives in the copies, unsaved changes included. The old
    // files go back to their last saved state, and the copies get snapshots
    // of their own, so that closing without saving restores each file from
    // its own snapshot.
    map.RestoreLayerBackup(layer, false);
    L.FileName = name;
    map.BackupLayer(layer, true);
}

void TTolvane::TbViewLayersClick()
{
    MapImage->ZoomAll();
    ShowStatusText(0, 0);
    RedrawMap();
}
