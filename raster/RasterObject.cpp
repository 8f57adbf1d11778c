// The raster record's codec, its shape in the object table, and the fit of
// its rectangle to the control points.

#include "raster/RasterObject.h"

#include "mapdata/MapFunctions.h"

#include <cmath>

namespace raster {

bool decodeRasterObject(const char *data, qsizetype size, TRasterObject &out)
{
    shp::RasterRecordHead h;
    if (!shp::decodeRasterHead(data, size, h))
        return false;
    // The count read from the file is trusted only as far as the record
    // holds its points.
    if (h.NumPoints < 0 || (size - shp::RasterHeadSize) / ControlPointSize < h.NumPoints)
        return false;
    TRasterObject r;
    r.ShapeType = h.ShapeType;
    r.XMin = h.XMin;
    r.YMin = h.YMin;
    r.XMax = h.XMax;
    r.YMax = h.YMax;
    r.ImageName = h.ImageName;
    r.ImageFlag = h.ImageFlag;
    r.ImageWidth = h.ImageWidth;
    r.ImageHeight = h.ImageHeight;
    r.Points.resize(static_cast<size_t>(h.NumPoints));
    const char *p = data + shp::RasterHeadSize;
    for (TControlPoint &c : r.Points) {
        c.X = shp::getLEDouble(p);
        c.Y = shp::getLEDouble(p + 8);
        c.Column = shp::getLE32(p + 16);
        c.Row = shp::getLE32(p + 20);
        p += ControlPointSize;
    }
    out = std::move(r);
    return true;
}

QByteArray encodeRasterObject(const TRasterObject &record)
{
    shp::RasterRecordHead h;
    h.ShapeType = shp::stRaster;
    h.XMin = record.XMin;
    h.YMin = record.YMin;
    h.XMax = record.XMax;
    h.YMax = record.YMax;
    h.ImageName = record.ImageName;
    h.ImageFlag = record.ImageFlag;
    h.ImageWidth = record.ImageWidth;
    h.ImageHeight = record.ImageHeight;
    h.NumPoints = static_cast<std::int32_t>(record.Points.size());
    QByteArray out(shp::RasterHeadSize + ControlPointSize * qsizetype(record.Points.size()), '\0');
    char *p = out.data();
    shp::encodeRasterHead(p, h);
    p += shp::RasterHeadSize;
    for (const TControlPoint &c : record.Points) {
        shp::setLEDouble(p, c.X);
        shp::setLEDouble(p + 8, c.Y);
        shp::setLE32(p + 16, c.Column);
        shp::setLE32(p + 20, c.Row);
        p += ControlPointSize;
    }
    return out;
}

TRasterObject rasterFromShape(const TShpObject &shape)
{
    TRasterObject r;
    r.ShapeType = shape.ShapeType ? shape.ShapeType : shp::stRaster;
    r.XMin = shape.XMin;
    r.YMin = shape.YMin;
    r.XMax = shape.XMax;
    r.YMax = shape.YMax;
    r.ImageName = shape.Text;
    r.ImageFlag = shape.ImageFlag;
    r.ImageWidth = shape.ImageWidth;
    r.ImageHeight = shape.ImageHeight;
    if (!shape.Parts.empty())
        for (const TShpPoint &p : shape.Parts.front().Points)
            r.Points.push_back(TControlPoint{p.X, p.Y, p.W(), p.H()});
    return r;
}

void shapeFromRaster(const TRasterObject &record, TShpObject &shape)
{
    shape.ShapeType = shp::stRaster;
    // The name as the record keeps it: 199 characters at most.
    shape.Text = record.ImageName.left(shp::ImageNameSize - 1);
    shape.ImageWidth = record.ImageWidth;
    shape.ImageHeight = record.ImageHeight;
    shape.ImageFlag = record.ImageFlag;
    shape.XMin = record.XMin;
    shape.YMin = record.YMin;
    shape.XMax = record.XMax;
    shape.YMax = record.YMax;
    TShpParts part;
    part.Points.reserve(record.Points.size());
    for (const TControlPoint &c : record.Points) {
        TShpPoint p;
        p.X = c.X;
        p.Y = c.Y;
        p.setWH(c.Column, c.Row);
        part.Points.push_back(p);
    }
    shape.Parts.assign(1, std::move(part));
}

bool fitRasterToControlPoints(TRasterObject &record)
{
    const size_t n = record.Points.size();
    if (n < 2)
        return false;
    // Sums of the steps between consecutive points, the last to the first.
    long double sx = 0, sy = 0, sc = 0, sr = 0;
    for (size_t i = 0; i < n; ++i) {
        const TControlPoint &a = record.Points[i];
        const TControlPoint &b = record.Points[(i + 1) % n];
        sx += std::fabs(static_cast<long double>(a.X) - b.X);
        sy += std::fabs(static_cast<long double>(a.Y) - b.Y);
        sc += std::fabs(static_cast<long double>(a.Column) - b.Column);
        sr += std::fabs(static_cast<long double>(a.Row) - b.Row);
    }
    // Points on one pixel column or row give no factor: the box stays.
    if (sc == 0 || sr == 0)
        return false;
    const long double kx = sx / sc;
    const long double ky = sy / sr;
    long double left = 0, top = 0;
    for (const TControlPoint &p : record.Points) {
        left += p.X - p.Column * kx;
        top += p.Y + p.Row * ky;
    }
    left /= static_cast<long double>(n);
    top /= static_cast<long double>(n);
    const long double right = left + record.ImageWidth * kx;
    const long double bottom = top - record.ImageHeight * ky;
    // Map coordinates that are no numbers would be written into the file.
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) || !std::isfinite(bottom))
        return false;
    record.XMin = static_cast<double>(left);
    record.YMax = static_cast<double>(top);
    record.XMax = static_cast<double>(right);
    record.YMin = static_cast<double>(bottom);
    return true;
}

double rasterRotationAngle(const std::vector<TControlPoint> &p)
{
    if (p.size() < 2)
        return 0;
    // Direction angles take the northward difference first; picture rows
    // count southward.
    const double onMap = MapFunctions::DirectionAngleRad(p[0].Y, p[0].X, p[1].Y, p[1].X);
    const double inPicture = MapFunctions::DirectionAngleRad(-static_cast<double>(p[0].Row), p[0].Column,
                                                             -static_cast<double>(p[1].Row), p[1].Column);
    return onMap - inPicture;
}

} // namespace raster
