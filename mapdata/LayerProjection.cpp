#include "mapdata/MapDataCore.h"

bool MapDataCore::InitLayerProjection(int /*layer*/)
{
    return false;
}
