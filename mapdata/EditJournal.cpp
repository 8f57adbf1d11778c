#include "mapdata/MapDataCore.h"

#include "platform/Paths.h"

QString MapDataCore::JournalShxName() const { return platform::joinPath(FWorkDir, u"updates.mhx"); }
bool MapDataCore::JournalObject(int, int, std::int32_t &, std::int32_t &, std::int32_t, std::int32_t) { return false; }
void MapDataCore::UndoEdit() {}
void MapDataCore::RedoEdit() {}
bool MapDataCore::DropLayerJournal(int) { return false; }
