#pragma once
// A work folder with layers made byte by byte from template-like files (a
// header-only ".Shp"/".Shx" and a ".Dbf" with "ID" and "DATEEDIT"), a map
// data core over them, a stand-in for the map engine's services and a
// clipboard of the test's own.

#include "LayerFixtures.h"

#include "mapdata/MapDataCore.h"
#include "platform/gdi/Clipboard.h"
#include "platform/Environment.h"
#include "support/TestFiles.h"

#include <QDateTime>

namespace exchange {

// The map engine as the core sees it: a selection, a view at 1:500 with
// 0.0254 cm pixels, and texts whose extent is their anchor.
struct Engine : IMapEngineServices {
    TSelObjects selection;
    double denominator = 500;
    double pixelX = 26.4583, pixelY = 26.4583;

    void LayoutTextObject(const TTextRecord &, double x, double y, double &xMin, double &yMin, double &xMax,
                          double &yMax) override
    {
        xMin = xMax = x;
        yMin = yMax = y;
    }
    double CurrentScaleDenominator() override { return denominator; }
    TSelObjects *EngineSelection() override { return &selection; }
    void ClearSelection() override { selection = TSelObjects{}; }
    double UnitsPerPixelX() override { return pixelX; }
    double UnitsPerPixelY() override { return pixelY; }
};

// The attribute fields of the fixture tables.
const std::vector<fixtures::DbfField> &tableFields();

struct Workspace {
    Workspace();

    // Writes a layer's three files (records and rows given) and adds the layer
    // to the project, its object table built from the files. Returns its index.
    int addLayer(const QString &name, std::int32_t shapeType, const std::vector<QByteArray> &contents = {},
                 const std::vector<fixtures::DbfRow> &rows = {},
                 const std::vector<fixtures::DbfField> &fields = tableFields());
    void select(int layer, int index);
    QByteArray file(const QString &name) const { return dir.read(name); }

    testsupport::TempFolder dir;
    Engine engine;
    MapDataCore core;
    platform::MemoryClipboard clipboard;
    platform::ScopedService<platform::TextClipboard> clipboardGuard{clipboard};
    platform::ScopedService<platform::Clock> clock{QDateTime(QDate(2024, 3, 15), QTime(10, 0))};
};

// A row of the fixture table: ID, DATEEDIT, NAME, AREA as stored texts.
fixtures::DbfRow row(const char *id, const char *date, const char *name, const char *area);

// Points of a poly record of the ".Shp" or of a ShpObject, as pairs.
using XY = std::vector<std::pair<double, double>>;
std::vector<XY> partsOf(const TShpObject &shape);
fixtures::Box boxOf(const XY &points);
// A poly content of one ring or line per part.
QByteArray poly(std::int32_t shapeType, const std::vector<XY> &parts);

// A record of a ".Shp" read at literal offsets: the content of record k
// (0-based) when the records lie one after another from byte 100.
QByteArray recordContent(const QByteArray &shp, int k);

} // namespace exchange
