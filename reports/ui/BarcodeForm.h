#pragma once
// The barcode object's editor (TfrBarCodeForm, "Редактор штрих-кода"): the
// code or an expression, the symbology, check digit, human-readable line,
// zoom and orientation.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QPushButton;

namespace reports {

class BarCodeView;

class TfrBarCodeForm : public QDialog {
public:
    explicit TfrBarCodeForm(QWidget *parent = nullptr);

    QLineEdit *M1 = nullptr;         // "&Код"; its button inserts an expression
    QComboBox *cbType = nullptr;     // "&Тип штрихкода"
    QCheckBox *ckCheckSum = nullptr; // "Контрольная &сумма"
    QCheckBox *ckViewText = nullptr; // "&Подпись"
    QLineEdit *eZoom = nullptr;      // "&Масштаб:"
    QToolButton *bZoomUp = nullptr;
    QToolButton *bZoomDown = nullptr;
    QRadioButton *RB1 = nullptr; // 0, 90, 180, 270 degrees
    QRadioButton *RB2 = nullptr;
    QRadioButton *RB3 = nullptr;
    QRadioButton *RB4 = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

    // Fills the controls from the object.
    void FormShow(const BarCodeView &view);
    // Tries the code and, when it can be drawn, takes the controls into the
    // object and closes; otherwise says "Ошибка в коде" and stays open.
    void bOkClick();
    // Writes the controls into the object; false (with the platform's
    // message) when the zoom is not a number.
    bool Apply(BarCodeView &view);

private:
    void stepZoom(int delta);
    BarCodeView *view_ = nullptr;
};

// Shows the editor for the object; true when it was confirmed.
bool ShowBarCodeEditor(BarCodeView &view);

// Registers the barcode object with the designer and gives it its editor.
void RegisterBarCodeObject();

} // namespace reports
