#pragma once
// Layers in a work folder for the editing operations of the map control:
// template triples and layers holding given records, built byte by byte as
// in the data core's tests, opened in a headless map control.

#include "EditFixtures.h"
#include "LayerFixtures.h"

#include "mapengine/MapControlCore.h"
#include "platform/Environment.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace edittest {

// A projection that scales radians by a million (forward) and back, so that
// a layer stored in degrees shows in metres-sized map units.
class ScaleProjection : public IProjection {
public:
    void forward(double &x, double &y) override
    {
        x *= 1e6;
        y *= 1e6;
    }
    void inverse(double &x, double &y) override
    {
        x /= 1e6;
        y /= 1e6;
    }
};
class ScaleLibrary : public ILayerProjection {
public:
    std::unique_ptr<IProjection> setUp(const QString &) override { return std::make_unique<ScaleProjection>(); }
};

struct Project {
    testsupport::TempFolder dir;
    MapControlCore map;
    platform::ScopedService<platform::Clock> clock{editfix::testDay()};

    // An 800 × 400 control at 1:500.
    Project();
    // The empty template triple as name.shp/.shx/.dbf, opened as a layer.
    int addLayer(const QString &name, std::int32_t shapeType, const QByteArray &dbf = editfix::templateDbf());
    // A layer holding the records.
    int addLayer(const QString &name, std::int32_t shapeType, fixtures::Box box,
                 const std::vector<QByteArray> &contents, const QByteArray &dbf = editfix::templateDbf());
    // Opens existing files as an editable layer of kind 1 (8 for texts).
    int openLayer(const QString &name);
    QByteArray read(const QString &name) const { return dir.read(name); }
    QString path(const QString &name) const { return dir.file(name); }

    TMapLayer &layer(int l) { return map.Project().Layers[static_cast<size_t>(l)]; }
    TMapObject &object(int l, int i) { return layer(l).Objects[static_cast<size_t>(i)]; }
    // The object as the map shows it.
    TShpObject shape(int l, int i);
    // Adds a selection entry for the object with its box.
    void select(int l, int i, std::int32_t vertex = 0);
    // The content of the object's current journal record ("updates.mhp").
    QByteArray journalContent(int l, int i) const;
};

// The parts of a shape as (x, y) lists.
std::vector<std::vector<std::pair<double, double>>> pointsOf(const TShpObject &shape);
// The third values (W, H) of the first part.
std::vector<std::pair<std::int32_t, std::int32_t>> pixelsOf(const TShpObject &shape);

// Little- and big-endian values of a byte array.
std::int32_t le32(const QByteArray &b, qsizetype at);
std::int32_t be32(const QByteArray &b, qsizetype at);
double leDouble(const QByteArray &b, qsizetype at);

} // namespace edittest
