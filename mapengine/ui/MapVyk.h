#pragma once
// The map control: the widget the map window shows its map in. It shows the
// bitmap of MapControlCore (whose canvas the render loop and the overlays
// draw on) and passes the mouse on to the map window's handlers; everything
// else is MapControlCore's.
//
// A double click reaches the handlers as: press, release, DblClick, a press
// with ssDouble, and a release with ssDouble (Qt sends its double-click event
// in place of the second press).

#include "mapengine/MapControlCore.h"
#include "mapengine/ShiftState.h"

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
    // Pixel positions of the control; the shift state holds the buttons down
    // (for a release, those still down).
    void MouseDown(Qt::MouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(Qt::MouseButton button, TShiftState shift, int x, int y);
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

private:
    // The release that ends a double click carries its mark too.
    bool doubleRelease_ = false;
};
