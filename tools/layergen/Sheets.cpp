// The demo's survey sheets. The world they show is made of plain arithmetic
// (no library functions whose last bit may differ between machines): a
// slope with hills and a hollow, a stream into a pond in the hollow, two
// woods.

#include "tools/layergen/Sheets.h"

#include "raster/RasterObject.h"
#include "raster/TiffBuilder.h"

#include "platform/Paths.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>

namespace layergen {

namespace {

// The world's middle: the settlement's.
constexpr double kMidX = 1300000, kMidY = 5399980;

struct Hill {
    double u, v, radius, height;   // metres from the middle; centimetres
};
constexpr Hill kHills[] = {
    {-230, 110, 150, 900}, {190, -120, 130, 700}, {70, 150, 95, -600}, {-120, -150, 110, 450}, {260, 180, 90, 350},
};

// Height in centimetres.
double height(double u, double v)
{
    double h = 2000 + 1.5 * u - 1.1 * v;
    for (const Hill &k : kHills) {
        const double d = ((u - k.u) * (u - k.u) + (v - k.v) * (v - k.v)) / (k.radius * k.radius);
        if (d < 1)
            h += k.height * (1 - d) * (1 - d);
    }
    return h;
}

struct P {
    double u, v;
};

// The stream, from the west into the pond and on to the north-east.
constexpr P kStream[] = {{-320, 30}, {-240, 10}, {-160, 55}, {-80, 35}, {0, 85}, {55, 140},
                         {95, 170}, {150, 205}, {230, 215}, {320, 250}};
constexpr P kPond{72, 152};
constexpr double kPondA = 34, kPondB = 22;

constexpr P kWoodWest[] = {{-300, -150}, {-200, -165}, {-165, -70}, {-235, -35}, {-310, -80}};
constexpr P kWoodEast[] = {{195, 40}, {300, 30}, {315, 130}, {240, 150}, {185, 100}};

template <size_t N>
bool inside(const P (&poly)[N], double u, double v)
{
    bool in = false;
    for (size_t i = 0, j = N - 1; i < N; j = i++)
        if ((poly[i].v > v) != (poly[j].v > v) &&
            u < (poly[j].u - poly[i].u) * (v - poly[i].v) / (poly[j].v - poly[i].v) + poly[i].u)
            in = !in;
    return in;
}

// Squared distance to the stream.
double streamDistance2(double u, double v)
{
    double best = 1e30;
    for (size_t i = 0; i + 1 < std::size(kStream); ++i) {
        const P a = kStream[i], b = kStream[i + 1];
        const double du = b.u - a.u, dv = b.v - a.v;
        double t = ((u - a.u) * du + (v - a.v) * dv) / (du * du + dv * dv);
        t = std::clamp(t, 0.0, 1.0);
        const double x = a.u + t * du - u, y = a.v + t * dv - v;
        best = std::min(best, x * x + y * y);
    }
    return best;
}

QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

} // namespace

Sheets readSheets(const Section &s)
{
    s.allowOnly({QStringLiteral("sheet"), QStringLiteral("cross")});
    Sheets out;
    out.cross = toNumber(s, s.need(QStringLiteral("cross")), s.need(QStringLiteral("cross")).value);
    if (out.cross <= 0)
        s.fail(s.need(QStringLiteral("cross")), QStringLiteral("the grid's step is above 0"));
    for (const Entry *e : s.all(QStringLiteral("sheet"))) {
        const QStringList p = splitParts(s, *e, u'|', 4, 4);
        SheetSpec sheet;
        sheet.file = p[0];
        sheet.storedName = checkCp1251(s, *e, p[1]);
        const std::vector<double> box = toNumbers(s, *e, p[2], 4);
        sheet.west = box[0];
        sheet.south = box[1];
        sheet.east = box[2];
        sheet.north = box[3];
        sheet.pixel = toNumber(s, *e, p[3]);
        if (sheet.file.contains(u'/') || sheet.file.contains(u'\\') || platform::extractFileExt(sheet.file).isEmpty())
            s.fail(*e, QStringLiteral("a sheet's file is a bare name with an extension"));
        const double w = (sheet.east - sheet.west) / sheet.pixel, h = (sheet.north - sheet.south) / sheet.pixel;
        if (!(sheet.pixel > 0) || w < 1 || h < 1 || w > 20000 || h > 20000 || w != std::floor(w) || h != std::floor(h))
            s.fail(*e, QStringLiteral("a sheet is a whole number of pixels, 1 to 20000, each way"));
        out.sheets.push_back(sheet);
    }
    if (out.sheets.empty())
        s.fail(QStringLiteral("no sheet"));
    return out;
}

QImage drawSheet(const SheetSpec &sheet, double cross)
{
    const int w = static_cast<int>((sheet.east - sheet.west) / sheet.pixel);
    const int h = static_cast<int>((sheet.north - sheet.south) / sheet.pixel);
    // The height of every pixel and of a border of two, for the contours.
    std::vector<double> heights(static_cast<size_t>(w + 4) * (h + 4));
    auto at = [&](int col, int row) -> double & { return heights[static_cast<size_t>(row + 2) * (w + 4) + (col + 2)]; };
    auto uOf = [&](int col) { return sheet.west + (col + 0.5) * sheet.pixel - kMidX; };
    auto vOf = [&](int row) { return sheet.north - (row + 0.5) * sheet.pixel - kMidY; };
    for (int row = -2; row <= h + 1; ++row)
        for (int col = -2; col <= w + 1; ++col)
            at(col, row) = height(uOf(col), vOf(row));

    QImage image(w, h, QImage::Format_RGB32);
    const double px = sheet.pixel;
    for (int row = 0; row < h; ++row) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
        const double v = vOf(row);
        for (int col = 0; col < w; ++col) {
            const double u = uOf(col);
            const double hh = at(col, row);
            // Paper, tinted darker with the height.
            const int band = std::clamp(static_cast<int>(std::floor(hh / 500)), 0, 6);
            QRgb c = rgb(250 - 4 * band, 246 - 2 * band, 232 - 7 * band);
            // Woods: a light green with tree rings every 6 m.
            if (inside(kWoodWest, u, v) || inside(kWoodEast, u, v)) {
                c = rgb(216, 234, 198);
                const double du = std::fmod(u + 1000, 6) - 3, dv = std::fmod(v + 1000, 6) - 3;
                const double r2 = du * du + dv * dv;
                if (r2 <= 0.9 * 0.9 && r2 >= 0.5 * 0.5)
                    c = rgb(86, 138, 78);
            }
            // Contour lines every metre, 2 pixels wide, and every five
            // metres 4 pixels wide, so that they show in a reduced view.
            const auto crosses = [&](int reach, double interval) {
                const double band = std::floor(hh / interval);
                for (int k = 1; k <= reach; ++k)
                    if (std::floor(at(col + k, row) / interval) != band || std::floor(at(col - k, row) / interval) != band ||
                        std::floor(at(col, row + k) / interval) != band || std::floor(at(col, row - k) / interval) != band)
                        return true;
                return false;
            };
            if (crosses(2, 500))
                c = rgb(150, 92, 48);
            else if (crosses(1, 100))
                c = rgb(190, 140, 96);
            // The pond, with its shore line.
            const double e = ((u - kPond.u) * (u - kPond.u)) / (kPondA * kPondA) +
                             ((v - kPond.v) * (v - kPond.v)) / (kPondB * kPondB);
            if (e <= 1)
                c = e >= 0.9 ? rgb(52, 112, 180) : rgb(178, 210, 238);
            // The stream, 2.5 m wide.
            if (e > 1 && streamDistance2(u, v) <= 1.25 * 1.25)
                c = rgb(62, 128, 200);
            // The crosses of the grid: arms of 5 m, 3 pixels wide.
            const double x = u + kMidX, y = v + kMidY;
            const double dx = x - std::round(x / cross) * cross, dy = y - std::round(y / cross) * cross;
            if ((std::fabs(dx) < 1.5 * px && std::fabs(dy) <= 5) || (std::fabs(dy) < 1.5 * px && std::fabs(dx) <= 5))
                c = rgb(30, 30, 30);
            // The sheet's frame.
            if (col < 4 || row < 4 || col >= w - 4 || row >= h - 4)
                c = rgb(30, 30, 30);
            line[col] = c;
        }
    }
    return image;
}

QByteArray sheetFile(const SheetSpec &sheet, const QImage &picture)
{
    const QString ext = platform::extractFileExt(sheet.file).toLower();
    if (ext == u".tiff") {
        // RGB, LZW strips of 16 rows with horizontal differencing.
        tifftest::Picture p;
        p.width = static_cast<std::uint32_t>(picture.width());
        p.height = static_cast<std::uint32_t>(picture.height());
        p.photometric = 2;
        p.bitsPerSample = {8, 8, 8};
        p.compression = 5;
        p.rowsPerStrip = 16;
        p.predictor = 2;
        p.pixels.reserve(qsizetype(3) * picture.width() * picture.height());
        for (int y = 0; y < picture.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                p.pixels.append(static_cast<char>(qRed(line[x])));
                p.pixels.append(static_cast<char>(qGreen(line[x])));
                p.pixels.append(static_cast<char>(qBlue(line[x])));
            }
        }
        return tifftest::file(p);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, ext.mid(1).toLatin1().constData()))
        throw std::runtime_error("no writer for the pictures of " + sheet.file.toStdString());
    return bytes;
}

TShpObject sheetObject(const SheetSpec &sheet, double cross)
{
    TRasterObject r;
    r.ImageName = sheet.storedName;
    r.ImageWidth = static_cast<std::int32_t>((sheet.east - sheet.west) / sheet.pixel);
    r.ImageHeight = static_cast<std::int32_t>((sheet.north - sheet.south) / sheet.pixel);
    // The crosses nearest the corners, one step inside, clockwise from the
    // north-west.
    const double west = std::ceil(sheet.west / cross) * cross + (std::fmod(sheet.west, cross) == 0 ? cross : 0);
    const double east = std::floor(sheet.east / cross) * cross - (std::fmod(sheet.east, cross) == 0 ? cross : 0);
    const double south = std::ceil(sheet.south / cross) * cross + (std::fmod(sheet.south, cross) == 0 ? cross : 0);
    const double north = std::floor(sheet.north / cross) * cross - (std::fmod(sheet.north, cross) == 0 ? cross : 0);
    for (const auto &[x, y] : {std::pair{west, north}, {east, north}, {east, south}, {west, south}})
        r.Points.push_back(TControlPoint{x, y, static_cast<std::int32_t>(std::lround((x - sheet.west) / sheet.pixel)),
                                         static_cast<std::int32_t>(std::lround((sheet.north - y) / sheet.pixel))});
    if (!raster::fitRasterToControlPoints(r))
        throw std::runtime_error("the crosses of " + sheet.file.toStdString() + " give no box");
    TShpObject shape;
    raster::shapeFromRaster(r, shape);
    return shape;
}

} // namespace layergen
