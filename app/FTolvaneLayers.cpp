// Layer creation from the templates and opening of layer files.

#include "app/FTolvane.h"

bool TTolvane::OpenLayer(const QString &, int, bool)
{
    return false;
}

bool TTolvane::CreateLayerFromTemplate(int)
{
    return false;
}

void TTolvane::CreateStandardLayer(int, int, bool) {}

bool TTolvane::OpenLayerDialog()
{
    return false;
}

void TTolvane::CloseAttributeQueries() {}
void TTolvane::mImportClick() {}
void TTolvane::nNewLayerPointClick() {}
void TTolvane::nNewLayerPolylineClick() {}
void TTolvane::nNewLayerPoligonClick() {}
void TTolvane::In41Click() {}
void TTolvane::nNewLayerImageClick() {}
void TTolvane::N84Click() {}
void TTolvane::N18Click() {}
void TTolvane::mCreateLayerNavClick() {}
void TTolvane::nNewLayerBlockClick() {}
void TTolvane::nNewLayerLandClick() {}
void TTolvane::nNewLayerPlanClick() {}
void TTolvane::nNewLayerAgroClick() {}
void TTolvane::nNewLayerServClick() {}
void TTolvane::nNewLayerLimClick() {}
void TTolvane::nNewLayerLeaseClick() {}
void TTolvane::nNewLayerEstimateClick() {}
void TTolvane::nNewLayerEstZoneClick() {}
void TTolvane::nNewLayerEstAgroClick() {}
void TTolvane::nNewLayerEstPointClick() {}
void TTolvane::nNewLayerEstLineClick() {}
void TTolvane::nNewLayerEstPolyClick() {}
void TTolvane::nNewLayerZoneClick() {}
void TTolvane::mCreateLayerIn4Click() {}
