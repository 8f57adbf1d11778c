// The mouse tools of the map window: the four handlers of the map control's
// mouse events, which run the branch of the tool that is down (label
// shifting, draw, edit, pick or select, information, ruler, zoom); the snap
// search and the rectangle selection over the layer list; the label search;
// the marks of the selection. What each tool decides is plain code in
// app/MouseTools; this unit reads the window and carries it out.

#include "app/FTolvane.h"

#include "app/HostHooks.h"
#include "dialogs/DialogSeams.h"
#include "app/MouseTools.h"
#include "dialogs/FNewForAll.h"
#include "mapengine/CanvasHelpers.h"
#include "mapengine/OverlayCanvas.h"
#include "mapengine/ScreenCursors.h"
#include "platform/ui/FormClass.h"
#include "platform/Rounding.h"
#include "platform/gdi/Metafile.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

using namespace app::tools;
using namespace platform::gdi;
using mapengine::detail::nint;

namespace {

// ---------------------------------------------------------------------------
// What the tools read of the window

int currentLayer(const TTolvane &w)
{
    return w.ShownLayerIndex();
}

const TMapLayer *layerAt(const TTolvane &w, int layer)
{
    return w.ValidLayer(layer) ? &w.MapImage->Project().Layers[static_cast<size_t>(layer)] : nullptr;
}

bool layerEditable(const TTolvane &w, int layer)
{
    const TMapLayer *L = layerAt(w, layer);
    return L && L->Edited && w.MapImage->LayerWritable(layer);
}

int currentMapType(const TTolvane &w)
{
    const TMapLayer *L = layerAt(w, currentLayer(w));
    return L ? L->MapType : -1;
}

// The drawing kind: the place of the chosen item in pMenuDraw.
DrawKind drawKind(const TTolvane &w)
{
    const QAction *const items[10] = {w.nDrawPoint,      w.nDrawText,     w.nDrawSymbol,  w.nDrawLine,
                                      w.nDrawMultiPoint, w.nDrawPolyLine, w.nDrawPolygon, w.nDrawRect,
                                      w.nDrawArc,        w.nDrawBizer};
    const QAction *item = w.DrawKindItem();
    for (int i = 0; i < 10; ++i)
        if (items[i] == item)
            return static_cast<DrawKind>(i);
    return DrawKind::Polygon;
}

ToolStates toolStates(const TTolvane &w)
{
    const TMapVyk &m = *w.MapImage;
    ToolStates t;
    t.label = w.tbLabel->isChecked();
    t.draw = w.pbDraw->isChecked();
    t.edit = w.pbEdit->isChecked();
    t.pickMirror = m.Panels().PickPanel;
    t.selectMirror = m.Panels().SelectPanel;
    t.info = w.tbInfo->isChecked();
    t.ruler = w.TbLen->isChecked();
    t.zoomMirror = m.Panels().ZoomPanel;
    return t;
}

// ---------------------------------------------------------------------------
// What the tools do to the window

// Shows a cursor at once; crNone leaves it.
void toolCursor(TTolvane &w, int number)
{
    if (number == crNone)
        return;
    w.FToolCursor = number;
    TMapVyk::SetCursorNow(w.MapImage, number);
}

void setStatus4(TTolvane &w, const QString &text)
{
    const QList<QLabel *> panels = platform::statusPanels(w.MapStatusBar);
    if (panels.size() > 4)
        panels[4]->setText(text);
}

// A figure or ruler line starts: the last point can be deleted with Del.
void startFigure(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    m.Drag().Drawing = true;
    w.NDelPoint->setEnabled(true);
    w.NDelPoint->setShortcut(QKeySequence(Qt::Key_Delete));
    m.NewObject().clearFigure();
}

void endFigure(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    m.Drag().Drawing = false;
    m.NewObject().clearFigure();
    w.NDelPoint->setEnabled(false);
    w.NDelPoint->setShortcut(QKeySequence());
}

void appendPoint(TMapVyk &m, double x, double y)
{
    TNewPoint p;
    p.Point.X = x;
    p.Point.Y = y;
    p.Point.Z = 0;
    m.NewObject().Points.push_back(p);
}

// The picture follows the mouse while the right button pans.
void followMouse(TTolvane &w, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    if (shift.has(ssRight) && (x != m.Drag().PressX || y != m.Drag().PressY))
        m.DrawRubberRectangle(static_cast<int>(m.Drag().PressX - x), static_cast<int>(m.Drag().PressY - y), 1);
}

// The view moves by the drag from the press to the last move.
void panView(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    const TViewState view = m.View();
    double x = view.CenterX, y = view.CenterY;
    panCentre(x, y, m.Drag().PressX, m.Drag().PressY, m.Drag().MoveX, m.Drag().MoveY, view.UnitsPerPixelX,
              view.UnitsPerPixelY, view.Scale);
    m.SetCentre(x, y);
    w.RedrawMap();
}

// The release of the right button pans when the press was moved.
void rightPan(TTolvane &w, Qt::MouseButton button, bool pickOrSelect)
{
    TMapVyk &m = *w.MapImage;
    const Drag d(m.Drag().PressX, m.Drag().PressY, m.Drag().MoveX, m.Drag().MoveY);
    if (button == Qt::RightButton && (pickOrSelect ? d.beyond2() : d.moved()))
        panView(w);
}

// A snap at the cursor moves the cursor map point and the handler's pixel
// position to the snapped point (draw and edit tools).
void snapCursor(TTolvane &w, TShiftState shift, int &x, int &y)
{
    TMapVyk &m = *w.MapImage;
    const bool sp = w.nSnapPoint->isChecked(), sl = w.nSnapLine->isChecked();
    if (shift.has(ssRight) || !(sp || sl))
        return;
    w.FSnapHit = w.SnapToLayers(1, m.Drag().CursorX, m.Drag().CursorY);
    if (!snapApplies(w.FSnapHit, sp, sl) || m.View().UnitsPerPixelX == 0 || m.View().UnitsPerPixelY == 0)
        return;
    const QPoint logical = m.MapToLogical(w.FSnapHit.SnapX, w.FSnapHit.SnapY);
    m.Drag().LabelMoveX = logical.x();
    m.Drag().LabelMoveY = logical.y();
    m.Drag().CursorX = w.FSnapHit.SnapX;
    m.Drag().CursorY = w.FSnapHit.SnapY;
    x = platform::roundToInt(m.Drag().LabelMoveX / m.View().UnitsPerPixelX);
    y = -platform::roundToInt(m.Drag().LabelMoveY / m.View().UnitsPerPixelY);
}

void commitFigure(TTolvane &w)
{
    const int layer = currentLayer(w);
    if (w.ValidLayer(layer))
        w.MapImage->CommitNewObject(layer, true, true);
}

// ---------------------------------------------------------------------------
// Press branches

void labelDown(TTolvane &w, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    if (shift.has(ssLeft)) {
        labelPress(m.MoveLabels(), w.FindLabelAt(x, y), shift.has(ssShift));
        m.SnapshotView();
    }
}

void drawDown(TTolvane &w, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    const DrawKind kind = drawKind(w);
    const int layer = currentLayer(w);
    const bool textLayerEditable = layerEditable(w, layer) && currentMapType(w) == mtTextLayer;
    switch (drawPress(w.pbCosmetic->isEnabled(), kind, shift, textLayerEditable)) {
    case DrawPress::Figure: {
        if (!m.Drag().Drawing) {
            startFigure(w);
            const int k = figureStartKind(kind);
            if (k >= 0)
                m.NewObject().Kind = static_cast<Byte>(k);
            m.SnapshotView();
        }
        w.FSnapHit = w.SnapToLayers(1, m.Drag().PressMapX, m.Drag().PressMapY);
        w.FPressHit = w.FSnapHit;
        if (snapApplies(w.FSnapHit, w.nSnapPoint->isChecked(), w.nSnapLine->isChecked()))
            appendPoint(m, w.FSnapHit.SnapX, w.FSnapHit.SnapY);
        else
            appendPoint(m, m.Drag().PressMapX, m.Drag().PressMapY);
        break;
    }
    case DrawPress::Text: {
        TNewForAll *box = NewForAll();
        box->setCaption(QStringLiteral("Текст"));
        box->Edit->clear();
        box->move(w.MapImage->mapToGlobal(QPoint(x, y)));
        box->prepareToShow();
        platform::execModal(*box);
        if (box->Hint == QStringLiteral("Ok")) {
            m.NewObject().clearFigure();
            m.NewObject().Kind = okText;
            m.NewObject().Values.push_back(TTxtValues{QString(), box->Edit->text()});
            appendPoint(m, m.Drag().PressMapX, m.Drag().PressMapY);
            commitFigure(w);
        }
        w.RedrawMap();
        break;
    }
    case DrawPress::PointOrSymbol:
        m.NewObject().clearFigure();
        m.NewObject().Kind = kind == DrawKind::Symbol ? okSymbol : okPoint;
        appendPoint(m, m.Drag().PressMapX, m.Drag().PressMapY);
        commitFigure(w);
        w.RedrawMap();
        break;
    case DrawPress::None:
        break;
    }
}

void editDown(TTolvane &w, TShiftState shift)
{
    TMapVyk &m = *w.MapImage;
    if (!shift.has(ssLeft) || shift.has(ssDouble))
        return;
    w.FSnapHit = w.SnapToLayers(1, m.Drag().PressMapX, m.Drag().PressMapY);
    w.FPressHit = w.FSnapHit;
    std::vector<TSelObject> &entries = m.Selection().Entries;
    if (w.FSnapHit.Hit) {
        if (entries.empty())
            entries.push_back(w.FSnapHit);
        else
            entries.front() = w.FSnapHit;
    } else {
        entries.clear();
    }
    if (!entries.empty())
        m.DrawVertexMarks();
    else
        m.FitToParent();
}

void pickDown(TTolvane &w, TShiftState shift)
{
    TMapVyk &m = *w.MapImage;
    if (!shift.has(ssLeft))
        return;
    w.FSnapHit = w.SnapToLayers(1, m.Drag().PressMapX, m.Drag().PressMapY);
    m.Drag().DragHandle = m.HitSelectionHandle(static_cast<int>(m.Drag().PressX), static_cast<int>(m.Drag().PressY));
    w.FPressHit = w.FSnapHit;
    // The pick tool pressed on a handle keeps the selection: a frame drag
    // may follow.
    if (m.Drag().DragHandle == 0 || m.Panels().SelectPanel) {
        pickPress(m.Selection(), w.FSnapHit, shift.has(ssShift));
        m.SnapshotView();
    }
    w.ShowStylePanel();
}

void infoDown(TTolvane &w, TShiftState shift)
{
    TMapVyk &m = *w.MapImage;
    if (!shift.has(ssLeft))
        return;
    w.FSnapHit = w.SnapToLayers(0, m.Drag().PressMapX, m.Drag().PressMapY);
    if (!m.Selection().Entries.empty())
        dialogs::dialogSeams().ShowEditInfo();
    m.DrawSelectionOverlay(-1);
}

void rulerDown(TTolvane &w, TShiftState shift)
{
    TMapVyk &m = *w.MapImage;
    if (!shift.has(ssLeft) || shift.has(ssDouble))
        return;
    if (!m.Drag().Drawing) {
        startFigure(w);
        m.NewObject().Length = 0;
        m.SnapshotView();
    }
    // The ruler measures where the user clicks: it does not snap.
    appendPoint(m, m.Drag().PressMapX, m.Drag().PressMapY);
}

// ---------------------------------------------------------------------------
// Move branches

void labelMove(TTolvane &w, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    const bool left = shift.has(ssLeft), right = shift.has(ssRight);
    if (!m.Drag().MouseDown && !right)
        toolCursor(w, w.FindLabelAt(x, y).ObjectNumber > 0 ? crHandPoint : crArrow);
    const std::vector<TLabelEntry> &list = m.MoveLabels().Entries;
    if (m.Drag().MouseDown && left && !list.empty() && (x != m.Drag().PressX || y != m.Drag().PressY))
        m.DrawMovingLabels(x, y, shift.keys(), true);
    if (m.Drag().MouseDown && left && list.empty() && Drag(m.Drag().PressX, m.Drag().PressY, x, y).bothBeyond2())
        m.DrawRubberRectangle(0, 0, 2);
    followMouse(w, shift, x, y);
}

void drawMove(TTolvane &w, TShiftState shift, int &x, int &y)
{
    TMapVyk &m = *w.MapImage;
    const DrawKind kind = drawKind(w);
    const bool right = shift.has(ssRight);
    if (w.pbCosmetic->isEnabled() && kind == DrawKind::Text) {
        toolCursor(w, right ? crHand : crIBeam);
        return;
    }
    snapCursor(w, shift, x, y);
    if (!right && m.Drag().Drawing && (x != m.Drag().PressX || y != m.Drag().PressY)) {
        QString text;
        if (kind != DrawKind::Arc)
            m.DrawDrawingMeasures(text);
        else
            m.DrawMeasureSegment(text);
        setStatus4(w, text);
    }
    toolCursor(w, app::tools::snapCursor(shift, w.nSnapPoint->isChecked(), w.nSnapLine->isChecked(), w.FSnapHit,
                                        crNewPoint));
    followMouse(w, shift, x, y);
}

void editMove(TTolvane &w, TShiftState shift, int &x, int &y)
{
    TMapVyk &m = *w.MapImage;
    snapCursor(w, shift, x, y);
    if (shift.has(ssLeft) && w.FPressHit.OnVertex) {
        QString text;
        m.DrawSnapIndicator(m.Drag().CursorX, m.Drag().CursorY, shift.keys(), text);
        setStatus4(w, text);
    }
    toolCursor(w, app::tools::snapCursor(shift, w.nSnapPoint->isChecked(), w.nSnapLine->isChecked(), w.FSnapHit,
                                        crPolygon));
    followMouse(w, shift, x, y);
}

void pickMove(TTolvane &w, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    const bool left = shift.has(ssLeft), right = shift.has(ssRight);
    const bool atPress = x == m.Drag().PressX && y == m.Drag().PressY;
    const Drag d(m.Drag().PressX, m.Drag().PressY, x, y);
    int handle = 0;
    if (m.Panels().PickPanel && (!left || atPress))
        handle = m.HitSelectionHandle(x, y);
    const bool selected = !m.Selection().Entries.empty();
    // Pressing on an object and dragging moves the selection.
    if (left && !shift.has(ssShift) && m.Drag().DragHandle == 0 && selected && d.beyond2()) {
        m.Drag().MouseDown = true;
        m.Drag().DragHandle = 9;
        m.Selection().FrameMode = 0;
    }
    if (left && m.Drag().DragHandle == 0 && d.bothBeyond2())
        m.DrawRubberRectangle(0, 0, 2);
    if (shift.has(ssShift) || handle == 0)
        toolCursor(w, right ? crHand : crPick);
    else
        toolCursor(w, handleCursor(handle, m.Selection().FrameMode, shift.has(ssCtrl)));
    if (m.Panels().PickPanel && m.Drag().MouseDown && left && m.Drag().DragHandle > 0 && selected && !atPress) {
        if (m.Selection().FrameMode == 1 && m.Drag().DragHandle == 9) {
            m.Selection().PivotX = m.Drag().CursorX;
            m.Selection().PivotY = m.Drag().CursorY;
            m.Selection().PivotZ = 0;
            w.DrawPivotMark();
        } else {
            if (m.Drag().DragHandle == 9)
                toolCursor(w, handleCursor(9, 0, shift.has(ssCtrl)));
            m.DrawSelectionOverlay(x, y, m.Drag().DragHandle, -1);
        }
    }
    followMouse(w, shift, x, y);
}

void zoomMoveBranch(TTolvane &w, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    const ZoomMove z = zoomMove(m.Drag().MouseDown, shift, x != m.Drag().PressX || y != m.Drag().PressY,
                                m.Drag().ZoomDown, m.Drag().MoveDown);
    if (z.drawing == ZoomMove::FollowMouse)
        m.DrawRubberRectangle(static_cast<int>(m.Drag().PressX - x), static_cast<int>(m.Drag().PressY - y), 1);
    else if (z.drawing == ZoomMove::Rubber)
        m.DrawRubberRectangle(0, 0, 2);
    toolCursor(w, z.cursor);
}

// ---------------------------------------------------------------------------
// Release branches

void labelUp(TTolvane &w, Qt::MouseButton button, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    const bool left = button == Qt::LeftButton;
    if (m.Drag().MouseDown && left) {
        if (!m.MoveLabels().Entries.empty() && (x != m.Drag().PressX || y != m.Drag().PressY)) {
            m.StoreMovedLabel(shift.has(ssAlt) ? 2 : 1, 1, 0);
            w.RedrawMap();
        } else if (m.MoveLabels().Entries.empty() &&
                   Drag(m.Drag().PressX, m.Drag().PressY, m.Drag().MoveX, m.Drag().MoveY).bothBeyond2()) {
            w.SelectLabelsInRectangle(button, shift, m.Drag().PressMapX, m.Drag().PressMapY, m.Drag().CursorX,
                                      m.Drag().CursorY);
        }
        if (m.MoveLabels().Entries.size() < 2)
            m.FitToParent();
        else
            m.DrawMovingLabels(0, 0, shift.keys(), false);
    }
    rightPan(w, button, false);
    m.Drag().MouseDown = false;
    toolCursor(w, crArrow);
}

void drawUp(TTolvane &w, Qt::MouseButton button)
{
    TMapVyk &m = *w.MapImage;
    rightPan(w, button, false);
    const DrawKind kind = drawKind(w);
    // An oval ends on the release after its second point.
    if (m.Drag().Drawing && kind == DrawKind::Arc && m.NewObject().Points.size() == 2) {
        if (layerEditable(w, currentLayer(w)))
            commitFigure(w);
        endFigure(w);
        w.RedrawMap();
    }
    m.Drag().MouseDown = false;
    toolCursor(w, w.pbCosmetic->isEnabled() && kind == DrawKind::Text ? crIBeam : crNewPoint);
}

void editUp(TTolvane &w, Qt::MouseButton button, TShiftState shift)
{
    TMapVyk &m = *w.MapImage;
    if (m.Drag().MouseDown && button == Qt::LeftButton) {
        const Drag d(m.Drag().PressX, m.Drag().PressY, m.Drag().MoveX, m.Drag().MoveY);
        if (d.moved() && w.FPressHit.OnVertex && layerEditable(w, currentLayer(w))) {
            if (cadastralVertexLayer(currentMapType(w))) {
                if (MoveCadastralVertex())
                    w.RedrawMap();
            } else if (m.MoveVertex(TMapPoint{m.Drag().CursorX, m.Drag().CursorY, 0}, shift.keys())) {
                w.RedrawMap();
            }
        }
        m.FitToParent();
        m.DrawVertexMarks();
    }
    rightPan(w, button, false);
    m.Drag().MouseDown = false;
    toolCursor(w, crPolygon);
}

void pickUp(TTolvane &w, Qt::MouseButton button, TShiftState shift, int x, int y)
{
    TMapVyk &m = *w.MapImage;
    if (!m.Drag().MouseDown)
        return;
    const Drag d(m.Drag().PressX, m.Drag().PressY, m.Drag().MoveX, m.Drag().MoveY);
    const PickRelease r =
        pickRelease(m.Drag().MouseDown, button, shift, m.Drag().DragHandle, m.Panels().PickPanel, d,
                    m.Selection().FrameMode);
    auto highlight = [&] {
        if (!m.Selection().Entries.empty())
            w.DrawPickedObjects();
        else
            m.FitToParent();
    };
    switch (r.action) {
    case PickRelease::Click:
        m.RecalcSelectionExtent();
        highlight();
        break;
    case PickRelease::Rectangle:
        w.SelectInRectangle(button, shift, m.Drag().PressMapX, m.Drag().PressMapY, m.Drag().CursorX, m.Drag().CursorY);
        highlight();
        w.ShowStylePanel();
        break;
    case PickRelease::PivotMoved:
        w.DrawPickedObjects();
        break;
    case PickRelease::Copy:
        m.MoveSelection(m.Drag().CursorX - m.Drag().PressMapX, m.Drag().CursorY - m.Drag().PressMapY);
        w.RedrawMap();
        break;
    case PickRelease::Transform:
        m.DragTransformSelection(static_cast<int>(m.Drag().MoveX), static_cast<int>(m.Drag().MoveY),
                                 m.Drag().DragHandle);
        w.RedrawMap();
        break;
    case PickRelease::Popup:
        w.pMenuPick->popup(w.MapImage->mapToGlobal(QPoint(x, y)));
        break;
    case PickRelease::Pan:
        panView(w);
        break;
    case PickRelease::None:
        break;
    }
    const size_t n = m.Selection().Entries.size();
    const bool editable = layerEditable(w, currentLayer(w));
    w.tbSplit->setEnabled(n >= 2 && editable);
    w.tbUnSplit->setEnabled(n >= 1 && editable);
    w.tbRevase->setEnabled(n >= 1 && editable);
    m.Drag().MouseDown = false;
    toolCursor(w, crPick);
}

void zoomUp(TTolvane &w, Qt::MouseButton button, TShiftState shift)
{
    TMapVyk &m = *w.MapImage;
    const Drag d(m.Drag().PressX, m.Drag().PressY, m.Drag().MoveX, m.Drag().MoveY);
    const ZoomRelease z = zoomRelease(m.Drag().MouseDown, button, shift, d.moved(), d.dx != 0 && d.dy != 0,
                                      m.Drag().ZoomDown, m.Drag().MoveDown);
    const QPoint press(static_cast<int>(m.Drag().PressX), static_cast<int>(m.Drag().PressY));
    const QPoint move(static_cast<int>(m.Drag().MoveX), static_cast<int>(m.Drag().MoveY));
    if (z.endPress)
        m.Drag().MouseDown = false;
    switch (z.action) {
    case ZoomRelease::Pan:
        panView(w);
        break;
    case ZoomRelease::ZoomWindow:
        w.ZoomToWindow(4, press, move);
        break;
    case ZoomRelease::StepIn:
        w.ZoomStep(1, z.fine, m.ScaleToDenominator(m.View().Scale));
        break;
    case ZoomRelease::StepOut:
        w.ZoomStep(2, z.fine, m.ScaleToDenominator(m.View().Scale));
        break;
    case ZoomRelease::KeepScale:
        w.ZoomToWindow(5, press, move);
        break;
    case ZoomRelease::None:
        break;
    }
    if (z.cursor10) {
        w.FToolCursor = crZoomIn;
        w.MapImage->setCursor(mapengine::screenCursor(crZoomIn));
    }
}

// ---------------------------------------------------------------------------
// Double-click branches

void drawDblClick(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    const DrawKind kind = drawKind(w);
    if (!m.Drag().Drawing || kind == DrawKind::Arc)
        return;
    const bool oneClick = kind == DrawKind::Text || kind == DrawKind::Point || kind == DrawKind::Symbol;
    if (layerEditable(w, currentLayer(w)) && (!w.pbCosmetic->isEnabled() || !oneClick)) {
        if (currentMapType(w) == 2 && m.NewObject().Points.size() > 2)
            CommitCadastralObject();
        else
            commitFigure(w);
    }
    endFigure(w);
    w.RedrawMap();
}

void editDblClick(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    const TSelObject &hit = w.FSnapHit;
    const VertexEdit e = editDoubleClick(hit, w.nPointIns->isChecked(), w.nPointDel->isChecked(),
                                         layerEditable(w, currentLayer(w)), layerEditable(w, hit.Layer),
                                         currentMapType(w));
    switch (e) {
    case VertexEdit::Insert:
        m.InsertVertex(hit.Layer, hit.Index, hit.VertexIndex, m.Drag().CursorX, m.Drag().CursorY);
        w.RedrawMap();
        break;
    case VertexEdit::Delete:
        m.DeleteVertex(hit.Layer, hit.Index, hit.VertexIndex);
        w.RedrawMap();
        break;
    case VertexEdit::Hook: {
        const bool redraw = hit.OnVertex ? DeleteCadastralVertex()
                                         : InsertCadastralVertex(hit.Layer, hit.Index, hit.VertexIndex, hit.OnSegment,
                                                                 hit.OnVertex, hit.ObjectID, QString());
        if (redraw)
            w.RedrawMap();
        break;
    }
    case VertexEdit::None:
        break;
    }
}

void pickDblClick(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    const int layer = currentLayer(w);
    const std::vector<TSelObject> &entries = m.Selection().Entries;
    if (entries.size() != 1 || !layerEditable(w, layer) || entries.front().Layer != layer)
        return;
    TMapLayer &L = m.Project().Layers[static_cast<size_t>(layer)];
    if (L.ObjType != otImages)
        return;
    TMapExtent box;
    if (!dialogs::dialogSeams().RegisterImage(layer, entries.front().Index, box.X1, box.Y1, box.X2, box.Y2))
        return;
    L.Edited = true;
    w.ZoomToExtent(box.X1, box.Y1, box.X2, box.Y2);
}

void rulerDblClick(TTolvane &w)
{
    TMapVyk &m = *w.MapImage;
    if (!w.TbLen->isChecked() || !w.TBPointsNew->isChecked() || !m.Drag().Drawing)
        return;
    // The line disappears; nothing is stored.
    endFigure(w);
    m.FitToParent();
}

// The picture point of a pixel of the control.
QPointF picturePoint(const TMapVyk &m, double x, double y)
{
    return QPointF(x * m.View().UnitsPerPixelX, -y * m.View().UnitsPerPixelY);
}

// Where a pixel of the control lies: on the picture, rounded as the label
// tools keep it, and on the map (the map point keeps its old value where the
// view gives none).
void pixelPlace(const TMapVyk &m, int x, int y, std::int32_t &pictureX, std::int32_t &pictureY, double &mapX,
                double &mapY)
{
    const QPointF picture = picturePoint(m, x, y);
    pictureX = platform::roundToInt(picture.x());
    pictureY = platform::roundToInt(picture.y());
    TMapPoint point{mapX, mapY, 0};
    m.LogicalToMap(picture, point);
    mapX = point.X;
    mapY = point.Y;
}

// Draws a picture of the image list with its top-left corner at a pixel of
// the control, over what is there (only inside the control).
void drawListImage(TTolvane &w, Canvas &c, int index, int left, int top, int px, int py)
{
    TMapVyk &m = *w.MapImage;
    if (px < 0 || py < 0 || px > m.ClientWidth() || py > m.ClientHeight())
        return;
    const QPixmap pixmap = w.MapImageList(index).pixmap(16, 16);
    if (pixmap.isNull())
        return;
    const QImage &pixels = m.PictureBitmap().pixels();
    QImage under = pixels.copy(left, top, pixmap.width(), pixmap.height())
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&under);
        p.drawPixmap(0, 0, pixmap);
    }
    c.bitBlt(left, top, under.width(), under.height(), under, 0, 0, SRCCOPY);
}

} // namespace

// ---------------------------------------------------------------------------
// Handlers

void TTolvane::MapImageMouseDown(Qt::MouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Button;
    TMapVyk &m = *MapImage;
    // The start of a right-button pan: the plain map to shift.
    if (Shift.has(ssRight) && !Shift.has(ssDouble))
        m.SnapshotView();
    m.Drag().MouseDown = true;
    m.Drag().PressX = X;
    m.Drag().PressY = Y;
    pixelPlace(m, X, Y, m.Drag().LabelPressX, m.Drag().LabelPressY, m.Drag().PressMapX, m.Drag().PressMapY);
    FPressScale = m.View().Scale;

    for (Branch b : branchesFor(Handler::Down, toolStates(*this))) {
        switch (b) {
        case Branch::Label: labelDown(*this, Shift, X, Y); break;
        case Branch::Draw: drawDown(*this, Shift, X, Y); break;
        case Branch::Edit: editDown(*this, Shift); break;
        case Branch::PickSelect: pickDown(*this, Shift); break;
        case Branch::Info: infoDown(*this, Shift); break;
        case Branch::Ruler: rulerDown(*this, Shift); break;
        case Branch::Zoom: toolCursor(*this, zoomPressCursor(m.Drag().ZoomDown, Shift)); break;
        }
        if (b != Branch::Zoom && Shift.has(ssRight))
            toolCursor(*this, crHand);
    }
}

void TTolvane::MapImageMouseMove(TShiftState Shift, int X, int Y)
{
    TMapVyk &m = *MapImage;
    // No edit field of a tool bar keeps the keyboard while the mouse is over
    // the map.
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()); edit && isAncestorOf(edit))
        edit->clearFocus();
    m.Panels().InformPanel = tbInfo->isChecked();
    m.Panels().ZoomPanel = PBZoom->isChecked();
    m.Drag().ZoomDown = TBZoom->isChecked();
    m.Drag().MoveDown = TBMove->isChecked();
    m.Panels().PickPanel = PBPick->isChecked();
    m.Panels().SelectPanel = pbSelect->isChecked();
    m.Drag().MoveX = X;
    m.Drag().MoveY = Y;
    pixelPlace(m, X, Y, m.Drag().LabelMoveX, m.Drag().LabelMoveY, m.Drag().CursorX, m.Drag().CursorY);
    FMoveScale = m.View().Scale;

    for (Branch b : branchesFor(Handler::Move, toolStates(*this))) {
        switch (b) {
        case Branch::Label: labelMove(*this, Shift, X, Y); break;
        case Branch::Draw: drawMove(*this, Shift, X, Y); break;
        case Branch::Edit: editMove(*this, Shift, X, Y); break;
        case Branch::PickSelect: pickMove(*this, Shift, X, Y); break;
        case Branch::Info:
            toolCursor(*this, Shift.has(ssRight) ? crHand : crInfo);
            followMouse(*this, Shift, X, Y);
            break;
        case Branch::Ruler:
            if (!Shift.has(ssRight) && m.Drag().Drawing) {
                QString text;
                m.DrawRulerMeasures(text);
                setStatus4(*this, text);
            }
            toolCursor(*this, Shift.has(ssRight) ? crHand : crPolygonLine);
            followMouse(*this, Shift, X, Y);
            break;
        case Branch::Zoom: zoomMoveBranch(*this, Shift, X, Y); break;
        }
    }
    m.Drag().MouseX = X;
    m.Drag().MouseY = Y;
    const QPointF shown = picturePoint(m, X, Y);
    ShowStatusText(shown.x(), shown.y());
}

void TTolvane::MapImageMouseUp(Qt::MouseButton Button, TShiftState Shift, int X, int Y)
{
    TMapVyk &m = *MapImage;
    for (Branch b : branchesFor(Handler::Up, toolStates(*this))) {
        switch (b) {
        case Branch::Label: labelUp(*this, Button, Shift, X, Y); break;
        case Branch::Draw: drawUp(*this, Button); break;
        case Branch::Edit: editUp(*this, Button, Shift); break;
        case Branch::PickSelect: pickUp(*this, Button, Shift, X, Y); break;
        case Branch::Info:
            rightPan(*this, Button, false);
            m.Drag().MouseDown = false;
            toolCursor(*this, crInfo);
            break;
        case Branch::Ruler:
            rightPan(*this, Button, false);
            m.Drag().MouseDown = false;
            toolCursor(*this, crPolygonLine);
            break;
        case Branch::Zoom: zoomUp(*this, Button, Shift); break;
        }
    }
    const QPointF shown = picturePoint(m, X, Y);
    ShowStatusText(shown.x(), shown.y());
}

void TTolvane::MapImageDblClick()
{
    for (Branch b : branchesFor(Handler::DblClick, toolStates(*this))) {
        switch (b) {
        case Branch::Draw: drawDblClick(*this); break;
        case Branch::Edit: editDblClick(*this); break;
        case Branch::PickSelect: pickDblClick(*this); break;
        case Branch::Ruler: rulerDblClick(*this); break;
        default: break;
        }
    }
}

// ---------------------------------------------------------------------------
// Searches

std::vector<int> TTolvane::PickingOrder() const
{
    std::vector<int> order;
    for (int row = ListLayers->topLevelItemCount() - 1; row >= 0; --row)
        order.push_back(ListLayerIndex(row));
    return order;
}

TSelObject TTolvane::SnapToLayers(Byte mode, double x, double y)
{
    TMapVyk &m = *MapImage;
    // The figure's own points count while it is digitized.
    const TNewObject *figure = pbDraw->isChecked() && m.Drag().Drawing ? &m.NewObject() : nullptr;
    return m.SnapToLayers(mode, x, y, PickingOrder(), currentLayer(*this), figure);
}

void TTolvane::SelectInRectangle(Qt::MouseButton, TShiftState Shift, double x1, double y1, double x2, double y2)
{
    MapImage->SelectInRectangle(Shift.keys(), x1, y1, x2, y2, PickingOrder());
}

TLabelEntry TTolvane::FindLabelAt(double x, double y)
{
    return findLabelAt(*MapImage, currentLayer(*this), x, y);
}

void TTolvane::SelectLabelsInRectangle(Qt::MouseButton, TShiftState Shift, double x1, double y1, double x2,
                                       double y2)
{
    selectLabelsInRectangle(*MapImage, currentLayer(*this), Shift, x1, y1, x2, y2);
}

// ---------------------------------------------------------------------------
// The drawing kind

QAction *TTolvane::DrawKindItem() const
{
    return FDrawKind ? FDrawKind : nDrawPolygon;
}

// ---------------------------------------------------------------------------
// Marks of the selection

void TTolvane::DrawPickedObjects()
{
    using namespace mapengine::detail;
    TMapVyk &m = *MapImage;
    m.FitToParent();
    const int width = m.ClientWidth(), height = m.ClientHeight();
    if (width <= 0 || height <= 0)
        return;
    TMapPoint viewMin, viewMax;
    m.LogicalToMap(QPointF(0, -m.View().PictureHeight), viewMin);
    m.LogicalToMap(QPointF(m.View().PictureWidth, 0), viewMax);

    Metafile marks(screenMetrics());
    marks.setSizeInPixels(width, height);
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool first = true;
    {
        MetafileCanvas mc(marks);
        mc.setMapMode(MM_HIMETRIC);
        const Brush noBrush{BS_NULL, rgb(255, 255, 255), HS_HORIZONTAL};
        const Pen black{PS_SOLID, 0, rgb(0, 0, 0)};
        const Pen blue{PS_SOLID, 70, rgb(0, 0, 255)};
        auto square = [&](const QPoint &p) { mc.rectangle(Rect{p.x() - 100, p.y() + 100, p.x() + 100, p.y() - 100}); };
        for (size_t r = 0; r < m.Selection().Entries.size(); ++r) {
            const TSelObject e = m.Selection().Entries[r];
            TShpObject shape;
            m.ReadObject(e.Layer, e.Index, shape);
            if (first) {
                minX = shape.XMin;
                minY = shape.YMin;
                maxX = shape.XMax;
                maxY = shape.YMax;
                first = false;
            } else {
                minX = std::min(minX, shape.XMin);
                minY = std::min(minY, shape.YMin);
                maxX = std::max(maxX, shape.XMax);
                maxY = std::max(maxY, shape.YMax);
            }
            const bool overlaps = shape.XMax >= viewMin.X && shape.XMin <= viewMax.X && shape.YMax >= viewMin.Y &&
                                  shape.YMin <= viewMax.Y;
            if (!overlaps || shape.Parts.empty())
                continue;
            const bool hasFirst = !shape.Parts.front().Points.empty();
            const QPoint firstPoint = hasFirst ? m.MapToLogical(shape.Parts.front().Points.front().X,
                                                                shape.Parts.front().Points.front().Y)
                                               : QPoint();
            mc.setRop2(R2_COPYPEN);
            mc.setPen(black);
            mc.setBrush(noBrush);
            if (hasFirst)
                square(firstPoint);
            mc.setPen(blue);
            mc.setRop2(R2_XORPEN);
            const int t = shape.ShapeType;
            bool firstPart = true;
            for (const TShpParts &part : shape.Parts) {
                std::vector<QPoint> points;
                points.reserve(part.Points.size());
                for (const TShpPoint &p : part.Points)
                    points.push_back(m.MapToLogical(p.X, p.Y));
                if (firstPart && !points.empty())
                    square(points.front());
                firstPart = false;
                if (points.empty())
                    continue;
                if (t == 1 || t == 11 || t == 21) {
                    m.DrawVertexBoxes(mc, points);
                } else if (t == 3 || t == 13 || t == 23) {
                    mc.polyline(points);
                } else if (t == 5 || t == 15 || t == 25) {
                    mc.setBrush(Brush{BS_SOLID, rgb(0, 0, 255), HS_HORIZONTAL});
                    m.FillPolygon(mc, points, 1, blue.width);
                    mc.setBrush(noBrush);
                }
            }
        }
        mc.finish();
    }
    TSelObjects &s = m.Selection();
    s.MinX = minX;
    s.MinY = minY;
    s.MaxX = maxX;
    s.MaxY = maxY;
    s.CenterX = minX + (maxX - minX) / 2;
    s.CenterY = minY + (maxY - minY) / 2;

    Canvas &c = m.ControlCanvas();
    setMapMode(c, MM_TEXT);
    c.drawMetafile(marks, Rect{0, 0, marks.width(), marks.height()});
    if (m.Panels().PickPanel && !s.Entries.empty() && m.View().UnitsPerPixelX != 0 && m.View().UnitsPerPixelY != 0) {
        auto pixel = [&](double x, double y) {
            const QPoint l = m.MapToLogical(x, y);
            return QPoint(nint(l.x() / m.View().UnitsPerPixelX), nint(-l.y() / m.View().UnitsPerPixelY));
        };
        const double midX = s.MinX + (s.MaxX - s.MinX) / 2, midY = s.MinY + (s.MaxY - s.MinY) / 2;
        if (s.FrameMode == 0) {
            const QPoint handles[8] = {pixel(s.MinX, s.MinY), pixel(s.MinX, midY),   pixel(s.MinX, s.MaxY),
                                       pixel(midX, s.MaxY),   pixel(s.MaxX, s.MaxY), pixel(s.MaxX, midY),
                                       pixel(s.MaxX, s.MinY), pixel(midX, s.MinY)};
            for (const QPoint &p : handles)
                drawListImage(*this, c, 97, p.x() - 7, p.y() - 7, p.x(), p.y());
            const QPoint centre = pixel(midX, midY);
            drawListImage(*this, c, 96, centre.x() - 7, centre.y() - 7, centre.x(), centre.y());
        } else {
            const QPoint a = pixel(s.MinX, s.MinY), b = pixel(s.MaxX, s.MinY), d = pixel(s.MaxX, s.MaxY),
                         e = pixel(s.MinX, s.MaxY);
            drawListImage(*this, c, 54, a.x(), a.y() - 15, a.x(), a.y());
            drawListImage(*this, c, 56, b.x() - 15, b.y() - 15, b.x(), b.y());
            drawListImage(*this, c, 59, d.x() - 15, d.y(), d.x(), d.y());
            drawListImage(*this, c, 57, e.x(), e.y(), e.x(), e.y());
            for (const QPoint &p : {pixel(s.MinX, midY), pixel(s.MaxX, midY)})
                drawListImage(*this, c, 55, p.x() - 7, p.y() - 7, p.x(), p.y());
            for (const QPoint &p : {pixel(midX, s.MinY), pixel(midX, s.MaxY)})
                drawListImage(*this, c, 58, p.x() - 7, p.y() - 7, p.x(), p.y());
            // A pivot of (0, 0) stands for the middle of the selection.
            const bool unset = s.PivotX == 0 && s.PivotY == 0;
            const QPoint pivot = unset ? pixel(midX, midY) : pixel(s.PivotX, s.PivotY);
            drawListImage(*this, c, 98, pivot.x() - 7, pivot.y() - 7, pivot.x(), pivot.y());
        }
    }
    m.PictureBitmap().releaseCanvas();
    m.repaint();
}

void TTolvane::DrawPivotMark()
{
    using namespace mapengine::detail;
    TMapVyk &m = *MapImage;
    // The plain map from the back buffer, the mark over it.
    Canvas &c = beginOverlay(m);
    setMapMode(c, MM_TEXT);
    if (m.View().UnitsPerPixelX != 0 && m.View().UnitsPerPixelY != 0) {
        const QPoint l = m.MapToLogical(m.Selection().PivotX, m.Selection().PivotY);
        const QPoint p(nint(l.x() / m.View().UnitsPerPixelX), nint(-l.y() / m.View().UnitsPerPixelY));
        drawListImage(*this, c, 98, p.x() - 7, p.y() - 7, p.x(), p.y());
    }
    m.PictureBitmap().releaseCanvas();
    m.repaint();
}
