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
#include <span>
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

struct MetaRecord;

// One record as a canvas hands it on: the arguments of a call, borrowed from
// the caller or from a metafile's storage while the call lasts, so that a call
// or a played record costs no copy. The fields are those of MetaRecord; the
// objects that own memory are pointed at (absent ones read as empty).
struct RecordView {
    int type = 0;
    std::int64_t value = 0;
    QPoint point;
    Rect rect;
    Rect bounds;
    QRect source;
    std::uint32_t rop = SRCCOPY;
    bool nullRegion = false;
    Pen pen;
    Brush brush;
    std::span<const QPoint> points;
    std::span<const int> counts;
    const LogFont *fontData = nullptr;
    const QString *textData = nullptr;
    const QImage *imageData = nullptr;
    const QTransform *transformData = nullptr;
    const QRegion *regionData = nullptr;

    const LogFont &font() const;
    const QString &text() const;
    const QImage &image() const;
    const QTransform &transform() const;
    const QRegion &region() const;
};

// One record by value, for the code that keeps or compares records (the file
// readers, the call log of tests). Each kind has its own fields:
//   pen, brush, font records: pen / brush / font;
//   mode records (SetMapMode ... SetBkColor, SaveDC, RestoreDC): value;
//   origins, extents, MoveTo, LineTo: point;
//   SetWorldTransform: transform; ModifyWorldTransform: transform and value;
//   IntersectClipRect: rect; clip selection: value, region, nullRegion;
//   Polyline, Polygon: points, bounds; PolyPolygon: points, counts, bounds;
//   Ellipse, Rectangle: rect, bounds;
//   text: point, text, counts (advances), bounds;
//   block transfers: rect, image, source, rop, bounds.
// A metafile keeps these fields of each kind (and a record of an unknown kind
// whole); the bounds of a LineTo, which its file record does not have either,
// are not kept.
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

    MetaRecord() = default;
    // The record a view shows, copied out.
    MetaRecord(const RecordView &view);
    // A view of this record, valid while it lives unchanged.
    RecordView view() const;
    bool operator==(const MetaRecord &) const = default;
};

} // namespace platform::gdi
