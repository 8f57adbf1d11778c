// The render job's loop: the two pictures of a redraw, the layers from the
// bottom up, the pick markers, the grids, the overlay laid over the map
// picture, and the views of report pictures.

#include "mapengine/RenderJob.h"

#include "mapengine/CanvasHelpers.h"
#include "mapengine/RenderSupport.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/UserAnswers.h"
#include "platform/db/Table.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <stdexcept>

using namespace platform::gdi;
using mapengine::detail::nint;

namespace mapengine {

namespace {

const Color kBlack = rgb(0, 0, 0);
const Color kWhite = rgb(255, 255, 255);

// The ticks of the labelled grid and its outer frame reach 12.8 mm beyond
// the window.
constexpr int kTick = 1280;

// The defaults both canvases of a redraw start with.
void setRedrawDefaults(Canvas &c)
{
    c.setMapMode(MM_HIMETRIC);
    detail::setPen(c, Pen{PS_SOLID, 15, kBlack});
    LogFont font = c.font();
    font.faceName = QStringLiteral("Arial Cyr");
    font.charSet = RUSSIAN_CHARSET;
    font.height = detail::fontHeightForPoints(c, 8);
    detail::setFont(c, font);
    detail::selectBrush(c, Brush{BS_SOLID, kWhite, HS_HORIZONTAL});
}

// The grid's pen, brush and font: black, 0.2 mm, no fill, "Arial Cyr" of
// `points` points.
void setGridStyle(Canvas &c, int points)
{
    detail::setPen(c, Pen{PS_SOLID, 20, kBlack});
    detail::selectBrush(c, Brush{BS_NULL, kWhite, HS_HORIZONTAL});
    LogFont font = c.font();
    font.faceName = QStringLiteral("Arial Cyr");
    font.charSet = RUSSIAN_CHARSET;
    font.height = detail::fontHeightForPoints(c, points);
    font.escapement = font.orientation = 0;
    detail::setFont(c, font);
    detail::setTextColor(c, kBlack);
}

void line(Canvas &c, int x1, int y1, int x2, int y2)
{
    c.moveTo(x1, y1);
    c.lineTo(x2, y2);
}

// A cross of 2.5 mm arms on a picture point.
void cross(Canvas &c, const QPoint &p)
{
    line(c, p.x() + 250, p.y(), p.x() - 250, p.y());
    line(c, p.x(), p.y() + 250, p.x(), p.y() - 250);
}

// A text in device pixels at a picture point moved by (dx, dy) pixels.
void textAtDevice(Canvas &c, const QPoint &logical, int dx, int dy, unsigned align, const QString &text)
{
    const QPoint d = c.lpToDp(logical);
    detail::setMapMode(c, MM_TEXT);
    detail::setTextAlign(c, align);
    c.textOut(d.x() + dx, d.y() + dy, text);
    detail::setMapMode(c, MM_HIMETRIC);
}

// How far a grid label is raised: 1.5 times its size in points, taken as pixels.
int labelRise(int points)
{
    return nint(1.5 * points);
}

RenderHooks noHooks;

} // namespace

// ---- services ---------------------------------------------------------------------

void RasterServices::DrawRasterImage(MapControlCore &map, Canvas &canvas, const QString &fileName, double xMin,
                                     double yMin, double xMax, double yMax, double angle, int width, int height,
                                     int rasterMode, int gamma, int contrast)
{
    map.DrawRasterImage(canvas, fileName, xMin, yMin, xMax, yMax, angle, width, height, rasterMode, gamma,
                        contrast);
}

void RasterServices::DrawMetafileRaster(MapControlCore &map, Canvas &canvas, const QString &fileName, double xMin,
                                        double yMin, double xMax, double yMax, double angle, int width, int height)
{
    map.DrawMetafileRaster(canvas, fileName, xMin, yMin, xMax, yMax, angle, width, height);
}

void RenderHooks::DrawCadastralLayer(const QRect &, const QRect &, Canvas &, bool) {}

void RenderHooks::DrawExchangeLayer(const QRect &, const QRect &, Canvas &) {}

void RenderHooks::DrawVectorLayer(RenderJob &job, int layer, Canvas &picture, Canvas &overlay,
                                  const TMapPoint &minCorner, const TMapPoint &maxCorner)
{
    job.DrawVectorLayer(layer, picture, overlay, minCorner, maxCorner);
}

void RenderHooks::Progress(double, double) {}

QIcon RenderHooks::ListImage(int) const
{
    return {};
}

// ---- the job ----------------------------------------------------------------------

RenderJob::RenderJob(MapControlCore &map, const RenderServices &services) : map_(map), services_(services) {}

RenderJob::~RenderJob() = default;

RasterServices &RenderJob::Rasters() const
{
    return platform::Service<RasterServices>::get();
}

RenderHooks &RenderJob::Hooks() const
{
    return services_.hooks ? *services_.hooks : noHooks;
}

platform::db::Table &RenderJob::AttributeTable()
{
    if (!table_)
        table_ = std::make_unique<platform::db::Table>();
    return *table_;
}

QSize RenderJob::PictureSize() const
{
    if (!map_.View().PictureMode)
        return QSize(map_.ClientWidth(), map_.ClientHeight());
    auto pixels = [](double units, double perPixel) { return perPixel > 0 ? nint(units / perPixel) : 0; };
    const TViewState view = map_.View();
    return QSize(pixels(view.PictureWidth, view.UnitsPerPixelX), pixels(view.PictureHeight, view.UnitsPerPixelY));
}

void RenderJob::Run(const std::vector<int> &layerOrder, const RenderOptions &options)
{
    MapControlCore &map = map_;
    RenderHooks &hooks = Hooks();
    // 1. Layer files, the journal and the grid files of projections are
    // found from the work folder.
    if (platform::directoryExists(map.WorkDir()))
        QDir::setCurrent(platform::resolvePath(map.WorkDir()));

    // 2.-4. The two pictures, each sized in screen pixels.
    const DeviceMetrics screen = screenMetrics();
    if (map.MapPicture().reference() == screen)
        map.MapPicture().clear();
    else
        map.MapPicture() = Metafile(screen);
    const QSize size = PictureSize();
    map.MapPicture().setSizeInPixels(size.width(), size.height());
    Metafile overlay(screen);
    overlay.setSizeInPixels(size.width(), size.height());
    const double n = render::redrawDenominator(map.View().Scale);

    MetafileCanvas picture(map.MapPicture());
    MetafileCanvas over(overlay);
    setRedrawDefaults(picture);
    setRedrawDefaults(over);

    // 5. The white background.
    detail::setPen(picture, Pen{PS_SOLID, 15, kWhite});
    picture.rectangle(Rect{0, 0, map.MapPicture().mmWidth(), -map.MapPicture().mmHeight()});
    // 6.
    if (map.View().PictureMode) {
        const QRegion clip(0, 0, size.width(), size.height());
        picture.selectClipRegion(clip);
        over.selectClipRegion(clip);
    }
    // 7.
    setRedrawDefaults(picture);

    // 8. The window the layers are drawn in.
    TMapPoint minCorner, maxCorner;
    if (map.View().PictureMode) {
        minCorner = TMapPoint{map.View().PictureExtent.X1, map.View().PictureExtent.Y1, 0};
        maxCorner = TMapPoint{map.View().PictureExtent.X2, map.View().PictureExtent.Y2, 0};
    } else {
        map.LogicalToMap(QPointF(0, -map.View().PictureHeight), minCorner);
        map.LogicalToMap(QPointF(map.View().PictureWidth, 0), maxCorner);
    }

    auto finish = [&] {
        // 12. The overlay over the map picture, in pixels.
        over.finish();
        picture.setMapMode(MM_TEXT);
        picture.drawMetafile(overlay, Rect{0, 0, size.width(), size.height()});
        picture.finish();
    };
    try {
        // 9. From the bottom up: the last layer of the order lies on top.
        const size_t count = layerOrder.size();
        for (size_t k = 0; k < count; ++k) {
            hooks.Progress(0, static_cast<double>(k + 1) / static_cast<double>(count));
            const int index = layerOrder[k];
            if (index < 0 || static_cast<size_t>(index) >= map.Project().Layers.size())
                continue;
            const TMapLayer &layer = map.Project().Layers[static_cast<size_t>(index)];
            if (!layer.Visible || !render::layerShownAtScale(layer, n))
                continue;
            const QRect pictureRect(0, 0, nint(map.View().PictureWidth), nint(map.View().PictureHeight));
            const QRect deviceRect(0, 0, size.width(), size.height());
            switch (render::layerDrawer(layer.MapType)) {
            case render::LayerDrawer::Exchange:
                hooks.DrawExchangeLayer(pictureRect, deviceRect, picture);
                break;
            case render::LayerDrawer::Cadastral:
                hooks.DrawCadastralLayer(pictureRect, deviceRect, picture, map.Settings().Caching);
                break;
            case render::LayerDrawer::Vector:
                hooks.DrawVectorLayer(*this, index, picture, over, minCorner, maxCorner);
                break;
            case render::LayerDrawer::None:
                break;
            }
        }

        // 10. Markers of the selected objects.
        if (options.pickMarkers) {
            for (const TSelObject &e : map.Selection().Entries) {
                const QPoint p = map.MapToLogical(e.XMin + (e.XMax - e.XMin) / 2, e.YMin + (e.YMax - e.YMin) / 2);
                detail::setPenStyle(picture, PS_SOLID);
                detail::selectBrush(picture, Brush{BS_NULL, picture.brush().color, HS_HORIZONTAL});
                const QPoint d = picture.lpToDp(p);
                picture.setMapMode(MM_TEXT);
                render::drawListImage(picture, hooks.ListImage(20), d.x() - render::kListImageSize / 2,
                                      d.y() - render::kListImageSize / 2);
                picture.setMapMode(MM_HIMETRIC);
            }
        }

        // 11. The grids, cut 200 pixels beyond the picture.
        if (map.View().GridLabels || options.grid) {
            const QRegion clip(-200, -200, size.width() + 400, size.height() + 400);
            picture.selectClipRegion(clip);
            if (map.View().GridLabels)
                DrawLabelledGrid(picture, over, minCorner, maxCorner);
            else
                DrawGrid(picture, over, minCorner, maxCorner);
            over.selectClipRegion(clip);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    // The sheets that could not be drawn, told once the picture stands.
    for (const QString &text : map.RasterFaults().take())
        platform::messageDlg(text, platform::MsgType::Error, platform::mbOK);
}

QImage RenderJob::PictureImage() const
{
    const QSize size = PictureSize();
    QImage image(std::max(1, size.width()), std::max(1, size.height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (size.width() > 0 && size.height() > 0)
        PainterCanvas::playInBands(image, map_.MapPicture(), Rect{0, 0, size.width(), size.height()});
    return image;
}

void RenderJob::PaintPicture()
{
    const QSize size = PictureSize();
    if (size.width() <= 0 || size.height() <= 0)
        return;
    Bitmap &bitmap = map_.PictureBitmap();
    if (bitmap.width() != size.width() || bitmap.height() != size.height())
        bitmap.setSize(size.width(), size.height());
    bitmap.playMetafile(map_.MapPicture(), Rect{0, 0, size.width(), size.height()});
}

void RenderJob::SavePictureFile()
{
    const QString file = platform::resolvePath(platform::joinPath(map_.ProgramDir(), u"map.wmf"));
    QString error;
    if (!map_.MapPicture().saveToFile(file, &error))
        throw std::runtime_error(error.toStdString());
}

// ---- grids --------------------------------------------------------------------------

void RenderJob::DrawGrid(Canvas &picture, Canvas &, const TMapPoint &minCorner, const TMapPoint &maxCorner)
{
    MapControlCore &map = map_;
    const double n = render::redrawDenominator(map.View().Scale);
    setGridStyle(picture, 7);
    const render::GridLines grid = render::plainGrid(minCorner.X, minCorner.Y, maxCorner.X, maxCorner.Y, n);
    if (grid.columns.empty() || grid.rows.empty())
        return;
    const double x0 = grid.columns.front(), y0 = grid.rows.front();
    for (const double x : grid.columns) {
        for (const double y : grid.rows) {
            if (x == x0 || x == maxCorner.X || y == minCorner.Y || y == y0)
                continue;
            cross(picture, map.MapToLogical(x, y));
        }
    }
}

void RenderJob::DrawLabelledGrid(Canvas &picture, Canvas &, const TMapPoint &minCorner, const TMapPoint &maxCorner)
{
    MapControlCore &map = map_;
    const double n = render::redrawDenominator(map.View().Scale);
    setGridStyle(picture, 7);
    const render::GridLines grid =
        render::labelledGrid(minCorner.X, minCorner.Y, maxCorner.X, maxCorner.Y, n, map.View().GridStep);
    const QPoint lowerLeft = map.MapToLogical(minCorner.X, minCorner.Y);
    const QPoint upperRight = map.MapToLogical(maxCorner.X, maxCorner.Y);
    const int left = lowerLeft.x(), bottom = lowerLeft.y(), right = upperRight.x(), top = upperRight.y();

    // Crosses at the inner nodes.
    for (const double x : grid.columns)
        for (const double y : grid.rows)
            if (x != minCorner.X && x != maxCorner.X && y != maxCorner.Y && y != minCorner.Y)
                cross(picture, map.MapToLogical(x, y));

    const int rise = labelRise(7);
    auto coordinate = [](double v) {
        return QString::number(static_cast<qint64>(platform::roundHalfEven(std::clamp(v, -9.0e15, 9.0e15))));
    };
    // Ticks and coordinates of the columns, below and above.
    for (const double x : grid.columns) {
        const int px = map.MapToLogical(x, minCorner.Y).x();
        line(picture, px, bottom, px, bottom - kTick);
        line(picture, px, top, px, top + kTick);
        textAtDevice(picture, QPoint(px, bottom - kTick), 4, -rise, TA_LEFT | TA_TOP, coordinate(x));
        textAtDevice(picture, QPoint(px, top + kTick), 4, 0, TA_LEFT | TA_TOP, coordinate(x));
    }
    // ... and of the rows, right and left.
    for (const double y : grid.rows) {
        const int py = map.MapToLogical(minCorner.X, y).y();
        line(picture, right, py, right + kTick, py);
        line(picture, left, py, left - kTick, py);
        textAtDevice(picture, QPoint(right, py), 4, -rise, TA_LEFT | TA_TOP, coordinate(y));
        textAtDevice(picture, QPoint(left - kTick, py), 4, -rise, TA_LEFT | TA_TOP, coordinate(y));
    }

    // The scale, half a text height below the bottom ticks.
    setGridStyle(picture, 8);
    {
        const QString caption = QStringLiteral("1: ") + QString::number(static_cast<qint64>(
                                                           platform::roundHalfEven(std::min(n, 9.0e15))));
        const QPoint d = picture.lpToDp(QPoint(nint((left + static_cast<double>(right)) / 2), bottom - kTick));
        picture.setMapMode(MM_TEXT);
        const int h = picture.textExtent(caption).cy;
        detail::setTextAlign(picture, TA_CENTER | TA_TOP);
        picture.textOut(d.x(), d.y() + nint(h / 2.0), caption);
        picture.setMapMode(MM_HIMETRIC);
    }
    setGridStyle(picture, 7);

    // The edges, each beyond both corners, then the outer frame.
    line(picture, left, bottom - kTick, left, top + kTick);
    line(picture, left - kTick, top, right + kTick, top);
    line(picture, right, top + kTick, right, bottom - kTick);
    line(picture, right + kTick, bottom, left - kTick, bottom);
    detail::setPen(picture, Pen{PS_SOLID, 50, kBlack});
    picture.polyline({QPoint(left - kTick, bottom - kTick), QPoint(left - kTick, top + kTick),
                      QPoint(right + kTick, top + kTick), QPoint(right + kTick, bottom - kTick),
                      QPoint(left - kTick, bottom - kTick)});
}

// ---- views of report pictures --------------------------------------------------------

PictureView::PictureView(MapControlCore &map)
    : map_(map), scale_(map.View().Scale), width_(map.View().PictureWidth), height_(map.View().PictureHeight),
      centreX_(map.View().CenterX), centreY_(map.View().CenterY)
{
}

PictureView::~PictureView()
{
    map_.SetScale(scale_);
    map_.SetPictureSize(width_, height_);
    map_.SetCentre(centreX_, centreY_);
    map_.SetPictureMode(false);
    map_.SetGridStep(100);
    map_.SetGridLabels(false);
}

std::unique_ptr<PictureView> PictureView::MapPicture(MapControlCore &map, double width, double height,
                                                     double denominator)
{
    std::unique_ptr<PictureView> saved(new PictureView(map));
    map.SetPictureSize(nint(width), nint(height));
    if (denominator > 0)
        map.SetScale(100000 / denominator);
    TMapPoint lowerLeft, upperRight;
    map.LogicalToMap(QPointF(0, -map.View().PictureHeight), lowerLeft);
    map.LogicalToMap(QPointF(map.View().PictureWidth, 0), upperRight);
    map.SetPictureExtent(TMapExtent{lowerLeft.X, lowerLeft.Y, upperRight.X, upperRight.Y});
    map.SetPictureMode(true);
    map.SetCentre(lowerLeft.X + (upperRight.X - lowerLeft.X) / 2, lowerLeft.Y + (upperRight.Y - lowerLeft.Y) / 2);
    return saved;
}

std::unique_ptr<PictureView> PictureView::GridPicture(MapControlCore &map, double width, double height,
                                                      double gridStep)
{
    std::unique_ptr<PictureView> saved(new PictureView(map));
    map.SetPictureSize(nint(width), nint(height));
    TMapPoint lowerLeft, upperRight;
    map.LogicalToMap(QPointF(0, -map.View().PictureHeight), lowerLeft);
    map.LogicalToMap(QPointF(map.View().PictureWidth, 0), upperRight);
    const render::PictureExtent e =
        render::gridPictureExtent(lowerLeft.X, upperRight.Y, upperRight.X - lowerLeft.X,
                                  upperRight.Y - lowerLeft.Y, render::redrawDenominator(map.View().Scale));
    map.SetPictureExtent(TMapExtent{e.xMin, e.yMin, e.xMax, e.yMax});
    map.SetCentre(e.xMin + (e.xMax - e.xMin) / 2, e.yMin + (e.yMax - e.yMin) / 2);
    map.SetPictureMode(true);
    map.SetGridLabels(true);
    map.SetGridStep(gridStep);
    return saved;
}

} // namespace mapengine
