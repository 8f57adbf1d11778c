#include "tools/layergen/LayerFiles.h"

#include "platform/TextCodec.h"
#include "platform/db/DbfCodec.h"

#include <algorithm>
#include <stdexcept>

namespace layergen {

namespace {

// The record codecs cut a text to its field; a description's text that does
// not fit is refused instead, so that nothing is lost unseen.
void checkFits(const QString &text, int fieldSize, const char *what)
{
    if (platform::toCp1251(text).size() > fieldSize - 1)
        throw std::invalid_argument(std::string(what) + " is longer than " + std::to_string(fieldSize - 1)
                                    + " characters: " + text.toStdString());
}

TShpParts partOf(const std::vector<Point> &points)
{
    TShpParts part;
    for (const Point &p : points) {
        TShpPoint q;
        q.X = p.x;
        q.Y = p.y;
        part.Points.push_back(q);
    }
    return part;
}

void setBox(TShpObject &shape, const Box &b)
{
    if (b.empty)
        return;
    shape.XMin = b.xmin;
    shape.YMin = b.ymin;
    shape.XMax = b.xmax;
    shape.YMax = b.ymax;
}

} // namespace

void Box::add(double x, double y)
{
    if (empty) {
        xmin = xmax = x;
        ymin = ymax = y;
        empty = false;
        return;
    }
    xmin = std::min(xmin, x);
    ymin = std::min(ymin, y);
    xmax = std::max(xmax, x);
    ymax = std::max(ymax, y);
}

void Box::add(const Box &b)
{
    if (b.empty)
        return;
    add(b.xmin, b.ymin);
    add(b.xmax, b.ymax);
}

void ShapeFile::append(const QByteArray &content)
{
    std::int32_t number = 0;
    shp::IndexEntry entry =
        shp::appendedRecordPlace(count(), index_.empty() ? shp::IndexEntry{} : index_.back(), number);
    entry.ContentLength = static_cast<std::int32_t>(content.size() / 2);
    char head[shp::RecordHeaderSize];
    shp::encodeRecordHeader(head, {number, entry.ContentLength});
    records_.append(head, shp::RecordHeaderSize);
    records_ += content;
    index_.push_back(entry);
}

void ShapeFile::addRaster(const TShpObject &shape)
{
    if (type_ != shp::stRaster)
        throw std::logic_error("a raster object in a layer of another shape type");
    box_.add(shape.XMin, shape.YMin);
    box_.add(shape.XMax, shape.YMax);
    append(shp::encodeObjectContent(type_, shape, {}));
}

void ShapeFile::addPoint(Point p)
{
    if (type_ != shp::stPoint)
        throw std::logic_error("a point in a layer of another shape type");
    TShpObject shape;
    shape.ShapeType = type_;
    shape.Parts.push_back(partOf({p}));
    box_.add(p.x, p.y);
    append(shp::encodeObjectContent(type_, shape, {}));
}

void ShapeFile::addPoly(const std::vector<Ring> &parts)
{
    if (type_ != shp::stPolyline && type_ != shp::stPolygon)
        throw std::logic_error("a polyline or polygon in a layer of another shape type");
    TShpObject shape;
    shape.ShapeType = type_;
    Box b;
    for (const Ring &r : parts) {
        shape.Parts.push_back(partOf(r));
        for (const Point &p : r)
            b.add(p.x, p.y);
    }
    setBox(shape, b);
    box_.add(b);
    append(shp::encodeObjectContent(type_, shape, {}));
}

void ShapeFile::addText(const TextObject &t)
{
    if (type_ != shp::stText)
        throw std::logic_error("a text object in a layer of another shape type");
    if (t.points.empty())
        throw std::logic_error("a text object without its anchor point");
    checkFits(t.style.Text, shp::TextFieldSize, "a text");
    checkFits(t.style.FontName, shp::FontNameSize, "a font name");
    Box b;
    for (const Point &p : t.points)
        b.add(p.x, p.y);
    b.xmin -= kTextBoxMargin;
    b.ymin -= kTextBoxMargin;
    b.xmax += kTextBoxMargin;
    b.ymax += kTextBoxMargin;
    TShpObject shape;
    shape.ShapeType = t.style.Kind;
    shape.Parts.push_back(partOf(t.points));
    setBox(shape, b);
    box_.add(b);
    append(shp::encodeObjectContent(type_, shape, t.style));
}

QByteArray ShapeFile::header(qsizetype fileBytes) const
{
    shp::FileHeader h;
    h.FileCode = shp::FileCode;
    h.Version = 1000;
    h.ShapeType = type_;
    if (!box_.empty) {
        h.XMin = box_.xmin;
        h.YMin = box_.ymin;
        h.XMax = box_.xmax;
        h.YMax = box_.ymax;
    }
    const auto bytes = shp::encodeFileHeader(h, fileBytes);
    return QByteArray(bytes.data(), bytes.size());
}

QByteArray ShapeFile::shp() const
{
    return header(shp::FileHeaderSize + records_.size()) + records_;
}

QByteArray ShapeFile::shx() const
{
    QByteArray index(shp::IndexEntrySize * count(), '\0');
    for (int i = 0; i < count(); ++i)
        shp::encodeIndexEntry(index.data() + shp::IndexEntrySize * i, index_[static_cast<size_t>(i)]);
    return header(shp::FileHeaderSize + index.size()) + index;
}

QByteArray dbfTable(const platform::db::FieldDefs &fields, QDate date,
                    const std::vector<std::vector<QVariant>> &rows)
{
    namespace dbf = platform::db::dbf;
    std::vector<dbf::DbfField> layout;
    QByteArray bytes = dbf::buildHeader(fields, date, static_cast<quint32>(rows.size()), false, &layout);
    int recordLength = 1;
    for (const dbf::DbfField &f : layout)
        recordLength += f.length;
    for (const std::vector<QVariant> &row : rows) {
        if (row.size() != layout.size())
            throw std::logic_error("a row with another number of values than the table has fields");
        QByteArray record = dbf::blankRecord(recordLength);
        for (size_t i = 0; i < layout.size(); ++i)
            dbf::encodeValue(layout[i], record, row[i]);
        bytes += record;
    }
    bytes += dbf::kFileEnd;
    return bytes;
}

platform::db::FieldDef fieldDef(const QString &name, char type, int width, int decimals)
{
    using platform::db::FieldType;
    platform::db::FieldDef d;
    d.name = name;
    d.size = width;
    d.precision = decimals;
    switch (type) {
    case 'C': d.type = FieldType::String; break;
    case 'N': d.type = decimals > 0 ? FieldType::Float : FieldType::Integer; break;
    case 'D': d.type = FieldType::Date; break;
    default: throw std::invalid_argument("a field type other than C, N or D");
    }
    return d;
}

} // namespace layergen
