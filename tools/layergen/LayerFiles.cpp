#include "tools/layergen/LayerFiles.h"

#include "platform/TextCodec.h"
#include "platform/db/DbfCodec.h"

#include <cstring>
#include <stdexcept>

namespace layergen {

namespace {

void putBE32(QByteArray &b, qsizetype at, qint32 v)
{
    const auto u = static_cast<quint32>(v);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((u >> (24 - 8 * i)) & 0xFF);
}

void putLE32(QByteArray &b, qsizetype at, qint32 v)
{
    const auto u = static_cast<quint32>(v);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

void putLE16(QByteArray &b, qsizetype at, qint16 v)
{
    const auto u = static_cast<quint16>(v);
    b[at] = static_cast<char>(u & 0xFF);
    b[at + 1] = static_cast<char>(u >> 8);
}

void putLEDouble(QByteArray &b, qsizetype at, double v)
{
    quint64 u = 0;
    std::memcpy(&u, &v, sizeof u);
    for (int i = 0; i < 8; ++i)
        b[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

void putBox(QByteArray &b, qsizetype at, const Box &box)
{
    if (box.empty)
        return;
    putLEDouble(b, at, box.xmin);
    putLEDouble(b, at + 8, box.ymin);
    putLEDouble(b, at + 16, box.xmax);
    putLEDouble(b, at + 24, box.ymax);
}

// A zero-padded character field of the record; at most size - 1 bytes so that
// a terminating zero always remains.
void putText(QByteArray &b, qsizetype at, int size, const QString &text, const char *what)
{
    const QByteArray bytes = platform::toCp1251(text);
    if (bytes.size() > size - 1)
        throw std::invalid_argument(std::string(what) + " is longer than " + std::to_string(size - 1)
                                    + " characters: " + text.toStdString());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        b[at + i] = bytes[i];
}

Box ringsBox(const std::vector<Ring> &parts)
{
    Box b;
    for (const Ring &r : parts)
        for (const Point &p : r)
            b.add(p.x, p.y);
    return b;
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
    // Offsets and lengths count 16-bit words; the first record follows the
    // 100-byte header at word 50.
    const int offset = 50 + static_cast<int>(records_.size() / 2);
    const int length = static_cast<int>(content.size() / 2);
    QByteArray head(8, '\0');
    putBE32(head, 0, count() + 1);
    putBE32(head, 4, length);
    records_ += head;
    records_ += content;
    offsets_.push_back(offset);
    lengths_.push_back(length);
}

void ShapeFile::addPoint(Point p)
{
    if (type_ != 1)
        throw std::logic_error("a point in a layer of another shape type");
    QByteArray c(20, '\0');
    putLE32(c, 0, 1);
    putLEDouble(c, 4, p.x);
    putLEDouble(c, 12, p.y);
    box_.add(p.x, p.y);
    append(c);
}

void ShapeFile::addPoly(const std::vector<Ring> &parts)
{
    if (type_ != 3 && type_ != 5)
        throw std::logic_error("a polyline or polygon in a layer of another shape type");
    int points = 0;
    for (const Ring &r : parts)
        points += static_cast<int>(r.size());
    const int n = static_cast<int>(parts.size());
    QByteArray c(44 + 4 * n + 16 * points, '\0');
    const Box b = ringsBox(parts);
    putLE32(c, 0, type_);
    putBox(c, 4, b);
    putLE32(c, 36, n);
    putLE32(c, 40, points);
    qsizetype at = 44;
    int start = 0;
    for (const Ring &r : parts) {
        putLE32(c, at, start);
        at += 4;
        start += static_cast<int>(r.size());
    }
    for (const Ring &r : parts)
        for (const Point &p : r) {
            putLEDouble(c, at, p.x);
            putLEDouble(c, at + 8, p.y);
            at += 16;
        }
    box_.add(b);
    append(c);
}

void ShapeFile::addText(const TextObject &t)
{
    if (type_ != 8)
        throw std::logic_error("a text object in a layer of another shape type");
    if (t.points.empty())
        throw std::logic_error("a text object without its anchor point");
    const int n = static_cast<int>(t.points.size());
    QByteArray c(432 + 4 + 24 * n, '\0');
    putLE32(c, 0, t.kind);
    putText(c, 4, 200, t.text, "a text");
    putText(c, 204, 70, t.fontName, "a font name");
    putLE32(c, 274, t.fontSize);
    putLE16(c, 278, static_cast<qint16>(t.fontStyle));
    putLE32(c, 280, t.rotate);
    putLE32(c, 284, t.textScale);
    c[289] = static_cast<char>(t.transparent);
    c[290] = static_cast<char>(t.symbol);
    putLE32(c, 295, t.textColor);
    putLE32(c, 299, t.bgTextColor);
    putLE32(c, 303, t.textAlign);
    putLE32(c, 315, t.penColor);
    putLE32(c, 319, t.penWidth);
    putLE32(c, 323, t.penStyle);
    putLE32(c, 327, t.brushColor);
    putLE32(c, 331, t.brushStyle);
    Box b;
    for (const Point &p : t.points)
        b.add(p.x, p.y);
    b.xmin -= kTextBoxMargin;
    b.ymin -= kTextBoxMargin;
    b.xmax += kTextBoxMargin;
    b.ymax += kTextBoxMargin;
    putBox(c, 360, b);
    putLE32(c, 424, 1);
    putLE32(c, 428, n);
    putLE32(c, 432, 0); // the one part starts at the first point
    qsizetype at = 436;
    for (const Point &p : t.points) {
        putLEDouble(c, at, p.x);
        putLEDouble(c, at + 8, p.y);
        at += 24; // W and H stay 0
    }
    box_.add(b);
    append(c);
}

QByteArray ShapeFile::header(qsizetype fileBytes) const
{
    QByteArray h(100, '\0');
    putBE32(h, 0, 9994);
    putBE32(h, 24, static_cast<qint32>(fileBytes / 2));
    putLE32(h, 28, 1000);
    putLE32(h, 32, type_);
    putBox(h, 36, box_);
    return h;
}

QByteArray ShapeFile::shp() const
{
    return header(100 + records_.size()) + records_;
}

QByteArray ShapeFile::shx() const
{
    QByteArray index(8 * count(), '\0');
    for (int i = 0; i < count(); ++i) {
        putBE32(index, 8 * i, offsets_[static_cast<size_t>(i)]);
        putBE32(index, 8 * i + 4, lengths_[static_cast<size_t>(i)]);
    }
    return header(100 + index.size()) + index;
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
