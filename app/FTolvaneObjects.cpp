// The object commands: delete, duplicate, reverse, merge and split, the
// clipboard, undo and redo, the information panel, the coordinate-list editor,
// removing digitized points, the layer recalculation, the layer, table and
// legend dialogs, positioning, and the cadastral commands that only reach the
// host hooks. Each checks its preconditions and does nothing (and says
// nothing) when they fail; the information panel alone explains itself.

#include "app/FTolvane.h"

#include "dialogs/DialogSeams.h"
#include "app/HostHooks.h"
#include "app/LayerListRows.h"
#include "mapdata/LayerFiles.h"
#include "platform/Paths.h"
#include "platform/UserAnswers.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include "platform/ui/FormClass.h"

namespace {

// Layer kinds of the standard cadastral layers the host product edits.
bool isHostEditedKind(Byte mapType)
{
    return mapType == 2 || mapType == 3 || mapType == 16;
}

// The layer of the first selection entry; null when there is no entry or
// its layer is not in the table.
const TMapLayer *firstSelectedLayer(const TMapVyk &map)
{
    if (map.Selection().Entries.empty())
        return nullptr;
    const int layer = map.Selection().Entries.front().Layer;
    if (layer < 0 || static_cast<size_t>(layer) >= map.Project().Layers.size())
        return nullptr;
    return &map.Project().Layers[static_cast<size_t>(layer)];
}

// How many selection entries lie in layers of the cadastral parcels (kind 2).
int parcelEntries(const TMapVyk &map)
{
    int n = 0;
    for (const TSelObject &e : map.Selection().Entries)
        if (e.Layer >= 0 && static_cast<size_t>(e.Layer) < map.Project().Layers.size() &&
            map.Project().Layers[static_cast<size_t>(e.Layer)].MapType == 2)
            ++n;
    return n;
}

// Ends a figure being digitized: no points, parts or values left.
void endFigure(TMapVyk &map)
{
    map.Drag().Drawing = false;
    map.NewObject().Drawing = false;
    map.NewObject().clearFigure();
}

} // namespace

bool TTolvane::CurrentLayerEditable() const
{
    return LVLayer->topLevelItemCount() > 0 &&
           app::rowImage(LVLayer->topLevelItem(0), app::lcEdited) == app::imgEditedOn;
}

// ---------------------------------------------------------------------------
// Editing the selected objects

void TTolvane::mObjectDeleteClick()
{
    TMapVyk &map = *MapImage;
    if (!PBPick->isChecked() || map.Selection().Entries.empty())
        return;
    CloseAttributeQueries();
    const TMapLayer *first = firstSelectedLayer(map);
    if (first && first->MapType == 2)
        DeleteCadastralSelection();
    else
        map.DeleteSelection();
    RedrawMap();
}

void TTolvane::menuEditClick()
{
    mObjectDelete->setEnabled(PBPick->isChecked() && !MapImage->Selection().Entries.empty());
}

void TTolvane::nObjectCopyClick()
{
    TMapVyk &map = *MapImage;
    if (!PBPick->isChecked() || map.Selection().Entries.empty() || !CurrentLayerEditable())
        return;
    CloseAttributeQueries();
    map.MoveSelection(0, 0);
    RedrawMap();
}

void TTolvane::aRevaseExecute()
{
    TMapVyk &map = *MapImage;
    if (!PBPick->isChecked() || map.Selection().Entries.empty() || !CurrentLayerEditable())
        return;
    map.ReverseSelection();
    RedrawMap();
}

void TTolvane::aSplitExecute()
{
    // "Объединение": the selected objects become one object of many parts
    // in the current layer.
    TMapVyk &map = *MapImage;
    const int layer = ShownLayerIndex();
    if (!PBPick->isChecked() || map.Selection().Entries.size() < 2 || !CurrentLayerEditable() || !ValidLayer(layer))
        return;
    map.CopyObjectsToClipboard();
    map.DeleteSelection();
    map.MergeObjects(layer);
    RedrawMap();
}

void TTolvane::aUnSplitExecute()
{
    // "Разъединение": every part of the selected objects becomes an object.
    TMapVyk &map = *MapImage;
    const int layer = ShownLayerIndex();
    if (!PBPick->isChecked() || map.Selection().Entries.empty() || !CurrentLayerEditable() || !ValidLayer(layer))
        return;
    map.CopyObjectsToClipboard();
    map.DeleteSelection();
    map.SplitObjects(layer);
    RedrawMap();
}

void TTolvane::aCopyObjectsExecute()
{
    if (PBPick->isChecked() && !MapImage->Selection().Entries.empty())
        MapImage->CopyObjectsToClipboard();
}

void TTolvane::aPasteObjectsExecute()
{
    const int layer = ShownLayerIndex();
    if (!PBPick->isChecked() || !CurrentLayerEditable() || !ValidLayer(layer))
        return;
    MapImage->PasteObjects(layer);
    RedrawMap();
}

void TTolvane::tbUndoClick()
{
    MapImage->UndoEdit();
    RedrawMap();
}

void TTolvane::tbRedoClick()
{
    MapImage->RedoEdit();
    RedrawMap();
}

// ---------------------------------------------------------------------------
// The information panel and the coordinate-list editor

void TTolvane::nEditInfoClick()
{
    const bool picking = PBPick->isChecked() || pbSelect->isChecked();
    if ((picking || PBZoom->isChecked()) && !MapImage->Selection().Entries.empty()) {
        dialogs::dialogSeams().ShowEditInfo();
        return;
    }
    platform::showMessage(picking ? QStringLiteral("Нет выбранных объектов")
                                  : QStringLiteral("Выберите режим выбора объектов"));
}

void TTolvane::aEditInfoExecute()
{
    if ((PBPick->isChecked() || pbSelect->isChecked()) && !MapImage->Selection().Entries.empty())
        dialogs::dialogSeams().ShowEditInfo();
}

void TTolvane::nObjectNewClick()
{
    dialogs::dialogSeams().ShowCoordinateList(QStringLiteral("New"));
}

void TTolvane::nObjectEditClick()
{
    dialogs::dialogSeams().ShowCoordinateList(QStringLiteral("Edit"));
}

void TTolvane::nVYKEditClick()
{
    const TMapLayer *first = firstSelectedLayer(*MapImage);
    if (MapImage->Selection().Entries.empty())
        return;
    if (first && isHostEditedKind(first->MapType))
        EditCadastralObject();
    else
        dialogs::dialogSeams().ShowCoordinateList(QStringLiteral("Edit"));
}

// ---------------------------------------------------------------------------
// Digitizing

void TTolvane::NDelPointClick()
{
    TMapVyk &map = *MapImage;
    const bool drawing = pbDraw->isChecked();
    if ((!drawing && !TbLen->isChecked()) || !map.Drag().Drawing)
        return;
    if (!map.NewObject().Points.empty())
        map.NewObject().Points.pop_back();
    // A part that starts after the last point is gone with it.
    auto &parts = map.NewObject().Parts;
    while (!parts.empty() && parts.back() > 0 &&
           static_cast<size_t>(parts.back()) >= map.NewObject().Points.size())
        parts.pop_back();
    if (!map.NewObject().Points.empty()) {
        QString text;
        if (drawing)
            map.DrawDrawingMeasures(text);
        else
            map.DrawRulerMeasures(text);
        const QList<QLabel *> panels = platform::statusPanels(MapStatusBar);
        if (panels.size() > 4)
            panels[4]->setText(text);
        return;
    }
    endFigure(map);
    NDelPoint->setEnabled(false);
    NDelPoint->setShortcut(QKeySequence());
    map.FitToParent();
}

void TTolvane::pbDrawClick()
{
    SetDrawKind(nDrawPolygon);
    endFigure(*MapImage);
}

// ---------------------------------------------------------------------------
// Layer commands

void TTolvane::mLayerRecalcClick()
{
    const int layer = ShownLayerIndex();
    if (!ValidLayer(layer))
        return;
    MapImage->RenumberLayerRows(layer);
    MapImage->RecalcLayer(layer);
}

void TTolvane::aProLayerExecute()
{
    const int layer = ShownLayerIndex();
    if (ValidLayer(layer))
        dialogs::dialogSeams().ShowLayerProperties(layer);
}

QString TTolvane::CurrentLayerTable() const
{
    const int layer = ShownLayerIndex();
    if (!ValidLayer(layer))
        return QString();
    const QString asNamed =
        mapdata::layerfiles::tableName(MapImage->Project().Layers[static_cast<size_t>(layer)].FileName);
    const QString inWork = platform::joinPath(MapImage->WorkDir(), asNamed);
    if (platform::fileExists(inWork))
        return platform::findExistingPath(inWork);
    if (platform::fileExists(asNamed))
        return platform::findExistingPath(asNamed);
    return QString();
}

void TTolvane::aProDataExecute()
{
    if (MapImage->Project().Layers.empty())
        return;
    const QString table = CurrentLayerTable();
    if (table.isEmpty())
        return;
    CloseAttributeQueries();
    dialogs::dialogSeams().ShowTableEditor(table);
}

void TTolvane::aProViewExecute()
{
    const int layer = ShownLayerIndex();
    if (ValidLayer(layer))
        dialogs::dialogSeams().ShowLegendEditor(layer);
}

// ---------------------------------------------------------------------------
// Positioning and viewing

void TTolvane::nSelectObjectClick()
{
    const int layer = ShownLayerIndex();
    if (ValidLayer(layer) && !MapImage->Selection().Entries.empty()) {
        const Byte mapType = MapImage->Project().Layers[static_cast<size_t>(layer)].MapType;
        ZoomToObjects(layer, mapType != 0 && mapType != mtShapeLayer && mapType != mtTextLayer, true, true, true, 0);
        return;
    }
    TbSelectObjectClick();
}

void TTolvane::pnViewObjectsClick()
{
    TbViewObjectsClick();
}

void TTolvane::pnSelectObjectClick()
{
    TbSelectObjectClick();
}

void TTolvane::pnEditObjectsClick() {}
void TTolvane::N65Click() {}
void TTolvane::N119Click() {}

void TTolvane::aVykViewExecute()
{
    ShowObjectView();
}

// ---------------------------------------------------------------------------
// Cadastral commands: they only reach the host hooks

void TTolvane::nVYKSelectClick()
{
    const TMapLayer *first = firstSelectedLayer(*MapImage);
    if (first && isHostEditedKind(first->MapType))
        SelectCadastralObject();
}

void TTolvane::nVYKMarkClick()
{
    if (MapImage->Selection().Entries.empty())
        return;
    int colour = 0;
    if (!platform::answers().chooseColor(colour))
        return;
    for (int i = parcelEntries(*MapImage); i > 0; --i)
        MarkCadastralObjects();
    RedrawMap();
}

void TTolvane::nVYKUnMarkClick()
{
    for (int i = parcelEntries(*MapImage); i > 0; --i)
        MarkCadastralObjects();
    RedrawMap();
}

void TTolvane::nVYKOkClick()
{
    for (int i = parcelEntries(*MapImage); i > 0; --i)
        TickCadastralObjects();
}

void TTolvane::nVYKUnOkClick()
{
    for (int i = parcelEntries(*MapImage); i > 0; --i)
        TickCadastralObjects();
}

void TTolvane::aPriorObjectExecute()
{
    PriorCadastralObject();
}

void TTolvane::aNextObjectExecute()
{
    NextCadastralObject();
}

// The three display filters form a radio group: the item clicked is ticked
// by the group.
void TTolvane::nShowAllClick()
{
    nShowAll->setChecked(true);
    FilterCadastralObjects(nShowFilter->isChecked());
    RedrawMap();
}

void TTolvane::nShowMarkClick()
{
    nShowMark->setChecked(true);
    FilterCadastralObjects(nShowFilter->isChecked());
    RedrawMap();
}

void TTolvane::nShowFilterClick()
{
    nShowFilter->setChecked(true);
    FilterCadastralObjects(nShowFilter->isChecked());
    RedrawMap();
}

void TTolvane::nShowActiveClick()
{
    // The item's tick toggles with the click.
    RedrawMap();
}

// ---------------------------------------------------------------------------
// The pick menu

void TTolvane::pMenuPickPopup()
{
    const TMapVyk &map = *MapImage;
    const bool selected = !map.Selection().Entries.empty();
    for (QAction *a : {nSelectObject, nStatistic, nVYKEdit, nVYKView, nObjectDelete})
        a->setEnabled(selected);

    const int active = map.Project().ActiveLayer;
    const TMapLayer *activeLayer =
        ValidLayer(active) ? &map.Project().Layers[static_cast<size_t>(active)] : nullptr;
    nAppendLabel->setEnabled(activeLayer && activeLayer->MapType == mtTextLayer);

    bool objects = activeLayer && PBPick->isChecked() && selected;
    if (objects)
        objects = activeLayer->MapType == mtTextLayer ||
                  (activeLayer->MapType == mtShapeLayer &&
                   (activeLayer->ObjType == otPolylines || activeLayer->ObjType == otPolygons));
    for (QAction *a : {nRevase, nBufferForPoint, nBufferForLine, nBufferForPoly, nSaveSelected})
        a->setEnabled(objects);

    const TMapLayer *first = firstSelectedLayer(map);
    const bool host = selected && first && isHostEditedKind(first->MapType);
    for (QAction *a : {nVYKSelect, nVYKNumber, nVYKAutoLabel, nVYKMark, nVYKOk, nVYKUnMark, nVYKUnOk})
        a->setEnabled(host);
}
