// The imaging control's widget.

#include "raster/ui/LeadImageWidget.h"

#include "raster/ui/PanWindow.h"

#include "raster/BitmapRecord.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

namespace raster {

TLEADImageWidget::TLEADImageWidget(QWidget *parent)
    : QWidget(parent), TLEADImageDisplay(this), hBar_(new QScrollBar(Qt::Horizontal, this)),
      vBar_(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hBar_->setObjectName(QStringLiteral("HScrollBar"));
    vBar_->setObjectName(QStringLiteral("VScrollBar"));
    hBar_->hide();
    vBar_->hide();
    VScrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    HScrollBarHeight = VScrollBarWidth;
    ScreenDpiX = logicalDpiX();
    ScreenDpiY = logicalDpiY();
    // The bar's own move is replaced by the control's: the control decides
    // the position (clamped, in pixels) and puts the thumb there.
    connect(hBar_, &QScrollBar::actionTriggered, this, [this](int a) { barAction(Qt::Horizontal, a); });
    connect(vBar_, &QScrollBar::actionTriggered, this, [this](int a) { barAction(Qt::Vertical, a); });
    regionTimer_ = new QTimer(this);
    regionTimer_->setInterval(1000);
    connect(regionTimer_, &QTimer::timeout, this, [this] { RegionTimerStep(); });
    animationTimer_ = new QTimer(this);
    animationTimer_->setSingleShot(true);
    connect(animationTimer_, &QTimer::timeout, this, [this] { AnimationTimerStep(); });
    SetClientSize(size());
    setMouseTracking(true);
}

TLEADImageWidget::~TLEADImageWidget()
{
    delete pan_;
}

void TLEADImageWidget::barAction(Qt::Orientation orientation, int action)
{
    QScrollBar *bar = orientation == Qt::Horizontal ? hBar_ : vBar_;
    int code = SB_ENDSCROLL;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: break;
    }
    ScrollMessage(orientation, code, bar->sliderPosition());
    const ScrollBarSetting s = orientation == Qt::Horizontal ? HScrollBar() : VScrollBar();
    bar->setSliderPosition(s.position);
}

void TLEADImageWidget::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    Paint(p, event->rect());
    // The corner between two bars.
    if (hBar_->isVisible() && vBar_->isVisible())
        p.fillRect(QRect(vBar_->x(), hBar_->y(), vBar_->width(), hBar_->height()), palette().window());
}

void TLEADImageWidget::resizeEvent(QResizeEvent *)
{
    layoutBars();
}

void TLEADImageWidget::layoutBars()
{
    layoutQueued_ = false;
    const bool h = HScrollBar().maximum != 0, v = VScrollBar().maximum != 0;
    const int bw = v ? VScrollBarWidth : 0, bh = h ? HScrollBarHeight : 0;
    hBar_->setVisible(h);
    vBar_->setVisible(v);
    hBar_->setGeometry(0, height() - bh, width() - bw, bh);
    vBar_->setGeometry(width() - bw, 0, bw, height() - bh);
    SetScrollBarsShown(h, v);
    const QSize client(width() - bw, height() - bh);
    if (client != ClientSize())
        SetClientSize(client);
    else
        ScrollBarsChanged();
}

void TLEADImageWidget::ScrollBarsChanged()
{
    const ScrollBarSetting hs = HScrollBar(), vs = VScrollBar();
    for (auto [bar, s] : {std::pair{hBar_, hs}, std::pair{vBar_, vs}}) {
        const QSignalBlocker block(bar);
        bar->setRange(s.minimum, s.maximum);
        bar->setPageStep(std::max(1, s.page >> s.shift));
        bar->setSingleStep(1);
        bar->setValue(s.position);
    }
    // A bar shown or hidden changes the client: laid out after this update.
    if ((hs.maximum != 0) != hBar_->isVisible() || (vs.maximum != 0) != vBar_->isVisible()) {
        if (!layoutQueued_) {
            layoutQueued_ = true;
            QTimer::singleShot(0, this, [this] { layoutBars(); });
        }
    }
}

void TLEADImageWidget::wheelEvent(QWheelEvent *event)
{
    const QPoint d = event->angleDelta();
    const int turn = d.y() != 0 ? d.y() : d.x();
    if (turn != 0)
        MouseWheel(turn > 0, event->modifiers() & Qt::ShiftModifier, event->buttons() != Qt::NoButton);
    event->accept();
}

void TLEADImageWidget::keyPressEvent(QKeyEvent *event)
{
    if (!KeyDown(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

void TLEADImageWidget::keyReleaseEvent(QKeyEvent *event)
{
    if (OnKeyUp && hasFocus()) {
        int key = event->key();
        OnKeyUp(*this, key, event->modifiers());
    }
    QWidget::keyReleaseEvent(event);
}

void TLEADImageWidget::PaintNow(const QRect &clientArea)
{
    if (isVisible() && !clientArea.isEmpty())
        repaint(clientArea);
}

void TLEADImageWidget::InvalidateWindow()
{
    update();
}

void TLEADImageWidget::ScrollWindow(int dx, int dy, const QRect &area)
{
    if (area.isEmpty())
        update();
    else
        scroll(dx, dy, area);
}

void TLEADImageWidget::ResizeClient(QSize size)
{
    resize(size.width() + (vBar_->isVisible() ? VScrollBarWidth : 0),
           size.height() + (hBar_->isVisible() ? HScrollBarHeight : 0));
}

// ---- pan window ---------------------------------------------------------------------------

QWidget *TLEADImageWidget::PanWindow() const
{
    return pan_;
}

int TLEADImageWidget::CreatePanWindow()
{
    pan_ = new raster::PanWindow(this);
    pan_->onMoved = [this](QPoint p) { PanCallback(1, p); };
    pan_->onClosed = [this] {
        // Closed by the user: gone, and no longer wanted.
        pan_->deleteLater();
        pan_ = nullptr;
        PanCallback(2, {});
    };
    pan_->setGeometry(Property(QStringLiteral("PanWinX")).toInt(), Property(QStringLiteral("PanWinY")).toInt(),
                      Property(QStringLiteral("PanWinWidth")).toInt(), Property(QStringLiteral("PanWinHeight")).toInt());
    if (window())
        window()->installEventFilter(this);
    PanCallback(0, {});
    pan_->show();
    return 1;
}

void TLEADImageWidget::DestroyPanWindow()
{
    delete pan_;
    pan_ = nullptr;
}

int TLEADImageWidget::UpdatePanWindow()
{
    if (!pan_)
        return 1;
    const QRect want(Property(QStringLiteral("PanWinX")).toInt(), Property(QStringLiteral("PanWinY")).toInt(),
                     Property(QStringLiteral("PanWinWidth")).toInt(), Property(QStringLiteral("PanWinHeight")).toInt());
    if (pan_->geometry() != want)
        pan_->setGeometry(want);
    if (PanWinVisible() && !pan_->isVisible())
        pan_->show();
    pan_->setView(ShownImage(), PanVisibleRect(), ClientSize(),
                  static_cast<QRgb>(Property(QStringLiteral("PanWinRectColor")).toUInt()),
                  Property(QStringLiteral("PanWinTitle")).toString());
    return 1;
}

QRect TLEADImageWidget::PanWindowGeometry() const
{
    return pan_ ? pan_->geometry() : QRect();
}

void TLEADImageWidget::RecreateWindow()
{
    // A transparent control leaves what is under it where it paints nothing.
    setAttribute(Qt::WA_OpaquePaintEvent, !Property(QStringLiteral("Transparent")).toBool());
    update();
}

void TLEADImageWidget::HidePanWindow()
{
    if (pan_)
        pan_->hide();
}

bool TLEADImageWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window() && event->type() == QEvent::WindowStateChange && window()->isMinimized())
        WindowMinimized();
    return QWidget::eventFilter(watched, event);
}

// ---- magnifier ------------------------------------------------------------------------------

namespace {

// The lens: the picture around the cursor at the magnifier's zoom.
class Lens : public QWidget {
public:
    Lens(TLEADImageWidget *control) : QWidget(control), control_(control)
    {
        setObjectName(QStringLiteral("MagGlass"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QPoint centre;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const auto &s = control_->MagGlassSettings();
        // Zoom in per cent; 0 shows the picture as it is rather than dividing by it.
        const double zoom = s[2] > 0 ? s[2] / 100.0 : 1.0;
        const QImage &picture = control_->ShownImage();
        const QPoint at = control_->ClientToImage(centre);
        const QRectF source(at.x() - width() / (2 * zoom), at.y() - height() / (2 * zoom), width() / zoom,
                            height() / zoom);
        p.fillRect(rect(), QColor(static_cast<QRgb>(control_->Property(QStringLiteral("BackColor")).toUInt())));
        p.drawImage(QRectF(rect()), picture, source);
        const QRgb c = static_cast<QRgb>(s[3]);
        p.setPen(QPen(QColor(qBlue(c), qGreen(c), qRed(c)), 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    TLEADImageWidget *control_;
};

} // namespace

int TLEADImageWidget::ShowMagGlass()
{
    delete lens_;
    const auto &s = MagGlassSettings();
    lens_ = new Lens(this);
    lens_->resize(s[0] > 0 ? s[0] : 100, s[1] > 0 ? s[1] : 100);
    placeLens(mapFromGlobal(QCursor::pos()));
    return 1;
}

void TLEADImageWidget::HideMagGlass()
{
    delete lens_;
    lens_ = nullptr;
}

void TLEADImageWidget::placeLens(QPoint at)
{
    if (!lens_)
        return;
    static_cast<Lens *>(lens_)->centre = at;
    lens_->move(at - QPoint(lens_->width() / 2, lens_->height() / 2));
    lens_->setVisible(ShownRect().contains(at));
    lens_->update();
}

// A failure inside an event handler stays in LastError: nothing may leave
// an event handler by an exception.
template <class F>
static void guarded(F &&f)
{
    try {
        f();
    } catch (const ELEADImageError &) {
    }
}

void TLEADImageWidget::mouseMoveEvent(QMouseEvent *event)
{
    placeLens(event->position().toPoint());
    guarded([&] { MouseMove(event->buttons(), event->position().toPoint()); });
    QWidget::mouseMoveEvent(event);
}

void TLEADImageWidget::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    guarded([&] { MouseDown(event->button(), event->buttons(), event->position().toPoint()); });
}

void TLEADImageWidget::mouseReleaseEvent(QMouseEvent *event)
{
    guarded([&] { MouseUp(event->button(), event->buttons(), event->position().toPoint()); });
    QWidget::mouseReleaseEvent(event);
}

void TLEADImageWidget::SetRegionTimer(bool on)
{
    on ? regionTimer_->start() : regionTimer_->stop();
}

void TLEADImageWidget::SetAnimationTimer(bool on, int interval)
{
    if (on)
        animationTimer_->start(std::max(interval, 0));
    else
        animationTimer_->stop();
}

// ---- drag and drop ----------------------------------------------------------------------------

namespace {

int effectsOf(Qt::DropActions actions)
{
    return (actions & Qt::CopyAction ? 1 : 0) | (actions & Qt::MoveAction ? 2 : 0) | (actions & Qt::LinkAction ? 4 : 0);
}

Qt::DropAction actionOf(int effect)
{
    return effect & 2 ? Qt::MoveAction : effect & 4 ? Qt::LinkAction : effect & 1 ? Qt::CopyAction : Qt::IgnoreAction;
}

} // namespace

void TLEADImageWidget::Defer(std::function<void()> step)
{
    QTimer::singleShot(0, this, [step = std::move(step)] { guarded(step); });
}

void TLEADImageWidget::DropTargetChanged()
{
    setAcceptDrops(Property(QStringLiteral("EnableOLEDragMethod")).toBool()
                   || Property(QStringLiteral("DropFilesAllowed")).toBool());
}

void TLEADImageWidget::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void TLEADImageWidget::dragMoveEvent(QDragMoveEvent *event)
{
    const int effect = DragOverEffect(effectsOf(event->possibleActions()));
    if (Property(QStringLiteral("EnableOLEDragMethod")).toBool()) {
        const auto &handler = event->type() == QEvent::DragEnter ? OnOLEStartDrag : OnOLEDragOver;
        if (handler)
            handler(Qt::LeftButton, event->modifiers(), event->position().toPoint().x(),
                    event->position().toPoint().y());
    }
    if (effect == 0) {
        event->ignore();
        return;
    }
    event->setDropAction(actionOf(effect));
    event->accept();
}

void TLEADImageWidget::dropEvent(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    QByteArray record;
    const bool hasRecord = data->hasFormat(QString::fromLatin1(BitmapRecordMime));
    if (hasRecord)
        record = data->data(QString::fromLatin1(BitmapRecordMime));
    QStringList files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    int effect = 0;
    guarded([&] {
        effect = Drop(effectsOf(event->possibleActions()), hasRecord ? &record : nullptr, files,
                      event->source() == this);
    });
    if (Property(QStringLiteral("EnableOLEDragMethod")).toBool() && OnOLECompleteDrag)
        OnOLECompleteDrag(Qt::LeftButton, event->modifiers(), event->position().toPoint().x(),
                          event->position().toPoint().y());
    if (effect == 0) {
        event->ignore();
        return;
    }
    event->setDropAction(actionOf(effect));
    event->accept();
}

void TLEADImageWidget::StartDrag()
{
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setData(QString::fromLatin1(BitmapRecordMime), DragRecord());
    drag->setMimeData(data);
    if (drag->exec(Qt::CopyAction | Qt::MoveAction) == Qt::IgnoreAction)
        LastError = 0;
}

QImage TLEADImageWidget::GrabScreen(const QRect &rect)
{
    QScreen *screen = QGuiApplication::screenAt(rect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height()).toImage();
}

} // namespace raster
