#pragma once
// GDAL's command-line tools (package gdal-bin) for tests whose layers another
// program writes (ogr2ogr) or reads (ogrinfo).

#include "support/TestFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace testsupport {

// What a program run gave: its exit code and its two outputs.
struct ToolRun {
    int code = -1;
    QString out, err;
};
ToolRun runTool(const QString &program, const QStringList &args, const QString &dir);

// Whether ogr2ogr and ogrinfo are installed.
bool haveGdal();

// Writes name.shp/.shx/.dbf with ogr2ogr as a layer of the type SHPT (such as
// "ARCZ") from geometries given as WKT texts; the row of geometry i (from 1)
// holds NAME "Объект №i" and NUM i × 10, in Windows-1251.
ToolRun makeGdalLayer(const TempFolder &dir, const QString &name, const QString &shpt,
                      const std::vector<QByteArray> &wkt);

} // namespace testsupport
