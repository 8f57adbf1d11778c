#pragma once
// The pan window of the imaging control: a small window of its own with
// the whole picture and a rectangle for the part the control shows; moving
// the rectangle scrolls the control (through its pan report).

#include <QImage>
#include <QWidget>

#include <functional>

namespace raster {

class PanWindow : public QWidget {
    Q_OBJECT
public:
    explicit PanWindow(QWidget *owner);
    // The picture, the destination as the control tells it (its place and
    // size, frame counted) and the client it is shown in.
    void setView(const QImage &picture, const QRect &visible, QSize client, QRgb rectColor, const QString &title);
    // The rectangle's new top left in picture pixels.
    std::function<void(QPoint)> onMoved;
    std::function<void()> onClosed;
    // The shown part in thumbnail pixels.
    QRect frameRect() const;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void closeEvent(QCloseEvent *) override;

private:
    QRect thumbRect() const;
    void moveTo(QPoint thumbPoint);
    QImage picture_, thumb_;
    QRect visible_;
    QSize client_;
    QColor rectColor_;
    QPoint grab_;
};

} // namespace raster
