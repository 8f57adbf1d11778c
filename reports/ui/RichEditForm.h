#pragma once
// The rich-text object's editor (TfrRichForm, "Редактор Rich Edit"): a
// small RTF editor over the rich-edit control, with a tool bar for files,
// undo, styles, alignment, bullets, font and expressions, and a ruler whose
// three markers set the current paragraph's indents.

#include "platform/ui/RichEditControl.h"

#include <QDialog>

class QComboBox;
class QToolButton;
class QPushButton;

namespace reports {

// The ruler: the first, left (relative to the first) and right indents of
// the current paragraph as markers that can be dragged. One point of indent
// is 4/3 of a ruler pixel, from 6 pixels in; the right marker is measured
// from the right edge less 12.
class RichRuler : public QWidget {
    Q_OBJECT
public:
    explicit RichRuler(platform::ui::RichEditControl &edit, QWidget *parent = nullptr);
    // The markers' places in pixels for the current paragraph.
    int firstX() const;
    int leftX() const;
    int rightX() const;
    // Drops a marker (0 first, 1 left, 2 right) at a pixel: sets that indent.
    void dropMarker(int marker, int x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    platform::ui::RichEditControl &edit_;
    int dragging_ = -1;
    int dragX_ = 0;
};

class RichEditForm : public QDialog {
    Q_OBJECT
public:
    explicit RichEditForm(QWidget *parent = nullptr);

    platform::ui::RichEditControl *RichEdit1;
    RichRuler *Ruler;
    QToolButton *OpenButton, *SaveButton, *UndoButton;
    QToolButton *BoldButton, *ItalicButton, *UnderlineButton;
    QToolButton *LeftAlign, *CenterAlign, *RightAlign, *BulletsButton;
    QToolButton *SpeedButton1, *SpeedButton2, *HelpBtn;
    QComboBox *FontName, *FontSize;
    QPushButton *OkBtn, *CancBtn;

    // Loads a file into the text (RTF, or anything else as plain text);
    // false with a message when it cannot be read.
    bool openFile(const QString &fileName);
    // Saves the text: as plain text for ".txt", else as RTF.
    bool saveFile(const QString &fileName);

private:
    // The controls shown from the selection; their handlers do nothing
    // meanwhile.
    void showSelection();
    void applyStyle();
    void applyAlignment(platform::richtext::Align align);
    bool filling_ = false;
};

// Makes the rich-text objects edit their text in this window.
void InstallRichEditForm();

} // namespace reports
