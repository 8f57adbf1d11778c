#pragma once
// The map control: the widget the map window shows its map in. It shows the
// bitmap of MapControlCore (whose canvas the render loop and the overlays
// draw on) and passes the mouse on to the map window's handlers; everything
// else is MapControlCore's.

#include "mapengine/MapControlCore.h"

#include <QWidget>

class TMapVyk : public QWidget, public MapControlCore {
    Q_OBJECT
public:
    explicit TMapVyk(QWidget *parent = nullptr);

    // The control and its bitmap to the parent's size, the map picture drawn
    // on them.
    void FitToParent();
    // Sets a control's cursor (by number, mapengine::screenCursor) so that it
    // shows at once.
    static void SetCursorNow(QWidget *control, int cursor);

signals:
    // Pixel positions of the control.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void processPendingPaint() override;
    void repaintNow() override;
};
