#pragma once
// Layer files for tests, built byte by byte at literal offsets (independently
// of the codecs under test).

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

namespace fixtures {

struct Box {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct Pt {
    double x = 0, y = 0;
    std::int32_t w = 0, h = 0;   // 24-byte points only
};

// 100-byte header: code 9994 big-endian at 0, length (words) big-endian at 24,
// version 1000 at 28, shape type at 32, box at 36.
QByteArray header(std::int32_t shapeType, Box box, std::int32_t fileLengthWords);

// Record contents.
QByteArray pointContent(std::int32_t shapeType, double x, double y);
QByteArray polyContent(std::int32_t shapeType, Box box, const std::vector<std::int32_t> &starts,
                       const std::vector<Pt> &points);
// A poly record with the Z (and M) blocks of the published format after the points.
QByteArray polyContentZM(std::int32_t shapeType, Box box, const std::vector<std::int32_t> &starts,
                         const std::vector<Pt> &points, bool withZ, bool withM);
struct TextFields {
    std::int32_t kind = 4;
    QByteArray text;        // raw bytes, Windows-1251
    QByteArray fontName;
    std::int32_t fontSize = 12;
    std::int16_t fontStyle = 0;
    std::int32_t rotate = 0;
    std::int32_t textScale = 0;
    char transparent = 1;
    char symbol = 'l';
    std::int32_t textColor = 0x0000FF, bgTextColor = 0xFFFFFF, textAlign = 2;
    std::int32_t penColor = 0x00FF00, penWidth = 25, penStyle = 3, brushColor = 0xFF0000;
    std::int32_t brushStyle = 1, pointStyle = 7, arrowStart = 1, arrowEnd = 2;
    std::int32_t imageWidth = 0, imageHeight = 0;
    Box box;
};
QByteArray textContent(const TextFields &f, const std::vector<std::int32_t> &starts, const std::vector<Pt> &points);
// The head of a text record with its counts stated freely (for malformed records).
QByteArray textHeadWithCounts(const TextFields &f, std::int32_t numParts, std::int32_t numPoints);
QByteArray rasterContent(std::int32_t shapeType, Box box, const QByteArray &imageName, char flag, std::int32_t width,
                         std::int32_t height, const std::vector<Pt> &controlPoints);

// A ".Shp" and ".Shx" pair holding the contents as records 1..n.
struct Layer {
    QByteArray shp;
    QByteArray shx;
    std::vector<std::int32_t> offsets;   // word offsets of the record headers
    std::vector<std::int32_t> lengths;   // content lengths in words
};
Layer layer(std::int32_t shapeType, Box box, const std::vector<QByteArray> &contents);

// An edit journal holding the contents as records; offsets as in Layer.
Layer journal(const std::vector<std::pair<std::int32_t, QByteArray>> &numberedContents);

// A dBase III table: 32-byte header (version 3 at 0, record count at 4, header
// length at 8, record length at 10), 32-byte field descriptors (name at 0,
// type letter at 11, width at 16, decimals at 17), 0x0D, then the records
// (a flag byte, ' ' or '*', and the fields as text), and 0x1A.
struct DbfField {
    const char *name;
    char type;
    int width;
    int decimals = 0;
};
struct DbfRow {
    bool deleted = false;
    std::vector<QByteArray> values;   // Windows-1251, padded by the builder
};
QByteArray dbf(const std::vector<DbfField> &fields, const std::vector<DbfRow> &rows);
// The text of field `field` of record `row` (0-based) as stored.
QByteArray dbfValue(const QByteArray &file, const std::vector<DbfField> &fields, int row, int field);

} // namespace fixtures
