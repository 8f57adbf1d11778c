// The layer list, the active-layer row and the layer commands.

#include "app/FTolvane.h"

void TTolvane::RebuildLayerList(bool) {}
void TTolvane::FillLayerRow(int, int) {}
void TTolvane::RefreshLayerRow(int) {}
void TTolvane::ShowActiveLayerRow(int) {}
void TTolvane::DragLayerRow(int, int) {}
void TTolvane::SizeLayersPanel() {}

bool TTolvane::LayersPanelHitTest(const QPoint &)
{
    return false;
}

void TTolvane::UpdateToolButtons() {}
void TTolvane::SaveEditedLayers() {}
void TTolvane::ListLayersClick() {}
void TTolvane::ListLayersDblClick() {}

bool TTolvane::ListLayersDragOver(QObject *, const QPoint &)
{
    return false;
}

void TTolvane::ListLayersDragDrop(QObject *, const QPoint &) {}
void TTolvane::ListLayersMouseMove(const QPoint &) {}
void TTolvane::ListLayersMouseDown() {}
void TTolvane::LVLayerClick() {}
void TTolvane::LVLayerDblClick() {}
void TTolvane::LVLayerMouseMove(const QPoint &) {}
void TTolvane::PMenuLayersPopup() {}
void TTolvane::N111Click() {}
void TTolvane::aOpenLayerExecute() {}
void TTolvane::aCloseLayerExecute() {}
void TTolvane::aSaveLayerExecute() {}
void TTolvane::mLayerSaveAllClick() {}
void TTolvane::nLayerSaveAsClick() {}
void TTolvane::TbViewLayersClick() {}
