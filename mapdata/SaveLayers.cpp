#include "mapdata/MapDataCore.h"

bool MapDataCore::SaveLayer(int) { return false; }
bool MapDataCore::SaveSelectionAsLayer(const QString &) { return false; }
void MapDataCore::RecoverLayerSave(const QString &) {}
