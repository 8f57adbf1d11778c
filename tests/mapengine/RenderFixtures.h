#pragma once
// Shared set-up of the drawing tests of the map engine: a map control core
// without a window over layers of a temporary work folder, opened as the map
// window opens them, a screen of pinned metrics (25 units of 0.01 mm per
// pixel both ways), a view of 400 × 300 pixels centred on (1000, 5000),
// layer files built byte by byte at literal offsets (shapes, text and raster
// records, dBase tables with named fields, the edit journal), renderers that
// record their calls and may draw with a library of the test's own, the two
// canvases of one layer's drawing, and the redraw of the map window done by
// the render job.

#include "mapengine/HeadlessProject.h"
#include "mapengine/MapControlCore.h"
#include "mapengine/RenderJob.h"
#include "mapengine/StyleRenderers.h"
#include "platform/TextCodec.h"
#include "platform/gdi/RecordingCanvas.h"
#include "support/LayerBytes.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>

namespace rendertest {

using namespace maptest;
using platform::gdi::Canvas;
using platform::gdi::RecordingCanvas;

// 800 × 600 pixels on 200 × 150 mm: 25 units of 0.01 mm per pixel.
inline platform::gdi::DeviceMetrics testScreen()
{
    platform::gdi::DeviceMetrics m;
    m.horzRes = 800;
    m.vertRes = 600;
    m.horzSize = 200;
    m.vertSize = 150;
    m.logPixelsX = 96;
    m.logPixelsY = 96;
    return m;
}

// ---- records ----

// A poly record of rings (type at 0, box at 4, counts at 36 and 40, part
// starts at 44, 16-byte points after).
inline QByteArray polyRings(std::int32_t type, const std::vector<std::vector<QPointF>> &rings)
{
    int points = 0;
    for (const auto &r : rings)
        points += static_cast<int>(r.size());
    const int parts = static_cast<int>(rings.size());
    QByteArray b(44 + 4 * parts + 16 * points, '\0');
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const auto &r : rings)
        for (const QPointF &p : r) {
            x0 = std::min(x0, p.x());
            y0 = std::min(y0, p.y());
            x1 = std::max(x1, p.x());
            y1 = std::max(y1, p.y());
        }
    putLE32(b, 0, type);
    putLEDouble(b, 4, x0);
    putLEDouble(b, 12, y0);
    putLEDouble(b, 20, x1);
    putLEDouble(b, 28, y1);
    putLE32(b, 36, parts);
    putLE32(b, 40, points);
    int start = 0, at = 44 + 4 * parts;
    for (int j = 0; j < parts; ++j) {
        putLE32(b, 44 + 4 * j, start);
        for (const QPointF &p : rings[static_cast<size_t>(j)]) {
            putLEDouble(b, at, p.x());
            putLEDouble(b, at + 8, p.y());
            at += 16;
        }
        start += static_cast<int>(rings[static_cast<size_t>(j)].size());
    }
    return b;
}

// A closed square ring.
inline std::vector<QPointF> square(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}

// The style of a text/symbol record; the fields are written at their offsets.
struct TextSpec {
    std::int32_t kind = 4;
    QString text = QStringLiteral("Текст");
    QString fontName = QStringLiteral("Arial");
    std::int32_t fontSize = 10;
    std::int16_t fontStyle = 0;
    std::int32_t rotate = 0;
    std::int32_t textScale = 0;
    Byte transparent = 0;
    char symbol = 'l';
    std::int32_t textColor = 0;
    std::int32_t bgTextColor = 0xFFFFFF;
    std::int32_t textAlign = 0;
    std::int32_t penColor = 0;
    std::int32_t penWidth = 20;
    std::int32_t penStyle = 1;
    std::int32_t brushColor = 0;
    std::int32_t brushStyle = 0;
    std::int32_t pointStyle = 0;
    std::int32_t arrowStart = 0;
    std::int32_t arrowEnd = 0;
    std::vector<QPointF> points;
    // The box: the points' box unless given.
    std::optional<Box> box;
};

// The 432-byte head (kind 0, text 4, font name 204, size 274, style 278,
// rotation 280, scale 284, background flag 289, symbol 290, text colour
// 295, background colour 299, alignment 303, pen colour 315, pen width 319,
// pen style 323, brush colour 327, brush style 331, point style 335, line
// ends 343 and 347, box 360 .. 391, counts 424 and 428), one part start
// and 24-byte points.
inline QByteArray textRecord(const TextSpec &t)
{
    const int n = static_cast<int>(t.points.size());
    QByteArray b(432 + 4 + 24 * n, '\0');
    putLE32(b, 0, t.kind);
    const QByteArray text = platform::toCp1251(t.text).left(199);
    b.replace(4, text.size(), text);
    const QByteArray font = platform::toCp1251(t.fontName).left(69);
    b.replace(204, font.size(), font);
    putLE32(b, 274, t.fontSize);
    putLE16(b, 278, t.fontStyle);
    putLE32(b, 280, t.rotate);
    putLE32(b, 284, t.textScale);
    b[289] = static_cast<char>(t.transparent);
    b[290] = t.symbol;
    putLE32(b, 295, t.textColor);
    putLE32(b, 299, t.bgTextColor);
    putLE32(b, 303, t.textAlign);
    putLE32(b, 315, t.penColor);
    putLE32(b, 319, t.penWidth);
    putLE32(b, 323, t.penStyle);
    putLE32(b, 327, t.brushColor);
    putLE32(b, 331, t.brushStyle);
    putLE32(b, 335, t.pointStyle);
    putLE32(b, 343, t.arrowStart);
    putLE32(b, 347, t.arrowEnd);
    Box box;
    if (t.box) {
        box = *t.box;
    } else if (n > 0) {
        box = {t.points[0].x(), t.points[0].y(), t.points[0].x(), t.points[0].y()};
        for (const QPointF &p : t.points) {
            box.xMin = std::min(box.xMin, p.x());
            box.yMin = std::min(box.yMin, p.y());
            box.xMax = std::max(box.xMax, p.x());
            box.yMax = std::max(box.yMax, p.y());
        }
    }
    putLEDouble(b, 360, box.xMin);
    putLEDouble(b, 368, box.yMin);
    putLEDouble(b, 376, box.xMax);
    putLEDouble(b, 384, box.yMax);
    putLE32(b, 424, 1);
    putLE32(b, 428, n);
    putLE32(b, 432, 0);
    for (int k = 0; k < n; ++k) {
        putLEDouble(b, 436 + 24 * k, t.points[static_cast<size_t>(k)].x());
        putLEDouble(b, 436 + 24 * k + 8, t.points[static_cast<size_t>(k)].y());
    }
    return b;
}

// A raster record: type at 0, box at 4 .. 35, image name at 36 (200 bytes),
// image flag at 236, width 237, height 241, control-point count 277, then
// 24-byte control points (x, y, column, row).
struct ControlPoint {
    double x, y;
    std::int32_t column, row;
};
inline QByteArray rasterRecord(Box box, const QString &name, std::int32_t width, std::int32_t height,
                               const std::vector<ControlPoint> &points = {}, std::int32_t type = 10, Byte flag = 0)
{
    QByteArray b(282 + 24 * static_cast<int>(points.size()), '\0');
    putLE32(b, 0, type);
    putLEDouble(b, 4, box.xMin);
    putLEDouble(b, 12, box.yMin);
    putLEDouble(b, 20, box.xMax);
    putLEDouble(b, 28, box.yMax);
    const QByteArray n = platform::toCp1251(name).left(199);
    b.replace(36, n.size(), n);
    b[236] = static_cast<char>(flag);
    putLE32(b, 237, width);
    putLE32(b, 241, height);
    putLE32(b, 277, static_cast<std::int32_t>(points.size()));
    for (size_t k = 0; k < points.size(); ++k) {
        const int at = 282 + 24 * static_cast<int>(k);
        putLEDouble(b, at, points[k].x);
        putLEDouble(b, at + 8, points[k].y);
        putLE32(b, at + 16, points[k].column);
        putLE32(b, at + 20, points[k].row);
    }
    return b;
}

// ---- attribute tables ----

struct DbfField {
    QString name;
    char type = 'C';
    int width = 10;
};

// A dBase III table: version 3 at 0, record count at 4, header length at 8,
// record length at 10, 32-byte field descriptors from 32 (name, type at 11,
// width at 16), 0x0D, the records (a flag byte, then the values: text to the
// left, numbers to the right), 0x1A.
inline QByteArray dbfTable(const std::vector<DbfField> &fields, const std::vector<QStringList> &rows)
{
    const int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 1;
    int recordLength = 1;
    for (const DbfField &f : fields)
        recordLength += f.width;
    QByteArray b(headerLength, '\0');
    b[0] = 3;
    b[1] = 124;
    b[2] = 1;
    b[3] = 1;
    putLE32(b, 4, static_cast<std::int32_t>(rows.size()));
    putLE16(b, 8, static_cast<std::int16_t>(headerLength));
    putLE16(b, 10, static_cast<std::int16_t>(recordLength));
    for (size_t i = 0; i < fields.size(); ++i) {
        const int at = 32 + 32 * static_cast<int>(i);
        const QByteArray name = fields[i].name.toLatin1().left(10);
        b.replace(at, name.size(), name);
        b[at + 11] = fields[i].type;
        b[at + 16] = static_cast<char>(fields[i].width);
    }
    b[headerLength - 1] = 0x0D;
    for (const QStringList &row : rows) {
        b += ' ';
        for (size_t i = 0; i < fields.size(); ++i) {
            QByteArray v = platform::toCp1251(i < static_cast<size_t>(row.size()) ? row[static_cast<qsizetype>(i)]
                                                                                     : QString());
            v = v.left(fields[i].width);
            b += fields[i].type == 'C' ? v.leftJustified(fields[i].width, ' ')
                                       : v.rightJustified(fields[i].width, ' ');
        }
    }
    b += char(0x1A);
    return b;
}

// ---- renderers ----

// The style renderers the hooks reach: each call is recorded, and drawn with
// the libraries of `services` (empty unless a test fills them).
class RecordingRenderers : public mapengine::StyleServices {
public:
    struct Call {
        QString kind;        // "fill", "line", "point"
        int style = 0;
        int colour = 0;
        int width = 0;
        std::vector<QPoint> points;
    };
    RecordingRenderers() = default;

    void DrawFillPattern(Canvas &canvas, const std::vector<QPoint> &points, int style, int colour,
                         int pictureWidth, int pictureHeight, double scaleX, double scaleY, double rotation,
                         double unitsPerPixelX, double unitsPerPixelY, bool outline) override
    {
        calls.push_back({QStringLiteral("fill"), style, colour, 0, points});
        services.DrawFillPattern(canvas, points, style, colour, pictureWidth, pictureHeight, scaleX, scaleY,
                                 rotation, unitsPerPixelX, unitsPerPixelY, outline);
    }
    void DrawLineStyle(Canvas &canvas, const std::vector<QPoint> &points, int style, int colour, int penWidth,
                       double scaleAlong, double scaleAcross, double ignored, double pictureWidth,
                       double pictureHeight, bool drawEvery) override
    {
        calls.push_back({QStringLiteral("line"), style, colour, penWidth, points});
        services.DrawLineStyle(canvas, points, style, colour, penWidth, scaleAlong, scaleAcross, ignored,
                               pictureWidth, pictureHeight, drawEvery);
    }
    void DrawPointStyle(Canvas &canvas, const std::vector<QPoint> &points, int style, int colour, int ignored1,
                        int ignored2, double scaleX, double scaleY, double rotation) override
    {
        calls.push_back({QStringLiteral("point"), style, colour, 0, points});
        services.DrawPointStyle(canvas, points, style, colour, ignored1, ignored2, scaleX, scaleY, rotation);
    }
    std::vector<Call> callsOf(const QString &kind) const
    {
        std::vector<Call> out;
        for (const Call &c : calls)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

    mapengine::StyleServices services;
    std::vector<Call> calls;
    // Installed while it lives.
    platform::ScopedService<mapengine::StyleServices> installed{*this};
};

// A library pattern of one stroke.
inline TVykStroke stroke(TVykStrokeKind kind, std::vector<TVykPoint> points, std::int32_t penColor = 0,
                         std::uint8_t brushStyle = 1, std::int32_t brushColor = 0)
{
    TVykStroke s;
    s.Kind = kind;
    s.PenStyle = 0;
    s.BrushStyle = brushStyle;
    s.BrushColor = brushColor;
    s.PenColor = penColor;
    s.PenWidth = 20;
    s.Points = std::move(points);
    mapengine::updateStrokeBounds(s);
    return s;
}
inline TVykSymbol pattern(TVykSymbolKind kind, std::int32_t width, std::int32_t height, std::vector<TVykStroke> strokes)
{
    TVykSymbol p;
    p.Kind = kind;
    p.Width = width;
    p.Height = height;
    p.Strokes = std::move(strokes);
    p.StrokeCount = static_cast<std::int32_t>(p.Strokes.size());
    return p;
}
// A library of `count` empty patterns with `p` at position `at`.
inline TVykSymbols library(int count, int at, const TVykSymbol &p)
{
    TVykSymbols l;
    l.Signature = QString::fromLatin1(mapengine::kNewLibrarySignature);
    l.Items.resize(static_cast<size_t>(count));
    l.Items[static_cast<size_t>(at)] = p;
    l.Count = count;
    return l;
}

// Raster services that record what they are asked to draw.
class RecordingRasters : public mapengine::RasterServices {
public:
    struct Call {
        bool metafile = false;
        QString fileName;
        double angle = 0;
        int width = 0, height = 0, mode = 0;
    };
    void DrawRasterImage(MapControlCore &, Canvas &, const QString &fileName, double, double, double, double, double angle,
                         int width, int height, int mode, int, int) override
    {
        calls.push_back({false, fileName, angle, width, height, mode});
    }
    void DrawMetafileRaster(MapControlCore &, Canvas &, const QString &fileName, double, double, double, double,
                            double angle, int width, int height) override
    {
        calls.push_back({true, fileName, angle, width, height, 0});
    }
    std::vector<Call> calls;

private:
    platform::ScopedService<mapengine::RasterServices> installed_{*this};
};

// The pixel of the control's picture at a device point.
inline QRgb pixelAt(MapControlCore &map, const QPoint &p)
{
    return map.PictureBitmap().image().pixel(p);
}

// The device pixel of a picture point of the view.
inline QPoint pixelOf(const QPoint &logical)
{
    return QPoint(logical.x() / 25, -logical.y() / 25);
}

// ---- the fixture ----

// What the map window adds to the drawing: here a picture of 16 × 16
// pixels for every image of its lists.
class ListImages : public mapengine::RenderHooks {
public:
    QIcon ListImage(int index) const override
    {
        if (index < 0)
            return {};
        QPixmap image(16, 16);
        image.fill(Qt::darkBlue);
        return QIcon(image);
    }
};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir_ = QDir::currentPath();
        work_ = dir_.file(QStringLiteral("work"));
        QDir().mkpath(work_);
        map().SetWorkDir(work_);
        // A program folder of the test's own, with the layer templates.
        map().SetProgramDir(testsupport::copyProgramFiles(dir_.file(QStringLiteral("tolvane")), {"Default"}));
        setView(1000, 5000, 1000);
    }
    void TearDown() override { QDir::setCurrent(previousDir_); }

    MapControlCore &map() { return map_; }
    TMapLayer &layer(int i) { return map().Project().Layers[static_cast<size_t>(i)]; }
    // Opens a layer file of the work folder as a new layer, as the map window
    // opens it.
    int openLayer(const QString &name)
    {
        EXPECT_TRUE(map().OpenLayer(QDir(work_).filePath(name), -1, true)) << name.toStdString();
        return static_cast<int>(map().Project().Layers.size()) - 1;
    }

    // The services the drawing takes: the style services installed, the
    // raster services a test made, the fixture's images.
    mapengine::RenderServices services()
    {
        return mapengine::RenderServices{&mapengine::styleServices(), &hooks_};
    }

    // The map window's redraw as the tests ask for it, done by the render
    // job: the layers in the order of a freshly read layer list (the first
    // opened on top), the picture on the control or in picture mode in
    // "map.wmf".
    class Redraw {
    public:
        explicit Redraw(RenderTest &test) : t_(test) {}
        void RedrawMap()
        {
            mapengine::RenderJob job(t_.map(), t_.services());
            job.Run(mapengine::drawingOrder(t_.map()));
            if (t_.map().View().PictureMode)
                job.SavePictureFile();
            else
                job.PaintPicture();
        }
        void DrawMapPicture(double width, double height, double denominator)
        {
            const auto view = mapengine::PictureView::MapPicture(t_.map(), width, height, denominator);
            RedrawMap();
        }

    private:
        RenderTest &t_;
    };
    Redraw w() { return Redraw(*this); }

    // The view: 400 × 300 pixels centred on (x, y) at 1:denominator.
    void setView(double x, double y, double denominator)
    {
        map().SetClientSize(400, 300);
        map().SetCentreX(x);
        map().SetCentreY(y);
        map().ResetPicture();
        map().SetScale(MapControlCore::DenominatorToScale(denominator));
    }

    // Writes a layer (".shp", ".shx", ".dbf") into the work folder and opens
    // it as a new layer on top of the list.
    int addLayer(const QString &base, std::int32_t shapeType, const std::vector<QByteArray> &records,
                 const QByteArray &table = QByteArray())
    {
        const ShapePair p = shapes(shapeType, {0, 0, 0, 0}, records);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".shp")), p.shp);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".shx")), p.shx);
        writeFile(QDir(work_).filePath(base + QStringLiteral(".dbf")),
                  table.isEmpty() ? idTable(static_cast<int>(records.size())) : table);
        return openLayer(base + QStringLiteral(".shp"));
    }

    // The window of the view as the redraw hands it on.
    void viewWindow(TMapPoint &minCorner, TMapPoint &maxCorner)
    {
        map().LogicalToMap(QPointF(0, -map().View().PictureHeight), minCorner);
        map().LogicalToMap(QPointF(map().View().PictureWidth, 0), maxCorner);
    }

    // Draws one layer onto fresh recording canvases in 0.01 mm.
    void drawLayer(int index)
    {
        picture = std::make_unique<RecordingCanvas>(testScreen());
        overlay = std::make_unique<RecordingCanvas>(testScreen());
        picture->setMapMode(platform::gdi::MM_HIMETRIC);
        overlay->setMapMode(platform::gdi::MM_HIMETRIC);
        picture->clear();
        overlay->clear();
        TMapPoint a, b;
        viewWindow(a, b);
        if (index >= 0 && static_cast<size_t>(index) < map().Project().Layers.size())
            mapengine::RenderJob(map(), services()).DrawVectorLayer(index, *picture, *overlay, a, b);
    }

    // The picture point of a map point.
    QPoint at(double x, double y) { return map().MapToLogical(x, y); }

    // The calls of one kind on a recorded canvas.
    static std::vector<platform::gdi::MetaRecord> drawn(const RecordingCanvas &c, int type)
    {
        return c.callsOf(type);
    }

    platform::ScopedService<platform::gdi::ScreenMetrics> screen_{testScreen()};
    testsupport::TempFolder dir_;
    QString work_;
    std::unique_ptr<RecordingCanvas> picture, overlay;

private:
    MapControlCore map_;
    ListImages hooks_;
    QString previousDir_;
};

} // namespace rendertest
