// The demo project: a settlement of blocks between streets, laid out from the
// grid of the description. Every block but one is cut into parcels whose
// boundaries move a little from their even places (so the map does not look
// drawn with a ruler); neighbouring parcels share their boundary points
// exactly, so snapping and the program's checks find them joined. A small
// generator seeded by the description moves the boundaries and deals out
// purposes and owners, so every build writes the same bytes.

#include "tools/layergen/LayerFiles.h"
#include "tools/layergen/LayerGen.h"

#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/TextCodec.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <map>

namespace layergen {

namespace {

using platform::db::FieldDefs;
using Rows = std::vector<std::vector<QVariant>>;

// A linear congruential generator: the same numbers on every machine.
class Dealer {
public:
    explicit Dealer(quint32 seed) : state_(seed) {}
    // 0 .. n-1.
    int next(int n)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return n <= 0 ? 0 : static_cast<int>((state_ >> 8) % static_cast<quint32>(n));
    }
    // A shift of at most `metres`, in whole decimetres.
    double shift(double metres)
    {
        const int dm = static_cast<int>(std::lround(metres * 10));
        return dm <= 0 ? 0.0 : (next(2 * dm + 1) - dm) / 10.0;
    }
private:
    quint32 state_;
};

struct Purpose {
    QString text;
    int colour = 0;
    int weight = 0;
    QString building;
    double width = 0;
    double depth = 0;
    int floors = 0;
};

struct Grid {
    double x0 = 0, y0 = 0;  // south-west corner of the first block
    int cols = 0, rows = 0;
    double bw = 0, bh = 0;  // block width and depth
    double street = 0;
    int pcols = 0, prows = 0;
    double jitter = 0;
    double setback = 0;
    int wholeCol = -1, wholeRow = -1;
    QString wholePurpose, wholeOwner;
    QString koatuu, zone;

    double blockX(int c) const { return x0 + c * (bw + street); }
    double blockY(int r) const { return y0 + r * (bh + street); }
    // Centre lines of the streets: east-west street i south of block row i
    // (i = rows: north of the last row), north-south street k likewise.
    double streetY(int i) const { return y0 - street / 2 + i * (bh + street); }
    double streetX(int k) const { return x0 - street / 2 + k * (bw + street); }
};

struct Parcel {
    Ring ring;
    int quarter = 0;
    int number = 0;
    int purpose = 0;
    QString owner;
    int street = 0;       // east-west street it faces
    bool northSide = true; // lies north of its street
    double frontX = 0;    // where it lies along the street, for numbering
    int house = 0;
    Ring building;
};

struct FontSpec {
    QString face;
    int size = 0;
    int scale = 0;
    int style = 0;
    int colour = 0;
};

struct SymbolSpec {
    int code = 0;
    int colour = 0;
    int size = 0;
    int col = 0, row = 0;
    double fx = 0, fy = 0;
};

// ---- reading the description ------------------------------------------------

std::vector<double> numbers(const Section &s, const QString &key, int count)
{
    const Entry &e = s.need(key);
    return toNumbers(s, e, e.value, count);
}

int wholeNumber(const Section &s, const QString &key)
{
    const Entry &e = s.need(key);
    return toInteger(s, e, e.value);
}

double number(const Section &s, const QString &key)
{
    const Entry &e = s.need(key);
    return toNumber(s, e, e.value);
}

QString text1251(const Section &s, const QString &key)
{
    const Entry &e = s.need(key);
    return checkCp1251(s, e, e.value);
}

Grid readGrid(const Section &s)
{
    s.allowOnly({QStringLiteral("origin"), QStringLiteral("blocks"), QStringLiteral("block"), QStringLiteral("street"),
                 QStringLiteral("parcels"), QStringLiteral("jitter"), QStringLiteral("setback"), QStringLiteral("whole"),
                 QStringLiteral("whole-purpose"), QStringLiteral("whole-owner"), QStringLiteral("koatuu"),
                 QStringLiteral("zone")});
    Grid g;
    const auto origin = numbers(s, QStringLiteral("origin"), 2);
    g.x0 = origin[0];
    g.y0 = origin[1];
    const auto blocks = numbers(s, QStringLiteral("blocks"), 2);
    g.cols = static_cast<int>(blocks[0]);
    g.rows = static_cast<int>(blocks[1]);
    const auto block = numbers(s, QStringLiteral("block"), 2);
    g.bw = block[0];
    g.bh = block[1];
    g.street = number(s, QStringLiteral("street"));
    const auto parcels = numbers(s, QStringLiteral("parcels"), 2);
    g.pcols = static_cast<int>(parcels[0]);
    g.prows = static_cast<int>(parcels[1]);
    g.jitter = number(s, QStringLiteral("jitter"));
    g.setback = number(s, QStringLiteral("setback"));
    if (g.cols < 1 || g.rows < 1 || g.cols > 20 || g.rows > 20)
        s.fail(s.need(QStringLiteral("blocks")), QStringLiteral("1 to 20 block columns and rows"));
    if (g.bw <= 0 || g.bh <= 0 || g.street <= 0)
        s.fail(s.need(QStringLiteral("block")), QStringLiteral("blocks and streets need a positive size"));
    // Every parcel touches a street: one row facing the street south of the
    // block, or two rows facing the streets on either side.
    if (g.pcols < 1 || g.pcols > 20 || g.prows < 1 || g.prows > 2)
        s.fail(s.need(QStringLiteral("parcels")), QStringLiteral("1 to 20 parcel columns, 1 or 2 parcel rows"));
    if (g.jitter < 0 || g.jitter * 4 > std::min(g.bw / g.pcols, g.bh / g.prows))
        s.fail(s.need(QStringLiteral("jitter")), QStringLiteral("the jitter is at most a quarter of a parcel"));
    if (s.has(QStringLiteral("whole"))) {
        const auto whole = numbers(s, QStringLiteral("whole"), 2);
        g.wholeCol = static_cast<int>(whole[0]) - 1;
        g.wholeRow = static_cast<int>(whole[1]) - 1;
        if (g.wholeCol < 0 || g.wholeCol >= g.cols || g.wholeRow < 0 || g.wholeRow >= g.rows)
            s.fail(s.need(QStringLiteral("whole")), QStringLiteral("the whole block lies outside the grid"));
        g.wholePurpose = text1251(s, QStringLiteral("whole-purpose"));
        g.wholeOwner = text1251(s, QStringLiteral("whole-owner"));
    }
    g.koatuu = text1251(s, QStringLiteral("koatuu"));
    g.zone = text1251(s, QStringLiteral("zone"));
    return g;
}

std::vector<Purpose> readPurposes(const Section &s)
{
    s.allowOnly({QStringLiteral("purpose")});
    std::vector<Purpose> out;
    int weights = 0;
    for (const Entry *e : s.all(QStringLiteral("purpose"))) {
        const QStringList p = splitParts(s, *e, u'|', 7, 7);
        Purpose u;
        u.text = checkCp1251(s, *e, p[0]);
        u.colour = toColour(s, *e, p[1]);
        u.weight = toInteger(s, *e, p[2]);
        u.building = checkCp1251(s, *e, p[3]);
        u.width = toNumber(s, *e, p[4]);
        u.depth = toNumber(s, *e, p[5]);
        u.floors = toInteger(s, *e, p[6]);
        if (u.weight < 0 || u.width <= 0 || u.depth <= 0 || u.floors < 1)
            s.fail(*e, QStringLiteral("a weight of 0 or more, a building of positive size and floors"));
        for (const Purpose &other : out)
            if (other.text == u.text)
                s.fail(*e, QStringLiteral("purpose \"%1\" is given twice").arg(u.text));
        weights += u.weight;
        out.push_back(u);
    }
    if (weights <= 0)
        s.fail(QStringLiteral("at least one purpose needs a weight above 0"));
    return out;
}

FontSpec readFont(const Section &s, const QString &key)
{
    const Entry &e = s.need(key);
    const QStringList p = splitParts(s, e, u'|', 5, 5);
    FontSpec f;
    f.face = checkCp1251(s, e, p[0]);
    f.size = toInteger(s, e, p[1]);
    f.scale = toInteger(s, e, p[2]);
    f.style = toInteger(s, e, p[3]);
    f.colour = toColour(s, e, p[4]);
    return f;
}

// ---- geometry ----------------------------------------------------------------

double ringArea(const Ring &r)
{
    double twice = 0;
    for (size_t i = 0; i + 1 < r.size(); ++i)
        twice += r[i].x * r[i + 1].y - r[i + 1].x * r[i].y;
    return std::fabs(twice) / 2;
}

// Clockwise rectangle, closed.
Ring rectangle(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}

// x of the segment a-b at height y.
double xAt(Point a, Point b, double y)
{
    return b.y == a.y ? a.x : a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
}

// The parcels of one block. Boundary k (0 .. pcols) runs from south to north
// through the row lines; row line j (0 .. prows) runs from west to east
// through the boundaries; parcel (k, j) lies between boundaries k, k+1 and row
// lines j, j+1. Inner points move; the block's outline stays straight.
std::vector<Parcel> cutBlock(const Grid &g, int c, int r, Dealer &dealer)
{
    const double bx = g.blockX(c), by = g.blockY(r);
    std::vector<std::vector<Point>> corner(static_cast<size_t>(g.pcols + 1),
                                           std::vector<Point>(static_cast<size_t>(g.prows + 1)));
    for (int k = 0; k <= g.pcols; ++k) {
        for (int j = 0; j <= g.prows; ++j) {
            const bool edgeX = k == 0 || k == g.pcols;
            const bool edgeY = j == 0 || j == g.prows;
            double x = bx + g.bw * k / g.pcols;
            double y = by + g.bh * j / g.prows;
            if (!edgeX)
                x += dealer.shift(g.jitter);
            if (!edgeY)
                y += dealer.shift(g.jitter);
            corner[static_cast<size_t>(k)][static_cast<size_t>(j)] = {x, y};
        }
    }
    std::vector<Parcel> out;
    for (int j = 0; j < g.prows; ++j) {
        for (int k = 0; k < g.pcols; ++k) {
            const Point sw = corner[static_cast<size_t>(k)][static_cast<size_t>(j)];
            const Point nw = corner[static_cast<size_t>(k)][static_cast<size_t>(j + 1)];
            const Point ne = corner[static_cast<size_t>(k + 1)][static_cast<size_t>(j + 1)];
            const Point se = corner[static_cast<size_t>(k + 1)][static_cast<size_t>(j)];
            Parcel p;
            p.ring = {sw, nw, ne, se, sw};
            // The first row faces the street south of the block, a second row
            // the street north of it.
            p.northSide = j == 0;
            p.street = j == 0 ? r : r + 1;
            p.frontX = j == 0 ? (sw.x + se.x) / 2 : (nw.x + ne.x) / 2;
            out.push_back(std::move(p));
        }
    }
    return out;
}

// A building of the purpose's size, its front at the setback from the street
// the parcel faces, centred between the parcel's side boundaries. Raises when
// it does not fit.
Ring placeBuilding(const Grid &g, const Parcel &p, const Purpose &u, const Section &where)
{
    const Point sw = p.ring[0], nw = p.ring[1], ne = p.ring[2], se = p.ring[3];
    double y0, y1;
    if (p.northSide) {
        y0 = sw.y + g.setback;
        y1 = y0 + u.depth;
    } else {
        y1 = nw.y - g.setback;
        y0 = y1 - u.depth;
    }
    const double mid = (y0 + y1) / 2;
    const double left = xAt(sw, nw, mid), right = xAt(se, ne, mid);
    const double cx = std::round((left + right) / 2 * 10) / 10;
    const double x0 = cx - u.width / 2, x1 = cx + u.width / 2;
    // One metre of yard at least on every side.
    const bool fits = x0 - 1 >= std::max(xAt(sw, nw, y0), xAt(sw, nw, y1))
                      && x1 + 1 <= std::min(xAt(se, ne, y0), xAt(se, ne, y1))
                      && y0 - 1 >= std::max(sw.y, se.y) && y1 + 1 <= std::min(nw.y, ne.y);
    if (!fits)
        where.fail(QStringLiteral("the building \"%1\" does not fit its parcel: make the blocks larger, the parcels "
                                  "fewer or the building smaller")
                       .arg(u.building));
    return rectangle(x0, y0, x1, y1);
}

// ---- the project file --------------------------------------------------------

enum class Kind { Text, Int, Real, Bool, Char };

struct KeyDef {
    const char *key;
    Kind kind;
    const char *value; // what a layer without this key in the description gets
};

// The layer keys in the order the program writes them. "-" marks the values
// layergen works out itself (file name, number, extents).
constexpr KeyDef kLayerKeys[] = {
    {"FileName", Kind::Text, "-"}, {"Number", Kind::Int, "-"}, {"Name", Kind::Text, ""},
    {"MapType", Kind::Int, "1"}, {"ImgName", Kind::Text, ""}, {"ObjType", Kind::Int, "2"},
    {"MtMinX", Kind::Real, "-"}, {"MtMinY", Kind::Real, "-"}, {"MtMaxX", Kind::Real, "-"},
    {"MtMaxY", Kind::Real, "-"}, {"CenterX", Kind::Real, "-"}, {"CenterY", Kind::Real, "-"},
    {"S", Kind::Real, "0"}, {"P", Kind::Real, "0"}, {"PenColor", Kind::Int, "0"}, {"PenStyle", Kind::Int, "1"},
    {"PenWidth", Kind::Real, "0.01"}, {"PenMode", Kind::Int, "4"}, {"PointStyle", Kind::Int, "0"},
    {"PntBitmap", Kind::Int, "0"}, {"BrushColor", Kind::Int, "16777215"}, {"BrushStyle", Kind::Int, "-"},
    {"BrushType", Kind::Int, "1"}, {"FontName", Kind::Text, "Arial Cyr"}, {"FontSize", Kind::Int, "12"},
    {"TextRotate", Kind::Real, "0"}, {"TextScale", Kind::Int, "0"}, {"TextColor", Kind::Int, "0"},
    {"TextStyleBold", Kind::Bool, "False"}, {"TextStyleItalic", Kind::Bool, "False"},
    {"TextStyleUnderline", Kind::Bool, "False"}, {"TextSymbol", Kind::Char, ""}, {"ScaleMin", Kind::Int, "0"},
    {"ScaleMax", Kind::Int, "0"}, {"ScaleView", Kind::Bool, "False"}, {"ViewPoints", Kind::Bool, "False"},
    {"PtMinX", Kind::Real, "-"}, {"PtMinY", Kind::Real, "-"}, {"PtMaxX", Kind::Real, "-"},
    {"PtMaxY", Kind::Real, "-"}, {"XError", Kind::Real, "0"}, {"YError", Kind::Real, "0"},
    {"PsToPtX", Kind::Real, "0"}, {"PsToPtY", Kind::Real, "0"}, {"RCenterX", Kind::Real, "0"},
    {"RCenterY", Kind::Real, "0"}, {"Visible", Kind::Bool, "True"}, {"Snap", Kind::Bool, "True"},
    {"Edited", Kind::Bool, "True"}, {"ForAllObjects", Kind::Bool, "True"}, {"ViewInScale", Kind::Bool, "False"},
    {"ViewShadow", Kind::Bool, "False"}, {"FieldNameObject", Kind::Text, ""}, {"FieldNameStreet", Kind::Text, ""},
    {"FieldNameHouse", Kind::Text, ""}, {"Gamma", Kind::Int, "0"}, {"Contrast", Kind::Int, "0"},
    {"Transform", Kind::Bool, "False"}, {"Projection", Kind::Text, ""}, {"Ellipsoid", Kind::Text, ""},
    {"Longitude", Kind::Text, ""}, {"Latitude", Kind::Text, ""}, {"Proj_X", Kind::Real, "0"},
    {"Proj_Y", Kind::Real, "0"}, {"Proj_K", Kind::Real, "0"}, {"VykProject", Kind::Bool, "False"},
    {"NumProject", Kind::Int, "0"}, {"StrProject", Kind::Text, ""}, {"GPS", Kind::Text, ""},
    {"Device", Kind::Text, ""}, {"PIN", Kind::Text, ""}, {"TypeLegend", Kind::Int, "0"},
    {"FieldNameLegend", Kind::Text, ""},
};

constexpr KeyDef kLabelKeys[] = {
    {"Visible", Kind::Bool, "True"}, {"FieldName", Kind::Text, ""}, {"FontName", Kind::Text, "Arial Cyr"},
    {"Size", Kind::Int, "12"}, {"Scale", Kind::Int, "0"}, {"Rotate", Kind::Real, "0"}, {"Color", Kind::Int, "0"},
    {"TextStyleBold", Kind::Bool, "False"}, {"TextStyleItalic", Kind::Bool, "False"},
    {"TextStyleUnderline", Kind::Bool, "False"}, {"BrushColor", Kind::Int, "16777215"},
    {"BrushStyle", Kind::Int, "1"}, {"Center", Kind::Int, "0"}, {"Position", Kind::Int, "0"},
    {"ShiftX", Kind::Int, "0"}, {"ShiftY", Kind::Int, "0"}, {"FormatShow", Kind::Text, ""},
};

// Reals as the program writes them: the general form with 15 significant
// digits. The point is pinned as the separator, so the file does not depend
// on the build machine's regional settings (the program reads either).
QString real(double v)
{
    platform::ScopedService<platform::DecimalSeparator> point(u'.');
    return platform::floatToStr(v);
}

// The value of a key as the description gives it, checked for its kind.
QString keyValue(const Section &s, const Entry &e, Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return checkCp1251(s, e, e.value);
    case Kind::Int:
        return QString::number(toColour(s, e, e.value));
    case Kind::Real:
        return real(toNumber(s, e, e.value));
    case Kind::Bool:
        if (e.value != u"True" && e.value != u"False")
            s.fail(e, QStringLiteral("\"%1\" is True or False").arg(e.key));
        return e.value;
    case Kind::Char:
        if (e.value.size() != 1)
            s.fail(e, QStringLiteral("\"%1\" is one character").arg(e.key));
        return checkCp1251(s, e, e.value);
    }
    return {};
}

struct LayerOut {
    QString content;   // texts, points, buildings, roads, parcels
    QString file;      // base name in the data folder
    const Section *section = nullptr;
    const Section *label = nullptr;
    ShapeFile shape{1};
    FieldDefs fields;
    Rows rows;
};

QStringList layerBlock(const LayerOut &l, int index, const std::vector<Purpose> &purposes)
{
    QStringList lines;
    const Section &s = *l.section;
    QStringList allowed{QStringLiteral("file")};
    for (const KeyDef &k : kLayerKeys)
        if (QLatin1String(k.value) != QLatin1String("-"))
            allowed << QLatin1String(k.key);
    s.allowOnly(allowed);

    std::map<QString, QString> v;
    for (const KeyDef &k : kLayerKeys) {
        const QString key = QLatin1String(k.key);
        if (const Entry *e = s.find(key))
            v[key] = keyValue(s, *e, k.kind);
        else
            v[key] = QLatin1String(k.value);
    }
    const Box &b = l.shape.box();
    v[QStringLiteral("FileName")] = l.file + QStringLiteral(".shp");
    v[QStringLiteral("Number")] = QString::number(index);
    v[QStringLiteral("MtMinX")] = v[QStringLiteral("PtMinX")] = real(b.xmin);
    v[QStringLiteral("MtMinY")] = v[QStringLiteral("PtMinY")] = real(b.ymin);
    v[QStringLiteral("MtMaxX")] = v[QStringLiteral("PtMaxX")] = real(b.xmax);
    v[QStringLiteral("MtMaxY")] = v[QStringLiteral("PtMaxY")] = real(b.ymax);
    v[QStringLiteral("CenterX")] = real((b.xmin + b.xmax) / 2);
    v[QStringLiteral("CenterY")] = real((b.ymin + b.ymax) / 2);
    // "BrushStyle" is the fill kind with 0 and 1 exchanged; "BrushType" follows
    // it as it is and decides on reading.
    const int brushType = v[QStringLiteral("BrushType")].toInt();
    v[QStringLiteral("BrushStyle")] = QString::number(brushType == 0 ? 1 : brushType == 1 ? 0 : brushType);

    lines << QString() << QStringLiteral("Layer=%1").arg(index + 1) << QStringLiteral("{");
    for (const KeyDef &k : kLayerKeys)
        lines << QStringLiteral("   ") + QLatin1String(k.key) + u'=' + v[QLatin1String(k.key)];

    // The thematic legend of the parcels: one colour per purpose.
    if (l.content == u"parcels" && v[QStringLiteral("TypeLegend")].toInt() > 0) {
        lines << QStringLiteral(" ");
        int i = 0;
        for (const Purpose &u : purposes) {
            lines << QStringLiteral("   Legend=%1").arg(++i) << QStringLiteral("   {")
                  << QStringLiteral("      ObjType=2") << QStringLiteral("      Values=") + u.text
                  << QStringLiteral("      Number=%1").arg(u.colour) << QStringLiteral("      Code=0")
                  << QStringLiteral("   }") << QStringLiteral(" ");
        }
    }
    if (l.label) {
        const Section &ls = *l.label;
        QStringList keys;
        for (const KeyDef &k : kLabelKeys)
            keys << QLatin1String(k.key);
        ls.allowOnly(keys);
        const Entry &field = ls.need(QStringLiteral("FieldName"));
        if (platform::db::findFieldDef(l.fields, field.value) < 0)
            ls.fail(field, QStringLiteral("the layer's table has no field \"%1\"").arg(field.value));
        lines << QStringLiteral(" ") << QStringLiteral("   Label=1") << QStringLiteral("   {");
        for (const KeyDef &k : kLabelKeys) {
            const QString key = QLatin1String(k.key);
            const Entry *e = ls.find(key);
            lines << QStringLiteral("      ") + key + u'=' + (e ? keyValue(ls, *e, k.kind) : QLatin1String(k.value));
        }
        lines << QStringLiteral("   }") << QStringLiteral(" ");
    }
    lines << QStringLiteral("}");
    return lines;
}

} // namespace

Outputs makeDemo(const Description &d, const QString &folder)
{
    const QStringList contents{QStringLiteral("texts"), QStringLiteral("points"), QStringLiteral("buildings"),
                               QStringLiteral("roads"), QStringLiteral("parcels")};
    for (const Section &s : d.sections) {
        static const QStringList kinds{QStringLiteral("project"), QStringLiteral("grid"), QStringLiteral("streets"),
                                       QStringLiteral("purposes"), QStringLiteral("owners"), QStringLiteral("texts"),
                                       QStringLiteral("layer"), QStringLiteral("label")};
        if (!kinds.contains(s.kind))
            s.fail(QStringLiteral("unknown section [%1]").arg(s.kind));
        if ((s.kind == u"layer" || s.kind == u"label") && !contents.contains(s.name))
            s.fail(QStringLiteral("[%1 %2]: the layers are %3").arg(s.kind, s.name, contents.join(QStringLiteral(", "))));
    }

    const Section &project = d.get(QStringLiteral("project"));
    project.allowOnly({QStringLiteral("file"), QStringLiteral("scale"), QStringLiteral("date"), QStringLiteral("seed"),
                       QStringLiteral("active")});
    const QString projectName = project.text(QStringLiteral("file"));
    const double scale = number(project, QStringLiteral("scale"));
    const Entry &dateEntry = project.need(QStringLiteral("date"));
    const QDate date = toDate(project, dateEntry, dateEntry.value);
    Dealer dealer(static_cast<quint32>(wholeNumber(project, QStringLiteral("seed"))));
    const QString active = project.text(QStringLiteral("active"));

    const Section &gridSection = d.get(QStringLiteral("grid"));
    const Grid g = readGrid(gridSection);

    const Section &streets = d.get(QStringLiteral("streets"));
    streets.allowOnly({QStringLiteral("east-west"), QStringLiteral("north-south")});
    QStringList eastWest, northSouth;
    for (const Entry *e : streets.all(QStringLiteral("east-west")))
        eastWest << checkCp1251(streets, *e, e->value);
    for (const Entry *e : streets.all(QStringLiteral("north-south")))
        northSouth << checkCp1251(streets, *e, e->value);
    if (eastWest.size() != g.rows + 1 || northSouth.size() != g.cols + 1)
        streets.fail(QStringLiteral("%1 east-west and %2 north-south streets are needed for the grid")
                         .arg(g.rows + 1)
                         .arg(g.cols + 1));

    const Section &purposeSection = d.get(QStringLiteral("purposes"));
    const std::vector<Purpose> purposes = readPurposes(purposeSection);
    int wholePurpose = -1;
    if (g.wholeCol >= 0) {
        for (size_t i = 0; i < purposes.size(); ++i)
            if (purposes[i].text == g.wholePurpose)
                wholePurpose = static_cast<int>(i);
        if (wholePurpose < 0)
            gridSection.fail(gridSection.need(QStringLiteral("whole-purpose")),
                             QStringLiteral("\"%1\" is not among the purposes").arg(g.wholePurpose));
    }
    int weights = 0;
    for (const Purpose &u : purposes)
        weights += u.weight;

    const Section &ownerSection = d.get(QStringLiteral("owners"));
    ownerSection.allowOnly({QStringLiteral("owner")});
    QStringList owners;
    for (const Entry *e : ownerSection.all(QStringLiteral("owner")))
        owners << checkCp1251(ownerSection, *e, e->value);
    if (owners.isEmpty())
        ownerSection.fail(QStringLiteral("no owner"));

    const Section &texts = d.get(QStringLiteral("texts"));
    texts.allowOnly({QStringLiteral("street-font"), QStringLiteral("quarter-font"), QStringLiteral("quarter-prefix"),
                     QStringLiteral("symbol-scale"), QStringLiteral("symbol")});
    const FontSpec streetFont = readFont(texts, QStringLiteral("street-font"));
    const FontSpec quarterFont = readFont(texts, QStringLiteral("quarter-font"));
    const QString quarterPrefix = text1251(texts, QStringLiteral("quarter-prefix"));
    const int symbolScale = wholeNumber(texts, QStringLiteral("symbol-scale"));
    std::vector<SymbolSpec> symbols;
    for (const Entry *e : texts.all(QStringLiteral("symbol"))) {
        const QStringList p = splitParts(texts, *e, u'|', 5, 5);
        SymbolSpec y;
        y.code = toInteger(texts, *e, p[0]);
        y.colour = toColour(texts, *e, p[1]);
        y.size = toInteger(texts, *e, p[2]);
        const auto block = toNumbers(texts, *e, p[3], 2);
        const auto place = toNumbers(texts, *e, p[4], 2);
        y.col = static_cast<int>(block[0]) - 1;
        y.row = static_cast<int>(block[1]) - 1;
        y.fx = place[0];
        y.fy = place[1];
        if (y.code < 32 || y.code > 255 || y.col < 0 || y.col >= g.cols || y.row < 0 || y.row >= g.rows
            || y.fx < 0 || y.fx > 1 || y.fy < 0 || y.fy > 1)
            texts.fail(*e, QStringLiteral("a character code of 32 to 255, a block of the grid, fractions of 0 to 1"));
        symbols.push_back(y);
    }

    // Parcels, block by block from the south-west, west to east.
    std::vector<Parcel> parcels;
    for (int r = 0; r < g.rows; ++r) {
        for (int c = 0; c < g.cols; ++c) {
            const int quarter = r * g.cols + c + 1;
            std::vector<Parcel> cut;
            if (c == g.wholeCol && r == g.wholeRow) {
                Parcel p;
                const double bx = g.blockX(c), by = g.blockY(r);
                p.ring = rectangle(bx, by, bx + g.bw, by + g.bh);
                p.street = r;
                p.northSide = true;
                p.frontX = bx + g.bw / 2;
                p.purpose = wholePurpose;
                p.owner = g.wholeOwner;
                const Purpose &u = purposes[static_cast<size_t>(wholePurpose)];
                const double cx = bx + g.bw / 2, cy = by + g.bh / 2;
                p.building = rectangle(cx - u.width / 2, cy - u.depth / 2, cx + u.width / 2, cy + u.depth / 2);
                cut.push_back(std::move(p));
            } else {
                cut = cutBlock(g, c, r, dealer);
                for (Parcel &p : cut) {
                    int pick = dealer.next(weights);
                    p.purpose = 0;
                    while (pick >= purposes[static_cast<size_t>(p.purpose)].weight) {
                        pick -= purposes[static_cast<size_t>(p.purpose)].weight;
                        ++p.purpose;
                    }
                    p.owner = owners[dealer.next(static_cast<int>(owners.size()))];
                    p.building = placeBuilding(g, p, purposes[static_cast<size_t>(p.purpose)], gridSection);
                }
            }
            int number = 0;
            for (Parcel &p : cut) {
                p.quarter = quarter;
                p.number = ++number;
                parcels.push_back(std::move(p));
            }
        }
    }
    // House numbers along each east-west street from west to east: odd on its
    // north side, even on its south side.
    for (int street = 0; street <= g.rows; ++street) {
        for (bool north : {true, false}) {
            std::vector<Parcel *> side;
            for (Parcel &p : parcels)
                if (p.street == street && p.northSide == north)
                    side.push_back(&p);
            std::stable_sort(side.begin(), side.end(),
                             [](const Parcel *a, const Parcel *b) { return a->frontX < b->frontX; });
            int house = north ? 1 : 2;
            for (Parcel *p : side) {
                p->house = house;
                house += 2;
            }
        }
    }

    // The layers, in the order of the description.
    std::vector<LayerOut> layers;
    for (const Section *s : d.all(QStringLiteral("layer"))) {
        for (const LayerOut &l : layers)
            if (l.content == s->name)
                s->fail(QStringLiteral("[layer %1] is given twice").arg(s->name));
        LayerOut l;
        l.content = s->name;
        l.section = s;
        l.label = d.find(QStringLiteral("label"), s->name);
        const Entry &file = s->need(QStringLiteral("file"));
        l.file = file.value;
        if (l.file.contains(u'.') || l.file.contains(u'/') || l.file.contains(u'\\'))
            s->fail(file, QStringLiteral("a layer's file is a bare name without extension"));
        layers.push_back(std::move(l));
    }
    for (const QString &c : contents) {
        bool found = false;
        for (const LayerOut &l : layers)
            found = found || l.content == c;
        if (!found)
            throw DescriptionError(d.file + QStringLiteral(": section [layer %1] is missing").arg(c));
    }
    for (const Section *s : d.all(QStringLiteral("label")))
        if (!d.find(QStringLiteral("layer"), s->name))
            s->fail(QStringLiteral("[label %1] belongs to no layer").arg(s->name));

    auto id = [](size_t i) { return QVariant(static_cast<int>(i + 1)); };
    const QVariant dateValue(date);
    for (LayerOut &l : layers) {
        if (l.content == u"parcels") {
            l.shape = ShapeFile(5);
            l.fields = {fieldDef(QStringLiteral("ID"), 'N', 9), fieldDef(QStringLiteral("KADNUM"), 'C', 22),
                        fieldDef(QStringLiteral("NUM"), 'C', 4), fieldDef(QStringLiteral("OWNER"), 'C', 60),
                        fieldDef(QStringLiteral("PURPOSE"), 'C', 80), fieldDef(QStringLiteral("STREET"), 'C', 40),
                        fieldDef(QStringLiteral("HOUSE"), 'C', 10), fieldDef(QStringLiteral("AREA"), 'N', 10, 4),
                        fieldDef(QStringLiteral("DATEEDIT"), 'D')};
            for (size_t i = 0; i < parcels.size(); ++i) {
                const Parcel &p = parcels[i];
                l.shape.addPoly({p.ring});
                const QString kadnum = QStringLiteral("%1:%2:%3:%4")
                                           .arg(g.koatuu, g.zone)
                                           .arg(p.quarter, 3, 10, QChar(u'0'))
                                           .arg(p.number, 4, 10, QChar(u'0'));
                l.rows.push_back({id(i), kadnum, QString::number(p.number), p.owner,
                                  purposes[static_cast<size_t>(p.purpose)].text, eastWest[p.street],
                                  QString::number(p.house),
                                  static_cast<double>(platform::roundHalfEven(ringArea(p.ring))) / 10000.0, dateValue});
            }
        } else if (l.content == u"buildings") {
            l.shape = ShapeFile(5);
            l.fields = {fieldDef(QStringLiteral("ID"), 'N', 9), fieldDef(QStringLiteral("KIND"), 'C', 40),
                        fieldDef(QStringLiteral("FLOORS"), 'N', 3), fieldDef(QStringLiteral("DATEEDIT"), 'D')};
            for (size_t i = 0; i < parcels.size(); ++i) {
                const Purpose &u = purposes[static_cast<size_t>(parcels[i].purpose)];
                l.shape.addPoly({parcels[i].building});
                l.rows.push_back({id(i), u.building, u.floors, dateValue});
            }
        } else if (l.content == u"roads") {
            l.shape = ShapeFile(3);
            l.fields = {fieldDef(QStringLiteral("ID"), 'N', 9), fieldDef(QStringLiteral("NAME"), 'C', 60),
                        fieldDef(QStringLiteral("WIDTH"), 'N', 6, 1), fieldDef(QStringLiteral("DATEEDIT"), 'D')};
            // Centre lines through every crossing, one street width beyond the last.
            size_t n = 0;
            for (int i = 0; i <= g.rows; ++i) {
                Ring line{{g.streetX(0) - g.street, g.streetY(i)}};
                for (int k = 0; k <= g.cols; ++k)
                    line.push_back({g.streetX(k), g.streetY(i)});
                line.push_back({g.streetX(g.cols) + g.street, g.streetY(i)});
                l.shape.addPoly({line});
                l.rows.push_back({id(n++), eastWest[i], g.street, dateValue});
            }
            for (int k = 0; k <= g.cols; ++k) {
                Ring line{{g.streetX(k), g.streetY(0) - g.street}};
                for (int i = 0; i <= g.rows; ++i)
                    line.push_back({g.streetX(k), g.streetY(i)});
                line.push_back({g.streetX(k), g.streetY(g.rows) + g.street});
                l.shape.addPoly({line});
                l.rows.push_back({id(n++), northSouth[k], g.street, dateValue});
            }
        } else if (l.content == u"points") {
            l.shape = ShapeFile(1);
            l.fields = {fieldDef(QStringLiteral("ID"), 'N', 9), fieldDef(QStringLiteral("NAME"), 'C', 10),
                        fieldDef(QStringLiteral("X"), 'N', 12, 2), fieldDef(QStringLiteral("Y"), 'N', 12, 2),
                        fieldDef(QStringLiteral("DATEEDIT"), 'D')};
            // The block corners, clockwise from the south-west; "X" is the
            // northing and "Y" the easting, as surveyors write them.
            size_t n = 0;
            for (int r = 0; r < g.rows; ++r)
                for (int c = 0; c < g.cols; ++c) {
                    const double bx = g.blockX(c), by = g.blockY(r);
                    for (const Point p : {Point{bx, by}, Point{bx, by + g.bh}, Point{bx + g.bw, by + g.bh},
                                          Point{bx + g.bw, by}}) {
                        l.shape.addPoint(p);
                        l.rows.push_back({id(n), QString::number(n + 1), p.y, p.x, dateValue});
                        ++n;
                    }
                }
        } else if (l.content == u"texts") {
            l.shape = ShapeFile(8);
            l.fields = {fieldDef(QStringLiteral("ID"), 'N', 9), fieldDef(QStringLiteral("DATEEDIT"), 'D')};
            // Texts and symbols lie on white where they are drawn on a field.
            auto object = [](int kind, Point at) {
                TextObject t;
                t.style.Kind = kind;
                t.style.BgTextColor = 0xFFFFFF;
                t.style.BrushColor = 0xFFFFFF;
                t.points = {at};
                return t;
            };
            auto text = [&object](const FontSpec &f, const QString &s, Point at, int rotate) {
                TextObject t = object(4, at);
                t.style.Text = s;
                t.style.FontName = f.face;
                t.style.FontSize = f.size;
                t.style.FontStyle = static_cast<std::int16_t>(f.style);
                t.style.Rotate = rotate;
                t.style.TextScale = f.scale;
                t.style.TextColor = f.colour;
                t.style.TextAlign = 1; // centred on the anchor both ways
                return t;
            };
            std::vector<TextObject> objects;
            // East-west names over the middle block column, north-south ones
            // over the first block row, turned along their street.
            const int midCol = g.cols / 2;
            for (int i = 0; i <= g.rows; ++i)
                objects.push_back(text(streetFont, eastWest[i], {g.blockX(midCol) + g.bw / 2, g.streetY(i)}, 0));
            for (int k = 0; k <= g.cols; ++k)
                objects.push_back(text(streetFont, northSouth[k], {g.streetX(k), g.blockY(0) + g.bh / 2}, 90));
            for (int r = 0; r < g.rows; ++r)
                for (int c = 0; c < g.cols; ++c)
                    objects.push_back(text(quarterFont,
                                           quarterPrefix + u' ' + QStringLiteral("%1").arg(r * g.cols + c + 1, 3, 10, QChar(u'0')),
                                           {g.blockX(c) + g.bw / 2, g.blockY(r) + g.bh / 2}, 0));
            for (const SymbolSpec &y : symbols) {
                TextObject t = object(2, {g.blockX(y.col) + g.bw * y.fx, g.blockY(y.row) + g.bh * y.fy});
                t.style.FontName = QStringLiteral("Wingdings");
                t.style.Symbol = platform::fromCp1251(QByteArray(1, static_cast<char>(y.code))).at(0);
                t.style.FontSize = y.size;
                t.style.TextScale = symbolScale;
                t.style.TextColor = y.colour;
                objects.push_back(t);
            }
            for (size_t i = 0; i < objects.size(); ++i) {
                try {
                    l.shape.addText(objects[i]);
                } catch (const std::invalid_argument &e) {
                    texts.fail(QString::fromStdString(e.what()));
                }
                l.rows.push_back({id(i), dateValue});
            }
        }
    }

    // The project file.
    Box all;
    int activeIndex = -1;
    for (size_t i = 0; i < layers.size(); ++i) {
        all.add(layers[i].shape.box());
        if (layers[i].content == active)
            activeIndex = static_cast<int>(i);
    }
    if (activeIndex < 0)
        project.fail(project.need(QStringLiteral("active")), QStringLiteral("\"%1\" is no layer").arg(active));

    QStringList lines;
    lines << QStringLiteral("!Tolvane v.2.2.0.2") << QString();
    lines << QStringLiteral("ZoomPanel=True"); // the zoom tool is down when the window opens
    for (const char *key : {"PickPanel", "SelectPanel", "PointPanel", "MarkPanel", "TextPanel", "SymbolPanel",
                            "MapPanel", "InformPanel", "ShowMarks", "ShowNamePoints"})
        lines << QLatin1String(key) + QStringLiteral("=False");
    lines << QStringLiteral("X=") + real((all.xmin + all.xmax) / 2) << QStringLiteral("Y=") + real((all.ymin + all.ymax) / 2)
          << QStringLiteral("Scale=") + real(scale);
    lines << QStringLiteral("SnapPoint=True") << QStringLiteral("SnapLine=True") << QStringLiteral("PointAutoIns=True")
          << QStringLiteral("PointAutoDel=True") << QStringLiteral("ShowVykAll=True");
    for (const char *key : {"ShowVykMark", "ShowVykActive", "ShowVykPassive", "ShowVykDelete", "ShowVykOther"})
        lines << QLatin1String(key) + QStringLiteral("=False");
    lines << QStringLiteral("ActiveLayer=%1").arg(activeIndex) << QStringLiteral("LayersCount=%1").arg(layers.size());
    for (size_t i = 0; i < layers.size(); ++i)
        lines << layerBlock(layers[i], static_cast<int>(i), purposes);

    Outputs out;
    const QString dataFolder = platform::joinPath(folder, projectName);
    for (const LayerOut &l : layers) {
        const QString base = platform::joinPath(dataFolder, l.file);
        out.push_back({base + QStringLiteral(".shp"), l.shape.shp()});
        out.push_back({base + QStringLiteral(".shx"), l.shape.shx()});
        out.push_back({base + QStringLiteral(".dbf"), dbfTable(l.fields, date, l.rows)});
    }
    out.push_back({platform::joinPath(folder, projectName + QStringLiteral(".tvp")),
                   platform::toCp1251(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))});
    return out;
}

} // namespace layergen
