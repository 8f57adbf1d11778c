// Overlays of the selection (the selected objects as dragged, vertex marks,
// rubber rectangle and panned picture, labels being moved) and the drag
// transform that writes a resize, move or rotation to the objects.

#include "mapengine/MapControlCore.h"

void MapControlCore::DrawSelectionOverlay(int, int, int, int) {}
void MapControlCore::DrawVertexMarks() {}
void MapControlCore::DrawRubberRectangle(int, int, int) {}
void MapControlCore::DrawMovingLabels(int, int, Qt::KeyboardModifiers, bool) {}
void MapControlCore::DragTransformSelection(int, int, int) {}
