#include "app/StyleRenderers.h"

namespace app {

// Renderers without libraries draw nothing.
void StyleRenderers::DrawFillPattern(platform::gdi::Canvas &, const std::vector<QPoint> &, int, int, int, int, double,
                                     double, double, double, double, bool)
{
}

void StyleRenderers::DrawLineStyle(platform::gdi::Canvas &, const std::vector<QPoint> &, int, int, int, double, double,
                                   double, double, double, bool)
{
}

void StyleRenderers::DrawPointStyle(platform::gdi::Canvas &, const std::vector<QPoint> &, int, int, int, int, double,
                                    double, double)
{
}

int StyleRenderers::IntersectLines(int, double, double, double, double, double, double, double, double, double,
                                   double)
{
    return 0;
}

int StyleRenderers::FillStyleCount() const
{
    return 0;
}

int StyleRenderers::FillStyleKind(int) const
{
    return -1;
}

namespace {
StyleRenderers emptyRenderers;
StyleRenderers *installed = nullptr;
} // namespace

void setStyleRenderers(StyleRenderers *renderers)
{
    installed = renderers;
}

StyleRenderers &styleRenderers()
{
    return installed ? *installed : emptyRenderers;
}

} // namespace app
