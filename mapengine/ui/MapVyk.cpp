#include "mapengine/ui/MapVyk.h"

#include "mapengine/ScreenCursors.h"

#include <QMouseEvent>
#include <QPainter>

TMapVyk::TMapVyk(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    SetClientSize(width(), height());
}

void TMapVyk::FitToParent()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    resize(parent->width(), parent->height());
    FitToSize(parent->width(), parent->height());
    update();
}

void TMapVyk::SetCursorNow(QWidget *control, int cursor)
{
    if (control)
        control->setCursor(mapengine::screenCursor(cursor));
}

void TMapVyk::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QImage &pixels = PictureBitmap().pixels();
    if (!pixels.isNull())
        p.drawImage(event->rect().topLeft(), pixels, event->rect());
    // What the bitmap does not cover is the window's background.
    const QRegion rest = QRegion(event->rect()) - QRegion(pixels.rect());
    for (const QRect &r : rest)
        p.fillRect(r, palette().window());
}

void TMapVyk::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    SetClientSize(width(), height());
}

void TMapVyk::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    doubleRelease_ = false;
    emit MouseDown(event->button(), TShiftState::of(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TMapVyk::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit MouseMove(TShiftState::of(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TMapVyk::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const bool dbl = doubleRelease_;
    doubleRelease_ = false;
    emit MouseUp(event->button(), TShiftState::of(event->modifiers(), event->buttons(), dbl), p.x(), p.y());
}

void TMapVyk::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt's double-click event stands in place of the second press: the
    // double click first, then that press with the mark.
    emit DblClick();
    const QPoint p = event->position().toPoint();
    emit MouseDown(event->button(), TShiftState::of(event->modifiers(), event->buttons(), true), p.x(), p.y());
    doubleRelease_ = true;
}

void TMapVyk::processPendingPaint()
{
    if (QWidget *parent = parentWidget())
        parent->repaint();
}

void TMapVyk::repaintNow()
{
    repaint();
}
