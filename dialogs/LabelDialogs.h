#pragma once
// The label dialogs: "Параметры отображения обозначений" (TProLabel) edits
// one label entry of a layer for the layer dialog; "Добавить обозначения"
// (TNewLabel) collects the settings with which the map window writes label
// texts for the selected objects, kept between runs in "VYK.INI". Both share
// their controls (TLabelForm) and receive the map window's style popups.

#include "dialogs/DialogSeams.h"
#include "dialogs/LabelSettings.h"

#include <QDialog>
#include <QString>

#include <array>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

class TLabelForm : public QDialog, public dialogs::StyleDialog {
public:
    QComboBox *cbFieldName = nullptr, *cbFormat = nullptr;
    QLineEdit *EditFontName = nullptr, *EditFontSize = nullptr, *EditFontColor = nullptr, *EditFontScale = nullptr,
              *EditFontRotate = nullptr, *EditBrushColor = nullptr, *edShiftX = nullptr, *edShiftY = nullptr;
    QCheckBox *cBoxFontBold = nullptr, *cBoxFontItalic = nullptr, *cBoxFontUnderline = nullptr;
    QLabel *ImageBrush = nullptr;
    // Alignment buttons by code: sbCenter, sbTop, sbBottom, sbLeft, sbRight,
    // sbTopLeft, sbBottomLeft, sbTopRight, sbBottomRight.
    std::array<QToolButton *, 9> Alignment{};
    // Position buttons by code: rbCenterS, rbTopS, rbBottomS, rbLeftS,
    // rbRightS, rbTopLeft, rbBottomLeft, rbTopRight, rbBottomRight.
    std::array<QRadioButton *, 9> Position{};
    QToolButton *tbEditFont = nullptr, *SpeedButton12 = nullptr, *SpeedButton13 = nullptr, *SBBgTextColor = nullptr,
                *SBSize = nullptr, *sbShiftX = nullptr, *sbShiftY = nullptr, *SBScale2 = nullptr,
                *SpeedButton11 = nullptr, *SpeedButton16 = nullptr, *SpeedButton17 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
    // The background style: the platform's brush style number.
    int FBrushStyle = 1;

    // The controls from settings, and back (the codes of the buttons down,
    // `keptAlignment` and `keptPosition` when none is).
    void SetSettings(const dialogs::labels::LabelSettings &settings);
    dialogs::labels::LabelSettings Settings(int keptAlignment = 0, int keptPosition = 0) const;

    // The style popups' receiver.
    void SetFontSize(const QString &text) override;
    void SetFontScale(const QString &text) override;
    void SetScaleMin(const QString &) override {}
    void SetScaleMax(const QString &) override {}
    void SetFontRotate(const QString &text) override;
    void SetPenWidth(const QString &) override {}
    void SetBackgroundStyle(int code) override;
    void DrawBackgroundSample() override;
    void DrawFillSample() override {}
    void DrawLineSample() override {}
    void ShowPenModeCaption(int) override {}

    // The shared buttons.
    void EditFontClick();
    void FontColorClick();
    void BrushColorClick();
    void SizeClick(const QWidget *under);
    void ScaleClick();
    void BackgroundStyleClick();
    void RotateClick(int step);

protected:
    // target: "Label" or "NewLabel".
    TLabelForm(const char *name, const char *formClass, const QString &caption, const QString &target);
    // The extra control of each dialog goes beside the field name.
    void addBesideField(QWidget *control);

private:
    QString target_;
    class QGridLayout *top_ = nullptr;
};

class TProLabel : public TLabelForm {
public:
    TProLabel();
    QCheckBox *cbVisible = nullptr;
    QString Hint;
    // The layer and its entry being edited.
    int LabelLayerIndex = -1;
    int LabelEntryIndex = -1;

    // Fills the controls from the entry; false when the layer or the entry
    // does not exist.
    bool PrepareToShow(int layer, int entry);
    // "Сохранить": writes the controls into the entry and closes.
    void BitBtn1Click();
    // Shows the dialog modally on an entry; true when it was saved.
    bool Execute(int layer, int entry, const QString &mode);

private:
    bool saved_ = false;
};

class TNewLabel : public TLabelForm {
public:
    TNewLabel();
    QComboBox *cbRound = nullptr;
    // "Cancel" after showing, "Ok" after "Создать".
    QString Hint;
    int NewLabelLayerIndex = -1;

    // The defaults from "VYK.INI" of the program folder and the field list.
    void PrepareToShow();
    // "Создать": keeps the settings in "VYK.INI", answers "Ok" and closes.
    void BitBtn1Click();
    // The controls as the map window reads them.
    dialogs::NewLabelAnswer Answer() const;
    // Shows the dialog modally; true for "Ok".
    bool Execute(dialogs::NewLabelAnswer &answer);
};

TProLabel *ProLabel();
TNewLabel *NewLabel();
// The dialog of that kind when it exists (the style popups' receivers).
TLabelForm *ExistingLabelForm(dialogs::StyleDialogKind kind);
