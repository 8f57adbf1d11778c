// Fitting a raster object's rectangle to its control points.

#include "mapengine/MapControlCore.h"
#include "mapengine/RasterObjects.h"

#include <cmath>

namespace mapengine {

TRasterObject rasterFromShape(const TShpObject &shape)
{
    TRasterObject r;
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
    record.XMin = static_cast<double>(left);
    record.YMax = static_cast<double>(top);
    record.XMax = static_cast<double>(left + record.ImageWidth * kx);
    record.YMin = static_cast<double>(top - record.ImageHeight * ky);
    return true;
}

} // namespace mapengine

bool MapControlCore::FitRasterToControlPoints(TRasterObject &record)
{
    return mapengine::fitRasterToControlPoints(record);
}
