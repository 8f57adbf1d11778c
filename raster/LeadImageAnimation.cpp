// Playing the frames of an animated picture (the items of the bitmap list,
// each with its delay) on a timer.

#include "raster/LeadImageDisplay.h"

#include "platform/imaging/ImagingErrors.h"

#include <QElapsedTimer>

#include <algorithm>

namespace raster {

namespace img = platform::imaging;

namespace {

// Zero-delay frames painted one after another within one tick, shared by
// every control so that several animations still let messages through.
int zeroDelaySteps = 0;
constexpr int MaxZeroDelaySteps = 50;
constexpr int MaxDelay = 32767;

} // namespace

qint64 TLEADImageDisplay::TickCount() const
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void TLEADImageDisplay::showFrame(int index)
{
    const img::BitmapList &frames = BitmapList();
    if (index < 0 || index >= static_cast<int>(frames.size()))
        return;
    frame_ = index;
    Bitmap = frames[static_cast<size_t>(index)];
    shownImage_ = img::shownPixels(Bitmap);
    PaintNow(QRect(QPoint(0, 0), client_));
    Repaint();
    panWindowUpdate();
}

int TLEADImageDisplay::AnimationEnable(bool on)
{
    if (AnimationPaused)
        return img::SUCCESS;
    if (!HasBitmapList() && !HasBitmap) {
        LastError = img::ERROR_NO_BITMAP;
        Raise(QStringLiteral("%1 \nAnimationEnable: No bitmap list.").arg(Name), img::ERROR_NO_BITMAP);
    }
    if (on == animationEnabled_) {
        LastError = img::SUCCESS;
        return img::SUCCESS;
    }
    SetAnimationTimer(on, 1);
    animationEnabled_ = on;
    if (on) {
        if (!rgn_.isEmpty())
            FreeRgn();
        StoreCurrentItem();
        zeroDelaySteps = 0;
        playing_ = true;
        showFrame(0);
    } else {
        playing_ = false;
        // The current item shows again.
        if (HasBitmapList() && BitmapListIndex < static_cast<int>(BitmapList().size())) {
            Bitmap = BitmapList()[static_cast<size_t>(BitmapListIndex)];
            shownImage_ = img::shownPixels(Bitmap);
        }
        Repaint();
    }
    if (OnAnimate)
        OnAnimate(*this, on);
    LastError = img::SUCCESS;
    return img::SUCCESS;
}

int TLEADImageDisplay::AnimationTimerStep()
{
    SetAnimationTimer(false, 0);
    AnimationFramesPainted = 0;
    const int count = static_cast<int>(BitmapList().size());
    for (;;) {
        if (!playing_ || AnimationPaused || count == 0)
            return -1;
        const qint64 began = TickCount();
        int next = frame_ + 1;
        if (next >= count) {
            if (!bool_("AutoAnimationLoop")) {
                AnimationEnable(false);
                return -1;
            }
            next = 0;
        }
        showFrame(next);
        ++AnimationFramesPainted;
        const int delay = std::clamp(Bitmap.delay, 0, MaxDelay);
        int interval = static_cast<int>(std::max<qint64>(0, delay - (TickCount() - began)));
        // Frames due at once are painted at once, but not without end: after
        // a run of them the timer lets the message loop in.
        if (interval == 0 && ++zeroDelaySteps < MaxZeroDelaySteps)
            continue;
        interval = std::max(interval, 1);
        zeroDelaySteps = 0;
        SetAnimationTimer(true, interval);
        return interval;
    }
}

} // namespace raster
