#include "reports/ui/DockWidgets.h"

#include "platform/ui/FormClass.h"
#include "reports/ui/SpeedButton.h"

#include <QChildEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <qdrawutil.h>

#include <algorithm>

namespace reports {

using docking::Align;
using docking::DockSide;

namespace {

constexpr char kAlignProperty[] = "frAlign";
constexpr int kGripSize = 11;

// The widgets a panel lays out: its child widgets that are no windows.
std::vector<QWidget *> childControls(const QWidget *parent)
{
    std::vector<QWidget *> out;
    for (QObject *o : parent->children())
        if (auto *w = qobject_cast<QWidget *>(o); w && !w->isWindow())
            out.push_back(w);
    return out;
}

std::vector<TfrDock *> docksOf(const QWidget *form)
{
    std::vector<TfrDock *> out;
    for (QWidget *w : childControls(form))
        if (auto *dock = dynamic_cast<TfrDock *>(w))
            out.push_back(dock);
    return out;
}

// The owner's dock of that name. The widgets declare no meta-object of their
// own, so a dock is told by its C++ type, not by qobject_cast.
TfrDock *findDock(const QWidget *owner, const QString &name)
{
    if (!owner || name.isEmpty())
        return nullptr;
    for (QWidget *w : owner->findChildren<QWidget *>(name))
        if (auto *dock = dynamic_cast<TfrDock *>(w))
            return dock;
    return nullptr;
}

void fillFace(QWidget *w, QPainter &painter) { painter.fillRect(w->rect(), w->palette().color(QPalette::Button)); }

} // namespace

docking::Align controlAlign(const QWidget *control)
{
    const QVariant v = control->property(kAlignProperty);
    return v.isValid() ? static_cast<Align>(v.toInt()) : Align::None;
}

void setControlAlign(QWidget *control, docking::Align align)
{
    control->setProperty(kAlignProperty, static_cast<int>(align));
}

// ---------------------------------------------------------------- docks

TfrDock::TfrDock(QWidget *form, docking::DockSide side) : QWidget(form), side_(side)
{
    if (Horizontal())
        resize(form ? form->width() : 1, 1);
    else
        resize(1, form ? form->height() : 1);
    if (form) {
        // The dock keeps to its edge of the form as the form is resized.
        form->installEventFilter(this);
        alignDocks(form);
    }
}

docking::Dock TfrDock::Geometry() const
{
    docking::Dock dock;
    dock.side = side_;
    dock.bounds = geometry();
    dock.rowSize = RowSize;
    for (QWidget *w : childControls(this))
        dock.bars.push_back({w->geometry(), !w->isHidden()});
    return dock;
}

void TfrDock::AdjustBounds()
{
    docking::Dock dock = Geometry();
    docking::AdjustBounds(dock);
    const std::vector<QWidget *> bars = childControls(this);
    for (size_t i = 0; i < bars.size(); ++i)
        bars[i]->move(dock.bars[i].bounds.topLeft());
    setGeometry(dock.bounds);
    if (parentWidget())
        alignDocks(parentWidget());
}

void TfrDock::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    fillFace(this, painter);
}

bool TfrDock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        alignDocks(parentWidget());
    return QWidget::eventFilter(watched, event);
}

QRect alignDocks(QWidget *form)
{
    QRect room = form->rect();
    const std::vector<TfrDock *> docks = docksOf(form);
    // Top and bottom docks first, across the whole width; the side docks in
    // what they leave.
    for (bool horizontal : {true, false}) {
        for (TfrDock *dock : docks) {
            if (dock->isHidden() || dock->Horizontal() != horizontal)
                continue;
            const int depth = horizontal ? dock->height() : dock->width();
            switch (dock->Side()) {
            case DockSide::Top:
                dock->setGeometry(room.left(), room.top(), room.width(), depth);
                room.setTop(room.top() + depth);
                break;
            case DockSide::Bottom:
                dock->setGeometry(room.left(), room.top() + room.height() - depth, room.width(), depth);
                room.setHeight(room.height() - depth);
                break;
            case DockSide::Left:
                dock->setGeometry(room.left(), room.top(), depth, room.height());
                room.setLeft(room.left() + depth);
                break;
            case DockSide::Right:
                dock->setGeometry(room.left() + room.width() - depth, room.top(), depth, room.height());
                room.setWidth(room.width() - depth);
                break;
            }
        }
    }
    return room;
}

// ---------------------------------------------------------------- grip, panel

TfrDragBox::TfrDragBox(TfrToolBar *bar) : QWidget(bar)
{
    setObjectName(QStringLiteral("DragBox"));
    resize(kGripSize, kGripSize);
    setControlAlign(this, Align::Left);
    // Presses fall through to the toolbar, which does the dragging.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TfrDragBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    fillFace(this, painter);
    // Two raised bars, 3 pixels wide, along the toolbar's leading edge.
    const bool across = controlAlign(this) == Align::Left || controlAlign(this) == Align::Right;
    for (int at : {2, 5}) {
        const QRect bar = across ? QRect(at, 2, 3, height() - 4) : QRect(2, at, width() - 4, 3);
        qDrawShadePanel(&painter, bar, palette(), false, 1);
    }
}

TfrTBPanel::TfrTBPanel(QWidget *parent) : QWidget(parent) { resize(8, 8); }

void TfrTBPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    fillFace(this, painter);
}

// ---------------------------------------------------------------- toolbar

TfrToolBar::TfrToolBar(QWidget *parent) : QWidget(parent)
{
    resize(100, 26);
    if (auto *dock = dynamic_cast<TfrDock *>(parent))
        owner_ = dock->parentWidget();
    dragBox_ = new TfrDragBox(this);
}

TfrToolBar::~TfrToolBar()
{
    // A floating toolbar takes its window with it.
    if (TfrFloatWindow *window = floatWindow_) {
        floatWindow_ = nullptr;
        window->bar_ = nullptr;
        window->hide();
        window->deleteLater();
    }
}

TfrDock *TfrToolBar::Dock() const { return floating_ ? nullptr : dynamic_cast<TfrDock *>(parentWidget()); }

bool TfrToolBar::Vertical() const
{
    const TfrDock *dock = Dock();
    return dock && !dock->Horizontal();
}

std::vector<QWidget *> TfrToolBar::controls() const
{
    std::vector<QWidget *> all = childControls(this);
    if (all.size() > static_cast<size_t>(docking::MaxBarControls))
        all.resize(docking::MaxBarControls);
    return all;
}

void TfrToolBar::alignChildren()
{
    if (aligning_)
        return;
    aligning_ = true;
    const std::vector<QWidget *> list = controls();
    std::vector<docking::BarControl> bars;
    int end = 0;
    for (QWidget *w : list)
        end = std::max(end, Vertical() ? w->y() + w->height() : w->x() + w->width());
    for (size_t i = 0; i < list.size(); ++i) {
        QWidget *w = list[i];
        // Buttons, separators and panels placed into the toolbar line up
        // after its controls, along its direction.
        if (controlAlign(w) == Align::None && (dynamic_cast<TfrSpeedButton *>(w) ||
                                               dynamic_cast<TfrTBSeparator *>(w) || dynamic_cast<TfrTBPanel *>(w))) {
            setControlAlign(w, Vertical() ? Align::Top : Align::Left);
            w->move(Vertical() ? QPoint(w->x(), ++end) : QPoint(++end, w->y()));
            end += Vertical() ? w->height() : w->width();
        }
        bars.push_back({w->geometry(), controlAlign(w), !w->isHidden(), static_cast<int>(i)});
    }
    docking::AlignControls(bars, rect().adjusted(1, 1, -1, -1));
    for (const docking::BarControl &c : bars)
        if (c.visible && c.align != Align::None)
            list[static_cast<size_t>(c.id)]->setGeometry(c.bounds);
    aligning_ = false;
}

void TfrToolBar::ArrangeControls()
{
    const std::vector<QWidget *> list = controls();
    std::vector<docking::BarControl> bars;
    for (size_t i = 0; i < list.size(); ++i)
        bars.push_back({list[i]->geometry(), controlAlign(list[i]), !list[i]->isHidden(), static_cast<int>(i)});
    const bool vertical = Vertical();
    docking::ArrangeControls(bars, size(), vertical);
    aligning_ = true;
    for (const docking::BarControl &c : bars) {
        QWidget *w = list[static_cast<size_t>(c.id)];
        setControlAlign(w, c.align);
        w->setGeometry(c.bounds);
    }
    aligning_ = false;
    // The toolbar lies along its direction; its length is AdjustBounds' work.
    QSize s = size();
    if ((!vertical && s.width() < s.height()) || (vertical && s.height() < s.width()))
        s.transpose();
    resize(s);
    alignChildren();
}

void TfrToolBar::AdjustBounds()
{
    std::vector<docking::BarControl> bars;
    for (QWidget *w : controls())
        bars.push_back({w->geometry(), controlAlign(w), !w->isHidden()});
    const int length = docking::BarLength(bars, Vertical());
    resize(Vertical() ? QSize(width(), length) : QSize(length, height()));
    alignChildren();
    if (TfrDock *dock = Dock())
        dock->AdjustBounds();
}

bool TfrToolBar::GetBarVisible() const
{
    if (floating_ && floatWindow_)
        return !floatWindow_->isHidden();
    return !isHidden();
}

void TfrToolBar::setShown(bool visible)
{
    if (floating_ && floatWindow_) {
        show();
        floatWindow_->setVisible(visible);
    } else {
        setVisible(visible);
    }
}

void TfrToolBar::SetBarVisible(bool visible)
{
    setShown(visible);
    if (floating_)
        return;
    // A shown toolbar takes its row again, a hidden one gives it up.
    if (TfrDock *dock = Dock())
        dock->AdjustBounds();
}

void TfrToolBar::AddToDock(TfrDock *dock)
{
    // The far edge for the toolbar as it will lie in that dock.
    QSize turned = size();
    if (dock->Horizontal() != (turned.width() >= turned.height()))
        turned.transpose();
    const QPoint at = docking::AddToDockPosition(dock->Geometry(), turned);
    DockTo(dock, at.x(), at.y());
}

void TfrToolBar::DockTo(TfrDock *dock, int x, int y)
{
    hide();
    if (TfrFloatWindow *window = floatWindow_) {
        floatWindow_ = nullptr;
        window->bar_ = nullptr;
        window->hide();
        window->deleteLater();
    }
    TfrDock *previous = dynamic_cast<TfrDock *>(parentWidget());
    setParent(dock);
    floating_ = false;
    owner_ = dock->parentWidget();
    if (previous && previous != dock)
        previous->AdjustBounds();
    dragBox_->show();
    ArrangeControls();
    move(x, y);
    show();
    dock->AdjustBounds();
}

void TfrToolBar::MakeFloat(int x, int y)
{
    floating_ = true;
    if (floatWindow_) {
        floatWindow_->move(x, y);
        return;
    }
    TfrDock *previous = dynamic_cast<TfrDock *>(parentWidget());
    if (previous)
        owner_ = previous->parentWidget();
    const bool wasDragged = dragging_;
    if (wasDragged) {
        dragging_ = false;
        releaseMouse();
    }
    hide();
    dragBox_->hide();
    auto *window = new TfrFloatWindow(owner_, this);
    floatWindow_ = window;
    window->move(x, y);
    setParent(window);
    ArrangeControls();
    if (previous)
        previous->AdjustBounds();
    window->SetClientSize(QSize(width() - kGripSize, height()));
    move(1, 1 + TfrFloatWindow::CaptionHeight);
    show();
    window->show();
}

void TfrToolBar::floatAt(QPoint globalCursor)
{
    MakeFloat(globalCursor.x(), globalCursor.y());
    if (floatWindow_)
        floatWindow_->StartDrag(globalCursor);
}

// While dragged, the cursor of the drag's last move (the platform's cursor
// may lag behind the events).
void TfrToolBar::FloatAtCursor() { floatAt(dragging_ ? dragCursor_ : QCursor::pos()); }

bool TfrToolBar::MoveTo(int x, int y)
{
    if (floating_)
        return true;
    TfrDock *dock = Dock();
    if (!dock)
        return false;
    const std::vector<QWidget *> bars = childControls(dock);
    const auto self = std::find(bars.begin(), bars.end(), this);
    docking::Dock geometry = dock->Geometry();
    switch (docking::MoveTo(geometry, static_cast<int>(self - bars.begin()), x, y, CanFloat)) {
    case docking::MoveOutcome::Refused: return false;
    case docking::MoveOutcome::Float: FloatAtCursor(); return true;
    case docking::MoveOutcome::Moved: break;
    }
    for (size_t i = 0; i < bars.size(); ++i)
        bars[i]->move(geometry.bars[i].bounds.topLeft());
    dock->setGeometry(geometry.bounds);
    alignDocks(dock->parentWidget());
    return true;
}

bool TfrToolBar::TryDock(QWidget *form, QPoint point)
{
    if (!form)
        return false;
    const std::vector<TfrDock *> docks = docksOf(form);
    std::vector<docking::Dock> geometry;
    for (TfrDock *dock : docks)
        geometry.push_back(dock->Geometry());
    const auto target = docking::TryDock(geometry, point, size(), Orientation);
    if (!target)
        return false;
    DockTo(docks[static_cast<size_t>(target->dock)], target->position.x(), target->position.y());
    // The drag goes on in the dock, as after a press there.
    startDrag(form->mapToGlobal(point));
    return true;
}

void TfrToolBar::startDrag(QPoint globalCursor)
{
    dragging_ = true;
    lastCursor_ = dragCursor_ = globalCursor;
    if (isVisible())
        grabMouse();
}

void TfrToolBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || floating_) {
        QWidget::mousePressEvent(event);
        return;
    }
    startDrag(event->globalPosition().toPoint());
}

void TfrToolBar::mouseMoveEvent(QMouseEvent *event)
{
    TfrDock *dock = Dock();
    if (!dragging_ || !dock)
        return;
    const QPoint cursor = event->globalPosition().toPoint();
    const QPoint delta = cursor - lastCursor_;
    const bool horizontal = dock->Horizontal();
    // Whole steps: a pixel along the dock, a row across it.
    const int along = horizontal ? delta.x() : delta.y();
    const int row = std::max(1, dock->RowSize);
    const int across = (horizontal ? delta.y() : delta.x()) / row * row;
    if (along == 0 && across == 0)
        return;
    const QPoint step = horizontal ? QPoint(along, across) : QPoint(across, along);
    dragCursor_ = cursor;
    if (!MoveTo(x() + step.x(), y() + step.y()) || floating_)
        return;
    // The axes that moved take up the cursor.
    if (step.x() != 0)
        lastCursor_.setX(cursor.x());
    if (step.y() != 0)
        lastCursor_.setY(cursor.y());
}

void TfrToolBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (dragging_) {
        dragging_ = false;
        releaseMouse();
    }
    QWidget::mouseReleaseEvent(event);
}

void TfrToolBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    fillFace(this, painter);
    if (!floating_)
        qDrawShadePanel(&painter, rect(), palette(), false, 1);
}

void TfrToolBar::resizeEvent(QResizeEvent *event)
{
    // The grip stays 11 x 11 at the leading edge.
    dragBox_->resize(kGripSize, kGripSize);
    setControlAlign(dragBox_, Vertical() ? Align::Top : Align::Left);
    alignChildren();
    QWidget::resizeEvent(event);
}

void TfrToolBar::childEvent(QChildEvent *event)
{
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    QWidget::childEvent(event);
}

bool TfrToolBar::eventFilter(QObject *watched, QEvent *event)
{
    // A control shown, hidden or resized takes its place again.
    if (watched->parent() == this &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Show || event->type() == QEvent::Hide))
        alignChildren();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- float window

TfrFloatWindow::TfrFloatWindow(QWidget *owner, TfrToolBar *bar)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), bar_(bar)
{
    setObjectName(QStringLiteral("frFloatWindow"));
    setWindowTitle(bar->Caption);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

TfrFloatWindow::~TfrFloatWindow()
{
    if (bar_ && bar_->floatWindow_ == this)
        bar_->floatWindow_ = nullptr;
    delete outline_;
}

void TfrFloatWindow::SetClientSize(QSize size) { resize(size.width() + 2, size.height() + CaptionHeight + 2); }

QRect TfrFloatWindow::closeBox() const { return QRect(width() - CaptionHeight, 1, CaptionHeight - 1, CaptionHeight - 1); }

void TfrFloatWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    qDrawShadePanel(&painter, rect(), palette(), false, 1);
    const QRect caption(1, 1, width() - 2, CaptionHeight);
    painter.fillRect(caption, palette().color(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::HighlightedText));
    QFont font = painter.font();
    font.setPixelSize(CaptionHeight - 3);
    painter.setFont(font);
    painter.drawText(caption.adjusted(3, 0, -CaptionHeight, 0), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
    // The close box.
    const QRect box = closeBox().adjusted(2, 2, -2, -2);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
}

void TfrFloatWindow::StartDrag(QPoint globalCursor)
{
    dragging_ = true;
    dragRect_ = QRect(pos(), size());
    grabOffset_ = globalCursor - dragRect_.topLeft();
    if (!outline_)
        outline_ = new QRubberBand(QRubberBand::Rectangle);
    outline_->setGeometry(dragRect_);
    outline_->show();
    if (isVisible())
        grabMouse();
}

void TfrFloatWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (closeBox().contains(event->position().toPoint())) {
        close();
        return;
    }
    // The caption (and the frame) drag the window.
    StartDrag(event->globalPosition().toPoint());
}

void TfrFloatWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging_)
        return;
    const QPoint cursor = event->globalPosition().toPoint();
    outline_->hide();
    dragRect_.moveTopLeft(cursor - grabOffset_);
    QWidget *form = parentWidget();
    if (bar_ && form && bar_->TryDock(form, form->mapFromGlobal(cursor))) {
        // Docked: the toolbar carries the drag on; this window goes.
        dragging_ = false;
        return;
    }
    outline_->setGeometry(dragRect_);
    outline_->show();
}

void TfrFloatWindow::mouseReleaseEvent(QMouseEvent *)
{
    if (dragging_)
        endDrag();
}

void TfrFloatWindow::endDrag()
{
    dragging_ = false;
    if (outline_)
        outline_->hide();
    releaseMouse();
    move(dragRect_.topLeft());
    show();
}

void TfrFloatWindow::closeEvent(QCloseEvent *event)
{
    // Closing hides the toolbar; its window stays for the next showing.
    if (dragging_)
        endDrag();
    hide();
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------- settings

void SaveToolbarSettings(TfrToolBar *bar)
{
    docking::ToolbarPlacement p;
    p.floating = bar->IsFloat();
    p.visible = bar->GetBarVisible();
    p.bounds = bar->geometry();
    if (p.floating && bar->GetFloatWindow())
        p.bounds.moveTopLeft(bar->GetFloatWindow()->pos());
    if (bar->parentWidget())
        p.dockName = bar->parentWidget()->objectName();
    docking::SaveToolbarSettings(bar->objectName(), p);
}

void RestoreToolbarSettings(TfrToolBar *bar)
{
    docking::ToolbarPlacement current;
    current.floating = bar->IsFloat();
    current.visible = bar->GetBarVisible();
    current.bounds = bar->geometry();
    if (bar->parentWidget())
        current.dockName = bar->parentWidget()->objectName();
    QWidget *owner = bar->owner_;
    // Only a dock of the owner's takes the toolbar: a name of anything else
    // (a tampered file) leaves it in its dock.
    const docking::ToolbarPlacement p =
        docking::RestoreToolbarSettings(bar->objectName(), current,
                                        [owner](const QString &name) { return findDock(owner, name) != nullptr; });
    bar->setShown(false);
    bar->resize(p.bounds.size());
    if (p.floating) {
        bar->MakeFloat(p.bounds.x(), p.bounds.y());
        bar->setShown(p.visible);
        return;
    }
    bar->move(p.bounds.topLeft());
    TfrDock *dock = findDock(owner, p.dockName);
    if (dock && dock != bar->parentWidget())
        bar->DockTo(dock, p.bounds.x(), p.bounds.y());
    // Shown or hidden before the dock is laid out, so that the dock's rows
    // are counted with the toolbar as it will be.
    bar->setShown(p.visible);
    bar->AdjustBounds();
}

QString formClassName(const QWidget *form)
{
    const QString tagged = platform::formClass(form);
    return tagged.isEmpty() ? QString::fromLatin1(form->metaObject()->className()) : tagged;
}

void SaveFormSettings(QWidget *form)
{
    const bool maximized = form->isMaximized();
    docking::SaveFormSettings(formClassName(form), {maximized ? form->normalGeometry() : form->geometry(), maximized});
}

void RestoreFormSettings(QWidget *form)
{
    const Qt::WindowStates state = form->windowState();
    const bool wasMaximized = state & Qt::WindowMaximized;
    const docking::FormPlacement p = docking::RestoreFormSettings(
        formClassName(form), wasMaximized && form->normalGeometry().isValid() ? form->normalGeometry() : form->geometry());
    // The bounds are the normal ones; a window kept maximized stays so.
    form->setWindowState(state & ~Qt::WindowMaximized);
    form->setGeometry(p.bounds);
    if (p.maximized && wasMaximized)
        form->setWindowState(state);
}

} // namespace reports
