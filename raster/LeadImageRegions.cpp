// Regions drawn with the mouse, the floater lifted from a region and
// dragged, and the rubber band. Regions are kept in image pixels; the
// feedback of a drag is painted over the picture (a widget cannot draw in
// XOR), so erasing it is a repaint.

#include "raster/LeadImageDisplay.h"

#include "platform/imaging/ImagingErrors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cstring>

namespace raster {

namespace img = platform::imaging;

namespace {

// Copies the pixels of `src` inside `mask` (pixels of `src`) into `dst` at `at`.
void copyMasked(QImage &dst, QPoint at, QImage src, const QRegion &mask)
{
    if (src.format() != dst.format())
        src = src.convertToFormat(dst.format(), dst.colorTable());
    const int depth = dst.depth();
    for (QRect r : mask.intersected(src.rect())) {
        const QRect target = r.translated(at).intersected(dst.rect());
        if (target.isEmpty())
            continue;
        r = target.translated(-at);
        for (int y = 0; y < r.height(); ++y) {
            if (depth >= 8) {
                const int bytes = depth / 8;
                std::memcpy(dst.scanLine(target.y() + y) + target.x() * bytes,
                            src.constScanLine(r.y() + y) + r.x() * bytes, static_cast<size_t>(r.width() * bytes));
            } else {
                for (int x = 0; x < r.width(); ++x)
                    dst.setPixel(target.x() + x, target.y() + y, src.pixelIndex(r.x() + x, r.y() + y));
            }
        }
    }
}

// Window pixels moved by `total` as image pixels of a side shown `dst`
// wide for `src` image pixels: rounded towards minus infinity.
int toImage(int total, int src, int dst)
{
    if (dst == 0)
        return 0;
    const long long t = static_cast<long long>(total) * src;
    return static_cast<int>(total >= 0 ? t / dst : (t - dst + 1) / dst);
}

QColor fromColorRef(QRgb c)
{
    return QColor(qBlue(c), qGreen(c), qRed(c));
}

} // namespace

// ---- polygon points and the region ----------------------------------------------------

void TLEADImageDisplay::SetPolygonSize(int n)
{
    n = std::max(0, n);
    polygon_.resize(static_cast<size_t>(n));
    polygonSize_ = n;
    polygonCount_ = std::min(polygonCount_, n);
    LastError = img::SUCCESS;
}

QPoint TLEADImageDisplay::PolygonPoint(int i) const
{
    return i >= 0 && i < polygonSize_ ? polygon_[static_cast<size_t>(i)] : QPoint();
}

void TLEADImageDisplay::SetPolygonPoint(int i, QPoint p)
{
    if (i < 0 || i >= polygonSize_) {
        LastError = 0;
        Raise(QStringLiteral("%1 \nPolygonPoint[]: Index out of range.").arg(Name), 0, ELEADImageError::Range);
    }
    polygon_[static_cast<size_t>(i)] = p;
    LastError = img::SUCCESS;
}

bool TLEADImageDisplay::HasRgn()
{
    LastError = img::SUCCESS;
    return !rgn_.isEmpty();
}

int TLEADImageDisplay::FreeRgn()
{
    CheckBusy();
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nFreeRgn: Image not allocated.").arg(Name), img::ERROR_NO_BITMAP);
    }
    rgn_ = QRegion();
    if (bool_("EnableFloater"))
        freeFloater();
    StoreCurrentItem();
    RgnLeft = RgnTop = RgnWidth = RgnHeight = 0;
    if (RegionFrameType != 0)
        Repaint();
    LastError = img::SUCCESS;
    return img::SUCCESS;
}

QRegion TLEADImageDisplay::GetRgnHandle()
{
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nGetRgnHandle: Image not allocated.").arg(Name), img::ERROR_NO_BITMAP);
    }
    LastError = img::SUCCESS;
    return rgn_;
}

QTransform TLEADImageDisplay::windowToImage() const
{
    if (dst_.width() == 0 || dst_.height() == 0)
        return QTransform();
    return QTransform()
        .scale(double(src_.width()) / dst_.width(), double(src_.height()) / dst_.height())
        .translate(-dst_.x(), -dst_.y());
}

void TLEADImageDisplay::updateRegionBounds(bool freeEmpty)
{
    if (!HasBitmap)
        return;
    const QRect bounds = rgn_.boundingRect();
    if (freeEmpty && bounds.isEmpty()) {
        rgn_ = QRegion();
        if (bool_("EnableFloater"))
            freeFloater();
        StoreCurrentItem();
    }
    RgnLeft = bounds.x();
    RgnTop = bounds.y();
    RgnWidth = bounds.width();
    RgnHeight = bounds.height();
}

void TLEADImageDisplay::regionSet(const QRegion &region)
{
    switch (RegionCombineMode) {
    case 0: rgn_ = rgn_.intersected(region); break;
    case 2: rgn_ = rgn_.united(region); break;
    case 3: rgn_ = rgn_.xored(region); break;
    case 4: rgn_ = rgn_.subtracted(region); break;
    default: rgn_ = region; break;
    }
    updateRegionBounds(true);
    if (!rgn_.isEmpty()) {
        if (bool_("EnableFloater"))
            background_ = Bitmap.pixels.copy(rgn_.boundingRect());
        StoreCurrentItem();
        if (RegionFrameType == 2 && !regionTimer_) {
            regionTimer_ = true;
            SetRegionTimer(true);
        }
    }
    if (bool_("PaintRgnOnly") || RegionFrameType != 0)
        Repaint();
    LastError = img::SUCCESS;
    if (OnRgnChange)
        OnRgnChange(*this);
}

void TLEADImageDisplay::RegionTimerStep()
{
    if (RegionFrameType != 1 && RegionFrameType != 2) {
        regionTimer_ = false;
        SetRegionTimer(false);
        return;
    }
    if (!rgn_.isEmpty() && RegionFrameType == 2) {
        phase_ = (phase_ + 1) % 8;
        Repaint();
    }
}

// ---- the floater ----------------------------------------------------------------------------

void TLEADImageDisplay::freeFloater()
{
    floater_ = QImage();
    background_ = QImage();
    floaterRegion_ = QRegion();
    floaterRect_ = floaterWindow_ = QRect();
    dragging_ = false;
}

void TLEADImageDisplay::imagePixelsChanged()
{
    shownImage_ = img::shownPixels(Bitmap);
    StoreCurrentItem();
    Repaint();
    panWindowUpdate();
    markDataModified();
}

void TLEADImageDisplay::liftFloater(QPoint)
{
    const QRect bounds = rgn_.boundingRect();
    floaterRect_ = bounds;
    floaterRegion_ = rgn_.translated(-bounds.topLeft());
    const int fw = FrameWidth();
    const QTransform toWindow = windowToImage().inverted();
    floaterWindow_ = toWindow.mapRect(QRectF(bounds)).toAlignedRect().translated(fw, fw);
    rgn_ = QRegion();
    floater_ = Bitmap.pixels.copy(bounds);
    // A floater dropped before put what it covered aside: it goes back, so
    // that dragging again moves the floater rather than copying it.
    if (!background_.isNull())
        copyMasked(Bitmap.pixels, bounds.topLeft(), background_, QRegion(background_.rect()));
    else
        background_ = floater_;
    if (floater_.isNull() || background_.isNull() || floaterRegion_.isEmpty()) {
        freeFloater();
        Raise(QStringLiteral("%1 \nError Allocating Floater Bitmaps.").arg(Name), img::ERROR_NO_MEMORY);
    }
    imagePixelsChanged();
}

void TLEADImageDisplay::dropFloater()
{
    const QRect moved = floaterRect_.translated(toImage(dragTotal_.x(), src_.width(), dst_.width()),
                                                toImage(dragTotal_.y(), src_.height(), dst_.height()));
    background_ = Bitmap.pixels.copy(moved);
    rgn_ = floaterRegion_.translated(moved.topLeft());
    copyMasked(Bitmap.pixels, moved.topLeft(), floater_, floaterRegion_);
    floaterRect_ = moved;
    floaterWindow_ = QRect();
    imagePixelsChanged();
    updateRegionBounds(false);
    if (OnRgnChange)
        OnRgnChange(*this);
}

// ---- the mouse --------------------------------------------------------------------------------

void TLEADImageDisplay::MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint at)
{
    if (button == Qt::LeftButton && bool_("EnableOLEDragMethod") && HasBitmap && img::isAllocated(&Bitmap)) {
        StartDrag();
        return;
    }
    if ((buttons & Qt::RightButton) || playing_ || magRunning_ || dragging_)
        return;
    const int fw = FrameWidth();
    const QRect area = shown_.intersected(QRect(QPoint(0, 0), client_).adjusted(fw, fw, -fw, -fw));
    if (!HasImage() || !area.contains(at))
        return;
    tracking_ = false;
    if (bool_("EnableFloater") && !rgn_.isEmpty() && rgn_.contains(ClientToImage(at))) {
        liftFloater(at);
        dragTotal_ = QPoint();
        start_ = at;
        dragging_ = true;
        CaptureMouse(true);
        return;
    }
    if (RegionTracking != 0) {
        if (bool_("AutoFloater"))
            freeFloater();
        if (!rgn_.isEmpty())
            FreeRgn();
    }
    if (RegionTracking == 0 && !RubberBandEnabled)
        return;
    tracking_ = true;
    RegionCombineMode = 1;
    if (RegionTracking == 4) {
        polygonCount_ = 0;
        SetPolygonSize(50);
        polygon_[0] = at;
        polygonCount_ = 1;
    }
    if (RegionTracking == 0)
        RubberBandRect = QRect();
    start_ = end_ = at;
    CaptureMouse(true);
    Repaint();
}

void TLEADImageDisplay::MouseMove(Qt::MouseButtons buttons, QPoint at)
{
    if ((buttons & Qt::RightButton) || playing_ || magRunning_)
        return;
    if (dragging_) {
        const QPoint step = at - start_;
        dragTotal_ += step;
        floaterWindow_.translate(step);
        start_ = at;
        Repaint();
        return;
    }
    if (!tracking_)
        return;
    at.setX(std::clamp(at.x(), shown_.left(), shown_.left() + shown_.width()));
    at.setY(std::clamp(at.y(), shown_.top(), shown_.top() + shown_.height()));
    if (RegionTracking == 4) {
        if (polygonCount_ == polygonSize_)
            SetPolygonSize(polygonSize_ + 50);
        polygon_[static_cast<size_t>(polygonCount_++)] = at;
    }
    end_ = at;
    if (RegionTracking == 0)
        RubberBandRect = QRect(start_, end_);
    Repaint();
}

void TLEADImageDisplay::MouseUp(Qt::MouseButton, Qt::MouseButtons buttons, QPoint at)
{
    if ((buttons & Qt::RightButton) || playing_)
        return;
    if (dragging_) {
        MouseMove(buttons, at);
        dragging_ = false;
        dropFloater();
        CaptureMouse(false);
        return;
    }
    if (!tracking_)
        return;
    MouseMove(buttons, at);
    tracking_ = false;
    CaptureMouse(false);
    Repaint(); // the feedback goes
    if (RegionTracking == 0) {
        // Normalized as corners: the edges the mouse reached stay the edges.
        RubberBandRect = QRect(QPoint(std::min(start_.x(), end_.x()), std::min(start_.y(), end_.y())),
                               QPoint(std::max(start_.x(), end_.x()), std::max(start_.y(), end_.y())));
        if (OnRubberBand)
            OnRubberBand(*this);
        return;
    }
    // The dragged rectangle, right and bottom edges outside, inside the frame.
    const int fw = FrameWidth();
    const QPoint a = start_ - QPoint(fw, fw), b = end_ - QPoint(fw, fw);
    const QRect window(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                       QSize(std::abs(a.x() - b.x()), std::abs(a.y() - b.y())));
    const QTransform toImage = windowToImage();
    auto mapX = [&](int x) { return static_cast<int>(std::floor(toImage.map(QPointF(x, 0)).x() + 1e-9)); };
    auto mapY = [&](int y) { return static_cast<int>(std::floor(toImage.map(QPointF(0, y)).y() + 1e-9)); };
    const QRect image(QPoint(mapX(window.left()), mapY(window.top())),
                      QPoint(mapX(window.left() + window.width()) - 1, mapY(window.top() + window.height()) - 1));
    QRegion region;
    switch (RegionTracking) {
    case 1:
        if (image.isValid())
            region = QRegion(image);
        break;
    case 2: {
        QPainterPath path;
        path.addRoundedRect(QRectF(window), 25, 25);
        region = QRegion(toImage.map(path).toFillPolygon().toPolygon());
        break;
    }
    case 3:
        if (image.isValid())
            region = QRegion(image, QRegion::Ellipse);
        break;
    case 4: {
        QPolygon points;
        for (int i = 0; i < polygonCount_; ++i)
            points << toImage.map(polygon_[static_cast<size_t>(i)] - QPoint(fw, fw));
        region = QRegion(points, Qt::OddEvenFill);
        polygonCount_ = 0;
        break;
    }
    default:
        break;
    }
    regionSet(region);
}

// ---- painting over the picture ------------------------------------------------------------

void TLEADImageDisplay::paintOverlay(QPainter &p)
{
    const int fw = FrameWidth();
    const QTransform toWindow = windowToImage().inverted() * QTransform::fromTranslate(fw, fw);
    p.save();
    p.setClipRect(QRect(QPoint(0, 0), client_).adjusted(fw, fw, -fw, -fw));
    if (!rgn_.isEmpty() && RegionFrameType != 0) {
        QPainterPath path;
        path.addRegion(rgn_);
        path = toWindow.map(path.simplified());
        if (RegionFrameType == 3) {
            p.fillPath(path, fromColorRef(RegionColor));
        } else {
            // Dashes of four pixels; the phase moves them along the outline.
            QPen light(Qt::white, 1, Qt::CustomDashLine), dark(Qt::black, 1, Qt::CustomDashLine);
            light.setDashPattern({4, 4});
            dark.setDashPattern({4, 4});
            dark.setDashOffset(4 + phase_);
            light.setDashOffset(phase_);
            p.strokePath(path, light);
            p.strokePath(path, dark);
        }
        if (RegionFrameType == 2 && RegionTracking == 0 && !regionTimer_) {
            regionTimer_ = true;
            SetRegionTimer(true);
        }
    }
    if (tracking_) {
        QPen pen(Qt::black, 1, Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRect r = QRect(start_, end_).normalized();
        switch (RegionTracking) {
        case 0:
        case 1: p.drawRect(r); break;
        case 2: p.drawRoundedRect(r, 25, 25); break;
        case 3: p.drawEllipse(r); break;
        case 4: p.drawPolyline(polygon_.data(), polygonCount_); break;
        default: break;
        }
    }
    if (dragging_ && !floater_.isNull()) {
        p.setClipRegion(toWindow.map(floaterRegion_.translated(floaterRect_.topLeft()))
                            .translated(floaterWindow_.topLeft() - toWindow.mapRect(floaterRect_).topLeft()),
                        Qt::IntersectClip);
        p.drawImage(QRectF(floaterWindow_), floater_, QRectF(floater_.rect()));
    }
    p.restore();
}

} // namespace raster
