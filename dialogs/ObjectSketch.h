#pragma once
// The object view's sketch without a window: the selected objects copied part
// by part, each part measured (segment lengths, directional and vertex
// angles, area, perimeter, whether its rings close), the grid of crosses, the
// fit of the picture and the status texts.

#include "mapdata/MapTypes.h"

#include <QString>

#include <array>
#include <vector>

namespace sketch {

struct Vertex {
    std::int32_t Number = 0;   // from 0
    QString Text;              // the vertex number from 1
    double J = 0, J1 = 0;      // j and j + 1
    double X = 0, Y = 0, Z = 0;
    double Length = 0;         // of the segment that ends here
    double Direction = 0;      // directional angle of the segment that starts here, degrees
    double Angle = 0;          // angle at the vertex, 0 .. 360 degrees
};

struct Part {
    QString Name;
    std::int32_t Index = 0;    // the object's index in its layer
    Byte Style[3] = {15, 4, 0};
    std::vector<Vertex> Points;
    double Area = 0, Perimeter = 0;
    bool HasExtent = false;
    double MaxX = 0, MaxY = 0, MinX = 0, MinY = 0;
    double LabelX = 0, LabelY = 0;
};

struct Objects {
    std::vector<Part> Parts;
    bool HasExtent = false;
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    double CenterX = 0, CenterY = 0;
};

// Measures a part over its points in order. A ring closes where a point
// returns to the ring's first point (after at least two others); its first
// point is kept with a flag, so a ring may start anywhere, (0, 0) included.
void MeasureObjects(Part &part);

// Appends one part per part of an object (the points of each part), measures
// them and widens the overall extent.
void AppendObject(Objects &objects, std::int32_t index, const std::vector<std::vector<TShpPoint>> &parts);

// The grid of crosses for the scale denominator: the columns' X and the
// rows' Y, at least two and at most a hundred of each.
struct Grid {
    std::vector<double> xs, ys;
};
Grid GridPoints(const Objects &objects, int denominator);

// The view: its centre, its scale (0.01 mm of picture per map unit), the
// picture's size (0.01 mm) and 0.01 mm per pixel.
struct View {
    double CenterX = 0, CenterY = 0;
    double Scale = 500;
    double Width = 0, Height = 0;
    double UnitsPerPixelX = 1, UnitsPerPixelY = 1;
};

// Centres the view on the objects and chooses the scale that shows them all
// with a tenth to spare; 500 on an axis where they have no extent.
void FitPicture(View &view, const Objects &objects, int controlWidth, int controlHeight, double unitsPerPixelX,
                double unitsPerPixelY);

// The scale denominator, 100000 / scale rounded; 1 for a scale of 0.
int Denominator(double scale);

// Status panels 0 and 1 and the scale field.
struct ScaleTexts {
    QString scale, zoom, field;
};
ScaleTexts ScaleStatus(const View &view);
// Panels 2 and 3 for a map point: its northing and easting, 4 decimals.
QString NorthingText(double y);
QString EastingText(double x);

// The labels as drawn: a segment's length (2 decimals), the area in hectares
// (4 decimals), the perimeter ("P = " ... " м.").
QString LengthText(double length);
QString AreaText(double area);
QString PerimeterText(double perimeter);

// Whether the segment between two points was labelled already, in either
// direction; records it when not.
class SegmentLabels {
public:
    bool firstTime(double x1, double y1, double x2, double y2);

private:
    std::vector<std::array<double, 4>> seen_;
};

// The mouse wheel acts on every fourth notch.
class WheelCounter {
public:
    // True when this notch zooms.
    bool notch();
    void reset() { count_ = 0; }

private:
    int count_ = 0;
};

} // namespace sketch
