#pragma once
// The vertex list of the coordinate-list editor without its grid: the
// clipboard line of a vertex and its reading, the list the rows give (it
// ends at the first row at (0, 0)), its rings (a vertex equal to its ring's
// first closes the ring) and the box of the vertices. X is the northing,
// Y the easting, as surveyors write them.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace georef {

struct ListVertex {
    double X = 0;   // northing
    double Y = 0;   // easting
    bool operator==(const ListVertex &) const = default;
};

// The clipboard line: the number padded with zeros to 5, X and Y with three
// decimals right-aligned in 15, the height with three decimals in 11, three
// blanks and the trimmed code; numbers with the system's decimal separator.
QString formatPointValue(const QString &number, const QString &code, double x, double y, double height);

struct ParsedPointLine {
    std::int32_t Number = 0;
    double X = 0, Y = 0, Height = 0;
    QString Code;
};
// Tabs as blanks, fields split at runs of blanks (at most six): number, X,
// Y, height, code; numbers read with either decimal separator, 0 when empty
// or unreadable.
ParsedPointLine parsePointLine(const QString &line);

// The cells of a grid row as text: X and Y.
struct VertexRow {
    QString X, Y;
};
// The vertices of the rows down to the first whose X and Y both read as 0.
std::vector<ListVertex> vertexList(const std::vector<VertexRow> &rows);
// The index of the first vertex of every part: the first vertex and each
// vertex after one that closed its ring.
std::vector<int> partStarts(const std::vector<ListVertex> &vertices);
// The vertices split into their parts.
std::vector<std::vector<ListVertex>> vertexParts(const std::vector<ListVertex> &vertices);

// The box of the vertices (easting min, northing min, easting max, northing
// max); a vertex on a zero coordinate counts like any other.
struct VertexBox {
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};
VertexBox vertexBox(const std::vector<ListVertex> &vertices);

// The lines of a clipboard text that are not blank.
QStringList clipboardLines(const QString &text);

} // namespace georef
