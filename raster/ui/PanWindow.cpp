// The imaging control's pan window.

#include "raster/ui/PanWindow.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace raster {

PanWindow::PanWindow(QWidget *owner) : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("PanWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void PanWindow::setView(const QImage &picture, const QRect &visible, QSize client, QRgb rectColor,
                        const QString &title)
{
    if (picture.cacheKey() != picture_.cacheKey() || thumb_.isNull()) {
        picture_ = picture;
        thumb_ = QImage();
    }
    visible_ = visible;
    client_ = client;
    // The colour is stored as the library keeps colours: red in the low byte.
    rectColor_ = QColor(qBlue(rectColor), qGreen(rectColor), qRed(rectColor));
    setWindowTitle(title);
    update();
}

QRect PanWindow::thumbRect() const
{
    if (picture_.isNull())
        return {};
    QSize s = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    // A long strip still shows as a band that can be grabbed.
    s = s.expandedTo(QSize(std::min(width(), 6), std::min(height(), 6)));
    return QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
}

QRect PanWindow::frameRect() const
{
    const QRect t = thumbRect();
    if (t.isEmpty() || visible_.width() <= 0 || visible_.height() <= 0)
        return {};
    const double fx = double(t.width()) / visible_.width(), fy = double(t.height()) / visible_.height();
    QRectF r(t.x() - visible_.x() * fx, t.y() - visible_.y() * fy, client_.width() * fx, client_.height() * fy);
    return r.toRect().intersected(t);
}

void PanWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRect t = thumbRect();
    if (t.isEmpty())
        return;
    if (thumb_.size() != t.size())
        thumb_ = picture_.scaled(t.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(t.topLeft(), thumb_);
    p.setPen(QPen(rectColor_, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frameRect().adjusted(1, 1, -1, -1));
}

void PanWindow::mousePressEvent(QMouseEvent *e)
{
    const QRect f = frameRect();
    // A press outside the rectangle centres it there.
    grab_ = f.contains(e->position().toPoint()) ? e->position().toPoint() - f.topLeft()
                                                : QPoint(f.width() / 2, f.height() / 2);
    moveTo(e->position().toPoint());
}

void PanWindow::mouseMoveEvent(QMouseEvent *e)
{
    if (e->buttons() & Qt::LeftButton)
        moveTo(e->position().toPoint());
}

void PanWindow::moveTo(QPoint at)
{
    const QRect t = thumbRect();
    if (t.isEmpty() || !onMoved)
        return;
    const QPoint topLeft = at - grab_ - t.topLeft();
    const double sx = double(picture_.width()) / t.width(), sy = double(picture_.height()) / t.height();
    onMoved(QPoint(std::max(0, int(topLeft.x() * sx)), std::max(0, int(topLeft.y() * sy))));
}

void PanWindow::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (onClosed)
        onClosed();
}

} // namespace raster
