#if !__has_include("mapengine/MapVyk.h")
#include "app/MapVykStandIn.h"

#include "platform/gdi/Canvas.h"

#include <algorithm>

TMapVyk::TMapVyk(QWidget *parent) : QWidget(parent) {}

TMapVyk::~TMapVyk() = default;

void TMapVyk::LogicalToMap(const QPointF &logical, TMapPoint &result) const
{
    if (FScale == 0)
        return;
    result.X = (logical.x() - FPictureWidth / 2) / FScale + FCenterX;
    result.Y = (FPictureHeight / 2 + logical.y()) / FScale + FCenterY;
    result.Z = 0;
}

void TMapVyk::ResetPicture()
{
    const platform::gdi::DeviceMetrics screen = platform::gdi::screenMetrics();
    FUnitsPerPixelX = screen.horzSize * 100.0 / screen.horzRes;
    FUnitsPerPixelY = screen.vertSize * 100.0 / screen.vertRes;
    FPictureWidth = width() * FUnitsPerPixelX;
    FPictureHeight = height() * FUnitsPerPixelY;
    if (FCenterX == 0 && FCenterY == 0 && FScale == 0) {
        FCenterX = 1000;
        FCenterY = 1000;
        FScale = DenominatorToScale(500);
    }
}

void TMapVyk::FitToParent()
{
    if (QWidget *p = parentWidget())
        resize(p->size());
}

void TMapVyk::ZoomAll()
{
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const TMapLayer &l : FProject.Layers)
        if (l.Visible && !(l.MtMinX == 0 && l.MtMinY == 0 && l.MtMaxX == 0 && l.MtMaxY == 0))
            growBox(minX, minY, maxX, maxY, l.MtMinX, l.MtMinY, l.MtMaxX, l.MtMaxY);
    FCenterX = minX + (maxX - minX) / 2;
    FCenterY = minY + (maxY - minY) / 2;
    ResetPicture();
    const double a = maxX != minX ? FPictureWidth / ((maxX - minX) * 1.2) : 0;
    const double b = maxY != minY ? FPictureHeight / ((maxY - minY) * 1.2) : 0;
    if (a != 0 || b != 0)
        FScale = std::min(a, b);
    if (FScale == 0)
        FScale = DenominatorToScale(1);
}

void TMapVyk::ZoomHistory(int mode)
{
    const TZoomEntry current{FScale, FCenterX, FCenterY};
    auto entry = [this](int pos) -> TZoomEntry & { return FZoomHistory[static_cast<size_t>(pos - 1)]; };
    if (mode == 0) {
        if (FZoomPos == 0 || entry(FZoomPos) != current) {
            FZoomPos = FZoomPos >= 20 ? 1 : FZoomPos + 1;
            entry(FZoomPos) = current;
        }
        return;
    }
    if (FZoomPos < 1 || FZoomPos > 20)
        return;
    const int candidate = mode == 1 ? (FZoomPos == 1 ? 20 : FZoomPos - 1) : (FZoomPos == 20 ? 1 : FZoomPos + 1);
    const TZoomEntry &e = entry(candidate);
    if (e.Scale == 0 || e.CenterX == 0 || e.CenterY == 0)
        return;
    FZoomPos = candidate;
    FScale = e.Scale;
    FCenterX = e.CenterX;
    FCenterY = e.CenterY;
}

void TMapVyk::SnapshotView()
{
    ZoomHistory(0);
}

bool TMapVyk::ExportPicture(const QString &)
{
    return false;
}
#endif
