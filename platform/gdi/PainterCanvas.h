#pragma once
// A canvas that draws with QPainter: on an image (a raster target, where every
// pen mode and raster operation gives the platform's pixels), or on a printer
// or PDF (where the page counts as white paper for them).

#include "platform/gdi/Canvas.h"

#include <QPainter>

#include <memory>
#include <optional>

namespace platform::gdi {

class PainterCanvas : public Canvas {
public:
    // The image is converted to 32 bits when it has another format. A memory
    // canvas has the screen's metrics, as a bitmap made for the screen has.
    explicit PainterCanvas(QImage &image, const DeviceMetrics &metrics = screenMetrics());
    // Printer, PDF writer or any other paint device.
    PainterCanvas(QPaintDevice &device, const DeviceMetrics &metrics);
    ~PainterCanvas() override;

    // The metrics a paint device reports (pixels, millimetres, dots per inch).
    static DeviceMetrics metricsOf(const QPaintDevice &device);

    bool isRaster() const { return image_ != nullptr; }
    QPainter &painter() { return *painter_; }
    // Draw every pen mode through the per-pixel path, not through the painter's
    // raster operations (the tests compare the two).
    void setExactPenModes(bool on) { exactOnly_ = on; }
    // The painter composition mode a pen mode uses on raster targets, if any.
    static std::optional<QPainter::CompositionMode> compositionFor(int rop2);

protected:
    void perform(const MetaRecord &record) override;

private:
    struct Ink {
        QColor pen;
        QColor brush;
        QColor bk;
    };
    void applyClip(QPainter &p) const;
    QPen qpen(const QColor &color) const;
    QBrush qbrush(const Ink &ink) const;
    // Draws a shape record in copy mode with the given colours.
    void drawShape(QPainter &p, const MetaRecord &r, const Ink &ink) const;
    QRect shapeBounds(const MetaRecord &r) const;
    void drawText(const MetaRecord &r);
    void drawBits(const MetaRecord &r);
    void drawExact(const MetaRecord &r, const Ink &ink);

    QImage *image_ = nullptr;
    std::unique_ptr<QPainter> painter_;
    bool exactOnly_ = false;
};

} // namespace platform::gdi
