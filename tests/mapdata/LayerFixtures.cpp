#include "LayerFixtures.h"

#include "support/TestFiles.h"

#include <cstring>

using testsupport::putBE32;
using testsupport::putLE16;
using testsupport::putLE32;
using testsupport::putLEDouble;

namespace fixtures {

QByteArray header(std::int32_t shapeType, Box box, std::int32_t fileLengthWords)
{
    QByteArray h(100, '\0');
    putBE32(h, 0, 9994);
    putBE32(h, 24, fileLengthWords);
    putLE32(h, 28, 1000);
    putLE32(h, 32, shapeType);
    putLEDouble(h, 36, box.xMin);
    putLEDouble(h, 44, box.yMin);
    putLEDouble(h, 52, box.xMax);
    putLEDouble(h, 60, box.yMax);
    return h;
}

QByteArray pointContent(std::int32_t shapeType, double x, double y)
{
    QByteArray c(20, '\0');
    putLE32(c, 0, shapeType);
    putLEDouble(c, 4, x);
    putLEDouble(c, 12, y);
    return c;
}

QByteArray polyContent(std::int32_t shapeType, Box box, const std::vector<std::int32_t> &starts,
                       const std::vector<Pt> &points)
{
    return polyContentZM(shapeType, box, starts, points, false, false);
}

QByteArray polyContentZM(std::int32_t shapeType, Box box, const std::vector<std::int32_t> &starts,
                         const std::vector<Pt> &points, bool withZ, bool withM)
{
    QByteArray c(44, '\0');
    putLE32(c, 0, shapeType);
    putLEDouble(c, 4, box.xMin);
    putLEDouble(c, 12, box.yMin);
    putLEDouble(c, 20, box.xMax);
    putLEDouble(c, 28, box.yMax);
    putLE32(c, 36, static_cast<std::int32_t>(starts.size()));
    putLE32(c, 40, static_cast<std::int32_t>(points.size()));
    qsizetype o = 44;
    for (std::int32_t s : starts) {
        putLE32(c, o, s);
        o += 4;
    }
    for (const Pt &p : points) {
        putLEDouble(c, o, p.x);
        putLEDouble(c, o + 8, p.y);
        o += 16;
    }
    // Z block: range then values; M block likewise (values made up).
    for (int block = 0; block < 2; ++block) {
        if ((block == 0 && !withZ) || (block == 1 && !withM))
            continue;
        putLEDouble(c, o, -1000.0);
        putLEDouble(c, o + 8, 1000.0);
        o += 16;
        for (size_t k = 0; k < points.size(); ++k) {
            putLEDouble(c, o, 777.0 + static_cast<double>(k));
            o += 8;
        }
    }
    return c;
}

static void putTextHead(QByteArray &c, const TextFields &f, std::int32_t numParts, std::int32_t numPoints)
{
    c.resize(432, '\0');
    putLE32(c, 0, f.kind);
    std::memcpy(c.data() + 4, f.text.constData(), static_cast<size_t>(std::min<qsizetype>(f.text.size(), 200)));
    std::memcpy(c.data() + 204, f.fontName.constData(),
                static_cast<size_t>(std::min<qsizetype>(f.fontName.size(), 70)));
    putLE32(c, 274, f.fontSize);
    putLE16(c, 278, f.fontStyle);
    putLE32(c, 280, f.rotate);
    putLE32(c, 284, f.textScale);
    c[289] = f.transparent;
    c[290] = f.symbol;
    putLE32(c, 295, f.textColor);
    putLE32(c, 299, f.bgTextColor);
    putLE32(c, 303, f.textAlign);
    putLE32(c, 315, f.penColor);
    putLE32(c, 319, f.penWidth);
    putLE32(c, 323, f.penStyle);
    putLE32(c, 327, f.brushColor);
    putLE32(c, 331, f.brushStyle);
    putLE32(c, 335, f.pointStyle);
    putLE32(c, 343, f.arrowStart);
    putLE32(c, 347, f.arrowEnd);
    putLE32(c, 352, f.imageWidth);
    putLE32(c, 356, f.imageHeight);
    putLEDouble(c, 360, f.box.xMin);
    putLEDouble(c, 368, f.box.yMin);
    putLEDouble(c, 376, f.box.xMax);
    putLEDouble(c, 384, f.box.yMax);
    putLE32(c, 424, numParts);
    putLE32(c, 428, numPoints);
}

QByteArray textHeadWithCounts(const TextFields &f, std::int32_t numParts, std::int32_t numPoints)
{
    QByteArray c;
    putTextHead(c, f, numParts, numPoints);
    return c;
}

QByteArray textContent(const TextFields &f, const std::vector<std::int32_t> &starts, const std::vector<Pt> &points)
{
    QByteArray c;
    putTextHead(c, f, static_cast<std::int32_t>(starts.size()), static_cast<std::int32_t>(points.size()));
    qsizetype o = 432;
    for (std::int32_t s : starts) {
        putLE32(c, o, s);
        o += 4;
    }
    for (const Pt &p : points) {
        putLEDouble(c, o, p.x);
        putLEDouble(c, o + 8, p.y);
        putLE32(c, o + 16, p.w);
        putLE32(c, o + 20, p.h);
        o += 24;
    }
    return c;
}

QByteArray rasterContent(std::int32_t shapeType, Box box, const QByteArray &imageName, char flag, std::int32_t width,
                         std::int32_t height, const std::vector<Pt> &controlPoints)
{
    QByteArray c(282, '\0');
    putLE32(c, 0, shapeType);
    putLEDouble(c, 4, box.xMin);
    putLEDouble(c, 12, box.yMin);
    putLEDouble(c, 20, box.xMax);
    putLEDouble(c, 28, box.yMax);
    std::memcpy(c.data() + 36, imageName.constData(), static_cast<size_t>(std::min<qsizetype>(imageName.size(), 200)));
    c[236] = flag;
    putLE32(c, 237, width);
    putLE32(c, 241, height);
    putLE32(c, 277, static_cast<std::int32_t>(controlPoints.size()));
    qsizetype o = 282;
    for (const Pt &p : controlPoints) {
        putLEDouble(c, o, p.x);
        putLEDouble(c, o + 8, p.y);
        putLE32(c, o + 16, p.w);
        putLE32(c, o + 20, p.h);
        o += 24;
    }
    return c;
}

Layer layer(std::int32_t shapeType, Box box, const std::vector<QByteArray> &contents)
{
    Layer l;
    QByteArray body;
    QByteArray index;
    std::int32_t offset = 50;
    std::int32_t number = 1;
    for (const QByteArray &c : contents) {
        const auto words = static_cast<std::int32_t>(c.size() / 2);
        QByteArray rec(8, '\0');
        putBE32(rec, 0, number++);
        putBE32(rec, 4, words);
        body += rec + c;
        QByteArray entry(8, '\0');
        putBE32(entry, 0, offset);
        putBE32(entry, 4, words);
        index += entry;
        l.offsets.push_back(offset);
        l.lengths.push_back(words);
        offset += 4 + words;
    }
    l.shp = header(shapeType, box, static_cast<std::int32_t>((100 + body.size()) / 2)) + body;
    l.shx = header(shapeType, box, static_cast<std::int32_t>((100 + index.size()) / 2)) + index;
    return l;
}

Layer journal(const std::vector<std::pair<std::int32_t, QByteArray>> &numberedContents)
{
    Layer l;
    QByteArray h(100, '\0');
    putLE32(h, 0, 9994); // the journal writes its code little-endian
    QByteArray body;
    std::int32_t offset = 50;
    for (const auto &[number, c] : numberedContents) {
        const auto words = static_cast<std::int32_t>(c.size() / 2);
        QByteArray rec(8, '\0');
        putBE32(rec, 0, number);
        putBE32(rec, 4, words);
        body += rec + c;
        l.offsets.push_back(offset);
        l.lengths.push_back(words);
        offset += 4 + words;
    }
    l.shp = h + body;
    return l;
}

QByteArray dbf(const std::vector<DbfField> &fields, const std::vector<DbfRow> &rows)
{
    const int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 1;
    int recordLength = 1;
    for (const DbfField &f : fields)
        recordLength += f.width;
    QByteArray b(headerLength, '\0');
    b[0] = 0x03;
    b[1] = 124; // 2024-05-06
    b[2] = 5;
    b[3] = 6;
    putLE32(b, 4, static_cast<std::int32_t>(rows.size()));
    putLE16(b, 8, static_cast<std::int16_t>(headerLength));
    putLE16(b, 10, static_cast<std::int16_t>(recordLength));
    for (size_t i = 0; i < fields.size(); ++i) {
        const qsizetype o = 32 + 32 * static_cast<qsizetype>(i);
        std::memcpy(b.data() + o, fields[i].name, std::strlen(fields[i].name));
        b[o + 11] = fields[i].type;
        b[o + 16] = static_cast<char>(fields[i].width);
        b[o + 17] = static_cast<char>(fields[i].decimals);
    }
    b[headerLength - 1] = 0x0D;
    for (const DbfRow &r : rows) {
        b += r.deleted ? '*' : ' ';
        for (size_t i = 0; i < fields.size(); ++i) {
            QByteArray v = i < r.values.size() ? r.values[i] : QByteArray();
            const bool number = fields[i].type == 'N' || fields[i].type == 'F';
            if (v.size() < fields[i].width)
                v = number ? QByteArray(fields[i].width - v.size(), ' ') + v
                           : v + QByteArray(fields[i].width - v.size(), ' ');
            b += v.left(fields[i].width);
        }
    }
    b += '\x1A';
    return b;
}

QByteArray dbfValue(const QByteArray &file, const std::vector<DbfField> &fields, int row, int field)
{
    const int headerLength = static_cast<unsigned char>(file[8]) | static_cast<unsigned char>(file[9]) << 8;
    const int recordLength = static_cast<unsigned char>(file[10]) | static_cast<unsigned char>(file[11]) << 8;
    int offset = 1;
    for (int i = 0; i < field; ++i)
        offset += fields[static_cast<size_t>(i)].width;
    return file.mid(headerLength + row * recordLength + offset, fields[static_cast<size_t>(field)].width);
}

} // namespace fixtures
