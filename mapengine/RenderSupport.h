#pragma once
// The rules of the render job that are plain functions: which layers a
// redraw draws and how, the grids' nodes, the picture of a report aligned to
// the grid, the tables that turn stored style numbers into pens and brushes,
// the style bits and sizes of texts, the pictures of the image lists and the
// turn of a raster's control points.

#include "mapdata/MapTypes.h"
#include "platform/gdi/GdiTypes.h"

#include <QString>

#include <vector>

class QIcon;
namespace platform::gdi {
class Canvas;
}

namespace mapengine::render {

// ---- layers ----

// The denominator N a redraw works with: that of the scale, 1 when there is
// no scale.
double redrawDenominator(double scale);

// Whether a visible layer is drawn at the denominator: a layer that limits
// its display by scale (ScaleView) is drawn from ScaleMin to ScaleMax, both
// included.
bool layerShownAtScale(const TMapLayer &layer, double denominator);

enum class LayerDrawer {
    None,        // passed over
    Vector,      // kinds 0, 1 and 8: the vector layer drawing
    Cadastral,   // kinds 2 .. 7 and 9 .. 16: the host hook (nothing here)
    Exchange,    // kind 17: the host hook (nothing here)
};
LayerDrawer layerDrawer(Byte mapType);

// ---- grids ----

// The columns (x) and rows (y) of a grid, each list from its first line on,
// at most 500 of each.
struct GridLines {
    std::vector<double> columns;
    std::vector<double> rows;
};

// The upper-left corner the plain grid and the report picture start from:
// x and y cut to whole hundreds, and from 1:2000 on (s = Int(N / 1000) · 100)
// x lowered and y raised to whole multiples of s. A negative coordinate is
// left where the cut put it (its fraction is negative).
void alignGridCorner(double xMin, double yMax, double denominator, double &x0, double &y0);

// The plain grid: a line every N / 10 map units from the aligned corner,
// columns eastward up to xMax and rows southward down to yMin.
GridLines plainGrid(double xMin, double yMin, double xMax, double yMax, double denominator);
// The labelled grid: a line every step · N / 1000 map units (step in
// millimetres of paper) from the window's own corner.
GridLines labelledGrid(double xMin, double yMin, double xMax, double yMax, double denominator, double step);

// Where the report picture goes: the picture of dx × dy map units whose
// upper-left corner is the window's (xMin, yMax) aligned as the plain grid
// aligns it.
struct PictureExtent {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
PictureExtent gridPictureExtent(double xMin, double yMax, double dx, double dy, double denominator);

// ---- style tables ----

// The platform's pen styles 0 .. 6 (solid, dash, dot, dash-dot,
// dash-dot-dot, clear, inside frame) as stored in layers and records;
// other numbers, which only the style library reads, draw solid.
int canvasPenStyle(int number);
// The platform's brush styles 0 .. 7 (solid, clear, horizontal, vertical,
// forward diagonal, backward diagonal, cross, diagonal cross); others clear.
platform::gdi::Brush canvasBrush(int number, platform::gdi::Color color);
// An oval's own tables: pens 0 clear, 1 solid, 2 dash, 3 dot, 4 dash-dot,
// 5 dash-dot-dot, 6 inside frame, 7 and above solid; brushes 0 clear,
// 1 solid, 2 backward diagonal, 3 forward diagonal, 4 cross, 5 diagonal
// cross, 6 horizontal, 7 vertical, 8 and above solid.
int ovalPenStyle(int number);
platform::gdi::Brush ovalBrush(int number, platform::gdi::Color color);

// A colour as stored (0x00BBGGRR, -1 for "none") on a canvas.
inline platform::gdi::Color canvasColor(std::int32_t value)
{
    return static_cast<platform::gdi::Color>(value) & 0xFFFFFFu;
}

// ---- texts ----

// The text style bits (1 bold, 2 italic, 4 underline) of a record's
// FontStyle: its units digit 1 makes bold, its tens digit italic, its
// hundreds digit underline.
Byte textStyleOfFontStyle(int fontStyle);

// The size of a text or label of `size` points at the denominator: size ·
// scale / N rounded when its scale is above 0, else the size itself.
int effectiveTextSize(int size, int scale, double denominator);

// ---- pictures of the image lists ----

// The size of the pictures of the map window's image lists.
inline constexpr int kListImageSize = 16;

// A picture of an image list with its top-left corner at a device pixel of
// the canvas (which must be in pixel mapping), its transparent pixels leaving
// what lies below: the picture's shape is cut out with a mask and the
// picture laid into the hole. A null picture draws nothing.
void drawListImage(platform::gdi::Canvas &canvas, const QIcon &picture, int x, int y);

// ---- raster objects ----

// The turn of a raster's control points: the direction angle of the first
// two in map coordinates minus that of the same two in picture pixels (rows
// counting downward), in radians; 0 with fewer than two points.
double rasterRotationAngle(const std::vector<TShpPoint> &controlPoints);

} // namespace mapengine::render
