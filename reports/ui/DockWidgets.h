#pragma once
// The report windows' docks and toolbars as widgets: docks along the edges of
// a form hold toolbars in rows; a toolbar is dragged along its dock, into
// another one or out of it into a floating tool window, which is dragged back
// onto a dock. The rules themselves are reports/output/Docking's, on the rectangles
// these widgets hold; the settings functions here read and write the places
// of these widgets through its settings sections.

#include "reports/output/Docking.h"

#include <QPointer>
#include <QWidget>

class QRubberBand;

namespace reports {

class TfrToolBar;
class TfrFloatWindow;

// The alignment a control of a toolbar (or of a panel) takes in its parent.
docking::Align controlAlign(const QWidget *control);
void setControlAlign(QWidget *control, docking::Align align);

// A dock panel on one edge of its form; its rows are RowSize pixels deep.
class TfrDock : public QWidget {
public:
    TfrDock(QWidget *form, docking::DockSide side);

    int RowSize = 26;
    docking::DockSide Side() const { return side_; }
    bool Horizontal() const { return docking::isHorizontal(side_); }
    // Lays out the rows and sizes the dock, then the form's docks again.
    void AdjustBounds();
    // The dock as rectangles: its bounds in the form, its controls.
    docking::Dock Geometry() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    docking::DockSide side_;
};

// Places the docks of a form on its edges (top and bottom ones across the
// whole width, left and right ones between them, each as deep as it is) and
// returns the room left between them.
QRect alignDocks(QWidget *form);

// The grip at a toolbar's leading edge that starts a drag.
class TfrDragBox : public QWidget {
public:
    explicit TfrDragBox(TfrToolBar *bar);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A small panel of a toolbar.
class TfrTBPanel : public QWidget {
public:
    explicit TfrTBPanel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

class TfrToolBar : public QWidget {
public:
    // Usually made in a dock; its children (at most MaxBarControls with the
    // grip) are its buttons, separators and panels.
    explicit TfrToolBar(QWidget *parent = nullptr);
    ~TfrToolBar() override;

    bool CanFloat = true;
    docking::TfrOrientation Orientation = docking::TfrOrientation::toAny;
    // The float window's caption.
    QString Caption;

    bool IsFloat() const { return floating_; }
    TfrDock *Dock() const;
    TfrDragBox *DragBox() const { return dragBox_; }
    TfrFloatWindow *GetFloatWindow() const { return floatWindow_; }
    // Lies along a vertical dock.
    bool Vertical() const;

    // Docks at the dock's far edge.
    void AddToDock(TfrDock *dock);
    void DockTo(TfrDock *dock, int x, int y);
    // Floats in a tool window at (x, y) of the screen.
    void MakeFloat(int x, int y);
    // Floats at the cursor and goes on being dragged in the float window.
    void FloatAtCursor();
    // A drag to (x, y) of the dock: false when refused.
    bool MoveTo(int x, int y);
    // Docks onto the dock of the form under the point (form coordinates)
    // and goes on being dragged there; false when no dock takes it.
    bool TryDock(QWidget *form, QPoint point);
    // Orders and aligns the controls along the toolbar's direction.
    void ArrangeControls();
    // The toolbar's length from its visible controls; its dock is laid out.
    void AdjustBounds();
    bool GetBarVisible() const;
    void SetBarVisible(bool visible);
    bool Dragging() const { return dragging_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class TfrFloatWindow;
    friend void RestoreToolbarSettings(TfrToolBar *bar);
    std::vector<QWidget *> controls() const;
    void alignChildren();
    // Shows or hides the toolbar (its window when floating), its dock as it is.
    void setShown(bool visible);
    void startDrag(QPoint globalCursor);
    void floatAt(QPoint globalCursor);

    TfrDragBox *dragBox_ = nullptr;
    QPointer<TfrFloatWindow> floatWindow_;
    QPointer<QWidget> owner_; // the form it was docked on
    bool floating_ = false;
    bool dragging_ = false;
    bool aligning_ = false;
    QPoint lastCursor_; // where the drag's last accepted step was taken
    QPoint dragCursor_; // the cursor of the drag's last move
};

// The tool window a floating toolbar lies in: a caption with a close box
// over the toolbar. Dragging it by its caption draws the outline of the
// window and docks the toolbar when the cursor comes over a dock.
class TfrFloatWindow : public QWidget {
public:
    TfrFloatWindow(QWidget *owner, TfrToolBar *bar);
    ~TfrFloatWindow() override;

    static constexpr int CaptionHeight = 14;
    TfrToolBar *ToolBar() const { return bar_; }
    // The outline while dragged (screen coordinates); empty otherwise.
    QRect DragRect() const { return dragging_ ? dragRect_ : QRect(); }
    bool Dragging() const { return dragging_; }
    void SetClientSize(QSize size);
    void StartDrag(QPoint globalCursor);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    friend class TfrToolBar;
    QRect closeBox() const;
    void endDrag();

    QPointer<TfrToolBar> bar_;
    bool dragging_ = false;
    QRect dragRect_;
    QPoint grabOffset_;
    QRubberBand *outline_ = nullptr;
};

// The places of toolbars ("ToolBar\<object name>") and windows ("Form\<class>")
// in the settings store, on the widgets.
void SaveToolbarSettings(TfrToolBar *bar);
void RestoreToolbarSettings(TfrToolBar *bar);
// The window's class: its tagged form class, else its object name.
QString formClassName(const QWidget *form);
void SaveFormSettings(QWidget *form);
void RestoreFormSettings(QWidget *form);

} // namespace reports
