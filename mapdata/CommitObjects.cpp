#include "mapdata/MapDataCore.h"

bool MapDataCore::CommitNewObject(int, bool, bool) { return false; }
bool MapDataCore::FindKindTemplate(int, Byte) { return false; }
bool MapDataCore::ScreenFontInstalled(const QString &) const { return true; }
