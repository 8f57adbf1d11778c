#pragma once
// The choice dialog: a column of nine numbered buttons under an information
// text; the mode word the caller passes in Hint picks the caption, the text
// and the buttons that may be pressed. The answer comes back in Hint: the
// pressed button's number ("1" .. "9"), or "Cancel" for any other way out.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>

class QLabel;
class QPushButton;
class QShowEvent;
class QWidget;

// A mode: its caption, information text and the captions of the buttons it
// offers (the first ones); `disabled` lists buttons shown but not pressable
// (1-based).
struct SelExportMode {
    QString caption;
    QString information;
    QStringList buttons;
    QList<int> disabled;
};
// The modes "XYorYX", "ImageRegBmp" and "ImageRegistration"; an unknown word
// gives a mode with no buttons of its own (button 1 stays enabled).
SelExportMode selExportMode(const QString &mode);

class TSelExport : public QDialog {
public:
    explicit TSelExport(QWidget *parent = nullptr);

    // The mode word in, the answer out.
    QString Hint;
    std::array<QPushButton *, 9> Buttons{};
    QLabel *LabelInfo = nullptr;
    QWidget *PanelInfo = nullptr;

    // Sets the mode, shows the dialog modally and returns the answer.
    QString Ask(const QString &mode);
    // What showing does for the mode in Hint (the size, the buttons) and
    // then clears Hint.
    void prepareToShow();

    void reject() override;

private:
    void press(int number);
};

// The dialog of the run: made on first use, kept.
TSelExport *SelExport();
