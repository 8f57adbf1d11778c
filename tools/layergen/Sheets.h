#pragma once
// The scanned survey sheets of the demo project: pictures of the
// surroundings drawn here pixel by pixel (paper, height tints and contour
// lines, a stream, a pond and woods, the crosses of the coordinate grid and
// the sheet's frame), so that every build on every machine writes the same
// bytes, and the raster objects that place them on the map by the grid
// crosses nearest their corners.

#include "tools/layergen/Description.h"
#include "tools/layergen/LayerFiles.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace layergen {

struct SheetSpec {
    QString file;        // in the data folder
    QString storedName;  // as the layer keeps it
    double west = 0, south = 0, east = 0, north = 0;
    double pixel = 1;    // metres a pixel
};

// The [sheets] section: "sheet = file | stored name | west, south, east,
// north | metres a pixel" lines and the grid's step ("cross").
struct Sheets {
    std::vector<SheetSpec> sheets;
    double cross = 50;
};
Sheets readSheets(const Section &s);

// The picture of a sheet (the world it shows is the same for every sheet,
// so neighbours join).
QImage drawSheet(const SheetSpec &sheet, double cross);
// The picture's file: ".tiff" as LZW strips with horizontal differencing,
// any other extension by Qt's writer of that format.
QByteArray sheetFile(const SheetSpec &sheet, const QImage &picture);
// The raster object of a sheet: its control points on the four grid crosses
// nearest its corners, its box fitted to them.
TShpObject sheetObject(const SheetSpec &sheet, double cross);

} // namespace layergen
