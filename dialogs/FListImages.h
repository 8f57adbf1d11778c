#pragma once
// The image list ("Инспектор изображений слоя"): the raster objects of the
// current layer, ticked when shown. The user changes an object's picture
// file, deletes it, registers it in the registration window, zooms to it,
// and shows or hides it. The layer's editable flag is back as it was when
// the list closes.

#include <QDialog>

class MapControlCore;
class QAction;
class QListWidget;
class QListWidgetItem;
class QToolButton;
struct TRasterObject;

class TListImages : public QDialog {
public:
    explicit TListImages(QWidget *parent = nullptr);

    QListWidget *CheckListBox = nullptr;
    QAction *aChange = nullptr, *aDelete = nullptr, *aRegister = nullptr, *aSelect = nullptr;

    // Shows the list of the map window's current layer modally.
    void Execute();
    // What showing does: takes the current layer and its editable flag, fills
    // the list.
    void FormShow();
    // The commands on entry `row` (nothing for a deleted object or no entry).
    void ChangePicture(int row);
    void DeleteObject(int row);
    void RegisterObject(int row);
    void SelectObject(int row);
    void SetShown(int row, bool shown);
    int Layer() const { return layer_; }

    void done(int result) override;

private:
    MapControlCore *map() const;
    bool usable(int row) const;
    // Stores an edited record: the layer made editable, the record written,
    // the map redrawn.
    void store(int row, const TRasterObject &record);
    int currentRow() const;

    int layer_ = -1;
    bool wasEditable_ = false;
    bool filling_ = false;
};

// The list of the run: made on first use, kept.
TListImages *ListImages();

// Stores a record the registration window gave back: measured again, fitted
// to its points, written into the editable layer; its box comes back. False,
// after the message, when the points cannot place the picture.
bool storeRegisteredImage(MapControlCore &map, int layer, int index, TRasterObject &record, double &xMin,
                          double &yMin, double &xMax, double &yMax);
