#pragma once
// The imaging control as it is shown, without the window: the source and
// destination rectangles, the zoom of the five size modes, the scroll
// positions with the bars' shift counts, scrolling by messages, wheel and
// keys, point conversion and painting onto a painter. A window (the widget
// in raster/ui) derives from it and answers the window hooks; without one
// the hooks do nothing, so the arithmetic runs and is tested headless.

#include "raster/LeadImage.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QTransform>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace platform::db {
class DataSource;
}

namespace raster {

class ImageFieldLink;

// A side of `s` pixels at zoom z: z * s rounded for z > 0, 1 for z = 0 and
// s / (1 - z) rounded for z < 0.
int zoomedSize(int s, double z);

// What a scroll bar is given for a range of `maximum` pixels: while the
// maximum exceeds 32767 it is halved (rounding up) and the shift count grows,
// so that the bar's 16-bit positions still cover the range. The page is a
// tenth of the image's side (at least 1) the first time it is asked for.
struct ScrollBarSetting {
    int shift = 0;
    int minimum = 0;
    int maximum = 0; // the last position the bar takes (its own units)
    int page = 0;    // in pixels
    int position = 0;
};
ScrollBarSetting scrollBarSetting(int maximum, int minimum, int position, int &page, int imageSide, bool hasImage);

// Scroll request codes of a bar.
enum ScrollCode {
    SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8
};

class TLEADImageDisplay : public TLEADImage {
public:
    explicit TLEADImageDisplay(QObject *owner = nullptr);
    ~TLEADImageDisplay() override;

    // ---- rectangles (the destination relative to the inside of the frame)
    QRect Src() const { return src_; }
    QRect SrcClip() const { return srcClip_; }
    QRect Dst() const { return dst_; }
    QRect DstClip() const { return dstClip_; }
    int DstLeft() const { return dst_.x(); }
    int DstTop() const { return dst_.y(); }
    int DstWidth() const { return dst_.width(); }
    int DstHeight() const { return dst_.height(); }
    // The destination offset by the frame: what hit tests use.
    QRect ShownRect() const { return shown_; }
    void SetDstLeft(int v);
    void SetDstTop(int v);
    void SetDstWidth(int v);
    void SetDstHeight(int v);
    void SetDstClipLeft(int v);
    void SetDstClipTop(int v);
    void SetDstClipWidth(int v);
    void SetDstClipHeight(int v);
    int SetSrcRect(int left, int top, int width, int height);
    int SetSrcClipRect(int left, int top, int width, int height);
    int SetDstRect(int left, int top, int width, int height);
    int SetDstClipRect(int left, int top, int width, int height);

    double ZoomX() const { return zoomX_; }
    double ZoomY() const { return zoomY_; }
    int FrameWidth() const;
    int PaintZoomFactor() const;
    TPaintSizeMode PaintSizeMode() const;

    // ---- scrolling
    int HScrollPos() const { return hPos_; }
    int VScrollPos() const { return vPos_; }
    int HScrollMax() const { return hMax_; }
    int VScrollMax() const { return vMax_; }
    int HLineStep = 1;
    int VLineStep = 2;
    ScrollBarSetting HScrollBar() const { return hBar_; }
    ScrollBarSetting VScrollBar() const { return vBar_; }
    virtual void UpdateScrollRanges();
    void ScrollBy(int dx, int dy);
    // A scroll message of a bar; `thumb` in the bar's own units.
    void ScrollMessage(Qt::Orientation bar, int code, int thumb = 0);
    // A wheel turn: one page per message; Shift scrolls horizontally.
    void MouseWheel(bool forward, bool shift, bool buttonDown = false);
    // PageUp/PageDown/arrows move the bars; true when the key was taken.
    bool KeyDown(int qtKey, Qt::KeyboardModifiers modifiers = {});
    // A client point in image pixels (0, 0 while a destination side is 0).
    QPoint ClientToImage(QPoint client) const;

    // ---- the window the control lives in
    QSize ClientSize() const { return client_; }
    // The client size changed (a resize, or a scroll bar shown or hidden).
    void SetClientSize(QSize size);
    int VScrollBarWidth = 16, HScrollBarHeight = 16;
    bool VScrollBarShown() const { return vBarShown_; }
    bool HScrollBarShown() const { return hBarShown_; }
    void SetScrollBarsShown(bool horizontal, bool vertical);
    int ScreenDpiX = 96, ScreenDpiY = 96;

    // Paints the update area of the client (client coordinates).
    void Paint(QPainter &painter, const QRect &update);
    // The picture as shown (the stored one turned by its view perspective).
    const QImage &ShownImage() const { return shownImage_; }

    // ---- regions, floater and rubber band (LeadImageRegions.cpp)
    // 0 none, 1 rectangle, 2 rounded rectangle, 3 ellipse, 4 polygon.
    int RegionTracking = 0;
    // How a new region meets the old: 0 intersect, 1 replace, 2 unite,
    // 3 either but not both, 4 the old without the new.
    int RegionCombineMode = 1;
    // 0 not shown, 1 outline, 2 moving outline, 3 filled with RegionColor.
    int RegionFrameType = 0;
    QRgb RegionColor = 0;
    bool RubberBandEnabled = false;
    QRect RubberBandRect;
    int RgnLeft = 0, RgnTop = 0, RgnWidth = 0, RgnHeight = 0;
    int PolygonSize() const { return polygonSize_; }
    void SetPolygonSize(int n);
    int PolygonCount() const { return polygonCount_; }
    QPoint PolygonPoint(int i) const;
    void SetPolygonPoint(int i, QPoint p);
    bool HasRgn();
    int FreeRgn();
    // The region in image pixels (the caller keeps the copy).
    QRegion GetRgnHandle();
    // The phase of a moving outline, 0 to 7; the timer advances it.
    int OutlinePhase() const { return phase_; }
    void RegionTimerStep();
    // The mouse, in client pixels.
    void MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint at);
    void MouseMove(Qt::MouseButtons buttons, QPoint at);
    void MouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint at);
    bool Tracking() const { return tracking_; }
    bool DraggingFloater() const { return dragging_; }
    bool HasFloater() const { return !floater_.isNull(); }
    // The floater's place in image pixels and, while it is dragged, in the window.
    QRect FloaterImageRect() const { return floaterRect_; }
    QRect FloaterWindowRect() const { return floaterWindow_; }

    // ---- animation playback (LeadImageAnimation.cpp)
    int AnimationEnable(bool on);
    bool AnimationEnabled() const { return animationEnabled_; }
    bool AnimationPlaying() const { return playing_; }
    bool AnimationPaused = false;
    int AnimationFrame() const { return frame_; }
    // One tick of the playback timer: paints the frames that are due and
    // answers the next interval in milliseconds (-1: the timer stops).
    int AnimationTimerStep();
    // Frames painted by the last tick.
    int AnimationFramesPainted = 0;

    // ---- feed loading and loading from a URL (LeadImageFeed.cpp)
    int StartFeedLoad(int bits, int page, int pages);
    // Raises "Feed Load not Started." without a feed, whatever
    // EnableMethodErrors says.
    int FeedLoad(const QByteArray &buffer);
    virtual int StopFeedLoad();
    bool FeedLoading() const { return feeding_; }
    QString BitmapDataPath() const { return dataPath_; }
    // A local path or a file URL; other schemes fail (-16): this program
    // does not download.
    int SetBitmapDataPath(const QString &url);
    TReadyState ReadyState() const { return readyState_; }

    // ---- drag and drop
    // The effect answered for a drag over the control offering `offered`
    // (copy 1, move 2, link 4).
    int DragOverEffect(int offered) const;
    // A drop: the bytes of the control's own record format when the drag
    // carries them, the dropped files otherwise. Answers the effect taken.
    int Drop(int offered, const QByteArray *record, const QStringList &files, bool fromThisControl);
    // The record a drag from the control carries.
    QByteArray DragRecord() const;

    // ---- binding to a blob field of the current record (LeadImageBinding.cpp)
    platform::db::DataSource *DataSource() const;
    void SetDataSource(platform::db::DataSource *source);
    QString DataField() const;
    // Raises EInvalidFieldType for a column of an open data set that holds no blob.
    void SetDataField(const QString &name);
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    // Reads the image from the field (on every data change of the link).
    virtual int LoadFromDataField();
    // The image changed since the field was read.
    bool DataModified() const { return dataModified_; }

    // ---- properties with side effects
    QVariant Property(const QString &name) const override;
    void SetProperty(const QString &name, const QVariant &value) override;
    void SetPaintZoomFactor(int v);
    void SetPaintSizeMode(TPaintSizeMode m);

    void BitmapChanged() override;
    void ImageEvent(int code) override;

    // ---- pan window
    bool PanWinVisible() const { return panWanted_; }
    int SetPanWinVisible(bool on);
    bool HasPanWindow() const { return panExists_; }
    // What the pan window is told: the destination's place and a size that
    // counts the frame, (DstLeft, DstTop, w, h).
    QRect PanVisibleRect() const;
    // The pan window's report: 0 made, 1 the rectangle moved to `point`
    // (image pixels), 2 destroyed. Answers 1.
    int PanCallback(int kind, QPoint point);
    unsigned PanPaintFlags() const;
    // The window was minimized or restored.
    void WindowMinimized();

    // ---- magnifier
    int StartMagGlass(const std::array<int, 11> &settings);
    virtual int StopMagGlass();
    bool MagGlassRunning() const { return magRunning_; }
    const std::array<int, 11> &MagGlassSettings() const { return magSettings_; }
    // The library's 68-byte magnifier record for the stored settings.
    QByteArray MagGlassRecord() const;
    unsigned MagGlassPaintFlags() const;

    // ---- screen capture
    // The area around `cursor` that a capture takes: the client inside the
    // frame divided by the zoom, centred on the cursor, cut to the screen.
    QRect CaptureRect(QPoint cursor, const QRect &screen) const;
    QRect LastCaptureRect() const { return captureRect_; }
    // Takes the screen around the cursor into the control (timer 2).
    int CaptureAroundCursor(QPoint cursor, const QRect &screen);

protected:
    // ---- window hooks (nothing without a window)
    virtual void InvalidateWindow() {}
    // Moves the painted pixels of `area` by (dx, dy).
    virtual void ScrollWindow(int /*dx*/, int /*dy*/, const QRect & /*area*/) { InvalidateWindow(); }
    // The bars' settings or positions changed.
    virtual void ScrollBarsChanged() {}
    // AutoSize asks for a client of this size.
    virtual void ResizeClient(QSize size) { SetClientSize(size); }
    // The window's style follows `Transparent`.
    virtual void RecreateWindow() {}
    // After every scroll, fit and change of the image.
    virtual void DisplayChanged() {}
    // A press that starts dragging the image to another place.
    virtual void StartDrag() {}
    virtual void CaptureMouse(bool /*on*/) {}
    // The moving outline's timer (1000 ms) and the playback timer.
    virtual void SetRegionTimer(bool /*on*/) {}
    virtual void SetAnimationTimer(bool /*on*/, int /*interval*/) {}
    // Milliseconds of a steady clock.
    virtual qint64 TickCount() const;
    // Runs `step` from the message loop (a download's pieces); at once
    // without a window.
    virtual void Defer(std::function<void()> step) { step(); }
    // EnableOLEDragMethod or DropFilesAllowed changed.
    virtual void DropTargetChanged() {}
    // Paints that part of the client at once (painting while loading).
    virtual void PaintNow(const QRect & /*clientArea*/) {}
    // The library's pan window and magnifier; none without a window.
    virtual int CreatePanWindow() { return img_error_no_window; }
    virtual void DestroyPanWindow() {}
    virtual int UpdatePanWindow() { return 1; }
    virtual void HidePanWindow() {}
    // Where the pan window stands (empty without one).
    virtual QRect PanWindowGeometry() const { return {}; }
    virtual int ShowMagGlass() { return img_error_no_window; }
    virtual void HideMagGlass() {}
    // The screen's pixels of `rect` (nothing without a window).
    virtual QImage GrabScreen(const QRect &) { return {}; }
    static constexpr int img_error_no_window = -16;
    void panWindowUpdate();

    void Repaint();
    bool HasImage() const { return HasBitmap && !shownImage_.isNull(); }
    bool bool_(const char *name) const { return Property(QString::fromLatin1(name)).toBool(); }
    int int_(const char *name) const { return Property(QString::fromLatin1(name)).toInt(); }
    void store(const char *name, const QVariant &value) { TLEADImage::SetProperty(QString::fromLatin1(name), value); }
    bool scrolling_ = false;
    bool painting_ = false;

private:
    void resetForNewImage();
    void fit();
    void followClip();
    void updateShown();
    void setBars();
    void setScrollStep(bool horizontal, int v);
    void setAutoScroll(bool on);

    QImage shownImage_;
    int imageW_ = 0, imageH_ = 0, imageXRes_ = 0, imageYRes_ = 0;
    QRect src_, srcClip_, dst_, dstClip_, shown_;
    // Clip sides set directly since the clip last followed the destination.
    QRect clipSet_;
    unsigned clipSides_ = 0;
    double zoomX_ = 1.0, zoomY_ = 1.0;
    int hPos_ = 0, vPos_ = 0, hMax_ = 0, vMax_ = 0;
    int hPage_ = -1, vPage_ = -1;
    ScrollBarSetting hBar_, vBar_;
    QSize client_;
    int visW_ = 0, visH_ = 0;
    bool vBarShown_ = false, hBarShown_ = false;
    bool updatingRanges_ = false;
    bool panWanted_ = false, panExists_ = false;
    bool magRunning_ = false;
    std::array<int, 11> magSettings_{};
    QRect captureRect_;

    // regions
    QTransform windowToImage() const;
    void regionSet(const QRegion &region);
    void updateRegionBounds(bool freeEmpty);
    void freeFloater();
    void liftFloater(QPoint at);
    void dropFloater();
    void imagePixelsChanged();
    void paintOverlay(QPainter &p);
    QRegion rgn_;
    bool tracking_ = false, dragging_ = false;
    QPoint start_, end_;
    std::vector<QPoint> polygon_;
    int polygonSize_ = 0, polygonCount_ = 0;
    int phase_ = 0;
    bool regionTimer_ = false;
    QImage floater_, background_;
    QRegion floaterRegion_; // in floater pixels
    QRect floaterRect_, floaterWindow_;
    QPoint dragTotal_;
    // feed
    void transferFile(const QString &path, quint64 download);
    void endDownload();
    bool feeding_ = false;
    int feedBits_ = 0, feedPage_ = 0, feedPages_ = -1;
    QByteArray feed_;
    QString dataPath_;
    TReadyState readyState_ = rsComplete;
    bool downloading_ = false;
    quint64 download_ = 0; // the running download; a new path starts another
    // playback
    void showFrame(int index);
    bool animationEnabled_ = false, playing_ = false;
    int frame_ = 0;

    friend class ImageFieldLink;
    void saveToDataField();
    void markDataModified();
    std::unique_ptr<ImageFieldLink> link_;
    bool dataModified_ = false;
    bool readingField_ = false;
};

} // namespace raster
