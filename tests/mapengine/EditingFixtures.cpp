#include "EditingFixtures.h"

#include <cstring>

namespace edittest {

Project::Project()
{
    map.SetWorkDir(dir.path());
    map.SetClientSize(800, 400);
    map.ResetPicture();
}

int Project::addLayer(const QString &name, std::int32_t shapeType, const QByteArray &dbf)
{
    dir.write(name + QStringLiteral(".shp"), editfix::emptyShape(shapeType));
    dir.write(name + QStringLiteral(".shx"), editfix::emptyShape(shapeType));
    dir.write(name + QStringLiteral(".dbf"), dbf);
    return openLayer(name);
}

int Project::addLayer(const QString &name, std::int32_t shapeType, fixtures::Box box,
                      const std::vector<QByteArray> &contents, const QByteArray &dbf)
{
    const fixtures::Layer files = fixtures::layer(shapeType, box, contents);
    dir.write(name + QStringLiteral(".shp"), files.shp);
    dir.write(name + QStringLiteral(".shx"), files.shx);
    dir.write(name + QStringLiteral(".dbf"), dbf);
    return openLayer(name);
}

int Project::openLayer(const QString &name)
{
    TMapLayer l;
    l.FileName = name + QStringLiteral(".shp");
    l.Name = name;
    l.MapType = mtShapeLayer;
    l.Visible = l.Snap = l.Edited = true;
    map.Project().Layers.push_back(l);
    const int index = static_cast<int>(map.Project().Layers.size()) - 1;
    map.RecalcLayer(index);
    map.RecalcLayerExtents(index);
    if (layer(index).ShapeType == 8)
        layer(index).MapType = mtTextLayer;
    return index;
}

TShpObject Project::shape(int l, int i)
{
    TShpObject s;
    map.ReadObject(l, i, s);
    return s;
}

void Project::select(int l, int i, std::int32_t vertex)
{
    const TShpObject s = shape(l, i);
    TSelObject e;
    e.Layer = l;
    e.Index = i;
    e.VertexIndex = vertex;
    e.XMin = s.XMin;
    e.YMin = s.YMin;
    e.XMax = s.XMax;
    e.YMax = s.YMax;
    map.Selection().Entries.push_back(e);
}

QByteArray Project::journalContent(int l, int i) const
{
    const TMapObject &o = map.Project().Layers[static_cast<size_t>(l)].Objects[static_cast<size_t>(i)];
    return dir.read(QStringLiteral("updates.mhp")).mid(2 * qsizetype(o.JrnOffset) + 8, 2 * qsizetype(o.JrnLength));
}

std::vector<std::vector<std::pair<double, double>>> pointsOf(const TShpObject &shape)
{
    std::vector<std::vector<std::pair<double, double>>> out;
    for (const TShpParts &part : shape.Parts) {
        out.emplace_back();
        for (const TShpPoint &p : part.Points)
            out.back().emplace_back(p.X, p.Y);
    }
    return out;
}

std::vector<std::pair<std::int32_t, std::int32_t>> pixelsOf(const TShpObject &shape)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> out;
    if (!shape.Parts.empty())
        for (const TShpPoint &p : shape.Parts.front().Points)
            out.emplace_back(p.W(), p.H());
    return out;
}

std::int32_t le32(const QByteArray &b, qsizetype at)
{
    const auto *u = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return static_cast<std::int32_t>(std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
                                     std::uint32_t(u[3]) << 24);
}

std::int32_t be32(const QByteArray &b, qsizetype at)
{
    const auto *u = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return static_cast<std::int32_t>(std::uint32_t(u[0]) << 24 | std::uint32_t(u[1]) << 16 |
                                     std::uint32_t(u[2]) << 8 | std::uint32_t(u[3]));
}

double leDouble(const QByteArray &b, qsizetype at)
{
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k)
        v = v << 8 | static_cast<unsigned char>(b[at + k]);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

} // namespace edittest
