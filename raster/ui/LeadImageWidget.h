#pragma once
// The imaging control on a window: a thin widget over the control's shown
// logic (raster/LeadImageDisplay), with child scroll bars that carry the
// shift counts, the wheel and the keys, the mouse for regions, the floater
// and the rubber band, and drops of files and of the control's own bitmap
// records.

#include "raster/LeadImageDisplay.h"

#include <QWidget>

class QScrollBar;
class QTimer;

namespace raster {
class PanWindow;
}

namespace raster {

class TLEADImageWidget : public QWidget, public TLEADImageDisplay {
    Q_OBJECT
public:
    explicit TLEADImageWidget(QWidget *parent = nullptr);
    ~TLEADImageWidget() override;

    QScrollBar *horizontalBar() const { return hBar_; }
    QScrollBar *verticalBar() const { return vBar_; }
    // The pan window while there is one.
    QWidget *PanWindow() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void PaintNow(const QRect &clientArea) override;

    void InvalidateWindow() override;
    void ScrollWindow(int dx, int dy, const QRect &area) override;
    void ScrollBarsChanged() override;
    void ResizeClient(QSize size) override;
    int CreatePanWindow() override;
    void DestroyPanWindow() override;
    int UpdatePanWindow() override;
    void HidePanWindow() override;
    QRect PanWindowGeometry() const override;
    void RecreateWindow() override;
    int ShowMagGlass() override;
    void HideMagGlass() override;
    QImage GrabScreen(const QRect &rect) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void StartDrag() override;
    void SetRegionTimer(bool on) override;
    void SetAnimationTimer(bool on, int interval) override;
    void DropTargetChanged() override;
    void Defer(std::function<void()> step) override;

private:
    void layoutBars();
    void barAction(Qt::Orientation orientation, int action);

    QScrollBar *hBar_ = nullptr;
    QScrollBar *vBar_ = nullptr;
    void placeLens(QPoint at);
    bool layoutQueued_ = false;
    class PanWindow *pan_ = nullptr;
    QTimer *regionTimer_ = nullptr;
    QTimer *animationTimer_ = nullptr;
    QWidget *lens_ = nullptr;
};

} // namespace raster
