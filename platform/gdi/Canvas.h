#pragma once
// The canvas of the graphics layer: the drawing state and semantics the system's
// drawing code was written against (logical units and mapping modes, pens and
// brushes with pen modes, fonts with escapement, text alignment and background,
// clip regions, block transfers with raster operations), over different
// targets: a painter on an image, printer or PDF (PainterCanvas), a recorded
// picture (MetafileCanvas) and a call log for tests (RecordingCanvas).
//
// Every call becomes a record (a RecordView of the call's arguments); the base
// class keeps the state and the logical-to-device mapping, the targets execute
// or keep the records.

#include "platform/Service.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/MetaRecord.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPolygonF>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <optional>
#include <vector>

namespace platform::gdi {

class Metafile;

// What a device reports of itself: pixels, millimetres and logical pixels per
// inch (for point sizes of fonts).
struct DeviceMetrics {
    int horzRes = 1024;     // pixels
    int vertRes = 768;
    int horzSize = 270;     // millimetres
    int vertSize = 203;
    int logPixelsX = 96;
    int logPixelsY = 96;
    bool operator==(const DeviceMetrics &) const = default;
};

// The screen's metrics: from the primary screen, unless a test pins them
// (ScopedService<ScreenMetrics> pin(metrics)).
DeviceMetrics screenMetrics();

// The screen as a service: the primary screen's metrics, asked each time, or
// pinned ones.
class ScreenMetrics {
public:
    ScreenMetrics() = default;
    ScreenMetrics(const DeviceMetrics &pinned) : pinned_(pinned) {}
    DeviceMetrics metrics() const;

private:
    std::optional<DeviceMetrics> pinned_;
};

// Font metrics in logical units.
struct TextMetrics {
    int height = 0;   // ascent + descent
    int ascent = 0;
    int descent = 0;
};

// The state of a canvas; SaveDC keeps a copy.
struct DcState {
    Pen pen;
    Brush brush;
    LogFont font;
    Color textColor = 0;
    Color bkColor = rgb(255, 255, 255);
    int bkMode = OPAQUE;
    unsigned textAlign = TA_LEFT | TA_TOP;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int mapMode = MM_TEXT;
    QPoint windowOrg;
    QPoint viewportOrg;
    Size windowExt{1, 1};
    Size viewportExt{1, 1};
    QTransform world;
    QPoint current;                  // pen position, logical
    std::optional<QRegion> clip;     // device units; none = everything
    // While a metafile plays: its reference device's metrics, the map from its
    // device to ours, and the clip in force when it started.
    DeviceMetrics metrics;
    QTransform post;
    std::optional<QRegion> metaClip;
    int playDepth = 0;
    QTransform outer;                // our logical-to-device map when the outermost play began
};

class Canvas {
public:
    explicit Canvas(const DeviceMetrics &metrics);
    virtual ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // State.
    void setPen(const Pen &pen);
    void setBrush(const Brush &brush);
    void setFont(const LogFont &font);
    void setTextColor(Color color);
    void setBkColor(Color color);
    void setBkMode(int mode);
    void setTextAlign(unsigned align);
    void setRop2(int rop2);
    void setPolyFillMode(int mode);
    void setStretchBltMode(int mode);
    void setMapMode(int mode);
    void setWindowOrg(int x, int y);
    void setViewportOrg(int x, int y);
    void setWindowExt(int cx, int cy);
    void setViewportExt(int cx, int cy);
    void setWorldTransform(const QTransform &transform);
    // Saves the state; returns the new level. restoreDC(-1) restores the last one,
    // a positive level restores that one.
    int saveDC();
    void restoreDC(int level);

    const Pen &pen() const { return state_.pen; }
    const Brush &brush() const { return state_.brush; }
    const LogFont &font() const { return state_.font; }
    Color textColor() const { return state_.textColor; }
    Color bkColor() const { return state_.bkColor; }
    int bkMode() const { return state_.bkMode; }
    unsigned textAlign() const { return state_.textAlign; }
    int rop2() const { return state_.rop2; }
    int mapMode() const { return state_.mapMode; }
    QPoint windowOrg() const { return state_.windowOrg; }
    QPoint viewportOrg() const { return state_.viewportOrg; }
    QPoint currentPosition() const { return state_.current; }
    const DcState &state() const { return state_; }

    // Clipping: the intersection with a logical rectangle; a region in device
    // units (replaces the clip); no clip.
    void intersectClipRect(const Rect &logical);
    void selectClipRegion(const QRegion &device);
    void selectClipNone();
    std::optional<QRegion> clipRegion() const;

    // Drawing, in logical units.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void polyline(const std::vector<QPoint> &points);
    void polygon(const std::vector<QPoint> &points);
    void polyPolygon(const std::vector<QPoint> &points, const std::vector<int> &counts);
    void ellipse(const Rect &box);
    void rectangle(const Rect &box);
    void textOut(int x, int y, const QString &text);
    // Block transfers: the source rectangle of an image stretched into a logical
    // rectangle (left, top, width, height) with a raster operation.
    void stretchDIBits(int x, int y, int width, int height, const QImage &source, const QRect &sourceRect,
                       std::uint32_t rop = SRCCOPY);
    void stretchBlt(int x, int y, int width, int height, const QImage &source, const QRect &sourceRect,
                    std::uint32_t rop = SRCCOPY);
    void bitBlt(int x, int y, int width, int height, const QImage &source, int sx, int sy,
                std::uint32_t rop = SRCCOPY);
    // An operation on the pattern and the screen only (no source).
    void patBlt(int x, int y, int width, int height, std::uint32_t rop);
    // Plays a recorded picture stretched into a logical rectangle.
    void drawMetafile(const Metafile &metafile, const Rect &logical);
    // Executes one record as the canvas would execute the call.
    void apply(const RecordView &record);
    void apply(const MetaRecord &record) { apply(record.view()); }

    // Measuring with the current font.
    Size textExtent(const QString &text) const;
    TextMetrics textMetrics() const;

    // Conversions between logical and device units.
    QPoint lpToDp(const QPoint &logical) const;
    QPoint dpToLp(const QPoint &device) const;
    QPointF lpToDpF(const QPointF &logical) const;
    // The map from logical units to device pixels, and the device's metrics.
    QTransform logicalToDevice() const;
    const DeviceMetrics &deviceMetrics() const { return metrics_; }
    // Logical units per point of a font, as MulDiv(size, logPixelsY, 72) takes them.
    int logPixelsY() const { return metrics_.logPixelsY; }

    // The Qt font of a logical font at the current mapping: face mapped, pixel
    // size in device pixels (0 when it comes out below one pixel).
    QFont deviceFont(const LogFont &font) const;
    // The em of a logical font in device pixels.
    double deviceEm(const LogFont &font) const;
    // Device text metrics helpers shared by the targets.
    struct TextLayout {
        QFont font;
        QString shown;      // the characters drawn (symbol fonts mapped)
        double width = 0;   // device pixels
        double ascent = 0;
        double descent = 0;
        std::vector<double> advances;
        bool visible = true;
    };
    TextLayout layoutText(const QString &text) const;
    // Where a text goes on the device: the left end of its base line, its
    // direction (degrees, counter-clockwise on the device) and its cell.
    struct TextPlacement {
        QPointF origin;
        double angle = 0;
        QPointF along;      // unit vector of the text direction
        QPointF down;       // unit vector from the base line downwards
        QPolygonF box;      // the cell: left-top, right-top, right-bottom, left-bottom
    };
    TextPlacement placeText(const QPoint &logical, const TextLayout &layout) const;

protected:
    // The target's part: a drawing record to draw (state records arrive after
    // the state changed, drawing records before the pen position moves).
    virtual void perform(const RecordView &record) = 0;
    // Before a played record changes the state (and once more, as
    // EMR_EOF, after the last one): targets that hold a figure back draw it
    // while the state it was made in still holds.
    virtual void beforeRecord(const RecordView &) {}
    // Measuring and transforming helpers for the targets.
    QTransform pageTransform(const DcState &s) const;
    static QTransform pageTransformFor(const DcState &s);
    double deviceScaleX() const;
    double deviceScaleY() const;
    // A point through a map, as QTransform::map gives it: for the affine maps
    // of a canvas its sums are formed here, without a call per point.
    static QPointF mapPoint(const QTransform &t, const QPointF &p)
    {
        if (!t.isAffine())
            return t.map(p);
        return QPointF(t.m11() * p.x() + t.m21() * p.y() + t.dx(), t.m12() * p.x() + t.m22() * p.y() + t.dy());
    }
    // Pen width in device pixels (at least one).
    int devicePenWidth() const;
    // The clip in force: the region and the clip at the start of a play.
    const std::optional<QRegion> &effectiveClip() const;
    // Changes whenever the clip in force may have changed.
    std::uint64_t clipSerial() const { return clipSerial_; }
    // Resets the state to that of a new device context (keeping the play
    // context fields).
    void resetToDefaults();

    DcState state_;
    DeviceMetrics metrics_;

private:
    const QTransform &mapping() const;
    // The state's mapping or clip changed: the values derived from them are
    // worked out again when next asked for.
    void mappingChanged() { mappingValid_ = false; }
    void clipChanged()
    {
        clipValid_ = false;
        ++clipSerial_;
    }
    void stateReplaced()
    {
        mappingChanged();
        clipChanged();
    }

    std::vector<DcState> saved_;
    mutable QTransform mapping_;
    mutable double scaleX_ = 1;
    mutable double scaleY_ = 1;
    mutable bool mappingValid_ = false;
    mutable std::optional<QRegion> clip_;
    mutable bool clipValid_ = false;
    std::uint64_t clipSerial_ = 0;
};

} // namespace platform::gdi
