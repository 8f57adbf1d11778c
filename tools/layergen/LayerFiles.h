#pragma once
// The bytes of a layer as the program reads it: the main file ".shp" and the
// index ".shx" through the layer record codecs of mapdata, and the attribute
// table ".dbf" through the database engine's dBase codec. Everything is built
// in memory and written at the end, so a failing description leaves no half
// layer.

#include "mapdata/ShpRecords.h"
#include "platform/db/DbTypes.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

#include <vector>

namespace layergen {

struct Point {
    double x = 0;
    double y = 0;
};
using Ring = std::vector<Point>;

struct Box {
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    bool empty = true;
    void add(double x, double y);
    void add(const Box &b);
};

// One text or symbol object: the fields of its record head (the box and the
// counts come from the points) and its points, the first the anchor.
struct TextObject {
    TTextRecord style;
    std::vector<Point> points;
};

// Text and symbol objects get the box of their points widened by this many
// map units on every side, as the program gives new ones.
constexpr double kTextBoxMargin = 20;

class ShapeFile {
public:
    explicit ShapeFile(int shapeType) : type_(shapeType) {}
    int shapeType() const { return type_; }
    int count() const { return static_cast<int>(index_.size()); }
    const Box &box() const { return box_; }

    void addPoint(Point p);
    // Polylines and polygons; polygon rings are written as given (closed,
    // outer rings clockwise).
    void addPoly(const std::vector<Ring> &parts);
    // Raises std::invalid_argument for a text or font name that does not fit.
    void addText(const TextObject &t);
    // A raster object: the picture's name, size, box and control points.
    void addRaster(const TShpObject &shape);

    QByteArray shp() const;
    QByteArray shx() const;

private:
    void append(const QByteArray &content);
    QByteArray header(qsizetype fileBytes) const;

    int type_;
    Box box_;
    QByteArray records_;                // record headers and contents, after the 100 header bytes
    std::vector<shp::IndexEntry> index_;
};

// A dBase III table (Windows-1251) with the given rows; the header carries
// the date given, so the bytes do not change from one build to the next.
// Raises platform::db::DbError for a value that does not fit its field.
QByteArray dbfTable(const platform::db::FieldDefs &fields, QDate date,
                    const std::vector<std::vector<QVariant>> &rows);

// A field of a description: "NAME, C|N|D, width, decimals".
platform::db::FieldDef fieldDef(const QString &name, char type, int width = 0, int decimals = 0);

} // namespace layergen
