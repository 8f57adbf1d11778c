// The render loop of the map window: the render job of the map engine
// draws the map picture and its overlay; the window hands it the layers in
// the order of its layer list, the style services and
// its hooks (progress bars, the pictures of its image lists, the host hooks
// of the cadastral layers), paints the picture onto the map control, draws
// the overlays of the tool that is down and sets the edit buttons. Also the
// centre mark and the fixed-size pictures of reports.

#include "app/FTolvane.h"

#include "app/HostHooks.h"
#include "app/LayerListRows.h"
#include "mapengine/CanvasHelpers.h"
#include "mapengine/RenderJob.h"
#include "mapengine/StyleRenderers.h"
#include "platform/ui/FormClass.h"
#include "platform/gdi/Metafile.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

using namespace platform::gdi;
using mapengine::detail::nint;

namespace {

const Color kWhite = rgb(255, 255, 255);

void line(Canvas &c, int x1, int y1, int x2, int y2)
{
    c.moveTo(x1, y1);
    c.lineTo(x2, y2);
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

// What the map window adds to a redraw: the progress bars, the pictures of
// its image lists, the host hooks of the cadastral layers, its own vector
// drawing (which the layer drawing tests replace) and the number format of
// captions.
class WindowHooks : public mapengine::RenderHooks {
public:
    explicit WindowHooks(TTolvane &window) : w_(window) {}
    void DrawCadastralLayer(const QRect &pictureRect, const QRect &deviceRect, Canvas &canvas, bool cached) override
    {
        if (cached)
            ::DrawCadastralLayerCached(pictureRect, deviceRect, canvas);
        else
            ::DrawCadastralLayer(pictureRect, deviceRect, canvas);
    }
    void DrawExchangeLayer(const QRect &pictureRect, const QRect &deviceRect, Canvas &canvas) override
    {
        ::DrawExchangeLayer(pictureRect, deviceRect, canvas);
    }
    void DrawVectorLayer(mapengine::RenderJob &, int layer, Canvas &picture, Canvas &overlay,
                         const TMapPoint &minCorner, const TMapPoint &maxCorner) override
    {
        w_.DrawVectorLayer(layer, picture, overlay, minCorner, maxCorner);
    }
    void Progress(double first, double second) override { w_.DrawProgress(first, second); }
    QIcon ListImage(int index) const override { return w_.BitmapList(index); }

private:
    TTolvane &w_;
};

mapengine::RenderServices servicesOf(WindowHooks &hooks)
{
    return mapengine::RenderServices{&mapengine::styleServices(), &hooks};
}

} // namespace

// ---------------------------------------------------------------------------
// The redraw

void TTolvane::RedrawMap()
{
    TMapVyk &map = *MapImage;
    WindowHooks hooks(*this);
    mapengine::RenderJob job(map, servicesOf(hooks));
    auto finish = [&] {
        if (ProgressBars *bars = progressBars(MapStatusBar, false))
            bars->hide();
        MapStatusBar->update();
    };
    try {
        job.Run(PickingOrder(), mapengine::RenderOptions{nShowGreed->isChecked(), PBZoom->isChecked()});
    } catch (...) {
        finish();
        throw;
    }
    finish();

    // 13. Onto the control, or in picture mode into "map.wmf".
    if (map.View().PictureMode) {
        job.SavePictureFile();
    } else {
        job.PaintPicture();
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
    const bool selected = !map.Selection().Entries.empty();
    if (pbDraw->isChecked() && map.Drag().Drawing) {
        QString text;
        map.DrawDrawingMeasures(text);
        setPanel4(text);
    }
    if (tbInfo->isChecked() && selected)
        map.DrawSelectionOverlay(-1);
    if ((PBPick->isChecked() || pbSelect->isChecked()) && selected)
        DrawPickedObjects();
    if (tbLabel->isChecked() && map.MoveLabels().Entries.size() > 1)
        map.DrawMovingLabels(0, 0, Qt::NoModifier, false);
    if (pbEdit->isChecked() && selected)
        map.DrawVertexMarks();
    if (TbLen->isChecked() && map.Drag().Drawing) {
        QString text;
        map.DrawRulerMeasures(text);
        setPanel4(text);
    }

    // 17. The edit buttons.
    tbUndo->setEnabled(map.JournalPos() > 0);
    tbRedo->setEnabled(map.JournalPos() < map.JournalCount());
    N28->setEnabled(tbUndo->isEnabled());
    N29->setEnabled(tbRedo->isEnabled());
    const int current = map.Project().ActiveLayer;
    if (current >= 0 && static_cast<size_t>(current) < map.Project().Layers.size()) {
        const TMapLayer &l = map.Project().Layers[static_cast<size_t>(current)];
        tbSaveLayer->setEnabled(l.ObjectsAppended || l.ObjectsModified || l.ObjectsDeleted);
    }
    const QTreeWidgetItem *row = LVLayer->topLevelItemCount() > 0 ? LVLayer->topLevelItem(0) : nullptr;
    const bool editable = app::rowImage(row, app::lcEdited) == app::imgEditedOn;
    const auto picked = map.Selection().Entries.size();
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
// Layers and grids (the render job's)

void TTolvane::DrawVectorLayer(int layer, Canvas &picture, Canvas &overlay, const TMapPoint &minCorner,
                               const TMapPoint &maxCorner)
{
    if (!ValidLayer(layer))
        return;
    WindowHooks hooks(*this);
    mapengine::RenderJob(*MapImage, servicesOf(hooks)).DrawVectorLayer(layer, picture, overlay, minCorner, maxCorner);
}

void TTolvane::DrawGrid(Canvas &picture, Canvas &overlay, const TMapPoint &minCorner, const TMapPoint &maxCorner)
{
    mapengine::RenderJob(*MapImage).DrawGrid(picture, overlay, minCorner, maxCorner);
}

void TTolvane::DrawLabelledGrid(Canvas &picture, Canvas &overlay, const TMapPoint &minCorner,
                                const TMapPoint &maxCorner)
{
    mapengine::RenderJob(*MapImage).DrawLabelledGrid(picture, overlay, minCorner, maxCorner);
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
        const QPoint centre(nint(map.View().PictureWidth / 2), nint(-map.View().PictureHeight / 2));
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
    const auto view = mapengine::PictureView::MapPicture(*MapImage, width, height, denominator);
    RedrawMap();
}

void TTolvane::DrawGridPicture(double width, double height, double gridStep)
{
    const auto view = mapengine::PictureView::GridPicture(*MapImage, width, height, gridStep);
    RedrawMap();
}
