#include "ExchangeFixtures.h"

#include "platform/TextCodec.h"

#include <QtEndian>

namespace exchange {

const std::vector<fixtures::DbfField> &tableFields()
{
    static const std::vector<fixtures::DbfField> fields = {
        {"ID", 'N', 10, 0}, {"DATEEDIT", 'D', 8, 0}, {"NAME", 'C', 40, 0}, {"AREA", 'F', 12, 2}};
    return fields;
}

fixtures::DbfRow row(const char *id, const char *date, const char *name, const char *area)
{
    fixtures::DbfRow r;
    r.values = {QByteArray(id), QByteArray(date), platform::toCp1251(QString::fromUtf8(name)), QByteArray(area)};
    return r;
}

Workspace::Workspace()
{
    core.SetWorkDir(dir.path());
    core.setEngineServices(&engine);
}

int Workspace::addLayer(const QString &name, std::int32_t shapeType, const std::vector<QByteArray> &contents,
                        const std::vector<fixtures::DbfRow> &rows, const std::vector<fixtures::DbfField> &fields)
{
    const fixtures::Layer l = fixtures::layer(shapeType, {}, contents);
    dir.write(name + QStringLiteral(".Shp"), l.shp);
    dir.write(name + QStringLiteral(".Shx"), l.shx);
    dir.write(name + QStringLiteral(".Dbf"), fixtures::dbf(fields, rows));
    TMapLayer layer;
    layer.FileName = dir.file(name + QStringLiteral(".Shp"));
    layer.Name = name;
    layer.MapType = shapeType == 8 ? mtTextLayer : mtShapeLayer;
    layer.Visible = layer.Snap = layer.Edited = true;
    core.Project().Layers.push_back(layer);
    const int index = static_cast<int>(core.Project().Layers.size()) - 1;
    core.RecalcLayer(index);
    return index;
}

void Workspace::select(int layer, int index)
{
    TSelObject s;
    s.Layer = layer;
    s.Index = index;
    engine.selection.Entries.push_back(s);
}

std::vector<XY> partsOf(const TShpObject &shape)
{
    std::vector<XY> out;
    for (const TShpParts &p : shape.Parts) {
        out.emplace_back();
        for (const TShpPoint &q : p.Points)
            out.back().emplace_back(q.X, q.Y);
    }
    return out;
}

fixtures::Box boxOf(const XY &points)
{
    fixtures::Box b{points.front().first, points.front().second, points.front().first, points.front().second};
    for (const auto &[x, y] : points) {
        b.xMin = std::min(b.xMin, x);
        b.yMin = std::min(b.yMin, y);
        b.xMax = std::max(b.xMax, x);
        b.yMax = std::max(b.yMax, y);
    }
    return b;
}

QByteArray poly(std::int32_t shapeType, const std::vector<XY> &parts)
{
    std::vector<std::int32_t> starts;
    std::vector<fixtures::Pt> points;
    XY all;
    for (const XY &p : parts) {
        starts.push_back(static_cast<std::int32_t>(points.size()));
        for (const auto &[x, y] : p) {
            points.push_back({x, y});
            all.emplace_back(x, y);
        }
    }
    return fixtures::polyContent(shapeType, boxOf(all), starts, points);
}

QByteArray recordContent(const QByteArray &shp, int k)
{
    qsizetype pos = 100;
    for (int i = 0;; ++i) {
        if (pos + 8 > shp.size())
            return {};
        const qint32 words = qFromBigEndian<qint32>(shp.constData() + pos + 4);
        if (i == k)
            return shp.mid(pos + 8, 2 * qsizetype(words));
        pos += 8 + 2 * qsizetype(words);
    }
}

} // namespace exchange
