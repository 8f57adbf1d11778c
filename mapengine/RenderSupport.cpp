#include "mapengine/RenderSupport.h"

#include "mapdata/MapFunctions.h"
#include "mapengine/MapControlCore.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Rounding.h"

#include <QIcon>
#include <QImage>

#include <algorithm>
#include <cmath>

using namespace platform::gdi;

namespace mapengine::render {

// ---- layers -------------------------------------------------------------------

double redrawDenominator(double scale)
{
    const double n = MapControlCore::ScaleToDenominator(scale);
    return n == 0 ? 1 : n;
}

bool layerShownAtScale(const TMapLayer &layer, double denominator)
{
    if (!layer.ScaleView)
        return true;
    return !(layer.ScaleMin > denominator || layer.ScaleMax < denominator);
}

LayerDrawer layerDrawer(Byte mapType)
{
    if (mapType == 17)
        return LayerDrawer::Exchange;
    if (isCadastralMapType(mapType))
        return LayerDrawer::Cadastral;
    if (mapType == 0 || mapType == mtShapeLayer || mapType == mtTextLayer)
        return LayerDrawer::Vector;
    return LayerDrawer::None;
}

// ---- grids --------------------------------------------------------------------

namespace {

// No grid holds more lines than this, however small its step.
constexpr int kMaxGridLines = 500;

double fracOf(double v)
{
    return v - std::trunc(v);
}

std::vector<double> linesFrom(double start, double step, double limit, bool upward)
{
    std::vector<double> out;
    if (!(step > 0) || !std::isfinite(start) || !std::isfinite(limit))
        return out;
    for (int k = 0; k < kMaxGridLines; ++k) {
        const double v = upward ? start + k * step : start - k * step;
        if (upward ? v > limit : v < limit)
            break;
        out.push_back(v);
    }
    return out;
}

} // namespace

void alignGridCorner(double xMin, double yMax, double denominator, double &x0, double &y0)
{
    x0 = std::trunc(xMin / 100) * 100;
    y0 = std::trunc(yMax / 100) * 100;
    if (denominator >= 2000) {
        const double s = std::trunc(denominator / 1000) * 100;
        const double fx = fracOf(x0 / s);
        if (fx > 0)
            x0 -= s * fx;
        const double fy = fracOf(y0 / s);
        if (fy > 0)
            y0 += s * (1 - fy);
    }
}

GridLines plainGrid(double xMin, double yMin, double xMax, double yMax, double denominator)
{
    double x0 = 0, y0 = 0;
    alignGridCorner(xMin, yMax, denominator, x0, y0);
    const double d = denominator / 10;
    return GridLines{linesFrom(x0, d, xMax, true), linesFrom(y0, d, yMin, false)};
}

GridLines labelledGrid(double xMin, double yMin, double xMax, double yMax, double denominator, double step)
{
    const double d = step * denominator / 1000;
    return GridLines{linesFrom(xMin, d, xMax, true), linesFrom(yMax, d, yMin, false)};
}

PictureExtent gridPictureExtent(double xMin, double yMax, double dx, double dy, double denominator)
{
    double x0 = 0, y0 = 0;
    alignGridCorner(xMin, yMax, denominator, x0, y0);
    return PictureExtent{x0, y0 - dy, x0 + dx, y0};
}

// ---- style tables -------------------------------------------------------------

int canvasPenStyle(int number)
{
    return number >= PS_SOLID && number <= PS_INSIDEFRAME ? number : PS_SOLID;
}

Brush canvasBrush(int number, Color color)
{
    return brushFromStyleNumber(number, color);
}

int ovalPenStyle(int number)
{
    switch (number) {
    case 0: return PS_NULL;
    case 1: return PS_SOLID;
    case 2: return PS_DASH;
    case 3: return PS_DOT;
    case 4: return PS_DASHDOT;
    case 5: return PS_DASHDOTDOT;
    case 6: return PS_INSIDEFRAME;
    default: return number < 0 ? PS_NULL : PS_SOLID;
    }
}

Brush ovalBrush(int number, Color color)
{
    // The built-in fills, but solid beyond them.
    return number > 7 ? Brush{BS_SOLID, color, HS_HORIZONTAL} : mapengine::builtInFill(number, color);
}

// ---- texts --------------------------------------------------------------------

Byte textStyleOfFontStyle(int fontStyle)
{
    const int v = std::abs(fontStyle);
    Byte bits = 0;
    if (v % 10 == 1)
        bits |= 1;
    if (v / 10 % 10 == 1)
        bits |= 2;
    if (v / 100 % 10 == 1)
        bits |= 4;
    return bits;
}

int effectiveTextSize(int size, int scale, double denominator)
{
    if (scale <= 0 || !(denominator > 0))
        return size;
    const double v = static_cast<double>(size) * scale / denominator;
    return static_cast<int>(platform::roundHalfEven(std::clamp(v, -2147483648.0, 2147483647.0)));
}

// ---- pictures of the image lists ---------------------------------------------

void drawListImage(Canvas &canvas, const QIcon &picture, int x, int y)
{
    if (picture.isNull())
        return;
    const QImage image =
        picture.pixmap(kListImageSize, kListImageSize).toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return;
    QImage mask(image.size(), QImage::Format_RGB32);
    QImage colours(image.size(), QImage::Format_RGB32);
    for (int row = 0; row < image.height(); ++row) {
        const QRgb *in = reinterpret_cast<const QRgb *>(image.constScanLine(row));
        QRgb *m = reinterpret_cast<QRgb *>(mask.scanLine(row));
        QRgb *c = reinterpret_cast<QRgb *>(colours.scanLine(row));
        for (int col = 0; col < image.width(); ++col) {
            const bool opaque = qAlpha(in[col]) >= 128;
            m[col] = opaque ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            c[col] = opaque ? qRgb(qRed(in[col]), qGreen(in[col]), qBlue(in[col])) : qRgb(0, 0, 0);
        }
    }
    const QRect all(0, 0, image.width(), image.height());
    canvas.stretchDIBits(x, y, image.width(), image.height(), mask, all, SRCAND);
    canvas.stretchDIBits(x, y, image.width(), image.height(), colours, all, SRCPAINT);
}

// ---- raster objects -----------------------------------------------------------

double rasterRotationAngle(const std::vector<TShpPoint> &p)
{
    if (p.size() < 2)
        return 0;
    // Direction angles take the northward difference first.
    const double onMap = MapFunctions::DirectionAngleRad(p[0].Y, p[0].X, p[1].Y, p[1].X);
    const double inPicture = MapFunctions::DirectionAngleRad(-static_cast<double>(p[0].H()), p[0].W(),
                                                             -static_cast<double>(p[1].H()), p[1].W());
    return onMap - inPicture;
}

} // namespace mapengine::render
