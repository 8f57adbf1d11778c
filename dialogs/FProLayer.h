#pragma once
// The layer properties dialog TProLayer ("Редактирование параметров слоя"):
// one layer record of the open project: name and file, text font and
// symbol, line, fill and point styles, brightness and contrast of images,
// display switches, scale range, search fields, object kind, label fields,
// coordinate system or projection, and the navigation receiver. The
// controls' values go through layerform (LayerForm.h); "Сохранить" writes
// them into the layer and redraws the map.

#include "dialogs/DialogSeams.h"
#include "dialogs/LayerForm.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QToolButton;
class MapControlCore;

class TProLayer : public QDialog, public dialogs::StyleDialog {
public:
    TProLayer();

    MapControlCore *Map = nullptr;   // the map window's when not set
    int LayerDialogIndex = -1;

    QLineEdit *EditName = nullptr, *EditFileName = nullptr, *EditFontName = nullptr, *EditFontSize = nullptr,
              *EditSymbol = nullptr, *EditFontColor = nullptr, *EditFontScale = nullptr, *EditFontRotate = nullptr,
              *EditBitmap = nullptr, *EditPenWidth = nullptr, *EditPenColor = nullptr, *EditPenMode = nullptr,
              *EditBrushColor = nullptr, *EditScaleMin = nullptr, *EditScaleMax = nullptr, *edX = nullptr,
              *edY = nullptr, *edK = nullptr;
    QCheckBox *cBoxFontBold = nullptr, *cBoxFontItalic = nullptr, *cBoxFontUnderline = nullptr;
    QSlider *tbGamma = nullptr, *tbContrast = nullptr;
    QCheckBox *cbViewPoints = nullptr, *cbViewShadow = nullptr, *cbForAllObjects = nullptr, *cbViewInScale = nullptr,
              *cbTransform = nullptr, *cbGISProject = nullptr;
    QComboBox *cbFieldNameObject = nullptr, *cbFieldNameStreet = nullptr, *cbFieldNameHouse = nullptr,
              *cbProject = nullptr, *cbEllipsoid = nullptr, *cbLongitude = nullptr, *cbLatitude = nullptr,
              *cbNumProject = nullptr, *cbGPS = nullptr, *cbDevice = nullptr, *cbPIN = nullptr;
    QGroupBox *gbTransform = nullptr, *gbProject = nullptr;
    QButtonGroup *kindGroup = nullptr;
    QListWidget *clbViewFieldName = nullptr;
    QLabel *ImageBrush = nullptr, *ImageLine = nullptr, *imgTypePoint = nullptr;
    QToolButton *SpeedButton9 = nullptr, *SpeedButton11 = nullptr, *SpeedButton18 = nullptr, *sbPenMode = nullptr,
                *SBTextSymbol = nullptr, *tbEditFont = nullptr, *SBTextColor = nullptr, *SBBgTextColor = nullptr,
                *SpeedButton13 = nullptr, *SBSize = nullptr, *SpeedButton8 = nullptr, *SBScale2 = nullptr,
                *SBMinSize = nullptr, *SBMaxSize = nullptr, *SpeedButton16 = nullptr, *SpeedButton17 = nullptr;
    QPushButton *bSave = nullptr, *bCancel = nullptr;

    // Shows the dialog for a layer of the map, modally.
    bool Execute(int layer);
    void FormShow();
    // The controls as values, and back.
    layerform::Values values() const;
    void setValues(const layerform::Values &v);
    void Save();

    // Label entries: "Создать", "Изменить", "Удалить".
    void NewLabel();
    void EditLabel();
    void DeleteLabel();

    // The style popups' receiver.
    void SetFontSize(const QString &text) override;
    void SetFontScale(const QString &text) override;
    void SetScaleMin(const QString &text) override;
    void SetScaleMax(const QString &text) override;
    void SetFontRotate(const QString &text) override;
    void SetPenWidth(const QString &text) override;
    void SetBackgroundStyle(int) override {}
    void DrawBackgroundSample() override {}
    void DrawFillSample() override;
    void DrawLineSample() override;
    void DrawPointSample();
    void ShowPenModeCaption(int code) override;

    TMapLayer *layer();

private:
    MapControlCore *map() const;
    void pickLineStyle();
    void pickFillStyle();
    void pickPointStyle();
    void pickSymbol();
    void pickColour(QLineEdit *edit);
    void showLabelEntry(int entry, const QString &mode);
    void switchGroups(QCheckBox *ticked);
    void showColour(QLineEdit *edit);
    layerform::Values shown_;
    geodesy::TProjectCatalogue catalogue_;
    QStringList catalogueNames_;
};

TProLayer *ProLayer();
// The dialog when it has been made (the style popups' receiver); null before.
TProLayer *ExistingProLayer();
