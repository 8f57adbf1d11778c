#pragma once
// A bitmap with a canvas: the map control's picture and back buffer, masks and
// offscreen pictures. Block copies between bitmaps are plain pixel copies.

#include "platform/gdi/PainterCanvas.h"

#include <QImage>

#include <memory>

namespace platform::gdi {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = rgb(255, 255, 255));
    Bitmap(const Bitmap &) = delete;
    Bitmap &operator=(const Bitmap &) = delete;

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    // A new size drops the canvas; the content is kept where it overlaps and
    // the rest is filled white.
    void setSize(int width, int height);
    // The canvas drawing on this bitmap (made on first use, screen metrics).
    PainterCanvas &canvas();
    // Ends drawing so that the pixels can be read or copied as an image.
    void releaseCanvas();
    // The pixels (drawing ends first).
    const QImage &image();
    // The pixels as they are while drawing goes on (the painter writes
    // straight into them), for showing the bitmap in a window.
    const QImage &pixels() const { return image_; }
    Color pixel(int x, int y);
    void fill(Color color);
    // Plays a metafile into a rectangle (pixels) of the bitmap, in bands drawn
    // at the same time (PainterCanvas::playInBands).
    void playMetafile(const Metafile &metafile, const Rect &rect);
    // Copies a rectangle of another bitmap into this one at (x, y).
    void blockCopy(int x, int y, Bitmap &source, const QRect &sourceRect);
    bool save(const QString &fileName, const char *format = nullptr, int quality = -1);

private:
    QImage image_;
    std::unique_ptr<PainterCanvas> canvas_;
};

} // namespace platform::gdi
