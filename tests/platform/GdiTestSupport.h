#pragma once
// Helpers of the graphics-layer tests: images, pinned metrics, ink boxes and
// PNG artefacts kept under the build tree for a person to look at.

#include "platform/gdi/Canvas.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QRect>
#include <QString>

namespace gditest {

using namespace platform::gdi;

// A screen of 1000 × 800 pixels on 250 × 200 mm: 4 pixels a millimetre, so
// 25 units of 0.01 mm make a pixel; 96 pixels per logical inch.
inline DeviceMetrics pinnedMetrics()
{
    return DeviceMetrics{1000, 800, 250, 200, 96, 96};
}

inline QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline Color at(const QImage &img, int x, int y)
{
    return fromPixel(img.pixel(x, y));
}

// The box of the pixels that differ from white (null when none do).
inline QRect inkBox(const QImage &img, QRgb background = 0xFFFFFFFFu)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u)) {
                x0 = std::min(x0, x); y0 = std::min(y0, y);
                x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

inline int inkCount(const QImage &img, const QRect &area, QRgb background = 0xFFFFFFFFu)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u))
                ++n;
    return n;
}

// Keeps a picture under the build tree ("artefacts/gdi/<name>.png").
inline void keepArtefact(const QImage &img, const QString &name)
{
    const QString dir = testsupport::artefactFolder(QStringLiteral("gdi"));
    QDir().mkpath(dir);
    img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace gditest
