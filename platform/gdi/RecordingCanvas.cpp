#include "platform/gdi/RecordingCanvas.h"

namespace platform::gdi {

namespace {

QString pts(const std::vector<QPoint> &points)
{
    QStringList s;
    for (const QPoint &p : points)
        s << QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
    return s.join(QLatin1Char(' '));
}

QString rect(const Rect &r)
{
    return QStringLiteral("(%1,%2)-(%3,%4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

QString hex(std::int64_t v)
{
    return QStringLiteral("0x%1").arg(static_cast<qulonglong>(v), 6, 16, QLatin1Char('0'));
}

} // namespace

QString describe(const MetaRecord &r)
{
    switch (r.type) {
    case EMR_CREATEPEN:
        return QStringLiteral("Pen style=%1 width=%2 color=%3").arg(r.pen.style).arg(r.pen.width).arg(hex(r.pen.color));
    case EMR_CREATEBRUSHINDIRECT:
        return QStringLiteral("Brush style=%1 color=%2 hatch=%3").arg(r.brush.style).arg(hex(r.brush.color)).arg(r.brush.hatch);
    case EMR_EXTCREATEFONTINDIRECTW:
        return QStringLiteral("Font \"%1\" height=%2 escapement=%3 weight=%4 italic=%5 underline=%6 strikeout=%7 charset=%8")
            .arg(r.font.faceName)
            .arg(r.font.height)
            .arg(r.font.escapement)
            .arg(r.font.weight)
            .arg(int(r.font.italic))
            .arg(int(r.font.underline))
            .arg(int(r.font.strikeOut))
            .arg(r.font.charSet);
    case EMR_SETTEXTCOLOR: return QStringLiteral("SetTextColor %1").arg(hex(r.value));
    case EMR_SETBKCOLOR: return QStringLiteral("SetBkColor %1").arg(hex(r.value));
    case EMR_SETBKMODE: return QStringLiteral("SetBkMode %1").arg(r.value);
    case EMR_SETTEXTALIGN: return QStringLiteral("SetTextAlign %1").arg(r.value);
    case EMR_SETROP2: return QStringLiteral("SetROP2 %1").arg(r.value);
    case EMR_SETPOLYFILLMODE: return QStringLiteral("SetPolyFillMode %1").arg(r.value);
    case EMR_SETSTRETCHBLTMODE: return QStringLiteral("SetStretchBltMode %1").arg(r.value);
    case EMR_SETMAPMODE: return QStringLiteral("SetMapMode %1").arg(r.value);
    case EMR_SETWINDOWORGEX: return QStringLiteral("SetWindowOrg %1,%2").arg(r.point.x()).arg(r.point.y());
    case EMR_SETVIEWPORTORGEX: return QStringLiteral("SetViewportOrg %1,%2").arg(r.point.x()).arg(r.point.y());
    case EMR_SETWINDOWEXTEX: return QStringLiteral("SetWindowExt %1,%2").arg(r.point.x()).arg(r.point.y());
    case EMR_SETVIEWPORTEXTEX: return QStringLiteral("SetViewportExt %1,%2").arg(r.point.x()).arg(r.point.y());
    case EMR_SETWORLDTRANSFORM: return QStringLiteral("SetWorldTransform");
    case EMR_SAVEDC: return QStringLiteral("SaveDC");
    case EMR_RESTOREDC: return QStringLiteral("RestoreDC %1").arg(r.value);
    case EMR_INTERSECTCLIPRECT: return QStringLiteral("IntersectClipRect %1").arg(rect(r.rect));
    case EMR_EXTSELECTCLIPRGN:
        return r.nullRegion ? QStringLiteral("SelectClipRgn none")
                            : QStringLiteral("SelectClipRgn %1 rects").arg(r.region.rectCount());
    case EMR_MOVETOEX: return QStringLiteral("MoveTo %1,%2").arg(r.point.x()).arg(r.point.y());
    case EMR_LINETO: return QStringLiteral("LineTo %1,%2").arg(r.point.x()).arg(r.point.y());
    case EMR_POLYLINE: return QStringLiteral("Polyline %1").arg(pts(r.points));
    case EMR_POLYGON: return QStringLiteral("Polygon %1").arg(pts(r.points));
    case EMR_POLYPOLYGON: return QStringLiteral("PolyPolygon %1").arg(pts(r.points));
    case EMR_ELLIPSE: return QStringLiteral("Ellipse %1").arg(rect(r.rect));
    case EMR_RECTANGLE: return QStringLiteral("Rectangle %1").arg(rect(r.rect));
    case EMR_EXTTEXTOUTW: return QStringLiteral("TextOut %1,%2 \"%3\"").arg(r.point.x()).arg(r.point.y()).arg(r.text);
    case EMR_STRETCHDIBITS:
        return QStringLiteral("StretchBlt %1 rop=%2").arg(rect(r.rect)).arg(hex(r.rop));
    default: return QStringLiteral("Record %1").arg(r.type);
    }
}

RecordingCanvas::RecordingCanvas(const DeviceMetrics &metrics) : Canvas(metrics) {}

void RecordingCanvas::perform(const RecordView &r)
{
    if (r.type == EMR_HEADER || r.type == EMR_EOF)
        return;
    calls_.emplace_back(r);
}

QStringList RecordingCanvas::log() const
{
    QStringList out;
    for (const MetaRecord &r : calls_)
        out << describe(r);
    return out;
}

std::vector<MetaRecord> RecordingCanvas::callsOf(int type) const
{
    std::vector<MetaRecord> out;
    for (const MetaRecord &r : calls_)
        if (r.type == type)
            out.push_back(r);
    return out;
}

} // namespace platform::gdi
