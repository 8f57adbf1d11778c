#include "platform/gdi/RecordList.h"

#include <limits>
#include <stdexcept>

namespace platform::gdi {

static_assert(sizeof(int) == sizeof(std::int32_t), "counts are kept as 32-bit words");

// --- views and records ------------------------------------------------------

const LogFont &RecordView::font() const
{
    static const LogFont none;
    return fontData ? *fontData : none;
}

const QString &RecordView::text() const
{
    static const QString none;
    return textData ? *textData : none;
}

const QImage &RecordView::image() const
{
    static const QImage none;
    return imageData ? *imageData : none;
}

const QTransform &RecordView::transform() const
{
    static const QTransform none;
    return transformData ? *transformData : none;
}

const QRegion &RecordView::region() const
{
    static const QRegion none;
    return regionData ? *regionData : none;
}

MetaRecord::MetaRecord(const RecordView &v)
    : type(v.type), value(v.value), point(v.point), rect(v.rect), points(v.points.begin(), v.points.end()),
      counts(v.counts.begin(), v.counts.end()), text(v.text()), pen(v.pen), brush(v.brush), font(v.font()),
      image(v.image()), source(v.source), rop(v.rop), transform(v.transform()), region(v.region()),
      nullRegion(v.nullRegion), bounds(v.bounds)
{
}

RecordView MetaRecord::view() const
{
    RecordView v;
    v.type = type;
    v.value = value;
    v.point = point;
    v.rect = rect;
    v.bounds = bounds;
    v.source = source;
    v.rop = rop;
    v.nullRegion = nullRegion;
    v.pen = pen;
    v.brush = brush;
    v.points = points;
    v.counts = counts;
    v.fontData = &font;
    v.textData = &text;
    v.imageData = &image;
    v.transformData = &transform;
    v.regionData = &region;
    return v;
}

// --- the stream ---------------------------------------------------------------

namespace {

// The forms of the records in the stream: after the word of the kind come
//   Pen: style, width, colour          Brush: style, colour, hatch
//   Value: value (two words)           Point: x, y
//   Modify: mode (two words)           Rect: left, top, right, bottom
//   Clip: mode (two words), null       Poly: bounds, point count
//   PolyPoly: bounds, point count, polygon count, the counts
//   Shape: rect, bounds                Text: x, y, bounds, advance count, advances
//   Bits: rect, bounds, source (left, top, right, bottom), raster operation
// Font, transform, Modify, Clip, Text and Bits records also take the next
// entry of their side array, Poly and PolyPoly their points.
enum class Form { Pen, Brush, Font, Value, Point, Transform, Modify, Rect, Clip, Poly, PolyPoly, Shape, Text, Bits,
                  Other };

Form formOf(int type)
{
    switch (type) {
    case EMR_CREATEPEN: return Form::Pen;
    case EMR_CREATEBRUSHINDIRECT: return Form::Brush;
    case EMR_EXTCREATEFONTINDIRECTW: return Form::Font;
    case EMR_SETMAPMODE: case EMR_SETBKMODE: case EMR_SETPOLYFILLMODE: case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE: case EMR_SETTEXTALIGN: case EMR_SETTEXTCOLOR: case EMR_SETBKCOLOR:
    case EMR_SAVEDC: case EMR_RESTOREDC:
        return Form::Value;
    case EMR_SETWINDOWEXTEX: case EMR_SETWINDOWORGEX: case EMR_SETVIEWPORTEXTEX: case EMR_SETVIEWPORTORGEX:
    case EMR_MOVETOEX: case EMR_LINETO:
        return Form::Point;
    case EMR_SETWORLDTRANSFORM: return Form::Transform;
    case EMR_MODIFYWORLDTRANSFORM: return Form::Modify;
    case EMR_INTERSECTCLIPRECT: return Form::Rect;
    case EMR_EXTSELECTCLIPRGN: return Form::Clip;
    case EMR_POLYGON: case EMR_POLYLINE: return Form::Poly;
    case EMR_POLYPOLYGON: return Form::PolyPoly;
    case EMR_ELLIPSE: case EMR_RECTANGLE: return Form::Shape;
    case EMR_EXTTEXTOUTW: return Form::Text;
    case EMR_STRETCHDIBITS: return Form::Bits;
    default: return Form::Other;
    }
}

std::int64_t join64(std::int32_t lo, std::int32_t hi)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(hi)) << 32)
                                     | static_cast<std::uint32_t>(lo));
}

Rect rectAt(const std::int32_t *w)
{
    return Rect{w[0], w[1], w[2], w[3]};
}

} // namespace

// The words a record of a form takes in the stream, with its kind's word.
std::size_t RecordList::wordsOf(int type, std::size_t counts)
{
    switch (formOf(type)) {
    case Form::Pen: case Form::Brush: return 4;
    case Form::Font: case Form::Transform: case Form::Other: return 1;
    case Form::Value: case Form::Point: case Form::Modify: return 3;
    case Form::Rect: return 5;
    case Form::Clip: return 4;
    case Form::Poly: return 6;
    case Form::PolyPoly: return 7 + counts;
    case Form::Shape: return 9;
    case Form::Text: return 8 + counts;
    case Form::Bits: return 14;
    }
    return 1;
}

void RecordList::clear()
{
    words_.clear();
    points_.clear();
    fonts_.clear();
    texts_.clear();
    images_.clear();
    transforms_.clear();
    regions_.clear();
    others_.clear();
    count_ = 0;
}

void RecordList::word64(std::int64_t v)
{
    const auto u = static_cast<std::uint64_t>(v);
    word(static_cast<std::int32_t>(static_cast<std::uint32_t>(u & 0xFFFFFFFFu)));
    word(static_cast<std::int32_t>(static_cast<std::uint32_t>(u >> 32)));
}

void RecordList::rect(const Rect &r)
{
    const std::int32_t w[4] = {r.left, r.top, r.right, r.bottom};
    words_.add(w, 4);
}

void RecordList::qrect(const QRect &r)
{
    const std::int32_t w[4] = {r.left(), r.top(), r.right(), r.bottom()};
    words_.add(w, 4);
}

void RecordList::append(const RecordView &r)
{
    const Form form = formOf(r.type);
    // Counts are kept in one word each; nothing is written for a record beyond that.
    constexpr std::size_t kMost = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    if (r.points.size() > kMost || r.counts.size() > kMost)
        throw std::length_error("metafile record too large");
    // A record is one run of the stream.
    words_.reserveRun(wordsOf(r.type, r.counts.size()));
    switch (form) {
    case Form::Point: {
        // The most common records.
        const std::int32_t w[3] = {r.type, r.point.x(), r.point.y()};
        words_.add(w, 3);
        break;
    }
    case Form::Pen: {
        const std::int32_t w[4] = {r.type, r.pen.style, r.pen.width, static_cast<std::int32_t>(r.pen.color)};
        words_.add(w, 4);
        break;
    }
    case Form::Brush: {
        const std::int32_t w[4] = {r.type, r.brush.style, static_cast<std::int32_t>(r.brush.color), r.brush.hatch};
        words_.add(w, 4);
        break;
    }
    case Form::Font:
        word(r.type);
        fonts_.push_back(r.font());
        break;
    case Form::Value:
        word(r.type);
        word64(r.value);
        break;
    case Form::Transform:
        word(r.type);
        transforms_.push_back(r.transform());
        break;
    case Form::Modify:
        word(r.type);
        word64(r.value);
        transforms_.push_back(r.transform());
        break;
    case Form::Rect:
        word(r.type);
        rect(r.rect);
        break;
    case Form::Clip:
        word(r.type);
        word64(r.value);
        word(r.nullRegion ? 1 : 0);
        regions_.push_back(r.region());
        break;
    case Form::Poly:
        word(r.type);
        rect(r.bounds);
        word(static_cast<std::int32_t>(r.points.size()));
        points_.reserveRun(r.points.size());
        points_.add(r.points.data(), r.points.size());
        break;
    case Form::PolyPoly:
        word(r.type);
        rect(r.bounds);
        word(static_cast<std::int32_t>(r.points.size()));
        word(static_cast<std::int32_t>(r.counts.size()));
        words_.add(r.counts.data(), r.counts.size());
        points_.reserveRun(r.points.size());
        points_.add(r.points.data(), r.points.size());
        break;
    case Form::Shape:
        word(r.type);
        rect(r.rect);
        rect(r.bounds);
        break;
    case Form::Text:
        word(r.type);
        word(r.point.x());
        word(r.point.y());
        rect(r.bounds);
        word(static_cast<std::int32_t>(r.counts.size()));
        words_.add(r.counts.data(), r.counts.size());
        texts_.push_back(r.text());
        break;
    case Form::Bits:
        word(r.type);
        rect(r.rect);
        rect(r.bounds);
        qrect(r.source);
        word(static_cast<std::int32_t>(r.rop));
        images_.push_back(r.image());
        break;
    case Form::Other:
        word(r.type);
        others_.emplace_back(r);
        break;
    }
    ++count_;
}

void RecordList::append(const RecordList &records)
{
    if (&records == this) {
        const RecordList copy = records;
        append(copy);
        return;
    }
    for (const RecordView &r : records)
        append(r);
}

std::size_t RecordList::memoryUsage() const
{
    std::size_t n = sizeof(*this) + words_.capacity() * sizeof(std::int32_t) + points_.capacity() * sizeof(QPoint)
                    + fonts_.capacity() * sizeof(LogFont) + texts_.capacity() * sizeof(QString)
                    + images_.capacity() * sizeof(QImage) + transforms_.capacity() * sizeof(QTransform)
                    + regions_.capacity() * sizeof(QRegion) + others_.capacity() * sizeof(MetaRecord);
    for (const QString &t : texts_)
        n += static_cast<std::size_t>(t.capacity()) * sizeof(QChar);
    for (const LogFont &f : fonts_)
        n += static_cast<std::size_t>(f.faceName.capacity()) * sizeof(QChar);
    for (const QImage &i : images_)
        n += static_cast<std::size_t>(i.sizeInBytes());
    for (const QRegion &g : regions_)
        n += static_cast<std::size_t>(g.rectCount()) * sizeof(QRect);
    return n;
}

// --- reading ------------------------------------------------------------------

RecordList::const_iterator::const_iterator(const RecordList *list, std::size_t index) : list_(list), index_(index)
{
    decode();
}

void RecordList::const_iterator::decode()
{
    if (index_ >= list_->count_)
        return;
    list_->words_.settle(word_);
    const std::int32_t *w = list_->words_.at(word_);
    RecordView &v = view_;
    // Only the fields the previous record set are put back: most records are
    // pen moves following pen moves.
    switch (static_cast<Form>(form_)) {
    case Form::Point: v.point = QPoint(); break;
    case Form::Pen: v.pen = Pen{}; break;
    case Form::Brush: v.brush = Brush{}; break;
    case Form::Font: v.fontData = nullptr; break;
    case Form::Value: v.value = 0; break;
    case Form::Transform: v.transformData = nullptr; break;
    case Form::Modify: v.value = 0; v.transformData = nullptr; break;
    case Form::Rect: v.rect = Rect{}; break;
    case Form::Clip: v.value = 0; v.nullRegion = false; v.regionData = nullptr; break;
    case Form::Poly: v.bounds = Rect{}; v.points = {}; break;
    case Form::PolyPoly: v.bounds = Rect{}; v.points = {}; v.counts = {}; break;
    case Form::Shape: v.rect = Rect{}; v.bounds = Rect{}; break;
    case Form::Text: v.point = QPoint(); v.bounds = Rect{}; v.counts = {}; v.textData = nullptr; break;
    case Form::Bits:
        v.rect = Rect{};
        v.bounds = Rect{};
        v.source = QRect();
        v.rop = SRCCOPY;
        v.imageData = nullptr;
        break;
    case Form::Other: v = RecordView{}; break;
    }
    v.type = w[0];
    const Form form = formOf(v.type);
    form_ = static_cast<int>(form);
    std::size_t used = 1;
    switch (form) {
    case Form::Point:
        v.point = QPoint(w[1], w[2]);
        used = 3;
        break;
    case Form::Pen:
        v.pen = Pen{w[1], w[2], static_cast<Color>(w[3])};
        used = 4;
        break;
    case Form::Brush:
        v.brush = Brush{w[1], static_cast<Color>(w[2]), w[3]};
        used = 4;
        break;
    case Form::Font:
        v.fontData = &list_->fonts_[font_++];
        break;
    case Form::Value:
        v.value = join64(w[1], w[2]);
        used = 3;
        break;
    case Form::Transform:
        v.transformData = &list_->transforms_[transform_++];
        break;
    case Form::Modify:
        v.value = join64(w[1], w[2]);
        v.transformData = &list_->transforms_[transform_++];
        used = 3;
        break;
    case Form::Rect:
        v.rect = rectAt(w + 1);
        used = 5;
        break;
    case Form::Clip:
        v.value = join64(w[1], w[2]);
        v.nullRegion = w[3] != 0;
        v.regionData = &list_->regions_[region_++];
        used = 4;
        break;
    case Form::Poly: {
        v.bounds = rectAt(w + 1);
        const auto n = static_cast<std::size_t>(w[5]);
        v.points = std::span<const QPoint>(list_->points_.run(point_, n), n);
        used = 6;
        break;
    }
    case Form::PolyPoly: {
        v.bounds = rectAt(w + 1);
        const auto n = static_cast<std::size_t>(w[5]);
        const auto m = static_cast<std::size_t>(w[6]);
        v.counts = std::span<const int>(w + 7, m);
        v.points = std::span<const QPoint>(list_->points_.run(point_, n), n);
        used = 7 + m;
        break;
    }
    case Form::Shape:
        v.rect = rectAt(w + 1);
        v.bounds = rectAt(w + 5);
        used = 9;
        break;
    case Form::Text: {
        v.point = QPoint(w[1], w[2]);
        v.bounds = rectAt(w + 3);
        const auto m = static_cast<std::size_t>(w[7]);
        v.counts = std::span<const int>(w + 8, m);
        v.textData = &list_->texts_[text_++];
        used = 8 + m;
        break;
    }
    case Form::Bits:
        v.rect = rectAt(w + 1);
        v.bounds = rectAt(w + 5);
        v.source = QRect(QPoint(w[9], w[10]), QPoint(w[11], w[12]));
        v.rop = static_cast<std::uint32_t>(w[13]);
        v.imageData = &list_->images_[image_++];
        used = 14;
        break;
    case Form::Other:
        view_ = list_->others_[other_++].view();
        break;
    }
    word_.offset += used;
}

} // namespace platform::gdi
