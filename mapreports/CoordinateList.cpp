#include "mapreports/CoordinateList.h"

#include "mapdata/MapFunctions.h"
#include "platform/db/Table.h"

#include <QFileInfo>

#include <cmath>

namespace reports {

namespace {

double distance(const TShpPoint &a, const TShpPoint &b)
{
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

bool samePoint(const TShpPoint &a, const TShpPoint &b)
{
    return a.X == b.X && a.Y == b.Y;
}

// Directions and angles in the surveyor's axes: from the shape's y axis
// turning towards its x axis.
double direction(const TShpPoint &from, const TShpPoint &to)
{
    return MapFunctions::DirectionAngleRad(from.Y, from.X, to.Y, to.X);
}

// The angle at a vertex between the leg that reaches it and the leg that
// leaves it.
double angleAt(const TShpPoint &at, const TShpPoint &back, const TShpPoint &ahead)
{
    double a = MapFunctions::AngleBetweenDirections(back.Y, back.X, at.Y, at.X, at.Y, at.X, ahead.Y, ahead.X);
    if (a < 0)
        a += 360;
    return a;
}

struct Extent {
    bool set = false;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    void add(const TShpPoint &p)
    {
        if (!set) {
            xMin = xMax = p.X;
            yMin = yMax = p.Y;
            set = true;
            return;
        }
        xMin = std::min(xMin, p.X);
        yMin = std::min(yMin, p.Y);
        xMax = std::max(xMax, p.X);
        yMax = std::max(yMax, p.Y);
    }
};

// The leg values of one part's vertices, its perimeter and its doubled
// signed area (counter-clockwise positive). A ring ends where a vertex
// repeats the ring's start; the step to the next ring's start is no leg of
// the perimeter.
double measurePart(std::vector<TShpPoint> &p, double &perimeter)
{
    bool ringOpen = false; // a start of (0, 0) is a start like any other
    TShpPoint start;
    int k = 0;
    std::size_t r = 0;
    double doubled = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (i > 0 && ringOpen)
            perimeter += distance(p[i - 1], p[i]);
        if (k > 0) {
            p[i].Len = distance(p[i - 1], p[i]);
            p[i - 1].DCut = direction(p[i - 1], p[i]);
        }
        if (k > 1)
            p[i - 1].CutIn = angleAt(p[i - 1], p[i - 2], p[i]);
        if (i > 0)
            doubled += p[i - 1].X * p[i].Y - p[i].X * p[i - 1].Y;
        if (ringOpen && samePoint(p[i], start)) {
            ringOpen = false;
            k = 0;
            p[i].DCut = p[r].DCut;
            if (r + 1 < p.size() && i > 0)
                p[i].CutIn = angleAt(p[i], p[i - 1], p[r + 1]);
            p[r].CutIn = p[i].CutIn;
            r = i + 1;
        } else if (!ringOpen) {
            ringOpen = true;
            start = p[i];
        }
        // Counted after a closing vertex too: the next ring's first vertex
        // gets the leg from it, and it the direction of that leg.
        ++k;
    }
    if (p.size() > 1)
        doubled += p.back().X * p.front().Y - p.front().X * p.back().Y;
    return doubled;
}

} // namespace

CoordinateList MakeCoordinateList(const std::vector<TShpObject> &shapes)
{
    CoordinateList list;
    Extent extent;
    int number = 1;
    for (const TShpObject &shape : shapes) {
        double signedDoubled = 0;
        for (const TShpParts &part : shape.Parts) {
            std::vector<TShpPoint> p = part.Points;
            for (TShpPoint &v : p)
                v.Len = v.DCut = v.CutIn = 0;
            for (const TShpPoint &v : p)
                extent.add(v);
            signedDoubled += measurePart(p, list.Perimeter);
            const int first = number;
            for (std::size_t i = 0; i < p.size(); ++i) {
                CoordinateRow row;
                // A closed part ends on its first vertex and repeats its number.
                const bool closing = i + 1 == p.size() && i > 0 && samePoint(p[i], p[0]);
                row.Number = closing ? first : number++;
                row.X = p[i].Y;
                row.Y = p[i].X;
                row.W = p[i].W();
                row.H = p[i].H();
                row.Len = p[i].Len;
                row.DCut = p[i].DCut;
                row.CutIn = p[i].CutIn;
                list.Rows.push_back(row);
            }
        }
        list.Area += std::fabs(signedDoubled) / 2;
    }
    list.XMin = extent.xMin;
    list.YMin = extent.yMin;
    list.XMax = extent.xMax;
    list.YMax = extent.yMax;
    return list;
}

void WriteCoordinateTable(const QString &path, const std::vector<CoordinateRow> &rows)
{
    using platform::db::FieldType;
    const QFileInfo info(path);
    platform::db::Table table;
    table.setDatabaseName(info.absolutePath());
    table.setTableName(info.fileName());
    table.setTableType(platform::db::TableType::Paradox);
    table.addFieldDef(QStringLiteral("Number"), FieldType::Float);
    table.addFieldDef(QStringLiteral("Name"), FieldType::String, 20);
    for (const char *name : {"X", "Y", "W", "H", "Len", "DCut", "CutIn"})
        table.addFieldDef(QString::fromLatin1(name), FieldType::Float);
    table.createTable();
    table.open();
    for (const CoordinateRow &row : rows) {
        table.append();
        const double values[] = {row.Number, row.X, row.Y, row.W, row.H, row.Len, row.DCut, row.CutIn};
        const char *names[] = {"Number", "X", "Y", "W", "H", "Len", "DCut", "CutIn"};
        for (int f = 0; f < 8; ++f)
            table.fieldByName(QString::fromLatin1(names[f])).setAsFloat(values[f]);
        table.post();
    }
    table.close();
}

} // namespace reports
