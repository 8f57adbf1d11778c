#pragma once
// A map control over layers in a temporary work folder: the layer files are
// built byte by byte (mapdata/LayerFixtures), the view is fixed so that a
// pixel (px, py) of the 800 × 400 control is the map point
// (900 + px / 4, 1050 - py / 4), with the screen's metrics pinned.

#include "MapTestSupport.h"

#include "mapdata/LayerFixtures.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QString>

#include <cmath>
#include <cstring>
#include <vector>

namespace maptest {

inline int px(double x) { return static_cast<int>(std::lround((x - 900) * 4)); }
inline int py(double y) { return static_cast<int>(std::lround((1050 - y) * 4)); }

struct EngineProject {
    testsupport::TempFolder dir;
    platform::ScopedService<ScreenMetrics> pin;
    MapControlCore map;

    // Other metrics change the pixel's size (the conversions above hold for
    // the pinned ones only).
    explicit EngineProject(const DeviceMetrics &metrics = pinnedMetrics()) : pin(metrics)
    {
        map.SetWorkDir(dir.path());
        map.SetClientSize(800, 400);
        map.ResetPicture();
        map.SetCentreX(1000);
        map.SetCentreY(1000);
        map.SetScale(100);
        map.PictureBitmap().setSize(800, 400);
        map.BackBuffer().setSize(800, 400);
    }

    // Writes name.shp/.shx/.dbf holding the contents and opens them as a
    // visible, selectable, editable layer; returns its index.
    int addLayer(const QString &name, std::int32_t shapeType, const std::vector<QByteArray> &contents)
    {
        const fixtures::Layer files = fixtures::layer(shapeType, {}, contents);
        dir.write(name + QStringLiteral(".shp"), files.shp);
        dir.write(name + QStringLiteral(".shx"), files.shx);
        std::vector<fixtures::DbfRow> rows(contents.size(), fixtures::DbfRow{false, {"1"}});
        dir.write(name + QStringLiteral(".dbf"), fixtures::dbf({{"ID", 'N', 10}}, rows));
        TMapLayer l;
        l.FileName = name + QStringLiteral(".shp");
        l.Name = name;
        l.MapType = shapeType == 8 ? mtTextLayer : mtShapeLayer;
        l.Visible = l.Snap = l.Edited = true;
        map.Project().Layers.push_back(l);
        const int index = static_cast<int>(map.Project().Layers.size()) - 1;
        map.RecalcLayer(index);
        return index;
    }

    TMapLayer &layer(int index) { return map.Project().Layers[static_cast<size_t>(index)]; }
    TMapObject &object(int layer, int index) { return this->layer(layer).Objects[static_cast<size_t>(index)]; }

    // An empty image layer copied from the program folder's templates,
    // open, current and editable.
    int addImageLayer(const QString &name)
    {
        for (const char *ext : {".shp", ".shx", ".dbf"})
            QFile::copy(testsupport::programFolder() + QStringLiteral("/Default/image") + QLatin1String(ext),
                        dir.file(name + QLatin1String(ext)));
        TMapLayer l;
        l.FileName = name + QStringLiteral(".shp");
        l.Name = name;
        l.MapType = mtShapeLayer;
        l.ObjType = otImages;
        l.Visible = l.Snap = l.Edited = true;
        map.Project().Layers.push_back(l);
        const int index = static_cast<int>(map.Project().Layers.size()) - 1;
        map.OpenLayerFiles(index);
        map.Project().ActiveLayer = index;
        return index;
    }

    // Selects an object with its box as the object reader gives it.
    void select(int layer, int index, int vertex = 0)
    {
        TShpObject shape;
        map.ReadObject(layer, index, shape);
        TSelObject e;
        e.Layer = layer;
        e.Index = index;
        e.VertexIndex = vertex;
        e.Hit = 1;
        e.XMin = shape.XMin;
        e.YMin = shape.YMin;
        e.XMax = shape.XMax;
        e.YMax = shape.YMax;
        map.Selection().Entries.push_back(e);
        map.RecalcSelectionExtent();
    }

    // The content of the journal record of an object (after its 8-byte header).
    QByteArray journalContent(int layer, int index)
    {
        const TMapObject &o = object(layer, index);
        const QByteArray mhp = dir.read(QStringLiteral("updates.mhp"));
        return mhp.mid(2 * qsizetype(o.JrnOffset) + 8, 2 * qsizetype(o.JrnLength));
    }
};

// A ring of a polygon record through the corners of a box, closed.
inline std::vector<fixtures::Pt> ring(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}

// Little-endian values of a byte array at a literal offset.
inline std::int32_t le32(const QByteArray &b, int at)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
}
inline double leDouble(const QByteArray &b, int at)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

} // namespace maptest
