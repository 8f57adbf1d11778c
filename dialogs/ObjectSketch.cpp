#include "dialogs/ObjectSketch.h"

#include "mapdata/VykFunctions.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace sketch {

namespace {

double distance(const Vertex &a, const Vertex &b)
{
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

double positiveAngle(double a)
{
    return a < 0 ? a + 360 : a;
}

void widen(bool &has, double &minX, double &minY, double &maxX, double &maxY, double x0, double y0, double x1,
           double y1)
{
    if (!has) {
        minX = x0, minY = y0, maxX = x1, maxY = y1;
        has = true;
        return;
    }
    minX = std::min(minX, x0);
    minY = std::min(minY, y0);
    maxX = std::max(maxX, x1);
    maxY = std::max(maxY, y1);
}

QString rounded(double value, int kind)
{
    return mapengine::roundByKindText(value, kind);
}

QString integerText(double value)
{
    return QString::number(platform::roundHalfEven(value));
}

} // namespace

void MeasureObjects(Part &part)
{
    std::vector<Vertex> &P = part.Points;
    const size_t n = P.size();
    int k = 0;
    bool firstSet = false;
    double fx = 0, fy = 0;
    size_t s = 0;
    double areaSum = 0;
    part.Perimeter = 0;
    part.HasExtent = false;
    for (size_t i = 0; i < n; ++i) {
        widen(part.HasExtent, part.MinX, part.MinY, part.MaxX, part.MaxY, P[i].X, P[i].Y, P[i].X, P[i].Y);
        if (i > 0 && firstSet)
            part.Perimeter += distance(P[i - 1], P[i]);
        if (k > 0) {
            P[i].Length = distance(P[i - 1], P[i]);
            P[i - 1].Direction = VykFunctions::DirectionAngleDeg(P[i - 1].X, P[i - 1].Y, P[i].X, P[i].Y);
        }
        if (k > 1) {
            P[i - 1].Angle = positiveAngle(VykFunctions::AngleBetweenDirections(
                P[i - 2].X, P[i - 2].Y, P[i - 1].X, P[i - 1].Y, P[i - 1].X, P[i - 1].Y, P[i].X, P[i].Y));
            areaSum += P[i - 1].X * (P[i].Y - P[i - 2].Y);
        }
        ++k;
        if (k > 2 && firstSet && P[i].X == fx && P[i].Y == fy) {
            P[i].Direction = P[s].Direction;
            P[i].Angle = positiveAngle(VykFunctions::AngleBetweenDirections(
                P[i - 1].X, P[i - 1].Y, P[i].X, P[i].Y, P[s].X, P[s].Y, P[s + 1].X, P[s + 1].Y));
            P[s].Angle = P[i].Angle;
            areaSum += P[i].X * (P[s + 1].Y - P[i - 1].Y);
            k = 0;
            firstSet = false;
            s = i + 1;
        } else if (!firstSet) {
            fx = P[i].X;
            fy = P[i].Y;
            firstSet = true;
        }
    }
    if (n > 1)
        part.Area = std::fabs(areaSum / 2);
    part.LabelX = part.MinX + (part.MaxX - part.MinX) / 2;
    part.LabelY = part.MinY + (part.MaxY - part.MinY) / 2;
}

void AppendObject(Objects &objects, std::int32_t index, const std::vector<std::vector<TShpPoint>> &parts)
{
    for (const std::vector<TShpPoint> &points : parts) {
        Part &part = objects.Parts.emplace_back();
        part.Index = index;
        for (size_t j = 0; j < points.size(); ++j) {
            Vertex v;
            v.Number = static_cast<std::int32_t>(j);
            v.Text = QString::number(j + 1);
            v.J = static_cast<double>(j);
            v.J1 = static_cast<double>(j + 1);
            v.X = points[j].X;
            v.Y = points[j].Y;
            part.Points.push_back(v);
        }
        MeasureObjects(part);
        if (part.HasExtent)
            widen(objects.HasExtent, objects.MinX, objects.MinY, objects.MaxX, objects.MaxY, part.MinX, part.MinY,
                  part.MaxX, part.MaxY);
    }
    objects.CenterX = objects.MinX + (objects.MaxX - objects.MinX) / 2;
    objects.CenterY = objects.MinY + (objects.MaxY - objects.MinY) / 2;
}

Grid GridPoints(const Objects &objects, int denominator)
{
    constexpr int MaxLines = 100;
    const double step = denominator * 10.0 / 100.0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!objects.Parts.empty() && objects.HasExtent) {
        auto start = [&](double min) {
            double v = std::trunc(min / 100) * 100;
            if (step > 0)
                while (v > min)
                    v -= step;
            if (denominator >= 2000) {
                const double m = std::trunc(denominator / 1000.0) * 100;
                const double q = v / m;
                // Down to the multiple of m below, computed as such so that no
                // rounding of the fraction leaves it just short.
                if (q - std::trunc(q) > 0)
                    v = std::trunc(q) * m;
            }
            return v;
        };
        x0 = start(objects.MinX);
        y0 = start(objects.MinY);
        x1 = objects.MaxX + step;
        y1 = objects.MaxY + step;
    }
    Grid g;
    auto run = [&](double from, double to, std::vector<double> &out) {
        for (double v = from; (v <= to || out.size() < 2) && out.size() < MaxLines; v += step)
            out.push_back(v);
    };
    run(x0, x1, g.xs);
    run(y0, y1, g.ys);
    return g;
}

void FitPicture(View &view, const Objects &objects, int controlWidth, int controlHeight, double unitsPerPixelX,
                double unitsPerPixelY)
{
    view.CenterX = objects.CenterX;
    view.CenterY = objects.CenterY;
    view.UnitsPerPixelX = unitsPerPixelX;
    view.UnitsPerPixelY = unitsPerPixelY;
    view.Width = controlWidth * unitsPerPixelX;
    view.Height = controlHeight * unitsPerPixelY;
    const double w = objects.MaxX - objects.MinX;
    const double h = objects.MaxY - objects.MinY;
    const double sx = w == 0 ? 500 : view.Width / (1.1 * w);
    const double sy = h == 0 ? 500 : view.Height / (1.1 * h);
    view.Scale = std::min(sx, sy);
}

int Denominator(double scale)
{
    return scale == 0 ? 1 : static_cast<int>(platform::roundHalfEven(100000 / scale));
}

ScaleTexts ScaleStatus(const View &v)
{
    ScaleTexts t;
    if (v.Scale == 0) {
        t.scale = QStringLiteral("M 1:1");
        t.field = QStringLiteral("1");
        t.zoom = QStringLiteral("Zoom: ") + integerText(v.Width) + u'x' + integerText(v.Height) + QStringLiteral(" m");
        return t;
    }
    t.scale = v.Scale / 100000 >= 1 ? QStringLiteral("M ") + integerText(v.Scale / 100000) + QStringLiteral(":1")
                                    : QStringLiteral("M 1:") + integerText(100000 / v.Scale);
    t.field = integerText(100000 / v.Scale);
    t.zoom = QStringLiteral("Zoom: ") + integerText(v.Width / v.Scale) + u'x' + integerText(v.Height / v.Scale) +
             QStringLiteral(" m");
    return t;
}

QString NorthingText(double y)
{
    return QStringLiteral("X = ") + rounded(y, 1);
}

QString EastingText(double x)
{
    return QStringLiteral("Y = ") + rounded(x, 1);
}

QString LengthText(double length)
{
    return rounded(length, 2);
}

QString AreaText(double area)
{
    return rounded(area / 10000, 1);
}

QString PerimeterText(double perimeter)
{
    return QStringLiteral("P = ") + rounded(perimeter, 2) + QStringLiteral(" м.");
}

bool SegmentLabels::firstTime(double x1, double y1, double x2, double y2)
{
    for (const auto &s : seen_)
        if ((s[0] == x1 && s[1] == y1 && s[2] == x2 && s[3] == y2) ||
            (s[0] == x2 && s[1] == y2 && s[2] == x1 && s[3] == y1))
            return false;
    seen_.push_back({x1, y1, x2, y2});
    return true;
}

bool WheelCounter::notch()
{
    if (++count_ < 4)
        return false;
    count_ = 0;
    return true;
}

} // namespace sketch
