// The view of the map control: scale arithmetic, the conversions between map
// and picture coordinates, measuring the picture, fitting the view and the
// ring of the last views.

#include "mapengine/MapControlCore.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// How far from the picture's middle a picture point may lie (0.01 mm). The
// platform's coordinates are good for 27 bits; a picture is a few hundred
// thousand units across, so nothing visible is ever moved.
constexpr long double kFarthest = 134217728.0L;

// Round half to even of a value well inside the 32-bit range, exactly in
// extended precision (the library's rounding of long doubles is slow, and
// this runs for every vertex drawn).
int roundEven(long double v)
{
    const std::int64_t i = static_cast<std::int64_t>(v);   // towards zero
    const long double f = v - static_cast<long double>(i);  // exact
    if (f > 0.5L || (f == 0.5L && (i & 1)))
        return static_cast<int>(i + 1);
    if (f < -0.5L || (f == -0.5L && (i & 1)))
        return static_cast<int>(i - 1);
    return static_cast<int>(i);
}

bool holdsView(const TZoomEntry &e)
{
    return e.Scale != 0 && e.CenterX != 0 && e.CenterY != 0;
}

// The scale at which a box fits the picture with a margin of 1.1 (0 when the
// box is a point). A box of no width fits its height and the other way round.
double fittingScale(double width, double height, double pictureWidth, double pictureHeight)
{
    const double a = width != 0 ? pictureWidth / (std::abs(width) * 1.1) : 0;
    const double b = height != 0 ? pictureHeight / (std::abs(height) * 1.1) : 0;
    if (a != 0 && b != 0)
        return std::min(a, b);
    return a != 0 ? a : b;
}

} // namespace

MapControlCore::MapControlCore()
{
    setEngineServices(this);
}

MapControlCore::~MapControlCore() = default;

void MapControlCore::SetClientSize(int width, int height)
{
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
}

platform::gdi::Canvas &MapControlCore::ControlCanvas()
{
    // A painter needs pixels: an empty picture gets one.
    if (bitmap_.width() == 0 || bitmap_.height() == 0)
        bitmap_.setSize(std::max(1, clientWidth_), std::max(1, clientHeight_));
    return bitmap_.canvas();
}

void MapControlCore::FitToSize(int width, int height)
{
    SetClientSize(width, height);
    bitmap_.setSize(ClientWidth(), ClientHeight());
    // The back buffer has the screen's size; a control beyond it (a window
    // larger than the screen) would keep overlay traces where it ends.
    if (FBackBuffer.width() < ClientWidth() || FBackBuffer.height() < ClientHeight())
        FBackBuffer.setSize(std::max(FBackBuffer.width(), ClientWidth()), std::max(FBackBuffer.height(), ClientHeight()));
    if (ClientWidth() > 0 && ClientHeight() > 0)
        ControlCanvas().drawMetafile(FMapPicture, platform::gdi::Rect{0, 0, FMapPicture.width(), FMapPicture.height()});
}

double MapControlCore::ScaleToDenominator(double scale)
{
    if (scale == 0 || scale < 2e-63 || !(scale == scale))
        return 0;
    return std::min(100000.0 / scale, 2147483647.0);
}

double MapControlCore::DenominatorToScale(double denominator)
{
    if (denominator == 0 || !(denominator == denominator))
        return 0;
    const double s = 100000.0 / denominator;
    if (s < 0)
        return 0;
    return std::min(s, 2147483647.0);
}

QPoint MapControlCore::MapToLogical(long double x, long double y) const
{
    const long double s = FScale;
    long double dx = (x - static_cast<long double>(FCenterX)) * s;
    long double dy = (y - static_cast<long double>(FCenterY)) * s;
    if (!(dx == dx))
        dx = 0;
    if (!(dy == dy))
        dy = 0;
    const long double far = std::max(std::fabs(dx), std::fabs(dy));
    if (far > kFarthest) {
        if (std::isinf(dx) || std::isinf(dy)) {
            dx = std::isinf(dx) ? std::copysign(kFarthest, dx) : 0;
            dy = std::isinf(dy) ? std::copysign(kFarthest, dy) : 0;
        } else {
            // Along the line from the middle, so a line from the view towards
            // the far point keeps its direction.
            const long double k = kFarthest / far;
            dx *= k;
            dy *= k;
        }
    }
    const long double X = std::clamp(dx + static_cast<long double>(FPictureWidth) / 2, -2147483648.0L, 2147483647.0L);
    const long double Y = std::clamp(dy - static_cast<long double>(FPictureHeight) / 2, -2147483648.0L, 2147483647.0L);
    return QPoint(roundEven(X), roundEven(Y));
}

void MapControlCore::LogicalToMap(const QPointF &logical, TMapPoint &result) const
{
    const double s = FScale;
    if (s == 0)
        return;
    if (platform::roundHalfEven(s * 10000) == 0) {
        result = TMapPoint{FCenterX, FCenterY, 0};
        return;
    }
    result.X = (logical.x() - FPictureWidth / 2) / s + FCenterX;
    result.Y = (FPictureHeight / 2 + logical.y()) / s + FCenterY;
    result.Z = 0;
}

void MapControlCore::ResetPicture()
{
    // The picture's size in 0.01 mm is that of a metafile of the control's
    // size in pixels, measured on the screen.
    const platform::gdi::DeviceMetrics screen = platform::gdi::screenMetrics();
    platform::gdi::Metafile probe(screen);
    probe.setSizeInPixels(ClientWidth(), ClientHeight());
    FPictureWidth = probe.mmWidth();
    FPictureHeight = probe.mmHeight();
    // A control of no size has the screen's pixel size.
    FUnitsPerPixelX = ClientWidth() > 0 ? FPictureWidth / ClientWidth() : screen.horzSize * 100.0 / screen.horzRes;
    FUnitsPerPixelY =
        ClientHeight() > 0 ? FPictureHeight / ClientHeight() : screen.vertSize * 100.0 / screen.vertRes;
    if (FCenterX == 0 && FCenterY == 0 && FScale == 0) {
        FCenterX = 1000;
        FCenterY = 1000;
        FScale = DenominatorToScale(500);
    }
}

void MapControlCore::CalcVisibleExtent()
{
    TMapProject &p = FProject;
    p.MtMinX = 0;
    p.MtMinY = 0;
    p.MtMaxX = p.MtMinX;
    p.MtMaxY = p.MtMinY;
    p.CenterX = p.MtMinX;
    p.CenterY = p.MtMinY;
    for (const TMapLayer &l : p.Layers) {
        if (!l.Visible)
            continue;
        // A layer without objects has no extent (all four bounds 0): it must
        // not pull the view to the origin.
        if (l.MtMinX == 0 && l.MtMinY == 0 && l.MtMaxX == 0 && l.MtMaxY == 0)
            continue;
        p.MtMinX = p.MtMinX == 0 ? l.MtMinX : std::min(p.MtMinX, l.MtMinX);
        p.MtMinY = p.MtMinY == 0 ? l.MtMinY : std::min(p.MtMinY, l.MtMinY);
        p.MtMaxX = p.MtMaxX == 0 ? l.MtMaxX : std::max(p.MtMaxX, l.MtMaxX);
        p.MtMaxY = p.MtMaxY == 0 ? l.MtMaxY : std::max(p.MtMaxY, l.MtMaxY);
    }
    p.CenterX = p.MtMinX + (p.MtMaxX - p.MtMinX) / 2;
    p.CenterY = p.MtMinY + (p.MtMaxY - p.MtMinY) / 2;
}

void MapControlCore::ZoomAll()
{
    CalcVisibleExtent();
    FCenterX = FProject.CenterX;
    FCenterY = FProject.CenterY;
    ResetPicture();
    const double s = fittingScale(FProject.MtMaxX - FProject.MtMinX, FProject.MtMaxY - FProject.MtMinY,
                                  FPictureWidth, FPictureHeight);
    if (s != 0)
        FScale = s;
    if (FScale == 0)
        FScale = DenominatorToScale(1);
}

void MapControlCore::ShowSelectedObject(int index, bool fit)
{
    if (index < 0 || static_cast<size_t>(index) >= FSelection.Entries.size())
        return;
    const TSelObject &e = FSelection.Entries[static_cast<size_t>(index)];
    FCenterX = e.XMax - (e.XMax - e.XMin) / 2;
    FCenterY = e.YMax - (e.YMax - e.YMin) / 2;
    if (fit) {
        const double s = fittingScale(e.XMax - e.XMin, e.YMax - e.YMin, FPictureWidth, FPictureHeight);
        if (s != 0)
            FScale = s;
    }
}

void MapControlCore::ZoomHistory(int mode)
{
    const TZoomEntry current{FScale, FCenterX, FCenterY};
    auto entry = [this](int pos) -> TZoomEntry & { return FZoomHistory[static_cast<size_t>(pos - 1)]; };
    switch (mode) {
    case 0:
        if (FZoomPos == 0 || entry(FZoomPos) != current) {
            FZoomPos = FZoomPos >= 20 ? 1 : FZoomPos + 1;
            entry(FZoomPos) = current;
        }
        break;
    case 1:
    case 2: {
        if (FZoomPos < 1 || FZoomPos > 20)
            return; // nothing stored yet
        int candidate = 0;
        if (mode == 1)
            candidate = FZoomPos == 1 ? 20 : FZoomPos - 1;
        else
            candidate = FZoomPos == 20 ? 1 : FZoomPos + 1;
        const TZoomEntry &e = entry(candidate);
        if (!holdsView(e))
            return;
        FZoomPos = candidate;
        FScale = e.Scale;
        FCenterX = e.CenterX;
        FCenterY = e.CenterY;
        break;
    }
    default:
        break;
    }
}

void MapControlCore::SnapshotView()
{
    processPendingPaint();
    if (FBackBuffer.width() > 0 && FBackBuffer.height() > 0 && bitmap_.width() > 0 && bitmap_.height() > 0)
        FBackBuffer.blockCopy(0, 0, bitmap_,
                              QRect(0, 0, ClientWidth(), ClientHeight()) & QRect(0, 0, bitmap_.width(), bitmap_.height()));
    ZoomHistory(0);
}

int MapControlCore::scaledSize(int size, int scale, double denominator) const
{
    if (scale <= 0)
        return size;
    const double d = denominator > 0 ? denominator : currentDenominator();
    if (d <= 0)
        return size; // no view yet: nothing to scale by
    return static_cast<int>(platform::roundHalfEven(static_cast<double>(size) * scale / d));
}

void MapControlCore::DrawRasterImage(platform::gdi::Canvas &, const QString &, double, double, double, double,
                                     double, int, int, int, int, int)
{
    // Raster images are drawn by the raster subsystem.
}

void MapControlCore::DrawMetafileRaster(platform::gdi::Canvas &, const QString &, double, double, double, double,
                                        double, int, int)
{
    // Pictures of raster objects are drawn by the raster subsystem.
}
