#pragma once
// Layer files built byte by byte at literal offsets: file headers, record
// contents of every kind, a ".shp" with its ".shx", a dBase table of "ID"
// rows, written into a folder. Shared by the tests of the map window and of
// the map data core.

#include "platform/Paths.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace maptest {

using testsupport::putBE32;
using testsupport::putLE16;
using testsupport::putLE32;
using testsupport::putLEDouble;

struct Box {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// 100-byte file header: code 9994 big-endian at 0, length in words big-endian
// at 24, version 1000 at 28, shape type at 32, box at 36 .. 67.
inline QByteArray fileHeader(std::int32_t shapeType, Box box, std::int32_t lengthWords)
{
    QByteArray b(100, '\0');
    putBE32(b, 0, 9994);
    putBE32(b, 24, lengthWords);
    putLE32(b, 28, 1000);
    putLE32(b, 32, shapeType);
    putLEDouble(b, 36, box.xMin);
    putLEDouble(b, 44, box.yMin);
    putLEDouble(b, 52, box.xMax);
    putLEDouble(b, 60, box.yMax);
    return b;
}

// A point record's content: type at 0, X at 4, Y at 12.
inline QByteArray pointContent(double x, double y, std::int32_t type = 1)
{
    QByteArray b(20, '\0');
    putLE32(b, 0, type);
    putLEDouble(b, 4, x);
    putLEDouble(b, 12, y);
    return b;
}

// A poly record of one ring through the box's corners: type at 0, box at 4,
// part count at 36, point count at 40, part starts at 44, points after.
// With parts 0 the counts are 0 and no points follow (a deleted object).
inline QByteArray polyContent(std::int32_t type, Box box, int parts = 1)
{
    const int points = parts > 0 ? 5 : 0;
    QByteArray b(44 + 4 * parts + 16 * points, '\0');
    putLE32(b, 0, type);
    putLEDouble(b, 4, box.xMin);
    putLEDouble(b, 12, box.yMin);
    putLEDouble(b, 20, box.xMax);
    putLEDouble(b, 28, box.yMax);
    putLE32(b, 36, parts);
    putLE32(b, 40, points);
    const double xs[5] = {box.xMin, box.xMin, box.xMax, box.xMax, box.xMin};
    const double ys[5] = {box.yMin, box.yMax, box.yMax, box.yMin, box.yMin};
    const int first = 44 + 4 * parts;
    for (int k = 0; k < points; ++k) {
        putLEDouble(b, first + 16 * k, xs[k]);
        putLEDouble(b, first + 16 * k + 8, ys[k]);
    }
    return b;
}

// The 432-byte head of a text record (kind at 0, box at 360 .. 391, counts
// at 424 and 428) with one point after it (24 bytes).
inline QByteArray textContent(Box box)
{
    QByteArray b(432 + 4 + 24, '\0');
    putLE32(b, 0, 4);
    b.replace(4, 4, "Text");
    putLEDouble(b, 360, box.xMin);
    putLEDouble(b, 368, box.yMin);
    putLEDouble(b, 376, box.xMax);
    putLEDouble(b, 384, box.yMax);
    putLE32(b, 424, 1);
    putLE32(b, 428, 1);
    putLEDouble(b, 436, box.xMin);
    putLEDouble(b, 444, box.yMin);
    return b;
}

// The 282-byte head of a raster record: type 10 at 0, box at 4 .. 35, no
// control points (count at 277).
inline QByteArray rasterContent(Box box)
{
    QByteArray b(282, '\0');
    putLE32(b, 0, 10);
    putLEDouble(b, 4, box.xMin);
    putLEDouble(b, 12, box.yMin);
    putLEDouble(b, 20, box.xMax);
    putLEDouble(b, 28, box.yMax);
    return b;
}

struct ShapePair {
    QByteArray shp, shx;
};

// A ".shp" and ".shx" holding the contents as records 1 .. n: each record is
// a header (number and content length in words, big-endian) and its content;
// each index entry the record's offset and content length in words.
inline ShapePair shapes(std::int32_t shapeType, Box box, const std::vector<QByteArray> &contents)
{
    ShapePair p;
    QByteArray records, index;
    qsizetype offset = 100;
    for (size_t i = 0; i < contents.size(); ++i) {
        QByteArray head(8, '\0');
        putBE32(head, 0, static_cast<std::int32_t>(i + 1));
        putBE32(head, 4, static_cast<std::int32_t>(contents[i].size() / 2));
        QByteArray entry(8, '\0');
        putBE32(entry, 0, static_cast<std::int32_t>(offset / 2));
        putBE32(entry, 4, static_cast<std::int32_t>(contents[i].size() / 2));
        records += head + contents[i];
        index += entry;
        offset += 8 + contents[i].size();
    }
    p.shp = fileHeader(shapeType, box, static_cast<std::int32_t>((100 + records.size()) / 2)) + records;
    p.shx = fileHeader(shapeType, box, static_cast<std::int32_t>((100 + index.size()) / 2)) + index;
    return p;
}

// A dBase III table with one numeric field "ID" (width 10) holding 1 .. rows:
// version 3 at 0, record count at 4, header length at 8, record length at 10,
// the field descriptor at 32 (name at 0, type at 11, width at 16), 0x0D, the
// records (flag byte and the value), 0x1A.
inline QByteArray idTable(int rows)
{
    QByteArray b(65, '\0');
    b[0] = 3;
    b[1] = 124;
    b[2] = 1;
    b[3] = 1;
    putLE32(b, 4, rows);
    putLE16(b, 8, 65);
    putLE16(b, 10, 11);
    b.replace(32, 2, "ID");
    b[32 + 11] = 'N';
    b[32 + 16] = 10;
    b[64] = 0x0D;
    for (int r = 1; r <= rows; ++r)
        b += ' ' + QByteArray::number(r).rightJustified(10, ' ');
    b += char(0x1A);
    return b;
}

// Writes a layer triple base.shp, base.shx, base.dbf into a folder.
inline void writeLayer(const QString &folder, const QString &base, const ShapePair &p, int rows)
{
    auto put = [&](const QString &ext, const QByteArray &bytes) {
        QFile f(QDir(folder).filePath(base + ext));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    put(QStringLiteral(".shp"), p.shp);
    put(QStringLiteral(".shx"), p.shx);
    put(QStringLiteral(".dbf"), idTable(rows));
}

// A polygon layer of n squares of side 10, square i at (1000 + 20 i, 5000).
inline ShapePair squares(int n)
{
    std::vector<QByteArray> contents;
    for (int i = 0; i < n; ++i)
        contents.push_back(polyContent(5, {1000.0 + 20 * i, 5000, 1010.0 + 20 * i, 5010}));
    return shapes(5, {1000, 5000, 1010.0 + 20 * (n - 1), 5010}, contents);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first snapshot copy of a layer file (its name + ".001", whatever the
// case of the extension); empty when there is none.
inline QString snapshot(const QString &file)
{
    return platform::findExistingPath(file + QStringLiteral(".001"));
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

} // namespace maptest
