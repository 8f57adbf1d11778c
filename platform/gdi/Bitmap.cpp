#include "platform/gdi/Bitmap.h"

#include <QPainter>

#include <algorithm>

namespace platform::gdi {

Bitmap::Bitmap(int width, int height, Color fill)
    : image_(std::max(0, width), std::max(0, height), QImage::Format_RGB32)
{
    image_.fill(toQColor(fill));
}

void Bitmap::setSize(int width, int height)
{
    releaseCanvas();
    QImage next(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!image_.isNull()) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image_);
    }
    image_ = next;
}

PainterCanvas &Bitmap::canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<PainterCanvas>(image_);
    return *canvas_;
}

void Bitmap::releaseCanvas()
{
    canvas_.reset();
}

void Bitmap::playMetafile(const Metafile &metafile, const Rect &rect)
{
    // The bands draw straight into the pixels; the bitmap's own painter ends
    // first.
    releaseCanvas();
    PainterCanvas::playInBands(image_, metafile, rect);
}

const QImage &Bitmap::image()
{
    releaseCanvas();
    return image_;
}

Color Bitmap::pixel(int x, int y)
{
    // Reading needs no end of drawing: the painter writes straight into the pixels.
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return 0;
    return fromPixel(image_.pixel(x, y));
}

void Bitmap::fill(Color color)
{
    if (canvas_) {
        QPainter &p = canvas_->painter();
        p.save();
        p.setClipping(false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(image_.rect(), toQColor(color));
        p.restore();
    } else {
        image_.fill(toQColor(color));
    }
}

void Bitmap::blockCopy(int x, int y, Bitmap &source, const QRect &sourceRect)
{
    // A deep copy: the source may go on being drawn.
    const QImage part = (&source == this ? image_.copy(sourceRect) : source.image_.copy(sourceRect));
    if (canvas_) {
        QPainter &p = canvas_->painter();
        p.save();
        p.setClipping(false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(x, y, part);
        p.restore();
    } else {
        QPainter p(&image_);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(x, y, part);
    }
}

bool Bitmap::save(const QString &fileName, const char *format, int quality)
{
    return image().save(fileName, format, quality);
}

} // namespace platform::gdi
