#pragma once
// Helpers of the map control tests: pinned screen metrics, a control with a
// known picture, ink probes and PNG artefacts under the build tree.

#include "mapengine/MapControlCore.h"
#include "support/TestFiles.h"
#include "platform/gdi/Canvas.h"

#include <QDir>
#include <QImage>
#include <QRect>
#include <QString>

#include <memory>
#include <ostream>

// Readable failures.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QPoint &p, std::ostream *os)
{
    *os << '(' << p.x() << ',' << p.y() << ')';
}

namespace maptest {

using namespace platform::gdi;

// 1000 × 800 pixels on 250 × 200 mm: 25 units of 0.01 mm a pixel, 96 dpi.
inline DeviceMetrics pinnedMetrics()
{
    return DeviceMetrics{1000, 800, 250, 200, 96, 96};
}

// A control of 800 × 400 pixels: a picture of 20000 × 10000 units, centred
// on (1000, 1000) at 1:500.
inline std::unique_ptr<MapControlCore> makeControl(int width = 800, int height = 400)
{
    auto c = std::make_unique<MapControlCore>();
    c->SetClientSize(width, height);
    c->ResetPicture();
    return c;
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

// The box of the pixels of a colour (null when none has it).
inline QRect colourBox(const QImage &img, Color colour)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (fromPixel(img.pixel(x, y)) == colour) {
                x0 = std::min(x0, x); y0 = std::min(y0, y);
                x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// The box of the dark grey and black pixels, such as smoothed black text
// leaves (null when there are none).
inline QRect blackInkBox(const QImage &img)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) < 128 && qGreen(p) < 128 && qBlue(p) < 128) {
                x0 = std::min(x0, x); y0 = std::min(y0, y);
                x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
        }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// The box of the pixels that are not white.
inline QRect inkBox(const QImage &img, const QRect &area = QRect())
{
    const QRect a = area.isNull() ? img.rect() : area;
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                x0 = std::min(x0, x); y0 = std::min(y0, y);
                x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// Keeps a picture under the build tree ("artefacts/mapengine/<name>.png").
inline void keepArtefact(const QImage &img, const QString &name)
{
    const QString dir = testsupport::artefactFolder(QStringLiteral("mapengine"));
    QDir().mkpath(dir);
    img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace maptest
