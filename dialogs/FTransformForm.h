#pragma once
// What the transformation dialogs share: the mode word and answer in Hint,
// the map control they act on, the menu bar with "Преобразовать" and the
// hidden "Вычисления", the command buttons "Пеобразовать", "Рассчитать" and
// "Отменить", and the rounding edit with its menu ("без округления", "1" to
// "5", each putting its digit into the edit). Captions are the Russian ones;
// the language file may replace them when the window is made.

#include <QDialog>
#include <QString>

class MapControlCore;
class QAction;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QToolButton;
class QWidget;

class TTransformForm : public QDialog {
public:
    // "Ok" after a transformation; the mode word while the dialog is open.
    QString Hint;
    // The map control the dialog transforms.
    MapControlCore *Map = nullptr;

    QMenuBar *MainMenu = nullptr;
    QMenu *nOperations = nullptr;  // "Операции"
    QAction *nTransform = nullptr; // "Преобразовать"
    QMenu *nCalculations = nullptr; // "Вычисления" (hidden while transforming layers)
    QAction *nCalc = nullptr;      // "Рассчитать"
    QPushButton *bTransform = nullptr; // "Пеобразовать"
    QPushButton *bCalc = nullptr;      // "Рассчитать"
    QPushButton *bCancel = nullptr;    // "Отменить"
    QLabel *lbRound = nullptr;
    QLineEdit *edRound = nullptr;
    QToolButton *sbRound = nullptr;
    QMenu *pmRound = nullptr;

    // Sets Hint to the mode word, prepares the dialog as showing does, shows
    // it modally; true when it answered "Ok".
    bool Execute(MapControlCore &map, const QString &mode);
    // What showing does (each dialog adds its own part): the rounding edit
    // "4", "Пеобразовать" enabled, "Рассчитать" and "Вычисления" out of use.
    virtual void FormShow();
    // "Пеобразовать".
    virtual void bTransformClick() = 0;
    // Opens the rounding menu at the lower left corner of the edit.
    void sbRoundClick();

    // The rounding digits of the edit, read as an integer.
    int RoundingDigits() const;
    // "Вы уверены, что хотите преобразовать координаты ?" answered OK.
    static bool ConfirmTransform();

protected:
    TTransformForm(const char *name, const char *className, const QString &caption);
    // The rows the dialogs fill: the body above, the buttons below.
    QBoxLayout *Body = nullptr;
    QBoxLayout *Buttons = nullptr;
    // A row with the rounding label, edit and its button (the menu's first
    // entry reading `noRounding`).
    QWidget *makeRoundingRow(const QString &caption);
    // Closes with the answer "Ok".
    void answerOk();
};

class QComboBox;

// A transformation dialog over the projection catalogue: a labelled list
// with "Создать", "..." (properties), "Удалить" and "Сохранить" beside it,
// and the rounding row.
class TCatalogueForm : public TTransformForm {
public:
    QToolButton *sbNew = nullptr;    // "Создать"
    QToolButton *sbEdit = nullptr;   // "..." "Свойства"
    QToolButton *sbDelete = nullptr; // "Удалить"
    QToolButton *sbSave = nullptr;   // "Сохранить"

    virtual void sbNewClick() = 0;
    virtual void sbEditClick() = 0;
    virtual void sbDeleteClick() = 0;
    virtual void sbSaveClick() = 0;

protected:
    TCatalogueForm(const char *name, const char *className, const QString &caption, const char *listName,
                   const char *labelName, const QString &listCaption, int minimumWidth);
    QComboBox *List = nullptr;
};

namespace dialogs::ui {

// Controls made and tagged with their component class and name.
QLabel *label(QWidget *parent, const char *name, const QString &caption);
QLineEdit *edit(QWidget *parent, const char *name, const QString &text = QString());
QPushButton *button(QWidget *parent, const char *name, const QString &caption);
QToolButton *speedButton(QWidget *parent, const char *name, const QString &caption, const QString &hint);
QAction *menuItem(QMenu *menu, const char *name, const QString &caption);
QMenu *subMenu(QMenuBar *bar, const char *name, const QString &caption);
// "Вы уверены ..." style questions: true when answered OK.
bool confirm(const QString &question);
// The number a text reads as (either decimal separator, other characters
// ignored), the default when it reads as none.
double number(const QString &text, double defaultValue);
// A number as the edits show it: the general format, 15 significant digits.
QString numberText(double value);
// The font dialog over a font name, size and colour number edit, the colour
// dialog over a colour number edit (what reads as no number starts as 0);
// the edits take the choice; true when one was made.
bool chooseFontInto(QLineEdit *name, QLineEdit *size, QLineEdit *colour);
bool chooseColourInto(QLineEdit *colour);

} // namespace dialogs::ui
