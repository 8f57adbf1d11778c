// The render loop of the map window: every redraw records two pictures, the
// map picture with the geometry of all layers and an overlay with the texts,
// symbols, labels, captions and raster frames, lays the overlay over the map
// picture and paints the result onto the map control. Also the grids, the
// progress bars, the centre mark and the fixed-size pictures of reports.

#include "app/FTolvane.h"

#include "app/HostHooks.h"
#include "app/LayerListRows.h"
#include "app/RenderSupport.h"
#include "mapengine/CanvasHelpers.h"
#include "platform/ui/FormClass.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"
#include "platform/gdi/Metafile.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <stdexcept>

using namespace platform::gdi;
using mapengine::detail::nint;

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
    mapengine::detail::setPen(c, Pen{PS_SOLID, 15, kBlack});
    LogFont font = c.font();
    font.faceName = QStringLiteral("Arial Cyr");
    font.charSet = RUSSIAN_CHARSET;
    font.height = mapengine::detail::fontHeightForPoints(c, 8);
    mapengine::detail::setFont(c, font);
    mapengine::detail::selectBrush(c, Brush{BS_SOLID, kWhite, HS_HORIZONTAL});
}

// The grid's pen, brush and font: black, 0.2 mm, no fill, "Arial Cyr" of
// `points` points.
void setGridStyle(Canvas &c, int points)
{
    mapengine::detail::setPen(c, Pen{PS_SOLID, 20, kBlack});
    mapengine::detail::selectBrush(c, Brush{BS_NULL, kWhite, HS_HORIZONTAL});
    LogFont font = c.font();
    font.faceName = QStringLiteral("Arial Cyr");
    font.charSet = RUSSIAN_CHARSET;
    font.height = mapengine::detail::fontHeightForPoints(c, points);
    font.escapement = font.orientation = 0;
    mapengine::detail::setFont(c, font);
    mapengine::detail::setTextColor(c, kBlack);
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
    mapengine::detail::setMapMode(c, MM_TEXT);
    mapengine::detail::setTextAlign(c, align);
    c.textOut(d.x() + dx, d.y() + dy, text);
    mapengine::detail::setMapMode(c, MM_HIMETRIC);
}

// How far a grid label is raised: 1.5 times its size in points, taken as pixels.
int labelRise(int points)
{
    return nint(1.5 * points);
}

// The two bars of the redraw's progress, drawn over the status bar's free
// end. They are painted at once, as a redraw runs without the event loop.
class ProgressBars : public QWidget {
public:
    explicit ProgressBars(QStatusBar *bar) : QWidget(bar)
    {
        setObjectName(QStringLiteral("RedrawProgress"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void show(double first, double second, int x0, int width)
    {
        first_ = std::clamp(first, 0.0, 1.0);
        second_ = std::clamp(second, 0.0, 1.0);
        x0_ = x0;
        width_ = width;
        setGeometry(0, 0, parentWidget()->width(), parentWidget()->height());
        raise();
        setVisible(true);
        repaint();
    }
    double first() const { return first_; }
    double second() const { return second_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int h = height();
        p.setPen(QColor(255, 128, 128));
        p.setBrush(QColor(255, 128, 128));
        p.drawRect(QRect(QPoint(x0_, 5), QPoint(x0_ + nint(width_ * first_), nint(h / 2.0) - 1)));
        p.setPen(QColor(134, 173, 213));
        p.setBrush(QColor(134, 173, 213));
        p.drawRect(QRect(QPoint(x0_, nint(h / 2.0) + 1), QPoint(x0_ + nint(width_ * second_), h - 4)));
    }

private:
    double first_ = 0, second_ = 0;
    int x0_ = 0, width_ = 0;
};

ProgressBars *progressBars(QStatusBar *bar, bool make)
{
    auto *bars = bar->findChild<ProgressBars *>(QStringLiteral("RedrawProgress"), Qt::FindDirectChildrenOnly);
    if (!bars && make)
        bars = new ProgressBars(bar);
    return bars;
}

// The pixel size of the pictures of a redraw: the control's, or in picture
// mode the picture's size in pixels.
QSize redrawPictureSize(const TMapVyk &map)
{
    if (!map.FPictureMode)
        return QSize(map.ClientWidth(), map.ClientHeight());
    auto pixels = [](double units, double perPixel) { return perPixel > 0 ? nint(units / perPixel) : 0; };
    return QSize(pixels(map.FPictureWidth, map.FUnitsPerPixelX), pixels(map.FPictureHeight, map.FUnitsPerPixelY));
}

// Puts back the view a report picture changed, however its redraw ends.
class SavedView {
public:
    explicit SavedView(TMapVyk &map)
        : map_(map), scale_(map.FScale), width_(map.FPictureWidth), height_(map.FPictureHeight),
          centreX_(map.FCenterX), centreY_(map.FCenterY)
    {
    }
    ~SavedView()
    {
        map_.FScale = scale_;
        map_.FPictureWidth = width_;
        map_.FPictureHeight = height_;
        map_.FCenterX = centreX_;
        map_.FCenterY = centreY_;
        map_.FPictureMode = false;
    }
    SavedView(const SavedView &) = delete;
    SavedView &operator=(const SavedView &) = delete;

private:
    TMapVyk &map_;
    double scale_, width_, height_, centreX_, centreY_;
};

} // namespace

// ---------------------------------------------------------------------------
// The redraw

void TTolvane::RedrawMap()
{
    TMapVyk &map = *MapImage;
    // 1. Layer files, the journal and the grid files of projections are
    // found from the work folder.
    if (platform::directoryExists(map.FWorkDir))
        QDir::setCurrent(platform::resolvePath(map.FWorkDir));

    // 2.-4. The two pictures, each sized in screen pixels.
    const DeviceMetrics screen = screenMetrics();
    if (map.FMapPicture.reference() == screen)
        map.FMapPicture.clear();
    else
        map.FMapPicture = Metafile(screen);
    const QSize size = redrawPictureSize(map);
    map.FMapPicture.setSizeInPixels(size.width(), size.height());
    Metafile overlay(screen);
    overlay.setSizeInPixels(size.width(), size.height());
    const double n = app::render::redrawDenominator(map.FScale);

    {
        MetafileCanvas picture(map.FMapPicture);
        MetafileCanvas over(overlay);
        setRedrawDefaults(picture);
        setRedrawDefaults(over);

        // 5. The white background.
        mapengine::detail::setPen(picture, Pen{PS_SOLID, 15, kWhite});
        picture.rectangle(Rect{0, 0, map.FMapPicture.mmWidth(), -map.FMapPicture.mmHeight()});
        // 6.
        if (map.FPictureMode) {
            const QRegion clip(0, 0, size.width(), size.height());
            picture.selectClipRegion(clip);
            over.selectClipRegion(clip);
        }
        // 7.
        setRedrawDefaults(picture);

        // 8. The window the layers are drawn in.
        TMapPoint minCorner, maxCorner;
        if (map.FPictureMode) {
            minCorner = TMapPoint{map.FPictureExtent.X1, map.FPictureExtent.Y1, 0};
            maxCorner = TMapPoint{map.FPictureExtent.X2, map.FPictureExtent.Y2, 0};
        } else {
            map.LogicalToMap(QPointF(0, -map.FPictureHeight), minCorner);
            map.LogicalToMap(QPointF(map.FPictureWidth, 0), maxCorner);
        }

        auto finish = [&] {
            // 12. The overlay over the map picture, in pixels.
            over.finish();
            picture.setMapMode(MM_TEXT);
            picture.drawMetafile(overlay, Rect{0, 0, size.width(), size.height()});
            picture.finish();
            if (ProgressBars *bars = progressBars(MapStatusBar, false))
                bars->hide();
            MapStatusBar->update();
        };
        try {
            // 9. From the last row up: the first row lies on top.
            const int rows = ListLayers->topLevelItemCount();
            for (int row = rows - 1; row >= 0; --row) {
                DrawProgress(0, static_cast<double>(rows - row) / rows);
                const int index = ListLayerIndex(row);
                if (!ValidLayer(index))
                    continue;
                const TMapLayer &layer = map.FProject.Layers[static_cast<size_t>(index)];
                if (!layer.Visible || !app::render::layerShownAtScale(layer, n))
                    continue;
                const QRect pictureRect(0, 0, nint(map.FPictureWidth), nint(map.FPictureHeight));
                const QRect deviceRect(0, 0, size.width(), size.height());
                switch (app::render::layerDrawer(layer.MapType)) {
                case app::render::LayerDrawer::Exchange:
                    DrawExchangeLayer(pictureRect, deviceRect, picture);
                    break;
                case app::render::LayerDrawer::Cadastral:
                    if (map.FCaching)
                        DrawCadastralLayerCached(pictureRect, deviceRect, picture);
                    else
                        DrawCadastralLayer(pictureRect, deviceRect, picture);
                    break;
                case app::render::LayerDrawer::Vector:
                    DrawVectorLayer(index, picture, over, minCorner, maxCorner);
                    break;
                case app::render::LayerDrawer::None:
                    break;
                }
            }

            // 10. Markers of the selected objects while the zoom tool is down.
            if (PBZoom->isChecked()) {
                for (const TSelObject &e : map.FSelection.Entries) {
                    const QPoint p = map.MapToLogical(e.XMin + (e.XMax - e.XMin) / 2, e.YMin + (e.YMax - e.YMin) / 2);
                    mapengine::detail::setPenStyle(picture, PS_SOLID);
                    mapengine::detail::selectBrush(picture, Brush{BS_NULL, picture.brush().color, HS_HORIZONTAL});
                    const QPoint d = picture.lpToDp(p);
                    picture.setMapMode(MM_TEXT);
                    app::render::drawListImage(picture, BitmapList(20), d.x() - app::render::kListImageSize / 2,
                                               d.y() - app::render::kListImageSize / 2);
                    picture.setMapMode(MM_HIMETRIC);
                }
            }

            // 11. The grids, cut 200 pixels beyond the picture.
            if (map.FGridLabels || nShowGreed->isChecked()) {
                const QRegion clip(-200, -200, size.width() + 400, size.height() + 400);
                picture.selectClipRegion(clip);
                if (map.FGridLabels)
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
    }

    // 13. Onto the control, or in picture mode into "map.wmf".
    if (map.FPictureMode) {
        const QString file = platform::resolvePath(platform::joinPath(map.FProgramDir, u"map.wmf"));
        QString error;
        if (!map.FMapPicture.saveToFile(file, &error))
            throw std::runtime_error(error.toStdString());
    } else {
        Bitmap &bitmap = map.PictureBitmap();
        if (size.width() > 0 && size.height() > 0) {
            if (bitmap.width() != size.width() || bitmap.height() != size.height())
                bitmap.setSize(size.width(), size.height());
            map.ControlCanvas().drawMetafile(map.FMapPicture, Rect{0, 0, size.width(), size.height()});
        }
        map.update();
        map.SnapshotView();
    }

    // 14.
    if (nShowCenter->isChecked())
        DrawCentreMark();

    // 15. The overlays of the tool that is down.
    const QList<QLabel *> panels = platform::statusPanels(MapStatusBar);
    auto setPanel4 = [&panels](const QString &text) {
        if (panels.size() > 4)
            panels[4]->setText(text);
    };
    const bool selected = !map.FSelection.Entries.empty();
    if (pbDraw->isChecked() && map.FDrawing) {
        QString text;
        map.DrawDrawingMeasures(text);
        setPanel4(text);
    }
    if (tbInfo->isChecked() && selected)
        map.DrawSelectionOverlay(-1);
    if ((PBPick->isChecked() || pbSelect->isChecked()) && selected)
        DrawPickedObjects();
    if (tbLabel->isChecked() && map.FMoveLabels.Entries.size() > 1)
        map.DrawMovingLabels(0, 0, Qt::NoModifier, false);
    if (pbEdit->isChecked() && selected)
        map.DrawVertexMarks();
    if (TbLen->isChecked() && map.FDrawing) {
        QString text;
        map.DrawRulerMeasures(text);
        setPanel4(text);
    }

    // 17. The edit buttons.
    tbUndo->setEnabled(map.FJournalPos > 0);
    tbRedo->setEnabled(map.FJournalPos < map.FJournalCount);
    const int current = map.FProject.ActiveLayer;
    if (current >= 0 && static_cast<size_t>(current) < map.FProject.Layers.size()) {
        const TMapLayer &l = map.FProject.Layers[static_cast<size_t>(current)];
        tbSaveLayer->setEnabled(l.ObjectsAppended || l.ObjectsModified || l.ObjectsDeleted);
    }
    const QTreeWidgetItem *row = LVLayer->topLevelItemCount() > 0 ? LVLayer->topLevelItem(0) : nullptr;
    const bool editable = app::rowImage(row, app::lcEdited) == app::imgEditedOn;
    const auto picked = map.FSelection.Entries.size();
    tbSplit->setEnabled(PBPick->isChecked() && picked > 1 && editable);
    tbUnSplit->setEnabled(PBPick->isChecked() && picked >= 1 && editable);
    tbRevase->setEnabled(PBPick->isChecked() && picked >= 1 && editable);
}

// ---------------------------------------------------------------------------
// Progress

void TTolvane::DrawProgress(double first, double second)
{
    int panels = 0;
    const QList<QLabel *> labels = platform::statusPanels(MapStatusBar);
    for (int i = 0; i < 5 && i < labels.size(); ++i)
        panels += labels[i]->width();
    const int w = MapStatusBar->width() - panels - 10;
    const int x0 = MapStatusBar->width() - w - 4;
    progressBars(MapStatusBar, true)->show(first, second, x0, std::max(0, w));
}

// ---------------------------------------------------------------------------
// Grids

void TTolvane::DrawGrid(Canvas &picture, Canvas &, const TMapPoint &minCorner, const TMapPoint &maxCorner)
{
    TMapVyk &map = *MapImage;
    const double n = app::render::redrawDenominator(map.FScale);
    setGridStyle(picture, 7);
    const app::render::GridLines grid = app::render::plainGrid(minCorner.X, minCorner.Y, maxCorner.X, maxCorner.Y, n);
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

void TTolvane::DrawLabelledGrid(Canvas &picture, Canvas &, const TMapPoint &minCorner, const TMapPoint &maxCorner)
{
    TMapVyk &map = *MapImage;
    const double n = app::render::redrawDenominator(map.FScale);
    setGridStyle(picture, 7);
    const app::render::GridLines grid =
        app::render::labelledGrid(minCorner.X, minCorner.Y, maxCorner.X, maxCorner.Y, n, map.FGridStep);
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
        mapengine::detail::setTextAlign(picture, TA_CENTER | TA_TOP);
        picture.textOut(d.x(), d.y() + nint(h / 2.0), caption);
        picture.setMapMode(MM_HIMETRIC);
    }
    setGridStyle(picture, 7);

    // The edges, each beyond both corners, then the outer frame.
    line(picture, left, bottom - kTick, left, top + kTick);
    line(picture, left - kTick, top, right + kTick, top);
    line(picture, right, top + kTick, right, bottom - kTick);
    line(picture, right + kTick, bottom, left - kTick, bottom);
    mapengine::detail::setPen(picture, Pen{PS_SOLID, 50, kBlack});
    picture.polyline({QPoint(left - kTick, bottom - kTick), QPoint(left - kTick, top + kTick),
                      QPoint(right + kTick, top + kTick), QPoint(right + kTick, bottom - kTick),
                      QPoint(left - kTick, bottom - kTick)});
}

// ---------------------------------------------------------------------------
// Centre mark

void TTolvane::DrawCentreMark()
{
    TMapVyk &map = *MapImage;
    map.FitToParent();
    Metafile mark(screenMetrics());
    mark.setSizeInPixels(map.ClientWidth(), map.ClientHeight());
    {
        MetafileCanvas c(mark);
        c.setMapMode(MM_HIMETRIC);
        c.setPen(Pen{PS_SOLID, 20, rgb(128, 128, 128)});
        c.setRop2(R2_COPYPEN);
        c.setBrush(Brush{BS_NULL, kWhite, HS_HORIZONTAL});
        const QPoint centre(nint(map.FPictureWidth / 2), nint(-map.FPictureHeight / 2));
        line(c, centre.x(), centre.y() - 1000, centre.x(), centre.y() + 1000);
        line(c, centre.x() - 1000, centre.y(), centre.x() + 1000, centre.y());
    }
    if (map.ClientWidth() > 0 && map.ClientHeight() > 0)
        map.ControlCanvas().drawMetafile(mark, Rect{0, 0, map.ClientWidth(), map.ClientHeight()});
    map.update();
}

// ---------------------------------------------------------------------------
// Pictures of reports

void TTolvane::DrawMapPicture(double width, double height, double denominator)
{
    TMapVyk &map = *MapImage;
    const SavedView saved(map);
    map.FPictureWidth = nint(width);
    map.FPictureHeight = nint(height);
    if (denominator > 0)
        map.FScale = 100000 / denominator;
    TMapPoint lowerLeft, upperRight;
    map.LogicalToMap(QPointF(0, -map.FPictureHeight), lowerLeft);
    map.LogicalToMap(QPointF(map.FPictureWidth, 0), upperRight);
    map.FPictureExtent = TMapExtent{lowerLeft.X, lowerLeft.Y, upperRight.X, upperRight.Y};
    map.FPictureMode = true;
    map.FCenterX = lowerLeft.X + (upperRight.X - lowerLeft.X) / 2;
    map.FCenterY = lowerLeft.Y + (upperRight.Y - lowerLeft.Y) / 2;
    RedrawMap();
}

void TTolvane::DrawGridPicture(double width, double height, double gridStep)
{
    TMapVyk &map = *MapImage;
    struct GridReset {
        TMapVyk &map;
        ~GridReset()
        {
            map.FGridStep = 100;
            map.FGridLabels = false;
        }
    } gridReset{map};
    const SavedView saved(map);
    map.FPictureWidth = nint(width);
    map.FPictureHeight = nint(height);
    TMapPoint lowerLeft, upperRight;
    map.LogicalToMap(QPointF(0, -map.FPictureHeight), lowerLeft);
    map.LogicalToMap(QPointF(map.FPictureWidth, 0), upperRight);
    const app::render::PictureExtent e =
        app::render::gridPictureExtent(lowerLeft.X, upperRight.Y, upperRight.X - lowerLeft.X,
                                       upperRight.Y - lowerLeft.Y, app::render::redrawDenominator(map.FScale));
    map.FPictureExtent = TMapExtent{e.xMin, e.yMin, e.xMax, e.yMax};
    map.FCenterX = e.xMin + (e.xMax - e.xMin) / 2;
    map.FCenterY = e.yMin + (e.yMax - e.yMin) / 2;
    map.FPictureMode = true;
    map.FGridLabels = true;
    map.FGridStep = gridStep;
    RedrawMap();
}
