#pragma once
// One drawing call as a record. A canvas executes records, a metafile keeps
// them, and the file codecs turn them into enhanced or Windows metafile records.
// The record kinds carry the enhanced-metafile record numbers; a create record
// (pen, brush, font) stands for creating the object and selecting it.

#include "platform/gdi/GdiTypes.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <cstdint>
#include <vector>

namespace platform::gdi {

enum RecordType : int {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_EOF = 14,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_LINETO = 54,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYPOLYGON16 = 91,
};

struct MetaRecord {
    int type = 0;
    // Mode values (map mode, background mode, pen mode, alignment, colour,
    // SaveDC level, world-transform mode, clip mode) and coordinate pairs.
    std::int64_t value = 0;
    QPoint point;
    Rect rect;
    std::vector<QPoint> points;
    std::vector<int> counts;          // polygon sizes of a poly-polygon
    QString text;
    Pen pen;
    Brush brush;
    LogFont font;
    QImage image;                     // the source bits of a block transfer
    QRect source;                     // source rectangle in image pixels
    std::uint32_t rop = SRCCOPY;
    QTransform transform;
    QRegion region;                   // clip region in device units
    bool nullRegion = false;          // a clip selection that removes the clip
    Rect bounds;                      // device bounds of a text record
    bool operator==(const MetaRecord &) const = default;
};

} // namespace platform::gdi
