// View navigation: zoom steps, extents, the scale menus, the wheel, the
// status bar's scale and cursor texts, and the display switches.

#include "app/FTolvane.h"

#include "app/FShowPoint.h"
#include "app/FormControls.h"
#include "app/HostHooks.h"
#include "app/StatusTexts.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ShpRecords.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/ui/FormClass.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace {

// The largest denominator the view can hold.
constexpr double MaxDenominator = 2147483647.0;

// Keeps the scale between 1:1 and the smallest scale the view can hold: a
// denominator below 1 (or a scale of 0) becomes 1:1, and reducing ends at
// the smallest scale instead of running down to 0.
void limitScale(TMapVyk &map)
{
    const double largest = map.DenominatorToScale(1);
    const double smallest = 100000.0 / MaxDenominator;
    if (!(map.View().Scale > 0) || map.View().Scale > largest)
        map.SetScale(largest);
    else if (map.View().Scale < smallest)
        map.SetScale(smallest);
}

QString roundedText(double value)
{
    return QString::number(platform::roundHalfEven(value));
}

} // namespace

// ---------------------------------------------------------------------------
// View operations

void TTolvane::ZoomStep(int kind, bool fine, double denominator)
{
    TMapVyk &map = *MapImage;
    const double current = map.ScaleToDenominator(map.View().Scale);
    switch (kind) {
    case 0:
        map.SetScale(map.DenominatorToScale(denominator));
        break;
    case 1:
        map.SetScale(fine && current >= 100 ? map.View().Scale + map.View().Scale / 10 : map.View().Scale * 2);
        break;
    case 2:
        map.SetScale(fine && current >= 100 ? map.View().Scale - map.View().Scale / 10 : map.View().Scale / 2);
        break;
    default:
        break;
    }
    limitScale(map);
    ShowStatusText(0, 0);
    RedrawMap();
}

void TTolvane::ZoomToExtent(double x1, double y1, double x2, double y2)
{
    TMapVyk &map = *MapImage;
    const double a = x2 != x1 ? map.View().PictureWidth / (std::fabs(x2 - x1) * 1.2) : 0;
    const double b = y2 != y1 ? map.View().PictureHeight / (std::fabs(y2 - y1) * 1.2) : 0;
    // An extent of no width or height gives the smaller scale 0, so 1:1.
    if (a != 0 || b != 0)
        map.SetScale(std::min(a, b));
    map.SetCentre(x1 + (x2 - x1) / 2, y1 + (y2 - y1) / 2);
    limitScale(map);
    RedrawMap();
}

void TTolvane::ZoomToWindow(int mode, const QPoint &p1, const QPoint &p2)
{
    TMapVyk &map = *MapImage;
    if (mode == 4) {
        TMapPoint m1, m2;
        map.LogicalToMap(QPointF(p1.x() * map.View().UnitsPerPixelX, -p1.y() * map.View().UnitsPerPixelY), m1);
        map.LogicalToMap(QPointF(p2.x() * map.View().UnitsPerPixelX, -p2.y() * map.View().UnitsPerPixelY), m2);
        const double dx = std::fabs(m2.X - m1.X), dy = std::fabs(m2.Y - m1.Y);
        // A rectangle without width or height fits nothing.
        if (dx != 0 && dy != 0) {
            map.SetScale(std::min(map.View().PictureHeight / (dy * 1.1), map.View().PictureWidth / (dx * 1.1)));
            map.SetCentre(m1.X + (m2.X - m1.X) / 2, m1.Y + (m2.Y - m1.Y) / 2);
        }
    }
    limitScale(map);
    RedrawMap();
}

void TTolvane::ZoomToObjects(int layer, bool objectMode, bool useSelection, bool fit, bool centre, int selIndex)
{
    TMapVyk &map = *MapImage;
    const TSelObjects &sel = map.Selection();
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Byte mapType = 0;
    if (ValidLayer(layer))
        mapType = map.Project().Layers[static_cast<size_t>(layer)].MapType;
    if (objectMode) {
        if (selIndex >= 0 && static_cast<size_t>(selIndex) < sel.Entries.size() && mapType != 17) {
            const TSelObject &e = sel.Entries[static_cast<size_t>(selIndex)];
            x1 = e.XMin;
            y1 = e.YMin;
            x2 = e.XMax;
            y2 = e.YMax;
        }
    } else if (ValidLayer(layer)) {
        if (useSelection && !sel.Entries.empty()) {
            x1 = sel.MinX;
            y1 = sel.MinY;
            x2 = sel.MaxX;
            y2 = sel.MaxY;
        } else {
            const TMapLayer &L = map.Project().Layers[static_cast<size_t>(layer)];
            x1 = L.MtMinX;
            y1 = L.MtMinY;
            x2 = L.MtMaxX;
            y2 = L.MtMaxY;
        }
    }
    if (fit) {
        const double a = x2 - x1 != 0 ? map.View().PictureWidth / ((x2 - x1) * 1.2) : 0;
        const double b = y2 - y1 != 0 ? map.View().PictureHeight / ((y2 - y1) * 1.2) : 0;
        if (a != 0 || b != 0)
            map.SetScale(std::min(a, b));
        limitScale(map);
    }
    if (centre) {
        map.SetCentre(x1 + (x2 - x1) / 2, y1 + (y2 - y1) / 2);
    }
    RedrawMap();
    if (objectMode && mapType != 0 && mapType != mtShapeLayer && mapType != mtTextLayer)
        AfterCadastralZoom();
}

void TTolvane::CentreAndRedraw(double x, double y)
{
    MapImage->SetCentre(x, y);
    RedrawMap();
}

TMapExtent TTolvane::LocateObject(int layer, int index, bool select)
{
    TMapVyk &map = *MapImage;
    TMapExtent box;
    if (!ValidLayer(layer))
        return box;
    const TMapLayer &L = map.Project().Layers[static_cast<size_t>(layer)];
    // The object as the layer file has it; the journal is not consulted.
    mapdata::KeptFile *file =
        index >= 0 && static_cast<size_t>(index) < L.Objects.size() ? map.LayerRecordFile(layer) : nullptr;
    const QByteArrayView head = file ? file->head() : QByteArrayView();
    shp::FileHeader header;
    if (!shp::decodeFileHeader(head.data(), head.size(), header))
        return box;
    const qint64 at = 2 * static_cast<qint64>(L.Objects[static_cast<size_t>(index)].ShpOffset) + shp::RecordHeaderSize;
    switch (shp::recordKindOf(header.ShapeType)) {
    case shp::RecordKind::Text: {
        const QByteArrayView bytes = file->read(at, shp::TextHeadSize);
        TTextRecord rec;
        if (shp::decodeTextHead(bytes.data(), bytes.size(), rec))
            box = {rec.XMin, rec.YMin, rec.XMax, rec.YMax};
        break;
    }
    case shp::RecordKind::Point: {
        const QByteArrayView bytes = file->read(at, shp::PointContentSize);
        shp::PointRecord rec;
        if (shp::decodePoint(bytes.data(), bytes.size(), rec))
            box = {rec.X, rec.Y, rec.X, rec.Y};
        break;
    }
    case shp::RecordKind::Poly: {
        const QByteArrayView bytes = file->read(at, shp::PolyHeadSize);
        shp::PolyRecordHead rec;
        if (shp::decodePolyHead(bytes.data(), bytes.size(), rec) && rec.ShapeType == header.ShapeType &&
            rec.NumParts > 0 && rec.NumPoints > 0)
            box = {rec.XMin, rec.YMin, rec.XMax, rec.YMax};
        break;
    }
    case shp::RecordKind::Raster: {
        const QByteArrayView bytes = file->read(at, shp::RasterHeadSize);
        shp::RasterRecordHead rec;
        if (shp::decodeRasterHead(bytes.data(), bytes.size(), rec))
            box = {rec.XMin, rec.YMin, rec.XMax, rec.YMax};
        break;
    }
    case shp::RecordKind::None:
        break;
    }
    // The view is in the layers' common coordinates, as the layer's extent
    // and its objects are drawn: the box is converted like them.
    if (!(box.X1 == 0 && box.Y1 == 0 && box.X2 == 0 && box.Y2 == 0) && map.InitLayerProjection(layer)) {
        map.ProjectLayerPoint(box.X1, box.Y1);
        map.ProjectLayerPoint(box.X2, box.Y2);
        map.FreeLayerProjection();
    }
    if (select) {
        map.ClearSelection();
        map.AppendSelectionEntry(layer, index, box);
        map.RecalcSelectionExtent();
        CentreAndRedraw(box.X1 + (box.X2 - box.X1) / 2, box.Y1 + (box.Y2 - box.Y1) / 2);
    }
    return box;
}

void TTolvane::ShowStatusText(double x, double y)
{
    TMapVyk &map = *MapImage;
    if (map.View().Scale == 0)
        return;
    const QList<QLabel *> panels = platform::statusPanels(MapStatusBar);
    auto panel = [&](int i, const QString &text) {
        if (i < panels.size())
            panels[i]->setText(text);
    };
    const double n = map.ScaleToDenominator(map.View().Scale);
    panel(0, app::status::scaleText(n));
    EditScale->setText(roundedText(n));
    panel(1, app::status::areaText(map.View().PictureWidth / map.View().Scale,
                                   map.View().PictureHeight / map.View().Scale));
    if (x != 0 || y != 0) {
        TMapPoint m;
        map.LogicalToMap(QPointF(x, y), m);
        // X is the northing and Y the easting, as surveyors write them.
        panel(2, app::status::coordinateText(u'X', m.Y));
        panel(3, app::status::coordinateText(u'Y', m.X));
    }
}

// ---------------------------------------------------------------------------
// Commands

void TTolvane::tbZoomOutClick() { ZoomStep(1, false, 0); }
void TTolvane::tbZoomInClick() { ZoomStep(2, false, 0); }
void TTolvane::aZoomOutExecute() { ZoomStep(1, false, 0); }
void TTolvane::aZoomInExecute() { ZoomStep(2, false, 0); }

void TTolvane::TBZoomClick()
{
    // The two buttons choose the zoom tool's way (scaling or shifting): the
    // zoom tool is taken when another tool is down.
    if (!PBZoom->isChecked())
        PBZoom->click();
}

void TTolvane::TBMoveClick()
{
    if (!PBZoom->isChecked())
        PBZoom->click();
}

void TTolvane::TbViewObjectsClick()
{
    const int layer = MapImage->Project().ActiveLayer;
    if (ValidLayer(layer))
        ZoomToObjects(layer, false, true, true, true, 0);
}

void TTolvane::TbSelectObjectClick()
{
    const int layer = MapImage->Project().ActiveLayer;
    if (!ValidLayer(layer))
        return;
    const Byte mapType = MapImage->Project().Layers[static_cast<size_t>(layer)].MapType;
    ZoomToObjects(layer, mapType != 0 && mapType != mtShapeLayer && mapType != mtTextLayer, true, true, true, 0);
}

void TTolvane::nViewObjectsClick()
{
    TbSelectObjectClick();
}

void TTolvane::tbPriorZoomClick()
{
    if (LVLayer->topLevelItemCount() == 0)
        return;
    MapImage->ZoomHistory(1);
    RedrawMap();
    ShowStatusText(0, 0);
}

void TTolvane::tbNextZoomClick()
{
    if (LVLayer->topLevelItemCount() == 0)
        return;
    MapImage->ZoomHistory(2);
    RedrawMap();
    ShowStatusText(0, 0);
}

void TTolvane::EditScaleKeyUp(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    bool ok = false;
    const int n = EditScale->text().trimmed().toInt(&ok);
    if (ok && n > 0)
        ZoomStep(0, false, n);
}

void TTolvane::SBScale1MouseUp()
{
    FStyleTarget = QStringLiteral("MapScale");
    PMenuScale->popup(Bevel10->mapToGlobal(QPoint(0, Bevel10->height())));
}

void TTolvane::NM1Click(QAction *Sender)
{
    TMapVyk &map = *MapImage;
    bool ok = false;
    const int n = app::hintOf(Sender).remove(u'&').trimmed().toInt(&ok);
    if (!ok || n <= 0)
        return;
    const double scale = map.DenominatorToScale(n);
    if (scale == map.View().Scale)
        return;
    if (FStyleTarget == u"MapScale") {
        map.SetScale(scale);
        ShowStatusText(0, 0);
    } else if (FStyleTarget == u"Text" || FStyleTarget == u"Symbol") {
        (FStyleTarget == u"Text" ? EditTextScale : edSymbolScale)->setText(QString::number(n));
        map.Template().TextScale = n;
        map.ApplyStyleToSelection({7});
    }
    RedrawMap();
}

void TTolvane::FormMouseWheel(int delta, bool shift)
{
    if (delta == 0)
        return;
    // Away from the user (a positive delta) reduces, unless reversed.
    const bool away = delta > 0;
    ZoomStep(away != MapImage->Settings().WheelReversed ? 2 : 1, shift, 0);
}

void TTolvane::nShowGreedClick()
{
    // The menu item's check mark toggles with the click; the render loop
    // draws the grid while it is checked.
    RedrawMap();
}

void TTolvane::nShowCenterClick()
{
    RedrawMap();
}

void TTolvane::nClickPointClick()
{
    TShowPoint *w = ShowPointWindow();
    auto text = [](double v) { return platform::formatNumber(QStringLiteral("0.000"), v); };
    w->edX->setText(text(MapImage->Drag().CursorY));
    w->edY->setText(text(MapImage->Drag().CursorX));
    platform::execModal(*w);
}

void TTolvane::nSnapPointClick()
{
    // The check mark toggles with the click; the drawing tools read it.
}

void TTolvane::nSnapLineClick() {}

void TTolvane::N36Click()
{
    RedrawMap();
}

void TTolvane::N96Click()
{
    RebuildLayerList(false);
}
