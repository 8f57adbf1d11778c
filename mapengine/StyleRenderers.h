#pragma once
// The style services the frame window offers the map and the style samples:
// the three style libraries (read once at start), the renderers that turn a
// fill, line or point style number into marks on any canvas of the graphics
// layer, the crossing of two lines the line renderer cuts strokes with, and
// the rounding by value kind.
//
// Every renderer puts back the canvas's pen, brush and mapping mode. Points
// are in the canvas's logical units: 0.01 mm with y upward on the map's
// picture, or pixels on a sample image (the fill and line renderers convert
// pixel points to 0.01 mm, switching the canvas to that mapping while they
// draw; the point renderer expects the 0.01 mm mapping). No world transform
// is used: patterns are placed and turned point by point.
//
// The renderers are split into a plan (where each stroke of a pattern goes,
// in 0.01 mm) and a thin painter, so that placements can be checked without a
// canvas.

#include "mapengine/VykTypes.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Metafile.h"

#include <QPoint>
#include <QString>
#include <QVariant>

#include <vector>

namespace mapengine {

// How a placed stroke is drawn.
enum class StrokeShape { Polyline, Ellipse, Rectangle, Polygon };

// One stroke of a pattern where a renderer puts it (0.01 mm of the canvas).
// Ellipses and rectangles hold two opposite corners.
struct PlacedStroke {
    int stroke = 0;                 // position of the stroke in its pattern
    StrokeShape shape = StrokeShape::Polyline;
    std::vector<QPoint> points;
    // Fill tiling: the tile's column and row.
    int column = 0;
    int row = 0;
    // Line walk: the segment (1 for the first), the copy's distance from the
    // segment's start and the carry it began with.
    int segment = 0;
    long long position = 0;
    double carry = 0;
};

// The built-in fills by number: 0 clear, 1 solid, 2 backward diagonal,
// 3 forward diagonal, 4 cross, 5 diagonal cross, 6 horizontal, 7 vertical;
// anything else clear.
platform::gdi::Brush builtInFill(int style, platform::gdi::Color color);

// The decimals of a value kind: kind 0 the given decimals; 1, 4, 6, 7: 4;
// 2, 3, 5, 8: 2; 9: 5; any other kind 0.
int decimalsOfKind(int kind, int decimals);
// The value's fraction rounded to the kind's decimals (halves to even), the
// whole part kept.
double roundByKind(double value, int kind, int decimals = 0);
// The same as text under the current decimal separator, with zeros appended
// up to the kind's decimals (at most 43).
QString roundByKindText(double value, int kind, int decimals = 0);

// Tests derive from the services to record what the drawing asks of them.
class StyleServices {
public:
    StyleServices();
    virtual ~StyleServices();

    // The libraries: fill patterns, point symbols, line patterns.
    TVykSymbols FFillStyles;
    TVykSymbols FPointStyles;
    TVykSymbols FLineStyles;
    // The last crossing IntersectLines accepted (or computed in mode 3).
    double FCrossX = 0;
    double FCrossY = 0;
    double FCrossValue = 0;

    // Reads "Symbols.glb", "Points.glb" and "Lines.glb" from the program
    // folder. A file that cannot be opened is reported ("Отутствует файл "
    // with its path and what it holds) and leaves its library empty; the
    // others still load.
    void LoadStyleLibraries(const QString &programDir);

    // The frame window's size in pixels: the fill tiling's polygon mask has
    // this size. The screen's size until it is set.
    void SetFrameSize(int width, int height);
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }

    // Fills a polygon with style A in colour B: 0 nothing; 1 solid; 2 to 7 the
    // hatches backward diagonal, forward diagonal, cross, diagonal cross,
    // horizontal, vertical (no outline); 8 and above pattern A of the fill
    // library: a fill pattern is tiled over the polygon, a stroke drawn only
    // when its box lies wholly in the polygon's raster mask; a symbol pattern
    // is stamped at each point; a line pattern draws nothing. The picture size
    // in pixels and the 0.01 mm per pixel bound the tiles to those that reach
    // into the picture. Rotation and the outline flag are taken and not used.
    virtual void DrawFillPattern(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style, int color,
                                 int pictureWidth, int pictureHeight, double scaleX, double scaleY,
                                 double rotation, double unitsPerPixelX, double unitsPerPixelY, bool outline);

    // Draws a polyline in line style S, colour c and pen width w (0.01 mm):
    // 1 solid; 34 solid with pattern 34 over it; 33 nothing; other S from 2 up
    // pattern S of the line library repeated along the line, its copies
    // carried across the vertices. The picture's size (0.01 mm) lets copies
    // that fall wholly outside it be passed over; with no size every copy is
    // drawn. The real number and the every-copy flag are taken and not used.
    virtual void DrawLineStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                               int color, int penWidth, double scaleX, double scaleY, double unused,
                               double pictureWidth, double pictureHeight, bool everyCopy);

    // Stamps symbol S of the point library at each point (0 < S < count).
    // The two integers and the rotation are taken and not used.
    virtual void DrawPointStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                                int color, int unused1, int unused2, double scaleX, double scaleY, double rotation);

    // The crossing of line 1 (x1, y1, z1)-(x2, y2, z2) with line 2
    // (x3, y3)-(x4, y4) (z3 and z4 are not used); 1 when accepted by the mode:
    // 0 on segment 1 and not at its end point, 1 also on segment 2, 2 on both
    // segments, 3 on segment 1. An accepted crossing, and any crossing in
    // mode 3, is stored in FCrossX, FCrossY and FCrossValue.
    virtual int IntersectLines(int mode, double x1, double y1, double z1, double x2, double y2, double z2,
                               double x3, double y3, double z3, double x4, double y4, double z4);

    // The rounded number, or with asText the rounded number as text.
    static QVariant RoundByKind(double value, int kind, bool asText, int decimals);

    // ---- plans ----
    // The strokes of a fill pattern tiled over a polygon (points in 0.01 mm),
    // in drawing order: columns outermost, then rows, then the pattern's
    // strokes. Empty for a polygon of fewer than 3 points or without area,
    // for a cell without size, and for cells so small that the tiles would
    // outnumber the picture's pixels.
    std::vector<PlacedStroke> PlanFillTiles(const std::vector<QPoint> &points, const TVykSymbol &pattern,
                                            int pictureWidth, int pictureHeight, double scaleX, double scaleY,
                                            double unitsPerPixelX, double unitsPerPixelY) const;
    // The strokes of a line pattern laid along a polyline (points in
    // 0.01 mm), in drawing order. With a picture size, copies whose strokes
    // (reaching `reach` units further, for the pen) cannot touch the picture
    // are left out.
    std::vector<PlacedStroke> PlanLineCopies(const std::vector<QPoint> &points, const TVykSymbol &pattern,
                                             double scaleX, double scaleY, double pictureWidth = 0,
                                             double pictureHeight = 0, double reach = 0);

private:
    int frameWidth_ = 0;
    int frameHeight_ = 0;
};

// The picture of a pattern as the style pickers show it (Width × Height in
// 0.01 mm, y upward, the pattern's centre in the middle): each stroke with its
// own pen (width 0 drawn 10 wide) and brush; ellipses and rectangles need
// exactly two points and grow by 12 units on every side; polylines and
// polygons need two points.
platform::gdi::Metafile PatternPicture(const platform::gdi::DeviceMetrics &reference, const TVykSymbol &pattern);
// The pattern's picture stretched into a rectangle of the canvas (logical
// units), centred and keeping its aspect; nothing for a pattern without size.
void DrawPatternCell(platform::gdi::Canvas &canvas, const TVykSymbol &pattern, const platform::gdi::Rect &cell);

// The styled drawing of the map as the host hooks forward it to a set of
// services (none draws nothing): the polygon of n + 1 points (its first
// repeated at the end), the line and the points of n; a line's two scales
// grow by its pen width / 50.
void DrawStyledPolygon(StyleServices *styles, platform::gdi::Canvas &canvas, const QPoint *points, int n, int style,
                       int colour, int pictureWidth, int pictureHeight, double scaleX, double scaleY, double rotation,
                       double unitsPerPixelX, double unitsPerPixelY, bool outline);
void DrawStyledLine(StyleServices *styles, platform::gdi::Canvas &canvas, const QPoint *points, int n, int style,
                    int colour, int penWidth, double scaleAlong, double scaleAcross, double ignored,
                    double pictureWidth, double pictureHeight, bool drawEvery);
void DrawStyledPoint(StyleServices *styles, platform::gdi::Canvas &canvas, const QPoint *points, int n, int style,
                     int colour, int ignored1, int ignored2, double scaleX, double scaleY, double rotation);

} // namespace mapengine
