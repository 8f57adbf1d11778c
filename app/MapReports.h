#pragma once
// What the report functions reach of the map window (DrawMap, DrawGreed):
// the map window of the run, while there is one.

#include "mapreports/MapReportFunctions.h"

namespace app {

reports::MapPictureServices &mapWindowPictures();

} // namespace app
