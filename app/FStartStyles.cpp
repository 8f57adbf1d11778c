// The frame's style libraries and renderers: the three libraries of the
// program folder, read once at start, and the renderers the host hooks and
// the style samples reach through the frame.

#include "app/FStart.h"

void TStart::LoadStyleLibraries()
{
    FStyles.LoadStyleLibraries(FProgramDir);
}

void TStart::DrawFillPattern(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                             int colour, int pictureWidth, int pictureHeight, double scaleX, double scaleY,
                             double rotation, double unitsPerPixelX, double unitsPerPixelY, bool outline)
{
    // The tiling's raster mask of a polygon has the size of the frame.
    FStyles.SetFrameSize(width(), height());
    FStyles.DrawFillPattern(canvas, points, style, colour, pictureWidth, pictureHeight, scaleX, scaleY, rotation,
                            unitsPerPixelX, unitsPerPixelY, outline);
}

void TStart::DrawLineStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style, int colour,
                           int penWidth, double scaleAlong, double scaleAcross, double ignored, double pictureWidth,
                           double pictureHeight, bool drawEvery)
{
    FStyles.DrawLineStyle(canvas, points, style, colour, penWidth, scaleAlong, scaleAcross, ignored, pictureWidth,
                          pictureHeight, drawEvery);
}

void TStart::DrawPointStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style, int colour,
                            int ignored1, int ignored2, double scaleX, double scaleY, double rotation)
{
    FStyles.DrawPointStyle(canvas, points, style, colour, ignored1, ignored2, scaleX, scaleY, rotation);
}

int TStart::IntersectLines(int mode, double x1, double y1, double z1, double x2, double y2, double z2, double x3,
                           double y3, double x4, double y4)
{
    const int result = FStyles.IntersectLines(mode, x1, y1, z1, x2, y2, z2, x3, y3, 0, x4, y4, 0);
    FCrossX = FStyles.FCrossX;
    FCrossY = FStyles.FCrossY;
    FCrossValue = FStyles.FCrossValue;
    return result;
}

int TStart::FillStyleCount() const
{
    return FStyles.FFillStyles.count();
}

int TStart::FillStyleKind(int index) const
{
    const TVykSymbol *pattern = FStyles.FFillStyles.item(index);
    return pattern ? pattern->Kind : -1;
}
