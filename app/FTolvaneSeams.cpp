// Commands of the map window whose subsystems are not in the program yet: the
// object, analysis and style commands,
// raster images, GPS tracking, reports and the picture export. Each is a
// named, empty entry point that its subsystem fills; until then the command
// does nothing.

#include "app/FTolvane.h"


// ---- object commands ----
void TTolvane::mObjectDeleteClick() {}
void TTolvane::menuEditClick() {}
void TTolvane::nObjectCopyClick() {}
void TTolvane::aRevaseExecute() {}
void TTolvane::aSplitExecute() {}
void TTolvane::aUnSplitExecute() {}
void TTolvane::aCopyObjectsExecute() {}
void TTolvane::aPasteObjectsExecute() {}
void TTolvane::tbUndoClick() {}
void TTolvane::tbRedoClick() {}
void TTolvane::nEditInfoClick() {}
void TTolvane::aEditInfoExecute() {}
void TTolvane::nObjectNewClick() {}
void TTolvane::nObjectEditClick() {}
void TTolvane::nVYKEditClick() {}
void TTolvane::NDelPointClick() {}
void TTolvane::pbDrawClick() {}
void TTolvane::mLayerRecalcClick() {}
void TTolvane::aProLayerExecute() {}
void TTolvane::aProDataExecute() {}
void TTolvane::aProViewExecute() {}
void TTolvane::nSelectObjectClick() {}
void TTolvane::pnViewObjectsClick() {}
void TTolvane::pnSelectObjectClick() {}
void TTolvane::pnEditObjectsClick() {}
void TTolvane::N65Click() {}
void TTolvane::N119Click() {}
void TTolvane::aVykViewExecute() {}
void TTolvane::nVYKSelectClick() {}
void TTolvane::nVYKMarkClick() {}
void TTolvane::nVYKUnMarkClick() {}
void TTolvane::nVYKOkClick() {}
void TTolvane::nVYKUnOkClick() {}
void TTolvane::aPriorObjectExecute() {}
void TTolvane::aNextObjectExecute() {}
void TTolvane::nShowAllClick() {}
void TTolvane::nShowMarkClick() {}
void TTolvane::nShowFilterClick() {}
void TTolvane::nShowActiveClick() {}
void TTolvane::pMenuPickPopup() {}

// ---- analysis and labelling ----
void TTolvane::mShiftClick() {}
void TTolvane::mTransformXYClick() {}
void TTolvane::mTransformKeyClick() {}
void TTolvane::mTransformSysClick() {}
void TTolvane::mTransformProClick() {}
void TTolvane::nViewPointClick() {}
void TTolvane::nAppendLabelClick() {}
void TTolvane::nVYKNumberClick() {}
void TTolvane::nAutoNumClick() {}
void TTolvane::nVYKAutoLabelClick() {}
void TTolvane::aBufferForPolyExecute() {}
void TTolvane::aBufferForLineExecute() {}
void TTolvane::aBufferForPointExecute() {}
void TTolvane::aSaveSelectedExecute() {}
void TTolvane::nSatisticClick() {}

// ---- style tool bars ----
void TTolvane::nDrawPointClick(QAction *) {}
void TTolvane::pbCosmeticClick() {}
void TTolvane::nPointInsClick() {}
void TTolvane::nPointDelClick() {}
void TTolvane::MenuItem18Click(QAction *) {}
void TTolvane::MenuItem33Click(QAction *) {}
void TTolvane::NF1Click(QAction *) {}
void TTolvane::NSelectZoomClick(QAction *) {}
void TTolvane::NSelectWidth(QAction *) {}
void TTolvane::nPenMode4Click(QAction *) {}
void TTolvane::NStylePlanClick(QAction *) {}
void TTolvane::SetFontSize(int) {}
void TTolvane::SetTextScale(int) {}
void TTolvane::SetTextRotation(int, double) {}
void TTolvane::SetTextBackground(bool) {}
void TTolvane::SetLayerPenWidth(double) {}
void TTolvane::SetLayerPenMode(int) {}
void TTolvane::SetFillStyle(int) {}
void TTolvane::ShowStylePanel() {}

// ---- raster images ----
void TTolvane::tbOpenImageClick() {}
void TTolvane::aListImageExecute() {}

// ---- reports and the picture export ----
void TTolvane::N130Click() {}
void TTolvane::N131Click() {}
void TTolvane::N134Click() {}
void TTolvane::N33Click() {}
void TTolvane::N135Click() {}
void TTolvane::N52Click() {}
void TTolvane::N124Click() {}
void TTolvane::N95Click() {}
void TTolvane::N54Click() {}
