// The shown imaging control without its window: fitting, scrolling, point
// conversion and painting.

#include "raster/LeadImageDisplay.h"
#include "raster/LeadImageFieldLink.h"
#include "raster/BitmapRecord.h"

#include "platform/imaging/ImagingErrors.h"
#include "platform/ByteOrder.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace raster {

namespace img = platform::imaging;

int zoomedSize(int s, double z)
{
    if (z > 0)
        return static_cast<int>(std::lround(z * s));
    if (z == 0)
        return 1;
    return static_cast<int>(std::lround(s / (1 - z)));
}

ScrollBarSetting scrollBarSetting(int maximum, int minimum, int position, int &page, int imageSide, bool hasImage)
{
    ScrollBarSetting s;
    unsigned max = static_cast<unsigned>(std::max(0, maximum));
    while (max > 0x7FFF) {
        ++s.shift;
        max = (max + 1) / 2;
        minimum /= 2;
    }
    if (page == -1 && hasImage) {
        page = imageSide / 10;
        if (page == 0)
            page = 1;
    }
    s.minimum = minimum;
    s.maximum = static_cast<int>(max);
    s.page = std::max(page, 0);
    s.position = position >> s.shift;
    return s;
}

namespace {

// Bits of the clip sides set directly.
enum : unsigned { ClipLeft = 1, ClipTop = 2, ClipWidth = 4, ClipHeight = 8 };

// The bevelled frame: outer band, plain band, inner band, from the edge in.
void drawFrame(QPainter &p, QRect r, const TLEADImage &c)
{
    auto band = [&](int thickness, bool raised, QRgb hilite, QRgb shadow) {
        for (int i = 0; i < thickness && r.width() > 1 && r.height() > 1; ++i) {
            const QColor tl(raised ? hilite : shadow), br(raised ? shadow : hilite);
            p.setPen(tl);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(br);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    };
    auto prop = [&](const char *n) { return c.Property(QString::fromLatin1(n)); };
    band(prop("FrameOuterThickness").toInt(), prop("FrameOuterStyle").toInt() == 1,
         prop("FrameOuterHiliteColor").toUInt(), prop("FrameOuterShadowColor").toUInt());
    const int plain = prop("FrameThickness").toInt();
    if (plain > 0) {
        const QColor color(static_cast<QRgb>(prop("FrameColor").toUInt()));
        p.fillRect(QRect(r.left(), r.top(), r.width(), plain), color);
        p.fillRect(QRect(r.left(), r.bottom() - plain + 1, r.width(), plain), color);
        p.fillRect(QRect(r.left(), r.top(), plain, r.height()), color);
        p.fillRect(QRect(r.right() - plain + 1, r.top(), plain, r.height()), color);
        r.adjust(plain, plain, -plain, -plain);
    }
    band(prop("FrameInnerThickness").toInt(), prop("FrameInnerStyle").toInt() == 1,
         prop("FrameInnerHiliteColor").toUInt(), prop("FrameInnerShadowColor").toUInt());
}

} // namespace

TLEADImageDisplay::TLEADImageDisplay(QObject *owner) : TLEADImage(owner)
{
    Window = static_cast<TLEADImageWindow *>(this);
    // Painting while loading: each image is laid out as it starts and its
    // rows are painted as they arrive.
    LoadImageStarted = [this](TLEADImage &, const img::Bitmap &) {
        resetForNewImage();
        PaintNow(QRect(QPoint(0, 0), client_));
    };
    LoadRowsArrived = [this](TLEADImage &, const img::Bitmap &image, int first, int rows, bool bottomUp) {
        if (image.height <= 0 || shown_.height() <= 0)
            return;
        if (bottomUp)
            first = image.height - first - rows;
        const int top = shown_.y() + static_cast<int>(static_cast<long long>(first) * shown_.height() / image.height);
        const int bottom =
            shown_.y() + static_cast<int>((static_cast<long long>(first + rows) * shown_.height() + image.height - 1)
                                          / image.height);
        PaintNow(QRect(0, top, client_.width(), bottom - top).intersected(QRect(QPoint(0, 0), client_)));
    };
}

TLEADImageDisplay::~TLEADImageDisplay()
{
    // The core outlives this part of the control: it must not call it.
    Window = nullptr;
}


int TLEADImageDisplay::FrameWidth() const
{
    return int_("FrameThickness") + int_("FrameInnerThickness") + int_("FrameOuterThickness");
}

TPaintSizeMode TLEADImageDisplay::PaintSizeMode() const
{
    return static_cast<TPaintSizeMode>(int_("PaintSizeMode"));
}

int TLEADImageDisplay::PaintZoomFactor() const
{
    const double z = PaintSizeMode() == smStretch ? std::min(zoomX_, zoomY_) : zoomX_;
    return static_cast<int>(std::lround(z * 100));
}

void TLEADImageDisplay::Repaint()
{
    if (bool_("AutoRepaint"))
        InvalidateWindow();
}

// ---- the image ------------------------------------------------------------------------

void TLEADImageDisplay::resetForNewImage()
{
    if (HasBitmap && !Bitmap.pixels.isNull()) {
        shownImage_ = img::shownPixels(Bitmap);
        imageW_ = img::shownWidth(Bitmap);
        imageH_ = img::shownHeight(Bitmap);
        imageXRes_ = Bitmap.xResolution;
        imageYRes_ = Bitmap.yResolution;
    } else {
        shownImage_ = QImage();
        imageW_ = imageH_ = imageXRes_ = imageYRes_ = 0;
    }
    if (bool_("AutoSetRects")) {
        hPos_ = vPos_ = 0;
        src_ = srcClip_ = QRect(0, 0, imageW_, imageH_);
        UpdateScrollRanges();
    }
}

void TLEADImageDisplay::BitmapChanged()
{
    TLEADImage::BitmapChanged();
    resetForNewImage();
    Repaint();
    panWindowUpdate();
    // Loads too change what the bound field should hold.
    markDataModified();
    if (magRunning_) {
        HideMagGlass();
        if (HasImage())
            ShowMagGlass();
        else
            magRunning_ = false;
    }
    DisplayChanged();
}

void TLEADImageDisplay::imageChanged()
{
    shownImage_ = HasBitmap ? img::shownPixels(Bitmap) : QImage();
    Repaint();
    panWindowUpdate();
    if (magRunning_) {
        HideMagGlass();
        ShowMagGlass();
    }
}

void TLEADImageDisplay::ImageEvent(int code)
{
    TLEADImage::ImageEvent(code);
    if (code == 1) {
        // A cleared control closes its pan window, stops playing and drops
        // its region with the image.
        if (panExists_)
            SetPanWinVisible(false);
        if (animationEnabled_) {
            animationEnabled_ = playing_ = false;
            SetAnimationTimer(false, 0);
        }
        rgn_ = QRegion();
        freeFloater();
        RgnLeft = RgnTop = RgnWidth = RgnHeight = 0;
    } else if (code == 5 && bool_("AutoAnimate") && InfoAnimated && BitmapList().size() > 1) {
        AnimationEnable(true);
    }
}

// ---- fitting and scroll ranges ------------------------------------------------------

void TLEADImageDisplay::fit()
{
    int w = imageW_, h = imageH_;
    if (bool_("PaintSizeUseDPI")) {
        w = static_cast<int>(static_cast<long long>(w) * ScreenDpiX / std::max(1, imageXRes_));
        h = static_cast<int>(static_cast<long long>(h) * ScreenDpiY / std::max(1, imageYRes_));
    }
    if (w == 0 || h == 0) {
        dst_.setWidth(0);
        dst_.setHeight(0);
        if (bool_("AutoScroll")) {
            hMax_ = vMax_ = 0;
            hPos_ = vPos_ = 0;
            setBars();
        }
        return;
    }
    const int fw = FrameWidth();
    switch (PaintSizeMode()) {
    case smStretch:
        zoomX_ = double(visW_) / w;
        zoomY_ = double(visH_) / h;
        break;
    case smFitSides:
        zoomX_ = zoomY_ = double(client_.width() + (vBarShown_ ? VScrollBarWidth : 0) - 2 * fw) / w;
        break;
    case smFit:
        zoomX_ = zoomY_ = std::min(double(visW_) / w, double(visH_) / h);
        break;
    case smNormal:
    case smZoom:
        break;
    }
    dst_.setWidth(zoomedSize(w, zoomX_));
    dst_.setHeight(zoomedSize(h, zoomY_));
    followClip();
}

void TLEADImageDisplay::followClip()
{
    QRect clip = dst_;
    if (clipSides_ & ClipLeft)
        clip.moveLeft(clipSet_.x() - dst_.x());
    if (clipSides_ & ClipTop)
        clip.moveTop(clipSet_.y() - dst_.y());
    if (clipSides_ & ClipWidth)
        clip.setWidth(clipSet_.width());
    if (clipSides_ & ClipHeight)
        clip.setHeight(clipSet_.height());
    dstClip_ = clip;
    clipSides_ = 0;
}

void TLEADImageDisplay::updateShown()
{
    const int fw = FrameWidth();
    shown_ = dst_.translated(fw, fw);
}

void TLEADImageDisplay::UpdateScrollRanges()
{
    if (updatingRanges_)
        return;
    updatingRanges_ = true;
    const int fw = FrameWidth();
    visW_ = client_.width() - 2 * fw;
    visH_ = client_.height() - 2 * fw;
    if (PaintSizeMode() == smFitSides) {
        if (vBarShown_)
            visW_ += VScrollBarWidth;
        if (hBarShown_)
            visH_ += HScrollBarHeight;
    }
    if (!scrolling_) {
        if (bool_("AutoSetRects"))
            fit();
        // The maxima stay in pixels: only the bars count in shifted units,
        // so a second update does not shrink the range to a fraction.
        vMax_ = std::max(0, dst_.height() - visH_);
        hMax_ = std::max(0, dst_.width() - visW_);
        hPos_ = std::clamp(hPos_, 0, hMax_);
        vPos_ = std::clamp(vPos_, 0, vMax_);
        if (bool_("AutoSize") && HasBitmap) {
            const QSize want(dst_.width() + 2 * fw, dst_.height() + 2 * fw);
            if (want != client_)
                ResizeClient(want);
        } else if (bool_("AutoScroll")) {
            dst_.moveLeft(-hPos_);
            dst_.moveTop(-vPos_);
        }
        if (bool_("AutoSetRects"))
            followClip();
        updateShown();
    }
    if (bool_("CenterImage")) {
        QRect c = shown_;
        bool moved = false;
        if (shown_.width() < client_.width()) {
            c.moveLeft(client_.width() / 2 - shown_.width() / 2);
            moved = true;
        }
        if (shown_.height() < client_.height()) {
            c.moveTop(client_.height() / 2 - shown_.height() / 2);
            moved = true;
        }
        if (moved) {
            dst_ = c.translated(-fw, -fw);
            dstClip_ = dst_;
            shown_ = c;
        }
    }
    setBars();
    updatingRanges_ = false;
    panWindowUpdate();
    DisplayChanged();
}

void TLEADImageDisplay::setBars()
{
    const bool image = HasImage();
    hBar_ = scrollBarSetting(bool_("AutoScroll") ? hMax_ : 0, 0, hPos_, hPage_, imageW_, image);
    vBar_ = scrollBarSetting(bool_("AutoScroll") ? vMax_ : 0, 0, vPos_, vPage_, imageH_, image);
    ScrollBarsChanged();
}

void TLEADImageDisplay::SetClientSize(QSize size)
{
    client_ = size;
    UpdateScrollRanges();
}

void TLEADImageDisplay::SetScrollBarsShown(bool horizontal, bool vertical)
{
    hBarShown_ = horizontal;
    vBarShown_ = vertical;
}

// ---- scrolling --------------------------------------------------------------------------

void TLEADImageDisplay::ScrollBy(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    dx = std::clamp(dx, -hPos_, hMax_ - hPos_);
    dy = std::clamp(dy, -vPos_, vMax_ - vPos_);
    hPos_ += dx;
    vPos_ += dy;
    dst_.moveLeft(dst_.x() - dx);
    if (dst_.x() > 0) {
        dst_.moveLeft(0);
        hPos_ = 0;
    }
    dstClip_.moveLeft(dst_.x());
    dst_.moveTop(dst_.y() - dy);
    if (dst_.y() > 0) {
        dst_.moveTop(0);
        vPos_ = 0;
    }
    dstClip_.moveTop(dst_.y());
    updateShown();
    const QRect area = shown_.intersected(QRect(QPoint(0, 0), client_));
    ScrollWindow(-dx, -dy, area);
    setBars();
    panWindowUpdate();
    DisplayChanged();
    ImageEvent(11);
}

void TLEADImageDisplay::ScrollMessage(Qt::Orientation bar, int code, int thumb)
{
    if (!bool_("EnableScroll") || painting_)
        return;
    scrolling_ = true;
    const bool h = bar == Qt::Horizontal;
    const int pos = h ? hPos_ : vPos_, max = h ? hMax_ : vMax_;
    const int line = h ? HLineStep : VLineStep;
    const int page = h ? hPage_ : vPage_;
    const int shift = h ? hBar_.shift : vBar_.shift;
    int amount = 0;
    switch (code) {
    case SB_LINEUP: amount = -line; break;
    case SB_LINEDOWN: amount = line; break;
    case SB_PAGEUP: amount = -page; break;
    case SB_PAGEDOWN: amount = page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: amount = (thumb << shift) - pos; break;
    case SB_TOP: amount = -pos; break;
    case SB_BOTTOM: amount = max - pos; break;
    default: break;
    }
    amount = std::clamp(amount, -pos, std::max(-pos, max - pos));
    const bool autoScroll = bool_("AutoScroll");
    if (amount != 0 && autoScroll) {
        if (OnBeforeScroll)
            OnBeforeScroll(*this);
        if (h)
            ScrollBy(amount, 0);
        else
            ScrollBy(0, amount);
    }
    DisplayChanged();
    scrolling_ = false;
    if (autoScroll && OnScroll)
        OnScroll(*this);
}

void TLEADImageDisplay::MouseWheel(bool forward, bool shift, bool buttonDown)
{
    if (buttonDown)
        return;
    if (shift)
        ScrollMessage(Qt::Horizontal, forward ? SB_PAGEDOWN : SB_PAGEUP);
    else
        ScrollMessage(Qt::Vertical, forward ? SB_PAGEUP : SB_PAGEDOWN);
}

bool TLEADImageDisplay::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!bool_("EnableKeyboard"))
        return false;
    bool taken = true;
    switch (key) {
    case Qt::Key_PageUp: ScrollMessage(Qt::Vertical, SB_PAGEUP); break;
    case Qt::Key_PageDown: ScrollMessage(Qt::Vertical, SB_PAGEDOWN); break;
    case Qt::Key_Up: ScrollMessage(Qt::Vertical, SB_LINEUP); break;
    case Qt::Key_Down: ScrollMessage(Qt::Vertical, SB_LINEDOWN); break;
    case Qt::Key_Left: ScrollMessage(Qt::Horizontal, SB_LINEUP); break;
    case Qt::Key_Right: ScrollMessage(Qt::Horizontal, SB_LINEDOWN); break;
    default: taken = false;
    }
    if (OnKeyDown)
        OnKeyDown(*this, key, modifiers);
    return taken;
}

QPoint TLEADImageDisplay::ClientToImage(QPoint p) const
{
    if (dst_.width() == 0 || dst_.height() == 0)
        return {};
    const int fw = FrameWidth();
    const long long x = static_cast<long long>(src_.width()) * (p.x() - dst_.x() - fw) / dst_.width() + src_.x();
    const long long y = static_cast<long long>(src_.height()) * (p.y() - dst_.y() - fw) / dst_.height() + src_.y();
    if (Bitmap.viewPerspective == 1)
        return QPoint(static_cast<int>(x), static_cast<int>(y));
    // Turned into the stored orientation: the pixel's centre mapped.
    const QPointF stored = shownToStored().map(QPointF(x + 0.5, y + 0.5));
    return QPoint(static_cast<int>(std::floor(stored.x())), static_cast<int>(std::floor(stored.y())));
}

// ---- rectangle setters --------------------------------------------------------------------

void TLEADImageDisplay::SetDstLeft(int v)
{
    LastError = img::SUCCESS;
    if (!bool_("AutoScroll")) {
        dst_.moveLeft(v);
        UpdateScrollRanges();
        Repaint();
    } else if (v < 1) {
        ScrollBy(dst_.x() - v, 0);
    }
}

void TLEADImageDisplay::SetDstTop(int v)
{
    LastError = img::SUCCESS;
    if (!bool_("AutoScroll")) {
        dst_.moveTop(v);
        UpdateScrollRanges();
        Repaint();
    } else if (v < 1) {
        ScrollBy(0, dst_.y() - v);
    }
}

void TLEADImageDisplay::SetDstWidth(int v)
{
    LastError = img::SUCCESS;
    v = std::max(0, v);
    dst_.setWidth(v);
    zoomX_ = imageW_ == 0 ? 1.0 : double(v) / imageW_;
    UpdateScrollRanges();
    Repaint();
}

void TLEADImageDisplay::SetDstHeight(int v)
{
    LastError = img::SUCCESS;
    v = std::max(0, v);
    dst_.setHeight(v);
    zoomY_ = imageH_ == 0 ? 1.0 : double(v) / imageH_;
    UpdateScrollRanges();
    Repaint();
}

void TLEADImageDisplay::SetDstClipLeft(int v)
{
    LastError = img::SUCCESS;
    dstClip_.moveLeft(v);
    clipSet_.moveLeft(v);
    clipSides_ |= ClipLeft;
    Repaint();
}

void TLEADImageDisplay::SetDstClipTop(int v)
{
    LastError = img::SUCCESS;
    dstClip_.moveTop(v);
    clipSet_.moveTop(v);
    clipSides_ |= ClipTop;
    Repaint();
}

void TLEADImageDisplay::SetDstClipWidth(int v)
{
    LastError = img::SUCCESS;
    dstClip_.setWidth(v);
    clipSet_.setWidth(v);
    clipSides_ |= ClipWidth;
    Repaint();
}

void TLEADImageDisplay::SetDstClipHeight(int v)
{
    LastError = img::SUCCESS;
    dstClip_.setHeight(v);
    clipSet_.setHeight(v);
    clipSides_ |= ClipHeight;
    Repaint();
}

int TLEADImageDisplay::SetSrcRect(int left, int top, int width, int height)
{
    src_ = QRect(left, top, width, height);
    LastError = img::SUCCESS;
    Repaint();
    return img::SUCCESS;
}

int TLEADImageDisplay::SetSrcClipRect(int left, int top, int width, int height)
{
    srcClip_ = QRect(left, top, width, height);
    LastError = img::SUCCESS;
    Repaint();
    return img::SUCCESS;
}

int TLEADImageDisplay::SetDstRect(int left, int top, int width, int height)
{
    SetDstLeft(left);
    SetDstTop(top);
    SetDstWidth(width);
    SetDstHeight(height);
    shown_ = QRect(left, top, width, height);
    LastError = img::SUCCESS;
    Repaint();
    return img::SUCCESS;
}

int TLEADImageDisplay::SetDstClipRect(int left, int top, int width, int height)
{
    SetDstClipLeft(left);
    SetDstClipTop(top);
    SetDstClipWidth(width);
    SetDstClipHeight(height);
    Repaint();
    return img::SUCCESS;
}

// ---- properties -----------------------------------------------------------------------------

void TLEADImageDisplay::SetPaintSizeMode(TPaintSizeMode m)
{
    clipSides_ = 0;
    store("PaintSizeMode", int(m));
    if (m == smNormal) {
        hPos_ = vPos_ = 0;
        zoomX_ = zoomY_ = 1.0;
        dst_.setWidth(imageW_);
        dst_.setHeight(imageH_);
    }
    UpdateScrollRanges();
    Repaint();
}

void TLEADImageDisplay::SetPaintZoomFactor(int v)
{
    if (v < 0) {
        LastError = img::ERROR_INV_PARAMETER;
        Raise(QStringLiteral("%1 \nPaintZoomFactor: Invalid value passed.").arg(Name), img::ERROR_INV_PARAMETER);
    }
    const TPaintSizeMode before = PaintSizeMode();
    if (before != smZoom)
        SetPaintSizeMode(smZoom);
    zoomX_ = zoomY_ = v / 100.0;
    store("PaintZoomFactor", v);
    SetPaintSizeMode(PaintSizeMode());
}

void TLEADImageDisplay::setScrollStep(bool horizontal, int v)
{
    const char *name = horizontal ? "HScrollStep" : "VScrollStep";
    if (v <= 0) {
        LastError = 0;
        Raise(QStringLiteral("%1 \n%2: Scroll step out of range.").arg(Name, QString::fromLatin1(name)), 0,
              ELEADImageError::Range);
    }
    hPos_ = vPos_ = 0;
    store(name, v);
    SetPaintSizeMode(PaintSizeMode());
}

void TLEADImageDisplay::setAutoScroll(bool on)
{
    store("AutoScroll", on);
    if (HasBitmap) {
        scrolling_ = true;
        if (on) {
            hPos_ = std::min(hPos_, hMax_);
            vPos_ = std::min(vPos_, vMax_);
            dst_.moveLeft(-hPos_);
            dst_.moveTop(-vPos_);
            dstClip_ = dst_;
        }
        setBars();
        scrolling_ = false;
    }
    UpdateScrollRanges();
}

QVariant TLEADImageDisplay::Property(const QString &name) const
{
    if (name == QLatin1String("PaintZoomFactor"))
        return PaintZoomFactor();
    if (name == QLatin1String("BitmapDataPath"))
        return dataPath_;
    // The pan window's place as it stands: the user may have moved it.
    if (panExists_ && panWanted_ && name.startsWith(QLatin1String("PanWin"))) {
        const QRect g = PanWindowGeometry();
        if (g.isValid()) {
            if (name == QLatin1String("PanWinX"))
                return g.x();
            if (name == QLatin1String("PanWinY"))
                return g.y();
            if (name == QLatin1String("PanWinWidth"))
                return g.width();
            if (name == QLatin1String("PanWinHeight"))
                return g.height();
        }
    }
    return TLEADImage::Property(name);
}

void TLEADImageDisplay::SetProperty(const QString &name, const QVariant &value)
{
    const int v = value.toInt();
    if (name == QLatin1String("PaintZoomFactor"))
        return SetPaintZoomFactor(v);
    if (name == QLatin1String("PaintSizeMode")) {
        TLEADImage::SetProperty(name, value);
        return SetPaintSizeMode(static_cast<TPaintSizeMode>(v));
    }
    if (name == QLatin1String("HScrollStep") || name == QLatin1String("VScrollStep"))
        return setScrollStep(name.startsWith(QLatin1Char('H')), v);
    if (name == QLatin1String("AutoScroll"))
        return setAutoScroll(value.toBool());
    if (name == QLatin1String("DropFilesAllowed") || name == QLatin1String("EnableOLEDragMethod")) {
        TLEADImage::SetProperty(name, value.toBool());
        LastError = img::SUCCESS;
        return DropTargetChanged();
    }
    if (name == QLatin1String("EnableFloater")) {
        // Not while a floater is dragged, nor while floaters are assigned.
        if (dragging_ || !bool_("AutoFloater")) {
            LastError = 0;
            return;
        }
        if (!value.toBool())
            freeFloater();
        TLEADImage::SetProperty(name, value.toBool());
        return;
    }
    if (name == QLatin1String("AutoFloater")) {
        if (value.toBool() != bool_("AutoFloater")) {
            freeFloater();
            if (!value.toBool())
                TLEADImage::SetProperty(QStringLiteral("EnableFloater"), false);
        }
        TLEADImage::SetProperty(name, value.toBool());
        return;
    }
    if (name == QLatin1String("DataField"))
        return SetDataField(value.toString());
    if (name == QLatin1String("BitmapDataPath")) {
        SetBitmapDataPath(value.toString());
        return;
    }
    if (name == QLatin1String("ReadOnly"))
        return SetReadOnly(value.toBool());
    if (name == QLatin1String("Transparent")) {
        const bool on = value.toBool();
        if (on == bool_("Transparent"))
            return;
        if (on)
            setAutoScroll(false);
        TLEADImage::SetProperty(name, on);
        RecreateWindow();
        return Repaint();
    }
    TLEADImage::SetProperty(name, value);
    if (name.startsWith(QLatin1String("PanWin"))) {
        LastError = img::SUCCESS;
        if (panExists_) {
            if (const int r = UpdatePanWindow(); r != img::SUCCESS)
                CheckResult(name, r, true);
        }
        return;
    }
    if (name.startsWith(QLatin1String("MagGlass"))) {
        if (magRunning_) {
            HideMagGlass();
            ShowMagGlass();
        }
        return;
    }
    if (name == QLatin1String("AutoSetRects")) {
        if (value.toBool()) {
            src_ = QRect(0, 0, imageW_, imageH_);
            UpdateScrollRanges();
        }
        Repaint();
    } else if (name == QLatin1String("CenterImage") || name == QLatin1String("PaintSizeUseDPI")
               || name == QLatin1String("FrameThickness") || name == QLatin1String("FrameInnerThickness")
               || name == QLatin1String("FrameOuterThickness") || name == QLatin1String("AutoSize")) {
        UpdateScrollRanges();
        Repaint();
    } else if (name == QLatin1String("AutoRepaint") || name.startsWith(QLatin1String("Frame"))
               || name.startsWith(QLatin1String("Paint")) || name == QLatin1String("BackColor")
               || name == QLatin1String("BackErase") || name == QLatin1String("BitonalScaling")) {
        Repaint();
    }
}

// ---- pan window -----------------------------------------------------------------------

unsigned TLEADImageDisplay::PanPaintFlags() const
{
    unsigned f = 0;
    if (int_("PanWinPaintDither") == 0)
        f |= 0x1;
    const int bitonal = int_("PanWinBitonalScaling");
    f |= bitonal == 1 ? 0x40 : bitonal == 2 ? 0x10 : 0;
    const int palette = int_("PanWinPaintPalette");
    f |= palette == 1 ? 0x80 : palette == 2 ? 0x100 : palette == 3 ? 0x180 : 0;
    const int scaling = int_("PanWinPaintScaling");
    f |= scaling == psResample ? 0x200 : scaling == psBicubic ? 0x400 : 0;
    return f;
}

QRect TLEADImageDisplay::PanVisibleRect() const
{
    const double inner = std::max(double(client_.width() - 2 * FrameWidth()), 1e-10);
    const double innerH = std::max(double(client_.height() - 2 * FrameWidth()), 1e-10);
    const int w = std::max(1, static_cast<int>(std::lround(client_.width() * dst_.width() / inner)));
    const int h = std::max(1, static_cast<int>(std::lround(client_.height() * dst_.height() / innerH)));
    return QRect(dst_.x(), dst_.y(), w, h);
}

void TLEADImageDisplay::panWindowUpdate()
{
    if (panExists_ && panWanted_ && HasImage())
        UpdatePanWindow();
}

int TLEADImageDisplay::SetPanWinVisible(bool on)
{
    panWanted_ = on;
    int r = img::SUCCESS;
    if (on) {
        if (!panExists_ && HasImage()) {
            r = CreatePanWindow();
            if (r == img::SUCCESS) {
                panExists_ = true;
                r = UpdatePanWindow();
            }
        }
    } else if (panExists_) {
        DestroyPanWindow();
        panExists_ = false;
    }
    LastError = r;
    return r;
}

int TLEADImageDisplay::PanCallback(int kind, QPoint point)
{
    switch (kind) {
    case 0:
        panExists_ = true;
        break;
    case 1: {
        scrolling_ = true;
        const int x = std::min<long long>(hMax_, std::llround(point.x() * zoomX_));
        const int y = std::min<long long>(vMax_, std::llround(point.y() * zoomY_));
        if (bool_("AutoRepaint"))
            ScrollBy(x + dst_.x(), y + dst_.y());
        scrolling_ = false;
        break;
    }
    case 2:
        panExists_ = false;
        panWanted_ = false;
        break;
    default:
        break;
    }
    if (OnPanWin)
        OnPanWin(*this, this, kind);
    return img::SUCCESS;
}

void TLEADImageDisplay::WindowMinimized()
{
    if (panExists_ && panWanted_)
        HidePanWindow();
}

// ---- magnifier --------------------------------------------------------------------------

unsigned TLEADImageDisplay::MagGlassPaintFlags() const
{
    unsigned f = 0;
    if (int_("MagGlassPaintDither") == 0)
        f |= 0x1;
    const int bitonal = int_("MagGlassBitonalScaling");
    f += bitonal == 1 ? 64 : bitonal == 2 ? 16 : 0;
    const int palette = int_("MagGlassPaintPalette");
    f |= palette == 1 ? 0x80 : palette == 2 ? 0x100 : palette == 3 ? 0x180 : 0;
    const int scaling = int_("MagGlassPaintScaling");
    f |= scaling == psResample ? 0x200 : scaling == psBicubic ? 0x400 : 0;
    return f;
}

QByteArray TLEADImageDisplay::MagGlassRecord() const
{
    QByteArray r(68, '\0');
    auto put = [&](int at, std::uint32_t v) { platform::le::put32(r, at, v); };
    // Colours as the library wants them: red in the low byte.
    auto rgb = [](int c) {
        const QRgb q = static_cast<QRgb>(c);
        return static_cast<std::uint32_t>(qRed(q) | (qGreen(q) << 8) | (qBlue(q) << 16));
    };
    const auto &s = magSettings_;
    put(0, 68);
    put(4, s[0]);
    put(8, s[1]);
    put(12, s[2]);
    put(16, rgb(s[3]));
    put(20, static_cast<std::uint32_t>(int_("MagGlassPointer")));
    put(24, rgb(s[4]));
    put(28, s[5] ? 0xFFFFFFFFu : 0u);
    put(32, s[6]);
    put(36, s[7] ? 0xFFFFFFFFu : 0u);
    put(40, MagGlassPaintFlags());
    put(44, 0); // no mask
    put(48, 0);
    put(52, 0);
    put(56, s[8]);
    put(60, s[9] ? 0xFFFFFFFFu : 0u);
    put(64, s[10] ? 0xFFFFFFFFu : 0u);
    return r;
}

int TLEADImageDisplay::StartMagGlass(const std::array<int, 11> &settings)
{
    if (!HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nStartMagGlass: Image not allocated.").arg(Name), img::ERROR_NO_BITMAP);
    }
    updateShown();
    LastError = img::SUCCESS;
    int r = img::SUCCESS;
    if (magRunning_) {
        r = img::ERROR_INV_PARAMETER;
    } else {
        magSettings_ = settings;
        r = ShowMagGlass();
        if (r == img::SUCCESS)
            magRunning_ = true;
    }
    return CheckResult(QStringLiteral("StartMagGlass"), r, true);
}

int TLEADImageDisplay::StopMagGlass()
{
    LastError = 0;
    int r = 0;
    if (magRunning_) {
        HideMagGlass();
        magRunning_ = false;
        r = img::SUCCESS;
    }
    return CheckResult(QStringLiteral("StopMagGlass"), r, true);
}

// ---- screen capture ---------------------------------------------------------------------

QRect TLEADImageDisplay::CaptureRect(QPoint cursor, const QRect &screen) const
{
    const int fw = FrameWidth();
    // A zoom of 0 takes the area at zoom 1 rather than dividing by it.
    const int zoom = PaintZoomFactor() > 0 ? PaintZoomFactor() : 100;
    const int w = static_cast<int>(static_cast<long long>(client_.width() - 2 * fw) * 100 / zoom);
    const int h = static_cast<int>(static_cast<long long>(client_.height() - 2 * fw) * 100 / zoom);
    QRect r(cursor.x() - w / 2, cursor.y() - h / 2, std::max(0, w), std::max(0, h));
    r = r.intersected(screen);
    if (r.width() <= 0)
        r.setWidth(1);
    if (r.height() <= 0)
        r.setHeight(1);
    return r;
}

int TLEADImageDisplay::CaptureAroundCursor(QPoint cursor, const QRect &screen)
{
    captureRect_ = CaptureRect(cursor, screen);
    const QImage grabbed = GrabScreen(captureRect_);
    if (grabbed.isNull())
        return CheckResult(QStringLiteral("ScreenCapture"), img::ERROR_FEATURE_NOT_SUPPORTED, false);
    ClearImage();
    const img::Bitmap captured = img::Bitmap::fromImage(grabbed);
    SetOCXBitmap(&captured); // a copy, as a written record is taken
    return CheckResult(QStringLiteral("ScreenCapture"), LastError, false);
}

// ---- drag and drop ----------------------------------------------------------------------

int TLEADImageDisplay::DragOverEffect(int offered) const
{
    return dropEffectAnswer(bool_("EnableOLEDragMethod") || bool_("DropFilesAllowed") ? 1 : 0, offered);
}

QByteArray TLEADImageDisplay::DragRecord() const
{
    return HasBitmap && !Bitmap.pixels.isNull() ? encodeBitmapRecord(Bitmap) : QByteArray();
}

int TLEADImageDisplay::Drop(int offered, const QByteArray *record, const QStringList &files, bool fromThisControl)
{
    if (bool_("EnableOLEDragMethod")) {
        if (!(offered & 3))
            return 0;
        if (fromThisControl)
            return DragOverEffect(offered);
        // Only the control's own record is taken as an image, and only when
        // it is whole; anything else (a shell's file list among them) is
        // refused without being read as one.
        img::Bitmap dropped;
        if (!record || !decodeBitmapRecord(*record, dropped)) {
            LastError = img::ERROR_FILE_FORMAT;
            return 0;
        }
        SetOCXBitmap(&dropped); // the record written as the control's image
        return LastError == img::SUCCESS ? DragOverEffect(offered) : 0;
    }
    if (!bool_("DropFilesAllowed"))
        return 0;
    const QString file = files.isEmpty() ? QString() : files.front();
    if (file.isEmpty())
        return 0;
    if (OnDropFile)
        OnDropFile(*this, file);
    const int effect = dropEffectAnswer(1, offered);
    if (bool_("DropAutoLoad")) {
        // The first page: the stand-in counts pages from 0.
        CheckResult(QStringLiteral("Drag And Drop Operation"), Load(file, 0, 0, 1), true);
    }
    return effect;
}

// ---- painting -------------------------------------------------------------------------------

void TLEADImageDisplay::Paint(QPainter &p, const QRect &update)
{
    if (painting_)
        return;
    painting_ = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{painting_};
    const int fw = FrameWidth();
    const QRect client(QPoint(0, 0), client_);
    const QRect inner = client.adjusted(fw, fw, -fw, -fw);
    if (bool_("AutoScroll") && !bool_("AutoSize")) {
        // Each axis follows its scroll position unless it stays centred.
        const bool centre = bool_("CenterImage");
        if (!(centre && shown_.width() < client_.width()))
            dst_.moveLeft(-hPos_);
        if (!(centre && shown_.height() < client_.height()))
            dst_.moveTop(-vPos_);
        updateShown();
    }
    const QRect clip = QRect(dstClip_.x() + fw, dstClip_.y() + fw, dstClip_.width() + hPos_, dstClip_.height() + vPos_)
                           .intersected(inner);
    const QRect paintable = clip.intersected(update);
    const QColor back(static_cast<QRgb>(Property(QStringLiteral("BackColor")).toUInt()));
    const bool transparent = bool_("Transparent");
    if (!transparent) {
        // The update area outside the picture takes the background colour.
        QRegion outside = QRegion(update.intersected(inner));
        if (HasImage())
            outside -= QRegion(shown_.intersected(paintable));
        for (const QRect &r : outside)
            p.fillRect(r, back);
    }
    if (HasImage() && !paintable.isEmpty() && shown_.width() > 0 && shown_.height() > 0 && src_.width() > 0
        && src_.height() > 0) {
        // Only the part of the source that lands in the paintable area is
        // drawn, so a zoomed-in picture costs what the window shows.
        const QRect target = shown_.intersected(paintable);
        if (!target.isEmpty()) {
            const double sx = double(src_.width()) / shown_.width(), sy = double(src_.height()) / shown_.height();
            const QRectF source(src_.x() + (target.x() - shown_.x()) * sx, src_.y() + (target.y() - shown_.y()) * sy,
                                target.width() * sx, target.height() * sy);
            p.save();
            p.setClipRect(paintable);
            if (bool_("PaintRgnOnly") && !rgn_.isEmpty()) {
                // Only the region's pixels are painted.
                const QTransform toWindow = windowToImage().inverted() * QTransform::fromTranslate(fw, fw);
                p.setClipRegion(toWindow.map(rgn_), Qt::IntersectClip);
            }
            p.setRenderHint(QPainter::SmoothPixmapTransform, int_("PaintScaling") != psNormal);
            p.drawImage(QRectF(target), shownImage_, source);
            p.restore();
        }
    }
    paintOverlay(p);
    if (fw > 0)
        drawFrame(p, client, *this);
    if (OnPaint)
        OnPaint(*this);
}

} // namespace raster
