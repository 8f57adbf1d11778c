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
    // The painter, for drawing past the canvas; its clip is set again before
    // the next figure of the canvas.
    QPainter &painter()
    {
        clipKnown_ = false;
        return *painter_;
    }
    // Draw every pen mode through the per-pixel path, not through the painter's
    // raster operations (the tests compare the two).
    void setExactPenModes(bool on) { exactOnly_ = on; }
    // The painter composition mode a pen mode uses on raster targets, if any.
    static std::optional<QPainter::CompositionMode> compositionFor(int rop2);

    // Plays a metafile into a rectangle of an image, as drawMetafile on a
    // canvas of the image would, with the image cut into bands of rows that
    // are drawn at the same time. Every band draws every record clipped to
    // its rows (the painter's lines and fills do not depend on the clip), so
    // the pixels are those of one canvas drawing the whole picture.
    static void playInBands(QImage &image, const Metafile &metafile, const Rect &logical,
                            const DeviceMetrics &metrics = screenMetrics());

protected:
    void perform(const RecordView &record) override;
    void beforeRecord(const RecordView &record) override;

private:
    struct Ink {
        QColor pen;
        QColor brush;
        QColor bk;
    };
    void applyClip(QPainter &p) const;
    // Sets the clip on the painter outside a save, when it changed since last time.
    void keepClip(QPainter &p);
    const QPen &qpen(const QColor &color);
    const QBrush &qbrush(const Ink &ink);
    // Draws a shape record in copy mode with the given colours.
    void drawShape(QPainter &p, const RecordView &r, const Ink &ink);
    QRect shapeBounds(const RecordView &r) const;
    void drawText(const RecordView &r);
    void drawBits(const RecordView &r);
    void drawExact(const RecordView &r, const Ink &ink);
    // Puts pixels computed per pixel back over the area, inside the clip.
    void putPixels(const QRect &area, const QImage &pixels);
    // The device points of a figure as the painter gets them.
    void devicePolygon(const RecordView &r, QPolygonF &out) const;
    // A played picture outlines most polygons right after filling them
    // (a fill without a pen, then a polyline through the same closed ring):
    // the fill is held back, and when that polyline follows, the painter
    // fills and outlines in one call, which gives the same pixels.
    bool holdFill(const RecordView &r, const Ink &ink);
    bool outlineHeldFill(QPainter &p, const RecordView &r, const Ink &ink);
    void drawHeldFill();

    QImage *image_ = nullptr;
    std::unique_ptr<QPainter> painter_;
    bool exactOnly_ = false;
    // The painter's pen and brush of the last figure, kept while the state
    // that made them stays (a map draws runs of lines with one pen), and the
    // clip set on the painter outside a save.
    struct PenKey {
        Pen pen;
        int width = 0;
        QRgb color = 0;
        bool operator==(const PenKey &) const = default;
    };
    struct BrushKey {
        Brush brush;
        QRgb color = 0;
        QRgb bk = 0;
        int bkMode = 0;
        bool operator==(const BrushKey &) const = default;
    };
    std::optional<PenKey> penKey_;
    QPen pen_;
    std::optional<BrushKey> brushKey_;
    QBrush brush_;
    bool clipKnown_ = false;
    std::uint64_t clipSet_ = 0;
    // The bounds of the clip set on the painter (empty: no clip): figures
    // wholly outside it are passed over.
    QRect clipBounds_;
    QPolygonF polygon_;
    struct HeldFill {
        QPolygonF points;
        QBrush brush;
        Qt::FillRule rule = Qt::OddEvenFill;
    };
    std::optional<HeldFill> held_;
};

} // namespace platform::gdi
