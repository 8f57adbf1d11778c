#include "app/FTolvane.h"

#include "app/Application.h"
#include "app/CommandErrors.h"
#include "app/FFirstOpen.h"
#include "app/FStart.h"
#include "app/HostHooks.h"
#include "dialogs/FFind.h"
#include "dialogs/MapWindowHost.h"
#include "geodesy/LayerProjection.h"
#include "geodesy/Projector.h"
#include "mapdata/MapFunctions.h"
#include "mapdata/ProjectFile.h"
#include "mapdata/ui/FormTranslation.h"
#include "mapengine/ScreenCursors.h"
#include "platform/ui/FormClass.h"
#include "platform/gdi/CursorFile.h"
#include "platform/Paths.h"
#include "platform/db/Table.h"
#include "platform/gdi/Canvas.h"
#include "mapreports/MapPage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

TTolvane *Tolvane = nullptr;

TTolvane *EnsureMapWindow()
{
    if (Tolvane)
        return Tolvane;
    if (Start)
        return Start->EnsureMapWindow();
    auto *w = new TTolvane();
    w->show();
    return w;
}

// The application's message hook: sees the mouse messages of every widget.
class TTolvane::ApplicationEvents : public QObject {
public:
    explicit ApplicationEvents(TTolvane *window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::MouseMove:
            window_->ApplicationEvents1Message(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            break;
        case QEvent::Enter:
        case QEvent::Leave:
            // Every widget hears these, tracked or not: the panel also follows
            // a mouse that enters a control without mouse tracking or leaves.
            window_->ApplicationEvents1Message(QCursor::pos());
            break;
        default:
            break;
        }
        return false;   // never handled here
    }

private:
    TTolvane *window_;
};

namespace {
// The product's key under the local machine: "\SOFTWARE\" + "Tolvane 2".
QString productKey(const TMapVyk &map)
{
    return QStringLiteral("\\SOFTWARE\\") + map.Settings().RegistryKey;
}
} // namespace

TTolvane::TTolvane(QWidget *parent) : QMdiSubWindow(parent)
{
    Tolvane = this;
    setObjectName(QStringLiteral("Tolvane"));
    platform::tagForm(this, "TTolvane", "TForm");
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();

    // FormCreate
    // 1. The style tool bars show only for an object that needs them.
    ToolBarText->hide();
    ToolBarPoints->hide();
    ToolBarSymbol->hide();
    ToolBarPick->hide();
    // 2.
    InitProductSettings(*this);
    // 3. The default projection: transverse Mercator on the Krassovsky
    // ellipsoid, central meridian 33° E.
    FProjector = std::make_unique<geodesy::TProjector>();
    FProjector->Reset();
    FProjector->Params.clear();
    FProjector->Params << QStringLiteral("proj=tmerc") << QStringLiteral("ellps=krass") << QStringLiteral("units=m")
                       << QStringLiteral("lon_0=33d0E") << QStringLiteral("lat_0=0d0N") << QStringLiteral("k=1")
                       << QStringLiteral("x_0=6500000") << QStringLiteral("y_0=0");
    FProjector->Apply();
    // The layers' own projections go through the same library.
    FLayerProjections = std::make_unique<geodesy::LayerProjectionLibrary>();
    MapImage->setProjectionLibrary(FLayerProjections.get());
    // 4.
    ToolBarMain->show();
    ToolBarZoom->show();
    // 5.-7. The work folder and the switches.
    const QString key = productKey(*MapImage);
    MapImage->SetWorkDir(MapFunctions::ReadMachineRegString(key, QStringLiteral("TempDir"), QString()));
    MapImage->Settings().Caching = false;
    MapImage->Settings().Compatibility = true;
    MapImage->Settings().WheelReversed =
        MapFunctions::ReadMachineRegString(key, QStringLiteral("TypeWheel"), QStringLiteral("0")) == u"1";
    if (MapImage->WorkDir().isEmpty())
        MapImage->SetWorkDir(QDir::currentPath());
    // 8.
    MapImage->SetProjectFile(QString());
    setWindowTitle(MapImage->ProjectFile());
    // 9. The back buffer and the window take the screen's size.
    const platform::gdi::DeviceMetrics screen = platform::gdi::screenMetrics();
    MapImage->BackBuffer().setSize(screen.horzRes, screen.vertRes);
    setGeometry(0, 0, screen.horzRes, screen.vertRes);
    // 10.
    MapImage->SetBlockSize(100);
    MapImage->SetJournalPos(0);
    MapImage->SetJournalCount(0);
    MapImage->SetTemplateFound(false);
    // 11. The object template for new text and symbol objects.
    TTextRecord &t = MapImage->Template();
    t.FontName = QStringLiteral("Arial Cyr");
    t.FontSize = 10;
    t.FontStyle = 0;
    t.Rotate = 0;
    t.Transparent = 0;
    t.Symbol = u'l';
    t.Reserved291 = 0;
    t.TextColor = 0;
    t.BgTextColor = 0xFFFFFF;
    t.TextAlign = 0;
    t.Reserved307 = 0;
    t.Reserved311 = 0;
    // 12.
    FResizeCount = 0;
    ControlBar->setFixedHeight(82);
    // 13. The search window, made with the map window and kept for the run
    // (the layer-properties dialog comes with its subsystem).
    InstallMapHost();
    FindTolvane();
    // 14.
    MapFunctions::TranslateForm(objectName());

    fDBF = std::make_unique<platform::db::Table>();
    ApplicationEvents1 = new ApplicationEvents(this);
    ApplicationEvents1->setObjectName(QStringLiteral("ApplicationEvents1"));
    qApp->installEventFilter(ApplicationEvents1);
}

TTolvane::~TTolvane()
{
    // The library goes before the control does.
    MapImage->setProjectionLibrary(nullptr);
    RemoveMapHost();
    if (Tolvane == this)
        Tolvane = nullptr;
}

bool TTolvane::IsActiveForm() const
{
    if (!isVisible())
        return false;
    if (QMdiArea *area = mdiArea(); area && area->activeSubWindow() != this)
        return false;
    return window()->isActiveWindow();
}

// ---------------------------------------------------------------------------
// Showing, activation, resizing, closing

void TTolvane::showEvent(QShowEvent *event)
{
    QMdiSubWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TTolvane::FormShow()
{
    static const std::pair<int, const char *> cursors[] = {
        {10, "zoomin"},      {11, "zoomout"},     {12, "handmove"},    {15, "info"},
        {16, "pointsins"},   {20, "pick"},        {21, "rotate"},      {22, "rotateleft"},
        {23, "rotatetop"},   {25, "pickcopy"},    {30, "polygon"},     {31, "polygonline"},
        {32, "polygonedit"}, {33, "polygonmove"}, {40, "pointnew"}};
    // A missing or unreadable file leaves its slot as it was.
    for (const auto &[number, name] : cursors) {
        const std::optional<QCursor> cursor = platform::loadCursorFile(
            MapImage->ProgramDir() + QStringLiteral("\\cur\\") + QString::fromLatin1(name) + QStringLiteral(".cur"));
        if (cursor)
            mapengine::setScreenCursor(number, *cursor);
    }
    HideCadastralMenus(*this);
}

bool TTolvane::event(QEvent *event)
{
    const bool result = QMdiSubWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return result;
}

void TTolvane::FormActivate()
{
    if (!FActivated) {
        FActivated = true;
        QString name = MapFunctions::ReadMachineRegString(productKey(*MapImage), QStringLiteral("LastOpenTvpFile"),
                                                          QString());
        if (!platform::fileExists(name))
            name.clear();
        if (name.isEmpty()) {
            FirstOpenWindow()->show();
        } else {
            // A file that is no project is reported and named nowhere.
            if (app::runCommand([&] { projectfile::checkProjectFile(name); })) {
                MapImage->SetProjectFile(name);
                ReadProject(name);
            }
            RebuildLayerList(true);
            if (!MapImage->Project().Layers.empty())
                ShowActiveLayerRow(MapImage->Project().ActiveLayer);
            MapImage->ResetPicture();
            // The status bar's visible size needs the measured picture.
            ShowStatusText(0, 0);
            RedrawMap();
        }
    }
    UpdateToolButtons();
}

void TTolvane::resizeEvent(QResizeEvent *event)
{
    QMdiSubWindow::resizeEvent(event);
    FormResize();
}

void TTolvane::FormResize()
{
    // The first resize events come from building and placing the window; only
    // later ones are the user's, and they keep the extent in view. Placing
    // ends with the first activation at the latest: Qt places a window with
    // fewer than the five resize events passed over, and the user's first
    // resizes would leave the map drawn over the old size only.
    if (IsActiveForm() && !MapImage->Project().Layers.empty() && (FResizeCount > 4 || FActivated)) {
        TMapPoint lowerLeft, upperRight;
        MapImage->LogicalToMap(QPointF(0, -MapImage->View().PictureHeight), lowerLeft);
        MapImage->LogicalToMap(QPointF(MapImage->View().PictureWidth, 0), upperRight);
        MapImage->FitToParent();
        MapImage->ResetPicture();
        ZoomToExtent(lowerLeft.X, lowerLeft.Y, upperRight.X, upperRight.Y);
    }
    ++FResizeCount;
}

void TTolvane::closeEvent(QCloseEvent *event)
{
    // Closing the map window only minimizes it: it lives for the whole run.
    FormClose();
    event->ignore();
    showMinimized();
}

void TTolvane::FormClose() {}
void TTolvane::FormDestroy() {}
void TTolvane::FormKeyUp() {}

// ---------------------------------------------------------------------------
// The message hook: the drop-down layers panel

bool TTolvane::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (watched == LVLayer->viewport())
            LVLayerMouseMove(me->position().toPoint());
        else if (watched == ListLayers->viewport())
            ListLayersMouseMove(me->position().toPoint());
        break;
    }
    case QEvent::MouseButtonPress:
        if (watched == ListLayers->viewport())
            ListLayersMouseDown();
        break;
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton) {
            if (watched == ListLayers->viewport())
                ListLayersClick();
            else if (watched == LVLayer->viewport())
                LVLayerClick();
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (watched == ListLayers->viewport()) {
            ListLayersDblClick();
            return true;
        }
        if (watched == LVLayer->viewport()) {
            LVLayerDblClick();
            return true;
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (watched == ListLayers->viewport()) {
            auto *de = static_cast<QDragMoveEvent *>(event);
            if (ListLayersDragOver(de->source(), de->position().toPoint()))
                de->acceptProposedAction();
            else
                de->ignore();
            return true;
        }
        break;
    case QEvent::Drop:
        if (watched == ListLayers->viewport()) {
            auto *de = static_cast<QDropEvent *>(event);
            ListLayersDragDrop(de->source(), de->position().toPoint());
            // Rows are moved by the window itself; the view must not remove
            // the dragged row as after a move.
            de->setDropAction(Qt::CopyAction);
            de->accept();
            return true;
        }
        break;
    case QEvent::KeyRelease:
        if (watched == EditScale)
            EditScaleKeyUp(static_cast<QKeyEvent *>(event)->key());
        break;
    case QEvent::Wheel:
        if (watched == MapImage) {
            auto *we = static_cast<QWheelEvent *>(event);
            FormMouseWheel(we->angleDelta().y(), we->modifiers() & Qt::ShiftModifier);
            return true;
        }
        break;
    default:
        break;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void TTolvane::wheelEvent(QWheelEvent *event)
{
    FormMouseWheel(event->angleDelta().y(), event->modifiers() & Qt::ShiftModifier);
    event->accept();
}

void TTolvane::ApplicationEvents1Message(const QPoint &globalPos)
{
    if (!IsActiveForm() || MapImage->Project().Layers.empty())
        return;
    if (LayersPanelHitTest(globalPos)) {
        // The row's own position inside its panel, taken as a point of the
        // row and brought to the window: with the row at (2, 2) the panel
        // opens 2 pixels left of the row and 2 pixels below it.
        const QPoint p = LVLayer->mapTo(widget(), QPoint(LVLayer->x(), LVLayer->y() + LVLayer->height()));
        const bool wasHidden = MapLayersPanel->isHidden();
        MapLayersPanel->move(p.x() - 4, p.y());
        if (wasHidden)
            SizeLayersPanel();
        MapLayersPanel->show();
        MapLayersPanel->raise();
    } else {
        MapLayersPanel->hide();
    }
}

// ---------------------------------------------------------------------------
// Enabling of the edit commands

namespace {
bool validLayerIndex(const TMapProject &p, int index)
{
    return index >= 0 && static_cast<size_t>(index) < p.Layers.size();
}
} // namespace

void TTolvane::MainMenu1Change()
{
    const TMapProject &project = MapImage->Project();
    const auto &selection = MapImage->Selection().Entries;
    const int active = project.ActiveLayer;
    const bool activeValid = validLayerIndex(project, active);
    const bool pick = PBPick->isChecked();
    const size_t selected = selection.size();

    mSplit->setEnabled(pick && selected > 1);
    mUnSplit->setEnabled(pick && selected >= 1);
    mRevase->setEnabled(pick && selected >= 1);
    nSatistic->setEnabled(selected >= 1);
    nObjectNew->setEnabled(activeValid && project.Layers[active].MapType != 2);
    nObjectEdit->setEnabled(selected == 1 && validLayerIndex(project, selection[0].Layer) &&
                            project.Layers[selection[0].Layer].MapType != 2);
    bool buffers = activeValid && pick && selected >= 1;
    if (buffers) {
        const TMapLayer &layer = project.Layers[active];
        buffers = layer.MapType == 8 || (layer.MapType == 1 && (layer.ObjType == 2 || layer.ObjType == 3));
    }
    mBufferForPoly->setEnabled(buffers);
    mBufferForLine->setEnabled(buffers);
    mBufferForPoint->setEnabled(buffers);
    // The first selected object's layer is looked up only when it exists.
    mObjectDelete->setEnabled(selected >= 1 && !(validLayerIndex(project, selection[0].Layer) &&
                                                 project.Layers[selection[0].Layer].MapType == 2));
}

// ---------------------------------------------------------------------------
// Window and help commands

void TTolvane::nHelpClick()
{
    // The help file has no viewer on this platform; the topic is kept so that
    // a viewer can be attached.
    FLastHelpTopic = QStringLiteral("projects");
}

void TTolvane::nAboutClick() {}

void TTolvane::wOrderClick()
{
    ShowHostWindow(QStringLiteral("Order"));
}

void TTolvane::wCertificateClick()
{
    ShowHostWindow(QStringLiteral("Certificate"));
}

void TTolvane::N116Click()
{
    ShowHostWindow(QStringLiteral("Main"));
}

void TTolvane::wBuildingClick()
{
    ShowHostWindow(QStringLiteral("Building"));
}

void TTolvane::N117Click()
{
    ShowHostWindow(QStringLiteral("TechDoc"));
}

void TTolvane::N123Click()
{
    ShowHostWindow(QStringLiteral("Gosakt"));
}

void TTolvane::N126Click()
{
    ShowHostWindow(QStringLiteral("Lease"));
}

void TTolvane::wBookRegClick()
{
    ShowHostWindow(QStringLiteral("BookReg"));
}

void TTolvane::N125Click()
{
    ShowHostWindow(QStringLiteral("RegCard"));
}

void TTolvane::N89Click()
{
    ShowHostWindow(QStringLiteral("Estimate"));
}

void TTolvane::N127Click() {}

void TTolvane::N17Click()
{
    ShowHostWindow(QStringLiteral("Cascade"));
}

void TTolvane::N128Click()
{
    ShowHostWindow(QStringLiteral("ArrangeIcons"));
}

void TTolvane::N11Click()
{
    ShowHostWindow(QStringLiteral("Vertical"));
}

void TTolvane::N55Click()
{
    ShowHostWindow(QStringLiteral("Horizontal"));
}
