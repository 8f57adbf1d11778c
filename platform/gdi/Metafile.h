#pragma once
// A recorded picture: the records of the calls made on a MetafileCanvas, with a
// frame in 0.01 mm and the reference device the records were made on. It plays
// onto any canvas stretched into a rectangle, its records can be read back, and
// it is saved and loaded as an enhanced metafile (".emf") or a placeable Windows
// metafile (".wmf").

#include "platform/gdi/Canvas.h"
#include "platform/gdi/MetaRecord.h"
#include "platform/gdi/RecordList.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace platform::gdi {

class Metafile {
public:
    Metafile();
    explicit Metafile(const DeviceMetrics &reference);

    // The frame: where the picture lies, in 0.01 mm of the reference device
    // (y down from the top-left corner).
    const Rect &frame() const { return frame_; }
    void setFrame(const Rect &frame) { frame_ = frame; }
    // The size in 0.01 mm, and in pixels of the reference device.
    int mmWidth() const { return frame_.width(); }
    int mmHeight() const { return frame_.height(); }
    void setMmSize(int width, int height) { frame_ = Rect{0, 0, width, height}; }
    int width() const;
    int height() const;
    // Sets the size in pixels of the reference device; the frame becomes
    // width × (device millimetres × 100) / (device pixels), rounded.
    void setSizeInPixels(int width, int height);

    const DeviceMetrics &reference() const { return reference_; }
    // The records in order (as views into the picture's storage).
    const RecordList &records() const { return records_; }
    RecordList &records() { return records_; }
    // The bounds of what was drawn, in reference pixels.
    const Rect &bounds() const { return bounds_; }
    void setBounds(const Rect &b) { bounds_ = b; }
    bool isEmpty() const { return records_.empty(); }
    void clear();
    // Plays the picture onto a canvas, its frame stretched into a logical rectangle.
    void play(Canvas &canvas, const Rect &logical) const { canvas.drawMetafile(*this, logical); }

    // The file codecs. The writers report false with a message in Russian;
    // nothing is left behind under the name when writing fails.
    QByteArray toEmf() const;
    QByteArray toWmf() const;
    bool saveEmf(const QString &fileName, QString *error = nullptr) const;
    bool saveWmf(const QString &fileName, QString *error = nullptr) const;
    // Saves as a placeable Windows metafile when the name's extension is ".wmf",
    // else as an enhanced metafile.
    bool saveToFile(const QString &fileName, QString *error = nullptr) const;
    // Reads either kind (by its content); nullopt with a message for a file
    // that is not a metafile or is damaged.
    static std::optional<Metafile> fromBytes(const QByteArray &bytes, QString *error = nullptr);
    static std::optional<Metafile> loadFromFile(const QString &fileName, QString *error = nullptr);

private:
    DeviceMetrics reference_;
    Rect frame_;
    Rect bounds_{0, 0, -1, -1};
    RecordList records_;
};

// Records what is drawn on it into a metafile; the metafile takes the records
// when the canvas finishes (or is destroyed). A metafile without a set size
// gets the frame of what was drawn.
class MetafileCanvas : public Canvas {
public:
    explicit MetafileCanvas(Metafile &target);
    ~MetafileCanvas() override;
    void finish();

protected:
    void perform(const RecordView &record) override;

private:
    void addBounds(const QRectF &device);
    void flatten(const RecordView &record);
    void emitState();
    void push(const RecordView &record) { records_.append(record); }
    bool repeatsState(const RecordView &record);
    std::vector<int> advances(const QString &text) const;

    Metafile *target_;
    RecordList records_;
    Rect bounds_{0, 0, -1, -1};
    Rect lastBounds_;
    bool finished_ = false;
    // What a play has set on the records so far (records of a played picture
    // are written in our logical units with their state made explicit).
    struct Emitted {
        bool valid = false;
        Pen pen;
        Brush brush;
        LogFont font;
        Color textColor = 0;
        Color bkColor = 0;
        int bkMode = 0;
        unsigned textAlign = 0;
        int rop2 = 0;
        int polyFillMode = 0;
        int stretchMode = 0;
        std::optional<QRegion> clip;
    } emitted_;
    // The pen, the brush and the background last written by the drawing
    // itself (not a played picture): setting them again to the same adds no
    // record (a map sets and puts back its pen around every figure).
    struct Written {
        std::optional<Pen> pen;
        std::optional<Brush> brush;
        std::optional<std::int64_t> bkColor, bkMode;
    } written_;
};

} // namespace platform::gdi
