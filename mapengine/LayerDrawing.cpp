// The drawing of one vector layer into the two pictures of a redraw: the
// records are read straight from the layer's ".Shp" (or, for edited objects,
// from the edit journal "updates.mhp") through the record codecs, converted
// through the layer's projection and the view, and drawn with the layer's
// style, its thematic legend or the record's own style. Geometry goes to the
// picture canvas; labels, captions, texts, symbol characters and the frames
// of raster objects go to the overlay, which lies above every layer.

#include "mapengine/RenderJob.h"

#include "mapdata/KeptFile.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ShpRecords.h"
#include "mapengine/CanvasHelpers.h"
#include "mapengine/RenderSupport.h"
#include "mapengine/StyleRenderers.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/db/Table.h"

#include <QByteArrayView>

#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

using namespace platform::gdi;
using mapengine::render::canvasColor;
using mapengine::detail::nint;

namespace mapengine {

namespace {

// Where the current object's record content begins.
struct RecordPlace {
    mapdata::KeptFile *file = nullptr;
    qint64 pos = 0;
};

// Decodes the head of the record at a place with a codec of the record
// codecs; false when the file holds less than the head.
template <typename Head>
bool readHead(const RecordPlace &at, int size, bool (*decode)(const char *, qsizetype, Head &), Head &head)
{
    const QByteArrayView v = at.file->read(at.pos, size);
    return decode(v.data(), v.size(), head);
}

enum class LabelPlace { Centre, Point, Line };

class LayerDrawing {
public:
    LayerDrawing(RenderJob &job, int layer, Canvas &picture, Canvas &overlay, const TMapPoint &minCorner,
                 const TMapPoint &maxCorner)
        : job_(job), map_(job.Map()), table_(job.AttributeTable()), styles_(job.Styles()), layer_(layer),
          L_(map_.Project().Layers[static_cast<size_t>(layer)]),
          pic_(picture), ovl_(overlay), xmin_(minCorner.X), ymin_(minCorner.Y), xmax_(maxCorner.X),
          ymax_(maxCorner.Y), n_(render::redrawDenominator(map_.View().Scale)), upx_(map_.View().UnitsPerPixelX),
          upy_(map_.View().UnitsPerPixelY)
    {
    }

    // Finish: what was opened is closed, also after an error.
    ~LayerDrawing()
    {
        if (dbf_) {
            try {
                table_.close();
            } catch (const std::exception &) {
            }
        }
        if (projected_)
            map_.FreeLayerProjection();
    }
    LayerDrawing(const LayerDrawing &) = delete;
    LayerDrawing &operator=(const LayerDrawing &) = delete;

    void run();

private:
    bool meets(double x0, double y0, double x1, double y1) const
    {
        return x0 <= xmax_ && x1 >= xmin_ && y0 <= ymax_ && y1 >= ymin_;
    }
    QPoint toPicture(double x, double y) const { return map_.MapToLogical(x, y); }
    int pixelsX(const QPoint &p1, const QPoint &p2) const
    {
        return upx_ != 0 ? nint((p2.x() - p1.x()) / upx_) : 0;
    }
    int pixelsY(const QPoint &p1, const QPoint &p2) const
    {
        return upy_ != 0 ? nint((p2.y() - p1.y()) / upy_) : 0;
    }
    void project(double &x, double &y)
    {
        if (projected_)
            map_.ProjectLayerPoint(x, y);
    }
    // A record's box in map units (through the layer's projection), its
    // corners on the picture and its size in pixels.
    struct PlacedBox {
        double x0, y0, x1, y1;
        QPoint p1, p2;
        int sx, sy;
    };
    PlacedBox placeBox(double xMin, double yMin, double xMax, double yMax)
    {
        project(xMin, yMin);
        project(xMax, yMax);
        const QPoint p1 = toPicture(xMin, yMin), p2 = toPicture(xMax, yMax);
        return {xMin, yMin, xMax, yMax, p1, p2, pixelsX(p1, p2), pixelsY(p1, p2)};
    }
    int layerPenWidth() const { return nint(L_.PenWidth * 100); }
    // The picture's size in pixels, which bounds the tiles of fill patterns:
    // the control's, or a report picture's own (which may be larger).
    int picturePixelsX() const
    {
        return map_.View().PictureMode && upx_ > 0 ? nint(map_.View().PictureWidth / upx_) : map_.ClientWidth();
    }
    int picturePixelsY() const
    {
        return map_.View().PictureMode && upy_ > 0 ? nint(map_.View().PictureHeight / upy_) : map_.ClientHeight();
    }

    void setUp();
    void resetCanvases();
    void drawObject(size_t i);

    void drawPoly(size_t i, const RecordPlace &at);
    void drawPoint(size_t i, const RecordPlace &at);
    void drawText(size_t i, const RecordPlace &at);
    void drawRaster(size_t i, const RecordPlace &at);
    // The 12-unit mark of an object too small to draw.
    void markSmall(const QPoint &p1, const QPoint &p2);
    // Whether an object is to be drawn: large enough and in the window. One
    // in the window but too small is shown by its mark instead.
    bool drawable(TMapObject &obj, bool largeEnough, bool inWindow, const QPoint &p1, const QPoint &p2);
    // The middle of a box on the picture.
    static QPoint middle(const QPoint &p1, const QPoint &p2)
    {
        return QPoint(nint((p1.x() + static_cast<double>(p2.x())) / 2),
                      nint((p1.y() + static_cast<double>(p2.y())) / 2));
    }

    // The legend's value for the attribute row of object i; false when the
    // legend does not apply (no table, no field, no such row).
    bool legendValue(size_t i, std::int32_t &value);
    void setCanvasColours(Canvas &c, std::int32_t pen, std::int32_t brush);
    // The part starts and points of a record whose head of headSize bytes
    // says parts and points of pointSize bytes; false when they do not fit
    // in the file.
    bool readParts(const RecordPlace &at, int headSize, std::int32_t parts, std::int32_t points, int pointSize,
                   bool projectPoints, std::vector<std::int32_t> &starts, std::vector<TShpPoint> &out);
    // Each part's points as picture points when the part meets the window:
    // by a segment, or for a polygon covering it whole.
    template <typename Fn>
    void forEachShownPart(const std::vector<std::int32_t> &starts, const std::vector<TShpPoint> &points,
                          bool allEnter, Fn fn);

    QString fieldText(size_t i, const QString &fieldName, bool &found);
    void drawLabels(size_t i, LabelPlace place, const QPoint &at, const std::vector<QPoint> *line,
                    const std::vector<std::int32_t> *starts, const std::vector<TShpPoint> *points);
    void drawRasterLabels(size_t i, const QPoint &at, const QString &storedName);
    void layerBrushBack();

    RenderJob &job_;
    MapControlCore &map_;
    platform::db::Table &table_;
    StyleServices *styles_;
    int layer_;
    TMapLayer &L_;
    Canvas &pic_;
    Canvas &ovl_;
    double xmin_, ymin_, xmax_, ymax_;
    double n_;
    double upx_, upy_;

    // The layer's ".Shp" and the journal as the core keeps them open, read
    // through their windows so that the walk in file order reads the disk in
    // large pieces; no journal: null.
    mapdata::KeptFile *shp_ = nullptr;
    mapdata::KeptFile *jrn_ = nullptr;
    shp::FileHeader header_;
    bool ready_ = false;   // the layer's files are open and its header read
    bool projected_ = false;
    bool dbf_ = false;
    TMapFont layerFont_;
    // The current pen and brush colours as stored values (a legend's -1
    // pen colour kept).
    std::int32_t penColour_ = 0;
    std::int32_t brushColour_ = 0;
};

void LayerDrawing::run()
{
    setUp();
    if (!ready_)
        return;
    const size_t count = L_.Objects.size();
    const size_t block = map_.BlockSize() ? map_.BlockSize() : 100;
    for (size_t i = 0; i < count;) {
        // A block whose extent misses the window is passed over whole.
        const size_t b = i / block;
        if (b < L_.Blocks.size()) {
            const TBlockExtent &e = L_.Blocks[b];
            if (!meets(e.XMin, e.YMin, e.XMax, e.YMax)) {
                i = (b + 1) * block;
                continue;
            }
        }
        drawObject(i);
        ++i;
    }
}

void LayerDrawing::setUp()
{
    QString shpName, shxName, dbfName;
    map_.GetLayerFileNames(L_.FileName, QString(), shpName, shxName, dbfName);
    if ((L_.MapType != mtShapeLayer && L_.MapType != mtTextLayer) || !platform::fileExists(shpName)
        || !platform::fileExists(shxName) || !platform::fileExists(dbfName))
        return;

    // The attribute table; a table that cannot be opened leaves the layer
    // without attributes.
    platform::db::Table &table = table_;
    try {
        table.close();
        table.setDatabaseName(map_.WorkDir());
        table.setTableName(platform::findExistingPath(dbfName));
        table.open();
    } catch (const std::exception &) {
    }
    dbf_ = table.active();

    shp_ = map_.LayerRecordFile(layer_);
    if (!shp_)
        return;
    jrn_ = map_.JournalRecordFile();
    projected_ = map_.InitLayerProjection(layer_);

    const QByteArrayView head = shp_->head();
    if (!shp::decodeFileHeader(head.data(), head.size(), header_))
        return;
    ready_ = true;

    // The layer's pen, brush and pen mode on both canvases.
    for (Canvas *c : {&pic_, &ovl_}) {
        const int rop2 = rop2FromPenMode(L_.PenMode);
        if (c->rop2() != rop2)
            c->setRop2(rop2);
    }
    resetCanvases();

    layerFont_ = MapControlCore::MakeMapFont({L_.Font.FontName, L_.Font.Size, L_.Font.Rotate, L_.Font.Scale, L_.Font.Color,
                                       L_.Font.TextStyle, RUSSIAN_CHARSET, 0, L_.BrushType, L_.BrushColor});
    layerFont_.TextSymbol = L_.Font.TextSymbol;
}

void LayerDrawing::resetCanvases()
{
    const Pen pen{render::canvasPenStyle(L_.PenStyle), layerPenWidth(), canvasColor(L_.PenColor)};
    const Brush brush = render::canvasBrush(L_.BrushType, canvasColor(L_.BrushColor));
    for (Canvas *c : {&pic_, &ovl_}) {
        mapengine::detail::setPen(*c, pen);
        mapengine::detail::selectBrush(*c, brush);
    }
    penColour_ = L_.PenColor;
    brushColour_ = L_.BrushColor;
}

void LayerDrawing::setCanvasColours(Canvas &c, std::int32_t pen, std::int32_t brush)
{
    Pen p = c.pen();
    p.color = canvasColor(pen);
    mapengine::detail::setPen(c, p);
    Brush b = c.brush();
    b.color = canvasColor(brush);
    mapengine::detail::selectBrush(c, b);
}

void LayerDrawing::drawObject(size_t i)
{
    TMapObject &obj = L_.Objects[i];
    obj.Shown = false;
    resetCanvases();
    if (obj.ShpLength <= 4 || obj.Deleted)
        return;
    RecordPlace at{shp_, 2 * static_cast<qint64>(obj.ShpOffset) + shp::RecordHeaderSize};
    if (obj.JrnOffset > 0 && jrn_)
        at = RecordPlace{jrn_, 2 * static_cast<qint64>(obj.JrnOffset) + shp::RecordHeaderSize};
    switch (shp::recordKindOf(header_.ShapeType)) {
    case shp::RecordKind::Poly: drawPoly(i, at); break;
    case shp::RecordKind::Point: drawPoint(i, at); break;
    case shp::RecordKind::Text: drawText(i, at); break;
    case shp::RecordKind::Raster: drawRaster(i, at); break;
    case shp::RecordKind::None: break;
    }
}

bool LayerDrawing::legendValue(size_t i, std::int32_t &value)
{
    if (!dbf_)
        return false;
    platform::db::Field *field = table_.findField(L_.FieldNameLegend);
    if (!field || !table_.setRecNo(static_cast<int>(i) + 1))
        return false;
    value = map_.FindLegendEntry(layer_, field->asString(), field->dataType());
    return true;
}

bool LayerDrawing::readParts(const RecordPlace &at, int headSize, std::int32_t parts, std::int32_t points,
                             int pointSize, bool projectPoints, std::vector<std::int32_t> &starts,
                             std::vector<TShpPoint> &out)
{
    starts.clear();
    out.clear();
    const qint64 from = at.pos + headSize;
    if (!shp::countsFit(parts, points, pointSize, at.file->size() - from))
        return false;
    const qint64 bytes = 4 * static_cast<qint64>(parts) + static_cast<qint64>(pointSize) * points;
    const QByteArrayView v = at.file->read(from, bytes);
    if (v.size() < bytes)
        return false;
    const char *d = v.data();
    starts.resize(static_cast<size_t>(parts));
    for (std::int32_t j = 0; j < parts; ++j)
        starts[static_cast<size_t>(j)] = shp::getPartStart(d + 4 * j);
    out.resize(static_cast<size_t>(points));
    const char *p = d + 4 * static_cast<qint64>(parts);
    for (std::int32_t k = 0; k < points; ++k) {
        TShpPoint &q = out[static_cast<size_t>(k)];
        q = pointSize == shp::WidePointSize ? shp::getWidePoint(p + static_cast<qint64>(pointSize) * k)
                                            : shp::getPolyPoint(p + static_cast<qint64>(pointSize) * k);
        if (projectPoints)
            project(q.X, q.Y);
    }
    return true;
}

template <typename Fn>
void LayerDrawing::forEachShownPart(const std::vector<std::int32_t> &starts, const std::vector<TShpPoint> &points,
                                    bool allEnter, Fn fn)
{
    const auto total = static_cast<std::int32_t>(points.size());
    std::vector<QPoint> pts;
    for (size_t j = 0; j < starts.size(); ++j) {
        // Starts outside the points, or running backwards, give no points.
        const std::int32_t begin = std::clamp(starts[j], 0, total);
        const std::int32_t end = j + 1 < starts.size() ? std::clamp(starts[j + 1], begin, total) : total;
        if (end <= begin)
            continue;
        pts.clear();
        pts.reserve(static_cast<size_t>(end - begin));
        double ex0 = 0, ey0 = 0, ex1 = 0, ey1 = 0;
        bool enters = allEnter;
        for (std::int32_t k = begin; k < end; ++k) {
            const TShpPoint &p = points[static_cast<size_t>(k)];
            pts.push_back(toPicture(p.X, p.Y));
            growBox(ex0, ey0, ex1, ey1, p.X, p.Y);
            if (!enters && k + 1 < end) {
                const TShpPoint &q = points[static_cast<size_t>(k + 1)];
                enters = MapFunctions::SegmentEntersRect(xmin_, ymin_, xmax_, ymax_, p.X, p.Y, q.X, q.Y);
            }
        }
        if (!meets(ex0, ey0, ex1, ey1))
            continue;
        if (!enters && !(ex0 < xmin_ && ex1 > xmax_ && ey0 < ymin_ && ey1 > ymax_))
            continue;
        fn(pts);
    }
}

// ---- points, lines and polygons -------------------------------------------------

void LayerDrawing::markSmall(const QPoint &p1, const QPoint &p2)
{
    const QPoint c = middle(p1, p2);
    pic_.rectangle(Rect{c.x() - 6, c.y() - 6, c.x() + 6, c.y() + 6});
}

bool LayerDrawing::drawable(TMapObject &obj, bool largeEnough, bool inWindow, const QPoint &p1, const QPoint &p2)
{
    if (largeEnough && inWindow)
        return true;
    if (inWindow) {
        obj.Shown = true;
        markSmall(p1, p2);
    }
    return false;
}

void LayerDrawing::drawPoly(size_t i, const RecordPlace &at)
{
    TMapObject &obj = L_.Objects[i];
    shp::PolyRecordHead h;
    if (!readHead(at, shp::PolyHeadSize, shp::decodePolyHead, h))
        return;
    if (h.ShapeType != header_.ShapeType || h.NumParts <= 0 || h.NumPoints <= 0)
        return;
    const auto [x0, y0, x1, y1, p1, p2, sx, sy] = placeBox(h.XMin, h.YMin, h.XMax, h.YMax);
    if (sx <= 2 && sy <= 2 && L_.ObjType != otNavigation) {
        // Too small to show its shape: a 0.2 mm square in its middle.
        if (!meets(x0, y0, x1, y1))
            return;
        obj.Shown = true;
        const QPoint c = middle(p1, p2);
        map_.FillPolygon(pic_,
                         {QPoint(c.x() - 10, c.y() - 10), QPoint(c.x() - 10, c.y() + 10),
                          QPoint(c.x() + 10, c.y() + 10), QPoint(c.x() + 10, c.y() - 10),
                          QPoint(c.x() - 10, c.y() - 10)},
                         L_.PenStyle, layerPenWidth());
        return;
    }
    if (!meets(x0, y0, x1, y1))
        return;

    // The thematic legend through the object's attribute row.
    std::int32_t v = -1;
    if (L_.TypeLegend > 0 && legendValue(i, v)) {
        // Unique values carry colours as the palette does (image numbers
        // only for bitmap points, which are not drawn here).
        if (L_.TypeLegend == 1 || L_.TypeLegend == 3) {
            if (L_.ObjType != otPolygons)
                penColour_ = v;
            if (L_.ObjType != otNavigation)
                brushColour_ = v;
            if (brushColour_ == -1)
                brushColour_ = 0xFFFFFF;
            setCanvasColours(pic_, penColour_, brushColour_);
        } else if (L_.TypeLegend == 2 && v >= 0) {
            // Widths are given in pixels; an unmatched value keeps the
            // layer's width rather than a negative pen.
            Pen p = pic_.pen();
            p.width = nint(v * upx_);
            mapengine::detail::setPen(pic_, p);
        }
        setCanvasColours(ovl_, penColour_, brushColour_);
    }

    std::vector<std::int32_t> starts;
    std::vector<TShpPoint> points;
    if (!readParts(at, shp::PolyHeadSize, h.NumParts, h.NumPoints, shp::PolyPointSize, true, starts, points))
        return;
    const bool polygon = header_.ShapeType == shp::stPolygon || header_.ShapeType == shp::stPolygonZ
                         || header_.ShapeType == shp::stPolygonM;
    const QPoint centre = middle(p1, p2);
    const int pictureWidth = picturePixelsX(), pictureHeight = picturePixelsY();

    forEachShownPart(starts, points, L_.ObjType == otNavigation, [&](const std::vector<QPoint> &pts) {
        const int last = static_cast<int>(pts.size());
        if (L_.ObjType == otNavigation) {
            if (layerFont_.TextSymbol == QChar(0))
                map_.DrawVertexBoxes(pic_, {pts.back()});
            else
                map_.DrawFontText(pic_, pts.back().x(), pts.back().y(), nint(n_), layerFont_,
                                  QString(layerFont_.TextSymbol));
            obj.Shown = true;
            drawLabels(i, LabelPlace::Centre, centre, nullptr, nullptr, nullptr);
        } else if (polygon) {
            if (L_.ViewShadow)
                map_.DrawShadow(pic_, pts);
            obj.Shown = true;
            if (L_.BrushType > 0)
                DrawStyledPolygon(styles_, pic_, pts.data(), last - 1, L_.BrushType, brushColour_, pictureWidth,
                                  pictureHeight, 1.0, 1.0, 0, upx_, upy_, false);
            DrawStyledLine(styles_, pic_, pts.data(), last, L_.PenStyle, penColour_, pic_.pen().width, 1.0, 1.0, 0.0,
                           map_.View().PictureWidth, map_.View().PictureHeight, false);
            if (L_.ViewPoints)
                DrawStyledPoint(styles_, pic_, pts.data(), last, L_.PointStyle, 0, 0, 0, 1.0, 1.0, 0);
            drawLabels(i, LabelPlace::Centre, centre, nullptr, &starts, &points);
        } else {
            obj.Shown = true;
            if (L_.ObjType == otBezier)
                map_.DrawBezierLine(pic_, pts, L_.PenStyle, layerPenWidth());
            else if (L_.PenStyle <= 1)
                map_.DrawClippedPolyline(pic_, pts, L_.PenStyle, layerPenWidth());
            else
                DrawStyledLine(styles_, pic_, pts.data(), last, L_.PenStyle, penColour_, pic_.pen().width, 1.0, 1.0, 0.0,
                               map_.View().PictureWidth, map_.View().PictureHeight, false);
            if (L_.ViewPoints)
                DrawStyledPoint(styles_, pic_, pts.data(), last, L_.PointStyle, 0, 0, 0, 1.0, 1.0, 0);
            drawLabels(i, LabelPlace::Line, pts.front(), &pts, nullptr, nullptr);
        }
    });
}

void LayerDrawing::drawPoint(size_t i, const RecordPlace &at)
{
    TMapObject &obj = L_.Objects[i];
    shp::PointRecord r;
    if (!readHead(at, shp::PointContentSize, shp::decodePoint, r))
        return;
    double x = r.X, y = r.Y;
    project(x, y);
    const QPoint p = toPicture(x, y);
    if (!(xmin_ < x && x < xmax_ && ymin_ < y && y < ymax_))
        return;

    std::int32_t v = -1;
    if (L_.TypeLegend > 0 && !L_.Legend.empty() && legendValue(i, v)) {
        // Unique values (7) are image numbers for bitmap points and colours
        // for every other point.
        const Byte meaning = L_.Legend.front().ObjType == 7 && L_.ObjType != otBitmaps ? 2 : L_.Legend.front().ObjType;
        switch (meaning) {
        case 2: // colours
            penColour_ = v;
            brushColour_ = v == -1 ? 0xFFFFFF : v;
            setCanvasColours(pic_, penColour_, brushColour_);
            setCanvasColours(ovl_, penColour_, brushColour_);
            layerFont_.Color = penColour_;
            break;
        case 1: // sizes
            layerFont_.Size = v;
            break;
        default:
            break;
        }
    }

    obj.Shown = true;
    // The display switch governs the symbols and the pictures. A point layer
    // of another program names its point style and may leave the switch out,
    // and a symbol layer may name no character (or a blank): such points are
    // drawn in the layer's point style (none for style 0), never dropped.
    const QChar character = layerFont_.TextSymbol;
    const bool symbol = L_.ObjType == otSymbols && !character.isNull() && !character.isSpace();
    if (L_.ViewPoints && symbol) {
        layerFont_.BrushStyle = 1;
        map_.DrawFontText(pic_, p.x(), p.y(), nint(n_), layerFont_, QString(character));
    } else if (L_.ViewPoints && L_.ObjType == otBitmaps) {
        if (dbf_) {
            const QPoint d = pic_.lpToDp(p);
            pic_.setMapMode(MM_TEXT);
            // An image number of no picture (an unmatched legend value)
            // draws nothing.
            const int image = L_.TypeLegend == 0 ? L_.PntBitmap : v;
            render::drawListImage(pic_, job_.Hooks().ListImage(image), d.x() - render::kListImageSize / 2,
                                  d.y() - render::kListImageSize / 2);
            pic_.setMapMode(MM_HIMETRIC);
        }
    } else if (L_.ViewPoints || (L_.ObjType != otSymbols && L_.ObjType != otBitmaps)) {
        DrawStyledPoint(styles_, pic_, &p, 1, L_.PointStyle, 0, 0, 0, 1.0, 1.0, 0);
    }
    drawLabels(i, LabelPlace::Point, p, nullptr, nullptr, nullptr);
}

// ---- labels -----------------------------------------------------------------------

QString LayerDrawing::fieldText(size_t i, const QString &fieldName, bool &found)
{
    found = false;
    if (!dbf_)
        return {};
    platform::db::Field *field = table_.findField(fieldName);
    if (!field || !table_.setRecNo(static_cast<int>(i) + 1))
        return {};
    found = true;
    return field->asString();
}

void LayerDrawing::layerBrushBack()
{
    mapengine::detail::selectBrush(pic_, render::canvasBrush(L_.BrushType, canvasColor(L_.BrushColor)));
}

void LayerDrawing::drawLabels(size_t i, LabelPlace place, const QPoint &at, const std::vector<QPoint> *line,
                              const std::vector<std::int32_t> *starts, const std::vector<TShpPoint> *points)
{
    bool measured = false;
    TMeasureResult measure;
    for (const TMapLabel &label : L_.Labels) {
        TMapFont font = label.Font;
        const int size = render::effectiveTextSize(font.Size, font.Scale, n_);
        if (!label.Visible || size <= 1)
            continue;
        QPoint p = at;
        switch (place) {
        case LabelPlace::Centre:
            font.Center = 1;
            font.Rotate = 0;
            break;
        case LabelPlace::Point:
            mapengine::detail::selectBrush(ovl_, Brush{BS_NULL, ovl_.brush().color, HS_HORIZONTAL});
            font.Center = 0;
            font.Rotate = 0;
            break;
        case LabelPlace::Line: {
            if (!line || line->size() <= 1)
                continue;
            mapengine::detail::selectBrush(ovl_, Brush{BS_NULL, ovl_.brush().color, HS_HORIZONTAL});
            const std::vector<QPoint> &l = *line;
            const QPoint a0 = l[0], a1 = l[1], b0 = l[l.size() - 2], b1 = l[l.size() - 1];
            const double d1 = std::hypot(a1.x() - a0.x(), a1.y() - a0.y());
            const double d2 = std::hypot(b1.x() - b0.x(), b1.y() - b0.y());
            const QPoint s = d1 > d2 ? a0 : b0, e = d1 > d2 ? a1 : b1;
            font.Rotate = MapFunctions::DirectionAngleRad(s.y(), s.x(), e.y(), e.x()) * 57.29577951308232 - 90;
            font.Center = 2;
            p = s;
            break;
        }
        }

        // Measurement captions of polygons.
        if (starts && points) {
            const bool hectares = label.FieldName == u"Площадь, га";
            const bool squareMetres = label.FieldName == u"Площадь, кв.м";
            const bool perimeter = label.FieldName == u"Периметр";
            if (hectares || squareMetres || perimeter) {
                if (!measured) {
                    measure = map_.GetRecordExtent(*starts, *points);
                    measured = true;
                }
                const double value = hectares ? measure.Area / 10000 : squareMetres ? measure.Area : measure.Length;
                map_.DrawRotatedText(ovl_, p.x(), p.y(), 0, font, platform::formatNumber(label.FormatShow, value));
            }
        }
        bool found = false;
        const QString text = fieldText(i, label.FieldName, found);
        if (found)
            map_.DrawRotatedText(ovl_, p.x(), p.y(), 0, font, text);
        // The layer's brush is back on the picture canvas; the object's own
        // colour (a legend's) stays for its further parts.
        layerBrushBack();
    }
}

// ---- text and symbol records ---------------------------------------------------

void LayerDrawing::drawText(size_t i, const RecordPlace &at)
{
    TMapObject &obj = L_.Objects[i];
    TTextRecord t;
    if (!readHead(at, shp::TextHeadSize, shp::decodeTextHead, t))
        return;
    if (!((t.Kind >= 0 && t.Kind <= 7) || t.Kind == okCurve))
        return;
    // Text records are stored in map coordinates: no layer projection.
    const QPoint p1 = toPicture(t.XMin, t.YMin), p2 = toPicture(t.XMax, t.YMax);
    int sx = pixelsX(p1, p2), sy = pixelsY(p1, p2);

    TMapFont font = MapControlCore::MakeMapFont({t.FontName.trimmed(), t.FontSize, t.Rotate, t.TextScale, t.TextColor,
                                          render::textStyleOfFontStyle(t.FontStyle), RUSSIAN_CHARSET, 0,
                                          t.Transparent, t.BgTextColor});
    font.TextSymbol = t.Symbol;
    font.Center = static_cast<Byte>(t.TextAlign & 0xFF);
    font.BrushColor = t.BgTextColor;
    font.BrushStyle = t.Transparent == 0 ? 1 : 0;
    const int e = render::effectiveTextSize(t.FontSize, t.TextScale, n_);

    // Texts and symbols are measured by their font, not by their box.
    if (t.Kind == okText && (t.TextScale == 0 || e > 1))
        sx = sy = 20;
    if ((t.Kind == okPoint || t.Kind == okSymbol)
        && (t.TextScale == 0 || (t.XMin == t.XMax && t.YMin == t.YMax)))
        sx = sy = 20;
    if (!drawable(obj, sx > 2 || sy > 2, meets(t.XMin, t.YMin, t.XMax, t.YMax), p1, p2))
        return;

    std::vector<std::int32_t> starts;
    std::vector<TShpPoint> points;
    if (!readParts(at, shp::TextHeadSize, t.NumParts, t.NumPoints, shp::WidePointSize, false, starts, points)) {
        starts.clear();
        points.clear();
    }

    // The record's own style.
    const Pen pen{render::canvasPenStyle(t.PenStyle), t.PenWidth, canvasColor(t.PenColor)};
    mapengine::detail::setPen(pic_, pen);
    mapengine::detail::selectBrush(pic_, render::canvasBrush(t.BrushStyle, canvasColor(t.BrushColor)));
    mapengine::detail::setPen(ovl_, pen);
    mapengine::detail::selectBrush(ovl_, Brush{t.Transparent != 0 ? BS_SOLID : BS_NULL, canvasColor(t.BgTextColor),
                                               HS_HORIZONTAL});
    obj.Shown = true;

    const int pictureWidth = picturePixelsX(), pictureHeight = picturePixelsY();
    switch (t.Kind) {
    case okText:
        if (!points.empty()) {
            const QPoint p = toPicture(points[0].X, points[0].Y);
            map_.DrawRotatedText(ovl_, p.x(), p.y(), 0, font, t.Text.trimmed());
        }
        break;
    case okSymbol:
        if (e > 1 && !points.empty()) {
            const QPoint p = toPicture(points[0].X, points[0].Y);
            map_.DrawFontText(ovl_, p.x(), p.y(), nint(n_), font, QString(t.Symbol));
        }
        break;
    case okPoint:
        if (t.PointStyle >= 1)
            for (const TShpPoint &q : points) {
                const QPoint p = toPicture(q.X, q.Y);
                DrawStyledPoint(styles_, pic_, &p, 1, t.PointStyle, t.PenColor, 0, 0, 1.0, 1.0, 0);
            }
        break;
    case okOval:
        if (points.size() > 1) {
            mapengine::detail::setPenStyle(pic_, render::ovalPenStyle(t.PenStyle));
            mapengine::detail::selectBrush(pic_, render::ovalBrush(t.BrushStyle, canvasColor(t.BrushColor)));
            const QPoint a = toPicture(points.front().X, points.front().Y);
            const QPoint b = toPicture(points.back().X, points.back().Y);
            pic_.ellipse(Rect{a.x(), a.y(), b.x(), b.y()});
        }
        break;
    case okLine:
    case okPolygon:
    case okCurve:
        forEachShownPart(starts, points, false, [&](const std::vector<QPoint> &pts) {
            const int last = static_cast<int>(pts.size());
            if (t.Kind == okPolygon) {
                if (t.BrushStyle > 0) {
                    DrawStyledPolygon(styles_, pic_, pts.data(), last - 1, t.BrushStyle, t.BrushColor, pictureWidth,
                                      pictureHeight, 1.0, 1.0, 0, upx_, upy_, false);
                    mapengine::detail::selectBrush(pic_, Brush{BS_NULL, pic_.brush().color, HS_HORIZONTAL});
                }
                if (t.PenStyle > 0)
                    DrawStyledLine(styles_, pic_, pts.data(), last, t.PenStyle, t.PenColor, t.PenWidth, 1.0, 1.0, 0.0,
                                   map_.View().PictureWidth, map_.View().PictureHeight, false);
            } else if (t.Kind == okLine) {
                DrawStyledLine(styles_, pic_, pts.data(), last, t.PenStyle, t.PenColor, t.PenWidth, 1.0, 1.0, 0.0,
                               map_.View().PictureWidth, map_.View().PictureHeight, false);
                if (t.ArrowStart > 0 || t.ArrowEnd > 0)
                    map_.DrawLineEnds(pic_, pts, 30, t.PenWidth, t.ArrowStart, t.ArrowEnd);
            } else {
                map_.DrawBezierLine(pic_, pts, t.PenStyle, t.PenWidth);
            }
            if (t.PointStyle > 0)
                DrawStyledPoint(styles_, pic_, pts.data(), last, t.PointStyle, t.PenColor, 0, 0, 1.0, 1.0, 0);
        });
        break;
    default: // kinds 0 and 6 draw nothing
        break;
    }
}

// ---- raster records ----------------------------------------------------------------

void LayerDrawing::drawRaster(size_t i, const RecordPlace &at)
{
    TMapObject &obj = L_.Objects[i];
    shp::RasterRecordHead h;
    if (!readHead(at, shp::RasterHeadSize, shp::decodeRasterHead, h))
        return;
    if ((h.ShapeType != 10 && h.ShapeType != 15) || h.ImageFlag != 0)
        return;
    const auto [x0, y0, x1, y1, p1, p2, sx, sy] = placeBox(h.XMin, h.YMin, h.XMax, h.YMax);
    if (!drawable(obj, (sx > 2 || sy > 2) && sx != 0 && sy != 0, meets(x0, y0, x1, y1), p1, p2))
        return;

    std::vector<std::int32_t> noStarts;
    std::vector<TShpPoint> controlPoints;
    if (!readParts(at, shp::RasterHeadSize, 0, h.NumPoints, shp::WidePointSize, false, noStarts, controlPoints))
        controlPoints.clear();
    const double angle = render::rasterRotationAngle(controlPoints);

    // A stored name whose file is missing is looked for in the work folder.
    const QString stored = h.ImageName.trimmed();
    QString name = stored;
    if (!platform::fileExists(name))
        name = platform::joinPath(map_.WorkDir(), platform::extractFileName(stored));
    const QString lower = name.toLower();
    // A sheet that cannot be read costs the map that sheet only: the rest
    // is drawn, and the user hears of it once the picture is made.
    try {
        if (lower.contains(QLatin1String(".wmf")) || lower.contains(QLatin1String(".emf")))
            job_.Rasters().DrawMetafileRaster(map_, pic_, name, x0, y0, x1, y1, angle, h.ImageWidth,
                                              h.ImageHeight);
        else
            job_.Rasters().DrawRasterImage(map_, pic_, name, x0, y0, x1, y1, angle, h.ImageWidth, h.ImageHeight,
                                           L_.PenMode, L_.Gamma, L_.Contrast);
        map_.RasterFaults().drawn(name);
    } catch (const std::exception &e) {
        map_.RasterFaults().failed(name, QString::fromUtf8(e.what()));
    }
    obj.Shown = true;
    if (L_.ViewShadow)
        ovl_.rectangle(Rect{p1.x(), p1.y(), p2.x(), p2.y()});
    drawRasterLabels(i, middle(p1, p2), stored);
}

void LayerDrawing::drawRasterLabels(size_t i, const QPoint &at, const QString &storedName)
{
    for (const TMapLabel &label : L_.Labels) {
        TMapFont font = label.Font;
        if (!label.Visible || render::effectiveTextSize(font.Size, font.Scale, n_) <= 1)
            continue;
        font.Center = 1;
        font.Rotate = 0;
        bool found = false;
        QString text = fieldText(i, label.FieldName, found);
        if (!found && platform::ansiLowerCase(label.FieldName) == u"имя файла") {
            text = storedName;
            found = true;
        }
        if (found)
            map_.DrawRotatedText(ovl_, at.x(), at.y(), 0, font, text);
        layerBrushBack();
    }
}

} // namespace

void RenderJob::DrawVectorLayer(int layer, Canvas &picture, Canvas &overlay, const TMapPoint &minCorner,
                                const TMapPoint &maxCorner)
{
    if (layer < 0 || static_cast<size_t>(layer) >= map_.Project().Layers.size())
        return;
    LayerDrawing drawing(*this, layer, picture, overlay, minCorner, maxCorner);
    drawing.run();
}

} // namespace mapengine
