#pragma once
// The object view TMapView ("Просмотр объектов"): the objects selected in
// the map window as a surveyor's sketch on a picture of their own (outlines,
// vertices and their numbers, segment lengths, area and perimeter, a grid of
// crosses), with its own scale and centre, zoom and pan tools, a scale menu
// and a print menu that hands the picture ("map.wmf" in the program folder)
// to the report engine.

#include "dialogs/ObjectSketch.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QToolButton;
class MapControlCore;

// The picture control: the drawn sketch and the dotted red drag frame.
class TSketchPicture : public QWidget {
public:
    explicit TSketchPicture(QWidget *parent);
    QImage picture;
    // The frame's four lines; empty when hidden.
    QRect frame;
    bool frameShown = false;
    std::function<void(QMouseEvent *)> onPress, onMove, onRelease;
    std::function<void(QWheelEvent *)> onWheel;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};

class TMapView : public QDialog {
public:
    TMapView();

    // The mode word: "Tolvane" copies the map window's selection.
    QString Hint;
    // The map the selection is copied from; the map window's when not set.
    MapControlCore *Map = nullptr;

    TSketchPicture *Image = nullptr;
    QStatusBar *StatusBar = nullptr;
    QToolButton *tbZoom = nullptr, *tbPan = nullptr, *tbZoomIn = nullptr, *tbZoomOut = nullptr,
                *tbViewAll = nullptr, *tbScaleMenu = nullptr;
    QLineEdit *edScale = nullptr;
    QMenu *pmScale = nullptr;
    QAction *nRedraw = nullptr, *nZoomOut = nullptr, *nZoomIn = nullptr, *nViewAll = nullptr;
    QAction *nOpen = nullptr, *nEdit = nullptr, *nCreate = nullptr, *nBlankSheet = nullptr;
    QAction *nLines = nullptr, *nPoints = nullptr, *nLengths = nullptr, *nNumbers = nullptr, *nObjectNumber = nullptr,
            *nArea = nullptr, *nPerimeter = nullptr, *nGrid = nullptr;

    sketch::Objects Objects;
    sketch::View View;
    bool Refit = true;
    sketch::WheelCounter Wheel;

    // Copies the selection anew and fits the picture to it; showing calls it.
    void FormActivate();
    void CopySelectedObjects();
    void DrawObjects();
    // Kind 0: value = 1 / denominator; 1: twice the scale; 2: half.
    void SetViewScale(int kind, double value);
    void ShowCursorStatus(QPoint pixel);
    // Printing: the report variables, then the report runner in mode 0, 1
    // or 2; or the blank-sheet template.
    void PrintReport(int mode);
    void PrintBlankSheet();

    QString pictureFile() const;

private:
    QPointF pixelToMap(QPoint pixel) const;
    void press(QMouseEvent *e);
    void move(QMouseEvent *e);
    void release(QMouseEvent *e);
    void wheel(QWheelEvent *e);
    void scaleEntered();
    MapControlCore *map() const;

    QPoint pressPoint_, mousePoint_;
    bool dragging_ = false;
    Qt::MouseButton button_ = Qt::NoButton;
};

// The window of the run, made on first use.
TMapView *MapView();
