#include "app/StyleRenderers.h"

#include "app/FStart.h"

namespace app {

void StyleRenderers::DrawFillPattern(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                                     int colour, int pictureWidth, int pictureHeight, double scaleX, double scaleY,
                                     double rotation, double unitsPerPixelX, double unitsPerPixelY, bool outline)
{
    if (Start)
        Start->DrawFillPattern(canvas, points, style, colour, pictureWidth, pictureHeight, scaleX, scaleY, rotation,
                               unitsPerPixelX, unitsPerPixelY, outline);
}

void StyleRenderers::DrawLineStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                                   int colour, int penWidth, double scaleAlong, double scaleAcross, double ignored,
                                   double pictureWidth, double pictureHeight, bool drawEvery)
{
    if (Start)
        Start->DrawLineStyle(canvas, points, style, colour, penWidth, scaleAlong, scaleAcross, ignored, pictureWidth,
                             pictureHeight, drawEvery);
}

void StyleRenderers::DrawPointStyle(platform::gdi::Canvas &canvas, const std::vector<QPoint> &points, int style,
                                    int colour, int ignored1, int ignored2, double scaleX, double scaleY,
                                    double rotation)
{
    if (Start)
        Start->DrawPointStyle(canvas, points, style, colour, ignored1, ignored2, scaleX, scaleY, rotation);
}

int StyleRenderers::IntersectLines(int mode, double x1, double y1, double z1, double x2, double y2, double z2,
                                   double x3, double y3, double z3, double x4, double y4, double z4)
{
    return Start ? Start->IntersectLines(mode, x1, y1, z1, x2, y2, z2, x3, y3, z3, x4, y4, z4) : 0;
}

int StyleRenderers::FillStyleCount() const
{
    return Start ? Start->FFillStyles.count() : 0;
}

int StyleRenderers::FillStyleKind(int index) const
{
    const TVykSymbol *pattern = Start ? Start->FFillStyles.item(index) : nullptr;
    return pattern ? pattern->Kind : -1;
}

namespace {
StyleRenderers frameRenderers;
StyleRenderers *installed = nullptr;
} // namespace

void setStyleRenderers(StyleRenderers *renderers)
{
    installed = renderers;
}

StyleRenderers &styleRenderers()
{
    return installed ? *installed : frameRenderers;
}

} // namespace app
