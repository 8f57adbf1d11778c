// View navigation: zoom steps, extents, the scale menus, the wheel, the
// status bar's scale and cursor texts, and the display switches.

#include "app/FTolvane.h"

void TTolvane::ZoomStep(int, bool, double) {}
void TTolvane::ZoomToExtent(double, double, double, double) {}
void TTolvane::ZoomToWindow(int, const QPoint &, const QPoint &) {}
void TTolvane::ZoomToObjects(int, bool, bool, bool, bool, int) {}
void TTolvane::CentreAndRedraw(double, double) {}

TMapExtent TTolvane::LocateObject(int, int, bool)
{
    return {};
}

void TTolvane::ShowStatusText(double, double) {}
void TTolvane::tbZoomOutClick() {}
void TTolvane::tbZoomInClick() {}
void TTolvane::aZoomOutExecute() {}
void TTolvane::aZoomInExecute() {}
void TTolvane::TBZoomClick() {}
void TTolvane::TBMoveClick() {}
void TTolvane::TbViewObjectsClick() {}
void TTolvane::TbSelectObjectClick() {}
void TTolvane::nViewObjectsClick() {}
void TTolvane::tbPriorZoomClick() {}
void TTolvane::tbNextZoomClick() {}
void TTolvane::EditScaleKeyUp(int) {}
void TTolvane::SBScale1MouseUp() {}
void TTolvane::NM1Click(QAction *) {}
void TTolvane::FormMouseWheel(int, bool) {}
void TTolvane::nShowGreedClick() {}
void TTolvane::nShowCenterClick() {}
void TTolvane::nClickPointClick() {}
void TTolvane::nSnapPointClick() {}
void TTolvane::nSnapLineClick() {}
void TTolvane::N36Click() {}
void TTolvane::N96Click() {}
void TTolvane::N35Click() {}
void TTolvane::N57Click() {}
void TTolvane::N121Click() {}
