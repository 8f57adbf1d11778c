#pragma once
// The image registration window ("Координирование изображения"): control
// points placed on a raster picture and given their map coordinates, with
// the residuals of the fit the map draws the picture with. The user pans and
// zooms the picture, adds, drags, edits and deletes points, imports and
// exports registration files, turns the picture or edits it in an outside
// program. The caller gives the folder of relative picture names and the
// raster object; on the result 1 ("Применить") the object holds the list's
// points, on 2 ("Отменить") it is left as it was.

#include "geodesy/RegistrationFiles.h"
#include "raster/RasterObject.h"
#include "raster/ui/LeadImageWidget.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TRegForm;

// A control point's marker on the picture: its image (normal or selected)
// with the label to its right; its anchor, half the image's width in and
// half its height down, lies on the point.
class TReper : public QWidget {
public:
    TReper(QWidget *parent, TRegForm &form);
    static constexpr int ImageSize = 16;
    int AnchorOffset() const { return ImageSize / 2; }
    QPoint Anchor() const { return pos() + QPoint(AnchorOffset(), height() / 2); }
    void PlaceAt(QPoint anchor);
    void SetText(const QString &text);
    void SetSelected(bool selected);
    bool Selected() const { return selected_; }
    bool Dragging() const { return dragging_; }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TRegForm &form_;
    QString text_;
    bool selected_ = false;
    bool dragging_ = false;
    QPoint press_;
};

// The picture panel: the imaging control's widget showing the working image.
// The window sets the window of picture pixels and where it is drawn; the
// mouse goes to the window (pan, zoom, adding points), not to the control's
// own tools.
class TVykImage : public raster::TLEADImageWidget {
public:
    TVykImage(QWidget *parent, TRegForm &form);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TRegForm &form_;
};

// The control point editor ("Изменение контрольной точки", or "Создание
// контрольной точки" for a new point).
class TVykPointEditForm : public QDialog {
public:
    explicit TVykPointEditForm(QWidget *parent);
    QLineEdit *edName = nullptr;   // "Метка"
    QLineEdit *edMapX = nullptr;   // "Карта Х, м": the northing (map y)
    QLineEdit *edMapY = nullptr;   // "Карта Y, м": the easting (map x)
    QLineEdit *edPicX = nullptr;   // "Рисунок Х": the column
    QLineEdit *edPicY = nullptr;   // "Рисунок Y": the row
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
    // Shows the point; on "Да" (result 1) it holds the edited values.
    int Edit(georef::RegPoint &point, bool isNew, const QString &markerText);
};

class TRegForm : public QDialog {
public:
    // `folder`: the folder of picture names without a folder (the work folder).
    TRegForm(QWidget *parent, const QString &folder);
    ~TRegForm() override;

    enum class Mode { Pan, Zoom, AddPoints };

    // Prepares the window for the raster object: the working image, its
    // size, the points.
    void SetImage(const TRasterObject &record);
    // SetImage, shown modally; on 1 the record's points are the list's.
    int Execute(TRasterObject &record);

    // ---- the list ----
    std::vector<georef::RegPoint> Points() const;
    int Count() const { return static_cast<int>(entries_.size()); }
    int Selected() const;
    void SelectPoint(int index);
    // Adds a point at a picture pixel as the add mode does on a release:
    // map coordinates suggested from the first two points, the editor
    // opened; the point stays when the editor answers 1.
    bool AddPointAt(int column, int row);
    // Opens the editor on the selected point.
    void EditSelected();
    void DeleteSelected();
    void GoToSelected();
    void SwapXY();
    // Replaces the list by the points of a registration file.
    void ImportFile(const QString &fileName);
    // Writes the list; false after a message.
    bool ExportFile(const QString &fileName);
    // The residual texts of a point, as its columns show them.
    QString ResidualX(int index) const;
    QString ResidualY(int index) const;

    // ---- the view ----
    double Zoom() const { return zoom_; }
    void SetZoom(double zoom);
    void SetMode(Mode mode);
    Mode CurrentMode() const { return mode_; }
    QPoint Scroll() const { return scroll_; }
    void ScrollTo(QPoint topLeft);
    QSize PictureSize() const { return {width_, height_}; }
    QString WorkingImage() const { return workImage_; }
    bool WorkingCopy() const { return tempCopy_; }
    // The turn of the first two points, degrees.
    double RotationAngle() const;
    // The picture file: the record's name, the folder put in front of a bare
    // name.
    QString ImagePath() const;
    // Turns the picture file by the rotation angle and moves the points
    // with it.
    bool RotatePicture();
    // After the picture file changed: the points follow the change of size
    // and the turn; `ask` puts the questions.
    void AdjustPoints(int oldWidth, int oldHeight, bool ask, double angle);

    // Picture pixel of a point of the panel, and back.
    QPoint PanelToPicture(QPoint panel) const;
    QPoint PictureToPanel(QPoint picture) const;

    // Controls, by the names of the design.
    QTreeWidget *ListView = nullptr;
    QWidget *Panel = nullptr;
    TVykImage *Image = nullptr;
    QScrollBar *ScrollBarH = nullptr, *ScrollBarV = nullptr;
    QComboBox *cbZoom = nullptr;
    QLabel *lbSize = nullptr, *lbXY = nullptr, *lbAngle = nullptr;
    QTimer *Timer = nullptr;
    QAction *aImport = nullptr, *aExport = nullptr, *aRotate = nullptr, *aApply = nullptr, *aCancel = nullptr,
            *aZoomIn = nullptr, *aZoomOut = nullptr, *aPan = nullptr, *aZoomMode = nullptr, *aAddPoints = nullptr,
            *aDeletePoint = nullptr, *aEditPoint = nullptr, *aGoToPoint = nullptr, *aSwapXY = nullptr,
            *aCorelDraw = nullptr, *aPhotoshop = nullptr;

private:
    friend class TReper;
    friend class TVykImage;
    struct Entry;

    void BuildControls();
    void PrepareWorkingImage();
    void DropWorkingImage();
    void AddEntry(const georef::RegPoint &point);
    void RemoveEntry(int index);
    void ShowPoint(int index);
    void RecalcResiduals();
    void PlaceMarkers();
    void UpdateView();
    void PaintOverlay(QPainter &painter);
    void UpdateReadout(QPoint panel);
    void HideReadout();
    void OpenInEditor(bool corel);
    void ZoomBoxEntered();
    void ImportClick();
    void ExportClick();
    int IndexOf(const TReper *marker) const;
    void MarkerPressed(TReper *marker);
    void MarkerMoved(TReper *marker);
    void MarkerDoubleClicked(TReper *marker);
    void ImageMouseDown(QMouseEvent *event);
    void ImageMouseMove(QMouseEvent *event);
    void ImageMouseUp(QMouseEvent *event);
    int EditPoint(int index, bool isNew);

    QString folder_;
    TRasterObject record_;
    std::vector<std::unique_ptr<Entry>> entries_;
    double zoom_ = 1;
    QPoint scroll_;
    int width_ = 0, height_ = 0;
    QString workImage_;
    bool tempCopy_ = false;
    bool pictureOpen_ = false;
    QString tempDir_;
    QPoint press_;
    QRect zoomRect_;
    bool zoomRectShown_ = false;
    Mode mode_ = Mode::Pan;
    QPoint lastCursor_;
};
