#pragma once
// The canvas an overlay of the map control draws on: the control's bitmap,
// restored from the back buffer, with a fresh drawing state as a window's
// device context has. The overlay ends by releasing the canvas and showing
// the bitmap.

#include "mapengine/MapControlCore.h"

#include <QRect>

namespace mapengine::detail {

// The back buffer is copied with its top-left corner at (dx, dy).
inline platform::gdi::Canvas &beginOverlay(MapControlCore &m, int dx = 0, int dy = 0)
{
    platform::gdi::Bitmap &b = m.PictureBitmap();
    b.releaseCanvas();
    platform::gdi::Canvas &c = m.ControlCanvas();
    if (m.BackBuffer().width() > 0 && m.BackBuffer().height() > 0)
        b.blockCopy(dx, dy, m.BackBuffer(),
                    QRect(0, 0, m.ClientWidth(), m.ClientHeight()) &
                        QRect(0, 0, m.BackBuffer().width(), m.BackBuffer().height()));
    return c;
}

} // namespace mapengine::detail
