// Live measuring painters (the figure being digitized, the ruler) and the
// image of a vertex being dragged, with segment captions.

#include "mapengine/MapControlCore.h"

void MapControlCore::DrawMeasureSegment(QString &text) { text.clear(); }
void MapControlCore::DrawDrawingMeasures(QString &text) { text.clear(); }
void MapControlCore::DrawRulerMeasures(QString &text) { text.clear(); }
void MapControlCore::DrawSnapIndicator(double, double, Qt::KeyboardModifiers, QString &text) { text.clear(); }
